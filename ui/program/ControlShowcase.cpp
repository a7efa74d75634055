#include "ui/program/ControlShowcase.h"

#include "foundation/CVirtualArray.h"
#include "shell/program/CStandInGame.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJComboBox.h"
#include "ui/CJFrameWindow.h"
#include "ui/CJScrollBar.h"
#include "ui/CJSlider.h"
#include "ui/CJSpin.h"
#include "ui/CJStatic.h"
#include "ui/CScreenWindow.h"
#include "ui/SkinResources.h"

#include <string>
#include <utility>
#include <vector>

namespace {

// The demo's controls window: the slider's value is shown beside it, the
// spin's in the status line.
class CControlsFrame : public CJFrameWindow {
public:
    using CJFrameWindow::CJFrameWindow;

    void OnNotify(CJWindow* sender, int32_t code) override
    {
        if (code == kNotifyChanged && sender && sender == m_Slider && m_SliderValue) {
            m_SliderValue->SetTitle(CJString(std::to_string(m_Slider->GetValue()).c_str()));
            return;
        }
        if (code == kNotifyChanged && sender && sender == m_Spin && m_Status) {
            m_Status->SetTitle(CJString((std::string("Copies: ") + m_Spin->GetTitleText()).c_str()));
            return;
        }
        CJFrameWindow::OnNotify(sender, code);
    }

    CJSlider* m_Slider = nullptr;
    CJStatic* m_SliderValue = nullptr;
    CJSpin* m_Spin = nullptr;
    CJStatic* m_Status = nullptr;
};

// Fixed names for the demo's combo boxes.
class CNameList : public CSimpleVirtualArray {
public:
    explicit CNameList(std::vector<std::string> names)
        : m_Names(std::move(names))
    {
    }
    const char* GetItemName(int32_t i) override { return m_Names[size_t(i)].c_str(); }
    CJString GetItemNameString(int32_t i) override { return CJString(m_Names[size_t(i)].c_str()); }
    int32_t GetCount() override { return int32_t(m_Names.size()); }

private:
    std::vector<std::string> m_Names;
};

CNameList MakeDays()
{
    std::vector<std::string> days;
    for (int day = 1; day <= 31; ++day)
        days.push_back("Day " + std::to_string(day));
    return CNameList(std::move(days));
}

struct SControlShowcase {
    SStandInHooks previous;
    CNameList paints{{"Amber", "Blue", "Coral", "Green", "Indigo", "Ochre", "Rose", "Slate", "Teal", "White"}};
    CNameList days = MakeDays();
};
SControlShowcase* g_ControlShowcase = nullptr;

// Moves an added window to (x, y); answers its right edge plus the spacing.
int32_t Put(CJWindow& window, int32_t x, int32_t y)
{
    window.MoveTo(x, y);
    return x + window.GetWidth() + window.GetParent()->GetSpacingX();
}

void Init()
{
    if (g_ControlShowcase->previous.init)
        g_ControlShowcase->previous.init();
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen || !FindSkinFrame("Demo Push"))
        return;

    auto* theme = new CThemeSpecifier("Demo");
    auto* frame = new CControlsFrame(theme, "Controls");
    theme->Destroy();
    frame->SetRect(CRect{24, 340, 364, 740});
    screen->AddChild(frame, kAsIsNoGrow);
    frame->AddCloseButton();
    frame->AddResizeGrip();

    const int32_t left = frame->GetEdgeMargin();
    int32_t y = frame->GetClientTopInset() + frame->GetEdgeMargin();

    int32_t x = Put(frame->Add<CJStatic>(kAsIsNoGrow, "&Volume"), left, y + 4);
    auto& slider = frame->Add<CJSlider>(kAsIsNoGrow, 101, 0);
    slider.SetSize(160, slider.GetHeight());
    slider.SetValue(50, true);
    frame->m_Slider = &slider;
    x = Put(slider, x, y);
    frame->m_SliderValue = &frame->Add<CJStatic>(kAsIsNoGrow, "50");
    Put(*frame->m_SliderValue, x, y + 4);
    y += slider.GetHeight() + frame->GetSpacingY();

    x = Put(frame->Add<CJStatic>(kAsIsNoGrow, "&Copies"), left, y + 2);
    auto& spin = frame->Add<CJSpin>(kAsIsNoGrow, CJString("1"), "99");
    spin.SetRange(1, 99);
    spin.SetToolTipText(CJString("Arrows, Up and Down, the wheel, or drag with the right button"), true);
    frame->m_Spin = &spin;
    Put(spin, x, y);
    y += spin.GetHeight() + frame->GetSpacingY();

    auto& note = frame->Add<CJStatic>(kAsIsNoGrow, "A label of two lines:\nit is as wide as its widest line");
    Put(note, left, y);
    y += note.GetHeight() + frame->GetSpacingY();

    // A view whose content is larger than itself: the bars come with it.
    auto& view = frame->Add<CJWindow>(kAsIsNoGrow, "Scrolled view");
    view.SetRect(CRect{left, y, frame->GetWidth() - left, frame->GetHeight() - 48});
    view.EnableScrollBars(true);
    int32_t lineY = 4;
    for (int i = 1; i <= 24; ++i) {
        const std::string text = "Line " + std::to_string(i) + " of 24: drag, click or roll the wheel";
        auto& line = view.Add<CJStatic>(kAsIsNoGrow, text.c_str());
        line.SetParseHotKeyMark(false);
        Put(line, 4, lineY);
        lineY += line.GetHeight();
    }
    // The lines stay clear of the vertical bar: children are drawn over it.
    view.SetScrollSize(view.GetWidth() - kScrollBarThickness, lineY + 4);

    frame->m_Status = &frame->Add<CJStatic>(kAsIsNoGrow, "Copies: 1");
    Put(*frame->m_Status, left, frame->GetHeight() - 40);
    // Two combo boxes on the status line: a short list, and a long one
    // whose pop-up scrolls.
    auto& paint = frame->Add<CJComboBox>(kAsIsNoGrow, &g_ControlShowcase->paints, 30);
    paint.SelectItem(1, true);
    x = Put(paint, left + 90, frame->GetHeight() - 42);
    auto& day = frame->Add<CJComboBox>(kAsIsNoGrow, &g_ControlShowcase->days, 30);
    day.SelectItem(6, true);
    Put(day, x, frame->GetHeight() - 42);
    screen->BringChildToFront(frame);
}

} // namespace

void InstallControlShowcase()
{
    // Kept for the whole run, as the hooks are (and reused when installed
    // again: the combo boxes' lists live in it).
    if (!g_ControlShowcase)
        g_ControlShowcase = new SControlShowcase;
    g_ControlShowcase->previous = GetStandInHooks();
    SStandInHooks hooks = g_ControlShowcase->previous;
    hooks.init = &Init;
    SetStandInHooks(hooks);
}
