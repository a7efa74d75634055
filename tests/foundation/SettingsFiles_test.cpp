#include "foundation/SettingsFiles.h"

#include "foundation/CIniSection.h"
#include "foundation/FileHelpers.h"
#include "support/TestSupport.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>

namespace {

using SettingsFiles = CTempFolderTest;

const char* const kHandWritten = "; written by hand\r\n"
                                 "\r\n"
                                 "   [Video]   \r\n"
                                 "Width = 800\r\n"
                                 "\tFullScreen=\t1 \r\n"
                                 "Gamma   =   1.5\r\n"
                                 "Title = \"Two  Spaces\"\r\n"
                                 "Empty = \"\"\r\n"
                                 "Quote = \"\r\n"
                                 "Width=1024\n"
                                 "Windowed=0\n"
                                 "Negative=-3\n"
                                 "; Depth=32\n"
                                 "\n"
                                 "[video]\n"
                                 "Depth=16\n";

std::string ReadString(const char* section, const char* key, const char* defaultText, size_t size = 64)
{
    std::string buffer(size, '\0');
    std::strncpy(buffer.data(), defaultText, size - 1);
    GetIniString(".\\Config.INI", section, key, buffer.data(), size);
    return buffer.c_str();
}

TEST_F(SettingsFiles, ReadsAHandWrittenFileAsWritten)
{
    WriteBytes("Config.INI", kHandWritten);
    const CJString file = GetConfigIniName();
    EXPECT_EQ(GetIniInt(file.GetString(), "Video", "Width", -1), 800) << "the first of two keys wins";
    EXPECT_EQ(GetIniInt(file.GetString(), "VIDEO", "depth", -1), 16) << "a section given twice is searched whole";
    EXPECT_EQ(GetIniInt(file.GetString(), "Video", "Missing", -7), -7);
    EXPECT_TRUE(GetIniBool(file.GetString(), "Video", "FullScreen", false));
    EXPECT_FALSE(GetIniBool(file.GetString(), "Video", "Windowed", true));
    EXPECT_FALSE(GetIniBool(file.GetString(), "Video", "Negative", true)) << "only values above 0 are true";
    EXPECT_TRUE(GetIniBool(file.GetString(), "Video", "Missing", true));
    EXPECT_FLOAT_EQ(GetIniFloat(file.GetString(), "Video", "Gamma", 0.0f), 1.5f);
    EXPECT_EQ(ReadString("Video", "Title", "x"), "Two  Spaces");
    EXPECT_EQ(ReadString("Video", "Empty", "x"), "") << "a quoted empty value";
    EXPECT_EQ(ReadString("Video", "Quote", "x"), "\"") << "one quote is no pair";
    EXPECT_EQ(ReadString("Video", "Depth ", "x"), "16");
    EXPECT_EQ(ReadString("Audio", "Title", "fallback"), "fallback");
}

TEST_F(SettingsFiles, SectionNamesLoseLeadingWhiteSpace)
{
    ASSERT_TRUE(SetIniInt(".\\Config.INI", "  Video", "Width", 640));
    ASSERT_TRUE(SetIniString(".\\Config.INI", "\t\r\nVideo", "Name", "Main"));
    EXPECT_EQ(ReadBytes("Config.INI"), "[Video]\r\nWidth=640\r\nName=Main\r\n");
    EXPECT_EQ(GetIniInt(".\\Config.INI", "  Video", "Width", 0), 640);
    EXPECT_EQ(ReadString(" \tVideo", "Name", ""), "Main");
}

TEST_F(SettingsFiles, FloatsGoThroughPercentG)
{
    const char* file = ".\\Config.INI";
    EXPECT_EQ(GetIniFloat(file, "Sound", "Missing", 0.1f), 0.1f);
    EXPECT_EQ(GetIniFloat(file, "Sound", "Missing", 1e-7f), 1e-7f);
    EXPECT_EQ(GetIniFloat(file, "Sound", "Missing", 1234567.0f), 1234570.0f) << "six significant digits";

    ASSERT_TRUE(SetIniFloat(file, "Sound", "Volume", 0.1f));
    ASSERT_TRUE(SetIniFloat(file, "Sound", "Tiny", 1e-7f));
    ASSERT_TRUE(SetIniFloat(file, "Sound", "Whole", -2.0f));
    EXPECT_EQ(ReadBytes("Config.INI"), "[Sound]\r\nVolume=0.1\r\nTiny=1e-07\r\nWhole=-2\r\n");
    EXPECT_EQ(GetIniFloat(file, "Sound", "Volume", 5.0f), 0.1f);
    EXPECT_EQ(GetIniFloat(file, "Sound", "Tiny", 5.0f), 1e-7f);

    ASSERT_TRUE(SetIniString(file, "Sound", "Long", "0.12345678901234567895"));
    ASSERT_TRUE(SetIniString(file, "Sound", "Junk", "  +2.5e1xyz"));
    ASSERT_TRUE(SetIniString(file, "Sound", "Word", "loud"));
    ASSERT_TRUE(SetIniString(file, "Sound", "Huge", "1e999"));
    EXPECT_EQ(GetIniFloat(file, "Sound", "Long", 0.0f), 0.1234567890123456789f) << "19 characters are read";
    EXPECT_EQ(GetIniFloat(file, "Sound", "Junk", 0.0f), 25.0f) << "read like atof";
    EXPECT_EQ(GetIniFloat(file, "Sound", "Word", 3.0f), 0.0f);
    EXPECT_EQ(GetIniFloat(file, "Sound", "Huge", 0.0f), std::numeric_limits<float>::infinity());
}

TEST_F(SettingsFiles, MarkerBytesNeverReachTheFile)
{
    ASSERT_TRUE(SetIniString(".\\Config.INI", "\x01P\x01layer", "\x01Name", "\x01J\x01o"));
    EXPECT_EQ(ReadBytes("Config.INI"), "[Player]\r\nName=Jo\r\n");

    EXPECT_EQ(ReadString("Player", "Name", "\x01X"), "\x01J\x01o") << "a marked default marks the value";
    EXPECT_EQ(ReadString("\x01Player", "\x01Name", "plain"), "Jo");
    EXPECT_EQ(ReadString("Player", "Missing",
                         "\x01"
                         "A\x01"
                         "B"),
              "\x01"
              "A\x01"
              "B");
    EXPECT_EQ(ReadString("Player", "Name", "\x01X", 4), "\x01J\x01") << "cut at size - 1 after marking";
    EXPECT_EQ(ReadString("Player", "Name", "x", 2), "J");
}

TEST_F(SettingsFiles, SettersMakeAReadOnlyFileWritable)
{
    WriteBytes("Config.INI", "[Video]\r\nWidth=640\r\n");
    SetFileReadOnly("Config.INI", true);
    ASSERT_TRUE(IsFileReadOnly(".\\Config.INI"));
    EXPECT_TRUE(SetIniInt(".\\Config.INI", "Video", "Width", 800));
    EXPECT_FALSE(IsFileReadOnly("Config.INI"));
    EXPECT_EQ(ReadBytes("Config.INI"), "[Video]\r\nWidth=800\r\n");
}

TEST_F(SettingsFiles, NamedFilesLiveInTheWorkingFolder)
{
    EXPECT_STREQ(GetConfigIniName().GetString(), ".\\Config.INI");
    const CJString cfg = GetSettingsFileName("Game", SettingsFileForm::Cfg);
    const CJString cd = GetSettingsFileName("Game", SettingsFileForm::CdIni);
    EXPECT_STREQ(cfg.GetString(), ".\\Game.CFG");
    EXPECT_STREQ(cd.GetString(), "GameCD.INI");
    ASSERT_TRUE(SetIniBool(cfg.GetString(), "Editor", "Grid", true));
    ASSERT_TRUE(SetIniInt(cd.GetString(), "Editor", "Grid", 0));
    EXPECT_EQ(ReadBytes("Game.CFG"), "[Editor]\r\nGrid=1\r\n");
    EXPECT_EQ(ReadBytes("GameCD.INI"), "[Editor]\r\nGrid=0\r\n");
}

// The child half of the read-back test below: reads every kind of setting
// and writes what it found, one per line.
TEST(ChildProcess, ReportsSettings)
{
    if (!std::getenv("OMBRISALT_SETTINGS_CHILD"))
        GTEST_SKIP() << "runs only as the child of SettingsFiles.AnotherProcessReadsBackWhatWasWritten";
    std::ofstream out("answers.txt", std::ios::binary);
    const char* file = "SETTINGS.cfg";
    CJString wide(u"Stra\u00DFe \u65E5\u672C");
    GetIniText(file, "Player", "Town", wide);
    char name[64] = "?";
    GetIniString(file, "Player", "Name", name, sizeof name);
    out << GetIniInt(file, "Video", "Width", -1) << '\n'
        << GetIniInt(file, "video", "Depth", -1) << '\n'
        << GetIniBool(file, "Video", "FullScreen", false) << '\n'
        << GetIniFloat(file, "Sound", "Volume", -1.0f) << '\n'
        << name << '\n'
        << wide.IsWide() << ' ' << (wide.Compare(CJString(u"\u65E5\u672C \u00C4")) == 0) << '\n';
}

TEST_F(SettingsFiles, AnotherProcessReadsBackWhatWasWritten)
{
    const char* file = ".\\Settings.CFG";
    ASSERT_TRUE(SetIniInt(file, "Video", "Width", 1024));
    ASSERT_TRUE(SetIniInt(file, "Video", "Depth", -32));
    ASSERT_TRUE(SetIniBool(file, "Video", "FullScreen", true));
    ASSERT_TRUE(SetIniFloat(file, "Sound", "Volume", 0.75f));
    ASSERT_TRUE(SetIniString(file, "Player", "Name", "Ann \"the\" Caf\xE9"));
    ASSERT_TRUE(SetIniString(file, "Player", "Town", CJString(u"\u65E5\u672C \u00C4").ToFileForm().GetString()));
    ASSERT_TRUE(SetIniInt(file, "Video", "Width", 800));

    ASSERT_EQ(::setenv("OMBRISALT_SETTINGS_CHILD", "1", 1), 0);
    const bool ran = RunThisProgramWithTest("ChildProcess.ReportsSettings", Folder());
    ::unsetenv("OMBRISALT_SETTINGS_CHILD");
    ASSERT_TRUE(ran);
    EXPECT_EQ(ReadBytes("answers.txt"), "800\n-32\n1\n0.75\nAnn \"the\" Caf\xE9\n1 1\n");
    EXPECT_NE(ReadBytes("Settings.CFG").find("Name=Ann \"the\" Caf\xC3\xA9\r\n"), std::string::npos)
        << "8-bit text is stored as UTF-8";
}

TEST_F(SettingsFiles, IniTextKeepsItsDefaultAndCutsLongValues)
{
    CJString text(u"\u0416ar");
    GetIniText(".\\Config.INI", "Options", "Missing", text);
    EXPECT_EQ(text.Compare(CJString(u"\u0416ar")), 0) << "a missing key leaves the text";

    const std::string longValue(300, 'v');
    ASSERT_TRUE(SetIniString(".\\Config.INI", "Options", "Long", longValue.c_str()));
    CJString read("short");
    GetIniText(".\\Config.INI", "Options", "Long", read);
    EXPECT_EQ(std::string(read.GetString()), std::string(255, 'v'));

    // 70 UTF-16 characters take 293 characters in file form, more than the
    // buffer: a missing key must still give back the text, not a cut hex form.
    const std::u16string longWide(70, u'\u0416');
    CJString wide(longWide.c_str());
    GetIniText(".\\Config.INI", "Options", "Missing", wide);
    EXPECT_TRUE(wide.IsWide());
    EXPECT_EQ(wide.Compare(CJString(longWide.c_str())), 0) << "a missing key leaves a long text too";
}

TEST_F(SettingsFiles, OptionsSectionUsesTheMainSettingsFile)
{
    CIniSection& options = GetOptionsSection();
    options.SetInt("Music Volume", 7);
    options.SetFloat("Gamma", 1.25f);
    EXPECT_EQ(ReadBytes("Config.INI"), "[Options]\r\nMusic Volume=7\r\nGamma=1.25\r\n");
    EXPECT_EQ(options.GetInt("music volume", 0), 7);

    CIniSection own(".\\Own.CFG", "Options");
    own.SetFileName("OwnCD.INI");
    own.SetInt("Music Mute", 1);
    EXPECT_EQ(ReadBytes("OwnCD.INI"), "[Options]\r\nMusic Mute=1\r\n");

    WriteBytes("Data2.dat", "[Channel]\r\nChannel Name=Night Owl\r\n");
    CJString channel("Default");
    GetChannelSection().GetString("Channel Name", channel);
    EXPECT_STREQ(channel.GetString(), "Night Owl");

    const std::string longName(300, 'n');
    const CIniSection cut(longName.c_str(), "S");
    EXPECT_EQ(std::strlen(cut.GetFileName()), 255u);
}

} // namespace
