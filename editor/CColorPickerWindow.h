#pragma once
// The colour picker: a small frame window in which the designer picks a
// colour by hue and saturation on a gradient and by value on a slider. The
// colour row of the object editor opens it and gives it a change command,
// which reads GetPickedColor after every change. The window owns the
// command and deletes it when it closes. The command runs inside the
// control's own input handling: a command that wants the picker gone asks
// with RequestClose, never Close.
#include "blit/CColor.h"
#include "ui/CJFrameWindow.h"

#include <cstdint>
#include <memory>

class CColorPropertyEditor;
class CCommand;
class CFrame;
class CJSlider;
class CJStatic;

// Hue (0..360 degrees) runs left to right over the image, saturation (0..1)
// grows downwards; the image is drawn at the current value.
class CHueGradientControl : public CJWindow {
public:
    static constexpr uint32_t kWidth = 256;
    static constexpr uint32_t kHeight = 128;

    explicit CHueGradientControl(CJWindow* parent);
    ~CHueGradientControl() override;

    void Draw(CFrameInterface& frame) override;
    // A left press or drag inside picks hue and saturation there and tells
    // the parent (kNotifyChanged).
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override;

    float GetHue() const { return m_Hue; }
    float GetSaturation() const { return m_Saturation; }
    float GetValue() const { return m_Value; }
    // Rebuilds the image at the new value.
    void SetValue(float value);
    CFrame* GetImage() const { return m_Image.get(); }
    bool IsImageValid() const { return m_ImageValid; }

private:
    void BuildImage();

    std::unique_ptr<CFrame> m_Image;
    float m_Hue = 0.0f;
    float m_Saturation = 0.0f;
    float m_Value = 0.5f;
    bool m_ImageValid = false;
};

// A 20 x 20 swatch of one colour, outlined.
class CSelectedColorControl : public CJWindow {
public:
    explicit CSelectedColorControl(CJWindow* parent);
    ~CSelectedColorControl() override;

    void Draw(CFrameInterface& frame) override;
    void SetColor(const CColor& colour) { m_Color = colour; }
    const CColor& GetColor() const { return m_Color; }

private:
    CColor m_Color{255, 255, 255, 255};
};

class CColorPickerWindow : public CJFrameWindow {
public:
    static constexpr const char* kSettingsKey = "ColorPickerWindow";

    // Placed at the right edge of a 640-pixel-wide screen, then where the
    // settings last had it.
    explicit CColorPickerWindow(CJWindow* parent);
    ~CColorPickerWindow() override;

    // Takes the command (null: none) and deletes the one it had.
    void SetChangeCallback(CCommand* command);
    // Hue, saturation and value as red, green and blue, alpha 255.
    CColor GetPickedColor() const;

    void OnNotify(CJWindow* sender, int32_t code) override;

    CHueGradientControl* GetGradient() const { return m_Gradient; }
    CJSlider* GetValueSlider() const { return m_ValueSlider; }
    CSelectedColorControl* GetSwatch() const { return m_Swatch; }
    CJStatic* GetHueText() const { return m_HueText; }
    CJStatic* GetSaturationText() const { return m_SaturationText; }
    CJStatic* GetValueText() const { return m_ValueText; }

private:
    CJStatic* AddNumberRow(const char* label, EPlace placement);

    CJStatic* m_HueText = nullptr;
    CJStatic* m_SaturationText = nullptr;
    CJStatic* m_ValueText = nullptr;
    CJSlider* m_ValueSlider = nullptr;
    CHueGradientControl* m_Gradient = nullptr;
    CSelectedColorControl* m_Swatch = nullptr;
    CCommand* m_ChangeCallback = nullptr;
};

// A picker in front of the root window's children; it takes the command.
CColorPickerWindow* OpenColorPickerWindow(CJWindow* beside, CCommand* changeCallback);
// The colour row's picker, beside the row (null: none opened); each pick is
// applied to the row's property.
CJWindow* OpenColorPickerForRow(CColorPropertyEditor& row);
