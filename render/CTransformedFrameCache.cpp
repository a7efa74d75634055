#include "render/CTransformedFrameCache.h"

#include "foundation/CPerformanceMonitor.h"
#include "images/CFrame.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CPObjectProperty.h"
#include "objects/CSlotProperty.h"

#include <algorithm>
#include <cmath>
#include <utility>

OMBRISALT_IMPLEMENT_CLASS(CTransformedFrame, 1.0)
void CTransformedFrame::DeclareProperties(CPropertyDeclarer&) {}
OMBRISALT_IMPLEMENT_CLASS(CTransformedFrameCache, 1.0)
void CTransformedFrameCache::DeclareProperties(CPropertyDeclarer&) {}
OMBRISALT_IMPLEMENT_CLASS(CTransformedFrameCacheProxyFrame, 1.0)
void CTransformedFrameCacheProxyFrame::DeclareProperties(CPropertyDeclarer&) {}

namespace {

// Every live cache, for the byte budget. Never destroyed, so frames
// destroyed during exit still find it.
struct SCacheRegistry {
    std::vector<CTransformedFrameCache*> caches;
    uint64_t bytes = 0;
    uint64_t budget = kDefaultTransformedFrameBudget;
    uint64_t clock = 0;
    // Frames being transformed right now; eviction leaves them alone.
    std::vector<const CFrameInterface*> busy;
};

SCacheRegistry& Registry()
{
    static auto* registry = new SCacheRegistry;
    return *registry;
}

using CCacheProperty = CSlotProperty<CTypedPObjectProperty<CTransformedFrameCache>>;

CCacheProperty& CacheProperty()
{
    static CCacheProperty* property = [] {
        auto* made = new CCacheProperty("Transformed Frame Cache", nullptr);
        made->SetSavedIn(SavedIn::Nowhere);
        made->AddAsDynamicProperty(CFrameInterface::SGetClassInfo(), DynamicKind::Optional);
        return made;
    }();
    return *property;
}

// Drops least recently used entries, never a busy frame, until extra more
// bytes fit the budget or nothing else can go.
void MakeRoom(uint64_t extra)
{
    SCacheRegistry& registry = Registry();
    while (registry.bytes + extra > registry.budget) {
        CTransformedFrameCache* oldestCache = nullptr;
        uint32_t oldestIndex = 0;
        uint64_t oldestStamp = UINT64_MAX;
        for (CTransformedFrameCache* cache : registry.caches)
            for (uint32_t i = 0; i < cache->GetCount(); ++i) {
                CTransformedFrame& entry = cache->GetEntry(i);
                const bool busy
                    = std::find(registry.busy.begin(), registry.busy.end(), entry.GetFrame()) != registry.busy.end();
                if (!busy && entry.GetLastUse() < oldestStamp) {
                    oldestStamp = entry.GetLastUse();
                    oldestCache = cache;
                    oldestIndex = i;
                }
            }
        if (!oldestCache)
            return;
        // May destroy other caches (of the evicted frame): the scan restarts.
        oldestCache->Remove(oldestIndex);
    }
}

bool FitsFrame(const CRect& r)
{
    return r.left >= INT16_MIN && r.top >= INT16_MIN && r.left <= INT16_MAX && r.top <= INT16_MAX && r.GetWidth() > 0
        && r.GetHeight() > 0 && r.GetWidth() <= 0xFFFF && r.GetHeight() <= 0xFFFF;
}

} // namespace

uint64_t SetTransformedFrameBudget(uint64_t bytes)
{
    const uint64_t previous = std::exchange(Registry().budget, bytes);
    MakeRoom(0);
    return previous;
}

uint64_t GetTransformedFrameBudget()
{
    return Registry().budget;
}

uint64_t GetTransformedFrameBytes()
{
    return Registry().bytes;
}

// ---- CTransformedFrame.

CTransformedFrame::CTransformedFrame()
{
    InitDeclaredProperties();
}

CTransformedFrame::CTransformedFrame(const CBlitXParams& transform)
    : m_Transform(transform)
{
    InitDeclaredProperties();
}

CTransformedFrame::~CTransformedFrame()
{
    DestroyDeclaredProperties();
}

void CTransformedFrame::SetFrame(std::unique_ptr<CFrame> frame)
{
    m_Frame = std::move(frame);
}

uint64_t CTransformedFrame::GetByteSize() const
{
    return m_Frame ? uint64_t(m_Frame->GetWidth()) * m_Frame->GetHeight() * m_Frame->GetBytesPerPixel() : 0;
}

bool CTransformedFrame::Matches(const CBlitXParams& t) const
{
    const CBlitXParams& k = m_Transform;
    return k.m_Angle == t.m_Angle && k.m_ScaleX == t.m_ScaleX && k.m_ScaleY == t.m_ScaleY
        && k.m_HotSpotX == t.m_HotSpotX && k.m_HotSpotY == t.m_HotSpotY && k.m_Color == t.m_Color
        && k.m_Flags == t.m_Flags;
}

// ---- CTransformedFrameCache.

CTransformedFrameCache::CTransformedFrameCache()
{
    InitDeclaredProperties();
    Registry().caches.push_back(this);
}

CTransformedFrameCache::~CTransformedFrameCache()
{
    while (!m_Entries.empty())
        Remove(uint32_t(m_Entries.size() - 1));
    auto& caches = Registry().caches;
    caches.erase(std::remove(caches.begin(), caches.end(), this), caches.end());
    DestroyDeclaredProperties();
}

void CTransformedFrameCache::Remove(uint32_t i)
{
    std::unique_ptr<CTransformedFrame> entry = std::move(m_Entries[i]);
    m_Entries.erase(m_Entries.begin() + i);
    Registry().bytes -= entry->GetByteSize();
    // Destroying the frame may destroy caches hanging off it.
    entry.reset();
}

CFrame* CTransformedFrameCache::Find(CFrameInterface& source, CBlitXParams& transform)
{
    static CPerformanceMonitor hitZone("TransformedFrameCache_HIT");
    static CPerformanceMonitor missZone("TransformedFrameCache_MISS");
    SCacheRegistry& registry = Registry();
    for (const auto& entry : m_Entries)
        if (entry->Matches(transform)) {
            CPerformanceMonitorScope scope(hitZone);
            entry->SetLastUse(++registry.clock);
            return entry->GetFrame();
        }
    CPerformanceMonitorScope scope(missZone);
    std::unique_ptr<CFrame> frame = BuildTransformedFrame(source, transform);
    CFrame* result = frame.get();
    Add(std::move(frame), transform);
    return result;
}

void CTransformedFrameCache::Add(std::unique_ptr<CFrame> frame, const CBlitXParams& transform)
{
    static CPerformanceMonitor zone("TransformedFrameCache_Add");
    CPerformanceMonitorScope scope(zone);
    auto entry = std::make_unique<CTransformedFrame>(transform);
    entry->SetFrame(std::move(frame));
    SCacheRegistry& registry = Registry();
    // The source's own frame must survive making room for its copy.
    registry.busy.push_back(transform.m_Source);
    MakeRoom(entry->GetByteSize());
    registry.busy.pop_back();
    registry.bytes += entry->GetByteSize();
    entry->SetLastUse(++registry.clock);
    m_Entries.push_back(std::move(entry));
}

CTransformedFrameCache* GetTransformedFrameCache(CFrameInterface& source)
{
    return dynamic_cast<CTransformedFrameCache*>(CacheProperty().GetDynamicValue(&source));
}

CFrame* TransformedFrameCache_Get(CFrameInterface& source, CBlitXParams& transform)
{
    static CPerformanceMonitor zone("TransformedFrameCache_Get");
    CPerformanceMonitorScope scope(zone);
    CTransformedFrameCache* cache = GetTransformedFrameCache(source);
    if (!cache) {
        cache = new CTransformedFrameCache;
        CacheProperty().SetDynamicValue(&source, cache);
    }
    return cache->Find(source, transform);
}

std::unique_ptr<CFrame> BuildTransformedFrame(CFrameInterface& source, CBlitXParams& transform)
{
    transform.m_Source = &source;
    auto frame = std::make_unique<CFrame>();
    transform.m_DrawEnabled = false;
    transform.Render(*frame);
    transform.m_DrawEnabled = true;
    const CRect bounds = transform.m_DrawnBounds;
    // The transformed blit writes 32-bit pixels, whatever depth frames are
    // otherwise built at.
    if (!FitsFrame(bounds)) {
        frame->Create(1, 1, 32);
        return frame;
    }
    frame->Create(uint32_t(bounds.GetWidth()), uint32_t(bounds.GetHeight()), 32);
    frame->SetOffset(int16_t(bounds.left), int16_t(bounds.top));
    const uint32_t flags = transform.m_Flags;
    transform.m_Flags = flags | CRenderableObject::kRespectDestinationAlpha | CBlitXParams::kFiltered;
    transform.Render(*frame);
    transform.m_Flags = flags;
    return frame;
}

// ---- CTransformedFrameCacheProxyFrame.

CTransformedFrameCacheProxyFrame::CTransformedFrameCacheProxyFrame()
{
    InitDeclaredProperties();
}

CTransformedFrameCacheProxyFrame::~CTransformedFrameCacheProxyFrame()
{
    DestroyDeclaredProperties();
}

bool CTransformedFrameCacheProxyFrame::Render(CRenderableObject& renderable)
{
    if (!renderable.IsKindOf(CBlitXParams::SGetClassInfo()))
        return m_Source->Render(renderable);
    auto& given = static_cast<CBlitXParams&>(renderable);
    CBlitXParams copy(given);
    const float x = std::nearbyintf(given.m_X), y = std::nearbyintf(given.m_Y);
    const CColor white(255, 255, 255, 255);
    if (copy.m_Angle == 0.0f && copy.m_ScaleX == 1.0f && copy.m_ScaleY == 1.0f && copy.m_Color == white
        && copy.m_Color.GetAlpha() == 255) {
        copy.m_X = x, copy.m_Y = y;
        return m_Source->Render(copy);
    }
    if (!copy.m_Source)
        return false;
    copy.m_X = 0.0f, copy.m_Y = 0.0f;
    copy.m_ClipEnabled = false;
    CFrame* cached = TransformedFrameCache_Get(*copy.m_Source, copy);
    copy.m_Source = cached;
    copy.m_ClipEnabled = given.m_ClipEnabled;
    copy.m_Angle = 0.0f;
    copy.m_ScaleX = 1.0f, copy.m_ScaleY = 1.0f;
    copy.m_Color.SetCurrentPaletteColor(255, 255, 255, 255);
    // The cached frame already has the hot spot at its origin.
    copy.m_HotSpotX = 0.0f, copy.m_HotSpotY = 0.0f;
    copy.m_X = x, copy.m_Y = y;
    return m_Source->Render(copy);
}
