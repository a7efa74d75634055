#include "platform/Profile.h"

#include "platform/FileSystem.h"
#include "platform/NoCase.h"

#include "platform/FileLock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unordered_map>
#include <unordered_set>
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

enum class LineKind : std::uint8_t { Other, Section, Key };

// Offsets into the file's bytes; names and values are found again from
// the line's text when asked, so a parsed file costs a few words per line.
struct Line {
    std::uint32_t start = 0;
    std::uint32_t length = 0; // without the line end
    LineKind kind = LineKind::Other;
    // 2 for CR LF, 1 for LF, 0 for a last line without one; 1 also for a
    // last line's lone CR, which ends nothing the reader splits at.
    std::uint8_t endLength = 0;
};

struct Classified {
    LineKind kind = LineKind::Other;
    std::string_view name;  // section or key, trimmed
    std::string_view value; // trimmed
};

Classified Classify(std::string_view text)
{
    Classified line;
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() == ';')
        return line;
    if (trimmed.front() == '[') {
        std::string_view inner = trimmed.substr(1);
        const std::size_t close = inner.find(']');
        if (close != std::string_view::npos)
            inner = inner.substr(0, close);
        line.kind = LineKind::Section;
        line.name = Trim(inner);
        return line;
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos)
        return line;
    line.kind = LineKind::Key;
    line.name = Trim(trimmed.substr(0, equals));
    line.value = Trim(trimmed.substr(equals + 1));
    return line;
}

std::uint64_t HashFolded(std::string_view section, std::string_view key)
{
    // FNV-1a over the folded names, so names equal case-blind hash alike.
    std::uint64_t hash = 14695981039346656037ull;
    const auto add = [&hash](std::string_view text) {
        for (const char c : FoldNoCase(text))
            hash = (hash ^ std::uint8_t(c)) * 1099511628211ull;
        hash = (hash ^ 0xFFu) * 1099511628211ull; // "ab"+"c" and "a"+"bc" differ; names are compared anyway
    };
    add(section);
    add(key);
    return hash;
}

struct KeyIndexItem {
    std::uint64_t hash = 0; // of section and key
    std::uint32_t line = 0;
    std::uint32_t section = 0; // the line of its section's header
    bool operator<(const KeyIndexItem& other) const
    {
        return hash != other.hash ? hash < other.hash : line < other.line;
    }
};

struct SectionIndexItem {
    std::uint64_t hash = 0;   // of the section alone
    std::uint32_t header = 0; // the first header of that name
    std::uint32_t end = 0;    // where a new key goes in that section
    bool operator<(const SectionIndexItem& other) const
    {
        return hash != other.hash ? hash < other.hash : header < other.header;
    }
};

// A file read once and looked up by index: reading a key costs a search,
// not a pass over the file.
struct ParsedProfile {
    std::string bytes;
    bool utf8Mark = false; // a text editor's byte-order mark, kept on writing
    std::vector<Line> lines;
    std::vector<KeyIndexItem> keys;
    std::vector<SectionIndexItem> sections;

    std::string_view Text(std::size_t i) const
    {
        return std::string_view(bytes).substr(lines[i].start, lines[i].length);
    }
    std::string_view LineEnd(std::size_t i) const
    {
        return std::string_view(bytes).substr(lines[i].start + lines[i].length, lines[i].endLength);
    }
    bool EndsInLf(std::size_t i) const
    {
        return lines[i].endLength && bytes[lines[i].start + lines[i].length + lines[i].endLength - 1] == '\n';
    }
    // What new lines end with: the file's own first line end, CR LF in a new file.
    std::string_view NewLineEnd() const
    {
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (EndsInLf(i))
                return LineEnd(i);
        return "\r\n";
    }
    // The end line i keeps when a line follows it: a lone CR gets its LF.
    std::string_view KeptEnd(std::size_t i) const
    {
        if (EndsInLf(i))
            return LineEnd(i);
        return lines[i].endLength ? "\r\n" : NewLineEnd();
    }
};

// Lines end in LF or CR LF; a last line without an end counts too.
void Parse(ParsedProfile& profile)
{
    const std::string& bytes = profile.bytes;
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
        profile.lines.push_back(
            Line{std::uint32_t(pos), std::uint32_t(end - pos), LineKind::Other, std::uint8_t(next - end)});
        pos = next;
    }

    std::string_view sectionName;
    std::uint32_t sectionLine = 0;
    bool inSection = false;
    for (std::uint32_t i = 0; i < profile.lines.size(); ++i) {
        const Classified line = Classify(profile.Text(i));
        profile.lines[i].kind = line.kind;
        if (line.kind == LineKind::Section) {
            inSection = true;
            sectionName = line.name;
            sectionLine = i;
            profile.sections.push_back(SectionIndexItem{HashFolded(line.name, {}), i, i + 1});
            continue;
        }
        if (inSection && line.kind == LineKind::Key) {
            profile.keys.push_back(KeyIndexItem{HashFolded(sectionName, line.name), i, sectionLine});
            profile.sections.back().end = i + 1;
        }
    }
    std::sort(profile.keys.begin(), profile.keys.end());
    std::sort(profile.sections.begin(), profile.sections.end());
}

struct KeyPosition {
    std::size_t firstSectionLine = std::string::npos; // header of the first matching section
    std::size_t sectionEnd = 0;                       // where a new key goes in that section
    std::size_t keyLine = std::string::npos;          // first matching key in any matching section
};

KeyPosition Locate(const ParsedProfile& profile, std::string_view section, std::string_view key)
{
    KeyPosition found;
    const std::uint64_t sectionHash = HashFolded(section, {});
    auto s = std::lower_bound(profile.sections.begin(), profile.sections.end(), SectionIndexItem{sectionHash, 0, 0});
    for (; s != profile.sections.end() && s->hash == sectionHash; ++s) {
        if (EqualsNoCase(Classify(profile.Text(s->header)).name, section)) {
            found.firstSectionLine = s->header;
            found.sectionEnd = s->end;
            break;
        }
    }
    if (found.firstSectionLine == std::string::npos)
        return found;
    const std::uint64_t keyHash = HashFolded(section, key);
    auto k = std::lower_bound(profile.keys.begin(), profile.keys.end(), KeyIndexItem{keyHash, 0, 0});
    for (; k != profile.keys.end() && k->hash == keyHash; ++k) {
        if (EqualsNoCase(Classify(profile.Text(k->line)).name, key)
            && EqualsNoCase(Classify(profile.Text(k->section)).name, section)) {
            found.keyLine = k->line;
            break;
        }
    }
    return found;
}

// --- Parsed files, kept while the file on disk is unchanged ---

constexpr std::size_t kMaxKeptProfiles = 16;

struct KeptProfile {
    FileIdentity identity;
    std::shared_ptr<const ParsedProfile> profile;
};

std::mutex& KeptMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::unordered_map<std::string, KeptProfile>& KeptProfiles()
{
    static auto* kept = new std::unordered_map<std::string, KeptProfile>;
    return *kept;
}

void Keep(const std::string& path, const FileIdentity& identity, std::shared_ptr<const ParsedProfile> profile)
{
    std::lock_guard<std::mutex> lock(KeptMutex());
    auto& kept = KeptProfiles();
    if (kept.size() >= kMaxKeptProfiles && kept.find(path) == kept.end())
        kept.clear();
    kept[path] = KeptProfile{identity, std::move(profile)};
}

// The identity of a path already resolved.
bool IdentityOf(const std::string& path, FileIdentity& identity)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return false;
    identity.device = std::uint64_t(st.st_dev);
    identity.inode = std::uint64_t(st.st_ino);
    identity.size = std::uint64_t(st.st_size);
    identity.writeTimeNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

// Said once per state of the file: one left in place is kept as refused
// (a null profile) while it stays as it is.
void Refuse(const std::string& path, const FileIdentity& identity)
{
    const std::string ending = KeepFileAside(path);
    const std::string fate = ending.empty() ? "could not be moved aside" : "kept as " + path + ending;
    std::fprintf(stderr, "%s: larger than a settings file can be (over %llu KiB); %s; the defaults are used\n",
                 path.c_str(), static_cast<unsigned long long>(kMaxProfileBytes >> 10), fate.c_str());
    if (ending.empty())
        Keep(path, identity, nullptr);
}

// The parsed file, or null when it cannot be read or is refused. A file
// whose identity on disk matches the kept one is not read again.
std::shared_ptr<const ParsedProfile> LoadProfile(const std::string& path)
{
    FileIdentity now;
    if (!IdentityOf(path, now))
        return nullptr;
    {
        std::lock_guard<std::mutex> lock(KeptMutex());
        const auto found = KeptProfiles().find(path);
        if (found != KeptProfiles().end() && found->second.identity == now)
            return found->second.profile;
    }
    if (now.size > kMaxProfileBytes) {
        Refuse(path, now);
        return nullptr;
    }
    std::FILE* file = OpenResolvedFile(path, "rb");
    if (!file)
        return nullptr;
    auto profile = std::make_shared<ParsedProfile>();
    profile->bytes.reserve(std::size_t(now.size));
    char chunk[65536];
    std::size_t count;
    // One byte past the bound tells a file that grew since its size was taken.
    while (profile->bytes.size() <= kMaxProfileBytes && (count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        profile->bytes.append(chunk, count);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return nullptr;
    if (profile->bytes.size() > kMaxProfileBytes) {
        Refuse(path, now);
        return nullptr;
    }
    Parse(*profile);
    // Read after the identity was taken: a change in between shows as a
    // new identity at the next look, never as an old one trusted.
    Keep(path, now, profile);
    return profile;
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
    if (key.empty())
        return false;
    const std::shared_ptr<const ParsedProfile> profile = LoadProfile(GetProfilePath(file));
    if (!profile)
        return false;
    const KeyPosition found = Locate(*profile, section, key);
    if (found.keyLine == std::string::npos)
        return false;
    value = Unquote(Classify(profile->Text(found.keyLine)).value);
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

namespace {

// Every later change meets the same full file: its refusal is said once a start.
bool SaidRefusalBefore(const std::string& path)
{
    static std::mutex mutex;
    static auto* said = new std::unordered_set<std::string>;
    const std::string key = !path.empty() && path.front() == '/' ? path : GetCurrentFolder() + "/" + path;
    std::lock_guard<std::mutex> lock(mutex);
    return !said->insert(key).second;
}

bool RefusedName(std::string_view section, std::string_view key, std::string_view value)
{
    return section.empty() || key.empty() || BreaksLines(section) || BreaksLines(key) || BreaksLines(value)
        || section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos
        || key.front() == ';' || key.front() == '[';
}

// The file's bytes with the key set: an existing line replaced in place, a
// new key after the last key of its section, a new section at the end. Every
// line keeps its own line end; new ones take the file's.
std::string WithSetting(const ParsedProfile& old, std::string_view section, std::string_view key,
                        std::string_view value)
{
    const KeyPosition found = Locate(old, section, key);
    const std::string newLine
        = std::string(found.keyLine != std::string::npos ? Classify(old.Text(found.keyLine)).name : key) + "="
        + std::string(value);
    const std::string_view newEnd = old.NewLineEnd();
    std::string bytes;
    bytes.reserve(old.bytes.size() + newLine.size() + section.size() + 8);
    if (old.utf8Mark)
        bytes = "\xEF\xBB\xBF";
    const auto addLine = [&bytes](std::string_view text, std::string_view end) {
        bytes += text;
        bytes += end;
    };
    const std::size_t insertAt = found.keyLine != std::string::npos ? std::string::npos
        : found.firstSectionLine != std::string::npos               ? found.sectionEnd
                                                                    : old.lines.size();
    for (std::size_t i = 0; i <= old.lines.size(); ++i) {
        if (i == insertAt) {
            if (found.firstSectionLine == std::string::npos) {
                std::string header(1, '[');
                header.append(section).push_back(']');
                addLine(header, newEnd);
            }
            addLine(newLine, newEnd);
        }
        if (i == old.lines.size())
            break;
        // A last line without an end gets one only when a line follows it.
        const bool followed = i + 1 < old.lines.size() || insertAt == old.lines.size();
        const std::string_view end = followed ? old.KeptEnd(i) : old.LineEnd(i);
        addLine(i == found.keyLine ? std::string_view(newLine) : old.Text(i), end);
    }
    return bytes;
}

} // namespace

bool WriteProfileString(std::string_view file, std::string_view section, std::string_view key, std::string_view value)
{
    return WriteProfileStrings(file, section, {{std::string(key), std::string(value)}});
}

bool WriteProfileStrings(std::string_view file, std::string_view section,
                         const std::vector<std::pair<std::string, std::string>>& keysAndValues)
{
    section = Trim(section);
    for (const auto& [key, value] : keysAndValues)
        if (RefusedName(section, Trim(key), value))
            return false;
    if (keysAndValues.empty())
        return true;

    const std::string path = GetProfilePath(file);
    // Read, change and replace under the file's lock: a second writer
    // waits, then reads what this one wrote.
    CFileLock lock;
    if (lock.Acquire(path) != LockResult::Locked)
        return false;
    RemoveStaleTemporaries(lock.GetPath());
    std::shared_ptr<const ParsedProfile> profile = LoadProfile(path);
    if (!profile && !PathExists(path))
        profile = std::make_shared<const ParsedProfile>(); // moved aside just now
    if (!profile)
        return false;
    // Each key is set on the text the one before left: one replacement,
    // one sync, however many keys.
    for (const auto& [key, value] : keysAndValues) {
        auto next = std::make_shared<ParsedProfile>();
        next->bytes = WithSetting(*profile, section, Trim(key), value);
        Parse(*next);
        profile = std::move(next);
    }
    // Never a file the reader would refuse and move aside: the old one stays.
    if (profile->bytes.size() > kMaxProfileBytes) {
        if (SaidRefusalBefore(path))
            return false;
        std::fprintf(stderr,
                     "%s: [%.*s] not written: the file would be larger than a settings file can be (over %llu KiB); "
                     "it stays as it was\n",
                     path.c_str(), int(section.size()), section.data(),
                     static_cast<unsigned long long>(kMaxProfileBytes >> 10));
        return false;
    }
    FileIdentity written;
    if (!ReplaceFileContents(path, profile->bytes.data(), profile->bytes.size(), ReplacementLock::HeldByCaller,
                             &written))
        return false;
    Keep(path, written, std::move(profile));
    return true;
}

} // namespace plat
