// The showcase launcher: the program's start-up and main loop around the
// shell's stand-in game, with what each layer above the shell shows in it.
// The shell's own tests start it, so that they need no game data.
//
//   ombrisalt-showcase [/DataFolder <folder>] [/Passes <n>]
//
// "/DataFolder" makes the folder the program folder (its working folder,
// settings and archives); without it the program's own folder is. "/Passes"
// ends the program in order after n passes of the main loop.

#include "foundation/TextEncoding.h"
#include "game/scripting/program/ScriptingShowcase.h"
#include "game/world/program/WorldShowcase.h"
#include "overlays/program/OverlayShowcase.h"
#include "program/RegisterAllClasses.h"
#include "sequences/program/SequenceShowcase.h"
#include "shell/StartGame.h"
#include "shell/program/CStandInGame.h"
#include "ui/program/ControlShowcase.h"
#include "ui/program/EditShowcase.h"
#include "ui/program/FrameShowcase.h"
#include "ui/program/ListShowcase.h"
#include "ui/program/MenuShowcase.h"
#include "ui/program/TabShowcase.h"
#include "ui/program/UiShowcase.h"

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
    InstallSequenceShowcase();
    InstallScriptingShowcase();
    InstallUiShowcase();
    InstallFrameShowcase();
    InstallEditShowcase();
    InstallControlShowcase();
    InstallMenuShowcase();
    InstallTabShowcase();
    InstallListShowcase();
    InstallOverlayShowcase();
    InstallWorldShowcase();
    SetRunGame(RunStandInGame);
    SetIdleWait(IdleWait::Sleep);
    return StartGame(record, Utf8ToWindows1252(JoinCommandLine(argc, argv)).c_str());
}
