#include "game/world/CScenery.h"

#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameApp.h"
#include "game/world/CGoal.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CRules.h"
#include "images/CFrame.h"
#include "objects/CBoolProperty.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CSlotProperty.h"
#include "render/CPointPath.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"

#include <algorithm>
#include <cmath>

OMBRISALT_IMPLEMENT_CLASS(CScenery, 1.0)

namespace {

using CPokeAudioProperty = CSlotProperty<CNoneableListProperty>;

CPokeAudioProperty& PokeAudioProperty()
{
    static CPokeAudioProperty* property = [] {
        auto* made = new CPokeAudioProperty("Image/Poke Audio", 0);
        made->SetList(&GetAudioList());
        made->AddAsDynamicProperty(CSequence::SGetClassInfo(), DynamicKind::Optional);
        return made;
    }();
    return *property;
}

bool IsVacantImage(int32_t sequence)
{
    CBackgroundStyleSheet* sheet = GetCurrentBackgroundStyleSheet();
    if (!sheet)
        return false;
    for (uint32_t i = 0; i < sheet->m_VacantImages.GetCount(); ++i)
        if (sheet->m_VacantImages[i] == sequence)
            return true;
    return false;
}

} // namespace

void DeclarePokeAudioProperty()
{
    PokeAudioProperty();
}

int32_t GetPokeAudio(CSequence* sequence)
{
    return sequence ? PokeAudioProperty().GetDynamicValue(sequence) : 0;
}

void CScenery::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CScenery;
    d.Add(&C::m_TryToAssociateWithLot, "Try To Associate With Lot", true);
    d.Add(&C::m_OptionalGoalToAssociateWith, "Optional Goal To Associate With", 0u);
    d.Add(&C::m_SecondsSincePoke, "Seconds Since Poke", 0.0f).Level(kLevelHidden);
}

CScenery::CScenery() = default;
CScenery::~CScenery() = default;

void CScenery::AssociateWithLot(CSprite* sprite)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    CPlayfieldLayer* layer = playfield ? playfield->FindLayer("Lot") : nullptr;
    if (!layer)
        return;
    // The lot layer may be scaled: the scenery's place is taken to the lot
    // layer's coordinates first, so scenery that stands beside a lot on the
    // screen stays.
    CPlayfieldLayer* own = playfield->FindLayerOfSprite(sprite);
    const CFPoint screen = own ? own->LayerToScreen(sprite->GetPosition()) : sprite->GetPosition();
    const CFPoint at = layer->ScreenToLayer(screen);
    for (uint32_t i = 0; i < layer->GetSpriteCount(); ++i) {
        CSprite* lotSprite = layer->GetSprite(i);
        CLot* lot = lotSprite ? CLot::SFromSprite(lotSprite) : nullptr;
        if (!lot || !IsVacantImage(lot->m_BackgroundSequence))
            continue;
        CPointPath* area = lotSprite->GetHitArea();
        const CFPoint& lotAt = lotSprite->GetPosition();
        if (area && area->ContainsPoint(at.x - lotAt.x, at.y - lotAt.y)) {
            sprite->SetVisible(false);
            return;
        }
    }
}

float CScenery::GetGrowFraction(CSprite* sprite) const
{
    const CRules& rules = CRules::SGetInstance();
    float larger = 0.0f;
    if (CFrame* frame = sprite->GetCurrentFrame()) {
        CRect bounds;
        frame->GetBounds(bounds);
        const float w = std::fabs(float(bounds.GetWidth()) * m_PokeBaseScale.x);
        const float h = std::fabs(float(bounds.GetHeight()) * m_PokeBaseScale.y);
        larger = std::max(w, h);
    }
    // Without a size the division would run away: the swell takes the most
    // it may.
    float g = larger > 0.0f ? rules.m_PokePixelsToGrowBy / larger : rules.m_MaxPokeGrowFraction;
    // Written so that a rule read as "not a number" gives the least too.
    if (!(g >= rules.m_MinPokeGrowFraction))
        g = rules.m_MinPokeGrowFraction;
    if (g > rules.m_MaxPokeGrowFraction)
        g = rules.m_MaxPokeGrowFraction;
    return g;
}

void CScenery::Update(CSpriteUpdateRecord& record)
{
    UpdateNextAI(record);
    CSprite* sprite = record.sprite;
    if (!sprite)
        return;

    if (m_TryToAssociateWithLot) {
        AssociateWithLot(sprite);
        m_TryToAssociateWithLot = false;
    }

    if (m_OptionalGoalToAssociateWith > 0) {
        CLevelOptions* level = CLevelOptions::SGetCurrent();
        if (level && level->m_OptionalGoals.GetCount() >= m_OptionalGoalToAssociateWith) {
            CGoal* goal = level->m_OptionalGoals[m_OptionalGoalToAssociateWith - 1];
            if (goal)
                sprite->SetVisible(goal->m_AchievedThisTime);
        }
    }

    if (m_SecondsSincePoke > 0.0f) {
        m_SecondsSincePoke += record.seconds;
        const float duration = CRules::SGetInstance().m_PokeDuration;
        if (!(duration > 0.0f) || m_SecondsSincePoke >= duration) {
            // A zero duration ends the swell at once rather than dividing by it.
            m_SecondsSincePoke = 0.0f;
            sprite->SetScale(m_PokeBaseScale);
            return;
        }
        const float g = GetGrowFraction(sprite);
        const float t = m_SecondsSincePoke / duration;
        const float factor = 1.0f + (1.0f - t) * g;
        sprite->SetScale(CFPoint{m_PokeBaseScale.x * factor, m_PokeBaseScale.y * factor});
    }
}

void CScenery::Poke(CSprite* sprite)
{
    CAudioPlaySettings settings;
    settings.pitch = 1.0f;
    settings.volume = 1.0f;
    settings.pan = 0.0f;
    settings.noPlay = false;
    GetAudioList().PlayAudioByIndex(GetPokeAudio(sprite->GetImageSequence()), settings);
    m_SecondsSincePoke = 0.001f;
    m_PokeBaseScale = sprite->GetScale();
    if (CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent())
        ++stats->m_PokeSoundsPlayed;
}

void CScenery::HandleMessage(CMessage& message)
{
    CSprite* sprite = GetSprite();
    if (sprite && sprite->IsVisible() && !message.IsHandled() && !GetDraggedSprite()) {
        const uint32_t type = message.GetType();
        if (type == CPlayfieldMouseMessage::SGetMouseDownType()) {
            const CPoint at = static_cast<CPlayfieldMouseMessage&>(message).GetPosition();
            if (m_SecondsSincePoke <= 0.0f && GetPokeAudio(sprite->GetImageSequence()) != 0
                && sprite->HitTestFrames(at.x, at.y)) {
                Poke(sprite);
                message.SetHandled();
            }
        } else if (type == CPlayfieldMouseMessage::SGetMouseMovedType()) {
            if (GetPokeAudio(sprite->GetImageSequence()) != 0) {
                const CPoint at = static_cast<CPlayfieldMouseMessage&>(message).GetPosition();
                if (sprite->HitTestFrames(at.x, at.y)) {
                    const int32_t poke = GetSequenceList().Find("Poke Cursor");
                    ShowSequenceAsCursor(poke > 0 ? GetSequenceList().GetObject(poke) : nullptr);
                    message.SetHandled();
                } else {
                    ShowSequenceAsCursor(nullptr);
                }
            }
        }
    }
    CSpriteAI::HandleMessage(message);
}
