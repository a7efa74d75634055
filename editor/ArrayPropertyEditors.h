#pragma once
// Object editor rows for arrays: a count row for a resizable array, the
// elements' own rows, and an add row.
//
// Rows write straight into the edited object. A row whose edit adds or
// removes a slot rebuilds the whole object editor; that deletes the row, so
// it is always the row's last act.

#include "editor/CPropertyEditor.h"

#include <cstdint>

class CJButton;
class CJStatic;
class CPropertyArrayProperty;

// ---- Arrays -------------------------------------------------------------------

// The count of a resizable array, and insertion and deletion at the element
// whose row has the focus.
class CTopArrayPropertyEditor : public CPropertyEditor {
public:
    CTopArrayPropertyEditor(const CPropertyArrayProperty* property, const CProperty* categoryProperty,
                            CObjectEditor* editor, CObject* object);

    void CreateControls(bool enabled) override;
    bool ApplyEdit(CJWindow* control, int32_t notification) override;
    void Enable(bool enabled) override;
    void Refresh() override;

    // The element whose row had the focus at the last focus change; -1: none.
    int32_t GetRememberedIndex() const { return m_Index; }
    CJStatic* GetCountText() const { return m_CountText; }
    CJButton* GetInsertButton() const { return m_InsertButton; }
    CJButton* GetDeleteButton() const { return m_DeleteButton; }

private:
    // The element a row edits; -1 when it edits none of this array's.
    int32_t ElementOf(const CPropertyEditor* row) const;
    void UpdateButtons();
    // Rebuilds the editor and focuses the element's row.
    void RebuildAndFocus(int32_t index);

    const CPropertyArrayProperty* m_ArrayProperty;
    bool m_Enabled = true;
    int32_t m_Index = -1;
    CJStatic* m_CountText = nullptr;
    CJButton* m_InsertButton = nullptr;
    CJButton* m_DeleteButton = nullptr;
};

// "<new element slot>": appends an element.
class CAddNewElementPropertyEditor : public CPropertyEditor {
public:
    CAddNewElementPropertyEditor(const CPropertyArrayProperty* property, const CProperty* categoryProperty,
                                 CObjectEditor* editor, CObject* object);

    void CreateControls(bool enabled) override;
    bool ApplyEdit(CJWindow* control, int32_t notification) override;
    void Enable(bool enabled) override;
    void Refresh() override {}

    CJButton* GetButton() const { return m_Button; }

private:
    const CPropertyArrayProperty* m_ArrayProperty;
    CJButton* m_Button = nullptr;
};

// Focuses the row of element index of the array on object in the current
// editor (its first row); false when there is none.
bool FocusArrayElementRow(CObject* object, const CPropertyArrayProperty* property, int32_t index);

// The rows of array properties.
bool MakeArrayPropertyRows(CObjectEditor* editor, CObject* object, const CProperty* property,
                           const CProperty* categoryProperty, const CJString& label);
