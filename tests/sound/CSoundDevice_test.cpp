#include "sound/CSoundDevice.h"

#include "AllocationProbe.h"
#include "SoundTestSupport.h"
#include "foundation/BufferNames.h"
#include "platform/CAudioMixer.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

class SoundTest : public CSoundDeviceTest {
protected:
    std::unique_ptr<CSound> Sound(const std::string& name, const std::vector<int16_t>& samples,
                                  SoundLoop loop = SoundLoop::Once, SoundLoad mode = SoundLoad::Now)
    {
        WriteBytes(name, MonoWave(samples));
        std::unique_ptr<CSound> sound = m_Device.CreateSound();
        EXPECT_TRUE(sound->Load(name.c_str(), loop, mode, 0));
        return sound;
    }
};

// --- What a volume is heard at ---

struct VolumeCase {
    const char* name;
    int32_t volume;
    int32_t master;
    float scale;
    int32_t heard; // -10000: silent
};

class HeardVolumeTest : public SoundTest, public testing::WithParamInterface<VolumeCase> {};

TEST_P(HeardVolumeTest, ScalesTheAudibleRangeAndSilencesBelowIt)
{
    const VolumeCase& c = GetParam();
    std::unique_ptr<CSound> sound = Sound("tone.wav", Constant(100, 16384));
    m_Device.SetMasterAttenuation(c.master);
    m_Device.SetMasterScale(c.scale);
    sound->SetVolume(c.volume);
    ASSERT_TRUE(sound->Play(0));
    const int16_t expected = int16_t((16384 * int32_t(plat::CAudioMixer::GainOf(c.heard))) >> 16);
    const std::vector<int16_t> out = Render(2);
    EXPECT_EQ(out[0], expected);
    EXPECT_EQ(out[1], expected);
}

INSTANTIATE_TEST_SUITE_P(Volumes, HeardVolumeTest,
                         testing::Values(VolumeCase{"Full", 0, 0, 1.0f, 0},
                                         VolumeCase{"QuietestAudible", -3332, 0, 1.0f, -3332},
                                         VolumeCase{"SilentAt3333", -3333, 0, 1.0f, -10000},
                                         VolumeCase{"MasterAdds", -1000, -500, 1.0f, -1500},
                                         VolumeCase{"ClampedAtFull", 500, -200, 1.0f, 0},
                                         VolumeCase{"ClampedAtSilence", -12000, 0, 1.0f, -10000},
                                         VolumeCase{"HalfScaleTruncates", 0, 0, 0.5f, -1666},
                                         VolumeCase{"HalfScaleOfQuiet", -2000, 0, 0.5f, -2666},
                                         VolumeCase{"ScaleZeroSilences", 0, 0, 0.0f, -10000}),
                         [](const testing::TestParamInfo<VolumeCase>& testInfo) { return testInfo.param.name; });

// --- Copies ---

TEST_F(SoundTest, ACopyPlaysAtTheSoundsVolumeCentredAndOnce)
{
    std::unique_ptr<CSound> sound = Sound("loop.wav", Constant(20000, 1000), SoundLoop::Looping);
    sound->SetVolume(-500);
    sound->SetPan(2000);
    ASSERT_TRUE(sound->Play(0));
    CSound* copy = sound->GetAnAvailableCopy();
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy, sound.get());
    EXPECT_EQ(copy->GetVolume(), -500);
    EXPECT_EQ(copy->GetPan(), 0);
    EXPECT_FALSE(copy->GetFlags() & CSound::kLooping);
    EXPECT_EQ(sound->GetNextCopy(), copy) << "the sound owns its copies";
}

TEST_F(SoundTest, StopAllSoundsStopsASoundThatKeptPlayingUnderItsCopy)
{
    std::unique_ptr<CSound> sound = Sound("click.wav", Constant(20000, 1000));
    sound->Play(CSound::kPlayCopyWhenBusy);
    sound->Play(CSound::kPlayCopyWhenBusy);
    ASSERT_EQ(m_Device.CountPlaying(0), 2u);
    m_Device.StopAllSounds();
    EXPECT_FALSE(sound->IsPlaying());
    EXPECT_FALSE(sound->GetNextCopy()->IsPlaying());
    EXPECT_EQ(Render(1)[0], 0);
}

TEST_F(SoundTest, ACopyOfADeferredSoundCompletesAtFirstUse)
{
    std::unique_ptr<CSound> source = Sound("later.wav", Constant(1000, 4000), SoundLoop::Once, SoundLoad::Deferred);
    std::unique_ptr<CSound> copy = m_Device.CreateSound();
    EXPECT_FALSE(copy->CopyFrom(source.get()));
    EXPECT_TRUE(copy->HasPendingSource());
    EXPECT_FALSE(source->IsLoaded());
    copy->SetVolume(-10000);
    EXPECT_TRUE(source->IsLoaded());
    EXPECT_FALSE(copy->HasPendingSource());
    EXPECT_EQ(copy->GetVolume(), -10000);
    ASSERT_TRUE(copy->Play(0));
    EXPECT_EQ(Render(1)[0], 0) << "played at the volume set before it was complete";
}

struct BadFileCase {
    const char* name;
    std::string bytes;
};

class BadFileCopyTest : public SoundTest, public testing::WithParamInterface<BadFileCase> {};

// The copy completes from a source that gives up loading: both stay silent,
// and neither tries again.
TEST_P(BadFileCopyTest, ACopyOfASoundWhoseFileFailsIsSilent)
{
    WriteBytes("bad.ogg", GetParam().bytes);
    std::unique_ptr<CSound> source = m_Device.CreateSound();
    ASSERT_TRUE(source->Load("bad.ogg", SoundLoop::Once, SoundLoad::Deferred, 0));
    std::unique_ptr<CSound> copy = m_Device.CreateSound();
    EXPECT_FALSE(copy->CopyFrom(source.get()));
    copy->SetVolume(-200);
    EXPECT_FALSE(copy->HasPendingSource());
    EXPECT_TRUE(source->GetPendingName().empty()) << "given up, not retried";
    EXPECT_EQ(copy->GetVolume(), -200);
    EXPECT_FALSE(copy->Play(0));
    EXPECT_FALSE(source->Play(0));
    EXPECT_EQ(m_Device.GetLoadedCount(), 0);
    EXPECT_EQ(Render(1)[0], 0);
}

INSTANTIATE_TEST_SUITE_P(
    BadFiles, BadFileCopyTest,
    testing::Values(BadFileCase{"OneByte", "R"},
                    BadFileCase{"TwentyFourBitPcm",
                                CWaveBuilder().Format(1, 1, 22050, 24).Data(std::string(3000, '\x40')).Build()}),
    [](const testing::TestParamInfo<BadFileCase>& testInfo) { return testInfo.param.name; });

// --- What loading a sound may cost ---

// A few kilobytes of Ogg Vorbis claiming nearly 2^30 frames (2 GB decoded)
// are refused before anything the size of the claim is allocated.
TEST_F(SoundTest, AVorbisDecodeBombIsRefusedCheaply)
{
    const int64_t claim = (int64_t(1) << 30) - (int64_t(1) << 16);
    WriteBytes("bomb.ogg", WithLastGranule(EncodeVorbis(Sine(5 * 22050, 1, 40.0, 0.3), 1, 22050), claim));
    std::unique_ptr<CSound> sound = m_Device.CreateSound();
    CAllocationProbe probe;
    if (!probe.CanCount())
        GTEST_SKIP() << "allocations are counted in the sanitizer builds";
    EXPECT_FALSE(sound->Load("bomb.ogg", SoundLoop::Once, SoundLoad::Now, 0));
    EXPECT_LT(probe.PeakBytes(), size_t(64) << 20);
    EXPECT_EQ(m_Device.GetLoadedBytes(), 0);
}

// Ten minutes at 8000 frames a second is the longest sound held whole; one
// second more is refused without its buffer.
TEST_F(SoundTest, ASoundLongerThanTenMinutesIsRefused)
{
    const std::string tone = EncodeVorbis(Sine(10 * 8000, 1, 40.0, 0.3), 1, 8000);
    WriteBytes("ten.ogg", WithLastGranule(tone, 600 * 8000));
    WriteBytes("longer.ogg", WithLastGranule(tone, 601 * 8000));
    std::unique_ptr<CSound> sound = m_Device.CreateSound();
    ASSERT_TRUE(sound->Load("ten.ogg", SoundLoop::Once, SoundLoad::Now, 0));
    EXPECT_EQ(sound->GetSize(), 600u * 8000 * 2);
    sound->Close();
    CAllocationProbe probe;
    EXPECT_FALSE(sound->Load("longer.ogg", SoundLoop::Once, SoundLoad::Now, 0));
    if (probe.CanCount()) {
        EXPECT_LT(probe.PeakBytes(), size_t(64) << 20);
    }
    EXPECT_FALSE(sound->Play(0));
}

// --- The voice limit ---

TEST_F(SoundTest, ALouderSoundStopsTheQuietestOfAFullHouse)
{
    WriteBytes("long.wav", MonoWave(Constant(40000, 100)));
    std::vector<std::unique_ptr<CSound>> playing;
    for (uint32_t i = 0; i <= CSoundDevice::kVoiceLimit; ++i) {
        playing.emplace_back(m_Device.CreateSound());
        ASSERT_TRUE(playing.back()->Load("long.wav", SoundLoop::Once, SoundLoad::Now, 0));
        playing.back()->SetVolume(-100 - int32_t(i % 4) * 100); // quietest: -400
    }
    std::unique_ptr<CSound> same = std::move(playing.back());
    playing.pop_back();
    for (const std::unique_ptr<CSound>& sound : playing)
        ASSERT_TRUE(sound->Play(0));
    same->SetVolume(-400);
    EXPECT_FALSE(same->Play(0)) << "as quiet as the quietest: refused";
    same->SetVolume(-50);
    EXPECT_TRUE(same->Play(0));
    int stopped = 0;
    for (const std::unique_ptr<CSound>& sound : playing)
        if (!sound->IsPlaying()) {
            EXPECT_EQ(sound->GetVolume(), -400);
            ++stopped;
        }
    EXPECT_EQ(stopped, 1) << "one of the quietest gave way";
    EXPECT_EQ(m_Device.CountPlaying(0), CSoundDevice::kVoiceLimit);
    // When all play at full volume a new sound plays anyway.
    for (const std::unique_ptr<CSound>& sound : playing)
        sound->SetVolume(0);
    same->SetVolume(0);
    std::unique_ptr<CSound> extra = m_Device.CreateSound();
    extra->Load("long.wav", SoundLoop::Once, SoundLoad::Now, 0);
    EXPECT_TRUE(extra->Play(0));
    EXPECT_EQ(m_Device.CountPlaying(0), CSoundDevice::kVoiceLimit + 1);
}

TEST_F(SoundTest, FinishedSoundsNoLongerCount)
{
    std::unique_ptr<CSound> sound = Sound("short.wav", Constant(100, 100));
    sound->Play(0);
    EXPECT_EQ(m_Device.CountPlaying(0), 1u);
    Render(200);
    EXPECT_EQ(m_Device.CountPlaying(0), 0u);
}

// --- Playing ---

TEST_F(SoundTest, ALoopingSoundAskedToPlayAgainKeepsItsPlace)
{
    std::unique_ptr<CSound> sound = Sound("ramp.wav", Ramp16(1000, 16), SoundLoop::Looping);
    ASSERT_TRUE(sound->Play(0));
    Render(100);
    EXPECT_FALSE(sound->Play(0));
    EXPECT_EQ(Render(1)[0], 100 * 16);
    EXPECT_EQ(m_Device.CountPlaying(0), 1u);
}

TEST_F(SoundTest, FrequencyOutsideItsRangeChangesNothing)
{
    std::unique_ptr<CSound> sound = Sound("ramp.wav", Ramp16(1000, 16));
    EXPECT_EQ(sound->GetFrequency(), 44100u);
    EXPECT_FALSE(sound->SetFrequency(44100)) << "unchanged";
    EXPECT_TRUE(sound->SetFrequency(50));
    EXPECT_TRUE(sound->SetFrequency(200000));
    EXPECT_EQ(sound->GetFrequency(), 44100u);
    EXPECT_TRUE(sound->SetFrequency(88200));
    sound->Play(0);
    const std::vector<int16_t> out = Render(3);
    EXPECT_EQ(out[2], 2 * 16);
    EXPECT_EQ(out[4], 4 * 16) << "twice the rate skips every other sample";
}

TEST_F(SoundTest, NothingPlaysWithoutAnOpenDevice)
{
    std::unique_ptr<CSound> sound = Sound("a.wav", Constant(100, 100));
    m_Device.Shutdown();
    EXPECT_FALSE(sound->Play(0));
    std::unique_ptr<CSound> other = m_Device.CreateSound();
    EXPECT_FALSE(other->Load("a.wav", SoundLoop::Once, SoundLoad::Now, 0));
}

TEST_F(SoundTest, AFileThatDoesNotDecodeLeavesTheSoundSilent)
{
    WriteBytes("bad.wav", "not a sound");
    std::unique_ptr<CSound> sound = m_Device.CreateSound();
    EXPECT_FALSE(sound->Load("bad.wav", SoundLoop::Once, SoundLoad::Now, 0));
    EXPECT_TRUE(sound->Load("missing.wav", SoundLoop::Once, SoundLoad::Deferred, 0));
    EXPECT_FALSE(sound->Play(0));
    EXPECT_EQ(m_Device.GetLoadedCount(), 0);
}

// --- Deferred loading and reading ahead ---

TEST_F(SoundTest, ADeferredSoundDecodesAtFirstUseFromItsReadAheadCopy)
{
    std::unique_ptr<CSound> sound = Sound("later.wav", Constant(500, 2000), SoundLoop::Once, SoundLoad::Deferred);
    EXPECT_FALSE(sound->IsLoaded());
    EXPECT_EQ(m_Device.GetLoadedCount(), 0);
    sound->PreloadData();
    EXPECT_EQ(sound->GetPendingName().rfind("~CFileBuf 0x", 0), 0u);
    std::remove("later.wav");
    ASSERT_TRUE(sound->Play(0));
    EXPECT_TRUE(sound->IsLoaded());
    EXPECT_EQ(m_Device.GetLoadedCount(), 1);
    EXPECT_EQ(m_Device.GetLoadedBytes(), 1000);
    EXPECT_EQ(Render(1)[0], 2000);
    sound->Close();
    EXPECT_EQ(m_Device.GetLoadedCount(), 0);
    EXPECT_EQ(m_Device.GetPeakBytes(), 1000);
}

TEST_F(SoundTest, ClosingAReadAheadSoundFreesItsMemoryFile)
{
    std::unique_ptr<CSound> sound = Sound("later.wav", Constant(500, 2000), SoundLoop::Once, SoundLoad::Deferred);
    sound->PreloadData();
    const std::string memoryName = sound->GetPendingName();
    ASSERT_NE(ParseBufferName(memoryName.c_str()), nullptr);
    sound->Close();
    EXPECT_EQ(ParseBufferName(memoryName.c_str()), nullptr);
}

// --- Shutdown ---

std::vector<int>& CallOrder()
{
    static std::vector<int> order;
    return order;
}

TEST_F(SoundTest, ShutdownRunsItsCallbacksOnceInOrder)
{
    CallOrder().clear();
    m_Device.AddShutdownCallback([] { CallOrder().push_back(1); });
    m_Device.AddShutdownCallback([] { CallOrder().push_back(2); });
    m_Device.Shutdown();
    m_Device.Shutdown();
    EXPECT_EQ(CallOrder(), (std::vector<int>{1, 2}));
    EXPECT_FALSE(m_Device.IsReady());
}

// --- The audio thread ---

// Sounds start, change, copy, stop and die on this thread while another
// pulls the mix, as the device's callback does: every sound plays and is
// heard, copies overlap it, and a sound that dies leaves nothing behind in
// the device or the mix (the sanitizer builds also check every access).
TEST_F(SoundTest, SoundsLiveAndDieWhileTheDeviceMixes)
{
    WriteBytes("a.wav", MonoWave(Ramp16(3000, 7)));
    WriteBytes("b.wav", CWaveBuilder().Format(1, 2, 22050, 8).Data(std::string(4000, '\x90')).Build());
    std::atomic<bool> done{false};
    std::atomic<uint32_t> mixes{0};
    std::atomic<uint32_t> heard{0};
    std::thread mixer([this, &done, &mixes, &heard] {
        std::vector<int16_t> out(2 * 256);
        while (!done.load()) {
            m_Audio.Render(out.data(), 256);
            mixes.fetch_add(1);
            for (const int16_t sample : out)
                if (sample != 0) {
                    heard.fetch_add(1);
                    break;
                }
        }
    });
    uint32_t started = 0;
    uint32_t copied = 0;
    for (int round = 0; round < 60; ++round) {
        {
            std::unique_ptr<CSound> a = m_Device.CreateSound();
            std::unique_ptr<CSound> b = m_Device.CreateSound();
            ASSERT_TRUE(a->Load("a.wav", round % 2 == 0 ? SoundLoop::Looping : SoundLoop::Once, SoundLoad::Now, 0));
            ASSERT_TRUE(b->Load("b.wav", SoundLoop::Once, SoundLoad::Deferred, 0));
            for (int i = 0; i < 5; ++i) {
                started += a->Play(CSound::kPlayCopyWhenBusy) ? 1 : 0;
                started += b->Play(CSound::kPlayCopyWhenBusy) ? 1 : 0;
                a->SetVolume(-100 * i);
                b->SetPan(1000 * i);
                b->SetFrequency(11025 + 5000 * uint32_t(i));
                m_Device.NextTick();
            }
            EXPECT_TRUE(b->IsLoaded()) << "round " << round;
            // The mixer passes over the live sounds at least once.
            const uint32_t passes = mixes.load();
            while (mixes.load() < passes + 2)
                std::this_thread::yield();
            copied += (a->GetNextCopy() ? 1 : 0) + (b->GetNextCopy() ? 1 : 0);
            if (round % 3 == 0) {
                m_Device.StopAllSounds();
                EXPECT_EQ(m_Device.CountPlaying(0), 0u) << "round " << round;
            }
        }
        EXPECT_EQ(m_Device.GetLoadedCount(), 0) << "round " << round;
        EXPECT_EQ(m_Device.CountPlaying(0), 0u) << "round " << round;
    }
    done.store(true);
    mixer.join();
    // Each round starts both sounds at once and again on a copy.
    EXPECT_GE(started, 60u * 2);
    EXPECT_GT(copied, 0u);
    EXPECT_GE(heard.load(), 30u) << "the mix carried the looping sounds";
    const std::vector<int16_t> after = Render(64);
    EXPECT_EQ(after, std::vector<int16_t>(128, 0)) << "no voice outlives its sound";
}

} // namespace
