#pragma once
// The object editor's row for a list property: a combo box over the list
// (its folder tree when it has one) with the stored item selected, and, as
// the list, the property and the named options allow, "Edit" (the chosen
// item's own object editor), the list's extra button, "Browse" (a thumbnail
// picker), "New" and "Duplicate" (the new-file dialog) and a direct "New".
//
// A new choice is one undo checkpoint, "ListPropertyCheckpoint" and the
// property's name; choosing the stored item again takes none.
//
// The picker and the dialog outlive the row when the row's editor closes
// first (creating an item opens that item's editor, which closes this one):
// their commands reach the row through a token the row clears when it dies,
// and a dialog keeps its own new-file record.

#include "editor/CPropertyEditor.h"

#include <cstdint>
#include <memory>

class CImageBrowserFrameWindow;
class CJButton;
class CJComboBox;
class CJWindow;
class CListBoxFilter;
class CListPropertyABC;
class CNewFileOptions;
class CVirtualArray;

class CListPropertyEditor : public CPropertyEditor {
public:
    CListPropertyEditor(const CListPropertyABC* property, const CProperty* categoryProperty, CObjectEditor* editor,
                        CObject* object);
    ~CListPropertyEditor() override;

    void CreateControls(bool enabled) override;
    bool ApplyEdit(CJWindow* control, int32_t notification) override;
    // The combo box and "Browse"; "Edit" and the extra button stay usable.
    void Enable(bool enabled) override;
    void Refresh() override;

    // The picker's "Select": its item becomes the choice.
    void SelectFromBrowser(int32_t item);
    // The dialog made the file described by options.
    void OnFileCreated(CNewFileOptions& options);

    CVirtualArray* GetList() const;
    // The index the object holds.
    int32_t GetValue() const;
    const CListPropertyABC* GetListProperty() const { return m_ListProperty; }
    bool RebuildsOnChange() const { return m_RebuildOnChange; }
    CJComboBox* GetComboBox() const { return m_Combo; }
    CJButton* GetEditButton() const { return m_EditButton; }
    CJButton* GetExtraButton() const { return m_ExtraButton; }
    CJButton* GetCreateButton() const { return m_CreateButton; }
    CJButton* GetNewButton() const { return m_NewButton; }
    CJButton* GetDuplicateButton() const { return m_DuplicateButton; }
    CJButton* GetBrowseButton() const { return m_BrowseButton; }
    // The picker "Browse" opened, until it selects; it may have closed.
    CImageBrowserFrameWindow* GetOpenBrowser() const { return m_Browser; }

private:
    // A choice from the combo box (its change notice).
    void Choose(int32_t index);
    void Store(int32_t index);
    void OpenBrowser();
    void OpenNewFileDialog(bool duplicate);
    // The list and its factory allow thumbnails.
    bool CanBrowse();
    CJButton* AddButton(const char* title, bool enabled);
    // The item object and its owner to open after creating index.
    void OpenCreatedItem(int32_t index);

    const CListPropertyABC* m_ListProperty;
    CJComboBox* m_Combo = nullptr;
    CJButton* m_EditButton = nullptr;
    CJButton* m_ExtraButton = nullptr;
    CJButton* m_CreateButton = nullptr;
    CJButton* m_NewButton = nullptr;
    CJButton* m_DuplicateButton = nullptr;
    CJButton* m_BrowseButton = nullptr;
    CImageBrowserFrameWindow* m_Browser = nullptr;
    bool m_RebuildOnChange = false;
    bool m_ShowEditButton = true;
    bool m_ShowCreateButtons = true;
    std::unique_ptr<CNewFileOptions> m_NewFileOptions;
    std::unique_ptr<CListBoxFilter> m_Filter;
    // Cleared when the row dies; the picker's and dialog's commands hold it.
    std::shared_ptr<CListPropertyEditor*> m_Token;
};

// The row maker for every CListPropertyABC.
bool MakeListPropertyEditors(CObjectEditor* editor, CObject* object, const CProperty* property,
                             const CProperty* categoryProperty, const CJString& label);
