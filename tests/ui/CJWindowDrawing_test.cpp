// The tree drawn into a 32-bit canvas: layers, origins, clipping, fading,
// the first-draw notice, focus rectangles, titles and bevels, and window
// settings kept in a settings file.

#include "SkinTestSupport.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "foundation/SettingsFiles.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "platform/FileSystem.h"
#include "render/COpacityProxyFrame.h"
#include "render/CProxyFrame.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "ui/CJWindow.h"
#include "ui/CScreenWindow.h"
#include "ui/CWindowImageCache.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using CLog = std::vector<std::string>;

// Fills itself with one colour and notes what reaches it.
class CPaintWindow : public CJWindow {
public:
    CPaintWindow(const char* name, uint32_t rgb, CLog* log)
        : CJWindow(nullptr, name)
        , m_Name(name)
        , m_Colour(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255)
        , m_Log(log)
    {
    }
    void Draw(CFrameInterface& frame) override
    {
        m_Log->push_back("draw " + m_Name);
        auto* proxy = dynamic_cast<COffsetClippedProxyFrame*>(&frame);
        m_Faded = proxy && dynamic_cast<COpacityProxyFrame*>(proxy->GetFrame()) != nullptr;
        frame.FillRect(CRect{0, 0, GetWidth(), GetHeight()}, m_Colour);
        CJWindow::Draw(frame);
    }
    void OnNotify(CJWindow* sender, int32_t code) override
    {
        if (code == kNotifyFirstDraw)
            m_Log->push_back("notice " + m_Name);
        CJWindow::OnNotify(sender, code);
    }

    std::string m_Name;
    CColor m_Colour;
    CLog* m_Log;
    bool m_Faded = false;
};

class DrawingTest : public SkinFrameTest {
protected:
    CPaintWindow* Add(CJWindow& parent, const char* name, uint32_t rgb, CRect rect)
    {
        auto* window = new CPaintWindow(name, rgb, &m_Log);
        window->SetRect(rect);
        parent.AddChild(window, kAsIsNoGrow);
        return window;
    }
    CJWindow* Root(int32_t width, int32_t height)
    {
        auto* root = new CJWindow(nullptr);
        root->SetRect(CRect{0, 0, width, height});
        return root;
    }
    CLog m_Log;
    CColor m_Black{0, 0, 0, 255};
};

uint32_t Grey(uint32_t value)
{
    return value << 16 | value << 8 | value;
}

TEST_F(DrawingTest, ChildrenDrawBackToFrontInTwoLayersAtTheirPlaceClippedToTheirParents)
{
    CJWindow* root = Root(40, 30);
    CPaintWindow* top = Add(*root, "top", 0x00FF00, CRect{10, 10, 25, 25});
    top->SetTopLayer(true);
    Add(*root, "a", 0xFF0000, CRect{5, 5, 20, 20});
    CPaintWindow* c = Add(*root, "c", 0x0000FF, CRect{15, 15, 30, 30});
    Add(*c, "d", 0xFFFF00, CRect{10, 10, 40, 40});
    auto canvas = Canvas(40, 30);
    root->Draw(*canvas);
    EXPECT_EQ(m_Log, (CLog{"notice c", "draw c", "notice d", "draw d", "notice a", "draw a", "notice top",
                           "draw top"}));
    EXPECT_EQ(Rgb(*canvas, 7, 7), 0xFF0000u);
    EXPECT_EQ(Rgb(*canvas, 17, 17), 0x00FF00u) << "the top layer over everything";
    EXPECT_EQ(Rgb(*canvas, 27, 20), 0x0000FFu);
    EXPECT_EQ(Rgb(*canvas, 27, 27), 0xFFFF00u) << "the grandchild at its parent's origin";
    EXPECT_EQ(Rgb(*canvas, 31, 27), 0u) << "cut at its parent's edge";
    EXPECT_EQ(Rgb(*canvas, 35, 5), 0u);
    root->Destroy();
}

TEST_F(DrawingTest, TheFirstDrawNoticeComesOnceEvenForChildrenThatAreNotDrawn)
{
    CJWindow* root = Root(40, 30);
    Add(*root, "outside", 0xFF0000, CRect{50, 0, 60, 10});
    CPaintWindow* hidden = Add(*root, "hidden", 0xFF0000, CRect{0, 0, 10, 10});
    hidden->Show(false, false);
    auto canvas = Canvas(40, 30);
    root->Draw(*canvas);
    root->Draw(*canvas);
    EXPECT_EQ(m_Log, (CLog{"notice hidden", "notice outside"}));
    EXPECT_EQ(Rgb(*canvas, 5, 5), 0u);
    root->Destroy();
}

TEST_F(DrawingTest, OnlyOpacityBelowOneDrawsThroughAFadingProxy)
{
    CJWindow* root = Root(40, 30);
    CPaintWindow* faded = Add(*root, "faded", 0xFF0000, CRect{0, 0, 10, 10});
    faded->SetOpacity(0.5f);
    CPaintWindow* inner = Add(*faded, "inner", 0x00FF00, CRect{5, 5, 10, 10});
    CPaintWindow* solid = Add(*root, "solid", 0x0000FF, CRect{20, 0, 30, 10});
    auto canvas = Canvas(40, 30);
    root->Draw(*canvas);
    EXPECT_TRUE(faded->m_Faded);
    EXPECT_TRUE(inner->m_Faded) << "children of a faded window fade with it";
    EXPECT_FALSE(solid->m_Faded);
    const uint32_t red = Rgb(*canvas, 2, 2) >> 16;
    EXPECT_GE(red, 120u);
    EXPECT_LE(red, 135u);
    EXPECT_EQ(Rgb(*canvas, 25, 5), 0x0000FFu);
    root->Destroy();
}

TEST_F(DrawingTest, TheFocusRectangleShowsAfterTabUntilTheNextPress)
{
    // As the program starts: an earlier test's Tab may have left it shown.
    CJWindow::SetKeyboardFocusShown(false);
    auto canvas = Canvas(100, 80);
    auto* screen = new CScreenWindow(canvas.get(), m_Font.get());
    screen->SetFocusColorRGB(0, 200, 0);
    screen->SetOutlineColorRGB(200, 0, 200);
    auto* first = new CJWindow(nullptr, "first");
    auto* second = new CJWindow(nullptr, "second");
    auto* outlined = new CJWindow(nullptr, "outlined");
    for (CJWindow* w : {first, second})
        w->SetTabStop(true);
    outlined->SetDrawOutline(true);
    first->SetRect(CRect{10, 10, 30, 30});
    second->SetRect(CRect{40, 10, 60, 30});
    outlined->SetRect(CRect{10, 50, 30, 70});
    for (CJWindow* w : {first, second, outlined})
        screen->AddChild(w, kAsIsNoGrow);
    const auto focusedAt = [&](int32_t x) { return Rgb(*canvas, x, 9) == 0x00C800u; };

    screen->Draw(*canvas);
    EXPECT_FALSE(focusedAt(15));
    EXPECT_FALSE(focusedAt(45));
    EXPECT_EQ(Rgb(*canvas, 15, 49), 0xC800C8u) << "the outline needs no focus";

    screen->OnKeyDown(kKeyTab);
    canvas->Fill(m_Black);
    screen->Draw(*canvas);
    EXPECT_TRUE(focusedAt(15) != focusedAt(45)) << "one of the two shows the focus";
    EXPECT_EQ(Rgb(*canvas, 9, 20) == 0x00C800u, focusedAt(15)) << "the rectangle grown by one pixel";

    CMouseState::SGetInstance().SetPosition(90, 75);
    CMouseState::SGetInstance().SetButtons(1);
    screen->Update(1.0f / 60.0f);
    CMouseState::SGetInstance().SetButtons(0);
    screen->Update(1.0f / 60.0f);
    canvas->Fill(m_Black);
    screen->Draw(*canvas);
    EXPECT_FALSE(focusedAt(15));
    EXPECT_FALSE(focusedAt(45));
    screen->Destroy();
    CMouseState::SGetInstance().ResetForTesting();
    CKeyboardState::SGetInstance().ResetForTesting();
}

// Pixels of exactly one colour in a frame.
int32_t CountColour(const CFrame& frame, uint32_t rgb)
{
    int32_t count = 0;
    for (int32_t y = 0; y < int32_t(frame.GetHeight()); ++y)
        for (int32_t x = 0; x < int32_t(frame.GetWidth()); ++x)
            count += Rgb(frame, x, y) == rgb;
    return count;
}

TEST_F(DrawingTest, GreyedTitlesDrawDimmedWithoutUnderlineAndLeaveTheBlitsAsFound)
{
    CJWindow* root = Root(200, 40);
    auto* window = new CJWindow(nullptr, "&Open file");
    window->SetRect(CRect{0, 0, 200, 40});
    window->SetTextColor(CColor(0, 250, 0, 255));
    window->SetBorderWidth(0);
    root->AddChild(window, kAsIsNoGrow);
    ASSERT_EQ(window->GetTitle().Compare("Open file"), 0);
    ASSERT_EQ(window->GetHotKeyIndex(), 0);

    auto lit = Canvas(200, 40);
    window->DrawTitle(*lit, 10, 5, 0);
    EXPECT_GT(CountColour(*lit, 0x00FA00), 0) << "the hot key is underlined in the text colour";

    CBlitType& text = GetTransparentMaskBlitType();
    CBlitType& black = GetBlackBiasBlitType();
    const CScopedBlitOpacity outerText(text, 0.75f), outerBlack(black, 0.5f);
    window->Enable(false);
    auto grey = Canvas(200, 40);
    window->DrawTitle(*grey, 10, 5, 0);
    EXPECT_EQ(CountColour(*grey, 0x00FA00), 0) << "no underline while greyed";
    EXPECT_FLOAT_EQ(text.GetOpacity(), 0.75f) << "a nested greyed draw leaves the outer opacity";
    EXPECT_FLOAT_EQ(black.GetOpacity(), 0.5f);
    // The glyphs are fainter than the lit ones.
    uint32_t brightestLit = 0, brightestGrey = 0;
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 200; ++x) {
            brightestLit = std::max(brightestLit, Rgb(*lit, x, y) >> 16);
            brightestGrey = std::max(brightestGrey, Rgb(*grey, x, y) >> 16);
        }
    EXPECT_LT(brightestGrey, brightestLit);
    root->Destroy();
}

TEST_F(DrawingTest, ArrowAndCrossTitlesArePictures)
{
    auto* window = new CJWindow(nullptr, "/\\");
    window->SetTextColor(CColor(250, 0, 0, 255));
    auto canvas = Canvas(20, 20);
    window->DrawTitle(*canvas, 10, 10, 1);
    for (int32_t y = 8; y <= 11; ++y)
        EXPECT_EQ(Rgb(*canvas, 10, y), 0xFA0000u) << y;
    EXPECT_EQ(Rgb(*canvas, 9, 9), 0xFA0000u);
    EXPECT_EQ(Rgb(*canvas, 11, 9), 0xFA0000u);
    EXPECT_EQ(Rgb(*canvas, 9, 10), 0u);
    EXPECT_EQ(CountColour(*canvas, 0xFA0000), 6);

    window->SetTitle(CJString("\\/"));
    auto down = Canvas(20, 20);
    window->DrawTitle(*down, 10, 10, 1);
    EXPECT_EQ(Rgb(*down, 9, 10), 0xFA0000u);
    EXPECT_EQ(Rgb(*down, 9, 9), 0u);

    window->SetTitle(CJString("><"));
    auto cross = Canvas(20, 20);
    window->DrawTitle(*cross, 10, 10, 1);
    EXPECT_EQ(Rgb(*cross, 7, 8), 0xFA0000u);
    EXPECT_EQ(Rgb(*cross, 11, 12), 0xFA0000u);
    EXPECT_EQ(Rgb(*cross, 11, 8), 0xFA0000u);
    EXPECT_EQ(Rgb(*cross, 7, 12), 0xFA0000u);
    window->Destroy();
}

TEST_F(DrawingTest, BevelBoxesRingByTheFontUnitAndStopWhenTooSmall)
{
    const int32_t unit = int32_t(m_Font->GetHeight()) / 5;
    ASSERT_GE(unit, 2);
    const uint32_t light = Grey(Blend(100, 255, 24)), shadow = Grey(Blend(100, 0, 128));
    const uint32_t strongShadow = Grey(Blend(100, 0, 160));
    auto canvas = CFrame::MakeOwned(30, 30, 32);
    CColor grey(100, 100, 100, 255);
    canvas->Fill(grey);
    CJWindow::DrawBevelBox(m_Font.get(), *canvas, CRect{0, 0, 30, 30}, true, 15, false);
    for (int32_t ring = 0; ring < unit; ++ring) {
        EXPECT_EQ(Rgb(*canvas, ring, 15), light) << ring;
        EXPECT_EQ(Rgb(*canvas, 29 - ring, 15), shadow) << ring;
        EXPECT_EQ(Rgb(*canvas, 15, 29 - ring), shadow) << ring;
    }
    EXPECT_EQ(Rgb(*canvas, unit, 15), 0x646464u);

    // Sunken, strong, left edge only.
    canvas->Fill(grey);
    CJWindow::DrawBevelBox(m_Font.get(), *canvas, CRect{0, 0, 30, 30}, false, 1, true);
    EXPECT_EQ(Rgb(*canvas, 0, 15), strongShadow);
    EXPECT_EQ(Rgb(*canvas, 15, 0), 0x646464u);
    EXPECT_EQ(Rgb(*canvas, 29, 15), 0x646464u);

    // A 5 x 5 box takes one ring: the next would be 3 x 3.
    canvas->Fill(grey);
    CJWindow::DrawBevelBox(m_Font.get(), *canvas, CRect{0, 0, 5, 5}, true, 15, false);
    EXPECT_EQ(Rgb(*canvas, 0, 2), light);
    EXPECT_EQ(Rgb(*canvas, 1, 2), 0x646464u);
    CJWindow::DrawBevelBox(nullptr, *canvas, CRect{10, 10, 20, 20}, true, 15, false);
    EXPECT_EQ(Rgb(*canvas, 10, 15), 0x646464u) << "no font, no unit, no bevel";
}

// Notes when the toolkit calls it.
class CProbeCache : public CWindowImageCache {
public:
    explicit CProbeCache(CLog* log)
        : m_Log(log)
    {
    }
    void BeginWindow(CJWindow& window, COffsetClippedProxyFrame&) override
    {
        m_Log->push_back("begin " + std::string(window.GetTitleText()));
    }
    void EndWindow(CJWindow& window, COffsetClippedProxyFrame& target) override
    {
        CRect clip{};
        target.GetBounds(clip);
        m_Log->push_back("end " + std::string(window.GetTitleText()) + " clip " + std::to_string(clip.right));
    }
    CLog* m_Log;
};

TEST_F(DrawingTest, AnImageCacheRecordIsCalledAroundItsWindowWhileTheSwitchIsOn)
{
    CJWindow* root = Root(40, 30);
    CPaintWindow* cached = Add(*root, "cached", 0xFF0000, CRect{5, 5, 20, 20});
    cached->SetImageCache(new CProbeCache(&m_Log));
    auto canvas = Canvas(40, 30);
    root->Draw(*canvas);
    EXPECT_EQ(m_Log, (CLog{"notice cached", "begin cached", "draw cached", "end cached clip 40"}));
    m_Log.clear();
    SetWindowImageCacheEnabled(false);
    root->Draw(*canvas);
    SetWindowImageCacheEnabled(true);
    EXPECT_EQ(m_Log, (CLog{"draw cached"}));
    root->Destroy();
}

class SettingsTest : public DrawingTest {
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        CJWindow::SetWindowSettingsFile("Windows.ini");
        m_Root = Root(200, 100);
    }
    void TearDown() override
    {
        if (m_Root)
            m_Root->Destroy();
        CJWindow::SetWindowSettingsFile(nullptr);
        DrawingTest::TearDown();
    }
    CJWindow* Tool(const char* title, CRect rect)
    {
        auto* window = new CJWindow(nullptr, title);
        window->SetRect(rect);
        m_Root->AddChild(window, kAsIsNoGrow);
        return window;
    }
    static std::string Text(const CRect& r)
    {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    }
    CJWindow* m_Root = nullptr;
};

TEST_F(SettingsTest, SettingsRoundTripNegativePositionsIncludedAndAreSavedWhenTheWindowGoes)
{
    CJWindow* first = Tool("Tools", CRect{0, 0, 30, 20});
    first->LoadWindowSettings(nullptr, true);
    first->SetRect(CRect{-5, -7, 35, 23});
    first->SetTransparent(true);
    first->Show(false, false);
    first->Destroy();
    EXPECT_EQ(GetIniInt("Windows.ini", "Tools", "Position X", 0), -5);
    EXPECT_EQ(GetIniInt("Windows.ini", "Tools", "Width", 0), 40);

    CJWindow* again = Tool("Other title", CRect{0, 0, 10, 10});
    again->LoadWindowSettings("Tools", true);
    EXPECT_EQ(Text(again->GetRect()), "-5,-7,35,23");
    EXPECT_FALSE(again->IsVisible());
    EXPECT_TRUE(again->IsTransparent());
}

int g_SettingsSyncs = 0;
void CountSettingsSync(std::string_view)
{
    ++g_SettingsSyncs;
}

// Editors save their settings on every close: one synced replacement of the
// file for all the window's keys, not one per key.
TEST_F(SettingsTest, AWindowsKeysAreSavedInOneReplacementOfTheFile)
{
    SetIniInt("Windows.ini", "Other", "Width", 7);
    CJWindow* first = Tool("Tools", CRect{3, 4, 33, 24});
    g_SettingsSyncs = 0;
    const plat::SyncObserver previous = plat::SetSyncObserver(&CountSettingsSync);
    first->SaveWindowSettings(nullptr, true);
    plat::SetSyncObserver(previous);
    EXPECT_EQ(g_SettingsSyncs, 1);
    EXPECT_EQ(GetIniInt("Windows.ini", "Tools", "Width", 0), 30);
    EXPECT_EQ(GetIniInt("Windows.ini", "Tools", "Height", 0), 20);
    EXPECT_EQ(GetIniInt("Windows.ini", "Tools", "Position X", 0), 3);
    EXPECT_EQ(GetIniInt("Windows.ini", "Tools", "Position Y", 0), 4);
    EXPECT_EQ(GetIniInt("Windows.ini", "Tools", "Show Window", 0), 1);
    EXPECT_EQ(GetIniInt("Windows.ini", "Tools", "Transparent Window", -1), 0);
    EXPECT_EQ(GetIniInt("Windows.ini", "Other", "Width", 0), 7) << "other sections kept";
}

TEST_F(SettingsTest, WindowsOffTheParentComeBackAndDamagedSizesAreHeld)
{
    SetIniInt("Windows.ini", "Far", "Position X", 500);
    SetIniInt("Windows.ini", "Far", "Position Y", -50);
    CJWindow* far = Tool("Far", CRect{0, 0, 30, 20});
    far->LoadWindowSettings(nullptr, false);
    EXPECT_EQ(Text(far->GetRect()), "170,0,200,20") << "ends at the right edge, starts at the top";

    SetIniInt("Windows.ini", "Huge", "Width", 100000);
    SetIniInt("Windows.ini", "Huge", "Height", 7);
    SetIniInt("Windows.ini", "Huge", "Position X", -100000);
    CJWindow* huge = Tool("Huge", CRect{0, 0, 30, 20});
    huge->LoadWindowSettings(nullptr, true);
    EXPECT_EQ(Text(huge->GetRect()), "0,0,200,7");
}

TEST_F(SettingsTest, ASecondWindowAtTheSamePlaceCascadesByTenPixels)
{
    SetIniInt("Windows.ini", "Note", "Position X", 20);
    SetIniInt("Windows.ini", "Note", "Position Y", 20);
    CJWindow* first = Tool("Note", CRect{0, 0, 30, 20});
    first->LoadWindowSettings(nullptr, false);
    CJWindow* second = Tool("Note", CRect{0, 0, 30, 20});
    second->LoadWindowSettings(nullptr, false);
    CJWindow* third = Tool("Note", CRect{0, 0, 30, 20});
    third->LoadWindowSettings(nullptr, false);
    EXPECT_EQ(Text(first->GetRect()), "20,20,50,40");
    EXPECT_EQ(Text(second->GetRect()), "30,30,60,50");
    EXPECT_EQ(Text(third->GetRect()), "40,40,70,60");
}

} // namespace
