#include "ShellTestSupport.h"

#include "foundation/CFileList.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "objects/CFileListList.h"
#include "render/RegisterRenderClasses.h"
#include "shell/CFontFrameRateFont.h"
#include "shell/CShellScreen.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The data folder of these tests: one TrueType file and one font using it.
class GameFonts : public CShellTest {
protected:
    void SetUp() override
    {
        CShellTest::SetUp();
        const std::string font = ReadBytes(kDejaVu);
        if (font.empty())
            GTEST_SKIP() << kDejaVu << " is missing (Debian package fonts-dejavu-core)";
        m_Font = font;
        WriteBytes("Data/Resources/!default.ttf", font);
        WriteBytes("Data/Resources/Fonts/Small.FONT.TXT", kSmall);
        RegisterRenderClasses();
    }
    static constexpr const char* kSmall = "CFont\r\n{\r\nPoint Size=9\r\n}\r\n";
    std::string m_Font;
};

int32_t FontListRegistrations()
{
    CFileListList& registry = CFileListList::SGetInstance();
    int32_t count = 0;
    for (int32_t i = 0; i < registry.GetCount(); ++i)
        count += registry.GetList(i) == &GetFontList();
    return count;
}

TEST_F(GameFonts, EachGameListsItsDataFoldersFontsAndRegistersTheListOnce)
{
    {
        CCountingGame game;
        EXPECT_EQ(GetFontFileList().GetCount(), 1);
        // Items are named from "Resources", where the TrueType files are.
        CFont* small = GetFontList().GetObjectByName("fonts/SMALL");
        ASSERT_TRUE(small);
        EXPECT_EQ(small->GetPointSize(), 9);
        EXPECT_GT(small->GetCharAdvance('X'), 0u);
    }
    std::filesystem::remove("Data/Resources/!default.ttf");
    CCountingGame second;
    EXPECT_EQ(GetFontFileList().GetCount(), 0) << "listed again for the new game";
    EXPECT_EQ(FontListRegistrations(), 1);
}

// The game's last steps close the font's face before its archive goes.
TEST_F(GameFonts, AFontReadFromAnArchiveIsClosedBeforeTheArchive)
{
    std::filesystem::remove_all("Data/Resources");
    WriteBytes("Data/Resources.zip", BuildZip({{"!default.ttf", m_Font}, {"Fonts/Small.FONT.TXT", kSmall}}));
    auto* game = new CCountingGame;
    ASSERT_EQ(GetFontFileList().GetCount(), 1);
    CFont* small = GetFontList().GetObjectByName("Fonts/Small");
    ASSERT_TRUE(small);
    EXPECT_GT(small->GetCharAdvance('X'), 0u);
    delete game;
    EXPECT_FALSE(GetFontList().IsItemLoaded(0));
}

// A screen that is a plain frame; boxes are filled into it.
class CFrameScreen : public CShellScreen {
public:
    CFrameScreen()
        : m_Frame(CFrame::MakeOwned(800, 600, 32))
    {
        CColor black(0, 0, 0, 255);
        m_Frame->Fill(black);
    }
    int32_t GetWidth() const override { return 800; }
    int32_t GetHeight() const override { return 600; }
    void FillRect(const CRect& rect, const CColor& colour) override
    {
        CColor copy = colour;
        m_Frame->FillRect(rect, copy);
    }
    bool Present() override { return true; }
    CFrameInterface* GetFrame() override { return m_Frame.get(); }
    CFrame& Frame() { return *m_Frame; }

private:
    std::unique_ptr<CFrame> m_Frame;
};

TEST_F(GameFonts, TheFrameRateLineIsDrawnInAFontOfTheList)
{
    ASSERT_TRUE(Start());
    CFont* small = GetFontList().GetObjectByName("Fonts/Small");
    ASSERT_TRUE(small);
    CFontFrameRateFont font(*small);
    CFrameScreen screen;
    Game()->Initialize(&screen, &font);
    Game()->SetDisplayFps(true);
    ASSERT_TRUE(Pass(0));
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(Pass(20));

    // The box is red (nothing was processed); the text is the font's white.
    CRect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    CRect text = box;
    auto grow = [](CRect& r, int32_t x, int32_t y) {
        r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
    };
    for (int32_t y = 0; y < 600; ++y)
        for (int32_t x = 0; x < 800; ++x) {
            const uint8_t* p = screen.Frame().Row(uint32_t(y)) + 4 * x;
            if (p[2])
                grow(box, x, y);
            if (p[1])
                grow(text, x, y);
        }
    const std::string line = "U:0.0 D:0.0 P:0.0 A:50.0 FPS";
    const int32_t boxWidth = int32_t(small->GetCharAdvance('X')) * int32_t(line.size());
    EXPECT_EQ(box, (CRect{400 - boxWidth / 2, 0, 400 - boxWidth / 2 + boxWidth, small->GetPointSize()}));
    ASSERT_LT(text.left, text.right) << "no text was drawn";
    const int32_t textWidth = small->GetTextWidth(line.c_str());
    EXPECT_GE(text.left, 400 - textWidth / 2);
    EXPECT_LE(text.right, 400 - textWidth / 2 + textWidth + 1);
    EXPECT_LT(text.right - text.left, textWidth + 2);
    EXPECT_GT(text.right - text.left, textWidth - 8);
}

} // namespace
