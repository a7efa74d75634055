#include "objects/CPClassInfoProperty.h"

#include "objects/CClassInfo.h"
#include "objects/CNetMessageStream.h"
#include "objects/CObject.h"
#include "objects/CObjectStream.h"
#include "objects/CSlotProperty.h"

namespace {

CClassInfo* FindClass(const CJString& name)
{
    return name.IsEmpty() ? nullptr : CClassInfoList::SGetInstance().Find(name);
}

} // namespace

CPClassInfoProperty::CPClassInfoProperty(const char* name, CClassInfo* defaultClass)
    : CTypedProperty(name, defaultClass)
    , m_BaseClass(CObject::SGetClassInfo())
{
}

void CPClassInfoProperty::GetValueText(CObject* object, CJString& out) const
{
    CClassInfo* info = Value(object);
    out.Set(info ? info->GetName() : "");
}

void CPClassInfoProperty::SetValueFromText(CObject* object, const CJString& text, CObjectStream*) const
{
    Store(object, FindClass(text));
}

void CPClassInfoProperty::WriteBinary(CObject* object, CObjectStream& stream) const
{
    CClassInfo* info = Value(object);
    stream.WriteCountedString(info ? info->GetName() : "");
}

bool CPClassInfoProperty::ReadBinary(CObject* object, CObjectStream& stream) const
{
    CJString name;
    // An unknown name reads as null; a length past the end of the file is
    // corrupt data, not a name.
    if (!stream.ReadCountedText(name))
        return false;
    Store(object, FindClass(name));
    return true;
}

void CPClassInfoProperty::WritePacked(CObject* object, CNetMessageStream& stream, CObject*) const
{
    CClassInfo* info = Value(object);
    stream.WriteString(info ? info->GetName() : "");
}

void CPClassInfoProperty::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    Store(object, FindClass(CJString(stream.ReadString())));
}
