#include "shell/WindowModes.h"

#include "shell/CGameBase.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"
#include "shell/GameWindow.h"

#include "support/TestSupport.h"

#include "blit/CBlitTypeList.h"
#include "foundation/CIniSection.h"
#include "foundation/FatalError.h"
#include "platform/ScreenDeviceHeadless.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class WindowModeTest : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        RegisterImagesClasses();
        m_Device.SetDesktopSize(1920, 1080);
        CScreenDevice::SGetInstance().SetDeviceForTesting(&m_Device);
        ResetWindowModeFailures();
        SetScreenDeviceReady(false);
        m_PreviousTerminator = SetFatalTerminator(ThrowingFatalTerminator);
    }
    void TearDown() override
    {
        SetFatalTerminator(m_PreviousTerminator);
        CGameBase::SSetShuttingDown(false);
        SetScreenDeviceReady(false);
        ResetWindowModeFailures();
        CScreenDevice::SGetInstance().SetDeviceForTesting(nullptr);
        SetScreenDrawDevice(nullptr);
        CTempFolderTest::TearDown();
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

    plat::CScreenDeviceHeadless m_Device;
    FatalTerminator m_PreviousTerminator = nullptr;
};

TEST_F(WindowModeTest, AltEnterSwitchesOnlyOnceTheDeviceIsReadyAndKeepsTheTextures)
{
    AltEnter();
    EXPECT_EQ(m_Device.GetResetCount(), 0u) << "before the display settings nothing is switched";

    SetScreenDeviceReady(true);
    SwitchToWindowed();
    ASSERT_FALSE(m_Device.IsFullScreen());
    auto frame = CFrame::MakeOwned(8, 8, 32);
    ASSERT_TRUE(CScreenFrame::SGetInstance().Blit(*frame, CRect{0, 0, 8, 8}, CRect{0, 0, 8, 8}, GetNormalBlitType()));

    AltEnter();
    EXPECT_TRUE(m_Device.IsFullScreen());
    EXPECT_TRUE(CScreenFrame::SGetInstance().IsFullScreen());
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
            EXPECT_EQ(e.message, "No valid screen mode can be initialized\nthe device refused the mode\n\nCheck that "
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

INSTANTIATE_TEST_SUITE_P(
    Modes, Fallbacks,
    testing::Values(FallbackCase{"FullScreenGranted", true, false, false, false, 1},
                    FallbackCase{"FullScreenRefusedGoesWindowed", true, false, true, false, 0},
                    FallbackCase{"WindowedRefusedGoesFullScreen", false, false, false, true, 1},
                    FallbackCase{"WindowedRefusedWithoutFallbackStays", false, true, false, true, -1},
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

} // namespace
