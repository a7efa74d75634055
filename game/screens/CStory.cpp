#include "game/screens/CStory.h"

#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "foundation/CCommand.h"
#include "foundation/CLocalizedString.h"
#include "game/screens/CCredits.h"
#include "game/screens/CStats.h"
#include "game/screens/OverlayScreen.h"
#include "game/screens/ScreensGlobals.h"
#include "game/world/CGameApp.h"
#include "game/world/CGeneralObjects.h"
#include "objects/CListProperty.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"
#include "ui/CScreenWindow.h"

namespace {

CStoryWindow* g_StoryWindow = nullptr;

CLocalizedString& DoneTitle()
{
    static CLocalizedString text("Done");
    return text;
}

CLocalizedString& TheEndTitle()
{
    static CLocalizedString text("The End?");
    return text;
}

uint32_t PagesViewed()
{
    CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    return player ? player->m_NumStoryPagesViewed : 0;
}

CFrameOverlayOptions* OverlayAt(int32_t index)
{
    return GetFrameOverlayOptionsList().GetObject(index);
}

CFrameOverlayOptions* ControlsOverlay()
{
    CStoryOptions* options = CStoryOptions::SGetInstance();
    return options ? OverlayAt(options->m_ControlsOverlay) : nullptr;
}

} // namespace

OMBRISALT_IMPLEMENT_CLASS(CStoryOptions, 1.0)

void CStoryOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CStoryOptions;
    d.AddListReference<CDataReferenceProperty>(&C::m_ControlsOverlay, "Controls Overlay", &GetFrameOverlayOptionsList(),
                                               nullptr);
    auto pages = d.AddArray<CDataReferenceProperty>(&C::m_StoryPageOverlayList, "Page Overlay List", "Page Overlay", 0);
    static_cast<CDataReferenceProperty*>(pages.Get().GetElementProperty())->SetList(&GetFrameOverlayOptionsList());
}

CStoryOptions::CStoryOptions()
{
    InitDeclaredProperties();
}

CStoryOptions::~CStoryOptions()
{
    DestroyDeclaredProperties();
}

CStoryOptions* CStoryOptions::SGetInstance()
{
    // The entry is looked up by name once; its object is fetched each time.
    static int32_t index = -1;
    CGeneralObjectsList& objects = GetGeneralObjects();
    // Looked up again only when the list no longer holds it there.
    if (index < 0 || index >= objects.GetCount() || CJString(objects.GetItemName(index)).CompareNoCase("Story Options") != 0)
        index = objects.Find("Story Options");
    return index >= 0 ? dynamic_cast<CStoryOptions*>(objects.GetObjectAt(index)) : nullptr;
}

uint32_t CStoryWindow::GetPageCount()
{
    CStoryOptions* options = CStoryOptions::SGetInstance();
    return options ? options->m_StoryPageOverlayList.GetCount() : 0;
}

CStoryWindow::CStoryWindow(CJWindow* parent, uint32_t page, bool browsing, CCommand* continuation, CCommand* skip)
    : CMenuWindow(parent)
    , m_Browsing(browsing)
    , m_Continuation(continuation)
    , m_SkipCommand(skip)
{
    g_StoryWindow = this;
    if (CGameApp* game = CGameApp::SGetInstance())
        game->IncrementOpenScreens();
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SetSize(int32_t(screen.GetWidth()), int32_t(screen.GetHeight()));

    if (page < GetPageCount())
        m_Page = page;
    CStats& stats = CStats::SGetInstance();
    if (CPlayerStats* player = stats.GetCurrentPlayer())
        if (page > player->m_NumStoryPagesViewed) {
            player->m_NumStoryPagesViewed = page;
            stats.SetNeedsSave();
        }
    CreateControls();
}

CStoryWindow::~CStoryWindow()
{
    if (CGameApp* game = CGameApp::SGetInstance())
        game->DecrementOpenScreens();
    if (g_StoryWindow == this)
        g_StoryWindow = nullptr;
    delete m_Continuation;
    m_Continuation = nullptr;
    delete m_SkipCommand;
    m_SkipCommand = nullptr;
}

void CStoryWindow::Update(float seconds)
{
    m_ElapsedTime += seconds;
    CJWindow::Update(seconds);
}

bool CStoryWindow::HasPrevButton() const
{
    return m_Browsing && m_Page != kNoPage && m_Page > 0;
}

bool CStoryWindow::HasNextButton() const
{
    const uint32_t count = GetPageCount();
    return m_Browsing && count > 0 && m_Page < count - 1 && m_Page < PagesViewed();
}

void CStoryWindow::FillSubstitutions(CTextSubstitutionList& values) const
{
    const uint32_t count = GetPageCount();
    const bool last = count > 0 && m_Page == count - 1;
    values.AddText("%s[ContinueButtonTitle]", last ? CJString(TheEndTitle()) : CJString(DoneTitle()));
    values.AddNumber("%s[HasPrevButton]", HasPrevButton() ? 1 : 0);
    values.AddNumber("%s[HasNextButton]", HasNextButton() ? 1 : 0);
    values.AddNumber("%s[HasSkipButton]", m_SkipCommand ? 1 : 0);
}

CJButton* CStoryWindow::AddButton(CFrameOverlayOptions& controls, const char* id, CTextSubstitutionList& values,
                                  void (CStoryWindow::*action)())
{
    CJButton* button = AddOverlayButton(*this, controls, id, values, action);
    if (button)
        BringChildToFront(button);
    return button;
}

void CStoryWindow::CreateControls()
{
    ClearOverlayButtons(*this);
    m_Skip = nullptr;

    CFrameOverlayOptions* controls = ControlsOverlay();
    if (!controls)
        return;
    CTextSubstitutionList values;
    FillSubstitutions(values);
    CJButton* done = AddButton(*controls, "Continue", values, &CStoryWindow::Continue);
    if (done) {
        SetDefaultButton(done);
        SetCancelButton(done);
    }
    if (m_SkipCommand)
        m_Skip = AddButton(*controls, "Skip", values, &CStoryWindow::Skip);
    if (HasPrevButton())
        AddButton(*controls, "Prev", values, &CStoryWindow::PreviousPage);
    if (HasNextButton())
        AddButton(*controls, "Next", values, &CStoryWindow::NextPage);
    // Enter presses the button in front: it reads on or closes the book, never
    // skips the tutorial nor turns a page.
    if (done)
        BringChildToFront(done);
}

void CStoryWindow::Draw(CFrameInterface& frame)
{
    const uint32_t count = GetPageCount();
    if (m_Page >= count)
        return;
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    CColor& black = GetOpaqueBlack();
    frame.FillRect(CRect{0, 0, int32_t(screen.GetWidth()), int32_t(screen.GetHeight())}, black);
    CTextSubstitutionList values;
    FillSubstitutions(values);
    CStoryOptions* options = CStoryOptions::SGetInstance();
    DrawOverlaySet(OverlayAt(options->m_StoryPageOverlayList[m_Page]), frame, values, m_ElapsedTime);
    DrawOverlaySet(ControlsOverlay(), frame, values, m_ElapsedTime);
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
}

void CStoryWindow::Continue()
{
    const uint32_t count = GetPageCount();
    if (!m_Browsing && count > 0 && m_Page == count - 1) {
        CGameScreensHooks& hooks = GetGameScreensHooks();
        if (hooks.IsScreenOpen(EGameScreen::TownMap))
            hooks.CloseScreen(EGameScreen::TownMap);
        if (hooks.OpenScreen(EGameScreen::MainMenu)) {
            CScreenWindow* screen = CScreenWindow::GetScreenWindow();
            auto* menu = screen ? dynamic_cast<CMenuWindow*>(screen->GetFirstChild()) : nullptr;
            if (menu && menu != this)
                menu->SwitchTo(new CCreditsWindow(nullptr, "Credits.txt"), true);
        }
    }
    CCommand* continuation = m_Continuation;
    m_Continuation = nullptr;
    Close();
    if (continuation) {
        continuation->Execute();
        delete continuation;
    }
}

void CStoryWindow::Skip()
{
    CCommand* skip = m_SkipCommand;
    m_SkipCommand = nullptr;
    Close();
    if (skip) {
        skip->Execute();
        delete skip;
    }
}

void CStoryWindow::PreviousPage()
{
    if (m_Page != kNoPage && m_Page > 0) {
        --m_Page;
        CreateControls();
    }
}

void CStoryWindow::NextPage()
{
    if (m_Page < GetPageCount() - 1u && m_Page < PagesViewed()) {
        ++m_Page;
        CreateControls();
    }
}

CStoryWindow* GetStoryWindow()
{
    return g_StoryWindow;
}

void RegisterStoryTexts()
{
    DoneTitle();
    TheEndTitle();
}
