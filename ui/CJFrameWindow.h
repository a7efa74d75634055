#pragma once
// Movable, optionally resizable top-level windows.
//
// CJSolidWindow hides the screen's tool tip while hovered and hands the
// clipboard operations to its front child only.
//
// CJFrameWindow adds a skin object (made by the window's theme) that draws
// its background and frame around the children, an optional close button,
// transparency toggle and resize grip, and dragging: a press on the
// window's own area moves it; with a grip, a press within two font units of
// an edge (six along it near a corner) drags those edges instead. Resizing
// never goes below the size the window had when it was built: SetRect
// pushes the right and bottom edges out, and a drag then puts the window
// and the pointer back on the dragged edge. A press anywhere inside a frame
// window is taken, so clicks never reach the windows behind it.

#include "ui/CControlSkins.h"
#include "ui/CJWindow.h"

#include <memory>

class CJButton;
class CJResize;
class CJToggleRadioButton;

// Cursor ids of the standard cursor table.
inline constexpr int32_t kCursorCanMoveX = 7;
inline constexpr int32_t kCursorMovingX = 8;
inline constexpr int32_t kCursorCanMoveY = 9;
inline constexpr int32_t kCursorMovingY = 10;
inline constexpr int32_t kCursorCanResize = 11;
inline constexpr int32_t kCursorResizing = 12;
inline constexpr int32_t kCursorCanResizeOther = 13;
inline constexpr int32_t kCursorResizingOther = 14;

class CJSolidWindow : public CJWindow {
public:
    using CJWindow::CJWindow;

    // Shows an empty tip (hiding the screen's), true.
    bool OnHover(CPoint point) override;
    // The front child's answer; false without children.
    bool ClipboardCut(intptr_t arg) override;
    bool ClipboardCopy(intptr_t arg) override;
    bool ClipboardPaste(intptr_t arg) override;
    bool ClipboardDelete(intptr_t arg) override;
};

class CJFrameWindow : public CJSolidWindow, public CFrameWindowSkinClient {
public:
    explicit CJFrameWindow(CJWindow* parent);
    CJFrameWindow(CJWindow* parent, const CJString& title);
    CJFrameWindow(CJWindow* parent, const char* title);
    ~CJFrameWindow() override;

    // Each adds its control once.
    void AddCloseButton();
    void AddTransparencyToggle();
    void AddResizeGrip();

    // Sequence index 0 means no icon.
    void SetIconSequence(const char* name);
    void SetIconSequenceIndex(int32_t index) { m_IconSequence = index; }
    int32_t GetIconSequenceIndex() const { return m_IconSequence; }

    void SetMovable(bool movable) { m_Movable = movable; }
    bool IsMovable() const { return m_Movable; }
    bool IsResizable() const { return m_ResizeGrip != nullptr; }
    int32_t GetMinWidth() const { return m_MinWidth; }
    int32_t GetMinHeight() const { return m_MinHeight; }
    CJButton* GetCloseButton() const { return m_CloseButton; }
    CJToggleRadioButton* GetTransparencyToggle() const { return m_TransparencyToggle; }
    CJResize* GetResizeGrip() const { return m_ResizeGrip; }
    CFrameWindowSkin* GetSkinObject() const { return m_Skin.get(); }

    // Skin back, children, skin front (see SetSkinBackFirst).
    void Draw(CFrameInterface& frame) override;
    virtual void DrawSkinBack(CFrameInterface& frame);
    virtual void DrawSkinFront(CFrameInterface& frame);
    virtual CFont* GetTitleFont();
    // Edge mask (kEdgeLeft...) of a point in window coordinates.
    virtual uint32_t GetResizeEdges(CPoint point);

    int32_t GetClientTopInset() const override;
    // How far the skin draws the frame (its title, a plate on its top edge)
    // above the window's rectangle.
    int32_t GetReachAbove() const;
    // Moves the attached window so that the whole frame, with what its skin
    // draws above it, lies on the screen (from the left and top when it is
    // larger): a place kept or given before the window grew or had a host
    // that may scroll can stand off it, and at the screen's top the title
    // would be drawn above the edge.
    void KeepOnScreen();
    int32_t GetClientLeftInset() const override { return 0; }
    // The window whose frame is in front draws the active skin.
    bool IsActive() const override;
    // Keeps the minimum size when resizable and places the frame's own
    // controls again.
    void SetRect(const CRect& rect) override;
    void OnNotify(CJWindow* sender, int32_t code) override;
    void RemoveChild(CJWindow* child) override;
    bool OnMouseDown(uint32_t button, CPoint point) override;
    bool OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag) override;
    bool OnMouseUp(uint32_t button, CPoint point) override;
    CCursorSequence* GetCursor(CPoint point) override;
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override;

    // Moves the edges in mask by the movement, keeping the minimum size,
    // and puts the pointer back on the dragged edges; the grip uses it too.
    void ResizeByDrag(uint32_t mask, CPoint point, CPoint movement);

    const SFrameWindowSkinState& GetFrameWindowSkinState() const override;

    // Process-wide: true (the default) draws the skin's back before the
    // children and its front after them; false swaps the two.
    static void SetSkinBackFirst(bool backFirst);

private:
    void Construct();
    void PlaceFrameControls();

    int32_t m_IconSequence = 0;
    CJButton* m_CloseButton = nullptr;
    CJResize* m_ResizeGrip = nullptr;
    CJToggleRadioButton* m_TransparencyToggle = nullptr;
    bool m_Movable = true;
    int32_t m_MinWidth = 10;
    int32_t m_MinHeight = 10;
    std::unique_ptr<CFrameWindowSkin> m_Skin;
    mutable SFrameWindowSkinState m_SkinState;
};
