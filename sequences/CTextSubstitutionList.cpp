#include "sequences/CTextSubstitutionList.h"

#include "objects/CPObjectProperty.h"
#include "objects/CProperty.h"
#include "objects/CStringProperty.h"

OMBRISALT_IMPLEMENT_CLASS(CTextSubstitution, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CTextSubstitutionList, 1.0)

void CTextSubstitution::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CTextSubstitution::m_Token, "Token", "%s[Something]");
    d.Add(&CTextSubstitution::m_Text, "Text", "Value");
}

CTextSubstitution::CTextSubstitution()
{
    InitDeclaredProperties();
}

CTextSubstitution::~CTextSubstitution()
{
    DestroyDeclaredProperties();
}

void CTextSubstitutionList::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddArray<CTypedPObjectProperty<CTextSubstitution>>(&CTextSubstitutionList::m_pTextSubstitutionList,
                                                         "Text Substitution List", "Text Substitution", nullptr);
}

CTextSubstitutionList::CTextSubstitutionList()
{
    InitDeclaredProperties();
}

CTextSubstitutionList::~CTextSubstitutionList()
{
    DestroyDeclaredProperties();
}

void CTextSubstitutionList::Add(const CJString& token, const CJString& text)
{
    auto* entry = new CTextSubstitution;
    entry->m_Token = token;
    entry->m_Text = text;
    auto* array = static_cast<CPropertyArrayProperty*>(GetClassInfo()->FindProperty("Text Substitution List"));
    const uint32_t count = m_pTextSubstitutionList.GetCount();
    array->ArrayProperty_SetCount(this, count + 1);
    m_pTextSubstitutionList[count] = entry;
}

void CTextSubstitutionList::AddText(const char* token, const CJString& text)
{
    Add(CJString(token), text);
}

void CTextSubstitutionList::AddInt(const CJString& token, int32_t value)
{
    CJString text;
    text.FormatThousands(value);
    Add(token, text);
}

void CTextSubstitutionList::AddNumber(const char* token, int32_t value)
{
    AddInt(CJString(token), value);
}

void CTextSubstitutionList::AddFloat(const char* token, float value, int32_t decimals)
{
    CJString text;
    text.AppendFloat(value, 0, 0, decimals);
    AddText(token, text);
}

void CTextSubstitutionList::AddObjectProperties(CObject& object, const char* prefix, const char* suffix)
{
    CClassInfo* info = object.GetClassInfo();
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i) {
        const CProperty* property = info->GetProperty(i);
        if (!property->IsTextSaved() || !property->GetName() || !*property->GetName())
            continue;
        CJString token(prefix);
        token.Append(property->GetName());
        token.Append(suffix);
        CJString text;
        property->GetValueText(&object, text);
        Add(token, text);
    }
}

void CTextSubstitutionList::RemoveAll()
{
    for (uint32_t i = 0; i < m_pTextSubstitutionList.GetCount(); ++i) {
        delete m_pTextSubstitutionList[i];
        m_pTextSubstitutionList[i] = nullptr;
    }
    auto* array = static_cast<CPropertyArrayProperty*>(GetClassInfo()->FindProperty("Text Substitution List"));
    array->ArrayProperty_SetCount(this, 0);
}

CJString CTextSubstitutionList::Apply(const CJString& text) const
{
    CJString result(text);
    for (uint32_t i = 0; i < m_pTextSubstitutionList.GetCount(); ++i) {
        const CTextSubstitution* entry = m_pTextSubstitutionList[i];
        // An empty token would match everywhere.
        if (!entry || entry->m_Token.IsEmpty())
            continue;
        if (result.IsWide())
            result.Replace(entry->m_Token, entry->m_Text);
        else
            result.ReplaceNoCase(entry->m_Token, entry->m_Text);
    }
    return result;
}
