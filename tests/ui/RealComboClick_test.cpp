// Under a virtual X display, a click played into the real SDL window on a
// combo box's drop-down button opens its pop-up list below it.
#include "RealWindowSupport.h"
#include "UiTestSupport.h"

#include "blit/ColorTables.h"
#include "foundation/CVirtualArray.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "objects/CObject.h"
#include "platform/CPlatform.h"
#include "platform/Clock.h"
#include "platform/WindowDevice.h"
#include "shell/GameWindow.h"
#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/RegisterUiClasses.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr char kTitle[] = "Ombrisalt combo click";
constexpr char kChildTest[] = "ChildProcess.RealClickOpensAComboBox";

class RealCombo : public CTempFolderTest {};

TEST_F(RealCombo, AClickInTheSdlWindowOpensTheComboBox)
{
    if (!CVirtualDisplay::IsInstalled())
        GTEST_SKIP() << "no Xvfb";
    CVirtualDisplay display;
    ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
    const std::string output = PathOf("child.out");
    EXPECT_EQ(RunChildOnDisplay(display, Folder(), kChildTest, output), 0) << ReadBytes(output);
    const std::string events = ReadBytes(PathOf("events.txt"));
    EXPECT_NE(events.find("open below the combo box on Blue\n"), std::string::npos) << events << ReadBytes(output);
}

class CColours : public CSimpleVirtualArray {
public:
    const char* GetItemName(int32_t i) override { return kNames[i]; }
    CJString GetItemNameString(int32_t i) override { return CJString(kNames[i]); }
    int32_t GetCount() override { return 3; }

private:
    static constexpr const char* kNames[] = {"Red", "Green", "Blue"};
};

// The second run: the real window and a combo box whose button lies under
// the played click, until its pop-up has opened (or half a minute has gone).
TEST(ChildProcess, RealClickOpensAComboBox)
{
    if (plat::ChoosePlatformKind() != plat::PlatformKind::SDL)
        GTEST_SKIP() << "no display";
    const char* script = std::getenv("OMBRISALT_XTEST_SCRIPT");
    ASSERT_TRUE(script);
    RegisterObjectClasses();
    RegisterImagesClasses();
    InitBlitTables();
    RegisterUiClasses();
    ASSERT_TRUE(WriteDefaultFont());
    EnumerateFontFiles();
    plat::CWindowDevice& device = plat::GetPlatform().GetWindow();
    ASSERT_TRUE(device.Create(kTitle, 320, 240)) << device.GetLastError();
    SetWindowState(true, false);

    CEventLog log;
    {
        CFont font;
        CColours colours;
        auto frame = CFrame::MakeOwned(320, 240, 32);
        CScreenWindow root(frame.get(), &font);
        auto* combo = new CJComboBox(&root, &colours, 30);
        root.AddChild(combo, 0, nullptr, kDefaultOffset, kDefaultOffset, kPlaceNoGrow);
        combo->MoveTo(40, 40);
        combo->SelectItem(2, true);
        const CRect button = combo->GetButton()->GetScreenRect();

        const std::string command = std::string("python3 '") + script + "' '" + std::getenv("DISPLAY") + "' '" + kTitle
            + "' " + std::to_string((button.left + button.right) / 2) + " "
            + std::to_string((button.top + button.bottom) / 2) + " &";
        ASSERT_EQ(std::system(command.c_str()), 0);
        for (int pass = 0; pass < 6000 && !combo->IsOpen(); ++pass) {
            RunMessageLoop();
            root.Update(1.0f / 60.0f);
            plat::SleepMs(5);
        }
        CJPopUpListBox* popUp = combo->GetPopUp();
        if (popUp && root.GetFirstChild() == popUp && popUp->GetScreenRect().top == combo->GetScreenRect().bottom
            && popUp->GetSelectedItem() == 2)
            log.push_back("open below the combo box on Blue");
    }
    CJWindow::SetDefaultFont(nullptr);
    std::ofstream events("events.txt");
    for (const std::string& line : log)
        events << line << "\n";
    device.Destroy();
}

} // namespace
