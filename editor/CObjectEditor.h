#pragma once
// The object editor: one window through which any reflected object is
// inspected and edited, built from its class information. Every visible
// property gets a row (CPropertyEditor), grouped by category into tab pages;
// classes may add custom editors (previews) and buttons. The window saves
// the owner object to its file when it closes. At most one exists at a
// time: the session (CObjectEditorSession) knows it, keeps the back history
// of the objects edited in turn and holds editors closed during their own
// input until that input is done.

#include "foundation/CJString.h"
#include "foundation/CList.h"
#include "ui/CJFrameWindow.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CJButton;
class CJMenuBar;
class CJStatic;
class CJTabControl;
class CObject;
class CObjectEditor;
class CProperty;
class CPropertyEditor;

// The page of one category: a window titled with the category name.
class CPropertyPane : public CJSolidWindow {
public:
    CPropertyPane(CObjectEditor* editor, const char* title);
    CObjectEditor* GetObjectEditor() const { return m_ObjectEditor; }

    void Draw(CFrameInterface& frame) override;
    bool OnMouseDown(uint32_t button, CPoint point) override;

private:
    CObjectEditor* m_ObjectEditor;
};

struct CObjectEditorCatagory {
    const char* name = nullptr; // the property's category text, not copied
    CJWindow* firstRow = nullptr;
    CJWindow* lastRow = nullptr;
    CPropertyPane* pane = nullptr;
};

// A preview or tool a class puts beside its property rows.
class CCustomEditor {
public:
    // category null: "General".
    explicit CCustomEditor(const char* category) : m_Category(category) {}
    CCustomEditor(const CCustomEditor&) = delete;
    CCustomEditor& operator=(const CCustomEditor&) = delete;
    virtual ~CCustomEditor() = default;

    // lastRow: the last row window of the category, or null.
    virtual void BuildControls(CPropertyPane* pane, CJWindow* lastRow, CObject* object, CObject* owner) = 0;
    virtual bool OnNotify(CJWindow* /*sender*/, int32_t /*code*/) { return false; }
    virtual void Update(float /*seconds*/) {}
    const char* GetCategory() const { return m_Category; }

private:
    const char* m_Category;
};

class CObjectEditor : public CJFrameWindow {
public:
    static constexpr uint32_t kHistorySize = 100;
    static constexpr const char* kSettingsKey = "Property Window";

    // owner: the object whose file is saved and whose writability decides
    // whether editing is allowed (the object itself at top level, or null).
    CObjectEditor(CObject* object, CObject* owner);
    ~CObjectEditor() override;

    // Closes and reopens this editor on the same objects; rows call it when
    // an edit changes which rows exist. The old editor, with the row that
    // asked, stays alive (hidden) until the input being handled is done.
    void Rebuild();

    // Every row maker hands its rows here; answers the row label (null when
    // the row has none).
    CJWindow* AddPropertyEditor(CPropertyEditor* editor, const char* label);
    CJStatic* AddPropertyLabel(CObjectEditorCatagory* category, const CJString& label,
                               const CJString& description, int32_t rowHeight);
    // Empty or null: "General"; matched ignoring case; made when missing.
    CObjectEditorCatagory* GetCategory(const char* name);
    void AddCustomEditor(CCustomEditor* editor);
    CPropertyPane* GetPropertyEditorCategoryPane(const CPropertyEditor* editor);
    void FocusPropertyEditor(CPropertyEditor* editor);
    // Extra space above the next label row.
    void AddRowGap(int32_t pixels) { m_RowGap += pixels; }

    // Every row shows the object's value again: it changed outside the rows.
    void RefreshRows();
    CObject* GetEditedObject() const { return m_Object; }
    CObject* GetOwnerObject() const { return m_Owner; }
    bool CanEdit() const { return m_CanEdit; }

    void GoBack();
    void BrowseAssetDependencies();
    bool CanBrowseAssetDependencies();
    void InsertProperty(uint32_t index);
    // Whether the dynamic property at index may be inserted now.
    bool CanInsertProperty(uint32_t index);
    // Drops the object's value for the dynamic property at index.
    void RemoveProperty(uint32_t index);

    // For callers and tests.
    CJMenuBar* GetMenuBar() const { return m_MenuBar; }
    CJTabControl* GetTabControl() const { return m_TabControl; }
    CJButton* GetBackButton() const { return m_BackButton; }
    const CList<CPropertyEditor*>& GetPropertyEditors() const { return m_PropertyEditors; }
    const CList<CCustomEditor*>& GetCustomEditors() const { return m_CustomEditors; }
    const CList<CObjectEditorCatagory*>& GetCategories() const { return m_Categories; }
    // The row of the selected page's focused window: the nearest row label
    // at or before it among the page's children; null without pages.
    CPropertyEditor* GetFocusedPropertyEditor();

    void Update(float seconds) override;
    void OnNotify(CJWindow* sender, int32_t code) override;
    bool OnKeyDown(uint32_t key) override;
    bool OnHotKey(uint32_t key) override;
    bool OnMouseDown(uint32_t button, CPoint point) override;
    bool ClipboardCut(intptr_t arg) override;
    bool ClipboardCopy(intptr_t arg) override;
    bool ClipboardPaste(intptr_t arg) override;
    bool ClipboardDelete(intptr_t arg) override;
    void SetRect(const CRect& rect) override;

    // Closed, but kept (hidden) until its next update because the close
    // came from inside its own input handling.
    bool IsRetired() const { return m_Retired; }

    // Closes the current editor: at once, or retired when the close comes
    // from inside an editor's own input handling.
    static void CloseCurrent();
    // Its object or owner is being destroyed: closes without telling or
    // saving it.
    void Abandon();
    // The program is ending: finishes as a close does; a refusal of the save
    // is answered, for the end's box, rather than told.
    CJString FinishAtProgramEnd();

private:
    void BuildEditMenu();
    void PlaceTabControl(uint32_t tabIndex, int32_t scrollY);
    void MakeTitle();
    // Everything a close does but freeing the window: the object is told,
    // the owner saved, the history entry updated, the editor no longer
    // current. Runs once.
    void FinishEditing(CJString* endRefusal = nullptr);
    void Retire();
    CPropertyEditor* FindFocusedPropertyEditor();

    CJMenuBar* m_MenuBar = nullptr;
    int32_t m_RowGap = 0;
    CObject* m_Object;
    CObject* m_Owner;
    bool m_CanEdit = false;
    CList<CPropertyEditor*> m_PropertyEditors;
    CList<CCustomEditor*> m_CustomEditors;
    CPropertyEditor* m_LastFocused = nullptr; // compared only
    CList<CObjectEditorCatagory*> m_Categories;
    CJButton* m_BackButton = nullptr;
    CJTabControl* m_TabControl = nullptr;
    CJString m_FileName;
    // The owner as written when the editor opened: a close that changed
    // nothing leaves the owner's file alone.
    std::string m_OwnerTextAtOpen;
    bool m_Finished = false;
    bool m_Retired = false;
    // Typed characters reach the rows only once the designer has chosen one
    // (a click, Tab, a hot key, a focused row, a rebuild): until then the
    // hot keys of the windows behind stay hot keys, the one that opened
    // this editor included, and type nothing into its first field.
    bool m_RowsHaveKeyboard = false;
};

// The object editors' session: the editor open now, the back history and
// the editors closed during their own input, waiting to be freed. The
// program has one for its whole run; a test makes its own and makes it
// current for its scope.
class CObjectEditorSession {
public:
    struct SHistoryEntry {
        CObject* object = nullptr;
        CObject* owner = nullptr;
        uint32_t tab = 0;
        int32_t scrollY = 0;
    };

    CObjectEditorSession() = default;
    CObjectEditorSession(const CObjectEditorSession&) = delete;
    CObjectEditorSession& operator=(const CObjectEditorSession&) = delete;

    // The program's own session unless another is made current.
    static CObjectEditorSession& SGetCurrent();
    // Answers the one it replaces; null makes the program's own current.
    static CObjectEditorSession* SSetCurrent(CObjectEditorSession* session);

    CObjectEditor* GetCurrentEditor() const { return m_Current; }
    void SetCurrentEditor(CObjectEditor* editor) { m_Current = editor; }
    // Only while it is the current editor.
    void ClearCurrentEditor(const CObjectEditor* editor);

    // The newest entry; null when empty.
    SHistoryEntry* GetLastEntry() { return m_HistoryCount ? &m_History[m_HistoryCount - 1] : nullptr; }
    uint32_t GetHistoryCount() const { return m_HistoryCount; }
    // A full history drops its oldest entry.
    void Push(const SHistoryEntry& entry);
    // Drops the newest entry and answers the one before; false with fewer
    // than two.
    bool StepBack(SHistoryEntry& previous);
    // Empties the history when any entry holds the object.
    void Forget(const CObject* object);

    // Input handling inside object editors: a close asked for there must
    // not free the windows still on the call stack.
    bool IsHandlingInput() const { return m_InputDepth > 0; }
    bool IsRebuilding() const { return m_Rebuilding; }
    void SetRebuilding(bool rebuilding) { m_Rebuilding = rebuilding; }

    void Retire(CObjectEditor* editor) { m_Retired.push_back(editor); }
    // Its destructor calls it.
    void Unretire(const CObjectEditor* editor);
    // Frees the retired editors, unless input is being handled.
    void DestroyRetired();

    // Counts input handling for its scope.
    class CInputScope {
    public:
        CInputScope() : m_Session(SGetCurrent()) { ++m_Session.m_InputDepth; }
        ~CInputScope() { --m_Session.m_InputDepth; }
        CInputScope(const CInputScope&) = delete;
        CInputScope& operator=(const CInputScope&) = delete;

    private:
        CObjectEditorSession& m_Session;
    };

private:
    CObjectEditor* m_Current = nullptr;
    std::array<SHistoryEntry, CObjectEditor::kHistorySize> m_History{};
    uint32_t m_HistoryCount = 0;
    int32_t m_InputDepth = 0;
    bool m_Rebuilding = false;
    std::vector<CObjectEditor*> m_Retired;
};

// Closes the current editor, then opens one on object (null: only closes).
// Inside the level editor the new one is its front child, else the root
// window's.
void OpenObjectEditor(CObject* object, CObject* owner);
// The same without the null test: rebuilds in place.
void ReopenObjectEditor(CObject* object, CObject* owner);
CObjectEditor* GetCurrentObjectEditor();
CObject* GetCurrentObjectEditorObject();
// The n-th (from 0) row of the current editor on that object and property.
CPropertyEditor* FindPropertyEditor(CObject* object, const CProperty* property, uint32_t n);
// An object being destroyed or replaced that any back history entry holds
// empties the history, so Back never opens a freed object. Every object
// destroyed comes here through the object model's destruction listener.
void ForgetEditedObject(CObject* object);
uint32_t GetObjectEditorHistoryCount();
// Fills the editor hooks of the layers below; RegisterEditorClasses calls it.
void InstallObjectEditorHooks();
// Rows for the values an object holds for dynamic properties, each under
// its own name and in its own category ("Dynamic Properties" has no row).
bool MakeDynamicValueRows(CObjectEditor* editor, CObject* object, const CProperty* property,
                          const CProperty* categoryProperty, const CJString& label);
