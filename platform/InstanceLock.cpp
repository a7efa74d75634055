#include "platform/InstanceLock.h"

#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <unistd.h>

namespace plat {

std::string GetInstanceLockPath(std::string_view name)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/" + std::string(name) + ".lock";
    return "/tmp/" + std::string(name) + "-" + std::to_string(::getuid()) + ".lock";
}

bool AcquireInstanceLock(std::string_view name)
{
    // Descriptors stay open for the life of the process: closing one would
    // release the lock.
    static std::map<std::string, int> held;
    const std::string path = GetInstanceLockPath(name);
    if (held.count(path))
        return true;
    const int fd = OpenRegularFile(path, O_RDWR | O_CREAT, 0600);
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

} // namespace plat
