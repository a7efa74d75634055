#include "platform/Debug.h"

#include <cstdio>
#include <cstdlib>

namespace plat {

void DebugOutput(std::string_view text)
{
    static const bool enabled = std::getenv("OMBRISALT_DEBUG_OUTPUT") != nullptr;
    if (!enabled)
        return;
    std::fwrite(text.data(), 1, text.size(), stderr);
    if (text.empty() || text.back() != '\n')
        std::fputc('\n', stderr);
}

} // namespace plat
