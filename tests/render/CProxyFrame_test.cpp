#include "render/CProxyFrame.h"

#include "RenderTestSupport.h"
#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "render/COpacityProxyFrame.h"
#include "render/RegisterRenderClasses.h"

#include <functional>

namespace {

class ProxyFrames : public CRenderFixture {};

// One drawing operation, given the surface and a whole-pixel shift that
// the caller applies to every coordinate.
struct SOperation {
    const char* name;
    std::function<void(CFrameInterface& surface, int32_t dx, int32_t dy)> draw;
};

const SOperation kOperations[] = {
    {"FillRect",
     [](CFrameInterface& s, int32_t dx, int32_t dy) {
         CColor c(200, 100, 50, 255);
         s.FillRect({3 + dx, -4 + dy, 40 + dx, 25 + dy}, c);
     }},
    {"TranslucentFillRect",
     [](CFrameInterface& s, int32_t dx, int32_t dy) {
         CColor c(20, 200, 90, 100);
         s.FillRect({-5 + dx, 2 + dy, 17 + dx, 70 + dy}, c);
     }},
    {"SetPixels",
     [](CFrameInterface& s, int32_t dx, int32_t dy) {
         CColor c(1, 2, 3, 255);
         for (int32_t i = -3; i < 60; i += 3)
             s.SetPixel(i + dx, 2 * i - 5 + dy, c);
     }},
    {"DrawLines",
     [](CFrameInterface& s, int32_t dx, int32_t dy) {
         CColor c(9, 250, 9, 255);
         s.DrawLine(-20 + dx, -10 + dy, 70 + dx, 50 + dy, c);
         s.DrawLine(5 + dx, 45 + dy, 5 + dx, -45 + dy, c);
         s.DrawLine(-90 + dx, 7 + dy, 90 + dx, 7 + dy, c);
     }},
    {"Blits",
     [](CFrameInterface& s, int32_t dx, int32_t dy) {
         static const std::unique_ptr<CFrame> sprite = [] {
             auto made = PatternFrame(16, 12, 21, true);
             made->SetOffset(-4, -3);
             return made;
         }();
         for (CBlitType* type : {&GetTransparentMaskBlitType(), &GetNormalBlitType()}) {
             s.Blit(*sprite, {-4, -3, 12, 9}, {-6 + dx, 30 + dy, 10 + dx, 42 + dy}, *type);
             s.Blit(*sprite, {0, 0, 9, 9}, {20 + dx, 5 + dy, 29 + dx, 14 + dy}, *type);
         }
     }},
};

std::string OperationName(const testing::TestParamInfo<SOperation>& info)
{
    return info.param.name;
}

class ProxyAgainstDirect : public CRenderFixture, public testing::WithParamInterface<SOperation> {};

// Drawing through an offset proxy equals drawing shifted by minus the offset.
TEST_P(ProxyAgainstDirect, OffsetProxy)
{
    auto direct = PatternFrame(50, 40, 3), proxied = PatternFrame(50, 40, 3);
    GetParam().draw(*direct, -7, 5);
    COffsetProxyFrame proxy(proxied.get(), 7, -5);
    GetParam().draw(proxy, 0, 0);
    EXPECT_EQ(Pixels(*proxied), Pixels(*direct));
}

// Drawing through a clipped proxy equals drawing into the clip rectangle's
// part of the frame and nothing else.
TEST_P(ProxyAgainstDirect, ClippedProxy)
{
    auto direct = PatternFrame(50, 40, 4), proxied = PatternFrame(50, 40, 4);
    const CRect clip = {6, 3, 31, 22};
    auto scratch = PatternFrame(50, 40, 4);
    GetParam().draw(*scratch, 0, 0);
    for (int32_t y = clip.top; y < clip.bottom; ++y)
        for (int32_t x = clip.left; x < clip.right; ++x) {
            CColor c;
            scratch->GetPixel(x, y, c);
            direct->SetPixel(x, y, c);
        }
    CClippedProxyFrame proxy(proxied.get());
    proxy.SetClipRect(clip);
    GetParam().draw(proxy, 0, 0);
    if (std::string(GetParam().name) == "DrawLines") {
        // Clipped lines restart at the clip edge; compare only that nothing
        // leaks outside the clip rectangle.
        auto before = PatternFrame(50, 40, 4);
        for (int32_t y = 0; y < 40; ++y)
            for (int32_t x = 0; x < 50; ++x)
                if (!clip.ContainsPoint(x, y)) {
                    EXPECT_EQ(proxied->GetRawPixel(x, y), before->GetRawPixel(x, y));
                }
        return;
    }
    EXPECT_EQ(Pixels(*proxied), Pixels(*direct));
}

// Nested offset and clipped proxies compose like one offset-clipped proxy.
TEST_P(ProxyAgainstDirect, NestedProxiesCompose)
{
    auto nested = PatternFrame(50, 40, 5), combined = PatternFrame(50, 40, 5);
    CClippedProxyFrame clip(nested.get());
    clip.SetClipRect({4, 4, 44, 30});
    COffsetProxyFrame offset(&clip, 3, -2);
    COffsetProxyFrame outer(&offset, -1, 6);
    GetParam().draw(outer, 0, 0);

    COffsetClippedProxyFrame one(combined.get());
    one.SetOffset(2, 4);
    one.SetClipRect({6, 8, 46, 34});
    GetParam().draw(one, 0, 0);
    EXPECT_EQ(Pixels(*nested), Pixels(*combined));
}

// An opacity proxy at 1 changes nothing; at 0 it draws nothing.
TEST_P(ProxyAgainstDirect, OpacityProxyAtTheEnds)
{
    auto direct = PatternFrame(50, 40, 6), full = PatternFrame(50, 40, 6), none = PatternFrame(50, 40, 6);
    GetParam().draw(*direct, 0, 0);
    COpacityProxyFrame one(full.get(), 1.0f), zero(none.get(), 0.0f);
    GetParam().draw(one, 0, 0);
    GetParam().draw(zero, 0, 0);
    EXPECT_EQ(Pixels(*full), Pixels(*direct));
    EXPECT_EQ(Pixels(*none), Pixels(*PatternFrame(50, 40, 6)));
}

INSTANTIATE_TEST_SUITE_P(All, ProxyAgainstDirect, testing::ValuesIn(kOperations), OperationName);

// Blits at half opacity through an opacity proxy equal blits with the blit
// type itself at half opacity.
TEST_F(ProxyFrames, OpacityProxyBlitEqualsAFadedBlitType)
{
    auto direct = PatternFrame(50, 40, 12), proxied = PatternFrame(50, 40, 12);
    auto sprite = PatternFrame(20, 20, 13, true);
    CBlitType& type = GetTransparentMaskBlitType();
    type.SetOpacity(0.5f);
    direct->Blit(*sprite, {0, 0, 20, 20}, {5, 5, 25, 25}, type);
    type.SetOpacity(1.0f);
    COpacityProxyFrame proxy(proxied.get(), 0.5f);
    proxy.Blit(*sprite, {0, 0, 20, 20}, {5, 5, 25, 25}, type);
    EXPECT_EQ(type.GetOpacity(), 1.0f);
    EXPECT_EQ(Pixels(*proxied), Pixels(*direct));
    EXPECT_NE(Pixels(*direct), Pixels(*PatternFrame(50, 40, 12)));
}

TEST_F(ProxyFrames, OffsetProxyMapsPointsAndBounds)
{
    auto frame = CFrame::MakeOwned(20, 20, 32);
    COffsetProxyFrame proxy(frame.get(), 10, 5);
    CColor c(1, 2, 3, 255), read;
    frame->SetPixel(2, 2, c);
    EXPECT_TRUE(proxy.GetPixel(12, 7, read));
    EXPECT_EQ(read, c);
    CRect bounds;
    proxy.GetBounds(bounds);
    EXPECT_EQ(bounds, CRect({10, 5, 30, 25}));
    // The source is hit at the point minus the offset.
    EXPECT_TRUE(proxy.HitTest(12, 7));
    EXPECT_FALSE(proxy.HitTest(2, 2));
    // Both ends of a float line move by the offset, each axis by its own.
    CLoggingProxy log(frame.get());
    COffsetProxyFrame logged(&log, 10, 5);
    logged.DrawLineFloat(12.5f, 7.25f, 30.0f, 1.0f, c, 2.0f);
    ASSERT_EQ(log.log.size(), 1u);
    EXPECT_EQ(log.log[0], "DrawLineFloat 2.5,2.25,20,-4 " + Text(c) + " w2");
}

// Moves its own position by a fixed step each time it is drawn, the way a
// careless renderable might; the proxies restore what they changed.
class CProbe : public CRenderableObject {
public:
    bool Render(CFrameInterface&) override
    {
        seenX = m_X, seenY = m_Y;
        seenClip = m_ClipEnabled ? m_ClipRect : CRect{-1, -1, -1, -1};
        seenFlags = m_Flags;
        seenAlpha = m_Color.GetAlpha();
        return true;
    }
    float seenX = 0, seenY = 0;
    CRect seenClip{};
    uint32_t seenFlags = 0;
    uint8_t seenAlpha = 0;
};

TEST_F(ProxyFrames, RenderablesAreMovedClippedAndRestoredExactly)
{
    auto frame = CFrame::MakeOwned(100, 100, 32);
    CProbe probe;
    probe.m_X = 0.1f, probe.m_Y = 1e7f;
    probe.m_ClipRect = {1, 2, 3, 4};

    COffsetClippedProxyFrame proxy(frame.get());
    proxy.SetOffset(100, 50);
    proxy.SetClipRect({100, 50, 200, 150});
    EXPECT_TRUE(proxy.Render(probe));
    EXPECT_EQ(probe.seenX, 0.1f - 100.0f);
    EXPECT_EQ(probe.seenClip, CRect({0, 0, 100, 100}));
    EXPECT_EQ(probe.m_X, 0.1f);
    EXPECT_EQ(probe.m_Y, 1e7f);
    EXPECT_FALSE(probe.m_ClipEnabled);
    EXPECT_EQ(probe.m_ClipRect, CRect({1, 2, 3, 4}));

    // The clip replaces the renderable's own even when nested.
    CClippedProxyFrame inner(frame.get());
    inner.SetClipRect({10, 10, 20, 20});
    CClippedProxyFrame outer(&inner);
    outer.SetClipRect({0, 0, 15, 15});
    outer.Render(probe);
    EXPECT_EQ(probe.seenClip, CRect({10, 10, 20, 20}));

    CRespectDestAlphaProxyFrame alpha;
    alpha.SetFrame(frame.get());
    alpha.Render(probe);
    EXPECT_EQ(probe.seenFlags, CRenderableObject::kRespectDestinationAlpha);
    EXPECT_EQ(probe.m_Flags, 0u);
}

TEST_F(ProxyFrames, ClippedBlitTrimsBothRectanglesOnTheSameSide)
{
    auto frame = CFrame::MakeOwned(100, 100, 32);
    auto sprite = PatternFrame(10, 10, 8);
    CLoggingProxy log(frame.get());
    CClippedProxyFrame proxy(&log);
    proxy.SetClipRect({0, 0, 21, 100});
    // Outside: nothing reaches the source.
    EXPECT_FALSE(proxy.Blit(*sprite, {0, 0, 10, 10}, {30, 0, 40, 10}, GetNormalBlitType()));
    EXPECT_TRUE(log.log.empty());
    proxy.Blit(*sprite, {0, 0, 10, 10}, {20, 0, 30, 10}, GetNormalBlitType());
    EXPECT_EQ(log.log, std::vector<std::string>({"Blit 0,0,1,10 -> 20,0,21,10"}));
}

TEST_F(ProxyFrames, ClippedBoundsAndSizes)
{
    auto frame = CFrame::MakeOwned(50, 40, 32);
    CClippedProxyFrame proxy(frame.get());
    proxy.SetClipRect({40, 30, 70, 90});
    CRect bounds;
    proxy.GetBounds(bounds);
    EXPECT_EQ(bounds, CRect({40, 30, 50, 40}));
    EXPECT_EQ(proxy.GetWidth(), 30u);
    EXPECT_EQ(proxy.GetHeight(), 60u);
    proxy.SetClipRect({60, 50, 70, 90});
    proxy.GetBounds(bounds);
    EXPECT_EQ(bounds.GetWidth(), 0);
    EXPECT_EQ(bounds.GetHeight(), 0);
    CColor out(7, 7, 7, 7);
    EXPECT_FALSE(proxy.GetPixel(1, 1, out));
    EXPECT_EQ(out, CColor(7, 7, 7, 7));
    // Re-pointing the proxy resets the clip to the new source.
    auto other = CFrame::MakeOwned(5, 6, 32);
    proxy.SetFrame(other.get());
    EXPECT_EQ(proxy.GetClipRect(), CRect({0, 0, 5, 6}));
}

TEST_F(ProxyFrames, OffsetClippedMapsClearAndReportsBounds)
{
    auto frame = PatternFrame(30, 30, 9);
    COffsetClippedProxyFrame proxy(frame.get());
    proxy.SetOffset(100, 50);
    proxy.SetClipRect({100, 50, 110, 60});
    proxy.ClearMappedRect({95, 45, 200, 200});
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 30; ++x)
            EXPECT_EQ(frame->GetRawPixel(x, y) == 0, x < 10 && y < 10) << x << "," << y;
    CRect bounds;
    proxy.GetBounds(bounds);
    EXPECT_EQ(bounds, CRect({100, 50, 110, 60}));
}

// Offsets from a damaged data file at the ends of the int range: every moved
// coordinate is held at the nearer end instead of wrapping back on screen.
TEST_F(ProxyFrames, OffsetsAtTheEndsOfTheIntRangeHoldEveryMovedCoordinate)
{
    auto frame = PatternFrame(20, 20, 14);
    auto sprite = PatternFrame(4, 4, 15);
    CColor c(1, 2, 3, 255), read;
    const uint8_t table[256] = {};
    CLoggingProxy log(frame.get());
    COffsetProxyFrame offset(&log, INT32_MIN, INT32_MAX);
    offset.FillRect({0, 0, 10, 10}, c);
    offset.ClearMappedRect({-5, 5, 5, 15});
    offset.RemapRect({1, 2, 3, 4}, table);
    offset.Blit(*sprite, {0, 0, 4, 4}, {0, -4, 4, 0}, GetNormalBlitType());
    offset.DrawLine(0, 0, 5, -5, c);
    offset.SetPixel(-1, 1, c);
    EXPECT_EQ(log.log, std::vector<std::string>({
                           "FillRect 2147483647,-2147483647,2147483647,-2147483637 " + Text(c),
                           "ClearRect 2147483643,-2147483642,2147483647,-2147483632",
                           "RemapRect 2147483647,-2147483645,2147483647,-2147483643",
                           "Blit 0,0,4,4 -> 2147483647,-2147483648,2147483647,-2147483647",
                           "DrawLine 2147483647,-2147483647,2147483647,-2147483648 " + Text(c),
                           "SetPixel 2147483647,-2147483646 " + Text(c),
                       }));
    EXPECT_FALSE(offset.GetPixel(0, 0, read));
    EXPECT_FALSE(offset.HitTest(0, 0));
    CRect bounds;
    offset.GetBounds(bounds);
    EXPECT_EQ(bounds, CRect({INT32_MIN, INT32_MAX, INT32_MIN + 20, INT32_MAX}));

    // The goal strip's case: a small offset, coordinates near the limits.
    const std::vector<uint32_t> before = Pixels(*frame);
    frame->SetOffset(-4, 3);
    COffsetClippedProxyFrame clipped(frame.get());
    for (const int32_t o : {-30, 30}) {
        SCOPED_TRACE(o);
        const int32_t far = o < 0 ? INT32_MAX - 10 : INT32_MIN + 10;
        clipped.SetOffset(o, o);
        const CRect there{far, far, far + 4, far + 4};
        EXPECT_FALSE(clipped.Blit(*sprite, {0, 0, 4, 4}, there, GetTransparentMaskBlitType()));
        clipped.FillRect(there, c);
        clipped.ClearMappedRect(there);
        clipped.RemapRect(there, table);
        clipped.DrawLine(far, far, far + 4, far + 4, c);
        clipped.SetPixel(far, far, c);
        EXPECT_FALSE(clipped.GetPixel(far, far, read));
        EXPECT_EQ(clipped.GetRawPixel(far, far), 0u);
        EXPECT_FALSE(clipped.HitTest(far, far));
        CRespectDestAlphaProxyFrame alpha;
        alpha.SetFrame(&clipped);
        alpha.Blit(*sprite, {-16, -16, -12, -12}, there, GetTransparentMaskBlitType());
        // A clip there keeps nothing of the frame.
        clipped.SetClipRect(there);
        clipped.GetBounds(bounds);
        EXPECT_EQ(bounds.GetWidth() * bounds.GetHeight(), 0);
        clipped.SetFrame(frame.get());
    }
    EXPECT_EQ(Pixels(*frame), before);
    clipped.SetOffset(INT32_MIN, INT32_MAX);
    EXPECT_EQ(clipped.GetOffsetX(), INT32_MIN);
    EXPECT_EQ(clipped.GetOffsetY(), INT32_MAX);
    EXPECT_EQ(clipped.GetOwnOffsetX(), INT32_MIN);
    EXPECT_EQ(clipped.GetOwnOffsetY(), INT32_MAX);
}

TEST_F(ProxyFrames, OpacityRoundsFillsAndTruncatesRenderables)
{
    auto frame = CFrame::MakeOwned(4, 4, 32);
    CLoggingProxy log(frame.get());
    COpacityProxyFrame proxy(&log, 0.5f);
    CColor white(255, 255, 255, 255);
    proxy.FillRect({0, 0, 1, 1}, white);
    EXPECT_EQ(log.log.back(), "FillRect 0,0,1,1 #80FFFFFF");
    CProbe probe;
    proxy.Render(probe);
    EXPECT_EQ(probe.seenAlpha, 127);
    EXPECT_EQ(probe.m_Color.GetAlpha(), 255);
    // Above 1 the alpha stays opaque rather than wrapping.
    proxy.SetOpacity(3.0f);
    proxy.SetPixel(0, 0, white);
    EXPECT_EQ(log.log.back(), "SetPixel 0,0 #FFFFFFFF");
}

TEST_F(ProxyFrames, OpacityScalesAndRestoresTheBlitType)
{
    auto frame = CFrame::MakeOwned(40, 40, 32);
    auto sprite = PatternFrame(4, 4, 1);
    CLoggingProxy spy(frame.get());
    COpacityProxyFrame proxy(&spy, 0.5f);
    CBlitType& type = GetNormalBlitType();
    type.SetOpacity(0.8f);
    proxy.Blit(*sprite, {0, 0, 4, 4}, {0, 0, 4, 4}, type);
    EXPECT_FLOAT_EQ(spy.blitOpacity, 0.4f);
    EXPECT_EQ(type.GetOpacity(), 0.8f);
    proxy.SetOpacity(0.0f);
    EXPECT_FALSE(proxy.Blit(*sprite, {0, 0, 4, 4}, {0, 0, 4, 4}, type));
    type.SetOpacity(1.0f);
}

TEST_F(ProxyFrames, RespectDestAlphaBlitDrawsTheWholeSourceAsATransformedBlit)
{
    auto frame = CFrame::MakeOwned(40, 40, 32);
    auto sprite = PatternFrame(6, 5, 2);
    CLoggingProxy log(frame.get());
    CRespectDestAlphaProxyFrame proxy;
    proxy.SetFrame(&log);
    CBlitType& mask = GetTransparentMaskBlitType();
    mask.SetOpacity(0.5f);
    // Only the corner difference counts: the whole 6 x 5 source lands at (9, 9).
    proxy.Blit(*sprite, {1, 1, 2, 2}, {10, 10, 11, 11}, mask);
    mask.SetOpacity(1.0f);
    EXPECT_EQ(log.log, std::vector<std::string>({"Render CBlitXParams at 9,9"}));
    // Drawn at half opacity over transparent pixels, inside the 6 x 5 area only.
    const uint32_t inside = frame->GetRawPixel(11, 11);
    EXPECT_GT(inside >> 24, 0u);
    EXPECT_LT(inside >> 24, 255u);
    EXPECT_EQ(frame->GetRawPixel(16, 11), 0u);
    EXPECT_EQ(frame->GetRawPixel(11, 15), 0u);
}

TEST_F(ProxyFrames, ProxiesAreCreatedByName)
{
    for (const char* name :
         {"CProxyFrame", "COffsetProxyFrame", "CClippedProxyFrame", "COffsetClippedProxyFrame", "COpacityProxyFrame",
          "CRespectDestAlphaProxyFrame", "CScaledOffsetProxyFrame", "COffsetRotateScaleProxyFrame",
          "CBatchedProxyFrame", "CTransformedFrameCacheProxyFrame"}) {
        CObject* made = CClassInfoList::SGetInstance().CreateObjectByName(name, 0, 0, ReportUnknownClass::Quiet);
        ASSERT_NE(made, nullptr) << name;
        EXPECT_NE(dynamic_cast<CProxyFrame*>(made), nullptr) << name;
        delete made;
    }
}

} // namespace
