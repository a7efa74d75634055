// The settings file reader and writer over a file made from the input in a
// temporary folder. Input: section, key and value separated by 0 bytes, then
// the file. Reads must not fail; a write must succeed exactly when the names
// and value keep the line structure, keep every other line, and read back;
// a refused write leaves the file as it was. A number written over the key
// then reads back through ReadProfileInt.
#include "platform/Profile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kWhitespace = " \t\r\n\v\f";

std::string_view Trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(kWhitespace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kWhitespace) - first + 1);
}

const std::string& FilePath()
{
    static const std::string path = [] {
        std::random_device random;
        const fs::path folder = fs::temp_directory_path()
            / ("ombrisalt_profile_fuzz_" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(folder);
        static const fs::path removed = folder;
        std::atexit([] {
            std::error_code error;
            fs::remove_all(removed, error);
        });
        return (folder / "fuzz.ini").string();
    }();
    return path;
}

void Store(const std::string& bytes)
{
    std::ofstream out(FilePath(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out)
        std::abort();
}

std::string Load()
{
    std::ifstream in(FilePath(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Lines end in LF or CR LF; a last line without an end counts. A leading
// UTF-8 byte-order mark belongs to the file, not to its first line.
std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t pos = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find('\n', pos);
        const size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos)
            end = bytes.size();
        if (end > pos && bytes[end - 1] == '\r')
            --end;
        lines.push_back(bytes.substr(pos, end - pos));
        pos = next;
    }
    return lines;
}

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// One line changed, inserted, or a section header and a key line appended;
// the changed line carries the value.
void CheckOtherLinesKept(const std::vector<std::string>& before, const std::vector<std::string>& after,
                         const std::string& value)
{
    if (after.size() < before.size() || after.size() > before.size() + 2)
        std::abort();
    size_t i = 0;
    while (i < before.size() && before[i] == after[i])
        ++i;
    const size_t added = after.size() - before.size();
    if (added == 0 && i == before.size())
        return; // the key's line already read so
    if (added == 2) {
        if (i != before.size() || after[i].empty() || after[i].front() != '[')
            std::abort();
        ++i;
    }
    if (i >= after.size() || !EndsWith(after[i], "=" + value))
        std::abort();
    for (size_t j = i + (added ? 0 : 1); j < before.size(); ++j)
        if (before[j] != after[j + added])
            std::abort();
}

bool Writable(std::string_view section, std::string_view key, std::string_view value)
{
    auto breaks = [](std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; };
    section = Trim(section);
    key = Trim(key);
    return !section.empty() && !key.empty() && !breaks(section) && !breaks(key) && !breaks(value)
        && section.find(']') == std::string_view::npos && key.find('=') == std::string_view::npos && key.front() != ';'
        && key.front() != '[';
}

// The stored text of a value: surrounding whitespace goes, then one pair of
// enclosing quotes.
std::string ReadBackOf(std::string_view value)
{
    value = Trim(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 16))
        return 0;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view fields[3] = {"Fuzz", "Key", "value"};
    for (std::string_view& field : fields) {
        const size_t end = input.find('\0');
        if (end == std::string_view::npos)
            break;
        field = input.substr(0, end);
        input.remove_prefix(end + 1);
    }
    const std::string section(fields[0]), key(fields[1]), value(fields[2]);
    const std::string file(input);
    const std::string& path = FilePath();

    Store(file);
    plat::ReadProfileString(path, section, key, "default");
    plat::ReadProfileInt(path, section, key, -5);
    plat::ReadProfileString(path, "Fuzz", "Key", "default");
    const std::vector<std::string> before = Lines(file);

    if (!Writable(section, key, value)) {
        if (plat::WriteProfileString(path, section, key, value) || Load() != file)
            std::abort();
        return 0;
    }
    if (!plat::WriteProfileString(path, section, key, value))
        std::abort();
    const std::string written = Load();
    CheckOtherLinesKept(before, Lines(written), value);
    if (plat::ReadProfileString(path, section, key, "\x01missing") != ReadBackOf(value))
        std::abort();

    int32_t number = 0;
    std::memcpy(&number, data, std::min<size_t>(size, sizeof number));
    if (!plat::WriteProfileString(path, section, key, std::to_string(number)))
        std::abort();
    CheckOtherLinesKept(Lines(written), Lines(Load()), std::to_string(number));
    if (plat::ReadProfileInt(path, section, key, number ^ 1) != number)
        std::abort();
    return 0;
}
