#pragma once
// Case-blind comparison of UTF-8 names, the one rule used for file names,
// settings sections and keys. ASCII letters and the Latin-1 letters
// (U+00C0-U+00DE against U+00E0-U+00FE, except the multiplication and
// division signs) fold together; every other byte compares as itself.

#include <string>
#include <string_view>

namespace plat {

// <0, 0 or >0, ordering by the folded bytes.
int CompareNoCase(std::string_view a, std::string_view b);

bool EqualsNoCase(std::string_view a, std::string_view b);

// The folded copy: equal for names that EqualsNoCase, byte for byte.
std::string FoldNoCase(std::string_view text);

// Case-blind order with a byte-wise tie break, so that names differing only
// in case still sort the same way on every run ("ABC" < "Abc" < "abc").
bool LessNoCaseThenBytes(std::string_view a, std::string_view b);

} // namespace plat
