#include "ui/CJScrollBar.h"

#include "blit/CBlitTypeList.h"
#include "blit/CFrameInterface.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "ui/SkinTiling.h"

#include <algorithm>
#include <cmath>

namespace {

// Cursor ids by part, vertical and horizontal.
constexpr int32_t kPartCursors[6][2] = {{0, 0}, {9, 7}, {15, 19}, {17, 21}, {16, 20}, {18, 22}};
constexpr int32_t kCursorDragVertical = 10;
constexpr int32_t kCursorDragHorizontal = 8;

struct SGlyphs {
    CJString up, down, left, right, none;
};

const SGlyphs& Glyphs()
{
    static const SGlyphs glyphs = [] {
        SGlyphs g;
        const char16_t up[] = {0x25B2, 0}, down[] = {0x25BC, 0}, left[] = {0x25C4, 0}, right[] = {0x25BA, 0};
        g.up = CJString(up);
        g.down = CJString(down);
        g.left = CJString(left);
        g.right = CJString(right);
        return g;
    }();
    return glyphs;
}

// Scroll positions are whole pixels; values far outside any window's size
// still land on a defined integer.
int32_t ToPosition(float value)
{
    if (std::isnan(value))
        return 0;
    return int32_t(std::clamp(value, -2.0e9f, 2.0e9f));
}

bool IsEmpty(const CRect& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

} // namespace

CJScrollBar::CJScrollBar(CJWindow* owner, uint32_t orientation)
    : CJWindow(owner, "~CJScrollBar")
    , m_Orientation(orientation == kScrollBarVertical ? kScrollBarVertical : kScrollBarHorizontal)
{
    if (IsVertical())
        SetSize(kScrollBarThickness, 415);
    else
        SetSize(415, kScrollBarThickness);
}

int32_t CJScrollBar::GetLength() const
{
    return IsVertical() ? GetHeight() : GetWidth();
}

bool CJScrollBar::IsParentsBar(CRect& place) const
{
    if (!m_Parent || m_Window != m_Parent)
        return false;
    const CJWindowScroll* scroll = m_Parent->GetScroll();
    if (!scroll || (scroll->verticalBar != this && scroll->horizontalBar != this))
        return false;
    constexpr int32_t t = kScrollBarThickness;
    const int32_t sx = scroll->scrollX, sy = scroll->scrollY;
    const int32_t w = m_Parent->GetWidth(), h = m_Parent->GetHeight();
    if (scroll->verticalBar == this) {
        const int32_t top = m_Parent->GetClientTopInset() + sy;
        place = CRect{w - t + sx, top, w + sx, top + m_Parent->GetViewHeight()};
    } else {
        const int32_t left = m_Parent->GetClientLeftInset() + sx;
        place = CRect{left, h - t + sy, left + m_Parent->GetViewWidth(), h + sy};
    }
    return true;
}

void CJScrollBar::SetRect(const CRect& rect)
{
    const int32_t oldLength = GetLength();
    CJWindow::SetRect(rect);
    LayoutParts();
    if (m_InSetRect)
        return;
    CRect place{};
    if (!IsParentsBar(place))
        return;
    m_InSetRect = true;
    if (!(m_Rect == place)) {
        CJWindow::SetRect(place);
        LayoutParts();
    }
    if (GetLength() != oldLength)
        SyncWithWindow(*m_Window);
    m_InSetRect = false;
}

void CJScrollBar::LayoutParts()
{
    const int32_t w = GetWidth(), h = GetHeight();
    const int32_t s = IsVertical() ? w : h;
    m_FirstArrowRect = CRect{0, 0, s, s};
    m_SecondArrowRect = CRect{w - s, h - s, w, h};
    m_TrackRect = IsVertical() ? CRect{0, s, w, h - s} : CRect{s, 0, w - s, h};
    UpdateLayout();
}

void CJScrollBar::UpdateLayout()
{
    m_ThumbRect = m_TrackRect;
    const float range = m_Maximum - m_Minimum;
    const int32_t length = IsVertical() ? m_TrackRect.GetHeight() : m_TrackRect.GetWidth();
    const float l = float(length);
    int32_t thumb = length;
    if (range + l > 0.0f)
        thumb = int32_t(std::min(l * l / (range + l), 2.0e9f));
    thumb = std::max(9, thumb);
    // No range, or a track no longer than the thumb: the thumb cannot move.
    m_PixelsPerUnit = range > 0.0f ? (l - float(thumb)) / range : 0.0f;
    int32_t offset = 0;
    if (m_PixelsPerUnit > 0.0f)
        offset = int32_t(std::clamp(m_PixelsPerUnit * (m_Value - m_Minimum), -2.0e9f, 2.0e9f));
    if (IsVertical()) {
        m_ThumbRect.top = m_TrackRect.top + offset;
        m_ThumbRect.bottom = m_ThumbRect.top + thumb;
    } else {
        m_ThumbRect.left = m_TrackRect.left + offset;
        m_ThumbRect.right = m_ThumbRect.left + thumb;
    }
}

void CJScrollBar::SetRange(float minimum, float maximum)
{
    if (std::isnan(minimum) || std::isnan(maximum))
        return;
    m_Minimum = minimum;
    m_Maximum = maximum;
    UpdateLayout();
    if (m_Value > m_Maximum)
        m_Value = m_Maximum;
    if (m_Value < m_Minimum)
        m_Value = m_Minimum;
    UpdateLayout();
}

void CJScrollBar::SetValue(float value, bool silent)
{
    if (std::isnan(value) || value == m_Value)
        return;
    m_Value = value;
    if (m_Value > m_Maximum)
        m_Value = m_Maximum;
    if (m_Value < m_Minimum)
        m_Value = m_Minimum;
    UpdateLayout();
    if (silent)
        return;
    NotifyParent(kNotifyChanged);
    if (m_Window) {
        if (IsVertical())
            m_Window->SetScrollY(ToPosition(value));
        else
            m_Window->SetScrollX(ToPosition(value));
    }
}

void CJScrollBar::SyncWithWindow(CJWindow& window)
{
    const CJWindowScroll* scroll = window.GetScroll();
    if (IsVertical()) {
        const int32_t height = window.GetHeight();
        const int32_t content = scroll ? scroll->contentHeight : 0;
        if (content != 0 && window.GetScrollOffsetY() + height > content)
            window.SetScrollY(content - height);
        if (content <= height) {
            SetRange(0.0f, 0.0f);
            SetValue(0.0f, false);
            return;
        }
        SetRange(0.0f, float(content - height));
        SetValue(float(window.GetScrollOffsetY()), true);
        m_PageStep = float(height);
    } else {
        const int32_t width = window.GetWidth();
        const int32_t content = scroll ? scroll->contentWidth : 0;
        SetRange(0.0f, float(content - width));
        const float x = float(window.GetScrollOffsetX());
        if (m_Value != x) {
            m_Value = x;
            if (m_Value > m_Maximum)
                m_Value = m_Maximum;
            if (m_Value < m_Minimum)
                m_Value = m_Minimum;
            UpdateLayout();
        }
        m_PageStep = float(width);
    }
    m_LineStep = 10.0f;
}

bool CJScrollBar::ClipRectToBar(CRect& rect, CPoint origin) const
{
    const CRect bar{m_ScreenRect.left - origin.x, m_ScreenRect.top - origin.y, m_ScreenRect.right - origin.x,
                    m_ScreenRect.bottom - origin.y};
    CRect overlap{};
    if (!IntersectRects(overlap, bar, rect))
        return false;
    if (bar.left <= rect.left && rect.left <= bar.right) {
        rect.left = std::min(bar.right + 1, rect.right);
        return true;
    }
    if (rect.right <= bar.right) {
        rect.right = std::max(bar.left - 1, rect.left);
        return true;
    }
    return false;
}

uint32_t CJScrollBar::HitTestPart(CPoint local) const
{
    if (m_FirstArrowRect.ContainsPoint(local.x, local.y))
        return kScrollPartFirstArrow;
    if (m_SecondArrowRect.ContainsPoint(local.x, local.y))
        return kScrollPartSecondArrow;
    if (m_ThumbRect.ContainsPoint(local.x, local.y))
        return kScrollPartThumb;
    if (!m_TrackRect.ContainsPoint(local.x, local.y))
        return kScrollPartNone;
    const bool before = IsVertical() ? local.y < m_ThumbRect.top : local.x < m_ThumbRect.left;
    return before ? kScrollPartTrackBefore : kScrollPartTrackAfter;
}

bool CJScrollBar::OnMouseDown(uint32_t button, CPoint point)
{
    if (button != 0)
        return true;
    const uint32_t part = HitTestPart(CPoint{point.x - m_ScreenRect.left, point.y - m_ScreenRect.top});
    if (part == kScrollPartNone)
        return true;
    m_PressedPart = part;
    m_PressPoint = point;
    m_PressScreenPoint = point;
    m_PressValue = m_Value;
    SetHeldButtons(GetHeldButtons() | 1);
    switch (part) {
    case kScrollPartFirstArrow:
        SetValue(m_Value - m_LineStep, false);
        break;
    case kScrollPartSecondArrow:
        SetValue(m_Value + m_LineStep, false);
        break;
    case kScrollPartTrackBefore:
        SetValue(m_Value - m_PageStep, false);
        break;
    case kScrollPartTrackAfter:
        SetValue(m_Value + m_PageStep, false);
        break;
    default:
        break;
    }
    return true;
}

bool CJScrollBar::OnMouseUp(uint32_t button, CPoint point)
{
    if (button != 0)
        return CJWindow::OnMouseUp(button, point);
    SetHeldButtons(GetHeldButtons() & ~1u);
    const bool wasPressed = m_PressedPart != kScrollPartNone;
    m_PressedPart = kScrollPartNone;
    return wasPressed;
}

void CJScrollBar::OnMouseCaptureLost(uint32_t)
{
    m_PressedPart = kScrollPartNone;
}

bool CJScrollBar::OnMouseDrag(CPoint point, CPoint, uint32_t buttons, CCursorSequence*& cursor)
{
    if (!(buttons & 1) || m_PressedPart != kScrollPartThumb)
        return m_PressedPart != kScrollPartNone;
    cursor = GetStandardCursor(IsVertical() ? kCursorDragVertical : kCursorDragHorizontal);
    // A thumb as long as its track has nowhere to go.
    if (!(m_PixelsPerUnit > 0.0f))
        return true;
    const int32_t move = IsVertical() ? point.y - m_PressScreenPoint.y : point.x - m_PressScreenPoint.x;
    SetValue(m_PressValue + float(move) / m_PixelsPerUnit, false);
    return true;
}

bool CJScrollBar::OnMouseWheel(int32_t delta, CPoint)
{
    SetValue(m_Value - m_LineStep * float(delta), false);
    return true;
}

CCursorSequence* CJScrollBar::GetCursor(CPoint point)
{
    const uint32_t part = HitTestPart(point);
    if (part == kScrollPartNone)
        return CJWindow::GetCursor(point);
    return GetStandardCursor(kPartCursors[part][IsVertical() ? 0 : 1]);
}

void CJScrollBar::Draw(CFrameInterface& frame)
{
    const SGlyphs& g = Glyphs();
    DrawTrack(frame, m_TrackRect, m_FocusColor, m_TextColor, false);
    DrawFirstArrow(frame, m_FirstArrowRect, IsVertical() ? g.up : g.left, m_PressedPart != kScrollPartFirstArrow);
    DrawSecondArrow(frame, m_SecondArrowRect, IsVertical() ? g.down : g.right,
                    m_PressedPart != kScrollPartSecondArrow);
    DrawThumb(frame, m_ThumbRect);
}

void CJScrollBar::DrawScrollBarBox(CFrameInterface& frame, const CRect& r, bool alignTexture, const CJString& glyph,
                                   bool raised)
{
    if (IsEmpty(r))
        return;
    const int32_t d = raised ? 0 : 1;
    if (!m_Transparent) {
        if (CFrame* skin = GetSkin()) {
            // Aligned, the texture goes on from where the parent's left off.
            const int32_t originX = alignTexture ? -m_Rect.left : r.left + d;
            const int32_t originY = alignTexture ? -m_Rect.top : r.top + d;
            TilePiece(frame, *skin, PixelRect(*skin), CRect{r.left + d, r.top + d, r.right, r.bottom}, originX,
                      originY, GetNormalBlitType());
        }
    }
    DrawBevelBox(m_Font, frame, r, raised, 15, false);
    if (!glyph.IsEmpty() && m_Font)
        m_Font->DrawText(frame, r.left + r.GetWidth() / 2 + d, r.top + d + 2, glyph, TextAlign::Centre);
}

void CJScrollBar::DrawTrack(CFrameInterface& frame, const CRect& rect, const CColor&, const CColor&, bool raised)
{
    DrawScrollBarBox(frame, rect, m_Window != m_Parent, Glyphs().none, raised);
    if (IsEmpty(rect))
        return;
    CColor shadow = GetBevelColour(BevelColour::Shadow);
    if (frame.GetBitDepth() == 8)
        shadow.SetCurrentPaletteColor(80, 80, 80, 255);
    frame.FillRect(rect, shadow);
    DrawBevelBox(m_Font, frame, rect, raised, 15, false);
}

void CJScrollBar::DrawFirstArrow(CFrameInterface& frame, const CRect& rect, const CJString& glyph, bool raised)
{
    DrawScrollBarBox(frame, rect, m_Window != m_Parent, glyph, raised);
}

void CJScrollBar::DrawSecondArrow(CFrameInterface& frame, const CRect& rect, const CJString& glyph, bool raised)
{
    DrawFirstArrow(frame, rect, glyph, raised);
}

void CJScrollBar::DrawThumb(CFrameInterface& frame, const CRect& rect)
{
    DrawScrollBarBox(frame, rect, false, Glyphs().none, true);
}

// ---- The bars of scrolled windows ---------------------------------------------

namespace {

// Set while a bar is made for a window: syncing it may scroll the window,
// whose bar update must not make a second bar before the first is stored.
bool g_MakingBar = false;

CJWindow* MakeBar(CJWindow& owner, bool vertical)
{
    if (g_MakingBar)
        return nullptr;
    g_MakingBar = true;
    auto* bar = new CJScrollBar(&owner, vertical ? kScrollBarVertical : kScrollBarHorizontal);
    bar->SetScrollWindow(&owner);
    bar->SyncWithWindow(owner);
    g_MakingBar = false;
    return bar;
}

void GetBarRange(CJWindow& bar, int32_t& minimum, int32_t& maximum)
{
    auto& b = static_cast<CJScrollBar&>(bar);
    minimum = ToPosition(b.GetMinimum());
    maximum = ToPosition(b.GetMaximum());
}

void SetBarRange(CJWindow& bar, int32_t minimum, int32_t maximum)
{
    static_cast<CJScrollBar&>(bar).SetRange(float(minimum), float(maximum));
}

int32_t GetBarPosition(CJWindow& bar)
{
    return ToPosition(static_cast<CJScrollBar&>(bar).GetValue());
}

void SetBarPosition(CJWindow& bar, int32_t position)
{
    static_cast<CJScrollBar&>(bar).SetValue(float(position), true);
}

SScrollBarFactory RealBars()
{
    SScrollBarFactory factory;
    factory.create = &MakeBar;
    factory.getRange = &GetBarRange;
    factory.setRange = &SetBarRange;
    factory.getPosition = &GetBarPosition;
    factory.setPosition = &SetBarPosition;
    return factory;
}

} // namespace

SScrollBarFactory InstallScrollBarFactory()
{
    return SetScrollBarFactory(RealBars());
}
