// The lists of the running demo game as the list browser shows them: every
// entry of its chooser opens, offering only what can be made there, and
// every list the data refers into by row begins with the entry that stands
// for none.
#include "../game/screens/ScreensGameTest.h"

#include "editor/CListBrowserWindow.h"
#include "images/CFrameList.h"
#include "objects/CClassInfo.h"
#include "objects/CFileListList.h"
#include "objects/CListProperty.h"
#include "objects/CNewFileOptions.h"
#include "objects/CObject.h"
#include "overlays/ButtonOverlays.h"
#include "overlays/CFrameOverlay.h"
#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class ListsInGame : public CScreensGameTest {};

TEST_F(ListsInGame, EveryListOfTheChooserOpensAndBeginsWithItsNoneEntry)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CListBrowserWindow* browser = OpenListBrowser(CScreenWindow::GetScreenWindow());
    ASSERT_NE(browser, nullptr);
    CFileListList& registry = CFileListList::SGetInstance();
    bool sounds = false;
    for (int32_t i = 0; i < registry.GetCount(); ++i) {
        const std::string name = registry.GetItemName(i);
        browser->GetListCombo()->SelectItem(i, true);
        browser->OnNotify(browser->GetListCombo(), kNotifyClicked);
        CVirtualArray* list = browser->GetList();
        ASSERT_EQ(list, registry.GetArray(i)) << name;
        // Other tests leave lists of their own, some empty; general objects
        // and life rewards are never referred to by row, and the decade
        // shown counts the periods from row 0.
        const std::string first = list->GetCount() > 0 ? list->GetItemName(0) : "!";
        if (name != "General Objects" && name != "LifeRewards" && name != "Period") {
            EXPECT_EQ(first[first.find_last_of('/') + 1], '!') << name << ": " << first;
        }
        // Sounds are files to play, no objects to edit or make here.
        sounds = sounds || name == "Sounds";
        if (name == "Sounds" || list->IsObjectFileList()) {
            const bool can = name != "Sounds";
            EXPECT_EQ(browser->GetEditButton()->IsEnabled(), can) << name;
            EXPECT_EQ(browser->GetNewButton()->IsEnabled(), can) << name;
            EXPECT_TRUE(can || !browser->GetDuplicateButton()->IsEnabled());
        }
    }
    EXPECT_TRUE(sounds);
    browser->Close();
}

// Buttons of the main menu have no picture of their own: a picture that
// sorts first, added as the image browser adds one, leaves them so, and so
// does saving the menu and reading it back.
TEST_F(ListsInGame, APictureThatSortsFirstLeavesTheMenuButtonsWithoutPictures)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CFrameList& frames = GetFrameLibrary();
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    CFrameOverlayOptions* menu = sets.GetObject(sets.Find("Main Menu Overlay"));
    ASSERT_NE(menu, nullptr);
    auto unpictured = [&](CFrameOverlayOptions* set) {
        auto* button = dynamic_cast<CFrameOverlayButton*>(set->FindOverlay(CJString("ChangePlayer"), nullptr, nullptr));
        EXPECT_EQ(button ? button->m_NormalImage : -1, 0);
        EXPECT_EQ(frames.GetObject(0), nullptr);
    };
    unpictured(menu);
    std::unique_ptr<CNewFileOptions> options(frames.GetNewFileOptions());
    ASSERT_TRUE(options);
    options->m_Name.Set("Arrow");
    ASSERT_EQ(frames.AddItemFromNewFileOptions(*options), 1);
    unpictured(menu);
    // The data's first picture, which a button reads as none, is no choice
    // for one; the picture added before it is.
    auto* normal = static_cast<CListPropertyABC*>(CFrameOverlayButton::SGetClassInfo()->FindProperty("Normal Image"));
    CListChoiceFilter* choices = normal->GetChoiceFilter();
    ASSERT_NE(choices, nullptr);
    EXPECT_FALSE(choices->IsChoiceAllowed(frames, frames.Find("EditLayerChecked")));
    EXPECT_TRUE(choices->IsChoiceAllowed(frames, 1));

    ASSERT_TRUE(menu->SaveToFile("Saved Menu.FOO", kSaveSkipWritableTest));
    EXPECT_EQ(ReadBytes("Saved Menu.FOO").find("=EditLayerChecked"), std::string::npos);
    std::unique_ptr<CObject> back(
        LoadObjectFromFile("Saved Menu.FOO", 0, IdMode::WithoutIds, ReportUnknownClass::Fatal, nullptr));
    auto* read = dynamic_cast<CFrameOverlayOptions*>(back.get());
    ASSERT_NE(read, nullptr);
    unpictured(read);
}

} // namespace
