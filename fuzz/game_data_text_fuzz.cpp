// Reads the game's data objects (rules, periods, background style sheets,
// upgrades, illegal-move options) from memory, with and without identities,
// over a small data set made in a temporary folder at start: every overlay
// set, upgrade slot, tutorial and game state the rules name by default, a
// level-select marker, sequences, frames and audio to refer to. Fatal
// reports end the input. A period read deals its end-of-level texts and
// looks for its level-select marker; rules pick a gameplay overlay; upgrades
// fall back on their looks and texts; illegal-move options look messages up.
// Each object's text must read back alike.
//
// OMBRISALT_FUZZ_WRITE_SEEDS=<folder> writes the seed texts there on the
// first input.
#include "foundation/FatalError.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CAudio.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CPeriod.h"
#include "game/world/CRules.h"
#include "game/world/CTutorial.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "overlays/CFrameOverlay.h"
#include "program/RegisterAllClasses.h"
#include "sequences/CSequenceList.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include "FuzzDataFolder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

void MakeDataSet(const fs::path& root)
{
    const fs::path resources = root / "Resources";
    for (const char* name :
         {"Main Menu Overlay", "Gameplay Overlay", "Gameplay Overlay Menu Button", "Shopping Overlay",
          "Shopping New Upgrade Overlay", "Shopping Old Upgrade Overlay", "Shopping Unaffordable Upgrade Overlay",
          "End Of Level Overlay", "End Of Level Hidden Overlay", "End Of Tutorial Level Overlay",
          "Options Menu Overlay", "Options Menu From Pause Overlay", "Level Introduction Menu Overlay",
          "RewardFlierOverlay", "Garage Overlay"})
        Write(resources / "Frame Overlay Options" / (std::string(name) + ".FOO"), Object("CFrameOverlayOptions"));
    Write(resources / "Frame Overlay Options" / "Level Select Overlay.FOO",
          Object("CFrameOverlayOptions", "Text Overlays=Array\r\n{\r\nArray Item=CFrameOverlayPositionMarker\r\n{\r\n"
                                         "ID=1950s\r\n}\r\nArray Item=CFrameOverlayTextOverlay\r\n{\r\nID=1960s\r\n}"
                                         "\r\n}\r\n"));
    for (const char* name : {"!None", "Add-On A", "Garage A"})
        Write(resources / (std::string(name) + ".UpgradeSlot.txt"), Object("CUpgradeSlot"));
    for (const char* name : {"!None", "Shopping Tutorial"})
        Write(resources / (std::string(name) + ".Tutorial.txt"), Object("CTutorial"));
    Write(resources / "Initial.GameState.txt", Object("CGameState"));
    Write(resources / "!None.Upgrade.txt", Object("CUpgrade"));
    Write(resources / "Rules.Object.txt", Object("CRules"));
    for (const char* name : {"Bell", "Fanfare"})
        Write(resources / "Audio" / (std::string(name) + ".Audio.txt"), Object("CAudio"));
    for (const char* name : {"Aaa None", "Cottage", "Hud"})
        Write(resources / "Sequences" / ("-" + std::string(name)) / "0001.tga", SmallTga());
    for (const char* name : {"Aaa None", "Beach"})
        Write(resources / "Frames" / (std::string(name) + ".tga"), SmallTga());

    // Absolute folders: the working folder stays the caller's.
    auto at = [&](const char* folder) { return (resources / folder).string(); };
    GetSequenceList().SetSource(nullptr, at("Sequences").c_str(), 0);
    GetFrameLibrary().SetSource(nullptr, at("Frames").c_str(), 0);
    GetFrameOverlayOptionsList().SetSource(nullptr, at("Frame Overlay Options").c_str(), 0);
    GetAudioList().SetSource(at("Audio").c_str(), nullptr);
    for (CObjectFileArray* list :
         {static_cast<CObjectFileArray*>(&GetPeriodList()), static_cast<CObjectFileArray*>(&GetUpgradeSlotList()),
          static_cast<CObjectFileArray*>(&GetTutorialList()), static_cast<CObjectFileArray*>(&GetGameStateList()),
          static_cast<CObjectFileArray*>(&GetUpgradeList()),
          static_cast<CObjectFileArray*>(&GetBackgroundStyleSheetList()),
          static_cast<CObjectFileArray*>(&GetGeneralObjects())})
        list->SetSource(nullptr, resources.string().c_str(), 0);
}

void WriteSeeds(const char* folder)
{
    auto save = [&](const char* name, const std::string& text) { Write(fs::path(folder) / name, text); };
    CRules rules;
    save("rules_defaults", ObjectToText(&rules, IdMode::WithoutIds));
    save("rules", Object("CRules", "Gameplay Overlay 2=Garage Overlay\r\nSpendable Profit=0.25\r\n"
                                   "Movein Bonus By Hearts List=Array\r\n{\r\nMovein Bonus By Hearts=0.5\r\n}\r\n"
                                   "Goal Achieved Audio=Fanfare\r\n"
                                   "Signpost=CSpritePlugInSimultaneous\r\n{\r\n}\r\n"
                                   "Position Marker To Clone=CFrameOverlayPositionMarker\r\n{\r\nID=Town\r\n}\r\n"
                                   "Level Selected Frame Index=Beach\r\nLevel Selected Frame Offset=3,4\r\n"));
    save("period", Object("CPeriod", "Period Year=1950s\r\nHud Background=Hud\r\nExpert Goal Achieved Audio=Bell\r\n"
                                     "Level Failed Strings=Array\r\n{\r\nFailed String=Oh\r\nFailed String=No\r\n}\r\n"
                                     "Level Success Basic Strings=Array\r\n{\r\nItem Count=3\r\nBasic String=Yes\r\n}\r\n"));
    save("period_with_ids", Object("CPeriod", "Object ID=0x00000001\r\nPeriod Year=1960s\r\n"));
    save("background", Object("CBackgroundStyleSheet",
                              "Background Image=Beach\r\nVacant Images List=Array\r\n{\r\nVacant Images=Cottage\r\n"
                              "Vacant Images=Hud\r\n}\r\n"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CDataFolder folder;
    static const bool ready = [] {
        SetFatalTerminator(ThrowingFatalTerminator);
        RegisterAllClasses();
        CFrame::SetGlobalBitDepth(32);
        std::random_device random;
        folder.path = fs::temp_directory_path() / ("ombrisalt_game_data_" + std::to_string(random()));
        MakeDataSet(folder.path);
        if (const char* seeds = std::getenv("OMBRISALT_FUZZ_WRITE_SEEDS"))
            WriteSeeds(seeds);
        return true;
    }();
    (void)ready;
    if (size > (1u << 20))
        return 0;
    CheckTextReadsBackAlike(data, size, [](CObject& object) {
        if (auto* period = dynamic_cast<CPeriod*>(&object)) {
            for (int i = 0; i < 4; ++i) {
                period->GetNextLevelFailedString();
                period->GetNextLevelSuccessBasicString();
                period->GetNextLevelSuccessExpertString();
            }
            period->FindLevelSelectElement();
        } else if (auto* rules = dynamic_cast<CRules*>(&object)) {
            rules->GetGameplayOverlay();
        } else if (auto* messages = dynamic_cast<CIllegalMoveMessageOptions*>(&object)) {
            messages->FindMessage("cantmoveinwrongpart");
            messages->FindMessage("");
        } else if (auto* upgrade = dynamic_cast<CUpgrade*>(&object)) {
            upgrade->GetCloseUp();
            upgrade->GetOwnedDescription();
            upgrade->AreRequirementsMet();
        }
    });
    return 0;
}
