#pragma once
// The whole-frame blitters of run-length sources: they walk the planes of a
// run-length frame row by row and hand each row to a row decoder
// (RunLengthRows.h). Five-band 8-bit frames have five planes (0 opaque, 4
// faintest: the main block, then extra blocks 4, 3, 2, 1); two-band 16- and
// 24-bit frames an opaque plane (the main block) and an alpha plane (colour
// in extra block 4, alpha bytes in extra block 3). Every opaque row is drawn
// before any alpha row, plane after plane.
//
// The whole-row decoders are used when the source rectangle spans the
// source's whole width; vertical clipping is by row range only. All
// routines have the BlitFunction form and are registered by the blit types
// that draw run-length frames (AddRunLengthBlits).

#include "blit/CBlitType.h"
#include "blit/RunLengthRows.h"

#include <array>

// 8-bit five-band frames into 8 bits: the blit type's blend level L shifts
// the planes (plane k drawn at level k + L; nothing at level 5).
void BlitRunLength8To8(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                       CBlitType& blitType);
// Into 16 bits, through the palette: level L drops the L faintest planes.
void BlitRunLength8To16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                        CBlitType& blitType);
// Five-band frames into 8 bits through a blit type's own run kernels: as
// BlitRunLength8To8, with slot k (plane k - L) drawn by kernels[k], which
// read tables.
void BlitFiveBandsThrough(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                          CBlitType& blitType, const SBlitTables& tables,
                          const std::array<SPlaneKernels, 5>& kernels);
// RGB565 two-band frames; into 16 bits the opacity selects the by-opacity
// decoders, into 24 and 32 bits it changes nothing.
void BlitRunLength16To16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                         CBlitType& blitType);
void BlitRunLength16To24(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                         CBlitType& blitType);
void BlitRunLength16To32(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                         CBlitType& blitType);
// 24-bit two-band frames; below opacity 1 the by-opacity decoders. Into 32
// bits each destination pixel keeps its fourth byte.
void BlitRunLength24To24(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                         CBlitType& blitType);
void BlitRunLength24To32(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                         CBlitType& blitType);

// Which run-length routines a blit type registers: "Transparent Mask" draws
// every run-length form it has a routine for; "Normal" adds 16-bit frames
// into 24 bits, whose alpha plane it draws opaque. "Normal" keeps the 24-bit
// two-band pairs too: it is the type that unpacks a run-length frame into
// a plain one (CFrame::CopyFrom, the TGA writer, the 32-bit copies of the
// frame cache, textures and frame effects), and a 24-bit two-band frame read
// from a cache would otherwise come out empty.
enum class RunLengthBlitSet : uint8_t { TransparentMask, Normal };
void AddRunLengthBlits(CBlitType& type, RunLengthBlitSet set);
