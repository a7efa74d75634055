#include "shell/CMusicPlayer.h"

#include "SoundTestSupport.h"

#include <memory>

namespace {

class MusicTest : public CSoundDeviceTest {
protected:
    std::unique_ptr<CMusicPlayer> Player()
    {
        return std::make_unique<CMusicPlayer>(m_Device, CSoundStreamPump::Threading::Unthreaded);
    }
    // Frames pulled and services run, as a few game frames would.
    void Frames(CMusicPlayer& player, int count)
    {
        for (int i = 0; i < count; ++i) {
            Render(735);
            player.Service();
        }
    }
};

TEST_F(MusicTest, AnEmptyMusicFolderLeavesThePlayerSilent)
{
    auto player = Player();
    player->Play(nullptr);
    player->Service();
    EXPECT_FALSE(player->IsPlaying());
    EXPECT_EQ(player->GetBaseVolume(), CMusicPlayer::kMuted);
}

TEST_F(MusicTest, MusicWaitsForPlay)
{
    WriteBytes("Music/Theme.wav", MonoWave(Ramp16(50000, 1)));
    auto player = Player();
    Frames(*player, 3);
    EXPECT_FALSE(player->IsPlaying());
    player->Play(nullptr);
    player->Service();
    EXPECT_TRUE(player->IsPlaying());
    EXPECT_EQ(player->GetCurrentTrack(), "Music/Theme.wav");
}

TEST_F(MusicTest, PlayingTheTrackThatPlaysDoesNotRestartIt)
{
    WriteBytes("Music/Theme.wav", MonoWave(Ramp16(50000, 1)));
    WriteBytes("Music/Calm.ogg", EncodeVorbis(Sine(20000, 1, 80.0, 0.3), 1, 22050));
    auto player = Player();
    player->SetBaseVolume(0);
    player->Play("Theme");
    player->Service();
    ASSERT_EQ(player->GetCurrentTrack(), "Music/Theme.wav") << "no extension finds the .wav";
    Render(1000);
    player->Play("theme.WAV");
    player->Service();
    EXPECT_EQ(Render(1)[0], 1000) << "plays on from where it was";
    player->Play("Calm.wav");
    player->Service();
    EXPECT_EQ(player->GetCurrentTrack(), "Music/Calm.ogg") << "a .wav name finds the .ogg";
}

TEST_F(MusicTest, TheQuietestBaseVolumeStopsMusicAndALouderOneStartsIt)
{
    WriteBytes("Music/A.wav", MonoWave(Ramp16(50000, 1)));
    auto player = Player();
    player->Play(nullptr);
    player->Service();
    ASSERT_TRUE(player->IsPlaying());
    player->SetBaseVolume(-3333);
    player->Service();
    EXPECT_FALSE(player->IsPlaying());
    player->SetBaseVolume(-3332);
    player->Service();
    EXPECT_TRUE(player->IsPlaying());
    EXPECT_EQ(player->GetVolume(), -3332);
}

TEST_F(MusicTest, TracksFollowEachOtherInShuffledOrder)
{
    for (const char* name : {"Music/One.wav", "Music/Two.wav", "Music/Three.wav"})
        WriteBytes(name, MonoWave(Constant(3000, 100)));
    auto player = Player();
    player->Play(nullptr);
    std::vector<std::string> heard;
    for (int i = 0; i < 200 && heard.size() < 6; ++i) {
        player->Service();
        if (heard.empty() || heard.back() != player->GetCurrentTrack())
            heard.push_back(player->GetCurrentTrack());
        Render(735);
    }
    ASSERT_EQ(heard.size(), 6u);
    std::vector<std::string> firstPass(heard.begin(), heard.begin() + 3);
    std::sort(firstPass.begin(), firstPass.end());
    EXPECT_EQ(firstPass, (std::vector<std::string>{"Music/One.wav", "Music/Three.wav", "Music/Two.wav"}));
    EXPECT_NE(heard[3], heard[2]) << "a new pass never starts with the track that just ended";
}

TEST_F(MusicTest, TheSharedPlayerGoesWithTheDevicesShutdownAndComesBackOnUse)
{
    CMusicPlayer::SGetInstance().Play("anything");
    CSoundDevice::SGetInstance().Shutdown();
    EXPECT_FALSE(CMusicPlayer::SGetInstance().IsEnabled()) << "a new player";
    CSoundDevice::SGetInstance().Shutdown();
    CSoundDevice::SGetInstance().Shutdown();
}

} // namespace
