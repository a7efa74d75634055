#pragma once
// What the screens' tests share whether or not they run the whole game.
#include "foundation/CCommand.h"

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
