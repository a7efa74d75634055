#include "SequenceTestSupport.h"

#include "foundation/CJString.h"
#include "sequences/CSequence.h"
#include "sequences/CTextSubstitutionList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Applied(const CTextSubstitutionList& list, const char* text)
{
    return list.Apply(CJString(text)).GetString();
}

class TextSubstitution : public SequenceFolderTest {};

TEST_F(TextSubstitution, FillsEveryOccurrenceCaseBlindInEightBitText)
{
    CTextSubstitutionList list;
    list.AddText("%s[Year]", CJString("1952"));
    EXPECT_EQ(Applied(list, "Year %s[Year]"), "Year 1952");
    EXPECT_EQ(Applied(list, "%s[Year]/%s[YEAR]/%S[year]"), "1952/1952/1952");
    EXPECT_EQ(Applied(list, "%s[Month]"), "%s[Month]");
    CTextSubstitutionList empty;
    EXPECT_EQ(Applied(empty, "%s[Year]"), "%s[Year]");
}

TEST_F(TextSubstitution, MatchesExactlyInUtf16Text)
{
    CTextSubstitutionList list;
    list.AddText("%s[Name]", CJString("Ada"));
    const CJString wide(u"\u00e9t\u00e9 %s[Name] %s[NAME] \u20ac");
    const CJString out = list.Apply(wide);
    EXPECT_EQ(out.Compare(CJString(u"\u00e9t\u00e9 Ada %s[NAME] \u20ac")), 0);
}

TEST_F(TextSubstitution, EntriesApplyInOrderWithoutExpandingThemselves)
{
    CTextSubstitutionList looping;
    looping.AddText("%s[A]", CJString("x%s[A]"));
    EXPECT_EQ(Applied(looping, "%s[A]"), "x%s[A]");

    CTextSubstitutionList forward;
    forward.AddText("%s[A]", CJString("%s[B]"));
    forward.AddText("%s[B]", CJString("b"));
    EXPECT_EQ(Applied(forward, "%s[A]"), "b");
    CTextSubstitutionList backward;
    backward.AddText("%s[B]", CJString("b"));
    backward.AddText("%s[A]", CJString("%s[B]"));
    EXPECT_EQ(Applied(backward, "%s[A]"), "%s[B]");
}

TEST_F(TextSubstitution, EmptyTokensAreSkipped)
{
    CTextSubstitutionList list;
    list.AddText("", CJString("!"));
    list.AddText("%s[A]", CJString("a"));
    EXPECT_EQ(Applied(list, "x %s[A] y"), "x a y");
}

TEST_F(TextSubstitution, NumbersAndRemoval)
{
    CTextSubstitutionList list;
    list.AddNumber("%s[Cost]", 1234567);
    list.AddNumber("%s[Small]", -42);
    list.AddFloat("%s[Hearts]", 2.5f, 2);
    EXPECT_EQ(Applied(list, "%s[Cost] %s[Small] %s[Hearts]"), "1,234,567 -42 2.50");
    EXPECT_EQ(list.GetCount(), 3u);
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0u);
    list.AddText("%s[Cost]", CJString("free"));
    EXPECT_EQ(Applied(list, "%s[Cost]"), "free");
}

TEST_F(TextSubstitution, ObjectPropertiesBecomeTokens)
{
    CSequence sequence;
    sequence.ResetToDefaults();
    CTextSubstitutionList list;
    list.AddObjectProperties(sequence, "%s[", "]");
    EXPECT_EQ(Applied(list, "%s[Use Every] at %s[Blit Type]"), "1 at Transparent Mask");
    // The binary-only frame count has no name and makes no token.
    EXPECT_EQ(Applied(list, "%s[]"), "%s[]");
}

} // namespace
