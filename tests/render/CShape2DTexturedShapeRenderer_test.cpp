#include "render/CShape2DTexturedShapeRenderer.h"

#include "images/CFrame.h"
#include "render/CBlitXParams.h"
#include "render/CShape2D.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using Ombrisalt::CShape2D;

namespace {

class TexturedShapeTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterShapeAndBlitClasses();
        shape.MoveTo(0, 0);
        shape.LineTo(40, 0);
        shape.LineTo(40, 8);
        shape.LineTo(0, 8);
        shape.ClosePath();
        target = CFrame::MakeOwned(40, 8, 32);
    }
    // A texture whose texel (x, y) has blue x and green y, opaque.
    static std::unique_ptr<CFrame> Texture(uint32_t w, uint32_t h)
    {
        std::unique_ptr<CFrame> t = CFrame::MakeOwned(w, h, 32);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                uint8_t* p = t->Row(y) + 4 * x;
                p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = 9, p[3] = 255;
            }
        return t;
    }
    std::vector<int> Columns(uint32_t y, uint32_t count) const
    {
        std::vector<int> out;
        for (uint32_t x = 0; x < count; ++x)
            out.push_back(target->Row(y)[4 * x]);
        return out;
    }
    CShape2D shape{1, 10};
    std::unique_ptr<CFrame> target;
};

struct WrapCase {
    const char* name;
    uint32_t width;
    uint32_t flags;
    int32_t tileX;
    int16_t frameOffsetX;
    std::vector<int> columns; // texture columns read by target pixels 0..9
};

class TextureWrapTest : public TexturedShapeTest, public testing::WithParamInterface<WrapCase> {};

TEST_P(TextureWrapTest, ReadsTheWrappedColumns)
{
    const WrapCase& k = GetParam();
    std::unique_ptr<CFrame> texture = Texture(k.width, 4);
    target->SetOffset(k.frameOffsetX, 0);
    CShape2DTexturedShapeRenderer renderer;
    renderer.m_Texture = texture.get();
    renderer.m_Shape = &shape;
    renderer.m_X = float(k.frameOffsetX);
    renderer.m_Flags = k.flags;
    renderer.m_TileOffsetX = k.tileX;
    EXPECT_TRUE(target->Render(renderer));
    EXPECT_EQ(Columns(1, 10), k.columns);
    // Row 5 of a 4-row texture: row 1 repeated, row 2 mirrored.
    EXPECT_EQ(target->Row(5)[1], (k.flags & CShape2DTexturedShapeRenderer::kMirrorWrap) ? 2 : 1);
}

const WrapCase kWrapCases[] = {
    {"Repeat", 4, 0, 0, 0, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1}},
    {"TileOffsetShiftsLeft", 4, 0, 1, 0, {1, 2, 3, 0, 1, 2, 3, 0, 1, 2}},
    {"Mirror", 4, CShape2DTexturedShapeRenderer::kMirrorWrap, 0, 0, {0, 1, 2, 3, 3, 2, 1, 0, 0, 1}},
    {"RepeatNotPowerOfTwo", 3, 0, 0, 0, {0, 1, 2, 0, 1, 2, 0, 1, 2, 0}},
    {"MirrorNotPowerOfTwo", 3, CShape2DTexturedShapeRenderer::kMirrorWrap, 0, 0, {0, 1, 2, 2, 1, 0, 0, 1, 2, 2}},
    // Anchored at frame coordinate 0: a frame starting at -2 begins in column 2.
    {"NegativeFrameOffset", 4, 0, 0, -2, {2, 3, 0, 1, 2, 3, 0, 1, 2, 3}},
    {"NegativeTileOffset", 3, 0, -4, 0, {2, 0, 1, 2, 0, 1, 2, 0, 1, 2}},
};

INSTANTIATE_TEST_SUITE_P(Wraps, TextureWrapTest, testing::ValuesIn(kWrapCases),
                         [](const testing::TestParamInfo<WrapCase>& p) { return std::string(p.param.name); });

TEST_F(TexturedShapeTest, MissingPartsRefuseAndMeasuringDrawsNothing)
{
    std::unique_ptr<CFrame> texture = Texture(4, 4);
    CShape2DTexturedShapeRenderer renderer;
    renderer.m_Shape = &shape;
    EXPECT_FALSE(target->Render(renderer));
    renderer.m_Texture = texture.get();
    CShape2D empty(1, 10);
    renderer.m_Shape = &empty;
    EXPECT_FALSE(target->Render(renderer));

    renderer.m_Shape = &shape;
    renderer.m_DrawEnabled = false;
    renderer.m_X = 3.0f;
    EXPECT_TRUE(target->Render(renderer));
    EXPECT_EQ(renderer.m_DrawnBounds, (CRect{3, 0, 43, 8}));
    EXPECT_EQ(target->Row(2)[4 * 5 + 3], 0);
}

TEST_F(TexturedShapeTest, SixteenBitTexturesBecomeThirtyTwoBitsKeepingTheirOffset)
{
    std::unique_ptr<CFrame> texture = CFrame::MakeOwned(4, 4, 16);
    texture->SetOffset(2, -1);
    CShape2DTexturedShapeRenderer renderer;
    renderer.m_Texture = texture.get();
    renderer.m_Shape = &shape;
    target->Render(renderer);
    EXPECT_EQ(texture->GetBitDepth(), 32u);
    EXPECT_EQ(texture->GetOffsetX(), 2);
    EXPECT_EQ(texture->GetOffsetY(), -1);
}

} // namespace
