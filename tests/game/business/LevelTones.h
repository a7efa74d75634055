#pragma once
// Short tones "Resources/<name>.wav" on a headless sound device, for the
// game's audio list to play while a test watches what starts.
#include "game/scripting/CAudio.h"
#include "sound/CSoundList.h"
#include "sound/SoundTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class CLevelTones {
public:
    // Before the level starts: writes and loads the tones.
    void Load(const char* listName, std::vector<std::string> names)
    {
        m_Names = std::move(names);
        ASSERT_TRUE(m_Device.Initialize());
        for (const std::string& name : m_Names)
            WriteBytes("Resources/" + name + ".wav", MonoWave(Constant(4000, 1000)));
        m_Sounds = std::make_unique<CSoundList>(m_Device);
        ASSERT_EQ(m_Sounds->Load(listName, "Resources", ".wav", ".ogg"), int(m_Names.size()));
    }
    // After the level starts, which points the audio list at the data.
    void Play() { GetAudioList().SetSource("Audio", m_Sounds.get()); }
    void Release()
    {
        GetAudioList().SetSource("Nowhere", nullptr);
        m_Sounds.reset();
        m_Device.Shutdown();
    }
    // The tones started since the last call, by name.
    std::vector<std::string> Played()
    {
        std::vector<std::string> names;
        for (const std::string& name : m_Names)
            for (CSound* s = m_Sounds->GetSoundByName(name.c_str()); s; s = s->GetNextCopy())
                if (s->IsPlaying()) {
                    names.push_back(name);
                    break;
                }
        m_Device.StopAllSounds();
        return names;
    }
    // The next update step: a tone played in the step before may start again.
    void NextStep() { m_Device.NextTick(); }

private:
    std::vector<std::string> m_Names;
    plat::CAudioDeviceHeadless m_Audio;
    CSoundDevice m_Device{m_Audio};
    std::unique_ptr<CSoundList> m_Sounds;
};
