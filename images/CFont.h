#pragma once
// CFont, the engine's text renderer: a TrueType file at a point size and a
// colour, each character rendered once by FreeType (CFontFace) into a 32-bit
// frame and kept in a glyph cache indexed by character code. Text is 8-bit
// or UTF-16 CJString alike: a character's code is its unit.
//
// Codes below 20 (tab, line end) have no glyph and no advance and are never
// drawn. A glyph's advance is its cell's width; a line's height is the
// font's height (the ascender), so descenders reach into the spacing.
//
// Fitting: a word runs up to and takes with it a space or a line end. A
// word fits only when the line with it stays strictly narrower than the
// width; a trailing space counts only once another word follows on the line.
// A line that fits no word is cut between characters only when forced.

#include "blit/CColor.h"
#include "foundation/CJString.h"
#include "foundation/UpwardHook.h"
#include "objects/CObject.h"

#include <cstdint>
#include <memory>
#include <vector>

class CBlitType;
class CFileList;
class CFontFace;
class CFrame;
class CFrameInterface;

enum class TextAlign : int32_t { Left = 0, Centre = 1, Right = 2 };
// Whether a line that fits no whole word is cut between characters.
enum class FitMode { WholeWords, Force };
// Whether WrapText keeps the spaces and line ends that end a fitted piece.
enum class TrailingSpaces { Cut, Keep };

struct SGlyphEntry {
    std::unique_ptr<CFrame> frame; // null: not rendered
    uint32_t advance = 0;          // pixels; the frame's width before any effect
    uint32_t bottom = 0;           // bottom of the opaque pixels
};

// The ten settings of a paragraph layout.
struct SParagraphLayout {
    int32_t x = 0;
    int32_t width = 0; // of the box
    int32_t lineSpacing = 0;
    TextAlign firstAlign = TextAlign::Left;
    int32_t firstIndent = 0;
    int32_t firstRightMargin = 0;
    TextAlign laterAlign = TextAlign::Left;
    int32_t laterLeftIndent = 0;
    int32_t laterRightIndent = 0;
    int32_t bulletIndent = 0; // left indent of later lines after a leading bullet
    bool operator==(const SParagraphLayout&) const = default;
};

class CFont : public CObject {
    OMBRISALT_REFLECTED(CFont, CObject)
public:
    CFont();
    ~CFont() override;
    // The character map (CustomEditorHooks).
    void AddCustomEditors(CObjectEditor* editor) override;

    // Empties the cache: glyph frames, face and height.
    virtual void Reset();
    SGlyphEntry& GetGlyph(char code) { return GetGlyph(uint32_t(uint8_t(code))); }
    SGlyphEntry& GetGlyph(char16_t code) { return GetGlyph(uint32_t(code)); }
    // The entry of code, rendered on first use; an entry FreeType cannot
    // render stays empty. The reference lasts until the next GetGlyph.
    virtual SGlyphEntry& GetGlyph(uint32_t code);

    uint32_t GetCharAdvance(uint32_t code);
    CFrame* GetGlyphFrame(uint32_t code);
    // count -1: the whole text.
    int32_t GetTextWidth(const CJString& text, int32_t count = -1);
    // "Point Size" rounded up.
    int32_t GetPointSize() const;
    uint32_t GetHeight();
    int32_t GetLineHeight();
    // (line height + spacing) per line, lines split at "\n".
    int32_t GetTextBlockHeight(const CJString& text, int32_t spacing);
    int32_t GetMultiLineTextWidth(const CJString& text);

    // One line; cellCharacter (code 20 and above) draws every character
    // centred in a cell of that character's advance.
    void DrawText(CFrameInterface& frame, int32_t x, int32_t y, const CJString& text, TextAlign align = TextAlign::Left,
                  uint32_t cellCharacter = 0);
    void DrawNumber(CFrameInterface& frame, int32_t x, int32_t y, int32_t number, TextAlign align = TextAlign::Left);
    // Lines split at "\n", each followed by line height + spacing; the line
    // count, the y after the last line in *finalY.
    int32_t DrawMultiLineText(CFrameInterface& frame, int32_t x, int32_t y, const CJString& text, int32_t spacing,
                              TextAlign align, int32_t* finalY);
    // Forced wrapping at width; the height used. A null frame only measures.
    int32_t DrawWrappedText(CFrameInterface* frame, int32_t x, int32_t y, const CJString& text, int32_t width,
                            int32_t spacing, TextAlign align);
    CJString WrapText(const CJString& text, int32_t width, TrailingSpaces trailing);
    // Characters of the first line of text (delimiters included); its text
    // goes to out when given.
    int32_t FitLine(const CJString& text, int32_t width, CJString* out, FitMode mode);

    // Each "\n"-separated paragraph laid out in the box (an empty one is one
    // line); y moves below the text. A null frame only measures. The lines.
    int32_t DrawWrappedParagraphs(CFrameInterface* frame, int32_t& y, const CJString& text,
                                  const SParagraphLayout& layout);
    // Measured as DrawWrappedParagraphs lays out; the last text measured
    // and its layout are remembered.
    int32_t GetWrappedTextHeight(const CJString& text, const SParagraphLayout& layout);
    int32_t GetWrappedTextWidth(const CJString& text, const SParagraphLayout& layout);

    CBlitType* GetBlitType() const { return m_pBlitType; }
    uint32_t GetGlyphCount() const { return uint32_t(m_Glyphs.size()); }
    // Setters of the properties; those that change the glyphs empty the cache.
    void SetFontFamily(int32_t index);
    void SetPointSize(float size);
    void SetGenerateAllCaps(bool allCaps);
    void SetBlitType(int32_t index);
    void SetGeneratedColor(const CColor& colour) { m_GeneratedColor = colour; }

protected:
    // Notes advance and bottom, runs the frame effect, converts to the build
    // depth and stores the frame in the entry.
    void CacheGlyph(SGlyphEntry& entry, std::unique_ptr<CFrame> frame);
    // The cache slot of exactly this code.
    SGlyphEntry& EntryFor(uint32_t code);
    // The code whose glyph answers for code: its capital under "Generate All
    // Caps" (97-122 and 224-254 move down by 32), else itself.
    uint32_t AskedCode(uint32_t code) const;

    uint32_t m_Height = 0; // pixels; 0 = not yet known

private:
    int32_t FitLineAt(const CJString& text, int32_t start, int32_t end, int32_t width, CJString* out, FitMode mode);
    // Every paragraph of the text; an empty one is one empty line.
    int32_t LayOutParagraphs(CFrameInterface* frame, int32_t& y, const CJString& text, const SParagraphLayout& layout,
                             int32_t& widest);
    int32_t LayOutParagraph(CFrameInterface* frame, int32_t& y, const CJString& text, int32_t start, int32_t end,
                            const SParagraphLayout& layout, int32_t& widest);
    void MeasureWrapped(const CJString& text, const SParagraphLayout& layout);

    std::unique_ptr<CFontFace> m_Face;
    std::vector<SGlyphEntry> m_Glyphs;
    CBlitType* m_pBlitType = nullptr;
    int32_t m_BlitType = 0;
    float m_PointSize = 12.0f;
    int32_t m_FontFamily = 0;
    bool m_bGenerateAllCaps = false;
    CColor m_GeneratedColor;
    CObject* m_FrameEffect = nullptr;

    // The wrapped-layout cache.
    const CJString* m_pLayoutText = nullptr;
    CJString m_LayoutText;
    SParagraphLayout m_Layout;
    bool m_bLayoutValid = false;
    int32_t m_LayoutHeight = 0;
    int32_t m_LayoutLines = 0;
    int32_t m_LayoutWidth = 0;
};

// The TrueType files "Font Family" picks from: every ".ttf" below
// "Resources/", listed once at start-up.
void EnumerateFontFiles();
CFileList& GetFontFileList();

// A frame effect runs on every glyph a font renders; the layer that owns
// the effects installs the function that applies one (null: none applies).
using GlyphEffectApplier = std::unique_ptr<CFrame> (*)(CObject& effect, CFrame& glyph);
GlyphEffectApplier SetGlyphEffectApplier(GlyphEffectApplier applier);
OMBRISALT_UPWARD_HOOK(SetGlyphEffectApplier);

// Registers the font classes; idempotent.
void RegisterFontClasses();
