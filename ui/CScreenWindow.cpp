#include "ui/CScreenWindow.h"

#include "foundation/MillisecondClock.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/CShellScreen.h"
#include "shell/CTypedCommandList.h"
#include "shell/GameWindow.h"
#include "ui/CJEdit.h"
#include "ui/UiHooks.h"

#include <algorithm>

namespace {

CScreenWindow* g_ScreenWindow = nullptr;
uint32_t g_PrevMouseButtons = 0;

uint32_t Now()
{
    return uint32_t(MillisecondClock());
}

// Wrap-safe: a deadline d has passed at now when now is later than d.
bool IsLater(uint32_t now, uint32_t deadline)
{
    return int32_t(now - deadline) > 0;
}

bool IsKeyDown(uint32_t a, uint32_t b)
{
    const CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    return keyboard.IsKeyDown(a) || keyboard.IsKeyDown(b);
}

void SetCursorIfChanged(CCursorSequence* cursor)
{
    CMouseState& mouse = CMouseState::SGetInstance();
    if (cursor && cursor != mouse.GetCursor())
        mouse.SetCursor(cursor, CursorStart::Started, CursorStop::Running, CursorFrameSource::MouseState);
}

// The font the screen window is built with is the default of every window,
// the root included, so it is adopted before the root is constructed.
const char* AdoptDefaultFont(CFont* font)
{
    if (font)
        CJWindow::SetDefaultFont(font);
    return "~CScreenWindow";
}

// How far the glyphs of the text's last line reach below the line height
// (descenders): the tip holds its text whole.
int32_t DepthBelowLastLine(CFont& font, const CJString& text)
{
    const int32_t lineHeight = font.GetLineHeight();
    int32_t bottom = lineHeight;
    const int32_t lastLine = text.FindChar(u'\n', text.GetLength() - 1, FindDirection::Backward) + 1;
    for (int32_t i = lastLine; i < text.GetLength(); ++i)
        if (const CFrame* glyph = font.GetGlyphFrame(text.GetAt(i))) {
            CRect bounds{};
            glyph->GetBounds(bounds);
            bottom = std::max(bottom, bounds.bottom);
        }
    return bottom - lineHeight;
}

bool KeysGoToAnEdit()
{
    const CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    return screen && HasEditOnFocusPath(*screen);
}

} // namespace

CScreenWindow::CScreenWindow(CFrameInterface* screenFrame, CFont* defaultFont)
    : CJWindow(nullptr, AdoptDefaultFont(defaultFont))
{
    if (!g_ScreenWindow)
        g_ScreenWindow = this;
    // A secret word typed into a name field is a name, not a command.
    CTypedCommandList::SGetInstance().SetTextEntryQuery(&KeysGoToAnEdit);
    m_HasFocus = true;
    CKeyboardState::SGetInstance().Reset();
    m_SavedCursorShown = CMouseState::SGetInstance().IsCursorVisible();
    m_LastMousePoint = CMouseState::SGetInstance().GetPositionPoint();
    AttachFrame(screenFrame);
    m_LastInputTime = Now();
}

CScreenWindow::~CScreenWindow()
{
    CMouseState::SGetInstance().SetCursorVisible(m_SavedCursorShown);
    CKeyboardState::SGetInstance().Reset();
    if (g_ScreenWindow == this)
        g_ScreenWindow = nullptr;
}

CScreenWindow* CScreenWindow::GetScreenWindow()
{
    return g_ScreenWindow;
}

uint32_t CScreenWindow::GetPreviousMouseButtons()
{
    return g_PrevMouseButtons;
}

void CScreenWindow::SetPreviousMouseButtons(uint32_t mask)
{
    g_PrevMouseButtons = mask;
}

void CScreenWindow::AttachFrame(CFrameInterface* frame)
{
    const int32_t width = frame ? int32_t(frame->GetWidth()) : 0;
    const int32_t height = frame ? int32_t(frame->GetHeight()) : 0;
    SetRect(CRect{0, 0, width, height});
    m_ScreenFrame = frame;
    m_ScreenProxy.SetFrame(frame);
    m_ScreenProxy.SetOffset(-m_ScreenRect.left, -m_ScreenRect.top);
    m_ScreenProxy.SetClipRect(CRect{0, 0, width, height});
}

bool CScreenWindow::IsScreenWindow() const
{
    return true;
}

float CScreenWindow::GetFirstChildLevel() const
{
    return m_FirstChild ? m_FirstChild->GetOpacity() : 0.0f;
}

// ---- Update -------------------------------------------------------------------

void CScreenWindow::Update(float seconds)
{
    if (m_InputEnabled) {
        const uint32_t now = Now();
        if (m_MouseEnabled)
            DispatchMouse(now);
        DispatchKeys(now);
    }
    CJWindow::Update(seconds);
}

void CScreenWindow::DispatchMove(CPoint point)
{
    CCursorSequence* cursor = nullptr;
    const CPoint movement{point.x - m_LastMousePoint.x, point.y - m_LastMousePoint.y};
    OnMouseMove(point, movement, cursor);
    SetCursorIfChanged(cursor);
    // A window may have put the pointer elsewhere (a resize held at its
    // minimum): that is no movement of the user's.
    m_LastMousePoint = CMouseState::SGetInstance().GetPositionPoint();
}

void CScreenWindow::RefreshCursor()
{
    CCursorSequence* cursor = nullptr;
    OnMouseMove(CMouseState::SGetInstance().GetPositionPoint(), CPoint{0, 0}, cursor);
    SetCursorIfChanged(cursor);
}

void CScreenWindow::DispatchMouse(uint32_t now)
{
    CMouseState& mouse = CMouseState::SGetInstance();
    const CPoint point = mouse.GetPositionPoint();
    if (!(point == m_LastMousePoint)) {
        DispatchMove(point);
        m_LastInputTime = now;
    }

    if (const int32_t steps = mouse.TakeWheelSteps())
        OnMouseWheel(steps, point);

    for (uint32_t button = 0; button < kButtonCount; ++button) {
        const uint32_t bit = 1u << button;
        if (mouse.ConsumeClicks(bit)) {
            g_PrevMouseButtons |= bit;
            OnMouseDoubleClick(button, point, 0);
        }
    }

    const uint32_t held = mouse.GetButtons();
    // Presses latched since the last update count even when already let go.
    const uint32_t pressed = (held | mouse.TakePressedButtons()) & ~g_PrevMouseButtons;
    for (uint32_t button = 0; button < kButtonCount; ++button) {
        const uint32_t bit = 1u << button;
        SRepeatRecord& record = m_RepeatRecords[button];
        if (pressed & bit) {
            m_LastInputTime = now;
            SetKeyboardFocusShown(false);
            m_CurrentButton = button;
            m_PressCancelled = false;
            record = SRepeatRecord{};
            OnMouseDown(button, point);
            RefreshCursor();
            if (!(held & bit)) {
                // Pressed and released between two updates.
                m_CurrentButton = button;
                OnMouseUp(button, point);
                RefreshCursor();
                m_RepeatRecords[button].window = nullptr;
            }
        } else if (held & bit) {
            if (record.window && IsLater(now, record.nextTime) &&
                record.window->GetVisibleRect().ContainsPoint(point.x, point.y)) {
                record.window->OnMouseRepeat(button, point);
                record.hasRepeated = true;
                record.nextTime = now + record.interval;
            }
        } else if (g_PrevMouseButtons & bit) {
            m_CurrentButton = button;
            m_LastInputTime = now;
            OnMouseUp(button, point);
            RefreshCursor();
            m_RepeatRecords[button].window = nullptr;
        }
    }
    g_PrevMouseButtons = held;
}

void CScreenWindow::DispatchKeys(uint32_t now)
{
    CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    while (const uint32_t key = keyboard.TakeTypedCharacter()) {
        m_LastInputTime = now;
        bool hotKeyTook = false;
        if (IsKeyDown(kScanAltLeft, kScanAltRight))
            hotKeyTook = OnHotKey(key);
        if (!hotKeyTook) {
            OnKeyDown(key);
            RefreshCursor();
        }
    }
}

bool CScreenWindow::OnKeyDown(uint32_t key)
{
    if (key == kKeyEscape && g_PrevMouseButtons != 0)
        m_PressCancelled = true;
    if (CJWindow::OnKeyDown(key) || OnHotKey(key))
        return true;
    CCharacterTypedMessage typed(key);
    if (BroadcastMessageToPlugIns(typed))
        return true;
    const bool shift = IsKeyDown(kScanShiftLeft, kScanShiftRight);
    switch (key) {
    case 3:
    case 4:
        return ClipboardCopy(1);
    case 16:
        if (shift)
            return ClipboardPaste(1);
        if (IsKeyDown(kScanControlLeft, kScanControlRight))
            return ClipboardCopy(1);
        return false;
    case 17:
        return shift ? ClipboardCut(1) : ClipboardDelete(1);
    case 22:
        return ClipboardPaste(1);
    case 24:
        return ClipboardCut(1);
    default:
        return false;
    }
}

bool CScreenWindow::OnHover(CPoint)
{
    HideToolTip();
    return true;
}

// ---- Mouse repeat -----------------------------------------------------------

void CScreenWindow::StartMouseRepeat(CJWindow* window, uint32_t delayMs, uint32_t intervalMs)
{
    SRepeatRecord& record = m_RepeatRecords[m_CurrentButton % kButtonCount];
    if (record.window == window)
        return;
    if (delayMs == 0)
        delayMs = uint32_t(GetKeyRepeatDelay() * 1000.0f);
    if (intervalMs == 0)
        intervalMs = uint32_t(GetKeyRepeatInterval() * 1000.0f);
    record.window = window;
    record.nextTime = Now() + delayMs;
    record.interval = intervalMs;
    record.hasRepeated = false;
}

bool CScreenWindow::HasMouseRepeated() const
{
    return m_RepeatRecords[m_CurrentButton % kButtonCount].hasRepeated;
}

void CScreenWindow::EndMouseHold()
{
    DispatchMove(CMouseState::SGetInstance().GetPositionPoint());
}

void CScreenWindow::ForgetWindow(CJWindow* window)
{
    for (SRepeatRecord& record : m_RepeatRecords) {
        if (record.window == window)
            record.window = nullptr;
    }
    if (m_StatusWindow == window)
        m_StatusWindow = nullptr;
}

// ---- Tool tip -------------------------------------------------------------------

void CScreenWindow::SetStatusWindow(CJWindow* window, bool takesAllTips)
{
    m_StatusWindow = window;
    m_StatusTakesAllTips = takesAllTips;
}

void CScreenWindow::HideToolTip()
{
    ShowToolTip(nullptr, -1, CJString());
}

bool CScreenWindow::GetToolTipRect(CRect& out) const
{
    if (m_ToolTipText2.IsEmpty())
        return false;
    out = CRect{m_ToolTipRect.left - 1, m_ToolTipRect.top - 1, m_ToolTipRect.right + 1, m_ToolTipRect.bottom + 1};
    return true;
}

void CScreenWindow::ShowToolTip(CJWindow* window, int32_t hotKeyIndex, const CJString& text, int32_t x, int32_t y,
                                int32_t hotKeyLength)
{
    // Requests carry no reason code, so a status window takes every tip.
    if (m_StatusWindow) {
        if (m_StatusWindow->IsShownOnScreen() || !GetUiHooks().IsLevelEditorOpen()) {
            m_StatusWindow->SetTitle(text);
            m_ToolTipUnderline = false;
            m_ToolTipText.Empty();
            m_ToolTipText2.Empty();
            return;
        }
    }
    if (text.IsNotEmpty() && text.Compare(m_ToolTipText) == 0)
        return;
    m_ToolTipUnderline = false;
    m_ToolTipText.Empty();
    m_ToolTipText2.Empty();
    if (text.IsEmpty())
        return;

    const CJWindow& source = window ? *window : static_cast<const CJWindow&>(*this);
    CFont* font = source.GetFont();
    if (!font)
        return;
    m_ToolTipFont = font;
    m_ToolTipBackColor = source.GetColor0();
    if (m_ToolTipBackColor.GetAlpha() == 0) {
        const CColor& c = m_ToolTipBackColor;
        m_ToolTipBackColor.Set(c.GetRed(), c.GetGreen(), c.GetBlue(), 255);
    }
    m_ToolTipBorderColor = source.GetTextColor();

    if (x == -1) {
        CMouseState& mouse = CMouseState::SGetInstance();
        const CPoint pointer = mouse.GetPositionPoint();
        CRect cursorRect{};
        x = pointer.x;
        y = pointer.y + (mouse.GetCursorRect(cursorRect) ? cursorRect.GetHeight() : 20);
    }

    m_ToolTipText = text;
    const int32_t wrapWidth = int32_t(0.8f * float(GetWidth()));
    m_ToolTipText2 = font->WrapText(text, wrapWidth, TrailingSpaces::Cut);
    const int32_t width = font->GetMultiLineTextWidth(m_ToolTipText2);
    int32_t height = font->GetTextBlockHeight(m_ToolTipText2, 0) + DepthBelowLastLine(*font, m_ToolTipText2);

    if (hotKeyIndex != -1) {
        m_ToolTipUnderline = true;
        m_ToolTipUnderlineY = int32_t(font->GetHeight()) + 1;
        m_ToolTipUnderlineStart = font->GetTextWidth(text, hotKeyIndex);
        m_ToolTipUnderlineEnd = font->GetTextWidth(text, hotKeyIndex + hotKeyLength);
        height = std::max(height, m_ToolTipUnderlineY + 2);
    }
    m_ToolTipRect = CRect{x, y, x + width, y + height};

    const int32_t screenWidth = GetWidth();
    const int32_t screenHeight = GetHeight();
    if (m_ToolTipRect.right > screenWidth - 3) {
        const int32_t shift = m_ToolTipRect.right - (screenWidth - 3);
        m_ToolTipRect.left -= shift;
        m_ToolTipRect.right -= shift;
    }
    if (m_ToolTipRect.left < 2) {
        const int32_t shift = 2 - m_ToolTipRect.left;
        m_ToolTipRect.left += shift;
        m_ToolTipRect.right += shift;
    }
    if (m_ToolTipRect.bottom > screenHeight - 3) {
        const int32_t shift = m_ToolTipRect.bottom - (screenHeight - 3);
        m_ToolTipRect.top -= shift;
        m_ToolTipRect.bottom -= shift;
    }
}

// ---- Drawing --------------------------------------------------------------------

void CScreenWindow::DrawToScreen()
{
    if (IsVisible())
        Draw(m_ScreenProxy);
}

void CScreenWindow::Draw(CFrameInterface&)
{
    if (!m_ScreenFrame)
        return;
    CRect bounds{};
    m_ScreenFrame->GetBounds(bounds);
    if (bounds.right != m_Rect.right)
        AttachFrame(m_ScreenFrame);

    CJWindow::Draw(m_ScreenProxy);

    m_ScreenProxy.SetOffset(-m_ScreenRect.left, -m_ScreenRect.top);
    m_ScreenProxy.SetClipRect(CRect{0, 0, m_ContentWidth, m_ContentHeight});

    CRect tip{};
    if (!GetToolTipRect(tip) || !m_ToolTipFont)
        return;
    CColor back = m_ToolTipBackColor;
    CColor border = m_ToolTipBorderColor;
    m_ScreenProxy.FillRect(tip, back);
    const int32_t r = tip.right - 1;
    const int32_t b = tip.bottom - 1;
    m_ScreenProxy.DrawLine(tip.left, tip.top, r, tip.top, border);
    m_ScreenProxy.DrawLine(r, tip.top, r, b, border);
    m_ScreenProxy.DrawLine(r, b, tip.left, b, border);
    m_ScreenProxy.DrawLine(tip.left, b, tip.left, tip.top, border);
    m_ToolTipFont->DrawMultiLineText(m_ScreenProxy, m_ToolTipRect.left, m_ToolTipRect.top, m_ToolTipText2, 0,
                                     TextAlign::Left, nullptr);
    if (m_ToolTipUnderline) {
        const int32_t y = m_ToolTipRect.top + m_ToolTipUnderlineY;
        m_ScreenProxy.DrawLine(m_ToolTipRect.left + m_ToolTipUnderlineStart, y,
                               m_ToolTipRect.left + m_ToolTipUnderlineEnd - 1, y, border);
    }
}

std::unique_ptr<CShellRootWindow> MakeScreenWindow(CShellScreen& screen)
{
    return std::make_unique<CScreenWindow>(screen.GetFrame(), CJWindow::GetDefaultFont());
}
