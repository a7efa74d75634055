#include "images/CFont.h"

#include "images/CustomEditorHooks.h"

#include "blit/CBlitTypeList.h"
#include "blit/CColorProperty.h"
#include "foundation/CFileList.h"
#include "images/CFontBitmap.h"
#include "images/CFontFace.h"
#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CListProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPropertyDeclarer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

OMBRISALT_IMPLEMENT_CLASS(CFont, 13.0)

namespace {

constexpr uint32_t kFirstDrawnCode = 20;
constexpr uint32_t kInitialGlyphCount = 256;
constexpr char16_t kBullet = 0x2022;
constexpr int32_t kBitDepthFilter = 11;

GlyphEffectApplier g_GlyphEffectApplier = nullptr;

bool IsSpace(char16_t c)
{
    return c == u' ';
}

void DrawFrameAt(CFrameInterface& target, CFrame& glyph, int64_t x, int64_t y, CBlitType& blitType)
{
    CRect s;
    glyph.GetBounds(s);
    // Saturated: text placed near the int32 limits is clipped, not wrapped.
    auto at = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    const CRect d{at(s.left + x), at(s.top + y), at(s.right + x), at(s.bottom + y)};
    target.Blit(glyph, s, d, blitType);
}

} // namespace

GlyphEffectApplier SetGlyphEffectApplier(GlyphEffectApplier applier)
{
    GlyphEffectApplier previous = g_GlyphEffectApplier;
    g_GlyphEffectApplier = applier;
    return previous;
}

CFileList& GetFontFileList()
{
    static CFileList* list = new CFileList();
    return *list;
}

void EnumerateFontFiles()
{
    CEnumerateFilesOptions options;
    options.SetFilesWithExtension("Resources/", "ttf");
    GetFontFileList().Enumerate(options, CFileList::kSortedNoCase, nullptr, 0);
}

void RegisterFontClasses()
{
    CFont::SGetClassInfo();
    CFontBitmap::SGetClassInfo();
}

void CFont::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CFont;
    d.AddListReference(&C::m_FontFamily, "Font Family", &GetFontFileList(), "!default.ttf").Setter<&C::SetFontFamily>();
    d.AddListReference(&C::m_BlitType, "Blit Type", &CBlitTypeList::SGetInstance(), "Transparent Mask")
        .Setter<&C::SetBlitType>();
    d.Add(&C::m_GeneratedColor, "Generated Color", CColor(255, 255, 255, 255)).WithAlpha();
    d.Add(&C::m_PointSize, "Point Size", 12.0f).Range(3.0f, 144.0f).SpinStep(1.0f).Setter<&C::SetPointSize>();
    d.Add(&C::m_bGenerateAllCaps, "Generate All Caps", false).Setter<&C::SetGenerateAllCaps>();
    d.AddOwned(&C::m_FrameEffect, "Frame Effect");
}

CFont::CFont()
    : m_Glyphs(kInitialGlyphCount)
{
    InitDeclaredProperties();
    m_pBlitType = CBlitTypeList::SGetInstance().GetBlitType(m_BlitType);
}

void CFont::AddCustomEditors(CObjectEditor* editor)
{
    if (editor)
        GetCustomEditorHooks().AddFontEditor(*editor, *this);
}

CFont::~CFont()
{
    DestroyDeclaredProperties();
}

void CFont::Reset()
{
    for (SGlyphEntry& entry : m_Glyphs)
        entry = SGlyphEntry{};
    m_Face.reset();
    m_Height = 0;
    m_bLayoutValid = false;
}

void CFont::SetFontFamily(int32_t index)
{
    m_FontFamily = index;
    Reset();
}

void CFont::SetPointSize(float size)
{
    m_PointSize = size;
    Reset();
}

void CFont::SetGenerateAllCaps(bool allCaps)
{
    m_bGenerateAllCaps = allCaps;
    Reset();
}

void CFont::SetBlitType(int32_t index)
{
    m_BlitType = index;
    m_pBlitType = CBlitTypeList::SGetInstance().GetBlitType(index);
    m_bLayoutValid = false;
}

uint32_t CFont::AskedCode(uint32_t code) const
{
    if (m_bGenerateAllCaps && ((code >= 97 && code <= 122) || (code >= 224 && code <= 254)))
        return code - 32;
    return code;
}

SGlyphEntry& CFont::EntryFor(uint32_t code)
{
    if (code >= m_Glyphs.size())
        m_Glyphs.resize(size_t(code) + 1);
    return m_Glyphs[code];
}

SGlyphEntry& CFont::GetGlyph(uint32_t code)
{
    code = AskedCode(code);
    SGlyphEntry& entry = EntryFor(code);
    if (entry.frame)
        return entry;
    auto frame = std::make_unique<CFrame>();
    const CColor colour(m_GeneratedColor.GetRed(), m_GeneratedColor.GetGreen(), m_GeneratedColor.GetBlue(), 255);
    if (!m_Face) {
        CFileList& files = GetFontFileList();
        const char* path
            = m_FontFamily >= 0 && m_FontFamily < files.GetCount() ? files.GetItemPath(m_FontFamily) : nullptr;
        m_Face = std::make_unique<CFontFace>(path ? path : "", m_PointSize);
    }
    if (m_Face->RenderGlyph(*frame, code, colour))
        CacheGlyph(entry, std::move(frame));
    return entry;
}

void CFont::CacheGlyph(SGlyphEntry& entry, std::unique_ptr<CFrame> frame)
{
    CRect opaque;
    frame->GetOpaqueBounds(opaque);
    entry.advance = frame->GetWidth();
    entry.bottom = uint32_t(std::max(opaque.bottom, 0));
    if (m_FrameEffect && g_GlyphEffectApplier) {
        if (std::unique_ptr<CFrame> decorated = g_GlyphEffectApplier(*m_FrameEffect, *frame))
            frame = std::move(decorated);
    }
    CFrameFilter chain;
    chain.AddFilter(kBitDepthFilter);
    chain.ApplyAll(*frame);
    entry.frame = std::move(frame);
}

uint32_t CFont::GetCharAdvance(uint32_t code)
{
    return code < kFirstDrawnCode ? 0 : GetGlyph(code).advance;
}

CFrame* CFont::GetGlyphFrame(uint32_t code)
{
    return code < kFirstDrawnCode ? nullptr : GetGlyph(code).frame.get();
}

int32_t CFont::GetTextWidth(const CJString& text, int32_t count)
{
    const int32_t length = text.GetLength();
    const int32_t end = count < 0 ? length : std::min(count, length);
    int32_t width = 0;
    for (int32_t i = 0; i < end; ++i)
        width += int32_t(GetCharAdvance(text.GetAt(i)));
    return width;
}

int32_t CFont::GetPointSize() const
{
    return int32_t(std::ceil(m_PointSize));
}

uint32_t CFont::GetHeight()
{
    if (m_Height == 0) {
        GetGlyph(uint32_t('A'));
        if (m_Height == 0 && m_Face)
            return m_Face->GetGlyphTop();
    }
    return m_Height;
}

int32_t CFont::GetLineHeight()
{
    for (const SGlyphEntry& entry : m_Glyphs)
        if (entry.frame)
            return entry.frame->GetOffsetY() + int32_t(GetHeight());
    return int32_t(GetHeight());
}

int32_t CFont::GetTextBlockHeight(const CJString& text, int32_t spacing)
{
    return (GetLineHeight() + spacing) * text.CountLines();
}

int32_t CFont::GetMultiLineTextWidth(const CJString& text)
{
    int32_t widest = 0;
    int32_t width = 0;
    const int32_t length = text.GetLength();
    for (int32_t i = 0; i < length; ++i) {
        const char16_t c = text.GetAt(i);
        if (c == u'\n') {
            widest = std::max(widest, width);
            width = 0;
        } else {
            width += int32_t(GetCharAdvance(c));
        }
    }
    return std::max(widest, width);
}

void CFont::DrawText(CFrameInterface& frame, int32_t x, int32_t y, const CJString& text, TextAlign align,
                     uint32_t cellCharacter)
{
    const int32_t cell = cellCharacter >= kFirstDrawnCode ? int32_t(GetCharAdvance(cellCharacter)) : 0;
    const int32_t length = text.GetLength();
    int64_t start = x;
    if (align != TextAlign::Left) {
        int32_t width = 0;
        if (cell) {
            for (int32_t i = 0; i < length; ++i)
                if (text.GetAt(i) >= 32)
                    width += cell;
        } else {
            width = GetTextWidth(text);
        }
        start -= align == TextAlign::Centre ? width / 2 : width;
    }
    if (!m_pBlitType)
        return;
    int64_t pen = start;
    for (int32_t i = 0; i < length; ++i) {
        const uint32_t code = text.GetAt(i);
        if (code < kFirstDrawnCode)
            continue;
        SGlyphEntry& entry = GetGlyph(code);
        if (entry.frame) {
            const int32_t centring = cell ? (cell - int32_t(entry.frame->GetWidth())) / 2 : 0;
            DrawFrameAt(frame, *entry.frame, pen + centring, y, *m_pBlitType);
        }
        pen += cell ? cell : int32_t(entry.advance);
    }
}

void CFont::DrawNumber(CFrameInterface& frame, int32_t x, int32_t y, int32_t number, TextAlign align)
{
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%d", number);
    DrawText(frame, x, y, CJString(digits), align);
}

int32_t CFont::DrawMultiLineText(CFrameInterface& frame, int32_t x, int32_t y, const CJString& text, int32_t spacing,
                                 TextAlign align, int32_t* finalY)
{
    const int32_t length = text.GetLength();
    int32_t lines = 0;
    int32_t start = 0;
    for (;;) {
        int32_t end = text.FindChar(u'\n', start);
        if (end < 0)
            end = length;
        DrawText(frame, x, y, text.Mid(start, end - start), align);
        y += GetLineHeight() + spacing;
        ++lines;
        if (end >= length)
            break;
        start = end + 1;
    }
    if (finalY)
        *finalY = y;
    return lines;
}

int32_t CFont::FitLine(const CJString& text, int32_t width, CJString* out, FitMode mode)
{
    return FitLineAt(text, 0, text.GetLength(), width, out, mode);
}

int32_t CFont::FitLineAt(const CJString& text, int32_t start, int32_t end, int32_t width, CJString* out, FitMode mode)
{
    int32_t lineWidth = 0;
    int32_t pending = 0;
    int32_t pos = start;
    while (pos < end) {
        int32_t wordEnd = pos;
        int32_t wordWidth = 0;
        char16_t delimiter = 0;
        while (wordEnd < end) {
            const char16_t c = text.GetAt(wordEnd++);
            if (IsSpace(c) || c == u'\n') {
                delimiter = c;
                break;
            }
            wordWidth += int32_t(GetCharAdvance(c));
        }
        if (lineWidth + pending + wordWidth >= width)
            break;
        lineWidth += pending + wordWidth;
        pending = IsSpace(delimiter) ? int32_t(GetCharAdvance(u' ')) : 0;
        pos = wordEnd;
        if (delimiter == u'\n')
            break;
    }
    int32_t count = pos - start;
    if (count == 0 && mode == FitMode::Force) {
        int32_t running = 0;
        while (start + count < end) {
            running += int32_t(GetCharAdvance(text.GetAt(start + count)));
            if (running >= width)
                break;
            ++count;
        }
    }
    if (out)
        *out = text.Mid(start, count);
    return count;
}

int32_t CFont::DrawWrappedText(CFrameInterface* frame, int32_t x, int32_t y, const CJString& text, int32_t width,
                               int32_t spacing, TextAlign align)
{
    const int32_t length = text.GetLength();
    int32_t height = 0;
    int32_t pos = 0;
    CJString line;
    for (;;) {
        while (pos < length && IsSpace(text.GetAt(pos)))
            ++pos;
        const int32_t count = FitLineAt(text, pos, length, width, frame ? &line : nullptr, FitMode::Force);
        if (count == 0)
            break;
        if (frame)
            DrawText(*frame, x, y + height, line, align);
        height += GetLineHeight() + spacing;
        pos += count;
    }
    return height;
}

CJString CFont::WrapText(const CJString& text, int32_t width, TrailingSpaces trailing)
{
    const int32_t length = text.GetLength();
    CJString result;
    if (text.IsWide())
        result = u"";
    CJString piece;
    int32_t pos = 0;
    for (;;) {
        const int32_t count = FitLineAt(text, pos, length, width, &piece, FitMode::Force);
        if (count == 0)
            break;
        pos += count;
        int32_t breaks = 0;
        if (trailing == TrailingSpaces::Cut) {
            int32_t keep = piece.GetLength();
            while (keep > 0 && (IsSpace(piece.GetAt(keep - 1)) || piece.GetAt(keep - 1) == u'\n')) {
                if (piece.GetAt(keep - 1) == u'\n')
                    ++breaks;
                --keep;
            }
            piece = piece.Left(keep);
        }
        result.Append(piece);
        for (int32_t i = 0; i < breaks; ++i)
            result.Append("\n");
        if (pos < length) {
            const int32_t resultLength = result.GetLength();
            if (resultLength == 0 || result.GetAt(resultLength - 1) != u'\n')
                result.Append("\n");
            else if (trailing == TrailingSpaces::Keep)
                result.Append(" ");
        }
    }
    return result;
}

int32_t CFont::LayOutParagraph(CFrameInterface* frame, int32_t& y, const CJString& text, int32_t start, int32_t end,
                               const SParagraphLayout& layout, int32_t& widest)
{
    int32_t pos = start;
    while (pos < end && IsSpace(text.GetAt(pos)))
        ++pos;
    const int32_t laterLeft = pos < end && text.GetAt(pos) == kBullet ? layout.bulletIndent : layout.laterLeftIndent;
    const int32_t laterWidth = layout.width - laterLeft - layout.laterRightIndent;
    int32_t lineWidth = layout.width - layout.firstIndent - layout.firstRightMargin;
    int32_t indent = layout.firstIndent;
    TextAlign align = layout.firstAlign;
    const int32_t step = GetLineHeight() + layout.lineSpacing;
    int32_t height = 0;
    int32_t lines = 0;
    CJString line;
    for (;;) {
        while (pos < end && IsSpace(text.GetAt(pos)))
            ++pos;
        const FitMode mode = lineWidth >= laterWidth ? FitMode::Force : FitMode::WholeWords;
        const int32_t count = FitLineAt(text, pos, end, lineWidth, &line, mode);
        if (count == 0 && lineWidth >= laterWidth)
            break;
        if (count > 0) {
            // Wide: a box placed near the int32 limits must not wrap.
            int64_t lineX = int64_t(layout.x) + indent;
            if (align == TextAlign::Centre)
                lineX += lineWidth / 2;
            else if (align == TextAlign::Right)
                lineX += lineWidth;
            if (frame)
                DrawText(*frame, int32_t(std::clamp<int64_t>(lineX, INT32_MIN, INT32_MAX)),
                         int32_t(std::clamp<int64_t>(int64_t(y) + height, INT32_MIN, INT32_MAX)), line, align);
            widest = std::max(widest, GetTextWidth(line));
            pos += count;
        }
        ++lines;
        height += step;
        lineWidth = laterWidth;
        indent = laterLeft;
        align = layout.laterAlign;
    }
    y = int32_t(std::clamp<int64_t>(int64_t(y) + height, INT32_MIN, INT32_MAX));
    return lines;
}

int32_t CFont::LayOutParagraphs(CFrameInterface* frame, int32_t& y, const CJString& text,
                                const SParagraphLayout& layout, int32_t& widest)
{
    int32_t lines = 0;
    const int32_t length = text.GetLength();
    int32_t start = 0;
    for (;;) {
        int32_t end = text.FindChar(u'\n', start);
        if (end < 0)
            end = length;
        if (end == start) {
            ++lines;
            y += GetLineHeight() + layout.lineSpacing;
        } else {
            lines += LayOutParagraph(frame, y, text, start, end, layout, widest);
        }
        if (end >= length)
            break;
        start = end + 1;
    }
    return lines;
}

int32_t CFont::DrawWrappedParagraphs(CFrameInterface* frame, int32_t& y, const CJString& text,
                                     const SParagraphLayout& layout)
{
    int32_t widest = 0;
    return LayOutParagraphs(frame, y, text, layout, widest);
}

void CFont::MeasureWrapped(const CJString& text, const SParagraphLayout& layout)
{
    if (m_bLayoutValid && m_pLayoutText == &text && m_Layout == layout && m_LayoutText.Compare(text) == 0
        && m_LayoutText.IsWide() == text.IsWide())
        return;
    int32_t widest = 0;
    int32_t y = 0;
    const int32_t lines = LayOutParagraphs(nullptr, y, text, layout, widest);
    m_pLayoutText = &text;
    m_LayoutText = text;
    m_Layout = layout;
    m_LayoutLines = lines;
    m_LayoutHeight = GetLineHeight() * lines + (lines - 1) * layout.lineSpacing;
    m_LayoutWidth = widest;
    m_bLayoutValid = true;
}

int32_t CFont::GetWrappedTextHeight(const CJString& text, const SParagraphLayout& layout)
{
    MeasureWrapped(text, layout);
    return m_LayoutHeight;
}

int32_t CFont::GetWrappedTextWidth(const CJString& text, const SParagraphLayout& layout)
{
    MeasureWrapped(text, layout);
    return m_LayoutWidth;
}
