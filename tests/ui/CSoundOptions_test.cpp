// The sound options window driven by real clicks and keys over a headless
// sound device: what each box and slider does to the device, the music and
// the settings, the greying, and the stored values it starts from.
#include "SkinTestSupport.h"
#include "UiTestSupport.h"

#include "foundation/CIniSection.h"
#include "platform/CAudioDevice.h"
#include "sound/CMusicPlayer.h"
#include "sound/CSoundDevice.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJSlider.h"
#include "ui/CSoundOptions.h"

#include <memory>

namespace {

class SoundOptionsTest : public UiTestOn<SkinFrameTest> {
protected:
    void SetUp() override
    {
        UiTestOn<SkinFrameTest>::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(m_Device.Initialize());
        m_Music = std::make_unique<CMusicPlayer>(m_Device, CSoundStreamPump::Threading::Unthreaded);
        m_Screen = new CScreenWindow(m_ScreenFrame.get(), m_Font.get());
    }
    void TearDown() override
    {
        delete m_Screen;
        m_Music.reset();
        m_Device.Shutdown();
        UiTestOn<SkinFrameTest>::TearDown();
    }
    CSoundOptions* Open()
    {
        ApplySoundSettings(m_Device, *m_Music);
        auto* window = new CSoundOptions(m_Screen, m_Device, *m_Music);
        m_Screen->AddChildFirst(window, 6);
        return window;
    }
    void Step(CPoint p, bool held)
    {
        CMouseState& mouse = CMouseState::SGetInstance();
        mouse.SetPosition(p.x, p.y);
        mouse.SetButtons(held ? 1u : 0u);
        Advance(16);
        m_Screen->Update(0.016f);
    }
    void Click(CPoint p)
    {
        Step(p, true);
        Step(p, false);
    }
    // A press on the slider's left (right) end.
    void SlideToEnd(CJSlider& slider, bool right)
    {
        const CRect& r = slider.GetScreenRect();
        Click(CPoint{right ? r.right - 1 : r.left, (r.top + r.bottom) / 2});
    }
    static CPoint Centre(const CJWindow& window)
    {
        const CRect& r = window.GetScreenRect();
        return CPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    CIniSection& Options() { return GetOptionsSection(); }

    CScopedDataFolder m_DataFolder{"."};
    plat::CAudioDeviceHeadless m_Audio;
    CSoundDevice m_Device{m_Audio};
    std::unique_ptr<CMusicPlayer> m_Music;
    std::unique_ptr<CFrame> m_ScreenFrame = CFrame::MakeOwned(800, 600, 32);
    CScreenWindow* m_Screen = nullptr;
};

TEST_F(SoundOptionsTest, TheWindowStartsFromTheStoredSettings)
{
    Options().SetFloat("SFx Voume", 0.2f);
    Options().SetInt("Master Volume", 1000);
    Options().SetInt("Music Mute", 1);
    CSoundOptions* window = Open();
    EXPECT_EQ(window->GetTitle().Compare("Sound Options"), 0);
    EXPECT_EQ(window->GetSlider(SoundOptionRow::Master)->GetValue(), 1000u);
    // 0.2 is read as 0.5 (and written back): the effects slider's bottom.
    EXPECT_EQ(window->GetSlider(SoundOptionRow::Effects)->GetValue(), 0u);
    EXPECT_EQ(Options().GetFloat("SFx Voume", 9.0f), 0.5f);
    EXPECT_EQ(window->GetSlider(SoundOptionRow::Music)->GetValue(), uint32_t(3333 - 1250));
    EXPECT_EQ(window->GetMuteBox(SoundOptionRow::Music)->IsChecked(), 1);
    EXPECT_TRUE(window->GetSlider(SoundOptionRow::Music)->IsGrayed());
    EXPECT_FALSE(window->GetSlider(SoundOptionRow::Master)->IsGrayed());
    EXPECT_EQ(window->GetSlider(SoundOptionRow::Master)->GetCount(), 3334u);
}

TEST_F(SoundOptionsTest, EffectsAtZeroPlayAtHalfAndOnlyMuteSilences)
{
    CSoundOptions* window = Open();
    SlideToEnd(*window->GetSlider(SoundOptionRow::Effects), false);
    EXPECT_EQ(window->GetSlider(SoundOptionRow::Effects)->GetValue(), 0u);
    EXPECT_EQ(m_Device.GetMasterScale(), 0.5f);
    EXPECT_EQ(Options().GetFloat("SFx Voume", 9.0f), 0.5f);
    Click(Centre(*window->GetMuteBox(SoundOptionRow::Effects)));
    EXPECT_EQ(m_Device.GetMasterScale(), 0.0f);
    EXPECT_EQ(Options().GetInt("SFx Mute", 0), 1);
    SlideToEnd(*window->GetSlider(SoundOptionRow::Effects), true);
    EXPECT_EQ(m_Device.GetMasterScale(), 1.0f);
    EXPECT_EQ(window->GetMuteBox(SoundOptionRow::Effects)->IsChecked(), 0);
}

TEST_F(SoundOptionsTest, MuteGreysTheSliderAndMovingItUnmutes)
{
    Options().SetInt("Master Volume", 2000);
    CSoundOptions* window = Open();
    CJSlider* master = window->GetSlider(SoundOptionRow::Master);
    CJCheckBox* mute = window->GetMuteBox(SoundOptionRow::Master);
    Click(Centre(*mute));
    EXPECT_EQ(mute->IsChecked(), 1);
    EXPECT_EQ(m_Device.GetMasterAttenuation(), -10000);
    EXPECT_TRUE(master->IsGrayed());
    EXPECT_EQ(master->GetValue(), 2000u);
    EXPECT_EQ(Options().GetInt("Master Mute", 0), 1);

    // Keys on the greyed slider still move it, and that unmutes the row.
    window->BringChildToFront(master);
    CKeyboardState::SGetInstance().OnCharacter(uint32_t(EngineKey::Left));
    Step(CPoint{0, 0}, false);
    EXPECT_EQ(master->GetValue(), 2000u - master->GetPageStep());
    EXPECT_EQ(mute->IsChecked(), 0);
    EXPECT_FALSE(master->IsGrayed());
    EXPECT_EQ(m_Device.GetMasterAttenuation(), int32_t(master->GetValue()) - 3333);
    EXPECT_EQ(Options().GetInt("Master Mute", 7), 0);
    EXPECT_EQ(Options().GetInt("Master Volume", 0), int32_t(master->GetValue()));

    // Music at the bottom stops the music; the close button ends the window.
    SlideToEnd(*window->GetSlider(SoundOptionRow::Music), false);
    EXPECT_EQ(m_Music->GetBaseVolume(), CMusicPlayer::kMuted);
    EXPECT_EQ(Options().GetInt("Music Volume", 0), -3333);
    Click(Centre(*window->GetCloseButton()));
    EXPECT_FALSE(m_Screen->HasChildren());

    // Escape closes it as well.
    Open();
    CKeyboardState::SGetInstance().OnCharacter(kKeyEscape);
    Step(CPoint{0, 0}, false);
    EXPECT_FALSE(m_Screen->HasChildren());
}

} // namespace
