#include "overlays/RegisterOverlaysClasses.h"

#include "overlays/ButtonOverlays.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/CFrameOverlayTimeline.h"
#include "overlays/ContainerOverlays.h"
#include "overlays/ImageOverlays.h"
#include "overlays/TextOverlays.h"

void RegisterOverlaysClasses()
{
    CFrameOverlay::SGetClassInfo();
    CFrameOverlayOptions::SGetClassInfo();
    CFrameOverlayTextOverlay::SGetClassInfo();
    CFrameOverlayTextMadeOfImagesOverlay::SGetClassInfo();
    CFrameOverlayFrameOverlay::SGetClassInfo();
    CFrameOverlaySequenceOverlay::SGetClassInfo();
    CArrayOfFramesFrameOverlayOverlay::SGetClassInfo();
    CArrayOfImagesFrameOverlayOverlay::SGetClassInfo();
    CBoxFrameOverlay::SGetClassInfo();
    CThermometerFrameOverlay::SGetClassInfo();
    CFrameOverlayPositionMarker::SGetClassInfo();
    CNestedFooFrameOverlay::SGetClassInfo();
    CConditionalFrameOverlay::SGetClassInfo();
    CArrayIndexFrameOverlay::SGetClassInfo();
    COffsetScaledAmountFrameOverlay::SGetClassInfo();
    CFrameOverlayMilestoneABC::SGetClassInfo();
    CFrameOverlayOffsetMilestone::SGetClassInfo();
    CFrameOverlayScaleMilestone::SGetClassInfo();
    CFrameOverlayOpacityMilestone::SGetClassInfo();
    CFrameOverlayRotationMilestone::SGetClassInfo();
    CFrameOverlayTimeline::SGetClassInfo();
    CFrameOverlayJWindowOverlay::SGetClassInfo();
    CFrameOverlayJButtonOverlay::SGetClassInfo();
    CFrameOverlayButton::SGetClassInfo();
    InitFrameOverlayOptionsList();
}
