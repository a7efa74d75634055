#pragma once
// CFontBitmap: a font whose glyphs are cut from one image instead of being
// rendered. The image holds the characters first to last side by side, in
// cells of a fixed width or marked by single pixels (any alpha) in the
// image's bottom row; column 0 then marks the font's height. Once cut, the
// glyphs sit in the ordinary glyph cache, so measuring, wrapping and drawing
// are CFont's; codes outside first to last are rendered as TrueType.
//
// The image is the frame-library item named by the font's own file path
// without its ending ".FONT.TXT" (nine characters).

#include "images/CFont.h"

class CFontBitmap : public CFont {
    OMBRISALT_REFLECTED(CFontBitmap, CFont)
public:
    CFontBitmap();
    ~CFontBitmap() override;

    // The first call cuts the whole image (a missing image is fatal).
    SGlyphEntry& GetGlyph(uint32_t code) override;
    using CFont::GetGlyph;
    // The cache of a bitmap font outlives property changes.
    void Reset() override {}

    // Fills the glyph cache and the height from image.
    void CutGlyphs(const CFrame& image);
    bool IsCut() const { return m_Cut; }

private:
    uint32_t m_FirstCode = 32;
    uint32_t m_LastCode = 125;
    bool m_bFixedWidth = false;
    bool m_Cut = false;
};
