#include "game/screens/CShop.h"

#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "foundation/CCommand.h"
#include "foundation/CLocalizedString.h"
#include "foundation/SaturatingArithmetic.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CPacifierUpgrade.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeSlot.h"
#include "game/screens/CStats.h"
#include "game/screens/CTutorialPopUp.h"
#include "game/screens/GameWindows.h"
#include "game/screens/OverlayScreen.h"
#include "game/screens/ScreensHooks.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/NoneEntries.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CRules.h"
#include "game/world/ListReferences.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CListProperty.h"
#include "objects/CMessage.h"
#include "objects/CPointProperty.h"
#include "objects/CPropertyArrayProperty.h"
#include "render/CBlitXParams.h"
#include "render/CProxyFrame.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/HueRemap.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"

#include <algorithm>
#include <climits>

namespace {

CShopWindow* g_Shop = nullptr;
int32_t g_SelectedSlot = 0;
uint32_t g_StarsAvailable = 0;

CLocalizedString& ShopTitle()
{
    static CLocalizedString text("Shop");
    return text;
}

CFrameOverlayOptions* SetAt(int32_t index)
{
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    return index > 0 && index < sets.GetCount() ? sets.GetObject(index) : nullptr;
}

CFrameOverlayOptions* ShopSet()
{
    CRules* rules = CRules::SFindInstance();
    return rules ? SetAt(rules->m_ShoppingOverlay) : nullptr;
}

CBuildablePart* AsPart(CUpgrade* upgrade)
{
    return upgrade && upgrade->IsKindOf(CBuildablePart::SGetClassInfo()) ? static_cast<CBuildablePart*>(upgrade)
                                                                         : nullptr;
}

// The number behind "%s[Tab]": the build phase + 1 of a part or crew, 5 for
// any other upgrade, 0 for none.
int32_t TabOf(CUpgrade* upgrade)
{
    if (!upgrade)
        return 0;
    if (CBuildablePart* part = AsPart(upgrade))
        return part->m_BuildPhase + 1;
    if (upgrade->IsKindOf(CCrewUpgrade::SGetClassInfo()))
        return static_cast<CCrewUpgrade*>(upgrade)->m_BuildPhase + 1;
    return 5;
}

int32_t PacifierUses(CUpgrade* upgrade)
{
    if (!upgrade || !upgrade->IsKindOf(CPacifierUpgrade::SGetClassInfo()))
        return 0;
    const uint32_t uses = static_cast<CPacifierUpgrade*>(upgrade)->m_NumberOfUses;
    return uses > 1 ? int32_t(std::min<uint32_t>(uses, INT32_MAX)) : 0;
}

float SpendableMoney()
{
    CGameState* state = CGameState::SGetCurrent();
    return state ? state->m_SpendableMoneyK : 0.0f;
}

// The cost may be spent: equal money is enough.
bool IsAffordable(const CUpgrade& upgrade)
{
    return upgrade.m_UpgradeCost <= SpendableMoney();
}

uint32_t ComputeStarsAvailable()
{
    const CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    CGameState* state = CGameState::SGetCurrent();
    return (player ? player->GetStarCount() : 0u) + (state ? state->m_ExtraStarsHack : 0u);
}

int32_t OwnedInSlot(int32_t slot)
{
    CGameState* state = CGameState::SGetCurrent();
    return state && slot > 0 ? state->GetUpgradeInSlot(slot) : 0;
}

// The selected slot's owned upgrade, and its offered one.
CUpgrade* SelectedOwned()
{
    return g_SelectedSlot > 0 ? GetUpgradeByIndex(OwnedInSlot(g_SelectedSlot)) : nullptr;
}

CUpgrade* SelectedOffered()
{
    return g_SelectedSlot > 0 ? GetUpgradeByIndex(GetOfferedUpgrade(g_SelectedSlot)) : nullptr;
}

// The values of one upgrade under the keys with the prefix ("" for the
// offered one, "Own" for the owned one); empty texts for none.
void AddUpgradeValues(CTextSubstitutionList& values, CUpgrade* upgrade, const char* prefix, bool owned)
{
    auto key = [prefix](const char* name) {
        CJString token;
        token.Format("%%s[%s%s]", prefix, name);
        return token;
    };
    values.AddInt(key("PacifierUses"), PacifierUses(upgrade));
    if (!upgrade) {
        for (const char* name : {"Name", "Description", "Resale", "Cost"})
            values.Add(key(name), CJString());
        return;
    }
    values.Add(key("Name"), ShownText(upgrade->m_Name));
    values.Add(key("Description"), owned ? upgrade->GetOwnedDescription() : ShownText(upgrade->m_Description));
    CBuildablePart* part = AsPart(upgrade);
    values.AddInt(key("Resale"), part ? WholeDollars(part->m_ResaleValue) : 0);
    values.AddInt(key("Cost"), WholeDollars(upgrade->m_UpgradeCost));
}

// Controls are closed while one of them may be running its command: they
// leave the window at once and are destroyed at the next update.
std::vector<CJWindow*>& RetiredControls()
{
    static std::vector<CJWindow*> retired;
    return retired;
}

void DestroyRetiredControls()
{
    std::vector<CJWindow*> retired;
    retired.swap(RetiredControls());
    for (CJWindow* window : retired)
        window->Destroy();
}

bool OpenShopScreen()
{
    return OpenShop() != nullptr;
}

void CloseShopScreen()
{
    if (g_Shop)
        g_Shop->Close();
}

bool IsShopScreenOpen()
{
    return g_Shop != nullptr;
}

} // namespace

// --- the shop's marker ---

OMBRISALT_IMPLEMENT_CLASS(CShoppingPositionMarkerFrameOverlay, 1.0)

void CShoppingPositionMarkerFrameOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CShoppingPositionMarkerFrameOverlay;
    CSequenceList* sequences = &GetSequenceList();
    d.AddListReference<CNoneableListProperty>(&C::m_ImageSequence, "Image Sequence", sequences, nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_HoverSequence, "Hover Sequence", sequences, nullptr);
    d.Add(&C::m_HoverBehind, "Hover Behind", false);
    d.AddListReference<CNoneableListProperty>(&C::m_NewItemImage, "New Item Image", sequences, "Shop NewItem")
        .DefaultWhenMissing();
    d.AddListReference<CNoneableListProperty>(&C::m_OldItemImage, "Old Item Image", sequences, "Shop OldItem")
        .DefaultWhenMissing();
    d.Add(&C::m_UpgradeItemPosition, "Upgrade Item Position", CPoint{-32, -17});
    d.AddListReference<CNoneableListProperty>(&C::m_EmptyIconSequence, "Empy Icon Sequence", sequences, nullptr);
}

CShoppingPositionMarkerFrameOverlay::CShoppingPositionMarkerFrameOverlay()
{
    InitDeclaredProperties();
}

CShoppingPositionMarkerFrameOverlay::~CShoppingPositionMarkerFrameOverlay()
{
    DestroyDeclaredProperties();
}

void CShoppingPositionMarkerFrameOverlay::Draw(CFrameOverlayDrawContext& context)
{
    if (!context.m_bShowMarkers || !context.m_pTarget)
        return;
    CFrameInterface& target = *context.m_pTarget;
    const int32_t cx = SaturatingCentre(m_Position.x, m_Size.x);
    const int32_t cy = SaturatingCentre(m_Position.y, m_Size.y);
    if (CSequence* image = SequenceUnlessNone(m_ImageSequence)) {
        image->DrawCurrentFrame(target, cx, cy);
    } else {
        CColor grey(127, 127, 127, 255);
        target.FillRect(CRect{m_Position.x, m_Position.y, SaturatingAdd(m_Position.x, m_Size.x),
                              SaturatingAdd(m_Position.y, m_Size.y)},
                        grey);
    }
    if (CFrameOverlayOptions* set = context.m_pCurrentSet)
        if (CFont* font = set->m_TextFont != 0 ? set->GetTextFont() : nullptr) {
            CJString label(m_ID);
            const CJString& title = ShownText(m_Title);
            if (title.Compare(m_ID) != 0) {
                label.Append(": ");
                label.Append(title.Left(10));
            }
            if (m_Size.x < 30)
                font->DrawText(target, cx,
                               SaturatingCentre(m_Position.y, SaturatingSub(m_Size.y, font->GetPointSize())), label,
                               TextAlign::Centre);
            else
                font->DrawWrappedText(&target, m_Position.x, m_Position.y, label, m_Size.x, 0, TextAlign::Left);
        }
    if (CSequence* empty = SequenceUnlessNone(m_EmptyIconSequence))
        empty->DrawCurrentFrame(target, cx, cy);
    if (context.HasMouse() && ContainsPoint(context.m_MouseX, context.m_MouseY))
        if (CSequence* hover = SequenceUnlessNone(m_HoverSequence))
            hover->DrawCurrentFrame(target, cx, cy);
    if (CSequence* item = SequenceUnlessNone(m_NewItemImage))
        item->DrawCurrentFrame(target, SaturatingAdd(cx, m_UpgradeItemPosition.x),
                               SaturatingAdd(cy, m_UpgradeItemPosition.y));
}

// --- the close-up ---

OMBRISALT_IMPLEMENT_CLASS(CBuildableItemFrameOverlay, 1.0)

void CBuildableItemFrameOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CBuildableItemFrameOverlay;
    d.Add(&C::m_Position, "Positon", CPoint{0, 0});
    d.Add(&C::m_Scale, "Scale", 1.0f);
    d.AddListReference<CNoneableListProperty>(&C::m_ColorRemap, "Color Remap", &GetHueRemapperStyleSheetList(),
                                              nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_UpgradeItem, "Upgrade Item", &GetUpgradeList(), nullptr);
}

CBuildableItemFrameOverlay::CBuildableItemFrameOverlay()
{
    InitDeclaredProperties();
}

CBuildableItemFrameOverlay::~CBuildableItemFrameOverlay()
{
    DestroyDeclaredProperties();
}

int32_t CBuildableItemFrameOverlay::GetShownItem(const CFrameOverlayDrawContext& context) const
{
    return context.GetShownItem(m_ID, m_UpgradeItem);
}

void CBuildableItemFrameOverlay::Draw(CFrameOverlayDrawContext& context)
{
    CUpgrade* upgrade = GetUpgradeByIndex(GetShownItem(context));
    CSequence* closeUp = upgrade ? SequenceUnlessNone(upgrade->GetCloseUp()) : nullptr;
    CFrame* frame = closeUp ? closeUp->GetFrameAtPosition(1.0f) : nullptr;
    if (!frame || !context.m_pTarget)
        return;
    if (CBuildablePart* part = AsPart(upgrade))
        if (CBuildPhase* phase = part->GetBuildPhase(); phase && phase->m_GetsColored && m_ColorRemap > 0)
            if (CFrame* remapped = GetHueRemappedFrame(*frame, m_ColorRemap))
                frame = remapped;
    CRect bounds{};
    frame->GetBounds(bounds);
    const int32_t width = bounds.GetWidth(), height = bounds.GetHeight();
    if (width < 1 || height < 1)
        return;
    const float scale = upgrade->m_AllowScalingOfBuyCloseUp ? m_Scale : 1.0f;
    const float x = float(m_Position.x) + (-0.5f * float(width) - float(bounds.left)) * scale;
    const float y = float(m_Position.y) + (-0.5f * float(height) - float(bounds.top)) * scale;
    CBlitXParams params(frame, x + context.m_OffsetX, y + context.m_OffsetY, 0.0f, scale, scale,
                        CColor(255, 255, 255, 255), 0, 0.0f, 0.0f, true);
    context.m_pTarget->Render(params);
}

void CBuildableItemFrameOverlay::MoveBy(int32_t dx, int32_t dy)
{
    m_Position.x = SaturatingAdd(m_Position.x, dx);
    m_Position.y = SaturatingAdd(m_Position.y, dy);
}

// --- the shop button ---

OMBRISALT_IMPLEMENT_CLASS(CShoppingUpgradeButton, 1.0)

void CShoppingUpgradeButton::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference<CNoneableListProperty>(&CShoppingUpgradeButton::m_UpgradeSlot, "Upgrade Slot",
                                              &GetUpgradeSlotList(), nullptr);
}

CShoppingUpgradeButton::CShoppingUpgradeButton()
{
    InitDeclaredProperties();
}

CShoppingUpgradeButton::CShoppingUpgradeButton(int32_t slot)
{
    InitDeclaredProperties();
    m_UpgradeSlot = slot;
    FindMarker();
}

CShoppingUpgradeButton::~CShoppingUpgradeButton()
{
    DestroyDeclaredProperties();
}

void CShoppingUpgradeButton::FindMarker()
{
    m_Marker = nullptr;
    CFrameOverlayOptions* set = m_UpgradeSlot > 0 ? ShopSet() : nullptr;
    CFrameOverlay* found = set ? set->FindOverlay(GetUpgradeSlotName(m_UpgradeSlot), nullptr, nullptr) : nullptr;
    if (found && found->IsKindOf(CShoppingPositionMarkerFrameOverlay::SGetClassInfo()))
        m_Marker = static_cast<CShoppingPositionMarkerFrameOverlay*>(found);
}

void CShoppingUpgradeButton::Refresh()
{
    CUpgradeSlot* slot = GetUpgradeSlotByIndex(m_UpgradeSlot);
    m_Selectable = slot && slot->m_SelectableOnShoppingScreen;
    m_Owned = OwnedInSlot(m_UpgradeSlot);
    m_Offered = GetOfferedUpgrade(m_UpgradeSlot);
    CGameState* state = CGameState::SGetCurrent();
    m_IsNew = false;
    if (m_Offered != 0 && state) {
        const CPropertyArray<int32_t>& shown = state->m_UpgradesShownBefore;
        m_IsNew = true;
        for (uint32_t i = 0; i < shown.GetCount(); ++i)
            if (shown[i] == m_Offered)
                m_IsNew = false;
    }
    if (m_IsNew && g_Shop)
        g_Shop->NoteSeen(m_Offered);
}

void CShoppingUpgradeButton::OnAddedToSprite(CSprite* sprite)
{
    Refresh();
    if (!sprite)
        return;
    CUpgradeSlot* slot = GetUpgradeSlotByIndex(m_UpgradeSlot);
    // Without its marker a button offering something shows no image.
    const int32_t image = m_Offered != 0 ? (m_Marker ? m_Marker->m_ImageSequence : 0)
                                         : (slot ? slot->m_BuyButtonDisabled : 0);
    sprite->SetImageSequence(uint32_t(std::max(image, 0)));
}

void CShoppingUpgradeButton::Update(CSpriteUpdateRecord& record)
{
    UpdateNextAI(record);
}

CSequence* CShoppingUpgradeButton::GetHoverImage() const
{
    if (CUpgrade* owned = GetUpgradeByIndex(m_Owned))
        if (CSequence* hover = SequenceUnlessNone(owned->GetBuyButtonHover()))
            return hover;
    return m_Marker ? SequenceUnlessNone(m_Marker->m_HoverSequence) : nullptr;
}

void CShoppingUpgradeButton::Draw(CSpriteDrawRecord& record)
{
    CFrameInterface* target = record.spriteFrame ? record.spriteFrame : record.destination;
    if (target) {
        const bool selected = m_UpgradeSlot > 0 && g_SelectedSlot == m_UpgradeSlot;
        const bool behind = m_Marker && m_Marker->m_HoverBehind;
        if ((selected && behind) || m_HitTesting)
            if (CSequence* hover = GetHoverImage())
                hover->DrawCurrentFrame(*target, 0, 0);
        if (CUpgrade* owned = GetUpgradeByIndex(m_Owned)) {
            CSequence* picture = SequenceUnlessNone(owned->m_BuildButtonAppearance > 0 ? owned->m_BuildButtonAppearance
                                                                               : owned->GetAppearance());
            // Unpainted, as the bar's buttons show it.
            if (CFrame* frame = picture ? picture->GetFrameAtPosition(1.0f) : nullptr)
                BlitAt(*target, *GetButtonPictureFrame(*owned, frame), 0, 0, picture->GetBlitType());
        } else if (CSequence* empty = m_Marker ? SequenceUnlessNone(m_Marker->m_EmptyIconSequence) : nullptr) {
            empty->DrawCurrentFrame(*target, 0, 0);
        }
        if (selected && !behind)
            if (CSequence* hover = GetHoverImage())
                hover->DrawCurrentFrame(*target, 0, 0);
    }
    CSpriteAI::Draw(record);
}

int32_t CShoppingUpgradeButton::GetStickerOverlay() const
{
    CRules* rules = CRules::SFindInstance();
    CUpgrade* offered = GetUpgradeByIndex(m_Offered);
    if (!rules || !offered)
        return 0;
    if (m_IsNew)
        return rules->m_ShoppingNewUpgradeOverlay;
    if (!IsAffordable(*offered) || offered->m_StarsRequired > g_StarsAvailable)
        return rules->m_ShoppingUnaffordableUpgradeOverlay;
    return rules->m_ShoppingOldUpgradeOverlay;
}

void CShoppingUpgradeButton::PostDraw(CSpriteDrawRecord& record)
{
    CFrameInterface* target = record.spriteFrame ? record.spriteFrame : record.destination;
    CFrameOverlayOptions* set = m_Offered != 0 ? SetAt(GetStickerOverlay()) : nullptr;
    if (target && set) {
        CPoint offset{};
        if (CFrameOverlayPositionMarker* corner = set->FindPositionMarker(CJString("Corner")))
            offset = corner->m_Position;
        if (m_Marker) {
            offset.x = SaturatingSub(offset.x, m_Marker->m_UpgradeItemPosition.x);
            offset.y = SaturatingSub(offset.y, m_Marker->m_UpgradeItemPosition.y);
        }
        COffsetProxyFrame proxy(target, offset.x, offset.y);
        set->DrawOnFrame(proxy, nullptr, false, nullptr);
    }
    CSpriteAI::PostDraw(record);
}

void CShoppingUpgradeButton::HandleMessage(CMessage& message)
{
    const uint32_t type = message.GetType();
    CSprite* sprite = GetSprite();
    const bool something = m_Offered != 0 || m_Owned != 0;
    if (sprite && m_Selectable && something) {
        if (type == CPlayfieldMouseMessage::SGetMouseDownType() && !message.IsHandled()) {
            const CPoint at = static_cast<CPlayfieldMouseMessage&>(message).GetPosition();
            m_HitTesting = true;
            const bool hit = sprite->HitTest(at.x, at.y);
            m_HitTesting = false;
            if (hit) {
                g_SelectedSlot = m_UpgradeSlot;
                message.SetHandled();
                if (g_Shop)
                    g_Shop->SlotClicked();
                return;
            }
        } else if (type == CPlayfieldMouseMessage::SGetMouseMovedType()) {
            const CPoint at = static_cast<CPlayfieldMouseMessage&>(message).GetPosition();
            m_HitTesting = true;
            m_Hovered = sprite->HitTest(at.x, at.y);
            m_HitTesting = false;
            sprite->SetUniformScale(m_Hovered ? 1.1f : 1.0f);
        }
    }
    CSpriteAI::HandleMessage(message);
}

// --- the shop ---

CShopWindow::CShopWindow()
    : CMenuWindow(nullptr, ShopTitle())
{
    g_Shop = this;
    if (CGameApp* game = CGameApp::SGetInstance())
        game->IncrementOpenScreens();
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SetSize(int32_t(screen.GetWidth()), int32_t(screen.GetHeight()));
    g_SelectedSlot = 0;
    if (CGameState* state = CGameState::SGetCurrent())
        state->ClearNewlyAcquiredUpgrades();
    RebuildControls();
}

CShopWindow::~CShopWindow()
{
    DestroyRetiredControls();
    if (g_Shop == this)
        g_Shop = nullptr;
    if (CGameApp* game = CGameApp::SGetInstance())
        game->DecrementOpenScreens();
}

void CShopWindow::NoteSeen(int32_t upgrade)
{
    if (upgrade <= 0)
        return;
    if (std::find(m_Seen.begin(), m_Seen.end(), uint32_t(upgrade)) == m_Seen.end())
        m_Seen.push_back(uint32_t(upgrade));
}

void CShopWindow::Update(float seconds)
{
    DestroyRetiredControls();
    if (m_TutorialDelay != 0.0f) {
        m_TutorialDelay -= seconds;
        if (m_TutorialDelay <= 0.0f) {
            m_TutorialDelay = 0.0f;
            CRules* rules = CRules::SFindInstance();
            if (GetCurrentLevelIndex() == 1 && rules)
                ShowTutorial(rules->m_ShoppingTutorial, false);
        }
    }
    CJWindow::Update(seconds);
}

void CShopWindow::FillSubstitutions(CTextSubstitutionList& values)
{
    CUpgrade* owned = SelectedOwned();
    CUpgrade* offered = SelectedOffered();
    values.AddNumber("%s[Tab]", TabOf(owned ? owned : offered));
    CGameState* state = CGameState::SGetCurrent();
    values.AddNumber("%s[NetWorth]", WholeDollars(state ? state->GetNetWorth() : 0.0f));
    g_StarsAvailable = ComputeStarsAvailable();

    bool buyable = false;
    AddUpgradeValues(values, offered, "", false);
    if (offered) {
        values.AddNumber("%s[StarCost]", int32_t(std::min<uint32_t>(offered->m_StarsRequired, INT32_MAX)));
        const bool enoughStars = g_StarsAvailable >= offered->m_StarsRequired;
        values.AddNumber("%s[EnoughStars]", enoughStars ? 1 : 0);
        values.AddText("%s[Affordable]", CJString(IsAffordable(*offered) ? "1" : "0"));
        buyable = IsAffordable(*offered) && enoughStars;
    } else {
        values.AddText("%s[StarCost]", CJString());
        values.AddText("%s[EnoughStars]", CJString());
        values.AddText("%s[Affordable]", CJString("0"));
    }
    if (m_BuyButton)
        m_BuyButton->Enable(buyable);

    AddUpgradeValues(values, owned, "Own", true);
    values.AddNumber("%s[Spendable]", WholeDollars(SpendableMoney()));
    values.AddNumber("%s[StarsHave]", int32_t(std::min<uint32_t>(g_StarsAvailable, INT32_MAX)));
}

void CShopWindow::Draw(CFrameInterface& frame)
{
    CTextSubstitutionList values;
    FillSubstitutions(values);
    if (CFrameOverlayOptions* set = ShopSet()) {
        const COverlayShownItem shown[] = {
            {"Own", OwnedInSlot(g_SelectedSlot)},
            {"Upgrade", g_SelectedSlot > 0 ? GetOfferedUpgrade(g_SelectedSlot) : 0},
        };
        CFrameOverlayDrawContext context;
        context.m_pTarget = &frame;
        context.m_pSubstitutions = &values;
        context.m_ShownItems = shown;
        set->Draw(context);
    }
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->Draw(frame);
}

void CShopWindow::RebuildControls()
{
    for (CJWindow* child = GetFirstChild(); child; child = GetFirstChild()) {
        RemoveChild(child);
        child->Show(false, false);
        RetiredControls().push_back(child);
    }
    m_BuyButton = nullptr;
    m_ReturnButton = nullptr;
    SetDefaultButton(nullptr);
    SetCancelButton(nullptr);
    CFrameOverlayOptions* set = ShopSet();
    if (!set)
        return;
    CTextSubstitutionList values;
    CUpgrade* owned = SelectedOwned();
    CUpgrade* offered = SelectedOffered();
    values.AddNumber("%s[Tab]", TabOf(owned ? owned : offered));
    CGameState* state = CGameState::SGetCurrent();
    values.AddNumber("%s[NetWorth]", WholeDollars(state ? state->GetNetWorth() : 0.0f));

    auto make = [&](const char* name, void (CShopWindow::*action)()) {
        return AddOverlayButton(*this, *set, name, values, action);
    };
    CJButton* quit = make("Quit", &CShopWindow::Quit);
    if (CanReturnSelectedUpgrade())
        m_ReturnButton = make("Return", &CShopWindow::Return);
    if (offered)
        m_BuyButton = make("Buy", &CShopWindow::Buy);
    make("Back", &CShopWindow::Back);
    CJButton* close = make("Close", &CShopWindow::CloseSelection);
    if (close)
        SetCancelButton(close);
    if (quit) {
        SetDefaultButton(quit);
        BringChildToFront(quit);
    }
}

void CShopWindow::SlotClicked()
{
    RebuildControls();
    if (g_SelectedSlot == 0)
        return;
    CMessage clicked = CMessage::CMessageByName("Shopping Button Clicked");
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->BroadcastMessage(clicked);
    if (CLevelOptions* level = CLevelOptions::SGetCurrent())
        level->HandleMessage(clicked);
}

void CShopWindow::CloseSelection()
{
    g_SelectedSlot = 0;
    SlotClicked();
}

void CShopWindow::RecreateScene()
{
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->DeleteAllLayers();
    CreateShopButtons();
    RebuildControls();
}

void CShopWindow::Buy()
{
    CUpgrade* offered = SelectedOffered();
    CGameState* state = CGameState::SGetCurrent();
    if (!offered || !state || !IsAffordable(*offered))
        return;
    const int32_t index = GetOfferedUpgrade(g_SelectedSlot);
    if (CRules* rules = CRules::SFindInstance())
        PlayAudioUnlessNone(rules->m_UpgradePurchasedAudio);
    state->m_SpendableMoneyK -= offered->m_UpgradeCost;
    state->ReceiveUpgrade(index);
    RecreateScene();
}

void CShopWindow::Return()
{
    CGameState* state = CGameState::SGetCurrent();
    if (!state || !CanReturnSelectedUpgrade())
        return;
    const int32_t index = OwnedInSlot(g_SelectedSlot);
    CUpgrade* owned = GetUpgradeByIndex(index);
    if (CRules* rules = CRules::SFindInstance())
        PlayAudioUnlessNone(rules->m_UpgradeSoldAudio);
    state->m_SpendableMoneyK += owned->m_UpgradeCost;
    state->RemoveUpgrade(index);
    RecreateScene();
}

void CShopWindow::Quit()
{
    CGameState* state = CGameState::SGetCurrent();
    if (state) {
        for (uint32_t seen : m_Seen) {
            CPropertyArray<int32_t>& shown = state->m_UpgradesShownBefore;
            auto* property = static_cast<CPropertyArrayProperty*>(
                CGameState::SGetClassInfo()->FindProperty("Upgrades Shown List"));
            if (!property)
                break;
            const uint32_t count = shown.GetCount();
            property->ArrayProperty_SetCount(state, count + 1);
            shown[count] = int32_t(seen);
        }
        m_Seen.clear();
        KeepPurchases(*state);
        state->ClearNewlyAcquiredUpgrades();
    }
    CGameApp* game = CGameApp::SGetInstance();
    Close();
    if (game)
        game->StartLevel(false);
}

void CShopWindow::Back()
{
    if (CGameState* state = CGameState::SGetCurrent())
        KeepPurchases(*state);
    Close();
    GetGameScreensHooks().OpenScreen(EGameScreen::TownMap);
}

void CShopWindow::KeepPurchases(CGameState& state)
{
    // The next visit and the level start from the stored state, so what was
    // bought or returned goes there; a crash after the shop must not take
    // it along.
    state.SaveStateBeforeLevel();
    CStats::SGetInstance().SaveIfNeeded();
}

// --- free functions ---

CShopWindow* GetShopWindow()
{
    return g_Shop;
}

void CreateShopButtons()
{
    g_SelectedSlot = 0;
    CPlayfield* playfield = GetCurrentPlayfield();
    if (!playfield)
        return;
    CRules* rules = CRules::SFindInstance();
    const int32_t set = rules ? rules->m_ShoppingOverlay : 0;
    CUpgradeSlotList& slots = GetUpgradeSlotList();
    for (int32_t slot = 1; slot < slots.GetCount(); ++slot) {
        CUpgradeSlot* entry = slots.GetObject(slot);
        if (!entry || entry->m_BuyButtonBackground <= 0)
            continue;
        const CPoint at = set > 0 ? GetUpgradeSlotMarkerPosition(slot, set) : CPoint{0, 0};
        auto* sprite = new CSprite;
        sprite->SetPosition(float(at.x), float(at.y));
        sprite->AddAI(new CShoppingUpgradeButton(slot));
        playfield->AddSprite(sprite, "UI");
    }
}

CShopWindow* OpenShop()
{
    auto* shop = new CShopWindow;
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->DeleteAllLayers();
    CreateShopButtons();
    AddGameScreenWindow(shop);
    return g_Shop == shop ? shop : nullptr;
}

int32_t GetShopSelectedSlot()
{
    return g_SelectedSlot;
}

void SetShopSelectedSlot(int32_t slot)
{
    g_SelectedSlot = slot;
}

uint32_t GetShopStarsAvailable()
{
    return g_StarsAvailable;
}

int32_t GetOfferedUpgrade(int32_t slot)
{
    CGameState* state = CGameState::SGetCurrent();
    return state && slot > 0 ? state->FindNextUpgradeForSlot(slot, false) : 0;
}

bool CanReturnSelectedUpgrade()
{
    CGameState* state = CGameState::SGetCurrent();
    const int32_t index = OwnedInSlot(g_SelectedSlot);
    CUpgrade* owned = GetUpgradeByIndex(index);
    return state && owned && owned->m_UpgradeCost > 0.0f && state->HasReceivedUpgrade(index);
}

void InstallShopScreen()
{
    SGameScreenEntry entry;
    entry.open = &OpenShopScreen;
    entry.close = &CloseShopScreen;
    entry.isOpen = &IsShopScreenOpen;
    SetGameScreenEntry(EGameScreen::Shop, entry);
}
