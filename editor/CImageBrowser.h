#pragma once
// The thumbnail grid of the image browser: one cell per folder or item of
// the selected tree node, laid out in rows that share their bottom line,
// with captions below the images. Items whose objects are not loaded yet
// show a placeholder and are loaded one at a time, paced by the time each
// load took, so browsing a large list keeps the editor responsive.

#include "blit/CColor.h"
#include "foundation/CJString.h"
#include "objects/CImageBrowserItemBridge.h"
#include "ui/CJWindow.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class CFont;
class CJWindow;
class CNewFileOptions;
class CVirtualTree;

struct SImageBrowserCell {
    std::unique_ptr<CImageBrowserItemBridge> bridge;
    bool folder = false;
    bool notLoaded = false;
    // Folder cells: the tree node they open; item cells: the item's node.
    int32_t node = -1;
    int32_t width = 0;
    int32_t height = 0;
    CPoint imageOrigin{0, 0};
    float imageScale = 1.0f; // below 1 for an image shrunk into its thumbnail
    CRect rect{0, 0, 0, 0};
    int32_t rowOffset = 0;
    int32_t lineCount = 0;
    CJString caption;
};

class CImageBrowser : public CJWindow {
public:
    static constexpr int32_t kMinimumCellWidth = 80;
    // Images larger on a side are drawn shrunk to it.
    static constexpr int32_t kLargestThumbnailSide = 256;
    static constexpr uint64_t kFirstLoadDelayMs = 1500;
    static constexpr uint64_t kLongestLoadDelayMs = 10000;
    // Squared pixels the mouse must move before a drag shows or drops.
    static constexpr int64_t kDragThresholdSquared = 16;

    explicit CImageBrowser(CJWindow* parent);
    ~CImageBrowser() override;

    // The tree browsed from now on and the factory of its items (null: the
    // no-image factory); the cells are cleared.
    void SetTree(CVirtualTree* tree, ImageBrowserItemFactory factory);
    CVirtualTree* GetTree() const { return m_Tree; }
    // The list's own new-file options (null when it makes no files).
    CNewFileOptions* GetNewFileOptions() const { return m_NewFileOptions.get(); }
    ImageBrowserItemFactory GetFactory() const { return m_Factory; }

    // Shows the folder node: with add, after the cells already shown; with
    // allItems, every item below the node and no folder cells.
    void ShowFolder(int32_t node, bool add, bool allItems);
    // As a folder pick does: Ctrl adds, Alt shows every item below.
    void ShowFolderForHeldKeys(int32_t node);
    // Empties the grid: no selection, hover or pending load.
    void ClearCells();

    // Sizes a cell from its bridge and caption.
    void InitCell(SImageBrowserCell& cell) const;
    // Flow layout in the given client width, less the vertical bar's when
    // the rows run below the view; sets the content size.
    void LayOut(int32_t clientWidth);

    int32_t GetCellCount() const { return int32_t(m_Cells.size()); }
    const SImageBrowserCell& GetCell(int32_t i) const { return *m_Cells[size_t(i)]; }
    // The cell under a point in content coordinates, or -1.
    int32_t CellAt(CPoint contentPoint) const;
    const CJString& GetCurrentFolderPath() const { return m_CurrentFolderPath; }

    // Selects (or, with -1, deselects), loads a placeholder at once and
    // notifies the parent with code 1.
    void Select(int32_t index);
    int32_t GetSelected() const { return m_Selected; }
    // The item index of the selected cell, or -1 for none or a folder.
    int32_t GetSelectedItem() const;

    // Loading placeholders.
    bool HasPlaceholders() const;
    bool IsLoadPending() const { return m_LoadPending; }
    uint64_t GetNextLoadTime() const { return m_NextLoadTime; }
    void SetAutoLoad(bool on);
    bool GetAutoLoad() const { return m_AutoLoad; }
    void LoadCell(int32_t index);
    void LoadAll();

    void SetDragEnabled(bool on) { m_DragEnabled = on; }
    // The window a drop must land outside of (the browser's frame window;
    // the parent by default).
    void SetDropSource(CJWindow* window) { m_DropSource = window; }

    // The cell drawn raised under the mouse at the last draw, or -1.
    int32_t GetHovered() const { return m_Hovered; }
    // The menu of the right button and key 18: "Open", "Brows Asset
    // Dependencies" and "Create new <type>" as the options allow.
    void OpenContextMenu();
    CJWindow* GetContextMenu() const { return m_ContextMenu; }
    // The new-file dialog the menu opened, while it is open.
    CJWindow* GetNewAssetDialog() const { return m_NewAssetDialog; }
    // Told the index of an item the menu's dialog made, once the list holds
    // it; the frame window shows it.
    void SetItemCreatedHandler(std::function<void(int32_t item)> handler) { m_ItemCreated = std::move(handler); }

    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;
    bool OnMouseDown(uint32_t button, CPoint point) override;
    bool OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag) override;
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override;
    void OnMouseRelease(CPoint point, uint32_t buttons) override;
    bool OnKeyDown(uint32_t key) override;

private:
    // Context menu commands.
    void OpenSelected();
    bool HasSelection();
    void BrowseSelectedDependencies();
    void OpenNewAssetDialog();
    void OnNewAssetCreated();
    void ForgetContextMenu();
    void ForgetNewAssetDialog();
    bool IsUnderMouse(CPoint mouse);
    void LayOutRows(int32_t clientWidth);
    void AddFolderCell(int32_t node, const char* imageName);
    void AddItemCell(int32_t node);
    void AddItemsBelow(int32_t node);
    void LoadNextPlaceholder();
    CFont* GetCaptionFont() const;
    bool IsDragging() const;

    std::vector<std::unique_ptr<SImageBrowserCell>> m_Cells;
    bool m_RelayoutNeeded = false;
    int32_t m_Selected = -1;
    int32_t m_Hovered = -1;
    CVirtualTree* m_Tree = nullptr;
    ImageBrowserItemFactory m_Factory = nullptr;
    CJString m_CurrentFolderPath;
    bool m_LoadPending = false;
    uint64_t m_NextLoadTime = 0;
    bool m_AutoLoad = true;
    bool m_DragEnabled = false;
    bool m_DragStarted = false;
    CPoint m_DragMoved{0, 0};
    CPoint m_DragPoint{0, 0};
    std::unique_ptr<CNewFileOptions> m_NewFileOptions;
    // The options the open dialog edits: they live as long as the dialog.
    std::unique_ptr<CNewFileOptions> m_DialogOptions;
    CJWindow* m_NewAssetDialog = nullptr;
    CJWindow* m_ContextMenu = nullptr;
    std::function<void(int32_t)> m_ItemCreated;
    CJWindow* m_DropSource = nullptr;
    CColor m_Highlight{101, 91, 85, 255};
};
