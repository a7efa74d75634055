#include "ui/program/TabShowcase.h"

#include "foundation/CCommand.h"
#include "shell/program/CStandInGame.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJButton.h"
#include "ui/CJFrameWindow.h"
#include "ui/CJHeader.h"
#include "ui/CJStatic.h"
#include "ui/CJTabControl.h"
#include "ui/CScreenWindow.h"
#include "ui/CVideoOptions.h"
#include "ui/SkinResources.h"

#include <cstring>

namespace {

// Keeps its header's widths with its own window settings.
class CTabbedFrame : public CJFrameWindow {
public:
    using CJFrameWindow::CJFrameWindow;
    ~CTabbedFrame() override
    {
        if (m_Header)
            m_Header->SaveColumnWidths();
    }

    CJHeader* m_Header = nullptr;
};

struct STabShowcase {
    SStandInHooks previous;
    CTabbedFrame* frame = nullptr;
    CJTabControl* tabs = nullptr;
};
STabShowcase* g_TabShowcase = nullptr;

CScreenWindow* Screen()
{
    return CScreenWindow::GetScreenWindow();
}

CVideoOptions* FindDisplayOptions()
{
    CScreenWindow* screen = Screen();
    for (CJWindow* child = screen ? screen->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
        if (auto* options = dynamic_cast<CVideoOptions*>(child))
            return options;
    return nullptr;
}

// A page of the tab control, as large as the area it is given.
CJWindow* AddPage(CJTabControl& tabs, const char* title, int32_t width, int32_t height)
{
    auto* page = new CJWindow(&tabs, title);
    page->SetSize(width, height);
    tabs.AddPage(page);
    return page;
}

void BuildRowsPage(CTabbedFrame& frame, CJWindow& page)
{
    auto& header = page.Add<CJHeader>({.code = EPlace::TopLeft, .flags = kPlaceNoGrow});
    header.SetSize(page.GetWidth() - 2 * page.GetEdgeMargin(), header.GetHeight());
    header.AddColumn(CJString("Name"), 90);
    header.AddColumn(CJString("Number"), 55, nullptr, kHeaderAlignRight, kHeaderSortNumeric);
    header.AddColumn(CJString("Size"), 45, nullptr, kHeaderAlignRight, kHeaderSortNumeric);
    header.AddColumn(CJString("Kind"), 50);
    header.AddColumn(CJString("Notes"), 50);
    header.SetTotalWidth(header.GetWidth());
    header.LoadColumnWidths();
    frame.m_Header = &header;
}

void Init()
{
    if (g_TabShowcase->previous.init)
        g_TabShowcase->previous.init();
    CScreenWindow* screen = Screen();
    if (!screen || !FindSkinFrame("Demo Push"))
        return;

    auto* theme = new CThemeSpecifier("Demo");
    auto* frame = new CTabbedFrame(theme, "Lists and Trees");
    theme->Destroy();
    g_TabShowcase->frame = frame;
    // Top middle, clear of the town and of the frame window's title bar.
    frame->SetRect(CRect{290, 28, 640, 292});
    screen->AddChild(frame, kAsIsNoGrow);
    frame->AddCloseButton();
    // Where it was left comes back next time, and the header's widths with it.
    frame->LoadWindowSettings(nullptr, false);

    const int32_t margin = frame->GetEdgeMargin();
    const int32_t top = frame->GetClientTopInset() + margin;
    auto* display = new CJButton(frame, "&Display options");
    display->SetCommand(new CFunctionCommand(&OpenDisplayOptions));
    display->SizeToSkin();

    auto* tabs = new CJTabControl(frame);
    g_TabShowcase->tabs = tabs;
    const int32_t width = frame->GetWidth() - 2 * margin;
    const int32_t height
        = frame->GetHeight() - top - margin - display->GetHeight() - frame->GetSpacingY() - tabs->GetTabHeight();
    CJWindow* rows = AddPage(*tabs, "Rows", width, height);
    AddPage(*tabs, "Tree", width, height);
    tabs->SelectTab(0);
    tabs->MoveTo(margin, top);
    frame->AddChild(tabs, kAsIsNoGrow);
    BuildRowsPage(*frame, *rows);

    display->MoveTo(margin, tabs->GetRect().bottom + frame->GetSpacingY());
    frame->AddChild(display, kAsIsNoGrow);
    auto& hint = frame->Add<CJStatic>(kAsIsNoGrow, "Ctrl+Tab turns the pages");
    hint.MoveTo(display->GetRect().right + frame->GetSpacingX(),
                display->GetRect().top + (display->GetHeight() - hint.GetHeight()) / 2);
    frame->BringChildToFront(tabs);
    screen->BringChildToFront(frame);
}

} // namespace

void InstallTabShowcase()
{
    // Kept for the whole run, as the hooks are; installed again (by a later
    // test) it starts afresh in the same record.
    if (!g_TabShowcase)
        g_TabShowcase = new STabShowcase;
    *g_TabShowcase = STabShowcase();
    g_TabShowcase->previous = GetStandInHooks();
    SStandInHooks hooks = g_TabShowcase->previous;
    hooks.init = &Init;
    SetStandInHooks(hooks);
}

void OpenDisplayOptions()
{
    CScreenWindow* screen = Screen();
    if (!screen || !g_TabShowcase)
        return;
    if (CVideoOptions* open = FindDisplayOptions()) {
        screen->BringChildToFront(open);
        return;
    }
    auto* theme = new CThemeSpecifier("Demo");
    auto* options = new CVideoOptions(theme);
    theme->Destroy();
    screen->AddChildFirst(options, {.code = EPlace::Centred, .flags = kPlaceNoGrow});
}

CJTabControl* GetTabShowcaseTabs()
{
    return g_TabShowcase ? g_TabShowcase->tabs : nullptr;
}

CJWindow* GetTabShowcasePage(const char* title)
{
    CJTabControl* tabs = GetTabShowcaseTabs();
    for (uint32_t i = 0; tabs && title && i < tabs->GetPageCount(); ++i)
        if (std::strcmp(tabs->GetPage(i)->GetTitle().GetString(), title) == 0)
            return tabs->GetPage(i);
    return nullptr;
}

CJHeader* GetTabShowcaseHeader()
{
    return g_TabShowcase && g_TabShowcase->frame ? g_TabShowcase->frame->m_Header : nullptr;
}
