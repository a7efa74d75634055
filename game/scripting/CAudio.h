#pragma once
// Audio objects: game code and data never play a sound file directly, they
// name an audio object of the audio list, which decides which sound starts
// and at what pitch, volume and pan. A plain object wraps one sound of the
// sound list; modifiers change the pitch or volume of another audio object,
// fixed or at random (nested modifiers multiply); sets play one of several,
// in series, in a shuffled series or at random.
//
// The audio list: item 0 is "none" (an empty name), then one item per
// "<Name>.Audio.txt" file below its folder, then one automatic CAudioSound
// for every sound file with no audio object of its own, named without its
// ".wav" or ".ogg" (looked up without regard to case). References in the
// objects ("Audio", "Sound") are indices, 0 for none, saved as names.
//
// Starting a sound: frequency = base frequency x pitch (within the device's
// 100..100000 Hz); attenuation = -3333 + 3333 x volume (volume clamped to
// 0..1, hundredths of a decibel); pan x 10000 (pan clamped to -1..1).
#include "foundation/CRandomGenerator.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CSound;
class CSoundList;

struct CAudioPlaySettings {
    float pitch = 1.0f;      // frequency as a multiple of the recorded one
    float volume = 1.0f;     // 0 quietest .. 1 as recorded
    float pan = 0.0f;        // -1 left .. 1 right
    bool noPlay = false;     // choose and return the sound, start nothing, advance no series
    CSound* sound = nullptr; // out: the sound chosen
};

class CAudio : public CObject {
    OMBRISALT_REFLECTED(CAudio, CObject)
public:
    CAudio();
    ~CAudio() override;
    virtual CAudioPlaySettings Play(CAudioPlaySettings settings) = 0;
    // Its page carries a "Play" button.
    void AddCustomEditors(CObjectEditor* editor) override;
    // Plays it with the default settings.
    void PlayOnce();
};

class CAudioSound : public CAudio {
    OMBRISALT_REFLECTED(CAudioSound, CAudio)
public:
    CAudioSound();
    ~CAudioSound() override;
    CAudioPlaySettings Play(CAudioPlaySettings settings) override;

    int32_t m_Sound = 0; // sound-list reference, 0 none
};

class CAudioAdjustFrequency : public CAudio {
    OMBRISALT_REFLECTED(CAudioAdjustFrequency, CAudio)
public:
    CAudioAdjustFrequency();
    ~CAudioAdjustFrequency() override;
    CAudioPlaySettings Play(CAudioPlaySettings settings) override;

    int32_t m_Audio = 0;
    float m_PitchRatio = 0.0f;
};

// The pitch ratio is multiplied by a draw from [lower, upper), the limits in either order.
class CAudioRandomFrequency : public CAudio {
    OMBRISALT_REFLECTED(CAudioRandomFrequency, CAudio)
public:
    CAudioRandomFrequency();
    ~CAudioRandomFrequency() override;
    CAudioPlaySettings Play(CAudioPlaySettings settings) override;

    int32_t m_Audio = 0;
    float m_Lower = 0.0f;
    float m_Higher = 0.0f;
};

// A factor above 1 is heard only where an outer modifier lowered the volume.
class CAudioAdjustVolume : public CAudio {
    OMBRISALT_REFLECTED(CAudioAdjustVolume, CAudio)
public:
    CAudioAdjustVolume();
    ~CAudioAdjustVolume() override;
    CAudioPlaySettings Play(CAudioPlaySettings settings) override;

    int32_t m_Audio = 0;
    float m_Volume = 0.0f;
};

class CAudioRandomVolume : public CAudio {
    OMBRISALT_REFLECTED(CAudioRandomVolume, CAudio)
public:
    CAudioRandomVolume();
    ~CAudioRandomVolume() override;
    CAudioPlaySettings Play(CAudioPlaySettings settings) override;

    int32_t m_Audio = 0;
    float m_Lower = 0.0f;
    float m_Higher = 0.0f;
};

class CAudioSet : public CAudio {
    OMBRISALT_REFLECTED(CAudioSet, CAudio)
public:
    CAudioSet();
    ~CAudioSet() override;

    CPropertyArray<int32_t> m_AudioIndexSet; // audio-list references, 0 none
};

// Plays its elements in order, one per play; an element without audio
// still takes its turn.
class CAudioSeriesFromSet : public CAudioSet {
    OMBRISALT_REFLECTED(CAudioSeriesFromSet, CAudioSet)
public:
    CAudioSeriesFromSet();
    ~CAudioSeriesFromSet() override;
    CAudioPlaySettings Play(CAudioPlaySettings settings) override;

    uint32_t m_NextIndex = 0; // 0-based position in the cycle

protected:
    // Called at the start of every cycle.
    virtual void PrepareCycle() {}
    // The audio reference at position i of the cycle.
    virtual int32_t ElementAt(uint32_t i) const { return m_AudioIndexSet[i]; }
};

// A series in an order shuffled afresh every cycle. The order is its own:
// "Audio Set" stays as the designer wrote it, so saving never reorders it.
class CAudioShuffledFromSet : public CAudioSeriesFromSet {
    OMBRISALT_REFLECTED(CAudioShuffledFromSet, CAudioSeriesFromSet)
public:
    CAudioShuffledFromSet();
    ~CAudioShuffledFromSet() override;

    const std::vector<uint32_t>& GetPlayOrder() const { return m_Order; }

protected:
    void PrepareCycle() override;
    int32_t ElementAt(uint32_t i) const override;

private:
    std::vector<uint32_t> m_Order;
    CRandomGenerator m_Shuffler;
};

class CAudioRandomFromSet : public CAudioSet {
    OMBRISALT_REFLECTED(CAudioRandomFromSet, CAudioSet)
public:
    CAudioRandomFromSet();
    ~CAudioRandomFromSet() override;
    CAudioPlaySettings Play(CAudioPlaySettings settings) override;
};

class CAudioList;

// The audio list's sound list seen with a "none" item 0 before its entries.
class CNoneFirstSoundList : public CVirtualArray {
public:
    explicit CNoneFirstSoundList(CAudioList& owner)
        : m_Owner(owner)
    {
    }
    const char* GetItemName(int32_t i) override;
    CJString GetItemNameString(int32_t i) override { return CJString(GetItemName(i)); }
    using CVirtualArray::Find;
    int32_t Find(const CJString& name, int32_t hint = -1) override;
    int32_t Find(const char* name, int32_t hint = -1) override;
    int32_t GetCount() override;
    int32_t FindOrReportMissing(const CJString& name, int32_t hint = -1) override;
    int32_t FindOrReportMissing(const char* name, int32_t hint = -1) override;

private:
    CAudioList& m_Owner;
};

class CAudioList : public CVirtualArray {
public:
    CAudioList();
    ~CAudioList() override;

    // The audio files below folder, over the sounds of sounds (null: the
    // global sound list). Automatic items are made on the next use.
    void SetSource(const char* folder, CSoundList* sounds = nullptr);
    // Until SetSource no sound can be found: a name asked for before then is
    // reported as asked too early, naming what start-up was loading (set
    // here, e.g. "the start-up overlay set \"Splash\""; null: nothing named).
    bool HasSource() const { return m_HasSource; }
    void SetEarlyLoad(const char* what) { m_EarlyLoad = what ? what : ""; }
    [[noreturn]] void ReportAskedBeforeSource(const char* name);
    void SetEnabled(bool enabled) { m_Enabled = enabled; }
    bool IsEnabled() const { return m_Enabled; }

    // Index 0, an index past the end and disabled playing hand the settings
    // back unchanged.
    CAudioPlaySettings PlayAudioByIndex(int32_t index, CAudioPlaySettings settings);
    CAudioPlaySettings PlayAudioByIndex(int32_t index) { return PlayAudioByIndex(index, CAudioPlaySettings()); }
    CAudioPlaySettings PlayAudioByName(const char* name, CAudioPlaySettings settings = CAudioPlaySettings());
    // Null for none and indices past the end; loads a file's object on first use.
    CAudio* GetAudio(int32_t index);

    CSoundList* GetSoundList();
    CVirtualArray& GetSoundReferences() { return m_SoundView; }

    const char* GetItemName(int32_t i) override;
    CJString GetItemNameString(int32_t i) override { return CJString(GetItemName(i)); }
    using CVirtualArray::Find;
    int32_t Find(const CJString& name, int32_t hint = -1) override;
    // Case-blind; the empty name is item 0.
    int32_t Find(const char* name, int32_t hint = -1) override;
    int32_t GetCount() override;
    int32_t FindOrReportMissing(const CJString& name, int32_t hint = -1) override;
    int32_t FindOrReportMissing(const char* name, int32_t hint = -1) override;

private:
    class CFiles : public CObjectArrayBaseTemplate<CAudio> {
    public:
        CFiles()
            : CObjectArrayBaseTemplate<CAudio>("Audio.txt")
        {
        }
    };
    struct CAutomatic {
        CJString name;
        std::unique_ptr<CAudio> audio;
    };

    void MakeAutomaticItems();

    CFiles m_Files;
    std::vector<CAutomatic> m_Automatic;
    CSoundList* m_Sounds = nullptr;
    CNoneFirstSoundList m_SoundView{*this};
    bool m_AutomaticPending = false;
    bool m_HasSource = false;
    std::string m_EarlyLoad;
    bool m_Enabled = true;
    int32_t m_PlayDepth = 0;
};

// The one audio list, made on first use.
CAudioList& GetAudioList();
