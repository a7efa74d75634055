// Lot play: the lot's per-step update (timers, construction, hover feedback,
#include "game/scripting/NoneEntries.h"
// poke swell), its drawing, the click assist and the score balloon of a
// move-in.
#include "game/world/CLot.h"

#include "foundation/CJString.h"
#include "foundation/CRect.h"
#include "game/scripting/CSprite.h"
#include "game/world/CBuildPhase.h"
#include "game/world/CBuildablePackage.h"
#include "game/world/CGameApp.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLotOptions.h"
#include "game/world/CPlayAnimationOnceSpriteAI.h"
#include "game/world/CPlayfield.h"
#include "game/world/CRules.h"
#include "game/world/CScoreBalloonAI.h"
#include "game/world/CThreeInARowCounter.h"
#include "game/world/CUpgrade.h"
#include "game/world/LotHooks.h"
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

// Index 0 of the sequence list stands for none.

bool IsBonusActive()
{
    CThreeInARowCounter* counter = GetThreeInARowCounter();
    return counter && counter->IsBonusActive();
}

// Neither a dragged sprite nor a customer or upgrade button on the cursor.
bool NothingHeld()
{
    CLotHooks& hooks = GetLotHooks();
    return !GetDraggedSprite() && !hooks.GetHeldCustomer() && !hooks.GetHeldUpgradeButton();
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
    if (std::isnan(value))
        return 0;
    return int32_t(std::nearbyint(std::clamp(value, -2147483648.0, 2147483647.0)));
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

    CLotHooks& hooks = GetLotHooks();
    if (!m_Initialized) {
        m_Initialized = true;
        CSprite* sprite = record.sprite ? record.sprite : GetSprite();
        if (sprite && !sprite->HasRestartBeenCalled())
            sprite->RestartPlugIns();
        if (m_Building)
            hooks.InitializeBuilding(m_Building, this);
    }

    // Construction. The level statistics keep no construction time, so none
    // is counted here.
    if (m_Building) {
        const bool wasBuilding = m_Building->IsBeingConstructed();
        float dt = seconds;
        if (IsVacant() && m_Foreman)
            dt *= hooks.GetForemanSpeed(m_Foreman);
        hooks.AdvanceConstruction(m_Building, dt);
        if (wasBuilding && m_Building && !m_Building->IsBeingConstructed()) {
            TryDeliverCustomer();
            SendToSprite(GetSprite(), "PhaseComplete");
        }
    }

    if (m_ForcePrebuiltItemsToUsePurchasedUpgrades) {
        m_ForcePrebuiltItemsToUsePurchasedUpgrades = false;
        if (m_Building)
            hooks.ReplacePrebuiltParts(m_Building);
    }

    // Hover feedback.
    m_IsDropTarget = false;
    const bool underConstruction = m_Building && m_Building->IsBeingConstructed();
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    const bool assistPossible = underConstruction && level && level->m_AllowClickAssist && NothingHeld();
    CSpriteAI* customer = hooks.GetHeldCustomer();
    CSpriteAI* button = customer ? nullptr : hooks.GetHeldUpgradeButton();
    CUpgrade* upgrade = button ? hooks.GetButtonUpgrade(button) : nullptr;
    const bool dropPossible = customer || (upgrade && hooks.IsUsedOnLots(upgrade));
    if (m_IsHovered) {
        if (assistPossible)
            ShowClickAssistCursor();
        if (dropPossible) {
            if (customer) {
                m_IsDropTarget = true;
                hooks.ReactToLot(customer, this);
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
    CLotHooks& hooks = GetLotHooks();
    if (upgrade->IsKindOf(CBuildablePart::SGetClassInfo()))
        return m_Building && hooks.CanTakePart(m_Building, static_cast<CBuildablePart*>(upgrade));
    if (hooks.IsBulldozer(upgrade))
        return IsVacant() && m_Building && m_Building->HasParts();
    return hooks.IsUsedOnLot(upgrade, this);
}

void CLot::Draw(CSpriteDrawRecord& record)
{
    CFrameInterface* frame = record.spriteFrame ? record.spriteFrame : record.destination;
    if (frame) {
        if (CSequence* background = SequenceUnlessNone(m_BackgroundSequence))
            background->DrawCurrentFrame(*frame, 0, 0);
        if (m_Building)
            GetLotHooks().DrawBuilding(m_Building, *frame, m_DrawScale);
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
    CLotHooks& hooks = GetLotHooks();
    float amount = rules.m_BuildPercentPerClick;
    if (counter)
        amount = hooks.GetCounterBuildPercentPerClick(counter, amount);
    if (level->m_RequireClickAssist && !bonus)
        amount *= 4.0f;
    hooks.AdvanceConstructionBy(m_Building, amount);
    PlayAssistEffect();
    return true;
}

void CLot::PlayAssistEffect()
{
    CLotHooks& hooks = GetLotHooks();
    CBuildablePart* part = m_Building ? hooks.GetPartUnderConstruction(m_Building) : nullptr;
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
        effect->SetColor(hooks.GetPaintColour(part));
    effect->AddAI(new CPlayAnimationOnceSpriteAI);
    effects->AddSprite(effect);
}

void CLot::ShowClickAssistCursor()
{
    CLotHooks& hooks = GetLotHooks();
    CBuildablePart* part = m_Building ? hooks.GetPartUnderConstruction(m_Building) : nullptr;
    CBuildPhase* phase = part ? part->GetBuildPhase() : nullptr;
    if (!phase)
        return;
    const bool ready = m_SecondsBetweenAssistClicks >= CRules::SGetInstance().m_SecondsBetweenBuildAssistClicks;
    ShowSequenceAsCursor(SequenceUnlessNone(ready ? phase->m_ClickAssistHoverCursor : phase->m_ClickAssistUsedCursor));
    CThreeInARowCounter* counter = GetThreeInARowCounter();
    const uint32_t mega = counter && counter->IsBonusActive() ? hooks.GetCounterMegaSequence(counter) : 0;
    hooks.SetCursorDecoration(IsPaint(part) ? hooks.GetPaintColour(part) : CColor(255, 255, 255, 255), mega);
}

void CLot::ShowScoreBalloon(float /*inARowFraction*/)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    CSprite* sprite = GetSprite();
    if (!playfield || !sprite)
        return;
    CLotHooks& hooks = GetLotHooks();
    const float value = GetValueWithScenicBonus();
    const float bonus = m_CustomerLivingHere ? hooks.GetMoveInBonus(m_CustomerLivingHere) : 0.0f;
    const float hearts = m_CustomerLivingHere ? hooks.GetHeartsLeft(m_CustomerLivingHere) : 0.0f;

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
    balloon->SetPosition(sprite->GetPosition().x + float(options->m_ScoreBalloonPosition.x),
                         sprite->GetPosition().y + float(options->m_ScoreBalloonPosition.y));
    playfield->AddSprite(balloon, "Lot");
}
