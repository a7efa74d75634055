#pragma once
// Proxy frames: surfaces that own no pixels and pass every operation on to
// another surface, their source, changing the arguments on the way. Code
// that draws a child window, a sprite or an overlay is handed a proxy and
// draws in its own coordinates; the proxy moves, clips, fades or records.
// Proxies chain (a source may be a proxy). A proxy never owns its source:
// the source outlives every use, and is set before anything is drawn.
//
// Offset proxies: a point p given to the proxy is the point p - offset of
// the source, so a source point q is reached through the proxy at q + offset.

#include "blit/CFrameInterface.h"
#include "foundation/CRect.h"

#include <cstdint>

class CProxyFrame : public CFrameInterface {
    OMBRISALT_REFLECTED(CProxyFrame, CFrameInterface)
public:
    CProxyFrame();
    explicit CProxyFrame(CFrameInterface* source);
    ~CProxyFrame() override;

    virtual void SetFrame(CFrameInterface* source) { m_Source = source; }
    CFrameInterface* GetFrame() const { return m_Source; }

    // The source's size plus 4.
    uint32_t GetMemorySize() override;

    bool Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType) override;
    bool Render(CRenderableObject& renderable) override;
    void ClearRect(const CRect& rect) override;
    void Clear() override;
    void Fill(CColor& colour) override;
    void FillBytes(uint8_t value) override;
    void FillRect(const CRect& rect, CColor& colour) override;
    uint32_t GetBitDepth() const override;
    uint32_t GetBytesPerPixel() const override;
    uint8_t* GetPixels() const override;
    uint8_t* GetRLEBlock(uint32_t n) const override;
    const uint32_t* GetRLERowTable(uint32_t n) const override;
    void GetBounds(CRect& out) const override;
    CFrameInterface* GetRealFrame() override;
    uint32_t GetFlags() const override;
    uint32_t GetWidth() const override;
    uint32_t GetHeight() const override;
    uint32_t GetPitch() const override;
    uint32_t GetWidthLog2() const override;
    uint32_t GetHeightLog2() const override;
    int32_t GetOffsetX() const override;
    int32_t GetOffsetY() const override;
    const uint32_t* GetRowTable() const override;
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour) override;
    void DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width) override;
    bool GetPixel(int32_t x, int32_t y, CColor& out) const override;
    uint32_t GetRawPixel(int32_t x, int32_t y) const override;
    void SetPixel(int32_t x, int32_t y, CColor& colour) override;
    bool HitTest(int32_t x, int32_t y) const override;
    void RemapRect(const CRect& rect, const uint8_t* table) override;
    uint8_t GetDrawFlag() const override;
    void SetDrawFlag(uint8_t flag) override;
    bool GetMipmapForNative() const override;
    void SetMipmapForNative(bool flag) override;
    CPalette* GetPalette() const override;
    bool HasPalette() const override;

protected:
    CFrameInterface* m_Source = nullptr;
};

// Moves everything by a whole-pixel offset.
class COffsetProxyFrame : public CProxyFrame {
    OMBRISALT_REFLECTED(COffsetProxyFrame, CProxyFrame)
public:
    COffsetProxyFrame();
    COffsetProxyFrame(CFrameInterface* source, int32_t x, int32_t y);
    ~COffsetProxyFrame() override;

    void SetOffset(int32_t x, int32_t y) { m_OffsetX = x, m_OffsetY = y; }
    // Clears a rectangle given in the proxy's coordinates.
    virtual void ClearMappedRect(const CRect& rect);

    bool Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType) override;
    bool Render(CRenderableObject& renderable) override;
    void FillRect(const CRect& rect, CColor& colour) override;
    void GetBounds(CRect& out) const override;
    // The offset itself; the source's origin offset is not added.
    int32_t GetOffsetX() const override { return m_OffsetX; }
    int32_t GetOffsetY() const override { return m_OffsetY; }
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour) override;
    void DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width) override;
    bool GetPixel(int32_t x, int32_t y, CColor& out) const override;
    uint32_t GetRawPixel(int32_t x, int32_t y) const override;
    void SetPixel(int32_t x, int32_t y, CColor& colour) override;
    bool HitTest(int32_t x, int32_t y) const override;
    void RemapRect(const CRect& rect, const uint8_t* table) override;

private:
    CRect Moved(const CRect& rect) const;

    int32_t m_OffsetX = 0;
    int32_t m_OffsetY = 0;
};

// Clips everything to a rectangle in the source's coordinates. A renderable
// drawn through it has its own clip rectangle replaced (not intersected) by
// this one for the call.
class CClippedProxyFrame : public CProxyFrame {
    OMBRISALT_REFLECTED(CClippedProxyFrame, CProxyFrame)
public:
    CClippedProxyFrame();
    // Clip rectangle = the source's bounds.
    explicit CClippedProxyFrame(CFrameInterface* source);
    ~CClippedProxyFrame() override;

    // Stored as given, not intersected with anything.
    void SetClipRect(const CRect& rect) { m_Clip = rect; }
    const CRect& GetClipRect() const { return m_Clip; }
    // Also resets the clip rectangle to the new source's bounds.
    void SetFrame(CFrameInterface* source) override;
    virtual void ClearMappedRect(const CRect& rect);

    bool Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType) override;
    bool Render(CRenderableObject& renderable) override;
    void FillRect(const CRect& rect, CColor& colour) override;
    // The clip rectangle within the source's bounds; a zero-size rectangle
    // at the overlap's upper-left corner when they do not meet.
    void GetBounds(CRect& out) const override;
    // The clip rectangle's size, even where it reaches beyond the source.
    uint32_t GetWidth() const override;
    uint32_t GetHeight() const override;
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour) override;
    void DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width) override;
    bool GetPixel(int32_t x, int32_t y, CColor& out) const override;
    uint32_t GetRawPixel(int32_t x, int32_t y) const override;
    void SetPixel(int32_t x, int32_t y, CColor& colour) override;
    bool HitTest(int32_t x, int32_t y) const override;
    void RemapRect(const CRect& rect, const uint8_t* table) override;

    // The shared clipping steps, against clip, onto target.
    static bool ClipBlit(CFrameInterface& target, const CRect& clip, CFrameInterface& source, CRect s, CRect d,
                         CBlitType& blitType);
    static bool ClipRender(CFrameInterface& target, const CRect& clip, CRenderableObject& renderable);
    static void ClipDrawLine(CFrameInterface& target, const CRect& clip, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                             CColor& colour);
    static void ClipDrawLineFloat(CFrameInterface& target, const CRect& clip, float x1, float y1, float x2, float y2,
                                  CColor& colour, float width);

private:
    CRect m_Clip{};
};

// An offset stage over a clip stage over one source, drawn in one step:
// coordinates are moved by minus the offset, clipped against the clip
// stage's bounds and handed to the source directly.
class COffsetClippedProxyFrame : public CProxyFrame {
    OMBRISALT_REFLECTED(COffsetClippedProxyFrame, CProxyFrame)
public:
    COffsetClippedProxyFrame();
    explicit COffsetClippedProxyFrame(CFrameInterface* source);
    ~COffsetClippedProxyFrame() override;

    void SetOffset(int32_t x, int32_t y) { m_OffsetStage.SetOffset(x, y); }
    // rect is in the proxy's coordinates and is stored moved by minus the
    // offset current now: set the offset first.
    void SetClipRect(const CRect& rect);
    void SetFrame(CFrameInterface* source) override;
    virtual void ClearMappedRect(const CRect& rect);

    bool Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType) override;
    bool Render(CRenderableObject& renderable) override;
    void FillRect(const CRect& rect, CColor& colour) override;
    void GetBounds(CRect& out) const override;
    uint32_t GetWidth() const override { return m_ClipStage.GetWidth(); }
    uint32_t GetHeight() const override { return m_ClipStage.GetHeight(); }
    // The source's origin offset plus the offset.
    int32_t GetOffsetX() const override;
    int32_t GetOffsetY() const override;
    // The offset alone, as SetOffset took it: saving it needs no sum that
    // could overflow.
    int32_t GetOwnOffsetX() const { return Ox(); }
    int32_t GetOwnOffsetY() const { return Oy(); }
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour) override;
    void DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width) override;
    bool GetPixel(int32_t x, int32_t y, CColor& out) const override;
    uint32_t GetRawPixel(int32_t x, int32_t y) const override;
    void SetPixel(int32_t x, int32_t y, CColor& colour) override;
    bool HitTest(int32_t x, int32_t y) const override;
    void RemapRect(const CRect& rect, const uint8_t* table) override;

private:
    CRect Clip() const;
    int32_t Ox() const { return m_OffsetStage.GetOffsetX(); }
    int32_t Oy() const { return m_OffsetStage.GetOffsetY(); }

    COffsetProxyFrame m_OffsetStage;
    CClippedProxyFrame m_ClipStage;
};

// Draws a renderable with its position moved by (dx, dy) for the call only.
bool RenderMoved(CFrameInterface& target, CRenderableObject& renderable, float dx, float dy);
