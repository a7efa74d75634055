#include "ui/CSkinThemeBrowserItem.h"

#include "foundation/CVirtualArray.h"
#include "foundation/SaturatingArithmetic.h"
#include "render/CProxyFrame.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJEdit.h"
#include "ui/CJFrameWindow.h"
#include "ui/CJStatic.h"
#include "ui/CScreenWindow.h"

CSkinThemeBrowserItem::CSkinThemeBrowserItem(CVirtualArray* list, uint32_t index)
    : CImageBrowserItemBridge(list, index)
{
    BuildPreview();
}

CSkinThemeBrowserItem::~CSkinThemeBrowserItem()
{
    if (m_Preview)
        m_Preview->Destroy();
}

void CSkinThemeBrowserItem::BuildPreview()
{
    if (m_Preview) {
        m_Preview->Destroy();
        m_Preview = nullptr;
    }
    CVirtualArray* list = GetList();
    if (!list || int32_t(GetIndex()) >= list->GetCount())
        return;
    auto* specifier = new CThemeSpecifier(list->GetItemName(int32_t(GetIndex())));
    auto* window = new CJFrameWindow(specifier, "Window");
    window->Add<CJButton>(EPlace::TopLeft, "Button");
    window->Add<CJCheckBox>(EPlace::BelowPrevious, CJString("Check Box"));
    window->Add<CJStatic>(EPlace::BelowPrevious, "Static Text");
    window->Add<CJEdit>(EPlace::BelowPrevious, "Text Edit");
    specifier->Destroy();
    m_Preview = window;
}

void CSkinThemeBrowserItem::Draw(CFrameInterface& target, CPoint point)
{
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!m_Preview || !screen)
        return;
    // At the screen's corner its content coordinates are the screen's; a
    // plain offset target then makes it place its children itself.
    screen->AddChild(m_Preview);
    m_Preview->MoveTo(0, 0);
    COffsetProxyFrame moved(&target, -point.x, -point.y);
    m_Preview->Draw(moved);
    screen->RemoveChild(m_Preview);
}

void CSkinThemeBrowserItem::Update(float seconds)
{
    if (!m_Rebuilt) {
        m_RebuildTimer -= seconds;
        if (!(m_RebuildTimer > 0.0f)) {
            BuildPreview();
            m_Rebuilt = true;
        }
    }
    if (m_Preview)
        m_Preview->Update(seconds);
}

void CSkinThemeBrowserItem::GetBounds(CRect& out)
{
    if (!m_Preview) {
        out = CRect{0, 0, 0, 0};
        return;
    }
    out = CRect{-kMargin, -kMargin, SaturatingAdd(m_Preview->GetWidth(), kMargin),
                SaturatingAdd(m_Preview->GetHeight(), kMargin)};
}

std::unique_ptr<CImageBrowserItemBridge> CSkinThemeBrowserItem::SCreate(CVirtualArray* list, uint32_t index)
{
    return std::make_unique<CSkinThemeBrowserItem>(list, index);
}

ImageBrowserItemFactory CSkinThemeList::GetItemFactory()
{
    return &CSkinThemeBrowserItem::SCreate;
}
