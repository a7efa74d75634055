// The object editor on the sample classes: which rows and tabs it shows,
// which rows may be edited, the back history with its restored tab and
// scroll, the title, what closing does (the object told, the owner saved, a
// failed save reported with the edits kept) and its input.
#include "EditorTestSupport.h"

#include "editor/CAssetDependencyBrowser.h"
#include "editor/CLevelEditorWindow.h"
#include "foundation/CCommand.h"
#include "foundation/FilePaths.h"
#include "foundation/SettingsFiles.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPlayfield.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CommentProperty.h"
#include "objects/CFileListList.h"
#include "objects/CObjectFileArray.h"
#include "objects/CSlotProperty.h"
#include "objects/ObjectFileCallbacks.h"
#include "platform/FileSystem.h"
#include "ui/CJMenu.h"
#include "ui/CJMessageBox.h"
#include "support/RebuiltWindow.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>

// Dynamic properties of three kinds attached to its class.
class CEditorDynamicSample : public CObject {
    OMBRISALT_REFLECTED(CEditorDynamicSample, CObject)
public:
    CEditorDynamicSample() { InitDeclaredProperties(); }
    ~CEditorDynamicSample() override { DestroyDeclaredProperties(); }
    int32_t m_Base = 0;
};
OMBRISALT_IMPLEMENT_CLASS(CEditorDynamicSample, 1.0)
const CTestOnlyClass kEditorDynamicSampleIsTestOnly("CEditorDynamicSample");
void CEditorDynamicSample::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CEditorDynamicSample::m_Base, "Base", 0);
}

// A row shown with its name beside it instead of a label row.
class CEditorNoteSample : public CObject {
    OMBRISALT_REFLECTED(CEditorNoteSample, CObject)
public:
    CEditorNoteSample() { InitDeclaredProperties(); }
    ~CEditorNoteSample() override { DestroyDeclaredProperties(); }
    int32_t m_Count = 0;
    int32_t m_Notes = 0;
};
OMBRISALT_IMPLEMENT_CLASS(CEditorNoteSample, 1.0)
const CTestOnlyClass kEditorNoteSampleIsTestOnly("CEditorNoteSample");
void CEditorNoteSample::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add<CSampleTagProperty>(&CEditorNoteSample::m_Count, "Count", 0);
    d.Add<CSampleTagProperty>(&CEditorNoteSample::m_Notes, "Notes", 0).NoEditorRow();
}

// Nothing shown.
class CEditorBlankSample : public CObject {
    OMBRISALT_REFLECTED(CEditorBlankSample, CObject)
public:
    CEditorBlankSample() { InitDeclaredProperties(); }
    ~CEditorBlankSample() override { DestroyDeclaredProperties(); }
    int32_t m_Secret = 0;
};
OMBRISALT_IMPLEMENT_CLASS(CEditorBlankSample, 1.0)
const CTestOnlyClass kEditorBlankSampleIsTestOnly("CEditorBlankSample");
void CEditorBlankSample::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add<CSampleTagProperty>(&CEditorBlankSample::m_Secret, "Secret", 0).Level(kLevelHidden);
}

namespace {

void AttachDynamicProperties()
{
    static const bool attached = [] {
        CClassInfo* info = CEditorDynamicSample::SGetClassInfo();
        (new CSlotProperty<CIntProperty>("Extra Optional", 3))->AddAsDynamicProperty(info, DynamicKind::Optional);
        (new CSlotProperty<CIntProperty>("Extra Request", 4))->AddAsDynamicProperty(info, DynamicKind::OnRequest);
        (new CSlotProperty<CIntProperty>("Extra Always", 5))->AddAsDynamicProperty(info, DynamicKind::AlwaysPresent);
        return true;
    }();
    (void)attached;
}

// A registered list that holds one object at index 4.
class CHoldingList : public CObjectFileArray {
public:
    CObject* held = nullptr;
    CClassInfo* GetItemClassInfo() override { return CEditorSample::SGetClassInfo(); }
    int32_t FindObjectIndex(const CObject* object) override { return object && object == held ? 4 : -1; }
    bool GetObjectFileName(const CObject*, CJString&) override { return false; }
    const char* GetListFileNameText() override { return "Sample"; }
};

// The asset dependency browsers standing among the screen's windows.
uint32_t BrowsersShown(const CJWindow& screen)
{
    uint32_t count = 0;
    for (CJWindow* child = screen.GetFirstChild(); child; child = child->GetNextSibling())
        count += dynamic_cast<CAssetDependencyBrowserWindow*>(child) != nullptr;
    return count;
}

CJMenuItem* ItemTitled(const CJMenu& menu, const char* title)
{
    for (CJWindow* child = menu.GetFirstChild(); child; child = child->GetNextSibling())
        if (std::string(child->GetTitle().GetString()) == title)
            return dynamic_cast<CJMenuItem*>(child);
    return nullptr;
}

CJMenu* EditMenu(const CObjectEditor& editor)
{
    CJMenuItem* edit = ItemTitled(*editor.GetMenuBar(), "Edit");
    return edit ? edit->GetSubMenu() : nullptr;
}

// File names the tests give their objects.
std::map<const CObject*, std::string>& FileNames()
{
    static std::map<const CObject*, std::string> names;
    return names;
}

bool NameFromTest(const CObject* object, CJString* name)
{
    auto found = FileNames().find(object);
    if (found == FileNames().end())
        return false;
    if (name)
        name->Set(found->second.c_str());
    return true;
}

class ObjectEditor : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        static bool registered = false;
        if (!registered)
            RegisterObjectFileNameCallback(&NameFromTest);
        registered = true;
    }
    void TearDown() override
    {
        EditorTest::TearDown();
        FileNames().clear();
    }
    // The message box in front of the screen: its title and text, or "".
    std::string MessageBoxShown() const
    {
        for (CJWindow* child = m_Screen->GetFirstChild(); child; child = child->GetNextSibling()) {
            if (!dynamic_cast<CJMessageBox*>(child))
                continue;
            std::string out = child->GetTitle().GetString();
            for (CJWindow* part = child->GetFirstChild(); part; part = part->GetNextSibling())
                if (dynamic_cast<CJStatic*>(part))
                    out += std::string(" / ") + part->GetTitle().GetString();
            return out;
        }
        return "";
    }
    static CJWindow* PaneOf(CJWindow* label) { return label ? label->GetParent() : nullptr; }
};

TEST_F(ObjectEditor, RowsGoToTheirCategoryTabsInFirstAskedOrderWithGeneralForNoneAndLetterCaseIgnored)
{
    CObjectEditor* editor = Open(&m_Sample);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(TabTitles(*editor), (std::vector<std::string>{"General", "Look", "Motion"}));
    ASSERT_NE(Label(&m_Sample, "Shown"), nullptr);
    EXPECT_EQ(PaneOf(Label(&m_Sample, "Shown")), PaneOf(Label(&m_Sample, "Caption")));
    EXPECT_EQ(PaneOf(Label(&m_Sample, "Count")), editor->GetTabControl()->GetPage(0));
    EXPECT_EQ(editor->GetCategory(nullptr), editor->GetCategory(""));
    EXPECT_EQ(editor->GetCategory("MOTION")->pane, editor->GetTabControl()->GetPage(2));

    // Labels carry the name and a colon, the description as the tip, and
    // the rows of a tab share the widest label's width.
    CJStatic* count = Label(&m_Sample, "Count");
    CJStatic* advanced = Label(&m_Sample, "Advanced");
    ASSERT_NE(count, nullptr);
    ASSERT_NE(advanced, nullptr);
    EXPECT_STREQ(count->GetTitle().GetString(), "Count:");
    EXPECT_STREQ(count->GetToolTipText().GetString(), "How many");
    EXPECT_EQ(count->GetWidth(), advanced->GetWidth());
    EXPECT_LT(count->GetRect().bottom, advanced->GetRect().top + 1) << "rows stack downwards";
}

TEST_F(ObjectEditor, LevelsOneToThreeShowFourOnlyUnderTheOptionZeroAndFiveNeverAndLevelThreeIsNeverEnabled)
{
    Open(&m_Sample);
    for (const char* shown : {"Count", "Advanced", "Fixed"})
        EXPECT_NE(Label(&m_Sample, shown), nullptr) << shown;
    for (const char* hidden : {"Hidden", "Ours", "Debugging"})
        EXPECT_EQ(Label(&m_Sample, hidden), nullptr) << hidden;
    EXPECT_TRUE(Label(&m_Sample, "Count")->IsEnabled());
    EXPECT_TRUE(Label(&m_Sample, "Advanced")->IsEnabled());
    EXPECT_FALSE(Label(&m_Sample, "Fixed")->IsEnabled());
    if (CSampleRow* fixed = Row(&m_Sample, "Fixed")) {
        EXPECT_FALSE(fixed->createdEnabled);
        EXPECT_FALSE(fixed->GetButton()->IsEnabled());
    }

    COptionHost host;
    host.options = {kOmbrisaltOnlyOption};
    CObjectModelHost* previous = CObjectModelHost::SetInstance(&host);
    Open(&m_Sample);
    EXPECT_NE(Label(&m_Sample, "Ours"), nullptr);
    EXPECT_EQ(Label(&m_Sample, "Hidden"), nullptr);
    EXPECT_EQ(Label(&m_Sample, "Debugging"), nullptr);
    CObjectModelHost::SetInstance(previous);
}

TEST_F(ObjectEditor, AReadOnlyFileDisablesEveryRowUnlessShiftIsHeldAndThenTheFailedSaveIsReportedWithTheEditsKept)
{
    {
        std::ofstream("Sample.txt") << "CEditorSample\n{\n}\n";
    }
    ASSERT_TRUE(plat::SetReadOnly("Sample.txt", true));
    FileNames()[&m_Sample] = "Sample.txt";

    CObjectEditor* editor = Open(&m_Sample);
    EXPECT_FALSE(editor->CanEdit());
    EXPECT_FALSE(Label(&m_Sample, "Count")->IsEnabled());
    OpenObjectEditor(nullptr, nullptr);
    EXPECT_EQ(MessageBoxShown(), "") << "nothing could be edited, nothing to report";

    CKeyboardState::SGetInstance().OnKeyDown(kScanShiftRight);
    editor = Open(&m_Sample);
    CKeyboardState::SGetInstance().OnKeyUp(kScanShiftRight);
    EXPECT_TRUE(editor->CanEdit());
    EXPECT_TRUE(Label(&m_Sample, "Count")->IsEnabled());
    EXPECT_FALSE(Label(&m_Sample, "Fixed")->IsEnabled());

    m_Sample.m_Count = 7; // an edit through the row
    OpenObjectEditor(nullptr, nullptr);
    EXPECT_EQ(GetCurrentObjectEditor(), nullptr);
    EXPECT_EQ(MessageBoxShown(), "Error / Could not save Sample.txt: it is read-only. Make it writable and your edits "
                                 "are\nsaved when an object editor on it next closes after an edit; until then they "
                                 "are\nkept here only, and the program's end loses them.");
    EXPECT_EQ(m_Sample.m_Count, 7);
    auto written = [] {
        std::ifstream file("Sample.txt");
        return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ(written(), "CEditorSample\n{\n}\n");
    plat::SetReadOnly("Sample.txt", false);
    Open(&m_Sample);
    m_Sample.m_Count = 8;
    OpenObjectEditor(nullptr, nullptr);
    EXPECT_NE(written().find("Count=8"), std::string::npos) << "the edit saved once writable: " << written();
}

TEST_F(ObjectEditor, ClosingTellsTheObjectAndSavesTheOwnerButARebuildOnlySaves)
{
    FileNames()[&m_Sample] = "Saved.txt";
    Open(&m_Sample);
    m_Sample.m_Count = 12;
    GetCurrentObjectEditor()->Rebuild();
    EXPECT_EQ(m_Sample.closedCount, 0);
    ASSERT_NE(GetCurrentObjectEditor(), nullptr);
    EXPECT_EQ(GetCurrentObjectEditorObject(), &m_Sample);
    EXPECT_EQ(GetObjectEditorHistoryCount(), 1u) << "the same object is not pushed again";
    EXPECT_TRUE(FileExists("Saved.txt", 0));

    OpenObjectEditor(nullptr, nullptr);
    EXPECT_EQ(m_Sample.closedCount, 1);
    CEditorSample reread;
    ASSERT_TRUE(reread.ReadFromFile("Saved.txt", 0));
    EXPECT_EQ(reread.m_Count, 12);
    EXPECT_EQ(MessageBoxShown(), "");
}

TEST_F(ObjectEditor, TheTitleNamesTheClassAndTheFileOrTheFolderOfAPropertiesFile)
{
    FileNames()[&m_Sample] = "Sequences\\-Walk/Properties.txt";
    EXPECT_STREQ(Open(&m_Sample)->GetTitle().GetString(), "CEditorSample : Walk");
    FileNames()[&m_Sample] = "Resources/Upgrade.txt";
    EXPECT_STREQ(Open(&m_Sample)->GetTitle().GetString(), "CEditorSample : Upgrade");
    FileNames()[&m_Sample] = "abc";
    EXPECT_STREQ(Open(&m_Sample)->GetTitle().GetString(), "CEditorSample : abc");
    FileNames().clear();
    EXPECT_STREQ(Open(&m_Sample)->GetTitle().GetString(), "CEditorSample");
}

TEST_F(ObjectEditor, BackReopensThePreviousObjectOnTheTabAndScrollItWasLeftAt)
{
    CObjectEditor* editor = Open(&m_Tall);
    ASSERT_EQ(TabTitles(*editor), (std::vector<std::string>{"General", "Rows"}));
    EXPECT_EQ(editor->GetBackButton(), nullptr);
    CJWindow* rows = editor->GetTabControl()->GetPage(1);
    EXPECT_EQ(rows->GetHeight(), 600 - 140) << "a page taller than the screen less 140 is cut";
    ASSERT_NE(rows->GetScroll(), nullptr);
    EXPECT_GT(rows->GetScroll()->contentHeight, 3 * kTallRowHeight);
    EXPECT_EQ(editor->GetTabControl()->GetPage(0)->GetScroll(), nullptr);
    editor->GetTabControl()->SelectTab(1);
    rows->SetScrollY(120);

    editor = Open(&m_Sample);
    EXPECT_EQ(editor->GetTabControl()->GetSelectedIndex(), 0u) << "another object starts at the first tab";
    ASSERT_NE(editor->GetBackButton(), nullptr);
    EXPECT_STREQ(editor->GetBackButton()->GetTitle().GetString(), CJString(u"\u25C4 Back").GetString());
    editor->GetTabControl()->SelectTab(2);
    Frame();
    Click(*editor->GetBackButton());
    Frame();

    editor = GetCurrentObjectEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->GetEditedObject(), &m_Tall);
    EXPECT_EQ(editor->GetTabControl()->GetSelectedIndex(), 1u);
    EXPECT_EQ(editor->GetTabControl()->GetSelectedPage()->GetScrollOffsetY(), 120);
    EXPECT_EQ(editor->GetBackButton(), nullptr);
    EXPECT_EQ(GetObjectEditorHistoryCount(), 1u);

    // Forward again: the sample's tab was saved when Back closed it.
    editor = Open(&m_Sample);
    EXPECT_EQ(editor->GetTabControl()->GetSelectedIndex(), 0u) << "a new entry starts at the top";
}

TEST_F(ObjectEditor, MouseButtonThreeGoesBackAndEscapeCloses)
{
    Open(&m_Sample);
    CObjectEditor* editor = Open(&m_Other);
    Frame();
    EXPECT_TRUE(editor->OnMouseDown(3, Centre(*editor)));
    Frame();
    ASSERT_NE(GetCurrentObjectEditor(), nullptr);
    EXPECT_EQ(GetCurrentObjectEditorObject(), &m_Sample);

    EXPECT_EQ(m_Sample.closedCount, 1);
    EXPECT_EQ(m_Other.closedCount, 1);
    TypeKey(kKeyEscape);
    EXPECT_EQ(GetCurrentObjectEditor(), nullptr);
    EXPECT_EQ(m_Sample.closedCount, 2);
}

TEST_F(ObjectEditor, TheHundredAndFirstPushDropsTheOldestSoBackNeverReachesIt)
{
    std::vector<std::unique_ptr<CEditorSample>> objects;
    for (int i = 0; i < 101; ++i) {
        objects.push_back(std::make_unique<CEditorSample>());
        Open(objects.back().get());
    }
    EXPECT_EQ(GetObjectEditorHistoryCount(), 100u);
    GetCurrentObjectEditor()->GoBack();
    EXPECT_EQ(GetCurrentObjectEditorObject(), objects[99].get());
    // The first object is no longer held: forgetting it changes nothing,
    // while the second is the oldest entry Back can still reach.
    ForgetEditedObject(objects[0].get());
    EXPECT_EQ(GetObjectEditorHistoryCount(), 99u);
    ForgetEditedObject(objects[1].get());
    EXPECT_EQ(GetObjectEditorHistoryCount(), 0u);
    OpenObjectEditor(nullptr, nullptr);
}

TEST_F(ObjectEditor, DestroyingAnObjectTheHistoryHoldsEmptiesItSoTheNextEditorHasNoBack)
{
    auto doomed = std::make_unique<CEditorSample>();
    Open(doomed.get());
    EXPECT_NE(Open(&m_Sample)->GetBackButton(), nullptr);
    doomed.reset();
    EXPECT_EQ(GetObjectEditorHistoryCount(), 0u);
    CObjectEditor* editor = Open(&m_Other);
    EXPECT_EQ(editor->GetBackButton(), nullptr);
    EXPECT_EQ(GetObjectEditorHistoryCount(), 1u);
}

TEST_F(ObjectEditor, ASessionOfItsOwnStartsWithoutEditorOrHistoryAndLeavesTheOtherAsItWas)
{
    Open(&m_Sample);
    Open(&m_Other);
    ASSERT_EQ(GetObjectEditorHistoryCount(), 2u);
    {
        CObjectEditorSession inner;
        CScopedHook<&CObjectEditorSession::SSetCurrent> slot(&inner);
        EXPECT_EQ(GetCurrentObjectEditor(), nullptr);
        EXPECT_EQ(GetObjectEditorHistoryCount(), 0u);
        CObjectEditor* editor = Open(&m_Tags);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->GetBackButton(), nullptr) << "nothing to go back to in this session";
        OpenObjectEditor(nullptr, nullptr);
        EXPECT_EQ(m_Other.closedCount, 0) << "the other session's editor stays open";
    }
    EXPECT_EQ(GetCurrentObjectEditorObject(), &m_Other);
    EXPECT_EQ(GetObjectEditorHistoryCount(), 2u);
    GetCurrentObjectEditor()->GoBack();
    EXPECT_EQ(GetCurrentObjectEditorObject(), &m_Sample);
}

TEST_F(ObjectEditor, AClickInARowsBandFocusesItsControlAndAFocusChangeIsAnnouncedToEveryRow)
{
    CObjectEditor* editor = Open(&m_Tags);
    Frame();
    CSampleRow* amount = Row(&m_Tags, "Amount");
    CSampleRow* count = Row(&m_Tags, "Count");
    ASSERT_NE(amount, nullptr);
    ASSERT_NE(count, nullptr);
    Click(Centre(*amount->GetRowWindow()));
    Frame();
    EXPECT_EQ(editor->GetFocusedPropertyEditor(), amount);
    EXPECT_TRUE(amount->GetButton()->HasFocus());
    const int noticesBefore = count->focusNotices;
    EXPECT_GE(noticesBefore, 1);

    CSampleRow* caption = Row(&m_Tags, "Caption");
    editor->FocusPropertyEditor(caption);
    EXPECT_EQ(editor->GetTabControl()->GetSelectedIndex(), 1u);
    Frame();
    EXPECT_EQ(editor->GetFocusedPropertyEditor(), caption);
    EXPECT_EQ(count->focusNotices, noticesBefore + 1) << "every row hears of the change once";
}

TEST_F(ObjectEditor, InsertPropertyListsTheOptionalAndOnRequestValuesNotYetHeldAndInsertingShowsTheNewRow)
{
    AttachDynamicProperties();
    CEditorDynamicSample sample;
    CObjectEditor* editor = Open(&sample);
    CJMenu* edit = EditMenu(*editor);
    ASSERT_NE(edit, nullptr);
    CJMenuItem* insert = ItemTitled(*edit, "Insert Property");
    ASSERT_NE(insert, nullptr);
    CJMenu* properties = insert->GetSubMenu();
    ASSERT_NE(properties, nullptr);
    properties->UpdateEnabledState();
    CJMenuItem* optional = ItemTitled(*properties, "Extra Optional");
    CJMenuItem* request = ItemTitled(*properties, "Extra Request");
    ASSERT_NE(optional, nullptr);
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(ItemTitled(*properties, "Extra Always"), nullptr);
    EXPECT_TRUE(optional->IsEnabled());
    EXPECT_FALSE(request->IsEnabled());

    optional->GetCommand()->Execute();
    const CProperty* added = CEditorDynamicSample::SGetClassInfo()->GetDynamicPropertyList().FindByName("Extra Optional");
    EXPECT_TRUE(sample.HasDynamicValue(added));
    editor = GetCurrentObjectEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->GetEditedObject(), &sample);
    EXPECT_EQ(ItemTitled(*ItemTitled(*EditMenu(*editor), "Insert Property")->GetSubMenu(), "Extra Optional"), nullptr)
        << "a held value is not offered again";
    Frame();
    // Nor one the class declares itself.
    GetCommentProperty();
    CLevelOptions level;
    editor = Open(&level);
    EXPECT_EQ(ItemTitled(*ItemTitled(*EditMenu(*editor), "Insert Property")->GetSubMenu(), "Comment"), nullptr);
    OpenObjectEditor(nullptr, nullptr);

    // A note inserted has a row to type into and is offered for removal;
    // left empty, it is not saved and is offered again.
    FileNames()[&m_Sample] = "Noted.txt";
    const CProperty* note = &GetCommentProperty();
    auto comment = [&](const char* menu) -> CJMenuItem* {
        CJMenuItem* item = ItemTitled(*EditMenu(*GetCurrentObjectEditor()), menu);
        return item && item->GetSubMenu() ? ItemTitled(*item->GetSubMenu(), "Comment") : nullptr;
    };
    for (const char* typed : {"", "Kept"}) {
        Open(&m_Sample);
        ASSERT_NE(comment("Insert Property"), nullptr) << typed;
        comment("Insert Property")->GetCommand()->Execute();
        Frame();
        void* value = m_Sample.GetDynamicValue(note);
        ASSERT_NE(value, nullptr);
        EXPECT_NE(FindPropertyEditor(SlotOwner(value), note, 0), nullptr) << "a row to type into";
        EXPECT_NE(comment("Remove Property"), nullptr);
        *static_cast<CJString*>(value) = CJString(typed);
        OpenObjectEditor(nullptr, nullptr);
        const std::string saved = ReadBytes("Noted.txt");
        EXPECT_EQ(saved.find("Comment"), *typed ? saved.find("Comment=Kept") : std::string::npos) << saved;
    }
    Open(&m_Sample);
    ASSERT_NE(comment("Remove Property"), nullptr);
    comment("Remove Property")->GetCommand()->Execute();
    Frame();
    EXPECT_NE(comment("Insert Property"), nullptr);
    OpenObjectEditor(nullptr, nullptr);
    EXPECT_EQ(ReadBytes("Noted.txt").find("Comment"), std::string::npos);
}

TEST_F(ObjectEditor, AssetDependenciesAreOfferedOnlyForAnObjectOfARegisteredList)
{
    for (const char* name : {"A", "B", "C", "D", "E"})
        WriteBytes(std::string("Samples/") + name + ".Sample", ObjectText("CEditorSample", ""));
    CObjectEditor* editor = Open(&m_Sample);
    CJMenuItem* browse = ItemTitled(*EditMenu(*editor), "Brows Asset Dependencies");
    ASSERT_NE(browse, nullptr);
    EditMenu(*editor)->UpdateEnabledState();
    EXPECT_FALSE(browse->IsEnabled());
    editor->BrowseAssetDependencies();
    EXPECT_EQ(BrowsersShown(*m_Screen), 0u);

    {
        CHoldingList list;
        list.held = &m_Sample;
        list.SetSource(nullptr, "Samples", 0);
        ASSERT_EQ(list.GetCount(), 5);
        CFileListList::SGetInstance().AddList("Editor Samples", "", &list, 0, 0);
        EditMenu(*editor)->UpdateEnabledState();
        EXPECT_TRUE(browse->IsEnabled());
        browse->GetCommand()->Execute();
        EXPECT_EQ(BrowsersShown(*m_Screen), 1u);
        auto* browser = dynamic_cast<CAssetDependencyBrowserWindow*>(m_Screen->GetFirstChild());
        ASSERT_NE(browser, nullptr) << "in front of the editor's parent";
        // On the entry that holds the editor's object.
        EXPECT_EQ(browser->GetList(), &list);
        EXPECT_EQ(browser->GetSelectedEntry(), 4);
        EXPECT_EQ(list.FindObjectIndex(editor->GetEditedObject()), 4);
        // The browser shows the list: it goes before the list does.
        browser->Destroy();
        OpenObjectEditor(nullptr, nullptr);
    }
}

TEST_F(ObjectEditor, NotificationsReachCustomEditorsBeforeRowsAndClipboardGoesToTheFocusedRow)
{
    m_Tags.customEditor = []() -> CCustomEditor* { return new CRecordingCustomEditor; };
    CObjectEditor* editor = Open(&m_Tags);
    CRecordingCustomEditor* custom = CRecordingCustomEditor::s_Last;
    ASSERT_NE(custom, nullptr);
    EXPECT_EQ(TabTitles(*editor), (std::vector<std::string>{"General", "Look", "Preview"}));
    EXPECT_EQ(custom->builtAfter, nullptr) << "a new category has no rows";
    EXPECT_EQ(custom->builtFor, &m_Tags);

    editor->OnNotify(custom->button, kNotifyClicked);
    EXPECT_EQ(custom->notices, (std::vector<int32_t>{kNotifyClicked}));
    CSampleRow* count = Row(&m_Tags, "Count");
    ASSERT_NE(count, nullptr);
    editor->OnNotify(count->GetButton(), kNotifyClicked);
    EXPECT_EQ(count->clicks, (std::vector<int32_t>{kNotifyClicked}));
    EXPECT_EQ(custom->notices.size(), 2u) << "the custom editor is asked first";

    editor->Update(0.25f);
    EXPECT_FLOAT_EQ(custom->updated, 0.25f);

    CSampleRow* caption = Row(&m_Tags, "Caption");
    editor->FocusPropertyEditor(caption);
    EXPECT_TRUE(editor->ClipboardCopy(1));
    EXPECT_TRUE(editor->ClipboardPaste(0));
    EXPECT_EQ(caption->clipboard, (std::vector<std::string>{"copy", "paste?"}));
    EXPECT_TRUE(count->clipboard.empty());
    OpenObjectEditor(nullptr, nullptr);
    m_Tags.customEditor = nullptr;
}

TEST_F(ObjectEditor, AnEditorWhoseObjectIsDestroyedClosesWithoutTouchingIt)
{
    auto doomed = std::make_unique<CEditorSample>();
    Open(doomed.get());
    doomed.reset();
    EXPECT_EQ(GetCurrentObjectEditor(), nullptr);
    Frame();
    EXPECT_FALSE(InTree(GetCurrentObjectEditor()));
    EXPECT_NE(Open(&m_Sample), nullptr);
}

TEST_F(ObjectEditor, ARowWithoutALabelRowGetsItsNameBesideTheRowBefore)
{
    CEditorNoteSample sample;
    Open(&sample);
    CPropertyEditor* notes = FindPropertyEditor(&sample, sample.GetClassInfo()->FindProperty("Notes"), 0);
    CJWindow* count = Label(&sample, "Count");
    ASSERT_NE(notes, nullptr);
    ASSERT_NE(count, nullptr);
    ASSERT_NE(notes->GetRowWindow(), nullptr);
    EXPECT_STREQ(notes->GetRowWindow()->GetTitle().GetString(), "Notes");
    EXPECT_EQ(notes->GetRowWindow()->GetParent(), count->GetParent());
    EXPECT_GE(notes->GetRowWindow()->GetRect().left, count->GetRect().right);
    OpenObjectEditor(nullptr, nullptr);
}

TEST_F(ObjectEditor, TheFocusedRowsBandIsHighlightedAcrossThePane)
{
    CObjectEditor* editor = Open(&m_Tags);
    editor->MoveTo(0, 0);
    Frame();
    CJWindow* amount = Row(&m_Tags, "Amount")->GetRowWindow();
    CJWindow* count = Row(&m_Tags, "Count")->GetRowWindow();
    CJWindow* pane = amount->GetParent();
    const auto band = [&](CJWindow* label) {
        m_Screen->DrawToScreen();
        const CRect& r = label->GetScreenRect();
        return Rgb(*m_ScreenFrame, pane->GetScreenRect().left + 3, (r.top + r.bottom) / 2);
    };
    const uint32_t amountBefore = band(amount);
    const uint32_t countBefore = band(count);
    Click(Centre(*amount));
    Frame();
    ASSERT_TRUE(pane->HasFocus());
    EXPECT_NE(band(amount), amountBefore);
    EXPECT_EQ(band(count), countBefore) << "only the focused row's band";
    OpenObjectEditor(nullptr, nullptr);
}

TEST_F(ObjectEditor, InsideTheLevelEditorTheEditorIsItsFrontChild)
{
    // Opening the level editor points the undo history at the level.
    CScopedHook<SetCheckpointHistoryCallback> historySlot{nullptr};
    CScopedHook<SetCheckpointObjectCallback> objectSlot{nullptr};
    CLevelOptions level;
    GetLevelHolder().HoldCopyOf(&level);
    CLevelEditorWindow* host = OpenLevelEditor(CLevelEditorWindow::kModePlayedLevel);
    ASSERT_NE(host, nullptr);
    CObjectEditor* editor = Open(&m_Tags);
    EXPECT_EQ(editor->GetParent(), host);
    EXPECT_EQ(host->GetFirstChild(), editor);
    host->Destroy();
    ASSERT_EQ(GetLevelEditorWindow(), nullptr);
    EXPECT_EQ(Open(&m_Sample)->GetParent(), m_Screen);
    GetLevelHolder().Release();
}

// Its title bar is where the editor is dragged from: wherever its place was
// left, however large it grows, and under a host scrolled down its content,
// the editor opens with that bar on the screen.
TEST_F(ObjectEditor, OpensWithItsTitleBarOnTheScreen)
{
    struct SSettingsFile {
        SSettingsFile() { CJWindow::SetWindowSettingsFile("Windows.ini"); }
        ~SSettingsFile() { CJWindow::SetWindowSettingsFile(nullptr); }
    } settings;
    const CRect screen{0, 0, m_Screen->GetWidth(), m_Screen->GetHeight()};
    const auto titleBarOnScreen = [&screen](const CObjectEditor& editor) {
        const CRect& r = editor.GetScreenRect();
        const CRect bar{r.left, r.top, r.right, r.top + editor.GetClientTopInset()};
        return bar.GetHeight() > 0 && bar.left >= screen.left && bar.top >= screen.top && bar.right <= screen.right
            && bar.bottom <= screen.bottom;
    };
    const auto openAt = [this](CObject* object, int32_t x, int32_t y) {
        OpenObjectEditor(nullptr, nullptr);
        SetIniInt("Windows.ini", "Property Window", "Position X", x);
        SetIniInt("Windows.ini", "Property Window", "Position Y", y);
        return Open(object);
    };
    struct SPlace {
        int32_t x, y;
    };
    for (CObject* object : {static_cast<CObject*>(&m_Sample), static_cast<CObject*>(&m_Tall)})
        for (const SPlace& at : {SPlace{-300, -5}, SPlace{100, 595}, SPlace{790, 300}, SPlace{-40, -200}}) {
            const CObjectEditor* editor = openAt(object, at.x, at.y);
            ASSERT_NE(editor, nullptr);
            EXPECT_TRUE(titleBarOnScreen(*editor))
                << object->GetClassInfo()->GetName() << " left at " << at.x << "," << at.y;
        }
    ASSERT_GT(openAt(&m_Tall, 0, 0)->GetHeight(), 400) << "a large editor";
    // Left where its bar shows, it stays there.
    EXPECT_EQ(openAt(&m_Sample, 30, 40)->GetRect().left, 30);
    EXPECT_EQ(GetCurrentObjectEditor()->GetRect().top, 40);

    // The level editor as the host, scrolled down its content.
    CScopedHook<SetCheckpointHistoryCallback> historySlot{nullptr};
    CScopedHook<SetCheckpointObjectCallback> objectSlot{nullptr};
    CLevelOptions level;
    GetLevelHolder().HoldCopyOf(&level);
    CLevelEditorWindow* host = OpenLevelEditor(CLevelEditorWindow::kModePlayedLevel);
    ASSERT_NE(host, nullptr);
    host->SetScrollSize(host->GetWidth(), host->GetHeight() + 2000);
    host->SetScrollY(700);
    const CObjectEditor* hosted = openAt(&m_Sample, 20, 20);
    ASSERT_EQ(hosted->GetParent(), host);
    EXPECT_TRUE(titleBarOnScreen(*hosted)) << "over a scrolled host";
    host->Destroy();
    GetLevelHolder().Release();
}

TEST_F(ObjectEditor, AClickOnAScrolledPageFocusesTheRowUnderThePointer)
{
    CObjectEditor* editor = Open(&m_Tall);
    editor->MoveTo(0, 0);
    editor->GetTabControl()->SelectTab(1);
    CJWindow* rows = editor->GetTabControl()->GetPage(1);
    rows->SetScrollY(kTallRowHeight);
    ASSERT_GT(rows->GetScrollOffsetY(), 100);
    Frame();
    CSampleRow* tallB = Row(&m_Tall, "TallB");
    ASSERT_NE(tallB, nullptr);
    // Left of the labels, just below the top of the second row as shown.
    Click(CPoint{rows->GetScreenRect().left + 4, tallB->GetRowWindow()->GetScreenRect().top + 6});
    Frame();
    EXPECT_EQ(editor->GetFocusedPropertyEditor(), tallB);
}

TEST_F(ObjectEditor, ARowThatRebuildsFromItsOwnClickOutlivesItsCodeAndTheOldEditorGoesAfterTheInput)
{
    CObjectEditor* old = Open(&m_Tags);
    Frame();
    CSampleRow* count = Row(&m_Tags, "Count");
    ASSERT_NE(count, nullptr);
    count->rebuildOnClick = true;
    const int32_t oldCount = int32_t(old->GetPropertyEditors().GetCount());
    MarkAsOld(*old);
    Click(*count->GetButton()); // the row records the click after asking for the rebuild
    CObjectEditor* rebuilt = GetCurrentObjectEditor();
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_FALSE(IsMarkedAsOld(*rebuilt));
    EXPECT_EQ(rebuilt->GetEditedObject(), &m_Tags);
    EXPECT_EQ(int32_t(rebuilt->GetPropertyEditors().GetCount()), oldCount);
    EXPECT_FALSE(InTree(old)) << "freed by the frame's update, once the click was handled";
    EXPECT_TRUE(InTree(rebuilt));
    EXPECT_EQ(m_Tags.closedCount, 0) << "a rebuild does not tell the object it closed";
}

TEST_F(ObjectEditor, LevelOptionsShowTheirRowsUnderTheEditMenuAndTheTabs)
{
    CLevelOptions options;
    options.ResetToDefaults();
    CObjectEditor* editor = Open(&options);
    editor->MoveTo(10, 10);
    Frame();
    const CJWindow* bar = editor->GetMenuBar();
    ASSERT_NE(ItemTitled(*editor->GetMenuBar(), "Edit"), nullptr);
    EXPECT_GT(bar->GetHeight(), 0);
    EXPECT_GE(editor->GetTabControl()->GetRect().top, bar->GetRect().bottom);
    EXPECT_GT(editor->GetTabControl()->GetPageCount(), 1u);
    EXPECT_STREQ(editor->GetTabControl()->GetPage(0)->GetTitle().GetString(), "General");

    // The picture in the README: OMBRISALT_SCREENSHOTS names where it goes.
    if (const char* folder = std::getenv("OMBRISALT_SCREENSHOTS")) {
        m_Screen->DrawToScreen();
        std::string bytes = "P6\n800 600\n255\n";
        for (int32_t y = 0; y < 600; ++y)
            for (int32_t x = 0; x < 800; ++x) {
                const uint32_t p = Rgb(*m_ScreenFrame, x, y);
                bytes += {char(p >> 16), char(p >> 8), char(p)};
            }
        std::ofstream(std::string(folder) + "/object-editor.ppm", std::ios::binary) << bytes;
    }
    OpenObjectEditor(nullptr, nullptr);
}

TEST_F(ObjectEditor, AnObjectWithNothingShownHasNoPagesAndBackStillRestoresTheOthers)
{
    CObjectEditor* editor = Open(&m_Tags);
    editor->GetTabControl()->SelectTab(1);
    CEditorBlankSample blank;
    editor = Open(&blank);
    EXPECT_EQ(editor->GetTabControl()->GetPageCount(), 0u);
    EXPECT_EQ(editor->GetFocusedPropertyEditor(), nullptr);
    Frame();
    editor->GoBack();
    Frame();
    ASSERT_EQ(GetCurrentObjectEditorObject(), &m_Tags);
    EXPECT_EQ(GetCurrentObjectEditor()->GetTabControl()->GetSelectedIndex(), 1u);
    OpenObjectEditor(nullptr, nullptr);
}

TEST_F(ObjectEditor, AClickOnARowWithoutAFocusableControlNeverFocusesAnotherRow)
{
    CObjectEditor* editor = Open(&m_Tags);
    Frame();
    CSampleRow* count = Row(&m_Tags, "Count");
    CSampleRow* amount = Row(&m_Tags, "Amount");
    ASSERT_NE(count, nullptr);
    ASSERT_NE(amount, nullptr);
    Click(Centre(*count->GetRowWindow()));
    Frame();
    ASSERT_EQ(editor->GetFocusedPropertyEditor(), count);

    // The first focusable window after Amount's label, wrapping, is Count's.
    amount->GetButton()->SetTabStop(false);
    Click(Centre(*amount->GetRowWindow()));
    Frame();
    EXPECT_FALSE(count->GetButton()->HasFocus());
    EXPECT_EQ(editor->GetFocusedPropertyEditor(), amount);
}

} // namespace
