#include "platform/CPlatform.h"

#include "platform/CPlatformHeadless.h"
#include "platform/MessageBox.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

namespace {

// Sets environment variables for one test and puts them back afterwards.
class CEnvironment {
public:
    ~CEnvironment()
    {
        for (const auto& [name, value] : m_Saved) {
            if (value.first)
                ::setenv(name.c_str(), value.second.c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    void Set(const char* name, const char* value)
    {
        if (m_Saved.find(name) == m_Saved.end()) {
            const char* old = std::getenv(name);
            m_Saved[name] = {old != nullptr, old ? old : ""};
        }
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }

private:
    std::map<std::string, std::pair<bool, std::string>> m_Saved;
};

TEST(Platform, HeadlessUnlessADisplayIsThereAndNothingAsksOtherwise)
{
    CEnvironment env;
    env.Set("OMBRISALT_HEADLESS", nullptr);
    env.Set("CI", nullptr);
    env.Set("WAYLAND_DISPLAY", nullptr);
    env.Set("DISPLAY", nullptr);
    EXPECT_EQ(plat::ChoosePlatformKind(), plat::PlatformKind::Headless);
    env.Set("DISPLAY", ":0");
    EXPECT_EQ(plat::ChoosePlatformKind(), plat::PlatformKind::SDL);
    env.Set("OMBRISALT_HEADLESS", "0");
    EXPECT_EQ(plat::ChoosePlatformKind(), plat::PlatformKind::SDL);
    env.Set("OMBRISALT_HEADLESS", "1");
    EXPECT_EQ(plat::ChoosePlatformKind(), plat::PlatformKind::Headless);
    env.Set("OMBRISALT_HEADLESS", nullptr);
    env.Set("CI", "true");
    EXPECT_EQ(plat::ChoosePlatformKind(), plat::PlatformKind::Headless);
}

TEST(Platform, HeadlessMessageBoxWritesToStandardErrorAndReturns)
{
    plat::CPlatformHeadless headless;
    plat::CPlatform* const previous = &plat::GetPlatform();
    std::string written;
    {
        const CScopedPlatform installed(&headless);
        testing::internal::CaptureStderr();
        plat::ShowMessageBox("Illegal file name", "\"x\" is too long");
        written = testing::internal::GetCapturedStderr();
    }

    EXPECT_EQ(written, "Illegal file name\n\"x\" is too long\n");
    ASSERT_EQ(headless.GetMessageBoxes().size(), 1u);
    EXPECT_EQ(headless.GetMessageBoxes()[0].caption, "Illegal file name");
    EXPECT_EQ(&plat::GetPlatform(), previous);
}

// Exit-time destructors may still report (a fatal data error found while
// closing): the platform must outlive them, whenever it was first asked for.
struct CBoxAtExit {
    ~CBoxAtExit() { plat::ShowMessageBox("Closing", "reported at exit"); }
};

TEST(PlatformDeathTest, MessageBoxFromAnExitTimeDestructorIsShown)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // a fresh process: the box object comes first
    EXPECT_EXIT(
        {
            static CBoxAtExit box;
            plat::GetPlatform();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "reported at exit");
}

} // namespace
