#pragma once
// Weak references for raw pointers. An object that others point at keeps a
// CPointerToBeNulledArray; each holder of a raw pointer to it uses a smart
// pointer that registers itself there while it points at the object. When
// the object dies its array clears every registered pointer, so no holder is
// left dangling. Guards belong to their holders; the array never deletes them.
#include "foundation/CArrayPOD.h"
#include "objects/CObject.h"

class CGenericPointerToBeNulled {
public:
    virtual ~CGenericPointerToBeNulled() = default;
    // Clears the guarded pointer.
    virtual void NullPointer() = 0;
};

class CBasePointerToBeNulledArray : public CObject {
    OMBRISALT_REFLECTED(CBasePointerToBeNulledArray, CObject)
public:
    CBasePointerToBeNulledArray() = default;
    // Clears every registered guard, last first.
    ~CBasePointerToBeNulledArray() override;
    void Add(CGenericPointerToBeNulled* entry) { m_Entries.Append(entry); }
    // Removes the first equal entry.
    void Remove(CGenericPointerToBeNulled* entry) { m_Entries.Remove(entry); }
    uint32_t GetCount() const { return m_Entries.GetCount(); }

private:
    CArrayPOD<CGenericPointerToBeNulled*> m_Entries;
};

class CPointerToBeNulledArray : public CBasePointerToBeNulledArray {
    OMBRISALT_REFLECTED(CPointerToBeNulledArray, CBasePointerToBeNulledArray)
public:
    CPointerToBeNulledArray() = default;
};

// A T pointer cleared when its target dies. Accessor::Get(T&) answers the
// target's array.
template <typename T, typename Array, typename Accessor>
class CSmartPointerToBeNulledTemplate : public CGenericPointerToBeNulled {
public:
    CSmartPointerToBeNulledTemplate() = default;
    explicit CSmartPointerToBeNulledTemplate(T* target) { Set(target); }
    CSmartPointerToBeNulledTemplate(const CSmartPointerToBeNulledTemplate& other) { Set(other.m_Pointer); }
    CSmartPointerToBeNulledTemplate& operator=(const CSmartPointerToBeNulledTemplate& other)
    {
        Set(other.m_Pointer);
        return *this;
    }
    CSmartPointerToBeNulledTemplate& operator=(T* target)
    {
        Set(target);
        return *this;
    }
    ~CSmartPointerToBeNulledTemplate() override { Set(nullptr); }

    void Set(T* target)
    {
        if (target == m_Pointer)
            return;
        if (m_Pointer)
            Accessor::Get(*m_Pointer).Remove(this);
        m_Pointer = target;
        if (m_Pointer)
            Accessor::Get(*m_Pointer).Add(this);
    }
    T* Get() const { return m_Pointer; }
    T* operator->() const { return m_Pointer; }
    explicit operator bool() const { return m_Pointer != nullptr; }
    void NullPointer() override { m_Pointer = nullptr; }

private:
    T* m_Pointer = nullptr;
};
