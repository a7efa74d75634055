#pragma once
// The vertical or horizontal bar that scrolls a window (or a list box), or
// stands free and only tells its parent.
//
// The bar is made of five parts: two arrows at its ends, the track between
// them and the thumb on the track. Arrows move by the line step, the track
// on either side of the thumb by the page step, and the thumb follows the
// pointer. A bar attached to a window sets that window's scroll position on
// every change it makes; a window that scrolls with bars gets them from
// here (UpdateScrollBars) once InstallScrollBarFactory has run.
//
// The value is a float in [minimum, maximum]; a range of 0 (or less) leaves
// the thumb at the track's start and ignores drags.

#include "ui/CJWindow.h"

#include <cstdint>

// Bar orientation.
inline constexpr uint32_t kScrollBarVertical = 1;
inline constexpr uint32_t kScrollBarHorizontal = 0;

// The pressed part.
enum : uint32_t {
    kScrollPartNone = 0,
    kScrollPartThumb = 1,
    kScrollPartFirstArrow = 2,
    kScrollPartSecondArrow = 3,
    kScrollPartTrackBefore = 4,
    kScrollPartTrackAfter = 5,
};

class CJScrollBar : public CJWindow {
public:
    // owner: the parent the bar is built for (lends theme and font).
    CJScrollBar(CJWindow* owner, uint32_t orientation);

    // The four parts; no children.
    void Draw(CFrameInterface& frame) override;
    // Lays the parts out again; a bar of its parent's scroll record keeps
    // the place the parent gives it.
    void SetRect(const CRect& rect) override;
    bool OnMouseDown(uint32_t button, CPoint point) override;
    bool OnMouseUp(uint32_t button, CPoint point) override;
    // The thumb follows the pointer while it is held.
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override;
    bool OnMouseWheel(int32_t delta, CPoint point) override;
    // Escape or a lost focus ends a press.
    void OnMouseCaptureLost(uint32_t buttons) override;
    CCursorSequence* GetCursor(CPoint point) override;

    // glyph: one character, empty for none; raised false: pressed.
    virtual void DrawTrack(CFrameInterface& frame, const CRect& rect, const CColor& focusColour,
                           const CColor& textColour, bool raised);
    virtual void DrawFirstArrow(CFrameInterface& frame, const CRect& rect, const CJString& glyph, bool raised);
    virtual void DrawSecondArrow(CFrameInterface& frame, const CRect& rect, const CJString& glyph, bool raised);
    virtual void DrawThumb(CFrameInterface& frame, const CRect& rect);
    // The arrows and the track from the bar's size, then UpdateLayout.
    virtual void LayoutParts();
    // The thumb from the range and the value.
    virtual void UpdateLayout();

    void SetRange(float minimum, float maximum);
    // Clamped into the range; unless silent, the parent is told and the
    // attached window scrolls.
    void SetValue(float value, bool silent);
    float GetValue() const { return m_Value; }
    float GetMinimum() const { return m_Minimum; }
    float GetMaximum() const { return m_Maximum; }
    void SetLineStep(float step) { m_LineStep = step; }
    void SetPageStep(float step) { m_PageStep = step; }
    float GetLineStep() const { return m_LineStep; }
    float GetPageStep() const { return m_PageStep; }
    float GetPixelsPerUnit() const { return m_PixelsPerUnit; }
    bool IsVertical() const { return m_Orientation == kScrollBarVertical; }
    uint32_t GetPressedPart() const { return m_PressedPart; }

    // Bar-relative rectangles.
    const CRect& GetTrackRect() const { return m_TrackRect; }
    const CRect& GetFirstArrowRect() const { return m_FirstArrowRect; }
    const CRect& GetSecondArrowRect() const { return m_SecondArrowRect; }
    const CRect& GetThumbRect() const { return m_ThumbRect; }

    // The window whose scroll position the bar drives; null: a free bar.
    void SetScrollWindow(CJWindow* window) { m_Window = window; }
    CJWindow* GetScrollWindow() const { return m_Window; }
    // Range, value and steps from the window's scroll record.
    void SyncWithWindow(CJWindow& window);
    // Cuts rect (in the coordinates of the window whose screen top-left is
    // origin) so that it stops short of the bar; true when it was cut.
    bool ClipRectToBar(CRect& rect, CPoint origin) const;

    // The part under a bar-relative point (kScrollPartNone off the bar).
    uint32_t HitTestPart(CPoint local) const;

private:
    // Every part is one of these boxes; align: continue the parent's texture.
    void DrawScrollBarBox(CFrameInterface& frame, const CRect& rect, bool alignTexture, const CJString& glyph,
                          bool raised);
    // A bar of its parent's scroll record; place: where the parent keeps it.
    bool IsParentsBar(CRect& place) const;
    // Along the bar's axis.
    int32_t GetLength() const;

    CRect m_TrackRect{};
    CRect m_FirstArrowRect{};
    CRect m_SecondArrowRect{};
    CRect m_ThumbRect{};
    uint32_t m_Orientation = kScrollBarVertical;
    float m_Minimum = 0.0f;
    float m_Maximum = 1000.0f;
    float m_Value = 0.0f;
    float m_LineStep = 1.0f;
    float m_PageStep = 10.0f;
    float m_PixelsPerUnit = 0.0f;
    uint32_t m_PressedPart = kScrollPartNone;
    CJWindow* m_Window = nullptr;
    // The drag's start: the value and the screen point at the press.
    float m_PressValue = 0.0f;
    CPoint m_PressScreenPoint{0, 0};
    bool m_InSetRect = false;
};

// Makes real bars for windows that scroll with bars (UpdateScrollBars).
// Idempotent; answers the factory it replaced.
SScrollBarFactory InstallScrollBarFactory();
