#pragma once
// Read-only lists over static tables of rows: the enumerations shown to
// designers. The rows belong to static data and are never freed; the row
// count is found at construction by walking the names up to a null name.
// Columns are addressed by a pointer to the field in the first row and a
// stride in bytes, so any row layout can be listed.
//
// Lookup is by 8-bit name only: Find with a CJString answers -1, so that
// defaults resolved through it stay as they are. FindOrReportMissing with a
// CJString searches by the 8-bit form of the key instead of always failing.

#include "foundation/CVirtualArray.h"

#include <cstddef>
#include <cstdint>

class CStaticContentsList : public CVirtualArray {
public:
    // alternativeNames may be null: the rows are then found by name only.
    CStaticContentsList(const char* const* names, const char* const* alternativeNames, const uint32_t* values,
                        size_t rowStrideBytes);

    // No bound check.
    const char* GetItemName(int32_t i) override { return NameAt(i); }
    // Empty when the row's name is null.
    CJString GetItemNameString(int32_t i) override;
    // -1 always: lookups go by 8-bit name.
    int32_t Find(const CJString& name, int32_t hint = -1) override;
    // The hint row when its name matches, else the first matching name, else
    // the first matching alternative name, else the file-name search.
    int32_t Find(const char* name, int32_t hint = -1) override;
    int32_t FindOrReportMissing(const CJString& name, int32_t hint = -1) override;
    using CVirtualArray::FindOrReportMissing;
    int32_t GetCount() override { return m_Count; }

    // The value of row i; no bound check.
    uint32_t GetValue(int32_t i) const;
    // The alternative name of row i, or null.
    const char* GetAlternativeName(int32_t i) const;

private:
    const char* NameAt(int32_t i) const;

    const char* const* m_Names;
    const char* const* m_AlternativeNames;
    const uint32_t* m_Values;
    size_t m_RowStride;
    int32_t m_Count = 0;
};

// One row of a code table; a row whose name is null ends the table.
struct CCodeTableRow {
    uint32_t m_Value;
    const char* m_Name;
    const char* m_AlternativeName;
};

// A CStaticContentsList over a static code table, for example
//   static const CCodeTableRow kRows[] = {{0, "Optional"}, {1, "Required"}, {}};
//   static CCodeTableList g_List(kRows);
class CCodeTableList : public CStaticContentsList {
public:
    explicit CCodeTableList(const CCodeTableRow* rows);
};
