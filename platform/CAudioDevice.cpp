#include "platform/CAudioDevice.h"

#include <SDL.h>

#include <cstddef>
#include <cstring>

namespace plat {

bool CAudioDeviceHeadless::Open(bool stereo)
{
    if (!m_Open)
        GetMixer().SetStereo(stereo);
    m_Open = true;
    return true;
}

bool DecodeCompressedWave(const uint8_t* bytes, size_t size, PcmFormat& format, std::vector<uint8_t>& pcm)
{
    if (!bytes || size == 0 || size > 0x7FFFFFFF)
        return false;
    SDL_RWops* source = SDL_RWFromConstMem(bytes, int(size));
    if (!source)
        return false;
    SDL_AudioSpec spec;
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(source, 1, &spec, &data, &length))
        return false;
    const Uint8 channels = spec.channels > 2 ? 2 : spec.channels;
    bool ok = channels > 0 && spec.freq > 0;
    SDL_AudioCVT convert;
    const int built = ok
        ? SDL_BuildAudioCVT(&convert, spec.format, spec.channels, spec.freq, AUDIO_S16LSB, channels, spec.freq)
        : -1;
    if (built < 0) {
        ok = false;
    } else if (built == 0 || length == 0) {
        // Data that decodes to nothing has no bytes to copy or convert.
        pcm.assign(data, data + length);
    } else {
        std::vector<uint8_t> work(size_t(length) * size_t(convert.len_mult));
        std::memcpy(work.data(), data, length);
        convert.buf = work.data();
        convert.len = int(length);
        ok = SDL_ConvertAudio(&convert) == 0;
        if (ok)
            pcm.assign(work.data(), work.data() + convert.len_cvt);
    }
    SDL_FreeWAV(data);
    if (!ok)
        return false;
    format.channels = channels;
    format.rate = uint32_t(spec.freq);
    format.bits = 16;
    // Whole frames only.
    const size_t frameBytes = size_t(channels) * 2;
    pcm.erase(pcm.begin() + std::ptrdiff_t(pcm.size() / frameBytes * frameBytes), pcm.end());
    return true;
}

} // namespace plat
