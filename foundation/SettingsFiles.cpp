#include "foundation/SettingsFiles.h"

#include "foundation/TextEncoding.h"
#include "foundation/TextHelpers.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// The text of a float, "%g" and its terminator: stored values are at most
// 19 characters, so that files read back as they were written.
constexpr size_t kFloatTextSize = 20;

std::string ToDisk(const char* text)
{
    return Windows1252ToUtf8(text ? text : "");
}

std::string SectionName(const char* section)
{
    return ToDisk(SkipWhitespace(section ? section : ""));
}

// The text without marker bytes, as the platform takes it.
std::string Unmarked(const char* text, bool* hadMarkers = nullptr)
{
    CJString copy(text ? text : "");
    const bool marked = StripMarkerBytes(copy);
    if (hadMarkers)
        *hadMarkers = marked;
    return ToDisk(copy.GetString());
}

// "%g" in the C locale, whatever locale the process runs in.
std::string FormatFloat(float value)
{
    char text[kFloatTextSize];
    const auto result = std::to_chars(text, text + sizeof text, double(value), std::chars_format::general, 6);
    return std::string(text, result.ptr);
}

// atof in the C locale: leading white space, an optional sign, the longest
// number that parses; 0 when there is none.
float ParseFloat(std::string_view text)
{
    size_t at = 0;
    while (at < text.size()
           && (IsWhitespaceChar(static_cast<unsigned char>(text[at])) || text[at] == '\v' || text[at] == '\f'))
        ++at;
    if (at < text.size() && text[at] == '+' && at + 1 < text.size() && text[at + 1] != '-')
        ++at;
    double value = 0.0;
    const char* first = text.data() + at;
    const auto result = std::from_chars(first, text.data() + text.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = std::strtod(std::string(first, result.ptr).c_str(), nullptr); // infinity or zero
    else if (result.ec != std::errc())
        value = 0.0;
    return float(value);
}

void MakeWritable(const char* file)
{
    const std::string diskName = plat::GetProfilePath(ToDisk(file));
    if (plat::IsReadOnly(diskName))
        plat::SetReadOnly(diskName, false);
}

// Section, key and value as the platform takes them.
bool WriteSetting(const char* file, const std::string& section, const std::string& key, const std::string& value)
{
    MakeWritable(file);
    return plat::WriteProfileString(ToDisk(file), section, key, value);
}

} // namespace

CJString GetConfigIniName()
{
    return CJString(".\\Config.INI");
}

CJString GetSettingsFileName(const char* name, SettingsFileForm form)
{
    CJString fileName;
    fileName.Format(form == SettingsFileForm::Cfg ? ".\\%s.CFG" : "%sCD.INI", name ? name : "");
    return fileName;
}

int32_t GetIniInt(const char* file, const char* section, const char* key, int32_t defaultValue)
{
    return plat::ReadProfileInt(ToDisk(file), SectionName(section), ToDisk(key), defaultValue);
}

bool GetIniBool(const char* file, const char* section, const char* key, bool defaultValue)
{
    return GetIniInt(file, section, key, defaultValue ? 1 : 0) > 0;
}

float GetIniFloat(const char* file, const char* section, const char* key, float defaultValue)
{
    std::string text
        = plat::ReadProfileString(ToDisk(file), SectionName(section), ToDisk(key), FormatFloat(defaultValue));
    if (text.size() > kFloatTextSize - 1)
        text.resize(kFloatTextSize - 1);
    return ParseFloat(text);
}

void GetIniString(const char* file, const char* section, const char* key, char* buffer, size_t size)
{
    if (!buffer || size == 0)
        return;
    bool marked = false;
    const std::string defaultText = Unmarked(CJString(buffer, int(strnlen(buffer, size))).GetString(), &marked);
    std::string value = Utf8ToWindows1252(plat::ReadProfileString(
        ToDisk(file), Unmarked(SkipWhitespace(section ? section : "")), Unmarked(key), defaultText));
    if (value.size() > size - 1)
        value.resize(size - 1);
    if (marked) {
        std::string withMarkers;
        for (const char c : value) {
            withMarkers += '\x01';
            withMarkers += c;
        }
        value = withMarkers.substr(0, size - 1);
    }
    std::memcpy(buffer, value.c_str(), value.size() + 1);
}

bool SetIniInt(const char* file, const char* section, const char* key, int32_t value)
{
    return WriteSetting(file, SectionName(section), ToDisk(key), std::to_string(value));
}

bool SetIniBool(const char* file, const char* section, const char* key, bool value)
{
    return SetIniInt(file, section, key, value ? 1 : 0);
}

bool SetIniFloat(const char* file, const char* section, const char* key, float value)
{
    return WriteSetting(file, SectionName(section), ToDisk(key), FormatFloat(value));
}

bool SetIniString(const char* file, const char* section, const char* key, const char* value)
{
    return WriteSetting(file, Unmarked(SkipWhitespace(section ? section : "")), Unmarked(key), Unmarked(value));
}

bool SetIniInts(const char* file, const char* section, const SIniInt* values, size_t count)
{
    std::vector<std::pair<std::string, std::string>> settings;
    settings.reserve(count);
    for (size_t i = 0; i < count; ++i)
        settings.emplace_back(ToDisk(values[i].key), std::to_string(values[i].value));
    MakeWritable(file);
    return plat::WriteProfileStrings(ToDisk(file), SectionName(section), settings);
}
