#include "overlays/program/OverlayShowcase.h"

#include "foundation/CCommand.h"
#include "foundation/MillisecondClock.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CObject.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CLoadingScreenPresenter.h"
#include "shell/CMouseState.h"
#include "shell/CScreenFrame.h"
#include "shell/program/CStandInGame.h"
#include "ui/CJButton.h"
#include "ui/CScreenWindow.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr uint64_t kProgressInterval = 50;

struct SShowcase {
    SStandInHooks previous;
    CTextSubstitutionList values;
    float seconds = 0.0f;
    float panelStart = 0.0f; // when the panel's slide began
    // Loading progress.
    CFrameOverlayOptions* splash = nullptr;
    int32_t total = 1;
    uint64_t lastProgress = 0;
    bool drawingProgress = false;
};
SShowcase* g_Showcase = nullptr;

void FillHud(CTextSubstitutionList& values, float seconds);
void AddPanelButton(CFrameOverlayOptions& hud);

int32_t CountLoaded(CObjectFileArray& list)
{
    int32_t loaded = 0;
    for (int32_t i = 0; i < list.GetCount(); ++i)
        loaded += list.IsItemLoaded(i) ? 1 : 0;
    return loaded;
}

// Before every object read while the other showcases load.
void DrawProgress()
{
    SShowcase& s = *g_Showcase;
    const uint64_t now = MillisecondClock();
    if (s.drawingProgress || !s.splash || (s.lastProgress != 0 && now - s.lastProgress < kProgressInterval))
        return;
    s.drawingProgress = true;
    s.lastProgress = now;
    const int32_t loaded = CountLoaded(GetSequenceList()) + CountLoaded(GetFrameLibrary());
    CTextSubstitutionList values;
    FillLoadingProgress(values, loaded, s.total);
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    s.splash->DrawOnFrame(screen, &values, false, nullptr);
    screen.Present();
    s.drawingProgress = false;
}

void Init()
{
    SShowcase& s = *g_Showcase;
    GetFrameLibrary().SetSource(nullptr, "Resources/Frames", 0);
    GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
    s.total = GetFrameLibrary().GetCount() + GetSequenceList().GetCount();
    CLoadingScreenPresenter presenter;
    presenter.SetMinimumSeconds(1.5f);
    s.splash = FindFrameOverlayOptions("Splash");
    const int32_t background = GetFrameLibrary().Find("LoadingScreen_Background");
    if (s.splash && background >= 0) {
        CTextSubstitutionList values;
        FillLoadingProgress(values, 0, s.total);
        CFrameOverlayLoadingScreenOverlay overlay(*s.splash, &values);
        presenter.Show(GetFrameLibrary().GetObject(background), &overlay);
    }
    const ObjectReadHook previousHook = SetObjectReadHook(&DrawProgress);
    if (s.previous.init)
        s.previous.init();
    SetObjectReadHook(previousHook);
    // The last count, however quickly it came, before the picture goes.
    s.lastProgress = 0;
    DrawProgress();
    s.splash = nullptr;
    presenter.Finish();
    if (CFrameOverlayOptions* hud = FindFrameOverlayOptions("HUD"))
        AddPanelButton(*hud);
}

// The panel's button: the slide starts again.
class CReplayCommand : public CCommand {
public:
    void Execute() override { g_Showcase->panelStart = g_Showcase->seconds; }
};

void AddPanelButton(CFrameOverlayOptions& hud)
{
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen)
        return;
    FillHud(g_Showcase->values, 0.0f);
    if (CJButton* button = hud.CreateButtonWindow(CJString("Replay"), &g_Showcase->values)) {
        button->SetCommand(new CReplayCommand);
        screen->AddChild(button, kAsIsNoGrow);
    }
}

void Update(float seconds)
{
    if (g_Showcase->previous.update)
        g_Showcase->previous.update(seconds);
    g_Showcase->seconds += seconds;
}

void FillHud(CTextSubstitutionList& values, float seconds)
{
    const int32_t whole = int32_t(seconds);
    char clock[16];
    std::snprintf(clock, sizeof clock, "%d:%02d", whole / 60, whole % 60);
    values.RemoveAll();
    values.AddText("%s[Clock]", CJString(clock));
    values.AddNumber("%s[Score]", int32_t(seconds * 2718.0f));
    values.AddNumber("%s[Energy]", int32_t(50.0f + 45.0f * std::sin(seconds * 0.8f)));
    values.AddNumber("%s[MaxEnergy]", 100);
    values.AddText("%s[Bonus]", CJString(whole / 5 % 2 ? "1" : "0"));
}

void DrawToolTip(CFrameInterface& screen, const CJString& tip, CFont* font, int32_t x, int32_t y)
{
    if (tip.IsEmpty() || !font)
        return;
    const int32_t width = font->GetTextWidth(tip) + 16;
    const int32_t height = int32_t(font->GetHeight()) + 12;
    const CRect box{x + 16, y + 20, x + 16 + width, y + 20 + height};
    CColor back(250, 246, 220, 255);
    CColor rim(40, 40, 40, 255);
    screen.FillRect(box, back);
    screen.FillRect(CRect{box.left, box.top, box.right, box.top + 1}, rim);
    screen.FillRect(CRect{box.left, box.bottom - 1, box.right, box.bottom}, rim);
    font->DrawText(screen, box.left + 8, box.top + 6, tip);
}

void Draw(CFrameInterface& screen)
{
    SShowcase& s = *g_Showcase;
    if (s.previous.draw)
        s.previous.draw(screen);
    CFrameOverlayOptions* hud = FindFrameOverlayOptions("HUD");
    if (!hud)
        return;
    FillHud(s.values, s.seconds);
    CFrameOverlayDrawContext context;
    context.m_pTarget = &screen;
    context.m_pSubstitutions = &s.values;
    CMouseState::SGetInstance().GetPosition(context.m_MouseX, context.m_MouseY);
    context.m_Time = s.seconds - s.panelStart;
    hud->Draw(context);
    DrawToolTip(screen, context.m_ToolTip, hud->GetTextFont(), context.m_MouseX, context.m_MouseY);
}

} // namespace

void InstallOverlayShowcase()
{
    // Kept for the whole run, as the hooks are.
    g_Showcase = new SShowcase;
    g_Showcase->previous = GetStandInHooks();
    SStandInHooks hooks;
    hooks.init = &Init;
    hooks.update = &Update;
    hooks.draw = &Draw;
    SetStandInHooks(hooks);
}
