#include "platform/ReplacementGroup.h"

#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/ReplacementParts.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace plat {

// --- The journal ---
//
// Text, "\n" line ends, one journal per group in the program folder:
//   Ombrisalt journal 2
//   begun                     or   replace
//   new <target>                   file <target> <temporary> <temporary's stamp> <target's stamp>
//   end <lines before> <checksum>
// Fields are separated by tabs. A target is "/"-separated and relative to
// the program folder; a temporary is a name in its target's folder. A stamp
// is "<size> <write time in ns>", or "-" for no file; a file the group makes
// is recorded as none, its lock's empty placeholder aside. The checksum is
// FNV-1a (64 bits, hex) of every byte before the end line: a journal cut
// short or changed is told apart by it, whatever its lines look like.
// "begun" lists the files a group's locks are about to make, so a start
// after a kill removes their empty placeholders; "replace" is written once
// every temporary is synced, and its renames run in its order.

namespace {

constexpr std::string_view kJournalPrefix = ".Replacements";
constexpr std::string_view kJournalSuffix = ".journal";
constexpr std::string_view kJournalHeader = "Ombrisalt journal 2\n";
// A line names a path and a file name, each within the system's bounds, and
// two stamps: a longer line is no journal's, whatever the journal's length.
constexpr std::size_t kMaxJournalLine = 2 * PATH_MAX;

std::uint64_t Checksum(std::string_view bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes)
        hash = (hash ^ std::uint8_t(c)) * 1099511628211ull;
    return hash;
}

std::string Sealed(std::string text)
{
    char end[64];
    std::snprintf(end, sizeof end, "end\t%zu\t%016llx\n", size_t(std::count(text.begin(), text.end(), '\n')),
                  static_cast<unsigned long long>(Checksum(text)));
    return text + end;
}

std::string StampText(const JournalStamp& stamp)
{
    return stamp.exists ? std::to_string(stamp.size) + " " + std::to_string(stamp.writeTimeNs) : "-";
}

// Only a regular file has a stamp; anything else in a target's place is no
// state a save leaves.
JournalStamp StampAt(int folder, const std::string& name, bool* other = nullptr)
{
    JournalStamp stamp;
    struct stat st;
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return stamp;
    if (!S_ISREG(st.st_mode)) {
        if (other)
            *other = true;
        return stamp;
    }
    stamp.exists = true;
    stamp.size = std::uint64_t(st.st_size);
    stamp.writeTimeNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return stamp;
}

template <typename T> bool ParseNumber(std::string_view text, T& value, int base = 10)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool ParseStamp(std::string_view text, JournalStamp& stamp)
{
    stamp = {};
    if (text == "-")
        return true;
    const size_t space = text.find(' ');
    stamp.exists = true;
    return space != std::string_view::npos && ParseNumber(text.substr(0, space), stamp.size)
        && ParseNumber(text.substr(space + 1), stamp.writeTimeNs);
}

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (size_t at = 0;;) {
        const size_t tab = line.find('\t', at);
        fields.push_back(line.substr(at, tab - at));
        if (tab == std::string_view::npos)
            return fields;
        at = tab + 1;
    }
}

} // namespace

std::string EncodeJournal(JournalKind kind, const std::vector<JournalEntry>& entries)
{
    std::string text(kJournalHeader);
    text += kind == JournalKind::Begun ? "begun\n" : "replace\n";
    for (const JournalEntry& entry : entries) {
        if (kind == JournalKind::Begun)
            text += "new\t" + entry.target + "\n";
        else
            text += "file\t" + entry.target + "\t" + entry.temporary + "\t" + StampText(entry.temporaryStamp) + "\t"
                + StampText(entry.targetStamp) + "\n";
    }
    return Sealed(std::move(text));
}

bool DecodeJournal(std::string_view text, JournalKind& kind, std::vector<JournalEntry>& entries)
{
    // Every line that reads as an entry is kept, even in a journal refused,
    // so the temporaries it names can be removed.
    entries.clear();
    kind = JournalKind::Replace;
    if (!text.starts_with(kJournalHeader))
        return false;
    std::vector<std::string_view> lines;
    for (size_t at = kJournalHeader.size(); at < text.size();) {
        const size_t stop = std::min(text.find('\n', at), text.size());
        lines.push_back(text.substr(at, stop - at));
        at = stop + 1;
    }
    bool whole = !lines.empty() && (lines[0] == "begun" || lines[0] == "replace");
    if (whole)
        kind = lines[0] == "begun" ? JournalKind::Begun : JournalKind::Replace;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string_view> fields = Fields(lines[i]);
        JournalEntry entry;
        if (fields.size() == 2 && fields[0] == "new" && !fields[1].empty() && kind == JournalKind::Begun) {
            entry.target = fields[1];
        } else if (fields.size() == 5 && fields[0] == "file" && !fields[1].empty() && !fields[2].empty()
                   && kind == JournalKind::Replace && ParseStamp(fields[3], entry.temporaryStamp)
                   && ParseStamp(fields[4], entry.targetStamp)) {
            entry.target = fields[1];
            entry.temporary = fields[2];
        } else {
            whole = whole && i + 1 == lines.size();
            continue;
        }
        entries.push_back(std::move(entry));
    }
    // The seal: the last line counts the lines before it and sums their bytes.
    const std::vector<std::string_view> end = Fields(lines.empty() ? std::string_view() : lines.back());
    const std::string_view body = text.substr(0, text.size() - (lines.empty() ? 0 : lines.back().size() + 1));
    size_t count = 0;
    std::uint64_t checksum = 0;
    return whole && text.ends_with('\n') && end.size() == 3 && end[0] == "end"
        && ParseNumber(end[1], count) && ParseNumber(end[2], checksum, 16)
        && count == size_t(std::count(body.begin(), body.end(), '\n')) && checksum == Checksum(body);
}

// --- The group open on this thread ---

namespace {

struct DeferredReplacement {
    std::string tempPath;
    std::string targetPath;
    std::unique_ptr<CFileLock> lock = std::make_unique<CFileLock>();
};

struct GroupFailure {
    std::string target;
    GroupStep step;
};

struct ReplacementGroupState {
    int depth = 0;
    std::vector<DeferredReplacement> files;
    std::vector<std::string> newFiles; // made by their locks, as the journal lists them
    std::vector<GroupFailure> failures;
    std::string journal; // this group's own, in the program folder
    bool journalWritten = false;
    int journalError = 0; // of a write of the journal that refused the group
};

thread_local ReplacementGroupState* t_Group = nullptr;

// ".Replacements<process>_<count>.journal": one name per group, so one
// group's finish never removes another's journal.
std::string NewJournalPath()
{
    static std::atomic<unsigned> counter{0};
    return GetCurrentFolder() + "/" + std::string(kJournalPrefix) + std::to_string(::getpid()) + "_"
        + std::to_string(++counter) + std::string(kJournalSuffix);
}

bool IsJournalName(std::string_view name)
{
    if (name == ".Replacements.journal") // the name one journal once had for all
        return true;
    if (!name.starts_with(kJournalPrefix) || !name.ends_with(kJournalSuffix))
        return false;
    const std::string_view counter =
        name.substr(kJournalPrefix.size(), name.size() - kJournalPrefix.size() - kJournalSuffix.size());
    const size_t split = counter.find('_');
    return split != 0 && split != std::string_view::npos && split + 1 < counter.size()
        && counter.find_first_not_of("0123456789_") == std::string_view::npos
        && counter.find('_', split + 1) == std::string_view::npos;
}

// The target as the program folder names it: what a journal records.
std::string InProgramFolder(const std::string& target, const std::string& folder)
{
    std::string_view rest(target);
    if (rest.starts_with(folder + "/"))
        rest.remove_prefix(folder.size() + 1);
    else if (rest.starts_with('/'))
        return target; // elsewhere: a start refuses the journal
    std::string path;
    for (size_t at = 0; at <= rest.size();) {
        const size_t slash = std::min(rest.find('/', at), rest.size());
        const std::string_view part = rest.substr(at, slash - at);
        if (!part.empty() && part != ".")
            path += (path.empty() ? "" : "/") + std::string(part);
        at = slash + 1;
    }
    return path;
}

// A name the journal's lines carry as written. The format has no escape: a
// tab or a line end in a name would read back as other names, so a group
// with such a name is refused before its journal is written.
bool JournalCarries(std::string_view name)
{
    return !name.empty() && name.size() < PATH_MAX && name.find_first_of("\t\n") == std::string_view::npos;
}

// Where the system answers renameat2 or its flag so (an older kernel, a
// sandbox's filter, a file system without the flag), or refuses a hard link.
bool CallRefused(int error)
{
    return error == EINVAL || error == ENOSYS || error == EPERM || error == EOPNOTSUPP;
}

// Puts the temporary at a journal's name no file has: where every run has
// the same process number a journal kept from an earlier run may stand at
// the name this group was given, and the group takes the next.
bool PutAtAFreeName(const std::string& tempPath, std::string& path)
{
    for (int attempt = 0; attempt < 1 << 16; ++attempt) {
        if (::renameat2(AT_FDCWD, tempPath.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        // A link made fails as well where a name stands.
        if (CallRefused(errno) && ::link(tempPath.c_str(), path.c_str()) == 0) {
            ::unlink(tempPath.c_str());
            return true;
        }
        // Neither: a name seen free stays free, as the program runs once per
        // folder (its lock) and this process's names are its own.
        struct stat st;
        if (CallRefused(errno) && ::lstat(path.c_str(), &st) != 0 && errno == ENOENT)
            return ::rename(tempPath.c_str(), path.c_str()) == 0;
        if (errno != EEXIST && !CallRefused(errno))
            return false;
        path = NewJournalPath();
    }
    return false;
}

// The group's first write of its journal takes a name no file has (and may
// change path); later ones replace its own. Answers 0, or the error of the
// step that failed.
int WriteJournal(std::string& path, const std::string& text, bool first)
{
    std::string tempPath;
    std::FILE* stream = CreateTemporaryBeside(path, tempPath, "wb");
    if (!stream)
        return errno ? errno : EIO;
    int error = 0;
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size() || std::fflush(stream) != 0
        || !SyncDescriptor(::fileno(stream), tempPath))
        error = errno ? errno : EIO;
    if (std::fclose(stream) != 0 && error == 0)
        error = errno ? errno : EIO;
    if (error == 0 && !(first ? PutAtAFreeName(tempPath, path) : ::rename(tempPath.c_str(), path.c_str()) == 0))
        error = errno ? errno : EIO;
    if (error != 0) {
        ::unlink(tempPath.c_str());
        return error;
    }
    ForgetFolderOf(path);
    SyncFolderOf(path);
    return 0;
}

// What a group refused for its journal answers: the file it names (its
// first) is none of the cause.
std::string WhyJournalRefused(const std::string& folder, int error)
{
    const std::string named = CReplacementGroup::kWhyRefusedBegins + folder + "\"";
    const std::string recorded = ", and files saved together are recorded there before any of them is replaced. ";
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return named + " cannot be written" + recorded + "Make the folder writable";
    case ENOSPC:
    case EDQUOT:
        return named + " is on a full disk" + recorded + "Free space on that disk";
    default:
        std::string cause = std::strerror(error);
        if (!cause.empty())
            cause[0] = char(std::tolower(static_cast<unsigned char>(cause[0])));
        return named + " could not be written (" + cause + ")" + recorded + "Make sure it can be written";
    }
}

void RemoveJournal(const std::string& path)
{
    ::unlink(path.c_str());
    SyncFolderOf(path);
    ForgetFolderOf(path);
}

void DropDeferred(DeferredReplacement& file)
{
    if (!file.tempPath.empty())
        ::unlink(file.tempPath.c_str());
    file.lock->Release();
}

} // namespace

bool InReplacementGroup()
{
    return t_Group != nullptr;
}

void SupersedeInGroup(const std::string& target)
{
    std::vector<DeferredReplacement>& files = t_Group->files;
    for (size_t i = 0; i < files.size(); ++i)
        if (files[i].targetPath == target) {
            DropDeferred(files[i]);
            files.erase(files.begin() + std::ptrdiff_t(i));
            return;
        }
}

bool GroupFailed(const std::string& target, GroupStep step)
{
    if (t_Group)
        t_Group->failures.push_back({target, step});
    return false;
}

void GroupFileBegun(const std::string& target)
{
    std::vector<GroupFailure>& failures = t_Group->failures;
    failures.erase(std::remove_if(failures.begin(), failures.end(),
                                  [&](const GroupFailure& f) { return f.step == GroupStep::Begin && f.target == target; }),
                   failures.end());
}

bool NoteNewFileOfGroup(const std::string& target)
{
    ReplacementGroupState& group = *t_Group;
    if (std::find(group.newFiles.begin(), group.newFiles.end(), target) != group.newFiles.end())
        return true;
    if (!JournalCarries(InProgramFolder(target, FolderOf(group.journal))))
        return false;
    group.newFiles.push_back(target);
    std::vector<JournalEntry> entries;
    for (const std::string& file : group.newFiles)
        entries.push_back({InProgramFolder(file, FolderOf(group.journal)), {}, {}, {}});
    if (const int error = WriteJournal(group.journal, EncodeJournal(JournalKind::Begun, entries), !group.journalWritten)) {
        group.newFiles.pop_back();
        group.journalError = error;
        return false;
    }
    group.journalWritten = true;
    group.journalError = 0;
    return true;
}

bool JoinGroup(std::string tempPath, const std::string& target)
{
    DeferredReplacement deferred{std::move(tempPath), target};
    // Let go and taken again at once: the program runs once per folder, so
    // no other writer of its files waits for it.
    if (deferred.lock->Acquire(target) != LockResult::Locked) {
        ::unlink(deferred.tempPath.c_str());
        return GroupFailed(target, GroupStep::Commit);
    }
    t_Group->files.push_back(std::move(deferred));
    return true;
}

// --- CReplacementGroup ---

CReplacementGroup::CReplacementGroup()
{
    m_Outermost = t_Group == nullptr;
    if (m_Outermost) {
        t_Group = new ReplacementGroupState;
        t_Group->journal = NewJournalPath();
    }
    ++t_Group->depth;
}

CReplacementGroup::~CReplacementGroup()
{
    Abandon();
}

void CReplacementGroup::Abandon()
{
    if (m_Done)
        return;
    m_Done = true;
    ReplacementGroupState* group = t_Group;
    if (!group)
        return;
    --group->depth;
    if (!m_Outermost) {
        // The outer save cannot be whole without this part of it.
        if (group->failures.empty())
            group->failures.push_back({"?", GroupStep::Commit});
        return;
    }
    // The placeholders go with their locks, then the record of them.
    for (DeferredReplacement& file : group->files)
        DropDeferred(file);
    if (group->journalWritten)
        RemoveJournal(group->journal);
    t_Group = nullptr;
    delete group;
}

std::string CReplacementGroup::WhyRefused() const
{
    if (m_Done || !t_Group || t_Group->journalError == 0)
        return m_WhyRefused;
    return WhyJournalRefused(FolderOf(t_Group->journal), t_Group->journalError);
}

bool CReplacementGroup::Commit(std::string* failedPath, bool* leftForNextStart)
{
    if (leftForNextStart)
        *leftForNextStart = false;
    ReplacementGroupState* group = t_Group;
    if (m_Done || !group)
        return false;
    if (!group->failures.empty()) {
        if (failedPath)
            *failedPath = group->failures.front().target;
        m_WhyRefused = WhyRefused();
        Abandon();
        return false;
    }
    if (!m_Outermost) {
        m_Done = true;
        --group->depth;
        return true;
    }
    m_Done = true;
    t_Group = nullptr;
    std::unique_ptr<ReplacementGroupState> owned(group);
    std::vector<DeferredReplacement>& files = owned->files;
    const auto dropAll = [&] {
        for (DeferredReplacement& file : files)
            DropDeferred(file);
        if (owned->journalWritten)
            RemoveJournal(owned->journal);
    };

    // More than one file: the journal names them all before the first is
    // renamed, so a start after a kill finishes the renaming. It must not
    // outlive a temporary it names, so their folders are synced first.
    if (files.size() > 1) {
        std::set<std::string> folders;
        for (const DeferredReplacement& file : files)
            if (folders.insert(FolderOf(file.tempPath)).second)
                SyncFolderOf(file.tempPath, true);
        std::vector<JournalEntry> entries;
        for (const DeferredReplacement& file : files) {
            const std::string target = InProgramFolder(file.targetPath, FolderOf(owned->journal));
            if (!JournalCarries(target) || !JournalCarries(BaseNameOf(file.tempPath))) {
                if (failedPath)
                    *failedPath = file.targetPath;
                dropAll();
                return false;
            }
            const bool made = std::find(owned->newFiles.begin(), owned->newFiles.end(), file.targetPath)
                != owned->newFiles.end();
            const int folder = ::open(FolderOf(file.targetPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            entries.push_back({target, BaseNameOf(file.tempPath), StampAt(folder, BaseNameOf(file.tempPath)),
                               made ? JournalStamp{} : StampAt(folder, BaseNameOf(file.targetPath))});
            if (folder >= 0)
                ::close(folder);
        }
        if (const int error
            = WriteJournal(owned->journal, EncodeJournal(JournalKind::Replace, entries), !owned->journalWritten)) {
            // The journal is no file of the user's: the save is named by its
            // first file, and the folder by the reason.
            if (failedPath)
                *failedPath = files.front().targetPath;
            m_WhyRefused = WhyJournalRefused(FolderOf(owned->journal), error);
            dropAll();
            return false;
        }
        owned->journalWritten = true;
    }
    bool ok = true, placed = false;
    for (DeferredReplacement& file : files) {
        if (ok && ::rename(file.tempPath.c_str(), file.targetPath.c_str()) == 0) {
            file.tempPath.clear();
            ForgetFolderOf(file.targetPath);
            SyncFolderOf(file.targetPath);
            ReportSynced(file.targetPath);
            placed = true;
        } else if (ok) {
            // Cannot happen short of the folder changing under us.
            ok = false;
            if (failedPath)
                *failedPath = file.targetPath;
            if (!placed) {
                // Nothing is in place: the group ends as it was. Its record
                // first becomes the list of files it was making, so a stop
                // from here leaves what a stop before the renames leaves.
                std::vector<JournalEntry> made;
                for (const std::string& target : owned->newFiles)
                    made.push_back({InProgramFolder(target, FolderOf(owned->journal)), {}, {}, {}});
                if (owned->journalWritten && made.empty()) {
                    RemoveJournal(owned->journal);
                    owned->journalWritten = false;
                } else if (owned->journalWritten) {
                    (void)WriteJournal(owned->journal, EncodeJournal(JournalKind::Begun, made), false);
                }
                dropAll();
                return false;
            }
            // The rest is left for the journal to finish, as after a kill.
            if (leftForNextStart)
                *leftForNextStart = owned->journalWritten;
        }
    }
    if (ok && owned->journalWritten)
        RemoveJournal(owned->journal);
    for (DeferredReplacement& file : files)
        file.lock->Release();
    return ok;
}

// --- The last build's journal ---
//
// ".Replacements.journal", written whole (a temporary renamed over the empty
// placeholder of its lock) before the group's first rename:
//   replace
//   <temporary's path>\t<target's path>     one line a file, in the order renamed
// Paths as that build resolved them: relative to the program folder, or
// absolute. No seal and no stamps.

namespace {

constexpr std::string_view kOldJournalName = ".Replacements.journal";
constexpr std::string_view kOldJournalHeader = "replace\n";

} // namespace

bool DecodeOldJournal(std::string_view text, const std::string& programFolder, std::vector<JournalEntry>& entries)
{
    entries.clear();
    // The placeholder alone: killed while the journal was written, before any rename.
    if (text.empty())
        return true;
    if (!text.starts_with(kOldJournalHeader))
        return false;
    bool whole = text.ends_with('\n');
    for (size_t at = kOldJournalHeader.size(); at < text.size();) {
        const size_t stop = std::min(text.find('\n', at), text.size());
        const std::string_view line = text.substr(at, stop - at);
        at = stop + 1;
        // That build renamed only a temporary of ours beside its own target,
        // and wrote no other line.
        const size_t tab = line.find('\t');
        const std::string temporary(line.substr(0, tab));
        const std::string target(tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1));
        if (tab == std::string_view::npos || FolderOf(temporary) != FolderOf(target)
            || !IsTemporaryOf(BaseNameOf(temporary), BaseNameOf(target))) {
            whole = false;
            continue;
        }
        entries.push_back({InProgramFolder(target, programFolder), BaseNameOf(temporary), {}, {}});
    }
    return whole;
}

// --- Recovery at start ---

namespace {

// The folder holding a journal's target, reached from the program folder
// one name at a time: no absolute path, no "." or "..". A folder linked
// elsewhere on the way is followed, as the save's own open followed it: a
// link placed in the program folder points every save through it. Answers
// its descriptor (or -1) and the target's name in it.
int OpenConfinedFolder(int root, std::string_view target, std::string& name)
{
    if (target.empty() || target.front() == '/')
        return -1;
    int folder = ::dup(root);
    for (size_t at = 0; folder >= 0;) {
        const size_t slash = target.find('/', at);
        const std::string part(target.substr(at, slash - at));
        if (part.empty() || part == "." || part == "..") {
            ::close(folder);
            return -1;
        }
        if (slash == std::string_view::npos) {
            name = part;
            return folder;
        }
        const int inner = ::openat(folder, part.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(folder);
        folder = inner;
        at = slash + 1;
    }
    return -1;
}

// The last build's journal lies at the one name that build gave it, in its own format.
bool IsTheLastBuildsJournal(std::string_view name, std::string_view text)
{
    return name == kOldJournalName && !text.starts_with(kJournalHeader);
}

struct EntryOnDisk {
    int folder = -1;
    std::string target;    // name in the folder
    std::string temporary; // empty unless a temporary of ours for the target
};

struct Recovery {
    int root = -1;
    std::string programFolder;
    std::vector<std::string> refused;     // targets of journals not applied
    std::vector<std::string> unread;      // journals removed with no target read from them
    std::vector<std::string> differing;   // targets of whole journals kept: not as the stop left them
    std::vector<std::string> kept;        // those journals
    std::vector<std::string> forbidden;   // journals this account may not read, left for the one that may
    std::vector<std::string> unfinished;  // targets whose rename failed
};

bool SameStamp(const JournalStamp& a, const JournalStamp& b)
{
    return a.exists == b.exists && (!a.exists || (a.size == b.size && a.writeTimeNs == b.writeTimeNs));
}

// A link at a target's name is no file to the journal ("-"), and the save's
// rename replaces it: the start does the same.
JournalStamp TargetStampAt(int folder, const std::string& name, bool* other)
{
    struct stat st;
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
        return {};
    return StampAt(folder, name, other);
}

// A file the group makes stands as its lock's empty placeholder until
// renamed, or as nothing once the lock let go of it.
bool AsRecorded(const JournalStamp& target, const JournalStamp& recorded)
{
    return SameStamp(target, recorded) || (!recorded.exists && target.size == 0);
}

// A target named as the writer names one, with a temporary of ours beside
// it: the group is this program's, whatever the disk shows now.
bool NamesOurs(const JournalEntry& entry)
{
    if (entry.target.empty() || entry.target.front() == '/' || entry.temporary.find('/') != std::string::npos)
        return false;
    for (size_t at = 0; at <= entry.target.size();) {
        const size_t slash = std::min(entry.target.find('/', at), entry.target.size());
        const std::string_view part = std::string_view(entry.target).substr(at, slash - at);
        if (part.empty() || part == "." || part == "..")
            return false;
        at = slash + 1;
    }
    return IsTemporaryOf(entry.temporary, BaseNameOf(entry.target));
}

// Each entry's folder, reached as the start reaches it, and its names there.
std::vector<EntryOnDisk> OnDisk(int root, const std::vector<JournalEntry>& entries)
{
    std::vector<EntryOnDisk> disk(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        disk[i].folder = OpenConfinedFolder(root, entries[i].target, disk[i].target);
        if (disk[i].folder >= 0 && entries[i].temporary.find('/') == std::string::npos
            && IsTemporaryOf(entries[i].temporary, disk[i].target))
            disk[i].temporary = entries[i].temporary;
    }
    return disk;
}

void CloseAll(const std::vector<EntryOnDisk>& disk)
{
    for (const EntryOnDisk& entry : disk)
        if (entry.folder >= 0)
            ::close(entry.folder);
}

// A kill leaves the first k temporaries renamed, the rest in place, and
// every target as the journal recorded it or as its temporary made it.
// Answers whether the disk shows such a state; pending counts the rest.
bool FitsAKill(const std::vector<JournalEntry>& entries, const std::vector<EntryOnDisk>& disk)
{
    bool pending = false;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (disk[i].folder < 0 || disk[i].temporary.empty())
            return false;
        bool other = false;
        const JournalStamp temporary = StampAt(disk[i].folder, disk[i].temporary, &other);
        const JournalStamp target = TargetStampAt(disk[i].folder, disk[i].target, &other);
        if (other)
            return false;
        if (temporary.exists) {
            pending = true;
            if (!SameStamp(temporary, entries[i].temporaryStamp) || !AsRecorded(target, entries[i].targetStamp))
                return false;
        } else if (pending || !SameStamp(target, entries[i].temporaryStamp)) {
            return false;
        }
    }
    return true;
}

// The last build's journal has no stamps: a kill leaves its first
// temporaries renamed, each target a file then, and the rest waiting.
bool OldJournalFitsAKill(const std::vector<EntryOnDisk>& disk)
{
    bool pending = false;
    for (const EntryOnDisk& entry : disk) {
        if (entry.folder < 0 || entry.temporary.empty())
            return false;
        bool other = false;
        const bool waiting = StampAt(entry.folder, entry.temporary, &other).exists;
        const bool target = TargetStampAt(entry.folder, entry.target, &other).exists;
        if (other || (!waiting && (pending || !target)))
            return false;
        pending = pending || waiting;
    }
    return true;
}

// Applies one journal; false when it must stay (a rename failed).
bool Recover(Recovery& run, const std::string& journalName, const std::string& text)
{
    JournalKind kind = JournalKind::Replace;
    std::vector<JournalEntry> entries;
    const bool old = IsTheLastBuildsJournal(journalName, text);
    const bool whole = old ? DecodeOldJournal(text, run.programFolder, entries) : DecodeJournal(text, kind, entries);
    const std::vector<EntryOnDisk> disk = OnDisk(run.root, entries);
    bool keep = false;
    if (whole && kind == JournalKind::Begun) {
        // A kill before the renames: the placeholders the locks made go.
        for (const EntryOnDisk& entry : disk) {
            const JournalStamp target = entry.folder >= 0 ? StampAt(entry.folder, entry.target) : JournalStamp{};
            if (target.exists && target.size == 0)
                ::unlinkat(entry.folder, entry.target.c_str(), 0);
        }
    } else if (whole && (old ? OldJournalFitsAKill(disk) : FitsAKill(entries, disk))) {
        // Each folder renamed in is synced once, after its last rename and
        // before the journal goes.
        std::map<std::string, int> folders;
        for (size_t i = 0; i < entries.size() && !keep; ++i) {
            const EntryOnDisk& entry = disk[i];
            if (!StampAt(entry.folder, entry.temporary).exists)
                continue;
            if (::renameat(entry.folder, entry.temporary.c_str(), entry.folder, entry.target.c_str()) != 0) {
                run.unfinished.push_back(entries[i].target);
                keep = true;
                continue;
            }
            const std::string path = run.programFolder + "/" + entries[i].target;
            folders.emplace(FolderOf(path), entry.folder);
            ForgetFolderOf(path);
        }
        for (const auto& [path, folder] : folders)
            SyncDescriptor(folder, path);
    } else if (whole && !old && !entries.empty()
               && std::all_of(entries.begin(), entries.end(), [](const JournalEntry& e) { return NamesOurs(e); })) {
        // Our own group, its files since copied, touched or saved over: times
        // that differ tell nothing of which side is whose. The journal and
        // every temporary stay for the user to decide; only the empty
        // placeholders of files it was making go, which fit its record
        // either way.
        for (size_t i = 0; i < entries.size(); ++i) {
            const EntryOnDisk& entry = disk[i];
            if (entry.folder >= 0 && !entries[i].targetStamp.exists) {
                const JournalStamp target = StampAt(entry.folder, entry.target);
                if (target.exists && target.size == 0 && StampAt(entry.folder, entry.temporary).exists)
                    ::unlinkat(entry.folder, entry.target.c_str(), 0);
            }
            run.differing.push_back(entries[i].target);
        }
        run.kept.push_back(journalName);
        keep = true;
    } else {
        // Not a state a kill leaves: every file stays as it is, and the
        // temporaries of ours it names go, the last first, so a kill partway
        // leaves no state a save's kill leaves (the last build's journal
        // tells a file renamed only by its temporary gone); then the
        // placeholders of files the group was making.
        for (size_t i = entries.size(); i-- > 0;) {
            const EntryOnDisk& entry = disk[i];
            if (!entry.temporary.empty() && StampAt(entry.folder, entry.temporary).exists)
                ::unlinkat(entry.folder, entry.temporary.c_str(), 0);
            if (!old && !entry.temporary.empty() && !entries[i].targetStamp.exists) {
                const JournalStamp target = StampAt(entry.folder, entry.target);
                if (target.exists && target.size == 0)
                    ::unlinkat(entry.folder, entry.target.c_str(), 0);
            }
        }
        if (entries.empty())
            run.unread.push_back(journalName);
        for (const JournalEntry& entry : entries)
            run.refused.push_back(entry.target);
    }
    CloseAll(disk);
    return !keep;
}

// Whether a line can stand at the index in a journal: one that cannot ends
// the reading, so a large file of something else is given up at once.
bool CanBeJournalLine(std::string_view line, size_t index, bool ended)
{
    if (index == 0)
        return line == kJournalHeader.substr(0, kJournalHeader.size() - 1);
    if (index == 1)
        return line == "begun" || line == "replace";
    return !ended && (line.starts_with("new\t") || line.starts_with("file\t") || line.starts_with("end\t"));
}

// The same for the last build's journal: "replace", then a temporary of
// ours and its target a line.
bool CanBeLastBuildsJournalLine(std::string_view line, size_t index)
{
    if (index == 0)
        return line == kOldJournalHeader.substr(0, kOldJournalHeader.size() - 1);
    const size_t tab = line.find('\t');
    return tab != std::string_view::npos && IsTemporaryOf(BaseNameOf(std::string(line.substr(0, tab))),
                                                          BaseNameOf(std::string(line.substr(tab + 1))));
}

// The journal's bytes, from a regular file only (a named pipe or a link in
// its place is no journal, and is never waited on), read no further than the
// file's own size, nor than it can be a journal. forbidden: this account
// may not open it.
bool ReadJournal(int root, const std::string& name, std::string& text, bool& forbidden)
{
    const int fd = ::openat(root, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    forbidden = fd < 0 && (errno == EACCES || errno == EPERM);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const size_t size = ok ? size_t(st.st_size) : 0;
    text.clear();
    size_t lineStart = 0, index = 0;
    bool ended = false, journal = true;
    char buffer[65536];
    while (ok && journal && text.size() < size) {
        const ssize_t got = ::read(fd, buffer, std::min(sizeof buffer, size - text.size()));
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        text.append(buffer, size_t(got));
        for (size_t stop; journal && (stop = text.find('\n', lineStart)) != std::string::npos; lineStart = stop + 1) {
            const std::string_view line(text.data() + lineStart, stop - lineStart);
            journal = CanBeJournalLine(line, index, ended)
                || (name == kOldJournalName && CanBeLastBuildsJournalLine(line, index));
            ++index;
            ended = line.starts_with("end\t");
        }
        journal = journal && text.size() - lineStart <= kMaxJournalLine;
    }
    ::close(fd);
    return ok;
}

// A few names, then how many more: a message the user can read whatever the count.
std::string Listed(const std::vector<std::string>& names)
{
    constexpr size_t kShown = 5;
    std::string list;
    for (size_t i = 0; i < names.size() && i < kShown; ++i)
        list += (list.empty() ? "" : ", ") + names[i];
    if (names.size() > kShown)
        list += " and " + std::to_string(names.size() - kShown) + " more";
    return list;
}

// Whether a name is a temporary of ours whose maker is gone. The one program
// on the folder is starting, so a maker alive is another copy's in a folder
// of its own inside this one (or one that has the number since).
bool MadeByTheDead(std::string_view name)
{
    const size_t mark = name.rfind(".tmp");
    if (mark == std::string_view::npos || mark < 2 || !IsTemporaryOf(name, name.substr(1, mark - 1)))
        return false;
    const std::string_view counter = name.substr(mark + 4);
    const size_t split = counter.find('_');
    long maker = 0;
    return split != std::string_view::npos && ParseNumber(counter.substr(0, split), maker) && maker > 0
        && maker != ::getpid() && ::kill(pid_t(maker), 0) != 0 && errno == ESRCH;
}

// After the journals: the temporaries of ours that none names (a kill
// before its group's journal, or one a refused journal did not list).
// Links are not followed; only regular files go.
void RemoveTemporariesNoJournalNames(int folder)
{
    DIR* dir = ::fdopendir(folder);
    if (!dir) {
        ::close(folder);
        return;
    }
    std::vector<std::string> inner;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        unsigned char type = entry->d_type;
        struct stat st;
        if (type == DT_UNKNOWN && ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
        if (type == DT_DIR)
            inner.emplace_back(name);
        else if (type == DT_REG && MadeByTheDead(name))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    for (const std::string& name : inner) {
        const int next = ::openat(::dirfd(dir), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next >= 0)
            RemoveTemporariesNoJournalNames(next);
    }
    ::closedir(dir);
}

} // namespace

std::string FinishInterruptedReplacements()
{
    Recovery run;
    run.programFolder = GetCurrentFolder();
    run.root = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (run.root < 0)
        return {};
    std::vector<std::string> journals;
    if (DIR* dir = ::fdopendir(::dup(run.root))) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name(entry->d_name);
            const size_t mark = name.rfind(".tmp");
            struct stat st;
            // A folder of that name is no journal: it is left as it is, unsaid.
            if (IsJournalName(name) && !(::fstatat(run.root, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0
                                         && S_ISDIR(st.st_mode)))
                journals.emplace_back(name);
            else if (mark != std::string_view::npos && mark > 1 && IsJournalName(name.substr(1, mark - 1))
                     && IsTemporaryOf(name, name.substr(1, mark - 1)))
                ::unlinkat(run.root, entry->d_name, 0); // a journal a kill cut short while written
        }
        ::closedir(dir);
    }
    std::sort(journals.begin(), journals.end());
    bool kept = false, removed = false;
    for (const std::string& name : journals) {
        std::string text;
        bool forbidden = false;
        const bool read = ReadJournal(run.root, name, text, forbidden);
        if (forbidden) {
            // Another account's: its temporaries wait for it too.
            run.forbidden.push_back(name);
            kept = true;
            continue;
        }
        if (!read) {
            run.unread.push_back(name);
        } else if (!Recover(run, name, text)) {
            kept = true;
            continue;
        }
        removed = ::unlinkat(run.root, name.c_str(), 0) == 0 || removed;
    }
    // One sync for every journal removed.
    if (removed) {
        SyncDescriptor(run.root, run.programFolder);
        ForgetFolderOf(run.programFolder + "/" + journals.front());
    }
    // A journal kept needs its temporaries at the next start, which sweeps.
    if (!kept)
        RemoveTemporariesNoJournalNames(::openat(run.root, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ::close(run.root);
    std::string report;
    if (!run.refused.empty())
        report += "A save cut short left files that do not fit together, so they were left as they are: "
            + Listed(run.refused) + ".";
    // The journal itself is gone by now: saying it was left would send the
    // user looking for it.
    if (!run.unread.empty())
        report += std::string(report.empty() ? "" : "\n") + "A save cut short left a record that could not be read, "
            + "so it was removed and the files it named were left as they are: " + Listed(run.unread) + ".";
    if (!run.unfinished.empty())
        report += std::string(report.empty() ? "" : "\n") + "Could not finish saving " + Listed(run.unfinished)
            + "; the next start tries again.";
    if (!run.differing.empty())
        report += std::string(report.empty() ? "" : "\n")
            + "A save cut short could not be finished: its files were changed, touched or copied since (their "
              "times or sizes are not as the stop left them), so nothing was replaced or removed: "
            + Listed(run.differing) + ". To finish the save, put the folder back as the stop left it (a copy "
              "that keeps file times, such as cp -a); to keep the files as they are, remove "
            + Listed(run.kept) + " from the program folder. Until then the files may disagree.";
    if (!run.forbidden.empty())
        report += std::string(report.empty() ? "" : "\n")
            + "A save cut short left a record this account may not read, so it and the files it names were left "
              "for the account that made it: "
            + Listed(run.forbidden) + ". Start the program as that account to finish the save.";
    return report;
}

namespace {

// The journals standing in the program folder, the open group's own aside
// once written (its first write takes no standing name): a folder at a
// journal's name is none.
std::vector<std::string> OtherJournals()
{
    std::vector<std::string> journals;
    for (std::string& name : HiddenNamesIn(".")) {
        struct stat st;
        if (IsJournalName(name) && !(t_Group && t_Group->journalWritten && name == BaseNameOf(t_Group->journal))
            && !(::lstat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode)))
            journals.push_back(std::move(name));
    }
    return journals;
}

// Whether the journal's entry names the file: its folder reached from the
// program folder as the start reaches it, and the target's or the temporary's name.
bool NamesFile(int root, const JournalEntry& entry, const struct stat& folder, const std::string& name)
{
    std::string target;
    const int fd = OpenConfinedFolder(root, entry.target, target);
    if (fd < 0)
        return false;
    struct stat st;
    const bool same = ::fstat(fd, &st) == 0 && st.st_dev == folder.st_dev && st.st_ino == folder.st_ino
        && (name == target || (!entry.temporary.empty() && name == entry.temporary));
    ::close(fd);
    return same;
}

} // namespace

bool OtherJournalStands()
{
    return !OtherJournals().empty();
}

WaitingJournal JournalWaitingFor(const std::string& diskPath, UnreadableJournals unreadable)
{
    WaitingJournal waiting;
    const std::vector<std::string> journals = OtherJournals();
    struct stat folder;
    if (journals.empty() || ::stat(FolderOf(diskPath).c_str(), &folder) != 0)
        return waiting;
    const int root = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0)
        return waiting;
    const std::string name = BaseNameOf(diskPath);
    std::string forbiddenJournal;
    for (const std::string& journal : journals) {
        std::string text;
        bool forbidden = false;
        if (!ReadJournal(root, journal, text, forbidden)) {
            if (forbidden && forbiddenJournal.empty())
                forbiddenJournal = journal;
            continue;
        }
        // Every line that reads as an entry, in a journal whole or not: the
        // start decides what becomes of it, not a save.
        JournalKind kind = JournalKind::Replace;
        std::vector<JournalEntry> entries;
        const bool old = IsTheLastBuildsJournal(journal, text);
        const bool whole
            = old ? DecodeOldJournal(text, GetCurrentFolder(), entries) : DecodeJournal(text, kind, entries);
        if (std::none_of(entries.begin(), entries.end(),
                         [&](const JournalEntry& entry) { return NamesFile(root, entry, folder, name); }))
            continue;
        // Told as the start would take it now: nothing is remembered of it.
        const std::vector<EntryOnDisk> disk = OnDisk(root, entries);
        waiting.name = journal;
        waiting.finishedAtNextStart
            = whole && (kind == JournalKind::Begun || (old ? OldJournalFitsAKill(disk) : FitsAKill(entries, disk)));
        CloseAll(disk);
        break;
    }
    ::close(root);
    if (waiting.name.empty() && !forbiddenJournal.empty() && unreadable == UnreadableJournals::Answer) {
        waiting.name = forbiddenJournal;
        waiting.unreadable = true;
    }
    return waiting;
}

} // namespace plat
