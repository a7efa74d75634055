#include "foundation/CStaticContentsList.h"

namespace {

template <typename T>
const T* ColumnAt(const T* column, size_t strideBytes, int32_t i)
{
    return reinterpret_cast<const T*>(reinterpret_cast<const char*>(column) + strideBytes * size_t(i));
}

} // namespace

CStaticContentsList::CStaticContentsList(const char* const* names, const char* const* alternativeNames,
                                         const uint32_t* values, size_t rowStrideBytes)
    : m_Names(names)
    , m_AlternativeNames(alternativeNames)
    , m_Values(values)
    , m_RowStride(rowStrideBytes)
{
    while (NameAt(m_Count))
        ++m_Count;
}

const char* CStaticContentsList::NameAt(int32_t i) const
{
    return *ColumnAt(m_Names, m_RowStride, i);
}

const char* CStaticContentsList::GetAlternativeName(int32_t i) const
{
    return m_AlternativeNames ? *ColumnAt(m_AlternativeNames, m_RowStride, i) : nullptr;
}

uint32_t CStaticContentsList::GetValue(int32_t i) const
{
    return *ColumnAt(m_Values, m_RowStride, i);
}

CJString CStaticContentsList::GetItemNameString(int32_t i)
{
    return CJString(NameAt(i));
}

int32_t CStaticContentsList::Find(const CJString&, int32_t)
{
    return -1;
}

int32_t CStaticContentsList::Find(const char* name, int32_t hint)
{
    if (hint >= 0 && hint < m_Count && CompareNameNoCase(NameAt(hint), name) == 0)
        return hint;
    for (int32_t i = 0; i < m_Count; ++i)
        if (CompareNameNoCase(NameAt(i), name) == 0)
            return i;
    if (m_AlternativeNames)
        for (int32_t i = 0; i < m_Count; ++i) {
            const char* alternative = GetAlternativeName(i);
            if (alternative && CompareNameNoCase(alternative, name) == 0)
                return i;
        }
    return FindByFileName(name);
}

int32_t CStaticContentsList::FindOrReportMissing(const CJString& name, int32_t hint)
{
    CJString narrow(name);
    if (narrow.IsWide())
        narrow.ToNarrow();
    const int32_t index = Find(narrow.GetString(), hint);
    if (index >= 0)
        return index;
    ReportMissing(narrow.GetString(), KeyKind::JString);
}

CCodeTableList::CCodeTableList(const CCodeTableRow* rows)
    : CStaticContentsList(&rows[0].m_Name, &rows[0].m_AlternativeName, &rows[0].m_Value, sizeof(CCodeTableRow))
{
}
