#include "platform/FileSystem.h"

#include "platform/NoCase.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
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

// The folder entry equal to name case-blind; the first in sorted order
// when several differ only in case. Empty when there is none.
std::string FindNoCase(const std::string& folder, std::string_view name)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return {};
    std::string best;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view candidate(entry->d_name);
        if (!EqualsNoCase(candidate, name))
            continue;
        if (best.empty() || LessNoCaseThenBytes(candidate, best))
            best = candidate;
    }
    ::closedir(dir);
    return best;
}

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

} // namespace

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
        const std::string_view component = name.substr(pos, end - pos);
        const bool trailingSeparator = end == name.size() - 1;
        pos = end + 1;
        if (component.empty())
            continue;

        std::string path = result + std::string(component);
        if (resolving && component != "." && component != ".." && !ExistsOnDisk(path)) {
            const std::string match = FindNoCase(result, component);
            if (!match.empty())
                path = result + match;
            else
                resolving = false;
        }
        result = std::move(path);
        if (end < name.size())
            result += '/';
        if (trailingSeparator)
            break;
    }
    return result;
}

std::FILE* OpenFile(std::string_view name, const char* mode)
{
    if (name.empty())
        return nullptr;
    return std::fopen(ResolvePath(name).c_str(), mode);
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
    return !name.empty() && ::mkdir(ResolvePath(name).c_str(), 0777) == 0;
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
    return ::unlink(path.c_str()) == 0;
}

bool RenameFile(std::string_view from, std::string_view to)
{
    if (from.empty() || to.empty())
        return false;
    return ::rename(ResolvePath(from).c_str(), ResolvePath(to).c_str()) == 0;
}

bool SyncFileToDisk(std::string_view name)
{
    const int fd = ::open(ResolvePath(name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
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

// --- CReplacementFile ---

CReplacementFile::~CReplacementFile()
{
    Abandon();
}

bool CReplacementFile::Begin(std::string_view name)
{
    Abandon();
    if (name.empty())
        return false;
    m_TargetPath = ResolvePath(name);

    struct stat target;
    const bool targetExists = ::stat(m_TargetPath.c_str(), &target) == 0;
    if (targetExists && (S_ISDIR(target.st_mode) || (target.st_mode & S_IWUSR) == 0))
        return false;

    // A hidden name: folder listings skip names beginning with "." so a
    // temporary left by a crash never shows up as data.
    const std::string stem = FolderOf(m_TargetPath) + "/." + BaseNameOf(m_TargetPath) + ".tmp";
    static std::atomic<unsigned> counter{0};
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        m_TempPath = stem + std::to_string(::getpid()) + "_" + std::to_string(++counter);
        // 0666 less the umask, as a file created by fopen would get.
        fd = ::open(m_TempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        m_TempPath.clear();
        return false;
    }
    if (targetExists)
        ::fchmod(fd, target.st_mode & 07777);
    m_Stream = ::fdopen(fd, "wb");
    if (!m_Stream) {
        ::close(fd);
        ::unlink(m_TempPath.c_str());
        m_TempPath.clear();
        return false;
    }
    return true;
}

bool CReplacementFile::Commit()
{
    if (!m_Stream)
        return false;
    bool ok = std::fflush(m_Stream) == 0 && !std::ferror(m_Stream) && ::fsync(::fileno(m_Stream)) == 0;
    ok = (std::fclose(m_Stream) == 0) && ok;
    m_Stream = nullptr;
    if (ok)
        ok = ::rename(m_TempPath.c_str(), m_TargetPath.c_str()) == 0;
    if (!ok) {
        ::unlink(m_TempPath.c_str());
        m_TempPath.clear();
        return false;
    }
    m_TempPath.clear();
    // Make the rename itself durable; a failure here cannot undo it.
    const int dirFd = ::open(FolderOf(m_TargetPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

void CReplacementFile::Abandon()
{
    if (m_Stream) {
        std::fclose(m_Stream);
        m_Stream = nullptr;
    }
    if (!m_TempPath.empty()) {
        ::unlink(m_TempPath.c_str());
        m_TempPath.clear();
    }
}

bool ReplaceFileContents(std::string_view name, const void* data, std::size_t size)
{
    CReplacementFile file;
    if (!file.Begin(name))
        return false;
    if (size > 0 && std::fwrite(data, 1, size, file.Stream()) != size) {
        file.Abandon();
        return false;
    }
    return file.Commit();
}

} // namespace plat
