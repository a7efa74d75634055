#pragma once
// The sound output of the machine: a device that, once opened, pulls
// interleaved stereo 16-bit frames at 44100 Hz from its mixer on its own
// thread. The sound code opens it at start-up, creates buffers while it is
// open and closes it at shutdown; all of that happens on the main thread.

#include "platform/CAudioMixer.h"

#include <memory>

namespace plat {

class CAudioDevice {
public:
    CAudioDevice() = default;
    CAudioDevice(const CAudioDevice&) = delete;
    CAudioDevice& operator=(const CAudioDevice&) = delete;
    virtual ~CAudioDevice() = default;

    // Starts output with two channels or one; true when it runs (at once when
    // it already did).
    virtual bool Open(bool stereo) = 0;
    // Stops output; buffers stay valid and silent.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // False while the device is closed.
    bool SetStereo(bool stereo)
    {
        if (!IsOpen())
            return false;
        m_Mixer.SetStereo(stereo);
        return true;
    }

    // Null while the device is closed, and as CAudioMixer::CreateBuffer.
    std::unique_ptr<CAudioBuffer> CreateBuffer(const PcmFormat& format, uint32_t bytes)
    {
        return IsOpen() ? m_Mixer.CreateBuffer(format, bytes) : nullptr;
    }

    CAudioMixer& GetMixer() { return m_Mixer; }

private:
    CAudioMixer m_Mixer;
};

// A device without sound output: nothing pulls frames unless the caller does,
// through Render.
class CAudioDeviceHeadless final : public CAudioDevice {
public:
    bool Open(bool stereo) override;
    void Close() override { m_Open = false; }
    bool IsOpen() const override { return m_Open; }

    // Pulls frames of interleaved stereo from the mixer, as a sound card would.
    void Render(int16_t* out, uint32_t frames) { GetMixer().Render(out, frames); }

private:
    bool m_Open = false;
};

// Reads a WAVE file held in memory whose data is not plain 8 or 16-bit PCM
// (ADPCM, a-law, mu-law, float...) into 16-bit PCM of at most two channels.
// False when the data cannot be decoded.
bool DecodeCompressedWave(const uint8_t* bytes, size_t size, PcmFormat& format, std::vector<uint8_t>& pcm);

} // namespace plat
