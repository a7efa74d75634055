#pragma once
// Tutorial pop-ups: the chain of scripted messages shown over the playfield.
// A message (CTutorial, a record of "Tutorial.txt") opens as a sprite on the
// playfield's "Effects" layer driven by a CTutorialPopUpSpriteAI, sends its
// message to the level, and closes itself when its success or failure
// condition is met, opening the message that follows. "PlayerInteraction-
// Complete" closes every pop-up without a follow-up.
//
// The player's history ("Tutorial History" on the profile) records every
// message ever opened, so that a level script can skip those seen before;
// either Shift key held makes the history answer "not seen".
#include "game/scripting/CSpriteAI.h"
#include "game/scripting/CSpritePlugIn.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CStringProperty.h"

#include <cstdint>

class CFrameInterface;
class CTutorial;
class CPlayerStats;

class CTutorialDisplayOptions : public CObject {
    OMBRISALT_REFLECTED(CTutorialDisplayOptions, CObject)
public:
    CTutorialDisplayOptions();
    ~CTutorialDisplayOptions() override;

    int32_t m_TitleFont = 0;           // font list; carried, not drawn
    int32_t m_OpenSound = 0;           // audio list; carried, not played
    int32_t m_CloseSound = 0;          // audio list; carried, not played
    int32_t m_FrameOverlayOptions = 0; // overlay sets; the pop-up's look
    int32_t m_ArrowSequence = 0;       // global sequences; its first frame
};
// The general object "Tutorial Display Options", found once; a data set
// without it is the general objects' fatal missing-item report.
CTutorialDisplayOptions& GetTutorialDisplayOptions();

class CTutorialHistory : public CObject {
    OMBRISALT_REFLECTED(CTutorialHistory, CObject)
public:
    CTutorialHistory();
    ~CTutorialHistory() override;

    // False while either Shift key is down, so a seen message shows again.
    bool HasBeenDisplayed(int32_t index) const;
    // Appends the index unless it is there already.
    void AddDisplayed(int32_t index);
    // Keeps the first count entries.
    void KeepFirst(uint32_t count);

    CPropertyArray<int32_t> m_TutorialIndexesHaveBeenDisplayed; // in the order opened
};

// Attaches "Tutorial History" to the player records; before any "Stats.dat"
// is read.
void RegisterTutorialProperties();
// The player's history, made with defaults on first use.
CTutorialHistory* GetTutorialHistory(CPlayerStats& player);
// The current player's; null without a current player.
CTutorialHistory* GetTutorialHistory();

// A street's play begins: the messages it opens from now on are this
// play's (the level start calls it).
void BeginTutorialPlay();
// Restarting the street forgets what this play opened, so that every
// message of the street shows again from its start.
void ForgetTutorialsOfThisPlay();
// The street ended: what its play opened stays seen, whatever follows.
void EndTutorialPlay();

// Opens the pop-up of the tutorial list entry (none or out of range:
// nothing); with skipIfShown a message the player has seen stays shut.
// The shop's shopping tutorial and the follow-ups come through here.
void ShowTutorial(int32_t index, bool skipIfShown);

// Draws the pop-up of the entry into the frame as it looks after that many
// seconds open.
void DrawTutorialPopUp(int32_t index, CFrameInterface& target, float secondsShown);
// The same for a message object, in the list or not: the level editor's
// preview of the one being edited.
void DrawTutorialPopUp(CTutorial& tutorial, CFrameInterface& target, float secondsShown);

class CTutorialPopUpSpriteAI : public CSpriteAI {
    OMBRISALT_REFLECTED(CTutorialPopUpSpriteAI, CSpriteAI)
public:
    CTutorialPopUpSpriteAI();
    explicit CTutorialPopUpSpriteAI(int32_t tutorial);
    ~CTutorialPopUpSpriteAI() override;

    void Update(CSpriteUpdateRecord& record) override;
    void Draw(CSpriteDrawRecord& record) override;
    void HandleMessage(CMessage& message) override;

    float GetSecondsShown() const { return m_SecondsShown; }

    int32_t m_Tutorial = 0; // "Tutorial"

private:
    float m_SecondsShown = 0.0f;
    // Until its first update: the message whose answer opened this pop-up,
    // which it does not answer in turn.
    const CMessage* m_MessageBeingAnswered = nullptr;
};

class CShowTutorialPopUpSpritePlugIn : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CShowTutorialPopUpSpritePlugIn, CSpritePlugIn)
public:
    CShowTutorialPopUpSpritePlugIn();
    ~CShowTutorialPopUpSpritePlugIn() override;
    void Update(CPlugInUpdateRecord& record) override;

    int32_t m_Tutorial = 0;           // "Tutorial"
    bool m_SkipIfShownBefore = false; // "Skip If Shown Before"
};

// Keeps the level's introduction text; runs every update, never done.
class CSetLevelTextSpritePlugIn : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSetLevelTextSpritePlugIn, CSpritePlugIn)
public:
    CSetLevelTextSpritePlugIn();
    ~CSetLevelTextSpritePlugIn() override;
    void Update(CPlugInUpdateRecord& record) override;

    CTranslatedText m_LevelText; // "Level Text"
};

// Registers the classes above and the history's property.
void RegisterTutorialClasses();
