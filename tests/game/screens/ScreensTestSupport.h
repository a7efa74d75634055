#pragma once
// What the screens' tests share whether or not they run the whole game.
#include "foundation/CCommand.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CUpgrade.h"
#include "game/screens/CStats.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "objects/CPropertyArrayProperty.h"
#include "support/TestSupport.h"

#include <utility>
#include <vector>

// The trophies the award checks look up by name.
inline const char* const kAwardedTrophies[] = {
    "BuilderOfDreams",       "AccomplishedBuilder",  "BlueModelHomeMaster",
    "MatchingApprentice",    "MatchingMaster",       "SupremeMatchingAce",
    "CareerEarningsBronze",  "CareerEarningsSilver", "CareerEarningsGold",
    "CraftsmanOfTheCentury", "OutstandingBuildingAwardOfExcellence", "BuildingUpgradeMaster"};

// Counts its runs.
class CCountingCommand : public CCommand {
public:
    explicit CCountingCommand(int& runs)
        : m_Runs(runs)
    {
    }
    void Execute() override { ++m_Runs; }

private:
    int& m_Runs;
};

// The lists a level set reads, and the least of them it needs: a required
// phase, a period, a background and the "!None" upgrade, read from
// "Resources" in the current folder.
inline std::vector<CObjectFileArray*> ProfileLevelLists()
{
    return {&GetBuildPhaseList(), &GetPeriodList(), &GetBackgroundStyleSheetList(), &GetUpgradeList()};
}
inline void WriteProfileLevelLists()
{
    WriteBytes("Resources/Frame.BuildPhase.txt", "CBuildPhase\r\n{\r\n\tOption Index=Required\r\n}\r\n");
    WriteBytes("Resources/Period 1.Period.txt", "CPeriod\r\n{\r\n}\r\n");
    WriteBytes("Resources/Town.Background.txt", "CBackgroundStyleSheet\r\n{\r\n}\r\n");
    WriteBytes("Resources/!None.Upgrade.txt", "CUpgrade\r\n{\r\n}\r\n");
    for (CObjectFileArray* list : ProfileLevelLists())
        list->SetSource(nullptr, "Resources", 0);
}
// Ends the profiles and points the lists away from the folder again.
inline void ForgetProfileLevelLists()
{
    CStats::SShutdown();
    for (CObjectFileArray* list : ProfileLevelLists())
        list->SetSource(nullptr, "Nowhere", 0);
    GetGeneralObjects().SetSource("General Objects", "Nowhere", 0);
}

// Exactly these profiles (name, channel), in this order, the first current;
// a null channel is the running one. Emptied behind the deletion rule, which
// never leaves a channel bare.
inline CStats& WithProfiles(const std::vector<std::pair<const char*, const char*>>& profiles)
{
    CStats& stats = CStats::SGetInstance();
    static_cast<CPropertyArrayProperty*>(CStats::SGetClassInfo()->FindProperty("Players"))
        ->ArrayProperty_SetCount(&stats, 0);
    for (const auto& [name, channel] : profiles) {
        auto* player = new CPlayerStats;
        player->ResetToDefaults();
        player->m_Name = name;
        if (channel)
            player->m_Channel = channel;
        const uint32_t count = stats.GetPlayerCount();
        stats.AddPlayer(player);
        // AddPlayer inserts before the last one; keep the list in order.
        if (count > 0)
            std::swap(stats.m_Players[count - 1], stats.m_Players[count]);
    }
    stats.SetCurrentPlayer(0);
    return stats;
}
