// The lists of the running demo game as the list browser shows them: every
// entry of its chooser opens, offering only what can be made there, and
// every list the data refers into by row begins with the entry that stands
// for none.
#include "../game/screens/ScreensGameTest.h"

#include "editor/CListBrowserWindow.h"
#include "foundation/CRandomGenerator.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomer.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CLevelCompletion.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CNeighborhoodViewer.h"
#include "game/screens/CShop.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CLevelSet.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CFileListList.h"
#include "objects/CListProperty.h"
#include "objects/CNewFileOptions.h"
#include "objects/CObject.h"
#include "overlays/ButtonOverlays.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ContainerOverlays.h"
#include "overlays/TextOverlays.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

class ListsInGame : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        if (IsSkipped())
            return;
        ReadProcessLists();
    }
    void TearDown() override
    {
        // Listed over this test's folder, "!Aaa" items and all: the next
        // test's use lists its own.
        for (const auto& [list, folder] : m_Sources)
            list->SetSource(nullptr, folder.c_str(), 0);
        CScreensGameTest::TearDown();
    }
    // A list with a real item: its name, folder, last item, whether that is
    // its only one, and its files' endings ("UpgradeSlot.txt"; empty where
    // the list names none).
    struct SList {
        std::string name;
        std::string folder;
        std::string item;
        bool alone = false;
        std::string endings;
    };
    std::vector<std::pair<CObjectFileArray*, std::string>> m_Sources;
    // By list name, the path and item name of "!Aaa".
    std::map<std::string, std::pair<std::string, std::string>> m_Copies;
    // "Stats.dat" as the control run saved it, the street won.
    std::string m_ProfileBeforeTheItems;

    // Copies the list's last item beside it as "!Aaa", which sorts before
    // every name, the none entry's too: unlike the first item, it shows
    // another picture, colour or text. Where that item is the only one, "!Aaa"
    // keeps only its class, all else as a new item has it.
    void CopyAsFirst(const SList& list)
    {
        namespace fs = std::filesystem;
        const fs::path at = fs::path(PathOf("Data")) / list.folder / fs::path(list.item).parent_path();
        const std::string stem = fs::path(list.item).filename().string();
        std::error_code error;
        // In name order: a folder's own order differs between file systems.
        std::set<fs::path> entries;
        for (const auto& entry : fs::directory_iterator(at, error))
            entries.insert(entry.path());
        // Only a file of the list's own ending: "Signpost" is an upgrade and a slot.
        const auto ownEnding = [&](const std::string& rest) {
            std::istringstream endings(list.endings);
            for (std::string ending; std::getline(endings, ending, ',');)
                if (CompareNameNoCase(rest.c_str(), ("." + ending).c_str()) == 0)
                    return true;
            return list.endings.empty() || rest.empty();
        };
        for (const fs::path& path : entries) {
            const std::string name = path.filename().string();
            const size_t dash = name[0] == '-' ? 1 : 0;
            if (name.size() < dash + stem.size()
                || CompareNameNoCase(name.substr(dash, stem.size()).c_str(), stem.c_str()) != 0
                || (name.size() > dash + stem.size() && name[dash + stem.size()] != '.')
                || !ownEnding(name.substr(dash + stem.size())))
                continue;
            // A sound's item name keeps its file's ending.
            const size_t dot = stem.rfind('.');
            const bool sound = name.size() == dash + stem.size() && dot != std::string::npos;
            const std::string item = "!Aaa" + (sound ? stem.substr(dot) : "");
            const fs::path made = at / (name.substr(0, dash) + item + name.substr(dash + stem.size()));
            fs::copy(path, made, fs::copy_options::recursive);
            // Shown under its own name, so its own lines (its card) are told apart.
            if (fs::is_regular_file(made) && made.extension() == ".txt") {
                std::string text = ReadBytes(made.string());
                const size_t shown = text.find("Name=" + stem + "\n");
                if (list.alone)
                    text = text.substr(0, text.find('\n')) + "\n{\n}\n";
                else if (shown != std::string::npos)
                    text.replace(shown + 5, stem.size(), "!Aaa");
                WriteBytes(made.string(), text);
            }
            m_Copies[list.name] = {made.string(), item};
            return;
        }
        ADD_FAILURE() << list.name << ": no file of its own to copy";
    }

    static std::string UpgradeName(int32_t upgrade)
    {
        return upgrade > 0 && upgrade < GetUpgradeList().GetCount() ? GetUpgradeList().GetItemName(upgrade) : "-";
    }

    // What the screen shows: the background drawn and the lessons open.
    void Shown(std::ostringstream& seen)
    {
        Passes(1);
        CBackgroundStyleSheet* sheet = GetCurrentBackgroundStyleSheet();
        CFrameList& frames = GetFrameLibrary();
        seen << "background "
             << (sheet && sheet->m_BackgroundImage > 0 ? frames.GetItemName(sheet->m_BackgroundImage) : "-") << "\n";
        for (const std::string& name : OpenMessages())
            seen << "lesson "
                 << GetTutorialList().GetObject(GetTutorialList().Find(name.c_str()))->m_Text.GetText().GetString()
                 << "\n";
    }

    // One run as a player meets the lists, written down: the transition a new
    // game opens with, the first street's background, paints, bar pictures
    // and customers, that street won with painted cottages and garages as
    // the scrapbook shows it from the control run's profile, saved before
    // any new item, the next street's background, money
    // line and shop cards, the last tutorial street's first lesson, and
    // the level set as saved. Fills lists, when given, with the lists to try.
    void Run(std::ostringstream& seen, std::vector<SList>* lists)
    {
        // Lists the game reads once for the process read the folder anew.
        for (const auto& [list, folder] : m_Sources)
            list->SetSource(nullptr, folder.c_str(), 0);
        ASSERT_TRUE(Start());
        ASSERT_TRUE(Pass(17));
        // The transition a new game opens with, and the period its song is of.
        CDecadeTransitionWindow* opening = GetDecadeTransitionWindow();
        ASSERT_NE(opening, nullptr);
        seen << "opening " << opening->GetTransition()->m_PositionMarkerName.GetString() << " in "
             << GetPeriodList().GetItemName(CGameSongPlayer::SGetInstance().GetCurrentPeriod()) << "\n";
        opening->Destroy();
        if (CLevelIntroWindow* intro = GetLevelIntroWindow())
            intro->Destroy();
        CFileListList& registry = CFileListList::SGetInstance();
        for (int32_t i = 0; i < registry.GetCount(); ++i) {
            CVirtualArray* list = registry.GetArray(i);
            const std::string name = registry.GetItemName(i);
            auto* files = dynamic_cast<CObjectFileArray*>(list);
            // A list without a none entry may still hold a "!None" file (decade transitions).
            int32_t first = files ? files->FirstRealRow() : 0;
            while (first < list->GetCount() && CObjectFileArray::SIsNoneEntryName(list->GetItemNameString(first)))
                ++first;
            if (!list || name == "Build Phase" || list->GetCount() <= first || !list->GetFolderName())
                continue;
            const std::string folder = list->GetFolderName();
            if (lists) {
                const char* endings = files ? files->GetListFileNameText() : nullptr;
                lists->push_back({name, folder, list->GetItemName(list->GetCount() - 1), list->GetCount() == first + 1,
                                  endings ? endings : ""});
                if (files && folder.find('|') == std::string::npos && folder.rfind("Cache", 0) != 0)
                    m_Sources.emplace_back(files, folder);
            } else if (m_Copies.count(name)) {
                EXPECT_GE(list->Find(m_Copies[name].second.c_str()), 0) << name << " read its folder again";
            }
        }
        if (lists)
            lists->push_back(
                {"Sequences", "Resources/Sequences", GetSequenceList().GetItemName(GetSequenceList().GetCount() - 1), false, ""});
        CLevelOptions* level = CLevelOptions::SGetCurrent();
        ASSERT_NE(level, nullptr);
        Shown(seen);
        for (int32_t i = 0; i < GetUpgradeList().GetCount(); ++i)
            if (auto* paint = dynamic_cast<CColorBuildablePart*>(GetUpgradeList().GetObject(i)))
                seen << "paint " << GetUpgradeList().GetItemName(i) << " " << std::hex
                     << paint->GetPaintColour().GetColorWord() << std::dec << "\n";
        seen << "paint unset " << std::hex << CColorBuildablePart().GetPaintColour().GetColorWord() << std::dec << "\n";
        CPlayfieldLayer* ui = level->GetPlayfield().FindLayer("UI");
        for (uint32_t i = 0; ui && i < ui->GetSpriteCount(); ++i)
            if (auto* button
                = dynamic_cast<CUpgradeButton*>(ui->GetSprite(i)->FindAI(CUpgradeButton::SGetClassInfo()))) {
                // Its picture as drawn.
                std::unique_ptr<CFrame> picture = CFrame::MakeOwned(96, 96, 32);
                CSpriteDrawRecord record;
                record.sprite = ui->GetSprite(i);
                record.spriteFrame = record.destination = picture.get();
                button->Draw(record);
                uint64_t sum = 0;
                for (uint32_t y = 0; y < picture->GetHeight(); ++y)
                    for (uint32_t x = 0; x < picture->GetWidth() * 4; ++x)
                        sum = sum * 31 + picture->Row(y)[x];
                seen << "button " << UpgradeName(button->GetUpgradeIndex()) << " " << sum << "\n";
            }
        CRandomGenerator random;
        random.Seed(5);
        level->BuildCustomerStylePool(random);
        for (size_t draws = level->GetCustomerStylePool().size(); draws > 0; --draws) {
            const int32_t style = level->NextRandomCustomerStyle(random);
            seen << "customer " << (style >= 0 ? GetCustomerStyleSheetList().GetItemName(style) : "-") << "\n";
        }

        const std::pair<int32_t, const char*> parts[]
            = {{GetFramePhase(), "Cottage"}, {GetGaragePhase(), "Single Garage"}, {GetColorPhase(), "Lemon Paint"}};
        for (CLot* lot : LotsOf(*level)) {
            lot->m_Building->SizeToBuildPhases();
            for (const auto& [phase, part] : parts) {
                ASSERT_TRUE(phase >= 0 && GetUpgradeList().Find(part) > 0) << part;
                lot->m_Building->m_Parts[uint32_t(phase)] = GetUpgradeList().Find(part);
            }
            delete lot->m_CustomerLivingHere;
            lot->m_CustomerLivingHere = new CCustomer;
        }
        CGameState::SGetCurrent()->m_RevenueK = level->m_RequiredRevenue + 1.0f;
        CLevelCompletion::CompleteLevel();
        App()->CloseAllOverlayScreens();
        ASSERT_TRUE(CStats::SGetInstance().Save());
        CStats::SShutdown();
        // A player's profile was saved before the new items came: each run
        // reads the control's.
        if (lists)
            m_ProfileBeforeTheItems = ReadBytes(PathOf("Stats.dat"));
        else
            WriteBytes(PathOf("Stats.dat"), m_ProfileBeforeTheItems);
        CStats::SGetInstance();
        Player().m_SelectedLevel = 0;
        CNeighborhoodViewer* viewer = OpenNeighborhoodViewer();
        ASSERT_NE(viewer, nullptr);
        for (CLot* lot : LotsOf(*viewer->GetLevelCopy())) {
            seen << "lot";
            const CBuildablePackage* building = lot->GetBuilding();
            for (uint32_t phase = 0; building && phase < building->m_Parts.GetCount(); ++phase)
                if (building->m_Parts[phase] != 0)
                    seen << " " << GetBuildPhaseList().GetItemName(int32_t(phase)) << "="
                         << UpgradeName(building->m_Parts[phase]);
            seen << "\n";
        }
        viewer->Destroy();

        SetCurrentLevelIndex(1);
        App()->EnterCurrentLevel();
        CShopWindow* shop = GetShopWindow();
        ASSERT_NE(shop, nullptr);
        Shown(seen);
        CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
        CFrameOverlayDrawContext shopping;
        shopping.m_pCurrentSet = sets.GetObject(sets.Find("Shopping Overlay"));
        auto* tabs = dynamic_cast<CArrayIndexFrameOverlay*>(
            shopping.m_pCurrentSet->FindOverlay(CJString("Tab"), nullptr, nullptr));
        ASSERT_NE(tabs, nullptr);
        auto* money = dynamic_cast<CFrameOverlayTextOverlay*>(
            shopping.m_pCurrentSet->FindOverlay(CJString("Money"), nullptr, nullptr));
        ASSERT_NE(money, nullptr);
        CFont* font = money->GetFont(shopping);
        seen << "money drawn " << (font ? font->GetTextWidth(money->m_Text.GetText()) : 0) << "\n";
        for (int32_t slot = GetUpgradeSlotList().HasNoneEntry() ? 1 : 0; slot < GetUpgradeSlotList().GetCount();
             ++slot) {
            SetShopSelectedSlot(slot);
            shop->SlotClicked();
            CTextSubstitutionList values;
            shop->FillSubstitutions(values);
            auto* line = dynamic_cast<CFrameOverlayTextOverlay*>(tabs->Pick(&values));
            seen << "card " << GetUpgradeSlotList().GetItemName(slot) << ": "
                 << values.Apply(CJString("%s[Name]")).GetString() << " / "
                 << (line ? line->m_Text.GetText().GetString() : "") << "\n";
        }
        shop->Quit();
        App()->StartLevelByIndex(FindLevels()->GetCount() - 1);
        if (CLevelIntroWindow* intro = GetLevelIntroWindow())
            intro->Destroy();
        Passes(2);
        CMessage arrived = CMessage::CMessageByName("CustomerArrived");
        GetCurrentPlayfield()->BroadcastMessage(arrived);
        Passes(3);
        Shown(seen);

        ASSERT_TRUE(FindLevels()->SaveToFile(PathOf("Saved Levels.txt").c_str(), kSaveSkipWritableTest));
        seen << ReadBytes(PathOf("Saved Levels.txt")) << "\n";
        EndRun();
        std::filesystem::remove(PathOf("Stats.dat"));
    }
};

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
        // and life rewards are never referred to by row, the decade shown
        // counts the periods from row 0, and build phases are the rows of
        // every house's parts.
        const std::string first = list->GetCount() > 0 ? list->GetItemName(0) : "!";
        if (name != "General Objects" && name != "LifeRewards" && name != "Period" && name != "Build Phase") {
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

// A button picture is the one saved whatever sorts first later: a picture
// added before every other (as the image browser adds one) and the one
// after it keep their buttons across a save and a new start, and the second
// does after the first is deleted. Buttons without a picture stay without.
// A set of an earlier build reads as written: the last build's with every
// picture set keeps the one that sorts first in it; the build without a none
// picture wrote a missing one by its first picture, which then shows.
TEST_F(ListsInGame, AButtonPictureReadsAsSavedWhateverSortsFirst)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CFrameList& frames = GetFrameLibrary();
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    CFrameOverlayOptions* menu = sets.GetObject(sets.Find("Main Menu Overlay"));
    ASSERT_NE(menu, nullptr);
    const auto button = [](CFrameOverlayOptions* set, const char* id) {
        return dynamic_cast<CFrameOverlayButton*>(set->FindOverlay(CJString(id), nullptr, nullptr));
    };
    // A button's five pictures by name, "-" for none.
    const auto pictures = [&](CFrameOverlayOptions* set, const char* id) {
        std::string names;
        for (int32_t* row : button(set, id) ? button(set, id)->Pictures() : std::array<int32_t*, 5>{})
            names += (row && *row > 0 ? frames.GetItemName(*row) : "-") + std::string(" ");
        return names;
    };
    const std::string next = frames.GetItemName(1);
    std::unique_ptr<CNewFileOptions> options(frames.GetNewFileOptions());
    ASSERT_TRUE(options);
    options->m_Name.Set("Aardvark");
    ASSERT_EQ(frames.AddItemFromNewFileOptions(*options), 1);
    ASSERT_NE(button(menu, "PlayGame"), nullptr);
    button(menu, "PlayGame")->m_NormalImage = 1;
    button(menu, "PlayGame")->m_HoverImage = 2;
    const std::string saved = PathOf("Data/Resources/Frame Overlay Options/Main Menu Overlay.FOO");
    ASSERT_TRUE(menu->SaveToFile(saved.c_str(), kSaveSkipWritableTest));
    // Read as a new start reads it, the pictures listed anew.
    const auto read = [&](const std::string& path) {
        frames.SetSource(nullptr, "Resources/Frames", 0);
        return std::unique_ptr<CFrameOverlayOptions>(dynamic_cast<CFrameOverlayOptions*>(
            LoadObjectFromFile(path.c_str(), 0, IdMode::WithoutIds, ReportUnknownClass::Fatal, nullptr)));
    };
    const std::string unset = "- - - - - ";
    std::unique_ptr<CFrameOverlayOptions> back = read(saved);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(pictures(back.get(), "PlayGame"), "Aardvark " + next + " - - - ");
    EXPECT_EQ(pictures(back.get(), "Options"), unset);

    const std::string builds = OMBRISALT_SOURCE_DIR "/tests/game/screens/previous-build/";
    std::unique_ptr<CFrameOverlayOptions> old = read(builds + "60958a47/Main Menu Overlay.FOO");
    ASSERT_NE(old, nullptr);
    std::string first;
    for (int i = 0; i < 5; ++i)
        first += "EditLayerChecked ";
    for (const char* id : {"PlayGame", "ChangePlayer", "Options", "Exit"})
        EXPECT_EQ(pictures(old.get(), id), first) << id;
    ASSERT_TRUE(old->SaveToFile(PathOf("Old Menu.FOO").c_str(), kSaveSkipWritableTest));
    // Saved again, no picture's name gives way to none.
    const auto namesNone = [](const std::string& text) {
        return text.find("Image=!None") != std::string::npos || text.find("Preview On=!None") != std::string::npos;
    };
    EXPECT_FALSE(namesNone(ReadBytes(PathOf("Old Menu.FOO"))));

    // The last build's writer, every picture set; Play's sorts first.
    std::string every = ReadBytes(builds + "37284699/Main Menu Overlay.FOO");
    const size_t play = every.find("Normal Image=!None", every.find("ID=PlayGame"));
    ASSERT_NE(play, std::string::npos);
    every.replace(play, std::strlen("Normal Image=!None"), "Normal Image=Harbour Background");
    for (size_t at = every.find("=!None"); at != std::string::npos; at = every.find("=!None", at))
        every.replace(at, std::strlen("=!None"), "=Panel");
    WriteBytes(PathOf("Every Picture.FOO"), every);
    std::unique_ptr<CFrameOverlayOptions> all = read(PathOf("Every Picture.FOO"));
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(pictures(all.get(), "PlayGame"), "Harbour Background Panel Panel Panel Panel ");
    EXPECT_EQ(all->m_PreviewFrame, frames.Find("Panel"));
    ASSERT_TRUE(all->SaveToFile(PathOf("Every Picture Again.FOO").c_str(), kSaveSkipWritableTest));
    const std::string again = ReadBytes(PathOf("Every Picture Again.FOO"));
    EXPECT_NE(again.find("Normal Image=Harbour Background\r\n"), std::string::npos);
    EXPECT_FALSE(namesNone(again));

    ASSERT_TRUE(std::filesystem::remove(PathOf("Data/Resources/Frames/Aardvark.tga")));
    back = read(saved);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(frames.GetItemName(1), next);
    EXPECT_EQ(pictures(back.get(), "PlayGame"), "- " + next + " - - - ");
}

// Each list of the demo but build phases (they must keep no placeholder)
// gets an item that sorts first; the run with them shows and keeps what the
// run without did, also on the data without any "!None" file. All lists at
// once; when that run differs, one at a time, to name the ones that moved something.
// A list left out of the ones that keep a none entry (backgrounds, tutorials,
// sequences, hue sheets, fonts) gives its first item to what sets none there,
// and the new item takes it: the street without a background, the garage
// lesson, the saved lots' pictures, an unset paint, the shop's money line.
TEST_F(ListsInGame, ANewFirstItemInAnyListChangesNothingElse)
{
    namespace fs = std::filesystem;
    std::vector<std::string> streets; // the opening and the first street, per variant
    // The second street, where the shop opens, sets no background.
    std::string levels = ReadBytes(PathOf("Data/Resources/Levels.Object.txt"));
    const size_t second = levels.find("Background=Harbour", levels.find("Display Name=Menders Lane"));
    ASSERT_NE(second, std::string::npos);
    WriteBytes(PathOf("Data/Resources/Levels.Object.txt"), levels.erase(second, levels.find('\n', second) - second));
    // The shop's set names no font, nor does its line of money.
    const std::string shop = PathOf("Data/Resources/Frame Overlay Options/Shopping Overlay.FOO");
    std::string set = ReadBytes(shop);
    const size_t font = set.find("\tText Font=Fonts/Body\r\n");
    ASSERT_NE(font, std::string::npos);
    WriteBytes(shop, set.erase(font, std::strlen("\tText Font=Fonts/Body\r\n")));
    for (const bool placeholders : {true, false}) {
        const char* variant = placeholders ? "" : ", no placeholders";
        if (!placeholders) {
            std::vector<fs::path> none;
            for (const auto& entry : fs::recursive_directory_iterator(PathOf("Data")))
                if (entry.path().filename().string().find("!None") <= 1)
                    none.push_back(entry.path());
            for (const fs::path& path : none)
                fs::remove_all(path);
        }
        std::ostringstream control;
        std::vector<SList> lists;
        ASSERT_NO_FATAL_FAILURE(Run(control, &lists));
        const std::string expected = control.str();
        // The control itself: the houses as built, each card naming its
        // part, no row of a none build phase in the streets.
        EXPECT_EQ(GetBuildPhaseList().GetItemName(0), std::string("Add On"));
        EXPECT_NE(expected.find("lot Color=Lemon Paint Frame=Cottage Garage=Single Garage\n"), std::string::npos)
            << expected;
        EXPECT_EQ(expected.find("!None=0.8"), std::string::npos) << expected;
        for (const char* card : {"Frame A: Bungalow / Part of the build: the frame",
                                 "Garage A: Double Garage / Part of the build: the garage",
                                 "Garage Crew: Quick Garage Crew / Part of the build: the garage",
                                 "Paint A: Mint Paint / Part of the build: the paint"})
            EXPECT_NE(expected.find(std::string("card ") + card + "\n"), std::string::npos) << card << variant;
        streets.push_back(expected.substr(0, expected.find("\nlot ")));

        // "!Aaa" in each chosen list for one run; the run and the control but
        // for the item's own lines (its card, its element of an array that
        // follows its list) and the ones they stand in for (the card it takes).
        const auto runWith = [&](const std::vector<SList>& chosen) {
            for (const SList& list : chosen)
                CopyAsFirst(list);
            std::ostringstream seen;
            Run(seen, nullptr);
            for (const auto& [name, copy] : m_Copies)
                fs::remove_all(copy.first);
            m_Copies.clear();
            std::set<std::string> own;
            std::istringstream lines(seen.str());
            for (std::string line; std::getline(lines, line);)
                if (line.find("!Aaa") != std::string::npos)
                    own.insert(line.substr(0, line.find(':')));
            const auto others = [&](const std::string& run) {
                std::istringstream all(run);
                std::string kept;
                for (std::string line; std::getline(all, line);)
                    if (!own.count(line.substr(0, line.find(':'))) && line.find("!Aaa") == std::string::npos)
                        kept += line + "\n";
                return kept;
            };
            return std::make_pair(others(expected), others(seen.str()));
        };
        EXPECT_GE(lists.size(), 13u);
        const auto [before, after] = runWith(lists);
        EXPECT_EQ(after, before) << "a new first item changed the run" << variant;
        for (size_t i = 0; after != before && i < lists.size(); ++i) {
            const auto [was, is] = runWith({lists[i]});
            EXPECT_EQ(is, was) << lists[i].name << variant;
        }
    }
    // The opening and the first street show the same without the "!None" files.
    EXPECT_EQ(streets[0], streets[1]);
}

} // namespace
