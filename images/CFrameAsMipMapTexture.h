#pragma once
// A frame as the screen device draws it: a texture whose size is the
// frame's rounded up to powers of two, the frame's pixels in its upper-left
// part, the rest repeating the frame's last column and row (so bilinear
// filtering at the frame's edge sees no foreign texels), and a full mip
// chain, each level a rounded 2x2 average of the one above.
//
// It hangs on the frame as the value of the frame's unsaved dynamic property
// "Mip Map Texture", made on the frame's first screen draw and destroyed with
// the frame, which releases the device's copy. A frame whose pixels change
// later keeps the old texture.
//
// Drawing goes to a screen target: the device and the screen view, the one
// affine mapping the shell's screen keeps for the display mode. The shell
// owns both and hands them to every draw.

#include "objects/CObject.h"
#include "platform/GraphicsDevice.h"

#include <cstdint>
#include <memory>
#include <vector>

class CFrame;

// Game point (x, y) is drawn at back-buffer pixel (x * scale + offsetX,
// y * scale + offsetY).
struct SScreenView {
    float scale = 1.0f;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
};

// Where a texture draw goes.
struct SScreenTarget {
    plat::CGraphicsDevice& device;
    SScreenView view;
};

// A float rectangle in game coordinates, right and bottom exclusive.
struct SFloatRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

// The triangles (a fan) of a convex polygon in back-buffer pixels cut to the
// game rectangle clip (none: the whole polygon), which the view maps to
// back-buffer pixels; colours and texture coordinates of cut edges are
// interpolated. Empty when nothing is left.
void ClipPolygonToTriangles(const plat::ScreenVertex* polygon, size_t count, const SScreenView& view,
                            const SFloatRect* clip, std::vector<plat::ScreenVertex>& triangles);

// How a transformed draw places the frame: the hot spot goes to (x, y) after
// scaling and a rotation by angle degrees; flags bit 0 draws additively,
// bit 2 mirrors x, bit 3 mirrors y.
struct STextureDrawTransform {
    float x = 0.0f;
    float y = 0.0f;
    float hotSpotX = 0.0f;
    float hotSpotY = 0.0f;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float angleDegrees = 0.0f;
    uint32_t flags = 0;
    uint32_t argb = 0xFFFFFFFFu;
};

class CFrameAsMipMapTexture : public CObject {
    OMBRISALT_REFLECTED(CFrameAsMipMapTexture, CObject)
public:
    CFrameAsMipMapTexture();
    ~CFrameAsMipMapTexture() override;

    // The frame's texture, made on the device on first use (and again when
    // another device asks); null when the device cannot make it (the next
    // call tries again).
    static CFrameAsMipMapTexture* SFindOrCreate(CFrame& frame, plat::CGraphicsDevice& device);
    // Drops the frame's texture, so that the next draw shows its pixels as
    // they are now.
    static void SRelease(CFrame& frame);

    // The levels of a frame's texture, from the largest down; empty for a
    // frame without pixels.
    static std::vector<plat::TextureLevel> BuildLevels(CFrame& frame);

    bool CreateData(CFrame& frame, plat::CGraphicsDevice& device);
    // The whole-frame quad for a texture of the size.
    bool BuildVertexBuffer(CFrame& frame, uint32_t textureWidth, uint32_t textureHeight);

    // The whole frame with its hot spot at (x, y), its texels times white of
    // the alpha, cut to the clip rectangle when one is given. False when
    // nothing was drawn.
    bool Draw(const SScreenTarget& target, float x, float y, uint32_t alpha, const SFloatRect* clip);
    // Wrap addressing: the texture repeats across the rectangle, texel (0, 0)
    // at game point (0, 0) (the rectangle's corners are their own texture
    // coordinates).
    bool DrawTiled(const SScreenTarget& target, const SFloatRect& rect);
    // Cut to the clip rectangle (game coordinates) when one is given.
    bool DrawTransformed(const SScreenTarget& target, const STextureDrawTransform& transform,
                         const SFloatRect* clip = nullptr);

    const plat::CScreenTexture* GetTexture() const { return m_Texture.get(); }
    float GetUMax() const { return m_U1; }
    float GetVMax() const { return m_V1; }

private:
    bool DrawQuad(const SScreenTarget& target, const plat::ScreenVertex (&corners)[4], plat::TextureAddress address,
                  plat::ScreenBlend blend, const SFloatRect* clip = nullptr);

    uint32_t m_Width = 0;
    uint32_t m_Height = 0;
    CFrame* m_Frame = nullptr;
    // The device that made the texture; compared, never called through.
    const plat::CGraphicsDevice* m_Device = nullptr;
    std::shared_ptr<plat::CScreenTexture> m_Texture;
    float m_U0 = 0.0f, m_V0 = 0.0f, m_U1 = 0.0f, m_V1 = 0.0f;
    float m_Left = 0.0f, m_Top = 0.0f, m_Right = 0.0f, m_Bottom = 0.0f;
};
