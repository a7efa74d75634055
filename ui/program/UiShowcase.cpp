#include "ui/program/UiShowcase.h"

#include "images/CFontList.h"
#include "images/CFrameFilter.h"
#include "images/CFrameList.h"
#include "shell/CMouseState.h"
#include "shell/program/CStandInGame.h"
#include "ui/CAlphaTheme.h"
#include "ui/CControlSkins.h"
#include "ui/CJWindow.h"
#include "ui/CScreenWindow.h"
#include "ui/CSkinTheme.h"

#include <memory>
#include <string>

namespace {

// A window with a frame-window skin: skin back, children, skin front;
// dragged by any point that no child takes.
class CDemoPanel : public CJWindow, public CFrameWindowSkinClient {
public:
    CDemoPanel(CJWindow* parent, const char* title, bool closeButton)
        : CJWindow(parent, title)
    {
        m_State.hasCloseButton = closeButton;
        std::unique_ptr<CWindowSkin> skin = GetSkinTheme()->CreateFrameWindowSkin(*this);
        if (dynamic_cast<CFrameWindowSkin*>(skin.get()))
            m_Skin.reset(static_cast<CFrameWindowSkin*>(skin.release()));
    }
    const SFrameWindowSkinState& GetFrameWindowSkinState() const override { return m_State; }
    int32_t GetClientTopInset() const override { return m_Skin ? m_Skin->GetTitleBarHeight() : 0; }
    void Draw(CFrameInterface& frame) override
    {
        if (m_Skin)
            m_Skin->DrawBack(frame);
        CJWindow::Draw(frame);
        if (m_Skin)
            m_Skin->DrawFront(frame);
    }
    bool OnMouseDrag(CPoint point, CPoint, uint32_t, CCursorSequence*&) override
    {
        if (m_HeldButtons)
            MoveTo(m_Rect.left + point.x - m_Grab.x, m_Rect.top + point.y - m_Grab.y);
        m_Grab = point;
        return true;
    }
    void OnNotify(CJWindow* sender, int32_t code) override
    {
        if (code == kNotifyClicked && sender && m_Status) {
            std::string text = std::string("Pressed: ") + sender->GetTitleText();
            m_Status->SetTitle(CJString(text.c_str()));
            return;
        }
        CJWindow::OnNotify(sender, code);
    }

    CJWindow* m_Status = nullptr;

private:
    SFrameWindowSkinState m_State;
    std::unique_ptr<CFrameWindowSkin> m_Skin;
    CPoint m_Grab{0, 0};
};

// A push button drawn by its theme's button skin.
class CDemoButton : public CJWindow, public CButtonSkinClient {
public:
    CDemoButton(CJWindow* parent, const char* title, const char* tip)
        : CJWindow(parent, title)
        , m_Tip(tip)
    {
        SetTabStop(true);
        std::unique_ptr<CWindowSkin> skin = GetSkinTheme()->CreateButtonSkin(*this);
        if (dynamic_cast<CButtonSkin*>(skin.get()))
            m_Skin.reset(static_cast<CButtonSkin*>(skin.release()));
        if (m_Skin)
            m_Skin->SizeToContent();
        SetSize(GetWidth() + 16, GetHeight() + 4);
    }
    const SButtonSkinState& GetButtonSkinState() const override { return m_State; }
    void Draw(CFrameInterface& frame) override
    {
        if (m_Skin)
            m_Skin->DrawButton(frame);
    }
    void Update(float seconds) override
    {
        CPoint mouse = CMouseState::SGetInstance().GetPositionPoint();
        m_State.hovered = m_VisibleRect.ContainsPoint(mouse.x, mouse.y);
        if (!m_HeldButtons)
            m_State.pushed = false;
        CJWindow::Update(seconds);
    }
    bool AcceptsHover() const override { return true; }
    bool OnHover(CPoint) override
    {
        if (CScreenWindow* screen = CScreenWindow::GetScreenWindow())
            screen->ShowToolTip(this, -1, CJString(m_Tip.c_str()));
        return true;
    }
    bool OnMouseDrag(CPoint point, CPoint, uint32_t, CCursorSequence*&) override
    {
        m_State.pushed = m_VisibleRect.ContainsPoint(point.x, point.y);
        return true;
    }
    void OnMouseRelease(CPoint point, uint32_t) override
    {
        const bool inside = m_VisibleRect.ContainsPoint(point.x, point.y);
        m_State.pushed = false;
        if (inside)
            NotifyParent(kNotifyClicked);
    }
    void OnMouseCaptureLost(uint32_t) override { m_State.pushed = false; }
    bool OnHotKeyActivate() override
    {
        NotifyParent(kNotifyClicked);
        return true;
    }
    bool OnKeyDown(uint32_t key) override
    {
        if (HasFocus() && !m_FirstChild && (key == kKeyEnter || key == ' ')) {
            NotifyParent(kNotifyClicked);
            return true;
        }
        return CJWindow::OnKeyDown(key);
    }

private:
    SButtonSkinState m_State;
    std::unique_ptr<CButtonSkin> m_Skin;
    std::string m_Tip;
};

// A line of text in its theme's static-text font.
class CDemoLabel : public CJWindow {
public:
    CDemoLabel(CJWindow* parent, const char* title)
        : CJWindow(parent, title)
        , m_Skin(GetSkinTheme()->CreateStaticSkin(*this))
    {
    }
    void Draw(CFrameInterface& frame) override { DrawTitle(frame, 0, 0, 0); }

private:
    std::unique_ptr<CWindowSkin> m_Skin;
};

struct SShowcase {
    SStandInHooks previous;
    std::unique_ptr<CFrameList> textures;
    CThemeSpecifier* alpha = nullptr;
};
SShowcase* g_Showcase = nullptr;

void AddRow(CDemoPanel& panel, const char* const (*buttons)[2], int count, int32_t y)
{
    int32_t x = panel.GetEdgeMargin();
    for (int i = 0; i < count; ++i) {
        auto& button = panel.Add<CDemoButton>(kAsIsNoGrow, buttons[i][0], buttons[i][1]);
        button.MoveTo(x, y);
        x += button.GetWidth() + panel.GetSpacingX();
    }
}

CDemoPanel* BuildPanel(CScreenWindow& screen, CJWindow* themeParent, const char* title, bool closeButton,
                       const CRect& rect, const char* label, const char* const (*buttons)[2], int count)
{
    auto* panel = new CDemoPanel(themeParent, title, closeButton);
    panel->SetRect(rect);
    screen.AddChild(panel, kAsIsNoGrow);
    const int32_t top = panel->GetClientTopInset() + panel->GetEdgeMargin();
    const int32_t right = rect.right - rect.left - panel->GetEdgeMargin();
    panel->Add<CDemoLabel>(kAsIsNoGrow, label).SetRect(CRect{panel->GetEdgeMargin(), top, right, top + 18});
    AddRow(*panel, buttons, count, top + 26);
    auto& status = panel->Add<CDemoLabel>(kAsIsNoGrow, "Tab, Alt+letter or a click");
    status.SetParseHotKeyMark(false);
    status.SetRect(CRect{panel->GetEdgeMargin(), top + 70, right, top + 88});
    panel->m_Status = &status;
    return panel;
}

void Init()
{
    if (g_Showcase->previous.init)
        g_Showcase->previous.init();
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen)
        return;
    // The interface textures, built plain: they are tiled.
    g_Showcase->textures = std::make_unique<CFrameList>(nullptr);
    CFrameFilter chain;
    chain.AddFilter(12);
    g_Showcase->textures->SetFilters(chain);
    g_Showcase->textures->SetSource(nullptr, "Resources/Interface/Textures", 0);
    CJWindow::SetSkinResources(g_Showcase->textures.get(), g_Showcase->textures.get());
    CFontList& fonts = GetFontList();
    const int32_t body = fonts.Find("Fonts/Body");
    if (body >= 0)
        CJWindow::SetDefaultFont(fonts.GetObject(body));
    GetSkinThemeList().SetSource(nullptr, "Resources/Interface/JWindowSkins", 0);
    if (g_Showcase->alpha)
        g_Showcase->alpha->Destroy();
    g_Showcase->alpha = new CThemeSpecifier("Demo");

    static const char* const kClassicButtons[][2] = {
        {"&Open", "Opens nothing: a classic button"},
        {"&Save", "Saves nothing either"},
        {"&Reset", "Alt+R presses me too"},
    };
    static const char* const kAlphaButtons[][2] = {
        {"&Play", "A segmented button border"},
        {"&Options", "Hover and pressed borders"},
        {"&Help", "Tool tips follow the pointer"},
    };
    BuildPanel(*screen, nullptr, "Classic Theme", false, CRect{48, 56, 368, 236}, "&Name: classic window",
               kClassicButtons, 3);
    CDemoPanel* alpha = BuildPanel(*screen, g_Showcase->alpha, "Demo Theme", true, CRect{300, 120, 660, 320},
                                   "&Demo alpha theme", kAlphaButtons, 3);
    // The front window has the focus; Tab starts there.
    screen->BringChildToFront(alpha);
}

void Draw(CFrameInterface& screen)
{
    // The windows lie over what the other layers show.
    if (g_Showcase->previous.draw)
        g_Showcase->previous.draw(screen);
    if (CScreenWindow* root = CScreenWindow::GetScreenWindow())
        root->DrawToScreen();
}

void Update(float seconds)
{
    if (g_Showcase->previous.update)
        g_Showcase->previous.update(seconds);
}

} // namespace

void InstallUiShowcase()
{
    // Kept for the whole run, as the hooks are; installed again (by a later
    // test) it starts afresh in the same record.
    if (!g_Showcase)
        g_Showcase = new SShowcase;
    g_Showcase->previous = GetStandInHooks();
    SStandInHooks hooks;
    hooks.init = &Init;
    hooks.update = &Update;
    hooks.draw = &Draw;
    SetStandInHooks(hooks);
}
