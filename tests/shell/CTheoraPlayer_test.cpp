#include "shell/CTheoraPlayer.h"

#include "TheoraClips.h"
#include "foundation/MillisecondClock.h"
#include "platform/CPlatformHeadless.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/GameWindow.h"
#include "sound/CSoundDevice.h"
#include "sound/CSoundList.h"
#include "sound/SoundFiles.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// Flat colours and the RGB the conversion gives them (BGRA words).
constexpr SClipColour kRed{81, 90, 240};
constexpr SClipColour kGreen{145, 54, 34};
constexpr SClipColour kBlue{41, 240, 110};
constexpr SClipColour kWhite{235, 128, 128};
constexpr uint32_t kRedPixel = 0xFFFF0000u;
constexpr uint32_t kGreenPixel = 0xFF00FF01u;
constexpr uint32_t kBluePixel = 0xFF0000FFu;
constexpr uint32_t kWhitePixel = 0xFFFFFFFFu;
constexpr uint32_t kBlackPixel = 0xFF000000u;

SClipFrame FlatOf(SClipColour c)
{
    return {c, c};
}

// Lossy coding may move a flat colour by a step or two.
bool Near(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 3)
            return false;
    return true;
}

uint32_t PixelAt(const CFrame& frame, uint32_t x, uint32_t y)
{
    return reinterpret_cast<const uint32_t*>(frame.Row(y))[x];
}

// What the loop showed: the clock and the buffer's pixels at every pass that
// brought a new frame; hooks run at the end of a pass.
class CRecordingOutput final : public CVideoFrameOutput {
public:
    struct SShown {
        int64_t ms;
        uint32_t centre;
    };

    CRecordingOutput(CFrame& buffer, uint64_t start)
        : CVideoFrameOutput(buffer)
        , m_Start(start)
    {
    }
    void Draw(CTheoraPlayer& player) override
    {
        CVideoFrameOutput::Draw(player);
        m_Player = &player;
    }
    void EndFrame(float seconds) override
    {
        CVideoFrameOutput::EndFrame(seconds);
        const int64_t now = int64_t(MillisecondClock() - m_Start);
        if (m_Player && m_Player->GetShownFrames() != m_LastShown) {
            m_LastShown = m_Player->GetShownFrames();
            CFrame& buffer = GetBuffer();
            shown.push_back({now, PixelAt(buffer, buffer.GetWidth() / 2, buffer.GetHeight() / 2)});
        }
        ++passes;
        if (m_Player && m_Player->GetSound())
            soundPlayed |= m_Player->GetSound()->IsPlaying();
        if (hook)
            hook(now);
    }

    std::vector<SShown> shown;
    uint32_t passes = 0;
    bool soundPlayed = false;
    std::function<void(int64_t)> hook;

private:
    uint64_t m_Start;
    CTheoraPlayer* m_Player = nullptr;
    uint32_t m_LastShown = 0;
};

class TheoraPlayerTest : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        m_Platform.StartManualClock(5000);
        CKeyboardState::SGetInstance().ResetForTesting();
        CMouseState::SGetInstance().ResetForTesting();
    }
    void TearDown() override
    {
        CKeyboardState::SGetInstance().ResetForTesting();
        CMouseState::SGetInstance().ResetForTesting();
        CTempFolderTest::TearDown();
    }

    // Plays one player from a clip into an output buffer of the given size.
    CRecordingOutput& Play(const std::string& clip, uint32_t width, uint32_t height, VideoPlacement placement,
                           uint32_t outWidth, uint32_t outHeight, const char* sound = nullptr)
    {
        m_Player = std::make_unique<CTheoraPlayer>(reinterpret_cast<const uint8_t*>(clip.data()), clip.size(), sound,
                                                   width, height, placement);
        m_Buffer.Create(outWidth, outHeight, 32);
        m_Output = std::make_unique<CRecordingOutput>(m_Buffer, MillisecondClock());
        if (m_Hook)
            m_Output->hook = m_Hook;
        CTheoraPlayer::PlayAll(*m_Output);
        return *m_Output;
    }

    static std::string FourColours(bool withVorbis)
    {
        SClipOptions options;
        options.withVorbis = withVorbis;
        options.frames = {FlatOf(kRed), FlatOf(kGreen), FlatOf(kBlue), FlatOf(kWhite)};
        return MakeTheoraClip(options);
    }

    static std::string Long(uint32_t frames)
    {
        SClipOptions options;
        for (uint32_t i = 0; i < frames; ++i)
            options.frames.push_back(FlatOf(i % 2 ? kRed : kBlue));
        return MakeTheoraClip(options);
    }

    plat::CPlatformHeadless m_Platform;
    CScopedPlatform m_Installed{&m_Platform};
    CScopedDataFolder m_DataFolder{"."};
    std::unique_ptr<CTheoraPlayer> m_Player;
    CFrame m_Buffer;
    std::unique_ptr<CRecordingOutput> m_Output;
    std::function<void(int64_t)> m_Hook;
};

class TheoraPlayerTiming : public TheoraPlayerTest, public testing::WithParamInterface<bool> {};

// 20 frames a second: frame n is shown at n x 50 ms, each in its colour,
// whether or not a Vorbis track shares the file.
TEST_P(TheoraPlayerTiming, ShowsEachFrameAtItsTime)
{
    CRecordingOutput& out = Play(FourColours(GetParam()), 64, 48, VideoPlacement::Centred, 64, 48);
    ASSERT_EQ(out.shown.size(), 4u);
    const uint32_t colours[] = {kRedPixel, kGreenPixel, kBluePixel, kWhitePixel};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(out.shown[i].ms, int64_t(i) * 50) << "frame " << i;
        EXPECT_TRUE(Near(out.shown[i].centre, colours[i]))
            << "frame " << i << std::hex << " got " << out.shown[i].centre;
    }
    EXPECT_EQ(m_Player->GetDroppedFrames(), 0u);
    EXPECT_FALSE(m_Player->IsPlaying());
}

INSTANTIATE_TEST_SUITE_P(Tracks, TheoraPlayerTiming, testing::Bool(), [](const testing::TestParamInfo<bool>& p) {
    return std::string(p.param ? "WithVorbis" : "VideoOnly");
});

// 30 frames a second: frame n is due at n x 33.3 ms rounded up. The clock
// is brought to the whole millisecond below each next frame's time, where
// that frame must still wait.
TEST_F(TheoraPlayerTest, AFrameIsDueAtItsTimeRoundedUpToTheMillisecond)
{
    SClipOptions options;
    options.fpsNumerator = 30;
    options.frames = {FlatOf(kRed), FlatOf(kGreen), FlatOf(kBlue), FlatOf(kWhite)};
    const int64_t below[] = {33, 66, 99};
    m_Hook = [this, &below](int64_t now) {
        const size_t next = m_Output->shown.size();
        if (next >= 1 && next <= 3 && now < below[next - 1])
            m_Platform.AdvanceClock(uint32_t(below[next - 1] - now));
    };
    CRecordingOutput& out = Play(MakeTheoraClip(options), 64, 48, VideoPlacement::Centred, 64, 48);
    ASSERT_EQ(out.shown.size(), 4u);
    EXPECT_EQ(m_Player->GetDroppedFrames(), 0u);
    const int64_t due[] = {0, 34, 67, 100};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_GE(out.shown[i].ms, due[i]) << "frame " << i;
}

// A clip's picture region sits inside a larger encoded frame; top stays top.
TEST_F(TheoraPlayerTest, PictureRegionIsPlacedUprightAtTheBufferOrigin)
{
    SClipOptions options;
    options.width = 40;
    options.height = 30;
    options.picX = 8;
    options.picY = 6;
    options.frames = {{kRed, kBlue}};
    CRecordingOutput& out = Play(MakeTheoraClip(options), 40, 30, VideoPlacement::Centred, 40, 30);
    ASSERT_EQ(out.shown.size(), 1u);
    EXPECT_TRUE(Near(PixelAt(m_Buffer, 20, 0), kRedPixel)) << std::hex << PixelAt(m_Buffer, 20, 0);
    EXPECT_TRUE(Near(PixelAt(m_Buffer, 20, 29), kBluePixel)) << std::hex << PixelAt(m_Buffer, 20, 29);
    EXPECT_TRUE(Near(PixelAt(*m_Player, 0, 0), kRedPixel));
    EXPECT_TRUE(Near(PixelAt(*m_Player, 39, 29), kBluePixel));
}

struct SSizeCase {
    const char* name;
    uint32_t playerWidth, playerHeight; // the clip is 64 x 48
};

class TheoraPlayerSizes : public TheoraPlayerTest, public testing::WithParamInterface<SSizeCase> {};

// A clip of another size than the player's buffer: the common part is the
// picture, the rest of a larger buffer stays black, and nothing is written
// past the buffer (the sanitised build checks the heap).
TEST_P(TheoraPlayerSizes, DrawsTheCommonPartOnly)
{
    const SSizeCase& k = GetParam();
    SClipOptions options;
    options.frames = {FlatOf(kGreen)};
    Play(MakeTheoraClip(options), k.playerWidth, k.playerHeight, VideoPlacement::Centred, k.playerWidth,
         k.playerHeight);
    ASSERT_EQ(m_Player->GetShownFrames(), 1u);
    for (uint32_t y = 0; y < k.playerHeight; ++y)
        for (uint32_t x = 0; x < k.playerWidth; ++x) {
            const bool inside = x < 64 && y < 48;
            const uint32_t pixel = PixelAt(*m_Player, x, y);
            ASSERT_TRUE(inside ? Near(pixel, kGreenPixel) : pixel == kBlackPixel)
                << "x " << x << " y " << y << std::hex << " got " << pixel;
        }
}

INSTANTIATE_TEST_SUITE_P(Sizes, TheoraPlayerSizes,
                         testing::Values(SSizeCase{"Smaller", 40, 20}, SSizeCase{"Larger", 100, 80},
                                         SSizeCase{"WiderButShorter", 90, 30}),
                         [](const testing::TestParamInfo<SSizeCase>& p) { return std::string(p.param.name); });

// "Normal Scale" stretches the picture over the whole output buffer.
TEST_F(TheoraPlayerTest, StretchedPlacementCoversTheOutput)
{
    SClipOptions options;
    options.width = 32;
    options.height = 24;
    options.frames = {{kRed, kBlue}};
    CRecordingOutput& out = Play(MakeTheoraClip(options), 32, 24, VideoPlacement::Stretched, 96, 72);
    ASSERT_EQ(out.shown.size(), 1u);
    for (uint32_t y = 0; y < 72; y += 7)
        for (uint32_t x = 0; x < 96; x += 5)
            ASSERT_TRUE(Near(PixelAt(m_Buffer, x, y), y < 36 ? kRedPixel : kBluePixel)) << x << "," << y;
}

// An output that takes 120 ms a pass for a 50 ms frame: late frames are
// dropped and each lowers post-processing by one, to 0 and no further.
TEST_F(TheoraPlayerTest, SlowOutputDropsFramesAndLowersPostProcessingToZero)
{
    m_Hook = [this](int64_t) { m_Platform.AdvanceClock(120); };
    Play(Long(60), 64, 48, VideoPlacement::Centred, 64, 48);
    EXPECT_GT(m_Player->GetDroppedFrames(), 20u);
    EXPECT_EQ(m_Player->GetPostProcessingLevel(), 0);
    EXPECT_EQ(m_Player->GetDroppedFrames() + m_Player->GetShownFrames(), 60u);
}

// A two-second stall after the second frame does not make the video jump:
// every frame is still shown, 50 ms apart, after the gap.
TEST_F(TheoraPlayerTest, StallIsNotCountedAsPlayingTime)
{
    bool stalled = false;
    m_Hook = [&](int64_t) {
        if (!stalled && m_Player->GetShownFrames() == 2) {
            stalled = true;
            m_Platform.AdvanceClock(2000);
        }
    };
    CRecordingOutput& out = Play(Long(6), 64, 48, VideoPlacement::Centred, 64, 48);
    EXPECT_EQ(m_Player->GetDroppedFrames(), 0u);
    ASSERT_EQ(out.shown.size(), 6u);
    for (size_t i = 3; i < 6; ++i)
        EXPECT_EQ(out.shown[i].ms - out.shown[i - 1].ms, 50) << "frame " << i;
}

// A granule position far in the future is shown at once instead of waited for.
TEST_F(TheoraPlayerTest, FrameTimeFarAheadDoesNotHang)
{
    SClipOptions options;
    options.frames = {FlatOf(kRed), FlatOf(kGreen), FlatOf(kBlue), FlatOf(kWhite), FlatOf(kRed)};
    options.bogusGranuleFrame = 2;
    CRecordingOutput& out = Play(MakeTheoraClip(options), 64, 48, VideoPlacement::Centred, 64, 48);
    EXPECT_FALSE(m_Player->IsPlaying());
    ASSERT_GE(out.shown.size(), 3u);
    EXPECT_LE(out.shown.back().ms, 1000);
    EXPECT_TRUE(Near(out.shown[2].centre, kBluePixel));
}

// The clip's sound is a copy of the sound-list entry: it plays with the
// video, stops with it and is given back when the player goes.
TEST_F(TheoraPlayerTest, SoundCopyPlaysWithTheVideoAndIsGivenBack)
{
    WriteBytes("Resources/clip_sound.ogg", EncodeVorbis(Sine(22050, 1, 40.0, 0.3), 1, 22050));
    CSoundDevice& device = CSoundDevice::SGetInstance();
    ASSERT_TRUE(device.Initialize());
    CSoundList& list = CSoundList::SGetGlobal();
    list.Load("Sounds", "Resources", ".wav", ".ogg");
    const int32_t index = list.Find("clip_sound.ogg");
    ASSERT_GE(index, 0);
    CRecordingOutput& out = Play(FourColours(false), 64, 48, VideoPlacement::Centred, 64, 48, "clip_sound.ogg");
    EXPECT_TRUE(out.soundPlayed);
    ASSERT_NE(m_Player->GetSound(), nullptr);
    EXPECT_FALSE(m_Player->GetSound()->IsPlaying());
    EXPECT_EQ(list.GetLiveCopies(index), 1);
    m_Player.reset();
    EXPECT_EQ(list.GetLiveCopies(index), 0);
    // An unknown sound name: the video plays without sound.
    Play(FourColours(false), 64, 48, VideoPlacement::Centred, 64, 48, "no such sound.ogg");
    EXPECT_EQ(m_Player->GetShownFrames(), 4u);
    EXPECT_EQ(m_Player->GetSound(), nullptr);
    m_Player.reset();
    list.RemoveAll();
    device.Shutdown();
}

struct SSkipCase {
    const char* name;
    // Input given at the end of the pass at or after this time.
    int64_t at;
    enum Kind { None, KeyTap, KeyHeld, ButtonHeld, ButtonTap } kind;
    // Expected: the time of the last shown frame (-1: the clip's end).
    int64_t endsAt;
};

class TheoraPlayerSkip : public TheoraPlayerTest, public testing::WithParamInterface<SSkipCase> {};

// Nothing ends the video in its first second; a key pressed in that second
// (even released again) or a button still held ends it once the second is
// over; later input ends it at once.
TEST_P(TheoraPlayerSkip, FollowsTheOneSecondRule)
{
    const SSkipCase& k = GetParam();
    bool given = false;
    m_Hook = [&](int64_t now) {
        if (given || k.kind == SSkipCase::None || now < k.at)
            return;
        given = true;
        CKeyboardState& keyboard = CKeyboardState::SGetInstance();
        CMouseState& mouse = CMouseState::SGetInstance();
        switch (k.kind) {
        case SSkipCase::KeyTap:
            keyboard.OnKeyDown(30);
            keyboard.OnKeyUp(30);
            break;
        case SSkipCase::KeyHeld:
            keyboard.OnKeyDown(30);
            break;
        case SSkipCase::ButtonHeld:
            mouse.SetButtons(1);
            break;
        case SSkipCase::ButtonTap:
            mouse.SetButtons(1);
            mouse.SetButtons(0);
            break;
        case SSkipCase::None:
            break;
        }
    };
    CRecordingOutput& out = Play(Long(40), 64, 48, VideoPlacement::Centred, 64, 48);
    ASSERT_FALSE(out.shown.empty());
    EXPECT_EQ(out.shown.back().ms, k.endsAt < 0 ? 39 * 50 : k.endsAt);
}

INSTANTIATE_TEST_SUITE_P(Rules, TheoraPlayerSkip,
                         testing::Values(SSkipCase{"NoInputPlaysToTheEnd", 0, SSkipCase::None, -1},
                                         SSkipCase{"KeyTapInFirstSecondEndsAtOneSecond", 300, SSkipCase::KeyTap, 1000},
                                         SSkipCase{"HeldKeyEndsAtOneSecond", 300, SSkipCase::KeyHeld, 1000},
                                         SSkipCase{"HeldButtonEndsAtOneSecond", 500, SSkipCase::ButtonHeld, 1000},
                                         SSkipCase{"ReleasedButtonDoesNotEnd", 500, SSkipCase::ButtonTap, -1},
                                         SSkipCase{"KeyAfterFirstSecondEndsAtOnce", 1500, SSkipCase::KeyTap, 1500}),
                         [](const testing::TestParamInfo<SSkipCase>& p) { return std::string(p.param.name); });

struct SBadClip {
    const char* name;
    std::function<std::string(const std::string& good)> make;
    TheoraOpenResult result;
};

class TheoraPlayerBadInput : public TheoraPlayerTest, public testing::WithParamInterface<SBadClip> {};

// A video that cannot be read leaves a player that plays nothing: the loop
// returns without a single pass.
TEST_P(TheoraPlayerBadInput, IsSkipped)
{
    SClipOptions options;
    options.withVorbis = true;
    options.frames = {FlatOf(kRed), FlatOf(kGreen)};
    const std::string bytes = GetParam().make(MakeTheoraClip(options));
    CTheoraStream stream;
    EXPECT_EQ(stream.Open(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), GetParam().result);
    CRecordingOutput& out = Play(bytes, 64, 48, VideoPlacement::Stretched, 64, 48);
    EXPECT_FALSE(m_Player->IsPlaying());
    EXPECT_EQ(out.passes, 0u);
}

// The page after the first Theora header holds the other two.
std::string Corrupted(std::string clip)
{
    const size_t second = clip.find("OggS", 4);
    const size_t setup = clip.find("\x82theora", second);
    if (setup != std::string::npos)
        for (size_t i = setup + 7; i < setup + 60 && i < clip.size(); ++i)
            clip[i] = char(0xFF);
    return clip;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TheoraPlayerBadInput,
    testing::Values(
        SBadClip{"Empty", [](const std::string&) { return std::string(); }, TheoraOpenResult::MissingHeaders},
        SBadClip{"NotOgg", [](const std::string&) { return std::string(4000, 'x'); }, TheoraOpenResult::MissingHeaders},
        SBadClip{"CutAfterFirstPage", [](const std::string& good) { return good.substr(0, good.find("OggS", 4)); },
                 TheoraOpenResult::MissingHeaders},
        SBadClip{"SoundOnly", [](const std::string&) { return EncodeVorbis(Sine(2000, 1, 40.0, 0.3), 1, 22050); },
                 TheoraOpenResult::MissingHeaders},
        SBadClip{"CorruptSetupHeader", [](const std::string& good) { return Corrupted(good); },
                 TheoraOpenResult::CorruptHeaders}),
    [](const testing::TestParamInfo<SBadClip>& p) { return std::string(p.param.name); });

// A missing file, by name through the archives, is skipped the same way.
TEST_F(TheoraPlayerTest, MissingFileIsSkipped)
{
    CTheoraPlayer player("Resources/none.ogg", nullptr, 64, 48, VideoPlacement::Stretched);
    EXPECT_FALSE(player.IsPlaying());
    WriteBytes("Resources/clip.ogg", FourColours(false));
    CTheoraPlayer present("Resources/clip.ogg", nullptr, 64, 48, VideoPlacement::Stretched);
    EXPECT_TRUE(present.IsPlaying());
}

} // namespace
