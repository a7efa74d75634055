#include "sound/CSoundStreamPump.h"

#include "SoundTestSupport.h"
#include "foundation/CIniSection.h"
#include "platform/CAudioMixer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

// Distinct, nonzero samples, so any frame out of place shows.
std::vector<int16_t> Pattern(uint32_t frames)
{
    std::vector<int16_t> samples(frames);
    for (uint32_t i = 0; i < frames; ++i)
        samples[i] = int16_t(1 + (i * 7) % 30000);
    return samples;
}

class StreamTest : public CSoundDeviceTest {
protected:
    static constexpr uint32_t kFramesPerService = 2205; // 50 ms

    // The left channel of what plays while Service runs every 50 ms, until
    // the stream stops (or the guard runs out).
    std::vector<int16_t> PlayOut(CSoundStreamPump& stream, uint32_t guardFrames)
    {
        std::vector<int16_t> left;
        while (stream.IsPlaying() && left.size() < guardFrames) {
            const std::vector<int16_t> out = Render(kFramesPerService);
            for (size_t i = 0; i < out.size(); i += 2)
                left.push_back(out[i]);
            stream.Service();
        }
        return left;
    }
};

TEST_F(StreamTest, StreamsAFileLongerThanTheRingInOrderAndStopsAfterIt)
{
    const std::vector<int16_t> samples = Pattern(260000);
    WriteBytes("long.wav", MonoWave(samples));
    CSoundStreamPump stream(m_Device, CSoundStreamPump::Threading::Unthreaded);
    ASSERT_TRUE(stream.Open("long.wav", 0, false));
    const std::vector<int16_t> played = PlayOut(stream, 400000);
    EXPECT_FALSE(stream.IsPlaying());
    ASSERT_GE(played.size(), samples.size());
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(), played.begin()));
    EXPECT_LE(played.size(), samples.size() + 2 * kFramesPerService) << "stopped soon after the last sample";
    for (size_t i = samples.size(); i < played.size(); ++i)
        ASSERT_EQ(played[i], 0) << "silence after the end, frame " << i;
}

TEST_F(StreamTest, AShortTrackPlaysOnceAndStopsAfterItsLastFramePlayed)
{
    const std::vector<int16_t> samples = Pattern(30000);
    WriteBytes("short.wav", MonoWave(samples));
    CSoundStreamPump stream(m_Device, CSoundStreamPump::Threading::Unthreaded);
    ASSERT_TRUE(stream.Open("short.wav", 0, false));
    std::vector<int16_t> played = PlayOut(stream, 27000);
    EXPECT_TRUE(stream.IsPlaying()) << "the reader ran dry at once, but the tail still plays";
    const std::vector<int16_t> rest = PlayOut(stream, 100000);
    played.insert(played.end(), rest.begin(), rest.end());
    EXPECT_FALSE(stream.IsPlaying());
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(), played.begin()));
    EXPECT_LT(played.size(), samples.size() + 2 * kFramesPerService);
}

// 8-bit samples are unsigned: what fills the ring after the end must be
// 0x80, or the tail plays as a full-scale click.
TEST_F(StreamTest, AnEightBitStreamIsPaddedWithItsOwnSilence)
{
    std::string bytes(30000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char(0x90 + i % 16);
    WriteBytes("short8.wav", CWaveBuilder().Format(1, 1, 44100, 8).Data(bytes).Build());
    CSoundStreamPump stream(m_Device, CSoundStreamPump::Threading::Unthreaded);
    ASSERT_TRUE(stream.Open("short8.wav", 0, false));
    const std::vector<int16_t> played = PlayOut(stream, 100000);
    EXPECT_FALSE(stream.IsPlaying());
    ASSERT_GT(played.size(), bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i)
        ASSERT_EQ(played[i], (uint8_t(bytes[i]) - 128) * 256) << "frame " << i;
    for (size_t i = bytes.size(); i < played.size(); ++i)
        ASSERT_EQ(played[i], 0) << "silence after the end, frame " << i;
}

TEST_F(StreamTest, ALoopingStreamRestartsAtItsFirstSample)
{
    const std::vector<int16_t> samples = Pattern(70000);
    WriteBytes("loop.wav", MonoWave(samples));
    CSoundStreamPump stream(m_Device, CSoundStreamPump::Threading::Unthreaded);
    ASSERT_TRUE(stream.Open("loop.wav", 0, true));
    const std::vector<int16_t> played = PlayOut(stream, 3 * 70000 + 100);
    EXPECT_TRUE(stream.IsPlaying());
    for (size_t i = 0; i < 3 * samples.size(); ++i)
        ASSERT_EQ(played[i], samples[i % samples.size()]) << "frame " << i;
}

TEST_F(StreamTest, UnthreadedStreamsAdvanceOnlyWithService)
{
    WriteBytes("long.wav", MonoWave(Pattern(260000)));
    CSoundStreamPump stream(m_Device, CSoundStreamPump::Threading::Unthreaded);
    ASSERT_TRUE(stream.Open("long.wav", 0, false));
    const std::vector<int16_t> first = Render(100000); // the whole ring
    const std::vector<int16_t> again = Render(1000);
    EXPECT_TRUE(std::equal(again.begin(), again.end(), first.begin())) << "the ring replays unrefilled";
}

TEST_F(StreamTest, StartOffsetsSkipDecodedBytes)
{
    const std::vector<int16_t> samples = Pattern(20000);
    WriteBytes("a.wav", MonoWave(samples));
    CSoundStreamPump stream(m_Device, CSoundStreamPump::Threading::Unthreaded);
    ASSERT_TRUE(stream.Open("a.wav", 2000, false));
    const std::vector<int16_t> played = PlayOut(stream, 40000);
    EXPECT_TRUE(std::equal(samples.begin() + 1000, samples.end(), played.begin()));

    ASSERT_TRUE(stream.Open("a.wav", 1000000, false)) << "an offset past the end plays nothing";
    const std::vector<int16_t> nothing = PlayOut(stream, 40000);
    EXPECT_FALSE(stream.IsPlaying());
    EXPECT_EQ(std::count(nothing.begin(), nothing.end(), 0), std::ptrdiff_t(nothing.size()));
}

TEST_F(StreamTest, OpensNothingForAnEmptyOrUnreadableName)
{
    WriteBytes("bad.ogg", "no sound here");
    CSoundStreamPump stream(m_Device, CSoundStreamPump::Threading::Unthreaded);
    EXPECT_FALSE(stream.Open("", 0, false));
    EXPECT_FALSE(stream.Open(nullptr, 0, false));
    EXPECT_FALSE(stream.Open("missing.ogg", 0, false));
    EXPECT_FALSE(stream.Open("bad.ogg", 0, false));
    EXPECT_FALSE(stream.IsPlaying());
}

TEST_F(StreamTest, VolumeBelowTheAudibleRangeSilencesTheStream)
{
    WriteBytes("c.wav", MonoWave(Constant(50000, 20000)));
    CSoundStreamPump stream(m_Device, CSoundStreamPump::Threading::Unthreaded);
    ASSERT_TRUE(stream.Open("c.wav", 0, false));
    m_Device.SetMasterAttenuation(-100);
    m_Device.SetMasterScale(0.0f); // effects only
    stream.SetVolume(-3333);
    EXPECT_EQ(Render(1)[0], 0);
    stream.SetVolume(-3332);
    EXPECT_EQ(stream.GetVolume(), -3332);
    EXPECT_EQ(Render(1)[0], int16_t((20000 * int32_t(plat::CAudioMixer::GainOf(-3432))) >> 16));
}

TEST_F(StreamTest, StopAndCloseEndTheStream)
{
    WriteBytes("c.wav", MonoWave(Pattern(50000)));
    CSoundStreamPump stream(m_Device, CSoundStreamPump::Threading::Unthreaded);
    ASSERT_TRUE(stream.Open("c.wav", 0, true));
    stream.Stop();
    EXPECT_FALSE(stream.IsPlaying());
    EXPECT_EQ(Render(1)[0], 0);
    ASSERT_TRUE(stream.Open("c.wav", 0, false)) << "a stopped stream opens again";
    stream.Close();
    EXPECT_FALSE(stream.IsPlaying());
    EXPECT_FALSE(stream.Open("c.wav", 0, false)) << "a closed stream does nothing";
}

TEST_F(StreamTest, ThreadingFollowsTheSetting)
{
    EXPECT_TRUE(CSoundStreamPump(m_Device).IsThreaded());
    GetOptionsSection().SetInt("Use Threaded Stream", 0);
    EXPECT_FALSE(CSoundStreamPump(m_Device).IsThreaded());
}

TEST_F(StreamTest, WithoutADeviceAStreamDoesNothing)
{
    WriteBytes("c.wav", MonoWave(Pattern(5000)));
    m_Device.Shutdown();
    CSoundStreamPump stream(m_Device, CSoundStreamPump::Threading::Unthreaded);
    EXPECT_FALSE(stream.Open("c.wav", 0, false));
    stream.SetVolume(-100);
    EXPECT_EQ(stream.GetVolume(), 0);
}

// --- The pump thread ---

// The pump thread refills while another thread pulls the mix and this one
// services, changes the volume, stops and reopens: the threads share only
// what their locks and atomics guard. Nothing here depends on timing; the
// loops only bound how long the threads are given.
TEST_F(StreamTest, ThreadedStreamsRunBesideTheMixerAndTheMainThread)
{
    WriteBytes("long.wav", MonoWave(Pattern(120000)));
    WriteBytes("short.ogg", EncodeVorbis(Sine(30000, 1, 50.0, 0.3), 1, 22050));
    std::atomic<bool> done{false};
    std::thread mixer([this, &done] {
        std::vector<int16_t> out(2 * 441);
        while (!done.load()) {
            m_Audio.Render(out.data(), 441);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    CSoundStreamPump stream(m_Device, CSoundStreamPump::Threading::Threaded);
    ASSERT_TRUE(stream.Open("long.wav", 0, true));
    for (int i = 0; i < 40; ++i) {
        stream.SetVolume(-50 * (i % 10));
        stream.Service();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    stream.Stop();
    EXPECT_FALSE(stream.IsPlaying());
    ASSERT_TRUE(stream.Open("short.ogg", 0, false));
    for (int i = 0; i < 2000 && stream.IsPlaying(); ++i) {
        stream.Service();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(stream.IsPlaying()) << "the short track ran out";
    stream.Close();
    done.store(true);
    mixer.join();
}

// A fatal report ends the program with exit() while music pumps: the pump
// thread is stopped before the exit handlers take the audio device away.
TEST_F(StreamTest, AnExitWhileAStreamPumpsStopsItsThreadFirst)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    WriteBytes("long.wav", MonoWave(Pattern(120000)));
    EXPECT_EXIT(
        {
            static CSoundStreamPump* pump = nullptr;
            // Registered before the pump's own handler: runs after it.
            std::atexit([] { std::fputs(pump->HasPumpThread() ? "still pumping\n" : "stopped\n", stderr); });
            pump = new CSoundStreamPump(m_Device, CSoundStreamPump::Threading::Threaded);
            if (!pump->Open("long.wav", 0, true) || !pump->HasPumpThread())
                std::fputs("no pump thread\n", stderr);
            std::this_thread::sleep_for(std::chrono::milliseconds(120));
            std::exit(255);
        },
        testing::ExitedWithCode(255), "^stopped\n$");
}

} // namespace
