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
    auto frame = CFrame::MakeOwned(200, 200, 32);
    CCircleRenderer circle;
    circle.m_X = 100, circle.m_Y = 100;
    circle.SetRadius(GetParam().radius);
    circle.SetLineWidth(2.5f);
    circle.m_Color = CColor(1, 2, 3, 4);
    EXPECT_TRUE(frame->Render(circle));
    ASSERT_EQ(PolygonCalls().size(), 1u);
    const SPolygonCall& call = PolygonCalls()[0];
    EXPECT_FALSE(call.fill);
    ASSERT_EQ(call.points.size(), GetParam().sides + 1);
    EXPECT_EQ(call.width, 2.5f);
    EXPECT_EQ(call.colour, CColor(1, 2, 3, 4));
    const float r = GetParam().radius;
    if (!std::isnan(r)) {
        const float tolerance = 1e-3f * (1 + std::fabs(r));
        EXPECT_EQ(call.points.front(), CFPoint({ 100 + r, 100 }));
        // Closed: the last point comes round onto the first.
        EXPECT_NEAR(call.points.back().x, call.points.front().x, tolerance);
        EXPECT_NEAR(call.points.back().y, call.points.front().y, tolerance);
        for (const CFPoint& p : call.points)
            EXPECT_NEAR(std::hypot(p.x - 100, p.y - 100), std::fabs(r), tolerance);
    }
    EXPECT_TRUE(circle.m_DrawnBounds.IsAllZero());
}

INSTANTIATE_TEST_SUITE_P(All, CircleSides,
                         testing::Values(SSides { "DefaultRadius", 1.0f, 8 }, SSides { "Fractional", 25.7f, 25 },
                                         SSides { "Large", 100.0f, 40 }, SSides { "Negative", -5.0f, 8 },
                                         SSides { "NotANumberGivesTheFewest", std::nanf(""), 8 }),
                         [](const testing::TestParamInfo<SSides>& p) { return std::string(p.param.name); });

} // namespace
