#include "foundation/CIniSection.h"

#include "foundation/SettingsFiles.h"

#include <cstring>
#include <string>

namespace {

constexpr int kIniTextSize = 256;

void CopyName(char* destination, int size, const char* name)
{
    const size_t length = name ? strnlen(name, size_t(size - 1)) : 0;
    if (length)
        std::memcpy(destination, name, length);
    destination[length] = 0;
}

} // namespace

CIniSection::CIniSection()
    : CIniSection(GetConfigIniName().GetString(), "Options")
{
}

CIniSection::CIniSection(const char* fileName, const char* section)
{
    CopyName(m_FileName, kNameSize, fileName);
    CopyName(m_Section, kNameSize, section);
}

void CIniSection::SetFileName(const char* fileName)
{
    CopyName(m_FileName, kNameSize, fileName);
}

int32_t CIniSection::GetInt(const char* key, int32_t defaultValue) const
{
    return GetIniInt(m_FileName, m_Section, key, defaultValue);
}

void CIniSection::SetInt(const char* key, int32_t value) const
{
    SetIniInt(m_FileName, m_Section, key, value);
}

float CIniSection::GetFloat(const char* key, float defaultValue) const
{
    return GetIniFloat(m_FileName, m_Section, key, defaultValue);
}

void CIniSection::SetFloat(const char* key, float value) const
{
    SetIniFloat(m_FileName, m_Section, key, value);
}

void CIniSection::GetString(const char* key, CJString& text) const
{
    GetIniText(m_FileName, m_Section, key, text);
}

CIniSection& GetOptionsSection()
{
    static CIniSection options;
    return options;
}

CIniSection& GetChannelSection()
{
    static CIniSection channel(".\\Data2.dat", "Channel");
    return channel;
}

void GetIniText(const char* file, const char* section, const char* key, CJString& text)
{
    char buffer[kIniTextSize];
    const CJString fileForm = text.ToFileForm();
    CopyName(buffer, kIniTextSize, fileForm.GetString());
    const std::string cutDefault(buffer);
    GetIniString(file, section, key, buffer, sizeof buffer);
    // A default too long for the buffer comes back cut (a wide one in the
    // middle of its hex form): when nothing else was read, keep the text.
    if (fileForm.GetLength() >= kIniTextSize && cutDefault == buffer)
        return;
    text.Set(buffer);
    text.FromFileForm();
}
