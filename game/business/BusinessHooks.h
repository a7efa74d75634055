#pragma once
// The business layer's answers to the hooks the world left for it, and the
// one installer the program calls at start-up.
//
// The game object's, the HUD's and the level's hook tables also carry
// services of the game screens above this layer. Their installer derives
// from the classes here (CBusinessGameAppHooks, CBusinessHudHooks,
// CBusinessCurrentLevelHooks), overrides only the screen services, and
// installs its own instance after InstallGameBusinessHooks(), so the
// business services stay in place.
//
// The lots, upgrades and typed words reach customers and achievements
// through CCustomerServices and CAchievementServices, which do nothing until
// installed (tests install doubles). InstallGameBusinessHooks installs the
// customers (CustomerServices.h, with the level's and goals' customer
// hooks, whose profile services the screens add the same way); the
// achievements come with the screens.
#include "game/world/CCurrentLevel.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CHUD.h"
#include "game/world/CTypedCommands.h"
#include "game/world/LotHooks.h"

class CCustomerServices {
public:
    virtual ~CCustomerServices() = default;

    // The customer held on the mouse cursor; taking releases it.
    virtual CSpriteAI* GetHeldCustomer() { return nullptr; }
    virtual CSpriteAI* TakeHeldCustomer() { return nullptr; }
    virtual void DropHeldCustomer() {}

    virtual CBuildablePackage* GetOrder(CSpriteAI* /*customer*/) { return nullptr; }
    virtual float GetHeartsLeft(CSpriteAI* /*customer*/) { return 0.0f; }
    virtual float GetMoveInBonus(CSpriteAI* /*customer*/) { return 0.0f; }
    virtual void TurnAway(CSpriteAI* /*customer*/) {}
    virtual void ShowDisappointment(CSpriteAI* /*customer*/) {}
    virtual void RecordMoveIn(CSpriteAI* /*customer*/) {}
    virtual void GetReadyToMoveIn(CSpriteAI* /*customer*/, CLot* /*lot*/) {}
    virtual void WalkTo(CSpriteAI* /*customer*/, CFPoint /*point*/) {}
    virtual void SetSpeed(CSpriteAI* /*customer*/, float /*speed*/) {}
    virtual void ReactToLot(CSpriteAI* /*customer*/, CLot* /*lot*/) {}
    virtual CSpriteAI* GetCustomer(CSprite* /*sprite*/) { return nullptr; }
    virtual bool IsIdle(CSpriteAI* /*customer*/) { return false; }
    virtual void AddHearts(CSpriteAI* /*customer*/, float /*hearts*/) {}
    virtual void MakeLeave(CSprite& /*sprite*/) {}

    // The arrivals, once per playing update, and one customer at once.
    virtual void RunArrival() {}
    virtual void SpawnOne() {}
    virtual void DrawOverlays(CFrameInterface& /*target*/) {}
};

// Installs services (null: none); returns the previous ones. The caller
// keeps ownership.
CCustomerServices* SetCustomerServices(CCustomerServices* services);
CCustomerServices& GetCustomerServices();

class CAchievementServices {
public:
    virtual ~CAchievementServices() = default;
    virtual void ReportWatchedUpgradeMovedIn(bool /*holds*/) {}
    virtual void ReportInARowRuns(int32_t /*runs*/) {}
    virtual void ResetAchievements() {}
    // The upgrade slot whose held part makes a house a blue model home; 0
    // for none.
    virtual int32_t GetWatchedUpgradeSlot() { return 0; }
};

CAchievementServices* SetAchievementServices(CAchievementServices* services);
CAchievementServices& GetAchievementServices();

class CBusinessLotHooks : public CLotHooks {
public:
    CSpriteAI* GetHeldCustomer() override;
    CSpriteAI* TakeHeldCustomer() override;
    CSpriteAI* GetHeldUpgradeButton() override;
    CSpriteAI* TakeHeldUpgradeButton() override;
    bool IsHeldSignpostButton() override;
    CSpriteAI* GetSignpostAI() override;
    void ClearHeldSprite() override;

    CUpgrade* GetButtonUpgrade(CSpriteAI* button) override;
    bool UseButtonOnLot(CSpriteAI* button, CLot* lot) override;
    bool IsUsedOnLots(CUpgrade* upgrade) override;
    bool IsUsedOnLot(CUpgrade* upgrade, CLot* lot) override;
    bool IsBulldozer(CUpgrade* upgrade) override;

    CBuildablePackage* GetOrder(CSpriteAI* customer) override;
    float GetHeartsLeft(CSpriteAI* customer) override;
    float GetMoveInBonus(CSpriteAI* customer) override;
    void TurnAway(CSpriteAI* customer) override;
    void ShowDisappointment(CSpriteAI* customer) override;
    void RecordMoveIn(CSpriteAI* customer) override;
    void GetReadyToMoveIn(CSpriteAI* customer, CLot* lot) override;
    void WalkTo(CSpriteAI* customer, CFPoint point) override;
    void SetSpeed(CSpriteAI* customer, float speed) override;
    void ReactToLot(CSpriteAI* customer, CLot* lot) override;
    CSpriteAI* GetCustomer(CSprite* sprite) override;
    bool IsIdle(CSpriteAI* customer) override;
    void AddHearts(CSpriteAI* customer, float hearts) override;

    void ReportUnpainted(CBuildablePackage* building) override;
    void ReportMismatch(CBuildablePackage* building, CSpriteAI* customer) override;
    void MarkPartInARow(CBuildablePackage* building, int32_t upgrade) override;
    void InitializeBuilding(CBuildablePackage* building, CLot* lot) override;
    void AdvanceConstruction(CBuildablePackage* building, float seconds) override;
    void AdvanceConstructionBy(CBuildablePackage* building, float fraction) override;
    void ReplacePrebuiltParts(CBuildablePackage* building) override;
    void DrawBuilding(CBuildablePackage* building, CFrameInterface& frame, float scale) override;
    void SetBuildingVolume(CBuildablePackage* building, int32_t volume) override;
    bool CanTakePart(CBuildablePackage* building, CBuildablePart* part) override;
    CBuildablePart* GetPartUnderConstruction(CBuildablePackage* building) override;
    CSequence* GetAddOnAppearance(CBuildablePackage* building) override;
    bool HoldsWatchedUpgrade(CBuildablePackage* building) override;

    float GetForemanSpeed(CSpriteAI* foreman) override;
    void TellForemanMoveIn(CSpriteAI* foreman, CLot* lot) override;

    void ShowIllegalMove(const char* messageId) override;

    void AddInARowBonus(CThreeInARowCounter* counter) override;
    float GetCounterBuildPercentPerClick(CThreeInARowCounter* counter, float fallback) override;
    uint32_t GetCounterMegaSequence(CThreeInARowCounter* counter) override;

    CColor GetPaintColour(CBuildablePart* paint) override;

    float GetDelivererHeartBonus(CUpgrade* deliverer) override;

    void ReportWatchedUpgradeMovedIn(bool holds) override;
    void ReportInARowRuns(int32_t runs) override;
};

// The illegal-move part; the screens add the tips.
class CBusinessHudHooks : public CHudHooks {
public:
    void UpdateIllegalMoveDisplay(float seconds) override;
    void DrawIllegalMoveDisplay(CFrameInterface& frame) override;
};

// The upgrade sprites of a starting level; the screens add the player's
// play mode and the advice.
class CBusinessCurrentLevelHooks : public CCurrentLevelHooks {
public:
    bool GetUpgradeSlotMarkerPosition(uint32_t slot, CFPoint& out) override;
    CSpriteAI* CreateCrewAI(int32_t buildPhase) override;
    bool ShowsSlotSprite(CUpgrade* upgrade) override;
    CSpriteAI* CreateSlotAI(CUpgrade* upgrade, uint32_t slot) override;
    CSpritePlugIn* CloneSlotPlugIn(CUpgrade* upgrade) override;
    CSpriteAI* CreateCompanionAI(CUpgrade* upgrade, bool& isSignpost) override;
    void DropSpriteHeldOnCursor() override;
};

// The crews, customers and illegal-move services; the screens add the
// screens, the player's clocks, the editor and the progression lists.
class CBusinessGameAppHooks : public CGameAppHooks {
public:
    void StartCrewCountingFrame() override;
    void RunCustomerArrival() override;
    void SpawnOneCustomer() override;
    void ResetIllegalMoveDisplay() override;
    void DrawCustomerOverlays(CFrameInterface& target) override;
    uint32_t GetCrewsWorking() override;
    bool GetSparkleOptions(SSparkleOptions& out) override;
};

class CBusinessTypedCommandHooks : public CTypedCommandHooks {
public:
    void GrantThreeInARowBonus(CThreeInARowCounter& counter) override;
    void ResetAchievements() override;
    void MakeCustomerLeave(CSprite& sprite) override;
};

class CBusinessGameSongHooks : public CGameSongHooks {
public:
    int32_t GetThreeInARowSong() override;
};

// Installs every table above (each one instance for the program's life).
// Called again it installs the same instances.
void InstallGameBusinessHooks();
