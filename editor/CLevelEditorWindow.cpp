#include "editor/CLevelEditorWindow.h"

#include "blit/CFrameInterface.h"
#include "editor/CEditorCheckpointHistory.h"
#include "editor/CEditorTool.h"
#include "editor/CEditorToolPalette.h"
#include "editor/CImageBrowserFrameWindow.h"
#include "editor/CLevelEditorOptions.h"
#include "editor/CObjectEditor.h"
#include "editor/CRotateAndScaleTool.h"
#include "editor/EditorStartup.h"
#include "editor/SelectionHighlight.h"
#include "foundation/MathHelpers.h"
#include "foundation/TextEncoding.h"
#include "game/screens/CTutorialPopUp.h"
#include "game/screens/LevelNumberedData.h"
#include "game/screens/ScreensHooks.h"
#include "game/scripting/CFrameSelector.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/ScriptingHooks.h"
#include "game/world/CGameApp.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLevelSorter.h"
#include "game/world/CPlayfield.h"
#include "game/world/CScenery.h"
#include "game/world/CTutorial.h"
#include "objects/CMessage.h"
#include "objects/CObject.h"
#include "objects/DroppedKeys.h"
#include "objects/ObjectFileCallbacks.h"
#include "platform/MessageBox.h"
#include "shell/CClipboard.h"
#include "shell/CGameBase.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/CTypedCommandList.h"
#include "ui/CScreenWindow.h"
#include "ui/UiHooks.h"

#include <algorithm>
#include <memory>

namespace {

CLevelEditorWindow* g_LevelEditor = nullptr;
constexpr uint32_t kLeftButton = 1;
constexpr uint32_t kRightButton = 2;
constexpr uint32_t kKeyUp = 6;
constexpr uint32_t kKeyDown = 10;
constexpr uint32_t kKeyLeft = 11;
constexpr uint32_t kKeyRight = 12;

const char* const kCantEditTitle = "Can't edit";
const char* const kCantEditText = "This level can not be edited because it is not checked out";

// Over the played street nothing is written: the levels, and what their
// numbers order, are looked at only, as the sorter shows them there.
bool KeepLevelsOverPlayedLevel(const CObject* object, bool& allowed)
{
    if (!object || !IsLevelEditorOnPlayedLevel() || !IsOrderedByLevelNumbers(*object))
        return false;
    allowed = false;
    return true;
}

void NoteSavedObject(CObject* object)
{
    if (g_LevelEditor && object == FindLevels())
        g_LevelEditor->NoteLevelsSaved();
}

bool IsControlDown()
{
    const CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    return keyboard.IsKeyDown(kScanControlLeft) || keyboard.IsKeyDown(kScanControlRight);
}

bool IsShiftDown()
{
    const CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    return keyboard.IsKeyDown(kScanShiftLeft) || keyboard.IsKeyDown(kScanShiftRight);
}

bool IsEditableInEditor(const CPlayfieldLayer* layer)
{
    return layer && layer->m_VisibleInEditor && layer->m_SelectableInEditor;
}

// The sprite's bounds offset by its rounded position, on the screen.
CRect ScreenBoundsOf(CSprite& sprite, CPlayfieldLayer& layer)
{
    CRect bounds{0, 0, 0, 0};
    sprite.GetBounds(bounds);
    const int32_t x = RoundToIntHeld(sprite.GetPosition().x);
    const int32_t y = RoundToIntHeld(sprite.GetPosition().y);
    const CRect placed{bounds.left + x, bounds.top + y, bounds.right + x, bounds.bottom + y};
    return layer.LayerRectToScreen(placed);
}

bool Overlaps(const CRect& a, const CRect& b)
{
    return a.left < b.right && a.right > b.left && a.top < b.bottom && a.bottom > b.top;
}

// Remove from index from, insert at index to of the shortened list.
void MoveSpriteInList(CSpriteArray& list, uint32_t from, uint32_t to)
{
    if (from == to || from >= list.GetCount() || to >= list.GetCount())
        return;
    CSprite** slots = &list[0];
    if (from < to)
        std::rotate(slots + from, slots + from + 1, slots + to + 1);
    else
        std::rotate(slots + to, slots + from, slots + from + 1);
}

int32_t IndexInList(CSpriteArray& list, const CSprite* sprite)
{
    for (uint32_t i = 0; i < list.GetCount(); ++i)
        if (list[i] == sprite)
            return int32_t(i);
    return -1;
}

// The object editor's owner for an object of the level: in mode 0 the level
// set, whose file holds it; otherwise the object itself (the played copy
// has no file).
CObject* OwnerInEditor(CObject* object)
{
    if (IsLevelEditorOnStoredLevel())
        if (CLevelSet* levels = FindLevels())
            return levels;
    return object;
}

void CloseObjectEditor()
{
    if (GetCurrentObjectEditor())
        OpenObjectEditor(nullptr, nullptr);
}

} // namespace

// ---- Construction and closing ------------------------------------------------

CLevelEditorWindow::CLevelEditorWindow(int32_t mode)
    : CJWindow(CScreenWindow::GetScreenWindow(), "Editor")
    , m_Mode(mode)
{
    if (m_Mode == kModeStoredLevel)
        GetLevelHolder().Release();
    else
        CClipboard::SGetInstance().SetEditingPlayedLevel(true);
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->LoadLayerFlags();
    SetCheckpointHistoryCallback(&GetCurrentLevelCheckpointHistory);
    SetCheckpointObjectCallback(&GetCurrentLevelObject);
    // The font is taken once, so a changed option applies from the next opening.
    m_EditorFont = CLevelEditorOptions::SGetInstance().GetEditorFont();
    if (m_EditorFont)
        SetFont(m_EditorFont);
    g_LevelEditor = this;
    SetRectXYWH(0, 0, 9999, 9999);
    SetHoverWithChildren(true);
    m_ToolPalette = new CEditorToolPalette(this);
    AddChild(m_ToolPalette);
    BringChildToFront(m_ToolPalette);
    CTypedCommandList::SGetInstance().Disable();
    m_DefaultTool = new CRotateAndScaleTool(this);
    CLevelSet* levels = FindLevels();
    m_Editable = m_Mode == kModePlayedLevel || (levels && CanSaveObject(levels));
    if (m_Mode == kModeStoredLevel && levels)
        m_LevelsAsSaved = levels->Clone();
    SetActiveTool(m_DefaultTool);
}

CLevelEditorWindow::~CLevelEditorWindow()
{
    m_Closing = true;
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->SaveLayerFlagsAndShowAll();
    const CJString refusal = SaveLevelsAsItCloses();
    delete m_LevelsAsSaved;
    m_LevelsAsSaved = nullptr;
    // A game that is ending restarts no level.
    if (CGameBase* game = CGameBase::SIsShuttingDown() ? nullptr : CGameBase::SGetInstance()) {
        CMessage closing = CMessage::CMessageByName("Editor Closing");
        game->OnMessage(closing);
    }
    // Said once the close has opened what it leads to (the main menu while
    // no player is named), in front of it; while the program ends there is
    // no screen left to say it on.
    if (!refusal.IsEmpty()) {
        if (GetParent() && !CGameBase::SIsShuttingDown())
            ShowMessageBox(CJString("Error"), refusal);
        else
            plat::ShowMessageBox("Error", Windows1252ToUtf8(refusal.GetString()));
    }
    CloseObjectEditor();
    ClearSelection();
    m_ActiveTool = nullptr;
    if (m_DefaultTool)
        m_DefaultTool->Destroy();
    m_DefaultTool = nullptr;
    if (g_LevelEditor == this)
        g_LevelEditor = nullptr;
    CTypedCommandList::SGetInstance().Enable();
    if (m_Mode == kModePlayedLevel)
        CClipboard::SGetInstance().SetEditingPlayedLevel(false);
}

CJString CLevelEditorWindow::SaveLevelsAsItCloses()
{
    CJString refusal;
    if (m_Mode != kModeStoredLevel || m_LevelsSavedAtEnd)
        return refusal;
    m_LevelsSavedAtEnd = CGameBase::SIsShuttingDown();
    // A failed save keeps the edits in memory and says so; the next close
    // tries again.
    CLevelSet* levels = FindLevels();
    // An edit whose earlier save was refused counts too: it is still only in
    // memory.
    const bool changed
        = levels && (!(m_LevelsAsSaved && levels->IsEqualTo(m_LevelsAsSaved)) || levels->HasUnsavedEdits());
    CJString name;
    if (changed && !SaveObjectToOwnFile(levels)) {
        // The file that refused, which may be one saved with "Levels".
        if (!FindFailedSaveFile(levels, &name))
            name.Set("Levels");
        refusal = FailedSaveMessage(name, CGameBase::SIsShuttingDown());
    }
    return refusal;
}

void CLevelEditorWindow::NoteLevelsSaved()
{
    CLevelSet* levels = FindLevels();
    if (m_Closing || m_Mode != kModeStoredLevel || !levels)
        return;
    delete m_LevelsAsSaved;
    m_LevelsAsSaved = levels->Clone();
}

void CLevelEditorWindow::SetActiveTool(CEditorTool* tool)
{
    if (tool == m_ActiveTool)
        return;
    if (m_ActiveTool)
        m_ActiveTool->SetFocus(false);
    m_ActiveTool = tool;
    if (m_ActiveTool)
        m_ActiveTool->SetFocus(true);
}

// ---- Frame ----------------------------------------------------------------------

void CLevelEditorWindow::Update(float seconds)
{
    // Asked to close (File > Exit asks), the base update deletes the editor:
    // nothing of its own may follow it then.
    const bool closing = IsCloseRequested();
    CJWindow::Update(seconds);
    if (closing)
        return;
    if (m_ToolPalette) {
        bool stillHere = false;
        for (CJWindow* child = GetFirstChild(); child; child = child->GetNextSibling())
            stillHere = stillHere || child == m_ToolPalette;
        if (!stillHere)
            m_ToolPalette = nullptr;
    }
    if (CLevelOptions* level = CLevelOptions::SGetCurrent())
        level->EnsureDefaultLayers();
    if (m_CantEditPending && CMouseState::SGetInstance().GetButtons() == 0) {
        m_CantEditPending = false;
        ShowMessageBox(CJString(kCantEditTitle), CJString(kCantEditText));
    }
    // The preview opens as the pop-up does in play, from when a message
    // was first shown in the object editor.
    if (dynamic_cast<CTutorial*>(GetCurrentObjectEditorObject()))
        m_TutorialPreviewSeconds += seconds;
    else
        m_TutorialPreviewSeconds = 0.0f;
}

void CLevelEditorWindow::Draw(CFrameInterface& frame)
{
    if (auto* tutorial = dynamic_cast<CTutorial*>(GetCurrentObjectEditorObject()))
        DrawTutorialPopUp(*tutorial, frame, m_TutorialPreviewSeconds);
    if (m_ActiveTool)
        m_ActiveTool->Draw(frame);
    if (m_BandStart.x != -1 || m_BandStart.y != -1) {
        CColor white(255, 255, 255, 255);
        const int32_t left = std::min(m_BandStart.x, m_BandEnd.x);
        const int32_t right = std::max(m_BandStart.x, m_BandEnd.x);
        const int32_t top = std::min(m_BandStart.y, m_BandEnd.y);
        const int32_t bottom = std::max(m_BandStart.y, m_BandEnd.y);
        frame.DrawLine(left, top, right, top, white);
        frame.DrawLine(right, top, right, bottom, white);
        frame.DrawLine(right, bottom, left, bottom, white);
        frame.DrawLine(left, bottom, left, top, white);
    }
    CJWindow::Draw(frame);
}

void CLevelEditorWindow::DrawSprite(CSprite& sprite, CFrameInterface& target)
{
    DrawSpriteWithEditorMarks(sprite, target, IsSelected(&sprite), CLevelEditorOptions::SGetInstance());
}

// ---- Selection ---------------------------------------------------------------------

void CLevelEditorWindow::SelectObject(CObject* object, const CJString& layerName, bool add)
{
    if (!object || !add)
        ClearSelection();
    if (object && !IsSelected(object))
        m_Selection.Append(object, layerName);
    OnSelectionChanged();
}

void CLevelEditorWindow::DeselectObject(CObject* object)
{
    auto* property = static_cast<CPropertyArrayProperty*>(CSelectedObjects::SGetClassInfo()->FindProperty("Objects"));
    for (uint32_t i = 0; i < m_Selection.GetCount(); ++i) {
        CSelectedObjectInfo* entry = m_Selection.GetEntry(i);
        if (entry && entry->m_pSelectedObject == object) {
            // The entry names the level's own sprite: it must not take it along.
            entry->m_pSelectedObject = nullptr;
            property->ArrayProperty_SetCount(&m_Selection, m_Selection.GetCount() - 1, int32_t(i));
            break;
        }
    }
    OnSelectionChanged();
}

void CLevelEditorWindow::ClearSelection()
{
    for (uint32_t i = 0; i < m_Selection.GetCount(); ++i)
        if (CSelectedObjectInfo* entry = m_Selection.GetEntry(i))
            entry->m_pSelectedObject = nullptr;
    auto* property = static_cast<CPropertyArrayProperty*>(CSelectedObjects::SGetClassInfo()->FindProperty("Objects"));
    property->ArrayProperty_SetCount(&m_Selection, 0);
}

bool CLevelEditorWindow::IsSelected(const CObject* object) const
{
    for (uint32_t i = 0; i < m_Selection.GetCount(); ++i)
        if (m_Selection.GetObject(i) == object)
            return true;
    return false;
}

void CLevelEditorWindow::OnSelectionChanged()
{
    if (CEditorCheckpointHistory* history = GetCheckpointHistory())
        history->ClearLastName();
    if (m_ActiveTool)
        m_ActiveTool->OnSelectionChanged();
    if (GetCurrentObjectEditor()) {
        CloseObjectEditor();
        if (m_Selection.GetCount() == 1)
            if (CObject* only = m_Selection.GetObject(0))
                OpenObjectEditor(only, OwnerInEditor(only));
    }
}

CSprite* CLevelEditorWindow::PickSprite(CPoint point, CJString* layerName)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    if (!playfield)
        return nullptr;
    for (uint32_t i = playfield->GetLayerCount(); i > 0; --i) {
        CPlayfieldLayer* layer = playfield->GetLayer(i - 1);
        if (!IsEditableInEditor(layer))
            continue;
        const CFPoint at = layer->ScreenToLayer(CFPoint{float(point.x), float(point.y)});
        const int32_t x = RoundToIntHeld(at.x);
        const int32_t y = RoundToIntHeld(at.y);
        for (uint32_t s = 0; s < layer->GetSpriteCount(); ++s) {
            CSprite* sprite = layer->GetSprite(s);
            if (sprite && sprite->HitTest(x, y)) {
                if (layerName)
                    *layerName = layer->m_Name;
                return sprite;
            }
        }
    }
    return nullptr;
}

void CLevelEditorWindow::SelectInRect(const CRect& screenRect)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    if (!playfield)
        return;
    for (uint32_t i = 0; i < playfield->GetLayerCount(); ++i) {
        CPlayfieldLayer* layer = playfield->GetLayer(i);
        if (!IsEditableInEditor(layer))
            continue;
        for (uint32_t s = 0; s < layer->GetSpriteCount(); ++s) {
            CSprite* sprite = layer->GetSprite(s);
            if (sprite && Overlaps(ScreenBoundsOf(*sprite, *layer), screenRect))
                SelectObject(sprite, layer->m_Name, true);
        }
    }
}

void CLevelEditorWindow::SelectAll()
{
    ClearSelection();
    if (CPlayfield* playfield = GetCurrentPlayfield()) {
        for (uint32_t i = 0; i < playfield->GetLayerCount(); ++i) {
            CPlayfieldLayer* layer = playfield->GetLayer(i);
            if (!IsEditableInEditor(layer))
                continue;
            for (uint32_t s = 0; s < layer->GetSpriteCount(); ++s)
                if (CSprite* sprite = layer->GetSprite(s))
                    m_Selection.Append(sprite, layer->m_Name);
        }
    }
    OnSelectionChanged();
}

CRect CLevelEditorWindow::GetSelectionScreenFrame()
{
    CRect frame{0, 0, 0, 0};
    CPlayfield* playfield = GetCurrentPlayfield();
    if (!playfield)
        return frame;
    bool any = false;
    for (uint32_t i = 0; i < m_Selection.GetCount(); ++i) {
        CSelectedObjectInfo* entry = m_Selection.GetEntry(i);
        auto* sprite = entry ? dynamic_cast<CSprite*>(entry->m_pSelectedObject) : nullptr;
        CPlayfieldLayer* layer = sprite ? FindShownLayer(*playfield, *entry, *sprite) : nullptr;
        if (!layer)
            continue;
        const CRect bounds = ScreenBoundsOf(*sprite, *layer);
        if (bounds.IsAllZero())
            continue;
        if (!any) {
            frame = bounds;
            any = true;
            continue;
        }
        frame.left = std::min(frame.left, bounds.left);
        frame.top = std::min(frame.top, bounds.top);
        frame.right = std::max(frame.right, bounds.right);
        frame.bottom = std::max(frame.bottom, bounds.bottom);
    }
    return frame;
}

CPlayfieldLayer* CLevelEditorWindow::FindShownLayer(CPlayfield& playfield, const CSelectedObjectInfo& entry,
                                                    const CSprite& sprite)
{
    if (CPlayfieldLayer* named = playfield.FindLayer(entry.m_LayerObjectIsOn.GetString()))
        return named;
    return playfield.FindLayerOfSprite(&sprite);
}

void CLevelEditorWindow::NameShownLayers()
{
    // A copy names each picture's layer; one renamed since the picking is
    // named as it now stands, or the paste would find no such layer.
    CPlayfield* playfield = GetCurrentPlayfield();
    for (uint32_t i = 0; playfield && i < m_Selection.GetCount(); ++i) {
        CSelectedObjectInfo* entry = m_Selection.GetEntry(i);
        auto* sprite = entry ? dynamic_cast<CSprite*>(entry->m_pSelectedObject) : nullptr;
        if (CPlayfieldLayer* layer = sprite ? FindShownLayer(*playfield, *entry, *sprite) : nullptr)
            entry->m_LayerObjectIsOn = layer->m_Name;
    }
}

template <typename F>
void CLevelEditorWindow::ForEachSelectedSprite(F&& f)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    for (uint32_t i = 0; i < m_Selection.GetCount(); ++i) {
        CSelectedObjectInfo* entry = m_Selection.GetEntry(i);
        auto* sprite = entry ? dynamic_cast<CSprite*>(entry->m_pSelectedObject) : nullptr;
        if (!sprite)
            continue;
        CPlayfieldLayer* layer = playfield ? FindShownLayer(*playfield, *entry, *sprite) : nullptr;
        f(*sprite, layer);
    }
}

// ---- Editing ----------------------------------------------------------------------

void CLevelEditorWindow::MoveSelection(int32_t dx, int32_t dy)
{
    PlaceSelection(dx, dy, EFrom::Here);
}

void CLevelEditorWindow::PlaceSelection(int32_t dx, int32_t dy, EFrom from)
{
    if (m_Editable) {
        CPlayfield* playfield = GetCurrentPlayfield();
        for (uint32_t i = 0; playfield && i < m_Selection.GetCount(); ++i) {
            CSelectedObjectInfo* entry = m_Selection.GetEntry(i);
            auto* sprite = entry ? dynamic_cast<CSprite*>(entry->m_pSelectedObject) : nullptr;
            if (!sprite)
                continue;
            CFPoint at = sprite->GetPosition();
            if (from == EFrom::DragStart) {
                // Recorded entry by entry; a sprite the drag did not find
                // at its start stays where it is.
                auto start = i < m_DragStarts.size() && m_DragStarts[i].sprite == sprite
                                 ? m_DragStarts.begin() + i
                                 : std::find_if(m_DragStarts.begin(), m_DragStarts.end(),
                                                [&](const SDragStart& s) { return s.sprite == sprite; });
                if (start == m_DragStarts.end())
                    continue;
                at = start->at;
            }
            // The step is the pointer's, on the screen: a scaled layer takes
            // more or fewer of its own pixels for it. Taken as a difference,
            // so no step is exactly no move.
            CFPoint step{float(dx), float(dy)};
            if (CPlayfieldLayer* layer = FindShownLayer(*playfield, *entry, *sprite)) {
                const CFPoint shown = layer->LayerToScreen(at);
                const CFPoint base = layer->ScreenToLayer(shown);
                const CFPoint moved = layer->ScreenToLayer(CFPoint{shown.x + float(dx), shown.y + float(dy)});
                step = CFPoint{moved.x - base.x, moved.y - base.y};
            }
            sprite->SetPosition(at.x + step.x, at.y + step.y);
        }
    } else {
        RaiseCantEdit();
    }
    if (m_DefaultTool)
        m_DefaultTool->OnSelectionMoved();
    RefreshObjectEditorOnSelection();
}

void CLevelEditorWindow::RefreshObjectEditorOnSelection()
{
    CObjectEditor* open = GetCurrentObjectEditor();
    if (open && open->GetEditedObject() && IsSelected(open->GetEditedObject()))
        open->RefreshRows();
}

void CLevelEditorWindow::MoveWithCheckpoint(int32_t dx, int32_t dy)
{
    CEditorCheckpoint checkpoint("DraggingCheckpoint");
    MoveSelection(dx, dy);
}

void CLevelEditorWindow::OnMoveSelectionDrag(CPoint point)
{
    if (!m_DragMoving) {
        m_DragMoving = true;
        m_DragStarts.clear();
        for (uint32_t i = 0; i < m_Selection.GetCount(); ++i) {
            auto* sprite = dynamic_cast<CSprite*>(m_Selection.GetObject(i));
            m_DragStarts.push_back({sprite, sprite ? sprite->GetPosition() : CFPoint{0.0f, 0.0f}});
        }
    }
    const CPoint press = GetPressPoint();
    CEditorCheckpoint checkpoint("DraggingCheckpoint");
    PlaceSelection(point.x - press.x, point.y - press.y, EFrom::DragStart);
}

void CLevelEditorWindow::DeleteSelection()
{
    if (m_Editable) {
        CloseObjectEditor();
        CLevelOptions* level = CLevelOptions::SGetCurrent();
        ForEachSelectedSprite([&](CSprite& sprite, CPlayfieldLayer* layer) {
            // A sprite no longer in its entry's layer stays where it is.
            if (layer && layer->m_Sprites.Remove(&sprite)) {
                if (level)
                    level->KeepRemovedSprite(&sprite);
                else
                    layer->m_Sprites.Add(&sprite); // nobody to keep it: leave it
            }
        });
    }
    ClearSelection();
}

void CLevelEditorWindow::PasteSelection()
{
    if (!m_Editable)
        return;
    CObject* pasted = CClipboard::SGetInstance().PasteObject(CClipboard::AllowText::No);
    auto* copied = dynamic_cast<CSelectedObjects*>(pasted);
    if (!copied) {
        delete pasted;
        return;
    }
    ClearSelection();
    CPlayfield* playfield = GetCurrentPlayfield();
    // The layers this street lacks, each named once: the designer hears why
    // a picture did not come (the clipboard still holds it).
    CJString missing;
    uint32_t left = 0;
    for (uint32_t i = 0; playfield && i < copied->GetCount(); ++i) {
        CSelectedObjectInfo* entry = copied->GetEntry(i);
        auto* sprite = entry ? dynamic_cast<CSprite*>(entry->m_pSelectedObject) : nullptr;
        CPlayfieldLayer* layer = sprite ? playfield->FindLayer(entry->m_LayerObjectIsOn.GetString()) : nullptr;
        if (sprite && !layer) {
            ++left;
            CJString quoted("\"");
            quoted.Append(entry->m_LayerObjectIsOn);
            quoted.Append("\"");
            if (missing.Find(quoted) < 0) {
                if (!missing.IsEmpty())
                    missing.Append(", ");
                missing.Append(quoted);
            }
        }
        if (!layer)
            continue;
        auto* clone = dynamic_cast<CSprite*>(sprite->Clone());
        if (!clone)
            continue;
        layer->AddSprite(clone);
        SelectObject(clone, layer->m_Name, true);
    }
    delete copied; // its own copies go with it
    if (HasSelection()) {
        const CRect frame = GetSelectionScreenFrame();
        const CPoint mouse = CMouseState::SGetInstance().GetPositionPoint();
        const float cx = float(frame.left + frame.right) * 0.5f;
        const float cy = float(frame.top + frame.bottom) * 0.5f;
        MoveSelection(RoundToIntHeld(float(mouse.x) - cx), RoundToIntHeld(float(mouse.y) - cy));
    }
    OnSelectionChanged();
    if (left > 0) {
        CJString text;
        text.AppendInt(int32_t(left));
        text.Append(left == 1 ? " picture was not pasted" : " pictures were not pasted");
        text.Append(": this street has no layer ");
        text.Append(missing);
        text.Append(".");
        ShowMessageBox(CJString("Paste"), text);
    }
}

void CLevelEditorWindow::BringForward()
{
    CEditorCheckpoint checkpoint("OrderChangeCheckpoint");
    ForEachSelectedSprite([&](CSprite& sprite, CPlayfieldLayer* layer) {
        const int32_t i = layer ? IndexInList(layer->m_Sprites, &sprite) : -1;
        if (i <= 0)
            return;
        int32_t j = i - 1;
        while (j > 0 && IsSelected(layer->m_Sprites[uint32_t(j)]))
            --j;
        MoveSpriteInList(layer->m_Sprites, uint32_t(i), uint32_t(j));
    });
}

void CLevelEditorWindow::SendBackward()
{
    CEditorCheckpoint checkpoint("OrderChangeCheckpoint");
    ForEachSelectedSprite([&](CSprite& sprite, CPlayfieldLayer* layer) {
        const int32_t i = layer ? IndexInList(layer->m_Sprites, &sprite) : -1;
        const int32_t n = layer ? int32_t(layer->m_Sprites.GetCount()) : 0;
        if (i < 0 || i >= n - 1)
            return;
        int32_t j = i + 1;
        while (j < n - 1 && IsSelected(layer->m_Sprites[uint32_t(j)]))
            ++j;
        MoveSpriteInList(layer->m_Sprites, uint32_t(i), uint32_t(j));
    });
}

void CLevelEditorWindow::BringToFront()
{
    CEditorCheckpoint checkpoint("OrderChangeCheckpoint");
    ForEachSelectedSprite([&](CSprite& sprite, CPlayfieldLayer* layer) {
        const int32_t i = layer ? IndexInList(layer->m_Sprites, &sprite) : -1;
        if (i > 0)
            MoveSpriteInList(layer->m_Sprites, uint32_t(i), 0);
    });
}

void CLevelEditorWindow::SendToBack()
{
    CEditorCheckpoint checkpoint("OrderChangeCheckpoint");
    ForEachSelectedSprite([&](CSprite& sprite, CPlayfieldLayer* layer) {
        const int32_t i = layer ? IndexInList(layer->m_Sprites, &sprite) : -1;
        if (i >= 0)
            MoveSpriteInList(layer->m_Sprites, uint32_t(i), layer->m_Sprites.GetCount() - 1);
    });
}

void CLevelEditorWindow::AutomaticZSort()
{
    const uint32_t count = m_Selection.GetCount();
    if (count == 0)
        return;
    auto sortY = [](CSelectedObjectInfo* entry, float& out) {
        auto* sprite = entry ? dynamic_cast<CSprite*>(entry->m_pSelectedObject) : nullptr;
        if (sprite)
            out = sprite->GetSortY();
        return sprite != nullptr;
    };
    CSelectedObjectInfo** entries = &m_Selection.m_pSelectedObjectsArray[0];
    // Stable, so entries that compare equal (not sprites) keep their order.
    std::stable_sort(entries, entries + count, [&](CSelectedObjectInfo* a, CSelectedObjectInfo* b) {
        float ya = 0.0f, yb = 0.0f;
        if (!sortY(a, ya) || !sortY(b, yb))
            return false;
        return ya > yb;
    });
    ForEachSelectedSprite([&](CSprite& sprite, CPlayfieldLayer* layer) {
        const int32_t i = layer ? IndexInList(layer->m_Sprites, &sprite) : -1;
        const uint32_t last = layer ? layer->m_Sprites.GetCount() - 1 : 0;
        if (i >= 0 && uint32_t(i) != last)
            MoveSpriteInList(layer->m_Sprites, uint32_t(i), last);
    });
}

void CLevelEditorWindow::MoveToSelectedLayer()
{
    CPlayfield* playfield = GetCurrentPlayfield();
    CPlayfieldLayer* target = playfield ? playfield->GetTopEditableLayer() : nullptr;
    if (!target)
        return;
    ForEachSelectedSprite([&](CSprite& sprite, CPlayfieldLayer* layer) {
        if (layer && layer != target && layer->m_Sprites.Remove(&sprite))
            target->m_Sprites.Add(&sprite);
    });
}

bool CLevelEditorWindow::Undo()
{
    CloseObjectEditor();
    ClearSelection();
    CEditorCheckpointHistory* history = GetCheckpointHistory();
    CObject* level = GetCheckpointObject();
    return history && level && history->Undo(level);
}

bool CLevelEditorWindow::Redo()
{
    CloseObjectEditor();
    ClearSelection();
    CEditorCheckpointHistory* history = GetCheckpointHistory();
    CObject* level = GetCheckpointObject();
    return history && level && history->Redo(level);
}

// ---- Input ---------------------------------------------------------------------------

bool CLevelEditorWindow::OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag)
{
    if (CJWindow::OnMouseDoubleClick(button, point, flag))
        return true;
    if (m_ActiveTool && m_ActiveTool->OnMouseDoubleClick(button, point, flag))
        return true;
    if (button == 0 && HasSelection()) {
        CObject* first = m_Selection.GetObject(0);
        OpenObjectEditor(first, OwnerInEditor(first));
        return true;
    }
    return false;
}

bool CLevelEditorWindow::OnMouseDown(uint32_t button, CPoint point)
{
    if (CJWindow::OnMouseDown(button, point))
        return true;
    return m_ActiveTool && m_ActiveTool->OnMouseDown(button, point);
}

bool CLevelEditorWindow::OnMouseUp(uint32_t button, CPoint point)
{
    if (CJWindow::OnMouseUp(button, point))
        return true;
    return m_ActiveTool && m_ActiveTool->OnMouseUp(button, point);
}

bool CLevelEditorWindow::OnMouseMove(CPoint point, CPoint movement, CCursorSequence*& cursor)
{
    if (CJWindow::OnMouseMove(point, movement, cursor))
        return true;
    return m_ActiveTool && m_ActiveTool->OnMouseMove(point, movement, cursor);
}

bool CLevelEditorWindow::OnMouseWheel(int32_t delta, CPoint point)
{
    if (CJWindow::OnMouseWheel(delta, point))
        return true;
    return m_ActiveTool && m_ActiveTool->OnMouseWheel(delta, point);
}

bool CLevelEditorWindow::OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor)
{
    if (CJWindow::OnMouseDrag(point, movement, buttons, cursor))
        return true;
    if (m_ActiveTool) {
        const bool taken = m_ActiveTool->OnMouseDrag(point, movement, buttons, cursor);
        if (taken || m_ActiveTool != m_DefaultTool)
            return taken;
    }
    if (!(buttons & (kLeftButton | kRightButton)))
        return false;
    if (!(buttons & kLeftButton)) {
        if (!m_Editable)
            RaiseCantEdit();
        return true;
    }
    if (!(GetHeldButtons() & kLeftButton)) {
        // The first event of a press.
        CJString layer;
        CSprite* sprite = PickSprite(point, &layer);
        const bool control = IsControlDown();
        // Whatever a press whose release never came here left behind.
        m_DragMoving = false;
        m_DragStarts.clear();
        m_BandStart = CPoint{-1, -1};
        m_BandEnd = CPoint{-1, -1};
        if (!sprite) {
            m_BandStart = point;
            m_BandEnd = point;
            if (!control)
                ClearSelection();
        } else if (!control) {
            // A selected sprite keeps the selection, so the drag moves all.
            if (!IsSelected(sprite))
                SelectObject(sprite, layer, false);
        } else if (IsSelected(sprite)) {
            DeselectObject(sprite);
        } else {
            SelectObject(sprite, layer, true);
        }
        return true;
    }
    if (m_BandStart.x != -1 || m_BandStart.y != -1) {
        m_BandEnd = point;
        return true;
    }
    CPoint offset{0, 0};
    if (IsDragBeyond(point, movement, offset, kDragThresholdSquared) && (offset.x != 0 || offset.y != 0))
        OnMoveSelectionDrag(point);
    return true;
}

void CLevelEditorWindow::OnMouseRelease(CPoint point, uint32_t buttons)
{
    if (m_ActiveTool)
        m_ActiveTool->OnMouseRelease(point, buttons);
    if ((m_BandStart.x != -1 || m_BandStart.y != -1) && (buttons & kLeftButton)) {
        if (!IsControlDown())
            ClearSelection();
        CRect rect{std::min(m_BandStart.x, m_BandEnd.x), std::min(m_BandStart.y, m_BandEnd.y),
                   std::max(m_BandStart.x, m_BandEnd.x), std::max(m_BandStart.y, m_BandEnd.y)};
        // A band of no size still selects what touches its pixel.
        if (rect.right - rect.left < 2)
            ++rect.right;
        if (rect.bottom - rect.top < 2)
            ++rect.bottom;
        SelectInRect(rect);
    }
    m_BandStart = CPoint{-1, -1};
    m_BandEnd = CPoint{-1, -1};
    if (buttons & kLeftButton) {
        m_DragMoving = false;
        m_DragStarts.clear();
    }
}

bool CLevelEditorWindow::ForwardToChildren(CMessage& message)
{
    if (CJWindow::ForwardToChildren(message))
        return true;
    if (message.GetType() != CBrowserItemDroppedMessage::SGetType())
        return false;
    auto* dropped = static_cast<CBrowserItemDroppedMessage*>(&message);
    const CPoint at = dropped->GetPosition();
    if (!GetVisibleRect().ContainsPoint(at.x, at.y))
        return false;
    CreateDroppedSprite(dropped->GetBrowser(), at);
    return true;
}

void CLevelEditorWindow::CreateDroppedSprite(CJWindow* browser, CPoint point)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    CPlayfieldLayer* layer = playfield ? playfield->GetTopEditableLayer() : nullptr;
    auto* frame = dynamic_cast<CImageBrowserFrameWindow*>(browser);
    const int32_t sequence = frame ? frame->GetSelectedValue() : -1;
    if (!layer || sequence < 0)
        return;
    auto* sprite = new CSprite;
    sprite->AddAI(new CScenery);
    sprite->SetImageSequence(uint32_t(sequence));
    const CPoint content = ScreenToClient(point);
    const CFPoint at = layer->ScreenToLayer(CFPoint{float(content.x), float(content.y)});
    sprite->SetPosition(at.x, at.y);
    layer->InsertSpriteFirst(sprite);
}

bool CLevelEditorWindow::OnKeyDown(uint32_t key)
{
    if (m_ActiveTool && m_ActiveTool->OnKeyDown(key))
        return true;
    if (CJWindow::OnKeyDown(key))
        return true;
    if (!HasSelection())
        return false;
    // Screen pixels, as a drag moves: one key step shows at any scale.
    const int32_t step = IsShiftDown() ? 10 : 1;
    switch (key) {
    case kKeyUp:
        MoveWithCheckpoint(0, -step);
        return true;
    case kKeyDown:
        MoveWithCheckpoint(0, step);
        return true;
    case kKeyLeft:
        MoveWithCheckpoint(-step, 0);
        return true;
    case kKeyRight:
        MoveWithCheckpoint(step, 0);
        return true;
    default:
        return false;
    }
}

bool CLevelEditorWindow::OnHotKey(uint32_t key)
{
    if (m_ActiveTool && m_ActiveTool->OnHotKey(key))
        return true;
    if (CJWindow::OnHotKey(key))
        return true;
    switch (key) {
    case kKeyEnter:
        if (!HasSelection())
            return false;
        OpenObjectEditor(m_Selection.GetObject(0), OwnerInEditor(m_Selection.GetObject(0)));
        return true;
    case 21:
    case 27:
    case 28:
        Destroy();
        return true;
    case 25:
        Redo();
        return true;
    case 26:
        if (IsShiftDown())
            Redo();
        else
            Undo();
        return true;
    case 'X':
    case 'x': {
        CLevelEditorOptions& options = CLevelEditorOptions::SGetInstance();
        options.m_AddRotateAndScaleHandles = !options.m_AddRotateAndScaleHandles;
        return true;
    }
    default:
        return false;
    }
}

bool CLevelEditorWindow::ClipboardCopy(intptr_t arg)
{
    if (m_ActiveTool && m_ActiveTool->WantsClipboard() && m_ActiveTool->ClipboardCopy(arg))
        return true;
    if (CJWindow::ClipboardCopy(arg))
        return true;
    if (!HasSelection() || arg != 1)
        return false;
    NameShownLayers();
    return CClipboard::SGetInstance().CopyObject(&m_Selection);
}

bool CLevelEditorWindow::ClipboardCut(intptr_t arg)
{
    if (m_ActiveTool && m_ActiveTool->WantsClipboard() && m_ActiveTool->ClipboardCut(arg))
        return true;
    if (CJWindow::ClipboardCut(arg))
        return true;
    if (!HasSelection() || arg != 1)
        return false;
    NameShownLayers();
    if (!CClipboard::SGetInstance().CopyObject(&m_Selection))
        return false;
    DeleteSelection();
    return true;
}

bool CLevelEditorWindow::ClipboardDelete(intptr_t arg)
{
    if (m_ActiveTool && m_ActiveTool->WantsClipboard() && m_ActiveTool->ClipboardDelete(arg))
        return true;
    if (CJWindow::ClipboardDelete(arg))
        return true;
    if (!HasSelection() || arg != 1)
        return false;
    DeleteSelection();
    return true;
}

bool CLevelEditorWindow::ClipboardPaste(intptr_t arg)
{
    if (m_ActiveTool && m_ActiveTool->WantsClipboard() && m_ActiveTool->ClipboardPaste(arg))
        return true;
    if (CJWindow::ClipboardPaste(arg))
        return true;
    CObject* held = CClipboard::SGetInstance().PasteObject(CClipboard::AllowText::No);
    const bool isSelection = dynamic_cast<CSelectedObjects*>(held) != nullptr;
    delete held;
    if (!isSelection)
        return false;
    if (arg == 1)
        PasteSelection();
    return true;
}

CCursorSequence* CLevelEditorWindow::GetCursor(CPoint point)
{
    if (m_ActiveTool)
        if (CCursorSequence* cursor = m_ActiveTool->GetCursor(point))
            return cursor;
    return CJWindow::GetCursor(point);
}

bool CLevelEditorWindow::OnHover(CPoint point)
{
    if (CLevelEditorOptions::SGetInstance().m_EnableUndo) {
        CEditorCheckpointHistory* history = GetCheckpointHistory();
        if (CObject* level = GetCheckpointObject(); history && level)
            history->RecordIfChanged(level);
    }
    if (m_ActiveTool && m_ActiveTool->OnHover(point))
        return true;
    return CJWindow::OnHover(point);
}

// ---- Globals and hooks -------------------------------------------------------------

CLevelEditorWindow* OpenLevelEditor(int32_t mode)
{
    if (g_LevelEditor)
        return nullptr;
    CScreenWindow* root = CScreenWindow::GetScreenWindow();
    if (!root)
        return nullptr;
    auto* editor = new CLevelEditorWindow(mode);
    root->AddChildFirst(editor, {.dx = 0, .dy = 0, .flags = kPlaceNoGrow | kPlacePixels});
    editor->SetRectXYWH(0, 0, 9999, 9999);
    // A line the reader dropped from the stored levels keeps their saves
    // from writing over it until it is mended: the designer hears of it,
    // and of the line, before editing.
    CJString file;
    CLevelSet* levels = FindLevels();
    if (mode == CLevelEditorWindow::kModeStoredLevel && levels && FindObjectFileName(levels, &file)
        && WasKeyDroppedFromFile(file.GetString())) {
        CJString why;
        if (!std::unique_ptr<CObject>(ReadObjectFileWhole(file.GetString(), &why)) && why.IsNotEmpty()) {
            CJString text(file);
            text.Append(": ");
            text.Append(why);
            text.Append(". The levels are not saved until that line is corrected or removed in the file; then your "
                        "edits are saved at the next save, close or exit.");
            editor->ShowMessageBox(CJString("Warning"), text);
        }
    }
    return editor;
}

bool IsLevelEditorOnPlayedLevel()
{
    return g_LevelEditor && g_LevelEditor->GetMode() == CLevelEditorWindow::kModePlayedLevel;
}

bool IsLevelEditorOnStoredLevel()
{
    return g_LevelEditor && g_LevelEditor->GetMode() == CLevelEditorWindow::kModeStoredLevel;
}

CLevelEditorWindow* GetLevelEditorWindow()
{
    return g_LevelEditor;
}

namespace {

bool AnswerLevelEditorOpen()
{
    return g_LevelEditor != nullptr;
}

class CLevelEditorUiHooks final : public CUiHooks {
public:
    bool IsLevelEditorOpen() override { return g_LevelEditor != nullptr; }
};

// Everything but the editor's sprite drawing goes to the table that was
// there before (the playfield's).
class CLevelEditorScriptingHooks final : public CScriptingHooks {
public:
    CScriptingHooks* m_Below = nullptr;

    CScriptingHooks& Below() { return m_Below ? *m_Below : m_Default; }
    void FindSpritesByReference(const CScriptReferenceToTarget& reference, CArrayPOD<CSprite*>& out,
                                bool loose) override
    {
        Below().FindSpritesByReference(reference, out, loose);
    }
    void BroadcastToCurrentPlayfield(CMessage& message) override { Below().BroadcastToCurrentPlayfield(message); }
    bool GetReferencePosition(const CScriptReferenceToTarget& reference, CFPoint& out, CSprite* own) override
    {
        return Below().GetReferencePosition(reference, out, own);
    }
    CFPoint ScreenToLayerOfSprite(CSprite* sprite, CFPoint point) override
    {
        return Below().ScreenToLayerOfSprite(sprite, point);
    }
    bool AddSpriteToLayer(CSprite* sprite, const char* layerName, LayerEnd end) override
    {
        return Below().AddSpriteToLayer(sprite, layerName, end);
    }
    void SendToCurrentLevel(CMessage& message) override { Below().SendToCurrentLevel(message); }
    void SpawnPowerUpText(CFPoint position, const CJString& text) override { Below().SpawnPowerUpText(position, text); }
    bool IsNeighborhoodViewerOpen() override { return Below().IsNeighborhoodViewerOpen(); }
    bool DrawSpriteInEditor(CSprite& sprite, CFrameInterface& target) override
    {
        if (!g_LevelEditor)
            return Below().DrawSpriteInEditor(sprite, target);
        g_LevelEditor->DrawSprite(sprite, target);
        return true;
    }

private:
    CScriptingHooks m_Default;
};

class CLevelEditorSorterHooks final : public CLevelSorterHooks {
public:
    bool IsLevelEditorOpenOnStoredLevel() override { return ::IsLevelEditorOnStoredLevel(); }
    bool IsLevelEditorOpenOnPlayedLevel() override
    {
        return g_LevelEditor && g_LevelEditor->GetMode() == CLevelEditorWindow::kModePlayedLevel;
    }
    void OpenObjectEditor(CObject* object) override { ::OpenObjectEditor(object, object); }
};

class CLevelEditorGameHooks final : public CGameEditorHooks {
public:
    bool IsEditorOpen() override { return g_LevelEditor != nullptr; }
    // Asked while the closing editor is still registered: only the stored
    // level's editor has the game restart the level it changed.
    bool EditorMayClose() override { return ::IsLevelEditorOnStoredLevel(); }
    void OpenEditor(int32_t mode) override { OpenLevelEditor(mode); }
    CJString FinishEditorsAtEnd() override
    {
        CObjectEditor* editor = GetCurrentObjectEditor();
        CJString refusals = editor ? editor->FinishAtProgramEnd() : CJString();
        const CJString levels = g_LevelEditor ? g_LevelEditor->SaveLevelsAsItCloses() : CJString();
        if (refusals.IsNotEmpty() && levels.IsNotEmpty())
            refusals.Append("\n\n");
        refusals.Append(levels);
        return refusals;
    }
};

} // namespace

void InstallLevelEditorHooks()
{
    static CLevelEditorUiHooks ui;
    static CLevelEditorScriptingHooks scripting;
    static CLevelEditorSorterHooks sorter;
    static CLevelEditorGameHooks game;
    [[maybe_unused]] static const bool savesNoted = (RegisterObjectSavedCallback(&NoteSavedObject),
                                                     RegisterCanSaveObjectCallback(&KeepLevelsOverPlayedLevel), true);
    SetUiHooks(&ui);
    SetLevelEditorOpenQuery(&AnswerLevelEditorOpen);
    SetLevelSorterHooks(&sorter);
    SetGameEditorHooks(&game);
    CScriptingHooks* below = SetScriptingHooks(&scripting);
    if (below != &scripting)
        scripting.m_Below = below;
}
