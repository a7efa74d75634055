#pragma once
// Debug output: a developer's trace channel, silent unless
// OMBRISALT_DEBUG_OUTPUT is set in the environment (then standard error).

#include <string_view>

namespace plat {

void DebugOutput(std::string_view text);

} // namespace plat
