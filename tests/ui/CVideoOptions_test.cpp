// The display options window driven by real clicks: the brightness slider
// against the stored setting and the screen, the two pages, what it says
// about the screen, and the Done button.
#include "SkinTestSupport.h"
#include "UiTestSupport.h"

#include "foundation/CIniSection.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"
#include "ui/CJSlider.h"
#include "ui/CJStatic.h"
#include "ui/CJTabControl.h"
#include "ui/CVideoOptions.h"

#include <memory>

namespace {

class VideoOptionsTest : public UiTestOn<SkinFrameTest> {
protected:
    void SetUp() override
    {
        UiTestOn<SkinFrameTest>::SetUp();
        if (IsSkipped())
            return;
        m_Screen = new CScreenWindow(m_ScreenFrame.get(), m_Font.get());
        m_Brightness = CScreenFrame::SGetInstance().GetBrightness();
    }
    void TearDown() override
    {
        delete m_Screen;
        CScreenFrame::SGetInstance().SetBrightness(m_Brightness);
        UiTestOn<SkinFrameTest>::TearDown();
    }
    template <typename... Facts>
    CVideoOptions* Open(const Facts&... facts)
    {
        auto* window = new CVideoOptions(m_Screen, facts...);
        m_Screen->AddChildFirst(window, EPlace::Centred);
        Step(CPoint{0, 0}, false);
        return window;
    }
    void Step(CPoint p, bool held)
    {
        CMouseState& mouse = CMouseState::SGetInstance();
        mouse.SetPosition(p.x, p.y);
        mouse.SetButtons(held ? 1u : 0u);
        Advance(16);
        m_Screen->Update(0.016f);
    }
    void Click(CPoint p)
    {
        Step(p, true);
        Step(p, false);
    }
    static CPoint Centre(const CJWindow& window)
    {
        const CRect& r = window.GetScreenRect();
        return CPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    bool IsOpen() const
    {
        for (CJWindow* child = m_Screen->GetFirstChild(); child; child = child->GetNextSibling())
            if (dynamic_cast<CVideoOptions*>(child))
                return true;
        return false;
    }

    std::unique_ptr<CFrame> m_ScreenFrame = CFrame::MakeOwned(800, 600, 32);
    CScreenWindow* m_Screen = nullptr;
    float m_Brightness = 1.0f;
};

TEST_F(VideoOptionsTest, TheSliderShowsTheStoredBrightnessAndAppliesItsMoves)
{
    GetOptionsSection().SetFloat("Screen Brightness", 1.25f);
    CVideoOptions* window = Open();
    EXPECT_STREQ(window->GetTitle().GetString(), "Display Options");
    CJSlider* slider = window->GetBrightnessSlider();
    EXPECT_EQ(slider->GetValue(), 50u);
    EXPECT_EQ(slider->GetCount(), 101u);
    EXPECT_EQ(window->GetPixelFormatText(), nullptr) << "no pixel format on a 32-bit screen";

    const CRect& r = slider->GetScreenRect();
    Click(CPoint{r.right - 1, (r.top + r.bottom) / 2});
    EXPECT_EQ(slider->GetValue(), 100u);
    EXPECT_FLOAT_EQ(GetOptionsSection().GetFloat("Screen Brightness", 0.0f), 1.5f);
    EXPECT_FLOAT_EQ(CScreenFrame::SGetInstance().GetBrightness(), 1.5f);
    Click(CPoint{r.left, (r.top + r.bottom) / 2});
    EXPECT_FLOAT_EQ(GetOptionsSection().GetFloat("Screen Brightness", 0.0f), 1.0f);

    // The Info page, by its tab; then Done closes the window.
    CJTabControl* tabs = window->GetTabControl();
    EXPECT_EQ(tabs->GetSelectedPage(), window->GetGeneralPage()) << "the first page is selected";
    EXPECT_TRUE(window->GetGeneralPage()->IsVisible());
    EXPECT_FALSE(window->GetInfoPage()->IsVisible());
    const CRect info = tabs->GetTabRect(1);
    Click(CPoint{tabs->GetScreenRect().left + (info.left + info.right) / 2, tabs->GetScreenRect().top + 3});
    EXPECT_TRUE(window->GetInfoPage()->IsVisible());
    EXPECT_FALSE(window->GetGeneralPage()->IsVisible());
    EXPECT_STREQ(window->GetBuffersText()->GetTitle().GetString(), "1, In Video memory");
    Click(Centre(*window->GetDoneButton()));
    EXPECT_FALSE(IsOpen());
}

TEST_F(VideoOptionsTest, SixteenBitScreensShowTheirPixelFormat)
{
    SDisplayFacts facts;
    facts.bitDepth = 16;
    facts.uses565 = true;
    CVideoOptions* window = Open(facts);
    ASSERT_NE(window->GetPixelFormatText(), nullptr);
    EXPECT_STREQ(window->GetPixelFormatText()->GetTitle().GetString(), "565");
    window->Destroy();

    facts.uses565 = false;
    facts.legacyColorMode = true;
    facts.backBuffers = 2;
    facts.inVideoMemory = false;
    facts.brightness = 1.7f;
    window = Open(facts);
    EXPECT_STREQ(window->GetPixelFormatText()->GetTitle().GetString(), "555 Legacy Mode");
    EXPECT_STREQ(window->GetBuffersText()->GetTitle().GetString(), "2, In System memory");
    EXPECT_EQ(window->GetBrightnessSlider()->GetValue(), 100u) << "a brightness out of range stops at the end";

    window->PlaceDoneButton();
    const CRect& done = window->GetDoneButton()->GetRect();
    EXPECT_GE(done.top, window->GetTabControl()->GetRect().bottom) << "below the pages";
}

} // namespace
