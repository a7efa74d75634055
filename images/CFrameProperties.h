#pragma once
// Facts about a frame that are costly to work out and needed on scaled or
// blended draws: reduced copies for drawing it small, and its highest alpha.
// Each is made on first request, hangs on the frame as the value of an
// unsaved dynamic property and dies with the frame; a frame whose pixels
// change later keeps the old values (MoveOffset drops them).

#include "objects/CObject.h"

#include <array>
#include <cstdint>

class CFrame;

class CMipMapFrameProperty : public CObject {
    OMBRISALT_REFLECTED(CMipMapFrameProperty, CObject)
public:
    static constexpr uint32_t kLevelCount = 12;

    CMipMapFrameProperty();
    ~CMipMapFrameProperty() override;

    // The frame's levels, built on first request.
    static CMipMapFrameProperty* SGet(CFrame& frame);
    // Level k is the source halved k + 1 times; a level that cannot be
    // halved repeats the one before (level 0 the source). Crops every
    // distinct level to its visible pixels; the source is never changed.
    // Always true.
    bool Build(CFrame& source);
    // The frame to draw at scales (sx, sy), the scales doubled once per
    // halving so that they apply to it.
    CFrame* PickLevel(float& sx, float& sy);
    CFrame* GetLevel(uint32_t k) const { return k < kLevelCount ? m_Levels[k] : nullptr; }

private:
    bool Owns(uint32_t k) const;

    CFrame* m_Source = nullptr;
    std::array<CFrame*, kLevelCount> m_Levels{};
};

class CMaxAlphaFrameProperty : public CObject {
    OMBRISALT_REFLECTED(CMaxAlphaFrameProperty, CObject)
public:
    CMaxAlphaFrameProperty();
    ~CMaxAlphaFrameProperty() override;

    static CMaxAlphaFrameProperty* SGet(CFrame& frame);
    // The highest alpha of a 32-bit frame (0 when all are transparent); 255
    // for other frames. Always true.
    bool Compute(const CFrame& frame);
    uint32_t GetMaxAlpha() const { return m_MaxAlpha; }

private:
    uint32_t m_MaxAlpha = 255;
};

// Declares the two dynamic properties on the frame interface; idempotent.
void RegisterFramePropertyClasses();
