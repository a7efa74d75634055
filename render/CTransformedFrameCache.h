#pragma once
// Transformed copies of frames, built once and reused. Each source surface
// carries at most one CTransformedFrameCache (as an unsaved dynamic property
// of the source object, so it goes when the source goes or its offset
// moves); an entry holds a copy of the transform that built it and the
// resulting 32-bit frame.
//
// An entry's key is its source (by which cache it is in), angle, scales,
// hot spot (exact float equality), colour (all four channels) and flags.
// Position and clipping are not part of it.
//
// All caches together stay within a byte budget (frame pixels counted):
// before an entry is added, the least recently used entries of any cache
// are dropped until the new one fits, so a frame returned by
// TransformedFrameCache_Get stays valid only until the next call.

#include "objects/CObject.h"
#include "render/CBlitXParams.h"
#include "render/CProxyFrame.h"

#include <cstdint>
#include <memory>
#include <vector>

class CFrame;

inline constexpr uint64_t kDefaultTransformedFrameBudget = 32u << 20;

class CTransformedFrame : public CObject {
    OMBRISALT_REFLECTED(CTransformedFrame, CObject)
public:
    CTransformedFrame();
    explicit CTransformedFrame(const CBlitXParams& transform);
    ~CTransformedFrame() override;

    CBlitXParams& GetTransform() { return m_Transform; }
    CFrame* GetFrame() const { return m_Frame.get(); }
    void SetFrame(std::unique_ptr<CFrame> frame);
    uint64_t GetLastUse() const { return m_LastUse; }
    void SetLastUse(uint64_t stamp) { m_LastUse = stamp; }
    // Bytes of pixels the entry holds.
    uint64_t GetByteSize() const;
    bool Matches(const CBlitXParams& transform) const;

private:
    CBlitXParams m_Transform;
    std::unique_ptr<CFrame> m_Frame;
    uint64_t m_LastUse = 0;
};

class CTransformedFrameCache : public CObject {
    OMBRISALT_REFLECTED(CTransformedFrameCache, CObject)
public:
    CTransformedFrameCache();
    ~CTransformedFrameCache() override;

    // The entry for this transform of source, built and added on a miss.
    CFrame* Find(CFrameInterface& source, CBlitXParams& transform);
    // Appends an entry holding frame and a copy of transform.
    void Add(std::unique_ptr<CFrame> frame, const CBlitXParams& transform);
    uint32_t GetCount() const { return uint32_t(m_Entries.size()); }
    CTransformedFrame& GetEntry(uint32_t i) { return *m_Entries[i]; }
    // Drops entry i (its frame goes with it).
    void Remove(uint32_t i);

private:
    std::vector<std::unique_ptr<CTransformedFrame>> m_Entries;
};

// The transformed copy of source for this transform, from the source's
// cache (made on first use); built on a miss.
CFrame* TransformedFrameCache_Get(CFrameInterface& source, CBlitXParams& transform);
// The source's cache; null when it has none yet.
CTransformedFrameCache* GetTransformedFrameCache(CFrameInterface& source);
// Measures the transform of source, then draws it into a new 32-bit frame
// of exactly the drawn bounds whose offset is the bounds' upper-left
// corner; 1 x 1 and empty when nothing would be drawn or the bounds do not
// fit a frame.
std::unique_ptr<CFrame> BuildTransformedFrame(CFrameInterface& source, CBlitXParams& transform);

// The byte budget of all caches together (Set answers the previous one), and
// what they hold now.
uint64_t SetTransformedFrameBudget(uint64_t bytes);
uint64_t GetTransformedFrameBudget();
uint64_t GetTransformedFrameBytes();

// Draws transformed blits through the cache: an identity transform (angle
// 0, scales 1, opaque white) is drawn at the nearest whole pixel; any other
// draws the cached copy there unrotated, unscaled and untinted. Every other
// operation and renderable is forwarded unchanged.
class CTransformedFrameCacheProxyFrame : public CProxyFrame {
    OMBRISALT_REFLECTED(CTransformedFrameCacheProxyFrame, CProxyFrame)
public:
    CTransformedFrameCacheProxyFrame();
    ~CTransformedFrameCacheProxyFrame() override;

    bool Render(CRenderableObject& renderable) override;
};
