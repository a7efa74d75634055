// The shop over a small data set of its own: what each slot offers and
// holds, the stickers, the values the shop set is filled with, buying and
// returning, the ways out, the mouse on the buttons and the shopping
// tutorial's delay.
#include "../business/BusinessLevelTest.h"

#include "blit/CColor.h"
#include "game/business/CPacifierUpgrade.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/screens/CShop.h"
#include "game/screens/CStats.h"
#include "game/screens/CTutorialPopUp.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CRules.h"
#include "game/world/CTutorial.h"
#include "game/world/WorldHooks.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"
#include "support/ScopedHooks.h"
#include "ui/CJButton.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::string ShopMarker(const char* id, const char* position, const char* extra = "")
{
    return std::string("Array Item=CShoppingPositionMarkerFrameOverlay\n{\nID=") + id + "\nPosition=" + position +
           "\nSize=40,40\nImage Sequence=Slot On\nHover Sequence=Glow\n" + extra + "}\n";
}

std::string Button(const char* id, const char* position)
{
    return std::string("Array Item=CFrameOverlayButton\n{\nID=") + id + "\nTitle=" + id + "\nPosition=" + position +
           "\nSize=80,30\n}\n";
}

std::string CloseUp(const char* id, const char* position)
{
    return std::string("Array Item=CBuildableItemFrameOverlay\n{\nID=") + id + "\nPositon=" + position +
           "\nScale=2\n}\n";
}

std::string Corner(const char* position)
{
    return std::string("Array Item=CFrameOverlayPositionMarker\n{\nID=Corner\nPosition=") + position +
           "\nSize=4,4\n}\n";
}

// Keeps the state the shop stores before the level.
class CStoredStateHooks : public CGameScreensHooks {
public:
    void StoreStateBeforeLevel(CGameState* copy) override { stored.reset(copy); }
    std::unique_ptr<CGameState> stored;
};

class Shop : public BusinessLevelTest {
protected:
    void SetUp() override
    {
        BusinessLevelTest::SetUp();
        WriteTga("Resources/Sequences/-Slot On/0001.tga", 40, 40, 0xFF3060FFu);
        WriteTga("Resources/Sequences/-Slot Off/0001.tga", 40, 40, 0xFF404040u);
        WriteTga("Resources/Sequences/-Glow/0001.tga", 60, 60, 0xFF00FF00u);
        WriteSequence("Look", 16, 16);
        WriteTga("Resources/Sequences/-Big/0001.tga", 20, 10, 0xFFFF0000u);
        WriteObject("Frame Overlay Options/Shopping Overlay.FOO", "CFrameOverlayOptions",
                    "Text Overlays=Array\n{\n" + ShopMarker("Frame A", "100,100") + ShopMarker("Crew A", "300,100") +
                        ShopMarker("Pacifier A", "500,100") + Button("Quit", "900,700") +
                        Button("Return", "100,700") + Button("Buy", "200,700") + Button("Back", "300,700") +
                        Button("Close", "400,700") + CloseUp("Upgrade", "600,400") + CloseUp("Own", "800,400") +
                        "}");
        for (const char* sticker : {"Shopping New Upgrade Overlay", "Shopping Old Upgrade Overlay",
                                    "Shopping Unaffordable Upgrade Overlay"})
            WriteObject("Frame Overlay Options/" + std::string(sticker) + ".FOO", "CFrameOverlayOptions",
                        "Text Overlays=Array\n{\n" + Corner("10,10") + "}");
        const std::string slot = "Buy Button Background=Slot Off\nBuy Button Disabled=Slot Off\n";
        for (const char* name : {"Frame A", "Crew A", "Pacifier A", "Lonely"})
            WriteObject("Slots/" + std::string(name) + ".UpgradeSlot.txt", "CUpgradeSlot", slot);
        WriteObject("Slots/Hidden.UpgradeSlot.txt", "CUpgradeSlot", "Buy Button Disabled=Slot Off");
        WriteObject("Phases/Frame.BuildPhase.txt", "CBuildPhase", "Name=Frame");
        const std::string part = "Upgrade Slot=Frame A\nBuild Phase=Frame\nBuild Button Appearance=Look\n";
        WriteObject("Upgrades/A Free Walls.Upgrade.txt", "CBuildablePart", part + "Upgrade Cost=0");
        WriteObject("Upgrades/B Walls.Upgrade.txt", "CBuildablePart",
                    part + "Buy Close Up Sequence=Big\nName=Walls\nDescription=Plain walls\nOwn It Description=Your walls\n"
                           "Upgrade Cost=2\nResale Value=1.5");
        WriteObject("Upgrades/C Bricks.Upgrade.txt", "CBuildablePart",
                    part + "Name=Bricks\nUpgrade Cost=3\nStars Required=2");
        WriteObject("Upgrades/Crew.Upgrade.txt", "CCrewUpgrade", "Upgrade Slot=Crew A\nUpgrade Cost=1\nBuild Phase=Frame");
        WriteObject("Upgrades/Calm.Upgrade.txt", "CPacifierUpgrade",
                    "Upgrade Slot=Pacifier A\nUpgrade Cost=0.5\nNumber Of Uses=3");
        WriteObject("Upgrades/Lone.Upgrade.txt", "CBuildablePart", "Upgrade Slot=Lonely\nUpgrade Cost=1");
        ASSERT_NE(StartLevel(), nullptr);
        State().m_SpendableMoneyK = 2.0f;
        m_Shop = new CShopWindow;
        CreateShopButtons();
    }
    void TearDown() override
    {
        if (GetShopWindow())
            GetShopWindow()->Destroy();
        GetTutorialList().RemoveAll();
        GetTutorialList().SetSource(nullptr, "Nowhere", 0);
        SetCurrentLevelIndex(0);
        CStats::SShutdown();
        BusinessLevelTest::TearDown();
    }
    static CGameState& State() { return *CGameState::SGetCurrent(); }
    // The tutorial pop-ups open on the playfield, oldest first.
    static std::vector<int32_t> TutorialsShown()
    {
        std::vector<int32_t> shown;
        CPlayfieldLayer* effects = GetCurrentPlayfield()->FindLayer("Effects");
        for (uint32_t i = 0; effects && i < effects->GetSpriteCount(); ++i)
            if (CSpriteAI* ai = effects->GetSprite(i)->FindAI(CTutorialPopUpSpriteAI::SGetClassInfo()))
                shown.push_back(static_cast<CTutorialPopUpSpriteAI*>(ai)->m_Tutorial);
        return shown;
    }
    // The shop set drawn by itself, as any caller but the shop draws it: is
    // the close-up's red there?
    static bool SetDrawnAloneIsRedAt(int32_t x, int32_t y)
    {
        CFrame alone;
        alone.Create(1024, 768, 32);
        FindFrameOverlayOptions("Shopping Overlay")->DrawOnFrame(alone, nullptr, false, nullptr);
        CColor colour;
        alone.GetPixel(x, y, colour);
        return colour.GetRed() == 255 && colour.GetGreen() == 0 && colour.GetBlue() == 0;
    }
    static int32_t Upgrade(const char* name) { return GetUpgradeList().Find(name); }
    static int32_t Slot(const char* name) { return GetUpgradeSlotList().Find(name); }
    CShoppingUpgradeButton* ButtonOf(const char* slot)
    {
        CPlayfieldLayer* layer = m_Level->GetPlayfield().FindLayer("UI");
        for (uint32_t i = 0; layer && i < layer->GetSpriteCount(); ++i)
            if (auto* button = dynamic_cast<CShoppingUpgradeButton*>(layer->GetSprite(i)->GetAI()))
                if (button->m_UpgradeSlot == Slot(slot))
                    return button;
        return nullptr;
    }
    CJString Shown(const char* key)
    {
        CTextSubstitutionList values;
        m_Shop->FillSubstitutions(values);
        return values.Apply(CJString(key));
    }
    void Select(const char* slot)
    {
        SetShopSelectedSlot(Slot(slot));
        m_Shop->SlotClicked();
    }
    CShopWindow* m_Shop = nullptr;
};

TEST_F(Shop, OffersTheFirstPricedUpgradeAndTakesBackOnlyWhatWasBoughtForMoney)
{
    // The free walls are skipped; the walls come next.
    EXPECT_EQ(GetOfferedUpgrade(Slot("Frame A")), Upgrade("B Walls"));
    State().ReceiveUpgrade(Upgrade("A Free Walls"));
    Select("Frame A");
    EXPECT_FALSE(CanReturnSelectedUpgrade());
    EXPECT_EQ(m_Shop->GetReturnButton(), nullptr);
    ASSERT_NE(m_Shop->GetBuyButton(), nullptr);

    m_Shop->Buy();
    EXPECT_FLOAT_EQ(State().m_SpendableMoneyK, 0.0f);
    EXPECT_EQ(State().GetUpgradeInSlot(Slot("Frame A")), Upgrade("B Walls"));
    EXPECT_TRUE(State().IsNewlyAcquired(Upgrade("B Walls")));
    EXPECT_EQ(GetShopSelectedSlot(), 0) << "the scene is made again";
    ASSERT_NE(ButtonOf("Frame A"), nullptr);
    EXPECT_EQ(ButtonOf("Frame A")->GetOffered(), Upgrade("C Bricks"));

    // Back for the whole cost, not the resale value; the free walls return.
    Select("Frame A");
    ASSERT_NE(m_Shop->GetReturnButton(), nullptr);
    m_Shop->Return();
    EXPECT_FLOAT_EQ(State().m_SpendableMoneyK, 2.0f);
    EXPECT_EQ(State().GetUpgradeInSlot(Slot("Frame A")), Upgrade("A Free Walls"));
    EXPECT_FALSE(State().HasReceivedUpgrade(Upgrade("B Walls")));
    // Nothing returnable and too little money: both do nothing.
    Select("Frame A");
    m_Shop->Return();
    State().m_SpendableMoneyK = 1.99f;
    m_Shop->Buy();
    EXPECT_FLOAT_EQ(State().m_SpendableMoneyK, 1.99f);
    EXPECT_FALSE(State().HasReceivedUpgrade(Upgrade("B Walls")));

    // Priced walls that the data put in the slot were never paid for.
    State().m_UpgradeInSlot[uint32_t(Slot("Frame A"))] = Upgrade("B Walls");
    Select("Frame A");
    EXPECT_FALSE(CanReturnSelectedUpgrade());
    EXPECT_EQ(m_Shop->GetReturnButton(), nullptr);
    m_Shop->Return();
    EXPECT_FLOAT_EQ(State().m_SpendableMoneyK, 1.99f);
    EXPECT_EQ(State().GetUpgradeInSlot(Slot("Frame A")), Upgrade("B Walls"));
}

TEST_F(Shop, FillsTheSetWithTheSelectedSlotsUpgrades)
{
    EXPECT_EQ(Shown("%s[Tab]").Compare("0"), 0);
    EXPECT_EQ(Shown("%s[Affordable]").Compare("0"), 0);
    EXPECT_TRUE(Shown("%s[Name]").IsEmpty());
    EXPECT_EQ(Shown("%s[Spendable]").Compare("2,000"), 0);

    // Costing exactly the money is affordable.
    Select("Frame A");
    EXPECT_EQ(Shown("%s[Tab]").Compare("2"), 0) << "the frame phase + 1";
    EXPECT_EQ(Shown("%s[Name]|%s[Cost]|%s[Resale]|%s[Affordable]|%s[EnoughStars]|%s[StarCost]")
                  .Compare("Walls|2,000|1,500|1|1|0"),
              0);
    EXPECT_TRUE(m_Shop->GetBuyButton()->IsEnabled());
    EXPECT_TRUE(Shown("%s[OwnName]").IsEmpty());

    m_Shop->Buy();
    Select("Frame A");
    State().m_SpendableMoneyK = 5.0f;
    EXPECT_EQ(Shown("%s[OwnName]: %s[OwnDescription] %s[OwnCost]").Compare("Walls: Your walls 2,000"), 0);
    // The bricks want two stars: affordable in money, still not buyable.
    EXPECT_EQ(Shown("%s[Name] %s[Affordable] %s[EnoughStars] %s[StarsHave]").Compare("Bricks 1 0 0"), 0);
    EXPECT_FALSE(m_Shop->GetBuyButton()->IsEnabled());
    State().m_ExtraStarsHack = 2;
    EXPECT_EQ(Shown("%s[EnoughStars] %s[StarsHave]").Compare("1 2"), 0);
    EXPECT_TRUE(m_Shop->GetBuyButton()->IsEnabled());

    // A helper that is neither part nor crew is tab 5; its uses show above 1.
    Select("Pacifier A");
    EXPECT_EQ(Shown("%s[Tab] %s[PacifierUses] %s[Cost]").Compare("5 3 500"), 0);
    Select("Crew A");
    EXPECT_EQ(Shown("%s[Tab] %s[PacifierUses]").Compare("2 0"), 0);
}

TEST_F(Shop, StickersShowNewBeforeUnaffordableAndOnlyQuitRecordsWhatWasSeen)
{
    CRules& rules = CRules::SGetInstance();
    CShoppingUpgradeButton* walls = ButtonOf("Frame A");
    ASSERT_NE(walls, nullptr);
    EXPECT_TRUE(walls->IsNew());
    State().m_SpendableMoneyK = 0.0f;
    EXPECT_EQ(walls->GetStickerOverlay(), rules.m_ShoppingNewUpgradeOverlay) << "new even when unaffordable";
    EXPECT_EQ(m_Shop->GetSeen().size(), 4u);

    // Leaving by Back records nothing seen: the next visit finds them new again.
    m_Shop->Back();
    EXPECT_EQ(GetShopWindow(), nullptr);
    EXPECT_EQ(State().m_UpgradesShownBefore.GetCount(), 0u);

    CStoredStateHooks hooks;
    CScopedHook<SetGameScreensHooks> installed(&hooks);
    m_Shop = new CShopWindow;
    m_Level->GetPlayfield().DeleteAllLayers();
    CreateShopButtons();
    EXPECT_TRUE(ButtonOf("Frame A")->IsNew());
    State().m_SpendableMoneyK = 7.0f;
    m_Shop->Quit();
    EXPECT_EQ(GetShopWindow(), nullptr);
    EXPECT_EQ(State().m_UpgradesShownBefore.GetCount(), 4u);
    ASSERT_NE(hooks.stored, nullptr) << "the level's starting state";
    EXPECT_FLOAT_EQ(hooks.stored->m_SpendableMoneyK, 7.0f);
    EXPECT_EQ(hooks.stored->m_UpgradesShownBefore.GetCount(), 4u);

    m_Shop = new CShopWindow;
    m_Level->GetPlayfield().DeleteAllLayers();
    CreateShopButtons();
    walls = ButtonOf("Frame A");
    EXPECT_FALSE(walls->IsNew());
    EXPECT_EQ(walls->GetStickerOverlay(), rules.m_ShoppingOldUpgradeOverlay);
    State().m_SpendableMoneyK = 1.0f;
    EXPECT_EQ(walls->GetStickerOverlay(), rules.m_ShoppingUnaffordableUpgradeOverlay);
}

TEST_F(Shop, ButtonsComeForSlotsWithABuyBackgroundAndDrawWithoutTheirMarker)
{
    EXPECT_EQ(ButtonOf("Hidden"), nullptr);
    CShoppingUpgradeButton* lonely = ButtonOf("Lonely");
    ASSERT_NE(lonely, nullptr);
    EXPECT_EQ(lonely->GetMarker(), nullptr);
    EXPECT_EQ(lonely->GetOffered(), Upgrade("Lone"));
    EXPECT_EQ(lonely->GetSprite()->GetImageSequenceIndex(), 0u);
    ASSERT_NE(ButtonOf("Frame A")->GetMarker(), nullptr);
    EXPECT_EQ(ButtonOf("Frame A")->GetSprite()->GetPosition().x, 120.0f) << "the marker's centre";

    // Drawing and the mouse over the marker-less button read nothing through it.
    CFrame canvas;
    canvas.Create(1024, 768, 32);
    SetShopSelectedSlot(Slot("Lonely"));
    m_Shop->Draw(canvas);
    SendPlayfieldMouseMoved({0, 0}, {0, 0});
    SendPlayfieldMouseDown(kLeftMouseButton, {0, 0});
    EXPECT_FALSE(SetDrawnAloneIsRedAt(600, 395));
    EXPECT_FALSE(SetDrawnAloneIsRedAt(800, 395));
}

TEST_F(Shop, TheCloseUpsShowTheSelectedSlotsUpgradesCentredOnTheirPoint)
{
    CFrame canvas;
    canvas.Create(1024, 768, 32);
    auto colourAt = [&canvas](int32_t x, int32_t y) {
        CColor colour;
        canvas.GetPixel(x, y, colour);
        return colour.GetRed() == 255 && colour.GetGreen() == 0 && colour.GetBlue() == 0;
    };
    m_Shop->Draw(canvas);
    EXPECT_FALSE(colourAt(600, 400)) << "nothing selected, nothing shown";

    Select("Frame A");
    m_Shop->Draw(canvas);
    // 20 wide at scale 2: 40 pixels about x 600; the frame's bounds, not
    // its drawn rows, are centred on y 400.
    EXPECT_TRUE(colourAt(582, 395));
    EXPECT_TRUE(colourAt(617, 395));
    EXPECT_FALSE(colourAt(577, 395));
    EXPECT_FALSE(colourAt(622, 395));
    EXPECT_TRUE(colourAt(600, 390));
    EXPECT_FALSE(colourAt(600, 386));
    EXPECT_FALSE(colourAt(600, 412));
    EXPECT_FALSE(colourAt(800, 400)) << "nothing owned";
    EXPECT_FALSE(SetDrawnAloneIsRedAt(600, 395)) << "shown only in the shop's own draw";
}

TEST_F(Shop, AClickOnAButtonSelectsItsSlotAndTellsTheLevel)
{
    std::vector<std::string> heard;
    class CHearing : public CSpriteAI {
    public:
        explicit CHearing(std::vector<std::string>& log)
            : m_Log(log)
        {
        }
        void Update(CSpriteUpdateRecord&) override {}
        void HandleMessage(CMessage& message) override
        {
            if (message.GetType() == CMessage::CMessageByName("Shopping Button Clicked").GetType())
                m_Log.push_back("clicked");
        }
        std::vector<std::string>& m_Log;
    };
    auto* ear = new CSprite;
    ear->SetFlags(0);
    ear->AddAI(new CHearing(heard));
    m_Level->GetPlayfield().AddSprite(ear, "Effects");

    CShoppingUpgradeButton* crew = ButtonOf("Crew A");
    ASSERT_NE(crew, nullptr);
    SendPlayfieldMouseMoved({320, 120}, {320, 120});
    EXPECT_TRUE(crew->IsHovered());
    EXPECT_FLOAT_EQ(crew->GetSprite()->GetScale().x, 1.1f);
    SendPlayfieldMouseMoved({700, 500}, {700, 500});
    EXPECT_FLOAT_EQ(crew->GetSprite()->GetScale().x, 1.0f);

    SendPlayfieldMouseDown(kLeftMouseButton, {320, 120});
    EXPECT_EQ(GetShopSelectedSlot(), Slot("Crew A"));
    EXPECT_EQ(heard.size(), 1u);
    EXPECT_NE(m_Shop->GetBuyButton(), nullptr);

    m_Shop->CloseSelection();
    EXPECT_EQ(GetShopSelectedSlot(), 0);
    EXPECT_EQ(m_Shop->GetBuyButton(), nullptr);
    EXPECT_EQ(heard.size(), 1u) << "a cleared selection is not announced";
}

TEST_F(Shop, TheShoppingTutorialStartsAfterTwoSecondsOnTheSecondLevelOnly)
{
    RegisterTutorialClasses();
    for (const char* name : {"!None", "A Welcome", "B Build", "C Sell", "Shopping"})
        WriteObject(std::string(name) + ".Tutorial.txt", "CTutorial", "Text=" + std::string(name));
    GetTutorialList().RemoveAll();
    GetTutorialList().SetSource(nullptr, "Resources", 0);
    ASSERT_EQ(GetTutorialList().Find("Shopping"), 4);
    CRules::SGetInstance().m_ShoppingTutorial = 4;
    SetCurrentLevelIndex(1);
    m_Shop->Update(1.5f);
    EXPECT_TRUE(TutorialsShown().empty());
    m_Shop->Update(0.5f);
    EXPECT_EQ(TutorialsShown(), std::vector<int32_t>{4});
    EXPECT_EQ(m_Shop->GetTutorialDelay(), 0.0f);
    m_Shop->Update(5.0f);
    EXPECT_EQ(TutorialsShown().size(), 1u);

    m_Shop->Destroy();
    SetCurrentLevelIndex(2);
    m_Shop = new CShopWindow;
    m_Shop->Update(3.0f);
    EXPECT_EQ(TutorialsShown().size(), 1u);
}

} // namespace
