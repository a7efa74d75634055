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
#include "game/screens/CTips.h"
#include "game/screens/RegisterGameScreensClasses.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLevelSorter.h"
#include "game/world/CTypedCommands.h"
#include "objects/ObjectFileCallbacks.h"
#include "platform/FileSystem.h"
#include "platform/ReplacementGroup.h"
#include "support/ScopedHooks.h"
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
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A folder nothing can be renamed in, not even by its owner, for the scope.
class CFrozenFolder {
public:
    explicit CFrozenFolder(const std::string& folder)
        : m_Fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY))
    {
        m_Frozen = Set(FS_IMMUTABLE_FL);
    }
    ~CFrozenFolder()
    {
        if (m_Frozen)
            Set(0);
        ::close(m_Fd);
    }
    bool Frozen() const { return m_Frozen; }
    // One another process froze.
    static void Thaw(const std::string& folder)
    {
        CFrozenFolder thawed(folder);
        thawed.m_Frozen = thawed.Set(0) || thawed.m_Frozen;
    }

private:
    bool Set(int flag)
    {
        int flags = 0;
        if (::ioctl(m_Fd, FS_IOC_GETFLAGS, &flags) != 0)
            return false;
        flags = (flags & ~FS_IMMUTABLE_FL) | flag;
        return ::ioctl(m_Fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    int m_Fd;
    bool m_Frozen = false;
};

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

std::string g_FirstTemporaryFolder, g_LaterTemporaryFolder;
bool g_FreezeTheFirst = true;
bool g_Frozen = false;

// The folder of the save's first temporary (or of a later one in another
// folder) frozen once the journal is synced: that rename fails, the program
// running on.
void FreezeAFolderAtTheJournal(std::string_view path)
{
    if (g_Frozen || path.ends_with('/'))
        return;
    if (path.find(".journal") != std::string_view::npos) {
        const std::string& folder = g_FreezeTheFirst ? g_FirstTemporaryFolder : g_LaterTemporaryFolder;
        if (!folder.empty())
            g_Frozen = (new CFrozenFolder(folder))->Frozen(); // the parent thaws it
    } else if (path.find(".tmp") != std::string_view::npos) {
        const std::string folder(path.substr(0, path.rfind('/')));
        if (g_FirstTemporaryFolder.empty())
            g_FirstTemporaryFolder = folder;
        else if (folder != g_FirstTemporaryFolder)
            g_LaterTemporaryFolder = folder;
    }
}

void SetTimeNs(const std::string& path, std::int64_t ns)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {ns / 1000000000, ns % 1000000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
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
    // Its save leaves a journal the start failures below are tried on.
    bool triesTheStartsFailures = false;
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

    // "Walk" with its pictures, its cache folder removed after it was read
    // (users remove caches): the save makes the folder and a new cache file.
    void PrepareSequenceWithoutItsCacheFolder()
    {
        RegisterGameScreensClasses();
        InitBlitTables();
        GetSequenceList().SetSource(nullptr, kSequences, 0);
        ASSERT_NE(GetSequenceList().GetObjectByName("Walk"), nullptr);
        std::filesystem::remove_all(PathOf("Data/Cache"));
    }

    // The same, its Properties.txt removed too: the save makes two files. The
    // removal is taken as the file the sequence was read from, since one
    // removed by hand after the read refuses the save.
    void PrepareSequenceWithNeitherFile()
    {
        PrepareSequenceWithoutItsCacheFolder();
        std::filesystem::remove(PathOf("Data/") + kWalkProperties);
        GetSequenceList().NoteObjectFileAsOnDisk(GetSequenceList().GetObjectByName("Walk"));
    }

    // The same, on the sequence already read.
    bool SaveLoadedSequenceRate(std::string& message) { return SaveRate(message, false); }

    // The sequence editor's rate, saved as its close saves it.
    bool SaveSequenceRate(std::string& message) { return SaveRate(message, true); }
    bool SaveRate(std::string& message, bool readAgain)
    {
        if (readAgain)
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
            message = FailedSaveMessage(name).GetString();
        GetSequenceList().SetSource(nullptr, "Nowhere", 0);
        return saved;
    }

    // The rate the next start plays is the one "Properties.txt" holds.
    void CheckSequenceAgrees(bool saveSucceeded)
    {
        if (!DiskHas(PathOf("Data/") + kWalkProperties)) {
            EXPECT_FALSE(saveSucceeded);
            CSequenceList nextStart;
            nextStart.SetSource(nullptr, kSequences, 0);
            CSequence* played = nextStart.GetObjectByName("Walk");
            ASSERT_NE(played, nullptr);
            EXPECT_GT(played->GetFrameCount(), 0u);
            return;
        }
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
        return CloseSorter(message);
    }

    // The same; its save left for the next start, the street is deleted
    // again in a new sorter, whose close said what follows "\nthen: ".
    // The files are first written as the program writes them, as after an
    // earlier save: a save of what they held then writes nothing.
    bool SaveSorterInsertThenTakeItBack(std::string& message)
    {
        std::vector<CObject*> written = {FindLevels(), CTipsOptions::SGetInstance()};
        for (const char* name : {"Harbour Years", "Hill Years"})
            written.push_back(GetDecadeTransitionList().GetObjectByName(name));
        written.push_back(GetLifeRewardList().GetObjectByName("First Streets"));
        for (CObject* object : written)
            if (!object || !SaveObjectToOwnFile(object)) {
                message = "not written";
                return false;
            }
        if (SaveSorterInsert(message))
            return true;
        m_Sorter = OpenLevelSorter();
        m_Sorter->GetList()->SelectItem(0, true);
        m_Sorter->Delete();
        std::string then;
        CloseSorter(then);
        message += "\nthen: " + then;
        return false;
    }

    // What its box said, the box gone; false when one was shown.
    bool CloseSorter(std::string& message)
    {
        CJWindow* screen = m_Sorter->GetParent();
        m_Sorter->Close();
        auto* box = dynamic_cast<CJMessageBox*>(screen->GetFirstChild());
        for (CJWindow* child = box ? box->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
            if (dynamic_cast<CJStatic*>(child))
                message = child->GetTitle().GetString();
        if (box)
            box->Destroy();
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
        for (const std::string& journal : Leftovers(".journal"))
            fs::remove(journal);
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
        m_Sorter = nullptr;
    }

    // The program's own start with no game after it: what it says.
    std::string StartAsTheProgramDoes()
    {
        EndGame();
        if (m_Started)
            EndRun();
        const CScopedRunGame noGame(nullptr);
        testing::internal::CaptureStderr();
        const bool started = Start();
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(started) << said;
        EndRun();
        return said;
    }

    // Journals (".journal") or temporaries (".tmp") in the program folder, at any depth.
    std::vector<std::string> Leftovers(std::string_view kind) const
    {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(Folder())) {
            const std::string name = entry.path().filename().string();
            if (kind == ".tmp" ? name.find(kind) != std::string::npos : name.ends_with(kind))
                found.push_back(entry.path().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    // The journal a stop left, as the last build wrote it: each temporary
    // and its target by the path it resolved (the data folder's, absolute).
    void AsTheLastBuildsJournal()
    {
        const std::vector<std::string> journals = Leftovers(".journal");
        ASSERT_EQ(journals.size(), 1u);
        plat::JournalKind kind;
        std::vector<plat::JournalEntry> entries;
        ASSERT_TRUE(plat::DecodeJournal(ReadBytes(journals[0]), kind, entries));
        std::string text = "replace\n";
        for (const plat::JournalEntry& entry : entries) {
            const std::filesystem::path target(PathOf(entry.target));
            text += (target.parent_path() / entry.temporary).string() + "\t" + target.string() + "\n";
        }
        std::filesystem::remove(journals[0]);
        WriteBytes(PathOf(".Replacements.journal"), text);
    }

    // Every file below the program folder with its size.
    std::map<std::string, std::uintmax_t> AllFiles() const
    {
        std::map<std::string, std::uintmax_t> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(Folder()))
            if (entry.is_regular_file() && !entry.path().filename().string().starts_with('.')
                && entry.path().extension() != ".lock")
                files[entry.path().string()] = entry.file_size();
        return files;
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
     &FilesSavedTogether::SaveSequenceRate, &FilesSavedTogether::CheckSequenceAgrees, false, true},
    {"a sequence's Properties.txt and a new cache in a folder not yet made",
     &FilesSavedTogether::PrepareSequenceWithoutItsCacheFolder, &FilesSavedTogether::SaveLoadedSequenceRate,
     &FilesSavedTogether::CheckSequenceAgrees},
    {"a sequence's Properties.txt and its cache, both new", &FilesSavedTogether::PrepareSequenceWithNeitherFile,
     &FilesSavedTogether::SaveLoadedSequenceRate, &FilesSavedTogether::CheckSequenceAgrees},
    {"the Level Sorter's levels, tips, decade cards and life reward", &FilesSavedTogether::PrepareSorter,
     &FilesSavedTogether::SaveSorterInsert, &FilesSavedTogether::CheckSorterFilesAgree, false, true},
};

TEST_F(FilesSavedTogether, AfterAStopOrARefusedWriteAtAnyPointTheNextStartReadsThemAgreeing)
{
    const std::string record = PathOf("synced.txt");
    for (const SavedTogetherCase& c : kCases) {
        SCOPED_TRACE(c.name);
        CScopedDataFolder data(PathOf("Data").c_str());

        // Stopped at each sync in turn, until a save runs to its end. The
        // first stop that leaves a journal is finished by the program's own
        // start (the others by its recovery alone, a start costing more).
        bool startedAfterAStop = false;
        for (int stop = 1;; ++stop) {
            SCOPED_TRACE("stopped at sync " + std::to_string(stop));
            ASSERT_LT(stop, 40);
            FreshData();
            ASSERT_NO_FATAL_FAILURE((this->*c.prepare)());
            const auto before = AllFiles();
            std::filesystem::remove(record);
            const SChildSave run = SaveInChild(c.save, [&] {
                g_SyncsLeft = stop;
                g_SyncRecord = ::open(record.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
                plat::SetSyncObserver(&StopAtSync);
            });
            ASSERT_TRUE(run.status == 0 || run.status == -SIGKILL) << run.status << " " << run.message;
            if (startedAfterAStop || Leftovers(".journal").empty()) {
                plat::FinishInterruptedReplacements();
            } else {
                StartAsTheProgramDoes();
                startedAfterAStop = true;
            }
            (this->*c.checkAgree)(run.status == 0);
            for (const auto& [path, size] : AllFiles())
                EXPECT_TRUE(before.contains(path) || size > 0) << path << ": a file the kill made";
            EXPECT_EQ(Leftovers(".tmp"), std::vector<std::string>()) << "temporaries the start left";
            if (run.status == 0)
                break;
        }

        // The files the whole save replaced (a temporary ".<name>.tmp<n>"
        // stands for its file), in the data or the program folder, the
        // journal aside: it is no file of either.
        std::set<std::string> targets;
        int firstRename = 0, syncs = 1;
        std::vector<std::string> lines;
        std::istringstream synced(ReadBytes(record));
        for (std::string line; std::getline(synced, line); lines.push_back(line)) {
            if (line.ends_with('/')) { // a folder of temporaries
                ++syncs;
                continue;
            }
            std::filesystem::path path = std::filesystem::absolute(line);
            const std::string name = path.filename().string();
            const size_t mark = name.rfind(".tmp");
            if (name.starts_with('.') && mark != std::string::npos && mark > 0)
                path.replace_filename(name.substr(1, mark - 1));
            const std::string target = path.lexically_normal().string();
            if (target.starts_with(Folder() + "/") && !target.ends_with(".journal"))
                targets.insert(target);
            if (firstRename == 0 && name.find(".tmp") == std::string::npos)
                firstRename = syncs;
            ++syncs;
        }
        ASSERT_FALSE(targets.empty()) << "a save that syncs nothing";
        // The journal outlives no temporary it names: each one's folder is
        // synced before it.
        const auto renamed = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find(".tmp") == std::string::npos && !line.ends_with('/');
        });
        const auto journal = std::find_if(std::make_reverse_iterator(renamed), lines.rend(), [](const std::string& line) {
            return line.find(".journal") != std::string::npos;
        }).base();
        for (auto line = lines.begin(); firstRename > 0 && line < journal; ++line)
            if (line->find(".tmp") != std::string::npos && line->find(".journal") == std::string::npos) {
                EXPECT_TRUE(std::find(line, journal, line->substr(0, line->rfind('/') + 1)) != journal)
                    << *line << ": its folder is not synced before the journal";
            }
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

        // The failures a start meets after a stop past the first rename, the
        // rest waiting: a rename it cannot make keeps the journal for the next
        // start; a waiting file saved since by a build without the journal, or
        // the folder copied without its files' times, keeps the journal and
        // the temporaries, and says how to finish; a journal cut short leaves
        // every file as it is, said once. A rename that fails while the
        // program saves leaves the rest for the next start to finish; the
        // first, with nothing in place, ends the save with nothing saved.
        for (const char* meets :
             {"a rename that fails", "a rename that fails while saving", "the first rename that fails while saving",
              "a file saved since", "the folder copied without times", "a journal cut short"}) {
            if (firstRename == 0 || !c.triesTheStartsFailures)
                break;
            SCOPED_TRACE(meets);
            FreshData();
            ASSERT_NO_FATAL_FAILURE((this->*c.prepare)());
            if (std::string(meets).ends_with("fails while saving")) {
                // The first: nothing is in place, so nothing is saved and no
                // start has anything to finish.
                const bool first = meets == std::string("the first rename that fails while saving");
                const bool sorter = c.save == &FilesSavedTogether::SaveSorterInsert && !first;
                SChildSave run = SaveInChild(sorter ? &FilesSavedTogether::SaveSorterInsertThenTakeItBack : c.save,
                                             [first] {
                                                 g_FreezeTheFirst = first;
                                                 plat::SetSyncObserver(&FreezeAFolderAtTheJournal);
                                             });
                for (const std::string& temporary : Leftovers(".tmp"))
                    CFrozenFolder::Thaw(std::filesystem::path(temporary).parent_path());
                if (run.status == 0)
                    continue; // no immutable folders here, or no later folder
                EXPECT_EQ(run.status, 1) << run.message;
                std::string takenBack;
                if (sorter) {
                    const size_t then = run.message.find("\nthen: ");
                    ASSERT_NE(then, std::string::npos) << run.message;
                    takenBack = run.message.substr(then + 7);
                    run.message.resize(then);
                }
                EXPECT_EQ(run.message.find("changed on disk"), std::string::npos) << run.message;
                if (c.save == &FilesSavedTogether::SaveSorterInsert) {
                    std::string said = run.message; // as the box wraps it
                    std::replace(said.begin(), said.end(), '\n', ' ');
                    EXPECT_EQ(said.find("next start finishes the save") == std::string::npos, first) << said;
                }
                if (sorter) {
                    // The files are taken as the next start makes them: the
                    // sorter keeps the new order, and taking it back is a
                    // change, refused while the journal waits for its files.
                    std::replace(takenBack.begin(), takenBack.end(), '\n', ' ');
                    EXPECT_EQ(run.message.find("back in the order"), std::string::npos) << run.message;
                    EXPECT_EQ(takenBack.rfind("Could not save ", 0), 0u) << takenBack;
                    EXPECT_NE(takenBack.find("a save cut short waits for it"), std::string::npos) << takenBack;
                    // Nothing was copied or touched: a plain restart finishes it.
                    EXPECT_NE(takenBack.find("the program's next start finishes it"), std::string::npos) << takenBack;
                    EXPECT_EQ(takenBack.find("cp -a"), std::string::npos) << takenBack;
                    // The refusal's own remedy, the edit kept: the order is
                    // not put back over it.
                    EXPECT_EQ(takenBack.find("back in the order"), std::string::npos) << takenBack;
                }
                EXPECT_TRUE(std::any_of(targets.begin(), targets.end(),
                                        [&](const std::string& t) { return named(run.message, t); }))
                    << run.message;
                EXPECT_EQ(StartAsTheProgramDoes(), "");
                (this->*c.checkAgree)(!first);
                EXPECT_EQ(Leftovers(".tmp"), std::vector<std::string>());
                EXPECT_EQ(Leftovers(".journal"), std::vector<std::string>());
                continue;
            }
            const SChildSave run = SaveInChild(c.save, [&] {
                g_SyncsLeft = firstRename;
                plat::SetSyncObserver(&StopAtSync);
            });
            ASSERT_EQ(run.status, -SIGKILL) << run.message;
            const std::vector<std::string> waiting = Leftovers(".tmp");
            ASSERT_FALSE(waiting.empty());
            if (meets == std::string("a rename that fails")) {
                {
                    const CFrozenFolder frozen(std::filesystem::path(waiting.front()).parent_path());
                    if (!frozen.Frozen())
                        continue;
                    const std::string said = StartAsTheProgramDoes();
                    EXPECT_NE(said.find("Could not finish saving"), std::string::npos) << said;
                }
                StartAsTheProgramDoes();
                (this->*c.checkAgree)(true);
                continue;
            }
            if (meets == std::string("a file saved since")) {
                const std::filesystem::path temporary(waiting.front());
                const std::string name = temporary.filename().string();
                const std::string target = (temporary.parent_path() / name.substr(1, name.rfind(".tmp") - 1)).string();
                // As long as it was: only its time tells it from the one the stop left.
                std::string bytes = ReadBytes(target);
                bytes.back() = bytes.back() == ' ' ? '\t' : ' ';
                WriteBytes(target, bytes);
            } else if (meets == std::string("the folder copied without times")) {
                for (const auto& entry : std::filesystem::recursive_directory_iterator(Folder()))
                    if (entry.is_regular_file())
                        std::filesystem::last_write_time(entry.path(), std::filesystem::file_time_type::clock::now());
            } else {
                const std::vector<std::string> journals = Leftovers(".journal");
                ASSERT_EQ(journals.size(), 1u);
                const std::string text = ReadBytes(journals[0]);
                WriteBytes(journals[0], text.substr(0, text.rfind('\n', text.size() - 2) + 1));
            }
            const auto left = contents();
            const std::vector<std::string> journals = Leftovers(".journal");
            const std::string said = StartAsTheProgramDoes();
            EXPECT_EQ(contents(), left);
            EXPECT_EQ(said.find("left as they are"), said.rfind("left as they are")) << said;
            EXPECT_NE(said, "");
            if (meets == std::string("a journal cut short")) {
                EXPECT_EQ(Leftovers(".tmp"), std::vector<std::string>());
                continue;
            }
            EXPECT_EQ(Leftovers(".tmp"), waiting);
            ASSERT_EQ(Leftovers(".journal"), journals);
            EXPECT_NE(said.find("put the folder back as the stop left it"), std::string::npos) << said;
            if (meets == std::string("a file saved since"))
                continue;
            // Put back as the stop left it (a copy keeping times): the save is finished.
            plat::JournalKind kind;
            std::vector<plat::JournalEntry> entries;
            ASSERT_TRUE(plat::DecodeJournal(ReadBytes(journals[0]), kind, entries));
            const auto setTime = [](const std::string& path, std::int64_t ns) {
                const timespec times[2] = {{0, UTIME_OMIT}, {ns / 1000000000, ns % 1000000000}};
                ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
            };
            for (const plat::JournalEntry& entry : entries) {
                const std::filesystem::path target(PathOf(entry.target));
                const std::string temporary = (target.parent_path() / entry.temporary).string();
                const bool pending = DiskHas(temporary);
                if (pending)
                    setTime(temporary, entry.temporaryStamp.writeTimeNs);
                setTime(target.string(), (pending ? entry.targetStamp : entry.temporaryStamp).writeTimeNs);
            }
            EXPECT_EQ(StartAsTheProgramDoes(), "");
            (this->*c.checkAgree)(true);
            EXPECT_EQ(Leftovers(".tmp"), std::vector<std::string>());
            EXPECT_EQ(Leftovers(".journal"), std::vector<std::string>());
        }

        // The same stop under the last build, which left its own journal; and
        // with Data/, or a folder in it, a link to another disk, as users
        // keep their data: the start finishes the save.
        for (const std::string meets : {"the last build's journal", "Data", "Data/Resources"}) {
            if (firstRename == 0 || !c.triesTheStartsFailures)
                break;
            SCOPED_TRACE(meets);
            namespace fs = std::filesystem;
            FreshData();
            const std::string linked = meets.starts_with("Data") ? PathOf(meets) : "";
            const std::string elsewhere = Folder() + ".elsewhere";
            if (!linked.empty()) {
                fs::rename(linked, elsewhere);
                fs::create_directory_symlink(elsewhere, linked);
            }
            ASSERT_NO_FATAL_FAILURE((this->*c.prepare)());
            const SChildSave run = SaveInChild(c.save, [&] {
                g_SyncsLeft = firstRename;
                plat::SetSyncObserver(&StopAtSync);
            });
            ASSERT_EQ(run.status, -SIGKILL) << run.message;
            if (linked.empty()) {
                ASSERT_NO_FATAL_FAILURE(AsTheLastBuildsJournal());
            }
            const std::string said = StartAsTheProgramDoes();
            EXPECT_EQ(said.find("left as they are"), std::string::npos) << said;
            (this->*c.checkAgree)(true);
            if (!linked.empty()) {
                fs::remove(linked);
                fs::rename(elsewhere, linked);
            }
            EXPECT_EQ(Leftovers(".tmp"), std::vector<std::string>());
            EXPECT_EQ(Leftovers(".journal"), std::vector<std::string>());
        }

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

// The sorter's save stopped at its first rename, the folder's files then
// given new times (a copy that keeps none): the start keeps the journal. A
// tip saved from the object editor is refused, naming the file, the journal
// and what to do, the tip kept; once the times are put back the next start
// finishes the sorter's save and the files agree.
TEST_F(FilesSavedTogether, ASaveOfAFileAKeptJournalNamesIsRefusedUntilTheStartFinishesIt)
{
    CScopedDataFolder data(PathOf("Data").c_str());
    FreshData();
    ASSERT_NO_FATAL_FAILURE(PrepareSorter());
    const SChildSave run = SaveInChild(&FilesSavedTogether::SaveSorterInsert, [] {
        plat::SetSyncObserver([](std::string_view path) {
            if (!path.ends_with('/') && path.find(".tmp") == std::string_view::npos
                && path.find(".journal") == std::string_view::npos)
                ::raise(SIGKILL);
        });
    });
    ASSERT_EQ(run.status, -SIGKILL) << run.message;
    const std::vector<std::string> journals = Leftovers(".journal"), waiting = Leftovers(".tmp");
    ASSERT_EQ(journals.size(), 1u);
    const std::string journal = std::filesystem::path(journals[0]).filename().string();
    plat::JournalKind kind;
    std::vector<plat::JournalEntry> entries;
    ASSERT_TRUE(plat::DecodeJournal(ReadBytes(journals[0]), kind, entries));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Folder()))
        if (entry.is_regular_file())
            std::filesystem::last_write_time(entry.path(), std::filesystem::file_time_type::clock::now());
    EXPECT_NE(StartAsTheProgramDoes().find("put the folder back"), std::string::npos);

    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    ASSERT_NE(tips, nullptr);
    const std::string tipsFile = PathOf("Data/Resources/Tips Options.Object.txt");
    const std::string before = ReadBytes(tipsFile);
    tips->m_TipsList[0].SetText(CJString("A tip of mine"));
    EXPECT_FALSE(SaveObjectToOwnFile(tips));
    CJString name;
    ASSERT_TRUE(FindFailedSaveFile(tips, &name));
    EXPECT_EQ(std::string(FailedSaveMessage(name).GetString()),
              "Could not save Resources/Tips Options.Object.txt: a save cut short waits for it (" + journal
                  + " in the program folder names it). To finish that save, put the folder back as the stop left "
                    "it (a copy that keeps file times, such as cp -a) and start the program again; to keep the "
                    "files as they are, remove "
                  + journal
                  + " from the program folder. Once that is done, your edits are saved at the next save, close or "
                    "exit; until then they are kept here only.");
    EXPECT_EQ(tips->GetTipText(0).GetString(), std::string("A tip of mine"));
    EXPECT_EQ(ReadBytes(tipsFile), before);
    // The levels as the file holds them: a save that would write the same
    // bytes is refused too, not taken as done.
    CLevelSet* levels = FindLevels();
    ASSERT_NE(levels, nullptr);
    const std::string levelsFile = PathOf("Data/Resources/Levels.Object.txt");
    const std::string levelsBefore = ReadBytes(levelsFile);
    EXPECT_FALSE(levels->SaveToFile("Resources/Levels.Object.txt", 0));
    // Had another account made it, with umask 077, this one could not read
    // it: the sorter's save, which comes to the levels directly, is refused
    // all the same, by name, and writes nothing.
    ASSERT_EQ(::chmod(journals[0].c_str(), 0600), 0);
    for (const std::string folder : {"", "Data", "Data/Resources"})
        ASSERT_EQ(::chmod(PathOf(folder).c_str(), 0777), 0) << folder;
    const std::string refusal = AsAnotherAccount([levels] {
        CJString failed;
        return SaveLevelSetToOwnFile(*levels, failed)
            ? std::string("saved")
            : std::string(failed.GetString()) + ": " + GetFailedSaveReason().GetString();
    });
    const std::string refused = "Resources/Levels.Object.txt: a save cut short left " + journal;
    EXPECT_EQ(refusal.rfind(refused + " in the program folder, which this account may not read", 0), 0u) << refusal;
    EXPECT_EQ(ReadBytes(levelsFile), levelsBefore);
    ASSERT_EQ(::chmod(journals[0].c_str(), 0644), 0);
    EXPECT_EQ(Leftovers(".tmp"), waiting);
    EndGame();

    for (const plat::JournalEntry& entry : entries) {
        const std::filesystem::path target(PathOf(entry.target));
        const std::string temporary = (target.parent_path() / entry.temporary).string();
        const bool pending = DiskHas(temporary);
        if (pending)
            SetTimeNs(temporary, entry.temporaryStamp.writeTimeNs);
        SetTimeNs(target.string(), (pending ? entry.targetStamp : entry.temporaryStamp).writeTimeNs);
    }
    EXPECT_EQ(StartAsTheProgramDoes(), "");
    CheckSorterFilesAgree(true);
    EXPECT_EQ(Leftovers(".tmp"), std::vector<std::string>());
    EXPECT_EQ(Leftovers(".journal"), std::vector<std::string>());
}

// Where the system answers renameat2 with EINVAL, ENOSYS or EPERM (an older
// kernel, a sandbox's filter) and refuses hard links (some network and FUSE
// file systems): the sorter's Insert and a sequence's rate are saved, and a
// stop at the first rename of their save is finished by the next start.
TEST_F(FilesSavedTogether, WithoutANoReplaceRenameOrLinksTheyAreSavedAndAStopIsFinished)
{
    CScopedDataFolder data(PathOf("Data").c_str());
    for (const SavedTogetherCase& c : kCases) {
        if (c.save == &FilesSavedTogether::WinAStreet)
            continue;
        SCOPED_TRACE(c.name);
        for (const int error : {EINVAL, ENOSYS, EPERM}) {
            SCOPED_TRACE(error);
            const auto withoutThem = [error] {
                if (!RefuseSystemCalls({{SYS_renameat2, error}, {SYS_link, EPERM}, {SYS_linkat, EPERM}}))
                    ::_exit(3);
            };
            FreshData();
            ASSERT_NO_FATAL_FAILURE((this->*c.prepare)());
            SChildSave run = SaveInChild(c.save, withoutThem);
            if (run.status == 3)
                GTEST_SKIP() << "no system-call filter here";
            EXPECT_EQ(run.status, 0) << run.message;
            (this->*c.checkAgree)(run.status == 0);
            EXPECT_EQ(Leftovers(".journal"), std::vector<std::string>());

            FreshData();
            ASSERT_NO_FATAL_FAILURE((this->*c.prepare)());
            run = SaveInChild(c.save, [&] {
                withoutThem();
                plat::SetSyncObserver([](std::string_view path) {
                    if (!path.ends_with('/') && path.find(".tmp") == std::string_view::npos
                        && path.find(".journal") == std::string_view::npos)
                        ::raise(SIGKILL);
                });
            });
            ASSERT_EQ(run.status, -SIGKILL) << run.message;
            ASSERT_EQ(Leftovers(".journal").size(), 1u);
            EXPECT_EQ(StartAsTheProgramDoes(), "");
            (this->*c.checkAgree)(true);
            EXPECT_EQ(Leftovers(".tmp"), std::vector<std::string>());
            EXPECT_EQ(Leftovers(".journal"), std::vector<std::string>());
        }
    }
    EndGame();
}

// The program folder refuses every write (made immutable here, as a
// read-only folder refuses another account): the sorter's Insert and a
// sequence's rate, which record their files there first, are refused
// saying so, every file as it was.
TEST_F(FilesSavedTogether, ASaveRefusedForItsJournalSaysTheProgramFolderAndWhy)
{
    CScopedDataFolder data(PathOf("Data").c_str());
    const std::string why = "the program folder \"" + Folder()
        + "\" cannot be written, and files saved together are recorded there before any of them is replaced. "
          "Make the folder writable. Once that is done, your edits are saved at the next save, close or exit; "
          "until then they are kept here only.";
    const struct {
        SavedTogetherCase c;
        std::string file;
    } cases[] = {{kCases[1], kWalkProperties}, {kCases[4], "Resources/Levels.Object.txt"}};
    for (const auto& [c, file] : cases) {
        SCOPED_TRACE(c.name);
        FreshData();
        ASSERT_NO_FATAL_FAILURE((this->*c.prepare)());
        const auto before = AllFiles();
        SChildSave run = SaveInChild(c.save, [this] {
            if (!CFrozenFolder(Folder()).Frozen())
                ::_exit(3);
            (void)new CFrozenFolder(Folder()); // the parent thaws it
        });
        CFrozenFolder::Thaw(Folder());
        if (run.status == 3)
            GTEST_SKIP() << "no immutable folders here";
        EXPECT_EQ(run.status, 1);
        std::replace(run.message.begin(), run.message.end(), '\n', ' '); // as the box wraps it
        EXPECT_EQ(run.message, "Could not save " + file + ": " + why);
        EXPECT_EQ(AllFiles(), before);
        (this->*c.checkAgree)(false);
        EXPECT_EQ(Leftovers(".tmp"), std::vector<std::string>());
        EXPECT_EQ(Leftovers(".journal"), std::vector<std::string>());
    }
    EndGame();
}

// Hundreds of life rewards, every one renumbered by one Insert before the
// first street, are saved with the streets (a build before the journal saved
// them one by one): no bound of the journal's own refuses them.
TEST_F(FilesSavedTogether, HundredsOfRewardsRenumberedByOneInsertAreSaved)
{
    CScopedDataFolder data(PathOf("Data").c_str());
    FreshData();
    const std::string rewards = PathOf("Data/Resources/LifeRewards/");
    const std::string reward = ReadBytes(rewards + "First Streets.LifeRewards.txt");
    for (int i = 1; i <= 300; ++i)
        WriteBytes(rewards + "R" + std::to_string(i) + ".LifeRewards.txt", reward);
    ReadList(GetLifeRewardList(), "Resources/LifeRewards");
    ASSERT_NO_FATAL_FAILURE(PrepareSorter());
    std::string message;
    EXPECT_TRUE(SaveSorterInsert(message)) << message;
    CheckSorterFilesAgree(true);
    EXPECT_NE(ReadBytes(rewards + "R251.LifeRewards.txt").find("Level To Display After=11"), std::string::npos);
    EXPECT_EQ(Leftovers(".journal"), std::vector<std::string>());
    EndGame();
}

} // namespace
