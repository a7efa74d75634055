#pragma once
// Replaces the global operator new and delete of the test program whose one
// file includes this (a second file would define them twice): each request
// of a thread is shown to that thread's observer, which may refuse it. The
// blocks come from malloc and go back to free, so the sanitizers still see
// every one.

#include <cstddef>
#include <cstdlib>
#include <new>

// Answers false to refuse the request; operator new then throws bad_alloc.
using RequestObserver = bool (*)(std::size_t size);
inline thread_local RequestObserver g_RequestObserver = nullptr;

void* operator new(std::size_t size)
{
    if (g_RequestObserver && !g_RequestObserver(size))
        throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

// The replacement pair is malloc and free; the compiler cannot tell.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    ::operator delete(block);
}
