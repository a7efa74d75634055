// Files saved together agree after any failure. For each save that writes
// more than one file, the save runs in a child process stopped at each sync
// in turn (a kill before anything is renamed, then after each step of the
// commit) and, once per file it writes, with that file refused; the next
// start (interrupted replacements finished first) must read the files
// agreeing, and a refused save must say so, naming the file, and write none.
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
// the file was refused.
void PrepareSorter(const std::string&)
{
    OpenLevelSorter();
}

CLevelSorterWindow* OpenSorter()
{
    for (CJWindow* child = CScreenWindow::GetScreenWindow()->GetFirstChild(); child; child = child->GetNextSibling())
        if (auto* sorter = dynamic_cast<CLevelSorterWindow*>(child))
            return sorter;
    return nullptr;
}

// A street inserted before Harbour Row moves every tip, card and reward.
bool SaveSorter(std::string& message)
{
    CLevelSorterWindow* sorter = OpenSorter();
    if (!sorter)
        return false;
    sorter->GetList()->SelectItem(0, true);
    sorter->Insert();
    sorter->Close();
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
            files[std::filesystem::absolute(entry.path()).lexically_normal().string()] = ReadBytes(entry.path().string());
    return files;
}

// Puts back what the snapshot holds: changed files rewritten, others removed.
void Restore(const std::string& folder, const Files& files)
{
    for (const auto& [path, bytes] : Snapshot(folder)) {
        const auto kept = files.find(path);
        if (kept == files.end())
            std::filesystem::remove(path);
        else if (kept->second != bytes)
            WriteBytes(path, kept->second);
    }
    for (const auto& [path, bytes] : files)
        if (!std::filesystem::exists(path))
            WriteBytes(path, bytes);
}

int g_KillAtSync = 0;
int g_Syncs = 0;
int g_Pipe = -1;

void Send(const std::string& line)
{
    const std::string whole = line + "\n";
    [[maybe_unused]] const ssize_t written = ::write(g_Pipe, whole.data(), whole.size());
}

void OnSync(std::string_view path)
{
    Send("S" + std::string(path));
    if (++g_Syncs == g_KillAtSync)
        ::raise(SIGKILL);
}

struct SChildRun {
    int status = 0; // exit status, or -signal when killed
    std::string message;
    std::vector<std::string> synced;
};

// The case's save in a child process, killed at the sync numbered killAt
// (0: never). The parent's memory keeps the scene for the next run.
SChildRun SaveInChild(const SavedTogetherCase& scene, int killAt)
{
    SChildRun run;
    int ends[2];
    if (::pipe(ends) != 0)
        return run.status = 1000, run;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        g_Pipe = ends[1];
        g_KillAtSync = killAt;
        plat::SetSyncObserver(&OnSync);
        std::string message;
        const bool saved = scene.save(message);
        Send("M" + message);
        std::_Exit(saved ? 0 : 1);
    }
    ::close(ends[1]);
    std::string received;
    char buffer[4096];
    for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        received.append(buffer, size_t(n));
    ::close(ends[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child)
        return run.status = 1000, run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    for (size_t at = 0, end; (end = received.find('\n', at)) != std::string::npos; at = end + 1)
        (received[at] == 'S' ? run.synced.emplace_back() : run.message) = received.substr(at + 1, end - at - 1);
    return run;
}

// The file a synced temporary replaces: ".<name>.tmp<process>_<count>" beside it.
std::string TargetOf(const std::string& temporary)
{
    const std::filesystem::path path = std::filesystem::absolute(temporary).lexically_normal();
    const std::string name = path.filename().string();
    const size_t tmp = name.rfind(".tmp");
    if (name.size() < 2 || name[0] != '.' || tmp == std::string::npos || tmp < 1)
        return "";
    return (path.parent_path() / name.substr(1, tmp - 1)).string();
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
    const Files shipped = Snapshot(folder);
    for (const SavedTogetherCase& scene : kCases) {
        SCOPED_TRACE(scene.name);
        Restore(folder, shipped);
        scene.prepare(folder);
        const Files prepared = Snapshot(folder);

        // Stopped at each sync in turn until a save runs to its end.
        std::vector<std::string> written;
        for (int killAt = 1; written.empty(); ++killAt) {
            SCOPED_TRACE(killAt);
            ASSERT_LT(killAt, 100) << "the save never ends";
            Restore(folder, prepared);
            const SChildRun run = SaveInChild(scene, killAt);
            plat::FinishInterruptedReplacements();
            scene.checkAgree(folder, run.status == 0);
            if (run.status == -SIGKILL)
                continue;
            ASSERT_EQ(run.status, 0) << run.message;
            for (const std::string& temporary : run.synced)
                if (prepared.count(TargetOf(temporary)))
                    written.push_back(TargetOf(temporary));
            ASSERT_FALSE(written.empty()) << (run.synced.empty() ? "" : run.synced[0]);
        }

        // Each file refused in turn: the save says which, and writes none.
        for (const std::string& refused : written) {
            SCOPED_TRACE(refused);
            Restore(folder, prepared);
            ASSERT_TRUE(plat::SetReadOnly(refused, true));
            const SChildRun run = SaveInChild(scene, 0);
            ASSERT_TRUE(plat::SetReadOnly(refused, false));
            EXPECT_EQ(run.status, 1);
            EXPECT_NE(run.message.find(std::filesystem::path(refused).filename().string()), std::string::npos)
                << run.message;
            scene.checkAgree(folder, false);
            for (const std::string& file : written)
                EXPECT_TRUE(ReadBytes(file) == prepared.at(file)) << file;
        }
    }
    Restore(folder, shipped);
}

} // namespace
