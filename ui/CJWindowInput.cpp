// What the tree does with the input the screen window hands it: which child
// receives a mouse event, presses that become holds, hovering, the focus
// path, Tab, Alt hot keys, the clipboard operations and notifications.
//
// Children are visited front to back. After a modal child the walk stops,
// whether or not the child took the event. Who is eligible differs per
// event: presses, double clicks, the wheel and ForwardToChildren need a
// visible, enabled child; moves a visible child that is enabled or moves
// while disabled; keys a visible, enabled child on the focus path;
// clipboard operations a visible child; releases and hot keys go to every
// child, hidden ones included, so a button released over nothing is still
// let go.
#include "ui/CJWindow.h"

#include "objects/CMessage.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "ui/CScreenWindow.h"

#include <algorithm>

namespace {

uint32_t Bit(uint32_t button)
{
    return 1u << button;
}

// Hot keys fold ASCII only: no locale is ever set.
uint32_t UpperAscii(uint32_t c)
{
    return (c >= 'a' && c <= 'z') ? c - 32 : c;
}

uint32_t LowerAscii(uint32_t c)
{
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

bool IsShiftDown()
{
    const CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    return keyboard.IsKeyDown(kScanShiftLeft) || keyboard.IsKeyDown(kScanShiftRight);
}

const char* KeyName(uint32_t key)
{
    switch (key) {
    case 5:
        return "Home";
    case 7:
        return "Page Up";
    case 13:
        return "Enter";
    case 14:
        return "End";
    case 15:
        return "Page Down";
    case 17:
        return "Delete";
    case 21:
        return "F7";
    case 28:
        return "F6";
    default:
        return nullptr;
    }
}

int32_t FindCode(const CJString& text, uint32_t code)
{
    if (code == 0 || code > 0xFFFF)
        return -1;
    return text.FindChar(char16_t(code));
}

// The walk every event takes: children front to back, ending after a modal
// one. A child's successor and modal flag are read before its visit, since
// the visit may destroy it. True as soon as a visit answers true.
template <typename Visit>
bool VisitUpToModal(CJWindow* first, Visit visit)
{
    for (CJWindow* child = first; child;) {
        CJWindow* next = child->GetNextSibling();
        const bool modal = child->IsModal();
        if (visit(*child))
            return true;
        if (modal)
            break;
        child = next;
    }
    return false;
}

} // namespace

// ---- Mouse ------------------------------------------------------------------

bool CJWindow::OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag)
{
    return VisitUpToModal(m_FirstChild, [&](CJWindow& child) {
        if (!child.m_Visible || !child.m_Enabled)
            return false;
        const bool inside = child.m_VisibleRect.ContainsPoint(point.x, point.y);
        return (inside || (&child == m_FirstChild && child.m_Modal)) && child.OnMouseDoubleClick(button, point, flag);
    });
}

bool CJWindow::OnMouseDown(uint32_t button, CPoint point)
{
    bool raised = false;
    const bool taken = VisitUpToModal(m_FirstChild, [&](CJWindow& child) {
        if (!child.m_Visible || !child.m_Enabled)
            return false;
        const bool inside = child.m_VisibleRect.ContainsPoint(point.x, point.y);
        if (!inside && !(&child == m_FirstChild && child.m_Modal))
            return false;
        if (!raised && &child != m_FirstChild && HasOverlappingChildren()) {
            raised = true;
            BringChildToFront(&child);
        }
        return child.OnMouseDown(button, point);
    });
    if (taken)
        return true;

    m_PressPoint = point;
    m_DragDistanceSquared = 0;
    const bool hadFocus = m_HasFocus;
    CCursorSequence* cursor = nullptr;
    if (!OnMouseDrag(point, CPoint{0, 0}, Bit(button), cursor))
        return false;
    if (hadFocus && !m_HasFocus)
        return true;
    m_HeldButtons = uint8_t(m_HeldButtons | Bit(button));
    CMouseState& mouse = CMouseState::SGetInstance();
    if (cursor && cursor != mouse.GetCursor())
        mouse.SetCursor(cursor, CursorStart::Started, CursorStop::Running, CursorFrameSource::MouseState);
    return true;
}

bool CJWindow::OnMouseUp(uint32_t button, CPoint point)
{
    if (m_HeldButtons & Bit(button)) {
        m_HeldButtons = uint8_t(m_HeldButtons & ~Bit(button));
        OnMouseRelease(point, Bit(button));
        return true;
    }
    return VisitUpToModal(m_FirstChild, [&](CJWindow& child) { return child.OnMouseUp(button, point); });
}

void CJWindow::OnMouseRepeat(uint32_t, CPoint) {}

bool CJWindow::OnMouseMove(CPoint point, CPoint movement, CCursorSequence*& cursor)
{
    if (m_HeldButtons && OnMouseDrag(point, movement, m_HeldButtons, cursor))
        return true;

    const bool overlapping = HasOverlappingChildren();
    bool hoverTaken = false;
    bool seenUnder = false;
    const bool taken = VisitUpToModal(m_FirstChild, [&](CJWindow& child) {
        if (!child.m_Visible || !(child.m_Enabled || child.m_MoveWhenDisabled))
            return false;
        const bool under = child.m_VisibleRect.ContainsPoint(point.x, point.y);
        if (under) {
            // Only the front one of overlapping children under the pointer.
            if (seenUnder && overlapping)
                return false;
            seenUnder = true;
        }
        if (under && !hoverTaken && child.AcceptsHover()) {
            hoverTaken = true;
            if (!child.m_FirstChild || child.m_HoverWithChildren)
                child.OnHover(point);
            cursor = child.GetCursor(CPoint{point.x - child.m_ScreenRect.left, point.y - child.m_ScreenRect.top});
        }
        return child.OnMouseMove(point, movement, cursor);
    });
    if (taken)
        return true;
    if (m_FirstChild && !hoverTaken && m_Visible && m_Enabled && m_VisibleRect.ContainsPoint(point.x, point.y))
        OnHover(point);
    return false;
}

bool CJWindow::OnMouseDrag(CPoint, CPoint, uint32_t, CCursorSequence*&)
{
    return false;
}

void CJWindow::OnMouseRelease(CPoint, uint32_t) {}

void CJWindow::OnMouseCaptureLost(uint32_t) {}

bool CJWindow::ForwardToChildren(CMessage& message)
{
    // Every eligible child hears it, whoever takes it.
    bool taken = false;
    VisitUpToModal(m_FirstChild, [&](CJWindow& child) {
        if (child.m_Visible && child.m_Enabled && child.ForwardToChildren(message))
            taken = true;
        return false;
    });
    return taken;
}

bool CJWindow::OnMouseWheel(int32_t delta, CPoint point)
{
    // Only what is under the pointer: a focused field elsewhere on the page
    // would change where the user is not looking.
    const bool taken = VisitUpToModal(m_FirstChild, [&](CJWindow& child) {
        return child.m_Visible && child.m_Enabled && child.m_VisibleRect.ContainsPoint(point.x, point.y)
            && child.OnMouseWheel(delta, point);
    });
    if (taken)
        return true;
    if (m_Scroll && m_Scroll->barsEnabled) {
        if (m_Scroll->verticalBar && m_Scroll->verticalBar->OnMouseWheel(delta, point))
            return true;
        if (m_Scroll && m_Scroll->horizontalBar && m_Scroll->horizontalBar->OnMouseWheel(delta, point))
            return true;
    }
    return false;
}

bool CJWindow::IsDragBeyond(CPoint point, CPoint movement, CPoint& out, uint32_t thresholdSquared)
{
    if (m_DragDistanceSquared < thresholdSquared) {
        const int64_t dx = int64_t(point.x) - m_PressPoint.x;
        const int64_t dy = int64_t(point.y) - m_PressPoint.y;
        const uint64_t distance = uint64_t(dx * dx + dy * dy);
        const uint32_t clamped = distance > UINT32_MAX ? UINT32_MAX : uint32_t(distance);
        if (clamped > m_DragDistanceSquared)
            m_DragDistanceSquared = clamped;
        if (m_DragDistanceSquared < thresholdSquared) {
            out = CPoint{0, 0};
            return false;
        }
        out = CPoint{int32_t(dx), int32_t(dy)};
        return true;
    }
    out = movement;
    return movement.x != 0 || movement.y != 0;
}

void CJWindow::CancelMouseHold()
{
    CMouseState::SGetInstance().SetPosition(m_PressPoint.x, m_PressPoint.y);
    CJWindow* root = GetRootWindow();
    if (root->IsScreenWindow())
        static_cast<CScreenWindow*>(root)->EndMouseHold();
    const uint32_t held = m_HeldButtons;
    OnMouseCaptureLost(held);
    m_HeldButtons = 0;
}

bool CJWindow::AcceptsHover() const
{
    return true;
}

bool CJWindow::OnHover(CPoint point)
{
    return m_Parent ? m_Parent->OnHover(point) : false;
}

CCursorSequence* CJWindow::GetCursor(CPoint)
{
    return GetStandardCursor(0);
}

// ---- Focus --------------------------------------------------------------------

void CJWindow::SetFocus(bool focus)
{
    m_HasFocus = focus;
    if (!focus && m_HeldButtons) {
        const uint32_t held = m_HeldButtons;
        m_HeldButtons = 0;
        OnMouseCaptureLost(held);
    }
    if (m_FirstChild)
        m_FirstChild->SetFocus(focus);
}

CJWindow* CJWindow::GetNextFocusable()
{
    if (!m_Parent)
        return nullptr;
    for (CJWindow* window = m_NextSibling; window; window = window->m_NextSibling) {
        if (window->m_TabStop && window->m_Visible)
            return window;
    }
    for (CJWindow* window = m_Parent->m_FirstChild; window && window != this; window = window->m_NextSibling) {
        if (window->m_TabStop && window->m_Visible)
            return window;
    }
    return nullptr;
}

CJWindow* CJWindow::GetPreviousFocusable()
{
    if (!m_Parent)
        return nullptr;
    for (CJWindow* window = m_PrevSibling; window; window = window->m_PrevSibling) {
        if (window->m_TabStop && window->m_Visible)
            return window;
    }
    for (CJWindow* window = m_Parent->m_LastChild; window && window != this; window = window->m_PrevSibling) {
        if (window->m_TabStop && window->m_Visible)
            return window;
    }
    return nullptr;
}

bool CJWindow::FocusNext()
{
    if (!m_FirstChild)
        return false;
    SetKeyboardFocusShown(true);
    CJWindow* next = m_FirstChild->GetNextFocusable();
    if (!next)
        return false;
    BringChildToFront(next);
    return true;
}

bool CJWindow::FocusPrevious()
{
    if (!m_FirstChild)
        return false;
    SetKeyboardFocusShown(true);
    CJWindow* previous = m_FirstChild->GetPreviousFocusable();
    if (!previous)
        return false;
    BringChildToFront(previous);
    return true;
}

// ---- Keys ---------------------------------------------------------------------

bool CJWindow::OnKeyDown(uint32_t key)
{
    const bool taken = VisitUpToModal(m_FirstChild, [key](CJWindow& child) {
        return child.m_HasFocus && child.m_Visible && child.m_Enabled && child.OnKeyDown(key);
    });
    if (taken)
        return true;
    if (key == kKeyTab && m_HasFocus) {
        if (m_FirstChild == m_LastChild)
            return false;
        return IsShiftDown() ? FocusPrevious() : FocusNext();
    }
    if (key == kKeyEscape && m_HeldButtons) {
        CancelMouseHold();
        return true;
    }
    return false;
}

bool CJWindow::OnHotKey(uint32_t key)
{
    const uint32_t wanted = UpperAscii(key);
    CJWindow* winner = nullptr;
    bool matched = false;
    const bool taken = VisitUpToModal(m_FirstChild, [&](CJWindow& child) {
        if (child.OnHotKey(key))
            return true;
        if (child.m_HotKeyChar == 0 || child.m_HotKeyChar != wanted)
            return false;
        CJWindow* target = &child;
        // A label hands its hot key to the control after it.
        if (!child.m_TabStop && !child.m_HotKeyTakesFocus) {
            if (CJWindow* focusable = child.GetNextFocusable())
                target = focusable;
        }
        matched = true;
        if (!target->m_Enabled)
            return false;
        winner = target;
        return true;
    });
    if (winner) {
        if (IsShownOnScreen())
            BringChildToFront(winner);
        winner->OnHotKeyActivate();
        return true;
    }
    if (taken)
        return true;
    if (matched) {
        CPlaySoundMessage sound(CJString("Player Error.wav"));
        BroadcastMessageToPlugIns(sound);
        return true;
    }
    return false;
}

bool CJWindow::OnHotKeyActivate()
{
    return false;
}

// ---- Hot keys in titles ---------------------------------------------------------

void CJWindow::ParseHotKeyMark(CJString& title)
{
    const int32_t mark = title.FindChar(u'&');
    if (mark < 0)
        return;
    title.Delete(mark, 1);
    if (title.GetAtChecked(mark) == 1)
        title.Delete(mark, 1);
    if (mark >= title.GetLength() || mark > 254)
        return;
    m_HotKeyIndex = uint8_t(mark);
    const int32_t end = title.FindChar(u'&', mark);
    if (end >= 0) {
        title.Delete(end, 1);
        m_HotKeyLength = uint8_t(std::min(end - mark, 255));
        m_HotKeyChar = 0;
        return;
    }
    m_HotKeyLength = 1;
    const uint32_t c = UpperAscii(title.GetAtChecked(mark));
    m_HotKeyChar = c < 256 ? uint8_t(c) : 0;
}

void CJWindow::SetHotKeyChar(uint32_t character)
{
    const uint32_t c = UpperAscii(character);
    m_HotKeyChar = c < 256 ? uint8_t(c) : 0;
}

int32_t CJWindow::SetHotKeyInTitle(uint32_t character)
{
    if (m_HotKeyIndex != 255)
        return m_HotKeyIndex;
    int32_t index = FindCode(m_Title, UpperAscii(character));
    if (index < 0)
        index = FindCode(m_Title, LowerAscii(character));
    if (index < 0 || index > 254)
        return -1;
    m_HotKeyIndex = uint8_t(index);
    m_HotKeyLength = 1;
    SetHotKeyChar(character);
    return index;
}

int32_t CJWindow::SetHotKey(uint32_t key)
{
    const int32_t index = SetHotKeyInTitle(key);
    if (index >= 0)
        return index;
    CJString name;
    if (const char* known = KeyName(key))
        name = known;
    else if (key > 0 && key <= 0xFFFF)
        name.AppendRepeated(char16_t(key), 1);
    else
        return -1;
    const int32_t at = m_Title.GetLength() + 2;
    if (at > 254)
        return -1;
    m_Title += " (";
    m_Title += name;
    m_Title += ")";
    m_HotKeyIndex = uint8_t(at);
    m_HotKeyLength = uint8_t(std::min(name.GetLength(), 255));
    SetHotKeyChar(key);
    return at;
}

uint8_t CJWindow::GetHotKeyChar() const
{
    return m_HotKeyChar;
}

void CJWindow::ClearHotKey()
{
    m_HotKeyIndex = 255;
    m_HotKeyLength = 0;
    m_HotKeyChar = 0;
}

bool CJWindow::WantsAutoHotKey() const
{
    return false;
}

bool CJWindow::IsMenuWindow() const
{
    return false;
}

void CJWindow::AssignChildHotKeys()
{
    for (CJWindow* child = m_FirstChild; child; child = child->m_NextSibling) {
        if (child->m_HotKeyChar != 0 || !child->WantsAutoHotKey())
            continue;
        const CJString& title = child->m_Title;
        const int32_t length = std::min(title.GetLength(), 255);
        for (int32_t i = 0; i < length; ++i) {
            const uint32_t c = title.GetCharAt(i);
            if (c <= 32)
                continue;
            const uint32_t upper = UpperAscii(c);
            if (upper > 255)
                continue;
            bool taken = false;
            for (CJWindow* other = m_FirstChild; other && !taken; other = other->m_NextSibling)
                taken = other->m_HotKeyChar == upper;
            if (taken)
                continue;
            child->SetHotKeyChar(c);
            child->m_HotKeyLength = 1;
            child->m_HotKeyIndex = uint8_t(i);
            break;
        }
    }
}

// ---- Clipboard and notifications ---------------------------------------------

namespace {

template <typename Operation>
bool OfferToVisibleChildren(CJWindow* first, Operation operation)
{
    return VisitUpToModal(first, [&operation](CJWindow& child) { return child.IsVisible() && operation(child); });
}

} // namespace

bool CJWindow::ClipboardCut(intptr_t arg)
{
    return OfferToVisibleChildren(m_FirstChild, [arg](CJWindow& child) { return child.ClipboardCut(arg); });
}

bool CJWindow::ClipboardCopy(intptr_t arg)
{
    return OfferToVisibleChildren(m_FirstChild, [arg](CJWindow& child) { return child.ClipboardCopy(arg); });
}

bool CJWindow::ClipboardPaste(intptr_t arg)
{
    return OfferToVisibleChildren(m_FirstChild, [arg](CJWindow& child) { return child.ClipboardPaste(arg); });
}

bool CJWindow::ClipboardDelete(intptr_t arg)
{
    return OfferToVisibleChildren(m_FirstChild, [arg](CJWindow& child) { return child.ClipboardDelete(arg); });
}

void CJWindow::OnShow(bool) {}

void CJWindow::NotifyParent(int32_t code)
{
    if (m_Parent)
        m_Parent->OnNotify(this, code);
}

void CJWindow::OnNotify(CJWindow* sender, int32_t code)
{
    if (code != kNotifyFirstDraw && m_Parent)
        m_Parent->OnNotify(sender, code);
}
