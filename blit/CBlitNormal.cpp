#include "blit/CBlitNormal.h"

#include "blit/ArgbRows.h"
#include "blit/BlitReport.h"
#include "blit/CBlitBlackBias.h"
#include "blit/CBlitTrans.h"
#include "blit/ColorTables.h"
#include "blit/FrameBlit.h"
#include "blit/KernelLookupTables.h"
#include "blit/PixelBlends.h"
#include "blit/RunLengthBlit.h"
#include "blit/WidenRows.h"

#include <cstring>

namespace {

inline uint16_t Load16(const uint8_t* p)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

inline void Store16(uint8_t* p, uint16_t v)
{
    std::memcpy(p, &v, 2);
}

void RowCopy8(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    std::memcpy(dst, src, count);
}

void RowBlend8A(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const uint8_t* table = args.tables.blendTable8A;
    if (!table) {
        ReportMissingTable(MissingTable::BlendTable8A);
        return;
    }
    for (uint32_t i = 0; i < count; ++i)
        dst[i] = table[dst[i] * 256u + src[i]];
}

void Row8To565(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const uint16_t* palette = args.tables.palette565;
    if (!palette) {
        ReportMissingTable(MissingTable::Palette565);
        return;
    }
    for (uint32_t i = 0; i < count; ++i)
        Store16(dst + 2 * i, palette[src[i]]);
}

void Row8To24(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const uint8_t* palette = args.tables.palette;
    if (!palette) {
        ReportMissingTable(MissingTable::Palette);
        return;
    }
    for (uint32_t i = 0; i < count; ++i, dst += 3) {
        std::memcpy(dst, palette + 3 * src[i], 3);
    }
}

void Row565To8(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const uint8_t* inverse = InversePalette565.GetCount() >= 65536 ? InversePalette565.GetData() : nullptr;
    if (!inverse) {
        ReportMissingTable(MissingTable::InversePalette565);
        return;
    }
    for (uint32_t i = 0; i < count; ++i)
        dst[i] = inverse[Load16(src + 2 * i)];
}

void RowCopy16(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    std::memcpy(dst, src, size_t(count) * 2);
}

void RowOpacity16(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const uint8_t o = uint8_t(args.tables.opacityRow[255]);
    for (uint32_t i = 0; i < count; ++i)
        Store16(dst + 2 * i, BlendPixel565(Load16(dst + 2 * i), Load16(src + 2 * i), o));
}

void Row565To24(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        Widen565(Load16(src + 2 * i), dst + 3 * i);
}

void Row24To8(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const uint8_t* inverse = InversePalette555.GetCount() >= 32768 ? InversePalette555.GetData() : nullptr;
    if (!inverse) {
        ReportMissingTable(MissingTable::InversePalette555);
        return;
    }
    const CColorTables& t = GetColorTables();
    for (uint32_t i = 0; i < count; ++i, src += 3)
        dst[i] = inverse[t.Red555[src[2]] + t.Green5[src[1]] + t.Blue5[src[0]]];
}

void Row24To565(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const CColorTables& t = GetColorTables();
    for (uint32_t i = 0; i < count; ++i, src += 3)
        Store16(dst + 2 * i, uint16_t(t.Red565[src[2]] + t.Green6[src[1]] + t.Blue5[src[0]]));
}

// Truncates each channel, unlike the table rounding of 24 to 16.
void Row32To565(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i, src += 4)
        Store16(dst + 2 * i, uint16_t((src[2] >> 3) << 11 | (src[1] >> 2) << 5 | src[0] >> 3));
}

void Row32To24(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i, dst += 3, src += 4)
        std::memcpy(dst, src, 3);
}

template <RowFunction Row>
void PaletteBlit(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d, CBlitType& type)
{
    SBlitArgs args;
    if (!MakeBlitArgs(source, s, destination, d, type, args))
        return;
    args.tables.palette = SourcePalette(source, type);
    RunRawRowsJoined(args, Row);
}

// Each index's pixel made once per blit instead of once per pixel.
void Palette32Blit(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                   CBlitType& type)
{
    SBlitArgs args;
    if (!MakeBlitArgs(source, s, destination, d, type, args))
        return;
    uint32_t pixels[256];
    if (const uint8_t* palette = SourcePalette(source, type)) {
        for (uint32_t i = 0; i < 256; ++i)
            pixels[i] = uint32_t(palette[3 * i]) | uint32_t(palette[3 * i + 1]) << 8
                | uint32_t(palette[3 * i + 2]) << 16 | 0xFF000000u;
        args.tables.palette32 = pixels;
    }
    RunRawRowsJoined(args, &RowIndex8To32);
}

} // namespace

void NormalBlit16To16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                      CBlitType& type)
{
    RawBlitByOpacity<&RowCopy16, &RowOpacity16>(source, s, destination, d, type);
}

CBlitNormal::CBlitNormal()
{
    AddBlitFunction(8, 0, 8, 0, &RawBlitByOpacity<&RowCopy8, &RowBlend8A>);
    AddBlitFunction(8, 0, 16, 0, &RawBlitJoined<&Row8To565>);
    AddBlitFunction(8, 0, 24, 0, &PaletteBlit<&Row8To24>);
    AddBlitFunction(8, 0, 32, 0, &Palette32Blit);
    AddBlitFunction(16, 0, 8, 0, &RawBlitJoined<&Row565To8>);
    AddBlitFunction(16, 0, 16, 0, &NormalBlit16To16);
    AddBlitFunction(16, 0, 24, 0, &RawBlitJoined<&Row565To24>);
    AddBlitFunction(16, 0, 32, 0, &TransBlit16To32);
    AddBlitFunction(24, 0, 8, 0, &RawBlitJoined<&Row24To8>);
    AddBlitFunction(24, 0, 16, 0, &RawBlitJoined<&Row24To565>);
    AddBlitFunction(24, 0, 24, 0, &TransBlit24To24);
    AddBlitFunction(24, 0, 32, 0, &TransBlit24To32);
    AddBlitFunction(32, 0, 16, 0, &RawBlitJoined<&Row32To565>);
    AddBlitFunction(32, 0, 24, 0, &RawBlitByOpacity<&Row32To24, &RowArgbOver24Scaled>);
    AddBlitFunction(32, 0, 32, 0, &StraightBlit32To32);
    AddRunLengthBlits(*this, RunLengthBlitSet::Normal);
}
