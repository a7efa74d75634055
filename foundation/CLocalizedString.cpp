#include "foundation/CLocalizedString.h"

#include "foundation/CLocalizationTable.h"

#include <iterator>

CList<CStringAnnotationPair>& GetRegisteredLocalizedStrings()
{
    static CList<CStringAnnotationPair> registry;
    return registry;
}

CLocalizedString::CLocalizedString(const char* english, const char* annotation, LocalizedDecoration decoration)
    : CJString(english)
    , m_English(english)
    , m_Annotation(annotation)
    , m_Decoration(decoration)
{
    if (m_English.IsEmpty())
        return;
    CStringAnnotationPair record;
    record.m_String = this;
    record.m_Annotation = annotation;
    record.m_NoDecoration = decoration == LocalizedDecoration::Suppressed ? 1 : 0;
    GetRegisteredLocalizedStrings().Add(record);
    m_Registered = true;
}

CLocalizedString::CLocalizedString()
    : m_Annotation(nullptr)
    , m_Decoration(LocalizedDecoration::Allowed)
{
}

CLocalizedString::~CLocalizedString()
{
    if (!m_Registered)
        return;
    // Searched from the end: short-lived strings were registered last.
    CList<CStringAnnotationPair>& registry = GetRegisteredLocalizedStrings();
    for (uint32_t i = registry.GetCount(); i-- > 0;) {
        if (registry[i].m_String == this) {
            registry[i].m_String = nullptr;
            break;
        }
    }
}

void CLocalizedString::SetEnglish(const CJString& english)
{
    m_English = english;
    Set(english);
}

void CLocalizedString::Refresh()
{
    Set(m_English);
    GetLocalizationTable().TranslateAndCheck(*this, m_Annotation, m_Decoration);
}

CLocalizedString& GetLocalizedSymbol(LocalizedSymbol symbol)
{
    static CLocalizedString symbols[] = {
        CLocalizedString(":", "Hours:Minutes separator"),      CLocalizedString(":", "Minutes:Seconds separator"),
        CLocalizedString(".", "Seconds.Hundredths separator"), CLocalizedString("d", "\"d\" is short for the days"),
        CLocalizedString("m", "suffix indicating minutes"),    CLocalizedString("s", "suffix indicating seconds"),
        CLocalizedString(",", "Thousands Separator"),
    };
    static_assert(std::size(symbols) == size_t(LocalizedSymbol::Count));
    return symbols[int(symbol)];
}
