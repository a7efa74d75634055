#include "TestClasses.h"

#include "foundation/CMemFileBuf.h"
#include "objects/CNetMessageStream.h"
#include "objects/CPObjectProperty.h"

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
            stream->AddPatch(identity, &Base::Value(object));
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
            stream.AddPatch(identity, &Base::Value(object));
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
    auto* copy = static_cast<uint8_t*>(std::malloc(text.size() + 1));
    std::memcpy(copy, text.data(), text.size());
    CObjectStream stream;
    stream.Attach(new CMemFileBuf(copy, uint32_t(text.size()), true), FILE_READ, ids);
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
    auto* copy = static_cast<uint8_t*>(std::malloc(bytes.size() + 1));
    std::memcpy(copy, bytes.data(), bytes.size());
    CObjectStream stream;
    stream.Attach(new CMemFileBuf(copy, uint32_t(bytes.size()), true), FILE_READ, ids);
    const bool ok = object->ReadBin(stream);
    stream.Finish();
    return ok;
}
