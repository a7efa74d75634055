// The demo's frame window under a real X display: a person's clicks, made
// through the XTEST extension, press its transparency toggle and drag it by
// its own area; the window keeps both in the settings file when the program
// ends.
#include "ShellTestSupport.h"
#include "support/VirtualDisplay.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The value of key in [section] of an INI text; empty when absent.
std::string IniValue(const std::string& text, const std::string& section, const std::string& key)
{
    const size_t start = text.find("[" + section + "]");
    if (start == std::string::npos)
        return {};
    const size_t end = text.find("\n[", start + 1);
    const size_t at = text.find("\n" + key + "=", start);
    if (at == std::string::npos || at > end)
        return {};
    const size_t value = at + key.size() + 2;
    return text.substr(value, text.find_first_of("\r\n", value) - value);
}

class FrameWindowClicks : public CTempFolderTest {};

TEST_F(FrameWindowClicks, ATogglePressAndADragThroughTheRealWindow)
{
    if (!CVirtualDisplay::IsInstalled())
        GTEST_SKIP() << "no Xvfb";
    const std::filesystem::path data = std::filesystem::path(OMBRISALT_SOURCE_DIR) / "data";
    if (!std::filesystem::exists(data / "Data/Resources/Interface/Textures/Demo Push.png"))
        GTEST_SKIP() << "the demo data is not made (tools/make_demo_interface.py)";
    std::filesystem::copy(data / "Data", std::filesystem::path(Folder()) / "Data",
                          std::filesystem::copy_options::recursive);
    std::filesystem::remove_all(std::filesystem::path(Folder()) / "Data/Cache");

    // In a window of the game's own size, so game points are window points
    // (no window manager makes a full-screen window fill the display).
    WriteBytes(PathOf("Ombrisalt.CFG"), "[Options]\r\nFull Screen=0\r\nScreen Width=1024\r\nScreen Height=768\r\n");

    CVirtualDisplay display("1280x1024x24");
    ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
    const int pid = SpawnProgram({"/DataFolder", Folder()}, DisplayEnvironment(display, Folder()),
                                 VariablesOffTheDisplay(), PathOf("program.err"));
    ASSERT_GT(pid, 0);
    const CEndsWithTest guard(pid);
    // The program writes its display options once the window is open and
    // the game set up.
    const auto ready = [&] { return ReadBytes(PathOf("Ombrisalt.CFG")).find("Display FPS") != std::string::npos; };
    ASSERT_TRUE(WaitUntilReady(pid, ready))
        << "the program ended early or was not ready within a minute: " << ReadBytes(PathOf("program.err"));

    // The demo's frame window stands at (380, 300)-(780, 580) of the 1024 x
    // 768 game screen. Its toggle lies left of the close button in the top
    // right corner; (330, 230) of the window is its own empty area.
    const std::string command = "python3 '" + XtestScript() + "' " + display.Display()
        + " Ombrisalt game:1024,768 wait:2000"
          " move:750,310 wait:400 down wait:400 up wait:400"
          " move:710,530 wait:400 down wait:400 move:610,455 wait:400 move:510,380 wait:400"
          " up wait:400 2>>'"
        + PathOf("click.err") + "'";
    ASSERT_EQ(RunCommand(command), 0) << ReadBytes(PathOf("click.err"));
    ::kill(pid, SIGTERM);
    EXPECT_EQ(WaitForExitStatus(pid), 0) << ReadBytes(PathOf("program.err"));

    const std::string settings = ReadBytes(PathOf("Ombrisalt.CFG"));
    EXPECT_EQ(IniValue(settings, "Frame Window", "Transparent Window"), "1") << settings;
    EXPECT_EQ(IniValue(settings, "Frame Window", "Position X"), "180") << settings;
    EXPECT_EQ(IniValue(settings, "Frame Window", "Position Y"), "150") << settings;
    EXPECT_EQ(IniValue(settings, "Frame Window", "Width"), "400") << settings;
}

} // namespace
