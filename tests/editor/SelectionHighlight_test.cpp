// A sprite drawn as the level editor shows it, onto a white canvas: what is
// checked is which pixels the options darken or mark.
#include "support/TestSupport.h"

#include "blit/ColorTables.h"
#include "editor/CLevelEditorOptions.h"
#include "editor/SelectionHighlight.h"
#include "game/scripting/CSprite.h"
#include "images/CFrame.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A sprite showing one frame of its own, without a sequence list.
class CFramedSprite : public CSprite {
public:
    explicit CFramedSprite(CFrame* frame)
        : m_Frame(frame)
    {
    }
    CFrame* GetCurrentFrame() override { return m_Frame; }

private:
    CFrame* m_Frame;
};

std::unique_ptr<CFrame> Solid(uint32_t width, uint32_t height, uint32_t argb)
{
    auto frame = CFrame::MakeOwned(width, height, 32);
    for (uint32_t y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(frame->Row(y));
        for (uint32_t x = 0; x < width; ++x)
            row[x] = argb;
    }
    return frame;
}

uint32_t Pixel(const CFrame& frame, int32_t x, int32_t y)
{
    return reinterpret_cast<const uint32_t*>(frame.Row(uint32_t(y)))[x] & 0xFFFFFFu;
}

class SelectionHighlight : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitBlitTables();
        m_Sprite.SetPosition(32.0f, 32.0f);
        // Nothing but what a test turns on.
        m_Options.m_OutlineSelectedItems = false;
    }
    void Draw(bool selected) { DrawSpriteWithEditorMarks(m_Sprite, *m_Canvas, selected, m_Options); }

    std::unique_ptr<CFrame> m_Image = Solid(8, 8, 0xFF3060F0u);
    std::unique_ptr<CFrame> m_Canvas = Solid(64, 64, 0xFFFFFFFFu);
    CFramedSprite m_Sprite{m_Image.get()};
    CLevelEditorOptions m_Options;
};

TEST_F(SelectionHighlight, OnlyASelectedSpriteGetsItsEnlargedTintedSilhouette)
{
    m_Options.m_OutlineSelectedItems = true;
    m_Options.m_SelectedItemScale = 2.0f;
    Draw(false);
    EXPECT_EQ(Pixel(*m_Canvas, 35, 35), 0x3060F0u);
    EXPECT_EQ(Pixel(*m_Canvas, 44, 44), 0xFFFFFFu);

    Draw(true);
    EXPECT_EQ(Pixel(*m_Canvas, 35, 35), 0x3060F0u); // the sprite stays in front
    const uint32_t shade = Pixel(*m_Canvas, 44, 44);
    EXPECT_LT(shade & 0xFF, 0x60u) << std::hex << shade; // black at alpha 190 over white
    EXPECT_EQ(Pixel(*m_Canvas, 50, 50), 0xFFFFFFu);      // twice the size, no more

    m_Options.m_OutlineSelectedItems = false;
    auto fresh = Solid(64, 64, 0xFFFFFFFFu);
    DrawSpriteWithEditorMarks(m_Sprite, *fresh, true, m_Options);
    EXPECT_EQ(Pixel(*fresh, 44, 44), 0xFFFFFFu);
}

TEST_F(SelectionHighlight, TheSortLineSpansFifteenPixelsEachSideAtTheSortY)
{
    m_Options.m_ShowYSort = true;
    Draw(false);
    const uint32_t onLine = Pixel(*m_Canvas, 20, 32);
    EXPECT_NE(onLine, 0xFFFFFFu);
    EXPECT_GT((onLine >> 16) & 0xFF, 0xC0u);
    EXPECT_EQ(Pixel(*m_Canvas, 10, 32), 0xFFFFFFu);
    EXPECT_EQ(Pixel(*m_Canvas, 20, 40), 0xFFFFFFu);
}

} // namespace
