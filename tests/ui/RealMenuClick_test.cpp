// Under a virtual X display, a click played into the real SDL window on a
// menu bar's item opens its pull-down menu.
#include "RealWindowSupport.h"
#include "UiTestSupport.h"

#include "ui/CJMenu.h"

namespace {

constexpr char kMenuClickTitle[] = "Ombrisalt menu click";
constexpr char kMenuClickChild[] = "ChildProcess.RealClickOpensAMenu";

class RealMenu : public CRealWindowTest {};

TEST_F(RealMenu, AClickInTheSdlWindowOpensTheMenu)
{
    if (!RunChildOnOwnDisplay(kMenuClickChild))
        return;
    const std::string events = ReadBytes(PathOf("events.txt"));
    EXPECT_NE(events.find("open below File\n"), std::string::npos) << events << ChildOutput();
}

// The second run: the real window and a menu bar whose "File" item lies
// under the played click, until its menu has opened (or half a minute has
// gone).
TEST(ChildProcess, RealClickOpensAMenu)
{
    CEventLog log;
    {
        CRealWindowChild child;
        if (!child.Open(kMenuClickTitle))
            return;
        CScreenWindow& root = child.Root();
        auto* bar = new CJMenuBar(&root);
        bar->SetRect(CRect{0, 60, 320, 100});
        auto* file = new CJTextMenuItem(bar, "File", nullptr);
        file->SetRect(CRect{0, 0, 120, 40});
        bar->AddItem(file);
        auto* menu = new CJPullDownMenu(&root);
        menu->AddItem(new CJTextMenuItem(menu, "Quit", nullptr));
        file->SetSubMenu(menu, false);
        root.AddChild(bar, kAsIsNoGrow);

        child.Play("move:60,80 wait:200 down up key:a", [&] { return file->GetOpenSubMenu() != nullptr; });
        if (file->GetOpenSubMenu() == menu && root.GetFirstChild() == menu
            && menu->GetScreenRect().top == file->GetVisibleRect().bottom)
            log.push_back("open below File");
    }
    WriteLog(log, "events.txt");
}

} // namespace
