#include "TestClasses.h"

#include "foundation/FatalError.h"
#include "objects/CNetMessageStream.h"
#include "objects/CPObjectProperty.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Ids = CObjectStream::Ids;

class OwnedObjects : public testing::Test {
protected:
    void SetUp() override { RegisterContainerClasses(); }
};

const CPObjectProperty& Owned(const char* name)
{
    return *static_cast<const CPObjectProperty*>(CTestHolder::SGetClassInfo()->FindProperty(name));
}

std::unique_ptr<CTestHolder> ReadHolder(const std::string& body)
{
    CObject* object = ReadFromText("CTestHolder\r\n{\r\n" + body + "}\r\n", Ids::Without);
    return std::unique_ptr<CTestHolder>(static_cast<CTestHolder*>(object));
}

TEST_F(OwnedObjects, TreesRoundTripInTextBinaryAndBitStream)
{
    CTestHolder source;
    source.ResetToDefaults(); // as every reader does: the always-present value is made
    auto* inner = new CTestDerived();
    inner->m_Count = 4;
    inner->m_Child = new CTestBase();
    inner->m_Child->m_Name = "leaf";
    delete source.m_Defaulted;
    source.m_Defaulted = inner;
    source.m_Inline = new CTestBase();
    source.m_Inline->m_Count = 8;
    for (Ids ids : {Ids::Without, Ids::With}) {
        std::unique_ptr<CObject> text(ReadFromText(WriteToText(&source, ids), ids));
        ASSERT_NE(text, nullptr);
        EXPECT_TRUE(text->IsEqualTo(&source));
        CTestHolder binary;
        ASSERT_TRUE(ReadFromBinary(&binary, WriteToBinary(&source, ids), ids));
        EXPECT_TRUE(binary.IsEqualTo(&source));
    }
    // The bit stream sends differences from a baseline the reader holds.
    CNetMessageStream bits;
    CTestHolder baseline;
    source.WritePacked(bits, &baseline);
    CTestHolder packed;
    packed.ReadPacked(bits);
    EXPECT_TRUE(packed.IsEqualTo(&source));
}

TEST_F(OwnedObjects, TextValuesDeleteKeepOrReplaceTheObject)
{
    CTestHolder holder;
    CTestBase* original = holder.m_Defaulted;
    ASSERT_NE(original, nullptr);
    CObjectStream none;
    Owned("Defaulted").ReadValue(&holder, CJString("Defaulted"), CJString("ctestderived"), nullptr, -1);
    EXPECT_EQ(holder.m_Defaulted, original); // same class in any case: kept
    Owned("Defaulted").ReadValue(&holder, CJString("Defaulted"), CJString("CTestBase"), nullptr, -1);
    EXPECT_STREQ(holder.m_Defaulted->GetClassInfo()->GetName(), "CTestBase");
    Owned("Defaulted").ReadValue(&holder, CJString("Defaulted"), CJString(), nullptr, -1);
    EXPECT_EQ(holder.m_Defaulted, nullptr);
    // A null value writes an empty value and reads back as null.
    EXPECT_NE(WriteToText(&holder, Ids::Without).find("\tDefaulted=\r\n"), std::string::npos);
    auto read = ReadHolder("Defaulted=\r\n");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->m_Defaulted, nullptr);
}

TEST_F(OwnedObjects, AnInlineObjectIsFoundByItsClassesSecondPropertyName)
{
    auto read = ReadHolder("Count=5\r\nName=inline\r\nKind=CTestBase\r\n");
    ASSERT_NE(read, nullptr);
    ASSERT_NE(read->m_Inline, nullptr);
    EXPECT_STREQ(read->m_Inline->GetClassInfo()->GetName(), "CTestBase");
    EXPECT_EQ(read->m_Inline->m_Count, 5);
    EXPECT_EQ(read->m_Inline->m_Name.Compare("inline"), 0);
    EXPECT_EQ(read->m_Kind, CTestBase::SGetClassInfo()); // the owner's line after the inline ones
}

TEST_F(OwnedObjects, ADefaultClassIsAlwaysWrittenAndClonesCarryItAsText)
{
    CTestHolder holder;
    const CPObjectProperty& property = Owned("Defaulted");
    EXPECT_FALSE(property.IsDefault(&holder));
    EXPECT_NE(WriteToText(&holder, Ids::With).find("Defaulted=CTestDerived"), std::string::npos);
    std::unique_ptr<CPObjectProperty> clone(static_cast<CPObjectProperty*>(property.Clone()));
    EXPECT_EQ(clone->GetDefaultClass(), nullptr);
    std::unique_ptr<CObject> made(clone->MakeDefault());
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsEqualTo(holder.m_Defaulted));
}

TEST_F(OwnedObjects, CopyKeepsAnObjectOfTheSameClassAndReplacesAnotherClass)
{
    CTestHolder a, b;
    b.m_Defaulted->m_Count = 30;
    CTestBase* kept = a.m_Defaulted;
    a.CopyFrom(&b);
    EXPECT_EQ(a.m_Defaulted, kept);
    EXPECT_EQ(a.m_Defaulted->m_Count, 30);
    delete b.m_Defaulted;
    b.m_Defaulted = new CTestBase();
    a.CopyFrom(&b);
    EXPECT_NE(a.m_Defaulted, b.m_Defaulted);
    EXPECT_STREQ(a.m_Defaulted->GetClassInfo()->GetName(), "CTestBase");
}

struct BadClassCase {
    const char* label;
    const char* value;
    const char* message;
};

class OwnedObjectClassChecks : public OwnedObjects, public testing::WithParamInterface<BadClassCase> {};

TEST_P(OwnedObjectClassChecks, AreFatalWithTheExactReport)
{
    const FatalTerminator previous = SetFatalTerminator(ThrowingFatalTerminator);
    CTestHolder holder;
    try {
        Owned("Defaulted").ReadValue(&holder, CJString("Defaulted"), CJString(GetParam().value), nullptr, -1);
        ADD_FAILURE() << "no report";
    } catch (const CFatalErrorException& e) {
        EXPECT_EQ(e.caption, "Invalid class type");
        EXPECT_EQ(e.message, GetParam().message);
    }
    SetFatalTerminator(previous);
}

INSTANTIATE_TEST_SUITE_P(
    Owned, OwnedObjectClassChecks,
    testing::Values(
        BadClassCase{"Unknown", "CNoSuchThing",
                     "Tried to use an unknown class \"CNoSuchThing\" for a \"Defaulted\" (CTestBase). Last file opened "
                     "= \"Program.EXE\""},
        BadClassCase{"OutsideTheFamily", "CTestHolder",
                     "Tried to use a CTestHolder for a Defaulted when a CTestBase is expected. Last file opened = "
                     "\"Program.EXE\""},
        BadClassCase{"Abstract", "CTestPartAbstract",
                     "Tried to use the abstract class \"CTestPartAbstract\" for a \"Defaulted\" (CTestBase). Last file "
                     "opened = \"Program.EXE\""}),
    [](const testing::TestParamInfo<BadClassCase>& caseInfo) { return std::string(caseInfo.param.label); });

TEST_F(OwnedObjects, AWrongClassEndsTheProcessWithStatus255)
{
    EXPECT_EXIT(ReadHolder("Defaulted=CTestHolder\r\n{\r\n}\r\n"), testing::ExitedWithCode(255),
                "Tried to use a CTestHolder for a Defaulted when a CTestBase is expected");
}

TEST_F(OwnedObjects, AQuietStreamRecordsAnUnknownClassAndKeepsNull)
{
    CJString error;
    std::unique_ptr<CObject> read(
        ReadFromText("CTestHolder\r\n{\r\nDefaulted=CNoSuchThing\r\n{\r\n}\r\n}\r\n", Ids::Without, &error));
    EXPECT_EQ(read, nullptr);
    EXPECT_EQ(error.Compare("Tried to use an unknown class CNoSuchThing"), 0);
}

TEST_F(OwnedObjects, BinaryDataNamingAClassOutsideTheFamilyIsRefused)
{
    CTestHolder holder;
    std::string bytes = WriteToBinary(&holder, Ids::Without);
    const std::string name = "CTestDerived";
    const size_t at = bytes.find(name);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at - 4, 4 + name.size(), std::string("\x0B\0\0\0", 4) + "CTestHolder");
    CTestHolder target;
    EXPECT_FALSE(ReadFromBinary(&target, bytes, Ids::Without));
}

} // namespace
