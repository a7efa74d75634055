#pragma once
// A short Ogg Theora video played full screen and modally (the logo clip at
// start-up). The player is a 32-bit frame whose pixels are the current
// picture; its sound is a copy of a sound-list entry started with it.
//
// Timing: frame n is due at n / fps seconds of the player's clock, which
// starts at the first UpdateFrame and does not count a gap of more than a
// second between two readings (a stalled window does not make the video
// jump). A frame decoded after its time is dropped, and each drop lowers the
// decoder's post-processing level by one, down to 0. A frame due more than a
// second ahead is shown at once, so a bogus granule position cannot hang the
// program.
//
// A missing, unreadable or unsupported video is logged and leaves a player
// that is not playing: PlayAll returns at once and start-up goes on.

#include "images/CFrame.h"
#include "shell/CTheoraStream.h"

#include <cstdint>
#include <memory>
#include <string>

class CSound;
class CTheoraPlayer;

// How a player's picture is placed on the screen.
enum class VideoPlacement : int32_t {
    Centred = 0,     // at its own size
    Stretched = 1,   // over the whole screen ("Normal Scale")
    CentredWide = 2, // its width times 1.5, centred ("Normal Scale")
};

// Where PlayAll draws: one BeginFrame, a Draw per playing player and one
// EndFrame per pass.
class CVideoOutput {
public:
    virtual ~CVideoOutput() = default;
    virtual void BeginFrame() = 0;
    virtual void Draw(CTheoraPlayer& player) = 0;
    // Shows the pass; seconds since the previous pass.
    virtual void EndFrame(float seconds) = 0;
};

// Draws into a 32-bit frame: cleared to opaque black, then each player by
// its placement. EndFrame shows nothing.
class CVideoFrameOutput : public CVideoOutput {
public:
    explicit CVideoFrameOutput(CFrame& buffer)
        : m_Buffer(buffer)
    {
    }
    void BeginFrame() override;
    void Draw(CTheoraPlayer& player) override;
    void EndFrame(float) override {}
    CFrame& GetBuffer() { return m_Buffer; }

private:
    CFrame& m_Buffer;
};

class CTheoraPlayer : public CFrame {
    OMBRISALT_REFLECTED(CTheoraPlayer, CFrame)
public:
    // An empty player that plays nothing.
    CTheoraPlayer();
    // Reads the whole video file (through the archives) and its headers and
    // takes a copy of the sound-list entry soundName; a picture of width x
    // height pixels.
    CTheoraPlayer(const char* videoFile, const char* soundName, uint32_t width, uint32_t height,
                  VideoPlacement placement);
    // The same over a file already in memory (tests, benchmarks).
    CTheoraPlayer(const uint8_t* data, size_t size, const char* soundName, uint32_t width, uint32_t height,
                  VideoPlacement placement);
    ~CTheoraPlayer() override;

    // The modal loop onto the screen: plays every live player to its end or
    // until a key or mouse button after the first second.
    static void PlayAll();
    static void PlayAll(CVideoOutput& output);

    // Decodes up to the next frame that is not late, waits for its time and
    // converts it into the pixels; clears playing when the data ran out.
    void UpdateFrame();

    bool IsPlaying() const { return m_Playing; }
    VideoPlacement GetPlacement() const { return m_Placement; }
    uint32_t GetDroppedFrames() const { return m_Dropped; }
    uint32_t GetShownFrames() const { return m_Shown; }
    int32_t GetPostProcessingLevel() const { return m_Level; }
    CSound* GetSound() const { return m_Sound.get(); }
    // Milliseconds of the player's clock (starting it when it has not run).
    int64_t ReadClock();

private:
    void Build(uint32_t width, uint32_t height, VideoPlacement placement, const char* soundName);
    void OpenVideo(const uint8_t* data, size_t size, const char* name);

    CTheoraStream m_Stream;
    VideoPlacement m_Placement = VideoPlacement::Centred;
    bool m_Playing = false;
    bool m_FrameReady = false;
    int32_t m_Level = 0;
    int32_t m_LevelChange = 0;
    uint32_t m_Dropped = 0;
    uint32_t m_Shown = 0;
    int64_t m_FrameTime = 0;
    std::unique_ptr<CSound> m_Sound; // a copy of the sound-list entry m_SoundIndex
    int32_t m_SoundIndex = -1;
    // The clock: raw milliseconds at its start plus skipped gaps, the last
    // raw reading, and when progress was last logged.
    bool m_ClockStarted = false;
    uint64_t m_ClockBase = 0;
    uint64_t m_ClockLast = 0;
    int64_t m_LastProgressLog = -1000;
};
