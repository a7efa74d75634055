#pragma once
// The display settings: applied once while the application object is
// built, and the brightness the display options window changes.
//
// Keys of the game's options section: "Screen Width" and "Screen Height"
// (read and written back), "Screen Bit Depth" (the depth frames are built
// for; "/ScreenBitDepth n" on the command line overrides it), "Full Screen",
// "Screen Brightness" (1.0 to 1.5 from the window's slider).

#include <cstdint>

inline constexpr int32_t GetDefaultScreenWidth()
{
    return 1024;
}
inline constexpr int32_t GetDefaultScreenHeight()
{
    return 768;
}

enum class KeepDepth { No, Yes };

// Sets the display mode from the settings, the configured one first and the
// other as the fallback; false when neither can be had (the screen's last
// error says why).
bool ApplyDisplaySettings(KeepDepth keepDepth);

// The brightness slider runs 0..100 for brightness 1.0..1.5.
int32_t BrightnessToSliderValue(float brightness);
float SliderValueToBrightness(int32_t value);
// The slider moved: gives the brightness to the screen and writes it to the
// settings file; answers the new brightness. A write that fails leaves the
// brightness unsaved with the game object, without a word while the slider
// moves.
float ApplyBrightnessSlider(int32_t value);
// Writes the screen's brightness when the game holds it unsaved (at Done and
// at the game's end). A write that fails again is told in a box that names
// the file and why; the brightness stays unsaved for the next try.
void SaveUnsavedBrightness();
