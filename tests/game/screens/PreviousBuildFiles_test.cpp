// Files that earlier builds wrote, read by this one with the meaning they had
// (previous-build/README.md says how each was made).
#include "ScreensGameTest.h"

#include "game/business/CUpgrade.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CMainMenu.h"
#include "game/screens/CStats.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "images/CFrameList.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "objects/ObjectFileCallbacks.h"
#include "overlays/ButtonOverlays.h"
#include "overlays/CFrameOverlay.h"
#include "platform/Profile.h"
#include "support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

const std::string kFrom = OMBRISALT_SOURCE_DIR "/tests/game/screens/previous-build/";

class PreviousBuildFiles : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        ReadProcessLists();
        InstallMainMenuScreen();
    }
    void TearDown() override
    {
        if (CMainMenu* menu = GetMainMenu())
            menu->Destroy();
        CScreensGameTest::TearDown();
    }
    void Take(const std::string& name, const std::string& to)
    {
        std::filesystem::copy_file(kFrom + name, PathOf(to), std::filesystem::copy_options::overwrite_existing);
    }
};

// (section, key, value) of every setting, as the file's reader splits it.
std::vector<std::tuple<std::string, std::string, std::string>> Settings(const std::string& bytes)
{
    std::vector<std::tuple<std::string, std::string, std::string>> settings;
    std::string section;
    std::istringstream lines(bytes);
    for (std::string line; std::getline(lines, line);) {
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[')
            section = line.substr(1, line.find(']') - 1);
        else if (line.find('=') != std::string::npos)
            settings.emplace_back(section, line.substr(0, line.find('=')), line.substr(line.find('=') + 1));
    }
    return settings;
}

size_t UnsetReferences(const std::string& text)
{
    size_t count = 0;
    for (size_t at = text.find("=!None"); at != std::string::npos; at = text.find("=!None", at + 1))
        ++count;
    return count;
}

std::string WithoutLotInfo(const std::string& text)
{
    std::istringstream lines(text);
    std::string kept;
    for (std::string line; std::getline(lines, line);)
        if (line.find("Lot Info=") == std::string::npos)
            kept += line + "\n";
    return kept;
}

// Each build's profile, main menu and level set. The first build kept the
// scrapbook's upgrade rows, the second its parts by name, each one phase
// late, and an unset reference as "!None", with a frequency for the none
// phase; its menu gave one button a picture. Rows that a list grown since
// has moved off their phases stay as written. The first build wrote a
// missing picture by its first picture's name, which reads as that picture.
struct SBuild {
    const char* folder;
    std::vector<std::array<std::string, 4>> lots; // the parts drawn
    const char* pictured = "";                    // the button with a picture; "*" every one
    const char* grown = "";                       // an upgrade added since
    std::vector<std::string> kept = {};           // the scrapbook entries as kept
    bool noNoneFiles = false;                     // data made without "!None" files
};

TEST_F(PreviousBuildFiles, ReadWithTheMeaningTheyHad)
{
    const std::vector<SBuild> builds = {
        {"60958a47/",
         {{"", "Lemon Paint", "Cottage", "Single Garage"},
          {"", "Sky Blue Paint", "Cottage", "Single Garage"},
          {"", "Lemon Paint", "Cottage", ""}},
         "*"},
        {"60958a47/",
         {{"", "Lemon Paint", "Cottage", "Single Carport"},
          {"", "Single Garage", "Cottage", "Single Carport"},
          {"", "Lemon Paint", "Cottage", ""}},
         "*",
         "Single Carport",
         {"0,14,5,25", "0,26,5,25", ",\"Lemon Paint\",\"Cottage\","}},
        {"37284699/",
         {{"", "Lemon Paint", "Cottage", ""},
          {"", "Sky Blue Paint", "Cottage", ""},
          {"", "Lemon Paint", "Cottage", ""}},
         "Options",
         "",
         {},
         true},
    };
    for (const SBuild& build : builds) {
        SCOPED_TRACE(std::string(build.folder) + build.grown);
        Take(build.folder + std::string("Stats.dat"), "Stats.dat");
        Take(build.folder + std::string("Main Menu Overlay.FOO"),
             "Data/Resources/Frame Overlay Options/Main Menu Overlay.FOO");
        if (*build.grown)
            std::filesystem::copy_file(PathOf("Data/Resources/Big Pacifier.Upgrade.txt"),
                                       PathOf(std::string("Data/Resources/") + build.grown + ".Upgrade.txt"));
        std::vector<std::filesystem::path> none;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(PathOf("Data")))
            if (build.noNoneFiles && entry.path().filename().string().find("!None") <= 1)
                none.push_back(entry.path());
        for (const std::filesystem::path& path : none)
            std::filesystem::remove_all(path);
        for (CObjectFileArray* list : DataLists()) { // read again at the start
            list->RemoveAll();
            list->SetSource(nullptr, "Resources", 0);
        }
        ASSERT_TRUE(Start());
        Passes(2);

        // The menu's four buttons with their titles, and only the picture given.
        CMainMenu* menu = GetMainMenu();
        ASSERT_NE(menu, nullptr);
        for (const auto& [id, title] : std::vector<std::pair<const char*, const char*>>{
                 {"PlayGame", "Play"}, {"ChangePlayer", "Change Player"}, {"Options", "Options"}, {"Exit", "Exit"}}) {
            CJButton* button = menu->GetButton(id);
            ASSERT_NE(button, nullptr) << id;
            EXPECT_STREQ(button->GetTitleText(), title) << id;
            EXPECT_EQ(button->HasAnyImage(), std::string(id) == build.pictured || *build.pictured == '*') << id;
        }
        if (*build.pictured && *build.pictured != '*') {
            CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
            const auto* button
                = dynamic_cast<CFrameOverlayButton*>(sets.GetObject(sets.Find("Main Menu Overlay"))
                                                         ->FindOverlay(CJString(build.pictured), nullptr, nullptr));
            ASSERT_NE(button, nullptr);
            EXPECT_STREQ(GetFrameLibrary().GetItemName(button->m_NormalImage), "Panel");
        }

        // The whole profile, every value where that build put it; the
        // scrapbook's entries as kept are checked below.
        EXPECT_EQ(WithoutLotInfo(ObjectToText(&CStats::SGetInstance(), IdMode::WithoutIds)),
                  ReadBytes(kFrom + build.folder + "Stats.dat.txt"));

        // The won street's lots with the parts that build drew in its scrapbook.
        const CPlayerStatsForLevel* won = Player().FindLevelStats(0);
        ASSERT_NE(won, nullptr);
        EXPECT_TRUE(won->HasBeenCompleted());
        ASSERT_EQ(won->m_SavedLevelInfoForScrapbook.GetCount(), build.lots.size());
        for (uint32_t lot = 0; lot < build.lots.size(); ++lot) {
            const CJString& entry = won->m_SavedLevelInfoForScrapbook[lot];
            if (!build.kept.empty()) {
                EXPECT_STREQ(entry.GetString(), build.kept[lot].c_str()) << "lot " << lot;
            }
            const std::array<int32_t, 4> rows = CPlayerStatsForLevel::SPartsOfLotInfo(entry);
            for (uint32_t part = 0; part < 4; ++part)
                EXPECT_EQ(rows[part] > 0 ? GetUpgradeList().GetItemName(rows[part]) : "", build.lots[lot][part])
                    << "lot " << lot << ", part " << part;
        }

        // The saved set's one street means what the demo's Harbour Row means:
        // this build writes both alike.
        std::unique_ptr<CObject> read(LoadObjectFromFile((kFrom + build.folder + "Levels.Object.txt").c_str(), 0,
                                                         IdMode::WithoutIds, ReportUnknownClass::Fatal, nullptr));
        auto* saved = dynamic_cast<CLevelSet*>(read.get());
        ASSERT_NE(saved, nullptr);
        ASSERT_EQ(saved->GetCount(), 1u);
        ASSERT_TRUE(saved->GetLevel(0)->SaveToFile("Saved Street.txt", kSaveSkipWritableTest));
        ASSERT_TRUE(GetLevels()->GetLevel(0)->SaveToFile("Demo Street.txt", kSaveSkipWritableTest));
        const std::string street = ReadBytes("Data/Saved Street.txt");
        EXPECT_EQ(street, ReadBytes("Data/Demo Street.txt"));
        // An unset reference stays unset where no "!None" file stands for it.
        EXPECT_EQ(UnsetReferences(street), UnsetReferences(ReadBytes(kFrom + build.folder + "Levels.Object.txt")));
        EndRun();

        // The set as that build saved it is read whole: a frequency it kept
        // for a none phase this data has not stands for nothing here, and a
        // save over the file is not refused. A row typed by hand for no phase
        // still is.
        Take(build.folder + std::string("Levels.Object.txt"), "Data/Resources/Levels.Object.txt");
        const std::string levelsFile = PathOf("Data/Resources/Levels.Object.txt");
        EXPECT_NE(std::unique_ptr<CObject>(ReadObjectFileWhole(levelsFile.c_str())), nullptr);
        for (CObjectFileArray* list : DataLists()) {
            list->RemoveAll();
            list->SetSource(nullptr, "Resources", 0);
        }
        ASSERT_TRUE(Start());
        GetLevels()->GetLevel(0)->m_Customers = 7;
        CJString failed;
        EXPECT_TRUE(SaveLevelSetToOwnFile(*GetLevels(), failed)) << GetFailedSaveReason().GetString();
        EXPECT_NE(ReadBytes(levelsFile).find("Customers=7\r\n"), std::string::npos);
        EndRun();
        std::string typed = ReadBytes(kFrom + build.folder + "Levels.Object.txt");
        const size_t rows = typed.find("Frequency List=Array\r\n\t\t\t{\r\n");
        ASSERT_NE(rows, std::string::npos);
        typed.insert(typed.find('\n', typed.find('{', rows)) + 1, "\t\t\t\tRoof=0.5\r\n");
        WriteBytes(levelsFile, typed);
        EXPECT_EQ(std::unique_ptr<CObject>(ReadObjectFileWhole(levelsFile.c_str())), nullptr);
    }

    // Every setting stays in its section when keys are written after it.
    for (const char* name : {"Settings LF.CFG", "Settings Lone CR.CFG"}) {
        Take(std::string("37284699/") + name, name);
        const std::string file = PathOf(name);
        const auto before = Settings(ReadBytes(file));
        ASSERT_FALSE(before.empty()) << file;
        const std::string last = std::get<0>(before.back());
        ASSERT_TRUE(plat::WriteProfileString(file, "Scrap Book Window", "Width", "640")) << file;
        ASSERT_TRUE(plat::WriteProfileString(file, last, "Written After", "1")) << file;
        for (const auto& [section, key, value] : before)
            EXPECT_EQ(plat::ReadProfileString(file, section, key, "?"), value) << file << ": " << key;
        EXPECT_EQ(plat::ReadProfileString(file, "Scrap Book Window", "Width", "?"), "640") << file;
        EXPECT_EQ(plat::ReadProfileString(file, last, "Written After", "?"), "1") << file;
        EXPECT_EQ(Settings(ReadBytes(file)).size(), before.size() + 2) << file;
    }
}

} // namespace
