#pragma once
// Plays its sprite's own image sequence once, at the sequence's rate, then
// marks the sprite for deletion: the effects a level spawns (goal reached,
// star, sparkle).
#include "game/scripting/CSpriteAI.h"

class CPlayAnimationOnceSpriteAI : public CSpriteAI {
    OMBRISALT_REFLECTED(CPlayAnimationOnceSpriteAI, CSpriteAI)
public:
    CPlayAnimationOnceSpriteAI();
    ~CPlayAnimationOnceSpriteAI() override;

    void Update(CSpriteUpdateRecord& record) override;
};
