#pragma once
// Run-length encoding of frames (build filter kind 8): the plain pixels
// become blocks of skips, copies and fills (blit/RunLengthRows.h) that the
// blitter draws without touching transparent pixels. Transparent is 0 at 8
// and 16 bits and alpha 0 at 32 bits.
//
// Forms: 8-bit frames, five-band (kind 2), main block only. 16-bit frames,
// two-band (kind 4), main block only. 32-bit frames (24-bit ones are made
// 32-bit first) are split into alpha bands, each band its own block:
//   five bands: main 229 < a <= 255, extra 4 178-229, 3 127-178, 2 76-127,
//               1 25-76, a <= 25 dropped;
//   two bands:  main 250 < a <= 255, extra 4 and 3 both 5 < a <= 250 (3 is
//               turned into the band's alpha bytes), a <= 5 dropped.
// Packets of 32-bit frames hold 4-byte pixels until the bit-depth filter
// converts them.
//
// What is encoded follows the target depth (the bit-depth filter's, else
// the chain's, else the build depth), so that every frame it leaves can be
// drawn at that depth: 8-bit frames only for target 8; 16-bit frames for
// targets 16, 24 and 32; 32-bit frames for target 8 (five bands, or two
// bands in mode 1) and 16 (two bands). Anything else is refused (false) with
// the frame unchanged. Without a bit-depth filter behind it the encoder
// converts its 4-byte blocks to the target itself.

#include "images/CFrameFilter.h"

#include <cstdint>

struct SRunLengthBlock;

// Process-wide settings: the switch (off at start) and the minimum fill: a
// fill packet is written only for a run longer than it (64: never). Each
// Set answers the value it replaces.
bool SetRunLengthEncodingEnabled(bool enabled);
bool IsRunLengthEncodingEnabled();
uint32_t SetRunLengthMinFill(uint32_t minimumFill);
uint32_t GetRunLengthMinFill();

// When two pixels count as one for a fill. None writes copies only.
enum class RunLengthEquality : uint8_t { Identical, PaletteEntry, Rgb565, Rgb565Alpha5, None };

// One block of a plain 8-, 16- or 32-bit frame, pixels as stored. Appends to
// nothing: the frame is not changed.
SRunLengthBlock EncodeRunLengthBlock(const CFrame& frame, RunLengthEquality equality);

class CFilterRLEColor0 : public CFrameFilter {
public:
    enum class Mode : uint32_t { FiveBands = 0, TwoBands = 1 };
    explicit CFilterRLEColor0(Mode mode)
        : CFrameFilter(8)
        , m_Mode(mode)
    {
    }
    std::unique_ptr<CFrameFilter> Clone() const override;
    bool Apply(CFrame& frame, const CRect& rect) override;
    Mode GetMode() const { return m_Mode; }

private:
    Mode m_Mode;
};
