#include "platform/StreamSize.h"

#include <sys/types.h>
#include <unistd.h>

namespace plat {

bool SetStreamSize(std::FILE* stream, std::uint64_t size)
{
    if (!stream || size > std::uint64_t(INT64_MAX))
        return false;
    if (std::fflush(stream) != 0)
        return false;
    return ::ftruncate(::fileno(stream), off_t(size)) == 0;
}

} // namespace plat
