// The window tree: construction, the child ring, rectangles, placement and
// scrolling.
#include "ui/CJWindow.h"

#include "foundation/CPerformanceMonitor.h"
#include "foundation/SaturatingArithmetic.h"
#include "images/CFont.h"
#include "shell/CMouseState.h"
#include "ui/CScreenWindow.h"
#include "ui/CSkinTheme.h"

#include <algorithm>

namespace {

SScrollBarFactory g_ScrollBarFactory;
bool g_ShowKeyboardFocus = false;
bool g_FlushCachedWindows = false;
// 2 font units of the first window ever built; -1 until then.
int32_t g_DefaultBorderWidth = -1;

uint8_t ClampToByte(int32_t value)
{
    return uint8_t(std::clamp(value, 0, 255));
}

} // namespace

void CJWindow::SetDefaultBorderWidth(int32_t pixels)
{
    g_DefaultBorderWidth = ClampToByte(pixels);
}

SScrollBarFactory SetScrollBarFactory(SScrollBarFactory factory)
{
    const SScrollBarFactory previous = g_ScrollBarFactory;
    g_ScrollBarFactory = factory;
    return previous;
}

const SScrollBarFactory& GetScrollBarFactory()
{
    return g_ScrollBarFactory;
}

bool CJWindow::IsKeyboardFocusShown()
{
    return g_ShowKeyboardFocus;
}

void CJWindow::SetKeyboardFocusShown(bool shown)
{
    g_ShowKeyboardFocus = shown;
}

void CJWindow::RaiseFlushCachedWindows()
{
    g_FlushCachedWindows = true;
}

bool CJWindow::IsFlushCachedWindowsRaised()
{
    return g_FlushCachedWindows;
}

void CJWindow::ClearFlushCachedWindows()
{
    g_FlushCachedWindows = false;
}

// ---- Construction and life cycle ----------------------------------------

CJWindow::CJWindow(CJWindow* parent)
{
    Construct(parent);
}

CJWindow::CJWindow(CJWindow* parent, const CJString& title)
{
    Construct(parent);
    SetTitle(title);
}

CJWindow::CJWindow(CJWindow* parent, const char* title)
{
    Construct(parent);
    if (title)
        SetTitle(CJString(title));
}

void CJWindow::Construct(CJWindow* parent)
{
    ClearHotKey();
    m_Font = GetDefaultFont();
    CSkinTheme* theme = parent ? parent->GetSkinTheme() : nullptr;
    SetSkinTheme(theme ? theme : GetDefaultTheme());
    if (parent)
        m_Transparent = parent->m_Transparent;
    InitDrawingState();
    const int32_t unit = GetFontUnit();
    m_EdgeMargin = ClampToByte(4 * unit);
    m_SpacingX = 4 * unit;
    m_SpacingY = 4 * unit;
    if (g_DefaultBorderWidth < 0)
        g_DefaultBorderWidth = ClampToByte(2 * unit);
    m_BorderWidth = uint8_t(g_DefaultBorderWidth);
    m_SkinTheme->SetUpWindow(*this, parent);
}

CJWindow::~CJWindow()
{
    if (IsPerformanceMonitoringOn()) {
        static CPerformanceMonitor flushZone("FlushAllCachedWindows");
        CPerformanceMonitorScope zone(flushZone);
        RaiseFlushCachedWindows();
    } else {
        RaiseFlushCachedWindows();
    }
    ReleaseDrawingState();
    if (CScreenWindow* screen = CScreenWindow::GetScreenWindow())
        screen->ForgetWindow(this);
    while (m_FirstChild)
        m_FirstChild->Destroy();
    if (m_Parent)
        m_Parent->RemoveChild(this);
    delete m_Scroll;
    m_Scroll = nullptr;
}

void CJWindow::SetSkinTheme(CSkinTheme* theme)
{
    m_SkinTheme = theme;
}

CSkinTheme* CJWindow::GetSkinTheme() const
{
    return m_SkinTheme;
}

void CJWindow::Update(float seconds)
{
    for (CJWindow* child = m_FirstChild; child;) {
        CJWindow* next = child->m_NextSibling;
        child->Update(seconds);
        child = next;
    }
    if (m_Scroll && m_Scroll->barsEnabled)
        UpdateScrollBars();
    if (m_CloseRequested)
        Close();
}

void CJWindow::RequestClose()
{
    m_CloseRequested = true;
}

bool CJWindow::Close()
{
    Destroy();
    return true;
}

void CJWindow::Destroy()
{
    if (m_HeldButtons)
        CancelMouseHold();
    delete this;
}

bool CJWindow::CloseAllChildren()
{
    while (m_FirstChild) {
        if (!m_FirstChild->Close())
            return false;
    }
    return true;
}

// ---- Flags and visibility -------------------------------------------------

void CJWindow::Show(bool visible, bool notify)
{
    if (m_Visible == visible)
        return;
    m_Visible = visible;
    if (!visible)
        RaiseFlushCachedWindows();
    OnShow(visible);
    if (notify && m_Parent) {
        if (visible)
            m_Parent->BringChildToFront(this);
        else if (m_NextSibling)
            m_Parent->BringChildToFront(m_NextSibling);
    }
}

bool CJWindow::IsVisible() const
{
    return m_Visible;
}

bool CJWindow::IsShownOnScreen() const
{
    for (const CJWindow* window = this; window; window = window->m_Parent) {
        if (!window->IsVisible())
            return false;
    }
    return true;
}

void CJWindow::UpdateEnabledState() {}

bool CJWindow::IsActive() const
{
    return m_Parent ? m_Parent->IsActive() : m_HasFocus;
}

bool CJWindow::IsEnabledWithParent() const
{
    return m_Enabled && (!m_Parent || m_Parent->m_Enabled);
}

void CJWindow::SetTransparent(bool transparent)
{
    m_Transparent = transparent;
    for (CJWindow* child = m_FirstChild; child; child = child->m_NextSibling)
        child->SetTransparent(transparent);
}

bool CJWindow::IsScreenWindow() const
{
    return false;
}

// ---- Child ring -------------------------------------------------------------

void CJWindow::LinkAtBack(CJWindow* child)
{
    child->m_Parent = this;
    child->m_NextSibling = nullptr;
    child->m_PrevSibling = m_LastChild;
    if (m_LastChild)
        m_LastChild->m_NextSibling = child;
    else
        m_FirstChild = child;
    m_LastChild = child;
}

void CJWindow::LinkAtFront(CJWindow* child)
{
    child->m_Parent = this;
    child->m_PrevSibling = nullptr;
    child->m_NextSibling = m_FirstChild;
    if (m_FirstChild)
        m_FirstChild->m_PrevSibling = child;
    else
        m_LastChild = child;
    m_FirstChild = child;
}

void CJWindow::Unlink(CJWindow* child)
{
    if (child->m_PrevSibling)
        child->m_PrevSibling->m_NextSibling = child->m_NextSibling;
    else
        m_FirstChild = child->m_NextSibling;
    if (child->m_NextSibling)
        child->m_NextSibling->m_PrevSibling = child->m_PrevSibling;
    else
        m_LastChild = child->m_PrevSibling;
    child->m_Parent = nullptr;
    child->m_NextSibling = nullptr;
    child->m_PrevSibling = nullptr;
}

void CJWindow::FrontChildTakingFocus()
{
    // The front child becomes one that can take the focus.
    CJWindow* front = m_FirstChild;
    if (front && !(front->m_TabStop && front->m_Visible)) {
        const bool shown = g_ShowKeyboardFocus;
        g_ShowKeyboardFocus = true;
        CJWindow* focusable = front->GetNextFocusable();
        g_ShowKeyboardFocus = shown;
        if (focusable)
            BringChildToFront(focusable);
    }
}

void CJWindow::PlaceAdded(EPlace placement, CJWindow* reference, int32_t dx, int32_t dy, uint32_t flags)
{
    if (placement != EPlace::AsIs)
        Place(placement, reference, dx, dy, flags);
    else
        SetRect(m_Rect);
}

void CJWindow::AddChild(CJWindow* child, EPlace placement, CJWindow* reference, int32_t dx, int32_t dy, uint32_t flags)
{
    if (!child)
        return;
    flags |= m_AddChildFlags;
    const bool wasEmpty = m_FirstChild == nullptr;
    child->FrontChildTakingFocus();
    LinkAtBack(child);
    child->PlaceAdded(placement, reference, dx, dy, flags);
    if (!(flags & kPlaceNoGrow))
        GrowToFitChild(child, (flags & kPlaceGrowNoMargin) ? 0 : kDefaultOffset);
    if (wasEmpty && m_HasFocus)
        child->SetFocus(true);
}

void CJWindow::AddChildFirst(CJWindow* child, EPlace placement, CJWindow* reference, int32_t dx, int32_t dy,
                             uint32_t flags)
{
    if (!child)
        return;
    flags |= m_AddChildFlags;
    child->FrontChildTakingFocus();
    CJWindow* oldFront = m_FirstChild;
    LinkAtFront(child);
    child->PlaceAdded(placement, reference, dx, dy, flags);
    if (m_HasFocus) {
        if (oldFront)
            oldFront->SetFocus(false);
        child->SetFocus(true);
    }
}

void CJWindow::RemoveChild(CJWindow* child)
{
    if (!child || child->m_Parent != this)
        return;
    Unlink(child);
    if (child->m_HasFocus) {
        if (m_FirstChild)
            m_FirstChild->SetFocus(true);
        child->SetFocus(false);
    }
}

bool CJWindow::HasOverlappingChildren() const
{
    return true;
}

void CJWindow::BringChildToFront(CJWindow* child)
{
    if (!child || child->m_Parent != this || child->m_HasFocus)
        return;
    if (!m_HasFocus && m_Parent)
        m_Parent->BringChildToFront(this);
    if (child == m_FirstChild)
        return;
    CJWindow* oldFront = m_FirstChild;
    if (m_HasFocus && oldFront)
        oldFront->SetFocus(false);
    // Rotate the ring: the run before the child moves, in order, behind the
    // old last child.
    CJWindow* runFirst = m_FirstChild;
    CJWindow* runLast = child->m_PrevSibling;
    runLast->m_NextSibling = nullptr;
    child->m_PrevSibling = nullptr;
    m_LastChild->m_NextSibling = runFirst;
    runFirst->m_PrevSibling = m_LastChild;
    m_FirstChild = child;
    m_LastChild = runLast;
    if (m_HasFocus)
        child->SetFocus(true);
}

void CJWindow::SendChildToBack(CJWindow* child)
{
    if (!child || child->m_Parent != this || m_FirstChild == m_LastChild)
        return;
    RemoveChild(child);
    AddChild(child, {.flags = kPlaceNoGrow});
}

void CJWindow::AddSibling(CJWindow* window, EPlace placement)
{
    CJWindow* host = m_Parent ? m_Parent : this;
    host->AddChildFirst(window, placement);
}

void CJWindow::AddModalSibling(CJWindow* window, EPlace placement)
{
    if (window)
        window->m_Modal = true;
    AddSibling(window, placement);
}

bool CJWindow::HasChildren() const
{
    return m_FirstChild != nullptr;
}

void CJWindow::ReleaseReplacedWindow() {}

CJWindow* CJWindow::GetRootWindow()
{
    CJWindow* window = this;
    while (window->m_Parent)
        window = window->m_Parent;
    return window;
}

bool CJWindow::IsChildAtRect(const CRect& rect, const CJWindow* except) const
{
    for (const CJWindow* child = m_FirstChild; child; child = child->m_NextSibling) {
        if (child != except && child->m_ScreenRect == rect)
            return true;
        if (child->m_FirstChild && child->IsChildAtRect(rect, except))
            return true;
    }
    return false;
}

CJWindow* CJWindow::GetChildAt(CPoint point) const
{
    for (CJWindow* child = m_FirstChild; child; child = child->m_NextSibling) {
        if (child->m_Visible && child->m_Rect.ContainsPoint(point.x, point.y))
            return child;
    }
    return nullptr;
}

CJWindow* CJWindow::GetDeepestChildAt(CPoint point) const
{
    CJWindow* found = nullptr;
    const CJWindow* window = this;
    for (;;) {
        CJWindow* child = window->GetChildAt(point);
        if (!child)
            return found;
        // Into the child's content coordinates.
        point.x += child->GetScrollOffsetX() - child->m_Rect.left;
        point.y += child->GetScrollOffsetY() - child->m_Rect.top;
        found = child;
        window = child;
    }
}

// ---- Geometry -------------------------------------------------------------

int32_t CJWindow::GetFontUnit() const
{
    return m_Font ? int32_t(m_Font->GetHeight() / 5) : 0;
}

void CJWindow::SetRect(const CRect& rect)
{
    m_Rect = rect;
    m_ContentWidth = (m_Scroll && m_Scroll->contentWidth != 0) ? m_Scroll->contentWidth : rect.GetWidth();
    m_ContentHeight = (m_Scroll && m_Scroll->contentHeight != 0) ? m_Scroll->contentHeight : rect.GetHeight();
    m_ScreenRect = rect;
    m_VisibleRect = rect;
    if (m_Parent) {
        const int64_t dx = int64_t(m_Parent->m_ScreenRect.left) - m_Parent->GetScrollOffsetX();
        const int64_t dy = int64_t(m_Parent->m_ScreenRect.top) - m_Parent->GetScrollOffsetY();
        m_ScreenRect = CRect{ClampToInt32(rect.left + dx), ClampToInt32(rect.top + dy), ClampToInt32(rect.right + dx),
                             ClampToInt32(rect.bottom + dy)};
        if (!IntersectRects(m_VisibleRect, m_ScreenRect, m_Parent->m_VisibleRect))
            m_VisibleRect = CRect{};
    }
    const int64_t cx = int64_t(GetScrollOffsetX()) - m_ScreenRect.left;
    const int64_t cy = int64_t(GetScrollOffsetY()) - m_ScreenRect.top;
    m_ClipRect = CRect{ClampToInt32(m_VisibleRect.left + cx), ClampToInt32(m_VisibleRect.top + cy),
                       ClampToInt32(m_VisibleRect.right + cx), ClampToInt32(m_VisibleRect.bottom + cy)};
    if (m_Scroll && m_Scroll->barsEnabled)
        UpdateScrollBars();
    for (CJWindow* child = m_FirstChild; child; child = child->m_NextSibling)
        child->SetRect(child->m_Rect);
}

const CRect& CJWindow::GetRect() const
{
    return m_Rect;
}

void CJWindow::SetSize(int32_t width, int32_t height)
{
    SetRect(CRect{m_Rect.left, m_Rect.top, SaturatingAdd(m_Rect.left, width), SaturatingAdd(m_Rect.top, height)});
}

void CJWindow::MoveTo(int32_t x, int32_t y)
{
    SetRect(CRect{x, y, SaturatingAdd(x, GetWidth()), SaturatingAdd(y, GetHeight())});
}

void CJWindow::MoveToX(int32_t x)
{
    MoveTo(x, m_Rect.top);
}

void CJWindow::MoveToY(int32_t y)
{
    MoveTo(m_Rect.left, y);
}

void CJWindow::SetWidth(int32_t width)
{
    SetSize(width, GetHeight());
}

void CJWindow::SetHeight(int32_t height)
{
    SetSize(GetWidth(), height);
}

void CJWindow::SetRectXYWH(int32_t x, int32_t y, int32_t width, int32_t height)
{
    SetRect(CRect{x, y, SaturatingAdd(x, width), SaturatingAdd(y, height)});
}

int32_t CJWindow::GetClientTopInset() const
{
    return 0;
}

int32_t CJWindow::GetClientLeftInset() const
{
    return 0;
}

CPoint CJWindow::ScreenToClient(CPoint point) const
{
    return CPoint{ClampToInt32(int64_t(point.x) - m_ScreenRect.left + GetScrollOffsetX()),
                  ClampToInt32(int64_t(point.y) - m_ScreenRect.top + GetScrollOffsetY())};
}

namespace {

// The codes placed against the previous sibling instead of a given window.
bool PlacesAgainstPrevious(EPlace place)
{
    switch (place) {
    case EPlace::BelowPrevious:
    case EPlace::BelowPreviousRightAligned:
    case EPlace::BelowPreviousCentred:
    case EPlace::RightOfPrevious:
    case EPlace::RightOfPreviousCentred:
    case EPlace::RightOfPreviousBottomAligned:
    case EPlace::LeftOfPrevious:
    case EPlace::AbovePrevious:
    case EPlace::CentredOnPrevious:
        return true;
    default:
        return false;
    }
}

bool PlacesAgainstReference(EPlace place)
{
    switch (place) {
    case EPlace::Below:
    case EPlace::BelowRightAligned:
    case EPlace::BelowCentred:
    case EPlace::RightOf:
    case EPlace::RightOfCentred:
    case EPlace::RightOfBottomAligned:
    case EPlace::LeftOf:
    case EPlace::Above:
    case EPlace::CentredOn:
        return true;
    default:
        return PlacesAgainstPrevious(place);
    }
}

} // namespace

void CJWindow::Place(EPlace place, CJWindow* reference, int32_t dx, int32_t dy, uint32_t flags)
{
    flags |= m_AddChildFlags;
    if (place == EPlace::AsIs)
        return;
    if (place == EPlace::BelowPrevious && !m_PrevSibling)
        place = EPlace::TopLeft;
    CJWindow* parent = m_Parent;
    // Defaults and units come from the parent; an unattached window measures
    // against itself.
    const CJWindow& host = parent ? *parent : *this;
    const bool edgeCode = place == EPlace::TopLeft || place == EPlace::TopRight || place == EPlace::TopRightCorner
        || place == EPlace::BottomRight || place == EPlace::BottomLeft;
    if (dx == kDefaultOffset) {
        if (edgeCode)
            dx = host.m_EdgeMargin;
        else if (place == EPlace::BelowRightAligned || place == EPlace::BelowPreviousRightAligned
                 || place == EPlace::OutsideRightFullHeight || place == EPlace::AtMouse)
            dx = 0;
        else
            dx = host.m_SpacingX;
    } else if (!(flags & kPlacePixels)) {
        dx = SaturatingMul(dx, host.GetFontUnit());
    }
    if (dy == kDefaultOffset)
        dy = edgeCode ? host.m_EdgeMargin : host.m_SpacingY;
    else if (!(flags & kPlacePixels))
        dy = SaturatingMul(dy, host.GetFontUnit());

    // In 64 bits: offsets and spacings from a skin file may lie at the int32
    // limits; the place found is then held there.
    const int64_t w = GetWidth();
    int64_t h = GetHeight();
    const int64_t pw = host.GetWidth();
    const int64_t ph = host.GetHeight();
    const int64_t vw = host.m_VisibleRect.GetWidth();
    const int64_t vh = host.m_VisibleRect.GetHeight();
    const int64_t lin = host.GetClientLeftInset();
    const int64_t tin = host.GetClientTopInset();
    const CJWindow* ref = PlacesAgainstPrevious(place) ? m_PrevSibling : reference;
    if (PlacesAgainstReference(place) && !ref)
        return;
    const CRect r = ref ? ref->m_Rect : CRect{};

    const int64_t offsetX = dx;
    const int64_t offsetY = dy;
    int64_t x = 0;
    int64_t y = 0;
    switch (place) {
    case EPlace::TopLeft:
        x = lin + offsetX, y = tin + offsetY;
        break;
    case EPlace::TopRight:
        x = pw - w - offsetX, y = tin + offsetY;
        break;
    case EPlace::TopRightCorner:
        x = pw - w - offsetX, y = offsetY;
        break;
    case EPlace::BottomRight:
        x = pw - w - offsetX, y = ph - h - offsetY;
        break;
    case EPlace::At:
        x = lin + offsetX, y = tin + offsetY;
        if (flags & kPlaceClampInParent) {
            x = w < pw ? std::clamp<int64_t>(x, 0, pw - w) : 0;
            y = h < ph ? std::clamp<int64_t>(y, 0, ph - h) : 0;
        }
        break;
    case EPlace::Centred:
        x = (vw - w) / 2, y = (vh - h) / 2;
        if (y + h > vh)
            y = vh - h;
        break;
    case EPlace::Below:
    case EPlace::BelowPrevious:
        x = r.left, y = r.bottom + offsetY;
        break;
    case EPlace::BelowRightAligned:
    case EPlace::BelowPreviousRightAligned:
        x = r.right - w + offsetX, y = r.bottom + offsetY;
        break;
    case EPlace::BelowCentred:
    case EPlace::BelowPreviousCentred:
        x = (vw - w) / 2, y = r.bottom + offsetY;
        break;
    case EPlace::RightOf:
    case EPlace::RightOfPrevious:
        x = r.right + offsetX, y = r.top;
        break;
    case EPlace::RightOfCentred:
    case EPlace::RightOfPreviousCentred:
        x = r.right + offsetX, y = r.top - (h - r.GetHeight()) / 2;
        break;
    case EPlace::RightOfBottomAligned:
    case EPlace::RightOfPreviousBottomAligned:
        x = r.right + offsetX, y = r.bottom - h;
        break;
    case EPlace::OutsideRightFullHeight:
        SetHeight(int32_t(ph));
        h = ph;
        x = pw, y = 0;
        break;
    case EPlace::LeftOf:
    case EPlace::LeftOfPrevious:
        x = r.left - w - offsetX, y = r.top;
        break;
    case EPlace::AtMouse: {
        CMouseState& mouse = CMouseState::SGetInstance();
        int32_t mx = 0;
        int32_t my = 0;
        mouse.GetPosition(mx, my);
        CJWindow* root = GetRootWindow();
        if (int64_t(root->GetWidth()) - mx < w && mx - w >= 0)
            mx -= int32_t(w);
        if (int64_t(root->GetHeight()) - my < h && my - h >= 0)
            my -= int32_t(h);
        const int64_t wantX = int64_t(mx) + offsetX;
        const int64_t wantY = int64_t(my) + offsetY;
        x = std::max<int64_t>(std::min(wantX, pw - w), 0);
        y = std::max<int64_t>(std::min(wantY, ph - h), 0);
        if (x != wantX || y != wantY) {
            int32_t px = 0;
            int32_t py = 0;
            mouse.GetPosition(px, py);
            mouse.SetPosition(ClampToInt32(px + (x - wantX)), ClampToInt32(py + (y - wantY)));
        }
        break;
    }
    case EPlace::BottomLeft:
        x = offsetX, y = ph - h - offsetY;
        break;
    case EPlace::Above:
    case EPlace::AbovePrevious:
        x = r.left + (r.GetWidth() - w) / 2, y = r.top - h - offsetY;
        break;
    case EPlace::CentredOn:
    case EPlace::CentredOnPrevious:
        x = r.left + (r.GetWidth() - w) / 2, y = r.top + (r.GetHeight() - h) / 2;
        break;
    default:
        return;
    }
    MoveTo(ClampToInt32(x), ClampToInt32(y));
    if (parent && !(flags & kPlaceNoGrow))
        parent->GrowToFitChild(this, (flags & kPlaceGrowNoMargin) ? 0 : kDefaultOffset);
}

void CJWindow::GrowToFitChild(CJWindow* child, int32_t margin)
{
    if (!child)
        return;
    margin = margin == kDefaultOffset ? int32_t(m_EdgeMargin) : SaturatingMul(margin, GetFontUnit());
    const int32_t width = std::max(GetWidth(), SaturatingAdd(child->m_Rect.right, margin));
    const int32_t height = std::max(GetHeight(), SaturatingAdd(child->m_Rect.bottom, margin));
    if (width == GetWidth() && height == GetHeight())
        return;
    SetSize(width, height);
    if (m_Parent && !(m_Parent->m_AddChildFlags & kPlaceNoGrow))
        m_Parent->GrowToFitChild(this, kDefaultOffset);
}

void CJWindow::MakeSameWidth(CJWindow* last, int32_t alignment)
{
    int32_t widest = 0;
    for (CJWindow* window = this; window; window = window->m_NextSibling) {
        widest = std::max(widest, window->GetWidth());
        if (window == last)
            break;
    }
    for (CJWindow* window = this; window; window = window->m_NextSibling) {
        const CRect r = window->m_Rect;
        int64_t left = r.left;
        if (alignment == 1)
            left = r.left + (int64_t(r.GetWidth()) - widest) / 2;
        else if (alignment == 2)
            left = int64_t(r.right) - widest;
        window->SetRect(CRect{ClampToInt32(left), r.top, ClampToInt32(left + widest), r.bottom});
        if (window == last)
            break;
    }
}

void CJWindow::ArrangeRow(CJWindow* first, CJWindow* last, int32_t xOffset, bool bottomAlign, bool sameWidth,
                          int32_t spacing, bool growParent)
{
    if (!first)
        return;
    if (spacing == -999)
        spacing = m_SpacingX;
    int32_t count = 0;
    int32_t widest = 0;
    for (CJWindow* window = first; window; window = window->m_NextSibling) {
        ++count;
        widest = std::max(widest, window->GetWidth());
        if (window == last)
            break;
    }
    // Sums in 64 bits: a spacing from a skin file may lie at the int32 limits.
    int64_t spacingAt = spacing;
    const int64_t spacings = spacingAt * (count - 1);
    if (sameWidth && int64_t(count) * widest + spacings + 2 * m_EdgeMargin <= GetWidth())
        first->MakeSameWidth(last, 0);
    int64_t total = 0;
    for (CJWindow* window = first; window; window = window->m_NextSibling) {
        total += window->GetWidth();
        if (window == last)
            break;
    }
    total += spacings;
    if (growParent) {
        if (GetWidth() < total + 2 * m_EdgeMargin)
            SetWidth(ClampToInt32(total + 2 * m_EdgeMargin));
    } else if (total > GetWidth()) {
        total -= spacings;
        spacingAt = 0;
    }
    int64_t x = xOffset + (GetWidth() - total - xOffset) / 2;
    const int32_t bottomY = ClampToInt32(int64_t(GetHeight()) - first->GetHeight() - m_EdgeMargin);
    for (CJWindow* window = first; window; window = window->m_NextSibling) {
        window->MoveTo(ClampToInt32(x), bottomAlign ? bottomY : window->m_Rect.top);
        x += window->GetWidth() + spacingAt;
        if (window == last)
            break;
    }
}

// ---- Scrolling --------------------------------------------------------------

CJWindowScroll& CJWindow::TouchScroll()
{
    if (!m_Scroll)
        m_Scroll = new CJWindowScroll;
    return *m_Scroll;
}

void CJWindow::DropScrollIfEmpty()
{
    if (m_Scroll && m_Scroll->IsAllZero()) {
        delete m_Scroll;
        m_Scroll = nullptr;
    }
}

void CJWindow::DeleteScrollBar(CJWindow*& bar)
{
    CJWindow* doomed = bar;
    bar = nullptr;
    if (doomed)
        doomed->Destroy();
}

int32_t CJWindow::GetViewWidth() const
{
    const bool vertical = m_Scroll && m_Scroll->verticalBar;
    return GetWidth() - (vertical ? kScrollBarThickness : 0) - GetClientLeftInset();
}

int32_t CJWindow::GetViewHeight() const
{
    const bool horizontal = m_Scroll && m_Scroll->horizontalBar;
    return GetHeight() - (horizontal ? kScrollBarThickness : 0) - GetClientTopInset();
}

CRect CJWindow::GetScrolledClientRect() const
{
    const int32_t x = GetScrollOffsetX();
    const int32_t y = GetScrollOffsetY();
    const int32_t left = GetClientLeftInset();
    const int32_t top = GetClientTopInset();
    return CRect{x + left, y + top, x + left + GetViewWidth(), y + top + GetViewHeight()};
}

void CJWindow::SetScrollSize(int32_t width, int32_t height)
{
    CJWindowScroll& scroll = TouchScroll();
    const bool changed = scroll.contentWidth != width || scroll.contentHeight != height;
    scroll.contentWidth = width;
    scroll.contentHeight = height;
    DropScrollIfEmpty();
    if (changed)
        SetRect(m_Rect);
}

void CJWindow::SetScrollPosition(int32_t x, int32_t y)
{
    CJWindowScroll& scroll = TouchScroll();
    if (scroll.contentWidth != 0 && x + GetViewWidth() > scroll.contentWidth)
        x = scroll.contentWidth - GetViewWidth();
    if (scroll.contentHeight != 0 && y + GetViewHeight() > scroll.contentHeight)
        y = scroll.contentHeight - GetViewHeight();
    scroll.scrollX = std::max(x, 0);
    scroll.scrollY = std::max(y, 0);
    DropScrollIfEmpty();
    SetRect(m_Rect);
}

void CJWindow::SetScrollX(int32_t x)
{
    if (x != GetScrollOffsetX())
        SetScrollPosition(x, GetScrollOffsetY());
}

void CJWindow::SetScrollY(int32_t y)
{
    if (y != GetScrollOffsetY())
        SetScrollPosition(GetScrollOffsetX(), y);
}

void CJWindow::EnableScrollBars(bool on)
{
    if (on) {
        TouchScroll().barsEnabled = true;
        return;
    }
    if (!m_Scroll)
        return;
    DeleteScrollBar(m_Scroll->verticalBar);
    DeleteScrollBar(m_Scroll->horizontalBar);
    m_Scroll->barsEnabled = false;
    DropScrollIfEmpty();
}

void CJWindow::UpdateScrollBars()
{
    if (!m_Scroll)
        return;
    constexpr int32_t t = kScrollBarThickness;
    const int32_t width = GetWidth();
    const int32_t height = GetHeight();
    const int32_t contentWidth = m_ContentWidth;
    const int32_t contentHeight = m_ContentHeight;
    bool vertical = contentHeight > height || (contentHeight + t > height && contentWidth > width);
    bool horizontal = contentWidth + (vertical ? t : 0) > width;
    const bool keepVertical = vertical && width > (horizontal ? 2 * t : t) && height > (horizontal ? 4 * t : 3 * t);
    const bool keepHorizontal =
        horizontal && height > (vertical ? 2 * t : t) && width > (vertical ? 4 * t : 3 * t);
    vertical = keepVertical;
    horizontal = keepHorizontal;

    const SScrollBarFactory& factory = g_ScrollBarFactory;
    bool moved = false;
    if (!vertical && m_Scroll->verticalBar) {
        DeleteScrollBar(m_Scroll->verticalBar);
        moved = moved || m_Scroll->scrollY != 0;
        m_Scroll->scrollY = 0;
    }
    if (!horizontal && m_Scroll->horizontalBar) {
        DeleteScrollBar(m_Scroll->horizontalBar);
        moved = moved || m_Scroll->scrollX != 0;
        m_Scroll->scrollX = 0;
    }
    if (vertical && !m_Scroll->verticalBar && factory.create) {
        if (CJWindow* bar = factory.create(*this, true)) {
            m_Scroll->verticalBar = bar;
            AddChild(bar, {.dx = 0, .dy = 0, .flags = kPlaceNoGrow | kPlaceGrowNoMargin});
        }
    }
    if (horizontal && !m_Scroll->horizontalBar && factory.create) {
        if (CJWindow* bar = factory.create(*this, false)) {
            m_Scroll->horizontalBar = bar;
            AddChild(bar, {.dx = 0, .dy = 0, .flags = kPlaceNoGrow | kPlaceGrowNoMargin});
        }
    }
    if (moved) {
        // The content moved back: screen rectangles follow (bars included).
        SetRect(m_Rect);
        return;
    }

    const int32_t sx = m_Scroll->scrollX;
    const int32_t sy = m_Scroll->scrollY;
    const bool hasVertical = m_Scroll->verticalBar != nullptr;
    const bool hasHorizontal = m_Scroll->horizontalBar != nullptr;
    if (CJWindow* bar = m_Scroll->verticalBar) {
        const CRect r{width - t + sx, GetClientTopInset() + sy, width + sx, height - (hasHorizontal ? t : 0) + sy};
        if (!(bar->m_Rect == r))
            bar->SetRect(r);
        const int32_t maximum = contentHeight - (height - (hasHorizontal ? t : 0) - GetClientTopInset());
        if (factory.getRange && factory.setRange) {
            int32_t lo = 0;
            int32_t hi = 0;
            factory.getRange(*bar, lo, hi);
            if (lo != 0 || hi != maximum)
                factory.setRange(*bar, 0, maximum);
        }
        if (factory.getPosition && factory.setPosition && factory.getPosition(*bar) != sy)
            factory.setPosition(*bar, sy);
    }
    if (CJWindow* bar = m_Scroll->horizontalBar) {
        const CRect r{GetClientLeftInset() + sx, height - t + sy, width - (hasVertical ? t : 0) + sx, height + sy};
        if (!(bar->m_Rect == r))
            bar->SetRect(r);
        const int32_t maximum = contentWidth - (width - (hasVertical ? t : 0) - GetClientLeftInset());
        if (factory.getRange && factory.setRange) {
            int32_t lo = 0;
            int32_t hi = 0;
            factory.getRange(*bar, lo, hi);
            if (lo != 0 || hi != maximum)
                factory.setRange(*bar, 0, maximum);
        }
        if (factory.getPosition && factory.setPosition && factory.getPosition(*bar) != sx)
            factory.setPosition(*bar, sx);
    }
}
