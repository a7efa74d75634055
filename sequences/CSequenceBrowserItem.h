#pragma once
// The animated thumbnail of one sequence: plays at the sequence's rate and,
// for the sequence editor, steps frame by frame, marks the hot spot and
// places a frame's coordinate point with a click.

#include "objects/CImageBrowserItemBridge.h"

class CSequence;

class CSequenceBrowserItem : public CImageBrowserItemBridge {
public:
    // A null sequence draws nothing and has empty bounds.
    CSequenceBrowserItem(CVirtualArray* list, uint32_t index, CSequence* sequence);

    void Draw(CFrameInterface& target, CPoint point) override;
    void Update(float seconds) override;
    // With coordinate editing on and playback paused, button 0 sets the
    // current frame's point (relative to the hot spot).
    bool Click(uint32_t button, CPoint point) override;
    void GetBounds(CRect& out) override;

    void Play() { m_Playing = true; }
    void Pause() { m_Playing = false; }
    // Whole frames, wrapping at both ends.
    void PreviousFrame();
    void NextFrame();
    void SetShowHotSpot(bool on) { m_ShowHotSpot = on; }
    void SetEditCoordinates(bool on) { m_EditCoordinates = on; }
    bool IsPlaying() const { return m_Playing; }
    float GetPosition() const { return m_Position; }

    // Entry index of list, loaded.
    static std::unique_ptr<CImageBrowserItemBridge> SCreate(CVirtualArray* list, uint32_t index);

private:
    uint32_t FrameCount() const;

    CSequence* m_Sequence;
    float m_Position = 0.0f;
    bool m_Playing = true;
    bool m_ShowHotSpot = false;
    bool m_EditCoordinates = false;
};
