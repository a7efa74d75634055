#pragma once
// The options menu: the hub for the sound and display windows, the user
// manual (the tips menu) and the credits. Opened from the main menu it draws
// the rules' "Options Menu Overlay", from the pause menu "Options Menu From
// Pause Overlay"; the buttons come from the same set's markers. Each button
// but "Done" stands the window aside for its sub-window (SwitchTo, centred)
// and gets it back when that closes.
#include "ui/CMenuWindow.h"

class CFrameOverlayOptions;
class CTextSubstitutionList;

class COptionsMenuWindow : public CMenuWindow {
public:
    COptionsMenuWindow(CJWindow* parent, bool fromPause);
    ~COptionsMenuWindow() override;

    void Update(float seconds) override;
    // Coming back from a sub-window restarts the set's animations.
    void SetFocus(bool focus) override;
    void Draw(CFrameInterface& frame) override;
    // A set without "Done" would leave no way out: Enter and Escape close.
    bool OnKeyDown(uint32_t key) override;

    void AudioOptions();
    void DisplayOptions();
    void UserManual();
    void Credits();
    void Done();

    bool IsFromPause() const { return m_FromPause; }
    float GetOverlayTime() const { return m_OverlayTime; }
    CFrameOverlayOptions* GetOverlay() const { return m_Overlay; }
    void FillSubstitutions(CTextSubstitutionList& values) const;

private:
    bool m_FromPause;
    float m_OverlayTime = 0.0f;
    CFrameOverlayOptions* m_Overlay = nullptr; // the rules' set; not owned
};

// The open options menu; null when none is.
COptionsMenuWindow* GetOptionsMenu();

// Opens the options menu in place of `replacing` (SwitchTo, centred) — the
// main menu or the pause menu, given back when the options menu closes.
// Without a window to replace it opens over the game's screen window. An
// options menu already open is returned as it is; null when none could be
// made.
COptionsMenuWindow* OpenOptionsMenu(CMenuWindow* replacing, bool fromPause);

// Builds the translatable texts of the menu and its option windows, for the
// start-up registrations.
void RegisterOptionsMenuTexts();
