#pragma once
// The screen seen as a frame. Drawing does not write pixels: blits become
// textured quads of the frames' mip-map textures, fills become vertex-colour
// triangles, outlines and lines become line strips, all on the screen device
// through the screen view. Present lays the fade and brightness overlay, the
// letterbox bars and the optional safe-zone outline over the scene, shows
// it, resets a lost device and clears for the next scene.
//
// Fades: a fade moves the level towards 1 (in) or 0 (out) over its duration
// with every UpdateFade; while the screen stays dark a watchdog counts down
// and starts a 1-second fade-in of its own when it runs out.
//
// The screen has no pixels: reading answers 0, and software-only fills and
// clears do nothing.

#include "images/CFrame.h"
#include "images/CFrameAsMipMapTexture.h"
#include "shell/CShellScreen.h"

#include <cstdint>
#include <vector>

class CBlitXParams;
class CShape2DFillRenderer;
class CShape2DOutlineRenderer;

enum class FadeState : int32_t { In = 0, Out = 1, Idle = 2 };
// Block: the call runs the fade to its end, presenting as it goes.
enum class FadeWait { Return, Block };

class CScreenFrame : public CFrame {
    OMBRISALT_REFLECTED(CScreenFrame, CFrame)
public:
    CScreenFrame();
    ~CScreenFrame() override;

    static CScreenFrame& SGetInstance();

    // Sets the mode (1024 by 768 game area); false, settings untouched, when
    // the device refuses it. Writes "Full Screen" on success.
    bool SetScreenMode(bool fullScreen);
    bool IsFullScreen() const { return m_FullScreen; }

    bool Present();
    void FadeIn(float seconds, FadeWait wait);
    void FadeOut(float seconds, float watchdogSeconds, FadeWait wait);
    void UpdateFade(float seconds);
    void WaitForFade();
    void SetBrightness(float value);
    float GetBrightness() const { return m_Brightness; }
    float GetFadeLevel() const { return m_FadeLevel; }
    FadeState GetFadeState() const { return m_FadeState; }
    bool GetUses565() const { return m_Uses565; }
    void SetFrameShown(bool shown) { m_FrameShown = shown; }
    // The debug option "Draw safe zone rect" of the toolkit.
    void SetDrawSafeZone(bool draw) { m_DrawSafeZone = draw; }
    bool IsDrawingSafeZone() const { return m_DrawSafeZone; }
    // The debug option "Skip BlitX DrawPrimitive": transformed blits are
    // measured but not drawn.
    void SetSkipBlitXDrawing(bool skip) { m_SkipBlitXDrawing = skip; }
    bool IsSkippingBlitXDrawing() const { return m_SkipBlitXDrawing; }

    void SetBlendMode(plat::ScreenBlend blend) { m_Blend = blend; }

    // Fills a convex outline given as points (x, y pairs), each placed at
    // point * scale + offset: a strip in zig-zag order (first, last, second,
    // second-last ...), which covers a convex outline exactly. Fewer than 4
    // points draw nothing; a last point equal to the first is then dropped.
    // Cut to the clip rectangle when one is given.
    bool FillShape(const float* points, size_t count, uint32_t argb, float scale = 1.0f, float offsetX = 0.0f,
                   float offsetY = 0.0f, const SFloatRect* clip = nullptr);
    // count - 1 one-pixel lines; fewer than 2 points draw nothing.
    bool OutlineShape(const float* points, size_t count, uint32_t argb, float scale = 1.0f, float offsetX = 0.0f,
                      float offsetY = 0.0f, const SFloatRect* clip = nullptr);
    // The rectangle's outline.
    void DrawRect(const CRect& rect, CColor& colour);
    // The frame repeated across the rectangle, texel (0, 0) at game (0, 0).
    bool BlitTiled(CFrame& source, const CRect& rect);

    // Transformed blits become the source frame's textured quad, shape fills
    // and outlines become fills and line strips; any other renderable draws
    // itself as it would on a frame. Each first measures its drawn bounds.
    bool Render(CRenderableObject& renderable) override;

    // CFrameInterface.
    bool Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType) override;
    void ClearRect(const CRect&) override {}
    void Clear() override {}
    void Fill(CColor&) override {}
    void FillBytes(uint8_t) override {}
    void FillRect(const CRect& rect, CColor& colour) override;
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour) override;
    void DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width) override;
    bool GetPixel(int32_t, int32_t, CColor&) const override { return false; }
    uint32_t GetRawPixel(int32_t, int32_t) const override { return 0; }
    void SetPixel(int32_t x, int32_t y, CColor& colour) override;
    void RemapRect(const CRect&, const uint8_t*) override {}
    uint32_t GetWidth() const override { return m_ScreenWidth; }
    uint32_t GetHeight() const override { return m_ScreenHeight; }
    uint32_t GetBitDepth() const override { return 32; }
    void GetBounds(CRect& out) const override;

    // What the application object draws on and presents through.
    CShellScreen& AsShellScreen() { return m_Shell; }

private:
    class CShell final : public CShellScreen {
    public:
        explicit CShell(CScreenFrame& frame)
            : m_Frame(frame)
        {
        }
        int32_t GetWidth() const override { return int32_t(m_Frame.GetWidth()); }
        int32_t GetHeight() const override { return int32_t(m_Frame.GetHeight()); }
        void FillRect(const CRect& rect, const CColor& colour) override
        {
            CColor copy = colour;
            m_Frame.FillRect(rect, copy);
        }
        bool Present() override { return m_Frame.Present(); }
        CFrameInterface* GetFrame() override { return &m_Frame; }

    private:
        CScreenFrame& m_Frame;
    };

    bool RenderBlitX(CBlitXParams& blit);
    bool RenderFill(CShape2DFillRenderer& fill);
    bool RenderOutline(CShape2DOutlineRenderer& outline);
    bool DrawTexture(CFrame& source, int32_t x, int32_t y, uint32_t alpha, const CRect* sourceRect);
    void FillOverlay(uint32_t argb);

    float m_Brightness = 1.0f;
    bool m_FullScreen = true;
    FadeState m_FadeState = FadeState::Idle;
    float m_FadeLevel = 1.0f;
    float m_FadeDuration = 0.0f;
    float m_FadeTimeLeft = 0.0f;
    float m_DarkWatchdog = 5.0f;
    bool m_Uses565 = true;
    bool m_FrameShown = false;
    plat::ScreenBlend m_Blend = plat::ScreenBlend::Normal;
    bool m_DrawSafeZone = false;
    bool m_SkipBlitXDrawing = false;
    uint32_t m_ScreenWidth = 0;
    uint32_t m_ScreenHeight = 0;
    std::vector<plat::ScreenVertex> m_Scratch;
    CShell m_Shell{*this};
};
