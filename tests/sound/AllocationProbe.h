#pragma once
// The most heap bytes a piece of code holds at once, counted through the
// sanitizers' allocation hooks: every malloc and operator new of the process,
// the C libraries' included, and whether it was kept or given back. Only
// the builds with AddressSanitizer or ThreadSanitizer can count; elsewhere
// CanCount is false and a test skips.

#include <atomic>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define OMBRISALT_ALLOCATION_PROBE 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define OMBRISALT_ALLOCATION_PROBE 1
#endif
#endif

#ifdef OMBRISALT_ALLOCATION_PROBE
// The sanitizer runtimes' allocator interface (not every compiler installs
// its header).
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*, size_t),
                                              void (*freeHook)(const volatile void*));
size_t __sanitizer_get_current_allocated_bytes();
}
#endif

class CAllocationProbe {
public:
    CAllocationProbe()
    {
#ifdef OMBRISALT_ALLOCATION_PROBE
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
        m_Installed = installed;
        Base().store(__sanitizer_get_current_allocated_bytes());
        Peak().store(0);
        Active().store(true);
#endif
    }
    ~CAllocationProbe() { Active().store(false); }
    CAllocationProbe(const CAllocationProbe&) = delete;
    CAllocationProbe& operator=(const CAllocationProbe&) = delete;

    bool CanCount() const { return m_Installed; }
    // Bytes above what was held when the probe began, at their highest.
    size_t PeakBytes() const { return Peak().load(); }

private:
    static std::atomic<bool>& Active()
    {
        static std::atomic<bool> active{false};
        return active;
    }
    static std::atomic<size_t>& Base()
    {
        static std::atomic<size_t> base{0};
        return base;
    }
    static std::atomic<size_t>& Peak()
    {
        static std::atomic<size_t> peak{0};
        return peak;
    }
#ifdef OMBRISALT_ALLOCATION_PROBE
    // Called after each allocation, which the heap's total already counts.
    static void OnMalloc(const volatile void*, size_t)
    {
        if (!Active().load())
            return;
        const size_t now = __sanitizer_get_current_allocated_bytes();
        const size_t base = Base().load();
        const size_t above = now > base ? now - base : 0;
        size_t peak = Peak().load();
        while (above > peak && !Peak().compare_exchange_weak(peak, above)) {}
    }
    // Frees lower the total, which the next allocation reads.
    static void OnFree(const volatile void*) {}
#endif

    bool m_Installed = false;
};
