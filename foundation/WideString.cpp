#include "foundation/WideString.h"

#include <cstdint>
#include <cstdlib>

namespace {

const char16_t kNoUnits[1] = {0};

const char16_t* OrEmpty(const char16_t* s)
{
    return s ? s : kNoUnits;
}
const char* OrEmpty(const char* s)
{
    return s ? s : "";
}

uint32_t Code(char16_t c)
{
    return c;
}
uint32_t Code(char c)
{
    return uint8_t(c);
}
uint32_t FoldUpper(uint32_t c)
{
    return c >= 'a' && c <= 'z' ? c - 32 : c;
}

template <typename A, typename B>
int CompareUnits(const A* a, const B* b, size_t n, bool noCase)
{
    for (size_t i = 0; i < n; ++i) {
        uint32_t ca = Code(a[i]);
        uint32_t cb = Code(b[i]);
        if (noCase) {
            ca = FoldUpper(ca);
            cb = FoldUpper(cb);
        }
        if (ca != cb)
            return int(ca) - int(cb);
        if (ca == 0)
            return 0;
    }
    return 0;
}

template <typename B>
const char16_t* FindUnits(const char16_t* s, const B* sub, bool noCase)
{
    if (!s)
        return nullptr;
    if (!sub || !*sub)
        return s;
    for (; *s; ++s) {
        size_t i = 0;
        for (; sub[i]; ++i) {
            uint32_t cs = s[i];
            uint32_t cb = Code(sub[i]);
            if (noCase ? FoldUpper(cs) != FoldUpper(cb) : cs != cb)
                break;
        }
        if (!sub[i])
            return s;
    }
    return nullptr;
}

bool IsCSpace(uint32_t c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int DigitValue(uint32_t c)
{
    if (c >= '0' && c <= '9')
        return int(c - '0');
    if (c >= 'a' && c <= 'z')
        return int(c - 'a' + 10);
    if (c >= 'A' && c <= 'Z')
        return int(c - 'A' + 10);
    return 99;
}

// strtol with a 32-bit long, parsed here because long is 64-bit on this target.
template <typename Char>
int32_t ParseLong32(const Char* s, const Char** end, int radix)
{
    const Char* p = s;
    if (end)
        *end = s;
    if (!s || radix < 0 || radix == 1 || radix > 36)
        return 0;
    while (IsCSpace(Code(*p)))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if ((radix == 0 || radix == 16) && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(Code(p[2])) < 16) {
        p += 2;
        radix = 16;
    } else if (radix == 0) {
        radix = p[0] == '0' ? 8 : 10;
    }
    const uint64_t limit = negative ? uint64_t(INT32_MAX) + 1 : uint64_t(INT32_MAX);
    uint64_t value = 0;
    const Char* first = p;
    for (int digit; (digit = DigitValue(Code(*p))) < radix; ++p) {
        value = value * uint64_t(radix) + uint64_t(digit);
        if (value > limit)
            value = limit;
    }
    if (p == first)
        return 0;
    if (end)
        *end = p;
    return negative ? int32_t(-int64_t(value)) : int32_t(value);
}

} // namespace

size_t WideLength(const char16_t* s)
{
    size_t n = 0;
    if (s)
        while (s[n])
            ++n;
    return n;
}

char16_t* WideCopy(char16_t* dst, const char16_t* src)
{
    src = OrEmpty(src);
    size_t i = 0;
    do
        dst[i] = src[i];
    while (src[i++]);
    return dst;
}

char16_t* WideCopyN(char16_t* dst, const char16_t* src, size_t n)
{
    src = OrEmpty(src);
    size_t i = 0;
    for (; i < n && src[i]; ++i)
        dst[i] = src[i];
    for (; i < n; ++i)
        dst[i] = 0;
    return dst;
}

int WideCompare(const char16_t* a, const char16_t* b)
{
    return CompareUnits(OrEmpty(a), OrEmpty(b), SIZE_MAX, false);
}
int WideCompareN(const char16_t* a, const char16_t* b, size_t n)
{
    return CompareUnits(OrEmpty(a), OrEmpty(b), n, false);
}
int WideNarrowCompare(const char16_t* a, const char* b)
{
    return CompareUnits(OrEmpty(a), OrEmpty(b), SIZE_MAX, false);
}
int WideNarrowCompareN(const char16_t* a, const char* b, size_t n)
{
    return CompareUnits(OrEmpty(a), OrEmpty(b), n, false);
}
int WideCompareNoCase(const char16_t* a, const char16_t* b)
{
    return CompareUnits(OrEmpty(a), OrEmpty(b), SIZE_MAX, true);
}
int WideCompareNoCaseN(const char16_t* a, const char16_t* b, size_t n)
{
    return CompareUnits(OrEmpty(a), OrEmpty(b), n, true);
}
int WideNarrowCompareNoCase(const char16_t* a, const char* b)
{
    return CompareUnits(OrEmpty(a), OrEmpty(b), SIZE_MAX, true);
}
int WideNarrowCompareNoCaseN(const char16_t* a, const char* b, size_t n)
{
    return CompareUnits(OrEmpty(a), OrEmpty(b), n, true);
}

const char16_t* WideFind(const char16_t* s, const char16_t* sub)
{
    return FindUnits(s, sub, false);
}
const char16_t* WideFindNoCase(const char16_t* s, const char16_t* sub)
{
    return FindUnits(s, sub, true);
}
const char16_t* WideFindNarrow(const char16_t* s, const char* sub)
{
    return FindUnits(s, sub, false);
}
const char16_t* WideFindNarrowNoCase(const char16_t* s, const char* sub)
{
    return FindUnits(s, sub, true);
}

int32_t WideToLong(const char16_t* s, const char16_t** end, int radix)
{
    return ParseLong32(s, end, radix);
}
int32_t NarrowToLong(const char* s, const char** end, int radix)
{
    return ParseLong32(s, end, radix);
}
int32_t WideToInt(const char16_t* s)
{
    return ParseLong32<char16_t>(s, nullptr, 10);
}

float WideToFloat(const char16_t* s)
{
    char text[256];
    size_t n = 0;
    for (s = OrEmpty(s); n < 255 && s[n]; ++n)
        text[n] = char(s[n] & 0xFF);
    text[n] = 0;
    return float(std::strtod(text, nullptr));
}

void WideToNarrowN(char* dst, const char16_t* s, size_t n)
{
    s = OrEmpty(s);
    for (size_t i = 0; i < n && s[i]; ++i)
        dst[i] = char(s[i] & 0xFF);
}
