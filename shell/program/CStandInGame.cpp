#include "CStandInGame.h"

#include "blit/CBlitTypeList.h"
#include "images/CFontList.h"
#include "platform/CPlatform.h"
#include "platform/WindowDevice.h"
#include "render/CBlitXParams.h"
#include "render/CCircleRenderer.h"
#include "shell/CScreenFrame.h"
#include "shell/StartGame.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct Glyph {
    char character;
    uint8_t rows[5]; // three bits each, the leftmost column in bit 2
};

constexpr Glyph kGlyphs[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 7, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 1, 1}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'.', {0, 0, 0, 0, 2}}, {':', {0, 2, 0, 2, 0}},
    {'A', {2, 5, 7, 5, 5}}, {'D', {6, 5, 5, 5, 6}}, {'F', {7, 4, 6, 4, 4}}, {'P', {7, 5, 7, 4, 4}},
    {'S', {7, 4, 7, 1, 7}}, {'U', {5, 5, 5, 5, 7}}, {'C', {7, 4, 4, 4, 7}}, {'I', {7, 2, 2, 2, 7}},
    {'L', {4, 4, 4, 4, 7}}, {'M', {5, 7, 7, 5, 5}}, {'V', {5, 5, 5, 5, 2}}, {'X', {5, 5, 2, 5, 5}},
};

const Glyph* FindGlyph(char c)
{
    for (const Glyph& glyph : kGlyphs)
        if (glyph.character == c)
            return &glyph;
    return nullptr;
}

SStandInHooks g_Hooks;

template <typename Target>
void DrawTinyText(Target& target, int32_t x, int32_t y, const char* text, int32_t advance)
{
    constexpr int32_t kScale = 2;
    int32_t penX = x - advance * int32_t(std::strlen(text)) / 2;
    CColor white(255, 255, 255, 255);
    for (const char* c = text; *c; ++c, penX += advance) {
        const Glyph* glyph = FindGlyph(*c);
        if (!glyph)
            continue;
        for (int32_t row = 0; row < 5; ++row)
            for (int32_t column = 0; column < 3; ++column)
                if (glyph->rows[row] & (4 >> column)) {
                    const int32_t px = penX + 1 + column * kScale;
                    const int32_t py = y + 2 + row * kScale;
                    target.FillRect(CRect{px, py, px + kScale, py + kScale}, white);
                }
    }
}

} // namespace

void SetStandInHooks(const SStandInHooks& hooks)
{
    g_Hooks = hooks;
}

const SStandInHooks& GetStandInHooks()
{
    return g_Hooks;
}

void CTinyFont::DrawCentred(CShellScreen& screen, int32_t x, int32_t y, const char* text)
{
    DrawTinyText(screen, x, y, text, GetCharAdvance('X'));
}

void DrawTinyTextCentred(CFrameInterface& target, int32_t x, int32_t y, const char* text)
{
    DrawTinyText(target, x, y, text, kTinyAdvance);
}

CStandInGame::CStandInGame()
    : CGameBase(1.0f / 60.0f, 1.0f / 60.0f, 1.0f / 12.0f, nullptr, nullptr, nullptr)
    , m_Tile(CFrame::MakeOwned(64, 64, 32))
{
    // A soft-edged ring, so scaling and turning show their filtering.
    for (uint32_t y = 0; y < 64; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(m_Tile->Row(y));
        for (uint32_t x = 0; x < 64; ++x) {
            const double d = std::hypot(double(x) - 31.5, double(y) - 31.5);
            const double ring = std::clamp(1.0 - std::fabs(d - 22.0) / 8.0, 0.0, 1.0);
            const uint32_t alpha = uint32_t(ring * 255.0);
            row[x] = alpha << 24 | (128 + x * 2) << 16 | (y * 4) << 8 | 200;
        }
    }
    m_Tile->SetOffset(-32, -32);
}

void CStandInGame::Init(CLoadingScreenPresenter*)
{
    CFrameRateFont* font = &m_Font;
    CFontList& fonts = GetFontList();
    if (CFont* first = fonts.GetCount() > fonts.FirstRealRow() ? fonts.GetObject(fonts.FirstRealRow()) : nullptr) {
        m_ListFont = std::make_unique<CFontFrameRateFont>(*first);
        font = m_ListFont.get();
    }
    Initialize(&CScreenFrame::SGetInstance().AsShellScreen(), font);
    if (g_Hooks.init)
        g_Hooks.init();
    CScreenFrame::SGetInstance().FadeIn(0.25f, FadeWait::Return);
}

void CStandInGame::Update(float seconds)
{
    CGameBase::Update(seconds);
    m_Phase += seconds;
    if (g_Hooks.update)
        g_Hooks.update(seconds);
}

bool CStandInGame::Draw()
{
    StartDrawCounter();
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    const int32_t width = int32_t(screen.GetWidth());
    const int32_t height = int32_t(screen.GetHeight());
    CColor background(24, 40, 72, 255);
    screen.FillRect(CRect{0, 0, width, height}, background);
    constexpr int32_t kBorder = 24;
    CColor frame(232, 168, 40, 255);
    screen.FillRect(CRect{0, 0, width, kBorder}, frame);
    screen.FillRect(CRect{0, height - kBorder, width, height}, frame);
    screen.FillRect(CRect{0, 0, kBorder, height}, frame);
    screen.FillRect(CRect{width - kBorder, 0, width, height}, frame);
    const double swing = 0.5 + 0.5 * std::sin(m_Phase);
    const int32_t bandX = kBorder + int32_t(swing * double(width - 3 * kBorder));
    CColor band(72, 200, 120, 255);
    screen.FillRect(CRect{bandX, kBorder, bandX + kBorder, height - kBorder}, band);
    // A row of tiles: one at 1:1 through a blit, the others turned and scaled.
    const CRect whole{-32, -32, 32, 32};
    screen.Blit(*m_Tile, whole, CRect{96, 96, 160, 160}, GetNormalBlitType());
    for (int32_t i = 1; i < 7; ++i) {
        const float scale = 0.5f + 0.35f * float(i);
        CBlitXParams place(m_Tile.get(), float(128 + i * 128), 128.0f + float(i * 60), float(m_Phase * 40.0 * i), scale,
                           scale, CColor(255, 255, 255, 255), (i % 3 == 0) ? CBlitXParams::kAdditive : 0, 0.0f, 0.0f,
                           true);
        screen.Render(place);
    }
    CCircleRenderer circle;
    circle.SetRadius(40.0f + 10.0f * float(std::sin(m_Phase * 2.0)));
    circle.m_X = float(width) - 140.0f;
    circle.m_Y = 140.0f;
    circle.m_Color = CColor(255, 240, 120, 255);
    screen.Render(circle);
    CColor line(255, 255, 255, 255);
    screen.DrawLine(kBorder, height / 2, width - kBorder, height / 2 + int32_t(80.0 * std::cos(m_Phase)), line);
    CColor outline(255, 80, 80, 255);
    screen.DrawRect(CRect{bandX - 8, 200, bandX + kBorder + 8, 260}, outline);
    if (g_Hooks.draw)
        g_Hooks.draw(screen);
    return CGameBase::Draw();
}

std::unique_ptr<CGameBase> RunStandInGame()
{
    auto game = std::make_unique<CStandInGame>();
    game->Init(nullptr);
    game->SetDisplayFps(true);
    return game;
}
