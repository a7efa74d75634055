#include "RenderTestSupport.h"

#include "blit/CBlitType.h"
#include "blit/ColorTables.h"
#include "render/RegisterRenderClasses.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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
    blitOpacity = blitType.GetOpacity();
    return CProxyFrame::Blit(source, s, d, blitType);
}

bool CLoggingProxy::Render(CRenderableObject& renderable)
{
    char text[96];
    std::snprintf(text, sizeof(text), "Render %s at %g,%g", renderable.GetClassInfo()->GetName(),
                  double(renderable.m_X), double(renderable.m_Y));
    log.push_back(text);
    return CProxyFrame::Render(renderable);
}

void CLoggingProxy::ClearRect(const CRect& rect)
{
    log.push_back("ClearRect " + Text(rect));
    CProxyFrame::ClearRect(rect);
}

void CLoggingProxy::FillRect(const CRect& rect, CColor& colour)
{
    log.push_back("FillRect " + Text(rect) + " " + Text(colour));
    CProxyFrame::FillRect(rect, colour);
}

void CLoggingProxy::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour)
{
    log.push_back("DrawLine " + Text(CRect{x1, y1, x2, y2}) + " " + Text(colour));
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
