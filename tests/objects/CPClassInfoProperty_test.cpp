#include "TestClasses.h"

#include "objects/CNetMessageStream.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ClassInfoProperty : public testing::Test {
protected:
    void SetUp() override { RegisterContainerClasses(); }
};

TEST_F(ClassInfoProperty, RoundTripsByClassNameInTextBinaryAndBitStream)
{
    CTestHolder source;
    source.m_Kind = CTestDerived::SGetClassInfo();
    const std::string text = WriteToText(&source, IdMode::WithIds); // written even in ID mode
    EXPECT_NE(text.find("\tKind=CTestDerived\r\n"), std::string::npos);
    std::unique_ptr<CObject> read(ReadFromText(text, IdMode::WithIds));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(static_cast<CTestHolder*>(read.get())->m_Kind, CTestDerived::SGetClassInfo());

    CTestHolder binary;
    ASSERT_TRUE(ReadFromBinary(&binary, WriteToBinary(&source, IdMode::WithoutIds), IdMode::WithoutIds));
    EXPECT_EQ(binary.m_Kind, CTestDerived::SGetClassInfo());

    CNetMessageStream bits;
    CTestHolder baseline;
    source.WritePacked(bits, &baseline);
    CTestHolder packed;
    packed.ReadPacked(bits);
    EXPECT_EQ(packed.m_Kind, CTestDerived::SGetClassInfo());
}

TEST_F(ClassInfoProperty, AnUnknownNameReadsAsNullAndIsWrittenEmpty)
{
    std::unique_ptr<CObject> read(ReadFromText("CTestHolder\r\n{\r\nKind=CNoSuchClass\r\n}\r\n", IdMode::WithoutIds));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(static_cast<CTestHolder*>(read.get())->m_Kind, nullptr);
    EXPECT_NE(WriteToText(read.get(), IdMode::WithIds).find("\tKind=\r\n"), std::string::npos);
    // Any registered class may be named, in any letter case.
    std::unique_ptr<CObject> other(ReadFromText("CTestHolder\r\n{\r\nKind=ctestholder\r\n}\r\n", IdMode::WithoutIds));
    EXPECT_EQ(static_cast<CTestHolder*>(other.get())->m_Kind, CTestHolder::SGetClassInfo());
}

} // namespace
