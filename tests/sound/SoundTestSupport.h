#pragma once
// A sound device over a headless audio output that the test pulls, in a
// fresh working folder, with helpers that write sound files there.

#include "sound/CSoundDevice.h"

#include "SoundFiles.h"
#include "platform/CAudioDevice.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <string>
#include <vector>

class CSoundDeviceTest : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        ASSERT_TRUE(m_Device.Initialize());
    }
    void TearDown() override
    {
        m_Device.Shutdown();
        CTempFolderTest::TearDown();
    }

    // Interleaved stereo frames from the mixer.
    std::vector<int16_t> Render(uint32_t frames)
    {
        std::vector<int16_t> out(size_t(frames) * 2);
        m_Audio.Render(out.data(), frames);
        return out;
    }

    // Sound files are looked up in the working folder, whatever a game
    // built before made the data folder.
    CScopedDataFolder m_DataFolder{"."};
    plat::CAudioDeviceHeadless m_Audio;
    CSoundDevice m_Device{m_Audio};
};

// A mono 16-bit WAVE file of the samples.
inline std::string MonoWave(const std::vector<int16_t>& samples, uint32_t rate = 44100)
{
    return CWaveBuilder().Format(1, 1, rate, 16).Data(Pcm16(samples)).Build();
}

inline std::vector<int16_t> Constant(uint32_t frames, int16_t value)
{
    return std::vector<int16_t>(frames, value);
}

// frames samples counting up by step from 0.
inline std::vector<int16_t> Ramp16(uint32_t frames, int16_t step)
{
    std::vector<int16_t> samples(frames);
    for (uint32_t i = 0; i < frames; ++i)
        samples[i] = int16_t(int32_t(i) * step);
    return samples;
}
