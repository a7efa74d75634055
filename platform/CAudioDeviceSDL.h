#pragma once
// The audio device on SDL2's default output. SDL converts the mixer's
// 44100 Hz stereo frames to whatever the card takes; its callback thread is
// the audio thread.

#include "platform/CAudioDevice.h"

#include <cstdint>

namespace plat {

class CAudioDeviceSDL final : public CAudioDevice {
public:
    ~CAudioDeviceSDL() override;

    // False when SDL has no audio or no output device.
    bool Open(bool stereo) override;
    void Close() override;
    bool IsOpen() const override { return m_Device != 0; }

private:
    static void Callback(void* self, uint8_t* stream, int bytes);

    uint32_t m_Device = 0;
    bool m_SubsystemStarted = false;
};

} // namespace plat
