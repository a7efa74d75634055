#include "platform/CAudioMixer.h"

#include "support/ReplacedOperatorNew.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Counts the allocations of a thread while it says so: the audio callback
// must make none.
thread_local int g_Allocations = 0;

bool CountAllocation(std::size_t)
{
    ++g_Allocations;
    return true;
}

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
    g_RequestObserver = &CountAllocation;
    mixer.Render(out.data(), 5000); // more than one internal chunk; some voices end
    mixer.SetStereo(false);
    mixer.Render(out.data(), 700);
    g_RequestObserver = nullptr;
    EXPECT_EQ(g_Allocations, 0);
}

} // namespace
