#include "foundation/CommandLine.h"

#include "foundation/ShellServices.h"
#include "foundation/TextHelpers.h"
#include "foundation/WideString.h"

#include <cstring>

namespace {

// The text after the next occurrence of the switch at or after from (which
// moves past it); null when there is none.
const char* FindSwitch(const char* switchText, const char*& from)
{
    if (!switchText || !*switchText)
        return nullptr;
    const char* found = FindSubstringNoCase(from, switchText);
    if (!found)
        return nullptr;
    from = found + 1;
    return found + std::strlen(switchText);
}

// The stored line as 8-bit text; a UTF-16 line is narrowed.
CJString NarrowCommandLine()
{
    CJString line = GetCommandLineText();
    line.ToNarrow();
    return line;
}

} // namespace

bool GetCommandLineSwitchValue(const char* switchText, CJString& value)
{
    const CJString line = NarrowCommandLine();
    const char* from = line.GetString();
    const char* after = FindSwitch(switchText, from);
    if (!after)
        return false;
    const char* start = SkipWhitespace(after);
    if (!*start)
        return false;
    const char* end;
    if (*start == '"') {
        ++start;
        end = std::strchr(start, '"');
        if (!end)
            end = start + std::strlen(start);
    } else {
        end = FindWhitespace(start);
    }
    value.SetText(start, int(end - start));
    return true;
}

int32_t GetCommandLineInt(const char* switchText, int32_t defaultValue)
{
    CJString value;
    if (!GetCommandLineSwitchValue(switchText, value))
        return defaultValue;
    return NarrowToLong(value.GetString(), nullptr, 10);
}

bool HasCommandLineSwitch(const char* switchText)
{
    // Every occurrence counts, so "/NoJPEGs /NoJPEG" has the switch.
    const CJString line = NarrowCommandLine();
    const char* from = line.GetString();
    while (const char* after = FindSwitch(switchText, from))
        if (!*after || IsWhitespaceChar(static_cast<unsigned char>(*after)))
            return true;
    return false;
}
