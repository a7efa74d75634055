#include "foundation/CPerformanceMonitor.h"

#include "foundation/MillisecondClock.h"

namespace {

struct MonitorState {
    bool enabled = false;
    bool requested = false;
    bool pending = false;
    CPerformanceMonitor* current = nullptr;
    // Zones measure only while this is above 0; a soloed zone raises it for
    // the time it is entered.
    uint32_t measuring = 1;
};

MonitorState g_State;

} // namespace

CPerformanceMonitor::CPerformanceMonitor(const char* name, uint32_t flags, float budgetMs)
    : m_Name(name)
    , m_Flags(flags)
    , m_Budget(budgetMs == 0.0f ? 1000.0f : budgetMs)
{
    Register();
}

CPerformanceMonitor::CPerformanceMonitor(const char* name, BuiltIn)
    : m_Name(name)
{
    Register();
}

void CPerformanceMonitor::Register()
{
    CPerformanceMonitorList::Get().AddMonitor(this);
    EndFrame();
}

CPerformanceMonitor::~CPerformanceMonitor()
{
    if (g_State.current == this)
        g_State.current = m_Enclosing;
    CPerformanceMonitorList::Get().RemoveMonitor(this);
}

void CPerformanceMonitor::Enter()
{
    if (!g_State.enabled)
        return;
    if (m_Solo)
        ++g_State.measuring;
    if (g_State.measuring == 0)
        return;
    if (m_Depth == 0) {
        const uint64_t now = MillisecondClock();
        ++m_Entries;
        m_EntryStart = now;
        m_SliceStart = now;
        if (CPerformanceMonitor* outer = g_State.current) {
            outer->m_Exclusive += uint32_t(now - outer->m_SliceStart);
            outer->m_SliceStart = 0;
        }
        m_Enclosing = g_State.current;
        g_State.current = this;
    }
    ++m_Depth;
}

void CPerformanceMonitor::Leave()
{
    if (!g_State.enabled)
        return;
    // Monitoring switched on between an ignored Enter and this Leave: nothing
    // to close, and the depth must not wrap.
    if (m_Depth == 0)
        return;
    if (g_State.measuring > 0 && --m_Depth == 0) {
        const uint64_t now = MillisecondClock();
        m_Inclusive += uint32_t(now - m_EntryStart);
        m_Exclusive += uint32_t(now - m_SliceStart);
        m_EntryStart = 0;
        m_SliceStart = 0;
        g_State.current = m_Enclosing;
        m_Enclosing = nullptr;
        if (g_State.current)
            g_State.current->m_SliceStart = now;
    }
    if (m_Solo && g_State.measuring > 0)
        --g_State.measuring;
}

void CPerformanceMonitor::EndFrame()
{
    if (m_FramesInHistory < kHistoryFrames) {
        ++m_FramesInHistory;
    } else {
        m_ExclusiveSum -= m_ExclusiveHistory[m_HistoryPosition];
        m_InclusiveSum -= m_InclusiveHistory[m_HistoryPosition];
        m_EntriesSum -= m_EntriesHistory[m_HistoryPosition];
    }
    m_ExclusiveHistory[m_HistoryPosition] = m_Exclusive;
    m_InclusiveHistory[m_HistoryPosition] = m_Inclusive;
    m_EntriesHistory[m_HistoryPosition] = m_Entries;
    m_ExclusiveSum += m_Exclusive;
    m_InclusiveSum += m_Inclusive;
    m_EntriesSum += m_Entries;
    m_HistoryPosition = (m_HistoryPosition + 1) % kHistoryFrames;

    m_EntryStart = 0;
    m_SliceStart = 0;
    m_Inclusive = 0;
    m_Exclusive = 0;
    m_Entries = 0;
    m_Depth = 0;
    // The zone counts as left now; a later Enter elsewhere must not charge it
    // from a slice start of 0.
    m_Enclosing = nullptr;
    if (g_State.current == this)
        g_State.current = nullptr;
}

void CPerformanceMonitor::ResetHistory()
{
    EndFrame();
    m_FramesInHistory = 0;
    m_HistoryPosition = 0;
    m_ExclusiveSum = 0;
    m_InclusiveSum = 0;
    m_EntriesSum = 0;
}

CPerformanceMonitorList& CPerformanceMonitorList::Get()
{
    static CPerformanceMonitorList list;
    return list;
}

CPerformanceMonitor* CPerformanceMonitorList::GetMonitor(int32_t i)
{
    return i >= 0 && uint32_t(i) < m_Monitors.GetCount() ? m_Monitors[uint32_t(i)] : nullptr;
}

const char* CPerformanceMonitorList::GetItemName(int32_t i)
{
    CPerformanceMonitor* monitor = GetMonitor(i);
    return monitor ? monitor->GetName() : nullptr;
}

CJString CPerformanceMonitorList::GetItemNameString(int32_t i)
{
    return CJString(GetItemName(i));
}

void CPerformanceMonitorList::AddMonitor(CPerformanceMonitor* monitor)
{
    m_Monitors.Append(monitor);
}

void CPerformanceMonitorList::RemoveMonitor(CPerformanceMonitor* monitor)
{
    m_Monitors.Remove(monitor);
}

CPerformanceMonitorScope::CPerformanceMonitorScope(CPerformanceMonitor* monitor)
    : m_Monitor(g_State.enabled ? monitor : nullptr)
{
    if (m_Monitor)
        m_Monitor->Enter();
}

CPerformanceMonitorScope::~CPerformanceMonitorScope()
{
    if (m_Monitor)
        m_Monitor->Leave();
}

bool IsPerformanceMonitoringOn()
{
    return g_State.enabled;
}

void RequestPerformanceMonitoring(bool on)
{
    g_State.requested = on;
    g_State.pending = true;
}

CPerformanceMonitor& GetEverythingZone()
{
    static CPerformanceMonitor zone("Everything", CPerformanceMonitor::BuiltIn{});
    return zone;
}

CPerformanceMonitor& GetNothingZone()
{
    static CPerformanceMonitor zone("Nothing", CPerformanceMonitor::BuiltIn{});
    return zone;
}

void BeginFrameZone()
{
    const uint32_t saved = g_State.measuring;
    g_State.measuring = 1;
    GetEverythingZone().Enter();
    g_State.measuring = saved;
}

void EndFrameZone()
{
    const uint32_t saved = g_State.measuring;
    g_State.measuring = 1;
    GetEverythingZone().Leave();
    g_State.measuring = saved;
    UpdatePerformanceMonitors();
}

void ResetPerformanceHistories()
{
    CPerformanceMonitorList& list = CPerformanceMonitorList::Get();
    for (int32_t i = 0; i < list.GetCount(); ++i)
        list.GetMonitor(i)->ResetHistory();
}

void UpdatePerformanceMonitors()
{
    CPerformanceMonitorList& list = CPerformanceMonitorList::Get();
    bool soloChanged = false;
    bool anySolo = false;
    if (g_State.enabled) {
        for (int32_t i = 0; i < list.GetCount(); ++i) {
            CPerformanceMonitor* monitor = list.GetMonitor(i);
            monitor->EndFrame();
            if (monitor->m_Solo != monitor->m_SoloRequest)
                soloChanged = true;
            monitor->m_Solo = monitor->m_SoloRequest;
            anySolo = anySolo || monitor->m_Solo;
        }
    }
    g_State.measuring = anySolo ? 0 : 1;

    if (g_State.pending) {
        g_State.pending = false;
        g_State.enabled = g_State.requested;
        if (g_State.enabled) {
            CPerformanceMonitor& everything = GetEverythingZone();
            CPerformanceMonitor& nothing = GetNothingZone();
            everything.Enter();
            nothing.Enter();
            nothing.Leave();
            everything.Leave();
            nothing.ResetHistory();
        }
        ResetPerformanceHistories();
    } else if (soloChanged) {
        ResetPerformanceHistories();
    }
}

void ResetPerformanceMonitoring()
{
    g_State = MonitorState();
    CPerformanceMonitorList& list = CPerformanceMonitorList::Get();
    for (int32_t i = 0; i < list.GetCount(); ++i) {
        CPerformanceMonitor* monitor = list.GetMonitor(i);
        monitor->m_SoloRequest = false;
        monitor->m_Solo = false;
        monitor->m_Enclosing = nullptr;
        monitor->ResetHistory();
    }
}
