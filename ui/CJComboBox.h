#pragma once
// The combo box: the selected item of a source in a one-row list with a
// drop-down button beside it. Releasing the button (F4, Up or Down; for a
// pop-up menu a press anywhere on the row) opens a pop-up list over the
// whole screen, below the combo box, or above it when the screen ends
// first. The pop-up is modal and owns the keyboard while it lives:
//
//  - every highlight move is copied into the combo box's list at once, so
//    the combo box's parent hears kNotifyChanged at each move;
//  - Enter, F4 or a release on a row chooses: the pop-up goes and the
//    parent hears kNotifyClicked;
//  - Escape or a press outside the pop-up puts back the item that was
//    selected when it opened, and nobody hears a choice;
//  - losing the focus closes it, at the next update (the focus moves while
//    the window ring is being rotated, so it must not die there).
//
// The pop-up is always deleted on closing; the combo box deletes one that
// is still open when it dies, and either side forgets the other first.

#include "ui/CJListBox.h"
#include "ui/CJWindow.h"

#include <cstdint>

class CJButton;
class CJComboBox;

class CJPopUpListBox : public CJListBox {
public:
    // Rows from the owner's list source (or tree) and filter, as wide as the
    // widest row.
    CJPopUpListBox(CJComboBox& owner, CVirtualArray* source, CListBoxFilter* filter);
    CJPopUpListBox(CJComboBox& owner, CVirtualTree* tree, CListBoxFilter* filter);
    ~CJPopUpListBox() override;

    // The skin, scrolled with the rows, then the list with a raised bevel.
    void Draw(CFrameInterface& frame) override;
    bool OnMouseDown(uint32_t button, CPoint point) override;
    bool OnMouseUp(uint32_t button, CPoint point) override;
    bool OnKeyDown(uint32_t key) override;
    void SetFocus(bool focus) override;
    // To the owning combo box, not to the root window.
    void NotifyParent(int32_t code) override;
    // Grows to the new widest row and moves up to stay on the screen.
    void Expand(int32_t row) override;

    CJComboBox* GetOwner() const { return m_Owner; }

private:
    friend class CJComboBox;

    // As wide as the widest row, with room for the scroll bar beside it.
    void FitWidth();

    CJComboBox* m_Owner;
    bool m_Expanding = false;
    // A left press went to the pop-up itself; its release may choose.
    bool m_PressedOnIt = false;
};

class CJComboBox : public CJWindow {
public:
    // widthUnits: the wanted width in font units, button included. Neither
    // source, tree nor filter is owned.
    CJComboBox(CJWindow* parent, CVirtualArray* source, int32_t widthUnits, CListBoxFilter* filter = nullptr);
    CJComboBox(CJWindow* parent, CVirtualTree* tree, int32_t widthUnits, CListBoxFilter* filter = nullptr);
    ~CJComboBox() override;

    // ---- CJWindow ---------------------------------------------------------
    // A press on the row opens a pop-up menu.
    bool OnMouseDown(uint32_t button, CPoint point) override;
    // The release of the drop-down button opens.
    bool OnMouseUp(uint32_t button, CPoint point) override;
    // F4, Up and Down open (Up and Down then move the highlight); Enter
    // notifies kNotifyClicked when asked to.
    bool OnKeyDown(uint32_t key) override;
    void OnNotify(CJWindow* sender, int32_t code) override;
    // The button along the right edge at full height, the list under it.
    void SetRect(const CRect& rect) override;
    // Titles are the list's.
    void SetTitle(const CJString& title) override;
    const char* GetTitleText() const override;
    const CJString& GetTitle() const override;
    // Always brings the list.
    void BringChildToFront(CJWindow* child) override;

    // ---- Combo box --------------------------------------------------------
    virtual int32_t GetSelectedItem() const;
    virtual CJString GetSelectedText() const;
    // A button titled with a down-pointing triangle.
    virtual CJButton* CreateDropDownButton();

    // Nothing while a pop-up is open.
    void Open();
    bool IsOpen() const { return m_PopUp != nullptr; }
    CVirtualArray* GetList() const;
    void SelectItem(int32_t item, bool silent);
    void SetEnterNotifies(bool on) { m_EnterNotifies = on; }

    CJListBox* GetListBox() const { return m_List; }
    CJButton* GetButton() const { return m_Button; }
    CJPopUpListBox* GetPopUp() const { return m_PopUp; }
    int32_t GetRememberedItem() const { return m_RememberedItem; }

protected:
    friend class CJPopUpListBox;

    // The pop-up's choice: it goes, the combo box comes to the front and
    // its parent hears kNotifyClicked.
    void Choose();
    // Escape or a press outside: it goes and the old item comes back.
    void Cancel();
    void DeletePopUp();
    void BringSelfToFront();
    void Construct(CVirtualArray* source, CVirtualTree* tree, CListBoxFilter* filter, int32_t widthUnits);

    CJListBox* m_List = nullptr;
    CJPopUpListBox* m_PopUp = nullptr;
    CJButton* m_Button = nullptr;
    int32_t m_RequestedWidth = 0;
    bool m_OpenOnRowPress = false;
    bool m_EnterNotifies = false;
    // The pop-up's list keeps its tree indent (pop-up menus).
    bool m_PopUpIndent = false;
    int32_t m_RememberedItem = -1;
};

// A combo box that opens on a press anywhere on its row, and shows its tree
// indented in the pop-up.
class CJPopUpMenu : public CJComboBox {
public:
    CJPopUpMenu(CJWindow* parent, CVirtualTree* tree, int32_t widthUnits, CListBoxFilter* filter = nullptr);
};
