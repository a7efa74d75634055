// The refused-move message: found by id whatever its case, its variables
// filled in, shown for the options' seconds and not drawn on the frame it
// was raised, on the HUD layer of a level.
#include "BusinessLevelTest.h"

#include "game/business/CIllegalMoveDisplay.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPlayfield.h"
#include "images/CFrame.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/SequenceTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

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

namespace {

// The display as the HUD layer of a level updates and draws it: a red box
// and, picked by the message text, a green picture.
class IllegalMovesOnTheHud : public BusinessLevelTest {
protected:
    void SetUp() override
    {
        BusinessLevelTest::SetUp();
        WriteFrame("Green", 0xFF00FF00u);
        WriteBytes("Resources/Frame Overlay Options/Refusal.FOO",
                   "CFrameOverlayOptions\r\n{\r\nText Overlays=Array\r\n{\r\nItem Count=2\r\n"
                   "Array Item=CBoxFrameOverlay\r\n{\r\nPositon=1,1\r\nSize=2,2\r\nOutline Width=0\r\n"
                   "Fill Color=255,0,0,255\r\n}\r\n"
                   "Array Item=CArrayOfFramesFrameOverlayOverlay\r\n{\r\nArray Index=%s[Message]\r\n"
                   "Frames Array=Array\r\n{\r\nFrame=Green\r\n}\r\nPosition=8,8\r\n}\r\n}\r\n}\r\n");
        WriteObject("Illegal Move Options.Object.txt", "CIllegalMoveMessageOptions",
                    "Frame Overlay Options=Refusal\nSeconds To Show Message=1\nMessage List=Array\n{\n"
                    "\tMessage=CIllegalMoveMessage\n\t{\n\t\tMessage ID=CantBuildHereWorking\n\t\tMessage=1\n\t}\n}\n");
        ASSERT_NE(StartLevel(), nullptr);
        m_Hud = m_Level->GetPlayfield().FindLayer("HUD");
        ASSERT_NE(m_Hud, nullptr);
        m_Canvas = CFrame::MakeOwned(16, 16, 32);
    }
    // Red at the box, green at the picture: what the player sees.
    std::pair<bool, bool> Seen()
    {
        m_Canvas->Clear();
        m_Hud->Draw(*m_Canvas);
        CColor box;
        CColor picture;
        m_Canvas->GetPixel(1, 1, box);
        m_Canvas->GetPixel(9, 9, picture);
        return {box.GetRed() == 255 && box.GetAlpha() == 255, picture.GetGreen() == 255 && picture.GetAlpha() == 255};
    }

    CPlayfieldLayer* m_Hud = nullptr;
    std::unique_ptr<CFrame> m_Canvas;
};

TEST_F(IllegalMovesOnTheHud, AMessageDrawsFromTheUpdateAfterItsShowUntilItsSecondsRunOut)
{
    const std::pair<bool, bool> nothing{false, false};
    const std::pair<bool, bool> shown{true, true};
    EXPECT_EQ(Seen(), nothing);

    // A lot refusing a move shows its message.
    GetIllegalMoveDisplay().Show("cantbuildhereworking");
    EXPECT_EQ(Seen(), nothing) << "not drawn on the frame it was raised";
    m_Hud->Update(1.0f / 60.0f);
    EXPECT_EQ(Seen(), shown) << "the text \"1\" picks the first picture";
    m_Hud->Update(0.5f);
    EXPECT_EQ(Seen(), shown);
    m_Hud->Update(0.5f);
    EXPECT_EQ(Seen(), nothing) << "gone after the options' second";

    // A mouse press (the game hides it then) hides it at once.
    GetIllegalMoveDisplay().Show("CantBuildHereWorking");
    m_Hud->Update(1.0f / 60.0f);
    ASSERT_EQ(Seen(), shown);
    GetIllegalMoveDisplay().Hide();
    EXPECT_EQ(Seen(), nothing);
}

} // namespace
