#pragma once
// The main menu: the first screen and the one the game comes back to, drawn
// from the rules' "Main Menu Overlay" over the last level of the set running
// as a live background. Its buttons come from the set's markers
// "ChangePlayer", "PlayGame", "Options" and "Exit"; a set without one of
// them simply has no such button.
//
// "PlayGame" decides where the player goes: a profile without a name is named
// first, a finished profile is offered a fresh start, then the story on the
// very first play, the tutorial while it is unfinished, and the map after.
// The dialogs it opens stand beside the menu, not inside it, because their
// completions may close the menu.
#include "foundation/CJString.h"
#include "ui/CMenuWindow.h"

#include <cstdint>
#include <utility>
#include <vector>

class CFrameOverlayOptions;
class CJButton;
class CPlayerStats;
class CStats;
class CTextSubstitutionList;

// Stars that finish the game and bring the start-over question.
inline constexpr uint32_t kStarsToFinishGame = 160;
// The highest number a retired profile's name is given.
inline constexpr uint32_t kMaxRetiredNameNumber = 49;

class CMainMenu : public CMenuWindow {
public:
    // Starts the background level and makes the buttons.
    explicit CMainMenu(CJWindow* parent);
    ~CMainMenu() override;

    void Update(float seconds) override;
    // Any focus given restarts the set's animations.
    void SetFocus(bool focus) override;
    void Draw(CFrameInterface& frame) override;

    void ChangePlayer();
    void PlayGame();
    void Options();
    void Exit();

    float GetOverlayClock() const { return m_OverlayClock; }
    // The values one draw fills in.
    void FillSubstitutions(CTextSubstitutionList& values) const;
    // Null when the set had no marker of that name.
    CJButton* GetButton(const char* id) const;

private:
    CJButton* AddButton(CFrameOverlayOptions& set, CTextSubstitutionList& values, const char* id,
                        void (CMainMenu::*action)());

    float m_OverlayClock = 0.0f;
    std::vector<std::pair<const char*, CJButton*>> m_Buttons;
};

// The open main menu; null when none is.
CMainMenu* GetMainMenu();

// Closes the open main menu, if any, and adds a new one to the game's
// windows. Null when none could be made.
CMainMenu* OpenMainMenu();

// "1.0 Build 24", with "Build" translated.
CJString GetVersionText();

// The name a retiring profile called `name` takes: `name` and " Retired",
// then " Retired 2" and on up to kMaxRetiredNameNumber, the first one no
// other profile of the channel uses (the last one when all are).
CJString MakeRetiredName(const CStats& stats, const CJString& name, const CPlayerStats* retiring);

// What "PlayGame" does, also run when a dialog it opened was saved.
void RunPlayGame();
// Past the questions: the story, the tutorial or the map.
void ContinuePlaying();
// Renames the current profile for retirement, adds a fresh profile of the
// old name and opens the new-player dialog on it.
void RetireCurrentPlayer();

// Enters the main menu in the game object's screen table.
void InstallMainMenuScreen();
