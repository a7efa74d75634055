// Upgrade buttons as the player uses them: picked up with a left click,
// carried on the cursor, put back with a second click, let go over a lot
// with the upgrade's sounds, tinted while unusable, and never left on the
// cursor once deleted. Also the slots' data and marker places, and the
// playfield mouse messages the buttons hear.
#include "BusinessLevelTest.h"
#include "game/business/CSignpost.h"
#include "game/business/CUpgradeButton.h"

#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/business/CBuildablePackage.h"
#include "game/world/CGameState.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "images/CFrame.h"
#include "objects/CBoolProperty.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ImageOverlays.h"
#include "sequences/CSequenceList.h"
#include "LevelTones.h"
#include "support/TestOnlyClasses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

// An upgrade whose answers the test sets: draggable, usable, and whether
// its drops work; it counts the drops it is asked for.
class CTestTool : public CUpgrade {
    OMBRISALT_REFLECTED(CTestTool, CUpgrade)
public:
    CTestTool() { InitDeclaredProperties(); }
    ~CTestTool() override { DestroyDeclaredProperties(); }
    bool IsDraggable() override { return m_Draggable; }
    bool CanUse(bool) override { return m_Usable; }
    bool DropOnLot(int32_t, CLot*) override { return ++m_LotDrops, m_Works; }
    bool DropOnCustomer(int32_t, CCustomer*) override { return m_Works; }
    bool m_Draggable = true;
    bool m_Usable = true;
    bool m_Works = true;
    int m_LotDrops = 0;
};
OMBRISALT_IMPLEMENT_CLASS(CTestTool, 1.0)
const CTestOnlyClass kTestToolIsTestOnly("CTestTool");
void CTestTool::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CTestTool::m_Draggable, "Draggable", true);
    d.Add(&CTestTool::m_Usable, "Usable", true);
    d.Add(&CTestTool::m_Works, "Works", true);
}

namespace {

std::string Marker(const char* id, const char* position, const char* size)
{
    return std::string("Array Item=CFrameOverlayPositionMarker\n{\nID=") + id + "\nPosition=" + position
        + "\nSize=" + size + "\n}\n";
}

// Notes the names of the messages its sprite hears.
class CHearingAI : public CSpriteAI {
public:
    explicit CHearingAI(std::vector<std::string>& heard)
        : m_Heard(heard)
    {
    }
    void Update(CSpriteUpdateRecord& record) override { UpdateNextAI(record); }
    void HandleMessage(CMessage& message) override
    {
        if (const char* name = GetMessageTypeName(message.GetType()))
            m_Heard.push_back(name);
        CSpriteAI::HandleMessage(message);
    }

private:
    std::vector<std::string>& m_Heard;
};

// Buttons of a frame part (and its alternative), a test tool, a crew
// upgrade and the signpost, their slots placed by the gameplay overlay, and
// sounds on a headless device.
class UpgradeButtons : public BusinessLevelTest {
protected:
    void SetUp() override
    {
        BusinessLevelTest::SetUp();
        CTestTool::SGetClassInfo();
        WriteTga("Resources/Sequences/-Slot Back/0001.tga", 40, 40, 0xFF202020u);
        WriteTga("Resources/Sequences/-Slot Off/0001.tga", 40, 40, 0xFF404040u);
        WriteTga("Resources/Sequences/-Button/0001.tga", 20, 20, 0xFFFFFFFFu);
        WriteTga("Resources/Sequences/-Hover/0001.tga", 60, 60, 0xFF00FF00u);
        WriteObject("Frame Overlay Options/Gameplay Overlay.FOO", "CFrameOverlayOptions",
                    "Text Overlays=Array\n{\n" + Marker("Frame A", "100,40", "21,11") + "}");
        WriteObject("Frame Overlay Options/Shop Places.FOO", "CFrameOverlayOptions",
                    "Text Overlays=Array\n{\n" + Marker("tools", "0,0", "10,10") + "}");
        WriteObject("Slots/Frame A.UpgradeSlot.txt", "CUpgradeSlot",
                    "Button Background Sequence=Slot Back\nBuy Button Disabled=Slot Off");
        for (const char* slot : {"Tools", "Crew A", "Sign"})
            WriteObject("Slots/" + std::string(slot) + ".UpgradeSlot.txt", "CUpgradeSlot",
                        "Button Background=Slot Back");
        WriteObject("Slots/Empty.UpgradeSlot.txt", "CUpgradeSlot",
                    "Buy Button Disabled=Slot Off\nSelectable On Shopping Screen=0");
        WriteObject("Phases/Frame.BuildPhase.txt", "CBuildPhase",
                    "Name=Frame\nCan Be ReDone=1\nBuild Button Disabled Tint=200,100,50,255");
        const std::string sounds = "Select Upgrade Audio=Pick\nDrop On Lot Audio=Drop\nDrop On Lot Error Audio=Oops\n"
                                   "Drop On Customer Audio=Hand\nDrop On Customer Error Audio=Hand Oops\n"
                                   "Build Button Appearance=Button\n";
        for (const char* part : {"Walls", "Bricks"})
            WriteObject("Upgrades/" + std::string(part) + ".Upgrade.txt", "CBuildablePart",
                        sounds + "Upgrade Slot=Frame A\nBuild Phase=Frame");
        WriteObject("Upgrades/Tool.Upgrade.txt", "CTestTool", sounds + "Upgrade Slot=Tools\nButton Hover=Hover");
        WriteObject("Upgrades/Sign.Upgrade.txt", "CSignpostUpgrade", "Upgrade Slot=Sign");
        WriteObject("Upgrades/Crew.Upgrade.txt", "CCrewUpgrade", "Upgrade Slot=Crew A\nBuild Button Appearance=Button");
        ASSERT_NO_FATAL_FAILURE(m_Tones.Load("Button Sounds", {"Pick", "Drop", "Oops", "Hand", "Hand Oops"}));
        GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
        ASSERT_NE(StartLevel(), nullptr);
        m_Tones.Play();
        for (const char* upgrade : {"Walls", "Tool", "Crew", "Sign"})
            CGameState::SGetCurrent()->ReceiveUpgrade(Upgrade(upgrade));
        auto* hearing = new CSprite;
        hearing->AddAI(new CHearingAI(m_Heard));
        Playfield().AddSprite(hearing, "Effects");
    }
    void TearDown() override
    {
        GetLevelHolder().Release();
        m_Tones.Release();
        GetFrameOverlayOptionsList().RemoveAll();
        GetFrameOverlayOptionsList().SetSource(nullptr, "Nowhere", 0);
        BusinessLevelTest::TearDown();
    }
    static int32_t Upgrade(const char* name) { return GetUpgradeList().Find(name); }
    static int32_t Slot(const char* name) { return GetUpgradeSlotList().Find(name); }
    CPlayfield& Playfield() { return m_Level->GetPlayfield(); }
    CTestTool& Tool() { return *static_cast<CTestTool*>(GetUpgradeList().GetObject(Upgrade("Tool"))); }

    // A button of the slot on the "UI" layer, at (100, 100) unless moved.
    CUpgradeButton* AddButton(const char* slot, float x = 100.0f, float y = 100.0f)
    {
        auto* sprite = new CSprite;
        sprite->SetPosition(x, y);
        auto* button = static_cast<CUpgradeButton*>(Tool().CreateButtonAI(Slot(slot)));
        sprite->AddAI(button);
        Playfield().AddSprite(sprite, "UI");
        return button;
    }
    std::vector<std::string> Played() { return m_Tones.Played(); }
    static CColor Drawn(CUpgradeButton& button, int32_t x, int32_t y)
    {
        CFrame frame;
        frame.Create(200, 200, 32);
        frame.Clear();
        button.GetSprite()->DrawAllPasses(frame);
        CColor pixel;
        frame.GetPixel(x, y, pixel);
        return pixel;
    }

    CScopedDataFolder m_DataFolder{"."};
    CLevelTones m_Tones;
    std::vector<std::string> m_Heard;
};

TEST_F(UpgradeButtons, SlotsReadTheirOldKeyAndMarkersGiveTheirWholeCentre)
{
    CUpgradeSlot* frame = GetUpgradeSlotByIndex(Slot("Frame A"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->m_ButtonBackground, GetSequenceList().Find("Slot Back"));
    EXPECT_FALSE(GetUpgradeSlotByIndex(Slot("Empty"))->m_SelectableOnShoppingScreen);
    EXPECT_EQ(GetUpgradeSlotByIndex(-1), nullptr);

    // 100 + 21 / 2 and 40 + 11 / 2 in whole numbers; another set by index,
    // its marker named in another case.
    EXPECT_EQ(GetUpgradeSlotMarkerPosition(Slot("Frame A"), -1), (CPoint{110, 45}));
    EXPECT_EQ(GetUpgradeSlotMarkerPosition(Slot("Tools"), GetFrameOverlayOptionsList().Find("Shop Places")),
              (CPoint{5, 5}));
    EXPECT_EQ(GetUpgradeSlotMarkerPosition(Slot("Tools"), -1), (CPoint{0, 0}));
    EXPECT_EQ(GetUpgradeSlotMarkerPosition(100000, -1), (CPoint{0, 0}));

    // The level start puts a slot without a marker at (0, 0), as the data
    // says, and has no place for a slot outside the list.
    CFPoint at{-1.0f, -1.0f};
    EXPECT_TRUE(GetUpgradeSlotMarkerPosition(uint32_t(Slot("Frame A")), at));
    EXPECT_EQ(at, (CFPoint{110.0f, 45.0f}));
    EXPECT_TRUE(GetUpgradeSlotMarkerPosition(uint32_t(Slot("Tools")), at));
    EXPECT_EQ(at, (CFPoint{0.0f, 0.0f}));
    EXPECT_FALSE(GetUpgradeSlotMarkerPosition(uint32_t(100000), at));
}

// A marker near the ends of the int range puts its slot's button at the
// centre held there (far off screen), never wrapped round to the other end.
TEST_F(UpgradeButtons, MarkersAtTheEndsOfTheIntRangeGiveCentresHeldThere)
{
    const int32_t set = GetFrameOverlayOptionsList().Find("Shop Places");
    ASSERT_GE(set, 0);
    CFrameOverlayPositionMarker* marker
        = GetFrameOverlayOptionsList().GetObject(set)->FindPositionMarker(CJString("tools"));
    ASSERT_NE(marker, nullptr);
    struct Case {
        CPoint position, size, centre;
    };
    const Case cases[] = {
        {{INT32_MAX - 3, INT32_MAX}, {21, 2}, {INT32_MAX, INT32_MAX}},
        {{INT32_MIN, INT32_MIN + 4}, {-21, -11}, {INT32_MIN, INT32_MIN}},
        {{INT32_MAX, INT32_MIN}, {INT32_MIN, INT32_MAX}, {1073741823, -1073741825}},
        {{-1000, 1000}, {INT32_MAX, INT32_MIN}, {1073740823, -1073740824}},
    };
    for (const Case& c : cases) {
        marker->m_Position = c.position;
        marker->m_Size = c.size;
        EXPECT_EQ(GetUpgradeSlotMarkerPosition(Slot("Tools"), set), c.centre)
            << c.position.x << "," << c.position.y << " size " << c.size.x << "," << c.size.y;
    }

    // The level start places the slot's button from the gameplay overlay.
    CFrameOverlayOptions* gameplay = GetGameplayOverlayOptions();
    ASSERT_NE(gameplay, nullptr);
    CFrameOverlayPositionMarker* frame = gameplay->FindPositionMarker(CJString("Frame A"));
    ASSERT_NE(frame, nullptr);
    frame->m_Position = CPoint{INT32_MAX, INT32_MIN};
    frame->m_Size = CPoint{INT32_MAX, INT32_MIN};
    CFPoint at{};
    EXPECT_TRUE(GetUpgradeSlotMarkerPosition(uint32_t(Slot("Frame A")), at));
    EXPECT_EQ(at, (CFPoint{float(INT32_MAX), float(INT32_MIN)}));
}

TEST_F(UpgradeButtons, AClickPicksAButtonUpAndASecondPutsItBack)
{
    CUpgradeButton* tool = AddButton("Tools");
    EXPECT_EQ(tool->GetSprite()->GetImageSequenceIndex(), uint32_t(GetSequenceList().Find("Slot Back")));
    EXPECT_EQ(tool->GetUpgrade(), &Tool());

    SendPlayfieldMouseDown(kLeftMouseButton, {300, 300});
    EXPECT_EQ(GetDraggedSprite(), nullptr) << "a click beside the button";
    SendPlayfieldMouseDown(kLeftMouseButton, {110, 95});
    EXPECT_EQ(GetDraggedUpgradeButton(), tool);
    EXPECT_EQ(Played(), (std::vector<std::string>{"Pick"}));
    EXPECT_EQ(std::count(m_Heard.begin(), m_Heard.end(), "Tools Selected"), 1);
    EXPECT_TRUE(GetDraggedUpgradeButton() == tool);

    SendPlayfieldMouseDown(kLeftMouseButton, {100, 100});
    EXPECT_EQ(GetDraggedSprite(), nullptr);
    EXPECT_TRUE(Played().empty());

    // A part names its phase; an upgrade that is not dragged stays put.
    CUpgradeButton* walls = AddButton("Frame A", 100.0f, 160.0f);
    SendPlayfieldMouseDown(kLeftMouseButton, {100, 160});
    EXPECT_EQ(GetDraggedUpgradeButton(), walls);
    EXPECT_EQ(std::count(m_Heard.begin(), m_Heard.end(), "Frame Selected"), 1);
    ClearDraggedSprite();
    AddButton("Crew A", 40.0f, 40.0f);
    SendPlayfieldMouseDown(kLeftMouseButton, {40, 40});
    EXPECT_EQ(GetDraggedSprite(), nullptr);
}

TEST_F(UpgradeButtons, ASecondClickOnTheHeldSignpostButtonSendsTheSignHome)
{
    std::vector<std::string> signHeard;
    auto addSign = [&] {
        auto* sign = new CSprite;
        sign->AddAI(new CSignpost);
        sign->AddAI(new CHearingAI(signHeard));
        Playfield().AddSprite(sign, "Crew");
    };
    addSign();
    CUpgradeButton* button = AddButton("Sign");
    auto removals = [&] { return std::count(signHeard.begin(), signHeard.end(), "RemoveSignpost"); };

    SendPlayfieldMouseDown(kLeftMouseButton, {100, 100});
    ASSERT_EQ(GetDraggedUpgradeButton(), button);
    EXPECT_TRUE(IsDraggedSignpostButton());
    EXPECT_EQ(removals(), 0);
    SendPlayfieldMouseDown(kLeftMouseButton, {100, 100});
    EXPECT_EQ(GetDraggedSprite(), nullptr);
    EXPECT_EQ(removals(), 1);

    // Without the lot layer, which sends the sign home on any release that
    // no lot took: the release of the picking press keeps the button held,
    // a later release on it ends the drag.
    Playfield().DeleteAllLayers();
    addSign();
    button = AddButton("Sign");
    SendPlayfieldMouseDown(kLeftMouseButton, {100, 100});
    SendPlayfieldMouseUp(kLeftMouseButton, {100, 100});
    EXPECT_EQ(GetDraggedUpgradeButton(), button);
    EXPECT_EQ(removals(), 1);
    SendPlayfieldMouseUp(kLeftMouseButton, {100, 100});
    EXPECT_EQ(GetDraggedSprite(), nullptr);
    EXPECT_EQ(removals(), 2);
}

TEST_F(UpgradeButtons, AnEmptySlotShowsItsBuyPictureDrawsNothingAndStays)
{
    CUpgradeButton* empty = AddButton("Empty");
    EXPECT_EQ(empty->GetUpgradeIndex(), 0);
    EXPECT_EQ(empty->GetSprite()->GetImageSequenceIndex(), uint32_t(GetSequenceList().Find("Slot Off")));
    EXPECT_EQ(Drawn(*empty, 100, 100), CColor(0x40, 0x40, 0x40, 255)) << "the background alone";
    SendPlayfieldMouseDown(kLeftMouseButton, {100, 100});
    EXPECT_EQ(GetDraggedSprite(), nullptr);

    // A button of a slot outside the list reads as none.
    CUpgradeButton* lost = AddButton("Tools");
    lost->m_UpgradeSlot = 100000;
    EXPECT_EQ(lost->GetUpgrade(), nullptr);
    EXPECT_FALSE(lost->DropOnLot(AddLot({1, 1})));
}

TEST_F(UpgradeButtons, HoverShowsTheHoverPictureAndUnusableUpgradesAreTinted)
{
    CUpgradeButton* tool = AddButton("Tools");
    EXPECT_EQ(Drawn(*tool, 100, 100), CColor(255, 255, 255, 255));
    EXPECT_EQ(tool->GetSprite()->GetColor(), CColor(255, 255, 255, 255));
    EXPECT_EQ(Drawn(*tool, 75, 100), CColor(0, 0, 0, 0)) << "no hover picture yet";

    SendPlayfieldMouseMoved({105, 100}, {105, 100});
    EXPECT_TRUE(tool->IsHovered());
    EXPECT_EQ(Drawn(*tool, 75, 100), CColor(0, 255, 0, 255));
    SendPlayfieldMouseMoved({300, 300}, {300, 300});
    EXPECT_FALSE(tool->IsHovered());

    // Unusable: grey 150 for a plain upgrade, the phase's tint for a part
    // without a free crew; the sprite itself is dimmed.
    Tool().m_Usable = false;
    EXPECT_NEAR(Drawn(*tool, 100, 100).GetRed(), 150, 1);
    EXPECT_EQ(tool->GetSprite()->GetColor(), CColor(120, 120, 120, 255));
    CUpgradeButton* walls = AddButton("Frame A", 100.0f, 100.0f);
    const CColor tinted = Drawn(*walls, 100, 100);
    EXPECT_NEAR(tinted.GetRed(), 200, 1);
    EXPECT_NEAR(tinted.GetGreen(), 100, 1);
    EXPECT_NEAR(tinted.GetBlue(), 50, 1);
    EXPECT_EQ(walls->GetSprite()->GetColor(), CColor(120, 120, 120, 255));
}

TEST_F(UpgradeButtons, DropsOnALotPlayTheUpgradesSoundsAndAReplacedPartPlaysNone)
{
    CUpgradeButton* tool = AddButton("Tools");
    CLot* lot = AddLot({1, 1});
    EXPECT_TRUE(tool->DropOnLot(lot));
    EXPECT_EQ(Played(), (std::vector<std::string>{"Drop"}));
    Tool().m_Works = false;
    EXPECT_FALSE(tool->DropOnLot(lot));
    EXPECT_EQ(Played(), (std::vector<std::string>{"Oops"}));
    Tool().m_Usable = false;
    EXPECT_FALSE(tool->DropOnLot(lot));
    EXPECT_EQ(Played(), (std::vector<std::string>{"Oops"}));
    EXPECT_EQ(Tool().m_LotDrops, 2) << "an unusable upgrade is not asked";

    // Bricks take the place of the walls being built, from the start.
    CBuildablePackage& building = *lot->GetBuilding();
    SetParts(building, "Parts List", building.m_Parts, {0, Upgrade("Walls")});
    building.m_BeingConstructed = Upgrade("Walls");
    building.m_ConstructionProgress = 0.5f;
    CGameState::SGetCurrent()->ReceiveUpgrade(Upgrade("Bricks"));
    CUpgradeButton* bricks = AddButton("Frame A");
    ASSERT_EQ(bricks->GetUpgradeIndex(), Upgrade("Bricks"));
    EXPECT_TRUE(bricks->DropOnLot(lot));
    EXPECT_EQ(building.m_Parts[1], Upgrade("Bricks"));
    EXPECT_EQ(building.m_BeingConstructed, Upgrade("Bricks"));
    EXPECT_FLOAT_EQ(building.m_ConstructionProgress, 0.00001f);
    EXPECT_TRUE(Played().empty());

    // On a customer: the upgrade decides, the button sounds.
    EXPECT_FALSE(tool->DropOnCustomer(nullptr));
    EXPECT_EQ(Played(), (std::vector<std::string>{"Hand Oops"}));
    Tool().m_Works = true;
    EXPECT_TRUE(tool->DropOnCustomer(nullptr));
    EXPECT_EQ(Played(), (std::vector<std::string>{"Hand"}));
}

TEST_F(UpgradeButtons, OnlyALeftPressReachesButtonsARightOneDropsTheHeldOneAndNoneOutlivesItsLayer)
{
    CUpgradeButton* tool = AddButton("Tools");
    const int32_t clicks = CLevelPlayStats::SGetCurrent()->m_Clicks;
    SendPlayfieldMouseDown(2, {100, 100});
    EXPECT_EQ(GetDraggedSprite(), nullptr);
    EXPECT_TRUE(m_Heard.empty()) << "no mouse-down for a right press";
    SendPlayfieldMouseDown(kLeftMouseButton, {100, 100});
    ASSERT_EQ(GetDraggedUpgradeButton(), tool);
    EXPECT_EQ(CLevelPlayStats::SGetCurrent()->m_Clicks, clicks + 1);
    SendPlayfieldMouseDown(2, {100, 100});
    EXPECT_EQ(GetDraggedSprite(), nullptr) << "the right press put the button back";
    EXPECT_EQ(CLevelPlayStats::SGetCurrent()->m_Clicks, clicks + 1);
    SendPlayfieldMouseUp(kLeftMouseButton, {100, 100});
    EXPECT_EQ(m_Heard.back(), "CMouseUpMessage");

    // The end of a level deletes every layer under a held button.
    SendPlayfieldMouseDown(kLeftMouseButton, {100, 100});
    ASSERT_EQ(GetDraggedUpgradeButton(), tool);
    Playfield().DeleteAllLayers();
    EXPECT_EQ(GetDraggedSprite(), nullptr);
    EXPECT_EQ(TakeDraggedUpgradeButton(), nullptr);
    EXPECT_FALSE(IsDraggedSignpostButton());
}

} // namespace
