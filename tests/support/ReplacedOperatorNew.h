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

// Every other form goes through the same pair, so no block is made by one
// allocator and freed by another (the address sanitizer reports that).
void* operator new[](std::size_t size)
{
    return ::operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return ::operator new(size, tag);
}
void operator delete[](void* block) noexcept
{
    ::operator delete(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    ::operator delete(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    ::operator delete(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    ::operator delete(block);
}
