// The profile windows driven by real clicks and keys in a screen window:
// what the rows say, what selecting, creating, editing and deleting do to
// the profiles, which names are refused, and when "Stats.dat" is written.
#include "../../ui/SkinTestSupport.h"
#include "../../ui/UiTestSupport.h"
#include "ScreensTestSupport.h"

#include "game/business/CBuildPhase.h"
#include "game/business/CUpgrade.h"
#include "game/screens/CPlayerSelect.h"
#include "game/screens/CStats.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "objects/CPropertyArrayProperty.h"
#include "shell/CTypedCommandList.h"
#include "ui/CJButton.h"
#include "ui/CJEdit.h"
#include "ui/CJListBox.h"
#include "ui/CJMessageBox.h"
#include "ui/CJStatic.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

class PlayerSelect : public ScreenInputTestOn<SkinFrameTest> {
protected:
    void SetUp() override
    {
        ScreenInputTestOn<SkinFrameTest>::SetUp();
        if (IsSkipped())
            return;
        ASSERT_NE(CBuildPhase::SGetClassInfo(), nullptr);
        ASSERT_NE(CUpgrade::SGetClassInfo(), nullptr);
        ASSERT_NE(CStats::SGetClassInfo(), nullptr);
        WriteProfileLevelLists();
        WriteBytes("Resources/Levels.Object.txt",
                   LevelSetText({LevelText("Elm Street"), LevelText("Oak Street"), LevelText("Ash Street")}));
        InitGeneralObjects();
        m_Screen = std::make_unique<CScreenWindow>(m_ScreenFrame.get(), m_Font.get());
    }
    void TearDown() override
    {
        m_Screen.reset();
        CTypedCommandList::SGetInstance().ResetForTesting();
        ForgetProfileLevelLists();
        ScreenInputTestOn<SkinFrameTest>::TearDown();
    }
    static std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        const CStats& stats = CStats::SGetInstance();
        for (uint32_t i = 0; i < stats.GetPlayerCount(); ++i)
            names.push_back(stats.GetPlayer(i)->m_Name.GetString());
        return names;
    }
    static std::vector<std::string> Rows(CChangePlayerWindow& window)
    {
        std::vector<std::string> rows;
        for (int32_t row = 0; row < window.GetRowCount(); ++row)
            rows.push_back(window.GetRowText(row).GetString() + std::string(" = ")
                           + std::to_string(window.GetRowValue(row)));
        return rows;
    }

    CChangePlayerWindow* Open()
    {
        CChangePlayerWindow* window = OpenChangePlayerWindow(nullptr, new CCountingCommand(m_Done));
        InputFrame();
        return window;
    }
    void Click(const CJWindow* window)
    {
        ASSERT_NE(window, nullptr);
        const CRect& r = window->GetScreenRect();
        ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void ClickRow(CChangePlayerWindow& window, int32_t row)
    {
        CJListBox& list = *window.GetListBox();
        const CRect& r = list.GetScreenRect();
        for (int32_t y = r.top; y < r.bottom; ++y)
            if (list.GetRowAt(CPoint{r.left + 20, y}) == row)
                return ClickAt(r.left + 20, y + 2);
        ADD_FAILURE() << "no row " << row;
    }
    void TypeText(const char* text)
    {
        for (const char* c = text; *c; ++c)
            Type(uint32_t(uint8_t(*c)));
    }
    // The message box in front, when one is.
    CJMessageBox* Box() const { return dynamic_cast<CJMessageBox*>(m_Screen->GetFirstChild()); }
    // The window's first child of the type, with the title when one is given.
    template <typename T>
    static T* Child(CJWindow& window, const char* title = nullptr)
    {
        for (CJWindow* child = window.GetFirstChild(); child; child = child->GetNextSibling())
            if (dynamic_cast<T*>(child) && (!title || child->GetTitle().Compare(CJString(title)) == 0))
                return dynamic_cast<T*>(child);
        return nullptr;
    }
    static std::string BoxText(CJMessageBox& box) { return Child<CJStatic>(box)->GetTitle().GetString(); }

    std::unique_ptr<CFrame> m_ScreenFrame = CFrame::MakeOwned(1024, 768, 32);
    int m_Done = 0;
};

TEST_F(PlayerSelect, RowsListTheChannelsProfilesWithTheirCareerAndTheCurrentOneSelected)
{
    CStats& stats = WithProfiles({{"Ann", nullptr}, {"Bob", "Elsewhere"}, {"Cy", nullptr}});
    // Cy finished the first street and starts the second with $2,500.
    CPlayerStats& cy = *stats.GetPlayer(2);
    CGameState state;
    state.m_SpendableMoneyK = 2.5f;
    cy.RecordLevelCompleted(0, &state);
    stats.SetCurrentPlayer(2);

    CChangePlayerWindow* window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Rows(*window), (std::vector<std::string>{"(New Player) = 3", "Ann = 0", "Cy (Elm Street - $2,500) = 2"}));
    EXPECT_EQ(window->GetSelectedRow(), 2);
    EXPECT_TRUE(window->GetSelectButton()->HasFocus());
    EXPECT_EQ(window->GetListBox()->GetWidth(), 400);
    EXPECT_EQ(window->GetListBox()->GetHeight(), 300);
    // Drawn, each row shows its text, the list is blank below them.
    m_Screen->Draw(*m_ScreenFrame);
    const CRect& r = window->GetListBox()->GetScreenRect();
    const auto lit = [&](int32_t row) {
        int count = 0;
        for (int32_t y = r.top; y < r.bottom - 4; ++y)
            for (int32_t x = r.left + 4;
                 row == window->GetListBox()->GetRowAt(CPoint{r.left + 4, y}) && x < r.right - 20; ++x)
                count += Rgb(*m_ScreenFrame, x, y) != 0;
        return count;
    };
    EXPECT_GT(lit(0), 0);
    EXPECT_GT(lit(2), lit(1)) << "the longer, selected row";
    int below = 0;
    for (int32_t x = r.left + 4; x < r.right - 20; ++x)
        below += Rgb(*m_ScreenFrame, x, r.bottom - 20) != 0;
    EXPECT_EQ(below, 0);
    // The buttons share one row and one width.
    EXPECT_EQ(window->GetSelectButton()->GetRect().top, window->GetCancelButtonControl()->GetRect().top);
    EXPECT_EQ(window->GetEditButton()->GetWidth(), window->GetDeleteButton()->GetWidth());
}

TEST_F(PlayerSelect, SelectingAProfileMakesItCurrentClosesAndRunsTheCommandOnceWithoutSaving)
{
    WithProfiles({{"Ann", nullptr}, {"Bob", nullptr}});
    CChangePlayerWindow* window = Open();
    ClickRow(*window, 2);
    EXPECT_EQ(window->GetSelectedRow(), 2);
    Click(window->GetSelectButton());
    EXPECT_EQ(GetChangePlayerWindow(), nullptr);
    EXPECT_EQ(m_Done, 1);
    EXPECT_EQ(CStats::SGetInstance().GetCurrentPlayerIndex(), 1u);
    EXPECT_FALSE(DiskHas("Stats.dat"));

    // Cancel (Escape) changes nothing and runs nothing.
    window = Open();
    Type(kKeyEscape);
    EXPECT_EQ(GetChangePlayerWindow(), nullptr);
    EXPECT_EQ(m_Done, 1);
}

TEST_F(PlayerSelect, TheNewPlayerRowThenCancelGivesTheListBackUnchanged)
{
    WithProfiles({{"Ann", nullptr}, {"Bob", nullptr}});
    CChangePlayerWindow* window = Open();
    ClickRow(*window, 0);
    CNewPlayerDialog* dialog = GetNewPlayerDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_STREQ(dialog->GetTitle().GetString(), "New Player");
    EXPECT_FALSE(window->IsVisible()) << "the dialog stands in for the list";
    EXPECT_TRUE(dialog->GetNameEdit()->HasFocus());
    EXPECT_STREQ(dialog->GetNameEdit()->GetTitle().GetString(), "");

    Click(dialog->GetCancelButtonControl());
    EXPECT_EQ(GetNewPlayerDialog(), nullptr);
    EXPECT_EQ(GetChangePlayerWindow(), window);
    EXPECT_TRUE(window->IsVisible());
    EXPECT_EQ(window->GetSelectedRow(), 1) << "the current player's row again";
    EXPECT_EQ(Names(), (std::vector<std::string>{"Ann", "Bob"}));
    EXPECT_EQ(m_Done, 0);
    EXPECT_FALSE(DiskHas("Stats.dat"));

    // The list still answers clicks.
    ClickRow(*window, 2);
    Click(window->GetSelectButton());
    EXPECT_EQ(CStats::SGetInstance().GetCurrentPlayerIndex(), 1u);
}

// A secret word typed as a name is the name; with the field shut it still
// runs. A word begun before the name and ended after it is no word; a field
// shown while another control has the keyboard takes no keys from words.
TEST_F(PlayerSelect, ASecretWordTypedIntoTheNameFieldRunsNothing)
{
    WithProfiles({{"Ann", nullptr}});
    CTypedCommandList& words = CTypedCommandList::SGetInstance();
    words.ResetForTesting();
    int wiped = 0;
    words.Register(CJString("zorpWipeAllMedalRecord"), new CCountingCommand(wiped));
    words.Enable();
    TypeText("zorpwipe");
    CNewPlayerDialog* dialog = OpenNewPlayerDialog(nullptr, CJString("New Player"), nullptr, nullptr);
    ASSERT_NE(dialog, nullptr);
    TypeText("zorpwipeallmedalrecord");
    EXPECT_STREQ(dialog->GetNameEdit()->GetTitle().GetString(), "zorpwipeallmedalrecord");
    Click(dialog->GetCancelButtonControl());
    TypeText("allmedalrecord");
    EXPECT_EQ(wiped, 0);
    TypeText("zorpwipeallmedalrecord");
    EXPECT_EQ(wiped, 1);

    dialog = OpenNewPlayerDialog(nullptr, CJString("New Player"), nullptr, nullptr);
    ASSERT_NE(dialog, nullptr);
    Click(dialog->GetKidsButton());
    ASSERT_FALSE(dialog->GetNameEdit()->HasFocus());
    TypeText("zorpwipeallmedalrecord");
    EXPECT_EQ(wiped, 2);
    EXPECT_STREQ(dialog->GetNameEdit()->GetTitle().GetString(), "");
}

TEST_F(PlayerSelect, ASavedNewProfileGoesBeforeTheLastBecomesCurrentAndIsWritten)
{
    WithProfiles({{"Ann", nullptr}, {"Bob", nullptr}});
    CChangePlayerWindow* window = Open();
    ClickRow(*window, 0);
    CNewPlayerDialog* dialog = GetNewPlayerDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetStandardButton()->IsChecked(), 1) << "new profiles are standard";
    TypeText("Dee");
    Click(dialog->GetKidsButton());
    Type(kKeyEnter);
    EXPECT_EQ(GetNewPlayerDialog(), nullptr);
    EXPECT_EQ(GetChangePlayerWindow(), nullptr) << "saving a new profile closes the list too";
    EXPECT_EQ(m_Done, 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Ann", "Dee", "Bob"}));
    const CStats& stats = CStats::SGetInstance();
    EXPECT_EQ(stats.GetCurrentPlayerIndex(), 1u);
    EXPECT_EQ(stats.GetCurrentPlayer()->m_Difficulty, kKidsDifficulty);
    EXPECT_EQ(stats.GetCurrentPlayer()->m_BuildNumberCreatedWith, 24u);
    EXPECT_EQ(stats.GetCurrentPlayer()->m_Channel.Compare(GetChannelName()), 0);
    EXPECT_TRUE(DiskHas("Stats.dat"));
    EXPECT_EQ(m_Screen->GetFirstChild(), nullptr) << "nothing is left open";
}

TEST_F(PlayerSelect, BlankAndUsedNamesAreRefusedAndTheDialogStays)
{
    WithProfiles({{"Ann", nullptr}, {"Bob", "Elsewhere"}});
    int saved = 0;
    CNewPlayerDialog* dialog
        = OpenNewPlayerDialog(nullptr, CJString("New Player"), nullptr, new CCountingCommand(saved));
    ASSERT_NE(dialog, nullptr);
    const auto refusedWith = [&](const char* name, const char* title, const char* text) {
        dialog->GetNameEdit()->SetTitle(CJString(name));
        Click(dialog->GetSaveButton());
        CJMessageBox* box = Box();
        ASSERT_NE(box, nullptr) << name;
        EXPECT_STREQ(box->GetTitle().GetString(), title);
        EXPECT_EQ(BoxText(*box), text);
        Type(kKeyEnter);
        EXPECT_EQ(Box(), nullptr);
        EXPECT_EQ(GetNewPlayerDialog(), dialog);
        EXPECT_TRUE(dialog->GetNameEdit()->HasFocus());
    };
    refusedWith("", "Incomplete Player", "You must enter a name for the new player.");
    refusedWith(" \t ", "Incomplete Player", "You must enter a name for the new player.");
    refusedWith("aNN", "Name Already Used", "You must enter a name that has not already been used.");
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(CStats::SGetInstance().GetPlayerCount(), 2u);
    EXPECT_FALSE(DiskHas("Stats.dat"));

    // Another channel's name is free, and it is kept as typed; Enter in the
    // name field saves.
    dialog->GetNameEdit()->SetTitle(CJString(" Bob"));
    Type(kKeyEnter);
    EXPECT_EQ(GetNewPlayerDialog(), nullptr);
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Ann", " Bob", "Bob"}));
}

TEST_F(PlayerSelect, EditingChangesTheProfileOnlyOnSaveAndAcceptsItsOwnNameInAnyCase)
{
    CStats& stats = WithProfiles({{"Ann", nullptr}, {"Bob", nullptr}});
    stats.GetPlayer(1)->m_Difficulty = 1;
    CChangePlayerWindow* window = Open();
    ClickRow(*window, 2);
    Click(window->GetEditButton());
    CNewPlayerDialog* dialog = GetNewPlayerDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_STREQ(dialog->GetTitle().GetString(), "Edit Player");
    EXPECT_TRUE(window->IsVisible()) << "edited in front of the list";
    EXPECT_STREQ(dialog->GetNameEdit()->GetTitle().GetString(), "Bob");
    EXPECT_EQ(dialog->GetKidsButton()->IsChecked(), 0) << "neither mode for an unknown difficulty";
    EXPECT_EQ(dialog->GetStandardButton()->IsChecked(), 0);

    // A blank name is refused as this player's, not a new one's.
    dialog->GetNameEdit()->SetTitle(CJString(""));
    Click(dialog->GetSaveButton());
    ASSERT_NE(Box(), nullptr);
    EXPECT_EQ(BoxText(*Box()), "You must enter a name for this player.");
    Type(kKeyEnter);

    // Cancel leaves the profile as it was.
    dialog->GetNameEdit()->SetTitle(CJString("Zed"));
    Click(dialog->GetCancelButtonControl());
    EXPECT_EQ(Names(), (std::vector<std::string>{"Ann", "Bob"}));
    EXPECT_EQ(stats.GetPlayer(1)->m_Difficulty, 1u);

    Click(window->GetEditButton());
    dialog = GetNewPlayerDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->GetNameEdit()->SetTitle(CJString("BOB"));
    Click(dialog->GetSaveButton());
    EXPECT_EQ(GetNewPlayerDialog(), nullptr);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Ann", "BOB"}));
    EXPECT_EQ(stats.GetPlayer(1)->m_Difficulty, kStandardDifficulty) << "neither checked saves standard";
    EXPECT_EQ(stats.GetCurrentPlayerIndex(), 0u) << "editing does not select";
    EXPECT_TRUE(DiskHas("Stats.dat"));
    EXPECT_EQ(Rows(*window)[2], "BOB = 1") << "the rows are filled again";
    EXPECT_EQ(m_Done, 0);

    // Nothing to edit on the first row.
    window->GetListBox()->SelectItem(0, true);
    Click(window->GetEditButton());
    EXPECT_EQ(GetNewPlayerDialog(), nullptr);
}

TEST_F(PlayerSelect, DeletionIsConfirmedAndRefusedWhileTheChannelHasFewerThanTwoProfiles)
{
    CStats& stats = WithProfiles({{"Zed & Co", nullptr}, {"Bob", "Elsewhere"}});
    CChangePlayerWindow* window = Open();
    ClickRow(*window, 1);
    Click(window->GetDeleteButton());
    CJMessageBox* box = Box();
    ASSERT_NE(box, nullptr);
    EXPECT_STREQ(box->GetTitle().GetString(), "Add new player first.");
    EXPECT_EQ(BoxText(*box), "You must add a new player before deleting this one.");
    Type(kKeyEnter);
    EXPECT_EQ(stats.GetPlayerCount(), 2u) << "another channel's profile does not make two";

    stats.AddNewPlayer();
    stats.GetPlayer(2)->m_Name = "Ann";
    stats.SetCurrentPlayer(2);
    window->FillRows();
    ClickRow(*window, 1);
    Click(window->GetDeleteButton());
    box = Box();
    ASSERT_NE(box, nullptr);
    EXPECT_STREQ(box->GetTitle().GetString(), "Delete Player");
    std::string text = BoxText(*box);
    std::replace(text.begin(), text.end(), '\n', ' '); // wrapped lines
    EXPECT_EQ(text.find("%s["), std::string::npos);
    int named = 0;
    for (size_t at = text.find("Zed & Co"); at != std::string::npos; at = text.find("Zed & Co", at + 1))
        ++named;
    EXPECT_EQ(named, 3) << "a name is text, not hot-key marks: " << text;
    // Enter and Escape answer Cancel.
    Type(kKeyEscape);
    EXPECT_EQ(Box(), nullptr);
    EXPECT_EQ(stats.GetPlayerCount(), 3u);

    Click(window->GetDeleteButton());
    box = Box();
    ASSERT_NE(box, nullptr);
    Click(Child<CJButton>(*box, "Delete"));
    EXPECT_EQ(Box(), nullptr);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Bob", "Ann"}));
    EXPECT_EQ(stats.GetCurrentPlayerIndex(), 1u) << "the current index follows its profile";
    EXPECT_EQ(Rows(*window), (std::vector<std::string>{"(New Player) = 2", "Ann = 1"}));
    EXPECT_EQ(window->GetSelectedRow(), 1);
    // Written at once, as naming and editing are: a kill cannot bring it back.
    CStats onDisk;
    ASSERT_TRUE(onDisk.Load());
    ASSERT_EQ(onDisk.GetPlayerCount(), 2u);
    EXPECT_STREQ(onDisk.GetPlayer(0)->m_Name.GetString(), "Bob");
}

TEST_F(PlayerSelect, WithoutAWindowTreeNothingOpensAndTheCommandAndFreshProfileGo)
{
    m_Screen.reset();
    CStats::SGetInstance();
    EXPECT_EQ(OpenChangePlayerWindow(nullptr, new CCountingCommand(m_Done)), nullptr);
    EXPECT_EQ(OpenNewPlayerDialog(nullptr, CJString("New Player"), nullptr, new CCountingCommand(m_Done)), nullptr);
    EXPECT_EQ(GetChangePlayerWindow(), nullptr);
    EXPECT_EQ(GetNewPlayerDialog(), nullptr);
    EXPECT_EQ(m_Done, 0);
}

} // namespace
