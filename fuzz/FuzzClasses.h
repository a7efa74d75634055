// The reflected classes the object fuzz targets read and write: one record
// with a member of every property kind they cover, a part it owns and a leaf
// derived from the part, plus the dynamic values "Tag" and "Note".
// Each target is one translation unit, so everything lives here in an
// anonymous namespace; include it from one .cpp only.
#pragma once

#include "foundation/CDynamicList.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CFloatProperty.h"
#include "objects/CListProperty.h"
#include "objects/CObject.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPointProperty.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CSlotProperty.h"
#include "objects/CStringProperty.h"
#include "program/RegisterAllClasses.h"

#include <cstdint>
#include <memory>

namespace {

CDynamicList& FuzzKinds()
{
    static CDynamicList* list = [] {
        auto* made = new CDynamicList();
        made->Add("Idle");
        made->Add("Walking");
        made->Add("Folder/Running");
        return made;
    }();
    return *list;
}

class CFuzzPart : public CObject {
    OMBRISALT_REFLECTED(CFuzzPart, CObject)
public:
    CFuzzPart() { InitDeclaredProperties(); }
    ~CFuzzPart() override { DestroyDeclaredProperties(); }
    int32_t m_Count;
    CJString m_Name;
};

class CFuzzLeaf : public CFuzzPart {
    OMBRISALT_REFLECTED(CFuzzLeaf, CFuzzPart)
public:
    CFuzzLeaf() { InitDeclaredProperties(); }
    ~CFuzzLeaf() override { DestroyDeclaredProperties(); }
    float m_Weight;
    bool m_Flag;
};

class CFuzzRecord : public CObject {
    OMBRISALT_REFLECTED(CFuzzRecord, CObject)
public:
    CFuzzRecord() { InitDeclaredProperties(); }
    ~CFuzzRecord() override { DestroyDeclaredProperties(); }
    int32_t m_Count;
    int32_t m_Ranged;
    bool m_Flag;
    CJString m_Text;
    float m_Scale;
    CPoint m_Spot;
    CFPoint m_Place;
    int32_t m_Kind;
    CFuzzPart* m_Child;
    CPropertyArray<int32_t> m_Sizes;
    CPropertyArray<CJString> m_Labels;
    CPropertyArray<CFuzzPart*> m_Parts;
};

OMBRISALT_IMPLEMENT_CLASS(CFuzzPart, 1)
OMBRISALT_IMPLEMENT_CLASS(CFuzzLeaf, 2)
OMBRISALT_IMPLEMENT_CLASS(CFuzzRecord, 3)

void CFuzzPart::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFuzzPart::m_Count, "Count", 1).Range(-100, 100);
    d.Add(&CFuzzPart::m_Name, "Name", "part");
}

void CFuzzLeaf::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFuzzLeaf::m_Weight, "Weight", 0.5f);
    d.Add(&CFuzzLeaf::m_Flag, "Flag", true);
}

void CFuzzRecord::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFuzzRecord::m_Count, "Count", 0);
    d.Add(&CFuzzRecord::m_Ranged, "Ranged", 5).Range(0, 10);
    d.Add(&CFuzzRecord::m_Flag, "Flag", false);
    d.Add(&CFuzzRecord::m_Text, "Text", "");
    d.Add(&CFuzzRecord::m_Scale, "Scale", 1.0f);
    d.Add(&CFuzzRecord::m_Spot, "Spot", CPoint{0, 0});
    d.Add(&CFuzzRecord::m_Place, "Place", CFPoint{0, 0});
    d.AddListReference(&CFuzzRecord::m_Kind, "Kind", &FuzzKinds(), "Walking");
    d.AddOwned(&CFuzzRecord::m_Child, "Child");
    d.AddArray<CIntProperty>(&CFuzzRecord::m_Sizes, "Sizes", "Size", 0);
    d.AddArray<CStringProperty>(&CFuzzRecord::m_Labels, "Labels", "Label", "").WithoutCapacityWord();
    d.AddArray<CTypedPObjectProperty<CFuzzPart>>(&CFuzzRecord::m_Parts, "Parts", "Part", nullptr);
}

struct CFuzzDynamic {
    CProperty* tag;
    CProperty* note;
};

// Registers the classes and the dynamic values once; later calls return them.
const CFuzzDynamic& RegisterFuzzClasses()
{
    static const CFuzzDynamic dynamic = [] {
        RegisterAllClasses();
        CFuzzPart::SGetClassInfo();
        CFuzzLeaf::SGetClassInfo();
        CFuzzRecord::SGetClassInfo();
        CFuzzDynamic made{new CSlotProperty<CIntProperty>("Tag", 7), new CSlotProperty<CStringProperty>("Note", "")};
        made.tag->AddAsDynamicProperty(CFuzzRecord::SGetClassInfo(), DynamicKind::Optional);
        made.note->AddAsDynamicProperty(CFuzzRecord::SGetClassInfo(), DynamicKind::Optional);
        return made;
    }();
    return dynamic;
}

// Sets the count of the named array property of a record.
void SetFuzzArrayCount(CFuzzRecord& record, const char* name, uint32_t count)
{
    static_cast<CPropertyArrayProperty*>(CFuzzRecord::SGetClassInfo()->FindProperty(name))
        ->ArrayProperty_SetCount(&record, count);
}

// A record with every member away from its default: an owned leaf, array
// elements (an owned part and leaf among them) and both dynamic values.
inline std::unique_ptr<CFuzzRecord> MakeFullFuzzRecord()
{
    const CFuzzDynamic& dynamic = RegisterFuzzClasses();
    auto full = std::make_unique<CFuzzRecord>();
    full->m_Count = -42;
    full->m_Ranged = 9;
    full->m_Flag = true;
    full->m_Text = "binary";
    full->m_Scale = 2.25f;
    full->m_Spot = CPoint{3, -4};
    full->m_Place = CFPoint{1.5f, -0.25f};
    auto* leaf = new CFuzzLeaf();
    leaf->m_Count = 5;
    leaf->m_Weight = 3.0f;
    leaf->m_Flag = false;
    full->m_Child = leaf;
    full->m_Kind = 2;
    SetFuzzArrayCount(*full, "Sizes", 3);
    for (uint32_t i = 0; i < 3; ++i)
        full->m_Sizes[i] = int32_t(i * 10);
    SetFuzzArrayCount(*full, "Labels", 2);
    full->m_Labels[0] = "first";
    full->m_Labels[1] = "second";
    SetFuzzArrayCount(*full, "Parts", 2);
    full->m_Parts[0] = new CFuzzPart();
    full->m_Parts[1] = new CFuzzLeaf();
    *static_cast<int32_t*>(full->GetOrAddDynamicValue(dynamic.tag)) = 99;
    *static_cast<CJString*>(full->GetOrAddDynamicValue(dynamic.note)) = "noted";
    return full;
}

} // namespace
