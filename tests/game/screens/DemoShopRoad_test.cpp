// The demo's business along the career road a player takes: what the shop
// offers before each street, what the player can pay for there with the
// money of plainly won streets and the stars of their goals, and whether
// every trophy can be earned with the play the streets allow. Also the shop's
// stickers, as the player sees them.
#include "ScreensGameTest.h"

#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgradeButton.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CLevelIntro.h"
#include "game/screens/CShop.h"
#include "game/screens/CStats.h"
#include "game/business/CBuildablePackage.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLot.h"
#include "game/world/CRules.h"
#include "game/world/CPlayfield.h"
#include "game/business/CUpgrade.h"
#include "game/business/CBuildPhase.h"
#include "images/CFrame.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

namespace {

class DemoShopRoad : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        ReadList(GetAchievementList());
        ReadList(GetDecadeTransitionList());
    }
    static std::string NameOf(int32_t upgrade) { return GetUpgradeList().GetItemName(upgrade); }
    static bool Earned(const char* trophy)
    {
        return GetAchievementHistory()->HasBeenEarned(GetAchievementList().Find(trophy));
    }
    // The most lots next to one lot (in the four directions) on any street.
    static uint32_t MostNeighbours(CLevelSet& levels)
    {
        uint32_t most = 0;
        for (uint32_t i = 0; i < levels.GetCount(); ++i) {
            CPlayfieldLayer* layer = levels.GetLevel(i)->GetPlayfield().FindLayer("Lot");
            std::set<std::pair<int32_t, int32_t>> grid;
            for (uint32_t s = 0; layer && s < layer->GetSpriteCount(); ++s)
                if (auto* lot = dynamic_cast<CLot*>(layer->GetSprite(s)->FindAI(CLot::SGetClassInfo())))
                    grid.insert({lot->GetGridCoordinate().x, lot->GetGridCoordinate().y});
            for (const auto& [x, y] : grid) {
                uint32_t next = 0;
                for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                    next += grid.count({x + dx, y + dy}) ? 1u : 0u;
                most = std::max(most, next);
            }
        }
        return most;
    }
    // A house of the best parts the state holds, one per phase.
    static float BestHouseValue(CGameState& state)
    {
        std::map<int32_t, float> best;
        for (int32_t slot = 1; slot < GetUpgradeSlotList().GetCount(); ++slot)
            if (auto* part = dynamic_cast<CBuildablePart*>(GetUpgradeByIndex(state.GetUpgradeInSlot(slot))))
                best[part->m_BuildPhase] = std::max(best[part->m_BuildPhase], part->m_ResaleValue);
        float value = 0.0f;
        for (const auto& [phase, resale] : best)
            value += resale;
        return value;
    }
};

// A player who skips the tutorial, wins every career street with no more
// than its required revenue and meets its goals, buying in each shop what is
// offered and affordable, cheapest first: every upgrade with a price is
// bought on the way, nearly every visit has something to afford, and
// every trophy is earned by play the streets allow.
TEST_F(DemoShopRoad, EveryUpgradeIsBoughtOnTheRoadAndEveryTrophyEarned)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CLevelSet* levels = GetLevels();
    ASSERT_NE(levels, nullptr);
    CGameStateList& states = GetGameStateList();
    const int32_t initial = states.Find("Initial");
    ASSERT_GE(initial, 0);
    ASSERT_NE(states.GetObject(initial), nullptr);
    CGameState& state = *CGameState::SGetCurrent();
    state.CopyFromAndReset(states.GetObject(initial));
    CPlayerStats& player = Player();
    CAchievementOptions& options = GetAchievementOptions();

    uint32_t visits = 0, visitsWithNothingToBuy = 0, careerStreets = 0, mostCustomers = 0;
    int32_t lastStandard = -1;
    for (uint32_t i = 0; i < levels->GetCount(); ++i) {
        CLevelOptions& level = *levels->GetLevel(i);
        if (level.m_IsLastStandardLevel)
            lastStandard = int32_t(i);
        if (level.m_IsTutorialLevel)
            continue;
        // The shop comes before every street but the very first.
        if (i != 0) {
            ++visits;
            const uint32_t stars = player.GetStarCount() + state.m_ExtraStarsHack;
            bool somethingToBuy = false;
            for (;;) {
                int32_t cheapest = 0;
                for (int32_t slot = 1; slot < GetUpgradeSlotList().GetCount(); ++slot) {
                    CUpgradeSlot* shelf = GetUpgradeSlotList().GetObject(slot);
                    const int32_t offered = GetOfferedUpgrade(slot);
                    CUpgrade* upgrade = GetUpgradeByIndex(offered);
                    if (!shelf || shelf->m_BuyButtonBackground <= 0 || !upgrade)
                        continue;
                    if (upgrade->m_UpgradeCost > state.m_SpendableMoneyK || upgrade->m_StarsRequired > stars)
                        continue;
                    somethingToBuy = true;
                    if (!cheapest || upgrade->m_UpgradeCost < GetUpgradeByIndex(cheapest)->m_UpgradeCost)
                        cheapest = offered;
                }
                if (!cheapest)
                    break;
                state.m_SpendableMoneyK -= GetUpgradeByIndex(cheapest)->m_UpgradeCost;
                state.ReceiveUpgrade(cheapest);
            }
            visitsWithNothingToBuy += somethingToBuy ? 0u : 1u;
        }

        // What the street's customers are set to order the player owns by now.
        for (uint32_t o = 0; o < level.m_FutureOrders.GetCount(); ++o) {
            const CBuildablePackage* order = level.m_FutureOrders[o];
            for (uint32_t p = 0; order && p < order->m_Parts.GetCount(); ++p) {
                const int32_t part = order->m_Parts[p];
                EXPECT_TRUE(part == 0 || state.HasReceivedUpgrade(part)) << NameOf(part) << " ordered on street " << i;
            }
        }

        // Won: the first street plainly, with its required revenue; the
        // others selling every customer the best house the player has.
        ResetAchievementLevelVariables();
        mostCustomers = std::max(mostCustomers, level.m_Customers);
        const float revenue = careerStreets == 0
                                  ? level.m_RequiredRevenue
                                  : std::max(level.m_RequiredRevenue, float(level.m_Customers) * BestHouseValue(state));
        state.AddRevenue(revenue);
        state.m_SpendableMoneyK += CRules::SGetInstance().m_SpendableProfit * level.m_RequiredRevenue;
        if (careerStreets++ == 0) {
            EXPECT_TRUE(Earned("CareerEarningsBronze")) << "a first street won plainly earns a trophy";
        }
        for (uint32_t c = 0; c < level.m_Customers; ++c)
            AchievementHouseMovedInto(true);
        for (uint32_t g = 0; g < level.m_OptionalGoals.GetCount(); ++g) {
            player.GetLevelStats(i)->SetOptionalGoalAchieved(g);
            AchievementOptionalGoalAchieved();
        }
        GetLevelHolder().HoldCopyOf(&level);
        AchievementLevelComplete(true);
    }
    EXPECT_GE(careerStreets, 2u);
    EXPECT_LE(visitsWithNothingToBuy, 1u) << "of " << visits << " visits to the shop";

    for (int32_t u = 1; u < GetUpgradeList().GetCount(); ++u) {
        CUpgrade* upgrade = GetUpgradeList().GetObject(u);
        ASSERT_NE(upgrade, nullptr);
        if (upgrade->m_UpgradeCost > 0.0f)
            EXPECT_TRUE(state.HasReceivedUpgrade(u)) << NameOf(u) << " is never offered within reach";
        else
            EXPECT_TRUE(state.HasReceivedUpgrade(u)) << NameOf(u) << " is free from the start";
    }

    // The trophies of the road itself.
    for (const char* trophy : {"AccomplishedBuilder", "BlueModelHomeMaster", "CareerEarningsBronze",
                               "CareerEarningsSilver", "CareerEarningsGold", "BuildingUpgradeMaster"})
        EXPECT_TRUE(Earned(trophy)) << trophy;
    EXPECT_GE(lastStandard, 0) << "the last career street is marked";
    EXPECT_TRUE(Earned("CraftsmanOfTheCentury"));
    EXPECT_TRUE(Earned("OutstandingBuildingAwardOfExcellence")) << "every street up to the last has goals";
    EXPECT_LE(options.m_BlueModelHomeMasterHousesRequired, mostCustomers);

    // Matching neighbours: as many as the streets' lots allow.
    const uint32_t neighbours = MostNeighbours(*levels);
    EXPECT_LE(options.m_SupremeMatchingAceNumMatches, neighbours);
    AchievementMatchesMade(int32_t(neighbours));
    for (const char* trophy : {"MatchingApprentice", "MatchingMaster", "SupremeMatchingAce"})
        EXPECT_TRUE(Earned(trophy)) << trophy;
    // The bonus meter, topped up by matches before it runs out, lasts long
    // enough for its trophy.
    EXPECT_LT(options.m_BuilderOfDreamsRequiredTime, GetThreeInARowOptions().m_MaximumBonusTime);
}

// Each offered slot wears its sticker on the button's lower right, box and
// label both ("NEW" in red, for a first visit's offers).
TEST_F(DemoShopRoad, TheShopsStickersShowTheirBoxes)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    SetCurrentLevelIndex(1);
    App()->EnterCurrentLevel();
    ASSERT_NE(GetShopWindow(), nullptr);
    Passes(3);
    const int32_t garage = GetUpgradeSlotList().Find("Garage A");
    ASSERT_GT(GetOfferedUpgrade(garage), 0);
    // The slot's button stands at (200, 200); the box 44 x 18 from (206, 214).
    for (const auto& [x, y] : {std::pair{208, 216}, {247, 230}})
        EXPECT_EQ(PresentedPixel(x, y), 0xC82828u) << x << "," << y;
    EXPECT_EQ(PresentedPixel(206, 214), 0xFFFFFFu) << "its outline";
    SaveScreenshot("shop.ppm");
}

// In play, an upgrade given for free wears the shop's "NEW" sticker on its
// button until ten seconds of play have passed.
TEST_F(DemoShopRoad, AFreeUpgradesButtonWearsTheNewStickerInPlayWhileItIsNew)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    if (CLevelIntroWindow* intro = GetLevelIntroWindow())
        ClickOn(intro->GetDefaultButton());
    ASSERT_EQ(GetLevelIntroWindow(), nullptr);
    Passes(3);
    CPlayfieldLayer* ui = GetCurrentPlayfield() ? GetCurrentPlayfield()->FindLayer("UI") : nullptr;
    ASSERT_NE(ui, nullptr);
    CUpgradeButton* button = nullptr;
    for (uint32_t i = 0; i < ui->GetSpriteCount() && !button; ++i) {
        auto* found = dynamic_cast<CUpgradeButton*>(ui->GetSprite(i)->FindAI(CUpgradeButton::SGetClassInfo()));
        if (found && found->GetUpgrade() && found->GetShoppingPositionMarker())
            button = found;
    }
    ASSERT_NE(button, nullptr) << "a held upgrade's button with a place in the shop";
    const CFPoint at = button->GetSprite()->GetPosition();
    const auto stickerPixels = [this, at] {
        uint32_t count = 0;
        for (int32_t y = int32_t(at.y) - 60; y < int32_t(at.y) + 60; ++y)
            for (int32_t x = int32_t(at.x) - 60; x < int32_t(at.x) + 60; ++x)
                count += PresentedPixel(x, y) == 0xC82828u;
        return count;
    };
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    ASSERT_NE(level, nullptr);
    level->m_SecondsPlayed = 0.0f;
    Passes(1);
    EXPECT_EQ(stickerPixels(), 0u) << "nothing new yet";

    CUpgrade* upgrade = button->GetUpgrade();
    const int32_t index = button->GetUpgradeIndex();
    upgrade->m_ShowNewStickerWhenFree = true;
    CGameState& state = *CGameState::SGetCurrent();
    state.RemoveUpgrade(index);
    state.ReceiveUpgrade(index);
    ASSERT_TRUE(state.IsNewlyAcquired(index));
    level->m_SecondsPlayed = 0.0f;
    Passes(1);
    EXPECT_GT(stickerPixels(), 100u) << "the sticker's box on the button";
    SaveScreenshot("new-sticker.ppm");

    level->m_SecondsPlayed = 10.5f;
    Passes(2);
    EXPECT_FALSE(state.IsNewlyAcquired(index));
    EXPECT_EQ(stickerPixels(), 0u) << "no longer new";
}

// A slot's picture of a part whose phase takes paint shows the part
// unpainted, as the bar's button of that part does, never the paintable
// key colour the part's pictures are drawn in.
TEST_F(DemoShopRoad, ASlotsPictureOfAPartShowsItUnpaintedAsTheBarsButtonDoes)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    SetCurrentLevelIndex(1);
    App()->EnterCurrentLevel();
    ASSERT_NE(GetShopWindow(), nullptr);
    Passes(3);
    CPlayfieldLayer* ui = GetCurrentPlayfield() ? GetCurrentPlayfield()->FindLayer("UI") : nullptr;
    ASSERT_NE(ui, nullptr);
    // The garage's picture has walls waiting for paint; the slot shows the
    // garage once it is owned.
    const int32_t slot = GetUpgradeSlotList().Find("Garage A");
    const int32_t garage = GetUpgradeList().Find("Single Garage");
    ASSERT_GT(garage, 0);
    CGameState::SGetCurrent()->ReceiveUpgrade(garage);
    Passes(2);
    CShoppingUpgradeButton* button = nullptr;
    for (uint32_t i = 0; i < ui->GetSpriteCount() && !button; ++i)
        if (auto* found = dynamic_cast<CShoppingUpgradeButton*>(ui->GetSprite(i)->GetAI()))
            if (found->m_UpgradeSlot == slot)
                button = found;
    ASSERT_NE(button, nullptr);
    ASSERT_EQ(button->GetOwned(), garage);
    auto* part = dynamic_cast<CBuildablePart*>(GetUpgradeByIndex(garage));
    ASSERT_NE(part, nullptr);
    ASSERT_TRUE(part->GetBuildPhase() && part->GetBuildPhase()->m_GetsColored);
    CSequence* picture = GetSequenceList().GetObject(part->m_BuildButtonAppearance);
    CFrame* frame = picture ? picture->GetFrameAtPosition(1.0f) : nullptr;
    ASSERT_NE(frame, nullptr);
    const int32_t unpaintedSheet = GetHueRemapperStyleSheetList().Find("0 Unpainted");
    ASSERT_GE(unpaintedSheet, 0);
    CFrame* unpainted = GetHueRemappedFrame(*frame, unpaintedSheet);
    ASSERT_NE(unpainted, frame);

    constexpr uint32_t kPaintable = 0xD628C8u;
    const CFPoint at = button->GetSprite()->GetPosition();
    uint32_t keyPixels = 0, shownAsKey = 0, shownUnpainted = 0;
    for (int32_t y = 0; y < int32_t(frame->GetHeight()); ++y)
        for (int32_t x = 0; x < int32_t(frame->GetWidth()); ++x) {
            const int32_t fx = x + frame->GetOffsetX(), fy = y + frame->GetOffsetY();
            CColor drawn, remapped;
            frame->GetPixel(fx, fy, drawn);
            if (drawn.GetAlpha() != 255 || (drawn.GetColorWord() & 0xFFFFFFu) != kPaintable)
                continue;
            ++keyPixels;
            unpainted->GetPixel(fx, fy, remapped);
            const uint32_t shown = PresentedPixel(int32_t(at.x) + fx, int32_t(at.y) + fy);
            shownAsKey += shown == kPaintable;
            shownUnpainted += shown == (remapped.GetColorWord() & 0xFFFFFFu);
        }
    ASSERT_GT(keyPixels, 50u) << "the picture has walls waiting for paint";
    EXPECT_EQ(shownAsKey, 0u);
    // The sticker and the hover may cover a corner of it.
    EXPECT_GT(shownUnpainted, keyPixels / 2);
}

// The offer's large picture and the owned part's below it show a part that
// takes paint unpainted too: no pixel of the key colour reaches the screen.
TEST_F(DemoShopRoad, TheOffersLargePicturesShowAPartUnpainted)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    SetCurrentLevelIndex(1);
    App()->EnterCurrentLevel();
    CShopWindow* shop = GetShopWindow();
    ASSERT_NE(shop, nullptr);
    // The starting kit's garage is owned, a bigger one offered: both have
    // walls waiting for paint.
    const int32_t slot = GetUpgradeSlotList().Find("Garage A");
    CGameState& state = *CGameState::SGetCurrent();
    const int32_t owned = state.GetUpgradeInSlot(slot);
    ASSERT_GT(owned, 0);
    ASSERT_GT(GetOfferedUpgrade(slot), 0);
    for (int32_t upgrade : {owned, GetOfferedUpgrade(slot)}) {
        auto* part = dynamic_cast<CBuildablePart*>(GetUpgradeByIndex(upgrade));
        ASSERT_NE(part, nullptr) << NameOf(upgrade);
        ASSERT_TRUE(part->GetBuildPhase() && part->GetBuildPhase()->m_GetsColored) << NameOf(upgrade);
    }
    SetShopSelectedSlot(slot);
    shop->SlotClicked();
    Passes(3);

    // Scaled pictures blend the key colour at their edges: anything near it
    // counts.
    const auto keyLike = [](uint32_t p) {
        const uint32_t r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
        return r >= 0xA0 && b >= 0xA0 && g + 80 < std::min(r, b);
    };
    // The offer's picture at (580, 200), the owned part's at (580, 420).
    for (const auto& [cx, cy] : {std::pair{580, 200}, {580, 420}}) {
        const uint32_t background = PresentedPixel(cx - 75, cy);
        uint32_t drawn = 0, key = 0;
        for (int32_t y = cy - 70; y <= cy + 70; ++y)
            for (int32_t x = cx - 70; x <= cx + 70; ++x) {
                const uint32_t p = PresentedPixel(x, y);
                drawn += p != background;
                key += keyLike(p);
            }
        EXPECT_GT(drawn, 400u) << "a picture at " << cx << "," << cy;
        EXPECT_EQ(key, 0u) << "at " << cx << "," << cy;
    }
    SaveScreenshot("shop-offer.ppm");

    // The starting kit's paints, owned before any shop, show their picture
    // under "You own:" as a paint just bought does.
    for (const char* paintSlot : {"Paint A", "Paint B"}) {
        const int32_t paint = GetUpgradeSlotList().Find(paintSlot);
        ASSERT_GT(state.GetUpgradeInSlot(paint), 0) << paintSlot;
        SetShopSelectedSlot(paint);
        shop->SlotClicked();
        Passes(3);
        // Left of the texts that stand beside it.
        const uint32_t background = PresentedPixel(580 - 75, 420);
        uint32_t drawn = 0;
        for (int32_t y = 420 - 40; y <= 420 + 40; ++y)
            for (int32_t x = 580 - 50; x <= 580 + 50; ++x)
                drawn += PresentedPixel(x, y) != background;
        EXPECT_GT(drawn, 400u) << NameOf(state.GetUpgradeInSlot(paint));
    }
}
} // namespace
