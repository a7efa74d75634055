#include "TestClasses.h"

#include "foundation/CMemFileBuf.h"
#include "foundation/CurrentLoadFile.h"
#include "foundation/FatalError.h"
#include "objects/CNetMessageStream.h"
#include "objects/CPObjectProperty.h"
#include "support/ScopedHooks.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

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
    CObject* object = ReadFromText("CTestHolder\r\n{\r\n" + body + "}\r\n", IdMode::WithoutIds);
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
    for (IdMode ids : {IdMode::WithoutIds, IdMode::WithIds}) {
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
    EXPECT_NE(WriteToText(&holder, IdMode::WithoutIds).find("\tDefaulted=\r\n"), std::string::npos);
    auto read = ReadHolder("Defaulted=\r\n");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->m_Defaulted, nullptr);
}

TEST_F(OwnedObjects, TheBlockOfAnObjectThatCannotBeMadeIsSkippedToItsEnd)
{
    // A class of the family that has no way to make an instance: its block,
    // nested blocks and all, is passed over and the next line still read.
    static CClassInfo hollow("CHollowPart", 1.0f, CTestBase::SGetClassInfo(), sizeof(CTestBase));
    CClassInfoList& registry = CClassInfoList::SGetInstance();
    if (!registry.Find("CHollowPart")) {
        ASSERT_TRUE(registry.Register(&hollow));
    }
    auto read = ReadHolder("Defaulted=CHollowPart\r\n{\r\nCount=1\r\nPart=CTestBase\r\n{\r\n  Deeper=CTestBase\r\n"
                           "  {\r\n  }\r\n}\r\nSibling=CTestBase\r\n{\r\n}\r\n}\r\nKind=CTestDerived\r\n");
    registry.RemoveAt(registry.IndexOf(&hollow));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->m_Defaulted, nullptr);
    EXPECT_EQ(read->m_Kind, CTestDerived::SGetClassInfo());
}

TEST_F(OwnedObjects, AnOwnedArrayUnderItsOwnNameTakesTheLineAsOneElement)
{
    // The array's own name with a value other than "Array" once read its
    // own line again without end.
    auto empty = ReadHolder("Parts=\r\n");
    ASSERT_NE(empty, nullptr);
    ASSERT_EQ(empty->m_Parts.GetCount(), 1u);
    EXPECT_EQ(empty->m_Parts[0], nullptr);
    auto one = ReadHolder("Parts=CTestBase\r\n{\r\nCount=4\r\n}\r\n");
    ASSERT_NE(one, nullptr);
    ASSERT_EQ(one->m_Parts.GetCount(), 1u);
    ASSERT_NE(one->m_Parts[0], nullptr);
    EXPECT_EQ(one->m_Parts[0]->m_Count, 4);
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
    EXPECT_NE(WriteToText(&holder, IdMode::WithIds).find("Defaulted=CTestDerived"), std::string::npos);
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
    const CScopedThrowingFatal throwing;
    CTestHolder holder;
    try {
        Owned("Defaulted").ReadValue(&holder, CJString("Defaulted"), CJString(GetParam().value), nullptr, -1);
        ADD_FAILURE() << "no report";
    } catch (const CFatalErrorException& e) {
        EXPECT_EQ(e.caption, "Invalid class type");
        EXPECT_EQ(e.message, GetParam().message);
    }
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
        ReadFromText("CTestHolder\r\n{\r\nDefaulted=CNoSuchThing\r\n{\r\n}\r\n}\r\n", IdMode::WithoutIds, &error));
    EXPECT_EQ(read, nullptr);
    EXPECT_EQ(error.Compare("Tried to use an unknown class CNoSuchThing"), 0);
}

TEST_F(OwnedObjects, BinaryDataNamingAClassOutsideTheFamilyIsRefused)
{
    // The owned record is swapped for a whole, sound record of a class
    // outside the family, so only the family check can refuse it.
    CTestHolder holder;
    std::string bytes = WriteToBinary(&holder, IdMode::WithoutIds);
    const std::string name = "CTestDerived";
    const std::string ownedRecord = WriteToBinary(holder.m_Defaulted, IdMode::WithoutIds);
    const size_t at = bytes.find(name);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(bytes.substr(at + name.size(), ownedRecord.size()), ownedRecord);
    CTestHolder outsider;
    const std::string foreign
        = std::string("\x0B\0\0\0", 4) + "CTestHolder" + WriteToBinary(&outsider, IdMode::WithoutIds);
    std::string sound = bytes;
    sound.replace(at - 4, 4 + name.size() + ownedRecord.size(), std::string("\x0C\0\0\0", 4) + name + ownedRecord);
    CTestHolder target;
    ASSERT_TRUE(ReadFromBinary(&target, sound, IdMode::WithoutIds)) << "the splice itself must keep the data sound";
    bytes.replace(at - 4, 4 + name.size() + ownedRecord.size(), foreign);
    EXPECT_FALSE(ReadFromBinary(&target, bytes, IdMode::WithoutIds));
}

// Owned objects nest: every form reads them kMaxObjectNesting deep (the
// outermost counts) and refuses deeper data as damaged. Before the limit a
// hundred thousand levels ran the reader out of stack.
enum class Form { Text, Binary, BitStream };

struct NestingCase {
    const char* label;
    Form form;
    int depth;
};

class OwnedObjectNesting : public CTempFolderTest, public testing::WithParamInterface<NestingCase> {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        RegisterContainerClasses();
    }
};

// Text of objects each owning the next, without indentation (it would grow
// with the square of the depth).
std::string NestedText(int depth)
{
    std::string text = "CTestDerived\r\n{\r\n";
    for (int i = 1; i < depth; ++i)
        text += "Child=CTestDerived\r\n{\r\n";
    for (int i = 0; i < depth; ++i)
        text += "}\r\n";
    return text;
}

// The owned object is the last property a binary record without identities
// holds, so a record is a fixed head, the child's record (or none) and nothing after.
std::string NestedBinary(int depth)
{
    CTestDerived parent;
    const std::string leaf = WriteToBinary(&parent, IdMode::WithoutIds);
    parent.m_Child = new CTestDerived();
    const std::string pair = WriteToBinary(&parent, IdMode::WithoutIds);
    EXPECT_EQ(pair.substr(pair.size() - leaf.size()), leaf);
    const std::string head = pair.substr(0, pair.size() - leaf.size());
    std::string bytes;
    bytes.reserve(head.size() * size_t(depth));
    for (int i = 1; i < depth; ++i)
        bytes += head;
    return bytes + leaf;
}

std::unique_ptr<CTestDerived> NestedObject(int depth)
{
    auto root = std::make_unique<CTestDerived>();
    CTestDerived* at = root.get();
    for (int i = 1; i < depth; ++i) {
        auto* child = new CTestDerived();
        at->m_Child = child;
        at = child;
    }
    return root;
}

int DepthOf(const CTestBase* object)
{
    int depth = 0;
    for (; object; object = static_cast<const CTestDerived*>(object)->m_Child)
        ++depth;
    return depth;
}

TEST_P(OwnedObjectNesting, ReadsUpToTheLimitAndRefusesDeeperData)
{
    const NestingCase& c = GetParam();
    const bool fits = c.depth <= kMaxObjectNesting;
    const std::string report
        = "Corrupt file: objects nested more than " + std::to_string(kMaxObjectNesting) + " deep in ";
    switch (c.form) {
    case Form::Text: {
        const std::string path = PathOf("Deep.txt");
        WriteBytes(path, NestedText(c.depth));
        CJString error;
        std::unique_ptr<CObject> read(
            LoadObjectFromFile(path.c_str(), 0, IdMode::WithoutIds, ReportUnknownClass::Quiet, &error));
        if (fits) {
            ASSERT_NE(read, nullptr) << error.GetString();
            EXPECT_EQ(DepthOf(static_cast<CTestDerived*>(read.get())), c.depth);
        } else {
            EXPECT_EQ(read, nullptr);
            EXPECT_EQ(std::string(error.GetString()), report + "\"" + path + "\"");
        }
        break;
    }
    case Form::Binary: {
        CObjectStream stream;
        stream.Attach(CopyOf(NestedBinary(c.depth)), FILE_READ, IdMode::WithoutIds);
        CTestDerived read;
        EXPECT_EQ(read.ReadBin(stream), fits);
        if (fits)
            EXPECT_EQ(DepthOf(&read), c.depth);
        else
            EXPECT_EQ(std::string(stream.GetErrorText().GetString()), report + "\"Program.EXE\"");
        break;
    }
    case Form::BitStream: {
        CNetMessageStream bits;
        NestedObject(c.depth)->WritePacked(bits, nullptr);
        const CScopedThrowingFatal throwing;
        CTestDerived read;
        try {
            read.ReadPacked(bits);
            EXPECT_TRUE(fits);
            EXPECT_EQ(DepthOf(&read), c.depth);
        } catch (const CFatalErrorException& e) {
            EXPECT_FALSE(fits);
            EXPECT_EQ(e.caption, "Improperly formatted network message");
        }
        break;
    }
    }
    // Nested readers put back the load file name they extended.
    EXPECT_STREQ(GetCurrentLoadFileName().GetString(), "Program.EXE");
}

INSTANTIATE_TEST_SUITE_P(Owned, OwnedObjectNesting,
                         testing::Values(NestingCase{"TextAtTheLimit", Form::Text, kMaxObjectNesting},
                                         NestingCase{"TextPastTheLimit", Form::Text, kMaxObjectNesting + 1},
                                         NestingCase{"TextFarPastTheStack", Form::Text, 200000},
                                         NestingCase{"BinaryAtTheLimit", Form::Binary, kMaxObjectNesting},
                                         NestingCase{"BinaryPastTheLimit", Form::Binary, kMaxObjectNesting + 1},
                                         NestingCase{"BinaryFarPastTheStack", Form::Binary, 200000},
                                         NestingCase{"BitStreamAtTheLimit", Form::BitStream, kMaxObjectNesting},
                                         NestingCase{"BitStreamPastTheLimit", Form::BitStream, kMaxObjectNesting + 1}),
                         [](const testing::TestParamInfo<NestingCase>& param) {
                             return std::string(param.param.label);
                         });

TEST_F(OwnedObjects, ANestedReportNamesThePathOfPropertiesToTheObject)
{
    CJString error;
    std::unique_ptr<CObject> read(
        ReadFromText("CTestDerived\r\n{\r\nChild=CTestDerived\r\n{\r\nChild=CTestBase\r\n{\r\nCount=1\r\n",
                     IdMode::WithoutIds, &error));
    EXPECT_EQ(read, nullptr);
    EXPECT_EQ(std::string(error.GetString()), "Corrupt file missing closing '}' in Program.EXE:Child:Child");
    EXPECT_STREQ(GetCurrentLoadFileName().GetString(), "Program.EXE");
}

} // namespace
