#pragma once
// One section of one settings file, so that callers read and write options by
// key alone. Names are kept in 256-byte buffers; longer ones are cut.

#include "foundation/CJString.h"

#include <cstdint>

class CIniSection {
public:
    // The main settings file (GetConfigIniName), section "Options".
    CIniSection();
    CIniSection(const char* fileName, const char* section);

    void SetFileName(const char* fileName);
    const char* GetFileName() const { return m_FileName; }
    const char* GetSection() const { return m_Section; }

    int32_t GetInt(const char* key, int32_t defaultValue) const;
    void SetInt(const char* key, int32_t value) const;
    float GetFloat(const char* key, float defaultValue) const;
    void SetFloat(const char* key, float value) const;
    // As GetIniText on this section.
    void GetString(const char* key, CJString& text) const;

private:
    static constexpr int kNameSize = 256;
    char m_FileName[kNameSize];
    char m_Section[kNameSize];
};

// The game's options: ".\Config.INI", section "Options", until the game
// points it at its own settings file.
CIniSection& GetOptionsSection();
// ".\Data2.dat", section "Channel".
CIniSection& GetChannelSection();

// Reads a text whose current contents are the default. UTF-16 texts survive
// the 8-bit file in their "UNICODE-HEX<" form; at most 255 characters of that
// form are read. A missing key leaves the text as it was, however long.
void GetIniText(const char* file, const char* section, const char* key, CJString& text);
