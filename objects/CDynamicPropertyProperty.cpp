#include "objects/CDynamicPropertyProperty.h"

#include "objects/CNetMessageStream.h"
#include "objects/CObject.h"
#include "objects/CObjectStream.h"

CDynamicPropertyProperty::CDynamicPropertyProperty(const char* name)
    : CProperty(name, nullptr, sizeof(void*), kLevelNormal)
{
}

void CDynamicPropertyProperty::SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const
{
    if (text.ToInt() == 0 || !stream)
        return;
    CJString line;
    if (!stream->ReadNonBlankLine(line)) // "{"
        return;
    while (stream->ReadLine(line)) {
        if (line.IsWide())
            line.ToNarrow();
        line.TrimLeft();
        if (line.IsEmpty())
            continue;
        if (line.GetAt(0) == '}')
            break;
        const int equals = line.Find("=");
        if (equals < 0)
            continue;
        object->ReadCustomProperties(line.Left(equals), line.Mid(equals + 1), *stream);
    }
}

void CDynamicPropertyProperty::WriteBinary(CObject*, CObjectStream& stream) const
{
    stream.WriteUint32(0);
}

bool CDynamicPropertyProperty::ReadBinary(CObject*, CObjectStream& stream) const
{
    uint32_t count = 0xFFFFFFFF;
    stream.ReadUint32(count);
    // A value names a property no class registry holds.
    return count == 0;
}

void CDynamicPropertyProperty::WritePacked(CObject*, CNetMessageStream& stream, CObject*) const
{
    stream.WriteBool(false);
}

void CDynamicPropertyProperty::ReadPacked(CObject*, CNetMessageStream& stream) const
{
    if (stream.ReadBool() && stream.ReadUint32() != 0)
        stream.NetStreamFatalError(nullptr, "");
}
