#pragma once
// Modal message box. With no display, in CI or under OMBRISALT_HEADLESS=1 the
// caption and text go to standard error and the call returns at once: a box
// must never wait for a user who is not there.

#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

// Texts are UTF-8. Once a termination signal came (IsEndingOnQuit), no box
// is raised: the texts go to standard error.
void ShowMessageBox(std::string_view caption, std::string_view text);

// The longest line, in characters, of a text as a box on the display shows it.
inline constexpr int32_t kMessageBoxLineLength = 80;
// The text as a box on the display shows it: the system's boxes do not wrap,
// so a long line would make one wider than the screen. Lines are broken at
// spaces (a word longer than a line, such as a path, inside itself) and
// "\r\n" ends a line as "\n" does.
std::string FitMessageBoxText(std::string_view text);

} // namespace plat
