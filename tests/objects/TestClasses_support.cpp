#include "TestClasses.h"

#include "foundation/CDynamicList.h"
#include "foundation/CMemFileBuf.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CFloatProperty.h"
#include "objects/CListProperty.h"
#include "objects/CNetMessageStream.h"
#include "objects/CObjectProperty.h"
#include "objects/CPClassInfoProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CSlotProperty.h"

#include <cstdlib>
#include <cstring>

namespace {

// Object references belong to the list and reference kinds; this one keeps
// the reference table exercised until they exist.
template <typename T>
class CTestReferenceProperty : public CTypedProperty<T*> {
    using Base = CTypedProperty<T*>;

public:
    using ValueType = T*;
    CTestReferenceProperty(const char* name, T* defaultValue) : Base(name, defaultValue) {}

    bool IsEqual(CObject* object, CObject* other, const CProperty*) const override
    {
        return (Base::Value(object) == nullptr) == (Base::Value(other) == nullptr);
    }
    bool ShouldWrite(CObject* object) const override { return this->GetWriteWhenEmpty() || Base::Value(object); }
    void GetValueText(CObject*, CJString& out) const override { out.Empty(); }
    void WriteValueLine(CObject* object, CObjectStream& stream) const override
    {
        const uint32_t identity = stream.GetIdentity(Base::Value(object));
        if (identity)
            stream.AddReferenced(identity);
        CJString text;
        text.Format("0x%08X", identity);
        stream.WriteLine(text.GetString());
    }
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override
    {
        Base::Value(object) = nullptr;
        const uint32_t identity = ParseCUnsigned(text.GetString());
        if (identity && stream)
            stream->AddPatch(object, identity, &Base::Value(object));
    }
    void WriteBinary(CObject* object, CObjectStream& stream) const override
    {
        const uint32_t identity = stream.GetIdentity(Base::Value(object));
        if (identity)
            stream.AddReferenced(identity);
        stream.WriteUint32(identity);
    }
    bool ReadBinary(CObject* object, CObjectStream& stream) const override
    {
        uint32_t identity = 0;
        stream.ReadUint32(identity);
        Base::Value(object) = nullptr;
        if (identity)
            stream.AddPatch(object, identity, &Base::Value(object));
        return true;
    }
};

} // namespace

OMBRISALT_IMPLEMENT_CLASS(CTestBase, 1)
OMBRISALT_IMPLEMENT_CLASS(CTestDerived, 2)
OMBRISALT_IMPLEMENT_CLASS(CTestStrict, 0)
OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CTestAbstract, 0)
OMBRISALT_IMPLEMENT_CLASS(CTestLate, 0)

void CTestBase::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CTestBase::m_Count, "Count", 3).AlternateName("Old Count");
    d.Add(&CTestBase::m_Enabled, "Enabled", true);
    d.Add(&CTestBase::m_Name, "Name", "");
}

void CTestDerived::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CTestDerived::m_Size, "Layout/Size", 10).Units("pixels").Range(0, 100);
    d.Add(&CTestDerived::m_Label, "Label", "abc").OmitWhenDefault();
    d.Add<CTypedPObjectProperty<CTestBase>>(&CTestDerived::m_Child, "Child", nullptr).WriteWhenEmpty(false);
    d.Add<CTestReferenceProperty<CTestBase>>(&CTestDerived::m_Partner, "Partner", nullptr).WriteWhenEmpty(false);
    // References only survive in streams that carry identities.
    d.GetClassInfo().GetLastProperty()->SetModeFlags(false, true);
}

void CTestStrict::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetReportUnknownProperties(true);
    d.GetClassInfo().AddIgnoredPropertyName("Loss Less");
}

void CTestAbstract::DeclareProperties(CPropertyDeclarer&) {}
void CTestLate::DeclareProperties(CPropertyDeclarer&) {}

CTestBase::CTestBase() { InitDeclaredProperties(); }
CTestBase::~CTestBase() { DestroyDeclaredProperties(); }
CTestDerived::CTestDerived() { InitDeclaredProperties(); }
CTestDerived::~CTestDerived() { DestroyDeclaredProperties(); }
CTestStrict::CTestStrict() { InitDeclaredProperties(); }

void RegisterTestClasses()
{
    RegisterObjectClasses();
    CTestBase::SGetClassInfo();
    CTestDerived::SGetClassInfo();
    CTestStrict::SGetClassInfo();
    CTestAbstract::SGetClassInfo();
}

CMemFileBuf* CopyOf(const std::string& bytes)
{
    auto* copy = static_cast<uint8_t*>(std::malloc(bytes.size() + 1));
    std::memcpy(copy, bytes.data(), bytes.size());
    return CMemFileBuf::Adopt(copy, uint32_t(bytes.size()));
}

std::string WriteToText(CObject* object, CObjectStream::Ids ids)
{
    auto* buffer = new CMemFileBuf();
    CObjectStream stream;
    stream.Attach(buffer, FILE_CREATE | FILE_WRITE, ids);
    WriteObjectText(object, stream, WriteHeader::With);
    stream.Finish();
    std::string text(reinterpret_cast<const char*>(buffer->GetData()), size_t(buffer->GetSize()));
    return text;
}

CObject* ReadFromText(const std::string& text, CObjectStream::Ids ids, CJString* error)
{
    CObjectStream stream;
    stream.Attach(CopyOf(text), FILE_READ, ids);
    stream.SetQuiet(true);
    CObject* object = ReadObjectFromStream(stream);
    stream.Finish();
    if (error)
        *error = stream.GetErrorText();
    return object;
}

std::string WriteToBinary(CObject* object, CObjectStream::Ids ids)
{
    auto* buffer = new CMemFileBuf();
    CObjectStream stream;
    stream.Attach(buffer, FILE_CREATE | FILE_WRITE, ids);
    object->WriteBin(stream);
    stream.Finish();
    return std::string(reinterpret_cast<const char*>(buffer->GetData()), size_t(buffer->GetSize()));
}

bool ReadFromBinary(CObject* object, const std::string& bytes, CObjectStream::Ids ids)
{
    CObjectStream stream;
    stream.Attach(CopyOf(bytes), FILE_READ, ids);
    const bool ok = object->ReadBin(stream);
    stream.Finish();
    return ok;
}

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

OMBRISALT_IMPLEMENT_CLASS(CValueKindsHolder, 1)

void CValueKindsHolder::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CValueKindsHolder::m_Name, "Name", "");
    d.Add(&CValueKindsHolder::m_Title, "Title", "");
    d.Add(&CValueKindsHolder::m_Spot, "Spot", CPoint{0, 0});
    d.Add(&CValueKindsHolder::m_Place, "Place", CFPoint{0, 0});
}

CValueKindsHolder::CValueKindsHolder() { InitDeclaredProperties(); }
CValueKindsHolder::~CValueKindsHolder() { DestroyDeclaredProperties(); }

CProperty* HolderProperty(const char* name)
{
    return CValueKindsHolder::SGetClassInfo()->FindProperty(name);
}
