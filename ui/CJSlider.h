#pragma once
// An integer value, 0 .. count - 1, picked by dragging a thumb along a
// track, by the arrow keys or by the wheel. Every change the user makes is
// told to the parent (OnNotify with kNotifyChanged).
//
// The track and the thumb are drawn (bevels over the skin) unless images
// are given; images size the slider to themselves. A greyed or disabled
// slider draws dimmed and leaves the shared blits and bevel colours as it
// found them.

#include "ui/CJWindow.h"

#include <cstdint>

class CJSlider : public CJWindow {
public:
    // step 0: a page is a twentieth of the positions (at least 1).
    CJSlider(CJWindow* parent, uint32_t count, uint32_t step);

    void Draw(CFrameInterface& frame) override;
    bool IsGrayed() const override;
    // Only without a thumb image, around the thumb.
    void DrawFocusRect(CFrameInterface& frame, const CColor& colour) override;
    bool OnKeyDown(uint32_t key) override;
    bool OnMouseWheel(int32_t delta, CPoint point) override;
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override;
    CCursorSequence* GetCursor(CPoint point) override;

    // Clamped to the last position; silent: no notice.
    virtual void SetValue(uint32_t value, bool silent);
    virtual uint32_t GetValue() const;

    // The thumb within bounds (the slider's own rectangle at the origin).
    CRect GetThumbRect(const CRect& bounds) const;
    // Not owned; each sizes the slider to the images.
    void SetTrackImage(CFrameInterface* image);
    void SetThumbImage(CFrameInterface* image);
    CFrameInterface* GetTrackImage() const { return m_TrackImage; }
    CFrameInterface* GetThumbImage() const { return m_ThumbImage; }

    void SetGrayed(bool grayed) { m_Grayed = grayed; }
    uint32_t GetCount() const { return m_Count; }
    uint32_t GetPageStep() const { return m_PageStep; }

private:
    void SizeToImages();

    bool m_Grayed = false;
    uint32_t m_Value = 0;
    uint32_t m_Count = 0;
    uint32_t m_PageStep = 1;
    CFrameInterface* m_TrackImage = nullptr;
    CFrameInterface* m_ThumbImage = nullptr;
};
