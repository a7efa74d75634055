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

// Both texts folded. "?" takes one whole UTF-8 character.
bool MatchFolded(std::string_view pattern, std::size_t p, std::string_view name, std::size_t n)
{
    while (p < pattern.size()) {
        const char c = pattern[p];
        if (c == '*') {
            while (p < pattern.size() && pattern[p] == '*')
                ++p;
            if (p == pattern.size())
                return true;
            for (std::size_t k = n; k <= name.size(); ++k)
                if (MatchFolded(pattern, p, name, k))
                    return true;
            return false;
        }
        if (n == name.size()) {
            // "." followed only by stars also matches the end of a name
            // without an extension: "*.*" lists every name.
            return c == '.' && pattern.find_first_not_of('*', p + 1) == std::string_view::npos;
        }
        if (c == '?') {
            ++n;
            while (n < name.size() && IsContinuationByte(name[n]))
                ++n;
        } else if (c == name[n]) {
            ++n;
        } else {
            return false;
        }
        ++p;
    }
    return n == name.size();
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
            return MatchFolded(stem, 0, "", 0);
        return name.find('.') == std::string_view::npos && MatchFolded(stem, 0, foldedName, 0);
    }
    return MatchFolded(FoldNoCase(pattern), 0, foldedName, 0);
}

std::vector<FindEntry> FindFiles(std::string_view pattern)
{
    std::vector<FindEntry> entries;
    const std::size_t slash = pattern.find_last_of("/\\");
    const std::string_view folderPart = slash == std::string_view::npos ? std::string_view() : pattern.substr(0, slash + 1);
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
