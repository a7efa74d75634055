#include "RenderTestSupport.h"

#include "blit/ColorTables.h"
#include "render/CCircleRenderer.h"
#include "render/RenderClasses.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

std::vector<SPolygonCall> g_PolygonCalls;
uint32_t g_TransformedDraws = 0;

bool LogOutline(CFrameInterface& target, const std::vector<CFPoint>& points, const CColor& colour, float width)
{
    g_PolygonCalls.push_back({ false, points, colour, width });
    CColor c = colour;
    for (const CFPoint& p : points)
        target.SetPixel(int32_t(std::floor(p.x)), int32_t(std::floor(p.y)), c);
    return true;
}

bool LogFill(CFrameInterface& target, const std::vector<CFPoint>& points, const CColor& colour)
{
    (void)target;
    g_PolygonCalls.push_back({ true, points, colour, 0.0f });
    return true;
}

// Nearest-pixel stand-in for the transformed blit: bounds from the four
// transformed corners, each covered pixel centre mapped back to the source.
bool FakeTransformedBlit(CBlitXParams& p, CFrameInterface& target)
{
    CFrameInterface& source = *p.GetSource();
    CRect sb;
    source.GetBounds(sb);
    const double a = double(p.GetAngle()) * 3.14159265358979323846 / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    const double sx = p.GetScaleX(), sy = p.GetScaleY(), hx = p.GetHotSpotX(), hy = p.GetHotSpotY();
    if (sx <= 0 || sy <= 0) {
        p.SetDrawnBounds({});
        return false;
    }
    const auto forward = [&](double x, double y) {
        const double dx = (x - hx) * sx, dy = (y - hy) * sy;
        return std::pair<double, double>(dx * c - dy * s + p.GetX(), dx * s + dy * c + p.GetY());
    };
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (const auto& corner : { forward(sb.left, sb.top), forward(sb.right, sb.top), forward(sb.left, sb.bottom),
                                forward(sb.right, sb.bottom) }) {
        minX = std::min(minX, corner.first), maxX = std::max(maxX, corner.first);
        minY = std::min(minY, corner.second), maxY = std::max(maxY, corner.second);
    }
    // Rounded so that exact corners do not grow by a pixel through rounding noise.
    CRect bounds = { int32_t(std::floor(minX + 1e-6)), int32_t(std::floor(minY + 1e-6)),
                     int32_t(std::ceil(maxX - 1e-6)), int32_t(std::ceil(maxY - 1e-6)) };
    if (p.IsClipEnabled() && !IntersectRects(bounds, bounds, p.GetClipRect()))
        bounds = {};
    p.SetDrawnBounds(bounds);
    if (bounds.IsAllZero())
        return false;
    if (!p.IsDrawEnabled())
        return true;
    ++g_TransformedDraws;
    const CColor tint = p.GetColor();
    for (int32_t y = bounds.top; y < bounds.bottom; ++y)
        for (int32_t x = bounds.left; x < bounds.right; ++x) {
            const double dx = x + 0.5 - p.GetX(), dy = y + 0.5 - p.GetY();
            const double ux = (dx * c + dy * s) / sx + hx, uy = (-dx * s + dy * c) / sy + hy;
            CColor got;
            if (!source.GetPixel(int32_t(std::floor(ux)), int32_t(std::floor(uy)), got) || got.GetAlpha() == 0)
                continue;
            CColor out(uint8_t(got.GetRed() * tint.GetRed() / 255), uint8_t(got.GetGreen() * tint.GetGreen() / 255),
                       uint8_t(got.GetBlue() * tint.GetBlue() / 255), uint8_t(got.GetAlpha() * tint.GetAlpha() / 255));
            target.SetPixel(x, y, out);
        }
    return true;
}

} // namespace

std::string Text(const CRect& r)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%d,%d,%d,%d", r.left, r.top, r.right, r.bottom);
    return text;
}

std::string Text(const CColor& c)
{
    char text[16];
    std::snprintf(text, sizeof(text), "#%08X", c.GetColorWord());
    return text;
}

bool CLoggingProxy::Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType)
{
    log.push_back("Blit " + Text(s) + " -> " + Text(d));
    return CProxyFrame::Blit(source, s, d, blitType);
}

bool CLoggingProxy::Render(CRenderableObject& renderable)
{
    char text[96];
    std::snprintf(text, sizeof(text), "Render %s at %g,%g", renderable.GetClassInfo()->GetName(),
                  double(renderable.GetX()), double(renderable.GetY()));
    log.push_back(text);
    return CProxyFrame::Render(renderable);
}

void CLoggingProxy::ClearRect(const CRect& rect)
{
    log.push_back("ClearRect " + Text(rect));
    CProxyFrame::ClearRect(rect);
}

void CLoggingProxy::Fill(CColor& colour)
{
    log.push_back("Fill " + Text(colour));
    CProxyFrame::Fill(colour);
}

void CLoggingProxy::FillRect(const CRect& rect, CColor& colour)
{
    log.push_back("FillRect " + Text(rect) + " " + Text(colour));
    CProxyFrame::FillRect(rect, colour);
}

void CLoggingProxy::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour)
{
    log.push_back("DrawLine " + Text(CRect { x1, y1, x2, y2 }) + " " + Text(colour));
    CProxyFrame::DrawLine(x1, y1, x2, y2, colour);
}

void CLoggingProxy::DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width)
{
    char text[128];
    std::snprintf(text, sizeof(text), "DrawLineFloat %g,%g,%g,%g %s w%g", double(x1), double(y1), double(x2),
                  double(y2), Text(colour).c_str(), double(width));
    log.push_back(text);
    CProxyFrame::DrawLineFloat(x1, y1, x2, y2, colour, width);
}

void CLoggingProxy::SetPixel(int32_t x, int32_t y, CColor& colour)
{
    log.push_back("SetPixel " + std::to_string(x) + "," + std::to_string(y) + " " + Text(colour));
    CProxyFrame::SetPixel(x, y, colour);
}

void CLoggingProxy::RemapRect(const CRect& rect, const uint8_t* table)
{
    log.push_back("RemapRect " + Text(rect));
    CProxyFrame::RemapRect(rect, table);
}

void CRenderFixture::SetUp()
{
    RegisterRenderClasses();
    InitBlitTables();
    g_PolygonCalls.clear();
    g_TransformedDraws = 0;
    SetTransformedBlitRenderer(&FakeTransformedBlit);
    SetPolygonOutlineRenderer(&LogOutline);
    SetPolygonFillRenderer(&LogFill);
}

void CRenderFixture::TearDown()
{
    SetTransformedBlitRenderer(nullptr);
    SetPolygonOutlineRenderer(nullptr);
    SetPolygonFillRenderer(nullptr);
}

std::vector<SPolygonCall>& PolygonCalls()
{
    return g_PolygonCalls;
}

uint32_t TransformedDraws()
{
    return g_TransformedDraws;
}

std::unique_ptr<CFrame> PatternFrame(uint32_t width, uint32_t height, uint32_t seed, bool transparent)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(width, height, 32);
    uint32_t state = seed * 2654435761u + 12345u;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            uint32_t value = state >> 8 & 0xFFFFFF;
            value |= transparent ? (state & 0xFF) << 24 : 0xFF000000u;
            uint8_t* p = frame->Row(y) + 4 * x;
            p[0] = uint8_t(value), p[1] = uint8_t(value >> 8), p[2] = uint8_t(value >> 16), p[3] = uint8_t(value >> 24);
        }
    return frame;
}

std::vector<uint32_t> Pixels(const CFrame& frame)
{
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < int32_t(frame.GetHeight()); ++y)
        for (int32_t x = 0; x < int32_t(frame.GetWidth()); ++x)
            pixels.push_back(frame.GetRawPixel(x + frame.GetOffsetX(), y + frame.GetOffsetY()));
    return pixels;
}
