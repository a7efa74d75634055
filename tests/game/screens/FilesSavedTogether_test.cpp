// Files saved together agree after any failure. Each save that writes more
// than one file runs in a child process stopped at each sync in turn (before
// anything is renamed, then after each rename of the commit), then once per
// file it writes with that file refused: the next start (interrupted
// replacements finished first) reads the files agreeing, and a refused save
// says so, naming the file, and writes none.
#include "ScreensGameTest.h"

#include "game/screens/CDecadeTransition.h"
#include "game/screens/CLifeRewards.h"
#include "game/world/CLevelSorter.h"
#include "platform/FileSystem.h"
#include "platform/ReplacementGroup.h"
#include "ui/CJListBox.h"
#include "ui/CJMessageBox.h"
#include "ui/CJStatic.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

struct SavedTogetherCase {
    const char* name;
    // Sets the scene in the demo's data folder, the game running on it.
    void (*prepare)(const std::string& folder);
    // Makes the edit and saves as the program does: what the save answered,
    // and what the user was told.
    bool (*save)(std::string& message);
    // Reads the files as the next start would: they agree (all old or all
    // new), and are new when the save succeeded.
    void (*checkAgree)(const std::string& folder, bool saveSucceeded);
};

// The number written after the key; -1 without the key.
int NumberAfter(const std::string& text, const std::string& key)
{
    const size_t at = text.find(key);
    return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + key.size());
}

// The text of the message box in front of the screen; empty without one.
std::string MessageShown()
{
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    auto* box = screen ? dynamic_cast<CJMessageBox*>(screen->GetFirstChild()) : nullptr;
    for (CJWindow* child = box ? box->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
        if (dynamic_cast<CJStatic*>(child))
            return child->GetTitle().GetString();
    return "";
}

// --- Level Sorter: levels, tips, decade cards and life reward ---

// The sorter open on the demo's streets, as the designer opened it before
// a file was refused.
CLevelSorterWindow* g_Sorter = nullptr;
void PrepareSorter(const std::string&)
{
    g_Sorter = OpenLevelSorter();
}

// A street inserted before Harbour Row moves every tip, card and reward.
bool SaveSorter(std::string& message)
{
    if (!g_Sorter)
        return false;
    g_Sorter->GetList()->SelectItem(0, true);
    g_Sorter->Insert();
    g_Sorter->Close();
    message = MessageShown();
    return message.empty();
}

void CheckSorterFilesAgree(const std::string& folder, bool saveSucceeded)
{
    auto number = [&folder](const char* file, const char* key) {
        return NumberAfter(ReadBytes(folder + "/Resources/" + file), key);
    };
    const int inserted = number("Levels.Object.txt", "Level List=Array\r\n\t{\r\n\t\tItem Count=") - 12;
    EXPECT_TRUE(inserted == 1 || (inserted == 0 && !saveSucceeded)) << inserted;
    const int figures[] = {number("Tips Options.Object.txt", "Item Count=") - 12,
                           number("Harbour Years.DecadeTransition.txt", "Level To Display Before=") - 1,
                           number("Hill Years.DecadeTransition.txt", "Level To Display Before=") - 6,
                           number("LifeRewards/First Streets.LifeRewards.txt", "Level To Display After=") - 10};
    for (int moved : figures)
        EXPECT_EQ(moved, inserted) << "tips, cards and reward as the levels";
}

const SavedTogetherCase kCases[] = {
    {"Level Sorter", &PrepareSorter, &SaveSorter, &CheckSorterFilesAgree},
};

// --- The scene ---

using Files = std::map<std::string, std::string>;

Files Snapshot(const std::string& folder)
{
    Files files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().string()] = ReadBytes(entry.path().string());
    return files;
}

// Puts back what the snapshot holds: changed files rewritten, others removed.
void Restore(const std::string& folder, const Files& files)
{
    for (const auto& [path, bytes] : Snapshot(folder))
        if (!files.count(path))
            std::filesystem::remove(path);
    for (const auto& [path, bytes] : files)
        if (ReadBytes(path) != bytes)
            WriteBytes(path, bytes);
}

int g_KillAtSync = 0;

// The case's save in a child process killed at the sync numbered killAt (0:
// never); the parent keeps the scene in its memory for the next run. The
// exit status (-signal when killed), the message in the file.
int SaveInChild(const SavedTogetherCase& scene, int killAt, const std::string& messageFile)
{
    std::filesystem::remove(messageFile);
    const pid_t child = ::fork();
    if (child == 0) {
        g_KillAtSync = killAt;
        plat::SetSyncObserver([](std::string_view) {
            if (--g_KillAtSync == 0)
                ::raise(SIGKILL);
        });
        std::string message;
        const bool saved = scene.save(message);
        WriteBytes(messageFile, message);
        std::_Exit(saved ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child)
        return 1000;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

class FilesSavedTogether : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        ReadList(GetDecadeTransitionList());
        ReadList(GetLifeRewardList(), "Resources/LifeRewards");
    }
};

TEST_F(FilesSavedTogether, AKillOrARefusedFileAtAnyPointLeavesTheNextStartReadingThemAgreeing)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    const std::string folder = PathOf("Data");
    const std::string messageFile = PathOf("message.txt");
    const Files shipped = Snapshot(folder);
    for (const SavedTogetherCase& scene : kCases) {
        SCOPED_TRACE(scene.name);
        Restore(folder, shipped);
        scene.prepare(folder);
        const Files prepared = Snapshot(folder);

        // Stopped at each sync in turn until a save runs to its end; what
        // that save changed is what it writes.
        std::vector<std::string> written;
        for (int killAt = 1; written.empty(); ++killAt) {
            SCOPED_TRACE(killAt);
            ASSERT_LT(killAt, 100) << "the save never ends";
            Restore(folder, prepared);
            const int status = SaveInChild(scene, killAt, messageFile);
            plat::FinishInterruptedReplacements();
            scene.checkAgree(folder, status == 0);
            if (status == -SIGKILL)
                continue;
            ASSERT_EQ(status, 0) << ReadBytes(messageFile);
            for (const auto& [path, bytes] : prepared)
                if (ReadBytes(path) != bytes)
                    written.push_back(path);
            ASSERT_FALSE(written.empty());
        }

        // Each file refused in turn: the save says which, and writes none.
        for (const std::string& refused : written) {
            SCOPED_TRACE(refused);
            Restore(folder, prepared);
            ASSERT_TRUE(plat::SetReadOnly(refused, true));
            EXPECT_EQ(SaveInChild(scene, 0, messageFile), 1);
            ASSERT_TRUE(plat::SetReadOnly(refused, false));
            const std::string message = ReadBytes(messageFile);
            EXPECT_NE(message.find(std::filesystem::path(refused).filename().string()), std::string::npos) << message;
            scene.checkAgree(folder, false);
            for (const std::string& file : written)
                EXPECT_TRUE(ReadBytes(file) == prepared.at(file)) << file;
        }
    }
    Restore(folder, shipped);
}

} // namespace
