#include "ContainerClasses.h"

#include "foundation/CDynamicList.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CPClassInfoProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CSlotProperty.h"

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CTestPartAbstract, 0)
OMBRISALT_IMPLEMENT_CLASS(CTestHolder, 0)

void CTestPartAbstract::DeclareProperties(CPropertyDeclarer&) {}

void CTestHolder::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddProperty(NewArrayProperty<CIntProperty>(&CTestHolder::m_Sizes, "Sizes", {}, "Size", 0));
    d.AddProperty(NewArrayProperty<CIntProperty>(&CTestHolder::m_Exact, "Exact", {ArrayCapacity::None}, "Value", 1));
    d.AddProperty(NewArrayProperty<CStringProperty>(
        &CTestHolder::m_Labels, "Labels", {ArrayCapacity::Kept, ArrayStorage::ElementArrays, &ColourNames()},
        "Label", "none"));
    d.AddProperty(NewArrayProperty<CTypedPObjectProperty<CTestBase>>(&CTestHolder::m_Parts, "Parts", {}, "Part",
                                                                     nullptr));
    d.Add<CTypedPObjectProperty<CTestBase>>(&CTestHolder::m_Inline, "Inline", nullptr).WriteWhenEmpty(false);
    d.Add<CTypedPObjectProperty<CTestBase>>(&CTestHolder::m_Defaulted, "Defaulted", nullptr)
        .Get()
        .SetDefaultClass(CTestDerived::SGetClassInfo());
    d.Add(&CTestHolder::m_Kind, "Kind", static_cast<CClassInfo*>(nullptr));
}

CTestHolder::CTestHolder() { InitDeclaredProperties(); }
CTestHolder::~CTestHolder() { DestroyDeclaredProperties(); }

CDynamicList& ColourNames()
{
    static CDynamicList* names = [] {
        auto* list = new CDynamicList();
        list->Add("Red");
        list->Add("Green");
        list->Add("Blue");
        return list;
    }();
    return *names;
}

CPropertyArrayProperty* HolderArray(const char* name)
{
    return static_cast<CPropertyArrayProperty*>(CTestHolder::SGetClassInfo()->FindProperty(name));
}

namespace {

struct CAttached {
    CProperty* tag;
    CProperty* always;
    CProperty* extra;
};

const CAttached& Attached()
{
    static const CAttached attached = [] {
        RegisterTestClasses();
        CAttached a{new CSlotProperty<CIntProperty>("Tag", 7), new CSlotProperty<CStringProperty>("Always", "on"),
                    new CSlotProperty<CTypedPObjectProperty<CTestBase>>("Extra", nullptr)};
        a.tag->AddAsDynamicProperty(CTestBase::SGetClassInfo(), 0);
        CAutoRegisterDynamicProperty always(CTestHolder::SGetClassInfo(), a.always, kDynamicAlwaysPresent,
                                            "Present on every holder");
        a.extra->AddAsDynamicProperty(CTestHolder::SGetClassInfo(), 1);
        return a;
    }();
    return attached;
}

} // namespace

CProperty* TagProperty() { return Attached().tag; }
CProperty* AlwaysProperty() { return Attached().always; }
CProperty* ExtraProperty() { return Attached().extra; }

void RegisterContainerClasses()
{
    RegisterTestClasses();
    CTestPartAbstract::SGetClassInfo();
    CTestHolder::SGetClassInfo();
    Attached();
}
