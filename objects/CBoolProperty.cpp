#include "objects/CBoolProperty.h"

#include "objects/CNetMessageStream.h"
#include "objects/CObjectStream.h"

// --- Booleans ---

bool CBoolProperty::ShouldWrite(CObject* object) const
{
    return Value(object) != GetDefault() || GetWriteWhenEmpty();
}

void CBoolProperty::GetValueText(CObject* object, CJString& out) const
{
    out.Set(Value(object) ? "1" : "0");
}

void CBoolProperty::SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const
{
    NoteNumberReadInPart(text, NumberText::Integer, stream);
    Store(object, text.ToInt() != 0);
}

void CBoolProperty::WriteBinary(CObject* object, CObjectStream& stream) const
{
    stream.WriteUint8(Value(object) ? 1 : 0);
}

bool CBoolProperty::ReadBinary(CObject* object, CObjectStream& stream) const
{
    uint8_t byte = 0;
    if (stream.Read(&byte, 1) != 1)
        return false;
    Value(object) = byte != 0;
    return true;
}

void CBoolProperty::WritePacked(CObject* object, CNetMessageStream& stream, CObject*) const
{
    stream.WriteBool(Value(object));
}

void CBoolProperty::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    Value(object) = stream.ReadBool();
}

// --- Bits ---

void CBitProperty::SetBits(CObject* object, bool set) const
{
    if (set)
        Value(object) |= m_Mask;
    else
        Value(object) &= ~m_Mask;
}

void CBitProperty::StoreBits(CObject* object, bool set, uint32_t setterValue) const
{
    if (Setter setter = GetSetter())
        setter(*object, setterValue);
    else
        SetBits(object, set);
}

void CBitProperty::CopyValue(CObject* destination, CObject* source, const CProperty* sourceProperty) const
{
    const auto* bit = dynamic_cast<const CBitProperty*>(sourceProperty);
    const uint32_t bits = bit ? bit->Value(source) & bit->m_Mask : (GetDefault() ? m_Mask : 0);
    StoreBits(destination, bits != 0, bits);
}

bool CBitProperty::IsEqual(CObject* object, CObject* other, const CProperty*) const
{
    return (Value(object) & m_Mask) == (Value(other) & m_Mask);
}

void CBitProperty::SetToDefault(CObject* object) const
{
    SetBits(object, GetDefault() != 0);
}

bool CBitProperty::IsDefault(CObject* object) const
{
    return IsSet(object) == (GetDefault() != 0);
}

void CBitProperty::GetValueText(CObject* object, CJString& out) const
{
    out.Set(IsSet(object) ? "1" : "0");
}

void CBitProperty::SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const
{
    NoteNumberReadInPart(text, NumberText::Integer, stream);
    const bool set = text.ToInt() != 0;
    StoreBits(object, set, set ? 1 : 0);
}

void CBitProperty::WriteBinary(CObject* object, CObjectStream& stream) const
{
    stream.WriteUint8(IsSet(object) ? 1 : 0);
}

bool CBitProperty::ReadBinary(CObject* object, CObjectStream& stream) const
{
    uint8_t byte = 0;
    if (stream.Read(&byte, 1) != 1)
        return false;
    SetBits(object, byte != 0);
    return true;
}

void CBitProperty::WritePacked(CObject* object, CNetMessageStream& stream, CObject*) const
{
    stream.WriteBool(IsSet(object));
}

void CBitProperty::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    SetBits(object, stream.ReadBool());
}
