#include "ui/CVideoOptions.h"

#include "foundation/CIniSection.h"
#include "foundation/CLocalizedString.h"
#include "objects/CMessage.h"
#include "shell/CGameBase.h"
#include "shell/CScreenFrame.h"
#include "shell/VideoOptions.h"
#include "ui/CJButton.h"
#include "ui/CJSlider.h"
#include "ui/CJStatic.h"
#include "ui/CJTabControl.h"

#include <algorithm>

namespace {

constexpr int32_t kSliderWidth = 200;
constexpr uint32_t kSliderMax = 100;

const CJString& WindowTitle()
{
    static CLocalizedString title("Display Options");
    return title;
}

} // namespace

SDisplayFacts SDisplayFacts::FromScreen()
{
    const CScreenFrame& screen = CScreenFrame::SGetInstance();
    SDisplayFacts facts;
    facts.bitDepth = screen.GetBitDepth();
    facts.uses565 = screen.GetUses565();
    facts.legacyColorMode = GetOptionsSection().GetInt("Use Legacy Color Mode", 0) != 0;
    // The screen device presents one back buffer, kept on the graphics card.
    facts.backBuffers = 1;
    facts.inVideoMemory = true;
    // An unsaved brightness is the one the screen shows, not the file's.
    const CGameBase* game = CGameBase::SGetInstance();
    facts.brightness = game && game->IsBrightnessUnsaved()
        ? screen.GetBrightness()
        : GetOptionsSection().GetFloat("Screen Brightness", screen.GetBrightness());
    return facts;
}

CVideoOptions::CVideoOptions(CJWindow* parent)
    : CVideoOptions(parent, SDisplayFacts::FromScreen())
{
}

CVideoOptions::CVideoOptions(CJWindow* parent, const SDisplayFacts& facts)
    : CMenuWindow(parent, WindowTitle())
    , m_Facts(facts)
{
    Build();
}

void CVideoOptions::Build()
{
    static CLocalizedString general("General");
    static CLocalizedString info("Info");
    static CLocalizedString brightness("   Brightness:");
    static CLocalizedString pixelFormat("Pixel Format:");
    static CLocalizedString backBuffers("Back Buffers:");
    static CLocalizedString videoMemory("In Video memory");
    static CLocalizedString systemMemory("In System memory");
    static CLocalizedString done(" Done ");

    m_General = new CJWindow(this, general);
    m_BrightnessLabel = &m_General->Add<CJStatic>(EPlace::TopLeft, brightness);
    m_BrightnessSlider = new CJSlider(m_General, kSliderMax + 1, 0);
    m_BrightnessSlider->SetSize(kSliderWidth, m_BrightnessSlider->GetHeight());
    m_General->AddChild(m_BrightnessSlider, EPlace::RightOfPrevious);
    const int32_t value = BrightnessToSliderValue(m_Facts.brightness);
    m_BrightnessSlider->SetValue(uint32_t(std::clamp<int32_t>(value, 0, int32_t(kSliderMax))), true);
    if (m_Facts.bitDepth == 16) {
        m_PixelFormatLabel = &m_General->Add<CJStatic>({EPlace::Below, m_BrightnessLabel}, pixelFormat);
        m_PixelFormatText = &m_General->Add<CJStatic>(EPlace::RightOfPrevious, "xxxxxxxxx");
        m_PixelFormatText->SetAutoSize(false);
        UpdatePixelFormatText();
    }

    m_Info = new CJWindow(this, info);
    m_BuffersLabel = &m_Info->Add<CJStatic>(EPlace::TopLeft, backBuffers);
    CJString buffers;
    buffers.Format("%u, ", m_Facts.backBuffers);
    buffers += m_Facts.inVideoMemory ? videoMemory : systemMemory;
    m_BuffersText = &m_Info->Add<CJStatic>(EPlace::RightOfPrevious, buffers);

    m_Tabs = new CJTabControl(this);
    m_Tabs->AddPage(m_General);
    m_Tabs->AddPage(m_Info);
    m_Tabs->SelectTab(0);
    AddChild(m_Tabs, EPlace::TopLeft);

    m_Done = &Add<CJButton>(EPlace::BelowPreviousCentred, done);
    SetDefaultButton(m_Done);
    SetCancelButton(m_Done);
    AssignChildHotKeys();
}

void CVideoOptions::PlaceDoneButton()
{
    m_Done->Place({EPlace::BelowCentred, m_Tabs});
}

void CVideoOptions::UpdatePixelFormatText()
{
    if (!m_PixelFormatText)
        return;
    CJString text(m_Facts.uses565 ? "565" : "555");
    if (m_Facts.legacyColorMode)
        text += " Legacy Mode";
    m_PixelFormatText->SetText(text);
}

void CVideoOptions::OnNotify(CJWindow* sender, int32_t code)
{
    if (sender && sender == m_Done && code == kNotifyClicked) {
        SaveUnsavedBrightness();
        // The button touches nothing of its own after the notice.
        Close();
        return;
    }
    if (sender && sender == m_BrightnessSlider && code == kNotifyChanged) {
        const float value = ApplyBrightnessSlider(int32_t(m_BrightnessSlider->GetValue()));
        m_Facts.brightness = value;
        if (CGameBase* game = CGameBase::SGetInstance()) {
            CChangedGammaMessage gamma(value);
            game->OnMessage(gamma);
        }
    }
    CMenuWindow::OnNotify(sender, code);
}
