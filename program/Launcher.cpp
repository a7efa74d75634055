#include "program/Launcher.h"

#include "foundation/TextEncoding.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "program/RegisterAllClasses.h"
#include "shell/CGameBase.h"

#include <cerrno>
#include <cstring>
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

// The folder after "/DataFolder" (its bytes as given, empty when the value
// is missing); false when the argument is not given.
bool FindDataFolder(int argc, char** argv, std::string& folder)
{
    bool given = false;
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "/DataFolder") {
            given = true;
            folder = i + 1 < argc ? argv[i + 1] : "";
        }
    return given;
}

} // namespace

int RunLauncher(int argc, char** argv, RunGameFunction runGame, void (*installShowcases)())
{
    std::string programPath;
    std::string dataFolder;
    if (FindDataFolder(argc, argv, dataFolder)) {
        // Checked before anything is made: the working folder in its place
        // would get the settings file and the lock. Entered as the start
        // enters it, and left again: relative names stay relative to where
        // the program was started.
        const std::string startedIn = plat::GetCurrentFolder();
        errno = 0;
        const bool entered = plat::SetCurrentFolderAsGiven(dataFolder);
        const int enterError = errno;
        if (entered)
            plat::SetCurrentFolderAsGiven(startedIn);
        if (!entered && (enterError == EACCES || enterError == EPERM)) {
            plat::ShowMessageBox("Error", "The program folder \"" + dataFolder + "\" cannot be entered by this account ("
                                              + std::strerror(enterError)
                                              + "; given after /DataFolder).\n\nNothing was written. Start the "
                                                "program with a folder this account may enter, or without "
                                                "/DataFolder for its own folder.");
            return kRefusedExitCode;
        }
        if (!entered || !plat::IsFolder(dataFolder)) {
            plat::ShowMessageBox("Error", "The program folder \"" + dataFolder
                                              + "\" is not there or is not a folder (given after /DataFolder).\n\n"
                                                "Nothing was written. Start the program with the folder that holds "
                                                "its data, or without /DataFolder for its own folder.");
            return kRefusedExitCode;
        }
        programPath = dataFolder + "/ombrisalt";
    }
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
