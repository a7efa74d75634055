#include "sound/CSoundStreamPump.h"

#include "sound/CSoundDevice.h"
#include "sound/CSoundReader.h"

#include "foundation/CIniSection.h"
#include "foundation/CPerformanceMonitor.h"
#include "platform/CAudioDevice.h"
#include "platform/Debug.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

namespace {

constexpr int32_t kSilent = -10000;
constexpr int32_t kQuietest = -3332;
// Stop passes are immediate; this only bounds a stream that never reports
// stopping.
constexpr int kStopAttempts = 8;

void FillSilence(uint8_t* part, uint32_t size, const plat::PcmFormat& format)
{
    if (part && size)
        std::memset(part, format.bits == 8 ? 0x80 : 0, size);
}

// The pumps whose thread runs. A fatal report ends the process from wherever it
// is: the exit handlers then destroy the audio device while a pump thread
// may still be filling its buffer, so each is stopped first.
std::mutex& RunningPumpsMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<CSoundStreamPump*>& RunningPumps()
{
    static std::vector<CSoundStreamPump*> pumps;
    return pumps;
}

} // namespace

struct CSoundStreamPump::State {
    std::mutex mutex; // a pass, and the main thread's changes to what a pass reads
    std::atomic<bool> playing{false};
    std::atomic<bool> stop{false};
    std::atomic<int32_t> volume{0};
    // Guarded by mutex.
    std::unique_ptr<CSoundReader> reader;
    std::unique_ptr<plat::CAudioBuffer> buffer;
    plat::PcmFormat format;
    uint32_t total = 0;
    uint32_t remaining = 0;
    uint32_t writePosition = 0;
    uint32_t lastPlay = 0;
    int64_t tail = 0;
    bool ended = false;
    bool loop = false;
    // The pump thread.
    std::thread thread;
    std::mutex wakeMutex;
    std::condition_variable wake;
    bool quit = false; // guarded by wakeMutex
};

CSoundStreamPump::CSoundStreamPump(CSoundDevice& device, Threading threading)
    : m_Device(device)
{
    if (threading == Threading::FromSettings)
        m_Threaded = GetOptionsSection().GetInt("Use Threaded Stream", 1) > 0;
    else
        m_Threaded = threading == Threading::Threaded;
    if (m_Device.IsReady())
        m_State = std::make_unique<State>();
}

CSoundStreamPump::~CSoundStreamPump()
{
    Close();
}

bool CSoundStreamPump::HasPumpThread() const
{
    return m_State && m_State->thread.joinable();
}

bool CSoundStreamPump::IsPlaying() const
{
    return m_State && m_State->playing.load();
}

int32_t CSoundStreamPump::GetVolume() const
{
    return m_State ? m_State->volume.load() : 0;
}

void CSoundStreamPump::SetVolume(int32_t cdB)
{
    if (!m_State)
        return;
    m_State->volume.store(cdB);
    // The buffer is replaced only by this thread, so it needs no lock here.
    if (!m_State->buffer)
        return;
    if (cdB < kQuietest)
        m_State->buffer->SetVolume(kSilent);
    else
        m_State->buffer->SetVolume(std::clamp(m_Device.GetMasterAttenuation() + cdB, kSilent, 0));
}

bool CSoundStreamPump::Open(const char* name, uint32_t startOffset, bool loop)
{
    if (!m_State || !name || !*name)
        return false;
    State& state = *m_State;
    Stop();
    state.stop.store(false);
    if (!m_Device.IsReady()) {
        state.stop.store(true);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.reader.reset();
        {
            static CPerformanceMonitor zone("Stream sound");
            CPerformanceMonitorScope timed(zone);
            state.reader = OpenSoundReader(name, kOpenFlags);
        }
        if (!state.reader) {
            state.stop.store(true);
            return false;
        }
        state.format = state.reader->GetFormat();
        state.total = state.reader->GetSize();
        state.remaining = startOffset < state.total ? state.total - startOffset : 0;
        state.loop = loop;
        state.ended = false;
        state.tail = 0;
        state.lastPlay = 0;
        state.buffer.reset();
        state.buffer = m_Device.GetAudio().CreateBuffer(state.format, kRingBytes);
        uint8_t* part = nullptr;
        uint32_t size = 0;
        if (!state.buffer || !state.buffer->Lock(0, kRingBytes, &part, &size, nullptr, nullptr)) {
            state.buffer.reset();
            state.reader.reset();
            state.stop.store(true);
            return false;
        }
        const uint32_t want = std::min(size, state.remaining);
        if (startOffset)
            state.reader->Seek(startOffset);
        const uint32_t read = state.reader->Read(part, want);
        state.remaining -= read;
        if (state.remaining == 0 || read == 0) {
            state.ended = true;
            state.tail = read;
        }
        FillSilence(part + read, size - read, state.format);
        state.buffer->Unlock();
        state.writePosition = read % kRingBytes;
    }
    if (m_Threaded && !m_State->thread.joinable())
        StartThread();
    SetVolume(state.volume.load());
    state.buffer->SetPosition(0);
    state.buffer->Play(true);
    state.playing.store(true);
    return true;
}

void CSoundStreamPump::StartThread()
{
    State& state = *m_State;
    {
        std::lock_guard<std::mutex> lock(state.wakeMutex);
        state.quit = false;
    }
    // Registered after the platform's audio device was made, so it runs
    // before that is destroyed.
    static const bool stopsAtExit = [] {
        RunningPumpsMutex();
        RunningPumps();
        return std::atexit([] {
                   std::vector<CSoundStreamPump*> pumps;
                   {
                       std::lock_guard<std::mutex> lock(RunningPumpsMutex());
                       pumps = RunningPumps();
                   }
                   for (CSoundStreamPump* pump : pumps)
                       if (pump->m_State && pump->m_State->thread.get_id() != std::this_thread::get_id())
                           pump->StopThread();
               }) == 0;
    }();
    (void)stopsAtExit;
    try {
        state.thread = std::thread([this, &state] {
            std::unique_lock<std::mutex> lock(state.wakeMutex);
            while (!state.quit) {
                state.wake.wait_for(lock, std::chrono::milliseconds(kPeriodMs));
                if (state.quit)
                    break;
                lock.unlock();
                Pass();
                lock.lock();
            }
        });
        std::lock_guard<std::mutex> lock(RunningPumpsMutex());
        RunningPumps().push_back(this);
    } catch (const std::system_error&) {
        // Without a thread the stream is pumped from Service.
        plat::DebugOutput("Sound stream: no pump thread, pumping once per frame\n");
        m_Threaded = false;
    }
}

void CSoundStreamPump::StopThread()
{
    if (!m_State || !m_State->thread.joinable())
        return;
    State& state = *m_State;
    {
        std::lock_guard<std::mutex> lock(state.wakeMutex);
        state.quit = true;
    }
    state.wake.notify_all();
    state.thread.join();
    std::lock_guard<std::mutex> lock(RunningPumpsMutex());
    std::vector<CSoundStreamPump*>& pumps = RunningPumps();
    pumps.erase(std::remove(pumps.begin(), pumps.end(), this), pumps.end());
}

void CSoundStreamPump::Stop()
{
    if (!IsPlaying())
        return;
    m_State->stop.store(true);
    for (int i = 0; i < kStopAttempts && IsPlaying(); ++i)
        Service();
    if (IsPlaying()) {
        std::lock_guard<std::mutex> lock(m_State->mutex);
        if (m_State->buffer)
            m_State->buffer->Stop();
        m_State->playing.store(false);
    }
}

void CSoundStreamPump::Service()
{
    if (!m_State)
        return;
    if (!m_Threaded)
        Pass();
    State& state = *m_State;
    if (!state.stop.load())
        return;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        if (!state.reader)
            return;
        PassLocked(state);
    }
    StopThread();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.reader.reset();
}

void CSoundStreamPump::Close()
{
    if (!m_State)
        return;
    Stop();
    StopThread();
    {
        std::lock_guard<std::mutex> lock(m_State->mutex);
        m_State->buffer.reset();
        m_State->reader.reset();
    }
    m_State.reset();
}

void CSoundStreamPump::Pass()
{
    State& state = *m_State;
    std::unique_lock<std::mutex> lock(state.mutex, std::try_to_lock);
    if (!lock.owns_lock())
        return;
    PassLocked(state);
}

void CSoundStreamPump::PassLocked(State& state)
{
    if (!state.playing.load() || !state.buffer)
        return;
    plat::CAudioBuffer& buffer = *state.buffer;
    uint32_t play = 0, write = 0;
    buffer.GetCursors(&play, &write);
    if (state.tail > 0) {
        int64_t played = int64_t(play) - int64_t(state.lastPlay);
        if (played < 0)
            played += kRingBytes;
        state.tail -= played;
    }
    state.lastPlay = play;
    if (state.ended && !state.stop.load()) {
        if (state.loop) {
            state.remaining = state.total;
            state.ended = false;
            state.lastPlay = 0;
            if (state.reader)
                state.reader->Seek(0);
        } else if (state.tail <= 0) {
            state.stop.store(true);
        }
    }
    if (state.stop.load()) {
        buffer.Stop();
        buffer.SetPosition(0);
        state.writePosition = 0;
        state.ended = false;
        state.playing.store(false);
        return;
    }
    if (play >= write)
        return;
    uint32_t free = play - state.writePosition;
    if (state.writePosition > play)
        free = play + kRingBytes - state.writePosition;
    if (free < kRefillBytes)
        return;
    uint8_t *part1 = nullptr, *part2 = nullptr;
    uint32_t size1 = 0, size2 = 0;
    if (!buffer.Lock(state.writePosition, free, &part1, &size1, &part2, &size2))
        return;
    uint32_t written = free;
    if (state.stop.load() || !state.reader) {
        FillSilence(part1, size1, state.format);
        FillSilence(part2, size2, state.format);
    } else {
        const uint32_t read = state.reader->ReadSplit(part1, size1, part2, size2);
        state.remaining -= std::min(read, state.remaining);
        written = read;
        if (state.remaining == 0 || read == 0) {
            if (!state.ended) {
                state.ended = true;
                state.tail = int64_t(read) - int64_t(free) + kRingBytes;
            }
            if (!state.loop) {
                // The rest of the free region plays as silence.
                const uint32_t first = std::min(read, size1);
                FillSilence(part1 + first, size1 - first, state.format);
                const uint32_t second = read > size1 ? read - size1 : 0;
                if (part2)
                    FillSilence(part2 + second, size2 - second, state.format);
                written = free;
            }
        }
    }
    buffer.Unlock();
    state.writePosition = uint32_t((uint64_t(state.writePosition) + written) % kRingBytes);
}
