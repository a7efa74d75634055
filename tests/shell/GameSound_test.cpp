// The game object over the sound code: a game built in a data folder plays
// what the play-sound message names, runs the music of "Music/", applies the
// sound settings and leaves nothing sounding when it goes. The headless
// output is pulled by hand, so what a test hears is exactly the mix.

#include "ShellTestSupport.h"
#include "TheoraClips.h"
#include "sound/SoundTestSupport.h"

#include "foundation/CIniSection.h"
#include "shell/GameWindow.h"
#include "sound/CMusicPlayer.h"
#include "sound/CSoundDevice.h"
#include "sound/CSoundList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int16_t kClick = 8000;

// A game whose constructor is given a start-up track.
class CMusicalGame : public CGameBase {
public:
    explicit CMusicalGame(const char* startupMusic)
        : CGameBase(1.0f / 60.0f, 1.0f / 60.0f, 1.0f / 12.0f, nullptr, startupMusic, nullptr)
    {
    }
};

class GameSound : public CShellTest {
protected:
    void SetUp() override
    {
        CShellTest::SetUp();
        SLauncherRecord record;
        record.gameName = "Ombrisalt";
        SetLauncherRecord(record);
        // The pump runs in Service, so a test decides when streams advance.
        WriteSettings("");
        WriteBytes("Data/Resources/UI/Click.wav", MonoWave(Constant(20000, kClick)));
    }

    void WriteSettings(const std::string& lines)
    {
        WriteBytes("Ombrisalt.CFG", "[Options]\r\nUse Threaded Stream=0\r\n" + lines);
    }

    // The left channel of frames pulled from the output.
    std::vector<int16_t> Hear(uint32_t frames)
    {
        std::vector<int16_t> mix(size_t(frames) * 2);
        m_Platform.GetHeadlessAudio().Render(mix.data(), frames);
        std::vector<int16_t> left(frames);
        for (uint32_t i = 0; i < frames; ++i)
            left[i] = mix[size_t(i) * 2];
        return left;
    }

    static bool PlaySound(const char* name)
    {
        CPlaySoundMessage message{CJString(name)};
        return BroadcastMessageToPlugIns(message);
    }
};

TEST_F(GameSound, APlaySoundMessagePlaysTheNamedSoundFromTheResources)
{
    CCountingGame game;
    EXPECT_TRUE(CSoundDevice::SGetInstance().IsReady());
    EXPECT_EQ(Hear(4), std::vector<int16_t>(4, 0));
    // Every request is answered, heard or not.
    EXPECT_TRUE(PlaySound("UI/Missing.wav"));
    EXPECT_EQ(Hear(4), std::vector<int16_t>(4, 0));
    EXPECT_TRUE(PlaySound("ui\\click"));
    EXPECT_EQ(Hear(4), std::vector<int16_t>(4, kClick));
}

TEST_F(GameSound, EachUpdateStepLetsABusySoundOverlapItselfOnceMore)
{
    CCountingGame game;
    for (int i = 0; i < 3; ++i)
        PlaySound("UI/Click.wav");
    EXPECT_EQ(Hear(1)[0], 2 * kClick) << "the sound and one copy";
    PlaySound("UI/Click.wav");
    EXPECT_EQ(Hear(1)[0], 2 * kClick) << "no second copy within the step";
    game.Update(1.0f / 60.0f);
    PlaySound("UI/Click.wav");
    EXPECT_EQ(Hear(1)[0], 3 * kClick);
}

TEST_F(GameSound, WithoutAStartUpTrackMusicWaitsForTheGame)
{
    WriteBytes("Data/Music/Theme.wav", MonoWave(Constant(50000, 1000)));
    CCountingGame game;
    CMusicPlayer& music = CMusicPlayer::SGetInstance();
    EXPECT_FALSE(music.IsEnabled());
    EXPECT_EQ(music.GetPendingTrack(), "");
    game.Update(1.0f / 60.0f);
    EXPECT_FALSE(music.IsPlaying());
    EXPECT_EQ(Hear(4), std::vector<int16_t>(4, 0));
    // Idle processing services the player as well as the update does.
    music.Play(nullptr);
    CMessage idle = CMessage::CMessageByName("CDoIdleProcessingMessage");
    EXPECT_TRUE(BroadcastMessageToPlugIns(idle));
    EXPECT_TRUE(music.IsPlaying());
    EXPECT_NE(Hear(4)[3], 0);
}

TEST_F(GameSound, AStartUpTrackPlaysFromConstructionAndTheNextFollows)
{
    WriteBytes("Data/Music/One.wav", MonoWave(Constant(3000, 1000)));
    WriteBytes("Data/Music/Two.wav", MonoWave(Constant(3000, 1000)));
    CMusicalGame game("Two");
    CMusicPlayer& music = CMusicPlayer::SGetInstance();
    EXPECT_TRUE(music.IsPlaying());
    EXPECT_EQ(music.GetCurrentTrack(), "Music/Two.wav");
    EXPECT_NE(Hear(4)[3], 0);
    std::vector<std::string> heard{music.GetCurrentTrack()};
    for (int frame = 0; frame < 60 && heard.size() < 3; ++frame) {
        Hear(735);
        game.Update(1.0f / 60.0f);
        if (music.GetCurrentTrack() != heard.back())
            heard.push_back(music.GetCurrentTrack());
    }
    EXPECT_EQ(heard, (std::vector<std::string>{"Music/Two.wav", "Music/One.wav", "Music/Two.wav"}));
}

TEST_F(GameSound, AStartUpTrackThatIsNotThereLeavesMusicOff)
{
    WriteBytes("Data/Music/One.wav", MonoWave(Constant(3000, 1000)));
    CMusicalGame game("Elsewhere");
    EXPECT_FALSE(CMusicPlayer::SGetInstance().IsEnabled());
    game.Update(1.0f / 60.0f);
    EXPECT_FALSE(CMusicPlayer::SGetInstance().IsPlaying());
}

TEST_F(GameSound, QuittingSilencesEverySoundAndTheGameTakesSoundDownWithIt)
{
    WriteBytes("Data/Music/Theme.wav", MonoWave(Constant(50000, 1000)));
    ASSERT_TRUE(Start());
    CMusicPlayer::SGetInstance().Play(nullptr);
    PlaySound("UI/Click.wav");
    Game()->Update(1.0f / 60.0f);
    PlaySound("UI/Click.wav");
    CSound* copy = CSoundList::SGetGlobal().GetSoundByName("UI/Click.wav")->GetNextCopy();
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->IsPlaying());
    EXPECT_NE(Hear(4)[3], 0);

    Push(plat::WindowEvent::Kind::Quit);
    EXPECT_FALSE(Pass(20));
    ShutDownStarted();
    EXPECT_EQ(CGameBase::SGetInstance(), nullptr);
    // The copy outlives the game in the list; only the quit's stop silences it.
    EXPECT_FALSE(copy->IsPlaying());
    EXPECT_EQ(Hear(4), std::vector<int16_t>(4, 0));
    EXPECT_FALSE(CSoundDevice::SGetInstance().IsReady());
    EXPECT_FALSE(CMusicPlayer::SGetInstance().IsEnabled()) << "the old player went with the device";
}

struct SettingsCase {
    const char* name;
    const char* settings;
    // Heard level of a full-scale click, in hundredths of a decibel.
    int32_t heardAt;
    bool stereo;
    int32_t musicVolume;
};

// What a click at full volume gives through a mixer gain for cdB.
int16_t ClickAt(int32_t cdB)
{
    if (cdB <= -3333)
        return 0;
    const auto gain = int32_t(std::lround(65536.0 * std::pow(10.0, cdB / 2000.0)));
    return int16_t((kClick * gain) >> 16);
}

class GameSoundSettings : public GameSound, public testing::WithParamInterface<SettingsCase> {};

TEST_P(GameSoundSettings, AreAppliedAtConstruction)
{
    WriteSettings(GetParam().settings);
    CCountingGame game;
    EXPECT_EQ(CSoundDevice::SGetInstance().IsStereo(), GetParam().stereo);
    EXPECT_EQ(CMusicPlayer::SGetInstance().GetBaseVolume(), GetParam().musicVolume);
    PlaySound("UI/Click.wav");
    EXPECT_EQ(Hear(1)[0], ClickAt(GetParam().heardAt));
}

TEST_F(GameSound, SettingsAreAppliedAgainWhenTheGameIsReactivated)
{
    CCountingGame game;
    // Changed while the game is away, as the options of another copy would.
    EXPECT_TRUE(game.SetActive(false));
    WriteSettings("Master Volume=1333\r\nSFx Voume=0.5\r\nStereo Sounds=0\r\nMusic Volume=-2000\r\n");
    PlaySound("UI/Click.wav");
    EXPECT_EQ(Hear(1)[0], kClick) << "not applied on deactivation";
    CSoundDevice::SGetInstance().StopAllSounds();
    EXPECT_TRUE(game.SetActive(true));
    EXPECT_FALSE(CSoundDevice::SGetInstance().IsStereo());
    EXPECT_EQ(CMusicPlayer::SGetInstance().GetBaseVolume(), -2000);
    PlaySound("UI/Click.wav");
    EXPECT_EQ(Hear(1)[0], ClickAt(-2666));
}

// Heard levels: (master attenuation + 3333) * effects scale - 3333, truncated.
INSTANTIATE_TEST_SUITE_P(
    Cases, GameSoundSettings,
    testing::Values(SettingsCase{"Defaults", "", 0, true, -1250},
                    SettingsCase{"QuieterMasterAndHalfEffectsMono",
                                 "Master Volume=1333\r\nSFx Voume=0.5\r\nStereo Sounds=0\r\nMusic Volume=-2000\r\n",
                                 -2666, false, -2000},
                    SettingsCase{"EffectsBelowRangeReadAsHalf", "SFx Voume=0.2\r\n", -1666, true, -1250},
                    SettingsCase{"MasterMuteSilencesAndMusicMuteStops", "Master Mute=1\r\nMusic Mute=1\r\n", -10000,
                                 true, -3333}),
    [](const testing::TestParamInfo<SettingsCase>& param) { return std::string(param.param.name); });

// The program itself, headless, over a folder with sounds, music and settings.
class GameSoundProgram : public CTempFolderTest {};

TEST_F(GameSoundProgram, RunsWithSoundAndEndsCleanly)
{
    WriteBytes("Data/Resources/UI/Click.wav", MonoWave(Constant(2000, kClick)));
    WriteBytes("Data/Resources/Ambience/Wind.ogg", EncodeVorbis(Sine(4000, 2, 50.0, 0.3), 2, 22050));
    WriteBytes("Data/Music/Theme.wav", MonoWave(Constant(50000, 1000)));
    WriteBytes("Ombrisalt.CFG", "[Options]\r\nSFx Voume=0.2\r\n");
    const std::map<std::string, std::string> environment{{"XDG_RUNTIME_DIR", Folder()}, {"OMBRISALT_HEADLESS", "1"}};
    const int pid = SpawnProgram({"/DataFolder", Folder(), "/Passes", "30"}, environment, {}, PathOf("err"));
    EXPECT_EQ(WaitForExitStatus(pid), 0);
    EXPECT_EQ(ReadBytes(PathOf("err")), "");
    // The corrected effects volume shows the settings were applied.
    EXPECT_EQ(
        ReadBytes("Ombrisalt.CFG"),
        "[Options]\r\nSFx Voume=0.5\r\nScreen Width=1024\r\nScreen Height=768\r\nFull Screen=1\r\nDisplay FPS=1\r\n");
}

// --- A logo sound that does not load ---

struct BadLogoSoundCase {
    const char* name;
    std::string bytes;
};

class BadLogoSound : public CTempFolderTest, public testing::WithParamInterface<BadLogoSoundCase> {};

// The logo video's sound is a copy of its sound-list entry, completed when
// the video starts it: a file that does not load leaves the logo silent and
// the program running, and is reported once.
TEST_P(BadLogoSound, LeavesTheLogoSilentAndStartUpGoing)
{
    SClipOptions clip;
    clip.frames = {Flat(81, 90, 240), Flat(145, 54, 34), Flat(41, 240, 110)};
    WriteBytes("Data/Resources/ombrisalt_video.ogg", MakeTheoraClip(clip));
    WriteBytes("Data/Resources/ombrisalt_video_sound.ogg", GetParam().bytes);
    const std::map<std::string, std::string> environment{
        {"XDG_RUNTIME_DIR", Folder()}, {"OMBRISALT_HEADLESS", "1"}, {"OMBRISALT_DEBUG_OUTPUT", "1"}};
    const int pid = SpawnProgram({"/DataFolder", Folder(), "/Passes", "5"}, environment, {}, PathOf("err"));
    ASSERT_GT(pid, 0);
    const CEndsWithTest guard(pid);
    EXPECT_EQ(WaitForExitStatus(pid), 0);
    const std::string err = ReadBytes(PathOf("err"));
    const std::string report = "Sound \"Resources/ombrisalt_video_sound.ogg\" could not be loaded; it stays silent.\n";
    size_t reports = 0;
    for (size_t at = err.find(report); at != std::string::npos; at = err.find(report, at + 1))
        ++reports;
    EXPECT_EQ(reports, 1u) << err;
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, BadLogoSound,
    testing::Values(BadLogoSoundCase{"OneByte", "R"},
                    BadLogoSoundCase{"TwentyFourBitPcm",
                                     CWaveBuilder().Format(1, 2, 44100, 24).Data(std::string(6000, '\x20')).Build()}),
    [](const testing::TestParamInfo<BadLogoSoundCase>& testInfo) { return testInfo.param.name; });

} // namespace
