#include "TestClasses.h"

#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/CurrentLoadFile.h"
#include "foundation/FatalError.h"
#include "objects/CObjectModelHost.h"

#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

class ObjectText : public testing::Test {
protected:
    void SetUp() override { RegisterTestClasses(); }
};

// A derived object holding an embedded object, with references both ways.
CTestDerived* MakeLinked()
{
    auto* root = new CTestDerived();
    root->m_Count = -5;
    root->m_Name = "Root = first";
    root->m_Size = 77;
    auto* child = new CTestDerived();
    child->m_Enabled = false;
    child->m_Label = "inner";
    child->m_Partner = root; // cycle through the owner
    root->m_Child = child;
    root->m_Partner = child;
    return root;
}

TEST_F(ObjectText, WritesTheExactTextForm)
{
    CTestBase object;
    object.m_Count = 12;
    object.m_Name = "Hello";
    EXPECT_EQ(WriteToText(&object, IdMode::WithoutIds),
              "CTestBase\r\n{\r\n\tCount=12\r\n\tEnabled=1\r\n\tName=Hello\r\n}\r\n");
    // ID mode: defaults are left out, the object carries its identity and the
    // reference list trailer is located from the first line.
    const std::string withIds = WriteToText(&object, IdMode::WithIds);
    EXPECT_EQ(withIds,
              "CTestBase\r\n{\r\n\tReferenced Object List Location=0x0000006D\r\n\tObject ID=0x00000001\r\n"
              "\tCount=12\r\n\tName=Hello\r\n}\r\nReferenced Objects\r\n{\r\n\t0\r\n}\r\n");
    EXPECT_EQ(withIds.substr(0x6D, 18), "Referenced Objects");
}

TEST_F(ObjectText, WritesTheTaggedForm)
{
    CTestBase object;
    object.m_Name = "x";
    auto* buffer = new CMemFileBuf();
    CObjectStream stream;
    stream.Attach(buffer, FILE_CREATE | FILE_WRITE, IdMode::WithoutIds);
    WriteObjectTagged(&object, stream);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer->GetData()), size_t(buffer->GetSize())),
              "<CTestBase>\r\n\t<Count>3</Count>\r\n\t<Enabled>1</Enabled>\r\n\t<Name>x</Name>\r\n</CTestBase>\r\n");
}

TEST_F(ObjectText, LeavesOutDefaultsOnlyWhereTheRulesSay)
{
    CTestDerived object;
    const std::string text = WriteToText(&object, IdMode::WithoutIds);
    EXPECT_NE(text.find("\tSize=10\r\n"), std::string::npos); // ID-less keeps defaults
    EXPECT_EQ(text.find("Label="), std::string::npos);        // omit-when-default
    EXPECT_EQ(text.find("Child="), std::string::npos);        // empty and not written when empty
    EXPECT_EQ(text.find("Dynamic Properties"), std::string::npos);
}

TEST_F(ObjectText, RoundTripsDerivedEmbeddedAndCyclicObjectsByteForByte)
{
    for (IdMode ids : {IdMode::WithoutIds, IdMode::WithIds}) {
        CTestDerived* root = MakeLinked();
        const std::string first = WriteToText(root, ids);
        CJString error;
        CObject* read = ReadFromText(first, ids, &error);
        ASSERT_NE(read, nullptr) << error.GetString();
        EXPECT_EQ(WriteToText(read, ids), first);
        auto* copy = static_cast<CTestDerived*>(read);
        ASSERT_NE(copy->m_Child, nullptr);
        if (ids == IdMode::WithIds) {
            EXPECT_EQ(copy->m_Partner, copy->m_Child);
            EXPECT_EQ(static_cast<CTestDerived*>(copy->m_Child)->m_Partner, copy);
        }
        EXPECT_STREQ(copy->m_Name.GetString(), "Root = first");
        delete read;
        delete root;
    }
}

TEST_F(ObjectText, ReadsBlankLinesTabsSeparatorsAndOddValues)
{
    const std::string text = "\r\n  CTestDerived \r\n\r\n{\r\n\t\r\n----------\r\n\t\t  Count=4\r\n"
                             "Name= a=b \r\nLine without equals\r\nSize=9\r\n}\r\n";
    std::unique_ptr<CObject> object(ReadFromText(text, IdMode::WithoutIds));
    auto* derived = static_cast<CTestDerived*>(object.get());
    ASSERT_NE(derived, nullptr);
    EXPECT_EQ(derived->m_Count, 4);
    EXPECT_STREQ(derived->m_Name.GetString(), " a=b "); // after the first "=", untrimmed
    EXPECT_EQ(derived->m_Size, 9);
}

TEST_F(ObjectText, ReadsUnicodeHexValuesAndWritesThemBack)
{
    CTestBase object;
    const char16_t wide[] = {u'A', 0x263A, 0};
    object.m_Name = wide;
    const std::string text = WriteToText(&object, IdMode::WithoutIds);
    EXPECT_NE(text.find("Name=UNICODE-HEX<"), std::string::npos);
    std::unique_ptr<CObject> read(ReadFromText(text, IdMode::WithoutIds));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(static_cast<CTestBase*>(read.get())->m_Name.GetAt(1), char16_t(0x263A));
    EXPECT_EQ(WriteToText(read.get(), IdMode::WithoutIds), text);
}

TEST_F(ObjectText, SkipsUnknownPropertiesWithTheirNestedBlocks)
{
    // Two levels inside the unknown block and a sibling block after them;
    // the line right after its closing brace must still be read.
    const std::string text = "CTestBase\r\n{\r\nOld Thing=CSomething\r\nCSomething\r\n{\r\nA=1\r\nInner=CX\r\n"
                             "{\r\nB=2\r\n  Deeper=CY\r\n  {\r\n  }\r\n}\r\nSibling=CZ\r\n{\r\n}\r\n}\r\n"
                             "Count=8\r\nAnother=5\r\nName=x\r\n}\r\n";
    std::unique_ptr<CObject> object(ReadFromText(text, IdMode::WithoutIds));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(static_cast<CTestBase*>(object.get())->m_Count, 8);
    EXPECT_STREQ(static_cast<CTestBase*>(object.get())->m_Name.GetString(), "x");
}

TEST_F(ObjectText, ScopedNamesAndObjectIdOnlyOnTheFirstLine)
{
    const std::string text = "CTestBase\r\n{\r\nCount=2\r\nObject ID=0x10\r\nOld::Name=scoped\r\n}\r\n";
    std::unique_ptr<CObject> object(ReadFromText(text, IdMode::WithIds));
    ASSERT_NE(object, nullptr);
    EXPECT_STREQ(static_cast<CTestBase*>(object.get())->m_Name.GetString(), "scoped");
}

TEST_F(ObjectText, MissingClosingBraceAndUnknownClassesFailWithTheirTexts)
{
    CJString error;
    GetCurrentLoadFileName().Set("Levels/One.txt");
    EXPECT_EQ(ReadFromText("CTestBase\r\n{\r\nCount=2\r\n", IdMode::WithoutIds, &error), nullptr);
    EXPECT_STREQ(error.GetString(), "Corrupt file missing closing '}' in Levels/One.txt");
    EXPECT_EQ(ReadFromText("CUnheardOf\r\n{\r\n}\r\n", IdMode::WithoutIds, &error), nullptr);
    EXPECT_STREQ(error.GetString(), "Tried to use an unknown class CUnheardOf");
    GetCurrentLoadFileName().Set("Program.EXE");
}

// A class name past any class's is refused at its head, unheld; a value of
// any length still reads back, past the step the text is read in.
TEST_F(ObjectText, ATokenPastAnyNameIsRefusedAtItsHeadAndLongValuesRead)
{
    CJString error;
    EXPECT_EQ(ReadFromText(std::string(8 << 20, 'C') + "\r\n{\r\n}\r\n", IdMode::WithoutIds, &error), nullptr);
    EXPECT_LT(error.GetLength(), 400);
    EXPECT_EQ(error.Right(3).Compare("..."), 0);
    std::string text = "CTestBase\r\n{\r\n" + std::string(8 << 20, 'N') + "=1\r\nName=";
    text += std::string(3 << 20, 'v') + "\r\nCount=4\r\n}\r\n";
    std::unique_ptr<CObject> object(ReadFromText(text, IdMode::WithoutIds, &error));
    ASSERT_NE(object, nullptr) << error.GetString();
    EXPECT_EQ(static_cast<CTestBase*>(object.get())->m_Name.GetLength(), 3 << 20);
    EXPECT_EQ(static_cast<CTestBase*>(object.get())->m_Count, 4);
}

// A failed read deletes its object: nothing the stream patches later may
// point into it or at it.
TEST_F(ObjectText, AFailedReadLeavesNoPatchIntoOrReferenceToItsObject)
{
    const std::string text = "CTestDerived\r\n{\r\nObject ID=0x1\r\nPartner=0x2\r\n}\r\n"
                             "CTestDerived\r\n{\r\nObject ID=0x2\r\nPartner=0x1\r\nCount=4\r\n";
    CObjectStream stream;
    stream.Attach(CopyOf(text), FILE_READ, IdMode::WithIds);
    stream.SetQuiet(true);
    std::unique_ptr<CObject> first(ReadObjectFromStream(stream));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ReadObjectFromStream(stream), nullptr);
    stream.Finish();
    EXPECT_EQ(static_cast<CTestDerived*>(first.get())->m_Partner, nullptr);
}

TEST_F(ObjectText, AnObjectReplacedDuringTheReadIsNeitherPatchedNorReferenced)
{
    // The child with identity 2 is read, then replaced by the empty value:
    // the partner must not point at it, nor any patch write into it.
    const std::string text = "CTestDerived\r\n{\r\nObject ID=0x1\r\nChild=CTestBase\r\n{\r\nObject ID=0x2\r\n"
                             "Partner=0x1\r\n}\r\nChild=\r\nPartner=0x2\r\n}\r\n";
    std::unique_ptr<CObject> read(ReadFromText(text, IdMode::WithIds));
    ASSERT_NE(read, nullptr);
    const auto* derived = static_cast<CTestDerived*>(read.get());
    EXPECT_EQ(derived->m_Child, nullptr);
    EXPECT_EQ(derived->m_Partner, nullptr);
}

TEST_F(ObjectText, FatalReportsEndTheProcessWithTheirTexts)
{
    GetCurrentLoadFileName().Set("Bad.txt");
    EXPECT_EXIT(ReadFromText("CTestBase\r\n{\r\nCount=2\r\n{\r\n}\r\n", IdMode::WithoutIds),
                testing::ExitedWithCode(255),
                "Found unexpected '\\{' while parsing class \"CTestBase\" in file \"Bad.txt\".  ReadCustomProperties "
                "was likely overridden");
    EXPECT_EXIT(ReadFromText("CTestStrict\r\n{\r\nLoss Less=1\r\nColour=red\r\n}\r\n", IdMode::WithoutIds),
                testing::ExitedWithCode(255),
                "Found unknown property \"Colour\" with a value of \"red\" for class CTestStrict while processing file "
                "\"Bad.txt\"");
    EXPECT_EXIT(
        {
            auto* buffer = CMemFileBuf::WrapReadOnly("CNope\r\n{\r\n}\r\n", 13);
            LoadObjectFromOpenFile(buffer, 0, IdMode::WithoutIds, ReportUnknownClass::Fatal);
        },
        testing::ExitedWithCode(255), "Tried to use a class named \"CNope\" but there is no class with that name.");
    GetCurrentLoadFileName().Set("Program.EXE");
}

TEST_F(ObjectText, AKeyTheReaderDropsIsReportedWithItsFile)
{
    GetCurrentLoadFileName().Set("Town.txt");
    testing::internal::CaptureStderr();
    std::unique_ptr<CObject> read(
        ReadFromText("CTestBase\r\n{\r\nCount=2\r\nColour=red\r\nShade=Old\r\n{\r\n}\r\n}\r\n", IdMode::WithoutIds));
    const std::string said = testing::internal::GetCapturedStderr();
    GetCurrentLoadFileName().Set("Program.EXE");
    ASSERT_NE(read, nullptr) << "an unknown key is no reason to refuse the object";
    EXPECT_EQ(static_cast<CTestBase*>(read.get())->m_Count, 2);
    EXPECT_NE(said.find("Dropped unknown property \"Colour\" with a value of \"red\" for class CTestBase while "
                        "processing file \"Town.txt\""),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("\"Shade\""), std::string::npos) << "a dropped block is named too";

    // A key the class chose to ignore is not news.
    testing::internal::CaptureStderr();
    std::unique_ptr<CObject> strict(ReadFromText("CTestStrict\r\n{\r\nLoss Less=1\r\n}\r\n", IdMode::WithoutIds));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(strict, nullptr);
}

std::string g_Forwarded;
class CRecordingHost : public CObjectModelHost {
public:
    void ForwardStringHook2(const char* text) override { g_Forwarded = text; }
};

TEST_F(ObjectText, ReferencesToUnsavedObjectsAreMarkedAndReadAsNull)
{
    CRecordingHost game;
    CTestDerived outside;
    CTestDerived object;
    object.m_Partner = &outside;
    std::string text;
    {
        const CScopedObjectModelHost host(&game);
        text = WriteToText(&object, IdMode::WithIds);
    }
    EXPECT_NE(text.find("\t0x00000002\r\n\tError=/\\is referenced but not saved in this file/\\\r\n"),
              std::string::npos);
    EXPECT_EQ(g_Forwarded.rfind("***Programming Error*** #294 Saving a reference", 0), 0u);
    std::unique_ptr<CObject> read(ReadFromText(text, IdMode::WithIds));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(static_cast<CTestDerived*>(read.get())->m_Partner, nullptr);
}

class ObjectFiles : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        RegisterTestClasses();
    }
};

TEST_F(ObjectFiles, SavesLoadsAndLeavesAnUnchangedFileAlone)
{
    CTestDerived* root = MakeLinked();
    const std::string path = PathOf("Root.txt");
    ASSERT_TRUE(root->SaveToFile(path.c_str(), 0));
    const std::string saved = ReadBytes(path);
    EXPECT_EQ(saved, WriteToText(root, IdMode::WithoutIds));
    const auto stamp = std::filesystem::last_write_time(path);
    std::filesystem::last_write_time(path, stamp - std::chrono::hours(1));
    ASSERT_TRUE(root->SaveToFile(path.c_str(), 0));
    EXPECT_EQ(std::filesystem::last_write_time(path), stamp - std::chrono::hours(1));

    CJString error;
    CObject* loaded = LoadObjectFromFile(path.c_str(), 0, IdMode::WithoutIds, ReportUnknownClass::Quiet, &error);
    ASSERT_NE(loaded, nullptr) << error.GetString();
    EXPECT_EQ(WriteToText(loaded, IdMode::WithoutIds), saved);
    EXPECT_STREQ(GetCurrentLoadFileName().GetString(), "Program.EXE");
    CTestDerived again;
    EXPECT_TRUE(again.ReadFromFile(path.c_str(), 0));
    EXPECT_EQ(again.m_Size, 77);
    delete loaded;
    delete root;
}

TEST_F(ObjectFiles, AFailedLoadGivesNullAndTheErrorText)
{
    const std::string path = PathOf("Broken.txt");
    WriteBytes(path, "CTestBase\r\n{\r\nCount=1\r\n");
    CJString error;
    EXPECT_EQ(LoadObjectFromFile(path.c_str(), 0, IdMode::WithoutIds, ReportUnknownClass::Quiet, &error), nullptr);
    EXPECT_EQ(std::string(error.GetString()), "Corrupt file missing closing '}' in " + path);
    CTestBase object;
    object.m_Count = 99;
    EXPECT_FALSE(object.ReadFromFile(PathOf("Missing.txt").c_str(), 0));
    EXPECT_EQ(object.m_Count, 3);
}

// The writer refuses a line past the longest the reader reads, and the
// reader takes the longest it writes; a longer one from elsewhere is damage.
TEST_F(ObjectFiles, TheLongestLineWrittenReadsBackAndOneMoreIsRefused)
{
    const std::string path = PathOf("Long.txt");
    const int length = int(kMaxObjectTextLine - std::strlen("\tName="));
    CTestBase object;
    object.m_Name.SetText(std::string(size_t(length), 'v').c_str(), length);
    ASSERT_TRUE(object.SaveToFile(path.c_str(), 0));
    const std::string saved = ReadBytes(path);
    object.m_Name.AppendChar('v');
    EXPECT_FALSE(object.SaveToFile(path.c_str(), 0));
    EXPECT_EQ(ReadBytes(path), saved) << "the file stays as it was";
    CJString error;
    std::unique_ptr<CObject> loaded(
        LoadObjectFromFile(path.c_str(), 0, IdMode::WithoutIds, ReportUnknownClass::Quiet, &error));
    ASSERT_NE(loaded, nullptr) << error.GetString();
    EXPECT_EQ(static_cast<CTestBase*>(loaded.get())->m_Name.GetLength(), length);
    std::filesystem::resize_file(path, saved.find("\tName=") + kMaxObjectTextLine);
    std::ofstream(path, std::ios::binary | std::ios::app) << "vv\r\n}\r\n";
    EXPECT_EQ(LoadObjectFromFile(path.c_str(), 0, IdMode::WithoutIds, ReportUnknownClass::Quiet, &error), nullptr);
    EXPECT_EQ(std::string(error.GetString()), "Corrupt file missing closing '}' in " + path);
}

// A save may write over only what was read: a file is read whole when no line
// was passed over, taken in part or given twice, and nothing follows the
// object. A start reads such a file as it always did.
TEST_F(ObjectFiles, AFileIsReadWholeOnlyWhenEveryLineIsTaken)
{
    RegisterScalarClasses();
    RegisterContainerClasses();
    CScalarHolder scalars;
    scalars.m_Count = 61;
    scalars.m_Speed = 40.0f;
    const std::string numbers = WriteToText(&scalars, IdMode::WithoutIds);
    CTestHolder holder;
    HolderArray("Sizes")->ArrayProperty_SetCount(&holder, 2);
    const std::string lists = WriteToText(&holder, IdMode::WithoutIds);
    const std::string path = PathOf("Levels.Object.txt");
    auto readWhole = [&](const std::string& bytes) {
        WriteBytes(path, bytes);
        return std::unique_ptr<CObject>(ReadObjectFileWhole(path.c_str())) != nullptr;
    };
    auto edit = [](std::string text, const std::string& from, const std::string& to) {
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    EXPECT_TRUE(readWhole(numbers));
    EXPECT_TRUE(readWhole(lists));
    EXPECT_TRUE(readWhole(numbers + "\r\n \t\r\n"));
    EXPECT_TRUE(readWhole(edit(lists, "\t\tGreen=none", "\t\tGreen=UNICODE-HEX<4100>")));
    EXPECT_TRUE(readWhole(edit(numbers, "Lives=3", "Lives=Unlimited"))) << "a whole number's named value";
    EXPECT_TRUE(readWhole(edit(numbers, "Ratio=0.5", "Ratio=Never"))) << "a decimal's named value";
    EXPECT_TRUE(readWhole("\xEF\xBB\xBF" + numbers)) << "an editor's byte-order mark is no part of the class name";
    CJString error;
    std::unique_ptr<CObject> started(
        LoadObjectFromFile(path.c_str(), 0, IdMode::WithoutIds, ReportUnknownClass::Quiet, &error));
    ASSERT_NE(started, nullptr) << error.GetString();
    EXPECT_EQ(static_cast<CScalarHolder*>(started.get())->m_Count, 61);

    struct SPassedOver {
        const char* what;
        std::string text;
        std::string line; // the first line not taken, without its blanks: the last so written
    };
    const SPassedOver passedOver[] = {
        {"text after the last brace", numbers + "CScalarHolder\r\n{\r\n\tCount=2\r\n}\r\n", "CScalarHolder"},
        {"a key given twice", edit(numbers, "\tCount=61", "\tCount=62\r\n\tCount=61"), "Count=61"},
        {"a list item given twice", edit(lists, "\t\tGreen=", "\t\tGreen=x\r\n\t\tGreen="), "Green=none"},
        {"a number read in part", edit(numbers, "Count=61", "Count=6O"), "Count=6O"},
        {"no number", edit(numbers, "Uint=7", "Uint=seven"), "Uint=seven"},
        {"a decimal read in part", edit(numbers, "Speed=40", "Speed=4O"), "Speed=4O"},
        {"a flag in words", edit(numbers, "Enabled=1", "Enabled=yes"), "Enabled=yes"},
        {"a bit in words", edit(numbers, "Visible=1", "Visible=on"), "Visible=on"},
        {"a list block without its brace", edit(lists, "Sizes=Array\r\n\t{\r\n", "Sizes=Array\r\n"), "Item Count=2"},
        {"an unknown scoped name", edit(numbers, "\tCount=61", "\tOld::Cuont=62\r\n\tCount=61"), "Old::Cuont=62"},
        {"an unknown element name", edit(lists, "\t\tSize=", "\t\tSzie=1\r\n\t\tSize="), "Szie=1"},
        {"a list line naming no item", edit(lists, "\t\tGreen=", "\t\tPurple=p\r\n\t\tGreen="), "Purple=p"},
        {"a long line without \"=\"", edit(numbers, "\tCount=61", "\t" + std::string(4000, 'x') + "\r\n\tCount=61"),
         std::string(4000, 'x')},
        {"a list block given twice",
         edit(lists, "\tSizes=Array", "\tSizes=Array\r\n\t{\r\n\t\tSize=5\r\n\t}\r\n\tSizes=Array"), "Sizes=Array"},
        {"a named list block given twice",
         edit(lists, "\tLabels=Array", "\tLabels=Array\r\n\t{\r\n\t}\r\n\tLabels=Array"), "Labels=Array"},
        {"a list item above the block naming it", edit(lists, "\tLabels=Array", "\tGreen=x\r\n\tLabels=Array"),
         "Green=none"},
        {"an element above the block", edit(lists, "\tSizes=Array", "\tSize=5\r\n\tSizes=Array"), "Sizes=Array"},
        {"a value under a named list's own name", edit(lists, "\tLabels=Array", "\tLabels=x\r\n\tLabels=Array"),
         "Labels=x"},
        {"a whole number without a digit", edit(numbers, "Count=61", "Count="), "Count="},
        {"a decimal without a digit", edit(numbers, "Speed=40", "Speed=-"), "Speed=-"},
        {"a hex text with an odd digit", edit(lists, "\t\tGreen=none", "\t\tGreen=UNICODE-HEX<41004>"),
         "Green=UNICODE-HEX<41004>"},
        {"a hex text with half a character", edit(lists, "\t\tGreen=none", "\t\tGreen=UNICODE-HEX<410042>"),
         "Green=UNICODE-HEX<410042>"},
        {"a hex text in a block with an odd digit",
         edit(lists, "\t\tGreen=none", "\t\tGreen=multi-line\r\n\t\t{\r\nUNICODE-HEX<41004>\r\n\t\t}"),
         "Green=multi-line"},
    };
    // Named by its number and its text, cut short: the designer finds it in
    // a file of thousands of lines.
    for (const auto& [what, text, line] : passedOver) {
        EXPECT_FALSE(readWhole(text)) << what << "\n" << text;
        size_t number = 0;
        size_t at = 0;
        std::istringstream lines(text);
        for (std::string read; std::getline(lines, read);) {
            ++at;
            const size_t first = read.find_first_not_of(" \t");
            const size_t last = read.find_last_not_of(" \t\r");
            if (first != std::string::npos && read.substr(first, last - first + 1) == line)
                number = at;
        }
        ASSERT_NE(number, 0u) << what;
        const std::string shown = line.size() > 60 ? line.substr(0, 60) + "..." : line;
        CJString why;
        EXPECT_EQ(std::unique_ptr<CObject>(ReadObjectFileWhole(path.c_str(), &why)), nullptr);
        EXPECT_EQ(std::string(why.GetString()),
                  "it cannot be read whole: line " + std::to_string(number) + " is not understood (\"" + shown + "\")")
            << what;
    }
    // The same line in a file with lone CR ends, and in UTF-16.
    const std::string inPart = edit(numbers, "Count=61", "Count=6O");
    const std::string inPartLine = "it cannot be read whole: line "
        + std::to_string(std::count(inPart.begin(), inPart.begin() + inPart.find("Count=6O"), '\n') + 1)
        + " is not understood (\"Count=6O\")";
    std::string loneCr = inPart;
    loneCr.erase(std::remove(loneCr.begin(), loneCr.end(), '\n'), loneCr.end());
    std::string wide = "\xFF\xFE";
    for (char c : inPart)
        wide += std::string{c, '\0'};
    for (const std::string& form : {loneCr, wide}) {
        WriteBytes(path, form);
        CJString why;
        EXPECT_EQ(std::unique_ptr<CObject>(ReadObjectFileWhole(path.c_str(), &why)), nullptr);
        EXPECT_EQ(std::string(why.GetString()), inPartLine);
    }
    // A file read whole says nothing.
    WriteBytes(path, numbers);
    CJString why("unchanged");
    EXPECT_NE(std::unique_ptr<CObject>(ReadObjectFileWhole(path.c_str(), &why)), nullptr);
    EXPECT_STREQ(why.GetString(), "unchanged");

    WriteBytes(path, edit(numbers, "Count=61", "Count=6O"));
    started.reset(LoadObjectFromFile(path.c_str(), 0, IdMode::WithoutIds, ReportUnknownClass::Quiet, &error));
    ASSERT_NE(started, nullptr) << error.GetString();
    EXPECT_EQ(static_cast<CScalarHolder*>(started.get())->m_Count, 6);
}

TEST_F(ObjectFiles, WriteProtectedFilesAreNotSaved)
{
    const std::string path = PathOf("Locked.txt");
    WriteBytes(path, "old");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    CTestBase object;
    EXPECT_FALSE(object.SaveToFile(path.c_str(), 0));
    EXPECT_EQ(ReadBytes(path), "old");
}

TEST_F(ObjectFiles, WritesAndReadsObjectsInMemory)
{
    CTestDerived* root = MakeLinked();
    uint32_t size = 0;
    uint8_t* data = WriteObjectToMemory(root, size);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), WriteToText(root, IdMode::WithoutIds));
    EXPECT_EQ(GetClassOfObjectInMemory(data, size), CTestDerived::SGetClassInfo());
    std::free(data);
    EXPECT_EQ(ReadObjectFromMemory("CUnknownThing\r\n{\r\n}\r\n", 21), nullptr);
    delete root;
}

} // namespace
