#pragma once
// The level editor: one full-screen window laid over the running game in
// which a designer selects, moves, orders, copies and deletes the sprites of
// the current level's playfield and opens the object editor on any object.
// At most one exists at a time.
//
// Mode 1 (F7) edits the level being played (the played copy stays held)
// and saves nothing; mode 0 (F6) edits the stored level (the played copy is
// released first) and saves "Levels" when it closes. A save that fails is
// reported in a message box; the level stays in memory as edited.
//
// Everything the editor does to sprites goes through its selection: a list
// of (sprite, layer name) entries in the order of selecting. Only layers
// both shown and pickable in the editor take part in picking, rubber-band
// selection and select-all. Moves, deletes and pastes need an editable
// level (mode 1, or a "Levels" file that may be written); a refused move
// shows "This level can not be edited because it is not checked out" once
// the mouse buttons are released. Deleted sprites are not destroyed (game
// objects may still point at them): the level keeps them until it goes.
//
// The active tool (CEditorTool) gets each pointer, key, draw and clipboard
// event before the editor's own handling. The tool palette and the default
// tool come from makers that the palette's and tool's code install; without
// them the editor runs with no palette and a tool that takes nothing.

#include "editor/CSelectedObjects.h"
#include "foundation/CFPoint.h"
#include "ui/CJWindow.h"

#include <cstdint>
#include <vector>

class CEditorTool;
class CFont;
class CLevelOptions;
class CPlayfield;
class CPlayfieldLayer;
class CSprite;

class CLevelEditorWindow : public CJWindow {
public:
    static constexpr int32_t kModeStoredLevel = 0;
    static constexpr int32_t kModePlayedLevel = 1;
    // Squared pixels a press must travel before the selection moves.
    static constexpr uint32_t kDragThresholdSquared = 25;

    explicit CLevelEditorWindow(int32_t mode);
    ~CLevelEditorWindow() override;

    int32_t GetMode() const { return m_Mode; }
    // Over the stored levels: saves them as its close does (once as the
    // program ends); a refusal is answered, not told.
    CJString SaveLevelsAsItCloses();
    // Told of each save of "Levels" while the editor is open.
    void NoteLevelsSaved();
    bool IsEditable() const { return m_Editable; }
    bool IsCantEditPending() const { return m_CantEditPending; }
    CEditorTool* GetActiveTool() const { return m_ActiveTool; }
    CEditorTool* GetDefaultTool() const { return m_DefaultTool; }
    // The old tool is told it lost the focus, the new one that it has it.
    void SetActiveTool(CEditorTool* tool);
    CJWindow* GetToolPalette() const { return m_ToolPalette; }
    // The palette closing itself tells the editor, which forgets it.
    void ForgetToolPalette() { m_ToolPalette = nullptr; }
    CFont* GetEditorFont() const { return m_EditorFont; }
    // The rubber band's corners; the press corner is (-1, -1) when none.
    CPoint GetRubberBandStart() const { return m_BandStart; }
    CPoint GetRubberBandEnd() const { return m_BandEnd; }

    // ---- Selection ---------------------------------------------------------
    const CSelectedObjects& GetSelection() const { return m_Selection; }
    uint32_t GetSelectedCount() const { return m_Selection.GetCount(); }
    CObject* GetSelectedObject(uint32_t index) const { return m_Selection.GetObject(index); }
    // Null or add false clears first; an object not yet selected is appended.
    void SelectObject(CObject* object, const CJString& layerName, bool add);
    void DeselectObject(CObject* object);
    // Empties the selection without the selection-changed steps.
    void ClearSelection();
    bool IsSelected(const CObject* object) const;
    bool HasSelection() const { return m_Selection.GetObject(0) != nullptr; }
    void SelectAll();
    void SelectInRect(const CRect& screenRect);
    // Whole screen pixels, through each sprite's layer (so a scaled layer's
    // sprites keep under the pointer); raises can't-edit pending when the
    // level is not editable.
    void MoveSelection(int32_t dx, int32_t dy);
    // An open object editor on a selected sprite shows its values anew
    // after the sprites changed under it.
    void RefreshObjectEditorOnSelection();
    // The layer a selected sprite is shown and moved through: its entry's,
    // else the one holding it now (its layer renamed since); null when none.
    static CPlayfieldLayer* FindShownLayer(CPlayfield& playfield, const CSelectedObjectInfo& entry,
                                           const CSprite& sprite);
    void DeleteSelection();
    void PasteSelection();
    // The drawing-order commands, within each sprite's own layer.
    void BringForward();
    void SendBackward();
    void BringToFront();
    void SendToBack();
    void AutomaticZSort();
    void MoveToSelectedLayer();
    // Undo and redo close the object editor and clear the selection first;
    // false when there was nothing to take back (bring back).
    bool Undo();
    bool Redo();

    // The sprite under the screen point, topmost first; the layer's name
    // goes to layerName. Null when none.
    CSprite* PickSprite(CPoint point, CJString* layerName);
    // The union of the selected sprites' bounds (each offset by the sprite's
    // rounded position, through its layer's layer-to-screen map) in screen
    // coordinates; all zero when no selected sprite has any.
    CRect GetSelectionScreenFrame();

    // The playfield's sprite drawing asks this while the editor is open:
    // the sprite with its marks (selected silhouette, sort line, hit area).
    void DrawSprite(CSprite& sprite, CFrameInterface& target);

    // ---- Window ------------------------------------------------------------
    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;
    bool OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag) override;
    bool OnMouseDown(uint32_t button, CPoint point) override;
    bool OnMouseUp(uint32_t button, CPoint point) override;
    bool OnMouseMove(CPoint point, CPoint movement, CCursorSequence*& cursor) override;
    bool OnMouseWheel(int32_t delta, CPoint point) override;
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override;
    void OnMouseRelease(CPoint point, uint32_t buttons) override;
    bool ForwardToChildren(CMessage& message) override;
    bool OnKeyDown(uint32_t key) override;
    bool OnHotKey(uint32_t key) override;
    bool ClipboardCut(intptr_t arg) override;
    bool ClipboardCopy(intptr_t arg) override;
    bool ClipboardPaste(intptr_t arg) override;
    bool ClipboardDelete(intptr_t arg) override;
    CCursorSequence* GetCursor(CPoint point) override;
    bool OnHover(CPoint point) override;

private:
    // Clear the checkpoint's last name, tell the tool, and let an open
    // object editor follow a single selection.
    void OnSelectionChanged();
    void RaiseCantEdit() { m_CantEditPending = true; }
    void MoveWithCheckpoint(int32_t dx, int32_t dy);
    // A drag past the threshold, the pointer at point.
    void OnMoveSelectionDrag(CPoint point);
    // Each selected sprite goes to its base position plus the screen step
    // (dx, dy) taken through its layer; the base is where the drag found it
    // (drag) or where it stands.
    enum class EFrom { Here, DragStart };
    void PlaceSelection(int32_t dx, int32_t dy, EFrom from);
    // The selected sprites with their shown layer (FindShownLayer, the one
    // rule for every edit), in selection order; entries whose object is no
    // sprite are skipped.
    template <typename F>
    void ForEachSelectedSprite(F&& f);
    // Each selection entry names its sprite's shown layer (before a copy).
    void NameShownLayers();
    void CreateDroppedSprite(CJWindow* browser, CPoint point);

    CEditorTool* m_ActiveTool = nullptr;
    CEditorTool* m_DefaultTool = nullptr; // owned
    bool m_Editable = false;
    bool m_CantEditPending = false;
    CSelectedObjects m_Selection;
    // Where the dragged sprites stood when the drag began, in selection
    // order: a drag places from there by the pointer's whole way, so a
    // return to the press point is exact. Pointers only compared.
    struct SDragStart {
        const CSprite* sprite;
        CFPoint at;
    };
    std::vector<SDragStart> m_DragStarts;
    bool m_DragMoving = false;
    CPoint m_BandStart{-1, -1};
    CPoint m_BandEnd{-1, -1};
    CJWindow* m_ToolPalette = nullptr;
    int32_t m_Mode = 0;
    CFont* m_EditorFont = nullptr;
    float m_TutorialPreviewSeconds = 0.0f;
    // Mode 0: "Levels" as this session last saved it, or as it was at the
    // opening (owned). The close writes only a set that differs from it: an
    // undo of a saved change is written, a file nobody in the session
    // changed keeps its bytes (a hand edit made meanwhile too).
    CObject* m_LevelsAsSaved = nullptr;
    bool m_Closing = false;
    bool m_LevelsSavedAtEnd = false;
};

// Opens the editor in the mode in front of the screen's root window's
// children; nothing when one is open. Null when it could not be opened.
CLevelEditorWindow* OpenLevelEditor(int32_t mode);
// (Whether one is open at all: IsLevelEditorOpen of the scripting layer,
// which this editor answers.)
bool IsLevelEditorOnPlayedLevel();
bool IsLevelEditorOnStoredLevel();
CLevelEditorWindow* GetLevelEditorWindow();

// Fills the hooks of the lower layers that ask after the level editor, the
// game object's among them; RegisterEditorClasses calls it.
void InstallLevelEditorHooks();
