#include "foundation/CDynamicList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Names(CDynamicList& list)
{
    std::vector<std::string> names;
    for (int32_t i = 0; i < list.GetCount(); ++i)
        names.emplace_back(list.GetItemName(i));
    return names;
}

TEST(DynamicList, AddRemoveSwapKeepRecordsInOrder)
{
    CDynamicList list;
    EXPECT_EQ(list.Add("Red"), 0);
    EXPECT_EQ(list.Add(CJString("Green"), 7u), 1);
    EXPECT_EQ(list.Add("Blue", 9u), 2);
    EXPECT_EQ(list.Add(CJString("Black")), 3);
    EXPECT_EQ(list.GetValue(0), 0u);
    EXPECT_TRUE(list.GetItemFlag(0));

    list.Swap(0, 2);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Blue", "Green", "Red", "Black"}));
    EXPECT_EQ(list.GetValue(0), 9u);
    list.RemoveAt(1);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Blue", "Red", "Black"}));
    EXPECT_EQ(list.FindValue(7u), -1);
    EXPECT_EQ(list.FindValue(9u), 0);
    EXPECT_EQ(list.FindValue(0u), 1);

    list.SetItemFlag(1, false);
    EXPECT_FALSE(list.GetItemFlag(1));
    list.SetSecondText(2, CJString("dark"));
    EXPECT_EQ(list.GetSecondText(2).Compare("dark"), 0);
    EXPECT_TRUE(list.GetSecondText(0).IsEmpty());

    EXPECT_EQ(list.GetItemName(3), nullptr);
    EXPECT_EQ(list.GetItemName(-1), nullptr);
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.Add("Again"), 0);
}

TEST(DynamicList, FindIgnoresCaseWithHintAndFileNameFallback)
{
    CDynamicList list;
    list.Add("Sounds/Bell");
    list.Add("bell");
    list.Add("BELL");
    EXPECT_EQ(list.Find("Bell"), 1);
    EXPECT_EQ(list.Find(CJString("bell"), 2), 2);
    EXPECT_EQ(list.Find("bell", 5), 1);
    EXPECT_EQ(list.Find(CJString(u"SOUNDS/BELL")), 0);
    EXPECT_EQ(list.Find("Elsewhere/Bell"), 0);
    EXPECT_EQ(list.Find("Gong"), -1);
}

TEST(DynamicList, CopyTakesNamesAndValues)
{
    CDynamicList source;
    for (uint32_t i = 0; i < 40; ++i)
        source.Add(("Item" + std::to_string(i)).c_str(), i * 3);
    source.SetSecondText(0, CJString("not copied"));
    CDynamicList copy(source);
    ASSERT_EQ(copy.GetCount(), 40);
    EXPECT_EQ(Names(copy), Names(source));
    EXPECT_EQ(copy.GetValue(39), 117u);
    EXPECT_TRUE(copy.GetSecondText(0).IsEmpty());
    // The records are the copy's own.
    copy.GetRecord(0)->m_Name = "Changed";
    EXPECT_STREQ(source.GetItemName(0), "Item0");
}

} // namespace
