// Drawing a building: its highlight, the parts at half size with the paint
// fading in, the build frames cross-fading, and the progress bar.
#include "game/business/CBuildablePackage.h"

#include "blit/CFrameInterface.h"
#include "foundation/CRect.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CUpgrade.h"
#include "game/scripting/NoneEntries.h"
#include "game/world/CRules.h"
#include "images/CFrame.h"
#include "render/COpacityProxyFrame.h"
#include "render/CScaledOffsetProxyFrame.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"

#include <cmath>

namespace {

int32_t UnpaintedStyleSheet()
{
    return GetHueRemapperStyleSheetList().Find("0 Unpainted");
}

// The frame as the part is drawn: remapped only in a phase that gets paint.
CFrame* PaintedFrame(const CBuildablePackage& package, int32_t part, CFrame* frame, bool preview)
{
    CBuildablePart* object = GetBuildablePart(part);
    CBuildPhase* phase = object ? GetBuildPhaseAt(object->m_BuildPhase) : nullptr;
    if (!frame || !phase || !phase->m_GetsColored)
        return frame;
    const int32_t sheet = package.GetPaintRemap(part, preview);
    return sheet >= 0 ? GetHueRemappedFrame(*frame, sheet) : frame;
}

void DrawPartFrame(const CBuildablePackage& package, int32_t part, CSequence& sequence, int32_t index,
                   CFrameInterface& target, int32_t x, int32_t y, bool preview)
{
    if (index < 0 || uint32_t(index) >= sequence.GetFrameCount())
        return;
    CFrame* frame = PaintedFrame(package, part, sequence.GetFrame(uint32_t(index)), preview);
    if (frame)
        BlitAt(target, *frame, x, y, sequence.GetBlitType());
}

void DrawParts(const CBuildablePackage& package, CFrameInterface& target, int32_t x, int32_t y, float scale,
               bool preview)
{
    const int32_t addOn = GetAddOnPhase();
    for (uint32_t phase = 0; phase < package.m_Parts.GetCount(); ++phase) {
        const int32_t part = package.m_Parts[phase];
        CUpgrade* upgrade = GetUpgradeByIndex(part);
        CSequence* sequence = upgrade ? SequenceUnlessNone(upgrade->m_Appearance) : nullptr;
        if (!sequence)
            continue;
        bool unpainted = false;
        for (uint32_t i = 0; i < package.m_UnpaintedParts.GetCount() && !preview; ++i)
            unpainted = unpainted || package.m_UnpaintedParts[i] == part;

        CScaledOffsetProxyFrame scaled;
        CFrameInterface* into = &target;
        if (int32_t(phase) == addOn) {
            scaled.SetFrame(&target);
            scaled.SetCentre(float(x), float(y));
            scaled.Set(scale, 0.0f, 0.0f);
            into = &scaled;
        }
        const int32_t count = int32_t(sequence->GetFrameCount());
        const float progress = package.m_ConstructionProgress;
        if (package.m_BeingConstructed == part && progress < 1.0f) {
            const int32_t frames = count - (unpainted ? 1 : 0);
            const float f = float(frames) * progress - 1.0f;
            const float whole = std::floor(f);
            const int32_t index = TruncateToInt32(whole);
            if (whole >= 0.0f)
                DrawPartFrame(package, part, *sequence, index, *into, x, y, preview);
            const float fraction = f - whole;
            if (fraction > 0.0f && index + 1 < frames) {
                COpacityProxyFrame fade(into, fraction);
                DrawPartFrame(package, part, *sequence, index + 1, fade, x, y, preview);
            }
        } else {
            const int32_t last = unpainted && count >= 2 ? count - 2 : count - 1;
            DrawPartFrame(package, part, *sequence, last, *into, x, y, preview);
        }
    }
}

} // namespace

int32_t CBuildablePackage::GetPaintRemap(int32_t part, bool unpaintedPreview) const
{
    const int32_t unpainted = UnpaintedStyleSheet();
    int32_t sheet = unpainted;
    for (uint32_t i = 0; i < m_Parts.GetCount(); ++i)
        if (auto* paint = dynamic_cast<CColorBuildablePart*>(GetUpgradeByIndex(m_Parts[i])))
            sheet = paint->m_HueRemap;
    if (!unpaintedPreview)
        for (uint32_t i = 0; i < m_UnpaintedParts.GetCount(); ++i)
            if (m_UnpaintedParts[i] == part)
                return unpainted;
    return sheet;
}

void CBuildablePackage::Draw(CFrameInterface& target, int32_t x, int32_t y, float scale)
{
    if (m_HighlightActive) {
        const float opacity =
            GetHighlightOpacity(m_HighlightTimer, CRules::SGetInstance().m_SecondsPer3InARowHighlightFlash);
        COpacityProxyFrame flash(&target, opacity);
        const size_t phases = std::min(size_t(m_Parts.GetCount()), m_HighlightParts.size());
        for (size_t phase = 0; phase < phases; ++phase) {
            const int32_t part = m_Parts[uint32_t(phase)];
            CBuildablePart* object = GetBuildablePart(part);
            if (!object || m_HighlightParts[phase] == 0)
                continue;
            CSequence* sequence = SequenceUnlessNone(object->m_PartBonusSequence);
            CFrame* frame = sequence && sequence->GetFrameCount() ? sequence->GetFrame(0) : nullptr;
            if (!frame)
                continue;
            if (auto* paint = dynamic_cast<CColorBuildablePart*>(object))
                frame = GetHueRemappedFrame(*frame, paint->m_HueRemap);
            BlitAt(flash, *frame, x, y, sequence->GetBlitType());
        }
    }

    // Building art is drawn at half size about the anchor.
    COffsetRotateScaleProxyFrame half;
    half.SetFrame(&target);
    half.SetPivot(CFPoint{float(x), float(y)});
    half.SetUniformScale(0.5f);
    if (dynamic_cast<CColorBuildablePart*>(GetUpgradeByIndex(m_BeingConstructed))) {
        DrawParts(*this, half, x, y, scale, false);
        COpacityProxyFrame paint(&half, m_ConstructionProgress);
        DrawParts(*this, paint, x, y, scale, true);
    } else {
        DrawParts(*this, half, x, y, scale, false);
    }

    CBuildablePart* building = GetBuildablePart(m_BeingConstructed);
    if (!building)
        return;
    CBuildPhase* phase = GetBuildPhaseAt(building->m_BuildPhase);
    CColor background = phase ? phase->m_ProgressBarBackgroundColor : CColor(0, 0, 0, 255);
    CColor bar = phase ? phase->m_ProgressBarColor : CColor(255, 255, 255, 255);
    const CRect whole{x - 51, y - 60, x + 52, y - 43};
    target.FillRect(whole, background);
    const float progress = std::isfinite(m_ConstructionProgress) ? m_ConstructionProgress : 0.0f;
    CRect filled = whole;
    filled.right = whole.left + int32_t(std::lround(103.0f * progress));
    if (filled.right > filled.left)
        target.FillRect(filled, bar);
    if (CSequence* meter = SequenceUnlessNone(GetSequenceList().Find("CrewMeterBar")))
        meter->DrawFrame(target, 0, x - 25, y - 39);
}

CFrame* CBuildablePackage::GetWishFrame(int32_t phase, bool useWishAppearance) const
{
    const int32_t part = GetPartInPhase(phase);
    CBuildablePart* object = GetBuildablePart(part);
    if (!object)
        return nullptr;
    int32_t index = object->m_Appearance;
    if (useWishAppearance && object->m_CustomerWishAppearance != 0)
        index = object->m_CustomerWishAppearance;
    CSequence* sequence = SequenceUnlessNone(index);
    CFrame* frame = sequence ? sequence->GetFrameAtPosition(1.0f) : nullptr;
    return PaintedFrame(*this, part, frame, true);
}
