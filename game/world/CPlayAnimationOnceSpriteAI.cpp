#include "game/world/CPlayAnimationOnceSpriteAI.h"

#include "game/scripting/CSprite.h"
#include "sequences/CSequence.h"

OMBRISALT_IMPLEMENT_CLASS(CPlayAnimationOnceSpriteAI, 1.0)

void CPlayAnimationOnceSpriteAI::DeclareProperties(CPropertyDeclarer&) {}

CPlayAnimationOnceSpriteAI::CPlayAnimationOnceSpriteAI() = default;
CPlayAnimationOnceSpriteAI::~CPlayAnimationOnceSpriteAI() = default;

void CPlayAnimationOnceSpriteAI::Update(CSpriteUpdateRecord& record)
{
    CSprite* sprite = record.sprite;
    CSequence* sequence = sprite ? sprite->GetImageSequence() : nullptr;
    if (!sequence) {
        // Nothing to play: the effect is over at once rather than left behind.
        if (sprite)
            sprite->MarkForDeletion();
        return;
    }
    const float position = sprite->GetFramePosition() + sequence->GetFramesPerSecond() * record.seconds;
    if (position >= float(sequence->GetFrameCount()))
        sprite->MarkForDeletion();
    else
        sprite->SetFramePosition(position);
}
