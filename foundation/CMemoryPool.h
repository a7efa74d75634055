#pragma once
// The small-block pool: blocks up to kPoolMaxSize bytes come from per-size free
// lists in 16-byte classes, larger ones from the heap. Blocks carry no header,
// so every free passes the size given at allocation.
//
// Built with OMBRISALT_POOL_MALLOC the pool hands every block to malloc/free,
// so that sanitizers and valgrind see each one.
//
// The pool takes no locks: it belongs to the main thread, the thread that
// first allocates from it. Other threads (audio) must not allocate or free
// pooled blocks; debug builds assert it on every call.

#include <cstddef>
#include <cstdint>

inline constexpr uint32_t kPoolMaxSize = 500;
// A free item holds a link pointer and every item must be aligned for any object.
inline constexpr uint32_t kPoolClassWidth = 16;
inline constexpr uint32_t kPoolChunkBytes = 4000;

// One size class: items of one size carved from ~4,000-byte heap chunks,
// reused last-freed first. Chunks go back to the heap only at teardown.
class CFixedSizeAllocator {
public:
    CFixedSizeAllocator() = default;
    CFixedSizeAllocator(const CFixedSizeAllocator&) = delete;
    CFixedSizeAllocator& operator=(const CFixedSizeAllocator&) = delete;
    ~CFixedSizeAllocator();

    void Init(uint32_t itemSize);
    void* Allocate();
    void Free(void* item);

    uint32_t GetItemSize() const { return m_ItemSize; }
    uint32_t GetItemsPerChunk() const { return m_ItemsPerChunk; }
    uint32_t GetTotalItems() const { return m_TotalItems; }
    uint32_t GetItemsInUse() const { return m_ItemsInUse; }

private:
    struct Link {
        Link* next;
    };
    void AddChunk();

    uint32_t m_ItemSize = 0;
    Link* m_Chunks = nullptr;
    Link* m_FreeList = nullptr;
    uint32_t m_ItemsPerChunk = 64;
    uint32_t m_TotalItems = 0;
    uint32_t m_ItemsInUse = 0;
};

class CMemoryPool {
public:
    explicit CMemoryPool(uint32_t maxSize);
    CMemoryPool(const CMemoryPool&) = delete;
    CMemoryPool& operator=(const CMemoryPool&) = delete;
    ~CMemoryPool();

    void* Allocate(size_t size);
    void Free(void* block, size_t size);

    uint32_t GetMaxSize() const { return m_MaxSize; }
    uint32_t GetClassCount() const { return m_ClassCount; }
    static uint32_t ClassOf(size_t size) { return uint32_t((size + kPoolClassWidth - 1) / kPoolClassWidth); }
    const CFixedSizeAllocator& GetClass(uint32_t index) const { return m_Classes[index]; }

private:
    uint32_t m_MaxSize;
    uint32_t m_ClassCount;
    CFixedSizeAllocator* m_Classes;
};

// The process-wide pool, made on first use; null once torn down.
CMemoryPool* GetMemoryPool();
void DestroyMemoryPool();

void* PoolAllocate(size_t size);
void PoolFree(void* block, size_t size);
// Whether the calling thread may use the pool: the first thread to allocate
// owns it from then on.
bool IsPoolOwnerThread();

// Counts heap growths of CList; past the first thousand each one is reported
// on the debug output so that hot lists can move to CArrayPOD.
void NoteNonPooledListAllocation();
uint32_t GetNonPooledListAllocationCount();

// Base of small engine objects: class-level new and delete go through the pool
// with the object's size.
class CPooledClassBase {
public:
    static void* operator new(size_t size) { return PoolAllocate(size); }
    static void operator delete(void* block, size_t size) { PoolFree(block, size); }

protected:
    CPooledClassBase() = default;
    ~CPooledClassBase() = default;
};
