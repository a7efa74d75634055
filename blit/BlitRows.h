#pragma once
// Pixel addressing of plain frames for blit routines: the routines get
// rectangles already clipped to both frames, in pixel coordinates.

#include "blit/CFrameInterface.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

// The first byte of pixel (x, y); row table entries count pixels.
inline uint8_t* PixelAddress(const CFrameInterface& frame, int32_t x, int32_t y, uint32_t bytesPerPixel)
{
    return frame.GetPixels() + (size_t(frame.GetRowTable()[y]) + size_t(x)) * bytesPerPixel;
}

// Bytes from one row to the next.
inline size_t RowStride(const CFrameInterface& frame, uint32_t bytesPerPixel)
{
    return size_t(frame.GetPitch()) * bytesPerPixel;
}

inline uint16_t LoadPixel16(const uint8_t* p)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

inline void StorePixel16(uint8_t* p, uint16_t v)
{
    std::memcpy(p, &v, 2);
}

inline uint32_t LoadPixel32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void StorePixel32(uint8_t* p, uint32_t v)
{
    std::memcpy(p, &v, 4);
}
