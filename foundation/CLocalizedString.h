#pragma once
// A global string that the localisation table translates in place. It keeps
// its English literal and annotation (which tells identical English texts
// apart, as the two ":" separators). Until the table is loaded it holds the
// English text.

#include "foundation/CJString.h"

// Whether simulated translation may wrap the text in marker bytes.
enum class LocalizedDecoration { Allowed, Suppressed };

class CLocalizedString : public CJString {
public:
    explicit CLocalizedString(const char* english, const char* annotation = nullptr,
                              LocalizedDecoration decoration = LocalizedDecoration::Allowed)
        : CJString(english), m_English(english), m_Annotation(annotation), m_Decoration(decoration)
    {
    }

    const char* GetEnglish() const { return m_English; }
    const char* GetAnnotation() const { return m_Annotation; }
    LocalizedDecoration GetDecoration() const { return m_Decoration; }

private:
    const char* m_English;
    const char* m_Annotation;
    LocalizedDecoration m_Decoration;
};

// The separators and suffixes of numbers and times.
enum class LocalizedSymbol {
    HoursMinutesSeparator,
    MinutesSecondsSeparator,
    SecondsHundredthsSeparator,
    DaysSuffix,
    MinutesSuffix,
    SecondsSuffix,
    ThousandsSeparator,
    Count
};

// Built on first use; the localisation table may translate them in place.
CLocalizedString& GetLocalizedSymbol(LocalizedSymbol symbol);
