#include "shell/CGameBase.h"

#include "blit/ColorTables.h"
#include "blit/GamePalette.h"
#include "foundation/CFile.h"
#include "foundation/CIniSection.h"
#include "foundation/CLocalizationTable.h"
#include "foundation/CMountedArchiveTable.h"
#include "foundation/CPerformanceMonitor.h"
#include "foundation/CStartupTextLog.h"
#include "foundation/MillisecondClock.h"
#include "foundation/SettingsFiles.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "images/CFrameList.h"
#include "objects/CClassInfo.h"
#include "objects/CFileListList.h"
#include "objects/CObject.h"
#include "platform/FileSystem.h"
#include "shell/CFrameRateCounter.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"
#include "shell/CShellScreen.h"
#include "shell/CTheoraPlayer.h"
#include "shell/GameWindow.h"
#include "shell/RegisterShellClasses.h"
#include "shell/StartGame.h"
#include "shell/VideoOptions.h"
#include "sound/CMusicPlayer.h"
#include "sound/CSoundDevice.h"
#include "sound/CSoundList.h"
#include "sound/SoundOptions.h"

#include <cstdio>
#include <iterator>
#include <string>

namespace {

CGameBase* g_Game = nullptr;
bool g_ShuttingDown = false;
// Each of U, P and D starts at most once per update pass.
uint32_t g_LastStartedPass[3] = {0, 0, 0};

constexpr char kSettingsNameCharacters[] = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

enum class GameZone { Update, Draw, Flip, WindowUpdate, DrawWindows, Step, Frame, Count };

CPerformanceMonitor& Zone(GameZone zone)
{
    static CPerformanceMonitor update("CGameBase_Update");
    static CPerformanceMonitor draw("GameBase_Draw");
    static CPerformanceMonitor flip("Flip");
    static CPerformanceMonitor windows("JWindow_Update");
    static CPerformanceMonitor drawWindows("DrawJWindows");
    static CPerformanceMonitor step("Update", 0, 1.0f);
    static CPerformanceMonitor frame("Draw");
    static CPerformanceMonitor* const zones[] = {&update, &draw, &flip, &windows, &drawWindows, &step, &frame};
    static_assert(std::size(zones) == size_t(GameZone::Count));
    return *zones[size_t(zone)];
}

// The settings file's base name: the game's name without the characters a
// file name could not hold.
std::string SettingsBaseName(const char* gameName)
{
    std::string name;
    for (const char* c = gameName ? gameName : ""; *c; ++c)
        if (std::string_view(kSettingsNameCharacters).find(*c) != std::string_view::npos)
            name += *c;
    return name;
}

bool ProbeWorkingFolderWritable()
{
    std::FILE* probe = plat::OpenFile("TestSave.dat", "wb");
    if (!probe)
        return false;
    std::fclose(probe);
    plat::DeleteFile("TestSave.dat");
    return true;
}

// The family's types get their fixed ids before the routers name theirs.
uint32_t IdleMessageType()
{
    RegisterMessageTypes();
    return CMessage::SGetMessageType("CDoIdleProcessingMessage");
}

void StartCounterOnce(FrameRateCounterId id, uint32_t pass)
{
    uint32_t& last = g_LastStartedPass[size_t(id)];
    if (last < pass) {
        last = pass;
        GetFrameRateCounter(id).Start();
    }
}

} // namespace

CGameBase::CGameBase(float minimumStep, float step, float maximumAccumulated, CLoadingScreenPresenter*,
                     const char* startupMusic, const char* const*)
    : m_Driver(minimumStep, step, maximumAccumulated)
    , m_IdleRouter(this, &CGameBase::OnIdleProcessing, IdleMessageType())
    , m_CharacterRouter(this, &CGameBase::OnCharacterTyped, CCharacterTypedMessage::SGetType())
    , m_SoundRouter(this, &CGameBase::OnPlaySound, CPlaySoundMessage::SGetType())
{
    RegisterShellClasses();
    CClassInfoList::SGetInstance().Sort();
    g_Game = this;
    g_ShuttingDown = false;
    SetMessagePumpClient(this);
    // The pass numbers are this object's: an earlier game's must not hold
    // the counters back.
    for (uint32_t& pass : g_LastStartedPass)
        pass = 0;
    m_PreviousHost = CObjectModelHost::SetInstance(this);

    SuspendFileOpenNotifications("Game Startup");
    m_FolderWritable = ProbeWorkingFolderWritable();
    const std::string baseName = SettingsBaseName(GetLauncherRecord().gameName);
    const CJString settings
        = GetSettingsFileName(baseName.c_str(), m_FolderWritable ? SettingsFileForm::Cfg : SettingsFileForm::CdIni);
    GetOptionsSection().SetFileName(settings.GetString());

    MountArchives("Data", ProgramArchives::Mount, DataZips::Mount);
    CStartupTextLog::Instance().Enable(uint32_t(kDefaultScreenWidth), uint32_t(kDefaultScreenHeight));
    // Every game object lists the data folder's own TrueType files; the font
    // list joins the registry of lists only once.
    EnumerateFontFiles();
    CFontList& fonts = GetFontList();
    const bool fontsRegistered = CFileListList::SGetInstance().FindIndexOfList(&fonts) >= 0;
    fonts.SetSource(fontsRegistered ? nullptr : "Fonts", "Resources|Fonts", 0);
    // The frame library holds, among others, the images of bitmap fonts.
    CFrameList& frames = GetFrameLibrary();
    const bool framesRegistered = CFileListList::SGetInstance().FindIndexOfList(&frames) >= 0;
    frames.SetSource(framesRegistered ? nullptr : "Frames", "Resources", 0);
    CFileListList::SGetInstance().ResetAllLists();
    ApplyDisplaySettings(KeepDepth::No);
    InitBlitTables();
    // A missing palette is reported on the debug channel; start-up goes on.
    LoadGamePalette();
    // The options set the output's channels, so the device opens first.
    CGameBase::LoadSounds();
    CSoundDevice::SGetInstance().Initialize();
    ApplySoundSettings();
    {
        CTheoraPlayer logo("Resources/ombrisalt_video.ogg", "ombrisalt_video_sound.ogg", 544, 400,
                           VideoPlacement::Stretched);
        CTheoraPlayer::PlayAll();
    }
    CMusicPlayer& music = CMusicPlayer::SGetInstance();
    if (startupMusic && music.GetMusicList().Find(startupMusic) >= 0) {
        music.Play(startupMusic);
        if (m_FolderWritable) {
            music.Service();
            RunMessageLoop();
        }
    }
    GetLocalizationTable().LoadLocalization();

    m_DebugLineCount = 0;
    m_UpdatePassCount = 0;
    m_DrawCount = 0;
    m_RealTime = true;
    m_DisplayFrameRate = GetOptionsSection().GetInt("Display FPS", 0) > 0;
    m_ShowOverlaysInEditor = GetOptionsSection().GetInt("Show Overlays In Editor", 1) > 0;
    ResumeFileOpenNotifications();
}

CGameBase::~CGameBase()
{
    for (uint32_t i = m_DeferredDeletes.GetCount(); i-- > 0;)
        delete m_DeferredDeletes[i];
    m_DeferredDeletes.RemoveAll();
    g_ShuttingDown = true;
    SaveUnsavedBrightness();
    CSoundDevice& sound = CSoundDevice::SGetInstance();
    sound.Shutdown();
    m_ScreenWindow.reset();
    CFileListList::SGetInstance().DisposeAll();
    // After the lists: a font's face reads its file until the font goes, and
    // that file may be an archive member.
    CMountedArchiveTable::Get().UnmountAll();
    // Disposing may have brought the music player back.
    sound.Shutdown();
    if (g_Game == this)
        g_Game = nullptr;
    if (GetMessagePumpClient() == this)
        SetMessagePumpClient(nullptr);
    CObjectModelHost::SetInstance(m_PreviousHost);
    m_DeferredDeletes.Free();
}

CGameBase* CGameBase::SGetInstance()
{
    return g_Game;
}

bool CGameBase::SIsShuttingDown()
{
    return g_ShuttingDown;
}

void CGameBase::SSetShuttingDown(bool shuttingDown)
{
    g_ShuttingDown = shuttingDown;
}

bool CGameBase::OnMessage(CMessage&)
{
    return false;
}

void CGameBase::LoadSounds()
{
    CSoundList::SGetGlobal().Load("Sounds", "Resources", ".wav", ".ogg");
}

void CGameBase::Init(CLoadingScreenPresenter*) {}

void CGameBase::Update(float seconds)
{
    CPerformanceMonitorScope zone(Zone(GameZone::Update));
    StartUpdateCounters();
    ++m_UpdatePassCount;
    // Objects queued while these run wait for the next update.
    while (!m_DeferredDeletes.IsEmpty()) {
        CObject* object = m_DeferredDeletes[0];
        m_DeferredDeletes.RemoveAt(0);
        delete object;
    }
    if (IsScreenDeviceReady())
        CScreenFrame::SGetInstance().UpdateFade(seconds);
    CSoundDevice::SGetInstance().NextTick();
    CMusicPlayer::SGetInstance().Update(seconds);
    if (m_ScreenWindow && m_UpdateWindows) {
        CPerformanceMonitorScope windows(Zone(GameZone::WindowUpdate));
        m_ScreenWindow->Update(seconds);
    }
    m_UpdateRate = GetFrameRateCounter(FrameRateCounterId::Update).Measure();
}

bool CGameBase::Draw()
{
    CPerformanceMonitorScope zone(Zone(GameZone::Draw));
    StartDrawCounter();
    ++m_DrawCount;
    if (m_FrameRateFont)
        DrawFrameRateLine();
    bool presented = false;
    if (m_WindowActiveForPresent) {
        CPerformanceMonitorScope flip(Zone(GameZone::Flip));
        presented = m_Screen && m_Screen->Present();
    }
    m_DebugLineCount = 0;
    return presented;
}

void CGameBase::DrawFrameRateLine()
{
    const float processing = GetFrameRateCounter(FrameRateCounterId::Processing).Measure();
    const float draw = GetFrameRateCounter(FrameRateCounterId::Draw).Measure();
    const float all = GetFrameRateCounter(FrameRateCounterId::All).Measure();
    if (!m_DisplayFrameRate || all == 0.0f || !m_Screen)
        return;
    char text[128];
    if (!FormatFrameRateLine(text, sizeof text, m_UpdateRate, draw, processing, all))
        return;
    const int32_t line = TakeDebugLine();
    const int32_t height = m_FrameRateFont->GetPointSize();
    const int32_t top = height * line;
    const int32_t width = m_FrameRateFont->GetCharAdvance('X') * int32_t(std::string_view(text).size());
    const int32_t centre = m_Screen->GetWidth() / 2;
    const CRect box{centre - width / 2, top, centre - width / 2 + width, top + height};
    m_Screen->FillRect(box, GetFrameRateBoxColour(processing));
    m_FrameRateFont->DrawCentred(*m_Screen, centre, top, text);
}

bool CGameBase::UpdateMusic(CMessage&)
{
    CMusicPlayer::SGetInstance().Service();
    return true;
}

void CGameBase::OnDisplayModeChanged() {}

bool CGameBase::SetActive(bool active)
{
    if (active == m_Active)
        return false;
    CKeyboardState::SGetInstance().Reset();
    if (active) {
        HideSystemCursor();
        ApplySoundSettings();
    } else {
        ShowSystemCursor();
        CMouseState::SGetInstance().EndTracking();
    }
    m_Active = active;
    return true;
}

bool CGameBase::OnCommand(uint32_t)
{
    return false;
}

void CGameBase::Initialize(CShellScreen* screen, CFrameRateFont* frameRateFont)
{
    m_FrameRateFont = frameRateFont;
    m_Screen = screen;
    if (screen)
        m_ScreenWindow = CreateScreenWindow(*screen);
}

bool CGameBase::IsNamedOptionSet(const char*)
{
    return true;
}

void CGameBase::OnStringHook1(const CJString&) {}
void CGameBase::OnStringHook2(const CJString&) {}
void CGameBase::OnStringHook3(const CJString&) {}
void CGameBase::OnStringHook4(const CJString&) {}

void CGameBase::ForwardStringHook1(const char* text)
{
    OnStringHook1(CJString(text));
}

void CGameBase::ForwardStringHook2(const char* text)
{
    OnStringHook2(CJString(text));
}

void CGameBase::ForwardStringHook3(const char* text)
{
    OnStringHook3(CJString(text));
}

void CGameBase::ForwardStringHook4(const char* text)
{
    OnStringHook4(CJString(text));
}

void CGameBase::DrawJWindows()
{
    CPerformanceMonitorScope zone(Zone(GameZone::DrawWindows));
    if (m_ScreenWindow)
        m_ScreenWindow->DrawTree();
}

namespace {

ScreenWindowFactory g_ScreenWindowFactory = nullptr;

} // namespace

ScreenWindowFactory SetScreenWindowFactory(ScreenWindowFactory factory)
{
    const ScreenWindowFactory previous = g_ScreenWindowFactory;
    g_ScreenWindowFactory = factory;
    return previous;
}

std::unique_ptr<CShellRootWindow> CGameBase::CreateScreenWindow(CShellScreen& screen)
{
    return g_ScreenWindowFactory ? g_ScreenWindowFactory(screen) : nullptr;
}

void CGameBase::IncrementBusy(BusyCounter counter)
{
    ++m_Busy[counter == BusyCounter::Second ? 1 : 0];
}

void CGameBase::DecrementBusy(BusyCounter counter)
{
    --m_Busy[counter == BusyCounter::Second ? 1 : 0];
}

bool CGameBase::IsBusy()
{
    return m_Busy[0] > 0 || (m_Busy[1] >= 1 && !IgnoresSecondBusyCounter());
}

bool CGameBase::IgnoresSecondBusyCounter()
{
    return false;
}

float CGameBase::MeasureFrameTime()
{
    // Under the performance monitor every pass is one step, as without real time.
    return m_Driver.RunPass(double(MillisecondClock()), m_RealTime && !IsPerformanceMonitoringOn(), *this);
}

void CGameBase::RunStep(float seconds, FrameStep kind)
{
    if (kind == FrameStep::Rest) {
        CPerformanceMonitorScope zone(Zone(GameZone::Step));
        Update(seconds);
    } else {
        Update(seconds);
    }
}

void CGameBase::RunDraw()
{
    CPerformanceMonitorScope zone(Zone(GameZone::Frame));
    Draw();
}

void CGameBase::OnWindowActivation(bool activeAndShown)
{
    SetActive(activeAndShown);
    CKeyboardState::SGetInstance().Reset();
    ResetFrameRateCounters();
}

void CGameBase::StartUpdateCounters()
{
    StartCounterOnce(FrameRateCounterId::Update, m_UpdatePassCount);
    StartCounterOnce(FrameRateCounterId::Processing, m_UpdatePassCount);
}

void CGameBase::StartDrawCounter()
{
    StartCounterOnce(FrameRateCounterId::Draw, m_UpdatePassCount);
}

void CGameBase::ResetFrameRateCounters()
{
    ResetAllFrameRateCounters();
}

float CGameBase::GetFrameRate() const
{
    return GetFrameRateCounter(FrameRateCounterId::All).GetRate();
}

float CGameBase::GetProcessingRate() const
{
    return GetFrameRateCounter(FrameRateCounterId::Processing).GetRate();
}

void CGameBase::SetDisplayFps(bool display)
{
    if (display == m_DisplayFrameRate)
        return;
    m_DisplayFrameRate = display;
    GetOptionsSection().SetInt("Display FPS", display ? 1 : 0);
}

bool CGameBase::QueryScreenWindow(int32_t kind) const
{
    if (!m_ScreenWindow)
        return false;
    if (kind == 0)
        return m_ScreenWindow->HasChildren();
    if (kind == 1)
        return m_ScreenWindow->HasChildren() && m_ScreenWindow->GetFirstChildLevel() > 0.333f;
    return false;
}

void CGameBase::DeleteLater(CObject* object)
{
    if (object)
        m_DeferredDeletes.Append(object);
}

bool CGameBase::OnCharacterTyped(CMessage& message)
{
    const auto* typed = dynamic_cast<CCharacterTypedMessage*>(&message);
    return typed && OnCommand(typed->GetCharacter());
}

bool CGameBase::OnPlaySound(CMessage& message)
{
    if (const auto* play = dynamic_cast<CPlaySoundMessage*>(&message))
        CSoundList::SGetGlobal().PlayByName(play->GetSound().GetString());
    return true;
}
