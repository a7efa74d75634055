#include "ui/CJComboBox.h"

#include "blit/CBlitTypeList.h"
#include "images/CFrame.h"
#include "ui/CJButton.h"
#include "ui/CJScrollBar.h"
#include "ui/SkinTiling.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr uint32_t kKeyF4 = 20;
constexpr uint32_t kKeyUpArrow = 6;
constexpr uint32_t kKeyDownArrow = 10;
// As wide as the widest row.
constexpr int32_t kPopUpWidthUnits = 999999;
constexpr int32_t kPopUpMostRows = 20;
// Trees with room to open folders in the pop-up, unless they are small.
constexpr int32_t kTreeExtraRows = 30;
constexpr int32_t kSmallTreeItems = 15;

// Items of the tree below its root, counting stops at limit.
int32_t CountTreeItems(CVirtualTree& tree, int32_t id, int32_t limit)
{
    int32_t count = 0;
    const int32_t children = tree.GetChildCount(id);
    for (int32_t i = 0; i < children && count < limit; ++i) {
        const int32_t child = tree.GetChild(id, i);
        ++count;
        if (child != -1 && child != id)
            count += CountTreeItems(tree, child, limit - count);
    }
    return count;
}

int32_t WidthUnitsToPixels(int32_t units, int32_t fontUnit)
{
    const int64_t pixels = int64_t(units) * fontUnit;
    return int32_t(std::clamp<int64_t>(pixels, 0, INT32_MAX / 2));
}

} // namespace

// ---- Pop-up list --------------------------------------------------------------

CJPopUpListBox::CJPopUpListBox(CJComboBox& owner, CVirtualArray* source, CListBoxFilter* filter)
    : CJListBox(&owner, source, filter, kPopUpWidthUnits, 1)
    , m_Owner(&owner)
{
}

CJPopUpListBox::CJPopUpListBox(CJComboBox& owner, CVirtualTree* tree, CListBoxFilter* filter)
    : CJListBox(&owner, tree, filter, kPopUpWidthUnits, 1)
    , m_Owner(&owner)
{
}

CJPopUpListBox::~CJPopUpListBox()
{
    if (m_Owner && m_Owner->m_PopUp == this)
        m_Owner->m_PopUp = nullptr;
    m_Owner = nullptr;
}

void CJPopUpListBox::FitWidth()
{
    UpdateWidth();
    int32_t width = GetWidestText() + 2 * GetFontUnit() + 3;
    // The bar lies inside the list: without room of its own it would cover
    // the ends of the widest rows, which are the reason for this width.
    if (CJScrollBar* bar = GetScrollBar())
        width += bar->GetWidth();
    if (width != GetWidth())
        SetWidth(width);
}

void CJPopUpListBox::Draw(CFrameInterface& frame)
{
    if (!m_Transparent) {
        if (CFrame* skin = GetSkin()) {
            // The texture moves with the rows.
            TilePiece(frame, *skin, PixelRect(*skin), CRect{0, 0, GetWidth(), GetHeight()}, 0, -GetScrollOffset(),
                      GetNormalBlitType());
        }
    }
    DrawList(frame, true);
}

bool CJPopUpListBox::OnMouseDown(uint32_t button, CPoint point)
{
    m_PressedOnIt = false;
    if (button == 0 && !m_VisibleRect.ContainsPoint(point.x, point.y)) {
        if (m_Owner)
            m_Owner->Cancel(); // deletes this pop-up
        else
            RequestClose();
        return true;
    }
    const bool taken = CJListBox::OnMouseDown(button, point);
    // Only a press the list itself holds (not its scroll bar's) may choose.
    m_PressedOnIt = button == 0 && (GetHeldButtons() & 1u) != 0;
    return taken;
}

bool CJPopUpListBox::OnMouseUp(uint32_t button, CPoint point)
{
    const bool pressed = button == 0 && m_PressedOnIt && (GetHeldButtons() & 1u) != 0;
    const bool taken = CJListBox::OnMouseUp(button, point);
    if (!pressed)
        return taken;
    m_PressedOnIt = false;
    const int32_t row = GetSelectedRow();
    if (!m_VisibleRect.ContainsPoint(point.x, point.y) || row < 0 || row >= GetRowCount())
        return true;
    const SListBoxRow& shown = GetRow(row);
    if (shown.hasChildren) {
        if (shown.expanded)
            Collapse(row);
        else
            Expand(row);
        return true;
    }
    if (m_Owner)
        m_Owner->Choose(); // deletes this pop-up
    return true;
}

bool CJPopUpListBox::OnKeyDown(uint32_t key)
{
    if ((key == kKeyEnter || key == kKeyF4) && GetSelectedRow() >= 0 && m_Owner) {
        m_Owner->Choose();
        return true;
    }
    if (key == kKeyEscape && m_Owner) {
        m_Owner->Cancel();
        return true;
    }
    return CJListBox::OnKeyDown(key);
}

void CJPopUpListBox::SetFocus(bool focus)
{
    CJListBox::SetFocus(focus);
    // Deferred: the focus moves while the parent rotates its ring.
    if (!focus && !m_Expanding && !IsCloseRequested())
        RequestClose();
}

void CJPopUpListBox::NotifyParent(int32_t code)
{
    if (m_Owner)
        m_Owner->OnNotify(this, code);
}

void CJPopUpListBox::Expand(int32_t row)
{
    const bool wasExpanding = m_Expanding;
    m_Expanding = true;
    CJListBox::Expand(row);
    SetVisibleRows(GetRequestedVisibleRows());
    FitWidth();
    if (CJWindow* root = m_Parent) {
        const int32_t rootBottom = root->GetScreenRect().bottom;
        if (m_ScreenRect.bottom > rootBottom) {
            const int32_t top = std::max(root->GetScreenRect().top, rootBottom - GetHeight());
            const CPoint at = root->ScreenToClient(CPoint{m_ScreenRect.left, top});
            MoveTo(at.x, at.y);
        }
    }
    m_Expanding = wasExpanding;
}

// ---- Combo box ------------------------------------------------------------------

CJComboBox::CJComboBox(CJWindow* parent, CVirtualArray* source, int32_t widthUnits, CListBoxFilter* filter)
    : CJWindow(parent)
{
    Construct(source, nullptr, filter, widthUnits);
}

CJComboBox::CJComboBox(CJWindow* parent, CVirtualTree* tree, int32_t widthUnits, CListBoxFilter* filter)
    : CJWindow(parent)
{
    Construct(nullptr, tree, filter, widthUnits);
}

CJComboBox::~CJComboBox()
{
    DeletePopUp();
}

void CJComboBox::Construct(CVirtualArray* source, CVirtualTree* tree, CListBoxFilter* filter, int32_t widthUnits)
{
    m_TabStop = true;
    m_DrawOutline = true;
    const int32_t unit = std::max(1, GetFontUnit());
    m_RequestedWidth = WidthUnitsToPixels(widthUnits, unit);
    // The members are set once both children are in: until then SetRect
    // (called as the box grows around them) must not lay them out.
    CJButton* button = CreateDropDownButton();
    const int32_t listUnits = std::max(0, m_RequestedWidth - (button ? button->GetWidth() : 0)) / unit;
    // Children sit flush; the box grows around them without a margin.
    SetEdgeMargin(0);
    const SPlace flush{.dx = 0, .dy = 0, .flags = kPlacePixels | kPlaceGrowNoMargin};
    CJListBox& list = tree ? Add<CJListBox>(flush, tree, filter, listUnits, 1)
                           : Add<CJListBox>(flush, source, filter, listUnits, 1);
    list.SetTabStop(false);
    list.SetDrawOutline(false);
    list.SetNoIndent(true);
    list.SetNoIcons(true);
    if (button) {
        // One font unit to the left: over the list's last column.
        AddChild(button, EPlace::RightOf, &list, -1, 0, kPlaceGrowNoMargin);
        button->Place(EPlace::RightOf, &list, -1, 0, kPlaceGrowNoMargin);
    }
    m_List = &list;
    m_Button = button;
    CJWindow::BringChildToFront(m_List);
}

CJButton* CJComboBox::CreateDropDownButton()
{
    const char16_t title[] = {char16_t(0x25BC), 0};
    auto* button = new CJButton(this, CJString(title));
    button->SetTabStop(false);
    button->SetDrawOutline(false);
    return button;
}

int32_t CJComboBox::GetSelectedItem() const
{
    return m_List ? m_List->GetSelectedItem() : -1;
}

CJString CJComboBox::GetSelectedText() const
{
    return m_List ? m_List->GetSelectedText() : CJString();
}

CVirtualArray* CJComboBox::GetList() const
{
    return m_List ? m_List->GetSource() : nullptr;
}

void CJComboBox::SelectItem(int32_t item, bool silent)
{
    if (m_List)
        m_List->SelectItem(item, silent);
}

void CJComboBox::Open()
{
    if (m_PopUp || !m_List)
        return;
    CJWindow* root = GetRootWindow();
    if (!root || root == this)
        return;
    m_RememberedItem = m_List->GetSelectedItem();

    CVirtualTree* tree = m_List->GetTree();
    auto* popUp = tree ? new CJPopUpListBox(*this, tree, m_List->GetFilter())
                       : new CJPopUpListBox(*this, m_List->GetSource(), m_List->GetFilter());
    popUp->SetNoIndent(!m_PopUpIndent);
    m_PopUp = popUp;
    int32_t rows = popUp->GetRowCount();
    if (tree && popUp->IsTreeMode() && CountTreeItems(*tree, tree->GetRoot(), kSmallTreeItems) >= kSmallTreeItems)
        rows += kTreeExtraRows;
    popUp->SetVisibleRows(std::min(rows, kPopUpMostRows));
    popUp->FitWidth();

    // Below the box; above it when the screen ends first; else at the bottom.
    const CRect& rootRect = root->GetScreenRect();
    int32_t top = m_ScreenRect.bottom;
    if (top + popUp->GetHeight() > rootRect.bottom) {
        top = m_ScreenRect.top - popUp->GetHeight();
        if (top < rootRect.top)
            top = rootRect.bottom - popUp->GetHeight();
    }
    root->AddChild(popUp, {.dx = 0, .dy = 0, .flags = kPlaceNoGrow | kPlacePixels});
    const CPoint at = root->ScreenToClient(CPoint{m_ScreenRect.left, top});
    popUp->MoveTo(at.x, at.y);
    // It takes every press while open, so a press outside reaches it.
    popUp->SetModal(true);
    root->BringChildToFront(popUp);

    // The old item in the middle of the rows, at once, without a glide.
    popUp->SelectItem(m_RememberedItem, true);
    const int32_t visible = popUp->GetVisibleRows();
    const int32_t first
        = std::clamp(popUp->GetSelectedRow() - visible / 2, 0, std::max(0, popUp->GetRowCount() - visible));
    popUp->ScrollTo(first * popUp->GetRowHeight());
}

void CJComboBox::DeletePopUp()
{
    CJPopUpListBox* popUp = m_PopUp;
    if (!popUp)
        return;
    m_PopUp = nullptr;
    popUp->m_Owner = nullptr;
    popUp->Destroy();
}

void CJComboBox::BringSelfToFront()
{
    if (m_Parent)
        m_Parent->BringChildToFront(this);
}

void CJComboBox::Choose()
{
    if (m_PopUp && m_List)
        m_List->SelectItem(m_PopUp->GetSelectedItem(), false);
    DeletePopUp();
    BringSelfToFront();
    NotifyParent(kNotifyClicked);
}

void CJComboBox::Cancel()
{
    DeletePopUp();
    if (m_List)
        m_List->SelectItem(m_RememberedItem, false);
    BringSelfToFront();
}

bool CJComboBox::OnMouseDown(uint32_t button, CPoint point)
{
    if (button == 0 && m_OpenOnRowPress && m_List && m_List->GetVisibleRect().ContainsPoint(point.x, point.y)) {
        Open();
        return true;
    }
    return CJWindow::OnMouseDown(button, point);
}

bool CJComboBox::OnMouseUp(uint32_t button, CPoint point)
{
    const bool taken = CJWindow::OnMouseUp(button, point);
    if (m_Button && m_Button->ConsumeClicked())
        Open();
    return taken;
}

bool CJComboBox::OnKeyDown(uint32_t key)
{
    if (m_PopUp) {
        if (key == kKeyEnter) {
            DeletePopUp();
            CJWindow::BringChildToFront(m_List);
            return true;
        }
        return CJWindow::OnKeyDown(key);
    }
    if (key == kKeyF4) {
        Open();
        return true;
    }
    if (key == kKeyUpArrow || key == kKeyDownArrow) {
        Open();
        if (m_PopUp)
            m_PopUp->OnKeyDown(key);
        return true;
    }
    if (key == kKeyEnter && m_EnterNotifies) {
        NotifyParent(kNotifyClicked);
        return true;
    }
    return CJWindow::OnKeyDown(key);
}

void CJComboBox::OnNotify(CJWindow* sender, int32_t code)
{
    if (sender && sender == m_PopUp) {
        // The list follows the highlight; its own notice tells the parent.
        if (m_List)
            m_List->SelectItem(m_PopUp->GetSelectedItem(), false);
        return;
    }
    if (sender && sender == m_List) {
        NotifyParent(code);
        return;
    }
    // The drop-down button's clicks open the pop-up (OnMouseUp); they are
    // no choice of the parent's business.
    if (sender && sender == m_Button)
        return;
    CJWindow::OnNotify(sender, code);
}

void CJComboBox::SetRect(const CRect& rect)
{
    CJWindow::SetRect(rect);
    if (!m_List || !m_Button)
        return;
    const int32_t width = GetWidth(), height = GetHeight();
    const int32_t buttonWidth = m_Button->GetWidth();
    m_Button->SetRect(CRect{width - buttonWidth, 0, width, height});
    // One pixel under the button.
    const int32_t listWidth = width - buttonWidth + 1;
    if (listWidth > 4 && listWidth != m_List->GetWidth()) {
        const int32_t listHeight = m_List->GetRowHeight() + 2 * (GetFontUnit() + 1);
        m_List->SetSize(listWidth, listHeight);
    }
}

void CJComboBox::SetTitle(const CJString& title)
{
    if (m_List)
        m_List->SetTitle(title);
    else
        CJWindow::SetTitle(title);
}

const char* CJComboBox::GetTitleText() const
{
    return m_List ? m_List->GetTitleText() : CJWindow::GetTitleText();
}

const CJString& CJComboBox::GetTitle() const
{
    return m_List ? m_List->GetTitle() : CJWindow::GetTitle();
}

void CJComboBox::BringChildToFront(CJWindow*)
{
    CJWindow::BringChildToFront(m_List);
}

// ---- Pop-up menu ------------------------------------------------------------------

CJPopUpMenu::CJPopUpMenu(CJWindow* parent, CVirtualTree* tree, int32_t widthUnits, CListBoxFilter* filter)
    : CJComboBox(parent, tree, widthUnits, filter)
{
    m_OpenOnRowPress = true;
    m_PopUpIndent = true;
    if (m_List)
        m_List->SetNoIndent(false);
}
