// Waits, the If and the over-time leaves, stepped by hand as a sprite steps
// its script: one fixed step per update.
#include "ExpressionSupport.h"
#include "PlugInTestSupport.h"

#include "game/scripting/CSpritePlugInLeaves.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "objects/CClassInfo.h"
#include "objects/CPropertyArrayProperty.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class LeafTiming : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterGameScriptingClasses();
        CCountingPlugIn::SGetClassInfo();
        CCountingPlugIn::Log().clear();
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
    // The first 1-based step at which the root reported done (0: none in n).
    static int FirstDone(CSpritePlugIn& root, int n)
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

CSpritePlugInSequence* StopSequence(std::initializer_list<CSpritePlugIn*> steps)
{
    auto* sequence = new CSpritePlugInSequence();
    for (CSpritePlugIn* step : steps)
        sequence->AddStep(step);
    sequence->m_WhenDone = int32_t(WhenDone::Stop);
    return sequence;
}

void SetOpacities(CSpritePlugInOpacityOverTime& fade, std::initializer_list<float> values)
{
    auto* property =
        static_cast<CPropertyArrayProperty*>(fade.GetClassInfo()->FindProperty("Opacities List"));
    property->ArrayProperty_SetCount(&fade, uint32_t(values.size()));
    uint32_t i = 0;
    for (float value : values)
        fade.m_Opacities[i++] = value;
}

// An If over a number expression the test flips between 0 and 1.
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

TEST_F(LeafTiming, AOneSecondWaitEndsOnTheSixtyFirstStepAndCountsEachFastForwardRepetition)
{
    // Sixty float steps of 1/60 leave 1 s a hair above zero.
    std::unique_ptr<CSpritePlugInSequence> sequence(StopSequence({Wait(1.0f)}));
    Start(*sequence);
    EXPECT_EQ(FirstDone(*sequence, 200), 61);

    // Restarting evaluates the length again.
    auto* wait = static_cast<CSpritePlugInWaitXSeconds*>(sequence->GetChild(0));
    static_cast<CExpressionNumber*>(wait->m_TimeToWait)->m_Value = 0.5f;
    Start(*sequence);
    EXPECT_EQ(FirstDone(*sequence, 200), 30);

    // Sixty repetitions a step: the same 61 fixed steps end in the second.
    CSpritePlugInFastForward fast;
    fast.m_Speed = 60;
    fast.AddPlugIn(Wait(1.0f));
    Start(fast);
    EXPECT_FALSE(Step(fast));
    EXPECT_TRUE(Step(fast));

    // The record's seconds do not matter: the step is fixed.
    std::unique_ptr<CSpritePlugInWaitXSeconds> own(Wait(0.05f));
    Start(*own);
    CPlugInUpdateRecord slow;
    slow.seconds = 10.0f;
    own->Update(slow);
    EXPECT_FALSE(slow.done);

    // Zero and no length at all end on the first step.
    std::unique_ptr<CSpritePlugInWaitXSeconds> none(Wait(0.0f));
    delete none->m_TimeToWait;
    none->m_TimeToWait = nullptr;
    Start(*none);
    EXPECT_TRUE(Step(*none));
}

TEST_F(LeafTiming, AWaitDescribesItselfByItsLength)
{
    std::unique_ptr<CSpritePlugInWaitXSeconds> wait(Wait(2.5f));
    CJString text;
    wait->GetDescription(text);
    EXPECT_STREQ(text.GetString(), "Wait 2.5 Seconds");
    delete wait->m_TimeToWait;
    wait->m_TimeToWait = nullptr;
    wait->GetDescription(text);
    EXPECT_STREQ(text.GetString(), "Wait X Seconds");

    // A new wait waits the constant 2, and reads under its older name.
    CSpritePlugInWaitXSeconds fresh;
    Start(fresh);
    EXPECT_FLOAT_EQ(fresh.m_TimeLeft, 2.0f);
    CClassInfo* info = CClassInfoList::SGetInstance().Find("CSpritePlugInWait");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info, CSpritePlugInWaitXSeconds::SGetClassInfo());
}

TEST_F(LeafTiming, AMessageReceivedBeforeARestartIsForgotten)
{
    CSpritePlugInWaitForMessage wait;
    wait.m_MessageToWaitFor = "Go";
    Start(wait);
    EXPECT_FALSE(Step(wait));

    CMessage other = CMessage::CMessageByName("Stay");
    wait.HandleMessage(other);
    EXPECT_FALSE(other.IsHandled());
    EXPECT_FALSE(Step(wait));

    CMessage go = CMessage::CMessageByName("Go");
    wait.HandleMessage(go);
    EXPECT_TRUE(go.IsHandled());
    EXPECT_TRUE(Step(wait));
    EXPECT_TRUE(Step(wait)) << "stays done until restarted";

    CMessage early = CMessage::CMessageByName("Go");
    Start(wait);
    EXPECT_FALSE(Step(wait));
    wait.HandleMessage(early);
    Start(wait);
    EXPECT_FALSE(Step(wait)) << "the restart forgot it";
}

TEST_F(LeafTiming, AConditionWaitEndsWhenItsConditionHolds)
{
    CSpritePlugInWaitForExpression wait;
    Start(wait);
    EXPECT_FALSE(Step(wait)) << "no condition is never true";
    auto* condition = static_cast<CExpressionNumber*>(Number(0.0f));
    wait.m_Condition = condition;
    EXPECT_FALSE(Step(wait));
    condition->m_Value = 3.0f;
    EXPECT_TRUE(Step(wait));
}

TEST_F(LeafTiming, AnIfEvaluatedEveryTimeFollowsItsConditionAndRestartsTheBranchItTakes)
{
    CCountingPlugIn* then = Counting("then");
    CCountingPlugIn* otherwise = Counting("else");
    IfUnderTest test(then, otherwise, false);
    Start(*test.plugIn);
    // The stored result starts false: only "Else" restarts.
    EXPECT_EQ(then->m_Restarts, 0u);
    EXPECT_EQ(otherwise->m_Restarts, 1u);

    Step(*test.plugIn);
    Step(*test.plugIn);
    EXPECT_EQ(otherwise->m_Updates, 2u);
    EXPECT_EQ(then->m_TotalUpdates, 0u);

    test.Set(true);
    Step(*test.plugIn);
    EXPECT_EQ(then->m_Restarts, 1u);
    EXPECT_EQ(then->m_Updates, 1u);
    EXPECT_EQ(otherwise->m_TotalUpdates, 2u);

    // Messages reach the taken branch alone.
    CMessage message = CMessage::CMessageByName("Ping");
    test.plugIn->HandleMessage(message);
    EXPECT_EQ(then->m_Messages, 1u);
    EXPECT_EQ(otherwise->m_Messages, 0u);

    // Without restarts on change, the branch carries on where it was, and a
    // restart of the If restarts both.
    test.plugIn->m_RestartWhenConditionChanges = false;
    test.Set(false);
    Step(*test.plugIn);
    EXPECT_EQ(otherwise->m_Restarts, 1u);
    EXPECT_EQ(otherwise->m_Updates, 3u);
    Start(*test.plugIn);
    EXPECT_EQ(then->m_Restarts, 2u);
    EXPECT_EQ(otherwise->m_Restarts, 2u);
}

TEST_F(LeafTiming, AnIfEvaluatedOnlyAtTheBeginningKeepsItsBranchUntilRestarted)
{
    CCountingPlugIn* then = Counting("then");
    CCountingPlugIn* otherwise = Counting("else");
    IfUnderTest test(then, otherwise, true);
    test.plugIn->m_EvaluateCondition = int32_t(EvaluateCondition::OnlyAtBeginning);
    Start(*test.plugIn);
    Step(*test.plugIn);
    test.Set(false);
    Step(*test.plugIn);
    Step(*test.plugIn);
    EXPECT_EQ(then->m_TotalUpdates, 3u);
    EXPECT_EQ(otherwise->m_TotalUpdates, 0u);

    Start(*test.plugIn);
    Step(*test.plugIn);
    EXPECT_EQ(then->m_TotalUpdates, 3u);
    EXPECT_EQ(otherwise->m_TotalUpdates, 1u);
}

TEST_F(LeafTiming, AnIfWhoseTakenBranchIsMissingOrDoneIsDone)
{
    IfUnderTest noElse(Counting("then"), nullptr, true);
    Start(*noElse.plugIn);
    EXPECT_FALSE(Step(*noElse.plugIn));
    noElse.Set(false);
    EXPECT_TRUE(Step(*noElse.plugIn));

    IfUnderTest noCondition(Counting("then"), nullptr, true);
    delete noCondition.plugIn->m_Condition;
    noCondition.plugIn->m_Condition = nullptr;
    Start(*noCondition.plugIn);
    EXPECT_TRUE(Step(*noCondition.plugIn)) << "no condition is false";

    // A sequence running the If moves on when the branch finishes.
    IfUnderTest inner(Counting("then", 2), nullptr, true);
    CCountingPlugIn* after = Counting("after");
    std::unique_ptr<CSpritePlugInSequence> sequence(StopSequence({inner.plugIn.release(), after}));
    Start(*sequence);
    Step(*sequence);
    Step(*sequence);
    Step(*sequence);
    EXPECT_EQ(after->m_Updates, 1u);
}

TEST_F(LeafTiming, OpacityOverTimeFadesLinearlyAndKeepsItsTimeOverRestarts)
{
    CSprite sprite;
    CSpritePlugInOpacityOverTime fade;
    fade.m_SecondsToShift = 2.0f;
    SetOpacities(fade, {1.0f, 0.0f});
    Start(fade, &sprite);

    // The elapsed time adds the record's seconds, in float.
    float elapsed = 0.0f;
    int expected = 0;
    while (elapsed / 2.0f < 1.0f) {
        elapsed += kPlugInStepSeconds;
        ++expected;
    }
    int done = 0;
    for (int i = 1; i <= 200 && !done; ++i) {
        if (Step(fade))
            done = i;
        if (i == 60) {
            EXPECT_NEAR(sprite.GetColor().GetAlpha(), 128, 1) << "half way";
        }
    }
    EXPECT_EQ(done, expected);
    EXPECT_EQ(sprite.GetColor().GetAlpha(), 0);

    // In a repeating sequence the second pass is done at once.
    Start(fade, &sprite);
    EXPECT_TRUE(Step(fade));

    // Three values share the time in two halves.
    CSpritePlugInOpacityOverTime steps;
    steps.m_SecondsToShift = 1.0f;
    SetOpacities(steps, {0.0f, 1.0f, 0.0f});
    Start(steps, &sprite);
    for (int i = 0; i < 30; ++i)
        Step(steps);
    EXPECT_GE(sprite.GetColor().GetAlpha(), 250);

    // No values: done, the sprite untouched.
    CSpritePlugInOpacityOverTime empty;
    Start(empty, &sprite);
    EXPECT_TRUE(Step(empty));
}

} // namespace
