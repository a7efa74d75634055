#include "ui/CSoundOptions.h"

#include "foundation/CLocalizedString.h"
#include "sound/CMusicPlayer.h"
#include "sound/CSoundDevice.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJSlider.h"
#include "ui/CJStatic.h"

#include <algorithm>

namespace {

constexpr SoundOptionRow kRows[3] = {SoundOptionRow::Master, SoundOptionRow::Effects, SoundOptionRow::Music};
constexpr int32_t kSliderWidth = 200;

const CJString& RowText(int row)
{
    static CLocalizedString master("Master Volume");
    static CLocalizedString effects("Sfx Volume", "sound effects volume");
    static CLocalizedString music("Music Volume");
    return row == 0 ? master : row == 1 ? effects : music;
}

} // namespace

CSoundOptions::CSoundOptions(CJWindow* parent, CSoundDevice& device, CMusicPlayer& music)
    : CMenuWindow(parent, "Sound Options")
    , m_State(std::make_unique<CSoundOptionsState>(device, music))
{
    Build();
}

CSoundOptions::CSoundOptions(CJWindow* parent)
    : CSoundOptions(parent, CSoundDevice::SGetInstance(), CMusicPlayer::SGetInstance())
{
}

CSoundOptions::~CSoundOptions() = default;

void CSoundOptions::Build()
{
    const int32_t margin = GetEdgeMargin();
    int32_t labelWidth = 0;
    for (int row = 0; row < 3; ++row) {
        m_Label[row] = new CJStatic(this, RowText(row));
        labelWidth = std::max(labelWidth, m_Label[row]->GetWidth());
    }
    int32_t y = GetClientTopInset() + margin;
    for (int row = 0; row < 3; ++row) {
        m_Mute[row] = new CJCheckBox(this, "Mute");
        m_Slider[row] = new CJSlider(this, CSoundOptionsState::kSliderMax + 1, 0);
        m_Slider[row]->SetSize(kSliderWidth, m_Slider[row]->GetHeight());
        const int32_t height
            = std::max({m_Label[row]->GetHeight(), m_Mute[row]->GetHeight(), m_Slider[row]->GetHeight()});
        int32_t x = margin;
        const auto put = [&](CJWindow* window, int32_t width) {
            window->MoveTo(x, y + (height - window->GetHeight()) / 2);
            AddChild(window);
            x += width + GetSpacingX();
        };
        put(m_Label[row], labelWidth);
        put(m_Mute[row], m_Mute[row]->GetWidth());
        put(m_Slider[row], m_Slider[row]->GetWidth());
        y += height + GetSpacingY();
    }
    m_Close = &Add<CJButton>(EPlace::BelowPreviousCentred, "Close");
    SetCancelButton(m_Close);
    SetDefaultButton(m_Close);
    Refresh();
}

void CSoundOptions::Refresh()
{
    for (int row = 0; row < 3; ++row) {
        const SoundOptionRow which = kRows[row];
        m_Slider[row]->SetValue(uint32_t(std::max(m_State->GetSlider(which), 0)), true);
        m_Mute[row]->SetChecked(m_State->IsMuted(which) ? 1 : 0);
        m_Slider[row]->SetGrayed(m_State->IsSliderGreyed(which));
    }
}

void CSoundOptions::ReplaceMuteBox(SoundOptionRow row, CJCheckBox* box)
{
    if (!box)
        return;
    m_Mute[Index(row)] = box;
    Refresh();
}

void CSoundOptions::OnNotify(CJWindow* sender, int32_t code)
{
    if (sender && sender == m_Close && code == kNotifyClicked) {
        // The button touches nothing of its own after the notice.
        Close();
        return;
    }
    for (int row = 0; row < 3; ++row) {
        if (sender && sender == m_Mute[row] && code == kNotifyClicked) {
            m_State->SetMuted(kRows[row], m_Mute[row]->IsChecked() != 0);
            Refresh();
            return;
        }
        if (sender && sender == m_Slider[row] && code == kNotifyChanged) {
            m_State->MoveSlider(kRows[row], int32_t(m_Slider[row]->GetValue()));
            Refresh();
            return;
        }
    }
    CMenuWindow::OnNotify(sender, code);
}
