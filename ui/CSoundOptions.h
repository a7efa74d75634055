#pragma once
// The sound options window: for each of master, effects and music a label,
// a "Mute" box and a slider over 0..3333, and a close button. Every change
// is applied and saved at once (CSoundOptionsState); a slider is greyed
// while its row is muted, and moving it unmutes the row.

#include "sound/SoundOptions.h"
#include "ui/CMenuWindow.h"

#include <memory>

class CJButton;
class CJCheckBox;
class CJSlider;
class CJStatic;
class CMusicPlayer;
class CSoundDevice;

class CSoundOptions : public CMenuWindow {
public:
    CSoundOptions(CJWindow* parent, CSoundDevice& device, CMusicPlayer& music);
    // The process's sound device and music player.
    explicit CSoundOptions(CJWindow* parent);
    ~CSoundOptions() override;

    void OnNotify(CJWindow* sender, int32_t code) override;

    CJStatic* GetLabel(SoundOptionRow row) const { return m_Label[Index(row)]; }
    CJCheckBox* GetMuteBox(SoundOptionRow row) const { return m_Mute[Index(row)]; }
    CJSlider* GetSlider(SoundOptionRow row) const { return m_Slider[Index(row)]; }
    CJButton* GetCloseButton() const { return m_Close; }
    const CSoundOptionsState& GetState() const { return *m_State; }

protected:
    // A restyled window's own box for the row, shown from the state; the old
    // box is the caller's to close.
    void ReplaceMuteBox(SoundOptionRow row, CJCheckBox* box);

private:
    static int Index(SoundOptionRow row)
    {
        return row == SoundOptionRow::Master ? 0 : row == SoundOptionRow::Effects ? 1 : 2;
    }
    void Build();
    // Boxes, sliders and greying from the state.
    void Refresh();

    std::unique_ptr<CSoundOptionsState> m_State;
    CJStatic* m_Label[3] = {};
    CJCheckBox* m_Mute[3] = {};
    CJSlider* m_Slider[3] = {};
    CJButton* m_Close = nullptr;
};
