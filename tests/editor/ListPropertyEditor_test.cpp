// The list property's row in a real object editor: a choice is one named
// checkpoint (the same choice none), the buttons the list, the flags and
// the named options allow, a read-only row, the thumbnail picker, "Edit",
// the new-file dialog and the direct "New", and pickers and dialogs that
// outlive the row.
#include "EditorTestSupport.h"

#include "editor/CImageBrowserFrameWindow.h"
#include "editor/CListPropertyEditor.h"
#include "editor/CNewFileDialog.h"
#include "foundation/CDirectoryTree.h"
#include "objects/CFileListList.h"
#include "objects/CListProperty.h"
#include "objects/CNewFileOptions.h"
#include "ui/CJComboBox.h"
#include "ui/CJEdit.h"
#include "ui/CJListBox.h"
#include "ui/CJMessageBox.h"
#include "support/RebuiltWindow.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// A list of sample objects in two folders that answers every hook the row
// asks, recording what it is told.
class CShelfList : public CSimpleVirtualArray {
public:
    CShelfList()
    {
        for (const char* name : {"!None", "Rocks/Big", "Rocks/Small", "Sun"})
            AddThing(name);
    }
    ~CShelfList() override { CFileListList::RemoveList(this); }

    int32_t AddThing(const std::string& name)
    {
        names.push_back(name);
        things.push_back(std::make_unique<CEditorSample>());
        tree.Rebuild(*this);
        return int32_t(names.size()) - 1;
    }

    const char* GetItemName(int32_t i) override { return names[size_t(i)].c_str(); }
    CJString GetItemNameString(int32_t i) override { return CJString(GetItemName(i)); }
    int32_t GetCount() override { return int32_t(names.size()); }
    void GetListName(CJString& out) override { out.Set("Shelf"); }

    bool AreItemsObjects() override { return true; }
    CObject* GetItemObject(int32_t i) override
    {
        return i >= 0 && i < GetCount() ? things[size_t(i)].get() : nullptr;
    }
    CObject* GetItemOwnerObject(int32_t i) override { return GetItemObject(i); }
    CVirtualTree* GetItemTree() override { return &tree; }
    bool HasExtraButton() override { return true; }
    CJString GetExtraButtonTitle() override { return CJString("Reload"); }
    void OnExtraButton(int32_t current) override { extraPressedOn.push_back(current); }
    void OnItemChosen(int32_t i) override { chosen.push_back(i); }
    int32_t CreateItem(int32_t) override { return AddThing("Made"); }
    bool CanCreateItem(bool& enabled) override
    {
        enabled = canCreateNow;
        return true;
    }
    CNewFileOptions* GetNewFileOptions() override
    {
        auto* options = new CNewFileOptions;
        options->m_BaseFolder.Set("Shelf");
        options->m_Extension.Set(".Thing.txt");
        options->m_ClassName.Set("Thing");
        return options;
    }
    int32_t AddItemFromNewFileOptions(CNewFileOptions& options) override
    {
        templates.push_back(options.GetTemplateObject());
        return AddThing(options.m_RelativePath.GetString());
    }

    std::vector<std::string> names;
    std::vector<std::unique_ptr<CEditorSample>> things;
    CDirectoryTree tree{*this};
    std::vector<int32_t> chosen;
    std::vector<int32_t> extraPressedOn;
    std::vector<CObject*> templates; // compared only
    bool canCreateNow = true;
};

CShelfList* g_Shelf = nullptr;

// A list whose combo box is no plain list: never browsed.
class CFlaggedListProperty : public CListProperty {
public:
    using CListProperty::CListProperty;
    uint32_t GetComboFlags() const override { return 1; }
};

} // namespace

class CListSample : public CObject {
    OMBRISALT_REFLECTED(CListSample, CObject)
public:
    CListSample() { InitDeclaredProperties(); }
    ~CListSample() override { DestroyDeclaredProperties(); }
    void OnPropertyEdited(const CPropertyEditRecord&) override { ++edits; }

    int32_t m_Choice = 0;
    int32_t m_Plain = 0;
    int32_t m_Rebuilding = 0;
    int32_t m_Fixed = 0;
    int32_t m_Flagged = 0;
    int edits = 0;
};
OMBRISALT_IMPLEMENT_CLASS(CListSample, 1.0)
const CTestOnlyClass kListSampleIsTestOnly("CListSample");
void CListSample::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference(&CListSample::m_Choice, "Choice", nullptr, nullptr);
    // Neither "Edit" nor the dialog's buttons.
    d.AddListReference(&CListSample::m_Plain, "Plain", nullptr, nullptr).Get().SetEditorFlags(false, false);
    d.AddListReference(&CListSample::m_Rebuilding, "Rebuilding", nullptr, nullptr).Get().SetEditorOption(1);
    // Shown, never enabled.
    d.AddListReference(&CListSample::m_Fixed, "Fixed", nullptr, nullptr).Level(3);
    d.AddListReference<CFlaggedListProperty>(&CListSample::m_Flagged, "Flagged", nullptr, nullptr);
}

namespace {

std::unique_ptr<CImageBrowserItemBridge> MakePlainItem(CVirtualArray* list, uint32_t index)
{
    return std::make_unique<CImageBrowserItemBridge>(list, index);
}

class ListPropertyEditor : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        if (IsSkipped())
            return;
        AddPropertyRowMaker(&MakeListPropertyEditors);
        m_Shelf = std::make_unique<CShelfList>();
        g_Shelf = m_Shelf.get();
        for (const char* name : {"Choice", "Plain", "Rebuilding", "Fixed", "Flagged"})
            static_cast<CListProperty*>(CListSample::SGetClassInfo()->FindProperty(name))->SetList(g_Shelf);
        CFileListList& registry = CFileListList::SGetInstance();
        registry.AddList("Shelf", nullptr, g_Shelf, 0, 0);
        registry.SetItemFactory(g_Shelf, &MakePlainItem);
        WriteBytes("Shelf/Rocks/Keep.txt", "");
    }
    void TearDown() override
    {
        EditorTest::TearDown();
        g_Shelf = nullptr;
        m_Shelf.reset();
    }

    CListPropertyEditor* Row(const char* property)
    {
        const CProperty* found = CListSample::SGetClassInfo()->FindProperty(property);
        return dynamic_cast<CListPropertyEditor*>(FindPropertyEditor(&m_List, found, 0));
    }
    void Press(CJWindow* button) { GetCurrentObjectEditor()->OnNotify(button, kNotifyClicked); }
    CJWindow* Front() const { return m_Screen->GetFirstChild(); }
    // The text of a message box in front; "" when none is.
    std::string BoxText() const
    {
        auto* box = dynamic_cast<CJMessageBox*>(Front());
        for (CJWindow* child = box ? box->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
            if (auto* text = dynamic_cast<CJStatic*>(child))
                return text->GetTitle().GetString();
        return "";
    }

    std::unique_ptr<CShelfList> m_Shelf;
    CListSample m_List;
    COptionHost m_Host;
    CScopedHook<CObjectModelHost::SetInstance> m_HostSlot{&m_Host};
};

} // namespace

TEST_F(ListPropertyEditor, AChoiceIsOneNamedCheckpointAndTheSameChoiceOrAFolderTakesNone)
{
    ASSERT_TRUE(Open(&m_List));
    CRecordingCheckpoints checkpoints(&m_List);
    CListPropertyEditor* row = Row("Choice");
    ASSERT_TRUE(row);
    CJComboBox* combo = row->GetComboBox();
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->GetListBox()->GetTree(), &m_Shelf->tree) << "a list with a tree shows it";

    combo->SelectItem(2, false); // the pop-up's highlight move does this
    EXPECT_EQ(m_List.m_Choice, 2);
    EXPECT_EQ(m_List.edits, 1);
    EXPECT_EQ(m_Shelf->chosen, std::vector<int32_t>{2});
    EXPECT_EQ(checkpoints.Count(), 1u);
    EXPECT_EQ(checkpoints.LastName(), "ListPropertyCheckpointChoice");

    // The same item again, then the "Rocks" folder row: nothing changes.
    GetCurrentObjectEditor()->OnNotify(combo, kNotifyChanged);
    combo->SelectItem(m_Shelf->tree.GetParent(1), false);
    EXPECT_EQ(m_List.m_Choice, 2);
    EXPECT_EQ(m_List.edits, 1);
    EXPECT_EQ(checkpoints.Count(), 1u);
    EXPECT_EQ(m_Shelf->chosen.size(), 1u);

    // Refresh shows a value set behind the row's back.
    m_List.m_Choice = 3;
    row->Refresh();
    EXPECT_EQ(combo->GetSelectedItem(), 3);
}

TEST_F(ListPropertyEditor, ButtonsFollowTheListTheRowFlagsAndTheNamedOptions)
{
    ASSERT_TRUE(Open(&m_List));
    CListPropertyEditor* row = Row("Choice");
    EXPECT_FALSE(row->GetEditButton());
    EXPECT_FALSE(row->GetNewButton()) << "the list offers a record, but \"Create New Asset\" is off";
    EXPECT_FALSE(row->GetDuplicateButton());
    EXPECT_FALSE(row->GetCreateButton());
    ASSERT_TRUE(row->GetExtraButton());
    EXPECT_STREQ(row->GetExtraButton()->GetTitle().GetString(), "Reload");
    EXPECT_TRUE(row->GetBrowseButton());
    EXPECT_FALSE(Row("Flagged")->GetBrowseButton()) << "combo flags other than 0 never browse";

    m_Host.options = {"Edit Asset", "Create New Asset"};
    m_Shelf->canCreateNow = false;
    ASSERT_TRUE(Open(&m_List));
    row = Row("Choice");
    EXPECT_TRUE(row->GetEditButton());
    EXPECT_TRUE(row->GetNewButton());
    EXPECT_TRUE(row->GetDuplicateButton());
    ASSERT_TRUE(row->GetCreateButton());
    EXPECT_FALSE(row->GetCreateButton()->IsEnabled()) << "the list cannot create now";
    CListPropertyEditor* plain = Row("Plain");
    EXPECT_FALSE(plain->GetEditButton());
    EXPECT_FALSE(plain->GetNewButton());
    EXPECT_FALSE(plain->GetDuplicateButton());
    EXPECT_TRUE(plain->GetCreateButton()) << "the direct \"New\" is the list's own";

    Press(row->GetExtraButton());
    m_List.m_Choice = 1;
    Press(row->GetExtraButton());
    EXPECT_EQ(m_Shelf->extraPressedOn, (std::vector<int32_t>{0, 1}));
}

TEST_F(ListPropertyEditor, AReadOnlyRowKeepsOnlyEditAndTheListsButtonUsable)
{
    m_Host.options = {"Edit Asset", "Create New Asset"};
    ASSERT_TRUE(Open(&m_List));
    CListPropertyEditor* row = Row("Fixed");
    ASSERT_TRUE(row);
    EXPECT_FALSE(row->GetComboBox()->IsEnabled());
    EXPECT_FALSE(row->GetBrowseButton()->IsEnabled());
    EXPECT_FALSE(row->GetNewButton()->IsEnabled());
    EXPECT_FALSE(row->GetDuplicateButton()->IsEnabled());
    EXPECT_FALSE(row->GetCreateButton()->IsEnabled());
    EXPECT_TRUE(row->GetEditButton()->IsEnabled());
    EXPECT_TRUE(row->GetExtraButton()->IsEnabled());
}

TEST_F(ListPropertyEditor, BrowseOpensAModalPickerWhoseSelectIsAChoiceWhileItsRowLives)
{
    m_List.m_Choice = 1;
    ASSERT_TRUE(Open(&m_List));
    CRecordingCheckpoints checkpoints(&m_List);
    CListPropertyEditor* row = Row("Choice");
    Press(row->GetBrowseButton());
    CImageBrowserFrameWindow* picker = row->GetOpenBrowser();
    ASSERT_TRUE(picker);
    EXPECT_EQ(Front(), picker);
    EXPECT_TRUE(picker->IsModal());
    EXPECT_STREQ(picker->GetTitle().GetString(), "Shelf Browser");
    EXPECT_EQ(picker->GetSelectedValue(), 1) << "the current value is selected";
    EXPECT_STREQ(picker->GetSelectButton()->GetTitle().GetString(), "Select");

    picker->SelectValue(2);
    picker->OnNotify(picker->GetSelectButton(), kNotifyClicked);
    EXPECT_EQ(m_List.m_Choice, 2);
    EXPECT_EQ(checkpoints.Count(), 1u);
    EXPECT_FALSE(Row("Choice")->GetOpenBrowser());
    Frame();
    EXPECT_FALSE(InTree(picker));

    // A picker left open when its editor closes selects nothing.
    Press(Row("Choice")->GetBrowseButton());
    picker = Row("Choice")->GetOpenBrowser();
    ASSERT_TRUE(picker);
    OpenObjectEditor(nullptr, nullptr);
    Frame();
    ASSERT_TRUE(InTree(picker));
    picker->SelectValue(3);
    picker->OnNotify(picker->GetSelectButton(), kNotifyClicked);
    EXPECT_EQ(m_List.m_Choice, 2);
    Frame();
    EXPECT_FALSE(InTree(picker));
}

TEST_F(ListPropertyEditor, EditOpensTheItemAsItsOwnOwnerWithBackToTheList)
{
    m_Host.options = {"Edit Asset"};
    m_List.m_Choice = 3;
    ASSERT_TRUE(Open(&m_List));
    Press(Row("Choice")->GetEditButton());
    Frame();
    CObjectEditor* editor = GetCurrentObjectEditor();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->GetEditedObject(), m_Shelf->things[3].get());
    EXPECT_EQ(editor->GetOwnerObject(), m_Shelf->things[3].get());
    ASSERT_TRUE(editor->GetBackButton());
    editor->GoBack();
    Frame();
    EXPECT_EQ(GetCurrentObjectEditorObject(), &m_List);
}

TEST_F(ListPropertyEditor, DuplicateOpensTheDialogAndTheFileItMakesBecomesTheChoice)
{
    m_Host.options = {"Create New Asset"};
    m_List.m_Choice = 1;
    ASSERT_TRUE(Open(&m_List));
    Press(Row("Choice")->GetDuplicateButton());
    auto* dialog = dynamic_cast<CNewFileDialog*>(Front());
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->IsModal());
    CNewFileOptions& options = dialog->GetOptions();
    EXPECT_STREQ(options.m_Title.GetString(), "Create new Thing");
    EXPECT_STREQ(options.m_Location.GetString(), "Rocks") << "the folder of the chosen item";
    ASSERT_TRUE(options.GetTemplateObject());
    EXPECT_NE(options.GetTemplateObject(), m_Shelf->things[1].get()) << "a clone of the chosen item";
    EXPECT_TRUE(options.GetTemplateObject()->IsKindOf(CEditorSample::SGetClassInfo()));

    dialog->GetNameEdit()->SetTitle(CJString("Pebble"));
    ASSERT_TRUE(dialog->Accept()) << BoxText();
    const int32_t made = m_Shelf->GetCount() - 1;
    EXPECT_EQ(m_Shelf->names.back(), "Rocks/Pebble.Thing.txt");
    EXPECT_EQ(m_List.m_Choice, made);
    Frame();
    EXPECT_FALSE(InTree(dialog));
    EXPECT_EQ(GetCurrentObjectEditorObject(), m_Shelf->things[size_t(made)].get());
}

TEST_F(ListPropertyEditor, ADialogOutlivesItsRowAndTheDirectNewOpensWhatItMade)
{
    m_Host.options = {"Create New Asset"};
    ASSERT_TRUE(Open(&m_List));
    Press(Row("Choice")->GetNewButton());
    auto* dialog = dynamic_cast<CNewFileDialog*>(Front());
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->GetOptions().GetTemplateObject()) << "\"New\" starts from no template";
    OpenObjectEditor(nullptr, nullptr);
    dialog->GetNameEdit()->SetTitle(CJString("Late"));
    EXPECT_TRUE(dialog->Accept()) << "the file is made; no row is left to take it. " << BoxText();
    EXPECT_EQ(m_Shelf->GetCount(), 4);
    Frame();
    EXPECT_FALSE(InTree(dialog));

    ASSERT_TRUE(Open(&m_List));
    Press(Row("Choice")->GetCreateButton());
    Frame();
    EXPECT_EQ(m_List.m_Choice, 4);
    EXPECT_EQ(m_Shelf->names.back(), "Made");
    EXPECT_EQ(GetCurrentObjectEditorObject(), m_Shelf->things[4].get());
}

TEST_F(ListPropertyEditor, ARowThatRebuildsOnChangeReopensItsEditor)
{
    ASSERT_TRUE(Open(&m_List));
    CListPropertyEditor* row = Row("Rebuilding");
    EXPECT_TRUE(row->RebuildsOnChange());
    MarkAsOld(*row->GetComboBox());
    row->GetComboBox()->SelectItem(3, false);
    Frame();
    EXPECT_EQ(m_List.m_Rebuilding, 3);
    CListPropertyEditor* rebuilt = Row("Rebuilding");
    ASSERT_TRUE(rebuilt);
    EXPECT_FALSE(IsMarkedAsOld(*rebuilt->GetComboBox()));
    EXPECT_EQ(rebuilt->GetComboBox()->GetSelectedItem(), 3);
}
