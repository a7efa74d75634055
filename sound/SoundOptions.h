#pragma once
// The sound settings of the application's settings file (section "Options")
// and what they do:
//   "Master Volume" 0..3333 (3333)   master attenuation = value - 3333
//   "Master Mute"   0/1 (0)          1: master attenuation -10000
//   "SFx Voume"     0.5..1.0 (1.0)   the device's master scale (effects only)
//   "SFx Mute"      0/1 (0)          1: master scale 0
//   "Music Volume"  -3333..0 (-1250) the music player's base volume
//   "Music Mute"    0/1 (0)          1: music base volume -3333 (music stops)
//   "Stereo Sounds" 0/1 (1)          two-channel output
// The effects key keeps its spelling: renaming it would lose every player's
// stored setting.
//
// CSoundOptionsState is what the sound options window shows and does: three
// rows (master, effects, music) of a mute box and a 0..3333 slider. Each
// change is applied and saved at once; moving a slider unmutes its row.

#include <cstdint>

class CMusicPlayer;
class CSoundDevice;

// Start-up (and on activation): reads the settings and applies them; an
// effects volume outside 0.5..1.0 is corrected and written back.
void ApplySoundSettings(CSoundDevice& device, CMusicPlayer& music);
// The same for the process's device and music player.
void ApplySoundSettings();

enum class SoundOptionRow { Master, Effects, Music };

class CSoundOptionsState {
public:
    static constexpr int32_t kSliderMax = 3333;

    // Reads the rows from the settings.
    CSoundOptionsState(CSoundDevice& device, CMusicPlayer& music);

    int32_t GetSlider(SoundOptionRow row) const { return m_Slider[Index(row)]; }
    bool IsMuted(SoundOptionRow row) const { return m_Muted[Index(row)]; }
    // A slider is greyed while its row is muted.
    bool IsSliderGreyed(SoundOptionRow row) const { return IsMuted(row); }

    // The row's check box was clicked into this state.
    void SetMuted(SoundOptionRow row, bool muted);
    // The row's slider moved to value (0..3333).
    void MoveSlider(SoundOptionRow row, int32_t value);

private:
    static int Index(SoundOptionRow row)
    {
        return row == SoundOptionRow::Master ? 0 : row == SoundOptionRow::Effects ? 1 : 2;
    }
    // Applies the row from its slider, or its muted value.
    void Apply(SoundOptionRow row);

    CSoundDevice& m_Device;
    CMusicPlayer& m_Music;
    int32_t m_Slider[3] = {};
    bool m_Muted[3] = {};
};
