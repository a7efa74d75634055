#include "foundation/CMemoryPool.h"

#include <gtest/gtest.h>

#include <thread>

#include <cstdint>
#include <vector>

namespace {

TEST(MemoryPool, ServesFromClassesAndHeap)
{
    CMemoryPool pool(kPoolMaxSize);
    void* zero = pool.Allocate(0);
    EXPECT_EQ(pool.GetClass(0).GetItemsInUse(), 1u);
    void* big = pool.Allocate(500);
    EXPECT_EQ(pool.GetClass(32).GetItemsInUse(), 1u);
    void* heap = pool.Allocate(501);
    uint32_t inUse = 0;
    for (uint32_t i = 0; i < pool.GetClassCount(); ++i)
        inUse += pool.GetClass(i).GetItemsInUse();
    EXPECT_EQ(inUse, 2u);
    pool.Free(zero, 0);
    pool.Free(big, 500);
    pool.Free(heap, 501);
    pool.Free(nullptr, 8);
    EXPECT_EQ(pool.GetClass(0).GetItemsInUse(), 0u);
    EXPECT_EQ(pool.GetClass(32).GetItemsInUse(), 0u);
}

TEST(MemoryPool, ItemsAreAlignedAndReusedLastFreedFirst)
{
    CMemoryPool pool(kPoolMaxSize);
    std::vector<void*> items;
    for (int i = 0; i < 300; ++i) {
        items.push_back(pool.Allocate(40));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(items.back()) % 16, 0u);
    }
    // A fresh chunk hands out its items in ascending address order.
    EXPECT_LT(items[0], items[1]);
    EXPECT_EQ(pool.GetClass(3).GetItemsPerChunk(), 83u); // 4000 / 48
    EXPECT_EQ(pool.GetClass(3).GetTotalItems(), 4 * 83u);
    pool.Free(items[5], 40);
    pool.Free(items[9], 40);
    EXPECT_EQ(pool.Allocate(40), items[9]);
    EXPECT_EQ(pool.Allocate(40), items[5]);
    for (void* item : items)
        pool.Free(item, 40);
}

// Passes the pool's sized delete on, remembering the size it was given.
struct Pooled : CPooledClassBase {
    virtual ~Pooled() = default;
    static void operator delete(void* block, size_t size)
    {
        g_FreedSize = size;
        CPooledClassBase::operator delete(block, size);
    }
    static inline size_t g_FreedSize = 0;
    char payload[24] = {};
};
struct PooledDerived : Pooled {
    char more[200] = {};
};

TEST(MemoryPool, PooledObjectsFreeWithTheirOwnSize)
{
    // Deleting through the base must hand the pool the derived size, or the
    // block goes back to the wrong size class.
    Pooled* a = new PooledDerived;
    Pooled* b = new Pooled;
#if !OMBRISALT_POOL_MALLOC
    const CFixedSizeAllocator& large = GetMemoryPool()->GetClass(CMemoryPool::ClassOf(sizeof(PooledDerived)));
    const CFixedSizeAllocator& small = GetMemoryPool()->GetClass(CMemoryPool::ClassOf(sizeof(Pooled)));
    const uint32_t largeInUse = large.GetItemsInUse();
    const uint32_t smallInUse = small.GetItemsInUse();
#endif
    delete a;
    EXPECT_EQ(Pooled::g_FreedSize, sizeof(PooledDerived));
#if !OMBRISALT_POOL_MALLOC
    EXPECT_EQ(large.GetItemsInUse(), largeInUse - 1);
    EXPECT_EQ(small.GetItemsInUse(), smallInUse);
#endif
    delete b;
    EXPECT_EQ(Pooled::g_FreedSize, sizeof(Pooled));
#if !OMBRISALT_POOL_MALLOC
    EXPECT_EQ(small.GetItemsInUse(), smallInUse - 1);
#endif
}

} // namespace

namespace {

TEST(MemoryPoolDeathTest, AnotherThreadMayNotUseThePool)
{
#ifdef NDEBUG
    GTEST_SKIP() << "the owner check is a debug-build assertion";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    PoolFree(PoolAllocate(16), 16); // this thread owns the pool
    EXPECT_TRUE(IsPoolOwnerThread());
    EXPECT_DEATH(
        {
            std::thread other([] { PoolFree(PoolAllocate(16), 16); });
            other.join();
        },
        "main-thread only");
#endif
}

} // namespace
