#pragma once
// The classes of the named blit types the registry holds. Each registers its
// routines in its constructor.

#include "blit/CBlitType.h"

// "Transparent Mask": copies with colour 0 (or alpha) transparent.
class CBlitTrans : public CBlitType {};
// "Blend Black Bias" and "Blend Test Light", two independent instances.
class CBlitBlackBias : public CBlitType {};
// "Blit As Shadow".
class CBlitAsShadow : public CBlitType {};
// "Normal": copies source pixels unchanged.
class CBlitNormal : public CBlitType {};
// "Blend Amplify Light".
class CBlitAmplifyLight : public CBlitType {};
// "Normal Scale": stretches the source to the destination rectangle.
class CBlitNormalScale : public CBlitType {
public:
    bool DrawsAtSourceSize() const override { return false; }
};
