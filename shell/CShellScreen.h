#pragma once
// What the application object draws on and presents through: the screen
// surface's size, filled boxes and the presentation of a finished frame; the
// frame-rate font's size, advance and centred text.
//
// A font that draws frames (CFontFrameRateFont) needs the surface as a frame;
// a screen that has none draws only boxes.

#include "blit/CColor.h"
#include "foundation/CRect.h"

#include <cstdint>

class CFrameInterface;

class CShellScreen {
public:
    virtual ~CShellScreen() = default;
    virtual int32_t GetWidth() const = 0;
    virtual int32_t GetHeight() const = 0;
    // Screen coordinates, right and bottom exclusive.
    virtual void FillRect(const CRect& rect, const CColor& colour) = 0;
    // Shows what was drawn since the last call; false when it could not.
    virtual bool Present() = 0;
    // The surface as a frame to draw on; null when it is not one.
    virtual CFrameInterface* GetFrame() { return nullptr; }
};

class CFrameRateFont {
public:
    virtual ~CFrameRateFont() = default;
    virtual int32_t GetPointSize() const = 0;
    virtual int32_t GetCharAdvance(char character) const = 0;
    // The text centred horizontally on x, its top at y.
    virtual void DrawCentred(CShellScreen& screen, int32_t x, int32_t y, const char* text) = 0;
};
