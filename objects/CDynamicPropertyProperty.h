#pragma once
// "Dynamic Properties", the one property CObject declares: the object's list
// of dynamic values saved as one line and a block:
//     Dynamic Properties=2
//     {
//         Name=value           (each value by its own property's text form)
//     }
// An object without values writes no line. Binary form: u32 count, then per
// value the property's name as a counted string and its binary value. Names
// are resolved through the class's dynamic-property registry.
#include "objects/CProperty.h"

#include <cstdint>

// The values one object holds: (property, storage) pairs in the order added.
// Storage comes from the property's AllocateValue and is constructed with
// its InitValue; the list releases every value it holds.
class CDynamicValueList : public CPooledClassBase {
public:
    struct Pair {
        const CProperty* property;
        void* storage;
    };

    CDynamicValueList() = default;
    CDynamicValueList(const CDynamicValueList&) = delete;
    CDynamicValueList& operator=(const CDynamicValueList&) = delete;
    ~CDynamicValueList();

    int32_t GetCount() const { return int32_t(m_Count); }
    const Pair& Get(int32_t i) const { return m_Pairs[i]; }
    int32_t IndexOf(const CProperty* property) const;
    // A new value at the property's initial value.
    void* Append(const CProperty* property);
    // Replaces the value at i by a new initial value of property.
    void* ReplaceAt(int32_t i, const CProperty* property);
    void RemoveAt(int32_t i);
    // Drops the values from count on.
    void Truncate(int32_t count);

private:
    static void* NewValue(const CProperty* property);
    static void ReleaseValue(const Pair& pair);

    Pair* m_Pairs = nullptr;
    uint32_t m_Count = 0;
    uint32_t m_Capacity = 0;
};

class CDynamicPropertyProperty final : public CProperty {
public:
    explicit CDynamicPropertyProperty(const char* name);

    CProperty* Clone() const override { return new CDynamicPropertyProperty(*this); }
    bool IsValueProperty() const override { return false; }
    void* GetValueAddress(CObject*) const override { return nullptr; }
    void CopyValue(CObject* destination, CObject* source, const CProperty* sourceProperty) const override;
    bool IsEqual(CObject* object, CObject* other, const CProperty* otherProperty) const override;
    void DestroyValue(CObject* object) const override;
    void SetToDefault(CObject* object) const override;
    void OnOwnerLoaded(CObject* object) const override;
    bool ShouldWrite(CObject* object) const override;
    bool IsDefault(CObject* object) const override { return !ShouldWrite(object); }
    void GetValueText(CObject* object, CJString& out) const override;
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override;
    void WriteValueLine(CObject* object, CObjectStream& stream) const override;
    void WriteBinary(CObject* object, CObjectStream& stream) const override;
    bool ReadBinary(CObject* object, CObjectStream& stream) const override;
    void WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const override;
    void ReadPacked(CObject* object, CNetMessageStream& stream) const override;
    void PreloadReferencedItems(CObject* object) const override;
    void SearchPropertyTree(CObject* object, CPropertyTreeCallback& callback) const override;

private:
    void ReadBlock(CObject* object, CObjectStream& stream) const;
};
