// Files that belong together, saved as the program saves them: stopped at
// every point of the save in turn, or refused each file's write in turn, the
// next start reads them agreeing, and a refusal is answered as a failure that
// names the file that failed, with every file as it was.
#include "ScreensGameTest.h"

#include "blit/ColorTables.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CNewTrophyEarned.h"
#include "game/screens/CStats.h"
#include "game/screens/RegisterGameScreensClasses.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CLevelSorter.h"
#include "game/world/CTypedCommands.h"
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
#include <thread>
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
    // The files are the player's own, which the program makes writable to
    // save (a read-only one refuses nothing): only a full disk refuses them.
    bool writesReadOnlyFiles = false;
};

// The running test, for the cases that play the demo game.
class FilesSavedTogether;
FilesSavedTogether* g_Scene = nullptr;
// What the game wrote in the program folder while the street's case first
// started it and showed the results once (the profiles, the settings, the
// caches: no part of its save), put back before each start.
std::map<std::string, std::string> g_StreetFiles;

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
public:
    using CScreensGameTest::ClickOn;
    using CScreensGameTest::EndRun;
    using CScreensGameTest::Passes;
    using CScreensGameTest::StartIntoTheLevel;

protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        g_Scene = this;
        g_StreetFiles.clear();
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
        g_Scene = nullptr;
        g_Sorter = nullptr;
        CScreensGameTest::TearDown();
    }
    // A case that started the game leaves none running for the next.
    void EndGame()
    {
        if (CGameBase::SGetInstance())
            EndRun();
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

// What the program writes to standard error while the scope lasts, through a
// pipe a thread drains: a full disk must not silence it.
class CStandardErrorCapture {
public:
    CStandardErrorCapture()
    {
        if (::pipe(m_Pipe) != 0)
            return;
        m_Saved = ::dup(2);
        ::dup2(m_Pipe[1], 2);
        ::close(m_Pipe[1]);
        m_Drain = std::thread([this] {
            char buffer[4096];
            for (ssize_t got; (got = ::read(m_Pipe[0], buffer, sizeof buffer)) > 0;)
                m_Text.append(buffer, size_t(got));
        });
    }
    ~CStandardErrorCapture() { Take(); }
    CStandardErrorCapture(const CStandardErrorCapture&) = delete;
    CStandardErrorCapture& operator=(const CStandardErrorCapture&) = delete;
    std::string Take()
    {
        if (m_Saved >= 0) {
            ::dup2(m_Saved, 2);
            ::close(m_Saved);
            m_Saved = -1;
            m_Drain.join();
            ::close(m_Pipe[0]);
        }
        return m_Text;
    }

private:
    int m_Pipe[2] = {-1, -1};
    int m_Saved = -1;
    std::thread m_Drain;
    std::string m_Text;
};

// --- a street's win and its goals ---

bool WinAStreet(std::string& message);

// A new player in the first street, the game started anew over the files
// of the first start, with sound streamed without a thread of its own (the
// runs fork from it).
void PlayIntoAStreet(const std::string&)
{
    // The game reads "Data/" below the program folder, its working folder.
    SetDataFolder("./");
    if (CGameBase::SGetInstance())
        g_Scene->EndRun();
    const bool first = g_StreetFiles.empty();
    const auto since = std::filesystem::file_time_type::clock::now();
    for (const auto& [path, bytes] : g_StreetFiles)
        WriteBytes(path, bytes);
    if (first)
        WriteBytes("Ombrisalt.CFG", "[Options]\r\nUse Threaded Stream=0\r\n");
    g_Scene->StartIntoTheLevel();
    if (!first)
        return;
    const std::string profiles = ReadBytes("Stats.dat");
    if (const pid_t child = ::fork(); child == 0) {
        std::string message;
        std::_Exit(WinAStreet(message) ? 0 : 1);
    } else {
        int status = 0;
        ::waitpid(child, &status, 0);
    }
    WriteBytes("Stats.dat", profiles);
    for (const auto& entry : std::filesystem::recursive_directory_iterator("."))
        if (entry.is_regular_file() && entry.last_write_time() >= since)
            g_StreetFiles[entry.path().string()] = ReadBytes(entry.path().string());
}

// The street finished at once (the finishing word: every family housed well
// inside its time goal); the results open and save.
bool WinAStreet(std::string& message)
{
    CStandardErrorCapture said;
    CompletePlayerInteraction();
    GetTypedCommandSwitches().levelFinishedByCommand = true;
    for (int i = 0; i < 600 && !GetEndOfLevelWindow(); ++i) {
        if (CNewTrophyEarnedMenu* card = GetNewTrophyEarnedMenu())
            g_Scene->ClickOn(card->GetDefaultButton());
        g_Scene->Passes(1);
    }
    message = said.Take();
    return message.find("could not be written") == std::string::npos;
}

// Each street's record holds its win and the goals it met, or neither.
void CheckWinAndGoalsAgree(const std::string&, bool saved)
{
    CStats read;
    if (!read.Load()) {
        EXPECT_FALSE(saved) << "no profile after a save that succeeded";
        return;
    }
    const CPlayerStats* player = read.GetCurrentPlayer();
    ASSERT_NE(player, nullptr);
    bool won = false;
    for (uint32_t i = 0; i < player->m_pStatsForLevel.GetCount(); ++i) {
        const CPlayerStatsForLevel* record = player->m_pStatsForLevel[i];
        if (!record)
            continue;
        const bool goalsMet = record->GetOptionalGoalCounts().first > 0;
        EXPECT_EQ(record->HasBeenCompleted(), goalsMet) << "street " << i << ": the win and its goals disagree";
        won = won || record->HasBeenCompleted();
    }
    EXPECT_TRUE(won || !saved) << "the win of a save that succeeded is missing";
}

// The street's case runs first: after the sequence case's set-up in this
// process the started game's street no longer reaches its results.
const SavedTogetherCase kCases[] = {
    {"a street's win and its goals", &PlayIntoAStreet, &WinAStreet, &CheckWinAndGoalsAgree, true},
    {"a sequence's Properties.txt and its cache", &PrepareSequenceKeptAsItsCache, &SaveSequenceRate,
     &CheckSequenceAgrees},
    {"the Level Sorter's levels, tips, decade cards and life reward", &PrepareSorter, &SaveSorterInsert,
     &CheckSorterFilesAgree},
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

        // The files the whole save replaced, in the data or the program
        // folder (the journal aside: it is no file of either).
        std::vector<std::string> targets;
        for (const std::string& synced : Lines(ReadBytes(record))) {
            const std::string target = std::filesystem::absolute(TargetOf(synced)).lexically_normal().string();
            if (target.rfind(Folder() + "/", 0) == 0 && target != PathOf(".Replacements.journal")
                && std::find(targets.begin(), targets.end(), target) == targets.end())
                targets.push_back(target);
        }
        ASSERT_FALSE(targets.empty());
        const auto named = [&](const std::string& message, const std::string& target) {
            const std::string inData = PathOf("Data") + "/";
            const size_t from = target.rfind(inData, 0) == 0 ? inData.size() : Folder().size() + 1;
            return message.find(target.substr(from)) != std::string::npos;
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
            if (c.writesReadOnlyFiles && !refused.empty())
                continue;
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
        EndGame();
    }
}

} // namespace
