#pragma once
// The mixer behind every audio device: sound buffers (a block of
// 8-bit unsigned or 16-bit signed PCM that plays once or loops, with a play
// cursor, volume in hundredths of a decibel, pan and frequency), mixed into
// interleaved stereo 16-bit frames at 44100 Hz.
//
// Threads: a buffer is driven by one thread at a time (its owner: the main
// thread, or the stream pump under the stream's lock); Render runs on the
// device's audio thread. Render never allocates and never waits: each voice
// is a slot of atomics, the owner publishes its data before Play, and a
// buffer's destructor waits until no mix that may still read it is running.
//
// Mixing, per output frame and voice: the source position is 32.32 fixed
// point in source frames, advanced by (frequency << 32) / 44100; a sample is
// s0 + (((s1 - s0) * f) >> 15) with f the top 15 bits of the fraction and s1
// the next frame (the first again when looping, s0 at the end otherwise);
// 8-bit samples are (b - 128) << 8. Each channel is scaled by its gain,
// (s * g) >> 16, summed in 32 bits and clamped to 16 bits. Gains are
// round(65536 * 10^(cdB / 2000)), 0 at -10000 and below; a positive pan
// attenuates the left channel by pan hundredths of a decibel, a negative one
// the right. Mono output mixes (L + R) >> 1 of each voice at its unpanned
// gain into both channels.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace plat {

struct PcmFormat {
    uint16_t channels = 0; // 1 or 2
    uint32_t rate = 0;     // frames per second
    uint16_t bits = 0;     // 8 (unsigned) or 16 (signed, little-endian)

    uint32_t BlockAlign() const { return uint32_t(channels) * bits / 8; }
    bool IsValid() const { return (channels == 1 || channels == 2) && (bits == 8 || bits == 16) && rate > 0; }
};

class CAudioMixer;

class CAudioBuffer {
public:
    CAudioBuffer(const CAudioBuffer&) = delete;
    CAudioBuffer& operator=(const CAudioBuffer&) = delete;
    // Stops the voice and returns once the mixer cannot be reading it.
    ~CAudioBuffer();

    // The region of bytes at offset (wrapping at the end) as one or two
    // parts; false when offset or bytes lie outside the buffer.
    bool Lock(uint32_t offset, uint32_t bytes, uint8_t** part1, uint32_t* size1, uint8_t** part2, uint32_t* size2);
    // Publishes what was written through Lock to the mixer.
    void Unlock();

    void Play(bool loop);
    void Stop();
    bool IsPlaying() const;
    // Byte offsets; the play cursor is the next frame the mixer takes, the
    // write cursor lies 10 ms of data ahead of it (wrapping).
    void SetPosition(uint32_t byteOffset);
    void GetCursors(uint32_t* play, uint32_t* write) const;

    // Hundredths of a decibel, -10000..0.
    void SetVolume(int32_t cdB);
    // -10000 (left) .. 10000 (right).
    void SetPan(int32_t pan);
    // Frames per second of the data as played.
    void SetFrequency(uint32_t hz);

    // A second buffer over the same data, with its own position, volume,
    // pan and frequency; null when the mixer has no free voice.
    std::unique_ptr<CAudioBuffer> Duplicate();

    const PcmFormat& GetFormat() const { return m_Format; }
    uint32_t GetSize() const { return m_Bytes; }

private:
    friend class CAudioMixer;
    struct Block {
        std::unique_ptr<uint8_t[]> bytes;
    };
    CAudioBuffer(CAudioMixer& mixer, uint32_t voice, std::shared_ptr<Block> block, const PcmFormat& format,
                 uint32_t bytes);
    void PublishGains();

    CAudioMixer& m_Mixer;
    uint32_t m_Voice;
    std::shared_ptr<Block> m_Block; // shared with duplicates
    PcmFormat m_Format;
    uint32_t m_Bytes;
    int32_t m_Volume = 0;
    int32_t m_Pan = 0;
};

class CAudioMixer {
public:
    static constexpr uint32_t kOutputRate = 44100;
    static constexpr uint32_t kMaxVoices = 256;

    CAudioMixer();
    CAudioMixer(const CAudioMixer&) = delete;
    CAudioMixer& operator=(const CAudioMixer&) = delete;
    ~CAudioMixer();

    // Null for an invalid format, a size that is not a whole number of
    // frames (or 0), or when every voice is taken.
    std::unique_ptr<CAudioBuffer> CreateBuffer(const PcmFormat& format, uint32_t bytes);

    // Two channels, or one channel sent to both outputs.
    void SetStereo(bool stereo) { m_Stereo.store(stereo, std::memory_order_relaxed); }
    bool IsStereo() const { return m_Stereo.load(std::memory_order_relaxed); }

    // Mixes frames of interleaved stereo into out (the audio thread).
    void Render(int16_t* out, uint32_t frames);

    // The gain of an attenuation, as the mixer applies it.
    static uint32_t GainOf(int32_t cdB);

private:
    friend class CAudioBuffer;
    struct Voice;

    int32_t TakeVoice();
    void ReleaseVoice(uint32_t voice);
    // Returns once no mix that began before the call is still running.
    void WaitForMixEnd() const;
    void MixVoice(Voice& voice, int32_t* accum, uint32_t frames, bool stereo);

    std::unique_ptr<Voice[]> m_Voices;
    std::atomic<uint32_t> m_VoiceHigh{0}; // voices at and above are unused
    std::atomic<bool> m_Stereo{true};
    std::atomic<uint64_t> m_MixCount{0}; // odd while a mix runs
    std::vector<int32_t> m_Accum;        // the audio thread's, sized once
};

} // namespace plat
