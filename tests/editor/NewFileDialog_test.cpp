// The new-file dialog driven as a designer drives it: edits filled, Save
// clicked or Enter typed, message boxes answered; what is checked is what
// the designer sees (the box's text, the dialog staying open) and what is
// on disk.
#include "support/TestOnlyClasses.h"
#include "ui/MenuTestSupport.h"

#include "editor/CNewFileDialog.h"
#include "foundation/CCommand.h"
#include "objects/CNewFileOptions.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/CJEdit.h"
#include "ui/CJMessageBox.h"
#include "ui/CJStatic.h"

#include <memory>
#include <string>

class CCrate : public CObject {
    OMBRISALT_REFLECTED(CCrate, CObject)
public:
    CCrate() { InitDeclaredProperties(); }
    ~CCrate() override { DestroyDeclaredProperties(); }
    int32_t m_Slats = 4;
};
OMBRISALT_IMPLEMENT_CLASS(CCrate, 1.0)
const CTestOnlyClass kCrateIsTestOnly("CCrate");
void CCrate::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CCrate::m_Slats, "Slats", 4);
}

class CBigCrate : public CCrate {
    OMBRISALT_REFLECTED(CBigCrate, CCrate)
public:
    CBigCrate() { InitDeclaredProperties(); }
    ~CBigCrate() override { DestroyDeclaredProperties(); }
};
OMBRISALT_IMPLEMENT_CLASS(CBigCrate, 1.0)
const CTestOnlyClass kBigCrateIsTestOnly("CBigCrate");
void CBigCrate::DeclareProperties(CPropertyDeclarer&) {}

namespace {

using CCrateList = CObjectArrayBaseTemplate<CCrate>;

class NewFileDialog : public ScreenTest {
public:
    void Created()
    {
        ++m_Created;
        if (m_AddToList)
            m_Added = m_List.AddItemFromNewFileOptions(*m_AddToList);
    }

protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        CBigCrate::SGetClassInfo();
        WriteBytes("Crates/Old.Crate.txt", "CCrate\r\n{\r\n}\r\n");
        m_List.SetSource(nullptr, "Crates", 0);
    }
    // A plain record over "Crates" whose command counts its runs.
    std::unique_ptr<CNewFileOptions> PlainOptions()
    {
        auto options = std::make_unique<CNewFileOptions>();
        options->m_Title.Set("Create new crate");
        options->m_BaseFolder.Set("Crates");
        options->m_Extension.Set(".Crate.txt");
        options->SetCreatedCommand(new CObjectFunctionCommand<NewFileDialog>(this, &NewFileDialog::Created));
        return options;
    }
    CNewFileDialog* Open(CNewFileOptions& options)
    {
        auto* dialog = static_cast<CNewFileDialog*>(options.CreateDialog(m_Screen));
        m_Screen->AddModalSibling(dialog, EPlace::Centred);
        return dialog;
    }
    void Fill(CNewFileDialog& dialog, const char* location, const char* name)
    {
        dialog.GetLocationEdit()->SetTitle(CJString(location));
        dialog.GetNameEdit()->SetTitle(CJString(name));
    }
    // The text of the box in front, or "" when the front window is no box.
    std::string BoxText()
    {
        auto* box = dynamic_cast<CJMessageBox*>(m_Screen->GetFirstChild());
        if (!box)
            return "";
        for (CJWindow* child = box->GetFirstChild(); child; child = child->GetNextSibling())
            if (auto* text = dynamic_cast<CJStatic*>(child))
                return text->GetTitle().GetString();
        return "";
    }
    void PressBoxButton(const char* title)
    {
        auto* box = dynamic_cast<CJMessageBox*>(m_Screen->GetFirstChild());
        ASSERT_NE(box, nullptr);
        for (CJWindow* child = box->GetFirstChild(); child; child = child->GetNextSibling())
            if (dynamic_cast<CJButton*>(child) && child->GetTitle().Compare(title) == 0) {
                Click(*child);
                Step(CPoint{0, 0}, false);
                return;
            }
        FAIL() << "no button " << title;
    }
    int m_Created = 0;
    CCrateList m_List{"Crate.txt"};
    CNewFileOptions* m_AddToList = nullptr;
    int32_t m_Added = -2;
};

TEST_F(NewFileDialog, ABlankNameIsRefusedAndTheDialogKeepsTheInput)
{
    std::unique_ptr<CNewFileOptions> options = PlainOptions();
    CNewFileDialog* dialog = Open(*options);
    EXPECT_TRUE(dialog->GetNameEdit()->HasFocus());
    EXPECT_FALSE(dialog->GetExtensionEdit()->IsEnabled());
    Fill(*dialog, "", "   ");
    Click(*dialog->GetSaveButton());
    EXPECT_EQ(BoxText(), "You must specify a file name.");
    EXPECT_EQ(m_Created, 0);
    TypeKey(kKeyEscape);
    ASSERT_TRUE(InTree(dialog));
    EXPECT_STREQ(dialog->GetNameEdit()->GetTitle().GetString(), "   ");

    // Cancel closes without a file.
    Click(*dialog->GetCancelButton());
    Step(CPoint{0, 0}, false);
    EXPECT_FALSE(InTree(dialog));
    EXPECT_EQ(m_Created, 0);

    // So does Enter once Tab has moved the focus to Cancel, a good name typed.
    dialog = Open(*options);
    Fill(*dialog, "", "Fresh");
    for (int tabs = 0; tabs < 8 && !dialog->GetCancelButton()->HasFocus(); ++tabs)
        TypeKey(kKeyTab);
    ASSERT_TRUE(dialog->GetCancelButton()->HasFocus());
    TypeKey(kKeyEnter);
    Step(CPoint{0, 0}, false);
    EXPECT_FALSE(InTree(dialog));
    EXPECT_EQ(m_Created, 0);
}

TEST_F(NewFileDialog, TheLocationIsTrimmedAndAMissingNestedFolderIsMadeOnRequest)
{
    std::unique_ptr<CNewFileOptions> options = PlainOptions();
    CNewFileDialog* dialog = Open(*options);
    Fill(*dialog, "  Stacks/High  ", " Tower ");
    Click(*dialog->GetSaveButton());
    EXPECT_EQ(BoxText(), "Folder does not exist.  Would you like to create a new folder named \"Stacks/High\"");
    EXPECT_FALSE(DiskHas("Crates/Stacks"));

    // "Cancel" in the box leaves everything as it was.
    PressBoxButton("Cancel");
    EXPECT_TRUE(InTree(dialog));
    EXPECT_FALSE(DiskHas("Crates/Stacks"));
    EXPECT_EQ(m_Created, 0);

    Click(*dialog->GetSaveButton());
    PressBoxButton("Create Folder");
    EXPECT_TRUE(DiskHas("Crates/Stacks/High"));
    EXPECT_EQ(m_Created, 1);
    EXPECT_STREQ(options->m_Location.GetString(), "Stacks/High");
    EXPECT_STREQ(options->m_RelativePath.GetString(), "Stacks/High/Tower.Crate.txt");
    EXPECT_FALSE(InTree(dialog));
}

TEST_F(NewFileDialog, AnExistingFileInAnyCaseIsNeverOverwrittenAlsoAfterCreateFolder)
{
    std::unique_ptr<CNewFileOptions> options = PlainOptions();
    CNewFileDialog* dialog = Open(*options);
    Fill(*dialog, "", "OLD");
    TypeKey(kKeyEnter);
    EXPECT_EQ(BoxText(), "Cannot create file.  File with same name already exists.");
    TypeKey(kKeyEnter);

    // The folder is missing when Save is pressed, and the file appears
    // before "Create Folder": the check runs again.
    Fill(*dialog, "Late", "Box");
    Click(*dialog->GetSaveButton());
    ASSERT_NE(BoxText().find("Would you like"), std::string::npos);
    WriteBytes("Crates/late/box.crate.TXT", "kept");
    PressBoxButton("Create Folder");
    EXPECT_EQ(BoxText(), "Cannot create file.  File with same name already exists.");
    EXPECT_EQ(ReadBytes("Crates/late/box.crate.TXT"), "kept");
    EXPECT_EQ(m_Created, 0);
    EXPECT_TRUE(InTree(dialog));
}

TEST_F(NewFileDialog, AFolderThatCannotBeMadeIsReportedAndEscapeThenCloses)
{
    std::unique_ptr<CNewFileOptions> options = PlainOptions();
    CNewFileDialog* dialog = Open(*options);
    // A file stands where a folder of the path would go.
    Fill(*dialog, "Old.Crate.txt/Inner", "Lid");
    Click(*dialog->GetSaveButton());
    PressBoxButton("Create Folder");
    EXPECT_EQ(BoxText(), "Could not create folder");
    TypeKey(kKeyEnter);
    EXPECT_EQ(m_Created, 0);
    ASSERT_TRUE(InTree(dialog));
    TypeKey(kKeyEscape);
    EXPECT_FALSE(InTree(dialog));
    EXPECT_EQ(m_Created, 0);
}

TEST_F(NewFileDialog, ALocationThatIsAPlainFileIsNoFolderAndNothingIsReportedMade)
{
    std::unique_ptr<CNewFileOptions> options = PlainOptions();
    CNewFileDialog* dialog = Open(*options);
    Fill(*dialog, "Old.Crate.txt", "Lid");
    Click(*dialog->GetSaveButton());
    // The box breaks its line before the location.
    EXPECT_EQ(BoxText().rfind("Folder does not exist.  Would you like to create a new folder named", 0), 0u);
    EXPECT_NE(BoxText().find("\"Old.Crate.txt\""), std::string::npos) << BoxText();
    EXPECT_EQ(m_Created, 0);
    PressBoxButton("Create Folder");
    EXPECT_EQ(BoxText(), "Could not create folder");
    TypeKey(kKeyEnter);
    EXPECT_EQ(m_Created, 0);
    EXPECT_TRUE(InTree(dialog));
    EXPECT_EQ(ReadBytes("Crates/Old.Crate.txt"), "CCrate\r\n{\r\n}\r\n");
}

TEST_F(NewFileDialog, ALocationThatClimbsOutOfTheFolderOrADotNameIsRefused)
{
    std::unique_ptr<CNewFileOptions> options = PlainOptions();
    CNewFileDialog* dialog = Open(*options);
    for (const char* location : {"..", "Stacks/../..", "../Crates", "/tmp"}) {
        Fill(*dialog, location, "Escape");
        Click(*dialog->GetSaveButton());
        EXPECT_EQ(BoxText(), "The location must be a folder inside the list's folder.") << location;
        TypeKey(kKeyEnter);
    }
    // A leading "." would be read from the base folder, and the list's scan
    // passes such files and folders by: the item would be lost. The name
    // edit makes "../../Escape" "....Escape".
    for (const auto& [location, typed] : {std::pair{"", "....Escape"}, {"", ".Hut"}, {".Stacks", "Hut"},
                                          {"Stacks/.High", "Hut"}, {"Stacks", ".Hut"}}) {
        Fill(*dialog, location, typed);
        Click(*dialog->GetSaveButton());
        EXPECT_EQ(BoxText(), "A name or folder beginning with \".\" would be lost from the list.") << typed;
        TypeKey(kKeyEnter);
    }
    EXPECT_EQ(m_Created, 0);
    EXPECT_TRUE(InTree(dialog));
    EXPECT_FALSE(DiskHas("Escape.Crate.txt"));
    EXPECT_FALSE(DiskHas("Crates/.Stacks"));
}

// Sorted first, the new item would become what every unset reference names.
TEST_F(NewFileDialog, ANameThatSortsBeforeTheNoneEntryIsRefused)
{
    std::unique_ptr<CNewFileOptions> options = PlainOptions();
    options->m_NoneEntryName.Set("!None");
    CNewFileDialog* dialog = Open(*options);
    Fill(*dialog, "", "!Aaa");
    Click(*dialog->GetSaveButton());
    EXPECT_EQ(BoxText(), "The name would sort before the list's \"none\" entry and take its place: \"!None\".");
    TypeKey(kKeyEnter);
    Fill(*dialog, "", "!Zed");
    Click(*dialog->GetSaveButton());
    EXPECT_EQ(m_Created, 1);
}

TEST_F(NewFileDialog, AnObjectListOffersItsClassesAndTheChosenOneIsCreated)
{
    std::unique_ptr<CNewFileOptions> options(m_List.GetNewFileOptions());
    ASSERT_TRUE(options);
    auto& withClass = dynamic_cast<CNewFileOptionsCObject&>(*options);
    options->SetCreatedCommand(new CObjectFunctionCommand<NewFileDialog>(this, &NewFileDialog::Created));
    m_AddToList = options.get();
    auto* dialog = dynamic_cast<CNewFileDialogCObject*>(Open(*options));
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->GetOfferedClasses().size(), 2u);
    ASSERT_NE(dialog->GetClassCombo(), nullptr);
    EXPECT_EQ(withClass.m_ChosenClass, dialog->GetOfferedClasses()[0]);
    const int32_t big = dialog->GetOfferedClasses()[0] == CBigCrate::SGetClassInfo() ? 0 : 1;
    dialog->GetClassCombo()->SelectItem(big, false);
    EXPECT_EQ(withClass.m_ChosenClass, CBigCrate::SGetClassInfo());
    EXPECT_GT(dialog->GetSaveButton()->GetRect().top, dialog->GetClassCombo()->GetRect().top);

    Fill(*dialog, "", "Fresh");
    Click(*dialog->GetSaveButton());
    EXPECT_EQ(m_Created, 1);
    ASSERT_EQ(m_Added, 0);
    EXPECT_STREQ(m_List.GetItemName(0), "Fresh");
    EXPECT_EQ(m_List.GetObject(0)->GetClassInfo(), CBigCrate::SGetClassInfo());
    EXPECT_TRUE(DiskHas("Crates/Fresh.Crate.txt"));
}

TEST_F(NewFileDialog, OneClassOrATemplateObjectShowsNoClassRow)
{
    CNewFileOptionsCObject single(CBigCrate::SGetClassInfo(), CBigCrate::SGetClassInfo());
    auto* dialog = dynamic_cast<CNewFileDialogCObject*>(Open(single));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetOfferedClasses().size(), 1u);
    EXPECT_EQ(dialog->GetClassCombo(), nullptr);
    dialog->Destroy();

    CNewFileOptionsCObject copying(CCrate::SGetClassInfo(), CCrate::SGetClassInfo());
    copying.SetTemplateObject(new CCrate);
    dialog = dynamic_cast<CNewFileDialogCObject*>(Open(copying));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetOfferedClasses().size(), 2u);
    EXPECT_EQ(dialog->GetClassCombo(), nullptr);
    dialog->Destroy();
}

} // namespace
