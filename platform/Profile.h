#pragma once
// Settings files: "[Section]" lines and "key=value" lines.
//
// Reading: section and key names match case-blind (the first occurrence of
// each wins); whitespace around names and values is ignored; a value wholly
// enclosed in a pair of double or single quotes loses them; lines beginning
// with ";" are comments. Writing keeps every other line as it was, replaces
// an existing key's line in place, adds a new key after the last key of its
// section and a new section at the end, keeps each line's own end (LF or CR
// LF; new lines take the file's, CR LF in a new file; a last line's lone CR
// gets its LF once a line follows) and replaces the file atomically. The
// read, change and replacement happen under the file's lock (FileLock.h), so
// writers in several processes never lose one another's keys.
//
// A file read once is kept parsed, with an index of its sections and keys,
// while its identity on disk (device, inode, size, time) is unchanged, so a
// read costs a look at the disk and a search, not a pass over the file.
//
// A file larger than kMaxProfileBytes is no settings file: it is not read,
// standard error names it, it is moved aside (KeepFileAside, FileSystem.h)
// and reads give the defaults; a writer then starts a new file. No write
// makes a file that large: it is refused, said on standard error once per
// start for that file, and the file stays as it was.
//
// A file name without a folder lives in the working folder, or in the folder
// named by OMBRISALT_HOME when that is set. Other names are engine names
// (FileSystem.h).

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plat {

// Settings files hold a few kilobytes.
inline constexpr std::uint64_t kMaxProfileBytes = std::uint64_t(1) << 20;

// The stored value, or the default when the file, section or key is missing.
std::string ReadProfileString(std::string_view file, std::string_view section, std::string_view key,
                              std::string_view defaultValue);

// The default when the file, section or key is missing or the value is
// empty; otherwise leading decimal digits after an optional sign, saturated
// to 32 bits, and 0 when there are none ("abc" and "0x10" give 0).
std::int32_t ReadProfileInt(std::string_view file, std::string_view section, std::string_view key,
                            std::int32_t defaultValue);

// False when the file cannot be written (read-only, no folder, disk error,
// or it would grow past kMaxProfileBytes; the old file then stays as it
// was) or when a name or the value would
// break the line structure (a line end anywhere, "=" in the key, "]" in the
// section, an empty section or key).
[[nodiscard]] bool WriteProfileString(std::string_view file, std::string_view section, std::string_view key,
                                      std::string_view value);

// Several keys of one section in a single replacement of the file, each
// written as WriteProfileString would. Nothing is written when one of them
// is refused.
[[nodiscard]] bool WriteProfileStrings(std::string_view file, std::string_view section,
                                       const std::vector<std::pair<std::string, std::string>>& keysAndValues);

// Where a settings file name lands on disk (see above).
std::string GetProfilePath(std::string_view file);

} // namespace plat
