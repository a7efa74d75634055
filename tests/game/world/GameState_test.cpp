// The player's game state over a small designer data set: owning upgrades
// slot by slot, the crews' cached parts, free upgrades, money, the career
// statistics, the sprites a level start adds, and stored states that travel
// through text and the binary stream, also into a data set that changed.
#include "game/scripting/CAudio.h"
#include "support/TestSupport.h"
#include "game/scripting/CSprite.h"
#include "game/business/CBuildPhase.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLevelTimer.h"
#include "game/world/CPlayfield.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/world/CTutorial.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/world/WorldHooks.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/SequenceTestSupport.h"
#include "tests/support/ScopedHooks.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class SpyWorldHooks : public CGameScreensHooks {
public:
    void AddCareerRevenue(float thousands) override { careerRevenue += thousands; }
    void AwardAchievement(const char* name) override { awards.emplace_back(name); }
    void StoreStateBeforeLevel(CGameState* copy) override { stored.reset(copy); }
    bool GetCurrentPlayer(CCareerPlayerRecord& out) override
    {
        out = player;
        return true;
    }
    uint32_t GetGameBuildNumber() override { return 412; }
    void GetAchievements(std::vector<CAchievementEarned>& out) override { out = achievements; }

    float careerRevenue = 0.0f;
    std::vector<std::string> awards;
    std::unique_ptr<CGameState> stored;
    CCareerPlayerRecord player;
    std::vector<CAchievementEarned> achievements;
};

// Every overlay set the rules name by default.
constexpr const char* kOverlaySets[] = {"Main Menu Overlay",
                                        "Gameplay Overlay",
                                        "Gameplay Overlay Menu Button",
                                        "Shopping Overlay",
                                        "Shopping New Upgrade Overlay",
                                        "Shopping Old Upgrade Overlay",
                                        "Shopping Unaffordable Upgrade Overlay",
                                        "End Of Level Overlay",
                                        "End Of Level Hidden Overlay",
                                        "End Of Tutorial Level Overlay",
                                        "Options Menu Overlay",
                                        "Options Menu From Pause Overlay",
                                        "Level Introduction Menu Overlay",
                                        "Level Select Overlay",
                                        "RewardFlierOverlay"};

// The value added under the key; "(none)" when there is no such entry.
std::string Value(CTextSubstitutionList& list, const char* key)
{
    CClassInfo* info = CTextSubstitutionList::SGetClassInfo();
    const CPropertyArrayProperty* entries = nullptr;
    for (int32_t i = 0; i < info->GetPropertyCount() && !entries; ++i)
        entries = dynamic_cast<const CPropertyArrayProperty*>(info->GetProperty(i));
    CPropertyArrayStorage& storage = entries->Storage(&list);
    for (uint32_t i = 0; i < storage.count; ++i) {
        auto* entry = static_cast<CTextSubstitution**>(storage.data)[i];
        if (entry->m_Token.Compare(key) == 0)
            return entry->m_Text.GetString();
    }
    return "(none)";
}

class GameStateData : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        for (const char* name : kOverlaySets)
            WriteBytes("Resources/Frame Overlay Options/" + std::string(name) + ".FOO",
                       ObjectText("CFrameOverlayOptions", ""));
        for (const char* name : {"!None", "Shopping Tutorial"})
            WriteBytes("Resources/" + std::string(name) + ".Tutorial.txt", ObjectText("CTutorial", ""));
        WriteBytes("Resources/Initial.GameState.txt", ObjectText("CGameState", ""));
        WriteBytes("Resources/Slots/!None.UpgradeSlot.txt", ObjectText("CUpgradeSlot", ""));
        WriteBytes("Resources/Slots/Add-On A.UpgradeSlot.txt", ObjectText("CUpgradeSlot", ""));
        WriteBytes("Resources/Slots/Crew A.UpgradeSlot.txt", ObjectText("CUpgradeSlot", ""));
        WriteBytes("Resources/Slots/Garage A.UpgradeSlot.txt", ObjectText("CUpgradeSlot", ""));
        WriteBytes("Resources/Slots/Paint A.UpgradeSlot.txt", ObjectText("CUpgradeSlot", "Inlcude In Play Log=0"));
        WriteBytes("Resources/Phases/Frame.BuildPhase.txt",
                   ObjectText("CBuildPhase",
                        "Name=Frame\nOption Index=Required\nUpgrade Slot List=Array\n{\n"
                        "Upgrade Slot=Crew A\n}"));
        WriteBytes("Resources/Phases/Garage.BuildPhase.txt",
                   ObjectText("CBuildPhase",
                        "Name=Garage\nMinimum Number Of Slots=3\nUpgrade Slot List=Array\n{\n"
                        "Upgrade Slot=Garage A\n}"));
        WriteBytes("Resources/Upgrades/!None.Upgrade.txt", ObjectText("CUpgrade", "Upgrade Cost=0"));
        WriteUpgrade("Garage Big", "CBuildablePart", "Garage A", "2.5", "Build Phase=Garage\nResale Value=4");
        WriteUpgrade("Garage Small", "CBuildablePart", "Garage A", "1", "Build Phase=Garage\nResale Value=2");
        WriteUpgrade("Crew Basic", "CCrewSkillUpgrade", "Crew A", "0", "Build Phase=Frame\nBuild Speed=1.5");
        WriteUpgrade("Locked Crew", "CCrewSkillUpgrade", "Crew A", "0", "Requirements List=Array\n{\nRequirement=0\n}");
        WriteUpgrade("Paint Red", "CColorBuildablePart", "Paint A", "0.5", "Build Phase=Garage");
        WriteBytes("Resources/Rules.Object.txt", ObjectText("CRules", "Spendable Profit=0.1"));
        Repoint();
    }
    void TearDown() override
    {
        GetLevelHolder().Release();
        for (CObjectFileArray* list :
             {static_cast<CObjectFileArray*>(&GetGeneralObjects()), static_cast<CObjectFileArray*>(&GetUpgradeList()),
              static_cast<CObjectFileArray*>(&GetTutorialList()), static_cast<CObjectFileArray*>(&GetUpgradeSlotList()),
              static_cast<CObjectFileArray*>(&GetBuildPhaseList()),
              static_cast<CObjectFileArray*>(&GetGameStateList())}) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        GetFrameOverlayOptionsList().RemoveAll();
        GetFrameOverlayOptionsList().SetSource(nullptr, "Nowhere", 0);
        GetSequenceList().SetSource(nullptr, "Nowhere", 0);
        GetAudioList().SetSource("Nowhere", nullptr);
        SequenceFolderTest::TearDown();
    }

    static void WriteUpgrade(const std::string& name, const std::string& className, const std::string& slot,
                             const std::string& cost, const std::string& more)
    {
        WriteBytes("Resources/Upgrades/" + name + ".Upgrade.txt",
                   ObjectText(className, "Name=" + name + "\nUpgrade Slot=" + slot + "\nUpgrade Cost=" + cost + "\n" + more));
    }
    // The lists read the folder again on their next use.
    static void Repoint()
    {
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
        GetAudioList().SetSource("Resources/Audio", nullptr);
        GetTutorialList().SetSource(nullptr, "Resources", 0);
        InitGeneralObjects();
        GetUpgradeList().SetSource(nullptr, "Resources", 0);
        GetUpgradeSlotList().SetSource(nullptr, "Resources", 0);
        GetBuildPhaseList().SetSource(nullptr, "Resources", 0);
        GetGameStateList().SetSource(nullptr, "Resources", 0);
    }
    static int32_t Upgrade(const char* name) { return GetUpgradeList().Find(name); }
    static int32_t Slot(const char* name) { return GetUpgradeSlotList().Find(name); }
    static int32_t Phase(const char* name) { return GetBuildPhaseList().Find(name); }
    static std::vector<int32_t> Items(const CPropertyArray<int32_t>& array)
    {
        return std::vector<int32_t>(&array[0], &array[0] + array.GetCount());
    }
    // A level in play with this many customers and this revenue goal.
    static void PlayLevel(uint32_t customers, float requiredRevenue)
    {
        CLevelOptions level;
        level.m_Customers = customers;
        level.m_RequiredRevenue = requiredRevenue;
        GetLevelHolder().HoldCopyOf(&level);
    }

    SpyWorldHooks m_Hooks;
    CScopedHook<SetGameScreensHooks> m_Installed{&m_Hooks};
};

TEST_F(GameStateData, ReceivingAndRemovingUpgradesKeepsOneEntryEachAndTheLatestInItsSlot)
{
    CGameState state;
    const int32_t small = Upgrade("Garage Small"), big = Upgrade("Garage Big"), garage = Slot("Garage A");
    ASSERT_GT(small, 0);
    ASSERT_EQ(state.m_UpgradeInSlot.GetCount(), 5u) << "one entry per upgrade slot";
    ASSERT_EQ(state.m_Crews.GetCount(), 2u) << "one crew per build phase";

    state.ReceiveUpgrade(small);
    state.ReceiveUpgrade(big);
    state.ReceiveUpgrade(small);
    EXPECT_EQ(Items(state.m_UpgradesReceived), (std::vector<int32_t>{small, big}));
    EXPECT_EQ(Items(state.m_NewlyAcquiredUpgrades), (std::vector<int32_t>{small, big}));
    EXPECT_EQ(state.GetUpgradeInSlot(garage), small) << "receiving again still fills the slot";
    EXPECT_TRUE(state.HasUpgradeInSlot(garage));
    EXPECT_TRUE(state.IsSlotEmpty(Slot("Crew A")));

    state.RemoveUpgrade(small);
    EXPECT_EQ(Items(state.m_UpgradesReceived), (std::vector<int32_t>{big}));
    EXPECT_FALSE(state.IsNewlyAcquired(small));
    EXPECT_EQ(state.GetUpgradeInSlot(garage), big) << "the latest other upgrade of the slot comes back";
    state.RemoveUpgrade(big);
    EXPECT_TRUE(state.IsSlotEmpty(garage));
    EXPECT_NEAR(state.GetNetWorth(), 0.0f, 1e-6f);

    // Indexes the lists do not hold are passed over.
    for (int32_t wrong : {0, -1, 999}) {
        state.ReceiveUpgrade(wrong);
        state.RemoveUpgrade(wrong);
    }
    EXPECT_EQ(state.m_UpgradesReceived.GetCount(), 0u);
    EXPECT_EQ(state.GetUpgradeInSlot(-1), 0);
    EXPECT_EQ(state.GetUpgradeInSlot(5), 0);
    EXPECT_EQ(state.GetCrewState(2), nullptr);
    EXPECT_EQ(state.GetUpgradeForBuildPhase(7), nullptr);
    EXPECT_EQ(state.GetBuildSpeedForBuildPhase(Phase("Frame")), 1.0f) << "an empty crew slot builds at speed 1";

    state.ReceiveUpgrade(big);
    state.ClearNewlyAcquiredUpgrades();
    EXPECT_EQ(state.m_NewlyAcquiredUpgrades.GetCount(), 0u);
    EXPECT_TRUE(state.HasReceivedUpgrade(big));
}

TEST_F(GameStateData, CrewCachesHoldTheSlottedPartsPaddedToThePhaseMinimum)
{
    CGameState state;
    const int32_t small = Upgrade("Garage Small"), paint = Upgrade("Paint Red");
    state.ResetForLevel();
    EXPECT_EQ(Items(state.GetCrewState(Phase("Garage"))->m_BuildableParts), (std::vector<int32_t>{0, 0, 0}));
    EXPECT_EQ(state.GetCrewState(Phase("Frame"))->m_BuildableParts.GetCount(), 0u);

    state.ReceiveUpgrade(small);
    state.ReceiveUpgrade(paint);
    EXPECT_EQ(Items(state.GetCrewState(Phase("Garage"))->m_BuildableParts), (std::vector<int32_t>{small, paint, 0}))
        << "parts in slot order, then zeros up to three";

    state.ReceiveUpgrade(Upgrade("Crew Basic"));
    EXPECT_EQ(state.GetUpgradeForBuildPhase(Phase("Frame")), GetUpgradeByIndex(Upgrade("Crew Basic")));
    EXPECT_EQ(state.GetBuildSpeedForBuildPhase(Phase("Frame")), 1.5f);
    EXPECT_EQ(state.GetCrewState(Phase("Frame"))->m_BuildableParts.GetCount(), 0u) << "crew upgrades are no parts";
}

TEST_F(GameStateData, FreeUpgradesNeedTheirRequirementsAndOwningEveryPaidPartAwardsTheMaster)
{
    CGameState state;
    state.GrantFreeUpgrades();
    EXPECT_EQ(Items(state.m_UpgradesReceived), (std::vector<int32_t>{Upgrade("Crew Basic")}))
        << "the locked crew's requirement fails and item 0 stands for none";
    EXPECT_TRUE(m_Hooks.awards.empty());

    const int32_t garage = Slot("Garage A");
    EXPECT_EQ(state.FindNextUpgradeForSlot(garage, false), Upgrade("Garage Big"));
    state.ReceiveUpgrade(Upgrade("Garage Big"));
    EXPECT_EQ(state.FindNextUpgradeForSlot(garage, false), Upgrade("Garage Small"));
    EXPECT_EQ(state.FindNextUpgradeForSlot(Slot("Crew A"), false), 0) << "the free crews are not for sale";
    EXPECT_TRUE(m_Hooks.awards.empty());

    state.ReceiveUpgrade(Upgrade("Garage Small"));
    EXPECT_EQ(m_Hooks.awards, (std::vector<std::string>{"BuildingUpgradeMaster"})) << "paints do not count";
    EXPECT_EQ(state.FindNextUpgradeForSlot(garage, true), 0);
    EXPECT_NEAR(state.GetNetWorth(), 3.5f, 1e-6f);
}

TEST_F(GameStateData, ALevelResetKeepsOwnershipAndMoneyAndClearsWhatTheLevelEarned)
{
    CGameState stored;
    stored.ReceiveUpgrade(Upgrade("Garage Big"));
    stored.ReceiveUpgrade(Upgrade("Garage Small"));
    stored.m_SpendableMoneyK = 7.0f;
    stored.m_RevenueK = 3.0f;
    stored.m_UpgradeInSlot[uint32_t(Slot("Garage A"))] = 0;

    CGameState current;
    current.AddFrameSample(1.0f);
    current.AddHeartsSample(4.0f);
    current.IncrementMovedInCount();
    current.AddEarlyMoveInBonus(0.5f);
    current.CopyFromAndReset(&stored);
    EXPECT_EQ(Items(current.m_UpgradesReceived), Items(stored.m_UpgradesReceived));
    EXPECT_EQ(current.GetUpgradeInSlot(Slot("Garage A")), Upgrade("Garage Small")) << "the slot is filled again";
    EXPECT_EQ(current.m_SpendableMoneyK, 7.0f);
    EXPECT_EQ(current.m_RevenueK, 0.0f);
    EXPECT_EQ(current.GetMovedInCount(), 0u);
    EXPECT_EQ(current.GetEarlyMoveInBonusTotal(), 0.0f);
    EXPECT_EQ(current.GetAverageFrameValue(), 0.0f);
    EXPECT_EQ(current.GetAverageHearts(), 0.0f);
    EXPECT_NE(current.GetCrewState(0), stored.GetCrewState(0)) << "the crews are copies";

    current.AddRevenue(2.0f);
    current.AddRevenue(0.5f);
    EXPECT_EQ(current.m_RevenueK, 2.5f);
    EXPECT_EQ(m_Hooks.careerRevenue, 2.5f);

    current.SaveStateBeforeLevel();
    ASSERT_NE(m_Hooks.stored, nullptr);
    CGameState* first = m_Hooks.stored.get();
    EXPECT_EQ(first->m_RevenueK, 2.5f);
    // Told apart by what it holds: the new copy may be made where the first was.
    first->m_RevenueK = -1.0f;
    current.SaveStateBeforeLevel();
    ASSERT_NE(m_Hooks.stored, nullptr);
    EXPECT_EQ(m_Hooks.stored->m_RevenueK, 2.5f) << "the second copy replaces the first";
}

TEST_F(GameStateData, EarnedSpendableAndTheSampleAverages)
{
    CGameState state;
    state.m_SpendableMoneyK = 1.0f;
    PlayLevel(10, 500.0f);
    state.m_RevenueK = 600.0f;
    state.AddEarnedSpendable();
    EXPECT_NEAR(state.m_SpendableMoneyK, 61.0f, 1e-4f);
    state.m_RevenueK = 400.0f;
    state.AddEarnedSpendable();
    EXPECT_NEAR(state.m_SpendableMoneyK, 111.0f, 1e-4f) << "a success below the goal earns on the goal";

    // Every move-in adds a sample to each part, 0 where the building lacks it.
    state.AddFrameSample(2.0f);
    state.AddGarageSample(1.0f);
    state.AddAddOnSample(0.0f);
    state.AddFrameSample(4.0f);
    state.AddGarageSample(0.0f);
    state.AddAddOnSample(0.0f);
    state.AddHeartsSample(3.0f);
    state.AddHeartsSample(4.0f);
    state.IncrementMovedInCount();
    state.IncrementMovedInCount();
    EXPECT_EQ(state.GetAverageFrameValue(), 3.0f);
    EXPECT_EQ(state.GetAverageGarageValue(), 0.5f);
    EXPECT_EQ(state.GetAverageBuildingValue(), 3.5f);
    EXPECT_EQ(state.GetAverageHearts(), 3.5f);
    EXPECT_NEAR(state.GetMovedInFraction(), 0.2f, 1e-6f);
    PlayLevel(0, 0.0f);
    EXPECT_EQ(state.GetMovedInFraction(), 0.0f) << "a level without customers divides by nothing";
}

TEST_F(GameStateData, CareerStatisticsRoundTheirPercentsAndSurviveZeroDenominators)
{
    m_Hooks.player.name = "Robin";
    m_Hooks.player.id = 7;
    m_Hooks.player.secondsPlaying = 150.0f;
    m_Hooks.player.careerRevenueK = 12.3456f;
    m_Hooks.player.difficulty = 2;
    m_Hooks.achievements = {{"Builder", true}, {"Painter", false}};

    CGameState state;
    state.ReceiveUpgrade(Upgrade("Garage Big"));
    state.ReceiveUpgrade(Upgrade("Paint Red"));
    PlayLevel(0, 0.0f);
    state.m_RevenueK = 5.0f;
    CTextSubstitutionList empty;
    state.AddCareerStats(empty);
    EXPECT_EQ(Value(empty, "Revenue Pct"), "0");
    EXPECT_EQ(Value(empty, "Customers Placed Pct"), "0");
    EXPECT_EQ(Value(empty, "Avg Hearts"), "0");
    EXPECT_EQ(Value(empty, "Game Build"), "412");
    EXPECT_EQ(Value(empty, "Player"), "Robin");
    EXPECT_EQ(Value(empty, "Minutes Playing"), "2") << "2.5 minutes round to even";
    EXPECT_EQ(Value(empty, "Career Revenue"), "12346");
    EXPECT_EQ(Value(empty, "Revenue"), "5000");
    EXPECT_EQ(Value(empty, "Level"), "1");
    EXPECT_EQ(Value(empty, "Garage A"), "Garage Big");
    EXPECT_EQ(Value(empty, "Crew A"), "") << "an empty slot is listed with no upgrade";
    EXPECT_EQ(Value(empty, "Paint A"), "(none)") << "a slot left out of the play log has no key";
    EXPECT_EQ(Value(empty, "!None"), "(none)") << "slot 0 stands for none";
    EXPECT_EQ(Value(empty, "Ty_Builder"), "1");
    EXPECT_EQ(Value(empty, "Ty_Painter"), "0");

    PlayLevel(4, 500.0f);
    state.m_RevenueK = 499.9f;
    state.IncrementMovedInCount();
    CTextSubstitutionList near;
    state.AddCareerStats(near);
    EXPECT_EQ(Value(near, "Revenue Pct"), "99") << "just short of the goal never shows 100";
    EXPECT_EQ(Value(near, "Customers Placed Pct"), "25");
    EXPECT_EQ(Value(near, "Earned Spendable"), "49990");

    m_Hooks.player.difficulty = 0;
    state.m_RevenueK = 0.001f;
    CTextSubstitutionList little;
    state.AddCareerStats(little);
    EXPECT_EQ(Value(little, "Revenue Pct"), "1") << "something never shows 0";
    EXPECT_EQ(Value(little, "Earned Spendable"), "50000") << "the easy mode earns on the goal";
}

TEST_F(GameStateData, StoredStatesTravelThroughTextAndBinaryAndFitAChangedDataSet)
{
    WriteBytes("Resources/Phases/Attic.BuildPhase.txt", ObjectText("CBuildPhase", "Name=Attic"));
    GetBuildPhaseList().RemoveAll();
    Repoint();
    CGameState state;
    ASSERT_EQ(state.m_Crews.GetCount(), 3u);
    state.ReceiveUpgrade(Upgrade("Garage Small"));
    state.ReceiveUpgrade(Upgrade("Crew Basic"));
    state.m_SpendableMoneyK = 3.25f;
    state.m_ExtraStarsHack = 2;
    const std::string text = ObjectToText(&state, IdMode::WithoutIds);
    std::unique_ptr<CObject> fromText(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Fatal));
    ASSERT_NE(fromText, nullptr);
    EXPECT_TRUE(state.IsEqualTo(fromText.get())) << text;
    const std::string binary = ObjectToBinary(&state, IdMode::WithoutIds);
    CGameState fromBinary;
    ASSERT_TRUE(ObjectFromBinary(fromBinary, binary, IdMode::WithoutIds, StreamReports::Fatal));
    EXPECT_TRUE(state.IsEqualTo(&fromBinary));

    // A designer's stored state naming a phase this data set lacks and
    // missing one it has: the crews follow the phases.
    WriteBytes("Resources/Start.GameState.txt",
               ObjectText("CGameState", "Crews List=Array\n{\nRoof=CCrewState\n{\n}\n}\nSpendable MoneyK=9"));
    CGameState* start = GetGameStateList().GetObjectByName("Start");
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->m_SpendableMoneyK, 9.0f);
    ASSERT_EQ(start->m_Crews.GetCount(), 3u);
    EXPECT_NE(start->GetCrewState(2), nullptr);

    // The data set loses the attic phase and gains two slots: the binary
    // record of the old state still reads, cut and padded to the new lists.
    ::remove("Resources/Phases/Attic.BuildPhase.txt");
    WriteBytes("Resources/Slots/Roof A.UpgradeSlot.txt", ObjectText("CUpgradeSlot", ""));
    WriteBytes("Resources/Slots/Yard A.UpgradeSlot.txt", ObjectText("CUpgradeSlot", ""));
    for (CObjectFileArray* list :
         {static_cast<CObjectFileArray*>(&GetGameStateList()), static_cast<CObjectFileArray*>(&GetBuildPhaseList()),
          static_cast<CObjectFileArray*>(&GetUpgradeSlotList())})
        list->RemoveAll();
    Repoint();
    CGameState later;
    ASSERT_TRUE(ObjectFromBinary(later, binary, IdMode::WithoutIds, StreamReports::Fatal));
    EXPECT_EQ(later.m_Crews.GetCount(), 2u);
    EXPECT_EQ(later.m_UpgradeInSlot.GetCount(), 7u);
    EXPECT_EQ(later.GetUpgradeInSlot(Slot("Crew A")), Upgrade("Crew Basic"));
    EXPECT_EQ(later.GetUpgradeInSlot(Slot("Yard A")), 0);
    later.ResetForLevel();
    EXPECT_EQ(later.m_SpendableMoneyK, 3.25f);
}

TEST_F(GameStateData, TheLevelStartPutsTheTimerAndCounterAtTheirMarkersOnlyWhenTheMarkersExist)
{
    CPlayfield playfield;
    CPlayfield* previous = SetCurrentPlayfield(&playfield);
    CGameState state;
    auto live = std::make_unique<CThreeInARowCounter>();
    state.AddTimerSprite();
    state.AddThreeInARowCounterSprite();
    EXPECT_EQ(playfield.FindLayer("UI"), nullptr) << "no markers: nothing is added";
    EXPECT_EQ(GetThreeInARowCounter(), live.get()) << "the live counter stays current";
    live.reset();

    WriteBytes("Resources/Frame Overlay Options/Gameplay Overlay.FOO",
               ObjectText("CFrameOverlayOptions",
                    "Text Overlays=Array\n{\nArray Item=CFrameOverlayPositionMarker\n{\nID=Timer\n"
                    "Position=100,40\nSize=21,10\n}\n}"));
    GetFrameOverlayOptionsList().RemoveAll();
    GetGeneralObjects().RemoveAll();
    Repoint();
    state.AddTimerSprite();
    state.AddThreeInARowCounterSprite();
    CPlayfieldLayer* ui = playfield.FindLayer("UI");
    ASSERT_NE(ui, nullptr);
    ASSERT_EQ(ui->GetSpriteCount(), 1u) << "the set has no counter marker";
    CSprite* timer = ui->GetSprite(0);
    EXPECT_EQ(timer->GetPosition().x, 110.5f);
    EXPECT_EQ(timer->GetPosition().y, 45.0f);
    EXPECT_NE(GetLevelTimer(), nullptr);
    EXPECT_EQ(GetThreeInARowCounter(), nullptr);
    SetCurrentPlayfield(previous);
}

TEST(LevelSprites, TheCounterAndTimerKeepTheirProcessWidePointersHonest)
{
    auto first = std::make_unique<CThreeInARowCounter>();
    EXPECT_EQ(GetThreeInARowCounter(), first.get());
    EXPECT_FALSE(first->IsBonusActive());
    EXPECT_FALSE(first->IsInEndOfLevelPhase());
    first->m_SecondsBonusLeft = 0.5f;
    EXPECT_TRUE(first->IsBonusActive());
    first.reset();
    EXPECT_EQ(GetThreeInARowCounter(), nullptr);
    // A counter made before the played one (a clone alive across a restart)
    // is never updated: the one the street updates takes the pay-out.
    auto stale = std::make_unique<CThreeInARowCounter>();
    auto played = std::make_unique<CSprite>();
    auto* counter = new CThreeInARowCounter;
    played->AddAI(counter);
    played->Update();
    EXPECT_EQ(GetThreeInARowCounter(), counter);
    played.reset();
    stale.reset();

    auto older = std::make_unique<CLevelTimer>();
    auto newer = std::make_unique<CLevelTimer>();
    older.reset();
    EXPECT_EQ(GetLevelTimer(), newer.get()) << "an older timer's end leaves the newest";
    newer.reset();
    EXPECT_EQ(GetLevelTimer(), nullptr);
}

// Counts its updates; the timer before it must hand each one on.
class CountingAI : public CSpriteAI {
public:
    void Update(CSpriteUpdateRecord&) override { ++updates; }
    int updates = 0;
};

TEST(LevelSprites, ATimerHandsEveryUpdateToTheNextAI)
{
    CSprite sprite;
    sprite.AddAI(new CLevelTimer);
    auto* counting = new CountingAI;
    sprite.AddAI(counting);
    for (int i = 0; i < 3; ++i)
        sprite.Update();
    EXPECT_EQ(counting->updates, 3);
}

TEST_F(GameStateData, PlayStatisticsLiveInTheLevelAndCountFixedSteps)
{
    EXPECT_EQ(CLevelPlayStats::SGetCurrent(), nullptr) << "no level in play";
    PlayLevel(5, 1.0f);
    CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent();
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(CLevelPlayStats::SGetCurrent(), stats);
    EXPECT_EQ(CLevelOptions::SGetCurrent()->m_PlayStats, stats);
    EXPECT_EQ(stats->m_BulldozerUsed, 0u);

    for (int i = 0; i < 600; ++i)
        stats->AddPlayingUpdate(i < 60 ? 0 : 7);
    EXPECT_NEAR(stats->m_SecondsInLevel, 10.0f, 1e-3f);
    EXPECT_NEAR(stats->m_SecondsNoCrewWorking, 1.0f, 1e-4f);
    EXPECT_NEAR(stats->m_Seconds5OrMoreCrewsWorking, 9.0f, 1e-3f);
    stats->AddLevelUpdate(60.0f, 30.0f);
    stats->AddClick();
    stats->m_BulldozerUsed = 3;

    const std::string binary = ObjectToBinary(stats, IdMode::WithoutIds);
    CLevelPlayStats back;
    ASSERT_TRUE(ObjectFromBinary(back, binary, IdMode::WithoutIds, StreamReports::Fatal));
    EXPECT_TRUE(stats->IsEqualTo(&back));
    // The text form carries the named counters only; the unnamed times and
    // sums are the binary stream's.
    const std::string text = ObjectToText(stats, IdMode::WithoutIds);
    std::unique_ptr<CObject> fromText(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Fatal));
    ASSERT_NE(fromText, nullptr);
    EXPECT_EQ(static_cast<CLevelPlayStats*>(fromText.get())->m_BulldozerUsed, 3u) << text;
}

} // namespace

namespace {

TEST_F(GameStateData, AnEmptyReferenceReadsAsNoneWhileAMisspeltOneStillStopsTheGame)
{
    WriteUpgrade("Blank", "CBuildablePart", "", "1", "Build Phase=");
    WriteUpgrade("Typo", "CBuildablePart", "Garage A", "1", "Build Phase=Garge");
    GetUpgradeList().RemoveAll();
    Repoint();
    auto* blank = dynamic_cast<CBuildablePart*>(GetUpgradeList().GetObjectByName("Blank"));
    ASSERT_NE(blank, nullptr);
    EXPECT_EQ(blank->m_BuildPhase, 0);
    EXPECT_EQ(blank->m_UpgradeSlot, 0);
    EXPECT_EXIT(GetUpgradeList().GetObjectByName("Typo"), testing::ExitedWithCode(255), "\"Garge\"");
}

} // namespace
