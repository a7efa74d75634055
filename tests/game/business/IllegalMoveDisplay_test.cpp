// The refused-move message: found by id whatever its case, its variables
// filled in, shown for the options' seconds and not drawn on the frame it
// was raised.
#include "game/business/CIllegalMoveDisplay.h"
#include "game/world/CGeneralObjects.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/SequenceTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class IllegalMoves : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        GetIllegalMoveDisplay() = CIllegalMoveDisplay();
    }
    void TearDown() override
    {
        GetIllegalMoveDisplay() = CIllegalMoveDisplay();
        GetGeneralObjects().RemoveAll();
        GetGeneralObjects().SetSource(nullptr, "Nowhere", 0);
        SequenceFolderTest::TearDown();
    }

    void WriteOptions(const std::string& body)
    {
        WriteBytes("Resources/Illegal Move Options.Object.txt",
                   "CIllegalMoveMessageOptions\r\n{\r\n" + body + "}\r\n");
        InitGeneralObjects();
    }
};

const char* const kTwoMessages = "\tSeconds To Show Message=2\r\n"
                                 "\tMessage List=Array\r\n\t{\r\n"
                                 "\t\tMessage=CIllegalMoveMessage\r\n\t\t{\r\n"
                                 "\t\t\tMessage ID=CantMoveInWrongPart\r\n"
                                 "\t\t\tMessage=Wanted %s[DesiredPart], got %s[ActualPart]\r\n\t\t}\r\n"
                                 "\t\tMessage=CIllegalMoveMessage\r\n\t\t{\r\n"
                                 "\t\t\tMessage ID=NoBulldozerEmptyLot\r\n"
                                 "\t\t\tMessage=Nothing to clear\r\n\t\t}\r\n"
                                 "\t}\r\n";

TEST_F(IllegalMoves, TheMessageIsFoundByIdWhateverItsCaseWithItsVariables)
{
    WriteOptions(kTwoMessages);
    CIllegalMoveDisplay& display = GetIllegalMoveDisplay();

    EXPECT_TRUE(display.Show("nobulldozeremptylot"));
    EXPECT_STREQ(display.GetText().GetString(), "Nothing to clear");
    EXPECT_EQ(display.GetSecondsShown(), 0.0f);

    CTextSubstitutionList values;
    values.AddText("%s[DesiredPart]", CJString("Porch"));
    values.AddText("%s[ActualPart]", CJString("Garage"));
    EXPECT_TRUE(display.Show("CANTMOVEINWRONGPART", &values));
    EXPECT_STREQ(display.GetText().GetString(), "Wanted Porch, got Garage");
}

TEST_F(IllegalMoves, AnUnknownIdShowsNothingAndKeepsTheTiming)
{
    WriteOptions(kTwoMessages);
    CIllegalMoveDisplay& display = GetIllegalMoveDisplay();
    ASSERT_TRUE(display.Show("NoBulldozerEmptyLot"));
    display.Update(0.5f);

    EXPECT_FALSE(display.Show("CantDropOnCustomer"));
    EXPECT_TRUE(display.GetText().IsEmpty());
    EXPECT_EQ(display.GetSecondsShown(), 0.5f);
    EXPECT_FALSE(display.Show(nullptr));
}

TEST_F(IllegalMoves, AMessageShowsForItsSecondsAndASecondOneRestartsThem)
{
    WriteOptions(kTwoMessages);
    CIllegalMoveDisplay& display = GetIllegalMoveDisplay();
    display.Update(1.0f);
    EXPECT_EQ(display.GetSecondsShown(), -1.0f) << "nothing shown stays nothing";

    ASSERT_TRUE(display.Show("NoBulldozerEmptyLot"));
    display.Update(1.5f);
    ASSERT_TRUE(display.Show("NoBulldozerEmptyLot"));
    EXPECT_EQ(display.GetSecondsShown(), 0.0f);
    display.Update(1.5f);
    EXPECT_EQ(display.GetSecondsShown(), 1.5f);
    display.Update(0.5f);
    EXPECT_EQ(display.GetSecondsShown(), -1.0f) << "gone once the 2 seconds are reached";

    ASSERT_TRUE(display.Show("NoBulldozerEmptyLot"));
    display.Hide();
    EXPECT_EQ(display.GetSecondsShown(), -1.0f);
}

TEST_F(IllegalMoves, WithoutOptionsNothingIsShown)
{
    InitGeneralObjects();
    EXPECT_FALSE(GetIllegalMoveDisplay().Show("NoBulldozerEmptyLot"));
    GetIllegalMoveDisplay().Update(20.0f);
    EXPECT_EQ(GetIllegalMoveDisplay().GetSecondsShown(), -1.0f);
}

} // namespace
