#include "blit/CBlitBlackBias.h"

#include "blit/BlitReport.h"
#include "blit/CBlitTrans.h"
#include "blit/FrameBlit.h"
#include "blit/GamePalette.h"
#include "blit/KernelTable.h"
#include "blit/RunLengthBlit.h"

#include <cstring>

namespace {

void RowLookupSourceFirst(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const uint8_t* table = args.tables.lookupTable;
    for (uint32_t i = 0; i < count; ++i)
        dst[i] = table[src[i] * 256u + dst[i]];
}

void RowCopy16(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    std::memcpy(dst, src, size_t(count) * 2);
}

// The group kernels take any count; runs of a multiple of four keep every
// group of the row whole, so the row blends exactly as one long run.
void RowOpacityGroups16(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const RunKernel kernel = GetKernel(KernelRow::OpacityBlend16Group, kKernelEntries - 1);
    constexpr uint32_t kStep = 60;
    for (uint32_t done = 0; done < count; done += kStep) {
        const uint32_t n = count - done < kStep ? count - done : kStep;
        SRun run;
        run.dst = dst + 2 * done;
        run.src = src + 2 * done;
        kernel(args, run, n);
    }
}

void RowCopy32(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    std::memcpy(dst, src, size_t(count) * 4);
}

// Five-band plane kernels of level Level: dst = table[row + dst], where row
// is the table row of the source index faded to the level (fadedRows).
template <uint32_t Level>
void FadedRun8(const SBlitArgs& args, const SRun& run, uint32_t count)
{
    const uint8_t* table = args.tables.lookupTable;
    const uint32_t* rows = args.tables.fadedRows + Level * 256;
    for (uint32_t i = 0; i < count; ++i)
        run.dst[i] = table[rows[run.src[i]] + run.dst[i]];
}

template <uint32_t Level>
void FadedRun8Fill(const SBlitArgs& args, const SRun& run, uint32_t count)
{
    const uint8_t* row = args.tables.lookupTable + args.tables.fadedRows[Level * 256 + (run.value & 0xFF)];
    for (uint32_t i = 0; i < count; ++i)
        run.dst[i] = row[run.dst[i]];
}

constexpr std::array<SPlaneKernels, 5> kFadedKernels = {{
    {FadedRun8<0>, FadedRun8Fill<0>},
    {FadedRun8<1>, FadedRun8Fill<1>},
    {FadedRun8<2>, FadedRun8Fill<2>},
    {FadedRun8<3>, FadedRun8Fill<3>},
    {FadedRun8<4>, FadedRun8Fill<4>},
}};

} // namespace

void BlackBiasRunLength8To8(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                            CBlitType& type)
{
    SBlitTables tables = MakeBlitTables(type.GetOpacity255());
    const CArrayPOD<uint8_t>* lookup = type.GetLookupTable();
    tables.lookupTable = lookup && lookup->GetCount() >= 65536 ? lookup->GetData() : nullptr;
    if (!tables.lookupTable) {
        ReportMissingTable(MissingTable::TypeLookupTable);
        return;
    }
    BlitFiveBandsThrough(source, s, destination, d, type, tables, kFadedKernels);
}

void BlackBiasBlit8To8(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                       CBlitType& type)
{
    SBlitArgs args;
    if (!MakeBlitArgs(source, s, destination, d, type, args))
        return;
    // A source palette is no 256 x 256 table: without the type's own table
    // nothing is drawn.
    if (!args.tables.lookupTable) {
        ReportMissingTable(MissingTable::TypeLookupTable);
        return;
    }
    RunRawRows(args, &RowLookupSourceFirst);
}

void BlackBiasBlit16To16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                         CBlitType& type)
{
    RawBlitByOpacity<&RowCopy16, &RowOpacityGroups16>(source, s, destination, d, type);
}

void StraightBlit32To32(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                        CBlitType& type)
{
    RawBlitJoined<&RowCopy32>(source, s, destination, d, type);
}

CBlitBlackBias::CBlitBlackBias()
{
    AddBlitFunction(8, 0, 8, 0, &BlackBiasBlit8To8);
    AddBlitFunction(16, 0, 16, 0, &BlackBiasBlit16To16);
    AddBlitFunction(32, 0, 16, 0, &TransBlit32To16);
    AddBlitFunction(24, 0, 24, 0, &TransBlit24To24);
    AddBlitFunction(32, 0, 24, 0, &TransBlit32To24);
    AddBlitFunction(32, 0, 32, 0, &StraightBlit32To32);
    AddBlitFunction(8, 2, 8, 0, &BlackBiasRunLength8To8);
    AddBlitFunction(16, 4, 16, 0, &BlitRunLength16To16);
    AddBlitFunction(24, 4, 24, 0, &BlitRunLength24To24);
}
