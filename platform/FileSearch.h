#pragma once
// Listing one folder by pattern, with the wildcard rules data files were
// written against:
// - "*" matches any run of characters, "?" exactly one; letters match
//   case-blind (NoCase.h);
// - a pattern ending in "." followed only by "*" also matches names without
//   a dot ("*.*" matches every name, "ab*.*" every name beginning "ab");
// - a pattern with a wildcard and a final "." ("name*.") matches only names
//   without a dot (and "." and ".." when the rest matches an empty name);
// - wildcard patterns also list "." and "..";
// - a pattern without wildcards finds the file or folder of that name.
// The folder part of the pattern is resolved like any engine name; only the
// last component may hold wildcards. Entries come sorted case-blind
// (LessNoCaseThenBytes), the order the engine's de-duplication relies on.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

struct FindEntry {
    std::string name;            // as on disk, no folder
    std::uint32_t size = 0;      // saturates at 0xFFFFFFFF; 0 for folders
    std::uint64_t writeTime = 0; // file time (FileSystem.h)
    bool isFolder = false;
    bool isReadOnly = false;
    bool isRegular = false; // a regular file (after links), not a pipe or a device
};

// Empty when the folder is missing or nothing matches.
std::vector<FindEntry> FindFiles(std::string_view pattern);

// Whether a bare name (no folder) matches a one-component pattern.
bool MatchesFilePattern(std::string_view pattern, std::string_view name);

} // namespace plat
