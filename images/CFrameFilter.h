#pragma once
// Frame build filters. A chain is a head filter of kind 0 owning the filters
// behind it, kept sorted by kind so they run in ascending kind order
// whatever order they were added in. Kinds 9 and 12 are variants stored as 8
// and 11, so a chain holds at most one run-length and one bit-depth filter.
//
//   2 centre the hot spot        7  remove black blending
//   3 remove dead alpha (5)      8  run-length encode (CFilterRLEColor0)
//   4 black bias (adds 7)        9  run-length encode, two-band form
//   5 zero alpha on black (15)   10 best palette
//   6 crop to visible pixels     11 bit depth (12: with dither)

#include "foundation/CRect.h"

#include <cstdint>
#include <memory>

class CFrame;

class CFrameFilter {
public:
    explicit CFrameFilter(int32_t kind = 0);
    CFrameFilter(const CFrameFilter&) = delete;
    CFrameFilter& operator=(const CFrameFilter&) = delete;
    // Destroys the rest of the chain with it.
    virtual ~CFrameFilter();

    // A filter of the same class and parameters, not chained.
    virtual std::unique_ptr<CFrameFilter> Clone() const;
    // Runs over the frame; rect is (0, 0, width, height) from ApplyAll.
    // False when the filter cannot handle the frame's depth.
    virtual bool Apply(CFrame& frame, const CRect& rect);

    int32_t GetKind() const { return m_Kind; }
    CFrameFilter* GetNext() const { return m_pNext.get(); }

    // Chain-head operations. False when locked, when kind is outside 2 to
    // 12 or when a filter of the same stored kind is present.
    bool AddFilter(int32_t kind);
    bool InsertFilter(std::unique_ptr<CFrameFilter> filter);
    bool RemoveFilter(int32_t kind);
    bool HasFilter(int32_t kind) const { return FindFilter(kind) != nullptr; }
    CFrameFilter* FindFilter(int32_t kind) const;
    // Inserts a clone of each of other's filters (duplicates dropped).
    void CopyFiltersFrom(const CFrameFilter& other);
    void ClearChain();
    // Every filter runs, even after one fails; the answers are and-ed. A
    // chain applied to a frame with no pixels still runs (filters that need
    // pixels do nothing).
    bool ApplyAll(CFrame& frame);

    // The bit-depth filter's target, else this head's depth when above 0,
    // else the frame build depth (8 when unset).
    uint32_t GetTargetBitDepth() const;
    // This head's depth when above 0, else the frame build depth.
    uint32_t GetBitDepth() const;
    void SetBitDepth(int32_t depth) { m_BitDepth = depth; }
    void SetLocked(bool locked) { m_bLocked = locked; }
    bool IsLocked() const { return m_bLocked; }

protected:
    // The head of the chain this filter sits in; null for a filter alone.
    const CFrameFilter* GetChain() const { return m_pChain; }

private:
    std::unique_ptr<CFrameFilter> m_pNext;
    int32_t m_Kind = 0;
    int32_t m_BitDepth = -1;
    bool m_bLocked = false;
    const CFrameFilter* m_pChain = nullptr;
};

// Kind 2: the offset moves by half the rectangle, so the image is centred
// on its hot spot.
class CFilterCenterHotSpot : public CFrameFilter {
public:
    CFilterCenterHotSpot()
        : CFrameFilter(2)
    {
    }
    std::unique_ptr<CFrameFilter> Clone() const override;
    bool Apply(CFrame& frame, const CRect& rect) override;
};

// Kind 3 (threshold 5) and kind 5 (threshold 15), 32-bit frames only: alpha
// below the threshold becomes 0 (kind 3), or a pixel whose brightest channel
// is below it becomes all zero (kind 5).
class CFilterRemoveDeadAlpha : public CFrameFilter {
public:
    explicit CFilterRemoveDeadAlpha(uint32_t threshold = 5)
        : CFrameFilter(3)
        , m_Threshold(threshold)
    {
    }
    std::unique_ptr<CFrameFilter> Clone() const override;
    bool Apply(CFrame& frame, const CRect& rect) override;

private:
    uint32_t m_Threshold;
};

class CFilterZeroAlphaOnBlack : public CFrameFilter {
public:
    explicit CFilterZeroAlphaOnBlack(uint32_t threshold = 15)
        : CFrameFilter(5)
        , m_Threshold(threshold)
    {
    }
    std::unique_ptr<CFrameFilter> Clone() const override;
    bool Apply(CFrame& frame, const CRect& rect) override;

private:
    uint32_t m_Threshold;
};

// Kind 4. Target 8: pixels darker than 40 are cleared. Other targets: 24-bit
// frames become 32-bit, then alpha above 5 becomes the brightest channel.
// 8- and 16-bit frames at other targets are left alone.
class CFilterBlackBias : public CFrameFilter {
public:
    CFilterBlackBias()
        : CFrameFilter(4)
    {
    }
    std::unique_ptr<CFrameFilter> Clone() const override;
    bool Apply(CFrame& frame, const CRect& rect) override;
};

// Kind 6: crops to the visible pixels, sides above 4 rounded up to a
// multiple of 4; the hot spot stays where it was. A frame with nothing
// visible is treated as visible to its edges: never emptied.
class CFilterCropColor0 : public CFrameFilter {
public:
    CFilterCropColor0()
        : CFrameFilter(6)
    {
    }
    std::unique_ptr<CFrameFilter> Clone() const override;
    bool Apply(CFrame& frame, const CRect& rect) override;
};

// Kind 7, 32-bit frames only: a translucent pixel blended with black at its
// alpha gets its unblended colour back.
class CFilterRemoveBlackBlending : public CFrameFilter {
public:
    CFilterRemoveBlackBlending()
        : CFrameFilter(7)
    {
    }
    std::unique_ptr<CFrameFilter> Clone() const override;
    bool Apply(CFrame& frame, const CRect& rect) override;
};

// Kind 10: the frame's own palette becomes the best 254 colours of its
// pixels (entries 1 to 254; 0 black, 255 white). 24- and 32-bit frames
// only.
class CFilterCreateBestPalette : public CFrameFilter {
public:
    CFilterCreateBestPalette()
        : CFrameFilter(10)
    {
    }
    std::unique_ptr<CFrameFilter> Clone() const override;
    bool Apply(CFrame& frame, const CRect& rect) override;
};

// The default build chain: kinds 3, 6, 7, then 12 when the frame build
// depth is set and is not 8, else 11, then 8.
CFrameFilter& GetDefaultBuildFilters();
