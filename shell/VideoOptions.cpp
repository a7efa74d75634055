#include "shell/VideoOptions.h"

#include "foundation/CIniSection.h"
#include "foundation/CommandLine.h"
#include "foundation/SaturatingArithmetic.h"
#include "foundation/SettingsFiles.h"
#include "foundation/ShellServices.h"
#include "images/CFrame.h"
#include "objects/ObjectFileCallbacks.h"
#include "platform/CPlatform.h"
#include "platform/FileSystem.h"
#include "platform/GraphicsDevice.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "shell/CGameBase.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"
#include "shell/WindowModes.h"

#include <string>

namespace {

bool WriteBrightness(float brightness)
{
    const CIniSection& options = GetOptionsSection();
    return SetIniFloat(options.GetFileName(), options.GetSection(), "Screen Brightness", brightness);
}

// As a failed save of the profiles is told: the file, why, and what it costs.
void TellBrightnessNotSaved()
{
    std::string path = plat::GetProfilePath(GetOptionsSection().GetFileName());
    if (path.rfind("./", 0) == 0)
        path.erase(0, 2);
    if (path.empty() || path[0] != '/')
        path = plat::GetCurrentFolder() + "/" + path;
    std::string text = "Could not save " + path + ": " + WhyNotWritten(path) + ".";
    if (CGameBase::SIsShuttingDown())
        text += " The brightness set in this run is lost.";
    else
        text += " The brightness stays in the game, and the next change or the game's end writes it once the "
                "cause is gone.";
    ShowArrowCursor();
    plat::ShowMessageBox("Error", text);
}

} // namespace

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
    const bool written = WriteBrightness(brightness);
    CScreenFrame::SGetInstance().SetBrightness(brightness);
    if (CGameBase* game = CGameBase::SGetInstance())
        game->SetBrightnessUnsaved(!written);
    return brightness;
}

void SaveUnsavedBrightness()
{
    CGameBase* game = CGameBase::SGetInstance();
    if (!game || !game->IsBrightnessUnsaved())
        return;
    if (WriteBrightness(CScreenFrame::SGetInstance().GetBrightness())) {
        game->SetBrightnessUnsaved(false);
        return;
    }
    TellBrightnessNotSaved();
}
