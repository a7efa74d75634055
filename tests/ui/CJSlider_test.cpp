// Sliders driven through the screen window: keys, wheel and pointer drags
// pick the value; a disabled slider draws dimmed and leaves the shared
// drawing state as it found it.
#include "ControlTestSupport.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "ui/CJSlider.h"

#include <algorithm>

namespace {

using SliderTest = ControlTest;

TEST_F(SliderTest, KeysAndWheelStepByAPageWithinThePositions)
{
    auto* slider = Put(new CJSlider(m_Parent, 100, 0), 10, 10);
    EXPECT_EQ(slider->GetPageStep(), 5u) << "a twentieth of 100 positions";
    EXPECT_EQ(CJSlider(nullptr, 3, 0).GetPageStep(), 1u) << "at least one";
    EXPECT_EQ(slider->GetWidth(), m_Font->GetTextWidth(CJString("~CJSlider")) + 4 * Unit() + 2);
    EXPECT_EQ(slider->GetHeight(), m_Font->GetLineHeight() + 4 * Unit() + 2);
    ASSERT_TRUE(slider->HasFocus());

    slider->SetValue(3, true);
    Take();
    Type(EngineKey::Left);
    EXPECT_EQ(slider->GetValue(), 0u) << "less than a page left: to the start";
    EXPECT_EQ(Changes(), 1);
    Type(EngineKey::Left);
    EXPECT_EQ(Changes(), 0) << "no change, no notice";
    Type(EngineKey::Right);
    EXPECT_EQ(slider->GetValue(), 5u);
    Type(EngineKey::End);
    EXPECT_EQ(slider->GetValue(), 99u);
    Type(EngineKey::Right);
    EXPECT_EQ(slider->GetValue(), 99u) << "never past the last position";
    Type(EngineKey::Home);
    EXPECT_EQ(slider->GetValue(), 0u);
    EXPECT_EQ(Changes(), 3);

    MoveTo(20, 15);
    m_Screen->OnMouseWheel(1, CPoint{20, 15});
    EXPECT_EQ(slider->GetValue(), 5u);
    m_Screen->OnMouseWheel(0, CPoint{20, 15});
    EXPECT_EQ(slider->GetValue(), 0u) << "a zero amount goes left";

    slider->SetValue(250, false);
    EXPECT_EQ(slider->GetValue(), 99u) << "values beyond the positions stop at the last";
}

TEST_F(SliderTest, ThePointerPicksThePositionUnderItAndAThumbWithNoRoomIgnoresIt)
{
    auto* slider = Put(new CJSlider(m_Parent, 11, 0), 20, 30);
    slider->SetSize(120, slider->GetHeight());
    const int32_t thumb = m_Font->GetLineHeight() + 1;
    const int32_t travel = 120 - thumb;
    const int32_t left = slider->GetScreenRect().left;
    // The position whose thumb centre lies nearest the pointer.
    auto expected = [&](int32_t x) {
        const int32_t value = (travel / 2 + 10 * (x - thumb / 2 - left)) / travel;
        return uint32_t(std::clamp(value, 0, 10));
    };
    const int32_t y = slider->GetScreenRect().top + 2;
    Take();
    MoveTo(left + 70, y);
    Press();
    EXPECT_EQ(slider->GetValue(), expected(left + 70)) << "a press on the track jumps there";
    const CRect rect = slider->GetThumbRect(CRect{0, 0, 120, slider->GetHeight()});
    EXPECT_EQ(rect.GetWidth(), thumb);
    EXPECT_EQ(rect.left, (travel * int32_t(slider->GetValue()) + 5) / 10);
    MoveTo(left + 400, y);
    EXPECT_EQ(slider->GetValue(), 10u);
    MoveTo(left - 400, y);
    EXPECT_EQ(slider->GetValue(), 0u);
    Release();
    EXPECT_EQ(Changes(), 3);
    MoveTo(left + 400, y);
    EXPECT_EQ(slider->GetValue(), 0u) << "released: moves no longer drag";

    slider->SetSize(thumb, slider->GetHeight());
    slider->SetValue(4, true);
    MoveTo(left + 1, y);
    Press();
    MoveTo(left + 300, y);
    Release();
    EXPECT_EQ(slider->GetValue(), 4u) << "no room to move: the drag is ignored";
    EXPECT_EQ(slider->GetThumbRect(CRect{0, 0, thumb, 10}).left, 0);
}

TEST_F(SliderTest, AGreyedSliderDrawsDimmedAndPutsTheSharedStateBack)
{
    auto* slider = Put(new CJSlider(m_Parent, 10, 0), 10, 10);
    slider->SetSize(100, slider->GetHeight());
    auto pixels = [&] {
        Draw();
        std::vector<uint32_t> all;
        for (int32_t y = 10; y < 10 + slider->GetHeight(); ++y)
            for (int32_t x = 10; x < 110; ++x)
                all.push_back(Rgb(*m_Canvas, x, y));
        return all;
    };
    const auto normal = pixels();
    CScopedBlitOpacity mask(GetTransparentMaskBlitType(), 0.8f);
    CScopedBlitOpacity black(GetBlackBiasBlitType(), 0.7f);
    const uint8_t shadow = CJWindow::GetBevelColour(CJWindow::BevelColour::Shadow).GetAlpha();
    const uint8_t light = CJWindow::GetBevelColour(CJWindow::BevelColour::Light).GetAlpha();
    slider->SetGrayed(true);
    const auto greyed = pixels();
    EXPECT_NE(normal, greyed);
    EXPECT_FLOAT_EQ(GetTransparentMaskBlitType().GetOpacity(), 0.8f) << "the previous value, not 1";
    EXPECT_FLOAT_EQ(GetBlackBiasBlitType().GetOpacity(), 0.7f);
    EXPECT_EQ(CJWindow::GetBevelColour(CJWindow::BevelColour::Shadow).GetAlpha(), shadow);
    EXPECT_EQ(CJWindow::GetBevelColour(CJWindow::BevelColour::Light).GetAlpha(), light);
    slider->SetGrayed(false);
    slider->Enable(false);
    EXPECT_EQ(pixels(), greyed) << "disabled draws as greyed";
    slider->Enable(true);
    EXPECT_EQ(pixels(), normal);

    {
        CScopedHalfBevels outer;
        {
            CScopedHalfBevels inner;
            EXPECT_EQ(CJWindow::GetBevelColour(CJWindow::BevelColour::Shadow).GetAlpha(), shadow / 4);
        }
        EXPECT_EQ(CJWindow::GetBevelColour(CJWindow::BevelColour::Shadow).GetAlpha(), shadow / 2)
            << "a nested greyed draw leaves its parent's dimming on";
    }
    EXPECT_EQ(CJWindow::GetBevelColour(CJWindow::BevelColour::Shadow).GetAlpha(), shadow);
}

} // namespace
