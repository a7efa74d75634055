#include "TestClasses.h"

#include "foundation/CMemFileBuf.h"
#include "objects/CNetMessageStream.h"

#include <cstring>

namespace {

template <typename T>
class CTestOwnedProperty : public CTypedProperty<T*> {
    using Base = CTypedProperty<T*>;

public:
    using ValueType = T*;
    CTestOwnedProperty(const char* name, T* defaultValue) : Base(name, defaultValue) {}

    bool IsValueProperty() const override { return false; }
    void CopyValue(CObject* destination, CObject* source, const CProperty*) const override
    {
        T*& mine = Base::Value(destination);
        delete mine;
        T* theirs = Base::Value(source);
        mine = theirs ? static_cast<T*>(theirs->Clone()) : nullptr;
    }
    bool IsEqual(CObject* object, CObject* other, const CProperty*) const override
    {
        T* a = Base::Value(object);
        T* b = Base::Value(other);
        return a == b || (a && b && a->IsEqualTo(b));
    }
    void SetToDefault(CObject* object) const override
    {
        delete Base::Value(object);
        Base::Value(object) = nullptr;
    }
    void InitValue(CObject* object) const override { Base::Value(object) = nullptr; }
    void DestroyValue(CObject* object) const override { SetToDefault(object); }
    bool ShouldWrite(CObject* object) const override { return this->GetWriteWhenEmpty() || Base::Value(object); }
    void GetValueText(CObject* object, CJString& out) const override
    {
        T* value = Base::Value(object);
        out.Set(value ? value->GetClassInfo()->GetName() : "");
    }
    void WriteValueLine(CObject* object, CObjectStream& stream) const override
    {
        if (T* value = Base::Value(object))
            WriteObjectText(value, stream, WriteHeader::With);
        else
            stream.WriteLine();
    }
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override
    {
        SetToDefault(object);
        if (text.IsEmpty() || !stream)
            return;
        CObject* created =
            CClassInfoList::SGetInstance().CreateObjectByName(text.GetString(), 0, -1, CClassInfoList::Report::Fatal);
        T* typed = dynamic_cast<T*>(created);
        if (!typed) {
            delete created;
            stream->ReportError(CJString("wrong class"));
            return;
        }
        Base::Value(object) = typed;
        if (!ReadObjectBlock(typed, *stream, BlockMode::Whole))
            stream->ReportError(stream->HasReadError() ? stream->GetErrorText() : CJString("bad block"));
    }
    void WriteBinary(CObject* object, CObjectStream& stream) const override
    {
        T* value = Base::Value(object);
        stream.WriteCountedString(value ? value->GetClassInfo()->GetName() : "");
        if (value)
            value->WriteBin(stream);
    }
    bool ReadBinary(CObject* object, CObjectStream& stream) const override
    {
        SetToDefault(object);
        char name[256] = {};
        stream.ReadCountedString(name, sizeof name);
        if (!name[0])
            return true;
        T* typed = dynamic_cast<T*>(
            CClassInfoList::SGetInstance().CreateObjectByName(name, 0, -1, CClassInfoList::Report::Quiet));
        if (!typed)
            return false;
        Base::Value(object) = typed;
        return typed->ReadBin(stream);
    }
    void WritePacked(CObject* object, CNetMessageStream& stream, CObject*) const override
    {
        T* value = Base::Value(object);
        stream.WriteString(value ? value->GetClassInfo()->GetName() : "");
        if (value)
            value->WritePacked(stream, nullptr);
    }
    void ReadPacked(CObject* object, CNetMessageStream& stream) const override
    {
        SetToDefault(object);
        const char* name = stream.ReadString();
        if (!name[0])
            return;
        T* typed = dynamic_cast<T*>(
            CClassInfoList::SGetInstance().CreateObjectByName(name, 0, -1, CClassInfoList::Report::Fatal));
        Base::Value(object) = typed;
        if (typed) {
            typed->ResetToDefaults();
            typed->ReadPacked(stream);
        }
    }
};

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
    d.Add<CTestOwnedProperty<CTestBase>>(&CTestDerived::m_Child, "Child", nullptr).WriteWhenEmpty(false);
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
