#pragma once
// The foreman: an upgrade the player buys, shown as a sprite of the "Crew"
// layer that stands at home and, sent to a lot (by his upgrade button, by
// being picked up, or by himself), makes the building there go up faster.
#include "game/business/CUpgrade.h"
#include "game/scripting/CSpriteAI.h"

#include <cstdint>

class CBuildablePackage;
class CCodeTableList;
class CLot;
class CSprite;
class CSpriteAI;

class CForemanUpgrade : public CUpgrade {
    OMBRISALT_REFLECTED(CForemanUpgrade, CUpgrade)
public:
    enum EBehavior : int32_t { kDefault = 0, kFreeRoam = 1, kRoamWhenIdle = 2 };

    CForemanUpgrade();
    ~CForemanUpgrade() override;

    // Sends the foreman (when there is one) to the lot; an empty lot is
    // refused with "NoForemanEmptyLot".
    bool DropOnLot(int32_t upgradeIndex, CLot* lot) override;
    bool IsDraggable() override { return true; }
    bool IsUsedOnLot() override { return true; }

    int32_t m_JobFinishedAudio = 0;         // "Sounds/Job Finished Audio"
    float m_BuildSpeed = 1.5f;              // "Build Speed"
    int32_t m_ForemanBehavior = kDefault;   // "Foreman Behavior"
    bool m_PlayerOverridesBehavior = false; // "Player Overrides Behavior"
};

// "!Default", "Free Roam", "Roam When Idle".
CCodeTableList& GetForemanBehaviorList();

class CForeman : public CSpriteAI {
    OMBRISALT_REFLECTED(CForeman, CSpriteAI)
public:
    enum EState : int32_t { kIdle = 0, kGoingToLot = 1, kOverseeing = 2, kReturningHome = 3 };

    CForeman();
    // The lot he oversees forgets him.
    ~CForeman() override;

    // The foreman upgrade's looks.
    void OnAddedToSprite(CSprite* sprite) override;
    void Update(CSpriteUpdateRecord& record) override;
    void HandleMessage(CMessage& message) override;

    // False when he already oversees that lot. Null sends him home.
    bool Assign(CLot* lot, bool placedByPlayer);
    // A finished part on his lot frees him to roam again.
    void OnPackageFinished(CBuildablePackage* package);

    CLot* GetLot() const { return m_Lot; }

    int32_t m_ForemanState = kIdle; // "Foreman State"
    float m_Presence = 0.0f;        // "Presence", 0 to 0.5; the opacity is twice it
    bool m_PlacedByPlayer = false;  // "Placed By Player"

private:
    // Takes the first lot under construction, unless placed by the player.
    void FindWork();
    // Forgets the lot, which forgets him when it is still there.
    void ReleaseLot();

    CLot* m_Lot = nullptr;
};

// "Idle", "Going To Lot", "Overseeing", "Returning Home".
CCodeTableList& GetForemanStateList();

// The upgrade held in the slot named "Foreman" when it is a foreman upgrade.
CForemanUpgrade* GetForemanUpgrade();
// Its "Build Speed"; 1.0 without one.
float GetForemanBuildSpeed();
// The first foreman of the "Crew" layer, or null.
CForeman* FindForeman();
// The first sprite of the "UI" layer whose upgrade button holds a foreman
// upgrade, or null.
CSprite* FindForemanButton();
// A foreman AI at its start state for a foreman upgrade (the level start);
// null for any other upgrade.
CForeman* CreateForemanAI(CUpgrade& upgrade);
