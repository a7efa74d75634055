#include "game/business/BusinessHooks.h"

#include "game/business/CBuildablePackageOps.h"
#include "game/business/CCrew.h"
#include "game/business/CDeliverer.h"
#include "game/business/CForeman.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CSignpost.h"
#include "game/business/CThreeInARowBonus.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeKinds.h"
#include "game/business/CustomerServices.h"
#include "game/world/CUpgrade.h"

namespace {

CCustomerServices g_NoCustomers;
CCustomerServices* g_Customers = nullptr;
CAchievementServices g_NoAchievements;
CAchievementServices* g_Achievements = nullptr;

} // namespace

CCustomerServices* SetCustomerServices(CCustomerServices* services)
{
    CCustomerServices* previous = g_Customers;
    g_Customers = services;
    return previous;
}

CCustomerServices& GetCustomerServices()
{
    return g_Customers ? *g_Customers : g_NoCustomers;
}

CAchievementServices* SetAchievementServices(CAchievementServices* services)
{
    CAchievementServices* previous = g_Achievements;
    g_Achievements = services;
    return previous;
}

CAchievementServices& GetAchievementServices()
{
    return g_Achievements ? *g_Achievements : g_NoAchievements;
}

// Lots. The free functions share the hooks' names, hence the "::".

CSpriteAI* CBusinessLotHooks::GetHeldCustomer()
{
    return GetCustomerServices().GetHeldCustomer();
}

CSpriteAI* CBusinessLotHooks::TakeHeldCustomer()
{
    return GetCustomerServices().TakeHeldCustomer();
}

CSpriteAI* CBusinessLotHooks::GetHeldUpgradeButton()
{
    return ::GetHeldUpgradeButton();
}

CSpriteAI* CBusinessLotHooks::TakeHeldUpgradeButton()
{
    return ::TakeHeldUpgradeButton();
}

bool CBusinessLotHooks::IsHeldSignpostButton()
{
    return ::IsHeldSignpostButton();
}

CSpriteAI* CBusinessLotHooks::GetSignpostAI()
{
    return ::GetSignpostAI();
}

void CBusinessLotHooks::ClearHeldSprite()
{
    GetCustomerServices().DropHeldCustomer();
    DropHeldUpgradeButton();
}

CUpgrade* CBusinessLotHooks::GetButtonUpgrade(CSpriteAI* button)
{
    return ::GetButtonUpgrade(button);
}

bool CBusinessLotHooks::UseButtonOnLot(CSpriteAI* button, CLot* lot)
{
    return UseUpgradeButtonOnLot(button, lot);
}

bool CBusinessLotHooks::IsUsedOnLots(CUpgrade* upgrade)
{
    return upgrade && upgrade->IsUsedOnLot();
}

bool CBusinessLotHooks::IsUsedOnLot(CUpgrade* upgrade, CLot* lot)
{
    return upgrade && IsUpgradeUsedOnLot(*upgrade, lot);
}

bool CBusinessLotHooks::IsBulldozer(CUpgrade* upgrade)
{
    return ::IsBulldozer(upgrade);
}

CBuildablePackage* CBusinessLotHooks::GetOrder(CSpriteAI* customer)
{
    return GetCustomerServices().GetOrder(customer);
}

float CBusinessLotHooks::GetHeartsLeft(CSpriteAI* customer)
{
    return GetCustomerServices().GetHeartsLeft(customer);
}

float CBusinessLotHooks::GetMoveInBonus(CSpriteAI* customer)
{
    return GetCustomerServices().GetMoveInBonus(customer);
}

void CBusinessLotHooks::TurnAway(CSpriteAI* customer)
{
    GetCustomerServices().TurnAway(customer);
}

void CBusinessLotHooks::ShowDisappointment(CSpriteAI* customer)
{
    GetCustomerServices().ShowDisappointment(customer);
}

void CBusinessLotHooks::RecordMoveIn(CSpriteAI* customer)
{
    GetCustomerServices().RecordMoveIn(customer);
}

void CBusinessLotHooks::GetReadyToMoveIn(CSpriteAI* customer, CLot* lot)
{
    GetCustomerServices().GetReadyToMoveIn(customer, lot);
}

void CBusinessLotHooks::WalkTo(CSpriteAI* customer, CFPoint point)
{
    GetCustomerServices().WalkTo(customer, point);
}

void CBusinessLotHooks::SetSpeed(CSpriteAI* customer, float speed)
{
    GetCustomerServices().SetSpeed(customer, speed);
}

void CBusinessLotHooks::ReactToLot(CSpriteAI* customer, CLot* lot)
{
    GetCustomerServices().ReactToLot(customer, lot);
}

CSpriteAI* CBusinessLotHooks::GetCustomer(CSprite* sprite)
{
    return GetCustomerServices().GetCustomer(sprite);
}

bool CBusinessLotHooks::IsIdle(CSpriteAI* customer)
{
    return GetCustomerServices().IsIdle(customer);
}

void CBusinessLotHooks::AddHearts(CSpriteAI* customer, float hearts)
{
    GetCustomerServices().AddHearts(customer, hearts);
}

void CBusinessLotHooks::ReportUnpainted(CBuildablePackage* building)
{
    if (building)
        ReportUnpaintedBuilding(*building);
}

void CBusinessLotHooks::ReportMismatch(CBuildablePackage* building, CSpriteAI* customer)
{
    if (building)
        ReportMismatchedBuilding(*building, customer);
}

void CBusinessLotHooks::MarkPartInARow(CBuildablePackage* building, int32_t upgrade)
{
    if (building)
        ::MarkPartInARow(*building, upgrade);
}

void CBusinessLotHooks::InitializeBuilding(CBuildablePackage* building, CLot* lot)
{
    if (building)
        ::InitializeBuilding(*building, lot);
}

void CBusinessLotHooks::AdvanceConstruction(CBuildablePackage* building, float seconds)
{
    if (building)
        ::AdvanceConstruction(*building, seconds);
}

void CBusinessLotHooks::AdvanceConstructionBy(CBuildablePackage* building, float fraction)
{
    if (building)
        ::AdvanceConstructionBy(*building, fraction);
}

void CBusinessLotHooks::ReplacePrebuiltParts(CBuildablePackage* building)
{
    if (building)
        ::ReplacePrebuiltParts(*building);
}

void CBusinessLotHooks::DrawBuilding(CBuildablePackage* building, CFrameInterface& frame, float scale)
{
    if (building)
        ::DrawBuilding(*building, frame, scale);
}

void CBusinessLotHooks::SetBuildingVolume(CBuildablePackage* building, int32_t volume)
{
    if (building)
        ::SetBuildingVolume(*building, volume);
}

bool CBusinessLotHooks::CanTakePart(CBuildablePackage* building, CBuildablePart* part)
{
    return building && ::CanTakePart(*building, part);
}

CBuildablePart* CBusinessLotHooks::GetPartUnderConstruction(CBuildablePackage* building)
{
    return building ? ::GetPartUnderConstruction(*building) : nullptr;
}

CSequence* CBusinessLotHooks::GetAddOnAppearance(CBuildablePackage* building)
{
    return building ? ::GetAddOnAppearance(*building) : nullptr;
}

bool CBusinessLotHooks::HoldsWatchedUpgrade(CBuildablePackage* building)
{
    return building && ::HoldsWatchedUpgrade(*building);
}

float CBusinessLotHooks::GetForemanSpeed(CSpriteAI* foreman)
{
    return GetForemanBuildSpeed(foreman);
}

void CBusinessLotHooks::TellForemanMoveIn(CSpriteAI* foreman, CLot* lot)
{
    ::TellForemanMoveIn(foreman, lot);
}

void CBusinessLotHooks::ShowIllegalMove(const char* messageId)
{
    GetIllegalMoveDisplay().Show(messageId);
}

void CBusinessLotHooks::AddInARowBonus(CThreeInARowCounter* counter)
{
    if (counter)
        ::AddInARowBonus(*counter);
}

float CBusinessLotHooks::GetCounterBuildPercentPerClick(CThreeInARowCounter* counter, float fallback)
{
    return counter ? ::GetCounterBuildPercentPerClick(*counter, fallback) : fallback;
}

uint32_t CBusinessLotHooks::GetCounterMegaSequence(CThreeInARowCounter* counter)
{
    return counter ? ::GetCounterMegaSequence(*counter) : 0;
}

CColor CBusinessLotHooks::GetPaintColour(CBuildablePart* paint)
{
    return ::GetPaintColour(paint);
}

float CBusinessLotHooks::GetDelivererHeartBonus(CUpgrade* deliverer)
{
    return ::GetDelivererHeartBonus(deliverer);
}

void CBusinessLotHooks::ReportWatchedUpgradeMovedIn(bool holds)
{
    GetAchievementServices().ReportWatchedUpgradeMovedIn(holds);
}

void CBusinessLotHooks::ReportInARowRuns(int32_t runs)
{
    GetAchievementServices().ReportInARowRuns(runs);
}

// HUD.

void CBusinessHudHooks::UpdateIllegalMoveDisplay(float seconds)
{
    GetIllegalMoveDisplay().Update(seconds);
}

void CBusinessHudHooks::DrawIllegalMoveDisplay(CFrameInterface& frame)
{
    GetIllegalMoveDisplay().Draw(frame);
}

// Level start.

bool CBusinessCurrentLevelHooks::GetUpgradeSlotMarkerPosition(uint32_t slot, CFPoint& out)
{
    return ::GetUpgradeSlotMarkerPosition(slot, out);
}

CSpriteAI* CBusinessCurrentLevelHooks::CreateCrewAI(int32_t buildPhase)
{
    return ::CreateCrewAI(buildPhase);
}

bool CBusinessCurrentLevelHooks::ShowsSlotSprite(CUpgrade* upgrade)
{
    return upgrade && upgrade->HasButton();
}

CSpriteAI* CBusinessCurrentLevelHooks::CreateSlotAI(CUpgrade* upgrade, uint32_t slot)
{
    return upgrade ? CreateUpgradeButtonAI(*upgrade, slot) : nullptr;
}

CSpritePlugIn* CBusinessCurrentLevelHooks::CloneSlotPlugIn(CUpgrade* upgrade)
{
    return upgrade ? dynamic_cast<CSpritePlugIn*>(upgrade->m_SpritePlugIn.Clone()) : nullptr;
}

CSpriteAI* CBusinessCurrentLevelHooks::CreateCompanionAI(CUpgrade* upgrade, bool& isSignpost)
{
    isSignpost = false;
    if (!upgrade)
        return nullptr;
    if (CSpriteAI* foreman = CreateForemanAI(*upgrade))
        return foreman;
    CSpriteAI* signpost = CreateSignpostAI(*upgrade);
    isSignpost = signpost != nullptr;
    return signpost;
}

void CBusinessCurrentLevelHooks::DropSpriteHeldOnCursor()
{
    GetCustomerServices().DropHeldCustomer();
    DropHeldUpgradeButton();
}

// The game object.

void CBusinessGameAppHooks::StartCrewCountingFrame()
{
    BeginCrewFrame();
}

void CBusinessGameAppHooks::RunCustomerArrival()
{
    GetCustomerServices().RunArrival();
}

void CBusinessGameAppHooks::SpawnOneCustomer()
{
    GetCustomerServices().SpawnOne();
}

void CBusinessGameAppHooks::ResetIllegalMoveDisplay()
{
    GetIllegalMoveDisplay().Hide();
}

void CBusinessGameAppHooks::DrawCustomerOverlays(CFrameInterface& target)
{
    GetCustomerServices().DrawOverlays(target);
}

uint32_t CBusinessGameAppHooks::GetCrewsWorking()
{
    return ::GetCrewsWorking();
}

bool CBusinessGameAppHooks::GetSparkleOptions(SSparkleOptions& out)
{
    return GetThreeInARowSparkleOptions(out);
}

// Typed words and songs.

void CBusinessTypedCommandHooks::GrantThreeInARowBonus(CThreeInARowCounter& counter)
{
    ::GrantThreeInARowBonus(counter);
}

void CBusinessTypedCommandHooks::ResetAchievements()
{
    GetAchievementServices().ResetAchievements();
}

void CBusinessTypedCommandHooks::MakeCustomerLeave(CSprite& sprite)
{
    GetCustomerServices().MakeLeave(sprite);
}

int32_t CBusinessGameSongHooks::GetThreeInARowSong()
{
    return ::GetThreeInARowSong();
}

void InstallGameBusinessHooks()
{
    static CBusinessLotHooks lot;
    static CBusinessHudHooks hud;
    static CBusinessCurrentLevelHooks level;
    static CBusinessGameAppHooks game;
    static CBusinessTypedCommandHooks typed;
    static CBusinessGameSongHooks songs;
    static CGameCustomerServices customers;
    static CBusinessLevelOptionsHooks levelOptions;
    static CBusinessGoalHooks goals;
    SetLotHooks(&lot);
    SetHudHooks(&hud);
    SetCurrentLevelHooks(&level);
    SetGameAppHooks(&game);
    SetTypedCommandHooks(&typed);
    SetGameSongHooks(&songs);
    SetCustomerServices(&customers);
    SetLevelOptionsHooks(&levelOptions);
    SetGoalHooks(&goals);
    InstallThreeInARowCounterHooks();
}
