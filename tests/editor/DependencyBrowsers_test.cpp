// The list browser and the asset dependency browser over three small lists
// registered as the game registers its own: parts and gizmos (object lists;
// a gizmo refers to parts and to a colour) and colours (names only). What is
// checked is what the designer sees: the rows of both tables, where a row
// jumps to, which buttons are live, what the dialogs make on disk.
#include "support/TestOnlyClasses.h"
#include "ui/MenuTestSupport.h"

#include "editor/CAssetDependencyBrowser.h"
#include "editor/CListBrowserWindow.h"
#include "editor/CNewFileDialog.h"
#include "editor/CObjectEditor.h"
#include "foundation/CDynamicList.h"
#include "foundation/SettingsFiles.h"
#include "game/world/CGameApp.h"
#include "objects/CFileListList.h"
#include "objects/CListProperty.h"
#include "objects/CNewFileOptions.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "platform/CPlatformHeadless.h"
#include "shell/GameWindow.h"
#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/CJEdit.h"
#include "ui/CJHeader.h"
#include "ui/CJListBox.h"
#include "ui/CJMessageBox.h"

#include <cstdio>
#include <string>
#include <vector>

class CDepPart : public CObject {
    OMBRISALT_REFLECTED(CDepPart, CObject)
public:
    CDepPart() { InitDeclaredProperties(); }
    ~CDepPart() override { DestroyDeclaredProperties(); }
    int32_t m_Teeth = 0;
};
OMBRISALT_IMPLEMENT_CLASS(CDepPart, 1.0)
const CTestOnlyClass kDepPartIsTestOnly("CDepPart");
void CDepPart::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CDepPart::m_Teeth, "Teeth", 0);
}

namespace {

using CDepPartList = CObjectArrayBaseTemplate<CDepPart>;

CDepPartList& Parts()
{
    static CDepPartList list("Part.txt");
    return list;
}

CDynamicList& Colours()
{
    static CDynamicList list;
    return list;
}

} // namespace

class CDepGizmo : public CObject {
    OMBRISALT_REFLECTED(CDepGizmo, CObject)
public:
    CDepGizmo() { InitDeclaredProperties(); }
    ~CDepGizmo() override { DestroyDeclaredProperties(); }
    int32_t m_MainPart = 0;
    int32_t m_SparePart = 0;
    int32_t m_Colour = 0;
};
OMBRISALT_IMPLEMENT_CLASS(CDepGizmo, 1.0)
const CTestOnlyClass kDepGizmoIsTestOnly("CDepGizmo");
void CDepGizmo::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference(&CDepGizmo::m_MainPart, "Main Part", &Parts(), nullptr);
    d.AddListReference(&CDepGizmo::m_SparePart, "Spare Part", &Parts(), nullptr);
    d.AddListReference(&CDepGizmo::m_Colour, "Colour", &Colours(), nullptr);
}

namespace {

using CDepGizmoList = CObjectArrayBaseTemplate<CDepGizmo>;

CDepGizmoList& Gizmos()
{
    static CDepGizmoList list("Gizmo.txt");
    return list;
}

// The lists enter the registry once per process; each test points the
// object lists at its own folder.
void PointListsAtFolder()
{
    static bool registered = false;
    Parts().SetSource(registered ? nullptr : "Parts", "Parts", 0);
    Gizmos().SetSource(registered ? nullptr : "Gizmos", "Gizmos", 0);
    if (!registered) {
        Colours().Add("!No Colour");
        Colours().Add("Blue");
        Colours().Add("Red");
        CFileListList::SGetInstance().AddList("Colours", nullptr, &Colours(), 0, 0);
    }
    registered = true;
}

std::vector<std::string> Rows(CDynamicList& rows)
{
    std::vector<std::string> out;
    for (int32_t i = 0; i < rows.GetCount(); ++i)
        out.emplace_back(rows.GetItemName(i));
    return out;
}

class Browsers : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (IsSkipped())
            return;
        // The searches pump the window's events; a window in front does not
        // sleep between them.
        SetWindowState(true, false);
        CDepPart::SGetClassInfo();
        CDepGizmo::SGetClassInfo();
        WriteBytes("Parts/!None.Part.txt", ObjectText("CDepPart", ""));
        WriteBytes("Parts/Spring.Part.txt", ObjectText("CDepPart", ""));
        WriteBytes("Parts/Gears/Cog.Part.txt", ObjectText("CDepPart", "Teeth=12"));
        WriteBytes("Gizmos/Clock.Gizmo.txt",
                   ObjectText("CDepGizmo", "Main Part=Gears/Cog\nSpare Part=Gears/Cog\nColour=Red"));
        WriteBytes("Gizmos/Toys/Top.Gizmo.txt", ObjectText("CDepGizmo", "Main Part=Spring\nSpare Part=!None"));
        PointListsAtFolder();
    }
    void TearDown() override
    {
        Parts().RemoveAll();
        Gizmos().RemoveAll();
        SetWindowState(false, false);
        ScreenTest::TearDown();
    }
    int32_t Part(const char* name) { return Parts().Find(name); }
    int32_t Gizmo(const char* name) { return Gizmos().Find(name); }
    int32_t RegistryIndex(CVirtualArray* list) { return CFileListList::SGetInstance().FindIndexOfList(list); }
    // Clicks the row of the list box showing item.
    void ClickItem(CJListBox& list, int32_t item)
    {
        const int32_t row = list.FindRowOfItem(item);
        ASSERT_GE(row, 0);
        const int32_t rowHeight = list.GetRowHeight();
        const CRect& r = list.GetScreenRect();
        const int32_t y = r.top + list.GetFontUnit() - list.GetScrollOffset() + row * rowHeight + rowHeight / 2;
        Click(CPoint{r.left + 20, y});
    }
};

TEST_F(Browsers, TheSearchesListEveryReferenceOncePerPropertyAndNeverTheNoneEntry)
{
    CAssetDependencyFinder backward;
    backward.Find(&Parts(), uint32_t(Part("Gears/Cog")));
    // The same gizmo refers to the cog twice: a row per property.
    EXPECT_EQ(Rows(backward.GetRows()), (std::vector<std::string>{"Gizmos\tClock\tMain Part\tClock",
                                                                  "Gizmos\tClock\tSpare Part\tClock"}));
    ASSERT_EQ(backward.GetHits().GetCount(), 2u);
    EXPECT_EQ(backward.GetHits()[1].list, &Gizmos());
    EXPECT_EQ(backward.GetHits()[1].item, uint32_t(Gizmo("Clock")));

    // A list of names only is found as a target, though never walked.
    backward.Find(&Colours(), uint32_t(Colours().Find("Red")));
    EXPECT_EQ(Rows(backward.GetRows()), (std::vector<std::string>{"Gizmos\tClock\tColour\tClock"}));
    // The "none" entry is a target like any other.
    backward.Find(&Parts(), 0);
    EXPECT_EQ(Rows(backward.GetRows()), (std::vector<std::string>{"Gizmos\tTop\tSpare Part\tToys/Top"}));

    CAssetForwardDependencyFinder forward;
    forward.Find(Gizmos().GetObject(Gizmo("Toys/Top")));
    // "!None" is no dependency, and neither is the colour left at "!No Colour".
    EXPECT_EQ(Rows(forward.GetRows()), (std::vector<std::string>{"Parts\tSpring\tMain Part\tSpring"}));
    forward.Find(Gizmos().GetObject(Gizmo("Clock")));
    EXPECT_EQ(Rows(forward.GetRows()),
              (std::vector<std::string>{"Parts\tCog\tMain Part\tGears/Cog", "Parts\tCog\tSpare Part\tGears/Cog",
                                        "Colours\tRed\tColour\tRed"}));
    EXPECT_EQ(forward.GetHits()[2].list, &Colours());
    forward.Find(nullptr);
    EXPECT_EQ(forward.GetRows().GetCount(), 0);
}

TEST_F(Browsers, ARowClickedInEitherTableJumpsToTheEntryItNames)
{
    CAssetDependencyBrowserWindow* browser = OpenAssetDependencyBrowser(m_Screen, &Parts(), Part("Gears/Cog"));
    ASSERT_TRUE(InTree(browser));
    EXPECT_EQ(browser->GetReferencedByTable()->GetRowCount(), 2);
    EXPECT_EQ(browser->GetReferencesTable()->GetRowCount(), 0);
    EXPECT_EQ(browser->GetListCombo()->GetSelectedItem(), RegistryIndex(&Parts()));
    EXPECT_STREQ(browser->GetReferencedByTable()->GetRowText(0).GetString(), "Gizmos\tClock\tMain Part\tClock");

    ClickItem(*browser->GetReferencedByTable(), 1);
    Step(CPoint{0, 0}, false);
    EXPECT_EQ(browser->GetList(), &Gizmos());
    EXPECT_EQ(browser->GetListCombo()->GetSelectedItem(), RegistryIndex(&Gizmos()));
    EXPECT_EQ(browser->GetSelectedEntry(), Gizmo("Clock"));
    EXPECT_EQ(browser->GetReferencedByTable()->GetRowCount(), 0);
    ASSERT_EQ(browser->GetReferencesTable()->GetRowCount(), 3);
    Click(*browser->GetEditButton());
    EXPECT_EQ(GetCurrentObjectEditorObject(), Gizmos().GetObject(Gizmo("Clock")));
    OpenObjectEditor(nullptr, nullptr);

    // From the clock on to the colour it wears: a list of names, so nothing
    // is walked forward, and the clock refers to it.
    ClickItem(*browser->GetReferencesTable(), 2);
    Step(CPoint{0, 0}, false);
    EXPECT_EQ(browser->GetList(), &Colours());
    EXPECT_EQ(browser->GetSelectedEntry(), Colours().Find("Red"));
    EXPECT_EQ(browser->GetReferencesTable()->GetRowCount(), 0);
    EXPECT_EQ(browser->GetReferencedByTable()->GetRowCount(), 1);

    // The list shown last is the one a new browser starts on.
    char stored[100] = "";
    GetIniString(GetEditorSettingsFileName(), CAssetDependencyBrowserWindow::kTitle, "Selected List", stored,
                 sizeof stored);
    EXPECT_STREQ(stored, "Colours");
    browser->GetReferencesHeader()->SetColumnWidth(3, 240);
    browser->Close();
    CAssetDependencyBrowserWindow* again = OpenAssetDependencyBrowser(m_Screen, nullptr, -1);
    EXPECT_EQ(again->GetList(), &Colours());
    EXPECT_EQ(again->GetReferencesHeader()->GetColumnWidth(3), 240);
    EXPECT_EQ(again->GetSelectedEntry(), -1);
    EXPECT_EQ(again->GetReferencedByTable()->GetRowCount(), 0);
}

TEST_F(Browsers, EachTableKeepsItsOwnColumnWidthsAndOlderSharedWidthsStillRead)
{
    // Settings written before the tables had keys of their own: one width
    // under the column title, for both.
    const char* file = CJWindow::GetWindowSettingsFile();
    ASSERT_TRUE(SetIniInt(file, CAssetDependencyBrowserWindow::kTitle, "Path Column Width", 150));
    CAssetDependencyBrowserWindow* browser = OpenAssetDependencyBrowser(m_Screen, &Parts(), Part("Gears/Cog"));
    EXPECT_EQ(browser->GetReferencedByHeader()->GetColumnWidth(3), 150);
    EXPECT_EQ(browser->GetReferencesHeader()->GetColumnWidth(3), 150);

    browser->GetReferencedByHeader()->SetColumnWidth(3, 210);
    browser->GetReferencesHeader()->SetColumnWidth(3, 170);
    browser->GetReferencesHeader()->SetColumnWidth(0, 60);
    browser->Close();
    CAssetDependencyBrowserWindow* again = OpenAssetDependencyBrowser(m_Screen, nullptr, -1);
    EXPECT_EQ(again->GetReferencedByHeader()->GetColumnWidth(3), 210);
    EXPECT_EQ(again->GetReferencesHeader()->GetColumnWidth(3), 170) << "not the other table's width";
    EXPECT_EQ(again->GetReferencesHeader()->GetColumnWidth(0), 60);
    EXPECT_EQ(again->GetReferencedByHeader()->GetColumnWidth(0), 120);
    again->Close();
}

TEST_F(Browsers, ChoosingAFolderOrAnotherListEmptiesBothTables)
{
    CAssetDependencyBrowserWindow* browser = OpenAssetDependencyBrowser(m_Screen, &Gizmos(), Gizmo("Clock"));
    EXPECT_EQ(browser->GetReferencesTable()->GetRowCount(), 3);
    // The folder "Toys" is no entry.
    CJListBox& entries = *browser->GetEntryList();
    int32_t folder = -1;
    for (int32_t row = 0; row < entries.GetRowCount(); ++row)
        if (entries.GetRowText(row).Compare("Toys") == 0)
            folder = entries.GetRow(row).item;
    ASSERT_GE(folder, 0);
    ClickItem(entries, folder);
    EXPECT_EQ(browser->GetSelectedEntry(), -1);
    EXPECT_EQ(browser->GetReferencesTable()->GetRowCount(), 0);
    EXPECT_EQ(browser->GetReferencedByTable()->GetRowCount(), 0);

    browser->SelectListItem(&Gizmos(), Gizmo("Clock"));
    EXPECT_EQ(browser->GetReferencesTable()->GetRowCount(), 3);
    browser->GetListCombo()->SelectItem(RegistryIndex(&Parts()), true);
    browser->OnNotify(browser->GetListCombo(), kNotifyClicked);
    EXPECT_EQ(browser->GetList(), &Parts());
    EXPECT_EQ(browser->GetReferencesTable()->GetRowCount(), 0);
}

// The search lets the window system run between lists: what arrives then is
// recorded, never handed to the windows, so a close clicked mid-search
// cannot pull the browser away under it.
TEST_F(Browsers, EventsPumpedDuringTheSearchNeverReachTheWindows)
{
    plat::CPlatformHeadless platform;
    plat::CPlatform* previous = plat::ReplacePlatform(&platform);
    CAssetDependencyBrowserWindow* browser = OpenAssetDependencyBrowser(m_Screen, &Parts(), 1);
    const CPoint close = Centre(*browser->GetCloseButton());
    plat::WindowEvent press;
    press.kind = plat::WindowEvent::Kind::MouseButton;
    press.button = 1;
    press.down = true;
    press.x = close.x;
    press.y = close.y;
    platform.GetHeadlessWindow().PushEvent(press);
    plat::WindowEvent quit;
    quit.kind = plat::WindowEvent::Kind::Close;
    platform.GetHeadlessWindow().PushEvent(quit);

    browser->SelectListItem(&Parts(), Part("Gears/Cog"));
    const bool pumped = IsShutdownRequested();
    const uint32_t buttons = CMouseState::SGetInstance().GetButtons();
    ClearShutdownRequest();
    plat::ReplacePlatform(previous);
    EXPECT_TRUE(pumped);
    EXPECT_EQ(buttons & 1u, 1u);
    EXPECT_TRUE(InTree(browser));
    EXPECT_EQ(browser->GetReferencedByTable()->GetRowCount(), 2);
}

// The object editor's Edit menu opens a browser on the edited entry.
TEST_F(Browsers, AnObjectEditorOnAnEntryOpensTheBrowserOnIt)
{
    CDepGizmo* clock = Gizmos().GetObject(Gizmo("Clock"));
    OpenObjectEditor(clock, clock);
    CObjectEditor* editor = GetCurrentObjectEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->CanBrowseAssetDependencies());
    editor->BrowseAssetDependencies();
    auto* browser = dynamic_cast<CAssetDependencyBrowserWindow*>(editor->GetParent()->GetFirstChild());
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->GetList(), &Gizmos());
    EXPECT_EQ(browser->GetSelectedEntry(), Gizmo("Clock"));
    EXPECT_EQ(browser->GetReferencesTable()->GetRowCount(), 3);
    OpenObjectEditor(nullptr, nullptr);
}

TEST_F(Browsers, TheListBrowserOffersOnlyWhatTheChosenListCanDo)
{
    CListBrowserWindow* browser = OpenListBrowser(m_Screen);
    browser->ShowList(RegistryIndex(&Colours()));
    EXPECT_FALSE(browser->GetEditButton()->IsEnabled());
    EXPECT_FALSE(browser->GetNewButton()->IsEnabled());
    EXPECT_FALSE(browser->GetDuplicateButton()->IsEnabled());

    browser->GetListCombo()->SelectItem(RegistryIndex(&Parts()), true);
    browser->OnNotify(browser->GetListCombo(), kNotifyClicked);
    EXPECT_EQ(browser->GetList(), &Parts());
    // The wheel over the chooser steps it, and the entries follow its text.
    m_Screen->OnMouseWheel(-1, Centre(*browser->GetListCombo()));
    const int32_t shown = browser->GetListCombo()->GetSelectedItem();
    EXPECT_NE(shown, RegistryIndex(&Parts()));
    EXPECT_EQ(browser->GetList(), CFileListList::SGetInstance().GetArray(shown));
    m_Screen->OnMouseWheel(1, Centre(*browser->GetListCombo()));
    EXPECT_EQ(browser->GetListCombo()->GetSelectedItem(), RegistryIndex(&Parts()));
    EXPECT_EQ(browser->GetList(), &Parts());
    EXPECT_TRUE(browser->GetEditButton()->IsEnabled());
    EXPECT_TRUE(browser->GetNewButton()->IsEnabled());
    EXPECT_TRUE(browser->GetDuplicateButton()->IsEnabled());
    browser->SelectEntry(Part("Spring"));
    Click(*browser->GetEditButton());
    EXPECT_EQ(GetCurrentObjectEditorObject(), Parts().GetObject(Part("Spring")));
    OpenObjectEditor(nullptr, nullptr);
    browser->Close();
    // Reopened on the list chosen last.
    EXPECT_EQ(OpenListBrowser(m_Screen)->GetList(), &Parts());
}

TEST_F(Browsers, DuplicateCopiesTheSelectedEntryIntoItsFolderAndSelectsTheCopy)
{
    CListBrowserWindow* browser = OpenListBrowser(m_Screen);
    browser->ShowList(RegistryIndex(&Parts()));
    browser->SelectEntry(Part("Gears/Cog"));
    Click(*browser->GetDuplicateButton());
    auto* dialog = dynamic_cast<CNewFileDialog*>(m_Screen->GetFirstChild());
    ASSERT_NE(dialog, nullptr);
    EXPECT_STREQ(dialog->GetTitle().GetString(), "Create new Parts");
    EXPECT_STREQ(dialog->GetLocationEdit()->GetTitle().GetString(), "Gears");
    dialog->GetNameEdit()->SetTitle(CJString("Sprocket"));
    Click(*dialog->GetSaveButton());
    Step(CPoint{0, 0}, false);

    EXPECT_TRUE(DiskHas("Parts/Gears/Sprocket.Part.txt"));
    const int32_t copy = Part("Gears/Sprocket");
    ASSERT_GE(copy, 0);
    EXPECT_EQ(browser->GetSelectedEntry(), copy);
    EXPECT_EQ(Parts().GetObject(copy)->m_Teeth, 12);

    // "New" after a copy starts afresh: the list's folder, a default object.
    Click(*browser->GetNewButton());
    dialog = dynamic_cast<CNewFileDialog*>(m_Screen->GetFirstChild());
    ASSERT_NE(dialog, nullptr);
    EXPECT_STREQ(dialog->GetLocationEdit()->GetTitle().GetString(), "");
    dialog->GetNameEdit()->SetTitle(CJString("Lever"));
    Click(*dialog->GetSaveButton());
    Step(CPoint{0, 0}, false);
    const int32_t lever = Part("Lever");
    ASSERT_GE(lever, 0);
    EXPECT_EQ(browser->GetSelectedEntry(), lever);
    EXPECT_EQ(Parts().GetObject(lever)->m_Teeth, 0);

    // A file gone from disk behind the list's back: the dialog takes the
    // name, the list refuses it, and the designer is told.
    std::remove("Parts/Spring.Part.txt");
    Click(*browser->GetNewButton());
    dialog = dynamic_cast<CNewFileDialog*>(m_Screen->GetFirstChild());
    ASSERT_NE(dialog, nullptr);
    dialog->GetNameEdit()->SetTitle(CJString("Spring"));
    Click(*dialog->GetSaveButton());
    Step(CPoint{0, 0}, false);
    auto* box = dynamic_cast<CJMessageBox*>(m_Screen->GetFirstChild());
    ASSERT_NE(box, nullptr);
    EXPECT_STREQ(box->GetTitle().GetString(), "Error");
    EXPECT_FALSE(DiskHas("Parts/Spring.Part.txt"));
}

} // namespace
