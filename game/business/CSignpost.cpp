#include "game/business/CSignpost.h"

#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CRules.h"
#include "objects/CFloatProperty.h"
#include "objects/CMessage.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ImageOverlays.h"
#include "sequences/CSequenceList.h"

#include <algorithm>

OMBRISALT_IMPLEMENT_CLASS(CSignpostUpgrade, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CSignpost, 1.0)

namespace {

constexpr float kStepPixels = 30.0f;
constexpr float kMaxPresence = 0.5f;

CPlayfieldLayer* FindLayer(const char* name)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    return playfield ? playfield->FindLayer(name) : nullptr;
}

// The centre of the gameplay overlay's "Signpost" marker.
bool FindHome(CFPoint& out)
{
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    const int32_t index = CRules::SGetInstance().GetGameplayOverlay();
    CFrameOverlayOptions* set = index >= 0 && index < sets.GetCount() ? sets.GetObject(index) : nullptr;
    CFrameOverlayPositionMarker* marker = set ? set->FindPositionMarker(CJString("Signpost")) : nullptr;
    if (!marker)
        return false;
    out = {float(marker->m_Position.x) + float(marker->m_Size.x) / 2.0f,
           float(marker->m_Position.y) + float(marker->m_Size.y) / 2.0f};
    return true;
}

bool HoldsFrame(const CBuildablePackage& package)
{
    const int32_t frame = FindBuildPhase("Frame");
    return frame >= 0 && uint32_t(frame) < package.m_Parts.GetCount() && package.m_Parts[uint32_t(frame)] != 0;
}

// What a sign may advertise, and keep advertising.
bool IsFinished(const CBuildablePackage* package)
{
    return package && package->HasParts() && package->IsFullyPainted() && !package->IsBeingConstructed();
}

} // namespace

// --- The upgrade ---

void CSignpostUpgrade::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CSignpostUpgrade::m_EffectChance, "Effect Chance", 1.0f).Range(0.0, 1.0);
}

CSignpostUpgrade::CSignpostUpgrade()
{
    InitDeclaredProperties();
}

CSignpostUpgrade::~CSignpostUpgrade()
{
    DestroyDeclaredProperties();
}

bool CSignpostUpgrade::CanUse(bool showMessage)
{
    if (!showMessage)
        if (CSignpost* sign = FindSignpost(); sign && sign->GetState() == CSignpost::EState::Placed)
            return false;
    return IsDraggable();
}

bool CSignpostUpgrade::DropOnLot(int32_t /*upgradeIndex*/, CLot* lot)
{
    CSignpost* sign = FindSignpost();
    if (!sign)
        return true;
    sign->PlaceOnLot(lot);
    if (CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent())
        ++stats->m_SignMoved;
    return true;
}

// --- The sign ---

void CSignpost::DeclareProperties(CPropertyDeclarer&) {}

CSignpost::CSignpost()
{
    InitDeclaredProperties();
}

CSignpost::~CSignpost()
{
    m_Lot = nullptr;
    DestroyDeclaredProperties();
}

void CSignpost::OnAddedToSprite(CSprite* sprite)
{
    CSpriteAI::OnAddedToSprite(sprite);
    const int32_t slot = GetUpgradeSlotList().Find("Signpost");
    CGameState* state = CGameState::SGetCurrent();
    CUpgrade* upgrade = slot >= 0 && state ? GetUpgradeByIndex(state->GetUpgradeInSlot(slot)) : nullptr;
    const int32_t appearance = upgrade ? upgrade->GetAppearance() : 0;
    if (sprite && appearance > 0)
        sprite->SetImageSequence(uint32_t(appearance));
}

CLot* CSignpost::LiveLot() const
{
    if (!m_Lot)
        return nullptr;
    if (CPlayfieldLayer* lots = FindLayer("Lot"))
        for (uint32_t i = 0; i < lots->GetSpriteCount(); ++i)
            if (CLot::SFromSprite(lots->GetSprite(i)) == m_Lot)
                return m_Lot;
    return nullptr;
}

void CSignpost::PlaceOnLot(CLot* lot)
{
    CBuildablePackage* package = lot ? lot->GetBuilding() : nullptr;
    if (package && !package->IsBeingConstructed() && HoldsFrame(*package) && package->IsFullyPainted()
        && package->GetResaleValue() > 0.0f) {
        m_Lot = lot;
        m_State = EState::Placed;
        return;
    }
    m_State = EState::Home;
    if (lot)
        GetIllegalMoveDisplay().Show("NoSignpostUnfinished");
}

CBuildablePackage* CSignpost::GetAdvertisedPackage() const
{
    // A refused sign still knows its old lot until its next update.
    CLot* lot = m_State == EState::Placed ? LiveLot() : nullptr;
    return lot ? lot->GetBuilding() : nullptr;
}

void CSignpost::Update(CSpriteUpdateRecord& record)
{
    UpdateNextAI(record);
    CSprite* sprite = record.sprite ? record.sprite : GetSprite();
    bool hasTarget = false;
    CFPoint target{0.0f, 0.0f};
    if (m_State == EState::Placed) {
        m_Presence = std::min(m_Presence + 1.0f / 60.0f, kMaxPresence);
        CLot* lot = LiveLot();
        CSprite* lotSprite = lot ? lot->GetSprite() : nullptr;
        if (lot && lot->IsVacant() && lotSprite && lotSprite->IsVisible() && IsFinished(lot->GetBuilding())) {
            const CFPoint beside{lotSprite->GetPosition().x - 80.0f, lotSprite->GetPosition().y};
            CPlayfield* playfield = GetCurrentPlayfield();
            CPlayfieldLayer* layer = playfield ? playfield->FindOrAddLayer("Lot") : nullptr;
            target = layer ? layer->LayerToScreen(beside) : beside;
            hasTarget = true;
        } else {
            m_State = EState::Home;
        }
    } else {
        m_Presence = std::max(m_Presence - record.seconds, 0.0f);
        m_Lot = nullptr;
        hasTarget = FindHome(target);
    }
    if (!sprite)
        return;
    sprite->SetOpacity(std::clamp(2.0f * m_Presence, 0.0f, 1.0f));
    if (hasTarget)
        sprite->MoveToward(target, kStepPixels);
}

void CSignpost::HandleMessage(CMessage& message)
{
    CSpriteAI::HandleMessage(message);
    if (m_State != EState::Placed)
        return;
    if (message.IsType("RemoveSignpost")) {
        m_State = EState::Home;
        return;
    }
    CSprite* button = FindSignpostButton();
    CSprite* sprite = GetSprite();
    if (!button || !sprite)
        return;
    const uint32_t type = message.GetType();
    if (type == CPlayfieldMouseMessage::SGetMouseDownType()) {
        const CPoint at = static_cast<CPlayfieldMouseMessage&>(message).GetPosition();
        if (message.IsHandled() || GetDraggedSprite() || !sprite->HitTestFrames(at.x, at.y))
            return;
        const CFPoint grab{sprite->GetPosition().x - float(at.x), sprite->GetPosition().y - float(at.y)};
        SetDraggedSprite(button, grab);
        message.SetHandled();
    } else if (type == CPlayfieldMouseMessage::SGetMouseUpType()) {
        const CPoint at = static_cast<CPlayfieldMouseMessage&>(message).GetPosition();
        if (GetDraggedSprite() == button && sprite->HitTestFrames(at.x, at.y))
            message.SetHandled();
    } else if (type == CPlayfieldMouseMessage::SGetMouseMovedType()) {
        if (GetDraggedSprite() || message.IsHandled())
            return;
        const CPoint at = static_cast<CPlayfieldMouseMessage&>(message).GetPosition();
        if (sprite->HitTestFrames(at.x, at.y)) {
            SetLotMouseCursor("Can Use Cursor");
            message.SetHandled();
        } else {
            SetLotMouseCursor(nullptr);
        }
    }
}

CSignpost* FindSignpost()
{
    CPlayfieldLayer* crew = FindLayer("Crew");
    if (!crew)
        return nullptr;
    for (uint32_t i = 0; i < crew->GetSpriteCount(); ++i)
        if (CSprite* sprite = crew->GetSprite(i))
            if (auto* sign = static_cast<CSignpost*>(sprite->FindAI(CSignpost::SGetClassInfo())))
                return sign;
    return nullptr;
}

CSprite* FindSignpostButton()
{
    CPlayfieldLayer* ui = FindLayer("UI");
    if (!ui)
        return nullptr;
    for (uint32_t i = 0; i < ui->GetSpriteCount(); ++i) {
        CSprite* sprite = ui->GetSprite(i);
        CUpgrade* upgrade = sprite ? GetButtonUpgrade(sprite->GetAI()) : nullptr;
        if (upgrade && upgrade->IsKindOf(CSignpostUpgrade::SGetClassInfo()))
            return sprite;
    }
    return nullptr;
}

CSignpost* CreateSignpostAI(CUpgrade& upgrade)
{
    auto* signUpgrade = dynamic_cast<CSignpostUpgrade*>(&upgrade);
    if (!signUpgrade)
        return nullptr;
    auto* sign = new CSignpost;
    sign->ResetToDefaults();
    sign->m_EffectChance = signUpgrade->m_EffectChance;
    return sign;
}
