#pragma once
// What the lots, upgrades, goals, levels and typed words ask of customers,
// answered by CCustomer. The world names a customer by its sprite AI; any
// AI that is no CCustomer is answered as "no customer".
#include "game/business/BusinessHooks.h"
#include "game/world/CGoal.h"
#include "game/world/CLevelOptions.h"

class CCustomer;

// The CCustomer of that AI, or null.
CCustomer* AsCustomer(CSpriteAI* ai);
// The first CCustomer of the sprite's AI chain, or null.
CCustomer* FindCustomer(CSprite* sprite);

class CGameCustomerServices : public CCustomerServices {
public:
    CSpriteAI* GetHeldCustomer() override;
    CSpriteAI* TakeHeldCustomer() override;
    void DropHeldCustomer() override;

    CBuildablePackage* GetOrder(CSpriteAI* customer) override;
    float GetHeartsLeft(CSpriteAI* customer) override;
    float GetMoveInBonus(CSpriteAI* customer) override;
    // A refused drop: the customer says why and walks back to its place.
    void TurnAway(CSpriteAI* customer) override;
    void ShowDisappointment(CSpriteAI* customer) override;
    void GetReadyToMoveIn(CSpriteAI* customer, CLot* lot) override;
    void WalkTo(CSpriteAI* customer, CFPoint point) override;
    void ReactToLot(CSpriteAI* customer, CLot* lot) override;
    CSpriteAI* GetCustomer(CSprite* sprite) override;
    bool IsIdle(CSpriteAI* customer) override;
    void AddHearts(CSpriteAI* customer, float hearts) override;
    void MakeLeave(CSprite& sprite) override;

    void RunArrival() override;
    void SpawnOne() override;
    void DrawOverlays(CFrameInterface& target) override;
};

// The customers the level reads: a waiting customer is one whose sprite is
// still active (leaving clears it); the lots with nobody living there.
class CBusinessLevelOptionsHooks : public CLevelOptionsHooks {
public:
    bool IsWaitingCustomer(CSprite* sprite) override;
    int32_t GetCustomerStyle(CSprite* sprite) override;
    CBuildablePackage* GetWantedPackage(CSprite* sprite) override;
    bool IsEmptyLot(CSprite* sprite) override;
};

// The customer services of goals; the profile services come with the screens.
class CBusinessGoalHooks : public CGoalHooks {
public:
    float GetHeartsLeft(CSpriteAI* customer) override;
    int32_t GetCustomerStyle(CSpriteAI* customer) override;
    void HighlightCustomersWanting(int32_t upgrade) override;
    void HighlightCustomersOfStyle(int32_t style) override;
};
