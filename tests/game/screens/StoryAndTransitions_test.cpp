// The decade transition and the story over the demo data in the running game
// with the screens layer installed as its registration installs it: what covers
// the playfield when, which commands run how often, which pages a player may
// leaf to.
#include "ScreensGameTest.h"

#include "foundation/CCommand.h"
#include "game/scripting/CAudio.h"
#include "game/screens/CCredits.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CLevelIntro.h"
#include "game/screens/CStats.h"
#include "game/screens/CStory.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CLevelSet.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGoal.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CRules.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/world/CTypedCommands.h"
#include "game/world/WorldHooks.h"
#include "images/CFrame.h"
#include "sequences/HueRemap.h"
#include "sequences/CTextSubstitutionList.h"
#include "sound/CSoundDevice.h"
#include "support/ScopedHooks.h"
#include "ui/CJButton.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The transitions of a list of their own, read from object files.
class TransitionList : public CTempFolderTest {
protected:
    static void Write(const char* name, uint32_t level)
    {
        WriteBytes(std::string("Resources/") + name + ".DecadeTransition.txt",
                   ObjectText("CDecadeTransition", "Position Marker Name=" + std::string(name) +
                                                       "\r\nLevel To Display Before=" + std::to_string(level) + "\r\n"));
    }
};

TEST_F(TransitionList, TheFirstInListOrderForTheLevelWinsAndZeroMatchesNone)
{
    Write("A Early", 3);
    Write("B Dawn", 0);
    Write("C Late", 3);
    Write("D Later", 4);
    CDecadeTransitionList list;
    list.SetSource(nullptr, "Resources", 0);
    ASSERT_EQ(list.GetCount(), 4);
    CDecadeTransition* third = FindDecadeTransitionForLevel(list, 2);
    ASSERT_NE(third, nullptr);
    EXPECT_STREQ(third->m_PositionMarkerName.GetString(), "A Early");
    ASSERT_NE(FindDecadeTransitionForLevel(list, 3), nullptr);
    EXPECT_STREQ(FindDecadeTransitionForLevel(list, 3)->m_PositionMarkerName.GetString(), "D Later");
    // "0" would be the level before the first: no index reaches it.
    EXPECT_EQ(FindDecadeTransitionForLevel(list, 0), nullptr);
    EXPECT_EQ(FindDecadeTransitionForLevel(list, 0xFFFFFFFFu), nullptr);
}

class ScreensGame : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        ReadList(GetDecadeTransitionList());
    }
    static std::unique_ptr<CFrame> Canvas()
    {
        auto canvas = std::make_unique<CFrame>();
        canvas->Create(1024, 768, 32);
        return canvas;
    }
    // Whether the rules' transition sound has a copy playing.
    static bool TransitionSoundPlays()
    {
        return AudioPlays(CRules::SGetInstance().m_OpenDecadeTransitionAudio);
    }


};

TEST_F(ScreensGame, ANewGameShowsTheFirstTransitionThenStartsTheLevelOnContinue)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(17));
    CDecadeTransitionWindow* window = GetDecadeTransitionWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_STREQ(window->GetTransition()->m_PositionMarkerName.GetString(), "Harbour Years");
    EXPECT_EQ(CRules::SGetInstance().m_OpenDecadeTransitionAudio, GetAudioList().Find("Decade Fanfare"));
    EXPECT_EQ(CGameSongPlayer::SGetInstance().GetCurrentPeriod(), GetPeriodList().Find("Period 1"));
    // The playfield shows through during the first second.
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Pass(17));
    EXPECT_FALSE(window->IsCovered());
    EXPECT_EQ(App()->GetOpenScreens(), 0u);
    EXPECT_NE(PresentedPixel(40, 40), 0x000000u);
    for (int i = 0; i < 70; ++i)
        ASSERT_TRUE(Pass(17));
    ASSERT_EQ(GetDecadeTransitionWindow(), window);
    EXPECT_TRUE(window->IsCovered());
    EXPECT_EQ(App()->GetOpenScreens(), 1u);
    // Black now covers the playfield around the card.
    EXPECT_EQ(PresentedPixel(40, 40), 0x000000u);
    EXPECT_EQ(PresentedPixel(1000, 700), 0x000000u);
    ASSERT_NE(window->GetContinueButton(), nullptr);
    // Continue: the screen goes, the level starts with its introduction.
    const CRect button = window->GetContinueButton()->GetScreenRect();
    PushClick((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Pass(17));
    EXPECT_EQ(GetDecadeTransitionWindow(), nullptr);
    EXPECT_EQ(App()->GetOpenScreens(), 0u);
    EXPECT_EQ(GetCurrentLevelIndex(), 0u);
    EXPECT_NE(CLevelOptions::SGetCurrent(), nullptr);
}

TEST_F(ScreensGame, WithoutATransitionForTheFirstLevelTheGameStartsAtOnce)
{
    std::filesystem::remove(PathOf("Data/Resources/Harbour Years.DecadeTransition.txt"));
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(17));
    EXPECT_EQ(GetDecadeTransitionWindow(), nullptr);
    EXPECT_NE(CLevelOptions::SGetCurrent(), nullptr);
}

TEST_F(ScreensGame, TransitionSoundsOnTheSecondDrawAndItsCommandRunsOnce)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CDecadeTransition* transition = FindDecadeTransitionForLevel(GetDecadeTransitionList(), 0);
    ASSERT_NE(transition, nullptr);
    const uint32_t screens = App()->GetOpenScreens();

    int runs = 0;
    auto* window = new CDecadeTransitionWindow(nullptr, transition, new CCountingCommand(runs));
    auto canvas = Canvas();
    window->Draw(*canvas);
    EXPECT_FALSE(TransitionSoundPlays());
    window->Draw(*canvas);
    EXPECT_TRUE(TransitionSoundPlays());
    window->Update(1.01f);
    window->Draw(*canvas);
    EXPECT_EQ(App()->GetOpenScreens(), screens + 1);
    EXPECT_EQ(runs, 0);
    // Escape presses "Continue": the command runs, the screen closes.
    EXPECT_TRUE(window->OnKeyDown(kKeyEscape));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(GetDecadeTransitionWindow(), nullptr);
    EXPECT_EQ(App()->GetOpenScreens(), screens);

    // Closed from outside before covering: the command still runs once and
    // the count of open screens, never raised, stays.
    auto* early = new CDecadeTransitionWindow(nullptr, transition, new CCountingCommand(runs));
    early->Update(0.5f);
    early->Draw(*canvas);
    EXPECT_FALSE(early->IsCovered());
    early->Destroy();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(App()->GetOpenScreens(), screens);
}

TEST_F(ScreensGame, PlayedPagesRaiseTheFurthestPageViewed)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(17));
    ASSERT_EQ(CStoryWindow::GetPageCount(), 3u);
    Player().m_NumStoryPagesViewed = 0;
    CStats::SGetInstance().Save();
    ASSERT_FALSE(CStats::SGetInstance().NeedsSave());

    auto* first = new CStoryWindow(nullptr, 1, false, nullptr, nullptr);
    EXPECT_EQ(Player().m_NumStoryPagesViewed, 1u);
    EXPECT_TRUE(CStats::SGetInstance().NeedsSave());
    first->Destroy();
    auto* again = new CStoryWindow(nullptr, 0, false, nullptr, nullptr);
    EXPECT_EQ(Player().m_NumStoryPagesViewed, 1u);
    again->Destroy();

    // A page past the story draws nothing at all, yet counts as viewed.
    auto* past = new CStoryWindow(nullptr, 3, false, nullptr, nullptr);
    EXPECT_EQ(past->GetPage(), CStoryWindow::kNoPage);
    EXPECT_EQ(Player().m_NumStoryPagesViewed, 3u);
    auto canvas = Canvas();
    CColor grey(90, 90, 90, 255);
    canvas->FillRect(CRect{0, 0, 1024, 768}, grey);
    past->Draw(*canvas);
    CColor pixel;
    canvas->GetPixel(512, 384, pixel);
    EXPECT_EQ(pixel.GetRed(), 90);
    past->Destroy();
}

TEST_F(ScreensGame, ABookLeafsOnlyAsFarAsThePlayerHasRead)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    Player().m_NumStoryPagesViewed = 1;
    int runs = 0;
    auto* book = new CStoryWindow(nullptr, 0, true, new CCountingCommand(runs), nullptr);
    CScreenWindow::GetScreenWindow()->AddChild(book, EPlace::Centred);
    EXPECT_FALSE(book->HasPrevButton());
    EXPECT_TRUE(book->HasNextButton());
    // "Next" clicked: the page turns and the buttons are made anew.
    CJWindow* next = nullptr;
    for (CJWindow* child = book->GetFirstChild(); child; child = child->GetNextSibling())
        if (std::string(child->GetTitleText()) == "Next >")
            next = child;
    ASSERT_NE(next, nullptr);
    ASSERT_TRUE(Pass(17));
    const CRect at = next->GetScreenRect();
    PushClick((at.left + at.right) / 2, (at.top + at.bottom) / 2);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Pass(17));
    EXPECT_EQ(book->GetPage(), 1u);
    EXPECT_TRUE(book->HasPrevButton());
    EXPECT_FALSE(book->HasNextButton());
    book->NextPage();
    EXPECT_EQ(book->GetPage(), 1u);
    book->PreviousPage();
    book->PreviousPage();
    EXPECT_EQ(book->GetPage(), 0u);

    // Read to the end, the book's last page offers "The End?" and Continue,
    // Enter's button there as on every page, only closes it.
    Player().m_NumStoryPagesViewed = 2;
    book->NextPage();
    book->NextPage();
    ASSERT_EQ(book->GetPage(), 2u);
    CJButton* done = dynamic_cast<CJButton*>(book->GetDefaultButton());
    ASSERT_NE(done, nullptr);
    EXPECT_STREQ(done->GetTitleText(), "The End?");
    EXPECT_TRUE(book->OnKeyDown(kKeyEnter));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(GetStoryWindow(), nullptr);
}

TEST_F(ScreensGame, SkipRunsOnlyTheSkipCommandAndOutsideClosingRunsNeither)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(17));
    int continued = 0;
    int skipped = 0;
    auto* story = new CStoryWindow(nullptr, 0, false, new CCountingCommand(continued), new CCountingCommand(skipped));
    CJButton* done = dynamic_cast<CJButton*>(story->GetDefaultButton());
    ASSERT_NE(done, nullptr);
    EXPECT_STREQ(done->GetTitleText(), "Done");
    story->Skip();
    EXPECT_EQ(skipped, 1);
    EXPECT_EQ(continued, 0);

    auto* closed = new CStoryWindow(nullptr, 1, false, new CCountingCommand(continued), new CCountingCommand(skipped));
    closed->Destroy();
    EXPECT_EQ(skipped, 1);
    EXPECT_EQ(continued, 0);
    EXPECT_EQ(GetStoryWindow(), nullptr);
}

// What the player sees: the story page over black with its buttons, then the
// credits window, drawn by the running game.
TEST_F(ScreensGame, TheDemoStoryPageAndCreditsShowOnScreen)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    ASSERT_NE(screen, nullptr);
    auto* story = new CStoryWindow(nullptr, 0, false, nullptr, nullptr);
    screen->AddChild(story, EPlace::Centred);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Pass(17));
    // Outside the page: black; inside: the first page's blue.
    EXPECT_EQ(PresentedPixel(40, 40), 0x000000u);
    EXPECT_EQ(PresentedPixel(130, 600), 0x1E3454u);
    SaveScreenshot("story.ppm");
    story->Close();

    auto* credits = new CCreditsWindow(nullptr, "Credits.txt");
    const auto& entries = credits->GetControl()->GetReader().GetEntries();
    // An entry per line that is not a comment.
    size_t lines = 0;
    const std::string text = ReadBytes(std::string(OMBRISALT_SOURCE_DIR) + "/data/Data/Credits.txt");
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        lines += text.compare(at, 2, "//") != 0;
        at = end + 1;
    }
    ASSERT_EQ(entries.size(), lines);
    EXPECT_STREQ(entries[0].text.GetString(), "_Ombrisalt");
    // The loading picture of the frame library, found by name.
    bool picture = false;
    for (const SCreditsEntry& entry : entries)
        picture = picture || entry.image != nullptr;
    EXPECT_TRUE(picture);
    screen->AddChild(credits, EPlace::Centred);
    for (int i = 0; i < 240; ++i)
        ASSERT_TRUE(Pass(17));
    const CRect box = credits->GetControl()->GetScreenRect();
    uint32_t lit = 0;
    for (int32_t y = box.top + 4; y < box.bottom - 4; ++y)
        lit += PresentedPixel((box.left + box.right) / 2, y) != PresentedPixel(box.left + 3, box.top + 3);
    EXPECT_GT(lit, 0u);
    SaveScreenshot("credits.ppm");
    credits->Close();
}

// A 40 MB credits file (a line of half of it on top, then a million short
// ones) still reads, scrolls, and lets the player go with Escape a few
// frames later.
TEST_F(ScreensGame, AFortyMegabyteCreditsFileCanBeLeftWithEscape)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    ASSERT_NE(screen, nullptr);
    size_t lines = 0;
    {
        std::string text;
        text = "_" + std::string(size_t(20) << 20, 'W') + "\r\n";
        for (lines = 1; text.size() < (size_t(40) << 20); ++lines)
            text += "Thanks to player " + std::to_string(lines) + "~and friends\r\n";
        WriteBytes(PathOf("Long Credits.txt"), text);
    }
    auto* credits = new CCreditsWindow(nullptr, PathOf("Long Credits.txt").c_str());
    EXPECT_EQ(credits->GetControl()->GetReader().GetEntries().size(), lines);
    screen->AddChild(credits, EPlace::Centred);
    auto open = [&] {
        for (CJWindow* child = screen->GetFirstChild(); child; child = child->GetNextSibling())
            if (dynamic_cast<CCreditsWindow*>(child))
                return true;
        return false;
    };
    Passes(5);
    ASSERT_TRUE(open());
    plat::WindowEvent event;
    event.virtualKey = plat::vk::kEscape;
    event.character = 27;
    for (auto kind : {plat::WindowEvent::Kind::KeyDown, plat::WindowEvent::Kind::Char, plat::WindowEvent::Kind::KeyUp}) {
        event.kind = kind;
        m_Platform.GetHeadlessWindow().PushEvent(event);
    }
    Passes(3);
    EXPECT_FALSE(open());
}

// Each page of the demo story shows its picture, its heading and its text
// on its own colour; only the last offers "The End?".
TEST_F(ScreensGame, EveryDemoStoryPageShowsItsPictureHeadingAndText)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    ASSERT_NE(screen, nullptr);
    const uint32_t pages = CStoryWindow::GetPageCount();
    ASSERT_EQ(pages, 3u) << "a page from the menu, after the tutorial and after the life reward";
    std::vector<uint32_t> colours;
    for (uint32_t page = 0; page < pages; ++page) {
        auto* story = new CStoryWindow(nullptr, page, false, nullptr, nullptr);
        screen->AddChild(story, EPlace::Centred);
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(Pass(17));
        const uint32_t paper = PresentedPixel(130, 600);
        EXPECT_NE(paper, 0x000000u) << page;
        colours.push_back(paper);
        // The picture: many colours over its box.
        std::vector<uint32_t> seen;
        for (int32_t y = 95; y < 330; y += 5)
            for (int32_t x = 280; x < 750; x += 5) {
                const uint32_t pixel = PresentedPixel(x, y);
                if (std::find(seen.begin(), seen.end(), pixel) == seen.end())
                    seen.push_back(pixel);
            }
        EXPECT_GT(seen.size(), 20u) << "page " << page << " has no picture";
        SaveScreenshot(("story-" + std::to_string(page) + ".ppm").c_str());
        // Lit rows in the heading's band and in the body's.
        const auto rowsWithText = [&](int32_t top, int32_t bottom) {
            uint32_t rows = 0;
            for (int32_t y = top; y < bottom; ++y) {
                bool lit = false;
                for (int32_t x = 200; x < 824 && !lit; x += 2)
                    lit = PresentedPixel(x, y) != paper;
                rows += lit;
            }
            return rows;
        };
        EXPECT_GT(rowsWithText(356, 400), 10u) << "page " << page << " has no heading";
        EXPECT_GT(rowsWithText(416, 620), 20u) << "page " << page << " has too little text";
        EXPECT_EQ(rowsWithText(620, 636), 0u) << "page " << page << "'s text runs past its box";
        CTextSubstitutionList values;
        story->FillSubstitutions(values);
        EXPECT_STREQ(values.Apply(CJString("%s[ContinueButtonTitle]")).GetString(),
                     page + 1 == pages ? "The End?" : "Done");
        story->Close();
        ASSERT_TRUE(Pass(17));
    }
    EXPECT_NE(colours[0], colours[1]);
    EXPECT_NE(colours[1], colours[2]);
}

} // namespace
