#pragma once
// A blit type: a shared strategy saying how one frame is drawn into another.
// It holds one blit routine per (source format, source run-length form,
// destination format, destination run-length form), an opacity that callers
// set and restore around a draw, and an optional lookup table (a palette for
// 8-bit sources, or a blend table). A frame's Blit clips both rectangles,
// asks GetBlitFunction for the routine that fits the two frames and calls it.
//
// Lookups remember the last key (found or not), so drawing one kind of frame
// into another many times costs one comparison.

#include "foundation/CArrayPOD.h"
#include "foundation/CRect.h"

#include <cstdint>
#include <vector>

class CFileBuf;
class CFrameInterface;
class CBlitType;

// Draws source rectangle s of the source into rectangle d of the destination;
// both are clipped, in pixel coordinates and of one size.
using BlitFunction = void (*)(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                              CBlitType& blitType);

struct CBlitFuncInfo {
    uint32_t sourceDepth; // 8, 16, 24 or 32
    uint32_t sourceRle;   // storage form (kFrameStorageMask): 0, 2 or 4
    uint32_t destinationDepth;
    uint32_t destinationRle;
    BlitFunction function;
};

// The bit depth the format bits of a flag word name; 0 for none.
uint32_t BitDepthFromFlags(uint32_t flags);

class CBlitType {
public:
    CBlitType();
    CBlitType(const CBlitType&) = delete;
    CBlitType& operator=(const CBlitType&) = delete;
    virtual ~CBlitType();

    // The routine for drawing source into destination; null when none fits.
    virtual BlitFunction GetBlitFunction(const CFrameInterface& source, const CFrameInterface& destination);
    virtual CArrayPOD<uint8_t>* GetLookupTable() { return &m_LookupTable; }
    // The opacity as 4 bytes (a little-endian float).
    virtual void WriteState(CFileBuf& buffer);
    // Reads 4 bytes into the opacity as SetOpacity would store it; a short
    // read leaves the type unchanged.
    virtual void ReadState(CFileBuf& buffer);
    // False for types whose source rectangle is not a same-size window of
    // the source (scaling, tiling), which the frame must not cut to it.
    virtual bool DrawsAtSourceSize() const { return true; }

    // Replaces the routine of an equal key, else appends one.
    void AddBlitFunction(uint32_t sourceDepth, uint32_t sourceRle, uint32_t destinationDepth, uint32_t destinationRle,
                         BlitFunction function);
    // The same lookup by flag words.
    BlitFunction FindBlitFunction(uint32_t sourceFlags, uint32_t destinationFlags);

    // Opacity 0..1. The derived 0-255 opacity is the nearest integer of
    // opacity * 255 (single precision, ties to even), held to 0..255 (NaN
    // gives 0) so no table is indexed outside; the level follows LevelTable.
    void SetOpacity(float opacity);
    float GetOpacity() const { return m_Opacity; }
    uint32_t GetOpacity255() const { return m_Opacity255; }
    uint32_t GetBlendLevel() const { return m_BlendLevel; }
    const std::vector<CBlitFuncInfo>& GetBlitFunctions() const { return m_BlitFunctions; }

private:
    CArrayPOD<uint8_t> m_LookupTable;
    std::vector<CBlitFuncInfo> m_BlitFunctions;
    float m_Opacity = 1.0f;
    uint32_t m_BlendLevel = 0;
    uint32_t m_Opacity255 = 255;
    uint32_t m_CachedKey = 0;
    BlitFunction m_CachedFunction = nullptr;
};

// Sets a blit type's opacity for one scope: blit types are shared, so a draw
// that fades one blit must leave the next caller the opacity it found.
class CScopedBlitOpacity {
public:
    CScopedBlitOpacity(CBlitType& type, float opacity)
        : CScopedBlitOpacity(type, opacity, type.GetOpacity())
    {
    }
    // Leaves `after` instead, for callers whose contract names the opacity
    // the type keeps.
    CScopedBlitOpacity(CBlitType& type, float opacity, float after)
        : m_Type(type)
        , m_After(after)
    {
        type.SetOpacity(opacity);
    }
    CScopedBlitOpacity(const CScopedBlitOpacity&) = delete;
    CScopedBlitOpacity& operator=(const CScopedBlitOpacity&) = delete;
    ~CScopedBlitOpacity() { m_Type.SetOpacity(m_After); }

private:
    CBlitType& m_Type;
    float m_After;
};
