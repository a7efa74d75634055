#include "ShellTestSupport.h"

#include "images/CFrame.h"
#include "platform/Clock.h"
#include "shell/CKeyboardState.h"
#include "shell/CLoadingScreenPresenter.h"
#include "shell/CMouseState.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"
#include "shell/GameWindow.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Kind = plat::WindowEvent::Kind;

// The fades take 250 ms each.
constexpr uint32_t kFade = 250;

class LoadingScreen : public CShellTest {
protected:
    void SetUp() override
    {
        CShellTest::SetUp();
        RegisterImagesClasses();
        CScreenDevice::SGetInstance().SetDeviceForTesting(&m_Platform.GetHeadlessScreen());
        CKeyboardState::SGetInstance().ResetForTesting();
        CMouseState::SGetInstance().ResetForTesting();
        SetWindowState(true, false);
        m_Picture = CFrame::MakeOwned(64, 32, 32);
    }
    void TearDown() override
    {
        m_Presenter.reset();
        CKeyboardState::SGetInstance().ResetForTesting();
        CMouseState::SGetInstance().ResetForTesting();
        CScreenDevice::SGetInstance().SetDeviceForTesting(nullptr);
        CShellTest::TearDown();
    }
    void Queue(const plat::WindowEvent& event) { m_Platform.GetHeadlessWindow().PushEvent(event); }
    static plat::WindowEvent Button(uint32_t bit, bool down)
    {
        plat::WindowEvent event;
        event.kind = Kind::MouseButton;
        event.button = bit;
        event.down = down;
        return event;
    }
    // Shows the picture and answers when its time started: its wait counts
    // the fades that bring it up.
    uint32_t ShowPicture()
    {
        const uint32_t start = plat::GetMillisecondTick();
        m_Presenter->Show(m_Picture.get());
        return start;
    }

    std::unique_ptr<CLoadingScreenPresenter> m_Presenter = std::make_unique<CLoadingScreenPresenter>();
    std::unique_ptr<CFrame> m_Picture;
};

struct WaitCase {
    const char* name;
    uint32_t heldBefore; // buttons held when the picture goes up
    Kind during;         // what arrives while the presenter waits (None: nothing)
    uint32_t button;     // for MouseButton
    bool endsEarly;
};

class LoadingScreenWait : public LoadingScreen, public ::testing::WithParamInterface<WaitCase> {};

// Loading takes 1 s behind the picture; the picture stays 3 s in all unless
// a key or a new click ends the wait.
TEST_P(LoadingScreenWait, KeepsThePictureUpForTheMinimumUnlessCutShort)
{
    const WaitCase& c = GetParam();
    CMouseState::SGetInstance().SetButtons(c.heldBefore);
    const uint32_t shownAt = ShowPicture();
    m_Platform.AdvanceClock(1000);
    if (c.during == Kind::KeyDown) {
        plat::WindowEvent key;
        key.kind = Kind::KeyDown;
        key.scanIndex = 57;
        Queue(key);
    } else if (c.during == Kind::MouseButton) {
        Queue(Button(c.button, true));
    }
    m_Presenter->Finish();
    const uint32_t upFor = plat::GetMillisecondTick() - kFade - shownAt;
    if (c.endsEarly) {
        // The fades in (2 x 250 ms) and the loading (1 s), then the first look.
        EXPECT_LT(upFor, 1510u);
    } else {
        EXPECT_GE(upFor, 3000u);
        EXPECT_LT(upFor, 3100u);
    }
    EXPECT_EQ(m_Presenter->GetPicture(), nullptr);
    // What ended the wait does not reach the game.
    EXPECT_EQ(CKeyboardState::SGetInstance().TakePressedKey(), 0u);
    EXPECT_EQ(CMouseState::SGetInstance().GetButtons() & 1u, c.during == Kind::MouseButton ? 0u : c.heldBefore & 1u);
}

INSTANTIATE_TEST_SUITE_P(LoadingScreenPresenter, LoadingScreenWait,
                         ::testing::Values(WaitCase{"Nothing", 0, Kind::None, 0, false},
                                           WaitCase{"KeyPress", 0, Kind::KeyDown, 0, true},
                                           WaitCase{"NewClick", 0, Kind::MouseButton, 1, true},
                                           WaitCase{"ButtonHeldFromBefore", 1, Kind::None, 0, false},
                                           WaitCase{"OtherButtonWhileOneIsHeld", 1, Kind::MouseButton, 2, true}),
                         [](const ::testing::TestParamInfo<WaitCase>& param) { return param.param.name; });

TEST_F(LoadingScreen, ButtonLetGoAndPressedAgainIsANewClick)
{
    CMouseState::SGetInstance().SetButtons(1);
    const uint32_t shownAt = ShowPicture();
    Queue(Button(1, false));
    Queue(Button(1, true));
    m_Presenter->Finish();
    EXPECT_LT(plat::GetMillisecondTick() - kFade - shownAt, 2 * kFade + 10);
}

TEST_F(LoadingScreen, EachPictureFinishesThePreviousOne)
{
    const uint32_t firstAt = ShowPicture();
    auto second = CFrame::MakeOwned(16, 16, 32);
    m_Presenter->Show(second.get());
    // The first stayed its 3 s and faded out before the second faded in.
    EXPECT_GE(plat::GetMillisecondTick() - firstAt, 3000u + 2 * kFade);
    EXPECT_EQ(m_Presenter->GetPicture(), second.get());
    m_Presenter->Show(nullptr);
    EXPECT_EQ(m_Presenter->GetPicture(), second.get());
    m_Presenter->Release();
    EXPECT_EQ(m_Presenter->GetPicture(), nullptr);
}

class CMarkingOverlay : public CLoadingScreenOverlay {
public:
    void DrawOnFrame(CFrame& frame) override
    {
        drawnOn = &frame;
        CColor red(255, 0, 0, 255);
        frame.SetPixel(0, 0, red);
    }
    CFrame* drawnOn = nullptr;
};

TEST_F(LoadingScreen, OverlaysAreDrawnOnACopyNeverOnTheCallersFrame)
{
    CColor blue(0, 0, 255, 255);
    m_Picture->Fill(blue);
    CMarkingOverlay overlay;
    m_Presenter->Show(m_Picture.get(), &overlay);
    ASSERT_NE(overlay.drawnOn, nullptr);
    EXPECT_NE(overlay.drawnOn, m_Picture.get());
    EXPECT_EQ(m_Presenter->GetPicture(), overlay.drawnOn);
    CColor pixel;
    ASSERT_TRUE(m_Picture->GetPixel(0, 0, pixel));
    EXPECT_EQ(pixel.GetBlue(), 255);
    EXPECT_EQ(pixel.GetRed(), 0);
    ASSERT_TRUE(overlay.drawnOn->GetPixel(1, 1, pixel));
    EXPECT_EQ(pixel.GetBlue(), 255);
}

} // namespace
