// Lot play: the lot's per-step update (timers, construction, hover feedback,
// poke swell), its drawing, the click assist and the score balloon of a
// move-in.
#include "game/world/CLot.h"

#include "foundation/CJString.h"
#include "foundation/CRect.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomer.h"
#include "game/business/CForeman.h"
#include "game/business/CScoreBalloonAI.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/NoneEntries.h"
#include "game/world/CGameApp.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLotOptions.h"
#include "game/world/CPlayAnimationOnceSpriteAI.h"
#include "game/world/CPlayfield.h"
#include "game/world/CRules.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CGameBase.h"
#include "shell/CMouseState.h"

#include <algorithm>
#include <cmath>

namespace {

SCursorDecoration g_CursorDecoration;

// Index 0 of the sequence list stands for none.

bool IsBonusActive()
{
    CThreeInARowCounter* counter = GetThreeInARowCounter();
    return counter && counter->IsBonusActive();
}

// Nothing (no customer, no upgrade button) on the cursor.
bool NothingHeld()
{
    return !GetDraggedSprite();
}

void SendToSprite(CSprite* sprite, const char* name)
{
    if (!sprite)
        return;
    CMessage message(CMessage::SGetMessageType(name));
    sprite->HandleMessage(message);
}

// Rounded half to even and held to the int32 range (NaN gives 0).
int32_t Rounded(double value)
{
    return TruncateToInt32(std::nearbyint(value));
}

bool IsPaint(const CBuildablePart* part)
{
    return part && part->IsKindOf(CColorBuildablePart::SGetClassInfo());
}

} // namespace

CLot::~CLot()
{
    // A lot leaving under the mouse must not leave its assist or poke cursor.
    if (!CGameBase::SIsShuttingDown())
        SetLotMouseCursor("Mouse Cursor");
    DestroyDeclaredProperties();
}

void CLot::Update(CSpriteUpdateRecord& record)
{
    UpdateNextAI(record);
    const float seconds = record.seconds;
    m_SecondsWaitingForMouseUp = std::max(0.0f, m_SecondsWaitingForMouseUp - seconds);
    m_SecondsBetweenAssistClicks += seconds;

    if (!m_Initialized) {
        m_Initialized = true;
        CSprite* sprite = record.sprite ? record.sprite : GetSprite();
        if (sprite && !sprite->HasRestartBeenCalled())
            sprite->RestartPlugIns();
        // A lot built in the editor matches orders made for every phase.
        if (m_Building && m_Building->HasParts())
            m_Building->SizeToBuildPhases();
    }

    // Construction. The level statistics keep no construction time, so none
    // is counted here.
    if (m_Building) {
        const bool wasBuilding = m_Building->IsBeingConstructed();
        float dt = seconds;
        if (IsVacant() && m_Foreman)
            dt *= GetForemanBuildSpeed();
        m_Building->Update(dt);
        if (wasBuilding && m_Building && !m_Building->IsBeingConstructed()) {
            TryDeliverCustomer();
            SendToSprite(GetSprite(), "PhaseComplete");
        }
    }

    if (m_ForcePrebuiltItemsToUsePurchasedUpgrades) {
        m_ForcePrebuiltItemsToUsePurchasedUpgrades = false;
        if (m_Building)
            m_Building->UpgradePartsToOwned();
    }

    // Hover feedback.
    m_IsDropTarget = false;
    const bool underConstruction = m_Building && m_Building->IsBeingConstructed();
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    const bool assistPossible = underConstruction && level && level->m_AllowClickAssist && NothingHeld();
    CCustomer* customer = GetDraggedCustomer();
    CUpgradeButton* button = customer ? nullptr : GetDraggedUpgradeButton();
    CUpgrade* upgrade = button ? button->GetUpgrade() : nullptr;
    const bool dropPossible = customer || (upgrade && upgrade->IsUsedOnLot());
    if (m_IsHovered) {
        if (assistPossible)
            ShowClickAssistCursor();
        if (dropPossible) {
            if (customer) {
                m_IsDropTarget = true;
                customer->NoteHoverOverLot(this);
            } else if (CanUseUpgradeHere(upgrade)) {
                m_IsDropTarget = true;
            }
        }
        if (!underConstruction)
            SetLotMouseCursor(nullptr);
    }

    // Poke swell: from 1.15 back down to 1 over "Poke Duration".
    if (m_PokeClock > 0.0f) {
        m_PokeClock += seconds;
        const float duration = CRules::SGetInstance().m_PokeDuration;
        if (!(duration > 0.0f) || m_PokeClock > duration) {
            m_PokeClock = 0.0f;
            m_DrawScale = 1.0f;
        } else {
            m_DrawScale = (1.0f - m_PokeClock / duration) * 0.15f + 1.0f;
        }
    }
}

bool CLot::CanUseUpgradeHere(CUpgrade* upgrade)
{
    if (!upgrade)
        return false;
    if (upgrade->IsKindOf(CBuildablePart::SGetClassInfo()))
        return m_Building && m_Building->CanBuild(static_cast<CBuildablePart&>(*upgrade), false);
    if (upgrade->IsKindOf(CBulldozerUpgrade::SGetClassInfo()))
        return IsVacant() && m_Building && m_Building->HasParts();
    return upgrade->IsUsedOnLot();
}

void CLot::Draw(CSpriteDrawRecord& record)
{
    CFrameInterface* frame = record.spriteFrame ? record.spriteFrame : record.destination;
    if (frame) {
        if (CSequence* background = SequenceUnlessNone(m_BackgroundSequence))
            background->DrawCurrentFrame(*frame, 0, 0);
        if (m_Building)
            m_Building->Draw(*frame, 0, 0, m_DrawScale);
        if (m_IsScenicLot) {
            CLotOptions* options = CLotOptions::SGetInstance();
            if (CSequence* scenic = SequenceUnlessNone(options->m_ScenicLotImage))
                scenic->DrawCurrentFrame(*frame, options->m_ScenicLotImageOffset.x, options->m_ScenicLotImageOffset.y);
        }
        // The at-location goals mark the lot again at each of their draws.
        if (m_IsGoalLocation) {
            m_IsGoalLocation = false;
            if (CSequence* hover = SequenceUnlessNone(CRules::SGetInstance().m_LotMouseHoverSequence))
                hover->DrawCurrentFrame(*frame, 0, 0);
        }
        if (m_IsDropTarget)
            if (CSequence* hover = SequenceUnlessNone(CRules::SGetInstance().m_LotMouseHoverSequence))
                hover->DrawCurrentFrame(*frame, 0, 0);
    }
    CSpriteAI::Draw(record);
}

void CLot::GetBounds(CRect& out)
{
    CSequence* background = SequenceUnlessNone(m_BackgroundSequence);
    CFrame* frame = background ? background->GetCurrentFrame() : nullptr;
    if (!frame)
        return;
    frame->GetBounds(out);
    if (CSprite* sprite = GetSprite()) {
        const int32_t x = int32_t(std::lround(std::clamp(sprite->GetPosition().x, -1.0e9f, 1.0e9f)));
        const int32_t y = int32_t(std::lround(std::clamp(sprite->GetPosition().y, -1.0e9f, 1.0e9f)));
        out = {out.left + x, out.top + y, out.right + x, out.bottom + y};
    }
}

bool CLot::ClickAssist()
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (!level || !level->m_AllowClickAssist || !IsVacant() || !m_Building || !m_Building->IsBeingConstructed())
        return false;
    CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent();
    if (stats)
        ++stats->m_AssistedClicks;
    const CRules& rules = CRules::SGetInstance();
    if (!(m_SecondsBetweenAssistClicks >= rules.m_SecondsBetweenBuildAssistClicks)) {
        if (stats)
            ++stats->m_EarlyClickAssistAttempts;
        return false;
    }
    CThreeInARowCounter* counter = GetThreeInARowCounter();
    const bool bonus = counter && counter->IsBonusActive();
    if (stats)
        ++(bonus ? stats->m_MegaClickAssistsUsed : stats->m_ClickAssistsUsed);
    m_SecondsBetweenAssistClicks = 0.0f;
    float amount = rules.m_BuildPercentPerClick;
    if (counter)
        amount = counter->GetFractionPerClick(amount);
    if (level->m_RequireClickAssist && !bonus)
        amount *= 4.0f;
    m_Building->AddProgress(amount);
    PlayAssistEffect();
    return true;
}

void CLot::PlayAssistEffect()
{
    CBuildablePart* part = m_Building ? m_Building->GetPartUnderConstruction() : nullptr;
    const bool bonus = IsBonusActive();
    if (IsPaint(part))
        SendToSprite(GetSprite(), bonus ? "MegaAssistingPaint" : "AssistingPaint");
    else
        SendToSprite(GetSprite(), bonus ? "MegaAssistingBuild" : "AssistingBuild");

    CPlayfield* playfield = GetCurrentPlayfield();
    if (!playfield)
        return;
    CMessage assisting(CMessage::SGetMessageType("Click Assisting"));
    playfield->BroadcastMessage(assisting);

    CBuildPhase* phase = part ? part->GetBuildPhase() : nullptr;
    if (!phase || !SequenceUnlessNone(phase->m_ClickAssistEffect))
        return;
    CPlayfieldLayer* effects = playfield->FindOrAddLayer("Effects");
    const CFPoint at = effects->ScreenToLayer(CMouseState::SGetInstance().GetPositionFloat());
    auto* effect = new CSprite;
    effect->SetImageSequence(uint32_t(phase->m_ClickAssistEffect));
    effect->SetPosition(at.x, at.y);
    if (IsPaint(part))
        effect->SetColor(static_cast<CColorBuildablePart*>(part)->GetPaintColour());
    effect->AddAI(new CPlayAnimationOnceSpriteAI);
    effects->AddSprite(effect);
}

void CLot::ShowClickAssistCursor()
{
    CBuildablePart* part = m_Building ? m_Building->GetPartUnderConstruction() : nullptr;
    CBuildPhase* phase = part ? part->GetBuildPhase() : nullptr;
    if (!phase)
        return;
    const bool ready = m_SecondsBetweenAssistClicks >= CRules::SGetInstance().m_SecondsBetweenBuildAssistClicks;
    ShowSequenceAsCursor(SequenceUnlessNone(ready ? phase->m_ClickAssistHoverCursor : phase->m_ClickAssistUsedCursor));
    CThreeInARowCounter* counter = GetThreeInARowCounter();
    g_CursorDecoration.megaSequence = counter && counter->IsBonusActive() ? GetThreeInARowMegaSequence() : 0;
    g_CursorDecoration.colour
        = IsPaint(part) ? static_cast<CColorBuildablePart*>(part)->GetPaintColour() : CColor(255, 255, 255, 255);
}

void CLot::ShowScoreBalloon(float /*inARowFraction*/)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    CSprite* sprite = GetSprite();
    if (!playfield || !sprite)
        return;
    const float value = GetValueWithScenicBonus();
    CCustomer* resident = GetResidentCustomer();
    const float bonus = resident ? resident->GetMoveInBonus() : 0.0f;
    const float hearts = resident ? resident->GetHeartsLeft() : 0.0f;

    auto* texts = new CTextSubstitutionList;
    const double percent = double(bonus) * 100.0;
    CJString bonusText;
    if (percent > 0.0) {
        bonusText.Set(" + ");
        bonusText.AppendInt(Rounded(percent));
    } else if (percent < 0.0) {
        bonusText.Set(" - ");
        bonusText.AppendInt(Rounded(-percent));
    }
    texts->AddText("%s[Bonus]", bonusText);
    texts->AddNumber("%s[Revenue]", Rounded(double(value) * 1000.0 * (1.0 + double(bonus))));
    texts->AddNumber("%s[Hearts]", Rounded(std::ceil(double(hearts))));

    CLotOptions* options = CLotOptions::SGetInstance();
    auto* balloon = new CSprite;
    new CScoreBalloonAI(balloon, texts, options->m_ScoreBalloonFoo, options->m_ScoreBalloonDuration);
    // In front of the street, the far houses and the line, at its full size
    // over the lot however small the street is drawn.
    CPlayfieldLayer* front = playfield->FindOrAddLayer("Effects");
    CPlayfieldLayer* lots = playfield->FindLayerOfSprite(sprite);
    CFPoint at = lots ? lots->LayerToScreen(sprite->GetPosition()) : sprite->GetPosition();
    at = front->ScreenToLayer(
        {at.x + float(options->m_ScoreBalloonPosition.x), at.y + float(options->m_ScoreBalloonPosition.y)});
    balloon->SetPosition(at.x, at.y);
    front->AddSprite(balloon);
}

const SCursorDecoration& GetCursorDecoration()
{
    return g_CursorDecoration;
}
