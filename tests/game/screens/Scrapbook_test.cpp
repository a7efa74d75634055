// The scrap book's lot record of a completed level: one entry per lot of the
// "Lot" layer, the first four parts of a resident's building, "" for a lot
// nobody lives on.
#include "game/business/CCrew.h"
#include "game/screens/CStats.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/business/BusinessLevelTest.h"

#include <gtest/gtest.h>

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

TEST_F(Scrapbook, EveryLotGetsOneEntryWithFourPartsOfAResidentsBuilding)
{
    ASSERT_NE(StartLevel(), nullptr);
    CLot* full = AddLot({0, 0}, {3, 1, 4, 1, 5});
    AddLot({1, 0}, {7, 7});
    CLot* short_ = AddLot({2, 0}, {9});
    full->m_CustomerLivingHere = CreateCrewAI(0);
    short_->m_CustomerLivingHere = CreateCrewAI(0);
    // Sprites of the layer that are no lots take no entry.
    m_Level->GetPlayfield().AddSprite(new CSprite, "Lot");

    CPlayerStatsForLevel record;
    record.SaveLotInfoForScrapbook();
    EXPECT_EQ(Entries(record), (std::vector<std::string>{"3,1,4,1", "", "9,0,0,0"}));
    EXPECT_TRUE(record.HasSavedLotInfo());

    // Saved again, the list is rebuilt rather than grown.
    delete full->m_CustomerLivingHere;
    full->m_CustomerLivingHere = nullptr;
    record.SaveLotInfoForScrapbook();
    EXPECT_EQ(Entries(record), (std::vector<std::string>{"", "", "9,0,0,0"}));
}

TEST_F(Scrapbook, APlayfieldWithoutALotLayerLeavesTheListEmpty)
{
    CPlayerStatsForLevel record;
    record.SaveLotInfoForScrapbook();
    EXPECT_FALSE(record.HasSavedLotInfo());
}

} // namespace
