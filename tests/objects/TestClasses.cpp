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
#include "tests/support/objects/ObjectRoundTrip.h"

#include <cstdlib>
#include <cstring>

namespace {

// A plain object reference: writes the referred object's identity and reads
// it back as a patch, so the reference table is exercised.
template <typename T>
class CTestReferenceProperty : public CTypedProperty<T*> {
    using Base = CTypedProperty<T*>;

public:
    using ValueType = T*;
    CTestReferenceProperty(const char* name, T* defaultValue)
        : Base(name, defaultValue)
    {
    }

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
OMBRISALT_IMPLEMENT_CLASS_WITHOUT_BASE(CTestRootless, 1)

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
    d.AddOwned(&CTestDerived::m_Child, "Child").OmitWhenEmpty();
    // References only survive in streams that carry identities.
    d.Add<CTestReferenceProperty<CTestBase>>(&CTestDerived::m_Partner, "Partner", nullptr)
        .OmitWhenEmpty()
        .OnlyInIdStreams();
}

void CTestStrict::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetReportUnknownProperties(true);
    d.GetClassInfo().AddIgnoredPropertyName("Loss Less");
}

void CTestAbstract::DeclareProperties(CPropertyDeclarer&) {}
void CTestRootless::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CTestRootless::m_Count, "Count", 4);
}
void CTestLate::DeclareProperties(CPropertyDeclarer&) {}

CTestBase::CTestBase()
{
    InitDeclaredProperties();
}
CTestBase::~CTestBase()
{
    DestroyDeclaredProperties();
}
CTestDerived::CTestDerived()
{
    InitDeclaredProperties();
}
CTestDerived::~CTestDerived()
{
    DestroyDeclaredProperties();
}
CTestStrict::CTestStrict()
{
    InitDeclaredProperties();
}
CTestRootless::CTestRootless()
{
    InitDeclaredProperties();
}
CTestRootless::~CTestRootless()
{
    DestroyDeclaredProperties();
}

void RegisterTestClasses()
{
    RegisterObjectClasses();
    CTestBase::SGetClassInfo();
    CTestDerived::SGetClassInfo();
    CTestStrict::SGetClassInfo();
    CTestAbstract::SGetClassInfo();
    CTestRootless::SGetClassInfo();
}

CMemFileBuf* CopyOf(const std::string& bytes)
{
    return CopyOfBytes(bytes);
}

std::string WriteToText(CObject* object, IdMode ids)
{
    return ObjectToText(object, ids);
}

CObject* ReadFromText(const std::string& text, IdMode ids, CJString* error)
{
    return ObjectFromText(text, ids, StreamReports::Quiet, error);
}

std::string WriteToBinary(CObject* object, IdMode ids)
{
    return ObjectToBinary(object, ids);
}

bool ReadFromBinary(CObject* object, const std::string& bytes, IdMode ids)
{
    return ObjectFromBinary(*object, bytes, ids, StreamReports::Fatal);
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
    d.Add(&CScalarHolder::m_Lives, "Lives", 3u).Range(1, 10).SpecialValue(0, "Unlimited");
    d.Add(&CScalarHolder::m_Enabled, "Enabled", true);
    d.AddBits(&CScalarHolder::m_Flags, "Visible", 0x1, BitDefault::Set);
    d.AddBits(&CScalarHolder::m_Flags, "Layer", 0x6, BitDefault::Clear);
    d.AddBits(&CScalarHolder::m_Flags, "Hidden", 0x8, BitDefault::Clear).Setter<&CScalarHolder::SetHiddenBit>();
    d.Add(&CScalarHolder::m_Speed, "Speed", 2.5f).Units("pixels");
    d.Add(&CScalarHolder::m_Ratio, "Ratio", 0.5f).Range(0, 1).SpecialValue(-1, "Never");
    d.AddListReference(&CScalarHolder::m_Kind, "Kind", &GetKindList(), "Walking");
    d.AddListReference(&CScalarHolder::m_Mode, "Mode", &GetModeList(), nullptr);
    d.AddEmbedded(&CScalarHolder::m_Inner, "Inner");
}

void CScalarDerived::DeclareProperties(CPropertyDeclarer&) {}

CScalarInner::CScalarInner()
{
    InitDeclaredProperties();
}
CScalarInner::~CScalarInner()
{
    DestroyDeclaredProperties();
}
CScalarHolder::CScalarHolder()
{
    InitDeclaredProperties();
}
CScalarHolder::~CScalarHolder()
{
    DestroyDeclaredProperties();
}
CScalarDerived::CScalarDerived()
{
    InitDeclaredProperties();
}

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
    d.AddArray<CIntProperty>(&CTestHolder::m_Sizes, "Sizes", "Size", 0);
    d.AddArray<CIntProperty>(&CTestHolder::m_Exact, "Exact", "Value", 1).WithoutCapacityWord();
    d.AddArray<CStringProperty>(&CTestHolder::m_Labels, "Labels", "Label", "none")
        .StoredInElementArrays()
        .NamedBy(&ColourNames());
    d.AddArray<CTypedPObjectProperty<CTestBase>>(&CTestHolder::m_Parts, "Parts", "Part", nullptr);
    d.AddOwned(&CTestHolder::m_Inline, "Inline").OmitWhenEmpty();
    d.AddOwned(&CTestHolder::m_Defaulted, "Defaulted").DefaultClass(CTestDerived::SGetClassInfo());
    d.Add(&CTestHolder::m_Kind, "Kind", static_cast<CClassInfo*>(nullptr));
}

CTestHolder::CTestHolder()
{
    InitDeclaredProperties();
}
CTestHolder::~CTestHolder()
{
    DestroyDeclaredProperties();
}

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
        a.tag->AddAsDynamicProperty(CTestBase::SGetClassInfo(), DynamicKind::Optional);
        CAutoRegisterDynamicProperty always(CTestHolder::SGetClassInfo(), a.always, DynamicKind::AlwaysPresent,
                                            "Present on every holder");
        a.extra->AddAsDynamicProperty(CTestHolder::SGetClassInfo(), DynamicKind::OnRequest);
        return a;
    }();
    return attached;
}

} // namespace

CProperty* TagProperty()
{
    return Attached().tag;
}
CProperty* AlwaysProperty()
{
    return Attached().always;
}
CProperty* ExtraProperty()
{
    return Attached().extra;
}

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

CValueKindsHolder::CValueKindsHolder()
{
    InitDeclaredProperties();
}
CValueKindsHolder::~CValueKindsHolder()
{
    DestroyDeclaredProperties();
}

CProperty* HolderProperty(const char* name)
{
    return CValueKindsHolder::SGetClassInfo()->FindProperty(name);
}

OMBRISALT_IMPLEMENT_CLASS(CSaveWordsHolder, 1)

void CSaveWordsHolder::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CSaveWordsHolder::m_Everywhere, "Everywhere", 1);
    d.Add(&CSaveWordsHolder::m_TextOnly, "TextOnly", 1).SavedOnlyInText();
    d.Add(&CSaveWordsHolder::m_BinaryOnly, "BinaryOnly", 1).SavedOnlyInBinary();
    d.Add(&CSaveWordsHolder::m_Nowhere, "Nowhere", 1).NotSaved();
    d.Add(&CSaveWordsHolder::m_IdStreamsOnly, "IdStreamsOnly", 1).OnlyInIdStreams();
    d.Add(&CSaveWordsHolder::m_IdLessStreamsOnly, "IdLessStreamsOnly", 1).OnlyInIdLessStreams();
    d.Add(&CSaveWordsHolder::m_OmittedWhenEmpty, "OmittedWhenEmpty", "").OmitWhenEmpty();
    d.Add(&CSaveWordsHolder::m_OmittedWhenDefault, "OmittedWhenDefault", 1).OmitWhenDefault();
}

CSaveWordsHolder::CSaveWordsHolder()
{
    InitDeclaredProperties();
}
CSaveWordsHolder::~CSaveWordsHolder()
{
    DestroyDeclaredProperties();
}
