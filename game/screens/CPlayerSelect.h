#pragma once
// The profile windows: "Change Player" lists the profiles of the running
// channel with a summary of each career and selects, edits or deletes one;
// the new-player dialog creates a profile or edits one ("New Player" /
// "Edit Player").
//
// Only a Save in the dialog writes "Stats.dat"; selecting and deleting
// change the profiles in memory, which reach the file at the next save.
// Each window owns its completion command and runs it at most once.
#include "foundation/CDynamicList.h"
#include "ui/CMenuWindow.h"

#include <cstdint>

class CCommand;
class CJButton;
class CJEdit;
class CJListBox;
class CPlayerStats;

class CNewPlayerDialog : public CMenuWindow {
public:
    // A null profile makes a fresh unnamed one of the running channel,
    // owned by the dialog until Save hands it to the profiles (a cancelled
    // one is discarded). An edited profile changes only on Save.
    CNewPlayerDialog(CJWindow* parent, const CJString& title, CPlayerStats* profile, CCommand* onSaved);
    ~CNewPlayerDialog() override;

    // Save and Cancel; anything else goes to the frame window.
    void OnNotify(CJWindow* sender, int32_t code) override;

    // Refuses a blank name or one another profile of the channel has (any
    // letter case) with a message box, the dialog staying open; otherwise
    // applies, writes "Stats.dat", closes and runs the completion command.
    void Save();

    CPlayerStats* GetProfile() const { return m_Profile; }
    bool OwnsProfile() const { return m_OwnsProfile; }
    CJEdit* GetNameEdit() const { return m_NameEdit; }
    CJButton* GetKidsButton() const { return m_KidsButton; }
    CJButton* GetStandardButton() const { return m_StandardButton; }
    CJButton* GetSaveButton() const { return m_SaveButton; }
    CJButton* GetCancelButtonControl() const { return m_CancelButtonControl; }

private:
    void Refuse(const CJString& title, const CJString& text);

    CPlayerStats* m_Profile = nullptr;
    bool m_OwnsProfile = false;
    CCommand* m_OnSaved = nullptr;
    CJEdit* m_NameEdit = nullptr;
    CJButton* m_KidsButton = nullptr;
    CJButton* m_StandardButton = nullptr;
    CJButton* m_SaveButton = nullptr;
    CJButton* m_CancelButtonControl = nullptr;
};

class CChangePlayerWindow : public CMenuWindow {
public:
    // The completion command runs once a profile was selected or created.
    CChangePlayerWindow(CJWindow* parent, CCommand* onDone);
    ~CChangePlayerWindow() override;

    // List box: a double click selects, choosing the first row starts a
    // new profile. Buttons: Select, Edit, Delete, Cancel.
    void OnNotify(CJWindow* sender, int32_t code) override;

    // Row 0 ("(New Player)") holds the number of profiles; every other row
    // the index of its profile. The current profile's row is selected.
    void FillRows();
    void Select();
    void Edit();
    // Asks first; refused while the running channel has fewer than two
    // profiles.
    void Delete();
    // The confirmed deletion of the row still selected.
    void DeleteSelected();

    CJListBox* GetListBox() const { return m_List; }
    int32_t GetRowCount() { return m_Rows.GetCount(); }
    CJString GetRowText(int32_t row) { return m_Rows.GetItemNameString(row); }
    uint32_t GetRowValue(int32_t row) const { return m_Rows.GetValue(row); }
    // -1 when none.
    int32_t GetSelectedRow() const;
    CJButton* GetSelectButton() const { return m_SelectButton; }
    CJButton* GetEditButton() const { return m_EditButton; }
    CJButton* GetDeleteButton() const { return m_DeleteButton; }
    CJButton* GetCancelButtonControl() const { return m_CancelButtonControl; }

    // The row text of a profile: its name, then its last completed career
    // level and net worth, as " (Level - $2,500)".
    static CJString RowText(const CPlayerStats& profile);

private:
    void SelectCurrentRow();
    void OpenNewPlayer();
    // Detaches the completion command, closes, then runs it.
    void Finish();

    CDynamicList m_Rows;
    CJListBox* m_List = nullptr;
    CCommand* m_OnDone = nullptr;
    CJButton* m_SelectButton = nullptr;
    CJButton* m_EditButton = nullptr;
    CJButton* m_DeleteButton = nullptr;
    CJButton* m_CancelButtonControl = nullptr;
};

// The open windows; null when none is.
CNewPlayerDialog* GetNewPlayerDialog();
CChangePlayerWindow* GetChangePlayerWindow();

// Opens the dialog modal and centred in front of parent (in the game's
// screen window when parent is null or the screen window itself); null
// when there is nowhere to show it, the command and a fresh profile then
// discarded.
CNewPlayerDialog* OpenNewPlayerDialog(CJWindow* parent, const CJString& title, CPlayerStats* profile,
                                      CCommand* onSaved);
// Opens "Change Player" in the same way.
CChangePlayerWindow* OpenChangePlayerWindow(CJWindow* parent, CCommand* onDone);

// Enters the windows' texts for translation; called once at start-up,
// before the localisation table is read.
void RegisterPlayerSelectTexts();
