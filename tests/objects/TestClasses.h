#pragma once
// Reflected classes for the object-model tests. CTestDerived owns a child
// through the owned-object kind and refers to a partner through a test-only
// reference kind; CScalarHolder holds one member of every scalar kind;
// CTestHolder holds the containers; CValueKindsHolder the text-like kinds.
#include "foundation/CDynamicList.h"
#include "foundation/CStaticContentsList.h"
#include "objects/CObject.h"
#include "objects/CObjectStream.h"
#include "objects/CPointProperty.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CStringProperty.h"

#include <string>

class CMemFileBuf;
class CProperty;

class CTestBase : public CObject {
    OMBRISALT_REFLECTED(CTestBase, CObject)
public:
    CTestBase();
    ~CTestBase() override;
    int32_t m_Count;
    bool m_Enabled;
    CJString m_Name;
};

class CTestDerived : public CTestBase {
    OMBRISALT_REFLECTED(CTestDerived, CTestBase)
public:
    CTestDerived();
    ~CTestDerived() override;
    void SetSize(int32_t size) { m_Size = size * 2; }
    int32_t m_Size;
    CJString m_Label;
    CTestBase* m_Child;   // owned
    CTestBase* m_Partner; // referenced
};

// Reports unknown properties as fatal.
class CTestStrict : public CTestBase {
    OMBRISALT_REFLECTED(CTestStrict, CTestBase)
public:
    CTestStrict();
};

class CTestAbstract : public CObject {
    OMBRISALT_REFLECTED(CTestAbstract, CObject)
};

// Registers with no base, as the player profiles do.
class CTestRootless : public CObject {
    OMBRISALT_REFLECTED(CTestRootless, CObject)
public:
    CTestRootless();
    ~CTestRootless() override;
    int32_t m_Count = 0;
};

// Registered only when a test asks for it.
class CTestLate : public CObject {
    OMBRISALT_REFLECTED(CTestLate, CObject)
};

void RegisterTestClasses();

// The shared round trips (tests/support/objects/ObjectRoundTrip.h) as the
// object tests use them: text read on a quiet stream, binary on a fatal one.
// Text of an object written through a memory stream.
std::string WriteToText(CObject* object, IdMode ids);
// Reads one object (class name line first) from text; null on failure.
CObject* ReadFromText(const std::string& text, IdMode ids, CJString* error = nullptr);
// Binary form.
std::string WriteToBinary(CObject* object, IdMode ids);
bool ReadFromBinary(CObject* object, const std::string& bytes, IdMode ids);
// A memory buffer owning a copy of the bytes, for reading streams.
CMemFileBuf* CopyOf(const std::string& bytes);

// One member of every scalar kind, and a class embedded in it by value.
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
    int32_t m_Ranged;  // [0, 10]
    int32_t m_Doubled; // through a setter
    int32_t m_Long;
    uint32_t m_Uint;     // no units: the whole 32 bits
    uint32_t m_Distance; // units text: at most 0xFFFFFFFE
    uint32_t m_Lives;    // [1, 10], 0 is "Unlimited"
    bool m_Enabled;
    uint32_t m_Flags = 0; // bits 0x1 (default set), 0x6 and 0x8 (through a setter)
    uint32_t m_LastBitSetterValue = 0;
    float m_Speed;
    float m_Ratio;  // [0, 1], -1 is "Never"
    int32_t m_Kind; // in the kind list, default "Walking"
    int32_t m_Mode; // in the mode code table
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

// Holders for the container property tests: arrays, owned objects, a class name and dynamic values.
class CTestPartAbstract : public CTestBase {
    OMBRISALT_REFLECTED(CTestPartAbstract, CTestBase)
};

class CTestHolder : public CObject {
    OMBRISALT_REFLECTED(CTestHolder, CObject)
public:
    CTestHolder();
    ~CTestHolder() override;
    CPropertyArray<int32_t> m_Sizes;    // keeps a capacity word
    CPropertyArray<int32_t> m_Exact;    // no capacity word
    CPropertyArray<CJString> m_Labels;  // one per item of the colour names
    CPropertyArray<CTestBase*> m_Parts; // owned elements
    CTestBase* m_Inline;                // claims the name of CTestBase's second property
    CTestBase* m_Defaulted;             // default class CTestDerived
    CClassInfo* m_Kind;
};

// Red, Green, Blue.
CDynamicList& ColourNames();
void RegisterContainerClasses();
CPropertyArrayProperty* HolderArray(const char* name);
// Attached once: "Tag" (int, default 7) to CTestBase and its family,
// "Always" (string, kind 3) to CTestHolder, "Extra" (owned CTestBase) to CTestHolder.
CProperty* TagProperty();
CProperty* AlwaysProperty();
CProperty* ExtraProperty();

// One member of each text-like kind.
class CValueKindsHolder : public CObject {
    OMBRISALT_REFLECTED(CValueKindsHolder, CObject)
public:
    CValueKindsHolder();
    ~CValueKindsHolder() override;
    CJString m_Name;
    CTranslatedText m_Title;
    CPoint m_Spot;
    CFPoint m_Place;
};

// The property of the holder with that name.
CProperty* HolderProperty(const char* name);

// One member per save word of the declaration builder: each key says where
// its line or word goes (all default to 1 and "").
class CSaveWordsHolder : public CObject {
    OMBRISALT_REFLECTED(CSaveWordsHolder, CObject)
public:
    CSaveWordsHolder();
    ~CSaveWordsHolder() override;
    int32_t m_Everywhere;
    int32_t m_TextOnly;
    int32_t m_BinaryOnly;
    int32_t m_Nowhere;
    int32_t m_IdStreamsOnly;
    int32_t m_IdLessStreamsOnly;
    CJString m_OmittedWhenEmpty;
    int32_t m_OmittedWhenDefault;
};
