#pragma once
// Writers of one file in more than one process, and the identity of a file.
//
// A writer that reads a file, changes it and replaces it holds the file's
// lock for the whole of that, so no two such writers interleave and no
// write reported as done is lost. CFileLock takes an exclusive advisory lock
// (flock) on the file a name refers to and then checks that the name still
// refers to that file: a replacement by rename gives the name a new file, so
// a lock won on a replaced file is let go and taken again on the new one.
// A missing file is created empty to have something to lock, and removed
// again at release when it is still that empty file.
//
// Advisory locks of one process do not exclude each other across separate
// opens in the way a second process is excluded, so a file this process
// already holds is refused at once instead of waiting for itself.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace plat {

// What tells one file on disk from another, and one state of it from the
// next. Equal identities: the same file, unchanged as far as the disk shows.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t writeTimeNs = 0; // since 1970; a rename leaves it, so a
                                  // file's identity is known before it is renamed into place

    bool operator==(const FileIdentity&) const = default;
    // Device and inode only: the same file, whatever became of its contents.
    bool SameFile(const FileIdentity& other) const { return device == other.device && inode == other.inode; }
};

// Follows symbolic links; false when the name does not exist.
bool GetFileIdentity(std::string_view name, FileIdentity& identity);
// The same for an open stream.
bool GetFileIdentity(std::FILE* stream, FileIdentity& identity);

enum class LockResult {
    Locked,
    HeldByThisProcess, // refused: waiting would never end
    Failed             // the file could not be opened or created
};

// Whether a CFileLock of this process holds the file the name refers to.
bool IsLockedByThisProcess(const std::string& path);

class CFileLock {
public:
    CFileLock() = default;
    ~CFileLock() { Release(); }
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

    // Waits while another process holds the lock.
    [[nodiscard]] LockResult Acquire(std::string_view name);
    void Release();
    bool IsHeld() const { return m_Fd >= 0; }
    // The resolved name the lock was taken on.
    const std::string& GetPath() const { return m_Path; }

private:
    int m_Fd = -1;
    std::string m_Path;
    std::uint64_t m_Device = 0;
    std::uint64_t m_Inode = 0;
    bool m_Created = false; // the file did not exist before the lock
};

} // namespace plat
