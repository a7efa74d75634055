#include "objects/CListProperty.h"

#include "foundation/CVirtualArray.h"
#include "foundation/CurrentLoadFile.h"
#include "objects/CMessage.h"
#include "objects/CNetMessageStream.h"
#include "objects/CObject.h"
#include "objects/CObjectStream.h"

#include <cstdio>
#include <vector>

namespace {

CJString Narrow(const CJString& text)
{
    CJString narrow(text);
    if (narrow.IsWide())
        narrow.ToNarrow();
    return narrow;
}

// Puts the load file name named by reports back when it ends.
class CLoadFileNameRestorer {
public:
    CLoadFileNameRestorer()
        : m_Previous(GetCurrentLoadFileName())
    {
    }
    ~CLoadFileNameRestorer() { GetCurrentLoadFileName() = m_Previous; }
    CLoadFileNameRestorer(const CLoadFileNameRestorer&) = delete;
    CLoadFileNameRestorer& operator=(const CLoadFileNameRestorer&) = delete;

private:
    CJString m_Previous;
};

// A text of decimal digits only, below limit.
bool ReadIndexText(const char* text, int32_t limit, int32_t& index)
{
    if (!*text)
        return false;
    int64_t value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9')
            return false;
        value = value * 10 + (*c - '0');
        if (value >= limit)
            return false;
    }
    index = int32_t(value);
    return true;
}

const char* FileNamePart(const char* name)
{
    const char* part = name;
    for (const char* c = name; *c; ++c)
        if (*c == '/' || *c == '\\')
            part = c + 1;
    return part;
}

// The caller has put the file and property into the load file name.
void LogMissingName([[maybe_unused]] const CJString& name)
{
#if !defined(OMBRISALT_FUZZING)
    std::fprintf(stderr, "%s: no item \"%s\" any more; read as the default\n", GetCurrentLoadFileName().GetString(),
                 name.GetString());
#endif
}

// Lists announce an item inserted at a row; every row held from there on
// now belongs to the next item along.
class CListReferenceKeeper final : public CGamePlugIn {
public:
    bool OnMessage(CMessage& message) override
    {
        if (message.GetType() != CItemAddedToVirtualArrayMessage::SGetType())
            return false;
        auto& added = static_cast<CItemAddedToVirtualArrayMessage&>(message);
        if (!added.GetArray())
            return false;
        CObject::SKeepListReferencesAcrossInsert(*added.GetArray(), added.GetIndex());
        return true;
    }
};

} // namespace

void InstallListReferenceKeeper()
{
    static CListReferenceKeeper keeper;
}

bool CListPropertyABC::IsItem(int32_t index) const
{
    CVirtualArray* list = GetList();
    return list && index >= 0 && index < list->GetCount();
}

int32_t CListPropertyABC::ResolveName(const CJString& text, CObjectStream* stream) const
{
    CVirtualArray* list = GetList();
    if (!list)
        return -1;
    CLoadFileNameRestorer restorer;
    GetCurrentLoadFileName().Append(":");
    GetCurrentLoadFileName().Append(GetNameString());
    const CJString name = Narrow(text);
    int32_t index = list->Find(name.GetString());
    if (index < 0 && m_AddMissingNames)
        index = list->Add(name.GetString());
    if (index < 0 && m_AcceptIndexText)
        ReadIndexText(name.GetString(), list->GetCount(), index);
    if (index >= 0)
        return index;
    if (m_UseDefaultWhenMissing)
        return GetDefaultIndex();
    if (stream && stream->ReadsMissingNamesAsNone()) {
        // An empty name is how no item is written.
        if (!name.IsEmpty())
            LogMissingName(name);
        return GetDefaultIndex();
    }
    if (stream && stream->IsQuiet()) {
        CJString message(kListNameNotFound);
        message.Append(name);
        stream->ReportError(message);
        return -1;
    }
    return list->FindOrReportMissing(name.GetString());
}

int32_t CListPropertyABC::GetDynamicValue(CObject* object) const
{
    const void* storage = object->GetDynamicValue(this);
    return storage ? *static_cast<const int32_t*>(storage) : GetDefaultIndex();
}

int32_t CListPropertyABC::GetDefaultIndex() const
{
    CVirtualArray* list = GetList();
    if (m_DefaultName.IsEmpty() || !list)
        return 0;
    return list->Find(m_DefaultName.GetString());
}

void CListPropertyABC::SetToDefault(CObject* object) const
{
    if (m_DefaultName.IsEmpty()) {
        Value(object) = 0;
        return;
    }
    // A default missing from its list is reported against the program.
    CLoadFileNameRestorer restorer;
    GetCurrentLoadFileName().Set(kDefaultValueFileName);
    Value(object) = ResolveName(m_DefaultName, nullptr);
}

bool CListPropertyABC::IsDefault(CObject* object) const
{
    return Value(object) == GetDefaultIndex();
}

bool CListPropertyABC::ShouldWrite(CObject* object) const
{
    return Value(object) != GetDefaultIndex() || GetWriteWhenEmpty();
}

void CListPropertyABC::GetValueText(CObject* object, CJString& out) const
{
    const int32_t index = Value(object);
    if (!IsItem(index)) {
        out.Empty();
        return;
    }
    const char* name = GetList()->GetItemName(index);
    if (!name)
        name = "";
    out.Set(m_WriteFileNameOnly ? FileNamePart(name) : name);
}

void CListPropertyABC::SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const
{
    int32_t index = ResolveName(text, stream);
    if (stream && index == 0 && m_OwnerFileList && m_FindOwnerEntry) {
        const int32_t entry = m_FindOwnerEntry(*m_OwnerFileList, object);
        if (entry >= 0) {
            const char* ownerName = m_OwnerFileList->GetItemName(entry);
            const int32_t named = ownerName ? GetList()->Find(ownerName) : -1;
            if (named >= 0)
                index = named;
        }
    }
    Store(object, index);
}

void CListPropertyABC::WriteBinary(CObject* object, CObjectStream& stream) const
{
    const int32_t index = Value(object);
    const char* name = IsItem(index) ? GetList()->GetItemName(index) : nullptr;
    stream.WriteCountedString(name ? name : "");
}

bool CListPropertyABC::ReadBinary(CObject* object, CObjectStream& stream) const
{
    CJString name;
    if (!stream.ReadCountedText(name))
        return false;
    Value(object) = ResolveName(name, &stream);
    return true;
}

void CListPropertyABC::WritePacked(CObject* object, CNetMessageStream& stream, CObject*) const
{
    if (CVirtualArray* list = GetList())
        stream.NetStreamWriteStringListValue(Value(object), *list);
}

void CListPropertyABC::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    if (CVirtualArray* list = GetList())
        Value(object) = stream.NetStreamReadStringListValue(*list);
}

void CListPropertyABC::PreloadReferencedItems(CObject* object) const
{
    const int32_t index = Value(object);
    if (IsItem(index))
        GetList()->TouchItem(index);
}

void CListPropertyABC::SearchPropertyTree(CObject* object, CPropertyTreeCallback& callback) const
{
    callback.VisitListReference(*this, Value(object));
}

void CListPropertyABC::KeepListReferenceAcrossInsert(CObject* object, CVirtualArray& list, int32_t index) const
{
    // Written directly: the item is the same, only its row moved.
    if (GetList() == &list && Value(object) >= index)
        ++Value(object);
}
