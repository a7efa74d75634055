// What buttons, check boxes and proxy-drawn controls put on the screen,
// drawn by a real screen window into a 32-bit frame with the default font.
#include "SkinTestSupport.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "images/CFrame.h"
#include "render/CProxyFrame.h"
#include "ui/CAlphaSkinData.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJButton.h"
#include "ui/CJButtonProxyDraw.h"
#include "ui/CJCheckBox.h"
#include "ui/CScreenWindow.h"
#include "ui/CSkinBorder.h"

#include <memory>

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;

class ButtonDrawingTest : public SkinFrameTest {
protected:
    void SetUp() override
    {
        SkinFrameTest::SetUp();
        if (IsSkipped())
            return;
        m_Canvas = Canvas(160, 120);
        m_Screen = std::make_unique<CScreenWindow>(m_Canvas.get(), m_Font.get());
    }
    void TearDown() override
    {
        m_Screen.reset();
        SkinFrameTest::TearDown();
    }
    template <typename T>
    T* Put(T* control, int32_t x, int32_t y)
    {
        m_Screen->AddChild(control, kAsIsNoGrow);
        control->MoveTo(x, y);
        return control;
    }
    void Draw()
    {
        CColor black(0, 0, 0, 255);
        m_Canvas->Fill(black);
        m_Screen->DrawToScreen();
    }
    static std::unique_ptr<CFrame> Solid(uint32_t width, uint32_t height, uint8_t r, uint8_t g, uint8_t b)
    {
        auto frame = CFrame::MakeOwned(width, height, 32);
        CColor colour(r, g, b, 255);
        frame->Fill(colour);
        return frame;
    }
    uint32_t At(int32_t x, int32_t y) const { return Rgb(*m_Canvas, x, y); }

    std::unique_ptr<CFrame> m_Canvas;
    std::unique_ptr<CScreenWindow> m_Screen;
};

// Records the blit opacities its box is drawn with.
class COpacityProbeBox : public CJCheckBox {
public:
    using CJCheckBox::CJCheckBox;
    void DrawBoxUnchecked(CFrameInterface& frame, int32_t x, int32_t y) override
    {
        m_Mask = GetTransparentMaskBlitType().GetOpacity();
        m_Black = GetBlackBiasBlitType().GetOpacity();
        CJCheckBox::DrawBoxUnchecked(frame, x, y);
    }
    float m_Mask = -1.0f;
    float m_Black = -1.0f;
};

TEST_F(ButtonDrawingTest, PressedContentMovesByOnePixelAndHoverZoomGrowsAboutTheCentre)
{
    auto icon = Solid(6, 6, 255, 255, 255);
    auto* button = Put(new CJButton(m_Screen.get(), ""), 20, 20);
    button->SetImage(icon.get(), false, false);
    const int32_t border = button->GetBorderWidth();
    ASSERT_GT(border, 0);
    Draw();
    EXPECT_EQ(At(20 + border, 20 + border), kWhite);
    EXPECT_NE(At(20 + border + 6, 20 + border + 6), kWhite);
    ASSERT_TRUE(button->OnMouseDown(0, CPoint{22, 22}));
    Draw();
    EXPECT_NE(At(20 + border, 20 + border), kWhite);
    EXPECT_EQ(At(20 + border + 6, 20 + border + 6), kWhite);
    button->Destroy();

    // A 10-pixel image that is the whole button, zoomed to twice its size
    // at once: it covers 15..35 around its centre at 25.
    auto face = Solid(10, 10, 255, 255, 255);
    auto* zoomed = Put(new CJButton(m_Screen.get(), ""), 20, 20);
    zoomed->SetImage(face.get(), true, false);
    zoomed->SetHoverZoom(1.0f, 0.0f);
    ASSERT_EQ(zoomed->GetWidth(), 10);
    Draw();
    EXPECT_EQ(At(25, 25), kWhite);
    EXPECT_NE(At(17, 17), kWhite);
    CCursorSequence* cursor = nullptr;
    zoomed->OnMouseMove(CPoint{25, 25}, CPoint{0, 0}, cursor);
    ASSERT_FLOAT_EQ(zoomed->GetHoverScale(), 2.0f);
    Draw();
    EXPECT_EQ(At(17, 17), kWhite);
    EXPECT_EQ(At(33, 33), kWhite);
    EXPECT_NE(At(13, 13), kWhite);
    EXPECT_NE(At(37, 25), kWhite);
}

// A hover zoom from data far past any size widens the clip to the ends of
// the int range and no further; the zoomed face still covers its centre.
TEST_F(ButtonDrawingTest, AHugeHoverZoomHoldsTheWidenedClipAtTheIntRange)
{
    auto face = Solid(10, 10, 255, 255, 255);
    auto* zoomed = Put(new CJButton(m_Screen.get(), ""), 20, 20);
    zoomed->SetImage(face.get(), true, false);
    zoomed->SetHoverZoom(1.0e30f, 0.0f);
    CCursorSequence* cursor = nullptr;
    zoomed->OnMouseMove(CPoint{25, 25}, CPoint{0, 0}, cursor);
    Draw();
    EXPECT_EQ(At(25, 25), kWhite);
}

TEST_F(ButtonDrawingTest, AlphaButtonsKeepTheirBorderWhenHoveredWithoutAHoverBorderAndSwapItWhenPressed)
{
    CJWindowAlphaTheme theme;
    CAlphaSkinData& data = theme.GetData();
    ASSERT_NE(data.m_ButtonBorder, nullptr);
    data.m_ButtonBorder->m_BackgroundColor = CColor(200, 0, 0, 255);
    auto* pressedBorder = new CClassicSkinBorder();
    pressedBorder->m_BackgroundColor = CColor(0, 0, 200, 255);
    data.m_PressedButtonBorder = pressedBorder;
    auto* parent = Put(new CJWindow(nullptr, ""), 0, 0);
    parent->SetSkinTheme(&theme);
    parent->SetRect(CRect{0, 0, 160, 120});
    auto* button = new CJButton(parent, "Go");
    button->SetRect(CRect{20, 20, 80, 50});
    parent->AddChild(button, kAsIsNoGrow);

    Draw();
    EXPECT_EQ(At(50, 22 + button->GetBorderWidth()), 0xC80000u);
    CCursorSequence* cursor = nullptr;
    button->OnMouseMove(CPoint{50, 35}, CPoint{0, 0}, cursor);
    ASSERT_TRUE(button->IsHovered());
    Draw();
    EXPECT_EQ(At(50, 22 + button->GetBorderWidth()), 0xC80000u) << "no hover border: the normal one";
    ASSERT_TRUE(button->OnMouseDown(0, CPoint{50, 35}));
    Draw();
    EXPECT_EQ(At(50, 22 + button->GetBorderWidth()), 0x0000C8u);
    // Pressed but moved off: drawn up again.
    button->OnMouseMove(CPoint{150, 110}, CPoint{0, 0}, cursor);
    Draw();
    EXPECT_EQ(At(50, 22 + button->GetBorderWidth()), 0xC80000u);
    parent->Destroy();
}

TEST_F(ButtonDrawingTest, CheckBoxesSizeToTheirTitleAndDrawTheirCrossWhenChecked)
{
    auto* box = Put(new CJCheckBox(m_Screen.get(), ""), 10, 10);
    const int32_t side = int32_t(m_Font->GetHeight()) + 2;
    EXPECT_EQ(box->GetBoxSize(), side);
    EXPECT_EQ(box->GetWidth(), side + m_Font->GetTextWidth(CJString("XXX")) + 1);
    EXPECT_EQ(box->GetHeight(), std::max(m_Font->GetLineHeight() + 2, side));
    box->SetTitle(CJString("Sound"));
    EXPECT_EQ(box->GetWidth(), side + m_Font->GetTextWidth(CJString("Sound")) + 1);

    const int32_t middle = 10 + side / 2;
    Draw();
    EXPECT_NE(At(middle, middle), 0xBABABAu);
    box->SetChecked(1);
    Draw();
    EXPECT_EQ(At(middle, middle), 0xBABABAu) << "the cross in colour 1";
    EXPECT_EQ(At(11, 11), 0xBABABAu);

    // Disabled: both blits dimmed for the draw, then as they were.
    auto* probe = Put(new COpacityProbeBox(m_Screen.get(), "Off"), 10, 60);
    probe->Enable(false);
    const CScopedBlitOpacity outer(GetTransparentMaskBlitType(), 0.7f);
    const float black = GetBlackBiasBlitType().GetOpacity();
    Draw();
    EXPECT_FLOAT_EQ(probe->m_Mask, 0.4f);
    EXPECT_FLOAT_EQ(probe->m_Black, 0.6f);
    EXPECT_FLOAT_EQ(GetTransparentMaskBlitType().GetOpacity(), 0.7f);
    EXPECT_FLOAT_EQ(GetBlackBiasBlitType().GetOpacity(), black);
}

TEST_F(ButtonDrawingTest, ImageCheckBoxesSizeToTheirImagesAndSwapThemWhenChecked)
{
    auto checked = Solid(8, 8, 255, 0, 0);
    auto unchecked = Solid(8, 12, 0, 255, 0);
    auto* box = Put(new CJImageCheckBox(m_Screen.get(), ""), 10, 10);
    box->SetCheckedImage(checked.get());
    box->SetUncheckedImage(unchecked.get());
    box->SetBoxImage(unchecked.get());
    EXPECT_EQ(box->GetBoxSize(), 8);
    EXPECT_EQ(box->GetWidth(), m_Font->GetTextWidth(CJString("XXX")) + 8 + 1);
    EXPECT_EQ(box->GetHeight(), 12);
    Draw();
    EXPECT_EQ(At(12, 12), kGreen);
    box->SetChecked(1);
    Draw();
    EXPECT_EQ(At(12, 12), kRed);

    // Label images lie at the control's origin, under a box moved right
    // (by the empty title's width + 1).
    auto label = Solid(4, 4, 0, 0, 255);
    auto checkedLabel = Solid(4, 4, 255, 255, 0);
    auto* labelled = Put(new CJImageCheckBox(m_Screen.get(), ""), 10, 60);
    labelled->SetCheckedImage(checked.get());
    labelled->SetBoxOnRight(true);
    labelled->m_LabelImage = label.get();
    Draw();
    EXPECT_EQ(At(10, 61), 0x0000FFu);
    const int32_t boxX = 11;
    EXPECT_NE(At(boxX + 2, 62), kRed);
    labelled->m_CheckedLabelImage = checkedLabel.get();
    labelled->SetChecked(1);
    Draw();
    EXPECT_EQ(At(10, 61), 0xFFFF00u);
    EXPECT_EQ(At(boxX + 2, 62), kRed);
}

TEST_F(ButtonDrawingTest, ProxyControlsAreDrawnOnlyByTheirOwnerAndGiveTheTargetBack)
{
    auto icon = Solid(6, 6, 255, 255, 255);
    auto* proxy = Put(new CJButtonProxyDrawTemplate<CJButton>(m_Screen.get(), ""), 30, 40);
    proxy->SetImage(icon.get(), false, false);
    proxy->SetOutlineColorRGB(255, 0, 255);
    const int32_t border = proxy->GetBorderWidth();
    Draw();
    for (int32_t y = 38; y < 60; ++y)
        for (int32_t x = 28; x < 50; ++x)
            ASSERT_EQ(At(x, y), 0u) << "the tree draws nothing at " << x << "," << y;

    COffsetClippedProxyFrame target(m_Canvas.get());
    target.SetOffset(5, 7);
    target.SetClipRect(CRect{5, 7, 100, 90});
    proxy->DrawProxy(target);
    EXPECT_EQ(At(30 + border, 40 + border), kWhite);
    // The outline is drawn after the target is given back: in the owner's
    // coordinates, here 5,7 off the screen's.
    EXPECT_NE(At(24, 38), 0xFF00FFu) << "no outline while not live";
    EXPECT_EQ(target.GetOffsetX(), 5);
    EXPECT_EQ(target.GetOffsetY(), 7);
    CRect bounds{};
    target.GetBounds(bounds);
    EXPECT_EQ(bounds, (CRect{5, 7, 100, 90}));

    proxy->SetProxyActive(true);
    proxy->DrawProxy(target);
    EXPECT_EQ(At(24, 38), 0xFF00FFu) << "a live control gets its outline";
}

} // namespace
