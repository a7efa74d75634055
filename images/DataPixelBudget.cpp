#include "images/DataPixelBudget.h"

#include "images/CFrame.h"
#include "images/CFrameImageIO.h"

#include <atomic>
#include <mutex>
#include <unordered_map>

namespace {

struct SLedger {
    std::mutex lock;
    std::unordered_map<const CFrame*, uint64_t> shares; // bytes per charged frame
    uint64_t held = 0;
    uint64_t budget = kMaxDataPixelBytes;
};

SLedger& Ledger()
{
    static SLedger* ledger = new SLedger;
    return *ledger;
}

// Frames are destroyed all the time; most were never charged.
std::atomic<size_t> g_Charged{0};

thread_local CChargedImageScope* t_Scope = nullptr;

bool Fits(SLedger& ledger, uint64_t bytes, const char* file)
{
    if (bytes <= ledger.budget && ledger.held <= ledger.budget - bytes)
        return true;
    ReportDataPixelsRefused(file, unsigned((ledger.budget + (uint64_t(1) << 20) - 1) >> 20));
    return false;
}

} // namespace

bool DataPixelsFit(uint64_t pixels, const char* file)
{
    SLedger& ledger = Ledger();
    std::lock_guard<std::mutex> hold(ledger.lock);
    return Fits(ledger, pixels * 4, file);
}

CChargedImageScope::CChargedImageScope(const char* file)
    : m_File(file)
    , m_Outer(t_Scope)
{
    t_Scope = this;
}

CChargedImageScope::~CChargedImageScope()
{
    t_Scope = m_Outer;
}

bool DataPixelsFitBeforeDecode(uint32_t width, uint32_t height)
{
    CChargedImageScope* scope = t_Scope;
    if (!scope || DataPixelsFit(uint64_t(width) * height, scope->m_File))
        return true;
    scope->m_Refused = true;
    return false;
}

bool ChargeDataPixels(CFrame& frame, const char* file)
{
    const uint64_t bytes = uint64_t(frame.GetWidth()) * frame.GetHeight() * 4;
    SLedger& ledger = Ledger();
    std::lock_guard<std::mutex> hold(ledger.lock);
    if (!Fits(ledger, bytes, file))
        return false;
    // Every caller charges a new frame; one charged already keeps its share.
    if (ledger.shares.emplace(&frame, bytes).second) {
        ledger.held += bytes;
        g_Charged.fetch_add(1);
    }
    return true;
}

void ReleaseDataPixels(const CFrame& frame)
{
    if (g_Charged.load() == 0)
        return;
    SLedger& ledger = Ledger();
    std::lock_guard<std::mutex> hold(ledger.lock);
    auto at = ledger.shares.find(&frame);
    if (at == ledger.shares.end())
        return;
    ledger.held -= at->second;
    ledger.shares.erase(at);
    g_Charged.fetch_sub(1);
}

uint64_t GetDataPixelBytesHeld()
{
    SLedger& ledger = Ledger();
    std::lock_guard<std::mutex> hold(ledger.lock);
    return ledger.held;
}

uint64_t SetDataPixelBudget(uint64_t bytes)
{
    SLedger& ledger = Ledger();
    std::lock_guard<std::mutex> hold(ledger.lock);
    const uint64_t before = ledger.budget;
    ledger.budget = bytes;
    return before;
}
