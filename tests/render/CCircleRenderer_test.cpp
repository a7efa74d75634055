#include "render/CCircleRenderer.h"

#include "RenderTestSupport.h"

#include <cmath>

namespace {

struct SSides {
    const char* name;
    float radius;
    size_t sides;
};

class CircleSides : public CRenderFixture, public testing::WithParamInterface<SSides> {};

TEST_P(CircleSides, FollowTheWholePixelsOfRadius)
{
    CCircleRenderer circle;
    circle.m_X = 100, circle.m_Y = 100;
    circle.SetRadius(GetParam().radius);
    const std::vector<CFPoint> points = circle.BuildPolygon();
    ASSERT_EQ(points.size(), GetParam().sides + 1);
    const float r = GetParam().radius;
    if (!std::isnan(r)) {
        const float tolerance = 1e-3f * (1 + std::fabs(r));
        EXPECT_EQ(points.front(), CFPoint({100 + r, 100}));
        // Closed: the last point comes round onto the first.
        EXPECT_NEAR(points.back().x, points.front().x, tolerance);
        EXPECT_NEAR(points.back().y, points.front().y, tolerance);
        for (const CFPoint& p : points)
            EXPECT_NEAR(std::hypot(p.x - 100, p.y - 100), std::fabs(r), tolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(All, CircleSides,
                         testing::Values(SSides{"DefaultRadius", 1.0f, 8}, SSides{"Fractional", 25.7f, 25},
                                         SSides{"Large", 100.0f, 40}, SSides{"Negative", -5.0f, 8},
                                         SSides{"NotANumberGivesTheFewest", std::nanf(""), 8}),
                         [](const testing::TestParamInfo<SSides>& p) { return std::string(p.param.name); });

TEST_F(CircleSides, DrawsItsOutlineThroughTheTargetAndLeavesItsBounds)
{
    auto frame = CFrame::MakeOwned(200, 200, 32);
    CLoggingProxy log(frame.get());
    CCircleRenderer circle;
    circle.m_X = 100, circle.m_Y = 90;
    circle.SetRadius(30);
    circle.SetLineWidth(3);
    circle.m_Color = CColor(255, 0, 0, 255);
    EXPECT_TRUE(log.Render(circle));
    EXPECT_EQ(log.log, std::vector<std::string>({"Render CCircleRenderer at 100,90"}));
    EXPECT_TRUE(circle.m_DrawnBounds.IsAllZero());
    EXPECT_GT(frame->GetRawPixel(130, 90) & 0xFF0000, 0u);
    EXPECT_GT(frame->GetRawPixel(100, 60) & 0xFF0000, 0u);
    EXPECT_EQ(frame->GetRawPixel(100, 90), 0u);
}

} // namespace
