#pragma once
// Object editor rows that pick a class: owned objects (a class picker, with
// the object's own rows inline when the property asks) and class names.
//
// Rows write straight into the edited object. A row whose edit makes a new
// owned object rebuilds the whole object editor; that deletes the row, so it
// is always the row's last act.

#include "editor/CPropertyEditor.h"
#include "foundation/CDirectoryTree.h"
#include "foundation/CDynamicList.h"

#include <cstdint>
#include <memory>
#include <vector>

class CClassInfo;
class CJButton;
class CJComboBox;
class CJStatic;
class CPClassInfoProperty;
class CPObjectProperty;
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
    // A level of the level set edited is deleted as the sorter deletes one,
    // with its slot; false when the row holds no such level.
    bool DeleteLevelOfEditedSet();

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

// ---- Makers -------------------------------------------------------------------

// The rows of owned-object and class-name properties.
bool MakeOwnedObjectPropertyRows(CObjectEditor* editor, CObject* object, const CProperty* property,
                                 const CProperty* categoryProperty, const CJString& label);
// An owned object shown inline adds its own buttons and its properties'.
bool AddObjectPropertyButtons(CObjectEditor* editor, CObject* object, const CProperty* property);
