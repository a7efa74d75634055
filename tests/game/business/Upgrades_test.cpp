// Upgrades on the playfield: what each kind may do, the bulldozer on a built
// and an empty lot, the looks an upgrade falls back on, the parts a random
// wish draws, and data of the wrong class.
#include "BusinessLevelTest.h"
#include "../MessageEarAI.h"

#include "foundation/CRandomGenerator.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CUpgrade.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "objects/CMessage.h"
#include "sequences/CSequenceList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

class Upgrades : public BusinessLevelTest {
protected:
    void SetUp() override
    {
        BusinessLevelTest::SetUp();
        WriteSequence("Look");
        WriteSequence("Close Up");
        WriteSequence("Hover");
        WriteSequence("Slot Hover");
        WriteObject("Slots/Porch.UpgradeSlot.txt", "CUpgradeSlot", "Buy Button Hover=Slot Hover\n");
        WriteObject("Phases/Frame.BuildPhase.txt", "CBuildPhase", "Name=Frame\nOption Index=Required\n");
        WriteObject("Phases/Garage.BuildPhase.txt", "CBuildPhase", "Name=Garage\n");
        WriteObject("Slots/Frame A.UpgradeSlot.txt", "CUpgradeSlot");
        WriteObject("Slots/Frame B.UpgradeSlot.txt", "CUpgradeSlot");
        WriteObject("Upgrades/Walls.Upgrade.txt", "CBuildablePart", "Build Phase=Frame\nUpgrade Slot=Frame A\n");
        WriteObject("Upgrades/Logs.Upgrade.txt", "CBuildablePart", "Build Phase=Frame\nUpgrade Slot=Frame B\n");
        WriteObject("Upgrades/Dozer.Upgrade.txt", "CBulldozerUpgrade");
        WriteObject("Upgrades/Plain.Upgrade.txt", "CUpgrade",
                    "Description=Sells well\nCrew Sequence=Look\nBuy Close Up Sequence=Close Up\n"
                    "Upgrade Slot=Porch\nButton Hover=Hover\n");
        WriteObject("Upgrades/Owned.Upgrade.txt", "CUpgrade", "Description=Sells well\nOwn It Description=Yours\n"
                                                              "Appearance=Look\nUpgrade Slot=Porch\n");
        WriteObject("Illegal Move Options.Object.txt", "CIllegalMoveMessageOptions",
                    "Message List=Array\n{\n"
                    "\tMessage=CIllegalMoveMessage\n\t{\n\t\tMessage ID=NoBulldozerEmptyLot\n"
                    "\t\tMessage=Nothing to clear\n\t}\n"
                    "\tMessage=CIllegalMoveMessage\n\t{\n\t\tMessage ID=CantDropOnCustomer\n"
                    "\t\tMessage=Not on people\n\t}\n}\n");
        ASSERT_NE(StartLevel(), nullptr);
    }
    CUpgrade& Upgrade(const char* name)
    {
        CUpgrade* upgrade = GetUpgradeByIndex(GetUpgradeList().Find(name));
        EXPECT_NE(upgrade, nullptr) << name;
        return *upgrade;
    }
    CLevelPlayStats& Stats() { return *CLevelPlayStats::SGetCurrent(); }
};

TEST_F(Upgrades, EachKindSaysWhetherItIsDraggedAndUsedOnLots)
{
    CUpgrade& walls = Upgrade("Walls");
    CUpgrade& dozer = Upgrade("Dozer");
    CUpgrade& plain = Upgrade("Plain");
    for (CUpgrade* upgrade : {&walls, &dozer}) {
        EXPECT_TRUE(upgrade->IsDraggable());
        EXPECT_TRUE(upgrade->IsUsedOnLot());
        EXPECT_TRUE(upgrade->HasButton());
    }
    EXPECT_FALSE(plain.IsDraggable());
    EXPECT_FALSE(plain.CanUse(true));
    EXPECT_FALSE(plain.IsUsedOnLot());
    EXPECT_FALSE(AddLot({5, 5})->CanUseUpgradeHere(nullptr)) << "nothing held, nothing used";
    EXPECT_TRUE(dozer.IsKindOf(CBulldozerUpgrade::SGetClassInfo()));
    EXPECT_FALSE(walls.IsKindOf(CBulldozerUpgrade::SGetClassInfo()));
    EXPECT_TRUE(dozer.CanUse(false));
    EXPECT_FALSE(plain.DropOnLot(GetUpgradeList().Find("Plain"), AddLot({0, 0})));
}

TEST_F(Upgrades, AnUpgradeDroppedOnACustomerIsRefusedWithItsMessage)
{
    EXPECT_FALSE(Upgrade("Plain").DropOnCustomer(GetUpgradeList().Find("Plain"), nullptr));
    EXPECT_STREQ(GetIllegalMoveDisplay().GetText().GetString(), "Not on people");
    EXPECT_EQ(GetIllegalMoveDisplay().GetSecondsShown(), 0.0f);
}

TEST_F(Upgrades, TheBulldozerClearsABuiltLotAndCountsEveryUseEvenOnAnEmptyLot)
{
    const int32_t walls = GetUpgradeList().Find("Walls");
    const int32_t dozerIndex = GetUpgradeList().Find("Dozer");
    CUpgrade& dozer = Upgrade("Dozer");
    CLot* built = AddLot({0, 0}, {walls});
    CLot* empty = AddLot({1, 0});
    std::vector<std::string> heardByBuilt;
    std::vector<std::string> heardByEmpty;
    built->GetSprite()->AddAI(new CMessageEarAI(heardByBuilt));
    empty->GetSprite()->AddAI(new CMessageEarAI(heardByEmpty));
    const uint32_t usedBefore = Stats().m_BulldozerUsed;

    EXPECT_TRUE(dozer.DropOnLot(dozerIndex, built));
    EXPECT_EQ(std::count(heardByBuilt.begin(), heardByBuilt.end(), "BulldozerUsed"), 1);
    EXPECT_EQ(std::count(heardByEmpty.begin(), heardByEmpty.end(), "Building Destroyed"), 1)
        << "the whole playfield hears the building go";
    EXPECT_TRUE(GetIllegalMoveDisplay().GetText().IsEmpty());
    EXPECT_EQ(Stats().m_BulldozerUsed, usedBefore + 1);

    heardByEmpty.clear();
    EXPECT_TRUE(dozer.DropOnLot(dozerIndex, empty)) << "a refused bulldozer still reports success";
    EXPECT_STREQ(GetIllegalMoveDisplay().GetText().GetString(), "Nothing to clear");
    EXPECT_EQ(std::count(heardByEmpty.begin(), heardByEmpty.end(), "BulldozerUsed"), 0);
    EXPECT_EQ(Stats().m_BulldozerUsed, usedBefore + 2);

    built->GetBuilding()->m_BeingConstructed = 0;
    built->m_CustomerLivingHere = nullptr;
    EXPECT_TRUE(dozer.DropOnLot(dozerIndex, nullptr)) << "no lot: only counted";
    EXPECT_EQ(Stats().m_BulldozerUsed, usedBefore + 3);
}

TEST_F(Upgrades, LooksAndDescriptionsFallBackAndOldKeysStillRead)
{
    const int32_t look = GetSequenceList().Find("Look");
    const int32_t closeUp = GetSequenceList().Find("Close Up");
    ASSERT_GT(look, 0);
    CUpgrade& plain = Upgrade("Plain");
    CUpgrade& owned = Upgrade("Owned");
    EXPECT_EQ(plain.GetAppearance(), look) << "\"Crew Sequence\" is the old key of \"Appearance\"";
    EXPECT_EQ(plain.GetCloseUp(), closeUp);
    EXPECT_EQ(owned.GetCloseUp(), look) << "without a close-up, the appearance";
    EXPECT_EQ(plain.GetButtonHover(), GetSequenceList().Find("Hover"));
    EXPECT_EQ(owned.GetButtonHover(), GetSequenceList().Find("Slot Hover")) << "without its own, the slot's";
    const int32_t slot = owned.m_UpgradeSlot;
    owned.m_UpgradeSlot = 99;
    EXPECT_EQ(owned.GetButtonHover(), 0) << "a slot outside the list reads as none";
    owned.m_UpgradeSlot = slot;
    EXPECT_STREQ(plain.GetOwnedDescription().GetString(), "Sells well");
    EXPECT_STREQ(owned.GetOwnedDescription().GetString(), "Yours");
    EXPECT_TRUE(plain.m_AllowScalingOfBuyCloseUp);
    EXPECT_EQ(plain.m_UpgradeButtonScale, 1.0f);
}

TEST_F(Upgrades, ARandomWishDrawsOnlyPartsTheStateHasForThePhase)
{
    const int32_t frame = FindBuildPhase("Frame");
    const int32_t garage = FindBuildPhase("Garage");
    ASSERT_GT(frame, 0);
    CGameState* state = CGameState::SGetCurrent();
    const int32_t walls = GetUpgradeList().Find("Walls");
    const int32_t logs = GetUpgradeList().Find("Logs");
    state->ReceiveUpgrade(walls);
    state->ReceiveUpgrade(logs);

    CRandomGenerator::Global().Seed(7);
    std::set<int32_t> drawn;
    for (int i = 0; i < 40; ++i)
        drawn.insert(GetRandomAvailablePart(frame));
    EXPECT_EQ(drawn, (std::set<int32_t>{walls, logs}));
    EXPECT_EQ(GetRandomAvailablePart(garage), 0);
    EXPECT_EQ(GetRandomAvailablePart(99), 0) << "a phase outside the list reads as none";
    EXPECT_EQ(GetRandomAvailablePart(-1), 0);
}

TEST_F(Upgrades, AnUpgradeFileOfAnotherClassIsRefusedAndReadsAsNone)
{
    WriteObject("Upgrades/Stray.Upgrade.txt", "CBuildPhase", "Name=Stray\n");
    ASSERT_NE(StartLevel(), nullptr);
    const int32_t stray = GetUpgradeList().Find("Stray");
    ASSERT_GT(stray, 0);
    EXPECT_EQ(GetUpgradeByIndex(stray), nullptr);
    EXPECT_STREQ(GetUpgradeList().GetLastLoadError().GetString(), "File contains invalid class type of CBuildPhase");
    EXPECT_FALSE(AddLot({0, 0})->CanUseUpgradeHere(GetUpgradeByIndex(stray)));
}

TEST_F(Upgrades, IllegalMoveOptionsOfAnotherClassEndTheGame)
{
    WriteObject("Illegal Move Options.Object.txt", "CBuildPhase", "Name=Oops\n");
    ASSERT_NE(StartLevel(), nullptr);
    EXPECT_EXIT(GetIllegalMoveDisplay().Show("NoBulldozerEmptyLot"), testing::ExitedWithCode(255),
                "File contains invalid class type of CBuildPhase");
}

} // namespace
