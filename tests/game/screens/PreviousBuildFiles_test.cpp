// Files that earlier builds wrote, read by this one with the meaning they had
// (previous-build/README.md says how each was made).
#include "ScreensGameTest.h"

#include "game/business/CUpgrade.h"
#include "game/screens/CMainMenu.h"
#include "game/screens/CStats.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "objects/CObject.h"
#include "platform/Profile.h"

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

TEST_F(PreviousBuildFiles, ReadWithTheMeaningTheyHad)
{
    Take("Stats.dat", "Stats.dat");
    Take("Main Menu Overlay.FOO", "Data/Resources/Frame Overlay Options/Main Menu Overlay.FOO");
    ASSERT_TRUE(Start());
    Passes(2);

    // The menu's four buttons with their titles and no picture.
    CMainMenu* menu = GetMainMenu();
    ASSERT_NE(menu, nullptr);
    for (const auto& [id, title] : std::vector<std::pair<const char*, const char*>>{
             {"PlayGame", "Play"}, {"ChangePlayer", "Change Player"}, {"Options", "Options"}, {"Exit", "Exit"}}) {
        CJButton* button = menu->GetButton(id);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_STREQ(button->GetTitleText(), title) << id;
        EXPECT_FALSE(button->HasAnyImage()) << id;
    }

    // The won street's lots with the parts that build drew in its scrapbook.
    const CPlayerStatsForLevel* won = Player().FindLevelStats(0);
    ASSERT_NE(won, nullptr);
    EXPECT_TRUE(won->HasBeenCompleted());
    const std::vector<std::array<std::string, 4>> lots = {
        {"", "Lemon Paint", "Cottage", "Single Garage"},
        {"", "Sky Blue Paint", "Cottage", "Single Garage"},
        {"", "Lemon Paint", "Cottage", ""},
    };
    ASSERT_EQ(won->m_SavedLevelInfoForScrapbook.GetCount(), lots.size());
    for (uint32_t lot = 0; lot < lots.size(); ++lot) {
        const std::array<int32_t, 4> rows
            = CPlayerStatsForLevel::SPartsOfLotInfo(won->m_SavedLevelInfoForScrapbook[lot]);
        for (uint32_t part = 0; part < 4; ++part)
            EXPECT_EQ(rows[part] > 0 ? GetUpgradeList().GetItemName(rows[part]) : "", lots[lot][part])
                << "lot " << lot << ", part " << part;
    }

    // The saved set's one street means what the demo's Harbour Row means:
    // this build writes both alike.
    std::unique_ptr<CObject> read(LoadObjectFromFile((kFrom + "Levels.Object.txt").c_str(), 0, IdMode::WithoutIds,
                                                     ReportUnknownClass::Fatal, nullptr));
    auto* saved = dynamic_cast<CLevelSet*>(read.get());
    ASSERT_NE(saved, nullptr);
    ASSERT_EQ(saved->GetCount(), 1u);
    ASSERT_TRUE(saved->GetLevel(0)->SaveToFile("Saved Street.txt", kSaveSkipWritableTest));
    ASSERT_TRUE(GetLevels()->GetLevel(0)->SaveToFile("Demo Street.txt", kSaveSkipWritableTest));
    EXPECT_EQ(ReadBytes("Saved Street.txt"), ReadBytes("Demo Street.txt"));

    // Every setting stays in its section when keys are written after it.
    for (const char* name : {"Settings LF.CFG", "Settings Lone CR.CFG"}) {
        Take(name, name);
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
