#pragma once
// The level editor's default tool: a frame with ten handles around the
// selected sprites. The corner and side handles scale the selection about
// the frame's centre, the rotator turns it; Ctrl+wheel turns it 5 degrees a
// click, and with Shift scales it by 1.05 (up) or 1/1.05 (down).
//
// The handles' pictures, cursors and tips are data: the general object
// "Rotate And Scale Tool Options", one entry per handle. A handle without a
// "Dragging Cursor" cannot be dragged; a press on it selects as usual.
//
// The frame is the selection's unrotated screen bounds; the tool keeps the
// angle turned since the selection last changed and draws the frame turned
// by it. Scale factors of a handle drag are relative to the previous event.

#include "editor/CEditorTool.h"
#include "foundation/CFPoint.h"
#include "foundation/CJString.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>
#include <memory>
#include <vector>

class CSequence;
class CSequenceCursor;

class CRotateAndScaleToolHandleOptions : public CObject {
    OMBRISALT_REFLECTED(CRotateAndScaleToolHandleOptions, CObject)
public:
    CRotateAndScaleToolHandleOptions();
    ~CRotateAndScaleToolHandleOptions() override;

    // Indices into the sequence list; 0 (its "!None") = none.
    int32_t m_Image = 0;          // "Image"
    int32_t m_CanDragCursor = 0;  // "Can Drag Cursor"
    int32_t m_DraggingCursor = 0; // "Dragging Cursor"
    CJString m_ToolTip;           // "Tool Tip"
};

class CRotateAndScaleToolOptions : public CObject {
    OMBRISALT_REFLECTED(CRotateAndScaleToolOptions, CObject)
public:
    CRotateAndScaleToolOptions();
    ~CRotateAndScaleToolOptions() override;

    // Null past the end or for an empty slot.
    CRotateAndScaleToolHandleOptions* GetHandle(int32_t index) const;

    CPropertyArray<CRotateAndScaleToolHandleOptions*> m_HandleOptions; // "Handle List", owned
};

// The handle names, in handle order ("Top Left" .. "Origin").
CVirtualArray& GetRotateAndScaleHandleNames();

// "Rotate And Scale Tool Options" of the general objects; null when the data
// has none (the tool then draws its frame only and drags nothing).
CRotateAndScaleToolOptions* GetRotateAndScaleToolOptions();
// Tests: the next lookup searches the general objects by name again.
void ForgetRotateAndScaleToolOptions();

class CRotateAndScaleTool : public CEditorTool {
public:
    enum Handle : int32_t {
        kTopLeft,
        kTopRight,
        kBottomRight,
        kBottomLeft,
        kTop,
        kBottom,
        kLeft,
        kRight,
        kRotator,
        kOrigin,
        kHandleCount
    };
    // Pixels between the frame and its corner and side handles.
    static constexpr float kHandleMargin = 6.0f;
    // Pixels between the "Top" handle and the rotator.
    static constexpr float kRotatorStem = 15.0f;
    // Squared pixels within which a handle is picked.
    static constexpr float kPickDistanceSquared = 25.0f;
    static constexpr float kWheelAngle = 0.08726646f;
    static constexpr float kWheelScaleUp = 1.05f;
    static constexpr float kWheelScaleDown = 0.952381f;

    explicit CRotateAndScaleTool(CLevelEditorWindow* editor);
    ~CRotateAndScaleTool() override;

    // ---- CJWindow ---------------------------------------------------------
    void Draw(CFrameInterface& frame) override;
    bool OnMouseMove(CPoint point, CPoint movement, CCursorSequence*& cursor) override;
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override;
    void OnMouseRelease(CPoint point, uint32_t buttons) override;
    bool OnMouseWheel(int32_t delta, CPoint point) override;
    bool OnHover(CPoint point) override;

    // ---- CEditorTool ------------------------------------------------------
    void OnSelectionChanged() override;
    void OnSelectionMoved() override;

    // ---- Tool -------------------------------------------------------------
    // Frame from the selection's screen bounds, centre its middle, angle 0.
    void RecomputeFrame();
    // Turns every selected sprite about the centre by delta radians;
    // keepAngles moves positions only.
    void RotateSelection(float delta, bool keepAngles);
    // Scales the frame and every selected sprite about the centre;
    // keepScales moves positions only.
    void ScaleSelection(float sx, float sy, bool keepScales);
    // The handle's position, turned about the centre by the angle.
    CFPoint GetHandlePosition(int32_t handle) const;
    // The nearest handle within 5 pixels (a tie goes to the later one), or
    // -1; offset receives handle - point.
    int32_t PickHandle(const CFPoint& point, CFPoint& offset) const;

    float GetAngle() const { return m_Angle; }
    const CFPoint& GetCentre() const { return m_Centre; }
    float GetFrameLeft() const { return m_Left; }
    float GetFrameTop() const { return m_Top; }
    float GetFrameRight() const { return m_Right; }
    float GetFrameBottom() const { return m_Bottom; }
    int32_t GetActiveHandle() const { return m_ActiveHandle; }

private:
    // A non-empty selection and the option "Add Rotate And Scale Handles To
    // Selected Objects" on.
    bool ShowsHandles() const;
    CRotateAndScaleToolHandleOptions* HandleOptions(int32_t handle) const;
    // The cursor over a sequence-list index; null for none.
    CCursorSequence* CursorFor(int32_t sequenceIndex);
    // Each selected sprite with the layer that holds it.
    template <typename F>
    void ForEachSelectedSprite(F&& f);

    float m_Angle = 0.0f;
    CFPoint m_Centre{0.0f, 0.0f};
    float m_Left = 0.0f;
    float m_Top = 0.0f;
    float m_Right = 0.0f;
    float m_Bottom = 0.0f;
    int32_t m_ActiveHandle = -1;
    bool m_DragStarted = false;
    CFPoint m_GrabOffset{0.0f, 0.0f};

    // Cursors handed to the shell must outlive the event: one per sequence.
    struct SCursor {
        CSequence* sequence = nullptr;
        std::unique_ptr<CSequenceCursor> cursor;
    };
    std::vector<SCursor> m_Cursors;
};

// The tool's option classes (RegisterEditorClasses calls it); the level
// editor makes the tool its default one.
void RegisterRotateAndScaleToolClasses();
