#include "game/business/CCustomer.h"

#include "foundation/SaturatingArithmetic.h"
#include "game/business/CCustomerOptions.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CSignpost.h"
#include "game/business/CUpgradeButton.h"
#include "game/scripting/NoneEntries.h"

#include "foundation/CArrayPOD.h"
#include "foundation/CRandomGenerator.h"
#include "foundation/CStaticContentsList.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CRules.h"
#include "game/world/ListReferences.h"
#include "game/world/WorldHooks.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CMessage.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPropertyArrayProperty.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "shell/CMouseState.h"

#include <algorithm>
#include <cmath>

OMBRISALT_IMPLEMENT_CLASS(CCustomer, 1.0)

namespace {

uint32_t g_LinePosition = 0;

// The frames of the customer's image sequence.
constexpr uint32_t kSadFace = 0;
constexpr uint32_t kHappyFace = 2;
constexpr uint32_t kPlainFace = 4;
constexpr uint32_t kVictoryPose = 6;

// Protected customers stop losing patience at this many hearts.
constexpr float kProtectedHearts = 3.0f;

// A style sheet with every default, for a data set without "Customer.txt"
// entries; made once and kept for the program's life.
const CCustomerStyleSheet& StyleOrDefault(const CCustomerStyleSheet* style)
{
    static const CCustomerStyleSheet* fallback = new CCustomerStyleSheet;
    return style ? *style : *fallback;
}

void SendTo(CSprite* sprite, const char* name)
{
    if (sprite) {
        CMessage message = CMessage::CMessageByName(name);
        sprite->HandleMessage(message);
    }
}

void Broadcast(const char* name)
{
    if (CPlayfield* playfield = GetCurrentPlayfield()) {
        CMessage message = CMessage::CMessageByName(name);
        playfield->BroadcastMessage(message);
    }
}

uint32_t FrameCount(const CSprite& sprite)
{
    CSequence* sequence = sprite.GetImageSequence();
    return sequence ? sequence->GetFrameCount() : 0;
}

// Shown only when the image sequence has that frame.
void ShowFrame(CSprite& sprite, uint32_t frame)
{
    if (FrameCount(sprite) > frame)
        sprite.SetFramePosition(float(frame));
}

// Kids' mode (a player with difficulty 0) and tutorial levels.
bool IsProtected()
{
    CCareerPlayerRecord player;
    if (GetGameScreensHooks().GetCurrentPlayer(player) && player.difficulty == 0)
        return true;
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    return level && level->m_IsTutorialLevel;
}

bool IsBonusRunning()
{
    CThreeInARowCounter* counter = GetThreeInARowCounter();
    return counter && counter->IsBonusActive();
}

CBuildablePackage* MakeWish()
{
    auto* package = new CBuildablePackage;
    package->ResetToDefaults();
    package->MakeRandomWish(CRandomGenerator::Global());
    return package;
}

void CopyParts(const CBuildablePackage* package, CArrayPOD<int32_t>& out)
{
    if (package)
        for (uint32_t i = 0; i < package->m_Parts.GetCount(); ++i)
            out.Append(package->m_Parts[i]);
}

bool IsSpriteActive(const CSprite& sprite)
{
    return (sprite.GetFlags() & kSpriteVisible) != 0;
}

} // namespace

CCodeTableList& GetCustomerStateList()
{
    static const CCodeTableRow kRows[] = {{CCustomer::kIdle, "Idle", nullptr},
                                          {CCustomer::kInVictoryPose, "In Victory Pose", nullptr},
                                          {CCustomer::kMovingIn, "Moving In", nullptr},
                                          {CCustomer::kArrivedHome, "Arrived Home", nullptr},
                                          {}};
    static CCodeTableList list(kRows);
    return list;
}

void CCustomer::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CCustomer;
    d.AddOwned(&C::m_PackageWanted, "Package Wanted");
    d.AddListReference<CNoneableListProperty>(&C::m_CustomerStyleSheet, "Customer Style Sheet",
                                              &GetCustomerStyleSheetList(), nullptr);
    d.Add(&C::m_TimeWaited, "Time Waited", 0.0f).Units("Seconds");
    d.Add(&C::m_TimeLeftToDecideWhatToOrder, "Time Left To Decide What To Order", 0.0f).Units("seconds");
    d.Add(&C::m_SecondsOfBlinkingLeft, "Seconds Of Blinking Left", 0.0f);
    d.AddListReference(&C::m_CustomerState, "Customer State", &GetCustomerStateList(), "Idle");
    d.Add(&C::m_Highlighted, "Highlighted", false);
    d.Add(&C::m_SecondsUntilSelectionAllowed, "Seconds Until Selection Allowed", 0.0f);
}

CCustomer::CCustomer()
{
    InitDeclaredProperties();
}

CCustomer::~CCustomer()
{
    DestroyDeclaredProperties();
}

void CCustomer::OnAddedToSprite(CSprite* sprite)
{
    if (sprite)
        sprite->SetImageSequence(uint32_t(std::max(StyleOrDefault(GetStyleSheet()).m_Appearance, 0)));
}

void CCustomer::Update(CSpriteUpdateRecord& record)
{
    UpdateNextAI(record);
    CSprite* sprite = record.sprite ? record.sprite : GetSprite();
    if (!sprite)
        return;
    const float seconds = record.seconds;
    const CCustomerOptions& options = GetCustomerOptions();
    const CCustomerStyleSheet& style = StyleOrDefault(GetStyleSheet());

    if (m_HighlightCountdown != 0)
        --m_HighlightCountdown;
    if (m_SecondsUntilSelectionAllowed > 0.0f)
        m_SecondsUntilSelectionAllowed -= std::max(seconds, 0.0f);
    if (m_HoverCounter != 0)
        --m_HoverCounter;

    if (m_SecondsOfBlinkingLeft == 0.0f) {
        // The rate is per minute, drawn once an update at 60 updates a second.
        if (GameRandom().Chance(style.m_BlinksPerMinute / 3600.0f))
            m_SecondsOfBlinkingLeft = style.m_BlinkDuration;
    } else {
        m_SecondsOfBlinkingLeft = std::max(m_SecondsOfBlinkingLeft - seconds, 0.0f);
    }

    if (m_CustomerState == kIdle)
        UpdatePatience(*sprite, seconds, options, style);
    if (m_CustomerState == kIdle || m_CustomerState == kInVictoryPose)
        TakePlaceInLine(*sprite, seconds, options);
    if (m_CustomerState == kIdle)
        UpdateThinking(*sprite, seconds, options, style);
    if (m_CustomerState == kMovingIn || m_CustomerState == kArrivedHome)
        WalkHome(*sprite, seconds, options);
}

void CCustomer::UpdatePatience(CSprite& sprite, float seconds, const CCustomerOptions& options,
                               const CCustomerStyleSheet& style)
{
    const float h0 = GetHeartsLeft();
    if (!(IsProtected() && h0 <= kProtectedHearts))
        m_TimeWaited += seconds;
    const float h1 = GetHeartsLeft();
    if (h1 <= 0.0f && IsSpriteActive(sprite))
        Leave();
    const float mad = options.m_GetMadWhenHeartsReaches;
    if (h1 <= mad && mad < h0)
        PlayAudioUnlessNone(style.m_GettingMadAudio);
    if (options.m_SecondsPerHeart > 0.0f) {
        const float flashing = options.m_AngryFlashDuration / options.m_SecondsPerHeart;
        if (h1 <= flashing && flashing < h0)
            PlayAudioUnlessNone(style.m_MadFlashingStartedAudio);
    }

    uint32_t face = h1 <= 2.0f ? kSadFace : h1 > 3.0f ? kHappyFace : kPlainFace;
    if (m_SecondsOfBlinkingLeft > 0.0f)
        ++face;
    if (m_HoverCounter != 0 && options.m_ShowVictoryPoseInHoverCursor)
        face = kVictoryPose;
    ShowFrame(sprite, face);
}

void CCustomer::TakePlaceInLine(CSprite& sprite, float seconds, const CCustomerOptions& options)
{
    const float place = float(g_LinePosition);
    CFPoint target{options.m_FrontOfLine.x + place * options.m_SpaceBetweenPeopleInLine.x,
                   options.m_FrontOfLine.y + place * options.m_SpaceBetweenPeopleInLine.y};
    CPlayfield* playfield = GetCurrentPlayfield();
    CHUD* hud = playfield ? playfield->GetHUD() : nullptr;
    if (hud && hud->ShouldShowTip())
        target.y -= GetGameScreensHooks().GetTipFrontOfLineOffset();
    // New customers wait off-screen until their first update.
    if (sprite.GetPosition().x <= -999.0f)
        sprite.SetPosition(target.x, target.y);
    else
        sprite.MoveToward(target, options.m_MoveSpeed * seconds);
    ++g_LinePosition;
}

void CCustomer::UpdateThinking(CSprite& sprite, float seconds, const CCustomerOptions& options,
                               const CCustomerStyleSheet& style)
{
    if (m_TimeLeftToDecideWhatToOrder > 0.0f) {
        // The balloon shows a different house every frame until decided.
        delete m_PackageWanted;
        m_PackageWanted = MakeWish();
        const float speed = IsBonusRunning() ? options.m_PowerupDecisionSpeedMultiplier : 1.0f;
        m_TimeLeftToDecideWhatToOrder -= speed * seconds;
        if (m_TimeLeftToDecideWhatToOrder <= 0.0f) {
            m_TimeLeftToDecideWhatToOrder = 0.0f;
            PlayAudioUnlessNone(style.m_ReadyToOrderAudio);
            DecideOrder();
        }
    }

    m_Highlighted = false;
    CUpgradeButton* button = GetDraggedUpgradeButton();
    const bool pickable = (!GetDraggedSprite() && m_TimeLeftToDecideWhatToOrder == 0.0f)
        || (button && button->IsUsedOnCustomer());
    if (pickable && m_CustomerState == kIdle) {
        const CPoint mouse = CMouseState::SGetInstance().GetPositionPoint();
        m_Highlighted = sprite.HitTest(mouse.x, mouse.y);
    }
}

void CCustomer::WalkHome(CSprite& sprite, float seconds, const CCustomerOptions& options)
{
    sprite.MoveToward(m_Destination, options.m_CustomerMoveInSpeed * seconds);
    if (!IsPointWithinDistance(sprite.GetPosition(), m_Destination, 1.0f))
        return;
    SendTo(&sprite, "CustomerArrivedHome");
    if (CLotPlayfieldLayer* lots = GetLotLayer())
        if (CLot* lot = lots->FindLot(m_HomeColumn, m_HomeRow))
            SendTo(lot->GetSprite(), "CustomerArrivedHome");
    m_CustomerState = kArrivedHome;
}

void CCustomer::HandleMessage(CMessage& message)
{
    CSprite* sprite = GetSprite();
    const uint32_t type = message.GetType();
    const bool mouse = type == CPlayfieldMouseMessage::SGetMouseDownType()
        || type == CPlayfieldMouseMessage::SGetMouseUpType() || type == CPlayfieldMouseMessage::SGetMouseMovedType();
    if (mouse && sprite) {
        const CPoint at = static_cast<CPlayfieldMouseMessage&>(message).GetPosition();
        const CFPoint point{float(at.x), float(at.y)};
        if (type == CPlayfieldMouseMessage::SGetMouseDownType()) {
            if (!message.IsHandled() && sprite->HitTest(at.x, at.y) && OnClicked(false, point))
                message.SetHandled();
        } else if (type == CPlayfieldMouseMessage::SGetMouseUpType()) {
            if (GetDraggedSprite() && sprite->HitTest(at.x, at.y) && OnClicked(true, point))
                message.SetHandled();
        } else if (!GetDraggedSprite() && !message.IsHandled()) {
            if (sprite->HitTest(at.x, at.y)) {
                CSequenceList& sequences = GetSequenceList();
                const int32_t cursor = sequences.Find("Can Use Cursor");
                ShowSequenceAsCursor(cursor > 0 ? sequences.GetObject(cursor) : nullptr);
                message.SetHandled();
            } else {
                ShowSequenceAsCursor(nullptr);
            }
        }
    } else if (message.IsType("MoveCustomerIn")) {
        m_CustomerState = kMovingIn;
    }
    CSpriteAI::HandleMessage(message);
}

bool CCustomer::OnClicked(bool isMouseUp, CFPoint point)
{
    CSprite* sprite = GetSprite();
    if (m_CustomerState != kIdle || !sprite)
        return false;
    if (CUpgradeButton* button = GetDraggedUpgradeButton()) {
        ClearDraggedSprite();
        return button->DropOnCustomer(this);
    }
    if (isMouseUp)
        return false;
    if (IsWaitingToBeAnswered()) {
        ClearDraggedSprite();
        StartThinking();
        Broadcast("Answered Phone");
        return true;
    }
    if (GetDraggedSprite() == sprite) {
        ClearDraggedSprite();
        return true;
    }
    if (m_SecondsUntilSelectionAllowed > 0.0f || IsDecidingOrder())
        return false;
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (level && level->m_CustomerDeliveryDisabled) {
        GetIllegalMoveDisplay().Show("DeliveryDisabled");
        return false;
    }
    Broadcast("Customer Selected");
    const int32_t x = ClampToInt32(std::lrint(point.x));
    const int32_t y = ClampToInt32(std::lrint(point.y));
    if (IsOpaqueAt(x, y))
        StartDraggingSprite(sprite, x, y);
    else
        StartDraggingSprite(sprite, ClampToInt32(std::lrint(sprite->GetPosition().x)),
                            SaturatingSub(ClampToInt32(std::lrint(sprite->GetPosition().y)), 40));
    if (m_CustomerStyleSheet != 0)
        PlayAudioUnlessNone(StyleOrDefault(GetStyleSheet()).m_SelectedAudio);
    return true;
}

void CCustomer::Arrive()
{
    Broadcast("CustomerArrived");
    PlayAudioUnlessNone(StyleOrDefault(GetStyleSheet()).m_ArrivedAudio);
    CPeriod* period = GetCurrentPeriod();
    if (!period)
        return;
    const int32_t greeter = GetUpgradeSlotList().Find("Greeter");
    CGameState* state = CGameState::SGetCurrent();
    const bool greeted = greeter > 0 && state && state->HasUpgradeInSlot(greeter);
    PlayAudioUnlessNone(greeted ? period->m_GreeterRingAudio : period->m_PhoneRingAudio);
}

void CCustomer::StartThinking()
{
    const CCustomerStyleSheet& style = StyleOrDefault(GetStyleSheet());
    m_TimeLeftToDecideWhatToOrder = style.m_TimeToThinkAboutOrder;
    PlayAudioUnlessNone(style.m_ThinkingAudio);
}

void CCustomer::DecideOrder()
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    // The level asks the waiting customers for their orders while it pops.
    delete m_PackageWanted;
    m_PackageWanted = nullptr;
    m_PackageWanted = level ? level->PopFutureOrder() : nullptr;
    // A tutorial may bring more customers than the level has orders: the
    // customer still settles on a house.
    if (!m_PackageWanted)
        m_PackageWanted = MakeWish();

    CSignpost* signpost = FindSignpost();
    CBuildablePackage* advertised = signpost ? signpost->GetAdvertisedPackage() : nullptr;
    CLot* signLot = advertised ? signpost->GetLot() : nullptr;
    if (advertised && advertised->HasParts()) {
        const float draw = CRandomGenerator::Global().NextFloat(0.0f, 1.0f);
        if (draw < signpost->m_EffectChance && !(level && level->AnyOptionalGoalAccepts(m_CustomerStyleSheet))) {
            if (level) {
                CArrayPOD<int32_t> before;
                CArrayPOD<int32_t> after;
                CopyParts(m_PackageWanted, before);
                CopyParts(advertised, after);
                level->ApplyPartChanges(before, after);
            }
            delete m_PackageWanted;
            m_PackageWanted = static_cast<CBuildablePackage*>(advertised->Clone());
            if (CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent())
                ++stats->m_SignInfluencedCustomer;
            SendTo(GetSprite(), "SignpostDecision");
            SendTo(signpost->GetSprite(), "SignpostDecision");
            SendTo(signLot->GetSprite(), "SignpostDecision");
        }
    }

    if (level && level->m_CustomersNeverOrderWhatYouHave)
        for (int attempt = 0; attempt < 50 && IsOrderAlreadyBuilt(); ++attempt)
            m_PackageWanted->MakeRandomWish(CRandomGenerator::Global());

    if (signLot && signLot->TryDeliverCustomer())
        return;
    Broadcast("CustomerDecided");
}

void CCustomer::StartVictoryPose()
{
    PlayAudioUnlessNone(StyleOrDefault(GetStyleSheet()).m_MovedInAudio);
    m_CustomerState = kInVictoryPose;
    if (CSprite* sprite = GetSprite()) {
        ShowFrame(*sprite, kVictoryPose);
        SendTo(sprite, "CustomerMovingIn");
    }
}

void CCustomer::SetHome(CLot* lot, float x, float y)
{
    if (lot) {
        m_HomeColumn = lot->GetGridCoordinate().x;
        m_HomeRow = lot->GetGridCoordinate().y;
    }
    m_Destination = {x, y};
}

void CCustomer::PlayCantMoveInSound()
{
    PlayAudioUnlessNone(StyleOrDefault(GetStyleSheet()).m_CantMoveInAudio);
}

void CCustomer::PlayNotWhatIOrderedSound()
{
    PlayAudioUnlessNone(StyleOrDefault(GetStyleSheet()).m_NotWhatIOrderedAudio);
}

void CCustomer::ReleaseDrag()
{
    if (CSprite* sprite = GetSprite())
        ReleaseDraggedSpriteIfIs(sprite);
}

bool CCustomer::NoteHoverOverLot(CLot* lot)
{
    if (!lot || !lot->CanHouse(this))
        return false;
    m_HoverCounter = 2;
    return true;
}

void CCustomer::Leave()
{
    PlayAudioUnlessNone(StyleOrDefault(GetStyleSheet()).m_LeavingAudio);
    if (CSprite* sprite = GetSprite()) {
        sprite->SetFlags(sprite->GetFlags() & ~kSpriteVisible);
        SendTo(sprite, "LeavingNow");
    }
    if (CLevelOptions* level = CLevelOptions::SGetCurrent()) {
        CMessage left = CMessage::CMessageByName("CustomerLeft");
        level->HandleMessage(left);
    }
}

void CCustomer::AddHearts(float hearts)
{
    const CCustomerOptions& options = GetCustomerOptions();
    const float perHeart = options.m_SecondsPerHeart;
    const float lowest = StyleOrDefault(GetStyleSheet()).m_MaximumWait - float(options.m_PacifierMaxHearts) * perHeart;
    // A customer already above the maximum keeps its hearts: adding never
    // takes any away.
    m_TimeWaited = std::max(m_TimeWaited - hearts * perHeart, std::min(m_TimeWaited, lowest));
}

float CCustomer::GetHeartsLeft() const
{
    const float perHeart = GetCustomerOptions().m_SecondsPerHeart;
    // Without seconds per heart there are no hearts to count (and no
    // infinite row of them to draw).
    if (!(perHeart > 0.0f))
        return 0.0f;
    const float hearts = (StyleOrDefault(GetStyleSheet()).m_MaximumWait - m_TimeWaited) / perHeart;
    return std::isfinite(hearts) ? hearts : 0.0f;
}

float CCustomer::GetMoveInBonus() const
{
    CRules& rules = CRules::SGetInstance();
    CPropertyArray<float>& bonuses = rules.m_MoveinBonusByHearts;
    if (bonuses.GetCount() == 0) {
        auto* list = static_cast<CPropertyArrayProperty*>(
            CRules::SGetClassInfo()->FindProperty("Movein Bonus By Hearts List"));
        if (!list)
            return 0.0f;
        list->ArrayProperty_SetCount(&rules, 1);
        bonuses[0] = 0.0f;
    }
    const uint32_t count = bonuses.GetCount();
    const float hearts = GetHeartsLeft();
    // Truncated toward zero; compared as a float first so that no hearts
    // value reaches the integer conversion out of range.
    uint32_t index = 0;
    if (!(hearts < float(count)))
        index = count - 1;
    else if (hearts >= 1.0f)
        index = uint32_t(hearts);
    return bonuses[index];
}

bool CCustomer::IsWaitingToBeAnswered() const
{
    return !m_PackageWanted && m_TimeLeftToDecideWhatToOrder <= 0.0f;
}

bool CCustomer::IsDecidingOrder() const
{
    return m_TimeLeftToDecideWhatToOrder > 0.0f;
}

void CCustomer::HighlightBriefly()
{
    m_HighlightCountdown = 6;
}

CCustomerStyleSheet* CCustomer::GetStyleSheet() const
{
    return GetCustomerStyleSheet(m_CustomerStyleSheet);
}

bool CCustomer::IsOrderAlreadyBuilt() const
{
    CPlayfield* playfield = GetCurrentPlayfield();
    CPlayfieldLayer* lots = playfield ? playfield->FindLayer("Lot") : nullptr;
    if (!lots || !m_PackageWanted)
        return false;
    const CPropertyArray<int32_t>& parts = m_PackageWanted->m_Parts;
    for (uint32_t i = 0; i < lots->GetSpriteCount(); ++i) {
        CSprite* sprite = lots->GetSprite(i);
        CLot* lot = sprite && IsSpriteActive(*sprite) ? CLot::SFromSprite(sprite) : nullptr;
        if (!lot || !lot->IsVacant())
            continue;
        for (uint32_t p = 0; p < parts.GetCount(); ++p)
            if (parts[p] != 0 && lot->BuildingHasPart(parts[p]))
                return true;
    }
    return false;
}

CCustomer* FindCustomer(CSprite* sprite)
{
    return sprite ? static_cast<CCustomer*>(sprite->FindAI(CCustomer::SGetClassInfo())) : nullptr;
}

CCustomer* FindWaitingCustomer(CSprite* sprite)
{
    CCustomer* customer = FindCustomer(sprite);
    return customer && (sprite->GetFlags() & kSpriteVisible) != 0 ? customer : nullptr;
}

CCustomer* GetDraggedCustomer()
{
    CSpriteAI* dragged = GetDraggedSpriteAI();
    return dragged && dragged->IsKindOf(CCustomer::SGetClassInfo()) ? static_cast<CCustomer*>(dragged) : nullptr;
}

CCustomer* TakeDraggedCustomer()
{
    CCustomer* dragged = GetDraggedCustomer();
    if (dragged)
        ClearDraggedSprite();
    return dragged;
}

void DropDraggedCustomer()
{
    if (CCustomer* customer = GetDraggedCustomer())
        customer->ReleaseDrag();
}

namespace {

template <typename F>
void ForEachCustomer(F f)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    CPlayfieldLayer* layer = playfield ? playfield->FindLayer("Customers") : nullptr;
    if (!layer)
        return;
    for (uint32_t i = 0; i < layer->GetSpriteCount(); ++i)
        if (CCustomer* customer = FindCustomer(layer->GetSprite(i)))
            f(*customer);
}

} // namespace

void HighlightCustomersWanting(int32_t upgrade)
{
    ForEachCustomer([&](CCustomer& customer) {
        const CBuildablePackage* order = customer.GetPackageWanted();
        if (order && order->HoldsUpgrade(upgrade))
            customer.HighlightBriefly();
    });
}

void HighlightCustomersOfStyle(int32_t style)
{
    ForEachCustomer([&](CCustomer& customer) {
        if (customer.m_CustomerStyleSheet == style)
            customer.HighlightBriefly();
    });
}

bool IsPointWithinDistance(CFPoint a, CFPoint b, float d)
{
    return std::fabs(a.x - b.x) <= d && std::fabs(a.y - b.y) <= d;
}

uint32_t GetCustomerLinePosition()
{
    return g_LinePosition;
}

void SetCustomerLinePosition(uint32_t position)
{
    g_LinePosition = position;
}
