#include "game/world/CLot.h"

#include "foundation/MathHelpers.h"
#include "foundation/CRandomGenerator.h"
#include "foundation/SaturatingArithmetic.h"
#include "game/scripting/CAudio.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomer.h"
#include "game/business/CDeliverer.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeSlot.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLotOptions.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CRules.h"
#include "game/world/CScenery.h"
#include "game/world/ListReferences.h"
#include "game/world/WorldHooks.h"
#include "images/CFrame.h"
#include "render/CPointPath.h"
#include "sequences/CSequence.h"
#include "game/scripting/CSprite.h"
#include "objects/CBoolProperty.h"
#include "objects/CListProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPointProperty.h"
#include "sequences/CSequenceList.h"

#include <algorithm>
#include <cmath>

OMBRISALT_IMPLEMENT_CLASS(CLot, 1.0)

void CLot::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CLot;
    d.AddOwned(&C::m_Building, "Building").DefaultClass(CBuildablePackage::SGetClassInfo());
    d.AddOwned(&C::m_CustomerLivingHere, "Customer Living Here");
    d.Add(&C::m_ForcePrebuiltItemsToUsePurchasedUpgrades, "Force Prebuilt Items To Use Purchased Upgrades", false);
    d.Add(&C::m_GridCoordinate, "Grid Coordinate", CPoint{0, 0});
    d.Add(&C::m_IsScenicLot, "Is Scenic Lot", false).AlternateName("Is Premium Lot");
    d.AddListReference<CNoneableListProperty>(&C::m_BackgroundSequence, "Background Sequence", &GetSequenceList(),
                                              nullptr);
    d.Add(&C::m_Initialized, "Debug/Initialized", false).Level(kLevelHidden);
    d.Add(&C::m_SecondsWaitingForMouseUp, "Seconds Waiting For Mouse Up", 0.0f).Level(kLevelHidden);
    d.Add(&C::m_SecondsBetweenAssistClicks, "Seconds Between Assist Clicks", 0.0f).Level(kLevelHidden);
}

CLot::CLot()
{
    InitDeclaredProperties();
}

CLot* CLot::SFromSprite(CSprite* sprite)
{
    return sprite ? static_cast<CLot*>(sprite->FindAI(CLot::SGetClassInfo())) : nullptr;
}

namespace {

// A random entry of a style-sheet image list; 0 for an empty list or no
// style sheet.
int32_t RandomImage(CPropertyArray<int32_t> CBackgroundStyleSheet::*list)
{
    CBackgroundStyleSheet* sheet = GetCurrentBackgroundStyleSheet();
    if (!sheet)
        return 0;
    const CPropertyArray<int32_t>& images = sheet->*list;
    if (images.GetCount() == 0)
        return 0;
    return images[GameRandom().Next(images.GetCount())];
}

void CountStat(uint32_t CLevelPlayStats::*counter)
{
    if (CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent())
        ++(stats->*counter);
}

void PassToLevel(CMessage& message)
{
    if (CLevelOptions* level = CLevelOptions::SGetCurrent())
        level->HandleMessage(message);
}

void Broadcast(const char* name)
{
    CMessage message = CMessage::CMessageByName(name);
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->BroadcastMessage(message);
}

void SendTo(CSprite* sprite, const char* name)
{
    if (!sprite)
        return;
    CMessage message = CMessage::CMessageByName(name);
    sprite->HandleMessage(message);
}

int32_t FindPhase(const char* name)
{
    return GetBuildPhaseList().Find(name);
}

// The add-on image and its poke audio when the point (in the sprite's
// layer) hits that image.
int32_t PokeAudioUnder(CBuildablePackage* building, CSprite* sprite, CPoint point)
{
    if (!building || !sprite)
        return 0;
    CSequence* image = building->GetAddOnAppearance();
    const int32_t audio = GetPokeAudio(image);
    if (audio == 0)
        return 0;
    CFrame* frame = image->GetCurrentFrame();
    const CFPoint& at = sprite->GetPosition();
    if (!frame
        || !frame->HitTest(SaturatingSub(point.x, ClampToInt32(std::lround(at.x))),
                           SaturatingSub(point.y, ClampToInt32(std::lround(at.y)))))
        return 0;
    return audio;
}

} // namespace

void CLot::OnAddedToSprite(CSprite*)
{
    m_BackgroundSequence = GetSequenceList().FindOrReportMissing("Tile EmptyLot");
    delete m_Building;
    m_Building = new CBuildablePackage;
    m_Building->ResetToDefaults();
}

CPointPath* CLot::GetHitArea(CSprite*)
{
    static CPointPath* area = [] {
        auto* path = new CPointPath;
        path->InsertPoint(47.0f, 77.0f, CPointPath::kAppend);
        path->InsertPoint(-139.0f, 52.0f, CPointPath::kAppend);
        path->InsertPoint(-56.0f, -72.0f, CPointPath::kAppend);
        path->InsertPoint(134.0f, -47.0f, CPointPath::kAppend);
        path->Close();
        return path;
    }();
    return area;
}

bool CLot::CanHouse(CCustomer* customer)
{
    if (!m_Building || !customer || !IsVacant())
        return false;
    return !m_Building->IsBeingConstructed() && m_Building->IsPaintedFor(customer->GetPackageWanted())
        && m_Building->HasSamePartsAs(customer->GetPackageWanted());
}

CCustomer* CLot::GetResidentCustomer() const
{
    return dynamic_cast<CCustomer*>(m_CustomerLivingHere);
}

bool CLot::OnClicked(bool dropped)
{
    if (CCustomer* customer = TakeDraggedCustomer()) {
        MoveIn(customer, dropped);
        return true;
    }
    CUpgradeButton* button = TakeDraggedUpgradeButton();
    if (!button)
        return ClickAssist();
    if (IsVacant()) {
        CountStat(dropped ? &CLevelPlayStats::m_DraggedUpgradeIn : &CLevelPlayStats::m_ClickedUpgradeIn);
        const bool hadParts = m_Building && m_Building->HasParts();
        const bool handled = button->DropOnLot(this);
        if (m_Building && m_Building->HasParts() && !hadParts)
            m_BackgroundSequence = RandomImage(&CBackgroundStyleSheet::m_ConstructionImages);
        return handled;
    }
    if (button->IsUsedOnLot())
        GetIllegalMoveDisplay().Show("CantBuildHereOccupied");
    return false;
}

void CLot::MoveIn(CCustomer* customer, bool dropped)
{
    if (!customer)
        return;
    CountStat(dropped ? &CLevelPlayStats::m_DraggedCustomerIn : &CLevelPlayStats::m_ClickedCustomerIn);
    if (!m_Building || m_Building->IsBeingConstructed()) {
        customer->PlayCantMoveInSound();
        CountStat(&CLevelPlayStats::m_UnfinishedCantMoveIn);
        GetIllegalMoveDisplay().Show("CantMoveInUnfinished");
        return;
    }
    if (!m_Building->IsPaintedFor(customer->GetPackageWanted())) {
        customer->PlayCantMoveInSound();
        CountStat(&CLevelPlayStats::m_UnfinishedCantMoveIn);
        // Without the order only the paint can be told: an empty order
        // passes the part checks.
        CBuildablePackage none;
        m_Building->ShowMoveInRefusal(&none);
        return;
    }
    if (!IsVacant()) {
        customer->PlayCantMoveInSound();
        CountStat(&CLevelPlayStats::m_OccupiedCantMoveIn);
        GetIllegalMoveDisplay().Show("CantMoveInOccupied");
        return;
    }
    if (!m_Building->HasSamePartsAs(customer->GetPackageWanted())) {
        customer->PlayNotWhatIOrderedSound();
        CountStat(&CLevelPlayStats::m_WrongOrderCantMoveIn);
        // A part the order lacks (a garage, say) passes every named check.
        if (!m_Building->ShowMoveInRefusal(customer->GetPackageWanted()))
            GetIllegalMoveDisplay().Show("NotWhatWasOrdered");
        return;
    }

    CSprite* sprite = GetSprite();
    CGameState* state = CGameState::SGetCurrent();
    Broadcast("Customer Moved In");
    SendTo(sprite, "Customer Moved In Here");
    CGameScreensHooks& achievements = GetGameScreensHooks();
    achievements.ReportWatchedUpgradeMovedIn(m_Building->HoldsUpgradeOwnedIn(achievements.GetWatchedUpgradeSlot()));
    if (state)
        state->IncrementMovedInCount();
    SendTo(sprite, "MoveInStarted");
    ShowAsLivedIn();
    const CFPoint home = sprite ? sprite->GetPosition() : customer->GetDestination();
    customer->SetHome(this, home.x, home.y);
    customer->StartVictoryPose();
    delete m_CustomerLivingHere;
    m_CustomerLivingHere = static_cast<CSpriteAI*>(customer->Clone());
    const CFPoint at = sprite ? sprite->GetPosition() : CFPoint{0.0f, 0.0f};
    if (CLotOptions* options = CLotOptions::SGetInstance())
        SpawnOneShotAnimation(options->m_MoveInEffectSequence, at, "Lot");
    customer->SetDestination(at);

    // Revenue, thousands of $.
    const auto r = [](float x) { return RoundToDecimals(x, 3.0f); };
    float value = m_Building->GetResaleValue();
    if (state)
        RecordPartSamples(*state);
    const float hearts = customer->GetHeartsLeft();
    if (state)
        state->AddHeartsSample(hearts);
    if (m_IsScenicLot)
        value = value + r(CLotOptions::SGetInstance()->m_ScenicBonus * value);
    const float early = r(customer->GetMoveInBonus() * value);
    if (state)
        state->AddEarlyMoveInBonus(early);
    CXInARowCheckMessage check(this);
    const float inARow = CheckInARow(check);
    const float total = value + early + r(inARow * value);
    if (CLevelOptions* level = CLevelOptions::SGetCurrent())
        level->AddPendingRevenue(total);
    if (state)
        state->AddRevenue(total);

    ShowScoreBalloon(inARow);
    CCustomerMovedInMessage movedIn(this);
    PassToLevel(movedIn);
}

void CLot::RecordPartSamples(CGameState& state)
{
    const int32_t frame = FindPhase("Frame");
    const int32_t garage = FindPhase("Garage");
    const int32_t addOn = FindPhase("Add On");
    for (uint32_t i = 0; i < m_Building->m_Parts.GetCount(); ++i) {
        const int32_t index = m_Building->m_Parts[i];
        if (index == 0)
            continue;
        CUpgrade* upgrade = GetUpgradeByIndex(index);
        if (!upgrade || !upgrade->IsKindOf(CBuildablePart::SGetClassInfo()))
            continue;
        auto* part = static_cast<CBuildablePart*>(upgrade);
        if (part->m_BuildPhase < 0)
            continue;
        if (part->m_BuildPhase == frame)
            state.AddFrameSample(part->m_ResaleValue);
        else if (part->m_BuildPhase == garage)
            state.AddGarageSample(part->m_ResaleValue);
        else if (part->m_BuildPhase == addOn)
            state.AddAddOnSample(part->m_ResaleValue);
    }
    if (state.GetFrameSamples().GetCount() > state.GetGarageSamples().GetCount())
        state.AddGarageSample(0.0f);
    if (state.GetFrameSamples().GetCount() > state.GetAddOnSamples().GetCount())
        state.AddAddOnSample(0.0f);
}

void CLot::ShowAsLivedIn()
{
    m_BackgroundSequence = RandomImage(&CBackgroundStyleSheet::m_LivedInImages);
    RevealScenery();
}

void CLot::RevealScenery()
{
    CSprite* own = GetSprite();
    CLotPlayfieldLayer* layer = GetLotLayer();
    if (!own || !layer)
        return;
    CPointPath* area = GetHitArea(own);
    const CFPoint& at = own->GetPosition();
    for (uint32_t i = 0; i < layer->GetSpriteCount(); ++i) {
        CSprite* sprite = layer->GetSprite(i);
        if (sprite == own || sprite->IsVisible())
            continue;
        const CFPoint& p = sprite->GetPosition();
        if (area->ContainsPoint(p.x - at.x, p.y - at.y))
            sprite->SetVisible(true);
    }
}

float CLot::CheckInARow(CXInARowCheckMessage& message)
{
    CLotPlayfieldLayer* layer = GetLotLayer();
    if (!layer || !m_Building)
        return 0.0f;
    const CRules& rules = CRules::SGetInstance();
    const uint32_t partCount = m_Building->m_Parts.GetCount();
    message.m_Counts.assign(std::max<size_t>(size_t(GetBuildPhaseList().GetCount()), partCount), 0);

    const CPoint directions[4] = {{-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    int32_t runs = 0;
    for (const CPoint& d : directions) {
        const bool diagonal = d.x != 0 && d.y != 0;
        if ((diagonal && rules.m_DisableDiagonalMatches) || (d.x == 0 && rules.m_DisableVerticalMatches))
            continue;
        for (uint32_t i = 0; i < partCount; ++i) {
            const int32_t part = m_Building->m_Parts[i];
            if (part == 0)
                continue;
            // The lot k steps along d when it is lived in and has the part.
            const auto match = [&](int32_t k) -> CLot* {
                CLot* lot = layer->FindLotFrom(m_GridCoordinate, k * d.x, k * d.y);
                return lot && !lot->IsVacant() && lot->BuildingHasPart(part) ? lot : nullptr;
            };
            const auto run = [&](CLot* a, CLot* b) {
                ++runs;
                m_Building->MarkThreeInARowPart(part);
                a->m_Building->MarkThreeInARowPart(part);
                b->m_Building->MarkThreeInARowPart(part);
                if (CThreeInARowCounter* counter = GetThreeInARowCounter())
                    counter->AddBonus();
            };
            int32_t& count = message.m_Counts[i];
            count += 1;
            CLot* ahead = match(1);
            CLot* behind = match(-1);
            bool behindCounted = false;
            if (ahead) {
                count += 1;
                if (CLot* ahead2 = match(2)) {
                    count += 1;
                    run(ahead, ahead2);
                    for (int32_t k = 3; match(k); ++k)
                        count += 1;
                }
                if (behind) {
                    count += 1;
                    run(ahead, behind);
                    behindCounted = true;
                }
            }
            if (behind) {
                if (!behindCounted)
                    count += 1;
                if (CLot* behind2 = match(-2)) {
                    count += 1;
                    run(behind, behind2);
                    for (int32_t k = -3; match(k); --k)
                        count += 1;
                }
            }
            PassToLevel(message);
            count = 0;
        }
    }
    GetGameScreensHooks().ReportInARowRuns(runs);
    const CPropertyArray<float>& bonuses = rules.m_MoveInBonusBy3InARows;
    if (bonuses.GetCount() == 0 || runs == 0)
        return 0.0f;
    return bonuses[std::min(uint32_t(runs), bonuses.GetCount()) - 1];
}

bool CLot::TryDeliverCustomer()
{
    // Looked up at each call: the slot list may be another one by now (the
    // editors reload it), and this runs only when a customer decides or a
    // part is finished.
    const int32_t slot = GetUpgradeSlotList().Find("Deliverer");
    CGameState* state = CGameState::SGetCurrent();
    if (slot < 0 || !state || !state->HasUpgradeInSlot(slot) || !IsVacant() || !m_Building
        || m_Building->IsBeingConstructed())
        return false;
    CPlayfield* playfield = GetCurrentPlayfield();
    CPlayfieldLayer* customers = playfield ? playfield->FindLayer("Customers") : nullptr;
    if (!customers)
        return false;
    for (uint32_t i = 0; i < customers->GetSpriteCount(); ++i) {
        CCustomer* customer = FindCustomer(customers->GetSprite(i));
        if (!customer || customer->GetState() != CCustomer::kIdle
            || !m_Building->IsPaintedFor(customer->GetPackageWanted())
            || !m_Building->HasSamePartsAs(customer->GetPackageWanted()))
            continue;
        Broadcast("DelivererMovedSomeoneIn");
        customer->AddHearts(GetDelivererHeartBonus(GetUpgradeByIndex(state->GetUpgradeInSlot(slot))));
        MoveIn(customer, false);
        return true;
    }
    return false;
}

void CLot::Bulldoze()
{
    if (IsVacant() && m_Building && m_Building->HasParts()) {
        SendTo(GetSprite(), "BulldozerUsed");
        Broadcast("Building Destroyed");
    } else {
        GetIllegalMoveDisplay().Show("NoBulldozerEmptyLot");
    }
}

bool CLot::TryPoke(CPoint layerPoint)
{
    if (m_PokeClock > 0.0f)
        return false;
    const int32_t audio = PokeAudioUnder(m_Building, GetSprite(), layerPoint);
    if (audio == 0)
        return false;
    CAudioPlaySettings settings;
    settings.pitch = 1.0f;
    settings.volume = 1.0f;
    settings.pan = 0.0f;
    settings.noPlay = false;
    GetAudioList().PlayAudioByIndex(audio, settings);
    m_PokeClock = 0.001f;
    CountStat(&CLevelPlayStats::m_PokeSoundsPlayed);
    return true;
}

void CLot::HandleMessage(CMessage& message)
{
    const uint32_t type = message.GetType();
    CSprite* sprite = GetSprite();
    if (type == CPlayfieldMouseMessage::SGetMouseDownType()) {
        const CPoint at = static_cast<CPlayfieldMouseMessage&>(message).GetPosition();
        m_SecondsWaitingForMouseUp = 0.15f;
        if (!message.IsHandled() && sprite && sprite->HitTest(at.x, at.y)) {
            bool handled = OnClicked(false);
            if (!handled)
                handled = TryPoke(at);
            message.SetHandled(handled);
        }
    } else if (type == CPlayfieldMouseMessage::SGetMouseUpType()) {
        const CPoint at = static_cast<CPlayfieldMouseMessage&>(message).GetPosition();
        if (!message.IsHandled() && GetDraggedSprite() && sprite && sprite->HitTest(at.x, at.y)
            && m_SecondsWaitingForMouseUp <= 0.0f)
            message.SetHandled(OnClicked(true));
    } else if (type == CPlayfieldMouseMessage::SGetMouseMovedType()) {
        const CPoint at = static_cast<CPlayfieldMouseMessage&>(message).GetPosition();
        if (!message.IsHandled() && sprite && sprite->HitTest(at.x, at.y)) {
            m_IsHovered = true;
            if (!GetDraggedSprite() && m_Building && !m_Building->IsBeingConstructed()
                && PokeAudioUnder(m_Building, sprite, at) != 0) {
                SetLotMouseCursor("Poke Cursor");
                message.SetHandled();
                m_IsHovered = false;
            } else {
                SetLotMouseCursor(nullptr);
            }
        } else {
            // A cursor another sprite chose for a handled movement stays.
            if (!message.IsHandled())
                SetLotMouseCursor(nullptr);
            m_IsHovered = false;
        }
    } else if (message.IsType("GamePaused")) {
        if (m_Building)
            m_Building->SetBuildingVolume(-10000);
    } else if (message.IsType("PlayerInteractionComplete")) {
        if (m_Building && m_Building->IsBeingConstructed()) {
            SendTo(sprite, "BulldozerUsed");
            Broadcast("Building Destroyed");
        }
        if (IsVacant() && sprite)
            sprite->SetVisible(false);
    } else if (message.IsType("RemoveBuilding")) {
        if (IsVacant() && m_Building && m_Building->HasParts()) {
            m_Building->ResetToDefaults();
            m_BackgroundSequence = RandomImage(&CBackgroundStyleSheet::m_VacantImages);
        }
    } else if (message.IsType("CustomerDecided")) {
        if (IsVacant() && !message.IsHandled())
            message.SetHandled(TryDeliverCustomer());
    }
    CSpriteAI::HandleMessage(message);
}

bool CLot::BuildingHasPart(int32_t upgrade) const
{
    return m_Building && m_Building->HoldsUpgrade(upgrade);
}

int32_t CLot::GetBuildingPart(int32_t phase) const
{
    if (!m_Building || phase < 0 || uint32_t(phase) >= m_Building->m_Parts.GetCount())
        return 0;
    return m_Building->m_Parts[uint32_t(phase)];
}

float CLot::GetValueWithScenicBonus() const
{
    if (!m_Building)
        return 0.0f;
    float value = m_Building->GetResaleValue();
    if (m_IsScenicLot)
        value = value + RoundToDecimals(CLotOptions::SGetInstance()->m_ScenicBonus * value, 3.0f);
    return value;
}

void SetLotMouseCursor(const char* sequenceName)
{
    if (!sequenceName) {
        ShowSequenceAsCursor(nullptr);
        return;
    }
    CSequenceList& list = GetSequenceList();
    const int32_t index = list.Find(sequenceName);
    if (index >= 0)
        ShowSequenceAsCursor(list.GetObject(index));
}

CCustomerMovedInMessage::CCustomerMovedInMessage(CLot* lot)
    : CMessage(SGetType())
    , m_Lot(lot)
{
}

uint32_t CCustomerMovedInMessage::SGetType()
{
    static const uint32_t type = CMessage::SGetMessageType("CCustomerMovedInMessage");
    return type;
}

CXInARowCheckMessage::CXInARowCheckMessage(CLot* lot)
    : CMessage(SGetType())
    , m_Lot(lot)
{
}

uint32_t CXInARowCheckMessage::SGetType()
{
    static const uint32_t type = CMessage::SGetMessageType("CXInARowCheckMessage");
    return type;
}

int32_t CXInARowCheckMessage::GetCount(int32_t phase) const
{
    return phase >= 0 && size_t(phase) < m_Counts.size() ? m_Counts[size_t(phase)] : 0;
}

CLot* GetMessageLot(CMessage& message)
{
    if (message.GetType() == CCustomerMovedInMessage::SGetType())
        return static_cast<CCustomerMovedInMessage&>(message).GetLot();
    if (message.GetType() == CXInARowCheckMessage::SGetType())
        return static_cast<CXInARowCheckMessage&>(message).GetLot();
    return nullptr;
}

int32_t GetMessageInARowCount(CMessage& message, int32_t phase)
{
    if (message.GetType() != CXInARowCheckMessage::SGetType())
        return 0;
    return static_cast<CXInARowCheckMessage&>(message).GetCount(phase);
}
