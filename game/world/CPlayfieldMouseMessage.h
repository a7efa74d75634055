#pragma once
// Mouse input that reaches the playfield rather than a window, as messages
// the playfield broadcasts to its layers and sprites: a press, a release and
// a movement. The type names are registered together at start-up
// (RegisterPlayfieldMouseMessageTypes), wheel and double click with them.
#include "foundation/CPoint.h"
#include "objects/CMessage.h"

#include <cstdint>

inline constexpr uint32_t kLeftMouseButton = 1u << 0;

class CPlayfieldMouseMessage : public CMessage {
public:
    // A press and a release carry the buttons held; a movement the second
    // point its sender gives.
    static CPlayfieldMouseMessage MouseDown(uint32_t target, uint32_t buttons, CPoint position);
    static CPlayfieldMouseMessage MouseUp(uint32_t target, uint32_t buttons, CPoint position);
    static CPlayfieldMouseMessage MouseMoved(uint32_t target, CPoint position, CPoint second);

    static uint32_t SGetMouseDownType();
    static uint32_t SGetMouseUpType();
    static uint32_t SGetMouseMovedType();

    uint32_t GetTarget() const { return m_Target; }
    CPoint GetPosition() const { return m_Position; }
    uint32_t GetButtons() const { return m_Buttons; }
    CPoint GetSecondPoint() const { return m_Second; }
    // Layers that map their sprites move the points for them, and back.
    void SetPosition(CPoint position) { m_Position = position; }
    void SetSecondPoint(CPoint second) { m_Second = second; }

private:
    CPlayfieldMouseMessage(uint32_t type, uint32_t target, CPoint position)
        : CMessage(type)
        , m_Target(target)
        , m_Position(position)
    {
    }

    uint32_t m_Target;
    CPoint m_Position;
    uint32_t m_Buttons = 0;
    CPoint m_Second{0, 0};
};

// Looks up the five mouse message type names, in a fixed order.
void RegisterPlayfieldMouseMessageTypes();

// The game's input handling, for a point the window under the cursor left
// to the playfield (in playfield coordinates). A press with the left button
// counts one click in the level's statistics and is broadcast; a press
// without it drops any sprite held on the cursor and sends nothing. Releases
// and movements are always broadcast. Nothing is sent without a current
// playfield.
void SendPlayfieldMouseDown(uint32_t buttons, CPoint position);
void SendPlayfieldMouseUp(uint32_t buttons, CPoint position);
void SendPlayfieldMouseMoved(CPoint position, CPoint second);
