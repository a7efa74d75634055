#include "sound/SoundOptions.h"

#include "sound/CMusicPlayer.h"

#include "SoundTestSupport.h"
#include "foundation/CIniSection.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class MusicAndOptions : public CSoundDeviceTest {
protected:
    void SetUp() override
    {
        CSoundDeviceTest::SetUp();
        Reload();
    }
    void TearDown() override
    {
        m_Music.reset();
        CSoundDeviceTest::TearDown();
    }
    CIniSection& Options() { return GetOptionsSection(); }
    // A player that finds the tracks written since.
    void Reload() { m_Music = std::make_unique<CMusicPlayer>(m_Device, CSoundStreamPump::Threading::Unthreaded); }

    std::unique_ptr<CMusicPlayer> m_Music;
};

TEST_F(MusicAndOptions, AnEffectsVolumeOutOfRangeIsCorrectedAndWrittenBack)
{
    Options().SetFloat("SFx Voume", 0.2f);
    ApplySoundSettings(m_Device, *m_Music);
    EXPECT_EQ(m_Device.GetMasterScale(), 0.5f);
    EXPECT_EQ(Options().GetFloat("SFx Voume", 9.0f), 0.5f);
    Options().SetFloat("SFx Voume", 3.0f);
    ApplySoundSettings(m_Device, *m_Music);
    EXPECT_EQ(Options().GetFloat("SFx Voume", 9.0f), 1.0f);
}

struct SliderCase {
    const char* name;
    SoundOptionRow row;
    int32_t value;
    const char* key;
    float stored;
    int32_t attenuation; // master
    float scale;         // effects
    int32_t music;       // base volume
};

class SliderTest : public MusicAndOptions, public testing::WithParamInterface<SliderCase> {};

TEST_P(SliderTest, AppliesStoresAndUnmutesItsRow)
{
    const SliderCase& c = GetParam();
    Options().SetInt("Master Mute", 1);
    Options().SetInt("SFx Mute", 1);
    Options().SetInt("Music Mute", 1);
    ApplySoundSettings(m_Device, *m_Music);
    CSoundOptionsState state(m_Device, *m_Music);
    ASSERT_TRUE(state.IsSliderGreyed(c.row));
    state.MoveSlider(c.row, c.value);
    EXPECT_FALSE(state.IsMuted(c.row));
    EXPECT_FALSE(state.IsSliderGreyed(c.row));
    EXPECT_FLOAT_EQ(Options().GetFloat(c.key, -99999.0f), c.stored);
    const char* muteKey = c.row == SoundOptionRow::Master ? "Master Mute"
        : c.row == SoundOptionRow::Effects                ? "SFx Mute"
                                                          : "Music Mute";
    EXPECT_EQ(Options().GetInt(muteKey, 7), 0);
    if (c.row == SoundOptionRow::Master) {
        EXPECT_EQ(m_Device.GetMasterAttenuation(), c.attenuation);
    } else if (c.row == SoundOptionRow::Effects) {
        EXPECT_FLOAT_EQ(m_Device.GetMasterScale(), c.scale);
    } else {
        EXPECT_EQ(m_Music->GetBaseVolume(), c.music);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SliderTest,
    testing::Values(SliderCase{"MasterFull", SoundOptionRow::Master, 3333, "Master Volume", 3333, 0, 0, 0},
                    SliderCase{"MasterLow", SoundOptionRow::Master, 1000, "Master Volume", 1000, -2333, 0, 0},
                    SliderCase{"EffectsZeroIsHalfNotSilent", SoundOptionRow::Effects, 0, "SFx Voume", 0.5f, 0, 0.5f, 0},
                    SliderCase{"EffectsFull", SoundOptionRow::Effects, 3333, "SFx Voume", 1.0f, 0, 1.0f, 0},
                    SliderCase{"MusicZeroStopsMusic", SoundOptionRow::Music, 0, "Music Volume", -3333, 0, 0, -3333},
                    SliderCase{"MusicMiddle", SoundOptionRow::Music, 2000, "Music Volume", -1333, 0, 0, -1333}),
    [](const testing::TestParamInfo<SliderCase>& testInfo) { return testInfo.param.name; });

TEST_F(MusicAndOptions, MuteSilencesWhileTheSliderKeepsItsPlace)
{
    CSoundOptionsState state(m_Device, *m_Music);
    EXPECT_EQ(state.GetSlider(SoundOptionRow::Effects), 3333);
    EXPECT_EQ(state.GetSlider(SoundOptionRow::Music), 2083);
    state.MoveSlider(SoundOptionRow::Master, 2000);
    state.SetMuted(SoundOptionRow::Master, true);
    EXPECT_EQ(m_Device.GetMasterAttenuation(), -10000);
    EXPECT_EQ(state.GetSlider(SoundOptionRow::Master), 2000);
    EXPECT_EQ(Options().GetInt("Master Mute", 0), 1);
    state.SetMuted(SoundOptionRow::Master, false);
    EXPECT_EQ(m_Device.GetMasterAttenuation(), -1333);
    state.SetMuted(SoundOptionRow::Effects, true);
    EXPECT_EQ(m_Device.GetMasterScale(), 0.0f);
}

TEST_F(MusicAndOptions, TheMusicSliderStopsAndRestartsMusicAtOnce)
{
    WriteBytes("Music/Song.wav", MonoWave(Constant(50000, 100)));
    Reload();
    m_Music->Play(nullptr);
    m_Music->Service();
    ASSERT_TRUE(m_Music->IsPlaying());
    CSoundOptionsState state(m_Device, *m_Music);
    state.MoveSlider(SoundOptionRow::Music, 0);
    EXPECT_FALSE(m_Music->IsPlaying());
    state.MoveSlider(SoundOptionRow::Music, 1);
    EXPECT_TRUE(m_Music->IsPlaying());
    EXPECT_EQ(m_Music->GetVolume(), -3332);
}

TEST_F(MusicAndOptions, AnEmptyMusicFolderLeavesThePlayerSilent)
{
    m_Music->Play(nullptr);
    m_Music->Service();
    EXPECT_FALSE(m_Music->IsPlaying());
    EXPECT_EQ(m_Music->GetBaseVolume(), CMusicPlayer::kMuted);
}

TEST_F(MusicAndOptions, PlayingTheTrackThatPlaysDoesNotRestartIt)
{
    WriteBytes("Music/Theme.wav", MonoWave(Ramp16(50000, 1)));
    WriteBytes("Music/Calm.ogg", EncodeVorbis(Sine(20000, 1, 80.0, 0.3), 1, 22050));
    Reload();
    m_Music->SetBaseVolume(0);
    m_Music->Play("Theme");
    m_Music->Service();
    ASSERT_EQ(m_Music->GetCurrentTrack(), "Music/Theme.wav") << "no extension finds the .wav";
    Render(1000);
    m_Music->Play("theme.WAV");
    m_Music->Service();
    EXPECT_EQ(Render(1)[0], 1000) << "plays on from where it was";
    m_Music->Play("Calm.wav");
    m_Music->Service();
    EXPECT_EQ(m_Music->GetCurrentTrack(), "Music/Calm.ogg") << "a .wav name finds the .ogg";
}

// A named pipe would never end and a device would play forever: said, and
// left out of the play list so the other tracks play.
TEST_F(MusicAndOptions, MusicThatIsNoRegularFileIsLeftOutWithAWord)
{
    WriteBytes("Music/Song.wav", MonoWave(Constant(3000, 100)));
    ASSERT_EQ(::mkfifo("Music/Pipe.ogg", 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", "Music/Zero.wav"), 0);
    testing::internal::CaptureStderr();
    Reload();
    // A second list over the folder (the game's songs) says it no more.
    Reload();
    const std::string said = testing::internal::GetCapturedStderr();
    for (const std::string name : {"Music/Pipe.ogg: it is not a regular file", "Music/Zero.wav: it is not a regular file"})
        EXPECT_EQ(said.find(name), said.rfind(name)) << said;
    EXPECT_THAT(said, testing::HasSubstr("Music/Pipe.ogg: it is not a regular file"));
    EXPECT_EQ(m_Music->GetMusicList().GetCount(), 1);
    m_Music->Play(nullptr);
    m_Music->Service();
    EXPECT_EQ(m_Music->GetCurrentTrack(), "Music/Song.wav");
}

TEST_F(MusicAndOptions, TracksFollowEachOtherInShuffledOrder)
{
    for (const char* name : {"Music/One.wav", "Music/Two.wav", "Music/Three.wav"})
        WriteBytes(name, MonoWave(Constant(3000, 100)));
    Reload();
    m_Music->Play(nullptr);
    std::vector<std::string> heard;
    for (int i = 0; i < 200 && heard.size() < 6; ++i) {
        m_Music->Service();
        if (heard.empty() || heard.back() != m_Music->GetCurrentTrack())
            heard.push_back(m_Music->GetCurrentTrack());
        Render(735);
    }
    ASSERT_EQ(heard.size(), 6u);
    std::vector<std::string> firstPass(heard.begin(), heard.begin() + 3);
    std::sort(firstPass.begin(), firstPass.end());
    EXPECT_EQ(firstPass, (std::vector<std::string>{"Music/One.wav", "Music/Three.wav", "Music/Two.wav"}));
    EXPECT_NE(heard[3], heard[2]) << "a new pass never starts with the track that just ended";
}

} // namespace
