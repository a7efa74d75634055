#include "foundation/CDynamicList.h"

template <typename TValue>
CTypedDynamicList<TValue>::CTypedDynamicList(CTypedDynamicList& source)
{
    const int32_t count = source.GetCount();
    m_Records.Reserve(uint32_t(count));
    for (int32_t i = 0; i < count; ++i)
        Add(source.GetItemName(i), TValue(source.GetRecord(i)->m_Value));
}

template <typename TValue>
CTypedDynamicList<TValue>::~CTypedDynamicList()
{
    m_Records.DeleteAll();
}

template <typename TValue>
const char* CTypedDynamicList<TValue>::GetItemName(int32_t i)
{
    return IsIndex(i) ? m_Records[uint32_t(i)]->m_Name.GetString() : nullptr;
}

template <typename TValue>
CJString CTypedDynamicList<TValue>::GetItemNameString(int32_t i)
{
    return m_Records[uint32_t(i)]->m_Name;
}

template <typename TValue>
const CJString& CTypedDynamicList<TValue>::GetSecondText(int32_t i)
{
    return m_Records[uint32_t(i)]->m_SecondText;
}

template <typename TValue>
void CTypedDynamicList<TValue>::SetSecondText(int32_t i, const CJString& text)
{
    m_Records[uint32_t(i)]->m_SecondText = text;
}

template <typename TValue>
int32_t CTypedDynamicList<TValue>::Find(const CJString& name, int32_t hint)
{
    if (IsIndex(hint) && m_Records[uint32_t(hint)]->m_Name.CompareNoCase(name) == 0)
        return hint;
    const uint32_t count = m_Records.GetCount();
    for (uint32_t i = 0; i < count; ++i)
        if (m_Records[i]->m_Name.CompareNoCase(name) == 0)
            return int32_t(i);
    return FindByFileName(name);
}

template <typename TValue>
int32_t CTypedDynamicList<TValue>::Find(const char* name, int32_t hint)
{
    return Find(CJString(name), hint);
}

template <typename TValue>
void CTypedDynamicList<TValue>::RemoveAll()
{
    m_Records.DeleteAll();
}

template <typename TValue>
int32_t CTypedDynamicList<TValue>::Append(CDynamicListItem* record)
{
    m_Records.Append(record);
    return int32_t(m_Records.GetCount() - 1);
}

template <typename TValue>
int32_t CTypedDynamicList<TValue>::Add(const CJString& name)
{
    return Add(name, TValue(0));
}

template <typename TValue>
int32_t CTypedDynamicList<TValue>::Add(const char* name)
{
    return Add(CJString(name), TValue(0));
}

template <typename TValue>
int32_t CTypedDynamicList<TValue>::Add(const CJString& name, TValue value)
{
    auto* record = new CDynamicListItem;
    record->m_Name = name;
    record->m_Value = uint32_t(value);
    return Append(record);
}

template <typename TValue>
int32_t CTypedDynamicList<TValue>::Add(const char* name, TValue value)
{
    return Add(CJString(name), value);
}

template <typename TValue>
void CTypedDynamicList<TValue>::RemoveAt(int32_t i)
{
    if (IsIndex(i))
        m_Records.DeleteAt(uint32_t(i));
}

template <typename TValue>
void CTypedDynamicList<TValue>::Swap(int32_t i, int32_t j)
{
    if (!IsIndex(i) || !IsIndex(j))
        return;
    CDynamicListItem* first = m_Records[uint32_t(i)];
    m_Records[uint32_t(i)] = m_Records[uint32_t(j)];
    m_Records[uint32_t(j)] = first;
}

template <typename TValue>
bool CTypedDynamicList<TValue>::GetItemFlag(int32_t i)
{
    return m_Records[uint32_t(i)]->m_Flag != 0;
}

template <typename TValue>
void CTypedDynamicList<TValue>::SetItemFlag(int32_t i, bool flag)
{
    m_Records[uint32_t(i)]->m_Flag = flag ? 1 : 0;
}

template <typename TValue>
int32_t CTypedDynamicList<TValue>::FindValue(TValue value)
{
    const uint32_t count = m_Records.GetCount();
    for (uint32_t i = 0; i < count; ++i)
        if (m_Records[i]->m_Value == uint32_t(value))
            return int32_t(i);
    return -1;
}

template class CTypedDynamicList<unsigned int>;
