#include "ScalarClasses.h"

#include "objects/CFloatProperty.h"
#include "objects/CListProperty.h"
#include "objects/CObjectProperty.h"

OMBRISALT_IMPLEMENT_CLASS(CScalarInner, 1)
OMBRISALT_IMPLEMENT_CLASS(CScalarHolder, 1)
OMBRISALT_IMPLEMENT_CLASS(CScalarDerived, 1)

CDynamicList& GetKindList()
{
    static CDynamicList list;
    if (list.GetCount() == 0) {
        list.Add("Idle");
        list.Add("Walking");
        list.Add("Folder/Running");
    }
    return list;
}

CCodeTableList& GetModeList()
{
    static const CCodeTableRow kRows[] = {{0, "Optional", nullptr}, {1, "Required", nullptr}, {0, nullptr, nullptr}};
    static CCodeTableList list(kRows);
    return list;
}

void CScalarInner::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CScalarInner::m_Width, "Width", 4);
    d.Add(&CScalarInner::m_Scale, "Scale", 1.0f);
}

void CScalarHolder::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CScalarHolder::m_Count, "Count", 3);
    d.Add(&CScalarHolder::m_Ranged, "Ranged", 5).Range(0, 10);
    d.Add(&CScalarHolder::m_Doubled, "Doubled", 0).Setter<&CScalarHolder::SetDoubled>();
    d.Add<CLongProperty>(&CScalarHolder::m_Long, "Long", -1);
    d.Add(&CScalarHolder::m_Uint, "Uint", 7u);
    d.Add(&CScalarHolder::m_Distance, "Distance", 0u).Units("pixels");
    d.Add(&CScalarHolder::m_Lives, "Lives", 3u).Range(1u, 10u).Get().AddSpecialValueName(0, "Unlimited");
    d.Add(&CScalarHolder::m_Enabled, "Enabled", true);
    AddBitProperty(d, &CScalarHolder::m_Flags, "Visible", 0x1, true);
    AddBitProperty(d, &CScalarHolder::m_Flags, "Layer", 0x6, false);
    AddBitProperty(d, &CScalarHolder::m_Flags, "Hidden", 0x8, false).Setter<&CScalarHolder::SetHiddenBit>();
    d.Add(&CScalarHolder::m_Speed, "Speed", 2.5f).Units("pixels");
    d.Add(&CScalarHolder::m_Ratio, "Ratio", 0.5f).Range(0.0f, 1.0f).Get().AddSpecialValueName(-1.0f, "Never");
    AddListProperty(d, &CScalarHolder::m_Kind, "Kind", &GetKindList(), "Walking");
    AddListProperty(d, &CScalarHolder::m_Mode, "Mode", &GetModeList(), nullptr);
    AddObjectProperty(d, &CScalarHolder::m_Inner, "Inner");
}

void CScalarDerived::DeclareProperties(CPropertyDeclarer&) {}

CScalarInner::CScalarInner() { InitDeclaredProperties(); }
CScalarInner::~CScalarInner() { DestroyDeclaredProperties(); }
CScalarHolder::CScalarHolder() { InitDeclaredProperties(); }
CScalarHolder::~CScalarHolder() { DestroyDeclaredProperties(); }
CScalarDerived::CScalarDerived() { InitDeclaredProperties(); }

void RegisterScalarClasses()
{
    RegisterObjectClasses();
    CScalarInner::SGetClassInfo();
    CScalarHolder::SGetClassInfo();
    CScalarDerived::SGetClassInfo();
}

std::string TextOf(CObject& object, const char* name)
{
    CJString text;
    object.GetClassInfo()->FindProperty(name)->GetValueText(&object, text);
    return text.GetString();
}

void SetText(CObject& object, const char* name, const char* text)
{
    object.GetClassInfo()->FindProperty(name)->SetValueFromText(&object, CJString(text), nullptr);
}
