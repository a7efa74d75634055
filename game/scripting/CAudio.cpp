#include "game/scripting/CAudio.h"

#include "foundation/CCommand.h"
#include "foundation/CurrentLoadFile.h"
#include "foundation/FatalError.h"
#include "game/scripting/CScriptValue.h"
#include "game/scripting/ScriptingClassBody.h"
#include "images/CustomEditorHooks.h"
#include "objects/CFloatProperty.h"
#include "objects/CFormula.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CSlotProperty.h"
#include "sound/CSoundDevice.h"
#include "sound/CSoundList.h"

#include <cmath>
#include <utility>

namespace {

// The device's frequency range in hertz.
constexpr float kLowestFrequency = 100.0f;
constexpr float kHighestFrequency = 100000.0f;
// Audio objects that name each other in a ring would play forever.
constexpr int32_t kMaxPlayDepth = 32;

// NaN takes the low end.
float Clamp(float value, float low, float high)
{
    if (!(value >= low))
        return low;
    return value > high ? high : value;
}

void StartSoundWithSettings(CSound* sound, const CAudioPlaySettings& settings)
{
    CSound* copy = sound ? sound->GetAnAvailableCopy() : nullptr;
    if (!copy)
        return;
    const float frequency = float(copy->GetBaseFrequency()) * settings.pitch;
    copy->SetFrequency(uint32_t(TruncToInt32(Clamp(frequency, kLowestFrequency, kHighestFrequency))));
    copy->SetVolume(TruncToInt32(-3333.0f + 3333.0f * Clamp(settings.volume, 0.0f, 1.0f)));
    copy->SetPan(TruncToInt32(Clamp(std::isnan(settings.pan) ? 0.0f : settings.pan, -1.0f, 1.0f) * 10000.0f));
    copy->Play(0);
}

// Limits in either order; the draw is from [lower, upper).
float DrawBetween(float a, float b)
{
    const float lower = a < b ? a : b;
    const float upper = a < b ? b : a;
    return CRandomGenerator::Global().NextFloat(lower, upper);
}

bool EndsWithNoCase(const CJString& text, const char* ending)
{
    const int length = text.GetLength();
    const int endingLength = int(std::char_traits<char>::length(ending));
    return length >= endingLength && text.Mid(length - endingLength).CompareNoCase(ending) == 0;
}

CJString Narrowed(const CJString& name)
{
    CJString narrow(name);
    if (narrow.IsWide())
        narrow.ToNarrow();
    return narrow;
}

const CMultipleFormula<float>& PercentFormula()
{
    static const CMultipleFormula<float> formula(100.0f);
    return formula;
}

} // namespace

OMBRISALT_SCRIPTING_ABSTRACT_CLASS(CAudio, 0.0)
void CAudio::DeclareProperties(CPropertyDeclarer&) {}
void CAudio::AddCustomEditors(CObjectEditor* editor)
{
    if (editor)
        GetCustomEditorHooks().AddCommandButton(*editor, "Play",
                                                new CObjectFunctionCommand<CAudio>(this, &CAudio::PlayOnce));
}
void CAudio::PlayOnce()
{
    (void)Play(CAudioPlaySettings());
}

OMBRISALT_SCRIPTING_CLASS(CAudioSound, 0.0)
void CAudioSound::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Automatic");
    d.AddListReference(&CAudioSound::m_Sound, "Sound", &GetAudioList().GetSoundReferences(), nullptr);
}
CAudioPlaySettings CAudioSound::Play(CAudioPlaySettings settings)
{
    CSoundList* sounds = GetAudioList().GetSoundList();
    settings.sound = sounds && m_Sound > 0 ? sounds->GetSoundByIndex(m_Sound - 1) : nullptr;
    if (!settings.noPlay)
        StartSoundWithSettings(settings.sound, settings);
    return settings;
}

OMBRISALT_SCRIPTING_CLASS(CAudioAdjustFrequency, 0.0)
void CAudioAdjustFrequency::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Frequency");
    d.AddListReference(&CAudioAdjustFrequency::m_Audio, "Audio", &GetAudioList(), nullptr);
    d.Add(&CAudioAdjustFrequency::m_PitchRatio, "Pitch Ratio", 1.0f).Range(0.0f, 2.0f).SpinStep(0.01f);
}
CAudioPlaySettings CAudioAdjustFrequency::Play(CAudioPlaySettings settings)
{
    settings.pitch *= m_PitchRatio;
    return GetAudioList().PlayAudioByIndex(m_Audio, settings);
}

OMBRISALT_SCRIPTING_CLASS(CAudioRandomFrequency, 0.0)
void CAudioRandomFrequency::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Frequency");
    d.AddListReference(&CAudioRandomFrequency::m_Audio, "Audio", &GetAudioList(), nullptr);
    d.Add(&CAudioRandomFrequency::m_Lower, "Lower Pitch Ratio Limit", 1.0f).Range(0.0f, 2.0f).SpinStep(0.01f);
    d.Add(&CAudioRandomFrequency::m_Higher, "Higher Pitch Ratio Limit", 1.0f).Range(0.0f, 2.0f).SpinStep(0.01f);
}
CAudioPlaySettings CAudioRandomFrequency::Play(CAudioPlaySettings settings)
{
    settings.pitch *= DrawBetween(m_Lower, m_Higher);
    return GetAudioList().PlayAudioByIndex(m_Audio, settings);
}

OMBRISALT_SCRIPTING_CLASS(CAudioAdjustVolume, 0.0)
void CAudioAdjustVolume::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Volume");
    d.AddListReference(&CAudioAdjustVolume::m_Audio, "Audio", &GetAudioList(), nullptr);
    d.Add(&CAudioAdjustVolume::m_Volume, "Volume", 1.0f)
        .Units("Percent")
        .Range(0.0f, 5.0f)
        .Formula(&PercentFormula(), "Percentage")
        .Description("Change the volume of the Audio to be played.\n"
                     "NOTE: No sound will actually play louder than its recorded volume.");
}
CAudioPlaySettings CAudioAdjustVolume::Play(CAudioPlaySettings settings)
{
    settings.volume *= m_Volume;
    return GetAudioList().PlayAudioByIndex(m_Audio, settings);
}

OMBRISALT_SCRIPTING_CLASS(CAudioRandomVolume, 0.0)
void CAudioRandomVolume::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Frequency");
    d.AddListReference(&CAudioRandomVolume::m_Audio, "Audio", &GetAudioList(), nullptr);
    d.Add(&CAudioRandomVolume::m_Lower, "Lower Volume Ratio Limit", 1.0f).Range(0.0f, 2.0f).SpinStep(0.01f);
    d.Add(&CAudioRandomVolume::m_Higher, "Higher Volume Ratio Limit", 1.0f).Range(0.0f, 2.0f).SpinStep(0.01f);
}
CAudioPlaySettings CAudioRandomVolume::Play(CAudioPlaySettings settings)
{
    settings.volume *= DrawBetween(m_Lower, m_Higher);
    return GetAudioList().PlayAudioByIndex(m_Audio, settings);
}

OMBRISALT_SCRIPTING_ABSTRACT_CLASS(CAudioSet, 0.0)
void CAudioSet::DeclareProperties(CPropertyDeclarer& d)
{
    auto declared = d.AddArray<CListProperty>(&CAudioSet::m_AudioIndexSet, "Audio Set", "Audio", 0);
    declared.AlternateName("Random List");
    static_cast<CListProperty*>(declared.Get().GetElementProperty())->SetList(&GetAudioList());
}

OMBRISALT_SCRIPTING_CLASS(CAudioSeriesFromSet, 0.0)
void CAudioSeriesFromSet::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Set");
    d.GetClassInfo().SetDescription("Play a different audio each time this audio is executed.  The audio are played "
                                    "in sequential order.");
    static const CAddFormula<uint32_t> countingFromOne(1);
    d.Add(&CAudioSeriesFromSet::m_NextIndex, "Debug/Next Set Index", 0u)
        .Units("0 Based")
        .Level(3)
        .Formula(&countingFromOne, "");
}
CAudioPlaySettings CAudioSeriesFromSet::Play(CAudioPlaySettings settings)
{
    const uint32_t count = m_AudioIndexSet.GetCount();
    if (!settings.noPlay) {
        if (m_NextIndex >= count)
            m_NextIndex = 0;
        if (m_NextIndex == 0)
            PrepareCycle();
    }
    CAudioPlaySettings result = settings;
    const int32_t element = m_NextIndex < count ? ElementAt(m_NextIndex) : 0;
    if (element != 0)
        result = GetAudioList().PlayAudioByIndex(element, settings);
    if (!settings.noPlay)
        ++m_NextIndex;
    return result;
}

OMBRISALT_SCRIPTING_CLASS(CAudioShuffledFromSet, 0.0)
void CAudioShuffledFromSet::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Set");
    d.GetClassInfo().SetDescription(
        "Play a different audio each time this audio is played.  The audio are done in RANDOM order.  An audio is "
        "never played twice in a row and no audio is played a second time until all the audio have been played at "
        "least once.  This does not pick any audio at random.  Instead it does each audio in a random order.");
}
void CAudioShuffledFromSet::PrepareCycle()
{
    const uint32_t count = m_AudioIndexSet.GetCount();
    m_Order.resize(count);
    for (uint32_t i = 0; i < count; ++i)
        m_Order[i] = i;
    for (uint32_t p = 0; p < count; ++p)
        std::swap(m_Order[p], m_Order[m_Shuffler.Next(count)]);
}
int32_t CAudioShuffledFromSet::ElementAt(uint32_t i) const
{
    // The set may have changed in the editor since the cycle began.
    if (m_Order.size() != m_AudioIndexSet.GetCount())
        return m_AudioIndexSet[i];
    return m_AudioIndexSet[m_Order[i]];
}

OMBRISALT_SCRIPTING_CLASS(CAudioRandomFromSet, 0.0)
void CAudioRandomFromSet::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Set");
    d.GetClassInfo().SetDescription(
        "Pick which audio to play at random.  Each time this audio is played it randomly decides with audio to play "
        "next.  It is posable for onc audio to be play twice in a row or more and another audio to never play.");
}
CAudioPlaySettings CAudioRandomFromSet::Play(CAudioPlaySettings settings)
{
    const uint32_t count = m_AudioIndexSet.GetCount();
    if (count == 0)
        return settings;
    const uint32_t i = CRandomGenerator::Global().NextInRange(0, count - 1);
    return GetAudioList().PlayAudioByIndex(m_AudioIndexSet[i], settings);
}

const char* CNoneFirstSoundList::GetItemName(int32_t i)
{
    CSoundList* sounds = m_Owner.GetSoundList();
    if (i <= 0 || !sounds || i > sounds->GetCount())
        return "";
    return sounds->GetItemName(i - 1);
}
int32_t CNoneFirstSoundList::Find(const CJString& name, int32_t hint)
{
    return Find(Narrowed(name).GetString(), hint);
}
int32_t CNoneFirstSoundList::Find(const char* name, int32_t)
{
    if (!name || !name[0])
        return 0;
    CSoundList* sounds = m_Owner.GetSoundList();
    const int32_t index = sounds ? sounds->Find(name) : -1;
    return index < 0 ? -1 : index + 1;
}
int32_t CNoneFirstSoundList::FindOrReportMissing(const CJString& name, int32_t hint)
{
    return FindOrReportMissing(Narrowed(name).GetString(), hint);
}
int32_t CNoneFirstSoundList::FindOrReportMissing(const char* name, int32_t hint)
{
    const int32_t index = Find(name, hint);
    if (index < 0 && !m_Owner.HasSource())
        m_Owner.ReportAskedBeforeSource(name);
    return index >= 0 ? index : CVirtualArray::FindOrReportMissing(name, hint);
}
int32_t CNoneFirstSoundList::GetCount()
{
    CSoundList* sounds = m_Owner.GetSoundList();
    return (sounds ? sounds->GetCount() : 0) + 1;
}

CAudioList::CAudioList() = default;
CAudioList::~CAudioList() = default;

void CAudioList::SetSource(const char* folder, CSoundList* sounds)
{
    m_Sounds = sounds;
    m_Automatic.clear();
    m_Files.SetSource(nullptr, folder, 0);
    m_AutomaticPending = true;
    m_HasSource = true;
    m_EarlyLoad.clear();
}

void CAudioList::ReportAskedBeforeSource(const char* name)
{
    const CJString source = Narrowed(GetCurrentLoadFileName());
    CJString text;
    text.Format("The sound \"%s\" is named by \"%s\"", name ? name : "",
                source.IsEmpty() ? "an unknown source" : source.GetString());
    if (!m_EarlyLoad.empty())
        text.AppendFormat(", which %s uses", m_EarlyLoad.c_str());
    text.Append(", before the sound list is loaded: at that point of start-up no sound can be found, so none may be "
                "named there.\r\n\r\nTake the sound out of it, or play it from something shown later.");
    FatalDataError("Fatal Not Found Error", text.GetString());
}

int32_t CAudioList::FindOrReportMissing(const CJString& name, int32_t hint)
{
    return FindOrReportMissing(Narrowed(name).GetString(), hint);
}

int32_t CAudioList::FindOrReportMissing(const char* name, int32_t hint)
{
    const int32_t index = Find(name, hint);
    if (index < 0 && !m_HasSource)
        ReportAskedBeforeSource(name);
    return index >= 0 ? index : CVirtualArray::FindOrReportMissing(name, hint);
}

CSoundList* CAudioList::GetSoundList()
{
    return m_Sounds ? m_Sounds : &CSoundList::SGetGlobal();
}

void CAudioList::MakeAutomaticItems()
{
    if (!m_AutomaticPending)
        return;
    m_AutomaticPending = false;
    CSoundList* sounds = GetSoundList();
    const int32_t count = sounds ? sounds->GetCount() : 0;
    for (int32_t i = 0; i < count; ++i) {
        CJString name(sounds->GetItemName(i));
        if (EndsWithNoCase(name, ".ogg") || EndsWithNoCase(name, ".wav"))
            name = name.Left(name.GetLength() - 4);
        if (name.IsEmpty() || Find(name.GetString()) >= 0)
            continue;
        auto audio = std::make_unique<CAudioSound>();
        audio->m_Sound = i + 1;
        m_Automatic.push_back({name, std::move(audio)});
    }
}

int32_t CAudioList::GetCount()
{
    MakeAutomaticItems();
    return 1 + m_Files.GetCount() + int32_t(m_Automatic.size());
}

const char* CAudioList::GetItemName(int32_t i)
{
    MakeAutomaticItems();
    const int32_t files = m_Files.GetCount();
    if (i >= 1 && i <= files)
        return m_Files.GetItemName(i - 1);
    if (i > files && size_t(i - files - 1) < m_Automatic.size())
        return m_Automatic[size_t(i - files - 1)].name.GetString();
    return "";
}

int32_t CAudioList::Find(const CJString& name, int32_t hint)
{
    return Find(Narrowed(name).GetString(), hint);
}

int32_t CAudioList::Find(const char* name, int32_t)
{
    if (!name || !name[0])
        return 0;
    const int32_t file = m_Files.Find(name);
    if (file >= 0)
        return file + 1;
    // Not MakeAutomaticItems: it asks this very lookup while it runs.
    for (size_t i = 0; i < m_Automatic.size(); ++i) {
        if (m_Automatic[i].name.CompareNoCase(name) == 0)
            return 1 + m_Files.GetCount() + int32_t(i);
    }
    if (m_AutomaticPending) {
        MakeAutomaticItems();
        return Find(name, -1);
    }
    return -1;
}

CAudio* CAudioList::GetAudio(int32_t index)
{
    MakeAutomaticItems();
    const int32_t files = m_Files.GetCount();
    if (index >= 1 && index <= files)
        return m_Files.GetObject(index - 1);
    if (index > files && size_t(index - files - 1) < m_Automatic.size())
        return m_Automatic[size_t(index - files - 1)].audio.get();
    return nullptr;
}

CAudioPlaySettings CAudioList::PlayAudioByIndex(int32_t index, CAudioPlaySettings settings)
{
    if (!m_Enabled || m_PlayDepth >= kMaxPlayDepth)
        return settings;
    CAudio* audio = GetAudio(index);
    if (!audio)
        return settings;
    ++m_PlayDepth;
    CAudioPlaySettings result = audio->Play(settings);
    --m_PlayDepth;
    return result;
}

CAudioPlaySettings CAudioList::PlayAudioByName(const char* name, CAudioPlaySettings settings)
{
    const int32_t index = Find(name);
    return index > 0 ? PlayAudioByIndex(index, settings) : settings;
}

CAudioList& GetAudioList()
{
    static CAudioList* list = new CAudioList();
    return *list;
}
