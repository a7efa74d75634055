#include "platform/Profile.h"

#include "platform/FileSystem.h"
#include "platform/NoCase.h"

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace plat {

namespace {

constexpr std::string_view kWhitespace = " \t\r\n\v\f";

std::string_view Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kWhitespace);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(kWhitespace);
    return text.substr(first, last - first + 1);
}

enum class LineKind { Other, Section, Key };

struct Line {
    Line() = default;
    explicit Line(std::string lineText) : text(std::move(lineText)) {}

    std::string text; // without its line end
    LineKind kind = LineKind::Other;
    std::string name;  // section or key, trimmed
    std::string value; // trimmed
};

struct ProfileText {
    std::vector<Line> lines;
    bool utf8Mark = false; // a text editor's byte-order mark, kept on writing
};

void Classify(Line& line)
{
    const std::string_view trimmed = Trim(line.text);
    if (trimmed.empty() || trimmed.front() == ';')
        return;
    if (trimmed.front() == '[') {
        std::string_view inner = trimmed.substr(1);
        const std::size_t close = inner.find(']');
        if (close != std::string_view::npos)
            inner = inner.substr(0, close);
        line.kind = LineKind::Section;
        line.name = std::string(Trim(inner));
        return;
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos)
        return;
    line.kind = LineKind::Key;
    line.name = std::string(Trim(trimmed.substr(0, equals)));
    line.value = std::string(Trim(trimmed.substr(equals + 1)));
}

// Lines end in LF or CR LF; a last line without an end counts too.
bool LoadProfile(const std::string& path, ProfileText& profile)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::string bytes;
    char chunk[4096];
    std::size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, count);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return false;

    std::size_t pos = 0;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        profile.utf8Mark = true;
        pos = 3;
    }
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        const std::size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos)
            end = bytes.size();
        if (end > pos && bytes[end - 1] == '\r')
            --end;
        profile.lines.push_back(Line{bytes.substr(pos, end - pos)});
        Classify(profile.lines.back());
        pos = next;
    }
    return true;
}

struct KeyPosition {
    std::size_t firstSectionLine = std::string::npos; // header of the first matching section
    std::size_t sectionEnd = 0;                       // where a new key goes in that section
    std::size_t keyLine = std::string::npos;          // first matching key in any matching section
};

KeyPosition Locate(const ProfileText& profile, std::string_view section, std::string_view key)
{
    KeyPosition found;
    bool inSection = false;
    bool inFirstSection = false;
    for (std::size_t i = 0; i < profile.lines.size(); ++i) {
        const Line& line = profile.lines[i];
        if (line.kind == LineKind::Section) {
            inSection = EqualsNoCase(line.name, section);
            inFirstSection = inSection && found.firstSectionLine == std::string::npos;
            if (inFirstSection) {
                found.firstSectionLine = i;
                found.sectionEnd = i + 1;
            }
            continue;
        }
        if (!inSection || line.kind != LineKind::Key)
            continue;
        if (inFirstSection)
            found.sectionEnd = i + 1;
        if (found.keyLine == std::string::npos && EqualsNoCase(line.name, key))
            found.keyLine = i;
    }
    return found;
}

std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

bool FindValue(std::string_view file, std::string_view section, std::string_view key, std::string& value)
{
    section = Trim(section);
    key = Trim(key);
    ProfileText profile;
    if (key.empty() || !LoadProfile(GetProfilePath(file), profile))
        return false;
    const KeyPosition found = Locate(profile, section, key);
    if (found.keyLine == std::string::npos)
        return false;
    value = Unquote(profile.lines[found.keyLine].value);
    return true;
}

bool BreaksLines(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

std::string GetProfilePath(std::string_view file)
{
    if (file.find_first_of("/\\") == std::string_view::npos) {
        const char* home = std::getenv("OMBRISALT_HOME");
        if (home && *home) {
            std::string path(home);
            if (path.back() != '/')
                path += '/';
            return ResolvePath(path + std::string(file));
        }
    }
    return ResolvePath(file);
}

std::string ReadProfileString(std::string_view file, std::string_view section, std::string_view key,
                              std::string_view defaultValue)
{
    std::string value;
    if (!FindValue(file, section, key, value))
        return std::string(defaultValue);
    return value;
}

std::int32_t ReadProfileInt(std::string_view file, std::string_view section, std::string_view key,
                            std::int32_t defaultValue)
{
    std::string value;
    if (!FindValue(file, section, key, value) || value.empty())
        return defaultValue;
    std::string_view text = Trim(value);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1)
            magnitude = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
    }
    const std::int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return std::int32_t(result);
}

bool WriteProfileString(std::string_view file, std::string_view section, std::string_view key, std::string_view value)
{
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty() || BreaksLines(section) || BreaksLines(key) || BreaksLines(value) ||
        section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos ||
        key.front() == ';' || key.front() == '[')
        return false;

    const std::string path = GetProfilePath(file);
    ProfileText profile;
    if (PathExists(path) && !LoadProfile(path, profile))
        return false;

    const KeyPosition found = Locate(profile, section, key);
    if (found.keyLine != std::string::npos) {
        Line& line = profile.lines[found.keyLine];
        line.text = line.name + "=" + std::string(value);
    } else if (found.firstSectionLine != std::string::npos) {
        profile.lines.insert(profile.lines.begin() + std::ptrdiff_t(found.sectionEnd),
                             Line{std::string(key) + "=" + std::string(value)});
    } else {
        std::string header(1, '[');
        header.append(section).push_back(']');
        profile.lines.push_back(Line{std::move(header)});
        profile.lines.push_back(Line{std::string(key) + "=" + std::string(value)});
    }

    std::string bytes = profile.utf8Mark ? "\xEF\xBB\xBF" : "";
    for (const Line& line : profile.lines) {
        bytes += line.text;
        bytes += "\r\n";
    }
    return ReplaceFileContents(path, bytes.data(), bytes.size());
}

} // namespace plat
