// Reads stored game states (the "GameState.txt" records and the copies the
// player profiles keep) from memory, with and without identities. Fatal
// reports end the input. A state that reads is reset for a level and asked
// for its figures, and its binary record must read back to an equal state.
#include "foundation/FatalError.h"
#include "game/world/CGameState.h"
#include "program/RegisterAllClasses.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <cstdint>
#include <cstdlib>

namespace {

void Exercise(CGameState& state)
{
    const std::string binary = ObjectToBinary(&state, IdMode::WithoutIds);
    CGameState back;
    if (!ObjectFromBinary(back, binary, IdMode::WithoutIds, StreamReports::Quiet) || !back.IsEqualTo(&state))
        std::abort();
    state.ResetForLevel();
    for (uint32_t i = 0; i < state.m_UpgradesReceived.GetCount(); ++i)
        state.RemoveUpgrade(state.m_UpgradesReceived[i]);
    state.GetNetWorth();
    state.GetAverageBuildingValue();
    state.FindNextUpgradeForSlot(0, true);
    for (uint32_t phase = 0; phase < state.m_Crews.GetCount(); ++phase)
        state.GetBuildSpeedForBuildPhase(int32_t(phase));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        SetFatalTerminator(ThrowingFatalTerminator);
        RegisterAllClasses();
        return true;
    }();
    (void)ready;
    if (size > (1u << 20))
        return 0;
    CheckTextReadsBackAlike(data, size, [](CObject& object) {
        if (auto* state = dynamic_cast<CGameState*>(&object))
            Exercise(*state);
    });
    return 0;
}
