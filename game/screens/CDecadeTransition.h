#pragma once
// Decade transitions: a full-screen interlude before the first level of a
// new period, an overlay set with a "Continue" button, the period's music and
// a sound. The playfield stays visible for the first second; after it the
// screen covers it in black and counts as a game screen open over it.
//
// The screen holds a continuation (typically: start the level) that runs
// exactly once, whether the screen is left by "Continue", Enter, Escape or
// closed from outside.
#include "foundation/CJString.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "ui/CMenuWindow.h"

#include <cstdint>

class CCommand;
class CFrameOverlayOptions;
class CJButton;

class CDecadeTransition : public CObject {
    OMBRISALT_REFLECTED(CDecadeTransition, CObject)
public:
    CDecadeTransition();
    ~CDecadeTransition() override;

    CJString m_PositionMarkerName;
    // 1-based level number; 0 matches no level.
    uint32_t m_LevelToDisplayBefore = 0;
    int32_t m_DecadeTransitionOverlay = 0; // frame overlay options list
    int32_t m_Period = 0;                  // period list
};

class CDecadeTransitionList : public CObjectArrayBaseTemplate<CDecadeTransition> {
public:
    CDecadeTransitionList();
};
// "DecadeTransition" under "Resources", "DecadeTransition.txt"; made on
// first use.
CDecadeTransitionList& GetDecadeTransitionList();

// The first transition in list order shown before the 0-based level; null
// when none is.
CDecadeTransition* FindDecadeTransitionForLevel(CDecadeTransitionList& list, uint32_t levelIndex);

class CDecadeTransitionWindow : public CMenuWindow {
public:
    // transition: not null, not owned; continuation: owned, may be null.
    CDecadeTransitionWindow(CJWindow* parent, CDecadeTransition* transition, CCommand* continuation);
    ~CDecadeTransitionWindow() override;

    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;
    void SetFocus(bool focus) override;

    // The "Continue" button's work: the continuation once, then close.
    void Continue();

    float GetElapsedTime() const { return m_ElapsedTime; }
    bool IsCovered() const { return m_Covered; }
    CDecadeTransition* GetTransition() const { return m_Transition; }
    CJButton* GetContinueButton() const { return m_ContinueButton; }

private:
    void RunContinuation();

    float m_ElapsedTime = 0.0f;
    CDecadeTransition* m_Transition;
    CCommand* m_Continuation;
    uint32_t m_FrameCountdown = 2;
    bool m_Covered = false;
    CJButton* m_ContinueButton = nullptr;
};

// The transition screen alive now; null when none is.
CDecadeTransitionWindow* GetDecadeTransitionWindow();

// Sets the current level to the first and shows its transition, starting
// the level once it is continued; with no transition for that level the
// level starts at once. True either way.
bool OpenDecadeTransitionForNewGame();

// Enters the transition screen in the game object's screen table and its
// list among the progression lists.
void InstallDecadeTransitionScreen();
