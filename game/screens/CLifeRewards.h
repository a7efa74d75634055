#pragma once
// Life rewards: one page per stretch of ten career levels. A reward shown
// after level L - 1 covers the levels L - 10 to L - 1 and counts the optional
// goals the current player achieved there against those the levels offer;
// every goal of all ten achieved (and each level offering at least one)
// unlocks it. A reward placed before the tenth level covers no level at all
// and counts as unlocked with nothing to count.
//
// The window counts the earned goals up after a short delay, sounds the start
// and the end of the count, and lets the player leaf back to earlier rewards
// and on to the next one whose last level is completed. Its closing command
// runs exactly once: on "Continue", or when the window goes otherwise.
#include "foundation/CJString.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "ui/CMenuWindow.h"

#include <cstdint>

class CCommand;
class CFrameOverlayOptions;
class CJButton;
class CTextSubstitutionList;

class CLifeRewards : public CObject {
    OMBRISALT_REFLECTED(CLifeRewards, CObject)
public:
    CLifeRewards();
    ~CLifeRewards() override;

    bool IsUnlocked() const;
    uint32_t GetGoalsAvailable() const;
    uint32_t GetGoalsEarned() const;
    // Whether the level is one of those the reward counts.
    bool CoversLevel(uint32_t level) const;

    CJString m_PositionMarkerName;
    uint32_t m_LevelToDisplayAfter = 0;        // 1-based: shown after level index L - 1
    int32_t m_LifeRewardOverlay = 0;           // frame overlay options list
    int32_t m_MapScreenExpertButtonFrameIndex = 0; // frame library
    int32_t m_MapScreenExpertButtonHighlightFrameIndex = 0;
};

class CLifeRewardsList : public CObjectArrayBaseTemplate<CLifeRewards> {
public:
    CLifeRewardsList();
};
// "LifeRewards" under "Resources/LifeRewards", "LifeRewards.txt"; made on
// first use.
CLifeRewardsList& GetLifeRewardList();

// The story page the last reward, earned, leads to.
inline constexpr uint32_t kLastRewardStoryPage = 2;

// The first reward in list order shown after the 0-based level; null when
// none is.
CLifeRewards* FindLifeRewardForLevel(uint32_t levelIndex);

class CLifeRewardWindow : public CMenuWindow {
public:
    // reward: not owned, may be null (the window then shows nothing);
    // review: opened to look back rather than on reaching the reward;
    // closing: owned, may be null.
    CLifeRewardWindow(CJWindow* parent, CLifeRewards* reward, bool review, CCommand* closing);
    ~CLifeRewardWindow() override;

    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;
    void SetFocus(bool focus) override;

    void Continue();
    void PreviousPage();
    void NextPage();
    // Rebuilds the buttons for the page shown.
    void CreateControls();

    // The reward on the page shown; null when the list holds another class
    // there.
    CLifeRewards* GetPageReward() const;
    uint32_t GetPage() const { return m_Page; }
    uint32_t GetCountedGoals() const { return m_CountedGoals; }
    float GetElapsedTime() const { return m_ElapsedTime; }
    bool IsNextRewardOpen() const;
    // The values the page's sets are drawn with.
    void FillSubstitutions(CTextSubstitutionList& values) const;

private:
    void TurnTo(uint32_t page);
    void RunClosingCommand();

    bool m_Review;
    CCommand* m_ClosingCommand;
    float m_ElapsedTime = 0.0f;
    uint32_t m_Page = 0;
    bool m_SkipCounting = false;
    uint32_t m_CountedGoals = 0;
    bool m_StartSoundPlayed = false;
    bool m_DoneSoundPlayed = false;
};

// The rewards window alive now; null when none is.
CLifeRewardWindow* GetLifeRewardWindow();

// Opens the rewards window on the game's screen at the reward shown after
// the level (the first reward when none is), with the closing command
// (owned, deleted when no window could be made). False when the list holds
// no reward.
bool OpenLifeRewardWindow(uint32_t levelIndex, bool review, CCommand* closing);

// Enters the rewards window in the game object's screen table and its list
// among the progression lists.
void InstallLifeRewardsScreen();
