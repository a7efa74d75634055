#include "foundation/CMemFileBuf.h"

#include "FileTestSupport.h"
#include "foundation/CompressedBlock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

TEST(MemFileBuf, GrowsByHalfAgainWithAFloorOfFour)
{
    CMemFileBuf buffer;
    buffer.Write("0123456789", 10);
    EXPECT_EQ(buffer.GetCapacity(), 10u);
    buffer.Write("a", 1);
    EXPECT_EQ(buffer.GetCapacity(), 15u);
    EXPECT_EQ(buffer.GetSize(), 11);
    CMemFileBuf small;
    small.Write("a", 1);
    EXPECT_EQ(small.GetCapacity(), 4u);
    small.Write("bcde", 4);
    EXPECT_EQ(small.GetCapacity(), 8u);
}

TEST(MemFileBuf, NeverReadsOrHandsOutBytesPastTheEnd)
{
    uint8_t data[4] = {1, 2, 3, 4};
    std::unique_ptr<CMemFileBuf> owner(CMemFileBuf::Wrap(data, 4));
    CMemFileBuf& buffer = *owner;
    uint8_t out[8] = {};
    EXPECT_EQ(buffer.Read(out, 8), 4u);
    EXPECT_EQ(buffer.Read(out, 8), 0u);
    ASSERT_TRUE(buffer.Seek(100));
    EXPECT_EQ(buffer.Read(out, 1), 0u);
    EXPECT_EQ(buffer.ReadInPlace(1), nullptr);
    CJString line;
    EXPECT_FALSE(buffer.ReadLine8(line));
    EXPECT_FALSE(buffer.ReadLineWide(line));
    ASSERT_TRUE(buffer.Seek(1));
    EXPECT_EQ(buffer.ReadInPlace(4), nullptr);
    EXPECT_EQ(buffer.Tell(), 1);
    const uint8_t* bytes = buffer.ReadInPlace(3);
    ASSERT_EQ(bytes, data + 1);
    EXPECT_EQ(buffer.Tell(), 4);
    EXPECT_NE(buffer.ReadInPlace(0), nullptr);
    EXPECT_FALSE(buffer.SeekRelative(-5));
    EXPECT_FALSE(buffer.Seek(-1));
}

TEST(MemFileBuf, ABorrowedBlockNeverGrows)
{
    uint8_t data[4] = {0, 0, 0, 0};
    std::unique_ptr<CMemFileBuf> owner(CMemFileBuf::Wrap(data, 4));
    CMemFileBuf& buffer = *owner;
    ASSERT_TRUE(buffer.Seek(2));
    EXPECT_EQ(buffer.Write("abcdef", 6), 2u);
    EXPECT_EQ(buffer.Write("x", 1), 0u);
    EXPECT_EQ(std::memcmp(data, "\0\0ab", 4), 0);
    EXPECT_EQ(buffer.GetData(), data);
}

TEST(MemFileBuf, FactoriesChooseWhoOwnsTheBlock)
{
    // Adopted: the buffer frees the block (the leak checker would say otherwise).
    auto* block = static_cast<uint8_t*>(std::malloc(3));
    std::memcpy(block, "abc", 3);
    std::unique_ptr<CMemFileBuf> adopted(CMemFileBuf::Adopt(block, 3));
    EXPECT_TRUE(adopted->OwnsData());
    EXPECT_EQ(adopted->Write("defg", 4), 4u) << "an owned block grows";

    // Read-only: writes are refused and the bytes stay as they were.
    const char text[] = "keep";
    std::unique_ptr<CMemFileBuf> readOnly(CMemFileBuf::WrapReadOnly(text, 4));
    EXPECT_FALSE(readOnly->OwnsData());
    EXPECT_EQ(readOnly->Write("XY", 2), 0u);
    CJString line;
    ASSERT_TRUE(readOnly->ReadLine8(line));
    EXPECT_STREQ(line.GetString(), "keep");
    readOnly->CopyFrom(*adopted);
    EXPECT_STREQ(text, "keep");

    // Copied: later changes to the source do not reach the buffer.
    char source[] = "copy";
    std::unique_ptr<CMemFileBuf> copied(CMemFileBuf::Copy(source, 4));
    source[0] = 'X';
    EXPECT_TRUE(copied->OwnsData());
    EXPECT_EQ(std::memcmp(copied->GetData(), "copy", 4), 0);
    std::unique_ptr<CMemFileBuf> empty(CMemFileBuf::Copy(nullptr, 0));
    EXPECT_EQ(empty->GetSize(), 0);
}

TEST(MemFileBuf, WritingPastTheEndFillsTheGapWithZeros)
{
    CMemFileBuf buffer;
    buffer.Write("ab", 2);
    ASSERT_TRUE(buffer.Seek(5));
    buffer.Write("c", 1);
    ASSERT_EQ(buffer.GetSize(), 6);
    EXPECT_EQ(std::memcmp(buffer.GetData(), "ab\0\0\0c", 6), 0);
}

TEST(MemFileBuf, DetachedMemoryBelongsToTheCaller)
{
    CMemFileBuf buffer;
    buffer.Write("kept", 4);
    uint8_t* block = buffer.DetachMemory();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(buffer.GetSize(), 0);
    buffer.Write("new", 3);
    EXPECT_NE(buffer.GetData(), block);
    EXPECT_EQ(std::memcmp(block, "kept", 4), 0);
    std::free(block);
}

TEST(MemFileBuf, CopyCompareAndEmpty)
{
    CMemFileBuf a, b;
    a.Write("same", 4);
    EXPECT_FALSE(a.IsSameContent(b));
    b.CopyFrom(a);
    EXPECT_TRUE(a.IsSameContent(b));
    b.Write("!", 1);
    EXPECT_FALSE(a.IsSameContent(b));
    const uint32_t capacity = b.GetCapacity();
    EXPECT_EQ(b.Empty(), 0);
    EXPECT_EQ(b.GetSize(), 0);
    EXPECT_EQ(b.GetCapacity(), capacity);
}

TEST(MemFileBuf, WideLinesSkipTheMarkAndEndAtCrOrLf)
{
    const char16_t text[] = u"\xFEFF"
                            u"one\r\ntwo\n\rthree";
    uint8_t bytes[sizeof text - 2];
    for (size_t i = 0; i + 1 < sizeof text / 2; ++i) {
        bytes[2 * i] = uint8_t(text[i]);
        bytes[2 * i + 1] = uint8_t(text[i] >> 8);
    }
    std::unique_ptr<CMemFileBuf> owner(CMemFileBuf::Wrap(bytes, sizeof bytes));
    // The same filled on demand in odd steps: units straddle the steps.
    CDemandFileBuf demand(CMemFileBuf::Wrap(bytes, sizeof bytes), 3);
    for (CMemFileBuf* buffer : {owner.get(), static_cast<CMemFileBuf*>(&demand)}) {
        CJString line;
        const char* expected[] = {"one", "two", "", "three"};
        for (const char* want : expected) {
            ASSERT_TRUE(buffer->ReadLineWide(line));
            EXPECT_EQ(line.Compare(want), 0) << want;
        }
        EXPECT_FALSE(buffer->ReadLineWide(line));
    }
}

// Filled in steps of three bytes: lines and line ends across the steps read
// as from the whole block.
TEST(MemFileBuf, ADemandBufferReadsLinesAsTheWholeBlockWould)
{
    const std::string text = "one\r\ntwo\n\r\nthree\r\n" + std::string(100, 'z');
    CDemandFileBuf buffer(CMemFileBuf::Copy(text.data(), uint32_t(text.size())), 3);
    EXPECT_EQ(buffer.GetSize(), int64_t(text.size()));
    CJString line;
    for (const std::string& want :
         {std::string("one"), std::string("two"), std::string(), std::string("three"), text.substr(18)}) {
        ASSERT_TRUE(buffer.ReadLine8(line));
        EXPECT_EQ(line.Compare(want.c_str()), 0) << want;
    }
    EXPECT_FALSE(buffer.ReadLine8(line));
}

// A line longer than a step goes from the source to its string alone, and
// one passed over by its head is never held at all; either reads again after
// a seek back.
TEST(MemFileBuf, ADemandBufferNeverHoldsALongLineInItsBlock)
{
    const std::string text = "short\r\n" + std::string(1000, 'x') + "\r\nafter\r\n";
    CDemandFileBuf buffer(CMemFileBuf::Copy(text.data(), uint32_t(text.size())), 16);
    CJString line;
    ASSERT_TRUE(buffer.ReadLine8(line));
    EXPECT_EQ(line.Compare("short"), 0);
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(buffer.ReadLine8(line));
        EXPECT_EQ(line.Compare(text.substr(7, 1000).c_str()), 0);
        EXPECT_LT(buffer.GetCapacity(), 200u);
        ASSERT_TRUE(buffer.Seek(7));
    }
    EXPECT_EQ(buffer.ReadLine8Head(line, 10), CFileBuf::LineHead::Longer);
    EXPECT_EQ(line.Compare("xxxxxxxxxx"), 0);
    EXPECT_EQ(buffer.ReadLine8Head(line, 10), CFileBuf::LineHead::Whole);
    EXPECT_EQ(line.Compare("after"), 0);
    EXPECT_EQ(buffer.ReadLine8Head(line, 10), CFileBuf::LineHead::End);
    EXPECT_LT(buffer.GetCapacity(), 200u);
}

TEST(MemFileBuf, AnOddTrailingByteIsNoWideCharacter)
{
    uint8_t bytes[3] = {'a', 0, 'b'};
    std::unique_ptr<CMemFileBuf> owner(CMemFileBuf::Wrap(bytes, 3));
    CMemFileBuf& buffer = *owner;
    CJString line;
    ASSERT_TRUE(buffer.ReadLineWide(line));
    EXPECT_EQ(line.Compare("a"), 0);
    EXPECT_FALSE(buffer.ReadLineWide(line));
}

using MemoryLoadTest = CFileFolderTest;

TEST_F(MemoryLoadTest, LoadsWholeFilesAndFailsForMissingOnes)
{
    WriteBytes(PathOf("whole.bin"), std::string("\0\1\2\3", 4));
    CMemFileBuf* buffer = LoadFileToMemory("whole.bin", FILE_READ);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->GetSize(), 4);
    EXPECT_EQ(std::memcmp(buffer->GetData(), "\0\1\2\3", 4), 0);
    delete buffer;
    EXPECT_EQ(LoadFileToMemory("none.bin", FILE_READ), nullptr);

    CFile file;
    ASSERT_TRUE(file.Open("whole.bin", FILE_READ | FILE_IN_MEMORY));
    file.SetInPlace(true);
    EXPECT_TRUE(file.GetInPlace());
    const uint8_t* bytes = file.ReadInPlace(4);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[3], 3);
    EXPECT_EQ(file.ReadInPlace(1), nullptr);
    ASSERT_TRUE(file.Open("whole.bin", FILE_READ));
    file.SetInPlace(true);
    EXPECT_FALSE(file.GetInPlace());
    EXPECT_EQ(file.ReadInPlace(1), nullptr);
}

TEST(CompressedBlock, RoundTripsThroughMemoryAndRefusesLies)
{
    std::string data;
    for (int i = 0; i < 5000; ++i)
        data += char('a' + i % 7);
    CFile file;
    ASSERT_TRUE(file.AttachFileBuf(new CMemFileBuf, FILE_WRITE));
    ASSERT_TRUE(CFileCompressor::WriteCompressed(file, data.data(), uint32_t(data.size()), 9));
    ASSERT_TRUE(file.Seek(0));
    uint32_t size = 0;
    uint8_t* block = CFileCompressor::ReadCompressed(file, size, UINT32_MAX);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), size), data);
    std::free(block);
    // More than the reader can use: refused after the header alone.
    ASSERT_TRUE(file.Seek(0));
    EXPECT_EQ(CFileCompressor::ReadCompressed(file, size, 4999), nullptr);
    EXPECT_EQ(file.GetPosition(), 9);

    // Claiming more or fewer bytes than the stream holds is refused.
    auto* memory = static_cast<CMemFileBuf*>(file.GetFileBuf());
    for (uint32_t claim : {4999u, 5001u, 0xFFFFFFFFu}) {
        ASSERT_TRUE(file.Seek(5));
        file.WriteUint32(claim);
        ASSERT_TRUE(file.Seek(0));
        EXPECT_EQ(CFileCompressor::ReadCompressed(file, size, UINT32_MAX), nullptr) << claim;
    }
    ASSERT_TRUE(memory->Seek(1));
    file.WriteUint32(0x7FFFFFFF); // compressed size beyond the file
    ASSERT_TRUE(file.Seek(0));
    EXPECT_EQ(CFileCompressor::ReadCompressed(file, size, UINT32_MAX), nullptr);

    uint8_t one = 1;
    CFile tiny;
    ASSERT_TRUE(tiny.AttachFileBuf(CMemFileBuf::Wrap(&one, 1), FILE_READ));
    EXPECT_EQ(CFileCompressor::ReadCompressed(tiny, size, UINT32_MAX), nullptr);
}

TEST(CompressedBlock, EmptyDataMakesAValidBlock)
{
    CFile file;
    ASSERT_TRUE(file.AttachFileBuf(new CMemFileBuf, FILE_WRITE));
    ASSERT_TRUE(CFileCompressor::WriteCompressed(file, "", 0, 6));
    ASSERT_TRUE(file.Seek(0));
    uint32_t size = 7;
    uint8_t* block = CFileCompressor::ReadCompressed(file, size, UINT32_MAX);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(size, 0u);
    std::free(block);
}

} // namespace
