#include "editor/CNewFileDialog.h"

#include "editor/EditorStartup.h"
#include "foundation/CCommand.h"
#include "foundation/CFile.h"
#include "foundation/CLocalizedString.h"
#include "foundation/FileHelpers.h"
#include "objects/CClassInfo.h"
#include "objects/CNewFileOptions.h"
#include "platform/FileSystem.h"
#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/CJEdit.h"
#include "ui/CJMessageBox.h"
#include "ui/CJStatic.h"

#include <algorithm>

namespace {

// Forbidden in a location ("/" separates its folders); the name refuses "/" too.
constexpr const char* kLocationForbidden = "\\:;*?\"><|";
constexpr const char* kNameForbidden = "/\\:;*?\"><|";

// FolderExists answers for a plain file of the name as well; a file can
// never be made inside one.
bool IsFolderOnDisk(const CJString& name)
{
    return plat::IsFolder(DiskPathOf(name.GetString(), 0));
}

CLocalizedString& LocationOutsideText()
{
    static CLocalizedString text("The location must be a folder inside the list's folder.");
    return text;
}

CLocalizedString& DotLedText()
{
    static CLocalizedString text("A name or folder beginning with \".\" would be lost from the list.");
    return text;
}

CLocalizedString& SortsBeforeNoneText()
{
    static CLocalizedString text("The name would sort before the list's \"none\" entry and take its place:");
    return text;
}

CJString Trimmed(const CJString& text)
{
    CJString trimmed(text);
    trimmed.TrimLeft();
    trimmed.TrimRight();
    return trimmed;
}

// A part ".." anywhere, or a leading separator: the path would leave the
// base folder.
bool LeavesBaseFolder(const CJString& path)
{
    const char* text = path.GetString();
    if (text[0] == '/' || text[0] == '\\')
        return true;
    const char* part = text;
    for (const char* p = text;; ++p) {
        if (*p == '/' || *p == '\\' || *p == 0) {
            if (p - part == 2 && part[0] == '.' && part[1] == '.')
                return true;
            if (*p == 0)
                return false;
            part = p + 1;
        }
    }
}

} // namespace

CNewFileDialog::CNewFileDialog(CJWindow* parent, CNewFileOptions& options)
    : CJFrameWindow(parent, options.m_Title)
    , m_Options(options)
{
    AddCloseButton();

    // The edits are sized by their sample texts.
    m_LocationLabel = &Add<CJStatic>(EPlace::TopLeft, "Location:");
    m_LocationEdit = &Add<CJEdit>(EPlace::RightOfPrevious, "123456789012345678901234567890");
    m_LocationEdit->SetTitle(options.m_Location);
    m_LocationEdit->SetForbiddenChars(kLocationForbidden);

    m_NameLabel = &Add<CJStatic>({EPlace::Below, m_LocationLabel}, "Name:");
    m_NameEdit = &Add<CJEdit>(EPlace::RightOfPrevious, "123456789012345678901234567890");
    m_NameEdit->SetTitle(options.m_Name);
    m_NameEdit->SetForbiddenChars(kNameForbidden);

    m_ExtensionLabel = &Add<CJStatic>({EPlace::Below, m_NameLabel}, "Extension:");
    m_ExtensionEdit = &Add<CJEdit>(EPlace::RightOfPrevious, "1234567890");
    m_ExtensionEdit->SetTitle(options.m_Extension);
    m_ExtensionEdit->Enable(false);
    m_LastLabel = m_ExtensionLabel;

    // The edits start in one column right of the widest label.
    const int32_t column
        = std::max({m_LocationLabel->GetRect().right, m_NameLabel->GetRect().right, m_ExtensionLabel->GetRect().right})
        + GetSpacingX();
    for (CJEdit* edit : {m_LocationEdit, m_NameEdit, m_ExtensionEdit})
        edit->MoveToX(column);

    const SNewFileDialogTexts& texts = GetNewFileDialogTexts();
    m_SaveButton = &Add<CJButton>({EPlace::Below, m_ExtensionLabel}, "Save");
    m_CancelButton = &Add<CJButton>(EPlace::RightOfPrevious, texts.cancel);
    m_SaveButton->MakeSameWidth(m_CancelButton, 0);
    m_CancelButton->MoveToX(m_SaveButton->GetRect().right + GetSpacingX());
    GrowToFitChild(m_CancelButton, kDefaultOffset);

    m_LocationEdit->SetWidth(GetWidth() - GetBorderWidth() - GetEdgeMargin() - m_LocationEdit->GetRect().left);
    BringChildToFront(m_NameEdit);
}

bool CNewFileDialog::OnKeyDown(uint32_t key)
{
    if (CJFrameWindow::OnKeyDown(key))
        return true;
    if (key == kKeyEnter) {
        // Tab may have moved the focus to a button: Enter presses that one.
        if (m_FirstChild && m_FirstChild->IsTabStop() && dynamic_cast<CJButton*>(m_FirstChild))
            m_FirstChild->OnHotKeyActivate();
        else
            Accept();
        return true;
    }
    if (key == kKeyEscape) {
        RequestClose();
        return true;
    }
    return false;
}

void CNewFileDialog::OnNotify(CJWindow* sender, int32_t code)
{
    if (code == kNotifyClicked && sender == m_CancelButton) {
        RequestClose();
        return;
    }
    if (code == kNotifyClicked && sender == m_SaveButton) {
        Accept();
        return;
    }
    CJFrameWindow::OnNotify(sender, code);
}

void CNewFileDialog::ReadFields()
{
    m_Options.m_Location = Trimmed(m_LocationEdit->GetTitle());
    m_Options.m_Name = Trimmed(m_NameEdit->GetTitle());
    m_Options.m_Extension = m_ExtensionEdit->GetTitle();
}

void CNewFileDialog::ShowError(const CJString& text)
{
    auto* box = new CJMessageBox(this, GetNewFileDialogTexts().error, text);
    AddModalSibling(box, EPlace::Centred);
}

bool CNewFileDialog::Accept()
{
    ReadFields();
    m_Options.MakeRelativePath();
    const SNewFileDialogTexts& texts = GetNewFileDialogTexts();
    if (m_Options.m_Name.IsEmpty()) {
        ShowError(texts.nameMissing);
        return false;
    }
    if (LeavesBaseFolder(m_Options.m_RelativePath) || LeavesBaseFolder(m_Options.m_Name)) {
        ShowError(LocationOutsideText());
        return false;
    }
    CJString item;
    item.SetPath(m_Options.m_Location, m_Options.m_Name);
    if (HasDotLedPart(item)) {
        ShowError(DotLedText());
        return false;
    }
    if (m_Options.SortsBeforeNoneEntry(item)) {
        CJString text(SortsBeforeNoneText());
        text.Append(" \"");
        text.Append(m_Options.m_NoneEntryName);
        text.Append("\".");
        ShowError(text);
        return false;
    }
    CJString file;
    file.SetPath(m_Options.m_BaseFolder, m_Options.m_RelativePath);
    if (FileExists(file.GetString(), 0)) {
        ShowError(texts.fileExists);
        return false;
    }
    CJString folder;
    folder.SetPath(m_Options.m_BaseFolder, m_Options.m_Location);
    if (folder.IsNotEmpty() && !IsFolderOnDisk(folder)) {
        CJString text(texts.folderMissing);
        text.Append(" \"");
        text.Append(m_Options.m_Location);
        text.Append("\"");
        auto* box = new CJMessageBox(this, texts.error, text, nullptr, texts.cancel.GetString());
        box->AddButton(texts.createFolder,
                       new CObjectFunctionCommand<CNewFileDialog>(this, &CNewFileDialog::CreateFolderAndAccept));
        AddModalSibling(box, EPlace::Centred);
        return false;
    }
    if (CCommand* command = m_Options.GetCreatedCommand())
        command->Execute();
    RequestClose();
    return true;
}

void CNewFileDialog::CreateFolderAndAccept()
{
    CJString folder;
    folder.SetPath(m_Options.m_BaseFolder, m_Options.m_Location);
    if (!CreateFolderForName(folder.GetString(), 0) || !IsFolderOnDisk(folder)) {
        ShowError(GetNewFileDialogTexts().folderNotCreated);
        return;
    }
    Accept();
}

CNewFileDialogCObject::CNewFileDialogCObject(CJWindow* parent, CNewFileOptionsCObject& options)
    : CNewFileDialog(parent, options)
    , m_ClassOptions(options)
{
    CClassInfoList& registry = CClassInfoList::SGetInstance();
    for (int32_t i = 0; i < registry.GetCount(); ++i) {
        CClassInfo* info = registry.GetAt(i);
        if (!info || !info->IsDerivedFrom(options.m_BaseClass) || info->GetFlags() != 0)
            continue;
        m_ClassNames.Add(info->GetNameWithoutPrefix(), uint32_t(m_OfferedClasses.size()));
        m_OfferedClasses.push_back(info);
    }
    if (!m_OfferedClasses.empty())
        options.m_ChosenClass = m_OfferedClasses.front();
    if (m_OfferedClasses.size() < 2 || options.GetTemplateObject())
        return;

    m_ClassLabel = &Add<CJStatic>({EPlace::Below, m_LastLabel}, "Class:");
    m_ClassCombo = &Add<CJComboBox>(EPlace::RightOfPrevious, &m_ClassNames, 75);
    m_ClassCombo->SelectItem(0, true);
    m_ClassCombo->MoveToX(m_NameEdit->GetRect().left);
    m_LastLabel = m_ClassLabel;
    // The buttons move below the new row.
    const int32_t top = std::max(m_ClassLabel->GetRect().bottom, m_ClassCombo->GetRect().bottom) + GetSpacingY();
    m_SaveButton->MoveToY(top);
    m_CancelButton->MoveToY(top);
    GrowToFitChild(m_CancelButton, kDefaultOffset);
    BringChildToFront(m_NameEdit);
}

void CNewFileDialogCObject::OnNotify(CJWindow* sender, int32_t code)
{
    if (sender && sender == m_ClassCombo && code == kNotifyChanged) {
        const int32_t row = m_ClassCombo->GetSelectedItem();
        if (row >= 0 && row < m_ClassNames.GetCount()) {
            const uint32_t index = m_ClassNames.GetValue(row);
            if (index < m_OfferedClasses.size())
                m_ClassOptions.m_ChosenClass = m_OfferedClasses[index];
        }
        return;
    }
    CNewFileDialog::OnNotify(sender, code);
}

CJWindow* MakeNewFileDialog(CJWindow* parent, CNewFileOptions& options, bool withClassChoice)
{
    if (withClassChoice)
        if (auto* withClass = dynamic_cast<CNewFileOptionsCObject*>(&options))
            return new CNewFileDialogCObject(parent, *withClass);
    return new CNewFileDialog(parent, options);
}
