#include "game/screens/CPlayerSelect.h"

#include "foundation/CCommand.h"
#include "foundation/CLocalizedString.h"
#include "game/screens/CStats.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJEdit.h"
#include "ui/CJListBox.h"
#include "ui/CJMessageBox.h"
#include "ui/CJStatic.h"
#include "ui/CScreenWindow.h"

#include <algorithm>
#include <climits>
#include <iterator>

namespace {

CNewPlayerDialog* g_NewPlayerDialog = nullptr;
CChangePlayerWindow* g_ChangePlayerWindow = nullptr;

constexpr int32_t kNameFieldWidth = 200;
constexpr int32_t kListWidth = 400;
constexpr int32_t kListHeight = 300;

enum class EPlayerText {
    PlayerNameLabel,
    PlayModeLabel,
    KidsModeTitle,
    KidsModeTip,
    StandardModeTitle,
    StandardModeTip,
    SaveTitle,
    IncompleteTitle,
    IncompleteText,
    IncompleteEditText,
    NameUsedTitle,
    NameUsedText,
    AddFirstTitle,
    AddFirstText,
    DeleteTitle,
    DeleteQuestion,
    ChangePlayerTitle,
    SelectTitle,
    EditTitle,
    DeleteButtonTitle,
    NewPlayerTitle,
    EditPlayerTitle,
    CancelTitle,
    Count
};

// Made together on first use, which start-up makes early (see
// RegisterPlayerSelectTexts).
CLocalizedString& Text(EPlayerText which)
{
    static CLocalizedString texts[] = {
        CLocalizedString("Player Name:"),
        CLocalizedString("&Play Mode:"),
        CLocalizedString("Kids Mode"),
        CLocalizedString(
            " Impossible to lose\n Customers never lose their patience \n No revenue requirement to finish level"),
        CLocalizedString("Standard Mode"),
        CLocalizedString(
            " Must serve customers in a timely fashion \n Must meet revenue requirements to complete levels"),
        CLocalizedString("Save"),
        CLocalizedString("Incomplete Player"),
        CLocalizedString("You must enter a name for the new player."),
        CLocalizedString("You must enter a name for this player."),
        CLocalizedString("Name Already Used"),
        CLocalizedString("You must enter a name that has not already been used."),
        CLocalizedString("Add new player first."),
        CLocalizedString("You must add a new player before deleting this one."),
        CLocalizedString("Delete Player"),
        CLocalizedString("Are you sure you want to permanently delete %s[PlayerName]?  All high scores for "
                         "%s[PlayerName] will be deleted and %s[PlayerName] will have to restart from level 1."),
        CLocalizedString("Change Player"),
        CLocalizedString("Select"),
        CLocalizedString("Edit"),
        CLocalizedString("Delete"),
        CLocalizedString("New Player"),
        CLocalizedString("Edit Player"),
        CLocalizedString("Cancel"),
    };
    static_assert(std::size(texts) == size_t(EPlayerText::Count));
    return texts[size_t(which)];
}

// Puts the window modal and centred in front of parent; false when there
// is no window tree to put it in.
bool ShowModal(CJWindow* window, CJWindow* parent)
{
    CJWindow* host = parent ? parent : CScreenWindow::GetScreenWindow();
    if (!host)
        return false;
    host->AddModalSibling(window, EPlace::Centred);
    return true;
}

// The completion commands the change-player window gives the dialogs. They
// act only while that very window is still open.
class CChangePlayerAction : public CCommand {
public:
    using Action = void (*)(CChangePlayerWindow&);
    CChangePlayerAction(CChangePlayerWindow* window, Action action)
        : m_Window(window)
        , m_Action(action)
    {
    }
    void Execute() override
    {
        if (m_Window && m_Window == GetChangePlayerWindow())
            m_Action(*m_Window);
    }

private:
    CChangePlayerWindow* m_Window;
    Action m_Action;
};

} // namespace

// ---- New-player dialog -------------------------------------------------------

CNewPlayerDialog::CNewPlayerDialog(CJWindow* parent, const CJString& title, CPlayerStats* profile, CCommand* onSaved)
    : CMenuWindow(parent, title)
    , m_Profile(profile)
    , m_OnSaved(onSaved)
{
    g_NewPlayerDialog = this;
    if (!m_Profile) {
        m_Profile = new CPlayerStats;
        m_Profile->ResetToDefaults();
        m_Profile->m_Name = "";
        m_Profile->m_BuildNumberCreatedWith = GetGameBuildNumber();
        m_OwnsProfile = true;
    }

    auto* nameLabel = new CJStatic(this, Text(EPlayerText::PlayerNameLabel));
    auto* modeLabel = new CJStatic(this, Text(EPlayerText::PlayModeLabel));
    m_NameEdit = new CJEdit(this, m_Profile->m_Name);
    m_NameEdit->SetSize(kNameFieldWidth, m_NameEdit->GetHeight());
    m_KidsButton = new CJRadioButton(this, Text(EPlayerText::KidsModeTitle));
    m_KidsButton->SetToolTip(&Text(EPlayerText::KidsModeTip), true);
    m_StandardButton = new CJRadioButton(this, Text(EPlayerText::StandardModeTitle), m_KidsButton);
    m_StandardButton->SetToolTip(&Text(EPlayerText::StandardModeTip), true);

    // Labels in a column, each row's controls beside them.
    const int32_t margin = GetEdgeMargin();
    const int32_t labelWidth = std::max(nameLabel->GetWidth(), modeLabel->GetWidth());
    int32_t y = GetClientTopInset() + margin;
    const auto row = [&](CJStatic* label, std::initializer_list<CJWindow*> controls) {
        int32_t height = label->GetHeight();
        for (CJWindow* control : controls)
            height = std::max(height, control->GetHeight());
        label->MoveTo(margin, y + (height - label->GetHeight()) / 2);
        AddChild(label);
        int32_t x = margin + labelWidth + GetSpacingX();
        for (CJWindow* control : controls) {
            control->MoveTo(x, y + (height - control->GetHeight()) / 2);
            AddChild(control);
            x += control->GetWidth() + GetSpacingX();
        }
        y += height + GetSpacingY();
    };
    row(nameLabel, {m_NameEdit});
    row(modeLabel, {m_KidsButton, m_StandardButton});
    m_SaveButton = &Add<CJButton>(EPlace::BelowPreviousCentred, Text(EPlayerText::SaveTitle));
    m_CancelButtonControl = &Add<CJButton>(EPlace::TopLeft, Text(EPlayerText::CancelTitle));
    ArrangeRow(m_SaveButton, m_CancelButtonControl, 0, true, true, -999, true);

    if (m_Profile->m_Difficulty == kKidsDifficulty)
        m_KidsButton->SetChecked(1);
    else if (m_Profile->m_Difficulty == kStandardDifficulty)
        m_StandardButton->SetChecked(1);

    SetDefaultButton(m_SaveButton);
    SetCancelButton(m_CancelButtonControl);
    BringChildToFront(m_NameEdit);
}

CNewPlayerDialog::~CNewPlayerDialog()
{
    if (g_NewPlayerDialog == this)
        g_NewPlayerDialog = nullptr;
    delete m_OnSaved;
    if (m_OwnsProfile)
        delete m_Profile;
}

void CNewPlayerDialog::OnNotify(CJWindow* sender, int32_t code)
{
    if (code == kNotifyClicked && sender && sender == m_CancelButtonControl) {
        // The button touches nothing of its own after the notice.
        Close();
        return;
    }
    if (code == kNotifyClicked && sender && sender == m_SaveButton) {
        Save();
        return;
    }
    CJFrameWindow::OnNotify(sender, code);
}

void CNewPlayerDialog::Refuse(const CJString& title, const CJString& text)
{
    BringChildToFront(m_NameEdit);
    auto* box = new CJMessageBox(this, title, text);
    ShowModal(box, this);
}

void CNewPlayerDialog::Save()
{
    const CJString name = m_NameEdit->GetTitle();
    if (name.IsAllWhitespace()) {
        // A profile that has a name is no new player.
        const bool named = m_Profile->m_Name.IsNotEmpty();
        Refuse(Text(EPlayerText::IncompleteTitle),
               Text(named ? EPlayerText::IncompleteEditText : EPlayerText::IncompleteText));
        return;
    }
    CStats& stats = CStats::SGetInstance();
    if (stats.IsNameUsed(name, m_Profile)) {
        Refuse(Text(EPlayerText::NameUsedTitle), Text(EPlayerText::NameUsedText));
        return;
    }
    m_Profile->m_Difficulty
        = m_KidsButton->IsChecked() && !m_StandardButton->IsChecked() ? kKidsDifficulty : kStandardDifficulty;
    m_Profile->m_Name = name;
    if (m_OwnsProfile) {
        stats.AddPlayer(m_Profile);
        m_OwnsProfile = false;
    }
    stats.Save();

    CCommand* command = m_OnSaved;
    m_OnSaved = nullptr;
    Close();
    if (command) {
        command->Execute();
        delete command;
    }
}

// ---- Change Player -------------------------------------------------------------

CChangePlayerWindow::CChangePlayerWindow(CJWindow* parent, CCommand* onDone)
    : CMenuWindow(parent, Text(EPlayerText::ChangePlayerTitle))
    , m_OnDone(onDone)
{
    g_ChangePlayerWindow = this;
    SetIconSequence("MenuScreen_Button_ChangePlayer");

    const int32_t unit = std::max(GetFontUnit(), 1);
    m_List = new CJListBox(this, &m_Rows, nullptr, kListWidth / unit, 1);
    // As many rows as the fixed height holds; then the exact size.
    m_List->SetVisibleRows(std::max((kListHeight - 2 * (unit + 1)) / std::max(m_List->GetRowHeight(), 1), 1));
    m_List->SetSize(kListWidth, kListHeight);
    AddChild(m_List, EPlace::TopLeft);

    // In a row below the list, laid out by ArrangeRow.
    m_SelectButton = &Add<CJButton>(EPlace::BelowPreviousCentred, Text(EPlayerText::SelectTitle));
    m_EditButton = &Add<CJButton>(EPlace::TopLeft, Text(EPlayerText::EditTitle));
    m_DeleteButton = &Add<CJButton>(EPlace::TopLeft, Text(EPlayerText::DeleteButtonTitle));
    m_CancelButtonControl = &Add<CJButton>(EPlace::TopLeft, Text(EPlayerText::CancelTitle));
    ArrangeRow(m_SelectButton, m_CancelButtonControl, 0, true, true, -999, true);

    SetDefaultButton(m_SelectButton);
    SetCancelButton(m_CancelButtonControl);
    FillRows();
    BringChildToFront(m_SelectButton);
}

CChangePlayerWindow::~CChangePlayerWindow()
{
    if (g_ChangePlayerWindow == this)
        g_ChangePlayerWindow = nullptr;
    delete m_OnDone;
    // The list box dies after this body; it must not read the rows then.
    if (m_List)
        m_List->SetVirtualArray(nullptr, nullptr, false);
    m_Rows.RemoveAll();
}

CJString CChangePlayerWindow::RowText(const CPlayerStats& profile)
{
    CJString text = profile.m_Name;
    const CJString level = profile.GetLastCompletedCareerLevelName();
    if (level.IsEmpty())
        return text;
    CJString money;
    money.FormatThousands(WholeDollars(profile.GetCareerNetWorth()));
    text += " (";
    text += level;
    text += " - $";
    text += money;
    text += ")";
    return text;
}

void CChangePlayerWindow::FillRows()
{
    CStats& stats = CStats::SGetInstance();
    m_Rows.RemoveAll();
    CJString first("(");
    first += Text(EPlayerText::NewPlayerTitle);
    first += ")";
    m_Rows.Add(first, stats.GetPlayerCount());
    const CJString channel = GetChannelName();
    for (uint32_t i = 0; i < stats.GetPlayerCount(); ++i) {
        const CPlayerStats* profile = stats.GetPlayer(i);
        if (profile && profile->m_Channel.Compare(channel) == 0)
            m_Rows.Add(RowText(*profile), i);
    }
    m_List->SetVirtualArray(&m_Rows, nullptr, false);
    SelectCurrentRow();
}

int32_t CChangePlayerWindow::GetSelectedRow() const
{
    return m_List->GetSelectedItem();
}

void CChangePlayerWindow::SelectCurrentRow()
{
    const uint32_t current = CStats::SGetInstance().GetCurrentPlayerIndex();
    // Row 0 never stands for a profile, whatever its value.
    for (int32_t row = 1; row < m_Rows.GetCount(); ++row) {
        if (m_Rows.GetValue(row) == current) {
            m_List->SelectItem(row, true);
            return;
        }
    }
    m_List->SelectItem(-1, true);
}

void CChangePlayerWindow::OpenNewPlayer()
{
    SelectCurrentRow();
    auto* dialog
        = new CNewPlayerDialog(this, Text(EPlayerText::NewPlayerTitle), nullptr,
                               new CChangePlayerAction(this, [](CChangePlayerWindow& window) { window.Finish(); }));
    if (!GetParent()) {
        dialog->Destroy();
        return;
    }
    dialog->SetModal(true);
    SwitchTo(dialog, true);
}

void CChangePlayerWindow::Finish()
{
    CCommand* command = m_OnDone;
    m_OnDone = nullptr;
    Close();
    if (command) {
        command->Execute();
        delete command;
    }
}

void CChangePlayerWindow::Select()
{
    const int32_t row = GetSelectedRow();
    if (row < 0 || row >= m_Rows.GetCount())
        return;
    if (row == 0) {
        OpenNewPlayer();
        return;
    }
    CStats::SGetInstance().SetCurrentPlayer(m_Rows.GetValue(row));
    Finish();
}

void CChangePlayerWindow::Edit()
{
    const int32_t row = GetSelectedRow();
    if (row <= 0 || row >= m_Rows.GetCount())
        return;
    CPlayerStats* profile = CStats::SGetInstance().GetPlayer(m_Rows.GetValue(row));
    if (!profile)
        return;
    auto* dialog
        = new CNewPlayerDialog(this, Text(EPlayerText::EditPlayerTitle), profile,
                               new CChangePlayerAction(this, [](CChangePlayerWindow& window) { window.FillRows(); }));
    if (!ShowModal(dialog, this))
        dialog->Destroy();
}

void CChangePlayerWindow::Delete()
{
    const int32_t row = GetSelectedRow();
    if (row <= 0 || row >= m_Rows.GetCount())
        return;
    CStats& stats = CStats::SGetInstance();
    CPlayerStats* profile = stats.GetPlayer(m_Rows.GetValue(row));
    if (!profile)
        return;
    // Counted on the running channel: deleting its last profile would leave
    // no current player for it.
    if (m_Rows.GetCount() - 1 < 2) {
        auto* box = new CJMessageBox(this, Text(EPlayerText::AddFirstTitle), Text(EPlayerText::AddFirstText));
        if (!ShowModal(box, this))
            box->Destroy();
        return;
    }
    CJString question = Text(EPlayerText::DeleteQuestion);
    question.Replace(CJString("%s[PlayerName]"), profile->m_Name);
    auto* box = new CJMessageBox(this, Text(EPlayerText::DeleteTitle), question, nullptr,
                                 Text(EPlayerText::CancelTitle).GetString());
    box->AddButton(Text(EPlayerText::DeleteButtonTitle),
                   new CChangePlayerAction(this, [](CChangePlayerWindow& window) { window.DeleteSelected(); }));
    if (!ShowModal(box, this))
        box->Destroy();
}

void CChangePlayerWindow::DeleteSelected()
{
    const int32_t row = GetSelectedRow();
    if (row <= 0 || row >= m_Rows.GetCount())
        return;
    CStats& stats = CStats::SGetInstance();
    stats.DeletePlayer(m_Rows.GetValue(row));
    // Written at once, as naming and editing are: a kill must not bring the
    // player back.
    stats.Save();
    FillRows();
}

void CChangePlayerWindow::OnNotify(CJWindow* sender, int32_t code)
{
    if (sender && sender == m_List) {
        if (code == kNotifyClicked) {
            Select();
            return;
        }
        if (code == kNotifyChanged) {
            if (GetSelectedRow() == 0)
                OpenNewPlayer();
            return;
        }
    }
    if (code == kNotifyClicked && sender) {
        // The buttons touch nothing of their own after the notice, so the
        // window may close under them.
        if (sender == m_SelectButton)
            return Select();
        if (sender == m_EditButton)
            return Edit();
        if (sender == m_DeleteButton)
            return Delete();
        if (sender == m_CancelButtonControl) {
            Close();
            return;
        }
    }
    CJFrameWindow::OnNotify(sender, code);
}

// ---- Opening -------------------------------------------------------------------

CNewPlayerDialog* GetNewPlayerDialog()
{
    return g_NewPlayerDialog;
}

CChangePlayerWindow* GetChangePlayerWindow()
{
    return g_ChangePlayerWindow;
}

CNewPlayerDialog* OpenNewPlayerDialog(CJWindow* parent, const CJString& title, CPlayerStats* profile, CCommand* onSaved)
{
    auto* dialog = new CNewPlayerDialog(parent, title, profile, onSaved);
    if (!ShowModal(dialog, parent)) {
        dialog->Destroy();
        return nullptr;
    }
    return dialog;
}

CChangePlayerWindow* OpenChangePlayerWindow(CJWindow* parent, CCommand* onDone)
{
    auto* window = new CChangePlayerWindow(parent, onDone);
    if (!ShowModal(window, parent)) {
        window->Destroy();
        return nullptr;
    }
    return window;
}

void RegisterPlayerSelectTexts()
{
    Text(EPlayerText::PlayerNameLabel);
}
