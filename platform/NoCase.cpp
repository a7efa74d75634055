#include "platform/NoCase.h"

#include <algorithm>
#include <cstring>

namespace plat {

namespace {

// The folded value of byte i. In UTF-8, U+00C0-U+00DE are 0xC3 0x80-0x9E and
// their small forms 0xC3 0xA0-0xBE, so folding a Latin-1 letter only moves
// its second byte; 0xC3 is never a continuation byte, so looking one byte
// back is enough to know where we are.
unsigned char FoldAt(std::string_view s, std::size_t i)
{
    const auto b = static_cast<unsigned char>(s[i]);
    if (b >= 'A' && b <= 'Z')
        return static_cast<unsigned char>(b + ('a' - 'A'));
    if (i > 0 && static_cast<unsigned char>(s[i - 1]) == 0xC3 && b >= 0x80 && b <= 0x9E && b != 0x97)
        return static_cast<unsigned char>(b + 0x20);
    return b;
}

} // namespace

int CompareNoCase(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char ca = FoldAt(a, i);
        const unsigned char cb = FoldAt(b, i);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

std::string FoldNoCase(std::string_view text)
{
    std::string folded(text);
    for (std::size_t i = 0; i < text.size(); ++i)
        folded[i] = static_cast<char>(FoldAt(text, i));
    return folded;
}

bool LessNoCaseThenBytes(std::string_view a, std::string_view b)
{
    const int order = CompareNoCase(a, b);
    if (order != 0)
        return order < 0;
    return a < b;
}

} // namespace plat
