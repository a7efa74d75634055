#include "render/CTransformedFrameCache.h"

#include "RenderTestSupport.h"
#include "support/ScopedHooks.h"

#include <algorithm>

namespace {

class TransformedFrames : public CRenderFixture {
protected:
    CScopedTransformedFrameBudget m_Budget{kDefaultTransformedFrameBudget};

    static CBlitXParams Transform(CFrameInterface& source, float angle, float scale,
                                  CColor colour = CColor(255, 255, 255, 255))
    {
        return CBlitXParams(&source, 0, 0, angle, scale, scale, colour, 0, 0, 0, true);
    }
};

struct SKeyChange {
    const char* name;
    void (*change)(CBlitXParams&);
    bool rebuilt;
};

class KeyChanges : public TransformedFrames, public testing::WithParamInterface<SKeyChange> {};

TEST_P(KeyChanges, RebuildOnlyWhenTheTransformDiffers)
{
    auto sprite = PatternFrame(10, 8, 2);
    CBlitXParams a = Transform(*sprite, 30, 1);
    CFrame* first = TransformedFrameCache_Get(*sprite, a);
    CBlitXParams b = Transform(*sprite, 30, 1);
    GetParam().change(b);
    EXPECT_EQ(TransformedFrameCache_Get(*sprite, b) != first, GetParam().rebuilt);
    ASSERT_NE(GetTransformedFrameCache(*sprite), nullptr);
    EXPECT_EQ(GetTransformedFrameCache(*sprite)->GetCount(), GetParam().rebuilt ? 2u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    All, KeyChanges,
    testing::Values(SKeyChange{"PositionIsNotPartOfTheKey", [](CBlitXParams& p) { p.m_X = 17, p.m_Y = -4; }, false},
                    SKeyChange{"Angle", [](CBlitXParams& p) { p.m_Angle = 30.0001f; }, true},
                    SKeyChange{"ScaleY", [](CBlitXParams& p) { p.m_ScaleX = 1, p.m_ScaleY = 2; }, true},
                    SKeyChange{"Alpha", [](CBlitXParams& p) { p.m_Color = CColor(255, 255, 255, 254); }, true},
                    SKeyChange{"Flags", [](CBlitXParams& p) { p.m_Flags = CBlitXParams::kMirrorX; }, true},
                    SKeyChange{"HotSpot", [](CBlitXParams& p) { p.m_HotSpotX = 1, p.m_HotSpotY = 0; }, true},
                    SKeyChange{"HotSpotY", [](CBlitXParams& p) { p.m_HotSpotX = 0, p.m_HotSpotY = 1; }, true}),
    [](const testing::TestParamInfo<SKeyChange>& p) { return std::string(p.param.name); });

TEST_F(TransformedFrames, EachSourceHasItsOwnCache)
{
    auto one = PatternFrame(10, 8, 3), two = PatternFrame(10, 8, 3);
    CBlitXParams a = Transform(*one, 45, 2), b = Transform(*two, 45, 2);
    EXPECT_NE(TransformedFrameCache_Get(*one, a), TransformedFrameCache_Get(*two, b));
    two.reset();
    EXPECT_EQ(GetTransformedFrameCache(*one)->GetCount(), 1u);
}

TEST_F(TransformedFrames, BuiltFrameIsTheDrawnBoundsAtThirtyTwoBits)
{
    auto sprite = PatternFrame(10, 8, 4);
    const CScopedGlobalBitDepth depth(16);
    CBlitXParams t = Transform(*sprite, 0, 2);
    t.m_HotSpotX = 5, t.m_HotSpotY = 4;
    std::unique_ptr<CFrame> built = BuildTransformedFrame(*sprite, t);
    EXPECT_EQ(built->GetBitDepth(), 32u);
    EXPECT_EQ(built->GetWidth(), 20u);
    EXPECT_EQ(built->GetHeight(), 16u);
    EXPECT_EQ(built->GetOffsetX(), -10);
    EXPECT_EQ(built->GetOffsetY(), -8);
    EXPECT_EQ(t.m_Flags, 0u);
    EXPECT_TRUE(t.m_DrawEnabled);
}

TEST_F(TransformedFrames, NothingDrawnOrTooLargeGivesAnEmptyOnePixelFrame)
{
    auto sprite = PatternFrame(10, 10, 5);
    CBlitXParams t = Transform(*sprite, 0, 0);
    CFrame* frame = TransformedFrameCache_Get(*sprite, t);
    EXPECT_EQ(frame->GetWidth(), 1u);
    EXPECT_EQ(frame->GetHeight(), 1u);
    EXPECT_EQ(TransformedFrameCache_Get(*sprite, t), frame);

    CBlitXParams huge = Transform(*sprite, 0, 7000); // 70000 pixels across
    std::unique_ptr<CFrame> built = BuildTransformedFrame(*sprite, huge);
    EXPECT_EQ(built->GetWidth(), 1u);
    EXPECT_EQ(built->GetHeight(), 1u);
    EXPECT_EQ(built->GetRawPixel(0, 0), 0u);
}

TEST_F(TransformedFrames, BudgetDropsTheLeastRecentlyUsedEntries)
{
    auto one = PatternFrame(10, 10, 6), two = PatternFrame(10, 10, 7);
    // Each entry at scale 2 is 20 x 20 x 4 = 1600 bytes; three fit.
    SetTransformedFrameBudget(3 * 1600);
    const uint64_t before = GetTransformedFrameBytes();
    ASSERT_EQ(before, 0u);
    CBlitXParams a = Transform(*one, 0, 2, CColor(255, 255, 1, 255));
    CBlitXParams b = Transform(*two, 0, 2, CColor(255, 255, 2, 255));
    CBlitXParams c = Transform(*one, 0, 2, CColor(255, 255, 3, 255));
    CBlitXParams d = Transform(*two, 0, 2, CColor(255, 255, 4, 255));
    TransformedFrameCache_Get(*one, a);
    TransformedFrameCache_Get(*two, b);
    TransformedFrameCache_Get(*one, c);
    TransformedFrameCache_Get(*one, a); // a is now more recent than b
    EXPECT_EQ(GetTransformedFrameBytes(), 3u * 1600);
    TransformedFrameCache_Get(*two, d); // b goes
    EXPECT_EQ(GetTransformedFrameBytes(), 3u * 1600);
    EXPECT_EQ(GetTransformedFrameCache(*one)->GetCount(), 2u);
    EXPECT_EQ(GetTransformedFrameCache(*two)->GetCount(), 1u);
    EXPECT_EQ(GetTransformedFrameCache(*two)->GetEntry(0).GetTransform().m_Color.GetBlue(), 4);
    // Destroying a source gives its bytes back.
    two.reset();
    EXPECT_EQ(GetTransformedFrameBytes(), 2u * 1600);
    one.reset();
    EXPECT_EQ(GetTransformedFrameBytes(), 0u);
}

TEST_F(TransformedFrames, AnEntryLargerThanTheBudgetIsStillReturned)
{
    auto sprite = PatternFrame(10, 10, 8);
    SetTransformedFrameBudget(100);
    CBlitXParams t = Transform(*sprite, 0, 3);
    CFrame* frame = TransformedFrameCache_Get(*sprite, t);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetWidth(), 30u);
}

TEST_F(TransformedFrames, CachedFramesOfCachedFramesSurviveTheirOwnEviction)
{
    auto sprite = PatternFrame(10, 10, 9);
    SetTransformedFrameBudget(1600 + 3200);
    CBlitXParams t = Transform(*sprite, 0, 2);
    CFrame* once = TransformedFrameCache_Get(*sprite, t);
    // The copy of the copy needs its source kept while room is made.
    CBlitXParams u = Transform(*once, 0, 2);
    CFrame* twice = TransformedFrameCache_Get(*once, u);
    ASSERT_NE(twice, nullptr);
    EXPECT_EQ(twice->GetWidth(), 40u);
}

// The smallest rectangle holding every pixel drawn (drawing over an opaque
// destination leaves its alpha alone, so colour is what counts).
CRect CoveredArea(const CFrame& frame)
{
    CRect r = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int32_t y = 0; y < int32_t(frame.GetHeight()); ++y)
        for (int32_t x = 0; x < int32_t(frame.GetWidth()); ++x)
            if (frame.GetRawPixel(x, y) & 0xFFFFFF)
                r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
    return r;
}

struct SPlacement {
    const char* name;
    float angle, scaleX, scaleY, hotX, hotY;
};

class CachedPlacement : public TransformedFrames, public testing::WithParamInterface<SPlacement> {};

// The cached copy lands where the transformed blit itself would draw: the
// hot spot is applied once, when the copy is built.
TEST_P(CachedPlacement, MatchesTheDirectTransformedBlit)
{
    const SPlacement& p = GetParam();
    auto sprite = CFrame::MakeOwned(12, 9, 32);
    CColor opaque(200, 100, 50, 255);
    sprite->Fill(opaque);
    sprite->SetOffset(-3, -2);
    auto cached = CFrame::MakeOwned(120, 120, 32), direct = CFrame::MakeOwned(120, 120, 32);
    CTransformedFrameCacheProxyFrame proxy;
    proxy.SetFrame(cached.get());
    CBlitXParams t(sprite.get(), 60, 61, p.angle, p.scaleX, p.scaleY, CColor(255, 128, 255, 255), 0, p.hotX, p.hotY,
                   true);
    proxy.Render(t);
    CBlitXParams reference(t);
    direct->Render(reference);
    const CRect a = CoveredArea(*cached), b = CoveredArea(*direct);
    EXPECT_NEAR(a.left, b.left, 1);
    EXPECT_NEAR(a.top, b.top, 1);
    EXPECT_NEAR(a.right, b.right, 1);
    EXPECT_NEAR(a.bottom, b.bottom, 1);
    EXPECT_EQ(t.m_X, 60.0f);
    EXPECT_EQ(GetTransformedFrameCache(*sprite)->GetCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(All, CachedPlacement,
                         testing::Values(SPlacement{"Scaled", 0, 2, 3, 0, 0},
                                         SPlacement{"ScaledAboutHotSpot", 0, 2, 3, 8, 5},
                                         SPlacement{"RotatedAboutHotSpot", 90, 1, 1, 8, 5},
                                         SPlacement{"RotatedAndScaled", 30, 1.5f, 1.5f, -3, 6}),
                         [](const testing::TestParamInfo<SPlacement>& p) { return std::string(p.param.name); });

TEST_F(TransformedFrames, IdentityTransformsNeverTouchTheCache)
{
    auto sprite = PatternFrame(6, 6, 11);
    auto target = CFrame::MakeOwned(20, 20, 32);
    CLoggingProxy log(target.get());
    CTransformedFrameCacheProxyFrame proxy;
    proxy.SetFrame(&log);
    CBlitXParams t(sprite.get(), 4.6f, 2.5f, 0, 1, 1, CColor(255, 255, 255, 255), 0, 0, 0, true);
    proxy.Render(t);
    EXPECT_EQ(GetTransformedFrameCache(*sprite), nullptr);
    EXPECT_EQ(log.log, std::vector<std::string>({"Render CBlitXParams at 5,2"}));
}

} // namespace
