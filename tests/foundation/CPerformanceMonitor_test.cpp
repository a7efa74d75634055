#include "foundation/CPerformanceMonitor.h"

#include "foundation/MillisecondClock.h"
#include "platform/Clock.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

uint32_t g_Now = 0;

class PerformanceMonitor : public testing::Test {
protected:
    void SetUp() override
    {
        g_Now = 1000;
        ResetMillisecondClock();
        ResetPerformanceMonitoring();
        RequestPerformanceMonitoring(true);
        UpdatePerformanceMonitors();
    }
    void TearDown() override
    {
        ResetPerformanceMonitoring();
        ResetMillisecondClock();
    }
    static void Advance(uint32_t ms) { g_Now += ms; }
    // One entry of the zone that takes the time.
    static void Spend(CPerformanceMonitor& zone, uint32_t ms)
    {
        zone.Enter();
        Advance(ms);
        zone.Leave();
    }

    CScopedTickSource m_Tick{[] { return g_Now; }};
};

CPerformanceMonitor* FindMonitor(const char* name)
{
    CPerformanceMonitorList& list = CPerformanceMonitorList::Get();
    for (int32_t i = 0; i < list.GetCount(); ++i)
        if (std::strcmp(list.GetItemName(i), name) == 0)
            return list.GetMonitor(i);
    return nullptr;
}

TEST_F(PerformanceMonitor, HistoryHoldsExactlyTheLastNinetyFrames)
{
    CPerformanceMonitor zone("Work", 0, 0.0f);
    EXPECT_EQ(zone.GetBudget(), 1000.0f);
    std::vector<uint32_t> inclusive;
    for (uint32_t frame = 0; frame < 157; ++frame) {
        BeginFrameZone();
        const uint32_t spent = frame % 7 + 1;
        Spend(zone, spent);
        Spend(zone, 0);
        Advance(frame % 3);
        inclusive.push_back(spent);
        EndFrameZone();
    }
    uint64_t expected = 0;
    for (size_t i = inclusive.size() - 90; i < inclusive.size(); ++i)
        expected += inclusive[i];
    EXPECT_EQ(zone.GetFramesInHistory(), 90u);
    EXPECT_EQ(zone.GetInclusiveSum(), expected);
    EXPECT_EQ(zone.GetExclusiveSum(), expected);
    EXPECT_EQ(zone.GetEntriesSum(), 180u);
    EXPECT_DOUBLE_EQ(zone.GetAverageEntries(), 2.0);

    // "Everything" spans whole frames; what zones take is not its own time.
    CPerformanceMonitor& everything = GetEverythingZone();
    uint64_t frameTotal = 0;
    for (uint32_t frame = 157 - 90; frame < 157; ++frame)
        frameTotal += frame % 7 + 1 + frame % 3;
    EXPECT_EQ(everything.GetInclusiveSum(), frameTotal);
    EXPECT_EQ(everything.GetExclusiveSum(), frameTotal - expected);
}

TEST_F(PerformanceMonitor, NestedZonesSplitExclusiveTime)
{
    CPerformanceMonitor outer("Outer");
    CPerformanceMonitor inner("Inner");
    outer.Enter();
    Advance(3);
    inner.Enter();
    Advance(5);
    inner.Enter(); // nested in itself: one entry, timed from the outer Enter
    Advance(1);
    inner.Leave();
    Advance(1);
    inner.Leave();
    Advance(2);
    outer.Leave();
    EXPECT_EQ(outer.GetInclusiveTime(), 12u);
    EXPECT_EQ(outer.GetExclusiveTime(), 5u);
    EXPECT_EQ(inner.GetInclusiveTime(), 7u);
    EXPECT_EQ(inner.GetExclusiveTime(), 7u);
    EXPECT_EQ(inner.GetEntryCount(), 1u);

    UpdatePerformanceMonitors();
    EXPECT_EQ(outer.GetInclusiveSum(), 12u);
    EXPECT_EQ(outer.GetExclusiveSum(), 5u);
    EXPECT_EQ(outer.GetInclusiveTime(), 0u);
}

TEST_F(PerformanceMonitor, LeaveWithoutMeasuredEnterIsIgnored)
{
    CPerformanceMonitor zone("Late");
    RequestPerformanceMonitoring(false);
    UpdatePerformanceMonitors();
    {
        CPerformanceMonitorScope scope(zone); // off: neither enters nor leaves
        zone.Enter();
        RequestPerformanceMonitoring(true);
        UpdatePerformanceMonitors();
        Advance(4);
        zone.Leave();
    }
    EXPECT_EQ(zone.GetDepth(), 0u);
    EXPECT_EQ(zone.GetInclusiveTime(), 0u);

    // The zone still measures normally afterwards.
    {
        CPerformanceMonitorScope scope(zone);
        Advance(6);
    }
    EXPECT_EQ(zone.GetInclusiveTime(), 6u);
    EXPECT_EQ(zone.GetEntryCount(), 1u);
}

// A modal loop inside a zone runs frames of its own; filing a frame forgets
// the zones still entered, and none of them may be charged afterwards with
// time since the clock started.
TEST_F(PerformanceMonitor, FrameFiledInsideAZoneLeavesNoStaleCurrentZone)
{
    CPerformanceMonitor modal("Modal");
    CPerformanceMonitor work("ModalWork");
    BeginFrameZone();
    modal.Enter();
    Advance(5);
    for (int frame = 0; frame < 2; ++frame) {
        BeginFrameZone();
        Spend(work, 2);
        EndFrameZone();
    }
    modal.Leave();
    EndFrameZone();
    EXPECT_EQ(modal.GetExclusiveSum(), 5u);
    EXPECT_EQ(work.GetExclusiveSum(), 4u);
    EXPECT_LE(GetEverythingZone().GetExclusiveSum(), 10u);
}

TEST_F(PerformanceMonitor, SwitchingWaitsForTheFrameBoundary)
{
    CPerformanceMonitor zone("Switch");
    RequestPerformanceMonitoring(false);
    EXPECT_TRUE(IsPerformanceMonitoringOn());
    Spend(zone, 2);
    EXPECT_EQ(zone.GetInclusiveTime(), 2u);
    UpdatePerformanceMonitors();
    EXPECT_FALSE(IsPerformanceMonitoringOn());
    Spend(zone, 2);
    EXPECT_EQ(zone.GetEntryCount(), 0u);
    EXPECT_EQ(zone.GetFramesInHistory(), 0u);
}

TEST_F(PerformanceMonitor, SoloMeasuresOnlyTheSoloedZoneAndWhatRunsInside)
{
    CPerformanceMonitor solo("Solo");
    CPerformanceMonitor other("Other");
    Spend(other, 0);
    UpdatePerformanceMonitors();
    EXPECT_EQ(other.GetFramesInHistory(), 2u); // the empty frame filed at creation, then this one

    solo.SetSoloRequest(true);
    EXPECT_FALSE(solo.IsSolo());
    UpdatePerformanceMonitors();
    EXPECT_TRUE(solo.IsSolo());
    // The solo change restarted every history.
    EXPECT_EQ(other.GetFramesInHistory(), 0u);

    Spend(other, 5);
    EXPECT_EQ(other.GetEntryCount(), 0u);

    solo.Enter();
    Advance(1);
    Spend(other, 3);
    solo.Leave();
    EXPECT_EQ(other.GetInclusiveTime(), 3u);
    EXPECT_EQ(solo.GetInclusiveTime(), 4u);
    EXPECT_EQ(solo.GetExclusiveTime(), 1u);

    // Outside the soloed zone nothing is measured again.
    Spend(other, 5);
    EXPECT_EQ(other.GetEntryCount(), 1u);

    solo.SetSoloRequest(false);
    UpdatePerformanceMonitors();
    Spend(other, 0);
    EXPECT_EQ(other.GetEntryCount(), 1u);
}

// A plain list for the lookup zones.
class CWords : public CSimpleVirtualArray {
public:
    const char* GetItemName(int32_t i) override { return m_Words[i]; }
    CJString GetItemNameString(int32_t i) override { return CJString(m_Words[i]); }
    int32_t GetCount() override { return 3; }
    const char* m_Words[3] = {"Ant", "Bee", "Cow"};
};

TEST_F(PerformanceMonitor, LookupsAreTimedInTheirZones)
{
    CWords words;
    EXPECT_EQ(words.Find("x/Cow"), 2);
    EXPECT_EQ(words.Find("Dog"), -1);
    CPerformanceMonitor* find = FindMonitor("VirtualArray_Find");
    CPerformanceMonitor* perName = FindMonitor("VirtualArray_FindSpecial1");
    CPerformanceMonitor* failing = FindMonitor("VirtualArray_FindFailing");
    ASSERT_TRUE(find && perName && failing);
    EXPECT_EQ(find->GetEntryCount(), 2u);
    EXPECT_EQ(perName->GetEntryCount(), 6u);
    EXPECT_EQ(failing->GetEntryCount(), 1u);
}

} // namespace
