#include "platform/InstanceLock.h"

#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace plat {

std::string GetInstanceLockPath(std::string_view name)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/" + std::string(name) + ".lock";
    return "/tmp/" + std::string(name) + "-" + std::to_string(::getuid()) + ".lock";
}

namespace {

// Descriptors stay open while held: closing one would release the lock.
std::map<std::string, int>& HeldLocks()
{
    static auto* held = new std::map<std::string, int>;
    return *held;
}

std::vector<std::string>& FolderLocks()
{
    static auto* folders = new std::vector<std::string>;
    return *folders;
}

// A child that does not start another program (a message box SDL shows
// from a copy of this process) would hold the locks as long as it lives,
// after this process is gone too.
void DropLocksInChild()
{
    for (const auto& [path, fd] : HeldLocks())
        ::close(fd);
    HeldLocks().clear();
    FolderLocks().clear();
}

// Keeps fd as the lock of path once it is taken, closes it otherwise; false
// when another process holds the lock.
bool HoldLock(const std::string& path, int fd)
{
    static const bool registered = ::pthread_atfork(nullptr, nullptr, DropLocksInChild) == 0;
    (void)registered;
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const bool heldElsewhere = errno == EWOULDBLOCK;
        ::close(fd);
        return !heldElsewhere;
    }
    HeldLocks()[path] = fd;
    return true;
}

std::string FolderLockPath(const std::string& folder, std::string_view name)
{
    return folder + "/." + std::string(name) + ".lock";
}

// Why the lock at path cannot be opened, or empty when nothing is there.
std::string WhyNotOpened(const std::string& path, int error)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return {};
    if (S_ISLNK(st.st_mode))
        return "it is a symbolic link";
    if (S_ISDIR(st.st_mode))
        return "it is a folder";
    if (S_ISFIFO(st.st_mode))
        return "it is a named pipe";
    if (!S_ISREG(st.st_mode))
        return "it is not a file";
    return std::strerror(error);
}

} // namespace

bool AcquireInstanceLock(std::string_view name)
{
    const std::string path = GetInstanceLockPath(name);
    if (HeldLocks().count(path))
        return true;
    const int fd = OpenRegularFile(path, O_RDWR | O_CREAT, 0600);
    if (fd < 0)
        return true;
    return HoldLock(path, fd);
}

bool AcquireFolderLock(const std::string& folder, std::string_view name, std::string& refusal)
{
    refusal.clear();
    const std::string path = FolderLockPath(folder, name);
    if (HeldLocks().count(path))
        return true;
    // The folder may come from anyone: a link in the lock's place makes no
    // file where it points.
    int fd = OpenRegularFile(path, O_RDWR | O_CREAT | O_NOFOLLOW, 0644);
    // Another account's lock: a lock needs no more than reading.
    if (fd < 0 && (errno == EACCES || errno == EROFS))
        fd = OpenRegularFile(path, O_RDONLY | O_NOFOLLOW);
    if (fd < 0) {
        const std::string why = WhyNotOpened(path, errno);
        // None there and none can be made: this account cannot write the
        // folder, and no copy can have run on it.
        if (why.empty())
            return true;
        refusal = "Could not open \"" + path + "\": " + why
            + ".\n\nThis file keeps two copies of the program from running on this folder at once, so the program "
              "does not start without it. Once no copy runs on the folder, remove it and start again.";
        return false;
    }
    // Every account that may write the folder must open it, whatever the
    // umask of whoever made it (the last build made it 0600).
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 0044) != 0044)
        (void)::fchmod(fd, (st.st_mode & 07777) | 0044);
    if (!HoldLock(path, fd))
        return false;
    if (HeldLocks().count(path))
        FolderLocks().push_back(path);
    return true;
}

void ReleaseFolderLocks()
{
    for (const std::string& path : FolderLocks()) {
        const auto held = HeldLocks().find(path);
        if (held == HeldLocks().end())
            continue;
        // The file stays: a copy that opened it meanwhile takes the lock on
        // it, and one that made a new file would run beside it.
        ::close(held->second);
        HeldLocks().erase(held);
    }
    FolderLocks().clear();
}

} // namespace plat
