#include "foundation/FatalError.h"

#include "foundation/ShellServices.h"
#include "platform/CPlatform.h"
#include "platform/WindowHeadless.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records the cursor calls and boxes in the order they happen.
class CRecordingShell : public CShellHooks, public plat::CPlatform {
public:
    void ShowArrowCursor() override { calls.push_back("arrow"); }
    void ClearCursor() override { calls.push_back("clear"); }
    void BringDesktopToFront() override { calls.push_back("desktop"); }
    void ShowMessageBox(std::string_view caption, std::string_view text) override
    {
        calls.push_back("box " + std::string(caption) + ": " + std::string(text));
    }
    plat::CWindowDevice& GetWindow() override { return window; }
    std::vector<std::string> calls;
    plat::CWindowHeadless window;
};

class MessageBoxes : public ::testing::Test {
protected:
    CRecordingShell m_Shell;

private:
    CScopedShellHooks m_Hooks{&m_Shell};
    CScopedPlatform m_Platform{&m_Shell};
};

TEST_F(MessageBoxes, ShowTheArrowCursorFirst)
{
    EXPECT_EQ(ShowMessage("Notice", "Caf\xE9 closed"), kMessageBoxOk);
    ShowDataCrashExplanation("Bad", "Data");
    EXPECT_EQ(m_Shell.calls,
              (std::vector<std::string>{"arrow", "box Notice: Caf\xC3\xA9 closed", "arrow", "desktop", "box Bad: Data",
                                        "clear"}));
}

TEST(FatalError, EndsTheProcessWithTheMessageAndStatus255)
{
    EXPECT_EXIT(FatalDataError("FATAL ERROR IN ZIP", "Couldn't read \"Data/Levels.zip\"."),
                ::testing::ExitedWithCode(255), "^FATAL ERROR IN ZIP\nCouldn't read \"Data/Levels.zip\".\n$");
    EXPECT_EXIT(FatalDataError("Gr\xF6\xDF"
                               "e",
                               nullptr),
                ::testing::ExitedWithCode(255),
                "^Gr\xC3\xB6\xC3\x9F"
                "e\n\n$");
}

TEST(ShellServices, CloseRequestIsTakenOnce)
{
    EXPECT_FALSE(TakeCloseRequest());
    RequestClose();
    RequestClose();
    EXPECT_TRUE(TakeCloseRequest());
    EXPECT_FALSE(TakeCloseRequest());
}

} // namespace
