#include "foundation/CStaticContentsList.h"

#include "foundation/FatalError.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const CCodeTableRow kStates[] = {
    {10, "Idle", "Waiting"},
    {11, "Building", nullptr},
    {12, "Art/Painting", "Decorating"},
    {},
};

TEST(CodeTable, FindsByNameThenAlternativeNameThenFileName)
{
    CCodeTableList list(kStates);
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.Find("building"), 1);
    EXPECT_EQ(list.Find("IDLE", 1), 0);
    EXPECT_EQ(list.Find("waiting"), 0);
    EXPECT_EQ(list.Find("Decorating", 0), 2);
    EXPECT_EQ(list.Find("Other/painting"), 2);
    EXPECT_EQ(list.Find("Sleeping"), -1);
    EXPECT_EQ(list.GetValue(2), 12u);
    EXPECT_EQ(list.GetItemNameString(1).Compare("Building"), 0);
}

TEST(CodeTable, HintIsTakenOnlyWhenItNamesTheKey)
{
    static const CCodeTableRow kTwins[] = {{0, "Same", nullptr}, {1, "SAME", nullptr}, {}};
    CCodeTableList list(kTwins);
    EXPECT_EQ(list.Find("same", 1), 1);
    EXPECT_EQ(list.Find("same", 9), 0);
    EXPECT_EQ(list.Find("same", -3), 0);
}

TEST(CodeTable, WithoutAlternativeColumnOnlyNamesMatch)
{
    // A row layout of its own: name, then value; no alternative names.
    struct Row {
        const char* name;
        uint32_t value;
    };
    static const Row kRows[] = {{"Optional", 7}, {"Required", 9}, {nullptr, 0}};
    CStaticContentsList list(&kRows[0].name, nullptr, &kRows[0].value, sizeof(Row));
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.Find("required"), 1);
    EXPECT_EQ(list.GetValue(1), 9u);
    EXPECT_EQ(list.GetAlternativeName(0), nullptr);
    EXPECT_EQ(list.Find("Waiting"), -1);
}

TEST(CodeTable, JStringLookupIsNotOfferedButTheReportPathSearchesByName)
{
    const CScopedThrowingFatal throwing;
    CCodeTableList list(kStates);
    EXPECT_EQ(list.Find(CJString("Idle")), -1);
    EXPECT_EQ(list.FindOrReportMissing(CJString("building")), 1);
    EXPECT_EQ(list.FindOrReportMissing(CJString("Waiting")), 0);
    EXPECT_EQ(list.FindOrReportMissing("Idle"), 0);
    try {
        list.FindOrReportMissing(CJString("Sleeping"));
        ADD_FAILURE() << "no report";
    } catch (const CFatalErrorException& error) {
        EXPECT_EQ(error.caption, "Fatal Not Found Error");
        EXPECT_NE(
            error.message.find("\"Sleeping\" is missing:\r\n 0) Idle\r\n 1) Building\r\n 2) Art/Painting\r\n\r\n"),
            std::string::npos);
        // The report keeps the explanation of a CJString key.
        EXPECT_NE(error.message.find("a new program EXE"), std::string::npos);
    }
}

} // namespace
