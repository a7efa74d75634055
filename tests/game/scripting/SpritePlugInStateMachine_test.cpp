#include "PlugInTestSupport.h"

#include "game/scripting/CSpritePlugInStateMachine.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class StateMachine : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterGameScriptingClasses();
        CCountingPlugIn::SGetClassInfo();
        CCountingPlugIn::Log().clear();
    }

    static CState* State(const char* message, std::initializer_list<CSpritePlugIn*> steps,
                         WhenDone whenDone = WhenDone::RepeatSequence)
    {
        auto* state = new CState();
        state->m_MessageToWaitFor = message;
        for (CSpritePlugIn* step : steps)
            state->m_Sequence.AddStep(step);
        state->m_Sequence.m_WhenDone = int32_t(whenDone);
        return state;
    }
    static bool Step(CSpritePlugIn& root)
    {
        CPlugInUpdateRecord record;
        root.Update(record);
        return record.done;
    }
    static void Start(CSpritePlugIn& root)
    {
        CPlugInUpdateRecord record;
        root.Restart(record);
    }
    // Answers whether the message came back handled.
    static bool Send(CSpritePlugIn& root, const char* name)
    {
        CMessage message = CMessage::CMessageByName(name);
        root.HandleMessage(message);
        return message.IsHandled();
    }
};

TEST_F(StateMachine, FirstMatchingStateWinsCaseBlindAndTheMessageGoesNoFurther)
{
    CSpritePlugInStateMachine machine;
    CCountingPlugIn* idle = Counting("idle");
    CCountingPlugIn* first = Counting("first");
    CCountingPlugIn* second = Counting("second");
    first->m_TakesMessages = true;
    machine.AddState(State("Idle", {idle}));
    machine.AddState(State("Clicked", {first}));
    machine.AddState(State("clicked", {second}));
    Start(machine);

    EXPECT_TRUE(Send(machine, "CLICKED"));
    EXPECT_EQ(machine.GetCurrentState(), 1u);
    EXPECT_EQ(second->m_Restarts, 0u);
    EXPECT_EQ(idle->m_Messages + first->m_Messages, 0u);
    Step(machine);
    EXPECT_EQ(idle->m_TotalUpdates, 0u);
    // A message no state waits for reaches the current step alone.
    EXPECT_TRUE(Send(machine, "Ping"));
    EXPECT_EQ(first->m_Messages, 1u);
    EXPECT_EQ(idle->m_Messages, 0u);
    EXPECT_EQ(CCountingPlugIn::Log(), (std::vector<std::string>{"idle:restart", "first:restart", "first:update",
                                                                "first:message"}));
}

TEST_F(StateMachine, ReenteringRestartsTheStateAndARestartGoesBackToStateZero)
{
    CSpritePlugInStateMachine machine;
    CCountingPlugIn* a = Counting("a", 1);
    CCountingPlugIn* b = Counting("b");
    CCountingPlugIn* idle = Counting("idle");
    machine.AddState(State("", {idle}));
    machine.AddState(State("Go", {a, b}));
    Start(machine);
    Send(machine, "Go");
    Step(machine);
    Step(machine);
    EXPECT_EQ(b->m_Updates, 1u);
    Send(machine, "go");
    Step(machine);
    EXPECT_EQ(a->m_Restarts, 2u);
    EXPECT_EQ(a->m_Updates, 1u);

    Start(machine);
    EXPECT_EQ(machine.GetCurrentState(), 0u);
    EXPECT_EQ(idle->m_Restarts, 2u);
    // A state that waits for no name is entered by a message of no name.
    Send(machine, "Go");
    EXPECT_TRUE(Send(machine, ""));
    EXPECT_EQ(machine.GetCurrentState(), 0u);
}

TEST_F(StateMachine, ReportsDoneWithTheCurrentSequenceAndNothingWithoutStates)
{
    CSpritePlugInStateMachine machine;
    machine.AddState(State("Idle", {Counting("idle")}));
    machine.AddState(State("Once", {Counting("once", 2)}, WhenDone::Stop));
    Start(machine);
    EXPECT_FALSE(Step(machine));
    Send(machine, "Once");
    EXPECT_FALSE(Step(machine));
    EXPECT_TRUE(Step(machine));
    EXPECT_TRUE(Step(machine)); // no transition on done

    CSpritePlugInStateMachine empty;
    empty.AddState(nullptr);
    Start(empty);
    EXPECT_FALSE(Step(empty));
    EXPECT_FALSE(Send(empty, "Idle"));
}

TEST_F(StateMachine, ASpriteReadFromTextAnswersMessagesThroughItsBlock)
{
    auto state = [](const char* message, const char* step) {
        return std::string("State=CState\n{\nMessage To Wait For=") + message
               + "\nSequence=CSpritePlugInSequence\n{\nSteps=Array\n{\nStep=CCountingPlugIn\n{\nName=" + step
               + "\n}\n}\n}\n}\n";
    };
    const std::string text = "CSprite\n{\nPlugIns=CSpritePlugInSimultaneous\n{\nSimultaneous PlugIns=Array\n{\n"
                             "Simultaneous PlugIn=CSpritePlugInStateMachine\n{\nStates=Array\n{\n"
                             + state("Idle", "idle") + state("Clicked", "clicked") + "}\n}\n}\n}\n}\n";
    CJString error;
    std::unique_ptr<CObject> object(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Quiet, &error));
    ASSERT_NE(object, nullptr) << error.GetString();
    auto& sprite = static_cast<CSprite&>(*object);
    sprite.Update();
    CMessage clicked = CMessage::CMessageByName("clicked");
    sprite.HandleMessage(clicked);
    EXPECT_TRUE(clicked.IsHandled());
    sprite.Update();
    EXPECT_EQ(CCountingPlugIn::Log(),
              (std::vector<std::string>{"idle:restart", "idle:update", "clicked:restart", "clicked:update"}));
}

} // namespace
