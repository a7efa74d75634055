// The game's music on the headless audio output: which song a period, a
// script or the intermission starts, what follows a song that ends, and the
// bonus music under windows. The stream pumps run in the update here, and
// every song is a constant level of its own, so the mix tells which plays.
#include "game/world/CGameSongPlayer.h"

#include "sound/SoundFiles.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include "foundation/CIniSection.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CPeriod.h"
#include "platform/CPlatformHeadless.h"
#include "shell/CGameBase.h"
#include "shell/CShellScreen.h"
#include "sound/CMusicPlayer.h"
#include "sound/CSoundDevice.h"
#include "sound/CSoundStreamPump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Levels of the songs, in song list (name) order after the placeholder.
constexpr int16_t kBonus = 7000;
constexpr int16_t kIntro = 3000;
constexpr int16_t kLoop = -3000;
constexpr int16_t kMenu = 5000;
constexpr uint32_t kRate = 22050;
constexpr uint32_t kStepFrames = kRate / 60 + 1;

enum Song : int32_t { kSilence = 0, kBonusSong, kIntroSong, kLoopSong, kMenuSong };

std::string Wave(double seconds, int16_t level)
{
    const std::vector<int16_t> samples(size_t(seconds * kRate), level);
    return CWaveBuilder().Format(1, 1, kRate, 16).Data(Pcm16(samples)).Build();
}

class CFakeRootWindow : public CShellRootWindow {
public:
    void Update(float) override {}
    void DrawTree() override {}
    bool HasChildren() const override { return open; }
    float GetFirstChildLevel() const override { return 1.0f; }
    bool open = false;
};

class CGameWithWindows : public CGameBase {
public:
    CGameWithWindows()
        : CGameBase(1.0f / 60.0f, 1.0f / 60.0f, 1.0f / 12.0f, nullptr, nullptr, nullptr)
    {
    }
    std::unique_ptr<CShellRootWindow> CreateScreenWindow(CShellScreen&) override
    {
        auto window = std::make_unique<CFakeRootWindow>();
        root = window.get();
        return window;
    }
    CFakeRootWindow* root = nullptr;
};

class CNullScreen : public CShellScreen {
public:
    int32_t GetWidth() const override { return 640; }
    int32_t GetHeight() const override { return 480; }
    void FillRect(const CRect&, const CColor&) override {}
    bool Present() override { return true; }
};

class SongPlayer : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        GetOptionsSection().SetInt("Use Threaded Stream", 0);
        WriteBytes("Music/!Silence.wav", Wave(0.05, 0));
        WriteBytes("Music/Bonus.wav", Wave(0.5, kBonus));
        WriteBytes("Music/Intro.wav", Wave(0.3, kIntro));
        WriteBytes("Music/Loop.wav", Wave(0.1, kLoop));
        WriteBytes("Music/Menu.wav", Wave(3.0, kMenu));
        LoadSongList();
        WriteBytes("Resources/Main Menu.Period.txt",
                   BareObjectText("CPeriod", "\tIntro Music=Menu.wav\r\n\tMain Loop Music=Loop.wav\r\n"));
        WriteBytes("Resources/Sixties.Period.txt",
                   BareObjectText("CPeriod", "\tIntro Music=Intro\r\n\tMain Loop Music=Loop.wav\r\n"));
        WriteBytes("Resources/Silent.Period.txt", BareObjectText("CPeriod", ""));
        WriteBytes("Resources/Rules.Object.txt", BareObjectText("CRules", "\tIntermission Song=Menu.wav\r\n"));
        GetPeriodList().SetSource(nullptr, "Resources", 0);
        InitGeneralObjects();
        ASSERT_TRUE(CSoundDevice::SGetInstance().Initialize());
        CMusicPlayer::SGetInstance().SetBaseVolume(0);
    }
    void TearDown() override
    {
        CSoundDevice::SGetInstance().Shutdown();
        for (CObjectFileArray* list :
             {static_cast<CObjectFileArray*>(&GetGeneralObjects()), static_cast<CObjectFileArray*>(&GetPeriodList())}) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        LoadSongList("Nowhere/");
        CTempFolderTest::TearDown();
    }

    static int32_t Period(const char* name) { return GetPeriodList().Find(name); }

    // One game step: the player's update, then what the output plays meanwhile
    // (left channel, last frame).
    int16_t Step()
    {
        CGameSongPlayer::SGetInstance().Update(1.0f / 60.0f);
        std::vector<int16_t> mix(size_t(kStepFrames) * 2);
        m_Platform.GetHeadlessAudio().Render(mix.data(), kStepFrames);
        return mix[mix.size() - 2];
    }
    // The distinct levels heard over the steps, in order.
    std::vector<int16_t> Hear(int steps)
    {
        std::vector<int16_t> heard;
        for (int i = 0; i < steps; ++i) {
            const int16_t level = Step();
            if (heard.empty() || heard.back() != level)
                heard.push_back(level);
        }
        return heard;
    }

    // At most the gap of one step between the songs.
    static void ExpectIntroThenLoop(const std::vector<int16_t>& heard)
    {
        ASSERT_GE(heard.size(), 2u);
        EXPECT_EQ(heard.front(), kIntro);
        EXPECT_EQ(heard.back(), kLoop);
        EXPECT_LE(heard.size(), 3u);
    }

    plat::CPlatformHeadless m_Platform;
    CScopedPlatform m_Installed{&m_Platform};
    CScopedDataFolder m_DataFolder{"."};
};

TEST_F(SongPlayer, EntryZeroAndIndexesPastTheListAreNoSong)
{
    EXPECT_STREQ(GetSongPath(kMenuSong), "Music/Menu.wav");
    EXPECT_EQ(GetPeriodList().GetObject(Period("Sixties"))->m_IntroMusic, kIntroSong) << "found without extension";
    CGameSongPlayer& player = CGameSongPlayer::SGetInstance();
    for (int32_t none : {0, -1, 5, 1000}) {
        player.PlaySong(kMenuSong, true);
        player.PlaySong(none, false);
        EXPECT_FALSE(player.GetMainChannel()->IsPlaying()) << "song " << none << " plays nothing";
    }
    // A period without songs, as at the very first start, stays silent.
    player.SetPeriod(Period("Silent"), true);
    EXPECT_EQ(Hear(20), std::vector<int16_t>{0});
}

TEST_F(SongPlayer, PeriodsStartTheirIntroThenLoopTheirNextSong)
{
    CGameSongPlayer& player = CGameSongPlayer::SGetInstance();
    player.SetPeriod(Period("Sixties"), false);
    EXPECT_EQ(player.GetCurrentPeriod(), -1) << "a level's period is not kept";
    EXPECT_EQ(player.GetQueuedSong(), kLoopSong);
    // The queued song waits for the intro to end, then loops well past its
    // own 0.1 s.
    ExpectIntroThenLoop(Hear(60));
    EXPECT_EQ(player.GetQueuedSong(), 0);
    EXPECT_TRUE(player.GetMainChannel()->IsPlaying());

    // The same period again, play flag clear: its intro starts again.
    player.SetPeriod(Period("Sixties"), false);
    EXPECT_EQ(Hear(2), std::vector<int16_t>{kIntro});

    // The main menu is kept: entering it again restarts nothing.
    player.SetPeriod(Period("Main Menu"), false);
    EXPECT_EQ(player.GetCurrentPeriod(), Period("Main Menu"));
    player.QueueSong(0);
    player.GetMainChannel()->Stop();
    player.SetPeriod(Period("Main Menu"), false);
    EXPECT_EQ(player.GetQueuedSong(), 0);
    EXPECT_FALSE(player.GetMainChannel()->IsPlaying());
}

TEST_F(SongPlayer, TheIntermissionSongPlaysOnceUntilAPeriodReplacesIt)
{
    CGameSongPlayer& player = CGameSongPlayer::SGetInstance();
    player.SetPeriod(Period("Main Menu"), true);
    player.PlayIntermissionSong();
    EXPECT_TRUE(player.IsIntermission());
    EXPECT_EQ(player.GetCurrentPeriod(), -1);
    EXPECT_EQ(player.GetQueuedSong(), 0);
    EXPECT_EQ(Hear(10), std::vector<int16_t>{kMenu});
    player.StopMainChannel();
    player.PlayIntermissionSong();
    EXPECT_FALSE(player.GetMainChannel()->IsPlaying()) << "the second call starts nothing";

    player.SetPeriod(Period("Sixties"), false);
    EXPECT_FALSE(player.IsIntermission());
    player.PlayIntermissionSong();
    EXPECT_TRUE(player.GetMainChannel()->IsPlaying());
}

TEST_F(SongPlayer, ScriptsPlayQueueAndStopSongsOnce)
{
    CSpritePlugInPlaySongOnceAndQueueNextSong once;
    once.m_SongToPlay = kIntroSong;
    once.m_SongToQueue = kLoopSong;
    once.m_IsIntermissionSong = true;
    CPlugInUpdateRecord record;
    once.Update(record);
    EXPECT_TRUE(record.done);
    CGameSongPlayer& player = CGameSongPlayer::SGetInstance();
    EXPECT_TRUE(player.IsIntermission());
    ExpectIntroThenLoop(Hear(60));

    CSpritePlugInStopMusic stop;
    CPlugInUpdateRecord stopRecord;
    player.QueueSong(kIntroSong);
    stop.Update(stopRecord);
    EXPECT_TRUE(stopRecord.done);
    EXPECT_EQ(Hear(10), std::vector<int16_t>{0}) << "the queue went with the song";

    CSpritePlugInPlaySongLooping looping;
    looping.m_SongToPlay = kLoopSong;
    CPlugInUpdateRecord loopRecord;
    looping.Update(loopRecord);
    EXPECT_TRUE(loopRecord.done);
    EXPECT_FALSE(player.IsIntermission());
    EXPECT_EQ(Hear(30), std::vector<int16_t>{kLoop});

    // A script without songs silences the channel instead of playing entry 0.
    CSpritePlugInPlaySongLooping none;
    CPlugInUpdateRecord noneRecord;
    none.Update(noneRecord);
    EXPECT_EQ(Hear(5), std::vector<int16_t>{0});
}

TEST_F(SongPlayer, TheBonusPlaysOverTheSongSilentUnderAWindowAndStopsWithTheBonus)
{
    // The game object points the lists at its data folder.
    WriteBytes("Data/Resources/Three In A Row Options.Object.txt",
               BareObjectText("CThreeInARowCounterOptions", "\tPower Up Song=Bonus.wav\r\n"));
    // A game that goes leaves the process shutting down; the tests after this
    // one run without a game.
    struct CRunningOn {
        ~CRunningOn() { CGameBase::SSetShuttingDown(false); }
    } runningOn;
    CGameWithWindows game;
    CNullScreen screen;
    game.Initialize(&screen, nullptr);
    ASSERT_NE(game.root, nullptr);
    CMusicPlayer::SGetInstance().SetBaseVolume(-600);
    ASSERT_EQ(GetThreeInARowSong(), kBonusSong) << "the options' \"Power Up Song\"";

    CGameSongPlayer& player = CGameSongPlayer::SGetInstance();
    player.PlaySong(kMenuSong, true);
    EXPECT_EQ(player.GetMainVolume(false), -600);
    CThreeInARowCounter counter;
    counter.m_SecondsBonusLeft = 5.0f;
    Step();
    ASSERT_TRUE(player.GetBonusChannel()->IsPlaying());
    EXPECT_EQ(player.GetMainVolume(false), -1200) << "the song steps back under the bonus";

    game.root->open = true;
    Step();
    EXPECT_EQ(player.GetBonusChannel()->GetVolume(), -10000);
    EXPECT_TRUE(player.GetBonusChannel()->IsPlaying()) << "silent, still running";
    EXPECT_EQ(player.GetMainVolume(false), -600);
    game.root->open = false;
    Step();
    EXPECT_NE(player.GetBonusChannel()->GetVolume(), -10000);

    counter.m_SecondsBonusLeft = 0.0f;
    Step();
    EXPECT_FALSE(player.GetBonusChannel()->IsPlaying());
    // Applied again, one step nearer 0, when the countdown runs out.
    player.RestartVolumeCountdown();
    Step();
    EXPECT_EQ(player.GetMainChannel()->GetVolume(), -599);
    Step();
    EXPECT_EQ(player.GetMainChannel()->GetVolume(), -600);
}

// The demo's generated songs, as its periods and rules name them.
TEST_F(SongPlayer, TheDemoPeriodSongsDecodeAndTheDataFindsThem)
{
    const std::string source = OMBRISALT_SOURCE_DIR;
    ASSERT_EQ(RunCommand("python3 " + source + "/tools/make_demo_music.py demo"), 0);
    std::filesystem::remove_all("Music");
    std::filesystem::rename("demo/Data/Music", "Music");
    InitGeneralObjects();
    EXPECT_STREQ(GetSongList().GetItemName(0), "!Silence.ogg") << "the placeholder takes the entry of no song";
    // Each period has its own intro and loop, and the maker made them all.
    std::vector<std::string> named;
    for (const char* period : {"Period 1", "Period 2"}) {
        const std::string text = ReadBytes(source + "/data/Data/Resources/" + period + ".Period.txt");
        for (const char* key : {"Intro Music=", "Main Loop Music="}) {
            const size_t at = text.find(key);
            ASSERT_NE(at, std::string::npos) << period << " " << key;
            const size_t from = at + std::strlen(key);
            named.push_back(text.substr(from, text.find_first_of("\r\n", from) - from));
            EXPECT_GE(GetSongList().Find(named.back().c_str()), 1) << named.back();
        }
    }
    std::vector<std::string> distinct = named;
    std::sort(distinct.begin(), distinct.end());
    EXPECT_EQ(std::unique(distinct.begin(), distinct.end()), distinct.end()) << "a song is used twice";
    WriteBytes("Resources/Demo.Period.txt",
               BareObjectText("CPeriod", "Intro Music=" + named[0] + "\r\nMain Loop Music=" + named[1] + "\r\n"));
    // Only the rules' song line: the rest names sequences this test does not load.
    const std::string rules = ReadBytes(source + "/data/Data/Resources/Rules.Object.txt");
    const std::string songLine = "Intermission Song=Intermission.ogg";
    ASSERT_NE(rules.find(songLine), std::string::npos);
    WriteBytes("Resources/Rules.Object.txt", BareObjectText("CRules", "\t" + songLine + "\r\n"));

    CGameSongPlayer& player = CGameSongPlayer::SGetInstance();
    player.SetPeriod(Period("Demo"), false);
    bool heard = false;
    for (int i = 0; i < 30; ++i)
        heard = Step() != 0 || heard;
    EXPECT_TRUE(heard);
    EXPECT_TRUE(player.GetMainChannel()->IsPlaying());

    player.PlayIntermissionSong();
    EXPECT_STREQ(GetSongList().GetItemName(player.GetMainSong()), "Intermission.ogg");
}

} // namespace
