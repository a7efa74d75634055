#include "shell/VideoOptions.h"

#include "foundation/CIniSection.h"
#include "foundation/CommandLine.h"
#include "foundation/SaturatingArithmetic.h"
#include "images/CFrame.h"
#include "platform/GraphicsDevice.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"
#include "shell/WindowModes.h"

bool ApplyDisplaySettings(KeepDepth keepDepth)
{
    const CIniSection& options = GetOptionsSection();
    options.SetInt("Screen Width", options.GetInt("Screen Width", GetDefaultScreenWidth()));
    options.SetInt("Screen Height", options.GetInt("Screen Height", GetDefaultScreenHeight()));
    int32_t depth = options.GetInt("Screen Bit Depth", 32);
    if (HasCommandLineSwitch("/ScreenBitDepth"))
        depth = GetCommandLineInt("/ScreenBitDepth", depth);
    SetScreenDeviceReady(true);
    CFrame::SetGlobalBitDepth(32);
    if (options.GetInt("Full Screen", 1) != 0)
        SwitchToFullScreen();
    else
        SwitchToWindowed();
    const bool set = CScreenDevice::SGetInstance().GetDevice().IsCreated();
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    if (keepDepth == KeepDepth::No)
        CFrame::SetGlobalBitDepth(uint32_t(depth));
    screen.SetBrightness(options.GetFloat("Screen Brightness", 1.0f));
    return set;
}

int32_t BrightnessToSliderValue(float brightness)
{
    return TruncateToInt32((double(brightness) - 1.0) * 200.0);
}

float SliderValueToBrightness(int32_t value)
{
    return float(double(value) * 0.5 / 100.0 + 1.0);
}

float ApplyBrightnessSlider(int32_t value)
{
    const float brightness = SliderValueToBrightness(value);
    GetOptionsSection().SetFloat("Screen Brightness", brightness);
    CScreenFrame::SGetInstance().SetBrightness(brightness);
    return brightness;
}
