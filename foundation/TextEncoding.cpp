#include "foundation/TextEncoding.h"

#include "platform/TextCodec.h"

#include <cstdint>

namespace {

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
        AppendUtf8(out, plat::Windows1252ToCodePoint(c));
    return out;
}

std::string Utf8ToWindows1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const uint32_t code = plat::DecodeUtf8(text, i);
        // The C1 controls of the five unassigned bytes map back to them, so
        // that every byte survives the trip.
        char mapped = '?';
        uint8_t byte = 0;
        if (code < 0x100 && plat::Windows1252ToCodePoint(uint8_t(code)) == code)
            mapped = char(code);
        else if (code != plat::kNotUtf8 && plat::CodePointToWindows1252(code, byte))
            mapped = char(byte);
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
        const uint32_t code = plat::DecodeUtf8(text, i);
        if (code == plat::kNotUtf8) {
            out += char16_t(0xFFFD);
        } else if (code >= 0x10000) {
            out += char16_t(0xD800 + ((code - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out += char16_t(code);
        }
    }
    return out;
}
