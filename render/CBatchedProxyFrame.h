#pragma once
// A proxy that records drawing instead of drawing, and replays the
// recording onto its source as often as asked (through whatever source and
// clip the source chain has at the time). Used to draw a window tree once
// and put it on the destination once per changed region.
//
// Recording: a memory stream of records, each a u32 tag and the step's
// fields, little-endian: 32-bit words for rectangles, coordinates, floats
// and colour words, pointer-sized words for the surfaces, blit types and
// remap tables the steps refer to (they stay alive until the last replay;
// the recording never leaves memory). A Blit record ends with the blit
// type's state as WriteState wrote it. Tag 0 ends the recording.
//
// Blit, FillRect, ClearMappedRect, DrawLine, DrawLineFloat, SetPixel and
// RemapRect are recorded; every other operation, Render included, reaches
// the source at once. Recorded colours replay with alpha 255.

#include "foundation/CMemFileBuf.h"
#include "render/CProxyFrame.h"

class CBatchedProxyFrame : public CProxyFrame {
    OMBRISALT_REFLECTED(CBatchedProxyFrame, CProxyFrame)
public:
    CBatchedProxyFrame();
    ~CBatchedProxyFrame() override;

    // Empties the recording, keeping its memory for the next frame.
    void Clear() override;
    void EndRecording();
    // Plays the recording onto the current source; stops at the end tag or
    // at the end of the data, whichever comes first.
    void Replay();

    virtual void ClearMappedRect(const CRect& rect);
    bool Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType) override;
    void FillRect(const CRect& rect, CColor& colour) override;
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour) override;
    void DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width) override;
    void SetPixel(int32_t x, int32_t y, CColor& colour) override;
    void RemapRect(const CRect& rect, const uint8_t* table) override;

    // Bytes recorded so far.
    uint32_t GetRecordingSize() { return uint32_t(m_Recording.GetSize()); }

private:
    void Put32(uint32_t value);
    void PutRect(const CRect& rect);
    void PutFloat(float value);
    void PutPointer(const void* pointer);
    bool Get32(uint32_t& value);
    bool GetRect(CRect& rect);
    bool GetFloat(float& value);
    bool GetPointer(void*& pointer);
    bool GetColor(CColor& colour);

    CMemFileBuf m_Recording;
    CMemFileBuf m_Scratch; // the blit type's own state while a recorded one is loaded
    uint32_t m_LastColorWord = 0;
    CColor m_LastColor;
    bool m_HaveLastColor = false;
};
