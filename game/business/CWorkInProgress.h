#pragma once
// A work-in-progress sign: a boxed message that designers put on the
// playfield where a level's content is not finished yet. The message wraps
// at "Width" pixels in the font of "Power Up Text Display Options" and is
// centred on the sprite: a white box 10 pixels beyond the text, a black
// outline 2 pixels beyond it, the lines centred between.
//
// The sprite's bounds are the box of the last draw, so a sign that has not
// been drawn yet has empty bounds.
#include "foundation/CJString.h"
#include "foundation/CRect.h"
#include "game/scripting/CSpriteAI.h"

#include <cstdint>

class CFont;

class CWorkInProgress : public CSpriteAI {
    OMBRISALT_REFLECTED(CWorkInProgress, CSpriteAI)
public:
    CWorkInProgress();
    ~CWorkInProgress() override;

    void Update(CSpriteUpdateRecord& record) override;
    // Draws the sign and ends the pass: later AIs draw nothing here.
    void Draw(CSpriteDrawRecord& record) override;
    void GetBounds(CRect& out) override { out = m_BackgroundRect; }

    // The sign in sprite space with this font; without a font nothing is
    // drawn and the rectangles stay as they were.
    void DrawWith(CFont* font, CFrameInterface& spriteSpace);

    CJString m_Message; // "Message"
    uint32_t m_Width = 0; // "Width", pixels

    CJString m_LaidOutText;
    CRect m_TextRect{0, 0, 0, 0};
    CRect m_BackgroundRect{0, 0, 0, 0};
};
