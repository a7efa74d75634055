#pragma once
// A string that the localisation table translates in place. A registered
// global keeps its English literal and annotation (which tells identical
// English texts apart, as the two ":" separators); constructing one with a
// non-empty text enters it in the registry, and the table translates every
// registered string when it loads. Until then it holds the English text.
//
// The second form (default-constructed, never registered) serves text fields
// whose English comes from data: SetEnglish, then Refresh translates a copy.

#include "foundation/CJString.h"
#include "foundation/CList.h"

#include <cstdint>

// Whether simulated translation may wrap the text in marker bytes.
enum class LocalizedDecoration { Allowed, Suppressed };

class CLocalizedString : public CJString {
public:
    explicit CLocalizedString(const char* english, const char* annotation = nullptr,
                              LocalizedDecoration decoration = LocalizedDecoration::Allowed);
    // The unregistered form: empty English and translation.
    CLocalizedString();
    // The registry keeps this object's address, so it is never copied.
    CLocalizedString(const CLocalizedString&) = delete;
    CLocalizedString& operator=(const CLocalizedString&) = delete;
    ~CLocalizedString();

    const char* GetEnglish() const { return m_English.GetString(); }
    const CJString& GetEnglishString() const { return m_English; }
    const char* GetAnnotation() const { return m_Annotation; }
    LocalizedDecoration GetDecoration() const { return m_Decoration; }

    // The unregistered form: a new English text, shown untranslated until
    // Refresh.
    void SetEnglish(const CJString& english);
    // Copies the English into this string and translates it with the global
    // table, checking its format tokens.
    void Refresh();

private:
    CJString m_English;
    const char* m_Annotation;
    LocalizedDecoration m_Decoration;
    bool m_Registered = false;
};

// One registered global string. A destroyed string leaves its record with a
// null pointer, so the order of the others stays as registered.
struct CStringAnnotationPair {
    CLocalizedString* m_String = nullptr;
    const char* m_Annotation = nullptr;
    int32_t m_NoDecoration = 0;
};

// Every registered string in registration order; made on first use.
CList<CStringAnnotationPair>& GetRegisteredLocalizedStrings();

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
