#include "objects/XmlTags.h"

#include <gtest/gtest.h>

namespace {

TEST(XmlTags, ReplaceUnsafeCharactersAndWrapNames)
{
    EXPECT_STREQ(XmlTagName(CJString("It's a ?&b")).GetString(), "It_s_a___b");
    EXPECT_STREQ(XmlOpenTag(CJString("Name")).GetString(), "<Name>");
    EXPECT_STREQ(XmlCloseTag(CJString("Name")).GetString(), "</Name>");
}

} // namespace
