// What the screens set up before the game starts, and what the end of the
// process does with the profiles: a fatal data error leaves the last good
// "Stats.dat", an orderly end always writes it.
#include "ScreensGameTest.h"

#include "foundation/CLocalizationTable.h"
#include "foundation/CLocalizedString.h"
#include "foundation/FatalError.h"
#include "game/screens/CMainMenu.h"
#include "game/screens/CStats.h"
#include "game/screens/RegisterGameScreensClasses.h"
#include "game/screens/ScreensGlobals.h"
#include "game/world/RegisterGameWorldClasses.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char* const kScreenTexts[] = {
    "Play", "Replay", "Continue", "The End?", "New Player", "Start Over?",
    "You have finished the game. Would you like to create a new player profile to start the game over from the "
    "beginning?  Your old player profile will still be accessible.",
    "Yes - Create a new player profile", "No - Keep using completed profile", "Retired", "Options", "Pause",
    "Quit Confirmation", "Stop Playing", "Keep Playing", "Restart Level Confirmation", "Restart Level",
    "Incomplete Player", "You must enter a name for the new player.", "Name Already Used",
    "You must enter a name that has not already been used.", "Add new player first.",
    "You must add a new player before deleting this one.", "Delete Player",
    "Are you sure you want to permanently delete %s[PlayerName]?  All high scores for %s[PlayerName] will be deleted "
    "and %s[PlayerName] will have to restart from level 1.",
    "Change Player", "Select", "Edit", "Delete", "Edit Player", "Cancel", "Mute", "Kids", "Standard", "Done",
    "Trophy Room", "Click on trophy to view more information", "Type", "Full Screen", "Windowed", "Resolution",
    "Desktop\n(Letterboxed)", "1024 X 768\n(Stretched)", "Close", "Credits", "Select Fish", "Tested", "Errors",
    "Error", "You must enter a player name.", "That name is already being used.", "Name", "Ok", "Yes - First Time",
    "No - I Have Played Before"};

uint32_t TimesRegistered(const char* english)
{
    CList<CStringAnnotationPair>& registry = GetRegisteredLocalizedStrings();
    uint32_t count = 0;
    for (uint32_t i = 0; i < registry.GetCount(); ++i)
        if (registry[i].m_String && std::string(registry[i].m_String->GetEnglish()) == english)
            ++count;
    return count;
}

void Shout(CJString& text)
{
    std::string upper = text.GetString();
    for (char& c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    text = upper.c_str();
}

// In a process of its own: nothing else of the test program has made a
// screen's text before the start-up registration.
TEST(ScreensStartupChild, RegistersEveryTextBeforeTheTableTranslatesThem)
{
    if (!std::getenv("OMBRISALT_STARTUP_CHILD"))
        GTEST_SKIP() << "runs only as the child of ScreensStartup.EveryTextIsRegisteredOnceAtStartUp";
    RegisterGameWorldClasses();
    RegisterGameScreensClasses();
    std::ofstream out("child.txt", std::ios::binary);
    for (const char* text : kScreenTexts)
        out << TimesRegistered(text) << "\n";
    const uint32_t before = GetRegisteredLocalizedStrings().GetCount();
    RegisterGameScreensClasses();
    out << "again " << GetRegisteredLocalizedStrings().GetCount() - before << "\n";
    // The table's pass over the registry reaches the strings the screens show.
    GetLocalizationTable().SetTranslationHook(&Shout);
    GetLocalizationTable().ApplyToRegisteredStrings();
    out << CStats::GetDifficultyName(0).GetString() << " " << GetVersionText().GetString() << "\n";
    out << GetCircularExecutionText().GetString() << "\n";
    const CColor& black = GetOpaqueBlack();
    out << int(black.GetRed()) << int(black.GetGreen()) << int(black.GetBlue()) << " " << int(black.GetAlpha())
        << "\n";
}

TEST(ScreensStartup, EveryTextIsRegisteredOnceAtStartUp)
{
    const std::string folder = std::filesystem::temp_directory_path() / "ombrisalt-startup-XXXXXX";
    std::vector<char> name(folder.begin(), folder.end());
    name.push_back('\0');
    ASSERT_NE(::mkdtemp(name.data()), nullptr);
    const std::string dir(name.data());
    ASSERT_EQ(::setenv("OMBRISALT_STARTUP_CHILD", "1", 1), 0);
    const bool ran = RunThisProgramWithTest("ScreensStartupChild.*", dir);
    ::unsetenv("OMBRISALT_STARTUP_CHILD");
    ASSERT_TRUE(ran);
    std::ifstream in(dir + "/child.txt", std::ios::binary);
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(in, line))
        lines.push_back(line);
    std::filesystem::remove_all(dir);
    const size_t texts = std::size(kScreenTexts);
    ASSERT_EQ(lines.size(), texts + 4);
    // Two screens may show the same text, each with its own string.
    for (size_t i = 0; i < texts; ++i)
        EXPECT_NE(lines[i], "0") << kScreenTexts[i];
    EXPECT_EQ(lines[texts], "again 0");
    const size_t end = texts + 1;
    EXPECT_EQ(lines[end], "KIDS 1.0 BUILD 24");
    EXPECT_EQ(lines[end + 1], "*ERROR* Circular execution detected!");
    EXPECT_EQ(lines[end + 2], "000 255");
}

class ScreensExit : public CScreensGameTest {};

// The child half of the test below: plays, renames the profile, then meets
// a fatal data error, leaving its folder's name behind.
TEST_F(ScreensExit, ChildMeetsAFatalDataErrorWithChangedProfiles)
{
    const char* report = std::getenv("OMBRISALT_FATAL_CHILD");
    if (!report)
        GTEST_SKIP() << "runs only as the child of ScreensExit.AFatalDataErrorKeepsTheLastSavedProfiles";
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    Passes(5);
    Player().m_Name = "Before";
    ASSERT_TRUE(CStats::SGetInstance().Save());
    WriteBytes(std::string(report) + "/folder.txt", Folder());
    Player().m_Name = "After";
    CStats::SGetInstance().SetNeedsSave();
    Passes(2);
    SetFatalTerminator(nullptr);
    FatalDataError("Data Error", "A test's fatal data error.");
}

TEST_F(ScreensExit, AFatalDataErrorKeepsTheLastSavedProfilesAndAnOrderlyEndWritesThem)
{
    const std::string command = "OMBRISALT_HEADLESS=1 OMBRISALT_FATAL_CHILD='" + Folder() + "' '"
        + plat::GetProgramPath() + "' --gtest_filter=ScreensExit.ChildMeetsAFatalDataErrorWithChangedProfiles";
    EXPECT_EQ(RunCommand(command), 255);
    const std::string child = ReadBytes(PathOf("folder.txt"));
    ASSERT_FALSE(child.empty());
    const std::string saved = ReadBytes(child + "/Stats.dat");
    std::filesystem::remove_all(child);
    ASSERT_FALSE(saved.empty());
    WriteBytes(PathOf("Stats.dat"), saved);

    // The file the fatal end left is the one saved before it.
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    EXPECT_STREQ(Player().m_Name.GetString(), "Before");
    // The orderly end writes the profiles, changed or not.
    Player().m_Name = "After";
    EndRun();
    CStats::SShutdown();
    EXPECT_STREQ(CStats::SGetInstance().GetCurrentPlayer()->m_Name.GetString(), "After");
}

} // namespace
