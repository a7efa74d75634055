// Optional goals as a level plays them: when an achievement is announced
// and counted, how a goal line is laid out within the goal panel's width,
// and each kind's achieve and fail tests driven by the lot and customer
// messages the level passes on.
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomer.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CGoal.h"
#include "game/world/CGoalOverlay.h"
#include "game/world/CGoalOptions.h"
#include "game/world/CGoalTypes.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPlayfield.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CSprite.h"
#include "game/world/WorldHooks.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "objects/CPropertyArrayProperty.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/SequenceTestSupport.h"
#include "tests/support/ScopedHooks.h"
#include "tests/support/TestSupport.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// A lot layer that notes the name of every message the playfield passes it.
class CListeningLayer : public CLotPlayfieldLayer {
public:
    void HandleMessage(CMessage& message) override { heard.push_back(GetMessageTypeName(message.GetType())); }
    int Count(const std::string& name) const
    {
        int n = 0;
        for (const std::string& h : heard)
            n += h == name;
        return n;
    }
    std::vector<std::string> heard;
};

// The player profiles as the goals report to them.
class CFakeProfiles : public CGameScreensHooks {
public:
    void MarkOptionalGoalAchieved(CLevelOptions* /*level*/, uint32_t goal) override { statistics.push_back(goal); }
    void CountOptionalGoalAchieved() override { ++counted; }

    std::vector<uint32_t> statistics;
    int counted = 0;
};

// A customer's hearts run down from its style's wait (90 s without style
// sheets) at "Seconds Per Hearts" (10 by default).
constexpr float kMaximumWait = 90.0f;
constexpr float kSecondsPerHeart = 10.0f;

CCustomer* NewCustomer(float hearts, int32_t style)
{
    auto* customer = new CCustomer;
    customer->m_TimeWaited = kMaximumWait - hearts * kSecondsPerHeart;
    customer->m_CustomerStyleSheet = style;
    return customer;
}

class Goals : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        WriteTga("Resources/Sequences/-Dollar/0001.tga", 10, 8);
        WriteTga("Resources/Sequences/-Tall House/0001.tga", 20, 68);
        WriteTga("Resources/Sequences/-Heart/0001.tga", 6, 6);
        WriteTga("Resources/Sequences/-Tile EmptyLot/0001.tga", 4, 4);
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        WriteBytes("Resources/Customer Options.Object.txt", ObjectText("CCustomerOptions", ""));
        InitGeneralObjects();
        m_Listener = new CListeningLayer;
        m_Listener->m_Name = "Lot";
        m_Playfield.AppendLayer(m_Listener);
        m_PreviousPlayfield = SetCurrentPlayfield(&m_Playfield);
    }
    void TearDown() override
    {
        SetCurrentPlayfield(m_PreviousPlayfield);
        GetLevelHolder().Release();
        GetGeneralObjects().RemoveAll();
        GetGeneralObjects().SetSource(nullptr, "Nowhere", 0);
        GetSequenceList().SetSource(nullptr, "Nowhere", 0);
        CGameState::SGetCurrent()->m_RevenueK = 0.0f;
        SequenceFolderTest::TearDown();
    }
    void WriteOptions(const std::string& lines)
    {
        WriteBytes("Resources/Goal Options.Object.txt", ObjectText("CGoalOptions", lines));
        InitGeneralObjects();
    }
    CLot* AddLot(CPoint grid)
    {
        auto* sprite = new CSprite;
        auto* lot = new CLot;
        sprite->AddAI(lot);
        lot->m_GridCoordinate = grid;
        m_Playfield.AddSprite(sprite, "Lot");
        return lot;
    }
    CSpriteAI* MoveIn(CLot* lot, float hearts, int32_t style = 0)
    {
        CCustomer* customer = NewCustomer(hearts, style);
        delete lot->m_CustomerLivingHere;
        lot->m_CustomerLivingHere = customer;
        m_MessageLot = lot;
        return customer;
    }
    // The lot messages carry the lot last moved into (or set), and the
    // in-a-row check the count set for its phase.
    void Send(CGoal& goal, const char* name)
    {
        if (std::string(name) == "CCustomerMovedInMessage") {
            CCustomerMovedInMessage message(m_MessageLot);
            goal.HandleMessage(message);
        } else if (std::string(name) == "CXInARowCheckMessage") {
            CXInARowCheckMessage message(m_MessageLot);
            if (m_InARowPhase >= 0) {
                message.m_Counts.assign(size_t(m_InARowPhase) + 1, 0);
                message.m_Counts[size_t(m_InARowPhase)] = m_InARow;
            }
            goal.HandleMessage(message);
        } else {
            CMessage message = CMessage::CMessageByName(name);
            goal.HandleMessage(message);
        }
    }

    CPlayfield m_Playfield;
    CListeningLayer* m_Listener = nullptr;
    CPlayfield* m_PreviousPlayfield = nullptr;
    CFakeProfiles m_Town;
    CScopedHook<SetGameScreensHooks> m_Hooks{&m_Town};
    CLot* m_MessageLot = nullptr;
    int32_t m_InARowPhase = -1;
    int32_t m_InARow = 0;
};

template <typename Goal>
void AddPlace(Goal& goal, CPoint place)
{
    auto* array = static_cast<CPropertyArrayProperty*>(goal.GetClassInfo()->FindProperty("Grid Location List"));
    array->ArrayProperty_SetCount(&goal, goal.m_GridLocations.GetCount() + 1);
    goal.m_GridLocations[goal.m_GridLocations.GetCount() - 1] = place;
}

// A goal that lays out the text it is given, as a goal kind would.
class CTextGoal : public CGoal {
public:
    void Draw(CGoalLayout& layout) override
    {
        LayOut(layout, text, tokens);
        AwardIfAchieved(layout);
    }
    CJString text;
    CGoalTokens tokens;
};

// A text goal whose "%s[Thing]" token shows the tall house.
void SetThingGoal(CTextGoal& goal, const char* text)
{
    goal.text = text;
    goal.tokens.token1 = "%s[Thing]";
    goal.tokens.image1 = GetSequenceList().GetObject(GetSequenceList().Find("Tall House"));
}

TEST_F(Goals, AnAchievementIsAnnouncedOnlyWhenDrawnAndCountedOnlyTheFirstTimeEver)
{
    WriteOptions("");
    CRevenueGoal goal;
    goal.m_Revenue = 50.0f;
    CGoalLayout layout;
    layout.goalIndex = 2;

    goal.Update(1.0f / 60);
    EXPECT_FALSE(goal.m_AchievedThisTime);
    CGameState::SGetCurrent()->m_RevenueK = 50.0f;
    goal.Update(1.0f / 60);
    EXPECT_TRUE(goal.m_AchievedThisTime);
    EXPECT_FALSE(goal.m_AwardedThisTime) << "nothing is announced before the goal is shown";
    EXPECT_EQ(m_Listener->Count("Optional Goal Achieved"), 0);

    goal.Draw(layout);
    goal.Draw(layout);
    EXPECT_TRUE(goal.m_AwardedThisTime);
    EXPECT_EQ(m_Listener->Count("Optional Goal Achieved"), 1) << "announced once however often drawn";
    EXPECT_EQ(m_Town.statistics, std::vector<uint32_t>{2});
    EXPECT_EQ(m_Town.counted, 1);
    EXPECT_TRUE(goal.TakeStarPending());
    EXPECT_FALSE(goal.TakeStarPending());

    // Achieved in an earlier play: announced again, not counted again.
    CRevenueGoal again;
    again.SetAchievedPreviously();
    again.Update(0.0f);
    again.Draw(layout);
    EXPECT_EQ(m_Listener->Count("Optional Goal Achieved"), 2);
    EXPECT_TRUE(again.IsStarPending());
    EXPECT_EQ(m_Town.statistics.size(), 1u);
    EXPECT_EQ(m_Town.counted, 1);

    // Failing tells the playfield on every call; no playfield, no harm.
    goal.SetFailed();
    goal.SetFailed();
    EXPECT_EQ(m_Listener->Count("Optional Goal Failed"), 2);
    SetCurrentPlayfield(nullptr);
    goal.SetFailed();
    EXPECT_TRUE(goal.m_Failed);
}

TEST_F(Goals, ALineTooWideNarrowsOnlyItsWidestTextRunAndImagesKeepTheirSize)
{
    if (!WriteDefaultFont())
        GTEST_SKIP() << "DejaVuSans is missing (Debian package fonts-dejavu-core)";
    EnumerateFontFiles();
    CFont font;
    // Limit = spacing + max width + content offset x = 2 + 100 + 0.
    WriteOptions("Max Width=100\nContentOffset=0,0");
    auto frame = CFrame::MakeOwned(400, 80, 32);
    CTextGoal goal;
    SetThingGoal(goal, "Build %s[Thing] by the long winding river road %s[Unknown]now");
    ASSERT_NE(goal.tokens.image1, nullptr);

    CGoalLayout layout;
    layout.frame = frame.get();
    layout.font = &font;
    layout.spacing = 2;
    layout.maxImageHeight = 34;
    layout.centreY = 40;
    goal.Draw(layout);

    // Runs: "Build ", the image, the long text, "now" (the unknown token
    // dropped).
    ASSERT_EQ(layout.runIndex, 4u);
    ASSERT_EQ(layout.runs.size(), 4u);
    EXPECT_FALSE(layout.runs[1].isText);
    EXPECT_EQ(layout.runs[1].advance, 10 + 2) << "68 high scaled to 34: 20 wide becomes 10";
    EXPECT_EQ(layout.runs[0].widthLimit, 0);
    EXPECT_EQ(layout.runs[3].widthLimit, 0);
    const int32_t longWidth = font.GetTextWidth("by the long winding river road ") + 2;
    const int32_t measured = font.GetTextWidth("Build ") + 2 + 12 + longWidth + font.GetTextWidth("now") + 2;
    ASSERT_GT(measured, 102);
    EXPECT_EQ(layout.runs[2].widthLimit, longWidth - (measured - 102)) << "only the widest run is narrowed";
    EXPECT_LE(layout.runs[2].advance, layout.runs[2].widthLimit);
    EXPECT_LE(layout.penX, 102 + 2) << "the drawn line fits the panel";

    // A short line is left alone; a token without "]" ends the line.
    CTextGoal shortGoal;
    shortGoal.text = "Go %s[Thing";
    CGoalLayout plain;
    plain.font = &font;
    shortGoal.Draw(plain);
    ASSERT_EQ(plain.runs.size(), 1u);
    EXPECT_EQ(plain.runs[0].widthLimit, 0);
    EXPECT_EQ(plain.penX, font.GetTextWidth("Go "));
}

// A picture taller than the line is drawn as small as the room it takes:
// drawn at its own size it would cover the words after it and stand out of
// its panel.
TEST_F(Goals, ATallPictureIsDrawnAtTheSizeItTakesInTheLine)
{
    WriteOptions("");
    auto frame = CFrame::MakeOwned(80, 80, 32);
    frame->Clear();
    CTextGoal goal;
    SetThingGoal(goal, "%s[Thing]");
    CGoalLayout layout;
    layout.frame = frame.get();
    layout.penX = 30;
    layout.maxImageHeight = 34;
    layout.centreY = 40;
    goal.Draw(layout);
    ASSERT_EQ(layout.runs.size(), 1u);
    EXPECT_EQ(layout.runs[0].advance, 10);
    int32_t left = 80, right = -1, top = 80, bottom = -1;
    for (int32_t y = 0; y < 80; ++y)
        for (int32_t x = 0; x < 80; ++x) {
            CColor pixel;
            if (frame->GetPixel(x, y, pixel) && pixel.GetBlue() > 96) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
    EXPECT_EQ(left, 30);
    EXPECT_EQ(right, 30 + 10 - 1) << "68 high scaled to 34: 20 wide becomes 10";
    EXPECT_EQ(top, 40 - 17);
    EXPECT_EQ(bottom, 40 + 17 - 1);
}

// Spacings and offsets from the goal options at the ends of the int range:
// the line's pen stops at the held end instead of wrapping back into view.
TEST_F(Goals, SpacingsAndOffsetsAtTheEndsOfTheIntRangeHoldThePenThere)
{
    WriteOptions("Spacing=-2147483648\nMax Width=-2147483648\nContentOffset=-2147483648,2147483647");
    auto frame = CFrame::MakeOwned(64, 32, 32);
    CTextGoal goal;
    SetThingGoal(goal, "Build %s[Thing] by the road");
    ASSERT_NE(goal.tokens.image1, nullptr);
    for (const int32_t spacing : {INT32_MAX, INT32_MIN}) {
        SCOPED_TRACE(spacing);
        CGoalLayout layout;
        layout.frame = frame.get();
        layout.spacing = spacing;
        layout.maxImageHeight = 34;
        layout.penX = spacing > 0 ? INT32_MAX - 5 : INT32_MIN + 5;
        layout.centreY = INT32_MIN + 1;
        goal.Draw(layout);
        ASSERT_EQ(layout.runs.size(), 3u);
        EXPECT_EQ(layout.penX, spacing);
        EXPECT_EQ(layout.runs[0].advance, spacing) << "no font: the spacing alone";
        EXPECT_EQ(layout.runs[1].advance, spacing > 0 ? INT32_MAX : 10 + INT32_MIN);
    }
}

TEST_F(Goals, HeartGoalsCountHeartsRoundedUpAndEveryHeartFailsOnAnyLeaverButMayStillSucceed)
{
    WriteOptions("Full Heart Sequence=Heart\nPartial Heart Sequence=Heart\nEveryone Sequence=Dollar");
    CLot* first = AddLot({0, 0});
    CLot* second = AddLot({1, 0});
    CEveryHeartGoal everyone;
    CHeartGoal one;
    one.m_HeartsRequired = 4;

    MoveIn(first, 3.2f);
    Send(everyone, "CCustomerMovedInMessage");
    Send(one, "CCustomerMovedInMessage");
    EXPECT_FALSE(everyone.m_AchievedThisTime) << "a lot stands empty";
    EXPECT_FALSE(everyone.m_Failed);
    EXPECT_TRUE(one.m_AchievedThisTime) << "3.2 hearts left count as 4";

    Send(everyone, "CustomerLeft");
    EXPECT_TRUE(everyone.m_Failed);
    MoveIn(second, 2.5f);
    Send(everyone, "CCustomerMovedInMessage");
    EXPECT_TRUE(everyone.m_AchievedThisTime) << "failing does not stop a later success";

    // Each unhappy resident fails the goal once per move-in.
    CEveryHeartGoal strict;
    strict.m_HeartsRequired = 5;
    const int before = m_Listener->Count("Optional Goal Failed");
    Send(strict, "CCustomerMovedInMessage");
    EXPECT_EQ(m_Listener->Count("Optional Goal Failed") - before, 2);
    EXPECT_FALSE(strict.m_AchievedThisTime);

    // Drawing: the everyone image, then hearts without spacing.
    CGoalLayout layout;
    layout.spacing = 2;
    layout.maxImageHeight = 34;
    strict.Draw(layout);
    ASSERT_EQ(layout.runs.size(), 6u);
    const auto width = [](const char* name) {
        return int32_t(GetSequenceList().GetObject(GetSequenceList().Find(name))->GetCurrentFrame()->GetWidth());
    };
    EXPECT_EQ(layout.runs[0].advance, width("Dollar") + 2);
    for (size_t i = 1; i < 6; ++i)
        EXPECT_EQ(layout.runs[i].advance, width("Heart")) << "hearts sit side by side";

    // A count from data far past any screen: the row stops beyond the
    // screen's edge, by place, or by count where hearts have no picture, and
    // still ends with the partial heart.
    strict.m_HeartsRequired = 1 << 22;
    for (const bool pictured : {true, false}) {
        SCOPED_TRACE(pictured);
        if (!pictured)
            WriteOptions("Everyone Sequence=Dollar");
        CGoalLayout row;
        row.maxImageHeight = 34;
        strict.Draw(row);
        const size_t heartWidth = pictured ? size_t(width("Heart")) : 1;
        EXPECT_GT(row.runs.size(), 32768 / heartWidth);
        EXPECT_LE(row.runs.size(), 32768 / heartWidth + 3);
        EXPECT_GT(row.penX, 32768 * int32_t(pictured));
    }
}

TEST_F(Goals, ATimeGoalShowsNoSecondsLeftAfterItsTimeAndFailsOnceInTheNextUpdate)
{
    WriteOptions("Timer Sequence=Dollar");
    CLevelOptions level;
    GetLevelHolder().HoldCopyOf(&level);
    CLevelOptions* current = CLevelOptions::SGetCurrent();
    ASSERT_NE(current, nullptr);
    SetCurrentPlayfield(&m_Playfield);
    CTimeGoal goal;
    current->m_SecondsPlayed = 59.9f;
    EXPECT_EQ(goal.GetSecondsLeft(), 1);
    goal.Update(1.0f / 60);
    EXPECT_FALSE(goal.m_Failed);

    current->m_SecondsPlayed = 61.0f;
    EXPECT_EQ(goal.GetSecondsLeft(), 0);
    goal.m_TimeGoal = 3e9f;
    EXPECT_EQ(goal.GetSecondsLeft(), INT32_MAX - 61) << "a goal past the int range is held at its end";
    goal.m_TimeGoal = 60.0f;
    goal.Update(1.0f / 60);
    goal.Update(1.0f / 60);
    EXPECT_TRUE(goal.m_Failed);
    EXPECT_EQ(m_Listener->Count("Optional Goal Failed"), 1) << "one failure, not one per step";
    Send(goal, "PlayerInteractionComplete");
    EXPECT_FALSE(goal.m_AchievedThisTime);

    // The clock stands for "%s[clock]"; the seconds are written over it.
    auto frame = CFrame::MakeOwned(200, 40, 32);
    CGoalLayout layout;
    layout.frame = frame.get();
    layout.maxImageHeight = 34;
    layout.centreY = 20;
    goal.Draw(layout);
    layout.penX = 0;
    goal.Draw(layout);
    EXPECT_EQ(layout.runs.size(), 3u) << "a redrawn line is measured afresh";
    EXPECT_TRUE(layout.hasToken1Rect);
    EXPECT_EQ(layout.token1Rect.left, layout.runs[0].advance);

    CTimeGoal inTime;
    current->m_SecondsPlayed = 60.0f;
    Send(inTime, "CustomerLeft");
    EXPECT_FALSE(inTime.m_AchievedThisTime);
    Send(inTime, "PlayerInteractionComplete");
    EXPECT_TRUE(inTime.m_AchievedThisTime);
}

TEST_F(Goals, AtLocationGoalsFollowTheirListedLots)
{
    WriteOptions("");
    CLot* a = AddLot({1, 1});
    CLot* b = AddLot({2, 1});
    CLot* elsewhere = AddLot({5, 5});

    // A listed place without a lot fails at the first move-in.
    CCustomerAtLocationGoal missing;
    missing.m_Customer = 3;
    AddPlace(missing, {9, 9});
    MoveIn(elsewhere, 5.0f, 1);
    Send(missing, "CCustomerMovedInMessage");
    EXPECT_TRUE(missing.m_Failed);
    EXPECT_FALSE(missing.m_AchievedThisTime);
    const int failures = m_Listener->Count("Optional Goal Failed");
    Send(missing, "CCustomerMovedInMessage");
    EXPECT_EQ(m_Listener->Count("Optional Goal Failed"), failures) << "a failed goal stops testing";

    // Without "Require All" one match suffices...
    CCustomerAtLocationGoal any;
    any.m_Customer = 3;
    AddPlace(any, {1, 1});
    AddPlace(any, {2, 1});
    MoveIn(a, 5.0f, 1);
    Send(any, "CCustomerMovedInMessage");
    EXPECT_FALSE(any.m_AchievedThisTime);
    EXPECT_FALSE(any.m_Failed) << "a listed lot is still empty";
    MoveIn(b, 5.0f, 3);
    Send(any, "CCustomerMovedInMessage");
    EXPECT_TRUE(any.m_AchievedThisTime);
    EXPECT_TRUE(any.RefersToCustomer(3));
    EXPECT_FALSE(any.RefersToCustomer(1));

    // ...and every listed lot taken by others fails.
    CCustomerAtLocationGoal others;
    others.m_Customer = 4;
    AddPlace(others, {1, 1});
    AddPlace(others, {2, 1});
    Send(others, "CCustomerMovedInMessage");
    EXPECT_TRUE(others.m_Failed);

    // "Require All": every place must match, another resident fails.
    CCustomerAtLocationGoal all;
    all.m_Customer = 3;
    all.m_RequireAll = true;
    AddPlace(all, {1, 1});
    AddPlace(all, {2, 1});
    Send(all, "CCustomerMovedInMessage");
    EXPECT_TRUE(all.m_Failed);
    EXPECT_FALSE(all.m_AchievedThisTime);

    // Placed where the goal does not list it.
    CCustomerAtLocationGoal strict;
    strict.m_Customer = 1;
    strict.m_FailIfPlacedAnywhereElse = true;
    AddPlace(strict, {1, 1});
    MoveIn(elsewhere, 5.0f, 1);
    Send(strict, "CCustomerMovedInMessage");
    EXPECT_TRUE(strict.m_Failed);

    // Hovering marks the listed lots and highlights the customers meant.
    CCustomer* meant = NewCustomer(5.0f, 3);
    CCustomer* other = NewCustomer(5.0f, 1);
    for (CCustomer* waiting : {meant, other}) {
        auto* sprite = new CSprite;
        sprite->AddAI(waiting);
        m_Playfield.AddSprite(sprite, "Customers");
    }
    CGoalLayout layout;
    layout.hovered = true;
    any.m_AchievedThisTime = false;
    any.Draw(layout);
    EXPECT_TRUE(a->m_IsGoalLocation);
    EXPECT_TRUE(b->m_IsGoalLocation);
    EXPECT_FALSE(elsewhere->m_IsGoalLocation);
    EXPECT_EQ(meant->GetHighlightCountdown(), 6u);
    EXPECT_EQ(other->GetHighlightCountdown(), 0u);
}

TEST_F(Goals, OldGoalTextsAreMendedWhenRead)
{
    const std::string text =
        ObjectText("CCustomerAtLocationGoal", "Location Description=the old mill\nText=%s[Thing] by %s[LegacyText]");
    std::unique_ptr<CObject> object(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Fatal));
    ASSERT_NE(object, nullptr);
    auto* goal = dynamic_cast<CCustomerAtLocationGoal*>(object.get());
    ASSERT_NE(goal, nullptr);
    EXPECT_STREQ(goal->m_Text.GetText().GetString(), "%s[Person] by the old mill");
    EXPECT_TRUE(goal->m_LegacyText.GetText().IsEmpty());
}

TEST_F(Goals, TextVariablesAndDescriptionsGiveWholeDollars)
{
    WriteOptions("");
    CRevenueGoal goal;
    goal.m_Revenue = 1234.5f;
    CJString description;
    goal.GetDescription(description);
    EXPECT_STREQ(description.GetString(), "Revenue >= $1,234,500");

    CLevelOptions level;
    level.m_RequiredRevenue = 30.0f;
    GetLevelHolder().HoldCopyOf(&level);
    CLevelOptions* current = CLevelOptions::SGetCurrent();
    ASSERT_NE(current, nullptr);
    current->m_PendingRevenue = 0.25f;
    CGameState::SGetCurrent()->m_RevenueK = 1234.0f;
    CTextSubstitutionList list;
    AddGoalTextVariables(list);
    EXPECT_STREQ(list.Apply("%s[Revenue]/%s[Goal1]/%s[RevenueChanging]/%s[Has3Goals]").GetString(),
                 "1,233,750/30,000/1/0")
        << "money written as every screen writes it";
}

TEST_F(Goals, MissingGoalOptionsStopTheGameWhenAGoalIsFirstDrawn)
{
    WriteBytes("Resources/Rules.Object.txt", ObjectText("CGoalOptions", ""));
    InitGeneralObjects();
    CRevenueGoal goal;
    CGoalLayout layout;
    EXPECT_EXIT(goal.Draw(layout), testing::ExitedWithCode(255), "\"Goal Options\"");
}

TEST_F(Goals, TheGoalOverlayShowsItsGoalInTheLookOfItsStateAndStarsItOnceWhenAwarded)
{
    WriteTga("Resources/Sequences/-Panel Open/0001.tga", 40, 20, 0xFFFF0000u);
    WriteTga("Resources/Sequences/-Panel Done/0001.tga", 40, 20, 0xFF00FF00u);
    WriteTga("Resources/Sequences/-StarGoalEffect/0001.tga", 4, 4);
    WriteOptions("Background Sequence=Panel Open\nAchived Sequence=Panel Done\nFailed Sequence=Panel Open");
    CLevelOptions level;
    GetLevelHolder().HoldCopyOf(&level);
    CLevelOptions* current = CLevelOptions::SGetCurrent();
    ASSERT_NE(current, nullptr);
    auto* goals = static_cast<CPropertyArrayProperty*>(
        CLevelOptions::SGetClassInfo()->FindProperty("Optional Goals List"));
    goals->ArrayProperty_SetCount(current, 1);
    auto* goal = new CRevenueGoal;
    goal->m_Revenue = 5.0f;
    current->m_OptionalGoals[0] = goal;
    SetCurrentPlayfield(&m_Playfield);

    auto canvas = CFrame::MakeOwned(120, 60, 32);
    CFrameOverlayDrawContext context;
    context.m_pTarget = canvas.get();
    CFrameOverlayGoalOverlay overlay;
    overlay.m_Positon = {30, 10};
    const auto red = [&canvas](int32_t x, int32_t y) {
        CColor pixel;
        canvas->GetPixel(x, y, pixel);
        return pixel.GetRed();
    };
    const auto green = [&canvas](int32_t x, int32_t y) {
        CColor pixel;
        canvas->GetPixel(x, y, pixel);
        return pixel.GetGreen();
    };

    overlay.Draw(context);
    EXPECT_EQ(red(32, 12), 255) << "an open goal shows the open panel";
    EXPECT_EQ(red(60, 40), 0);

    CGameState::SGetCurrent()->m_RevenueK = 5.0f;
    goal->Update(0.0f);
    overlay.Draw(context);
    EXPECT_EQ(green(32, 12), 255) << "an achieved goal shows the achieved panel";
    EXPECT_TRUE(goal->m_AwardedThisTime);
    CPlayfieldLayer* effects = m_Playfield.FindLayer("Effects");
    ASSERT_NE(effects, nullptr);
    EXPECT_EQ(effects->GetSpriteCount(), 1u);
    overlay.Draw(context);
    EXPECT_EQ(effects->GetSpriteCount(), 1u) << "one star per award";
    EXPECT_EQ(m_Listener->Count("Optional Goal Achieved"), 1);

    // A number past the level's goals draws nothing, except for the editor.
    auto blank = CFrame::MakeOwned(120, 60, 32);
    context.m_pTarget = blank.get();
    overlay.m_GoalNumber = 3;
    overlay.Draw(context);
    CColor pixel;
    blank->GetPixel(32, 12, pixel);
    EXPECT_EQ(pixel.GetRed(), 0);
    context.m_bShowMarkers = true;
    overlay.Draw(context);
    blank->GetPixel(32, 12, pixel);
    EXPECT_EQ(pixel.GetRed(), 255) << "the editor sees the open panel";

    // A damaged place at the ends of the range draws nothing on the canvas,
    // its guide lines and the mouse test included.
    for (const CPoint place : {CPoint{INT32_MIN, INT32_MIN}, CPoint{INT32_MAX, INT32_MAX}}) {
        auto far = CFrame::MakeOwned(120, 60, 32);
        context.m_pTarget = far.get();
        context.m_MouseX = 5;
        context.m_MouseY = 5;
        overlay.m_Positon = place;
        overlay.Draw(context);
        for (int32_t y = 0; y < 60; ++y)
            for (int32_t x = 0; x < 120; ++x) {
                far->GetPixel(x, y, pixel);
                ASSERT_EQ(pixel.GetAlpha(), 0) << x << "," << y;
            }
    }

    // A content offset at the ends of the range reaches the panel's proxy
    // held there: the line lands nowhere on the canvas, only the panel does
    // (centred on the place).
    context.m_bShowMarkers = false;
    overlay.m_GoalNumber = 0;
    for (const int32_t end : {INT32_MAX - 7, INT32_MIN + 7}) {
        SCOPED_TRACE(end);
        WriteOptions("Background Sequence=Panel Open\nAchived Sequence=Panel Done\nRevenue Sequence=Dollar\n"
                     "ContentOffset="
                     + std::to_string(end) + "," + std::to_string(end));
        auto strip = CFrame::MakeOwned(120, 60, 32);
        context.m_pTarget = strip.get();
        overlay.m_Positon = end > 0 ? CPoint{30, 10} : CPoint{-1000, -1000};
        overlay.Draw(context);
        for (int32_t y = 0; y < 60; ++y)
            for (int32_t x = 0; x < 120; ++x) {
                strip->GetPixel(x, y, pixel);
                ASSERT_EQ(pixel.GetAlpha() != 0, end > 0 && CRect({10, 0, 50, 20}).ContainsPoint(x, y))
                    << x << "," << y;
            }
    }
}

TEST_F(Goals, PartGoalsFollowThePartNowInTheirSlot)
{
    WriteOptions("");
    WriteBytes("Resources/Rules.Object.txt", ObjectText("CRules", ""));
    WriteBytes("Resources/Slots/!None.UpgradeSlot.txt", ObjectText("CUpgradeSlot", ""));
    WriteBytes("Resources/Slots/Garage A.UpgradeSlot.txt", ObjectText("CUpgradeSlot", ""));
    WriteBytes("Resources/Phases/Frame.BuildPhase.txt", ObjectText("CBuildPhase", "Name=Frame"));
    WriteBytes("Resources/Phases/Garage.BuildPhase.txt", ObjectText("CBuildPhase", "Name=Garage"));
    WriteBytes("Resources/Upgrades/!None.Upgrade.txt", ObjectText("CUpgrade", "Upgrade Cost=0"));
    WriteBytes("Resources/Upgrades/Carport.Upgrade.txt",
               ObjectText("CBuildablePart", "Name=Carport\nUpgrade Slot=Garage A\nBuild Phase=Garage\n"
                                      "Build Button Appearance=Dollar"));
    InitGeneralObjects();
    GetUpgradeSlotList().SetSource(nullptr, "Resources", 0);
    GetBuildPhaseList().SetSource(nullptr, "Resources", 0);
    GetUpgradeList().SetSource(nullptr, "Resources", 0);
    const int32_t slot = GetUpgradeSlotList().Find("Garage A");
    const int32_t carport = GetUpgradeList().Find("Carport");
    const int32_t garage = GetBuildPhaseList().Find("Garage");
    ASSERT_GT(carport, 0);

    CXInARowGoal row;
    row.m_UpgradeSlot = slot;
    row.m_NumberOfLotsInARow = 3;
    CBuildableAtLocationGoal near;
    near.m_UpgradeSlot = slot;
    AddPlace(near, {4, 2});
    CLot* lot = AddLot({4, 2});
    auto* parts = static_cast<CPropertyArrayProperty*>(CBuildablePackage::SGetClassInfo()->FindProperty("Parts List"));
    parts->ArrayProperty_SetCount(lot->GetBuilding(), uint32_t(garage) + 1);
    lot->GetBuilding()->m_Parts[uint32_t(garage)] = carport;
    m_MessageLot = lot;
    m_InARowPhase = garage;
    m_InARow = 3;

    // Nothing in the slot yet: no run counts, nothing is laid out.
    Send(row, "CXInARowCheckMessage");
    EXPECT_FALSE(row.m_AchievedThisTime);
    CGoalLayout empty;
    row.Draw(empty);
    EXPECT_TRUE(empty.runs.empty());

    CGameState* state = CGameState::SGetCurrent();
    state->ReceiveUpgrade(carport);
    ASSERT_EQ(state->GetUpgradeInSlot(slot), carport);
    CJString description;
    row.GetDescription(description);
    EXPECT_STREQ(description.GetString(), "3 Carport in a row");
    m_InARow = 2;
    Send(row, "CXInARowCheckMessage");
    Send(row, "CCustomerMovedInMessage");
    EXPECT_FALSE(row.m_AchievedThisTime) << "two alike are not three";
    m_InARow = 3;
    Send(row, "CXInARowCheckMessage");
    EXPECT_TRUE(row.m_AchievedThisTime);

    // The part's appearance stands in for "%s[Thing]" (its build button
    // when it has no goal picture).
    CGoalLayout layout;
    layout.maxImageHeight = 34;
    row.Draw(layout);
    ASSERT_EQ(layout.runs.size(), 3u) << "\"3 \", the picture, \" in a row\"";
    EXPECT_TRUE(layout.runs[0].isText);
    EXPECT_FALSE(layout.runs[1].isText);
    EXPECT_GT(layout.runs[1].advance, 0);

    // A lot holding the part at the listed place, once someone lives there.
    Send(near, "CCustomerMovedInMessage");
    EXPECT_FALSE(near.m_AchievedThisTime);
    EXPECT_FALSE(near.m_Failed);
    MoveIn(lot, 1.0f);
    Send(near, "CCustomerMovedInMessage");
    EXPECT_TRUE(near.m_AchievedThisTime);

    state->RemoveUpgrade(carport);
    for (CObjectFileArray* list : {static_cast<CObjectFileArray*>(&GetUpgradeList()),
                                   static_cast<CObjectFileArray*>(&GetUpgradeSlotList()),
                                   static_cast<CObjectFileArray*>(&GetBuildPhaseList())}) {
        list->RemoveAll();
        list->SetSource(nullptr, "Nowhere", 0);
    }
}

} // namespace
