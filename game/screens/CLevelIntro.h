#pragma once
// The level introduction: shown over a freshly started level, it tells the
// level's introduction text, name, required revenue and decade, and offers
// "Continue" (play) and "Back" (to the shop, or to the map for level 0).
// While it is open the playfield's "UI" and "Crew" layers are hidden; they
// come back whichever way the window goes.
//
// The window does not count as an open screen: the playfield keeps drawing
// under it.
#include "ui/CMenuWindow.h"

#include <cstdint>

class CFrameOverlayOptions;
class CTextSubstitutionList;

class CLevelIntroWindow : public CMenuWindow {
public:
    explicit CLevelIntroWindow(CJWindow* parent);
    ~CLevelIntroWindow() override;

    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;
    // A set with neither "Continue" nor "Back" would leave no way into the
    // level: Enter and Escape then continue.
    bool OnKeyDown(uint32_t key) override;

    // "Continue": the level runs.
    void Continue();
    // "Back": the intermission song, then the shop before the level (the
    // map for level 0). The window is gone when this returns.
    void Back();

    float GetOverlayTime() const { return m_OverlayTime; }
    // The values the rules' "Level Introduction Menu Overlay" is drawn with.
    static void FillSubstitutions(CTextSubstitutionList& values);

private:
    void CreateButtons();

    float m_OverlayTime = 0.0f;
};

// The open introduction; null when none is.
CLevelIntroWindow* GetLevelIntroWindow();

// Adds a new introduction to the game's windows, in place of one still open;
// null when none could be made (no screen window to hold it).
CLevelIntroWindow* OpenLevelIntro();

// Enters the introduction in the game object's screen table.
void InstallLevelIntroScreen();
