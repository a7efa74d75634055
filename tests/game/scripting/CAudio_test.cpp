#include "game/scripting/CAudio.h"

#include "game/scripting/RegisterGameScriptingClasses.h"
#include "sound/CSoundList.h"
#include "sound/SoundTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

namespace {

std::string AudioFile(const char* className, const std::string& lines)
{
    return std::string(className) + "\r\n{\r\n" + lines + "}\r\n";
}

class AudioObjects : public CSoundDeviceTest {
protected:
    void SetUp() override
    {
        CSoundDeviceTest::SetUp();
        RegisterGameScriptingClasses();
        WriteBytes("Resources/Tone A.wav", MonoWave(Constant(2000, 1000)));
        WriteBytes("Resources/Tone B.WAV", MonoWave(Constant(2000, 2000)));
        WriteBytes("Resources/Tone C.wav", MonoWave(Constant(2000, 3000)));
        WriteBytes("Audio/Half.Audio.txt",
                   AudioFile("CAudioRandomVolume",
                             "\tAudio=tone a\r\n\tLower Volume Ratio Limit=0.5\r\n"
                             "\tHigher Volume Ratio Limit=0.5\r\n"));
        WriteBytes("Audio/Quarter.Audio.txt", AudioFile("CAudioAdjustVolume", "\tAudio=Half\r\n\tVolume=0.5\r\n"));
        WriteBytes("Audio/Deep.Audio.txt", AudioFile("CAudioAdjustFrequency", "\tAudio=Tone C\r\n\tPitch Ratio=2\r\n"));
        WriteBytes("Audio/Deeper.Audio.txt", AudioFile("CAudioAdjustFrequency", "\tAudio=Deep\r\n\tPitch Ratio=2\r\n"));
        // A file named like a sound takes precedence over its automatic item.
        WriteBytes("Audio/Tone B.Audio.txt",
                   AudioFile("CAudioAdjustFrequency", "\tAudio=Tone A\r\n\tPitch Ratio=0.5\r\n"));
        WriteBytes("Audio/Ring.Audio.txt", AudioFile("CAudioAdjustFrequency", "\tAudio=Ring\r\n"));
        m_Sounds = std::make_unique<CSoundList>(m_Device);
        ASSERT_EQ(m_Sounds->Load("Scripting Sounds", "Resources", ".wav", ".ogg"), 3);
        GetAudioList().SetSource("Audio", m_Sounds.get());
    }
    void TearDown() override
    {
        GetAudioList().SetSource("Audio", nullptr);
        GetAudioList().SetEnabled(true);
        m_Sounds.reset();
        CSoundDeviceTest::TearDown();
    }

    CSound* Sound(const char* name) { return m_Sounds->GetSoundByName(name); }
    int32_t Audio(const char* name) { return GetAudioList().Find(name); }
    // The copy of the chosen sound that started on this step, or null.
    CSound* Started(const CAudioPlaySettings& result)
    {
        for (CSound* s = result.sound; s; s = s->GetNextCopy()) {
            if (s->IsPlaying())
                return s;
        }
        return nullptr;
    }
    CAudioPlaySettings Play(CAudio& audio, CAudioPlaySettings settings = CAudioPlaySettings())
    {
        m_Device.NextTick();
        m_Device.StopAllSounds();
        return audio.Play(settings);
    }
    CAudioPlaySettings PlayIndex(int32_t index, CAudioPlaySettings settings = CAudioPlaySettings())
    {
        m_Device.NextTick();
        m_Device.StopAllSounds();
        return GetAudioList().PlayAudioByIndex(index, settings);
    }
    template <typename T>
    static std::unique_ptr<T> Set(std::initializer_list<int32_t> elements)
    {
        auto set = std::make_unique<T>();
        auto* property = static_cast<const CPropertyArrayProperty*>(T::SGetClassInfo()->FindProperty("Audio Set"));
        property->ArrayProperty_SetCount(set.get(), uint32_t(elements.size()));
        uint32_t i = 0;
        for (int32_t element : elements)
            set->m_AudioIndexSet[i++] = element;
        return set;
    }

    std::unique_ptr<CSoundList> m_Sounds;
};

TEST_F(AudioObjects, SeriesPlaysInOrderAndNoPlayNeitherStartsNorAdvances)
{
    auto series = Set<CAudioSeriesFromSet>({Audio("Tone A"), Audio("Tone C"), Audio("Half")});
    CAudioPlaySettings quiet;
    quiet.noPlay = true;
    CAudioPlaySettings peek = Play(*series, quiet);
    EXPECT_EQ(peek.sound, Sound("Tone A.wav"));
    EXPECT_EQ(Started(peek), nullptr);
    const char* expected[] = {"Tone A.wav", "Tone C.wav", "Tone A.wav", "Tone A.wav", "Tone C.wav"};
    for (const char* name : expected) {
        CAudioPlaySettings result = Play(*series);
        EXPECT_EQ(result.sound, Sound(name)) << name;
        EXPECT_NE(Started(result), nullptr) << name;
    }
    EXPECT_EQ(series->m_NextIndex, 2u);
}

TEST_F(AudioObjects, AnElementWithoutAudioKeepsItsTurn)
{
    auto series = Set<CAudioSeriesFromSet>({Audio("Tone A"), 0, Audio("Tone C")});
    EXPECT_EQ(Play(*series).sound, Sound("Tone A.wav"));
    CAudioPlaySettings gap = Play(*series);
    EXPECT_EQ(gap.sound, nullptr);
    EXPECT_EQ(Play(*series).sound, Sound("Tone C.wav"));
    EXPECT_EQ(Play(*series).sound, Sound("Tone A.wav"));
    auto empty = Set<CAudioSeriesFromSet>({});
    EXPECT_EQ(Play(*empty).sound, nullptr);
    auto emptyRandom = Set<CAudioRandomFromSet>({});
    EXPECT_EQ(Play(*emptyRandom).sound, nullptr);
}

TEST_F(AudioObjects, ShuffledSetsPlayEachOncePerCycleAndKeepTheStoredOrder)
{
    const int32_t a = Audio("Tone A");
    const int32_t c = Audio("Tone C");
    const int32_t b = Audio("Tone B"); // the file: Tone A at half pitch
    auto shuffled = Set<CAudioShuffledFromSet>({a, b, c});
    for (int cycle = 0; cycle < 5; ++cycle) {
        std::multiset<uint32_t> frequencies;
        for (int i = 0; i < 3; ++i) {
            CSound* started = Started(Play(*shuffled));
            ASSERT_NE(started, nullptr);
            frequencies.insert(started->GetFrequency() + (started == Sound("Tone C.wav") ? 1u : 0u));
        }
        EXPECT_EQ(frequencies, (std::multiset<uint32_t>{22050u, 44100u, 44101u})) << cycle;
        EXPECT_EQ(shuffled->m_AudioIndexSet[0], a);
        EXPECT_EQ(shuffled->m_AudioIndexSet[1], b);
        EXPECT_EQ(shuffled->m_AudioIndexSet[2], c);
    }
}

TEST_F(AudioObjects, ModifiersMultiplyAndClamp)
{
    CAudioPlaySettings quarter = PlayIndex(Audio("Quarter"));
    ASSERT_NE(Started(quarter), nullptr);
    EXPECT_EQ(Started(quarter)->GetVolume(), -2499); // -3333 + 3333 x 0.25, truncated
    EXPECT_FLOAT_EQ(quarter.volume, 0.25f);

    CAudioPlaySettings loud;
    loud.volume = -1.0f;
    loud.pan = 3.0f;
    CAudioPlaySettings clamped = PlayIndex(Audio("Tone A"), loud);
    ASSERT_NE(Started(clamped), nullptr);
    EXPECT_EQ(Started(clamped)->GetVolume(), -3333);
    EXPECT_EQ(Started(clamped)->GetPan(), 10000);
    loud.volume = 7.0f;
    loud.pan = -0.25f;
    clamped = PlayIndex(Audio("Tone A"), loud);
    EXPECT_EQ(Started(clamped)->GetVolume(), 0);
    EXPECT_EQ(Started(clamped)->GetPan(), -2500);

    // Nested pitches multiply: 44100 x 0.5 x 2 x 2; past the device's range they clamp.
    CAudioPlaySettings fast;
    fast.pitch = 0.5f;
    EXPECT_EQ(Started(PlayIndex(Audio("Deeper"), fast))->GetFrequency(), 88200u);
    EXPECT_EQ(Started(PlayIndex(Audio("Deeper")))->GetFrequency(), 100000u);
    fast.pitch = 0.0f;
    EXPECT_EQ(Started(PlayIndex(Audio("Deeper"), fast))->GetFrequency(), 100u);
}

TEST_F(AudioObjects, RandomLimitsWorkInEitherOrder)
{
    CAudioRandomFrequency random;
    random.m_Audio = Audio("Tone A");
    random.m_Lower = 1.2f;
    random.m_Higher = 0.8f;
    for (int i = 0; i < 50; ++i) {
        CAudioPlaySettings result = Play(random);
        EXPECT_GE(result.pitch, 0.8f);
        EXPECT_LT(result.pitch, 1.2f);
        ASSERT_NE(Started(result), nullptr);
        EXPECT_EQ(Started(result)->GetFrequency(), uint32_t(44100.0f * result.pitch));
    }
}

TEST_F(AudioObjects, NamesAreBareCaseBlindAndFilesComeFirst)
{
    EXPECT_GT(Audio("tone c"), 0);
    EXPECT_GT(Audio("TONE A"), 0);
    EXPECT_EQ(Audio("Tone A.wav"), -1);
    EXPECT_EQ(Audio(""), 0);
    CAudioPlaySettings b = GetAudioList().PlayAudioByName("tone b");
    EXPECT_EQ(b.sound, Sound("Tone A.wav"));
    EXPECT_FLOAT_EQ(b.pitch, 0.5f);
    // Names not in the list, none and indices past the end play nothing.
    EXPECT_EQ(GetAudioList().PlayAudioByName("Nothing").sound, nullptr);
    EXPECT_EQ(PlayIndex(0).sound, nullptr);
    EXPECT_EQ(PlayIndex(GetAudioList().GetCount()).sound, nullptr);
    // Disabled: the settings come back as given.
    GetAudioList().SetEnabled(false);
    CAudioPlaySettings given;
    given.pitch = 0.75f;
    CAudioPlaySettings back = PlayIndex(Audio("Deeper"), given);
    EXPECT_EQ(back.pitch, 0.75f);
    EXPECT_EQ(back.sound, nullptr);
}

TEST_F(AudioObjects, AnAudioThatNamesItselfEndsInsteadOfRecursingForever)
{
    CAudioPlaySettings result = PlayIndex(Audio("Ring"));
    EXPECT_EQ(result.sound, nullptr);
}

} // namespace
