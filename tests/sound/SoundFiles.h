#pragma once
// Sound files made by the tests: WAVE files chunk by chunk, IMA ADPCM blocks
// of random bytes with a reference decoding, and Ogg Vorbis through libvorbisenc.

#include <cstdint>
#include <string>
#include <vector>

// A WAVE file as a list of chunks after "RIFF", size, "WAVE".
class CWaveBuilder {
public:
    // A "fmt " chunk of 16 bytes (plus extra bytes when given).
    CWaveBuilder& Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t blockAlign = 0,
                         const std::string& extra = {});
    CWaveBuilder& Chunk(const std::string& id, const std::string& data);
    CWaveBuilder& Data(const std::string& data) { return Chunk("data", data); }
    CWaveBuilder& Fact(uint32_t frames);
    // The RIFF size field, when it should not be the true size.
    CWaveBuilder& RiffSize(uint32_t size);
    // Odd chunks get no pad byte.
    CWaveBuilder& WithoutPadding();
    std::string Build() const;

private:
    std::string m_Chunks;
    bool m_Pad = true;
    bool m_RiffSizeSet = false;
    uint32_t m_RiffSize = 0;
};

std::string Le16(uint16_t value);
std::string Le32(uint32_t value);
// 16-bit samples as little-endian bytes.
std::string Pcm16(const std::vector<int16_t>& samples);

// count frames of a sine of the given period in frames, interleaved over
// channels (channel c shifted by a quarter period times c).
std::vector<int16_t> Sine(uint32_t frames, uint16_t channels, double period, double amplitude);

struct ImaAdpcm {
    std::string data;             // whole blocks
    std::vector<int16_t> decoded; // what a decoder gives for every frame of the blocks
    uint16_t blockAlign = 0;
    uint16_t framesPerBlock = 0;
};
// Blocks of blockAlign random bytes for at least frames frames.
ImaAdpcm RandomImaAdpcm(uint32_t frames, uint16_t channels, uint16_t blockAlign);
// A complete IMA ADPCM WAVE file with a "fact" of frames.
std::string ImaWaveFile(const ImaAdpcm& adpcm, uint16_t channels, uint32_t rate, uint32_t factFrames);

// count samples of full-scale noise, the same every time.
std::vector<int16_t> Noise(size_t count);

// Ogg Vorbis of interleaved samples (quality 0..1). Links of a chained
// stream need serials of their own; a long comment makes a large file of a
// short sound.
std::string EncodeVorbis(const std::vector<int16_t>& samples, uint16_t channels, uint32_t rate, float quality = 0.5f,
                         int serial = 1234, size_t commentBytes = 0);
// The Ogg file with its last page's granule position (the frame count a
// reader takes for the whole stream) replaced and the page's checksum redone.
std::string WithLastGranule(const std::string& ogg, int64_t granule);
// An Ogg page of no packets (27 bytes), its checksum right or wrong.
std::string EmptyOggPage(int serial, uint32_t sequence, bool rightChecksum = true);
