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

    // A state entered by message, running the given steps for ever.
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
    // Delivers a message by name; answers whether it came back handled.
    static bool Send(CSpritePlugIn& root, const char* name)
    {
        CMessage message = CMessage::CMessageByName(name);
        root.HandleMessage(message);
        return message.IsHandled();
    }
};

TEST_F(StateMachine, FirstMatchingStateWinsNamesCaseBlindAndTheMessageGoesNoFurther)
{
    CSpritePlugInStateMachine machine;
    CCountingPlugIn* idle = Counting("idle");
    CCountingPlugIn* first = Counting("first");
    CCountingPlugIn* second = Counting("second");
    machine.AddState(State("Idle", {idle}));
    machine.AddState(State("Clicked", {first}));
    machine.AddState(State("clicked", {second}));
    Start(machine);
    EXPECT_EQ(machine.GetCurrentState(), 0u);
    EXPECT_EQ(idle->m_Restarts, 1u);

    EXPECT_TRUE(Send(machine, "CLICKED"));
    EXPECT_EQ(machine.GetCurrentState(), 1u);
    EXPECT_EQ(first->m_Restarts, 1u);
    EXPECT_EQ(second->m_Restarts, 0u);
    // Neither the old state nor the entered one heard the message itself.
    EXPECT_EQ(idle->m_Messages, 0u);
    EXPECT_EQ(first->m_Messages, 0u);

    Step(machine);
    EXPECT_EQ(first->m_Updates, 1u);
    EXPECT_EQ(idle->m_TotalUpdates, 0u);
}

TEST_F(StateMachine, UnmatchedMessagesReachOnlyTheCurrentStep)
{
    CSpritePlugInStateMachine machine;
    CCountingPlugIn* idle = Counting("idle");
    CCountingPlugIn* busy = Counting("busy");
    busy->m_TakesMessages = true;
    machine.AddState(State("Idle", {idle}));
    machine.AddState(State("Busy", {busy}));
    Start(machine);
    Send(machine, "Busy");

    EXPECT_TRUE(Send(machine, "Ping"));
    EXPECT_EQ(busy->m_Messages, 1u);
    EXPECT_EQ(idle->m_Messages, 0u);
    EXPECT_EQ(machine.GetCurrentState(), 1u);
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
    Step(machine); // a is done: b is the current step
    Step(machine);
    EXPECT_EQ(b->m_Updates, 1u);

    Send(machine, "go");
    EXPECT_EQ(a->m_Restarts, 2u);
    Step(machine);
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
    Start(empty);
    EXPECT_FALSE(Step(empty));
    EXPECT_FALSE(Send(empty, "Idle"));
    // A null state behaves as no state.
    empty.AddState(nullptr);
    Start(empty);
    EXPECT_FALSE(Step(empty));
    EXPECT_FALSE(Send(empty, "Idle"));
}

TEST_F(StateMachine, ASpriteReadFromTextAnswersMessagesThroughItsBlock)
{
    // As a designer writes it: the sprite keeps counting while idle and
    // switches to "Clicked" on the message.
    const std::string text = "CSprite\r\n{\r\n"
                             "\tPlugIns=CSpritePlugInSimultaneous\r\n\t{\r\n"
                             "\t\tSimultaneous PlugIns=Array\r\n\t\t{\r\n"
                             "\t\t\tSimultaneous PlugIn=CSpritePlugInStateMachine\r\n\t\t\t{\r\n"
                             "\t\t\t\tStates=Array\r\n\t\t\t\t{\r\n"
                             "\t\t\t\t\tState=CState\r\n\t\t\t\t\t{\r\n"
                             "\t\t\t\t\t\tMessage To Wait For=Idle\r\n"
                             "\t\t\t\t\t\tSequence=CSpritePlugInSequence\r\n\t\t\t\t\t\t{\r\n"
                             "\t\t\t\t\t\t\tSteps=Array\r\n\t\t\t\t\t\t\t{\r\n"
                             "\t\t\t\t\t\t\t\tStep=CCountingPlugIn\r\n\t\t\t\t\t\t\t\t{\r\n"
                             "\t\t\t\t\t\t\t\t\tName=idle\r\n\t\t\t\t\t\t\t\t}\r\n"
                             "\t\t\t\t\t\t\t}\r\n\t\t\t\t\t\t}\r\n\t\t\t\t\t}\r\n"
                             "\t\t\t\t\tState=CState\r\n\t\t\t\t\t{\r\n"
                             "\t\t\t\t\t\tMessage To Wait For=Clicked\r\n"
                             "\t\t\t\t\t\tSequence=CSpritePlugInSequence\r\n\t\t\t\t\t\t{\r\n"
                             "\t\t\t\t\t\t\tSteps=Array\r\n\t\t\t\t\t\t\t{\r\n"
                             "\t\t\t\t\t\t\t\tStep=CCountingPlugIn\r\n\t\t\t\t\t\t\t\t{\r\n"
                             "\t\t\t\t\t\t\t\t\tName=clicked\r\n\t\t\t\t\t\t\t\t}\r\n"
                             "\t\t\t\t\t\t\t}\r\n\t\t\t\t\t\t}\r\n\t\t\t\t\t}\r\n"
                             "\t\t\t\t}\r\n\t\t\t}\r\n\t\t}\r\n\t}\r\n}\r\n";
    CJString error;
    std::unique_ptr<CObject> object(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Quiet, &error));
    ASSERT_NE(object, nullptr) << error.GetString();
    auto& sprite = static_cast<CSprite&>(*object);
    sprite.Update();
    sprite.Update();
    CMessage clicked = CMessage::CMessageByName("clicked");
    sprite.HandleMessage(clicked);
    EXPECT_TRUE(clicked.IsHandled());
    sprite.Update();
    EXPECT_EQ(CCountingPlugIn::Log(), (std::vector<std::string>{"idle:restart", "idle:update", "idle:update",
                                                                "clicked:restart", "clicked:update"}));
    // Written back, it reads as the same script.
    std::unique_ptr<CObject> again(
        ObjectFromText(ObjectToText(&sprite, IdMode::WithoutIds), IdMode::WithoutIds, StreamReports::Quiet));
    ASSERT_NE(again, nullptr);
    auto& block = static_cast<CSprite&>(*again).GetPlugIns();
    auto* machine = dynamic_cast<CSpritePlugInStateMachine*>(block.GetChild(0));
    ASSERT_NE(machine, nullptr);
    ASSERT_EQ(machine->m_States.GetCount(), 2u);
    EXPECT_STREQ(machine->m_States[1]->m_MessageToWaitFor.GetString(), "Clicked");
}

} // namespace
