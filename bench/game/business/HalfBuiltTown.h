#pragma once
// The town half built over the demo data, shared by the business
// benchmarks: twelve lots, six with a frame going up (six framing crews on
// them, the foreman at one), three finished, painted houses with garages and
// three empty lots.
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCrew.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameApp.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPlayfield.h"
#include "sequences/CSequenceList.h"

#include <vector>

namespace bench {

// The town half built; the buildings under construction, or empty when the
// level is not the demo's town.
inline std::vector<CBuildablePackage*> BuildHalfTheTown(CGameApp& game)
{
    std::vector<CBuildablePackage*> building;
    CPlayfield* playfield = GetCurrentPlayfield();
    CLotPlayfieldLayer* lots = GetLotLayer();
    const int32_t cottage = GetUpgradeList().Find("Cottage");
    const int32_t garage = GetUpgradeList().Find("Single Garage");
    const int32_t lemon = GetUpgradeList().Find("Lemon Paint");
    if (!playfield || !lots || lots->GetSpriteCount() != 12 || cottage <= 0 || garage <= 0 || lemon <= 0)
        return building;
    CUpgradeButton* frameButton = nullptr;
    if (CPlayfieldLayer* ui = playfield->FindLayer("UI"))
        for (uint32_t i = 0; i < ui->GetSpriteCount() && !frameButton; ++i)
            if (auto* button = dynamic_cast<CUpgradeButton*>(ui->GetSprite(i)->FindAI(CUpgradeButton::SGetClassInfo()));
                button && button->GetUpgradeIndex() == cottage)
                frameButton = button;
    if (!frameButton)
        return building;
    // Five more framing crews beside the one the data gives.
    const int32_t frame = GetFramePhase();
    for (int i = 0; i < 5; ++i) {
        auto* crew = new CSprite;
        crew->SetImageSequence(uint32_t(GetSequenceList().Find("Framing Crew")));
        crew->AddAI(CreateCrewAI(frame));
        playfield->AddSprite(crew, "Crew");
    }
    game.Update(1.0f / 60.0f);
    for (int32_t i = 0; i < 12; ++i) {
        CLot* lot = lots->FindLot(i % 4, i / 4);
        if (!lot || !lot->GetBuilding())
            return {};
        CBuildablePackage& package = *lot->GetBuilding();
        if (i < 6) {
            if (!frameButton->DropOnLot(lot))
                return {};
            building.push_back(&package);
        } else if (i < 9) {
            package.SizeToBuildPhases();
            package.m_Parts[uint32_t(frame)] = cottage;
            package.m_Parts[uint32_t(GetGaragePhase())] = garage;
            package.m_Parts[uint32_t(GetColorPhase())] = lemon;
        }
    }
    for (int i = 0; i < 60; ++i)
        game.Update(1.0f / 60.0f);
    return building;
}

// Midway, where a frame cross-fades into the next.
inline void KeepBuilding(const std::vector<CBuildablePackage*>& building)
{
    for (CBuildablePackage* package : building)
        package->m_ConstructionProgress = 0.55f;
}

} // namespace bench
