#include "game/business/CCrew.h"

#include "foundation/CStaticContentsList.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CUpgradeButton.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/world/ListReferences.h"

#include <algorithm>
#include <cmath>
#include <vector>

OMBRISALT_IMPLEMENT_CLASS(CCrew, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CCrewQuantityUpgrade, 1.0)

namespace {

constexpr float kCrewStep = 30.0f;           // pixels per update
// Left of the house, a step in front of the lot's middle: on a back-row lot
// a crew standing higher would cover the waiting line's hearts.
const CFPoint kCrewOffsetAtLot{70.0f, -10.0f};

// Crews found building since the frame began.
uint32_t g_CrewsBuilding = 0;

CUpgrade* CrewUpgradeOfPhase(int32_t phase)
{
    CGameState* state = CGameState::SGetCurrent();
    return state ? state->GetUpgradeForBuildPhase(phase) : nullptr;
}

CPlayfieldLayer* CrewLayer()
{
    CPlayfield* playfield = GetCurrentPlayfield();
    return playfield ? playfield->FindLayer("Crew") : nullptr;
}

} // namespace

CCodeTableList& GetCrewStateList()
{
    static const CCodeTableRow kRows[] = {{CCrew::kIdle, "Idle", nullptr}, {CCrew::kBuilding, "Building", nullptr}, {}};
    static CCodeTableList list(kRows);
    return list;
}

void CCrew::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CCrew;
    d.AddListReference<CNoneableListProperty>(&C::m_BuildingPhase, "Building Phase", &GetBuildPhaseList(), nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_State, "State", &GetCrewStateList(), "Idle");
}

CCrew::CCrew()
{
    InitDeclaredProperties();
}

CCrew::~CCrew()
{
    DestroyDeclaredProperties();
}

void CCrew::OnAddedToSprite(CSprite* sprite)
{
    if (!sprite)
        return;
    if (CUpgrade* upgrade = CrewUpgradeOfPhase(m_BuildingPhase))
        sprite->SetImageSequence(uint32_t(std::max(upgrade->GetAppearance(), 0)));
}

void CCrew::Update(CSpriteUpdateRecord& record)
{
    CSprite* sprite = record.sprite ? record.sprite : GetSprite();
    if (!sprite) {
        UpdateNextAI(record);
        return;
    }
    CFPoint target = sprite->GetPosition();
    if (m_State == kBuilding) {
        if (!IsLotOnPlayfield(m_Lot))
            m_Lot = nullptr;
        CBuildablePackage* building = m_Lot ? m_Lot->GetBuilding() : nullptr;
        CSprite* lotSprite = m_Lot ? m_Lot->GetSprite() : nullptr;
        if (building && building->IsBeingConstructed() && lotSprite) {
            ++g_CrewsBuilding;
            const CFPoint at = lotSprite->GetPosition();
            target = {at.x - kCrewOffsetAtLot.x, at.y - kCrewOffsetAtLot.y};
            if (CPlayfield* playfield = GetCurrentPlayfield())
                if (CPlayfieldLayer* lots = playfield->FindOrAddLayer("Lot"))
                    target = lots->LayerToScreen(target);
        } else {
            // Finished: back in line from the next update on.
            m_State = kIdle;
            m_Lot = nullptr;
        }
    } else {
        if (CBuildPhase* phase = GetBuildPhaseAt(m_BuildingPhase)) {
            CFPoint place;
            if (GetIdleCrewPosition(m_BuildingPhase, phase->m_IdleCrewsThisFrame, phase->m_IdleCrewsLastFrame, place))
                target = place;
            ++phase->m_IdleCrewsThisFrame;
        }
    }
    sprite->MoveToward(target, kCrewStep);
    UpdateNextAI(record);
}

void CCrew::StartJob(CBuildablePart& part, int32_t upgrade, CLot& lot)
{
    m_Lot = &lot;
    if (CBuildablePackage* building = lot.GetBuilding())
        building->StartBuilding(part, upgrade, lot.GetSprite());
    m_State = kBuilding;
}

void CCrewQuantityUpgrade::DeclareProperties(CPropertyDeclarer&) {}

CCrewQuantityUpgrade::CCrewQuantityUpgrade()
{
    InitDeclaredProperties();
}

CCrewQuantityUpgrade::~CCrewQuantityUpgrade()
{
    DestroyDeclaredProperties();
}

int32_t CCrewQuantityUpgrade::GetAppearance()
{
    CUpgrade* skill = CrewUpgradeOfPhase(m_BuildPhase);
    return skill && skill != this ? skill->GetAppearance() : CCrewUpgrade::GetAppearance();
}

int32_t CCrewQuantityUpgrade::GetCloseUp()
{
    CUpgrade* skill = CrewUpgradeOfPhase(m_BuildPhase);
    return skill && skill != this ? skill->GetCloseUp() : CCrewUpgrade::GetCloseUp();
}

bool IsLotOnPlayfield(const CLot* lot)
{
    CPlayfield* playfield = lot ? GetCurrentPlayfield() : nullptr;
    if (!playfield)
        return false;
    for (uint32_t i = 0; i < playfield->GetLayerCount(); ++i) {
        CPlayfieldLayer* layer = playfield->GetLayer(i);
        for (uint32_t j = 0; layer && j < layer->GetSpriteCount(); ++j)
            if (CLot::SFromSprite(layer->GetSprite(j)) == lot)
                return true;
    }
    return false;
}

CSprite* FindIdleCrew(int32_t phase)
{
    CPlayfieldLayer* layer = CrewLayer();
    if (!layer)
        return nullptr;
    for (uint32_t i = 0; i < layer->GetSpriteCount(); ++i) {
        CSprite* sprite = layer->GetSprite(i);
        auto* crew = sprite ? static_cast<CCrew*>(sprite->FindAI(CCrew::SGetClassInfo())) : nullptr;
        if (crew && crew->IsIdle() && crew->m_BuildingPhase == phase)
            return sprite;
    }
    return nullptr;
}

CCrew* FindIdleCrewAI(int32_t phase)
{
    CSprite* sprite = FindIdleCrew(phase);
    return sprite ? static_cast<CCrew*>(sprite->FindAI(CCrew::SGetClassInfo())) : nullptr;
}

void BeginCrewFrame()
{
    g_CrewsBuilding = 0;
    CBuildPhaseList& phases = GetBuildPhaseList();
    for (int32_t i = 0; i < phases.GetCount(); ++i)
        if (CBuildPhase* phase = phases.GetObject(i)) {
            phase->m_IdleCrewsLastFrame = phase->m_IdleCrewsThisFrame;
            phase->m_IdleCrewsThisFrame = 0;
        }
}

uint32_t GetCrewsWorking()
{
    return g_CrewsBuilding;
}

void RecordCrewWorkTime()
{
    if (CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent())
        stats->AddPlayingUpdate(GetCrewsWorking());
}

bool GetIdleCrewPosition(int32_t phase, uint32_t index, uint32_t count, CFPoint& out)
{
    CBuildPhase* buildPhase = GetBuildPhaseAt(phase);
    if (!buildPhase || buildPhase->m_UpgradeSlotIndexArray.GetCount() == 0)
        return false;
    const uint32_t entry = buildPhase->m_UpgradeSlotIndexArray.GetCount() >= 2 ? 1 : 0;
    const int32_t slot = buildPhase->m_UpgradeSlotIndexArray[entry];
    CFPoint base;
    if (slot < 0 || !GetUpgradeSlotMarkerPosition(uint32_t(slot), base))
        return false;
    if (count >= 2) {
        const float spacing = buildPhase->m_SpaceBetweenIdleCrews;
        base.x = std::round(base.x - float(count - 1) * spacing / 2.0f + float(index) * spacing);
    }
    out = base;
    return true;
}

void PlaceIdleCrewsAtTheirPlaces()
{
    CPlayfieldLayer* layer = CrewLayer();
    if (!layer)
        return;
    std::vector<CSprite*> idle;
    for (uint32_t i = 0; i < layer->GetSpriteCount(); ++i) {
        CSprite* sprite = layer->GetSprite(i);
        auto* crew = sprite ? static_cast<CCrew*>(sprite->FindAI(CCrew::SGetClassInfo())) : nullptr;
        if (crew && crew->IsIdle())
            idle.push_back(sprite);
    }
    const auto phaseOf = [](CSprite* sprite) {
        return static_cast<CCrew*>(sprite->FindAI(CCrew::SGetClassInfo()))->m_BuildingPhase;
    };
    // In layer order, as the idle crews of a phase count themselves in play.
    for (size_t i = 0; i < idle.size(); ++i) {
        const int32_t phase = phaseOf(idle[i]);
        uint32_t index = 0, count = 0;
        for (size_t j = 0; j < idle.size(); ++j)
            if (phaseOf(idle[j]) == phase) {
                index += j < i ? 1 : 0;
                ++count;
            }
        CFPoint place;
        if (GetIdleCrewPosition(phase, index, count, place))
            idle[i]->SetPosition(place.x, place.y);
    }
}

CCrew* CreateCrewAI(int32_t phase)
{
    auto* crew = new CCrew;
    crew->ResetToDefaults();
    crew->m_BuildingPhase = phase;
    return crew;
}
