#pragma once
// The colour kind: a whole CColor member. Text "r,g,b" ("%d,%d,%d", from the
// colour's RGB copy), or "r,g,b,a" when the property has alpha. Binary keeps
// the stored byte order, blue first: B,G,R or B,G,R,A. Packed: whole bytes
// R,G,B or R,G,B,A. Colours are always written (never at their default for
// the writer) and compare on red, green and blue only.
#include "blit/CColor.h"
#include "objects/CProperty.h"

class CColorProperty : public CTypedProperty<CColor> {
public:
    // The default's palette index is matched in the palette current at use.
    CColorProperty(const char* declaredName, const CColor& defaultColor);

    void SetHasAlpha(bool hasAlpha) { m_HasAlpha = hasAlpha; }
    bool HasAlpha() const { return m_HasAlpha; }

    bool IsDefault(CObject*) const override { return false; }
    void GetValueText(CObject* object, CJString& out) const override;
    // Components outside 0-255 are clamped; a short text keeps the red,
    // green or blue it lacks; alpha is 255 unless given.
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override;
    void WriteBinary(CObject* object, CObjectStream& stream) const override;
    bool ReadBinary(CObject* object, CObjectStream& stream) const override;
    void WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const override;
    void ReadPacked(CObject* object, CNetMessageStream& stream) const override;
    // count default-constructed colours.
    void* NewValueArray(uint32_t count) const override;

    template <typename Declared>
    class DeclarationWords : public CDeclarationWordsBase<Declared> {
    public:
        // Text and binary forms carry the alpha too.
        Declared& WithAlpha()
        {
            return this->Apply([](auto& p) { p.SetHasAlpha(true); });
        }
    };

protected:
    bool Equal(const CColor& a, const CColor& b) const override;

private:
    bool m_HasAlpha = false;
};

template <>
struct PropertyKindFor<CColor> {
    using type = CColorProperty;
};
