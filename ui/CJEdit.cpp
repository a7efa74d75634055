#include "ui/CJEdit.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/CFrameInterface.h"
#include "foundation/CCommand.h"
#include "foundation/MillisecondClock.h"
#include "images/CFont.h"
#include "objects/CMessage.h"
#include "render/SurfaceHelpers.h"
#include "shell/CClipboard.h"
#include "shell/CKeyboardState.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJButton.h"
#include "ui/CJMenu.h"

#include <algorithm>
#include <optional>

namespace {

// Engine key codes the edit answers (codes 32 and above are characters).
constexpr uint32_t kKeySelectAll = 1;
constexpr uint32_t kKeyBackspace = 8;
constexpr uint32_t kKeyUndo = 26;
constexpr uint32_t kKeyZoom = 30;
constexpr uint32_t kFirstCharacter = 32;
constexpr uint32_t kLineBreak = 10;
constexpr uint32_t kCarriageReturn = 13;
constexpr int32_t kPageSteps = 20;
constexpr int32_t kZoomWidth = 600;
constexpr int32_t kZoomLines = 25;
constexpr int32_t kTextCursor = 1;

bool g_InsertMode = true;

bool IsHeld(uint32_t a, uint32_t b)
{
    const CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    return keyboard.IsKeyDown(a) || keyboard.IsKeyDown(b);
}

bool IsShiftHeld()
{
    return IsHeld(kScanShiftLeft, kScanShiftRight);
}

bool IsControlHeld()
{
    return IsHeld(kScanControlLeft, kScanControlRight);
}

} // namespace

// ---- Construction ---------------------------------------------------------------

CJEdit::CJEdit(CJWindow* parent)
    : CJWindow(parent)
{
    Construct(CJString());
}

CJEdit::CJEdit(CJWindow* parent, const CJString& initialText)
    : CJWindow(parent)
{
    Construct(initialText);
}

CJEdit::CJEdit(CJWindow* parent, const char* initialText)
    : CJWindow(parent)
{
    Construct(CJString(initialText));
}

void CJEdit::Construct(const CJString& initialText)
{
    // The text is the user's: an '&' in it is a character, not a hot-key mark.
    m_ParseHotKeyMark = false;
    m_TabStop = true;
    m_DrawOutline = true;
    SetTitle(initialText);
    if (GetWidth() == 0) {
        const int32_t border = m_BorderWidth;
        int32_t width = 0;
        int32_t lineHeight = 0;
        if (m_Font) {
            lineHeight = m_Font->GetLineHeight();
            if (m_Title.IsEmpty())
                width = m_Font->GetTextWidth(CJString("XXXXXXXXXXXX"));
            else
                width = m_Font->GetTextWidth(m_Title) + border + 1 + m_Font->GetTextWidth(CJString("XXXX"));
        }
        SetSize(2 * border + width, lineHeight + 2 + 2 * border);
    }
    m_Caret = m_SelEnd = uint32_t(m_Title.GetLength());
    m_SelAnchor = 0;
}

CJEdit::~CJEdit()
{
    if (m_ZoomWindow)
        m_ZoomWindow->m_Source = nullptr;
    if (m_ContextMenu)
        m_ContextMenu->Destroy();
}

bool HasEditOnFocusPath(const CJWindow& root)
{
    for (const CJWindow* child = root.GetFirstChild(); child; child = child->GetNextSibling()) {
        if (child->HasFocus() && child->IsVisible() && child->IsEnabled()
            && (dynamic_cast<const CJEdit*>(child) || HasEditOnFocusPath(*child)))
            return true;
        if (child->IsModal())
            break;
    }
    return false;
}

bool CJEdit::IsInsertMode()
{
    return g_InsertMode;
}

void CJEdit::SetInsertMode(bool insert)
{
    g_InsertMode = insert;
}

void CJEdit::SetLineCount(int32_t lines)
{
    m_MultiLine = true;
    const int32_t lineHeight = m_Font ? m_Font->GetLineHeight() : 0;
    SetSize(GetWidth(), lines * (lineHeight + 2) + 2 * m_BorderWidth);
}

// ---- Text -------------------------------------------------------------------------

void CJEdit::SetTitle(const CJString& title)
{
    m_ScrollX = 0;
    CJWindow::SetTitle(title);
    if (m_SelectAllOnFocus)
        SelectAll();
    ClampPositions();
}

void CJEdit::ClampPositions()
{
    const uint32_t length = uint32_t(m_Title.GetLength());
    m_Caret = std::min(m_Caret, length);
    m_SelAnchor = std::min(m_SelAnchor, length);
    m_SelEnd = std::min(m_SelEnd, length);
}

void CJEdit::SetTextAndNotify(const CJString& text)
{
    const CJString old = m_Title;
    SetTitle(text);
    if (ValidateText(text))
        NotifyParent(kNotifyChanged);
    else
        SetTitle(old);
}

bool CJEdit::ValidateText(const CJString& text)
{
    if ((m_MinValue == 0.0f && m_MaxValue == 0.0f) || text.IsEmpty())
        return true;
    const float value = text.ToFloat();
    // A minus begins no number of a range without negatives; alone it
    // would read as -0.
    const bool minus = text.GetAt(0) == '-';
    if (m_MinValue <= value && value <= m_MaxValue && !(minus && m_MinValue >= 0.0f))
        return true;
    PlayErrorSound();
    return false;
}

bool CJEdit::FitsLimits(const CJString& text)
{
    if (m_MaxLength != 0 && text.GetLength() > m_MaxLength)
        return false;
    if (m_LimitToWidth && m_Font && m_Font->GetTextWidth(text) > GetWidth() - 2)
        return false;
    return true;
}

void CJEdit::PlayErrorSound()
{
    CPlaySoundMessage sound(CJString("Player Error.wav"));
    BroadcastMessageToPlugIns(sound);
}

void CJEdit::NotifyChanged()
{
    if (m_KeyDepth > 0)
        m_ChangedInKey = true;
    else
        NotifyParent(kNotifyChanged);
}

void CJEdit::CheckChange(const CJString& before, uint32_t caret, uint32_t anchor, uint32_t end)
{
    if (ValidateText(m_Title)) {
        NotifyChanged();
        return;
    }
    m_Title = before;
    m_Caret = caret;
    m_SelAnchor = anchor;
    m_SelEnd = end;
    ClampPositions();
    // Back as it was: whatever the key did along the way is not news.
    m_ChangedInKey = false;
}

bool CJEdit::TypeCharacter(uint32_t character)
{
    if (!m_Editable)
        return true;
    if (m_ForceUpperCase && character >= 'a' && character <= 'z')
        character -= 'a' - 'A';
    // A refused character is still the field's: it goes to no hot key
    // behind it.
    if (m_ForbiddenChars.FindChar(char16_t(character)) >= 0) {
        PlayErrorSound();
        return true;
    }
    if (m_NumbersOnly && character != '.' && character != '-' && (character < '0' || character > '9')) {
        PlayErrorSound();
        return true;
    }
    const CJString before = m_Title;
    const uint32_t caret = m_Caret, anchor = m_SelAnchor, end = m_SelEnd;

    CJString text = m_Title;
    const int32_t length = text.GetLength();
    int32_t at = int32_t(m_Caret);
    if (HasSelection()) {
        at = int32_t(std::min(m_SelAnchor, m_SelEnd));
        const int32_t count = int32_t(std::max(m_SelAnchor, m_SelEnd)) - at;
        text.Delete(at, count);
        text.InsertChar(at, char16_t(character));
    } else if (!g_InsertMode && at < length) {
        text.SetAt(at, char16_t(character));
    } else {
        text.InsertChar(at, char16_t(character));
    }
    if (FitsLimits(text)) {
        m_Title = text;
        m_Caret = m_SelAnchor = m_SelEnd = uint32_t(at + 1);
    } else {
        PlayErrorSound();
    }
    CheckChange(before, caret, anchor, end);
    return true;
}

// ---- Caret and selection ----------------------------------------------------------

void CJEdit::MoveCaret(uint32_t position, int32_t mode)
{
    position = std::min(position, uint32_t(m_Title.GetLength()));
    if (mode == 0)
        mode = IsShiftHeld() ? 2 : 1;
    m_Caret = m_SelEnd = position;
    if (mode != 2)
        m_SelAnchor = position;
}

void CJEdit::SelectAll()
{
    m_SelAnchor = 0;
    m_Caret = m_SelEnd = uint32_t(m_Title.GetLength());
}

bool CJEdit::Undo(intptr_t mode)
{
    // A text the user may not change is not changed by undo either.
    if (!m_Editable || m_Title.Compare(m_UndoText) == 0)
        return false;
    if (mode != 1)
        return true;
    const CJString current = m_Title;
    m_Title = m_UndoText;
    m_UndoText = current;
    SelectAll();
    NotifyChanged();
    return true;
}

// ---- Keys ---------------------------------------------------------------------------

bool CJEdit::OnKeyDown(uint32_t key)
{
    ++m_KeyDepth;
    bool taken = true;
    switch (key) {
    case kKeySelectAll:
        SelectAll();
        break;
    case uint32_t(EngineKey::Home):
        MoveCaret(0, 0);
        break;
    case uint32_t(EngineKey::Up):
    case uint32_t(EngineKey::Down): {
        if (!m_MultiLine) {
            taken = false;
            break;
        }
        const CJString shown = GetShownText();
        int32_t x = 0, y = 0;
        GetPositionXY(shown, m_Caret, x, y);
        x -= m_ScrollX;
        const int32_t step = LineStep();
        if (key == uint32_t(EngineKey::Up)) {
            if (y > m_BorderWidth)
                MoveCaret(GetCharacterAt(CPoint{x, y - step / 2}), 0);
        } else {
            MoveCaret(GetCharacterAt(CPoint{x, y + step / 2 + step}), 0);
        }
        break;
    }
    case uint32_t(EngineKey::PageUp):
    case uint32_t(EngineKey::PageDown):
        for (int32_t i = 0; i < kPageSteps; ++i)
            OnKeyDown(key == uint32_t(EngineKey::PageUp) ? uint32_t(EngineKey::Left) : uint32_t(EngineKey::Right));
        break;
    case kKeyBackspace:
        if (m_Caret != 0) {
            const CJString before = m_Title;
            const uint32_t caret = m_Caret, anchor = m_SelAnchor, end = m_SelEnd;
            if (!HasSelection())
                MoveCaret(m_Caret - 1, 0);
            ClipboardDelete(1);
            CheckChange(before, caret, anchor, end);
        }
        break;
    case uint32_t(EngineKey::Left):
        MoveCaret(m_Caret > 0 ? m_Caret - 1 : 0, 0);
        break;
    case uint32_t(EngineKey::Right):
        MoveCaret(std::min(m_Caret + 1, uint32_t(m_Title.GetLength())), 0);
        break;
    case kKeyEnter:
        taken = m_EnterIsNewline ? TypeCharacter(kLineBreak) : false;
        break;
    case uint32_t(EngineKey::End):
        MoveCaret(uint32_t(m_Title.GetLength()), 0);
        break;
    case uint32_t(EngineKey::Insert):
        if (IsShiftHeld())
            taken = !m_Editable;
        else if (IsControlHeld())
            taken = false;
        else
            g_InsertMode = !g_InsertMode;
        break;
    case uint32_t(EngineKey::Delete): {
        const CJString before = m_Title;
        const uint32_t caret = m_Caret, anchor = m_SelAnchor, end = m_SelEnd;
        ClipboardDelete(1);
        CheckChange(before, caret, anchor, end);
        break;
    }
    case kKeyUndo:
        Undo(1);
        break;
    case kKeyZoom:
        if (m_CanZoom)
            OpenZoomEditor();
        else
            taken = false;
        break;
    default:
        taken = key >= kFirstCharacter ? TypeCharacter(key) : false;
        break;
    }
    --m_KeyDepth;
    if (m_KeyDepth == 0 && m_ChangedInKey) {
        m_ChangedInKey = false;
        NotifyParent(kNotifyChanged);
    }
    if (!taken)
        return CJWindow::OnKeyDown(key);
    return true;
}

// ---- Clipboard ----------------------------------------------------------------------

bool CJEdit::ClipboardCopy(intptr_t mode)
{
    if (!m_CanCopy || !HasSelection())
        return false;
    if (mode == 1) {
        const int32_t start = int32_t(std::min(m_SelAnchor, m_SelEnd));
        const int32_t count = int32_t(std::max(m_SelAnchor, m_SelEnd)) - start;
        CClipboard::SGetInstance().SetText(m_Title.Mid(start, count));
    }
    return true;
}

bool CJEdit::ClipboardCut(intptr_t mode)
{
    if (!m_Editable || !m_CanCopy || !ClipboardCopy(mode))
        return false;
    if (mode == 1)
        ClipboardDelete(1);
    return true;
}

bool CJEdit::ClipboardPaste(intptr_t mode)
{
    if (!m_Editable || !m_CanCopy)
        return false;
    CJString text;
    if (!CClipboard::SGetInstance().GetText(text))
        return false;
    if (mode != 1)
        return true;
    if (HasSelection())
        ClipboardDelete(1);
    // Printable characters are typed; line ends become line breaks where the
    // edit takes them; no other control code runs as an editing key.
    const bool takesBreaks = m_MultiLine || m_EnterIsNewline;
    const int32_t length = text.GetLength();
    for (int32_t i = 0; i < length; ++i) {
        const uint32_t c = text.GetAt(i);
        if (c == kCarriageReturn || c == kLineBreak) {
            if (c == kLineBreak && i > 0 && text.GetAt(i - 1) == kCarriageReturn)
                continue;
            if (takesBreaks)
                TypeCharacter(kLineBreak);
        } else if (c >= kFirstCharacter) {
            OnKeyDown(c);
        }
    }
    return true;
}

bool CJEdit::ClipboardDelete(intptr_t mode)
{
    if (!m_Editable)
        return false;
    if (!HasSelection()) {
        if (m_Caret < uint32_t(m_Title.GetLength()) && mode == 1) {
            CJString text = m_Title;
            text.Delete(int32_t(m_Caret), 1);
            TakeDeletion(text, m_Caret);
        }
        return false;
    }
    if (mode != 1)
        return true;
    const uint32_t start = std::min(m_SelAnchor, m_SelEnd);
    const uint32_t count = std::max(m_SelAnchor, m_SelEnd) - start;
    CJString text = m_Title;
    text.Delete(int32_t(start), int32_t(count));
    TakeDeletion(text, start);
    return true;
}

void CJEdit::TakeDeletion(const CJString& text, uint32_t position)
{
    // Keys check the range themselves once the key is done; a cut or delete
    // from the clipboard keys or the menu may not leave the range either.
    if (m_KeyDepth == 0 && !ValidateText(text))
        return;
    m_Title = text;
    m_Caret = m_SelAnchor = m_SelEnd = position;
    NotifyChanged();
}

// ---- Focus, mouse and cursor --------------------------------------------------------

void CJEdit::SetFocus(bool focus)
{
    if (focus && !m_ContextMenu) {
        if (m_SelectAllOnFocus)
            SelectAll();
        m_UndoText = m_Title;
    }
    CJWindow::SetFocus(focus);
}

bool CJEdit::OnMouseDown(uint32_t button, CPoint point)
{
    const bool base = CJWindow::OnMouseDown(button, point);
    if (button == 0) {
        const uint32_t position = GetCharacterAt(ScreenToClient(point));
        m_Caret = m_SelEnd = position;
        if (!IsShiftHeld())
            m_SelAnchor = position;
        return true;
    }
    if (button == 1) {
        OpenContextMenu();
        return true;
    }
    return base;
}

bool CJEdit::OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor)
{
    if (buttons & 1u) {
        m_Caret = m_SelEnd = GetCharacterAt(ScreenToClient(point));
        return true;
    }
    return CJWindow::OnMouseDrag(point, movement, buttons, cursor);
}

bool CJEdit::OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag)
{
    if (button != 0)
        return CJWindow::OnMouseDoubleClick(button, point, flag);
    const uint32_t position = GetCharacterAt(ScreenToClient(point));
    m_Caret = m_SelEnd = position;
    if (!IsShiftHeld())
        m_SelAnchor = position;
    const uint32_t length = uint32_t(m_Title.GetLength());
    uint32_t start = m_Caret;
    while (start > 0 && m_Title.GetAt(int32_t(start - 1)) != u' ')
        --start;
    uint32_t end = m_Caret;
    while (end < length && m_Title.GetAt(int32_t(end)) != u' ')
        ++end;
    if (end > start) {
        m_SelAnchor = start;
        m_Caret = m_SelEnd = end;
    }
    return true;
}

CCursorSequence* CJEdit::GetCursor(CPoint)
{
    return GetStandardCursor(IsEnabledWithParent() ? kTextCursor : 0);
}

// ---- Layout -------------------------------------------------------------------------

CJString CJEdit::GetShownText() const
{
    if (!m_Password)
        return m_Title;
    return CJString(u'*', m_Title.GetLength());
}

int32_t CJEdit::LineStep() const
{
    return (m_Font ? m_Font->GetLineHeight() : 0) + 2;
}

const std::vector<CJEdit::SLine>& CJEdit::GetLines(const CJString& shownText)
{
    const int32_t width = GetWidth() - 2 * m_BorderWidth;
    if (!m_Lines.empty() && m_LayoutWidth == width && m_LayoutMultiLine == m_MultiLine
        && (m_LayoutText.GetString() == shownText.GetString() || m_LayoutText.Compare(shownText) == 0))
        return m_Lines;
    m_LayoutText = shownText;
    m_LayoutWidth = width;
    m_LayoutMultiLine = m_MultiLine;
    m_Lines.clear();
    const int32_t length = shownText.GetLength();
    if (!m_MultiLine || !m_Font) {
        m_Lines.push_back(SLine{0, length});
        return m_Lines;
    }
    int32_t pos = 0;
    while (pos < length) {
        int32_t count = m_Font->FitLine(pos == 0 ? shownText : shownText.Mid(pos), width, nullptr, FitMode::Force);
        if (count <= 0)
            count = 1; // narrower than one character: one per line
        const bool hardBreak = shownText.GetAt(pos + count - 1) == u'\n';
        m_Lines.push_back(SLine{pos, hardBreak ? count - 1 : count});
        pos += count;
    }
    if (m_Lines.empty() || shownText.GetAt(length - 1) == u'\n')
        m_Lines.push_back(SLine{length, 0});
    return m_Lines;
}

int32_t CJEdit::LineOf(uint32_t position, const std::vector<SLine>& lines) const
{
    const int32_t p = int32_t(position);
    int32_t line = 0;
    while (line + 1 < int32_t(lines.size()) && lines[size_t(line) + 1].start <= p)
        ++line;
    return line;
}

void CJEdit::GetPositionXY(const CJString& shownText, uint32_t position, int32_t& x, int32_t& y)
{
    const std::vector<SLine>& lines = GetLines(shownText);
    const int32_t line = LineOf(position, lines);
    const SLine& l = lines[size_t(line)];
    x = m_BorderWidth;
    if (m_Font) {
        const int32_t end = std::min(int32_t(position), l.start + l.length);
        for (int32_t i = l.start; i < end; ++i)
            x += int32_t(m_Font->GetCharAdvance(shownText.GetAt(i)));
    }
    y = m_BorderWidth + line * LineStep();
}

uint32_t CJEdit::GetCharacterAt(CPoint point)
{
    const CJString shown = GetShownText();
    const std::vector<SLine>& lines = GetLines(shown);
    const int32_t step = LineStep();
    int32_t line = 0;
    if (point.y >= m_BorderWidth + step && step > 0)
        line = std::min(int32_t(lines.size()) - 1, (point.y - m_BorderWidth) / step);
    const SLine& l = lines[size_t(line)];
    int32_t left = m_BorderWidth - m_ScrollX;
    int32_t index = 0;
    while (index < l.length && m_Font) {
        const int32_t advance = int32_t(m_Font->GetCharAdvance(shown.GetAt(l.start + index)));
        if (point.x <= left + advance / 2)
            break;
        left += advance;
        ++index;
    }
    return uint32_t(l.start + index);
}

void CJEdit::KeepCaretInView(const CJString& shownText)
{
    const int32_t view = GetWidth() - 2 * m_BorderWidth;
    int32_t x = 0, y = 0;
    GetPositionXY(shownText, m_Caret, x, y);
    const int32_t caretX = x - m_BorderWidth;
    const std::vector<SLine>& lines = GetLines(shownText);
    const SLine& l = lines[size_t(LineOf(m_Caret, lines))];
    int32_t textWidth = 0;
    if (m_Font)
        for (int32_t i = l.start; i < l.start + l.length; ++i)
            textWidth += int32_t(m_Font->GetCharAdvance(shownText.GetAt(i)));
    if (textWidth - m_ScrollX < view)
        m_ScrollX = std::max(0, textWidth - view);
    if (caretX < m_ScrollX)
        m_ScrollX = caretX;
    if (caretX >= m_ScrollX + view)
        m_ScrollX = caretX - view + 1;
    if (textWidth < view)
        m_ScrollX = 0;
}

// ---- Drawing ------------------------------------------------------------------------

void CJEdit::Draw(CFrameInterface& frame)
{
    // Greyed while disabled; the blits are left as they were found, so an
    // edit inside something drawn greyed does not undo its parent's dimming.
    const bool enabled = IsEnabledWithParent();
    std::optional<CScopedBlitOpacity> dimMask, dimBlack;
    if (!enabled) {
        dimMask.emplace(GetTransparentMaskBlitType(), 0.4f);
        dimBlack.emplace(GetBlackBiasBlitType(), 0.6f);
    }
    if (m_DrawBackground) {
        const CRect box{0, 0, m_ContentWidth, m_ContentHeight};
        frame.FillRect(box, m_FocusColor);
        DrawBevelBox(m_Font, frame, box, true, 15, false);
    }
    if (m_Font) {
        const CJString shown = GetShownText();
        const bool caret = m_HasFocus && enabled && m_ShowCaret;
        if (caret)
            KeepCaretInView(shown);
        if (enabled && (m_HasFocus || m_ContextMenu) && HasSelection())
            DrawSelection(frame, shown);
        DrawText(frame, shown);
        if (caret)
            DrawCaret(frame, shown);
    }
    CJWindow::Draw(frame);
}

void CJEdit::DrawSelection(CFrameInterface& frame, const CJString& shownText)
{
    const std::vector<SLine>& lines = GetLines(shownText);
    const int32_t start = int32_t(std::min(m_SelAnchor, m_SelEnd));
    const int32_t end = int32_t(std::max(m_SelAnchor, m_SelEnd));
    const int32_t step = LineStep();
    for (size_t i = size_t(LineOf(uint32_t(start), lines)); i < lines.size(); ++i) {
        const SLine& l = lines[i];
        if (l.start > end || (l.start == end && i > 0))
            break;
        int32_t left = 0, right = 0, top = 0;
        GetPositionXY(shownText, uint32_t(std::max(start, l.start)), left, top);
        GetPositionXY(shownText, uint32_t(std::min(end, l.start + l.length)), right, top);
        top = m_BorderWidth + int32_t(i) * step;
        if (top >= m_ClipRect.bottom)
            break;
        frame.FillRect(CRect{left - m_ScrollX, top, right - m_ScrollX, top + step}, m_Color4);
    }
}

void CJEdit::DrawText(CFrameInterface& frame, const CJString& shownText)
{
    const std::vector<SLine>& lines = GetLines(shownText);
    const int32_t step = LineStep();
    const int32_t x = m_BorderWidth - m_ScrollX;
    if (lines.size() == 1 && lines[0].start == 0 && lines[0].length == shownText.GetLength()) {
        m_Font->DrawText(frame, x, m_BorderWidth, shownText);
        return;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const int32_t y = m_BorderWidth + int32_t(i) * step;
        if (y >= m_ClipRect.bottom)
            break;
        if (y + step <= m_ClipRect.top || lines[i].length == 0)
            continue;
        m_Font->DrawText(frame, x, y, shownText.Mid(lines[i].start, lines[i].length));
    }
}

void CJEdit::DrawCaret(CFrameInterface& frame, const CJString& shownText)
{
    KeepCaretInView(shownText);
    if ((MillisecondClock() & 256u) == 0)
        return;
    int32_t x = 0, y = 0;
    GetPositionXY(shownText, m_Caret, x, y);
    x -= m_ScrollX;
    const int32_t height = LineStep();
    if (!g_InsertMode && m_Caret < uint32_t(shownText.GetLength())) {
        const int32_t width = int32_t(m_Font->GetCharAdvance(shownText.GetAt(int32_t(m_Caret))));
        DrawRect(frame, CRect{x, y, x + width, y + height}, m_TextColor);
    } else {
        frame.DrawLine(x, y, x, y + height, m_TextColor);
    }
}

// ---- Context menu and zoom editor ---------------------------------------------------

void CJEdit::OpenContextMenu()
{
    CJWindow* root = GetRootWindow();
    if (root == this)
        return;
    auto* menu = new CJPullDownMenu(this);
    CSkinThemeList& themes = GetSkinThemeList();
    if (m_MenuThemeIndex >= 0 && m_MenuThemeIndex < themes.GetCount())
        if (CSkinTheme* theme = themes.GetObject(m_MenuThemeIndex))
            menu->SetSkinTheme(theme);
    using CEditQuery = CObjectFunctionCanExecuteLParamCommand<CJEdit, bool (CJEdit::*)(intptr_t)>;
    using CClipboardQuery = CObjectFunctionCanExecuteLParamCommand<CJEdit, CJWindow::CClipboardQueryType>;
    menu->AddItem(new CJTextMenuItem(menu, "Undo", new CEditQuery(this, &CJEdit::Undo)));
    menu->AddSeparator();
    menu->AddItem(new CJTextMenuItem(menu, "Cut", new CClipboardQuery(this, &CJWindow::ClipboardCut)));
    menu->AddItem(new CJTextMenuItem(menu, "Copy", new CClipboardQuery(this, &CJWindow::ClipboardCopy)));
    menu->AddItem(new CJTextMenuItem(menu, "Paste", new CClipboardQuery(this, &CJWindow::ClipboardPaste)));
    menu->AddItem(new CJTextMenuItem(menu, "Delete", new CClipboardQuery(this, &CJWindow::ClipboardDelete)));
    menu->AddSeparator();
    menu->AddItem(new CJTextMenuItem(menu, "Select All", new CObjectFunctionCommand<CJEdit>(this, &CJEdit::SelectAll)));
    if (m_CanZoom) {
        menu->AddSeparator();
        menu->AddItem(new CJTextMenuItem(menu, "Zoom Into Text Editor (&F2&)",
                                         new CObjectFunctionCommand<CJEdit>(this, &CJEdit::OpenZoomEditor)));
    }
    menu->Add<CCloseNotification>(kAsIsNoGrow, new CObjectFunctionCommand<CJEdit>(this, &CJEdit::ClearContextMenu));
    m_ContextMenu = menu;
    root->AddChildFirst(menu, {EPlace::AtMouse, nullptr, 0, 0, kPlaceNoGrow | kPlacePixels});
}

void CJEdit::OpenZoomEditor()
{
    CJWindow* root = GetRootWindow();
    if (root == this)
        return;
    if (m_ZoomWindow) {
        root->BringChildToFront(m_ZoomWindow);
        return;
    }
    auto* zoom = new CTextEditZoomWindow(this);
    m_ZoomWindow = zoom;
    root->AddChild(zoom, {.code = EPlace::Centred, .flags = kPlaceNoGrow});
    root->BringChildToFront(zoom);
    zoom->BringChildToFront(zoom->m_Edit);
}

// ---- Close notification -------------------------------------------------------------

CCloseNotification::CCloseNotification(CJWindow* parent, CCommand* command)
    : CJWindow(parent)
    , m_Command(command)
{
}

CCloseNotification::~CCloseNotification()
{
    delete m_Command;
}

void CCloseNotification::Destroy()
{
    if (m_Command) {
        CCommand* command = m_Command;
        m_Command = nullptr;
        command->Execute();
        delete command;
    }
    CJWindow::Destroy();
}

// ---- Zoom editor ----------------------------------------------------------------------

CTextEditZoomWindow::CTextEditZoomWindow(CJEdit* source)
    : CJFrameWindow(source, "Text Editor")
    , m_Source(source)
{
    m_Edit = new CJEdit(this, source->GetTitle());
    // The source's filters hold here too, so the text handed back is one
    // the source would have taken when typed.
    m_Edit->m_NumbersOnly = source->m_NumbersOnly;
    m_Edit->m_ForbiddenChars = source->m_ForbiddenChars;
    m_Edit->m_MaxLength = source->m_MaxLength;
    m_Edit->m_ForceUpperCase = source->m_ForceUpperCase;
    m_Edit->m_EnterIsNewline = source->m_EnterIsNewline;
    m_Edit->m_Password = source->m_Password;
    m_Edit->m_CanCopy = source->m_CanCopy;
    m_Edit->m_MultiLine = true;
    const int32_t lineHeight = m_Edit->GetFont() ? m_Edit->GetFont()->GetLineHeight() : 0;
    m_Edit->SetSize(kZoomWidth, (lineHeight + 2) * kZoomLines);
    AddChild(m_Edit, EPlace::TopLeft);
    m_Done = &Add<CJButton>(EPlace::BelowPreviousCentred, "DONE");
}

CTextEditZoomWindow::~CTextEditZoomWindow()
{
    if (m_Source)
        m_Source->m_ZoomWindow = nullptr;
}

void CTextEditZoomWindow::OnNotify(CJWindow* sender, int32_t code)
{
    if (sender == m_Done && code == kNotifyClicked) {
        if (m_Source && !m_Source->FitsLimits(m_Edit->GetTitle())) {
            // Too long or too wide for the source: stay open, nothing lost.
            m_Source->PlayErrorSound();
            return;
        }
        if (m_Source)
            m_Source->SetTextAndNotify(m_Edit->GetTitle());
        // Closed on the next update: the button is still inside its click.
        RequestClose();
        return;
    }
    if (sender == m_Edit)
        return;
    CJFrameWindow::OnNotify(sender, code);
}
