#include "platform/Profile.h"

#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "support/TestSupport.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sys/stat.h>

namespace {

// A hand-written settings file: comments, blank lines, odd spacing, quoted
// and duplicate keys, a section given twice. Each line gets the line end of
// the test case.
const char* const kHandWritten[] = {
    "; Game settings",
    "",
    "  [ Video ]  ",
    "Width = 800",
    "  height=600   ",
    "Title= \"Quoted Value\" ",
    "Width=1024",
    "\tName =\t Spaced Out\t",
    "Empty=",
    "Junk=abc",
    "Mixed=12abc",
    "Neg = -42",
    "Plus=+7",
    "Huge=99999999999",
    "HugeNeg=-99999999999",
    "Hex=0x10",
    "; Comment=1",
    "[Sound]",
    "Volume=5",
    "",
    "[video]",
    "Extra=yes",
    "Width=1",
};

std::string JoinLines(const char* lineEnd)
{
    std::string bytes;
    for (const char* line : kHandWritten)
        bytes += std::string(line) + lineEnd;
    return bytes;
}

class ProfileReading : public CTempFolderTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        WriteBytes("Config.INI", JoinLines(GetParam()));
    }
    static std::string Get(const char* section, const char* key)
    {
        return plat::ReadProfileString(".\\config.ini", section, key, "<default>");
    }
    static std::int32_t GetInt(const char* key) { return plat::ReadProfileInt("config.INI", "Video", key, -5); }
};

TEST_P(ProfileReading, FindsValuesCaseBlindAndTrimmed)
{
    EXPECT_EQ(Get("VIDEO", "width"), "800") << "the first of two keys wins";
    EXPECT_EQ(Get("  Video", "HEIGHT"), "600");
    EXPECT_EQ(Get("Video", "Title"), "Quoted Value");
    EXPECT_EQ(Get("Video", "Name"), "Spaced Out");
    EXPECT_EQ(Get("Video", "Empty"), "");
    EXPECT_EQ(Get("Video", "Extra"), "yes") << "a section given twice is searched in both";
    EXPECT_EQ(Get("Sound", "Volume"), "5");
}

TEST_P(ProfileReading, GivesTheDefaultForWhatIsMissing)
{
    EXPECT_EQ(Get("Video", "Depth"), "<default>");
    EXPECT_EQ(Get("Video", "Comment"), "<default>") << "comment lines hold no keys";
    EXPECT_EQ(Get("Sound", "Width"), "<default>");
    EXPECT_EQ(Get("Input", "Width"), "<default>");
    EXPECT_EQ(plat::ReadProfileString("Other.INI", "Video", "Width", "dflt"), "dflt");
    EXPECT_EQ(plat::ReadProfileInt("Other.INI", "Video", "Width", 77), 77);
}

TEST_P(ProfileReading, ReadsIntegersAsLeadingDecimalDigits)
{
    EXPECT_EQ(GetInt("Width"), 800);
    EXPECT_EQ(GetInt("Missing"), -5);
    EXPECT_EQ(GetInt("Empty"), -5) << "an empty value counts as missing";
    EXPECT_EQ(GetInt("Junk"), 0) << "a value without digits reads 0";
    EXPECT_EQ(GetInt("Mixed"), 12);
    EXPECT_EQ(GetInt("Neg"), -42);
    EXPECT_EQ(GetInt("Plus"), 7);
    EXPECT_EQ(GetInt("Huge"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(GetInt("HugeNeg"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(GetInt("Hex"), 0);
}

INSTANTIATE_TEST_SUITE_P(LineEnds, ProfileReading, ::testing::Values("\r\n", "\n"),
                         [](const ::testing::TestParamInfo<const char*>& caseInfo) {
                             return std::string(caseInfo.param[0] == '\r' ? "CRLF" : "LF");
                         });

using ProfileWriting = CTempFolderTest;

TEST_F(ProfileWriting, CreatesTheFileAndTheSection)
{
    ASSERT_TRUE(plat::WriteProfileString("New.ini", "  Video", "Width", "800"));
    EXPECT_EQ(ReadBytes("New.ini"), "[Video]\r\nWidth=800\r\n");
}

TEST_F(ProfileWriting, KeepsEveryOtherLineAndPlacesKeysInTheirSection)
{
    WriteBytes("Config.INI", "; top\n[Video]\nWidth=640\n\n; about sound\n[Sound]\n  Volume = 3\n");
    ASSERT_TRUE(plat::WriteProfileString("config.ini", "video", "Height", "480"));
    ASSERT_TRUE(plat::WriteProfileString("config.ini", "SOUND", "volume", "9"));
    ASSERT_TRUE(plat::WriteProfileString("config.ini", "Editor", "Grid", "1"));
    ASSERT_TRUE(plat::WriteProfileString("config.ini", "Video", "Title", " padded "));
    EXPECT_EQ(ReadBytes("Config.INI"), "; top\n[Video]\nWidth=640\nHeight=480\nTitle= padded \n\n; about sound\n"
                                       "[Sound]\nVolume=9\n[Editor]\nGrid=1\n")
        << "the file's own line ends kept";
    EXPECT_EQ(ListNames("."), "Config.INI") << "no temporary left, no second file";

    // A last line without an end, or ending in a lone CR as some editors
    // leave it, still ends where the lines written after it begin.
    for (const char* lastEnd : {"", "\r"}) {
        for (const char* fileEnd : {"\n", "\r\n"}) {
            const std::string name
                = std::string("Last") + (*lastEnd ? "CR" : "Bare") + (fileEnd[0] == '\r' ? "CRLF" : "LF") + ".ini";
            WriteBytes(name, std::string("[Options]") + fileEnd + "Full Screen=0" + lastEnd);
            ASSERT_TRUE(plat::WriteProfileString(name, "Scrap Book Window", "Width", "640")) << name;
            ASSERT_TRUE(plat::WriteProfileString(name, "Options", "Music Volume", "7")) << name;
            EXPECT_EQ(plat::ReadProfileString(name, "Options", "Full Screen", "?"), "0") << name;
            EXPECT_EQ(plat::ReadProfileString(name, "Options", "Music Volume", "?"), "7") << name;
            EXPECT_EQ(plat::ReadProfileString(name, "Options", "Width", "?"), "?") << name;
            EXPECT_EQ(plat::ReadProfileString(name, "Scrap Book Window", "Width", "?"), "640") << name;
            const std::string bytes = ReadBytes(name);
            for (std::size_t cr = bytes.find('\r'); cr != std::string::npos; cr = bytes.find('\r', cr + 1))
                EXPECT_EQ(bytes.substr(cr, 2), "\r\n") << name << " keeps only LF and CR LF ends";
        }
        // Its only end is no end new lines take.
        WriteBytes("Header.ini", std::string("[Options]") + lastEnd);
        ASSERT_TRUE(plat::WriteProfileString("Header.ini", "Options", "Full Screen", "1"));
        EXPECT_EQ(plat::ReadProfileString("Header.ini", "Options", "Full Screen", "?"), "1");
    }
}

TEST_F(ProfileWriting, AnEditorsByteOrderMarkIsNeitherASectionNorLost)
{
    WriteBytes("Marked.ini", "\xEF\xBB\xBF[Video]\r\nWidth=640\r\n");
    EXPECT_EQ(plat::ReadProfileString("Marked.ini", "Video", "Width", ""), "640");
    ASSERT_TRUE(plat::WriteProfileString("Marked.ini", "Video", "Width", "800"));
    EXPECT_EQ(ReadBytes("Marked.ini"), "\xEF\xBB\xBF[Video]\r\nWidth=800\r\n");
}

TEST_F(ProfileWriting, ReplacesTheKeyThatReadsWouldFind)
{
    WriteBytes("Dup.ini", "[A]\r\nKey=1\r\nKey=2\r\n[B]\r\n[a]\r\nOther=3\r\n");
    ASSERT_TRUE(plat::WriteProfileString("Dup.ini", "A", "KEY", "x"));
    ASSERT_TRUE(plat::WriteProfileString("Dup.ini", "A", "other", "y"));
    ASSERT_TRUE(plat::WriteProfileString("Dup.ini", "B", "New", "z"));
    EXPECT_EQ(ReadBytes("Dup.ini"), "[A]\r\nKey=x\r\nKey=2\r\n[B]\r\nNew=z\r\n[a]\r\nOther=y\r\n");
    EXPECT_EQ(plat::ReadProfileString("Dup.ini", "a", "key", ""), "x");
}

TEST_F(ProfileWriting, RefusesWhatWouldBreakTheFileAndLeavesItAsItWas)
{
    const std::string original = "[Video]\nWidth=640";
    WriteBytes("Config.INI", original);
    EXPECT_FALSE(plat::WriteProfileString("Config.INI", "Video", "Width", "1\r\n[Evil]"));
    EXPECT_FALSE(plat::WriteProfileString("Config.INI", "Video", "A=B", "1"));
    EXPECT_FALSE(plat::WriteProfileString("Config.INI", "Vid]eo", "Width", "1"));
    EXPECT_FALSE(plat::WriteProfileString("Config.INI", "", "Width", "1"));
    EXPECT_FALSE(plat::WriteProfileString("Config.INI", "Video", "  ", "1"));
    EXPECT_FALSE(plat::WriteProfileString("Config.INI", "Video", ";Width", "1"));
    EXPECT_EQ(ReadBytes("Config.INI"), original);

    ASSERT_TRUE(plat::SetReadOnly("Config.INI", true));
    EXPECT_FALSE(plat::WriteProfileString("Config.INI", "Video", "Width", "800"));
    EXPECT_EQ(ReadBytes("Config.INI"), original);
    EXPECT_FALSE(plat::WriteProfileString("NoFolder\\Config.INI", "Video", "Width", "800"));
}

int g_Syncs = 0;
void CountSync(std::string_view)
{
    ++g_Syncs;
}

TEST_F(ProfileWriting, SeveralKeysGoInOneReplacementOrNotAtAll)
{
    WriteBytes("Windows.ini", "[Browser]\r\nWidth=300\r\n[Other]\r\nKept=1\r\n");
    g_Syncs = 0;
    const plat::SyncObserver previous = plat::SetSyncObserver(&CountSync);
    const bool written = plat::WriteProfileStrings(
        "Windows.ini", "browser", {{"width", "640"}, {"Position X", "12"}, {"Position Y", "-3"}, {"Width", "641"}});
    const bool newSection = plat::WriteProfileStrings("Windows.ini", "Picker", {{"Show Window", "1"}, {"Height", "9"}});
    plat::SetSyncObserver(previous);
    ASSERT_TRUE(written);
    ASSERT_TRUE(newSection);
    EXPECT_EQ(g_Syncs, 2) << "one synced replacement per call";
    EXPECT_EQ(ReadBytes("Windows.ini"), "[Browser]\r\nWidth=641\r\nPosition X=12\r\nPosition Y=-3\r\n[Other]\r\n"
                                        "Kept=1\r\n[Picker]\r\nShow Window=1\r\nHeight=9\r\n");

    const std::string before = ReadBytes("Windows.ini");
    EXPECT_FALSE(plat::WriteProfileStrings("Windows.ini", "Browser", {{"Width", "1"}, {"Bad=Key", "2"}}));
    EXPECT_EQ(ReadBytes("Windows.ini"), before) << "one refused key: none written";
    ASSERT_TRUE(plat::SetReadOnly("Windows.ini", true));
    EXPECT_FALSE(plat::WriteProfileStrings("Windows.ini", "Browser", {{"Width", "1"}}));
    EXPECT_EQ(ReadBytes("Windows.ini"), before);
    ASSERT_TRUE(plat::SetReadOnly("Windows.ini", false));
}

TEST_F(ProfileWriting, BareNamesLiveInTheHomeFolderWhenOneIsNamed)
{
    EXPECT_EQ(plat::GetProfilePath("GameCD.INI"), "GameCD.INI");
    WriteBytes("Home/gamecd.ini", "[Player]\r\nName=Old\r\n");
    ASSERT_EQ(::setenv("OMBRISALT_HOME", (Folder() + "/Home").c_str(), 1), 0);
    EXPECT_TRUE(plat::WriteProfileString("GameCD.INI", "Player", "Name", "New"));
    EXPECT_TRUE(plat::WriteProfileString(".\\Local.CFG", "Player", "Name", "Here"));
    const std::string homeValue = plat::ReadProfileString("GAMECD.ini", "player", "name", "");
    ::unsetenv("OMBRISALT_HOME");
    EXPECT_EQ(homeValue, "New");
    EXPECT_EQ(ReadBytes("Home/gamecd.ini"), "[Player]\r\nName=New\r\n");
    EXPECT_EQ(ListNames("."), "Home Local.CFG");
}

TEST_F(ProfileWriting, AHomeFolderOfAnyNameIsUsedAsTheSystemNamesIt)
{
    for (const std::string home : {"Σπίτι", "家", "🏠", "my\\home"}) {
        SCOPED_TRACE(home);
        WriteBytes(home + "/Ombrisalt.CFG", "[Options]\r\nFull Screen=1\r\n");
        ASSERT_EQ(::setenv("OMBRISALT_HOME", (Folder() + "/" + home).c_str(), 1), 0);
        const bool written = plat::WriteProfileString("ombrisalt.cfg", "Options", "Full Screen", "0");
        const std::string value = plat::ReadProfileString("Ombrisalt.CFG", "Options", "Full Screen", "");
        ::unsetenv("OMBRISALT_HOME");
        EXPECT_TRUE(written);
        EXPECT_EQ(value, "0");
        EXPECT_EQ(ReadBytes(home + "/Ombrisalt.CFG"), "[Options]\r\nFull Screen=0\r\n");
    }
    EXPECT_EQ(ListNames("."), "my\\home Σπίτι 家 🏠") << "nothing written beside the homes";
}

TEST_F(ProfileWriting, AFilePastAnySettingsFileIsKeptAsideAndTheDefaultsServe)
{
    const std::string head = "[Video]\r\nWidth=640\r\n";
    const auto grown = [&head](const char* name, std::uint64_t size) {
        WriteBytes(name, head);
        std::filesystem::resize_file(name, size);
        return ReadBytes(name);
    };
    grown("Edge.ini", plat::kMaxProfileBytes);
    EXPECT_EQ(plat::ReadProfileInt("Edge.ini", "Video", "Width", 7), 640) << "the largest a settings file may be";

    // The writer makes files up to that size, and none its reader refuses.
    const std::string added = "Height=480\r\n";
    WriteBytes("Edge.ini",
               head + ";" + std::string(plat::kMaxProfileBytes - head.size() - added.size() - 3, 'x') + "\r\n");
    ASSERT_TRUE(plat::WriteProfileString("Edge.ini", "Video", "Height", "480"));
    const std::string edge = ReadBytes("Edge.ini");
    EXPECT_EQ(edge.size(), plat::kMaxProfileBytes);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(plat::WriteProfileString("Edge.ini", "Video", "Height", "4800"));
    EXPECT_FALSE(plat::WriteProfileString("Edge.ini", "Sound", "Volume", "3"));
    const std::string refused = testing::internal::GetCapturedStderr();
    EXPECT_NE(refused.find("Edge.ini: [Video] not written"), std::string::npos) << refused;
    EXPECT_EQ(refused.find('\n'), refused.size() - 1) << "said once a start: " << refused;
    EXPECT_TRUE(ReadBytes("Edge.ini") == edge) << "kept as it was";
    EXPECT_EQ(plat::ReadProfileInt("Edge.ini", "Video", "Height", 7), 480);

    // LF lines stay LF: a file of them at the bound takes a change of its size.
    const std::string lf = "[Video]\nWidth=640\n";
    WriteBytes("Lf.ini", lf + ";" + std::string(plat::kMaxProfileBytes - lf.size() - 2, 'x') + "\n");
    ASSERT_TRUE(plat::WriteProfileString("Lf.ini", "Video", "Width", "800"));
    const std::string lfAfter = ReadBytes("Lf.ini");
    EXPECT_EQ(lfAfter.size(), plat::kMaxProfileBytes);
    EXPECT_EQ(lfAfter.substr(0, lf.size()), "[Video]\nWidth=800\n");

    const std::string big = grown("Big.ini", plat::kMaxProfileBytes + 1);
    testing::internal::CaptureStderr();
    const std::int32_t first = plat::ReadProfileInt("Big.ini", "Video", "Width", 7);
    const std::int32_t again = plat::ReadProfileInt("Big.ini", "Video", "Width", 7);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(first, 7);
    EXPECT_EQ(again, 7);
    EXPECT_NE(said.find("Big.ini: larger than a settings file can be"), std::string::npos) << said;
    EXPECT_NE(said.find("kept as Big.ini.bad"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "said once: " << said;
    EXPECT_EQ(ReadBytes("Big.ini.bad"), big);

    // A writer meeting one starts a new file beside the earlier copy.
    const std::string second = grown("Big.ini", plat::kMaxProfileBytes + 2);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(plat::WriteProfileString("Big.ini", "Video", "Height", "480"));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(ReadBytes("Big.ini"), "[Video]\r\nHeight=480\r\n");
    EXPECT_EQ(ReadBytes("Big.ini.bad.1"), second);
    EXPECT_EQ(ReadBytes("Big.ini.bad"), big);

    // One that cannot be moved aside (its name leaves no room for ".bad") is
    // said once, not at every read; one past any memory is never reserved whole.
    const std::string stuck = std::string(250, 'S') + ".ini";
    grown(stuck.c_str(), plat::kMaxProfileBytes + 1);
    WriteBytes("Vast.ini", head);
    std::filesystem::resize_file("Vast.ini", std::uint64_t(1) << 43);
    testing::internal::CaptureStderr();
    for (const std::string& name : {stuck, stuck, std::string("Vast.ini")})
        EXPECT_EQ(plat::ReadProfileInt(name, "Video", "Width", 7), 7);
    const std::string stuckSaid = testing::internal::GetCapturedStderr();
    EXPECT_EQ(stuckSaid.find("could not be moved aside"), stuckSaid.rfind("could not be moved aside")) << stuckSaid;
    EXPECT_NE(stuckSaid.find("kept as Vast.ini.bad"), std::string::npos) << stuckSaid;
}

// The child half of the read-back test below: answers "file<TAB>section<TAB>key"
// lines from the queries file with one value per line.
TEST(ChildProcess, AnswersProfileQueries)
{
    const char* queries = std::getenv("OMBRISALT_PROFILE_QUERIES");
    if (!queries)
        GTEST_SKIP() << "runs only as the child of ProfileWriting.AnotherProcessReadsBackWhatWasWritten";
    std::ifstream in(queries);
    std::ofstream out("answers.txt", std::ios::binary);
    std::string file, section, key;
    while (std::getline(in, file, '\t') && std::getline(in, section, '\t') && std::getline(in, key))
        out << plat::ReadProfileString(file, section, key, "<missing>") << '\n';
}

TEST_F(ProfileWriting, AnotherProcessReadsBackWhatWasWritten)
{
    struct Setting {
        const char* section;
        const char* key;
        const char* value;
    };
    const Setting settings[] = {
        {"Video", "Width", "1024"},
        {"Video", "Gamma", "1.25"},
        {"Player", "Name", "Ann-Marie O'Neil"},
        {"Player", "Path", "C:\\Games\\Save;1"},
        {"Sound", "Volume", "0"},
        {"Video", "Width", "800"},
    };
    WriteBytes("Settings/x", "");
    std::string queries;
    for (const Setting& s : settings) {
        ASSERT_TRUE(plat::WriteProfileString("Settings\\Options.ini", s.section, s.key, s.value));
        queries += std::string("SETTINGS/options.INI\t") + s.section + "\t" + s.key + "\n";
    }
    queries += "SETTINGS/options.INI\tVideo\tDepth\n";
    WriteBytes("queries.txt", queries);

    ASSERT_EQ(::setenv("OMBRISALT_PROFILE_QUERIES", "queries.txt", 1), 0);
    const bool ran = RunThisProgramWithTest("ChildProcess.AnswersProfileQueries", Folder());
    ::unsetenv("OMBRISALT_PROFILE_QUERIES");
    ASSERT_TRUE(ran);
    EXPECT_EQ(ReadBytes("answers.txt"), "800\n1.25\nAnn-Marie O'Neil\nC:\\Games\\Save;1\n0\n800\n<missing>\n");
}

} // namespace
