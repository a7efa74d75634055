#include "game/screens/CGameOptionsWindows.h"

#include "foundation/CLocalizedString.h"
#include "images/CFrameList.h"
#include "shell/CGameBase.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJSlider.h"
#include "ui/CJStatic.h"

namespace {

const CJString& MuteTitle()
{
    static CLocalizedString text("Mute");
    return text;
}

const CJString& TypeTitle()
{
    static CLocalizedString text("Type");
    return text;
}

const CJString& FullScreenTitle()
{
    static CLocalizedString text("Full Screen");
    return text;
}

const CJString& WindowedTitle()
{
    static CLocalizedString text("Windowed");
    return text;
}

const CJString& ResolutionTitle()
{
    static CLocalizedString text("Resolution");
    return text;
}

const CJString& DesktopTitle()
{
    static CLocalizedString text("Desktop\n(Letterboxed)");
    return text;
}

const CJString& StretchedTitle()
{
    static CLocalizedString text("1024 X 768\n(Stretched)");
    return text;
}

// The frame library's image of that name; null when the data has none (the
// library's own find-by-name would end the program).
CFrame* MenuImage(const char* name)
{
    CFrameList& library = GetFrameLibrary();
    const int32_t index = library.Find(CJString(name));
    return index >= 0 ? library.GetObject(index) : nullptr;
}

// Images that are missing keep the slider's plain look and size.
void SkinSlider(CJSlider& slider)
{
    if (CFrame* track = MenuImage("MenuScreen_Slider"))
        slider.SetTrackImage(track);
    if (CFrame* thumb = MenuImage("MenuScreen_SliderBar"))
        slider.SetThumbImage(thumb);
}

// Each row's new box moves down by its offset, the slider right; the label
// and the slider are then centred on the box, so a row reads as one line.
struct SRowOffsets {
    SoundOptionRow row{};
    int32_t boxY = 0;
    int32_t sliderX = 0;
};

constexpr SRowOffsets kRowOffsets[3] = {
    {SoundOptionRow::Master, 13, 5},
    {SoundOptionRow::Effects, 24, 5},
    {SoundOptionRow::Music, 22, 5},
};

void CentreOn(CJWindow& window, const CRect& line)
{
    window.MoveTo(window.GetRect().left, line.top + (line.GetHeight() - window.GetHeight()) / 2);
}

void MoveBy(CJWindow& window, int32_t dx, int32_t dy)
{
    const CRect& r = window.GetRect();
    window.MoveTo(r.left + dx, r.top + dy);
}

// A click on the checked button of a pair still tells the window, so the
// player can apply the shown mode again; the check itself does not move.
class CModeButton : public CJRadioButton {
public:
    CModeButton(CJWindow* parent, const CJString& title, CJButton* partner)
        : CJRadioButton(parent, title, partner)
    {
    }
    void Click() override
    {
        if (IsChecked() == 0 || !IsInRing()) {
            CJRadioButton::Click();
            return;
        }
        PlayClickSound();
        RunClickAction();
    }
};

} // namespace

// --- CGameSoundOptions ---

CGameSoundOptions::CGameSoundOptions(CJWindow* parent)
    : CSoundOptions(parent)
{
    Restyle();
}

CGameSoundOptions::CGameSoundOptions(CJWindow* parent, CSoundDevice& device, CMusicPlayer& music)
    : CSoundOptions(parent, device, music)
{
    Restyle();
}

CJImageCheckBox* CGameSoundOptions::CreateCheckBox(CJWindow* parent, const CJString& title)
{
    return new CJImageCheckBox(parent, title, nullptr);
}

void CGameSoundOptions::Restyle()
{
    CFrame* box = MenuImage("MenuScreen_SelectBox");
    CFrame* boxRed = MenuImage("MenuScreen_SelectBoxRed");
    for (const SRowOffsets& offsets : kRowOffsets) {
        CJCheckBox* old = GetMuteBox(offsets.row);
        const CRect place = old->GetRect();
        CJImageCheckBox* mute = CreateCheckBox(this, MuteTitle());
        if (box)
            mute->SetUncheckedImage(box);
        if (boxRed) {
            mute->SetBoxImage(boxRed);
            mute->SetCheckedImage(boxRed);
        }
        mute->MoveTo(place.left, place.top + offsets.boxY);
        old->Destroy();
        AddChild(mute);
        ReplaceMuteBox(offsets.row, mute);
        if (CJStatic* label = GetLabel(offsets.row))
            CentreOn(*label, mute->GetRect());
        if (CJSlider* slider = GetSlider(offsets.row)) {
            SkinSlider(*slider);
            MoveBy(*slider, offsets.sliderX, 0);
            CentreOn(*slider, mute->GetRect());
        }
    }
    const CRect r = GetRect();
    SetRect(CRect{r.left - 50, r.top, r.right + 50, r.bottom - 20});
    if (CJButton* done = GetCloseButton()) {
        // Below the lowest control of the last row.
        CJWindow* lowest = GetSlider(SoundOptionRow::Music);
        for (CJWindow* other : {static_cast<CJWindow*>(GetMuteBox(SoundOptionRow::Music)),
                                static_cast<CJWindow*>(GetLabel(SoundOptionRow::Music))})
            if (other && (!lowest || other->GetRect().bottom > lowest->GetRect().bottom))
                lowest = other;
        done->Place({EPlace::BelowCentred, lowest});
    }
}

// --- CGameVideoOptions ---

CGameVideoOptions::CGameVideoOptions(CJWindow* parent)
    : CGameVideoOptions(parent, SDisplayFacts::FromScreen())
{
}

CGameVideoOptions::CGameVideoOptions(CJWindow* parent, const SDisplayFacts& facts)
    : CVideoOptions(parent, facts)
{
    Build();
}

CGameVideoOptions::~CGameVideoOptions() = default;

void CGameVideoOptions::Build()
{
    m_ApplyPending = false;
    SetIconSequence("MenuScreen_Button_Display");
    if (CJSlider* slider = GetBrightnessSlider()) {
        SkinSlider(*slider);
        // The skinned slider is taller: it stays level with its label, inside
        // the page.
        if (CJStatic* label = GetBrightnessLabel())
            CentreOn(*slider, label->GetRect());
    }
    CJWindow* panel = GetGeneralPage();
    m_TypeLabel = &panel->Add<CJStatic>(EPlace::BelowPrevious, TypeTitle());
    m_FullScreen = &panel->Add<CModeButton>(EPlace::RightOfPreviousCentred, FullScreenTitle(), nullptr);
    m_Windowed = &panel->Add<CModeButton>(EPlace::RightOfPreviousCentred, WindowedTitle(), m_FullScreen);
    // Below the row before, at the left of "Type".
    m_ResolutionLabel = &panel->Add<CJStatic>({EPlace::Below, m_Windowed}, ResolutionTitle());
    m_ResolutionLabel->MoveToX(m_TypeLabel->GetRect().left);
    m_Desktop = &panel->Add<CModeButton>(EPlace::RightOfPreviousCentred, DesktopTitle(), nullptr);
    m_Stretched = &panel->Add<CModeButton>(EPlace::RightOfPreviousCentred, StretchedTitle(), m_Desktop);
    RefreshControls();
    PlaceDoneButton();
}

void CGameVideoOptions::RefreshControls()
{
    const bool full = CScreenFrame::SGetInstance().IsFullScreen();
    m_FullScreen->SetChecked(full ? 1 : 0);
    m_Windowed->SetChecked(full ? 0 : 1);
    const bool desktop = full && GetUseDesktopResolution();
    m_ResolutionLabel->Enable(full);
    m_Desktop->Enable(full);
    m_Stretched->Enable(full);
    m_Desktop->SetChecked(desktop ? 1 : 0);
    m_Stretched->SetChecked(desktop ? 0 : 1);
}

void CGameVideoOptions::OnNotify(CJWindow* sender, int32_t code)
{
    if (code == kNotifyClicked && sender
        && (sender == m_FullScreen || sender == m_Windowed || sender == m_Desktop || sender == m_Stretched))
        m_ApplyPending = true;
    CVideoOptions::OnNotify(sender, code);
}

void CGameVideoOptions::Update(float seconds)
{
    // A requested close ends this window inside the base update.
    const bool closing = IsCloseRequested();
    CJWindow::Update(seconds);
    if (closing || !m_ApplyPending)
        return;
    m_ApplyPending = false;
    // A window shows "1024 X 768" greyed whatever is stored: only a choice
    // the player could make is stored, so the way back keeps the old one.
    if (m_Desktop->IsEnabled())
        SetUseDesktopResolution(m_Desktop->IsChecked() != 0);
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    const bool wasFull = screen.IsFullScreen();
    // A mode the device refuses leaves the one the player had.
    if (!screen.SetScreenMode(m_FullScreen->IsChecked() != 0))
        screen.SetScreenMode(wasFull);
    RefreshControls();
    if (CGameBase* game = CGameBase::SGetInstance())
        game->OnDisplayModeChanged();
}

void RegisterGameOptionsTexts()
{
    MuteTitle();
    TypeTitle();
    FullScreenTitle();
    WindowedTitle();
    ResolutionTitle();
    DesktopTitle();
    StretchedTitle();
}
