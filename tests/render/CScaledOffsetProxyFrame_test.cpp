#include "render/CScaledOffsetProxyFrame.h"

#include "RenderTestSupport.h"
#include "blit/CBlitTypeList.h"
#include "render/CCircleRenderer.h"
#include "render/CShape2DRenderers.h"

#include <cmath>

namespace {

class TransformingProxies : public CRenderFixture {};

TEST_F(TransformingProxies, ScaledOffsetScalesAboutTheSourceCentre)
{
    auto frame = CFrame::MakeOwned(100, 50, 32);
    CScaledOffsetProxyFrame proxy(frame.get());
    proxy.Set(2.0f, 0.0f, 0.0f);
    EXPECT_EQ(proxy.Map(50, 25), CFPoint({50, 25}));
    EXPECT_EQ(proxy.Map(60, 25), CFPoint({70, 25}));
    CLoggingProxy log(frame.get());
    proxy.SetFrame(&log);
    CColor c(1, 2, 3, 255);
    proxy.FillRect({50, 25, 51, 26}, c);
    proxy.DrawLine(50, 25, 60, 25, c);
    EXPECT_EQ(log.log,
              std::vector<std::string>({"FillRect 50,25,52,27 #FF010203", "DrawLineFloat 50,25,70,25 #FF010203 w1"}));
}

TEST_F(TransformingProxies, RotateScaleMapsWithTheTableSine)
{
    COffsetRotateScaleProxyFrame proxy;
    proxy.SetRotation(3.14159265f / 2);
    proxy.SetOffset({10, 0});
    const CFPoint p = proxy.MapPoint(1, 0);
    EXPECT_NEAR(p.x, 10.0f, 1e-3f);
    EXPECT_NEAR(p.y, 1.0f, 1e-3f);
    // Unequal scales stretch along the destination's axes, after rotating.
    proxy.SetScale({2, 3});
    const CFPoint q = proxy.MapPoint(1, 0);
    EXPECT_NEAR(q.x, 10.0f, 1e-3f);
    EXPECT_NEAR(q.y, 3.0f, 1e-3f);
}

// Reads what reaches the source of each renderable kind.
struct CRenderSpy : CLoggingProxy {
    using CLoggingProxy::CLoggingProxy;
    bool Render(CRenderableObject& r) override
    {
        x = r.m_X, y = r.m_Y;
        if (auto* circle = dynamic_cast<CCircleRenderer*>(&r))
            scale = circle->GetRadius();
        else if (auto* fill = dynamic_cast<CShape2DFillRenderer*>(&r))
            scale = fill->m_Scale;
        else if (auto* outline = dynamic_cast<CShape2DOutlineRenderer*>(&r))
            scale = outline->m_Scale, width = outline->m_LineWidth;
        else if (auto* blit = dynamic_cast<CBlitXParams*>(&r))
            angle = blit->m_Angle;
        colour = r.m_Color;
        return true;
    }
    float x = 0, y = 0, scale = 0, width = 0, angle = -1;
    CColor colour;
};

struct SAngleCase {
    const char* name;
    float recordDegrees;
    float proxyDegrees;
    float expected;
};

class BlitAngles : public TransformingProxies, public testing::WithParamInterface<SAngleCase> {};

TEST_P(BlitAngles, AreNormalisedOnceEachWay)
{
    auto frame = CFrame::MakeOwned(10, 10, 32);
    auto sprite = PatternFrame(2, 2, 1);
    CRenderSpy spy(frame.get());
    COffsetRotateScaleProxyFrame proxy;
    proxy.SetFrame(&spy);
    proxy.SetRotationDegrees(GetParam().proxyDegrees);
    CBlitXParams params(sprite.get(), 0, 0, GetParam().recordDegrees, 1, 1, CColor(255, 255, 255, 255), 0, 0, 0, true);
    proxy.Render(params);
    EXPECT_NEAR(spy.angle, GetParam().expected, 1e-3f);
    EXPECT_EQ(params.m_Angle, GetParam().recordDegrees);
}

INSTANTIATE_TEST_SUITE_P(All, BlitAngles,
                         testing::Values(SAngleCase{"WrapsPastFullTurn", 350, 20, 10},
                                         SAngleCase{"NegativeComesRound", -30, 0, 330},
                                         SAngleCase{"InRangeUnchanged", 45, 45, 90}),
                         [](const testing::TestParamInfo<SAngleCase>& p) { return std::string(p.param.name); });

TEST_F(TransformingProxies, OpacityTintsOnlyAlphaAndModulatesDrawnColours)
{
    auto frame = CFrame::MakeOwned(20, 20, 32);
    CLoggingProxy log(frame.get());
    COffsetRotateScaleProxyFrame proxy;
    proxy.SetFrame(&log);
    proxy.SetColor(CColor(255, 0, 0, 255));
    proxy.SetOpacity(0.5f);
    CColor white(255, 255, 255, 255);
    proxy.DrawLine(1, 1, 5, 5, white);
    EXPECT_EQ(log.log.back(), "DrawLineFloat 1,1,5,5 #7FFF0000 w1");
    CColor grey(100, 101, 102, 200);
    proxy.SetPixel(2, 3, grey);
    EXPECT_EQ(log.log.back(), "SetPixel 2,3 #63640000");
}

TEST_F(TransformingProxies, RotatedFillRectBecomesOneFilledPolygon)
{
    auto frame = CFrame::MakeOwned(20, 20, 32);
    CLoggingProxy log(frame.get());
    COffsetRotateScaleProxyFrame proxy;
    proxy.SetFrame(&log);
    CColor c(9, 9, 9, 255);
    proxy.SetOffset({0.4f, 0.6f});
    proxy.FillRect({1, 1, 4, 4}, c);
    EXPECT_EQ(log.log, std::vector<std::string>({"FillRect 1,2,4,5 #FF090909"}));
    proxy.SetRotationDegrees(30);
    proxy.FillRect({1, 1, 4, 4}, c);
    ASSERT_EQ(log.log.size(), 2u);
    EXPECT_EQ(log.log[1], "Render CShape2DFillRenderer at 0,0");
}

TEST_F(TransformingProxies, ScaledOffsetAdaptsCirclesAndShapes)
{
    auto frame = CFrame::MakeOwned(100, 100, 32);
    CRenderSpy spy(frame.get());
    CScaledOffsetProxyFrame proxy(&spy);
    proxy.SetCentre(50, 50);
    proxy.Set(2.0f, 0.0f, 0.0f);
    CCircleRenderer circle;
    circle.m_X = 60, circle.m_Y = 50;
    circle.SetRadius(10.0f);
    proxy.Render(circle);
    EXPECT_EQ(spy.scale, 20.0f);
    EXPECT_EQ(spy.x, 70.0f);
    EXPECT_EQ(circle.GetRadius(), 10.0f);
    EXPECT_EQ(circle.m_X, 60.0f);
    CShape2DOutlineRenderer outline;
    outline.m_Scale = 1.5f;
    outline.m_LineWidth = 2.0f;
    proxy.Render(outline);
    EXPECT_EQ(spy.scale, 3.0f);
    EXPECT_EQ(spy.width, 2.0f);
    EXPECT_EQ(outline.m_Scale, 1.5f);
}

TEST_F(TransformingProxies, RotateScaleScalesShapesByXAndTintsThemButNotCircles)
{
    auto frame = CFrame::MakeOwned(100, 100, 32);
    CRenderSpy spy(frame.get());
    COffsetRotateScaleProxyFrame proxy;
    proxy.SetFrame(&spy);
    proxy.SetScale({2, 5});
    proxy.SetColor(CColor(255, 0, 0, 255));
    CShape2DFillRenderer fill;
    fill.m_Color = CColor(255, 255, 255, 255);
    proxy.Render(fill);
    EXPECT_EQ(spy.scale, 2.0f);
    EXPECT_EQ(spy.colour, CColor(255, 0, 0, 255));
    CCircleRenderer circle;
    circle.m_Color = CColor(255, 255, 255, 255);
    proxy.Render(circle);
    EXPECT_EQ(spy.colour, CColor(255, 255, 255, 255));
    EXPECT_EQ(spy.scale, 1.0f); // the radius stays
}

// A blit through the scaled proxy is the whole source drawn scaled, the same
// as the transformed blit it stands for.
TEST_F(TransformingProxies, ScaledBlitEqualsTheTransformedBlit)
{
    auto proxied = CFrame::MakeOwned(64, 64, 32), direct = CFrame::MakeOwned(64, 64, 32);
    auto sprite = PatternFrame(8, 6, 3);
    CScaledOffsetProxyFrame proxy(proxied.get());
    proxy.Set(3.0f, 2.0f, -1.0f);
    proxy.Blit(*sprite, {0, 0, 8, 6}, {20, 30, 28, 36}, GetNormalBlitType());
    const CFPoint at = proxy.Map(20, 30);
    CBlitXParams params(sprite.get(), at.x, at.y, 0, 3, 3, CColor(255, 255, 255, 255), 0, 0, 0, true);
    direct->Render(params);
    EXPECT_EQ(Pixels(*proxied), Pixels(*direct));
}

// A blit of part of a frame (a skin's slice, a texture's tile) shows that
// part alone through either proxy, where a plain blit would put it: at scale
// 1 the very pixels of the plain blit, scaled the transformed blit of the
// part by itself. A part outside the frame draws nothing.
TEST_F(TransformingProxies, ABlitOfPartOfAFrameShowsThatPartAlone)
{
    auto sprite = PatternFrame(8, 6, 5);
    sprite->SetOffset(-2, -1);
    const CRect s{1, 0, 4, 3}, d{20, 30, 23, 33};
    CBlitType& mask = GetTransparentMaskBlitType();
    auto plain = CFrame::MakeOwned(64, 64, 32);
    plain->Blit(*sprite, s, d, mask);

    auto scaledTarget = CFrame::MakeOwned(64, 64, 32);
    CScaledOffsetProxyFrame scaled(scaledTarget.get());
    scaled.Blit(*sprite, s, d, mask);
    EXPECT_EQ(Pixels(*scaledTarget), Pixels(*plain));

    auto rotatedTarget = CFrame::MakeOwned(64, 64, 32);
    COffsetRotateScaleProxyFrame rotated;
    rotated.SetFrame(rotatedTarget.get());
    rotated.Blit(*sprite, s, d, mask);
    EXPECT_EQ(Pixels(*rotatedTarget), Pixels(*plain));

    // Scaled by 3: the part, cut out by hand, drawn as a transformed blit.
    auto part = CFrame::MakeOwned(3, 3, 32);
    part->Blit(*sprite, s, CRect{0, 0, 3, 3}, GetNormalBlitType());
    scaledTarget = CFrame::MakeOwned(64, 64, 32);
    scaled.SetFrame(scaledTarget.get());
    scaled.Set(3.0f, 2.0f, -1.0f);
    scaled.Blit(*sprite, s, d, mask);
    auto expected = CFrame::MakeOwned(64, 64, 32);
    const CFPoint at = scaled.Map(20, 30);
    CBlitXParams params(part.get(), at.x, at.y, 0, 3, 3, CColor(255, 255, 255, 255), 0, 0, 0, true);
    expected->Render(params);
    EXPECT_EQ(Pixels(*scaledTarget), Pixels(*expected));

    auto untouched = CFrame::MakeOwned(64, 64, 32);
    rotatedTarget = CFrame::MakeOwned(64, 64, 32);
    rotated.SetFrame(rotatedTarget.get());
    rotated.Blit(*sprite, CRect{40, 40, 43, 43}, d, mask);
    EXPECT_EQ(Pixels(*rotatedTarget), Pixels(*untouched));
}
} // namespace
