// Drawing, titles, colours and settings of the window base: plain first
// bodies (colours, title, font, children drawn in two layers) that the full
// drawing replaces; this file belongs with that block of CJWindow.h.
#include "ui/CJWindow.h"

#include "images/CFont.h"

#include <cstdlib>

namespace {

CFont* g_DefaultFont = nullptr;
CCursorSequence* g_StandardCursors[32] = {};

} // namespace

void CJWindow::InitDrawingState()
{
    m_Color0 = CColor{0, 0, 0, 255};
    m_Color1 = CColor{186, 186, 186, 255};
    m_TextColor = CColor{63, 154, 255, 255};
    m_FocusColor = CColor{96, 86, 79, 255};
    m_Color4 = CColor{101, 91, 85, 255};
    m_OutlineColor = CColor{0, 0, 0, 255};
}

void CJWindow::ReleaseDrawingState()
{
    if (m_HasSettingsKey)
        SaveWindowSettings(m_SettingsKey.GetString(), m_SaveSizeInSettings);
}

void CJWindow::Draw(CFrameInterface& frame)
{
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
    if (!m_Parent)
        ClearFlushCachedWindows();
}

void CJWindow::DrawChildren(CFrameInterface& frame, int32_t layer)
{
    for (CJWindow* child = m_LastChild; child; child = child->m_PrevSibling) {
        if (child->m_TopLayer != (layer != 0))
            continue;
        if (!child->m_FirstDrawDone) {
            child->m_FirstDrawDone = true;
            child->OnNotify(nullptr, kNotifyFirstDraw);
        }
        if (child->m_VisibleRect.right < 1 || child->m_VisibleRect.bottom < 1 || !child->m_Visible)
            continue;
        child->Draw(frame);
    }
}

bool CJWindow::IsGrayed() const
{
    return false;
}

void CJWindow::DrawFocusRect(CFrameInterface&, const CColor&) {}

void CJWindow::DrawTitle(CFrameInterface&, int32_t, int32_t, int32_t) {}

CFrame* CJWindow::GetSkin()
{
    return nullptr;
}

void CJWindow::SetTitle(const CJString& title)
{
    ClearHotKey();
    m_Title = title;
    if (m_ParseHotKeyMark)
        ParseHotKeyMark(m_Title);
}

const char* CJWindow::GetTitleText() const
{
    return m_Title.GetString();
}

const CJString& CJWindow::GetTitle() const
{
    return m_Title;
}

CFont* CJWindow::GetFont() const
{
    return m_Font;
}

void CJWindow::SetFont(CFont* font)
{
    m_Font = font;
}

int32_t CJWindow::GetTitleAsInt() const
{
    return int32_t(std::atoi(m_Title.GetString()));
}

float CJWindow::GetTitleAsFloat() const
{
    return float(std::atof(m_Title.GetString()));
}

void CJWindow::SetTitleFromInt(int32_t) {}
void CJWindow::SetTitleFromFloat(float) {}

void CJWindow::SetColor0(const CColor& colour)
{
    m_Color0 = colour;
}

void CJWindow::SetColor0RGB(uint8_t r, uint8_t g, uint8_t b)
{
    m_Color0 = CColor{r, g, b, 255};
}

const CColor& CJWindow::GetColor0() const
{
    return m_Color0;
}

void CJWindow::SetColor1RGB(uint8_t r, uint8_t g, uint8_t b)
{
    m_Color1 = CColor{r, g, b, 255};
}

void CJWindow::SetTextColor(const CColor& colour)
{
    m_TextColor = colour;
}

const CColor& CJWindow::GetTextColor() const
{
    return m_TextColor;
}

void CJWindow::SetFocusColorRGB(uint8_t r, uint8_t g, uint8_t b)
{
    m_FocusColor = CColor{r, g, b, 255};
}

void CJWindow::SetColor4RGB(uint8_t r, uint8_t g, uint8_t b)
{
    m_Color4 = CColor{r, g, b, 255};
}

void CJWindow::SetOutlineColorRGB(uint8_t r, uint8_t g, uint8_t b)
{
    m_OutlineColor = CColor{r, g, b, 255};
}

void CJWindow::LoadWindowSettings(const char*, bool) {}
void CJWindow::SaveWindowSettings(const char*, bool) {}

void CJWindow::ClearTitle()
{
    SetTitle(CJString());
}

void CJWindow::SetTitleText(const char* text)
{
    SetTitle(CJString(text));
}

void CJWindow::SetBorderWidthUnits(int32_t) {}
void CJWindow::ShrinkWidthToText(const CJString&) {}

void CJWindow::DrawBevelBox(CFont*, CFrameInterface&, const CRect&, bool, uint32_t, bool) {}

void CJWindow::SetDefaultFont(CFont* font)
{
    g_DefaultFont = font;
}

CFont* CJWindow::GetDefaultFont()
{
    return g_DefaultFont;
}

void CJWindow::SetSkinResources(CFrameList*, CFrameList*) {}

void CJWindow::SetStandardCursor(int32_t id, CCursorSequence* cursor)
{
    if (id >= 0 && id < 32)
        g_StandardCursors[id] = cursor;
}

CCursorSequence* CJWindow::GetStandardCursor(int32_t id)
{
    if (id > 0 && id < 32 && g_StandardCursors[id])
        return g_StandardCursors[id];
    return g_StandardCursors[0];
}
