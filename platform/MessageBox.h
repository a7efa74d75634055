#pragma once
// Modal message box. With no display, in CI or under OMBRISALT_HEADLESS=1 the
// caption and text go to standard error and the call returns at once: a box
// must never wait for a user who is not there.

#include <string_view>

namespace plat {

// Texts are UTF-8.
void ShowMessageBox(std::string_view caption, std::string_view text);

} // namespace plat
