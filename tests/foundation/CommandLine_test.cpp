#include "foundation/CommandLine.h"

#include "foundation/ShellServices.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

class CommandLine : public ::testing::Test {
protected:
    void TearDown() override { StoreCommandLine(nullptr); }
};

TEST_F(CommandLine, SwitchesEndAtWhiteSpaceOrTheEnd)
{
    EXPECT_FALSE(HasCommandLineSwitch("/NoJPEG")) << "nothing stored yet";
    StoreCommandLine("/NoJPEGs /NoCompression\t-x");
    EXPECT_FALSE(HasCommandLineSwitch("/NoJPEG"));
    EXPECT_TRUE(HasCommandLineSwitch("/nocompression"));
    EXPECT_TRUE(HasCommandLineSwitch("-x"));
    EXPECT_FALSE(HasCommandLineSwitch(""));
    StoreCommandLine("-window /nojpeg");
    EXPECT_TRUE(HasCommandLineSwitch("/NoJPEG"));
    StoreCommandLine("/NoJPEGs /NoJPEG /Level 3");
    EXPECT_TRUE(HasCommandLineSwitch("/NoJPEG")) << "a later occurrence counts";
}

TEST_F(CommandLine, ValuesFollowTheSwitch)
{
    StoreCommandLine("/Level   Forest-2 /Name \"Ann Marie\" /Width=800 /Open \"Unclosed quote  ");
    CJString value("untouched");
    ASSERT_TRUE(GetCommandLineSwitchValue("/level", value));
    EXPECT_STREQ(value.GetString(), "Forest-2");
    ASSERT_TRUE(GetCommandLineSwitchValue("/Name", value));
    EXPECT_STREQ(value.GetString(), "Ann Marie");
    ASSERT_TRUE(GetCommandLineSwitchValue("/Width=", value));
    EXPECT_STREQ(value.GetString(), "800");
    ASSERT_TRUE(GetCommandLineSwitchValue("/Open", value));
    EXPECT_STREQ(value.GetString(), "Unclosed quote  ");

    value = "untouched";
    EXPECT_FALSE(GetCommandLineSwitchValue("/Missing", value));
    StoreCommandLine("/Level \t ");
    EXPECT_FALSE(GetCommandLineSwitchValue("/Level", value)) << "nothing follows";
    EXPECT_STREQ(value.GetString(), "untouched");
}

TEST_F(CommandLine, IntegersReadLikeAtoiIn32Bits)
{
    StoreCommandLine("/A 42 /B -17x /C abc /D 99999999999 /E -99999999999 /F \"  12\" /G");
    EXPECT_EQ(GetCommandLineInt("/A", 5), 42);
    EXPECT_EQ(GetCommandLineInt("/B", 5), -17);
    EXPECT_EQ(GetCommandLineInt("/C", 5), 0) << "a value without digits is 0, not the default";
    EXPECT_EQ(GetCommandLineInt("/D", 5), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(GetCommandLineInt("/E", 5), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(GetCommandLineInt("/F", 5), 12);
    EXPECT_EQ(GetCommandLineInt("/G", 5), 5);
    EXPECT_EQ(GetCommandLineInt("/H", 5), 5);
}

} // namespace
