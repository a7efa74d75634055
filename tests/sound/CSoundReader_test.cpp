#include "sound/CSoundReader.h"

#include "SoundFiles.h"
#include "foundation/CFile.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

std::string ReadAll(CSoundReader& reader)
{
    std::string bytes(reader.GetSize(), '\x55');
    bytes.resize(reader.Read(bytes.data(), uint32_t(bytes.size())));
    return bytes;
}

std::vector<int16_t> Samples(const std::string& bytes)
{
    std::vector<int16_t> out(bytes.size() / 2);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = int16_t(uint16_t(uint8_t(bytes[2 * i]) | (uint8_t(bytes[2 * i + 1]) << 8)));
    return out;
}

// Counts the bytes a reader takes from its file.
class CCountingFileBuf : public CFileBuf {
public:
    CCountingFileBuf(std::FILE* stream, uint64_t& count, uint64_t* calls)
        : CFileBuf(stream, true)
        , m_Count(count)
        , m_Calls(calls)
    {
    }
    uint32_t Read(void* bytes, uint32_t count) override
    {
        const uint32_t got = CFileBuf::Read(bytes, count);
        m_Count += got;
        if (m_Calls)
            ++*m_Calls;
        return got;
    }

private:
    uint64_t& m_Count;
    uint64_t* m_Calls;
};

class SoundReaderTest : public CTempFolderTest {
protected:
    std::unique_ptr<CSoundReader> Open(const std::string& name, const std::string& bytes)
    {
        WriteBytes(name, bytes);
        return OpenSoundReader(name.c_str(), 0);
    }
    // Adds the bytes the reader takes from the file to read (and its reads to calls).
    std::unique_ptr<CSoundReader> OpenCounting(const std::string& name, const std::string& bytes, uint64_t& read,
                                               uint64_t* calls = nullptr)
    {
        WriteBytes(name, bytes);
        auto file = std::make_unique<CFile>();
        // Opened by name first, so refusals name it.
        if (!file->Open(name.c_str(), FILE_READ))
            return nullptr;
        file->AttachFileBuf(new CCountingFileBuf(std::fopen(PathOf(name).c_str(), "rb"), read, calls), FILE_READ);
        return OpenSoundReader(std::move(file));
    }
};

// --- PCM WAVE files decode to their data bytes exactly ---

struct PcmCase {
    const char* name;
    uint16_t channels;
    uint16_t bits;
    bool extraChunksFirst;
    bool oddChunk;
    bool padded;
};

class PcmWaveTest : public SoundReaderTest, public testing::WithParamInterface<PcmCase> {};

TEST_P(PcmWaveTest, DecodesToTheDataChunk)
{
    const PcmCase& c = GetParam();
    std::string data;
    for (int i = 0; i < 300 * c.channels * c.bits / 8; ++i)
        data += char((i * 37 + 11) & 0xFF);
    CWaveBuilder wave;
    if (!c.padded)
        wave.WithoutPadding();
    if (c.extraChunksFirst)
        wave.Chunk("LIST", std::string(26, 'x')).Chunk("junk", "1234");
    if (c.oddChunk)
        wave.Chunk("odd ", "abc");
    wave.Format(1, c.channels, 22050, c.bits);
    if (c.oddChunk)
        wave.Chunk("odd2", "12345");
    wave.Data(data).Chunk("tail", "after the data");

    auto reader = Open("sound.wav", wave.Build());
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->GetFormat().channels, c.channels);
    EXPECT_EQ(reader->GetFormat().bits, c.bits);
    EXPECT_EQ(reader->GetFormat().rate, 22050u);
    EXPECT_EQ(reader->GetSize(), data.size());
    EXPECT_EQ(ReadAll(*reader), data);
    EXPECT_EQ(reader->Read(data.data(), 10), 0u) << "nothing after the end";
}

INSTANTIATE_TEST_SUITE_P(Layouts, PcmWaveTest,
                         testing::Values(PcmCase{"Mono8", 1, 8, false, false, true},
                                         PcmCase{"Stereo8", 2, 8, false, false, true},
                                         PcmCase{"Mono16", 1, 16, false, false, true},
                                         PcmCase{"Stereo16", 2, 16, false, false, true},
                                         PcmCase{"ExtraChunksBeforeFormat", 2, 16, true, false, true},
                                         PcmCase{"OddChunksPadded", 1, 8, true, true, true},
                                         PcmCase{"OddChunksUnpadded", 1, 16, true, true, false}),
                         [](const testing::TestParamInfo<PcmCase>& testInfo) { return testInfo.param.name; });

TEST_F(SoundReaderTest, PositionsCountDecodedBytesFromTheFirstSample)
{
    std::string data;
    for (int i = 0; i < 400; ++i)
        data += char(i);
    auto reader = Open("a.wav", CWaveBuilder().Chunk("LIST", "12345678").Format(1, 1, 8000, 8).Data(data).Build());
    ASSERT_TRUE(reader);
    char byte[2];
    ASSERT_TRUE(reader->Seek(100));
    EXPECT_EQ(reader->Tell(), 100u);
    ASSERT_EQ(reader->Read(byte, 2), 2u);
    EXPECT_EQ(std::string(byte, 2), data.substr(100, 2));
    ASSERT_TRUE(reader->Seek(0));
    ASSERT_EQ(reader->Read(byte, 1), 1u);
    EXPECT_EQ(byte[0], data[0]) << "a restart reads samples, not the header";
}

TEST_F(SoundReaderTest, SplitReadsFillTheFirstPartThenTheSecond)
{
    std::string data;
    for (int i = 0; i < 100; ++i)
        data += char(i);
    auto reader = Open("a.wav", CWaveBuilder().Format(1, 1, 8000, 8).Data(data).Build());
    ASSERT_TRUE(reader);
    std::string first(30, '?'), second(90, '?');
    EXPECT_EQ(reader->ReadSplit(first.data(), 30, second.data(), 90), 100u);
    EXPECT_EQ(first, data.substr(0, 30));
    EXPECT_EQ(second.substr(0, 70), data.substr(30));
}

TEST_F(SoundReaderTest, DataChunkLongerThanTheFileIsCutToTheBytesPresent)
{
    std::string file = CWaveBuilder().Format(1, 2, 44100, 16).Data(std::string(64, 'a')).Build();
    file.replace(file.size() - 64 - 4, 4, Le32(0x7FFFFFF0)); // the data chunk's size
    auto reader = Open("big.wav", file);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->GetSize(), 64u);
    EXPECT_EQ(ReadAll(*reader), std::string(64, 'a'));
}

// --- Files no reader takes ---

struct RefusedCase {
    const char* name;
    std::string bytes;
};

class RefusedSoundTest : public SoundReaderTest, public testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedSoundTest, YieldsNoReaderAndNamesTheFile)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Open("bad.wav", GetParam().bytes));
    EXPECT_THAT(testing::internal::GetCapturedStderr(), testing::HasSubstr("bad.wav: "));
}

const std::string kSomeData(32, '\x10');

INSTANTIATE_TEST_SUITE_P(
    BadFiles, RefusedSoundTest,
    testing::Values(
        RefusedCase{"Empty", ""}, RefusedCase{"NotASound", "hello, this is text and no sound at all"},
        RefusedCase{"NoFormat", CWaveBuilder().Data(kSomeData).Build()},
        RefusedCase{"NoData", CWaveBuilder().Format(1, 1, 8000, 8).Build()},
        RefusedCase{"ShortFormat", CWaveBuilder().Chunk("fmt ", std::string(14, '\1')).Data(kSomeData).Build()},
        RefusedCase{"NoChannels", CWaveBuilder().Format(1, 0, 8000, 8, 1).Data(kSomeData).Build()},
        RefusedCase{"ThreeChannels", CWaveBuilder().Format(1, 3, 8000, 16).Data(kSomeData).Build()},
        RefusedCase{"TwentyFourBits", CWaveBuilder().Format(1, 1, 8000, 24).Data(kSomeData).Build()},
        RefusedCase{"NoRate", CWaveBuilder().Format(1, 1, 0, 16).Data(kSomeData).Build()},
        RefusedCase{"CompressedWithoutFact",
                    CWaveBuilder().Format(0x11, 1, 8000, 4, 36, Le16(2) + Le16(65)).Data(kSomeData).Build()},
        RefusedCase{"FactFarBeyondTheData",
                    CWaveBuilder()
                        .Format(0x11, 1, 8000, 4, 36, Le16(2) + Le16(65))
                        .Fact(1000000000)
                        .Data(std::string(36, '\0'))
                        .Build()},
        RefusedCase{"RiffSizeEndsBeforeTheData",
                    CWaveBuilder().Format(1, 1, 8000, 8).Data(kSomeData).RiffSize(20).Build()},
        // "RIFF" without "WAVE" goes to the Ogg reader, which refuses it.
        RefusedCase{"RiffButNotWave", "RIFF" + Le32(40) + "AVI " + std::string(40, '\0')},
        RefusedCase{"TruncatedOgg", std::string("OggS") + std::string(60, '\0')}),
    [](const testing::TestParamInfo<RefusedCase>& testInfo) { return testInfo.param.name; });

// --- Compressed WAVE through the platform's decoder ---

struct ImaCase {
    const char* name;
    uint16_t channels;
    int32_t factDelta; // frames of "fact" beyond (or short of) the encoded input
};

class ImaWaveTest : public SoundReaderTest, public testing::WithParamInterface<ImaCase> {};

TEST_P(ImaWaveTest, DecodesAsTheReferenceDecoderCutOrPaddedToTheFactCount)
{
    const ImaCase& c = GetParam();
    const uint32_t frames = 1000;
    const ImaAdpcm adpcm = RandomImaAdpcm(frames, c.channels, uint16_t(256 * c.channels));
    const uint32_t fact = uint32_t(int32_t(frames) + c.factDelta);
    auto reader = Open("ima.wav", ImaWaveFile(adpcm, c.channels, 11025, fact));
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->GetFormat().bits, 16);
    EXPECT_EQ(reader->GetFormat().channels, c.channels);
    EXPECT_EQ(reader->GetFormat().rate, 11025u);
    ASSERT_EQ(reader->GetSize(), fact * c.channels * 2);
    const std::vector<int16_t> decoded = Samples(ReadAll(*reader));
    ASSERT_EQ(decoded.size(), size_t(fact) * c.channels);
    for (size_t i = 0; i < decoded.size(); ++i) {
        const int16_t expected = i < adpcm.decoded.size() ? adpcm.decoded[i] : 0;
        ASSERT_EQ(decoded[i], expected) << "sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Adpcm, ImaWaveTest,
                         testing::Values(ImaCase{"MonoCutToFact", 1, 0}, ImaCase{"StereoCutToFact", 2, 0},
                                         ImaCase{"MonoPaddedToFact", 1, 600}),
                         [](const testing::TestParamInfo<ImaCase>& testInfo) { return testInfo.param.name; });

// Data shorter than one block decodes to nothing: all of "fact" is silence.
TEST_F(SoundReaderTest, ImaDataThatDecodesToNothingIsSilence)
{
    const ImaAdpcm adpcm = RandomImaAdpcm(500, 1, 256);
    ImaAdpcm partial = adpcm;
    partial.data = adpcm.data.substr(0, 3);
    auto reader = Open("ima.wav", ImaWaveFile(partial, 1, 11025, 10));
    ASSERT_TRUE(reader);
    EXPECT_EQ(ReadAll(*reader), std::string(20, '\0'));
}

// --- Ogg Vorbis ---

struct VorbisCase {
    const char* name;
    uint16_t channels;
    uint32_t rate;
    const char* fileName;
};

class VorbisTest : public SoundReaderTest, public testing::WithParamInterface<VorbisCase> {};

// Vorbis is lossy: the decoded tone stays within 2% (RMS) of full scale of
// the encoder's input, and keeps its exact length.
TEST_P(VorbisTest, DecodesCloseToTheEncodersInput)
{
    const VorbisCase& c = GetParam();
    const uint32_t frames = 20000;
    const std::vector<int16_t> input = Sine(frames, c.channels, 100.0, 0.5);
    auto reader = Open(c.fileName, EncodeVorbis(input, c.channels, c.rate));
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->GetFormat().channels, c.channels);
    EXPECT_EQ(reader->GetFormat().rate, c.rate);
    EXPECT_EQ(reader->GetFormat().bits, 16);
    ASSERT_EQ(reader->GetSize(), frames * c.channels * 2u);
    const std::vector<int16_t> decoded = Samples(ReadAll(*reader));
    ASSERT_EQ(decoded.size(), input.size());
    double squares = 0;
    for (size_t i = 0; i < input.size(); ++i)
        squares += std::pow(double(decoded[i]) - input[i], 2);
    EXPECT_LT(std::sqrt(squares / double(input.size())), 0.02 * 32768);
}

INSTANTIATE_TEST_SUITE_P(Streams, VorbisTest,
                         testing::Values(VorbisCase{"Mono", 1, 22050, "tone.ogg"},
                                         VorbisCase{"Stereo", 2, 44100, "tone.ogg"},
                                         VorbisCase{"OggNamedWav", 1, 44100, "tone.wav"}),
                         [](const testing::TestParamInfo<VorbisCase>& testInfo) { return testInfo.param.name; });

TEST_F(SoundReaderTest, VorbisSeeksToDecodedBytePositions)
{
    const std::vector<int16_t> input = Sine(8000, 2, 64.0, 0.5);
    auto reader = Open("seek.ogg", EncodeVorbis(input, 2, 44100));
    ASSERT_TRUE(reader);
    const std::string whole = ReadAll(*reader);
    ASSERT_TRUE(reader->Seek(4000));
    EXPECT_EQ(reader->Tell(), 4000u);
    std::string part(400, '\0');
    ASSERT_EQ(reader->Read(part.data(), 400), 400u);
    EXPECT_EQ(part, whole.substr(4000, 400));
}

// The decoder's search for the last page reads back from the end a chunk
// further each time: after junk it must start at the last page, so opening
// reads about the file once, and junk of more than the megabyte searched is
// refused instead of read through.
TEST_F(SoundReaderTest, VorbisFollowedByJunkIsOpenedWithoutSearchingTheJunk)
{
    const std::vector<int16_t> input = Sine(8000, 1, 64.0, 0.5);
    const std::string music = EncodeVorbis(input, 1, 22050);
    const auto open = [&](const char* name, size_t junk, uint64_t& read) {
        return OpenCounting(name, music + std::string(junk, '\x5A'), read);
    };
    uint64_t read = 0;
    auto reader = open("tagged.ogg", 900 << 10, read);
    ASSERT_TRUE(reader);
    EXPECT_LT(read, 2u << 20);
    ASSERT_EQ(reader->GetSize(), 16000u);
    const std::string whole = ReadAll(*reader);
    ASSERT_TRUE(reader->Seek(0));
    EXPECT_EQ(ReadAll(*reader), whole);

    read = 0;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(open("junk.ogg", 4u << 20, read));
    EXPECT_LT(read, 2u << 20);
    // Two players over one folder open it: said once.
    EXPECT_FALSE(Open("junk.ogg", music + std::string(4u << 20, '\x5A')));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_THAT(said, testing::HasSubstr("junk.ogg: holds no Ogg page in its last megabyte"));
    EXPECT_EQ(said.find("junk.ogg"), said.rfind("junk.ogg")) << said;
}

// Music of more than the megabyte searched for its last page (the search
// starts inside a page and skips to the next) whose sound takes more than
// the chunk the decoder reads back from its end at a time, followed by a tag.
TEST_F(SoundReaderTest, LargeVorbisFollowedByATagPlaysWhole)
{
    const std::string music = EncodeVorbis(Noise(2 * 50000), 2, 44100, 1.0f, 1234, 1 << 20);
    ASSERT_GT(music.size(), (1u << 20) + (64u << 10));
    auto plain = Open("plain.ogg", music);
    ASSERT_TRUE(plain);
    const std::string whole = ReadAll(*plain);
    ASSERT_EQ(whole.size(), 200000u);
    uint64_t read = 0;
    auto reader = OpenCounting("tagged.ogg", music + std::string(100 << 10, 'T'), read);
    ASSERT_TRUE(reader);
    EXPECT_LT(read, 3u << 20);
    EXPECT_EQ(reader->GetSize(), 200000u);
    EXPECT_TRUE(ReadAll(*reader) == whole);
    ASSERT_TRUE(reader->Seek(2000));
    std::string part(400, '\0');
    ASSERT_EQ(reader->Read(part.data(), 400), 400u);
    EXPECT_EQ(part, whole.substr(2000, 400));
}

// The decoder finds where a link ends by reading back from the next a chunk
// further each time, and seeks the same way: bytes between two links, or
// before a stray copy of the last page, would cost the square of their size.
// It is given the pages alone, found in one read of the file: links apart
// play as links that follow one another, and a tag before the first page or
// a damaged page loses only those bytes.
TEST_F(SoundReaderTest, VorbisWithBytesBetweenItsPagesPlaysWithoutSearchingThem)
{
    const std::string first = EncodeVorbis(Sine(8000, 1, 64.0, 0.5), 1, 22050, 0.5f, 1);
    const std::string second = EncodeVorbis(Sine(6000, 1, 50.0, 0.5), 1, 22050, 0.5f, 2);
    const std::string firstSound = ReadAll(*Open("first.ogg", first));
    const std::string both = firstSound + ReadAll(*Open("second.ogg", second));
    const size_t last = first.rfind("OggS");
    std::string badPages, emptyPages, broken = first.substr(0, last);
    for (uint32_t i = 0; i < 80000; ++i) {
        badPages += EmptyOggPage(1, i, false);
        emptyPages += i < 20000 ? EmptyOggPage(1, 1000 + i) : "";
        broken += EmptyOggPage(1, 1000 + i) + '!';
    }
    for (const std::string& gap : {std::string(2u << 20, '\0'), badPages})
        for (const std::string& after : {second, first.substr(last)}) {
            uint64_t read = 0;
            auto reader = OpenCounting("apart.ogg", first + gap + after, read);
            ASSERT_TRUE(reader);
            EXPECT_TRUE(ReadAll(*reader) == (after == second ? both : firstSound));
            ASSERT_TRUE(reader->Seek(0));
            EXPECT_EQ(ReadAll(*reader).substr(0, 400), firstSound.substr(0, 400));
            EXPECT_LT(read, 3u << 20);
        }
    auto chained = Open("chained.ogg", first + second);
    ASSERT_TRUE(chained);
    ASSERT_EQ(chained->GetSize(), 28000u);
    // Played from the start, not from the last link.
    EXPECT_TRUE(ReadAll(*chained) == both);

    const std::string noise = EncodeVorbis(Noise(100000), 1, 22050);
    std::string damaged = noise;
    damaged[noise.find("OggS", noise.size() / 2) + 27] ^= 0x40; // a lacing value
    for (const std::string& file : {"ID3\4" + std::string(262, '\0') + noise, damaged}) {
        auto reader = Open("song.ogg", file);
        ASSERT_TRUE(reader);
        EXPECT_EQ(reader->GetSize(), 200000u);
        EXPECT_GT(ReadAll(*reader).size(), 150000u);
    }
    // Pages read one by one would take a read each.
    uint64_t read = 0, calls = 0;
    EXPECT_TRUE(OpenCounting("empty.ogg", first.substr(0, last) + emptyPages + first.substr(last), read, &calls));
    EXPECT_LT(calls, 1000u);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Open("broken.ogg", broken + first.substr(last)));
    // False headers 8 bytes apart, each claiming some 20 kB to be checked,
    // near the end and before it.
    std::string headers;
    for (int i = 0; i < 1 << 15; ++i)
        headers.append("OggS\0\0\xFF\xFF", 8);
    EXPECT_FALSE(Open("late.ogg", first + headers + second));
    EXPECT_FALSE(Open("early.ogg", first + headers + std::string(1 << 17, '\0') + second));
    // Headers claiming 64 kB each, 282 bytes apart, after a hole of zeros
    // larger than all they claim: bytes scanned long before buy no checking.
    std::string far;
    for (int i = 0; i < 1000; ++i)
        far += "OggS" + std::string(22, '\0') + std::string(256, '\xFF');
    WriteBytes("hole.ogg", "");
    std::filesystem::resize_file(PathOf("hole.ogg"), 64 << 20);
    std::ofstream(PathOf("hole.ogg"), std::ios::binary | std::ios::app) << far + second;
    EXPECT_FALSE(OpenSoundReader("hole.ogg", 0));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_THAT(said, testing::HasSubstr("broken.ogg: its Ogg pages lie apart"));
    for (const char* name : {"late.ogg: holds more false Ogg page headers", "early.ogg: holds more false",
                             "hole.ogg: holds more false"})
        EXPECT_THAT(said, testing::HasSubstr(name));
    // A song of a few kB with a damaged page claiming far more than the
    // file plays: its damage is not taken for false headers.
    std::string tune = EncodeVorbis(Sine(8 * 22050, 1, 64.0, 0.5), 1, 22050, 0.5f, 3);
    const size_t audio = tune.find("OggS", tune.find("OggS", tune.find("OggS", 1) + 1) + 1);
    ASSERT_LT(tune.size(), 16000u);
    tune.replace(audio + 26, 256, 256, '\xFF'); // the middle of three audio pages claims 64 kB
    auto reader = Open("short.ogg", tune);
    ASSERT_TRUE(reader);
    EXPECT_GT(ReadAll(*reader).size(), 100000u);
}

// --- What a file may claim ---

// Five seconds of tone (a few pages) whose last page says the sound runs for
// nearly 2^30 frames, 2 GB decoded: more than its few kilobytes can carry,
// so the claim is refused, not believed.
TEST_F(SoundReaderTest, VorbisClaimingMoreFramesThanItsBytesCarryIsRefused)
{
    const std::string tone = EncodeVorbis(Sine(5 * 22050, 1, 40.0, 0.3), 1, 22050);
    const int64_t claim = (int64_t(1) << 30) - (int64_t(1) << 16);
    ASSERT_LT(tone.size() * CSoundReader::kMaxVorbisFramesPerByte, uint64_t(claim));
    EXPECT_FALSE(Open("bomb.ogg", WithLastGranule(tone, claim)));
    // As much as the bytes can carry is still taken.
    const int64_t most = int64_t(tone.size() * CSoundReader::kMaxVorbisFramesPerByte);
    auto reader = Open("long.ogg", WithLastGranule(tone, most));
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->GetSize(), uint32_t(most * 2));
}

struct LengthCase {
    const char* name;
    uint32_t seconds;
    uint32_t extraFrames;
    bool longer;
};

class DecodeLimitTest : public SoundReaderTest, public testing::WithParamInterface<LengthCase> {};

// A reader answers whether its sound is longer than the limit; a compressed
// WAVE, decoded whole at open, is refused there.
TEST_P(DecodeLimitTest, TenMinutesAreTheLongestSoundDecodedWhole)
{
    const LengthCase& c = GetParam();
    const uint32_t rate = 8000;
    const uint32_t frames = c.seconds * rate + c.extraFrames;
    const std::string tone = EncodeVorbis(Sine(10 * rate, 1, 40.0, 0.3), 1, rate);
    ASSERT_GE(tone.size() * CSoundReader::kMaxVorbisFramesPerByte, frames) << "the claim must fit the bytes";
    auto vorbis = Open("claim.ogg", WithLastGranule(tone, frames));
    ASSERT_TRUE(vorbis) << "a stream may be of any length";
    EXPECT_EQ(vorbis->ExceedsTheDecodeLimit(), c.longer);

    // IMA ADPCM: 505 frames per 256-byte block, 8 bytes out per byte in.
    const ImaAdpcm adpcm = RandomImaAdpcm(frames / 8, 1, 256);
    auto wave = Open("claim.wav", ImaWaveFile(adpcm, 1, rate / 8, frames / 8));
    EXPECT_EQ(!wave, c.longer);
}

// At a high rate five minutes already take more bytes than ten minutes of
// 48 kHz stereo: the byte limit holds whatever the rate.
TEST_F(SoundReaderTest, AHighRateBuysNoMoreMemory)
{
    const uint32_t rate = 96000;
    const std::string tone = EncodeVorbis(Sine(2 * rate, 2, 40.0, 0.3), 2, rate);
    const int64_t fiveMinutes = 300 * int64_t(rate);
    ASSERT_GE(tone.size() * CSoundReader::kMaxVorbisFramesPerByte, uint64_t(fiveMinutes + rate));
    auto within = Open("five.ogg", WithLastGranule(tone, fiveMinutes));
    ASSERT_TRUE(within);
    EXPECT_EQ(within->GetSize(), CSoundReader::kMaxDecodedBytes);
    EXPECT_FALSE(within->ExceedsTheDecodeLimit());
    auto beyond = Open("more.ogg", WithLastGranule(tone, fiveMinutes + rate));
    ASSERT_TRUE(beyond);
    EXPECT_TRUE(beyond->ExceedsTheDecodeLimit());
}

INSTANTIATE_TEST_SUITE_P(Limits, DecodeLimitTest,
                         testing::Values(LengthCase{"TenMinutes", 600, 0, false},
                                         LengthCase{"TenMinutesAndASecond", 601, 0, true}),
                         [](const testing::TestParamInfo<LengthCase>& testInfo) { return testInfo.param.name; });

} // namespace
