// The program itself in a real window on a virtual display: a person starts
// it, waits for the main menu and clicks "Exit"; the program ends the orderly
// way, with status 0 and the profiles written. Started full screen, as the
// settings' default has it, on a display without a window manager, the
// display shows the game's picture stretched over it from its top row and
// the click lands on the button drawn under the pointer.
#include "ScreensGameTest.h"

#include "support/VirtualDisplay.h"

#include "images/CFrame.h"
#include "images/CTGAFileIO.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

class DemoProgramWindow : public CScreensGameTest {};

TEST_F(DemoProgramWindow, ExitOnTheMainMenuEndsTheProgramWithTheProfilesSaved)
{
    if (!CVirtualDisplay::IsInstalled())
        GTEST_SKIP() << "no Xvfb: the real window is not tried";
    CVirtualDisplay display("1280x1024x24");
    ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
    // A window of the game's own size, so the menu's buttons lie where its
    // set places them.
    WriteBytes(PathOf("Ombrisalt.CFG"), "[Options]\r\nFull Screen=0\r\n");
    ASSERT_FALSE(DiskHas("Stats.dat"));

    const std::map<std::string, std::string> windowed{{"DISPLAY", display.Display()},
                                                      {"XDG_RUNTIME_DIR", Folder()},
                                                      {"SDL_AUDIODRIVER", "dummy"},
                                                      {"ASAN_OPTIONS", "detect_leaks=0"}};
    const int pid = SpawnProgram({"/DataFolder", Folder()}, windowed, {"OMBRISALT_HEADLESS", "CI", "WAYLAND_DISPLAY"},
                                 PathOf("window.err"));
    ASSERT_GT(pid, 0);
    const CEndsWithTest guard(pid);

    // "Exit" at the middle of its marker, clicked every two seconds until the
    // program is gone: the first start builds the caches, and a click before
    // the menu is up falls on the loading picture.
    std::string steps = "game:1024,768";
    for (int i = 0; i < 25; ++i)
        steps += " wait:2000 move:512,562 down up";
    ASSERT_EQ(RunCommand("python3 '" + XtestScript() + "' '" + display.Display() + "' Ombrisalt " + steps + " >'"
                         + PathOf("xtest.out") + "' 2>&1 &"),
              0);
    EXPECT_EQ(WaitForExitStatus(pid), 0) << ReadBytes(PathOf("window.err")) << ReadBytes(PathOf("xtest.out"));
    EXPECT_TRUE(DiskHas("Stats.dat")) << "the orderly exit writes the profiles";
}

// Pixels of the game's own screenshot of its picture, in its top rows, that
// differ from what the display shows where it stretches them (the picture
// over the whole display): the display's pixel whose centre lies in the
// middle of the game's.
size_t TopRowsOffTheScreenshot(const SDisplayPicture& display, const std::string& tga, int rows)
{
    CFrame shot;
    CTGAFileIO reader;
    if (!reader.DecodeFromMemory(shot, reinterpret_cast<const uint8_t*>(tga.data()), uint32_t(tga.size()), "shot", 32)
        || shot.GetWidth() != 1024 || shot.GetHeight() != 768 || display.width < 1024 || display.height < 768)
        return size_t(-1);
    size_t off = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < 1024; ++x) {
            const uint8_t* saved = shot.Row(uint32_t(y)) + x * 4;
            const uint32_t shown = display.At((2 * x + 1) * display.width / 2048, (2 * y + 1) * display.height / 1536);
            for (int c = 0; c < 3; ++c)
                if (std::abs(int(shown >> (8 * c) & 0xFFu) - int(saved[c])) > 16) {
                    ++off;
                    break;
                }
        }
    return off;
}

TEST_F(DemoProgramWindow, FullScreenStretchesThePictureOverTheDisplayAndTakesClicksWhereDrawn)
{
    if (!CVirtualDisplay::IsInstalled())
        GTEST_SKIP() << "no Xvfb: the real window is not tried";
    CVirtualDisplay display("1280x1024x24");
    ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
    WriteBytes(PathOf("Ombrisalt.CFG"), "[Options]\r\nFull Screen=1\r\n");
    std::map<std::string, std::string> environment = DisplayEnvironment(display, Folder());
    environment["SDL_AUDIODRIVER"] = "dummy";
    const int pid = SpawnProgram({"/DataFolder", Folder()}, environment, VariablesOffTheDisplay(), PathOf("window.err"));
    ASSERT_GT(pid, 0);
    const CEndsWithTest guard(pid);
    const std::string player = "python3 '" + XtestScript() + "' '" + display.Display() + "' Ombrisalt ";

    // F10 until a screenshot matches what the display shows: the first ones
    // may catch the loading pictures while they change.
    SDisplayPicture shown;
    size_t off = size_t(-1);
    int shots = 0;
    for (int attempt = 0; attempt < 40 && off != 0 && ::kill(pid, 0) == 0; ++attempt) {
        ASSERT_EQ(RunCommand(player + "key:F10 wait:1500 >>'" + PathOf("xtest.out") + "' 2>&1"), 0)
            << ReadBytes(PathOf("xtest.out"));
        char name[32];
        std::snprintf(name, sizeof name, "Screen Shot %02d.TGA", shots);
        if (!DiskHas(name))
            continue;
        ++shots;
        ASSERT_TRUE(GrabDisplay(display.Display(), PathOf("screen.xwd"), shown)) << "xwd could not dump the display";
        off = TopRowsOffTheScreenshot(shown, ReadBytes(PathOf(name)), 100);
    }
    EXPECT_EQ(off, 0u) << "pixels of the picture's top 100 rows unlike what the display shows, after " << shots
                       << " screenshots";

    std::string steps = "stretched:1024,768";
    for (int i = 0; i < 10; ++i)
        steps += " move:512,562 down up wait:2000";
    ASSERT_EQ(RunCommand(player + steps + " >>'" + PathOf("xtest.out") + "' 2>&1 &"), 0);
    EXPECT_EQ(WaitForExitStatus(pid), 0) << ReadBytes(PathOf("window.err")) << ReadBytes(PathOf("xtest.out"));
    EXPECT_NE(ReadBytes(PathOf("Ombrisalt.CFG")).find("Full Screen=1"), std::string::npos)
        << "the window took the mode: no fall back to a window";
}

} // namespace
