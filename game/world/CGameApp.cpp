#include "game/world/CGameApp.h"

#include "blit/CBlitTypeList.h"
#include "blit/CColorProperty.h"
#include "foundation/CFile.h"
#include "foundation/CIniSection.h"
#include "foundation/CLocalizationTable.h"
#include "foundation/CMountedArchiveTable.h"
#include "foundation/CRandomGenerator.h"
#include "foundation/FilePaths.h"
#include "foundation/MillisecondClock.h"
#include "game/business/CCrew.h"
#include "game/business/CCustomerArrivals.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CCurrentLevel.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayAnimationOnceSpriteAI.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CTypedCommands.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "images/CJPEGFileIO.h"
#include "images/CTGAFileIO.h"
#include "objects/CListProperty.h"
#include "objects/CPointProperty.h"
#include "objects/CSlotProperty.h"
#include "overlays/CFrameOverlay.h"
#include "render/CProxyFrame.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequenceCursor.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/HueRemap.h"
#include "shell/CFontFrameRateFont.h"
#include "shell/CKeyboardState.h"
#include "shell/CLoadingScreenPresenter.h"
#include "shell/CMouseState.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"
#include "shell/CTypedCommandList.h"
#include "sound/CSoundDevice.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJWindow.h"
#include "ui/CScreenWindow.h"
#include "ui/CSkinTheme.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <utility>
#include <vector>

OMBRISALT_IMPLEMENT_CLASS(CLoadingFeedbackDisplayOptions, 1)

namespace {

CGameApp* g_Instance = nullptr;
bool g_Initialised = false;
CGameEditorHooks g_NoEditor;
CGameEditorHooks* g_EditorHooks = nullptr;

constexpr uint64_t kProgressInterval = 50; // milliseconds
constexpr float kStep = 1.0f / 60.0f;

struct SCursorEntry {
    CSequence* sequence = nullptr;
    std::unique_ptr<CSequenceCursor> cursor;
};
constexpr const char* kCursorNames[kCursorTableSize] = {
    "Mouse Cursor",          "Text Cursor",
    "Set X Cursor",          "Set Y Cursor",
    "Set XY Cursor",         "Can Move Cursor",
    "Moving Cursor",         "Can Move X Cursor",
    "Moving X Cursor",       "Can Move Y Cursor",
    "Moving Y Cursor",       "Can Resize Cursor",
    "Resizing Cursor",       "Can Resize Other Cursor",
    "Resizing Other Cursor", nullptr,
    "Page Up Cursor",        nullptr,
    "Page Down Cursor",      nullptr,
    "Page Left Cursor",      nullptr,
    "Page Right Cursor",
};
SCursorEntry g_Cursors[kCursorTableSize];
std::vector<std::pair<CSequence*, std::unique_ptr<CSequenceCursor>>> g_ExtraCursors;

struct SLoading {
    int32_t total = 1;
    uint64_t lastDrawn = 0;
    bool drawing = false;
    CFrameOverlayOptions* splash = nullptr;
};
SLoading g_Loading;

CObject* g_GameSkinTheme = nullptr;
CGameState* g_ChosenStoredState = nullptr;
// Looked up once for the game object's life: the list owns it.
CGameState* g_InitialState = nullptr;
std::unique_ptr<CFontFrameRateFont> g_FrameRateFont;
std::unique_ptr<CSequenceCursor> g_BonusCursor;
CSequence* g_BonusSequence = nullptr;

bool ContainsNoCase(const CJString& text, const char* part)
{
    const CJString find(part);
    for (int at = 0; at + find.GetLength() <= text.GetLength(); ++at)
        if (text.Mid(at, find.GetLength()).CompareNoCase(find) == 0)
            return true;
    return false;
}

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

CSequenceCursor* CursorFor(const CSequence* sequence)
{
    if (!sequence)
        return nullptr;
    for (SCursorEntry& entry : g_Cursors)
        if (entry.sequence == sequence)
            return entry.cursor.get();
    if (g_BonusCursor && g_BonusSequence == sequence)
        return g_BonusCursor.get();
    return nullptr;
}

void LoadEveryItem(CObjectFileArray& list)
{
    for (int32_t i = 0; i < list.GetCount(); ++i)
        list.GetObjectAt(i);
}

bool IsPlayfieldScreenOpen()
{
    CGameScreensHooks& hooks = GetGameScreensHooks();
    for (EGameScreen screen : {EGameScreen::Shop, EGameScreen::EndOfLevel, EGameScreen::TutorialEndOfLevel,
                               EGameScreen::NeighbourhoodViewer})
        if (hooks.IsScreenOpen(screen))
            return true;
    return false;
}

class CMouseRecorder final : public CMouseEventListenerMixin {
public:
    void OnMouseEvent(const CMouseEvent& event) override
    {
        CGameApp* game = CGameApp::SGetInstance();
        if (!game)
            return;
        switch (event.type) {
        case MouseEventType::Move:
            game->RecordPlayfieldMouseEvent(0, event.x, event.y, event.buttons);
            break;
        case MouseEventType::Pressed:
            game->RecordPlayfieldMouseEvent(1, event.x, event.y, event.buttons);
            break;
        case MouseEventType::Released:
            game->RecordPlayfieldMouseEvent(2, event.x, event.y, event.buttons);
            break;
        default:
            break;
        }
    }
};

} // namespace

CGameEditorHooks* SetGameEditorHooks(CGameEditorHooks* hooks)
{
    CGameEditorHooks* previous = g_EditorHooks;
    g_EditorHooks = hooks;
    return previous;
}

CGameEditorHooks& GetGameEditorHooks()
{
    return g_EditorHooks ? *g_EditorHooks : g_NoEditor;
}

void CLoadingFeedbackDisplayOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CLoadingFeedbackDisplayOptions;
    d.AddListReference<CDataReferenceProperty>(&C::m_SequenceToUse, "Sequence To Use", &GetSequenceList(), nullptr);
    d.Add(&C::m_SequencePosition, "Sequence Position", CPoint{512, 384});
    d.Add(&C::m_FillColor, "Fill Color", CColor(255, 255, 255, 255)).WithAlpha();
    d.Add(&C::m_OutLineColor, "Out Line Color", CColor(255, 255, 255, 255)).WithAlpha();
    d.Add(&C::m_LoadingBarPosition, "Loading Bar Position", CPoint{412, 650});
    d.Add(&C::m_LoadingBarWidth, "Loading Bar Width", 200);
    d.Add(&C::m_LoadingBarHeight, "Loading Bar Height", 10);
}

CLoadingFeedbackDisplayOptions::CLoadingFeedbackDisplayOptions()
{
    InitDeclaredProperties();
}

CLoadingFeedbackDisplayOptions::~CLoadingFeedbackDisplayOptions()
{
    DestroyDeclaredProperties();
}

CGameApp::CGameApp(CLoadingScreenPresenter* presenter)
    : CGameBase(kStep, kStep, 1.0f / 12.0f, presenter, nullptr, nullptr)
    , m_GameSprites(std::make_unique<CSpriteArray>())
{
    g_Instance = this;
    InitGeneralObjects();
    SetKeepRunningInBackground(false);
    m_MouseRecorder = std::make_unique<CMouseRecorder>();
    RegisterGameTypedCommands(CTypedCommandList::SGetInstance(), IsDeveloperOptionSet("CheatCodes"));
}

CGameApp::~CGameApp()
{
    GetGameScreensHooks().OnGameClosing();
    g_Initialised = false;
    m_MouseRecorder.reset();
    GetLevelHolder().Release();
    m_GameSprites.reset();
    g_GameSkinTheme = nullptr;
    g_ChosenStoredState = nullptr;
    g_InitialState = nullptr;
    // The lists that hold these go with the base.
    CJWindow::SetDefaultFont(nullptr);
    CJWindow::SetSkinResources(nullptr, nullptr);
    CMouseState& mouse = CMouseState::SGetInstance();
    for (SCursorEntry& entry : g_Cursors) {
        if (entry.cursor && mouse.GetCursor() == entry.cursor.get())
            mouse.SetCursor(nullptr, CursorStart::NotStarted, CursorStop::Running, CursorFrameSource::MouseState);
        entry.cursor.reset();
        entry.sequence = nullptr;
    }
    if (g_BonusCursor && mouse.GetCursor() == g_BonusCursor.get())
        mouse.SetCursor(nullptr, CursorStart::NotStarted, CursorStop::Running, CursorFrameSource::MouseState);
    g_BonusCursor.reset();
    for (auto& entry : g_ExtraCursors)
        if (mouse.GetCursor() == entry.second.get())
            mouse.SetCursor(nullptr, CursorStart::NotStarted, CursorStop::Running, CursorFrameSource::MouseState);
    g_ExtraCursors.clear();
    g_BonusSequence = nullptr;
    if (g_Instance == this)
        g_Instance = nullptr;
}

CGameApp* CGameApp::SGetInstance()
{
    return g_Instance;
}

bool CGameApp::SIsInitialised()
{
    return g_Initialised;
}

bool CGameApp::OnMessage(CMessage& message)
{
    CGameBase::OnMessage(message);
    static const uint32_t kEditorClosing = CMessage::SGetMessageType("Editor Closing");
    if (message.GetType() == kEditorClosing && GetGameEditorHooks().EditorMayClose()) {
        SelectStartingGameState(true);
        StartLevel(true);
    }
    return false;
}

void CGameApp::Init(CLoadingScreenPresenter* presenter)
{
    CSoundDevice::SGetInstance().StopAllSounds();

    m_ChannelLogo = CFrame::MakeOwned(1, 1, 32);
    if (LoadJPEGFile(*m_ChannelLogo, "Channel.jpg", FILE_USER_FOLDER)
        || LoadJPEGFile(*m_ChannelLogo, "Channel.jpg", 0)) {
        if (presenter)
            presenter->Show(m_ChannelLogo.get());
    }

    // The data set keeps its sequences and frames in folders of their own,
    // so the names are bare.
    GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
    CFrameList& frames = GetFrameLibrary();
    frames.SetSource(nullptr, "Resources/Frames", 0);
    CFrame* background = frames.GetObject(frames.FindOrReportMissing("LoadingScreen_Background"));
    g_Loading = SLoading();
    g_Loading.splash = FindFrameOverlayOptions("Splash");
    g_Loading.total = frames.GetCount() + GetSequenceList().GetCount();
    CTextSubstitutionList values;
    FillLoadingProgress(values, 0, g_Loading.total);
    if (presenter) {
        if (g_Loading.splash) {
            CFrameOverlayLoadingScreenOverlay overlay(*g_Loading.splash, &values);
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
    g_FrameRateFont = font ? std::make_unique<CFontFrameRateFont>(*font) : nullptr;
    Initialize(&CScreenFrame::SGetInstance().AsShellScreen(), g_FrameRateFont.get());
    if (CFont* body = FindFont("Body"))
        CJWindow::SetDefaultFont(body);
    g_Initialised = true;

    if (IsMountedArchiveFile("Credits.txt")) {
        LoadEveryItem(GetSequenceList());
        LoadEveryItem(GetFontList());
        LoadEveryItem(frames);
    }
    // The last count, however quickly it came, before the picture goes.
    g_Loading.lastDrawn = 0;
    DrawLoadingProgress();
    SetObjectReadHook(previousHook);
    g_Loading.splash = nullptr;

    CMouseState& mouse = CMouseState::SGetInstance();
    for (uint32_t i = 0; i < kCursorTableSize; ++i) {
        SCursorEntry& entry = g_Cursors[i];
        entry.sequence = nullptr;
        entry.cursor.reset();
        if (!kCursorNames[i])
            continue;
        const int32_t index = GetSequenceList().Find(kCursorNames[i]);
        entry.sequence = index >= 0 ? GetSequenceList().GetObject(index) : nullptr;
        if (entry.sequence)
            entry.cursor = std::make_unique<CSequenceCursor>(*entry.sequence);
    }
    if (g_Cursors[0].cursor) {
        mouse.SetCursor(g_Cursors[0].cursor.get(), CursorStart::Started, CursorStop::AtLastFrame,
                        CursorFrameSource::Sequence);
        mouse.ShowCursor();
    }

    GetGameScreensHooks().CreateProgressionLists();

    const int32_t theme = GetSkinThemeList().Find("Nadrevo");
    g_GameSkinTheme = theme >= 0 ? GetSkinThemeList().GetObject(theme) : nullptr;
    if (auto* skin = dynamic_cast<CSkinTheme*>(g_GameSkinTheme))
        if (CScreenWindow* screen = CScreenWindow::GetScreenWindow())
            screen->SetSkinTheme(skin);

    SetDisplayFps(false);
}

void CGameApp::DrawLoadingProgressHook()
{
    DrawLoadingProgress();
}

void CGameApp::Update(float seconds)
{
    DrainMouseEvents();
    CGameSongPlayer::SGetInstance().Update(seconds);
    m_GameSprites->Update();
    GetGlobalTextSubstitutions().RemoveAll();
    CGameScreensHooks& hooks = GetGameScreensHooks();
    hooks.AddPlayTime(seconds);
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    CPlayfield* playfield = GetCurrentPlayfield();
    if (QueryScreenWindow(0)) {
        if (IsPlayfieldScreenOpen()) {
            if (playfield)
                playfield->Update(seconds);
            if (level)
                level->Update(seconds, true);
        }
    } else {
        BeginCrewFrame();
        UpdateCustomerSpawning();
        // The arrival may have ended the level and started the next one.
        level = CLevelOptions::SGetCurrent();
        playfield = GetCurrentPlayfield();
        if (playfield)
            playfield->Update(seconds);
        if (level)
            level->Update(seconds, false);
        // The level clock runs in whole steps, however long the update was.
        if (CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent())
            stats->AddPlayingUpdate(GetCrewsWorking());
        hooks.AddLevelPlayTime(seconds);
        UpdateSparkle(seconds);
    }
    AfterUpdate(seconds);
    CGameBase::Update(seconds);
}

void CGameApp::UpdateSparkle(float seconds)
{
    SSparkleOptions options;
    CThreeInARowCounter* counter = GetThreeInARowCounter();
    if (!counter || !counter->IsBonusActive() || !GetThreeInARowSparkleOptions(options)) {
        m_SparkleCountdown = 0.001f;
        return;
    }
    if (m_SparkleCountdown <= 0.0f) {
        m_SparkleCountdown = options.interval;
        return;
    }
    m_SparkleCountdown -= seconds;
    if (m_SparkleCountdown > 0.0f || options.sequence <= 0)
        return;
    CRandomGenerator& random = GameRandom();
    const float length = random.NextFloat(0.0f, 1.0f) * options.radius;
    const float angle = random.NextFloat(0.0f, 2.0f * std::numbers::pi_v<float>);
    const float scale = random.NextFloat(0.5f, 1.0f);
    const CFPoint mouse = CMouseState::SGetInstance().GetPositionFloat();
    auto* sprite = new CSprite;
    sprite->AddAI(new CPlayAnimationOnceSpriteAI);
    sprite->SetImageSequence(uint32_t(options.sequence));
    if (CSequence* sequence = sprite->GetImageSequence())
        sprite->SetBlitType(&sequence->GetBlitType());
    sprite->SetPosition(mouse.x + length * std::cos(angle), mouse.y + length * std::sin(angle));
    sprite->SetScale(CFPoint{scale, scale});
    m_GameSprites->Add(sprite);
}

void CGameApp::RecordPlayfieldMouseEvent(int32_t kind, int32_t x, int32_t y, uint32_t buttons)
{
    if (!m_RecordingMouse)
        return;
    if (QueryScreenWindow(0) && !IsPlayfieldScreenOpen())
        return;
    m_MouseEvents.push_back(SMouseEvent{kind, x, y, buttons});
}

namespace {

// A window under the point that has no children of its own keeps the event.
bool IsTurnedAway(CPoint point)
{
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen)
        return false;
    CJWindow* window = screen->GetChildAt(point);
    return window && !window->HasChildren();
}

} // namespace

void CGameApp::DrainMouseEvents()
{
    // Sending may queue more; those wait for the next update.
    std::vector<SMouseEvent> events;
    events.swap(m_MouseEvents);
    for (const SMouseEvent& event : events) {
        const CPoint point{event.x, event.y};
        switch (event.kind) {
        case 0:
            if (!IsTurnedAway(point))
                SendPlayfieldMouseMoved(point, point);
            break;
        case 1:
            GetIllegalMoveDisplay().Hide();
            if (!IsTurnedAway(point)) {
                if (!(event.buttons & kLeftMouseButton))
                    ClearDraggedSprite();
                SendPlayfieldMouseDown(event.buttons, point);
            }
            break;
        case 2:
            SendPlayfieldMouseUp(event.buttons, point);
            break;
        default:
            break;
        }
    }
}

bool CGameApp::Draw()
{
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    CFrameInterface* target = &screen;
    if (m_Capturing) {
        m_CaptureFrame = CFrame::MakeOwned(screen.GetWidth(), screen.GetHeight(), 32);
        target = m_CaptureFrame.get();
    }
    const bool viewer = GetGameScreensHooks().IsScreenOpen(EGameScreen::NeighbourhoodViewer);
    if (m_OpenScreens == 0 || viewer) {
        CFrameInterface* const straight = target;
        CProxyFrame cache(straight);
        if (GetTypedCommandSwitches().playfieldCache)
            target = &cache;
        if (CBackgroundStyleSheet* sheet = GetCurrentBackgroundStyleSheet()) {
            CFrameList& frames = GetFrameLibrary();
            if (sheet->m_BackgroundImage >= 0 && sheet->m_BackgroundImage < frames.GetCount())
                if (CFrame* picture = frames.GetObject(sheet->m_BackgroundImage))
                    BlitAt(*target, *picture, int32_t(target->GetWidth()) - int32_t(picture->GetWidth()), 0,
                           GetTransparentMaskBlitType());
        }
        if (CPlayfield* playfield = GetCurrentPlayfield())
            playfield->Draw(*target);
        target = straight;
    }
    if (CScreenWindow* windows = CScreenWindow::GetScreenWindow()) {
        if (m_Capturing) {
            windows->AttachFrame(target);
            DrawJWindows();
            windows->AttachFrame(&screen);
        } else {
            DrawJWindows();
        }
    }
    CMouseState& mouse = CMouseState::SGetInstance();
    int32_t mx = 0;
    int32_t my = 0;
    mouse.GetPosition(mx, my);
    DrawDraggedSprite(*target, mx - 4, my - 4);
    DrawCursor(*target);
    DrawLevelTimeDebugInfo(*target);
    m_GameSprites->Draw(*target);
    if (m_Capturing)
        return false;
    return CGameBase::Draw();
}

void CGameApp::DrawCursor(CFrameInterface& target)
{
    CMouseState& mouse = CMouseState::SGetInstance();
    int32_t mx = 0;
    int32_t my = 0;
    mouse.GetPosition(mx, my);
    CSequenceCursor* attachmentCursor = CursorFor(m_CursorSequence);
    const bool showsAttachment = attachmentCursor && mouse.GetCursor() == attachmentCursor;
    if (m_DrawBeforeCursor && m_CursorAttached && showsAttachment)
        DrawAttached(target, mx, my);
    // The bonus cursor replaces the default one while the bonus lasts.
    CThreeInARowCounter* counter = GetThreeInARowCounter();
    const bool bonus = counter && counter->IsBonusActive();
    if (bonus && g_Cursors[0].cursor && mouse.GetCursor() == g_Cursors[0].cursor.get()) {
        SSparkleOptions options;
        if (!g_BonusCursor && GetThreeInARowSparkleOptions(options) && options.bonusCursor) {
            g_BonusCursor = std::make_unique<CSequenceCursor>(*options.bonusCursor);
            g_BonusSequence = options.bonusCursor;
        }
        if (g_BonusCursor)
            mouse.SetCursor(g_BonusCursor.get(), CursorStart::Started, CursorStop::Running,
                            CursorFrameSource::Sequence);
    } else if (!bonus && g_BonusCursor && mouse.GetCursor() == g_BonusCursor.get() && g_Cursors[0].cursor) {
        mouse.SetCursor(g_Cursors[0].cursor.get(), CursorStart::Started, CursorStop::AtLastFrame,
                        CursorFrameSource::Sequence);
    }
    CFrame* remapped = nullptr;
    if (m_CursorRemapper >= 0 && showsAttachment && mouse.IsCursorVisible())
        if (CFrame* frame = m_CursorSequence->GetCurrentFrame())
            remapped = GetHueRemappedFrame(*frame, m_CursorRemapper);
    if (remapped)
        BlitAt(target, *remapped, mx, my, m_CursorSequence->GetBlitType());
    else
        mouse.DrawCursor(target);
    if (!m_DrawBeforeCursor && m_CursorAttached && showsAttachment)
        DrawAttached(target, mx, my);
}

void CGameApp::DrawAttached(CFrameInterface& target, int32_t x, int32_t y)
{
    const CFPoint kept = m_CursorAttached->GetPosition();
    m_CursorAttached->SetPosition(float(x), float(y));
    m_CursorAttached->SetOpacity(m_CursorOpacity);
    m_CursorAttached->DrawAllPasses(target);
    m_CursorAttached->SetPosition(kept.x, kept.y);
}

void CGameApp::SetCursorAttachment(CSequence* cursor, int32_t hueRemapper, CSprite* attached, float opacity,
                                   bool drawBeforeCursor)
{
    m_CursorSequence = cursor;
    m_CursorRemapper = hueRemapper;
    m_CursorAttached = attached;
    m_CursorOpacity = opacity;
    m_DrawBeforeCursor = drawBeforeCursor;
}

bool CGameApp::SetActive(bool active)
{
    const bool changed = CGameBase::SetActive(active);
    if (changed && active)
        if (CGameSongPlayer* songs = CGameSongPlayer::SPeekInstance())
            songs->RestartVolumeCountdown();
    return changed;
}

bool CGameApp::OnCommand(uint32_t command)
{
    switch (command) {
    case 21:
        if (IsDeveloperOptionSet("Editor")) {
            CloseAllOverlayScreens();
            if (!GetGameEditorHooks().IsEditorOpen())
                GetGameEditorHooks().OpenEditor(1);
        }
        return true;
    case 25:
        StartNewRound("Screen Shot %02d.TGA", nullptr);
        PlayConfirmation();
        return false;
    case 26:
        StartNewRound("Screen Shot %02d.jpg", nullptr);
        PlayConfirmation();
        return false;
    case 27:
        OpenPauseMenu();
        return false;
    case 28:
        if (IsDeveloperOptionSet("Editor")) {
            CloseAllOverlayScreens();
            CLevelOptions* level = CLevelOptions::SGetCurrent();
            CPeriod* period = level ? GetPeriodList().GetObject(level->m_Period) : nullptr;
            if (period && period->m_HudBackground <= 0)
                SetCurrentLevelIndex(0);
            GetGameEditorHooks().OpenEditor(0);
        }
        return true;
    default:
        return CGameBase::OnCommand(command);
    }
}

void CGameApp::PlayConfirmation()
{
    CAudioPlaySettings settings;
    settings.pitch = 1.0f;
    settings.volume = 1.0f;
    settings.pan = 0.0f;
    // The list names the sounds it finds by themselves without their ending.
    CAudioList& audio = GetAudioList();
    audio.PlayAudioByName(audio.Find("Customer Moved In.Wav") > 0 ? "Customer Moved In.Wav" : "Customer Moved In",
                          settings);
}

bool CGameApp::IsNamedOptionSet(const char* name)
{
    return IsDeveloperOptionSet(name);
}

void CGameApp::AfterUpdate(float) {}

void CGameApp::IncrementOpenScreens()
{
    ++m_OpenScreens;
}

void CGameApp::DecrementOpenScreens()
{
    if (m_OpenScreens > 0)
        --m_OpenScreens;
}

void CGameApp::StartLevel(bool skipIntro)
{
    CGameState* state = CGameState::SGetCurrent();
    if (state)
        state->ResetForLevel();
    GetLevelHolder().Release();
    CLevelSet* levels = FindLevels();
    CLevelOptions* source = levels ? levels->GetLevel(GetCurrentLevelIndex()) : nullptr;
    if (source)
        GetLevelHolder().HoldCopyOf(source);
    if (state)
        state->GrantFreeUpgrades();
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (level)
        level->StartPlay();
    GetGlobalTextSubstitutions().RemoveAll();
    PlaceSlotSprites();
    if (state && level) {
        state->AddTimerSprite();
        state->AddThreeInARowCounterSprite();
    }
    GetGameScreensHooks().ResetPlayerLevelVariables();
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->Update(0.0f);
    if (level)
        level->Update(0.0f, false);
    if (!skipIntro)
        GetGameScreensHooks().OpenScreen(EGameScreen::LevelIntro);
    CGameSongPlayer::SGetInstance().StartLevelMusic();
}

void CGameApp::StartLevelByIndex(uint32_t index)
{
    SetCurrentLevelIndex(index);
    SelectStartingGameState(false);
    StartLevel(true);
}

void CGameApp::StartLastLevel()
{
    CLevelSet* levels = FindLevels();
    const uint32_t count = levels ? levels->GetCount() : 0;
    StartLevelByIndex(count > 0 ? count - 1 : 0);
}

void CGameApp::StartLevelAfterLast()
{
    CLevelSet* levels = FindLevels();
    const uint32_t count = levels ? levels->GetCount() : 0;
    uint32_t next = GetCurrentLevelIndex() + 1;
    if (next >= count)
        next = count > 0 ? count - 1 : 0;
    StartLevelByIndex(next);
}

void CGameApp::RestartFromFirstLevel()
{
    SetCurrentLevelIndex(0);
    SelectStartingGameState(false);
    StartLevel(false);
}

void CGameApp::EnterCurrentLevel()
{
    SelectStartingGameState(false);
    CLevelSet* levels = FindLevels();
    CLevelOptions* level = levels ? levels->GetLevel(GetCurrentLevelIndex()) : nullptr;
    if (GetCurrentLevelIndex() == 0)
        StartLevel(false);
    else if (level && level->m_IsTutorialLevel)
        StartLevel(true);
    else
        OpenShopBeforeLevel();
}

void CGameApp::OpenShopBeforeLevel()
{
    GetLevelHolder().Release();
    CLevelSet* levels = FindLevels();
    if (CLevelOptions* source = levels ? levels->GetLevel(GetCurrentLevelIndex()) : nullptr)
        GetLevelHolder().HoldCopyOf(source);
    GetGameScreensHooks().OpenScreen(EGameScreen::Shop);
}

void CGameApp::OpenDecadeTransition()
{
    SetCurrentLevelIndex(0);
    if (!GetGameScreensHooks().OpenScreen(EGameScreen::DecadeTransition))
        RestartFromFirstLevel();
}

void CGameApp::OpenPauseMenu()
{
    if (!QueryScreenWindow(0))
        GetGameScreensHooks().OpenScreen(EGameScreen::PauseMenu);
}

void CGameApp::CloseAllOverlayScreens()
{
    CGameScreensHooks& hooks = GetGameScreensHooks();
    for (EGameScreen screen : {EGameScreen::MainMenu, EGameScreen::EndOfLevel, EGameScreen::TutorialEndOfLevel,
                               EGameScreen::TownMap, EGameScreen::Rewards, EGameScreen::DecadeTransition,
                               EGameScreen::LevelIntro, EGameScreen::Shop, EGameScreen::PauseMenu})
        if (hooks.IsScreenOpen(screen))
            hooks.CloseScreen(screen);
}

CJString CGameApp::StartNewRound(const char* pattern, CFrame* frame)
{
    m_Capturing = true;
    Draw();
    m_Capturing = false;
    SuspendFileOpenNotifications("StartNewRound");
    CFrame* picture = frame ? frame : m_CaptureFrame.get();
    CJString written;
    if (picture) {
        if (picture->GetBitDepth() == 32)
            for (uint32_t y = 0; y < picture->GetHeight(); ++y) {
                uint8_t* row = picture->Row(y);
                for (uint32_t x = 0; x < picture->GetWidth(); ++x)
                    row[x * 4 + 3] = 255;
            }
        char name[512];
        if (MakeUniqueFileName(name, sizeof name, pattern, FILE_USER_FOLDER)) {
            CJString path(name);
            if (ContainsNoCase(path, ".JPG")) {
                if (WriteJPEGFile(*picture, name, 90, FILE_CREATE | FILE_WRITE | FILE_USER_FOLDER))
                    written = path;
            } else {
                CJString bare(path);
                if (bare.GetLength() >= 4 && bare.Right(4).CompareNoCase(".TGA") == 0)
                    bare = bare.Left(bare.GetLength() - 4);
                std::unique_ptr<CFrameImageIO> writer(CFrameImageIO::SCreateForFile(nullptr, bare.GetString(), ".TGA"));
                if (writer && writer->WriteFrame(*picture, FILE_USER_FOLDER))
                    written = path;
            }
        }
    }
    ResumeFileOpenNotifications();
    m_CaptureFrame.reset();
    return written;
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

namespace {

void ReplaceAll(CJString& text, const char* marker, const CJString& with)
{
    const CJString find(marker);
    for (int at = text.Find(find); at >= 0; at = text.Find(find, at + with.GetLength()))
        text.ReplaceRange(at, find.GetLength(), with);
}

} // namespace

void ApplyTextSymbols(CJString& text)
{
    static const CJString kTradeMark(char16_t(0x2122), 1);
    static const CJString kBullet(char16_t(0x2022), 1);
    ReplaceAll(text, "(TM)", kTradeMark);
    ReplaceAll(text, "(*)", kBullet);
}

bool IsDeveloperOptionSet(const char*)
{
    static const bool loose = !IsMountedArchiveFile("Credits.txt");
    return loose;
}

void SelectStartingGameState(bool restart)
{
    GetLevelHolder().Release();
    CLevelSet* levels = FindLevels();
    const uint32_t index = GetCurrentLevelIndex();
    CLevelOptions* level = levels ? levels->GetLevel(index) : nullptr;
    CGameState* source = nullptr;
    if (level && (level->m_IsTutorialLevel || level->m_ForcedGameState)) {
        source = level->m_ForcedGameState;
        GetGameScreensHooks().GetSavedStateForLevel(index);
    } else if (restart && g_ChosenStoredState) {
        source = g_ChosenStoredState;
    } else {
        source = GetGameScreensHooks().GetSavedStateForLevel(index);
    }
    if (!source) {
        if (!g_InitialState) {
            CGameStateList& states = GetGameStateList();
            const int32_t found = states.Find("Initial");
            g_InitialState = found >= 0 ? states.GetObject(found) : nullptr;
        }
        source = g_InitialState;
    }
    if (CGameState* current = CGameState::SGetCurrent())
        current->CopyFromAndReset(source);
}

void SetChosenStoredGameState(CGameState* state)
{
    g_ChosenStoredState = state;
}

CSequence* GetCursorSequence(uint32_t index)
{
    return index < kCursorTableSize ? g_Cursors[index].sequence : nullptr;
}

void ShowSequenceAsCursor(CSequence* sequence)
{
    if (!sequence)
        sequence = g_Cursors[0].sequence;
    if (!sequence)
        return;
    CSequenceCursor* cursor = CursorFor(sequence);
    if (!cursor) {
        // Cursors of the game's own sequences ("Poke Cursor", the assist
        // cursors) are made once and kept until the table goes.
        for (auto& entry : g_ExtraCursors)
            if (entry.first == sequence)
                cursor = entry.second.get();
        if (!cursor) {
            g_ExtraCursors.emplace_back(sequence, std::make_unique<CSequenceCursor>(*sequence));
            cursor = g_ExtraCursors.back().second.get();
        }
    }
    CMouseState& mouse = CMouseState::SGetInstance();
    if (mouse.GetCursor() != cursor)
        mouse.SetCursor(cursor, CursorStart::Started, CursorStop::Running, CursorFrameSource::Sequence);
}

CObject* GetGameSkinTheme()
{
    return g_GameSkinTheme;
}

const char* GetEditorSettingsFileName()
{
    return ".\\Quenthal Editor.ini";
}

bool DrawLoadingProgress()
{
    if (g_Loading.drawing || !g_Loading.splash || !IsScreenDeviceReady())
        return false;
    const uint64_t now = MillisecondClock();
    if (g_Loading.lastDrawn != 0 && now - g_Loading.lastDrawn < kProgressInterval)
        return false;
    g_Loading.drawing = true;
    g_Loading.lastDrawn = now;
    const int32_t loaded = CountLoaded(GetSequenceList()) + CountLoaded(GetFrameLibrary());
    CTextSubstitutionList values;
    FillLoadingProgress(values, loaded, g_Loading.total);
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    g_Loading.splash->DrawOnFrame(screen, &values, false, nullptr);
    screen.Present();
    g_Loading.drawing = false;
    return true;
}
