#pragma once
// One row of the object editor, bound to one property of one object. Each
// kind of property has its row class; the object editor makes the rows
// through the row makers below, places each row's label, then asks the row
// for its controls once every label exists. Writes go straight into the
// object; the row tells the object of each edit.

#include "foundation/CJString.h"

#include <cstdint>

class CJWindow;
class CObject;
class CObjectEditor;
class CProperty;
class CPropertyPane;

class CPropertyEditor {
public:
    // categoryProperty: the top-level property whose category places the
    // row (rows for members of an embedded object keep the outer one).
    CPropertyEditor(const CProperty* property, const CProperty* categoryProperty, CObjectEditor* editor,
                    CObject* object);
    CPropertyEditor(const CPropertyEditor&) = delete;
    CPropertyEditor& operator=(const CPropertyEditor&) = delete;
    virtual ~CPropertyEditor() = default;

    // The row's height; 0 keeps the label's own.
    virtual int32_t GetExtraHeight() { return 0; }
    virtual void CreateControls(bool enabled) = 0;
    // A notification from one of the row's controls; true when handled.
    virtual bool ApplyEdit(CJWindow* control, int32_t notification) = 0;
    // Clipboard: with testOnly, only whether the operation would do something.
    virtual bool Cut(bool testOnly);
    virtual bool Copy(bool testOnly);
    virtual bool Paste(bool testOnly);
    virtual bool Delete(bool testOnly);
    virtual bool SupportsClipboard() { return false; }
    virtual void Enable(bool enabled) = 0;
    // Shows the object's current value in the controls.
    virtual void Refresh() = 0;

    // Asks the object editor to rebuild its rows.
    void RefreshObjectEditor();
    // The object editor's own object is told, with the category property.
    void NotifyObjectOfEdit();
    // The pane of the row's category, where its controls go.
    CPropertyPane* GetCategoryWindow() const;

    CJWindow* GetRowWindow() const { return m_RowWindow; }
    void SetRowWindow(CJWindow* window) { m_RowWindow = window; }
    CObjectEditor* GetObjectEditor() const { return m_ObjectEditor; }
    CObject* GetObject() const { return m_Object; }
    const CProperty* GetProperty() const { return m_Property; }
    const CProperty* GetCategoryProperty() const { return m_CategoryProperty; }

protected:
    CJWindow* m_RowWindow = nullptr; // the row label; null without a row
    CObjectEditor* m_ObjectEditor;
    CObject* m_Object;
    const CProperty* m_Property;
    const CProperty* m_CategoryProperty;
};

// Row makers: each knows some kinds of property. The object editor offers a
// property to each maker in turn, the last added first, until one makes its
// rows (answers true);
// a property no maker knows gets no row. Makers are added at start-up by
// RegisterEditorClasses.
using PropertyRowMaker = bool (*)(CObjectEditor* editor, CObject* object, const CProperty* property,
                                  const CProperty* categoryProperty, const CJString& label);
// Buttons a property adds to the editor after its rows; true when it did.
using PropertyButtonMaker = bool (*)(CObjectEditor* editor, CObject* object, const CProperty* property);
void AddPropertyRowMaker(PropertyRowMaker maker);
void AddPropertyButtonMaker(PropertyButtonMaker maker);
// The makers' answer for one property (CProperty's create-editor and
// add-editor-buttons operations).
void CreatePropertyEditors(CObjectEditor* editor, CObject* object, const CProperty* property,
                           const CProperty* categoryProperty, const CJString& label);
void AddPropertyEditorButtons(CObjectEditor* editor, CObject* object, const CProperty* property);
