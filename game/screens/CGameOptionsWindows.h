#pragma once
// The engine's sound and display option windows in the game's skin.
//
// Sound: each row's "Mute" box becomes an image box ("MenuScreen_SelectBox",
// checked "MenuScreen_SelectBoxRed") where the old box was, only moved down,
// with its label and slider level with it; sliders get the
// "MenuScreen_Slider" track and "MenuScreen_SliderBar" thumb.
// Images are the frame library's, found by name; a missing one leaves the
// plain look.
//
// Display: adds full screen or windowed and, for full screen, the desktop's
// resolution (letterboxed) or 1024 x 768 (stretched). A click only marks the
// choice pending; the next Update applies it, so the mode never changes
// inside the click. A click on the button already checked applies again.
// The resolution is stored only while it can be chosen (full screen), so a
// trip through a window keeps it; a mode the device refuses leaves the old.
#include "ui/CSoundOptions.h"
#include "ui/CVideoOptions.h"

class CJImageCheckBox;
class CJRadioButton;
class CJStatic;

class CGameSoundOptions : public CSoundOptions {
public:
    explicit CGameSoundOptions(CJWindow* parent);
    CGameSoundOptions(CJWindow* parent, CSoundDevice& device, CMusicPlayer& music);

    virtual CJImageCheckBox* CreateCheckBox(CJWindow* parent, const CJString& title);

private:
    void Restyle();
};

class CGameVideoOptions : public CVideoOptions {
public:
    explicit CGameVideoOptions(CJWindow* parent);
    CGameVideoOptions(CJWindow* parent, const SDisplayFacts& facts);
    ~CGameVideoOptions() override;

    void Update(float seconds) override;
    void OnNotify(CJWindow* sender, int32_t code) override;

    // The buttons from the screen's mode and the stored setting.
    void RefreshControls();

    CJRadioButton* GetFullScreenButton() const { return m_FullScreen; }
    CJRadioButton* GetWindowedButton() const { return m_Windowed; }
    CJStatic* GetResolutionLabel() const { return m_ResolutionLabel; }
    CJRadioButton* GetDesktopButton() const { return m_Desktop; }
    CJRadioButton* GetStretchedButton() const { return m_Stretched; }
    bool IsApplyPending() const { return m_ApplyPending; }

private:
    void Build();

    CJStatic* m_TypeLabel = nullptr;
    CJRadioButton* m_FullScreen = nullptr;
    CJRadioButton* m_Windowed = nullptr;
    CJStatic* m_ResolutionLabel = nullptr;
    CJRadioButton* m_Desktop = nullptr;
    CJRadioButton* m_Stretched = nullptr;
    bool m_ApplyPending = false;
};

// Builds the windows' translatable texts, for the start-up registrations.
void RegisterGameOptionsTexts();
