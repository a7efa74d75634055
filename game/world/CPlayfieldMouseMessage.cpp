#include "game/world/CPlayfieldMouseMessage.h"

#include "game/business/CCustomer.h"
#include "game/business/CUpgradeButton.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CPlayfield.h"

namespace {

struct MouseTypes {
    uint32_t down = 0;
    uint32_t up = 0;
    uint32_t moved = 0;
};

const MouseTypes& Types()
{
    static const MouseTypes types = [] {
        MouseTypes t{};
        t.down = CMessage::SGetMessageType("CMouseDownMessage");
        t.up = CMessage::SGetMessageType("CMouseUpMessage");
        t.moved = CMessage::SGetMessageType("CMouseMovedMessage");
        CMessage::SGetMessageType("CMouseWheelMovedMessage");
        CMessage::SGetMessageType("CMouseDoubleClickedMessage");
        return t;
    }();
    return types;
}

void Broadcast(CPlayfieldMouseMessage message)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    if (!playfield)
        return;
    // The menu button is a control over the whole street: a press on it is
    // its alone, never seen by the layers drawn over the HUD (a lesson
    // waiting for any click would take it too).
    if (CHUD* hud = playfield->GetHUD(); hud && hud->TakeMenuPress(message))
        return;
    playfield->BroadcastMessage(message);
}

} // namespace

void RegisterPlayfieldMouseMessageTypes()
{
    Types();
}

uint32_t CPlayfieldMouseMessage::SGetMouseDownType()
{
    return Types().down;
}

uint32_t CPlayfieldMouseMessage::SGetMouseUpType()
{
    return Types().up;
}

uint32_t CPlayfieldMouseMessage::SGetMouseMovedType()
{
    return Types().moved;
}

CPlayfieldMouseMessage CPlayfieldMouseMessage::MouseDown(uint32_t target, uint32_t buttons, CPoint position)
{
    CPlayfieldMouseMessage message(SGetMouseDownType(), target, position);
    message.m_Buttons = buttons;
    return message;
}

CPlayfieldMouseMessage CPlayfieldMouseMessage::MouseUp(uint32_t target, uint32_t buttons, CPoint position)
{
    CPlayfieldMouseMessage message(SGetMouseUpType(), target, position);
    message.m_Buttons = buttons;
    return message;
}

CPlayfieldMouseMessage CPlayfieldMouseMessage::MouseMoved(uint32_t target, CPoint position, CPoint second)
{
    CPlayfieldMouseMessage message(SGetMouseMovedType(), target, position);
    message.m_Second = second;
    return message;
}

void SendPlayfieldMouseDown(uint32_t buttons, CPoint position)
{
    if (!(buttons & kLeftMouseButton)) {
        // A customer or an upgrade button on the cursor goes back.
        DropDraggedCustomer();
        TakeDraggedUpgradeButton();
        return;
    }
    if (CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent())
        stats->AddClick();
    Broadcast(CPlayfieldMouseMessage::MouseDown(0, buttons, position));
}

void SendPlayfieldMouseUp(uint32_t buttons, CPoint position)
{
    Broadcast(CPlayfieldMouseMessage::MouseUp(0, buttons, position));
}

void SendPlayfieldMouseMoved(CPoint position, CPoint second)
{
    Broadcast(CPlayfieldMouseMessage::MouseMoved(0, position, second));
}
