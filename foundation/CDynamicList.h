#pragma once
// Lists of records built at run time: a name, a second text, a flag and a
// value per record. The list owns its records, which come from the pool.

#include "foundation/CArrayPOD.h"
#include "foundation/CVirtualArray.h"

#include <cstdint>

struct CDynamicListItem : public CPooledClassBase {
    CJString m_Name;
    CJString m_SecondText;
    uint8_t m_Flag = 1;
    uint32_t m_Value = 0;
};

template <typename TValue>
class CTypedDynamicList : public CVirtualArray {
public:
    CTypedDynamicList() = default;
    // One record per source item: its name through GetItemName, its value
    // from the source record.
    CTypedDynamicList(CTypedDynamicList& source);
    ~CTypedDynamicList() override;

    // Null when i is outside the list.
    const char* GetItemName(int32_t i) override;
    CJString GetItemNameString(int32_t i) override;
    const CJString& GetSecondText(int32_t i) override;
    void SetSecondText(int32_t i, const CJString& text) override;
    // The hint record when its name equals the key ignoring case, else the
    // first record that does, else the file-name search.
    int32_t Find(const CJString& name, int32_t hint = -1) override;
    int32_t Find(const char* name, int32_t hint = -1) override;
    // Deletes every record, last first.
    void RemoveAll() override;
    // Appends a record with value 0; returns its index.
    int32_t Add(const CJString& name) override;
    int32_t Add(const char* name) override;
    int32_t Add(const CJString& name, TValue value);
    int32_t Add(const char* name, TValue value);
    void RemoveAt(int32_t i) override;
    void Swap(int32_t i, int32_t j) override;
    int32_t GetCount() override { return int32_t(m_Records.GetCount()); }
    bool GetItemFlag(int32_t i) override;
    void SetItemFlag(int32_t i, bool flag) override;

    // No bound check.
    virtual CDynamicListItem* GetRecord(int32_t i) { return m_Records.GetData()[i]; }
    // Index of the first record holding value, or -1.
    virtual int32_t FindValue(TValue value);
    // No bound check.
    TValue GetValue(int32_t i) const { return TValue(m_Records.GetData()[i]->m_Value); }

private:
    bool IsIndex(int32_t i) const { return i >= 0 && uint32_t(i) < m_Records.GetCount(); }
    int32_t Append(CDynamicListItem* record);

    CArrayPOD<CDynamicListItem*> m_Records;
};

extern template class CTypedDynamicList<unsigned int>;

class CDynamicList : public CTypedDynamicList<unsigned int> {
public:
    CDynamicList() = default;
    CDynamicList(CDynamicList& source)
        : CTypedDynamicList<unsigned int>(source)
    {
    }
};
