// The scrap book's lot record of a completed level: one entry per lot of the
// "Lot" layer naming the first four parts of a resident's building, "" for a
// lot nobody lives on.
#include "game/business/CCrew.h"
#include "game/screens/CStats.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/business/BusinessLevelTest.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

class Scrapbook : public BusinessLevelTest {};

std::vector<std::string> Entries(const CPlayerStatsForLevel& record)
{
    std::vector<std::string> entries;
    for (uint32_t i = 0; i < record.m_SavedLevelInfoForScrapbook.GetCount(); ++i)
        entries.push_back(record.m_SavedLevelInfoForScrapbook[i].GetString());
    return entries;
}

TEST_F(Scrapbook, EveryLotGetsOneEntryNamingFourPartsOfAResidentsBuilding)
{
    // Rows: !None 0, Cottage 1, Porch 2, Say "Cheese" 3; phases !None 0, Add On 1, Color 2.
    for (const char* name : {"!None", "Porch"})
        WriteObject(std::string(name) + ".Upgrade.txt", "CUpgrade");
    WriteObject("Cottage.Upgrade.txt", "CBuildablePart", "Build Phase=Phases/Add On\n");
    WriteObject("Say \"Cheese\".Upgrade.txt", "CBuildablePart", "Build Phase=Phases/Color\n");
    for (const char* name : {"Add On", "Color"})
        WriteObject(std::string("Phases/") + name + ".BuildPhase.txt", "CBuildPhase");
    ASSERT_NE(StartLevel(), nullptr);
    CLot* full = AddLot({0, 0}, {2, 1, 0, 3, 2});
    AddLot({1, 0}, {1, 1});
    CLot* short_ = AddLot({2, 0}, {1});
    full->m_CustomerLivingHere = CreateCrewAI(0);
    short_->m_CustomerLivingHere = CreateCrewAI(0);
    // Sprites of the layer that are no lots take no entry.
    m_Level->GetPlayfield().AddSprite(new CSprite, "Lot");

    CPlayerStatsForLevel record;
    record.SaveLotInfoForScrapbook();
    const std::string named = "\"Porch\",\"Cottage\",,\"Say \"\"Cheese\"\"\"";
    EXPECT_EQ(Entries(record), (std::vector<std::string>{named, "", "\"Cottage\",,,"}));
    EXPECT_TRUE(record.HasSavedLotInfo());

    // Saved again, the list is rebuilt rather than grown.
    delete full->m_CustomerLivingHere;
    full->m_CustomerLivingHere = nullptr;
    record.SaveLotInfoForScrapbook();
    EXPECT_EQ(Entries(record), (std::vector<std::string>{"", "", "\"Cottage\",,,"}));

    // An earlier build's rows are named from the list as it is when each
    // names a part of its phase; rows the list has moved wait as they are.
    // Names stay.
    record.m_SavedLevelInfoForScrapbook[0] = "0,1, 3";
    record.m_SavedLevelInfoForScrapbook[1] = "3,1,0,0";
    record.m_SavedLevelInfoForScrapbook[2] = "\"Gone\",\"Porch\",7,";
    record.NameScrapbookParts();
    EXPECT_EQ(Entries(record),
              (std::vector<std::string>{",\"Cottage\",\"Say \"\"Cheese\"\"\",", "3,1,0,0", "\"Gone\",\"Porch\",7,"}));
    EXPECT_EQ(CPlayerStatsForLevel::SPartsOfLotInfo(record.m_SavedLevelInfoForScrapbook[2]),
              (std::array<int32_t, 4>{0, 2, 7, 0}));
    // A named part goes to its own phase, wherever a build of other phases put it.
    EXPECT_EQ(CPlayerStatsForLevel::SPartsOfLotInfo(CJString(",,\"Say \"\"Cheese\"\"\",\"Cottage\"")),
              (std::array<int32_t, 4>{0, 1, 3, 0}));
}

TEST_F(Scrapbook, APlayfieldWithoutALotLayerLeavesTheListEmpty)
{
    CPlayerStatsForLevel record;
    record.SaveLotInfoForScrapbook();
    EXPECT_FALSE(record.HasSavedLotInfo());
}

} // namespace
