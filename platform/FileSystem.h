#pragma once
// Files and folders by engine name.
//
// Engine names are UTF-8, use "\" or "/" as separators and are looked up
// without regard to case, for reading and for writing alike: each component
// becomes the folder's name that equals it case-blind, the first in
// LessNoCaseThenBytes order when several differ only in case, so the same
// file is found whatever case is asked (in a folder changed within the last
// two seconds, a spelling that exists is taken as it is). A component that does not exist
// keeps the spelling given, so a new file is created under the caller's name
// while an existing file of another case is the one overwritten. Folder
// listings are cached while the folder is unchanged (safe from any thread);
// changes made by other routes are seen at the next lookup.
//
// Times are file times: 100 ns units since 1601-01-01 UTC.

#include "platform/FileLock.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace plat {

// The disk path for an engine name ("/" separators, components resolved).
std::string ResolvePath(std::string_view name);

// fopen on the resolved name; mode as for fopen ("rb", "wb", "r+b", "ab").
// Anything but a regular file (a named pipe, a device, a folder) is refused
// without blocking: null.
std::FILE* OpenFile(std::string_view name, const char* mode);
// The same on a disk path already resolved.
std::FILE* OpenResolvedFile(const std::string& path, const char* mode);
// The descriptor form every other open goes through: open(2) flags and
// permissions on a resolved path; anything but a regular file is refused
// without blocking (-1, errno EINVAL), and the descriptor returned blocks
// as usual.
int OpenRegularFile(const std::string& path, int flags, unsigned permissions = 0666);

struct FileStatus {
    bool isFolder = false;
    bool isRegular = false;      // neither a folder nor a pipe, device or socket
    bool isReadOnly = false;     // the owner has no write permission
    std::uint64_t size = 0;      // bytes; 0 for a folder
    std::uint64_t writeTime = 0; // file time
};

// False when the name does not exist.
bool GetFileStatus(std::string_view name, FileStatus& status);
// Sets the last-write time (a file time); false for a missing file.
bool SetFileWriteTime(std::string_view name, std::uint64_t writeTime);
bool PathExists(std::string_view name);
bool IsFolder(std::string_view name);
bool IsReadOnly(std::string_view name); // false for a missing file
// The name itself is a symbolic link (not followed): a replacement refuses it.
bool IsSymbolicLink(std::string_view name);
// A folder whose entries may be listed.
bool CanListFolder(std::string_view name);
// A folder this process may make files in: its permissions for the
// effective user, and a disk not mounted read-only.
bool CanWriteInFolder(std::string_view name);
// Sets or clears the owner write permission; false for a missing file.
bool SetReadOnly(std::string_view name, bool readOnly);

// One level, like mkdir; false when it exists or the parent is missing.
bool CreateFolder(std::string_view name);
bool DeleteFile(std::string_view name); // files only
// Replaces an existing target, as the atomic replace needs.
bool RenameFile(std::string_view from, std::string_view to);
// Moves a file that could not be read to the first free name of "<name>.bad",
// "<name>.bad.1", ... so that no earlier copy is ever replaced. The ending
// added (".bad", ".bad.1", ...), or empty when the file stays where it is.
std::string KeepFileAside(std::string_view name);
// Waits until the file's bytes are on the disk, so that a rename that
// follows can never expose a half-written file after a crash.
bool SyncFileToDisk(std::string_view name);

std::string GetCurrentFolder(); // absolute, no trailing "/"
bool SetCurrentFolder(std::string_view name);
// The folder exactly as named (no case lookup, "\\" part of a name): for a
// path the system gave.
bool SetCurrentFolderAsGiven(const std::string& path);

// Absolute path of the running program; empty when it cannot be had.
std::string GetProgramPath();

// Free bytes for the caller on the file system holding the name; false
// when it cannot be had.
bool GetFreeDiskSpace(std::string_view name, std::uint64_t& freeBytes);

// The current time as a file time.
std::uint64_t GetSystemFileTime();

// Conversion between Unix seconds plus nanoseconds and file times.
std::uint64_t UnixTimeToFileTime(std::int64_t seconds, std::uint32_t nanoseconds);

// A new, hidden file beside a resolved target path for writing what will
// replace it: ".<name>.tmp<process>_<count>", created exclusively; mode as
// for fdopen ("wb", "w+b"). Null when none could be made.
std::FILE* CreateTemporaryBeside(const std::string& target, std::string& tempPath, const char* mode);
// Removes the temporaries of that naming beside the target, which only
// writers that died can have left: call it while holding the target's lock
// (FileLock.h), which every writer holds while its temporary exists. The
// temporaries of other files in the folder go too when the process named in
// them is gone (or, named by this process, holds no lock on their file).
// Answers how many were removed. A folder is swept at its first replacement
// in a run; one of many entries then again at one replacement in every 64th
// of its entries, so that sweeping reads at most 64 entries a replacement.
std::size_t RemoveStaleTemporaries(const std::string& target);

// The folder entries read so far to find names case-blind and to sweep
// temporaries: the work a folder's lookups and replacements cost.
std::uint64_t FolderEntriesRead();

// Whether a replacement takes the target's lock itself or runs under one
// its caller holds (a read-modify-replace).
enum class ReplacementLock { Take, HeldByCaller };

// Writes a whole file so that readers see the old contents or the new,
// never a part: a temporary file in the same folder is written, flushed,
// synced and renamed over the target. Any failure removes the temporary,
// leaves the old file as it was and answers false. The target's lock is
// held from Begin to Commit or Abandon, and stale temporaries beside the
// target are removed under it.
class CReplacementFile {
public:
    CReplacementFile() = default;
    ~CReplacementFile(); // abandons an uncommitted file
    CReplacementFile(const CReplacementFile&) = delete;
    CReplacementFile& operator=(const CReplacementFile&) = delete;

    // Creates the temporary beside the resolved target. An existing target's
    // permission bits are given to the new file.
    [[nodiscard]] bool Begin(std::string_view name, ReplacementLock lock = ReplacementLock::Take);
    std::FILE* Stream() const { return m_Stream; }
    // Flush, sync, rename; false (old file untouched) on any failure,
    // including an earlier write error on the stream. written, when given,
    // receives the new file's identity as it was renamed into place (asking
    // by name afterwards could already see the next writer's file).
    [[nodiscard]] bool Commit(FileIdentity* written = nullptr);
    void Abandon();

private:
    std::FILE* m_Stream = nullptr;
    std::string m_TempPath;
    std::string m_TargetPath;
    CFileLock m_Lock;
};

// Called with the path of every file just synced to disk (a replacement's
// temporary before it is renamed into place), and of each folder of a
// group's temporaries synced before its journal, as the folder's path and a
// "/"; tests watch the order of sync and rename through it. Returns the observer it replaces.
using SyncObserver = void (*)(std::string_view path);
SyncObserver SetSyncObserver(SyncObserver observer);

[[nodiscard]] bool ReplaceFileContents(std::string_view name, const void* data, std::size_t size,
                                       ReplacementLock lock = ReplacementLock::Take, FileIdentity* written = nullptr);

} // namespace plat
