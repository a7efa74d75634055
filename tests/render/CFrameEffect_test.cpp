#include "render/CFrameEffect.h"

#include "images/CFrame.h"
#include "render/CBlitXParams.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

class FrameEffectTest : public testing::Test {
protected:
    void SetUp() override { RegisterShapeAndBlitClasses(); }

    CScopedFrameEffectTextureLookup m_Lookup{nullptr};
};

uint32_t OpaquePixels(const CFrame& f)
{
    uint32_t n = 0;
    for (uint32_t y = 0; y < f.GetHeight(); ++y)
        for (uint32_t x = 0; x < f.GetWidth(); ++x)
            n += f.Row(y)[4 * x + 3] != 0;
    return n;
}

std::unique_ptr<CFrame> Solid(uint32_t w, uint32_t h, const char* bgra)
{
    std::unique_ptr<CFrame> f = CFrame::MakeOwned(w, h, 32);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            std::memcpy(f->Row(y) + 4 * x, bgra, 4);
    return f;
}

// A new effect of that kind moved by (x, y).
template <class Effect = CFrameEffectBlit>
Effect* Shifted(float x, float y)
{
    auto* effect = new Effect();
    effect->m_Offset = {x, y};
    return effect;
}

struct BoundsCase {
    const char* name;
    std::unique_ptr<CFrameEffect> (*make)();
    CRect expected;
};

class EffectBoundsTest : public FrameEffectTest, public testing::WithParamInterface<BoundsCase> {};

TEST_P(EffectBoundsTest, GrowsTheSourceRectangle)
{
    std::unique_ptr<CFrameEffect> effect = GetParam().make();
    CRect out{99, 99, 99, 99};
    effect->CalcBounds(out, CRect{0, 0, 10, 10});
    EXPECT_EQ(out, GetParam().expected);
}

const BoundsCase kBoundsCases[] = {
    {"BlitHalfPixelOffset", [] { return std::unique_ptr<CFrameEffect>(Shifted(0.5f, -1.0f)); }, {0, -1, 11, 9}},
    // The blur size grows the rectangle before the offset applies.
    {"BlurGrowsThenOffsets",
     [] { return std::unique_ptr<CFrameEffect>(Shifted<CFrameEffectBlur>(0.5f, 0.0f)); },
     {-2, -2, 13, 12}},
    {"ExpandDefaultRadius", [] { return std::unique_ptr<CFrameEffect>(new CFrameEffectExpand()); }, {-3, -3, 13, 13}},
    {"TexturizeKeeps", [] { return std::unique_ptr<CFrameEffect>(new CFrameEffectTexturize()); }, {0, 0, 10, 10}},
    {"EmptyLayerLeavesTheCallersRectangle",
     [] { return std::unique_ptr<CFrameEffect>(new CFrameEffectLayer()); },
     {99, 99, 99, 99}},
    {"LayerUnitesItsEffectsOverTheApplyBeforeBounds",
     [] {
         auto layer = std::make_unique<CFrameEffectLayer>();
         layer->m_ApplyBefore = Shifted(0.0f, 5.0f);
         layer->AddLayeredEffect(Shifted(4.0f, 0.0f));
         layer->AddLayeredEffect(nullptr);
         layer->AddLayeredEffect(new CFrameEffectExpand());
         return std::unique_ptr<CFrameEffect>(std::move(layer));
     },
     {-3, 2, 14, 18}},
};

INSTANTIATE_TEST_SUITE_P(Effects, EffectBoundsTest, testing::ValuesIn(kBoundsCases),
                         [](const testing::TestParamInfo<BoundsCase>& p) { return std::string(p.param.name); });

TEST_F(FrameEffectTest, ExpandStampsEveryOffsetInsideTheEllipse)
{
    // One opaque pixel stamped at each offset marks exactly the offsets used.
    std::unique_ptr<CFrame> dot = Solid(1, 1, "\x10\x20\x30\xFF");
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(9, 9, 32);
    target->SetOffset(-4, -4);
    CFrameEffectExpand expand;
    expand.Apply(*dot, *target);
    EXPECT_EQ(OpaquePixels(*target), 21u);
    EXPECT_EQ(target->Row(4 - 2)[4 * (4 - 2) + 3], 0); // corner (-2, -2) left out
    EXPECT_EQ(target->Row(4 - 2)[4 * (4 - 1) + 3], 255);

    for (CFPoint radius : {CFPoint{0.0f, 2.0f}, CFPoint{2.0f, 0.0f}, CFPoint{-1.0f, -1.0f}}) {
        target->Clear();
        expand.m_Radius = radius;
        expand.Apply(*dot, *target);
        EXPECT_EQ(OpaquePixels(*target), 0u);
    }
}

TEST_F(FrameEffectTest, MultiplyBySourceScalesEveryByte)
{
    std::unique_ptr<CFrame> source = Solid(4, 1, "\xFF\xFF\xFF\xFF");
    source->Row(0)[4] = 0;       // pixel 1 blue 0
    source->Row(0)[8 + 3] = 128; // pixel 2 alpha 128
    std::unique_ptr<CFrame> texture = Solid(6, 1, "\x37\x80\xC8\xFF");
    texture->SetOffset(-1, 0);
    CFrameEffectTexturize texturize;
    texturize.MultiplyBySource(*source, *texture);
    const uint8_t* t = texture->Row(0);
    EXPECT_EQ(std::memcmp(t, "\x37\x80\xC8\xFF", 4), 0);     // outside the source
    EXPECT_EQ(std::memcmp(t + 4, "\x37\x80\xC8\xFF", 4), 0); // times 255 keeps
    EXPECT_EQ(t[8], 0);                                      // times 0
    EXPECT_EQ(t[12 + 3], (255 * 128 + 255) >> 8);
}

TEST_F(FrameEffectTest, ApplyToNewFrameCoversTheEffectBoundsOfTheOpaquePixels)
{
    std::unique_ptr<CFrame> source = CFrame::MakeOwned(8, 8, 32);
    for (uint32_t y = 2; y < 5; ++y)
        for (uint32_t x = 3; x < 7; ++x)
            std::memcpy(source->Row(y) + 4 * x, "\x11\x22\x33\xFF", 4);
    CFrameEffectBlit blit;
    blit.m_Offset = {2.0f, 1.0f};
    std::unique_ptr<CFrame> result = blit.ApplyToNewFrame(*source);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->GetBitDepth(), 32u);
    CRect bounds;
    result->GetBounds(bounds);
    EXPECT_EQ(bounds, (CRect{5, 3, 9, 6}));
    EXPECT_EQ(OpaquePixels(*result), 12u);
    EXPECT_EQ(std::memcmp(result->Row(0), "\x11\x22\x33\xFF", 4), 0);
}

TEST_F(FrameEffectTest, LayerAppliesItsEffectsToTheApplyBeforeResult)
{
    std::unique_ptr<CFrame> source = Solid(2, 2, "\x50\x50\x50\xFF");
    CFrameEffectLayer layer;
    layer.m_ApplyBefore = Shifted(3.0f, 0.0f);
    layer.AddLayeredEffect(new CFrameEffectBlit());
    layer.AddLayeredEffect(Shifted(0.0f, 4.0f));
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(8, 8, 32);
    layer.Apply(*source, *target);
    EXPECT_EQ(OpaquePixels(*target), 8u);
    EXPECT_EQ(target->Row(0)[4 * 3 + 3], 255);
    EXPECT_EQ(target->Row(5)[4 * 4 + 3], 255);
    EXPECT_EQ(target->Row(0)[3], 0);
}

CFrame* g_Texture = nullptr;

TEST_F(FrameEffectTest, TexturizeFillsTheSourceShapeWithTheTexture)
{
    std::unique_ptr<CFrame> texture = Solid(1, 1, "\x00\xFF\x00\xFF");
    g_Texture = texture.get();
    const CScopedFrameEffectTextureLookup lookup([](uint32_t index) { return index == 0 ? g_Texture : nullptr; });
    std::unique_ptr<CFrame> source = CFrame::MakeOwned(6, 6, 32);
    for (uint32_t y = 1; y < 4; ++y)
        for (uint32_t x = 1; x < 5; ++x)
            std::memcpy(source->Row(y) + 4 * x, "\xFF\xFF\xFF\xFF", 4);
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(6, 6, 32);
    // The default stretch policy, on a one-pixel texture (divisor 0.001).
    CFrameEffectTexturize texturize;
    ASSERT_NE(texturize.m_Policy, nullptr);
    texturize.Apply(*source, *target);
    EXPECT_EQ(OpaquePixels(*target), 12u);
    EXPECT_EQ(target->Row(2)[4 * 2 + 1], 255);
    EXPECT_EQ(target->Row(2)[4 * 2 + 2], 0);

    // Tiling; and a source without opaque pixels draws nothing.
    CFrameEffectTexturize tiled;
    delete tiled.m_Policy;
    tiled.m_Policy = new CFrameEffectTileTexture();
    target->Clear();
    tiled.Apply(*source, *target);
    EXPECT_EQ(OpaquePixels(*target), 12u);
    target->Clear();
    std::unique_ptr<CFrame> empty = CFrame::MakeOwned(6, 6, 32);
    tiled.Apply(*empty, *target);
    EXPECT_EQ(OpaquePixels(*target), 0u);
}

} // namespace
