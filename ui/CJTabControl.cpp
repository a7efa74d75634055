#include "ui/CJTabControl.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/CFrameInterface.h"
#include "images/CFont.h"
#include "objects/CMessage.h"
#include "render/CProxyFrame.h"
#include "shell/CKeyboardState.h"

#include <algorithm>

namespace {

constexpr float kUnselectedTabOpacity = 0.8f;

bool IsHeld(uint32_t a, uint32_t b)
{
    const CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    return keyboard.IsKeyDown(a) || keyboard.IsKeyDown(b);
}

// Edge masks of the bevel.
constexpr uint32_t kEdgeLeft = 1;
constexpr uint32_t kEdgeTop = 2;
constexpr uint32_t kEdgeRight = 4;
constexpr uint32_t kEdgeBottom = 8;

} // namespace

CJTabControl::CJTabControl(CJWindow* parent)
    : CJWindow(parent, "~CJTabControl")
{
    m_TabStop = true;
    m_SpacingX = 0;
    const int32_t fontHeight = m_Font ? int32_t(m_Font->GetHeight()) : 0;
    m_TabHeight = fontHeight + 2 * m_BorderWidth + 2;
}

CJTabControl::~CJTabControl() = default;

uint32_t CJTabControl::AddPage(CJWindow* page)
{
    if (!page)
        return m_PageCount;
    m_Pages.Append(page);
    m_TabRects.Append(CRect{});
    const uint32_t index = m_PageCount++;
    // The page is sized by SetRect below: the control grows to the page
    // exactly, without a margin, so adding pages never widens it for good.
    m_Laying = true;
    AddChild(page, {EPlace::At, nullptr, 0, m_TabHeight, kPlacePixels | kPlaceGrowNoMargin});
    m_Laying = false;
    // The newest page is the one showing, so it is the selected one: the
    // strip and the page area never disagree, even when a page was picked
    // before this one was added.
    if (index > 0) {
        m_Pages[index - 1]->Show(false, false);
        m_Pages[m_Selected]->Show(false, false);
    }
    m_Selected = index;
    if (m_ShowTabs)
        LayoutTabs();
    SizePages();
    return index;
}

void CJTabControl::SelectTab(uint32_t index)
{
    Select(index, true);
}

void CJTabControl::SelectPage(CJWindow* page)
{
    for (uint32_t i = 0; i < m_PageCount; ++i)
        if (m_Pages[i] == page) {
            Select(i, true);
            return;
        }
}

void CJTabControl::SelectNextTab(bool silent)
{
    if (m_PageCount > 0)
        Select(m_Selected + 1 < m_PageCount ? m_Selected + 1 : 0, silent);
}

void CJTabControl::SelectPreviousTab(bool silent)
{
    if (m_PageCount > 0)
        Select(m_Selected > 0 ? m_Selected - 1 : m_PageCount - 1, silent);
}

void CJTabControl::Select(uint32_t index, bool silent)
{
    if (index >= m_PageCount || index == m_Selected)
        return;
    if (!silent) {
        CPlaySoundMessage sound(CJString("UI/Button Switch.wav"));
        BroadcastMessageToPlugIns(sound);
    }
    CJWindow* old = m_Selected < m_PageCount ? m_Pages[m_Selected] : nullptr;
    CJWindow* page = m_Pages[index];
    page->Show(true, false);
    BringChildToFront(page);
    if (old && old != page)
        old->Show(false, false);
    m_Selected = index;
}

CRect CJTabControl::GetTabRect(uint32_t index) const
{
    return index < m_PageCount ? m_TabRects[index] : CRect{};
}

int32_t CJTabControl::TabWidth(const CJWindow& page) const
{
    const int32_t text = m_Font ? m_Font->GetTextWidth(page.GetTitle()) : 0;
    return text + 2 * m_BorderWidth + 2;
}

void CJTabControl::LayoutTabs()
{
    int32_t x = 0;
    for (uint32_t i = 0; i < m_PageCount; ++i) {
        const int32_t width = TabWidth(*m_Pages[i]);
        m_TabRects[i] = CRect{x, 0, x + width, m_TabHeight};
        x += width;
    }
    m_TabOverlap = 0;
    const int32_t width = GetWidth();
    if (m_PageCount < 2 || width <= 0 || x <= width)
        return;
    const int32_t excess = x - width;
    const int32_t steps = int32_t(m_PageCount) - 1;
    m_TabOverlap = excess / steps;
    for (uint32_t i = 1; i < m_PageCount; ++i) {
        const int32_t shift = int32_t(i) * excess / steps;
        m_TabRects[i].left -= shift;
        m_TabRects[i].right -= shift;
    }
}

void CJTabControl::SizePages()
{
    const int32_t width = GetWidth();
    const int32_t height = std::max(0, GetHeight() - m_TabHeight);
    for (uint32_t i = 0; i < m_PageCount; ++i) {
        CJWindow* page = m_Pages[i];
        const CRect& r = page->GetRect();
        if (r.GetWidth() != width || r.GetHeight() != height)
            page->SetRect(CRect{r.left, r.top, r.left + width, r.top + height});
    }
}

void CJTabControl::SetRect(const CRect& rect)
{
    CJWindow::SetRect(rect);
    // While a page is being added its place is not final yet; AddPage lays
    // out afterwards.
    if (m_Laying)
        return;
    if (m_ShowTabs)
        LayoutTabs();
    SizePages();
}

bool CJTabControl::OnMouseDown(uint32_t button, CPoint point)
{
    if (m_ShowTabs && button == 0) {
        const int32_t x = point.x - m_ScreenRect.left + GetScrollOffsetX();
        const int32_t y = point.y - m_ScreenRect.top + GetScrollOffsetY();
        if (y < m_TabHeight) {
            for (uint32_t i = m_PageCount; i > 0; --i)
                if (m_TabRects[i - 1].ContainsPoint(x, y)) {
                    Select(i - 1, false);
                    break;
                }
            return true;
        }
    }
    return CJWindow::OnMouseDown(button, point);
}

bool CJTabControl::OnKeyDown(uint32_t key)
{
    if (m_ShowTabs && key == kKeyTab && IsHeld(kScanControlLeft, kScanControlRight)) {
        if (IsHeld(kScanShiftLeft, kScanShiftRight))
            SelectPreviousTab(false);
        else
            SelectNextTab(false);
        return true;
    }
    return CJWindow::OnKeyDown(key);
}

void CJTabControl::Draw(CFrameInterface& frame)
{
    auto* proxy = dynamic_cast<COffsetClippedProxyFrame*>(&frame);
    CRect bounds{};
    frame.GetBounds(bounds);
    const int32_t ox = GetScrollOffsetX();
    const int32_t oy = GetScrollOffsetY();
    if (m_ShowTabs) {
        for (uint32_t i = 0; i < m_PageCount; ++i) {
            const bool selected = i == m_Selected;
            CRect tab = m_TabRects[i];
            tab = CRect{tab.left + ox, tab.top + oy, tab.right + ox, tab.bottom + oy};
            if (!selected)
                tab.top += 1;
            // Never over the selected neighbour.
            CRect clip = tab;
            if (!selected && i + 1 == m_Selected)
                clip.right = std::min(clip.right, m_TabRects[i + 1].left + ox);
            if (!selected && i > 0 && i - 1 == m_Selected)
                clip.left = std::max(clip.left, m_TabRects[i - 1].right + ox);
            if (!IntersectRects(clip, clip, bounds))
                continue;
            if (proxy)
                proxy->SetClipRect(clip);
            {
                // The shared blit's opacity is given back as found, so a tab
                // control drawn inside a greyed or faded window stays so.
                CScopedBlitOpacity fade(GetTransparentMaskBlitType(),
                                        selected ? GetTransparentMaskBlitType().GetOpacity() : kUnselectedTabOpacity);
                frame.FillRect(tab, m_Color0);
                DrawBevelBox(m_Font, frame, tab, true, kEdgeLeft | kEdgeTop | kEdgeRight, !selected);
                if (m_Font) {
                    const int32_t offset = selected ? 0 : -m_TabOverlap;
                    const int32_t x = std::max(tab.left + m_BorderWidth + 1 + offset, tab.left + m_BorderWidth);
                    m_Font->DrawText(frame, x, tab.top + m_BorderWidth + 1, m_Pages[i]->GetTitle());
                }
            }
            if (proxy)
                proxy->SetClipRect(bounds);
        }
    }
    CJWindow::Draw(frame);

    const CRect page{ox, oy + m_TabHeight, ox + GetWidth(), oy + GetHeight()};
    DrawBevelBox(m_Font, frame, page, true, kEdgeLeft | kEdgeRight | kEdgeBottom, false);
    if (m_ShowTabs && m_Selected < m_PageCount) {
        const CRect& tab = m_TabRects[m_Selected];
        const CRect left{page.left, page.top, std::max(page.left, tab.left + ox), page.bottom};
        const CRect right{std::min(page.right, tab.right + ox), page.top, page.right, page.bottom};
        DrawBevelBox(m_Font, frame, left, true, kEdgeTop, false);
        DrawBevelBox(m_Font, frame, right, true, kEdgeTop, false);
    } else {
        DrawBevelBox(m_Font, frame, page, true, kEdgeTop, false);
    }
}
