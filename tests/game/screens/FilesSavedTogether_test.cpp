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
#include "ui/CJListBox.h"
#include "ui/CJMessageBox.h"
#include "ui/CJStatic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* kSequences = "Resources/Sequences";
constexpr const char* kWalkProperties = "Resources/Sequences/-Walk/Properties.txt";

int g_SyncsLeft = 0;
int g_SyncRecord = -1;

// Every file synced goes to the record; the k-th stops the program.
void StopAtSync(std::string_view path)
{
    const std::string line = std::string(path) + "\n";
    (void)!::write(g_SyncRecord, line.data(), line.size());
    if (--g_SyncsLeft == 0)
        ::raise(SIGKILL);
}

struct SChildSave {
    int status = 0; // 0 saved, 1 refused, -signal when stopped
    std::string message;
};

class FilesSavedTogether;
// Makes the edit and saves as the program does; message is what the user was told.
using SaveMethod = bool (FilesSavedTogether::*)(std::string& message);

struct SavedTogetherCase {
    const char* name;
    // Sets the scene in fresh data.
    void (FilesSavedTogether::*prepare)();
    SaveMethod save;
    // The files as the next start reads them agree: all old, or all new when the save succeeded.
    void (FilesSavedTogether::*checkAgree)(bool saveSucceeded);
    // The program makes its player's files writable to save them: only a full disk refuses them.
    bool writesReadOnlyFiles = false;
};

class FilesSavedTogether : public CScreensGameTest {
public:
    // --- a street's win and its goals ---

    // A new player in the first street, the game started anew over what its
    // first start and results wrote (profiles, settings, caches: no part of
    // the save), with sound streamed without a thread (the runs fork from it).
    void PlayIntoAStreet()
    {
        // The game reads "Data/" below the program folder, its working folder.
        SetDataFolder("./");
        EndGame();
        const bool first = m_StreetFiles.empty();
        const auto since = std::filesystem::file_time_type::clock::now();
        for (const auto& [path, bytes] : m_StreetFiles)
            WriteBytes(path, bytes);
        if (first)
            WriteBytes("Ombrisalt.CFG", "[Options]\r\nUse Threaded Stream=0\r\n");
        StartIntoTheLevel();
        if (!first)
            return;
        // No profile yet goes back as an empty file, which a start takes for a first run.
        const std::string profiles = DiskHas("Stats.dat") ? ReadBytes("Stats.dat") : "";
        SaveInChild(&FilesSavedTogether::WinAStreet, [] {});
        WriteBytes("Stats.dat", profiles);
        for (const auto& entry : std::filesystem::recursive_directory_iterator("."))
            if (entry.is_regular_file() && entry.last_write_time() >= since)
                m_StreetFiles[entry.path().string()] = ReadBytes(entry.path().string());
    }

    // The street finished at once (the finishing word: every family housed
    // well inside its time goal); the results open and save. Runs in a child:
    // what it says goes through a pipe, which a full disk does not silence.
    bool WinAStreet(std::string& message)
    {
        int said[2];
        if (::pipe(said) != 0)
            return false;
        ::dup2(said[1], 2);
        ::close(said[1]);
        std::thread drain([&] {
            char buffer[4096];
            for (ssize_t got; (got = ::read(said[0], buffer, sizeof buffer)) > 0;)
                message.append(buffer, size_t(got));
        });
        CompletePlayerInteraction();
        GetTypedCommandSwitches().levelFinishedByCommand = true;
        for (int i = 0; i < 600 && !GetEndOfLevelWindow(); ++i) {
            if (CNewTrophyEarnedMenu* card = GetNewTrophyEarnedMenu())
                ClickOn(card->GetDefaultButton());
            Passes(1);
        }
        ::close(2);
        drain.join();
        return message.find("could not be written") == std::string::npos;
    }

    // Each street's record holds its win and the goals it met, or neither.
    void CheckWinAndGoalsAgree(bool saved)
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

    // --- a sequence's Properties.txt and its cache ---

    // "Walk" kept as its cache alone (its pictures gone), with a
    // "Properties.txt" copied in after the cache was written.
    void PrepareSequenceKeptAsItsCache()
    {
        RegisterGameScreensClasses();
        InitBlitTables();
        {
            CSequence walk;
            ASSERT_TRUE(walk.Load(kSequences, "Walk", nullptr));
        }
        for (const auto& entry : std::filesystem::directory_iterator(PathOf("Data/Resources/Sequences/-Walk")))
            if (entry.path().extension() == ".png")
                std::filesystem::remove(entry.path());
        SetWriteTime(PathOf("Data/") + kWalkProperties, 4000000000LL);
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
    void CheckSequenceAgrees(bool saveSucceeded)
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

    // The sorter open over the running demo, as the designer opened it
    // before a file was refused.
    void PrepareSorter()
    {
        if (!m_Started)
            StartPastOpening();
        if (m_Sorter)
            m_Sorter->Destroy();
        m_Sorter = OpenLevelSorter();
        ASSERT_NE(m_Sorter, nullptr);
    }

    // A street inserted before Harbour Row moves every tip, card and reward.
    bool SaveSorterInsert(std::string& message)
    {
        m_Sorter->GetList()->SelectItem(0, true);
        m_Sorter->Insert();
        CJWindow* screen = m_Sorter->GetParent();
        m_Sorter->Close();
        auto* box = dynamic_cast<CJMessageBox*>(screen->GetFirstChild());
        for (CJWindow* child = box ? box->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
            if (dynamic_cast<CJStatic*>(child))
                message = child->GetTitle().GetString();
        return !box;
    }

    // The levels file counts 12 streets or 13; the tips, the cards and the
    // reward count as many.
    void CheckSorterFilesAgree(bool saveSucceeded)
    {
        auto number = [this](const char* file, const std::string& key) {
            const std::string text = ReadBytes(PathOf("Data/Resources/") + file);
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

protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        ReadList(GetDecadeTransitionList());
        ReadList(GetLifeRewardList(), "Resources/LifeRewards");
    }

    // The save in a child process, after setUp there.
    SChildSave SaveInChild(SaveMethod save, const std::function<void()>& setUp)
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
            const bool saved = (this->*save)(message);
            (void)!::write(pipeEnds[1], message.data(), message.size());
            ::_exit(saved ? 0 : 1);
        }
        ::close(pipeEnds[1]);
        SChildSave result;
        char buffer[512];
        for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
            result.message.append(buffer, size_t(got));
        ::close(pipeEnds[0]);
        int status = 0;
        if (::waitpid(child, &status, 0) != child)
            return {1000, "lost"};
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
        return result;
    }

    // The demo data as the set-up copied it: what a run added goes, what it
    // changed or removed comes back (a whole copy costs a second here).
    void FreshData()
    {
        namespace fs = std::filesystem;
        const fs::path data(PathOf("Data"));
        fs::remove(PathOf(".Replacements.journal"));
        std::map<std::string, fs::file_time_type> found;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(data))
            found[entry.path().lexically_relative(data).string()] = entry.last_write_time();
        if (m_Copied.empty())
            m_Copied = found;
        for (const auto& [relative, written] : found)
            if (!m_Copied.contains(relative))
                fs::remove_all(data / relative);
        for (auto& [relative, written] : m_Copied) {
            const auto left = found.find(relative);
            if (left != found.end() && left->second == written)
                continue;
            const fs::path target = data / relative;
            const fs::path source = fs::path(OMBRISALT_DEMO_DATA "/Data") / relative;
            if (fs::is_directory(source)) {
                fs::create_directories(target);
            } else {
                fs::create_directories(target.parent_path());
                fs::copy_file(source, target, fs::copy_options::overwrite_existing);
            }
            written = fs::last_write_time(target);
        }
    }

    // A case that started the game leaves none running for the next.
    void EndGame()
    {
        if (CGameBase::SGetInstance())
            EndRun();
    }

private:
    std::map<std::string, std::filesystem::file_time_type> m_Copied;
    std::map<std::string, std::string> m_StreetFiles;
    CLevelSorterWindow* m_Sorter = nullptr;
};

// The street's case runs first: after the sequence case's set-up in this
// process the started game's street no longer reaches its results.
const SavedTogetherCase kCases[] = {
    {"a street's win and its goals", &FilesSavedTogether::PlayIntoAStreet, &FilesSavedTogether::WinAStreet,
     &FilesSavedTogether::CheckWinAndGoalsAgree, true},
    {"a sequence's Properties.txt and its cache", &FilesSavedTogether::PrepareSequenceKeptAsItsCache,
     &FilesSavedTogether::SaveSequenceRate, &FilesSavedTogether::CheckSequenceAgrees},
    {"the Level Sorter's levels, tips, decade cards and life reward", &FilesSavedTogether::PrepareSorter,
     &FilesSavedTogether::SaveSorterInsert, &FilesSavedTogether::CheckSorterFilesAgree},
};

TEST_F(FilesSavedTogether, AfterAStopOrARefusedWriteAtAnyPointTheNextStartReadsThemAgreeing)
{
    const std::string record = PathOf("synced.txt");
    for (const SavedTogetherCase& c : kCases) {
        SCOPED_TRACE(c.name);
        CScopedDataFolder data(PathOf("Data").c_str());

        // Stopped at each sync in turn, until a save runs to its end.
        for (int stop = 1;; ++stop) {
            SCOPED_TRACE("stopped at sync " + std::to_string(stop));
            ASSERT_LT(stop, 40);
            FreshData();
            ASSERT_NO_FATAL_FAILURE((this->*c.prepare)());
            std::filesystem::remove(record);
            const SChildSave run = SaveInChild(c.save, [&] {
                g_SyncsLeft = stop;
                g_SyncRecord = ::open(record.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
                plat::SetSyncObserver(&StopAtSync);
            });
            ASSERT_TRUE(run.status == 0 || run.status == -SIGKILL) << run.status << " " << run.message;
            plat::FinishInterruptedReplacements();
            (this->*c.checkAgree)(run.status == 0);
            if (run.status == 0)
                break;
        }

        // The files the whole save replaced (a temporary ".<name>.tmp<n>"
        // stands for its file), in the data or the program folder, the
        // journal aside: it is no file of either.
        std::set<std::string> targets;
        std::istringstream synced(ReadBytes(record));
        for (std::string line; std::getline(synced, line);) {
            std::filesystem::path path = std::filesystem::absolute(line);
            const std::string name = path.filename().string();
            const size_t mark = name.rfind(".tmp");
            if (name.starts_with('.') && mark != std::string::npos && mark > 0)
                path.replace_filename(name.substr(1, mark - 1));
            const std::string target = path.lexically_normal().string();
            if (target.starts_with(Folder() + "/") && target != PathOf(".Replacements.journal"))
                targets.insert(target);
        }
        ASSERT_FALSE(targets.empty()) << "a save that syncs nothing";
        const auto named = [&](const std::string& message, const std::string& target) {
            const std::string inData = PathOf("Data") + "/";
            const size_t from = target.starts_with(inData) ? inData.size() : Folder().size() + 1;
            return message.find(target.substr(from)) != std::string::npos;
        };
        const auto contents = [&] {
            std::map<std::string, std::string> bytes;
            for (const std::string& target : targets)
                bytes[target] = DiskHas(target) ? ReadBytes(target) : "(none)";
            return bytes;
        };

        // Each file refused in turn (read-only), then every write (a full disk).
        std::vector<std::string> refusals(targets.begin(), targets.end());
        refusals.push_back("");
        for (const std::string& refused : refusals) {
            SCOPED_TRACE(refused.empty() ? "a full disk" : "refused " + refused);
            if (c.writesReadOnlyFiles && !refused.empty())
                continue;
            FreshData();
            ASSERT_NO_FATAL_FAILURE((this->*c.prepare)());
            if (!refused.empty() && !DiskHas(refused))
                continue;
            const auto before = contents();
            ASSERT_TRUE(refused.empty() || plat::SetReadOnly(refused, true));
            const SChildSave run = SaveInChild(c.save, [&] {
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
            (this->*c.checkAgree)(false);
        }
        EndGame();
    }
}

} // namespace
