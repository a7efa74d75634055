#include "ui/CJMenu.h"

#include "foundation/CCommand.h"
#include "images/CFont.h"
#include "shell/CKeyboardState.h"
#include "ui/CScreenWindow.h"

namespace {

constexpr uint32_t kMenuKeyUp = uint32_t(EngineKey::Up);
constexpr uint32_t kMenuKeyDown = uint32_t(EngineKey::Down);
constexpr uint32_t kMenuKeyLeft = uint32_t(EngineKey::Left);
constexpr uint32_t kMenuKeyRight = uint32_t(EngineKey::Right);
constexpr uint32_t kAllEdges = 15;
// The sub-menu arrow.
constexpr char16_t kArrowGlyph = u'\u25BA';

CJMenu* AsMenu(CJWindow* window)
{
    return dynamic_cast<CJMenu*>(window);
}

CJMenuItem* AsItem(CJWindow* window)
{
    return dynamic_cast<CJMenuItem*>(window);
}

const CRect& ScreenRect(CJWindow& from)
{
    CJWindow* screen = CScreenWindow::GetScreenWindow();
    return (screen ? screen : from.GetRootWindow())->GetScreenRect();
}

} // namespace

// ---- CJMenuItem ---------------------------------------------------------------

CJMenuItem::CJMenuItem(CJWindow* parent)
    : CJWindow(parent)
{
}

CJMenuItem::CJMenuItem(CJWindow* parent, const CJString& title)
    : CJWindow(parent, title)
{
}

CJMenuItem::~CJMenuItem()
{
    delete m_Command;
    m_Command = nullptr;
    if (m_SubMenu) {
        CJMenu* menu = m_SubMenu;
        m_SubMenu = nullptr;
        menu->Destroy();
    }
    if (m_OpenSubMenu) {
        m_OpenSubMenu->m_OwnerItem = nullptr;
        m_OpenSubMenu = nullptr;
    }
}

void CJMenuItem::SetSubMenu(CJMenu* menu, bool showArrow)
{
    if (m_SubMenu && m_SubMenu != menu)
        m_SubMenu->Destroy();
    m_SubMenu = menu;
    m_ShowSubMenuArrow = showArrow;
}

void CJMenuItem::SetCommand(CCommand* command)
{
    if (m_Command != command)
        delete m_Command;
    m_Command = command;
}

void CJMenuItem::Activate()
{
    // Already open: the click that opened it comes back.
    if (m_OpenSubMenu)
        return;
    CJMenu* parentMenu = AsMenu(m_Parent);
    if (!m_SubMenu) {
        if (parentMenu)
            parentMenu->OnItemChosen();
        if (m_Command && m_Command->CanExecute())
            m_Command->Execute();
        // May delete this item with its menu: nothing follows.
        CloseParentMenu();
        return;
    }
    CJMenu* subMenu = m_SubMenu;
    m_SubMenu = nullptr;
    m_OpenSubMenu = subMenu;
    subMenu->m_OwnerItem = this;
    subMenu->Show(true, false);
    if (parentMenu)
        parentMenu->OpenSubMenu(this, subMenu);
}

bool CJMenuItem::OnHotKeyActivate()
{
    Activate();
    return true;
}

void CJMenuItem::UpdateEnabledState()
{
    if (m_Command && m_Command->HasCanExecuteTest())
        Enable(m_Command->CanExecute());
}

bool CJMenuItem::OnHotKey(uint32_t key)
{
    if (CJWindow::OnHotKey(key))
        return true;
    if (!m_SubMenu)
        return false;
    m_SubMenu->UpdateEnabledState();
    return m_SubMenu->OnHotKey(key);
}

bool CJMenuItem::OnMouseMove(CPoint point, CPoint, CCursorSequence*&)
{
    if (m_VisibleRect.ContainsPoint(point.x, point.y) && m_TabStop) {
        m_Highlighted = true;
        if (m_Parent)
            m_Parent->BringChildToFront(this);
        return true;
    }
    m_Highlighted = false;
    return false;
}

bool CJMenuItem::IsActivatingClick(uint32_t button, CPoint point) const
{
    return (button == 0 || button == 1) && m_HasFocus && m_TabStop && m_Enabled
        && m_VisibleRect.ContainsPoint(point.x, point.y);
}

bool CJMenuItem::OnMouseDown(uint32_t button, CPoint point)
{
    if (CJWindow::OnMouseDown(button, point))
        return true;
    if (!m_SubMenu || !IsActivatingClick(button, point))
        return false;
    Activate();
    return true;
}

bool CJMenuItem::OnMouseUp(uint32_t button, CPoint point)
{
    if (CJWindow::OnMouseUp(button, point))
        return true;
    if (!IsActivatingClick(button, point))
        return false;
    Activate();
    return true;
}

void CJMenuItem::Draw(CFrameInterface& frame)
{
    CJWindow::Draw(frame);
    if (m_ShowSubMenuArrow && m_Font) {
        CJString arrow;
        arrow.AppendRepeated(kArrowGlyph, 1);
        m_Font->DrawText(frame, m_ContentWidth - m_BorderWidth, m_BorderWidth, arrow, TextAlign::Right);
    }
}

void CJMenuItem::CloseParentMenu()
{
    if (CJMenu* menu = AsMenu(m_Parent))
        menu->CloseMenu();
}

// ---- CJTextMenuItem -------------------------------------------------------------

CJTextMenuItem::CJTextMenuItem(CJWindow* parent, const CJString& text, CCommand* command, uint32_t hotKey)
    : CJMenuItem(parent)
{
    CJTextMenuItem::SetTitle(text);
    Construct(command, hotKey);
}

CJTextMenuItem::CJTextMenuItem(CJWindow* parent, const char* text, CCommand* command, uint32_t hotKey)
    : CJMenuItem(parent)
{
    CJTextMenuItem::SetTitle(CJString(text ? text : ""));
    Construct(command, hotKey);
}

void CJTextMenuItem::Construct(CCommand* command, uint32_t hotKey)
{
    m_TabStop = true;
    m_MoveWhenDisabled = true;
    m_Command = command;
    if (hotKey != 0) {
        SetHotKey(hotKey);
        // A key missing from the text was appended to it.
        SizeToTitle();
    }
}

void CJTextMenuItem::SetTitle(const CJString& title)
{
    CJWindow::SetTitle(title);
    SizeToTitle();
}

void CJTextMenuItem::SizeToTitle()
{
    const int32_t width = m_Font ? m_Font->GetTextWidth(m_Title) : 0;
    const int32_t height = m_Font ? int32_t(m_Font->GetHeight()) : 0;
    SetSize(width + 2 * m_BorderWidth, height + 2 * m_BorderWidth);
}

void CJTextMenuItem::Draw(CFrameInterface& frame)
{
    // A disabled item stays unlit, though the pointer focuses it.
    if (m_HasFocus && m_Highlighted && IsEnabledWithParent()) {
        CColor shade(0, 0, 0, 128);
        if (frame.GetBitDepth() == 8)
            shade.SetCurrentPaletteColor(80, 80, 80, 255);
        frame.FillRect(CRect{0, 0, m_ContentWidth, m_ContentHeight}, shade);
    }
    DrawTitle(frame, m_BorderWidth, m_BorderWidth, 0);
    CJMenuItem::Draw(frame);
}

// ---- CSeparatorMenuItem ----------------------------------------------------------

CSeparatorMenuItem::CSeparatorMenuItem()
    : CJMenuItem(nullptr)
{
    m_TabStop = false;
    m_Enabled = false;
    m_MoveWhenDisabled = true;
    SetSize(1, 4);
}

void CSeparatorMenuItem::Draw(CFrameInterface& frame)
{
    DrawBevelBox(m_Font, frame, CRect{0, 0, m_ContentWidth, m_ContentHeight}, false, kAllEdges, false);
}

// ---- CJMenu ---------------------------------------------------------------------

CJMenu::CJMenu(CJWindow* parent)
    : CJWindow(parent, "Menu")
{
    m_SpacingX = 0;
    m_SpacingY = 0;
    SetBorderWidth(0);
    m_EdgeMargin = 2;
}

CJMenu::~CJMenu()
{
    // Destroyed while open (with the tree): the item must not hand it back.
    if (m_OwnerItem) {
        m_OwnerItem->m_OpenSubMenu = nullptr;
        m_OwnerItem = nullptr;
    }
}

void CJMenu::UpdateEnabledState()
{
    for (CJWindow* child = m_FirstChild; child; child = child->GetNextSibling())
        child->UpdateEnabledState();
}

void CJMenu::SetFocus(bool focus)
{
    UpdateEnabledState();
    CJWindow::SetFocus(focus);
}

bool CJMenu::Close()
{
    CJMenuItem* item = m_OwnerItem;
    if (!item)
        return CJWindow::Close();
    if (item->m_SubMenu && item->m_SubMenu != this)
        item->m_SubMenu->Destroy();
    item->m_SubMenu = this;
    item->m_OpenSubMenu = nullptr;
    m_OwnerItem = nullptr;
    if (m_Parent)
        m_Parent->RemoveChild(this);
    return true;
}

bool CJMenu::ActivateFrontItem()
{
    CJMenuItem* item = AsItem(m_FirstChild);
    if (!item)
        return false;
    item->Activate();
    return true;
}

bool CJMenu::OnKeyDown(uint32_t key)
{
    if (key == kKeyEnter) {
        ActivateFrontItem();
        return true;
    }
    return CJWindow::OnKeyDown(key);
}

bool CJMenu::CloseMenu()
{
    if (!m_Parent)
        return false;
    // Close may delete this menu.
    CJMenuItem* owner = m_OwnerItem;
    if (Close() && owner)
        owner->CloseParentMenu();
    return true;
}

void CJMenu::OnItemChosen() {}

void CJMenu::AddItem(CJMenuItem* item)
{
    AddChild(item);
}

void CJMenu::AddSeparator()
{
    if (!m_LastChild)
        return;
    if (CJMenuItem* last = AsItem(m_LastChild); last && last->IsSeparator())
        return;
    AddItem(new CSeparatorMenuItem());
}

void CJMenu::Draw(CFrameInterface& frame)
{
    const CRect content{0, 0, m_ContentWidth, m_ContentHeight};
    if (!m_Transparent)
        frame.FillRect(content, m_Color0);
    DrawBevelBox(m_Font, frame, content, true, kAllEdges, false);
    CJWindow::Draw(frame);
}

void CJMenu::AddOpenSubMenu(CJMenu* subMenu, int32_t x, int32_t y)
{
    CJWindow* host = m_Parent ? m_Parent : GetRootWindow();
    host->AddChildFirst(subMenu, {EPlace::At, nullptr, x, y, kPlacePixels | kPlaceClampInParent});
}

void CJMenu::OpenSubMenu(CJMenuItem* item, CJMenu* subMenu)
{
    if (!item || !subMenu)
        return;
    const CRect& at = item->GetVisibleRect();
    int32_t x = at.right;
    int32_t y = at.top;
    const int32_t width = subMenu->GetWidth();
    const int32_t height = subMenu->GetHeight();
    if (ScreenRect(*this).right - x < width && x - (GetWidth() + width) >= 0)
        x -= GetWidth() + width;
    if (ScreenRect(*this).bottom - y < height && y - (height - item->GetHeight()) >= 0)
        y -= height - item->GetHeight();
    AddOpenSubMenu(subMenu, x, y);
}

// ---- CJMenuBar ------------------------------------------------------------------

CJMenuBar::CJMenuBar(CJWindow* parent)
    : CJMenu(parent)
{
}

void CJMenuBar::AddItem(CJMenuItem* item)
{
    AddChild(item, {.code = m_FirstChild ? EPlace::RightOfPrevious : EPlace::TopLeft, .flags = kPlaceNoGrow});
}

bool CJMenuBar::OnMouseDown(uint32_t button, CPoint point)
{
    CJMenu::OnMouseDown(button, point);
    return true;
}

bool CJMenuBar::OnKeyDown(uint32_t key)
{
    switch (key) {
    case kMenuKeyLeft:
        FocusPrevious();
        return true;
    case kMenuKeyRight:
        FocusNext();
        return true;
    case kKeyEnter:
        ActivateFrontItem();
        return true;
    default:
        return CJWindow::OnKeyDown(key);
    }
}

void CJMenuBar::OpenSubMenu(CJMenuItem* item, CJMenu* subMenu)
{
    if (!item || !subMenu)
        return;
    const CRect& at = item->GetVisibleRect();
    const int32_t x = at.left;
    int32_t y = at.bottom;
    CJWindow* root = GetRootWindow();
    if (y + subMenu->GetHeight() > root->GetScreenRect().bottom)
        y = at.top - subMenu->GetHeight();
    root->AddChildFirst(subMenu, {EPlace::At, nullptr, x, y, kPlacePixels | kPlaceClampInParent});
}

bool CJMenuBar::CloseMenu()
{
    return false;
}

// ---- CJPullDownMenu ---------------------------------------------------------------

CJPullDownMenu::CJPullDownMenu(CJWindow* parent)
    : CJMenu(parent)
{
    m_Modal = true;
    m_EdgeMargin = 2;
}

void CJPullDownMenu::AddItem(CJMenuItem* item)
{
    if (!item)
        return;
    AddChild(item, m_FirstChild ? EPlace::BelowPrevious : EPlace::TopLeft);
    m_FirstChild->MakeSameWidth(m_LastChild, 0);
}

void CJPullDownMenu::OnItemChosen()
{
    Show(false, true);
}

bool CJPullDownMenu::OnKeyDown(uint32_t key)
{
    switch (key) {
    case kMenuKeyUp:
        FocusPrevious();
        return true;
    case kMenuKeyDown:
        FocusNext();
        return true;
    case kKeyEscape:
        Close();
        return true;
    case kKeyEnter:
        ActivateFrontItem();
        return true;
    default:
        return CJWindow::OnKeyDown(key);
    }
}

bool CJPullDownMenu::OnMouseDown(uint32_t button, CPoint point)
{
    if (CJMenu::OnMouseDown(button, point))
        return true;
    if (!m_VisibleRect.ContainsPoint(point.x, point.y))
        CloseMenu();
    return true;
}
