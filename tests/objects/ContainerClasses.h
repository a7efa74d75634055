#pragma once
// Holders for the container property tests: arrays, owned objects, a class
// name and dynamic values.
#include "TestClasses.h"
#include "objects/CPropertyArrayProperty.h"

class CDynamicList;
class CPropertyArrayProperty;
class CProperty;

class CTestPartAbstract : public CTestBase {
    OMBRISALT_REFLECTED(CTestPartAbstract, CTestBase)
};

class CTestHolder : public CObject {
    OMBRISALT_REFLECTED(CTestHolder, CObject)
public:
    CTestHolder();
    ~CTestHolder() override;
    CPropertyArray<int32_t> m_Sizes;      // keeps a capacity word
    CPropertyArray<int32_t> m_Exact;      // no capacity word
    CPropertyArray<CJString> m_Labels;    // one per item of the colour names
    CPropertyArray<CTestBase*> m_Parts;   // owned elements
    CTestBase* m_Inline;                  // claims the name of CTestBase's second property
    CTestBase* m_Defaulted;               // default class CTestDerived
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
