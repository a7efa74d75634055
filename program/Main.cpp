// The program: the launcher around the game.
//
//   ombrisalt [/DataFolder <folder>] [/Passes <n>]

#include "game/world/CGameApp.h"
#include "program/Launcher.h"

int main(int argc, char** argv)
{
    return RunLauncher(argc, argv, RunGame, nullptr);
}
