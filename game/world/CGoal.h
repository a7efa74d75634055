#pragma once
// Optional goals a level may carry beside its required revenue. A goal is
// open, then achieved (its kind's test sets "Achieved This Time"), then
// awarded at its next Draw; or it fails. Achieving never clears, and only
// drawing awards, so a goal nobody shows is never announced.
//
// A goal lays itself out as one line of runs (stretches of text and small images)
// in two passes: the first measures, and when the line is wider than the
// options allow, only the widest text run is narrowed (and wraps) for the
// second, drawing pass. Images keep their size.
#include "foundation/CJString.h"
#include "foundation/CPoint.h"
#include "foundation/CRect.h"
#include "objects/CObject.h"

#include <cstdint>
#include <vector>

class CFont;
class CFrameInterface;
class CLevelOptions;
class CMessage;
class CPlayfieldLayer;
class CSequence;
class CSprite;
class CSpriteAI;
class CTextSubstitutionList;
class CUpgrade;

struct CGoalRun {
    int32_t advance = 0;
    int32_t widthLimit = 0; // 0: none
    bool isText = false;
};

// Filled by the caller (a goal panel), advanced by the runs.
struct CGoalLayout {
    CFrameInterface* frame = nullptr;
    uint32_t goalIndex = 0; // within the level's optional goals
    int32_t penX = 0;
    int32_t centreY = 0;
    int32_t spacing = 0;
    CFont* font = nullptr;
    int32_t maxImageHeight = 0;
    bool hovered = false; // the mouse is over the goal
    bool drawing = false; // false while measuring
    uint32_t runIndex = 0;
    std::vector<CGoalRun> runs;
    // Where the drawing pass put the image of the first token, if it drew one.
    CRect token1Rect{};
    bool hasToken1Rect = false;
};

// The images a goal text's tokens stand for; a token without an image is
// dropped from the line.
struct CGoalTokens {
    CSequence* image1 = nullptr; // drawn at its default frame
    CJString token1;
    CSequence* image2 = nullptr; // drawn at frameValue
    CJString token2;
    float frameValue = 0.0f;
    float extraValue = 0.0f;
    // The part an image shows, drawn unpainted as its button is.
    CUpgrade* part1 = nullptr;
    CUpgrade* part2 = nullptr;
};

class CGoal : public CObject {
    OMBRISALT_REFLECTED(CGoal, CObject)
public:
    CGoal();
    ~CGoal() override;

    // Lays the goal out into the record (drawing when the record says so)
    // and ends with AwardIfAchieved.
    virtual void Draw(CGoalLayout& layout) = 0;
    virtual void AddTextRun(CGoalLayout& layout, const CJString& text);
    // A null sequence, or one without the frame, advances by the spacing
    // only. The drawn rectangle goes to drawn when given (drawing pass). A
    // part's picture is drawn as its button shows it.
    virtual void AddImageRun(CGoalLayout& layout, CSequence* sequence, float frameValue, float extraValue,
                             CRect* drawn = nullptr, CUpgrade* part = nullptr);
    virtual void LayOut(CGoalLayout& layout, const CJString& text, const CGoalTokens& tokens);
    virtual void AddFormattedText(CGoalLayout& layout, const CJString& text, const CGoalTokens& tokens);
    // Every level step while not achieved.
    virtual void Update(float /*seconds*/) {}
    // Every message the level receives while not achieved.
    virtual void HandleMessage(CMessage& /*message*/) {}
    // Whether the goal is about that customer style (the level's one-value
    // acceptance test).
    virtual bool RefersToCustomer(int32_t /*customerStyle*/) { return false; }

    // Sets "Failed" and tells the current playfield, on every call.
    void SetFailed();
    void SetAchievedPreviously() { m_AchievedPreviously = true; }
    // Announces an achieved goal once per play: statistics (unless achieved
    // in an earlier play), the period's sound, the star and the message.
    void AwardIfAchieved(CGoalLayout& layout);

    bool IsStarPending() const { return m_StarPending; }
    // The level takes the star request when it plays the effect.
    bool TakeStarPending();

    bool m_AchievedPreviously = false;
    bool m_AchievedThisTime = false;
    bool m_AwardedThisTime = false;
    bool m_Failed = false;

private:
    bool m_StarPending = false;
};

class CRevenueGoal : public CGoal {
    OMBRISALT_REFLECTED(CRevenueGoal, CGoal)
public:
    CRevenueGoal();
    ~CRevenueGoal() override;

    void Draw(CGoalLayout& layout) override;
    void Update(float seconds) override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    float m_Revenue = 0.0f; // thousands of $
};

// Screens that show the level's revenue and goals: every property of the
// current game state and level as "%s[name]", then "%s[Revenue]",
// "%s[Goal1]", "%s[RevenueChanging]" and "%s[Has3Goals]".
void AddGoalTextVariables(CTextSubstitutionList& list);
