#pragma once
// A font of the engine as the frame-rate font: its point size, its advances
// and its text drawn centred on the screen's frame.

#include "shell/CShellScreen.h"

class CFont;

class CFontFrameRateFont final : public CFrameRateFont {
public:
    // The font is borrowed and must outlive this object.
    explicit CFontFrameRateFont(CFont& font)
        : m_Font(font)
    {
    }
    int32_t GetPointSize() const override;
    int32_t GetCharAdvance(char character) const override;
    // Nothing is drawn on a screen that is not a frame.
    void DrawCentred(CShellScreen& screen, int32_t x, int32_t y, const char* text) override;

private:
    CFont& m_Font;
};
