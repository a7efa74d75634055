#include "objects/CProperty.h"

#include "foundation/CMemFileBuf.h"
#include "objects/CGameBase.h"
#include "objects/CNetMessageStream.h"
#include "objects/CObject.h"
#include "objects/CObjectStream.h"

#include <cstring>
#include <vector>

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

// --- Strings ---

bool CStringProperty::ShouldWrite(CObject* object) const
{
    return GetWriteWhenEmpty() || Value(object).IsNotEmpty();
}

void CStringProperty::GetValueText(CObject* object, CJString& out) const
{
    out = Value(object);
}

void CStringProperty::SetValueFromText(CObject* object, const CJString& text, CObjectStream*) const
{
    CJString value(text);
    if (!value.IsWide() && value.Find("UNICODE-HEX<") >= 0)
        value.FromFileForm();
    Store(object, value);
}

void CStringProperty::WriteBinary(CObject* object, CObjectStream& stream) const
{
    const CJString form = Value(object).IsWide() ? Value(object).ToFileForm() : Value(object);
    stream.WriteCountedString(form.GetString());
}

bool CStringProperty::ReadBinary(CObject* object, CObjectStream& stream) const
{
    uint8_t bytes[4];
    if (stream.Read(bytes, 4) != 4)
        return false;
    const uint32_t length = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                            uint32_t(bytes[3]) << 24;
    // Never trust a length beyond what the file still holds.
    const int64_t left = stream.GetSize() - stream.GetPosition();
    if (int64_t(length) > left)
        return false;
    std::vector<char> text(size_t(length) + 1);
    if (length && stream.Read(text.data(), length) != length)
        return false;
    text[length] = 0;
    CJString value;
    value.SetText(text.data(), int(std::strlen(text.data())));
    if (value.Find("UNICODE-HEX<") >= 0)
        value.FromFileForm();
    Store(object, value);
    return true;
}

void CStringProperty::WritePacked(CObject* object, CNetMessageStream& stream, CObject*) const
{
    stream.WriteText(Value(object));
}

void CStringProperty::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    CJString value;
    if (stream.ReadText(value))
        Store(object, value);
}
