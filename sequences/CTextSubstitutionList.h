#pragma once
// Text substitution: designer texts carry tokens such as "%s[Year]"; the
// code that shows a screen fills a list with token and text pairs and passes
// every text through Apply. Entries apply in the order added, each over the
// whole result, so a value may hold a later entry's token (which is then
// filled) but never has its own token expanded again. In 8-bit text a token
// matches without regard to case; in UTF-16 text exactly. A token no entry
// names stays as written.

#include "foundation/CJString.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>

class CTextSubstitution : public CObject {
    OMBRISALT_REFLECTED(CTextSubstitution, CObject)
public:
    CTextSubstitution();
    ~CTextSubstitution() override;

    CJString m_Token; // the whole token, "%s[" and "]" included
    CJString m_Text;
};

class CTextSubstitutionList : public CObject {
    OMBRISALT_REFLECTED(CTextSubstitutionList, CObject)
public:
    CTextSubstitutionList();
    ~CTextSubstitutionList() override;

    void Add(const CJString& token, const CJString& text);
    void AddText(const char* token, const CJString& text);
    // The value with thousands separators ("1,234,567").
    void AddInt(const CJString& token, int32_t value);
    void AddNumber(const char* token, int32_t value);
    void AddFloat(const char* token, float value, int32_t decimals);
    // One entry per saved, named property of the object's class: the token
    // prefix + name + suffix, the text its value.
    void AddObjectProperties(CObject& object, const char* prefix, const char* suffix);
    void RemoveAll();
    uint32_t GetCount() const { return m_pTextSubstitutionList.GetCount(); }

    CJString Apply(const CJString& text) const;

private:
    CPropertyArray<CTextSubstitution*> m_pTextSubstitutionList; // owned
};
