#pragma once
// One run of the game program over a copy of the demo data, started for a
// benchmark and shut down after it. The game moves the working folder to
// its program and the data folder to "Data/" and leaves both so (a real
// process ends there); they are put back here, so the benchmarks after this
// one find the folders they set up.
#include "foundation/FilePaths.h"
#include "game/world/CGameApp.h"
#include "program/RegisterAllClasses.h"
#include "shell/StartGame.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

namespace bench {

class CGameRun {
public:
    // The folder holds "Data"; install, when given, fills the layers' hooks
    // as the launcher does.
    explicit CGameRun(const std::filesystem::path& folder, void (*install)() = nullptr)
        : m_WorkingFolder(std::filesystem::current_path())
        , m_DataFolder(GetBaseFolder(0))
        , m_Path((folder / "ombrisalt").string())
    {
        ::setenv("OMBRISALT_HEADLESS", "1", 1);
        RegisterAllClasses();
        if (install)
            install();
        SetRunGame(RunGame);
        SetIdleWait(IdleWait::Spin);
        SLauncherRecord record;
        record.gameName = "Ombrisalt";
        record.programPath = m_Path.c_str();
        const auto start = std::chrono::steady_clock::now();
        int32_t exitCode = 0;
        if (!StartUp(record, "ombrisalt", exitCode, m_Game))
            std::abort();
        RunOnePass(m_Game.get());
        m_StartSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    ~CGameRun()
    {
        ShutDown(std::move(m_Game));
        SetDataFolder(m_DataFolder.GetString());
        std::filesystem::current_path(m_WorkingFolder);
    }
    CGameRun(const CGameRun&) = delete;
    CGameRun& operator=(const CGameRun&) = delete;

    // Start-up to the first drawn pass.
    double m_StartSeconds = 0.0;

private:
    std::unique_ptr<CGameBase> m_Game;
    std::filesystem::path m_WorkingFolder;
    CJString m_DataFolder;
    std::string m_Path;
};

} // namespace bench
