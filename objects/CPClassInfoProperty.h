#pragma once
// A member naming a class: a CClassInfo pointer (null allowed), saved by
// class name and found again through the class registry on reading. A name
// no class has reads as null, quietly. The value is always written, whatever
// its default. The editor's class picker offers the non-abstract classes
// derived from the base class.
#include "objects/CProperty.h"

class CPClassInfoProperty : public CTypedProperty<CClassInfo*> {
public:
    CPClassInfoProperty(const char* name, CClassInfo* defaultClass);

    void SetBaseClass(CClassInfo* info) { m_BaseClass = info; }
    CClassInfo* GetBaseClass() const { return m_BaseClass; }

    bool IsDefault(CObject*) const override { return false; }
    void GetValueText(CObject* object, CJString& out) const override;
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override;
    void WriteBinary(CObject* object, CObjectStream& stream) const override;
    bool ReadBinary(CObject* object, CObjectStream& stream) const override;
    void WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const override;
    void ReadPacked(CObject* object, CNetMessageStream& stream) const override;

    template <typename Declared>
    class DeclarationWords : public CDeclarationWordsBase<Declared> {
    public:
        // The class the editor's picker offers the derived classes of.
        Declared& BaseClass(CClassInfo* info)
        {
            return this->Apply([&](auto& p) { p.SetBaseClass(info); });
        }
    };

private:
    CClassInfo* m_BaseClass;
};

template <>
struct PropertyKindFor<CClassInfo*> {
    using type = CPClassInfoProperty;
};
