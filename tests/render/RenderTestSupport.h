#pragma once
// Equipment of the render tests: a proxy that logs every call it forwards,
// pattern frames and pixel dumps.

#include "foundation/CFPoint.h"
#include "images/CFrame.h"
#include "render/CBlitXParams.h"
#include "render/CProxyFrame.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Forwards everything to its source and logs the drawing calls as text:
// "FillRect 1,2,3,4 #AARRGGBB", "Blit 0,0,4,4 -> 10,10,14,14", ...
class CLoggingProxy : public CProxyFrame {
public:
    explicit CLoggingProxy(CFrameInterface* source)
        : CProxyFrame(source)
    {
    }

    bool Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType) override;
    bool Render(CRenderableObject& renderable) override;
    void ClearRect(const CRect& rect) override;
    void FillRect(const CRect& rect, CColor& colour) override;
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour) override;
    void DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width) override;
    void SetPixel(int32_t x, int32_t y, CColor& colour) override;
    void RemapRect(const CRect& rect, const uint8_t* table) override;

    std::vector<std::string> log;
    float blitOpacity = -1; // the blit type's opacity as the last blit arrived
};

std::string Text(const CRect& r);
std::string Text(const CColor& c);

// Registers the classes and builds the colour tables.
class CRenderFixture : public testing::Test {
protected:
    void SetUp() override;
};

// A 32-bit frame of that size filled with a pattern from seed (alpha 255
// unless transparent is set, then varying).
std::unique_ptr<CFrame> PatternFrame(uint32_t width, uint32_t height, uint32_t seed, bool transparent = false);
// Every pixel of a frame, row by row.
std::vector<uint32_t> Pixels(const CFrame& frame);
