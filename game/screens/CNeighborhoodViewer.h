#pragma once
// The neighbourhood viewer: a finished level shown as its town looked when
// the player left it. The viewer plays a copy of the level; each lot gets
// back the first four parts of the building the profile's level record kept
// ("Saved Level Info For Scrapbook"), lots nobody lived on are hidden, and the
// optional goals the player met show as met. "Next" and "Prev" step to
// neighbouring levels that kept their lots too; "Continue" closes.
//
// While a viewer is open the level flow's current level is its copy (the
// playfield hooks answer it), so the game draws and updates the viewed town;
// closing the viewer gives the played level back.
#include "ui/CMenuWindow.h"

#include <cstdint>

class CJButton;
class CLevelOptions;
class CTextSubstitutionList;

class CNeighborhoodViewer : public CMenuWindow {
public:
    // Full screen over parent (null: the caller adds the window or switches
    // a menu to it). Starts at the profile's "Selected Level", or the level
    // before it when only that one kept its lots.
    explicit CNeighborhoodViewer(CJWindow* parent);
    ~CNeighborhoodViewer() override;

    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;
    // Without a "Continue" in the set, Enter and Escape still close.
    bool OnKeyDown(uint32_t key) override;

    void Continue();
    void Next();
    void Prev();

    uint32_t GetViewedLevelIndex() const { return m_ViewedLevel; }
    // The viewer's own copy of the viewed level; null when the level set
    // has no such level.
    CLevelOptions* GetLevelCopy() const { return m_LevelCopy; }
    CJButton* GetContinueButton() const { return m_ContinueButton; }
    CJButton* GetNextButton() const { return m_NextButton; }
    CJButton* GetPrevButton() const { return m_PrevButton; }
    void FillSubstitutions(CTextSubstitutionList& values) const;

    // Whether the current profile's record of the level kept its lots; false
    // past the level set.
    static bool HasSavedLotInfo(uint32_t level);

private:
    void BuildView();
    void RestoreLots();
    void CreateButtons();

    uint32_t m_ViewedLevel = 0;
    CLevelOptions* m_LevelCopy = nullptr; // owned
    CJButton* m_ContinueButton = nullptr;
    CJButton* m_NextButton = nullptr;
    CJButton* m_PrevButton = nullptr;
    float m_OverlayTime = 0.0f;
    // Level results this viewer hid, shown again when it closes.
    bool m_HidResults = false;
    bool m_HidTutorialResults = false;
};

// The open viewer; null when none is.
CNeighborhoodViewer* GetNeighborhoodViewer();

// Opens a viewer on the game's screen window; null when none could be made.
CNeighborhoodViewer* OpenNeighborhoodViewer();

// The viewer's entry of the screen table and the trophy room's way into it.
void InstallNeighborhoodViewerScreen();
