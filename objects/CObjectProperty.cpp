#include "objects/CObjectProperty.h"

#include "objects/CObjectStream.h"

const CObjectProperty* CObjectProperty::Matching(const CProperty* other) const
{
    return dynamic_cast<const CObjectProperty*>(other);
}

void CObjectProperty::CopyValue(CObject* destination, CObject* source, const CProperty* sourceProperty) const
{
    if (const CObjectProperty* theirs = Matching(sourceProperty))
        GetMember(destination)->CopyFrom(theirs->GetMember(source));
    else
        SetToDefault(destination);
}

bool CObjectProperty::IsEqual(CObject* object, CObject* other, const CProperty* otherProperty) const
{
    const CObjectProperty* theirs = Matching(otherProperty);
    return theirs && GetMember(object)->IsEqualTo(theirs->GetMember(other));
}

void CObjectProperty::SetToDefault(CObject* object) const
{
    GetMember(object)->ResetToDefaults();
}

bool CObjectProperty::IsDefault(CObject* object) const
{
    return GetMember(object)->AreAllPropertiesDefault();
}

void CObjectProperty::OnOwnerLoaded(CObject* object) const
{
    CClassThatCanNotBeConstructedOrDerivedFrom* target = nullptr;
    CTypedCObjectPointer<CClassThatCanNotBeConstructedOrDerivedFrom> holder(&target);
    GetMember(object)->OnLoaded(&holder);
}

void CObjectProperty::WriteValueLine(CObject* object, CObjectStream& stream) const
{
    WriteObjectText(GetMember(object), stream, WriteHeader::With);
}

void CObjectProperty::SetValueFromText(CObject* object, const CJString&, CObjectStream* stream) const
{
    // A member whose block is missing or cut short fails the whole load
    // rather than leaving the reader somewhere inside the owner's lines.
    if (stream && !ReadObjectBlock(GetMember(object), *stream, BlockMode::Whole) && !stream->HasReadError()) {
        CJString message("The embedded object \"");
        message.Append(GetNameString());
        message.Append("\" has no block of its own");
        stream->ReportError(message);
    }
}

void CObjectProperty::WriteBinary(CObject* object, CObjectStream& stream) const
{
    GetMember(object)->WriteBin(stream);
}

bool CObjectProperty::ReadBinary(CObject* object, CObjectStream& stream) const
{
    return GetMember(object)->ReadBin(stream);
}

void CObjectProperty::WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const
{
    GetMember(object)->WritePacked(stream, reference ? GetMember(reference) : nullptr);
}

void CObjectProperty::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    GetMember(object)->ReadPacked(stream);
}

void CObjectProperty::PreloadReferencedItems(CObject* object) const
{
    GetMember(object)->PreloadReferencedItems();
}

void CObjectProperty::SearchPropertyTree(CObject* object, CPropertyTreeCallback& callback) const
{
    GetMember(object)->SearchPropertyTree(callback);
}
