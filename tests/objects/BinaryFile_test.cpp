// Whole files in the binary form inside a compressed block: what a save
// writes, what a read accepts, and that nothing in the file ends the program.
#include "TestClasses.h"

#include "foundation/CompressedBlock.h"

#include "support/TestSupport.h"

#include <cstdlib>
#include <memory>

namespace {

constexpr uint32_t kBinaryFileFlags = kSaveCompressed;

class BinaryFiles : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        RegisterTestClasses();
        RegisterScalarClasses();
    }

    // The uncompressed bytes of a compressed file.
    static std::string Unpack(const std::string& file)
    {
        EXPECT_GE(file.size(), 9u);
        EXPECT_EQ(uint8_t(file[0]), kCompressedBlockMarker);
        const uint32_t size = uint32_t(uint8_t(file[5])) | uint32_t(uint8_t(file[6])) << 8
                              | uint32_t(uint8_t(file[7])) << 16 | uint32_t(uint8_t(file[8])) << 24;
        uint8_t* out = nullptr;
        if (!CFileCompressor::Uncompress(out, size, file.data() + 9, uint32_t(file.size() - 9)))
            return {};
        std::string bytes(reinterpret_cast<char*>(out), size);
        std::free(out);
        return bytes;
    }

    static void Replace(std::string& bytes, const std::string& from, const std::string& to)
    {
        const size_t at = bytes.find(from);
        ASSERT_NE(at, std::string::npos);
        ASSERT_EQ(bytes.find(from, at + 1), std::string::npos) << from << " is not unique";
        bytes.replace(at, from.size(), to);
    }
};

TEST_F(BinaryFiles, ACompressedSaveHoldsTheBinaryRecordAndReadsBack)
{
    CScalarHolder saved;
    saved.m_Count = 41;
    saved.m_Speed = 2.5f;
    saved.m_Kind = GetKindList().Find("Folder/Running");
    const std::string path = PathOf("Saved.dat");
    ASSERT_TRUE(saved.SaveToFile(path.c_str(), kBinaryFileFlags));
    EXPECT_EQ(Unpack(ReadBytes(path)), WriteToBinary(&saved, IdMode::WithoutIds));

    CScalarHolder read;
    CJString error;
    ASSERT_TRUE(read.ReadFromFile(path.c_str(), kBinaryFileFlags, &error)) << error.GetString();
    EXPECT_TRUE(read.IsEqualTo(&saved));

    // A file written without the block (an uncompressed build) reads as it is.
    const std::string plain = PathOf("Plain.dat");
    WriteBytes(plain, WriteToBinary(&saved, IdMode::WithoutIds));
    CScalarHolder fromPlain;
    EXPECT_TRUE(fromPlain.ReadFromFile(plain.c_str(), kBinaryFileFlags));
    EXPECT_TRUE(fromPlain.IsEqualTo(&saved));
}

TEST_F(BinaryFiles, DamagedFilesAreRefusedWithoutEndingTheProgram)
{
    auto derived = std::make_unique<CTestDerived>();
    derived->m_Child = new CTestBase();
    derived->m_Label = "outer";
    const std::string good = WriteToBinary(derived.get(), IdMode::WithoutIds);
    const std::string path = PathOf("Damaged.dat");
    auto refused = [&](const std::string& bytes) {
        WriteBytes(path, bytes);
        CTestDerived read;
        CJString error;
        const bool ok = read.ReadFromFile(path.c_str(), kBinaryFileFlags, &error);
        EXPECT_FALSE(error.IsEmpty() && !ok);
        return !ok;
    };
    EXPECT_FALSE(refused(good));
    EXPECT_TRUE(refused(good + "x")) << "bytes after the object";
    EXPECT_TRUE(refused(good.substr(0, good.size() - 1)));
    std::string unknownClass = good;
    Replace(unknownClass, "CTestBase", "CTestBasX");
    EXPECT_TRUE(refused(unknownClass));
    std::string otherVersion = good;
    otherVersion[7] ^= 0x01; // the class version's high byte
    EXPECT_TRUE(refused(otherVersion));
    EXPECT_TRUE(refused(""));

    CTestDerived untouched;
    untouched.m_Size = 5;
    EXPECT_FALSE(untouched.ReadFromFile(PathOf("Missing.dat").c_str(), kBinaryFileFlags));
    EXPECT_EQ(untouched.m_Size, CTestDerived().m_Size) << "a missing file resets the object";
}

TEST_F(BinaryFiles, ANameTheListNoLongerHoldsReadsAsTheDefaultAndKeepsTheRest)
{
    CScalarHolder saved;
    saved.m_Count = 12;
    saved.m_Kind = GetKindList().Find("Idle");
    std::string bytes = WriteToBinary(&saved, IdMode::WithoutIds);
    Replace(bytes, "Idle", "Gone");
    const std::string path = PathOf("Renamed.dat");
    WriteBytes(path, bytes);

    CScalarHolder read;
    read.m_Kind = -7;
    testing::internal::CaptureStderr();
    const bool ok = read.ReadFromFile(path.c_str(), kBinaryFileFlags);
    const std::string log = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(ok);
    EXPECT_EQ(read.m_Kind, GetKindList().Find("Walking"));
    EXPECT_EQ(read.m_Count, 12);
    EXPECT_NE(log.find("\"Gone\""), std::string::npos) << log;
}

} // namespace
