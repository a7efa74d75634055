#include "ui/CJStatic.h"

#include "images/CFont.h"
#include "ui/CJWindowSkin.h"
#include "ui/CScreenWindow.h"
#include "ui/CSkinTheme.h"

#include <algorithm>

namespace {

// Set while a label asks its next sibling, so two labels side by side
// cannot ask each other round in circles.
bool g_AskingAutoHotKey = false;

bool HasLineBreak(const CJString& text)
{
    for (int32_t i = 0; i < text.GetLength(); ++i)
        if (text.GetCharAt(i) == 10)
            return true;
    return false;
}

} // namespace

CJStatic::CJStatic(CJWindow* parent)
    : CJWindow(parent)
{
    Construct(CJString(""));
}

CJStatic::CJStatic(CJWindow* parent, const CJString& text)
    : CJWindow(parent)
{
    Construct(text);
}

CJStatic::CJStatic(CJWindow* parent, const char* text)
    : CJWindow(parent)
{
    Construct(CJString(text ? text : ""));
}

CJStatic::~CJStatic() = default;

void CJStatic::Construct(const CJString& text)
{
    if (CSkinTheme* theme = GetSkinTheme())
        m_Skin = theme->CreateStaticSkin(*this);
    m_WrapWidth = -1;
    m_Alignment = 0;
    m_AutoSize = true;
    const int32_t lineHeight = m_Font ? m_Font->GetLineHeight() : 0;
    SetHeight(lineHeight + 2 * m_BorderWidth + 2);
    SetTitle(text);
    // An empty first text is no change, yet the label still takes its size.
    if (m_AutoSize)
        SizeToText();
}

void CJStatic::SetTitle(const CJString& title)
{
    if (title.Compare(m_Title) != 0 || title.GetLength() != m_Title.GetLength())
        CJWindow::SetTitle(title);
    m_MultiLine = HasLineBreak(m_Title);
    if (m_AutoSize)
        SizeToText();
}

void CJStatic::SetFont(CFont* font)
{
    CJWindow::SetFont(font);
    if (m_AutoSize)
        SizeToText();
}

void CJStatic::SetAlignment(int32_t alignment)
{
    m_Alignment = std::clamp(alignment, 0, 2);
}

void CJStatic::SetWrapWidth(int32_t width)
{
    m_WrapWidth = width;
    if (m_AutoSize)
        SizeToText();
}

SParagraphLayout CJStatic::GetWrapLayout() const
{
    SParagraphLayout layout;
    layout.width = m_WrapWidth;
    layout.lineSpacing = m_LayoutValues[0];
    layout.firstIndent = m_LayoutValues[1];
    layout.firstRightMargin = m_LayoutValues[2];
    layout.laterLeftIndent = m_LayoutValues[3];
    layout.laterRightIndent = m_LayoutValues[4];
    layout.bulletIndent = m_LayoutValues[5];
    return layout;
}

void CJStatic::SizeToText()
{
    if (!m_Font)
        return;
    const int32_t frame = 2 * m_BorderWidth + 2;
    if (m_WrapWidth >= 0) {
        const SParagraphLayout layout = GetWrapLayout();
        const int32_t height = m_Font->GetWrappedTextHeight(m_Title, layout);
        const int32_t width = m_Font->GetWrappedTextWidth(m_Title, layout);
        SetSize(width + frame, height + frame);
    } else if (m_MultiLine) {
        const int32_t width = m_Font->GetMultiLineTextWidth(m_Title);
        const int32_t height = m_Font->GetTextBlockHeight(m_Title, 2 * GetFontUnit());
        SetSize(width + frame, height + frame);
    } else {
        SetSize(m_Font->GetTextWidth(m_Title) + 2 * m_BorderWidth, m_Font->GetLineHeight() + frame);
    }
}

void CJStatic::Draw(CFrameInterface& frame)
{
    if (m_Font && !m_Title.IsEmpty()) {
        const int32_t border = m_BorderWidth;
        const int32_t y = border + 1;
        if (m_WrapWidth >= 0) {
            SParagraphLayout layout = GetWrapLayout();
            layout.x = border;
            int32_t top = y;
            m_Font->DrawWrappedParagraphs(&frame, top, m_Title, layout);
        } else {
            const int32_t x = m_Alignment == 1 ? GetWidth() / 2 : m_Alignment == 2 ? GetWidth() - border - 1 : border;
            if (m_MultiLine)
                m_Font->DrawMultiLineText(frame, x, y, m_Title, 2 * GetFontUnit(), TextAlign(m_Alignment), nullptr);
            else
                DrawTitle(frame, x, y, m_Alignment);
        }
    }
    CJWindow::Draw(frame);
}

CJString CJStatic::GetHoverText() const
{
    CJString text;
    if (!m_MultiLine && m_WrapWidth < 0 && m_Font && m_Font->GetTextWidth(m_Title) > GetWidth())
        text = m_Title;
    if (!m_ToolTipText.IsEmpty()) {
        if (!text.IsEmpty())
            text += CJString("\n");
        text += m_ToolTipText;
    }
    return text;
}

bool CJStatic::OnHover(CPoint point)
{
    const CJString text = GetHoverText();
    if (text.IsEmpty())
        return CJWindow::OnHover(point);
    CJWindow* root = const_cast<CJStatic*>(this)->GetRootWindow();
    if (root && root->IsScreenWindow())
        static_cast<CScreenWindow*>(root)->ShowToolTip(this, -1, text);
    return true;
}

bool CJStatic::WantsAutoHotKey() const
{
    if (g_AskingAutoHotKey)
        return false;
    CJWindow* next = m_NextSibling;
    if (!next || !next->IsTabStop())
        return false;
    g_AskingAutoHotKey = true;
    const bool nextWants = next->WantsAutoHotKey();
    g_AskingAutoHotKey = false;
    return !nextWants;
}
