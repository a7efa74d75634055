#include "sound/CMusicPlayer.h"

#include "sound/CSoundDevice.h"

#include "foundation/EnumerateFiles.h"
#include "foundation/FileHelpers.h"

#include <cstring>

namespace {

CMusicPlayer* g_MusicPlayer = nullptr;

bool IsExtension(const char* extension, const char* wanted)
{
    return CompareNameNoCase(extension, wanted) == 0;
}

} // namespace

bool AlternativeSoundName(const char* name, std::string& alternative)
{
    if (!name)
        return false;
    const char* extension = GetExtensionFromPath(name);
    if (IsExtension(extension, ".ogg"))
        return false;
    alternative.assign(name, size_t(extension - name));
    alternative += IsExtension(extension, ".wav") ? ".ogg" : ".wav";
    return true;
}

// --- Sound file list ---

int32_t CSoundFileList::Find(const char* name, int32_t hint)
{
    int32_t found = CFileList::Find(name, hint);
    std::string alternative;
    if (found < 0 && AlternativeSoundName(name, alternative))
        found = CFileList::Find(alternative.c_str(), -1);
    if (found < 0 && name)
        found = m_Aliases.Find(name);
    return found;
}

bool CSoundFileList::TakesEntry(const char* name, const CEnumerateFilesInfo& info)
{
    if (const char* why = WhyEntryIsUnreadable(info)) {
        ReportItemLeftOut(CJString(name), CJString(why));
        return false;
    }
    return true;
}

// --- Player ---

CMusicPlayer::CMusicPlayer(CSoundDevice& device, Threading threading, const char* folder)
    : CSoundStreamPump(device, threading)
{
    CEnumerateFilesOptions options;
    options.SetFilesWithExtension(folder, "wav");
    options.AddExtension("ogg");
    m_Music.Enumerate(options, CFileList::kShuffled, nullptr, 0);
}

CMusicPlayer& CMusicPlayer::SGetInstance()
{
    if (!g_MusicPlayer) {
        CSoundDevice& device = CSoundDevice::SGetInstance();
        g_MusicPlayer = new CMusicPlayer(device, Threading::FromSettings);
        device.AddShutdownCallback(&CMusicPlayer::DisposeInstance);
    }
    return *g_MusicPlayer;
}

void CMusicPlayer::DisposeInstance()
{
    CMusicPlayer* player = g_MusicPlayer;
    g_MusicPlayer = nullptr;
    delete player;
}

void CMusicPlayer::Play(const char* track)
{
    m_PendingTrack = track ? track : "";
    m_Enabled = true;
}

void CMusicPlayer::Update(float)
{
    Service();
}

void CMusicPlayer::Service()
{
    CSoundStreamPump::Service();
    if (m_Enabled && m_BaseVolume > kMuted) {
        if (!IsPlaying()) {
            SetVolume(m_BaseVolume);
            const std::string pending = m_PendingTrack;
            m_PendingTrack.clear();
            StartTrack(pending.empty() ? nullptr : pending.c_str());
            if (!IsPlaying())
                m_BaseVolume = kMuted;
        } else if (!m_PendingTrack.empty()) {
            const std::string pending = m_PendingTrack;
            m_PendingTrack.clear();
            StartTrack(pending.c_str());
        }
        if (GetVolume() != m_BaseVolume)
            SetVolume(m_BaseVolume);
    } else if (IsPlaying()) {
        Stop();
    }
}

bool CMusicPlayer::StartTrack(const char* name)
{
    const int32_t index = name ? m_Music.Find(name) : -1;
    if (name && IsPlaying()) {
        const char* path = index >= 0 ? m_Music.GetItemPath(index) : nullptr;
        if (path && CompareNameNoCase(path, m_CurrentTrack.c_str()) == 0)
            return true;
        Stop();
    }
    if (IsPlaying())
        return true;
    if (m_Music.GetCount() == 0)
        return false;
    const char* path = m_Music.GetNextPath(index >= 0 ? m_Music.GetItemName(index) : nullptr);
    if (!path || !*path)
        return false;
    m_CurrentTrack = path;
    return Open(path, 0, false);
}
