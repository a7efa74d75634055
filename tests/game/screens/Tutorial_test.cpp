// Tutorial pop-ups on a running level: a level script opens a message once
// per player (Shift shows it again), the message tells the level, closes on
// its success or failure condition and opens what follows (success first,
// follow-ups never skipped), the end of play closes all; the
// pop-up draws its arrows and its overlay with the message and the decade;
// the history travels in "Stats.dat".
#include "../business/BonusTown.h"

#include "game/screens/CStats.h"
#include "game/screens/CTutorialPopUp.h"
#include "game/scripting/CExpression.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CTutorial.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CSequenceList.h"
#include "shell/CKeyboardState.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace bonus_town;

namespace {

constexpr uint32_t kRightShift = 54;

class Tutorials : public BonusTown {
protected:
    void SetUp() override
    {
        BonusTown::SetUp();
        RegisterTutorialClasses();
        WriteSequence("Arrow", 16, 4);
        WriteFrame("Green", 0xFF00FF00u);
        WriteFrame("Blue", 0xFF0000FFu);
        // A green box where the message reads "1", a blue one where the
        // decade reads "2".
        WriteBytes("Resources/Frame Overlay Options/Tutorial Pop Up.FOO",
                   "CFrameOverlayOptions\r\n{\r\nText Overlays=Array\r\n{\r\nItem Count=2\r\n"
                   "Array Item=CArrayOfFramesFrameOverlayOverlay\r\n{\r\nArray Index=%s[Message]\r\n"
                   "Frames Array=Array\r\n{\r\nFrame=Green\r\n}\r\nPosition=0,0\r\n}\r\n"
                   "Array Item=CArrayOfFramesFrameOverlayOverlay\r\n{\r\nArray Index=%s[Decade]\r\n"
                   "Frames Array=Array\r\n{\r\nFrame=Green\r\nFrame=Blue\r\n}\r\nPosition=8,0\r\n}\r\n}\r\n}\r\n");
        WriteObject("Tutorial Display Options.Object.txt", "CTutorialDisplayOptions",
                    "Frame Overlay Options=Tutorial Pop Up\nArrow Sequence=Arrow");
        WriteObject("!None.Tutorial.txt", "CTutorial");
        WriteObject("Build.Tutorial.txt", "CTutorial",
                    "Text=Drag the walls\nSuccess Message To Wait For=Walls Work Finished\n"
                    "Success Expression To Wait For=0\nNext Tutorial After Success=Well Done\n"
                    "Failure Message To Wait For=Walls Refused\n"
                    "Failure Expression To Wait For=0\nTutorial After Failure=Try Again");
        WriteObject("Try Again.Tutorial.txt", "CTutorial", "Text=Once more");
        WriteObject("Welcome.Tutorial.txt", "CTutorial",
                    "Text=1\nMessage To Send=Disable Customers\nArrow Point=40,40\nArrow Angle=90\n"
                    "Arrow 2 Angle=45");
        WriteObject("Well Done.Tutorial.txt", "CTutorial",
                    "Text=Well done\nSuccess Message To Wait For=Walls Work Finished\n"
                    "Next Tutorial After Success=Try Again");
        // The level started before these files were written.
        GetGeneralObjects().RemoveAll();
        GetGeneralObjects().SetSource(nullptr, "Resources", 0);
        GetFrameLibrary().RemoveAll();
        GetFrameLibrary().SetSource(nullptr, "Resources/Frames", 0);
        GetSequenceList().RemoveAll();
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetFrameOverlayOptionsList().RemoveAll();
        GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
        GetTutorialList().RemoveAll();
        GetTutorialList().SetSource(nullptr, "Resources", 0);
        ASSERT_EQ(GetTutorialList().GetCount(), 5);
        ASSERT_NE(CStats::SGetInstance().GetCurrentPlayer(), nullptr);
        m_Level->m_CustomerSpawningDisabled = false;
    }
    void TearDown() override
    {
        CKeyboardState::SGetInstance().ResetForTesting();
        CStats::SShutdown();
        GetTutorialList().RemoveAll();
        GetTutorialList().SetSource(nullptr, "Nowhere", 0);
        BonusTown::TearDown();
    }
    static int32_t Tutorial(const char* name) { return GetTutorialList().Find(name); }
    static CTutorial& Record(const char* name) { return *GetTutorialList().GetObject(Tutorial(name)); }
    static void SetExpression(CExpression* expression, float value)
    {
        static_cast<CExpressionNumber*>(expression)->m_Value = value;
    }
    // The names of the open pop-ups, oldest first.
    std::vector<std::string> Open()
    {
        std::vector<std::string> names;
        CPlayfieldLayer* effects = Playfield().FindLayer("Effects");
        for (uint32_t i = 0; effects && i < effects->GetSpriteCount(); ++i)
            if (CSpriteAI* ai = effects->GetSprite(i)->FindAI(CTutorialPopUpSpriteAI::SGetClassInfo()))
                names.push_back(GetTutorialList()
                                    .GetItemNameString(static_cast<CTutorialPopUpSpriteAI*>(ai)->m_Tutorial)
                                    .GetString());
        return names;
    }
    std::vector<int32_t> Seen()
    {
        CPropertyArray<int32_t>& seen = GetTutorialHistory()->m_TutorialIndexesHaveBeenDisplayed;
        std::vector<int32_t> out;
        for (uint32_t i = 0; i < seen.GetCount(); ++i)
            out.push_back(seen[i]);
        return out;
    }
    // One frame of the playfield.
    void Step() { Playfield().Update(1.0f / 60.0f); }
    void Send(const char* name)
    {
        CMessage message = CMessage::CMessageByName(name);
        Playfield().BroadcastMessage(message);
    }
    // A level script's step, run once; true when it reported itself done.
    bool RunPlugIn(const char* name, bool skip)
    {
        CShowTutorialPopUpSpritePlugIn plugIn;
        plugIn.m_Tutorial = Tutorial(name);
        plugIn.m_SkipIfShownBefore = skip;
        CPlugInUpdateRecord record;
        plugIn.Update(record);
        return record.done;
    }
};

using Names = std::vector<std::string>;

TEST_F(Tutorials, ASkippingScriptShowsItsMessageOncePerPlayerUnlessShiftIsHeld)
{
    EXPECT_TRUE(RunPlugIn("Welcome", true));
    EXPECT_EQ(Open(), Names{"Welcome"});
    EXPECT_TRUE(m_Level->m_CustomerSpawningDisabled) << "its message reached the level";
    EXPECT_EQ(Seen(), std::vector<int32_t>{Tutorial("Welcome")});
    EXPECT_TRUE(CStats::SGetInstance().NeedsSave());

    m_Level->m_CustomerSpawningDisabled = false;
    EXPECT_TRUE(RunPlugIn("Welcome", true)) << "done even when nothing opens";
    EXPECT_EQ(Open(), Names{"Welcome"});
    EXPECT_FALSE(m_Level->m_CustomerSpawningDisabled) << "a skipped message sends nothing";

    CKeyboardState::SGetInstance().OnKeyDown(kRightShift);
    EXPECT_TRUE(RunPlugIn("Welcome", true));
    EXPECT_EQ(Open(), (Names{"Welcome", "Welcome"})) << "nothing closes the one before";
    EXPECT_TRUE(m_Level->m_CustomerSpawningDisabled);
    EXPECT_EQ(Seen(), std::vector<int32_t>{Tutorial("Welcome")}) << "recorded once";
    CKeyboardState::SGetInstance().OnKeyUp(kRightShift);

    // A script that does not skip shows it every time.
    RunPlugIn("Welcome", false);
    EXPECT_EQ(Open().size(), 3u);

    // None and indexes past the list open nothing.
    for (int32_t index : {0, -1, 5, 1000})
        ShowTutorial(index, false);
    EXPECT_EQ(Open().size(), 3u);
    EXPECT_EQ(Seen(), std::vector<int32_t>{Tutorial("Welcome")});
}

TEST_F(Tutorials, SuccessWinsAFrameWhereBothConditionsHoldAndOpensItsFollowUp)
{
    ShowTutorial(Tutorial("Build"), false);
    for (int i = 0; i < 5; ++i)
        Step();
    EXPECT_EQ(Open(), Names{"Build"}) << "waits while neither holds";

    SetExpression(Record("Build").m_SuccessExpressionToWaitFor, 1.0f);
    SetExpression(Record("Build").m_FailureExpressionToWaitFor, 1.0f);
    Step();
    EXPECT_EQ(Open(), Names{"Well Done"});
    EXPECT_EQ(Seen(), (std::vector<int32_t>{Tutorial("Build"), Tutorial("Well Done")}));

    // The failure alone opens its own follow-up.
    SetExpression(Record("Build").m_SuccessExpressionToWaitFor, 0.0f);
    ShowTutorial(Tutorial("Build"), false);
    Step();
    EXPECT_EQ(Open(), (Names{"Well Done", "Try Again"}));
}

TEST_F(Tutorials, AWaitedMessageClosesThePopUpAndItsFollowUpShowsEvenWhenSeenBefore)
{
    // Without conditions a message stays open until the end of play, which
    // opens no follow-up.
    ShowTutorial(Tutorial("Well Done"), false);
    ShowTutorial(Tutorial("Build"), false);
    for (int i = 0; i < 600; ++i)
        Step();
    ASSERT_EQ(Open(), (Names{"Well Done", "Build"}));
    CompletePlayerInteraction();
    Step();
    ASSERT_EQ(Open(), Names{});

    ShowTutorial(Tutorial("Build"), false);
    Send("walls work finished"); // names compare without regard to case
    Send("Walls Refused");       // too late: the pop-up is closing
    Step();
    EXPECT_EQ(Open(), Names{"Well Done"}) << "a follow-up never skips, nor answers the message that opened it";
    Send("Walls Work Finished");
    Step();
    EXPECT_EQ(Open(), Names{"Try Again"}) << "the next delivery is its own";

    ShowTutorial(Tutorial("Build"), false);
    Send("Walls Refused");
    Step();
    EXPECT_EQ(Open(), (Names{"Try Again", "Try Again"}));
}

TEST_F(Tutorials, ThePopUpDrawsItsArrowsAndItsOverlayWithTheMessageAndTheDecade)
{
    auto canvas = CFrame::MakeOwned(64, 64, 32);
    auto seen = [&](int x, int y) {
        CColor colour;
        canvas->GetPixel(x, y, colour);
        return colour.GetAlpha() == 255;
    };
    ShowTutorial(Tutorial("Welcome"), false);
    canvas->Clear();
    Playfield().FindLayer("Effects")->Draw(*canvas);
    // The 16x4 arrow, centred on its point, turned 90 degrees: upright.
    EXPECT_TRUE(seen(40, 46));
    EXPECT_FALSE(seen(46, 40));
    // The second arrow stands at (0, 0): not drawn, though its angle is set.
    EXPECT_FALSE(seen(4, 4)) << "on the 45 degree line through (0, 0)";
    // "%s[Message]" is the text "1": the first frame, green; the period
    // index 0 makes "%s[Decade]" 1: green too.
    CColor message;
    canvas->GetPixel(1, 1, message);
    EXPECT_EQ(message.GetGreen(), 255);
    CColor decade;
    canvas->GetPixel(9, 1, decade);
    EXPECT_EQ(decade.GetGreen(), 255);
    // The period index 1: the decade's second frame, blue.
    m_Level->m_Period = 1;
    canvas->Clear();
    Playfield().FindLayer("Effects")->Draw(*canvas);
    canvas->GetPixel(9, 1, decade);
    EXPECT_EQ(decade.GetBlue(), 255);
    EXPECT_EQ(decade.GetGreen(), 0);

    // Closed, it is gone before the update that removes it.
    CPlayfieldLayer* effects = Playfield().FindLayer("Effects");
    for (uint32_t i = 0; i < effects->GetSpriteCount(); ++i)
        effects->GetSprite(i)->MarkForDeletion();
    canvas->Clear();
    effects->Draw(*canvas);
    EXPECT_FALSE(seen(9, 1));
}

TEST_F(Tutorials, TheLevelTextStepRewritesTheIntroductionEveryUpdateWithoutFinishing)
{
    CSetLevelTextSpritePlugIn plugIn;
    plugIn.ResetToDefaults();
    EXPECT_EQ(std::string(plugIn.m_LevelText.GetText().GetString()), "New version of text");
    plugIn.m_LevelText.SetText("Build three houses");
    CPlugInUpdateRecord record;
    plugIn.Update(record);
    EXPECT_FALSE(record.done);
    EXPECT_EQ(std::string(m_Level->m_LevelIntro.GetString()), "Build three houses");
    m_Level->m_LevelIntro = "changed";
    plugIn.Update(record);
    EXPECT_EQ(std::string(m_Level->m_LevelIntro.GetString()), "Build three houses");
}

TEST_F(Tutorials, TheHistoryTravelsWithTheProfileInStatsDat)
{
    ShowTutorial(Tutorial("Welcome"), false);
    ShowTutorial(Tutorial("Build"), false);
    ASSERT_TRUE(CStats::SGetInstance().Save());
    CStats::SShutdown();

    EXPECT_EQ(Seen(), (std::vector<int32_t>{Tutorial("Welcome"), Tutorial("Build")}));
    EXPECT_TRUE(RunPlugIn("Build", true));
    EXPECT_EQ(Open(), (Names{"Welcome", "Build"})) << "seen in an earlier run: not opened again";
}

} // namespace
