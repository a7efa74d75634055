#include "game/world/CGoalOverlay.h"

#include "blit/CColor.h"
#include "foundation/SaturatingArithmetic.h"
#include "game/world/CGoal.h"
#include "game/world/CGoalOptions.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlay.h"
#include "images/CFrame.h"
#include "objects/CIntProperty.h"
#include "objects/CPointProperty.h"
#include "render/CProxyFrame.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequence.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

OMBRISALT_IMPLEMENT_CLASS(CFrameOverlayGoalOverlay, 1.0)

void CFrameOverlayGoalOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFrameOverlayGoalOverlay::m_GoalNumber, "Goal Number", 0u).Range(0u, 9999u);
    d.Add(&CFrameOverlayGoalOverlay::m_Positon, "Positon", CPoint{0, 0});
}

CFrameOverlayGoalOverlay::CFrameOverlayGoalOverlay()
{
    InitDeclaredProperties();
}

CFrameOverlayGoalOverlay::~CFrameOverlayGoalOverlay()
{
    DestroyDeclaredProperties();
}

CGoal* CFrameOverlayGoalOverlay::GetGoal() const
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (!level || m_GoalNumber >= level->m_OptionalGoals.GetCount())
        return nullptr;
    return level->m_OptionalGoals[m_GoalNumber];
}

void CFrameOverlayGoalOverlay::Draw(CFrameOverlayDrawContext& context)
{
    CGoal* goal = GetGoal();
    if ((!goal && !context.m_bShowMarkers) || !context.m_pTarget)
        return;
    const CGoalOptions& options = *CGoalOptions::SGetInstance();

    int32_t sequenceIndex = options.m_BackgroundSequence;
    int32_t fontIndex = options.m_Font;
    if (goal && (goal->m_AchievedPreviously || goal->m_AchievedThisTime)) {
        sequenceIndex = options.m_AchievedSequence;
        fontIndex = options.m_AchievedFont;
    } else if (goal && goal->m_Failed) {
        sequenceIndex = options.m_FailedSequence;
        fontIndex = options.m_FailedFont;
    }

    // Kept within half the int32 range: a damaged position draws nothing,
    // and the mouse and offset sums below stay in range.
    const auto place = [](float offset, int32_t at) {
        return int32_t(std::clamp<int64_t>(int64_t(std::lrint(offset)) + at, -(1 << 30), 1 << 30));
    };
    const int32_t x = place(context.m_OffsetX, m_Positon.x);
    const int32_t y = place(context.m_OffsetY, m_Positon.y);
    CFrameInterface& target = *context.m_pTarget;

    bool hovered = false;
    CSequence* sequence = CGoalOptions::GetSequence(sequenceIndex);
    if (CFrame* frame = sequence ? sequence->GetCurrentFrame() : nullptr) {
        BlitAt(target, *frame, x, y, sequence->GetBlitType());
        CColor pixel;
        if (context.HasMouse() && frame->GetPixel(context.m_MouseX - x, context.m_MouseY - y, pixel))
            hovered = pixel.GetAlpha() > 2;
    }

    COffsetClippedProxyFrame shifted(&target);
    shifted.SetOffset(-x, -y);
    if (context.m_bShowMarkers) {
        CColor guide(255, 255, 255, 255);
        shifted.DrawLine(0, 0, 40, 0, guide);
        shifted.DrawLine(0, 0, 0, 40, guide);
    }
    if (!goal)
        return;

    CGoalLayout layout;
    layout.frame = &shifted;
    layout.goalIndex = m_GoalNumber;
    layout.penX = options.m_ContentOffset.x;
    layout.centreY = options.m_ContentOffset.y;
    layout.spacing = options.m_Spacing;
    layout.font = CGoalOptions::GetFont(fontIndex);
    layout.maxImageHeight = options.m_MaxHeight;
    layout.hovered = hovered;
    goal->Draw(layout);

    if (goal->TakeStarPending())
        SpawnStarGoalEffect(CFPoint{float(x), float(y)});
}

void CFrameOverlayGoalOverlay::MoveBy(int32_t dx, int32_t dy)
{
    m_Positon.x = SaturatingAdd(m_Positon.x, dx);
    m_Positon.y = SaturatingAdd(m_Positon.y, dy);
}
