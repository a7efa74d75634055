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

    int32_t m_BackgroundTexture = 0; // skin frame reference, -1 none
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

    int32_t m_TextureMargin = 0;
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

    int32_t m_TopLeftAlpha = 0, m_TopRightAlpha = 0, m_BottomLeftAlpha = 0, m_BottomRightAlpha = 0;
    int32_t m_LeftSideOffset = 0, m_TopSideOffset = 0, m_RightSideOffset = 0, m_BottomSideOffset = 0;
    int32_t m_TopLeftHighlight = 0, m_TopCenterHighlight = 0, m_TopRightHighlight = 0;
    int32_t m_CenterLeftHighlight = 0, m_CenterRightHighlight = 0;
    int32_t m_BottomLeftHighlight = 0, m_BottomCenterHighlight = 0, m_BottomRightHighlight = 0;
    bool m_OverlapCorners = false;
    int32_t m_TopOverlapAmount = 0;
    int32_t m_SpecialTopRightHighlight = 0;
    int32_t m_TopCenterDecal = 0, m_BottomCenterDecal = 0, m_LeftCenterDecal = 0, m_RightCenterDecal = 0;

    // How far the pieces along the top edge (a title plate standing on it)
    // are drawn above the rectangle; 0 when none is.
    int32_t GetReachAbove() const;

    // Process-wide, on by default; off makes every corner afresh (for the
    // benchmark that measures what the kept corners save).
    static void SetMaskedCornerCache(bool on);

private:
    // The texture blitted into a copy of the mask (the mask's alpha kept),
    // for a corner whose mask pixel (0, 0) lands at (x, y). The last few
    // are kept: windows draw the same corners every frame.
    CFrame* MaskedCorner(CFrame& mask, CFrame& texture, int32_t x, int32_t y);

    struct SMaskedCorner {
        const CFrame* mask = nullptr;
        const CFrame* texture = nullptr;
        uint32_t maskWidth = 0, maskHeight = 0;
        int32_t phaseX = 0, phaseY = 0;
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

    int32_t m_BackgroundImage = 0;
    int32_t m_OverlayImage = 0;
    int32_t m_LeftBorderWidth = 0, m_RightBorderWidth = 0, m_TopBorderHeight = 0, m_BottomBorderHeight = 0;
    int32_t m_LeftOverhang = 0, m_RightOverhang = 0, m_TopOverhang = 0, m_BottomOverhang = 0;
    bool m_DrawCenter = false;
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
