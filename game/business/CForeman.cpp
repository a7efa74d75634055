#include "game/business/CForeman.h"

#include "foundation/CStaticContentsList.h"
#include "foundation/SaturatingArithmetic.h"
#include "game/business/CCrew.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CUpgradeButton.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/business/CBuildablePackage.h"
#include "game/world/CGameState.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/business/CUpgradeSlot.h"
#include "game/world/ListReferences.h"
#include "overlays/CFrameOverlay.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "overlays/ImageOverlays.h"

#include <algorithm>

OMBRISALT_IMPLEMENT_CLASS(CForemanUpgrade, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CForeman, 1.0)

namespace {

constexpr float kForemanStep = 30.0f;     // pixels per update
constexpr float kPresenceStep = 1.0f / 60.0f;
constexpr float kFullPresence = 0.5f;
// Right of the house, as far forward as the crew (clear of the line's hearts).
const CFPoint kForemanOffsetAtLot{80.0f, 10.0f};

CPlayfieldLayer* FindLayerNamed(const char* name, bool make)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    if (!playfield)
        return nullptr;
    return make ? playfield->FindOrAddLayer(name) : playfield->FindLayer(name);
}

// The centre of the gameplay overlay's "Foreman" marker, in whole pixels.
bool FindHome(CFPoint& out)
{
    CFrameOverlayOptions* overlay = GetGameplayOverlayOptions();
    CFrameOverlayPositionMarker* marker = overlay ? overlay->FindPositionMarker(CJString("Foreman")) : nullptr;
    if (!marker)
        return false;
    out = {float(SaturatingCentre(marker->m_Position.x, marker->m_Size.x)),
           float(SaturatingCentre(marker->m_Position.y, marker->m_Size.y))};
    return true;
}

int32_t CurrentBehavior()
{
    CForemanUpgrade* upgrade = GetForemanUpgrade();
    return upgrade ? upgrade->m_ForemanBehavior : -1;
}

bool IsUnderConstruction(CLot* lot)
{
    CBuildablePackage* building = lot ? lot->GetBuilding() : nullptr;
    return building && building->IsBeingConstructed();
}

} // namespace

CCodeTableList& GetForemanBehaviorList()
{
    static const CCodeTableRow kRows[] = {{CForemanUpgrade::kDefault, "!Default", nullptr},
                                          {CForemanUpgrade::kFreeRoam, "Free Roam", nullptr},
                                          {CForemanUpgrade::kRoamWhenIdle, "Roam When Idle", nullptr},
                                          {}};
    static CCodeTableList list(kRows);
    return list;
}

CCodeTableList& GetForemanStateList()
{
    static const CCodeTableRow kRows[] = {{CForeman::kIdle, "Idle", nullptr},
                                          {CForeman::kGoingToLot, "Going To Lot", nullptr},
                                          {CForeman::kOverseeing, "Overseeing", nullptr},
                                          {CForeman::kReturningHome, "Returning Home", nullptr},
                                          {}};
    static CCodeTableList list(kRows);
    return list;
}

void CForemanUpgrade::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CForemanUpgrade;
    d.AddListReference<CNoneableListProperty>(&C::m_JobFinishedAudio, "Sounds/Job Finished Audio", &GetAudioList(),
                                              nullptr);
    d.Add(&C::m_BuildSpeed, "Build Speed", 1.5f).Units("X");
    d.AddListReference<CNoneableListProperty>(&C::m_ForemanBehavior, "Foreman Behavior", &GetForemanBehaviorList(),
                                              "!Default");
    d.Add(&C::m_PlayerOverridesBehavior, "Player Overrides Behavior", false);
}

CForemanUpgrade::CForemanUpgrade()
{
    InitDeclaredProperties();
}

CForemanUpgrade::~CForemanUpgrade()
{
    DestroyDeclaredProperties();
}

bool CForemanUpgrade::DropOnLot(int32_t /*upgradeIndex*/, CLot* lot)
{
    if (!lot)
        return false;
    CBuildablePackage* building = lot->GetBuilding();
    if (!building || !building->HasParts()) {
        GetIllegalMoveDisplay().Show("NoForemanEmptyLot");
        return false;
    }
    CForeman* foreman = FindForeman();
    lot->SetForeman(foreman);
    if (foreman) {
        foreman->Assign(lot, m_PlayerOverridesBehavior);
        if (CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent())
            ++stats->m_ForemanMovedManually;
    }
    return true;
}

void CForeman::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CForeman;
    d.AddListReference<CNoneableListProperty>(&C::m_ForemanState, "Foreman State", &GetForemanStateList(), "Idle");
    d.Add(&C::m_Presence, "Presence", 0.0f);
    d.Add(&C::m_PlacedByPlayer, "Placed By Player", false);
}

CForeman::CForeman()
{
    InitDeclaredProperties();
}

CForeman::~CForeman()
{
    // A lot outlives its foreman at level end and in the results screen.
    ReleaseLot();
    DestroyDeclaredProperties();
}

void CForeman::OnAddedToSprite(CSprite* sprite)
{
    if (!sprite)
        return;
    if (CForemanUpgrade* upgrade = GetForemanUpgrade())
        sprite->SetImageSequence(uint32_t(std::max(upgrade->GetAppearance(), 0)));
}

bool CForeman::Assign(CLot* lot, bool placedByPlayer)
{
    if (lot == m_Lot)
        return false;
    ReleaseLot();
    m_Lot = lot;
    m_PlacedByPlayer = placedByPlayer;
    if (lot) {
        lot->SetForeman(this);
        m_ForemanState = kOverseeing;
    } else {
        m_ForemanState = kIdle;
    }
    return true;
}

void CForeman::ReleaseLot()
{
    if (IsLotOnPlayfield(m_Lot) && m_Lot->GetForeman() == this)
        m_Lot->SetForeman(nullptr);
    m_Lot = nullptr;
}

void CForeman::OnPackageFinished(CBuildablePackage* package)
{
    if (package && IsLotOnPlayfield(m_Lot) && m_Lot->GetBuilding() == package)
        m_PlacedByPlayer = false;
}

void CForeman::FindWork()
{
    if (m_PlacedByPlayer)
        return;
    CPlayfieldLayer* lots = FindLayerNamed("Lot", true);
    if (!lots)
        return;
    for (uint32_t i = 0; i < lots->GetSpriteCount(); ++i) {
        CLot* lot = CLot::SFromSprite(lots->GetSprite(i));
        if (!IsUnderConstruction(lot))
            continue;
        if (Assign(lot, false))
            if (CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent())
                ++stats->m_ForemanMovedAutomatically;
        return;
    }
}

void CForeman::Update(CSpriteUpdateRecord& record)
{
    CSprite* sprite = record.sprite ? record.sprite : GetSprite();
    if (!sprite) {
        UpdateNextAI(record);
        return;
    }
    const int32_t behavior = CurrentBehavior();
    CFPoint target = sprite->GetPosition();
    if (m_Lot && !IsLotOnPlayfield(m_Lot))
        m_Lot = nullptr; // deleted under him
    if (m_ForemanState == kOverseeing) {
        m_Presence = std::min(m_Presence + kPresenceStep, kFullPresence);
        if (behavior == CForemanUpgrade::kFreeRoam && !IsUnderConstruction(m_Lot))
            FindWork();
        CSprite* lotSprite = m_Lot ? m_Lot->GetSprite() : nullptr;
        CBuildablePackage* building = m_Lot ? m_Lot->GetBuilding() : nullptr;
        if (lotSprite && m_Lot->IsVacant() && lotSprite->IsVisible() && building && building->HasParts()) {
            const CFPoint at = lotSprite->GetPosition();
            target = {at.x + kForemanOffsetAtLot.x, at.y + kForemanOffsetAtLot.y};
            if (CPlayfieldLayer* lots = FindLayerNamed("Lot", true))
                target = lots->LayerToScreen(target);
        } else {
            // Home again. The lot stops counting on him, so work started
            // there later goes at its own pace.
            ReleaseLot();
            m_ForemanState = kIdle;
            m_PlacedByPlayer = false;
            if (CForemanUpgrade* upgrade = GetForemanUpgrade())
                GetAudioList().PlayAudioByIndex(upgrade->m_JobFinishedAudio);
        }
    } else {
        if (behavior == CForemanUpgrade::kFreeRoam || behavior == CForemanUpgrade::kRoamWhenIdle)
            FindWork();
        m_Presence = std::max(m_Presence - kPresenceStep, 0.0f);
        FindHome(target);
    }
    sprite->SetOpacity(std::clamp(2.0f * m_Presence, 0.0f, 1.0f));
    sprite->MoveToward(target, kForemanStep);
    UpdateNextAI(record);
}

void CForeman::HandleMessage(CMessage& message)
{
    CSpriteAI::HandleMessage(message);
    if (m_ForemanState == kIdle)
        return;
    const uint32_t type = message.GetType();
    const bool down = type == CPlayfieldMouseMessage::SGetMouseDownType();
    const bool moved = type == CPlayfieldMouseMessage::SGetMouseMovedType();
    if (!down && !moved)
        return;
    CSprite* sprite = GetSprite();
    CSprite* button = FindForemanButton();
    if (!sprite || !button || GetDraggedSprite())
        return;
    const CPoint at = static_cast<CPlayfieldMouseMessage&>(message).GetPosition();
    if (down) {
        if (!sprite->HitTestFrames(at.x, at.y))
            return;
        if (GetDraggedSprite() != button) {
            const CFPoint position = sprite->GetPosition();
            SetDraggedSprite(button, {position.x - float(at.x), position.y - float(at.y)});
        } else {
            ClearDraggedSprite();
        }
        message.SetHandled();
        return;
    }
    if (message.IsHandled())
        return;
    if (sprite->HitTestFrames(at.x, at.y)) {
        SetLotMouseCursor("Can Use Cursor");
        message.SetHandled();
    } else {
        SetLotMouseCursor(nullptr);
    }
}

CForemanUpgrade* GetForemanUpgrade()
{
    CGameState* state = CGameState::SGetCurrent();
    const int32_t slot = GetUpgradeSlotList().Find("Foreman");
    if (!state || slot < 0)
        return nullptr;
    return dynamic_cast<CForemanUpgrade*>(GetUpgradeByIndex(state->GetUpgradeInSlot(slot)));
}

float GetForemanBuildSpeed()
{
    CForemanUpgrade* upgrade = GetForemanUpgrade();
    return upgrade ? upgrade->m_BuildSpeed : 1.0f;
}

CForeman* FindForeman()
{
    CPlayfieldLayer* crew = FindLayerNamed("Crew", false);
    if (!crew)
        return nullptr;
    for (uint32_t i = 0; i < crew->GetSpriteCount(); ++i)
        if (CSprite* sprite = crew->GetSprite(i))
            if (auto* foreman = static_cast<CForeman*>(sprite->FindAI(CForeman::SGetClassInfo())))
                return foreman;
    return nullptr;
}

CSprite* FindForemanButton()
{
    CPlayfieldLayer* ui = FindLayerNamed("UI", false);
    if (!ui)
        return nullptr;
    for (uint32_t i = 0; i < ui->GetSpriteCount(); ++i) {
        CSprite* sprite = ui->GetSprite(i);
        for (CSpriteAI* ai = sprite ? sprite->GetAI() : nullptr; ai; ai = ai->GetNextAI())
            if (dynamic_cast<CForemanUpgrade*>(GetButtonUpgrade(ai)))
                return sprite;
    }
    return nullptr;
}

CForeman* CreateForemanAI(CUpgrade& upgrade)
{
    if (!dynamic_cast<CForemanUpgrade*>(&upgrade))
        return nullptr;
    auto* foreman = new CForeman;
    foreman->ResetToDefaults();
    return foreman;
}
