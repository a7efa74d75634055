#include "sound/CSoundDevice.h"

#include "sound/CSoundReader.h"

#include "foundation/BufferNames.h"
#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/CPerformanceMonitor.h"
#include "platform/CAudioDevice.h"
#include "platform/CPlatform.h"
#include "platform/Debug.h"

#include <algorithm>
#include <string>

namespace {

constexpr int32_t kSilent = -10000;
constexpr int32_t kAudibleFloor = -3333;
constexpr uint32_t kMinFrequency = 100;
constexpr uint32_t kMaxFrequency = 100000;

} // namespace

// --- Device ---

CSoundDevice::CSoundDevice(plat::CAudioDevice& audio)
    : m_Audio(&audio)
{
}

CSoundDevice::~CSoundDevice() = default;

CSoundDevice& CSoundDevice::SGetInstance()
{
    static CSoundDevice* const device = new CSoundDevice;
    return *device;
}

plat::CAudioDevice& CSoundDevice::GetAudio() const
{
    return m_Audio ? *m_Audio : plat::GetPlatform().GetAudioDevice();
}

bool CSoundDevice::Initialize()
{
    plat::CAudioDevice& audio = GetAudio();
    if (audio.IsOpen())
        return true;
    m_Playing = nullptr;
    return audio.Open(m_Stereo);
}

void CSoundDevice::Shutdown()
{
    // A callback may register another; run until none is left.
    while (!m_ShutdownCallbacks.empty()) {
        std::vector<void (*)()> callbacks;
        callbacks.swap(m_ShutdownCallbacks);
        for (void (*callback)() : callbacks)
            callback();
    }
    GetAudio().Close();
}

void CSoundDevice::AddShutdownCallback(void (*callback)())
{
    if (callback)
        m_ShutdownCallbacks.push_back(callback);
}

std::unique_ptr<CSound> CSoundDevice::CreateSound()
{
    std::unique_ptr<CSound> sound(new CSound(*this));
    sound->Reset();
    return sound;
}

bool CSoundDevice::SetStereo(bool stereo)
{
    m_Stereo = stereo;
    return GetAudio().SetStereo(stereo);
}

bool CSoundDevice::IsReady() const
{
    return GetAudio().IsOpen();
}

void CSoundDevice::StopAllSounds()
{
    static CPerformanceMonitor zone("Sound_StopAllSounds");
    CPerformanceMonitorScope timed(zone);
    while (m_Playing)
        m_Playing->Stop();
}

uint32_t CSoundDevice::CountPlaying(uint32_t group)
{
    uint32_t count = 0;
    CSound* sound = m_Playing;
    while (sound) {
        CSound* next = sound->m_NextPlaying;
        if (!sound->IsPlaying()) {
            Unlink(sound);
        } else if (sound->m_Group == group) {
            ++count;
        }
        sound = next;
    }
    return count;
}

void CSoundDevice::Link(CSound* sound)
{
    Unlink(sound);
    sound->m_NextPlaying = m_Playing;
    sound->m_InPlayingList = true;
    m_Playing = sound;
}

void CSoundDevice::Unlink(CSound* sound)
{
    if (!sound->m_InPlayingList)
        return;
    static CPerformanceMonitor zone("Sound_RemoveFromPlayingList");
    CPerformanceMonitorScope timed(zone);
    for (CSound** link = &m_Playing; *link; link = &(*link)->m_NextPlaying) {
        if (*link == sound) {
            *link = sound->m_NextPlaying;
            break;
        }
    }
    sound->m_NextPlaying = nullptr;
    sound->m_InPlayingList = false;
}

void CSoundDevice::Count(CSound& sound, int32_t direction)
{
    m_LoadedCount += direction;
    m_LoadedBytes += direction * int32_t(sound.m_Size);
    m_PeakCount = std::max(m_PeakCount, m_LoadedCount);
    m_PeakBytes = std::max(m_PeakBytes, m_LoadedBytes);
}

// --- Sound ---

CSound::CSound(CSoundDevice& device)
    : m_Device(device)
{
}

CSound::~CSound()
{
    Close();
}

bool CSound::DestroySound(std::unique_ptr<CSound> sound)
{
    if (!sound)
        return false;
    sound->Close();
    return true;
}

int32_t CSound::EffectiveVolume(int32_t cdB, int32_t masterAttenuation, float masterScale)
{
    const int64_t sum = std::clamp<int64_t>(int64_t(masterAttenuation) + cdB, kSilent, 0);
    return int32_t((double(sum) - kAudibleFloor) * double(masterScale) + kAudibleFloor);
}

void CSound::Reset()
{
    m_Frequency = kDefaultFrequency;
    m_BaseFrequency = kDefaultFrequency;
    m_Flags &= ~(kLoaded | kLooping);
    m_Size = 0;
    m_Volume = 0;
    m_Pan = 0;
    m_Group = 0;
    m_LastCopyTick = 0;
    m_NextCopy.reset();
    m_Device.Unlink(this);
}

void CSound::Uncount()
{
    if (m_Counted)
        m_Device.Count(*this, -1);
    m_Counted = false;
}

void CSound::DestroyCopies()
{
    DestroySound(std::move(m_NextCopy));
}

bool CSound::Load(const char* name, SoundLoop loop, SoundLoad mode, uint32_t openFlags)
{
    // The name may be our own pending name, which the reset below keeps but
    // loading frees.
    const std::string fileName(name ? name : "");
    Stop();
    // Copies made before keep their own share of the old data and stay in
    // the chain, so whoever holds one keeps a valid sound.
    std::unique_ptr<CSound> copies = std::move(m_NextCopy);
    Uncount();
    Reset();
    m_NextCopy = std::move(copies);
    if (mode == SoundLoad::Deferred) {
        if (m_PendingName != fileName && ParseBufferName(m_PendingName.c_str()))
            DeleteNamedBuffer(m_PendingName.c_str());
        m_Buffer.reset();
        m_PendingName = fileName;
        SetLooping(loop == SoundLoop::Looping);
        return true;
    }
    if (!LoadData(fileName.c_str(), openFlags))
        return false;
    m_Flags |= kLoaded;
    SetLooping(loop == SoundLoop::Looping);
    m_Device.Count(*this, 1);
    m_Counted = true;
    m_PendingName.clear();
    m_PendingSource = nullptr;
    ApplyVolume(0);
    m_Buffer->SetPan(0);
    m_Buffer->SetFrequency(m_BaseFrequency);
    return true;
}

bool CSound::LoadData(const char* name, uint32_t openFlags)
{
    static CPerformanceMonitor zone("SoundLaod");
    CPerformanceMonitorScope timed(zone);
    m_Buffer.reset();
    std::unique_ptr<CSoundReader> reader = OpenSoundReader(name, openFlags);
    if (!reader)
        return false;
    // A stream may run for hours; a sound held whole in memory may not.
    if (reader->ExceedsTheDecodeLimit()) {
        plat::DebugOutput(std::string("Sound \"") + name + "\" decodes to more than ten minutes or 115.2 MB; refused.\n");
        return false;
    }
    const plat::PcmFormat format = reader->GetFormat();
    const uint32_t bytes = reader->GetSize();
    m_Buffer = m_Device.GetAudio().CreateBuffer(format, bytes);
    if (!m_Buffer)
        m_Buffer = m_Device.GetAudio().CreateBuffer(format, bytes);
    if (!m_Buffer)
        return false;
    uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!m_Buffer->Lock(0, bytes, &data, &size, nullptr, nullptr)) {
        m_Buffer.reset();
        return false;
    }
    // A short read leaves silence behind what was read.
    const uint32_t read = reader->Read(data, size);
    if (read < size)
        std::fill(data + read, data + size, uint8_t(format.bits == 8 ? 0x80 : 0));
    m_Buffer->Unlock();
    m_Flags = (m_Flags & ~(kStereo | k16Bit)) | (format.channels > 1 ? kStereo : 0) | (format.bits == 16 ? k16Bit : 0);
    m_Buffer->SetFrequency(format.rate);
    m_Buffer->SetVolume(0);
    m_Buffer->SetPan(0);
    m_Frequency = format.rate;
    m_BaseFrequency = format.rate;
    m_Size = bytes;
    return true;
}

void CSound::EnsureLoaded()
{
    if (!m_PendingName.empty()) {
        static CPerformanceMonitor zone("LoadingSoundAndDecompressing");
        CPerformanceMonitorScope timed(zone);
        const SoundLoop loop = (m_Flags & kLooping) ? SoundLoop::Looping : SoundLoop::Once;
        if (!Load(m_PendingName.c_str(), loop, SoundLoad::Now, 0))
            GiveUpLoading();
    }
    if (m_PendingSource) {
        CSound* source = m_PendingSource;
        source->EnsureLoaded();
        const uint32_t flags = m_Flags;
        const int32_t pan = m_Pan;
        const int32_t volume = m_Volume;
        m_PendingSource = nullptr;
        CopyFrom(source);
        // The source is loaded or has given up, so the copy is complete (or
        // silent); setting its state directly never comes back here.
        m_PendingSource = nullptr;
        SetLooping((flags & kLooping) != 0);
        m_Volume = volume;
        ApplyCurrentVolume();
        m_Pan = pan;
        if (m_Buffer)
            m_Buffer->SetPan(pan);
    }
}

void CSound::GiveUpLoading()
{
    plat::DebugOutput("Sound \"" + m_PendingName + "\" could not be loaded; it stays silent.\n");
    if (ParseBufferName(m_PendingName.c_str()))
        DeleteNamedBuffer(m_PendingName.c_str());
    m_PendingName.clear();
}

void CSound::SetLooping(bool loop)
{
    if (loop)
        m_Flags |= kLooping;
    else
        m_Flags &= ~kLooping;
}

void CSound::SetVolume(int32_t cdB)
{
    m_Volume = cdB;
    EnsureLoaded();
    ApplyCurrentVolume();
}

void CSound::ApplyCurrentVolume()
{
    ApplyVolume(EffectiveVolume(m_Volume, m_Device.GetMasterAttenuation(), m_Device.GetMasterScale()));
}

void CSound::ApplyVolume(int32_t cdB)
{
    if (m_Buffer)
        m_Buffer->SetVolume(cdB > kAudibleFloor ? cdB : kSilent);
}

bool CSound::SetFrequency(uint32_t hz)
{
    EnsureLoaded();
    if (hz == m_Frequency || !m_Buffer)
        return false;
    if (hz < kMinFrequency || hz > kMaxFrequency)
        return true;
    m_Buffer->SetFrequency(hz);
    m_Frequency = hz;
    return true;
}

bool CSound::SetPan(int32_t pan)
{
    EnsureLoaded();
    if (pan == m_Pan)
        return false;
    m_Pan = pan;
    if (m_Buffer)
        m_Buffer->SetPan(pan);
    return true;
}

uint32_t CSound::GetBaseFrequency()
{
    EnsureLoaded();
    return m_BaseFrequency;
}

bool CSound::IsPlaying() const
{
    return m_Buffer && m_Buffer->IsPlaying();
}

bool CSound::Stop()
{
    const bool wasPlaying = IsPlaying();
    m_Device.Unlink(this);
    if (m_Buffer)
        m_Buffer->Stop();
    return wasPlaying;
}

void CSound::Close()
{
    Stop();
    Uncount();
    if (ParseBufferName(m_PendingName.c_str()))
        DeleteNamedBuffer(m_PendingName.c_str());
    m_PendingName.clear();
    m_PendingSource = nullptr;
    DestroyCopies();
    m_Buffer.reset();
    m_Flags &= ~kLoaded;
}

bool CSound::Play(uint32_t flags)
{
    static CPerformanceMonitor zone("PlaySound");
    CPerformanceMonitorScope timed(zone);
    if (!m_Device.IsReady())
        return false;
    m_Device.Unlink(this);

    if (m_Device.CountPlaying(m_Group) >= CSoundDevice::kVoiceLimit) {
        CSound* quietest = nullptr;
        for (CSound* sound = m_Device.m_Playing; sound; sound = sound->m_NextPlaying)
            if (sound->m_Group == m_Group && sound->m_Volume < 0 && (!quietest || sound->m_Volume < quietest->m_Volume))
                quietest = sound;
        if (quietest && quietest->m_Volume >= m_Volume)
            return false;
        if (quietest)
            quietest->Stop();
    }

    EnsureLoaded();
    if (!m_Buffer)
        return false;
    if ((flags & kPlayCopyWhenBusy) && IsPlaying()) {
        // This sound keeps playing where it is, and stays counted.
        m_Device.Link(this);
        static CPerformanceMonitor copyZone("PlaySoundCopy");
        CPerformanceMonitorScope timedCopy(copyZone);
        CSound* copy = GetAnAvailableCopy();
        return copy && copy != this && copy->Play(flags);
    }
    if ((m_Flags & kLooping) && IsPlaying()) {
        m_Device.Link(this);
        return false;
    }
    ApplyCurrentVolume();
    m_Device.Link(this);
    m_Buffer->SetPosition(0);
    m_Buffer->Play((m_Flags & kLooping) != 0);
    return true;
}

CSound* CSound::GetAnAvailableCopy()
{
    static CPerformanceMonitor zone("Sound_GetAnAvailableCopy");
    CPerformanceMonitorScope timed(zone);
    if (m_LastCopyTick >= m_Device.GetTick())
        return nullptr;
    m_LastCopyTick = m_Device.GetTick();
    if (m_Device.CountPlaying(m_Group) >= CSoundDevice::kVoiceLimit)
        return this;
    if (!IsPlaying()) {
        m_Device.Unlink(this);
        return this;
    }
    if (!m_NextCopy) {
        std::unique_ptr<CSound> copy = m_Device.CreateSound();
        if (!copy->CopyFrom(this))
            return this;
        m_NextCopy = std::move(copy);
    }
    return m_NextCopy->GetAnAvailableCopy();
}

bool CSound::CopyFrom(CSound* source)
{
    if (!source || source == this)
        return false;
    if (!source->m_PendingName.empty() || source->m_PendingSource) {
        m_PendingSource = source;
        return false;
    }
    static CPerformanceMonitor zone("Sound_Copy");
    CPerformanceMonitorScope timed(zone);
    Close();
    Reset();
    m_Group = source->m_Group;
    m_Flags = source->m_Flags & ~kLooping; // copies never loop
    m_BaseFrequency = source->m_BaseFrequency;
    m_Frequency = source->m_BaseFrequency;
    m_ListIndex = source->m_ListIndex;
    m_Volume = source->m_Volume;
    m_Pan = 0;
    if (!source->m_Buffer || !m_Device.IsReady())
        return false;
    m_Buffer = source->m_Buffer->Duplicate();
    if (!m_Buffer)
        return false;
    ApplyCurrentVolume();
    m_Buffer->SetPan(0);
    m_Buffer->SetFrequency(m_BaseFrequency);
    return true;
}

void CSound::PreloadData()
{
    if (m_PendingName.empty() || ParseBufferName(m_PendingName.c_str()))
        return;
    static CPerformanceMonitor zone("ReadingSoundData");
    CPerformanceMonitorScope timed(zone);
    CMemFileBuf* buffer = LoadFileToMemory(m_PendingName.c_str(), FILE_READ);
    if (!buffer)
        return;
    CJString name;
    MakeBufferName(name, buffer, m_PendingName.c_str());
    m_PendingName = name.GetString();
}
