#include "editor/program/ImageBrowserShowcase.h"

#include "editor/CImageBrowserFrameWindow.h"
#include "overlays/CFrameOverlay.h"
#include "shell/CKeyboardState.h"
#include "ui/CAlphaTheme.h"
#include "shell/program/CStandInGame.h"
#include "ui/CScreenWindow.h"

namespace {

// F8 opens the browser.
constexpr uint32_t kBrowserKey = 66;

struct SShowcase {
    SStandInHooks previous;
    CImageBrowserFrameWindow* browser = nullptr; // checked against the screen's children before use
    bool keyDown = false;
};
SShowcase* g_Showcase = nullptr;

bool IsBrowserOpen()
{
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen || !g_Showcase->browser)
        return false;
    for (const CJWindow* child = screen->GetFirstChild(); child; child = child->GetNextSibling())
        if (child == g_Showcase->browser)
            return true;
    g_Showcase->browser = nullptr;
    return false;
}

void OpenBrowser()
{
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen)
        return;
    // Built under the demo theme, which gives its windows their font; the
    // screen's own font is the stand-in's tiny one.
    auto* theme = new CThemeSpecifier("Demo");
    auto* browser = new CImageBrowserFrameWindow(theme, "Image Browser", CImageBrowserFrameWindow::kModeAllLists,
                                                 nullptr, nullptr, &GetFrameOverlayOptionsList());
    theme->Destroy();
    // In front of the other showcases' windows, covering most of them.
    screen->AddChildFirst(browser, kAsIsNoGrow);
    browser->SetRect(CRect{40, 40, 980, 720});
    browser->GetGrid()->LoadAll();
    g_Showcase->browser = browser;
}

void Update(float seconds)
{
    if (g_Showcase->previous.update)
        g_Showcase->previous.update(seconds);
    const bool key = CKeyboardState::SGetInstance().IsKeyDown(kBrowserKey);
    if (key && !g_Showcase->keyDown && !IsBrowserOpen())
        OpenBrowser();
    g_Showcase->keyDown = key;
}

void Draw(CFrameInterface& screen)
{
    if (g_Showcase->previous.draw)
        g_Showcase->previous.draw(screen);
    // The browser lies over whatever the other showcases drew.
    if (IsBrowserOpen())
        CScreenWindow::GetScreenWindow()->DrawToScreen();
}

} // namespace

void InstallImageBrowserShowcase()
{
    // Kept for the whole run, as the hooks are; installing again starts afresh.
    if (g_Showcase)
        *g_Showcase = SShowcase();
    else
        g_Showcase = new SShowcase;
    g_Showcase->previous = GetStandInHooks();
    SStandInHooks hooks = g_Showcase->previous;
    hooks.update = &Update;
    hooks.draw = &Draw;
    SetStandInHooks(hooks);
}
