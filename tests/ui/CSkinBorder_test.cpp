// Borders drawn into a 32-bit canvas, checked pixel by pixel against what
// their layout rules put there; theme data read from object text.

#include "SkinTestSupport.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "render/CBlitXParams.h"
#include "render/CProxyFrame.h"
#include "render/CScaledOffsetProxyFrame.h"
#include "ui/CAlphaSkinData.h"
#include "ui/CJWindow.h"
#include "ui/CSkinBorder.h"
#include "ui/SkinResources.h"

#include <vector>

namespace {

constexpr uint32_t kGrey = 0x646464; // the canvas under translucent layers

std::unique_ptr<CFrame> GreyCanvas(uint32_t width, uint32_t height)
{
    auto frame = CFrame::MakeOwned(width, height, 32);
    CColor grey(100, 100, 100, 255);
    frame->Fill(grey);
    return frame;
}

uint32_t Grey(uint32_t value)
{
    return value << 16 | value << 8 | value;
}

class SkinBorderTest : public SkinFrameTest {
};

TEST_F(SkinBorderTest, ClassicBorderBevelsTwoRingsAndKeepsItsMarginUntextured)
{
    AddFrame("Red", 8, 8, 0xFFFF0000u);
    CClassicSkinBorder border;
    border.m_BackgroundTexture = Index("Red");
    border.m_TextureMargin = 3;
    auto canvas = GreyCanvas(20, 20);
    border.DrawBackground(nullptr, *canvas, CRect{0, 0, 20, 20}, nullptr);
    border.DrawFrame(nullptr, *canvas, CRect{0, 0, 20, 20}, nullptr, false);

    const uint32_t light = Grey(Blend(100, 255, 24)), dark = Grey(Blend(100, 0, 128));
    // Outer and inner rings: light top and left, dark right and bottom.
    EXPECT_EQ(Rgb(*canvas, 0, 10), light);
    EXPECT_EQ(Rgb(*canvas, 1, 10), light);
    EXPECT_EQ(Rgb(*canvas, 10, 1), light);
    EXPECT_EQ(Rgb(*canvas, 19, 10), dark);
    EXPECT_EQ(Rgb(*canvas, 18, 10), dark);
    EXPECT_EQ(Rgb(*canvas, 10, 19), dark);
    // The right column leaves out its corners; the bottom row starts at the second column.
    EXPECT_EQ(Rgb(*canvas, 19, 0), light);
    EXPECT_EQ(Rgb(*canvas, 0, 19), light);
    EXPECT_EQ(Rgb(*canvas, 19, 19), dark);
    // A 3-pixel margin: the third ring is neither bevel nor texture.
    EXPECT_EQ(Rgb(*canvas, 2, 10), kGrey);
    EXPECT_EQ(Rgb(*canvas, 17, 10), kGrey);
    EXPECT_EQ(Rgb(*canvas, 3, 10), 0xFF0000u);
    EXPECT_EQ(Rgb(*canvas, 16, 16), 0xFF0000u);

    // Without a texture the colour is blended over the inside.
    CClassicSkinBorder plain;
    auto second = GreyCanvas(8, 8);
    plain.DrawBackground(nullptr, *second, CRect{0, 0, 8, 8}, nullptr);
    EXPECT_EQ(Rgb(*second, 4, 4), light);
}

TEST_F(SkinBorderTest, AlphaBackgroundRoundsMaskedCornersAndFillsTheRestWithBands)
{
    // A gradient texture shows which texture pixel lands where.
    AddFrame("Gradient", 4, 4, [](uint32_t x, uint32_t y) { return 0xFF000000u | (x * 60) << 16 | (y * 60) << 8; });
    AddFrame("Round", 4, 4, [](uint32_t x, uint32_t y) { return x + y < 2 ? 0x00000000u : 0xFFFFFFFFu; });
    CAlphaSkinBorder border;
    border.m_BackgroundTexture = Index("Gradient");
    border.m_TopLeftAlpha = Index("Round");
    auto canvas = GreyCanvas(16, 16);
    border.DrawBackground(nullptr, *canvas, CRect{0, 0, 16, 16}, nullptr);
    const auto texel = [](int32_t x, int32_t y) { return uint32_t((x & 3) * 60) << 16 | uint32_t((y & 3) * 60) << 8; };
    EXPECT_EQ(Rgb(*canvas, 0, 0), kGrey) << "cut away by the mask";
    EXPECT_EQ(Rgb(*canvas, 1, 0), kGrey);
    EXPECT_EQ(Rgb(*canvas, 2, 1), texel(2, 1)) << "the corner keeps the texture's coordinates";
    EXPECT_EQ(Rgb(*canvas, 9, 2), texel(9, 2)) << "top band right of the mask";
    EXPECT_EQ(Rgb(*canvas, 0, 6), texel(0, 6)) << "middle band";
    EXPECT_EQ(Rgb(*canvas, 15, 15), texel(15, 15)) << "middle band to the bottom: no bottom masks";

    // A rectangle inside the canvas: the middle band reaches out by the side offset.
    border.m_LeftSideOffset = 2;
    auto moved = GreyCanvas(16, 16);
    border.DrawBackground(nullptr, *moved, CRect{5, 6, 13, 14}, nullptr);
    EXPECT_EQ(Rgb(*moved, 5, 6), kGrey);
    EXPECT_EQ(Rgb(*moved, 7, 7), texel(7, 7));
    EXPECT_EQ(Rgb(*moved, 3, 11), texel(3, 11));
    EXPECT_EQ(Rgb(*moved, 2, 11), kGrey);
    EXPECT_EQ(Rgb(*moved, 3, 9), kGrey) << "beside the mask nothing reaches out";
    EXPECT_EQ(Rgb(*moved, 12, 13), texel(12, 13));
    EXPECT_EQ(Rgb(*moved, 13, 13), kGrey);

    // No mask set: the texture over the rectangle; no texture: the colour.
    border.m_TopLeftAlpha = -1;
    auto whole = GreyCanvas(8, 8);
    border.DrawBackground(nullptr, *whole, CRect{1, 1, 7, 7}, nullptr);
    EXPECT_EQ(Rgb(*whole, 0, 3), kGrey);
    EXPECT_EQ(Rgb(*whole, 1, 1), texel(1, 1));
    border.m_BackgroundTexture = -1;
    border.DrawBackground(nullptr, *whole, CRect{0, 0, 1, 1}, nullptr);
    EXPECT_EQ(Rgb(*whole, 0, 0), Grey(Blend(100, 255, 24)));
}

TEST_F(SkinBorderTest, AlphaFramePlacesCornersEdgesDecalsAndTheSpecialTopRightPiece)
{
    AddFrame("TL", 2, 2, 0xFFFF0000u);
    AddFrame("TC", 1, 2, 0xFF00FF00u);
    AddFrame("TR", 2, 2, 0xFF0000FFu);
    AddFrame("TRX", 2, 2, 0xFFFFFF00u);
    AddFrame("CL", 2, 1, 0xFF00FFFFu);
    AddFrame("BL", 2, 2, 0xFFFF00FFu);
    AddFrame("Plate", 2, 1, 0xFF808080u);
    CAlphaSkinBorder border;
    auto canvas = Canvas(12, 10);
    border.m_TopCenterHighlight = Index("TC");
    border.DrawFrame(nullptr, *canvas, CRect{0, 0, 12, 10}, nullptr, false);
    EXPECT_EQ(Rgb(*canvas, 5, 0), 0u) << "nothing without the top-left piece";

    border.m_TopLeftHighlight = Index("TL");
    border.m_TopRightHighlight = Index("TR");
    border.m_SpecialTopRightHighlight = Index("TRX");
    border.m_CenterLeftHighlight = Index("CL");
    border.m_BottomLeftHighlight = Index("BL");
    border.m_TopCenterDecal = Index("Plate");
    FrameWithHotSpot("TR", 2, 0);
    FrameWithHotSpot("TRX", 2, 0);
    FrameWithHotSpot("BL", 0, 2);
    FrameWithHotSpot("Plate", 1, 0);
    border.DrawFrame(nullptr, *canvas, CRect{0, 0, 12, 10}, nullptr, false);
    EXPECT_EQ(Rgb(*canvas, 0, 0), 0xFF0000u);
    EXPECT_EQ(Rgb(*canvas, 11, 0), 0x0000FFu);
    EXPECT_EQ(Rgb(*canvas, 3, 1), 0x00FF00u) << "top edge between the corners";
    EXPECT_EQ(Rgb(*canvas, 3, 2), 0u);
    EXPECT_EQ(Rgb(*canvas, 1, 5), 0x00FFFFu) << "left edge between the corners";
    EXPECT_EQ(Rgb(*canvas, 0, 9), 0xFF00FFu);
    EXPECT_EQ(Rgb(*canvas, 5, 0), 0x808080u) << "the decal lies over the edge";
    EXPECT_EQ(Rgb(*canvas, 6, 0), 0x808080u);
    EXPECT_EQ(Rgb(*canvas, 11, 5), 0u) << "no right edge piece set";

    border.DrawFrame(nullptr, *canvas, CRect{0, 0, 12, 10}, nullptr, true);
    EXPECT_EQ(Rgb(*canvas, 11, 0), 0xFFFF00u) << "a window with a close button";
    border.m_SpecialTopRightHighlight = -1;
    border.DrawFrame(nullptr, *canvas, CRect{0, 0, 12, 10}, nullptr, true);
    EXPECT_EQ(Rgb(*canvas, 11, 0), 0x0000FFu) << "no special piece: the plain one";
}

// Nine 2 x 2 parts of a 6 x 6 image, each its own colour.
uint32_t PartColour(uint32_t part)
{
    return 0xFF000000u | (part * 25 + 30) << 16 | (250 - part * 20) << 8 | 7;
}

TEST_F(SkinBorderTest, SegmentedBorderDrawsNineSlicesWithTiledEdgesAndOptionalCentre)
{
    AddFrame("Nine", 6, 6, [](uint32_t x, uint32_t y) { return PartColour(x / 2 + 3 * (y / 2)); });
    CSegmentedImageSkinBorder border;
    border.m_BackgroundImage = Index("Nine");
    border.m_LeftBorderWidth = border.m_RightBorderWidth = 2;
    border.m_TopBorderHeight = border.m_BottomBorderHeight = 2;
    auto canvas = Canvas(11, 11);
    border.DrawBackground(nullptr, *canvas, CRect{0, 0, 11, 11}, nullptr);
    const auto part = [](uint32_t p) { return PartColour(p) & 0xFFFFFFu; };
    EXPECT_EQ(Rgb(*canvas, 0, 0), part(0));
    EXPECT_EQ(Rgb(*canvas, 10, 0), part(2));
    EXPECT_EQ(Rgb(*canvas, 0, 10), part(6));
    EXPECT_EQ(Rgb(*canvas, 9, 9), part(8));
    EXPECT_EQ(Rgb(*canvas, 6, 1), part(1)) << "edges repeat between the corners";
    EXPECT_EQ(Rgb(*canvas, 1, 7), part(3));
    EXPECT_EQ(Rgb(*canvas, 10, 4), part(5));
    EXPECT_EQ(Rgb(*canvas, 5, 9), part(7));
    EXPECT_EQ(Rgb(*canvas, 5, 5), part(4));

    border.m_DrawCenter = false;
    auto hollow = Canvas(11, 11);
    border.DrawBackground(nullptr, *hollow, CRect{0, 0, 11, 11}, nullptr);
    EXPECT_EQ(Rgb(*hollow, 5, 5), 0u);
    EXPECT_EQ(Rgb(*hollow, 5, 1), part(1));

    // Overhangs grow the destination; the overlay layer uses its own image.
    border.m_LeftOverhang = border.m_TopOverhang = 1;
    auto grown = Canvas(11, 11);
    border.DrawBackground(nullptr, *grown, CRect{2, 2, 9, 9}, nullptr);
    EXPECT_EQ(Rgb(*grown, 1, 1), part(0));
    EXPECT_EQ(Rgb(*grown, 0, 0), 0u);
    border.DrawFrame(nullptr, *grown, CRect{0, 0, 11, 11}, nullptr, false);
    EXPECT_EQ(Rgb(*grown, 0, 0), 0u) << "no overlay image: nothing";
}

// A button grows on hover through a transforming proxy: each slice of its
// skin still shows only its own piece. Unscaled, the proxy gives the pixels
// of the direct draw; at twice the size (nearest sampling, so edges fall on
// whole pixels) those of the direct draw blown up as one picture.
TEST_F(SkinBorderTest, SegmentedBorderThroughAZoomingProxyDrawsEachSliceAlone)
{
    AddFrame("Nine", 6, 6, [](uint32_t x, uint32_t y) { return PartColour(x / 2 + 3 * (y / 2)); });
    CSegmentedImageSkinBorder border;
    border.m_BackgroundImage = Index("Nine");
    border.m_LeftBorderWidth = border.m_RightBorderWidth = 2;
    border.m_TopBorderHeight = border.m_BottomBorderHeight = 2;
    const CRect rect{0, 0, 11, 9};
    const auto pixels = [](const CFrame& frame) {
        std::vector<uint32_t> all;
        for (int32_t y = 0; y < int32_t(frame.GetHeight()); ++y)
            for (int32_t x = 0; x < int32_t(frame.GetWidth()); ++x)
                all.push_back(frame.GetRawPixel(x, y));
        return all;
    };
    auto direct = Canvas(11, 9);
    border.DrawBackground(nullptr, *direct, rect, nullptr);

    // The button's own chain: a clipped wrapper over the zoom.
    auto zoomed = Canvas(11, 9);
    COffsetRotateScaleProxyFrame zoom;
    zoom.SetFrame(zoomed.get());
    COffsetClippedProxyFrame wrapper(&zoom);
    border.DrawBackground(nullptr, wrapper, rect, nullptr);
    EXPECT_EQ(pixels(*zoomed), pixels(*direct));

    const bool smooth = SetBlitXSmoothing(false);
    auto doubled = Canvas(22, 18);
    zoom.SetFrame(doubled.get());
    zoom.SetUniformScale(2.0f);
    COffsetClippedProxyFrame doubledWrapper(&zoom);
    border.DrawBackground(nullptr, doubledWrapper, rect, nullptr);
    auto expected = Canvas(22, 18);
    CBlitXParams whole(direct.get(), 0, 0, 0, 2, 2, CColor(255, 255, 255, 255), 0, 0, 0, true);
    expected->Render(whole);
    SetBlitXSmoothing(smooth);
    EXPECT_EQ(pixels(*doubled), pixels(*expected));
    EXPECT_EQ(Rgb(*doubled, 11, 1), PartColour(1) & 0xFFFFFFu) << "the top edge, not a corner's whole image";
}

// A textured band is filled by the wrapping blit; through the zoom it still
// repeats the texture, masked corner and all, as drawn directly.
TEST_F(SkinBorderTest, AlphaBackgroundThroughAZoomingProxyStillRepeatsItsTexture)
{
    AddFrame("Gradient", 4, 4, [](uint32_t x, uint32_t y) { return 0xFF000000u | (x * 60) << 16 | (y * 60) << 8; });
    AddFrame("Round", 4, 4, [](uint32_t x, uint32_t y) { return x + y < 2 ? 0x00000000u : 0xFFFFFFFFu; });
    CAlphaSkinBorder border;
    border.m_BackgroundTexture = Index("Gradient");
    border.m_TopLeftAlpha = Index("Round");
    auto direct = GreyCanvas(16, 16);
    border.DrawBackground(nullptr, *direct, CRect{1, 2, 15, 15}, nullptr);
    auto zoomed = GreyCanvas(16, 16);
    COffsetRotateScaleProxyFrame zoom;
    zoom.SetFrame(zoomed.get());
    COffsetClippedProxyFrame wrapper(&zoom);
    border.DrawBackground(nullptr, wrapper, CRect{1, 2, 15, 15}, nullptr);
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 16; ++x)
            ASSERT_EQ(Rgb(*zoomed, x, y), Rgb(*direct, x, y)) << x << "," << y;
}

// Draws a border's background over itself.
class CBorderWindow : public CJWindow {
public:
    explicit CBorderWindow(CSkinBorder& border)
        : CJWindow(nullptr)
        , m_Border(border)
    {
    }
    void Draw(CFrameInterface& frame) override
    {
        m_Border.DrawBackground(this, frame, CRect{0, 0, GetWidth(), GetHeight()}, nullptr);
    }
    CSkinBorder& m_Border;
};

TEST_F(SkinBorderTest, OverhangsReachBeyondTheWindowAndAreCutAtTheParentsEdge)
{
    AddFrame("White", 6, 6, 0xFFFFFFFFu);
    CSegmentedImageSkinBorder border;
    border.m_BackgroundImage = Index("White");
    border.m_LeftBorderWidth = border.m_RightBorderWidth = 2;
    border.m_TopBorderHeight = border.m_BottomBorderHeight = 2;
    border.m_LeftOverhang = border.m_TopOverhang = border.m_RightOverhang = border.m_BottomOverhang = 5;
    auto* root = new CJWindow(nullptr);
    root->SetRect(CRect{0, 0, 40, 40});
    auto* parent = new CJWindow(nullptr);
    parent->SetRect(CRect{10, 10, 30, 30});
    root->AddChild(parent, kAsIsNoGrow);
    auto* window = new CBorderWindow(border);
    window->SetRect(CRect{3, 3, 17, 17});
    parent->AddChild(window, kAsIsNoGrow);
    auto canvas = Canvas(40, 40);
    const CBlitType& blit = GetTransparentMaskBlitType();
    root->Draw(*canvas);
    EXPECT_EQ(Rgb(*canvas, 11, 11), 0xFFFFFFu) << "two pixels beyond the window";
    EXPECT_EQ(Rgb(*canvas, 10, 20), 0xFFFFFFu);
    EXPECT_EQ(Rgb(*canvas, 29, 29), 0xFFFFFFu);
    EXPECT_EQ(Rgb(*canvas, 9, 20), 0u) << "cut at the parent's edge";
    EXPECT_EQ(Rgb(*canvas, 30, 20), 0u);
    EXPECT_FLOAT_EQ(blit.GetOpacity(), 1.0f);

    // Drawn straight into a frame (no tree target), nothing is cut.
    auto plain = Canvas(30, 30);
    border.DrawBackground(nullptr, *plain, CRect{10, 10, 20, 20}, nullptr);
    EXPECT_EQ(Rgb(*plain, 5, 5), 0xFFFFFFu);
    EXPECT_EQ(Rgb(*plain, 4, 5), 0u);
    root->Destroy();
}

TEST_F(SkinBorderTest, OnlyPowerOfTwoFramesAreOfferedAsBackgroundTextures)
{
    AddFrame("Odd", 100, 64, 0xFF000000u);
    AddFrame("Wide", 128, 64, 0xFF000000u);
    AddFrame("Square", 1, 1, 0xFF000000u);
    CFilterFrameListToOnlyPowerOfTwo& filter = CFilterFrameListToOnlyPowerOfTwo::SGetInstance();
    EXPECT_FALSE(filter.IsChoiceAllowed(*m_Frames, Index("Odd")));
    EXPECT_TRUE(filter.IsChoiceAllowed(*m_Frames, Index("Wide")));
    EXPECT_TRUE(filter.IsChoiceAllowed(*m_Frames, Index("Square")));
    EXPECT_FALSE(filter.IsChoiceAllowed(*m_Frames, -1));
    EXPECT_FALSE(filter.IsChoiceAllowed(*m_Frames, 3));
}

TEST_F(SkinBorderTest, ThemeDataReadsOldKeysAndTreatsMissingFramesAsNone)
{
    AddFrame("Plate", 4, 4, 0xFF000000u);
    WriteBytes("Data.txt", "CAlphaSkinData\r\n{\r\n"
                           "\tSpace Between Controls=5\r\n"
                           "\tGeneral Font=No Such Font\r\n"
                           "\tWindow Border=CAlphaSkinBorder\r\n\t{\r\n"
                           "\t\tTitle Plate=Plate\r\n"
                           "\t\tFrame/Top Left Highlight=No Such Frame\r\n"
                           "\t}\r\n"
                           "}\r\n");
    CAlphaSkinData data;
    ASSERT_NE(data.m_WindowBorder, nullptr) << "made with a default window border";
    EXPECT_NE(data.m_ButtonBorder, nullptr);
    EXPECT_EQ(data.m_PressedButtonBorder, nullptr);
    ASSERT_TRUE(data.ReadFromFile("Data.txt", 0));
    EXPECT_EQ(data.m_VerticalSpace, 5);
    EXPECT_EQ(data.m_HorizontalSpace, 5);
    EXPECT_EQ(data.m_Margin, 8);
    auto* border = dynamic_cast<CAlphaSkinBorder*>(data.m_WindowBorder);
    ASSERT_NE(border, nullptr);
    EXPECT_EQ(border->m_TopCenterDecal, Index("Plate"));
    EXPECT_EQ(border->m_TopLeftHighlight, -1);
    EXPECT_EQ(data.m_GeneralFont, -1);
    EXPECT_EQ(data.GetGeneralFont(), CJWindow::GetDefaultFont());
    EXPECT_EQ(data.GetHeadingFont(), data.GetGeneralFont());
    EXPECT_EQ(dynamic_cast<CClassicSkinBorder*>(data.m_ListBoxBorder) != nullptr, true);

    // Written back, the frame keeps its name and the missing one is gone.
    ASSERT_TRUE(data.SaveToFile("Saved.txt", 0));
    const std::string saved = ReadBytes("Saved.txt");
    EXPECT_NE(saved.find("Top Center Decal=Plate"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("No Such"), std::string::npos) << saved;
    CAlphaSkinData again;
    ASSERT_TRUE(again.ReadFromFile("Saved.txt", 0));
    EXPECT_EQ(dynamic_cast<CAlphaSkinBorder*>(again.m_WindowBorder)->m_TopCenterDecal, Index("Plate"));
    EXPECT_EQ(again.m_HorizontalSpace, 5);
}

} // namespace
