// Full screen on a virtual X display with no window manager: the window is
// the program's own and covers the display, the 1024 x 768 picture
// stretched over it as a display switched to the mode would show it. What
// the display shows starts with the picture's top row and ends with its last,
// and a click lands on the game point drawn under the pointer, also after
// someone else moved and resized the window.
#include "ShellTestSupport.h"
#include "support/VirtualDisplay.h"

#include "foundation/CIniSection.h"
#include "platform/CPlatform.h"
#include "platform/Clock.h"
#include "platform/GraphicsDevice.h"
#include "platform/WindowDevice.h"
#include "shell/CMouseState.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"
#include "shell/GameWindow.h"
#include "shell/WindowModes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

constexpr char kTitle[] = "Ombrisalt full screen";
constexpr char kChildTest[] = "ChildProcess.FullScreenWindowOnABareDisplay";
constexpr uint32_t kBand = 0xFF0000u; // the picture's top four rows
constexpr uint32_t kBody = 0x0000FFu; // the rest of it

class FullScreenWindow : public CTempFolderTest {};

TEST_F(FullScreenWindow, StretchesThePictureOverTheDisplayAndTakesClicksWhereDrawn)
{
    if (!CVirtualDisplay::IsInstalled())
        GTEST_SKIP() << "no Xvfb";
    // A desktop larger than the mode, as the player's was.
    CVirtualDisplay display("1280x1024x24");
    ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
    ASSERT_EQ(RunChildOnDisplay(display, Folder(), kChildTest, PathOf("child.out")), 0)
        << ReadBytes(PathOf("child.out"));
}

// Pumps the window until done() or five seconds have gone.
bool PumpUntil(const std::function<bool()>& done)
{
    for (int pass = 0; pass < 500; ++pass) {
        RunMessageLoop();
        if (done())
            return true;
        plat::SleepMs(10);
    }
    return false;
}

// The 1024 x 768 game picture: a red band over blue, drawn in game
// coordinates through the mapping the screen uses.
void DrawBandedPicture()
{
    CScreenDevice& screen = CScreenDevice::SGetInstance();
    plat::CGraphicsDevice& device = screen.GetDevice();
    device.Clear(0xFF000000u | kBody);
    float corners[4][2] = {{0, 0}, {1024, 0}, {0, 4}, {1024, 4}};
    plat::ScreenVertex v[4];
    for (int i = 0; i < 4; ++i) {
        screen.GameToWindow(corners[i][0], corners[i][1]);
        v[i].x = corners[i][0];
        v[i].y = corners[i][1];
        v[i].argb = 0xFF000000u | kBand;
    }
    const plat::ScreenVertex triangles[6] = {v[0], v[1], v[2], v[2], v[1], v[3]};
    ASSERT_TRUE(device.DrawTriangles(triangles, 6, nullptr, plat::TextureAddress::Clamp, plat::ScreenBlend::Normal));
    ASSERT_TRUE(device.Present());
}

// The display's picture once it shows the band at its top-left.
SDisplayPicture GrabShowingTheBand()
{
    const std::string display = std::getenv("DISPLAY");
    SDisplayPicture picture;
    PumpUntil([&] {
        DrawBandedPicture();
        return GrabDisplay(display, std::string(std::getenv("XDG_RUNTIME_DIR")) + "/screen.xwd", picture)
            && picture.At(1, 0) == kBand;
    });
    return picture;
}

// Where the game sees a click played at a game point.
std::string ClickAt(int x, int y)
{
    const std::string steps = "stretched:1024,768 move:" + std::to_string(x) + "," + std::to_string(y) + " down up";
    EXPECT_TRUE(PlayInputInBackground(kTitle, steps));
    CMouseState& mouse = CMouseState::SGetInstance();
    mouse.TakePressedButtons();
    int32_t gameX = -1, gameY = -1;
    PumpUntil([&] {
        if (!(mouse.TakePressedButtons() & 1))
            return false;
        mouse.GetPosition(gameX, gameY);
        return true;
    });
    return std::to_string(gameX) + "," + std::to_string(gameY);
}

TEST(ChildProcess, FullScreenWindowOnABareDisplay)
{
    if (plat::ChoosePlatformKind() != plat::PlatformKind::SDL)
        GTEST_SKIP() << "no display";
    plat::CWindowDevice& window = plat::GetPlatform().GetWindow();
    ASSERT_TRUE(window.Create(kTitle, 1024, 768)) << window.GetLastError();
    SetScreenDeviceReady(true);
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SwitchToFullScreen();
    ASSERT_TRUE(screen.IsFullScreen()) << GetScreenLastError().GetString();
    EXPECT_EQ(GetOptionsSection().GetInt("Full Screen", -1), 1);

    // The window covers the whole display; the picture is stretched over
    // it, 1.25 times across and 4/3 down: the band's four rows are five.
    int32_t width = 0, height = 0;
    CScreenDevice::SGetInstance().GetDevice().GetClientSize(width, height);
    EXPECT_EQ(std::to_string(width) + "x" + std::to_string(height), "1280x1024");
    SDisplayPicture picture = GrabShowingTheBand();
    ASSERT_FALSE(picture.pixels.empty()) << "xwd could not dump the display";
    EXPECT_EQ(picture.At(1, 0), kBand) << "the picture's top row is the display's top row";
    EXPECT_EQ(picture.At(1278, 4), kBand) << "the band reaches the display's right edge";
    EXPECT_EQ(picture.At(640, 6), kBody);
    EXPECT_EQ(picture.At(1279, 1023), kBody) << "the picture reaches the display's far corner";
    // Each axis on its own: letterboxed, these would land elsewhere.
    EXPECT_EQ(ClickAt(300, 200), "300,200");
    EXPECT_EQ(ClickAt(1000, 740), "1000,740");

    // Moved and resized by someone else, it goes back to the origin and the
    // picture and the pointer follow the size it was given.
    ASSERT_TRUE(PlayInputInBackground(kTitle, "place:60,40,1200,900"));
    EXPECT_TRUE(PumpUntil([&] {
        CScreenDevice::SGetInstance().GetDevice().GetClientSize(width, height);
        return width == 1200 && height == 900;
    })) << width << "x" << height;
    // 1024 x 768 stretched over 1200 x 900: 1.171875 times, from x = 0.
    picture = GrabShowingTheBand();
    EXPECT_EQ(picture.At(1, 0), kBand);
    EXPECT_EQ(picture.At(1198, 3), kBand);
    EXPECT_EQ(picture.At(600, 6), kBody);
    EXPECT_EQ(ClickAt(512, 384), "512,384");

    SetScreenDeviceReady(false);
    window.Destroy();
}

} // namespace
