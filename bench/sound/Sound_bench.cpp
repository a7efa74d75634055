// The audio thread's work and the stream pump's: mixing 32 voices at mixed
// frequencies and formats, and decoding Ogg Vorbis. Each mixer iteration
// mixes one second of output, so its CoreFraction counter is the share of one
// core the mix takes (seconds per second of audio); the WAVE read beside the
// Vorbis decode is its peer.
#include "sound/CSoundReader.h"

#include "SoundFiles.h"
#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"
#include "platform/CAudioMixer.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

void MixThirtyTwoVoices(benchmark::State& state)
{
    plat::CAudioMixer mixer;
    std::vector<std::unique_ptr<plat::CAudioBuffer>> voices;
    const uint32_t frequencies[] = {8000, 11025, 16000, 22050, 30000, 32000, 44100, 48000};
    for (uint32_t i = 0; i < 32; ++i) {
        const plat::PcmFormat format{uint16_t(1 + i % 2), 22050, uint16_t(i % 4 == 3 ? 8 : 16)};
        const uint32_t bytes = 22050 * format.BlockAlign(); // one second at its own rate
        auto buffer = mixer.CreateBuffer(format, bytes);
        uint8_t *p = nullptr, *q = nullptr;
        uint32_t n = 0, m = 0;
        buffer->Lock(0, bytes, &p, &n, &q, &m);
        for (uint32_t b = 0; b < n; ++b)
            p[b] = uint8_t(b * 31 + i);
        buffer->Unlock();
        buffer->SetFrequency(frequencies[i % 8] + i);
        buffer->SetVolume(-int32_t(i) * 30);
        buffer->SetPan(int32_t(i % 5) * 1000 - 2000);
        buffer->Play(true);
        voices.push_back(std::move(buffer));
    }
    std::vector<int16_t> out(2 * 512);
    for (auto _ : state) {
        for (uint32_t done = 0; done < plat::CAudioMixer::kOutputRate; done += 441) // 10 ms pulls
            mixer.Render(out.data(), 441);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["CoreFraction"]
        = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(MixThirtyTwoVoices)->Unit(benchmark::kMillisecond);

constexpr uint32_t kSeconds = 10;

const std::string& VorbisFile()
{
    static const std::string bytes = EncodeVorbis(Sine(44100 * kSeconds, 2, 100.3, 0.5), 2, 44100, 0.5f);
    return bytes;
}

const std::string& WaveFile()
{
    static const std::string bytes
        = CWaveBuilder().Format(1, 2, 44100, 16).Data(Pcm16(Sine(44100 * kSeconds, 2, 100.3, 0.5))).Build();
    return bytes;
}

// Decodes the whole file in the stream pump's 40000-byte pieces.
void DecodeAll(benchmark::State& state, const std::string& file)
{
    std::vector<uint8_t> bytes(file.begin(), file.end());
    std::vector<uint8_t> piece(40000);
    for (auto _ : state) {
        auto source = std::make_unique<CFile>();
        source->AttachFileBuf(CMemFileBuf::WrapReadOnly(bytes.data(), uint32_t(bytes.size())), FILE_READ);
        std::unique_ptr<CSoundReader> reader = OpenSoundReader(std::move(source));
        if (!reader) {
            state.SkipWithError("no reader");
            return;
        }
        while (reader->Read(piece.data(), uint32_t(piece.size())) > 0) {}
        benchmark::DoNotOptimize(piece.data());
    }
    state.counters["TimesRealTime"]
        = benchmark::Counter(double(state.iterations()) * kSeconds, benchmark::Counter::kIsRate);
}

void DecodeVorbis(benchmark::State& state)
{
    DecodeAll(state, VorbisFile());
}
BENCHMARK(DecodeVorbis)->Unit(benchmark::kMillisecond);

void ReadWave(benchmark::State& state)
{
    DecodeAll(state, WaveFile());
}
BENCHMARK(ReadWave)->Unit(benchmark::kMillisecond);

// Opens music packed after a run of zeros (the argument, in MB) with false
// page headers 282 bytes apart, each claiming 64 kB to be checked: the time
// follows the bytes, not what the headers claim.
void OpenAfterZerosAndFalseHeaders(benchmark::State& state)
{
    std::string header(282, '\xFF');
    header.replace(0, 27, std::string("OggS") + std::string(22, '\0') + '\xFF');
    std::vector<uint8_t> bytes(size_t(state.range(0)) << 20);
    for (int i = 0; i < 100000; ++i)
        bytes.insert(bytes.end(), header.begin(), header.end());
    bytes.insert(bytes.end(), VorbisFile().begin(), VorbisFile().end());
    for (auto _ : state) {
        auto source = std::make_unique<CFile>();
        source->AttachFileBuf(CMemFileBuf::WrapReadOnly(bytes.data(), uint32_t(bytes.size())), FILE_READ);
        benchmark::DoNotOptimize(OpenSoundReader(std::move(source)));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(OpenAfterZerosAndFalseHeaders)->Arg(16)->Arg(256)->Unit(benchmark::kMillisecond);

} // namespace
