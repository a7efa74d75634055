#pragma once
// Point kinds: two 32-bit integers (CPoint) or two 32-bit floats (CFPoint),
// x then y. Text "x,y" ("%d,%d"; floats "%.12g,%.12g", widened to double);
// binary the member's 8 bytes, little-endian; packed the same 8 bytes at the
// next byte boundary of the bit stream.
#include "foundation/CFPoint.h"
#include "foundation/CPoint.h"
#include "objects/CProperty.h"

#include <cstdint>

class CPointProperty : public CTypedProperty<CPoint> {
public:
    using CTypedProperty::CTypedProperty;
    void GetValueText(CObject* object, CJString& out) const override;
    // A text with fewer than two numbers keeps the components it lacks.
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override;
    void WriteBinary(CObject* object, CObjectStream& stream) const override;
    bool ReadBinary(CObject* object, CObjectStream& stream) const override;
    void WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const override;
    // Fewer than 8 bytes left leave the value unchanged.
    void ReadPacked(CObject* object, CNetMessageStream& stream) const override;
};

class CFPointProperty : public CTypedProperty<CFPoint> {
public:
    using CTypedProperty::CTypedProperty;
    void GetValueText(CObject* object, CJString& out) const override;
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override;
    void WriteBinary(CObject* object, CObjectStream& stream) const override;
    bool ReadBinary(CObject* object, CObjectStream& stream) const override;
    void WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const override;
    void ReadPacked(CObject* object, CNetMessageStream& stream) const override;
};

template <>
struct PropertyKindFor<CPoint> {
    using type = CPointProperty;
};
template <>
struct PropertyKindFor<CFPoint> {
    using type = CFPointProperty;
};

// Scans up to count numbers separated by single commas, as "%d,%d" scanning
// does: blanks may precede a number, nothing else may come between a number
// and its comma. Returns how many were read; the rest of values is left as
// it was. Integers saturate at 32 bits.
int32_t ScanCommaSeparated(const CJString& text, int32_t* values, int32_t count);
int32_t ScanCommaSeparated(const CJString& text, float* values, int32_t count);
