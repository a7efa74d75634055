#pragma once
// Sound effects. The one CSoundDevice drives the platform's audio device and
// keeps the list of sounds that were started, the master volume and the
// update tick; a CSound holds one whole decoded sound in an audio buffer.
//
// A sound is loaded deferred (only its name is kept, perhaps read ahead into
// memory by PreloadData) and decoded at first use. Playing a sound that is
// already playing can play a copy instead: a second buffer over the same
// data, made at most once per sound per update step (so a burst of requests
// within one step adds one overlapping play). Copies hang in a chain from the
// sound that made them and are destroyed with it. At most kVoiceLimit sounds
// of a group play at once; a louder newcomer stops the quietest one.
//
// A sound whose file fails to load, or decodes to more than ten minutes (or
// 115.2 MB, CSoundReader::ExceedsTheDecodeLimit), is reported once on the
// debug channel and stays silent: it no longer waits to be loaded, and its
// copies are silent too.
//
// Volumes are attenuations in hundredths of a decibel (0 full, -10000
// silent). A sound's volume v is heard as
//     trunc((clamp(master attenuation + v, -10000, 0) + 3333) * master scale - 3333),
// and as silence when that is -3333 or lower: the audible range is 0 to
// -33.33 dB, and the master scale shrinks it toward silence.
//
// Main thread only.

#include "foundation/CMemoryPool.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {
class CAudioBuffer;
class CAudioDevice;
} // namespace plat

class CSound;

class CSoundDevice {
public:
    static constexpr uint32_t kVoiceLimit = 32;

    explicit CSoundDevice(plat::CAudioDevice& audio);
    CSoundDevice(const CSoundDevice&) = delete;
    CSoundDevice& operator=(const CSoundDevice&) = delete;
    virtual ~CSoundDevice();

    // The process's device, made on first use and kept to the end of the
    // process (sounds in other globals may outlive any destruction order).
    // It drives the audio output of whichever platform is installed, so a
    // platform installed later (a test's) brings its own output.
    static CSoundDevice& SGetInstance();

    // Opens the audio output; true at once when it is open.
    bool Initialize();
    // Runs the shutdown callbacks in order of registration, forgets them and
    // closes the audio output. Safe to run twice.
    void Shutdown();
    void AddShutdownCallback(void (*callback)());
    // A new, reset sound.
    std::unique_ptr<CSound> CreateSound();
    // Stores the choice; false while the output is closed.
    bool SetStereo(bool stereo);
    void SetMasterScale(float scale) { m_MasterScale = scale; }
    void SetMasterAttenuation(int32_t cdB) { m_MasterAttenuation = cdB; }
    float GetMasterScale() const { return m_MasterScale; }
    int32_t GetMasterAttenuation() const { return m_MasterAttenuation; }
    bool IsStereo() const { return m_Stereo; }
    // Once per update step.
    void NextTick() { ++m_Tick; }
    uint32_t GetTick() const { return m_Tick; }
    void StopAllSounds();
    // Whether the audio output is open: without it nothing plays or loads.
    bool IsReady() const;
    plat::CAudioDevice& GetAudio() const;

    // Sounds of the group still playing; finished ones leave the list.
    uint32_t CountPlaying(uint32_t group);
    int32_t GetLoadedCount() const { return m_LoadedCount; }
    int32_t GetLoadedBytes() const { return m_LoadedBytes; }
    int32_t GetPeakCount() const { return m_PeakCount; }
    int32_t GetPeakBytes() const { return m_PeakBytes; }

private:
    friend class CSound;
    CSoundDevice() = default;
    void Link(CSound* sound);
    void Unlink(CSound* sound);
    void Count(CSound& sound, int32_t direction);

    plat::CAudioDevice* m_Audio = nullptr; // null: the installed platform's
    uint32_t m_Tick = 1;
    int32_t m_PeakCount = 0;
    int32_t m_PeakBytes = 0;
    CSound* m_Playing = nullptr; // newest first, linked through m_NextPlaying
    int32_t m_LoadedCount = 0;
    float m_MasterScale = 1.0f;
    int32_t m_MasterAttenuation = 0;
    int32_t m_LoadedBytes = 0;
    bool m_Stereo = true;
    std::vector<void (*)()> m_ShutdownCallbacks;
};

// Whether a sound plays on from its start when it reaches its end.
enum class SoundLoop { Once, Looping };
// Deferred keeps only the name and decodes at first use.
enum class SoundLoad { Now, Deferred };

class CSound : public CPooledClassBase {
public:
    // Flags.
    static constexpr uint32_t kStereo = 0x4;
    static constexpr uint32_t kLooping = 0x8;
    static constexpr uint32_t kLoaded = 0x10;
    static constexpr uint32_t k16Bit = 0x40;
    // Play flags.
    static constexpr uint32_t kPlayCopyWhenBusy = 1;
    static constexpr uint32_t kDefaultFrequency = 22050;

    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;
    ~CSound();

    // Deferred: keeps the name. Now: decodes the file into a new buffer.
    bool Load(const char* name, SoundLoop loop, SoundLoad mode, uint32_t openFlags);
    bool Play(uint32_t flags);
    void SetVolume(int32_t cdB);
    // False when unchanged or unloaded; true without a change outside 100..100000.
    bool SetFrequency(uint32_t hz);
    // False when unchanged.
    bool SetPan(int32_t pan);
    // True when it was playing.
    bool Stop();
    bool IsPlaying() const;
    // Stops, gives its data and copies back and forgets a read-ahead file.
    void Close();
    uint32_t GetBaseFrequency();
    void SetLooping(bool loop);
    // A sound that can start now: this one, a copy, or null when this step
    // already handed one out.
    CSound* GetAnAvailableCopy();
    // Reads a deferred sound's file into memory, still undecoded.
    void PreloadData();
    // Makes this a copy sharing source's data; false when the source is
    // still deferred (the copy completes at first use) or no buffer was made.
    bool CopyFrom(CSound* source);
    void Reset();
    // Closes and deletes the sound; false for none.
    static bool DestroySound(std::unique_ptr<CSound> sound);

    uint32_t GetFlags() const { return m_Flags; }
    bool IsLoaded() const { return (m_Flags & kLoaded) != 0; }
    uint32_t GetSize() const { return m_Size; }
    uint32_t GetFrequency() const { return m_Frequency; }
    int32_t GetPan() const { return m_Pan; }
    int32_t GetVolume() const { return m_Volume; }
    int32_t GetListIndex() const { return m_ListIndex; }
    void SetListIndex(int32_t index) { m_ListIndex = index; }
    uint32_t GetGroup() const { return m_Group; }
    CSound* GetNextCopy() const { return m_NextCopy.get(); }
    const std::string& GetPendingName() const { return m_PendingName; }
    bool HasPendingSource() const { return m_PendingSource != nullptr; }

    // The attenuation a volume is heard at (see the file comment).
    static int32_t EffectiveVolume(int32_t cdB, int32_t masterAttenuation, float masterScale);

private:
    friend class CSoundDevice;
    explicit CSound(CSoundDevice& device);
    void EnsureLoaded();
    // Reports the failure and leaves the sound silent, no longer pending.
    void GiveUpLoading();
    bool LoadData(const char* name, uint32_t openFlags);
    void ApplyVolume(int32_t cdB);
    void ApplyCurrentVolume();
    void DestroyCopies();
    void Uncount();

    CSoundDevice& m_Device;
    uint32_t m_Group = 0;
    uint32_t m_Size = 0;
    std::string m_PendingName;
    CSound* m_PendingSource = nullptr;
    uint32_t m_Flags = 0;
    uint32_t m_Frequency = kDefaultFrequency;
    uint32_t m_LastCopyTick = 0;
    std::unique_ptr<CSound> m_NextCopy; // the chain of copies, owned link by link
    CSound* m_NextPlaying = nullptr;
    uint32_t m_BaseFrequency = kDefaultFrequency;
    int32_t m_Pan = 0;
    int32_t m_ListIndex = -1;
    int32_t m_Volume = 0;
    bool m_Counted = false;
    bool m_InPlayingList = false;
    std::unique_ptr<plat::CAudioBuffer> m_Buffer;
};
