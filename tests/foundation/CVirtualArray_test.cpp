#include "foundation/CVirtualArray.h"

#include "FileTestSupport.h"
#include "foundation/CurrentLoadFile.h"
#include "foundation/FatalError.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// A list over plain names that records the indexes its searches look at.
class CNameArray : public CSimpleVirtualArray {
public:
    CNameArray() = default;
    explicit CNameArray(std::vector<std::string> names, bool sorted = false)
        : m_Names(std::move(names))
    {
        SetSorted(sorted);
    }

    const char* GetItemName(int32_t i) override
    {
        m_Looked.push_back(i);
        return m_Names[size_t(i)].c_str();
    }
    CJString GetItemNameString(int32_t i) override { return CJString(m_Names[size_t(i)].c_str()); }
    int32_t GetCount() override { return int32_t(m_Names.size()); }
    void GetListName(CJString& out) override { out = m_ListName.c_str(); }
    const char* GetFolderName() override { return m_HasFolder ? m_Folder.c_str() : nullptr; }

    std::vector<std::string> m_Names;
    std::vector<int32_t> m_Looked;
    std::string m_ListName;
    std::string m_Folder;
    bool m_HasFolder = false;
};

// The same list answering file-name searches from its index.
class CIndexedNameArray : public CNameArray {
public:
    explicit CIndexedNameArray(std::vector<std::string> names, bool sorted = false)
        : CNameArray(std::move(names), sorted)
    {
        KeepFileNameIndex();
    }
    void Rename(size_t i, const std::string& name)
    {
        m_Names[i] = name;
        InvalidateFileNameIndex();
    }
    void Erase(size_t i)
    {
        m_Names.erase(m_Names.begin() + std::ptrdiff_t(i));
        InvalidateFileNameIndex();
    }
};

int32_t LinearIndexNoCase(const std::vector<std::string>& names, const std::string& key)
{
    for (size_t i = 0; i < names.size(); ++i)
        if (CompareNameNoCase(names[i].c_str(), key.c_str()) == 0)
            return int32_t(i);
    return -1;
}

std::string RandomName(std::mt19937& random)
{
    // Characters on both sides of the letters, so that case folding decides order.
    static const char kAlphabet[] = "abcXYZ_[^!09/";
    std::string name;
    const int length = 1 + int(random() % 6);
    for (int i = 0; i < length; ++i)
        name += kAlphabet[random() % (sizeof(kAlphabet) - 1)];
    return name;
}

std::string FlipCase(std::string text, std::mt19937& random)
{
    for (char& c : text)
        if (random() % 2 && std::isalpha(static_cast<unsigned char>(c)))
            c = char(std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c));
    return text;
}

TEST(VirtualArray, BinarySearchAgreesWithLinearSearchOnRandomSortedLists)
{
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed);
        std::vector<std::string> names;
        const int count = int(random() % 70);
        for (int i = 0; i < count; ++i)
            names.push_back(RandomName(random));
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return CompareNameNoCase(a.c_str(), b.c_str()) < 0;
        });
        names.erase(std::unique(names.begin(), names.end(),
                                [](const std::string& a, const std::string& b) {
                                    return CompareNameNoCase(a.c_str(), b.c_str()) == 0;
                                }),
                    names.end());
        CNameArray array(names, true);
        const int32_t size = int32_t(names.size());

        for (int k = 0; k < 40; ++k) {
            std::string key
                = (k % 2 == 0 && size > 0) ? FlipCase(names[random() % names.size()], random) : RandomName(random);
            if (k % 7 == 0)
                key = "!" + key;
            const int32_t hint = int32_t(random() % uint32_t(size + 10)) - 5;
            const int32_t expected = LinearIndexNoCase(names, key);
            SCOPED_TRACE("seed " + std::to_string(seed) + " key \"" + key + "\" hint " + std::to_string(hint));
            EXPECT_EQ(array.BinarySearch(key.c_str(), hint), expected);
            EXPECT_EQ(array.BinarySearch(CJString(key.c_str()), hint), expected);
            EXPECT_EQ(array.BinarySearch(key.c_str(), -1), expected);
            if (expected >= 0 && key[0] != '!') {
                // A good hint is answered with one look.
                array.m_Looked.clear();
                EXPECT_EQ(array.BinarySearch(key.c_str(), expected), expected);
                EXPECT_EQ(array.m_Looked.size(), 1u);
            }
        }
    }
}

TEST(VirtualArray, BinarySearchEdges)
{
    CNameArray empty({}, true);
    EXPECT_EQ(empty.BinarySearch("a", 0), -1);
    EXPECT_TRUE(empty.m_Looked.empty());

    CNameArray one({"Only"}, true);
    for (int32_t hint : {-1, 0, 1, 7})
        EXPECT_EQ(one.BinarySearch("only", hint), 0);

    // "!" keys look at index 0 first whatever the hint.
    CNameArray sorted({"!default", "apple", "berry", "cherry", "damson", "elder"}, true);
    for (int32_t hint : {-1, 3, 5}) {
        sorted.m_Looked.clear();
        EXPECT_EQ(sorted.BinarySearch("!DEFAULT", hint), 0);
        EXPECT_EQ(sorted.m_Looked, std::vector<int32_t>{0});
    }
    sorted.m_Looked.clear();
    EXPECT_EQ(sorted.BinarySearch(CJString("!default"), 4), 0);
    EXPECT_EQ(sorted.m_Looked, std::vector<int32_t>{0});
    // Without a hint the first look is the middle.
    sorted.m_Looked.clear();
    sorted.BinarySearch("zzz", -1);
    EXPECT_EQ(sorted.m_Looked.front(), 2);
}

TEST(VirtualArray, FindIgnoresCaseSortedOrNot)
{
    for (bool sorted : {false, true}) {
        CNameArray array({"Alpha", "beta", "GAMMA"}, sorted);
        EXPECT_EQ(array.Find("ALPHA"), 0);
        EXPECT_EQ(array.Find("Beta", 2), 1);
        EXPECT_EQ(array.Find(CJString("gamma")), 2);
        EXPECT_EQ(array.Find(CJString(u"GaMmA")), 2);
        EXPECT_EQ(array.Find("delta"), -1);
        EXPECT_EQ(array.Find(CJString("delta"), 9), -1);
    }
    // Unsorted: a hint that names the key wins over an earlier equal name.
    CNameArray twins({"same", "SAME"});
    EXPECT_EQ(twins.Find("Same", 1), 1);
    EXPECT_EQ(twins.Find("Same", -1), 0);
    EXPECT_EQ(twins.Find("Same", 5), 0);
}

TEST(VirtualArray, FindFallsBackToTheFileNamePart)
{
    for (bool sorted : {false, true}) {
        CNameArray array({"Art/Trees/Oak", "Bar", "Music\\Song"}, sorted);
        EXPECT_EQ(array.Find("Elsewhere/bar"), 1);
        EXPECT_EQ(array.Find("oak"), 0);
        EXPECT_EQ(array.Find(CJString("Other\\Folder/OAK")), 0);
        EXPECT_EQ(array.Find("Sounds/song"), 2);
        EXPECT_EQ(array.Find("Trees"), -1);
        EXPECT_EQ(array.FindByFileName("x/y/Bar"), 1);
        EXPECT_EQ(array.FindByFileName(CJString("Pine")), -1);
    }
    // The first match in index order wins.
    CNameArray twins({"A/Leaf", "B/Leaf"});
    EXPECT_EQ(twins.Find("C/leaf"), 0);
}

TEST(VirtualArray, FileNameIndexAnswersAsTheScan)
{
    const std::vector<std::string> names
        = {"Art/Trees/Oak", "Bar",     "Music\\Song", "b/LEAF",    "a/leaf",     "Folder/", "",
           "x\\y/Caf\xE9",  "CAF\xC9", "under_score", "[bracket]", "Deep/a/b/c", "Oak"};
    const struct {
        const char* key;
        int32_t expected;
    } lookups[] = {
        {"oak", 0},     {"Elsewhere/bar", 1}, {"Sounds\\song", 2},
        {"leaf", 3},    {"Z/Leaf", 3},        {"", 5},
        {"Folder/", 5}, {"caf\xE9", 7},       {"CAF\xE9", 7},
        {"caf\xC9", 8}, {"UNDER_SCORE", 9},   {"a/[BRACKET]", 10},
        {"C", 11},      {"Trees", -1},        {"Oak/", 5},
        {"Bar ", -1},   {"missing", -1},      {"a/b", -1},
    };
    CNameArray scanned(names);
    CIndexedNameArray indexed(names);
    for (const auto& lookup : lookups) {
        SCOPED_TRACE(lookup.key);
        EXPECT_EQ(scanned.FindByFileName(lookup.key), lookup.expected);
        EXPECT_EQ(indexed.FindByFileName(lookup.key), lookup.expected);
        EXPECT_EQ(indexed.FindByFileName(CJString(lookup.key)), lookup.expected);
    }
    // A 16-bit key is compared as the scan compares it.
    CJString wide("Oak");
    wide.Append(CJString(u"\u0100"));
    EXPECT_EQ(indexed.FindByFileName(wide), scanned.FindByFileName(wide));

    // Random lists and keys over an alphabet with separators and characters
    // on both sides of the letters.
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<std::string> randomNames;
        for (int i = 0; i < 40; ++i)
            randomNames.push_back(RandomName(random));
        CNameArray plain(randomNames);
        CIndexedNameArray fast(randomNames);
        for (int k = 0; k < 40; ++k) {
            const std::string key = RandomName(random);
            ASSERT_EQ(fast.FindByFileName(key.c_str()), plain.FindByFileName(key.c_str())) << key;
        }
    }
}

TEST(VirtualArray, FileNameIndexFollowsChanges)
{
    CIndexedNameArray array({"A/Leaf", "B/Stem", "C/Leaf"});
    EXPECT_EQ(array.FindByFileName("leaf"), 0);
    array.Rename(0, "A/Root");
    EXPECT_EQ(array.FindByFileName("leaf"), 2);
    EXPECT_EQ(array.FindByFileName("root"), 0);
    array.Erase(0);
    EXPECT_EQ(array.FindByFileName("leaf"), 1);
    EXPECT_EQ(array.FindByFileName("root"), -1);
}

TEST(VirtualArray, IdentifiersAreReused)
{
    ResetVirtualArrayIdentifiers();
    auto* first = new CNameArray;
    auto* second = new CNameArray;
    auto* third = new CNameArray;
    EXPECT_EQ(first->GetId(), 0);
    EXPECT_EQ(second->GetId(), 1);
    EXPECT_EQ(third->GetId(), 2);
    EXPECT_EQ(second->GetId(), 1);

    delete second;
    CNameArray fourth;
    EXPECT_EQ(fourth.GetId(), 1);

    delete third;
    CNameArray fifth;
    EXPECT_EQ(fifth.GetId(), 2);
    CNameArray sixth;
    EXPECT_EQ(sixth.GetId(), 3);

    // An array that never asked takes nothing and gives nothing back.
    delete new CNameArray;
    CNameArray seventh;
    EXPECT_EQ(seventh.GetId(), 4);
    delete first;
}

TEST(VirtualArray, ItemAddedGoesToTheInstalledBroadcaster)
{
    CNameArray array({"a"});
    EXPECT_FALSE(array.BroadcastItemAdded(0));
    static CVirtualArray* seenArray;
    static int32_t seenIndex;
    const CScopedItemAddedBroadcaster broadcaster([](CVirtualArray& a, int32_t i) {
        seenArray = &a;
        seenIndex = i;
        return true;
    });
    EXPECT_TRUE(array.BroadcastItemAdded(0));
    EXPECT_EQ(seenArray, &array);
    EXPECT_EQ(seenIndex, 0);
}

class MissingItemReport : public testing::Test {
protected:
    void SetUp() override { m_LoadFile = GetCurrentLoadFileName(); }
    void TearDown() override { GetCurrentLoadFileName() = m_LoadFile; }

    template <typename Key>
    CFatalErrorException Report(CVirtualArray& array, const Key& key)
    {
        return FatalReportOf([&] { array.FindOrReportMissing(key); });
    }

    CJString m_LoadFile;
};

const std::string kJStringExplanation
    = "\r\n\r\nThis could mean:"
      "\r\n\r\n   A) You recently got a new file, some art or a new program EXE, possible \"Levels/One.txt\", and the "
      "new file requires some other new file, \"Missing\", to make them work.  You should be able to get these other "
      "files by doing a get.  It is also passable that someone else did not check these files in yet.  If doing a get "
      "doesn't fix the problem them find out who changed \"Levels/One.txt\" and ask them to add the new \"Missing\" "
      "files."
      "\r\n\r\n or"
      "\r\n\r\n   B) You (or someone else) deleted \"Missing\" but it is being used by \"Levels/One.txt\".  You need "
      "to "
      "un-delete \"Missing\" or manually edit the text for \"Levels/One.txt\" to make it no longer reference "
      "\"Missing\"";

TEST_F(MissingItemReport, ListsTheFirstTenItemsThenAnEllipsis)
{
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i)
        names.push_back("Item" + std::to_string(i));
    CNameArray array(names, true);
    array.m_ListName = "Upgrades";
    array.m_Folder = "Data/Upgrades";
    array.m_HasFolder = true;
    GetCurrentLoadFileName() = "Levels/One.txt";

    const CFatalErrorException error = Report(array, CJString("Missing"));
    EXPECT_EQ(error.caption, "Fatal Not Found Error");
    std::string expected = "The game is looking for some data or a file but can not find it.  The item we are "
                           "looking for is \"Missing\" which should be in the \"Upgrades\" list located in the "
                           "\"Data/Upgrades\" folder"
                           "\r\n\r\nThat list does contain the following items but \"Missing\" is missing:";
    for (int i = 0; i < 10; ++i)
        expected += "\r\n " + std::to_string(i) + ") Item" + std::to_string(i);
    expected += "\r\n ...\r\n\r\nThe item was referenced by \"Levels/One.txt\"" + kJStringExplanation;
    EXPECT_EQ(error.message, expected);
}

TEST_F(MissingItemReport, EmptyListAndUnknownSourceWithAnEightBitKey)
{
    CNameArray array;
    array.m_Folder = "Sounds";
    array.m_HasFolder = true;
    GetCurrentLoadFileName() = "";
    const CFatalErrorException error = Report(array, "Missing");
    EXPECT_EQ(error.message,
              "The game is looking for some data or a file but can not find it.  The item we are looking for is "
              "\"Missing\" which should be in the \"Sounds\" folder"
              "\r\n\r\n***List contains no items*** "
              "\r\n\r\nThe item was referenced by an unknown source"
              "\r\n\r\nThis could mean:"
              "\r\n\r\n   A) You recently got a new file, some art or a new proram EXE, possible \"\", and the new "
              "file requires some other new file, \"Missing\", to make them work.  You should be able to get these "
              "other files by doing a get.  It is also possable that someone else did not check these files in yet.  "
              "If doing a get doesn't fix the problem them find out who changed \"\" and ask them to add the new "
              "\"Missing\" files."
              "\r\n\r\n or"
              "\r\n\r\n   B) You (or someone else) deleted \"Missing\" but it is being used by \"\".  You need to "
              "un-delete \"Missing\" or manually edit the text for \"\" to make it no longer reference \"Missing\"");
}

TEST_F(MissingItemReport, FolderIsLeftOutWhenItRepeatsTheListName)
{
    CNameArray array({"One", "Two"});
    array.m_ListName = "Sounds";
    array.m_Folder = "SOUNDS";
    array.m_HasFolder = true;
    GetCurrentLoadFileName() = "Levels/One.txt";
    const std::string message = Report(array, CJString("Missing")).message;
    EXPECT_EQ(message.substr(0, message.find("\r\n")),
              "The game is looking for some data or a file but can not find it.  The item we are looking for is "
              "\"Missing\" which should be in the \"Sounds\" list");
    EXPECT_NE(message.find(":\r\n 0) One\r\n 1) Two\r\n\r\nThe item"), std::string::npos);

    // No list name and an empty folder: neither is mentioned.
    array.m_ListName.clear();
    array.m_Folder.clear();
    const std::string bare = Report(array, "Missing").message;
    EXPECT_EQ(bare.substr(0, bare.find("\r\n")),
              "The game is looking for some data or a file but can not find it.  The item we are looking for is "
              "\"Missing\"");
}

TEST_F(MissingItemReport, AFoundItemIsReturned)
{
    CNameArray array({"a", "b"}, true);
    EXPECT_EQ(array.FindOrReportMissing("B"), 1);
    EXPECT_EQ(array.FindOrReportMissing(CJString("x/a")), 0);
}

TEST(MissingItemReportDeathTest, EndsTheProcessWithStatus255)
{
    CNameArray array({"a"});
    EXPECT_EXIT(array.FindOrReportMissing("Nowhere"), testing::ExitedWithCode(255), "Fatal Not Found Error");
}

} // namespace
