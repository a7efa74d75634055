#include "TestClasses.h"

#include "foundation/FatalError.h"
#include "objects/CNetMessageStream.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(BitStream, PacksLeastSignificantBitFirst)
{
    CNetMessageStream stream;
    stream.NetStreamWriteBits(5, 3);
    stream.NetStreamWriteBits(100, 7);
    ASSERT_EQ(stream.GetLength(), 2u);
    EXPECT_EQ(stream.GetData()[0], 0x25);
    EXPECT_EQ(stream.GetData()[1], 0x03);
    EXPECT_EQ(stream.NetStreamReadBits(3), 5u);
    EXPECT_EQ(stream.NetStreamReadBits(7), 100u);
    EXPECT_EQ(stream.NetStreamReadBits(6), 0u);
    EXPECT_EQ(stream.NetStreamReadBits(8), 0xCFu); // past the end
    EXPECT_EQ(stream.NetStreamReadBits(8), 0xCFu);
}

TEST(BitStream, RangedValuesTakeTheFewestBits)
{
    const struct {
        int32_t value;
        uint32_t bits;
    } cases[] = {{0, 3}, {1, 3}, {2, 2}, {3, 2}, {4, 3}, {5, 3}};
    for (const auto& c : cases) {
        CNetMessageStream stream;
        stream.WriteRanged(c.value, 0, 5);
        stream.NetStreamWriteBits(1, 1); // marks where the value ended
        const uint8_t byte = stream.GetData()[0];
        EXPECT_EQ((byte >> c.bits) & 1, 1) << c.value;
        EXPECT_EQ(byte >> (c.bits + 1), 0) << c.value;
        EXPECT_EQ(stream.ReadRanged(0, 5), c.value);
    }
    CNetMessageStream stream;
    stream.WriteRanged(7, 7, 7);
    stream.WriteRanged(-3, -10, 5);
    stream.WriteRanged(99, 0, 15); // clamped
    stream.WriteRanged(int32_t(0x80000000), int32_t(0x80000000), 0x7FFFFFFF);
    EXPECT_EQ(stream.ReadRanged(7, 7), 7);
    EXPECT_EQ(stream.ReadRanged(-10, 5), -3);
    EXPECT_EQ(stream.ReadRanged(0, 15), 15);
    EXPECT_EQ(stream.ReadRanged(int32_t(0x80000000), 0x7FFFFFFF), int32_t(0x80000000));
}

TEST(BitStream, BytesAndStringsAreAligned)
{
    CNetMessageStream stream;
    stream.WriteBool(true);
    stream.WriteUint32(0x01020304);
    stream.WriteString("abc");
    stream.WriteString(nullptr);
    const char16_t wide[] = {u'h', 0x263A, 0};
    stream.WriteText(CJString(wide));
    stream.WriteBool(true);
    EXPECT_EQ(stream.GetData()[1], 0x04);
    EXPECT_TRUE(stream.ReadBool());
    EXPECT_EQ(stream.ReadUint32(), 0x01020304u);
    EXPECT_STREQ(stream.ReadString(), "abc");
    EXPECT_STREQ(stream.ReadString(), "");
    CJString text;
    ASSERT_TRUE(stream.ReadText(text));
    EXPECT_EQ(text.GetAt(1), char16_t(0x263A));
    EXPECT_TRUE(stream.ReadBool());
    const uint8_t unterminated[] = {'x', 'y'};
    CNetMessageStream shortStream(unterminated, 2);
    EXPECT_STREQ(shortStream.ReadString(), "");
    EXPECT_EQ(shortStream.ReadByte(), 'x');
}

TEST(BitStream, WideTextCutInsideItsLastUnitFails)
{
    // The buffer is exactly as long as the data: a unit read across its end
    // takes a byte that is not there.
    for (const std::string& bytes : {std::string("\xFF\xFE"
                                                 "a\0\0",
                                                 5),
                                     std::string("\xFF\xFE"
                                                 "a",
                                                 3),
                                     std::string("\xFF\xFE"
                                                 "a\0",
                                                 4)}) {
        CNetMessageStream stream(reinterpret_cast<const uint8_t*>(bytes.data()), uint32_t(bytes.size()));
        CJString text("kept");
        EXPECT_FALSE(stream.ReadText(text)) << bytes.size();
        EXPECT_STREQ(text.GetString(), "kept");
    }
}

class CNames : public CSimpleVirtualArray {
public:
    explicit CNames(std::vector<const char*> names)
        : m_Names(std::move(names))
    {
    }
    const char* GetItemName(int32_t i) override { return m_Names[size_t(i)]; }
    CJString GetItemNameString(int32_t i) override { return CJString(GetItemName(i)); }
    int32_t GetCount() override { return int32_t(m_Names.size()); }

private:
    std::vector<const char*> m_Names;
};

TEST(BitStream, ListValuesCarryTheirTextOnlyOnce)
{
    CNames sent({"Apple", "Pear", "Plum"});
    CNames local({"Plum", "Apple"});
    CNetMessageStream stream;
    stream.NetStreamWriteStringListValue(2, sent);
    const uint32_t afterFirst = stream.GetLength();
    stream.NetStreamWriteStringListValue(2, sent);
    EXPECT_LE(stream.GetLength() - afterFirst, 1u);
    stream.NetStreamWriteStringListValue(0, sent);
    EXPECT_EQ(stream.NetStreamReadStringListValue(local), 0);
    EXPECT_EQ(stream.NetStreamReadStringListValue(local), 0);
    EXPECT_EQ(stream.NetStreamReadStringListValue(local), 1);
}

// A list value that names no item (a name missing at load) must not leave
// the reader waiting for a text the writer never sent.
TEST(BitStream, ListValuesOutsideTheListKeepTheStreamInStep)
{
    for (const std::vector<const char*>& names :
         {std::vector<const char*>{"Apple", "Pear", "Plum"}, std::vector<const char*>{"Apple"}}) {
        CNames sent(names);
        CNames local({"Plum", "Apple"});
        CNetMessageStream stream;
        stream.NetStreamWriteStringListValue(-1, sent);
        stream.NetStreamWriteStringListValue(int32_t(names.size()), sent);
        stream.WriteUint32(0x600DF00D);
        EXPECT_EQ(stream.NetStreamReadStringListValue(local), 1);
        EXPECT_EQ(stream.NetStreamReadStringListValue(local), names.size() == 1 ? 1 : 0);
        EXPECT_EQ(stream.ReadUint32(), 0x600DF00Du);
    }
}

TEST(BitStream, BadStreamsAreFatal)
{
    CNames list({"A"});
    CNetMessageStream huge;
    huge.WriteUint32(50001);
    EXPECT_EXIT(huge.NetStreamReadStringListValue(list), testing::ExitedWithCode(255), "Fatal Not Found Error|");
    CNetMessageStream wide;
    wide.WriteText(CJString(u"\u263A"));
    EXPECT_EXIT(wide.ReadString(), testing::ExitedWithCode(255),
                "Error 368:  A UNICODE string was found where the code was expecting an ASCII string. This is a bug "
                "in ht e programming.");
    CNetMessageStream messages;
    messages.SetMessageTypeList(&list);
    messages.SetCurrentMessageName("Chat");
    EXPECT_EXIT(messages.NetStreamFatalError(&list, "Hello"), testing::ExitedWithCode(255),
                "A message of type \"Hello\" was received but no handler");
    EXPECT_EXIT(messages.NetStreamFatalError(&list, "\x01"), testing::ExitedWithCode(255),
                "Received an improperly formatted message of type \"Chat\"");
}

TEST(BitStream, PackedObjectsRoundTripAndUnchangedPropertiesCostOneBit)
{
    RegisterTestClasses();
    CTestDerived source;
    source.m_Count = -7;
    source.m_Name = "packed";
    source.m_Size = 55;
    source.m_Child = new CTestBase();
    source.m_Child->m_Count = 12;
    CNetMessageStream stream;
    source.WritePacked(stream, nullptr);
    CTestDerived copy;
    copy.ReadPacked(stream);
    EXPECT_EQ(WriteToText(&copy, IdMode::WithoutIds), WriteToText(&source, IdMode::WithoutIds));

    CNetMessageStream delta;
    copy.WritePacked(delta, &source);
    EXPECT_EQ(delta.GetLength(), 1u); // eight properties, one bit each
}

} // namespace
