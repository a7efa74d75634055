// The scripts of a busy level, 1,000 sprites in one layer:
//   - one game step of sprites that each run an If on one of their own
//     variables with a wait in either branch; budget 1 ms a step;
//   - one message broadcast to sprites whose scripts are state machines of
//     three states, cycling through a message that enters the first state,
//     one that enters the last and one that no state waits for (it reaches
//     the current step); budget 0.5 ms a broadcast.
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpritePlugInLeaves.h"
#include "game/scripting/CSpritePlugInStateMachine.h"
#include "game/scripting/CSpriteVariables.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "objects/CMessage.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr int kSprites = 1000;

const char* const kIfOnAVariable = "CSpritePlugInIf\r\n{\r\n"
                                   "Condition=CExpressionIfLessThan\r\n{\r\n"
                                   "Operand A=CExpressionLocalVariable\r\n{\r\nVariable Name=Count\r\n}\r\n"
                                   "Operand B=500\r\n}\r\n"
                                   "Then=CSpritePlugInWaitXSeconds\r\n{\r\nTime To Wait=1\r\n}\r\n"
                                   "Else=CSpritePlugInWaitXSeconds\r\n{\r\nTime To Wait=2\r\n}\r\n}\r\n";

std::string State(const char* message)
{
    return std::string("State=CState\r\n{\r\nMessage To Wait For=") + message
           + "\r\nSequence=CSpritePlugInSequence\r\n{\r\nSteps=Array\r\n{\r\n"
             "Step=CSpritePlugInWaitForMessage\r\n{\r\nMessage To Wait For=Tick\r\n}\r\n"
             "Step=CSpritePlugInWaitXSeconds\r\n{\r\nTime To Wait=1\r\n}\r\n}\r\n}\r\n}\r\n";
}

// A layer of sprites each running a copy of the script; null when the script
// does not read.
std::unique_ptr<CSpriteArray> MakeLayer(const std::string& script)
{
    RegisterGameScriptingClasses();
    std::unique_ptr<CObject> prototype(ObjectFromText(script, IdMode::WithoutIds, StreamReports::Quiet));
    if (!dynamic_cast<CSpritePlugIn*>(prototype.get()))
        return nullptr;
    auto layer = std::make_unique<CSpriteArray>();
    for (int i = 0; i < kSprites; ++i) {
        auto* sprite = new CSprite;
        CScriptValue count;
        count.SetInteger(i);
        SetSpriteVariable(sprite, "Count", count);
        sprite->AddPlugIn(static_cast<CSpritePlugIn*>(prototype->Clone()));
        layer->Add(sprite);
    }
    layer->Update(); // the first step restarts every script
    return layer;
}

void BM_IfOnAVariableAndAWait(benchmark::State& state)
{
    std::unique_ptr<CSpriteArray> layer = MakeLayer(kIfOnAVariable);
    if (!layer) {
        state.SkipWithError("the script did not read");
        return;
    }
    // Sprites below the bound take "Then", the others "Else".
    auto* first = dynamic_cast<CSpritePlugInIf*>(layer->GetAt(0)->GetPlugIns().GetChild(0));
    auto* last = dynamic_cast<CSpritePlugInIf*>(layer->GetAt(kSprites - 1)->GetPlugIns().GetChild(0));
    if (!first || !last || !first->m_Result || last->m_Result) {
        state.SkipWithError("the If does not test the variable");
        return;
    }
    for (auto _ : state)
        layer->Update();
}
BENCHMARK(BM_IfOnAVariableAndAWait)->Unit(benchmark::kMicrosecond);

void BM_BroadcastToStateMachines(benchmark::State& state)
{
    const std::string script = "CSpritePlugInStateMachine\r\n{\r\nStates=Array\r\n{\r\n" + State("Idle")
                                + State("Walking") + State("Clicked") + "}\r\n}\r\n";
    std::unique_ptr<CSpriteArray> layer = MakeLayer(script);
    if (!layer) {
        state.SkipWithError("the script did not read");
        return;
    }
    const uint32_t types[] = {CMessage::SGetMessageType("Idle"), CMessage::SGetMessageType("Clicked"),
                              CMessage::SGetMessageType("Tick")};
    CMessage clicked(types[1]);
    layer->BroadcastMessage(clicked);
    auto* machine = dynamic_cast<CSpritePlugInStateMachine*>(layer->GetAt(kSprites - 1)->GetPlugIns().GetChild(0));
    if (!machine || machine->GetCurrentState() != 2) {
        state.SkipWithError("the machines do not switch state");
        return;
    }
    uint32_t next = 0;
    for (auto _ : state) {
        CMessage message(types[next]);
        next = (next + 1) % 3;
        layer->BroadcastMessage(message);
        benchmark::DoNotOptimize(message);
    }
}
BENCHMARK(BM_BroadcastToStateMachines)->Unit(benchmark::kMicrosecond);

} // namespace
