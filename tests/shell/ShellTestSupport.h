#pragma once
// Equipment of the shell tests: a fresh program folder that is the working
// folder, the headless platform with a hand-driven clock, an instance lock of
// the test's own, and a game object that counts what the frame driver asks of it.

#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include "platform/CPlatformHeadless.h"
#include "shell/CGameBase.h"
#include "shell/StartGame.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CCountingGame : public CGameBase {
public:
    CCountingGame()
        : CGameBase(1.0f / 60.0f, 1.0f / 60.0f, 1.0f / 12.0f, nullptr, nullptr, nullptr)
    {
    }
    ~CCountingGame() override;

    void Update(float seconds) override
    {
        CGameBase::Update(seconds);
        updates.push_back(seconds);
    }
    bool Draw() override
    {
        ++draws;
        if (onDraw)
            onDraw();
        return CGameBase::Draw();
    }
    bool OnCommand(uint32_t keyCode) override
    {
        commands.push_back(keyCode);
        return true;
    }

    std::vector<float> updates;
    uint32_t draws = 0;
    // Runs in every draw (a draw that takes time moves the test's clock).
    std::function<void()> onDraw;
    std::vector<uint32_t> commands;
    // Written to the settings file by the destructor, as a game saves its state.
    bool saveOnExit = false;
};

class CShellTest : public CTempFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The program file of the launcher record: "ombrisalt" in the folder.
    std::string ProgramPath() const { return PathOf("ombrisalt"); }
    // Starts the program in the folder with a CCountingGame; false when it refused.
    bool Start(const char* commandLine = "ombrisalt");
    CCountingGame* Game() const { return static_cast<CCountingGame*>(m_GameObject.get()); }
    // Advances the clock, then runs a pass.
    bool Pass(uint32_t milliseconds);
    // The orderly end of a started program, the game object with it; the
    // next Start begins a new run. Answers the exit status.
    int32_t ShutDownStarted();
    void Push(plat::WindowEvent::Kind kind);

    plat::CPlatformHeadless m_Platform;
    CScopedPlatform m_Installed{&m_Platform};
    CScopedRunGame m_RunGame{RunCountingGame};
    CScopedIdleWait m_IdleWait{IdleWait::Spin};
    // The game mounts its archives over "Data".
    CScopedDataFolder m_DataFolder{"."};
    int32_t m_ExitCode = 0;
    bool m_Started = false;
    // What the start built, owned as the launcher owns it.
    std::unique_ptr<CGameBase> m_GameObject;

private:
    static std::unique_ptr<CGameBase> RunCountingGame();
};

// A child process of the program binary with extra environment; answers its id.
// Standard error goes to the file.
int SpawnProgram(const std::vector<std::string>& arguments, const std::map<std::string, std::string>& environment,
                 const std::vector<std::string>& unset, const std::string& errorFile);
// Waits for the child and answers its exit status (-1 when it did not end
// normally or did not end at all).
int WaitForExitStatus(int pid);
// Waits a minute at most until ready() holds while the child runs; false
// when it ended first or the minute went by.
bool WaitUntilReady(int pid, const std::function<bool()>& ready);

// Kills the child at the end of the scope unless it has already ended, so a
// failed check leaves no program running.
class CEndsWithTest {
public:
    explicit CEndsWithTest(int pid)
        : m_Pid(pid)
    {
    }
    ~CEndsWithTest();
    CEndsWithTest(const CEndsWithTest&) = delete;
    CEndsWithTest& operator=(const CEndsWithTest&) = delete;

private:
    int m_Pid;
};
