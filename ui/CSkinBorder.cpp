#include "ui/CSkinBorder.h"

#include "blit/CBlitTypeList.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "render/SurfaceHelpers.h"
#include "ui/SkinResources.h"
#include "ui/SkinTiling.h"
#include "ui/UiClassBody.h"

#include <algorithm>

namespace {

using C = CSkinBorder;

// How far a corner or edge piece reaches, in rect coordinates, when placed
// with its hot spot at (x, y); a missing piece reaches nowhere.
CRect Placed(CFrame* piece, int32_t x, int32_t y)
{
    return piece ? PlacedBounds(*piece, x, y) : CRect{x, y, x, y};
}

void DrawPieceAt(CFrameInterface& frame, CFrame* piece, int32_t x, int32_t y)
{
    if (piece)
        BlitAt(frame, *piece, x, y, GetTransparentMaskBlitType());
}

// Tiles a piece along d, the piece's rows (columns) kept at its own extent.
void TileEdge(CFrameInterface& frame, CFrame* piece, const CRect& d)
{
    if (piece)
        TilePiece(frame, *piece, PixelRect(*piece), d, d.left, d.top, GetTransparentMaskBlitType());
}

int32_t FloorMod(int32_t a, int32_t b)
{
    const int32_t m = a % b;
    return m < 0 ? m + b : m;
}

} // namespace

bool CFilterFrameListToOnlyPowerOfTwo::IsChoiceAllowed(CVirtualArray& list, int32_t index)
{
    auto* frames = dynamic_cast<CFrameList*>(&list);
    CFrame* frame = frames ? frames->GetObject(index) : nullptr;
    if (!frame || (frame->GetFlags() & kFrameRunLengthMask))
        return false;
    return frame->GetWidth() != 0 && frame->GetHeight() != 0 && frame->GetWidth() == (1u << frame->GetWidthLog2())
           && frame->GetHeight() == (1u << frame->GetHeightLog2());
}

CFilterFrameListToOnlyPowerOfTwo& CFilterFrameListToOnlyPowerOfTwo::SGetInstance()
{
    static CFilterFrameListToOnlyPowerOfTwo filter;
    return filter;
}

// A frame reference into the skin frame list.
template <typename Owner>
static auto& AddFrame(CPropertyDeclarer& d, int32_t Owner::*member, const char* name)
{
    auto declared = d.Add<CSkinListProperty>(member, name, -1);
    declared.Get().SetListGetter(&SkinFrameListGetter);
    return declared.Get();
}

OMBRISALT_UI_ABSTRACT_CLASS(CSkinBorder, 0.0)
void CSkinBorder::DeclareProperties(CPropertyDeclarer& d)
{
    AddFrame(d, &C::m_BackgroundTexture, "Background Texture")
        .SetChoiceFilter(&CFilterFrameListToOnlyPowerOfTwo::SGetInstance());
    d.Add(&C::m_BackgroundColor, "Background Color", CColor(255, 255, 255, 24)).WithAlpha();
}

void CSkinBorder::FillBackground(CFrameInterface& frame, const CRect& rect)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    if (CFrame* texture = GetSkinFrame(m_BackgroundTexture))
        TileTexture(frame, *texture, rect);
    else
        frame.FillRect(rect, m_BackgroundColor);
}

OMBRISALT_UI_CLASS(CClassicSkinBorder, 0.0)
void CClassicSkinBorder::DeclareProperties(CPropertyDeclarer& d)
{
    using K = CClassicSkinBorder;
    d.Add(&K::m_TextureMargin, "Texture Margin", 0).Units("Pixels");
    d.Add(&K::m_TopOuterColor, "Top Outer Color", CColor(255, 255, 255, 24)).WithAlpha();
    d.Add(&K::m_TopInnerColor, "Top Inner Color", CColor(255, 255, 255, 24)).WithAlpha();
    d.Add(&K::m_BottomInnerColor, "Bottom Inner Color", CColor(0, 0, 0, 128)).WithAlpha();
    d.Add(&K::m_BottomOuterColor, "Bottom Outer Color", CColor(0, 0, 0, 128)).WithAlpha();
}

void CClassicSkinBorder::DrawBackground(CJWindow*, CFrameInterface& frame, const CRect& rect, CSkinTheme*)
{
    const int32_t m = ClampSkinValue(m_TextureMargin);
    FillBackground(frame, CRect{rect.left + m, rect.top + m, rect.right - m, rect.bottom - m});
}

void CClassicSkinBorder::DrawFrame(CJWindow*, CFrameInterface& frame, const CRect& rect, CSkinTheme*, bool)
{
    CRect r = rect;
    CColor* top[2] = {&m_TopOuterColor, &m_TopInnerColor};
    CColor* bottom[2] = {&m_BottomOuterColor, &m_BottomInnerColor};
    for (int ring = 0; ring < 2 && r.right > r.left && r.bottom > r.top; ++ring) {
        frame.FillRect(CRect{r.left, r.top, r.right, r.top + 1}, *top[ring]);
        frame.FillRect(CRect{r.left, r.top, r.left + 1, r.bottom}, *top[ring]);
        frame.FillRect(CRect{r.right - 1, r.top + 1, r.right, r.bottom - 1}, *bottom[ring]);
        frame.FillRect(CRect{r.left + 1, r.bottom - 1, r.right, r.bottom}, *bottom[ring]);
        r = CRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
}

OMBRISALT_UI_CLASS(CAlphaSkinBorder, 0.0)
void CAlphaSkinBorder::DeclareProperties(CPropertyDeclarer& d)
{
    using K = CAlphaSkinBorder;
    AddFrame(d, &K::m_TopLeftAlpha, "Texture/Top Left Alpha");
    AddFrame(d, &K::m_TopRightAlpha, "Texture/Top Right Alpha");
    AddFrame(d, &K::m_BottomLeftAlpha, "Texture/Bottom Left Alpha");
    AddFrame(d, &K::m_BottomRightAlpha, "Texture/Bottom Right Alpha");
    d.Add(&K::m_LeftSideOffset, "Texture/Left Side Offset", 0).Units("Pixels");
    d.Add(&K::m_TopSideOffset, "Texture/Top Side Offset", 0).Units("Pixels");
    d.Add(&K::m_RightSideOffset, "Texture/Right Side Offset", 0).Units("Pixels");
    d.Add(&K::m_BottomSideOffset, "Texture/Bottom Side Offset", 0).Units("Pixels");
    AddFrame(d, &K::m_TopLeftHighlight, "Frame/Top Left Highlight");
    AddFrame(d, &K::m_TopCenterHighlight, "Frame/Top Center Highlight");
    AddFrame(d, &K::m_TopRightHighlight, "Frame/Top Right Highlight");
    AddFrame(d, &K::m_CenterLeftHighlight, "Frame/Center Left Highlight");
    AddFrame(d, &K::m_CenterRightHighlight, "Frame/Center Right Highlight");
    AddFrame(d, &K::m_BottomLeftHighlight, "Frame/Bottom Left Highlight");
    AddFrame(d, &K::m_BottomCenterHighlight, "Frame/Bottom Center Highlight");
    AddFrame(d, &K::m_BottomRightHighlight, "Frame/Bottom Right Highlight");
    d.Add(&K::m_OverlapCorners, "Frame/Overlap Corners", false);
    d.Add(&K::m_TopOverlapAmount, "Frame/Top Overlap Ammount", 0).Units("Pixels");
    AddFrame(d, &K::m_SpecialTopRightHighlight, "Frame/Special Top Right Highlight");
    AddFrame(d, &K::m_TopCenterDecal, "Decals/Top Center Decal").SetAlternateName("Title Plate");
    AddFrame(d, &K::m_BottomCenterDecal, "Decals/Bottom Center Decal");
    AddFrame(d, &K::m_LeftCenterDecal, "Decals/Left Center Decal");
    AddFrame(d, &K::m_RightCenterDecal, "Decals/Right Center Decal");
}

namespace {
bool g_MaskedCornerCache = true;
} // namespace

void CAlphaSkinBorder::SetMaskedCornerCache(bool on)
{
    g_MaskedCornerCache = on;
}

CFrame* CAlphaSkinBorder::MaskedCorner(CFrame& mask, CFrame& texture, int32_t x, int32_t y)
{
    if (!g_MaskedCornerCache)
        m_Corners.clear();
    const int32_t tw = int32_t(texture.GetWidth()), th = int32_t(texture.GetHeight());
    const int32_t phaseX = FloorMod(x, tw), phaseY = FloorMod(y, th);
    for (SMaskedCorner& corner : m_Corners)
        if (corner.mask == &mask && corner.texture == &texture && corner.phaseX == phaseX && corner.phaseY == phaseY
            && corner.maskWidth == mask.GetWidth() && corner.maskHeight == mask.GetHeight())
            return corner.image.get();
    const uint32_t w = mask.GetWidth(), h = mask.GetHeight();
    std::unique_ptr<CFrame> image = CFrame::MakeOwned(w, h, 32);
    if (!image)
        return nullptr;
    const int32_t mx = mask.GetOffsetX(), my = mask.GetOffsetY();
    const int32_t tx = texture.GetOffsetX(), ty = texture.GetOffsetY();
    for (uint32_t row = 0; row < h; ++row) {
        uint8_t* out = image->Row(row);
        for (uint32_t column = 0; column < w; ++column, out += 4) {
            CColor m, t;
            mask.GetPixel(mx + int32_t(column), my + int32_t(row), m);
            texture.GetPixel(tx + FloorMod(phaseX + int32_t(column), tw), ty + FloorMod(phaseY + int32_t(row), th), t);
            out[0] = t.GetBlue();
            out[1] = t.GetGreen();
            out[2] = t.GetRed();
            out[3] = m.GetAlpha();
        }
    }
    image->SetOffset(int16_t(mx), int16_t(my));
    constexpr size_t kKept = 8;
    if (m_Corners.size() >= kKept)
        m_Corners.erase(m_Corners.begin());
    m_Corners.push_back(SMaskedCorner{&mask, &texture, w, h, phaseX, phaseY, std::move(image)});
    return m_Corners.back().image.get();
}

void CAlphaSkinBorder::DrawBackground(CJWindow* window, CFrameInterface& frame, const CRect& rect, CSkinTheme*)
{
    CParentClip clip(window, frame);
    CFrame* texture = GetSkinFrame(m_BackgroundTexture);
    if (texture && (texture->GetFlags() & kFrameRunLengthMask || texture->GetWidth() == 0 || texture->GetHeight() == 0))
        texture = nullptr;
    CFrame* tl = GetSkinFrame(m_TopLeftAlpha);
    CFrame* tr = GetSkinFrame(m_TopRightAlpha);
    CFrame* bl = GetSkinFrame(m_BottomLeftAlpha);
    CFrame* br = GetSkinFrame(m_BottomRightAlpha);
    if (!texture || !(tl || tr || bl || br)) {
        FillBackground(frame, rect);
        return;
    }
    // Corners: the texture as it lies at the corner, cut by the mask.
    const int32_t l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    const struct {
        CFrame* mask;
        int32_t x, y;
    } corners[] = {{tl, l, t}, {tr, r, t}, {bl, l, b}, {br, r, b}};
    for (const auto& corner : corners)
        if (corner.mask && corner.mask->GetWidth() && corner.mask->GetHeight()) {
            const int32_t x0 = corner.x + corner.mask->GetOffsetX(), y0 = corner.y + corner.mask->GetOffsetY();
            if (CFrame* image = MaskedCorner(*corner.mask, *texture, x0, y0))
                BlitAt(frame, *image, corner.x, corner.y, GetTransparentMaskBlitType());
        }
    // The rest in three bands, reaching out by the side offsets where no
    // mask stands.
    const int32_t leftOut = ClampSkinValue(m_LeftSideOffset), topOut = ClampSkinValue(m_TopSideOffset);
    const int32_t rightOut = ClampSkinValue(m_RightSideOffset), bottomOut = ClampSkinValue(m_BottomSideOffset);
    const CRect tlb = tl ? PlacedBounds(*tl, l, t) : CRect{0, 0, l - leftOut, t - topOut};
    const CRect trb = tr ? PlacedBounds(*tr, r, t) : CRect{r + rightOut, 0, 0, t - topOut};
    const CRect blb = bl ? PlacedBounds(*bl, l, b) : CRect{0, b + bottomOut, l - leftOut, 0};
    const CRect brb = br ? PlacedBounds(*br, r, b) : CRect{r + rightOut, b + bottomOut, 0, 0};
    const int32_t middleTop = std::max(tlb.bottom, trb.bottom);
    const int32_t middleBottom = std::min(blb.top, brb.top);
    const CRect bands[] = {
        {l - leftOut, middleTop, r + rightOut, middleBottom},
        {tlb.right, t - topOut, trb.left, middleTop},
        {blb.right, middleBottom, brb.left, b + bottomOut},
    };
    for (const CRect& band : bands)
        if (band.right > band.left && band.bottom > band.top)
            TileTexture(frame, *texture, band);
}

int32_t CAlphaSkinBorder::GetReachAbove() const
{
    int32_t top = 0;
    for (int32_t piece : {m_TopLeftHighlight, m_TopCenterHighlight, m_TopRightHighlight, m_SpecialTopRightHighlight,
                          m_TopCenterDecal})
        top = std::min(top, Placed(GetSkinFrame(piece), 0, 0).top);
    return -top;
}

void CAlphaSkinBorder::DrawFrame(CJWindow* window, CFrameInterface& frame, const CRect& rect, CSkinTheme*,
                                 bool special)
{
    CFrame* tl = GetSkinFrame(m_TopLeftHighlight);
    if (!tl)
        return;
    CParentClip clip(window, frame);
    CFrame* tr = nullptr;
    if (special)
        tr = GetSkinFrame(m_SpecialTopRightHighlight);
    if (!tr)
        tr = GetSkinFrame(m_TopRightHighlight);
    CFrame* bl = GetSkinFrame(m_BottomLeftHighlight);
    CFrame* br = GetSkinFrame(m_BottomRightHighlight);
    const int32_t l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    const CRect tlb = Placed(tl, l, t), trb = Placed(tr, r, t), blb = Placed(bl, l, b), brb = Placed(br, r, b);

    if (CFrame* top = GetSkinFrame(m_TopCenterHighlight)) {
        const CRect piece = Placed(top, 0, t);
        const int32_t from = m_OverlapCorners ? l : tlb.right - 1;
        const int32_t to = m_OverlapCorners ? r : trb.left;
        const int32_t overlap = ClampSkinValue(m_TopOverlapAmount);
        TileEdge(frame, top, CRect{from - overlap, piece.top, to + overlap, piece.bottom});
    }
    if (CFrame* bottom = GetSkinFrame(m_BottomCenterHighlight)) {
        const CRect piece = Placed(bottom, 0, b);
        const int32_t from = m_OverlapCorners ? l : blb.right - 1;
        const int32_t to = m_OverlapCorners ? r : brb.left;
        TileEdge(frame, bottom, CRect{from, piece.top, to, piece.bottom});
    }
    if (CFrame* left = GetSkinFrame(m_CenterLeftHighlight)) {
        const CRect piece = Placed(left, l, 0);
        const int32_t from = m_OverlapCorners ? t : tlb.bottom;
        const int32_t to = m_OverlapCorners ? b : blb.top;
        TileEdge(frame, left, CRect{piece.left, from, piece.right, to});
    }
    if (CFrame* right = GetSkinFrame(m_CenterRightHighlight)) {
        const CRect piece = Placed(right, r, 0);
        const int32_t from = m_OverlapCorners ? t : trb.bottom;
        const int32_t to = m_OverlapCorners ? b : brb.top;
        TileEdge(frame, right, CRect{piece.left, from, piece.right, to});
    }
    DrawPieceAt(frame, tl, l, t);
    DrawPieceAt(frame, tr, r, t);
    DrawPieceAt(frame, bl, l, b);
    DrawPieceAt(frame, br, r, b);
    const int32_t middleX = l + (r - l) / 2, middleY = t + (b - t) / 2;
    DrawPieceAt(frame, GetSkinFrame(m_TopCenterDecal), middleX, t);
    DrawPieceAt(frame, GetSkinFrame(m_BottomCenterDecal), middleX, b);
    DrawPieceAt(frame, GetSkinFrame(m_LeftCenterDecal), l, middleY);
    DrawPieceAt(frame, GetSkinFrame(m_RightCenterDecal), r, middleY);
}

OMBRISALT_UI_CLASS(CSegmentedImageSkinBorder, 0.0)
void CSegmentedImageSkinBorder::DeclareProperties(CPropertyDeclarer& d)
{
    using K = CSegmentedImageSkinBorder;
    AddFrame(d, &K::m_BackgroundImage, "Background Image To Segment");
    AddFrame(d, &K::m_OverlayImage, "Overlay Image To Segment");
    d.Add(&K::m_LeftBorderWidth, "Left Border Width", 20);
    d.Add(&K::m_RightBorderWidth, "Right Border Width", 20);
    d.Add(&K::m_TopBorderHeight, "Top Border Height", 20);
    d.Add(&K::m_BottomBorderHeight, "Bottom Border Height", 20);
    d.Add(&K::m_LeftOverhang, "Left Overhang", 0);
    d.Add(&K::m_RightOverhang, "Right Overhang", 0);
    d.Add(&K::m_TopOverhang, "Top Overhang", 0);
    d.Add(&K::m_BottomOverhang, "Bottom Overhang", 0);
    d.Add(&K::m_DrawCenter, "Draw Center", true);
}

void CSegmentedImageSkinBorder::DrawBackground(CJWindow* window, CFrameInterface& frame, const CRect& rect,
                                               CSkinTheme* theme)
{
    DrawSegmented(GetSkinFrame(m_BackgroundImage), window, frame, rect, theme);
}

void CSegmentedImageSkinBorder::DrawFrame(CJWindow* window, CFrameInterface& frame, const CRect& rect,
                                          CSkinTheme* theme, bool)
{
    DrawSegmented(GetSkinFrame(m_OverlayImage), window, frame, rect, theme);
}

void CSegmentedImageSkinBorder::DrawSegmented(CFrame* image, CJWindow* window, CFrameInterface& frame,
                                              const CRect& rect, CSkinTheme*)
{
    if (!image || image->GetWidth() == 0 || image->GetHeight() == 0 || image->GetBitDepth() == 0)
        return;
    CParentClip clip(window, frame);
    const int32_t iw = int32_t(image->GetWidth()), ih = int32_t(image->GetHeight());
    const int32_t L = ClampSkinValue(m_LeftBorderWidth), R = ClampSkinValue(m_RightBorderWidth);
    const int32_t T = ClampSkinValue(m_TopBorderHeight), B = ClampSkinValue(m_BottomBorderHeight);
    const CRect dest{rect.left - ClampSkinValue(m_LeftOverhang), rect.top - ClampSkinValue(m_TopOverhang),
                     rect.right + ClampSkinValue(m_RightOverhang), rect.bottom + ClampSkinValue(m_BottomOverhang)};
    // Source columns and rows of the nine parts, and where they go.
    const int32_t sx[4] = {0, L, iw - R, iw}, sy[4] = {0, T, ih - B, ih};
    const int32_t dx[4] = {dest.left, dest.left + L, dest.right - R, dest.right};
    const int32_t dy[4] = {dest.top, dest.top + T, dest.bottom - B, dest.bottom};
    CBlitType& blit = GetTransparentMaskBlitType();
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            if (row == 1 && column == 1 && !m_DrawCenter)
                continue;
            const CRect s{sx[column], sy[row], sx[column + 1], sy[row + 1]};
            const CRect d{dx[column], dy[row], dx[column + 1], dy[row + 1]};
            if (s.right <= s.left || s.bottom <= s.top || d.right <= d.left || d.bottom <= d.top)
                continue;
            // Corners are drawn at their size, edges and the centre repeat.
            TilePiece(frame, *image, s, d, d.left, d.top, blit);
        }
}

void DrawBorderLayers(CSkinTheme* theme, CJWindow* window, CFrameInterface& frame, const CRect& rect,
                      CSkinBorder* border, bool background, bool special, bool frameLayer)
{
    if (!border)
        return;
    if (background)
        border->DrawBackground(window, frame, rect, theme);
    if (frameLayer)
        border->DrawFrame(window, frame, rect, theme, special);
}
