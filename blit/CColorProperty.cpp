#include "blit/CColorProperty.h"

#include "objects/CNetMessageStream.h"
#include "objects/CObjectStream.h"
#include "objects/CPointProperty.h"

#include <algorithm>
#include <new>

namespace {

CColor CurrentPaletteColor(const CColor& color)
{
    CColor result;
    result.SetCurrentPaletteColor(color.GetRed(), color.GetGreen(), color.GetBlue(), color.GetAlpha());
    return result;
}

uint8_t ClampComponent(int32_t value)
{
    return uint8_t(std::clamp<int32_t>(value, 0, 255));
}

} // namespace

CColorProperty::CColorProperty(const char* declaredName, const CColor& defaultColor)
    : CTypedProperty(declaredName, CurrentPaletteColor(defaultColor))
{
}

bool CColorProperty::Equal(const CColor& a, const CColor& b) const
{
    return (a.GetColorWord() & 0x00FFFFFF) == (b.GetColorWord() & 0x00FFFFFF);
}

void CColorProperty::GetValueText(CObject* object, CJString& out) const
{
    const CColor& color = Value(object);
    if (m_HasAlpha) {
        const uint32_t word = color.GetColorWord();
        out.Format("%d,%d,%d,%d", int((word >> 16) & 0xFF), int((word >> 8) & 0xFF), int(word & 0xFF), int(word >> 24));
    } else {
        const uint8_t* rgb = color.GetRgbCopy();
        out.Format("%d,%d,%d", int(rgb[2]), int(rgb[1]), int(rgb[0]));
    }
}

void CColorProperty::SetValueFromText(CObject* object, const CJString& text, CObjectStream*) const
{
    CColor& color = Value(object);
    int32_t values[4] = {color.GetRed(), color.GetGreen(), color.GetBlue(), 255};
    ScanCommaSeparated(text, values, m_HasAlpha ? 4 : 3);
    color.Set(ClampComponent(values[0]), ClampComponent(values[1]), ClampComponent(values[2]),
              ClampComponent(values[3]));
}

void CColorProperty::WriteBinary(CObject* object, CObjectStream& stream) const
{
    const CColor& color = Value(object);
    if (m_HasAlpha) {
        stream.WriteUint32(color.GetColorWord());
    } else {
        const uint8_t* rgb = color.GetRgbCopy();
        stream.Write(rgb, 3);
    }
}

bool CColorProperty::ReadBinary(CObject* object, CObjectStream& stream) const
{
    uint8_t bytes[4] = {0, 0, 0, 255};
    const uint32_t size = m_HasAlpha ? 4 : 3;
    if (stream.Read(bytes, size) != size)
        return false;
    Value(object).Set(bytes[2], bytes[1], bytes[0], bytes[3]);
    return true;
}

void CColorProperty::WritePacked(CObject* object, CNetMessageStream& stream, CObject*) const
{
    const CColor& color = Value(object);
    stream.WriteByte(color.GetRed());
    stream.WriteByte(color.GetGreen());
    stream.WriteByte(color.GetBlue());
    if (m_HasAlpha)
        stream.WriteByte(color.GetAlpha());
}

void CColorProperty::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    const uint8_t red = stream.ReadByte();
    const uint8_t green = stream.ReadByte();
    const uint8_t blue = stream.ReadByte();
    const uint8_t alpha = m_HasAlpha ? stream.ReadByte() : 255;
    Value(object).Set(red, green, blue, alpha);
}

void* CColorProperty::NewValueArray(uint32_t count) const
{
    CColor* first = static_cast<CColor*>(::operator new(sizeof(CColor) * (count ? count : 1)));
    for (uint32_t i = 0; i < count; ++i)
        ::new (static_cast<void*>(first + i)) CColor();
    return first;
}
