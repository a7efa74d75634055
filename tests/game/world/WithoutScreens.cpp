// The world's and the business's tests play the game without the screens
// and the editor above it, although the test main's registration installed
// them: a test that wants them installs its own for its scope.
#include "game/world/CGameApp.h"
#include "game/world/WorldHooks.h"

#include <gtest/gtest.h>

namespace {

class CWithoutScreens final : public testing::Environment {
public:
    void SetUp() override
    {
        SetGameScreensHooks(nullptr);
        SetGameEditorHooks(nullptr);
    }
};

const testing::Environment* const g_WithoutScreens = testing::AddGlobalTestEnvironment(new CWithoutScreens);

} // namespace
