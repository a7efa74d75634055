#pragma once
// The one record of the mouse: where it is in game coordinates, which
// buttons are held, which were clicked and not yet consumed, the wheel steps
// not yet taken, and the cursor the game draws over the screen.
//
// The message pump feeds it (OnWindowPosition, SetButtons, AddClicks,
// AddWheel) and the game reads it during its update. Objects that must hear
// every change at once derive from CMouseEventListenerMixin.
//
// Button bits: 1 left, 2 right, 4 middle, 8 and 16 the extra buttons.
// Window points become game points through the same mapping the screen is
// drawn with (CScreenDevice::ClientToGame), truncated toward zero.

#include "foundation/CFPoint.h"
#include "foundation/CPoint.h"
#include "foundation/CRect.h"

#include <cstdint>
#include <vector>

class CBlitType;
class CFrameInterface;

// The options of SetCursor. The start option is kept for the cursor's
// animation; AtLastFrame moves the cursor frame to the sequence's last;
// Sequence draws the sequence's own current frame instead of the mouse
// state's cursor frame.
enum class CursorStart : uint8_t { NotStarted, Started };
enum class CursorStop : uint8_t { Running, AtLastFrame };
enum class CursorFrameSource : uint8_t { MouseState, Sequence };

enum class MouseEventType : int32_t { Move = 0, Pressed = 1, Released = 2, Click = 3, Wheel = 4 };

struct CMouseEvent {
    MouseEventType type = MouseEventType::Move;
    int32_t x = 0;
    int32_t y = 0;
    float wheel = 0.0f;     // the accumulator after the change
    uint32_t buttons = 0;   // held after the change
    uint32_t changed = 0;   // Pressed, Released, Click: the buttons concerned
    float wheelStep = 0.0f; // Wheel: the step added
};

class CMouseEventListenerMixin {
public:
    CMouseEventListenerMixin();
    virtual ~CMouseEventListenerMixin();
    CMouseEventListenerMixin(const CMouseEventListenerMixin&) = delete;
    CMouseEventListenerMixin& operator=(const CMouseEventListenerMixin&) = delete;
    virtual void OnMouseEvent(const CMouseEvent& event) = 0;
};

// What the cursor is drawn from: an animated run of frames.
class CCursorSequence {
public:
    virtual ~CCursorSequence() = default;
    virtual int32_t GetFrameCount() const = 0;
    // The sequence's own current frame.
    virtual int32_t GetCurrentFrame() const = 0;
    // Null outside 0..count-1.
    virtual CFrameInterface* GetFrame(int32_t index) const = 0;
    virtual CBlitType& GetBlitType() const = 0;
};

class CMouseState {
public:
    static CMouseState& SGetInstance();

    // Fed by the pump.
    void OnWindowPosition(int32_t windowX, int32_t windowY);
    void SetButtons(uint32_t mask);
    void AddClicks(uint32_t mask);
    void AddWheel(float steps);

    // Read by the game.
    void GetPosition(int32_t& x, int32_t& y) const { x = m_X, y = m_Y; }
    CPoint GetPositionPoint() const { return CPoint{m_X, m_Y}; }
    CFPoint GetPositionFloat() const { return CFPoint{float(m_X), float(m_Y)}; }
    uint32_t GetButtons() const { return m_Buttons; }
    // The buttons pressed since the last call, whether or not still held,
    // so that a press released before the game looks is not lost.
    uint32_t TakePressedButtons();
    // True, and those clicks cleared, when any of the buttons was clicked.
    bool ConsumeClicks(uint32_t mask);
    // The whole wheel steps (toward zero); the fraction stays.
    int32_t TakeWheelSteps();
    // Moves the game position and the system pointer with it.
    void SetPosition(int32_t x, int32_t y);

    // The cursor. Returns the previous sequence.
    CCursorSequence* SetCursor(CCursorSequence* sequence, CursorStart start, CursorStop stop,
                               CursorFrameSource frameSource);
    CCursorSequence* GetCursor() const { return m_Cursor; }
    void SetCursorUnderlay(CFrameInterface* underlay, float opacity);
    float GetCursorFrame() const { return m_CursorFrame; }
    void SetCursorFrame(float frame) { m_CursorFrame = frame; }
    // Each returns the previous visibility.
    bool ShowCursor() { return SetCursorVisible(true); }
    bool HideCursor() { return SetCursorVisible(false); }
    bool SetCursorVisible(bool visible);
    bool IsCursorVisible() const { return m_CursorVisible; }
    void ForceSystemCursor();
    void UnforceSystemCursor();
    void EndTracking();
    // The system arrow or none, as the game's cursor needs.
    void RefreshSystemCursor();
    void DrawCursor(CFrameInterface& target);
    // The current cursor frame's bounds at the mouse position; false
    // without a sequence or while hidden.
    bool GetCursorRect(CRect& out) const;

    // While on, movements are summed (TakeRelativeMovement).
    void StartTracking();
    bool IsTracking() const { return m_Tracking; }
    void TakeRelativeMovement(int32_t& dx, int32_t& dy);

    // Tests: back to the state at construction; listeners stay.
    void ResetForTesting();

private:
    friend class CMouseEventListenerMixin;
    CMouseState() = default;
    void Send(MouseEventType type, uint32_t changed, float wheelStep);

    CCursorSequence* m_Cursor = nullptr;
    CFrameInterface* m_CursorUnderlay = nullptr;
    float m_UnderlayOpacity = 1.0f;
    float m_CursorFrame = 0.0f;
    bool m_SystemCursorForced = false;
    bool m_CursorVisible = false;
    int32_t m_X = 0;
    int32_t m_Y = 0;
    uint32_t m_Buttons = 0;
    uint32_t m_Clicks = 0;
    uint32_t m_Pressed = 0;
    float m_Wheel = 0.0f;
    CursorStart m_Start = CursorStart::Started;
    CursorStop m_Stop = CursorStop::Running;
    CursorFrameSource m_FrameSource = CursorFrameSource::MouseState;
    bool m_Tracking = false;
    int32_t m_LastX = 0;
    int32_t m_LastY = 0;
    int32_t m_SumDX = 0;
    int32_t m_SumDY = 0;
    std::vector<CMouseEventListenerMixin*> m_Listeners;
};
