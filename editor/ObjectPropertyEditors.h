#pragma once
// Object editor rows for the container and special property kinds: owned
// objects (a class picker, with the object's own rows inline when the
// property asks), class names, arrays (a count row, the elements' own rows
// and an add row), points and colours (a spin per component, and a colour
// spot that opens the colour picker).
//
// Rows write straight into the edited object. Rows whose edit changes which
// rows exist (a new owned object, an array slot more or less) rebuild the
// whole object editor; that deletes the row, so it is always the row's last
// act.

#include "blit/CColor.h"
#include "editor/CPropertyEditor.h"
#include "foundation/CDirectoryTree.h"
#include "foundation/CDynamicList.h"
#include "ui/CJWindow.h"

#include <cstdint>
#include <memory>
#include <vector>

class CClassInfo;
class CColorProperty;
class CCommand;
class CFPointProperty;
class CJButton;
class CJComboBox;
class CJSpin;
class CJStatic;
class CPClassInfoProperty;
class CPObjectProperty;
class CPointProperty;
class CPropertyArrayProperty;
class CTranslator;

// The required class's short name: its name without prefix, less a trailing
// "ABC" or "Base".
CJString GetClassShortName(const CClassInfo* info);
// The first non-empty text an object holds in a dynamic text property; empty
// when it has none (or no object).
CJString GetObjectNoteText(CObject* object);

// ---- Owned objects ----------------------------------------------------------

class CPObjectPropertyEditor : public CPropertyEditor {
public:
    // typeRow: the row above an inline object's own rows (never deletes).
    CPObjectPropertyEditor(const CPObjectProperty* property, const CProperty* categoryProperty, CObjectEditor* editor,
                           CObject* object, bool typeRow);
    ~CPObjectPropertyEditor() override;

    void CreateControls(bool enabled) override;
    bool ApplyEdit(CJWindow* control, int32_t notification) override;
    bool SupportsClipboard() override { return true; }
    bool Copy(bool testOnly) override;
    bool Paste(bool testOnly) override;
    bool Delete(bool testOnly) override;
    void Enable(bool enabled) override;
    void Refresh() override;

    CObject* GetOwnedObject() const;
    bool MayDelete() const;
    // The class of entry i of the class list (null for "(none)").
    CClassInfo* GetListedClass(int32_t i) const;
    int32_t GetListedClassCount() const { return int32_t(m_Classes.size()); }
    bool IsFullListShown() const { return m_FullList; }
    // The translators offered for the current object, in menu order (the
    // menu's first entry is its caption).
    const std::vector<const CTranslator*>& GetOfferedTranslators() const { return m_Translators; }

    CJComboBox* GetClassCombo() const { return m_Combo; }
    CJButton* GetOpenButton() const { return m_OpenButton; }
    CJButton* GetDeleteButton() const { return m_DeleteButton; }
    CJStatic* GetNoteText() const { return m_NoteText; }
    CJComboBox* GetConvertMenu() const { return m_ConvertMenu; }
    CJButton* GetMoreButton() const { return m_MoreButton; }

private:
    void FillClassList();
    void FillConvertMenu();
    void SelectCurrentClass();
    // A new object of info made from the current one (null for null).
    CObject* Convert(CClassInfo* info);
    // Stores value (taking it) and rebuilds the editor.
    void Replace(CObject* value);

    const CPObjectProperty* m_ObjectProperty;
    bool m_TypeRow;
    bool m_Enabled = true;
    bool m_FullList = false;
    CJComboBox* m_Combo = nullptr;
    CJButton* m_OpenButton = nullptr;
    CJButton* m_DeleteButton = nullptr;
    CJStatic* m_NoteText = nullptr;
    CJComboBox* m_ConvertMenu = nullptr;
    CJButton* m_MoreButton = nullptr;
    CDynamicList m_ClassPaths;
    std::vector<CClassInfo*> m_Classes;
    std::unique_ptr<CDirectoryTree> m_ClassTree;
    CDynamicList m_ConvertLabels;
    std::vector<const CTranslator*> m_Translators;
    std::unique_ptr<CDirectoryTree> m_ConvertTree;
};

// ---- Class names --------------------------------------------------------------

class CPClassInfoPropertyEditor : public CPropertyEditor {
public:
    CPClassInfoPropertyEditor(const CPClassInfoProperty* property, const CProperty* categoryProperty,
                              CObjectEditor* editor, CObject* object);
    ~CPClassInfoPropertyEditor() override;

    void CreateControls(bool enabled) override;
    bool ApplyEdit(CJWindow* control, int32_t notification) override;
    bool SupportsClipboard() override { return true; }
    bool Copy(bool testOnly) override;
    bool Paste(bool testOnly) override;
    bool Delete(bool testOnly) override;
    void Enable(bool enabled) override;
    void Refresh() override;

    CJComboBox* GetCombo() const { return m_Combo; }
    // Entry i's class; null for "(none)".
    CClassInfo* GetListedClass(int32_t i) const;
    int32_t GetListedClassCount() const { return int32_t(m_Classes.size()); }

private:
    CClassInfo* GetValue() const;
    void SetValue(CClassInfo* info);
    int32_t IndexOf(const CClassInfo* info) const;

    const CPClassInfoProperty* m_ClassProperty;
    bool m_Enabled = true;
    CJComboBox* m_Combo = nullptr;
    CDynamicList m_DisplayNames;
    std::vector<CClassInfo*> m_Classes; // parallel to the display names
};

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

// ---- Points -------------------------------------------------------------------

// "X:" and a spin, "Y:" and a spin; the integer and float kinds share it.
class CPointPropertyEditorBase : public CPropertyEditor {
public:
    using CPropertyEditor::CPropertyEditor;

    void CreateControls(bool enabled) override;
    bool ApplyEdit(CJWindow* control, int32_t notification) override;
    bool SupportsClipboard() override { return true; }
    // Refused while the row is disabled; the object is told of a change.
    bool Paste(bool testOnly) override;
    bool Delete(bool testOnly) override;
    void Enable(bool enabled) override;

    CJSpin* GetXSpin() const { return m_X; }
    CJSpin* GetYSpin() const { return m_Y; }

protected:
    virtual void Commit() = 0;

    CJSpin* m_X = nullptr;
    CJSpin* m_Y = nullptr;
    bool m_Enabled = true;
};

class CPointPropertyEditor : public CPointPropertyEditorBase {
public:
    CPointPropertyEditor(const CPointProperty* property, const CProperty* categoryProperty, CObjectEditor* editor,
                         CObject* object);
    void Refresh() override;

protected:
    void Commit() override;

private:
    const CPointProperty* m_PointProperty;
};

class CFPointPropertyEditor : public CPointPropertyEditorBase {
public:
    CFPointPropertyEditor(const CFPointProperty* property, const CProperty* categoryProperty, CObjectEditor* editor,
                          CObject* object);
    void Refresh() override;

protected:
    void Commit() override;

private:
    const CFPointProperty* m_PointProperty;
};

// ---- Colours ------------------------------------------------------------------

// A 22 by 22 swatch of a colour it does not own; a left press runs its
// command (owned).
class CColorSpot : public CJWindow {
public:
    CColorSpot(CJWindow* parent, const CColor* colour, CCommand* command);
    ~CColorSpot() override;

    void Draw(CFrameInterface& frame) override;
    bool OnMouseDown(uint32_t button, CPoint point) override;
    CCursorSequence* GetCursor(CPoint point) override;

    const CColor* GetColor() const { return m_Colour; }

private:
    const CColor* m_Colour;
    CCommand* m_Command;
};

class CColorPropertyEditor;
// Opens a colour picker for the row beside it and answers the picker window
// (null: none opened). The picker's pick command calls the row's
// ApplyPickedColor with the colour picked. Filled in by the colour picker's
// start-up; without one the spot opens nothing.
using ColorPickerOpener = CJWindow* (*)(CColorPropertyEditor& row);
// Answers the opener it replaces.
ColorPickerOpener SetColorPickerOpener(ColorPickerOpener opener);

class CColorPropertyEditor : public CPropertyEditor {
public:
    CColorPropertyEditor(const CColorProperty* property, const CProperty* categoryProperty, CObjectEditor* editor,
                         CObject* object);
    // Closes an open picker.
    ~CColorPropertyEditor() override;

    void CreateControls(bool enabled) override;
    bool ApplyEdit(CJWindow* control, int32_t notification) override;
    bool SupportsClipboard() override { return true; }
    // Refused while the row is disabled; the object is told of a change.
    bool Paste(bool testOnly) override;
    bool Delete(bool testOnly) override;
    void Enable(bool enabled) override;
    void Refresh() override;

    // The spot's command: opens one picker (none while one is open).
    void OpenPicker();
    // A colour from the picker, stored as a spin edit is.
    void ApplyPickedColor(const CColor& colour);
    // The value shown in the row.
    const CColor& GetColor() const;
    CJWindow* GetPicker() const { return m_Picker; }
    // Told by the picker's close notification.
    void ForgetPicker() { m_Picker = nullptr; }

    CJSpin* GetSpin(int32_t component) const { return component >= 0 && component < 4 ? m_Spins[component] : nullptr; }
    CColorSpot* GetSpot() const { return m_Spot; }

private:
    void Store(const CColor& colour);
    void Commit();

    const CColorProperty* m_ColorProperty;
    CJSpin* m_Spins[4] = {nullptr, nullptr, nullptr, nullptr}; // red, green, blue, alpha (with alpha only)
    CColorSpot* m_Spot = nullptr;
    CJWindow* m_Picker = nullptr;
    bool m_Enabled = true;
    // What the picker's close notification reaches the row through; emptied
    // when the row goes first.
    std::shared_ptr<CColorPropertyEditor*> m_Link;
};

// ---- Makers -------------------------------------------------------------------

// The rows of owned-object, array, point, colour and class-info properties.
bool MakeObjectPropertyRows(CObjectEditor* editor, CObject* object, const CProperty* property,
                            const CProperty* categoryProperty, const CJString& label);
// An owned object shown inline adds its own buttons and its properties'.
bool AddObjectPropertyButtons(CObjectEditor* editor, CObject* object, const CProperty* property);
