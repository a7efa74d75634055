#include "program/Launcher.h"

#include "foundation/TextEncoding.h"
#include "program/RegisterAllClasses.h"
#include "shell/CGameBase.h"

#include <string>
#include <string_view>
#include <utility>

namespace {

std::string JoinCommandLine(int argc, char** argv)
{
    std::string line;
    for (int i = 0; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (!line.empty())
            line += ' ';
        const bool quoted = argument.find_first_of(" \t") != std::string_view::npos;
        if (quoted)
            line += '"';
        line.append(argument);
        if (quoted)
            line += '"';
    }
    return line;
}

} // namespace

int RunLauncher(int argc, char** argv, RunGameFunction runGame, void (*installShowcases)())
{
    std::string programPath;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string_view(argv[i]) == "/DataFolder")
            programPath = std::string(argv[i + 1]) + "/ombrisalt";
    const std::string gameName = "Ombrisalt";
    SLauncherRecord record;
    record.gameName = gameName.c_str();
    record.programPath = programPath.empty() ? nullptr : programPath.c_str();
    RegisterAllClasses();
    if (installShowcases)
        installShowcases();
    SetRunGame(runGame);
    SetIdleWait(IdleWait::Sleep);
    std::unique_ptr<CGameBase> game;
    int32_t exitCode = 0;
    if (!StartUp(record, Utf8ToWindows1252(JoinCommandLine(argc, argv)).c_str(), exitCode, game))
        return exitCode;
    RunMainLoop(game.get());
    return ShutDown(std::move(game));
}
