#pragma once
// UTF-16 C-string helpers. Units are char16_t; the 8-bit side of a mixed
// operation stands for the codes 0-255. Comparisons return the difference of
// the first differing (folded) codes; the no-case forms fold a-z to A-Z only.
// Null pointers count as empty texts.

#include <cstddef>
#include <cstdint>

size_t WideLength(const char16_t* s);
// Copies up to and including the zero unit.
char16_t* WideCopy(char16_t* dst, const char16_t* src);
// Copies at most n units and fills the rest of the n with zero units.
char16_t* WideCopyN(char16_t* dst, const char16_t* src, size_t n);

int WideCompare(const char16_t* a, const char16_t* b);
int WideCompareN(const char16_t* a, const char16_t* b, size_t n);
int WideNarrowCompare(const char16_t* a, const char* b);
int WideNarrowCompareN(const char16_t* a, const char* b, size_t n);
int WideCompareNoCase(const char16_t* a, const char16_t* b);
int WideCompareNoCaseN(const char16_t* a, const char16_t* b, size_t n);
int WideNarrowCompareNoCase(const char16_t* a, const char* b);
int WideNarrowCompareNoCaseN(const char16_t* a, const char* b, size_t n);

// The first occurrence of sub (an empty sub finds s itself), or null.
const char16_t* WideFind(const char16_t* s, const char16_t* sub);
const char16_t* WideFindNoCase(const char16_t* s, const char16_t* sub);
const char16_t* WideFindNarrow(const char16_t* s, const char* sub);
const char16_t* WideFindNarrowNoCase(const char16_t* s, const char* sub);

// The C library's text-to-long rules with a 32-bit long: white space, an
// optional sign, "0x" for radix 0 or 16, radix 0 choosing 8 for a leading "0";
// out-of-range values saturate. end receives the position after the last
// digit, or s when no digit was read.
int32_t WideToLong(const char16_t* s, const char16_t** end, int radix);
int32_t NarrowToLong(const char* s, const char** end, int radix);
int32_t WideToInt(const char16_t* s);
// The low bytes of the first 255 units, read as a C-locale number.
float WideToFloat(const char16_t* s);
// The low byte of each of the first min(n, length) units; no terminator.
void WideToNarrowN(char* dst, const char16_t* s, size_t n);
