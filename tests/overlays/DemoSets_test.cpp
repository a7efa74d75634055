// The checked-in overlay sets with freshly drawn images, as the program
// reads them: each loads, names nothing missing and draws where its data
// says.
#include "OverlayTestSupport.h"

#include "images/CFont.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "ui/CJButton.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class DemoSets : public OverlayTest {
protected:
    void SetUp() override
    {
        OverlayTest::SetUp();
        std::filesystem::create_directories("Data");
        std::filesystem::copy(OMBRISALT_DEMO_DATA "/Data/Resources", "Data/Resources",
                              std::filesystem::copy_options::recursive);
        std::filesystem::current_path("Data");
        if (!std::filesystem::exists("Resources/!default.ttf"))
            GTEST_SKIP() << "DejaVuSans.ttf is missing (Debian package fonts-dejavu-core)";
        EnumerateFontFiles();
        GetFontList().SetSource(nullptr, "Resources|Fonts", 0);
        ResetLists();
    }
    void TearDown() override
    {
        GetFontList().RemoveAll();
        OverlayTest::TearDown();
    }
    // RGB of a pixel, alpha dropped.
    static uint32_t Rgb(const CFrame& frame, int32_t x, int32_t y) { return Pixel(frame, x, y) & 0xFFFFFFu; }
};

TEST_F(DemoSets, TheSplashDrawsTheLoadingPictureTitleAndProgress)
{
    CFrameOverlayOptions* splash = Set("Splash");
    ASSERT_NE(splash, nullptr);
    CTextSubstitutionList values;
    values.AddNumber("%s[NumThingsLoaded]", 20);
    values.AddNumber("%s[TotalThingsToLoad]", 40);
    values.AddText("%s[Key]", CJString("3"));
    auto screen = Canvas(1024, 768);
    splash->DrawOnFrame(*screen, &values, false, nullptr);
    EXPECT_EQ(Rgb(*screen, 240, 310), 0x12162Cu); // the title plate
    EXPECT_EQ(Rgb(*screen, 232, 300), 0xE8A828u); // its rim
    // Three sixths of the bar, no more.
    EXPECT_NE(Rgb(*screen, 332 + 170, 455), 0x12162Cu);
    EXPECT_EQ(Rgb(*screen, 332 + 190, 455), 0x12162Cu);
}

TEST_F(DemoSets, TheHudFillsItsGaugeAndTheNestedPanelRests)
{
    CFrameOverlayOptions* hud = Set("HUD");
    ASSERT_NE(hud, nullptr);
    CTextSubstitutionList values;
    values.AddText("%s[Clock]", CJString("0:05"));
    values.AddNumber("%s[Score]", 1234567);
    values.AddNumber("%s[Energy]", 50);
    values.AddNumber("%s[MaxEnergy]", 100);
    values.AddText("%s[Bonus]", CJString("0"));
    auto screen = Canvas(1024, 768);
    CFrameOverlayDrawContext context;
    context.m_pTarget = screen.get();
    context.m_pSubstitutions = &values;
    context.m_Time = 5.0f;
    context.m_MouseX = 410;
    context.m_MouseY = 704;
    hud->Draw(context);
    EXPECT_EQ(Rgb(*screen, 40, 684), 0xE8A828u);
    // Half the gauge is filled: its trough shows beyond the middle.
    EXPECT_NE(Rgb(*screen, 402 + 100, 708), 0x1E1E28u);
    EXPECT_EQ(Rgb(*screen, 402 + 120, 708), 0x1E1E28u);
    EXPECT_STREQ(context.m_ToolTip.GetString(), "Energy 50 of 100");
    // The panel has slid in: its card's top rim at the nested position.
    EXPECT_EQ(Rgb(*screen, 620 + 180, 430 + 1), 0xF0DCA0u);
    CPoint offset{0, 0};
    EXPECT_NE(hud->FindOverlay(CJString("quiz"), &values, &offset), nullptr);
    EXPECT_EQ(offset, (CPoint{620, 430}));
    // The panel's button is found through both containers.
    CJButton* replay = hud->CreateButtonWindow(CJString("Replay"), &values);
    ASSERT_NE(replay, nullptr);
    EXPECT_EQ(replay->GetRect(), (CRect{620 + 205, 430 + 136, 620 + 315, 430 + 168}));
    replay->Destroy();
}

} // namespace
