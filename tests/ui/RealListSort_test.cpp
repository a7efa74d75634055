// Under a virtual X display, a click played into the real SDL window on a
// column title sorts the list under the header by that column.
#include "RealWindowSupport.h"
#include "UiTestSupport.h"

#include "foundation/CVirtualArray.h"
#include "ui/CJHeader.h"
#include "ui/CJListBox.h"

#include <algorithm>

namespace {

constexpr char kListSortTitle[] = "Ombrisalt list sort";
constexpr char kListSortChild[] = "ChildProcess.RealClickSortsAList";

class RealList : public CRealWindowTest {};

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
    if (!RunChildOnOwnDisplay(kListSortChild))
        return;
    const std::string events = ReadBytes(PathOf("events.txt"));
    EXPECT_NE(events.find("sorted banana apple cherry date\n"), std::string::npos) << events << ChildOutput();
}

// The second run: the real window and a list under a header whose "Number"
// title lies under the played click, until the list is sorted by it (or
// half a minute has gone).
TEST(ChildProcess, RealClickSortsAList)
{
    CEventLog log;
    {
        // No font in the child: the header's titles still take clicks.
        CNumberRows rows;
        CRealWindowChild child;
        if (!child.Open(kListSortTitle))
            return;
        CScreenWindow& root = child.Root();
        auto* header = new CJHeader(&root);
        header->SetRect(CRect{0, 60, 320, 60 + std::max(header->GetHeight(), 20)});
        header->AddColumn(CJString("Name"), 160);
        header->AddColumn(CJString("Number"), 160, nullptr, kHeaderAlignRight, kHeaderSortNumeric);
        root.AddChild(header, kAsIsNoGrow);
        auto* list = new CJListBox(&root, &rows, nullptr, 60, 4);
        root.AddChild(list, kAsIsNoGrow);
        list->SetRect(CRect{0, header->GetRect().bottom, 320, header->GetRect().bottom + list->GetHeight()});
        list->SetSortMode(1);
        list->SetHeader(header);
        list->SortAllRows();
        child.Play("move:200," + std::to_string(60 + header->GetHeight() / 2) + " wait:200 down up key:a",
                   [&] { return header->GetSortColumn() == 1; });
        std::string order = "sorted";
        for (int32_t row = 0; row < list->GetRowCount(); ++row) {
            CJString name, number;
            list->GetRowText(row).SplitAt(u'\t', name, number);
            order += std::string(" ") + name.GetString();
        }
        log.push_back(order);
    }
    WriteLog(log, "events.txt");
}

} // namespace
