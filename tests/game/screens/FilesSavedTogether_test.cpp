// Files saved together agree after any failure. Each case prepares its scene
// once; every run then forks a child from it, the folder put back as
// prepared, and the child's save is killed at each point a file is synced
// or renamed into place in turn, then run again with the disk full from each
// such point on. After each run the next start's view (interrupted
// replacements finished) must find the files agreeing, and a save that
// answers false must name a file it writes.
#include "ScreensGameTest.h"

#include "game/business/CCustomerArrivals.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CNewTrophyEarned.h"
#include "game/screens/CStats.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CTypedCommands.h"
#include "platform/FileSystem.h"
#include "platform/ReplacementGroup.h"
#include "program/RegisterAllClasses.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <set>
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
    // Sets the scene in a fresh copy of the demo data.
    void (*prepare)(const std::string& folder);
    // Makes the edit and saves as the program does: what the save answered,
    // and in message what the user was told.
    bool (*save)(std::string& message);
    // Reads the files as the next start would: all old, or all new once the
    // save succeeded.
    void (*checkAgree)(const std::string& folder, bool saveSucceeded);
};

// The running test, for the cases whose save plays the demo game.
class FilesSavedTogether : public CScreensGameTest {
public:
    using CScreensGameTest::ClickOn;
    using CScreensGameTest::Passes;
    using CScreensGameTest::Seconds;
    using CScreensGameTest::StartIntoTheLevel;

protected:
    void SetUp() override;
    void TearDown() override;
    // Only the demo data, and settings that stream sound without a thread
    // of its own: each run forks from a game the case may have started.
    void FreshData() const
    {
        Empty(Folder());
        std::filesystem::copy(OMBRISALT_DEMO_DATA "/Data", PathOf("Data"), std::filesystem::copy_options::recursive);
        WriteBytes(PathOf("Ombrisalt.CFG"), "[Options]\r\nUse Threaded Stream=0\r\n");
    }
    // The folder as the case prepared it, kept with its files' times to be
    // put back before each run.
    void KeepPrepared() const
    {
        namespace fs = std::filesystem;
        Empty(Prepared());
        fs::copy(Folder(), Prepared(), fs::copy_options::recursive);
        for (const auto& entry : fs::recursive_directory_iterator(Folder()))
            if (entry.is_regular_file())
                fs::last_write_time(Prepared() / fs::relative(entry.path(), Folder()), entry.last_write_time());
    }
    // What a run added goes, what it changed comes back.
    void PutPreparedBack() const
    {
        namespace fs = std::filesystem;
        std::vector<fs::path> added;
        for (const auto& entry : fs::recursive_directory_iterator(Folder()))
            if (!fs::exists(Prepared() / fs::relative(entry.path(), Folder())))
                added.push_back(entry.path());
        for (const fs::path& path : added)
            fs::remove_all(path);
        for (const auto& entry : fs::recursive_directory_iterator(Prepared())) {
            const fs::path target = Folder() / fs::relative(entry.path(), Prepared());
            if (entry.is_directory()) {
                fs::create_directories(target);
                continue;
            }
            std::error_code missing;
            if (fs::file_size(target, missing) == entry.file_size() && !missing
                && fs::last_write_time(target) == entry.last_write_time())
                continue;
            fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
            fs::last_write_time(target, entry.last_write_time());
        }
    }
    // A case that started the game leaves none running for the next.
    void EndGame()
    {
        if (CGameBase::SGetInstance())
            EndRun();
    }
    std::string Prepared() const { return Folder() + ".prepared"; }
    static void Empty(const std::string& folder)
    {
        std::filesystem::create_directories(folder);
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            std::filesystem::remove_all(entry.path());
    }
};

FilesSavedTogether* g_Scene = nullptr;

void FilesSavedTogether::SetUp()
{
    CScreensGameTest::SetUp();
    g_Scene = this;
}

void FilesSavedTogether::TearDown()
{
    g_Scene = nullptr;
    std::filesystem::remove_all(Prepared());
    CScreensGameTest::TearDown();
}

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

bool WinAStreetMeetingAGoal(std::string& message);

// A new player in the first street. The results and the map build their
// caches when first shown, which is no part of this save: a run of it now
// leaves them, its profiles put back as they were.
void PlayIntoAStreet(const std::string&)
{
    g_Scene->StartIntoTheLevel();
    const std::string profiles = ReadBytes("Stats.dat");
    if (const pid_t child = ::fork(); child == 0) {
        std::string message;
        std::_Exit(WinAStreetMeetingAGoal(message) ? 0 : 1);
    } else {
        int status = 0;
        ::waitpid(child, &status, 0);
    }
    WriteBytes("Stats.dat", profiles);
}

// The street finished at once (the finishing word: every family housed well
// inside its time goal), its results counted up and Continue to the map,
// which saves again.
bool WinAStreetMeetingAGoal(std::string& message)
{
    CStandardErrorCapture said;
    CompletePlayerInteraction();
    GetTypedCommandSwitches().levelFinishedByCommand = true;
    for (int i = 0; i < 600 && !GetEndOfLevelWindow(); ++i) {
        if (CNewTrophyEarnedMenu* card = GetNewTrophyEarnedMenu())
            g_Scene->ClickOn(card->GetDefaultButton());
        g_Scene->Passes(1);
    }
    g_Scene->Seconds(0.5f);
    if (CEndOfLevelWindow* results = GetEndOfLevelWindow())
        g_Scene->ClickOn(results->GetDefaultButton());
    g_Scene->Passes(2);
    message = said.Take();
    return message.find("could not be written") == std::string::npos;
}

// Each street's record holds its win and the goals it met, or neither.
void CheckWinAndGoalsAgree(const std::string&, bool saved)
{
    RegisterAllClasses();
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

const SavedTogetherCase kCases[] = {
    {"a street's win and its goals", &PlayIntoAStreet, &WinAStreetMeetingAGoal, &CheckWinAndGoalsAgree},
};

// --- the runs ---

// Counted in the child: the sync or rename at which it acts.
int g_PointsToGo = 0;
bool g_DiskFull = false;
// The child's end of the pipe it reports on.
int g_ReportFd = -1;

std::string ReadAll(int fd)
{
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, size_t(got));
    ::close(fd);
    return text;
}

void Report(const std::string& text)
{
    [[maybe_unused]] const ssize_t written = ::write(g_ReportFd, text.data(), text.size());
}

// Runs body in a child process; answers its exit status (-signal when
// killed) and in report what it wrote to g_ReportFd, read as it comes.
template <typename Body>
int InChild(Body body, std::string& report)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return 1001;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        g_ReportFd = ends[1];
        std::_Exit(body());
    }
    ::close(ends[1]);
    report = ReadAll(ends[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child)
        return 1000;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

void FillTheDisk()
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    g_DiskFull = true;
}

void KillAtTheCountedPoint(std::string_view)
{
    if (--g_PointsToGo == 0)
        ::raise(SIGKILL);
}

void FillTheDiskAtTheCountedPoint(std::string_view)
{
    if (--g_PointsToGo == 0)
        FillTheDisk();
}

// A free run names each file it syncs, its temporary's decoration taken off.
void ReportThePoint(std::string_view path)
{
    std::string name(path.substr(path.find_last_of('/') + 1));
    if (const size_t mark = name.rfind(".tmp"); name.starts_with(".") && mark != std::string::npos)
        name = name.substr(1, mark - 1);
    Report(name + '\n');
}

TEST_F(FilesSavedTogether, AfterAKillOrARefusedWriteAtAnyPointTheNextStartReadsThemAgreeing)
{
    for (const SavedTogetherCase& c : kCases) {
        SCOPED_TRACE(c.name);
        // Each run forks from the scene as prepared, the folder put back as
        // it was then.
        FreshData();
        c.prepare(Folder());
        KeepPrepared();

        // The names of the files a free save writes.
        std::string listed;
        InChild(
            [&] {
                plat::SetSyncObserver(&ReportThePoint);
                std::string message;
                return c.save(message) ? 0 : 1;
            },
            listed);
        std::set<std::string> written;
        for (size_t at = 0, end; (end = listed.find('\n', at)) != std::string::npos; at = end + 1)
            written.insert(listed.substr(at, end - at));
        ASSERT_FALSE(written.empty()) << "the save writes nothing";

        // Killed at each point in turn, until a save runs through.
        for (int point = 1;; ++point) {
            ASSERT_LT(point, 100) << "the save never ran through";
            PutPreparedBack();
            std::string unused;
            const int status = InChild(
                [&] {
                    g_PointsToGo = point;
                    plat::SetSyncObserver(&KillAtTheCountedPoint);
                    std::string message;
                    return c.save(message) ? 0 : 1;
                },
                unused);
            plat::FinishInterruptedReplacements();
            SCOPED_TRACE("killed at point " + std::to_string(point));
            c.checkAgree(Folder(), status == 0);
            if (status != -SIGKILL) {
                EXPECT_EQ(status, 0) << "the save alone fails";
                break;
            }
        }

        // The disk full from each point on, until it never fills.
        for (int point = 0;; ++point) {
            ASSERT_LT(point, 100);
            PutPreparedBack();
            std::string said;
            const int status = InChild(
                [&] {
                    if (point == 0)
                        FillTheDisk();
                    g_PointsToGo = point;
                    plat::SetSyncObserver(&FillTheDiskAtTheCountedPoint);
                    std::string message;
                    const bool answered = c.save(message);
                    Report((answered ? "1" : "0") + message);
                    return g_DiskFull ? 0 : 2;
                },
                said);
            ASSERT_FALSE(said.empty()) << "the child died at point " << point << ": " << status;
            const bool answered = said[0] == '1';
            plat::FinishInterruptedReplacements();
            SCOPED_TRACE("the disk full from point " + std::to_string(point));
            c.checkAgree(Folder(), answered);
            if (!answered) {
                bool named = false;
                for (const std::string& name : written)
                    named = named || said.find(name) != std::string::npos;
                EXPECT_TRUE(named) << "a refused save names no file it writes: " << said.substr(1);
            }
            if (status == 2)
                break;
        }
        EndGame();
    }
}

} // namespace
