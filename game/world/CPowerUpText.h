#pragma once
// Power-up texts: the name of a power-up or bonus floating up from where it
// was earned and fading out. Each is a sprite on the current playfield's
// "Effects" layer driven by a CPrintPowerUpTextAI; all share the general
// object "Power Up Text Display Options".
//
// A text ages faster for every text made after it, so a burst of power-ups
// clears its older texts first instead of piling them up.
#include "foundation/CFPoint.h"
#include "foundation/CJString.h"
#include "game/scripting/CSpriteAI.h"
#include "objects/CObject.h"

#include <cstdint>

class CFont;

class CPowerUpTextDisplayOptions : public CObject {
    OMBRISALT_REFLECTED(CPowerUpTextDisplayOptions, CObject)
public:
    CPowerUpTextDisplayOptions();
    ~CPowerUpTextDisplayOptions() override;

    // The general object; the data set must hold it.
    static CPowerUpTextDisplayOptions& SGetInstance();
    CFont* GetFont() const;

    int32_t m_FontToPrintWith = 0; // font-list reference, 0: none
    float m_DisplayTime = 0.0f;    // seconds
    float m_RemainOpaque = 0.0f;   // percent of the display time
    float m_Speed = 0.0f;          // pixels per second upward
    float m_SpeedIncreasePerMultipleItems = 0.0f;
    int32_t m_MaxHeightToDrawAt = 0;
};

class CPrintPowerUpTextAI : public CSpriteAI {
    OMBRISALT_REFLECTED(CPrintPowerUpTextAI, CSpriteAI)
public:
    CPrintPowerUpTextAI();
    // A new text: takes the next creation number.
    explicit CPrintPowerUpTextAI(const CJString& name);
    ~CPrintPowerUpTextAI() override;

    void OnAddedToSprite(CSprite* sprite) override;
    void Update(CSpriteUpdateRecord& record) override;
    void Draw(CSpriteDrawRecord& record) override;

    // The opacity the text is drawn with now: 1 for the first "Remain
    // Opaque" percent of its time, then falling linearly to 0.
    float GetOpacity() const;
    // Where the text is drawn now (x its centre, y its top).
    void GetTextPosition(int32_t& x, int32_t& y) const;

    // How many texts have been made in this run.
    static uint32_t SGetCreationCount();

    CJString m_PowerUpName;
    float m_NumSecondsLeft = 0.0f;
    uint32_t m_Creation = 0;

private:
    CPowerUpTextDisplayOptions& Options() const;
};

// Puts a text sprite showing name at the position on the current
// playfield's "Effects" layer; with no playfield nothing is made.
void SpawnPowerUpText(CFPoint position, const CJString& name);
