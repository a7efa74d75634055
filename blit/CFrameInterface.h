#pragma once
// The drawing surface that frames in memory, the screen and proxy frames
// share: callers draw through these operations without knowing where the
// pixels land. Coordinates are logical: a surface's pixel buffer starts at
// (GetOffsetX, GetOffsetY), and its bounds are that corner plus its size.
// Rectangles are (left, top, right, bottom), right and bottom exclusive.
// Writes outside a surface are dropped; reads outside answer 0 or false.
//
// CRenderableObject is the other half: a drawable object handed to a
// surface's Render, which lets it draw itself.

#include "blit/CColor.h"
#include "foundation/CRect.h"
#include "foundation/UpwardHook.h"
#include "objects/CObject.h"

#include <cstdint>
#include <memory>

class CBlitType;
class CPalette;
class CFrameInterface;

// Flag bits of a surface (GetFlags), as frame files store them.
// Run-length kind: 0 for plain pixels, else one of the two forms.
inline constexpr uint32_t kFrameFiveBands = 2; // 8-bit, five translucency planes
inline constexpr uint32_t kFrameTwoBands = 4;  // 16 to 32-bit, an opaque and an alpha plane
inline constexpr uint32_t kFrameRunLengthMask = 0x6;
// The storage form the blit registry keys on: the kind and the bit above it.
inline constexpr uint32_t kFrameStorageMask = 0xE;
// Pixel format; none set means no format (bit depth 0).
inline constexpr uint32_t kFrameFormat8 = 0x20;
inline constexpr uint32_t kFrameFormat16 = 0x40;
inline constexpr uint32_t kFrameFormat24 = 0x80;
inline constexpr uint32_t kFrameFormat32 = 0x100;
inline constexpr uint32_t kFrameFormatMask = 0x1E0;
// The pixels, row table and extra blocks live in memory the frame does not own.
inline constexpr uint32_t kFrameBorrowed = 0x4000;

class CRenderableObject : public CObject {
    OMBRISALT_REFLECTED(CRenderableObject, CObject)
public:
    // Flag bit shared by every renderable; the others belong to subclasses.
    static constexpr uint32_t kRespectDestinationAlpha = 2;

    CRenderableObject() = default;
    // Proxies draw changed copies of a renderable: every field is copied.
    CRenderableObject(const CRenderableObject& other)
        : CObject()
        , m_Flags(other.m_Flags)
        , m_Color(other.m_Color)
        , m_X(other.m_X)
        , m_Y(other.m_Y)
        , m_DrawEnabled(other.m_DrawEnabled)
        , m_ClipEnabled(other.m_ClipEnabled)
        , m_ClipRect(other.m_ClipRect)
        , m_DrawnBounds(other.m_DrawnBounds)
    {
    }

    // Draws onto target (or only measures); true when something was drawn.
    virtual bool Render(CFrameInterface& target) = 0;
    // Whether drawing would cover (x, y); out, when given, gets the colour
    // drawn there and is untouched otherwise. The default draws into a
    // one-pixel probe surface (only m_DrawnBounds of this object changes)
    // and counts the probe's own colour, magenta with alpha 0, as not hit.
    virtual bool HitTest(int32_t x, int32_t y, CColor* out) const;

    uint32_t m_Flags = 0;
    CColor m_Color{255, 255, 255, 255};
    float m_X = 0.0f; // position in the destination's logical coordinates
    float m_Y = 0.0f;
    // False: a draw only measures (writes m_DrawnBounds) and touches no pixel.
    bool m_DrawEnabled = true;
    bool m_ClipEnabled = false;
    CRect m_ClipRect{}; // destination coordinates, read while m_ClipEnabled
    // What the last draw covered (or would have); all zero for nothing.
    CRect m_DrawnBounds{};
};

// Makes the one-pixel 32-bit surface whose pixel is the logical point
// (x, y), for CRenderableObject::HitTest; null where none can be made. The
// renderables layer installs it when it registers its classes.
using ProbeSurfaceMaker = std::unique_ptr<CFrameInterface> (*)(int32_t x, int32_t y);
ProbeSurfaceMaker SetProbeSurfaceMaker(ProbeSurfaceMaker maker);
OMBRISALT_UPWARD_HOOK(SetProbeSurfaceMaker);

class CFrameInterface : public CObject {
    OMBRISALT_REFLECTED(CFrameInterface, CObject)
public:
    // Draws source rectangle s of source at rectangle d through the blit
    // type; false when nothing is left after clipping.
    virtual bool Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType) = 0;
    virtual bool Render(CRenderableObject& renderable) = 0;
    virtual void ClearRect(const CRect& rect) = 0;
    virtual void Clear() = 0;
    // Colours are non-const: a colour finds and keeps its palette index on
    // first use in an 8-bit surface.
    virtual void Fill(CColor& colour) = 0;
    virtual void FillBytes(uint8_t value) = 0;
    virtual void FillRect(const CRect& rect, CColor& colour) = 0;
    virtual uint32_t GetBitDepth() const = 0;                     // 8, 16, 24, 32; 0 without a format
    virtual uint32_t GetBytesPerPixel() const = 0;                // 1 to 4; 0 without a format
    virtual uint8_t* GetPixels() const = 0;                       // the pixel buffer or main run-length block
    virtual uint8_t* GetRLEBlock(uint32_t n) const = 0;           // extra block 1 to 4; null otherwise
    virtual const uint32_t* GetRLERowTable(uint32_t n) const = 0; // its row-offset table
    virtual void GetBounds(CRect& out) const = 0;
    // The surface that really holds the pixels.
    virtual CFrameInterface* GetRealFrame() { return this; }
    // The kFrame... bits among others.
    virtual uint32_t GetFlags() const = 0;
    virtual uint32_t GetWidth() const = 0;
    virtual uint32_t GetHeight() const = 0;
    virtual uint32_t GetPitch() const = 0; // pixels from one row to the next
    virtual uint32_t GetWidthLog2() const = 0;
    virtual uint32_t GetHeightLog2() const = 0;
    virtual int32_t GetOffsetX() const = 0;
    virtual int32_t GetOffsetY() const = 0;
    // Entry y: row y's first pixel (plain) or byte offset (run-length).
    virtual const uint32_t* GetRowTable() const = 0;
    virtual void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour) = 0;
    virtual void DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width) = 0;
    // The colour at a logical point; transparent black and false outside.
    virtual bool GetPixel(int32_t x, int32_t y, CColor& out) const = 0;
    virtual uint32_t GetRawPixel(int32_t x, int32_t y) const = 0;
    virtual void SetPixel(int32_t x, int32_t y, CColor& colour) = 0;
    virtual bool HitTest(int32_t x, int32_t y) const = 0;
    // table: 256 palette indices.
    virtual void RemapRect(const CRect& rect, const uint8_t* table) = 0;
    virtual uint8_t GetDrawFlag() const { return 1; }
    virtual void SetDrawFlag(uint8_t) {}
    virtual bool GetMipmapForNative() const { return true; }
    virtual void SetMipmapForNative(bool) {}
    virtual CPalette* GetPalette() const { return nullptr; }
    virtual bool HasPalette() const { return GetPalette() != nullptr; }
};

// Registers the classes of blit/, in a fixed order; idempotent.
void RegisterBlitClasses();
