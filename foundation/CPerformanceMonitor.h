#pragma once
// Named timing zones. Code brackets a piece of work with Enter and Leave; at
// the end of every frame each zone files its inclusive time (outermost Enter
// to its Leave), exclusive time (less the time spent in zones entered inside
// it) and entry count into a 90-frame ring with running sums, so averages
// over the last frames cost nothing to read.
//
// Monitoring is a process-wide switch, off at start, and changes only at a
// frame boundary (UpdatePerformanceMonitors). While it is off Enter and Leave
// do nothing, so call sites test IsPerformanceMonitoringOn first. A soloed
// zone is measured alone: while any zone is soloed, only soloed zones and
// what runs inside them are measured.
//
// Zones are created through function-local statics and register themselves
// in CPerformanceMonitorList. Main thread only.

#include "foundation/CArrayPOD.h"
#include "foundation/CVirtualArray.h"

#include <cstdint>

class CPerformanceMonitor {
public:
    static constexpr uint32_t kHistoryFrames = 90;

    // A budget of exactly 0 ms becomes 1000 ms.
    explicit CPerformanceMonitor(const char* name, uint32_t flags = 0, float budgetMs = 0.0f);
    CPerformanceMonitor(const CPerformanceMonitor&) = delete;
    CPerformanceMonitor& operator=(const CPerformanceMonitor&) = delete;
    ~CPerformanceMonitor();

    void Enter();
    // A Leave without a matching measured Enter is ignored.
    void Leave();
    // Files this frame's values into the history and clears them.
    void EndFrame();

    const char* GetName() const { return m_Name; }
    uint32_t GetFlags() const { return m_Flags; }
    float GetBudget() const { return m_Budget; }

    // Totals of the current frame (milliseconds).
    uint32_t GetInclusiveTime() const { return m_Inclusive; }
    uint32_t GetExclusiveTime() const { return m_Exclusive; }
    uint32_t GetEntryCount() const { return m_Entries; }
    uint32_t GetDepth() const { return m_Depth; }

    // The history: sums over the last GetFramesInHistory frames.
    uint32_t GetFramesInHistory() const { return m_FramesInHistory; }
    uint64_t GetExclusiveSum() const { return m_ExclusiveSum; }
    uint64_t GetInclusiveSum() const { return m_InclusiveSum; }
    uint64_t GetEntriesSum() const { return m_EntriesSum; }
    // Averages per frame over the history; 0 without history.
    double GetAverageExclusive() const { return Average(m_ExclusiveSum); }
    double GetAverageInclusive() const { return Average(m_InclusiveSum); }
    double GetAverageEntries() const { return Average(m_EntriesSum); }

    // Takes effect at the next frame boundary.
    void SetSoloRequest(bool solo) { m_SoloRequest = solo; }
    bool GetSoloRequest() const { return m_SoloRequest; }
    bool IsSolo() const { return m_Solo; }

    // Forgets the history (after filing the current frame).
    void ResetHistory();

private:
    struct BuiltIn {};
    // The built-in zones: no flag word and no budget.
    CPerformanceMonitor(const char* name, BuiltIn);
    friend CPerformanceMonitor& GetEverythingZone();
    friend CPerformanceMonitor& GetNothingZone();
    friend void UpdatePerformanceMonitors();
    friend void ResetPerformanceMonitoring();

    void Register();
    double Average(uint64_t sum) const { return m_FramesInHistory ? double(sum) / m_FramesInHistory : 0.0; }

    const char* m_Name;
    uint32_t m_Flags = 0;
    uint64_t m_EntryStart = 0;
    uint32_t m_Inclusive = 0;
    uint64_t m_SliceStart = 0;
    uint32_t m_Exclusive = 0;
    uint32_t m_Entries = 0;
    uint32_t m_Depth = 0;
    CPerformanceMonitor* m_Enclosing = nullptr;
    uint32_t m_FramesInHistory = 0;
    uint32_t m_HistoryPosition = 0;
    uint64_t m_ExclusiveHistory[kHistoryFrames] = {};
    uint64_t m_ExclusiveSum = 0;
    uint64_t m_InclusiveHistory[kHistoryFrames] = {};
    uint64_t m_InclusiveSum = 0;
    uint64_t m_EntriesHistory[kHistoryFrames] = {};
    uint64_t m_EntriesSum = 0;
    float m_Budget = 0.0f;
    bool m_SoloRequest = false;
    bool m_Solo = false;
};

// Every zone, in order of creation. Item i is the zone, or null past the end.
class CPerformanceMonitorList : public CSimpleVirtualArray {
public:
    static CPerformanceMonitorList& Get();

    const char* GetItemName(int32_t i) override;
    CJString GetItemNameString(int32_t i) override;
    int32_t GetCount() override { return int32_t(m_Monitors.GetCount()); }

    CPerformanceMonitor* GetMonitor(int32_t i);
    void AddMonitor(CPerformanceMonitor* monitor);
    void RemoveMonitor(CPerformanceMonitor* monitor);

private:
    CPerformanceMonitorList() = default;

    CArrayPOD<CPerformanceMonitor*> m_Monitors;
};

// Enters the zone when monitoring is on, and leaves it at the end of the
// scope if it entered. A null zone does nothing.
class CPerformanceMonitorScope {
public:
    explicit CPerformanceMonitorScope(CPerformanceMonitor& monitor)
        : CPerformanceMonitorScope(&monitor)
    {
    }
    explicit CPerformanceMonitorScope(CPerformanceMonitor* monitor);
    CPerformanceMonitorScope(const CPerformanceMonitorScope&) = delete;
    CPerformanceMonitorScope& operator=(const CPerformanceMonitorScope&) = delete;
    ~CPerformanceMonitorScope();

private:
    CPerformanceMonitor* m_Monitor;
};

bool IsPerformanceMonitoringOn();
// Asks for monitoring on or off from the next frame boundary.
void RequestPerformanceMonitoring(bool on);

// "Everything" spans each main-loop pass; "Nothing" is an empty zone timed
// once when monitoring is switched on.
CPerformanceMonitor& GetEverythingZone();
CPerformanceMonitor& GetNothingZone();

// Enter and leave "Everything" whatever zones are soloed; EndFrameZone then
// closes the frame (UpdatePerformanceMonitors).
void BeginFrameZone();
void EndFrameZone();

// Once per frame, after "Everything" was left: files every zone's frame,
// applies solo requests and a pending monitoring switch.
void UpdatePerformanceMonitors();
// Files the current frame of every zone, then forgets all histories.
void ResetPerformanceHistories();

// Back to the start-up state: monitoring off, nothing pending, no current
// zone, measuring (tests).
void ResetPerformanceMonitoring();
