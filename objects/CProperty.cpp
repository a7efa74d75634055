#include "objects/CProperty.h"

#include "foundation/CMemFileBuf.h"
#include "objects/CGameBase.h"
#include "objects/CNetMessageStream.h"
#include "objects/CObject.h"
#include "objects/CObjectStream.h"

#include <cstring>

CProperty::CProperty(const char* declaredName, const char* units, uint32_t size, int32_t level)
    : m_Size(size)
{
    const char* name = declaredName ? declaredName : "";
    if (const char* slash = std::strchr(name, '/')) {
        m_Category.SetText(name, int(slash - name));
        m_Name.Set(slash + 1);
    } else {
        m_Name.Set(name);
    }
    m_OriginalName = m_Name;
    if (units)
        m_Units.Set(units);
    SetLevel(level);
}

void CProperty::SetLevel(int32_t level)
{
    m_Level = level;
    if (level == kLevelDebug) {
        m_SaveText = false;
        m_SaveBinary = false;
        if (m_Category.IsEmpty())
            m_Category.Set("Debug");
    }
}

int32_t CProperty::GetEffectiveLevel() const
{
    if (m_Level == kLevelOmbrisaltOnly)
        return CGameBase::SGetInstance().IsNamedOptionSet(kOmbrisaltOnlyOption) ? 1 : 0;
    if (m_Level == kLevelDebug)
        return 0;
    return m_Level;
}

void CProperty::ReadValue(CObject* object, const CJString&, const CJString& value, CObjectStream* stream,
                          int64_t) const
{
    SetValueFromText(object, value, stream);
}

void CProperty::WriteName(CObject*, CObjectStream& stream) const
{
    stream.WriteJString(m_Name);
    stream.WriteString("=");
}

void CProperty::WriteValueLine(CObject* object, CObjectStream& stream) const
{
    CJString text;
    GetValueText(object, text);
    stream.WriteJStringLine(text);
}

void CProperty::WriteTagged(CObject* object, CObjectStream& stream) const
{
    const CJString tag = XmlTagName(m_Name);
    stream.WriteJString(XmlOpenTag(tag));
    WriteValue(object, stream);
    stream.WriteJString(XmlCloseTag(tag));
    stream.WriteLine();
}

void CProperty::WriteValue(CObject* object, CObjectStream& stream) const
{
    CJString text;
    GetValueText(object, text);
    stream.WriteJString(text);
}

// --- Integers ---

void CIntProperty::GetValueText(CObject* object, CJString& out) const
{
    out.Format("%d", Value(object));
}

void CIntProperty::SetValueFromText(CObject* object, const CJString& text, CObjectStream*) const
{
    Store(object, text.ToInt());
}

void CIntProperty::WriteBinary(CObject* object, CObjectStream& stream) const
{
    stream.WriteUint32(uint32_t(Value(object)));
}

bool CIntProperty::ReadBinary(CObject* object, CObjectStream& stream) const
{
    uint8_t bytes[4];
    if (stream.Read(bytes, 4) != 4)
        return false;
    const uint32_t value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                           uint32_t(bytes[3]) << 24;
    Store(object, int32_t(value));
    return true;
}

void CIntProperty::WritePacked(CObject* object, CNetMessageStream& stream, CObject*) const
{
    if (m_Minimum == m_Maximum)
        stream.NetStreamWriteBits(uint32_t(Value(object)), 32);
    else
        stream.WriteRanged(Value(object), m_Minimum, m_Maximum);
}

void CIntProperty::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    if (m_Minimum == m_Maximum)
        Store(object, int32_t(stream.NetStreamReadBits(32)));
    else
        Store(object, stream.ReadRanged(m_Minimum, m_Maximum));
}

// --- Booleans ---

void CBoolProperty::GetValueText(CObject* object, CJString& out) const
{
    out.Set(Value(object) ? "1" : "0");
}

void CBoolProperty::SetValueFromText(CObject* object, const CJString& text, CObjectStream*) const
{
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
    Store(object, byte != 0);
    return true;
}

void CBoolProperty::WritePacked(CObject* object, CNetMessageStream& stream, CObject*) const
{
    stream.WriteBool(Value(object));
}

void CBoolProperty::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    Store(object, stream.ReadBool());
}
