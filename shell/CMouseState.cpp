#include "shell/CMouseState.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/CFrameInterface.h"
#include "platform/CPlatform.h"
#include "platform/WindowDevice.h"
#include "shell/CScreenDevice.h"
#include "shell/GameWindow.h"

#include <algorithm>
#include <cmath>

CMouseEventListenerMixin::CMouseEventListenerMixin()
{
    CMouseState::SGetInstance().m_Listeners.push_back(this);
}

CMouseEventListenerMixin::~CMouseEventListenerMixin()
{
    auto& listeners = CMouseState::SGetInstance().m_Listeners;
    listeners.erase(std::remove(listeners.begin(), listeners.end(), this), listeners.end());
}

CMouseState& CMouseState::SGetInstance()
{
    static CMouseState* const instance = new CMouseState;
    return *instance;
}

void CMouseState::Send(MouseEventType type, uint32_t changed, float wheelStep)
{
    CMouseEvent event;
    event.type = type;
    event.x = m_X;
    event.y = m_Y;
    event.wheel = m_Wheel;
    event.buttons = m_Buttons;
    event.changed = changed;
    event.wheelStep = wheelStep;
    // A listener may unregister itself (or another) while it is told.
    const std::vector<CMouseEventListenerMixin*> listeners = m_Listeners;
    for (CMouseEventListenerMixin* listener : listeners)
        if (std::find(m_Listeners.begin(), m_Listeners.end(), listener) != m_Listeners.end())
            listener->OnMouseEvent(event);
}

void CMouseState::OnWindowPosition(int32_t windowX, int32_t windowY)
{
    float x = float(windowX), y = float(windowY);
    CScreenDevice::SGetInstance().ClientToGame(x, y);
    const int32_t gameX = int32_t(x), gameY = int32_t(y);
    if (gameX == m_X && gameY == m_Y)
        return;
    if (m_Tracking) {
        m_SumDX += gameX - m_X;
        m_SumDY += gameY - m_Y;
    }
    m_LastX = m_X;
    m_LastY = m_Y;
    m_X = gameX;
    m_Y = gameY;
    Send(MouseEventType::Move, 0, 0.0f);
}

void CMouseState::SetButtons(uint32_t mask)
{
    if (mask == m_Buttons)
        return;
    const uint32_t changed = mask ^ m_Buttons;
    const bool pressed = (mask & ~m_Buttons) != 0;
    m_Pressed |= mask & ~m_Buttons;
    m_Buttons = mask;
    Send(pressed ? MouseEventType::Pressed : MouseEventType::Released, changed, 0.0f);
}

void CMouseState::AddClicks(uint32_t mask)
{
    if (mask == 0)
        return;
    m_Clicks |= mask;
    Send(MouseEventType::Click, mask, 0.0f);
}

void CMouseState::AddWheel(float steps)
{
    if (steps == 0.0f)
        return;
    m_Wheel += steps;
    Send(MouseEventType::Wheel, 0, steps);
}

uint32_t CMouseState::TakePressedButtons()
{
    const uint32_t pressed = m_Pressed;
    m_Pressed = 0;
    return pressed;
}

bool CMouseState::ConsumeClicks(uint32_t mask)
{
    if ((m_Clicks & mask) == 0)
        return false;
    m_Clicks &= ~mask;
    return true;
}

int32_t CMouseState::TakeWheelSteps()
{
    const float whole = std::trunc(m_Wheel);
    m_Wheel -= whole;
    return int32_t(whole);
}

void CMouseState::SetPosition(int32_t x, int32_t y)
{
    m_X = x;
    m_Y = y;
    float windowX = float(x), windowY = float(y);
    CScreenDevice::SGetInstance().GameToClient(windowX, windowY);
    plat::GetPlatform().GetWindow().WarpCursor(int32_t(std::lround(windowX)), int32_t(std::lround(windowY)));
}

CCursorSequence* CMouseState::SetCursor(CCursorSequence* sequence, CursorStart start, CursorStop stop,
                                        CursorFrameSource frameSource)
{
    CCursorSequence* previous = m_Cursor;
    m_Start = start;
    m_Stop = stop;
    m_FrameSource = frameSource;
    m_Cursor = sequence;
    if (sequence) {
        const int32_t count = sequence->GetFrameCount();
        if (stop == CursorStop::AtLastFrame)
            m_CursorFrame = float(count - 1);
        else if (m_CursorFrame >= float(count))
            m_CursorFrame = 0.0f;
    }
    return previous;
}

void CMouseState::SetCursorUnderlay(CFrameInterface* underlay, float opacity)
{
    m_CursorUnderlay = underlay;
    m_UnderlayOpacity = opacity;
}

bool CMouseState::SetCursorVisible(bool visible)
{
    const bool previous = m_CursorVisible;
    m_CursorVisible = visible;
    RefreshSystemCursor();
    return previous;
}

void CMouseState::RefreshSystemCursor()
{
    if (m_SystemCursorForced || (m_CursorVisible && !m_Cursor))
        ShowSystemCursor();
    else
        HideSystemCursor();
}

void CMouseState::ForceSystemCursor()
{
    m_SystemCursorForced = true;
    ShowSystemCursor();
    m_Tracking = false;
}

void CMouseState::UnforceSystemCursor()
{
    m_SystemCursorForced = false;
    HideSystemCursor();
}

void CMouseState::EndTracking()
{
    // Nothing confines the pointer on this platform: ending tracking is all.
    m_Tracking = false;
}

void CMouseState::StartTracking()
{
    m_Tracking = true;
    m_SumDX = m_SumDY = 0;
}

void CMouseState::TakeRelativeMovement(int32_t& dx, int32_t& dy)
{
    dx = m_SumDX;
    dy = m_SumDY;
    m_SumDX = m_SumDY = 0;
}

namespace {

CFrameInterface* CurrentCursorFrame(const CCursorSequence& cursor, CursorFrameSource source, float frame)
{
    const int32_t index = source == CursorFrameSource::Sequence ? cursor.GetCurrentFrame() : int32_t(std::floor(frame));
    return cursor.GetFrame(index);
}

// The frame's bounds moved by (x, y).
CRect BoundsAt(const CFrameInterface& frame, int32_t x, int32_t y)
{
    CRect bounds{};
    frame.GetBounds(bounds);
    return CRect{bounds.left + x, bounds.top + y, bounds.right + x, bounds.bottom + y};
}

} // namespace

void CMouseState::DrawCursor(CFrameInterface& target)
{
    if (!m_Cursor || !m_CursorVisible)
        return;
    if (m_CursorUnderlay) {
        // The blend type is left at the normal type's opacity, not its own.
        CBlitType& blend = GetBlackBiasBlitType();
        const CScopedBlitOpacity faded(blend, m_UnderlayOpacity, GetNormalBlitType().GetOpacity());
        CRect source{};
        m_CursorUnderlay->GetBounds(source);
        target.Blit(*m_CursorUnderlay, source, BoundsAt(*m_CursorUnderlay, m_X, m_Y), blend);
    }
    CFrameInterface* frame = CurrentCursorFrame(*m_Cursor, m_FrameSource, m_CursorFrame);
    if (!frame)
        return;
    CRect source{};
    frame->GetBounds(source);
    target.Blit(*frame, source, BoundsAt(*frame, m_X, m_Y), m_Cursor->GetBlitType());
}

bool CMouseState::GetCursorRect(CRect& out) const
{
    if (!m_Cursor || !m_CursorVisible)
        return false;
    const CFrameInterface* frame = CurrentCursorFrame(*m_Cursor, m_FrameSource, m_CursorFrame);
    out = frame ? BoundsAt(*frame, m_X, m_Y) : CRect{m_X, m_Y, m_X, m_Y};
    return true;
}

void CMouseState::ResetForTesting()
{
    m_Cursor = nullptr;
    m_CursorUnderlay = nullptr;
    m_UnderlayOpacity = 1.0f;
    m_CursorFrame = 0.0f;
    m_SystemCursorForced = m_CursorVisible = false;
    m_X = m_Y = 0;
    m_Buttons = m_Clicks = m_Pressed = 0;
    m_Wheel = 0.0f;
    m_Start = CursorStart::Started;
    m_Stop = CursorStop::Running;
    m_FrameSource = CursorFrameSource::MouseState;
    m_Tracking = false;
    m_LastX = m_LastY = m_SumDX = m_SumDY = 0;
}
