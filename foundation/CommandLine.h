#pragma once
// Switches of the stored command line (ShellServices.h). A switch is found
// case-blind wherever its text occurs.

#include "foundation/CJString.h"

#include <cstdint>

// The text after the switch and any white space: up to the next white space,
// or between double quotes when it starts with one (to the end when the
// closing quote is missing). False, value untouched, when the switch is
// absent or nothing follows it.
bool GetCommandLineSwitchValue(const char* switchText, CJString& value);

// The value read like atoi with a 32-bit int (saturating); the default only
// when the switch has no value.
int32_t GetCommandLineInt(const char* switchText, int32_t defaultValue);

// The switch occurs followed by white space or the end of the line
// ("/NoJPEG" is not in "/NoJPEGs").
bool HasCommandLineSwitch(const char* switchText);
