#include "overlays/CFrameOverlayTimeline.h"

#include "blit/CBlitTypeList.h"
#include "blit/CColor.h"
#include "foundation/CStaticContentsList.h"
#include "images/CFrame.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPointProperty.h"
#include "overlays/OverlayClassBody.h"
#include "overlays/OverlayDrawing.h"
#include "render/CScaledOffsetProxyFrame.h"
#include "render/SurfaceHelpers.h"

#include <algorithm>
#include <cmath>

namespace {

CCodeTableList& GetInterpolationList()
{
    static const CCodeTableRow kRows[] = {{0, "Linear", nullptr}, {1, "Fast", nullptr}, {2, "Slow", nullptr}, {}};
    static CCodeTableList list(kRows);
    return list;
}

// Frames larger than this are not cached: the group is drawn directly.
constexpr uint32_t kLargestCache = 8192;

// One channel at time t; read gives a milestone's target.
template <typename Milestone, typename Value, typename Read>
Value EvaluateChannel(Value initial, const CPropertyArray<Milestone*>& milestones, float t, bool& animating, Read read)
{
    Value value = initial;
    float rest = t;
    for (uint32_t i = 0; i < milestones.GetCount(); ++i) {
        const Milestone* milestone = milestones[i];
        if (!milestone)
            continue;
        const Value previous = value;
        value = read(*milestone);
        const float d = milestone->m_TimeToTransition;
        if (rest < d) {
            const float f = milestone->Ease(rest / d);
            animating = true;
            return previous + (value - previous) * f;
        }
        rest -= d;
    }
    return value;
}

template <typename Milestone>
float ChannelDuration(const CPropertyArray<Milestone*>& milestones)
{
    float total = 0.0f;
    for (uint32_t i = 0; i < milestones.GetCount(); ++i)
        if (milestones[i])
            total += milestones[i]->m_TimeToTransition;
    return total;
}

void PlaceProxy(COffsetRotateScaleProxyFrame& proxy, const CFrameOverlayDrawContext& context, const CFPoint& pivot)
{
    proxy.SetFrame(context.m_pTarget);
    proxy.SetPivot(pivot);
    proxy.SetOffset(CFPoint{context.m_OffsetX, context.m_OffsetY});
    proxy.SetScale(CFPoint{context.m_ScaleX, context.m_ScaleY});
    proxy.SetRotationDegrees(context.m_Rotation);
    if (context.m_Opacity < 1.0f)
        proxy.SetOpacity(context.m_Opacity);
}

} // namespace

// --- Milestones ---

OMBRISALT_OVERLAY_ABSTRACT_CLASS(CFrameOverlayMilestoneABC, 1.0)

void CFrameOverlayMilestoneABC::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CFrameOverlayMilestoneABC;
    d.Add(&C::m_TimeToTransition, "Time To Transition", 1.0f);
    d.AddListReference(&C::m_InterpolationType, "Interpolation Type", &GetInterpolationList(), nullptr);
}

float CFrameOverlayMilestoneABC::Ease(float f) const
{
    switch (OverlayInterpolation(m_InterpolationType)) {
    case OverlayInterpolation::Fast:
        return std::sqrt(f);
    case OverlayInterpolation::Slow:
        return f * f;
    default:
        return f;
    }
}

OMBRISALT_OVERLAY_CLASS(CFrameOverlayOffsetMilestone, 1.0)
void CFrameOverlayOffsetMilestone::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFrameOverlayOffsetMilestone::m_Offset, "Offset", CFPoint{0.0f, 0.0f});
}

OMBRISALT_OVERLAY_CLASS(CFrameOverlayScaleMilestone, 1.0)
void CFrameOverlayScaleMilestone::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFrameOverlayScaleMilestone::m_Scale, "Scale", 1.0f).Range(0.0f, 9.0f);
}

OMBRISALT_OVERLAY_CLASS(CFrameOverlayOpacityMilestone, 1.0)
void CFrameOverlayOpacityMilestone::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFrameOverlayOpacityMilestone::m_Opacity, "Opacity", 1.0f).Range(0.0f, 1.0f);
}

OMBRISALT_OVERLAY_CLASS(CFrameOverlayRotationMilestone, 1.0)
void CFrameOverlayRotationMilestone::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFrameOverlayRotationMilestone::m_Rotation, "Rotation", 0.0f).Units("degrees");
}

// --- Timeline ---

OMBRISALT_OVERLAY_CLASS(CFrameOverlayTimeline, 1.0)

void CFrameOverlayTimeline::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CFrameOverlayTimeline;
    d.Add(&C::m_InitialOffset, "Initial Offset", CFPoint{0.0f, 0.0f});
    d.AddArray<CTypedPObjectProperty<CFrameOverlayOffsetMilestone>>(&C::m_OffsetMilestoneList, "Offset Milestones",
                                                                    "Offset Milestone", nullptr);
    d.Add(&C::m_InitialScaleX, "Initial Scale X", 1.0f).Range(0.0f, 9.0f);
    d.AddArray<CTypedPObjectProperty<CFrameOverlayScaleMilestone>>(&C::m_ScaleXMilestoneList, "ScaleX Milestones",
                                                                   "ScaleX Milestone", nullptr);
    d.Add(&C::m_InitialScaleY, "Initial Scale Y", 1.0f).Range(0.0f, 9.0f);
    d.AddArray<CTypedPObjectProperty<CFrameOverlayScaleMilestone>>(&C::m_ScaleYMilestoneList, "ScaleY Milestones",
                                                                   "ScaleY Milestone", nullptr);
    d.Add(&C::m_InitialOpacity, "Initial Opacity", 1.0f).Range(0.0f, 1.0f);
    d.AddArray<CTypedPObjectProperty<CFrameOverlayOpacityMilestone>>(&C::m_OpacityMilestoneList, "Opacity Milestones",
                                                                     "Opacity Milestone", nullptr);
    d.Add(&C::m_InitialRotation, "Initial Rotation", 0.0f).Units("degrees");
    d.AddArray<CTypedPObjectProperty<CFrameOverlayRotationMilestone>>(
        &C::m_RotationMilestoneList, "Rotation Milestone List", "Rotation Milestone", nullptr);
    d.AddArray<CTypedPObjectProperty<CFrameOverlay>>(&C::m_ListOfOverlays, "Overlays/Overlay List", "Overlay", nullptr);
    d.Add(&C::m_bShouldCacheFrame, "Options/Should Cache Frame", false);
    d.Add(&C::m_bShouldUseTimelineCenter, "Options/Should Use Timeline Center", false);
    d.Add(&C::m_CenterOfScaleAndRotation, "Options/Center Of Scale And Rotation", CFPoint{0.0f, 0.0f});
    d.Add(&C::m_bUseMotionBlur, "Options/Use Motion Blur", false);
    d.Add(&C::m_MotionBlurTimeSteps, "Options/Motion Blur Time Steps", 15u);
    d.Add(&C::m_FirstStepOpacity, "Options/First Step Opacity", 0.5f).Range(0.0f, 1.0f);
    d.Add(&C::m_AdditionalStepOpacityMultiplier, "Options/Additional Step Opacity Multiplier", 0.8f).Range(0.0f, 1.0f);
}

STimelineValues CFrameOverlayTimeline::GetValues(float time) const
{
    STimelineValues v;
    bool& animating = v.animating;
    const float x = EvaluateChannel(m_InitialOffset.x, m_OffsetMilestoneList, time, animating,
                                    [](const CFrameOverlayOffsetMilestone& m) { return m.m_Offset.x; });
    const float y = EvaluateChannel(m_InitialOffset.y, m_OffsetMilestoneList, time, animating,
                                    [](const CFrameOverlayOffsetMilestone& m) { return m.m_Offset.y; });
    v.offset = CFPoint{ClampDataNumber(x), ClampDataNumber(y)};
    auto scale = [](const CFrameOverlayScaleMilestone& m) { return m.m_Scale; };
    v.scaleX = ClampDataNumber(EvaluateChannel(m_InitialScaleX, m_ScaleXMilestoneList, time, animating, scale));
    v.scaleY = ClampDataNumber(EvaluateChannel(m_InitialScaleY, m_ScaleYMilestoneList, time, animating, scale));
    v.opacity = ClampDataNumber(EvaluateChannel(m_InitialOpacity, m_OpacityMilestoneList, time, animating,
                                                [](const CFrameOverlayOpacityMilestone& m) { return m.m_Opacity; }));
    const float rotation
        = ClampDataNumber(EvaluateChannel(m_InitialRotation, m_RotationMilestoneList, time, animating,
                                          [](const CFrameOverlayRotationMilestone& m) { return m.m_Rotation; }));
    v.rotation = std::fmod(rotation, 360.0f);
    if (v.rotation < 0.0f)
        v.rotation += 360.0f;
    return v;
}

float CFrameOverlayTimeline::GetDuration() const
{
    return std::max({0.0f, ChannelDuration(m_OffsetMilestoneList), ChannelDuration(m_ScaleXMilestoneList),
                     ChannelDuration(m_ScaleYMilestoneList), ChannelDuration(m_OpacityMilestoneList),
                     ChannelDuration(m_RotationMilestoneList)});
}

CFrameOverlayDrawContext CFrameOverlayTimeline::MakeChildContext(CFrameOverlayDrawContext& parent, float k) const
{
    CFrameOverlayDrawContext child = parent;
    if (parent.m_bShowMarkers)
        return child;
    const STimelineValues v = GetValues(parent.m_Time);
    if (v.animating) {
        parent.m_bAnimating = true;
        child.m_bAnimating = true;
    }
    if (v.offset.x != 0.0f || v.offset.y != 0.0f) {
        child.m_OffsetX += v.offset.x;
        child.m_OffsetY += v.offset.y;
    }
    if (v.scaleX != 1.0f || v.scaleY != 1.0f) {
        child.m_ScaleX = v.scaleX * parent.m_ScaleX;
        child.m_ScaleY = v.scaleY * parent.m_ScaleY;
    }
    const float opacity = v.opacity * k;
    if (opacity < 1.0f)
        child.m_Opacity *= opacity;
    if (v.rotation != 0.0f)
        child.m_Rotation = v.rotation;
    return child;
}

void CFrameOverlayTimeline::DrawChildren(CFrameOverlayDrawContext& context)
{
    context.m_WindowOffsetX = int32_t(uint32_t(context.m_WindowOffsetX) + uint32_t(m_WindowOffset.x));
    context.m_WindowOffsetY = int32_t(uint32_t(context.m_WindowOffsetY) + uint32_t(m_WindowOffset.y));
    for (uint32_t i = 0; i < m_ListOfOverlays.GetCount(); ++i)
        if (CFrameOverlay* child = m_ListOfOverlays[i])
            child->Draw(context);
    context.m_WindowOffsetX = int32_t(uint32_t(context.m_WindowOffsetX) - uint32_t(m_WindowOffset.x));
    context.m_WindowOffsetY = int32_t(uint32_t(context.m_WindowOffsetY) - uint32_t(m_WindowOffset.y));
}

void CFrameOverlayTimeline::UpdateCache(CFrameOverlayDrawContext& context)
{
    if (!m_bShouldCacheFrame || context.m_bShowMarkers) {
        m_pCachedFrame.reset();
        return;
    }
    const uint32_t width = context.m_pTarget->GetWidth();
    const uint32_t height = context.m_pTarget->GetHeight();
    if (m_pCachedFrame
        && (m_CacheTime > context.m_Time || m_pCachedFrame->GetWidth() != width
            || m_pCachedFrame->GetHeight() != height))
        m_pCachedFrame.reset();
    if (m_pCachedFrame || width == 0 || height == 0 || width > kLargestCache || height > kLargestCache)
        return;
    m_pCachedFrame = CFrame::MakeOwned(width, height, 32);
    if (!m_pCachedFrame)
        return;
    m_pCachedFrame->Clear();
    CFrameOverlayDrawContext inside = context;
    inside.m_pTarget = m_pCachedFrame.get();
    inside.m_Opacity = 1.0f;
    inside.m_OffsetX = inside.m_OffsetY = 0.0f;
    inside.m_ScaleX = inside.m_ScaleY = 1.0f;
    inside.m_Rotation = 0.0f;
    DrawChildren(inside);
    context.m_ToolTip = inside.m_ToolTip;
}

void CFrameOverlayTimeline::DrawAt(CFrameOverlayDrawContext& context, float k)
{
    CFrameOverlayDrawContext child = MakeChildContext(context, k);
    if (m_pCachedFrame) {
        COffsetRotateScaleProxyFrame proxy;
        PlaceProxy(proxy, child, m_CenterOfScaleAndRotation);
        BlitAt(proxy, *m_pCachedFrame, 0, 0, GetNormalBlitType());
        m_CacheTime = context.m_Time;
        return;
    }
    COffsetRotateScaleProxyFrame proxy;
    if (m_bShouldUseTimelineCenter && !child.IsAtRest()) {
        PlaceProxy(proxy, child, m_CenterOfScaleAndRotation);
        child.m_pTarget = &proxy;
        child.m_Opacity = 1.0f;
        child.m_ScaleX = child.m_ScaleY = 1.0f;
        child.m_OffsetX = child.m_OffsetY = 0.0f;
        child.m_Rotation = 0.0f;
    }
    DrawChildren(child);
    // What the children found under the mouse is the caller's to show.
    context.m_ToolTip = child.m_ToolTip;
}

void CFrameOverlayTimeline::Draw(CFrameOverlayDrawContext& context)
{
    UpdateCache(context);
    if (!m_bUseMotionBlur || m_MotionBlurTimeSteps == 0 || context.m_bShowMarkers) {
        DrawAt(context, 1.0f);
    } else {
        const float total = GetDuration();
        const float t0 = context.m_Time;
        const float step = 0.016666668f / float(m_MotionBlurTimeSteps);
        float back = 0.0f;
        float k = 1.0f;
        for (int32_t ghosts = 0;; ++ghosts) {
            context.m_Time = t0 + back;
            if (k == 1.0f || !(context.m_Time > total))
                DrawAt(context, k);
            back -= step;
            k = k == 1.0f ? m_FirstStepOpacity : k * m_AdditionalStepOpacityMultiplier;
            if (!(k > 0.01f) || t0 + back < 0.0f || ghosts == kMaximumGhosts)
                break;
        }
        context.m_Time = t0;
    }
    if (context.m_bShowMarkers && m_bShouldUseTimelineCenter) {
        CColor red(255, 0, 0, 255);
        const int32_t x = RoundToInt(m_CenterOfScaleAndRotation.x);
        const int32_t y = RoundToInt(m_CenterOfScaleAndRotation.y);
        context.m_pTarget->DrawLine(x - 8, y, x + 7, y, red);
        context.m_pTarget->DrawLine(x, y - 8, x, y + 7, red);
    }
}

CFrameOverlay* CFrameOverlayTimeline::FindOverlay(const CJString& name, CTextSubstitutionList* substitutions,
                                                  CPoint* accumulator)
{
    for (uint32_t i = 0; i < m_ListOfOverlays.GetCount(); ++i) {
        CFrameOverlay* child = m_ListOfOverlays[i];
        if (!child)
            continue;
        CFrameOverlay* found = child->FindOverlay(name, substitutions, accumulator);
        if (!found && child->HasID(name))
            found = child;
        if (found) {
            if (accumulator)
                m_WindowOffset = *accumulator;
            found->SetControlledByTimeline(true);
            return found;
        }
    }
    return nullptr;
}

void CFrameOverlayTimeline::MoveBy(int32_t dx, int32_t dy)
{
    for (uint32_t i = 0; i < m_ListOfOverlays.GetCount(); ++i)
        if (CFrameOverlay* child = m_ListOfOverlays[i])
            child->MoveBy(dx, dy);
}

void CFrameOverlayTimeline::GetDescription(CJString& out, const char*)
{
    Describe(out, m_ID);
}

void CFrameOverlayTimeline::Append(CFrameOverlay* child)
{
    auto* array = static_cast<CPropertyArrayProperty*>(GetClassInfo()->FindProperty("Overlay List"));
    const uint32_t count = m_ListOfOverlays.GetCount();
    array->ArrayProperty_SetCount(this, count + 1);
    m_ListOfOverlays[count] = child;
}
