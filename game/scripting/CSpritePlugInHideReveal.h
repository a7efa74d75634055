#pragma once
// Plug-ins that make their sprite disappear and come back: fade out and
// hide, show and fade in, hide for a while and show. Unlike the waits they
// count the seconds of the update record, so under a fast-forward block each
// repetition counts them again. A fade of 0 seconds or less finishes at its
// first update. A hidden sprite is left at full opacity, so it shows whole
// when it is made visible again.
#include "game/scripting/CSpritePlugIn.h"

class CHideAndRevealAfterDelaySpritePlugIn : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CHideAndRevealAfterDelaySpritePlugIn, CSpritePlugIn)
public:
    CHideAndRevealAfterDelaySpritePlugIn();
    ~CHideAndRevealAfterDelaySpritePlugIn() override;

    // Hides the sprite.
    void Restart(CPlugInUpdateRecord& record) override;
    void Update(CPlugInUpdateRecord& record) override;

    float m_TimeToRemainHidden = 0.0f;
    float m_TimeLeft = 0.0f;
};

class CHideSpritePlugIn : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CHideSpritePlugIn, CSpritePlugIn)
public:
    CHideSpritePlugIn();
    ~CHideSpritePlugIn() override;

    void Restart(CPlugInUpdateRecord& record) override;
    // Opacity falls from 1 with the time left; at the end the sprite is hidden.
    void Update(CPlugInUpdateRecord& record) override;

    CExpression* m_FadeOutTime = nullptr;
    float m_Duration = 0.0f;
    float m_TimeLeft = 0.0f;
};

class CRevealSpritePlugIn : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CRevealSpritePlugIn, CSpritePlugIn)
public:
    CRevealSpritePlugIn();
    ~CRevealSpritePlugIn() override;

    void Restart(CPlugInUpdateRecord& record) override;
    // Shows the sprite at its first update, opacity rising to 1.
    void Update(CPlugInUpdateRecord& record) override;

    CExpression* m_FadeInTime = nullptr;
    float m_Duration = 0.0f;
    float m_TimeLeft = 0.0f;
};
