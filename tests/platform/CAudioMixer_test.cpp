#include "platform/CAudioMixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using plat::CAudioBuffer;
using plat::CAudioMixer;
using plat::PcmFormat;

// The mixing rule written out plainly, one output frame at a time, for one
// voice: what the mixer must produce sample for sample.
struct ReferenceVoice {
    PcmFormat format;
    std::vector<uint8_t> data;
    uint32_t frequency = 0;
    int32_t volume = 0;
    int32_t pan = 0;
    bool loop = false;
};

int32_t ReferenceGain(int32_t cdB)
{
    if (cdB <= -10000)
        return 0;
    return int32_t(std::lround(65536.0 * std::pow(10.0, cdB / 2000.0)));
}

int32_t SampleOf(const ReferenceVoice& v, uint64_t frame, int channel)
{
    const uint64_t index = frame * v.format.channels + uint64_t(channel);
    if (v.format.bits == 8)
        return (int32_t(v.data[index]) - 128) * 256;
    return int16_t(v.data[2 * index] | (v.data[2 * index + 1] << 8));
}

std::vector<int32_t> ReferenceMix(const ReferenceVoice& v, uint32_t outFrames, bool stereoOut)
{
    std::vector<int32_t> out(size_t(outFrames) * 2, 0);
    const uint64_t frames = v.data.size() / v.format.BlockAlign();
    const uint64_t step = (uint64_t(v.frequency) << 32) / 44100;
    const int32_t left = ReferenceGain(std::max(v.volume - std::max(v.pan, 0), -10000));
    const int32_t right = ReferenceGain(std::max(v.volume + std::min(v.pan, 0), -10000));
    const int32_t mono = ReferenceGain(v.volume);
    uint64_t position = 0;
    for (uint32_t i = 0; i < outFrames; ++i) {
        uint64_t frame = position >> 32;
        if (frame >= frames) {
            if (!v.loop)
                break;
            position %= frames << 32;
            frame = position >> 32;
        }
        const uint64_t next = frame + 1 < frames ? frame + 1 : (v.loop ? 0 : frame);
        const int32_t f = int32_t((position >> 17) & 0x7FFF);
        int32_t channel[2];
        for (int c = 0; c < 2; ++c) {
            const int source = v.format.channels == 2 ? c : 0;
            const int32_t s0 = SampleOf(v, frame, source), s1 = SampleOf(v, next, source);
            channel[c] = s0 + (((s1 - s0) * f) >> 15);
        }
        if (stereoOut) {
            out[2 * i] = (channel[0] * left) >> 16;
            out[2 * i + 1] = (channel[1] * right) >> 16;
        } else {
            const int32_t m = v.format.channels == 2 ? (channel[0] + channel[1]) >> 1 : channel[0];
            out[2 * i] = out[2 * i + 1] = (m * mono) >> 16;
        }
        position += step;
    }
    return out;
}

std::vector<uint8_t> Ramp(size_t bytes, uint32_t seed)
{
    std::vector<uint8_t> data(bytes);
    uint32_t x = seed;
    for (uint8_t& b : data) {
        x = x * 1103515245u + 12345u;
        b = uint8_t(x >> 16);
    }
    return data;
}

std::unique_ptr<CAudioBuffer> MakeBuffer(CAudioMixer& mixer, const ReferenceVoice& v)
{
    auto buffer = mixer.CreateBuffer(v.format, uint32_t(v.data.size()));
    EXPECT_TRUE(buffer);
    uint8_t *p1 = nullptr, *p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    EXPECT_TRUE(buffer->Lock(0, uint32_t(v.data.size()), &p1, &n1, &p2, &n2));
    std::memcpy(p1, v.data.data(), n1);
    buffer->Unlock();
    buffer->SetFrequency(v.frequency);
    buffer->SetVolume(v.volume);
    buffer->SetPan(v.pan);
    return buffer;
}

std::vector<int32_t> Render(CAudioMixer& mixer, uint32_t frames)
{
    std::vector<int16_t> out(size_t(frames) * 2);
    mixer.Render(out.data(), frames);
    return std::vector<int32_t>(out.begin(), out.end());
}

// --- One voice against the reference ---

struct MixCase {
    const char* name;
    uint16_t channels, bits;
    uint32_t dataRate, frequency;
    int32_t volume, pan;
    bool loop, stereoOut;
    uint32_t outFrames;
};

class MixerTest : public testing::TestWithParam<MixCase> {};

TEST_P(MixerTest, MatchesTheReferenceSampleForSample)
{
    const MixCase& c = GetParam();
    ReferenceVoice v;
    v.format = PcmFormat{c.channels, c.dataRate, c.bits};
    v.data = Ramp(size_t(700) * v.format.BlockAlign(), 7);
    v.frequency = c.frequency;
    v.volume = c.volume;
    v.pan = c.pan;
    v.loop = c.loop;
    CAudioMixer mixer;
    mixer.SetStereo(c.stereoOut);
    auto buffer = MakeBuffer(mixer, v);
    buffer->Play(c.loop);
    // Pulled in uneven pieces, as a device does.
    std::vector<int32_t> got = Render(mixer, 333);
    const std::vector<int32_t> rest = Render(mixer, c.outFrames - 333);
    got.insert(got.end(), rest.begin(), rest.end());
    EXPECT_EQ(got, ReferenceMix(v, c.outFrames, c.stereoOut));
    EXPECT_EQ(buffer->IsPlaying(), c.loop || uint64_t(c.outFrames) * c.frequency < 700ull * 44100);
}

INSTANTIATE_TEST_SUITE_P(Voices, MixerTest,
                         testing::Values(MixCase{"FullVolume16Mono", 1, 16, 44100, 44100, 0, 0, false, true, 600},
                                         MixCase{"Volume600", 1, 16, 44100, 44100, -600, 0, false, true, 600},
                                         MixCase{"PanRight", 2, 16, 44100, 44100, -100, 2500, false, true, 600},
                                         MixCase{"PanFullLeft", 1, 16, 44100, 44100, 0, -10000, false, true, 600},
                                         MixCase{"SilentAtMinus10000", 1, 16, 44100, 44100, -10000, 0, false, true,
                                                 600},
                                         MixCase{"HalfRateInterpolates", 1, 16, 22050, 22050, 0, 0, false, true, 1500},
                                         MixCase{"OddRateStereo", 2, 16, 22050, 30011, -300, 700, false, true, 1500},
                                         MixCase{"FastRateRunsOut", 1, 16, 44100, 100000, 0, 0, false, true, 1500},
                                         MixCase{"SlowestRate", 2, 8, 8000, 100, 0, 0, false, true, 1200},
                                         MixCase{"EightBitStereo", 2, 8, 11025, 11025, -50, -400, false, true, 1500},
                                         MixCase{"LoopWraps", 1, 16, 44100, 32000, 0, 0, true, true, 3000},
                                         MixCase{"MonoOutput", 2, 16, 44100, 44100, -200, 3000, false, false, 600},
                                         MixCase{"MonoOutputEightBit", 1, 8, 22050, 22050, 0, 0, true, false, 1600}),
                         [](const testing::TestParamInfo<MixCase>& testInfo) { return testInfo.param.name; });

// --- Several voices, cursors, lifetime ---

TEST(MixerVoices, SumsVoicesAndClampsTo16Bits)
{
    CAudioMixer mixer;
    const PcmFormat format{1, 44100, 16};
    std::vector<std::unique_ptr<CAudioBuffer>> buffers;
    for (int16_t value : {30000, 10000}) {
        auto b = mixer.CreateBuffer(format, 200);
        uint8_t *p = nullptr, *q = nullptr;
        uint32_t n = 0, m = 0;
        ASSERT_TRUE(b->Lock(0, 200, &p, &n, &q, &m));
        for (uint32_t i = 0; i < n; i += 2) {
            p[i] = uint8_t(value & 0xFF);
            p[i + 1] = uint8_t(uint16_t(value) >> 8);
        }
        b->Unlock();
        b->Play(true);
        buffers.push_back(std::move(b));
    }
    const std::vector<int32_t> out = Render(mixer, 4);
    EXPECT_EQ(out, std::vector<int32_t>(8, 32767));
    buffers[0]->SetVolume(-10000);
    EXPECT_EQ(Render(mixer, 1), (std::vector<int32_t>{10000, 10000}));
}

TEST(MixerVoices, CursorsFollowPlaybackAndPositionMoves)
{
    CAudioMixer mixer;
    auto buffer = mixer.CreateBuffer(PcmFormat{2, 44100, 16}, 40000);
    uint32_t play = 1, write = 0;
    buffer->GetCursors(&play, &write);
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(write, 441u * 4) << "10 ms ahead";
    buffer->Play(true);
    Render(mixer, 1000);
    buffer->GetCursors(&play, &write);
    EXPECT_EQ(play, 4000u);
    Render(mixer, 9500); // 10000 frames make the buffer: wraps to 500
    buffer->GetCursors(&play, &write);
    EXPECT_EQ(play, 2000u);
    buffer->SetPosition(8002);
    buffer->GetCursors(&play, nullptr);
    EXPECT_EQ(play, 8000u) << "positions fall on whole frames";
}

TEST(MixerVoices, DuplicatesShareDataButNotTheirSettings)
{
    CAudioMixer mixer;
    ReferenceVoice v;
    v.format = PcmFormat{1, 44100, 16};
    v.data = Ramp(2000, 3);
    v.frequency = 44100;
    auto original = MakeBuffer(mixer, v);
    original->SetVolume(-10000);
    auto copy = original->Duplicate();
    ASSERT_TRUE(copy);
    copy->Play(false);
    EXPECT_FALSE(original->IsPlaying());
    original.reset(); // the copy keeps the data alive
    EXPECT_EQ(Render(mixer, 500), ReferenceMix(v, 500, true));
}

TEST(MixerVoices, RefusesBuffersItCannotPlay)
{
    CAudioMixer mixer;
    EXPECT_FALSE(mixer.CreateBuffer(PcmFormat{3, 44100, 16}, 600));
    EXPECT_FALSE(mixer.CreateBuffer(PcmFormat{2, 44100, 24}, 600));
    EXPECT_FALSE(mixer.CreateBuffer(PcmFormat{2, 0, 16}, 600));
    EXPECT_FALSE(mixer.CreateBuffer(PcmFormat{2, 44100, 16}, 0));
    EXPECT_FALSE(mixer.CreateBuffer(PcmFormat{2, 44100, 16}, 6)) << "not a whole number of frames";
    std::vector<std::unique_ptr<CAudioBuffer>> all;
    while (auto b = mixer.CreateBuffer(PcmFormat{1, 8000, 8}, 1))
        all.push_back(std::move(b));
    EXPECT_EQ(all.size(), CAudioMixer::kMaxVoices);
    all.pop_back();
    EXPECT_TRUE(mixer.CreateBuffer(PcmFormat{1, 8000, 8}, 1)) << "a freed voice is taken again";
}

TEST(MixerVoices, LockHandsOutTwoPartsAcrossTheEnd)
{
    CAudioMixer mixer;
    auto buffer = mixer.CreateBuffer(PcmFormat{1, 8000, 8}, 100);
    uint8_t *p1 = nullptr, *p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    ASSERT_TRUE(buffer->Lock(80, 50, &p1, &n1, &p2, &n2));
    EXPECT_EQ(n1, 20u);
    EXPECT_EQ(n2, 30u);
    EXPECT_EQ(p1 - p2, 80);
    EXPECT_FALSE(buffer->Lock(100, 1, &p1, &n1, &p2, &n2));
    EXPECT_FALSE(buffer->Lock(0, 101, &p1, &n1, &p2, &n2));
}

} // namespace
