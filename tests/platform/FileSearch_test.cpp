#include "platform/FileSearch.h"

#include "support/TestSupport.h"

#include <sys/stat.h>

namespace {

struct PatternCase {
    const char* label;
    const char* pattern;
    const char* name;
    bool matches;
};

class FilePattern : public ::testing::TestWithParam<PatternCase> {};

TEST_P(FilePattern, MatchesAsDataFilesExpect)
{
    const PatternCase& c = GetParam();
    EXPECT_EQ(plat::MatchesFilePattern(c.pattern, c.name), c.matches) << c.pattern << " vs " << c.name;
}

const PatternCase kPatternCases[] = {
    {"StarDotStarMatchesNameWithExtension", "*.*", "hero.tga", true},
    {"StarDotStarMatchesNameWithoutDot", "*.*", "README", true},
    {"StarDotStarMatchesDot", "*.*", ".", true},
    {"StarDotStarMatchesDotDot", "*.*", "..", true},
    {"StarMatchesEverything", "*", "a.b.c", true},
    {"PrefixStarDotStarNeedsPrefix", "ab*.*", "xab.txt", false},
    {"PrefixStarDotStarWithoutDot", "ab*.*", "abc", true},
    {"PrefixStarDotStarIsCaseBlind", "AB*.*", "abc.TXT", true},
    {"ExtensionIsCaseBlind", "*.zip", "Data.ZIP", true},
    {"ExtensionMustMatchWhole", "*.zip", "Data.zipx", false},
    {"ExtensionNeedsTheDot", "*.zip", "zip", false},
    {"ExtensionLastDotOnly", "*.txt", "a.txt.bak", false},
    {"ExtensionAfterSeveralDots", "*.bak", "a.txt.bak", true},
    {"TrailingDotMatchesNameWithoutDot", "*.", "Images", true},
    {"TrailingDotRejectsNameWithDot", "*.", "Images.old", false},
    {"TrailingDotMatchesDot", "*.", ".", true},
    {"TrailingDotMatchesDotDot", "*.", "..", true},
    {"TrailingDotWithPrefix", "-*.", "-Hidden", true},
    {"TrailingDotPrefixMismatch", "-*.", "Shown", false},
    {"TrailingDotPrefixRejectsDotted", "-*.", "-Hidden.v2", false},
    {"QuestionMarkIsOneCharacter", "a?c.txt", "abc.txt", true},
    {"QuestionMarkNeedsACharacter", "a?c.txt", "ac.txt", false},
    {"QuestionMarkTakesWholeUtf8Character", "caf?.txt", "caf\xC3\xA9.txt", true},
    {"LatinLettersFoldTogether", "CAF\xC3\x89*", "caf\xC3\xA9.txt", true},
    {"StarsBothSides", "*ero*", "Hero.tga", true},
    {"StarBacktracksPastAnEarlierMatch", "*ab.t?t", "aab.txt", true},
    {"ManyStarsFailQuickly", "*a*a*a*a*a*a*a*a*a*a*a*b",
     "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
    {"PlainNameIsCaseBlindEquality", "Hero.TGA", "hero.tga", true},
    {"PlainNameIsNotAPrefix", "Hero", "Hero.tga", false},
};

INSTANTIATE_TEST_SUITE_P(Cases, FilePattern, ::testing::ValuesIn(kPatternCases),
                         [](const ::testing::TestParamInfo<PatternCase>& caseInfo) {
                             return std::string(caseInfo.param.label);
                         });

using FileSearch = CTempFolderTest;

std::string Names(const std::vector<plat::FindEntry>& entries)
{
    std::string joined;
    for (const plat::FindEntry& entry : entries)
        joined += (joined.empty() ? "" : " ") + entry.name;
    return joined;
}

TEST_F(FileSearch, ListsSortedCaseBlindWithDotEntries)
{
    WriteBytes("Data/beta.txt", "");
    WriteBytes("Data/Alpha.TXT", "");
    WriteBytes("Data/gamma", "");
    WriteBytes("Data/Cache/x", "");
    WriteBytes("Data/delta.bin", "");
    EXPECT_EQ(Names(plat::FindFiles("data\\*.*")), ". .. Alpha.TXT beta.txt Cache delta.bin gamma");
    EXPECT_EQ(Names(plat::FindFiles("DATA/*.txt")), "Alpha.TXT beta.txt");
    EXPECT_EQ(Names(plat::FindFiles("data/*.")), ". .. Cache gamma");
    EXPECT_EQ(Names(plat::FindFiles("data/*.zip")), "");
    // A pattern without a folder part searches the working folder.
    WriteBytes("one.txt", "");
    WriteBytes("Two.txt", "");
    EXPECT_EQ(Names(plat::FindFiles("*.TXT")), "one.txt Two.txt");
}

TEST_F(FileSearch, NameWithoutWildcardFindsFileOrFolderInItsDiskCase)
{
    WriteBytes("Data/Images/Hero.tga", "12345");
    const auto folder = plat::FindFiles("data\\IMAGES");
    ASSERT_EQ(folder.size(), 1u);
    EXPECT_EQ(folder[0].name, "Images");
    EXPECT_TRUE(folder[0].isFolder);
    EXPECT_EQ(folder[0].size, 0u);

    const auto file = plat::FindFiles("DATA/images/HERO.TGA");
    ASSERT_EQ(file.size(), 1u);
    EXPECT_EQ(file[0].name, "Hero.tga");
    EXPECT_FALSE(file[0].isFolder);
    EXPECT_EQ(file[0].size, 5u);
    EXPECT_GT(file[0].writeTime, 116444736000000000ull);

    EXPECT_TRUE(plat::FindFiles("data/images/villain.tga").empty());
}

TEST_F(FileSearch, EntriesCarryReadOnlyAndMissingFoldersListNothing)
{
    WriteBytes("Ro/Locked.txt", "");
    ASSERT_EQ(::chmod("Ro/Locked.txt", 0444), 0);
    const auto entries = plat::FindFiles("ro/*.txt");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].isReadOnly);

    EXPECT_TRUE(plat::FindFiles("nowhere/*.*").empty());
    EXPECT_TRUE(plat::FindFiles("ro/").empty()) << "an empty last component finds nothing";
    EXPECT_TRUE(plat::FindFiles("r*/Locked.txt").empty()) << "wildcards only in the last component";
}

} // namespace
