#include "editor/CColorPickerWindow.h"

#include "blit/CBlitTypeList.h"
#include "editor/CObjectEditor.h"
#include "editor/PointAndColorPropertyEditors.h"
#include "foundation/CCommand.h"
#include "images/CFrame.h"
#include "images/ColorModels.h"
#include "render/SurfaceHelpers.h"
#include "ui/CJSlider.h"
#include "ui/CJStatic.h"

#include <algorithm>

namespace {

constexpr int32_t kScreenWidth = 640;
constexpr uint32_t kValueSteps = 128;
constexpr uint32_t kValueStart = 64;
constexpr int32_t kSwatchSize = 20;
constexpr int32_t kGrabCursor = 6;

uint8_t ToByte(float channel)
{
    return uint8_t(std::clamp(channel, 0.0f, 1.0f) * 255.0f);
}

CColor ColorOf(float hue, float saturation, float value)
{
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    HSVToRGB(hue, saturation, value, red, green, blue);
    return CColor(ToByte(red), ToByte(green), ToByte(blue), 255);
}

void SetNumber(CJStatic* text, int32_t number)
{
    text->SetTitleFromInt(number);
}

} // namespace

// ---- Gradient ---------------------------------------------------------------

CHueGradientControl::CHueGradientControl(CJWindow* parent)
    : CJWindow(parent, "~CHueGradientControl")
    , m_Image(CFrame::MakeOwned(kWidth, kHeight, CFrame::SGetBitDepth()))
{
    SetSize(int32_t(kWidth), int32_t(kHeight));
    BuildImage();
}

CHueGradientControl::~CHueGradientControl() = default;

void CHueGradientControl::BuildImage()
{
    for (uint32_t y = 0; y < kHeight; ++y) {
        const float saturation = float(y) / float(kHeight - 1);
        for (uint32_t x = 0; x < kWidth; ++x) {
            CColor colour = ColorOf(float(x) / float(kWidth - 1) * 360.0f, saturation, m_Value);
            m_Image->SetPixel(int32_t(x), int32_t(y), colour);
        }
    }
    m_ImageValid = true;
}

void CHueGradientControl::SetValue(float value)
{
    m_Value = value;
    BuildImage();
}

void CHueGradientControl::Draw(CFrameInterface& frame)
{
    BlitAt(frame, *m_Image, 0, 0, GetNormalBlitType());
    CColor outline(255, 255, 255, 255);
    DrawRect(frame, CRect{0, 0, GetWidth(), GetHeight()}, outline);
    CJWindow::Draw(frame);
}

bool CHueGradientControl::OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor)
{
    const CRect& r = m_ScreenRect;
    const bool inside = point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom;
    if (!(buttons & 1u) || !inside || r.GetWidth() <= 0 || r.GetHeight() <= 0)
        return CJWindow::OnMouseDrag(point, movement, buttons, cursor);
    m_Hue = float(point.x - r.left) / float(r.GetWidth()) * 360.0f;
    m_Saturation = float(point.y - r.top) / float(r.GetHeight());
    NotifyParent(kNotifyChanged);
    cursor = GetStandardCursor(kGrabCursor);
    return true;
}

// ---- Swatch -----------------------------------------------------------------

CSelectedColorControl::CSelectedColorControl(CJWindow* parent)
    : CJWindow(parent, "~CSelectedColorControl")
{
    SetSize(kSwatchSize, kSwatchSize);
}

CSelectedColorControl::~CSelectedColorControl() = default;

void CSelectedColorControl::Draw(CFrameInterface& frame)
{
    const CRect bounds{0, 0, GetWidth(), GetHeight()};
    CColor fill = m_Color;
    frame.FillRect(bounds, fill);
    CColor outline(255, 255, 255, 255);
    DrawRect(frame, bounds, outline);
    CJWindow::Draw(frame);
}

// ---- Window -----------------------------------------------------------------

CColorPickerWindow::CColorPickerWindow(CJWindow* parent)
    : CJFrameWindow(parent, "Color")
{
    // The designer closes it like every other editor window.
    AddCloseButton();
    m_HueText = AddNumberRow("H:", EPlace::TopLeft);
    CJWindow* hueLabel = m_HueText->GetPrevSibling();
    m_SaturationText = AddNumberRow("S:", EPlace::RightOfPrevious);
    m_ValueText = AddNumberRow("V:", EPlace::RightOfPrevious);

    m_Gradient = &Add<CHueGradientControl>({EPlace::Below, hueLabel});

    m_ValueSlider = new CJSlider(this, kValueSteps, 0);
    m_ValueSlider->SetWidth(m_Gradient->GetWidth());
    m_ValueSlider->SetValue(kValueStart, true);
    AddChild(m_ValueSlider, EPlace::BelowPrevious);

    m_Swatch = &Add<CSelectedColorControl>(EPlace::RightOfPrevious);
    m_Swatch->SetColor(GetPickedColor());
    Add<CJStatic>(EPlace::RightOfPrevious, "Drag ");

    MoveTo(kScreenWidth - GetWidth(), 0);
    LoadWindowSettings(kSettingsKey, false);
}

CColorPickerWindow::~CColorPickerWindow()
{
    delete m_ChangeCallback;
}

CJStatic* CColorPickerWindow::AddNumberRow(const char* label, EPlace placement)
{
    Add<CJStatic>(placement, label);
    // Room for three digits, so a number never pushes into the next label.
    auto& number = Add<CJStatic>(EPlace::RightOfPrevious, "000");
    number.SetAutoSize(false);
    number.SetTitle(CJString("??"));
    return &number;
}

void CColorPickerWindow::SetChangeCallback(CCommand* command)
{
    if (command == m_ChangeCallback)
        return;
    delete m_ChangeCallback;
    m_ChangeCallback = command;
}

CColor CColorPickerWindow::GetPickedColor() const
{
    return ColorOf(m_Gradient->GetHue(), m_Gradient->GetSaturation(), m_Gradient->GetValue());
}

void CColorPickerWindow::OnNotify(CJWindow* sender, int32_t code)
{
    bool picked = false;
    if (code == kNotifyChanged && sender && sender == m_Gradient) {
        SetNumber(m_HueText, int32_t(m_Gradient->GetHue()));
        SetNumber(m_SaturationText, int32_t(m_Gradient->GetSaturation() * 255.0f));
        picked = true;
    } else if (code == kNotifyChanged && sender && sender == m_ValueSlider) {
        const float value = std::min(1.0f, float(m_ValueSlider->GetValue()) / float(kValueSteps - 1));
        if (value != m_Gradient->GetValue())
            m_Gradient->SetValue(value);
        SetNumber(m_ValueText, int32_t(value * 255.0f));
        picked = true;
    }
    if (picked) {
        m_Swatch->SetColor(GetPickedColor());
        if (m_ChangeCallback)
            m_ChangeCallback->Execute();
    }
    CJFrameWindow::OnNotify(sender, code);
}

CColorPickerWindow* OpenColorPickerWindow(CJWindow* beside, CCommand* changeCallback)
{
    CJWindow* root = beside ? beside->GetRootWindow() : nullptr;
    if (!root) {
        delete changeCallback;
        return nullptr;
    }
    auto& picker = root->AddFirst<CColorPickerWindow>(EPlace::AsIs);
    picker.SetChangeCallback(changeCallback);
    return &picker;
}

namespace {

// Hands every picked colour to the colour row that opened the picker, while
// that row lives: a pick that rebuilds the object editor destroys it, and
// the picker, closing later, may still be dragged on.
class CApplyPickedColorCommand : public CCommand {
public:
    CApplyPickedColorCommand(CColorPropertyEditor& row, const CColorPickerWindow& picker)
        : m_Row(row.GetLink())
        , m_Picker(picker)
    {
    }
    void Execute() override
    {
        if (CColorPropertyEditor* row = *m_Row)
            row->ApplyPickedColor(m_Picker.GetPickedColor());
    }

private:
    std::shared_ptr<CColorPropertyEditor* const> m_Row;
    const CColorPickerWindow& m_Picker;
};

} // namespace

CJWindow* OpenColorPickerForRow(CColorPropertyEditor& row)
{
    CJWindow* beside = row.GetRowWindow();
    if (!beside)
        beside = row.GetCategoryWindow();
    CColorPickerWindow* picker = OpenColorPickerWindow(beside, nullptr);
    if (picker)
        picker->SetChangeCallback(new CApplyPickedColorCommand(row, *picker));
    return picker;
}
