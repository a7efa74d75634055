#pragma once
// The demo game with the business layer installed as the launcher installs
// it. The guards put back every hook the installer replaces, so later tests
// of the process start from the plain game.
#include "../world/DemoGameTest.h"

#include "game/business/BusinessHooks.h"
#include "game/world/CCurrentLevel.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGoal.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CThreeInARowCounter.h"
#include "game/world/CTypedCommands.h"
#include "game/world/LotHooks.h"
#include "support/ScopedHooks.h"

class CDemoBusinessGameTest : public CDemoGameTest {
protected:
    void SetUp() override
    {
        CDemoGameTest::SetUp();
        InstallGameBusinessHooks();
    }

    CScopedHook<SetLotHooks> m_LotGuard{nullptr};
    CScopedHook<SetHudHooks> m_HudGuard{nullptr};
    CScopedHook<SetCurrentLevelHooks> m_LevelGuard{nullptr};
    CScopedHook<SetGameAppHooks> m_AppGuard{nullptr};
    CScopedHook<SetTypedCommandHooks> m_TypedGuard{nullptr};
    CScopedHook<SetGameSongHooks> m_SongsGuard{nullptr};
    CScopedHook<SetThreeInARowCounterHooks> m_CounterGuard{nullptr};
    CScopedHook<SetCustomerServices> m_CustomersGuard{nullptr};
    CScopedHook<SetLevelOptionsHooks> m_LevelOptionsGuard{nullptr};
    CScopedHook<SetGoalHooks> m_GoalGuard{nullptr};
};
