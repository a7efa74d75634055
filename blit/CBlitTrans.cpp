#include "blit/CBlitTrans.h"

#include "blit/ArgbRows.h"
#include "blit/BlitReport.h"
#include "blit/FrameBlit.h"
#include "blit/KernelTable.h"
#include "blit/RunLengthBlit.h"
#include "blit/WidenRows.h"

#include <cstring>

namespace {

void Row8SkipZero(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        if (src[i] != 0)
            dst[i] = src[i];
}

void Row8To565SkipZero(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const uint16_t* palette = args.tables.palette565;
    if (!palette) {
        ReportMissingTable(MissingTable::Palette565);
        return;
    }
    for (uint32_t i = 0; i < count; ++i)
        if (src[i] != 0)
            std::memcpy(dst + 2 * i, &palette[src[i]], 2);
}

void Row16SkipZero(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        if (src[2 * i] != 0 || src[2 * i + 1] != 0)
            std::memcpy(dst + 2 * i, src + 2 * i, 2);
}

void Row24Copy(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    std::memcpy(dst, src, size_t(count) * 3);
}

template <RowFunction Row>
void PaletteBlit(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d, CBlitType& type)
{
    SBlitArgs args;
    if (!MakeBlitArgs(source, s, destination, d, type, args))
        return;
    args.tables.palette = SourcePalette(source, type);
    RunRawRows(args, Row);
}

void TintedBlit(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d, CBlitType& type,
                RowFunction opaqueRow)
{
    SBlitArgs args;
    if (!MakeBlitArgs(source, s, destination, d, type, args))
        return;
    args.tables.tintColor = static_cast<CBlitTransTinted&>(type).GetTintColor();
    RunRawRows(args, IsOpaque(type) ? opaqueRow : &RowArgbOver32Scaled);
}

void TintedOverBlit(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                    CBlitType& type)
{
    TintedBlit(source, s, destination, d, type, &RowArgbTintedOver32);
}

void TintedAddBlit(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                   CBlitType& type)
{
    TintedBlit(source, s, destination, d, type, &RowArgbTintedAdd32);
}

} // namespace

void TransBlit8To8(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                   CBlitType& type)
{
    RawBlitJoined<&Row8SkipZero>(source, s, destination, d, type);
}

void TransBlit8To16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                    CBlitType& type)
{
    RawBlitJoined<&Row8To565SkipZero>(source, s, destination, d, type);
}

void TransBlit8To24(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                    CBlitType& type)
{
    PaletteBlit<&PaletteRowTo24>(source, s, destination, d, type);
}

void TransBlit8To32(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                    CBlitType& type)
{
    PaletteBlit<&PaletteRowTo32>(source, s, destination, d, type);
}

void TransBlit16To16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type)
{
    RawBlitJoined<&Row16SkipZero>(source, s, destination, d, type);
}

void TransBlit16To24(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type)
{
    RawBlitJoined<&Row565To24SkipBlack>(source, s, destination, d, type);
}

void TransBlit16To32(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type)
{
    RawBlitJoined<&Row565To32>(source, s, destination, d, type);
}

void TransBlit24To24(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type)
{
    RawBlitJoined<&Row24Copy>(source, s, destination, d, type);
}

void TransBlit24To32(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type)
{
    RawBlitJoined<&RowRgb24To32>(source, s, destination, d, type);
}

void TransBlit32To16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type)
{
    RawBlitJoined<&RowArgbOver565>(source, s, destination, d, type);
}

void TransBlit32To24(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type)
{
    RawBlitByOpacity<&RowArgbOver24, &RowArgbOver24Scaled>(source, s, destination, d, type);
}

void TransBlit32To32(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type)
{
    RawBlitByOpacity<&RowArgbMask32, &RowArgbMask32Scaled>(source, s, destination, d, type);
}

CBlitTrans::CBlitTrans()
{
    AddBlitFunction(8, 0, 8, 0, &TransBlit8To8);
    AddBlitFunction(8, 0, 16, 0, &TransBlit8To16);
    AddBlitFunction(8, 0, 24, 0, &TransBlit8To24);
    AddBlitFunction(8, 0, 32, 0, &TransBlit8To32);
    AddBlitFunction(16, 0, 16, 0, &TransBlit16To16);
    AddBlitFunction(16, 0, 24, 0, &TransBlit16To24);
    AddBlitFunction(16, 0, 32, 0, &TransBlit16To32);
    AddBlitFunction(24, 0, 24, 0, &TransBlit24To24);
    AddBlitFunction(24, 0, 32, 0, &TransBlit24To32);
    AddBlitFunction(32, 0, 24, 0, &TransBlit32To24);
    AddBlitFunction(32, 0, 32, 0, &TransBlit32To32);
    AddBlitFunction(32, 0, 16, 0, &TransBlit32To16);
    AddRunLengthBlits(*this, RunLengthBlitSet::TransparentMask);
}

CBlitTransBlendMultColor::CBlitTransBlendMultColor()
{
    AddBlitFunction(32, 0, 32, 0, &TintedOverBlit);
}

CBlitTransBlendAddColor::CBlitTransBlendAddColor()
{
    AddBlitFunction(32, 0, 32, 0, &TintedAddBlit);
}
