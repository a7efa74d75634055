// The browser's frame and menu driven as a designer drives them: the split
// bar dragged, the folder row popped up, a cell pressed with the right
// button and the menu's entries used, a new entry made through the menu's
// dialog; what is checked is what shows (titles, rectangles, the selected
// cell) and what is kept (settings, files).
#include "support/ScopedHooks.h"
#include "support/TestOnlyClasses.h"
#include "ui/MenuTestSupport.h"

#include "game/world/CGameApp.h"
#include "editor/CAssetDependencyBrowser.h"
#include "editor/CImageBrowser.h"
#include "editor/CImageBrowserFrameWindow.h"
#include "editor/CNewFileDialog.h"
#include "editor/CSplitBarVertical.h"
#include "editor/EditorStartup.h"
#include "foundation/CDirectoryTree.h"
#include "foundation/SettingsFiles.h"
#include "objects/CFileListList.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "objects/CObjectModelHost.h"
#include "ui/CJButton.h"
#include "ui/CJEdit.h"
#include "ui/CJListBox.h"
#include "ui/CJMenu.h"

#include <set>
#include <string>
#include <vector>

class CBarrel : public CObject {
    OMBRISALT_REFLECTED(CBarrel, CObject)
public:
    CBarrel() { InitDeclaredProperties(); }
    ~CBarrel() override { DestroyDeclaredProperties(); }
    int32_t m_Hoops = 3;
};
OMBRISALT_IMPLEMENT_CLASS(CBarrel, 1.0)
const CTestOnlyClass kBarrelIsTestOnly("CBarrel");
void CBarrel::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CBarrel::m_Hoops, "Hoops", 3);
}

namespace {

class COptionsHost : public CObjectModelHost {
public:
    std::set<std::string> on;
    bool IsNamedOptionSet(const char* name) override { return on.count(name) > 0; }
};

class ImageBrowserFrame : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (IsSkipped())
            return;
        WriteBytes("Barrels/Old.Barrel.txt", "CBarrel\r\n{\r\n}\r\n");
        WriteBytes("Barrels/Cellar/Deep.Barrel.txt", "CBarrel\r\n{\r\n}\r\n");
        m_List.SetSource("Barrels", "Barrels", 0);
        m_Browser = new CImageBrowserFrameWindow(m_Screen, "Barrel Browser", CImageBrowserFrameWindow::kModeOneList,
                                                 nullptr, nullptr, &m_List);
        m_Screen->AddChild(m_Browser, kAsIsNoGrow);
        m_Grid = m_Browser->GetGrid();
        Step(CPoint{790, 590}, false);
    }
    void TearDown() override
    {
        CFileListList::RemoveList(&m_List);
        ScreenTest::TearDown();
    }
    std::vector<std::string> MenuEntries()
    {
        std::vector<std::string> out;
        if (CJWindow* menu = m_Grid->GetContextMenu())
            for (CJWindow* child = menu->GetFirstChild(); child; child = child->GetNextSibling())
                if (auto* item = dynamic_cast<CJTextMenuItem*>(child))
                    out.push_back(std::string(item->GetTitle().GetString()) + (item->IsEnabled() ? "" : " (off)"));
        return out;
    }
    CJMenuItem* MenuEntry(const char* title)
    {
        CJWindow* menu = m_Grid->GetContextMenu();
        for (CJWindow* child = menu ? menu->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
            if (child->GetTitle().Compare(title) == 0)
                return dynamic_cast<CJMenuItem*>(child);
        return nullptr;
    }
    // A press of the right button in the middle of a cell.
    void RightPress(int32_t cell)
    {
        const CRect& r = m_Grid->GetCell(cell).rect;
        const CRect& screen = m_Grid->GetScreenRect();
        m_Grid->OnMouseDown(1, CPoint{screen.left + r.left + 10 - m_Grid->GetScrollOffsetX(),
                                      screen.top + r.top + 5 - m_Grid->GetScrollOffsetY()});
    }
    int32_t CellOf(const char* caption)
    {
        for (int32_t i = 0; i < m_Grid->GetCellCount(); ++i)
            if (m_Grid->GetCell(i).caption.Compare(caption) == 0)
                return i;
        return -1;
    }

    CObjectArrayBaseTemplate<CBarrel> m_List{"Barrel.txt"};
    CImageBrowserFrameWindow* m_Browser = nullptr;
    CImageBrowser* m_Grid = nullptr;
};

TEST_F(ImageBrowserFrame, TheSplitBarMovesWithinTwentyPixelsOfTheEdgesAndIsKept)
{
    CSplitBarVertical* bar = m_Browser->GetSplitBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetRect().left, 130);
    EXPECT_EQ(m_Grid->GetRect().left, 138);
    EXPECT_EQ(m_Browser->GetFolderList()->GetRect().right, 130);

    const CPoint grab = Centre(*bar);
    Step(grab, true);
    Step(CPoint{grab.x - 300, grab.y}, true);
    Step(CPoint{grab.x - 300, grab.y}, false);
    EXPECT_EQ(m_Browser->GetSplitBarPos(), 20);
    EXPECT_EQ(m_Grid->GetRect().left, 28);
    EXPECT_EQ(GetIniInt(GetEditorSettingsFileName(), "Barrel Browser", "Split Bar Pos", 0), 20);

    const CPoint again = Centre(*bar);
    Step(again, true);
    Step(CPoint{again.x + 900, again.y}, true);
    Step(CPoint{again.x + 900, again.y}, false);
    EXPECT_EQ(m_Browser->GetSplitBarPos(), m_Browser->GetWidth() - 20);
}

TEST_F(ImageBrowserFrame, ThePopupButtonFoldsTheFolderListIntoOneRowAndBack)
{
    CJButton* popup = m_Browser->GetPopupTreeButton();
    EXPECT_STREQ(popup->GetTitle().GetString(), "<");
    Click(*popup);
    EXPECT_TRUE(m_Browser->IsPopupTree());
    EXPECT_EQ(popup->GetTitle().Compare(CJString(u"\u25BC")), 0);
    EXPECT_FALSE(m_Browser->GetSplitBar()->IsVisible());
    EXPECT_EQ(m_Grid->GetRect().left, 0);
    EXPECT_EQ(m_Grid->GetRect().top, m_Browser->GetFolderList()->GetRect().bottom);
    EXPECT_EQ(m_Browser->GetFolderList()->GetHeight(), popup->GetHeight());
    EXPECT_TRUE(GetIniBool(GetEditorSettingsFileName(), "Barrel Browser", "Popup Tree", false));

    Click(*popup);
    EXPECT_FALSE(m_Browser->IsPopupTree());
    EXPECT_EQ(popup->GetTitle().Compare(CJString(u"\u25C4")), 0);
    EXPECT_TRUE(m_Browser->GetSplitBar()->IsVisible());
    EXPECT_EQ(m_Grid->GetRect().left, 138);
    EXPECT_FALSE(GetIniBool(GetEditorSettingsFileName(), "Barrel Browser", "Popup Tree", true));
}

TEST_F(ImageBrowserFrame, TheCellUnderTheMouseIsRaisedUnlessTheLeftButtonIsHeldOrAWindowCovers)
{
    const int32_t old = CellOf("Old");
    ASSERT_GE(old, 0);
    const CRect& r = m_Grid->GetCell(old).rect;
    // Cells without images are 1004 wide: aim near the left end.
    const CPoint over{m_Grid->GetScreenRect().left + r.left + 10, m_Grid->GetScreenRect().top + r.top + 5};
    Step(over, false);
    m_Screen->Draw(*m_ScreenFrame);
    EXPECT_EQ(m_Grid->GetHovered(), old);
    CMouseState::SGetInstance().SetButtons(1);
    m_Screen->Draw(*m_ScreenFrame);
    EXPECT_EQ(m_Grid->GetHovered(), -1);
    CMouseState::SGetInstance().SetButtons(0);

    // The menu opened over the cell takes the hover.
    m_Grid->OpenContextMenu();
    ASSERT_NE(m_Grid->GetContextMenu(), nullptr);
    m_Grid->GetContextMenu()->MoveTo(over.x - 5, over.y - 5);
    m_Screen->Draw(*m_ScreenFrame);
    EXPECT_EQ(m_Grid->GetHovered(), -1);
}

TEST_F(ImageBrowserFrame, TheMenuOffersWhatTheOptionsAllowAndOpenNeedsASelection)
{
    // Key 18 opens the menu with nothing selected: "Open" is greyed.
    m_Grid->OnKeyDown(18);
    EXPECT_EQ(MenuEntries(), (std::vector<std::string>{"Open (off)"}));
    m_Grid->GetContextMenu()->Close();
    EXPECT_EQ(m_Grid->GetContextMenu(), nullptr);

    COptionsHost options;
    options.on = {"Brows Asset Dependencies", "Create New Asset"};
    const CScopedObjectModelHost host(&options);
    const int32_t old = CellOf("Old");
    RightPress(old);
    EXPECT_EQ(m_Grid->GetSelected(), old);
    EXPECT_EQ(MenuEntries(),
              (std::vector<std::string>{"Open", "Brows Asset Dependencies", "Create new Barrel"}));
    MenuEntry("Brows Asset Dependencies")->Activate();
    Step(CPoint{790, 590}, false);
    auto* dependencies = dynamic_cast<CAssetDependencyBrowserWindow*>(m_Screen->GetFirstChild());
    ASSERT_NE(dependencies, nullptr);
    EXPECT_EQ(dependencies->GetList(), &m_List);
    EXPECT_EQ(dependencies->GetSelectedEntry(), m_List.Find("Old"));
    dependencies->Close();

    // "Open" on a folder opens the folder, as the select button would.
    RightPress(CellOf("Cellar"));
    MenuEntry("Open")->Activate();
    Step(CPoint{790, 590}, false);
    EXPECT_GE(CellOf("Deep"), 0);
    EXPECT_EQ(CellOf("Old"), -1);
}

TEST_F(ImageBrowserFrame, ANewEntryMadeFromTheMenuLandsInTheShownFolderAndIsSelected)
{
    COptionsHost options;
    options.on = {"Create New Asset"};
    const CScopedObjectModelHost host(&options);
    m_Browser->SelectValue(m_List.Find("Cellar/Deep"));
    ASSERT_GE(CellOf("Deep"), 0);
    RightPress(CellOf("Deep"));
    MenuEntry("Create new Barrel")->Activate();
    Step(CPoint{790, 590}, false);

    auto* dialog = dynamic_cast<CNewFileDialog*>(m_Grid->GetNewAssetDialog());
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->IsModal());
    EXPECT_STREQ(dialog->GetTitle().GetString(), "Create new Barrel");
    EXPECT_STREQ(dialog->GetLocationEdit()->GetTitle().GetString(), "Cellar");
    dialog->GetNameEdit()->SetTitle(CJString("Fresh"));
    Click(*dialog->GetSaveButton());
    Step(CPoint{790, 590}, false);

    EXPECT_EQ(m_Grid->GetNewAssetDialog(), nullptr);
    EXPECT_TRUE(DiskHas("Barrels/Cellar/Fresh.Barrel.txt"));
    const int32_t fresh = m_List.Find("Cellar/Fresh");
    ASSERT_GE(fresh, 0);
    EXPECT_EQ(m_Browser->GetSelectedValue(), fresh);
    EXPECT_GE(CellOf("Deep"), 0);

    // Closing the browser with the dialog open takes the dialog with it.
    RightPress(CellOf("Fresh"));
    MenuEntry("Create new Barrel")->Activate();
    Step(CPoint{790, 590}, false);
    CJWindow* second = m_Grid->GetNewAssetDialog();
    ASSERT_NE(second, nullptr);
    m_Browser->Destroy();
    EXPECT_FALSE(InTree(second));
}

// Fills its 40 x 30 bounds with green.
class CGreenItem : public CImageBrowserItemBridge {
public:
    using CImageBrowserItemBridge::CImageBrowserItemBridge;
    void Draw(CFrameInterface& target, CPoint point) override
    {
        CColor green(0, 255, 0, 255);
        target.FillRect(CRect{point.x, point.y, point.x + 40, point.y + 30}, green);
    }
    void GetBounds(CRect& out) override { out = CRect{0, 0, 40, 30}; }
};

std::unique_ptr<CImageBrowserItemBridge> MakeGreen(CVirtualArray* list, uint32_t index)
{
    return std::make_unique<CGreenItem>(list, index);
}

TEST_F(ImageBrowserFrame, ThumbnailsAreDrawnInTheirCellsWhereverTheGridSitsAndScrolls)
{
    CDirectoryTree tree(m_List);
    m_Grid->SetTree(&tree, &MakeGreen);
    m_Grid->ShowFolder(tree.GetRoot(), false, true); // "Old" and "Cellar/Deep"
    ASSERT_EQ(m_Grid->GetCellCount(), 2);
    m_Grid->LoadAll();
    m_ScreenFrame->FillBytes(0);
    m_Screen->Draw(*m_ScreenFrame);
    const CRect& screen = m_Grid->GetScreenRect();
    auto imageAt = [&](int32_t cell) {
        const SImageBrowserCell& c = m_Grid->GetCell(cell);
        return CPoint{screen.left - m_Grid->GetScrollOffsetX() + c.rect.left + c.imageOrigin.x,
                      screen.top - m_Grid->GetScrollOffsetY() + c.rect.top + c.rowOffset + c.imageOrigin.y};
    };
    CPoint at = imageAt(1);
    EXPECT_EQ(Rgb(*m_ScreenFrame, at.x + 1, at.y + 1), 0x00FF00u);
    EXPECT_EQ(Rgb(*m_ScreenFrame, at.x + 38, at.y + 28), 0x00FF00u);
    EXPECT_NE(Rgb(*m_ScreenFrame, at.x - 1, at.y + 1), 0x00FF00u);

    // Scrolled down by 5, the picture moves up with its cell.
    m_Grid->SetScrollSize(m_Grid->GetWidth(), m_Grid->GetHeight() + 100);
    m_Grid->SetScrollPosition(0, 5);
    m_ScreenFrame->FillBytes(0);
    m_Screen->Draw(*m_ScreenFrame);
    const CPoint before = at;
    at = imageAt(1);
    EXPECT_EQ(at.y, before.y - 5);
    EXPECT_EQ(Rgb(*m_ScreenFrame, at.x + 1, at.y + 1), 0x00FF00u);
    EXPECT_NE(Rgb(*m_ScreenFrame, before.x + 1, before.y + 29), 0x00FF00u);

    // A drag shows the picture faded, its hot spot (here its corner) at the
    // pointer, wherever it was grabbed.
    m_Grid->SetScrollPosition(0, 0);
    m_Grid->SetDragEnabled(true);
    at = imageAt(1);
    const CPoint grab{at.x + 10, at.y + 10};
    Step(grab, true);
    Step(CPoint{grab.x + 3, grab.y + 60}, true);
    m_ScreenFrame->FillBytes(0);
    m_Screen->Draw(*m_ScreenFrame);
    const uint32_t faded = Rgb(*m_ScreenFrame, grab.x + 3 + 35, grab.y + 60 + 25);
    EXPECT_GT(faded, 0x008000u);
    EXPECT_LT(faded, 0x00FF00u);
    EXPECT_EQ(faded & 0xFF00FFu, 0u);
    Step(CPoint{grab.x + 3, grab.y + 60}, false);
}

} // namespace
