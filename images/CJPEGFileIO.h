#pragma once
// JPEG files, read and written through libjpeg.
//
// Reading takes the rest of an open file into memory and feeds the library
// from there in 4096-byte pieces; data that ends before the end-of-image
// marker gets one supplied (a warning, not an error), an empty file is an
// error. One-component (grey) images are replicated into blue, green and
// red; three-component images are reordered to blue, green, red; any other
// component count is refused. The result is always a 24-bit frame.
//
// Writing is baseline at the given quality (90 for image files, the cache's
// own quality for frame caches), three components, from a 24-bit copy of
// the frame. No external converter is used.

#include "images/CFrameImageIO.h"

class CFile;

class CJPEGFileIO : public CFrameImageIO {
    OMBRISALT_REFLECTED(CJPEGFileIO, CFrameImageIO)
public:
    CJPEGFileIO();
    ~CJPEGFileIO() override;

    bool WriteImageFile(CFrame& frame, const char* path, uint32_t openFlags) override;
    const char* GetExtension() const override { return ".JPG"; }
    bool DecodeFromMemory(CFrame& frame, const uint8_t* data, uint32_t size, const char* path, uint32_t depth) override;
    uint32_t GetHeaderBitDepth(const uint8_t*, uint32_t) override { return 24; }
};

// B, G, R pixels of the rest of the open file (malloc'd, the caller frees
// them with std::free), or null.
uint8_t* ReadJPEG(CFile& file, uint32_t& width, uint32_t& height);
bool DecodeJPEGIntoFrame(CFrame& frame, CFile& file);
bool LoadJPEGFile(CFrame& frame, const char* path, uint32_t openFlags);
// R, G, B pixels, rows width x 3 bytes apart; false when nothing was
// written or the library failed.
bool EncodeJPEG(CFile& file, const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t quality);
bool WriteFrameAsJPEG(CFrame& frame, CFile& file, uint32_t quality);
bool WriteJPEGFile(CFrame& frame, const char* path, uint32_t quality, uint32_t openFlags);
