#include "PlugInTestSupport.h"

#include "foundation/CRandomGenerator.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class PlugIns : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterGameScriptingClasses();
        CCountingPlugIn::SGetClassInfo();
        CCountingPlugIn::Log().clear();
    }

    // One game step of the root, as a sprite runs it; answers done.
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
    // The 1-based steps at which the root reported done, within n steps.
    static std::vector<int> DoneSteps(CSpritePlugIn& root, int n)
    {
        std::vector<int> steps;
        for (int i = 1; i <= n; ++i)
            if (Step(root))
                steps.push_back(i);
        return steps;
    }
};

CSpritePlugInSequence* Sequence(std::initializer_list<CSpritePlugIn*> steps, WhenDone whenDone)
{
    auto* sequence = new CSpritePlugInSequence();
    for (CSpritePlugIn* step : steps)
        sequence->AddStep(step);
    sequence->m_WhenDone = int32_t(whenDone);
    return sequence;
}

TEST_F(PlugIns, TheBlockClearsDoneForEachChildFollowsItsListAndSkipsNullChildren)
{
    CSpritePlugInSimultaneous block;
    CCountingPlugIn* first = Counting("first", 1);
    CCountingPlugIn* second = Counting("second");
    block.AddPlugIn(first);
    block.AddPlugIn(nullptr);
    block.AddPlugIn(second);
    // A child that adds a child while the block updates: the new one runs in
    // the same step.
    CCountingPlugIn* late = Counting("late");
    second->m_OnUpdate = [&](CCountingPlugIn& self) {
        if (self.m_TotalUpdates == 1)
            block.AddPlugIn(late);
    };
    Start(block);

    EXPECT_TRUE(Step(block));
    EXPECT_FALSE(second->m_SawDoneOnEntry);
    EXPECT_EQ(second->m_Updates, 1u);
    EXPECT_EQ(late->m_Updates, 1u);
    EXPECT_EQ(CCountingPlugIn::Log(),
              (std::vector<std::string>{"first:restart", "second:restart", "first:update", "second:update",
                                        "late:update"}));

    // An empty block never reports done.
    CSpritePlugInSimultaneous empty;
    EXPECT_FALSE(Step(empty));
}

TEST_F(PlugIns, SignalStopsAtTheFirstChildThatSetsTheFlagAndFoldChainsEveryChild)
{
    CSpritePlugInSimultaneous block;
    CCountingPlugIn* a = Counting("a");
    CCountingPlugIn* b = Counting("b");
    CCountingPlugIn* c = Counting("c");
    b->m_SignalSets = 7;
    block.AddPlugIn(a);
    block.AddPlugIn(b);
    block.AddPlugIn(c);
    uint8_t flag = 0;
    block.Signal(flag);
    EXPECT_EQ(flag, 7);
    EXPECT_EQ(CCountingPlugIn::Log(), (std::vector<std::string>{"a:signal", "b:signal"}));

    // Fold reaches children of a sequence that are not the current step too.
    auto sequence = std::unique_ptr<CSpritePlugInSequence>(
        Sequence({Counting("s1"), Counting("s2"), Counting("s3")}, WhenDone::RepeatSequence));
    EXPECT_EQ(sequence->Fold(1, 2), ((1 * 10 + 2) * 10 + 2) * 10 + 2);
}

TEST_F(PlugIns, SetSpriteReachesEveryStepAndExpressionsSeeTheSpriteAndThePlugIn)
{
    CSprite sprite;
    sprite.SetPosition(12.5f, 0.0f);
    CCountingPlugIn* later = Counting("later");
    auto sequence = std::unique_ptr<CSpritePlugInSequence>(Sequence({Counting("now"), later}, WhenDone::Stop));
    sequence->SetSprite(&sprite);
    EXPECT_EQ(later->GetSprite(), &sprite);

    // An expression that reads its context: x of the sprite plus the chain size.
    struct CProbe : CExpression {
        void Evaluate(CScriptContext* context, CScriptValue& out) override
        {
            auto* script = static_cast<CSpriteScriptContext*>(context);
            seenChain = script->chain.GetCount() == 1 ? script->chain[0] : nullptr;
            seenObject = script->object;
            out.SetFloat(script->sprite ? script->sprite->GetPosition().x : -1.0f);
        }
        CSpritePlugIn* seenChain = nullptr;
        CObject* seenObject = nullptr;
    };
    CProbe probe;
    EXPECT_EQ(later->EvaluateFloat(&probe), 12.5f);
    EXPECT_EQ(probe.seenChain, later);
    EXPECT_EQ(probe.seenObject, &sprite);
    EXPECT_EQ(later->EvaluateFloat(nullptr), 0.0f);

    // Without a sprite the context holds none.
    CCountingPlugIn orphan;
    EXPECT_EQ(orphan.EvaluateFloat(&probe), -1.0f);
}

TEST_F(PlugIns, ASequenceRunsItsStepsInTurnAndRepeatsOrStops)
{
    // Two one-second steps, counted in updates.
    auto repeating = std::unique_ptr<CSpritePlugInSequence>(
        Sequence({Counting("a", 60), Counting("b", 60)}, WhenDone::RepeatSequence));
    Start(*repeating);
    EXPECT_TRUE(DoneSteps(*repeating, 400).empty());

    auto stopping = std::unique_ptr<CSpritePlugInSequence>(
        Sequence({Counting("a", 60), Counting("b", 60)}, WhenDone::Stop));
    Start(*stopping);
    const std::vector<int> done = DoneSteps(*stopping, 125);
    ASSERT_FALSE(done.empty());
    EXPECT_EQ(done.front(), 120);
    EXPECT_EQ(done.size(), 6u); // 120 and every step after
    EXPECT_EQ(stopping->GetActiveChildCount(), 0u);
    EXPECT_EQ(stopping->GetActiveChild(0), nullptr);

    // An empty sequence is done at every update.
    CSpritePlugInSequence empty;
    Start(empty);
    EXPECT_TRUE(Step(empty));
    EXPECT_TRUE(Step(empty));
}

TEST_F(PlugIns, TheEnteredStepWaitsForTheNextUpdateAndAWrapRestartsStepZeroTwice)
{
    CCountingPlugIn* a = Counting("a", 2);
    CCountingPlugIn* b = Counting("b", 1);
    auto sequence = std::unique_ptr<CSpritePlugInSequence>(Sequence({a, b}, WhenDone::RepeatSequence));
    Start(*sequence);
    Step(*sequence);
    Step(*sequence); // a is done: b is entered, restarted, not updated
    EXPECT_EQ(sequence->m_CurrentStepIndex, 1u);
    EXPECT_EQ(b->m_Restarts, 1u);
    EXPECT_EQ(b->m_TotalUpdates, 0u);

    CCountingPlugIn::Log().clear();
    EXPECT_FALSE(Step(*sequence)); // b is done: wrap
    EXPECT_EQ(sequence->m_CurrentStepIndex, 0u);
    EXPECT_EQ(CCountingPlugIn::Log(), (std::vector<std::string>{"b:update", "a:restart", "a:restart"}));

    // Null steps: entering one restarts nothing, and it reports nothing.
    auto gappy = std::unique_ptr<CSpritePlugInSequence>(Sequence({Counting("x", 1), nullptr}, WhenDone::Stop));
    Start(*gappy);
    EXPECT_FALSE(Step(*gappy));
    EXPECT_EQ(gappy->m_CurrentStepIndex, 1u);
    EXPECT_FALSE(Step(*gappy));
    EXPECT_EQ(gappy->m_CurrentStepIndex, 1u);
}

TEST_F(PlugIns, AdvanceToNextItemMovesOnlyTheFirstSequenceThatSeesItUnhandled)
{
    CSpritePlugInSimultaneous block;
    CCountingPlugIn* first = Counting("first");
    CCountingPlugIn* second = Counting("second");
    auto* one = Sequence({first, Counting("first-next")}, WhenDone::Stop);
    auto* two = Sequence({second, Counting("second-next")}, WhenDone::Stop);
    block.AddPlugIn(one);
    block.AddPlugIn(two);
    Start(block);

    CMessage advance = CMessage::CMessageByName("AdvanceToNextItemInSequence");
    block.HandleMessage(advance);
    EXPECT_TRUE(advance.IsHandled());
    EXPECT_EQ(one->m_CurrentStepIndex, 1u);
    EXPECT_EQ(two->m_CurrentStepIndex, 0u);
    // The current step got the message first.
    EXPECT_EQ(first->m_Messages, 1u);
    EXPECT_EQ(second->m_Messages, 1u);

    // A step that takes the message itself keeps its sequence where it is.
    CCountingPlugIn* taker = Counting("taker");
    taker->m_TakesMessages = true;
    auto keeping = std::unique_ptr<CSpritePlugInSequence>(Sequence({taker, Counting("next")}, WhenDone::Stop));
    Start(*keeping);
    CMessage again = CMessage::CMessageByName("advancetonextiteminsequence");
    keeping->HandleMessage(again);
    EXPECT_EQ(keeping->m_CurrentStepIndex, 0u);

    // Other messages move nothing.
    CMessage other = CMessage::CMessageByName("SomethingElse");
    block.HandleMessage(other);
    EXPECT_EQ(two->m_CurrentStepIndex, 0u);
    EXPECT_FALSE(other.IsHandled());
}

TEST_F(PlugIns, ARandomOrderSequenceShufflesWithTheGlobalGeneratorAtEachRestart)
{
    CSpritePlugInRandomOrderSequence sequence;
    std::vector<std::string> expected;
    for (const char* name : {"a", "b", "c", "d", "e", "f"}) {
        sequence.AddStep(Counting(name));
        expected.push_back(name);
    }
    CRandomGenerator::Global().Seed(1234);
    CRandomGenerator twin;
    twin.Seed(1234);
    for (int restart = 0; restart < 3; ++restart) {
        for (uint32_t i = 0; i < expected.size(); ++i)
            std::swap(expected[i], expected[twin.Next(uint32_t(expected.size()))]);
        sequence.m_CurrentStepIndex = 4;
        CCountingPlugIn::Log().clear();
        Start(sequence);
        EXPECT_EQ(sequence.m_CurrentStepIndex, 0u);
        std::vector<std::string> order;
        for (uint32_t i = 0; i < sequence.GetChildCount(); ++i)
            order.push_back(static_cast<CCountingPlugIn*>(sequence.GetChild(i))->m_Name.GetString());
        EXPECT_EQ(order, expected);
        // Only the step now first is restarted.
        EXPECT_EQ(CCountingPlugIn::Log(), (std::vector<std::string>{expected[0] + ":restart"}));
    }
}

TEST_F(PlugIns, FastForwardRunsSpeedStepsPerUpdateWithinItsBounds)
{
    // A one-second wait at speed 60 finishes within one step.
    CSpritePlugInFastForward fast;
    EXPECT_EQ(fast.m_Speed, 60u);
    CCountingPlugIn* wait = Counting("wait", 60);
    fast.AddPlugIn(wait);
    Start(fast);
    EXPECT_TRUE(Step(fast));
    EXPECT_EQ(wait->m_TotalUpdates, 60u);

    // It stops repeating once its sprite is marked for deletion.
    CSprite sprite;
    CSpritePlugInFastForward doomed;
    CCountingPlugIn* deleter = Counting("deleter");
    deleter->m_OnUpdate = [&](CCountingPlugIn& self) {
        if (self.m_TotalUpdates == 3)
            sprite.MarkForDeletion();
    };
    doomed.AddPlugIn(deleter);
    Start(doomed, &sprite);
    EXPECT_TRUE(Step(doomed));
    EXPECT_EQ(deleter->m_TotalUpdates, 3u);

    // Speed 0 runs once; a speed above the bound runs the bound.
    for (const auto& [speed, runs] : {std::pair{0u, 1u}, std::pair{5000u, kMaxFastForwardSpeed}}) {
        CSpritePlugInFastForward block;
        block.m_Speed = speed;
        CCountingPlugIn* leaf = Counting("leaf");
        block.AddPlugIn(leaf);
        Start(block);
        EXPECT_FALSE(Step(block));
        EXPECT_EQ(leaf->m_TotalUpdates, runs) << "speed " << speed;
    }
}

TEST_F(PlugIns, NestedFastForwardBlocksShareOneBoundPerStep)
{
    // 3 inside 2: the repetitions multiply.
    CSpritePlugInFastForward outer;
    outer.m_Speed = 2;
    auto* inner = new CSpritePlugInFastForward();
    inner->m_Speed = 3;
    CCountingPlugIn* leaf = Counting("leaf");
    inner->AddPlugIn(leaf);
    outer.AddPlugIn(inner);
    Start(outer);
    Step(outer);
    EXPECT_EQ(leaf->m_TotalUpdates, 6u);

    // Three levels at the top speed would be 3600^3 leaf updates in one
    // step; the whole step stays within the bound.
    CSpritePlugInFastForward top;
    top.m_Speed = kMaxFastForwardSpeed;
    auto* middle = new CSpritePlugInFastForward();
    middle->m_Speed = kMaxFastForwardSpeed;
    auto* bottom = new CSpritePlugInFastForward();
    bottom->m_Speed = kMaxFastForwardSpeed;
    CCountingPlugIn* deep = Counting("deep");
    bottom->AddPlugIn(deep);
    middle->AddPlugIn(bottom);
    top.AddPlugIn(middle);
    Start(top);
    Step(top);
    EXPECT_EQ(deep->m_TotalUpdates, kMaxFastForwardSpeed);
    // And the bound is per step, not spent for good.
    Step(top);
    EXPECT_EQ(deep->m_TotalUpdates, 2 * kMaxFastForwardSpeed);
    Step(outer);
    EXPECT_EQ(leaf->m_TotalUpdates, 12u);
}

TEST_F(PlugIns, TheTimedTriggerFiresAfterEachIntervalAndIsDoneAfterItsLimit)
{
    CSprite sprite;
    CSpritePlugInTriggerActionEveryXSeconds trigger;
    EXPECT_EQ(trigger.m_TimeToWait, 2.0f);
    EXPECT_EQ(trigger.m_RepeatLimit, 1u);
    trigger.m_TimeToWait = 0.5f;
    trigger.m_RepeatLimit = 3;
    auto* action = new CCountingAction();
    trigger.m_Action = action;
    Start(trigger, &sprite);
    std::vector<int> firedAt;
    std::vector<int> done;
    for (int i = 1; i <= 150; ++i) {
        const uint32_t before = action->m_Performed;
        // Whatever seconds the record carries, the trigger counts the fixed step.
        CPlugInUpdateRecord record{1.0f, false};
        trigger.Update(record);
        if (action->m_Performed != before)
            firedAt.push_back(i);
        if (record.done)
            done.push_back(i);
    }
    EXPECT_EQ(firedAt, (std::vector<int>{30, 60, 90}));
    ASSERT_FALSE(done.empty());
    EXPECT_EQ(done.front(), 90);
    EXPECT_EQ(done.size(), 61u);
    EXPECT_EQ(action->m_Sprites, (std::vector<CSprite*>{&sprite, &sprite, &sprite}));

    // "Unlimited" never stops.
    CSpritePlugInTriggerActionEveryXSeconds forever;
    forever.m_TimeToWait = 0.5f;
    forever.m_RepeatLimit = 0;
    auto* counted = new CCountingAction();
    forever.m_Action = counted;
    Start(forever);
    EXPECT_TRUE(DoneSteps(forever, 600).empty());
    EXPECT_EQ(counted->m_Performed, 20u);
}

TEST_F(PlugIns, TheDestroyedTriggerRunsOnlyOnSpriteDestroyed)
{
    CSprite sprite;
    CSpritePlugInTriggerActionWhenDestroyed trigger;
    CMessage destroyed = CMessage::CMessageByName("SpriteDestroyed");
    trigger.HandleMessage(destroyed); // no action: nothing
    auto* action = new CCountingAction();
    trigger.m_Action = action;
    trigger.SetSprite(&sprite);
    CMessage other = CMessage::CMessageByName("SpriteHurt");
    trigger.HandleMessage(other);
    EXPECT_EQ(action->m_Performed, 0u);
    trigger.HandleMessage(destroyed);
    EXPECT_EQ(action->m_Performed, 1u);
    EXPECT_EQ(action->m_Sprites, (std::vector<CSprite*>{&sprite}));
    // It never reports done.
    EXPECT_FALSE(Step(trigger));
}

TEST_F(PlugIns, ScriptsReadAndWriteTheirKeys)
{
    auto read = [](const std::string& body) {
        return std::unique_ptr<CObject>(ObjectFromText(body, IdMode::WithoutIds, StreamReports::Quiet));
    };
    auto fast = read("CSpritePlugInFastForward\r\n{\r\n\tSpeed=5000\r\n}\r\n");
    ASSERT_NE(fast, nullptr);
    EXPECT_EQ(static_cast<CSpritePlugInFastForward*>(fast.get())->m_Speed, kMaxFastForwardSpeed);
    // "Unlimited" and a plain 0 both read as 0, not raised to the lower bound.
    for (const char* limit : {"Unlimited", "0"}) {
        auto trigger = read(std::string("CSpritePlugInTriggerActionEveryXSeconds\r\n{\r\n\tRepeat Limit=") + limit
                            + "\r\n}\r\n");
        ASSERT_NE(trigger, nullptr);
        EXPECT_EQ(static_cast<CSpritePlugInTriggerActionEveryXSeconds*>(trigger.get())->m_RepeatLimit, 0u) << limit;
    }

    // The step index and "Repeat Sequence" stay out of the text at their defaults.
    CSpritePlugInSequence sequence;
    std::string written = ObjectToText(&sequence, IdMode::WithoutIds);
    EXPECT_EQ(written.find("Current Step Index"), std::string::npos) << written;
    EXPECT_EQ(written.find("When Done"), std::string::npos) << written;
    sequence.m_WhenDone = int32_t(WhenDone::Stop);
    sequence.AddStep(new CSpritePlugInTriggerActionWhenDestroyed());
    written = ObjectToText(&sequence, IdMode::WithoutIds);
    EXPECT_NE(written.find("When Done=Stop\r\n"), std::string::npos) << written;
    auto back = read(written);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(ObjectToText(back.get(), IdMode::WithoutIds), written);
}

TEST_F(PlugIns, TranslatorsWrapOrChangeContainersAndLeaveTheSourceAlone)
{
    ASSERT_EQ(GetPlugInTranslatorCount(), 6u);
    auto offers = [](CObject* source) {
        std::vector<std::string> labels;
        for (uint32_t i = 0; i < GetPlugInTranslatorCount(); ++i) {
            CJString label;
            if (GetPlugInTranslator(i).Offer(source, label))
                labels.push_back(std::to_string(i) + " " + label.GetString());
        }
        return labels;
    };
    const std::string sequenceName = CSpritePlugInSequence::SGetClassInfo()->GetDisplayName().GetString();
    const std::string randomName = CSpritePlugInRandomOrderSequence::SGetClassInfo()->GetDisplayName().GetString();
    const std::string blockName = CSpritePlugInSimultaneous::SGetClassInfo()->GetDisplayName().GetString();

    CSpritePlugInFastForward fast;
    EXPECT_EQ(offers(&fast), (std::vector<std::string>{"0 Sequence(CFastForward, ...)",
                                                       "1 Simultaneous(CFastForward, ...)", "4 " + sequenceName}));
    CSpritePlugInSimultaneous block; // a block is not wrapped in a block
    EXPECT_EQ(offers(&block), (std::vector<std::string>{"0 Sequence(CSimultaneous, ...)", "4 " + sequenceName}));
    CSpritePlugInSequence sequence;
    EXPECT_EQ(offers(&sequence),
              (std::vector<std::string>{"0 Sequence(CSequence, ...)", "1 Simultaneous(CSequence, ...)",
                                        "2 " + randomName, "5 " + blockName}));
    CCountingPlugIn leaf;
    EXPECT_EQ(offers(&leaf), (std::vector<std::string>{"0 Sequence(CCountingPlugIn, ...)",
                                                       "1 Simultaneous(CCountingPlugIn, ...)"}));
    CActionBroadcastMessage notAPlugIn;
    EXPECT_TRUE(offers(&notAPlugIn).empty());

    // Changing the kind keeps the steps (as copies) and the settings.
    sequence.AddStep(Counting("one"));
    sequence.AddStep(Counting("two"));
    sequence.m_WhenDone = int32_t(WhenDone::Stop);
    std::unique_ptr<CObject> shuffled(GetPlugInTranslator(2).Translate(&sequence));
    auto* made = dynamic_cast<CSpritePlugInRandomOrderSequence*>(shuffled.get());
    ASSERT_NE(made, nullptr);
    ASSERT_EQ(made->GetChildCount(), 2u);
    EXPECT_NE(made->GetChild(0), sequence.GetChild(0));
    EXPECT_STREQ(static_cast<CCountingPlugIn*>(made->GetChild(1))->m_Name.GetString(), "two");
    EXPECT_EQ(made->m_WhenDone, int32_t(WhenDone::Stop));
    ASSERT_EQ(sequence.GetChildCount(), 2u);


    // Wrapping holds a copy of the source as the only child.
    leaf.m_Name = "leaf";
    std::unique_ptr<CObject> wrapped(GetPlugInTranslator(0).Translate(&leaf));
    auto* wrapper = dynamic_cast<CSpritePlugInSequence*>(wrapped.get());
    ASSERT_NE(wrapper, nullptr);
    ASSERT_EQ(wrapper->GetChildCount(), 1u);
    EXPECT_NE(wrapper->GetChild(0), &leaf);
    EXPECT_STREQ(static_cast<CCountingPlugIn*>(wrapper->GetChild(0))->m_Name.GetString(), "leaf");
}

TEST_F(PlugIns, StartUpListsTheTranslatorsOnceNewestFirst)
{
    RegisterPlugInClasses();
    RegisterPlugInClasses();
    std::vector<const CTranslator*> listed;
    for (const CTranslator* t = GetFirstTranslator(); t; t = t->GetNext())
        listed.push_back(t);
    std::vector<const CTranslator*> ours;
    for (const CTranslator* t : listed)
        for (uint32_t i = 0; i < GetPlugInTranslatorCount(); ++i)
            if (t == &GetPlugInTranslator(i))
                ours.push_back(t);
    ASSERT_EQ(ours.size(), size_t(GetPlugInTranslatorCount()));
    for (uint32_t i = 0; i < GetPlugInTranslatorCount(); ++i)
        EXPECT_EQ(ours[i], &GetPlugInTranslator(GetPlugInTranslatorCount() - 1 - i)) << i;
}

} // namespace
