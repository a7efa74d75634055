#include "game/world/CGameApp.h"

#include "blit/CBlitTypeList.h"
#include "blit/CColorProperty.h"
#include "foundation/CRandomGenerator.h"
#include "game/business/CCrew.h"
#include "game/business/CCustomerArrivals.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayAnimationOnceSpriteAI.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CTypedCommands.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "images/CJPEGFileIO.h"
#include "objects/CPointProperty.h"
#include "render/CProxyFrame.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequenceCursor.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CFontFrameRateFont.h"
#include "shell/CLoadingScreenPresenter.h"
#include "shell/CMouseState.h"
#include "shell/CScreenCaptureFrame.h"
#include "shell/CScreenFrame.h"
#include "shell/CTypedCommandList.h"
#include "ui/CJWindow.h"
#include "ui/CScreenWindow.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <utility>
#include <vector>

OMBRISALT_IMPLEMENT_CLASS(CLoadingFeedbackDisplayOptions, 1)

namespace {

CGameApp* g_Instance = nullptr;
CGameEditorHooks g_NoEditor;
CGameEditorHooks* g_EditorHooks = nullptr;

constexpr float kStep = 1.0f / 60.0f;

// Behind the main menu and the windows it opens the street is scenery: its
// HUD and its build bar (the "UI" layer) belong to a street being played.
void DrawScenery(CPlayfield& playfield, CFrameInterface& frame)
{
    const CPlayfieldLayer* hud = playfield.GetHUD();
    const CPlayfieldLayer* bar = playfield.FindLayer("UI");
    for (uint32_t i = 0; i < playfield.GetLayerCount(); ++i) {
        CPlayfieldLayer* layer = playfield.GetLayer(i);
        if (layer && layer->m_VisibleInEditor && layer != hud && layer != bar)
            layer->Draw(frame);
    }
}

bool ContainsNoCase(const CJString& text, const char* part)
{
    const CJString find(part);
    for (int at = 0; at + find.GetLength() <= text.GetLength(); ++at)
        if (text.Mid(at, find.GetLength()).CompareNoCase(find) == 0)
            return true;
    return false;
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
    SaveLevelsLeftUnsaved(GetGameEditorHooks().FinishEditorsAtEnd());
    GetGameScreensHooks().OnGameClosing();
    m_Initialised = false;
    m_MouseRecorder.reset();
    GetLevelHolder().Release();
    m_GameSprites.reset();
    // The lists that hold these go with the base.
    CJWindow::SetDefaultFont(nullptr);
    CJWindow::SetSkinResources(nullptr, nullptr);
    ReleaseCursors();
    if (g_Instance == this)
        g_Instance = nullptr;
}

CGameApp* CGameApp::SGetInstance()
{
    return g_Instance;
}

bool CGameApp::SIsInitialised()
{
    return g_Instance && g_Instance->m_Initialised;
}

bool CGameApp::OnMessage(CMessage& message)
{
    CGameBase::OnMessage(message);
    static const uint32_t kEditorClosing = CMessage::SGetMessageType("Editor Closing");
    if (message.GetType() == kEditorClosing) {
        // A profile not yet named plays nothing (its progress would pass to
        // the player who names it): the designer's session ends at the main
        // menu, whose Play asks for a name.
        if (!HasNamedPlayer() && GetGameScreensHooks().OpenScreen(EGameScreen::MainMenu))
            return false;
        if (GetGameEditorHooks().EditorMayClose())
            RestartAfterEditing();
    }
    return false;
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
        m_CaptureFrame = CScreenCaptureFrame::Make(screen.GetWidth(), screen.GetHeight());
        target = m_CaptureFrame.get();
    }
    CGameScreensHooks& hooks = GetGameScreensHooks();
    const bool viewer = hooks.IsScreenOpen(EGameScreen::NeighbourhoodViewer);
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
        if (CPlayfield* playfield = GetCurrentPlayfield()) {
            if (hooks.IsScreenOpen(EGameScreen::MainMenu))
                DrawScenery(*playfield, *target);
            else
                playfield->Draw(*target);
        }
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

const char* GetEditorSettingsFileName()
{
    return ".\\Quenthal Editor.ini";
}
