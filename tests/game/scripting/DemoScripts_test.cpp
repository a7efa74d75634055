#include "game/scripting/CAudio.h"
#include "game/scripting/CExpression.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "sound/CSoundList.h"
#include "sound/SoundTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

// The checked-in audio objects and expression over freshly made tones, as
// the program reads them.
class DemoScripts : public CSoundDeviceTest {
protected:
    void SetUp() override
    {
        CSoundDeviceTest::SetUp();
        RegisterGameScriptingClasses();
        const std::string source = OMBRISALT_SOURCE_DIR;
        std::filesystem::create_directories("Data/Resources");
        std::filesystem::copy(source + "/data/Data/Resources/Audio", "Data/Resources/Audio",
                              std::filesystem::copy_options::recursive);
        std::filesystem::copy(source + "/data/Data/Resources/Expressions", "Data/Resources/Expressions",
                              std::filesystem::copy_options::recursive);
        ASSERT_EQ(RunCommand("python3 " + source + "/tools/make_demo_tones.py ."), 0);
        std::filesystem::current_path("Data");
        m_Sounds = std::make_unique<CSoundList>(m_Device);
        ASSERT_EQ(m_Sounds->Load("Demo Sounds", "Resources", ".wav", ".ogg"), CountSoundFiles("Resources"));
        GetAudioList().SetSource("Resources/Audio", m_Sounds.get());
    }
    void TearDown() override
    {
        GetAudioList().SetSource("Audio", nullptr);
        m_Sounds.reset();
        CSoundDeviceTest::TearDown();
    }

    CAudioPlaySettings Play(const char* name)
    {
        m_Device.NextTick();
        return GetAudioList().PlayAudioByName(name);
    }

    std::unique_ptr<CSoundList> m_Sounds;
};

TEST_F(DemoScripts, EveryAudioObjectPlaysItsTones)
{
    for (const char* tone : {"Tones/Chime Low", "Tones/Chime Mid", "Tones/Chime High"})
        EXPECT_EQ(Play("Rising Chimes").sound, m_Sounds->GetSoundByName((std::string(tone) + ".wav").c_str()));
    CAudioPlaySettings quiet = Play("Quiet Chimes");
    EXPECT_EQ(quiet.sound, m_Sounds->GetSoundByName("Tones/Chime Low.wav"));
    EXPECT_FLOAT_EQ(quiet.volume, 0.5f);
    CAudioPlaySettings click = Play("Wobbly Click");
    EXPECT_EQ(click.sound, m_Sounds->GetSoundByName("Tones/Click.wav"));
    EXPECT_GE(click.pitch, 0.8f);
    EXPECT_LT(click.pitch, 1.25f);
    auto* shuffled
        = dynamic_cast<CAudioShuffledFromSet*>(GetAudioList().GetAudio(GetAudioList().Find("Shuffled Chimes")));
    ASSERT_NE(shuffled, nullptr);
    ASSERT_EQ(shuffled->m_AudioIndexSet.GetCount(), 4u);
    for (uint32_t i = 0; i < 4; ++i)
        EXPECT_GT(shuffled->m_AudioIndexSet[i], 0) << i;
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(Play("Shuffled Chimes").sound, nullptr) << i;
    // The building sounds, the refusal's among them.
    const struct {
        const char* audio;
        const char* tone;
    } building[] = {{"Build Start", "Tones/Build Start.wav"}, {"Build Done", "Tones/Build Done.wav"},
                    {"Pick Up", "Tones/Pick Up.wav"},         {"Drop", "Tones/Drop.wav"},
                    {"Drop Error", "Player Error.wav"},       {"Bulldoze", "Tones/Bulldoze.wav"},
                    {"Bonus Tick", "Tones/Bonus Tick.wav"}};
    for (const auto& b : building) {
        CSound* tone = m_Sounds->GetSoundByName(b.tone);
        ASSERT_NE(tone, nullptr) << b.tone;
        EXPECT_EQ(Play(b.audio).sound, tone) << b.audio;
    }
}

TEST_F(DemoScripts, TheRomanYearIsARomanNumeral)
{
    std::unique_ptr<CObject> object(
        LoadObjectFromFile("Resources/Expressions/Roman Year.txt", 0, IdMode::WithoutIds, ReportUnknownClass::Quiet));
    auto* expression = dynamic_cast<CExpression*>(object.get());
    ASSERT_NE(expression, nullptr);
    for (int i = 0; i < 20; ++i) {
        CScriptValue value;
        expression->Evaluate(nullptr, value);
        const std::string text = value.GetText().GetString();
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.find_first_not_of("MDCLXVI"), std::string::npos) << text;
    }
}

} // namespace
