#include "editor/CObjectEditor.h"

#include "editor/CAssetDependencyBrowser.h"
#include "editor/CImageBrowserFrameWindow.h"
#include "editor/CLevelEditorWindow.h"
#include "editor/CPropertyEditor.h"
#include "editor/EditorCommands.h"
#include "game/screens/LevelNumberedData.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLevelSorter.h"
#include "images/CFont.h"
#include "objects/CClassInfo.h"
#include "objects/CDynamicPropertyProperty.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CFileListList.h"
#include "objects/CObject.h"
#include "objects/CProperty.h"
#include "objects/CSlotProperty.h"
#include "objects/CommentProperty.h"
#include "objects/ObjectFileCallbacks.h"
#include "shell/CGameBase.h"
#include "shell/CKeyboardState.h"
#include "ui/CJButton.h"
#include "ui/CJMenu.h"
#include "ui/CJScrollBar.h"
#include "ui/CJStatic.h"
#include "ui/CJTabControl.h"
#include "ui/CScreenWindow.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kGeneralCategory = "General";
constexpr const char* kLabelWidthSample = "Max Name Length 1234567890:";
// Panes taller than the screen less this get a scroll bar.
constexpr int32_t kPaneScreenReserve = 140;
// Likewise wider (a full-screen picture's preview), for the frame and tab borders.
constexpr int32_t kPaneScreenReserveX = 40;
constexpr uint32_t kBackHotKey = 11;

using SHistoryEntry = CObjectEditorSession::SHistoryEntry;
using CInputScope = CObjectEditorSession::CInputScope;

CObjectEditorSession* g_ObjectEditorSession = nullptr;

CObjectEditorSession& Session()
{
    return CObjectEditorSession::SGetCurrent();
}

bool IsVisibleLevel(const CProperty* property)
{
    const int32_t level = property->GetEffectiveLevel();
    return level >= 1 && level <= 3;
}

std::string WrittenForm(CObject* object)
{
    uint32_t size = 0;
    uint8_t* data = WriteObjectToMemory(object, size);
    std::string text(reinterpret_cast<const char*>(data), data ? size : 0);
    std::free(data);
    return text;
}

// The category text of the property that places the row; it lives as long
// as the class, so categories may point at it.
const char* CategoryName(const CPropertyEditor* editor)
{
    const CProperty* property = editor->GetCategoryProperty() ? editor->GetCategoryProperty() : editor->GetProperty();
    return property ? property->GetCategory().GetString() : nullptr;
}

CJWindow* SiblingBefore(CJWindow* window)
{
    if (window->GetPrevSibling())
        return window->GetPrevSibling();
    return window->GetParent() ? window->GetParent()->GetLastChild() : nullptr;
}

CJWindow* SiblingAfter(CJWindow* window)
{
    if (window->GetNextSibling())
        return window->GetNextSibling();
    return window->GetParent() ? window->GetParent()->GetFirstChild() : nullptr;
}

bool IsRowLabel(const CObjectEditor& editor, const CJWindow* window)
{
    for (CPropertyEditor* row : editor.GetPropertyEditors())
        if (row->GetRowWindow() == window)
            return true;
    return false;
}

// The first window after the label that takes the focus, among the row's
// own controls (those before the next row label): a row without one must
// not hand the focus to the next row's.
CJWindow* FirstFocusableOfRow(const CObjectEditor& editor, CJWindow* label)
{
    for (CJWindow* window = SiblingAfter(label); window && window != label; window = SiblingAfter(window)) {
        if (IsRowLabel(editor, window))
            return nullptr;
        if (window->IsTabStop() && window->IsVisible())
            return window;
    }
    return nullptr;
}

// A row's band: its label's height widened by half the pane's vertical gap
// above and below, across the pane.
bool BandContains(const CPropertyPane& pane, const CJWindow& label, CPoint point)
{
    const int32_t half = pane.GetSpacingY() / 2;
    const CRect& r = label.GetRect();
    return point.y >= r.top - half && point.y < r.bottom + half && point.x >= 0 && point.x < pane.GetContentWidth();
}

void ReportFailedSave(const CJString& fileName, EditWaitsFor waits)
{
    const CJString text(FailedSaveMessage(fileName, CGameBase::SIsShuttingDown(), waits));
    if (CScreenWindow* screen = CScreenWindow::GetScreenWindow()) {
        screen->ShowMessageBox(CJString("Error"), text);
        return;
    }
    std::fprintf(stderr, "Error: %s\n", text.GetString());
}

class CObjectEditorSorterHooks : public CLevelSorterHooks {
public:
    void OpenObjectEditor(CObject* object) override { ::OpenObjectEditor(object, object); }
};

// An object going away is forgotten by the history; an editor still open on
// it is closed without touching it (it is being destroyed).
void ForgetDestroyedObject(CObject* object)
{
    ForgetEditedObject(object);
    CObjectEditor* current = Session().GetCurrentEditor();
    if (current && (current->GetEditedObject() == object || current->GetOwnerObject() == object))
        current->Abandon();
}

} // namespace

// ---- CPropertyPane -----------------------------------------------------------

CPropertyPane::CPropertyPane(CObjectEditor* editor, const char* title)
    : CJSolidWindow(editor, title)
    , m_ObjectEditor(editor)
{
}

void CPropertyPane::Draw(CFrameInterface& frame)
{
    if (m_HasFocus && m_ObjectEditor) {
        CPropertyEditor* focused = m_ObjectEditor->GetFocusedPropertyEditor();
        CJWindow* label = focused ? focused->GetRowWindow() : nullptr;
        if (label && label->GetParent() == this) {
            // Drawing is in content coordinates, as the labels' rectangles are.
            const int32_t half = m_SpacingY / 2;
            const CRect& r = label->GetRect();
            CColor highlight = m_Color4;
            frame.FillRect(CRect{2, r.top - half, m_ContentWidth - 2, r.bottom + half}, highlight);
        }
    }
    CJSolidWindow::Draw(frame);
}

bool CPropertyPane::OnMouseDown(uint32_t button, CPoint point)
{
    CInputScope scope;
    if (CJSolidWindow::OnMouseDown(button, point))
        return true;
    if (button != 0 || !m_ObjectEditor)
        return false;
    const CPoint local = ScreenToClient(point);
    for (CPropertyEditor* editor : m_ObjectEditor->GetPropertyEditors()) {
        CJWindow* label = editor->GetRowWindow();
        if (!label || label->GetParent() != this || !BandContains(*this, *label, local))
            continue;
        if (CJWindow* next = FirstFocusableOfRow(*m_ObjectEditor, label))
            BringChildToFront(next);
        return true;
    }
    return false;
}

// ---- CObjectEditor -------------------------------------------------------------

CObjectEditor::CObjectEditor(CObject* object, CObject* owner)
    : CJFrameWindow(CScreenWindow::GetScreenWindow(), object->GetClassInfo()->GetName())
    , m_Object(object)
    , m_Owner(owner ? owner : object)
{
    owner = m_Owner;
    CObjectEditorSession& session = Session();
    m_RowsHaveKeyboard = session.IsRebuilding();
    uint32_t restoreTab = 0;
    int32_t restoreScroll = 0;
    if (!session.GetLastEntry() || session.GetLastEntry()->object != object) {
        session.Push(SHistoryEntry{object, owner, 0, 0});
    } else {
        restoreTab = session.GetLastEntry()->tab;
        restoreScroll = session.GetLastEntry()->scrollY;
    }

    SetTransparent(false);
    LoadWindowSettings(kSettingsKey, false);
    AddCloseButton();
    AddTransparencyToggle();
    AddResizeGrip();
    session.SetCurrentEditor(this);

    const CKeyboardState& keys = CKeyboardState::SGetInstance();
    // Shift edits a file that may not be saved now, for a later save; over
    // the played street the levels wait for no later save.
    const bool shift = keys.IsKeyDown(kScanShiftLeft) || keys.IsKeyDown(kScanShiftRight);
    m_CanEdit = CanSaveObject(owner) || (shift && !(IsLevelEditorOnPlayedLevel() && IsOrderedByLevelNumbers(*owner)));

    const int32_t gap = (GetFont() ? int32_t(GetFont()->GetHeight()) / 5 : 0) * 2;
    SetBorderWidth(gap);
    SetEdgeMargin(gap);
    SetSpacing(gap, gap);

    m_MenuBar = new CJMenuBar(this);
    BuildEditMenu();
    AddChild(m_MenuBar, EPlace::TopLeft);

    if (FindObjectFileName(owner, &m_FileName)) {
        m_FileName.Replace(CJString("\\"), CJString("/"));
        m_OwnerTextAtOpen = WrittenForm(owner);
    }

    m_TabControl = new CJTabControl(this);

    CClassInfo* info = object->GetClassInfo();
    const int32_t propertyCount = info->GetPropertyCount();
    for (int32_t i = 0; i < propertyCount; ++i) {
        const CProperty* property = info->GetProperty(i);
        if (IsVisibleLevel(property))
            CreatePropertyEditors(this, object, property, property, property->GetNameString());
    }

    for (CObjectEditorCatagory* category : m_Categories)
        if (category->firstRow)
            category->firstRow->MakeSameWidth(category->lastRow, 0);
    AssignChildHotKeys();

    for (CPropertyEditor* editor : m_PropertyEditors) {
        const CProperty* property = editor->GetProperty();
        const bool enabled = m_CanEdit && property->GetLevel() != 3;
        CPropertyPane* pane = GetPropertyEditorCategoryPane(editor);
        if (CJWindow* label = editor->GetRowWindow()) {
            pane->SendChildToBack(label);
            label->Enable(enabled);
        }
        if (property->HasNoRow() && pane) {
            editor->SetRowWindow(&pane->Add<CJStatic>(EPlace::RightOfPrevious, property->GetNameString()));
        }
        editor->CreateControls(enabled);
    }
    AssignChildHotKeys();

    object->AddCustomEditors(this);
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    const int32_t screenHeight = screen ? screen->GetHeight() : INT32_MAX;
    const int32_t screenWidth = screen ? screen->GetWidth() : INT32_MAX;
    for (CObjectEditorCatagory* category : m_Categories) {
        CPropertyPane* pane = category->pane;
        const int32_t limit = screenHeight - kPaneScreenReserve;
        const int32_t widthLimit = screenWidth - kPaneScreenReserveX;
        const int32_t width = pane->GetWidth();
        const int32_t height = pane->GetHeight();
        if (height > limit || width > widthLimit) {
            pane->SetScrollSize(width, height);
            const int32_t shownWidth = height > limit ? width + kScrollBarThickness : width;
            const int32_t shownHeight = width > widthLimit ? height + kScrollBarThickness : height;
            pane->SetSize(std::min(shownWidth, widthLimit), std::min(shownHeight, limit));
            pane->EnableScrollBars(true);
            pane->UpdateScrollBars();
        }
        m_TabControl->AddPage(pane);
    }

    PlaceTabControl(restoreTab, restoreScroll);

    if (session.GetHistoryCount() > 1) {
        CJString title("&");
        title += CJString(char16_t(0x25C4), 1);
        title += " Back";
        m_BackButton = &Add<CJButton>(EPlace::At, title);
        m_BackButton->SetHotKeyChar(kBackHotKey);
        m_BackButton->MoveTo(2, 2);
    }

    Show(true, false);
    BringChildToFront(m_TabControl);
    object->AddEditorButtons(this);
    for (int32_t i = 0; i < propertyCount; ++i) {
        const CProperty* property = info->GetProperty(i);
        if (IsVisibleLevel(property))
            AddPropertyEditorButtons(this, object, property);
    }

    MakeTitle();
}

CObjectEditor::~CObjectEditor()
{
    FinishEditing();
    for (CPropertyEditor* editor : m_PropertyEditors)
        delete editor;
    for (CObjectEditorCatagory* category : m_Categories)
        delete category;
    for (CCustomEditor* editor : m_CustomEditors)
        delete editor;
    Session().Unretire(this);
}

void CObjectEditor::FinishEditing(CJString* endRefusal)
{
    if (m_Finished)
        return;
    m_Finished = true;
    if (!Session().IsRebuilding()) {
        m_Object->OnEditorClosed();
        // A note inserted and left empty is no edit.
        const CProperty* note = &GetCommentProperty();
        if (m_Object->HasDynamicValue(note) && GetObjectComment(m_Object).IsEmpty())
            m_Object->RemoveDynamicValue(note);
    }
    // A failed save is reported only where rows could edit: a read-only
    // file shown without Shift is expected to refuse.
    CJString name;
    // An edit whose save was refused ("Levels" still differing from its file,
    // another object's file changed on disk) is tried again at each close,
    // edited here or not.
    auto* levels = dynamic_cast<CLevelSet*>(m_Owner);
    const bool waiting
        = !Session().IsRebuilding() && ((levels && levels->HasUnsavedEdits()) || IsObjectEditWaiting(m_Owner));
    bool unchanged = !m_FileName.IsEmpty() && WrittenForm(m_Owner) == m_OwnerTextAtOpen && !waiting;
    // At the end "Levels" is saved by its own end save, once.
    if (endRefusal && levels && levels == FindLevels() && levels->HasUnsavedEdits())
        unchanged = true;
    if (!unchanged && !SaveObjectToOwnFile(m_Owner) && m_CanEdit && FindFailedSaveFile(m_Owner, &name)) {
        const EditWaitsFor waits = IsObjectEditWaiting(m_Owner) ? EditWaitsFor::EditorClose
            : levels                                                ? EditWaitsFor::NextSave
                                                                    : EditWaitsFor::EditedAgain;
        if (endRefusal)
            *endRefusal = FailedSaveMessage(name, true, waits);
        else
            ReportFailedSave(name, waits);
    }
    SHistoryEntry* last = Session().GetLastEntry();
    if (last && last->object == m_Object && m_TabControl && m_TabControl->GetPageCount() > 0) {
        last->tab = m_TabControl->GetSelectedIndex();
        CJWindow* page = m_TabControl->GetSelectedPage();
        last->scrollY = page ? page->GetScrollOffsetY() : 0;
    }
    Session().ClearCurrentEditor(this);
}

CJString CObjectEditor::FinishAtProgramEnd()
{
    CJString refusal;
    FinishEditing(&refusal);
    return refusal;
}

void CObjectEditor::Abandon()
{
    m_Finished = true;
    Session().ClearCurrentEditor(this);
    Retire();
}

void CObjectEditor::Retire()
{
    FinishEditing();
    if (m_Retired)
        return;
    m_Retired = true;
    Show(false, false);
    Session().Retire(this);
}

void CObjectEditor::CloseCurrent()
{
    CObjectEditor* current = Session().GetCurrentEditor();
    if (!current)
        return;
    if (Session().IsHandlingInput())
        current->Retire();
    else
        current->Close();
}

void CObjectEditor::BuildEditMenu()
{
    auto* edit = new CJTextMenuItem(m_MenuBar, "Edit", nullptr);
    m_MenuBar->AddItem(edit);
    auto* menu = new CJPullDownMenu(this);
    menu->AddItem(new CJTextMenuItem(menu, "Brows Asset Dependencies",
                                     new CObjectFunctionCommand<CObjectEditor>(
                                         this, &CObjectEditor::BrowseAssetDependencies,
                                         &CObjectEditor::CanBrowseAssetDependencies)));

    auto* insert = new CJTextMenuItem(menu, "Insert Property", new CNullCommand);
    auto* properties = new CJPullDownMenu(this);
    CDynamicPropertyRegistry& dynamic = m_Object->GetClassInfo()->GetDynamicPropertyList();
    for (int32_t i = 0; i < dynamic.GetCount(); ++i) {
        const DynamicKind kind = dynamic.GetKind(i);
        if (m_Object->HasDynamicValue(dynamic.GetProperty(i)))
            continue;
        if (kind != DynamicKind::Optional && kind != DynamicKind::OnRequest)
            continue;
        // A class's own property of that name ("Comment" of a level) holds it already.
        if (m_Object->GetClassInfo()->FindProperty(dynamic.GetProperty(i)->GetName()))
            continue;
        properties->AddItem(new CJTextMenuItem(
            properties, dynamic.GetProperty(i)->GetNameString(),
            new CObjectFunctionLParamCommand<CObjectEditor, uint32_t>(
                this, &CObjectEditor::InsertProperty, uint32_t(i), &CObjectEditor::CanInsertProperty)));
    }
    insert->SetSubMenu(properties, true);
    menu->AddItem(insert);

    auto* remove = new CJTextMenuItem(menu, "Remove Property", new CNullCommand);
    auto* held = new CJPullDownMenu(this);
    for (int32_t i = 0; i < dynamic.GetCount(); ++i)
        if (dynamic.GetKind(i) == DynamicKind::Optional && m_Object->HasDynamicValue(dynamic.GetProperty(i)))
            held->AddItem(new CJTextMenuItem(held, dynamic.GetProperty(i)->GetNameString(),
                                             new CObjectFunctionLParamCommand<CObjectEditor, uint32_t>(
                                                 this, &CObjectEditor::RemoveProperty, uint32_t(i), nullptr)));
    remove->SetSubMenu(held, true);
    menu->AddItem(remove);
    edit->SetSubMenu(menu, false);
    // The bar does not grow with its items.
    const int32_t margin = m_MenuBar->GetEdgeMargin();
    m_MenuBar->SetSize(edit->GetRect().right + margin, edit->GetHeight() + 2 * margin);
}

void CObjectEditor::PlaceTabControl(uint32_t tabIndex, int32_t scrollY)
{
    if (m_TabControl->GetPageCount() > 0) {
        m_TabControl->SelectTab(tabIndex);
        if (CJWindow* page = m_TabControl->GetSelectedPage())
            page->SetScrollY(scrollY);
    }
    AddChild(m_TabControl, m_MenuBar ? EPlace::BelowPrevious : EPlace::TopLeft);
}

void CObjectEditor::MakeTitle()
{
    if (m_FileName.IsEmpty())
        return;
    const char* path = m_FileName.GetString();
    const char* slash = std::strrchr(path, '/');
    CJString leaf(slash ? slash + 1 : path);
    CJString name = leaf.GetLength() > 4 ? leaf.Left(leaf.GetLength() - 4) : leaf;
    if (name.CompareNoCase("Properties") == 0 && slash) {
        const CJString folderPath(path, int(slash - path));
        const char* folderStart = std::strrchr(folderPath.GetString(), '/');
        name = CJString(folderStart ? folderStart + 1 : folderPath.GetString());
        if (name.GetLength() > 0 && name.GetString()[0] == '-')
            name = name.Mid(1);
    }
    CJString title;
    title.Format("%s : %s", m_Object->GetClassInfo()->GetName(), name.GetString());
    SetTitle(title);
}

// Asked for by this editor's own rows and buttons, whose code is still
// running: the old editor is retired, not freed.
void CObjectEditor::Rebuild()
{
    CInputScope scope;
    CObjectEditorSession& session = Session();
    const bool was = session.IsRebuilding();
    session.SetRebuilding(true);
    ReopenObjectEditor(m_Object, m_Owner);
    session.SetRebuilding(was);
}

CJWindow* CObjectEditor::AddPropertyEditor(CPropertyEditor* editor, const char* label)
{
    m_PropertyEditors.Add(editor);
    const CProperty* property = editor->GetProperty();
    CObjectEditorCatagory* category = GetCategory(CategoryName(editor));
    if (!label || (property && property->HasNoRow()))
        return nullptr;
    CJStatic* row = AddPropertyLabel(category, CJString(label), property ? property->GetDescription() : CJString(),
                                     editor->GetExtraHeight());
    editor->SetRowWindow(row);
    return row;
}

CJStatic* CObjectEditor::AddPropertyLabel(CObjectEditorCatagory* category, const CJString& label,
                                          const CJString& description, int32_t rowHeight)
{
    CJString text = label;
    if (text.IsEmpty())
        text = " ";
    else
        text += ":";
    auto* row = new CJStatic(category->pane, text);
    row->Enable(m_CanEdit);
    row->SetAlignment(2);
    row->SetToolTipText(description);
    if (GetFont()) {
        const int32_t cap = GetFont()->GetTextWidth(CJString(kLabelWidthSample));
        if (row->GetWidth() > cap)
            row->SetWidth(cap);
    }
    if (rowHeight != 0)
        row->SetHeight(rowHeight);
    category->pane->AddChild(row, category->lastRow ? EPlace::BelowPrevious : EPlace::TopLeft);
    if (m_RowGap != 0) {
        row->MoveToY(row->GetRect().top + m_RowGap);
        category->pane->GrowToFitChild(row, kDefaultOffset);
        m_RowGap = 0;
    }
    category->lastRow = row;
    if (!category->firstRow)
        category->firstRow = row;
    return row;
}

CObjectEditorCatagory* CObjectEditor::GetCategory(const char* name)
{
    if (!name || !*name)
        name = kGeneralCategory;
    for (CObjectEditorCatagory* category : m_Categories)
        if (CJString(category->name).CompareNoCase(name) == 0)
            return category;
    auto* category = new CObjectEditorCatagory;
    category->name = name;
    category->pane = new CPropertyPane(this, name);
    m_Categories.Add(category);
    return category;
}

void CObjectEditor::AddCustomEditor(CCustomEditor* editor)
{
    m_CustomEditors.Add(editor);
    CObjectEditorCatagory* category = GetCategory(editor->GetCategory());
    editor->BuildControls(category->pane, category->lastRow, m_Object, m_Owner);
}

CPropertyPane* CObjectEditor::GetPropertyEditorCategoryPane(const CPropertyEditor* editor)
{
    const char* text = CategoryName(editor);
    if (!text || !*text)
        text = kGeneralCategory;
    for (CObjectEditorCatagory* category : m_Categories)
        if (CJString(category->name).CompareNoCase(text) == 0)
            return category->pane;
    return nullptr;
}

void CObjectEditor::FocusPropertyEditor(CPropertyEditor* editor)
{
    CPropertyPane* pane = editor ? GetPropertyEditorCategoryPane(editor) : nullptr;
    if (!pane)
        return;
    m_TabControl->SelectPage(pane);
    m_RowsHaveKeyboard = true;
    if (CJWindow* label = editor->GetRowWindow())
        if (CJWindow* next = FirstFocusableOfRow(*this, label))
            pane->BringChildToFront(next);
}

void CObjectEditor::RefreshRows()
{
    for (uint32_t i = 0; i < m_PropertyEditors.GetCount(); ++i)
        if (CPropertyEditor* row = m_PropertyEditors[i])
            row->Refresh();
}

CPropertyEditor* CObjectEditor::GetFocusedPropertyEditor()
{
    return FindFocusedPropertyEditor();
}

// The page's focused window is its front child (or one inside it); the row
// it belongs to is the nearest row label at or before it in the ring, where
// each label is followed by its row's controls.
CPropertyEditor* CObjectEditor::FindFocusedPropertyEditor()
{
    if (!m_TabControl || m_TabControl->GetPageCount() == 0)
        return nullptr;
    CJWindow* page = m_TabControl->GetSelectedPage();
    CJWindow* front = page ? page->GetFirstChild() : nullptr;
    for (CJWindow* window = front; window; window = SiblingBefore(window)) {
        for (CPropertyEditor* editor : m_PropertyEditors)
            if (editor->GetRowWindow() == window)
                return editor;
        if (SiblingBefore(window) == front)
            break;
    }
    return nullptr;
}

void CObjectEditor::GoBack()
{
    SHistoryEntry entry;
    if (!IsVisible() || !Session().StepBack(entry))
        return;
    CInputScope scope;
    OpenObjectEditor(entry.object, entry.owner);
}

void CObjectEditor::BrowseAssetDependencies()
{
    int32_t listIndex = -1;
    int32_t itemIndex = -1;
    if (!CFileListList::SGetInstance().FindObject(m_Object, &listIndex, &itemIndex))
        return;
    CJWindow* window
        = MakeAssetDependencyBrowserForEditor(this, CFileListList::SGetInstance().GetArray(listIndex), itemIndex);
    CJWindow* host = GetParent() ? GetParent() : this;
    host->AddChildFirst(window);
}

bool CObjectEditor::CanBrowseAssetDependencies()
{
    int32_t listIndex = -1;
    int32_t itemIndex = -1;
    return CFileListList::SGetInstance().FindObject(m_Object, &listIndex, &itemIndex);
}

void CObjectEditor::InsertProperty(uint32_t index)
{
    CDynamicPropertyRegistry& dynamic = m_Object->GetClassInfo()->GetDynamicPropertyList();
    if (index >= uint32_t(dynamic.GetCount()))
        return;
    m_Object->AddDynamicValue(dynamic.GetProperty(int32_t(index)));
    // Run from this editor's own menu, whose item is still running: the
    // old editor is only retired.
    CInputScope scope;
    Rebuild();
}

void CObjectEditor::RemoveProperty(uint32_t index)
{
    CDynamicPropertyRegistry& dynamic = m_Object->GetClassInfo()->GetDynamicPropertyList();
    if (index >= uint32_t(dynamic.GetCount()))
        return;
    // The rows showing the value are only read again by the rebuild, which
    // retires them unread.
    if (!m_Object->RemoveDynamicValue(dynamic.GetProperty(int32_t(index))))
        return;
    CInputScope scope;
    Rebuild();
}

bool CObjectEditor::CanInsertProperty(uint32_t index)
{
    CDynamicPropertyRegistry& dynamic = m_Object->GetClassInfo()->GetDynamicPropertyList();
    return index < uint32_t(dynamic.GetCount()) && dynamic.GetKind(int32_t(index)) == DynamicKind::Optional;
}

void CObjectEditor::Update(float seconds)
{
    if (m_Retired) {
        Destroy();
        return;
    }
    if (IsCloseRequested()) {
        CJFrameWindow::Update(seconds);
        return;
    }
    {
        CInputScope scope;
        for (CCustomEditor* editor : m_CustomEditors)
            editor->Update(seconds);
    }
    if (m_Retired) {
        Destroy();
        return;
    }
    CJFrameWindow::Update(seconds);
    CPropertyEditor* focused = FindFocusedPropertyEditor();
    if (focused == m_LastFocused)
        return;
    m_LastFocused = focused;
    CInputScope scope;
    for (CPropertyEditor* editor : m_PropertyEditors)
        editor->ApplyEdit(Session().GetCurrentEditor(), kNotifyChanged);
    for (CCustomEditor* editor : m_CustomEditors)
        editor->OnNotify(Session().GetCurrentEditor(), kNotifyChanged);
}

void CObjectEditor::OnNotify(CJWindow* sender, int32_t code)
{
    if (m_Retired)
        return;
    CInputScope scope;
    if (code == kNotifyClicked && sender && sender == m_BackButton) {
        GoBack();
        return;
    }
    for (CCustomEditor* editor : m_CustomEditors)
        if (editor->OnNotify(sender, code))
            return;
    for (CPropertyEditor* editor : m_PropertyEditors)
        if (editor->ApplyEdit(sender, code))
            return;
    CJFrameWindow::OnNotify(sender, code);
}

bool CObjectEditor::OnKeyDown(uint32_t key)
{
    if (m_Retired)
        return false;
    if (key == kKeyTab)
        m_RowsHaveKeyboard = true;
    // Printable characters wait for a chosen row; editing keys do not.
    if (!m_RowsHaveKeyboard && key >= 32 && key != 0x7F)
        return false;
    bool handled;
    {
        CInputScope scope;
        handled = CJFrameWindow::OnKeyDown(key);
        if (m_Retired)
            return true;
    }
    if (key == kKeyEscape) {
        if (Session().IsHandlingInput())
            Retire();
        else
            Close();
        return true;
    }
    return handled;
}

bool CObjectEditor::OnHotKey(uint32_t key)
{
    if (m_Retired || !CJFrameWindow::OnHotKey(key))
        return false;
    m_RowsHaveKeyboard = true;
    return true;
}

bool CObjectEditor::OnMouseDown(uint32_t button, CPoint point)
{
    if (m_Retired)
        return false;
    m_RowsHaveKeyboard = true;
    CInputScope scope;
    if (button == 3) {
        GoBack();
        return true;
    }
    return CJFrameWindow::OnMouseDown(button, point);
}

bool CObjectEditor::ClipboardCut(intptr_t arg)
{
    if (CJFrameWindow::ClipboardCut(arg))
        return true;
    CInputScope scope;
    CPropertyEditor* editor = FindFocusedPropertyEditor();
    return editor && editor->Cut(arg != 1);
}

bool CObjectEditor::ClipboardCopy(intptr_t arg)
{
    if (CJFrameWindow::ClipboardCopy(arg))
        return true;
    CInputScope scope;
    CPropertyEditor* editor = FindFocusedPropertyEditor();
    return editor && editor->Copy(arg != 1);
}

bool CObjectEditor::ClipboardPaste(intptr_t arg)
{
    if (CJFrameWindow::ClipboardPaste(arg))
        return true;
    CInputScope scope;
    CPropertyEditor* editor = FindFocusedPropertyEditor();
    return editor && editor->Paste(arg != 1);
}

bool CObjectEditor::ClipboardDelete(intptr_t arg)
{
    if (CJFrameWindow::ClipboardDelete(arg))
        return true;
    CInputScope scope;
    CPropertyEditor* editor = FindFocusedPropertyEditor();
    return editor && editor->Delete(arg != 1);
}

void CObjectEditor::SetRect(const CRect& rect)
{
    CJFrameWindow::SetRect(rect);
    const int32_t width = GetWidth() - 2 * GetBorderWidth();
    if (m_MenuBar)
        m_MenuBar->SetWidth(width);
    if (m_TabControl && m_TabControl->GetParent() == this) {
        const CRect& r = m_TabControl->GetRect();
        const int32_t height = GetHeight() - GetBorderWidth() - r.top;
        if (height > 0)
            m_TabControl->SetRect(CRect{r.left, r.top, r.left + width, r.top + height});
    }
}

bool MakeDynamicValueRows(CObjectEditor* editor, CObject* object, const CProperty* property, const CProperty*,
                          const CJString&)
{
    if (!dynamic_cast<const CDynamicPropertyProperty*>(property))
        return false;
    // Values made for the run alone (a frame's mip maps) are never saved and get no row.
    const CDynamicValueList* values = object->GetDynamicValueList();
    for (int32_t i = 0; values && i < values->GetCount(); ++i) {
        const CDynamicValueList::Pair& pair = values->Get(i);
        if (IsVisibleLevel(pair.property) && pair.property->IsTextSaved())
            CreatePropertyEditors(editor, SlotOwner(pair.storage), pair.property, pair.property,
                                  pair.property->GetNameString());
    }
    return true;
}

// ---- Opening and the back history -------------------------------------------

void OpenObjectEditor(CObject* object, CObject* owner)
{
    if (!object) {
        CObjectEditor::CloseCurrent();
        Session().DestroyRetired();
        return;
    }
    ReopenObjectEditor(object, owner);
}

void ReopenObjectEditor(CObject* object, CObject* owner)
{
    CObjectEditor::CloseCurrent();
    Session().DestroyRetired();
    if (!object)
        return;
    auto* editor = new CObjectEditor(object, owner);
    CJWindow* host = GetLevelEditorWindow();
    if (!host)
        host = CScreenWindow::GetScreenWindow();
    if (host) {
        host->AddChildFirst(editor);
        editor->KeepOnScreen();
    }
}

CObjectEditor* GetCurrentObjectEditor()
{
    return Session().GetCurrentEditor();
}

CObject* GetCurrentObjectEditorObject()
{
    CObjectEditor* current = Session().GetCurrentEditor();
    return current ? current->GetEditedObject() : nullptr;
}

CPropertyEditor* FindPropertyEditor(CObject* object, const CProperty* property, uint32_t n)
{
    CObjectEditor* current = Session().GetCurrentEditor();
    if (!current)
        return nullptr;
    for (CPropertyEditor* editor : current->GetPropertyEditors()) {
        if (editor->GetObject() != object || editor->GetProperty() != property)
            continue;
        if (n == 0)
            return editor;
        --n;
    }
    return nullptr;
}

void ForgetEditedObject(CObject* object)
{
    Session().Forget(object);
}

uint32_t GetObjectEditorHistoryCount()
{
    return Session().GetHistoryCount();
}

// ---- The session ----------------------------------------------------------------

CObjectEditorSession& CObjectEditorSession::SGetCurrent()
{
    if (g_ObjectEditorSession)
        return *g_ObjectEditorSession;
    // Objects are destroyed until the very end of the process, and each asks
    // the history to forget it: the program's session is never freed.
    static CObjectEditorSession* program = new CObjectEditorSession;
    return *program;
}

CObjectEditorSession* CObjectEditorSession::SSetCurrent(CObjectEditorSession* session)
{
    CObjectEditorSession* previous = g_ObjectEditorSession;
    g_ObjectEditorSession = session;
    return previous;
}

void CObjectEditorSession::ClearCurrentEditor(const CObjectEditor* editor)
{
    if (m_Current == editor)
        m_Current = nullptr;
}

void CObjectEditorSession::Push(const SHistoryEntry& entry)
{
    if (m_HistoryCount == m_History.size()) {
        std::move(m_History.begin() + 1, m_History.end(), m_History.begin());
        --m_HistoryCount;
    }
    m_History[m_HistoryCount++] = entry;
}

bool CObjectEditorSession::StepBack(SHistoryEntry& previous)
{
    if (m_HistoryCount <= 1)
        return false;
    --m_HistoryCount;
    previous = m_History[m_HistoryCount - 1];
    return true;
}

void CObjectEditorSession::Forget(const CObject* object)
{
    if (!object)
        return;
    for (uint32_t i = 0; i < m_HistoryCount; ++i) {
        if (m_History[i].object == object || m_History[i].owner == object) {
            m_HistoryCount = 0;
            return;
        }
    }
}

void CObjectEditorSession::Unretire(const CObjectEditor* editor)
{
    m_Retired.erase(std::remove(m_Retired.begin(), m_Retired.end(), editor), m_Retired.end());
}

void CObjectEditorSession::DestroyRetired()
{
    if (IsHandlingInput())
        return;
    while (!m_Retired.empty())
        m_Retired.back()->Destroy(); // the destructor takes it off the list
}

void InstallObjectEditorHooks()
{
    static CObjectEditorSorterHooks sorterHooks;
    SetLevelSorterHooks(&sorterHooks);
    SetObjectDestroyedListener(&ForgetDestroyedObject);
}
