#pragma once
// The whole-frame blit entry shared by every raw routine. CFrame::Blit clips
// both rectangles (the source against the source frame as well as the
// destination) and calls the routine a blit type holds for the two formats;
// the routine builds one SBlitArgs with MakeBlitArgs and hands each row to a
// row function. Row functions and kernels never clip.
//
// A routine's opacity test is IsOpaque (the float compared with exactly 1);
// OpacityRow (args.tables.opacityRow) is row m_Opacity255 of BlendTable
// either way, which at opacity 1 is the identity.

#include "blit/BlitArgs.h"
#include "blit/CBlitType.h"

#include <cstdint>

class CFrameInterface;
struct CRect;

// True only for an opacity of exactly 1.0 (0.999 and NaN are translucent).
bool IsOpaque(const CBlitType& type);

// Fills args for drawing source rectangle s into destination rectangle d of
// two raw frames: row pointers, pitches in bytes, size, the tables at the
// type's opacity and the type's lookup table. False (draw nothing) when a
// rectangle is empty or not the same size as the other, a frame has no
// pixels or is run-length, or a rectangle does not lie inside its frame:
// nothing outside either frame is ever read or written.
bool MakeBlitArgs(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                  CBlitType& type, SBlitArgs& args);

// Calls row once per row of args, advancing both row pointers by their pitch.
void RunRawRows(const SBlitArgs& args, RowFunction row);

// As RunRawRows, but one call for all rows when they are contiguous; only
// for row functions whose pixels do not depend on their place in the row.
void RunRawRowsJoined(const SBlitArgs& args, RowFunction row);

// A blit routine drawing every row with Row.
template <RowFunction Row>
void RawBlit(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d, CBlitType& type)
{
    SBlitArgs args;
    if (MakeBlitArgs(source, s, destination, d, type, args))
        RunRawRows(args, Row);
}

// RawBlit for a row function that works pixel by pixel.
template <RowFunction Row>
void RawBlitJoined(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                   CBlitType& type)
{
    SBlitArgs args;
    if (MakeBlitArgs(source, s, destination, d, type, args))
        RunRawRowsJoined(args, Row);
}

// A blit routine drawing with Opaque at opacity 1 and Translucent otherwise.
template <RowFunction Opaque, RowFunction Translucent>
void RawBlitByOpacity(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                      CBlitType& type)
{
    SBlitArgs args;
    if (MakeBlitArgs(source, s, destination, d, type, args))
        RunRawRows(args, IsOpaque(type) ? Opaque : Translucent);
}

// The palette an 8-bit source is drawn through into 24 or 32 bits: the
// type's lookup table when it holds data, else the source's own palette,
// else the game palette (blue, green, red per index); null when none exists.
const uint8_t* SourcePalette(CFrameInterface& source, CBlitType& type);
