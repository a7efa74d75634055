#include "platform/FileSystem.h"

#include "platform/FileLock.h"
#include "platform/ReplacementGroup.h"
#include "platform/ReplacementParts.h"
#include "platform/NoCase.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace plat {

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kFileTimeEpochOffset = 11644473600;
constexpr std::uint64_t kFileTimeUnitsPerSecond = 10000000;

bool ExistsOnDisk(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

bool IsLinkOnDisk(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// --- Folder listings ---
//
// Resolving a name that is not on disk as spelled needs the folder's names,
// and the file layer asks the disk before the mounted archives, so every
// open of an archive member would read its data folder again. Listings are
// therefore kept and reused while the folder is provably unchanged: same
// identity, same change times. Directory times come from a coarse kernel
// clock, so a change within the tick of the listing leaves them as they
// were; a listing is trusted only when the folder's time was already
// kMinimumAge old when it was taken (a younger one is read every time).

constexpr std::int64_t kMinimumAgeSeconds = 2;
constexpr std::size_t kMaxCachedFolders = 256;

struct FolderListing {
    // Folded name -> the entry that wins among those equal case-blind.
    std::unordered_map<std::string, std::string> winners;
    // Every name beginning with ".", as spelled: the journals and temporaries.
    std::vector<std::string> hidden;
    dev_t device = 0;
    ino_t inode = 0;
    timespec writeTime{};
    timespec changeTime{}; // not settable, so a time set back shows here
};

bool SameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool Describes(const FolderListing& listing, const struct stat& st)
{
    return listing.device == st.st_dev && listing.inode == st.st_ino && SameTime(listing.writeTime, st.st_mtim)
        && SameTime(listing.changeTime, st.st_ctim);
}

bool OldEnoughToTrust(const timespec& writeTime, const timespec& now)
{
    const std::int64_t ageSeconds = std::int64_t(now.tv_sec) - std::int64_t(writeTime.tv_sec);
    return ageSeconds > kMinimumAgeSeconds || (ageSeconds == kMinimumAgeSeconds && now.tv_nsec >= writeTime.tv_nsec);
}

// One spelling per folder: "." components and repeated or trailing
// separators dropped, "." for the working folder.
std::string FolderKey(std::string_view folder)
{
    std::string key;
    if (!folder.empty() && folder.front() == '/')
        key.push_back('/');
    std::size_t pos = 0;
    while (pos < folder.size()) {
        std::size_t end = folder.find('/', pos);
        if (end == std::string_view::npos)
            end = folder.size();
        const std::string_view component = folder.substr(pos, end - pos);
        pos = end + 1;
        if (component.empty() || component == ".")
            continue;
        if (!key.empty() && key.back() != '/')
            key.push_back('/');
        key.append(component);
    }
    return key.empty() ? std::string(".") : key;
}

class CFolderCache {
public:
    std::shared_ptr<const FolderListing> Find(const std::string& key, const struct stat& st)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        const auto found = m_Listings.find(key);
        if (found == m_Listings.end())
            return nullptr;
        if (!Describes(*found->second, st)) {
            m_Listings.erase(found);
            return nullptr;
        }
        return found->second;
    }

    void Store(const std::string& key, std::shared_ptr<const FolderListing> listing)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_Listings.size() >= kMaxCachedFolders && m_Listings.find(key) == m_Listings.end())
            m_Listings.clear();
        m_Listings[key] = std::move(listing);
    }

    void Forget(std::string_view folder)
    {
        const std::string key = FolderKey(folder);
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Listings.erase(key);
    }

private:
    std::mutex m_Mutex;
    std::unordered_map<std::string, std::shared_ptr<const FolderListing>> m_Listings;
};

std::atomic<std::uint64_t> g_FolderEntriesRead{0};

CFolderCache& FolderCache()
{
    // Never destroyed: a sound thread may still resolve names during exit.
    static CFolderCache* cache = new CFolderCache;
    return *cache;
}

void AddToListing(FolderListing& listing, std::string_view name)
{
    std::string& slot = listing.winners[FoldNoCase(name)];
    if (slot.empty() || LessNoCaseThenBytes(name, slot))
        slot = name;
    if (name.front() == '.')
        listing.hidden.emplace_back(name);
}

void StoreListing(const std::string& key, const struct stat& st, std::shared_ptr<FolderListing> listing)
{
    listing->device = st.st_dev;
    listing->inode = st.st_ino;
    listing->writeTime = st.st_mtim;
    listing->changeTime = st.st_ctim;
    FolderCache().Store(key, std::move(listing));
}

// The folder's entries read afresh; kept for the next lookups when trusted
// (no change in the tick of now). Null when it cannot be listed.
std::shared_ptr<const FolderListing> ListFolder(const std::string& key, const struct stat& st, bool trusted)
{
    DIR* dir = ::opendir(key.c_str());
    if (!dir)
        return nullptr;
    auto listing = std::make_shared<FolderListing>();
    while (const dirent* entry = ::readdir(dir)) {
        ++g_FolderEntriesRead;
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..")
            AddToListing(*listing, name);
    }
    ::closedir(dir);
    if (trusted)
        StoreListing(key, st, listing);
    return listing;
}

enum class FolderLookup { Found, Missing, Unreadable };

// The folder's entry equal to name case-blind, the first in
// LessNoCaseThenBytes order when several differ only in case. folder is a
// resolved prefix: empty for the working folder, else ending in "/".
FolderLookup FindInFolder(const std::string& folder, std::string_view name, std::string& winner)
{
    const std::string key = FolderKey(folder);
    struct stat st;
    if (::stat(key.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return FolderLookup::Unreadable;

    std::shared_ptr<const FolderListing> listing = FolderCache().Find(key, st);
    if (!listing) {
        // A change after the stat in the same tick leaves the folder's time
        // within the tick of now, so the listing is not trusted.
        timespec now;
        ::clock_gettime(CLOCK_REALTIME, &now);
        const bool trusted = OldEnoughToTrust(st.st_mtim, now);
        // A folder that is changing is not worth listing for every name: the
        // name as spelled when it exists (twins are told apart once it settles).
        if (!trusted && ExistsOnDisk(folder + std::string(name))) {
            winner = std::string(name);
            return FolderLookup::Found;
        }
        listing = ListFolder(key, st, trusted);
        if (!listing)
            return FolderLookup::Unreadable;
    }
    const auto found = listing->winners.find(FoldNoCase(name));
    if (found == listing->winners.end())
        return FolderLookup::Missing;
    winner = found->second;
    return FolderLookup::Found;
}

// A "\\" is a separator in the names data give, but a Linux name may hold
// one: the longest run up to a "\\" (or the next "/" or the end) that names
// an entry of the folder is that entry, so a real folder such as "a\\b"
// survives; otherwise the first "\\" separates as usual.
std::size_t EndOfEntryWithBackslashes(const std::string& folder, std::string_view name, std::size_t pos,
                                      std::size_t firstBackslash)
{
    std::size_t stop = name.find('/', firstBackslash);
    if (stop == std::string_view::npos)
        stop = name.size();
    std::string winner;
    for (std::size_t end = stop; end > firstBackslash; end = name.rfind('\\', end - 1)) {
        if (FindInFolder(folder, name.substr(pos, end - pos), winner) == FolderLookup::Found)
            return end;
    }
    return firstBackslash;
}

// A journal this account may read names the file. One it may not read is
// answered by the writers that can tell the user (ReplacementGroup.h).
bool JournalNames(const std::string& path)
{
    return !JournalWaitingFor(path, UnreadableJournals::Pass).name.empty();
}

} // namespace

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The layer's own changes are seen at once, whatever the folder's clock says.
void ForgetFolderOf(const std::string& path)
{
    FolderCache().Forget(FolderOf(path));
}

std::vector<std::string> HiddenNamesIn(const std::string& folder)
{
    const std::string key = FolderKey(folder);
    struct stat st;
    if (::stat(key.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return {};
    if (const std::shared_ptr<const FolderListing> listing = FolderCache().Find(key, st))
        return listing->hidden;
    timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::shared_ptr<const FolderListing> listing = ListFolder(key, st, OldEnoughToTrust(st.st_mtim, now));
    return listing ? listing->hidden : std::vector<std::string>();
}

std::string ResolvePath(std::string_view name)
{
    std::string result;
    if (!name.empty() && (name.front() == '/' || name.front() == '\\'))
        result.push_back('/');
    bool resolving = true; // off once a component is missing: nothing below it exists
    std::size_t pos = 0;
    while (pos <= name.size()) {
        std::size_t end = name.find_first_of("/\\", pos);
        if (end == std::string_view::npos)
            end = name.size();
        if (resolving && end < name.size() && name[end] == '\\')
            end = EndOfEntryWithBackslashes(result, name, pos, end);
        const std::string_view component = name.substr(pos, end - pos);
        const bool trailingSeparator = end == name.size() - 1;
        pos = end + 1;
        if (component.empty())
            continue;

        std::string path = result + std::string(component);
        if (resolving && component != "." && component != "..") {
            std::string winner;
            switch (FindInFolder(result, component, winner)) {
            case FolderLookup::Found:
                path = result + winner;
                break;
            case FolderLookup::Missing:
                resolving = false;
                break;
            case FolderLookup::Unreadable:
                // A folder that may be searched but not listed: the name as spelled.
                resolving = ExistsOnDisk(path);
                break;
            }
        }
        result = std::move(path);
        if (end < name.size())
            result += '/';
        if (trailingSeparator)
            break;
    }
    return result;
}

int OpenRegularFile(const std::string& path, int flags, unsigned permissions)
{
    // Without O_NONBLOCK a named pipe would block here until its other end
    // opens; only regular files are data files.
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode_t(permissions));
    if (fd < 0)
        return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::fcntl(fd, F_SETFL, flags & O_APPEND) != 0) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

std::FILE* OpenResolvedFile(const std::string& path, const char* mode)
{
    const bool update = std::strchr(mode, '+') != nullptr;
    int flags = update ? O_RDWR : O_RDONLY;
    if (mode[0] == 'w')
        flags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
    else if (mode[0] == 'a')
        flags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    if (flags != O_RDONLY && JournalNames(path)) {
        errno = EBUSY;
        return nullptr;
    }
    const int fd = OpenRegularFile(path, flags);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, mode);
    if (!file) {
        ::close(fd);
        return nullptr;
    }
    if (mode[0] == 'w' || mode[0] == 'a')
        ForgetFolderOf(path);
    return file;
}

std::FILE* OpenFile(std::string_view name, const char* mode)
{
    if (name.empty())
        return nullptr;
    return OpenResolvedFile(ResolvePath(name), mode);
}

std::uint64_t UnixTimeToFileTime(std::int64_t seconds, std::uint32_t nanoseconds)
{
    if (seconds < -kFileTimeEpochOffset)
        return 0;
    return std::uint64_t(seconds + kFileTimeEpochOffset) * kFileTimeUnitsPerSecond + nanoseconds / 100;
}

bool GetFileStatus(std::string_view name, FileStatus& status)
{
    struct stat st;
    if (name.empty() || ::stat(ResolvePath(name).c_str(), &st) != 0)
        return false;
    status.isFolder = S_ISDIR(st.st_mode);
    status.isRegular = S_ISREG(st.st_mode);
    status.isReadOnly = (st.st_mode & S_IWUSR) == 0;
    status.size = status.isFolder ? 0 : std::uint64_t(st.st_size);
    status.writeTime = UnixTimeToFileTime(st.st_mtim.tv_sec, std::uint32_t(st.st_mtim.tv_nsec));
    return true;
}

bool PathExists(std::string_view name)
{
    FileStatus status;
    return GetFileStatus(name, status);
}

bool IsFolder(std::string_view name)
{
    FileStatus status;
    return GetFileStatus(name, status) && status.isFolder;
}

bool IsReadOnly(std::string_view name)
{
    FileStatus status;
    return GetFileStatus(name, status) && status.isReadOnly;
}

bool IsSymbolicLink(std::string_view name)
{
    return !name.empty() && IsLinkOnDisk(ResolvePath(name));
}

bool SetReadOnly(std::string_view name, bool readOnly)
{
    const std::string path = ResolvePath(name);
    struct stat st;
    if (name.empty() || ::stat(path.c_str(), &st) != 0)
        return false;
    const mode_t mode = readOnly ? (st.st_mode & ~mode_t(S_IWUSR)) : (st.st_mode | S_IWUSR);
    return ::chmod(path.c_str(), mode & 07777) == 0;
}

bool CreateFolder(std::string_view name)
{
    if (name.empty())
        return false;
    const std::string path = ResolvePath(name);
    if (::mkdir(path.c_str(), 0777) != 0)
        return false;
    ForgetFolderOf(path);
    return true;
}

bool DeleteFile(std::string_view name)
{
    // The read-only attribute protects a file from deletion as well.
    const std::string path = ResolvePath(name);
    struct stat st;
    if (name.empty() || ::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    if (S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0)
        return false;
    if (JournalNames(path))
        return false;
    if (::unlink(path.c_str()) != 0)
        return false;
    ForgetFolderOf(path);
    return true;
}

bool RenameFile(std::string_view from, std::string_view to)
{
    if (from.empty() || to.empty())
        return false;
    const std::string fromPath = ResolvePath(from);
    const std::string toPath = ResolvePath(to);
    if (JournalNames(fromPath) || JournalNames(toPath))
        return false;
    if (::rename(fromPath.c_str(), toPath.c_str()) != 0)
        return false;
    ForgetFolderOf(fromPath);
    ForgetFolderOf(toPath);
    // A folder moved away, or replaced by the one moved in.
    FolderCache().Forget(fromPath);
    FolderCache().Forget(toPath);
    return true;
}

std::string KeepFileAside(std::string_view name)
{
    // Far more damaged files than anyone will collect.
    constexpr int kMaxBadCopies = 1000;
    for (int i = 0; i < kMaxBadCopies; ++i) {
        const std::string ending = i == 0 ? std::string(".bad") : ".bad." + std::to_string(i);
        const std::string to = std::string(name) + ending;
        if (PathExists(to))
            continue;
        return RenameFile(name, to) ? ending : std::string();
    }
    return {};
}

namespace {

SyncObserver g_SyncObserver = nullptr;

} // namespace

void ReportSynced(const std::string& path)
{
    if (g_SyncObserver)
        g_SyncObserver(path);
}

bool SyncDescriptor(int fd, const std::string& path)
{
    if (::fsync(fd) != 0)
        return false;
    ReportSynced(path);
    return true;
}

void SyncFolderOf(const std::string& path, bool report)
{
    const int dirFd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
        if (report)
            ReportSynced(FolderOf(path) + "/");
    }
}

SyncObserver SetSyncObserver(SyncObserver observer)
{
    const SyncObserver previous = g_SyncObserver;
    g_SyncObserver = observer;
    return previous;
}

bool SyncFileToDisk(std::string_view name)
{
    const std::string path = ResolvePath(name);
    const int fd = OpenRegularFile(path, O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = SyncDescriptor(fd, path);
    ::close(fd);
    return ok;
}

bool SetFileWriteTime(std::string_view name, std::uint64_t writeTime)
{
    if (name.empty() || writeTime < std::uint64_t(kFileTimeEpochOffset) * kFileTimeUnitsPerSecond)
        return false;
    const std::uint64_t sinceEpoch = writeTime - std::uint64_t(kFileTimeEpochOffset) * kFileTimeUnitsPerSecond;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time_t(sinceEpoch / kFileTimeUnitsPerSecond);
    times[1].tv_nsec = long(sinceEpoch % kFileTimeUnitsPerSecond) * 100;
    const std::string path = ResolvePath(name);
    return !JournalNames(path) && ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

std::string GetCurrentFolder()
{
    std::vector<char> buffer(PATH_MAX);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

bool SetCurrentFolder(std::string_view name)
{
    return !name.empty() && ::chdir(ResolvePath(name).c_str()) == 0;
}

bool CanListFolder(std::string_view name)
{
    DIR* dir = ::opendir(name.empty() ? "." : ResolvePath(name).c_str());
    if (!dir)
        return false;
    ::closedir(dir);
    return true;
}

bool CanWriteInFolder(std::string_view name)
{
    const std::string path = name.empty() ? std::string(".") : ResolvePath(name);
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

bool SetCurrentFolderAsGiven(const std::string& path)
{
    return !path.empty() && ::chdir(path.c_str()) == 0;
}

std::string GetProgramPath()
{
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (std::size_t(length) < buffer.size())
            return std::string(buffer.data(), std::size_t(length));
        buffer.resize(buffer.size() * 2);
    }
}

bool GetFreeDiskSpace(std::string_view name, std::uint64_t& freeBytes)
{
    struct statvfs info;
    const std::string path = name.empty() ? std::string(".") : ResolvePath(name);
    if (::statvfs(path.c_str(), &info) != 0)
        return false;
    freeBytes = std::uint64_t(info.f_bavail) * std::uint64_t(info.f_frsize);
    return true;
}

std::uint64_t GetSystemFileTime()
{
    timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return UnixTimeToFileTime(now.tv_sec, std::uint32_t(now.tv_nsec));
}

// --- Replacements ---

namespace {

constexpr std::string_view kTemporaryMark = ".tmp";

} // namespace

bool IsTemporaryOf(std::string_view name, std::string_view base)
{
    if (name.size() <= 1 + base.size() + kTemporaryMark.size() || name.front() != '.'
        || name.substr(1, base.size()) != base || name.substr(1 + base.size(), kTemporaryMark.size()) != kTemporaryMark)
        return false;
    const std::string_view counter = name.substr(1 + base.size() + kTemporaryMark.size());
    return counter.find_first_not_of("0123456789_") == std::string_view::npos;
}

std::FILE* CreateTemporaryBeside(const std::string& target, std::string& tempPath, const char* mode)
{
    // Hidden: folder listings skip names beginning with "." so a temporary
    // left by a crash never shows up as data.
    const std::string stem = FolderOf(target) + "/." + BaseNameOf(target) + std::string(kTemporaryMark);
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = stem + std::to_string(::getpid()) + "_" + std::to_string(++counter);
        // 0666 less the umask, as a file created by fopen would get.
        const int fd = ::open(tempPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            break;
        }
        if (std::FILE* stream = ::fdopen(fd, mode))
            return stream;
        ::close(fd);
        ::unlink(tempPath.c_str());
        break;
    }
    tempPath.clear();
    return nullptr;
}

namespace {

// The process a temporary of our naming was made by, or 0 when its name
// does not say: the archive writer's older naming has a counter alone.
pid_t MakerOf(std::string_view name, std::string& base)
{
    const size_t mark = name.rfind(kTemporaryMark);
    if (name.size() < 2 || name.front() != '.' || mark == std::string_view::npos || mark < 2)
        return 0;
    const std::string_view counter = name.substr(mark + kTemporaryMark.size());
    const size_t split = counter.find('_');
    if (split == 0 || split == std::string_view::npos || split > 9 || split + 1 == counter.size()
        || counter.find_first_not_of("0123456789_") != std::string_view::npos
        || counter.find('_', split + 1) != std::string_view::npos)
        return 0;
    base.assign(name.substr(1, mark - 1));
    return pid_t(std::stol(std::string(counter.substr(0, split))));
}

// Whether a temporary of another file than the one being replaced was left
// by a writer that died. A writer holds its file's lock while its temporary
// lives: one of this process is stale when this process holds no lock on
// its file (it was left by an earlier process that had this one's number);
// one of another process is stale when that process is gone.
bool LeftByTheDead(std::string_view name, const std::string& folder)
{
    std::string base;
    const pid_t maker = MakerOf(name, base);
    if (maker <= 0)
        return false;
    if (maker == ::getpid())
        return !IsLockedByThisProcess(folder + "/" + base);
    return ::kill(maker, 0) != 0 && errno == ESRCH;
}

// A folder is read whole to be swept, and one of many files replaced one by
// one (a sequence's pictures rewritten at the first start) would be read
// again for each. It is swept at its first replacement in a run, and again
// once the replacements in it since its last sweep reach a 64th of the
// entries left then: at most 64 entries read a replacement, and a folder of
// few entries is swept at every one.
constexpr std::uint64_t kSweepEntriesPerReplacement = 64;

// What tells a folder from one made again in its place, which may be given
// the same inode: its birth, where the file system keeps it.
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t bornSeconds = 0;
    std::uint32_t bornNanoseconds = 0;
    bool operator==(const FolderIdentity&) const = default;
};

bool GetFolderIdentity(const std::string& folder, FolderIdentity& identity)
{
    struct statx st;
    if (::statx(AT_FDCWD, folder.c_str(), 0, STATX_INO | STATX_BTIME, &st) != 0)
        return false;
    identity.device = (std::uint64_t(st.stx_dev_major) << 32) | st.stx_dev_minor;
    identity.inode = st.stx_ino;
    if (st.stx_mask & STATX_BTIME) {
        identity.bornSeconds = st.stx_btime.tv_sec;
        identity.bornNanoseconds = st.stx_btime.tv_nsec;
    }
    return true;
}

struct SweepRecord {
    std::uint64_t entries = 0;
    std::uint64_t replacements = 0;
    FolderIdentity folder;
};

std::mutex g_SweepMutex;
// By path; never destroyed, like the folder cache.
std::unordered_map<std::string, SweepRecord>& Sweeps()
{
    static auto* sweeps = new std::unordered_map<std::string, SweepRecord>;
    return *sweeps;
}

} // namespace

std::uint64_t FolderEntriesRead()
{
    return g_FolderEntriesRead;
}

std::size_t RemoveStaleTemporaries(const std::string& target)
{
    // A temporary a journal names is its save's only copy, whatever its
    // maker: none goes while a journal stands, as at the start.
    if (OtherJournalStands())
        return 0;
    const std::string folder = FolderOf(target);
    const std::string base = BaseNameOf(target);
    FolderIdentity identity;
    if (!GetFolderIdentity(folder, identity))
        return 0;
    // Relative names are the working folder's, which changes.
    const std::string key = folder.front() == '/' ? folder : GetCurrentFolder() + "/" + folder;
    {
        std::lock_guard<std::mutex> lock(g_SweepMutex);
        SweepRecord& record = Sweeps()[key];
        if (record.folder == identity && record.replacements * kSweepEntriesPerReplacement < record.entries) {
            ++record.replacements;
            return 0;
        }
    }
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    std::vector<std::string> stale;
    std::uint64_t entries = 0;
    while (const dirent* entry = ::readdir(dir)) {
        ++entries;
        // The target's own under its lock, whoever made them.
        if (IsTemporaryOf(entry->d_name, base) || LeftByTheDead(entry->d_name, folder))
            stale.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    g_FolderEntriesRead += entries;
    std::size_t removed = 0;
    for (const std::string& name : stale)
        removed += ::unlink((folder + "/" + name).c_str()) == 0 ? 1 : 0;
    std::lock_guard<std::mutex> lock(g_SweepMutex);
    Sweeps()[key] = SweepRecord{entries - removed, 1, identity};
    return removed;
}

// --- CReplacementFile ---

CReplacementFile::~CReplacementFile()
{
    Abandon();
}

bool CReplacementFile::Begin(std::string_view name, ReplacementLock lock)
{
    Abandon();
    if (name.empty())
        return false;
    m_TargetPath = ResolvePath(name);
    // A file a standing journal waits for is written by its start alone; a
    // link is written over by a rename, which would leave what it points to
    // as it was.
    if (JournalNames(m_TargetPath) || IsLinkOnDisk(m_TargetPath))
        return GroupFailed(m_TargetPath, GroupStep::Begin);
    const bool inGroup = lock == ReplacementLock::Take && InReplacementGroup();
    if (inGroup) {
        SupersedeInGroup(m_TargetPath);
        // The lock's placeholder of a new file is recorded before it is made,
        // so a start after a kill removes it.
        if (!ExistsOnDisk(m_TargetPath) && !NoteNewFileOfGroup(m_TargetPath))
            return GroupFailed(m_TargetPath, GroupStep::Begin);
    }
    if (lock == ReplacementLock::Take) {
        if (m_Lock.Acquire(m_TargetPath) != LockResult::Locked)
            return GroupFailed(m_TargetPath, GroupStep::Begin);
        // Under the lock no live writer has a temporary here.
        RemoveStaleTemporaries(m_TargetPath);
    }

    struct stat target;
    const bool targetExists = ::stat(m_TargetPath.c_str(), &target) == 0;
    if (targetExists && (S_ISDIR(target.st_mode) || (target.st_mode & S_IWUSR) == 0)) {
        m_Lock.Release();
        return GroupFailed(m_TargetPath, GroupStep::Begin);
    }
    m_Stream = CreateTemporaryBeside(m_TargetPath, m_TempPath, "wb");
    if (!m_Stream) {
        m_Lock.Release();
        return GroupFailed(m_TargetPath, GroupStep::Begin);
    }
    if (targetExists)
        ::fchmod(::fileno(m_Stream), target.st_mode & 07777);
    if (inGroup)
        GroupFileBegun(m_TargetPath);
    return true;
}

bool CReplacementFile::Commit(FileIdentity* written)
{
    if (!m_Stream)
        return false;
    bool ok = std::fflush(m_Stream) == 0 && !std::ferror(m_Stream) && SyncDescriptor(::fileno(m_Stream), m_TempPath);
    if (ok && written)
        ok = GetFileIdentity(m_Stream, *written);
    ok = (std::fclose(m_Stream) == 0) && ok;
    m_Stream = nullptr;
    // Taken under its own lock while a group is open: renamed with the rest
    // of the group, under a lock of the group's.
    const bool joinsGroup = InReplacementGroup() && m_Lock.IsHeld();
    if (ok && joinsGroup) {
        m_Lock.Release();
        return JoinGroup(std::exchange(m_TempPath, {}), m_TargetPath);
    }
    if (!ok && joinsGroup)
        GroupFailed(m_TargetPath, GroupStep::Commit);
    if (ok)
        ok = ::rename(m_TempPath.c_str(), m_TargetPath.c_str()) == 0;
    ForgetFolderOf(m_TargetPath);
    if (!ok) {
        ::unlink(m_TempPath.c_str());
        m_TempPath.clear();
        m_Lock.Release();
        return false;
    }
    m_TempPath.clear();
    m_Lock.Release();
    // Make the rename itself durable; a failure here cannot undo it.
    SyncFolderOf(m_TargetPath);
    return true;
}

void CReplacementFile::Abandon()
{
    if (m_Stream) {
        std::fclose(m_Stream);
        m_Stream = nullptr;
        // A writer that gives up leaves its group short of a file.
        if (InReplacementGroup() && m_Lock.IsHeld())
            GroupFailed(m_TargetPath, GroupStep::Commit);
    }
    if (!m_TempPath.empty()) {
        ::unlink(m_TempPath.c_str());
        m_TempPath.clear();
    }
    m_Lock.Release();
}

bool ReplaceFileContents(std::string_view name, const void* data, std::size_t size, ReplacementLock lock,
                         FileIdentity* written)
{
    CReplacementFile file;
    if (!file.Begin(name, lock))
        return false;
    if (size > 0 && std::fwrite(data, 1, size, file.Stream()) != size) {
        file.Abandon();
        return false;
    }
    return file.Commit(written);
}

} // namespace plat
