#pragma once
// Property arrays: any property kind turned into a growable array member.
// One element property (bound to slots, see CSlotProperty.h) describes every
// element, so arrays of numbers, strings or owned objects are saved, loaded,
// copied and compared with no code of their own. An array may follow a named
// list instead: then it holds exactly one element per list item, each named
// by its item.
//
// Text form, after "Name=":
//     Array
//     {
//         Item Count=3         (only without a name list, for two or more)
//         Element=value        (the element property's own line, or the
//     }                         item's name and "=" with a name list)
// A line of the array's name with any value but "Array", or a line of the
// element's name in the owner's block, appends one element.
//
// Declared with d.AddArray<ElementKind>(&CHolder::m_Sizes, "Sizes", "Size", 0)
// and the words below (CPropertyDeclarer.h).
//
// Elements are moved by byte copies (the element kinds' values survive raw
// moves); ArrayProperty_SetCount is the one place the count changes.
#include "objects/CProperty.h"
#include "objects/CSlotProperty.h"

#include <cstdint>
#include <utility>
#include <vector>

class CVirtualArray;

// The member an array property describes. capacity is unused when the
// property keeps no capacity word (then the storage holds exactly count).
struct CPropertyArrayStorage {
    void* data = nullptr;
    uint32_t count = 0;
    uint32_t capacity = 0;
};

template <typename T>
struct CPropertyArray : CPropertyArrayStorage {
    uint32_t GetCount() const { return count; }
    T& operator[](uint32_t i) { return static_cast<T*>(data)[i]; }
    const T& operator[](uint32_t i) const { return static_cast<const T*>(data)[i]; }
};

enum class ArrayCapacity { Kept, None };
enum class ArrayStorage { Pool, ElementArrays };

class CPropertyArrayProperty : public CProperty {
public:
    // Takes the element property (a slot binding).
    CPropertyArrayProperty(const char* name, CProperty* element, ArrayCapacity capacity, ArrayStorage storage,
                           CVirtualArray* nameList);
    CPropertyArrayProperty(const CPropertyArrayProperty& other);
    ~CPropertyArrayProperty() override;

    virtual CPropertyArrayStorage& Storage(CObject* owner) const = 0;

    // The array follows the list; it is then no longer resizable by the user.
    void SetElementNameList(CVirtualArray* list)
    {
        m_NameList = list;
        m_Resizable = list == nullptr;
    }
    // Storage choices, made while the class is declared, before any object exists.
    void SetCapacity(ArrayCapacity capacity) { m_KeepsCapacity = capacity == ArrayCapacity::Kept; }
    void SetStorage(ArrayStorage storage) { m_PoolStorage = storage == ArrayStorage::Pool; }
    CVirtualArray* GetElementNameList() const { return m_NameList; }
    CProperty* GetElementProperty() const { return m_Element; }
    bool IsResizable() const { return m_Resizable; }
    uint32_t GetCount(CObject* owner) const { return Storage(owner).count; }
    CObject* ElementSlot(CObject* owner, uint32_t i) const;

    enum class Exact { No, Yes };
    // Inserts at or removes from position (-1: the end); the storage grows to
    // twice the count and shrinks when far below its capacity.
    void ArrayProperty_SetCount(CObject* owner, uint32_t count, int32_t position = -1, Exact exact = Exact::No) const;

    bool IsValueProperty() const override { return false; }
    void CopyValue(CObject* destination, CObject* source, const CProperty* sourceProperty) const override;
    bool IsEqual(CObject* object, CObject* other, const CProperty* otherProperty) const override;
    void InitValue(CObject* owner) const override;
    void DestroyValue(CObject* owner) const override;
    void SetToDefault(CObject* owner) const override;
    void OnOwnerLoaded(CObject* owner) const override;
    void GetValueText(CObject* owner, CJString& out) const override;
    void SetValueFromText(CObject* owner, const CJString& text, CObjectStream* stream) const override;
    void ReadValue(CObject* owner, const CJString& name, const CJString& value, CObjectStream* stream,
                   int64_t linePosition) const override;
    // What one owner's block gave of the array so far. A block replaces the
    // elements appended above it, and a list item named again the value
    // before: such a line, or a block given again, is not read whole.
    struct SGiven {
        bool block = false;
        bool appended = false;
        std::vector<bool> items;
    };
    // A line of the owner's block under the array's name or one it claims.
    void ReadLine(CObject* owner, const CJString& name, const CJString& value, CObjectStream& stream,
                  int64_t linePosition, SGiven& given) const;
    bool ShouldWrite(CObject* owner) const override;
    bool IsDefault(CObject* owner) const override { return GetCount(owner) == 0; }
    void WriteValueLine(CObject* owner, CObjectStream& stream) const override;
    void WriteTagged(CObject* owner, CObjectStream& stream) const override;
    void WriteBinary(CObject* owner, CObjectStream& stream) const override;
    bool ReadBinary(CObject* owner, CObjectStream& stream) const override;
    void WritePacked(CObject* owner, CNetMessageStream& stream, CObject* reference) const override;
    void ReadPacked(CObject* owner, CNetMessageStream& stream) const override;
    bool CheckClassMembership(const CClassInfo* info) const override;
    bool ClaimsName(const CJString& name) const override;
    void PreloadReferencedItems(CObject* owner) const override;
    void SearchPropertyTree(CObject* owner, CPropertyTreeCallback& callback) const override;
    // An array that follows list gets the new item's element, at its default.
    void KeepListReferenceAcrossInsert(CObject* owner, CVirtualArray& list, int32_t index) const override;

    template <typename Declared>
    class DeclarationWords : public CDeclarationWordsBase<Declared> {
    public:
        // The storage holds exactly the count: no capacity word, no spare slots.
        Declared& WithoutCapacityWord()
        {
            return this->Apply([](auto& p) { p.SetCapacity(ArrayCapacity::None); });
        }
        // Storage from the element kind's own arrays instead of the pool.
        Declared& StoredInElementArrays()
        {
            return this->Apply([](auto& p) { p.SetStorage(ArrayStorage::ElementArrays); });
        }
        // One element per item of the list, each named by its item.
        Declared& NamedBy(CVirtualArray* list)
        {
            return this->Apply([&](auto& p) { p.SetElementNameList(list); });
        }
    };

private:
    void* NewStorage(uint32_t count) const;
    void FreeStorage(void* data, uint32_t count) const;
    void ReadBlock(CObject* owner, CObjectStream& stream, std::vector<bool>& named) const;
    void ResetElement(CObject* slot) const;

    CProperty* m_Element;
    uint32_t m_Stride;
    CVirtualArray* m_NameList;
    bool m_KeepsCapacity;
    bool m_PoolStorage;
    bool m_Resizable;
};

// An array property bound to a CPropertyArray<T> member of C.
template <typename C, typename T>
class CMemberArrayProperty final : public CPropertyArrayProperty {
public:
    using ArrayKind = CPropertyArrayProperty;

    CMemberArrayProperty(CPropertyArray<T> C::*member, const char* name, CProperty* element,
                         ArrayCapacity capacity = ArrayCapacity::Kept, ArrayStorage storage = ArrayStorage::Pool,
                         CVirtualArray* nameList = nullptr)
        : CPropertyArrayProperty(name, element, capacity, storage, nameList)
        , m_Member(member)
    {
    }

    CProperty* Clone() const override { return new CMemberArrayProperty(*this); }
    void* GetValueAddress(CObject* object) const override { return &(static_cast<C*>(object)->*m_Member); }
    CPropertyArrayStorage& Storage(CObject* owner) const override { return static_cast<C*>(owner)->*m_Member; }

private:
    CPropertyArray<T> C::*m_Member;
};
