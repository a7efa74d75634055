// Under a virtual X display, a click played into the real SDL window on a
// menu bar's item opens its pull-down menu.
#include "RealWindowSupport.h"
#include "UiTestSupport.h"

#include "images/CFrame.h"
#include "platform/CPlatform.h"
#include "platform/Clock.h"
#include "platform/WindowDevice.h"
#include "shell/GameWindow.h"
#include "ui/CJMenu.h"

#include <cstdlib>
#include <fstream>

namespace {

constexpr char kTitle[] = "Ombrisalt menu click";
constexpr char kChildTest[] = "ChildProcess.RealClickOpensAMenu";

class RealMenu : public CTempFolderTest {};

TEST_F(RealMenu, AClickInTheSdlWindowOpensTheMenu)
{
    if (!CVirtualDisplay::IsInstalled())
        GTEST_SKIP() << "no Xvfb";
    CVirtualDisplay display;
    ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
    const std::string output = PathOf("child.out");
    EXPECT_EQ(RunChildOnDisplay(display, Folder(), kChildTest, output), 0) << ReadBytes(output);
    const std::string events = ReadBytes(PathOf("events.txt"));
    EXPECT_NE(events.find("open below File\n"), std::string::npos) << events << ReadBytes(output);
}

// The second run: the real window and a menu bar whose "File" item lies
// under the played click, until its menu has opened (or half a minute has
// gone).
TEST(ChildProcess, RealClickOpensAMenu)
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
        auto* bar = new CJMenuBar(&root);
        bar->SetRect(CRect{0, 60, 320, 100});
        auto* file = new CJTextMenuItem(bar, "File", nullptr);
        file->SetRect(CRect{0, 0, 120, 40});
        bar->AddItem(file);
        auto* menu = new CJPullDownMenu(&root);
        menu->AddItem(new CJTextMenuItem(menu, "Quit", nullptr));
        file->SetSubMenu(menu, false);
        root.AddChild(bar, 0, nullptr, kDefaultOffset, kDefaultOffset, kPlaceNoGrow);

        const std::string command
            = std::string("python3 '") + script + "' '" + std::getenv("DISPLAY") + "' '" + kTitle + "' 60 80 &";
        ASSERT_EQ(std::system(command.c_str()), 0);
        for (int pass = 0; pass < 6000 && file->GetOpenSubMenu() == nullptr; ++pass) {
            RunMessageLoop();
            root.Update(1.0f / 60.0f);
            plat::SleepMs(5);
        }
        if (file->GetOpenSubMenu() == menu && root.GetFirstChild() == menu
            && menu->GetScreenRect().top == file->GetVisibleRect().bottom)
            log.push_back("open below File");
    }
    std::ofstream events("events.txt");
    for (const std::string& line : log)
        events << line << "\n";
    device.Destroy();
}

} // namespace
