#pragma once
// The classes of the named blit types the registry holds. Each registers its
// routines in its constructor.

#include "blit/CBlitType.h"

// "Transparent Mask": copies with colour 0 (or alpha) transparent.
class CBlitTrans : public CBlitType {};
// "Blend Black Bias" and "Blend Test Light", two independent instances.
class CBlitBlackBias : public CBlitType {};
// "Blit As Shadow": darkens the destination under the source's shape.
class CBlitAsShadow : public CBlitType {
public:
    CBlitAsShadow();
};
// "Normal": copies source pixels unchanged.
class CBlitNormal : public CBlitType {};
// "Blend Amplify Light": brightens the destination by the source's light;
// formats without the amplify arithmetic draw as the two types given.
class CBlitAmplifyLight : public CBlitType {
public:
    CBlitAmplifyLight(const CBlitType& blackBias, const CBlitType& transparentMask);
};
// "Normal Scale": stretches the source to the destination rectangle.
class CBlitNormalScale : public CBlitType {
public:
    CBlitNormalScale();
    bool DrawsAtSourceSize() const override { return false; }
};
