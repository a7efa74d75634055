#pragma once
// The classes of the named blit types the registry holds. Each registers its
// routines in its constructor.

#include "blit/CBlitBlackBias.h"
#include "blit/CBlitNormal.h"
#include "blit/CBlitTrans.h"
#include "blit/CBlitType.h"

// "Blit As Shadow".
class CBlitAsShadow : public CBlitType {};
// "Blend Amplify Light".
class CBlitAmplifyLight : public CBlitType {};
// "Normal Scale": stretches the source to the destination rectangle.
class CBlitNormalScale : public CBlitType {
public:
    bool DrawsAtSourceSize() const override { return false; }
};
