#pragma once
// The results shown when a level ends: the results window for every level
// end but a won tutorial level, which gets the tutorial results window.
// Every visible text comes from the window's overlay set, whose texts name
// the result variables ("%s[Key]") filled on each draw. The revenue count-up
// is run by scripting on a sprite of the window's own ("SalesFraction",
// "BonusFraction"): until it sets them nothing is counted or announced.
#include "game/scripting/CSpritePlugIn.h"
#include "game/scripting/CSpritePlugInContainers.h"
#include "objects/CObject.h"
#include "ui/CMenuWindow.h"

#include <cstdint>

class CFrameOverlayOptions;
class CJButton;
class CSprite;
class CTextSubstitutionList;

class CEndOfLevelOptions : public CObject {
    OMBRISALT_REFLECTED(CEndOfLevelOptions, CObject)
public:
    CEndOfLevelOptions();
    ~CEndOfLevelOptions() override;

    // The "End Of Level Options" entry of the general objects; null when the
    // data has none.
    static CEndOfLevelOptions* SGetInstance();

    int32_t m_ShowWinMessageAudio = 0;  // audio list
    int32_t m_ShowFailMessageAudio = 0; // audio list
    float m_TopOfThermometer = 200.0f;  // percent of the required revenue
    uint32_t m_BarelyWonPercent = 110;
    CSpritePlugInSimultaneous m_WinScripting;
    CSpritePlugInSimultaneous m_FailScripting;
};

// Placed in the win scripting: reveals the achieved optional goals among the
// first three of the open results window, one at a time.
class CSpritePlugInRevealOptionalGoals : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInRevealOptionalGoals, CSpritePlugIn)
public:
    CSpritePlugInRevealOptionalGoals();
    ~CSpritePlugInRevealOptionalGoals() override;

    void Update(CPlugInUpdateRecord& record) override;

    float m_SecondsBetweenReveals = 1.0f;
    int32_t m_RevealAudio = 0;
    float m_SecondsUntilNextReveal = -1.0f; // -1: not started
};

class CEndOfLevelWindow : public CMenuWindow {
public:
    explicit CEndOfLevelWindow(bool won);
    ~CEndOfLevelWindow() override;

    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;

    void Continue();
    void Replay();
    // Hide and Show: the results fold to one button and back; either
    // restarts the overlay's time.
    void HideResults();
    void ShowResults();

    // The result variables as the next draw shows them (no announcement).
    void FillSubstitutions(CTextSubstitutionList& values) const;

    // The lowest achieved goal among the first three not yet revealed is
    // marked revealed; false when there was none.
    bool RevealNextGoal();
    bool HasGoalToReveal() const;
    bool IsGoalRevealed(uint32_t goal) const { return goal < 3 && m_Revealed[goal]; }

    bool IsHidden() const { return m_Hidden; }
    bool IsWon() const { return m_Won; }
    bool IsWinAnnounced() const { return m_WinAnnounced; }
    bool IsFailAnnounced() const { return m_FailAnnounced; }
    float GetElapsedTime() const { return m_ElapsedTime; }
    CSprite* GetSprite() const { return m_Sprite; }
    const CJString& GetMessage() const { return m_Message; }
    const CJString& GetAdviceTitle() const { return m_AdviceTitle; }
    const CJString& GetAdviceText() const { return m_Advice; }

private:
    void Fill(CTextSubstitutionList& values, bool& wonLevel, bool& failedLevel) const;
    void CreateControls();
    CJButton* AddButton(CFrameOverlayOptions& set, const char* id, CTextSubstitutionList& values,
                        void (CEndOfLevelWindow::*action)());
    void ChooseAdvice();

    float m_ElapsedTime = 0.0f;
    bool m_Hidden = false;
    bool m_Won;
    CJString m_Message;
    CJString m_AdviceTitle;
    CJString m_Advice;
    CJString m_AdviceList;
    CSprite* m_Sprite = nullptr; // owned, never drawn
    bool m_WinAnnounced = false;
    bool m_FailAnnounced = false;
    bool m_Revealed[3] = {};
};

class CTutorialEndOfLevelWindow : public CMenuWindow {
public:
    CTutorialEndOfLevelWindow();
    ~CTutorialEndOfLevelWindow() override;

    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;

    void Continue();
    void FillSubstitutions(CTextSubstitutionList& values) const;
    float GetElapsedTime() const { return m_ElapsedTime; }

private:
    float m_ElapsedTime = 0.0f;
};

// The open windows; null when none is.
CEndOfLevelWindow* GetEndOfLevelWindow();
CTutorialEndOfLevelWindow* GetTutorialEndOfLevelWindow();

// The game object's entries for both windows (close and is-open; they are
// opened only by the level's end).
void InstallEndOfLevelScreens();
