#include "SoundTestSupport.h"

std::string MonoWave(const std::vector<int16_t>& samples, uint32_t rate)
{
    return CWaveBuilder().Format(1, 1, rate, 16).Data(Pcm16(samples)).Build();
}

std::vector<int16_t> Constant(uint32_t frames, int16_t value)
{
    return std::vector<int16_t>(frames, value);
}

std::vector<int16_t> Ramp16(uint32_t frames, int16_t step)
{
    std::vector<int16_t> samples(frames);
    for (uint32_t i = 0; i < frames; ++i)
        samples[i] = int16_t(int32_t(i) * step);
    return samples;
}
