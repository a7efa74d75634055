#include "shell/CGameBase.h"
#include "shell/CMouseState.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"
#include "shell/GameWindow.h"
#include "shell/VideoOptions.h"
#include "shell/WindowModes.h"

#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include "blit/CBlitTypeList.h"
#include "blit/CColor.h"
#include "foundation/CIniSection.h"
#include "foundation/FatalError.h"
#include "images/CFrameAsMipMapTexture.h"
#include "platform/GraphicsDeviceHeadless.h"
#include "render/SurfaceHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using CallKind = plat::ScreenCall::Kind;

class ScreenTest : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        RegisterImagesClasses();
        CScreenDevice::SGetInstance().SetDeviceForTesting(&m_Device);
        CScreenFrame& screen = Screen();
        screen.SetBrightness(1.0f);
        screen.FadeIn(0.0f, FadeWait::Return);
        screen.UpdateFade(0.0f);
        screen.SetDrawSafeZone(false);
        screen.SetBlendMode(plat::ScreenBlend::Normal);
    }
    void TearDown() override
    {
        CScreenDevice::SGetInstance().SetDeviceForTesting(nullptr);
        CTempFolderTest::TearDown();
    }
    static CScreenFrame& Screen() { return CScreenFrame::SGetInstance(); }
    // Sets the mode and forgets the calls it made.
    void Mode(int32_t desktopWidth, int32_t desktopHeight, bool fullScreen, bool desktopResolution)
    {
        m_Device.SetDesktopSize(desktopWidth, desktopHeight);
        CScreenDevice::SGetInstance().SetDeviceForTesting(&m_Device);
        SetUseDesktopResolution(desktopResolution);
        ASSERT_TRUE(Screen().SetScreenMode(fullScreen));
        m_Device.TakeCalls();
    }
    uint32_t Presented(int32_t x, int32_t y) const
    {
        return m_Device.GetPresented()[size_t(y) * size_t(m_Device.GetBackBufferWidth()) + size_t(x)];
    }

    plat::CGraphicsDeviceHeadless m_Device;
};

struct ModeCase {
    const char* name;
    int32_t desktopWidth, desktopHeight;
    bool fullScreen, desktopResolution;
    uint32_t backWidth, backHeight;
    float scale, offsetX, offsetY;
};

class DisplayModes : public ScreenTest, public testing::WithParamInterface<ModeCase> {};

TEST_P(DisplayModes, BackBufferAndLetterboxMapping)
{
    const ModeCase& c = GetParam();
    Mode(c.desktopWidth, c.desktopHeight, c.fullScreen, c.desktopResolution);
    const CScreenDevice& device = CScreenDevice::SGetInstance();
    EXPECT_EQ(device.GetBackBufferWidth(), c.backWidth);
    EXPECT_EQ(device.GetBackBufferHeight(), c.backHeight);
    EXPECT_EQ(m_Device.GetBackBufferWidth(), int32_t(c.backWidth));
    EXPECT_NEAR(device.GetView().scale, c.scale, 1e-4f);
    EXPECT_NEAR(device.GetView().offsetX, c.offsetX, 1e-3f);
    EXPECT_NEAR(device.GetView().offsetY, c.offsetY, 1e-3f);
    // Drawing and the mouse use the same mapping: there and back again.
    for (float gx : {0.0f, 17.5f, 512.0f, 1023.0f, 1024.0f})
        for (float gy : {0.0f, 383.25f, 768.0f}) {
            float x = gx, y = gy;
            device.GameToWindow(x, y);
            EXPECT_NEAR(x, gx * c.scale + c.offsetX, 1e-2f);
            device.WindowToGame(x, y);
            EXPECT_NEAR(x, gx, 1e-3f);
            EXPECT_NEAR(y, gy, 1e-3f);
        }
    // The game area as drawn: its first and last columns and rows are lit,
    // the bars beside them stay black even where something was drawn there.
    CColor white(255, 255, 255, 255);
    Screen().FillRect(CRect{-200, -200, 1224, 968}, white);
    ASSERT_TRUE(Screen().Present());
    const int32_t left = int32_t(c.offsetX + 0.5f), right = int32_t(c.offsetX + 1024 * c.scale - 0.5f);
    const int32_t top = int32_t(c.offsetY + 0.5f), bottom = int32_t(c.offsetY + 768 * c.scale - 0.5f);
    EXPECT_EQ(Presented(left, top), 0xFFFFFFFFu);
    EXPECT_EQ(Presented(right, bottom), 0xFFFFFFFFu);
    if (left > 0) {
        EXPECT_EQ(Presented(left - 1, top), 0xFF000000u);
        EXPECT_EQ(Presented(right + 1, bottom), 0xFF000000u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, DisplayModes,
    testing::Values(
        // A height of 768 gives 1024 wide on a large enough desktop.
        ModeCase{"Windowed4to3", 1600, 1200, false, false, 1024, 768, 1.0f, 0.0f, 0.0f},
        ModeCase{"Windowed16to9", 1920, 1080, false, false, 1024, 768, 1.0f, 0.0f, 0.0f},
        // Smaller than 1054 by 868: shrunk by min(1024 / 1054, 768 / 868).
        ModeCase{"WindowedSmallDesktop", 1024, 768, false, false, 906, 680, 0.884765625f, 0.0f, 0.25f},
        ModeCase{"Windowed16to10Short", 1280, 800, false, false, 944, 708, 0.921875f, 0.0f, 0.0f},
        ModeCase{"FullScreen4to3", 1600, 1200, true, false, 1024, 768, 1.0f, 0.0f, 0.0f},
        ModeCase{"FullScreen16to9Desktop", 1920, 1080, true, true, 1920, 1080, 1.40625f, 240.0f, 0.0f},
        ModeCase{"FullScreen16to10Desktop", 1680, 1050, true, true, 1680, 1050, 1.3671875f, 140.0f, 0.0f},
        ModeCase{"FullScreen16to9NoDesktop", 1920, 1080, true, false, 1024, 768, 1.0f, 0.0f, 0.0f},
        // Taller than 4:3: bars above and below.
        ModeCase{"FullScreen5to4Desktop", 1280, 1024, true, true, 1280, 1024, 1.25f, 0.0f, 32.0f}),
    [](const testing::TestParamInfo<ModeCase>& mode) { return std::string(mode.param.name); });

TEST_F(ScreenTest, AModeSetResetsTheDeviceAndAFailedOneKeepsTheSetting)
{
    Mode(1920, 1080, false, false);
    EXPECT_EQ(GetOptionsSection().GetInt("Full Screen", 7), 0);
    const size_t resets = m_Device.GetResetCount();
    ASSERT_TRUE(Screen().SetScreenMode(true));
    EXPECT_EQ(m_Device.GetResetCount(), resets + 1);
    m_Device.SetFailResets(true);
    EXPECT_FALSE(Screen().SetScreenMode(false));
    EXPECT_EQ(GetOptionsSection().GetInt("Full Screen", 7), 1);
}

TEST_F(ScreenTest, ALostDeviceIsResetByTheNextPresent)
{
    Mode(1920, 1080, false, false);
    SetScreenDeviceReady(true);
    m_Device.LoseDevice();
    const size_t resets = m_Device.GetResetCount();
    EXPECT_TRUE(Screen().Present());
    EXPECT_EQ(m_Device.GetResetCount(), resets + 1);
    EXPECT_TRUE(Screen().Present());
    SetScreenDeviceReady(false);
}

TEST_F(ScreenTest, BlitDrawsTheFrameOneToOneAtItsPosition)
{
    Mode(1920, 1080, false, false);
    auto frame = CFrame::MakeOwned(5, 3, 32);
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 5; ++x)
            reinterpret_cast<uint32_t*>(frame->Row(y))[x] = 0xFF000000u | (x * 50) << 16 | (y * 100) << 8 | 7;
    ASSERT_TRUE(Screen().Blit(*frame, CRect{1, 0, 5, 3}, CRect{101, 40, 105, 43}, GetNormalBlitType()));
    ASSERT_TRUE(Screen().Present());
    EXPECT_EQ(Presented(100, 40), 0xFF000000u);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 1; x < 5; ++x)
            EXPECT_EQ(Presented(100 + x, 40 + y), 0xFF000000u | uint32_t(x * 50) << 16 | uint32_t(y * 100) << 8 | 7)
                << x << "," << y;
}

// The source rectangle is in frame coordinates, as a memory frame takes it:
// a frame with an offset lands where it lands in a memory frame.
TEST_F(ScreenTest, BlitPlacesAFrameWithAnOffsetAsMemoryFramesDo)
{
    Mode(1920, 1080, false, false);
    auto frame = CFrame::MakeOwned(5, 3, 32);
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 5; ++x)
            reinterpret_cast<uint32_t*>(frame->Row(y))[x] = 0xFF000000u | (x * 50) << 16 | (y * 100) << 8 | 9;
    frame->SetOffset(-2, -1);
    auto memory = CFrame::MakeOwned(200, 100, 32);
    ASSERT_TRUE(BlitAt(Screen(), *frame, 100, 40, GetNormalBlitType()));
    ASSERT_TRUE(BlitAt(*memory, *frame, 100, 40, GetNormalBlitType()));
    // Only the frame's right part: frame x 1..2, pixels 3..4.
    ASSERT_TRUE(Screen().Blit(*frame, CRect{1, -1, 3, 2}, CRect{151, 39, 153, 42}, GetNormalBlitType()));
    ASSERT_TRUE(memory->Blit(*frame, CRect{1, -1, 3, 2}, CRect{151, 39, 153, 42}, GetNormalBlitType()));
    ASSERT_TRUE(Screen().Present());
    for (int32_t y = 38; y < 44; ++y)
        for (int32_t x = 96; x < 156; ++x) {
            const uint32_t expected = reinterpret_cast<const uint32_t*>(memory->Row(uint32_t(y)))[x];
            EXPECT_EQ(Presented(x, y), expected == 0 ? 0xFF000000u : expected) << x << "," << y;
        }
    EXPECT_EQ(Presented(98, 39), 0xFF000000u | 9u);
}

struct OverlayCase {
    const char* name;
    float brightness;
    uint32_t argb; // 0: no overlay
};

class Overlays : public ScreenTest, public testing::WithParamInterface<OverlayCase> {};

TEST_P(Overlays, FollowBrightnessTimesFade)
{
    Mode(1920, 1080, false, false);
    Screen().SetBrightness(GetParam().brightness);
    ASSERT_TRUE(Screen().Present());
    const auto calls = m_Device.TakeCalls();
    // The overlay, then four bars, then present and clear.
    const size_t fills = GetParam().argb ? 5 : 4;
    ASSERT_EQ(calls.size(), fills + 2);
    if (GetParam().argb) {
        EXPECT_EQ(calls[0].vertices[0].argb, GetParam().argb);
    }
    EXPECT_EQ(calls[fills - 1].vertices[0].argb, 0xFF000000u);
    EXPECT_EQ(calls[fills].kind, CallKind::Present);
    EXPECT_EQ(calls[fills + 1].kind, CallKind::Clear);
}

INSTANTIATE_TEST_SUITE_P(Brightness, Overlays,
                         testing::Values(OverlayCase{"Brighter", 1.2f, 0x33FFFFFFu},
                                         OverlayCase{"Darker", 0.5f, 0x80000000u}, OverlayCase{"Plain", 1.0f, 0},
                                         OverlayCase{"NegativeIsBlack", -3.0f, 0xFF000000u}),
                         [](const testing::TestParamInfo<OverlayCase>& o) { return std::string(o.param.name); });

TEST_F(ScreenTest, ShapesBelowTheirMinimumDrawNothing)
{
    Mode(1920, 1080, false, false);
    const float triangle[] = {0, 0, 10, 0, 5, 5};
    EXPECT_FALSE(Screen().FillShape(triangle, 3, 0xFFFFFFFFu));
    EXPECT_FALSE(Screen().OutlineShape(triangle, 1, 0xFFFFFFFFu));
    CColor white(255, 255, 255, 255);
    Screen().DrawLine(-10, 5, -1, 50, white);
    Screen().DrawLine(0, 800, 100, 900, white);
    EXPECT_TRUE(m_Device.TakeCalls().empty());
    // Four points that close a triangle: the closing point goes, one triangle stays.
    const float closedTriangle[] = {0, 0, 10, 0, 5, 5, 0, 0};
    EXPECT_TRUE(Screen().FillShape(closedTriangle, 4, 0xFFFFFFFFu));
    const auto calls = m_Device.TakeCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].vertices.size(), 3u);
}

TEST_F(ScreenTest, FillsInZigZagOrder)
{
    Mode(1920, 1080, false, false);
    // A concave arrow: drawn as its strip, not as its true area.
    const float arrow[] = {0, 0, 10, 5, 0, 10, 3, 5};
    ASSERT_TRUE(Screen().FillShape(arrow, 4, 0xFF00FF00u));
    const auto calls = m_Device.TakeCalls();
    ASSERT_EQ(calls.size(), 1u);
    const auto& v = calls[0].vertices;
    ASSERT_EQ(v.size(), 6u);
    // Strip first, last, second, third: (0,0) (3,5) (10,5) (0,10).
    const float expected[][2] = {{0, 0}, {3, 5}, {10, 5}, {3, 5}, {10, 5}, {0, 10}};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(v[i].x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(v[i].y, expected[i][1]) << i;
    }
}

TEST_F(ScreenTest, RectangleOutlineLightsItsEdgePixels)
{
    Mode(1920, 1080, false, false);
    CColor red(255, 0, 0, 255);
    Screen().DrawRect(CRect{10, 10, 20, 15}, red);
    ASSERT_TRUE(Screen().Present());
    EXPECT_EQ(Presented(10, 10), 0xFFFF0000u);
    EXPECT_EQ(Presented(19, 10), 0xFFFF0000u);
    EXPECT_EQ(Presented(20, 12), 0xFFFF0000u);
    EXPECT_EQ(Presented(15, 15), 0xFFFF0000u);
    EXPECT_EQ(Presented(15, 12), 0xFF000000u);
}

TEST_F(ScreenTest, SafeZoneIsFivePercentInsideTheBackBufferInGameCoordinates)
{
    Mode(1920, 1080, true, true);
    Screen().SetDrawSafeZone(true);
    ASSERT_TRUE(Screen().Present());
    const auto calls = m_Device.TakeCalls();
    ASSERT_GE(calls.size(), 3u);
    const auto& outline = calls[calls.size() - 3];
    ASSERT_EQ(outline.kind, CallKind::LineStrip);
    EXPECT_EQ(outline.vertices[0].argb, 0xC0FFC8C8u);
    // 96 back-buffer pixels in: (96 - 240) / 1.40625 = -102.4, rounded to
    // -102; 54 down: 38.4 to 38. Drawn at the pixel centre of that game point.
    EXPECT_NEAR(outline.vertices[0].x, (-102 + 0.5f) * 1.40625f + 240.0f, 1e-3f);
    EXPECT_NEAR(outline.vertices[0].y, (38 + 0.5f) * 1.40625f, 1e-3f);
}

TEST_F(ScreenTest, AnUnfollowedFadeOutComesBackByItself)
{
    CScreenFrame& screen = Screen();
    screen.FadeOut(0.5f, 2.0f, FadeWait::Return);
    for (int i = 0; i < 4; ++i)
        screen.UpdateFade(0.125f);
    EXPECT_EQ(screen.GetFadeLevel(), 0.0f);
    EXPECT_EQ(screen.GetFadeState(), FadeState::Idle);
    // Two seconds of darkness are allowed; the next step starts the fade-in.
    for (int i = 0; i < 16; ++i)
        screen.UpdateFade(0.125f);
    EXPECT_EQ(screen.GetFadeState(), FadeState::Idle);
    screen.UpdateFade(0.125f);
    EXPECT_EQ(screen.GetFadeState(), FadeState::In);
    for (int i = 0; i < 7; ++i)
        screen.UpdateFade(0.125f);
    EXPECT_FLOAT_EQ(screen.GetFadeLevel(), 1.0f);
    EXPECT_EQ(screen.GetFadeState(), FadeState::Idle);
}

TEST_F(ScreenTest, DisplaySettingsFallBackToTheOtherModeAndKeepTheDepth)
{
    const CScopedGlobalBitDepth depth(CFrame::SGetBitDepth());
    m_Device.SetDesktopSize(1920, 1080);
    GetOptionsSection().SetInt("Full Screen", 0);
    GetOptionsSection().SetInt("Screen Bit Depth", 16);
    GetOptionsSection().SetFloat("Screen Brightness", 1.25f);
    ASSERT_TRUE(ApplyDisplaySettings(KeepDepth::No));
    EXPECT_FALSE(m_Device.IsFullScreen());
    EXPECT_EQ(CFrame::SGetBitDepth(), 16u);
    EXPECT_FLOAT_EQ(Screen().GetBrightness(), 1.25f);
    EXPECT_EQ(GetOptionsSection().GetInt("Screen Width", 0), 1024);
    ASSERT_TRUE(ApplyDisplaySettings(KeepDepth::Yes));
    EXPECT_EQ(CFrame::SGetBitDepth(), 32u);
    SetScreenDeviceReady(false);
}

class WindowModeTest : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        m_Device.SetDesktopSize(1920, 1080);
        ResetWindowModeFailures();
        SetScreenDeviceReady(false);
    }
    void TearDown() override
    {
        CGameBase::SSetShuttingDown(false);
        SetScreenDeviceReady(false);
        ResetWindowModeFailures();
        ScreenTest::TearDown();
    }
    static void AltEnter()
    {
        plat::WindowEvent up;
        up.kind = plat::WindowEvent::Kind::KeyUp;
        up.virtualKey = plat::vk::kReturn;
        up.scanIndex = 28;
        up.altHeld = true;
        HandleWindowEvent(up);
    }

    CScopedThrowingFatal m_Throwing;
};

TEST_F(WindowModeTest, AltEnterSwitchesOnlyOnceTheDeviceIsReadyAndKeepsTheTextures)
{
    AltEnter();
    EXPECT_EQ(m_Device.GetResetCount(), 0u) << "before the display settings nothing is switched";

    SetScreenDeviceReady(true);
    SwitchToWindowed();
    ASSERT_FALSE(m_Device.IsFullScreen());
    auto frame = CFrame::MakeOwned(8, 8, 32);
    ASSERT_TRUE(Screen().Blit(*frame, CRect{0, 0, 8, 8}, CRect{0, 0, 8, 8}, GetNormalBlitType()));

    AltEnter();
    EXPECT_TRUE(m_Device.IsFullScreen());
    EXPECT_TRUE(Screen().IsFullScreen());
    EXPECT_EQ(GetOptionsSection().GetInt("Full Screen", 7), 1);
    EXPECT_EQ(m_Device.GetRebuiltTextures(), 1u);
    AltEnter();
    EXPECT_FALSE(m_Device.IsFullScreen());
    EXPECT_EQ(GetOptionsSection().GetInt("Full Screen", 7), 0);
    EXPECT_EQ(m_Device.GetRebuiltTextures(), 2u);

    // Enter without Alt, or Alt+Enter going down, is no switch.
    plat::WindowEvent plain;
    plain.kind = plat::WindowEvent::Kind::KeyUp;
    plain.virtualKey = plat::vk::kReturn;
    HandleWindowEvent(plain);
    plain.kind = plat::WindowEvent::Kind::KeyDown;
    plain.altHeld = true;
    HandleWindowEvent(plain);
    EXPECT_FALSE(m_Device.IsFullScreen());
}

// The game hears of the switch through the pump's client, and only of a
// switch the ready device made.
TEST_F(WindowModeTest, AltEnterTellsThePumpsClientOnceTheModeSwitched)
{
    class CModeClient final : public CMessagePumpClient {
    public:
        CModeClient() { SetMessagePumpClient(this); }
        ~CModeClient() { SetMessagePumpClient(nullptr); }
        void OnWindowActivation(bool) override {}
        bool KeepsRunningInBackground() const override { return false; }
        void OnDisplayModeChanged() override { fullScreenSeen.push_back(m_Screen.IsFullScreen()); }

        std::vector<bool> fullScreenSeen;
        CScreenFrame& m_Screen = CScreenFrame::SGetInstance();
    };
    CModeClient client;
    AltEnter();
    EXPECT_TRUE(client.fullScreenSeen.empty());
    SetScreenDeviceReady(true);
    SwitchToWindowed();
    AltEnter();
    AltEnter();
    EXPECT_EQ(client.fullScreenSeen, std::vector<bool>({true, false}));
}

struct FallbackCase {
    const char* name;
    bool askFullScreen;
    bool noFallback;
    bool refuseFullScreen, refuseWindowed;
    // -1: no mode set; 0 windowed; 1 full screen; 2 the fatal screen message.
    int outcome;
};

class Fallbacks : public WindowModeTest, public testing::WithParamInterface<FallbackCase> {};

TEST_P(Fallbacks, ARefusedModeTriesTheOtherOnce)
{
    const FallbackCase& c = GetParam();
    SetScreenDeviceReady(true);
    m_Device.SetRefuseMode(true, c.refuseFullScreen);
    m_Device.SetRefuseMode(false, c.refuseWindowed);
    auto ask = [&] {
        if (c.askFullScreen)
            SwitchToFullScreen(c.noFallback);
        else
            SwitchToWindowed(c.noFallback);
    };
    if (c.outcome == 2) {
        try {
            ask();
            FAIL() << "no fatal message";
        } catch (const CFatalErrorException& e) {
            EXPECT_EQ(e.caption, "Fatal Error!");
            EXPECT_EQ(e.message,
                      "No valid screen mode can be initialized\nthe device refused the mode\n\nCheck that "
                      "you have the latest video drivers installed.");
        }
        return;
    }
    ask();
    if (c.outcome < 0) {
        EXPECT_FALSE(m_Device.IsCreated());
        return;
    }
    ASSERT_TRUE(m_Device.IsCreated());
    EXPECT_EQ(m_Device.IsFullScreen(), c.outcome == 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, Fallbacks,
                         testing::Values(FallbackCase{"FullScreenGranted", true, false, false, false, 1},
                                         FallbackCase{"FullScreenRefusedGoesWindowed", true, false, true, false, 0},
                                         FallbackCase{"WindowedRefusedGoesFullScreen", false, false, false, true, 1},
                                         FallbackCase{"WindowedRefusedWithoutFallbackStays", false, true, false, true,
                                                      -1},
                                         FallbackCase{"BothRefusedFromFullScreen", true, false, true, true, 2},
                                         FallbackCase{"BothRefusedFromWindowed", false, false, true, true, 2}),
                         [](const testing::TestParamInfo<FallbackCase>& c) { return std::string(c.param.name); });

TEST_F(WindowModeTest, AFailedModeStaysFailedForTheRun)
{
    SetScreenDeviceReady(true);
    m_Device.SetRefuseMode(true, true);
    SwitchToFullScreen();
    ASSERT_FALSE(m_Device.IsFullScreen());
    m_Device.SetRefuseMode(true, false);
    const size_t resets = m_Device.GetResetCount();
    SwitchToFullScreen();
    EXPECT_FALSE(m_Device.IsFullScreen()) << "full screen is not asked again";
    EXPECT_EQ(m_Device.GetResetCount(), resets + 1);
}

struct TakenModeCase {
    const char* name;
    int32_t desktopWidth, desktopHeight;
    int32_t windowWidth, windowHeight; // what the window really got; 0: what it was asked
    bool fullScreenKept;
};

class TakenModes : public WindowModeTest, public testing::WithParamInterface<TakenModeCase> {};

// Full screen holds only when the display has at least the mode's columns
// and rows and the window got at least the mode's size (the picture is then
// stretched over it); otherwise the game goes windowed and says so in the
// settings.
TEST_P(TakenModes, FullScreenHoldsOnlyWhenTheWindowGotTheMode)
{
    const TakenModeCase& c = GetParam();
    m_Device.SetDesktopSize(c.desktopWidth, c.desktopHeight);
    m_Device.SetWindowSize(c.windowWidth, c.windowHeight);
    GetOptionsSection().SetInt("Full Screen", 1);
    SetScreenDeviceReady(true);
    SwitchToFullScreen();
    EXPECT_EQ(Screen().IsFullScreen(), c.fullScreenKept);
    EXPECT_EQ(m_Device.IsFullScreen(), c.fullScreenKept);
    EXPECT_EQ(GetOptionsSection().GetInt("Full Screen", 7), c.fullScreenKept ? 1 : 0);
    if (!c.fullScreenKept) {
        EXPECT_NE(std::string(GetScreenLastError().GetString()).find("did not take the full screen mode of 1024x768"),
                  std::string::npos)
            << GetScreenLastError().GetString();
    }
    // The pointer maps through the size the window has: its middle is the game's.
    int32_t width = 0, height = 0;
    m_Device.GetClientSize(width, height);
    CMouseState::SGetInstance().OnWindowPosition(width / 2, height / 2);
    int32_t x = 0, y = 0;
    CMouseState::SGetInstance().GetPosition(x, y);
    EXPECT_NEAR(x, 512, 1);
    EXPECT_NEAR(y, 384, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, TakenModes,
    testing::Values(TakenModeCase{"WindowTookTheMode", 1920, 1080, 0, 0, true},
                    TakenModeCase{"WindowGotLessThanTheDisplay", 1920, 1080, 1200, 900, true},
                    TakenModeCase{"WindowKeptASmallerSize", 1920, 1080, 800, 600, false},
                    TakenModeCase{"WindowGotTooFewRows", 1920, 1080, 1024, 700, false},
                    TakenModeCase{"DesktopSmallerThanTheMode", 800, 600, 0, 0, false},
                    // The window took the mode: the display alone refuses it.
                    TakenModeCase{"DisplayTooShortThoughWideEnough", 1280, 720, 1024, 768, false},
                    TakenModeCase{"DisplayTooNarrowThoughTallEnough", 1000, 1080, 1024, 768, false}),
    [](const testing::TestParamInfo<TakenModeCase>& c) { return std::string(c.param.name); });

} // namespace
