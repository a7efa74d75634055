#pragma once
// An object embedded by value in its owner (a member of a CObject class
// type). Its text form is the member's whole nested block after the name
// ("Name=CClass", "{", properties, "}"); binary and packed forms are the
// member's own. Declared with d.AddEmbedded(&CClass::m_Margins, "Margins").
#include "objects/CObject.h"

#include <cstdint>

class CObjectProperty : public CProperty {
public:
    CObjectProperty(const char* declaredName, uint32_t size)
        : CProperty(declaredName, nullptr, size, kLevelNormal)
    {
    }

    // The member inside owner.
    virtual CObject* GetMember(CObject* owner) const = 0;
    void SetClassInfo(CClassInfo* info) { m_ClassInfo = info; }
    CClassInfo* GetClassInfo() const { return m_ClassInfo; }

    bool IsValueProperty() const override { return false; }
    void CopyValue(CObject* destination, CObject* source, const CProperty* sourceProperty) const override;
    bool IsEqual(CObject* object, CObject* other, const CProperty* otherProperty) const override;
    void SetToDefault(CObject* object) const override;
    bool IsDefault(CObject* object) const override;
    void OnOwnerLoaded(CObject* object) const override;
    void GetValueText(CObject*, CJString& out) const override { out.Empty(); }
    void WriteValueLine(CObject* object, CObjectStream& stream) const override;
    // Reads the block that follows the line from stream; nothing without one.
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override;
    void WriteBinary(CObject* object, CObjectStream& stream) const override;
    bool ReadBinary(CObject* object, CObjectStream& stream) const override;
    void WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const override;
    void ReadPacked(CObject* object, CNetMessageStream& stream) const override;
    void PreloadReferencedItems(CObject* object) const override;
    void SearchPropertyTree(CObject* object, CPropertyTreeCallback& callback) const override;

private:
    const CObjectProperty* Matching(const CProperty* other) const;

    CClassInfo* m_ClassInfo = nullptr;
};

// The embedded member T C::* of class C.
template <typename C, typename T>
class CEmbeddedObjectProperty final : public CObjectProperty {
public:
    CEmbeddedObjectProperty(T C::*member, const char* declaredName)
        : CObjectProperty(declaredName, uint32_t(sizeof(T)))
        , m_Member(member)
    {
    }
    CProperty* Clone() const override { return new CEmbeddedObjectProperty(*this); }
    void* GetValueAddress(CObject* object) const override { return &(static_cast<C*>(object)->*m_Member); }
    CObject* GetMember(CObject* owner) const override { return &(static_cast<C*>(owner)->*m_Member); }
    // Arrays of the member's class, made and freed by its class info.
    void* NewValueArray(uint32_t count) const override
    {
        return static_cast<T*>(GetClassInfo()->CreateArray(int32_t(count), -1));
    }
    void DeleteValueArray(void* array) const override { GetClassInfo()->DeleteArray(static_cast<T*>(array)); }

private:
    T C::*m_Member;
};
