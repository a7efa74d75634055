#pragma once
// Flag kinds: CBoolProperty (a bool member) and CBitProperty (the bits of a
// mask inside a 32-bit flag word, so several properties share one word).
// Text is "0" or "1"; only a non-zero number reads as set ("true" and "yes"
// read as 0).
#include "objects/CProperty.h"

#include <cstdint>

class CBoolProperty : public CTypedProperty<bool> {
public:
    using CTypedProperty::CTypedProperty;
    bool ShouldWrite(CObject* object) const override;
    void GetValueText(CObject* object, CJString& out) const override;
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override;
    void WriteBinary(CObject* object, CObjectStream& stream) const override;
    bool ReadBinary(CObject* object, CObjectStream& stream) const override;
    void WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const override;
    void ReadPacked(CObject* object, CNetMessageStream& stream) const override;
};

// The value type is the whole flag word; the default is 0 or 1. A setter
// receives 0 or 1 from text, and the other object's masked bits from
// CopyValue; without one the mask bits are set or cleared and the other bits
// of the word are left alone (the owning class initialises the word). Not
// usable as an array element.
class CBitProperty : public CTypedProperty<uint32_t> {
public:
    CBitProperty(const char* declaredName, uint32_t defaultValue)
        : CTypedProperty(declaredName, defaultValue ? 1u : 0u)
    {
    }
    void SetMask(uint32_t mask) { m_Mask = mask; }
    uint32_t GetBitMask() const override { return m_Mask; }
    bool IsSet(CObject* object) const { return (Value(object) & m_Mask) != 0; }
    // What the editor shows where the object builds otherwise than the value
    // it holds and writes back (null: the value held).
    using ShownBits = bool (*)(const CObject& object, bool held);
    void SetShown(ShownBits shown) { m_Shown = shown; }
    bool IsShownSet(CObject* object) const { return m_Shown ? m_Shown(*object, IsSet(object)) : IsSet(object); }

    void CopyValue(CObject* destination, CObject* source, const CProperty* sourceProperty) const override;
    bool IsEqual(CObject* object, CObject* other, const CProperty* otherProperty) const override;
    void SetToDefault(CObject* object) const override;
    bool IsDefault(CObject* object) const override;
    void GetValueText(CObject* object, CJString& out) const override;
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override;
    void WriteBinary(CObject* object, CObjectStream& stream) const override;
    bool ReadBinary(CObject* object, CObjectStream& stream) const override;
    void WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const override;
    void ReadPacked(CObject* object, CNetMessageStream& stream) const override;

private:
    void SetBits(CObject* object, bool set) const;
    // Through the setter (given setterValue) when there is one.
    void StoreBits(CObject* object, bool set, uint32_t setterValue) const;

    uint32_t m_Mask = 0;
    ShownBits m_Shown = nullptr;
};

template <>
struct PropertyKindFor<bool> {
    using type = CBoolProperty;
};
