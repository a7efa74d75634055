#include "game/world/CGameApp.h"

#include "foundation/CIniSection.h"
#include "foundation/CLocalizationTable.h"
#include "foundation/CMountedArchiveTable.h"
#include "foundation/MillisecondClock.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CAudio.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGameState.h"
#include "game/world/CPeriod.h"
#include "game/world/CTutorial.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "images/CFrameImageIO.h"
#include "images/CFrameList.h"
#include "images/CJPEGFileIO.h"
#include "objects/CObjectFileArray.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/HueRemap.h"
#include "shell/CFontFrameRateFont.h"
#include "shell/CKeyboardState.h"
#include "shell/CLoadingScreenPresenter.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"
#include "sound/CSoundDevice.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJWindow.h"
#include "ui/CScreenWindow.h"
#include "ui/CSkinTheme.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace {

constexpr uint64_t kProgressInterval = 50; // milliseconds

bool IsMountedArchiveFile(const char* name)
{
    CJString path;
    return CMountedArchiveTable::Get().GetArchivePath(name, path);
}

int32_t CountLoaded(CObjectFileArray& list)
{
    int32_t loaded = 0;
    for (int32_t i = 0; i < list.GetCount(); ++i)
        loaded += list.IsItemLoaded(i) ? 1 : 0;
    return loaded;
}

// The data set names its fonts by their folder; a bare name is found there too.
CFont* FindFont(const char* name)
{
    CFontList& fonts = GetFontList();
    int32_t index = fonts.Find(name);
    if (index < 0) {
        CJString inFolder("Fonts/");
        inFolder.Append(name);
        index = fonts.Find(inFolder.GetString());
    }
    return index >= 0 ? fonts.GetObject(index) : nullptr;
}

void LoadEveryItem(CObjectFileArray& list)
{
    for (int32_t i = 0; i < list.GetCount(); ++i)
        list.GetObjectAt(i);
}

// The channel's picture, the player's own before the data's; a picture the
// reader refuses is said, as the data's other pictures are.
bool LoadChannelLogo(CFrame& logo)
{
    for (const uint32_t folder : {FILE_USER_FOLDER, 0u}) {
        ClearLastImageRefusal();
        if (LoadJPEGFile(logo, "Channel.jpg", folder))
            return true;
        if (GetLastImageRefusal().IsNotEmpty())
            ReportItemLeftOut(CJString("Channel.jpg"), GetLastImageRefusal());
    }
    return false;
}

} // namespace

void CGameApp::Init(CLoadingScreenPresenter* presenter)
{
    CSoundDevice::SGetInstance().StopAllSounds();

    m_ChannelLogo = CFrame::MakeOwned(1, 1, 32);
    if (LoadChannelLogo(*m_ChannelLogo) && presenter)
        presenter->Show(m_ChannelLogo.get());

    // The data set keeps its sequences and frames in folders of their own,
    // so the names are bare.
    GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
    CFrameList& frames = GetFrameLibrary();
    frames.SetSource(nullptr, "Resources/Frames", 0);
    CFrame* background = frames.GetObject(frames.FindOrReportMissing("LoadingScreen_Background"));
    m_Loading = SLoading();
    // The loading picture's set is read and drawn before the audio list has
    // its folder: a sound named through it can not be found yet.
    GetAudioList().SetEarlyLoad("the start-up overlay set \"Splash\"");
    m_Loading.splash = FindFrameOverlayOptions("Splash");
    m_Loading.total = frames.GetCount() + GetSequenceList().GetCount();
    CTextSubstitutionList values;
    FillLoadingProgress(values, 0, m_Loading.total);
    if (presenter) {
        if (m_Loading.splash) {
            CFrameOverlayLoadingScreenOverlay overlay(*m_Loading.splash, &values);
            presenter->Show(background, &overlay);
        } else {
            presenter->Show(background);
        }
        presenter->SetMinimumSeconds(0.0f);
    }
    DrawLoadingProgress();
    const ObjectReadHook previousHook = SetObjectReadHook(&DrawLoadingProgressHook);

    m_InterfaceTextures = std::make_unique<CFrameList>(nullptr);
    CFrameFilter chain;
    chain.AddFilter(12);
    m_InterfaceTextures->SetFilters(chain);
    m_InterfaceTextures->SetSource(nullptr, "Resources/Interface/Textures", 0);
    CJWindow::SetSkinResources(m_InterfaceTextures.get(), m_InterfaceTextures.get());

    GetAudioList().SetSource("Resources/Audio");
    GetSkinThemeList().SetSource(nullptr, "Resources/Interface/JWindowSkins", 0);
    GetCustomerStyleSheetList().SetSource(nullptr, "Resources", 0);
    GetBackgroundStyleSheetList().SetSource(nullptr, "Resources", 0);

    const int32_t mainMenu = GetPeriodList().Find("Main Menu");
    if (mainMenu >= 0)
        CGameSongPlayer::SGetInstance().SetPeriod(mainMenu, true);

    CFont* font = FindFont("Plain White 12");
    m_FrameRateFont = font ? std::make_unique<CFontFrameRateFont>(*font) : nullptr;
    Initialize(&CScreenFrame::SGetInstance().AsShellScreen(), m_FrameRateFont.get());
    if (CFont* body = FindFont("Body"))
        CJWindow::SetDefaultFont(body);
    m_Initialised = true;

    if (IsMountedArchiveFile("Credits.txt")) {
        LoadEveryItem(GetSequenceList());
        LoadEveryItem(GetFontList());
        LoadEveryItem(frames);
    }
    // The last count, however quickly it came, before the picture goes.
    m_Loading.lastDrawn = 0;
    DrawLoadingProgress();
    SetObjectReadHook(previousHook);
    m_Loading.splash = nullptr;

    LoadCursors();

    GetGameScreensHooks().CreateProgressionLists();

    const int32_t theme = GetSkinThemeList().Find("Nadrevo");
    m_GameSkinTheme = theme >= 0 ? GetSkinThemeList().GetObject(theme) : nullptr;
    if (auto* skin = dynamic_cast<CSkinTheme*>(m_GameSkinTheme))
        if (CScreenWindow* screen = CScreenWindow::GetScreenWindow())
            screen->SetSkinTheme(skin);

    SetDisplayFps(false);
}

void CGameApp::DrawLoadingProgressHook()
{
    ::DrawLoadingProgress();
}

bool CGameApp::DrawLoadingProgress()
{
    if (m_Loading.drawing || !m_Loading.splash || !IsScreenDeviceReady())
        return false;
    const uint64_t now = MillisecondClock();
    if (m_Loading.lastDrawn != 0 && now - m_Loading.lastDrawn < kProgressInterval)
        return false;
    m_Loading.drawing = true;
    m_Loading.lastDrawn = now;
    const int32_t loaded = CountLoaded(GetSequenceList()) + CountLoaded(GetFrameLibrary());
    CTextSubstitutionList values;
    FillLoadingProgress(values, loaded, m_Loading.total);
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    m_Loading.splash->DrawOnFrame(screen, &values, false, nullptr);
    screen.Present();
    m_Loading.drawing = false;
    return true;
}

bool DrawLoadingProgress()
{
    CGameApp* game = CGameApp::SGetInstance();
    return game && game->DrawLoadingProgress();
}

std::unique_ptr<CGameBase> RunGame()
{
    GetLocalizationTable().SetTranslationHook(&ApplyTextSymbols);
    CLoadingScreenPresenter presenter;
    presenter.SetMinimumSeconds(3.0f);
    auto game = std::make_unique<CGameApp>(&presenter);
    game->Init(&presenter);
    CGameScreensHooks& hooks = GetGameScreensHooks();
    hooks.PrepareTownMap();
    // Until there is a main menu the player goes straight into the first level.
    if (!hooks.OpenScreen(EGameScreen::MainMenu))
        game->OpenDecadeTransition();
    CKeyboardState::SGetInstance().Reset();
    CScreenFrame::SGetInstance().FadeIn(0.25f, FadeWait::Return);
    return game;
}

CJString GetChannelName()
{
    static bool read = false;
    static CJString name("Ombrisalt");
    if (!read) {
        read = true;
        GetChannelSection().GetString("Channel Name", name);
    }
    return name;
}

bool IsDeveloperOptionSet(const char*)
{
    static const bool loose = !IsMountedArchiveFile("Credits.txt");
    return loose;
}

CObject* GetGameSkinTheme()
{
    const CGameApp* game = CGameApp::SGetInstance();
    return game ? game->GetSkinTheme() : nullptr;
}
