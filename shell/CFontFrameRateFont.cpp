#include "shell/CFontFrameRateFont.h"

#include "foundation/CJString.h"
#include "images/CFont.h"

int32_t CFontFrameRateFont::GetPointSize() const
{
    return m_Font.GetPointSize();
}

int32_t CFontFrameRateFont::GetCharAdvance(char character) const
{
    return int32_t(m_Font.GetCharAdvance(uint8_t(character)));
}

void CFontFrameRateFont::DrawCentred(CShellScreen& screen, int32_t x, int32_t y, const char* text)
{
    if (CFrameInterface* frame = screen.GetFrame())
        m_Font.DrawText(*frame, x, y, CJString(text), TextAlign::Centre);
}
