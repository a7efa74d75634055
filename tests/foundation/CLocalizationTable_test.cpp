#include "foundation/CLocalizationTable.h"

#include "FileTestSupport.h"
#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/FatalError.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

// "Local.txt" and its neighbours live in a fresh folder that is both the
// user and the data folder.
class LocalizationTest : public CFileFolderTest {
protected:
    void SetUp() override
    {
        CFileFolderTest::SetUp();
        m_UserFolder.emplace(PathOf("").c_str());
    }

    std::optional<CScopedUserFolder> m_UserFolder;

    void WriteLocal(const std::string& text) { WriteBytes(PathOf("Local.txt"), text); }
    std::string ReadLocal() { return ReadBytes(PathOf("Local.txt")); }

    static std::string Translated(CLocalizationTable& table, const char* english, const char* annotation = nullptr)
    {
        CJString text(english);
        table.Translate(text, annotation);
        return text.GetString();
    }

private:
    CScopedThrowingFatal m_Throwing;
};

// Reads text as a "Local.txt" held in memory; the fatal report, if any.
std::string ReadFromMemory(CLocalizationTable& table, const std::string& text)
{
    CFile file;
    auto* buffer = CMemFileBuf::WrapReadOnly(text.data(), uint32_t(text.size()));
    EXPECT_TRUE(file.AttachFileBuf(buffer, FILE_READ));
    const CScopedThrowingFatal throwing;
    std::string report;
    try {
        table.ReadEntries(file);
    } catch (const CFatalErrorException& error) {
        EXPECT_EQ(error.caption, kLocalizationErrorCaption);
        report = error.message;
    }
    return report;
}

const char kSample[] = "ENGLISH: Hello[END]\r\n"
                       "LOCALIZED: Bonjour[END]\r\n"
                       "\r\n"
                       "ENGLISH: Open[END] (menu)\r\n"
                       "LOCALIZED: Ouvrir[END]\r\n"
                       "   \r\n"
                       "ENGLISH: Open[END] (door)\r\n"
                       "LOCALIZED: Entrer[END]\r\n"
                       "ENGLISH: Two\r\n"
                       "lines[END]\r\n"
                       "LOCALIZED: Deux\r\n"
                       "\r\n"
                       "lignes[END] trailing words are dropped\r\n"
                       "ENGLISH: Apple[END]\r\n"
                       "LOCALIZED: Pomme[END]";

TEST_F(LocalizationTest, LooksUpExactCaseKeysAndAnnotations)
{
    WriteLocal(kSample);
    CLocalizedString registered("Apple", nullptr);
    CLocalizationTable table;
    ASSERT_TRUE(table.LoadLocalization());
    EXPECT_FALSE(table.HasError());
    EXPECT_FALSE(table.WasOpenedWithoutSearch());
    EXPECT_EQ(std::string(registered.GetString()), "Pomme");
    EXPECT_EQ(std::string(registered.GetEnglish()), "Apple");

    // Sorted by the case-sensitive compare, so every key is found.
    for (int32_t i = 1; i < table.GetCount(); ++i)
        EXPECT_LT(table.GetEntry(i - 1).m_English.Compare(table.GetEntry(i).m_English), 0);

    EXPECT_EQ(Translated(table, "Hello"), "Bonjour");
    EXPECT_EQ(Translated(table, "hello"), "hello");
    EXPECT_EQ(Translated(table, "Open", "menu"), "Ouvrir");
    EXPECT_EQ(Translated(table, "Open", "door"), "Entrer");
    EXPECT_EQ(Translated(table, "Open"), "Open");
    EXPECT_EQ(Translated(table, "Two\nlines"), "Deux\n\nlignes");
    EXPECT_GE(table.FindKey("Open[END] (menu)"), 0);
    EXPECT_EQ(Translated(table, ""), "");
}

TEST(LocalizationLongEntries, ManyShortLinesJoinWithLineBreaksAndAnnotationStays)
{
    constexpr int kLines = 40000;
    std::string english = "a";
    std::string localized = "b";
    std::string text = "ENGLISH: a";
    for (int i = 0; i < kLines; ++i) {
        english += "\nxy";
        text += "\r\nxy";
    }
    text += "[END] (note)\r\nLOCALIZED: b";
    for (int i = 0; i < kLines; ++i) {
        localized += "\n%";
        text += "\r\n%";
    }
    text += "[END]\r\n";
    CLocalizationTable table;
    EXPECT_EQ(ReadFromMemory(table, text), "");
    ASSERT_EQ(table.GetCount(), 1);
    EXPECT_EQ(std::string(table.GetEntry(0).m_English.GetString()), english + "[END] (note)");
    EXPECT_EQ(std::string(table.GetEntry(0).m_Localized.GetString()), localized);
}

struct BadFile {
    const char* name;
    const char* text;
    const char* report;
};

class LocalizationErrors : public testing::TestWithParam<BadFile> {};

TEST_P(LocalizationErrors, ReportsTheExactMessage)
{
    CLocalizationTable table;
    EXPECT_EQ(ReadFromMemory(table, GetParam().text), GetParam().report);
    EXPECT_TRUE(table.HasError());
}

INSTANTIATE_TEST_SUITE_P(
    LocalText, LocalizationErrors,
    testing::Values(
        BadFile{"EnglishNeverEnds", "ENGLISH: Hello\r\nworld\r\n",
                "Error in localization text at line 2.  Could not find the \"[END]\" in the english version of the "
                "string\""},
        BadFile{"LocalizedNeverEnds", "ENGLISH: Hi[END]\r\nLOCALIZED: Salut\r\n",
                "Error in localization text at line 2.  Could not find the \"[END]\" in the localized version of the "
                "string\"  The problem occured in the line with english text of \"Hi\""},
        BadFile{"NewLineBeforeEnd", "ENGLISH: Hi\r\nENGLISH: Bye[END]\r\nLOCALIZED: Salut[END]\r\n",
                "Error in localization text at line 2.  Found the begining of a new line before the previous line "
                "was properly terminated.  The previous line is mising a proper \"[END]\"."},
        BadFile{"UnexpectedLine", "ENGLISH: Hi[END]\r\nHELLO: x\r\nLOCALIZED: Salut[END]\r\n",
                "Error in localization text at line 2.  Was expecting to find a line starting with \"LOCALIZED: \" "
                "but instead found \"HELLO: x\".    The problem occured in the line with english text of \"Hi\""},
        BadFile{"MissingToken", "\r\nENGLISH: %d points, well done[END]\r\nLOCALIZED: points[END]\r\n",
                "Error in localization text at line 2.  Bad Localization.  Localized version of the string is "
                "missing the \"%d\" token  The problem occured in the line with english text of \"%d points, well "
                "done\""},
        BadFile{"MissingKeyToken", "ENGLISH: Hi %s[Name] now[END]\r\nLOCALIZED: Salut %s[Nom][END]\r\n",
                "Error in localization text at line 1.  Bad Localization.  Localized version of the string is "
                "missing the \"%s[Name]\" token  The problem occured in the line with english text of \"Hi %s[Name] "
                "now\""},
        BadFile{"UnclosedKey", "ENGLISH: Hi %s[Name[END]\r\nLOCALIZED: Salut[END]\r\n",
                "Error in localization text at line 1.  Bad string to be localized.  No closing ]  The problem "
                "occured in the line with english text of \"Hi %s[Name\""},
        BadFile{"LastOfSeveral", "Garbage\r\nENGLISH: A[END]\r\nLOCALIZED: B[END]\r\nENGLISH: C\r\n",
                "Error in localization text at line 4.  Could not find the \"[END]\" in the english version of the "
                "string\""}),
    [](const testing::TestParamInfo<BadFile>& caseInfo) { return std::string(caseInfo.param.name); });

TEST(LocalizationTokens, OnlyCountPercentSignsBeforeAStop)
{
    CLocalizationTable table;
    // "%d" at the end, "%%" inside a word and a lone "%" at the very end are no tokens.
    EXPECT_EQ(ReadFromMemory(table,
                             "ENGLISH: Score %d[END]\r\nLOCALIZED: Points[END]\r\n"
                             "ENGLISH: 50%off[END]\r\nLOCALIZED: moins[END]\r\n"
                             "ENGLISH: 100%[END]\r\nLOCALIZED: cent[END]\r\n"
                             "ENGLISH: Got %d, %s.[END]\r\nLOCALIZED: %s, %d.[END]\r\n"),
              "");
    EXPECT_EQ(table.GetCount(), 4);

    const CScopedTokenCheck unchecked(false);
    EXPECT_EQ(ReadFromMemory(table, "ENGLISH: %d points[END]\r\nLOCALIZED: points[END]\r\n"), "");
}

TEST(LocalizationDeathTest, ShowsEveryErrorThenEndsWithStatus255)
{
    // Both messages reach the user; the process ends only after the file.
    const char* text = "ENGLISH: %d left[END]\r\nLOCALIZED: left[END]\r\nENGLISH: Hi[END]\r\nOOPS\r\n";
    EXPECT_EXIT(
        {
            CLocalizationTable table;
            CFile file;
            file.AttachFileBuf(CMemFileBuf::WrapReadOnly(text, uint32_t(std::strlen(text))), FILE_READ);
            table.ReadEntries(file);
        },
        testing::ExitedWithCode(255),
        "Error in localization text\nError in localization text at line 1\\.  Bad Localization\\.  Localized version "
        "of the string is missing the \"%d\" token  The problem occured in the line with english text of \"%d "
        "left\"\n(.|\n)*Error in localization text\nError in localization text at line 4\\.  Was expecting to find a "
        "line starting with \"LOCALIZED: \" but instead found \"OOPS\"\\.    The problem occured in the line with "
        "english text of \"Hi\"\n$");
}

TEST_F(LocalizationTest, AppendsUntranslatedTextsOnceAndTheyReadBack)
{
    WriteLocal("ENGLISH: Hello[END]\r\nLOCALIZED: Bonjour[END]"); // no line end at the end
    std::vector<std::pair<std::string, const char*>> shown = {
        {"New game", nullptr}, {"Open", "menu"}, {"Two\nlines", nullptr}, {"Score %d, best", nullptr}, {" ", nullptr}};
    {
        CLocalizationTable table;
        ASSERT_TRUE(table.LoadLocalization());
        for (const auto& [text, annotation] : shown) {
            EXPECT_EQ(Translated(table, text.c_str(), annotation), text);
            EXPECT_EQ(Translated(table, text.c_str(), annotation), text);
        }
    }
    const std::string file = ReadLocal();
    EXPECT_EQ(file.find("LOCALIZED: Bonjour[END]\r\nENGLISH: "), 21u); // the missing line end was supplied
    EXPECT_NE(file.find("ENGLISH: New game[END]\r\nLOCALIZED: New game[END]\r\n\r\n"), std::string::npos);
    EXPECT_NE(file.find("ENGLISH: Open[END] (menu)\r\nLOCALIZED: Open[END]\r\n\r\n"), std::string::npos);
    EXPECT_EQ(file.find("New game"), file.rfind("New game") - std::string("New game[END]\r\nLOCALIZED: ").size());

    CLocalizationTable again;
    ASSERT_TRUE(again.LoadLocalization());
    EXPECT_EQ(Translated(again, "Hello"), "Bonjour");
    for (const auto& [text, annotation] : shown) {
        CJString key(text.c_str());
        if (annotation)
            key.AppendFormat("[END] (%s)", annotation);
        const int32_t i = again.FindKey(key);
        ASSERT_GE(i, 0) << text;
        EXPECT_EQ(std::string(again.GetEntry(i).m_Localized.GetString()), text);
    }
    EXPECT_EQ(ReadLocal(), file) << "nothing new to append on the second run";
}

TEST_F(LocalizationTest, KeepsHostileTextsInMemoryOnly)
{
    WriteLocal("ENGLISH: Hello[END]\r\nLOCALIZED: Bonjour[END]\r\n");
    CLocalizationTable table;
    ASSERT_TRUE(table.LoadLocalization());
    const std::string before = ReadLocal();
    const char* hostile[] = {"Cut[END]here",       "Carriage\rreturn", "A\r\nB",     "Name\nENGLISH: x[END]",
                             "Name\nLOCALIZED: x", "Bad %s[key",       "Line\n[END]"};
    for (const char* text : hostile) {
        EXPECT_EQ(Translated(table, text), text);
        EXPECT_GE(table.FindKey(text), 0) << text;
    }
    EXPECT_EQ(Translated(table, "Fine", "note\nENGLISH: x"), "Fine");
    CJString wide(u"\u20AC price");
    table.Translate(wide);
    EXPECT_EQ(ReadLocal(), before);

    CLocalizationTable again;
    EXPECT_TRUE(again.LoadLocalization());
    EXPECT_EQ(again.GetCount(), 8); // Hello, and the seven symbols registered at start-up
}

TEST_F(LocalizationTest, AFileLargerThanAnyTextIsReportedBeforeItIsRead)
{
    // Sparse: the refusal must come from the size, or the test would read a gigabyte.
    WriteLocal("ENGLISH: Options[END]\r\n");
    std::filesystem::resize_file(PathOf("Local.txt"), std::uintmax_t(kMaxStringLength) + 1);
    CLocalizationTable table;
    EXPECT_THROW(table.LoadLocalization(), CFatalErrorException);
}

TEST_F(LocalizationTest, SimulatedTranslationWrapsTexts)
{
    WriteLocal("ENGLISH: Hello[END]\r\nLOCALIZED: Bonjour[END]\r\n");
    WriteBytes(PathOf("SimulateTranslation.txt"), "");
    CLocalizationTable table;
    ASSERT_TRUE(table.LoadLocalization());
    EXPECT_TRUE(table.IsSimulatingTranslation());
    EXPECT_EQ(Translated(table, "Hello"),
              "\xCA\x6C\x20"
              "Bonjour\xD5");
    EXPECT_EQ(Translated(table, "X"), "X");
    CJString plain("Hello");
    table.Translate(plain, nullptr, LocalizedDecoration::Suppressed);
    EXPECT_EQ(std::string(plain.GetString()), "Bonjour");
}

TEST_F(LocalizationTest, RebuildsTheCreditsCacheFromTheLooseText)
{
    const std::string credits = "Made by\r\nThe Team\r\n\r\nThanks to everyone\r\n";
    WriteBytes(PathOf("-Credits.txt"), credits);
    CLocalizationTable table;
    EXPECT_FALSE(table.LoadLocalization()); // no "Local.txt": texts stay English, nothing is written
    EXPECT_EQ(Translated(table, "Hello"), "Hello");
    EXPECT_FALSE(DiskHas(PathOf("Local.txt")));
    const std::string cache = ReadBytes(PathOf("Cache/Credits.bin"));
    ASSERT_GE(cache.size(), 9u);
    EXPECT_EQ(cache[0], 1);
    CJString text;
    ASSERT_TRUE(LoadCreditsCache(text));
    EXPECT_EQ(std::string(text.GetString()), credits);

    // Without the loose text the cache is left as it is.
    std::remove(PathOf("-Credits.txt").c_str());
    table.LoadLocalization();
    EXPECT_EQ(ReadBytes(PathOf("Cache/Credits.bin")), cache);
}

} // namespace
