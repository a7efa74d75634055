#pragma once
// Typed access to settings (INI) files. Section names lose their leading
// white space; texts lose 0x01 marker bytes before they reach a file; floats
// are written "%g" in the C locale. Reads fall back to the defaults; writers
// first make a read-only settings file writable. File names without a folder
// live in the working folder (or OMBRISALT_HOME, see platform/Profile.h).

#include "foundation/CJString.h"

#include <cstddef>
#include <cstdint>

// ".\Config.INI": the main settings file, in the working folder.
CJString GetConfigIniName();

enum class SettingsFileForm {
    Cfg,  // ".\<name>.CFG", in the working folder
    CdIni // "<name>CD.INI"
};
CJString GetSettingsFileName(const char* name, SettingsFileForm form);

// Leading decimal digits after an optional sign, saturated to 32 bits.
int32_t GetIniInt(const char* file, const char* section, const char* key, int32_t defaultValue);
// Whether the integer read is above 0.
bool GetIniBool(const char* file, const char* section, const char* key, bool defaultValue);
// A missing key gives the default as printed "%g" and read back (0.1 gives
// 0.1, 1e-7 gives 1e-07). At most 19 characters of a value are read.
float GetIniFloat(const char* file, const char* section, const char* key, float defaultValue);
// The buffer's contents are the default. When that default carries marker
// bytes, the value comes back with a marker before each character. The
// result is cut to size - 1 bytes.
void GetIniString(const char* file, const char* section, const char* key, char* buffer, size_t size);

// False when the file could not be written.
bool SetIniInt(const char* file, const char* section, const char* key, int32_t value);
bool SetIniBool(const char* file, const char* section, const char* key, bool value);
bool SetIniFloat(const char* file, const char* section, const char* key, float value);
// A null value is written empty.
bool SetIniString(const char* file, const char* section, const char* key, const char* value);

struct SIniInt {
    const char* key;
    int32_t value;
};
// Several whole numbers of one section in one replacement of the file: false
// when it could not be written (then none of them is).
bool SetIniInts(const char* file, const char* section, const SIniInt* values, size_t count);
