// The demo's screens as a designer lays them out: what stands along the top
// of a street (the customer line, the HUD's panels, the tip, the tutorial's
// card, the refusal message and the bonus meter) keeps out of each other's
// way for the longest line any street lets wait; no lot lies under the HUD,
// the tip or a lesson's card; the balloon of a move-in stands on its lot, in
// front of the line; workers on the back row and Town's rising words keep
// off the line; the shop's stickers hold their words and every slot shows a
// picture; the starting kit is not money the player can take out; the crews
// behind the main menu wait in their yard, each at its own place. Neighbours'
// rows of hearts keep apart, a goal's line keeps to its plate, and no label
// is drawn around a value that is not there.
#include "ScreensGameTest.h"

#include "game/business/CBuildPhase.h"
#include "game/business/CCrew.h"
#include "game/business/CCustomerArrivals.h"
#include "game/business/CCustomerOptions.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CForeman.h"
#include "game/business/CUpgrade.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CMainMenu.h"
#include "game/screens/CShop.h"
#include "game/screens/CTownMap.h"
#include "game/screens/CTips.h"
#include "game/screens/OverlayScreen.h"
#include "game/world/CGameState.h"
#include "game/world/CGoal.h"
#include "game/world/CGoalOptions.h"
#include "game/world/CGoalTypes.h"
#include "game/world/CGoalOverlay.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPowerUpText.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "images/CFontList.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ContainerOverlays.h"
#include "overlays/ImageOverlays.h"
#include "overlays/TextOverlays.h"
#include "render/CPointPath.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/HueRemap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

namespace {

struct SBox {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool Meets(const SBox& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
};

std::ostream& operator<<(std::ostream& out, const SBox& b)
{
    return out << "(" << b.left << "," << b.top << ")-(" << b.right << "," << b.bottom << ")";
}

CFrameOverlayOptions* OverlaySet(const char* name)
{
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    const int32_t index = sets.Find(name);
    return index >= 0 ? sets.GetObject(index) : nullptr;
}

CFrameOverlay* Item(const char* set, const char* id)
{
    CFrameOverlayOptions* options = OverlaySet(set);
    return options ? options->FindOverlay(CJString(id), nullptr, nullptr) : nullptr;
}

// A box overlay's rectangle, or a position marker's.
SBox BoxOf(const char* set, const char* id)
{
    CFrameOverlay* item = Item(set, id);
    if (auto* box = dynamic_cast<CBoxFrameOverlay*>(item))
        return {box->m_Position.x, box->m_Position.y, box->m_Position.x + box->m_Size.x,
                box->m_Position.y + box->m_Size.y};
    if (auto* marker = dynamic_cast<CFrameOverlayPositionMarker*>(item))
        return {marker->m_Position.x, marker->m_Position.y, marker->m_Position.x + marker->m_Size.x,
                marker->m_Position.y + marker->m_Size.y};
    ADD_FAILURE() << set << " has no box or marker " << id;
    return {};
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// Within a few steps of each channel: a street drawn smaller blends its
// balloon's edges.
bool Near(uint32_t a, uint32_t b)
{
    for (int shift : {0, 8, 16})
        if (std::abs(int32_t((a >> shift) & 0xFF) - int32_t((b >> shift) & 0xFF)) > 4)
            return false;
    return true;
}

// The texts an overlay draws with these values, through the overlays that
// choose between their children.
void DrawnTexts(CFrameOverlay* item, CTextSubstitutionList& values, std::vector<CFrameOverlayTextOverlay*>& out)
{
    if (auto* text = dynamic_cast<CFrameOverlayTextOverlay*>(item))
        out.push_back(text);
    else if (auto* either = dynamic_cast<CConditionalFrameOverlay*>(item))
        DrawnTexts(either->Pick(&values), values, out);
    else if (auto* indexed = dynamic_cast<CArrayIndexFrameOverlay*>(item))
        DrawnTexts(indexed->Pick(&values), values, out);
}

// The texts of a set drawn as labels around a value that is not there: a
// token whose value is empty, or 0 where 0 means none (every token but
// those counted), beside words of its own.
std::vector<std::string> BareLabels(const char* setName, CTextSubstitutionList& values,
                                    std::initializer_list<std::string> counted = {})
{
    std::vector<std::string> bare;
    CFrameOverlayOptions* set = OverlaySet(setName);
    if (!set) {
        ADD_FAILURE() << "no set " << setName;
        return bare;
    }
    std::vector<CFrameOverlayTextOverlay*> texts;
    for (uint32_t i = 0; i < set->GetOverlayCount(); ++i)
        DrawnTexts(set->GetOverlay(i), values, texts);
    for (CFrameOverlayTextOverlay* text : texts) {
        const std::string raw = text->m_Text.GetText().GetString();
        std::string words;
        bool missing = false;
        for (size_t at = 0; at < raw.size();) {
            const size_t token = raw.find("%s[", at);
            const size_t close = token == std::string::npos ? token : raw.find(']', token);
            words += raw.substr(at, close == std::string::npos ? std::string::npos : token - at);
            if (close == std::string::npos)
                break;
            const std::string key = raw.substr(token, close + 1 - token);
            const std::string value = values.Apply(CJString(key.c_str())).GetString();
            missing |= value.empty()
                       || (value == "0" && std::find(counted.begin(), counted.end(), key) == counted.end());
            at = close + 1;
        }
        if (missing && words.find_first_not_of(" ") != std::string::npos)
            bare.push_back(raw + " -> " + values.Apply(CJString(raw.c_str())).GetString());
    }
    return bare;
}

class DemoLayout : public CScreensGameTest {
protected:
    // The street of that name entered with every screen over it closed.
    void EnterStreet(const char* name)
    {
        CLevelSet* levels = GetLevels();
        ASSERT_NE(levels, nullptr);
        uint32_t index = 0;
        while (index < levels->GetCount()
               && levels->GetLevel(index)->m_DisplayName.GetText().GetString() != std::string(name))
            ++index;
        ASSERT_LT(index, levels->GetCount()) << name;
        App()->StartLevelByIndex(index);
        App()->CloseAllOverlayScreens();
        Passes(2);
    }
};

// Where a sprite's picture covers the screen.
SBox BoxOf(CSprite* sprite)
{
    CRect b{};
    sprite->GetBounds(b);
    const CFPoint at = sprite->GetPosition();
    return {int32_t(at.x) + b.left, int32_t(at.y) + b.top, int32_t(at.x) + b.right, int32_t(at.y) + b.bottom};
}

TEST_F(DemoLayout, TheLongestLineStandsClearOfTheHudTheTipTheLessonsTheRefusalsAndTheMeter)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CLevelSet* levels = GetLevels();
    ASSERT_NE(levels, nullptr);
    int32_t longest = 0;
    uint32_t mostGoals = 0;
    for (uint32_t i = 0; i < levels->GetCount(); ++i) {
        const CLevelOptions& level = *levels->GetLevel(i);
        for (uint32_t k = 0; k < level.m_MaxSimultaneousCustomersInLineInterval.GetCount(); ++k)
            longest = std::max(longest, level.m_MaxSimultaneousCustomersInLineInterval[k]);
        mostGoals = std::max(mostGoals, level.m_OptionalGoals.GetCount());
    }
    ASSERT_GE(longest, 4) << "the demo's busiest street";

    const CCustomerOptions& customers = GetCustomerOptions();
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    ASSERT_NE(tips, nullptr);
    // A customer's place in line reaches left and down to its row of hearts
    // and up and right to its balloon (the balloon's box is 110 x 74 round
    // "Box Offset").
    const auto place = [&](int32_t n, float raised) {
        const float x = customers.m_FrontOfLine.x + float(n) * customers.m_SpaceBetweenPeopleInLine.x;
        const float y = customers.m_FrontOfLine.y + float(n) * customers.m_SpaceBetweenPeopleInLine.y - raised;
        return SBox{int32_t(x + customers.m_FirstHeartOffset.x), int32_t(y + customers.m_BoxOffset.y - 37),
                    int32_t(x + customers.m_BoxOffset.x + 55), int32_t(y + customers.m_FirstHeartOffset.y + 14)};
    };
    // The meter draws its dial above its marker's centre.
    const SBox marker = BoxOf("Gameplay Overlay", "ThreeInARowCounter");
    const int32_t mx = (marker.left + marker.right) / 2, my = (marker.top + marker.bottom) / 2;
    const SBox others[] = {BoxOf("Gameplay Overlay", "Money Panel"), BoxOf("Gameplay Overlay", "Goal Panel"),
                           BoxOf("Tips Overlay", "Tip Card"),       BoxOf("Tutorial Popup", "Card"),
                           BoxOf("Illegal Move", "Message Box"),    SBox{mx - 50, my - 60, mx + 50, my + 10}};
    for (int32_t n = 0; n < longest; ++n)
        for (float raised : {0.0f, tips->m_FrontOfLineOffset}) {
            const SBox at = place(n, raised);
            EXPECT_GE(at.top, 0) << "place " << n << " stays on the screen";
            EXPECT_LE(at.right, 1024) << "place " << n;
            for (const SBox& other : others)
                EXPECT_FALSE(at.Meets(other)) << "place " << n << " " << at << " meets " << other;
        }
    // Nor do the tip, the lessons, the refusals and the meter cover each other.
    for (size_t a = 2; a < std::size(others); ++a)
        for (size_t b = a + 1; b < std::size(others); ++b)
            EXPECT_FALSE(others[a].Meets(others[b])) << others[a] << " meets " << others[b];

    // The goal panel shows every goal a street has, each inside it.
    const SBox panel = others[1];
    CFrameOverlayOptions* hud = OverlaySet("Gameplay Overlay");
    ASSERT_NE(hud, nullptr);
    for (uint32_t g = 0; g < mostGoals; ++g) {
        const std::string id = "Goal " + std::to_string(g + 1);
        auto* goal = dynamic_cast<CFrameOverlayGoalOverlay*>(hud->FindOverlay(CJString(id.c_str()), nullptr, nullptr));
        ASSERT_NE(goal, nullptr) << id;
        EXPECT_EQ(goal->m_GoalNumber, g);
        // A goal's plate is 230 x 44.
        EXPECT_TRUE(goal->m_Positon.x >= panel.left && goal->m_Positon.x + 230 <= panel.right
                    && goal->m_Positon.y >= panel.top && goal->m_Positon.y + 44 <= panel.bottom)
            << id;
    }
}

// Every lot of every street takes the player's drops whole: none lies under
// what the HUD draws over the street (its panels, the crews' yard, the bar)
// or under the tip while it shows, nor, on a tutorial street, under the
// card of the lessons that ask for its lots.
TEST_F(DemoLayout, NoLotLiesUnderTheHudTheTipOrALessonsCard)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CLevelSet* levels = GetLevels();
    ASSERT_NE(levels, nullptr);
    CFrameOverlayOptions* hud = OverlaySet("Gameplay Overlay");
    CFrameOverlayOptions* tip = OverlaySet("Tips Overlay");
    auto* backdrop = dynamic_cast<CFrameOverlaySequenceOverlay*>(Item("Gameplay Overlay", "PeriodBackdrop"));
    ASSERT_TRUE(hud && tip && backdrop);
    const SBox card = BoxOf("Tutorial Popup", "Card");
    // What covers the street is drawn on a colour no overlay uses.
    const uint32_t clear = 0xFF00FEu;
    auto canvas = CFrame::MakeOwned(1024, 768, 32);
    const auto covered = [&canvas, clear](int32_t x, int32_t y) {
        return x < 0 || y < 0 || x >= 1024 || y >= 768
               || (reinterpret_cast<const uint32_t*>(canvas->Row(uint32_t(y)))[x] & 0xFFFFFFu) != clear;
    };
    for (uint32_t i = 0; i < levels->GetCount(); ++i) {
        const CLevelOptions& level = *levels->GetLevel(i);
        const std::string name = level.m_DisplayName.GetText().GetString();
        App()->StartLevelByIndex(i);
        if (CLevelIntroWindow* intro = GetLevelIntroWindow())
            intro->Destroy();
        Passes(1);
        CPeriod* period = GetCurrentPeriod();
        ASSERT_NE(period, nullptr) << name;
        for (uint32_t y = 0; y < 768; ++y)
            std::fill_n(reinterpret_cast<uint32_t*>(canvas->Row(y)), 1024, clear);
        const int32_t kept = backdrop->m_Sequence;
        backdrop->m_Sequence = period->m_HudBackground;
        hud->DrawOnFrame(*canvas, nullptr, false, nullptr);
        backdrop->m_Sequence = kept;
        tip->DrawOnFrame(*canvas, nullptr, false, nullptr);
        const bool tutorial = i >= levels->GetFirstTutorialLevelIndex();

        CLotPlayfieldLayer* layer = GetLotLayer();
        ASSERT_NE(layer, nullptr) << name;
        uint32_t lots = 0;
        for (uint32_t s = 0; s < layer->GetSpriteCount(); ++s) {
            CLot* lot = CLot::SFromSprite(layer->GetSprite(s));
            if (!lot)
                continue;
            ++lots;
            const CFPoint at = lot->GetSprite()->GetPosition();
            CPointPath* area = lot->GetHitArea(lot->GetSprite());
            ASSERT_NE(area, nullptr);
            // The lot's picture reaches 140 by 80 round its hot spot.
            const CFPoint from = layer->LayerToScreen({at.x - 140.0f, at.y - 80.0f});
            const CFPoint to = layer->LayerToScreen({at.x + 140.0f, at.y + 80.0f});
            uint32_t underHud = 0, underCard = 0;
            for (int32_t y = int32_t(from.y); y <= int32_t(to.y); y += 2)
                for (int32_t x = int32_t(from.x); x <= int32_t(to.x); x += 2) {
                    const CFPoint p = layer->ScreenToLayer({float(x), float(y)});
                    if (!area->ContainsPoint(p.x - at.x, p.y - at.y))
                        continue;
                    underHud += covered(x, y);
                    underCard += tutorial && x >= card.left && x < card.right && y >= card.top && y < card.bottom;
                }
            EXPECT_EQ(underHud, 0u) << name << ": the lot at " << at.x << "," << at.y
                                    << " lies under the HUD or the tip";
            EXPECT_EQ(underCard, 0u) << name << ": the lot at " << at.x << "," << at.y
                                     << " lies under the lessons' card";
        }
        EXPECT_GE(lots, level.m_Customers > 0 ? 1u : 0u) << name;
    }
}

// The longest row of hearts any customer can show (a new customer's, its
// hearts rounded up) ends well before the row of the one next in line.
TEST_F(DemoLayout, NeighboursRowsOfHeartsKeepApart)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    const CCustomerOptions& options = GetCustomerOptions();
    ASSERT_GT(options.m_SecondsPerHeart, 0.0f);
    CSequence* heart = GetSequenceList().GetObject(options.m_FullHeartSequence);
    CFrame* frame = heart ? heart->GetCurrentFrame() : nullptr;
    ASSERT_NE(frame, nullptr);
    CRect bounds{};
    frame->GetBounds(bounds);
    float most = 0.0f;
    CCustomerStyleSheetList& styles = GetCustomerStyleSheetList();
    for (int32_t i = 1; i < styles.GetCount(); ++i)
        most = std::max(most, std::ceil(styles.GetObject(i)->m_MaximumWait / options.m_SecondsPerHeart));
    ASSERT_GE(most, 11.0f) << "the grandmother's patience";
    const float row = (most - 1.0f) * options.m_OffsetBetweenHearts.x + float(bounds.GetWidth());
    EXPECT_LE(row + 12.0f, options.m_SpaceBetweenPeopleInLine.x)
        << most << " hearts take " << row << " pixels of a place in line";
}

// Every goal of every street, drawn with each part its slot can hold, keeps
// its line and its pictures on its plate; a part is shown unpainted, never
// in the key colour its paint replaces (also by a goal to build a part near
// a place, which no street asks for yet).
TEST_F(DemoLayout, EveryGoalLineKeepsToItsPlate)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    const int32_t unpainted = GetHueRemapperStyleSheetList().Find("0 Unpainted");
    ASSERT_GE(unpainted, 0);
    const SHueRule key = HueRuleOf(*GetHueRemapperStyleSheetList().GetObject(unpainted)->m_HueRemapperDataArray[0]);
    const CGoalOptions& options = *CGoalOptions::SGetInstance();
    CSequence* plate = CGoalOptions::GetSequence(options.m_BackgroundSequence);
    CFrame* plateFrame = plate ? plate->GetCurrentFrame() : nullptr;
    ASSERT_NE(plateFrame, nullptr);
    CRect bounds{};
    plateFrame->GetBounds(bounds);
    auto canvas = CFrame::MakeOwned(uint32_t(bounds.GetWidth()), uint32_t(bounds.GetHeight()), 32);
    CGameState& state = *CGameState::SGetCurrent();
    CLevelSet* levels = GetLevels();
    ASSERT_NE(levels, nullptr);
    std::vector<std::pair<std::string, CGoal*>> goals;
    for (uint32_t i = 0; i < levels->GetCount(); ++i) {
        const CLevelOptions& level = *levels->GetLevel(i);
        for (uint32_t g = 0; g < level.m_OptionalGoals.GetCount(); ++g)
            goals.emplace_back(std::string(level.m_DisplayName.GetText().GetString()) + " goal " + std::to_string(g + 1),
                               level.m_OptionalGoals[g]);
    }
    CBuildableAtLocationGoal near;
    near.m_UpgradeSlot = GetUpgradeSlotList().Find("Frame A");
    ASSERT_GT(near.m_UpgradeSlot, 0);
    goals.emplace_back("a frame near a place", &near);
    uint32_t drawn = 0;
    for (const auto& [name, goal] : goals) {
        // The goal's slot filled with each part in turn; one pass for a goal
        // without a slot.
        const auto* thing = dynamic_cast<CXInARowGoal*>(goal);
        const auto* built = dynamic_cast<CBuildableAtLocationGoal*>(goal);
        const int32_t slot = thing ? thing->m_UpgradeSlot : built ? built->m_UpgradeSlot : 0;
        const int32_t kept = slot > 0 ? state.GetUpgradeInSlot(slot) : 0;
        for (int32_t upgrade = 1; upgrade < GetUpgradeList().GetCount(); ++upgrade) {
            if (slot > 0 && (!GetUpgradeByIndex(upgrade) || GetUpgradeByIndex(upgrade)->m_UpgradeSlot != slot))
                continue;
            if (slot > 0)
                state.m_UpgradeInSlot[uint32_t(slot)] = upgrade;
            for (uint32_t y = 0; y < canvas->GetHeight(); ++y)
                std::fill_n(reinterpret_cast<uint32_t*>(canvas->Row(y)), canvas->GetWidth(), 0u);
            CGoalLayout layout;
            layout.frame = canvas.get();
            layout.penX = options.m_ContentOffset.x;
            layout.centreY = options.m_ContentOffset.y;
            layout.spacing = options.m_Spacing;
            layout.font = CGoalOptions::GetFont(options.m_Font);
            layout.maxImageHeight = options.m_MaxHeight;
            goal->Draw(layout);
            const std::string what = name + " with " + GetUpgradeList().GetItemName(upgrade);
            EXPECT_LE(layout.penX, bounds.GetWidth()) << what;
            if (layout.hasToken1Rect) {
                const CRect& r = layout.token1Rect;
                EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= bounds.GetWidth() && r.bottom <= bounds.GetHeight())
                    << what << ": (" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
            }
            uint32_t keyed = 0;
            for (uint32_t y = 0; y < canvas->GetHeight(); ++y)
                for (uint32_t x = 0; x < canvas->GetWidth(); ++x) {
                    const uint32_t p = reinterpret_cast<const uint32_t*>(canvas->Row(y))[x];
                    int32_t red = int32_t(p >> 16 & 0xFF), green = int32_t(p >> 8 & 0xFF);
                    int32_t blue = int32_t(p & 0xFF);
                    keyed += RemapColour(red, green, blue, key);
                }
            EXPECT_EQ(keyed, 0u) << what << ": pixels in the paint's key colour";
            ++drawn;
            if (slot == 0)
                break;
        }
        if (slot > 0)
            state.m_UpgradeInSlot[uint32_t(slot)] = kept;
    }
    EXPECT_GT(drawn, 20u);
}

// On the map a builder's name, however long, keeps to its line: the net
// worth below it is drawn alike under the longest name and the shortest.
TEST_F(DemoLayout, TheMapsBuilderNameKeepsOffTheNetWorth)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CFrameOverlayOptions* map = OverlaySet("Level Select Overlay");
    ASSERT_NE(map, nullptr);
    const auto draw = [map](const char* name) {
        auto frame = CFrame::MakeOwned(1024, 768, 32);
        CTextSubstitutionList values;
        values.AddText("%s[PlayerName]", CJString(name));
        values.AddText("%s[NetWorth]", CJString("1,234,000"));
        DrawOverlaySet(map, *frame, values, 0.0f);
        return frame;
    };
    const auto shortName = draw("Al");
    const auto longName = draw("Bartholomew Fitzgerald-Montgomery the Third of Harbourside, Keeper of the Far "
                               "Lighthouse and the Old Ferry Quay, Master Builder Royal of the Hill Top");
    const SBox bar = BoxOf("Level Select Overlay", "Title Bar");
    auto* net = dynamic_cast<CFrameOverlayTextOverlay*>(Item("Level Select Overlay", "Worth"));
    ASSERT_NE(net, nullptr);
    for (int32_t y = net->m_BoundsLeft.y; y < bar.bottom; ++y) {
        const auto* a = reinterpret_cast<const uint32_t*>(shortName->Row(uint32_t(y))) + net->m_BoundsLeft.x;
        const auto* b = reinterpret_cast<const uint32_t*>(longName->Row(uint32_t(y))) + net->m_BoundsLeft.x;
        ASSERT_TRUE(std::equal(a, a + net->m_BoundsWidth, b)) << "row " << y;
    }
}

// A move-in's balloon (its box in the balloon's fill colour) stands above
// its lot on the back row, as wide as it is to both sides, on a street of
// the full scale and on one drawn smaller, whole in front of the line.
TEST_F(DemoLayout, TheMoveInBalloonStandsOnItsLot)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CLevelSet* levels = GetLevels();
    ASSERT_NE(levels, nullptr);
    auto* box = dynamic_cast<CBoxFrameOverlay*>(Item("Move In Baloon", "Balloon"));
    ASSERT_NE(box, nullptr);
    // Painted in a colour no street shows, to be found.
    const CColor colour = box->m_FillColor;
    box->m_FillColor = CColor(255, 0, 254, 255);
    const uint32_t fill = 0xFF00FEu;
    for (const char* name : {"Harbour Row", "Hill Top"}) {
        ASSERT_NO_FATAL_FAILURE(EnterStreet(name));
        CLotPlayfieldLayer* layer = GetLotLayer();
        ASSERT_NE(layer, nullptr);
        CLot* lot = nullptr;
        for (uint32_t s = 0; layer && s < layer->GetSpriteCount() && !lot; ++s)
            lot = CLot::SFromSprite(layer->GetSprite(s));
        ASSERT_NE(lot, nullptr);
        for (int i = 0; i < 3; ++i)
            SpawnCustomer();
        Seconds(3.0f);
        lot->ShowScoreBalloon(0.0f);
        Passes(2);
        SaveScreenshot((std::string("balloon ") + name + ".ppm").c_str());
        const CFPoint at = layer->LayerToScreen(lot->GetSprite()->GetPosition());
        int32_t left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
        for (int32_t y = 0; y < 768; ++y)
            for (int32_t x = 0; x < 1024; ++x)
                if (Near(PresentedPixel(x, y), fill)) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        ASSERT_GE(right, 0) << name << ": the balloon shows";
        EXPECT_LE(std::abs((left + right) / 2 - int32_t(at.x)), 12) << name << ": centred on the lot";
        EXPECT_LT(bottom, int32_t(at.y)) << name << ": above the lot's middle";
        EXPECT_GT(bottom, int32_t(at.y) - 160) << name << ": near it";
        // Inside its rim only the fill and its white words show.
        uint32_t foreign = 0;
        for (int32_t y = top + 2; y <= bottom - 2; ++y)
            for (int32_t x = left + 2; x <= right - 2; ++x) {
                const uint32_t p = PresentedPixel(x, y);
                foreign += ((p >> 16) & 0xFF) < 200 || (p & 0xFF) < 200;
            }
        EXPECT_LT(foreign, uint32_t((right - left) * (bottom - top)) / 50) << name << ": something covers it";
    }
    box->m_FillColor = colour;
}

// A framing crew and the foreman at work on a lot of a street's back row
// stand below the line's rows of hearts.
TEST_F(DemoLayout, WorkersOnTheBackRowLeaveTheLinesHeartsClear)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    const CCustomerOptions& customers = GetCustomerOptions();
    CSequence* heart = GetSequenceList().GetObject(customers.m_FullHeartSequence);
    ASSERT_TRUE(heart && heart->GetCurrentFrame());
    CRect hb{};
    heart->GetCurrentFrame()->GetBounds(hb);
    const int32_t hearts = int32_t(customers.m_FrontOfLine.y + customers.m_FirstHeartOffset.y) + hb.bottom;
    uint32_t checked = 0;
    for (uint32_t i = 0; i < GetLevels()->GetCount(); ++i) {
        App()->StartLevelByIndex(i);
        App()->CloseAllOverlayScreens();
        Passes(2);
        CLotPlayfieldLayer* layer = GetLotLayer();
        CLot* back = nullptr;
        for (uint32_t s = 0; layer && s < layer->GetSpriteCount(); ++s)
            if (CLot* lot = CLot::SFromSprite(layer->GetSprite(s));
                lot && (!back || lot->GetSprite()->GetPosition().y < back->GetSprite()->GetPosition().y))
                back = lot;
        const int32_t frame = CGameState::SGetCurrent()->GetUpgradeInSlot(GetUpgradeSlotList().Find("Frame A"));
        CCrew* crew = FindIdleCrewAI(GetFramePhase());
        if (!back || !crew || !GetUpgradeByIndex(frame) || !GetUpgradeByIndex(frame)->DropOnLot(frame, back))
            continue;
        std::vector<CSprite*> workers{crew->GetSprite()};
        if (CForeman* foreman = FindForeman(); foreman && foreman->Assign(back, true))
            workers.push_back(foreman->GetSprite());
        Passes(40);
        for (CSprite* worker : workers) {
            ++checked;
            EXPECT_GT(BoxOf(worker).top, hearts)
                << GetLevels()->GetLevel(i)->m_DisplayName.GetText().GetString() << ": a worker stands on the hearts";
        }
    }
    EXPECT_GE(checked, 12u);
}

// Town's word that the customers are coming rises clear of the customers
// arriving in line and of their balloons.
TEST_F(DemoLayout, TownsWordOfTheCustomersRisesClearOfTheLine)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    ASSERT_NO_FATAL_FAILURE(EnterStreet("Town"));
    CFont* font = CPowerUpTextDisplayOptions::SGetInstance().GetFont();
    ASSERT_NE(font, nullptr);
    const CFPoint box = GetCustomerOptions().m_BoxOffset;
    uint32_t shown = 0;
    for (int pass = 0; pass < 480; ++pass) {
        Passes(1);
        CPlayfieldLayer* effects = GetCurrentPlayfield()->FindLayer("Effects");
        CPlayfieldLayer* line = GetCurrentPlayfield()->FindLayer("Customers");
        ASSERT_TRUE(effects && line);
        for (uint32_t i = 0; i < effects->GetSpriteCount(); ++i) {
            auto* text = static_cast<CPrintPowerUpTextAI*>(
                effects->GetSprite(i)->FindAI(CPrintPowerUpTextAI::SGetClassInfo()));
            if (!text || std::string(text->m_PowerUpName.GetString()) != "Here come the customers")
                continue;
            ++shown;
            int32_t x = 0, y = 0;
            text->GetTextPosition(x, y);
            const int32_t half = font->GetTextWidth(text->m_PowerUpName) / 2;
            const SBox words{x - half, y, x + half, y + int32_t(font->GetHeight())};
            for (uint32_t c = 0; c < line->GetSpriteCount(); ++c) {
                const CFPoint at = line->GetSprite(c)->GetPosition();
                // The balloon's box is 110 x 74 round "Box Offset".
                const SBox balloon{int32_t(at.x + box.x) - 55, int32_t(at.y + box.y) - 37, int32_t(at.x + box.x) + 55,
                                   int32_t(at.y + box.y) + 37};
                EXPECT_FALSE(words.Meets(BoxOf(line->GetSprite(c))) || words.Meets(balloon))
                    << "the words " << words << " meet customer " << c << " at pass " << pass;
            }
        }
    }
    EXPECT_GT(shown, 30u) << "the words show";
}

TEST_F(DemoLayout, TheShopsStickersHoldTheirWordsAndEverySlotShowsAPicture)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    for (const char* sticker :
         {"Shopping New Upgrade Overlay", "Shopping Old Upgrade Overlay", "Shopping Unaffordable Upgrade Overlay"}) {
        auto* label = dynamic_cast<CFrameOverlayTextOverlay*>(Item(sticker, "Label"));
        ASSERT_NE(label, nullptr) << sticker;
        const SBox box = BoxOf(sticker, "Label Box");
        CFrameOverlayDrawContext context;
        context.m_pCurrentSet = OverlaySet(sticker);
        CFont* font = label->GetFont(context);
        ASSERT_NE(font, nullptr) << sticker;
        const CJString word = label->m_Text.GetText();
        EXPECT_LE(font->GetTextWidth(word) + 4, box.right - box.left) << sticker << ": " << word.GetString();
        EXPECT_LE(int32_t(font->GetHeight()), box.bottom - box.top) << sticker;
    }

    // A slot the player owns nothing in shows its own picture.
    CGameState* initial = GetGameStateList().GetObject(GetGameStateList().Find("Initial"));
    ASSERT_NE(initial, nullptr);
    CFrameOverlayOptions* shop = OverlaySet("Shopping Overlay");
    ASSERT_NE(shop, nullptr);
    for (int32_t slot = 1; slot < GetUpgradeSlotList().GetCount(); ++slot) {
        const char* name = GetUpgradeSlotList().GetItemName(slot);
        auto* marker = dynamic_cast<CShoppingPositionMarkerFrameOverlay*>(shop->FindOverlay(CJString(name), nullptr, nullptr));
        if (!marker || initial->GetUpgradeInSlot(slot) != 0)
            continue;
        EXPECT_GT(marker->m_EmptyIconSequence, 0) << name << " is empty at the start";
    }

    // The shop's first lesson leaves the shop's own hint in sight.
    auto* choose = dynamic_cast<CConditionalFrameOverlay*>(Item("Shopping Overlay", "Choose"));
    ASSERT_NE(choose, nullptr);
    auto* hint = dynamic_cast<CFrameOverlayTextOverlay*>(choose->m_pWhenEmpty);
    ASSERT_NE(hint, nullptr);
    CFrameOverlayDrawContext context;
    context.m_pCurrentSet = shop;
    const SBox line{hint->m_BoundsLeft.x, hint->m_BoundsLeft.y, hint->m_BoundsLeft.x + int32_t(hint->m_BoundsWidth),
                    hint->m_BoundsLeft.y + int32_t(hint->GetFont(context)->GetHeight())};
    EXPECT_FALSE(line.Meets(BoxOf("Tutorial Popup", "Card"))) << line;
}

// The shop's card shows no label around an empty value: with no slot
// chosen, and with each slot chosen (some offer nothing, some hold nothing,
// some offer what is not a part of a house). The move-in balloon shows no
// bonus when none is paid, and the bonus in its unit when one is.
TEST_F(DemoLayout, NoLabelIsDrawnAroundAValueThatIsNotThere)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    SetCurrentLevelIndex(1);
    App()->EnterCurrentLevel();
    CShopWindow* shop = GetShopWindow();
    ASSERT_NE(shop, nullptr);
    for (int32_t slot = 0; slot < GetUpgradeSlotList().GetCount(); ++slot) {
        if (slot > 0 && GetOfferedUpgrade(slot) == 0 && CGameState::SGetCurrent()->GetUpgradeInSlot(slot) == 0)
            continue;
        SetShopSelectedSlot(slot);
        CTextSubstitutionList values;
        shop->FillSubstitutions(values);
        for (const std::string& label :
             BareLabels("Shopping Overlay", values, {"%s[Spendable]", "%s[StarsHave]", "%s[NetWorth]"}))
            ADD_FAILURE() << (slot ? GetUpgradeSlotList().GetItemName(slot) : "no slot") << ": " << label;
    }
    SetShopSelectedSlot(0);

    for (const char* bonus : {"", " + 2"}) {
        CTextSubstitutionList values;
        values.AddText("%s[Revenue]", CJString("4,080"));
        values.AddText("%s[Hearts]", CJString("3"));
        values.AddText("%s[Bonus]", CJString(bonus));
        for (const std::string& label : BareLabels("Move In Baloon", values))
            ADD_FAILURE() << "the balloon: " << label;
        CFrameOverlayOptions* balloon = OverlaySet("Move In Baloon");
        ASSERT_NE(balloon, nullptr);
        std::vector<CFrameOverlayTextOverlay*> texts;
        for (uint32_t i = 0; i < balloon->GetOverlayCount(); ++i)
            DrawnTexts(balloon->GetOverlay(i), values, texts);
        bool percent = false;
        for (CFrameOverlayTextOverlay* text : texts)
            percent |= std::string(values.Apply(text->m_Text.GetText()).GetString()).find(" + 2%") != std::string::npos;
        EXPECT_EQ(percent, *bonus != 0) << "the bonus is a share of the price";
    }
}

// No shop follows a tutorial street and its money stays with the lesson:
// its results promise no shopping, and count the goals met without naming
// which.
TEST_F(DemoLayout, TheTutorialsResultsPromiseNoShop)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CFrameOverlayOptions* set = OverlaySet("End Of Tutorial Level Overlay");
    ASSERT_NE(set, nullptr);
    CTextSubstitutionList values;
    std::vector<CFrameOverlayTextOverlay*> texts;
    for (uint32_t i = 0; i < set->GetOverlayCount(); ++i)
        DrawnTexts(set->GetOverlay(i), values, texts);
    for (CFrameOverlayTextOverlay* text : texts)
        EXPECT_EQ(Lower(text->m_Text.GetText().GetString()).find("shop"), std::string::npos)
            << text->m_Text.GetText().GetString();

    // Town with only its second goal (the time) met: the results count one
    // goal met, not the first.
    ASSERT_NO_FATAL_FAILURE(EnterStreet("Town"));
    CLevelOptions* town = CLevelOptions::SGetCurrent();
    ASSERT_EQ(town->m_OptionalGoals.GetCount(), 2u);
    ASSERT_NE(dynamic_cast<CTimeGoal*>(town->m_OptionalGoals[1]), nullptr);
    const auto resultsWords = [&] {
        auto* results = new CTutorialEndOfLevelWindow;
        CTextSubstitutionList met;
        results->FillSubstitutions(met);
        results->Destroy();
        texts.clear();
        for (uint32_t i = 0; i < set->GetOverlayCount(); ++i)
            DrawnTexts(set->GetOverlay(i), met, texts);
        std::string words;
        for (CFrameOverlayTextOverlay* text : texts)
            words += Lower(met.Apply(text->m_Text.GetText()).GetString()) + "|";
        return words;
    };
    town->m_OptionalGoals[1]->m_AchievedThisTime = true;
    std::string words = resultsWords();
    EXPECT_NE(words.find("one goal met"), std::string::npos) << words;
    EXPECT_EQ(words.find("first goal"), std::string::npos) << words;
    EXPECT_EQ(words.find("two goals"), std::string::npos) << words;
    // Both met: the one line that counts them. The lesson's sales are told
    // as the earnings trophies count them.
    town->m_OptionalGoals[0]->m_AchievedThisTime = true;
    words = resultsWords();
    EXPECT_NE(words.find("two goals met"), std::string::npos) << words;
    EXPECT_EQ(words.find("one goal"), std::string::npos) << words;
    EXPECT_NE(words.find("earnings trophies"), std::string::npos) << words;
}

// Money enough but stars short, Buy is greyed: the card says why, with the
// stars it takes and the stars there are, and not that it can be afforded.
TEST_F(DemoLayout, TheShopCardTellsWhatStarsAPurchaseLacks)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CFrameOverlayOptions* shop = OverlaySet("Shopping Overlay");
    ASSERT_NE(shop, nullptr);
    CTextSubstitutionList values;
    for (const auto& [key, value] : {std::pair{"%s[Affordable]", "1"}, {"%s[EnoughStars]", "0"},
                                     {"%s[StarCost]", "2"}, {"%s[StarsHave]", "0"}})
        values.AddText(key, CJString(value));
    std::vector<CFrameOverlayTextOverlay*> texts;
    for (uint32_t i = 0; i < shop->GetOverlayCount(); ++i)
        DrawnTexts(shop->GetOverlay(i), values, texts);
    bool why = false;
    for (CFrameOverlayTextOverlay* text : texts) {
        const std::string raw = text->m_Text.GetText().GetString();
        EXPECT_EQ(Lower(raw).find("afford"), std::string::npos) << raw;
        why |= raw.find("%s[StarCost]") != std::string::npos && raw.find("%s[StarsHave]") != std::string::npos;
    }
    EXPECT_TRUE(why) << "no line gives the stars it takes beside the stars there are";
}

// Each card's heading stands out from the card: its letters differ from the
// card's fill in lightness as printed words do from their paper.
TEST_F(DemoLayout, CardHeadingsAreReadableOnTheirCards)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    const auto lightness = [](uint32_t rgb) {
        return 0.3 * double((rgb >> 16) & 0xFF) + 0.59 * double((rgb >> 8) & 0xFF) + 0.11 * double(rgb & 0xFF);
    };
    const struct {
        const char* set;
        const char* card;
        const char* heading;
    } cards[] = {{"New Trophy Earned", "Card", "Heading"},
                 {"Life Reward First Streets", "Page", "Heading"},
                 {"Decade Transition Harbour", "Card", "Title"},
                 {"Decade Transition Hill", "Card", "Title"},
                 {"Three In A Row End Of Level Overlay", "Payout Box", "Payout"}};
    auto canvas = CFrame::MakeOwned(1024, 768, 32);
    for (const auto& c : cards) {
        CFrameOverlayOptions* set = OverlaySet(c.set);
        ASSERT_NE(set, nullptr) << c.set;
        auto* card = dynamic_cast<CBoxFrameOverlay*>(Item(c.set, c.card));
        auto* heading = dynamic_cast<CFrameOverlayTextOverlay*>(Item(c.set, c.heading));
        ASSERT_TRUE(card && heading) << c.set;
        for (uint32_t y = 0; y < 768; ++y)
            std::fill_n(reinterpret_cast<uint32_t*>(canvas->Row(y)), 1024, 0u);
        set->DrawOnFrame(*canvas, nullptr, false, nullptr);
        CFrameOverlayDrawContext context;
        context.m_pCurrentSet = set;
        CFont* font = heading->GetFont(context);
        ASSERT_NE(font, nullptr) << c.set;
        const double paper = lightness((uint32_t(card->m_FillColor.GetRed()) << 16)
                                       | (uint32_t(card->m_FillColor.GetGreen()) << 8) | card->m_FillColor.GetBlue());
        uint32_t ink = 0;
        const int32_t top = heading->m_BoundsLeft.y, bottom = top + int32_t(font->GetHeight());
        // Within the card's rim.
        const int32_t rim = card->m_OutlineWidth + 1;
        const int32_t left = std::max(heading->m_BoundsLeft.x, card->m_Position.x + rim);
        const int32_t right = std::min(heading->m_BoundsLeft.x + int32_t(heading->m_BoundsWidth),
                                       card->m_Position.x + card->m_Size.x - rim);
        for (int32_t y = std::max(top, 0); y < std::min(bottom, 768); ++y)
            for (int32_t x = std::max(left, 0); x < std::min(right, 1024); ++x)
                ink += std::abs(lightness(reinterpret_cast<const uint32_t*>(canvas->Row(uint32_t(y)))[x]) - paper) > 100.0;
        EXPECT_GT(ink, 100u) << c.set << ": the heading's letters";
    }
}

// The map draws a street's button from its frame's corner at the frame's
// size: a frame cropped of a clear border would lose its right and bottom.
TEST_F(DemoLayout, TheMapsStreetButtonFramesKeepTheirWholeDisc)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CLevelSet* levels = GetLevels();
    ASSERT_NE(levels, nullptr);
    for (uint32_t i = 0; i < levels->GetFirstTutorialLevelIndex(); ++i) {
        const CLevelOptions& level = *levels->GetLevel(i);
        for (uint32_t achieved = 0; achieved <= level.m_OptionalGoals.GetCount(); ++achieved) {
            const CJString name = GetLevelButtonImageName(level.m_Period, level.m_OptionalGoals.GetCount(), achieved);
            const int32_t index = GetFrameLibrary().Find(name.GetString());
            CFrame* frame = index >= 0 ? GetFrameLibrary().GetObject(index) : nullptr;
            ASSERT_NE(frame, nullptr) << name.GetString();
            CRect bounds{};
            frame->GetBounds(bounds);
            EXPECT_TRUE(bounds.left == 0 && bounds.top == 0 && bounds.right == 56 && bounds.bottom == 56)
                << name.GetString() << " (" << bounds.left << "," << bounds.top << ")-(" << bounds.right << ","
                << bounds.bottom << ")";
        }
    }
}

// The starting kit is given, so none of it sells back for money; the
// streets after the first talk of the parts the player holds, which by then
// may have replaced the kit's (a bungalow the cottage, mint paint the lemon).
TEST_F(DemoLayout, TheStartingKitIsFreeAndLaterStreetsNameNoPartTheShopReplaces)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CGameState* initial = GetGameStateList().GetObject(GetGameStateList().Find("Initial"));
    ASSERT_NE(initial, nullptr);
    for (uint32_t i = 0; i < initial->m_UpgradesReceived.GetCount(); ++i) {
        CUpgrade* upgrade = GetUpgradeByIndex(initial->m_UpgradesReceived[i]);
        ASSERT_NE(upgrade, nullptr);
        EXPECT_EQ(upgrade->m_UpgradeCost, 0.0f) << GetUpgradeList().GetItemName(initial->m_UpgradesReceived[i]);
    }
    std::vector<std::string> replaced;
    for (uint32_t i = 0; i < initial->m_UpgradesReceived.GetCount(); ++i) {
        const int32_t kit = initial->m_UpgradesReceived[i];
        auto* part = dynamic_cast<CBuildablePart*>(GetUpgradeByIndex(kit));
        for (int32_t other = 1; part && other < GetUpgradeList().GetCount(); ++other) {
            CUpgrade* upgrade = GetUpgradeByIndex(other);
            if (other != kit && upgrade && upgrade->m_UpgradeSlot == part->m_UpgradeSlot && upgrade->m_UpgradeCost > 0.0f) {
                replaced.push_back(Lower(GetUpgradeList().GetItemName(kit)));
                break;
            }
        }
    }
    EXPECT_GE(replaced.size(), 2u) << "the cottage and the lemon paint";
    CLevelSet* levels = GetLevels();
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    ASSERT_TRUE(levels && tips);
    for (uint32_t i = 1; i < levels->GetFirstTutorialLevelIndex(); ++i)
        for (const std::string& name : replaced) {
            EXPECT_EQ(Lower(levels->GetLevel(i)->m_LevelIntro.GetString()).find(name), std::string::npos) << i << " " << name;
            EXPECT_EQ(Lower(tips->GetTipText(i).GetString()).find(name), std::string::npos) << i << " " << name;
        }
}

// The street behind the main menu stands still while the menu is open: no
// customer arrives and its clock does not run.
TEST_F(DemoLayout, TheStreetBehindTheMainMenuStandsStill)
{
    InstallMainMenuScreen();
    ASSERT_TRUE(Start());
    Seconds(0.1f);
    ASSERT_NE(GetMainMenu(), nullptr);
    const float played = CLevelOptions::SGetCurrent()->m_SecondsPlayed;
    const uint32_t arrived = CLevelOptions::SGetCurrent()->m_CustomersSpawned;
    Seconds(20.0f);
    ASSERT_NE(GetMainMenu(), nullptr);
    EXPECT_EQ(CLevelOptions::SGetCurrent()->m_SecondsPlayed, played);
    EXPECT_EQ(CLevelOptions::SGetCurrent()->m_CustomersSpawned, arrived);

    // Its crews wait in their yard, where play walks them, not on the bar.
    CPlayfield* playfield = GetCurrentPlayfield();
    CPlayfieldLayer* crews = playfield ? playfield->FindLayer("Crew") : nullptr;
    ASSERT_NE(crews, nullptr);
    uint32_t seen = 0;
    for (uint32_t i = 0; i < crews->GetSpriteCount(); ++i) {
        auto* crew = static_cast<CCrew*>(crews->GetSprite(i)->FindAI(CCrew::SGetClassInfo()));
        CFPoint yard;
        if (!crew || !GetIdleCrewPosition(crew->m_BuildingPhase, 0, 1, yard))
            continue;
        ++seen;
        const CFPoint at = crews->GetSprite(i)->GetPosition();
        EXPECT_EQ(at.y, yard.y) << "crew " << i;
        EXPECT_LE(std::abs(at.x - yard.x), 60.0f) << "crew " << i;
    }
    EXPECT_GE(seen, 3u) << "the starting kit's three crews";

    // Two framing crews (the second from the yard's slot) stand apart, each
    // at a place play gives the two of them.
    const int32_t yard = GetUpgradeSlotList().Find("Frame Yard");
    CGameState* initial = GetGameStateList().GetObject(GetGameStateList().Find("Initial"));
    ASSERT_TRUE(yard > 0 && initial && uint32_t(yard) < initial->m_UpgradeInSlot.GetCount());
    const int32_t kept = initial->m_UpgradeInSlot[uint32_t(yard)];
    initial->m_UpgradeInSlot[uint32_t(yard)] = GetUpgradeList().Find("Framing Crew");
    ASSERT_NE(OpenMainMenu(), nullptr);
    initial->m_UpgradeInSlot[uint32_t(yard)] = kept;
    Passes(1);
    crews = GetCurrentPlayfield()->FindLayer("Crew");
    ASSERT_NE(crews, nullptr);
    uint32_t framers = 0;
    for (uint32_t i = 0; i < crews->GetSpriteCount(); ++i) {
        auto* crew = static_cast<CCrew*>(crews->GetSprite(i)->FindAI(CCrew::SGetClassInfo()));
        CFPoint place;
        if (crew && crew->m_BuildingPhase == GetFramePhase()
            && GetIdleCrewPosition(crew->m_BuildingPhase, framers++, 2, place)) {
            const CFPoint at = crews->GetSprite(i)->GetPosition();
            EXPECT_TRUE(at.x == place.x && at.y == place.y) << "framing crew " << framers;
        }
    }
    EXPECT_EQ(framers, 2u);
}

} // namespace

