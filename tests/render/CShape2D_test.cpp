#include "render/CShape2D.h"

#include "RenderTestSupport.h"
#include "blit/ColorTables.h"
#include "images/CFrame.h"
#include "render/CBlitXParams.h"
#include "render/CShape2DRenderers.h"
#include "render/ShapePath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using Ombrisalt::CShape2D;

namespace {

// The shape's contours as the rasteriser receives them (curves flattened
// by the conversion), for a supersampled non-zero reference.
std::vector<std::vector<std::pair<double, double>>> Contours(const CShape2D& shape)
{
    agg::path_storage path;
    AppendShapePath(path, shape);
    std::vector<std::vector<std::pair<double, double>>> out;
    path.rewind(0);
    double x, y;
    unsigned cmd;
    while (!agg::is_stop(cmd = path.vertex(&x, &y))) {
        if (agg::is_move_to(cmd))
            out.push_back({});
        if (agg::is_vertex(cmd))
            out.back().push_back({x, y});
    }
    return out;
}

std::vector<std::pair<double, double>> Vertices(const CShape2D& shape)
{
    std::vector<std::pair<double, double>> out;
    for (const auto& contour : Contours(shape))
        out.insert(out.end(), contour.begin(), contour.end());
    return out;
}

TEST(Shape2D, BuildingAndBounds)
{
    CShape2D shape(1, 10);
    shape.ClosePath();
    EXPECT_TRUE(shape.GetPoints().IsEmpty());
    CRect untouched{7, 7, 7, 7};
    shape.GetBounds(untouched);
    EXPECT_EQ(untouched, (CRect{7, 7, 7, 7}));

    shape.MoveTo(1.5f, -2.5f);
    CRect r{};
    shape.GetBounds(r);
    EXPECT_EQ(r, (CRect{1, -3, 2, -2}));

    CShape2D two(1, 10);
    two.MoveTo(0, 10);
    two.LineTo(5, 20);
    two.GetBounds(r);
    EXPECT_EQ(r, (CRect{0, 10, 5, 20}));
    // Two contours: the close lines back to the first contour's start.
    two.MoveTo(30, 30);
    two.LineTo(40, 30);
    two.ClosePath();
    EXPECT_EQ(two.GetPoints()[two.GetPoints().GetCount() - 1], (CFPoint{0, 10}));
}

TEST(Shape2D, ConversionSkipsUnknownCodesAndStartsCurvesAtTheCurrentPoint)
{
    CShape2D shape(1, 10);
    shape.MoveTo(1, 1);
    shape.AddCommand(7, nullptr, 0);
    shape.LineTo(4, 5);
    const auto v = Vertices(shape);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[1], (std::pair<double, double>{4, 5}));

    CShape2D curve(1, 10);
    curve.CubicTo({0, 10}, {10, 10}, {10, 0});
    const auto c = Vertices(curve);
    ASSERT_GT(c.size(), 4u);
    EXPECT_EQ(c.front(), (std::pair<double, double>{0, 0}));
    EXPECT_EQ(c.back(), (std::pair<double, double>{10, 0}));

    // Missing points end the walk instead of reading past the list.
    CShape2D truncated(1, 10);
    truncated.MoveTo(1, 1);
    const CFPoint one{2, 2};
    truncated.AddCommand(CShape2D::kCubicTo, &one, 1);
    EXPECT_EQ(Vertices(truncated).size(), 1u);
}

int Winding(const std::vector<std::vector<std::pair<double, double>>>& contours, double x, double y)
{
    int w = 0;
    for (const auto& c : contours)
        for (size_t i = 0; i < c.size(); ++i) {
            const auto& a = c[i];
            const auto& b = c[(i + 1) % c.size()];
            if ((a.second <= y) != (b.second <= y)) {
                const double xc = a.first + (y - a.second) * (b.first - a.first) / (b.second - a.second);
                if (xc > x)
                    w += b.second > a.second ? 1 : -1;
            }
        }
    return w;
}

void Polygon(CShape2D& s, std::initializer_list<CFPoint> points)
{
    s.MoveTo(points.begin()->x, points.begin()->y);
    for (auto p = points.begin() + 1; p != points.end(); ++p)
        s.LineTo(p->x, p->y);
}

struct CoverageCase {
    const char* name;
    std::function<void(CShape2D&)> build;
};

class ShapeCoverageTest : public testing::TestWithParam<CoverageCase> {
protected:
    void SetUp() override { RegisterShapeAndBlitClasses(); }
};

TEST_P(ShapeCoverageTest, FillMatchesASupersampledReference)
{
    CShape2D shape(1, 10);
    GetParam().build(shape);
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(24, 24, 32);
    for (uint32_t y = 0; y < 24; ++y)
        for (uint32_t x = 0; x < 24; ++x)
            target->Row(y)[4 * x + 3] = 255;
    CShape2DFillRenderer fill;
    fill.m_Shape = &shape;
    ASSERT_TRUE(target->Render(fill));
    const auto contours = Contours(shape);
    double total = 0, reference = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            // Area rasterisers integrate the winding number over the pixel
            // and clamp: a pixel where winding 2 meets 0 can be full.
            int winding = 0;
            for (int sy = 0; sy < 32; ++sy)
                for (int sx = 0; sx < 32; ++sx)
                    winding += Winding(contours, x + (sx + 0.5) / 32, y + (sy + 0.5) / 32);
            const double expected = std::min(std::abs(winding), 1024) * 255.0 / 1024.0;
            const double got = target->Row(uint32_t(y))[4 * x];
            // White over black gives the coverage (less a step; 4 or less
            // skipped); sampling two edges in one pixel errs up to 1/16.
            ASSERT_NEAR(got, expected, 16.0) << "pixel " << x << "," << y;
            total += got;
            reference += expected;
        }
    EXPECT_NEAR(total, reference, reference * 0.02 + 20);
}

const CoverageCase kCoverageCases[] = {
    {"Square",
     [](CShape2D& s) {
         Polygon(s, {{2.5f, 2.5f}, {19.25f, 2.5f}, {19.25f, 17.75f}, {2.5f, 17.75f}});
     }},
    {"Triangle",
     [](CShape2D& s) {
         Polygon(s, {{1.3f, 20.0f}, {12.0f, 1.7f}, {22.6f, 21.2f}});
     }},
    {"QuadraticCurve",
     [](CShape2D& s) {
         s.MoveTo(2, 20);
         s.QuadTo({12, -10}, {22, 20});
     }},
    {"CubicCurve",
     [](CShape2D& s) {
         s.MoveTo(2, 12);
         s.CubicTo({2, -4}, {22, -4}, {22, 12});
         s.CubicTo({22, 28}, {2, 28}, {2, 12});
     }},
    // A star crosses itself; under the non-zero rule its centre is filled.
    {"SelfIntersectingStar",
     [](CShape2D& s) {
         for (int i = 0; i < 5; ++i) {
             const double a = -3.14159265358979 / 2 + i * 4 * 3.14159265358979 / 5;
             const float x = float(12 + 10 * std::cos(a)), y = float(12 + 10 * std::sin(a));
             i == 0 ? s.MoveTo(x, y) : s.LineTo(x, y);
         }
     }},
    // An inner contour running the other way cuts a hole.
    {"ReversedInnerContourIsAHole",
     [](CShape2D& s) {
         Polygon(s, {{2, 2}, {22, 2}, {22, 22}, {2, 22}});
         Polygon(s, {{7.5f, 7.5f}, {7.5f, 16.5f}, {16.5f, 16.5f}, {16.5f, 7.5f}});
     }},
    // The same way round it adds and stays filled.
    {"SameWayInnerContourStaysFilled",
     [](CShape2D& s) {
         Polygon(s, {{2, 2}, {22, 2}, {22, 22}, {2, 22}});
         Polygon(s, {{7.5f, 7.5f}, {16.5f, 7.5f}, {16.5f, 16.5f}, {7.5f, 16.5f}});
     }},
};

INSTANTIATE_TEST_SUITE_P(Shapes, ShapeCoverageTest, testing::ValuesIn(kCoverageCases),
                         [](const testing::TestParamInfo<CoverageCase>& p) { return std::string(p.param.name); });

class ShapeRendererTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterShapeAndBlitClasses();
        target = CFrame::MakeOwned(40, 40, 32);
    }
    bool Untouched() const { return Pixels(*target) == std::vector<uint32_t>(40 * 40, 0); }
    std::unique_ptr<CFrame> target;
};

void Square(CShape2D& s, float a, float b)
{
    Polygon(s, {{a, a}, {b, a}, {b, b}, {a, b}});
    s.ClosePath();
}

TEST_F(ShapeRendererTest, FillScalesThenMovesAndReportsBounds)
{
    CShape2D shape(1, 10);
    Square(shape, 0, 10);
    CShape2DFillRenderer fill;
    fill.m_Shape = &shape;
    fill.m_Scale = 2.0f;
    fill.m_X = fill.m_Y = 5.0f;
    EXPECT_TRUE(target->Render(fill));
    EXPECT_EQ(fill.m_DrawnBounds, (CRect{5, 5, 25, 25}));
    EXPECT_EQ(target->Row(5)[4 * 5 + 3], 255);
    EXPECT_EQ(target->Row(24)[4 * 24 + 3], 255);
    EXPECT_EQ(target->Row(4)[4 * 4 + 3], 0);
    EXPECT_EQ(target->Row(25)[4 * 25 + 3], 0);

    // Measuring only, and clipped bounds.
    CShape2DFillRenderer measure = fill;
    measure.m_DrawEnabled = false;
    measure.m_ClipEnabled = true;
    measure.m_ClipRect = {0, 0, 10, 12};
    target->Clear();
    EXPECT_TRUE(target->Render(measure));
    EXPECT_EQ(measure.m_DrawnBounds, (CRect{5, 5, 10, 12}));
    EXPECT_TRUE(Untouched());
}

TEST_F(ShapeRendererTest, OutlineBoundsGrowByTheWidthAndTheProfileIsKeptPerWidth)
{
    CShape2D shape(1, 10);
    Square(shape, 0, 10);
    CShape2DOutlineRenderer outline;
    outline.m_Shape = &shape;
    outline.m_LineWidth = 1.5f;
    target->SetOffset(-5, -5);
    EXPECT_TRUE(target->Render(outline));
    EXPECT_EQ(outline.m_DrawnBounds, (CRect{-2, -2, 12, 12}));
    // The edge at y = 0 is drawn (buffer row 5); the inside is not.
    EXPECT_GT(target->Row(5)[4 * 10], 0);
    EXPECT_EQ(target->Row(10)[4 * 10], 0);

    outline.m_LineWidth = 0.0f;
    EXPECT_FALSE(target->Render(outline));
    EXPECT_EQ(outline.m_DrawnBounds, (CRect{-2, -2, 12, 12}));

    const uint32_t before = GetLineProfileBuildCount();
    outline.m_LineWidth = 2.0f;
    target->Render(outline);
    target->Render(outline);
    EXPECT_EQ(GetLineProfileBuildCount(), before + 1);
    outline.m_LineWidth = 3.0f;
    target->Render(outline);
    EXPECT_EQ(GetLineProfileBuildCount(), before + 2);
}

TEST_F(ShapeRendererTest, EmptyDegenerateAndInvisibleShapesDrawNothing)
{
    CShape2DFillRenderer fill;
    EXPECT_FALSE(target->Render(fill));
    CShape2D empty(1, 10);
    fill.m_Shape = &empty;
    EXPECT_FALSE(target->Render(fill));
    CShape2DOutlineRenderer outline;
    outline.m_Shape = &empty;
    EXPECT_FALSE(target->Render(outline));

    CShape2D point(1, 10);
    point.MoveTo(5, 5);
    CShape2D flat(1, 10);
    Polygon(flat, {{3, 3}, {20, 20}, {30, 30}});
    flat.ClosePath();
    for (CShape2D* s : {&point, &flat}) {
        fill.m_Shape = s;
        EXPECT_TRUE(target->Render(fill));
    }
    outline.m_Shape = &point;
    EXPECT_TRUE(target->Render(outline));

    CShape2D square(1, 10);
    Square(square, 2, 30);
    fill.m_Shape = &square;
    fill.m_Color = CColor(255, 255, 255, 0);
    EXPECT_TRUE(target->Render(fill));
    EXPECT_TRUE(Untouched());
}

TEST_F(ShapeRendererTest, HugeAndNonFiniteCoordinatesNeverOverflow)
{
    CShape2D huge(1, 10);
    Polygon(huge, {{-1e9f, -1e9f}, {1e30f, -1e9f}, {0, 1e9f}});
    CShape2DFillRenderer fill;
    fill.m_Shape = &huge;
    EXPECT_TRUE(target->Render(fill));
    EXPECT_EQ(target->Row(20)[4 * 20 + 3], 255);

    CShape2DOutlineRenderer outline;
    outline.m_Shape = &huge;
    outline.m_LineWidth = 3.0f;
    EXPECT_TRUE(target->Render(outline));

    target->Clear();
    CShape2D broken(1, 10);
    Polygon(broken, {{0, 0}, {NAN, 10}, {30, INFINITY}});
    fill.m_Shape = &broken;
    outline.m_Shape = &broken;
    EXPECT_TRUE(target->Render(fill));
    EXPECT_TRUE(target->Render(outline));
    EXPECT_TRUE(Untouched());
}

TEST_F(ShapeRendererTest, RefusesFramesOfOtherDepths)
{
    std::unique_ptr<CFrame> sixteen = CFrame::MakeOwned(10, 10, 16);
    CShape2D square(1, 10);
    Square(square, 0, 10);
    CShape2DFillRenderer fill;
    fill.m_Shape = &square;
    EXPECT_FALSE(sixteen->Render(fill));
    EXPECT_EQ(fill.m_DrawnBounds, (CRect{0, 0, 10, 10}));
}

} // namespace
