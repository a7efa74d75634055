// The HUD layer over a level: what it draws (the gameplay set with the
// period's backdrop, the crew count, the tip, the menu button's hover look),
// when it draws nothing, which mouse messages it keeps from the layers
// below, its one-pixel backdrop test, and data without the overlays it
// looks for. The last test plays the demo data: a click on the menu button
// opens the pause menu once and the lots see it handled.
#include "game/world/CHUD.h"

#include "DemoGameTest.h"

#include "game/business/CBuildPhase.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CTutorial.h"
#include "images/CFrame.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ImageOverlays.h"
#include "sequences/CSequenceList.h"
#include "sequences/SequenceTestSupport.h"
#include "shell/CMouseState.h"
#include "support/ScopedHooks.h"
#include "ui/CJButton.h"
#include "ui/CJWindow.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string Box(const std::string& position, const std::string& size, const std::string& colour)
{
    return "CBoxFrameOverlay\r\n{\r\nPositon=" + position + "\r\nSize=" + size + "\r\nFill Color=" + colour
           + "\r\nOutline Width=0\r\n}\r\n";
}

std::string Item(const std::string& overlay)
{
    return "Array Item=" + overlay;
}

std::string Set(const std::string& items, int count)
{
    return BareObjectText("CFrameOverlayOptions",
                          "Text Overlays=Array\r\n{\r\nItem Count=" + std::to_string(count) + "\r\n" + items + "}\r\n");
}

// Screens over the playfield and the tips, as the screen layer would report
// them.
class CScreens final : public CGameScreensHooks {
public:
    bool IsScreenOpen(EGameScreen screen) override
    {
        return screen < EGameScreen::Count && open[size_t(screen)];
    }
    bool open[size_t(EGameScreen::Count)] = {};

    bool IsEndOfLevelWindowHidden() override { return folded; }
    CJString GetTipText(uint32_t) override { return CJString(tip.c_str()); }
    float GetTipDuration() override { return 10.0f; }
    int32_t GetTipOverlay() override { return GetFrameOverlayOptionsList().Find("Tip"); }
    bool folded = false;
    std::string tip = "Click a lot";
};

class Hud : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        WriteTga("Resources/Sequences/-Aaa None/0001.tga", 1, 1, 0);
        WriteTga("Resources/Sequences/-Backdrop/0001.tga", 64, 64, 0xFF808080u);
        WriteTga("Resources/Sequences/-Designer Backdrop/0001.tga", 8, 8, 0xFF808080u);
        WriteBytes("Resources/Fifties.Period.txt", BareObjectText("CPeriod", "Hud Background=Backdrop\r\n"));
        WriteBytes("Resources/Rules.Object.txt",
                   BareObjectText("CRules", "Gameplay Overlay 1=Play\r\nGameplay Overlay Menu Button=Menu Button\r\n"));
        // Red at (0, 0) for no crews, green for one; the backdrop at (100, 100).
        WritePlaySet(Item("CFrameOverlaySequenceOverlay\r\n{\r\nID=PeriodBackdrop\r\nSequence=Designer Backdrop\r\n"
                     "Position=100,100\r\n}\r\n"));
        const std::string button
            = "CFrameOverlayButton\r\n{\r\nID=Menu\r\nTitle=Menu\r\nPosition=900,700\r\nSize=100,40\r\n}\r\n";
        const std::string hoverLook = "CConditionalFrameOverlay\r\n{\r\nString To Check=%s[IsHovering]\r\n"
                                      "Overlay To Draw When String Is Not Empty="
                                      + Box("900,700", "100,40", "0,0,255,255") + "}\r\n";
        WriteBytes("Resources/Frame Overlay Options/Menu Button.FOO", Set(Item(button) + Item(hoverLook), 2));
        WriteBytes("Resources/Frame Overlay Options/Tip.FOO", Set(Item(Box("400,300", "10,10", "255,255,0,255")), 1));
        // A refused move shows a magenta box at (600, 600).
        WriteBytes("Resources/Frame Overlay Options/Refusal.FOO",
                   Set(Item(Box("600,600", "10,10", "255,0,255,255")), 1));
        WriteBytes(
            "Resources/Illegal Move Options.Object.txt",
            BareObjectText("CIllegalMoveMessageOptions",
                           "Frame Overlay Options=Refusal\r\nMessage List=Array\r\n{\r\nMessage=CIllegalMoveMessage\r\n"
                           "{\r\nMessage ID=Refused\r\nMessage=No\r\n}\r\n}\r\n"));
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetPeriodList().SetSource(nullptr, "Resources", 0);
        GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
        GetGeneralObjects().SetSource(nullptr, "Resources", 0);
        m_Frame.Create(1024, 768, 32);
    }
    void TearDown() override
    {
        SetCurrentPlayfield(nullptr);
        GetLevelHolder().Release();
        GetIllegalMoveDisplay() = CIllegalMoveDisplay();
        for (CObjectFileArray* list : {static_cast<CObjectFileArray*>(&GetGeneralObjects()),
                                       static_cast<CObjectFileArray*>(&GetFrameOverlayOptionsList()),
                                       static_cast<CObjectFileArray*>(&GetPeriodList()),
                                       static_cast<CObjectFileArray*>(&GetSequenceList())}) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        CMouseState::SGetInstance().ResetForTesting();
        SequenceFolderTest::TearDown();
    }

    void WritePlaySet(const std::string& backdrop)
    {
        const std::string crews = "Array Item=CArrayIndexFrameOverlay\r\n{\r\nString To Use As Index=%s[Crews]\r\n"
                                  "Overlay Array List=Array\r\n{\r\nItem Count=2\r\nOverlay Array="
                                  + Box("0,0", "4,4", "255,0,0,255") + "Overlay Array=" + Box("0,0", "4,4", "0,255,0,255")
                                  + "}\r\n}\r\n";
        WriteBytes("Resources/Frame Overlay Options/Play.FOO",
                   Set(crews + (backdrop.empty() ? "" : backdrop), backdrop.empty() ? 1 : 2));
    }

    // A held copy of a fresh level with the default layers, as the game plays it.
    static CLevelOptions& StartLevel()
    {
        CLevelOptions level;
        level.ResetToDefaults();
        level.EnsureDefaultLayers();
        GetLevelHolder().HoldCopyOf(&level);
        CLevelOptions* current = CLevelOptions::SGetCurrent();
        EXPECT_NE(current, nullptr);
        return *current;
    }
    uint32_t Pixel(int32_t x, int32_t y) { return m_Frame.GetRawPixel(x, y) & 0x00FFFFFFu; }
    void DrawAfresh(CHUD& hud)
    {
        m_Frame.Clear();
        hud.Draw(m_Frame);
    }

    CFrame m_Frame;
    CScreens m_Screens;
    CScreens& m_Services = m_Screens;
    CScopedHook<SetGameScreensHooks> m_ScreensInstalled{&m_Screens};
};

constexpr uint32_t kRed = 0xFF0000u, kGreen = 0x00FF00u, kBlue = 0x0000FFu, kYellow = 0xFFFF00u,
                   kMagenta = 0xFF00FFu;

TEST_F(Hud, DrawsThePeriodBackdropTheCrewCountAndTheHoverLookButNothingUnderTheShop)
{
    CLevelOptions& level = StartLevel();
    CHUD& hud = *GetCurrentPlayfield()->GetHUD();
    ASSERT_NE(hud.GetMenuControl(), nullptr);
    auto* backdrop = dynamic_cast<CFrameOverlaySequenceOverlay*>(
        GetGameplayOverlayOptions()->FindOverlay(CJString("PeriodBackdrop"), nullptr, nullptr));
    ASSERT_NE(backdrop, nullptr);
    const int32_t designers = backdrop->m_Sequence;
    // A refusal on show since a tenth of a second.
    ASSERT_TRUE(GetIllegalMoveDisplay().Show("Refused"));
    GetIllegalMoveDisplay().Update(0.1f);
    DrawAfresh(hud);
    EXPECT_EQ(Pixel(1, 1), kRed);
    // The period's 64-pixel backdrop, not the designer's 8-pixel one, which
    // comes back after the draw.
    EXPECT_NE(Pixel(120, 120), 0u);
    EXPECT_EQ(backdrop->m_Sequence, designers);
    EXPECT_EQ(Pixel(605, 605), kMagenta) << "the refusal drawn with the HUD";

    // One crew sprite; the mouse over the menu button (right and bottom
    // edges outside) lights it.
    GetCurrentPlayfield()->AddSprite(new CSprite, "Crew");
    const CRect menu = hud.GetMenuControl()->GetRect();
    CMouseState::SGetInstance().SetPosition(menu.right, menu.top);
    hud.Update(0.0f);
    EXPECT_FALSE(hud.IsHovering());
    CMouseState::SGetInstance().SetPosition(menu.left, menu.bottom - 1);
    hud.Update(0.25f);
    EXPECT_TRUE(hud.IsHovering());
    EXPECT_FLOAT_EQ(GetIllegalMoveDisplay().GetSecondsShown(), 0.35f) << "the HUD runs the refusal's clock";
    DrawAfresh(hud);
    EXPECT_EQ(Pixel(1, 1), kGreen);
    EXPECT_EQ(Pixel(menu.left + 5, menu.top + 5), kBlue);

    // A playfield without a "Crew" layer counts none.
    CPlayfield bare;
    SetCurrentPlayfield(&bare);
    DrawAfresh(hud);
    EXPECT_EQ(Pixel(1, 1), kRed);

    level.m_SecondsPlayed = 1.0f; // the tip too
    for (EGameScreen screen : {EGameScreen::Shop, EGameScreen::NeighbourhoodViewer, EGameScreen::EndOfLevel}) {
        m_Screens.open[size_t(screen)] = true;
        m_Services.folded = screen == EGameScreen::EndOfLevel;
        DrawAfresh(hud);
        // Nothing under the screens, the refusal neither.
        for (CPoint at : {CPoint{1, 1}, CPoint{120, 120}, CPoint{405, 305}, CPoint{menu.left + 5, menu.top + 5},
                          CPoint{605, 605}})
            EXPECT_EQ(Pixel(at.x, at.y), 0u) << int(screen);
        m_Screens.open[size_t(screen)] = false;
    }
}

TEST_F(Hud, KeepsMouseMessagesOnTheMenuButtonAndTheBackdropFromTheLayersBelow)
{
    StartLevel();
    CHUD& hud = *GetCurrentPlayfield()->GetHUD();
    const CRect menu = hud.GetMenuControl()->GetRect();
    auto handled = [&](CPlayfieldMouseMessage message) {
        GetCurrentPlayfield()->BroadcastMessage(message);
        return message.IsHandled();
    };
    const CPoint onMenu{menu.left + 2, menu.top + 2}, onBackdrop{120, 120}, onGround{500, 500};
    for (const CPoint& point : {onMenu, onBackdrop}) {
        EXPECT_TRUE(handled(CPlayfieldMouseMessage::MouseDown(0, kLeftMouseButton, point)));
        EXPECT_TRUE(handled(CPlayfieldMouseMessage::MouseUp(0, kLeftMouseButton, point)));
        EXPECT_TRUE(handled(CPlayfieldMouseMessage::MouseMoved(0, point, point)));
    }
    EXPECT_FALSE(handled(CPlayfieldMouseMessage::MouseDown(0, kLeftMouseButton, onGround)));

    // The viewer and a folded end-of-level window leave every message to
    // the layers below; an end-of-level window in view does not.
    m_Screens.open[size_t(EGameScreen::NeighbourhoodViewer)] = true;
    EXPECT_FALSE(handled(CPlayfieldMouseMessage::MouseDown(0, kLeftMouseButton, onMenu)));
    m_Screens.open[size_t(EGameScreen::NeighbourhoodViewer)] = false;
    m_Screens.open[size_t(EGameScreen::EndOfLevel)] = true;
    EXPECT_TRUE(handled(CPlayfieldMouseMessage::MouseMoved(0, onBackdrop, onBackdrop)));
    m_Services.folded = true;
    EXPECT_FALSE(handled(CPlayfieldMouseMessage::MouseMoved(0, onBackdrop, onBackdrop)));
}

TEST_F(Hud, TheBackdropTestAnswersForOnePixelOfTheDrawnSet)
{
    StartLevel();
    CHUD& hud = *GetCurrentPlayfield()->GetHUD();
    EXPECT_TRUE(hud.HitsPeriodBackdrop(0, 0)); // the crew marker counts too
    EXPECT_TRUE(hud.HitsPeriodBackdrop(120, 120));
    EXPECT_FALSE(hud.HitsPeriodBackdrop(200, 200));
    EXPECT_FALSE(hud.HitsPeriodBackdrop(-5, 3000));
    // Without a period the designer's own 8-pixel picture stays.
    GetPeriodList().RemoveAll();
    GetPeriodList().SetSource(nullptr, "Nowhere", 0);
    EXPECT_FALSE(hud.HitsPeriodBackdrop(120, 120));
}

TEST_F(Hud, TheTipShowsFromTheIntroUntilItsDurationOfPlay)
{
    CLevelOptions& level = StartLevel();
    CHUD& hud = *GetCurrentPlayfield()->GetHUD();
    EXPECT_FALSE(hud.ShouldShowTip());
    m_Screens.open[size_t(EGameScreen::LevelIntro)] = true;
    EXPECT_TRUE(hud.ShouldShowTip());
    m_Screens.open[size_t(EGameScreen::LevelIntro)] = false;
    for (float seconds : {10.0f, 10.01f}) {
        level.m_SecondsPlayed = seconds;
        m_Frame.Clear();
        hud.DrawTip(m_Frame);
        EXPECT_EQ(Pixel(405, 305), seconds <= 10.0f ? kYellow : 0u) << seconds;
    }
    level.m_SecondsPlayed = 2.0f;
    m_Services.tip.clear();
    EXPECT_FALSE(hud.ShouldShowTip());
}

// Data without "Menu", without "PeriodBackdrop", or without rules at all:
// no button, no swap, no crash.
TEST_F(Hud, MissingOverlaysGiveNoButtonAndNoSwap)
{
    WritePlaySet("");
    WriteBytes("Resources/Frame Overlay Options/Menu Button.FOO", Set(Item(Box("0,0", "1,1", "0,0,0,0")), 1));
    StartLevel();
    CHUD& hud = *GetCurrentPlayfield()->GetHUD();
    EXPECT_EQ(hud.GetMenuControl(), nullptr);
    hud.Update(0.1f);
    EXPECT_FALSE(hud.IsHovering());
    DrawAfresh(hud);
    EXPECT_EQ(Pixel(1, 1), kRed);
    EXPECT_FALSE(hud.HitsPeriodBackdrop(120, 120));
    CPlayfieldMouseMessage press = CPlayfieldMouseMessage::MouseDown(0, kLeftMouseButton, CPoint{950, 710});
    hud.HandleMessage(press);
    EXPECT_FALSE(press.IsHandled());

    GetLevelHolder().Release();
    GetGeneralObjects().RemoveAll();
    GetGeneralObjects().SetSource(nullptr, "Nowhere", 0);
    CHUD bare;
    EXPECT_EQ(bare.GetMenuControl(), nullptr);
    EXPECT_EQ(GetGameplayOverlayOptions(), nullptr);
    DrawAfresh(bare);
    EXPECT_EQ(Pixel(1, 1), 0u);
}

// Remembers whether a press reached its sprite without the handled mark.
class CPressProbeAI : public CSpriteAI {
public:
    void Update(CSpriteUpdateRecord&) override {}
    void HandleMessage(CMessage& message) override
    {
        if (message.GetType() == CPlayfieldMouseMessage::SGetMouseDownType())
            (message.IsHandled() ? handled : unhandled)++;
        if (message.GetType() == CPlayfieldMouseMessage::SGetMouseUpType())
            ++releases;
    }
    static inline int handled = 0;
    static inline int unhandled = 0;
    static inline int releases = 0;
};

// The pause menu as the screen layer opens it: a window over the playfield.
class CPauseMenuScreens final : public CGameScreensHooks {
public:
    bool IsScreenOpen(EGameScreen screen) override { return screen == EGameScreen::PauseMenu && menu; }
    bool OpenScreen(EGameScreen screen) override
    {
        if (screen != EGameScreen::PauseMenu)
            return false;
        ++opened;
        menu = new CJWindow(nullptr, "Pause");
        menu->SetRect(CRect{300, 200, 700, 500});
        CScreenWindow::GetScreenWindow()->AddChild(menu);
        return true;
    }
    CJWindow* menu = nullptr;
    int opened = 0;
};

class HudInTheGame : public CDemoGameTest {
protected:
    // A press and release at the point, then four frames.
    void Click(int32_t x, int32_t y)
    {
        PushClick(x, y);
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(Pass(17));
    }
};

TEST_F(HudInTheGame, AClickOnTheMenuButtonOpensThePauseMenuOnceAndNoLayerSeesIt)
{
    ASSERT_TRUE(Start());
    CPauseMenuScreens screens;
    CScopedHook<SetGameScreensHooks> installed(&screens);
    CPlayfield* playfield = GetCurrentPlayfield();
    ASSERT_NE(playfield, nullptr);
    // The first demo level keeps its own showcase layers; a level made new
    // gets the default ones.
    playfield->FillDefaultLayers();
    auto* hud = playfield->GetHUD();
    ASSERT_NE(hud, nullptr);
    ASSERT_NE(hud->GetMenuControl(), nullptr);
    auto* probe = new CSprite;
    probe->AddAI(new CPressProbeAI);
    playfield->FindOrAddLayer("Lot")->AddSprite(probe);
    CPressProbeAI::handled = CPressProbeAI::unhandled = CPressProbeAI::releases = 0;

    // The demo's gameplay set is drawn every frame without a miss.
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Pass(17));
    const CRect menu = hud->GetMenuControl()->GetRect();
    Click((menu.left + menu.right) / 2, (menu.top + menu.bottom) / 2);
    EXPECT_EQ(screens.opened, 1);
    EXPECT_EQ(CPressProbeAI::unhandled, 0);
    EXPECT_EQ(CPressProbeAI::handled, 0) << "the button's alone";
    EXPECT_EQ(CPressProbeAI::releases, 0) << "its release too";
    if (screens.menu)
        screens.menu->Destroy();

    // A press on open ground still reaches the lots unmarked.
    Click(500, 450);
    EXPECT_EQ(CPressProbeAI::unhandled, 1);
    EXPECT_EQ(CPressProbeAI::releases, 1);
}

} // namespace
