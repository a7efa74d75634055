// Every upward hook a library declares (OMBRISALT_UPWARD_HOOK in its header)
// has a row here naming who installs it; after RegisterAllClasses() alone
// every hook a registration fills is in place, and after the program's
// start-up the game object's as well. A new hook without a row fails
// EveryMarkedHookHasARow; a row whose installer forgets it fails
// RegistrationAloneInstallsEveryRegisteredHookAndStartUpTheRest.
#include "ShellTestSupport.h"

#include "blit/CFrameInterface.h"
#include "foundation/CFile.h"
#include "foundation/CVirtualArray.h"
#include "foundation/ShellServices.h"
#include "game/business/CCustomerArrivals.h"
#include "game/scripting/CFrameSelector.h"
#include "game/scripting/ScriptingHooks.h"
#include "game/world/CGameApp.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSorter.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/WorldHooks.h"
#include "program/RegisterAllClasses.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CustomEditorHooks.h"
#include "objects/CClassInfo.h"
#include "objects/CObject.h"
#include "objects/CNewFileOptions.h"
#include "objects/CObjectModelHost.h"
#include "render/CFrameEffect.h"
#include "render/CPointPath.h"
#include "shell/CGameBase.h"
#include "shell/StartGame.h"
#include "ui/UiHooks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace {

enum class InstalledBy {
    Registration, // the library's Register…Classes(), through RegisterAllClasses()
    Launcher,     // the program's main, before StartGame (the game it runs)
    GameObject,   // the application object, when it is made
    Nobody,       // nothing installs it yet; the reason says why
};

struct HookRow {
    const char* setter;
    InstalledBy by;
    const char* installer; // or, for Nobody, why nothing does
    bool (*isInstalled)();
};

// Installed when the setter answers something other than the empty hook;
// what it answered is put back.
template <auto Setter>
bool HasHook()
{
    const auto previous = Setter({});
    Setter(previous);
    return previous != decltype(previous){};
}

bool HasPointPathLabelDrawer()
{
    const SPointPathLabelDrawer previous = SetPointPathLabelDrawer({});
    SetPointPathLabelDrawer(previous);
    return previous.draw != nullptr;
}

constexpr HookRow kHooks[] = {
    {"SetShellHooks", InstalledBy::Registration, "RegisterShellClasses", HasHook<SetShellHooks>},
    {"SetFileOpenHook", InstalledBy::Nobody, "nothing in the program listens to the files it opens",
     HasHook<SetFileOpenHook>},
    {"SetItemAddedBroadcaster", InstalledBy::Registration, "RegisterObjectClasses", HasHook<SetItemAddedBroadcaster>},
    {"SetModuleReleaser", InstalledBy::Nobody, "no module loader exists", HasHook<SetModuleReleaser>},
    {"SetObjectReadHook", InstalledBy::Nobody, "the game keeps its loading screen alive with it (game layer)",
     HasHook<SetObjectReadHook>},
    {"SetProbeSurfaceMaker", InstalledBy::Registration, "RegisterRenderClasses", HasHook<SetProbeSurfaceMaker>},
    {"SetFloatLineDrawer", InstalledBy::Registration, "RegisterRenderClasses", HasHook<SetFloatLineDrawer>},
    {"SetGlyphEffectApplier", InstalledBy::Registration, "RegisterRenderClasses", HasHook<SetGlyphEffectApplier>},
    {"SetFrameEffectTextureLookup", InstalledBy::Registration, "RegisterShellClasses",
     HasHook<SetFrameEffectTextureLookup>},
    {"SetPointPathLabelDrawer", InstalledBy::Nobody, "labels are drawn in the game's own font (game layer)",
     HasPointPathLabelDrawer},
    {"CObjectModelHost::SetInstance", InstalledBy::GameObject, "CGameBase's constructor",
     HasHook<CObjectModelHost::SetInstance>},
    {"SetRunGame", InstalledBy::Launcher, "program/Main.cpp", HasHook<SetRunGame>},
    {"SetScreenWindowFactory", InstalledBy::Registration, "RegisterUiClasses", HasHook<SetScreenWindowFactory>},
    {"SetUiHooks", InstalledBy::Registration, "RegisterEditorClasses (InstallLevelEditorHooks)", HasHook<SetUiHooks>},
    {"SetLevelEditorOpenQuery", InstalledBy::Registration, "RegisterEditorClasses (InstallLevelEditorHooks)",
     HasHook<SetLevelEditorOpenQuery>},
    {"SetScriptingHooks", InstalledBy::Registration, "RegisterGameWorldClasses", HasHook<SetScriptingHooks>},
    {"SetGameScreensHooks", InstalledBy::Registration, "RegisterGameScreensClasses (InstallGameScreensHooks)",
     HasHook<SetGameScreensHooks>},
    {"SetGameEditorHooks", InstalledBy::Registration, "RegisterEditorClasses (InstallLevelEditorHooks)",
     HasHook<SetGameEditorHooks>},
    {"SetSpawnLimitingQuery", InstalledBy::Registration, "RegisterEditorClasses", HasHook<SetSpawnLimitingQuery>},
    {"SetLotGridConnectionsQuery", InstalledBy::Registration, "RegisterEditorClasses",
     HasHook<SetLotGridConnectionsQuery>},
    {"SetLevelSorterHooks", InstalledBy::Registration,
     "RegisterEditorClasses (InstallObjectEditorHooks, then InstallLevelEditorHooks over it)",
     HasHook<SetLevelSorterHooks>},
    {"SetLevelUndoHistoryFactory", InstalledBy::Registration, "RegisterEditorClasses",
     HasHook<SetLevelUndoHistoryFactory>},
    {"SetNewFileDialogFactory", InstalledBy::Registration, "RegisterEditorClasses", HasHook<SetNewFileDialogFactory>},
    {"SetCustomEditorHooks", InstalledBy::Registration, "RegisterEditorClasses", HasHook<SetCustomEditorHooks>},
    {"SetObjectDestroyedListener", InstalledBy::Registration, "RegisterEditorClasses (InstallObjectEditorHooks)",
     HasHook<SetObjectDestroyedListener>},
};

// The setters named by OMBRISALT_UPWARD_HOOK(...) in the headers of every
// library folder (all but the build, test, benchmark, fuzz and tool ones).
std::set<std::string> MarkedHooks()
{
    namespace fs = std::filesystem;
    const std::set<std::string> notLibraries
        = {"build", "tests", "bench", "fuzz", "tools", "cmake", "data", "docs", "scripts"};
    const std::string marker = "OMBRISALT_UPWARD_HOOK(";
    std::set<std::string> names;
    for (const auto& top : fs::directory_iterator(OMBRISALT_SOURCE_DIR)) {
        const std::string name = top.path().filename().string();
        if (!top.is_directory() || name.starts_with(".") || notLibraries.count(name))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(top.path())) {
            if (!entry.is_regular_file() || entry.path().extension() != ".h")
                continue;
            std::ifstream in(entry.path());
            std::string line;
            while (std::getline(in, line)) {
                const size_t start = line.find_first_not_of(" \t");
                const size_t end = line.find(')');
                if (start != std::string::npos && line.compare(start, marker.size(), marker) == 0
                    && end != std::string::npos)
                    names.insert(line.substr(start + marker.size(), end - start - marker.size()));
            }
        }
    }
    return names;
}

TEST(UpwardHooks, EveryMarkedHookHasARow)
{
    const std::set<std::string> marked = MarkedHooks();
    ASSERT_FALSE(marked.empty());
    for (const std::string& name : marked) {
        const bool listed
            = std::any_of(std::begin(kHooks), std::end(kHooks), [&](const HookRow& row) { return name == row.setter; });
        EXPECT_TRUE(listed) << name << " is an upward hook without a row saying who installs it";
    }
    for (const HookRow& row : kHooks)
        EXPECT_EQ(marked.count(row.setter), 1u) << row.setter << " has a row but no OMBRISALT_UPWARD_HOOK marker";
}

class StartUpHooks : public CShellTest {};

// Registration alone, as a program or test that calls RegisterAllClasses()
// and nothing more, has every hook a library's registration fills; the
// start-up then adds the game object's own.
TEST_F(StartUpHooks, RegistrationAloneInstallsEveryRegisteredHookAndStartUpTheRest)
{
    RegisterAllClasses();
    for (const HookRow& row : kHooks) {
        if (row.by == InstalledBy::Registration) {
            EXPECT_TRUE(row.isInstalled()) << row.setter << " is left empty; " << row.installer << " installs it";
        }
    }
    ASSERT_TRUE(Start());
    for (const HookRow& row : kHooks) {
        switch (row.by) {
        case InstalledBy::Registration:
        case InstalledBy::GameObject:
            EXPECT_TRUE(row.isInstalled()) << row.setter << " is left empty; " << row.installer << " installs it";
            break;
        case InstalledBy::Nobody:
            EXPECT_FALSE(row.isInstalled()) << row.setter << " is installed now: name its installer in the table";
            break;
        case InstalledBy::Launcher:
            break; // the test stands in for the launcher with its own game
        }
    }
}

} // namespace
