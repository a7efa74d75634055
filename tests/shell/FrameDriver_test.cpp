#include "ShellTestSupport.h"

#include "foundation/MillisecondClock.h"
#include "shell/CFrameDriver.h"
#include "shell/CFrameRateCounter.h"
#include "shell/CShellScreen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The driver alone, over a hand-held clock reading and a client that
// records what it is asked to run.
class CRecordingClient final : public CFrameDriver::CClient {
public:
    void RunStep(float seconds, FrameStep) override { updates.push_back(seconds); }
    void RunDraw() override { ++draws; }

    std::vector<float> updates;
    uint32_t draws = 0;
};

class FrameDriver : public ::testing::Test {
protected:
    float Pass(uint32_t milliseconds)
    {
        m_Now += milliseconds;
        return m_Driver.RunPass(m_Now, m_RealTime, m_Client);
    }
    // Runs the first pass (the catch-up) and forgets its counts.
    void FirstPass()
    {
        Pass(0);
        m_Client.updates.clear();
        m_Client.draws = 0;
    }
    void Passes(uint32_t count, uint32_t milliseconds)
    {
        for (uint32_t i = 0; i < count; ++i)
            Pass(milliseconds);
    }

    CFrameDriver m_Driver{1.0f / 60.0f, 1.0f / 60.0f, 1.0f / 12.0f};
    CRecordingClient m_Client;
    // The first reading comes a while after the clock's 0.
    double m_Now = 1000.0;
    bool m_RealTime = true;
};

TEST_F(FrameDriver, FirstPassCatchesUpFiveStepsAndDrawsOnce)
{
    const float left = Pass(0);
    // Single precision: four steps taken from 1/12 leave a hair more than a
    // step, so the fifth is a full step too and the hair is carried.
    float rest = 1.0f / 12.0f;
    for (int i = 0; i < 4; ++i)
        rest -= 1.0f / 60.0f;
    ASSERT_GT(rest, 1.0f / 60.0f);
    ASSERT_EQ(m_Client.updates.size(), 5u);
    for (const float step : m_Client.updates)
        EXPECT_EQ(step, 1.0f / 60.0f);
    EXPECT_EQ(m_Client.draws, 1u);
    EXPECT_EQ(left, 1.0f / 60.0f - (rest - 1.0f / 60.0f));
}

struct SteadyCase {
    const char* name;
    uint32_t passes;
    uint32_t milliseconds;
    uint32_t drawDivisor;
    size_t updates;
    uint32_t draws;
};

class SteadyPasses : public FrameDriver, public ::testing::WithParamInterface<SteadyCase> {};

TEST_P(SteadyPasses, GiveTheUpdateAndDrawCounts)
{
    const SteadyCase& c = GetParam();
    m_Driver.SetDrawDivisor(c.drawDivisor);
    FirstPass();
    Passes(c.passes, c.milliseconds);
    EXPECT_EQ(m_Client.updates.size(), c.updates);
    EXPECT_EQ(m_Client.draws, c.draws);
}

// 60 passes of 17 ms are 1020 ms: 61 whole steps, one pass with two.
// 100 passes of 10 ms are exactly 60 steps, but the single-precision sum
// leaves the last a hair short: it is carried, not lost.
// 16 ms: the remainder carries, so 61 passes reach 59 steps, not fewer.
// A divisor of 3 draws on every third pass that updated.
INSTANTIATE_TEST_SUITE_P(FrameDriver, SteadyPasses,
                         ::testing::Values(SteadyCase{"Every17ms", 60, 17, 1, 61, 60},
                                           SteadyCase{"Every10ms", 100, 10, 1, 59, 59},
                                           SteadyCase{"Every16ms", 61, 16, 1, 58, 58},
                                           SteadyCase{"DrawEveryThirdPass", 60, 17, 3, 60, 20}),
                         [](const ::testing::TestParamInfo<SteadyCase>& param) { return param.param.name; });

TEST_F(FrameDriver, APauseRunsAtMostFiveSteps)
{
    FirstPass();
    Passes(1, 1000);
    EXPECT_EQ(m_Client.updates.size(), 5u);
    EXPECT_EQ(m_Client.draws, 1u);
}

TEST_F(FrameDriver, WithADivisorOnlyOneStepRunsPerPassAndTheRestWaits)
{
    m_Driver.SetDrawDivisor(2);
    EXPECT_EQ(Pass(0), 1.0f / 60.0f - (1.0f / 12.0f - 1.0f / 60.0f));
    EXPECT_EQ(m_Client.updates.size(), 1u);
    EXPECT_EQ(m_Client.draws, 0u);
    Passes(1, 0);
    EXPECT_EQ(m_Client.updates.size(), 2u);
    EXPECT_EQ(m_Client.draws, 1u);
}

TEST_F(FrameDriver, AClockThatWentBackAddsNoTime)
{
    FirstPass();
    Passes(1, 10);
    m_Now = 500.0;
    Pass(0);
    EXPECT_TRUE(m_Client.updates.empty());
    Passes(1, 7);
    EXPECT_EQ(m_Client.updates.size(), 1u);
}

TEST_F(FrameDriver, WithoutRealTimeEachPassIsOneStep)
{
    m_RealTime = false;
    Passes(10, 0);
    ASSERT_EQ(m_Client.updates.size(), 10u);
    EXPECT_EQ(m_Client.updates.front(), 1.0f / 60.0f);
    EXPECT_EQ(m_Client.draws, 10u);
    EXPECT_DOUBLE_EQ(m_Driver.GetTotalTime(), 10.0 * double(1.0f / 60.0f));
}

struct SleepCase {
    const char* name;
    float timeLeft;
    uint32_t milliseconds;
};

class SleepAfterPass : public ::testing::TestWithParam<SleepCase> {};

// A millisecond of the time left is kept as margin; two or fewer are not
// worth a sleep.
TEST_P(SleepAfterPass, KeepsAMillisecondOfMargin)
{
    EXPECT_EQ(SleepAfterPassMilliseconds(GetParam().timeLeft), GetParam().milliseconds);
}

INSTANTIATE_TEST_SUITE_P(FrameDriver, SleepAfterPass,
                         ::testing::Values(SleepCase{"Behind", -0.010f, 0}, SleepCase{"OnTime", 0.0f, 0},
                                           SleepCase{"TwoMilliseconds", 0.002f, 0},
                                           SleepCase{"JustOverTwo", 0.0021f, 1},
                                           SleepCase{"AWholeStep", 1.0f / 60.0f, 15}),
                         [](const ::testing::TestParamInfo<SleepCase>& param) { return param.param.name; });

TEST(FrameRateCounter, ReportsNothingUntilThirtyIntervalsThenTheirMean)
{
    plat::CPlatformHeadless platform;
    ResetMillisecondClock();
    platform.StartManualClock(1000);
    CFrameRateCounter counter;
    counter.Start();
    for (int i = 0; i < 29; ++i) {
        platform.AdvanceClock(20);
        EXPECT_EQ(counter.Measure(), 0.0f) << i;
    }
    platform.AdvanceClock(20);
    EXPECT_EQ(counter.Measure(), 50.0f);
    // One long interval counts as one second: 29 * 20 ms + 1000 ms.
    platform.AdvanceClock(5000);
    EXPECT_EQ(counter.Measure(), float(1000 * 30) / float(29 * 20 + 1000));
    counter.Reset();
    EXPECT_EQ(counter.GetRate(), 0.0f);
    EXPECT_EQ(counter.Measure(), 0.0f);
    ResetMillisecondClock();
}

struct BoxCase {
    const char* name;
    float processing;
    uint8_t red;
    uint8_t blue;
};

class FrameRateBox : public ::testing::TestWithParam<BoxCase> {};

TEST_P(FrameRateBox, TurnsRedAsProcessingFalls)
{
    const CColor colour = GetFrameRateBoxColour(GetParam().processing);
    EXPECT_EQ(colour.GetRed(), GetParam().red);
    EXPECT_EQ(colour.GetGreen(), 0);
    EXPECT_EQ(colour.GetBlue(), GetParam().blue);
    EXPECT_EQ(colour.GetAlpha(), 255);
}

INSTANTIATE_TEST_SUITE_P(FrameRateLine, FrameRateBox,
                         ::testing::Values(BoxCase{"Fast", 60.0f, 0, 1}, BoxCase{"AtForty", 40.0f, 0, 1},
                                           BoxCase{"ThirtyFive", 35.0f, 127, 0},
                                           BoxCase{"JustBelowForty", 39.99f, 0, 0}, BoxCase{"AtThirty", 30.0f, 255, 0},
                                           BoxCase{"Slow", 12.0f, 255, 0}),
                         [](const ::testing::TestParamInfo<BoxCase>& param) { return param.param.name; });

class CRecordingScreen : public CShellScreen {
public:
    int32_t GetWidth() const override { return 800; }
    int32_t GetHeight() const override { return 600; }
    void FillRect(const CRect& rect, const CColor& colour) override
    {
        boxes.push_back(rect);
        colours.push_back(colour);
    }
    bool Present() override { return ++presents, true; }
    std::vector<CRect> boxes;
    std::vector<CColor> colours;
    int presents = 0;
};

class CRecordingFont : public CFrameRateFont {
public:
    int32_t GetPointSize() const override { return 10; }
    int32_t GetCharAdvance(char) const override { return 6; }
    void DrawCentred(CShellScreen&, int32_t x, int32_t y, const char* text) override
    {
        lines.push_back(std::to_string(x) + "," + std::to_string(y) + " " + text);
    }
    std::vector<std::string> lines;
};

// The game object over the driver and the frame-rate counters.
class GameFrames : public CShellTest {
protected:
    void SetUp() override
    {
        CShellTest::SetUp();
        m_Game = new CCountingGame;
    }
    void TearDown() override
    {
        delete m_Game;
        CShellTest::TearDown();
    }
    void FirstPass()
    {
        m_Game->MeasureFrameTime();
        m_Game->updates.clear();
        m_Game->draws = 0;
    }
    void Passes(uint32_t count, uint32_t milliseconds)
    {
        for (uint32_t i = 0; i < count; ++i) {
            m_Platform.AdvanceClock(milliseconds);
            m_Game->MeasureFrameTime();
        }
    }
    CCountingGame* m_Game = nullptr;
};

TEST_F(GameFrames, TheFrameRateLineAppearsAfterThirtyFramesCentredOnItsBox)
{
    CRecordingScreen screen;
    CRecordingFont font;
    m_Game->Initialize(&screen, &font);
    m_Game->SetDisplayFps(true);
    m_Game->SetWindowActive(true);
    FirstPass();
    Passes(29, 20);
    EXPECT_TRUE(font.lines.empty());
    Passes(1, 20);
    ASSERT_EQ(font.lines.size(), 1u);
    // A measures 50 frames a second; update and drawing take no time here.
    const std::string text = "U:0.0 D:0.0 P:0.0 A:50.0 FPS";
    EXPECT_EQ(font.lines[0], "400,0 " + text);
    ASSERT_EQ(screen.boxes.size(), 1u);
    const int32_t width = int32_t(text.size()) * 6;
    EXPECT_EQ(screen.boxes[0].left, 400 - width / 2);
    EXPECT_EQ(screen.boxes[0].right - screen.boxes[0].left, width);
    EXPECT_EQ(screen.boxes[0].bottom, 10);
    EXPECT_EQ(screen.colours[0].GetRed(), 255);
    EXPECT_EQ(screen.presents, 31);
}

TEST_F(GameFrames, ASecondGameObjectStartsItsCountersAgain)
{
    Passes(100, 20);
    delete m_Game;
    m_Game = new CCountingGame;
    CRecordingScreen screen;
    CRecordingFont font;
    m_Game->Initialize(&screen, &font);
    m_Game->SetDisplayFps(true);
    FirstPass();
    Passes(30, 20);
    // Update and drawing take no time on the hand-driven clock; counters
    // that never started would measure the whole pass instead.
    ASSERT_FALSE(font.lines.empty());
    EXPECT_EQ(font.lines.back(), "400,0 U:0.0 D:0.0 P:0.0 A:50.0 FPS");
}

} // namespace
