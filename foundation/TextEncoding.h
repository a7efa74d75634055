#pragma once
// 8-bit engine text is Windows-1252; the platform speaks UTF-8. These convert
// at that boundary only.

#include <string>
#include <string_view>

std::string Windows1252ToUtf8(std::string_view text);
// Characters with no Windows-1252 form become '?'.
std::string Utf8ToWindows1252(std::string_view text);
