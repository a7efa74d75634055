// The launcher: hands the program its name, its data folder and its command
// line, and runs the game.
//
//   ombrisalt [/DataFolder <folder>] [/Passes <n>]
//
// "/DataFolder" makes the folder the program folder (its working folder,
// settings and archives); without it the program's own folder is. "/Passes"
// ends the program in order after n passes of the main loop.

#include "foundation/TextEncoding.h"
#include "game/world/CGameApp.h"
#include "program/RegisterAllClasses.h"
#include "shell/StartGame.h"

#include <string>
#include <string_view>

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

int main(int argc, char** argv)
{
    std::string programPath;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string_view(argv[i]) == "/DataFolder")
            programPath = std::string(argv[i + 1]) + "/ombrisalt";
    const std::string gameName = "Ombrisalt";
    const std::string path = Utf8ToWindows1252(programPath);
    SLauncherRecord record;
    record.gameName = gameName.c_str();
    record.programPath = programPath.empty() ? nullptr : path.c_str();
    RegisterAllClasses();
    SetRunGame(RunGame);
    SetIdleWait(IdleWait::Sleep);
    return StartGame(record, Utf8ToWindows1252(JoinCommandLine(argc, argv)).c_str());
}
