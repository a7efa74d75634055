// Waits, the If and fades, stepped by hand as a sprite steps its script.
#include "ExpressionSupport.h"
#include "PlugInTestSupport.h"

#include "game/scripting/CSpritePlugInLeaves.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "objects/CPropertyArrayProperty.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class LeafTiming : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterGameScriptingClasses();
        CCountingPlugIn::SGetClassInfo();
    }
    static bool Step(CSpritePlugIn& root)
    {
        CPlugInUpdateRecord record;
        root.Update(record);
        return record.done;
    }
    static void Start(CSpritePlugIn& root, CSprite* sprite = nullptr)
    {
        root.SetSprite(sprite);
        CPlugInUpdateRecord record;
        root.Restart(record);
    }
    // The first 1-based step at which the root reported done (0: none).
    static int FirstDone(CSpritePlugIn& root, int n = 500)
    {
        for (int i = 1; i <= n; ++i)
            if (Step(root))
                return i;
        return 0;
    }
};

CSpritePlugInWaitXSeconds* Wait(float seconds)
{
    auto* wait = new CSpritePlugInWaitXSeconds();
    delete wait->m_TimeToWait;
    wait->m_TimeToWait = Number(seconds);
    return wait;
}

// An If over a number the test flips between 0 and 1.
struct IfUnderTest {
    IfUnderTest(CSpritePlugIn* then, CSpritePlugIn* otherwise, bool initially)
    {
        plugIn->m_Condition = condition = static_cast<CExpressionNumber*>(Number(initially ? 1.0f : 0.0f));
        plugIn->m_Then = then;
        plugIn->m_Else = otherwise;
    }
    void Set(bool value) { condition->m_Value = value ? 1.0f : 0.0f; }

    std::unique_ptr<CSpritePlugInIf> plugIn = std::make_unique<CSpritePlugInIf>();
    CExpressionNumber* condition;
};

TEST_F(LeafTiming, AOneSecondWaitEndsOnTheSixtyFirstFixedStepCountingFastForwardRepetitions)
{
    // Sixty float steps of 1/60 leave a hair above zero.
    std::unique_ptr<CSpritePlugInWaitXSeconds> wait(Wait(1.0f));
    Start(*wait);
    EXPECT_EQ(FirstDone(*wait), 61);
    CJString text;
    wait->GetDescription(text);
    EXPECT_STREQ(text.GetString(), "Wait 1 Seconds");

    CSpritePlugInFastForward fast;
    fast.m_Speed = 60;
    fast.AddPlugIn(Wait(1.0f));
    Start(fast);
    EXPECT_EQ(FirstDone(fast), 2);
}

TEST_F(LeafTiming, AMessageReceivedBeforeARestartIsForgotten)
{
    CSpritePlugInWaitForMessage wait;
    wait.m_MessageToWaitFor = "Go";
    Start(wait);
    CMessage other = CMessage::CMessageByName("Stay");
    wait.HandleMessage(other);
    EXPECT_FALSE(other.IsHandled());
    EXPECT_FALSE(Step(wait));

    CMessage early = CMessage::CMessageByName("Go");
    wait.HandleMessage(early);
    EXPECT_TRUE(early.IsHandled());
    Start(wait);
    EXPECT_FALSE(Step(wait));
    CMessage go = CMessage::CMessageByName("Go");
    wait.HandleMessage(go);
    EXPECT_TRUE(Step(wait));
}

TEST_F(LeafTiming, AnIfFollowsItsConditionRestartingTheBranchItTakes)
{
    CCountingPlugIn* then = Counting("then");
    CCountingPlugIn* otherwise = Counting("else");
    IfUnderTest test(then, otherwise, false);
    Start(*test.plugIn);
    EXPECT_EQ(then->m_Restarts, 0u) << "only the branch of the stored result";
    Step(*test.plugIn);
    test.Set(true);
    Step(*test.plugIn);
    EXPECT_EQ(then->m_Restarts, 1u);
    EXPECT_EQ(then->m_Updates, 1u);
    EXPECT_EQ(otherwise->m_TotalUpdates, 1u);
    CMessage message = CMessage::CMessageByName("Ping");
    test.plugIn->HandleMessage(message);
    EXPECT_EQ(otherwise->m_Messages, 0u) << "only the taken branch hears";

    // Without restarts on change a restart of the If restarts both.
    test.plugIn->m_RestartWhenConditionChanges = false;
    test.Set(false);
    Step(*test.plugIn);
    EXPECT_EQ(otherwise->m_Restarts, 1u);
    Start(*test.plugIn);
    EXPECT_EQ(then->m_Restarts, 2u);
    EXPECT_EQ(otherwise->m_Restarts, 2u);
}

TEST_F(LeafTiming, AnIfOnlyAtBeginningKeepsItsBranchAndAMissingBranchIsDone)
{
    CCountingPlugIn* then = Counting("then");
    IfUnderTest test(then, nullptr, true);
    test.plugIn->m_EvaluateCondition = int32_t(EvaluateCondition::OnlyAtBeginning);
    Start(*test.plugIn);
    Step(*test.plugIn);
    test.Set(false);
    EXPECT_FALSE(Step(*test.plugIn));
    EXPECT_EQ(then->m_TotalUpdates, 2u);
    Start(*test.plugIn);
    EXPECT_TRUE(Step(*test.plugIn)) << "re-evaluated: the missing Else";
    EXPECT_EQ(then->m_TotalUpdates, 2u);
}

TEST_F(LeafTiming, OpacityOverTimeFadesLinearlyAndASecondPassIsDoneAtOnce)
{
    CSprite sprite;
    CSpritePlugInOpacityOverTime fade;
    fade.m_SecondsToShift = 2.0f;
    auto* list = static_cast<CPropertyArrayProperty*>(fade.GetClassInfo()->FindProperty("Opacities List"));
    list->ArrayProperty_SetCount(&fade, 2);
    fade.m_Opacities[0] = 1.0f;
    fade.m_Opacities[1] = 0.0f;
    Start(fade, &sprite);
    for (int i = 0; i < 60; ++i)
        EXPECT_FALSE(Step(fade));
    EXPECT_NEAR(sprite.GetColor().GetAlpha(), 128, 1);
    // 120 float steps fall short of 2 s, as with the waits.
    EXPECT_EQ(FirstDone(fade), 61);
    EXPECT_EQ(sprite.GetColor().GetAlpha(), 0);
    Start(fade, &sprite);
    EXPECT_TRUE(Step(fade));
}

} // namespace
