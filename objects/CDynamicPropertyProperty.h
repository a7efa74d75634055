#pragma once
// "Dynamic Properties", the one property CObject declares: the object's list
// of dynamic values as one line (the count) and a block of Name=value lines.
// No dynamic property can be attached to a class yet, so every list is empty:
// the property writes nothing, and whatever a file holds under it goes to the
// object's ReadCustomProperties, as names unknown to the class would.
#include "objects/CProperty.h"

class CDynamicPropertyProperty final : public CProperty {
public:
    explicit CDynamicPropertyProperty(const char* name);

    CProperty* Clone() const override { return new CDynamicPropertyProperty(*this); }
    bool IsValueProperty() const override { return false; }
    void* GetValueAddress(CObject*) const override { return nullptr; }
    void CopyValue(CObject*, CObject*, const CProperty*) const override {}
    bool IsEqual(CObject*, CObject*, const CProperty*) const override { return true; }
    void SetToDefault(CObject*) const override {}
    bool ShouldWrite(CObject*) const override { return false; }
    bool IsDefault(CObject*) const override { return true; }
    void GetValueText(CObject*, CJString& out) const override { out.Empty(); }
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override;
    void WriteBinary(CObject* object, CObjectStream& stream) const override;
    bool ReadBinary(CObject* object, CObjectStream& stream) const override;
    void WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const override;
    void ReadPacked(CObject* object, CNetMessageStream& stream) const override;
};
