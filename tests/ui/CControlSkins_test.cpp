// Themes made from theme files, and the frame-window and button skins they
// make, drawn for fake controls that report their state through the skins'
// client interfaces.

#include "SkinTestSupport.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "ui/CAlphaSkinData.h"
#include "ui/CAlphaTheme.h"
#include "ui/CControlSkins.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJFrameWindow.h"
#include "ui/CJStatic.h"
#include "ui/CJWindow.h"
#include "ui/CSkinBorder.h"
#include "ui/CSkinTheme.h"
#include "ui/SkinResources.h"

#include <string>

namespace {

constexpr uint32_t kGrey = 0x646464;

class CFakeFrameWindow : public CJWindow, public CFrameWindowSkinClient {
public:
    CFakeFrameWindow(CJWindow* parent, const char* title)
        : CJWindow(parent, title)
    {
    }
    const SFrameWindowSkinState& GetFrameWindowSkinState() const override { return m_State; }
    SFrameWindowSkinState m_State;
};

class CFakeButton : public CJWindow, public CButtonSkinClient {
public:
    CFakeButton(CJWindow* parent, const char* title)
        : CJWindow(parent, title)
    {
    }
    const SButtonSkinState& GetButtonSkinState() const override { return m_State; }
    bool IsGrayed() const override { return m_Greyed; }
    SButtonSkinState m_State;
    bool m_Greyed = false;
};

class ThemeTest : public SkinFrameTest {
protected:
    void SetUp() override
    {
        SkinFrameTest::SetUp();
        if (IsSkipped())
            return;
        GetFontList().SetSource(nullptr, "Fonts", 0);
        GetSkinThemeList().SetSource(nullptr, "Resources/Interface/JWindowSkins", 0);
    }
    void TearDown() override
    {
        GetSkinThemeList().RemoveAll();
        GetSkinThemeList().SetSource(nullptr, "Nowhere", 0);
        GetFontList().RemoveAll();
        GetFontList().SetSource(nullptr, "Nowhere", 0);
        SkinFrameTest::TearDown();
    }
    static void WriteTheme(const char* name, const std::string& options)
    {
        WriteBytes(std::string("Resources/Interface/JWindowSkins/") + name + ".JWindowSkin",
                   "CJWindowAlphaTheme\r\n{\r\n\tOptions=CAlphaSkinData\r\n\t{\r\n" + options + "\t}\r\n}\r\n");
    }
    static std::unique_ptr<CFrame> GreyCanvas(uint32_t width, uint32_t height)
    {
        auto frame = CFrame::MakeOwned(width, height, 32);
        CColor grey(100, 100, 100, 255);
        frame->Fill(grey);
        return frame;
    }
};

TEST_F(ThemeTest, WindowsUnderASpecifierTakeTheAlphaThemesFontAndColoursAndPassThemOn)
{
    WriteBytes("Fonts/Big.FONT.TXT", "CFont\r\n{\r\n\tPoint Size=30\r\n}\r\n");
    WriteTheme("Demo", "\t\tGeneral Font=Big\r\n"
                       "\t\tShortcut Key Highlight Color=1,2,3\r\n"
                       "\t\tBackground Color=4,5,6\r\n"
                       "\t\tSelect Color=7,8,9\r\n"
                       "\t\tMargin=11\r\n"
                       "\t\tSpace Between Controls=6\r\n");
    WriteTheme("Plain", "");
    CFont* big = GetFontList().GetObjectByName("Big");
    ASSERT_NE(big, nullptr);

    auto* demo = new CThemeSpecifier("Demo");
    ASSERT_NE(dynamic_cast<CJWindowAlphaTheme*>(demo->GetSkinTheme()), nullptr);
    auto* window = new CJWindow(demo, "Window");
    EXPECT_EQ(window->GetFont(), big);
    EXPECT_TRUE(window->GetTextColor() == CColor(1, 2, 3, 255));
    EXPECT_TRUE(window->GetColor0() == CColor(4, 5, 6, 255));
    EXPECT_EQ(window->GetEdgeMargin(), 11);
    EXPECT_EQ(window->GetSpacingX(), 6);
    EXPECT_EQ(window->GetSpacingY(), 6);
    auto* child = new CJWindow(window, "Child");
    EXPECT_EQ(child->GetSkinTheme(), demo->GetSkinTheme());
    EXPECT_EQ(child->GetFont(), big);

    auto* plain = new CThemeSpecifier("Plain");
    auto* second = new CJWindow(plain, "Second");
    EXPECT_EQ(second->GetFont(), m_Font.get()) << "no general font: the default font";

    auto* missing = new CThemeSpecifier("No Such Theme");
    EXPECT_EQ(missing->GetSkinTheme(), GetDefaultTheme());
    auto* lone = new CJWindow(nullptr, "Lone");
    EXPECT_EQ(lone->GetSkinTheme(), GetDefaultTheme());
    EXPECT_EQ(lone->GetFont(), m_Font.get());
    for (CJWindow* w : {child, window, second, lone, static_cast<CJWindow*>(demo), static_cast<CJWindow*>(plain),
                        static_cast<CJWindow*>(missing)})
        w->Destroy();
}

TEST_F(ThemeTest, ClassicFrameWindowsTileTheSharedTexturesUnderABevelAndATitleBar)
{
    AddFrame("Window Texture", 8, 8, 0xFF2050A0u);
    AddFrame("Window Title Tile", 8, 8, 0xFFA05020u);
    auto* window = new CFakeFrameWindow(nullptr, "");
    window->SetRect(CRect{0, 0, 80, 60});
    std::unique_ptr<CWindowSkin> made = GetDefaultTheme()->CreateFrameWindowSkin(*window);
    auto* skin = dynamic_cast<CFrameWindowSkin*>(made.get());
    ASSERT_NE(skin, nullptr);
    const int32_t u = window->GetFontUnit(), fh = int32_t(m_Font->GetHeight());
    ASSERT_GE(u, 1);
    EXPECT_EQ(skin->GetTitleBarHeight(), 0) << "no title, no bar";
    auto canvas = GreyCanvas(80, 60);
    skin->DrawBack(*canvas);
    EXPECT_EQ(Rgb(*canvas, 40, 10), 0x2050A0u);
    EXPECT_NE(Rgb(*canvas, 0, 30), 0x2050A0u) << "the bevel lies over the texture";

    window->SetTitle(CJString("Title"));
    EXPECT_EQ(skin->GetTitleBarHeight(), fh + 4 * u + 2);
    skin->DrawBack(*canvas);
    EXPECT_EQ(Rgb(*canvas, 3, fh + 4 * u - 1), 0xA05020u) << "the bar's last row";
    EXPECT_EQ(Rgb(*canvas, 3, fh + 4 * u), 0x2050A0u);
    const uint32_t groove = Rgb(*canvas, 40, fh + 4 * u + 1);
    EXPECT_EQ(groove, (Blend(0x20, 0, 128) << 16) | (Blend(0x50, 0, 128) << 8) | Blend(0xA0, 0, 128));

    window->SetTransparent(true);
    auto clear = GreyCanvas(80, 60);
    skin->DrawBack(*clear);
    EXPECT_EQ(Rgb(*clear, 40, 30), kGrey) << "transparent: only the bevel and the title";
    EXPECT_EQ(Rgb(*clear, 3, 5), kGrey);
    made.reset();
    window->Destroy();
}

TEST_F(ThemeTest, AlphaFrameWindowsDrawTheirBorderAndTheSpecialPieceForACloseButton)
{
    AddFrame("Corner", 2, 2, 0xFFFF0000u);
    AddFrame("Plain Right", 2, 2, 0xFF0000FFu);
    AddFrame("Close Right", 2, 2, 0xFFFFFF00u);
    AddFrame("Paper", 4, 4, 0xFF30C030u);
    WriteTheme("Framed", "\t\tWindow Border=CAlphaSkinBorder\r\n\t\t{\r\n"
                         "\t\t\tBackground Texture=Paper\r\n"
                         "\t\t\tTop Left Highlight=Corner\r\n"
                         "\t\t\tTop Right Highlight=Plain Right\r\n"
                         "\t\t\tSpecial Top Right Highlight=Close Right\r\n"
                         "\t\t}\r\n");
    auto* framed = new CThemeSpecifier("Framed");
    FrameWithHotSpot("Plain Right", 2, 0);
    FrameWithHotSpot("Close Right", 2, 0);
    auto* window = new CFakeFrameWindow(framed, "");
    window->SetRect(CRect{0, 0, 40, 30});
    EXPECT_EQ(window->GetSkin(), GetSkinFrame(Index("Paper"))) << "the border's texture is the window's skin";
    std::unique_ptr<CWindowSkin> made = window->GetSkinTheme()->CreateFrameWindowSkin(*window);
    auto* skin = dynamic_cast<CFrameWindowSkin*>(made.get());
    ASSERT_NE(skin, nullptr);
    auto canvas = GreyCanvas(40, 30);
    skin->DrawBack(*canvas);
    EXPECT_EQ(Rgb(*canvas, 20, 15), 0x30C030u) << "background layer only";
    EXPECT_EQ(Rgb(*canvas, 0, 0), 0x30C030u);
    skin->DrawFront(*canvas);
    EXPECT_EQ(Rgb(*canvas, 0, 0), 0xFF0000u);
    EXPECT_EQ(Rgb(*canvas, 39, 0), 0x0000FFu);
    window->m_State.hasCloseButton = true;
    skin->DrawFront(*canvas);
    EXPECT_EQ(Rgb(*canvas, 39, 0), 0xFFFF00u);
    made.reset();
    window->Destroy();
    framed->Destroy();
}

// The editor's windows place their controls with the theme's spacings and
// add them to sizes by hand: spacings at the ends of the int range are held
// as the theme's other sizes are, and the window still places and draws.
TEST_F(ThemeTest, SpacingsAtTheEndsOfTheIntRangeAreHeldAsTheThemesOtherSizes)
{
    WriteTheme("Tall",
               "\t\tVertical Space Between Controls=2147483648\r\n"
               "\t\tHorizontal Space Between Controls=-2147483648\r\n");
    WriteTheme("Wide",
               "\t\tVertical Space Between Controls=-2147483648\r\n"
               "\t\tHorizontal Space Between Controls=2147483647\r\n");
    for (const char* name : {"Tall", "Wide"}) {
        SCOPED_TRACE(name);
        const bool tall = name[0] == 'T';
        auto* specifier = new CThemeSpecifier(name);
        auto* window = new CJFrameWindow(specifier, "Window");
        EXPECT_EQ(window->GetSpacingX(), tall ? -65535 : 65535);
        EXPECT_EQ(window->GetSpacingY(), tall ? 65535 : -65535);
        CJButton& first = window->Add<CJButton>(EPlace::TopLeft, "Button");
        CJCheckBox& below = window->Add<CJCheckBox>(EPlace::BelowPrevious, CJString("Check Box"));
        EXPECT_EQ(below.GetRect().left, first.GetRect().left);
        EXPECT_EQ(below.GetRect().top, first.GetRect().bottom + window->GetSpacingY());
        CJStatic& beside = window->Add<CJStatic>(EPlace::RightOfPrevious, "Static Text");
        EXPECT_EQ(beside.GetRect().left, below.GetRect().right + window->GetSpacingX());
        EXPECT_EQ(beside.GetRect().top, below.GetRect().top);
        window->ArrangeRow(&first, &beside, 0, true, true, -999, true); // -999: the theme's spacing
        EXPECT_EQ(beside.GetRect().left - below.GetRect().right, tall ? -65535 : 65535);
        window->MoveTo(0, 0);
        auto canvas = GreyCanvas(64, 48);
        window->Draw(*canvas);
        window->Destroy();
        specifier->Destroy();
    }
}

TEST_F(ThemeTest, AlphaButtonsPickPressedAndHoverBordersAndLoseThemOnRequest)
{
    WriteTheme("Buttons", "\t\tButton Border=CClassicSkinBorder\r\n\t\t{\r\n"
                          "\t\t\tBackground Color=200,0,0,255\r\n\t\t}\r\n"
                          "\t\tPressed Button Border=CClassicSkinBorder\r\n\t\t{\r\n"
                          "\t\t\tBackground Color=0,0,200,255\r\n\t\t}\r\n"
                          "\t\tSpace Around Text=3\r\n");
    WriteTheme("NoHover", "");
    auto* themed = new CThemeSpecifier("Buttons");
    auto* button = new CFakeButton(themed, "");
    button->SetRect(CRect{0, 0, 30, 20});
    button->SetDrawOutline(true);
    std::unique_ptr<CWindowSkin> made = button->GetSkinTheme()->CreateButtonSkin(*button);
    auto* skin = dynamic_cast<CJWindowAlphaButtonSkin*>(made.get());
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(button->GetBorderWidth(), 3 * button->GetFontUnit());
    auto canvas = GreyCanvas(30, 20);
    const auto inside = [&] { return Rgb(*canvas, 15, 10); };
    skin->DrawButton(*canvas);
    EXPECT_EQ(inside(), 0xC80000u);
    button->m_State.hovered = true;
    skin->DrawButton(*canvas);
    EXPECT_EQ(inside(), 0xC80000u) << "no hover border: the normal one";
    button->m_State.checked = true;
    skin->DrawButton(*canvas);
    EXPECT_EQ(inside(), 0x0000C8u) << "checked counts as pressed";

    CMessage remove = CMessage::CMessageByName("Remove Button Border");
    EXPECT_TRUE(skin->OnMessage(remove));
    EXPECT_TRUE(button->IsTransparent());
    auto after = GreyCanvas(30, 20);
    skin->DrawButton(*after);
    EXPECT_EQ(Rgb(*after, 15, 10), kGrey);
    CMessage other = CMessage::CMessageByName("Something Else");
    EXPECT_FALSE(skin->OnMessage(other));
    made.reset();
    button->Destroy();
    themed->Destroy();
}

TEST_F(ThemeTest, ClassicButtonsSinkWhenPressedAndDimTheirImagesWithoutLosingTheCallersOpacity)
{
    AddFrame("Window Texture", 8, 8, 0xFF2050A0u);
    AddFrame("Icon", 4, 4, 0xFFFFFFFFu);
    auto* button = new CFakeButton(nullptr, "Go");
    button->SetRect(CRect{0, 0, 30, 20});
    button->SetBorderWidth(2);
    std::unique_ptr<CWindowSkin> made = GetDefaultTheme()->CreateButtonSkin(*button);
    auto* skin = dynamic_cast<CButtonSkin*>(made.get());
    ASSERT_NE(skin, nullptr);
    auto canvas = GreyCanvas(30, 20);
    skin->DrawButton(*canvas);
    const uint32_t raisedTop = Rgb(*canvas, 10, 0);
    button->m_State.pushed = true;
    skin->DrawButton(*canvas);
    const uint32_t sunkenTop = Rgb(*canvas, 10, 0);
    EXPECT_LT(sunkenTop & 0xFF, raisedTop & 0xFF) << "the top edge darkens when pressed";

    // An image button, disabled: the image is drawn at 0.4 and the caller's
    // opacity survives.
    button->m_State.pushed = false;
    button->m_State.normalImage = GetSkinFrame(Index("Icon"));
    button->Enable(false);
    CBlitType& blit = GetTransparentMaskBlitType();
    const CScopedBlitOpacity outer(blit, 0.8f);
    auto dim = Canvas(30, 20);
    skin->DrawButton(*dim);
    EXPECT_FLOAT_EQ(blit.GetOpacity(), 0.8f);
    const uint32_t image = Rgb(*dim, 3, 3) & 0xFF;
    EXPECT_GT(image, 60u);
    EXPECT_LT(image, 160u);

    button->SetTitle(CJString("Go"));
    skin->SizeToContent();
    EXPECT_EQ(button->GetWidth(), m_Font->GetTextWidth(CJString("Go")) + 2 + 4);
    EXPECT_EQ(button->GetHeight(), int32_t(m_Font->GetHeight()) + 2 + 4);
    made.reset();
    button->Destroy();
}

} // namespace
