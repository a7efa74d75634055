// The game program over a copy of the demo data: it loads behind its loading
// screen, enters the first level, plays it frame by frame with injected
// input on a hand-driven clock, writes screenshots and exits in order.

#include "game/world/CGameApp.h"
#include "overlays/CFrameOverlay.h"

#include "DemoGameTest.h"
#include "../../ui/RealWindowSupport.h"

#include "foundation/CFile.h"
#include "foundation/FatalError.h"
#include "foundation/FilePaths.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CSprite.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "game/world/CTutorial.h"
#include "game/world/CTypedCommands.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "images/CJPEGFileIO.h"
#include "images/CTGAFileIO.h"
#include "platform/GraphicsDeviceHeadless.h"
#include "platform/WindowDevice.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/CTypedCommandList.h"
#include "sound/CSoundDevice.h"
#include "sound/CSoundList.h"
#include "ui/CJWindow.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kF11 = 26; // the engine's key code, the screenshot command

std::string SubstitutedText(CTextSubstitutionList& values, const char* text)
{
    return values.Apply(CJString(text)).GetString();
}

TEST(GameText, TradeMarkAndBulletMarkersBecomeTheirSigns)
{
    CJString text("Ombrisalt(TM) (*) two(TM)");
    ApplyTextSymbols(text);
    const CJString expected(u"Ombrisalt\u2122 \u2022 two\u2122");
    EXPECT_EQ(text.Compare(expected), 0);
    CJString plain("no markers (T M) *");
    ApplyTextSymbols(plain);
    EXPECT_STREQ(plain.GetString(), "no markers (T M) *");
}

TEST(GameText, LoadingProgressNeverDividesByZeroAndStaysInItsRange)
{
    CTextSubstitutionList values;
    FillLoadingProgress(values, 0, 0);
    EXPECT_EQ(SubstitutedText(values, "%s[NumThingsLoaded]/%s[TotalThingsToLoad] %s[Key]"), "0/0 0");
    FillLoadingProgress(values, 1500, 3000);
    EXPECT_EQ(SubstitutedText(values, "%s[NumThingsLoaded]/%s[TotalThingsToLoad] %s[Key]"), "1,500/3,000 3");
    FillLoadingProgress(values, 9, 4);
    EXPECT_EQ(SubstitutedText(values, "%s[Key]"), "6");
}

class GameChannel : public CTempFolderTest {};

TEST_F(GameChannel, TheChannelNameIsReadOnceFromTheChannelFile)
{
    // A fresh process: in this one a game started earlier may have read it.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            WriteBytes("Data2.dat", "[Channel]\r\nChannel Name=Night Owl\r\n");
            const std::string first = GetChannelName().GetString();
            WriteBytes("Data2.dat", "[Channel]\r\nChannel Name=Morning Lark\r\n");
            std::fprintf(stderr, "[%s] [%s]\n", first.c_str(), GetChannelName().GetString());
            std::exit(0);
        },
        testing::ExitedWithCode(0), "\\[Night Owl\\] \\[Night Owl\\]");
}

// Screens over the playfield as the screen layer would report them.
class CScreensOpen final : public CGameScreensHooks {
public:
    bool IsScreenOpen(EGameScreen screen) override { return screen == open; }
    EGameScreen open = EGameScreen::Count;
};

class GameProgram : public CDemoGameTest {
protected:
    void PushKey(uint16_t virtualKey)
    {
        plat::WindowEvent event;
        event.kind = plat::WindowEvent::Kind::KeyDown;
        event.virtualKey = virtualKey;
        m_Platform.GetHeadlessWindow().PushEvent(event);
        event.kind = plat::WindowEvent::Kind::KeyUp;
        m_Platform.GetHeadlessWindow().PushEvent(event);
    }
    static std::string UserPath(const char* name)
    {
        CJString path;
        ResolveFileName(path, name, FILE_USER_FOLDER);
        return path.GetString();
    }
};

TEST_F(GameProgram, LoadsEntersTheFirstLevelPlaysItAndExitsInOrder)
{
    ASSERT_TRUE(Start());
    ASSERT_NE(App(), nullptr);
    EXPECT_TRUE(CGameApp::SIsInitialised());

    // The cursors come from sequences, every named entry of the table.
    for (uint32_t i = 0; i < kCursorTableSize; ++i) {
        const bool empty = i == 15 || i == 17 || i == 19 || i == 21;
        EXPECT_EQ(GetCursorSequence(i) == nullptr, empty) << i;
    }
    EXPECT_EQ(GetCursorSequence(0), GetSequenceList().GetObject(GetSequenceList().Find("Mouse Cursor")));
    EXPECT_NE(CMouseState::SGetInstance().GetCursor(), nullptr);
    EXPECT_TRUE(CMouseState::SGetInstance().IsCursorVisible());
    EXPECT_NE(GetGameSkinTheme(), nullptr);

    // Without a main menu the first level is played at once.
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(GetCurrentLevelIndex(), 0u);
    ASSERT_NE(GetCurrentPlayfield(), nullptr);
    CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent();
    ASSERT_NE(stats, nullptr);

    const uint32_t updates = App()->GetUpdatePassCount();
    const float seconds = stats->m_SecondsInLevel;
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(Pass(17));
    const uint32_t ran = App()->GetUpdatePassCount() - updates;
    EXPECT_GE(ran, 55u);
    EXPECT_NEAR(stats->m_SecondsInLevel - seconds, float(ran) / 60.0f, 1e-3f);

    // A stalled second is caught up by five steps at most.
    const uint32_t beforeStall = App()->GetUpdatePassCount();
    ASSERT_TRUE(Pass(1000));
    EXPECT_LE(App()->GetUpdatePassCount() - beforeStall, 5u);

    // A left click on the playfield reaches it and is counted.
    const int32_t clicks = stats->m_Clicks;
    PushClick(300, 500);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Pass(17));
    EXPECT_EQ(stats->m_Clicks, clicks + 1);

    // F11 writes the first free JPEG screenshot in the user-data folder.
    PushKey(plat::vk::kF11);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Pass(17));
    EXPECT_TRUE(DiskHas(UserPath("Screen Shot 00.jpg")));

    Push(plat::WindowEvent::Kind::Close);
    bool running = true;
    for (int i = 0; i < 20 && running; ++i)
        running = Pass(17);
    EXPECT_FALSE(running);
    EXPECT_EQ(ShutDownStarted(), 0);
    EXPECT_EQ(CGameApp::SGetInstance(), nullptr);

    // What the object kept went with it.
    EXPECT_FALSE(CGameApp::SIsInitialised());
    EXPECT_EQ(GetCursorSequence(0), nullptr);
    EXPECT_EQ(GetGameSkinTheme(), nullptr);
    EXPECT_FALSE(DrawLoadingProgress());
}

TEST_F(GameProgram, PlayTimeGrowsByOneStepPerUpdateAndStopsUnderAMenuWindow)
{
    ASSERT_TRUE(Start());
    CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent();
    ASSERT_NE(stats, nullptr);
    const float before = stats->m_SecondsInLevel;
    App()->Update(0.5f);
    EXPECT_NEAR(stats->m_SecondsInLevel - before, 1.0f / 60.0f, 1e-6f);

    // Any window over the playfield that is not a playing screen halts the level.
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    ASSERT_NE(screen, nullptr);
    auto* menu = new CJWindow(nullptr, "Menu");
    menu->SetRect(CRect{10, 10, 200, 200});
    screen->AddChild(menu);
    ASSERT_TRUE(App()->QueryScreenWindow(0));
    const float underMenu = stats->m_SecondsInLevel;
    App()->Update(1.0f / 60.0f);
    EXPECT_EQ(stats->m_SecondsInLevel, underMenu);
    // Mouse events are not even queued then.
    const int32_t clicks = stats->m_Clicks;
    App()->RecordPlayfieldMouseEvent(1, 300, 500, 1);
    App()->Update(1.0f / 60.0f);
    EXPECT_EQ(stats->m_Clicks, clicks);
    menu->Destroy();
}

TEST_F(GameProgram, UnderTheShopThePlayfieldStillHearsTheMouseButPlayTimeStands)
{
    ASSERT_TRUE(Start());
    CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent();
    ASSERT_NE(stats, nullptr);
    CScreensOpen screens;
    CScopedHook<SetGameScreensHooks> installed(&screens);
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    ASSERT_NE(screen, nullptr);
    auto* shop = new CJWindow(nullptr, "Shop");
    shop->SetRect(CRect{700, 600, 800, 700});
    screen->AddChild(shop);
    screens.open = EGameScreen::Shop;

    const float seconds = stats->m_SecondsInLevel;
    const int32_t clicks = stats->m_Clicks;
    App()->RecordPlayfieldMouseEvent(1, 300, 500, 1);
    // A press without the left button only drops what the cursor holds.
    App()->RecordPlayfieldMouseEvent(1, 300, 500, 2);
    App()->RecordPlayfieldMouseEvent(2, 300, 500, 0);
    App()->Update(1.0f / 60.0f);
    EXPECT_EQ(stats->m_Clicks, clicks + 1);
    EXPECT_EQ(stats->m_SecondsInLevel, seconds);
    // A press on the shop window itself stays with the window.
    App()->RecordPlayfieldMouseEvent(1, 750, 650, 1);
    App()->Update(1.0f / 60.0f);
    EXPECT_EQ(stats->m_Clicks, clicks + 1);
    shop->Destroy();
}

// The demo's "Three In A Row Options": the "CursorPowerUp" sparkle every
// 0.05 s, and the cursor "Mouse Cursor_Green Glow".
TEST_F(GameProgram, TheBonusSparklesOncePerExpiryAndShowsItsCursorWhileItLasts)
{
    ASSERT_TRUE(Start());
    SSparkleOptions sparkle;
    ASSERT_TRUE(GetThreeInARowSparkleOptions(sparkle));
    ASSERT_EQ(sparkle.sequence, GetSequenceList().Find("CursorPowerUp"));
    ASSERT_GT(sparkle.sequence, 0);
    ASSERT_NE(sparkle.bonusCursor, nullptr);
    // The street's own counter: one made aside would not be the one in play.
    CThreeInARowCounter* counter = GetThreeInARowCounter();
    ASSERT_NE(counter, nullptr);
    counter->m_SecondsBonusLeft = 30.0f;

    CSpriteArray& sprites = App()->GetGameSprites();
    const uint32_t before = sprites.count;
    App()->Update(1.0f / 60.0f); // the countdown starts at the interval
    EXPECT_EQ(sprites.count, before);
    App()->Update(1.0f); // a stall: one sparkle, not ten
    EXPECT_EQ(sprites.count, before + 1);
    App()->Update(1.0f / 60.0f);
    EXPECT_EQ(sprites.count, before + 1);

    CMouseState& mouse = CMouseState::SGetInstance();
    CCursorSequence* normal = mouse.GetCursor();
    App()->Draw();
    EXPECT_NE(mouse.GetCursor(), normal);
    counter->m_SecondsBonusLeft = 0.0f;
    App()->Draw();
    EXPECT_EQ(mouse.GetCursor(), normal);
}

TEST_F(GameProgram, ScreenshotsTakeTheNextFreeNumberAndTgaPixelsAreOpaque)
{
    ASSERT_TRUE(Start());
    WriteBytes(UserPath("Screen Shot 00.jpg"), "x");
    WriteBytes(UserPath("Screen Shot 01.jpg"), "x");
    const int32_t loadedSounds = CSoundDevice::SGetInstance().GetLoadedCount();
    EXPECT_FALSE(App()->OnCommand(kF11));
    EXPECT_TRUE(DiskHas(UserPath("Screen Shot 02.jpg")));
    // The confirmation sound was loaded to be played.
    EXPECT_GT(CSoundDevice::SGetInstance().GetLoadedCount(), loadedSounds);
    EXPECT_GT(ReadBytes(UserPath("Screen Shot 02.jpg")).size(), 100u);

    const CJString tga = App()->StartNewRound("Screen Shot %02d.TGA", nullptr);
    EXPECT_STREQ(tga.GetString(), "Screen Shot 00.TGA");
    const std::string bytes = ReadBytes(UserPath("Screen Shot 00.TGA"));
    ASSERT_GT(bytes.size(), 18u);
    CFrame frame;
    CTGAFileIO reader;
    ASSERT_TRUE(reader.DecodeFromMemory(frame, reinterpret_cast<const uint8_t*>(bytes.data()), uint32_t(bytes.size()),
                                        "Screen Shot 00.TGA", 32));
    ASSERT_EQ(frame.GetBitDepth(), 32u);
    bool opaque = true;
    for (uint32_t y = 0; y < frame.GetHeight() && opaque; ++y)
        for (uint32_t x = 0; x < frame.GetWidth() && opaque; ++x)
            opaque = frame.Row(y)[x * 4 + 3] == 255;
    EXPECT_TRUE(opaque);
}

// How far a saved screenshot is from what the screen showed: the pixels off
// by more than the tolerance in a colour, and of those the ones the file has
// black where the screen showed something bright.
struct SScreenshotDifference {
    size_t off = 0;
    size_t blackened = 0;
    int firstOffRow = -1;
};

SScreenshotDifference CompareWithScreen(const CFrame& file, const std::vector<uint32_t>& screen, int tolerance)
{
    SScreenshotDifference difference;
    const uint32_t bytes = file.GetBitDepth() / 8;
    for (uint32_t y = 0; y < file.GetHeight(); ++y) {
        const uint8_t* row = file.Row(y);
        for (uint32_t x = 0; x < file.GetWidth(); ++x) {
            const uint32_t shown = screen[size_t(y) * file.GetWidth() + x];
            const uint8_t* saved = row + x * bytes;
            int most = 0, brightest = 0, savedBrightest = 0;
            for (int c = 0; c < 3; ++c) {
                const int value = int(shown >> (8 * c) & 0xFFu);
                most = std::max(most, std::abs(value - int(saved[c])));
                brightest = std::max(brightest, value);
                savedBrightest = std::max(savedBrightest, int(saved[c]));
            }
            if (most <= tolerance)
                continue;
            ++difference.off;
            if (difference.firstOffRow < 0)
                difference.firstOffRow = int(y);
            if (savedBrightest < 24 && brightest > 96)
                ++difference.blackened;
        }
    }
    return difference;
}

// Both screenshots, decoded, are the picture the screen showed, top row
// first: sprites' transparent pixels show what lies under them, never black.
TEST_F(GameProgram, ScreenshotsHoldThePictureTheScreenShows)
{
    ASSERT_TRUE(StartInTown());
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(Pass(17));
    plat::CGraphicsDeviceHeadless& device = m_Platform.GetHeadlessScreen();
    ASSERT_EQ(device.GetBackBufferWidth(), 1024);
    ASSERT_EQ(device.GetBackBufferHeight(), 768);
    App()->Draw();
    const std::vector<uint32_t> screen = device.GetPresented();

    const CJString tga = App()->StartNewRound("Screen Shot %02d.TGA", nullptr);
    ASSERT_STREQ(tga.GetString(), "Screen Shot 00.TGA");
    const std::string tgaBytes = ReadBytes(UserPath("Screen Shot 00.TGA"));
    CFrame tgaFrame;
    CTGAFileIO reader;
    ASSERT_TRUE(reader.DecodeFromMemory(tgaFrame, reinterpret_cast<const uint8_t*>(tgaBytes.data()),
                                        uint32_t(tgaBytes.size()), "Screen Shot 00.TGA", 32));
    ASSERT_EQ(tgaFrame.GetWidth(), 1024u);
    ASSERT_EQ(tgaFrame.GetHeight(), 768u);
    const SScreenshotDifference tgaDifference = CompareWithScreen(tgaFrame, screen, 8);
    EXPECT_EQ(tgaDifference.blackened, 0u);
    EXPECT_LT(tgaDifference.off, 1024u * 768u / 200u) << "first row off: " << tgaDifference.firstOffRow;

    const CJString jpg = App()->StartNewRound("Screen Shot %02d.jpg", nullptr);
    ASSERT_STREQ(jpg.GetString(), "Screen Shot 00.jpg");
    CFrame jpgFrame;
    ASSERT_TRUE(LoadJPEGFile(jpgFrame, UserPath("Screen Shot 00.jpg").c_str(), 0));
    ASSERT_EQ(jpgFrame.GetBitDepth(), 24u);
    ASSERT_EQ(jpgFrame.GetWidth(), 1024u);
    // Compression blurs sharp edges, text above all.
    const SScreenshotDifference jpgDifference = CompareWithScreen(jpgFrame, screen, 64);
    EXPECT_LT(jpgDifference.blackened, 1024u * 768u / 2000u);
    EXPECT_LT(jpgDifference.off, 1024u * 768u / 50u) << "first row off: " << jpgDifference.firstOffRow;
}

TEST_F(GameProgram, EditorCommandsAreConsumedAndOthersPassOn)
{
    ASSERT_TRUE(Start());
    EXPECT_TRUE(App()->OnCommand(21));
    EXPECT_TRUE(App()->OnCommand(28));
    EXPECT_FALSE(App()->OnCommand(27));
    // Loose data: the developer options are on.
    EXPECT_TRUE(App()->IsNamedOptionSet("Editor"));
}

// The channel's picture is the data's too: a file the reader refuses is
// said on standard error with its name, whatever the debug output. The
// player's own comes first, the data's after it.
TEST_F(GameProgram, ARefusedChannelPictureIsReported)
{
    auto picture = CFrame::MakeOwned(8, 8, 24);
    ASSERT_TRUE(WriteJPEGFile(*picture, PathOf("Data/Channel.jpg").c_str(), 80, 0));
    std::string bytes = ReadBytes(PathOf("Data/Channel.jpg"));
    const size_t frame = bytes.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    bytes.replace(frame + 5, 4, std::string("\x80\0\x80\0", 4)); // 32768 x 32768
    ASSERT_EQ(UserPath("Channel.jpg"), "Channel.jpg");
    WriteBytes(PathOf("Channel.jpg"), bytes);
    testing::internal::CaptureStderr();
    const bool started = Start();
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(started);
    EXPECT_NE(report.find("Channel.jpg: Image \""), std::string::npos) << report;
    EXPECT_NE(report.find("Channel.jpg\" refused: its size is more than"), std::string::npos) << report;
}

TEST_F(GameProgram, AMissingLoadingPictureIsFatal)
{
    std::filesystem::remove(PathOf("Data/Resources/Frames/LoadingScreen_Background.png"));
    CScopedThrowingFatal fatal;
    try {
        Start();
        FAIL() << "the start went on without its loading picture";
    } catch (const CFatalErrorException& error) {
        EXPECT_NE(error.message.find("LoadingScreen_Background"), std::string::npos) << error.message;
    }
}

// Without its level set the game has nothing to play: it goes on in an empty
// town (as with a set of no levels), and says why on standard error.
class GameWithoutLevels : public GameProgram {
protected:
    // The report of a start over the data with "Levels" replaced by the
    // bytes (missing when null).
    std::string StartWithLevelsFile(const char* bytes)
    {
        if (bytes)
            WriteBytes(PathOf("Data/Resources/Levels.Object.txt"), bytes);
        else
            std::filesystem::remove(PathOf("Data/Resources/Levels.Object.txt"));
        testing::internal::CaptureStderr();
        const bool started = Start() && Pass(17);
        const std::string report = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(started);
        EXPECT_EQ(CLevelOptions::SGetCurrent(), nullptr);
        return report;
    }
};

TEST_F(GameWithoutLevels, AMissingLevelSetIsReported)
{
    const std::string report = StartWithLevelsFile(nullptr);
    EXPECT_NE(report.find("Resources: the general objects hold no \"Levels\": there are no levels to play and the "
                          "town is empty\n"),
              std::string::npos)
        << report;
}

TEST_F(GameWithoutLevels, AnUnreadableLevelSetIsReported)
{
    // First of the general objects, it is still there to be read.
    for (const auto& entry : std::filesystem::directory_iterator(PathOf("Data/Resources"))) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".Object.txt") && name < "Levels")
            std::filesystem::remove(entry.path());
    }
    const std::string report = StartWithLevelsFile("");
    EXPECT_NE(report.find("Resources/Levels: not a level set that could be read: there are no levels to play"),
              std::string::npos)
        << report;
}

TEST_F(GameProgram, ClickingATreePlaysItsRustleAndSwellsItOnce)
{
    ASSERT_TRUE(StartInTown());
    CPlayfield* playfield = GetCurrentPlayfield();
    ASSERT_NE(playfield, nullptr);
    CPlayfieldLayer* meadow = playfield->FindLayer("Meadow");
    ASSERT_NE(meadow, nullptr);
    ASSERT_TRUE(Pass(17));
    // The tree on a vacant lot hid at its first update; the flag waits for
    // its optional goal.
    CSprite* tree = nullptr;
    for (uint32_t i = 0; i < meadow->GetSpriteCount(); ++i) {
        CSprite* sprite = meadow->GetSprite(i);
        const CFPoint at = sprite->GetPosition();
        if (at.x == 406.0f && at.y == 374.0f) {
            EXPECT_FALSE(sprite->IsVisible()) << "the tree on the first lot";
        }
        if (at.x == 1000.0f && at.y == 330.0f) {
            EXPECT_FALSE(sprite->IsVisible()) << "the flag of the first goal";
        }
        if (at.x == 148.0f && at.y == 420.0f)
            tree = sprite;
    }
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(tree->IsVisible());
    const float scale = tree->GetScale().x;

    CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent();
    ASSERT_NE(stats, nullptr);
    const uint32_t pokes = stats->m_PokeSoundsPlayed;
    CSound* rustle = CSoundList::SGetGlobal().GetSoundByName("Tree Rustle");
    ASSERT_NE(rustle, nullptr);
    auto playing = [rustle] {
        for (CSound* s = rustle; s; s = s->GetNextCopy())
            if (s->IsPlaying())
                return true;
        return false;
    };
    EXPECT_FALSE(playing());
    PushClick(148, 420);
    ASSERT_TRUE(Pass(17));
    ASSERT_TRUE(Pass(17));
    EXPECT_EQ(stats->m_PokeSoundsPlayed, pokes + 1);
    EXPECT_TRUE(playing());
    EXPECT_GT(tree->GetScale().x, scale);
    EXPECT_EQ(tree->GetScale().y, tree->GetScale().x);

    // A second click while it swells does nothing; the swell ends where it began.
    PushClick(148, 420);
    ASSERT_TRUE(Pass(17));
    EXPECT_EQ(stats->m_PokeSoundsPlayed, pokes + 1);
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(Pass(17));
    EXPECT_EQ(tree->GetScale().x, scale);
}

// The program itself over the copy: headless, and in a real window on a
// virtual display, it plays the first level and ends with status 0.
TEST_F(GameProgram, TheProgramPlaysTheFirstLevelHeadlessAndInARealWindow)
{
    const std::map<std::string, std::string> headless{
        {"XDG_RUNTIME_DIR", Folder()}, {"OMBRISALT_HEADLESS", "1"}, {"ASAN_OPTIONS", "detect_leaks=0"}};
    int pid = SpawnProgram({"/DataFolder", Folder(), "/Passes", "90"}, headless, {}, PathOf("headless.err"));
    ASSERT_GT(pid, 0);
    EXPECT_EQ(WaitForExitStatus(pid), 0) << ReadBytes(PathOf("headless.err"));

    if (!CVirtualDisplay::IsInstalled())
        GTEST_SKIP() << "no Xvfb: the real window is not tried";
    CVirtualDisplay display;
    ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
    const std::map<std::string, std::string> windowed{
        {"DISPLAY", display.Display()}, {"XDG_RUNTIME_DIR", Folder()}, {"ASAN_OPTIONS", "detect_leaks=0"}};
    pid = SpawnProgram({"/DataFolder", Folder(), "/Passes", "90"}, windowed,
                       {"OMBRISALT_HEADLESS", "CI", "WAYLAND_DISPLAY"}, PathOf("window.err"));
    ASSERT_GT(pid, 0);
    const CEndsWithTest guard(pid);
    EXPECT_EQ(WaitForExitStatus(pid), 0) << ReadBytes(PathOf("window.err"));
}

TEST_F(GameProgram, TypingTheFrameRateWordShowsTheFrameRateAndTheMoneyWordRaisesTheMoney)
{
    // The words as a new start registers them: an earlier test's keyboard
    // reset may have dropped the list's hold on the typed characters.
    CKeyboardState::SGetInstance().ResetForTesting();
    CTypedCommandList::SGetInstance().ResetForTesting();
    ResetGameTypedCommandsForTesting();
    ASSERT_TRUE(Start());
    CGameState& state = *CGameState::SGetCurrent();
    const float money = state.m_SpendableMoneyK;
    const bool shown = App()->GetDisplayFps();
    auto type = [&](const char* text) {
        for (const char* c = text; *c; ++c) {
            plat::WindowEvent event;
            event.kind = plat::WindowEvent::Kind::Char;
            event.character = uint8_t(*c);
            m_Platform.GetHeadlessWindow().PushEvent(event);
        }
        ASSERT_TRUE(Pass(17));
    };
    type("glimvat");
    EXPECT_NE(App()->GetDisplayFps(), shown);
    // The demo data lie in loose folders: the cheat words are there.
    type("zorpMelon");
    EXPECT_EQ(state.m_SpendableMoneyK, money + 100.0f);
    type("glimvat");
    EXPECT_EQ(App()->GetDisplayFps(), shown);
}

} // namespace
