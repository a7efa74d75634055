#include "ShellTestSupport.h"

#include "blit/CBlitTypeList.h"
#include "images/CFrame.h"
#include "shell/CMouseState.h"
#include "shell/CScreenDevice.h"
#include "shell/GameWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class CEventLog : public CMouseEventListenerMixin {
public:
    void OnMouseEvent(const CMouseEvent& event) override { events.push_back(event); }
    std::vector<CMouseEvent> events;
};

class Mouse : public CShellTest {
protected:
    void SetUp() override
    {
        CShellTest::SetUp();
        CMouseState::SGetInstance().ResetForTesting();
        CScreenDevice::SGetInstance().SetDeviceForTesting(&m_Platform.GetHeadlessScreen());
        SetWindowState(true, false);
    }
    void TearDown() override
    {
        CMouseState::SGetInstance().ResetForTesting();
        CScreenDevice::SGetInstance().SetDeviceForTesting(nullptr);
        CShellTest::TearDown();
    }
    static CMouseState& State() { return CMouseState::SGetInstance(); }
    CEventLog m_Log;
};

TEST_F(Mouse, ButtonChangesAreOneEventEachWithTheChangedBits)
{
    State().SetButtons(1);
    State().SetButtons(1 | 2);
    State().SetButtons(1 | 2);
    State().SetButtons(0);
    ASSERT_EQ(m_Log.events.size(), 3u);
    EXPECT_EQ(m_Log.events[1].type, MouseEventType::Pressed);
    EXPECT_EQ(m_Log.events[1].changed, 2u);
    EXPECT_EQ(m_Log.events[2].type, MouseEventType::Released);
    EXPECT_EQ(m_Log.events[2].changed, 3u);
    EXPECT_EQ(m_Log.events[2].buttons, 0u);
}

TEST_F(Mouse, ClicksAreConsumedOnceAndWheelStepsKeepTheirFraction)
{
    State().AddClicks(0);
    State().AddClicks(1);
    EXPECT_FALSE(State().ConsumeClicks(2));
    EXPECT_TRUE(State().ConsumeClicks(1 | 2));
    EXPECT_FALSE(State().ConsumeClicks(1));
    State().AddWheel(0.5f);
    State().AddWheel(0.0f);
    State().AddWheel(0.75f);
    EXPECT_EQ(State().TakeWheelSteps(), 1);
    State().AddWheel(-1.0f);
    // -0.75 left: toward zero, nothing whole.
    EXPECT_EQ(State().TakeWheelSteps(), 0);
    State().AddWheel(-0.5f);
    EXPECT_EQ(State().TakeWheelSteps(), -1);
    // One click event, three wheel events, nothing for the zeros.
    EXPECT_EQ(m_Log.events.size(), 5u);
}

TEST_F(Mouse, UnregisteredListenersHearNothing)
{
    auto late = std::make_unique<CEventLog>();
    State().AddClicks(4);
    late.reset();
    State().AddClicks(4);
    EXPECT_EQ(m_Log.events.size(), 2u);
}

struct MappingCase {
    const char* name;
    bool fullScreen;
    bool desktopBackBuffer;            // the desktop's 1920x1080, else 1024x768
    int32_t windowWidth, windowHeight; // where the back buffer is shown
    int32_t windowX, windowY;
    int32_t gameX, gameY;
};

class MouseMapping : public Mouse, public ::testing::WithParamInterface<MappingCase> {};

// The pointer maps through where the picture is shown: the back buffer
// centred in a window of another shape, or stretched over a full screen,
// then the 1024x768 game area letterboxed in the back buffer.
TEST_P(MouseMapping, UsesTheMappingThePictureIsDrawnWith)
{
    const MappingCase& c = GetParam();
    plat::CGraphicsDeviceHeadless& device = m_Platform.GetHeadlessScreen();
    device.SetDesktopSize(1920, 1080);
    CScreenDevice& screen = CScreenDevice::SGetInstance();
    screen.SetDeviceForTesting(&device);
    SetUseDesktopResolution(c.desktopBackBuffer);
    ASSERT_TRUE(screen.Create(c.fullScreen, 1024, 768));
    device.SetWindowSize(c.windowWidth, c.windowHeight);
    State().OnWindowPosition(c.windowX, c.windowY);
    int32_t x = 0, y = 0;
    State().GetPosition(x, y);
    EXPECT_EQ(x, c.gameX);
    EXPECT_EQ(y, c.gameY);
    // Setting the position puts the system pointer back on the same spot.
    State().SetPosition(c.gameX, c.gameY);
    const plat::CWindowHeadless& window = m_Platform.GetHeadlessWindow();
    EXPECT_NEAR(window.GetWarpX(), c.windowX, 1);
    EXPECT_NEAR(window.GetWarpY(), c.windowY, 1);
    SetUseDesktopResolution(false);
}

INSTANTIATE_TEST_SUITE_P(
    MouseState, MouseMapping,
    ::testing::Values(MappingCase{"SameShape", false, false, 1024, 768, 100, 200, 100, 200},
                      // 1024x768 shown 1440x1080 from x = 240 in a 16:9 window.
                      MappingCase{"CentredInWideWindow", false, false, 1920, 1080, 240 + 720, 540, 512, 384},
                      MappingCase{"CentredLeftEdge", false, false, 1920, 1080, 240, 0, 0, 0},
                      MappingCase{"InTheBarIsOutsideTheGame", false, false, 1920, 1080, 100, 1078, -99, 766},
                      // 1024x768 shown 800x600 from y = 100 in a square window.
                      MappingCase{"CentredInSquareWindow", false, false, 800, 800, 400, 400, 512, 384},
                      // Full screen at 1024x768 over 1280x1024: 1.25 across, 4/3 down, no bars.
                      MappingCase{"StretchedOverFullScreen", true, false, 1280, 1024, 640, 512, 512, 384},
                      MappingCase{"StretchedEachAxisOnItsOwn", true, false, 1280, 1024, 125, 400, 100, 300},
                      MappingCase{"StretchedFarCorner", true, false, 1280, 1024, 1279, 1023, 1023, 767},
                      // The game letterboxed in a desktop-sized back buffer shown whole.
                      MappingCase{"LetterboxedBackBuffer", true, true, 1920, 1080, 960, 540, 512, 384},
                      MappingCase{"LetterboxedAndHalved", true, true, 960, 540, 120, 0, 0, 0}),
    [](const ::testing::TestParamInfo<MappingCase>& param) { return param.param.name; });

// Each axis maps through its own stretch of the shown area: a 4x3 back
// buffer shown in a 5x1000 window is 5x3 pixels, 1.25 across but 1 down.
TEST_F(Mouse, EachAxisMapsThroughItsOwnStretchOfTheShownArea)
{
    plat::CGraphicsDeviceHeadless& device = m_Platform.GetHeadlessScreen();
    device.SetDesktopSize(1920, 1080);
    CScreenDevice::SGetInstance().SetDeviceForTesting(&device);
    ASSERT_TRUE(CScreenDevice::SGetInstance().Create(false, 4, 3));
    device.SetWindowSize(5, 1000);
    State().OnWindowPosition(4, 498 + 2);
    int32_t x = 0, y = 0;
    State().GetPosition(x, y);
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 2);
}

TEST_F(Mouse, MovesWithinOneGamePixelSendNothingAndTrackingSumsMovements)
{
    plat::CGraphicsDeviceHeadless& device = m_Platform.GetHeadlessScreen();
    device.SetDesktopSize(1920, 1080);
    CScreenDevice::SGetInstance().SetDeviceForTesting(&device);
    ASSERT_TRUE(CScreenDevice::SGetInstance().Create(false, 512, 384));
    // The 512x384 game shown in a window twice its size: two window pixels per game pixel.
    device.SetWindowSize(1024, 768);
    State().OnWindowPosition(10, 10);
    State().OnWindowPosition(11, 11);
    EXPECT_EQ(m_Log.events.size(), 1u);
    State().StartTracking();
    State().OnWindowPosition(20, 4);
    State().OnWindowPosition(24, 8);
    int32_t dx = 0, dy = 0;
    State().TakeRelativeMovement(dx, dy);
    EXPECT_EQ(dx, 7);
    EXPECT_EQ(dy, -1);
    State().ForceSystemCursor();
    EXPECT_FALSE(State().IsTracking());
}

class CTestCursor : public CCursorSequence {
public:
    explicit CTestCursor(int32_t frames)
    {
        for (int32_t i = 0; i < frames; ++i)
            m_Frames.push_back(CFrame::MakeOwned(uint32_t(4 + i), 4, 32));
    }
    int32_t GetFrameCount() const override { return int32_t(m_Frames.size()); }
    int32_t GetCurrentFrame() const override { return current; }
    CFrameInterface* GetFrame(int32_t index) const override
    {
        return index >= 0 && index < GetFrameCount() ? m_Frames[size_t(index)].get() : nullptr;
    }
    CBlitType& GetBlitType() const override { return GetNormalBlitType(); }
    int32_t current = 0;

private:
    std::vector<std::unique_ptr<CFrame>> m_Frames;
};

TEST_F(Mouse, CursorFrameRestartsOrStopsAndTheSystemArrowStandsInForAMissingCursor)
{
    RegisterImagesClasses();
    CTestCursor five(5), two(2);
    const plat::CWindowHeadless& window = m_Platform.GetHeadlessWindow();
    State().ShowCursor();
    // Visible with nothing to draw: the system's arrow.
    EXPECT_TRUE(window.IsCursorShown());
    EXPECT_EQ(State().SetCursor(&five, CursorStart::Started, CursorStop::AtLastFrame, CursorFrameSource::MouseState),
              nullptr);
    EXPECT_EQ(State().GetCursorFrame(), 4.0f);
    EXPECT_EQ(State().SetCursor(&two, CursorStart::Started, CursorStop::Running, CursorFrameSource::MouseState), &five);
    EXPECT_EQ(State().GetCursorFrame(), 0.0f);
    State().RefreshSystemCursor();
    EXPECT_FALSE(window.IsCursorShown());
    State().SetCursorFrame(1.7f);
    State().SetPosition(10, 20);
    CRect rect{};
    ASSERT_TRUE(State().GetCursorRect(rect));
    EXPECT_EQ(rect, (CRect{10, 20, 15, 24}));
    State().ForceSystemCursor();
    EXPECT_TRUE(window.IsCursorShown());
    State().UnforceSystemCursor();
    EXPECT_TRUE(State().HideCursor());
    EXPECT_FALSE(window.IsCursorShown());
    EXPECT_FALSE(State().GetCursorRect(rect));
}

} // namespace
