#include "TestClasses.h"

#include "foundation/CDynamicList.h"
#include "foundation/CMemFileBuf.h"
#include "objects/CNetMessageStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

std::vector<int32_t> Values(const CPropertyArray<int32_t>& array)
{
    std::vector<int32_t> values;
    for (uint32_t i = 0; i < array.GetCount(); ++i)
        values.push_back(array[i]);
    return values;
}

std::unique_ptr<CTestHolder> ReadArrayHolder(const std::string& body)
{
    CObject* object = ReadFromText("CTestHolder\r\n{\r\n" + body + "}\r\n", IdMode::WithoutIds);
    return std::unique_ptr<CTestHolder>(static_cast<CTestHolder*>(object));
}

struct CountCase {
    const char* label;
    const char* array;
    uint32_t start;
    std::vector<std::pair<uint32_t, int32_t>> steps; // new count, position
    uint32_t capacity;                               // the capacity word, or the count without one
    std::vector<int32_t> values;
};

class ArrayCounts : public testing::TestWithParam<CountCase> {
protected:
    void SetUp() override { RegisterContainerClasses(); }
};

TEST_P(ArrayCounts, FollowTheGrowthAndShrinkPolicy)
{
    const CountCase& c = GetParam();
    CTestHolder holder;
    const CPropertyArrayProperty* property = HolderArray(c.array);
    CPropertyArray<int32_t>& array = std::strcmp(c.array, "Sizes") == 0 ? holder.m_Sizes : holder.m_Exact;
    property->ArrayProperty_SetCount(&holder, c.start, -1, CPropertyArrayProperty::Exact::Yes);
    for (uint32_t i = 0; i < c.start; ++i)
        array[i] = int32_t(100 + i);
    for (const auto& [count, position] : c.steps)
        property->ArrayProperty_SetCount(&holder, count, position);
    EXPECT_EQ(Values(array), c.values);
    EXPECT_EQ(std::strcmp(c.array, "Sizes") == 0 ? array.capacity : array.count, c.capacity);
}

INSTANTIATE_TEST_SUITE_P(
    Array, ArrayCounts,
    testing::Values(CountCase{"AppendDoublesTheCapacity", "Sizes", 3, {{4, -1}}, 8, {100, 101, 102, 0}},
                    CountCase{"InsertBeforeOneMovesTheTailUp", "Sizes", 3, {{4, 1}}, 8, {100, 0, 101, 102}},
                    CountCase{
                        "InsertInPlaceWithinTheCapacity", "Sizes", 3, {{4, -1}, {6, 0}}, 8, {0, 0, 100, 101, 102, 0}},
                    CountCase{"RemoveAtZeroKeepsTheOrder", "Sizes", 3, {{2, 0}}, 3, {101, 102}},
                    CountCase{"SmallCapacitiesNeverShrink", "Sizes", 20, {{1, -1}}, 20, {100}},
                    CountCase{"FarBelowASixteenthTrims", "Sizes", 40, {{1, -1}}, 1, {100}},
                    CountCase{"NoCapacityWordIsExact", "Exact", 3, {{5, -1}, {4, 1}}, 4, {100, 102, 1, 1}}),
    [](const testing::TestParamInfo<CountCase>& caseInfo) { return std::string(caseInfo.param.label); });

// Arrays read into a holder that already has another count.
class ArrayForms : public testing::TestWithParam<std::pair<uint32_t, uint32_t>> {
protected:
    void SetUp() override { RegisterContainerClasses(); }

    static void Fill(CTestHolder& holder, uint32_t count, int32_t seed)
    {
        HolderArray("Sizes")->ArrayProperty_SetCount(&holder, count);
        HolderArray("Exact")->ArrayProperty_SetCount(&holder, count);
        HolderArray("Parts")->ArrayProperty_SetCount(&holder, count);
        for (uint32_t i = 0; i < count; ++i) {
            holder.m_Sizes[i] = seed + int32_t(i);
            holder.m_Exact[i] = -seed;
            if (i % 2 == 0) {
                holder.m_Parts[i] = new CTestDerived();
                holder.m_Parts[i]->m_Count = seed;
            }
        }
    }
    static void ExpectArraysEqual(CTestHolder& a, CTestHolder& b)
    {
        for (const char* name : {"Sizes", "Exact", "Parts"})
            EXPECT_TRUE(HolderArray(name)->IsEqual(&a, &b, HolderArray(name))) << name;
    }
};

TEST_P(ArrayForms, GrowAndShrinkInTextBinaryAndBitStream)
{
    const auto [from, to] = GetParam();
    CTestHolder source, baseline;
    Fill(source, to, 10);
    Fill(baseline, from, 50);

    // Text: the block after the "Name=Array" line, read over the old elements.
    for (const char* name : {"Sizes", "Exact", "Parts"}) {
        auto* buffer = new CMemFileBuf();
        CObjectStream out;
        out.Attach(buffer, FILE_CREATE | FILE_WRITE, IdMode::WithoutIds);
        HolderArray(name)->WriteValueLine(&source, out);
        out.DetachFileBuf();
        buffer->Seek(0);
        CObjectStream in;
        in.Attach(buffer, FILE_READ, IdMode::WithoutIds);
        CJString line;
        ASSERT_TRUE(in.ReadLine(line));
        EXPECT_EQ(line.Compare("Array"), 0);
        CTestHolder target;
        Fill(target, from, 50);
        HolderArray(name)->ReadValue(&target, CJString(name), line, &in, 0);
        EXPECT_TRUE(HolderArray(name)->IsEqual(&target, &source, HolderArray(name))) << name;
    }

    CTestHolder binary;
    Fill(binary, from, 50);
    ASSERT_TRUE(ReadFromBinary(&binary, WriteToBinary(&source, IdMode::WithoutIds), IdMode::WithoutIds));
    ExpectArraysEqual(binary, source);

    CNetMessageStream bits;
    source.WritePacked(bits, &baseline);
    CTestHolder packed;
    Fill(packed, from, 50);
    packed.ReadPacked(bits);
    ExpectArraysEqual(packed, source);
}

INSTANTIATE_TEST_SUITE_P(Array, ArrayForms,
                         testing::Values(std::make_pair(0u, 3u), std::make_pair(2u, 5u), std::make_pair(5u, 1u),
                                         std::make_pair(3u, 0u), std::make_pair(30u, 2u)));

class ArrayText : public testing::Test {
protected:
    void SetUp() override { RegisterContainerClasses(); }
};

TEST_F(ArrayText, WritesTheCountLineOnlyForTwoOrMoreElements)
{
    CTestHolder holder;
    HolderArray("Sizes")->ArrayProperty_SetCount(&holder, 1);
    holder.m_Sizes[0] = 4;
    EXPECT_NE(WriteToText(&holder, IdMode::WithoutIds).find("\tSizes=Array\r\n\t{\r\n\t\tSize=4\r\n\t}\r\n"),
              std::string::npos);
    HolderArray("Sizes")->ArrayProperty_SetCount(&holder, 2);
    EXPECT_NE(WriteToText(&holder, IdMode::WithoutIds).find("\t{\r\n\t\tItem Count=2\r\n\t\tSize=4\r\n\t\tSize=0\r\n"),
              std::string::npos);
}

TEST_F(ArrayText, ElementsReadDecideTheCountAndForeignLinesAppend)
{
    auto holder = ReadArrayHolder("Sizes=Array\r\n{\r\nArray Count=5\r\nSize=1\r\n\r\nSize=2\r\nSize=3\r\n}\r\n"
                                  "Exact=7\r\nValue=8\r\nKind=CTestBase\r\n");
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(Values(holder->m_Sizes), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(Values(holder->m_Exact), (std::vector<int32_t>{7, 8}));
    EXPECT_EQ(holder->m_Kind, CTestBase::SGetClassInfo()); // the blank line did not end the holder
    // A hand-edited count of four billion reserves nothing.
    auto huge = ReadArrayHolder("Sizes=Array\r\n{\r\nItem Count=4000000000\r\nSize=9\r\n}\r\n");
    ASSERT_NE(huge, nullptr);
    EXPECT_EQ(Values(huge->m_Sizes), (std::vector<int32_t>{9}));
}

// A scoped name reaches the array through its text setter: in a file the
// value is an element, never a count to allocate.
TEST_F(ArrayText, ScopedNamesReadAsThePlainNameDoes)
{
    auto holder = ReadArrayHolder("Old::Sizes=2000000000\r\nOld::Sizes=Array\r\n{\r\nSize=5\r\nSize=6\r\n}\r\n"
                                  "Old::Exact=2000000000\r\n");
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(Values(holder->m_Sizes), (std::vector<int32_t>{5, 6}));
    EXPECT_EQ(Values(holder->m_Exact), (std::vector<int32_t>{2000000000}));
}

TEST_F(ArrayText, NamedListArraysHoldOneElementPerItemMatchedByName)
{
    CTestHolder holder;
    ASSERT_EQ(holder.m_Labels.GetCount(), 3u);
    EXPECT_EQ(holder.m_Labels[1].Compare("none"), 0);
    auto read = ReadArrayHolder("Labels=Array\r\n{\r\nBlue=b\r\nRed=r\r\nPurple=p\r\n}\r\nGreen=g\r\n");
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->m_Labels.GetCount(), 3u);
    EXPECT_EQ(read->m_Labels[0].Compare("r"), 0);
    EXPECT_EQ(read->m_Labels[1].Compare("g"), 0);
    EXPECT_EQ(read->m_Labels[2].Compare("b"), 0);
    CTestHolder binary;
    ASSERT_TRUE(ReadFromBinary(&binary, WriteToBinary(read.get(), IdMode::WithoutIds), IdMode::WithoutIds));
    EXPECT_TRUE(binary.IsEqualTo(read.get()));
}

TEST_F(ArrayText, HostileBinaryCountsAreRefused)
{
    CTestHolder holder;
    std::string bytes = WriteToBinary(&holder, IdMode::WithoutIds);
    // Format and class versions, the empty dynamic list, then the count of "Sizes".
    ASSERT_EQ(bytes.substr(12, 4), std::string("\0\0\0\0", 4));
    bytes.replace(12, 4, "\xFF\xFF\xFF\x7F");
    CTestHolder target;
    EXPECT_FALSE(ReadFromBinary(&target, bytes, IdMode::WithoutIds));
    EXPECT_EQ(target.m_Sizes.GetCount(), 0u);
}

} // namespace
