#include "foundation/TextHelpers.h"

#include <cstring>

namespace {

unsigned char LowerAscii(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

bool EqualNoCaseN(const char* a, const char* b, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (LowerAscii(static_cast<unsigned char>(a[i])) != LowerAscii(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Keeps the characters the predicate accepts, in order.
template <typename Keep>
void Compact(char* text, Keep keep)
{
    if (!text)
        return;
    char* out = text;
    for (const char* in = text; *in; ++in)
        if (keep(*in))
            *out++ = *in;
    *out = 0;
}

} // namespace

bool StripMarkerBytes(CJString& text)
{
    bool removed = false;
    for (int at = text.FindChar(1); at >= 0; at = text.FindChar(1, at)) {
        text.Delete(at, 1);
        removed = true;
    }
    return removed;
}

bool StripPrefixNoCase(char* text, const char* prefix)
{
    if (!text || !prefix)
        return false;
    const size_t length = std::strlen(prefix);
    if (std::strlen(text) < length || !EqualNoCaseN(text, prefix, length))
        return false;
    std::memmove(text, text + length, std::strlen(text + length) + 1);
    return true;
}

bool StripSuffixNoCase(char* text, const char* suffix)
{
    if (!text || !suffix || !*suffix)
        return false;
    const size_t length = std::strlen(suffix);
    const size_t textLength = std::strlen(text);
    if (textLength < length || !EqualNoCaseN(text + textLength - length, suffix, length))
        return false;
    text[textLength - length] = 0;
    return true;
}

bool IsWhitespaceChar(int c)
{
    return c == '\t' || c == ' ' || c == '\r' || c == '\n';
}

bool IsBlank(const char* text)
{
    return !text || !*SkipWhitespace(text);
}

const char* SkipWhitespace(const char* text)
{
    while (text && IsWhitespaceChar(static_cast<unsigned char>(*text)))
        ++text;
    return text;
}

char* SkipWhitespace(char* text)
{
    return const_cast<char*>(SkipWhitespace(static_cast<const char*>(text)));
}

const char* FindWhitespace(const char* text)
{
    while (text && *text && !IsWhitespaceChar(static_cast<unsigned char>(*text)))
        ++text;
    return text;
}

char* FindWhitespace(char* text)
{
    return const_cast<char*>(FindWhitespace(static_cast<const char*>(text)));
}

void RemoveWhitespace(char* text)
{
    Compact(text, [](char c) { return !IsWhitespaceChar(static_cast<unsigned char>(c)); });
}

void KeepOnlyChars(char* text, const char* set)
{
    Compact(text, [set](char c) { return set && std::strchr(set, c) != nullptr; });
}

void ToLowerAscii(char* text)
{
    for (; text && *text; ++text)
        *text = char(LowerAscii(static_cast<unsigned char>(*text)));
}

void ReplaceChar(char* text, char from, char to)
{
    for (; text && *text; ++text)
        if (*text == from)
            *text = to;
}

const char* FindSubstringNoCase(const char* text, const char* part)
{
    if (!text || !*text || !part)
        return nullptr;
    // No character of part equals the terminator, so a comparison never
    // reads past the end of text.
    const size_t length = std::strlen(part);
    for (const char* at = text; *at; ++at)
        if (EqualNoCaseN(at, part, length))
            return at;
    return nullptr;
}

int CompareTextNoCase(const char* a, const char* b)
{
    const auto* x = reinterpret_cast<const unsigned char*>(a ? a : "");
    const auto* y = reinterpret_cast<const unsigned char*>(b ? b : "");
    for (;; ++x, ++y) {
        const int difference = int(LowerAscii(*x)) - int(LowerAscii(*y));
        if (difference != 0 || *x == 0)
            return difference;
    }
}

char* AllocateDString(const char* text)
{
    if (!text)
        return nullptr;
    const size_t size = std::strlen(text) + 1;
    char* copy = new char[size];
    std::memcpy(copy, text, size);
    return copy;
}
