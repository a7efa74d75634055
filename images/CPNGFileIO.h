#pragma once
// PNG files, read through libpng (no PNG writing).
//
// The image is read whole with 16-bit samples stripped to 8 and delivered
// blue, green, red (, alpha). Colour type 2 gives a 24-bit frame, 6 a 32-bit
// one; palette and grey images are expanded to colour (with alpha when they
// carry transparency or a grey alpha channel). Images beyond the limits of
// images/CFrameImageIO.h, or larger than their compressed data could hold
// (deflate expands at most about 1032 to 1), are refused before anything is
// allocated for them. Rows are decoded straight into the frame; an image of
// more than 32 MB is first decoded through one row, so that damaged data is
// refused before the whole image is allocated.

#include "images/CFrameImageIO.h"

class CPNGFileIO : public CFrameImageIO {
    OMBRISALT_REFLECTED(CPNGFileIO, CFrameImageIO)
public:
    CPNGFileIO();
    ~CPNGFileIO() override;

    // Removes the un-blending filter (kind 7) from the chain first: PNG
    // alpha is never blended with black.
    bool LoadFrame(CFrame& frame, CFrameFilter* chain, uint32_t openFlags) override;
    const char* GetExtension() const override { return ".PNG"; }
    bool DecodeFromMemory(CFrame& frame, const uint8_t* data, uint32_t size, const char* path, uint32_t depth) override;
    // 32 when the image has alpha after expansion, 24 without, 0 when the
    // header is not a PNG's.
    uint32_t GetHeaderBitDepth(const uint8_t* data, uint32_t size) override;
};

// Pixel budget of the PNG and JPEG decoders, in bytes of decoded pixels;
// larger images are refused before anything is allocated. Fuzz targets
// lower it.
uint64_t SetImageDecodeByteLimit(uint64_t bytes);
uint64_t GetImageDecodeByteLimit();
