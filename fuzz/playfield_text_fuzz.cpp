// Reads playfield text (layers of sprites with their AIs and scripts) from
// memory, with and without identities. Fatal reports end the input. A
// playfield that reads is made current and played for a few steps: updated,
// drawn, messaged and searched, so that its scripts run against it. Its text
// must then read back to the same text.
#include "foundation/CArrayPOD.h"
#include "foundation/FatalError.h"
#include "game/scripting/CScriptPosition.h"
#include "game/world/CPlayfield.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "program/RegisterAllClasses.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <cstdint>
#include <memory>

namespace {

constexpr int kSteps = 3;

void Play(CPlayfield& playfield, CFrame& frame)
{
    CPlayfield* before = SetCurrentPlayfield(&playfield);
    for (int i = 0; i < kSteps; ++i) {
        playfield.Update(1.0f / 60.0f);
        playfield.Draw(frame);
    }
    CMessage message = CMessage::CMessageByName("AdvanceToNextItemInSequence");
    playfield.BroadcastMessage(message);
    CScriptReferenceToTarget reference;
    reference.m_Name = "this";
    CArrayPOD<CSprite*> found;
    playfield.FindSpritesByReference(reference, found, true);
    CFPoint where{0.0f, 0.0f};
    playfield.GetReferencePosition(reference, where, found.IsEmpty() ? nullptr : found[0]);
    playfield.GetTopEditableLayer();
    SetCurrentPlayfield(before);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static std::unique_ptr<CFrame> frame = [] {
        SetFatalTerminator(ThrowingFatalTerminator);
        RegisterAllClasses();
        return CFrame::MakeOwned(64, 48, 32);
    }();
    if (size > (1u << 20))
        return 0;
    CheckTextReadsBackAlike(data, size, [](CObject& object) {
        if (auto* playfield = dynamic_cast<CPlayfield*>(&object)) {
            Play(*playfield, *frame);
        } else if (auto* layer = dynamic_cast<CPlayfieldLayer*>(&object)) {
            layer->Update(1.0f / 60.0f);
            layer->Draw(*frame);
        }
    });
    return 0;
}
