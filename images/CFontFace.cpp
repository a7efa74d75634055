#include "images/CFontFace.h"

#include "blit/CBlitTypeList.h"
#include "blit/CColor.h"
#include "foundation/FatalError.h"
#include "images/CFrame.h"

#include FT_GLYPH_H

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Glyph cells are refused beyond this many pixels on a side (the largest
// point size, 144, gives cells of about 170).
constexpr int64_t kMaxGlyphSide = 1024;

FT_Library g_FontLibrary = nullptr;
uint32_t g_OpenFaces = 0;
uint8_t g_FontGammaTable[256] = {};
constexpr double kFontGamma = 2.0;

// Releases a glyph copy on every way out of RenderGlyph.
struct CGlyphHolder {
    FT_Glyph glyph = nullptr;
    ~CGlyphHolder()
    {
        if (glyph)
            FT_Done_Glyph(glyph);
    }
};

} // namespace

void BuildFontGammaTable()
{
    const double exponent = 1.0 / kFontGamma;
    for (int i = 0; i < 256; ++i)
        g_FontGammaTable[i] = uint8_t(std::pow(i / 255.0, exponent) * 255.0);
}

const uint8_t* GetFontGammaTable()
{
    return g_FontGammaTable;
}

void ApplyFontGammaToAlpha(CFrameInterface* frame)
{
    if (!frame)
        return;
    const int32_t width = int32_t(frame->GetWidth());
    const int32_t height = int32_t(frame->GetHeight());
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            CColor colour;
            (void)frame->GetPixel(x, y, colour);
            CColor corrected(colour.GetRed(), colour.GetGreen(), colour.GetBlue(),
                             uint8_t(255 - g_FontGammaTable[255 - colour.GetAlpha()]));
            frame->SetPixel(x, y, corrected);
        }
    }
}

unsigned long CFontFace::StreamRead(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count)
{
    if (count == 0)
        return 0;
    auto* file = static_cast<CFile*>(stream->descriptor.pointer);
    (void)file->Seek(int64_t(offset));
    return file->Read(buffer, uint32_t(std::min<unsigned long>(count, 0xFFFFFFFFul)));
}

void CFontFace::StreamClose(FT_Stream stream)
{
    static_cast<CFile*>(stream->descriptor.pointer)->Close();
}

uint32_t CFontFace::SGetOpenFaceCount()
{
    return g_OpenFaces;
}

CFontFace::CFontFace(const char* path, float pointSize)
    : m_PointSize(pointSize)
{
    const char* name = path ? path : "";
    const bool opened = m_File.Open(name, FILE_ARCHIVE_HOST | FILE_OWN_ARCHIVE_HANDLE | FILE_READ);
    if (!g_FontLibrary) {
        BuildFontGammaTable();
        if (FT_Error error = FT_Init_FreeType(&g_FontLibrary)) {
            g_FontLibrary = nullptr;
            FontFatalError("Could not initialize FreeType library", uint32_t(error));
        }
    }
    FT_Error error = 1;
    if (opened) {
        m_Stream.descriptor.pointer = &m_File;
        m_Stream.size = static_cast<unsigned long>(std::max<int64_t>(m_File.GetSize(), 0));
        m_Stream.pos = 0;
        m_Stream.read = &CFontFace::StreamRead;
        m_Stream.close = &CFontFace::StreamClose;
        FT_Open_Args args{};
        args.flags = FT_OPEN_STREAM;
        args.stream = &m_Stream;
        error = FT_Open_Face(g_FontLibrary, &args, 0, &m_Face);
    }
    if (error) {
        m_Face = nullptr;
        // The library stays for the next face; the report ends the program.
        const std::string message = std::string(name) + " is not a font file or could not be opened";
        FontFatalError(message.c_str(), 0);
    }
    const FT_F26Dot6 size = FT_F26Dot6(pointSize * 64.0f);
    FT_Set_Char_Size(m_Face, size, size, 72, 72);
    ++g_OpenFaces;
}

CFontFace::~CFontFace()
{
    if (m_Face) {
        FT_Done_Face(m_Face);
        if (g_OpenFaces > 0 && --g_OpenFaces == 0) {
            FT_Done_FreeType(g_FontLibrary);
            g_FontLibrary = nullptr;
        }
    }
    m_File.Close();
}

bool CFontFace::RenderGlyph(CFrame& frame, uint32_t code, const CColor& colour)
{
    if (FT_Error error = FT_Select_Charmap(m_Face, FT_ENCODING_UNICODE))
        FontFatalError("Invalid charmap.\n", uint32_t(error));
    const FT_UInt index = FT_Get_Char_Index(m_Face, code);
    if (FT_Load_Glyph(m_Face, index, FT_LOAD_NO_BITMAP))
        return false;
    CGlyphHolder holder;
    if (FT_Get_Glyph(m_Face->glyph, &holder.glyph))
        return false;
    // A damaged outline or metrics can claim a cell of any size; FreeType
    // would allocate and rasterise all of it.
    FT_BBox box;
    FT_Glyph_Get_CBox(holder.glyph, FT_GLYPH_BBOX_PIXELS, &box);
    const int64_t ascender = int64_t(m_Face->size->metrics.ascender >> 6);
    // FreeType counts the descender downward as negative; the cell holds both.
    const int64_t descender = -int64_t(m_Face->size->metrics.descender >> 6);
    const int64_t advance = int64_t(m_Face->glyph->advance.x >> 6);
    if (int64_t(box.xMax) - box.xMin > kMaxGlyphSide || int64_t(box.yMax) - box.yMin > kMaxGlyphSide
        || advance > kMaxGlyphSide || ascender + descender > kMaxGlyphSide || ascender < -kMaxGlyphSide
        || descender < -kMaxGlyphSide)
        return false;
    if (FT_Glyph_To_Bitmap(&holder.glyph, FT_RENDER_MODE_NORMAL, nullptr, 1))
        return false;

    if (m_GlyphTop == 0)
        m_GlyphTop = uint32_t(std::max(ascender, int64_t(0)));

    auto* bitmapGlyph = reinterpret_cast<FT_BitmapGlyph>(holder.glyph);
    const FT_Bitmap& bitmap = bitmapGlyph->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
        return false;
    std::unique_ptr<CFrame> work;
    if (bitmap.width > 0 && bitmap.rows > 0) {
        work = CFrame::MakeOwned(bitmap.width, bitmap.rows, 32);
        if (!work)
            return false;
        for (uint32_t y = 0; y < bitmap.rows; ++y) {
            const uint8_t* coverage = bitmap.buffer + ptrdiff_t(y) * bitmap.pitch;
            uint8_t* row = work->Row(y);
            for (uint32_t x = 0; x < bitmap.width; ++x) {
                row[x * 4 + 0] = colour.GetBlue();
                row[x * 4 + 1] = colour.GetGreen();
                row[x * 4 + 2] = colour.GetRed();
                row[x * 4 + 3] = coverage[x];
            }
        }
    }
    const uint32_t width = uint32_t(std::max({int64_t(bitmap.width), advance, int64_t(1)}));
    const uint32_t height = uint32_t(std::max({ascender + descender, int64_t(bitmap.rows), int64_t(1)}));
    if (!frame.Create(width, height, 32))
        return false;
    if (work) {
        const int32_t x = bitmapGlyph->left;
        const int32_t y = int32_t(ascender) - bitmapGlyph->top;
        const CRect s{0, 0, int32_t(bitmap.width), int32_t(bitmap.rows)};
        const CRect d{x, y, x + s.right, y + s.bottom};
        frame.Blit(*work, s, d, GetNormalBlitType());
    }
    frame.SetOffset(frame.GetOffsetX(), 0);
    return true;
}
