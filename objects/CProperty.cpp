#include "objects/CProperty.h"

#include "foundation/CMemFileBuf.h"
#include "objects/CNetMessageStream.h"
#include "objects/CObject.h"
#include "objects/CObjectModelHost.h"
#include "objects/CObjectStream.h"
#include "objects/XmlTags.h"

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
        return CObjectModelHost::SGetInstance().IsNamedOptionSet(kOmbrisaltOnlyOption) ? 1 : 0;
    if (m_Level == kLevelDebug)
        return 0;
    return m_Level;
}

void CProperty::ReadValue(CObject* object, const CJString&, const CJString& value, CObjectStream* stream, int64_t) const
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
