#pragma once
// The new-file dialog: the user confirms the folder (location, below the
// record's base folder), names the file and, for object lists offering
// several classes, picks the class. Save checks the name, refuses to
// overwrite (an existing file of the same name in any case), refuses a
// location that climbs out of the base folder, and offers to create a
// missing folder; on success the record holds the relative path and its
// created command runs. Every refusal keeps the dialog open with the input
// in place; nothing is made on disk but the folder the user asked for.

#include "foundation/CDynamicList.h"
#include "ui/CJFrameWindow.h"

#include <vector>

class CClassInfo;
class CJButton;
class CJComboBox;
class CJEdit;
class CJStatic;
class CNewFileOptions;
class CNewFileOptionsCObject;

class CNewFileDialog : public CJFrameWindow {
public:
    // The record is not owned; it must outlive the dialog.
    CNewFileDialog(CJWindow* parent, CNewFileOptions& options);

    // Enter presses the focused button (accepts from an edit) and Escape
    // closes, when the window's own handling declines the key.
    bool OnKeyDown(uint32_t key) override;
    // "Cancel" closes, "Save" accepts.
    void OnNotify(CJWindow* sender, int32_t code) override;

    // The edits into the record, location and name trimmed.
    virtual void ReadFields();
    // True when the file was accepted (the created command ran and the
    // dialog closes); otherwise a box says why.
    virtual bool Accept();
    virtual void CreateFolderAndAccept();

    CNewFileOptions& GetOptions() const { return m_Options; }
    CJEdit* GetLocationEdit() const { return m_LocationEdit; }
    CJEdit* GetNameEdit() const { return m_NameEdit; }
    CJEdit* GetExtensionEdit() const { return m_ExtensionEdit; }
    CJButton* GetSaveButton() const { return m_SaveButton; }
    CJButton* GetCancelButton() const { return m_CancelButton; }

protected:
    void ShowError(const CJString& text);

    CNewFileOptions& m_Options;
    CJStatic* m_LocationLabel = nullptr;
    CJEdit* m_LocationEdit = nullptr;
    CJStatic* m_NameLabel = nullptr;
    CJEdit* m_NameEdit = nullptr;
    CJStatic* m_ExtensionLabel = nullptr;
    CJEdit* m_ExtensionEdit = nullptr;
    CJButton* m_SaveButton = nullptr;
    CJButton* m_CancelButton = nullptr;
    CJStatic* m_LastLabel = nullptr; // where further rows go
};

// The dialog of an object list's record: with two or more classes to offer
// (derived from the record's base class, not flagged out of the choice) and
// no template object, a "Class:" row picks the class to create.
class CNewFileDialogCObject : public CNewFileDialog {
public:
    CNewFileDialogCObject(CJWindow* parent, CNewFileOptionsCObject& options);

    // A new choice in the class row becomes the record's chosen class.
    void OnNotify(CJWindow* sender, int32_t code) override;

    CJComboBox* GetClassCombo() const { return m_ClassCombo; }
    // The offered classes in registry order.
    const std::vector<CClassInfo*>& GetOfferedClasses() const { return m_OfferedClasses; }

private:
    CNewFileOptionsCObject& m_ClassOptions;
    CJStatic* m_ClassLabel = nullptr;
    CJComboBox* m_ClassCombo = nullptr;
    CDynamicList m_ClassNames; // value: index into m_OfferedClasses
    std::vector<CClassInfo*> m_OfferedClasses;
};

// The factory the object model's record asks for its dialog.
CJWindow* MakeNewFileDialog(CJWindow* parent, CNewFileOptions& options, bool withClassChoice);
