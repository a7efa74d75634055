#include "platform/CAudioDeviceSDL.h"

#include "platform/Debug.h"

#include <SDL.h>

#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <string>

namespace plat {

namespace {

void AlsaDiagnostic(const char* file, int line, const char*, int, const char* format, ...)
{
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format ? format : "", arguments);
    va_end(arguments);
    char where[256];
    std::snprintf(where, sizeof where, "ALSA %s:%d: ", file ? file : "", line);
    DebugOutput(std::string(where) + text + "\n");
}

// alsa-lib prints its own diagnostics to standard error: a machine without a
// sound card gets a screenful at every open. They go to the debug output
// instead; the failure itself reaches us through SDL. SDL loads the same
// library by the same name, so the handler set here is the one it uses. The
// library stays loaded for the handler's sake.
void RouteAlsaDiagnostics()
{
    static const bool routed = [] {
        void* library = ::dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return false;
        using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
        auto* setHandler = reinterpret_cast<int (*)(Handler)>(::dlsym(library, "snd_lib_error_set_handler"));
        return setHandler && setHandler(&AlsaDiagnostic) == 0;
    }();
    static_cast<void>(routed);
}

} // namespace

CAudioDeviceSDL::~CAudioDeviceSDL()
{
    Close();
}

bool CAudioDeviceSDL::Open(bool stereo)
{
    if (m_Device)
        return true;
    if (!m_SubsystemStarted) {
        RouteAlsaDiagnostics();
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
