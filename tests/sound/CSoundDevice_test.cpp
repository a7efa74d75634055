#include "sound/CSoundDevice.h"

#include "SoundTestSupport.h"
#include "foundation/BufferNames.h"
#include "platform/CAudioMixer.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

struct SoundDeleter {
    void operator()(CSound* sound) const { CSound::DestroySound(sound); }
};
using SoundPtr = std::unique_ptr<CSound, SoundDeleter>;

class SoundTest : public CSoundDeviceTest {
protected:
    SoundPtr Sound(const std::string& name, const std::vector<int16_t>& samples, bool loop = false,
                   uint32_t mode = CSound::kLoadNow)
    {
        WriteBytes(name, MonoWave(samples));
        SoundPtr sound(m_Device.CreateSound());
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
    SoundPtr sound = Sound("tone.wav", Constant(100, 16384));
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
    SoundPtr sound = Sound("loop.wav", Constant(20000, 1000), true);
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
    SoundPtr sound = Sound("click.wav", Constant(20000, 1000));
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
    SoundPtr source = Sound("later.wav", Constant(1000, 4000), false, CSound::kLoadDeferred);
    SoundPtr copy(m_Device.CreateSound());
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

// --- The voice limit ---

TEST_F(SoundTest, ALouderSoundStopsTheQuietestOfAFullHouse)
{
    WriteBytes("long.wav", MonoWave(Constant(40000, 100)));
    std::vector<SoundPtr> playing;
    for (uint32_t i = 0; i <= CSoundDevice::kVoiceLimit; ++i) {
        playing.emplace_back(m_Device.CreateSound());
        ASSERT_TRUE(playing.back()->Load("long.wav", false, CSound::kLoadNow, 0));
        playing.back()->SetVolume(-100 - int32_t(i % 4) * 100); // quietest: -400
    }
    SoundPtr same = std::move(playing.back());
    playing.pop_back();
    for (const SoundPtr& sound : playing)
        ASSERT_TRUE(sound->Play(0));
    same->SetVolume(-400);
    EXPECT_FALSE(same->Play(0)) << "as quiet as the quietest: refused";
    same->SetVolume(-50);
    EXPECT_TRUE(same->Play(0));
    int stopped = 0;
    for (const SoundPtr& sound : playing)
        if (!sound->IsPlaying()) {
            EXPECT_EQ(sound->GetVolume(), -400);
            ++stopped;
        }
    EXPECT_EQ(stopped, 1) << "one of the quietest gave way";
    EXPECT_EQ(m_Device.CountPlaying(0), CSoundDevice::kVoiceLimit);
    // When all play at full volume a new sound plays anyway.
    for (const SoundPtr& sound : playing)
        sound->SetVolume(0);
    same->SetVolume(0);
    SoundPtr extra(m_Device.CreateSound());
    extra->Load("long.wav", false, CSound::kLoadNow, 0);
    EXPECT_TRUE(extra->Play(0));
    EXPECT_EQ(m_Device.CountPlaying(0), CSoundDevice::kVoiceLimit + 1);
}

TEST_F(SoundTest, FinishedSoundsNoLongerCount)
{
    SoundPtr sound = Sound("short.wav", Constant(100, 100));
    sound->Play(0);
    EXPECT_EQ(m_Device.CountPlaying(0), 1u);
    Render(200);
    EXPECT_EQ(m_Device.CountPlaying(0), 0u);
}

// --- Playing ---

TEST_F(SoundTest, ALoopingSoundAskedToPlayAgainKeepsItsPlace)
{
    SoundPtr sound = Sound("ramp.wav", Ramp16(1000, 16), true);
    ASSERT_TRUE(sound->Play(0));
    Render(100);
    EXPECT_FALSE(sound->Play(0));
    EXPECT_EQ(Render(1)[0], 100 * 16);
    EXPECT_EQ(m_Device.CountPlaying(0), 1u);
}

TEST_F(SoundTest, FrequencyOutsideItsRangeChangesNothing)
{
    SoundPtr sound = Sound("ramp.wav", Ramp16(1000, 16));
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
    SoundPtr sound = Sound("a.wav", Constant(100, 100));
    m_Device.Shutdown();
    EXPECT_FALSE(sound->Play(0));
    SoundPtr other(m_Device.CreateSound());
    EXPECT_FALSE(other->Load("a.wav", false, CSound::kLoadNow, 0));
}

TEST_F(SoundTest, AFileThatDoesNotDecodeLeavesTheSoundSilent)
{
    WriteBytes("bad.wav", "not a sound");
    SoundPtr sound(m_Device.CreateSound());
    EXPECT_FALSE(sound->Load("bad.wav", false, CSound::kLoadNow, 0));
    EXPECT_TRUE(sound->Load("missing.wav", false, CSound::kLoadDeferred, 0));
    EXPECT_FALSE(sound->Play(0));
    EXPECT_EQ(m_Device.GetLoadedCount(), 0);
}

// --- Deferred loading and reading ahead ---

TEST_F(SoundTest, ADeferredSoundDecodesAtFirstUseFromItsReadAheadCopy)
{
    SoundPtr sound = Sound("later.wav", Constant(500, 2000), false, CSound::kLoadDeferred);
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
    SoundPtr sound = Sound("later.wav", Constant(500, 2000), false, CSound::kLoadDeferred);
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
// pulls the mix, as the device's callback does.
TEST_F(SoundTest, SoundsLiveAndDieWhileTheDeviceMixes)
{
    WriteBytes("a.wav", MonoWave(Ramp16(3000, 7)));
    WriteBytes("b.wav", CWaveBuilder().Format(1, 2, 22050, 8).Data(std::string(4000, '\x90')).Build());
    std::atomic<bool> done{false};
    std::thread mixer([this, &done] {
        std::vector<int16_t> out(2 * 256);
        while (!done.load())
            m_Audio.Render(out.data(), 256);
    });
    for (int round = 0; round < 60; ++round) {
        SoundPtr a(m_Device.CreateSound());
        SoundPtr b(m_Device.CreateSound());
        a->Load("a.wav", round % 2 == 0, CSound::kLoadNow, 0);
        b->Load("b.wav", false, CSound::kLoadDeferred, 0);
        for (int i = 0; i < 5; ++i) {
            a->Play(CSound::kPlayCopyWhenBusy);
            b->Play(CSound::kPlayCopyWhenBusy);
            a->SetVolume(-100 * i);
            b->SetPan(1000 * i);
            b->SetFrequency(11025 + 5000 * uint32_t(i));
            m_Device.NextTick();
        }
        if (round % 3 == 0)
            m_Device.StopAllSounds();
    }
    done.store(true);
    mixer.join();
}

} // namespace
