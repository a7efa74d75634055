#include "platform/CAudioDevice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::string Le16(uint16_t value)
{
    return {char(value & 0xFF), char(value >> 8)};
}

std::string Le32(uint32_t value)
{
    return Le16(uint16_t(value)) + Le16(uint16_t(value >> 16));
}

// A WAVE of a compressed format with its frame count and data.
std::string CompressedWave(uint16_t tag, uint16_t channels, uint16_t bits, uint16_t blockAlign,
                           const std::string& extra, uint32_t frames, const std::string& data)
{
    const std::string format = Le16(tag) + Le16(channels) + Le32(8000) + Le32(8000u * blockAlign) + Le16(blockAlign)
        + Le16(bits) + (extra.empty() ? std::string() : Le16(uint16_t(extra.size())) + extra);
    std::string chunks = "fmt " + Le32(uint32_t(format.size())) + format;
    chunks += "fact" + Le32(4) + Le32(frames);
    chunks += "data" + Le32(uint32_t(data.size())) + data + (data.size() % 2 ? std::string(1, '\0') : "");
    return "RIFF" + Le32(uint32_t(chunks.size() + 4)) + "WAVE" + chunks;
}

struct NothingCase {
    const char* name;
    std::string file;
};

class DecodesToNothing : public testing::TestWithParam<NothingCase> {};

// Data shorter than a frame or a block decodes to no samples, without
// copying from or converting an empty block.
TEST_P(DecodesToNothing, GivesNoSamples)
{
    const std::string& file = GetParam().file;
    plat::PcmFormat format;
    std::vector<uint8_t> pcm(3, 1);
    if (plat::DecodeCompressedWave(reinterpret_cast<const uint8_t*>(file.data()), file.size(), format, pcm)) {
        EXPECT_TRUE(pcm.empty());
        EXPECT_LE(format.channels, 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ShortData, DecodesToNothing,
    testing::Values(NothingCase{"ImaMono", CompressedWave(0x11, 1, 4, 256, Le16(505), 10, "abc")},
                    NothingCase{"ImaThreeChannels", CompressedWave(0x11, 3, 4, 768, Le16(505), 10, "abc")},
                    NothingCase{"MuLawThreeChannels", CompressedWave(7, 3, 8, 3, "", 1, "ab")},
                    NothingCase{"ALawFourChannelsEmpty", CompressedWave(6, 4, 8, 4, "", 1, "")}),
    [](const testing::TestParamInfo<NothingCase>& testInfo) { return testInfo.param.name; });

} // namespace
