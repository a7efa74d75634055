// Reads level files (a level set, or one level) from memory, with and
// without identities, over a data set made in a temporary folder at start
// with the names the demo data uses: build phases, periods with customers,
// background style sheets, upgrades, customer styles and the sequences the
// demo town's sprites show. Fatal reports end the input. A level read is
// played as a level start plays it: its orders generated with a seeded
// generator and popped, its customer pool drawn, its customers in line asked
// over the time played, a copy held and released; a set is also reordered
// and its tutorial marks asked. Each object's text must read back alike.
#include "foundation/CArrayPOD.h"
#include "foundation/CRandomGenerator.h"
#include "foundation/FatalError.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CUpgrade.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "images/CFrame.h"
#include "program/RegisterAllClasses.h"
#include "sequences/CSequenceList.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include "FuzzDataFolder.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

// Orders for more customers than this are not generated here: a level
// start would make them all, which measures memory rather than the reader.
constexpr uint32_t kMaxCustomersPlayed = 5000;

void MakeDataSet(const fs::path& root)
{
    const fs::path resources = root / "Resources";
    Write(resources / "Frame.BuildPhase.txt", Object("CBuildPhase", "Option Index=Required\r\n"));
    Write(resources / "Garage.BuildPhase.txt", Object("CBuildPhase"));
    Write(resources / "Add On.BuildPhase.txt", Object("CBuildPhase"));
    for (const char* name : {"!None", "Customer A", "Customer B"})
        Write(resources / "Customers" / (std::string(name) + ".Customer.txt"), Object("CCustomerStyleSheet"));
    for (const char* name : {"!None", "Cabin", "Chalet"})
        Write(resources / (std::string(name) + ".Upgrade.txt"), Object("CUpgrade"));
    Write(resources / "Period 1.Period.txt",
          Object("CPeriod",
                 "Customers List=Array\r\n{\r\nItem Count=2\r\nCustomer=Customer A\r\n"
                 "Customer=Customer B\r\n}\r\n"));
    Write(resources / "Period 2.Period.txt", Object("CPeriod"));
    for (const char* name : {"Town", "Harbour"})
        Write(resources / (std::string(name) + ".Background.txt"), Object("CBackgroundStyleSheet"));
    for (const char* name : {"Aaa None", "House", "Swallow", "Tree"})
        Write(resources / "Sequences" / ("-" + std::string(name)) / "0001.tga", SmallTga());

    GetSequenceList().SetSource(nullptr, (resources / "Sequences").string().c_str(), 0);
    for (CObjectFileArray* list :
         {static_cast<CObjectFileArray*>(&GetBuildPhaseList()),
          static_cast<CObjectFileArray*>(&GetCustomerStyleSheetList()),
          static_cast<CObjectFileArray*>(&GetUpgradeList()), static_cast<CObjectFileArray*>(&GetPeriodList()),
          static_cast<CObjectFileArray*>(&GetBackgroundStyleSheetList())})
        list->SetSource(nullptr, resources.string().c_str(), 0);
}

void PlayLevel(CLevelOptions& level)
{
    CRandomGenerator random;
    random.Seed(17);
    for (float seconds : {0.0f, 59.0f, 61.0f, 1.0e9f}) {
        level.m_SecondsPlayed = seconds;
        level.GetMaxCustomersInLine();
    }
    if (level.m_Customers <= kMaxCustomersPlayed) {
        level.GenerateFutureOrders(random);
        for (int i = 0; i < 3; ++i)
            delete level.PopFutureOrder();
        level.FindOrderContainingPart(1);
        CArrayPOD<int32_t> before, after;
        before.Append(1);
        after.Append(2);
        level.ApplyPartChanges(before, after);
    }
    for (int i = 0; i < 3; ++i)
        level.NextRandomCustomerStyle(random);
    level.CountEmptyLots();
    level.GetRevenueGoalTarget();
    level.EnsureDefaultLayers();
    GetLevelHolder().HoldCopyOf(&level);
    GetLevelHolder().Release();
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
        folder.path = fs::temp_directory_path() / ("ombrisalt_level_text_" + std::to_string(random()));
        MakeDataSet(folder.path);
        return true;
    }();
    (void)ready;
    if (size > (1u << 20))
        return 0;
    CheckTextReadsBackAlike(data, size, [](CObject& object) {
        if (auto* level = dynamic_cast<CLevelOptions*>(&object)) {
            PlayLevel(*level);
        } else if (auto* set = dynamic_cast<CLevelSet*>(&object)) {
            set->GetFirstTutorialLevelIndex();
            set->GetLastTutorialLevelIndex();
            for (uint32_t i = 0; i < set->GetCount() && i < 8; ++i)
                if (CLevelOptions* entry = set->GetLevel(i))
                    PlayLevel(*entry);
            set->SwapLevels(0, set->GetCount() - 1);
            set->InsertLevel(1, nullptr);
            set->RemoveLevel(0);
            set->GetFirstTutorialLevelIndex();
        }
    });
    return 0;
}
