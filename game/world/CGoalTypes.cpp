#include "game/world/CGoalTypes.h"

#include "foundation/SaturatingArithmetic.h"
#include "game/business/CCustomer.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/world/CGameState.h"
#include "game/world/CGoalOptions.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPlayfield.h"
#include "game/world/ListReferences.h"
#include "images/CFont.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CMessage.h"
#include "objects/CPointProperty.h"
#include "sequences/CSequenceList.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

OMBRISALT_IMPLEMENT_CLASS(CEveryHeartGoal, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CXInARowGoal, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CHeartGoal, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CTimeGoal, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CBuildableAtLocationGoal, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CCustomerAtLocationGoal, 1.0)

namespace {

constexpr const char* kMovedIn = "CCustomerMovedInMessage";

// The lot's resident's hearts, rounded up; 0 for a resident that is no
// customer.
int32_t HeartsOf(const CLot& lot)
{
    const CCustomer* customer = lot.GetResidentCustomer();
    return TruncateToInt32(std::ceil(customer ? customer->GetHeartsLeft() : 0.0f));
}

// The upgrade the current game state holds in the slot; null for none.
int32_t UpgradeIndexInSlot(int32_t slot)
{
    return CGameState::SGetCurrent()->GetUpgradeInSlot(slot);
}

CUpgrade* UpgradeAt(int32_t index)
{
    CUpgradeList& list = GetUpgradeList();
    return index > 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}

// "Scenario Goal Appearance", else the fallback appearance. Upgrades and
// customer styles read an empty reference as 0.
CSequence* GoalAppearance(int32_t scenario, int32_t fallback)
{
    if (scenario > 0)
        if (CSequence* sequence = CGoalOptions::GetSequence(scenario))
            return sequence;
    return CGoalOptions::GetSequence(fallback);
}

const CJString& ShownText(const CTranslatedText& text)
{
    return text.GetTranslation().IsEmpty() ? text.GetText() : text.GetTranslation();
}

// Runs drawn one after the other, as the kinds without a text line draw.
void BeginDirectRuns(CGoalLayout& layout)
{
    layout.drawing = true;
    layout.runIndex = 0;
}

// How far right of its start a row of hearts is drawn: beyond any screen.
// A count from data may reach 2^31, so the row also stops at as many hearts
// as that holds of hearts a pixel wide (hearts without a picture advance
// nothing).
constexpr int32_t kHeartRowReach = 32768;

void AddHearts(CGoal& goal, CGoalLayout& layout, const CGoalOptions& options, int32_t required)
{
    layout.spacing = 0;
    CSequence* full = CGoalOptions::GetSequence(options.m_FullHeartSequence);
    const int64_t start = layout.penX;
    const int32_t shown = std::min(required, kHeartRowReach + 1);
    for (int32_t i = 1; i < shown && layout.penX - start <= kHeartRowReach; ++i)
        goal.AddImageRun(layout, full, -1.0f, 0.0f);
    goal.AddImageRun(layout, CGoalOptions::GetSequence(options.m_PartialHeartSequence), -1.0f, 0.0f);
}

void ReplaceInBoth(CTranslatedText& text, const char* search, const CJString& source, const CJString& shown)
{
    text.m_Text.Replace(CJString(search), source);
    text.m_Translation.Replace(CJString(search), shown);
}

template <typename Goal>
void DeclareLocationProperties(CPropertyDeclarer& d, const char* imageName, const char* text)
{
    d.Add(&Goal::m_LegacyText, "Legacy Text", "").Level(kLevelHidden).AlternateName("Location Description");
    d.template AddListReference<CGoalLookReferenceProperty>(&Goal::m_LocationImage, imageName, &GetSequenceList(),
                                                           nullptr);
    d.Add(&Goal::m_Text, "Text", text);
    d.template AddArray<CPointProperty>(&Goal::m_GridLocations, "Grid Location List", "Grid Location", CPoint{0, 0});
    d.Add(&Goal::m_RequireAll, "Require All", false);
    d.Add(&Goal::m_FailIfPlacedAnywhereElse, "Fail If Placed Anywhere Else", false);
}

// The location test of both at-location kinds.
template <typename Goal>
void RunLocationTest(Goal& goal, CMessage& message)
{
    if (!message.IsType(kMovedIn) || goal.m_AchievedThisTime || goal.m_Failed)
        return;
    if (goal.m_FailIfPlacedAnywhereElse) {
        CLot* lot = GetMessageLot(message);
        if (lot && goal.LotContainsThing(lot)) {
            const CPoint where = lot->GetGridCoordinate();
            bool listed = false;
            for (uint32_t i = 0; i < goal.m_GridLocations.GetCount() && !listed; ++i)
                listed = goal.m_GridLocations[i].x == where.x && goal.m_GridLocations[i].y == where.y;
            if (!listed) {
                goal.SetFailed();
                return;
            }
        }
    }

    CLotPlayfieldLayer* layer = GetLotLayer();
    uint32_t empty = 0, matched = 0, other = 0;
    const uint32_t count = goal.m_GridLocations.GetCount();
    for (uint32_t i = 0; i < count; ++i) {
        const CPoint place = goal.m_GridLocations[i];
        CLot* lot = layer ? layer->FindLot(place.x, place.y) : nullptr;
        if (!lot)
            goal.SetFailed();
        else if (lot->IsVacant())
            ++empty;
        else if (goal.LotContainsThing(lot))
            ++matched;
        else
            ++other;
    }

    if (goal.m_RequireAll) {
        if (other > 0)
            goal.SetFailed();
        if (matched != count)
            return;
    } else if (matched == 0) {
        if (empty == 0)
            goal.SetFailed();
        return;
    }
    goal.m_AchievedThisTime = true;
}

template <typename Goal>
void ApplyLegacyText(Goal& goal)
{
    if (goal.m_Text.m_Text.Find("%s[LegacyText]") < 0 && goal.m_Text.m_Translation.Find("%s[LegacyText]") < 0)
        return;
    ReplaceInBoth(goal.m_Text, "%s[LegacyText]", goal.m_LegacyText.m_Text, goal.m_LegacyText.m_Translation);
    goal.m_LegacyText.m_Text = "";
    goal.m_LegacyText.m_Translation = "";
}

template <typename Goal>
void MarkGoalLocations(Goal& goal)
{
    CLotPlayfieldLayer* layer = GetLotLayer();
    if (!layer)
        return;
    for (uint32_t i = 0; i < goal.m_GridLocations.GetCount(); ++i)
        if (CLot* lot = layer->FindLot(goal.m_GridLocations[i].x, goal.m_GridLocations[i].y))
            lot->MarkGoalLocation();
}

} // namespace

// ---------------------------------------------------------------------------

void CEveryHeartGoal::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CEveryHeartGoal::m_HeartsRequired, "Hearts Required", 3).Units("Hearts");
}

CEveryHeartGoal::CEveryHeartGoal()
{
    InitDeclaredProperties();
}

CEveryHeartGoal::~CEveryHeartGoal()
{
    DestroyDeclaredProperties();
}

void CEveryHeartGoal::Draw(CGoalLayout& layout)
{
    const CGoalOptions& options = *CGoalOptions::SGetInstance();
    BeginDirectRuns(layout);
    AddImageRun(layout, CGoalOptions::GetSequence(options.m_EveryoneSequence), -1.0f, 0.0f);
    AddHearts(*this, layout, options, m_HeartsRequired);
    AwardIfAchieved(layout);
}

void CEveryHeartGoal::HandleMessage(CMessage& message)
{
    if (message.IsType("CustomerLeft")) {
        SetFailed();
        return;
    }
    if (!message.IsType(kMovedIn))
        return;
    bool everyone = true;
    if (CLotPlayfieldLayer* layer = GetLotLayer()) {
        for (uint32_t i = 0; i < layer->GetSpriteCount(); ++i) {
            CLot* lot = CLot::SFromSprite(layer->GetSprite(i));
            if (!lot)
                continue;
            if (!lot->GetResident()) {
                everyone = false;
            } else if (HeartsOf(*lot) < m_HeartsRequired) {
                everyone = false;
                SetFailed();
            }
        }
    }
    if (everyone)
        m_AchievedThisTime = true;
}

// ---------------------------------------------------------------------------

void CXInARowGoal::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CXInARowGoal::m_NumberOfLotsInARow, "Number Of Lots In A Row", 3);
    d.AddListReference<CNoneableListProperty>(&CXInARowGoal::m_UpgradeSlot, "Upgrade Slot", &GetUpgradeSlotList(),
                                              nullptr);
}

CXInARowGoal::CXInARowGoal()
{
    InitDeclaredProperties();
}

CXInARowGoal::~CXInARowGoal()
{
    DestroyDeclaredProperties();
}

void CXInARowGoal::Draw(CGoalLayout& layout)
{
    const CGoalOptions& options = *CGoalOptions::SGetInstance();
    if (CUpgrade* upgrade = UpgradeAt(UpgradeIndexInSlot(m_UpgradeSlot))) {
        CJString count;
        count.SetInt(m_NumberOfLotsInARow);
        CJString text = options.m_TextForInARow;
        text.Replace(CJString("%s[Count]"), count);
        CGoalTokens tokens;
        tokens.token1 = "%s[Thing]";
        tokens.image1 = GoalAppearance(upgrade->m_ScenarioGoalAppearance, upgrade->m_BuildButtonAppearance);
        tokens.part1 = upgrade;
        LayOut(layout, text, tokens);
    }
    AwardIfAchieved(layout);
}

void CXInARowGoal::HandleMessage(CMessage& message)
{
    if (!message.IsType("CXInARowCheckMessage"))
        return;
    const int32_t index = UpgradeIndexInSlot(m_UpgradeSlot);
    CUpgrade* upgrade = UpgradeAt(index);
    if (!upgrade || !upgrade->IsKindOf(CBuildablePart::SGetClassInfo()))
        return;
    const int32_t phase = static_cast<CBuildablePart*>(upgrade)->m_BuildPhase;
    CLot* lot = GetMessageLot(message);
    if (lot && lot->GetBuildingPart(phase) == index && GetMessageInARowCount(message, phase) >= m_NumberOfLotsInARow)
        m_AchievedThisTime = true;
}

void CXInARowGoal::GetDescription(CJString& out, const char* /*wordToRemove*/)
{
    out.SetInt(m_NumberOfLotsInARow);
    out.Append(" ");
    if (CUpgrade* upgrade = UpgradeAt(UpgradeIndexInSlot(m_UpgradeSlot)))
        out.Append(upgrade->m_Name.GetText());
    out.Append(" in a row");
}

// ---------------------------------------------------------------------------

void CHeartGoal::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CHeartGoal::m_HeartsRequired, "Hearts Required", 4).Units("Hearts");
}

CHeartGoal::CHeartGoal()
{
    InitDeclaredProperties();
}

CHeartGoal::~CHeartGoal()
{
    DestroyDeclaredProperties();
}

void CHeartGoal::Draw(CGoalLayout& layout)
{
    const CGoalOptions& options = *CGoalOptions::SGetInstance();
    BeginDirectRuns(layout);
    AddTextRun(layout, options.m_SingleHeartText);
    AddImageRun(layout, CGoalOptions::GetSequence(options.m_AnyoneSequence), -1.0f, 0.0f);
    AddHearts(*this, layout, options, m_HeartsRequired);
    AwardIfAchieved(layout);
}

void CHeartGoal::HandleMessage(CMessage& message)
{
    if (!message.IsType(kMovedIn))
        return;
    CLot* lot = GetMessageLot(message);
    if (lot && lot->GetResident() && HeartsOf(*lot) >= m_HeartsRequired)
        m_AchievedThisTime = true;
}

// ---------------------------------------------------------------------------

void CTimeGoal::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CTimeGoal::m_TimeGoal, "Time Goal", 60.0f).Units("Seconds");
}

CTimeGoal::CTimeGoal()
{
    InitDeclaredProperties();
}

CTimeGoal::~CTimeGoal()
{
    DestroyDeclaredProperties();
}

namespace {

float SecondsPlayed()
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    return level ? level->m_SecondsPlayed : 0.0f;
}

} // namespace

int32_t CTimeGoal::GetSecondsLeft() const
{
    const int32_t left = SaturatingSub(TruncateToInt32(m_TimeGoal), TruncateToInt32(SecondsPlayed()));
    return left > 0 ? left : 0;
}

void CTimeGoal::Draw(CGoalLayout& layout)
{
    const CGoalOptions& options = *CGoalOptions::SGetInstance();
    CGoalTokens tokens;
    tokens.token1 = "%s[clock]";
    tokens.image1 = CGoalOptions::GetSequence(options.m_TimerSequence);
    tokens.token2 = "%s[never]";
    layout.hasToken1Rect = false;
    LayOut(layout, options.m_TextForTimer, tokens);
    CFont* font = CGoalOptions::GetFont(options.m_TimerFont);
    if (layout.hasToken1Rect && layout.frame && font) {
        const CRect& r = layout.token1Rect;
        CJString seconds;
        seconds.SetInt(GetSecondsLeft());
        // Midpoints in 64 bits: a damaged layout may reach the int32 limits.
        const int32_t y = int32_t((int64_t(r.top) + r.bottom) / 2 - int64_t(font->GetHeight()) / 2);
        font->DrawText(*layout.frame, int32_t((int64_t(r.left) + r.right) / 2), y, seconds, TextAlign::Centre);
    }
    AwardIfAchieved(layout);
}

void CTimeGoal::Update(float /*seconds*/)
{
    // Once: failing again every step would repeat the failure message.
    if (!m_Failed && SecondsPlayed() > m_TimeGoal)
        SetFailed();
}

void CTimeGoal::HandleMessage(CMessage& message)
{
    if (message.IsType("PlayerInteractionComplete") && SecondsPlayed() <= m_TimeGoal)
        m_AchievedThisTime = true;
}

// ---------------------------------------------------------------------------

void CBuildableAtLocationGoal::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CBuildableAtLocationGoal;
    d.AddListReference<CNoneableListProperty>(&C::m_UpgradeSlot, "Upgrade Slot", &GetUpgradeSlotList(), nullptr);
    DeclareLocationProperties<C>(d, "Location Image Sequence", "%s[Thing] near %s[Location]");
}

CBuildableAtLocationGoal::CBuildableAtLocationGoal()
{
    InitDeclaredProperties();
}

CBuildableAtLocationGoal::~CBuildableAtLocationGoal()
{
    DestroyDeclaredProperties();
}

bool CBuildableAtLocationGoal::LotContainsThing(CLot* lot)
{
    const int32_t upgrade = UpgradeIndexInSlot(m_UpgradeSlot);
    return upgrade != 0 && lot->BuildingHasPart(upgrade);
}

void CBuildableAtLocationGoal::Draw(CGoalLayout& layout)
{
    const int32_t index = UpgradeIndexInSlot(m_UpgradeSlot);
    CUpgrade* upgrade = UpgradeAt(index);
    CGoalTokens tokens;
    tokens.token1 = "%s[Location]";
    tokens.image1 = CGoalOptions::GetSequence(m_LocationImage);
    tokens.token2 = "%s[Thing]";
    tokens.image2 = upgrade ? GoalAppearance(upgrade->m_ScenarioGoalAppearance, upgrade->m_BuildButtonAppearance)
                            : nullptr;
    tokens.part2 = upgrade;
    tokens.frameValue = 0.5f;
    LayOut(layout, ShownText(m_Text), tokens);
    if (layout.hovered && !m_AchievedThisTime) {
        MarkGoalLocations(*this);
        HighlightCustomersWanting(index);
    }
    AwardIfAchieved(layout);
}

void CBuildableAtLocationGoal::HandleMessage(CMessage& message)
{
    RunLocationTest(*this, message);
}

void CBuildableAtLocationGoal::OnLoaded(CUntypedCObjectPointer* holder)
{
    CGoal::OnLoaded(holder);
    ApplyLegacyText(*this);
}

// ---------------------------------------------------------------------------

void CCustomerAtLocationGoal::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CCustomerAtLocationGoal;
    d.AddListReference<CNoneableListProperty>(&C::m_Customer, "Customer", &GetCustomerStyleSheetList(), nullptr);
    DeclareLocationProperties<C>(d, "Location Image", "%s[Person] near %s[Location]");
}

CCustomerAtLocationGoal::CCustomerAtLocationGoal()
{
    InitDeclaredProperties();
}

CCustomerAtLocationGoal::~CCustomerAtLocationGoal()
{
    DestroyDeclaredProperties();
}

bool CCustomerAtLocationGoal::LotContainsThing(CLot* lot)
{
    // A resident that is no customer has no style (-1).
    const CCustomer* resident = lot->GetResidentCustomer();
    return lot->GetResident() && (resident ? resident->m_CustomerStyleSheet : -1) == m_Customer;
}

bool CCustomerAtLocationGoal::RefersToCustomer(int32_t customerStyle)
{
    return customerStyle == m_Customer;
}

void CCustomerAtLocationGoal::Draw(CGoalLayout& layout)
{
    CCustomerStyleSheetList& styles = GetCustomerStyleSheetList();
    CCustomerStyleSheet* style =
        m_Customer >= 0 && m_Customer < styles.GetCount() ? styles.GetObject(m_Customer) : nullptr;
    CGoalTokens tokens;
    tokens.token1 = "%s[Location]";
    tokens.image1 = CGoalOptions::GetSequence(m_LocationImage);
    tokens.token2 = "%s[Person]";
    tokens.image2 = style ? GoalAppearance(style->m_ScenarioGoalAppearance, style->m_Appearance) : nullptr;
    tokens.frameValue = 0.5f;
    LayOut(layout, ShownText(m_Text), tokens);
    if (layout.hovered && !m_AchievedThisTime) {
        MarkGoalLocations(*this);
        HighlightCustomersOfStyle(m_Customer);
    }
    AwardIfAchieved(layout);
}

void CCustomerAtLocationGoal::HandleMessage(CMessage& message)
{
    RunLocationTest(*this, message);
}

void CCustomerAtLocationGoal::OnLoaded(CUntypedCObjectPointer* holder)
{
    CGoal::OnLoaded(holder);
    if (m_Text.m_Text.Find("%s[Thing]") >= 0 || m_Text.m_Translation.Find("%s[Thing]") >= 0)
        ReplaceInBoth(m_Text, "%s[Thing]", CJString("%s[Person]"), CJString("%s[Person]"));
    ApplyLegacyText(*this);
}
