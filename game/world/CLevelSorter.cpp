#include "game/world/CLevelSorter.h"

#include "foundation/CLocalizedString.h"
#include "game/business/CBuildPhase.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/world/WorldHooks.h"
#include "objects/CObject.h"
#include "objects/ObjectFileCallbacks.h"
#include "shell/CClipboard.h"
#include "shell/CGameBase.h"
#include "shell/CKeyboardState.h"
#include "ui/CJButton.h"
#include "ui/CJHeader.h"
#include "ui/CJListBox.h"
#include "ui/CJStatic.h"
#include "ui/CScreenWindow.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <vector>

namespace {

CLevelSorterHooks g_DefaultLevelSorterHooks;
CLevelSorterHooks* g_LevelSorterHooks = nullptr;

CLevelSorterHooks& Hooks()
{
    return g_LevelSorterHooks ? *g_LevelSorterHooks : g_DefaultLevelSorterHooks;
}

// Rows above this are no levels (a list's stray answer).
constexpr int32_t kMaxEditableRow = 1000;
// The toolkit's Up and Down key codes.
constexpr uint32_t kKeyUp = 6;
constexpr uint32_t kKeyDown = 10;

constexpr int32_t kMargin = 8;
constexpr int32_t kHeaderHeight = 20;
constexpr int32_t kListHeight = 240;
constexpr int32_t kButtonGap = 6;

struct SColumn {
    const char* title = nullptr;
    int32_t width = 0;
};
constexpr SColumn kColumns[] = {{"#", 30},    {"Period", 70}, {"Name", 150},  {"Comment", 60}, {"Customers", 60},
                                {"Lots", 40}, {"Scale", 60},  {"Garage", 60}, {"Add On", 60}};

const CJString& ColumnTitle(size_t i)
{
    static CLocalizedString titles[] = {
        CLocalizedString("#", "Number sign used for level number or board number"),
        CLocalizedString("Period"),
        CLocalizedString("Name"),
        CLocalizedString("Comment"),
        CLocalizedString("Customers"),
        CLocalizedString("Lots"),
        CLocalizedString("Scale"),
        CLocalizedString("Garage"),
        CLocalizedString("Add On"),
    };
    return titles[i];
}

CJString ButtonTitle(CLevelSorterWindow::Button button)
{
    static CLocalizedString titles[] = {
        CLocalizedString("Edit"),
        CLocalizedString("Copy"),
        CLocalizedString("Copy All"),
        CLocalizedString("Paste"),
        CLocalizedString("Insert"),
        CLocalizedString("Delete"),
        CLocalizedString("Properties"),
        CLocalizedString("%s[UpArrow] Move Up %s[UpArrow]"),
        CLocalizedString("%s[DownArrow] Move Down %s[DownArrow]"),
    };
    CJString title(titles[size_t(button)]);
    const char16_t up[] = {0x25B2, 0};
    const char16_t down[] = {0x25BC, 0};
    title.Replace(CJString("%s[UpArrow]"), CJString(up));
    title.Replace(CJString("%s[DownArrow]"), CJString(down));
    return title;
}

const CJString& WindowTitle()
{
    static CLocalizedString title("Level Sorter");
    return title;
}

// The player profiles keep their records by level number, and the sorter
// leaves them there.
const CJString& ProgressNote()
{
    static CLocalizedString note("Players' progress stays with the level number: after Paste, Insert, Delete or a "
                                 "move, each player's wins belong to the level that now has that number.");
    return note;
}

// A frequency entry of the named build phase as a whole percentage; empty
// when the data has no such phase.
CJString PhasePercent(CLevelOptions& level, const char* phaseName)
{
    const int32_t phase = FindBuildPhase(phaseName);
    CJString text;
    if (phase >= 0 && uint32_t(phase) < level.m_BuildPhaseFrequency.GetCount())
        text.Format("%ld%%", std::lround(double(level.m_BuildPhaseFrequency[uint32_t(phase)]) * 100.0));
    return text;
}

bool IsShiftDown()
{
    CKeyboardState& keys = CKeyboardState::SGetInstance();
    return keys.IsKeyDown(kScanShiftLeft) || keys.IsKeyDown(kScanShiftRight);
}

// Why the sorter may not change the set; empty when it may.
CJString WhyNotEditable(CLevelSet* levels)
{
    static CLocalizedString played("Played level: the levels can be looked at here but not changed.");
    static CLocalizedString readOnly("%s cannot be written: the levels can be looked at here but not changed.");
    if (Hooks().IsLevelEditorOpenOnPlayedLevel())
        return played;
    CJString name;
    if (!levels || CanSaveObject(levels) || !FindObjectFileName(levels, &name))
        return CJString();
    CJString why(readOnly);
    why.Replace(CJString("%s"), name);
    return why;
}

// While the level editor shows a stored level, the current level's layer
// flags live in the editor's settings: a command that may make another level
// current puts them away first (all layers shown, as Edit does) and takes out
// the flags of whichever level is current after it.
bool PutAwayLayerFlags()
{
    if (!Hooks().IsLevelEditorOpenOnStoredLevel())
        return false;
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->SaveLayerFlagsAndShowAll();
    return true;
}

void TakeOutLayerFlags(bool putAway)
{
    if (!putAway)
        return;
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->LoadLayerFlags();
}

// The editor stays on the street it shows: a new empty level made current
// would be started as a street when the editor closes.
void KeepCurrentLevelAcrossInsert(uint32_t at, uint32_t count)
{
    const uint32_t current = GetCurrentLevelIndex();
    if (current >= at)
        SetCurrentLevelIndex(current + count);
}

// The tips of the levels last copied from "Levels", with the clipboard data
// they went with: pasting that data gives each copy its source level's tip.
struct SCopiedTips {
    std::vector<uint8_t> data;
    std::vector<CJString> tips;
};

SCopiedTips& CopiedTips()
{
    static SCopiedTips copied;
    return copied;
}

std::vector<uint8_t> ClipboardObjectData()
{
    std::vector<uint8_t> data;
    if (!GetClipboardData(kClipboardObject, data))
        GetClipboardData(kClipboardDirtyObject, data);
    return data;
}

void RememberCopiedTips(bool levelsNumbered, uint32_t first, uint32_t count)
{
    SCopiedTips& copied = CopiedTips();
    copied.tips.clear();
    copied.data.clear();
    if (!levelsNumbered)
        return;
    copied.data = ClipboardObjectData();
    for (uint32_t i = first; i < first + count; ++i)
        copied.tips.push_back(GetGameScreensHooks().GetLevelTip(i));
}

} // namespace

const char* CLevelSorterRows::GetItemName(int32_t i)
{
    if (i < 0 || size_t(i) >= m_Rows.size())
        return "";
    CJString& row = m_Rows[size_t(i)];
    return row.IsWide() ? "" : row.GetString();
}

CJString CLevelSorterRows::GetItemNameString(int32_t i)
{
    return i < 0 || size_t(i) >= m_Rows.size() ? CJString() : m_Rows[size_t(i)];
}

int32_t CLevelSorterRows::Find(const CJString& name, int32_t)
{
    for (size_t i = 0; i < m_Rows.size(); ++i)
        if (m_Rows[i].CompareNoCase(name) == 0)
            return int32_t(i);
    return -1;
}

int32_t CLevelSorterRows::Find(const char* name, int32_t hint)
{
    return Find(CJString(name ? name : ""), hint);
}

int32_t CLevelSorterRows::Add(const CJString& name)
{
    m_Rows.push_back(name);
    return int32_t(m_Rows.size()) - 1;
}

CLevelSorterWindow::CLevelSorterWindow(CJWindow* parent, CLevelSet* levels)
    : CJFrameWindow(parent, WindowTitle())
    , m_Levels(levels ? levels : GetLevels())
{
    const CJString whyNot = WhyNotEditable(m_Levels);
    m_EditingAllowed = whyNot.IsEmpty() && CanSaveObject(m_Levels);
    AddCloseButton();

    const int32_t top = GetClientTopInset() + kMargin;
    int32_t listWidth = 0;
    for (const SColumn& column : kColumns)
        listWidth += column.width;
    m_Header = &Add<CJHeader>(kAsIsNoGrow);
    for (size_t i = 0; i < std::size(kColumns); ++i)
        m_Header->AddColumn(ColumnTitle(i), kColumns[i].width);
    m_Header->SetRect(CRect{kMargin, top, kMargin + listWidth, top + kHeaderHeight});

    m_List = &Add<CJListBox>(kAsIsNoGrow, &m_Rows, nullptr, 100, 12);
    m_List->SetHeader(m_Header);
    m_List->SetRect(CRect{kMargin, top + kHeaderHeight, kMargin + listWidth, top + kHeaderHeight + kListHeight});

    auto* note = &Add<CJStatic>(kAsIsNoGrow, ProgressNote());
    note->SetWrapWidth(listWidth);
    note->MoveTo(kMargin, top + kHeaderHeight + kListHeight + kMargin);
    if (whyNot.IsNotEmpty()) {
        const int32_t below = note->GetRect().bottom + kButtonGap;
        note = &Add<CJStatic>(kAsIsNoGrow, whyNot);
        note->SetWrapWidth(listWidth);
        note->MoveTo(kMargin, below);
    }

    // Two rows of buttons under the note: the commands, then the moves.
    int32_t x = kMargin;
    int32_t y = note->GetRect().bottom + kMargin;
    int32_t rowHeight = 0;
    for (size_t i = 0; i < size_t(Button::Count); ++i) {
        const auto which = Button(i);
        if (which == Button::MoveUp) {
            x = kMargin;
            y += rowHeight + kButtonGap;
        }
        auto* button = &Add<CJButton>(kAsIsNoGrow, ButtonTitle(which));
        button->MoveTo(x, y);
        x += button->GetWidth() + kButtonGap;
        rowHeight = std::max(rowHeight, button->GetHeight());
        m_Buttons.push_back(button);
        // Properties opens the set's editor, whose edits are saved.
        const bool edits = which == Button::Paste || which == Button::Insert || which == Button::Delete
            || which == Button::Properties || which == Button::MoveUp || which == Button::MoveDown;
        if (edits && !m_EditingAllowed)
            button->Enable(false);
    }
    SetRect(CRect{0, 0, std::max(kMargin * 2 + listWidth, x + kMargin), y + rowHeight + kMargin});
    FillRows();
    m_CurrentAtOpen = GetCurrentLevelIndex();
    m_UnsavedOrderAtOpen = m_Levels && m_Levels->HasUnsavedOrder();
    if (m_Levels)
        m_RowsOnDiskAtOpen = m_Levels->GetRowsOnDisk();
    if (m_EditingAllowed && KeepsDataByLevelNumber())
        GetGameScreensHooks().KeepRenumberedLevelData();
}

CLevelSorterWindow::~CLevelSorterWindow() = default;

CJString CLevelSorterWindow::GetRowText(uint32_t index)
{
    CLevelOptions* level = m_Levels ? m_Levels->GetLevel(index) : nullptr;
    CJString row;
    row.Format("%u", index + 1);
    if (!level)
        return row;
    CPeriodList& periods = GetPeriodList();
    const bool hasPeriod = level->m_Period >= 0 && level->m_Period < periods.GetCount();
    CJString name;
    m_Levels->GetLevelName(name, index);
    CJString number;
    auto field = [&row](const CJString& text) {
        row.Append("\t");
        row.Append(text);
    };
    field(CJString(hasPeriod ? periods.GetItemName(level->m_Period) : ""));
    field(name);
    field(level->m_Comment);
    number.Format("%u", level->m_Customers);
    field(number);
    number.Format("%d", level->CountEmptyLots());
    field(number);
    number.Format("%ld%%", std::lround(double(level->m_ScalePercent)));
    field(number);
    field(PhasePercent(*level, "Garage"));
    field(PhasePercent(*level, "Add On"));
    return row;
}

void CLevelSorterWindow::FillRows()
{
    m_Rows.RemoveAll();
    const uint32_t count = m_Levels ? m_Levels->GetCount() : 0;
    for (uint32_t i = 0; i < count; ++i)
        m_Rows.Add(GetRowText(i));
    m_List->SetVirtualArray(&m_Rows, nullptr, false);
}

int32_t CLevelSorterWindow::GetSelectedRow() const
{
    return m_List->GetSelectedItem();
}

void CLevelSorterWindow::SelectRow(int32_t row)
{
    m_List->SelectItem(row, true);
}

void CLevelSorterWindow::OnNotify(CJWindow* sender, int32_t code)
{
    if (sender == m_List && code == kNotifyClicked) {
        Edit();
        return;
    }
    if (code == kNotifyClicked) {
        for (size_t i = 0; i < m_Buttons.size(); ++i) {
            if (sender != m_Buttons[i])
                continue;
            switch (Button(i)) {
            case Button::Edit:
                Edit();
                break;
            case Button::Copy:
                Copy();
                break;
            case Button::CopyAll:
                CopyAll();
                break;
            case Button::Paste:
                Paste();
                break;
            case Button::Insert:
                Insert();
                break;
            case Button::Delete:
                Delete();
                break;
            case Button::Properties:
                Properties();
                break;
            case Button::MoveUp:
                MoveUp();
                break;
            case Button::MoveDown:
                MoveDown();
                break;
            case Button::Count:
                break;
            }
            return;
        }
    }
    CJFrameWindow::OnNotify(sender, code);
}

bool CLevelSorterWindow::OnKeyDown(uint32_t key)
{
    // Before the list, which would move its selection on the same keys.
    if ((key == kKeyUp || key == kKeyDown) && IsShiftDown()) {
        if (key == kKeyUp)
            MoveUp();
        else
            MoveDown();
        return true;
    }
    return CJFrameWindow::OnKeyDown(key);
}

bool CLevelSorterWindow::Close()
{
    // An edit of the set refused earlier, here or elsewhere, is tried again
    // with the order.
    const bool unsaved = m_Levels && (m_Levels->HasUnsavedOrder() || m_Levels->HasUnsavedEdits());
    CJString failed;
    if (!unsaved || !m_EditingAllowed || CGameBase::SIsShuttingDown() || SaveLevelSetToOwnFile(*m_Levels, failed))
        return CJFrameWindow::Close();
    // No order of its own to put back, one the next start puts in the
    // files, or no change on disk against it: the edit waits on.
    if (m_Changes.empty() || GetFailedSaveReason().Compare(kFinishedAtNextStart) == 0
        || FailedSaveReasonSaysWhatToDo() || FailedSaveWasAWriteFailure()) {
        ShowMessageBox(CJString("Error"), FailedSaveMessage(failed));
        return CJFrameWindow::Close();
    }
    PutBackOrder();
    CJString text("Could not save ");
    text.Append(failed);
    if (GetFailedSaveReason().IsNotEmpty()) {
        text.Append(": ");
        text.Append(GetFailedSaveReason());
    }
    text.Append(". The levels are back in the order the files have.");
    // A file as it was read, with a line not understood, is mended, not undone.
    if (GetFailedSaveReason().IsNotEmpty())
        text.Append(GetFailedSaveReason().Compare(kFileIsReadOnly) == 0 ? " Make the file writable to sort them again."
                        : GetFailedSaveReason().Find(kNotReadWhole) == 0
                        ? " Correct or remove that line in the file to sort them again."
                        : " Undo the change on disk to sort them again.");
    ShowMessageBox(CJString("Error"), text);
    return CJFrameWindow::Close();
}

void CLevelSorterWindow::PutBackOrder()
{
    const bool putAway = PutAwayLayerFlags();
    for (auto change = m_Changes.rbegin(); change != m_Changes.rend(); ++change) {
        switch (change->kind) {
        case SChange::Kind::Inserted:
            for (uint32_t n = 0; n < change->j; ++n)
                m_Levels->RemoveLevel(change->i);
            break;
        case SChange::Kind::Removed:
            m_Levels->InsertLevel(change->i, change->removed.release());
            break;
        case SChange::Kind::Swapped:
            m_Levels->SwapLevels(change->i, change->j);
            break;
        }
    }
    m_Changes.clear();
    m_Levels->PutBackRowsOnDisk(m_RowsOnDiskAtOpen);
    if (KeepsDataByLevelNumber())
        GetGameScreensHooks().PutBackRenumberedLevelData();
    m_Levels->SetUnsavedOrder(m_UnsavedOrderAtOpen);
    SetCurrentLevelIndex(m_CurrentAtOpen);
    TakeOutLayerFlags(putAway);
    FillRows();
}

bool CLevelSorterWindow::KeepsDataByLevelNumber() const
{
    return m_Levels && m_Levels == FindLevels();
}

void CLevelSorterWindow::Edit()
{
    const int32_t row = GetSelectedRow();
    if (row < 0 || row >= kMaxEditableRow)
        return;
    RequestClose();
    if (!Hooks().IsLevelEditorOpenOnStoredLevel() || uint32_t(row) == GetCurrentLevelIndex())
        return;
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->SaveLayerFlagsAndShowAll();
    SetCurrentLevelIndex(uint32_t(row));
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->LoadLayerFlags();
}

void CLevelSorterWindow::Copy()
{
    const int32_t row = GetSelectedRow();
    if (CLevelOptions* level = row >= 0 && m_Levels ? m_Levels->GetLevel(uint32_t(row)) : nullptr)
        if (CClipboard::SGetInstance().CopyObject(level))
            RememberCopiedTips(KeepsDataByLevelNumber(), uint32_t(row), 1);
}

void CLevelSorterWindow::CopyAll()
{
    if (m_Levels && CClipboard::SGetInstance().CopyObject(m_Levels))
        RememberCopiedTips(KeepsDataByLevelNumber(), 0, m_Levels->GetCount());
}

void CLevelSorterWindow::Paste()
{
    if (!m_EditingAllowed || !m_Levels)
        return;
    std::unique_ptr<CObject> pasted(CClipboard::SGetInstance().PasteObject(CClipboard::AllowText::No));
    if (!pasted)
        return;
    const int32_t selected = GetSelectedRow();
    const uint32_t at = selected >= 0 ? uint32_t(selected) : m_Levels->GetCount();
    const bool putAway = PutAwayLayerFlags();
    const SCopiedTips& copied = CopiedTips();
    const bool copiedHere = !copied.data.empty() && copied.data == ClipboardObjectData();
    auto copiedTip = [&](uint32_t i) { return copiedHere && i < copied.tips.size() ? copied.tips[i] : CJString(); };
    std::vector<CJString> tips; // one per level inserted
    if (pasted->IsKindOf(CLevelOptions::SGetClassInfo())) {
        m_Levels->InsertLevel(at, static_cast<CLevelOptions*>(pasted.release()));
        tips.push_back(copiedTip(0));
    } else if (pasted->IsKindOf(CLevelSet::SGetClassInfo())) {
        auto& set = static_cast<CLevelSet&>(*pasted);
        for (uint32_t i = 0; i < set.GetCount(); ++i) {
            CLevelOptions* level = set.GetLevel(i);
            if (!level)
                continue;
            m_Levels->InsertLevel(at + uint32_t(tips.size()), static_cast<CLevelOptions*>(level->Clone()));
            tips.push_back(copiedTip(i));
        }
    }
    const auto inserted = uint32_t(tips.size());
    if (inserted > 0) {
        m_Changes.push_back({SChange::Kind::Inserted, at, inserted, nullptr});
        if (KeepsDataByLevelNumber()) {
            GetGameScreensHooks().OnLevelsInserted(at, inserted);
            for (uint32_t i = 0; i < inserted; ++i)
                if (tips[i].IsNotEmpty())
                    GetGameScreensHooks().SetLevelTip(at + i, tips[i]);
        }
        KeepCurrentLevelAcrossInsert(at, inserted);
        FillRows();
    }
    TakeOutLayerFlags(putAway);
}

void CLevelSorterWindow::Insert()
{
    if (!m_EditingAllowed || !m_Levels)
        return;
    const int32_t selected = GetSelectedRow();
    const uint32_t at = std::min(selected >= 0 ? uint32_t(selected) : m_Levels->GetCount(), m_Levels->GetCount());
    InsertLevelIntoSet(*m_Levels, at);
    m_Changes.push_back({SChange::Kind::Inserted, at, 1, nullptr});
    FillRows();
}

void CLevelSorterWindow::Delete()
{
    if (!m_EditingAllowed || !m_Levels)
        return;
    const int32_t selected = GetSelectedRow();
    CLevelOptions* level = selected >= 0 ? m_Levels->GetLevel(uint32_t(selected)) : nullptr;
    if (!level)
        return;
    std::unique_ptr<CLevelOptions> copy(static_cast<CLevelOptions*>(level->Clone()));
    if (DeleteLevelOfSet(*m_Levels, uint32_t(selected), *this)) {
        m_Changes.push_back({SChange::Kind::Removed, uint32_t(selected), 0, std::move(copy)});
        FillRows();
    }
}

void CLevelSorterWindow::Properties()
{
    if (!m_EditingAllowed || !m_Levels)
        return;
    Hooks().OpenObjectEditor(m_Levels);
    RequestClose();
}

void CLevelSorterWindow::MoveUp()
{
    const int32_t row = GetSelectedRow();
    if (!m_EditingAllowed || row <= 0)
        return;
    Swap(uint32_t(row), uint32_t(row - 1), uint32_t(row - 1));
}

void CLevelSorterWindow::MoveDown()
{
    const int32_t row = GetSelectedRow();
    if (!m_EditingAllowed || row < 0 || !m_Levels || uint32_t(row) + 1 >= m_Levels->GetCount())
        return;
    Swap(uint32_t(row), uint32_t(row + 1), uint32_t(row + 1));
}

void CLevelSorterWindow::Swap(uint32_t i, uint32_t j, uint32_t selectAfter)
{
    const bool putAway = PutAwayLayerFlags();
    m_Levels->SwapLevels(i, j);
    m_Changes.push_back({SChange::Kind::Swapped, i, j, nullptr});
    if (KeepsDataByLevelNumber())
        GetGameScreensHooks().OnLevelsSwapped(i, j);
    const uint32_t current = GetCurrentLevelIndex();
    if (current == i || current == j)
        SetCurrentLevelIndex(i);
    FillRows();
    SelectRow(int32_t(selectAfter));
    TakeOutLayerFlags(putAway);
}

void InsertLevelIntoSet(CLevelSet& set, uint32_t index)
{
    const uint32_t at = std::min(index, set.GetCount());
    const bool putAway = PutAwayLayerFlags();
    set.InsertLevel(at, nullptr);
    if (&set == FindLevels())
        GetGameScreensHooks().OnLevelsInserted(at, 1);
    KeepCurrentLevelAcrossInsert(at, 1);
    TakeOutLayerFlags(putAway);
}

bool DeleteLevelOfSet(CLevelSet& set, uint32_t index, CJWindow& teller)
{
    const uint32_t count = set.GetCount();
    if (count < 2) {
        static CLocalizedString title("Cannot Delete");
        static CLocalizedString text("You must add at least one other level before you can delete this one.");
        teller.ShowMessageBox(title, text);
        return false;
    }
    if (index >= count)
        return false;
    const bool putAway = PutAwayLayerFlags();
    set.RemoveLevel(index);
    if (&set == FindLevels())
        GetGameScreensHooks().OnLevelRemoved(index);
    const uint32_t current = GetCurrentLevelIndex();
    if ((index == current && index == count - 1) || index < current)
        SetCurrentLevelIndex(current - 1);
    TakeOutLayerFlags(putAway);
    return true;
}

CLevelSorterHooks* SetLevelSorterHooks(CLevelSorterHooks* hooks)
{
    CLevelSorterHooks* previous = g_LevelSorterHooks;
    g_LevelSorterHooks = hooks;
    return previous;
}

bool IsLevelEditorOpenOnStoredLevel()
{
    return Hooks().IsLevelEditorOpenOnStoredLevel();
}

CLevelSorterWindow* OpenLevelSorter(CLevelSet* levels)
{
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen)
        return nullptr;
    // Built without a parent, the window takes the toolkit's own look rather
    // than a theme the screen's data names.
    auto* sorter = new CLevelSorterWindow(nullptr, levels);
    screen->AddChild(sorter, EPlace::Centred);
    screen->BringChildToFront(sorter);
    return sorter;
}
