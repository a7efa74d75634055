#pragma once
// The pause menu: it covers a level in play (the game object's pause command
// or the HUD's menu button) and offers the "Pause Menu" set's buttons:
// "Continue" back to the level, "Reset" the level from its start, "Tips",
// "Options", and "Quit" to the map (to the main menu from a tutorial level).
// Reset and Quit ask first once the level has earned something.
//
// Tips and options take the menu's place for a while (SwitchTo) and give it
// back when they close. The level does not run while it is open: the game
// object runs no play update while the screen window holds a window.
#include "ui/CMenuWindow.h"

class CJButton;
class CTextSubstitutionList;

class CPauseMenuWindow : public CMenuWindow {
public:
    // Tells the playfield "GamePaused" and drops what the cursor carries.
    explicit CPauseMenuWindow(CJWindow* parent);
    ~CPauseMenuWindow() override;

    void Update(float seconds) override;
    // The normal-layer children, the set over them, those children again,
    // then the buttons on the top layer.
    void Draw(CFrameInterface& frame) override;
    // The clock starts again each time the menu comes back.
    void SetFocus(bool focus) override;
    // "Continue" has no command: its notice closes the menu.
    void OnNotify(CJWindow* sender, int32_t code) override;
    bool AcceptsHover() const override { return false; }

    // Makes the buttons again from the "Pause Menu" set; a data set without
    // it is a fatal data error.
    void CreateControls();

    // The two ends of play; the menu is gone when they return.
    void Abort();
    void Restart();
    // The buttons' commands: the confirmations ask only when the level has
    // earned revenue.
    void ConfirmAbort();
    void ConfirmRestart();
    void OpenTips();
    void OpenOptions();

    float GetElapsedTime() const { return m_ElapsedTime; }
    CJButton* GetContinueButton() const { return m_Continue; }
    CJButton* GetQuitButton() const { return m_Quit; }
    // "%s[LevelName]" and "%s[Decade]" of the current level.
    static void FillSubstitutions(CTextSubstitutionList& values);

private:
    CJButton* m_Continue = nullptr;
    CJButton* m_Quit = nullptr;
    CJButton* m_Reset = nullptr;
    CJButton* m_Tips = nullptr;
    CJButton* m_Options = nullptr;
    float m_ElapsedTime = 0.0f;
};

// The open pause menu (shown or held by a window standing in for it); null
// when none is.
CPauseMenuWindow* GetPauseMenuWindow();

// Opens the pause menu on the game's screen window; null when that window
// already holds another window, or there is no screen window.
CPauseMenuWindow* OpenPauseMenuWindow();

// Enters the pause menu in the game object's screen table.
void InstallPauseMenuScreen();

// Builds the menu's translatable texts, for the start-up registrations.
void RegisterPauseMenuTexts();
