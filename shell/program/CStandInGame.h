#pragma once
// The program's game object: it draws a coloured frame with a band that
// moves with the updates, and the frame-rate line, into a 32-bit picture that
// it presents through the window.

#include "shell/CGameBase.h"
#include "shell/CShellScreen.h"

#include <cstdint>
#include <vector>

// A screen of 32-bit pixels presented through the platform's window.
class CPictureScreen final : public CShellScreen {
public:
    CPictureScreen(int32_t width, int32_t height);
    int32_t GetWidth() const override { return m_Width; }
    int32_t GetHeight() const override { return m_Height; }
    void FillRect(const CRect& rect, const CColor& colour) override;
    bool Present() override;

private:
    std::vector<uint32_t> m_Pixels;
    int32_t m_Width;
    int32_t m_Height;
};

// Digits, a few capitals and punctuation from a 3 by 5 grid, doubled.
class CTinyFont final : public CFrameRateFont {
public:
    int32_t GetPointSize() const override { return 14; }
    int32_t GetCharAdvance(char) const override { return 8; }
    void DrawCentred(CShellScreen& screen, int32_t x, int32_t y, const char* text) override;
};

class CStandInGame final : public CGameBase {
public:
    CStandInGame();
    void Init(CLoadingScreenPresenter* presenter) override;
    void Update(float seconds) override;
    bool Draw() override;

private:
    CPictureScreen m_Screen;
    CTinyFont m_Font;
    double m_Phase = 0.0;
};

// Builds the stand-in as the program's game object.
void RunStandInGame();
