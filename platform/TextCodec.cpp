#include "platform/TextCodec.h"

namespace plat {

namespace {

// Code points of bytes 0x80 to 0x9F; 0 marks the five unassigned bytes.
constexpr uint16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

} // namespace

uint32_t DecodeUtf8(std::string_view text, size_t& pos)
{
    const uint8_t lead = uint8_t(text[pos]);
    // C0 and C1 could only start over-long forms, F5 and above codes past U+10FFFF.
    size_t length = 0;
    if (lead < 0x80)
        length = 1;
    else if (lead >= 0xC2 && lead < 0xE0)
        length = 2;
    else if (lead >= 0xE0 && lead < 0xF0)
        length = 3;
    else if (lead >= 0xF0 && lead < 0xF5)
        length = 4;
    uint32_t code = length == 1 ? lead : length == 2 ? lead & 0x1Fu : length == 3 ? lead & 0x0Fu : lead & 0x07u;
    bool valid = length != 0 && length <= text.size() - pos;
    for (size_t k = 1; valid && k < length; ++k) {
        const uint8_t next = uint8_t(text[pos + k]);
        valid = (next & 0xC0) == 0x80;
        code = (code << 6) | (next & 0x3Fu);
    }
    // An over-long form would smuggle in a '/' or a terminator.
    valid = valid && code <= 0x10FFFF && !(code >= 0xD800 && code < 0xE000) && !(length == 3 && code < 0x800)
        && !(length == 4 && code < 0x10000);
    if (!valid) {
        ++pos;
        return kNotUtf8;
    }
    pos += length;
    return code;
}

uint32_t Windows1252ToCodePoint(uint8_t byte)
{
    if (byte >= 0x80 && byte < 0xA0 && kHigh[byte - 0x80] != 0)
        return kHigh[byte - 0x80];
    return byte;
}

bool CodePointToWindows1252(uint32_t code, uint8_t& byte)
{
    if (code < 0x80 || (code >= 0xA0 && code < 0x100)) {
        byte = uint8_t(code);
        return true;
    }
    for (int k = 0; k < 32; ++k) {
        if (kHigh[k] == code) {
            byte = uint8_t(0x80 + k);
            return true;
        }
    }
    return false;
}

} // namespace plat
