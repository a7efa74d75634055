#include "platform/InstanceLock.h"

#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
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

bool AcquireLockFile(const std::string& path, int flags = 0)
{
    std::map<std::string, int>& held = HeldLocks();
    if (held.count(path))
        return true;
    const int fd = OpenRegularFile(path, O_RDWR | O_CREAT | flags, 0600);
    if (fd < 0)
        return true;
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const bool heldElsewhere = errno == EWOULDBLOCK;
        ::close(fd);
        return !heldElsewhere;
    }
    held[path] = fd;
    return true;
}

std::string FolderLockPath(const std::string& folder, std::string_view name)
{
    return folder + "/." + std::string(name) + ".lock";
}

std::vector<std::string>& FolderLocks()
{
    static auto* folders = new std::vector<std::string>;
    return *folders;
}

} // namespace

bool AcquireInstanceLock(std::string_view name)
{
    return AcquireLockFile(GetInstanceLockPath(name));
}

bool AcquireFolderLock(const std::string& folder, std::string_view name)
{
    const std::string path = FolderLockPath(folder, name);
    // The folder may come from anyone: a link in the lock's place makes no
    // file where it points.
    if (!AcquireLockFile(path, O_NOFOLLOW))
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
        // An orderly end leaves the folder as it found it.
        ::unlink(path.c_str());
        ::close(held->second);
        HeldLocks().erase(held);
    }
    FolderLocks().clear();
}

} // namespace plat
