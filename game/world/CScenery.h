#pragma once
// Scenery: trees, signs and props on the playfield that the player may poke.
// A poke plays the sound its image sequence names under "Image/Poke Audio"
// and swells the sprite for "Poke Duration", shrinking back to the scale it
// had. Scenery standing on a vacant lot hides when play starts, and scenery
// tied to an optional goal shows exactly while that goal is achieved.
#include "foundation/CFPoint.h"
#include "game/scripting/CSpriteAI.h"

#include <cstdint>

class CSequence;

class CScenery : public CSpriteAI {
    OMBRISALT_REFLECTED(CScenery, CSpriteAI)
public:
    CScenery();
    ~CScenery() override;

    void Update(CSpriteUpdateRecord& record) override;
    void HandleMessage(CMessage& message) override;

    // Plays the poke sound, starts the swell and counts the poke.
    void Poke(CSprite* sprite);
    // "Poke Pixels To Grow By" over the larger side of the image at the scale
    // the swell started from, kept within the rules' fractions.
    float GetGrowFraction(CSprite* sprite) const;

    bool m_TryToAssociateWithLot = true;
    uint32_t m_OptionalGoalToAssociateWith = 0; // 1-based; 0 = none
    float m_SecondsSincePoke = 0.0f;            // 0 = idle

    CFPoint m_PokeBaseScale{1.0f, 1.0f};

private:
    // Hides the sprite when it stands on a vacant lot.
    void AssociateWithLot(CSprite* sprite);
};

// The audio list index the sequence names under "Image/Poke Audio"; 0 = none.
int32_t GetPokeAudio(CSequence* sequence);
// Declares "Image/Poke Audio" on sequences; called once at start-up.
void DeclarePokeAudioProperty();
