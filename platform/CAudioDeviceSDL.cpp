#include "platform/CAudioDeviceSDL.h"

#include <SDL.h>

namespace plat {

CAudioDeviceSDL::~CAudioDeviceSDL()
{
    Close();
}

bool CAudioDeviceSDL::Open(bool stereo)
{
    if (m_Device)
        return true;
    if (!m_SubsystemStarted) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        m_SubsystemStarted = true;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = int(CAudioMixer::kOutputRate);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 512;
    wanted.callback = [](void* self, Uint8* stream, int bytes) { Callback(self, stream, bytes); };
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0)
        return false;
    GetMixer().SetStereo(stereo);
    m_Device = device;
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void CAudioDeviceSDL::Close()
{
    if (!m_Device)
        return;
    // Returns after the callback has finished for good.
    SDL_CloseAudioDevice(m_Device);
    m_Device = 0;
}

void CAudioDeviceSDL::Callback(void* self, uint8_t* stream, int bytes)
{
    auto* device = static_cast<CAudioDeviceSDL*>(self);
    device->GetMixer().Render(reinterpret_cast<int16_t*>(stream), uint32_t(bytes) / 4);
}

} // namespace plat
