#include "platform/CAudioMixer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

// Counts the allocations of a thread while it says so: the audio callback
// must make none.
namespace {
thread_local bool g_Counting = false;
thread_local int g_Allocations = 0;
} // namespace

void* operator new(std::size_t size)
{
    if (g_Counting)
        ++g_Allocations;
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

namespace {

TEST(MixerCallback, MixesWithoutAllocating)
{
    plat::CAudioMixer mixer;
    std::vector<std::unique_ptr<plat::CAudioBuffer>> voices;
    for (uint16_t i = 0; i < 40; ++i) {
        auto buffer = mixer.CreateBuffer(plat::PcmFormat{uint16_t(1 + i % 2), 22050, uint16_t(i % 3 ? 16 : 8)}, 4000);
        buffer->SetFrequency(8000 + 2000u * i);
        buffer->SetPan(i * 300 - 6000);
        buffer->Play(i % 2 == 0);
        voices.push_back(std::move(buffer));
    }
    std::vector<int16_t> out(2 * 5000);
    g_Counting = true;
    mixer.Render(out.data(), 5000); // more than one internal chunk; some voices end
    mixer.SetStereo(false);
    mixer.Render(out.data(), 700);
    g_Counting = false;
    EXPECT_EQ(g_Allocations, 0);
}

} // namespace
