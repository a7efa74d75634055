// Timelines: channel values over time with each easing, the child context
// they hand down, the marker view at rest, and the ghosts of motion blur.
#include "OverlayTestSupport.h"

#include "images/CFrame.h"
#include "overlays/CFrameOverlayTimeline.h"
#include "overlays/ImageOverlays.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

template <typename Milestone>
Milestone* AddMilestone(CFrameOverlayTimeline& timeline, const char* list, float seconds, OverlayInterpolation easing)
{
    auto* array = static_cast<CPropertyArrayProperty*>(timeline.GetClassInfo()->FindProperty(list));
    auto& storage = static_cast<CPropertyArray<Milestone*>&>(array->Storage(&timeline));
    const uint32_t count = storage.GetCount();
    array->ArrayProperty_SetCount(&timeline, count + 1);
    auto* milestone = new Milestone;
    milestone->m_TimeToTransition = seconds;
    milestone->m_InterpolationType = int32_t(easing);
    storage[count] = milestone;
    return milestone;
}

class Timeline : public OverlayTest {
protected:
    void AddOpacity(float target, float seconds, OverlayInterpolation easing)
    {
        AddMilestone<CFrameOverlayOpacityMilestone>(m_Timeline, "Opacity Milestones", seconds, easing)->m_Opacity
            = target;
    }
    std::vector<CFrameOverlayDrawContext>& DrawAt(float time, bool markers = false)
    {
        m_Child->m_Seen.clear();
        auto canvas = Canvas(8, 8);
        CFrameOverlayDrawContext context;
        context.m_pTarget = canvas.get();
        context.m_Time = time;
        context.m_bShowMarkers = markers;
        m_Timeline.Draw(context);
        return m_Child->m_Seen;
    }
    void SetUp() override
    {
        OverlayTest::SetUp();
        m_Child = new CRecordingOverlay;
        m_Child->m_ID = "Child";
        m_Timeline.Append(m_Child);
    }

    CFrameOverlayTimeline m_Timeline;
    CRecordingOverlay* m_Child = nullptr;
};

TEST_F(Timeline, WithoutMilestonesTheChildrenDrawAtRestAtAnyTime)
{
    for (float t : {0.0f, 3.0f, 100.0f}) {
        auto& seen = DrawAt(t);
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_TRUE(seen[0].IsAtRest());
        EXPECT_FALSE(seen[0].m_bAnimating);
    }
}

TEST_F(Timeline, OpacityEasesLinearSlowAndFast)
{
    AddOpacity(0.0f, 2.0f, OverlayInterpolation::Linear);
    EXPECT_FLOAT_EQ(m_Timeline.GetValues(1.0f).opacity, 0.5f);
    EXPECT_TRUE(m_Timeline.GetValues(1.0f).animating);
    EXPECT_FLOAT_EQ(m_Timeline.GetValues(2.0f).opacity, 0.0f);
    EXPECT_FALSE(m_Timeline.GetValues(2.0f).animating);
    EXPECT_FLOAT_EQ(m_Timeline.GetValues(5.0f).opacity, 0.0f);
    m_Timeline.m_OpacityMilestoneList[0]->m_InterpolationType = int32_t(OverlayInterpolation::Slow);
    EXPECT_FLOAT_EQ(m_Timeline.GetValues(1.0f).opacity, 0.75f);
    m_Timeline.m_OpacityMilestoneList[0]->m_InterpolationType = int32_t(OverlayInterpolation::Fast);
    EXPECT_NEAR(m_Timeline.GetValues(1.0f).opacity, 1.0f - std::sqrt(0.5f), 1e-6f);

    // The children see it, animating while the milestone runs.
    m_Timeline.m_OpacityMilestoneList[0]->m_InterpolationType = int32_t(OverlayInterpolation::Linear);
    auto& seen = DrawAt(1.0f);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_FLOAT_EQ(seen[0].m_Opacity, 0.5f);
    EXPECT_TRUE(seen[0].m_bAnimating);
}

TEST_F(Timeline, OffsetsFollowTheirMilestonesInTurnAndRotationWraps)
{
    AddMilestone<CFrameOverlayOffsetMilestone>(m_Timeline, "Offset Milestones", 1.0f, OverlayInterpolation::Linear)
        ->m_Offset
        = CFPoint{100.0f, 0.0f};
    AddMilestone<CFrameOverlayOffsetMilestone>(m_Timeline, "Offset Milestones", 1.0f, OverlayInterpolation::Linear)
        ->m_Offset
        = CFPoint{50.0f, 10.0f};
    EXPECT_FLOAT_EQ(m_Timeline.GetValues(1.0f).offset.x, 100.0f);
    EXPECT_FLOAT_EQ(m_Timeline.GetValues(1.5f).offset.x, 75.0f);
    EXPECT_FLOAT_EQ(m_Timeline.GetValues(1.5f).offset.y, 5.0f);
    EXPECT_FLOAT_EQ(m_Timeline.GetDuration(), 2.0f);

    AddMilestone<CFrameOverlayRotationMilestone>(m_Timeline, "Rotation Milestone List", 1.0f,
                                                 OverlayInterpolation::Linear)
        ->m_Rotation
        = 450.0f;
    EXPECT_FLOAT_EQ(m_Timeline.GetValues(1.0f).rotation, 90.0f);
    EXPECT_FLOAT_EQ(m_Timeline.GetValues(0.5f).rotation, 225.0f);
}

TEST_F(Timeline, ScaleMultipliesOffsetAddsAndRotationReplacesTheParents)
{
    m_Timeline.m_InitialScaleX = 2.0f;
    m_Timeline.m_InitialOffset = CFPoint{5.0f, 6.0f};
    m_Timeline.m_InitialRotation = 30.0f;
    CFrameOverlayDrawContext parent;
    parent.m_ScaleX = 3.0f;
    parent.m_OffsetX = 1.0f;
    parent.m_Rotation = 10.0f;
    const CFrameOverlayDrawContext child = m_Timeline.MakeChildContext(parent, 1.0f);
    EXPECT_FLOAT_EQ(child.m_ScaleX, 6.0f);
    EXPECT_FLOAT_EQ(child.m_ScaleY, 1.0f);
    EXPECT_FLOAT_EQ(child.m_OffsetX, 6.0f);
    EXPECT_FLOAT_EQ(child.m_OffsetY, 6.0f);
    EXPECT_FLOAT_EQ(child.m_Rotation, 30.0f);

    // The marker view: no transformation at all, no blur, no cache.
    m_Timeline.m_bUseMotionBlur = true;
    m_Timeline.m_bShouldCacheFrame = true;
    auto& seen = DrawAt(0.0f, true);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].IsAtRest());
    EXPECT_EQ(m_Timeline.GetCachedFrame(), nullptr);
}

TEST_F(Timeline, GhostsFadeByTheFactorsAndStop)
{
    AddOpacity(1.0f, 10.0f, OverlayInterpolation::Linear);
    m_Timeline.m_bUseMotionBlur = true;
    auto& seen = DrawAt(5.0f);
    ASSERT_GE(seen.size(), 4u);
    EXPECT_FLOAT_EQ(seen[0].m_Opacity, 1.0f);
    EXPECT_FLOAT_EQ(seen[1].m_Opacity, 0.5f);
    EXPECT_FLOAT_EQ(seen[2].m_Opacity, 0.4f);
    EXPECT_NEAR(seen[3].m_Opacity, 0.32f, 1e-6f);
    EXPECT_GT(seen.back().m_Opacity, 0.01f);
    EXPECT_LE(seen.back().m_Opacity * 0.8f, 0.01f);
    // Each ghost is a step of 1/60 s / 15 older.
    EXPECT_NEAR(seen[1].m_Time, 5.0f - 0.016666668f / 15.0f, 1e-5f);

    // Past the end only the sharp image; near the start the ghosts stop at 0.
    EXPECT_EQ(DrawAt(20.0f).size(), 1u);
    EXPECT_EQ(DrawAt(0.0f).size(), 1u);

    // Factors that never fade stop after 64 ghosts.
    m_Timeline.m_FirstStepOpacity = 1.0f;
    m_Timeline.m_AdditionalStepOpacityMultiplier = 1.0f;
    EXPECT_EQ(DrawAt(5.0f).size(), 1u + CFrameOverlayTimeline::kMaximumGhosts);
}

TEST_F(Timeline, ALookupThroughTheTimelineMarksTheOverlayAndRecordsTheOffset)
{
    CPoint accumulator{40, 30};
    EXPECT_EQ(m_Timeline.FindOverlay(CJString("child"), nullptr, &accumulator), m_Child);
    EXPECT_TRUE(m_Child->IsControlledByTimeline());
    auto& seen = DrawAt(0.0f);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].m_WindowOffsetX, 40);
    EXPECT_EQ(seen[0].m_WindowOffsetY, 30);
    EXPECT_EQ(m_Timeline.FindOverlay(CJString("None"), nullptr, &accumulator), nullptr);
}

TEST_F(Timeline, AToolTipFoundInsideReachesTheCaller)
{
    auto* marker = new CFrameOverlayPositionMarker;
    marker->m_Position = CPoint{0, 0};
    marker->m_ToolTip.SetText(CJString("Inside"));
    m_Timeline.Append(marker);
    m_Timeline.m_bUseMotionBlur = true;
    auto canvas = Canvas(8, 8);
    CFrameOverlayDrawContext context;
    context.m_pTarget = canvas.get();
    context.m_MouseX = 3;
    context.m_MouseY = 3;
    m_Timeline.Draw(context);
    EXPECT_STREQ(context.m_ToolTip.GetString(), "Inside");
}

TEST_F(Timeline, TheCacheIsKeptUntilTimeRunsBack)
{
    m_Timeline.m_bShouldCacheFrame = true;
    EXPECT_EQ(DrawAt(1.0f).size(), 1u);
    const CFrame* cached = m_Timeline.GetCachedFrame();
    ASSERT_NE(cached, nullptr);
    EXPECT_EQ(DrawAt(2.0f).size(), 0u);
    EXPECT_EQ(m_Timeline.GetCachedFrame(), cached);
    EXPECT_EQ(DrawAt(0.5f).size(), 1u);
}

} // namespace
