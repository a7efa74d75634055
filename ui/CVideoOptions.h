#pragma once
// The "Display Options" window: a "General" page with the brightness slider
// (0..100 for brightness 1.0..1.5, applied and saved as it moves) and, on
// 16-bit screens, the pixel format; an "Info" page with the screen's back
// buffers; and a " Done " button that closes the window.

#include "ui/CMenuWindow.h"

#include <cstdint>

class CJButton;
class CJSlider;
class CJStatic;
class CJTabControl;

// What the window shows of the screen; read from the screen frame and the
// settings unless given.
struct SDisplayFacts {
    uint32_t bitDepth = 32;
    bool uses565 = true;
    bool legacyColorMode = false;
    uint32_t backBuffers = 1;
    bool inVideoMemory = true;
    float brightness = 1.0f;

    static SDisplayFacts FromScreen();
};

class CVideoOptions : public CMenuWindow {
public:
    explicit CVideoOptions(CJWindow* parent);
    CVideoOptions(CJWindow* parent, const SDisplayFacts& facts);

    void OnNotify(CJWindow* sender, int32_t code) override;

    // Puts the " Done " button centred below the pages.
    void PlaceDoneButton();
    // "565" or "555", then " Legacy Mode" when that mode is on.
    void UpdatePixelFormatText();

    CJTabControl* GetTabControl() const { return m_Tabs; }
    CJWindow* GetGeneralPage() const { return m_General; }
    CJWindow* GetInfoPage() const { return m_Info; }
    CJStatic* GetBrightnessLabel() const { return m_BrightnessLabel; }
    CJSlider* GetBrightnessSlider() const { return m_BrightnessSlider; }
    // Null unless the screen is 16-bit.
    CJStatic* GetPixelFormatText() const { return m_PixelFormatText; }
    CJStatic* GetBuffersText() const { return m_BuffersText; }
    CJButton* GetDoneButton() const { return m_Done; }

private:
    void Build();

    SDisplayFacts m_Facts;
    CJWindow* m_General = nullptr;
    CJWindow* m_Info = nullptr;
    CJStatic* m_BrightnessLabel = nullptr;
    CJSlider* m_BrightnessSlider = nullptr;
    CJStatic* m_PixelFormatLabel = nullptr;
    CJStatic* m_PixelFormatText = nullptr;
    CJStatic* m_BuffersLabel = nullptr;
    CJStatic* m_BuffersText = nullptr;
    CJTabControl* m_Tabs = nullptr;
    CJButton* m_Done = nullptr;
};
