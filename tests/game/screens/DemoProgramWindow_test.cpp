// The program itself in a real window on a virtual display: a person starts
// it, waits for the main menu and clicks "Exit"; the program ends the orderly
// way, with status 0 and the profiles written.
#include "ScreensGameTest.h"

#include "support/VirtualDisplay.h"

#include <gtest/gtest.h>

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

} // namespace
