// Owner: bz2-draw (the customer's drawing and pixel test).
#include "game/business/CCustomer.h"
#include "game/scripting/NoneEntries.h"

#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "foundation/MathHelpers.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomerOptions.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CGreeterUpgrade.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameState.h"
#include "images/CFrame.h"
#include "overlays/CFrameOverlay.h"
#include "render/CBlitXParams.h"
#include "render/COpacityProxyFrame.h"
#include "render/CProxyFrame.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

bool g_HitTestDrawing = false;

// A row longer than any patience in data could give; bounds the loop when
// "Hearts/Seconds Per Hearts" is 0 or tiny.
constexpr int32_t kMostHeartsDrawn = 100;

void DrawSequenceAt(CFrameInterface& target, int32_t index, int32_t x, int32_t y)
{
    if (CSequence* sequence = SequenceUnlessNone(index))
        sequence->DrawCurrentFrame(target, x, y);
}

// The upgrade the game state holds in the named slot; null for none.
CUpgrade* UpgradeInSlot(const char* name)
{
    CGameState* state = CGameState::SGetCurrent();
    const int32_t slot = GetUpgradeSlotList().Find(name);
    if (!state || slot < 0)
        return nullptr;
    return GetUpgradeByIndex(state->GetUpgradeInSlot(slot));
}

// The frame with its centre on (x, y), scaled about that point.
void DrawCentredScaled(CFrameInterface& target, CFrame& frame, float x, float y, float scale)
{
    CRect bounds{};
    frame.GetBounds(bounds);
    const float centreX = float(bounds.left + bounds.right) * 0.5f;
    const float centreY = float(bounds.top + bounds.bottom) * 0.5f;
    CBlitXParams params(&frame, x, y, 0.0f, scale, scale, CColor(255, 255, 255, 255), 0, centreX, centreY, true);
    target.Render(params);
}

// 0 to 1: how strongly the angry background shows with this much patience left.
float AngryFlashStrength(float timeLeft, const CCustomerOptions& options)
{
    const float duration = options.m_AngryFlashDuration;
    const float interval = options.m_AngryFlashInterval;
    // No interval, no flashing: the phase would be infinite or NaN.
    if (!(timeLeft < duration) || !(interval > 0.0f) || !std::isfinite(interval))
        return 0.0f;
    const float phase = (duration - timeLeft) / interval;
    if (!std::isfinite(phase))
        return 0.0f;
    float t = 2.0f * (phase - std::floor(phase));
    if (t > 1.0f)
        t = 2.0f - t;
    const float ease = std::clamp(options.m_AngryFlashEaseInOut, 0.0f, 1.0f) * 0.5f;
    if (ease <= 0.0f)
        return t;
    return std::clamp(EaseInOutSymmetric(t, ease), 0.0f, 1.0f);
}

} // namespace

void CCustomer::PreDraw(CSpriteDrawRecord& record)
{
    CCustomerOptions* options = FindCustomerOptions();
    if (options && record.spriteFrame) {
        CFrameInterface& target = *record.spriteFrame;
        // The pixel test sees the customer alone.
        if (!g_HitTestDrawing && (m_Highlighted || m_HighlightCountdown != 0))
            DrawSequenceAt(target, options->m_CustomerHighlightSequence, options->m_CustomerHighlightOffset.x,
                           options->m_CustomerHighlightOffset.y);
        if (!g_HitTestDrawing && m_CustomerState != kMovingIn && m_CustomerState != kArrivedHome) {
            DrawSequenceAt(target, options->m_BalloonAppearance, RoundToInt(options->m_BoxOffset.x),
                           RoundToInt(options->m_BoxOffset.y));
            DrawAngryFlash(record);
            DrawHearts(record);
        }
    }
    CSpriteAI::PreDraw(record);
}

void CCustomer::Draw(CSpriteDrawRecord& record)
{
    if (!g_HitTestDrawing && m_CustomerState == kIdle)
        DrawWantedItems(record);
    CSpriteAI::Draw(record);
}

void CCustomer::DrawAngryFlash(CSpriteDrawRecord& record)
{
    CCustomerOptions* options = FindCustomerOptions();
    CCustomerStyleSheet* style = GetStyleSheet();
    CSequence* background = style ? SequenceUnlessNone(style->m_AngryBackground) : nullptr;
    if (!options || !background || !record.spriteFrame)
        return;
    const float strength = AngryFlashStrength(style->m_MaximumWait - m_TimeWaited, *options);
    if (strength <= 0.0f)
        return;
    COpacityProxyFrame faded(record.spriteFrame, float(int32_t(strength * 255.0f)) / 255.0f);
    background->DrawCurrentFrame(faded, 0, 0);
}

void CCustomer::DrawWantedItems(CSpriteDrawRecord& record)
{
    CCustomerOptions* options = FindCustomerOptions();
    if (!options || !record.spriteFrame)
        return;
    CFrameInterface& target = *record.spriteFrame;
    if (!m_PackageWanted) {
        CUpgrade* greeter = UpgradeInSlot("Greeter");
        if (!greeter) {
            DrawSequenceAt(target, options->m_NeedMenuAppearance, 0, 0);
        } else if (auto* answering = dynamic_cast<CGreeterUpgrade*>(greeter)) {
            DrawSequenceAt(target, answering->GetAppearance(), answering->m_AnsweringOnCustomerOffset.x,
                           answering->m_AnsweringOnCustomerOffset.y);
        }
        return;
    }
    for (uint32_t i = 0; i < options->m_BuildPhaseDrawOrder.GetCount(); ++i) {
        const int32_t phase = options->m_BuildPhaseDrawOrder[i];
        CBuildPhase* phaseObject = GetBuildPhaseAt(phase);
        if (!phaseObject || phaseObject->m_CustomerWantedScale == 0.0f)
            continue;
        CFrame* frame = m_PackageWanted->GetWishFrame(phase, true);
        if (!frame)
            continue;
        DrawCentredScaled(target, *frame, options->m_WantedItemsOffset.x + phaseObject->m_CustomerWantedPosition.x,
                          options->m_WantedItemsOffset.y + phaseObject->m_CustomerWantedPosition.y,
                          phaseObject->m_CustomerWantedScale);
    }
}

void CCustomer::DrawHearts(CSpriteDrawRecord& record)
{
    CCustomerOptions* options = FindCustomerOptions();
    CSprite* sprite = record.sprite ? record.sprite : GetSprite();
    if (!options || !sprite || !record.destination)
        return;
    const CFPoint& position = sprite->GetPosition();
    DrawHeartRow(*record.destination, GetHeartsLeft(),
                 CFPoint{position.x + options->m_FirstHeartOffset.x, position.y + options->m_FirstHeartOffset.y});
}

void CCustomer::DrawHeartRow(CFrameInterface& target, float hearts, CFPoint at)
{
    CCustomerOptions* options = FindCustomerOptions();
    // NaN and infinite rows (no seconds per heart) draw nothing.
    if (!options || !(hearts > 0.0f) || !std::isfinite(hearts))
        return;
    const bool warning = hearts <= options->m_GetMadWhenHeartsReaches;
    CSequence* back
        = SequenceUnlessNone(warning ? options->m_EmptyHeartWarningSequence : options->m_EmptyHeartSequence);
    CSequence* full = SequenceUnlessNone(options->m_FullHeartSequence);
    const int32_t count = int32_t(std::min(std::ceil(hearts), float(kMostHeartsDrawn)));
    for (int32_t i = 1; i <= count; ++i) {
        const int32_t x = RoundToInt(at.x), y = RoundToInt(at.y);
        if (back)
            back->DrawCurrentFrame(target, x, y);
        if (CFrame* frame = full ? full->GetCurrentFrame() : nullptr) {
            if (float(i) <= hearts) {
                BlitAt(target, *frame, x, y, full->GetBlitType());
            } else {
                // Cut at the destination, where every kind of frame clips alike.
                CRect bounds{};
                frame->GetBounds(bounds);
                const int32_t shown = int32_t(float(bounds.GetWidth()) * (hearts - float(i - 1)));
                if (shown > 0) {
                    CClippedProxyFrame cut(&target);
                    cut.SetClipRect({bounds.left + x, bounds.top + y, bounds.left + x + shown, bounds.bottom + y});
                    BlitAt(cut, *frame, x, y, full->GetBlitType());
                }
            }
        }
        at.x += options->m_OffsetBetweenHearts.x;
        at.y += options->m_OffsetBetweenHearts.y;
    }
}

bool CCustomer::IsOpaqueAt(int32_t x, int32_t y)
{
    CSprite* sprite = GetSprite();
    if (!sprite)
        return false;
    static std::unique_ptr<CFrame> probe = CFrame::MakeOwned(1, 1, 32);
    probe->Clear();
    COffsetClippedProxyFrame place(probe.get());
    place.SetOffset(x, y);
    place.SetClipRect(MoveRect(SizeToRect(1, 1), x, y));
    const bool was = g_HitTestDrawing;
    g_HitTestDrawing = true;
    sprite->DrawAllPasses(place);
    g_HitTestDrawing = was;
    return probe->GetRawPixel(0, 0) != 0;
}

bool IsCustomerHitTestDrawing()
{
    return g_HitTestDrawing;
}

void SetCustomerHitTestDrawing(bool on)
{
    g_HitTestDrawing = on;
}
