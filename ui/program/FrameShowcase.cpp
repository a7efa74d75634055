#include "ui/program/FrameShowcase.h"

#include "foundation/CCommand.h"
#include "shell/program/CStandInGame.h"
#include "sound/CSoundList.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJFrameWindow.h"
#include "ui/CScreenWindow.h"
#include "ui/SkinResources.h"

#include <string>

namespace {

// The cursors of the standard table a frame window shows over its edges.
const char* const kEdgeCursors[] = {
    "Can Move X Cursor", "Moving X Cursor",  "Can Move Y Cursor",      "Moving Y Cursor",
    "Can Resize Cursor", "Resizing Cursor", "Can Resize Other Cursor", "Resizing Other Cursor",
};

const char* const kOpacities[] = {"&Solid", "&Misty", "&Faint"};
const float kOpacityValues[] = {1.0f, 0.85f, 0.7f};

// The demo's frame window: its radio ring sets how opaque it is.
class CDemoFrame : public CJFrameWindow {
public:
    using CJFrameWindow::CJFrameWindow;

    void OnNotify(CJWindow* sender, int32_t code) override
    {
        for (int i = 0; i < 3; ++i) {
            if (sender && sender == m_Opacity[i] && code == kNotifyClicked) {
                SetOpacity(kOpacityValues[i]);
                return;
            }
        }
        CJFrameWindow::OnNotify(sender, code);
    }

    // Hides (shows again) every other window on the screen.
    void ToggleScene()
    {
        m_SceneHidden = !m_SceneHidden;
        for (CJWindow* window = m_Parent ? m_Parent->GetFirstChild() : nullptr; window;
             window = window->GetNextSibling())
            if (window != this)
                window->Show(!m_SceneHidden, false);
        if (m_SceneButton)
            m_SceneButton->SetTitle(CJString(m_SceneHidden ? "Show the &others" : "Hide the &others"));
    }

    CJButton* m_Opacity[3] = {};
    CJButton* m_SceneButton = nullptr;
    bool m_SceneHidden = false;
};

bool g_SoundsOn = true;
bool g_Remember = false;
bool g_Fancy = true;

void ApplySounds()
{
    CSoundList::SGetGlobal().SetEnabled(g_SoundsOn);
}

struct SFrameShowcase {
    SStandInHooks previous;
};
SFrameShowcase* g_FrameShowcase = nullptr;

// Moves an added window to (x, y); answers its right edge plus the spacing.
int32_t Put(CJWindow& window, int32_t x, int32_t y)
{
    window.MoveTo(x, y);
    return x + window.GetWidth() + window.GetParent()->GetSpacingX();
}

void Init()
{
    if (g_FrameShowcase->previous.init)
        g_FrameShowcase->previous.init();
    // Only over the demo data set (a program run on other data keeps its
    // settings file as it was).
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen || !FindSkinFrame("Demo Push"))
        return;
    if (!CJWindow::GetStandardCursor(0))
        CJWindow::SetStandardCursor(0, "Mouse Cursor", nullptr);
    for (int32_t i = 0; i < 8; ++i)
        CJWindow::SetStandardCursor(kCursorCanMoveX + i, kEdgeCursors[i], nullptr);

    auto* theme = new CThemeSpecifier("Demo");
    auto* frame = new CDemoFrame(theme, "Frame Window");
    theme->Destroy();
    frame->SetRect(CRect{380, 300, 780, 580});
    screen->AddChild(frame, kAsIsNoGrow);
    frame->AddCloseButton();
    frame->AddTransparencyToggle();
    frame->AddResizeGrip();

    const int32_t left = frame->GetEdgeMargin();
    int32_t y = frame->GetClientTopInset() + frame->GetEdgeMargin();

    // A push button made of images that swells while hovered.
    auto& zoom = frame->Add<CJButton>(kAsIsNoGrow, "Zoom");
    zoom.SetImages(FindSkinFrame("Demo Push"), FindSkinFrame("Demo Push Down"), FindSkinFrame("Demo Push Glow"), false,
                   0, 0);
    zoom.SetShowTitleWithIcon(true);
    zoom.SetToolTipText("Images for up, down and hover; it grows while hovered", true);
    zoom.SetHoverZoom(0.5f, 0.1f);
    int32_t x = Put(zoom, left + 8, y + 4);

    auto& scene = frame->Add<CJButton>(kAsIsNoGrow, "Hide the &others");
    scene.SetCommand(new CObjectFunctionCommand<CDemoFrame>(frame, &CDemoFrame::ToggleScene));
    scene.SetToolTipText("Its command changes the scene", true);
    scene.SizeToSkin();
    frame->m_SceneButton = &scene;
    Put(scene, x + 8, y + 8);
    y += zoom.GetHeight() + 16;

    auto& sounds = frame->Add<CJCheckBox>(kAsIsNoGrow, "Clicks make &sounds");
    sounds.BindValue(&g_SoundsOn);
    sounds.SetCommand(new CFunctionCommand(&ApplySounds));
    x = Put(sounds, left, y);
    auto& remember = frame->Add<CJCheckBox>(kAsIsNoGrow, "&Remember me");
    remember.BindValue(&g_Remember);
    Put(remember, x, y);
    y += sounds.GetHeight() + frame->GetSpacingY();

    auto& fancy = frame->Add<CJImageCheckBox>(kAsIsNoGrow, "&Fancy box");
    fancy.SetUncheckedImage(FindSkinFrame("Demo Check Off"));
    fancy.SetCheckedImage(FindSkinFrame("Demo Check On"));
    fancy.BindValue(&g_Fancy);
    Put(fancy, left, y);
    y += fancy.GetHeight() + frame->GetSpacingY();

    CJButton* partner = nullptr;
    x = left;
    for (int i = 0; i < 3; ++i) {
        auto& radio = frame->Add<CJRadioButton>(kAsIsNoGrow, kOpacities[i], partner);
        radio.SizeToSkin();
        frame->m_Opacity[i] = &radio;
        x = Put(radio, x, y);
        partner = &radio;
    }
    frame->m_Opacity[0]->SetChecked(1);
    // Where it was left, and whether it was see-through, come back next time.
    frame->LoadWindowSettings(nullptr, true);
    frame->SetRect(frame->GetRect());
    screen->BringChildToFront(frame);
}

} // namespace

void InstallFrameShowcase()
{
    // Kept for the whole run, as the hooks are.
    g_FrameShowcase = new SFrameShowcase;
    g_FrameShowcase->previous = GetStandInHooks();
    SStandInHooks hooks = g_FrameShowcase->previous;
    hooks.init = &Init;
    SetStandInHooks(hooks);
}
