#include "shell/CScreenFrame.h"

#include "blit/CBlitType.h"
#include "blit/CColor.h"
#include "blit/LineClip.h"
#include "foundation/CIniSection.h"
#include "foundation/CPerformanceMonitor.h"
#include "images/CFrameAsMipMapTexture.h"
#include "platform/CPlatform.h"
#include "platform/Clock.h"
#include "platform/GraphicsDevice.h"
#include "render/CBlitXParams.h"
#include "render/CShape2D.h"
#include "render/CShape2DRenderers.h"
#include "render/ShapePath.h"
#include "shell/CScreenDevice.h"

#include <algorithm>
#include <cmath>

OMBRISALT_IMPLEMENT_CLASS(CScreenFrame, 1.0)

void CScreenFrame::DeclareProperties(CPropertyDeclarer&) {}

namespace {

constexpr uint32_t kGameWidth = 1024;
constexpr uint32_t kGameHeight = 768;

uint32_t Pack(const CColor& colour)
{
    return uint32_t(colour.GetBlue()) | uint32_t(colour.GetGreen()) << 8 | uint32_t(colour.GetRed()) << 16
        | uint32_t(colour.GetAlpha()) << 24;
}

uint32_t OverlayAlpha(double amount)
{
    return uint32_t(std::clamp<long>(std::lround(amount * 255.0), 0, 255));
}

plat::ScreenVertex Map(const SScreenView& view, float x, float y, uint32_t argb)
{
    return {x * view.scale + view.offsetX, y * view.scale + view.offsetY, argb, 0.0f, 0.0f};
}

} // namespace

CScreenFrame::CScreenFrame()
{
    InitDeclaredProperties();
}

CScreenFrame::~CScreenFrame()
{
    DestroyDeclaredProperties();
}

CScreenFrame& CScreenFrame::SGetInstance()
{
    static CScreenFrame* const instance = new CScreenFrame;
    return *instance;
}

void CScreenFrame::GetBounds(CRect& out) const
{
    out = {0, 0, int32_t(m_ScreenWidth), int32_t(m_ScreenHeight)};
}

bool CScreenFrame::SetScreenMode(bool fullScreen)
{
    m_FullScreen = fullScreen;
    const uint32_t width = m_ScreenWidth ? m_ScreenWidth : kGameWidth;
    const uint32_t height = m_ScreenWidth ? kGameHeight : (m_ScreenHeight ? m_ScreenHeight : kGameHeight);
    m_ScreenWidth = width;
    m_ScreenHeight = height;
    if (!CScreenDevice::SGetInstance().Create(fullScreen, width, height))
        return false;
    GetOptionsSection().SetInt("Full Screen", fullScreen ? 1 : 0);
    return true;
}

bool CScreenFrame::FillShape(const float* points, size_t count, uint32_t argb, float scale, float offsetX,
                             float offsetY, const SFloatRect* clip)
{
    if (count < 4)
        return false;
    if (points[0] == points[2 * (count - 1)] && points[1] == points[2 * (count - 1) + 1])
        --count;
    const SScreenTarget target = CScreenDevice::SGetInstance().GetTarget();
    // The zig-zag order as a strip, then the strip as a list of triangles.
    std::vector<plat::ScreenVertex> strip;
    strip.reserve(count);
    for (size_t low = 0, high = count - 1; low <= high; ++low, --high) {
        strip.push_back(
            Map(target.view, points[2 * low] * scale + offsetX, points[2 * low + 1] * scale + offsetY, argb));
        if (low != high)
            strip.push_back(
                Map(target.view, points[2 * high] * scale + offsetX, points[2 * high + 1] * scale + offsetY, argb));
        if (high == 0)
            break;
    }
    m_Scratch.clear();
    std::vector<plat::ScreenVertex> cut;
    for (size_t i = 0; i + 2 < strip.size(); ++i) {
        if (clip) {
            ClipPolygonToTriangles(&strip[i], 3, target.view, clip, cut);
            m_Scratch.insert(m_Scratch.end(), cut.begin(), cut.end());
            continue;
        }
        m_Scratch.push_back(strip[i]);
        m_Scratch.push_back(strip[i + 1]);
        m_Scratch.push_back(strip[i + 2]);
    }
    return !m_Scratch.empty()
        && target.device.DrawTriangles(m_Scratch.data(), m_Scratch.size(), nullptr, plat::TextureAddress::Clamp,
                                       m_Blend);
}

bool CScreenFrame::OutlineShape(const float* points, size_t count, uint32_t argb, float scale, float offsetX,
                                float offsetY, const SFloatRect* clip)
{
    if (count < 2)
        return false;
    const SScreenTarget target = CScreenDevice::SGetInstance().GetTarget();
    m_Scratch.clear();
    // Lines run through pixel centres, so a line on whole coordinates lights
    // the row or column it names.
    for (size_t i = 0; i < count; ++i)
        m_Scratch.push_back(
            Map(target.view, points[2 * i] * scale + offsetX + 0.5f, points[2 * i + 1] * scale + offsetY + 0.5f, argb));
    if (!clip)
        return target.device.DrawLineStrip(m_Scratch.data(), m_Scratch.size(), m_Blend);
    // Cut, the strip falls apart into segments. The clip's right and bottom
    // edges are exclusive: the last lit pixel centre is half a pixel inside.
    const plat::ScreenVertex topLeft = Map(target.view, clip->left, clip->top, 0);
    const plat::ScreenVertex bottomRight = Map(target.view, clip->right, clip->bottom, 0);
    bool drawn = false;
    for (size_t i = 0; i + 1 < m_Scratch.size(); ++i) {
        plat::ScreenVertex segment[2] = {m_Scratch[i], m_Scratch[i + 1]};
        if (CutLineToBox(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y, segment[0].x, segment[0].y, segment[1].x,
                         segment[1].y))
            drawn = target.device.DrawLineStrip(segment, 2, m_Blend) || drawn;
    }
    return drawn;
}

void CScreenFrame::FillRect(const CRect& rect, CColor& colour)
{
    const float l = float(rect.left), t = float(rect.top), r = float(rect.right), b = float(rect.bottom);
    const float points[] = {l, t, r, t, r, b, l, b};
    FillShape(points, 4, Pack(colour));
}

void CScreenFrame::DrawRect(const CRect& rect, CColor& colour)
{
    const float l = float(rect.left), t = float(rect.top), r = float(rect.right), b = float(rect.bottom);
    const float points[] = {l, t, r, t, r, b, l, b, l, t};
    OutlineShape(points, 5, Pack(colour));
}

void CScreenFrame::SetPixel(int32_t x, int32_t y, CColor& colour)
{
    FillRect(MoveRect(SizeToRect(1, 1), x, y), colour);
}

void CScreenFrame::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour)
{
    DrawLineFloat(float(x1), float(y1), float(x2), float(y2), colour, 1.0f);
}

void CScreenFrame::DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float)
{
    const float w = float(m_ScreenWidth), h = float(m_ScreenHeight);
    if ((x1 < 0 && x2 < 0) || (x1 > w && x2 > w) || (y1 < 0 && y2 < 0) || (y1 > h && y2 > h))
        return;
    const float points[] = {x1, y1, x2, y2};
    OutlineShape(points, 2, Pack(colour));
}

bool CScreenFrame::DrawTexture(CFrame& source, int32_t x, int32_t y, uint32_t alpha, const CRect* sourceRect)
{
    const SScreenTarget target = CScreenDevice::SGetInstance().GetTarget();
    CFrameAsMipMapTexture* texture = CFrameAsMipMapTexture::SFindOrCreate(source, target.device);
    if (!texture)
        return false;
    if (!sourceRect)
        return texture->Draw(target, float(x), float(y), alpha, nullptr);
    // The source rectangle in pixels, as a clip in screen coordinates.
    const SFloatRect clip{
        float(x + source.GetOffsetX() + sourceRect->left), float(y + source.GetOffsetY() + sourceRect->top),
        float(x + source.GetOffsetX() + sourceRect->right), float(y + source.GetOffsetY() + sourceRect->bottom)};
    return texture->Draw(target, float(x), float(y), alpha, &clip);
}

bool CScreenFrame::BlitTiled(CFrame& source, const CRect& rect)
{
    const SScreenTarget target = CScreenDevice::SGetInstance().GetTarget();
    CFrameAsMipMapTexture* texture = CFrameAsMipMapTexture::SFindOrCreate(source, target.device);
    return texture
        && texture->DrawTiled(target,
                              SFloatRect{float(rect.left), float(rect.top), float(rect.right), float(rect.bottom)});
}

bool CScreenFrame::Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType)
{
    static CPerformanceMonitor monitor("ScreenDX9_Blit");
    CPerformanceMonitorScope zone(monitor);
    auto* frame = dynamic_cast<CFrame*>(source.GetRealFrame());
    if (!frame)
        return false;
    // Every blit type draws the texture: the screen cannot run a software
    // blit, having no pixels. The source rectangle is in the source's frame
    // coordinates, as for memory frames: the hot spot lands at the
    // destination's top-left minus the source rectangle's.
    const int32_t x = d.left - s.left;
    const int32_t y = d.top - s.top;
    CRect bounds;
    frame->GetBounds(bounds);
    const bool whole
        = s.left == bounds.left && s.top == bounds.top && s.right == bounds.right && s.bottom == bounds.bottom;
    const CRect pixels{s.left - frame->GetOffsetX(), s.top - frame->GetOffsetY(), s.right - frame->GetOffsetX(),
                       s.bottom - frame->GetOffsetY()};
    return DrawTexture(*frame, x, y, blitType.GetOpacity255(), whole ? nullptr : &pixels);
}

bool CScreenFrame::Render(CRenderableObject& renderable)
{
    static CPerformanceMonitor monitor("ScreenDX8_Render");
    CPerformanceMonitorScope zone(monitor);
    SetBlendMode((renderable.m_Flags & CBlitXParams::kAdditive) != 0 ? plat::ScreenBlend::Additive
                                                                     : plat::ScreenBlend::Normal);
    if (auto* blit = dynamic_cast<CBlitXParams*>(&renderable))
        return RenderBlitX(*blit);
    if (auto* fill = dynamic_cast<CShape2DFillRenderer*>(&renderable))
        return RenderFill(*fill);
    if (auto* outline = dynamic_cast<CShape2DOutlineRenderer*>(&renderable))
        return RenderOutline(*outline);
    return CFrame::Render(renderable);
}

namespace {

// Runs the renderable with drawing off, so that its drawn bounds (and its
// own refusals) are those of a frame of the screen's size; answers whether
// it is to be drawn at all.
bool MeasureOnScreen(CRenderableObject& renderable, CFrameInterface& screen)
{
    const bool draw = renderable.m_DrawEnabled;
    renderable.m_DrawEnabled = false;
    renderable.Render(screen);
    renderable.m_DrawEnabled = draw;
    const CRect& b = renderable.m_DrawnBounds;
    return draw && b.left < b.right && b.top < b.bottom;
}

SFloatRect ClipOf(const CRenderableObject& renderable)
{
    const CRect& c = renderable.m_ClipRect;
    return {float(c.left), float(c.top), float(c.right), float(c.bottom)};
}

// The shape with its curves flattened, as x, y pairs in path order.
std::vector<float>& FlattenShape(const Ombrisalt::CShape2D& shape)
{
    static agg::path_storage* path = new agg::path_storage;
    static std::vector<float>* points = new std::vector<float>;
    path->remove_all();
    points->clear();
    AppendShapePath(*path, shape);
    for (unsigned i = 0; i < path->total_vertices(); ++i) {
        double x = 0, y = 0;
        if (agg::is_vertex(path->vertex(i, &x, &y))) {
            points->push_back(float(x));
            points->push_back(float(y));
        }
    }
    return *points;
}

} // namespace

bool CScreenFrame::RenderBlitX(CBlitXParams& blit)
{
    static CPerformanceMonitor monitor("ScreenDX8_BlitX");
    CPerformanceMonitorScope zone(monitor);
    CFrame* frame = blit.m_Source ? dynamic_cast<CFrame*>(blit.m_Source->GetRealFrame()) : nullptr;
    if (!frame || !MeasureOnScreen(blit, *this) || m_SkipBlitXDrawing)
        return false;
    const SScreenTarget target = CScreenDevice::SGetInstance().GetTarget();
    CFrameAsMipMapTexture* texture = CFrameAsMipMapTexture::SFindOrCreate(*frame, target.device);
    if (!texture)
        return false;
    STextureDrawTransform place;
    place.x = blit.m_X;
    place.y = blit.m_Y;
    place.hotSpotX = blit.m_HotSpotX;
    place.hotSpotY = blit.m_HotSpotY;
    place.scaleX = blit.m_ScaleX;
    place.scaleY = blit.m_ScaleY;
    place.angleDegrees = blit.m_Angle;
    place.flags = blit.m_Flags;
    place.argb = Pack(blit.m_Color);
    const SFloatRect clip = ClipOf(blit);
    return texture->DrawTransformed(target, place, blit.m_ClipEnabled ? &clip : nullptr);
}

bool CScreenFrame::RenderFill(CShape2DFillRenderer& fill)
{
    static CPerformanceMonitor monitor("ScreenDX8_FillRender");
    CPerformanceMonitorScope zone(monitor);
    if (!fill.m_Shape || fill.m_Shape->GetPoints().GetCount() < 4 || !MeasureOnScreen(fill, *this))
        return false;
    const std::vector<float>& points = FlattenShape(*fill.m_Shape);
    const SFloatRect clip = ClipOf(fill);
    return FillShape(points.data(), points.size() / 2, Pack(fill.m_Color), fill.m_Scale, fill.m_X, fill.m_Y,
                     fill.m_ClipEnabled ? &clip : nullptr);
}

bool CScreenFrame::RenderOutline(CShape2DOutlineRenderer& outline)
{
    static CPerformanceMonitor monitor("ScreenDX8_OutlineRender");
    CPerformanceMonitorScope zone(monitor);
    if (!outline.m_Shape || outline.m_Shape->GetPoints().GetCount() < 2 || !MeasureOnScreen(outline, *this))
        return false;
    const std::vector<float>& points = FlattenShape(*outline.m_Shape);
    const SFloatRect clip = ClipOf(outline);
    return OutlineShape(points.data(), points.size() / 2, Pack(outline.m_Color), outline.m_Scale, outline.m_X,
                        outline.m_Y, outline.m_ClipEnabled ? &clip : nullptr);
}

void CScreenFrame::FillOverlay(uint32_t argb)
{
    CRect bounds;
    GetBounds(bounds);
    const float l = float(bounds.left), t = float(bounds.top), r = float(bounds.right), b = float(bounds.bottom);
    const float points[] = {l, t, r, t, r, b, l, b};
    const plat::ScreenBlend blend = m_Blend;
    m_Blend = plat::ScreenBlend::Normal;
    FillShape(points, 4, argb);
    m_Blend = blend;
}

bool CScreenFrame::Present()
{
    CScreenDevice& screen = CScreenDevice::SGetInstance();
    plat::CGraphicsDevice& device = screen.GetDevice();
    const double level = double(m_FadeLevel) * double(m_Brightness);
    if (level < 1.0)
        FillOverlay(OverlayAlpha(1.0 - level) << 24);
    else if (level > 1.0)
        FillOverlay(OverlayAlpha(level - 1.0) << 24 | 0xFFFFFFu);

    // The letterbox: whatever was drawn outside the game area is covered.
    CRect bounds;
    GetBounds(bounds);
    CColor black(0, 0, 0, 255);
    const plat::ScreenBlend blend = m_Blend;
    m_Blend = plat::ScreenBlend::Normal;
    FillRect(CRect{bounds.right, bounds.top - 10000, bounds.right + 10000, bounds.bottom + 10000}, black);
    FillRect(CRect{bounds.left - 10000, bounds.top - 10000, bounds.left, bounds.bottom + 10000}, black);
    FillRect(CRect{bounds.left, bounds.top - 10000, bounds.right, bounds.top}, black);
    FillRect(CRect{bounds.left, bounds.bottom, bounds.right, bounds.bottom + 10000}, black);

    if (m_DrawSafeZone) {
        float left = float(screen.GetBackBufferWidth()) * 0.05f, top = float(screen.GetBackBufferHeight()) * 0.05f;
        float right = float(screen.GetBackBufferWidth()) * 0.95f, bottom = float(screen.GetBackBufferHeight()) * 0.95f;
        screen.WindowToGame(left, top);
        screen.WindowToGame(right, bottom);
        CColor pink(255, 200, 200, 192);
        DrawRect(CRect{int32_t(std::lround(left)), int32_t(std::lround(top)), int32_t(std::lround(right)),
                       int32_t(std::lround(bottom))},
                 pink);
    }
    m_Blend = blend;

    if (!device.Present() && IsScreenDeviceReady())
        SetScreenMode(m_FullScreen);
    device.Clear(0xFF000000u);
    return true;
}

void CScreenFrame::FadeIn(float seconds, FadeWait wait)
{
    m_FadeDuration = m_FadeTimeLeft = seconds;
    m_FadeState = FadeState::In;
    m_DarkWatchdog = 5.0f;
    if (wait == FadeWait::Block)
        WaitForFade();
}

void CScreenFrame::FadeOut(float seconds, float watchdogSeconds, FadeWait wait)
{
    m_FadeDuration = m_FadeTimeLeft = seconds;
    m_FadeState = FadeState::Out;
    m_DarkWatchdog = watchdogSeconds;
    if (wait == FadeWait::Block)
        WaitForFade();
}

void CScreenFrame::UpdateFade(float seconds)
{
    if (m_FadeLevel <= 0.001f) {
        m_DarkWatchdog -= seconds;
        if (m_DarkWatchdog < 0.0f) {
            m_FadeState = FadeState::In;
            m_FadeDuration = m_FadeTimeLeft = 1.0f;
            m_DarkWatchdog = 5.0f;
        }
    }
    if (m_FadeState == FadeState::Idle)
        return;
    m_FadeTimeLeft = std::max(m_FadeTimeLeft - seconds, 0.0f);
    if (m_FadeState == FadeState::In) {
        m_FadeLevel = m_FadeDuration <= 0.0f ? 1.0f : std::clamp(m_FadeLevel + seconds / m_FadeDuration, 0.0f, 1.0f);
        if (m_FadeLevel >= 1.0f)
            m_FadeTimeLeft = 0.0f, m_FadeState = FadeState::Idle;
    } else {
        m_FadeLevel = m_FadeDuration <= 0.0f ? 0.0f : std::clamp(m_FadeLevel - seconds / m_FadeDuration, 0.0f, 1.0f);
        if (m_FadeLevel <= 0.0f)
            m_FadeTimeLeft = 0.0f, m_FadeState = FadeState::Idle;
    }
}

void CScreenFrame::WaitForFade()
{
    uint32_t previous = plat::GetMillisecondTick();
    while (m_FadeState != FadeState::Idle) {
        uint32_t now = plat::GetMillisecondTick();
        // A clock that stands still (a test's) moves on with the sleep.
        if (now == previous) {
            plat::GetPlatform().Sleep(1);
            now = plat::GetMillisecondTick();
        }
        UpdateFade(float(now - previous) / 1000.0f);
        previous = now;
        Present();
    }
}

void CScreenFrame::SetBrightness(float value)
{
    m_Brightness = value < 0.0f ? 0.0f : value;
}
