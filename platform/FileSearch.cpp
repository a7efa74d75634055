#include "platform/FileSearch.h"

#include "platform/FileSystem.h"
#include "platform/NoCase.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace plat {

namespace {

bool HasWildcard(std::string_view text)
{
    return text.find_first_of("*?") != std::string_view::npos;
}

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::size_t NextCharacter(std::string_view text, std::size_t pos)
{
    ++pos;
    while (pos < text.size() && IsContinuationByte(text[pos]))
        ++pos;
    return pos;
}

// Both texts folded; "?" takes one whole UTF-8 character. Greedy with a
// return to the last "*" only, which is enough for "*" and "?" and keeps
// the work linear in practice whatever the pattern.
bool MatchFolded(std::string_view pattern, std::string_view name)
{
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n = NextCharacter(name, n);
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP;
            n = starN = NextCharacter(name, starN);
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    // "." followed only by stars also matches the end of a name without an
    // extension: "*.*" lists every name.
    if (p < pattern.size() && pattern[p] == '.')
        return pattern.find_first_not_of('*', p + 1) == std::string_view::npos;
    return p == pattern.size();
}

std::uint32_t SaturateToU32(std::uint64_t value)
{
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : std::uint32_t(value);
}

bool FillEntry(const std::string& path, std::string name, FindEntry& entry)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return false;
    entry.name = std::move(name);
    entry.isFolder = S_ISDIR(st.st_mode);
    entry.isRegular = S_ISREG(st.st_mode);
    entry.isReadOnly = (st.st_mode & S_IWUSR) == 0;
    entry.size = entry.isFolder ? 0 : SaturateToU32(std::uint64_t(st.st_size));
    entry.writeTime = UnixTimeToFileTime(st.st_mtim.tv_sec, std::uint32_t(st.st_mtim.tv_nsec));
    return true;
}

} // namespace

bool MatchesFilePattern(std::string_view pattern, std::string_view name)
{
    if (!HasWildcard(pattern))
        return EqualsNoCase(pattern, name);
    const std::string foldedName = FoldNoCase(name);
    if (pattern.back() == '.') {
        // "name*." : only names without an extension.
        const std::string stem = FoldNoCase(pattern.substr(0, pattern.size() - 1));
        if (name == "." || name == "..")
            return MatchFolded(stem, "");
        return name.find('.') == std::string_view::npos && MatchFolded(stem, foldedName);
    }
    return MatchFolded(FoldNoCase(pattern), foldedName);
}

std::vector<FindEntry> FindFiles(std::string_view pattern)
{
    std::vector<FindEntry> entries;
    const std::size_t slash = pattern.find_last_of("/\\");
    const std::string_view folderPart
        = slash == std::string_view::npos ? std::string_view() : pattern.substr(0, slash + 1);
    const std::string_view last = pattern.substr(folderPart.size());
    if (last.empty() || HasWildcard(folderPart))
        return entries;

    if (!HasWildcard(last)) {
        const std::string path = ResolvePath(pattern);
        const std::size_t nameStart = path.rfind('/');
        FindEntry entry;
        if (FillEntry(path, nameStart == std::string::npos ? path : path.substr(nameStart + 1), entry))
            entries.push_back(std::move(entry));
        return entries;
    }

    std::string folder = folderPart.empty() ? std::string("./") : ResolvePath(folderPart);
    if (folder.back() != '/')
        folder += '/';
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return entries;
    while (const dirent* item = ::readdir(dir)) {
        const std::string name(item->d_name);
        if (!MatchesFilePattern(last, name))
            continue;
        FindEntry entry;
        if (FillEntry(folder + name, name, entry))
            entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const FindEntry& a, const FindEntry& b) { return LessNoCaseThenBytes(a.name, b.name); });
    return entries;
}

} // namespace plat
