#pragma once
// The real game program over a fresh copy of the demo data (its frames,
// sounds and pictures made by the generators once per build), with the headless platform
// and a hand-driven clock. Tear-down puts back what a game run leaves in
// the process: the shutting-down mark, the loaded lists, the mouse.
#include "../../shell/ShellTestSupport.h"

#include "game/business/CBuildPhase.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "game/world/CTutorial.h"
#include "sequences/HueRemap.h"
#include "shell/CMouseState.h"
#include "ui/CJListBox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

class CDemoGameTest : public CShellTest {
protected:
    void SetUp() override
    {
        CShellTest::SetUp();
        // The build makes the demo data once (tools/make_demo_data.py); each test plays on its own copy.
        std::filesystem::copy(OMBRISALT_DEMO_DATA "/Data", PathOf("Data"), std::filesystem::copy_options::recursive);
        // Other tests of this process point the data lists elsewhere.
        for (CObjectFileArray* list : DataLists())
            list->SetSource(nullptr, "Resources", 0);
    }
    void TearDown() override
    {
        SetCurrentPlayfield(nullptr);
        GetLevelHolder().Release();
        SetCurrentLevelIndex(0);
        CShellTest::TearDown();
        CMouseState::SGetInstance().ResetForTesting();
        CGameBase::SSetShuttingDown(false);
        // The list boxes' icons are frames of the run's picture list, gone with it.
        CJListBox::ResetIconFrames();
        // The demo's starting state holds upgrades; later tests start with none.
        CGameState fresh;
        fresh.ResetToDefaults();
        CGameState::SGetCurrent()->CopyFromAndReset(&fresh);
        GetGeneralObjects().RemoveAll();
        GetGeneralObjects().SetSource(nullptr, "Nowhere", 0);
        for (CObjectFileArray* list : DataLists()) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
    }
    static std::vector<CObjectFileArray*> DataLists()
    {
        return {&GetBuildPhaseList(), &GetPeriodList(),      &GetBackgroundStyleSheetList(),
                &GetUpgradeList(),    &GetUpgradeSlotList(), &GetCustomerStyleSheetList(),
                &GetTutorialList(),   &GetGameStateList(),   &GetHueRemapperStyleSheetList()};
    }
    // Queues a move to the point, a left press and a release.
    void PushClick(int32_t x, int32_t y)
    {
        plat::WindowEvent event;
        event.kind = plat::WindowEvent::Kind::MouseMove;
        event.x = x;
        event.y = y;
        event.button = 1;
        m_Platform.GetHeadlessWindow().PushEvent(event);
        event.kind = plat::WindowEvent::Kind::MouseButton;
        for (bool down : {true, false}) {
            event.down = down;
            m_Platform.GetHeadlessWindow().PushEvent(event);
        }
    }
    static CGameApp* App() { return CGameApp::SGetInstance(); }
    // The game started, then in the tutorial's first street "Town", the
    // street that shows every kind of sprite the demo has.
    bool StartInTown()
    {
        if (!Start())
            return false;
        CLevelSet* levels = GetLevels();
        if (!levels || levels->GetFirstTutorialLevelIndex() == CLevelSet::kNoTutorialLevel)
            return false;
        App()->StartLevelByIndex(levels->GetFirstTutorialLevelIndex());
        return true;
    }

    CScopedRunGame m_Game{RunGame};
};
