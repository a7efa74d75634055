// The three-in-a-row bonus as a level runs it: granted, capped, run down
// (slower in a tutorial, not at all once play is over), paid out at the end
// of the level, and drawn only while it runs.
#include "game/business/CThreeInARowCounter.h"

#include "BonusTown.h"
#include "blit/CColor.h"
#include "game/world/CGameApp.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CTypedCommands.h"
#include "foundation/MathHelpers.h"
#include "images/CFrame.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace bonus_town;

namespace {

class ThreeInARow : public BonusTown {
protected:
    void SetUp() override
    {
        BonusTown::SetUp();
        m_Sprite = new CSprite;
        m_Counter = new CThreeInARowCounter;
        m_Sprite->AddAI(m_Counter);
        m_Sprite->SetPosition(100.0f, 100.0f);
        Playfield().AddSprite(m_Sprite, "UI");
    }
    void Step(float seconds)
    {
        CSpriteUpdateRecord record{m_Sprite, seconds};
        m_Counter->Update(record);
    }
    // Runs n updates of 1/60 s.
    void Run(int n)
    {
        for (int i = 0; i < n; ++i)
            Step(1.0f / 60.0f);
    }
    int Heard(const char* name)
    {
        const std::vector<std::string> heard = TakeHeard();
        return int(std::count(heard.begin(), heard.end(), std::string(name)));
    }

    CSprite* m_Sprite = nullptr;
    CThreeInARowCounter* m_Counter = nullptr;
};

TEST_F(ThreeInARow, EachBonusAddsFiveSecondsUpToTheTwentySecondCap)
{
    const uint32_t madeBefore = Stats().m_MadeThreeInARow;
    for (int i = 0; i < 3; ++i)
        m_Counter->AddBonus();
    EXPECT_FLOAT_EQ(m_Counter->m_SecondsBonusLeft, 15.0f);
    EXPECT_TRUE(m_Counter->IsBonusActive());
    m_Counter->AddBonus();
    m_Counter->AddBonus();
    EXPECT_FLOAT_EQ(m_Counter->m_SecondsBonusLeft, 20.0f) << "capped, not 25";
    EXPECT_EQ(Stats().m_MadeThreeInARow, madeBefore + 5);
    EXPECT_EQ(Heard("Mega Click Assist Start"), 5);
}

TEST_F(ThreeInARow, TheBonusRunsDownAndSaysDoneOnce)
{
    m_Counter->AddBonus();
    TakeHeard();
    Run(60);
    EXPECT_NEAR(m_Counter->m_SecondsBonusLeft, 4.0f, 1e-3f);
    Run(4 * 60 + 5);
    EXPECT_EQ(m_Counter->m_SecondsBonusLeft, 0.0f) << "stops at 0";
    EXPECT_FALSE(m_Counter->IsBonusActive());
    EXPECT_EQ(Heard("Mega Click Assist Done"), 1);
}

TEST_F(ThreeInARow, ATutorialThatRequiresTheMegaAssistRunsItTwelveTimesSlower)
{
    m_Level->m_RequireMegaClickAssist = true;
    m_Counter->AddBonus();
    Run(12 * 60);
    EXPECT_NEAR(m_Counter->m_SecondsBonusLeft, 4.0f, 1e-3f) << "12 s of play cost one bonus second";
}

TEST_F(ThreeInARow, OncePlayIsOverTheBonusNoLongerRunsDown)
{
    m_Counter->AddBonus();
    m_Level->m_PlayerInteractionComplete = true;
    Run(120);
    EXPECT_FLOAT_EQ(m_Counter->m_SecondsBonusLeft, 5.0f);
}

TEST_F(ThreeInARow, TheEndOfLevelCountdownPaysFourPercentOfTheAverageLotPerBonusSecond)
{
    // Average lot value 10.0123 thousand: 4% rounds to 0.400 per second.
    m_State->AddFrameSample(10.0123f);
    const float perSecond = RoundToDecimals(m_State->GetAverageBuildingValue() * 0.04f, 3.0f);
    ASSERT_FLOAT_EQ(perSecond, 0.4f);
    m_Counter->AddBonus();
    m_Counter->AddBonus(); // 10 s left
    m_Counter->StartEndOfLevelPhase();
    EXPECT_TRUE(m_Counter->IsInEndOfLevelPhase());
    EXPECT_FLOAT_EQ(Stats().m_LeftoverMegaSeconds, 10.0f);
    TakeHeard();

    Run(61); // the one-second delay before the countdown, float steps
    EXPECT_FLOAT_EQ(m_Counter->m_SecondsBonusLeft, 10.0f);
    EXPECT_FLOAT_EQ(m_State->m_RevenueK - m_RevenueBefore, 0.0f);

    Run(30); // half a second at ten bonus seconds a second
    EXPECT_NEAR(m_Counter->m_SecondsBonusLeft, 5.0f, 1e-3f);
    EXPECT_NEAR(m_State->m_RevenueK - m_RevenueBefore, 5.0f * perSecond, 1e-3f);
    EXPECT_NEAR(m_State->GetBonusTotal(), 5.0f * perSecond, 1e-3f);

    Run(31); // the rest is paid, not more
    EXPECT_EQ(m_Counter->m_SecondsBonusLeft, 0.0f);
    EXPECT_NEAR(m_State->m_RevenueK - m_RevenueBefore, 10.0f * perSecond, 2e-3f);
    EXPECT_TRUE(m_Counter->IsInEndOfLevelPhase()) << "the end delay still runs";
    EXPECT_EQ(Heard("Mega Click Assist Done"), 0);

    Run(31); // half a second of end delay
    EXPECT_FALSE(m_Counter->IsInEndOfLevelPhase());
    EXPECT_EQ(Heard("Mega Click Assist Done"), 1);
    const float paid = m_State->m_RevenueK - m_RevenueBefore;
    Run(60);
    EXPECT_EQ(m_State->m_RevenueK - m_RevenueBefore, paid);
}

TEST_F(ThreeInARow, TheMeterIsDrawnOnlyWhileTheBonusRuns)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(200, 200, 32);
    CColor grey(128, 128, 128, 255);
    const auto boxPixel = [&] {
        frame->Fill(grey);
        Playfield().Draw(*frame);
        CColor pixel;
        frame->GetPixel(100, 50, pixel); // (0, -50) from the counter
        return pixel;
    };
    CColor idle = boxPixel();
    EXPECT_EQ(idle.GetRed(), 128);
    m_Counter->AddBonus();
    CColor running = boxPixel();
    EXPECT_LT(running.GetRed(), 100) << "the dark box above the meter";
    CColor outside;
    frame->GetPixel(100, 100, outside);
    EXPECT_EQ(outside.GetRed(), 128) << "nothing below the box without meter art";
}

TEST_F(ThreeInARow, TheClickShareTheSparkleAndTheSongFollowTheOptions)
{
    EXPECT_FLOAT_EQ(m_Counter->GetFractionPerClick(0.5f), 0.01f);
    m_Counter->AddBonus();
    EXPECT_FLOAT_EQ(m_Counter->m_SecondsBonusLeft, 5.0f) << "a bonus starts the meter";
    m_Counter->AddBonus();
    EXPECT_FLOAT_EQ(m_Counter->m_SecondsBonusLeft, 10.0f);
    EXPECT_FLOAT_EQ(m_Counter->GetFractionPerClick(0.5f), 0.25f);
    GetTypedCommandSwitches().debugBuild = true;
    EXPECT_FLOAT_EQ(m_Counter->GetFractionPerClick(0.5f), 1.0f) << "the always-full switch";
    GetTypedCommandSwitches().debugBuild = false;
    SSparkleOptions sparkle;
    ASSERT_TRUE(GetThreeInARowSparkleOptions(sparkle));
    EXPECT_FLOAT_EQ(sparkle.interval, 0.05f);
    EXPECT_FLOAT_EQ(sparkle.radius, 20.0f);
    EXPECT_EQ(GetThreeInARowSong(), 0) << "no song in this data";
}

TEST_F(ThreeInARow, WithoutOptionsTheLotsKeepTheirOwnClickShareAndNoSparkle)
{
    GetGeneralObjects().RemoveAll();
    ::remove("Resources/Three In A Row Options.Object.txt");
    GetGeneralObjects().SetSource(nullptr, "Resources", 0);
    InitGeneralObjects();
    EXPECT_FLOAT_EQ(m_Counter->GetFractionPerClick(0.5f), 0.5f);
    SSparkleOptions sparkle;
    EXPECT_FALSE(GetThreeInARowSparkleOptions(sparkle));
    EXPECT_EQ(GetThreeInARowMegaSequence(), 0u);
}

} // namespace
