#pragma once
// Skin borders: data objects of a theme file that paint a rectangle in two
// layers, a background (texture or colour) and a frame (bevel lines,
// highlight pieces, decals or a nine-slice image). Frames are references
// into the skin frame list (SkinResources.h); a reference to a frame that
// is not there draws nothing.
//
// The alpha and segmented borders may reach beyond the window they paint:
// for the call their drawing is clipped to the parent's content area instead
// of the window's own (see CParentClip).

#include "blit/CColor.h"
#include "foundation/CRect.h"
#include "blit/CColorProperty.h"
#include "objects/CListProperty.h"
#include "objects/CObject.h"

#include <cstdint>
#include <memory>
#include <vector>

class CFrame;
class CFrameInterface;
class CJWindow;
class CSkinTheme;
class CVirtualArray;

// The editor's choice filter of "Background Texture": only frames that
// exist, are not run-length and have power-of-two sides.
class CFilterFrameListToOnlyPowerOfTwo : public CListChoiceFilter {
public:
    bool IsChoiceAllowed(CVirtualArray& list, int32_t index) override;
    static CFilterFrameListToOnlyPowerOfTwo& SGetInstance();
};

class CSkinBorder : public CObject {
    OMBRISALT_REFLECTED(CSkinBorder, CObject)
public:
    CSkinBorder();
    ~CSkinBorder() override;

    // rect in the frame's coordinates (a window's content coordinates).
    virtual void DrawBackground(CJWindow* window, CFrameInterface& frame, const CRect& rect, CSkinTheme* theme) = 0;
    virtual void DrawFrame(CJWindow* window, CFrameInterface& frame, const CRect& rect, CSkinTheme* theme,
                           bool special)
        = 0;

    int32_t m_BackgroundTexture; // skin frame reference, -1 none
    CColor m_BackgroundColor;

protected:
    // The texture tiled over rect, else the colour blended over it.
    void FillBackground(CFrameInterface& frame, const CRect& rect);
};

class CClassicSkinBorder : public CSkinBorder {
    OMBRISALT_REFLECTED(CClassicSkinBorder, CSkinBorder)
public:
    CClassicSkinBorder();
    ~CClassicSkinBorder() override;

    void DrawBackground(CJWindow* window, CFrameInterface& frame, const CRect& rect, CSkinTheme* theme) override;
    void DrawFrame(CJWindow* window, CFrameInterface& frame, const CRect& rect, CSkinTheme* theme,
                   bool special) override;

    int32_t m_TextureMargin;
    CColor m_TopOuterColor;
    CColor m_TopInnerColor;
    CColor m_BottomInnerColor;
    CColor m_BottomOuterColor;
};

class CAlphaSkinBorder : public CSkinBorder {
    OMBRISALT_REFLECTED(CAlphaSkinBorder, CSkinBorder)
public:
    CAlphaSkinBorder();
    ~CAlphaSkinBorder() override;

    void DrawBackground(CJWindow* window, CFrameInterface& frame, const CRect& rect, CSkinTheme* theme) override;
    void DrawFrame(CJWindow* window, CFrameInterface& frame, const CRect& rect, CSkinTheme* theme,
                   bool special) override;

    int32_t m_TopLeftAlpha, m_TopRightAlpha, m_BottomLeftAlpha, m_BottomRightAlpha;
    int32_t m_LeftSideOffset, m_TopSideOffset, m_RightSideOffset, m_BottomSideOffset;
    int32_t m_TopLeftHighlight, m_TopCenterHighlight, m_TopRightHighlight;
    int32_t m_CenterLeftHighlight, m_CenterRightHighlight;
    int32_t m_BottomLeftHighlight, m_BottomCenterHighlight, m_BottomRightHighlight;
    bool m_OverlapCorners;
    int32_t m_TopOverlapAmount;
    int32_t m_SpecialTopRightHighlight;
    int32_t m_TopCenterDecal, m_BottomCenterDecal, m_LeftCenterDecal, m_RightCenterDecal;

    // Process-wide, on by default; off makes every corner afresh (for the
    // benchmark that measures what the kept corners save).
    static void SetMaskedCornerCache(bool on);

private:
    // The texture blitted into a copy of the mask (the mask's alpha kept),
    // for a corner whose mask pixel (0, 0) lands at (x, y). The last few
    // are kept: windows draw the same corners every frame.
    CFrame* MaskedCorner(CFrame& mask, CFrame& texture, int32_t x, int32_t y);

    struct SMaskedCorner {
        const CFrame* mask;
        const CFrame* texture;
        uint32_t maskWidth, maskHeight;
        int32_t phaseX, phaseY;
        std::unique_ptr<CFrame> image;
    };
    std::vector<SMaskedCorner> m_Corners;
};

class CSegmentedImageSkinBorder : public CSkinBorder {
    OMBRISALT_REFLECTED(CSegmentedImageSkinBorder, CSkinBorder)
public:
    CSegmentedImageSkinBorder();
    ~CSegmentedImageSkinBorder() override;

    void DrawBackground(CJWindow* window, CFrameInterface& frame, const CRect& rect, CSkinTheme* theme) override;
    void DrawFrame(CJWindow* window, CFrameInterface& frame, const CRect& rect, CSkinTheme* theme,
                   bool special) override;
    // Nine parts of image over rect grown by the overhangs.
    virtual void DrawSegmented(CFrame* image, CJWindow* window, CFrameInterface& frame, const CRect& rect,
                               CSkinTheme* theme);

    int32_t m_BackgroundImage;
    int32_t m_OverlayImage;
    int32_t m_LeftBorderWidth, m_RightBorderWidth, m_TopBorderHeight, m_BottomBorderHeight;
    int32_t m_LeftOverhang, m_RightOverhang, m_TopOverhang, m_BottomOverhang;
    bool m_DrawCenter;
};

// Used by the alpha skins: the background layer with background, then the
// frame layer (with the special top-right piece) with frameLayer.
void DrawBorderLayers(CSkinTheme* theme, CJWindow* window, CFrameInterface& frame, const CRect& rect,
                      CSkinBorder* border, bool background, bool special, bool frameLayer);

// For one border draw: the target's clip becomes the parent's content area
// seen from the window (so pieces reaching beyond the window are cut at the
// parent's edge), and is put back at the end. Nothing without a window or a
// parent.
class CParentClip {
public:
    CParentClip(CJWindow* window, CFrameInterface& frame);
    CParentClip(const CParentClip&) = delete;
    CParentClip& operator=(const CParentClip&) = delete;
    ~CParentClip();

private:
    CFrameInterface& m_Frame;
    CRect m_Saved{};
    bool m_Changed = false;
};
