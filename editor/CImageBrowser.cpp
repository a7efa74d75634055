#include "editor/CImageBrowser.h"

#include "blit/CFrameInterface.h"
#include "editor/CAssetDependencyBrowser.h"
#include "editor/EditorStartup.h"
#include "editor/ImageBrowserItems.h"
#include "foundation/CCommand.h"
#include "foundation/CVirtualTree.h"
#include "foundation/MillisecondClock.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CNewFileOptions.h"
#include "objects/CObjectFileArray.h"
#include "objects/CObjectModelHost.h"
#include "render/COpacityProxyFrame.h"
#include "render/CScaledOffsetProxyFrame.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "ui/CJEdit.h"
#include "ui/CJMenu.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr uint32_t kGridKeyPrevious1 = 6;
constexpr uint32_t kGridKeyPrevious2 = 11;
constexpr uint32_t kGridKeyNext1 = 10;
constexpr uint32_t kGridKeyNext2 = 12;

constexpr uint32_t kGridKeyContextMenu = 18;
constexpr float kDragOpacity = 0.65f;

constexpr uint32_t kScanLeftCtrl = 29;
constexpr uint32_t kScanRightCtrl = 285;
constexpr uint32_t kScanLeftAlt = 56;
constexpr uint32_t kScanRightAlt = 312;

CFont* FindFont(const char* name)
{
    CFontList& fonts = GetFontList();
    const int32_t index = fonts.Find(name);
    return index >= 0 ? dynamic_cast<CFont*>(fonts.GetItemObject(index)) : nullptr;
}

CFont* PlaceholderFont()
{
    if (CFont* font = FindFont("Character Dialog"))
        return font;
    if (CFont* font = FindFont("Med Gold"))
        return font;
    CFontList& fonts = GetFontList();
    return fonts.GetCount() > 1 ? dynamic_cast<CFont*>(fonts.GetItemObject(1)) : nullptr;
}

// Folder images are looked up softly: a data set without them shows empty
// folder cells rather than stopping the editor.
CFrame* FindEditorImage(const char* name)
{
    CFrameList& images = GetFrameLibrary();
    const int32_t index = images.Find(name);
    return index >= 0 ? dynamic_cast<CFrame*>(images.GetItemObject(index)) : nullptr;
}

int32_t CountWrappedLines(CFont* font, const CJString& text, int32_t width)
{
    if (!font || text.GetLength() == 0)
        return 1;
    const CJString wrapped = font->WrapText(text, width, TrailingSpaces::Cut);
    int32_t lines = 1;
    for (int32_t i = 0; i < wrapped.GetLength(); ++i)
        if (wrapped.GetAt(i) == u'\n')
            ++lines;
    return lines;
}

} // namespace

CImageBrowser::CImageBrowser(CJWindow* parent)
    : CJWindow(parent, "Image Browser Window")
    , m_Factory(&CreateNoImageBrowserItem)
    , m_DropSource(parent)
{
    // Large lists run far below the view: bar and wheel reach every row.
    EnableScrollBars(true);
}

CImageBrowser::~CImageBrowser()
{
    // Neither may call back into a browser that is gone.
    if (m_ContextMenu)
        m_ContextMenu->Destroy();
    if (m_NewAssetDialog)
        m_NewAssetDialog->Destroy();
}

void CImageBrowser::SetTree(CVirtualTree* tree, ImageBrowserItemFactory factory)
{
    ClearCells();
    m_Tree = tree;
    m_Factory = factory ? factory : &CreateNoImageBrowserItem;
    CVirtualArray* list = tree ? tree->GetSourceArray() : nullptr;
    m_NewFileOptions.reset(list ? list->GetNewFileOptions() : nullptr);
}

void CImageBrowser::ClearCells()
{
    m_Cells.clear();
    m_Selected = -1;
    m_Hovered = -1;
    m_LoadPending = false;
    m_DragStarted = false;
    SetScrollPosition(0, 0);
    m_RelayoutNeeded = true;
}

CFont* CImageBrowser::GetCaptionFont() const
{
    if (CFont* font = FindFont("Small Gold"))
        return font;
    return GetFont();
}

void CImageBrowser::InitCell(SImageBrowserCell& cell) const
{
    CRect bounds{0, 0, 0, 0};
    if (cell.bridge)
        cell.bridge->GetBounds(bounds);
    if (bounds.left >= bounds.right)
        bounds = CRect{0, 0, 0, 0};
    // A full-screen frame at full size would fill the grid and push every
    // cell after it out of reach. A row without an image has no height and
    // keeps its width: its caption stands on one line.
    cell.imageScale = 1.0f;
    const int32_t largest = std::max(bounds.right - bounds.left, bounds.bottom - bounds.top);
    if (largest > kLargestThumbnailSide && bounds.bottom > bounds.top) {
        const float scale = float(kLargestThumbnailSide) / float(largest);
        cell.imageScale = scale;
        bounds = CRect{int32_t(std::floor(float(bounds.left) * scale)), int32_t(std::floor(float(bounds.top) * scale)),
                       int32_t(std::ceil(float(bounds.right) * scale)), int32_t(std::ceil(float(bounds.bottom) * scale))};
    }
    const int32_t width = bounds.right - bounds.left;
    if (width < kMinimumCellWidth) {
        const int32_t half = (kMinimumCellWidth - width) / 2;
        bounds.left -= half;
        bounds.right += half;
    }
    bounds.left -= 2;
    bounds.top -= 2;
    bounds.right += 2;
    bounds.bottom += 2;
    cell.width = bounds.right - bounds.left;
    CFont* font = GetCaptionFont();
    cell.lineCount = CountWrappedLines(font, cell.caption, cell.width);
    const int32_t pointSize = font ? font->GetPointSize() : 0;
    cell.height = pointSize * cell.lineCount + (bounds.bottom - bounds.top);
    cell.imageOrigin = CPoint{-bounds.left, -bounds.top};
    cell.rowOffset = 0;
}

void CImageBrowser::LayOut(int32_t clientWidth)
{
    // Rows taller than the view make room for the vertical bar, so that no
    // cell lies under it.
    LayOutRows(clientWidth);
    if (GetScroll() && GetScroll()->contentHeight > GetHeight())
        LayOutRows(clientWidth - kScrollBarThickness);
}

void CImageBrowser::LayOutRows(int32_t clientWidth)
{
    m_RelayoutNeeded = false;
    const int32_t border = GetBorderWidth();
    const int32_t limit = clientWidth - border;
    int32_t x = border;
    int32_t rowTop = border;
    int32_t rowHeight = 0;
    size_t rowStart = 0;
    int32_t widest = 0;
    auto closeRow = [&](size_t end) {
        for (size_t i = rowStart; i < end; ++i) {
            SImageBrowserCell& cell = *m_Cells[i];
            cell.rowOffset = rowHeight - cell.height;
            cell.rect.bottom = rowTop + rowHeight;
        }
    };
    for (size_t i = 0; i < m_Cells.size(); ++i) {
        SImageBrowserCell& cell = *m_Cells[i];
        if (i > rowStart && x + cell.width > limit) {
            closeRow(i);
            rowTop += rowHeight;
            rowHeight = 0;
            x = border;
            rowStart = i;
        }
        cell.rect = CRect{x, rowTop, x + cell.width, rowTop + cell.height};
        x += cell.width;
        rowHeight = std::max(rowHeight, cell.height);
        widest = std::max(widest, cell.rect.right);
    }
    closeRow(m_Cells.size());
    SetScrollSize(widest, rowTop + rowHeight + border);
}

void CImageBrowser::AddFolderCell(int32_t node, const char* imageName)
{
    auto cell = std::make_unique<SImageBrowserCell>();
    cell->folder = true;
    cell->node = node;
    cell->caption = m_Tree->GetName(node);
    cell->bridge = std::make_unique<CFrameImageBrowserItemBridge>(m_Tree->GetSourceArray(), 0,
                                                                  FindEditorImage(imageName));
    InitCell(*cell);
    m_Cells.push_back(std::move(cell));
}

void CImageBrowser::AddItemCell(int32_t node)
{
    CVirtualArray* list = m_Tree->GetSourceArray();
    // An empty folder has no children either; only real entries become items.
    if (!list || node < 0 || node >= list->GetCount())
        return;
    auto cell = std::make_unique<SImageBrowserCell>();
    cell->node = node;
    cell->caption = m_Tree->GetName(node);
    if (!list->IsItemLoaded(node) && m_Factory != &CreateNoImageBrowserItem) {
        cell->bridge = std::make_unique<CTextImageBrowserItemBridge>(list, uint32_t(node), CJString("Not Loaded"),
                                                                     PlaceholderFont());
        cell->notLoaded = true;
        m_LoadPending = true;
        m_NextLoadTime = MillisecondClock() + kFirstLoadDelayMs;
    } else {
        cell->bridge = m_Factory(list, uint32_t(node));
    }
    InitCell(*cell);
    m_Cells.push_back(std::move(cell));
}

void CImageBrowser::AddItemsBelow(int32_t node)
{
    const int32_t count = m_Tree->GetChildCount(node);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t child = m_Tree->GetChild(node, i);
        if (m_Tree->GetChildCount(child) > 0)
            AddItemsBelow(child);
        else
            AddItemCell(child);
    }
}

void CImageBrowser::ShowFolder(int32_t node, bool add, bool allItems)
{
    if (!add)
        ClearCells();
    if (!m_Tree)
        return;
    if (allItems) {
        AddItemsBelow(node);
    } else {
        if (node != m_Tree->GetRoot())
            AddFolderCell(m_Tree->GetParent(node), "Parent Folder");
        const int32_t count = m_Tree->GetChildCount(node);
        for (int32_t i = 0; i < count; ++i) {
            const int32_t child = m_Tree->GetChild(node, i);
            if (m_Tree->GetChildCount(child) > 0)
                AddFolderCell(child, "Large Folder");
        }
        m_CurrentFolderPath = m_Tree->GetPath(node);
        for (int32_t i = 0; i < count; ++i) {
            const int32_t child = m_Tree->GetChild(node, i);
            if (m_Tree->GetChildCount(child) == 0)
                AddItemCell(child);
        }
    }
    LayOut(GetWidth());
}

void CImageBrowser::ShowFolderForHeldKeys(int32_t node)
{
    const CKeyboardState& keys = CKeyboardState::SGetInstance();
    const bool ctrl = keys.IsKeyDown(kScanLeftCtrl) || keys.IsKeyDown(kScanRightCtrl);
    const bool alt = keys.IsKeyDown(kScanLeftAlt) || keys.IsKeyDown(kScanRightAlt);
    ShowFolder(node, ctrl, alt);
}

int32_t CImageBrowser::CellAt(CPoint contentPoint) const
{
    for (size_t i = 0; i < m_Cells.size(); ++i)
        if (m_Cells[i]->rect.ContainsPoint(contentPoint.x, contentPoint.y))
            return int32_t(i);
    return -1;
}

void CImageBrowser::Select(int32_t index)
{
    if (index < -1 || index >= GetCellCount())
        index = -1;
    m_Selected = index;
    if (index >= 0) {
        const CRect& rect = m_Cells[size_t(index)]->rect;
        if (rect.top < GetScrollOffsetY() || rect.bottom > GetScrollOffsetY() + GetViewHeight())
            SetScrollY(rect.top);
        if (m_Cells[size_t(index)]->notLoaded)
            LoadCell(index);
    }
    NotifyParent(1);
}

int32_t CImageBrowser::GetSelectedItem() const
{
    if (m_Selected < 0 || m_Cells[size_t(m_Selected)]->folder)
        return -1;
    return m_Cells[size_t(m_Selected)]->node;
}

bool CImageBrowser::HasPlaceholders() const
{
    return std::any_of(m_Cells.begin(), m_Cells.end(), [](const auto& cell) { return cell->notLoaded; });
}

void CImageBrowser::SetAutoLoad(bool on)
{
    m_AutoLoad = on;
    if (on && HasPlaceholders()) {
        m_LoadPending = true;
        m_NextLoadTime = MillisecondClock();
    }
}

void CImageBrowser::LoadCell(int32_t index)
{
    if (index < 0 || index >= GetCellCount() || !m_Cells[size_t(index)]->notLoaded || !m_Tree)
        return;
    SImageBrowserCell& cell = *m_Cells[size_t(index)];
    CVirtualArray* list = m_Tree->GetSourceArray();
    const uint64_t start = MillisecondClock();
    if (auto* objects = dynamic_cast<CObjectFileArray*>(list))
        objects->GetItemObject(cell.node);
    else
        list->TouchItem(cell.node);
    cell.bridge = m_Factory(list, uint32_t(cell.node));
    cell.notLoaded = false;
    InitCell(cell);
    m_RelayoutNeeded = true;
    const uint64_t now = MillisecondClock();
    m_LoadPending = true;
    m_NextLoadTime = now + std::min<uint64_t>(2 * (now - start), kLongestLoadDelayMs);
}

void CImageBrowser::LoadNextPlaceholder()
{
    auto isPlaceholder = [this](int32_t i) { return i >= 0 && i < GetCellCount() && m_Cells[size_t(i)]->notLoaded; };
    if (isPlaceholder(m_Selected)) {
        LoadCell(m_Selected);
        return;
    }
    if (isPlaceholder(m_Hovered)) {
        LoadCell(m_Hovered);
        return;
    }
    for (int32_t i = 0; i < GetCellCount(); ++i)
        if (m_Cells[size_t(i)]->notLoaded) {
            LoadCell(i);
            return;
        }
}

void CImageBrowser::LoadAll()
{
    for (int32_t i = 0; i < GetCellCount(); ++i)
        LoadCell(i);
    if (m_RelayoutNeeded)
        LayOut(GetWidth());
}

void CImageBrowser::Update(float seconds)
{
    CJWindow::Update(seconds);
    if (m_LoadPending && MillisecondClock() >= m_NextLoadTime) {
        m_LoadPending = false;
        if (m_AutoLoad)
            LoadNextPlaceholder();
    }
    for (auto& cell : m_Cells)
        if (cell->bridge)
            cell->bridge->Update(seconds);
    if (m_RelayoutNeeded)
        LayOut(GetWidth());
}

bool CImageBrowser::IsUnderMouse(CPoint mouse)
{
    if (!IsShownOnScreen() || !GetVisibleRect().ContainsPoint(mouse.x, mouse.y))
        return false;
    // A window in front of the grid (a menu, a dialog) takes the hover:
    // the front-most window under the mouse, level by level, must be the
    // grid or one of its ancestors all the way down.
    CJWindow* window = GetRootWindow();
    while (window && window != this) {
        CJWindow* under = nullptr;
        for (CJWindow* child = window->GetFirstChild(); child && !under; child = child->GetNextSibling())
            if (child->IsVisible() && child->GetVisibleRect().ContainsPoint(mouse.x, mouse.y))
                under = child;
        window = under;
    }
    return window == this;
}

void CImageBrowser::Draw(CFrameInterface& frame)
{
    const CMouseState& mouse = CMouseState::SGetInstance();
    const CPoint mousePoint = mouse.GetPositionPoint();
    const bool hover = mouse.GetButtons() != 1u && IsUnderMouse(mousePoint);
    m_Hovered = -1;
    CFont* font = GetCaptionFont();
    const int32_t pointSize = font ? font->GetPointSize() : 0;
    // The target holds this window's content coordinates, as the cells do.
    const CRect& screen = GetScreenRect();
    const CPoint toContent{GetScrollOffsetX() - screen.left, GetScrollOffsetY() - screen.top};
    const CPoint mouseContent{mousePoint.x + toContent.x, mousePoint.y + toContent.y};
    // Cells out of view are left out: animated thumbnails redraw themselves
    // only when drawn.
    const CRect view{GetScrollOffsetX(), GetScrollOffsetY(), GetScrollOffsetX() + GetWidth(),
                     GetScrollOffsetY() + GetHeight()};
    for (size_t i = 0; i < m_Cells.size(); ++i) {
        SImageBrowserCell& cell = *m_Cells[i];
        const CRect& r = cell.rect;
        if (r.right <= view.left || r.left >= view.right || r.bottom <= view.top || r.top >= view.bottom)
            continue;
        if (int32_t(i) == m_Selected) {
            const int32_t inset = pointSize / 5;
            frame.FillRect(CRect{r.left + inset, r.top + inset, r.right - inset, r.bottom - inset}, m_Highlight);
        }
        if (hover && r.ContainsPoint(mouseContent.x, mouseContent.y)) {
            DrawBevelBox(GetFont(), frame, r, true, 15, false);
            m_Hovered = int32_t(i);
        }
        if (cell.bridge) {
            const CPoint image{r.left + cell.imageOrigin.x, r.top + cell.rowOffset + cell.imageOrigin.y};
            if (cell.imageScale < 1.0f) {
                CScaledOffsetProxyFrame shrunk(&frame);
                shrunk.SetCentre(float(image.x), float(image.y));
                shrunk.Set(cell.imageScale, 0.0f, 0.0f);
                cell.bridge->Draw(shrunk, image);
            } else {
                cell.bridge->Draw(frame, image);
            }
        }
        if (!font)
            continue;
        if (cell.width < 1000)
            font->DrawWrappedText(&frame, r.left + cell.width / 2, r.bottom - pointSize * cell.lineCount - 1, cell.caption, cell.width,
                                  0, TextAlign::Centre);
        else
            font->DrawText(frame, r.left, r.bottom - pointSize - 2, cell.caption);
    }
    // The scroll bars over the cells, the dragged image over both.
    CJWindow::Draw(frame);
    // The dragged image hangs by its hot spot from the pointer, where a drop
    // puts it.
    if (IsDragging() && m_Cells[size_t(m_Selected)]->bridge) {
        COpacityProxyFrame faded(&frame, kDragOpacity);
        m_Cells[size_t(m_Selected)]->bridge->Draw(faded, CPoint{m_DragPoint.x + toContent.x, m_DragPoint.y + toContent.y});
    }
}

bool CImageBrowser::OnMouseDown(uint32_t button, CPoint point)
{
    if (button > 1)
        return CJWindow::OnMouseDown(button, point);
    for (CJWindow* child = GetFirstChild(); child; child = child->GetNextSibling())
        if (child->IsVisible() && child->GetVisibleRect().ContainsPoint(point.x, point.y))
            return CJWindow::OnMouseDown(button, point);
    const CPoint client = ScreenToClient(point);
    const CPoint content{client.x + GetScrollOffsetX(), client.y + GetScrollOffsetY()};
    m_DragStarted = false;
    m_DragMoved = CPoint{0, 0};
    Select(CellAt(content));
    if (button == 1) {
        OpenContextMenu();
        return true;
    }
    // The press becomes a hold, so that a drag of the selected item follows.
    CJWindow::OnMouseDown(button, point);
    return true;
}

bool CImageBrowser::OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag)
{
    if (button == 0 && m_Selected >= 0) {
        NotifyParent(kNotifyClicked);
        return true;
    }
    return CJWindow::OnMouseDoubleClick(button, point, flag);
}

bool CImageBrowser::IsDragging() const
{
    if (!m_DragEnabled || !m_DragStarted || m_Selected < 0 || m_Cells[size_t(m_Selected)]->folder)
        return false;
    const int64_t x = m_DragMoved.x;
    const int64_t y = m_DragMoved.y;
    return x * x + y * y >= kDragThresholdSquared;
}

bool CImageBrowser::OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*&)
{
    if (!m_DragEnabled || (buttons & 1u) == 0 || m_Selected < 0)
        return false;
    m_DragStarted = true;
    m_DragPoint = point;
    m_DragMoved.x += movement.x;
    m_DragMoved.y += movement.y;
    return true;
}

void CImageBrowser::OnMouseRelease(CPoint point, uint32_t buttons)
{
    CJWindow::OnMouseRelease(point, buttons);
    const bool drop = IsDragging();
    m_DragStarted = false;
    m_DragMoved = CPoint{0, 0};
    if (!drop)
        return;
    CJWindow* source = m_DropSource ? m_DropSource : this;
    if (source->GetScreenRect().ContainsPoint(point.x, point.y))
        return;
    CBrowserItemDroppedMessage message(source, point);
    if (CJWindow* root = GetRootWindow())
        root->ForwardToChildren(message);
}

bool CImageBrowser::OnKeyDown(uint32_t key)
{
    if (CJWindow::OnKeyDown(key))
        return true;
    if (key == kGridKeyContextMenu) {
        OpenContextMenu();
        return true;
    }
    if (m_Cells.empty())
        return false;
    const int32_t last = GetCellCount() - 1;
    switch (key) {
    case kGridKeyPrevious1:
    case kGridKeyPrevious2:
        if (m_Selected != 0)
            Select(m_Selected < 0 ? 0 : m_Selected - 1);
        return true;
    case kGridKeyNext1:
    case kGridKeyNext2:
        if (m_Selected != last)
            Select(m_Selected < 0 ? last : m_Selected + 1);
        return true;
    case kKeyEnter:
        NotifyParent(0);
        return true;
    default:
        return false;
    }
}

// ---- Context menu -------------------------------------------------------------------

void CImageBrowser::OpenSelected()
{
    if (m_Selected >= 0)
        NotifyParent(kNotifyClicked);
}

bool CImageBrowser::HasSelection()
{
    return m_Selected >= 0;
}

void CImageBrowser::BrowseSelectedDependencies()
{
    CJWindow* root = GetRootWindow();
    if (m_Selected < 0 || !m_Tree || root == this)
        return;
    const SImageBrowserCell& cell = *m_Cells[size_t(m_Selected)];
    if (cell.folder)
        return;
    root->AddFirst<CAssetDependencyBrowserWindow>(kAsIsNoGrow).SelectListItem(m_Tree->GetSourceArray(), cell.node);
}

void CImageBrowser::OpenContextMenu()
{
    CJWindow* root = GetRootWindow();
    if (root == this || m_ContextMenu)
        return;
    CObjectModelHost& host = CObjectModelHost::SGetInstance();
    auto* menu = new CJPullDownMenu(this);
    using CGridCommand = CObjectFunctionCommand<CImageBrowser>;
    menu->AddItem(new CJTextMenuItem(menu, "Open", new CGridCommand(this, &CImageBrowser::OpenSelected,
                                                                    &CImageBrowser::HasSelection)));
    if (host.IsNamedOptionSet("Brows Asset Dependencies"))
        menu->AddItem(new CJTextMenuItem(menu, "Brows Asset Dependencies",
                                         new CGridCommand(this, &CImageBrowser::BrowseSelectedDependencies,
                                                          &CImageBrowser::HasSelection)));
    if (m_NewFileOptions && host.IsNamedOptionSet("Create New Asset")) {
        CJString title("Create new ");
        title.Append(m_NewFileOptions->m_ClassName);
        menu->AddItem(new CJTextMenuItem(menu, title, new CGridCommand(this, &CImageBrowser::OpenNewAssetDialog)));
    }
    menu->Add<CCloseNotification>(kAsIsNoGrow, new CGridCommand(this, &CImageBrowser::ForgetContextMenu));
    m_ContextMenu = menu;
    root->AddChildFirst(menu, {EPlace::AtMouse, nullptr, 0, 0, kPlaceNoGrow | kPlacePixels});
}

void CImageBrowser::ForgetContextMenu()
{
    m_ContextMenu = nullptr;
}

void CImageBrowser::OpenNewAssetDialog()
{
    CJWindow* root = GetRootWindow();
    CVirtualArray* list = m_Tree ? m_Tree->GetSourceArray() : nullptr;
    if (root == this || !list || m_NewAssetDialog)
        return;
    // Fresh options per dialog: the grid's own are replaced whenever the
    // tree is, which the creation itself does.
    std::unique_ptr<CNewFileOptions> options(list->GetNewFileOptions());
    if (!options)
        return;
    options->m_Location = m_CurrentFolderPath;
    options->m_Title.Set("Create new ");
    options->m_Title.Append(options->m_ClassName);
    options->SetCreatedCommand(new CObjectFunctionCommand<CImageBrowser>(this, &CImageBrowser::OnNewAssetCreated));
    CJWindow* dialog = options->CreateDialog(this);
    if (!dialog)
        return;
    m_DialogOptions = std::move(options);
    dialog->Add<CCloseNotification>(
        kAsIsNoGrow, new CObjectFunctionCommand<CImageBrowser>(this, &CImageBrowser::ForgetNewAssetDialog));
    m_NewAssetDialog = dialog;
    dialog->SetModal(true);
    root->AddChildFirst(dialog, {.code = EPlace::Centred, .flags = kPlaceNoGrow});
}

void CImageBrowser::ForgetNewAssetDialog()
{
    m_NewAssetDialog = nullptr;
    m_DialogOptions.reset();
}

void CImageBrowser::OnNewAssetCreated()
{
    CVirtualArray* list = m_Tree ? m_Tree->GetSourceArray() : nullptr;
    if (!list || !m_DialogOptions)
        return;
    const int32_t item = list->AddItemFromNewFileOptions(*m_DialogOptions);
    if (item < 0) {
        // The dialog accepted the name; the list still may refuse to write.
        CJString text("Could not create ");
        text.Append(m_DialogOptions->m_RelativePath);
        ShowMessageBox(CJString("Error"), text);
        return;
    }
    if (m_ItemCreated)
        m_ItemCreated(item);
}
