// The colour picker driven as a designer drives it: presses on the gradient,
// the value slider moved, the window closed; what is checked is the colour
// the change command reads, the numbers shown and the gradient's pixels.
#include "ui/MenuTestSupport.h"

#include "editor/CColorPickerWindow.h"
#include "foundation/CCommand.h"
#include "images/ColorModels.h"
#include "ui/CJButton.h"
#include "ui/CJSlider.h"
#include "ui/CJStatic.h"
#include "shell/CKeyboardState.h"

#include <string>
#include <vector>

namespace {

class ColorPicker : public ScreenTest {
public:
    // The change command: what a colour row does, reading the picked colour.
    void Changed()
    {
        m_Seen.push_back(m_Picker->GetPickedColor());
        if (m_CloseOnChange)
            m_Picker->RequestClose();
    }

protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (IsSkipped())
            return;
        m_Picker = OpenColorPickerWindow(m_Screen, new CObjectFunctionCommand<ColorPicker>(this, &ColorPicker::Changed));
        ASSERT_NE(m_Picker, nullptr);
    }
    CPoint GradientPoint(int32_t x, int32_t y) const
    {
        const CRect& r = m_Picker->GetGradient()->GetScreenRect();
        return CPoint{r.left + x, r.top + y};
    }
    void PressGradient(int32_t x, int32_t y) { Click(GradientPoint(x, y)); }
    static std::string Text(const CJStatic* text) { return text->GetTitle().GetString(); }
    static bool IsGrey(const CColor& c) { return c.GetRed() == c.GetGreen() && c.GetGreen() == c.GetBlue(); }

    CColorPickerWindow* m_Picker = nullptr;
    std::vector<CColor> m_Seen;
    bool m_CloseOnChange = false;
};

TEST_F(ColorPicker, OpensAtTheRightOfA640PixelScreenWithItsNumbersUnknown)
{
    EXPECT_EQ(m_Picker->GetRect().right, 640);
    EXPECT_EQ(m_Picker->GetRect().top, 0);
    EXPECT_EQ(Text(m_Picker->GetHueText()), "??");
    EXPECT_EQ(Text(m_Picker->GetValueText()), "??");
    EXPECT_EQ(m_Picker->GetValueSlider()->GetValue(), 64u);
    EXPECT_EQ(m_Picker->GetValueSlider()->GetWidth(), m_Picker->GetGradient()->GetWidth());
    EXPECT_EQ(m_Screen->GetFirstChild(), m_Picker);
}

TEST_F(ColorPicker, TheGradientsTopRowIsGreyWhateverTheHue)
{
    const CFrame* image = m_Picker->GetGradient()->GetImage();
    for (int32_t x = 0; x < 256; x += 15) {
        CColor pixel;
        ASSERT_TRUE(image->GetPixel(x, 0, pixel));
        EXPECT_TRUE(IsGrey(pixel)) << "column " << x;
    }
    for (int32_t x : {0, 85, 170, 255}) {
        PressGradient(x, 0);
        ASSERT_FALSE(m_Seen.empty());
        EXPECT_TRUE(IsGrey(m_Seen.back())) << "column " << x;
        EXPECT_EQ(m_Seen.back().GetRed(), 127); // the starting value 0.5
        EXPECT_EQ(Text(m_Picker->GetSaturationText()), "0");
    }
    // Further down the hue shows: halfway across, near full saturation, cyan.
    PressGradient(128, 127);
    EXPECT_EQ(Text(m_Picker->GetHueText()), "180");
    EXPECT_EQ(m_Seen.back().GetGreen(), 127);
    EXPECT_EQ(m_Seen.back().GetBlue(), 127);
    EXPECT_LT(m_Seen.back().GetRed(), 10);
    EXPECT_EQ(m_Picker->GetSwatch()->GetColor().GetColorWord(), m_Seen.back().GetColorWord());
}

TEST_F(ColorPicker, TheSliderEndsGiveFullValueAndBlackForEveryHue)
{
    PressGradient(0, 127); // red at full saturation
    m_Picker->GetValueSlider()->OnKeyDown(uint32_t(EngineKey::End));
    EXPECT_EQ(m_Picker->GetGradient()->GetValue(), 1.0f);
    EXPECT_EQ(Text(m_Picker->GetValueText()), "255");
    EXPECT_EQ(m_Seen.back().GetRed(), 255);
    EXPECT_LT(m_Seen.back().GetGreen() + m_Seen.back().GetBlue(), 5); // the bottom row is 127/128 saturated
    CColor corner;
    ASSERT_TRUE(m_Picker->GetGradient()->GetImage()->GetPixel(0, 127, corner));
    EXPECT_EQ(corner.GetRed(), 255); // the image was rebuilt at the new value

    m_Picker->GetValueSlider()->OnKeyDown(uint32_t(EngineKey::Home));
    EXPECT_EQ(Text(m_Picker->GetValueText()), "0");
    for (int32_t x : {0, 60, 128, 200, 255}) {
        PressGradient(x, 100);
        EXPECT_EQ(m_Seen.back().GetColorWord(), CColor(0, 0, 0, 255).GetColorWord()) << "column " << x;
    }
}

TEST_F(ColorPicker, ClosingDestroysTheChangeCommandAlsoWhenItAsksFromInsideIt)
{
    struct Flagged : CCommand {
        explicit Flagged(bool& gone) : m_Gone(gone) {}
        ~Flagged() override { m_Gone = true; }
        void Execute() override {}
        bool& m_Gone;
    };
    bool firstGone = false;
    m_Picker->SetChangeCallback(new Flagged(firstGone));
    bool secondGone = false;
    m_Picker->SetChangeCallback(new Flagged(secondGone));
    EXPECT_TRUE(firstGone); // the command it had is deleted
    EXPECT_FALSE(secondGone);
    Click(*m_Picker->GetCloseButton());
    EXPECT_FALSE(InTree(m_Picker));
    EXPECT_TRUE(secondGone);

    // A row whose command asks the picker to close: gone after the frame.
    bool thirdGone = false;
    struct ClosingCommand : CCommand {
        ClosingCommand(ColorPicker& test, bool& gone) : m_Test(test), m_Gone(gone) {}
        ~ClosingCommand() override { m_Gone = true; }
        void Execute() override { m_Test.Changed(); }
        ColorPicker& m_Test;
        bool& m_Gone;
    };
    m_Picker = OpenColorPickerWindow(m_Screen, new ClosingCommand(*this, thirdGone));
    m_CloseOnChange = true;
    PressGradient(10, 10);
    EXPECT_FALSE(m_Seen.empty());
    EXPECT_FALSE(InTree(m_Picker));
    EXPECT_TRUE(thirdGone);
}

TEST(ColorModels, HsvToRgbAtTheSectorsAndTheWrap)
{
    struct Case {
        float hue, saturation, value;
        float red, green, blue;
    };
    const Case cases[] = {
        {0, 1, 1, 1, 0, 0},      {60, 1, 1, 1, 1, 0},   {120, 1, 1, 0, 1, 0},  {180, 1, 1, 0, 1, 1},
        {240, 1, 1, 0, 0, 1},    {300, 1, 1, 1, 0, 1},  {360, 1, 1, 1, 0, 0},  {-60, 1, 1, 1, 0, 1},
        {30, 0.5f, 1, 1, 0.75f, 0.5f}, {200, 0, 0.25f, 0.25f, 0.25f, 0.25f},
    };
    for (const Case& c : cases) {
        float r = -1, g = -1, b = -1;
        HSVToRGB(c.hue, c.saturation, c.value, r, g, b);
        EXPECT_FLOAT_EQ(r, c.red) << c.hue;
        EXPECT_FLOAT_EQ(g, c.green) << c.hue;
        EXPECT_FLOAT_EQ(b, c.blue) << c.hue;
    }
}

} // namespace
