#pragma once
// The one UTF-8 decoder and the one Windows-1252 table: the platform speaks
// UTF-8, the engine's 8-bit text is Windows-1252, and every conversion
// between them, typed text included, reads characters the same way.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace plat {

// What DecodeUtf8 answers for a malformed sequence.
inline constexpr uint32_t kNotUtf8 = 0xFFFFFFFFu;

// The character at text[pos] (pos < size), pos moved past it. A malformed
// sequence (a byte that starts none, a missing continuation, a longer form
// than the character needs, a surrogate, a code above U+10FFFF, a sequence
// cut off by the end) answers kNotUtf8 and moves pos by one byte, so each
// stray byte counts once and what follows it is read as usual.
uint32_t DecodeUtf8(std::string_view text, size_t& pos);

// The code point a Windows-1252 byte stands for; the five bytes the code
// page leaves unassigned stand for the C1 control of the same value.
uint32_t Windows1252ToCodePoint(uint8_t byte);
// The byte of a code point in Windows-1252; false when it has none (the
// C1 controls included).
bool CodePointToWindows1252(uint32_t code, uint8_t& byte);

} // namespace plat
