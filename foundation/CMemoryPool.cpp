#include "foundation/CMemoryPool.h"

#include "platform/Debug.h"

#include <cassert>
#include <cstdlib>
#include <new>
#include <thread>

CFixedSizeAllocator::~CFixedSizeAllocator()
{
    // Live items may still be reachable from objects that outlive the pool.
    if (m_ItemsInUse != 0)
        return;
    while (m_Chunks) {
        Link* older = m_Chunks->next;
        std::free(m_Chunks);
        m_Chunks = older;
    }
}

void CFixedSizeAllocator::Init(uint32_t itemSize)
{
    m_ItemSize = itemSize;
    m_ItemsPerChunk = kPoolChunkBytes / itemSize;
}

void CFixedSizeAllocator::AddChunk()
{
    // The link word is padded to a full class width so that items stay aligned.
    auto* chunk = static_cast<Link*>(std::malloc(kPoolClassWidth + size_t(m_ItemsPerChunk) * m_ItemSize));
    if (!chunk)
        throw std::bad_alloc();
    chunk->next = m_Chunks;
    m_Chunks = chunk;
    char* first = reinterpret_cast<char*>(chunk) + kPoolClassWidth;
    // Thread the items in ascending address order, lowest first.
    Link* tail = m_FreeList;
    for (uint32_t i = m_ItemsPerChunk; i-- > 0;) {
        auto* item = reinterpret_cast<Link*>(first + size_t(i) * m_ItemSize);
        item->next = tail;
        tail = item;
    }
    m_FreeList = tail;
    m_TotalItems += m_ItemsPerChunk;
}

void* CFixedSizeAllocator::Allocate()
{
    if (!m_FreeList)
        AddChunk();
    Link* item = m_FreeList;
    m_FreeList = item->next;
    ++m_ItemsInUse;
    return item;
}

void CFixedSizeAllocator::Free(void* block)
{
    auto* item = static_cast<Link*>(block);
    item->next = m_FreeList;
    m_FreeList = item;
    --m_ItemsInUse;
}

CMemoryPool::CMemoryPool(uint32_t maxSize)
    : m_MaxSize(maxSize)
    , m_ClassCount(ClassOf(maxSize) + 1)
    , m_Classes(new CFixedSizeAllocator[m_ClassCount])
{
    for (uint32_t i = 0; i < m_ClassCount; ++i)
        m_Classes[i].Init(i == 0 ? kPoolClassWidth : i * kPoolClassWidth);
}

CMemoryPool::~CMemoryPool()
{
    delete[] m_Classes;
}

void* CMemoryPool::Allocate(size_t size)
{
    if (size <= m_MaxSize)
        return m_Classes[ClassOf(size)].Allocate();
    void* block = std::malloc(size);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void CMemoryPool::Free(void* block, size_t size)
{
    if (!block)
        return;
    if (size <= m_MaxSize)
        m_Classes[ClassOf(size)].Free(block);
    else
        std::free(block);
}

namespace {

CMemoryPool* g_Pool = nullptr;
bool g_PoolDestroyed = false;
uint32_t g_NonPooledListAllocations = 0;

std::thread::id& PoolOwner()
{
    static std::thread::id owner = std::this_thread::get_id();
    return owner;
}

// Constructed before anything else in this program can use the pool (it is
// made on the first pool call of static initialisation), so its destructor is
// the last of the exit-time destructors that touch pooled blocks.
struct PoolTeardown {
    ~PoolTeardown() { DestroyMemoryPool(); }
};

} // namespace

CMemoryPool* GetMemoryPool()
{
    if (!g_Pool && !g_PoolDestroyed) {
        static PoolTeardown teardown;
        g_Pool = new CMemoryPool(kPoolMaxSize);
    }
    return g_Pool;
}

void DestroyMemoryPool()
{
    delete g_Pool;
    g_Pool = nullptr;
    g_PoolDestroyed = true;
}

bool IsPoolOwnerThread()
{
    return PoolOwner() == std::this_thread::get_id();
}

#if OMBRISALT_POOL_MALLOC

void* PoolAllocate(size_t size)
{
    assert(IsPoolOwnerThread() && "the small-block pool is main-thread only");
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void PoolFree(void* block, size_t)
{
    assert(IsPoolOwnerThread() && "the small-block pool is main-thread only");
    std::free(block);
}

#else

void* PoolAllocate(size_t size)
{
    assert(IsPoolOwnerThread() && "the small-block pool is main-thread only");
    if (CMemoryPool* pool = GetMemoryPool())
        return pool->Allocate(size);
    // After teardown only exit-time code runs; the heap serves it.
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void PoolFree(void* block, size_t size)
{
    assert(IsPoolOwnerThread() && "the small-block pool is main-thread only");
    if (!block)
        return;
    if (g_Pool)
        g_Pool->Free(block, size);
    else if (size > kPoolMaxSize)
        std::free(block);
    // After teardown pooled items belong to the process's leftover chunks.
}

#endif

void NoteNonPooledListAllocation()
{
    if (++g_NonPooledListAllocations > 1000)
        plat::DebugOutput("Warning: A CList is bing used to store items and is causing non-pooled memory allocations. "
                          "If posable, replace it with a CArrayPOD which is more efficent ");
}

uint32_t GetNonPooledListAllocationCount()
{
    return g_NonPooledListAllocations;
}
