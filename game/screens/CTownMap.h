#pragma once
// The map screen: one button per level on the "Level Select Menu Frame
// Overlay" map, the highlight on the selected level, the towns and star
// beams earned, and the progression effects of a level just completed (the
// highlight gliding to the newly unlocked level, its unlock effect, a new
// town flashing, the rewards flier and the life rewards screen).
//
// The level buttons keep one slot per level, empty where the map has no
// "Level%03d" marker, so a missing marker never shifts the later levels.
#include "foundation/CJString.h"
#include "foundation/CPoint.h"
#include "game/scripting/CSpriteAI.h"
#include "ui/CMenuWindow.h"

#include <cstdint>
#include <vector>

class CFrameOverlayOptions;
class CJButton;
class CLevelOptions;
class CLifeRewards;
class CPlayerStatsForLevel;
class CTextSubstitutionList;

// Draws the rules' "Rewards Flier Overlay" at its sprite, turning the
// overlay's "Sparkles" timeline to the direction of travel. The sprite's
// movement is another AI's.
class CRewardsUnlockFlierAI : public CSpriteAI {
    OMBRISALT_REFLECTED(CRewardsUnlockFlierAI, CSpriteAI)
public:
    CRewardsUnlockFlierAI();
    ~CRewardsUnlockFlierAI() override;

    void Update(CSpriteUpdateRecord& record) override;
    void PostDraw(CSpriteDrawRecord& record) override;

    float m_AngleDegrees = 0.0f;
};

// The flier's "Angle Degrees" for a flight from one point to another:
// the direction of travel turned a quarter, in [0, 360).
float GetRewardsFlierAngle(float fromX, float fromY, float toX, float toY);

// "Level" and the index in three digits: "Level007".
CJString GetLevelMarkerName(uint32_t level);
// The frame name of a level's active button: "LevelButtonActive" and the
// period digit (period - 1 as unsigned, at most 5), the goals digit (2 to 3)
// and the achieved digit (at most the goals digit).
CJString GetLevelButtonImageName(int32_t period, uint32_t optionalGoals, uint32_t achieved);

// Places one marker per level of the set around its period's centre on the
// map, moving markers the map has and cloning the rules' marker for the
// others. Run at start-up when the rules ask for it.
void LayOutLevelSelectMarkers();

class CTownMapWindow : public CMenuWindow {
public:
    enum class EState : uint32_t { Glide = 0, Rewards = 1, WaitingForRewards = 2, Idle = 3 };

    explicit CTownMapWindow(CJWindow* parent);
    ~CTownMapWindow() override;

    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;
    void SetFocus(bool focus) override;

    // The level buttons' command: level 0, or a level whose previous level
    // is completed.
    void SelectLevel(uint32_t level);
    void Play();
    void OpenTrophyRoomFromMap();
    void Quit();
    void ShowStory();
    void PlayTutorial();

    // The movement AI's arrival: the reward button's unlock and the rewards
    // screen's countdowns start.
    void OnFlierArrived();
    // The rewards screen's continuation.
    void OnRewardsScreenClosed();

    // The values one draw fills in.
    void FillSubstitutions(CTextSubstitutionList& values) const;

    EState GetState() const { return m_State; }
    float GetClock() const { return m_Clock; }
    uint32_t GetSelectedLevel() const { return m_SelectedLevel; }
    int32_t GetNewlyUnlockedLevel() const { return m_NewlyUnlockedLevel; }
    int32_t GetRewardsLevel() const { return m_RewardsLevel; }
    bool IsRewardsFlagSet() const { return m_RewardsFlag; }
    CPoint GetHighlightPosition() const { return m_Highlight; }
    // Null where the map has no marker for the level, or past the set.
    CJButton* GetLevelButton(uint32_t level) const;
    uint32_t GetLevelButtonSlots() const { return uint32_t(m_LevelButtons.size()); }
    CJButton* GetRewardsButton() const { return m_RewardsButton; }
    bool IsRewardsButtonShown() const { return m_RewardsButton && !m_RewardsButtonPending; }
    int32_t GetUnlockFrame() const { return m_UnlockFrame; }
    uint32_t GetTownsShown() const { return m_TownsShown; }
    uint32_t GetTownBlink() const { return m_TownBlink; }
    CJButton* GetButton(const char* id) const;

private:
    void CreateLevelButton(CFrameOverlayOptions& set, CTextSubstitutionList& values, uint32_t level);
    void StartRewardsSequence(CJButton* button, uint32_t level);
    bool WasRewardEarnedNow(const CLifeRewards& reward, uint32_t level) const;
    void AddAtMarker(CJButton* button);
    void SetActiveImage(uint32_t level);
    void MoveHighlightTo(const CJButton* button);
    void StartUnlockCountdown(float seconds);
    void AdvanceUnlockEffect(float seconds);
    void AdvanceNewTown(float seconds);
    void AdvanceGlide();
    void AdvanceRewards(float seconds);
    void SpawnFlier();
    void ShowRewardsButton();
    void OpenRewardsScreen();
    void RetitlePlayButton();
    bool ButtonsWork() const { return m_State == EState::Glide || m_State == EState::Idle; }
    CJButton* AddNamedButton(CFrameOverlayOptions& set, CTextSubstitutionList& values, const char* id,
                             void (CTownMapWindow::*action)());

    float m_Clock = 0.0f;
    uint32_t m_SelectedLevel = 0;
    std::vector<CJButton*> m_LevelButtons; // one slot per level, null where absent
    std::vector<bool> m_MarkedExpertNow;   // per level: marked expert on this visit
    CPoint m_Highlight{0, 0};
    CJButton* m_GlideFrom = nullptr;
    CJButton* m_GlideTo = nullptr;
    int32_t m_NewlyUnlockedLevel = -1;

    bool m_UnlockCountdownRunning = false;
    float m_UnlockCountdown = 0.0f;
    float m_UnlockClock = 0.0f;
    int32_t m_UnlockFrame = -1;

    bool m_NewTownRunning = false;
    bool m_NewTownAudioPlayed = false;
    float m_NewTownCountdown = 0.0f;
    uint32_t m_TownsShown = 0;
    uint32_t m_TownBlink = 0;

    CJButton* m_RewardsButton = nullptr;
    bool m_RewardsButtonPending = false; // made but not yet a child: this window owns it
    CLifeRewards* m_Reward = nullptr;    // the rewards button's reward
    int32_t m_RewardsLevel = -1;
    bool m_FlierCountdownRunning = false;
    float m_FlierCountdown = 0.0f;
    bool m_ArrivalCountdownsRunning = false;
    bool m_RewardsButtonCountdownRunning = false;
    float m_RewardsButtonCountdown = 0.0f;
    float m_OpenCountdown = 0.0f;
    bool m_RewardsFlag = false;

    EState m_State = EState::Idle;
    std::vector<std::pair<CJString, CJButton*>> m_Named;
};

// The map screen alive now; null when none is.
CTownMapWindow* GetTownMapWindow();

// Adds a new map screen to the game's windows (the results' "Continue", the
// shop's "Back", the intro of level 0, the pause menu's "Quit"). Returns the
// window, or null when none could be made.
CMenuWindow* OpenTownMap();

// Enters the map in the game object's screen table.
void InstallTownMapScreen();
