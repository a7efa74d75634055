// "Stats.dat" as the player's only copy of their progress: a saver killed at
// random moments a hundred times always restarts with the last good
// profiles; the program started over a damaged file keeps it aside and
// starts afresh; a full disk, a locked folder and a read-only file in the
// running game are reported and cost no profile.
#include "ScreensGameTest.h"

#include "foundation/CompressedBlock.h"
#include "game/screens/CMainMenu.h"
#include "game/screens/CPlayerSelect.h"
#include "game/screens/CStats.h"
#include "game/world/CGameState.h"
#include "objects/CPropertyArrayProperty.h"
#include "platform/FileSystem.h"
#include "platform/Signals.h"
#include "ui/CJListBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Where the saver child works, and the descriptor it reports on.
constexpr const char* kSaverFolderVariable = "OMBRISALT_STATS_SAVER_FOLDER";
constexpr int kSaverReportFd = 3;
constexpr uint32_t kPlayersPerGeneration = 4;

void AppendRecord(CPlayerStats& player, CPlayerStatsForLevel* record)
{
    auto* array = static_cast<CPropertyArrayProperty*>(
        CPlayerStats::SGetClassInfo()->FindProperty("Stats For Level List"));
    const uint32_t n = player.m_pStatsForLevel.GetCount();
    array->ArrayProperty_SetCount(&player, n + 1);
    player.m_pStatsForLevel[n] = record;
}

void AppendPlayer(CStats& stats, CPlayerStats* player)
{
    auto* array = static_cast<CPropertyArrayProperty*>(CStats::SGetClassInfo()->FindProperty("Players"));
    const uint32_t n = stats.m_Players.GetCount();
    array->ArrayProperty_SetCount(&stats, n + 1);
    stats.m_Players[n] = player;
}

// Save number g: every value follows from g, and the number of profiles and
// records changes with it, so a file read back tells which save it was and
// whether it is whole.
void FillGeneration(CStats& stats, uint32_t generation)
{
    const uint32_t players = 2 + generation % 3;
    for (uint32_t i = 0; i < players; ++i) {
        auto* player = new CPlayerStats;
        player->m_Name = CJString(("Player " + std::to_string(generation) + "-" + std::to_string(i)).c_str());
        player->m_ID = generation * kPlayersPerGeneration + i;
        player->m_Channel = "Ombrisalt";
        player->m_SelectedLevel = i;
        player->m_SecondsPlaying = float(generation);
        const uint32_t records = 3 + (generation + i) % 5;
        for (uint32_t r = 0; r < records; ++r) {
            auto* record = new CPlayerStatsForLevel;
            record->m_HasBeenPlayed = true;
            record->m_TimesCompleted = generation;
            record->m_TimesFailed = r;
            record->SetOptionalGoalAchieved(r % 3);
            record->AdoptGameStateBeforeLevelStarted(new CGameState);
            record->m_pGameStateBeforeLevelStarted->m_RevenueK = float(generation + r);
            AppendRecord(*player, record);
        }
        AppendPlayer(stats, player);
    }
    stats.m_CurrentPlayer = generation % players;
}

// The save number a read file holds, when it is that save whole; -1 otherwise.
int64_t GenerationOf(CStats& stats)
{
    if (!stats.GetPlayer(0))
        return -1;
    const uint32_t generation = stats.GetPlayer(0)->m_ID / kPlayersPerGeneration;
    CStats expected;
    FillGeneration(expected, generation);
    return stats.IsEqualTo(&expected) ? int64_t(generation) : -1;
}

void Report(const std::string& line)
{
    const std::string text = line + "\n";
    [[maybe_unused]] const ssize_t written = ::write(kSaverReportFd, text.data(), text.size());
}

// The child half of the kill test: loads "Stats.dat" from the folder as the
// game does, reports which save it found, then saves the next ones through
// the game's own save path until it is killed, reporting each save once it
// is done.
TEST(ChildProcess, StatsSaverSavesUntilKilled)
{
    const char* folder = std::getenv(kSaverFolderVariable);
    if (!folder)
        GTEST_SKIP() << "started by StatsKills only";
    if (::chdir(folder) != 0)
        std::_Exit(2);
    CStats stats;
    if (!stats.Load()) {
        Report("unreadable");
        std::_Exit(3);
    }
    int64_t generation = GenerationOf(stats);
    if (generation < 0) {
        Report("not a whole save");
        std::_Exit(4);
    }
    Report("loaded " + std::to_string(generation));
    for (;;) {
        ++generation;
        CStats next;
        FillGeneration(next, uint32_t(generation));
        if (!next.Save()) {
            Report("not saved");
            std::_Exit(5);
        }
        Report("saved " + std::to_string(generation));
    }
}

// The saver in a child process of this test program, its reports on a pipe.
class CSaver {
public:
    explicit CSaver(const std::string& folder)
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return;
        m_Reports = ends[0];
        const std::string program = plat::GetProgramPath();
        std::string filter = "--gtest_filter=ChildProcess.StatsSaverSavesUntilKilled";
        std::string brief = "--gtest_brief=1";
        std::string argument0 = program;
        char* argv[] = {argument0.data(), filter.data(), brief.data(), nullptr};
        std::vector<std::string> variables;
        for (char** entry = environ; *entry; ++entry)
            variables.emplace_back(*entry);
        variables.push_back(std::string(kSaverFolderVariable) + "=" + folder);
        // A killed child has no leaks to report.
        variables.emplace_back("ASAN_OPTIONS=detect_leaks=0");
        std::vector<char*> envp;
        for (std::string& variable : variables)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], kSaverReportFd);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()) == 0)
            m_Pid = pid;
        posix_spawn_file_actions_destroy(&actions);
        ::close(ends[1]);
    }
    ~CSaver()
    {
        Kill();
        if (m_Reports >= 0)
            ::close(m_Reports);
    }
    CSaver(const CSaver&) = delete;
    CSaver& operator=(const CSaver&) = delete;

    // The next report; empty once the child is gone.
    std::string ReadLine()
    {
        for (;;) {
            const size_t end = m_Buffer.find('\n');
            if (end != std::string::npos) {
                std::string line = m_Buffer.substr(0, end);
                m_Buffer.erase(0, end + 1);
                return line;
            }
            // A saver that neither reports nor ends within a minute is stuck.
            pollfd ready{m_Reports, POLLIN, 0};
            if (m_Reports < 0 || ::poll(&ready, 1, 60000) == 0)
                return {};
            char chunk[256];
            const ssize_t got = ::read(m_Reports, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return {};
            m_Buffer.append(chunk, size_t(got));
        }
    }
    // SIGKILL and reap; answers whether the kill is what ended it.
    bool Kill()
    {
        if (m_Pid <= 0)
            return false;
        ::kill(m_Pid, SIGKILL);
        int status = 0;
        const bool reaped = ::waitpid(m_Pid, &status, 0) == m_Pid;
        m_Pid = -1;
        return reaped && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }
    bool Started() const { return m_Pid > 0 && m_Reports >= 0; }

private:
    pid_t m_Pid = -1;
    int m_Reports = -1;
    std::string m_Buffer;
};

class StatsKills : public CTempFolderTest {
protected:
    // The temporaries writers that died left beside "Stats.dat".
    int LeftTemporaries() const
    {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(Folder()))
            count += entry.path().filename().string().rfind(".Stats.dat.tmp", 0) == 0 ? 1 : 0;
        return count;
    }
};

TEST_F(StatsKills, AHundredKillsDuringSavesAlwaysRestartWithTheLastGoodProfiles)
{
    {
        CStats first;
        FillGeneration(first, 1);
        ASSERT_TRUE(first.Save());
    }
    // The last save a saver reported done: a restart finds it, or the one
    // after it when the kill came between the rename and the report.
    int64_t reported = 1;
    // A longer sweep: OMBRISALT_STATS_KILLS=<count>, OMBRISALT_STATS_KILL_SEED=<seed>.
    const char* kills = std::getenv("OMBRISALT_STATS_KILLS");
    const char* seed = std::getenv("OMBRISALT_STATS_KILL_SEED");
    const int killCount = kills ? std::atoi(kills) : 100;
    std::mt19937 random(seed ? uint32_t(std::strtoul(seed, nullptr, 10)) : 51u);
    std::uniform_int_distribution<int> delayMicroseconds(0, 30000);
    int killedMidWrite = 0;
    int foundUnreported = 0;
    for (int kill = 0; kill < killCount; ++kill) {
        SCOPED_TRACE("restart " + std::to_string(kill));
        CSaver saver(Folder());
        ASSERT_TRUE(saver.Started());
        const std::string first = saver.ReadLine();
        ASSERT_EQ(first.rfind("loaded ", 0), 0u) << "the restart said \"" << first << "\"";
        const int64_t found = std::stoll(first.substr(7));
        ASSERT_TRUE(found == reported || found == reported + 1) << found << " after " << reported;
        foundUnreported += found != reported ? 1 : 0;
        reported = found;
        ASSERT_LE(LeftTemporaries(), 1) << "each save clears what a killed one left";

        ::usleep(useconds_t(delayMicroseconds(random)));
        ASSERT_TRUE(saver.Kill());
        killedMidWrite += LeftTemporaries() != 0 ? 1 : 0;
        for (std::string line = saver.ReadLine(); !line.empty(); line = saver.ReadLine()) {
            ASSERT_EQ(line, "saved " + std::to_string(reported + 1));
            ++reported;
        }
        ASSERT_FALSE(DiskHas("Stats.dat.bad"));
    }
    RecordProperty("KilledMidWrite", killedMidWrite);
    RecordProperty("FoundUnreported", foundUnreported);
    EXPECT_TRUE(killCount < 20 || killedMidWrite > 0) << "no kill came while a save was being written";

    // The last restart, in this process; its first save leaves the folder clean.
    CStats last;
    ASSERT_TRUE(last.Load());
    const int64_t found = GenerationOf(last);
    EXPECT_TRUE(found == reported || found == reported + 1) << found << " after " << reported;
    ASSERT_TRUE(last.Save());
    EXPECT_EQ(ListNames(Folder()), "Stats.dat");
}

// The first save of all, killed with its new file whole but not yet in
// place: nothing was ever saved, so the restart is a first run, without a
// damaged file to report or keep.
TEST_F(StatsKills, AKillDuringTheFirstSaveLeavesAFirstRun)
{
    const pid_t child = ::fork();
    if (child == 0) {
        CStats stats;
        FillGeneration(stats, 7);
        plat::SetSyncObserver([](std::string_view) { ::raise(SIGKILL); });
        stats.Save();
        std::_Exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    CStats restarted;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(restarted.Load());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(restarted.GetPlayerCount(), 0u);
    EXPECT_FALSE(DiskHas("Stats.dat.bad"));
    FillGeneration(restarted, 8);
    ASSERT_TRUE(restarted.Save());
    EXPECT_EQ(ListNames(Folder()), "Stats.dat");
}

// A short file whose block claims more than any profiles: refused from its
// header, before any of it is decoded, and kept aside as any damaged file.
class StatsOnDisk : public CTempFolderTest {};

TEST_F(StatsOnDisk, AFileClaimingMoreThanAnyProfilesIsKeptAsideUndecoded)
{
    std::mt19937 random(7);
    std::string stream(80000, '\0');
    for (char& c : stream)
        c = char(random());
    std::string file(1, char(kCompressedBlockMarker));
    for (uint32_t value : {uint32_t(stream.size()), uint32_t(80u << 20)})
        for (int shift = 0; shift < 32; shift += 8)
            file += char((value >> shift) & 0xFF);
    file += stream;
    WriteBytes("Stats.dat", file);

    CStats read;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(read.Load());
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("Stats.dat: could not be read: The file is larger than any profiles can be"),
              std::string::npos)
        << errors;
    EXPECT_EQ(ReadBytes("Stats.dat.bad"), file);
    EXPECT_FALSE(DiskHas("Stats.dat"));
}

std::vector<std::string> NamesIn(const CStats& stats)
{
    std::vector<std::string> names;
    for (uint32_t i = 0; i < stats.GetPlayerCount(); ++i)
        names.push_back(stats.GetPlayer(i)->m_Name.GetString());
    return names;
}

// The program itself over the demo data.
class StatsAtStart : public CScreensGameTest {
protected:
    // Runs the program headless for a few passes; answers its exit status.
    int RunProgram()
    {
        const std::map<std::string, std::string> environment{{"XDG_RUNTIME_DIR", Folder()},
                                                             {"OMBRISALT_HEADLESS", "1"}};
        const int pid = SpawnProgram({"/DataFolder", Folder(), "/Passes", "20"}, environment, {}, PathOf("err"));
        const CEndsWithTest guard(pid);
        return WaitForExitStatus(pid);
    }
    std::string Errors() const { return ReadBytes(PathOf("err")); }
};

TEST_F(StatsAtStart, ADamagedFileIsKeptAsideAndTheProgramStartsWithAFreshProfile)
{
    std::string good;
    {
        CStats saved;
        for (const char* name : {"Anna", "Ben"}) {
            saved.AddNewPlayer();
            saved.GetCurrentPlayer()->m_Name = name;
        }
        ASSERT_TRUE(saved.Save());
        good = ReadBytes("Stats.dat");
    }
    std::string corrupt = good;
    corrupt[corrupt.size() / 2] = char(corrupt[corrupt.size() / 2] ^ 0x5A);
    const struct {
        const char* kind;
        std::string bytes;
        const char* keptAs;
    } damaged[] = {{"truncated", good.substr(0, good.size() / 2), "Stats.dat.bad"},
                   {"corrupt", corrupt, "Stats.dat.bad.1"}};
    for (const auto& file : damaged) {
        SCOPED_TRACE(file.kind);
        WriteBytes("Stats.dat", file.bytes);
        ASSERT_EQ(RunProgram(), 0) << Errors();
        const std::string errors = Errors();
        EXPECT_NE(errors.find("Stats.dat: could not be read: "), std::string::npos) << errors;
        EXPECT_NE(errors.find(std::string("Stats.dat: kept as ") + file.keptAs), std::string::npos) << errors;
        EXPECT_EQ(errors.find("Sanitizer"), std::string::npos) << errors;
        EXPECT_EQ(ReadBytes(file.keptAs), file.bytes);
        // The program went on with one fresh profile and wrote it on its way out.
        CStats written;
        ASSERT_TRUE(written.Load());
        EXPECT_EQ(NamesIn(written), std::vector<std::string>{""});
    }

    // The next start finds the fresh file good: nothing to report or keep aside.
    ASSERT_EQ(RunProgram(), 0) << Errors();
    EXPECT_EQ(Errors().find("Stats.dat"), std::string::npos) << Errors();
    EXPECT_EQ(ReadBytes("Stats.dat.bad"), damaged[0].bytes);
    EXPECT_EQ(ReadBytes("Stats.dat.bad.1"), damaged[1].bytes);
    EXPECT_FALSE(DiskHas("Stats.dat.bad.2"));
}

// What the scope writes to standard error, through a pipe (a full disk
// would stop a capture through a file).
class CErrorsCaught {
public:
    CErrorsCaught()
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        std::fflush(stderr);
        m_Saved = ::dup(2);
        ::dup2(ends[1], 2);
        ::close(ends[1]);
        m_Read = ends[0];
    }
    ~CErrorsCaught() { Take(); }
    CErrorsCaught(const CErrorsCaught&) = delete;
    CErrorsCaught& operator=(const CErrorsCaught&) = delete;

    // Ends the catch; answers what was caught.
    const std::string& Take()
    {
        if (m_Saved >= 0) {
            std::fflush(stderr);
            ::dup2(m_Saved, 2);
            ::close(m_Saved);
            m_Saved = -1;
            char chunk[1024];
            for (ssize_t got; (got = ::read(m_Read, chunk, sizeof chunk)) > 0;)
                m_Text.append(chunk, size_t(got));
            ::close(m_Read);
        }
        return m_Text;
    }

private:
    int m_Saved = -1;
    int m_Read = -1;
    std::string m_Text;
};

constexpr const char* kNotWritten = "Stats.dat: could not be written; the profiles on disk are the last saved ones";

size_t Count(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

// The demo game at its main menu, new profiles made there as a player makes
// them while saving fails in one way or another.
class StatsInTheGame : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        InstallMainMenuScreen();
    }
    void TearDown() override
    {
        std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
        if (CNewPlayerDialog* dialog = GetNewPlayerDialog())
            dialog->Destroy();
        if (CChangePlayerWindow* list = GetChangePlayerWindow())
            list->Destroy();
        if (CMainMenu* menu = GetMainMenu())
            menu->Destroy();
        CScreensGameTest::TearDown();
    }
    // "Change Player", its "(New Player)" row, the name typed, "Save".
    void AddPlayerByClicks(const char* name)
    {
        ASSERT_NE(GetMainMenu(), nullptr);
        ClickOn(GetMainMenu()->GetButton("ChangePlayer"));
        CChangePlayerWindow* window = GetChangePlayerWindow();
        ASSERT_NE(window, nullptr);
        CJListBox& list = *window->GetListBox();
        const CRect rect = list.GetScreenRect();
        int32_t y = rect.top;
        while (y < rect.bottom && list.GetRowAt(CPoint{rect.left + 20, y}) != 0)
            ++y;
        PushClick(rect.left + 20, y + 2);
        Passes(3);
        CNewPlayerDialog* dialog = GetNewPlayerDialog();
        ASSERT_NE(dialog, nullptr);
        for (const char* c = name; *c; ++c) {
            plat::WindowEvent event;
            event.kind = plat::WindowEvent::Kind::Char;
            event.character = uint8_t(*c);
            m_Platform.GetHeadlessWindow().PushEvent(event);
        }
        Passes(2);
        ClickOn(dialog->GetSaveButton());
        // Whatever became of the file, the player goes on with the new profile.
        ASSERT_EQ(GetNewPlayerDialog(), nullptr);
        ASSERT_EQ(GetChangePlayerWindow(), nullptr);
        ASSERT_NE(GetMainMenu(), nullptr);
        EXPECT_STREQ(Player().m_Name.GetString(), name);
    }
    static std::vector<std::string> NamesOnDisk()
    {
        CStats read;
        return read.Load() ? Sorted(NamesIn(read)) : std::vector<std::string>{"(unreadable)"};
    }
    // The texts of the boxes shown so far.
    std::vector<std::string> Boxes() const
    {
        std::vector<std::string> texts;
        for (const auto& box : m_Platform.GetMessageBoxes())
            texts.push_back(box.caption + " / " + box.text);
        return texts;
    }
    bool TemporariesLeft() const
    {
        for (const auto& entry : std::filesystem::directory_iterator(Folder()))
            if (entry.path().filename().string().rfind(".Stats.dat", 0) == 0)
                return true;
        return false;
    }
};

TEST_F(StatsInTheGame, AFullDiskALockedFolderAndAReadOnlyFileCostNoProfile)
{
    {
        CStats first;
        first.AddNewPlayer();
        first.GetCurrentPlayer()->m_Name = "Anna";
        ASSERT_TRUE(first.Save());
    }
    const std::string good = ReadBytes("Stats.dat");
    ASSERT_TRUE(Start());
    Passes(2);
    ASSERT_EQ(NamesIn(CStats::SGetInstance()), std::vector<std::string>{"Anna"});

    {
        SCOPED_TRACE("a full disk");
        CFullDisk full;
        m_Platform.SetFreeDiskSpace(0);
        CErrorsCaught errors;
        ASSERT_NO_FATAL_FAILURE(AddPlayerByClicks("Ben"));
        m_Platform.SetFreeDiskSpace(std::nullopt);
        EXPECT_EQ(Count(errors.Take(), kNotWritten), 1u) << errors.Take();
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_NE(Boxes()[0].find("Stats.dat: the disk is full. "), std::string::npos) << Boxes()[0];
    }
    EXPECT_EQ(ReadBytes("Stats.dat"), good);
    EXPECT_FALSE(TemporariesLeft());

    {
        SCOPED_TRACE("a locked folder");
        std::filesystem::permissions(Folder(), std::filesystem::perms(0555));
        CActingAsNobody nobody;
        if (!nobody.Acting())
            GTEST_SKIP() << "root here cannot act as an ordinary user";
        CErrorsCaught errors;
        ASSERT_NO_FATAL_FAILURE(AddPlayerByClicks("Cleo"));
        EXPECT_EQ(Count(errors.Take(), kNotWritten), 1u) << errors.Take();
    }
    std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
    EXPECT_EQ(ReadBytes("Stats.dat"), good);
    EXPECT_FALSE(TemporariesLeft());
    EXPECT_EQ(Sorted(NamesIn(CStats::SGetInstance())), (std::vector<std::string>{"Anna", "Ben", "Cleo"}));

    // The player's own read-only file is made writable and written, with
    // every profile the failed saves could not write.
    {
        SCOPED_TRACE("a read-only file");
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown("Stats.dat", 65534, 65534), 0);
        }
        plat::SetReadOnly("Stats.dat", true);
        std::filesystem::permissions(Folder(), std::filesystem::perms::all);
        CActingAsNobody nobody;
        if (!nobody.Acting())
            GTEST_SKIP() << "root here cannot act as an ordinary user";
        CErrorsCaught errors;
        ASSERT_NO_FATAL_FAILURE(AddPlayerByClicks("Dana"));
        EXPECT_EQ(errors.Take(), "");
    }
    std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
    EXPECT_FALSE(plat::IsReadOnly("Stats.dat"));
    const std::vector<std::string> four{"Anna", "Ben", "Cleo", "Dana"};
    EXPECT_EQ(NamesOnDisk(), four);

    // The program's end on a full disk keeps the last saved file.
    const std::string saved = ReadBytes("Stats.dat");
    {
        SCOPED_TRACE("an exit on a full disk");
        CFullDisk full;
        CErrorsCaught errors;
        ASSERT_NO_FATAL_FAILURE(AddPlayerByClicks("Eve"));
        EndRun();
        EXPECT_EQ(Count(errors.Take(), kNotWritten), 2u) << errors.Take();
    }
    EXPECT_EQ(ReadBytes("Stats.dat"), saved);
    EXPECT_FALSE(TemporariesLeft());

    // The next start finds the four.
    ASSERT_TRUE(Start());
    Passes(2);
    EXPECT_EQ(Sorted(NamesIn(CStats::SGetInstance())), four);
    EXPECT_STREQ(Player().m_Name.GetString(), "Dana");
}

// The street the player just won is only in memory while the folder takes
// no save: the player is told in a box, once after each good save.
TEST_F(StatsInTheGame, AFolderThatTurnsReadOnlyIsToldInABoxOnceAndTheNextSaveWritesAll)
{
    {
        CStats first;
        first.AddNewPlayer();
        first.GetCurrentPlayer()->m_Name = "Anna";
        ASSERT_TRUE(first.Save());
    }
    const std::string stats = (std::filesystem::canonical(Folder()) / "Stats.dat").string();
    ASSERT_TRUE(Start());
    Passes(2);
    {
        std::filesystem::permissions(Folder(), std::filesystem::perms(0555));
        CActingAsNobody nobody;
        if (!nobody.Acting())
            GTEST_SKIP() << "root here cannot act as an ordinary user";
        CErrorsCaught errors;
        ASSERT_NO_FATAL_FAILURE(AddPlayerByClicks("Ben"));
        ASSERT_NO_FATAL_FAILURE(AddPlayerByClicks("Cleo"));
        EXPECT_EQ(Count(errors.Take(), kNotWritten), 2u) << errors.Take();
    }
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Error / Could not save " + stats +
                                                ": the folder cannot be written. Your progress stays in the game, "
                                                "and the next save writes it once the cause is gone; ending the "
                                                "game before then loses it."});
    std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
    EXPECT_EQ(NamesOnDisk(), std::vector<std::string>{"Anna"});

    // After a good save the next failure is news: told again, once.
    ASSERT_NO_FATAL_FAILURE(AddPlayerByClicks("Dana"));
    EXPECT_EQ(NamesOnDisk(), (std::vector<std::string>{"Anna", "Ben", "Cleo", "Dana"}));
    {
        std::filesystem::permissions(Folder(), std::filesystem::perms(0555));
        CActingAsNobody nobody;
        CErrorsCaught errors;
        ASSERT_NO_FATAL_FAILURE(AddPlayerByClicks("Eve"));
        ASSERT_NO_FATAL_FAILURE(AddPlayerByClicks("Finn"));
    }
    std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1], Boxes()[0]);
    EndRun();
    EXPECT_EQ(NamesOnDisk(), (std::vector<std::string>{"Anna", "Ben", "Cleo", "Dana", "Eve", "Finn"}));
    EXPECT_EQ(Boxes().size(), 2u);

    // A first failure at the exit says what it costs.
    ASSERT_TRUE(Start());
    Passes(2);
    {
        std::filesystem::permissions(Folder(), std::filesystem::perms(0555));
        CActingAsNobody nobody;
        CErrorsCaught errors;
        EndRun();
    }
    std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
    ASSERT_EQ(Boxes().size(), 3u);
    EXPECT_EQ(Boxes()[2], "Error / Could not save " + stats +
                              ": the folder cannot be written. The progress since the last save is lost.");

    // After a termination signal no box holds the end: standard error says it.
    ASSERT_TRUE(Start());
    Passes(2);
    {
        std::filesystem::permissions(Folder(), std::filesystem::perms(0555));
        CActingAsNobody nobody;
        CErrorsCaught errors;
        std::raise(SIGTERM);
        EXPECT_FALSE(Pass(17));
        EndRun();
        EXPECT_NE(errors.Take().find(Boxes()[2].substr(std::string("Error / ").size())), std::string::npos)
            << errors.Take();
    }
    std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
    EXPECT_EQ(Boxes().size(), 3u);

    // So after one that comes once a window Close has begun the end, when no
    // events are taken any more.
    ASSERT_TRUE(Start());
    Passes(2);
    {
        std::filesystem::permissions(Folder(), std::filesystem::perms(0555));
        CActingAsNobody nobody;
        CErrorsCaught errors;
        Push(plat::WindowEvent::Kind::Close);
        EXPECT_FALSE(Pass(17));
        std::raise(SIGTERM);
        EndRun();
        EXPECT_NE(errors.Take().find(Boxes()[2].substr(std::string("Error / ").size())), std::string::npos)
            << errors.Take();
        // No event took it: in the program it ends with the process, here
        // it would hold every later test's boxes.
        EXPECT_TRUE(plat::TakeTerminationRequest());
    }
    std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
    EXPECT_EQ(Boxes().size(), 3u);
}

} // namespace
