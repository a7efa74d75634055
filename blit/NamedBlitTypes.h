#pragma once
// The classes of the named blit types the registry holds. Each registers its
// routines in its constructor.

#include "blit/CBlitAmplifyLight.h"
#include "blit/CBlitAsShadow.h"
#include "blit/CBlitBlackBias.h"
#include "blit/CBlitNormal.h"
#include "blit/CBlitNormalScale.h"
#include "blit/CBlitTrans.h"
#include "blit/CBlitType.h"
