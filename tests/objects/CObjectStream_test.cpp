#include "TestClasses.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class ObjectBinary : public testing::Test {
protected:
    void SetUp() override { RegisterTestClasses(); }
};

TEST_F(ObjectBinary, RoundTripsThroughTheBinaryFormWithPatchedReferences)
{
    for (IdMode ids : {IdMode::WithoutIds, IdMode::WithIds}) {
        CTestDerived root;
        root.m_Count = 41;
        root.m_Name = "binary";
        auto* child = new CTestDerived();
        child->m_Label = "kid";
        child->m_Partner = &root;
        root.m_Child = child;
        root.m_Partner = child;
        const std::string bytes = WriteToBinary(&root, ids);
        CTestDerived copy;
        ASSERT_TRUE(ReadFromBinary(&copy, bytes, ids));
        EXPECT_EQ(WriteToText(&copy, ids), WriteToText(&root, ids));
        EXPECT_EQ(WriteToBinary(&copy, ids), bytes);
        if (ids == IdMode::WithIds) {
            EXPECT_EQ(copy.m_Partner, copy.m_Child);
            EXPECT_EQ(static_cast<CTestDerived*>(copy.m_Child)->m_Partner, &copy);
        }
    }
}

TEST_F(ObjectBinary, BeginsWithTheFormatAndClassVersions)
{
    CTestBase object;
    const std::string bytes = WriteToBinary(&object, IdMode::WithoutIds);
    float format, version;
    std::memcpy(&format, bytes.data(), 4);
    std::memcpy(&version, bytes.data() + 4, 4);
    EXPECT_EQ(format, 27.0f);
    EXPECT_EQ(version, CTestBase::SGetClassInfo()->GetVersion());
}

TEST_F(ObjectBinary, OtherFormatsAndClassVersionsAreNotRead)
{
    CTestBase object;
    object.m_Count = 8;
    std::string bytes = WriteToBinary(&object, IdMode::WithoutIds);
    std::string older = bytes;
    const float format26 = 26.0f;
    std::memcpy(older.data(), &format26, 4);
    CTestBase target;
    EXPECT_FALSE(ReadFromBinary(&target, older, IdMode::WithoutIds));
    EXPECT_EQ(target.m_Count, 3);
    std::string changed = bytes;
    const float otherVersion = 1.0f;
    std::memcpy(changed.data() + 4, &otherVersion, 4);
    EXPECT_FALSE(ReadFromBinary(&target, changed, IdMode::WithoutIds));
    EXPECT_EQ(target.m_Count, 3);
    EXPECT_FALSE(ReadFromBinary(&target, bytes.substr(0, 10), IdMode::WithoutIds));
}

size_t FindWord(const std::string& bytes, uint32_t word)
{
    const char le[4] = {char(word), char(word >> 8), char(word >> 16), char(word >> 24)};
    return bytes.find(std::string(le, 4));
}

uint32_t WordAt(const std::string& bytes, size_t at)
{
    uint32_t word = 0;
    std::memcpy(&word, bytes.data() + at, 4);
    return word;
}

TEST_F(ObjectBinary, AnObjectReferencedManyTimesIsListedOnceAtTheEnd)
{
    CTestDerived root;
    auto* child = new CTestDerived();
    auto* grandchild = new CTestDerived();
    root.m_Child = child;
    child->m_Child = grandchild;
    root.m_Partner = &root;
    child->m_Partner = &root;
    grandchild->m_Partner = &root;
    const std::string bytes = WriteToBinary(&root, IdMode::WithIds);
    // Format, the list's location, the root's identity, then its class version.
    const uint32_t location = WordAt(bytes, 4);
    const uint32_t rootIdentity = WordAt(bytes, 8);
    ASSERT_EQ(size_t(location) + 12, bytes.size());
    EXPECT_EQ(WordAt(bytes, location), kBinaryReferenceListMarker);
    EXPECT_EQ(WordAt(bytes, location + 4), 1u);
    EXPECT_EQ(WordAt(bytes, location + 8), rootIdentity);
    CTestDerived copy;
    ASSERT_TRUE(ReadFromBinary(&copy, bytes, IdMode::WithIds));
    EXPECT_EQ(static_cast<CTestDerived*>(static_cast<CTestDerived*>(copy.m_Child)->m_Child)->m_Partner, &copy);
}

TEST_F(ObjectBinary, AReferenceCountTheFileCannotHoldIsRefused)
{
    CTestDerived root;
    auto* child = new CTestDerived();
    root.m_Child = child;
    root.m_Partner = child;
    child->m_Partner = &root;
    const std::string bytes = WriteToBinary(&root, IdMode::WithIds);
    const size_t at = FindWord(bytes, kBinaryReferenceListMarker);
    ASSERT_NE(at, std::string::npos);
    const uint32_t count = WordAt(bytes, at + 4);
    ASSERT_EQ(at + 8 + 4 * size_t(count), bytes.size());
    CTestDerived copy;
    ASSERT_TRUE(ReadFromBinary(&copy, bytes, IdMode::WithIds));
    for (const uint32_t lie : {count + 1, 0x40000000u}) {
        std::string damaged = bytes;
        std::memcpy(damaged.data() + at + 4, &lie, 4);
        CTestDerived target;
        EXPECT_FALSE(ReadFromBinary(&target, damaged, IdMode::WithIds)) << lie;
    }
}

TEST_F(ObjectBinary, ParsesNumbersInCNotation)
{
    EXPECT_EQ(ParseCUnsigned("0x10"), 16u);
    EXPECT_EQ(ParseCUnsigned("010"), 8u);
    EXPECT_EQ(ParseCUnsigned("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseCUnsigned("99999999999"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseCUnsigned("junk"), 0u);
}

} // namespace
