// The thumbnail grid over a small folder tree: how cells are sized and laid
// out, what a folder pick shows with and without Ctrl and Alt, how
// placeholders load on the hand-driven clock, and when a dragged item drops.
#include "ui/MenuTestSupport.h"

#include "editor/CImageBrowser.h"
#include "editor/EditorStartup.h"
#include "editor/CImageBrowserFrameWindow.h"
#include "editor/CPrunedTree.h"
#include "foundation/CCommand.h"
#include "foundation/SettingsFiles.h"
#include "game/world/CGameApp.h"
#include "ui/CJCheckBox.h"
#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/CJListBox.h"
#include "ui/CJScrollBar.h"
#include "ui/CJStatic.h"
#include "editor/CWindowedBrowsableImage.h"
#include "editor/ImageBrowserItems.h"
#include "foundation/CDirectoryTree.h"
#include "images/CFrameBrowserItem.h"
#include "images/CFrameList.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "objects/CFileListList.h"

#include <map>
#include <string>
#include <vector>

namespace {

// A list whose items load on TouchItem, each load taking its set time on
// the test clock.
class CShelf : public CSimpleVirtualArray {
public:
    std::vector<std::string> names;
    std::vector<bool> loaded;
    std::map<int32_t, uint32_t> loadCostMs;
    std::vector<int32_t> loadOrder;
    void (*advance)(uint32_t) = nullptr;

    const char* GetItemName(int32_t i) override { return names[size_t(i)].c_str(); }
    CJString GetItemNameString(int32_t i) override { return CJString(GetItemName(i)); }
    int32_t GetCount() override { return int32_t(names.size()); }
    bool IsItemLoaded(int32_t i) override { return loaded[size_t(i)]; }
    void GetListName(CJString& out) override { out.Set("Root"); }
    void TouchItem(int32_t i) override
    {
        loadOrder.push_back(i);
        if (advance && loadCostMs.count(i))
            advance(loadCostMs[i]);
        loaded[size_t(i)] = true;
    }
};

// Bounds by item index; unknown items are 40 x 30 with the origin centred.
std::map<uint32_t, CRect> g_Bounds;

class CBoxItem : public CImageBrowserItemBridge {
public:
    using CImageBrowserItemBridge::CImageBrowserItemBridge;
    void GetBounds(CRect& out) override
    {
        auto found = g_Bounds.find(GetIndex());
        out = found != g_Bounds.end() ? found->second : CRect{-20, -15, 20, 15};
    }
};

std::unique_ptr<CImageBrowserItemBridge> MakeBox(CVirtualArray* list, uint32_t index)
{
    return std::make_unique<CBoxItem>(list, index);
}

class ImageBrowser : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (IsSkipped())
            return;
        g_Bounds.clear();
        // Captions in the screen's font: no data fonts, whatever a game an
        // earlier test ran left listed.
        GetFontList().SetSource(nullptr, "Nowhere", 0);
        // Sorted as an object list is: folders come from the names.
        m_Shelf.names = {"Rocks/Big", "Rocks/Deep/Pebble", "Rocks/Small", "Sun", "Trees/Oak"};
        m_Shelf.loaded.assign(m_Shelf.names.size(), true);
        m_Shelf.advance = &Advance;
        m_Tree = std::make_unique<CDirectoryTree>(m_Shelf);
        m_Browser = new CImageBrowser(m_Screen);
        m_Browser->SetRect(CRect{0, 0, 400, 300});
        m_Screen->AddChild(m_Browser, kAsIsNoGrow);
        m_Browser->SetTree(m_Tree.get(), &MakeBox);
    }
    int32_t Folder(const char* name)
    {
        const int32_t root = m_Tree->GetRoot();
        for (int32_t i = 0; i < m_Tree->GetChildCount(root); ++i) {
            const int32_t child = m_Tree->GetChild(root, i);
            if (m_Tree->GetName(child).Compare(name) == 0)
                return child;
        }
        return -1;
    }
    std::string Captions()
    {
        std::string out;
        for (int32_t i = 0; i < m_Browser->GetCellCount(); ++i) {
            const SImageBrowserCell& cell = m_Browser->GetCell(i);
            out += std::string(out.empty() ? "" : " ") + (cell.folder ? "[" : "") + cell.caption.GetString() +
                   (cell.folder ? "]" : "") + (cell.notLoaded ? "?" : "");
        }
        return out;
    }
    SImageBrowserCell CellFor(std::unique_ptr<CImageBrowserItemBridge> bridge, const char* caption)
    {
        SImageBrowserCell cell;
        cell.bridge = std::move(bridge);
        cell.caption.Set(caption);
        m_Browser->InitCell(cell);
        return cell;
    }
    int32_t PointSize() { return m_Font->GetPointSize(); }

    CShelf m_Shelf;
    std::unique_ptr<CDirectoryTree> m_Tree;
    CImageBrowser* m_Browser = nullptr;
};

TEST_F(ImageBrowser, CellsAreAtLeastEightyWideWithTwoPixelsRoundAndRoomForTheirCaption)
{
    g_Bounds[0] = CRect{5, 5, 5, 9};       // empty: right not above left
    g_Bounds[1] = CRect{-10, -40, 20, 0};  // 30 wide: widened by 25 a side
    g_Bounds[2] = CRect{0, 0, 200, 50};
    const SImageBrowserCell empty = CellFor(MakeBox(&m_Shelf, 0), "A");
    EXPECT_EQ(empty.width, 84);
    EXPECT_EQ(empty.height, PointSize() + 4);
    EXPECT_EQ(empty.imageOrigin, (CPoint{42, 2}));

    const SImageBrowserCell narrow = CellFor(MakeBox(&m_Shelf, 1), "B");
    EXPECT_EQ(narrow.width, 84);
    EXPECT_EQ(narrow.height, PointSize() + 44);
    EXPECT_EQ(narrow.imageOrigin, (CPoint{37, 42}));

    const SImageBrowserCell wide = CellFor(MakeBox(&m_Shelf, 2), "C");
    EXPECT_EQ(wide.width, 204);
    EXPECT_EQ(wide.imageOrigin, (CPoint{2, 2}));

    // A long caption wraps in a thumbnail but never beside a no-image item.
    const char* longName = "a very long caption that cannot fit in eighty pixels";
    EXPECT_GT(CellFor(MakeBox(&m_Shelf, 0), longName).lineCount, 1);
    const SImageBrowserCell none = CellFor(CreateNoImageBrowserItem(&m_Shelf, 0), longName);
    EXPECT_EQ(none.width, 1004);
    EXPECT_EQ(none.lineCount, 1);
    EXPECT_EQ(none.height, PointSize() + 4);
}

TEST_F(ImageBrowser, RowsBreakAtTheClientWidthAndShareTheirBottomLine)
{
    g_Bounds[0] = CRect{0, 0, 170, 60}; // Rocks/Big
    g_Bounds[2] = CRect{0, 0, 170, 20}; // Rocks/Small
    m_Browser->SetBorderWidth(3);
    m_Browser->ShowFolder(Folder("Rocks"), false, false);
    ASSERT_EQ(Captions(), "[Root] [Deep] Big Small");
    m_Browser->LayOut(340);
    const SImageBrowserCell& parent = m_Browser->GetCell(0);
    const SImageBrowserCell& big = m_Browser->GetCell(2);
    const SImageBrowserCell& small = m_Browser->GetCell(3);
    EXPECT_EQ(parent.rect.left, 3);
    EXPECT_EQ(m_Browser->GetCell(1).rect.left, 87);
    // 171 + 174 passes 340 - 3: Big starts the second row, Small the third.
    EXPECT_EQ(big.rect.left, 3);
    EXPECT_EQ(big.rect.top, parent.rect.bottom);
    EXPECT_EQ(small.rect.top, big.rect.bottom);

    m_Browser->LayOut(530);
    EXPECT_EQ(big.rect.left, 171);
    EXPECT_EQ(small.rect.left, big.rect.right);
    EXPECT_EQ(small.rect.bottom, big.rect.bottom);
    EXPECT_EQ(small.rowOffset, big.height - small.height);
    EXPECT_EQ(big.rowOffset, 0);
    EXPECT_EQ(m_Browser->GetContentWidth(), small.rect.right);
    EXPECT_EQ(m_Browser->GetContentHeight(), big.rect.bottom + 3);
}

TEST_F(ImageBrowser, CtrlAddsToTheGridAndAltShowsEveryItemBelowWithoutFolders)
{
    m_Browser->ShowFolder(m_Tree->GetRoot(), false, false);
    EXPECT_EQ(Captions(), "[Rocks] [Trees] Sun"); // no parent cell at the root

    m_Browser->ShowFolder(Folder("Rocks"), false, true);
    EXPECT_EQ(Captions(), "Big Small Pebble");

    CKeyboardState::SGetInstance().OnKeyDown(29);
    m_Browser->ShowFolderForHeldKeys(Folder("Trees"));
    EXPECT_EQ(Captions(), "Big Small Pebble [Root] Oak");
    CKeyboardState::SGetInstance().OnKeyUp(29);

    CKeyboardState::SGetInstance().OnKeyDown(312);
    m_Browser->ShowFolderForHeldKeys(m_Tree->GetRoot());
    EXPECT_EQ(Captions(), "Sun Big Small Pebble Oak");
}

TEST_F(ImageBrowser, PlaceholdersLoadAfterASecondAndAHalfThenPacedByTwiceTheLoadTime)
{
    m_Shelf.loaded.assign(m_Shelf.names.size(), false);
    m_Shelf.loadCostMs = {{0, 300}, {2, 8000}};
    m_Browser->ShowFolder(Folder("Rocks"), false, false);
    ASSERT_EQ(Captions(), "[Root] [Deep] Big? Small?");
    EXPECT_EQ(m_Browser->GetCell(2).bridge->GetIndex(), 0u);

    Advance(1400);
    m_Browser->Update(0.0f);
    EXPECT_TRUE(m_Shelf.loadOrder.empty());
    Advance(100);
    m_Browser->Update(0.0f);
    EXPECT_EQ(Captions(), "[Root] [Deep] Big Small?");
    // Big took 300 ms: Small waits 600.
    Advance(599);
    m_Browser->Update(0.0f);
    EXPECT_EQ(m_Shelf.loadOrder.size(), 1u);
    Advance(1);
    m_Browser->Update(0.0f);
    EXPECT_EQ(Captions(), "[Root] [Deep] Big Small");
    // 8 s doubled is held to 10 s.
    EXPECT_EQ(m_Browser->GetNextLoadTime(), MillisecondClock() + 10000);
}

TEST_F(ImageBrowser, TheSelectedPlaceholderLoadsAtOnceAndAutoLoadOffWaits)
{
    m_Shelf.loaded.assign(m_Shelf.names.size(), false);
    m_Browser->SetAutoLoad(false);
    m_Browser->ShowFolder(m_Tree->GetRoot(), false, true);
    Advance(5000);
    m_Browser->Update(0.0f);
    EXPECT_TRUE(m_Shelf.loadOrder.empty());

    m_Browser->Select(1);
    EXPECT_EQ(m_Shelf.loadOrder, (std::vector<int32_t>{0}));
    EXPECT_FALSE(m_Browser->GetCell(1).notLoaded);

    m_Browser->LoadAll();
    EXPECT_FALSE(m_Browser->HasPlaceholders());

    // Lists without thumbnails never wait on a load.
    m_Shelf.loaded.assign(m_Shelf.names.size(), false);
    m_Browser->SetTree(m_Tree.get(), nullptr);
    m_Browser->ShowFolder(m_Tree->GetRoot(), false, true);
    EXPECT_FALSE(m_Browser->HasPlaceholders());
    EXPECT_EQ(m_Browser->GetCell(0).width, 1004);
}

TEST_F(ImageBrowser, ArrowKeysStopAtTheEnds)
{
    m_Browser->ShowFolder(m_Tree->GetRoot(), false, false);
    m_Browser->OnKeyDown(10);
    EXPECT_EQ(m_Browser->GetSelected(), 2);
    m_Browser->OnKeyDown(12);
    EXPECT_EQ(m_Browser->GetSelected(), 2);
    m_Browser->Select(0);
    m_Browser->OnKeyDown(6);
    EXPECT_EQ(m_Browser->GetSelected(), 0);
    m_Browser->OnKeyDown(12);
    EXPECT_EQ(m_Browser->GetSelected(), 1);
    EXPECT_EQ(m_Browser->GetSelectedItem(), -1); // a folder
}

// About a hundred frames run far below the view: the grid's bar and the
// wheel over its cells reach the last row, and no cell lies under the bar.
TEST_F(ImageBrowser, TheGridScrollsToItsLastRowByWheelAndByBar)
{
    m_Shelf.names.clear();
    for (int32_t i = 0; i < 97; ++i)
        m_Shelf.names.push_back("Frame " + std::to_string(100 + i));
    m_Shelf.loaded.assign(m_Shelf.names.size(), true);
    m_Tree = std::make_unique<CDirectoryTree>(m_Shelf);
    m_Browser->SetTree(m_Tree.get(), &MakeBox);
    // Four cells of 84 fit the width, but not beside the bar.
    m_Browser->SetRect(CRect{0, 0, 4 * 84 + 8, 300});
    m_Browser->ShowFolder(m_Tree->GetRoot(), false, false);
    Step(CPoint{200, 150}, false);
    auto* bar = dynamic_cast<CJScrollBar*>(m_Browser->GetScroll()->verticalBar);
    ASSERT_NE(bar, nullptr);
    for (int32_t i = 0; i < m_Browser->GetCellCount(); ++i)
        EXPECT_LE(m_Browser->GetCell(i).rect.right, bar->GetRect().left) << i;
    const SImageBrowserCell& last = m_Browser->GetCell(96);
    const auto lastShown = [&] { return last.rect.bottom <= m_Browser->GetScrollOffsetY() + m_Browser->GetViewHeight(); };
    for (int32_t notch = 0; notch < 200 && !lastShown(); ++notch) {
        CMouseState::SGetInstance().AddWheel(-1.0f);
        Step(CPoint{200, 150}, false);
    }
    EXPECT_TRUE(lastShown()) << "by the wheel";

    // Back at the top, the thumb dragged to the bar's foot.
    m_Browser->SetScrollY(0);
    Step(CPoint{200, 150}, false);
    const CRect& thumb = bar->GetThumbRect();
    const CPoint grab{bar->GetScreenRect().left + thumb.left + 2, bar->GetScreenRect().top + thumb.top + 2};
    Step(grab, true);
    Step(CPoint{grab.x, 599}, true);
    Step(CPoint{grab.x, 599}, false);
    EXPECT_TRUE(lastShown()) << "by the bar";
}

// Records the drop messages that reach the screen's children.
class CDropTarget : public CJWindow {
public:
    CDropTarget()
        : CJWindow(nullptr, "Drop Target")
    {
    }
    bool ForwardToChildren(CMessage& message) override
    {
        if (message.IsType("CBrowserItemDroppedMessage"))
            drops.push_back(static_cast<CBrowserItemDroppedMessage&>(message).GetPosition());
        return true;
    }
    std::vector<CPoint> drops;
};

TEST_F(ImageBrowser, OnlyADragOfFourPixelsOrMoreEndingOutsideDropsTheItem)
{
    auto* target = new CDropTarget;
    target->SetRect(CRect{500, 0, 800, 600});
    m_Screen->AddChild(target, kAsIsNoGrow);
    m_Browser->SetDragEnabled(true);
    m_Browser->SetDropSource(m_Browser);
    m_Browser->ShowFolder(m_Tree->GetRoot(), false, false);
    // Cell rectangles are in content coordinates; presses come in screen ones.
    const CPoint client = m_Browser->ScreenToClient(CPoint{0, 0});
    const CRect sun = m_Browser->GetCell(2).rect;
    const CPoint grab{sun.left + 10 - client.x, sun.top + 5 - client.y};
    CCursorSequence* cursor = nullptr;
    auto drag = [&](CPoint by, CPoint releaseAt) {
        m_Browser->OnMouseDown(0, grab);
        m_Browser->OnMouseDrag(grab, by, 1, cursor);
        m_Browser->OnMouseRelease(releaseAt, 0);
    };
    drag(CPoint{3, 2}, CPoint{600, 100}); // 13 squared pixels
    EXPECT_TRUE(target->drops.empty());
    drag(CPoint{300, 50}, CPoint{200, 100}); // released over the browser
    EXPECT_TRUE(target->drops.empty());
    drag(CPoint{4, 0}, CPoint{600, 100});
    ASSERT_EQ(target->drops.size(), 1u);
    EXPECT_EQ(target->drops[0], (CPoint{600, 100})) << "the image's hot spot goes where it is let go";

    // A folder cell stays where it is.
    const CRect rocks = m_Browser->GetCell(0).rect;
    m_Browser->OnMouseDown(0, CPoint{rocks.left + 1 - client.x, rocks.top + 1 - client.y});
    EXPECT_EQ(m_Browser->GetSelected(), 0);
    m_Browser->OnMouseDrag(grab, CPoint{50, 50}, 1, cursor);
    m_Browser->OnMouseRelease(CPoint{600, 100}, 0);
    EXPECT_EQ(target->drops.size(), 1u);
}

TEST_F(ImageBrowser, TheRegistryHandsOutASetFactoryBeforeTheListsOwn)
{
    CFileListList& registry = CFileListList::SGetInstance();
    EXPECT_FALSE(registry.SetItemFactory(&m_Shelf, &MakeBox));
    const int32_t index = registry.AddList("Shelf", nullptr, &m_Shelf, 0, 0);
    EXPECT_EQ(registry.GetItemFactory(index), nullptr);
    EXPECT_TRUE(registry.SetItemFactory(&m_Shelf, &MakeBox));
    EXPECT_EQ(registry.GetItemFactory(index), &MakeBox);
    CFileListList::RemoveList(&m_Shelf);
}

TEST_F(ImageBrowser, TheFolderListSeesOnlyFoldersOfTheTree)
{
    CPrunedTree folders(*m_Tree);
    const int32_t root = folders.GetRoot();
    ASSERT_EQ(folders.GetChildCount(root), 2); // Sun is an item
    EXPECT_STREQ(folders.GetName(folders.GetChild(root, 0)).GetString(), "Rocks");
    EXPECT_STREQ(folders.GetName(folders.GetChild(root, 1)).GetString(), "Trees");
    EXPECT_EQ(folders.GetChild(root, 2), -1);
    const int32_t rocks = folders.GetChild(root, 0);
    EXPECT_EQ(folders.GetChildCount(rocks), 1);
    EXPECT_EQ(folders.GetChildCount(folders.GetChild(root, 1)), 0);
    EXPECT_EQ(folders.GetParent(rocks), root);
}

// Counts its updates and keeps the last click.
class CClickItem : public CBoxItem {
public:
    using CBoxItem::CBoxItem;
    void Update(float) override { ++updates; }
    bool Click(uint32_t button, CPoint point) override
    {
        last = point;
        return button == 1;
    }
    int updates = 0;
    CPoint last{0, 0};
};

TEST_F(ImageBrowser, APreviewSizesToItsImageAndCentresItInALargerWindow)
{
    auto* preview = new CWindowedBrowsableImage(m_Screen);
    m_Screen->AddChild(preview, kAsIsNoGrow);
    g_Bounds[7] = CRect{-10, -30, 30, 10};
    auto owned = std::make_unique<CClickItem>(&m_Shelf, 7);
    CClickItem* item = owned.get();
    preview->SetItem(std::move(owned));
    EXPECT_EQ(preview->GetWidth(), 40);
    EXPECT_EQ(preview->GetHeight(), 40);
    EXPECT_EQ(preview->GetImageOrigin(), (CPoint{10, 30}));
    preview->Update(0.5f);
    EXPECT_EQ(item->updates, 1);

    // Grown to 60 x 50: the image moves by (10, 5); clicks are made relative
    // to the image's origin the same way.
    preview->SetSize(60, 50);
    const CPoint client = preview->ScreenToClient(CPoint{0, 0});
    EXPECT_TRUE(preview->OnMouseDown(1, CPoint{20 - client.x, 35 - client.y}));
    EXPECT_EQ(item->last, (CPoint{0, 0}));

    g_Bounds[8] = CRect{-10000, 0, 10, 10};
    preview->SetItem(std::make_unique<CBoxItem>(&m_Shelf, 8));
    EXPECT_EQ(preview->GetWidth(), 300);
    EXPECT_EQ(preview->GetHeight(), 300);
    EXPECT_EQ(preview->GetImageOrigin(), (CPoint{150, 150}));
}

class CCountingCommand : public CCommand {
public:
    explicit CCountingCommand(int* runs)
        : m_Runs(runs)
    {
    }
    void Execute() override { ++*m_Runs; }

private:
    int* m_Runs;
};

TEST_F(ImageBrowser, APickerEnablesSelectOnItemsOpensFoldersAndRunsItsCommandOnce)
{
    int runs = 0;
    auto* picker = new CImageBrowserFrameWindow(m_Screen, "Shelf Browser", CImageBrowserFrameWindow::kModeOneList,
                                                "Select", new CCountingCommand(&runs), &m_Shelf);
    m_Screen->AddChild(picker, kAsIsNoGrow);
    CImageBrowser* grid = picker->GetGrid();
    auto captions = [grid] {
        std::string out;
        for (int32_t i = 0; i < grid->GetCellCount(); ++i)
            out += std::string(out.empty() ? "" : " ") + grid->GetCell(i).caption.GetString();
        return out;
    };
    EXPECT_EQ(captions(), "Rocks Trees Sun");
    EXPECT_FALSE(picker->GetSelectButton()->IsEnabled());

    grid->Select(0); // a folder: nothing to pick yet
    EXPECT_FALSE(picker->GetSelectButton()->IsEnabled());
    picker->OnNotify(picker->GetSelectButton(), kNotifyClicked);
    EXPECT_EQ(captions(), "Root Deep Big Small");
    EXPECT_EQ(runs, 0);
    picker->OnKeyDown(8);
    EXPECT_EQ(captions(), "Rocks Trees Sun");

    picker->SelectValue(1);
    EXPECT_EQ(captions(), "Rocks Pebble");
    EXPECT_EQ(picker->GetSelectedValue(), 1);
    EXPECT_TRUE(picker->GetSelectButton()->IsEnabled());
    EXPECT_STREQ(picker->GetStatusText()->GetTitle().GetString(), "Pebble");

    grid->OnKeyDown(13);
    EXPECT_EQ(runs, 1);
    Step(CPoint{790, 590}, false);
    EXPECT_FALSE(InTree(picker));
}

TEST_F(ImageBrowser, TheBrowserKeepsItsChosenListAndAutoLoadInTheEditorSettings)
{
    CFileListList& registry = CFileListList::SGetInstance();
    CShelf other;
    other.names = {"Lone"};
    other.loaded = {true};
    registry.AddList("Other", nullptr, &other, 0, 0);
    const int32_t shelf = registry.AddList("Shelf", nullptr, &m_Shelf, 0, 0);
    registry.SetItemFactory(&m_Shelf, &MakeBox);
    const char* file = GetEditorSettingsFileName();
    ASSERT_TRUE(SetIniString(file, "Image Browser", "Selected List", "Shelf"));
    ASSERT_TRUE(SetIniBool(file, "Image Browser", "Auto Load", false));
    m_Shelf.loaded.assign(m_Shelf.names.size(), false);

    // Given the other list, the browser still opens on the stored one.
    auto* browser = new CImageBrowserFrameWindow(m_Screen, "Image Browser", CImageBrowserFrameWindow::kModeAllLists,
                                                 nullptr, nullptr, &other);
    m_Screen->AddChild(browser, kAsIsNoGrow);
    EXPECT_EQ(browser->GetBrowsedList(), &m_Shelf);
    EXPECT_EQ(browser->GetListChooser()->GetSelectedItem(), shelf);
    EXPECT_EQ(browser->GetGrid()->GetFactory(), &MakeBox);
    EXPECT_EQ(browser->GetSelectButton(), nullptr);
    EXPECT_EQ(browser->GetSplitBarPos(), 130);
    EXPECT_EQ(browser->GetAutoLoadBox()->IsChecked(), 0);
    EXPECT_FALSE(browser->GetGrid()->GetAutoLoad());

    Step(CPoint{790, 590}, false);
    EXPECT_TRUE(browser->GetLoadNowButton()->IsEnabled()); // Sun waits
    browser->GetAutoLoadBox()->SetChecked(1);
    browser->OnNotify(browser->GetAutoLoadBox(), kNotifyClicked);
    EXPECT_TRUE(GetIniBool(file, "Image Browser", "Auto Load", false));
    browser->OnNotify(browser->GetLoadNowButton(), kNotifyClicked);
    Step(CPoint{790, 590}, false);
    EXPECT_FALSE(browser->GetLoadNowButton()->IsEnabled());

    browser->GetListChooser()->SelectItem(registry.FindIndexOfList(&other), true);
    browser->OnNotify(browser->GetListChooser(), kNotifyClicked);
    EXPECT_EQ(browser->GetBrowsedList(), &other);
    char stored[101] = "";
    GetIniString(file, "Image Browser", "Selected List", stored, sizeof stored);
    EXPECT_STREQ(stored, "Other");

    browser->OnKeyDown(27);
    Step(CPoint{790, 590}, false);
    EXPECT_FALSE(InTree(browser));
    CFileListList::RemoveList(&m_Shelf);
    CFileListList::RemoveList(&other);
}

TEST_F(ImageBrowser, AFrameThumbnailSitsOnTheFramesHotSpot)
{
    AddFrame("Crate", 30, 20, 0xFF00FF00u);
    AddFrame("Backdrop", 1024, 768, 0xFFFF0000u);
    m_Frames->SetSource(nullptr, "Interface", 0); // enumerated again
    const int32_t crate = Index("Crate");
    ASSERT_GE(crate, 0);
    FrameWithHotSpot("Crate", 5, 4);
    ImageBrowserItemFactory factory = m_Frames->GetItemFactory();
    ASSERT_EQ(factory, &CFrameBrowserItem::SCreate);
    SImageBrowserCell cell = CellFor(factory(m_Frames.get(), uint32_t(crate)), "Crate");
    // 30 wide: 25 more on each side, then the 2-pixel margin.
    EXPECT_EQ(cell.imageOrigin, (CPoint{5 + 25 + 2, 4 + 2}));
    EXPECT_EQ(cell.width, 84);
    EXPECT_EQ(cell.height, 24 + PointSize());

    // An entry past the list's end draws nothing and measures empty.
    CRect bounds{1, 1, 1, 1};
    CFrameBrowserItem::SCreate(m_Frames.get(), 999)->GetBounds(bounds);
    EXPECT_EQ(bounds, (CRect{0, 0, 0, 0}));

    // A full-screen frame is shrunk whole into a thumbnail on its hot spot:
    // the frames after it stand beside it and show, nothing is drawn past its cell.
    FrameWithHotSpot("Backdrop", 512, 384);
    const int32_t side = CImageBrowser::kLargestThumbnailSide;
    m_Browser->SetTree(m_Frames->GetItemTree(), factory);
    m_Browser->ShowFolder(m_Frames->GetItemTree()->GetRoot(), false, false);
    m_Browser->LayOut(400);
    std::unique_ptr<CFrame> canvas = Canvas(400, 300);
    m_Browser->Draw(*canvas);
    for (int32_t i = 0; i < m_Browser->GetCellCount(); ++i) {
        const SImageBrowserCell& shown = m_Browser->GetCell(i);
        const CRect& r = shown.rect;
        const CPoint image{r.left + shown.imageOrigin.x, r.top + shown.rowOffset + shown.imageOrigin.y};
        if (shown.caption.Compare("Crate") == 0) {
            ASSERT_LT(r.bottom, 300) << "in view";
            EXPECT_EQ(Rgb(*canvas, image.x, image.y), 0x00FF00u);
        } else if (shown.caption.Compare("Backdrop") == 0) {
            EXPECT_EQ(Rgb(*canvas, image.x - side / 2 + 1, image.y - side * 3 / 8 + 1), 0xFF0000u);
            EXPECT_EQ(Rgb(*canvas, image.x + side / 2 - 2, image.y + side * 3 / 8 - 2), 0xFF0000u);
            EXPECT_NE(Rgb(*canvas, r.left + 1, r.bottom + 2), 0xFF0000u);
            EXPECT_NE(Rgb(*canvas, r.right + 2, r.top + 1), 0xFF0000u);
        }
    }
}

} // namespace
