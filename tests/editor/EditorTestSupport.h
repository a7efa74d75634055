#pragma once
// What editor tests share: a reflected sample with properties of several
// real kinds, levels and categories (its rows are the real ones); a "tag"
// kind no real row knows, with a plain row (a label and one button) that
// records what the editor asks of it; a checkpoint history the edits record
// into; and a fixture over an 800 x 600 screen that opens object editors and
// closes every one it left open.

#include "../ui/MenuTestSupport.h"
#include "support/ScopedHooks.h"
#include "support/TestOnlyClasses.h"

#include "editor/CEditorCheckpointHistory.h"
#include "editor/CObjectEditor.h"
#include "editor/CPropertyEditor.h"
#include "objects/CObject.h"
#include "objects/CObjectModelHost.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CProperty.h"
#include "objects/CObjectStream.h"
#include "objects/CStringProperty.h"
#include "objects/CPropertyDeclarer.h"
#include "ui/CJButton.h"
#include "ui/CJStatic.h"
#include "ui/CJTabControl.h"

#include <string>
#include <vector>

// A whole number only the sample row shows.
class CSampleTagProperty : public CTypedProperty<int32_t> {
public:
    using CTypedProperty<int32_t>::CTypedProperty;
    void GetValueText(CObject* object, CJString& out) const override { out.Format("%d", Value(object)); }
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream*) const override
    {
        Store(object, text.ToInt());
    }
    void WriteBinary(CObject* object, CObjectStream& stream) const override
    {
        stream.WriteUint32(uint32_t(Value(object)));
    }
    bool ReadBinary(CObject* object, CObjectStream& stream) const override
    {
        uint32_t value = 0;
        if (!stream.TryReadUint32(value))
            return false;
        Value(object) = int32_t(value);
        return true;
    }
};

// Levels 0 to 5 and three categories, one of them asked for in two cases.
class CEditorSample : public CObject {
    OMBRISALT_REFLECTED(CEditorSample, CObject)
public:
    CEditorSample() { InitDeclaredProperties(); }
    ~CEditorSample() override { DestroyDeclaredProperties(); }

    void OnEditorClosed() override { ++closedCount; }
    // With a custom editor factory set, adds what it makes.
    void AddCustomEditors(CObjectEditor* editor) override
    {
        if (customEditor)
            editor->AddCustomEditor(customEditor());
    }

    int32_t m_Count = 0;      // "Count": no category, level 1
    bool m_Shown = false;     // "Look/Shown"
    CJString m_Caption;       // "look/Caption": the same tab in other letters
    float m_Speed = 0.0f;     // "Motion/Speed"
    int32_t m_Hidden = 0;     // level 0
    int32_t m_Advanced = 0;   // level 2
    int32_t m_Fixed = 0;      // level 3: shown, never enabled
    int32_t m_Ours = 0;       // level 4: shown under the named option
    int32_t m_Debugging = 0;  // level 5
    int closedCount = 0;
    CCustomEditor* (*customEditor)() = nullptr;
};

// Tag rows (sample rows) in two categories.
class CEditorTagSample : public CObject {
    OMBRISALT_REFLECTED(CEditorTagSample, CObject)
public:
    CEditorTagSample() { InitDeclaredProperties(); }
    ~CEditorTagSample() override { DestroyDeclaredProperties(); }
    void AddCustomEditors(CObjectEditor* editor) override
    {
        if (customEditor)
            editor->AddCustomEditor(customEditor());
    }

    int32_t m_Count = 0;   // "Count"
    int32_t m_Amount = 0;  // "Amount"
    int32_t m_Caption = 0; // "Look/Caption"
    void OnEditorClosed() override { ++closedCount; }
    int closedCount = 0;
    CCustomEditor* (*customEditor)() = nullptr;
};

// Tall tag rows in one category: its page needs a scroll bar on an 800 x 600
// screen (the sample row makes rows named "Tall..." 200 pixels high).
class CEditorTallSample : public CObject {
    OMBRISALT_REFLECTED(CEditorTallSample, CObject)
public:
    CEditorTallSample() { InitDeclaredProperties(); }
    ~CEditorTallSample() override { DestroyDeclaredProperties(); }

    int32_t m_First = 0;
    int32_t m_TallA = 0;
    int32_t m_TallB = 0;
    int32_t m_TallC = 0;
};

inline constexpr int32_t kTallRowHeight = 200;

// A label and one button; records what the editor asks of it.
class CSampleRow : public CPropertyEditor {
public:
    using CPropertyEditor::CPropertyEditor;

    int32_t GetExtraHeight() override
    {
        return std::string(m_Property->GetName()).rfind("Tall", 0) == 0 ? kTallRowHeight : 0;
    }
    void CreateControls(bool enabled) override
    {
        createdEnabled = enabled;
        ++createCount;
        CPropertyPane* pane = GetCategoryWindow();
        m_Button = new CJButton(pane, m_Property->GetName());
        m_Button->SetTabStop(true);
        m_Button->Enable(enabled);
        pane->AddChild(m_Button, EPlace::RightOfPrevious);
    }
    bool ApplyEdit(CJWindow* control, int32_t notification) override
    {
        if (control == m_ObjectEditor && notification == kNotifyChanged) {
            ++focusNotices;
            return false;
        }
        if (control != m_Button || !m_Button)
            return false;
        // A row whose edit changes which rows exist asks for the rebuild and
        // may still use itself afterwards.
        if (rebuildOnClick)
            RefreshObjectEditor();
        clicks.push_back(notification);
        return true;
    }
    void Enable(bool enabled) override
    {
        if (m_Button)
            m_Button->Enable(enabled);
    }
    void Refresh() override {}
    // Records each clipboard request: "copy", or "copy?" when only asked.
    bool Cut(bool testOnly) override { return Note("cut", testOnly); }
    bool Copy(bool testOnly) override { return Note("copy", testOnly); }
    bool Paste(bool testOnly) override { return Note("paste", testOnly); }
    bool Delete(bool testOnly) override { return Note("delete", testOnly); }

    CJButton* GetButton() const { return m_Button; }
    std::vector<std::string> clipboard;

    bool rebuildOnClick = false;
    bool createdEnabled = false;
    int createCount = 0;
    int focusNotices = 0;
    std::vector<int32_t> clicks;

private:
    bool Note(const char* what, bool testOnly)
    {
        clipboard.push_back(std::string(what) + (testOnly ? "?" : ""));
        return true;
    }
    CJButton* m_Button = nullptr;
};

// A preview button in its own category; records what reaches it.
class CRecordingCustomEditor : public CCustomEditor {
public:
    explicit CRecordingCustomEditor(const char* category = "Preview")
        : CCustomEditor(category)
    {
        s_Last = this;
    }
    ~CRecordingCustomEditor() override
    {
        if (s_Last == this)
            s_Last = nullptr;
    }
    void BuildControls(CPropertyPane* pane, CJWindow* lastRow, CObject* object, CObject* owner) override
    {
        builtAfter = lastRow;
        builtFor = object;
        builtOwner = owner;
        button = &pane->Add<CJButton>(lastRow ? EPlace::BelowPrevious : EPlace::TopLeft, "Play");
    }
    bool OnNotify(CJWindow* sender, int32_t code) override
    {
        notices.push_back(code);
        return sender == button;
    }
    void Update(float seconds) override { updated += seconds; }

    static inline CRecordingCustomEditor* s_Last = nullptr;
    CJWindow* builtAfter = nullptr;
    CObject* builtFor = nullptr;
    CObject* builtOwner = nullptr;
    CJButton* button = nullptr;
    std::vector<int32_t> notices;
    float updated = 0.0f;
};

// Rows for tag properties; other kinds are left to the real makers.
inline bool MakeSampleRow(CObjectEditor* editor, CObject* object, const CProperty* property,
                          const CProperty* categoryProperty, const CJString& label)
{
    if (!dynamic_cast<const CSampleTagProperty*>(property))
        return false;
    auto* row = new CSampleRow(property, categoryProperty, editor, object);
    editor->AddPropertyEditor(row, label.GetString());
    return true;
}

// The named options the object model asks for; all off unless listed.
class COptionHost : public CObjectModelHost {
public:
    bool IsNamedOptionSet(const char* name) override
    {
        for (const std::string& option : options)
            if (option == name)
                return true;
        return false;
    }
    std::vector<std::string> options;
};

// A real checkpoint history bound to one object for the scope: the edits of
// the rows record into it.
class CRecordingCheckpoints {
public:
    explicit CRecordingCheckpoints(CObject* object)
        : m_Object(object)
    {
        s_Current = this;
    }
    ~CRecordingCheckpoints() { s_Current = nullptr; }
    CRecordingCheckpoints(const CRecordingCheckpoints&) = delete;
    CRecordingCheckpoints& operator=(const CRecordingCheckpoints&) = delete;

    uint32_t Count() const { return m_History.GetCount(); }
    std::string LastName() const { return m_History.GetLastName().GetString(); }
    CEditorCheckpointHistory& History() { return m_History; }

private:
    static inline CRecordingCheckpoints* s_Current = nullptr;
    CObject* m_Object;
    CEditorCheckpointHistory m_History;
    CScopedHook<SetCheckpointHistoryCallback> m_HistorySlot{
        []() -> CEditorCheckpointHistory* { return s_Current ? &s_Current->m_History : nullptr; }};
    CScopedHook<SetCheckpointObjectCallback> m_ObjectSlot{
        []() -> CObject* { return s_Current ? s_Current->m_Object : nullptr; }};
};

class EditorTest : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        AddPropertyRowMaker(&MakeSampleRow);
        CKeyboardState::SGetInstance().ResetForTesting();
    }
    // Closes the editor before the objects it shows go.
    void TearDown() override
    {
        OpenObjectEditor(nullptr, nullptr);
        ScreenTest::TearDown();
    }

    // Opens the editor on object (owner: itself unless given).
    CObjectEditor* Open(CObject* object, CObject* owner = nullptr)
    {
        OpenObjectEditor(object, owner ? owner : object);
        return GetCurrentObjectEditor();
    }
    void Frame()
    {
        Advance(16);
        m_Screen->Update(0.016f);
    }

    // The row label of the property in the current editor, or null.
    static CJStatic* Label(CObject* object, const char* property)
    {
        const CProperty* found = object->GetClassInfo()->FindProperty(property);
        CPropertyEditor* row = found ? FindPropertyEditor(object, found, 0) : nullptr;
        return row ? dynamic_cast<CJStatic*>(row->GetRowWindow()) : nullptr;
    }
    static CSampleRow* Row(CObject* object, const char* property)
    {
        const CProperty* found = object->GetClassInfo()->FindProperty(property);
        return found ? dynamic_cast<CSampleRow*>(FindPropertyEditor(object, found, 0)) : nullptr;
    }
    static std::vector<std::string> TabTitles(const CObjectEditor& editor)
    {
        std::vector<std::string> titles;
        const CJTabControl* tabs = editor.GetTabControl();
        for (uint32_t i = 0; i < tabs->GetPageCount(); ++i)
            titles.push_back(tabs->GetPage(i)->GetTitle().GetString());
        return titles;
    }

    // Each test edits in a session of its own, current while its objects
    // are destroyed.
    CObjectEditorSession m_Session;
    CScopedHook<&CObjectEditorSession::SSetCurrent> m_SessionSlot{&m_Session};
    // Declared before any object a test makes, so they outlive its editors.
    CEditorSample m_Sample;
    CEditorSample m_Other;
    CEditorTagSample m_Tags;
    CEditorTallSample m_Tall;
};
