#include "images/CFontBitmap.h"

#include "blit/CBlitTypeList.h"
#include "foundation/CurrentLoadFile.h"
#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "images/CFrameList.h"
#include "objects/CBoolProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CPropertyDeclarer.h"
#include "objects/ObjectFileCallbacks.h"

#include <algorithm>
#include <cstring>
#include <memory>

OMBRISALT_IMPLEMENT_CLASS(CFontBitmap, 3.0)

namespace {

constexpr int kFontFileEndingLength = 9; // ".FONT.TXT"
constexpr int32_t kRunLengthFilter = 8;
constexpr int32_t kBitDepthFilter = 11;

// The font's file path without ".FONT.TXT", relative to the library's
// folder when it lies inside it, as the library names its entries.
CJString ImageNameInLibrary(const CJString& fontPath, const char* libraryFolder)
{
    CJString name = fontPath.Left(std::max(fontPath.GetLength() - kFontFileEndingLength, 0));
    const int32_t folderLength = libraryFolder ? int32_t(std::strlen(libraryFolder)) : 0;
    if (folderLength > 0 && name.GetLength() > folderLength + 1
        && name.Left(folderLength).CompareNoCase(libraryFolder) == 0
        && (name.GetCharAt(folderLength) == '/' || name.GetCharAt(folderLength) == '\\'))
        name = name.Mid(folderLength + 1);
    return name;
}

bool IsMarked(const CFrame& image, int32_t x, int32_t y)
{
    CColor colour;
    return image.GetPixel(x, y, colour) && colour.GetAlpha() != 0;
}

} // namespace

void CFontBitmap::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CFontBitmap;
    d.Add(&C::m_FirstCode, "Bitmap/First ASCII", 32u).Range(0, 255);
    d.Add(&C::m_LastCode, "Bitmap/Last ASCII", 125u).Range(0, 255);
    d.Add(&C::m_bFixedWidth, "Load/Fixed Width", false);
    d.Add(&C::m_Height, "Height Without Decenders", 0u);
}

CFontBitmap::CFontBitmap()
{
    InitDeclaredProperties();
}

CFontBitmap::~CFontBitmap()
{
    DestroyDeclaredProperties();
}

SGlyphEntry& CFontBitmap::GetGlyph(uint32_t code)
{
    if (!m_Cut) {
        m_Cut = true;
        CJString path;
        if (FindObjectFileName(this, &path)) {
            CFrameList& library = GetFrameLibrary();
            (void)library.GetCount(); // the folder is known once the list is enumerated
            const CJString name = ImageNameInLibrary(path, library.GetFolderName());
            // A missing image is reported as referenced by the font's file.
            CJString& loading = GetCurrentLoadFileName();
            const CJString previous = loading;
            loading = path;
            const int32_t index = library.FindOrReportMissing(name);
            const CFrame* image = library.GetObject(index);
            loading = previous;
            if (image)
                CutGlyphs(*image);
        }
    }
    return CFont::GetGlyph(code);
}

void CFontBitmap::CutGlyphs(const CFrame& image)
{
    m_Cut = true;
    if (m_LastCode < m_FirstCode)
        return;
    const int32_t width = int32_t(image.GetWidth());
    const int32_t height = int32_t(image.GetHeight());
    const int32_t codes = int32_t(m_LastCode - m_FirstCode + 1);
    const int32_t cellWidth = width / codes;
    const bool proportional = !m_bFixedWidth;
    const int32_t glyphHeight = proportional ? height - 1 : height;
    if (glyphHeight <= 0)
        return;

    if (proportional) {
        int32_t y = 0;
        while (y < (height - 1) / 2 && !IsMarked(image, 0, y))
            ++y;
        if (IsMarked(image, 0, y))
            ++y;
        while (y < height - 1 && !IsMarked(image, 0, y))
            ++y;
        m_Height = uint32_t(y);
    } else {
        m_Height = uint32_t(height);
    }

    const int32_t markerRow = height - 1;
    int32_t x = proportional ? 1 : 0;
    int32_t searchFrom = x;
    for (uint32_t code = m_FirstCode; code <= m_LastCode; ++code) {
        std::unique_ptr<CFrame> glyph;
        int32_t end = x;
        if (x < width - 1) {
            if (proportional) {
                end = searchFrom;
                while (end < width && !IsMarked(image, end, markerRow))
                    ++end;
            } else {
                end = std::min(x + cellWidth, width);
            }
            if (end > x) {
                glyph = CFrame::MakeOwned(uint32_t(end - x), uint32_t(glyphHeight), 32);
                if (glyph) {
                    const CRect s{0, 0, width, glyphHeight};
                    const CRect d{-x, 0, width - x, glyphHeight};
                    glyph->Blit(const_cast<CFrame&>(image), s, d, GetNormalBlitType());
                    CFrameFilter chain;
                    chain.AddFilter(kBitDepthFilter);
                    chain.AddFilter(kRunLengthFilter);
                    chain.ApplyAll(*glyph);
                }
            }
        }
        if (!glyph) {
            // Past the last mark (or a mark with no room before it): an empty cell.
            const uint32_t depth = image.GetBitDepth() ? image.GetBitDepth() : 32;
            glyph = CFrame::MakeOwned(uint32_t(std::max(cellWidth, 1)), uint32_t(glyphHeight), depth);
            if (end <= x)
                end = x;
        }
        if (!glyph)
            continue;
        SGlyphEntry& entry = EntryFor(code);
        CacheGlyph(entry, std::move(glyph));
        entry.frame->SetOffset(entry.frame->GetOffsetX(), 0);
        x = end;
        searchFrom = end + 1;
    }
}
