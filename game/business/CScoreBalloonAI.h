#pragma once
// A score balloon: what a move-in earned, shown over the playfield for a
// while. The AI draws an overlay set filled from its own substitution list
// after its sprite has drawn, fades it out over its last second and marks
// the sprite for deletion when its time is up.
//
// The set is drawn through an offset of (200 - x, 200 - y), x and y the
// sprite's whole-pixel position: designers lay the balloon out around
// (200, 200) and it lands on the sprite.
#include "game/scripting/CSpriteAI.h"

#include <cstdint>

class CTextSubstitutionList;

class CScoreBalloonAI : public CSpriteAI {
    OMBRISALT_REFLECTED(CScoreBalloonAI, CSpriteAI)
public:
    CScoreBalloonAI();
    // Takes the list (null: texts stay as written); overlay indexes the
    // overlay-set list. With a sprite, the AI adds itself to it.
    CScoreBalloonAI(CSprite* sprite, CTextSubstitutionList* substitutions, int32_t overlay, float duration);
    ~CScoreBalloonAI() override;

    void Update(CSpriteUpdateRecord& record) override;
    void OnPostDraw(CSprite* sprite, CFrameInterface& destination) override;

    // 1 until the last second, then the seconds left (nothing is drawn at 0
    // or below).
    float GetOpacity() const;

    int32_t m_Foo = 0;                                        // "Foo"
    CTextSubstitutionList* m_pTextSubstitutionList = nullptr; // owned
    float m_TimeSinceCreate = 0.0f;
    float m_Duration = 0.0f;
};
