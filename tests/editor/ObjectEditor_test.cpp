// The object editor on the sample classes: which rows and tabs it shows,
// which rows may be edited, the back history with its restored tab and
// scroll, the title, what closing does (the object told, the owner saved, a
// failed save reported with the edits kept) and its input.
#include "EditorTestSupport.h"

#include "foundation/FilePaths.h"
#include "objects/ObjectFileCallbacks.h"
#include "platform/FileSystem.h"
#include "ui/CJMenu.h"
#include "ui/CJMessageBox.h"

#include <fstream>
#include <map>
#include <memory>

namespace {

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
    EXPECT_EQ(MessageBoxShown(), "Error / Could not save Sample.txt");
    EXPECT_EQ(m_Sample.m_Count, 7);
    std::ifstream file("Sample.txt");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "CEditorSample\n{\n}\n");
    plat::SetReadOnly("Sample.txt", false);
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
    for (int i = 0; i < 120; ++i)
        GetCurrentObjectEditor()->GoBack();
    Frame();
    EXPECT_EQ(GetCurrentObjectEditorObject(), objects[1].get());
    EXPECT_EQ(GetCurrentObjectEditor()->GetBackButton(), nullptr);
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

TEST_F(ObjectEditor, AClickInARowsBandFocusesItsControlAndAFocusChangeIsAnnouncedToEveryRow)
{
    CObjectEditor* editor = Open(&m_Sample);
    Frame();
    CJStatic* label = Label(&m_Sample, "Advanced");
    ASSERT_NE(label, nullptr);
    Click(Centre(*label));
    Frame();
    EXPECT_EQ(editor->GetFocusedPropertyEditor(), FindPropertyEditor(&m_Sample, m_Sample.GetClassInfo()->FindProperty("Advanced"), 0));
    if (CSampleRow* count = Row(&m_Sample, "Count")) {
        EXPECT_GE(count->focusNotices, 1);
    }

    editor->FocusPropertyEditor(FindPropertyEditor(&m_Sample, m_Sample.GetClassInfo()->FindProperty("Caption"), 0));
    EXPECT_EQ(editor->GetTabControl()->GetSelectedIndex(), 1u);
    Frame();
    EXPECT_EQ(editor->GetFocusedPropertyEditor(), FindPropertyEditor(&m_Sample, m_Sample.GetClassInfo()->FindProperty("Caption"), 0));
}

} // namespace
