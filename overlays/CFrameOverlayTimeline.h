#pragma once
// The timeline: a group of child overlays moved, scaled (x and y apart),
// faded and turned along lists of milestones, each a target reached after a
// transition time with an easing. The owner of the set puts the seconds
// since the animation began into the context's time; DrawOnFrame leaves it
// at 0, which shows the initial values. In the editor's marker view the
// group is drawn untransformed.
//
// Motion blur draws the sharp group first and then older, fainter ghosts
// over it, 1/60 s shared out by "Motion Blur Time Steps" apart; it stops
// when a ghost would be 0.01 or fainter, reach before time 0, or be the
// 65th (factors of 1 never fade).

#include "foundation/CFPoint.h"
#include "overlays/CFrameOverlay.h"

#include <cstdint>
#include <memory>

class CFrame;

enum class OverlayInterpolation : int32_t { Linear = 0, Fast = 1, Slow = 2 };

class CFrameOverlayMilestoneABC : public CObject {
    OMBRISALT_REFLECTED(CFrameOverlayMilestoneABC, CObject)
public:
    CFrameOverlayMilestoneABC();
    ~CFrameOverlayMilestoneABC() override;
    // The eased fraction f (0 to 1) of the transition.
    float Ease(float f) const;

    float m_TimeToTransition = 1.0f;
    int32_t m_InterpolationType = 0;
};

class CFrameOverlayOffsetMilestone : public CFrameOverlayMilestoneABC {
    OMBRISALT_REFLECTED(CFrameOverlayOffsetMilestone, CFrameOverlayMilestoneABC)
public:
    CFrameOverlayOffsetMilestone();
    ~CFrameOverlayOffsetMilestone() override;
    CFPoint m_Offset{0.0f, 0.0f};
};

class CFrameOverlayScaleMilestone : public CFrameOverlayMilestoneABC {
    OMBRISALT_REFLECTED(CFrameOverlayScaleMilestone, CFrameOverlayMilestoneABC)
public:
    CFrameOverlayScaleMilestone();
    ~CFrameOverlayScaleMilestone() override;
    float m_Scale = 1.0f;
};

class CFrameOverlayOpacityMilestone : public CFrameOverlayMilestoneABC {
    OMBRISALT_REFLECTED(CFrameOverlayOpacityMilestone, CFrameOverlayMilestoneABC)
public:
    CFrameOverlayOpacityMilestone();
    ~CFrameOverlayOpacityMilestone() override;
    float m_Opacity = 1.0f;
};

class CFrameOverlayRotationMilestone : public CFrameOverlayMilestoneABC {
    OMBRISALT_REFLECTED(CFrameOverlayRotationMilestone, CFrameOverlayMilestoneABC)
public:
    CFrameOverlayRotationMilestone();
    ~CFrameOverlayRotationMilestone() override;
    float m_Rotation = 0.0f; // degrees
};

// The values of the five channels at one time.
struct STimelineValues {
    CFPoint offset{0.0f, 0.0f};
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float opacity = 1.0f;
    float rotation = 0.0f;
    bool animating = false; // a milestone is in progress
};

class CFrameOverlayTimeline : public CFrameOverlay {
    OMBRISALT_REFLECTED(CFrameOverlayTimeline, CFrameOverlay)
public:
    static constexpr int32_t kMaximumGhosts = 64;

    CFrameOverlayTimeline();
    ~CFrameOverlayTimeline() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    CFrameOverlay* FindOverlay(const CJString& name, CTextSubstitutionList* substitutions,
                               CPoint* accumulator) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;

    STimelineValues GetValues(float time) const;
    // The longest of the channels' summed transition times.
    float GetDuration() const;
    // The context the children draw with at the parent's time and factor k.
    CFrameOverlayDrawContext MakeChildContext(CFrameOverlayDrawContext& parent, float k) const;
    const CFrame* GetCachedFrame() const { return m_pCachedFrame.get(); }
    void Append(CFrameOverlay* child);

    CFPoint m_InitialOffset{0.0f, 0.0f};
    CPropertyArray<CFrameOverlayOffsetMilestone*> m_OffsetMilestoneList;
    float m_InitialScaleX = 1.0f;
    CPropertyArray<CFrameOverlayScaleMilestone*> m_ScaleXMilestoneList;
    float m_InitialScaleY = 1.0f;
    CPropertyArray<CFrameOverlayScaleMilestone*> m_ScaleYMilestoneList;
    float m_InitialOpacity = 1.0f;
    CPropertyArray<CFrameOverlayOpacityMilestone*> m_OpacityMilestoneList;
    float m_InitialRotation = 0.0f;
    CPropertyArray<CFrameOverlayRotationMilestone*> m_RotationMilestoneList;
    COverlayArray m_ListOfOverlays;
    bool m_bShouldCacheFrame = false;
    bool m_bShouldUseTimelineCenter = false;
    CFPoint m_CenterOfScaleAndRotation{0.0f, 0.0f};
    bool m_bUseMotionBlur = false;
    uint32_t m_MotionBlurTimeSteps = 15;
    float m_FirstStepOpacity = 0.5f;
    float m_AdditionalStepOpacityMultiplier = 0.8f;

private:
    void UpdateCache(CFrameOverlayDrawContext& context);
    void DrawAt(CFrameOverlayDrawContext& context, float k);
    void DrawChildren(CFrameOverlayDrawContext& context);

    std::unique_ptr<CFrame> m_pCachedFrame;
    float m_CacheTime = 9.0e9f;
    CPoint m_WindowOffset{0, 0};
};
