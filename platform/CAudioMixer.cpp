#include "platform/CAudioMixer.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace plat {

namespace {

constexpr uint32_t kPlaying = 1;
constexpr uint32_t kLooping = 2;
constexpr uint32_t kFlagMask = 0xFF;
constexpr uint32_t kSerialStep = 0x100; // every owner change bumps it, so a stale mixer update fails
constexpr uint32_t kChunkFrames = 512;
constexpr uint32_t kGainBits = 21;
constexpr uint64_t kGainMask = (uint64_t(1) << kGainBits) - 1;

uint64_t PackGains(uint32_t left, uint32_t right, uint32_t mono)
{
    return uint64_t(left) | (uint64_t(right) << kGainBits) | (uint64_t(mono) << (2 * kGainBits));
}

template <int Bits>
int32_t SampleAt(const uint8_t* data, uint32_t index)
{
    if constexpr (Bits == 8) {
        return (int32_t(data[index]) - 128) * 256;
    } else {
        const uint8_t* p = data + 2 * size_t(index);
        return int32_t(int16_t(uint16_t(p[0] | (p[1] << 8))));
    }
}

int32_t Interpolate(int32_t s0, int32_t s1, int32_t fraction)
{
    return s0 + (((s1 - s0) * fraction) >> 15);
}

struct MixArgs {
    const uint8_t* data;
    uint32_t frames;
    uint64_t step;
    bool loop;
    int32_t gainLeft, gainRight, gainMono;
    int32_t* accum;
    uint32_t count;
};

// Mixes args.count frames from pos; true when a voice that does not loop ran
// out of data (pos then stands at 0).
template <int Bits, int Channels, bool StereoOut>
bool MixFrames(const MixArgs& args, uint64_t& pos)
{
    const uint64_t length = uint64_t(args.frames) << 32;
    int32_t* out = args.accum;
    for (uint32_t i = 0; i < args.count; ++i, out += 2) {
        if (pos >= length) {
            if (!args.loop) {
                pos = 0;
                return true;
            }
            pos %= length;
        }
        const uint32_t index = uint32_t(pos >> 32);
        uint32_t next = index + 1;
        if (next == args.frames)
            next = args.loop ? 0 : index;
        const int32_t fraction = int32_t((pos >> 17) & 0x7FFF);
        pos += args.step;
        int32_t left = Interpolate(SampleAt<Bits>(args.data, index * Channels),
                                   SampleAt<Bits>(args.data, next * Channels), fraction);
        int32_t right = left;
        if constexpr (Channels == 2)
            right = Interpolate(SampleAt<Bits>(args.data, index * 2 + 1), SampleAt<Bits>(args.data, next * 2 + 1),
                                fraction);
        if constexpr (StereoOut) {
            out[0] += (left * args.gainLeft) >> 16;
            out[1] += (right * args.gainRight) >> 16;
        } else {
            const int32_t mono = Channels == 2 ? (left + right) >> 1 : left;
            const int32_t scaled = (mono * args.gainMono) >> 16;
            out[0] += scaled;
            out[1] += scaled;
        }
    }
    return false;
}

using MixFunction = bool (*)(const MixArgs&, uint64_t&);

MixFunction ChooseMix(int bits, int channels, bool stereoOut)
{
    if (bits == 8) {
        if (channels == 1)
            return stereoOut ? &MixFrames<8, 1, true> : &MixFrames<8, 1, false>;
        return stereoOut ? &MixFrames<8, 2, true> : &MixFrames<8, 2, false>;
    }
    if (channels == 1)
        return stereoOut ? &MixFrames<16, 1, true> : &MixFrames<16, 1, false>;
    return stereoOut ? &MixFrames<16, 2, true> : &MixFrames<16, 2, false>;
}

} // namespace

struct CAudioMixer::Voice {
    std::atomic<bool> used{false};
    std::atomic<uint32_t> state{0};    // serial, kPlaying, kLooping
    std::atomic<uint64_t> position{0}; // 32.32 source frames
    std::atomic<uint64_t> step{0};
    std::atomic<uint64_t> gains{0};
    std::atomic<uint32_t> version{0}; // bumped by Unlock: written data reaches the mixer
    // Written by the owner while the voice is silent; published by state.
    const uint8_t* data = nullptr;
    uint32_t frames = 0;
    uint8_t channels = 0;
    uint8_t bits = 0;

    void ChangeState(uint32_t flags)
    {
        uint32_t seen = state.load();
        while (!state.compare_exchange_weak(seen, ((seen + kSerialStep) & ~kFlagMask) | flags)) {}
    }
};

// --- Mixer ---

CAudioMixer::CAudioMixer()
    : m_Voices(new Voice[kMaxVoices])
    , m_Accum(size_t(kChunkFrames) * 2)
{
}

CAudioMixer::~CAudioMixer() = default;

uint32_t CAudioMixer::GainOf(int32_t cdB)
{
    if (cdB <= -10000)
        return 0;
    if (cdB >= 0)
        return 65536;
    return uint32_t(std::lround(65536.0 * std::pow(10.0, double(cdB) / 2000.0)));
}

int32_t CAudioMixer::TakeVoice()
{
    for (uint32_t i = 0; i < kMaxVoices; ++i) {
        bool expected = false;
        if (m_Voices[i].used.compare_exchange_strong(expected, true)) {
            uint32_t high = m_VoiceHigh.load();
            while (high < i + 1 && !m_VoiceHigh.compare_exchange_weak(high, i + 1)) {}
            return int32_t(i);
        }
    }
    return -1;
}

void CAudioMixer::ReleaseVoice(uint32_t voice)
{
    m_Voices[voice].used.store(false);
}

void CAudioMixer::WaitForMixEnd() const
{
    const uint64_t seen = m_MixCount.load();
    if (!(seen & 1))
        return;
    while (m_MixCount.load() == seen)
        std::this_thread::yield();
}

std::unique_ptr<CAudioBuffer> CAudioMixer::CreateBuffer(const PcmFormat& format, uint32_t bytes)
{
    if (!format.IsValid() || bytes == 0 || bytes % format.BlockAlign() != 0)
        return nullptr;
    auto block = std::make_shared<CAudioBuffer::Block>();
    block->bytes.reset(new (std::nothrow) uint8_t[bytes]());
    if (!block->bytes)
        return nullptr;
    const int32_t voice = TakeVoice();
    if (voice < 0)
        return nullptr;
    return std::unique_ptr<CAudioBuffer>(new CAudioBuffer(*this, uint32_t(voice), std::move(block), format, bytes));
}

void CAudioMixer::Render(int16_t* out, uint32_t frames)
{
    const bool stereo = IsStereo();
    while (frames > 0) {
        const uint32_t count = std::min(frames, kChunkFrames);
        int32_t* accum = m_Accum.data();
        std::fill(accum, accum + size_t(count) * 2, 0);
        m_MixCount.fetch_add(1);
        const uint32_t high = m_VoiceHigh.load();
        for (uint32_t i = 0; i < high; ++i)
            MixVoice(m_Voices[i], accum, count, stereo);
        m_MixCount.fetch_add(1);
        for (uint32_t i = 0; i < count * 2; ++i)
            out[i] = int16_t(std::clamp(accum[i], -32768, 32767));
        out += size_t(count) * 2;
        frames -= count;
    }
}

void CAudioMixer::MixVoice(Voice& voice, int32_t* accum, uint32_t frames, bool stereo)
{
    uint32_t state = voice.state.load(std::memory_order_acquire);
    if (!(state & kPlaying))
        return;
    voice.version.load(std::memory_order_acquire);
    uint64_t start = voice.position.load(std::memory_order_acquire);
    const uint64_t gains = voice.gains.load(std::memory_order_relaxed);
    MixArgs args;
    args.data = voice.data;
    args.frames = voice.frames;
    args.step = voice.step.load(std::memory_order_relaxed);
    args.loop = (state & kLooping) != 0;
    args.gainLeft = int32_t(gains & kGainMask);
    args.gainRight = int32_t((gains >> kGainBits) & kGainMask);
    args.gainMono = int32_t((gains >> (2 * kGainBits)) & kGainMask);
    args.accum = accum;
    args.count = frames;
    uint64_t position = start;
    const bool ended = ChooseMix(voice.bits, voice.channels, stereo)(args, position);
    // An owner that moved or stopped the voice meanwhile wins.
    voice.position.compare_exchange_strong(start, position, std::memory_order_acq_rel);
    if (ended)
        voice.state.compare_exchange_strong(state, state & ~kPlaying, std::memory_order_acq_rel);
}

// --- Buffers ---

CAudioBuffer::CAudioBuffer(CAudioMixer& mixer, uint32_t voice, std::shared_ptr<Block> block, const PcmFormat& format,
                           uint32_t bytes)
    : m_Mixer(mixer)
    , m_Voice(voice)
    , m_Block(std::move(block))
    , m_Format(format)
    , m_Bytes(bytes)
{
    CAudioMixer::Voice& v = m_Mixer.m_Voices[m_Voice];
    v.data = m_Block->bytes.get();
    v.frames = bytes / format.BlockAlign();
    v.channels = uint8_t(format.channels);
    v.bits = uint8_t(format.bits);
    v.position.store(0);
    v.ChangeState(0);
    SetFrequency(format.rate);
    PublishGains();
}

CAudioBuffer::~CAudioBuffer()
{
    Stop();
    m_Mixer.WaitForMixEnd();
    m_Mixer.ReleaseVoice(m_Voice);
}

bool CAudioBuffer::Lock(uint32_t offset, uint32_t bytes, uint8_t** part1, uint32_t* size1, uint8_t** part2,
                        uint32_t* size2)
{
    if (offset >= m_Bytes || bytes > m_Bytes)
        return false;
    const uint32_t first = std::min(bytes, m_Bytes - offset);
    *part1 = m_Block->bytes.get() + offset;
    *size1 = first;
    if (part2 && size2) {
        *part2 = bytes > first ? m_Block->bytes.get() : nullptr;
        *size2 = bytes - first;
    } else if (bytes > first) {
        return false;
    }
    return true;
}

void CAudioBuffer::Unlock()
{
    m_Mixer.m_Voices[m_Voice].version.fetch_add(1, std::memory_order_release);
}

void CAudioBuffer::Play(bool loop)
{
    m_Mixer.m_Voices[m_Voice].ChangeState(kPlaying | (loop ? kLooping : 0));
}

void CAudioBuffer::Stop()
{
    m_Mixer.m_Voices[m_Voice].ChangeState(0);
}

bool CAudioBuffer::IsPlaying() const
{
    return (m_Mixer.m_Voices[m_Voice].state.load(std::memory_order_acquire) & kPlaying) != 0;
}

void CAudioBuffer::SetPosition(uint32_t byteOffset)
{
    const uint32_t frame = std::min(byteOffset, m_Bytes) / m_Format.BlockAlign();
    m_Mixer.m_Voices[m_Voice].position.store(uint64_t(frame) << 32);
}

void CAudioBuffer::GetCursors(uint32_t* play, uint32_t* write) const
{
    const CAudioMixer::Voice& v = m_Mixer.m_Voices[m_Voice];
    const uint32_t align = m_Format.BlockAlign();
    const uint32_t frame = uint32_t(v.position.load(std::memory_order_acquire) >> 32) % v.frames;
    const uint32_t playByte = frame * align;
    const uint32_t lead = std::max<uint32_t>(1, m_Format.rate / 100) * align;
    if (play)
        *play = playByte;
    if (write)
        *write = uint32_t((uint64_t(playByte) + lead) % m_Bytes);
}

void CAudioBuffer::SetVolume(int32_t cdB)
{
    m_Volume = std::clamp(cdB, -10000, 0);
    PublishGains();
}

void CAudioBuffer::SetPan(int32_t pan)
{
    m_Pan = std::clamp(pan, -10000, 10000);
    PublishGains();
}

void CAudioBuffer::SetFrequency(uint32_t hz)
{
    m_Mixer.m_Voices[m_Voice].step.store((uint64_t(hz) << 32) / CAudioMixer::kOutputRate);
}

void CAudioBuffer::PublishGains()
{
    const int32_t left = m_Volume - std::max(m_Pan, 0);
    const int32_t right = m_Volume + std::min(m_Pan, 0);
    m_Mixer.m_Voices[m_Voice].gains.store(
        PackGains(CAudioMixer::GainOf(left), CAudioMixer::GainOf(right), CAudioMixer::GainOf(m_Volume)));
}

std::unique_ptr<CAudioBuffer> CAudioBuffer::Duplicate()
{
    const int32_t voice = m_Mixer.TakeVoice();
    if (voice < 0)
        return nullptr;
    return std::unique_ptr<CAudioBuffer>(new CAudioBuffer(m_Mixer, uint32_t(voice), m_Block, m_Format, m_Bytes));
}

} // namespace plat
