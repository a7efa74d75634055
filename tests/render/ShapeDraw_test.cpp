#include "render/ShapeDraw.h"

#include "RenderTestSupport.h"
#include "images/CFrame.h"
#include "render/CBlitXParams.h"
#include "render/CShape2D.h"
#include "render/CShape2DRenderers.h"
#include "render/CShape2DTexturedShapeRenderer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using Ombrisalt::CShape2D;

namespace {

// The fill, the outline and the textured fill share the start of their
// draw: what the target and the clip rectangle let each of them touch.
class ShapeDrawStart : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterShapeAndBlitClasses();
        m_Square.MoveTo(-20, -20);
        m_Square.LineTo(50, -20);
        m_Square.LineTo(50, 50);
        m_Square.LineTo(-20, 50);
        m_Square.ClosePath();
        // Across the target at logical y = 10.
        m_Line.MoveTo(-20, 10);
        m_Line.LineTo(50, 10);
        m_Texture = CFrame::MakeOwned(4, 4, 32);
        CColor white(255, 255, 255, 255);
        m_Texture->Fill(white);
        m_Fill.m_Shape = &m_Square;
        m_Outline.m_Shape = &m_Line;
        m_Outline.m_LineWidth = 3.0f;
        m_Textured.m_Shape = &m_Square;
        m_Textured.m_Texture = m_Texture.get();
    }
    std::vector<CRenderableObject*> Renderers() { return {&m_Fill, &m_Outline, &m_Textured}; }
    void ClipAll(const CRect& clip)
    {
        for (CRenderableObject* r : Renderers()) {
            r->m_ClipEnabled = true;
            r->m_ClipRect = clip;
        }
    }
    // The buffer pixels a draw changed on a cleared 40 x 40 frame whose
    // buffer starts at logical (-10, -10).
    static std::vector<bool> Changed(CRenderableObject& renderer, bool& answer)
    {
        std::unique_ptr<CFrame> target = CFrame::MakeOwned(40, 40, 32);
        target->SetOffset(-10, -10);
        answer = target->Render(renderer);
        std::vector<bool> changed;
        for (uint32_t pixel : Pixels(*target))
            changed.push_back(pixel != 0);
        return changed;
    }

    CShape2D m_Square{1, 10};
    CShape2D m_Line{1, 10};
    std::unique_ptr<CFrame> m_Texture;
    CShape2DFillRenderer m_Fill;
    CShape2DOutlineRenderer m_Outline;
    CShape2DTexturedShapeRenderer m_Textured;
};

TEST_F(ShapeDrawStart, EveryDrawKeepsToTheClipMovedByTheTargetsOffset)
{
    // Logical (0, 5)-(12, 30) is buffer (10, 15)-(22, 40).
    ClipAll({0, 5, 12, 30});
    for (CRenderableObject* r : Renderers()) {
        bool answer = false;
        const std::vector<bool> changed = Changed(*r, answer);
        EXPECT_TRUE(answer);
        uint32_t inside = 0;
        for (uint32_t y = 0; y < 40; ++y)
            for (uint32_t x = 0; x < 40; ++x) {
                const bool inClip = x >= 10 && x < 22 && y >= 15;
                if (changed[y * 40 + x]) {
                    EXPECT_TRUE(inClip) << x << "," << y;
                    ++inside;
                }
                // The two fills cover the whole clip.
                if (inClip && r != &m_Outline) {
                    EXPECT_TRUE(changed[y * 40 + x]) << x << "," << y;
                }
            }
        EXPECT_GT(inside, 0u);
    }
}

TEST_F(ShapeDrawStart, AClipBesideTheTargetDrawsNothingAndEachKeepsItsBoundsRule)
{
    ClipAll({100, 100, 120, 120});
    for (CRenderableObject* r : Renderers()) {
        bool answer = false;
        EXPECT_EQ(Changed(*r, answer), std::vector<bool>(40 * 40, false));
        EXPECT_TRUE(answer);
    }
    // The plain renderers cut their bounds edge by edge and stop where
    // nothing is left; the textured one intersects.
    EXPECT_EQ(m_Fill.m_DrawnBounds, (CRect{-20, 100, 50, 50}));
    EXPECT_TRUE(m_Textured.m_DrawnBounds.IsAllZero());
}

TEST_F(ShapeDrawStart, TargetsWithoutThirtyTwoBitPixelsGetBoundsOnly)
{
    std::unique_ptr<CFrame> sixteen = CFrame::MakeOwned(10, 10, 16);
    const std::vector<uint8_t> before(sixteen->GetPixels(), sixteen->GetPixels() + 10 * 10 * 2);
    EXPECT_FALSE(sixteen->Render(m_Outline));
    EXPECT_EQ(m_Outline.m_DrawnBounds, (CRect{-23, 7, 53, 13}));
    // The textured fill answers true all the same.
    EXPECT_TRUE(sixteen->Render(m_Textured));
    EXPECT_EQ(m_Textured.m_DrawnBounds, (CRect{-20, -20, 50, 50}));
    EXPECT_EQ(std::vector<uint8_t>(sixteen->GetPixels(), sixteen->GetPixels() + 10 * 10 * 2), before);
}

} // namespace
