#pragma once
// A reference into a data list whose empty value reads back as the default.
// An index outside the list writes an empty value, as every index does while
// the list is still empty; any other name the list lacks is reported as
// every list reference reports it.
#include "objects/CListProperty.h"
#include "objects/CObjectStream.h"

class CNoneableListProperty : public CListProperty {
public:
    using CListProperty::CListProperty;

    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override
    {
        if (text.IsEmpty())
            Value(object) = GetDefaultIndex();
        else
            CListProperty::SetValueFromText(object, text, stream);
    }
    bool ReadBinary(CObject* object, CObjectStream& stream) const override
    {
        CJString name;
        if (!stream.ReadCountedText(name))
            return false;
        Value(object) = name.IsEmpty() ? GetDefaultIndex() : ResolveName(name, &stream);
        return true;
    }
};
