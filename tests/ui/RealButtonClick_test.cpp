// Under a virtual X display, a click played into the real SDL window
// presses and releases a push button, which tells its parent.
#include "RealWindowSupport.h"
#include "UiTestSupport.h"

#include "images/CFrame.h"
#include "platform/CPlatform.h"
#include "platform/Clock.h"
#include "platform/WindowDevice.h"
#include "shell/GameWindow.h"
#include "ui/CJButton.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace {

constexpr char kTitle[] = "Ombrisalt button click";
constexpr char kChildTest[] = "ChildProcess.RealClickPressesAButton";

class RealButton : public CTempFolderTest {};

TEST_F(RealButton, AClickInTheSdlWindowClicksTheButton)
{
    if (!CVirtualDisplay::IsInstalled())
        GTEST_SKIP() << "no Xvfb";
    CVirtualDisplay display;
    ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
    const std::string output = PathOf("child.out");
    EXPECT_EQ(RunChildOnDisplay(display, Folder(), kChildTest, output), 0) << ReadBytes(output);
    const std::string events = ReadBytes(PathOf("events.txt"));
    EXPECT_NE(events.find("parent: notify 0 from OK\n"), std::string::npos) << events << ReadBytes(output);
    EXPECT_NE(events.find("clicked\n"), std::string::npos) << events;
}

// The second run: the real window, a screen window with a parent and a
// button under the played click, until the click and the key have arrived
// (or half a minute has gone).
TEST(ChildProcess, RealClickPressesAButton)
{
    if (plat::ChoosePlatformKind() != plat::PlatformKind::SDL)
        GTEST_SKIP() << "no display";
    const char* script = std::getenv("OMBRISALT_XTEST_SCRIPT");
    ASSERT_TRUE(script);
    plat::CWindowDevice& device = plat::GetPlatform().GetWindow();
    ASSERT_TRUE(device.Create(kTitle, 320, 240)) << device.GetLastError();
    SetWindowState(true, false);

    CEventLog log;
    {
        auto frame = CFrame::MakeOwned(320, 240, 32);
        CScreenWindow root(frame.get(), nullptr);
        auto* parent = new CProbeWindow("parent", &log);
        parent->SetRect(CRect{0, 0, 320, 240});
        parent->m_TakesKeys = true;
        root.AddChild(parent);
        auto* button = new CJButton(parent, "OK");
        button->SetRect(CRect{80, 60, 140, 100});
        parent->AddChild(button, 0, nullptr, kDefaultOffset, kDefaultOffset, kPlaceNoGrow);

        const std::string command
            = std::string("python3 '") + script + "' '" + std::getenv("DISPLAY") + "' '" + kTitle + "' 100 80 &";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const auto has = [&log](const std::string& start) {
            return std::any_of(log.begin(), log.end(),
                               [&start](const std::string& line) { return line.rfind(start, 0) == 0; });
        };
        for (int pass = 0; pass < 6000 && !(has("parent: notify") && has("parent: key")); ++pass) {
            RunMessageLoop();
            root.Update(1.0f / 60.0f);
            if (button->ConsumeClicked())
                log.push_back("clicked");
            plat::SleepMs(5);
        }
    }
    std::ofstream events("events.txt");
    for (const std::string& line : log)
        events << line << "\n";
    device.Destroy();
}

} // namespace
