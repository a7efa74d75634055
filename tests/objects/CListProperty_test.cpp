#include "objects/CListProperty.h"

#include "TestClasses.h"
#include "foundation/CurrentLoadFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using CKindProperty = CMemberProperty<CScalarHolder, CListProperty>;

// A fresh list property over its own list, so options stay local.
struct ListFixture : testing::Test {
    void SetUp() override
    {
        RegisterScalarClasses();
        list.Add("Red");
        list.Add("Green");
        list.Add("Paint/Blue");
        property.SetList(&list);
        property.SetDefaultName("Green");
    }
    CDynamicList list;
    CKindProperty property{&CScalarHolder::m_Kind, "Colour", 0};
    CScalarHolder holder;
};

TEST_F(ListFixture, OptionsResolveMissingNamesInOrder)
{
    property.SetAcceptIndexText(true);
    property.SetValueFromText(&holder, CJString("2"), nullptr);
    EXPECT_EQ(holder.m_Kind, 2);
    property.SetValueFromText(&holder, CJString("blue"), nullptr); // file-name part, any case
    EXPECT_EQ(holder.m_Kind, 2);

    property.SetUseDefaultWhenMissing(true);
    property.SetValueFromText(&holder, CJString("3"), nullptr); // not below the count
    EXPECT_EQ(holder.m_Kind, 1);

    property.SetAddMissingNames(true);
    property.SetValueFromText(&holder, CJString("Violet"), nullptr);
    EXPECT_EQ(holder.m_Kind, 3);
    EXPECT_EQ(list.GetCount(), 4);
}

TEST_F(ListFixture, WritesNamesOrOnlyTheirFileNamePartAndNothingOutOfRange)
{
    CJString text;
    holder.m_Kind = 2;
    property.GetValueText(&holder, text);
    EXPECT_STREQ(text.GetString(), "Paint/Blue");
    property.SetWriteFileNameOnly(true);
    property.GetValueText(&holder, text);
    EXPECT_STREQ(text.GetString(), "Blue");
    for (int32_t outside : {-1, 3}) {
        holder.m_Kind = outside;
        property.GetValueText(&holder, text);
        EXPECT_TRUE(text.IsEmpty());
    }
    property.SetToDefault(&holder);
    EXPECT_EQ(holder.m_Kind, 1);
    EXPECT_TRUE(property.IsDefault(&holder));
}

TEST_F(ListFixture, MissingNameIsFatalAndNamesTheProperty)
{
    EXPECT_EXIT(property.SetValueFromText(&holder, CJString("Mauve"), nullptr), testing::ExitedWithCode(255),
                "looking for is \"Mauve\"(.|\r|\n)*referenced by \"Program.EXE:Colour\"");
    EXPECT_STREQ(GetCurrentLoadFileName().GetString(), "Program.EXE");
}

TEST_F(ListFixture, MissingDefaultIsReportedAgainstTheProgram)
{
    property.SetDefaultName("Mauve");
    EXPECT_EXIT(property.SetToDefault(&holder), testing::ExitedWithCode(255),
                "referenced by \"The Program EXE \\(C\\+\\+ Source Code's default value\\):Colour\"");
}

TEST(ListProperty, QuietStreamsRecordAMissingNameAndStoreNoItem)
{
    RegisterScalarClasses();
    CJString error;
    std::unique_ptr<CObject> object(
        ReadFromText("CScalarHolder\r\n{\r\nKind=Flying\r\n}\r\n", IdMode::WithoutIds, &error));
    EXPECT_EQ(object, nullptr); // a recorded error fails the load
    EXPECT_STREQ(error.GetString(), "Fatal not found when looking for Flying");

    CScalarHolder holder;
    CObjectStream quiet;
    quiet.SetQuiet(true);
    SetText(holder, "Kind", "Idle");
    holder.GetClassInfo()->FindProperty("Kind")->SetValueFromText(&holder, CJString("Flying"), &quiet);
    EXPECT_EQ(holder.m_Kind, -1);
    EXPECT_EQ(TextOf(holder, "Kind"), "");
    EXPECT_STREQ(quiet.GetErrorFileName().GetString(), "Program.EXE:Kind");
}

int32_t FindHolderEntry(CVirtualArray&, CObject*)
{
    return 1; // the owner lives in the file-list entry "Green"
}

TEST_F(ListFixture, IndexZeroReadFromAFileFollowsTheOwnersEntry)
{
    CDynamicList files;
    files.Add("Red");
    files.Add("Green");
    property.SetOwnerFileList(&files, &FindHolderEntry);
    CObjectStream stream;
    property.SetValueFromText(&holder, CJString("Red"), &stream);
    EXPECT_EQ(holder.m_Kind, 1);
    property.SetValueFromText(&holder, CJString("Red"), nullptr); // typed in the editor
    EXPECT_EQ(holder.m_Kind, 0);
}

} // namespace
