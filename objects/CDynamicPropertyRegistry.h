#pragma once
// Properties attached to classes at run time. Each class info keeps a
// registry of the dynamic properties its objects may hold values for; one
// global registry owns every property ever attached. Registries are kept
// sorted by property name (case-blind), so look-ups are binary searches.
#include "foundation/CVirtualArray.h"

#include <cstdint>

class CClassInfo;
class CProperty;

// Kind of an attachment: always-present properties get a value on every
// object of the class when it is reset to defaults; the others only when a
// value is set or read.
enum class DynamicKind : int32_t { Optional = 0, OnRequest = 1, AlwaysPresent = 3 };

class CDynamicPropertyRegistry : public CSimpleVirtualArray {
public:
    enum class Ownership { Borrowed, Owned };
    explicit CDynamicPropertyRegistry(Ownership ownership)
        : m_Owns(ownership == Ownership::Owned)
    {
    }
    // An owning registry deletes its properties.
    ~CDynamicPropertyRegistry() override;

    // Created on first use, destroyed at exit.
    static CDynamicPropertyRegistry& SGetGlobal();

    const char* GetItemName(int32_t i) override;
    CJString GetItemNameString(int32_t i) override;
    int32_t GetCount() override { return int32_t(m_Count); }

    // Appends and re-sorts; a borrowing registry also hands the property to
    // the global one. Adding a property already held does nothing.
    void Add(CProperty* property, DynamicKind kind);
    using CSimpleVirtualArray::Add; // adding by name alone stays the base's refusal
    // Binary search by name, then a scan of alternate names; null when absent.
    CProperty* FindByName(const char* name) const;
    CProperty* FindByName(const CJString& name) const;
    int32_t IndexOf(const CProperty* property) const;
    CProperty* GetProperty(int32_t i) const { return m_Entries[i].property; }
    DynamicKind GetKind(int32_t i) const { return m_Entries[i].kind; }

private:
    struct Entry {
        CProperty* property;
        DynamicKind kind;
    };
    Entry* m_Entries = nullptr;
    uint32_t m_Count = 0;
    uint32_t m_Capacity = 0;
    bool m_Owns;
};

// Attaches a property from start-up code: AddAsDynamicProperty, plus the
// description when one is given. Call it from explicit registration code.
class CAutoRegisterDynamicProperty {
public:
    CAutoRegisterDynamicProperty(CClassInfo* info, CProperty* property, DynamicKind kind, const char* description);
};
