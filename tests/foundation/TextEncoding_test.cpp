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
