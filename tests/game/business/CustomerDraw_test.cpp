// What a player sees of a customer: the heart row, the balloon and what it
// holds, the angry flash, and which pixels count as the customer when it is
// clicked.
#include "game/business/CCustomer.h"

#include "BusinessLevelTest.h"
#include "blit/CColor.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomerOptions.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CUpgrade.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameState.h"
#include "images/CFrame.h"
#include "render/CProxyFrame.h"
#include "sequences/CSequenceList.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

namespace {

constexpr uint32_t kRed = 0xFFFF0000u;   // full heart
constexpr uint32_t kBlue = 0xFF0000FFu;  // empty heart
constexpr uint32_t kGreen = 0xFF00FF00u; // empty heart, warning
constexpr uint32_t kGrey = 0xFF808080u;  // the customer
constexpr uint32_t kWhite = 0xFFFFFFFFu; // balloon
constexpr uint32_t kYellow = 0xFFFFFF00u; // need menu
constexpr uint32_t kCyan = 0xFF00FFFFu;  // highlight

uint32_t Argb(const CFrame& frame, int32_t x, int32_t y)
{
    CColor pixel;
    frame.GetPixel(x, y, pixel);
    return uint32_t(pixel.GetAlpha()) << 24 | uint32_t(pixel.GetRed()) << 16 | uint32_t(pixel.GetGreen()) << 8
        | pixel.GetBlue();
}

class CustomerDrawing : public BusinessLevelTest {
protected:
    void SetUp() override
    {
        BusinessLevelTest::SetUp();
        Solid("Heart Full", 12, 8, kRed);
        Solid("Heart Empty", 12, 8, kBlue);
        Solid("Heart Empty Warning", 12, 8, kGreen);
        Solid("Caption", 40, 20, kWhite);
        Solid("Need Menu", 10, 10, kYellow);
        Solid("Glow", 30, 40, kCyan);
        Solid("Furious", 20, 30, 0xFFFF00FFu);
        // The customer: a grey 20 x 30 figure whose left 5 columns are clear.
        WritePixelsTga("Resources/Sequences/-Customer/0001.tga", 20, 30,
                       [](uint32_t x, uint32_t) { return x < 5 ? 0u : kGrey; });
        WriteObject("Customer Options.Object.txt", "CCustomerOptions", m_OptionLines);
        WriteObject("Customers/!None.Customer.txt", "CCustomerStyleSheet");
        WriteObject("Customers/Plain.Customer.txt", "CCustomerStyleSheet", "Appearance=Customer\n");
        WriteObject("Customers/Steaming.Customer.txt", "CCustomerStyleSheet",
                    "Appearance=Customer\nAngry Background=Furious\n");
    }
    void Solid(const std::string& name, uint32_t width, uint32_t height, uint32_t argb)
    {
        WritePixelsTga("Resources/Sequences/-" + name + "/0001.tga", width, height,
                       [argb](uint32_t, uint32_t) { return argb; });
    }
    void Start(const std::string& extraOptions = "")
    {
        if (!extraOptions.empty())
            WriteObject("Customer Options.Object.txt", "CCustomerOptions", m_OptionLines + extraOptions);
        ASSERT_NE(StartLevel(), nullptr);
        ASSERT_EQ(GetCustomerStyleSheetList().Find("Steaming"), 2);
    }
    // A customer of the style standing at (x, y), owned by the test.
    CCustomer& AddCustomer(float x, float y, int32_t style = 1)
    {
        m_Sprite = std::make_unique<CSprite>();
        auto* customer = new CCustomer;
        customer->m_CustomerStyleSheet = style;
        m_Sprite->AddAI(customer);
        m_Sprite->SetImageSequence(uint32_t(GetSequenceList().Find("Customer")));
        m_Sprite->SetPosition(x, y);
        return *customer;
    }
    std::unique_ptr<CFrame> DrawRow(float hearts)
    {
        auto canvas = CFrame::MakeOwned(80, 12, 32);
        CCustomer customer;
        customer.DrawHeartRow(*canvas, hearts, CFPoint{10.0f, 6.0f});
        return canvas;
    }
    std::unique_ptr<CFrame> DrawSprite(uint32_t width = 200, uint32_t height = 200)
    {
        auto canvas = CFrame::MakeOwned(width, height, 32);
        m_Sprite->DrawAllPasses(*canvas);
        return canvas;
    }

    // Grouped keys are written by their last part.
    std::string m_OptionLines = "Offset Between Hearts=14,0\nFirst Heart Offset=0,40\nBox Offset=30,-30\n"
                                "Customer Highlight Sequence=Glow\nCustomer Highlight Offset=-5,-5\n";
    std::unique_ptr<CSprite> m_Sprite;
};

// Sequence frames carry their hot spot at their centre: a 12 x 8 heart
// drawn at (10, 6) covers columns 4 to 15, the next 14 further right.
TEST_F(CustomerDrawing, AHeartRowDrawsCeilHeartsWithTheLastCutToItsFractionAndNothingForLostOnes)
{
    Start();
    // Half a heart: the left 6 of 12 columns full, the rest the warning back.
    auto half = DrawRow(0.5f);
    EXPECT_EQ(Argb(*half, 4, 5), kRed);
    EXPECT_EQ(Argb(*half, 9, 5), kRed);
    EXPECT_EQ(Argb(*half, 10, 5), kGreen) << "at or below the getting-mad mark the back warns";
    EXPECT_EQ(Argb(*half, 15, 5), kGreen);
    EXPECT_EQ(Argb(*half, 18, 5), 0u) << "no second heart";

    auto none = DrawRow(0.0f);
    for (int32_t x = 0; x < 80; ++x)
        ASSERT_EQ(Argb(*none, x, 5), 0u) << "at 0 hearts nothing is drawn, x " << x;

    // 3.25 hearts: three whole, then a quarter (3 columns) over the plain back.
    auto row = DrawRow(3.25f);
    EXPECT_EQ(Argb(*row, 43, 5), kRed);
    EXPECT_EQ(Argb(*row, 46, 5), kRed);
    EXPECT_EQ(Argb(*row, 48, 5), kRed);
    EXPECT_EQ(Argb(*row, 49, 5), kBlue);
    EXPECT_EQ(Argb(*row, 57, 5), kBlue);
    EXPECT_EQ(Argb(*row, 60, 5), 0u) << "lost hearts are not drawn";

    auto warned = DrawRow(1.5f);
    EXPECT_EQ(Argb(*warned, 23, 5), kRed);
    EXPECT_EQ(Argb(*warned, 24, 5), kGreen);
}

TEST_F(CustomerDrawing, HeartsThatAreNotANumberOrEndlessDrawNothingAndAHugeRowStops)
{
    Start();
    for (float hearts : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), -3.0f}) {
        auto canvas = DrawRow(hearts);
        EXPECT_EQ(Argb(*canvas, 4, 5), 0u) << hearts;
        EXPECT_EQ(Argb(*canvas, 10, 5), 0u) << hearts;
    }
    // What 90 s over a tiny "Hearts/Seconds Per Hearts" gives: a bounded row.
    auto huge = DrawRow(9.0e20f);
    EXPECT_EQ(Argb(*huge, 4, 5), kRed);
    EXPECT_EQ(Argb(*huge, 74, 5), kRed);
}

// The customer, 20 x 30, stands at (100, 100): columns 90 to 109 (90 to 94
// clear), rows 85 to 114.
TEST_F(CustomerDrawing, TheBalloonNeedMenuAndHighlightShowOnlyWhileTheCustomerStandsInLine)
{
    Start();
    CCustomer& customer = AddCustomer(100.0f, 100.0f);
    auto waiting = DrawSprite();
    EXPECT_EQ(Argb(*waiting, 130, 70), kWhite) << "the balloon at the box offset";
    EXPECT_EQ(Argb(*waiting, 100, 100), kYellow) << "need menu at the customer's origin, over its image";
    EXPECT_EQ(Argb(*waiting, 106, 110), kGrey);
    EXPECT_EQ(Argb(*waiting, 82, 80), 0u) << "no highlight";

    customer.m_Highlighted = true;
    auto highlighted = DrawSprite();
    EXPECT_EQ(Argb(*highlighted, 82, 80), kCyan) << "the highlight around the customer";
    EXPECT_EQ(Argb(*highlighted, 106, 110), kGrey) << "and under it";

    customer.m_CustomerState = CCustomer::kInVictoryPose;
    auto posing = DrawSprite();
    EXPECT_EQ(Argb(*posing, 130, 70), kWhite) << "the balloon stays during the pose";
    EXPECT_EQ(Argb(*posing, 100, 100), kGrey) << "but not what it holds";

    for (int32_t state : {CCustomer::kMovingIn, CCustomer::kArrivedHome}) {
        customer.m_CustomerState = state;
        auto walking = DrawSprite();
        EXPECT_EQ(Argb(*walking, 130, 70), 0u) << "no balloon in state " << state;
        EXPECT_EQ(Argb(*walking, 106, 110), kGrey);
    }
}

TEST_F(CustomerDrawing, TheGrabTestSeesTheCustomersOwnImageAloneAndLeavesTheSwitchOff)
{
    Start();
    CCustomer& customer = AddCustomer(100.0f, 100.0f);
    customer.m_Highlighted = true;
    EXPECT_TRUE(customer.IsOpaqueAt(106, 110));
    EXPECT_TRUE(customer.IsOpaqueAt(100, 114));
    EXPECT_FALSE(customer.IsOpaqueAt(92, 100)) << "the clear columns of the figure";
    EXPECT_FALSE(customer.IsOpaqueAt(100, 115));
    EXPECT_FALSE(customer.IsOpaqueAt(135, 75)) << "not the balloon";
    EXPECT_FALSE(customer.IsOpaqueAt(82, 80)) << "not the highlight";
    EXPECT_TRUE(m_Sprite->HitTest(135, 75)) << "the sprite's own hit test sees the balloon";
    EXPECT_FALSE(IsCustomerHitTestDrawing());

    // Moved, the figure is found where it stands now.
    m_Sprite->SetPosition(20.0f, 40.0f);
    EXPECT_TRUE(customer.IsOpaqueAt(26, 41));
    EXPECT_FALSE(customer.IsOpaqueAt(106, 110));
}

// The angry background shows through the clear columns of the figure.
TEST_F(CustomerDrawing, TheAngryBackgroundFlashesBelowTheDurationAndNeverWithoutAnInterval)
{
    // Patience 90 s under the default 500 s: it flashes from the start, one
    // flash a second, clear at the whole seconds and solid at the halves.
    Start("Angry Flash Ease In Out=0\n");
    CCustomer& customer = AddCustomer(100.0f, 100.0f, 2);
    customer.m_CustomerState = CCustomer::kInVictoryPose; // nothing in the balloon
    auto seen = [&](float waited) {
        customer.m_TimeWaited = waited;
        return Argb(*DrawSprite(), 92, 100);
    };
    EXPECT_EQ(seen(0.0f), 0u);
    EXPECT_EQ(seen(0.5f), 0xFFFF00FFu);
    const uint32_t quarter = seen(0.25f) >> 24;
    EXPECT_GE(quarter, 120u) << "half strength a quarter second in";
    EXPECT_LE(quarter, 135u);
    EXPECT_EQ(seen(1.0f), 0u);

    customer.m_CustomerStyleSheet = 1;
    EXPECT_EQ(seen(0.5f), 0u) << "a style without an angry background never flashes";

    Start("Angry Flash Interval=0\n");
    CCustomer& still = AddCustomer(100.0f, 100.0f, 2);
    still.m_CustomerState = CCustomer::kInVictoryPose;
    still.m_TimeWaited = 30.0f;
    EXPECT_EQ(Argb(*DrawSprite(), 92, 100), 0u) << "no interval: no flash, and no NaN";

    Start("Angry Flash Duration=20\n");
    CCustomer& calm = AddCustomer(100.0f, 100.0f, 2);
    calm.m_CustomerState = CCustomer::kInVictoryPose;
    calm.m_TimeWaited = 69.5f;
    EXPECT_EQ(Argb(*DrawSprite(), 92, 100), 0u) << "20.5 s left: not yet";
    calm.m_TimeWaited = 70.5f;
    EXPECT_EQ(Argb(*DrawSprite(), 92, 100), 0xFFFF00FFu);
}

// An ordered garage (scale 1) and pond (scale 0) drawn centred on the wanted
// items offset plus the phase's place in the balloon.
TEST_F(CustomerDrawing, TheOrderShowsEachPhasesPartCentredAndScaledInTheDrawOrder)
{
    Solid("Car", 20, 20, kGreen);
    Solid("Pond", 20, 20, kBlue);
    WriteObject("Phases/Garage.BuildPhase.txt", "CBuildPhase",
                "Name=Garage\nCustomer Wanted Scale=1\nCustomer Wanted Position=10,0\n");
    WriteObject("Phases/Yard.BuildPhase.txt", "CBuildPhase",
                "Name=Yard\nCustomer Wanted Scale=0\nCustomer Wanted Position=-40,0\n");
    WriteObject("Upgrades/Carport.Upgrade.txt", "CBuildablePart", "Name=Carport\nAppearance=Car\nBuild Phase=Garage\n");
    WriteObject("Upgrades/Pond.Upgrade.txt", "CBuildablePart", "Name=Pond\nAppearance=Pond\nBuild Phase=Yard\n");
    Start("Build Phase Draw Order=Array\n{\nItem Count=2\nBuild Phase=Yard\nBuild Phase=Garage\n}\n");
    CCustomer& customer = AddCustomer(100.0f, 150.0f);
    auto* order = new CBuildablePackage;
    order->ResetToDefaults();
    SetParts(*order, "Parts List", order->m_Parts,
             {0, GetUpgradeList().Find("Carport"), GetUpgradeList().Find("Pond")});
    customer.m_PackageWanted = order;

    // The garage centred on (100 + 70 + 10, 150 - 78): columns 170 to 189.
    auto canvas = DrawSprite();
    EXPECT_EQ(Argb(*canvas, 170, 62), kGreen);
    EXPECT_EQ(Argb(*canvas, 189, 81), kGreen);
    EXPECT_EQ(Argb(*canvas, 169, 72), 0u);
    EXPECT_EQ(Argb(*canvas, 190, 72), 0u);
    EXPECT_EQ(Argb(*canvas, 130, 72), 0u) << "a phase of scale 0 is left out";
    EXPECT_EQ(Argb(*canvas, 100, 150), kGrey) << "an ordering customer shows no need menu";

    // Half size about the same centre: columns 175 to 184.
    GetBuildPhaseAt(1)->m_CustomerWantedScale = 0.5f;
    auto half = DrawSprite();
    EXPECT_EQ(Argb(*half, 176, 72), kGreen);
    EXPECT_EQ(Argb(*half, 183, 68), kGreen);
    EXPECT_EQ(Argb(*half, 172, 72), 0u);
    EXPECT_EQ(Argb(*half, 187, 72), 0u);
}

TEST_F(CustomerDrawing, AWaitingCustomerShowsTheGreetersPictureWhileAGreeterHoldsItsSlot)
{
    Solid("Phone", 10, 10, kBlue);
    WriteObject("Slots/Greeter.UpgradeSlot.txt", "CUpgradeSlot");
    WriteObject("Upgrades/Receptionist.Upgrade.txt", "CGreeterUpgrade",
                "Upgrade Slot=Greeter\nAppearance=Phone\nAnswering On Customer Offset=-40,0\n");
    WriteObject("Upgrades/Bell.Upgrade.txt", "CUpgrade", "Upgrade Slot=Greeter\nAppearance=Phone\n");
    Start();
    CGameState* state = CGameState::SGetCurrent();
    ASSERT_NE(state, nullptr);
    AddCustomer(100.0f, 100.0f);
    state->ReceiveUpgrade(GetUpgradeList().Find("Receptionist"));
    auto greeted = DrawSprite();
    EXPECT_EQ(Argb(*greeted, 60, 100), kBlue) << "the greeter's picture at its offset";
    EXPECT_EQ(Argb(*greeted, 100, 100), kGrey) << "instead of the need menu";

    state->ReceiveUpgrade(GetUpgradeList().Find("Bell"));
    auto other = DrawSprite();
    EXPECT_EQ(Argb(*other, 60, 100), 0u) << "another kind of upgrade in the slot shows nothing";
    EXPECT_EQ(Argb(*other, 100, 100), kGrey);
}

} // namespace
