#pragma once
// Text over a frame: a localised, substituted text laid out in a box with a
// font (wrapping, justification, margins, optional shrinking to fit), and a
// text spelled with one image per letter (the images of B to Z follow the
// image of A in the frame library; the Q image stands for "QU").

#include "overlays/CFrameOverlay.h"

#include <cstdint>

class CFont;
struct SParagraphLayout;

class CFrameOverlayTextOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CFrameOverlayTextOverlay, CFrameOverlay)
public:
    CFrameOverlayTextOverlay();
    ~CFrameOverlayTextOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;

    // The overlay's font, else the current set's; null when neither names one.
    virtual CFont* GetFont(const CFrameOverlayDrawContext& context) const;
    // The layout at a wrapping width, with the overlay's gap, justification
    // and margins.
    SParagraphLayout MakeLayout(int32_t left, int32_t width) const;
    // The shrink-to-fit scale of a text of height `height` at the bounds
    // width: six bisection steps, the last low bound.
    float FindFitScale(CFont& font, const CJString& text) const;

    CTranslatedText m_Text;
    int32_t m_TextFont = 0; // 0: the set's font
    CPoint m_BoundsLeft{0, 0};
    uint32_t m_BoundsWidth = 350;
    uint32_t m_BoundsHeight = 0; // 0: no limit
    bool m_bScaleTextToFitBox = false;
    uint32_t m_PixelsBetweenLines = 2;
    int32_t m_Justification = 0;
    bool m_bCenterVertically = false;
    uint32_t m_InitialLeftMargin = 0;
    uint32_t m_InitialRightMargin = 0;
    uint32_t m_FoldedLeftMargin = 0;
    uint32_t m_FoldedRightMargin = 0;
    uint32_t m_BulletMargin = 0;

private:
    void DrawMarkers(CFrameOverlayDrawContext& context, CFont& font);
};

// Letters are drawn without the context's opacity or transform.
class CFrameOverlayTextMadeOfImagesOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CFrameOverlayTextMadeOfImagesOverlay, CFrameOverlay)
public:
    CFrameOverlayTextMadeOfImagesOverlay();
    ~CFrameOverlayTextMadeOfImagesOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;

    CTranslatedText m_Text;
    int32_t m_PictureOfAnA = 0;
    int32_t m_SpaceBetweenLetters = 2;
    CPoint m_BoundsLeft{0, 0};
    uint32_t m_BoundsWidth = 350;
    int32_t m_Justification = 0;
};
