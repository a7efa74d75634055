#include "platform/FileLock.h"

#include "platform/FileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace plat {

namespace {

// A name replaced between open and lock on every try still ends.
constexpr int kMaxAttempts = 1000;

using FileKey = std::pair<std::uint64_t, std::uint64_t>; // device, inode

std::mutex& HeldMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::set<FileKey>& HeldFiles()
{
    static std::set<FileKey>* held = new std::set<FileKey>;
    return *held;
}

bool Register(const FileKey& key)
{
    std::lock_guard<std::mutex> lock(HeldMutex());
    return HeldFiles().insert(key).second;
}

void Unregister(const FileKey& key)
{
    std::lock_guard<std::mutex> lock(HeldMutex());
    HeldFiles().erase(key);
}

void Fill(const struct stat& st, FileIdentity& identity)
{
    identity.device = std::uint64_t(st.st_dev);
    identity.inode = std::uint64_t(st.st_ino);
    identity.size = std::uint64_t(st.st_size);
    identity.writeTimeNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

} // namespace

bool GetFileIdentity(std::string_view name, FileIdentity& identity)
{
    struct stat st;
    if (name.empty() || ::stat(ResolvePath(name).c_str(), &st) != 0)
        return false;
    Fill(st, identity);
    return true;
}

bool GetFileIdentity(std::FILE* stream, FileIdentity& identity)
{
    struct stat st;
    if (!stream || ::fstat(::fileno(stream), &st) != 0)
        return false;
    Fill(st, identity);
    return true;
}

bool IsLockedByThisProcess(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return false;
    std::lock_guard<std::mutex> lock(HeldMutex());
    return HeldFiles().count(FileKey(std::uint64_t(st.st_dev), std::uint64_t(st.st_ino))) != 0;
}

LockResult CFileLock::Acquire(std::string_view name)
{
    Release();
    if (name.empty())
        return LockResult::Failed;
    const std::string path = ResolvePath(name);
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        bool created = false;
        // A named pipe in the file's place is refused, never waited on.
        int fd = OpenRegularFile(path, O_RDONLY);
        if (fd < 0 && errno == ENOENT) {
            fd = OpenRegularFile(path, O_RDONLY | O_CREAT | O_EXCL);
            if (fd < 0 && errno == EEXIST)
                continue;
            created = fd >= 0;
        }
        if (fd < 0)
            return LockResult::Failed;
        struct stat held;
        if (::fstat(fd, &held) != 0) {
            ::close(fd);
            return LockResult::Failed;
        }
        const FileKey key(std::uint64_t(held.st_dev), std::uint64_t(held.st_ino));
        if (!Register(key)) {
            ::close(fd);
            return LockResult::HeldByThisProcess;
        }
        int locked;
        while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {}
        struct stat now;
        if (locked == 0 && ::stat(path.c_str(), &now) == 0 && now.st_dev == held.st_dev && now.st_ino == held.st_ino) {
            m_Fd = fd;
            m_Path = path;
            m_Device = key.first;
            m_Inode = key.second;
            m_Created = created;
            return LockResult::Locked;
        }
        Unregister(key);
        ::close(fd);
        if (locked != 0)
            return LockResult::Failed;
        // The name was given a new file while this one waited: lock that one.
    }
    return LockResult::Failed;
}

void CFileLock::Release()
{
    if (m_Fd < 0)
        return;
    if (m_Created) {
        // The placeholder goes, unless a writer has filled or replaced it.
        struct stat st;
        if (::stat(m_Path.c_str(), &st) == 0 && std::uint64_t(st.st_dev) == m_Device
            && std::uint64_t(st.st_ino) == m_Inode && st.st_size == 0)
            ::unlink(m_Path.c_str());
    }
    Unregister(FileKey(m_Device, m_Inode));
    ::close(m_Fd); // lets the lock go
    m_Fd = -1;
    m_Path.clear();
    m_Created = false;
}

} // namespace plat
