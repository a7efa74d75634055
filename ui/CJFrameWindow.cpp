#include "ui/CJFrameWindow.h"

#include "foundation/SaturatingArithmetic.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "sequences/CSequenceList.h"
#include "shell/CMouseState.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJResize.h"
#include "ui/CScreenWindow.h"
#include "ui/CSkinTheme.h"

#include <algorithm>

namespace {

bool g_SkinBackFirst = true;

// The close button and the toggle are 13 pixels square.
constexpr int32_t kFrameButtonSide = 13;
// The close button: top right, 2 font units in, no growing.
constexpr SPlace kCloseButtonPlace{EPlace::TopRightCorner, nullptr, 2, 2, kPlaceNoGrow};
// The toggle's right edge stands this many pixels left of the close button.
constexpr int32_t kToggleGap = 5;
constexpr SPlace kGripPlace{EPlace::BottomRight, nullptr, 1, 0, kPlaceNoGrow};

// The standard cursor for an edge mask: sides by their axis, corners by
// their diagonal; 0 for no edge.
int32_t CursorForEdges(uint32_t mask, bool dragging)
{
    const bool horizontal = (mask & (kEdgeLeft | kEdgeRight)) != 0;
    const bool vertical = (mask & (kEdgeTop | kEdgeBottom)) != 0;
    int32_t id = 0;
    if (horizontal && !vertical)
        id = kCursorCanMoveX;
    else if (vertical && !horizontal)
        id = kCursorCanMoveY;
    else if ((mask & (kEdgeLeft | kEdgeTop)) == (kEdgeLeft | kEdgeTop) ||
             (mask & (kEdgeRight | kEdgeBottom)) == (kEdgeRight | kEdgeBottom))
        id = kCursorCanResize;
    else if (horizontal && vertical)
        id = kCursorCanResizeOther;
    // Each dragging cursor follows its hovering one.
    return (id != 0 && dragging) ? id + 1 : id;
}

} // namespace

// ---- Solid window -------------------------------------------------------------

bool CJSolidWindow::OnHover(CPoint)
{
    if (CScreenWindow* screen = CScreenWindow::GetScreenWindow())
        screen->HideToolTip();
    return true;
}

bool CJSolidWindow::ClipboardCut(intptr_t arg)
{
    return m_FirstChild ? m_FirstChild->ClipboardCut(arg) : false;
}

bool CJSolidWindow::ClipboardCopy(intptr_t arg)
{
    return m_FirstChild ? m_FirstChild->ClipboardCopy(arg) : false;
}

bool CJSolidWindow::ClipboardPaste(intptr_t arg)
{
    return m_FirstChild ? m_FirstChild->ClipboardPaste(arg) : false;
}

bool CJSolidWindow::ClipboardDelete(intptr_t arg)
{
    return m_FirstChild ? m_FirstChild->ClipboardDelete(arg) : false;
}

// ---- Frame window: life cycle -------------------------------------------------

CJFrameWindow::CJFrameWindow(CJWindow* parent)
    : CJSolidWindow(parent)
{
    Construct();
}

CJFrameWindow::CJFrameWindow(CJWindow* parent, const CJString& title)
    : CJSolidWindow(parent, title)
{
    Construct();
}

CJFrameWindow::CJFrameWindow(CJWindow* parent, const char* title)
    : CJSolidWindow(parent, title)
{
    Construct();
}

void CJFrameWindow::Construct()
{
    if (CSkinTheme* theme = GetSkinTheme()) {
        std::unique_ptr<CWindowSkin> skin = theme->CreateFrameWindowSkin(*this);
        if (auto* frameSkin = dynamic_cast<CFrameWindowSkin*>(skin.get())) {
            skin.release();
            m_Skin.reset(frameSkin);
        }
    }
    if (!m_Title.IsEmpty()) {
        if (CFont* font = GetTitleFont()) {
            const int32_t width = std::max(GetWidth(), font->GetTextWidth(m_Title) + 3);
            const int32_t height = std::max(GetHeight(), int32_t(font->GetHeight()));
            SetSize(width, height);
        }
    }
    SetBorderWidthUnits(2);
    m_MinWidth = std::max(GetWidth(), 10);
    m_MinHeight = std::max(GetHeight(), 10);
}

CJFrameWindow::~CJFrameWindow()
{
    m_Skin.reset();
    if (CScreenWindow* screen = CScreenWindow::GetScreenWindow())
        screen->HideToolTip();
}

// ---- Frame controls -----------------------------------------------------------

void CJFrameWindow::AddCloseButton()
{
    if (m_CloseButton)
        return;
    auto* button = new CJButton(this, "X");
    button->SetSize(kFrameButtonSide, kFrameButtonSide);
    button->SetTabStop(false);
    button->SetToolTipText("Close", true);
    m_CloseButton = button;
    AddChild(button, kCloseButtonPlace);
    PlaceFrameControls();
}

void CJFrameWindow::AddTransparencyToggle()
{
    if (m_TransparencyToggle)
        return;
    auto* toggle = new CJToggleRadioButton(this, "");
    toggle->SetSize(kFrameButtonSide, kFrameButtonSide);
    toggle->SetTabStop(false);
    toggle->SetChecked(m_Transparent ? 1 : 0);
    toggle->SetToolTipText("Transparent Background Toggle", true);
    m_TransparencyToggle = toggle;
    AddChild(toggle, kCloseButtonPlace);
    PlaceFrameControls();
}

void CJFrameWindow::AddResizeGrip()
{
    if (m_ResizeGrip)
        return;
    m_ResizeGrip = &Add<CJResize>(kGripPlace);
    // Resizable from now on: the minimum size holds.
    SetRect(m_Rect);
}

void CJFrameWindow::PlaceFrameControls()
{
    if (m_CloseButton)
        m_CloseButton->Place(kCloseButtonPlace);
    if (m_TransparencyToggle) {
        m_TransparencyToggle->Place(kCloseButtonPlace);
        if (m_CloseButton)
            m_TransparencyToggle->MoveToX(m_CloseButton->GetRect().left - kToggleGap -
                                          m_TransparencyToggle->GetWidth());
        m_TransparencyToggle->SetChecked(m_Transparent ? 1 : 0);
    }
    if (m_ResizeGrip)
        m_ResizeGrip->Place(kGripPlace);
}

void CJFrameWindow::RemoveChild(CJWindow* child)
{
    // A frame control destroyed from outside is forgotten, never used again.
    if (child == m_CloseButton)
        m_CloseButton = nullptr;
    if (child == m_TransparencyToggle)
        m_TransparencyToggle = nullptr;
    if (child == m_ResizeGrip)
        m_ResizeGrip = nullptr;
    CJSolidWindow::RemoveChild(child);
}

void CJFrameWindow::SetIconSequence(const char* name)
{
    const int32_t index = GetSequenceList().Find(name);
    if (index >= 0)
        m_IconSequence = index;
}

const SFrameWindowSkinState& CJFrameWindow::GetFrameWindowSkinState() const
{
    m_SkinState.hasCloseButton = m_CloseButton != nullptr;
    m_SkinState.icon = nullptr;
    if (m_IconSequence > 0) {
        CSequenceList& list = GetSequenceList();
        if (m_IconSequence < list.GetCount()) {
            if (CSequence* sequence = list.GetObject(m_IconSequence); sequence && sequence->GetFrameCount() > 0)
                m_SkinState.icon = sequence->GetFrame(0);
        }
    }
    return m_SkinState;
}

// ---- Drawing ------------------------------------------------------------------

void CJFrameWindow::SetSkinBackFirst(bool backFirst)
{
    g_SkinBackFirst = backFirst;
}

void CJFrameWindow::Draw(CFrameInterface& frame)
{
    if (g_SkinBackFirst) {
        DrawSkinBack(frame);
        CJWindow::Draw(frame);
        DrawSkinFront(frame);
    } else {
        DrawSkinFront(frame);
        CJWindow::Draw(frame);
        DrawSkinBack(frame);
    }
}

void CJFrameWindow::DrawSkinBack(CFrameInterface& frame)
{
    if (m_Skin)
        m_Skin->DrawBack(frame);
}

void CJFrameWindow::DrawSkinFront(CFrameInterface& frame)
{
    if (m_Skin)
        m_Skin->DrawFront(frame);
}

CFont* CJFrameWindow::GetTitleFont()
{
    return m_Skin ? m_Skin->GetTitleFont() : GetFont();
}

int32_t CJFrameWindow::GetClientTopInset() const
{
    return m_Skin ? m_Skin->GetTitleBarHeight() : 0;
}

int32_t CJFrameWindow::GetReachAbove() const
{
    return m_Skin ? std::max(m_Skin->GetReachAbove(), 0) : 0;
}

void CJFrameWindow::KeepOnScreen()
{
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen || !m_Parent)
        return;
    const CRect& r = m_Rect;
    const int32_t dx = m_ScreenRect.left - r.left, dy = m_ScreenRect.top - r.top;
    const CRect area{-dx, -dy + GetReachAbove(), screen->GetWidth() - dx, screen->GetHeight() - dy};
    const int32_t x = std::max(std::min(r.left, area.right - r.GetWidth()), area.left);
    const int32_t y = std::max(std::min(r.top, area.bottom - r.GetHeight()), area.top);
    if (x != r.left || y != r.top)
        MoveTo(x, y);
}

bool CJFrameWindow::IsActive() const
{
    return m_HasFocus;
}

// ---- Geometry -----------------------------------------------------------------

void CJFrameWindow::SetRect(const CRect& rect)
{
    CRect sized = rect;
    if (m_ResizeGrip) {
        if (sized.GetWidth() < m_MinWidth)
            sized.right = SaturatingAdd(sized.left, m_MinWidth);
        if (sized.GetHeight() < m_MinHeight)
            sized.bottom = SaturatingAdd(sized.top, m_MinHeight);
    }
    CJWindow::SetRect(sized);
    PlaceFrameControls();
}

uint32_t CJFrameWindow::GetResizeEdges(CPoint point)
{
    const int32_t unit = GetFontUnit();
    const int32_t edge = 2 * unit;
    const int32_t corner = 6 * unit;
    const int32_t width = GetWidth();
    const int32_t height = GetHeight();

    uint32_t mask = 0;
    if (point.x <= edge)
        mask |= kEdgeLeft;
    if (point.y <= edge)
        mask |= kEdgeTop;
    if (point.x >= width - edge)
        mask |= kEdgeRight;
    if (point.y >= height - edge)
        mask |= kEdgeBottom;

    uint32_t corners = 0;
    if (mask & (kEdgeTop | kEdgeBottom)) {
        if (point.x <= corner)
            corners |= kEdgeLeft;
        if (point.x >= width - corner)
            corners |= kEdgeRight;
    }
    if (mask & (kEdgeLeft | kEdgeRight)) {
        if (point.y <= corner)
            corners |= kEdgeTop;
        if (point.y >= height - corner)
            corners |= kEdgeBottom;
    }
    return mask | corners;
}

// ---- Input --------------------------------------------------------------------

void CJFrameWindow::OnNotify(CJWindow* sender, int32_t code)
{
    if (code == kNotifyClicked && sender && sender == m_CloseButton) {
        // The button's click touches nothing of its own after the notice,
        // so it may die with the window here.
        Close();
        return;
    }
    if (code == kNotifyClicked && sender && sender == m_TransparencyToggle) {
        SetTransparent(!m_Transparent);
        return;
    }
    CJWindow::OnNotify(sender, code);
}

bool CJFrameWindow::OnMouseDown(uint32_t button, CPoint point)
{
    if (CJWindow::OnMouseDown(button, point))
        return true;
    // Clicks never fall through a frame window.
    return m_ScreenRect.ContainsPoint(point.x, point.y);
}

bool CJFrameWindow::OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag)
{
    if (CJWindow::OnMouseDoubleClick(button, point, flag))
        return true;
    if (m_ScreenRect.ContainsPoint(point.x, point.y))
        CJWindow::OnMouseDown(button, point);
    return true;
}

bool CJFrameWindow::OnMouseUp(uint32_t button, CPoint point)
{
    return CJWindow::OnMouseUp(button, point);
}

CCursorSequence* CJFrameWindow::GetCursor(CPoint point)
{
    if (m_ResizeGrip) {
        if (const int32_t id = CursorForEdges(GetResizeEdges(point), false))
            return GetStandardCursor(id);
    }
    return CJWindow::GetCursor(point);
}

bool CJFrameWindow::OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor)
{
    constexpr uint32_t kLeftButton = 1;
    if (!(buttons & kLeftButton))
        return CJWindow::OnMouseDrag(point, movement, buttons, cursor);

    if (!(m_HeldButtons & kLeftButton)) {
        if (!m_ScreenRect.ContainsPoint(point.x, point.y))
            return false;
        if (m_ResizeGrip)
            m_ResizeGrip->SetEdgeMask(
                GetResizeEdges(CPoint{point.x - m_ScreenRect.left, point.y - m_ScreenRect.top}));
    }

    const uint32_t mask = m_ResizeGrip ? m_ResizeGrip->GetEdgeMask() : 0;
    if (mask == 0) {
        if (!m_Movable)
            return false;
        if (movement.x != 0 || movement.y != 0)
            MoveTo(m_Rect.left + movement.x, m_Rect.top + movement.y);
        return true;
    }

    if (const int32_t id = CursorForEdges(mask, true))
        cursor = GetStandardCursor(id);
    if (movement.x != 0 || movement.y != 0)
        ResizeByDrag(mask, point, movement);
    return true;
}

void CJFrameWindow::ResizeByDrag(uint32_t mask, CPoint point, CPoint movement)
{
    CRect wanted = m_Rect;
    if (mask & kEdgeLeft)
        wanted.left += movement.x;
    if (mask & kEdgeRight)
        wanted.right += movement.x;
    if (mask & kEdgeTop)
        wanted.top += movement.y;
    if (mask & kEdgeBottom)
        wanted.bottom += movement.y;
    SetRect(wanted);
    if (m_Rect == wanted)
        return;

    // Enlarged to the minimum size: the far edge stays where it was and the
    // pointer goes back onto the dragged edge.
    CPoint pointer = point;
    CPoint topLeft{m_Rect.left, m_Rect.top};
    if (mask & kEdgeLeft) {
        topLeft.x = wanted.right - GetWidth();
        pointer.x += topLeft.x - wanted.left;
    } else if (mask & kEdgeRight) {
        pointer.x += m_Rect.right - wanted.right;
    }
    if (mask & kEdgeTop) {
        topLeft.y = wanted.bottom - GetHeight();
        pointer.y += topLeft.y - wanted.top;
    } else if (mask & kEdgeBottom) {
        pointer.y += m_Rect.bottom - wanted.bottom;
    }
    if (topLeft.x != m_Rect.left || topLeft.y != m_Rect.top)
        MoveTo(topLeft.x, topLeft.y);
    if (!(pointer == point))
        CMouseState::SGetInstance().SetPosition(pointer.x, pointer.y);
}
