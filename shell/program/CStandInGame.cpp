#include "CStandInGame.h"

#include "shell/StartGame.h"
#include "platform/CPlatform.h"
#include "platform/WindowDevice.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

uint32_t Pack(const CColor& colour)
{
    return uint32_t(colour.GetBlue()) | uint32_t(colour.GetGreen()) << 8 | uint32_t(colour.GetRed()) << 16 |
           uint32_t(colour.GetAlpha()) << 24;
}

struct Glyph {
    char character;
    uint8_t rows[5]; // three bits each, the leftmost column in bit 2
};

constexpr Glyph kGlyphs[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 7, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 1, 1}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'.', {0, 0, 0, 0, 2}}, {':', {0, 2, 0, 2, 0}},
    {'A', {2, 5, 7, 5, 5}}, {'D', {6, 5, 5, 5, 6}}, {'F', {7, 4, 6, 4, 4}}, {'P', {7, 5, 7, 4, 4}},
    {'S', {7, 4, 7, 1, 7}}, {'U', {5, 5, 5, 5, 7}},
};

const Glyph* FindGlyph(char c)
{
    for (const Glyph& glyph : kGlyphs)
        if (glyph.character == c)
            return &glyph;
    return nullptr;
}

} // namespace

CPictureScreen::CPictureScreen(int32_t width, int32_t height)
    : m_Pixels(size_t(width) * size_t(height), 0), m_Width(width), m_Height(height)
{
}

void CPictureScreen::FillRect(const CRect& rect, const CColor& colour)
{
    const int32_t left = std::max(rect.left, 0);
    const int32_t right = std::min(rect.right, m_Width);
    const int32_t top = std::max(rect.top, 0);
    const int32_t bottom = std::min(rect.bottom, m_Height);
    const uint32_t pixel = Pack(colour);
    for (int32_t y = top; y < bottom; ++y)
        std::fill(m_Pixels.begin() + ptrdiff_t(y) * m_Width + left, m_Pixels.begin() + ptrdiff_t(y) * m_Width + right,
                  pixel);
}

bool CPictureScreen::Present()
{
    plat::PictureView view;
    view.pixels = m_Pixels.data();
    view.width = m_Width;
    view.height = m_Height;
    view.pitch = m_Width;
    return plat::GetPlatform().GetWindow().Present(view);
}

void CTinyFont::DrawCentred(CShellScreen& screen, int32_t x, int32_t y, const char* text)
{
    constexpr int32_t kScale = 2;
    const int32_t advance = GetCharAdvance('X');
    int32_t penX = x - advance * int32_t(std::strlen(text)) / 2;
    const CColor white(255, 255, 255, 255);
    for (const char* c = text; *c; ++c, penX += advance) {
        const Glyph* glyph = FindGlyph(*c);
        if (!glyph)
            continue;
        for (int32_t row = 0; row < 5; ++row)
            for (int32_t column = 0; column < 3; ++column)
                if (glyph->rows[row] & (4 >> column)) {
                    const int32_t px = penX + 1 + column * kScale;
                    const int32_t py = y + 2 + row * kScale;
                    screen.FillRect(CRect{px, py, px + kScale, py + kScale}, white);
                }
    }
}

CStandInGame::CStandInGame()
    : CGameBase(1.0f / 60.0f, 1.0f / 60.0f, 1.0f / 12.0f, nullptr, nullptr, nullptr),
      m_Screen(kDefaultScreenWidth, kDefaultScreenHeight)
{
}

void CStandInGame::Init(CLoadingScreenPresenter*)
{
    Initialize(&m_Screen, &m_Font);
}

void CStandInGame::Update(float seconds)
{
    CGameBase::Update(seconds);
    m_Phase += seconds;
}

bool CStandInGame::Draw()
{
    StartDrawCounter();
    const int32_t width = m_Screen.GetWidth();
    const int32_t height = m_Screen.GetHeight();
    m_Screen.FillRect(CRect{0, 0, width, height}, CColor(24, 40, 72, 255));
    constexpr int32_t kBorder = 24;
    const CColor frame(232, 168, 40, 255);
    m_Screen.FillRect(CRect{0, 0, width, kBorder}, frame);
    m_Screen.FillRect(CRect{0, height - kBorder, width, height}, frame);
    m_Screen.FillRect(CRect{0, 0, kBorder, height}, frame);
    m_Screen.FillRect(CRect{width - kBorder, 0, width, height}, frame);
    const double swing = 0.5 + 0.5 * std::sin(m_Phase);
    const int32_t bandX = kBorder + int32_t(swing * double(width - 3 * kBorder));
    m_Screen.FillRect(CRect{bandX, kBorder, bandX + kBorder, height - kBorder}, CColor(72, 200, 120, 255));
    return CGameBase::Draw();
}

void RunStandInGame()
{
    auto* game = new CStandInGame;
    game->Init(nullptr);
    game->SetDisplayFps(true);
}
