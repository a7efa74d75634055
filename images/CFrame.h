#pragma once
// CFrame, the engine's image in memory: pixels in one of four formats, a hot
// spot, and optionally a run-length form that replaces the plain pixels.
//
// Formats (format bits of the flag word): 0x20 8-bit palette index (0 is
// transparent), 0x40 RGB565 (red in the top bits; 0 is transparent), 0x80
// three bytes blue, green, red, 0x100 four bytes blue, green, red, alpha.
// Rows are stored top to bottom, left to right. Row table entry y is the
// index, in pixels, of row y's first pixel, so the pitch is entry 1; the
// table always has max(height, 2) entries.
//
// The frame's pixel (0, 0) lies at frame coordinates (offset x, offset y),
// measured from the hot spot; every operation taking coordinates subtracts
// the offset first.
//
// Run-length form (kind 2, five bands; kind 4, two bands): the pixels become
// a main block plus up to four extra blocks, each a u32 total size followed
// by the rows, with a row table of byte offsets into the block. Such a frame
// is read and hit-tested but never drawn into.
//
// Frames own their memory unless made with MakeBorrowed (or given borrowed
// blocks by a cache reader): then the pixels and blocks belong to someone
// else, who keeps them alive while the frame lives.

#include "blit/CFrameInterface.h"
#include "foundation/CRect.h"
#include "foundation/UpwardHook.h"

#include <array>
#include <cstdint>
#include <memory>

class CFrameFilter;
class CFrameImageIO;
class CPalette;

// One run-length block as a builder hands it to a frame.
struct SRunLengthBlock {
    std::unique_ptr<uint8_t[]> data;  // starts with its u32 total size
    uint32_t size = 0;                // bytes allocated
    std::unique_ptr<uint32_t[]> rows; // one byte offset per frame row
};

class CFrame : public CFrameInterface {
    OMBRISALT_REFLECTED(CFrame, CFrameInterface)
public:
    // An empty frame: no pixels, no format.
    CFrame();
    ~CFrame() override;
    // The frame's preview (CustomEditorHooks).
    void AddCustomEditors(CObjectEditor* editor) override;

    // A plain frame of that size and depth, zeroed; null when Create refuses.
    static std::unique_ptr<CFrame> MakeOwned(uint32_t width, uint32_t height, uint32_t depth);
    // A plain frame over pixels it does not own, rows pitch pixels apart
    // (pitch >= width); null for a bad depth, size or pitch.
    static std::unique_ptr<CFrame> MakeBorrowed(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t depth,
                                                uint32_t pitch);

    // Makes the frame plain, width x height at depth 8, 16, 24 or 32,
    // zeroed, offset (0, 0). The same size and depth of a plain frame with
    // pixels keep the pixels. Refused (false, frame left empty) for an
    // unknown depth, a side above 65535 or a buffer above 4 GB.
    bool Create(uint32_t width, uint32_t height, uint32_t depth);
    // Releases all pixel data; the frame has no format afterwards.
    void Free();
    // Owned buffers already have exactly their size; kept for callers that
    // run it after building.
    void Compact() {}
    // Replaces the plain pixels by a run-length form; false (frame
    // unchanged) unless ValidRunLengthForm accepts it for the frame's depth
    // and size. The one way run-length data enters a frame, so every block
    // is checked once and drawn unchecked afterwards.
    bool TakeRunLengthForm(uint32_t kind, SRunLengthBlock main, std::array<SRunLengthBlock, 4> extra);

    // Row y of a plain frame, or null (no pixels, run-length, y outside).
    uint8_t* Row(uint32_t y);
    const uint8_t* Row(uint32_t y) const;

    // 8, 16, 24 or 32 set the format bits; anything else clears them.
    void SetBitDepth(uint32_t depth);
    void SetOffset(int16_t x, int16_t y);
    // Moves the offset and drops the derived per-frame data (palette holder
    // and the like), which is made again when next asked for.
    void MoveOffset(int16_t dx, int16_t dy);
    bool IsCompressed() const { return (m_Flags & kFrameRunLengthMask) != 0; }
    bool IsBorrowed() const { return (m_Flags & kFrameBorrowed) != 0; }

    // 8-bit: any non-zero index; 24-bit: any non-black pixel; 32-bit: any
    // non-zero alpha; other frames answer false.
    bool HasVisiblePixels() const;
    // The smallest pixel rectangle (offset not applied) holding every opaque
    // pixel (alpha 8 or more at 32 bits, a non-zero raw pixel otherwise);
    // the whole frame when none is.
    void GetOpaqueBounds(CRect& out) const;
    // Another frame interface: this becomes a plain frame of its size and
    // depth holding its pixels, its palette and its offset. Other objects go
    // to CObject's copy.
    void CopyFrom(CObject* other) override;
    uint32_t GetMemorySize() override;

    // The process-wide depth frames are built for; 8 until set (0 also
    // stands for 8). Set answers the value it replaces.
    static uint32_t SGetBitDepth();
    static uint32_t SetGlobalBitDepth(uint32_t depth);

    // CFrameInterface.
    bool Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType) override;
    // Draws source rectangle s into d, both in pixel coordinates and
    // clipped; drawing into a run-length frame is a fatal error.
    void BlitToFrame(CFrameInterface& source, const CRect& s, const CRect& d, CBlitType& blitType);
    bool Render(CRenderableObject& renderable) override;
    void ClearRect(const CRect& rect) override;
    void Clear() override;
    void Fill(CColor& colour) override;
    void FillBytes(uint8_t value) override;
    void FillRect(const CRect& rect, CColor& colour) override;
    uint32_t GetBitDepth() const override;
    uint32_t GetBytesPerPixel() const override;
    uint8_t* GetPixels() const override { return m_Pixels; }
    uint8_t* GetRLEBlock(uint32_t n) const override;
    const uint32_t* GetRLERowTable(uint32_t n) const override;
    void GetBounds(CRect& out) const override;
    uint32_t GetFlags() const override { return m_Flags; }
    uint32_t GetWidth() const override { return m_Width; }
    uint32_t GetHeight() const override { return m_Height; }
    uint32_t GetPitch() const override { return m_RowTable ? m_RowTable[1] : 0; }
    uint32_t GetWidthLog2() const override { return m_WidthLog2; }
    uint32_t GetHeightLog2() const override { return m_HeightLog2; }
    int32_t GetOffsetX() const override { return m_OffsetX; }
    int32_t GetOffsetY() const override { return m_OffsetY; }
    const uint32_t* GetRowTable() const override { return m_RowTable; }
    // Bresenham between the end points (both drawn) after clipping to the
    // frame; no blending.
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour) override;
    // 8-, 16- and 24-bit frames: the one-pixel anti-aliased line, whatever
    // the width; other frames through the installed float line drawer,
    // nothing without one.
    void DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width) override;
    bool GetPixel(int32_t x, int32_t y, CColor& out) const override;
    uint32_t GetRawPixel(int32_t x, int32_t y) const override;
    void SetPixel(int32_t x, int32_t y, CColor& colour) override;
    // Plain frames: the top byte of the raw pixel is above 5 (so only 32-bit
    // frames hit); run-length frames: a drawn packet covers the point.
    bool HitTest(int32_t x, int32_t y) const override;
    void RemapRect(const CRect& rect, const uint8_t* table) override;
    uint8_t GetDrawFlag() const override { return m_DrawFlag; }
    void SetDrawFlag(uint8_t flag) override { m_DrawFlag = flag; }
    CPalette* GetPalette() const override;

    // Builds the frame from its source image in the folder, or reads it from
    // its cache file (images/FrameCache.h); false when neither works.
    virtual bool Load(const char* folder, const char* name, CFrameFilter* chain, uint32_t ignored, uint32_t fileFlags);
    // The frame object of folder/name: the object file "name.txt" when it
    // holds one, else a new object of the class (CFrame without one); then
    // loaded. Null when the load fails.
    static CFrame* SLoadFrame(const char* folder, const char* name, uint32_t fileFlags, CClassInfo* frameClass);

private:
    // Builds from the source image, then writes the cache dated by the source.
    bool BuildFromSource(CFrameImageIO& source, const char* folder, const char* name, const char* properties,
                         CFrameFilter* chain, uint32_t fileFlags);
    void SetUpDimensions(uint32_t pitch);
    bool ToPixelRect(const CRect& rect, CRect& out) const;

    int16_t m_OffsetX = 0;
    int16_t m_OffsetY = 0;
    uint8_t* m_Pixels = nullptr;
    uint8_t m_WidthLog2 = 0;
    uint8_t m_HeightLog2 = 0;
    uint16_t m_Width = 0;
    uint16_t m_Height = 0;
    uint32_t* m_RowTable = nullptr;
    std::array<uint8_t*, 4> m_ExtraBlocks{};
    std::array<uint32_t*, 4> m_ExtraRows{};
    uint32_t m_Flags = 0;
    uint8_t m_DrawFlag = 1;
    // Storage the pointers above point into, unless they are borrowed:
    // index 0 the pixels or main block, 1 to 4 the extra blocks.
    std::array<std::unique_ptr<uint8_t[]>, 5> m_OwnedBlocks;
    std::array<std::unique_ptr<uint32_t[]>, 5> m_OwnedRows;
};

// A run-length form a frame of that depth and size may take: kind 2 at 8
// bits, kind 4 at 16 or 24 bits (extra block 3 the alpha bytes of extra block
// 4, extra blocks 1 and 2 null), either at 32 bits while being built (4-byte
// pixels in every block); each block's size header equal to its allocation
// and every row well formed (RunLengthRows.h).
bool ValidRunLengthForm(uint32_t depth, uint32_t width, uint32_t height, uint32_t kind, const SRunLengthBlock& main,
                        const std::array<SRunLengthBlock, 4>& extra);

// Draws a float line into a 32-bit frame: installed by the layer that owns
// the shape renderer.
using FloatLineDrawer = void (*)(CFrame& frame, float x1, float y1, float x2, float y2, CColor& colour, float width);
FloatLineDrawer SetFloatLineDrawer(FloatLineDrawer drawer);
OMBRISALT_UPWARD_HOOK(SetFloatLineDrawer);

// RGB565 and 32-bit fill helpers of the frame's fills.
// Every byte of each pixel (blue, green, red and alpha alike) moves toward
// the colour's by k = alpha >> 1 of 128:  d + ((s - d) * k) >> 7, clamped.
void BlendRun32(uint8_t* pixels, uint32_t count, uint32_t colour);

// One mip-map step: destination becomes source halved, each pixel the
// floored mean of a 2 x 2 block (24- and 32-bit sources; other depths get no
// pixels), with the source offset halved toward zero. False for a 1 x 1
// source or an odd side.
bool HalveFrame(CFrame& destination, const CFrame& source);

// Registers the classes of images/, in a fixed order; idempotent.
void RegisterImagesClasses();
