// The trophy room over the demo game with trophies, options and a room set
// of the tests' own: what the text panel says under the mouse and when, what
// is drawn where, where "Scrapbook" leads, and the way in from the "New
// Trophy Earned" menu.
#include "ScreensGameTest.h"

#include "foundation/CCommand.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CNeighborhoodViewer.h"
#include "game/screens/CNewTrophyEarned.h"
#include "game/screens/CStats.h"
#include "game/screens/CTrophyRoom.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelPlay.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/world/CTypedCommands.h"
#include "game/world/WorldHooks.h"
#include "images/CFrame.h"
#include "objects/CClassInfo.h"
#include "objects/CPropertyArrayProperty.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "support/ScopedHooks.h"
#include "ui/CJButton.h"
#include "ui/CJMessageBox.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

namespace {

std::string Trophy(const std::string& name, const std::string& images)
{
    return ObjectText("CAchievement", "Display Name=" + name + " Name\r\nDescription=" + name +
                                          " to do\r\nJust Earned Description=" + name + " done\r\n" + images);
}

std::string TrophyOverlay(const char* name, int32_t x, int32_t y)
{
    return "\t\tArray Item=CAchievementFrameOverlayOverlay\r\n\t\t{\r\n\t\t\tAchievement=" + std::string(name) +
           "\r\n\t\t\tPosition=" + std::to_string(x) + "," + std::to_string(y) + "\r\n\t\t}\r\n";
}

class TrophyRoomGame : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        const std::string res = "Data/Resources/";
        if (m_WithoutNoneFile)
            std::filesystem::remove(PathOf(res + "!None.Achievement.txt"));
        else
            WriteBytes(PathOf(res + "!None.Achievement.txt"), ObjectText("CAchievement", ""));
        WriteBytes(PathOf(res + "AccomplishedBuilder.Achievement.txt"),
                   Trophy("Builder", "Is Clickable When Earned=1\r\nEarned Image=Coin\r\nUn-Earned Image=House\r\n"
                                     "Hover Sequence=Lot Hover\r\n"));
        WriteBytes(PathOf(res + "MatchingMaster.Achievement.txt"),
                   Trophy("Matcher", "Earned Image=Coin\r\nUn-Earned Image=House\r\n"));
        WriteBytes(PathOf(res + "Plain.Achievement.txt"), Trophy("Plain", ""));
        WriteBytes(PathOf(res + "Achievement Options.Object.txt"), ObjectText("CAchievementOptions", ""));
        WriteBytes(PathOf(res + "Frame Overlay Options/Trophy Screen Overlay.FOO"),
                   "CFrameOverlayOptions\r\n{\r\n\tText Overlays=Array\r\n\t{\r\n\t\tItem Count=5\r\n" +
                       TrophyOverlay("AccomplishedBuilder", 100, 100) + TrophyOverlay("MatchingMaster", 300, 100) +
                       TrophyOverlay("Plain", 500, 100) +
                       "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=Continue\r\n\t\t\tTitle=Continue\r\n"
                       "\t\t\tPosition=824,700\r\n\t\t\tSize=160,40\r\n\t\t}\r\n"
                       "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=Scrapbook\r\n\t\t\tTitle=Scrapbook\r\n"
                       "\t\t\tPosition=40,700\r\n\t\t\tSize=160,40\r\n\t\t}\r\n\t}\r\n}\r\n");
        ReadList(GetAchievementList(), "Resources", "Achievement");
        ReadList(GetDecadeTransitionList());
        ASSERT_NO_FATAL_FAILURE(StartPastOpening());
        ASSERT_TRUE(Pass(17));
        m_Canvas = std::make_unique<CFrame>();
        m_Canvas->Create(1024, 768, 32);
        m_Screens = App()->GetOpenScreens();
    }
    static int32_t Index(const char* name) { return GetAchievementList().Find(name); }
    // A point of the trophy's frame 0 that hits, in screen terms.
    static CPoint HitPoint(const char* sequence, CPoint at)
    {
        CFrame* frame = GetSequenceList().GetObject(GetSequenceList().Find(sequence))->GetFrame(0);
        for (int32_t y = 0; y < 200; ++y)
            for (int32_t x = 0; x < 200; ++x)
                if (frame->HitTest(x, y))
                    return CPoint{at.x + x, at.y + y};
        ADD_FAILURE() << sequence << " has no pixel to hit";
        return at;
    }
    // What the room's next draw would show, the mark of this draw taken.
    CJString Shown(CTrophyRoomWindow& room, const char* key, CPoint mouse)
    {
        CTextSubstitutionList values;
        room.FillSubstitutions(values, mouse);
        return values.Apply(CJString(key));
    }
    void DrawWithMouse(CTrophyRoomWindow& room, CPoint mouse)
    {
        CMouseState::SGetInstance().SetPosition(mouse.x, mouse.y);
        room.Draw(*m_Canvas);
    }

    std::unique_ptr<CFrame> m_Canvas;
    uint32_t m_Screens = 0;
    bool m_WithoutNoneFile = false; // the data's "!None.Achievement.txt" taken out
};

class TrophyRoomWithoutNoneFile : public TrophyRoomGame {
protected:
    void SetUp() override
    {
        m_WithoutNoneFile = true;
        TrophyRoomGame::SetUp();
    }
};

TEST_F(TrophyRoomGame, ThePanelDescribesTheTrophyUnderTheMouseOneFrameLate)
{
    AwardAchievementByName("AccomplishedBuilder");
    auto* room = new CTrophyRoomWindow(nullptr);
    EXPECT_EQ(App()->GetOpenScreens(), m_Screens + 1);
    const CPoint earned = HitPoint("Coin", CPoint{100, 100});
    DrawWithMouse(*room, earned);
    EXPECT_STREQ(Shown(*room, "%s[Name]", earned).GetString(), "Builder Name");
    // Earned and clickable: the earned text and the click message.
    DrawWithMouse(*room, earned);
    EXPECT_STREQ(Shown(*room, "%s[Description]", earned).GetString(), "Builder done");
    DrawWithMouse(*room, earned);
    EXPECT_STREQ(Shown(*room, "%s[ClickMessage]", earned).GetString(), "Click on trophy to view more information");

    // Not earned: the plain description, no click message.
    const CPoint open = HitPoint("House", CPoint{300, 100});
    DrawWithMouse(*room, open);
    EXPECT_STREQ(Shown(*room, "%s[Description]", open).GetString(), "Matcher to do");
    DrawWithMouse(*room, open);
    EXPECT_STREQ(Shown(*room, "%s[ClickMessage]", open).GetString(), "");

    // Off every trophy: the panel still shows what the last frame marked,
    // then empties.
    const CPoint away{700, 400};
    DrawWithMouse(*room, open);
    CMouseState::SGetInstance().SetPosition(away.x, away.y);
    CTextSubstitutionList values;
    room->FillSubstitutions(values, away);
    EXPECT_STREQ(values.Apply(CJString("%s[Name]")).GetString(), "Matcher Name");
    room->Draw(*m_Canvas);
    EXPECT_STREQ(Shown(*room, "%s[Name]", away).GetString(), "");

    // A trophy without images is neither drawn nor hit.
    DrawWithMouse(*room, CPoint{502, 102});
    EXPECT_EQ(GetHoveredTrophy(), -1);
    CColor pixel;
    m_Canvas->GetPixel(502, 102, pixel);
    EXPECT_EQ(pixel.GetRed() + pixel.GetGreen() + pixel.GetBlue(), 0);

    // Earning a trophy swaps its picture at once.
    CColor before;
    m_Canvas->GetPixel(open.x, open.y, before);
    AwardAchievementByName("MatchingMaster");
    DrawWithMouse(*room, away);
    CColor after;
    m_Canvas->GetPixel(open.x, open.y, after);
    EXPECT_NE(before.GetRed() * 65536 + before.GetGreen() * 256 + before.GetBlue(),
              after.GetRed() * 65536 + after.GetGreen() * 256 + after.GetBlue());

    // Over the Scrapbook button: the options' scrap-book texts.
    const CRect button = room->GetScrapbookButton()->GetRect();
    const CPoint onButton{button.left + 5, button.top + 5};
    EXPECT_STREQ(Shown(*room, "%s[Name]", onButton).GetString(), "Scrapbook");

    // A trophy given a command runs it while the left button is down over it.
    auto* first = dynamic_cast<CAchievementFrameOverlayOverlay*>(
        FindFrameOverlayOptions("Trophy Screen Overlay")->GetOverlay(0));
    ASSERT_NE(first, nullptr);
    int runs = 0;
    first->SetCommand(new CCountingCommand(runs));
    DrawWithMouse(*room, earned);
    EXPECT_EQ(runs, 0);
    CMouseState::SGetInstance().SetButtons(1);
    DrawWithMouse(*room, earned);
    DrawWithMouse(*room, away);
    CMouseState::SGetInstance().SetButtons(0);
    EXPECT_EQ(runs, 1);
    first->SetCommand(nullptr);

    room->Destroy();
    EXPECT_EQ(App()->GetOpenScreens(), m_Screens);
    EXPECT_EQ(GetTrophyRoomWindow(), nullptr);
}

// The set names the first trophy of data without "!None.Achievement.txt":
// that trophy is drawn and described. The build before this one, whose list
// began with it, drew nothing there, and wrote a trophy left unset so.
TEST_F(TrophyRoomWithoutNoneFile, TheFirstTrophyTheSetNamesIsDrawn)
{
    ASSERT_EQ(Index("AccomplishedBuilder"), 1);
    auto* room = new CTrophyRoomWindow(nullptr);
    const CPoint open = HitPoint("House", CPoint{100, 100});
    DrawWithMouse(*room, open);
    EXPECT_EQ(GetHoveredTrophy(), Index("AccomplishedBuilder"));
    DrawWithMouse(*room, open);
    EXPECT_STREQ(Shown(*room, "%s[Name]", open).GetString(), "Builder Name");
    room->Destroy();
}

TEST_F(TrophyRoomGame, EarningsAndNameOfThePlayerAndContinueCloses)
{
    GetAchievementWorkVariables()->m_CareerRevenueK = 1234.5678f;
    Player().m_Name = "Ada";
    auto* room = OpenTrophyRoom(nullptr);
    ASSERT_EQ(GetTrophyRoomWindow(), room);
    EXPECT_STREQ(Shown(*room, "%s[CareerEarnings]", CPoint{-1, -1}).GetString(), "1,234,568");
    EXPECT_STREQ(Shown(*room, "%s[PlayerName]", CPoint{-1, -1}).GetString(), "Ada");
    // A broken total still reads as a number.
    GetAchievementWorkVariables()->m_CareerRevenueK = 1e12f;
    EXPECT_STREQ(Shown(*room, "%s[CareerEarnings]", CPoint{-1, -1}).GetString(), "2,147,483,647");
    ASSERT_TRUE(Pass(17));
    EXPECT_EQ(room->GetDefaultButton(), room->GetContinueButton());
    const CRect at = room->GetContinueButton()->GetScreenRect();
    PushClick((at.left + at.right) / 2, (at.top + at.bottom) / 2);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Pass(17));
    EXPECT_EQ(GetTrophyRoomWindow(), nullptr);
    EXPECT_EQ(App()->GetOpenScreens(), m_Screens);
}

TEST_F(TrophyRoomGame, ScrapbookShowsTheLevelBeforeTheSelectedOneOrSaysThereIsNone)
{
    auto* room = OpenTrophyRoom(nullptr);
    const uint32_t records = Player().m_pStatsForLevel.GetCount();
    // A fresh profile's "Selected Level" 0 looks at level 0, never wraps.
    Player().m_SelectedLevel = 0;
    EXPECT_EQ(CTrophyRoomWindow::GetScrapbookLevel(Player()), 0u);
    room->OpenScrapbook();
    EXPECT_EQ(GetNeighborhoodViewer(), nullptr);
    auto* box = dynamic_cast<CJMessageBox*>(CScreenWindow::GetScreenWindow()->GetFirstChild());
    ASSERT_NE(box, nullptr);
    EXPECT_STREQ(box->GetTitleText(), "No Neighborhoods To Show");
    box->Destroy();
    // Past the level set: no records made, the message again.
    Player().m_SelectedLevel = 0xFFFFFFFFu;
    room->OpenScrapbook();
    EXPECT_LE(Player().m_pStatsForLevel.GetCount(), std::max(records, 3u));
    EXPECT_EQ(GetNeighborhoodViewer(), nullptr);

    // Level 1 kept its lots: selected level 2 opens the viewer in the room's place.
    Player().m_SelectedLevel = 2;
    CPlayerStatsForLevel* kept = Player().GetLevelStats(1);
    ASSERT_NE(kept, nullptr);
    auto* lots = dynamic_cast<CPropertyArrayProperty*>(
        kept->GetClassInfo()->FindProperty("Saved Level Info For Scrapbook"));
    ASSERT_NE(lots, nullptr);
    lots->ArrayProperty_SetCount(kept, 1);
    room->OpenScrapbook();
    CNeighborhoodViewer* viewer = GetNeighborhoodViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->GetViewedLevelIndex(), 1u);
    EXPECT_FALSE(room->IsVisible());
}

TEST_F(TrophyRoomGame, TheTrophyMenuLeadsInAndTheGameGoesOnOnceBehindTheRoom)
{
    AwardAchievementByName("AccomplishedBuilder");
    int runs = 0;
    auto* menu = new CNewTrophyEarnedMenu(nullptr, new CCountingCommand(runs));
    CScreenWindow::GetScreenWindow()->AddChild(menu, EPlace::Centred);
    menu->OpenTrophyRoom();
    CTrophyRoomWindow* room = GetTrophyRoomWindow();
    ASSERT_NE(room, nullptr);
    // The room takes the menu's place; the menu goes, running the game's way on.
    EXPECT_EQ(GetNewTrophyEarnedMenu(), nullptr);
    EXPECT_EQ(runs, 1);
    room->Continue();
    ASSERT_TRUE(Pass(17));
    EXPECT_EQ(GetTrophyRoomWindow(), nullptr);
    EXPECT_EQ(GetNewTrophyEarnedMenu(), nullptr) << "nothing comes back";
    EXPECT_EQ(runs, 1);
}

} // namespace
