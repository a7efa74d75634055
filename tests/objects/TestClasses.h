#pragma once
// Reflected classes for the object-model tests. CTestDerived owns a child
// through the owned-object kind and refers to a partner through a test-only
// reference kind.
#include "objects/CObject.h"
#include "objects/CObjectStream.h"

#include <string>

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

// Registered only when a test asks for it.
class CTestLate : public CObject {
    OMBRISALT_REFLECTED(CTestLate, CObject)
};

void RegisterTestClasses();

// Text of an object written through a memory stream.
std::string WriteToText(CObject* object, CObjectStream::Ids ids);
// Reads one object (class name line first) from text; null on failure.
CObject* ReadFromText(const std::string& text, CObjectStream::Ids ids, CJString* error = nullptr);
// Binary form.
std::string WriteToBinary(CObject* object, CObjectStream::Ids ids);
bool ReadFromBinary(CObject* object, const std::string& bytes, CObjectStream::Ids ids);
