#pragma once
// Menu bars, pull-down menus and their items.
//
// An item runs its command or opens its sub-menu. A sub-menu belongs to its
// item and is only lent to the window tree while open: opening moves it
// from the item's m_SubMenu into the tree (m_OpenSubMenu on the item,
// m_OwnerItem on the menu); Close hands it back instead of destroying it,
// so reopening shows the same object. Choosing an item closes the whole
// chain of open menus.
//
// A pull-down menu is modal: it takes every press, and a press outside it
// closes it without reaching the window below.

#include "ui/CJWindow.h"

#include <cstdint>

class CCommand;
class CJMenu;

class CJMenuItem : public CJWindow {
public:
    explicit CJMenuItem(CJWindow* parent);
    CJMenuItem(CJWindow* parent, const CJString& title);
    // Deletes the command and the sub-menu it holds; an open sub-menu
    // forgets its owner.
    ~CJMenuItem() override;

    // ---- CJWindow ---------------------------------------------------------
    bool OnHotKeyActivate() override;
    // Enabled as the command answers, when it has a test.
    void UpdateEnabledState() override;
    // The children first; then the closed sub-menu is offered the key.
    bool OnHotKey(uint32_t key) override;
    // Over the item (and a tab stop): highlighted, and raised in its menu.
    bool OnMouseMove(CPoint point, CPoint movement, CCursorSequence*& cursor) override;
    bool OnMouseDown(uint32_t button, CPoint point) override;
    bool OnMouseUp(uint32_t button, CPoint point) override;
    // With the arrow flag, the sub-menu arrow at the right.
    void Draw(CFrameInterface& frame) override;

    // ---- Item -------------------------------------------------------------
    virtual void CloseParentMenu();
    virtual bool IsSeparator() const { return false; }

    // Runs the command (closing the menus) or opens the sub-menu.
    void Activate();
    // Takes the menu (deleting one held before).
    void SetSubMenu(CJMenu* menu, bool showArrow);
    // Takes the command (deleting one held before).
    void SetCommand(CCommand* command);
    CCommand* GetCommand() const { return m_Command; }
    // The closed sub-menu (null while open).
    CJMenu* GetSubMenu() const { return m_SubMenu; }
    CJMenu* GetOpenSubMenu() const { return m_OpenSubMenu; }
    bool IsHighlighted() const { return m_Highlighted; }
    bool ShowsSubMenuArrow() const { return m_ShowSubMenuArrow; }

protected:
    bool m_Highlighted = false;
    CJMenu* m_OpenSubMenu = nullptr;
    CCommand* m_Command = nullptr;
    CJMenu* m_SubMenu = nullptr;
    bool m_ShowSubMenuArrow = false;

private:
    friend class CJMenu;
    // Buttons 0 and 1 over the focused, enabled item.
    bool IsActivatingClick(uint32_t button, CPoint point) const;
};

class CJTextMenuItem : public CJMenuItem {
public:
    // The item takes the command; hotKey 0 = none.
    CJTextMenuItem(CJWindow* parent, const CJString& text, CCommand* command, uint32_t hotKey = 0);
    CJTextMenuItem(CJWindow* parent, const char* text, CCommand* command, uint32_t hotKey = 0);

    // Sizes the item to the text.
    void SetTitle(const CJString& title) override;
    // Highlight (focused and hovered), the text, then the item drawing.
    void Draw(CFrameInterface& frame) override;

private:
    void Construct(CCommand* command, uint32_t hotKey);
    void SizeToTitle();
};

// A thin sunken line between groups of items.
class CSeparatorMenuItem : public CJMenuItem {
public:
    CSeparatorMenuItem();

    void Draw(CFrameInterface& frame) override;
    bool IsSeparator() const override { return true; }
};

class CJMenu : public CJWindow {
public:
    explicit CJMenu(CJWindow* parent);
    ~CJMenu() override;

    // ---- CJWindow ---------------------------------------------------------
    // Items refresh their enabled state first.
    void SetFocus(bool focus) override;
    // Each item from its command.
    void UpdateEnabledState() override;
    // A sub-menu goes back to its item instead of being destroyed.
    bool Close() override;
    bool OnKeyDown(uint32_t key) override;
    void Draw(CFrameInterface& frame) override;

    // ---- Menu -------------------------------------------------------------
    // Places and shows an opened sub-menu beside the item.
    virtual void OpenSubMenu(CJMenuItem* item, CJMenu* subMenu);
    // The menu takes the item.
    virtual void AddItem(CJMenuItem* item);
    // Closes this menu and, for a sub-menu, the menus above it.
    virtual bool CloseMenu();
    // An item without a sub-menu is about to run.
    virtual void OnItemChosen();

    // Adds a separator unless the menu is empty or ends with one.
    void AddSeparator();
    // The item whose sub-menu this menu is, while open.
    CJMenuItem* GetOwnerItem() const { return m_OwnerItem; }
    // Activates the front (focused) item; false without items.
    bool ActivateFrontItem();

protected:
    CJMenuItem* m_OwnerItem = nullptr;

private:
    friend class CJMenuItem;
    // Where a sub-menu opens: screen coordinates.
    void AddOpenSubMenu(CJMenu* subMenu, int32_t x, int32_t y);
};

// A horizontal row of items.
class CJMenuBar : public CJMenu {
public:
    explicit CJMenuBar(CJWindow* parent);

    bool OnMouseDown(uint32_t button, CPoint point) override;
    bool OnKeyDown(uint32_t key) override;
    void OpenSubMenu(CJMenuItem* item, CJMenu* subMenu) override;
    void AddItem(CJMenuItem* item) override;
    // The bar stays when the chain of open menus closes.
    bool CloseMenu() override;
};

// A vertical, modal list of items.
class CJPullDownMenu : public CJMenu {
public:
    explicit CJPullDownMenu(CJWindow* parent);

    bool OnKeyDown(uint32_t key) override;
    // Swallows every press; one outside the menu closes it.
    bool OnMouseDown(uint32_t button, CPoint point) override;
    void AddItem(CJMenuItem* item) override;
    void OnItemChosen() override;
};
