#include "objects/CPropertyArrayProperty.h"

#include "foundation/CPerformanceMonitor.h"
#include "foundation/CVirtualArray.h"
#include "objects/CClassInfo.h"
#include "objects/CNetMessageStream.h"
#include "objects/CObjectFileArray.h"
#include "objects/CObjectStream.h"

#include <cstring>
#include <vector>

namespace {

constexpr const char* kItemCountName = "Item Count";
constexpr const char* kArrayCountName = "Array Count";

bool NamesMatch(const CJString& name, const CProperty& property)
{
    return name.CompareNoCase(property.GetNameString()) == 0
        || (property.GetAlternateName()[0] && name.CompareNoCase(property.GetAlternateName()) == 0);
}

// A list item given again replaces the one before.
void NoteItemNamed(std::vector<bool>& named, uint32_t item, uint32_t count, CObjectStream& stream)
{
    named.resize(count);
    if (named[item])
        stream.NoteSkippedLine();
    named[item] = true;
}

// An earlier build's row for the none entry of a list that has none now
// (its "!None" file is gone): the value belonged to nothing this data holds,
// so the line is read, as that build meant it, by keeping nothing.
bool RowOfNoneEntryTheListLacks(CVirtualArray& list, const CJString& name)
{
    return CObjectFileArray::SIsNoneEntryName(name)
        && (list.GetCount() <= 0 || !CObjectFileArray::SIsNoneEntryName(list.GetItemNameString(0)));
}

} // namespace

CPropertyArrayProperty::CPropertyArrayProperty(const char* name, CProperty* element, ArrayCapacity capacity,
                                               ArrayStorage storage, CVirtualArray* nameList)
    : CProperty(name, nullptr, sizeof(CPropertyArrayStorage), kLevelNormal)
    , m_Element(element)
    , m_Stride(element->GetSize())
    , m_NameList(nameList)
    , m_KeepsCapacity(capacity == ArrayCapacity::Kept)
    , m_PoolStorage(storage == ArrayStorage::Pool)
    , m_Resizable(nameList == nullptr)
{
    m_Element->SetNotArrayElement(false);
}

CPropertyArrayProperty::CPropertyArrayProperty(const CPropertyArrayProperty& other)
    : CProperty(other)
    , m_Element(other.m_Element->Clone())
    , m_Stride(other.m_Stride)
    , m_NameList(other.m_NameList)
    , m_KeepsCapacity(other.m_KeepsCapacity)
    , m_PoolStorage(other.m_PoolStorage)
    , m_Resizable(other.m_Resizable)
{
}

CPropertyArrayProperty::~CPropertyArrayProperty()
{
    delete m_Element;
}

CObject* CPropertyArrayProperty::ElementSlot(CObject* owner, uint32_t i) const
{
    return SlotOwner(static_cast<uint8_t*>(Storage(owner).data) + size_t(i) * m_Stride);
}

void* CPropertyArrayProperty::NewStorage(uint32_t count) const
{
    if (count == 0)
        return nullptr;
    // Raw slots: elements are made and ended by the slot binding, and moved
    // between slots as bytes.
    const size_t bytes = size_t(m_Stride) * count;
    return m_PoolStorage ? PoolAllocate(bytes) : ::operator new(bytes);
}

void CPropertyArrayProperty::FreeStorage(void* data, uint32_t count) const
{
    if (!data)
        return;
    if (m_PoolStorage)
        PoolFree(data, size_t(m_Stride) * count);
    else
        ::operator delete(data);
}

void CPropertyArrayProperty::ResetElement(CObject* slot) const
{
    m_Element->InitValue(slot);
    m_Element->SetToDefault(slot);
}

void CPropertyArrayProperty::ArrayProperty_SetCount(CObject* owner, uint32_t n, int32_t position, Exact exact) const
{
    static CPerformanceMonitor zone("ArrayProperty_SetCount");
    static CPerformanceMonitor reallocZone("ArrayProperty_SetCount_Realloc");
    CPerformanceMonitorScope scope(zone);
    CPropertyArrayStorage& array = Storage(owner);
    const uint32_t m = array.count;
    const uint32_t k = m_KeepsCapacity ? array.capacity : m;
    if (n == m)
        return;
    const bool growing = n > m;
    const uint32_t changed = growing ? n - m : m - n;
    // Insert at or remove from p; a position outside the array means the end.
    uint32_t p = growing ? m : n;
    if (position >= 0 && uint32_t(position) <= p)
        p = uint32_t(position);

    uint32_t capacity = k;
    if (!m_KeepsCapacity || exact == Exact::Yes) {
        capacity = n;
    } else {
        if (n < k / 16 && k >= 21)
            capacity = n + n / 16;
        if (n > k)
            capacity = 2 * n;
    }

    auto* old = static_cast<uint8_t*>(array.data);
    auto at = [this](uint8_t* base, uint32_t i) { return base + size_t(i) * m_Stride; };
    if (capacity != k) {
        CPerformanceMonitorScope reallocScope(reallocZone);
        auto* fresh = static_cast<uint8_t*>(NewStorage(capacity));
        if (growing) {
            for (uint32_t i = 0; i < p; ++i)
                m_Element->CopyValueBytes(at(fresh, i), at(old, i));
            for (uint32_t i = p; i < m; ++i)
                m_Element->CopyValueBytes(at(fresh, i + changed), at(old, i));
            for (uint32_t i = p; i < p + changed; ++i)
                ResetElement(SlotOwner(at(fresh, i)));
        } else {
            for (uint32_t i = 0; i < p; ++i)
                m_Element->CopyValueBytes(at(fresh, i), at(old, i));
            for (uint32_t i = p + changed; i < m; ++i)
                m_Element->CopyValueBytes(at(fresh, i - changed), at(old, i));
            for (uint32_t i = p; i < p + changed; ++i)
                m_Element->DestroyValue(SlotOwner(at(old, i)));
        }
        FreeStorage(old, k);
        array.data = fresh;
    } else if (growing) {
        for (uint32_t i = m; i-- > p;)
            m_Element->CopyValueBytes(at(old, i + changed), at(old, i));
        for (uint32_t i = p; i < p + changed; ++i)
            ResetElement(SlotOwner(at(old, i)));
    } else {
        for (uint32_t i = p; i < p + changed; ++i)
            m_Element->DestroyValue(SlotOwner(at(old, i)));
        for (uint32_t i = p + changed; i < m; ++i)
            m_Element->CopyValueBytes(at(old, i - changed), at(old, i));
    }
    array.count = n;
    if (m_KeepsCapacity)
        array.capacity = capacity;
}

void CPropertyArrayProperty::CopyValue(CObject* destination, CObject* source, const CProperty* sourceProperty) const
{
    const auto* other = dynamic_cast<const CPropertyArrayProperty*>(sourceProperty);
    if (!other) {
        SetToDefault(destination);
        return;
    }
    if (destination == source)
        return;
    const uint32_t count = other->GetCount(source);
    ArrayProperty_SetCount(destination, count);
    for (uint32_t i = 0; i < count; ++i)
        m_Element->CopyValue(ElementSlot(destination, i), other->ElementSlot(source, i), other->m_Element);
}

bool CPropertyArrayProperty::IsEqual(CObject* object, CObject* other, const CProperty* otherProperty) const
{
    const auto* theirs = dynamic_cast<const CPropertyArrayProperty*>(otherProperty);
    if (!theirs || GetCount(object) != theirs->GetCount(other))
        return false;
    for (uint32_t i = 0; i < GetCount(object); ++i) {
        if (!m_Element->IsEqual(ElementSlot(object, i), theirs->ElementSlot(other, i), theirs->m_Element))
            return false;
    }
    return true;
}

void CPropertyArrayProperty::InitValue(CObject* owner) const
{
    Storage(owner) = CPropertyArrayStorage{};
}

void CPropertyArrayProperty::DestroyValue(CObject* owner) const
{
    CPropertyArrayStorage& array = Storage(owner);
    for (uint32_t i = 0; i < array.count; ++i)
        m_Element->DestroyValue(ElementSlot(owner, i));
    FreeStorage(array.data, m_KeepsCapacity ? array.capacity : array.count);
    array = CPropertyArrayStorage{};
}

void CPropertyArrayProperty::SetToDefault(CObject* owner) const
{
    ArrayProperty_SetCount(owner, 0, -1, Exact::Yes);
    if (m_NameList)
        ArrayProperty_SetCount(owner, uint32_t(std::max(m_NameList->GetCount(), 0)), -1, Exact::Yes);
}

void CPropertyArrayProperty::OnOwnerLoaded(CObject* owner) const
{
    for (uint32_t i = 0; i < GetCount(owner); ++i)
        m_Element->OnOwnerLoaded(ElementSlot(owner, i));
}

void CPropertyArrayProperty::PreloadReferencedItems(CObject* owner) const
{
    for (uint32_t i = 0; i < GetCount(owner); ++i)
        m_Element->PreloadReferencedItems(ElementSlot(owner, i));
}

void CPropertyArrayProperty::SearchPropertyTree(CObject* owner, CPropertyTreeCallback& callback) const
{
    for (uint32_t i = 0; i < GetCount(owner); ++i)
        m_Element->SearchPropertyTree(ElementSlot(owner, i), callback);
}

void CPropertyArrayProperty::KeepListReferenceAcrossInsert(CObject* owner, CVirtualArray& list, int32_t index) const
{
    // Only an array one element short of its list: one made after the
    // item came has its element already.
    const uint32_t count = GetCount(owner);
    if (m_NameList == &list && index >= 0 && uint32_t(index) <= count && int64_t(count) < list.GetCount())
        ArrayProperty_SetCount(owner, count + 1, index);
    for (uint32_t i = 0; i < GetCount(owner); ++i)
        m_Element->KeepListReferenceAcrossInsert(ElementSlot(owner, i), list, index);
}

void CPropertyArrayProperty::GetValueText(CObject* owner, CJString& out) const
{
    out.Format("%d", int32_t(GetCount(owner)));
}

void CPropertyArrayProperty::SetValueFromText(CObject* owner, const CJString& text, CObjectStream* stream) const
{
    // From a file (scoped names) the value is what the array's own line
    // holds; only the editor's text is a count.
    ReadValue(owner, CJString(), text, stream, -1);
}

void CPropertyArrayProperty::ReadValue(CObject* owner, const CJString& name, const CJString& value,
                                       CObjectStream* stream, int64_t linePosition) const
{
    if (!stream) {
        // The editor's count: a list's array keeps one element per item.
        if (m_Resizable)
            ArrayProperty_SetCount(owner, uint32_t(std::max(value.ToInt(), 0)));
        return;
    }
    SGiven given;
    ReadLine(owner, name, value, *stream, linePosition, given);
}

void CPropertyArrayProperty::ReadLine(CObject* owner, const CJString& name, const CJString& value,
                                      CObjectStream& stream, int64_t linePosition, SGiven& given) const
{
    const bool foreign = name.IsNotEmpty() && !NamesMatch(name, *this);
    if (foreign || value.CompareNoCase("Array") != 0) {
        if (m_NameList) {
            // A named element in the owner's block sets that element; under
            // the array's own name a value names no item.
            const int32_t item = foreign ? m_NameList->Find(name) : -1;
            if (item < 0 || uint32_t(item) >= GetCount(owner)) {
                stream.NoteSkippedLine();
                return;
            }
            NoteItemNamed(given.items, uint32_t(item), GetCount(owner), stream);
            m_Element->SetValueFromText(ElementSlot(owner, uint32_t(item)), value, &stream);
            return;
        }
        given.appended = true;
        const uint32_t i = GetCount(owner);
        ArrayProperty_SetCount(owner, i + 1);
        // Under the array's own name the line is the element's value; passed
        // on, that name would read as one the element claims, and an owned
        // element would read its own line again without end.
        m_Element->ReadValue(ElementSlot(owner, i), foreign ? name : CJString(), value, &stream, linePosition);
        return;
    }
    // Without a name list the block starts the array afresh.
    if (given.block || (!m_NameList && given.appended))
        stream.NoteSkippedLine();
    given.block = true;
    ReadBlock(owner, stream, given.items);
}

void CPropertyArrayProperty::ReadBlock(CObject* owner, CObjectStream& stream, std::vector<bool>& named) const
{
    if (!m_NameList)
        ArrayProperty_SetCount(owner, 0);
    CJString line;
    if (!stream.ReadNonBlankLine(line)) // "{"
        return;
    // Without its "{" the block's first line is taken for it and lost.
    CJString brace(line);
    brace.TrimLeft();
    brace.TrimRight();
    if (brace.Compare("{") != 0)
        stream.NoteSkippedLine();
    uint32_t read = 0;
    int32_t depth = 0;
    while (stream.ReadLine(line)) {
        if (stream.HasReadError())
            return;
        if (line.IsWide())
            line.ToNarrow();
        line.TrimLeft();
        // Blank lines are passed over: ending the block there would leave its
        // "}" to close the owner's block instead.
        if (line.IsEmpty())
            continue;
        if (line.GetAt(0) == '{') {
            ++depth;
            continue;
        }
        if (line.GetAt(0) == '}') {
            if (depth-- == 0)
                break;
            continue;
        }
        const int equals = line.Find("=");
        if (equals < 0) {
            stream.NoteSkippedLine();
            continue;
        }
        const CJString key = line.Left(equals);
        const CJString value = line.Mid(equals + 1);
        // The declared count is only a hint: the elements read decide, so a
        // corrupt count can not reserve storage.
        if (key.CompareNoCase(kItemCountName) == 0 || key.CompareNoCase(kArrayCountName) == 0)
            continue;
        if (m_NameList) {
            const int32_t item = m_NameList->Find(key);
            if (item >= 0 && uint32_t(item) < GetCount(owner)) {
                NoteItemNamed(named, uint32_t(item), GetCount(owner), stream);
                m_Element->SetValueFromText(ElementSlot(owner, uint32_t(item)), value, &stream);
            } else if (item >= 0 || !RowOfNoneEntryTheListLacks(*m_NameList, key)) {
                stream.NoteSkippedLine();
            }
            continue;
        }
        if (!NamesMatch(key, *m_Element)) {
            stream.NoteSkippedLine();
            continue;
        }
        const uint32_t i = read++;
        if (GetCount(owner) < i + 1)
            ArrayProperty_SetCount(owner, i + 1);
        m_Element->SetValueFromText(ElementSlot(owner, i), value, &stream);
    }
    if (!m_NameList && GetCount(owner) > read)
        ArrayProperty_SetCount(owner, read);
}

bool CPropertyArrayProperty::ShouldWrite(CObject* owner) const
{
    return GetCount(owner) > 0 || GetWriteWhenEmpty();
}

void CPropertyArrayProperty::WriteValueLine(CObject* owner, CObjectStream& stream) const
{
    stream.WriteLine("Array");
    stream.WriteLine("{");
    stream.Indent();
    const uint32_t count = GetCount(owner);
    if (!m_NameList && count >= 2) {
        CJString line;
        line.Format("%s=%d", kItemCountName, int32_t(count));
        stream.WriteJStringLine(line);
    }
    for (uint32_t i = 0; i < count; ++i) {
        CObject* slot = ElementSlot(owner, i);
        if (m_NameList) {
            if (stream.GetSkipDefaults() && m_Element->IsDefault(slot))
                continue;
            stream.WriteString(m_NameList->GetItemName(int32_t(i)));
            stream.WriteString("=");
        } else {
            m_Element->WriteName(slot, stream);
        }
        m_Element->WriteValueLine(slot, stream);
    }
    stream.Unindent();
    stream.WriteLine("}");
}

void CPropertyArrayProperty::WriteTagged(CObject* owner, CObjectStream& stream) const
{
    for (uint32_t i = 0; i < GetCount(owner); ++i)
        m_Element->WriteTagged(ElementSlot(owner, i), stream);
}

void CPropertyArrayProperty::WriteBinary(CObject* owner, CObjectStream& stream) const
{
    const uint32_t count = GetCount(owner);
    stream.WriteUint32(count);
    for (uint32_t i = 0; i < count; ++i) {
        if (m_NameList)
            stream.WriteCountedString(m_NameList->GetItemName(int32_t(i)));
        m_Element->WriteBinary(ElementSlot(owner, i), stream);
    }
}

bool CPropertyArrayProperty::ReadBinary(CObject* owner, CObjectStream& stream) const
{
    ArrayProperty_SetCount(owner, 0, -1, Exact::Yes);
    uint32_t n = 0;
    if (!stream.TryReadUint32(n))
        return false;
    // Every element takes at least one byte: a larger count is corrupt and
    // is refused before anything is allocated for it.
    if (int64_t(n) > stream.GetSize() - stream.GetPosition())
        return false;
    if (!m_NameList) {
        ArrayProperty_SetCount(owner, n, -1, Exact::Yes);
        for (uint32_t i = 0; i < n; ++i) {
            if (!m_Element->ReadBinary(ElementSlot(owner, i), stream))
                return false;
        }
        return true;
    }
    ArrayProperty_SetCount(owner, uint32_t(std::max(m_NameList->GetCount(), 0)), -1, Exact::Yes);
    for (uint32_t i = 0; i < GetCount(owner); ++i) {
        m_Element->DestroyValue(ElementSlot(owner, i));
        m_Element->InitValue(ElementSlot(owner, i));
    }
    for (uint32_t i = 0; i < n; ++i) {
        CJString name;
        if (!stream.ReadCountedText(name))
            return false;
        const int32_t item = m_NameList->Find(name);
        if (item < 0 || uint32_t(item) >= GetCount(owner))
            return false;
        if (!m_Element->ReadBinary(ElementSlot(owner, uint32_t(item)), stream))
            return false;
    }
    return true;
}

void CPropertyArrayProperty::WritePacked(CObject* owner, CNetMessageStream& stream, CObject* reference) const
{
    const uint32_t count = GetCount(owner);
    const int64_t baseCount = reference ? int64_t(GetCount(reference)) : -1;
    stream.WriteBool(int64_t(count) == baseCount);
    if (int64_t(count) != baseCount)
        stream.WriteUint32(count);
    for (uint32_t i = 0; i < count; ++i) {
        CObject* slot = ElementSlot(owner, i);
        if (int64_t(i) < baseCount) {
            CObject* baseSlot = ElementSlot(reference, i);
            const bool same = m_Element->IsEqual(slot, baseSlot, m_Element);
            stream.WriteBool(same);
            if (!same)
                m_Element->WritePacked(slot, stream, baseSlot);
        } else {
            m_Element->WritePacked(slot, stream, nullptr);
        }
    }
}

void CPropertyArrayProperty::ReadPacked(CObject* owner, CNetMessageStream& stream) const
{
    const uint32_t old = GetCount(owner);
    if (!stream.ReadBool()) {
        const uint32_t count = stream.ReadUint32();
        // Every element costs at least one bit.
        if (uint64_t(count) > uint64_t(stream.GetLength()) * 8)
            stream.NetStreamFatalError(nullptr, "");
        ArrayProperty_SetCount(owner, count);
    }
    for (uint32_t i = 0; i < GetCount(owner); ++i) {
        if (i < old && stream.ReadBool())
            continue;
        m_Element->ReadPacked(ElementSlot(owner, i), stream);
    }
}

bool CPropertyArrayProperty::CheckClassMembership(const CClassInfo* info) const
{
    m_Element->SetBounds(GetFirstBound(), GetSecondBound());
    for (int32_t i = 0; info && i < info->GetPropertyCount(); ++i) {
        if (info->GetProperty(i) == m_Element)
            return false;
    }
    return true;
}

bool CPropertyArrayProperty::ClaimsName(const CJString& name) const
{
    if (m_NameList)
        return m_NameList->Find(name) >= 0;
    return name.CompareNoCase(m_Element->GetNameString()) == 0;
}
