#pragma once
// A frame in memory that takes the game's drawing as the screen does, for
// screenshots. The screen lays every picture over what is already there by
// the picture's alpha, at the blit type's opacity; the software "Normal" and
// "Black Bias" types copy 32-bit pictures straight instead, which would turn
// the transparent pixels round a sprite into black boxes. Those two are drawn
// as the screen draws them; every other type (the tinted ones of transformed
// drawing, pictures of other depths) by its own kernels.

#include "images/CFrame.h"

#include <memory>

class CScreenCaptureFrame final : public CFrame {
public:
    // A plain 32-bit frame of that size; null when it cannot be made.
    static std::unique_ptr<CScreenCaptureFrame> Make(uint32_t width, uint32_t height);

    bool Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType) override;
};
