#include "game/world/CGameSongPlayer.h"

#include "game/business/CThreeInARowCounter.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPeriod.h"
#include "game/world/CRules.h"
#include "shell/CGameBase.h"
#include "sound/CMusicPlayer.h"
#include "sound/CSoundDevice.h"
#include "sound/CSoundStreamPump.h"

#include "foundation/EnumerateFiles.h"

#include <cmath>

namespace {

CGameSongPlayer* g_SongPlayer = nullptr;

void DisposeSongPlayer()
{
    CGameSongPlayer* player = g_SongPlayer;
    g_SongPlayer = nullptr;
    delete player;
}

bool IsSong(int32_t song)
{
    return song > 0 && song < GetSongList().GetCount();
}

} // namespace

const char* GetSongPath(int32_t song)
{
    return IsSong(song) ? GetSongList().GetItemPath(song) : nullptr;
}

void LoadSongList(const char* folder)
{
    CSoundFileList& songs = GetSongList();
    CEnumerateFilesOptions options;
    options.SetFilesWithExtension(folder, "wav");
    options.AddExtension("ogg");
    songs.Enumerate(options, CFileList::kInNameOrder, nullptr, 0);
}

// --- Player ---

CGameSongPlayer& CGameSongPlayer::SGetInstance()
{
    if (!g_SongPlayer) {
        CSoundDevice& device = CSoundDevice::SGetInstance();
        g_SongPlayer = new CGameSongPlayer(device);
        device.AddShutdownCallback(&DisposeSongPlayer);
    }
    return *g_SongPlayer;
}

CGameSongPlayer* CGameSongPlayer::SPeekInstance()
{
    return g_SongPlayer;
}

CGameSongPlayer::CGameSongPlayer(CSoundDevice& device)
    : m_Main(std::make_unique<CSoundStreamPump>(device))
    , m_Bonus(std::make_unique<CSoundStreamPump>(device))
{
}

CGameSongPlayer::~CGameSongPlayer()
{
    if (g_SongPlayer == this)
        g_SongPlayer = nullptr;
}

bool CGameSongPlayer::IsWindowOpen()
{
    CGameBase* game = CGameBase::SGetInstance();
    return game && game->QueryScreenWindow(0);
}

int32_t CGameSongPlayer::GetMainVolume(bool stepped) const
{
    int32_t volume = CMusicPlayer::SGetInstance().GetBaseVolume();
    if (m_Bonus && m_Bonus->IsPlaying() && !IsWindowOpen())
        volume = int32_t(std::lround(double(volume) * 2.0));
    if (stepped && volume != 0)
        volume += volume < 0 ? 1 : -1;
    return volume;
}

void CGameSongPlayer::ApplyMainVolume(bool stepped)
{
    if (m_Main)
        m_Main->SetVolume(GetMainVolume(stepped));
}

void CGameSongPlayer::PlaySong(int32_t song, bool looping)
{
    if (!m_Main)
        return;
    ApplyMainVolume(false);
    const char* path = GetSongPath(song);
    if (!path) {
        m_Main->Stop();
        return;
    }
    m_MainSong = song;
    m_Main->Open(path, 0, looping);
}

void CGameSongPlayer::SetPeriod(int32_t period, bool play)
{
    if (m_MainMenuPeriod == -2)
        m_MainMenuPeriod = GetPeriodList().Find("Main Menu");
    const bool keep = play || (period >= 0 && period == m_MainMenuPeriod);
    if (period != m_CurrentPeriod) {
        m_Intermission = false;
        m_CurrentPeriod = period;
        CPeriod* songs = period >= 0 ? GetPeriodList().GetObject(period) : nullptr;
        PlaySong(songs ? songs->m_IntroMusic : 0, false);
        m_QueuedSong = songs ? songs->m_MainLoopMusic : 0;
    }
    if (!keep)
        m_CurrentPeriod = -1;
}

void CGameSongPlayer::StartLevelMusic()
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    SetPeriod(level ? level->m_Period : -1, false);
}

void CGameSongPlayer::PlayIntermissionSong()
{
    if (m_Intermission)
        return;
    m_Intermission = true;
    m_CurrentPeriod = -1;
    PlaySong(CRules::SGetInstance().m_IntermissionSong, true);
    m_QueuedSong = 0;
}

void CGameSongPlayer::StopMainChannel()
{
    if (m_Main && m_Main->IsPlaying())
        m_Main->Stop();
}

void CGameSongPlayer::Update(float seconds)
{
    if (m_Bonus) {
        m_Bonus->SetVolume(IsWindowOpen() ? -10000 : CMusicPlayer::SGetInstance().GetBaseVolume());
        m_Bonus->Service();
        CThreeInARowCounter* counter = GetThreeInARowCounter();
        const bool active = counter && counter->IsBonusActive();
        if (active) {
            CLevelOptions* level = CLevelOptions::SGetCurrent();
            const bool interacting = !level || !level->IsPlayerInteractionComplete();
            const char* path = GetSongPath(GetThreeInARowSong());
            if (interacting && path && !m_Bonus->IsPlaying())
                m_Bonus->Open(path, 0, true);
        } else if (m_Bonus->IsPlaying()) {
            m_Bonus->Stop();
        }
    }

    if (m_Main) {
        m_Main->Service();
        if (m_QueuedSong != 0 && !m_Main->IsPlaying()) {
            PlaySong(m_QueuedSong, true);
            m_QueuedSong = 0;
        }
    }

    bool stepped = false;
    if (m_VolumeCountdown > 0.0f)
        m_VolumeCountdown -= seconds;
    if (m_VolumeCountdown <= 0.0f) {
        m_VolumeCountdown = 1.0f;
        stepped = true;
    }
    ApplyMainVolume(stepped);
}

// --- Plug-ins ---

OMBRISALT_IMPLEMENT_CLASS(CSpritePlugInPlaySongOnceAndQueueNextSong, 1.0)

void CSpritePlugInPlaySongOnceAndQueueNextSong::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CSpritePlugInPlaySongOnceAndQueueNextSong;
    d.AddListReference<CDataReferenceProperty>(&C::m_SongToPlay, "Song To Play", &GetSongList(), nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_SongToQueue, "Song To Queue", &GetSongList(), nullptr);
    d.Add(&C::m_IsIntermissionSong, "Is Intermission Song", false);
}

CSpritePlugInPlaySongOnceAndQueueNextSong::CSpritePlugInPlaySongOnceAndQueueNextSong()
{
    InitDeclaredProperties();
}

CSpritePlugInPlaySongOnceAndQueueNextSong::~CSpritePlugInPlaySongOnceAndQueueNextSong()
{
    DestroyDeclaredProperties();
}

void CSpritePlugInPlaySongOnceAndQueueNextSong::Update(CPlugInUpdateRecord& record)
{
    CGameSongPlayer& player = CGameSongPlayer::SGetInstance();
    player.SetIntermission(m_IsIntermissionSong);
    player.ForgetCurrentPeriod();
    player.PlaySong(m_SongToPlay, false);
    player.QueueSong(m_SongToQueue);
    record.done = true;
}

OMBRISALT_IMPLEMENT_CLASS(CSpritePlugInPlaySongLooping, 1.0)

void CSpritePlugInPlaySongLooping::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference<CDataReferenceProperty>(&CSpritePlugInPlaySongLooping::m_SongToPlay, "Song To Play",
                                               &GetSongList(), nullptr);
}

CSpritePlugInPlaySongLooping::CSpritePlugInPlaySongLooping()
{
    InitDeclaredProperties();
}

CSpritePlugInPlaySongLooping::~CSpritePlugInPlaySongLooping()
{
    DestroyDeclaredProperties();
}

void CSpritePlugInPlaySongLooping::Update(CPlugInUpdateRecord& record)
{
    CGameSongPlayer& player = CGameSongPlayer::SGetInstance();
    player.SetIntermission(false);
    player.ForgetCurrentPeriod();
    player.PlaySong(m_SongToPlay, true);
    record.done = true;
}

OMBRISALT_IMPLEMENT_CLASS(CSpritePlugInStopMusic, 1.0)

void CSpritePlugInStopMusic::DeclareProperties(CPropertyDeclarer&) {}

CSpritePlugInStopMusic::CSpritePlugInStopMusic()
{
    InitDeclaredProperties();
}

CSpritePlugInStopMusic::~CSpritePlugInStopMusic()
{
    DestroyDeclaredProperties();
}

void CSpritePlugInStopMusic::Update(CPlugInUpdateRecord& record)
{
    CGameSongPlayer& player = CGameSongPlayer::SGetInstance();
    if (player.GetMainChannel()) {
        player.QueueSong(0);
        player.GetMainChannel()->Stop();
    }
    record.done = true;
}
