#pragma once
// A reflected class holding one member of every scalar kind, and a class
// embedded in it by value.
#include "foundation/CDynamicList.h"
#include "foundation/CStaticContentsList.h"
#include "objects/CObject.h"

#include <string>

class CScalarInner : public CObject {
    OMBRISALT_REFLECTED(CScalarInner, CObject)
public:
    CScalarInner();
    ~CScalarInner() override;
    int32_t m_Width;
    float m_Scale;
};

class CScalarHolder : public CObject {
    OMBRISALT_REFLECTED(CScalarHolder, CObject)
public:
    CScalarHolder();
    ~CScalarHolder() override;
    void SetDoubled(int32_t value) { m_Doubled = value * 2; }
    void SetHiddenBit(const uint32_t& bits) { m_LastBitSetterValue = bits; }

    int32_t m_Count;
    int32_t m_Ranged;      // [0, 10]
    int32_t m_Doubled;     // through a setter
    int32_t m_Long;
    uint32_t m_Uint;       // no units: the whole 32 bits
    uint32_t m_Distance;   // units text: at most 0xFFFFFFFE
    uint32_t m_Lives;      // [1, 10], 0 is "Unlimited"
    bool m_Enabled;
    uint32_t m_Flags = 0;  // bits 0x1 (default set), 0x6 and 0x8 (through a setter)
    uint32_t m_LastBitSetterValue = 0;
    float m_Speed;
    float m_Ratio;         // [0, 1], -1 is "Never"
    int32_t m_Kind;        // in the kind list, default "Walking"
    int32_t m_Mode;        // in the mode code table
    CScalarInner m_Inner;
};

// Inherits every property as clones.
class CScalarDerived : public CScalarHolder {
    OMBRISALT_REFLECTED(CScalarDerived, CScalarHolder)
public:
    CScalarDerived();
};

// "Idle", "Walking", "Folder/Running".
CDynamicList& GetKindList();
CCodeTableList& GetModeList();
void RegisterScalarClasses();

// The value text of the named property, and a value set from text (no stream).
std::string TextOf(CObject& object, const char* name);
void SetText(CObject& object, const char* name, const char* text);
