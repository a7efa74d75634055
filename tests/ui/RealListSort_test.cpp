// Under a virtual X display, a click played into the real SDL window on a
// column title sorts the list under the header by that column.
#include "RealWindowSupport.h"
#include "UiTestSupport.h"

#include "images/CFrame.h"
#include "platform/CPlatform.h"
#include "platform/Clock.h"
#include "platform/WindowDevice.h"
#include "shell/GameWindow.h"
#include "foundation/CVirtualArray.h"
#include "ui/CJHeader.h"
#include "ui/CJListBox.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace {

constexpr char kTitle[] = "Ombrisalt list sort";
constexpr char kChildTest[] = "ChildProcess.RealClickSortsAList";

class RealList : public CTempFolderTest {};

class CNumberRows : public CSimpleVirtualArray {
public:
    const char* GetItemName(int32_t i) override { return kRows[i]; }
    CJString GetItemNameString(int32_t i) override { return CJString(kRows[i]); }
    int32_t GetCount() override { return 4; }

private:
    static constexpr const char* kRows[] = {"cherry\t10", "apple\t9", "date\t100", "banana\t2"};
};

TEST_F(RealList, AClickOnAColumnTitleInTheSdlWindowSortsTheList)
{
    if (!CVirtualDisplay::IsInstalled())
        GTEST_SKIP() << "no Xvfb";
    CVirtualDisplay display;
    ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
    const std::string output = PathOf("child.out");
    EXPECT_EQ(RunChildOnDisplay(display, Folder(), kChildTest, output), 0) << ReadBytes(output);
    const std::string events = ReadBytes(PathOf("events.txt"));
    EXPECT_NE(events.find("sorted banana apple cherry date\n"), std::string::npos) << events << ReadBytes(output);
}

// The second run: the real window and a list under a header whose "Number"
// title lies under the played click, until the list is sorted by it (or
// half a minute has gone).
TEST(ChildProcess, RealClickSortsAList)
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
        // No font in the child: the header's titles still take clicks.
        CScreenWindow root(frame.get(), nullptr);
        CNumberRows rows;
        auto* header = new CJHeader(&root);
        header->SetRect(CRect{0, 60, 320, 60 + std::max(header->GetHeight(), 20)});
        header->AddColumn(CJString("Name"), 160);
        header->AddColumn(CJString("Number"), 160, nullptr, kHeaderAlignRight, kHeaderSortNumeric);
        root.AddChild(header, 0, nullptr, kDefaultOffset, kDefaultOffset, kPlaceNoGrow);
        auto* list = new CJListBox(&root, &rows, nullptr, 60, 4);
        root.AddChild(list, 0, nullptr, kDefaultOffset, kDefaultOffset, kPlaceNoGrow);
        list->SetRect(CRect{0, header->GetRect().bottom, 320, header->GetRect().bottom + list->GetHeight()});
        list->SetSortMode(1);
        list->SetHeader(header);
        list->SortAllRows();
        const std::string y = std::to_string(60 + header->GetHeight() / 2);
        const std::string command
            = std::string("python3 '") + script + "' '" + std::getenv("DISPLAY") + "' '" + kTitle + "' 200 " + y + " &";
        ASSERT_EQ(std::system(command.c_str()), 0);
        for (int pass = 0; pass < 6000 && header->GetSortColumn() != 1; ++pass) {
            RunMessageLoop();
            root.Update(1.0f / 60.0f);
            plat::SleepMs(5);
        }
        std::string order = "sorted";
        for (int32_t row = 0; row < list->GetRowCount(); ++row) {
            CJString name, number;
            list->GetRowText(row).SplitAt(u'\t', name, number);
            order += std::string(" ") + name.GetString();
        }
        log.push_back(order);
    }
    std::ofstream events("events.txt");
    for (const std::string& line : log)
        events << line << "\n";
    device.Destroy();
}

} // namespace
