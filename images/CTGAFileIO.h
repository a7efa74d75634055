#pragma once
// TGA files, our own reader and writer.
//
// Header, 18 bytes, little-endian:
//   u8  ID length         pixels start at 18 + this value
//   u8  colour map type   must be 0
//   u8  image type        2 or 9 raw pixels, 10 run-length packets
//   u16 first colour map entry, u16 colour map length, u8 entry size (ignored)
//   u16 X origin, u16 Y origin (ignored)
//   u16 width, u16 height
//   u8  pixel depth       24 (B, G, R) or 32 (B, G, R, A)
//   u8  descriptor        bit 5 set: rows top first; clear: bottom first;
//                         bit 4 set: pixels right first; clear: left first
// Run-length packets: a header byte h, count = (h & 0x7F) + 1; bit 7 clear:
// count literal pixels follow; set: one pixel repeated count times. A packet
// never crosses the end of a row.
//
// The writer makes type 10 (24 or 32 bits, rows bottom first, 8 alpha bits
// declared at 32 bits so other tools keep the alpha) or, for 8-bit frames,
// type 9 with a 256-entry 24-bit colour map. An uncompressed TGA found at
// load time is rewritten as type 10 only when the reader takes in its whole
// header (see IsTakenInWhole) and the file ends with its pixels: whatever
// the rewrite would drop or misread stays in the artist's file.

#include "images/CFrameImageIO.h"

struct STgaHeader {
    uint8_t idLength = 0;
    uint8_t colorMapType = 0;
    uint8_t imageType = 0;
    uint16_t colorMapFirst = 0;
    uint16_t colorMapLength = 0;
    uint8_t colorMapEntrySize = 0;
    uint16_t originX = 0;
    uint16_t originY = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t pixelDepth = 0;
    uint8_t descriptor = 0;

    static constexpr uint32_t kSize = 18;
    // False when fewer than 18 bytes are given.
    bool Parse(const uint8_t* data, uint32_t size);
    // Colour map type 0, image type 2, 9 or 10, depth 24 or 32.
    bool IsAccepted() const;
    bool IsTopFirst() const { return (descriptor & 0x20) != 0; }
    bool IsRightFirst() const { return (descriptor & 0x10) != 0; }
    // Accepted, and nothing in it the reader skips or ignores: no ID field,
    // no colour map fields, origin 0, no interleaving, and 0 alpha bits at
    // 24 bits or 8 at 32 (what the writer declares).
    bool IsTakenInWhole() const;
};

class CTGAFileIO : public CFrameImageIO {
    OMBRISALT_REFLECTED(CTGAFileIO, CFrameImageIO)
public:
    CTGAFileIO();
    ~CTGAFileIO() override;

    bool WriteImageFile(CFrame& frame, const char* path, uint32_t openFlags) override;
    const char* GetExtension() const override { return ".TGA"; }
    // True for a type 2 file whose header the reader takes in whole.
    bool NeedsRecompress(const char* path) override;
    bool DecodeFromMemory(CFrame& frame, const uint8_t* data, uint32_t size, const char* path, uint32_t depth) override;
    uint32_t GetHeaderBitDepth(const uint8_t* data, uint32_t size) override;
};

// Run-length encodes one row of n pixels of bytesPerPixel (1, 3 or 4) bytes
// into out (room for 2 n bytesPerPixel + n bytes); answers the bytes written.
uint32_t EncodeTgaRow(const uint8_t* pixels, uint32_t n, uint32_t bytesPerPixel, uint8_t* out);
