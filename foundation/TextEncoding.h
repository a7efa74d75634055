#pragma once
// 8-bit engine text is Windows-1252, wide engine text UTF-16; the platform
// speaks UTF-8. These convert at that boundary only.

#include <string>
#include <string_view>

std::string Windows1252ToUtf8(std::string_view text);
// Characters with no Windows-1252 form become '?'.
std::string Utf8ToWindows1252(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& units);
// Malformed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
