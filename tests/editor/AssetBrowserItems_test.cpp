// The pictures the browser shows of skin themes, overlay sets and
// background style sheets, each made from files written here: what they
// measure, what they draw and when they draw it again.
#include "ui/MenuTestSupport.h"

#include "game/business/CCustomerStyleSheet.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/StyleSheetBrowserItems.h"
#include "images/CFrameList.h"
#include "objects/CFileListList.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/CFrameOverlayBrowserItem.h"
#include "overlays/ImageOverlays.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJFrameWindow.h"
#include "ui/CSkinThemeBrowserItem.h"

#include <string>
#include <vector>

namespace {

class AssetBrowserItems : public ScreenTest {
protected:
    void TearDown() override
    {
        GetSkinThemeList().RemoveAll();
        GetSkinThemeList().SetSource(nullptr, "Nowhere", 0);
        GetFrameLibrary().RemoveAll();
        GetFrameLibrary().SetSource(nullptr, "Nowhere", 0);
        ScreenTest::TearDown();
    }
    int32_t CountScreenChildren() const
    {
        int32_t count = 0;
        for (CJWindow* child = m_Screen->GetFirstChild(); child; child = child->GetNextSibling())
            ++count;
        return count;
    }
};

TEST_F(AssetBrowserItems, ASkinThemeShowsAFrameWindowOfControlsBuiltUnderItWithRoomRound)
{
    WriteBytes("Skins/Plain.JWindowSkin", "CJWindowClassicTheme\r\n{\r\n}\r\n");
    CSkinThemeList& themes = GetSkinThemeList();
    themes.SetSource(nullptr, "Skins", 0);
    ASSERT_EQ(themes.GetCount(), 1);
    ImageBrowserItemFactory factory = themes.GetItemFactory();
    ASSERT_NE(factory, nullptr);
    std::unique_ptr<CImageBrowserItemBridge> item = factory(&themes, 0);
    auto* theme = static_cast<CSkinThemeBrowserItem*>(item.get());
    CJFrameWindow* preview = theme->GetPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->GetSkinTheme(), themes.GetObject(0));
    std::vector<std::string> titles;
    for (CJWindow* child = preview->GetFirstChild(); child; child = child->GetNextSibling())
        titles.push_back(child->GetTitle().GetString());
    EXPECT_EQ(titles, (std::vector<std::string>{"Button", "Check Box", "Static Text", "Text Edit"}));

    CRect bounds{0, 0, 0, 0};
    item->GetBounds(bounds);
    EXPECT_EQ(bounds, (CRect{-50, -50, preview->GetWidth() + 50, preview->GetHeight() + 50}));

    // Drawn where asked, and lent to the screen only for the draw.
    const int32_t before = CountScreenChildren();
    m_ScreenFrame->FillBytes(0);
    item->Draw(*m_ScreenFrame, CPoint{300, 200});
    EXPECT_EQ(CountScreenChildren(), before);
    EXPECT_EQ(preview->GetParent(), nullptr);
    auto painted = [this](CRect r) {
        int32_t count = 0;
        for (int32_t y = r.top; y < r.bottom; ++y)
            for (int32_t x = r.left; x < r.right; ++x)
                count += Rgb(*m_ScreenFrame, x, y) != 0u;
        return count;
    };
    EXPECT_GT(painted(CRect{300, 200, 300 + preview->GetWidth(), 200 + preview->GetHeight()}), 0);
    EXPECT_EQ(painted(CRect{250, 150, 298, 198}), 0);

    // The first update builds the preview once more; later ones keep it.
    item->Update(0.1f);
    CJFrameWindow* rebuilt = theme->GetPreview();
    ASSERT_NE(rebuilt, nullptr);
    item->Update(5.0f);
    EXPECT_EQ(theme->GetPreview(), rebuilt);
}

TEST_F(AssetBrowserItems, AnOverlaySetIsDrawnShrunkAndAgainEveryThirdOfASecond)
{
    WriteBytes("Sets/Red Corner.FOO", "CFrameOverlayOptions\r\n{\r\n\tText Overlays=Array\r\n\t{\r\n"
                                      "\t\tItem Count=1\r\n\t\tArray Item=CBoxFrameOverlay\r\n\t\t{\r\n"
                                      "\t\t\tPositon=0,0\r\n\t\t\tSize=512,384\r\n"
                                      "\t\t\tFill Color=255,0,0,255\r\n\t\t\tOutline Width=0\r\n"
                                      "\t\t}\r\n\t}\r\n}\r\n");
    CFrameOverlayOptionsList sets;
    sets.SetSource(nullptr, "Sets", 0);
    ASSERT_EQ(sets.GetCount(), 1);
    ASSERT_EQ(sets.GetItemFactory(), &CFrameOverlayBrowserItem::SCreate);
    CFrameOverlayBrowserItem item(&sets, 0);

    // No preview frame: a 1024 x 768 screen, shrunk to 160 across.
    CRect bounds{0, 0, 0, 0};
    item.GetBounds(bounds);
    EXPECT_EQ(bounds, (CRect{0, 0, 160, 120}));
    ASSERT_NE(item.GetThumbnail(), nullptr);
    EXPECT_EQ(Rgb(*item.GetThumbnail(), 10, 10), 0xFF0000u);
    EXPECT_EQ(Rgb(*item.GetThumbnail(), 150, 110), 0x303030u);

    auto* box = dynamic_cast<CBoxFrameOverlay*>(sets.GetObject(0)->GetOverlay(0));
    ASSERT_NE(box, nullptr);
    box->m_FillColor = CColor(0, 0, 255, 255);
    m_ScreenFrame->FillBytes(0);
    item.Update(0.2f);
    item.Draw(*m_ScreenFrame, CPoint{40, 30});
    EXPECT_EQ(Rgb(*item.GetThumbnail(), 10, 10), 0xFF0000u);
    // Made again at the first draw after a third of a second.
    item.Update(0.2f);
    EXPECT_EQ(Rgb(*item.GetThumbnail(), 10, 10), 0xFF0000u);
    item.Draw(*m_ScreenFrame, CPoint{40, 30});
    EXPECT_EQ(Rgb(*item.GetThumbnail(), 10, 10), 0x0000FFu);
    EXPECT_EQ(Rgb(*m_ScreenFrame, 41, 31), 0x0000FFu);
    EXPECT_EQ(Rgb(*m_ScreenFrame, 39, 29), 0u);
    CFileListList::RemoveList(&sets);
}

TEST_F(AssetBrowserItems, StyleSheetsShowTheirPicturesAndNothingForAMissingOne)
{
    WriteSolidTga("Pictures/Town.tga", 320, 200, 0xFF20A040u);
    GetFrameLibrary().SetSource(nullptr, "Pictures", 0);
    ASSERT_GE(GetFrameLibrary().Find("Town"), 0);
    WriteBytes("Sheets/Town.Background.txt", "CBackgroundStyleSheet\r\n{\r\n\tBackground Image=Town\r\n}\r\n");
    CBackgroundStyleSheetList sheets;
    sheets.SetSource(nullptr, "Sheets", 0);
    ASSERT_EQ(sheets.GetCount(), 1);
    ASSERT_EQ(sheets.GetItemFactory(), &CBackgroundStyleSheetBrowserItem::SCreate);
    CBackgroundStyleSheetBrowserItem town(&sheets, 0);
    CRect bounds{0, 0, 0, 0};
    town.GetBounds(bounds);
    EXPECT_EQ(bounds, (CRect{0, 0, 160, 100}));
    m_ScreenFrame->FillBytes(0);
    town.Draw(*m_ScreenFrame, CPoint{10, 10});
    EXPECT_EQ(Rgb(*m_ScreenFrame, 90, 60), 0x20A040u);
    EXPECT_EQ(Rgb(*m_ScreenFrame, 171, 60), 0u);

    // An entry past the end measures empty, so the browser gives it the
    // narrow cell; a customer style without sequences does the same.
    CBackgroundStyleSheetBrowserItem(&sheets, 7).GetBounds(bounds);
    EXPECT_EQ(bounds, (CRect{0, 0, 0, 0}));
    CCustomerStyleSheetList& customers = GetCustomerStyleSheetList();
    ASSERT_EQ(customers.GetItemFactory(), &CCustomerStyleSheetBrowserItem::SCreate);
    bounds = CRect{1, 1, 2, 2};
    customers.GetItemFactory()(&customers, 9999)->GetBounds(bounds);
    EXPECT_EQ(bounds, (CRect{0, 0, 0, 0}));
    CFileListList::RemoveList(&sheets);
}

} // namespace
