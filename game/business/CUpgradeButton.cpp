#include "game/business/CUpgradeButton.h"

#include "blit/CColor.h"
#include "foundation/SaturatingArithmetic.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomer.h"
#include "game/business/CSignpost.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/NoneEntries.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CRules.h"
#include "game/world/ListReferences.h"
#include "images/CFrame.h"
#include "objects/CClassInfo.h"
#include "objects/CMessage.h"
#include "objects/CPointProperty.h"
#include "objects/CPropertyArrayProperty.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ImageOverlays.h"
#include "render/CProxyFrame.h"
#include "render/CScaledOffsetProxyFrame.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"

#include <algorithm>

OMBRISALT_IMPLEMENT_CLASS(CUpgradeButton, 1.0)

namespace {

bool g_HighlightAll = false;

bool IsSignpostUpgrade(const CUpgrade& upgrade)
{
    return upgrade.IsKindOf(CSignpostUpgrade::SGetClassInfo());
}

CBuildablePart* AsPart(CUpgrade* upgrade)
{
    return upgrade && upgrade->IsKindOf(CBuildablePart::SGetClassInfo()) ? static_cast<CBuildablePart*>(upgrade)
                                                                         : nullptr;
}

void SendRemoveSignpost()
{
    if (CSignpost* signpost = FindSignpost()) {
        CMessage remove = CMessage::CMessageByName("RemoveSignpost");
        signpost->HandleMessage(remove);
    }
}

void Broadcast(const CJString& name)
{
    if (CPlayfield* playfield = GetCurrentPlayfield()) {
        CMessage message = CMessage::CMessageByName(name.GetString());
        playfield->BroadcastMessage(message);
    }
}

// A set of the frame-overlay list by index; null for none or out of range.
CFrameOverlayOptions* OverlaySetAt(int32_t index)
{
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    return index > 0 && index < sets.GetCount() ? sets.GetObject(index) : nullptr;
}

// The shop's marker class lives with the shop, above this layer: its item
// place is read by its property name.
CPoint ShopItemPosition(CFrameOverlay& marker)
{
    const auto* property = dynamic_cast<const CPointProperty*>(
        marker.GetClassInfo()->FindProperty("Upgrade Item Position"));
    return property ? property->Value(&marker) : CPoint{};
}

// Sets a flag for the length of a scope.
class CBusyScope {
public:
    explicit CBusyScope(bool& flag)
        : m_Flag(flag)
    {
        m_Flag = true;
    }
    ~CBusyScope() { m_Flag = false; }
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;

private:
    bool& m_Flag;
};

// The frame drawn at the sprite's origin, scaled about it and tinted.
void DrawScaled(CFrameInterface& target, CFrame& frame, float scale, const CColor& colour, CBlitType& blitType)
{
    if (scale == 1.0f && colour == CColor(255, 255, 255, 255)) {
        BlitAt(target, frame, 0, 0, blitType);
        return;
    }
    COffsetRotateScaleProxyFrame proxy;
    proxy.SetFrame(&target);
    proxy.SetUniformScale(scale);
    proxy.SetColor(colour);
    BlitAt(proxy, frame, 0, 0, blitType);
}

} // namespace

void CUpgradeButton::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference<CNoneableListProperty>(&CUpgradeButton::m_UpgradeSlot, "Upgrade Slot", &GetUpgradeSlotList(),
                                              nullptr);
}

CUpgradeButton::CUpgradeButton()
{
    InitDeclaredProperties();
}

CUpgradeButton::~CUpgradeButton()
{
    // Deleted on its own, the button must not stay on the cursor either.
    if (CSprite* sprite = GetSprite())
        ReleaseDraggedSpriteIfIs(sprite);
    DestroyDeclaredProperties();
}

CUpgradeSlot* CUpgradeButton::GetSlot() const
{
    return GetUpgradeSlotByIndex(m_UpgradeSlot);
}

int32_t CUpgradeButton::GetUpgradeIndex() const
{
    CGameState* state = CGameState::SGetCurrent();
    if (!state || !GetSlot())
        return 0;
    return state->GetUpgradeInSlot(m_UpgradeSlot);
}

CUpgrade* CUpgradeButton::GetUpgrade() const
{
    return GetUpgradeByIndex(GetUpgradeIndex());
}

bool CUpgradeButton::IsUsedOnLot() const
{
    CUpgrade* upgrade = GetUpgrade();
    return upgrade && upgrade->IsUsedOnLot();
}

bool CUpgradeButton::IsUsedOnCustomer() const
{
    CUpgrade* upgrade = GetUpgrade();
    return upgrade && upgrade->IsUsedOnCustomer();
}

bool CUpgradeButton::DropOnLot(CLot* lot)
{
    const int32_t index = GetUpgradeIndex();
    CUpgrade* upgrade = GetUpgradeByIndex(index);
    if (!upgrade || !lot)
        return false;
    CBuildablePackage* building = lot->GetBuilding();
    if (CBuildablePart* part = AsPart(upgrade); part && building && building->IsBeingConstructed()) {
        CBuildablePart* under = AsPart(GetUpgradeByIndex(building->m_BeingConstructed));
        CBuildPhase* phase = part->GetBuildPhase();
        if (under && under != part && under->m_BuildPhase == part->m_BuildPhase && phase && phase->m_CanBeReDone
            && building->ReplacePartUnderConstruction(*part, index))
            return true;
    }
    if (!upgrade->CanUse(true)) {
        PlayAudioUnlessNone(upgrade->m_DropOnLotErrorAudio);
        return false;
    }
    const bool dropped = upgrade->DropOnLot(index, lot);
    PlayAudioUnlessNone(dropped ? upgrade->m_DropOnLotAudio : upgrade->m_DropOnLotErrorAudio);
    return dropped;
}

bool CUpgradeButton::DropOnCustomer(CCustomer* customer)
{
    const int32_t index = GetUpgradeIndex();
    CUpgrade* upgrade = GetUpgradeByIndex(index);
    if (!upgrade)
        return false;
    const bool dropped = upgrade->DropOnCustomer(index, customer);
    PlayAudioUnlessNone(dropped ? upgrade->m_DropOnCustomerAudio : upgrade->m_DropOnCustomerErrorAudio);
    return dropped;
}

void CUpgradeButton::OnAddedToSprite(CSprite* sprite)
{
    // Slot 0 stands for none, as upgrade 0 does.
    CUpgradeSlot* slot = m_UpgradeSlot > 0 ? GetSlot() : nullptr;
    if (!sprite || !slot)
        return;
    CGameState* state = CGameState::SGetCurrent();
    const bool held = state && state->HasUpgradeInSlot(m_UpgradeSlot);
    sprite->SetImageSequence(uint32_t(std::max(held ? slot->m_ButtonBackground : slot->m_BuyButtonDisabled, 0)));
    m_ShoppingPositionMarker = nullptr;
    // A button may be made before the data has its rules (the editor's
    // palette); it then has no shop place.
    const CRules* rules = CRules::SFindInstance();
    CFrameOverlayOptions* set = rules ? OverlaySetAt(rules->m_ShoppingOverlay) : nullptr;
    static const CClassInfo* marker = CClassInfoList::SGetInstance().FindQuiet("CShoppingPositionMarkerFrameOverlay");
    if (set && marker)
        if (CFrameOverlay* found = set->FindOverlay(GetUpgradeSlotName(m_UpgradeSlot), nullptr, nullptr);
            found && found->IsKindOf(marker))
            m_ShoppingPositionMarker = found;
}

void CUpgradeButton::Update(CSpriteUpdateRecord& record)
{
    UpdateNextAI(record);
}

void CUpgradeButton::HandleMessage(CMessage& message)
{
    CUpgrade* upgrade = GetUpgrade();
    if (upgrade && GetSprite()) {
        const uint32_t type = message.GetType();
        if (type == CPlayfieldMouseMessage::SGetMouseDownType())
            OnMouseDown(message, *upgrade);
        else if (type == CPlayfieldMouseMessage::SGetMouseUpType() && IsSignpostUpgrade(*upgrade))
            OnMouseUp(message);
        else if (type == CPlayfieldMouseMessage::SGetMouseMovedType() && upgrade->IsDraggable())
            OnMouseMoved(message, *upgrade);
    }
    CSpriteAI::HandleMessage(message);
}

void CUpgradeButton::OnMouseDown(CMessage& message, CUpgrade& upgrade)
{
    CBusyScope busy(m_Busy);
    CSprite* sprite = GetSprite();
    const CPoint at = static_cast<CPlayfieldMouseMessage&>(message).GetPosition();
    if (message.IsHandled() || !upgrade.IsDraggable() || !sprite->HitTest(at.x, at.y))
        return;
    message.SetHandled();
    DropDraggedCustomer();
    const bool signpost = IsSignpostUpgrade(upgrade);
    if (GetDraggedSprite() == sprite) {
        if (signpost)
            SendRemoveSignpost();
        ClearDraggedSprite();
        return;
    }
    if (RefusesPickup(upgrade))
        return;
    StartDraggingSprite(sprite, at.x, at.y);
    PlayAudioUnlessNone(upgrade.m_SelectUpgradeAudio);
    CBuildablePart* part = AsPart(&upgrade);
    CBuildPhase* phase = part ? part->GetBuildPhase() : nullptr;
    CJString name = part ? (phase ? phase->m_Name.GetText() : CJString()) : GetUpgradeSlotName(m_UpgradeSlot);
    name += " Selected";
    Broadcast(name);
    if (signpost)
        m_SignpostPlaced = true;
}

void CUpgradeButton::OnMouseUp(CMessage& message)
{
    CBusyScope busy(m_Busy);
    CSprite* sprite = GetSprite();
    const CPoint at = static_cast<CPlayfieldMouseMessage&>(message).GetPosition();
    if (!sprite->HitTest(at.x, at.y))
        return;
    if (GetDraggedSprite() == sprite && !m_SignpostPlaced) {
        SendRemoveSignpost();
        ClearDraggedSprite();
    }
    m_SignpostPlaced = false;
}

void CUpgradeButton::OnMouseMoved(CMessage& message, CUpgrade& /*upgrade*/)
{
    CBusyScope busy(m_Busy);
    if (!message.IsHandled())
        ShowSequenceAsCursor(nullptr);
    m_Hover = false;
    const CPoint at = static_cast<CPlayfieldMouseMessage&>(message).GetPosition();
    if (!GetDraggedSprite() && GetSprite()->HitTest(at.x, at.y)) {
        ShowSequenceAsCursor(SequenceUnlessNone(GetSequenceList().Find("Can Use Cursor")));
        m_Hover = true;
        message.SetHandled();
    }
}

void CUpgradeButton::PreDraw(CSpriteDrawRecord& record)
{
    CFrameInterface* target = record.spriteFrame ? record.spriteFrame : record.destination;
    CUpgrade* upgrade = m_Busy ? nullptr : GetUpgrade();
    if (target && upgrade && upgrade->IsKindOf(CColorBuildablePart::SGetClassInfo())) {
        auto* paint = static_cast<CColorBuildablePart*>(upgrade);
        if (paint->m_SpecialBackgroundImage > 0) {
            const int32_t image = paint->CanUse(false) || paint->m_SpecialBackgroundImageDisabled <= 0
                ? paint->m_SpecialBackgroundImage
                : paint->m_SpecialBackgroundImageDisabled;
            if (CSequence* sequence = SequenceUnlessNone(image))
                sequence->DrawCurrentFrame(*target, paint->m_SpecialBackgroundImageOffset.x,
                                           paint->m_SpecialBackgroundImageOffset.y);
        }
    }
    CSpriteAI::PreDraw(record);
}

void CUpgradeButton::Draw(CSpriteDrawRecord& record)
{
    CFrameInterface* target = record.spriteFrame ? record.spriteFrame : record.destination;
    if (target)
        if (CUpgrade* upgrade = GetUpgrade())
            DrawPicture(*target, *upgrade);
    CSpriteAI::Draw(record);
}

void CUpgradeButton::DrawPicture(CFrameInterface& target, CUpgrade& upgrade)
{
    const CColor neutral(255, 255, 255, 255);
    if (m_Hover || m_Busy || g_HighlightAll)
        if (CSequence* hover = SequenceUnlessNone(upgrade.GetButtonHover()))
            if (CFrame* frame = hover->GetCurrentFrame())
                DrawScaled(target, *frame, upgrade.m_UpgradeButtonScale, neutral, hover->GetBlitType());

    const int32_t appearance
        = upgrade.m_BuildButtonAppearance > 0 ? upgrade.m_BuildButtonAppearance : upgrade.GetAppearance();
    CSequence* picture = SequenceUnlessNone(appearance);
    CFrame* frame = picture ? picture->GetCurrentFrame() : nullptr;
    CBuildablePart* part = AsPart(&upgrade);
    CBuildPhase* phase = part ? part->GetBuildPhase() : nullptr;
    const float scale = phase ? phase->m_BuildButtonScale : upgrade.m_UpgradeButtonScale;
    frame = GetButtonPictureFrame(upgrade, frame);
    CColor colour = neutral;
    CColor own = neutral;
    if (!upgrade.CanUse(false)) {
        if (phase) {
            colour = phase->m_BuildButtonDisabledTint;
        } else {
            const int32_t grey = std::clamp(GetDisabledGrey(150), 0, 255);
            colour = CColor(uint8_t(grey), uint8_t(grey), uint8_t(grey), 255);
        }
        own = CColor(120, 120, 120, 255);
    }
    if (frame)
        DrawScaled(target, *frame, scale, colour, picture->GetBlitType());
    if (CSprite* sprite = GetSprite())
        sprite->SetColor(own);
}

void CUpgradeButton::PostDraw(CSpriteDrawRecord& record)
{
    CUpgrade* upgrade = GetUpgrade();
    CGameState* state = CGameState::SGetCurrent();
    if (upgrade && state && upgrade->m_ShowNewStickerWhenFree && state->IsNewlyAcquired(GetUpgradeIndex())) {
        CLevelOptions* level = CLevelOptions::SGetCurrent();
        CFrameInterface* target = record.spriteFrame ? record.spriteFrame : record.destination;
        if (level && level->m_SecondsPlayed > 10.0f)
            state->ClearNewlyAcquiredUpgrades();
        else if (target && m_ShoppingPositionMarker)
            DrawNewSticker(*target);
    }
    CSpriteAI::PostDraw(record);
}

void CUpgradeButton::DrawNewSticker(CFrameInterface& target)
{
    const CRules* rules = CRules::SFindInstance();
    CFrameOverlayOptions* set = rules ? OverlaySetAt(rules->m_ShoppingNewUpgradeOverlay) : nullptr;
    if (!set)
        return;
    // Placed on the button as the shop places it on the same upgrade.
    CPoint offset{};
    if (CFrameOverlayPositionMarker* corner = set->FindPositionMarker(CJString("Corner")))
        offset = corner->m_Position;
    const CPoint item = ShopItemPosition(*m_ShoppingPositionMarker);
    COffsetProxyFrame proxy(&target, SaturatingSub(offset.x, item.x), SaturatingSub(offset.y, item.y));
    set->DrawOnFrame(proxy, nullptr, false, nullptr);
}

CUpgradeButton* GetDraggedUpgradeButton()
{
    CSprite* sprite = GetDraggedSprite();
    if (!sprite)
        return nullptr;
    CSpriteAI* ai = sprite->GetAI();
    return ai && ai->IsKindOf(CUpgradeButton::SGetClassInfo()) ? static_cast<CUpgradeButton*>(ai) : nullptr;
}

CUpgradeButton* TakeDraggedUpgradeButton()
{
    CUpgradeButton* button = GetDraggedUpgradeButton();
    if (button)
        ClearDraggedSprite();
    return button;
}

CPoint GetUpgradeSlotMarkerPosition(int32_t slot, int32_t overlay)
{
    if (!GetUpgradeSlotByIndex(slot))
        return {0, 0};
    CFrameOverlayOptions* set = nullptr;
    if (overlay == -1) {
        set = GetGameplayOverlayOptions();
    } else {
        CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
        set = overlay >= 0 && overlay < sets.GetCount() ? sets.GetObject(overlay) : nullptr;
    }
    CFrameOverlayPositionMarker* marker = set ? set->FindPositionMarker(GetUpgradeSlotName(slot)) : nullptr;
    if (!marker)
        return {0, 0};
    return {SaturatingCentre(marker->m_Position.x, marker->m_Size.x),
            SaturatingCentre(marker->m_Position.y, marker->m_Size.y)};
}

void SetHighlightAllUpgradeButtons(bool on)
{
    g_HighlightAll = on;
}

bool AreAllUpgradeButtonsHighlighted()
{
    return g_HighlightAll;
}

CFrame* GetButtonPictureFrame(CUpgrade& upgrade, CFrame* frame)
{
    CBuildablePart* part = AsPart(&upgrade);
    CBuildPhase* phase = part ? part->GetBuildPhase() : nullptr;
    if (!frame || !phase || !phase->m_GetsColored)
        return frame;
    // Found at each draw: a sheet that sorts before it moves its row.
    const int32_t unpainted = GetHueRemapperStyleSheetList().Find("0 Unpainted");
    return unpainted >= 0 ? GetHueRemappedFrame(*frame, unpainted) : frame;
}

CUpgrade* GetButtonUpgrade(CSpriteAI* ai)
{
    return ai && ai->IsKindOf(CUpgradeButton::SGetClassInfo()) ? static_cast<CUpgradeButton*>(ai)->GetUpgrade()
                                                               : nullptr;
}

bool IsDraggedSignpostButton()
{
    CUpgradeButton* button = GetDraggedUpgradeButton();
    CUpgrade* upgrade = button ? button->GetUpgrade() : nullptr;
    return upgrade && IsSignpostUpgrade(*upgrade);
}

bool GetUpgradeSlotMarkerPosition(uint32_t slot, CFPoint& out)
{
    if (slot > uint32_t(INT32_MAX) || !GetUpgradeSlotByIndex(int32_t(slot)))
        return false;
    const CPoint centre = GetUpgradeSlotMarkerPosition(int32_t(slot), -1);
    out = {float(centre.x), float(centre.y)};
    return true;
}
