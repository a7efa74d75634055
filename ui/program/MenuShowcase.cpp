#include "ui/program/MenuShowcase.h"

#include "foundation/CCommand.h"
#include "shell/program/CStandInGame.h"
#include "sound/CMusicPlayer.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJCheckBox.h"
#include "ui/CJMenu.h"
#include "ui/CJMessageBox.h"
#include "ui/CJPictureWindow.h"
#include "ui/CJToolPalette.h"
#include "ui/CScreenWindow.h"
#include "ui/CSoundOptions.h"
#include "ui/SkinResources.h"
#include "ui/program/TabShowcase.h"

namespace {

struct SMenuShowcase {
    SStandInHooks previous;
    CThemeSpecifier* theme = nullptr;
    CJMenuBar* bar = nullptr;
    CJToolPalette* palette = nullptr;
    CJPictureWindow* picture = nullptr;
};
SMenuShowcase* g_MenuShowcase = nullptr;

constexpr int32_t kGap = 8;
// The menus' ground: the highlight of an item darkens it.
const CColor kMenuGround(52, 72, 96, 255);

CScreenWindow* Screen()
{
    return CScreenWindow::GetScreenWindow();
}

CSoundOptions* FindSoundOptions()
{
    CScreenWindow* screen = Screen();
    for (CJWindow* child = screen ? screen->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
        if (auto* options = dynamic_cast<CSoundOptions*>(child))
            return options;
    return nullptr;
}

// In the screen's bottom right corner.
void PlaceSoundOptions(CSoundOptions& options)
{
    CScreenWindow* screen = Screen();
    options.MoveTo(screen->GetWidth() - options.GetWidth() - kGap, screen->GetHeight() - options.GetHeight() - kGap);
}

// inFront: raised and focused (from the menu); else behind the others.
void AddSoundOptions(bool inFront)
{
    CScreenWindow* screen = Screen();
    if (!screen)
        return;
    if (CSoundOptions* open = FindSoundOptions()) {
        screen->BringChildToFront(open);
        return;
    }
    auto* options = new CSoundOptions(g_MenuShowcase->theme);
    if (inFront)
        screen->AddChildFirst(options, kAsIsNoGrow);
    else
        screen->AddChild(options, kAsIsNoGrow);
    PlaceSoundOptions(*options);
}

void OpenSoundOptions()
{
    AddSoundOptions(true);
}

void ShowBox()
{
    if (CScreenWindow* screen = Screen())
        screen->ShowMessageBox(CJString("Message Box"),
                               CJString("A message box is modal: nothing behind it takes a click until it "
                                        "closes. Enter and Escape both press its button."));
}

void ShowAbout()
{
    CScreenWindow* screen = Screen();
    if (!screen)
        return;
    auto* box = new CJMessageBox(g_MenuShowcase->theme, CJString("About the Menus"),
                                 CJString("Menus open on a click, on Enter or with Alt and W. Sub-menus open beside "
                                          "their item and come back to it when they close."),
                                 screen, "Thanks");
    box->AddButton(CJString("Play the tune"), new CFunctionCommand([] { CMusicPlayer::SGetInstance().Play(nullptr); }));
}

void Toggle(CJWindow* window)
{
    CScreenWindow* screen = Screen();
    if (!screen || !window)
        return;
    window->Show(!window->IsVisible(), false);
    if (window->IsVisible())
        screen->BringChildToFront(window);
}

void TogglePalette()
{
    Toggle(g_MenuShowcase->palette);
}

void TogglePicture()
{
    Toggle(g_MenuShowcase->picture);
}

CJTextMenuItem* Item(CJMenu& menu, const char* text, void (*run)())
{
    auto* item = new CJTextMenuItem(&menu, text, run ? new CFunctionCommand(run) : nullptr);
    menu.AddItem(item);
    return item;
}

void BuildMenus(CScreenWindow& screen)
{
    CThemeSpecifier* theme = g_MenuShowcase->theme;
    auto* bar = new CJMenuBar(theme);
    bar->SetColor0(kMenuGround);
    g_MenuShowcase->bar = bar;
    CJTextMenuItem* windows = Item(*bar, "&Windows", nullptr);
    CJTextMenuItem* help = Item(*bar, "Help", nullptr);
    bar->SetRect(CRect{0, 0, screen.GetWidth(), windows->GetHeight() + 2 * bar->GetEdgeMargin()});

    auto* windowsMenu = new CJPullDownMenu(theme);
    windowsMenu->SetColor0(kMenuGround);
    Item(*windowsMenu, "Message box", &ShowBox);
    Item(*windowsMenu, "Sound options", &OpenSoundOptions);
    Item(*windowsMenu, "Display options", &OpenDisplayOptions);
    Item(*windowsMenu, "Tool palette", &TogglePalette);
    Item(*windowsMenu, "Picture window", &TogglePicture);
    windowsMenu->AddSeparator();
    CJTextMenuItem* more = Item(*windowsMenu, "More", nullptr);
    auto* moreMenu = new CJPullDownMenu(theme);
    moreMenu->SetColor0(kMenuGround);
    Item(*moreMenu, "About the menus", &ShowAbout);
    Item(*moreMenu, "Play the tune again", [] { CMusicPlayer::SGetInstance().Play(nullptr); });
    more->SetSubMenu(moreMenu, true);
    windows->SetSubMenu(windowsMenu, false);

    auto* helpMenu = new CJPullDownMenu(theme);
    helpMenu->SetColor0(kMenuGround);
    Item(*helpMenu, "About the menus", &ShowAbout);
    help->SetSubMenu(helpMenu, false);
    screen.AddChild(bar, kAsIsNoGrow);
}

void BuildPalette(CScreenWindow& screen)
{
    auto* palette = new CJToolPalette(g_MenuShowcase->theme, 1);
    g_MenuShowcase->palette = palette;
    static const char* const kTools[] = {"&Pen", "&Brush", "&Fill"};
    CJButton* partner = nullptr;
    for (const char* name : kTools) {
        auto* tool = new CJRadioButton(palette, name, partner);
        tool->SizeToSkin();
        palette->AddChild(tool, partner ? EPlace::BelowPrevious : EPlace::TopLeft);
        partner = tool;
    }
    if (CJButton* first = dynamic_cast<CJButton*>(palette->GetFirstChild()))
        first->SetChecked(1);
    const int32_t top = g_MenuShowcase->bar->GetRect().bottom + kGap;
    screen.AddChild(
        palette,
        {EPlace::At, nullptr, screen.GetWidth() - palette->GetWidth() - kGap, top, kPlacePixels | kPlaceNoGrow});
}

void Init()
{
    if (g_MenuShowcase->previous.init)
        g_MenuShowcase->previous.init();
    // Only over the demo data set.
    CScreenWindow* screen = Screen();
    CFrame* landscape = FindSkinFrame("Demo Picture");
    if (!screen || !landscape)
        return;
    g_MenuShowcase->theme = new CThemeSpecifier("Demo");
    BuildMenus(*screen);
    BuildPalette(*screen);

    auto* picture = new CJPictureWindow(g_MenuShowcase->theme, landscape, 0, 0);
    g_MenuShowcase->picture = picture;
    // At the right, below the scene's top right corner.
    screen->AddChild(picture,
                     {EPlace::At, nullptr, screen->GetWidth() - picture->GetWidth() - kGap, screen->GetHeight() * 3 / 8,
                      kPlacePixels | kPlaceNoGrow});
    // Behind the other demos' windows: the front one keeps the focus.
    AddSoundOptions(false);

    CMusicPlayer& music = CMusicPlayer::SGetInstance();
    if (music.GetMusicList().GetCount() > 0)
        music.Play(nullptr);
}

} // namespace

void InstallMenuShowcase()
{
    // Kept for the whole run, as the hooks are.
    g_MenuShowcase = new SMenuShowcase;
    g_MenuShowcase->previous = GetStandInHooks();
    SStandInHooks hooks = g_MenuShowcase->previous;
    hooks.init = &Init;
    SetStandInHooks(hooks);
}
