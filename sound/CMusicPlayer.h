#pragma once
// The background music of the menus: the sound files of "Music/" played one
// after another in shuffled order (a new pass never starts with the track
// that just ended) through a stream pump. Music is off until Play; it then
// runs track after track while it stays enabled and its base volume is
// -3332 or louder. A base volume of -3333 (set when no track could start)
// keeps it silent until the volume is set again.

#include "sound/CSoundStreamPump.h"

#include "foundation/CFileList.h"
#include "objects/CObjectFileArray.h"

#include <cstdint>
#include <string>

// A file list that also finds sound names by their other extension: ".wav"
// tries ".ogg"; a name without ".wav" or ".ogg" tries ".wav"; then the alias
// table. A file that cannot be read as a sound (a named pipe, a device) is
// said on standard error and left out.
class CSoundFileList : public CFileList {
public:
    using CFileList::Find;
    int32_t Find(const char* name, int32_t hint = -1) override;
    bool TakesEntry(const char* name, const CEnumerateFilesInfo& info) override;
    CRemapList& GetAliases() { return m_Aliases; }

private:
    CRemapList m_Aliases;
};

class CMusicPlayer : public CSoundStreamPump {
public:
    static constexpr int32_t kDefaultBaseVolume = -1250;
    static constexpr int32_t kMuted = -3333;

    // Lists folder (its wav and ogg files) in shuffled order.
    CMusicPlayer(CSoundDevice& device, Threading threading, const char* folder = "Music/");

    // The player over the process's sound device, made on first use; the
    // device's Shutdown disposes of it.
    static CMusicPlayer& SGetInstance();

    // Enables music; the track (null: whichever comes next) starts or
    // replaces the current one at the next Service.
    void Play(const char* track);
    // Once per frame and after each change of the sound options.
    void Service();
    void Update(float seconds);
    // Keeps the named track when it already plays; true when music plays.
    bool StartTrack(const char* name);

    int32_t GetBaseVolume() const { return m_BaseVolume; }
    void SetBaseVolume(int32_t cdB) { m_BaseVolume = cdB; }
    bool IsEnabled() const { return m_Enabled; }
    const std::string& GetPendingTrack() const { return m_PendingTrack; }
    // The path of the track last started; empty before the first.
    const std::string& GetCurrentTrack() const { return m_CurrentTrack; }
    CSoundFileList& GetMusicList() { return m_Music; }

private:
    static void DisposeInstance();

    CSoundFileList m_Music;
    int32_t m_BaseVolume = kDefaultBaseVolume;
    std::string m_PendingTrack;
    std::string m_CurrentTrack;
    bool m_Enabled = false;
};

// The name with its sound extension exchanged as the lists retry it; false
// when no other name is tried (".ogg").
bool AlternativeSoundName(const char* name, std::string& alternative);
