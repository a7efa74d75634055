#include "blit/ColorTables.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "objects/CObject.h"
#include "render/RegisterRenderClasses.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

std::unique_ptr<CFont> ReadFont(const std::string& text)
{
    std::unique_ptr<CObject> object(ReadObjectFromMemory(text.data(), uint32_t(text.size())));
    auto* font = dynamic_cast<CFont*>(object.get());
    if (font)
        object.release();
    return std::unique_ptr<CFont>(font);
}

// The rectangle of the pixels that are not black once the text is drawn on
// an opaque black frame.
CRect DrawnBounds(CFont& font, const char* text)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(96, 48, 32);
    CColor black(0, 0, 0, 255);
    frame->Fill(black);
    font.DrawText(*frame, 10, 10, text);
    CRect bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int32_t y = 0; y < int32_t(frame->GetHeight()); ++y)
        for (int32_t x = 0; x < int32_t(frame->GetWidth()); ++x) {
            const uint8_t* p = frame->Row(uint32_t(y)) + 4 * x;
            if (p[0] | p[1] | p[2]) {
                bounds.left = std::min(bounds.left, x);
                bounds.top = std::min(bounds.top, y);
                bounds.right = std::max(bounds.right, x + 1);
                bounds.bottom = std::max(bounds.bottom, y + 1);
            }
        }
    return bounds;
}

struct GlyphEffectCase {
    const char* name;
    const char* effect; // the "Frame Effect" value and block
    CRect growth;       // of the drawn pixels' rectangle: left, top, right, bottom moved by
};

class FontFrameEffect : public CTempFolderTest, public testing::WithParamInterface<GlyphEffectCase> {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        const std::string font = ReadBytes(kDejaVu);
        if (font.empty())
            GTEST_SKIP() << kDejaVu << " is missing (Debian package fonts-dejavu-core)";
        WriteBytes("Resources/!default.ttf", font);
        RegisterRenderClasses();
        InitBlitTables();
        EnumerateFontFiles();
    }

    CScopedGlobalBitDepth m_Depth{32};
};

TEST_P(FontFrameEffect, ChangesEveryGlyphButNotItsAdvance)
{
    std::unique_ptr<CFont> plain = ReadFont("CFont\r\n{\r\n}\r\n");
    std::unique_ptr<CFont> decorated
        = ReadFont(std::string("CFont\r\n{\r\nFrame Effect=") + GetParam().effect + "\r\n}\r\n");
    ASSERT_TRUE(plain && decorated);

    const CRect before = DrawnBounds(*plain, "HI");
    const CRect after = DrawnBounds(*decorated, "HI");
    const CRect& g = GetParam().growth;
    EXPECT_EQ(after,
              (CRect{before.left + g.left, before.top + g.top, before.right + g.right, before.bottom + g.bottom}));
    EXPECT_EQ(decorated->GetTextWidth("HI"), plain->GetTextWidth("HI"));
    EXPECT_EQ(decorated->GetGlyphFrame('H')->GetBitDepth(), 32u);
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, FontFrameEffect,
    testing::Values(GlyphEffectCase{"Shifted", "CFrameEffectBlit\r\n{\r\nOffset=3,2\r\n}", CRect{3, 2, 3, 2}},
                    GlyphEffectCase{"Outlined", "CFrameEffectExpand\r\n{\r\nRadius=1,1\r\n}", CRect{-1, -1, 1, 1}}),
    [](const testing::TestParamInfo<GlyphEffectCase>& param) { return param.param.name; });

} // namespace
