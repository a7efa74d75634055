#include "sound/SoundOptions.h"

#include "sound/CMusicPlayer.h"
#include "sound/CSoundDevice.h"

#include "foundation/CIniSection.h"

#include <algorithm>

namespace {

constexpr const char* kMasterVolume = "Master Volume";
constexpr const char* kMasterMute = "Master Mute";
constexpr const char* kEffectsVolume = "SFx Voume";
constexpr const char* kEffectsMute = "SFx Mute";
constexpr const char* kMusicVolume = "Music Volume";
constexpr const char* kMusicMute = "Music Mute";
constexpr const char* kStereo = "Stereo Sounds";

constexpr int32_t kSilent = -10000;
constexpr int32_t kFullSlider = 3333;
constexpr float kEffectsSliderScale = 6666.0f;
constexpr float kEffectsMin = 0.5f;
constexpr float kEffectsMax = 1.0f;

const char* MuteKey(SoundOptionRow row)
{
    switch (row) {
    case SoundOptionRow::Master:
        return kMasterMute;
    case SoundOptionRow::Effects:
        return kEffectsMute;
    case SoundOptionRow::Music:
        break;
    }
    return kMusicMute;
}

// The effects volume as stored, corrected into its range (and then stored).
float ReadEffectsVolume()
{
    CIniSection& options = GetOptionsSection();
    const float stored = options.GetFloat(kEffectsVolume, kEffectsMax);
    const float volume = std::clamp(stored, kEffectsMin, kEffectsMax);
    if (volume != stored)
        options.SetFloat(kEffectsVolume, volume);
    return volume;
}

} // namespace

void ApplySoundSettings(CSoundDevice& device, CMusicPlayer& music)
{
    const CIniSection& options = GetOptionsSection();
    device.SetMasterAttenuation(
        options.GetInt(kMasterMute, 0) ? kSilent : options.GetInt(kMasterVolume, kFullSlider) - kFullSlider);
    const float effects = ReadEffectsVolume();
    device.SetMasterScale(options.GetInt(kEffectsMute, 0) ? 0.0f : effects);
    device.SetStereo(options.GetInt(kStereo, 1) != 0);
    music.SetBaseVolume(options.GetInt(kMusicMute, 0) ? CMusicPlayer::kMuted
                                                      : options.GetInt(kMusicVolume, CMusicPlayer::kDefaultBaseVolume));
}

void ApplySoundSettings()
{
    ApplySoundSettings(CSoundDevice::SGetInstance(), CMusicPlayer::SGetInstance());
}

CSoundOptionsState::CSoundOptionsState(CSoundDevice& device, CMusicPlayer& music)
    : m_Device(device)
    , m_Music(music)
{
    const CIniSection& options = GetOptionsSection();
    m_Slider[Index(SoundOptionRow::Master)] = options.GetInt(kMasterVolume, kFullSlider);
    m_Slider[Index(SoundOptionRow::Effects)] = int32_t((ReadEffectsVolume() - kEffectsMin) * kEffectsSliderScale);
    m_Slider[Index(SoundOptionRow::Music)]
        = options.GetInt(kMusicVolume, CMusicPlayer::kDefaultBaseVolume) + kFullSlider;
    m_Muted[Index(SoundOptionRow::Master)] = options.GetInt(kMasterMute, 0) != 0;
    m_Muted[Index(SoundOptionRow::Effects)] = options.GetInt(kEffectsMute, 0) != 0;
    m_Muted[Index(SoundOptionRow::Music)] = options.GetInt(kMusicMute, 0) != 0;
}

void CSoundOptionsState::SetMuted(SoundOptionRow row, bool muted)
{
    m_Muted[Index(row)] = muted;
    GetOptionsSection().SetInt(MuteKey(row), muted ? 1 : 0);
    Apply(row);
}

void CSoundOptionsState::MoveSlider(SoundOptionRow row, int32_t value)
{
    value = std::clamp(value, 0, kSliderMax);
    m_Slider[Index(row)] = value;
    m_Muted[Index(row)] = false;
    CIniSection& options = GetOptionsSection();
    options.SetInt(MuteKey(row), 0);
    switch (row) {
    case SoundOptionRow::Master:
        options.SetInt(kMasterVolume, value);
        break;
    case SoundOptionRow::Effects:
        options.SetFloat(kEffectsVolume, float(value) / kEffectsSliderScale + kEffectsMin);
        break;
    case SoundOptionRow::Music:
        options.SetInt(kMusicVolume, value - kFullSlider);
        break;
    }
    Apply(row);
}

void CSoundOptionsState::Apply(SoundOptionRow row)
{
    const bool muted = IsMuted(row);
    const int32_t value = GetSlider(row);
    switch (row) {
    case SoundOptionRow::Master:
        m_Device.SetMasterAttenuation(muted ? kSilent : value - kFullSlider);
        break;
    case SoundOptionRow::Effects:
        m_Device.SetMasterScale(muted ? 0.0f : float(value) / kEffectsSliderScale + kEffectsMin);
        break;
    case SoundOptionRow::Music:
        m_Music.SetBaseVolume(muted ? CMusicPlayer::kMuted : value - kFullSlider);
        m_Music.SetVolume(m_Music.GetBaseVolume());
        m_Music.Service();
        break;
    }
}
