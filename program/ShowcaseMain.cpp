// The showcase launcher: the program's start-up and main loop around the
// shell's stand-in game, with what each layer above the shell shows in it.
// The shell's own tests start it, so that they need no game data.
//
//   ombrisalt-showcase [/DataFolder <folder>] [/Passes <n>]

#include "editor/program/ImageBrowserShowcase.h"
#include "game/scripting/program/ScriptingShowcase.h"
#include "game/world/program/WorldShowcase.h"
#include "overlays/program/OverlayShowcase.h"
#include "program/Launcher.h"
#include "sequences/program/SequenceShowcase.h"
#include "shell/program/CStandInGame.h"
#include "ui/program/ControlShowcase.h"
#include "ui/program/EditShowcase.h"
#include "ui/program/FrameShowcase.h"
#include "ui/program/ListShowcase.h"
#include "ui/program/MenuShowcase.h"
#include "ui/program/TabShowcase.h"
#include "ui/program/UiShowcase.h"

namespace {

void InstallShowcases()
{
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
    InstallImageBrowserShowcase();
}

} // namespace

int main(int argc, char** argv)
{
    return RunLauncher(argc, argv, RunStandInGame, InstallShowcases);
}
