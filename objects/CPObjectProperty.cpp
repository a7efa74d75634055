#include "objects/CPObjectProperty.h"

#include "foundation/CMemFileBuf.h"
#include "foundation/CurrentLoadFile.h"
#include "foundation/FatalError.h"
#include "objects/CClassInfo.h"
#include "objects/CNetMessageStream.h"
#include "objects/CObject.h"
#include "objects/CObjectStream.h"
#include "objects/CSlotProperty.h"

namespace {

// The typed pointer record an owned object may replace itself through.
class CMemberObjectPointer final : public CUntypedCObjectPointer {
public:
    CMemberObjectPointer(void* member, CClassInfo* required, Store store, Load load)
        : CUntypedCObjectPointer(member, required, store, load)
    {
    }
};

// Appends ":" and a property name to the load file name while a nested
// object is read, and takes them off again afterwards. Only the length is
// kept: a copy of the name per level would grow with the square of the depth.
class CNestedLoadName {
public:
    explicit CNestedLoadName(const CJString& propertyName)
        : m_Length(GetCurrentLoadFileName().GetLength())
    {
        GetCurrentLoadFileName().Append(":");
        GetCurrentLoadFileName().Append(propertyName);
    }
    ~CNestedLoadName()
    {
        // Readers below restore what they change, so the name still starts
        // with what it held before.
        CJString& name = GetCurrentLoadFileName();
        if (name.GetLength() > m_Length)
            name.Delete(m_Length, name.GetLength() - m_Length);
    }
    CNestedLoadName(const CNestedLoadName&) = delete;
    CNestedLoadName& operator=(const CNestedLoadName&) = delete;

private:
    int m_Length;
};

bool IsCreatable(const CClassInfo* info, const CClassInfo* required)
{
    return info && info->GetFlags() == 0 && info->IsDerivedFrom(required);
}

// Passes over the block that follows a line whose object could not be made.
void SkipBlock(CObjectStream& stream)
{
    const int64_t position = stream.GetPosition();
    CJString line;
    if (!stream.ReadNonBlankLine(line)) {
        stream.Seek(position);
        return;
    }
    line.TrimLeft();
    if (line.IsEmpty() || line.GetAt(0) != '{') {
        stream.Seek(position);
        return;
    }
    int32_t depth = 1;
    while (depth > 0 && stream.ReadLine(line)) {
        line.TrimLeft();
        if (line.IsEmpty())
            continue;
        if (line.GetAt(0) == '{')
            ++depth;
        else if (line.GetAt(0) == '}')
            --depth;
    }
}

[[noreturn]] void ReportBadClass(const char* format, const char* className, const CProperty& property,
                                 const CClassInfo* required)
{
    CJString text;
    text.Format(format, className, property.GetName(), required->GetName(), GetCurrentLoadFileName().GetString());
    if (text.IsWide())
        text.ToNarrow();
    FatalDataError(kInvalidClassTypeTitle, text.GetString());
}

} // namespace

CPObjectProperty::CPObjectProperty(const char* name, CClassInfo* requiredClass, Store store, Load load)
    : CProperty(name, nullptr, sizeof(CObject*), kLevelNormal)
    , m_RequiredClass(requiredClass)
    , m_Store(store)
    , m_Load(load)
{
}

CPObjectProperty::CPObjectProperty(const CPObjectProperty& other)
    : CProperty(other)
    , m_RequiredClass(other.m_RequiredClass)
    , m_PreferredClass(other.m_PreferredClass)
    , m_Store(other.m_Store)
    , m_Load(other.m_Load)
    , m_MayDelete(other.m_MayDelete)
    , m_Editable(other.m_Editable)
    , m_InlineMode(other.m_InlineMode)
{
    CObject* object = other.MakeDefault();
    SetDefaultObject(object);
    delete object;
}

CPObjectProperty::~CPObjectProperty()
{
    delete m_DefaultText;
}

void CPObjectProperty::SetDefaultObject(CObject* object)
{
    m_DefaultClass = nullptr;
    delete m_DefaultText;
    m_DefaultText = nullptr;
    if (!object)
        return;
    m_DefaultWantsInline = object->WantsInlineEditing(nullptr);
    auto* buffer = new CMemFileBuf();
    CObjectStream stream;
    stream.Attach(buffer, FILE_CREATE | FILE_WRITE, IdMode::WithoutIds);
    WriteObjectText(object, stream, WriteHeader::With);
    stream.Finish();
    stream.DetachFileBuf();
    m_DefaultText = buffer;
}

void CPObjectProperty::SetDefaultClass(CClassInfo* info)
{
    delete m_DefaultText;
    m_DefaultText = nullptr;
    m_DefaultClass = info;
}

CObject* CPObjectProperty::Create(CClassInfo* info) const
{
    return info ? info->CreateObject(GetFirstBound(), GetSecondBound()) : nullptr;
}

CObject* CPObjectProperty::MakeDefault() const
{
    if (m_DefaultClass) {
        CObject* object = Create(m_DefaultClass);
        if (object)
            object->ResetToDefaults();
        return object;
    }
    if (!m_DefaultText || m_DefaultText->GetSize() == 0)
        return nullptr;
    m_DefaultText->Seek(0);
    CObject* object = LoadObjectFromOpenFile(m_DefaultText, 0, IdMode::WithoutIds, ReportUnknownClass::Quiet);
    if (object && !object->IsKindOf(m_RequiredClass)) {
        delete object;
        return nullptr;
    }
    return object;
}

void CPObjectProperty::DeleteValue(CObject* owner) const
{
    CObject* object = GetObject(owner);
    Put(owner, nullptr);
    delete object;
}

void CPObjectProperty::StoreNew(CObject* owner, CObject* value) const
{
    if (CallSetter(owner, value))
        return;
    DeleteValue(owner);
    Put(owner, value);
}

CObject* CPObjectProperty::GetDynamicValue(CObject* object) const
{
    void* storage = object->GetDynamicValue(this);
    return storage ? m_Load(storage) : nullptr;
}

void CPObjectProperty::SetDynamicValue(CObject* object, CObject* value) const
{
    if (CallSetter(object, value))
        return;
    CObject* slot = SlotOwner(object->GetOrAddDynamicValue(this));
    DeleteValue(slot);
    Put(slot, value);
}

void CPObjectProperty::CopyValue(CObject* destination, CObject* source, const CProperty* sourceProperty) const
{
    const auto* other = dynamic_cast<const CPObjectProperty*>(sourceProperty);
    CObject* theirs = other ? other->GetObject(source) : nullptr;
    CObject* mine = GetObject(destination);
    if (mine == theirs)
        return;
    if (mine && theirs && mine->GetClassInfo() == theirs->GetClassInfo()) {
        mine->CopyFrom(theirs);
        return;
    }
    DeleteValue(destination);
    if (!theirs || !theirs->IsKindOf(m_RequiredClass))
        return;
    CObject* copy = Create(theirs->GetClassInfo());
    if (copy) {
        copy->CopyFrom(theirs);
        Put(destination, copy);
    }
}

bool CPObjectProperty::IsEqual(CObject* object, CObject* other, const CProperty* otherProperty) const
{
    const auto* property = dynamic_cast<const CPObjectProperty*>(otherProperty);
    CObject* a = GetObject(object);
    CObject* b = property ? property->GetObject(other) : nullptr;
    if (!a || !b)
        return !a && !b;
    return a->IsEqualTo(b);
}

void CPObjectProperty::InitValue(CObject* owner) const
{
    Put(owner, nullptr);
}

void CPObjectProperty::DestroyValue(CObject* owner) const
{
    DeleteValue(owner);
}

void CPObjectProperty::SetToDefault(CObject* owner) const
{
    StoreNew(owner, MakeDefault());
}

void CPObjectProperty::OnLoaded(CObject* owner, bool withRecord) const
{
    CObject* object = GetObject(owner);
    if (!object)
        return;
    if (withRecord) {
        CMemberObjectPointer record(GetValueAddress(owner), m_RequiredClass, m_Store, m_Load);
        object->OnLoaded(&record);
    } else {
        object->OnLoaded(nullptr);
    }
}

void CPObjectProperty::OnOwnerLoaded(CObject* owner) const
{
    OnLoaded(owner, true);
}

void CPObjectProperty::GetValueText(CObject* owner, CJString& out) const
{
    CObject* object = GetObject(owner);
    out.Set(object ? object->GetClassInfo()->GetName() : "");
}

void CPObjectProperty::SetValueFromText(CObject* owner, const CJString& text, CObjectStream* stream) const
{
    ReadValue(owner, CJString(), text, stream, -1);
}

void CPObjectProperty::ReadValue(CObject* owner, const CJString& name, const CJString& value, CObjectStream* stream,
                                 int64_t linePosition) const
{
    const bool claimed
        = name.IsNotEmpty() && name.CompareNoCase(GetNameString()) != 0 && name.CompareNoCase(GetAlternateName()) != 0;
    if (value.IsEmpty() && !claimed) {
        DeleteValue(owner);
        return;
    }
    CObject* object = GetObject(owner);
    if (claimed) {
        if (!object) {
            object = Create(m_RequiredClass);
            if (object)
                object->ResetToDefaults();
            Put(owner, object);
        }
    } else {
        if (object && value.CompareNoCase(object->GetClassInfo()->GetName()) != 0) {
            DeleteValue(owner);
            object = nullptr;
        }
        if (!object) {
            CJString className(value);
            if (className.IsWide())
                className.ToNarrow();
            CClassInfo* info = CClassInfoList::SGetInstance().Find(className);
            if ((!info || !info->IsDerivedFrom(m_RequiredClass) || info->GetFlags() != 0) && stream
                && (stream->IsUntrusted() || (!info && stream->IsQuiet()))) {
                CJString message(info ? "Tried to use an unusable class " : "Tried to use an unknown class ");
                message.Append(className);
                stream->ReportError(message);
                return;
            }
            if (!info) {
                ReportBadClass("Tried to use an unknown class \"%s\" for a \"%s\" (%s). Last file opened = \"%s\"",
                               className.GetString(), *this, m_RequiredClass);
            }
            if (!info->IsDerivedFrom(m_RequiredClass))
                ReportBadClass("Tried to use a %s for a %s when a %s is expected. Last file opened = \"%s\"",
                               info->GetName(), *this, m_RequiredClass);
            if (info->GetFlags() != 0)
                ReportBadClass("Tried to use the abstract class \"%s\" for a \"%s\" (%s). Last file opened = \"%s\"",
                               info->GetName(), *this, m_RequiredClass);
            object = Create(info);
            Put(owner, object);
        }
    }
    if (!stream)
        return;
    if (!object) {
        SkipBlock(*stream);
        return;
    }
    object->OnBeforeLoad();
    object->ResetToDefaults();
    {
        CNestedLoadName nested(GetNameString());
        if (claimed) {
            stream->Seek(linePosition);
            ReadObjectBlock(object, *stream, BlockMode::Embedded);
        } else {
            ReadObjectBlock(object, *stream, BlockMode::Whole);
        }
    }
    if (!stream->HasReadError())
        OnLoaded(owner, !stream->IsIDMode());
}

bool CPObjectProperty::ShouldWrite(CObject* owner) const
{
    return GetWriteWhenEmpty() || GetObject(owner) != nullptr;
}

bool CPObjectProperty::IsDefault(CObject* owner) const
{
    if (m_DefaultClass || m_DefaultText)
        return false;
    return GetObject(owner) == nullptr;
}

void CPObjectProperty::WriteValueLine(CObject* owner, CObjectStream& stream) const
{
    if (CObject* object = GetObject(owner))
        WriteObjectText(object, stream, WriteHeader::With);
    else
        stream.WriteLine();
}

void CPObjectProperty::WriteValue(CObject* owner, CObjectStream& stream) const
{
    if (CObject* object = GetObject(owner))
        WriteObjectTagged(object, stream);
}

void CPObjectProperty::WriteBinary(CObject* owner, CObjectStream& stream) const
{
    CObject* object = GetObject(owner);
    stream.WriteCountedString(object ? object->GetClassInfo()->GetName() : "");
    if (object)
        object->WriteBin(stream);
}

bool CPObjectProperty::ReadBinary(CObject* owner, CObjectStream& stream) const
{
    DeleteValue(owner);
    CJString className;
    if (!stream.ReadCountedText(className))
        return false;
    if (className.IsEmpty())
        return true;
    CObject* object = CClassInfoList::SGetInstance().CreateObjectByName(
        className.GetString(), GetFirstBound(), GetSecondBound(),
        stream.IsQuiet() ? ReportUnknownClass::Quiet : ReportUnknownClass::Fatal);
    if (!object)
        return false;
    // A class outside the required family would sit in a pointer of the
    // wrong type: refuse the data.
    if (!object->IsKindOf(m_RequiredClass)) {
        delete object;
        return false;
    }
    Put(owner, object);
    CNestedLoadName nested(GetNameString());
    return object->ReadBin(stream);
}

void CPObjectProperty::WritePacked(CObject* owner, CNetMessageStream& stream, CObject* reference) const
{
    CObject* object = GetObject(owner);
    stream.WriteBool(object != nullptr);
    if (!object)
        return;
    CObject* baseline = reference ? GetObject(reference) : nullptr;
    const bool sameClass = baseline && baseline->GetClassInfo() == object->GetClassInfo();
    stream.WriteBool(sameClass);
    if (!sameClass) {
        const bool required = object->GetClassInfo() == m_RequiredClass;
        stream.WriteBool(required);
        if (!required) {
            CClassInfoList& registry = CClassInfoList::SGetInstance();
            stream.NetStreamWriteStringListValue(registry.IndexOf(object->GetClassInfo()), registry);
        }
    }
    object->WritePacked(stream, sameClass ? baseline : nullptr);
}

void CPObjectProperty::ReadPacked(CObject* owner, CNetMessageStream& stream) const
{
    if (!stream.ReadBool()) {
        DeleteValue(owner);
        return;
    }
    CObject* object = GetObject(owner);
    const bool sameClass = stream.ReadBool();
    if (sameClass && !object) // kept against an object this side does not have
        stream.NetStreamFatalError(nullptr, "");
    if (!sameClass) {
        CClassInfo* info = m_RequiredClass;
        if (!stream.ReadBool()) {
            CClassInfoList& registry = CClassInfoList::SGetInstance();
            info = registry.GetAt(stream.NetStreamReadStringListValue(registry));
        }
        if (!IsCreatable(info, m_RequiredClass))
            stream.NetStreamFatalError(nullptr, "");
        DeleteValue(owner);
        object = Create(info);
        if (!object)
            stream.NetStreamFatalError(nullptr, "");
        object->ResetToDefaults();
        Put(owner, object);
    }
    object->ReadPacked(stream);
}

bool CPObjectProperty::ClaimsName(const CJString& name) const
{
    return m_RequiredClass->GetPropertyCount() >= 2
        && name.CompareNoCase(m_RequiredClass->GetProperty(1)->GetNameString()) == 0;
}

void CPObjectProperty::PreloadReferencedItems(CObject* owner) const
{
    if (CObject* object = GetObject(owner))
        object->PreloadReferencedItems();
}

void CPObjectProperty::SearchPropertyTree(CObject* owner, CPropertyTreeCallback& callback) const
{
    if (CObject* object = GetObject(owner))
        object->SearchPropertyTree(callback);
}
