#pragma once
// A long sound played from its file through a 200000-byte ring buffer that a
// pump keeps filled: music and other streams too long to decode whole.
//
// The pump runs every 50 ms on a thread of its own, or, with the setting
// "Use Threaded Stream" (section "Options") at 0, once per Service call on
// the main thread. Each pass reads the play cursor, refills the ring behind
// it once at least 40000 bytes are free, and counts down the data still
// ahead of the cursor after the reader ran dry (the tail), so a stream stops
// after its last byte was played, not when its file ended. A looping stream
// restarts its reader instead.
//
// Threads: everything a pass touches (reader, ring positions, tail, flags
// other than playing and stop) is guarded by one mutex per stream. A pass
// only try-locks it and skips when the main thread holds it; the main thread
// locks it before it replaces or deletes the reader or the buffer. The
// playing and stop flags are atomics, so IsPlaying and a stop request never
// wait. The buffer's volume is set by the main thread alone.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class CSoundDevice;
class CSoundReader;

namespace plat {
class CAudioBuffer;
}

class CSoundStreamPump {
public:
    static constexpr uint32_t kRingBytes = 200000;
    static constexpr uint32_t kRefillBytes = 40000;
    static constexpr uint32_t kPeriodMs = 50;
    static constexpr uint32_t kOpenFlags = 0x410; // own archive handle, the stream reads on its own

    enum class Threading { FromSettings, Threaded, Unthreaded };

    // Does nothing for its whole life when the device was not ready here.
    explicit CSoundStreamPump(CSoundDevice& device, Threading threading = Threading::FromSettings);
    CSoundStreamPump(const CSoundStreamPump&) = delete;
    CSoundStreamPump& operator=(const CSoundStreamPump&) = delete;
    virtual ~CSoundStreamPump();

    // Starts name at a decoded byte offset; false (and stopped) for an empty
    // name, a file no reader opens or no buffer.
    bool Open(const char* name, uint32_t startOffset, bool loop);
    // Returns with the stream stopped.
    void Stop();
    // Once per frame: the pass when unthreaded, and a requested stop.
    void Service();
    // Stops, ends the pump thread and frees everything; the stream then does
    // nothing.
    void Close();
    // Below -3332 silent; else master attenuation + cdB, clamped to -10000..0.
    void SetVolume(int32_t cdB);
    int32_t GetVolume() const;
    bool IsPlaying() const;
    bool IsThreaded() const { return m_Threaded; }
    // Whether the pump thread runs; the process's exit stops it.
    bool HasPumpThread() const;

private:
    struct State;
    void Pass();
    void PassLocked(State& state);
    void StartThread();
    void StopThread();

    CSoundDevice& m_Device;
    bool m_Threaded = true;
    std::unique_ptr<State> m_State;
};
