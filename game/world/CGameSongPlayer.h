#pragma once
// The game's music: two streamed channels over the process's sound device.
// The main channel plays the period song of the current screen or level (or
// the intermission song) with one song queued behind it; the bonus channel
// plays the three-in-a-row music over it. Songs are indexes into the song
// list (GetSongList); an index of 0 or past the list is no song and plays
// nothing, so a period or rule without music leaves the channel silent.
//
// Volumes are the music player's, in hundredths of a decibel (0 loudest,
// -10000 silent).
#include "game/scripting/CSpritePlugIn.h"

#include <cstdint>
#include <memory>

class CSoundDevice;
class CSoundStreamPump;

class CGameSongPlayer {
public:
    // Made on first use over the process's sound device; the device's
    // shutdown disposes of it (and so of both channels).
    static CGameSongPlayer& SGetInstance();
    // The player made so far, null before the first use or after the device
    // disposed of it.
    static CGameSongPlayer* SPeekInstance();

    explicit CGameSongPlayer(CSoundDevice& device);
    CGameSongPlayer(const CGameSongPlayer&) = delete;
    CGameSongPlayer& operator=(const CGameSongPlayer&) = delete;
    ~CGameSongPlayer();

    // Applies the main volume and starts the song's file on the main
    // channel; no song stops the channel instead.
    void PlaySong(int32_t song, bool looping);
    // Makes period (an index into the period list) current and starts its
    // songs when it was not current. Unless play is set (always for the
    // "Main Menu" period) the period is forgotten afterwards, so the next
    // call for it starts its song again.
    void SetPeriod(int32_t period, bool play);
    // The current level's period, not kept.
    void StartLevelMusic();
    // Once until another song replaces it.
    void PlayIntermissionSong();
    void StopMainChannel();
    // The main volume is applied again on the next update.
    void RestartVolumeCountdown() { m_VolumeCountdown = 0.001f; }
    void Update(float seconds);

    // Whatever a script queues starts, looping, once the main channel ends.
    void QueueSong(int32_t song) { m_QueuedSong = song; }
    int32_t GetQueuedSong() const { return m_QueuedSong; }
    void SetIntermission(bool intermission) { m_Intermission = intermission; }
    bool IsIntermission() const { return m_Intermission; }
    void ForgetCurrentPeriod() { m_CurrentPeriod = -1; }
    int32_t GetCurrentPeriod() const { return m_CurrentPeriod; }
    float GetVolumeCountdown() const { return m_VolumeCountdown; }
    // Null once the device disposed of them.
    CSoundStreamPump* GetMainChannel() const { return m_Main.get(); }
    CSoundStreamPump* GetBonusChannel() const { return m_Bonus.get(); }
    // The song index last started on the main channel (0: none yet).
    int32_t GetMainSong() const { return m_MainSong; }

    // The main channel's volume: the music player's, doubled while the bonus
    // plays with no window open over the game, one step nearer 0 when
    // stepped.
    int32_t GetMainVolume(bool stepped) const;

private:
    void ApplyMainVolume(bool stepped);
    static bool IsWindowOpen();

    std::unique_ptr<CSoundStreamPump> m_Main;
    std::unique_ptr<CSoundStreamPump> m_Bonus;
    int32_t m_QueuedSong = 0;
    int32_t m_MainSong = 0;
    int32_t m_CurrentPeriod = -1;
    int32_t m_MainMenuPeriod = -2; // -2: not looked up yet
    float m_VolumeCountdown = 1.0f;
    bool m_Intermission = false;
};

// The path of the song's file, null for no song (0 or past the list).
const char* GetSongPath(int32_t song);

// Fills the song list afresh with the sound files of the folder, in name
// order, so the song references that data read afterwards resolve. Call it
// before any data that names songs is loaded: loaded references keep their
// indexes.
void LoadSongList(const char* folder = "Music/");

// Scripted music: each acts once, on its first update.
class CSpritePlugInPlaySongOnceAndQueueNextSong : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInPlaySongOnceAndQueueNextSong, CSpritePlugIn)
public:
    CSpritePlugInPlaySongOnceAndQueueNextSong();
    ~CSpritePlugInPlaySongOnceAndQueueNextSong() override;
    void Update(CPlugInUpdateRecord& record) override;

    int32_t m_SongToPlay = -1;  // "Song To Play"
    int32_t m_SongToQueue = -1; // "Song To Queue"
    bool m_IsIntermissionSong = false;
};

class CSpritePlugInPlaySongLooping : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInPlaySongLooping, CSpritePlugIn)
public:
    CSpritePlugInPlaySongLooping();
    ~CSpritePlugInPlaySongLooping() override;
    void Update(CPlugInUpdateRecord& record) override;

    int32_t m_SongToPlay = -1; // "Song To Play"
};

class CSpritePlugInStopMusic : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInStopMusic, CSpritePlugIn)
public:
    CSpritePlugInStopMusic();
    ~CSpritePlugInStopMusic() override;
    void Update(CPlugInUpdateRecord& record) override;
};
