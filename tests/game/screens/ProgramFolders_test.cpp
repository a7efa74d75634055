// The program started over the demo data in folders whose names the 8-bit
// form cannot hold (Greek, Chinese, an emoji) or that hold a "\": it starts,
// plays and keeps the profiles there; and the start-up reports that speak to
// whoever put the data there.
#include "../../shell/ShellTestSupport.h"

#include "game/screens/CStats.h"
#include "objects/CPropertyArrayProperty.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class ProgramFolders : public CTempFolderTest {
protected:
    // A copy of the demo data in Folder()/name; the folder.
    std::string DataIn(const std::string& name)
    {
        const std::string folder = PathOf(name);
        fs::create_directories(folder);
        fs::copy(OMBRISALT_DEMO_DATA "/Data", folder + "/Data", fs::copy_options::recursive);
        return folder;
    }
    // Runs the program headless over the folder; its exit status, its
    // standard error in *errors.
    int Run(const std::string& folder, std::string* errors, int passes = 60)
    {
        const std::string errorFile = PathOf("run.err");
        const std::map<std::string, std::string> headless{
            {"XDG_RUNTIME_DIR", Folder()}, {"OMBRISALT_HEADLESS", "1"}, {"ASAN_OPTIONS", "detect_leaks=0"}};
        const int pid = SpawnProgram({"/DataFolder", folder, "/Passes", std::to_string(passes)}, headless, {},
                                     errorFile);
        if (pid <= 0)
            return -1;
        const int status = WaitForExitStatus(pid);
        *errors = ReadBytes(errorFile);
        return status;
    }
};

void AddPlayer(CStats& stats, const char* name)
{
    auto* player = new CPlayerStats;
    player->m_Name = name;
    auto* array = static_cast<CPropertyArrayProperty*>(CStats::SGetClassInfo()->FindProperty("Players"));
    const uint32_t n = stats.m_Players.GetCount();
    array->ArrayProperty_SetCount(&stats, n + 1);
    stats.m_Players[n] = player;
}

TEST_F(ProgramFolders, TheProgramStartsPlaysAndKeepsTheProfilesInAFolderOfAnyName)
{
    for (const std::string name : {"Ωμέγα", "数据", "🎮", "a\\b"}) {
        SCOPED_TRACE(name);
        const std::string folder = DataIn(name);
        {
            const CScopedFolderB saves(folder.c_str());
            CStats stats;
            AddPlayer(stats, "Keeper");
            ASSERT_TRUE(stats.Save());
        }
        ASSERT_TRUE(fs::exists(folder + "/Stats.dat"));

        std::string errors;
        EXPECT_EQ(Run(folder, &errors), 0) << errors;
        EXPECT_EQ(errors.find("Stats.dat"), std::string::npos) << errors;
        EXPECT_FALSE(fs::exists(folder + "/Stats.dat.bad"));
        EXPECT_TRUE(fs::exists(folder + "/Data/Cache")) << "the caches are made beside the data";

        // What the program saved on its way out reads back here.
        const CScopedFolderB saves(folder.c_str());
        CStats read;
        ASSERT_TRUE(read.Load());
        bool kept = false;
        for (uint32_t i = 0; i < read.GetPlayerCount(); ++i)
            kept = kept || std::string(read.GetPlayer(i)->m_Name.GetString()) == "Keeper";
        EXPECT_TRUE(kept) << "the profile saved before the run";
    }
    EXPECT_FALSE(fs::exists(PathOf("a"))) << "no folder made from part of a name";
}

TEST_F(ProgramFolders, AFolderWithoutTheDataIsNamedInTheReport)
{
    const std::string folder = PathOf("Ωμέγα");
    fs::create_directories(folder);
    std::string errors;
    EXPECT_EQ(Run(folder, &errors, 5), 255);
    EXPECT_NE(errors.find("Fatal Folder Error"), std::string::npos) << errors;
    EXPECT_NE(errors.find("\"" + folder + "/Data/Resources/Frames\""), std::string::npos) << errors;
    EXPECT_EQ(errors.find("List contains no items"), std::string::npos) << errors;
}

TEST_F(ProgramFolders, ASoundNamedThroughTheStartUpSetIsReportedAsTooEarly)
{
    const std::string folder = DataIn("data");
    // The loading picture's set shows the tree, whose properties name its
    // rustle: the audio list has no folder yet at that point.
    const std::string set = folder + "/Data/Resources/Frame Overlay Options/Splash.FOO";
    std::string text = ReadBytes(set);
    const size_t count = text.find("Item Count=4");
    const size_t item = text.find("\t\tArray Item=CFrameOverlayTextMadeOfImagesOverlay");
    ASSERT_NE(count, std::string::npos);
    ASSERT_NE(item, std::string::npos);
    text.insert(item, "\t\tArray Item=CFrameOverlaySequenceOverlay\r\n\t\t{\r\n\t\t\tID=Tree\r\n\t\t\tSequence=Tree\r\n"
                      "\t\t}\r\n");
    text.replace(count, 12, "Item Count=5");
    WriteBytes(set, text);
    ASSERT_NE(ReadBytes(folder + "/Data/Resources/Sequences/-Tree/Properties.txt").find("Poke Audio=Rustle"),
              std::string::npos);

    std::string errors;
    EXPECT_EQ(Run(folder, &errors, 5), 255);
    EXPECT_NE(errors.find("The sound \"Rustle\" is named by \"Resources/Sequences/-Tree/Properties.txt:Poke Audio\", "
                          "which the start-up overlay set \"Splash\" uses, before the sound list is loaded"),
              std::string::npos)
        << errors;
    EXPECT_EQ(errors.find("That list does contain"), std::string::npos) << errors;
}

} // namespace
