#include "objects/CDynamicPropertyProperty.h"

#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CNetMessageStream.h"
#include "objects/CObject.h"
#include "objects/CObjectStream.h"
#include "objects/CSlotProperty.h"

#include <algorithm>
#include <cstring>

// --- CDynamicValueList ---

CDynamicValueList::~CDynamicValueList()
{
    Truncate(0);
    if (m_Pairs)
        PoolFree(m_Pairs, sizeof(Pair) * m_Capacity);
}

void* CDynamicValueList::NewValue(const CProperty* property)
{
    void* storage = property->AllocateValue();
    property->InitValue(SlotOwner(storage));
    return storage;
}

void CDynamicValueList::ReleaseValue(const Pair& pair)
{
    pair.property->DestroyValue(SlotOwner(pair.storage));
    pair.property->FreeValue(pair.storage);
}

int32_t CDynamicValueList::IndexOf(const CProperty* property) const
{
    for (uint32_t i = 0; i < m_Count; ++i) {
        if (m_Pairs[i].property == property)
            return int32_t(i);
    }
    return -1;
}

void* CDynamicValueList::Append(const CProperty* property)
{
    if (m_Count == m_Capacity) {
        const uint32_t capacity = std::max(m_Count + 1, 2 * m_Capacity);
        auto* grown = static_cast<Pair*>(PoolAllocate(sizeof(Pair) * capacity));
        if (m_Count)
            std::memcpy(grown, m_Pairs, sizeof(Pair) * m_Count);
        if (m_Pairs)
            PoolFree(m_Pairs, sizeof(Pair) * m_Capacity);
        m_Pairs = grown;
        m_Capacity = capacity;
    }
    void* storage = NewValue(property);
    m_Pairs[m_Count++] = Pair{property, storage};
    return storage;
}

void* CDynamicValueList::ReplaceAt(int32_t i, const CProperty* property)
{
    ReleaseValue(m_Pairs[i]);
    m_Pairs[i] = Pair{property, NewValue(property)};
    return m_Pairs[i].storage;
}

void CDynamicValueList::RemoveAt(int32_t i)
{
    ReleaseValue(m_Pairs[i]);
    std::memmove(m_Pairs + i, m_Pairs + i + 1, sizeof(Pair) * (m_Count - uint32_t(i) - 1));
    --m_Count;
}

void CDynamicValueList::Truncate(int32_t count)
{
    while (m_Count > uint32_t(std::max(count, 0)))
        ReleaseValue(m_Pairs[--m_Count]);
}

// --- CObject's dynamic values ---

void* CObject::GetDynamicValue(const CProperty* property) const
{
    if (!m_DynamicValues)
        return nullptr;
    const int32_t i = m_DynamicValues->IndexOf(property);
    return i >= 0 ? m_DynamicValues->Get(i).storage : nullptr;
}

void* CObject::GetOrAddDynamicValue(const CProperty* property)
{
    if (void* storage = GetDynamicValue(property))
        return storage;
    if (!m_DynamicValues)
        m_DynamicValues = new CDynamicValueList();
    return m_DynamicValues->Append(property);
}

void* CObject::AddDynamicValue(const CProperty* property)
{
    return HasDynamicValue(property) ? nullptr : GetOrAddDynamicValue(property);
}

void* CObject::AddDynamicValueAtDefault(const CProperty* property)
{
    void* storage = AddDynamicValue(property);
    if (storage)
        property->SetToDefault(SlotOwner(storage));
    return storage;
}

bool CObject::RemoveDynamicValue(const CProperty* property)
{
    const int32_t i = m_DynamicValues ? m_DynamicValues->IndexOf(property) : -1;
    if (i < 0)
        return false;
    m_DynamicValues->RemoveAt(i);
    return true;
}

void CObject::DeleteDynamicPropertyValues()
{
    delete m_DynamicValues;
    m_DynamicValues = nullptr;
}

bool CProperty::HasDynamicValue(CObject* object) const
{
    return object->HasDynamicValue(this);
}

bool CProperty::RemoveDynamicValue(CObject* object) const
{
    return object->RemoveDynamicValue(this);
}

// --- CDynamicPropertyProperty ---

namespace {

int32_t CountOf(const CObject* object)
{
    const CDynamicValueList* list = object->GetDynamicValueList();
    return list ? list->GetCount() : 0;
}

// The object writer's tests for one value, on its storage.
bool ShouldWriteValue(const CProperty* property, CObject* slot, CObjectStream& stream)
{
    if (!property->IsTextSaved() && !stream.GetWriteAll())
        return false;
    if (stream.IsIDMode() ? !property->WritesWithIDs() : !property->WritesWithoutIDs())
        return false;
    if (property->GetNameString().IsEmpty() || !property->ShouldWrite(slot))
        return false;
    return !(stream.IsIDMode() && property->IsDefault(slot));
}

// ID-mode files leave out values at their default, and reading the line
// releases the values the reset made: always-present ones are made again.
void RestoreAlwaysPresent(CObject* object)
{
    CDynamicPropertyRegistry& registry = object->GetClassInfo()->GetDynamicPropertyList();
    for (int32_t i = 0; i < registry.GetCount(); ++i) {
        if (registry.GetKind(i) == DynamicKind::AlwaysPresent)
            object->AddDynamicValueAtDefault(registry.GetProperty(i));
    }
}

} // namespace

CDynamicPropertyProperty::CDynamicPropertyProperty(const char* name)
    : CProperty(name, nullptr, sizeof(void*), kLevelNormal)
{
}

void CDynamicPropertyProperty::CopyValue(CObject* destination, CObject* source, const CProperty*) const
{
    if (destination == source)
        return;
    destination->DeleteDynamicPropertyValues();
    const CDynamicValueList* theirs = source->GetDynamicValueList();
    if (!theirs || theirs->GetCount() == 0)
        return;
    destination->m_DynamicValues = new CDynamicValueList();
    for (int32_t i = 0; i < theirs->GetCount(); ++i) {
        const CDynamicValueList::Pair& pair = theirs->Get(i);
        void* storage = destination->m_DynamicValues->Append(pair.property);
        pair.property->CopyValue(SlotOwner(storage), SlotOwner(pair.storage), pair.property);
    }
}

bool CDynamicPropertyProperty::IsEqual(CObject* object, CObject* other, const CProperty*) const
{
    // An empty list holds what no list holds.
    const CDynamicValueList* mine = object->GetDynamicValueList();
    const CDynamicValueList* theirs = other->GetDynamicValueList();
    if (CountOf(object) != CountOf(other))
        return false;
    for (int32_t i = 0; i < CountOf(object); ++i) {
        const CDynamicValueList::Pair& a = mine->Get(i);
        const CDynamicValueList::Pair& b = theirs->Get(i);
        if (a.property != b.property || !a.property->IsEqual(SlotOwner(a.storage), SlotOwner(b.storage), b.property))
            return false;
    }
    return true;
}

void CDynamicPropertyProperty::DestroyValue(CObject* object) const
{
    object->DeleteDynamicPropertyValues();
}

void CDynamicPropertyProperty::SetToDefault(CObject* object) const
{
    object->DeleteDynamicPropertyValues();
}

void CDynamicPropertyProperty::OnOwnerLoaded(CObject* object) const
{
    if (const CDynamicValueList* list = object->GetDynamicValueList()) {
        for (int32_t i = 0; i < list->GetCount(); ++i)
            list->Get(i).property->OnOwnerLoaded(SlotOwner(list->Get(i).storage));
    }
}

void CDynamicPropertyProperty::PreloadReferencedItems(CObject* object) const
{
    if (const CDynamicValueList* list = object->GetDynamicValueList()) {
        for (int32_t i = 0; i < list->GetCount(); ++i)
            list->Get(i).property->PreloadReferencedItems(SlotOwner(list->Get(i).storage));
    }
}

void CDynamicPropertyProperty::SearchPropertyTree(CObject* object, CPropertyTreeCallback& callback) const
{
    if (const CDynamicValueList* list = object->GetDynamicValueList()) {
        for (int32_t i = 0; i < list->GetCount(); ++i)
            list->Get(i).property->SearchPropertyTree(SlotOwner(list->Get(i).storage), callback);
    }
}

bool CDynamicPropertyProperty::ShouldWrite(CObject* object) const
{
    // Values kept for the run only (a frame's texture) make no block: a
    // frame drawn is not a frame edited.
    const CDynamicValueList* list = object->GetDynamicValueList();
    for (int32_t i = 0; list && i < list->GetCount(); ++i)
        if (list->Get(i).property->IsTextSaved())
            return true;
    return false;
}

void CDynamicPropertyProperty::GetValueText(CObject* object, CJString& out) const
{
    const int32_t count = CountOf(object);
    if (count)
        out.Format("%d", count);
    else
        out.Empty();
}

void CDynamicPropertyProperty::WriteValueLine(CObject* object, CObjectStream& stream) const
{
    const CDynamicValueList* list = object->GetDynamicValueList();
    int32_t written = 0;
    for (int32_t i = 0; list && i < list->GetCount(); ++i)
        written += ShouldWriteValue(list->Get(i).property, SlotOwner(list->Get(i).storage), stream) ? 1 : 0;
    if (written == 0) {
        stream.WriteLine("0");
        return;
    }
    CJString count;
    count.Format("%d", written);
    stream.WriteJStringLine(count);
    stream.WriteLine("{");
    stream.Indent();
    for (int32_t i = 0; i < list->GetCount(); ++i) {
        const CDynamicValueList::Pair& pair = list->Get(i);
        CObject* slot = SlotOwner(pair.storage);
        if (!ShouldWriteValue(pair.property, slot, stream))
            continue;
        pair.property->WriteName(slot, stream);
        pair.property->WriteValueLine(slot, stream);
    }
    stream.Unindent();
    stream.WriteLine("}");
}

void CDynamicPropertyProperty::SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const
{
    object->DeleteDynamicPropertyValues();
    if (text.ToInt() != 0 && stream)
        ReadBlock(object, *stream);
    RestoreAlwaysPresent(object);
}

void CDynamicPropertyProperty::ReadBlock(CObject* object, CObjectStream& stream) const
{
    const CDynamicPropertyRegistry& registry = object->GetClassInfo()->GetDynamicPropertyList();
    CJString line;
    if (!stream.ReadNonBlankLine(line)) // "{"
        return;
    while (stream.ReadLine(line)) {
        if (line.IsWide())
            line.ToNarrow();
        line.TrimLeft();
        if (line.IsEmpty())
            continue;
        if (line.GetAt(0) == '}')
            break;
        const int equals = line.Find("=");
        if (equals < 0)
            continue;
        const CJString name = line.Left(equals);
        const CJString value = line.Mid(equals + 1);
        if (const CProperty* property = registry.FindByName(name))
            property->SetValueFromText(SlotOwner(object->GetOrAddDynamicValue(property)), value, &stream);
        else
            object->ReadCustomProperties(name, value, stream);
        if (stream.HasReadError())
            return;
    }
}

void CDynamicPropertyProperty::WriteBinary(CObject* object, CObjectStream& stream) const
{
    const CDynamicValueList* list = object->GetDynamicValueList();
    const int32_t count = list ? list->GetCount() : 0;
    stream.WriteUint32(uint32_t(count));
    for (int32_t i = 0; i < count; ++i) {
        const CDynamicValueList::Pair& pair = list->Get(i);
        stream.WriteCountedString(pair.property->GetName());
        pair.property->WriteBinary(SlotOwner(pair.storage), stream);
    }
}

bool CDynamicPropertyProperty::ReadBinary(CObject* object, CObjectStream& stream) const
{
    object->DeleteDynamicPropertyValues();
    uint32_t count = 0;
    if (!stream.TryReadUint32(count))
        return false;
    const CDynamicPropertyRegistry& registry = object->GetClassInfo()->GetDynamicPropertyList();
    // Nothing is reserved for the count: a hostile one ends at the first
    // name the file does not hold.
    for (uint32_t i = 0; i < count; ++i) {
        CJString name;
        if (!stream.ReadCountedText(name))
            return false;
        const CProperty* property = registry.FindByName(name);
        if (!property)
            return false;
        void* storage = object->AddDynamicValue(property);
        if (!storage || !property->ReadBinary(SlotOwner(storage), stream))
            return false;
    }
    return true;
}

void CDynamicPropertyProperty::WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const
{
    const CDynamicValueList* list = object->GetDynamicValueList();
    const int32_t count = list ? list->GetCount() : 0;
    stream.WriteBool(count > 0);
    if (count == 0)
        return;
    stream.WriteUint32(uint32_t(count));
    const CDynamicValueList* base = reference ? reference->GetDynamicValueList() : nullptr;
    CDynamicPropertyRegistry& registry = object->GetClassInfo()->GetDynamicPropertyList();
    for (int32_t i = 0; i < count; ++i) {
        const CDynamicValueList::Pair& pair = list->Get(i);
        CObject* slot = SlotOwner(pair.storage);
        const bool sameProperty = base && i < base->GetCount() && base->Get(i).property == pair.property;
        CObject* baseSlot = sameProperty ? SlotOwner(base->Get(i).storage) : nullptr;
        const bool unchanged = sameProperty && pair.property->IsEqual(slot, baseSlot, pair.property);
        stream.WriteBool(unchanged);
        if (unchanged)
            continue;
        stream.WriteBool(sameProperty);
        if (!sameProperty)
            stream.NetStreamWriteStringListValue(registry.IndexOf(pair.property), registry);
        pair.property->WritePacked(slot, stream, baseSlot);
    }
}

void CDynamicPropertyProperty::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    if (!stream.ReadBool()) {
        object->DeleteDynamicPropertyValues();
        return;
    }
    const uint32_t count = stream.ReadUint32();
    // Every value costs at least one bit: a larger count is not a message.
    if (uint64_t(count) > uint64_t(stream.GetLength()) * 8)
        stream.NetStreamFatalError(nullptr, "");
    if (!object->m_DynamicValues)
        object->m_DynamicValues = new CDynamicValueList();
    CDynamicValueList& list = *object->m_DynamicValues;
    CDynamicPropertyRegistry& registry = object->GetClassInfo()->GetDynamicPropertyList();
    for (int32_t i = 0; i < int32_t(count); ++i) {
        const bool inside = i < list.GetCount();
        if (stream.ReadBool()) {
            if (!inside) // unchanged against a value this side never had
                stream.NetStreamFatalError(nullptr, "");
            continue;
        }
        void* storage;
        const CProperty* property;
        const bool sameProperty = stream.ReadBool();
        if (sameProperty && !inside)
            stream.NetStreamFatalError(nullptr, "");
        if (sameProperty) {
            property = list.Get(i).property;
            storage = list.Get(i).storage;
        } else {
            const int32_t index = stream.NetStreamReadStringListValue(registry);
            property = registry.GetProperty(index);
            storage = inside ? list.ReplaceAt(i, property) : list.Append(property);
        }
        property->ReadPacked(SlotOwner(storage), stream);
    }
    list.Truncate(int32_t(count));
}
