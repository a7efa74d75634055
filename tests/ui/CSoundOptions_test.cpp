// The sound options window driven by real clicks and keys over a headless
// sound device: what each box and slider does to the device, the music and
// the settings, the greying, and the stored values it starts from.
#include "MenuTestSupport.h"

#include "foundation/CIniSection.h"
#include "platform/CAudioDevice.h"
#include "sound/CMusicPlayer.h"
#include "sound/CSoundDevice.h"
#include "ui/CJCheckBox.h"
#include "ui/CJSlider.h"
#include "ui/CSoundOptions.h"

#include <memory>

namespace {

class SoundOptionsTest : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(m_Device.Initialize());
        m_Music = std::make_unique<CMusicPlayer>(m_Device, CSoundStreamPump::Threading::Unthreaded);
    }
    void TearDown() override
    {
        delete m_Screen;
        m_Screen = nullptr;
        m_Music.reset();
        m_Device.Shutdown();
        ScreenTest::TearDown();
    }
    CSoundOptions* Open()
    {
        ApplySoundSettings(m_Device, *m_Music);
        auto* window = new CSoundOptions(m_Screen, m_Device, *m_Music);
        m_Screen->AddChildFirst(window, EPlace::Centred);
        return window;
    }
    // A press on the slider's left (right) end.
    void SlideToEnd(CJSlider& slider, bool right)
    {
        const CRect& r = slider.GetScreenRect();
        Click(CPoint{right ? r.right - 1 : r.left, (r.top + r.bottom) / 2});
    }
    CIniSection& Options() { return GetOptionsSection(); }

    CScopedDataFolder m_DataFolder{"."};
    plat::CAudioDeviceHeadless m_Audio;
    CSoundDevice m_Device{m_Audio};
    std::unique_ptr<CMusicPlayer> m_Music;
};

TEST_F(SoundOptionsTest, StartsFromTheSettingsAndEffectsAtZeroPlayAtHalfNotSilent)
{
    Options().SetFloat("SFx Voume", 0.2f);
    Options().SetInt("Music Mute", 1);
    CSoundOptions* window = Open();
    // 0.2 is read as 0.5 (and written back): the effects slider's bottom.
    CJSlider* effects = window->GetSlider(SoundOptionRow::Effects);
    EXPECT_EQ(effects->GetValue(), 0u);
    EXPECT_EQ(Options().GetFloat("SFx Voume", 9.0f), 0.5f);
    EXPECT_EQ(window->GetSlider(SoundOptionRow::Music)->GetValue(), uint32_t(3333 - 1250));
    EXPECT_EQ(window->GetMuteBox(SoundOptionRow::Music)->IsChecked(), 1);
    EXPECT_TRUE(window->GetSlider(SoundOptionRow::Music)->IsGrayed());

    SlideToEnd(*effects, true);
    EXPECT_EQ(m_Device.GetMasterScale(), 1.0f);
    SlideToEnd(*effects, false);
    EXPECT_EQ(m_Device.GetMasterScale(), 0.5f);
    EXPECT_EQ(Options().GetFloat("SFx Voume", 9.0f), 0.5f);
    Click(*window->GetMuteBox(SoundOptionRow::Effects));
    EXPECT_EQ(m_Device.GetMasterScale(), 0.0f);
    EXPECT_EQ(Options().GetInt("SFx Mute", 0), 1);
}

TEST_F(SoundOptionsTest, MuteGreysTheSliderAndMovingItUnmutes)
{
    Options().SetInt("Master Volume", 2000);
    CSoundOptions* window = Open();
    CJSlider* master = window->GetSlider(SoundOptionRow::Master);
    CJCheckBox* mute = window->GetMuteBox(SoundOptionRow::Master);
    Click(*mute);
    EXPECT_EQ(mute->IsChecked(), 1);
    EXPECT_EQ(m_Device.GetMasterAttenuation(), -10000);
    EXPECT_TRUE(master->IsGrayed());
    EXPECT_EQ(master->GetValue(), 2000u);

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

    // Music at the bottom stops the music; Escape ends the window.
    SlideToEnd(*window->GetSlider(SoundOptionRow::Music), false);
    EXPECT_EQ(m_Music->GetBaseVolume(), CMusicPlayer::kMuted);
    CKeyboardState::SGetInstance().OnCharacter(kKeyEscape);
    Step(CPoint{0, 0}, false);
    EXPECT_FALSE(m_Screen->HasChildren());
}

} // namespace
