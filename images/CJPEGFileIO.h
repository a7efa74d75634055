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
// Sizes are checked after the header, before anything is allocated for
// them: the image limits of images/CFrameImageIO.h; and, unless the image is
// arithmetic-coded, at most eight blocks (8 x 8 samples of one component) per
// byte of the file, since each block costs at least one bit. The library's
// own working memory (whole-image buffers of progressive files) is held to
// 48 MB. A file of more than 100 scans is refused: every scan walks the
// whole picture, and no encoder writes a tenth as many. Rows are decoded
// straight into the frame.
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

// The rest of the open file as a 24-bit frame; false (the frame freed) for
// data the library refuses and for sizes the file cannot hold (below).
bool DecodeJPEGIntoFrame(CFrame& frame, CFile& file);
// The same from memory; name is the file a refusal names.
bool DecodeJPEGIntoFrame(CFrame& frame, const uint8_t* data, uint32_t size, const char* name);
bool LoadJPEGFile(CFrame& frame, const char* path, uint32_t openFlags);
// R, G, B pixels, rows width x 3 bytes apart; false when nothing was
// written or the library failed.
bool EncodeJPEG(CFile& file, const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t quality);
bool WriteFrameAsJPEG(CFrame& frame, CFile& file, uint32_t quality);
bool WriteJPEGFile(CFrame& frame, const char* path, uint32_t quality, uint32_t openFlags);
