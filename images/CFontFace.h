#pragma once
// CFontFace: one FreeType face at one point size, read through the engine's
// own files. The face keeps a CFile open on the font for as long as it lives
// and hands FreeType a stream whose every read goes through StreamRead, so a
// font loads alike from a loose file and from a mounted archive (the file
// gets its own archive handle). FreeType's library handle is shared by every
// face of the process: made with the first face, released with the last.
//
// Unreadable font files, a library that cannot start and a face without a
// Unicode character map are fatal (FontFatalError, exit status 1).

#include "foundation/CFile.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>

class CColor;
class CFrame;
class CFrameInterface;

class CFontFace {
public:
    // Opens path at pointSize points (72 dpi, so points are pixels).
    CFontFace(const char* path, float pointSize);
    CFontFace(const CFontFace&) = delete;
    CFontFace& operator=(const CFontFace&) = delete;
    ~CFontFace();

    // Makes frame a 32-bit glyph cell for code: as wide as the larger of the
    // bitmap and the advance, as tall as the larger of the line box and the
    // bitmap, the anti-aliased glyph in colour with FreeType's coverage as
    // alpha, its baseline at the ascender. False when FreeType cannot load
    // or render the glyph, or when the cell would be above 1,024 pixels on
    // a side (frame untouched).
    bool RenderGlyph(CFrame& frame, uint32_t code, const CColor& colour);
    // The ascender in pixels once a glyph has been drawn, else 0.
    uint32_t GetGlyphTop() const { return m_GlyphTop; }

    // FreeType's stream callbacks. A count of 0 is a seek request and
    // answers 0 without moving the file: every read carries its own offset.
    static unsigned long StreamRead(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count);
    static void StreamClose(FT_Stream stream);

    // Faces open in the process (the library lives while this is above 0).
    static uint32_t SGetOpenFaceCount();

private:
    FT_Face m_Face = nullptr;
    float m_PointSize = 0.0f;
    uint32_t m_GlyphTop = 0;
    CFile m_File;
    FT_StreamRec m_Stream{};
};

// The font gamma table: entry i = trunc(255 * (i / 255) ^ (1 / 2.0)). Built
// with the library; glyph rendering itself never applies it.
void BuildFontGammaTable();
const uint8_t* GetFontGammaTable();
// Rewrites every pixel's alpha a as 255 - table[255 - a], colour kept.
void ApplyFontGammaToAlpha(CFrameInterface* frame);
