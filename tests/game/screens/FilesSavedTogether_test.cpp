// Files that belong together, saved as the program saves them: stopped at
// every point of the save in turn, or refused each file's write in turn, the
// next start reads them agreeing, and a refusal is answered as a failure that
// names the file that failed, with every file as it was.
#include "ScreensGameTest.h"

#include "blit/ColorTables.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/RegisterGameScreensClasses.h"
#include "game/world/CLevelSorter.h"
#include "objects/ObjectFileCallbacks.h"
#include "platform/FileSystem.h"
#include "platform/ReplacementGroup.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "support/ScopedHooks.h"
#include "ui/CJListBox.h"
#include "ui/CJMessageBox.h"
#include "ui/CJStatic.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct SavedTogetherCase {
    const char* name;
    // Sets the scene in a fresh copy of the demo data (the data folder).
    void (*prepare)(const std::string& folder);
    // Makes the edit and saves as the program does: what the save answered,
    // and in message what the user was told.
    bool (*save)(std::string& message);
    // Reads the files as the next start would: they agree (all old, or all
    // new when the save succeeded).
    void (*checkAgree)(const std::string& folder, bool saveSucceeded);
};

// --- a sequence's Properties.txt and its cache ---

constexpr const char* kSequences = "Resources/Sequences";
constexpr const char* kWalkProperties = "Resources/Sequences/-Walk/Properties.txt";

// "Walk" kept as its cache alone (its pictures gone), with a
// "Properties.txt" copied in after the cache was written.
void PrepareSequenceKeptAsItsCache(const std::string& folder)
{
    RegisterGameScreensClasses();
    InitBlitTables();
    {
        CSequence walk;
        ASSERT_TRUE(walk.Load(kSequences, "Walk", nullptr));
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder + "/Resources/Sequences/-Walk"))
        if (entry.path().extension() == ".png")
            std::filesystem::remove(entry.path());
    SetWriteTime(folder + "/" + kWalkProperties, 4000000000LL);
}

// The sequence editor's rate, saved as its close saves it.
bool SaveSequenceRate(std::string& message)
{
    GetSequenceList().SetSource(nullptr, kSequences, 0);
    CSequence* walk = GetSequenceList().GetObjectByName("Walk");
    if (!walk) {
        message = "no Walk";
        return false;
    }
    CSequence::SGetClassInfo()->FindProperty("Frames Per Second")->SetValueFromText(walk, CJString("7"), nullptr);
    const bool saved = SaveObjectToOwnFile(walk);
    CJString name;
    if (!saved && FindFailedSaveFile(walk, &name))
        message = std::string("Could not save ") + name.GetString();
    GetSequenceList().SetSource(nullptr, "Nowhere", 0);
    return saved;
}

// The rate the next start plays is the one "Properties.txt" holds.
void CheckSequenceAgrees(const std::string& /*folder*/, bool saveSucceeded)
{
    std::unique_ptr<CObject> read(CSequence::LoadPropertiesFile(kWalkProperties, nullptr));
    const auto* saved = dynamic_cast<CSequence*>(read.get());
    ASSERT_NE(saved, nullptr);
    CSequenceList nextStart;
    nextStart.SetSource(nullptr, kSequences, 0);
    CSequence* played = nextStart.GetObjectByName("Walk");
    ASSERT_NE(played, nullptr);
    EXPECT_EQ(played->GetFrameCount(), 6u);
    EXPECT_EQ(played->GetFramesPerSecond(), saved->GetFramesPerSecond());
    if (saveSucceeded) {
        EXPECT_EQ(played->GetFramesPerSecond(), 3.5f);
    }
}

// --- the Level Sorter's levels, tips, decade cards and life reward ---

// Starts the demo game once, for the cases that save from a running game.
void (*g_StartGame)() = nullptr;
CLevelSorterWindow* g_Sorter = nullptr;

// The sorter open over the running demo, as the designer opened it before a
// file was refused.
void PrepareSorter(const std::string&)
{
    g_StartGame();
    if (g_Sorter)
        g_Sorter->Destroy();
    g_Sorter = OpenLevelSorter();
}

// A street inserted before Harbour Row moves every tip, card and reward.
bool SaveSorterInsert(std::string& message)
{
    if (!g_Sorter)
        return false;
    g_Sorter->GetList()->SelectItem(0, true);
    g_Sorter->Insert();
    CJWindow* screen = g_Sorter->GetParent();
    g_Sorter->Close();
    auto* box = dynamic_cast<CJMessageBox*>(screen->GetFirstChild());
    for (CJWindow* child = box ? box->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
        if (dynamic_cast<CJStatic*>(child))
            message = child->GetTitle().GetString();
    return !box;
}

// The levels file counts 12 streets or 13; the tips, the cards and the
// reward count as many.
void CheckSorterFilesAgree(const std::string& folder, bool saveSucceeded)
{
    auto number = [&folder](const char* file, const std::string& key) {
        const std::string text = ReadBytes(folder + "/Resources/" + file);
        const size_t at = text.find(key);
        return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + key.size());
    };
    const int inserted = number("Levels.Object.txt", "Level List=Array\r\n\t{\r\n\t\tItem Count=") - 12;
    EXPECT_TRUE(inserted == 1 || (inserted == 0 && !saveSucceeded)) << inserted;
    const int moved[] = {number("Tips Options.Object.txt", "Item Count=") - 12,
                         number("Harbour Years.DecadeTransition.txt", "Level To Display Before=") - 1,
                         number("Hill Years.DecadeTransition.txt", "Level To Display Before=") - 6,
                         number("LifeRewards/First Streets.LifeRewards.txt", "Level To Display After=") - 10};
    for (int by : moved)
        EXPECT_EQ(by, inserted) << "tips, cards and reward as the levels";
}

// --- the stops ---

const SavedTogetherCase kCases[] = {
    {"a sequence's Properties.txt and its cache", &PrepareSequenceKeptAsItsCache, &SaveSequenceRate,
     &CheckSequenceAgrees},
    {"the Level Sorter's levels, tips, decade cards and life reward", &PrepareSorter, &SaveSorterInsert,
     &CheckSorterFilesAgree},
};

int g_SyncsLeft = 0;
int g_SyncRecord = -1;

// Every file synced goes to the record; the k-th stops the program.
void StopAtSync(std::string_view path)
{
    if (g_SyncRecord >= 0) {
        const std::string line = std::string(path) + "\n";
        (void)!::write(g_SyncRecord, line.data(), line.size());
    }
    if (--g_SyncsLeft == 0)
        ::raise(SIGKILL);
}

struct SChildSave {
    int status = 0; // 0 saved, 1 refused, -signal when stopped
    std::string message;
};

// The case's save in a child process, after setUp there.
template <typename SetUp>
SChildSave SaveInChild(const SavedTogetherCase& c, SetUp setUp)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {1000, "no pipe"};
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        setUp();
        std::string message;
        const bool saved = c.save(message);
        (void)!::write(pipeEnds[1], message.data(), message.size());
        ::_exit(saved ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    SChildSave result;
    char buffer[512];
    ssize_t got;
    while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        result.message.append(buffer, size_t(got));
    ::close(pipeEnds[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child)
        return {1000, "lost"};
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    return result;
}

class FilesSavedTogether : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        ReadList(GetDecadeTransitionList());
        ReadList(GetLifeRewardList(), "Resources/LifeRewards");
        static FilesSavedTogether* test;
        test = this;
        g_StartGame = [] {
            if (!test->m_Started)
                test->StartPastOpening();
        };
    }
    void TearDown() override
    {
        g_Sorter = nullptr;
        CScreensGameTest::TearDown();
    }
    struct SStamp {
        uintmax_t size;
        std::filesystem::file_time_type time;
        bool operator==(const SStamp&) const = default;
    };
    static SStamp StampOf(const std::filesystem::directory_entry& entry)
    {
        return {entry.is_directory() ? 0 : entry.file_size(), entry.last_write_time()};
    }

    // The demo data as the set-up copied it: what a run added goes, what it
    // changed or removed comes back (a whole copy costs a second here).
    // Answers the data folder.
    std::string FreshData()
    {
        namespace fs = std::filesystem;
        const fs::path data(PathOf("Data"));
        fs::remove(PathOf(".Replacements.journal"));
        if (m_Copied.empty()) {
            for (const fs::directory_entry& entry : fs::recursive_directory_iterator(data))
                m_Copied[entry.path().lexically_relative(data).string()] = StampOf(entry);
            return data.string();
        }
        std::vector<fs::path> added;
        std::map<std::string, bool> seen;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(data)) {
            const std::string relative = entry.path().lexically_relative(data).string();
            const auto copied = m_Copied.find(relative);
            if (copied == m_Copied.end())
                added.push_back(entry.path());
            else
                seen[relative] = copied->second == StampOf(entry);
        }
        for (const fs::path& path : added)
            fs::remove_all(path);
        for (auto& [relative, stamp] : m_Copied) {
            const auto found = seen.find(relative);
            if (found != seen.end() && found->second)
                continue;
            const fs::path target = data / relative;
            const fs::path source = fs::path(OMBRISALT_DEMO_DATA "/Data") / relative;
            if (fs::is_directory(source)) {
                fs::create_directories(target);
            } else {
                fs::create_directories(target.parent_path());
                fs::copy_file(source, target, fs::copy_options::overwrite_existing);
            }
            stamp = StampOf(fs::directory_entry(target));
        }
        return data.string();
    }

private:
    std::map<std::string, SStamp> m_Copied;
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t at = 0;
    for (size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

// The target of a synced temporary (".<name>.tmp<counter>" beside it).
std::string TargetOf(const std::string& synced)
{
    const std::filesystem::path path(synced);
    const std::string name = path.filename().string();
    const size_t mark = name.rfind(".tmp");
    if (name.empty() || name[0] != '.' || mark == std::string::npos || mark == 0)
        return synced;
    return (path.parent_path() / name.substr(1, mark - 1)).string();
}

TEST_F(FilesSavedTogether, AfterAStopOrARefusedWriteAtAnyPointTheNextStartReadsThemAgreeing)
{
    const std::string record = PathOf("synced.txt");
    for (const SavedTogetherCase& c : kCases) {
        SCOPED_TRACE(c.name);
        CScopedDataFolder data(PathOf("Data").c_str());

        // Stopped at each sync in turn, until a save runs to its end.
        int stop = 1;
        for (;; ++stop) {
            SCOPED_TRACE("stopped at sync " + std::to_string(stop));
            ASSERT_LT(stop, 40);
            const std::string folder = FreshData();
            ASSERT_NO_FATAL_FAILURE(c.prepare(folder));
            std::filesystem::remove(record);
            const SChildSave run = SaveInChild(c, [&] {
                g_SyncsLeft = stop;
                g_SyncRecord = ::open(record.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
                plat::SetSyncObserver(&StopAtSync);
            });
            ASSERT_TRUE(run.status == 0 || run.status == -SIGKILL) << run.status << " " << run.message;
            plat::FinishInterruptedReplacements();
            c.checkAgree(folder, run.status == 0);
            if (run.status == 0)
                break;
        }
        EXPECT_GT(stop, 1) << "a save that syncs nothing";

        // The files the whole save replaced (the journal aside: it is no file of the data).
        std::vector<std::string> targets;
        for (const std::string& synced : Lines(ReadBytes(record))) {
            // Absolute: a running game names its data folder relatively.
            const std::string target = std::filesystem::absolute(TargetOf(synced)).lexically_normal().string();
            if (target.rfind(PathOf("Data") + "/", 0) == 0
                && std::find(targets.begin(), targets.end(), target) == targets.end())
                targets.push_back(target);
        }
        ASSERT_FALSE(targets.empty());
        const auto named = [&](const std::string& message, const std::string& target) {
            return message.find(target.substr(PathOf("Data").size() + 1)) != std::string::npos;
        };
        const auto contents = [&] {
            std::map<std::string, std::string> bytes;
            for (const std::string& target : targets)
                bytes[target] = DiskHas(target) ? ReadBytes(target) : "(none)";
            return bytes;
        };

        // Each file refused in turn (read-only), then every write (a full disk).
        std::vector<std::string> refusals = targets;
        refusals.push_back("");
        for (const std::string& refused : refusals) {
            SCOPED_TRACE(refused.empty() ? "a full disk" : "refused " + refused);
            const std::string folder = FreshData();
            ASSERT_NO_FATAL_FAILURE(c.prepare(folder));
            if (!refused.empty() && !DiskHas(refused))
                continue;
            const auto before = contents();
            ASSERT_TRUE(refused.empty() || plat::SetReadOnly(refused, true));
            const SChildSave run = SaveInChild(c, [&] {
                if (!refused.empty())
                    return;
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{16, 16};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            });
            ASSERT_TRUE(refused.empty() || plat::SetReadOnly(refused, false));
            EXPECT_EQ(run.status, 1) << run.message;
            EXPECT_TRUE(refused.empty() ? std::any_of(targets.begin(), targets.end(),
                                                      [&](const std::string& t) { return named(run.message, t); })
                                        : named(run.message, refused))
                << run.message;
            plat::FinishInterruptedReplacements();
            EXPECT_EQ(contents(), before);
            c.checkAgree(folder, false);
        }
    }
}

} // namespace
