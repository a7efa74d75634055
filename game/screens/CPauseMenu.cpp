#include "game/screens/CPauseMenu.h"

#include "blit/CFrameInterface.h"
#include "foundation/CCommand.h"
#include "foundation/CLocalizedString.h"
#include "game/scripting/CSprite.h"
#include "game/screens/COptionsMenu.h"
#include "game/screens/CTips.h"
#include "game/screens/CTutorialPopUp.h"
#include "game/screens/GameWindows.h"
#include "game/screens/OverlayScreen.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPlayfield.h"
#include "objects/CMessage.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"
#include "ui/CJMessageBox.h"
#include "ui/CScreenWindow.h"

namespace {

CPauseMenuWindow* g_PauseMenu = nullptr;

CLocalizedString& PauseTitle()
{
    static CLocalizedString text("Pause");
    return text;
}

CLocalizedString& QuitBoxTitle()
{
    static CLocalizedString text("Quit Confirmation");
    return text;
}

CLocalizedString& QuitBoxText()
{
    static CLocalizedString text("This option will reset the current level back to its initial state. Are you sure "
                                 "you want to stop playing and lose all the progress you made?");
    return text;
}

CLocalizedString& QuitBoxConfirm()
{
    static CLocalizedString text("Stop Playing");
    return text;
}

CLocalizedString& RestartBoxTitle()
{
    static CLocalizedString text("Restart Level Confirmation");
    return text;
}

CLocalizedString& RestartBoxText()
{
    static CLocalizedString text("This option will reset the current level back to its initial state. Are you sure "
                                 "you want to re-start from the beginning of this level and lose all the progress you "
                                 "made?");
    return text;
}

CLocalizedString& RestartBoxConfirm()
{
    static CLocalizedString text("Restart Level");
    return text;
}

CLocalizedString& KeepPlayingText()
{
    static CLocalizedString text("Keep Playing");
    return text;
}

// A data set without it is the list's fatal report.
CFrameOverlayOptions* PauseSet()
{
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    return sets.GetObject(sets.FindOrReportMissing("Pause Menu"));
}

// The confirmation box may outlive the menu (every screen closed for the
// editor): its button reaches the menu through the getter, never through a
// pointer of its own.
class CPauseMenuCommand : public CCommand {
public:
    explicit CPauseMenuCommand(void (CPauseMenuWindow::*action)())
        : m_Action(action)
    {
    }
    void Execute() override
    {
        if (CPauseMenuWindow* menu = GetPauseMenuWindow())
            (menu->*m_Action)();
    }

private:
    void (CPauseMenuWindow::*m_Action)();
};

bool LevelHasEarned()
{
    const CGameState* state = CGameState::SGetCurrent();
    return state && state->m_RevenueK > 0.0f;
}

void ClosePauseMenu()
{
    if (g_PauseMenu)
        CloseScreenMenu(*g_PauseMenu);
}

} // namespace

CPauseMenuWindow::CPauseMenuWindow(CJWindow* parent)
    : CMenuWindow(parent, PauseTitle())
{
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SetSize(int32_t(screen.GetWidth()), int32_t(screen.GetHeight()));
    if (CPlayfield* playfield = GetCurrentPlayfield()) {
        CMessage paused = CMessage::CMessageByName("GamePaused");
        playfield->BroadcastMessage(paused);
    }
    ClearDraggedSprite();
    CreateControls();
    m_ElapsedTime = 0.0f;
    g_PauseMenu = this;
}

CPauseMenuWindow::~CPauseMenuWindow()
{
    if (g_PauseMenu == this)
        g_PauseMenu = nullptr;
}

void CPauseMenuWindow::CreateControls()
{
    ClearOverlayButtons(*this);
    m_Continue = m_Quit = m_Reset = m_Tips = m_Options = nullptr;
    CFrameOverlayOptions* set = PauseSet();
    if (!set)
        return;
    CTextSubstitutionList values;
    const std::pair<const char*, CJButton**> buttons[] = {
        {"Continue", &m_Continue}, {"Reset", &m_Reset}, {"Tips", &m_Tips}, {"Options", &m_Options}, {"Quit", &m_Quit}};
    for (const auto& [id, field] : buttons) {
        CJButton* button = set->CreateButtonWindow(CJString(id), &values);
        if (!button)
            continue;
        button->SetTopLayer(true);
        // The marker has placed it; the screen-sized menu never grows for it.
        AddChild(button, kAsIsNoGrow);
        *field = button;
    }
    if (m_Continue) {
        m_Continue->SetHotKeyChar(kKeyEnter);
        BringChildToFront(m_Continue);
        SetDefaultButton(m_Continue);
        SetCancelButton(m_Continue);
    }
    auto bind = [this](CJButton* button, void (CPauseMenuWindow::*action)()) {
        if (button)
            button->SetCommand(new CObjectFunctionCommand<CPauseMenuWindow>(this, action));
    };
    bind(m_Reset, &CPauseMenuWindow::ConfirmRestart);
    bind(m_Tips, &CPauseMenuWindow::OpenTips);
    bind(m_Options, &CPauseMenuWindow::OpenOptions);
    bind(m_Quit, &CPauseMenuWindow::ConfirmAbort);
}

void CPauseMenuWindow::OnNotify(CJWindow* sender, int32_t code)
{
    if (sender && sender == m_Continue) {
        Close();
        return;
    }
    CMenuWindow::OnNotify(sender, code);
}

void CPauseMenuWindow::Update(float seconds)
{
    m_ElapsedTime += seconds;
    // Last: a close requested meanwhile ends the window here.
    CMenuWindow::Update(seconds);
}

void CPauseMenuWindow::SetFocus(bool focus)
{
    CMenuWindow::SetFocus(focus);
    m_ElapsedTime = 0.0f;
}

void CPauseMenuWindow::FillSubstitutions(CTextSubstitutionList& values)
{
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    values.AddText("%s[LevelName]", level ? level->m_DisplayName.GetTranslation() : CJString());
    values.AddNumber("%s[Decade]", level ? level->m_Period + 1 : 1);
}

void CPauseMenuWindow::Draw(CFrameInterface& frame)
{
    DrawChildren(frame, 0);
    CTextSubstitutionList values;
    FillSubstitutions(values);
    DrawOverlaySet(PauseSet(), frame, values, m_ElapsedTime);
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
}

void CPauseMenuWindow::ConfirmAbort()
{
    if (!LevelHasEarned()) {
        Abort();
        return;
    }
    auto* box = new CJMessageBox(this, QuitBoxTitle(), QuitBoxText(), nullptr, KeepPlayingText().GetString());
    box->AddButton(QuitBoxConfirm(), new CPauseMenuCommand(&CPauseMenuWindow::Abort));
    AddModalSibling(box, EPlace::Centred);
}

void CPauseMenuWindow::ConfirmRestart()
{
    if (!LevelHasEarned()) {
        Restart();
        return;
    }
    auto* box = new CJMessageBox(this, RestartBoxTitle(), RestartBoxText(), nullptr, KeepPlayingText().GetString());
    box->AddButton(RestartBoxConfirm(), new CPauseMenuCommand(&CPauseMenuWindow::Restart));
    AddModalSibling(box, EPlace::Centred);
}

void CPauseMenuWindow::Abort()
{
    // Nothing of this window is touched past here.
    Close();
    GetGlobalTextSubstitutions().RemoveAll();
    // A street left unfinished shows its lessons again when next played.
    ForgetTutorialsOfThisPlay();
    CGameScreensHooks& hooks = GetGameScreensHooks();
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (level && level->m_IsTutorialLevel) {
        hooks.OpenScreen(EGameScreen::MainMenu);
        return;
    }
    CGameSongPlayer::SGetInstance().PlayIntermissionSong();
    hooks.OpenScreen(EGameScreen::TownMap);
}

void CPauseMenuWindow::Restart()
{
    Close();
    GetGlobalTextSubstitutions().RemoveAll();
    ForgetTutorialsOfThisPlay();
    CGameSongPlayer::SGetInstance().PlayIntermissionSong();
    if (CGameApp* game = CGameApp::SGetInstance())
        game->EnterCurrentLevel();
}

void CPauseMenuWindow::OpenTips()
{
    // Out of the window tree there is no place to hand over.
    if (!GetParent())
        return;
    SwitchTo(new CTipsMenu(this), true);
}

void CPauseMenuWindow::OpenOptions()
{
    // The pause variant of the options set; the menu comes back when the
    // options close.
    OpenOptionsMenu(this, true);
}

CPauseMenuWindow* GetPauseMenuWindow()
{
    return g_PauseMenu;
}

CPauseMenuWindow* OpenPauseMenuWindow()
{
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen || screen->HasChildren() || g_PauseMenu)
        return nullptr;
    AddGameScreenWindow(new CPauseMenuWindow(screen));
    return g_PauseMenu;
}

void RegisterPauseMenuTexts()
{
    for (CLocalizedString& (*text)() : {&PauseTitle, &QuitBoxTitle, &QuitBoxText, &QuitBoxConfirm, &RestartBoxTitle,
                                        &RestartBoxText, &RestartBoxConfirm, &KeepPlayingText})
        text();
}

void InstallPauseMenuScreen()
{
    SGameScreenEntry entry;
    entry.open = [] { return OpenPauseMenuWindow() != nullptr; };
    entry.close = &ClosePauseMenu;
    entry.isOpen = [] { return g_PauseMenu != nullptr; };
    SetGameScreenEntry(EGameScreen::PauseMenu, entry);
}
