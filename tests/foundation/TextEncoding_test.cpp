#include "foundation/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

// Every byte survives the trip to UTF-8 and back, the five bytes that
// Windows-1252 leaves unassigned included: a file name made from any 8-bit
// text is found again under the same name.
TEST(TextEncoding, EveryByteRoundTrips)
{
    for (int byte = 1; byte < 256; ++byte) {
        const std::string text(1, char(byte));
        EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(text)), text) << "byte " << byte;
    }
}

// Over-long forms are not characters: a disk name must not turn into a path
// separator or a terminator inside the engine's text.
TEST(TextEncoding, OverlongFormsDoNotDecode)
{
    for (const char* overlong : {"a\xC0\xAF"
                                 "b",
                                 "a\xE0\x80\xAF"
                                 "b",
                                 "a\xF0\x80\x80\xAF"
                                 "b",
                                 "a\xC0\x80"
                                 "b"}) {
        const std::string text = Utf8ToWindows1252(overlong);
        EXPECT_EQ(text.find('/'), std::string::npos) << overlong;
        EXPECT_EQ(text.find('\0'), std::string::npos) << overlong;
        EXPECT_EQ(text.front(), 'a');
        EXPECT_EQ(text.back(), 'b');
    }
    EXPECT_EQ(Utf8ToWindows1252("\xC3\xA9\xE2\x82\xAC"), "\xE9\x80");
}

// A sequence cut short costs its own bytes only; bytes that could not start
// a sequence never decode as one.
TEST(TextEncoding, MalformedBytesReplaceThemselvesOnly)
{
    EXPECT_EQ(Utf8ToWindows1252("\xE4z"), "?z");
    EXPECT_EQ(Utf8ToWindows1252("a\xE2\x82"), "a??");
    EXPECT_EQ(Utf8ToUtf16("\xF8\x80\x80z"), u"\uFFFD\uFFFD\uFFFDz");
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
}
