#include "foundation/TextEncoding.h"

#include <cstdint>

namespace {

// Code points of bytes 0x80 to 0x9F; 0 marks the five unassigned bytes, which
// map to the C1 control of the same value, so that every byte round-trips.
constexpr uint16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

uint32_t CodeOf(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0 && kHigh[byte - 0x80] != 0)
        return kHigh[byte - 0x80];
    return byte;
}

void AppendUtf8(std::string& out, uint32_t code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

} // namespace

std::string Windows1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text)
        AppendUtf8(out, CodeOf(c));
    return out;
}

std::string Utf8ToWindows1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = text[i];
        uint32_t code = lead;
        size_t length = 1;
        if (lead >= 0xF0) {
            code = lead & 0x07;
            length = 4;
        } else if (lead >= 0xE0) {
            code = lead & 0x0F;
            length = 3;
        } else if (lead >= 0xC0) {
            code = lead & 0x1F;
            length = 2;
        } else if (lead >= 0x80) {
            out += '?';
            ++i;
            continue;
        }
        if (i + length > text.size()) {
            out += '?';
            break;
        }
        bool valid = true;
        for (size_t k = 1; k < length; ++k) {
            unsigned char c = text[i + k];
            valid = valid && (c & 0xC0) == 0x80;
            code = (code << 6) | (c & 0x3F);
        }
        // An over-long form would smuggle in a '/' or a terminator.
        constexpr uint32_t kShortest[5] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && code >= kShortest[length];
        i += valid ? length : 1;
        char mapped = '?';
        // A code that its own byte stands for, the C1 controls of the five
        // unassigned bytes included, so that every byte survives the trip.
        if (valid && code < 0x100 && CodeOf(static_cast<unsigned char>(code)) == code)
            mapped = char(code);
        else if (valid)
            for (int k = 0; k < 32; ++k)
                if (kHigh[k] == code)
                    mapped = char(0x80 + k);
        out += mapped;
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& units)
{
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t code = units[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00
            && units[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        AppendUtf8(out, code);
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        const uint8_t lead = uint8_t(text[i]);
        size_t length = lead < 0x80 ? 1 : lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        uint32_t code = length == 1 ? lead : length == 2 ? lead & 0x1Fu : length == 3 ? lead & 0x0Fu : lead & 0x07u;
        bool valid = length != 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) {
            const uint8_t next = uint8_t(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3Fu);
        }
        valid = valid && code <= 0x10FFFF && !(code >= 0xD800 && code < 0xE000) && !(length == 3 && code < 0x800)
            && !(length == 4 && code < 0x10000);
        if (!valid) {
            out += char16_t(0xFFFD);
            ++i;
            continue;
        }
        i += length;
        if (code >= 0x10000) {
            out += char16_t(0xD800 + ((code - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out += char16_t(code);
        }
    }
    return out;
}
