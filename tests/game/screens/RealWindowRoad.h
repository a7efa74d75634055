#pragma once
// The demo game in the real SDL window on the OpenGL screen of a virtual X
// display, played as a person plays it: every click, key and drag a real one
// through the XTEST extension, what to click read from the running game
// (windows, lots, the line, the bar), never from fixed points, so the data
// may change. The road tests' second runs derive from it.
#include "ScreensGameTest.h"

#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomer.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CMainMenu.h"
#include "game/screens/CNewTrophyEarned.h"
#include "game/screens/CPauseMenu.h"
#include "game/screens/CPlayerSelect.h"
#include "game/screens/CShop.h"
#include "game/screens/CStory.h"
#include "game/screens/CTownMap.h"
#include "game/scripting/CSprite.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPlayfield.h"
#include "platform/CPlatform.h"
#include "platform/Clock.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"
#include "support/VirtualDisplay.h"
#include "ui/CJEdit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

// The first run of a road: a virtual display larger than the game (1024 x
// 768), so the whole window lies on it, the second run played there, and
// the steps it reached compared with those expected. A road takes minutes
// of real play, too long for every run: it runs only when asked.
class CRealWindowRoadRun : public CRealWindowTest {
protected:
    void PlayRoad(const char* childTest, int minutes, const std::string& expectedEvents)
    {
        if (!std::getenv("OMBRISALT_ROAD_IN_WINDOW"))
            GTEST_SKIP() << "set OMBRISALT_ROAD_IN_WINDOW=1 to play the road in the real window";
        if (!CVirtualDisplay::IsInstalled())
            GTEST_SKIP() << "no Xvfb";
        CVirtualDisplay display("1280x1024x24");
        ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
        const auto started = std::chrono::steady_clock::now();
        ASSERT_EQ(RunChildOnDisplay(display, Folder(), childTest, PathOf("child.out"), minutes * 60), 0)
            << ChildOutput() << ReadBytes(PathOf("events.txt"));
        EXPECT_EQ(ReadBytes(PathOf("events.txt")), expectedEvents) << ChildOutput();
        // The child's own account of the road, step by step.
        std::printf("%s", ChildOutput().c_str());
        std::printf("the road took %lld seconds\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started)
                            .count()));
    }
};

// The second run: the demo game on the real platform, the player's part
// played into its window.
class CRealWindowRoad : public CScreensGameTest {
protected:
    void SetUp() override
    {
        if (plat::ChoosePlatformKind() != plat::PlatformKind::SDL)
            GTEST_SKIP() << "no display";
        CScreensGameTest::SetUp();
        if (IsSkipped())
            return;
        ReadList(GetDecadeTransitionList());
        ReadList(GetAchievementList());
        ReadList(GetLifeRewardList(), "Resources/LifeRewards", "LifeRewards");
        // The game opens on its main menu, as the program does.
        InstallMainMenuScreen();
    }

    // Plays the steps into the game's window and runs the game meanwhile,
    // then on until done() holds or the seconds have gone by.
    bool Play(const std::string& steps, const std::function<bool()>& done, double seconds = 8.0)
    {
        const char* script = std::getenv("OMBRISALT_XTEST_SCRIPT");
        const char* display = std::getenv("DISPLAY");
        if (!script || !display)
            return false;
        // Full screen at the game's size stretches the picture over the display.
        const bool stretched = CScreenFrame::SGetInstance().IsFullScreen() && !GetUseDesktopResolution();
        const std::string command = std::string("python3 '") + script + "' '" + display + "' Ombrisalt "
            + (stretched ? "stretched:1024,768 " : "game:1024,768 ") + steps;
        const pid_t player = ::fork();
        if (player == 0) {
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            std::_Exit(127);
        }
        if (player < 0)
            return false;
        // One player at a time: the next steps wait for these to be played.
        int status = 0;
        while (::waitpid(player, &status, WNOHANG) == 0)
            if (!PassReal())
                return false;
        return RunUntil(done, seconds);
    }
    bool RunUntil(const std::function<bool()>& done, double seconds)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (!done() && std::chrono::steady_clock::now() < until)
            if (!PassReal())
                return done();
        return done();
    }
    bool PassReal()
    {
        if (!Pass(17))
            return false;
        plat::SleepMs(5);
        return true;
    }
    static std::string At(CFPoint p)
    {
        return "move:" + std::to_string(int32_t(p.x)) + "," + std::to_string(int32_t(p.y));
    }
    static CFPoint Middle(const CJWindow& window)
    {
        const CRect r = window.GetScreenRect();
        return CFPoint{float(r.left + r.right) / 2.0f, float(r.top + r.bottom) / 2.0f};
    }
    // Clicks the window target() answers until done() holds: a click the
    // game was not ready for yet is given again.
    void ClickUntil(const std::function<CJWindow*()>& target, const std::function<bool()>& done, const char* what)
    {
        for (int attempt = 0; attempt < 5 && !done(); ++attempt) {
            CJWindow* window = target();
            if (!window) {
                RunUntil([&] { return target() != nullptr || done(); }, 5.0);
                continue;
            }
            Play(At(Middle(*window)) + " wait:150 down wait:100 up", done);
        }
        ASSERT_TRUE(done()) << what;
    }
    void Drag(CFPoint from, CFPoint to, const std::function<bool()>& done, double seconds)
    {
        std::string steps = At(from) + " wait:150 down wait:150";
        for (int step = 1; step <= 6; ++step)
            steps += " "
                + At(CFPoint{from.x + (to.x - from.x) * float(step) / 6.0f,
                             from.y + (to.y - from.y) * float(step) / 6.0f})
                + " wait:80";
        steps += " wait:150 up";
        Play(steps, done, seconds);
    }
    // Each step reached, into the first run's folder (handed over as the
    // runtime folder) at once, so a road that stops shows where.
    void Note(const char* event)
    {
        m_Events += std::string(event) + "\n";
        std::printf("%.1f s: %s\n", Seconds(), event);
        if (const char* first = std::getenv("XDG_RUNTIME_DIR"))
            WriteBytes(std::string(first) + "/events.txt", m_Events);
    }

    // Where a sprite of the playfield shows on the screen.
    static CFPoint OnScreen(CSprite* sprite)
    {
        CPlayfieldLayer* layer = GetCurrentPlayfield()->FindLayerOfSprite(sprite);
        return layer ? layer->LayerToScreen(sprite->GetPosition()) : sprite->GetPosition();
    }
    static std::vector<CCustomer*> Line()
    {
        std::vector<CCustomer*> out;
        CPlayfieldLayer* line = GetCurrentPlayfield() ? GetCurrentPlayfield()->FindLayer("Customers") : nullptr;
        for (uint32_t i = 0; line && i < line->GetSpriteCount(); ++i)
            if (auto* customer = dynamic_cast<CCustomer*>(line->GetSprite(i)->FindAI(CCustomer::SGetClassInfo())))
                if (line->GetSprite(i)->GetPosition().x > -999.0f)
                    out.push_back(customer);
        return out;
    }
    static bool InLine(CCustomer* customer)
    {
        for (CCustomer* c : Line())
            if (c == customer)
                return true;
        return false;
    }
    static std::vector<CLot*> Lots()
    {
        std::vector<CLot*> out;
        CLotPlayfieldLayer* layer = GetLotLayer();
        for (uint32_t i = 0; layer && i < layer->GetSpriteCount(); ++i)
            if (auto* lot = dynamic_cast<CLot*>(layer->GetSprite(i)->FindAI(CLot::SGetClassInfo())))
                out.push_back(lot);
        return out;
    }
    static CUpgradeButton* BarButton(int32_t upgrade)
    {
        CPlayfieldLayer* ui = GetCurrentPlayfield() ? GetCurrentPlayfield()->FindLayer("UI") : nullptr;
        for (uint32_t i = 0; ui && i < ui->GetSpriteCount(); ++i)
            if (auto* button = dynamic_cast<CUpgradeButton*>(ui->GetSprite(i)->FindAI(CUpgradeButton::SGetClassInfo())))
                if (button->GetUpgradeIndex() == upgrade)
                    return button;
        return nullptr;
    }
    // The next part the lot needs to become the customer's order: frames
    // first, then the other parts, the paint last; 0 when it has them all.
    static int32_t NextPart(const CBuildablePackage& wanted, const CLot& lot)
    {
        CBuildPhaseList& phases = GetBuildPhaseList();
        int32_t best = 0;
        int rank = 3;
        for (uint32_t phase = 0; phase < wanted.m_Parts.GetCount(); ++phase) {
            const int32_t part = wanted.m_Parts[phase];
            const bool painted = lot.GetBuilding() && lot.GetBuilding()->IsFullyPainted();
            const bool paint = dynamic_cast<CColorBuildablePart*>(GetUpgradeByIndex(part)) != nullptr;
            if (part == 0 || (lot.GetBuildingPart(int32_t(phase)) == part && (!paint || painted)))
                continue;
            CBuildPhase* kind = phases.GetObject(int32_t(phase));
            const int mine = paint ? 2 : kind && kind->IsRequired() ? 0 : 1;
            if (mine < rank) {
                rank = mine;
                best = part;
            }
        }
        return best;
    }
    // Whether the lot is free and holds no part the order does not want
    // (paint may be done again).
    static bool Fits(const CBuildablePackage& wanted, const CLot& lot)
    {
        if (!lot.IsVacant() || !lot.GetBuilding())
            return false;
        for (uint32_t phase = 0; phase < lot.GetBuilding()->m_Parts.GetCount(); ++phase) {
            const int32_t part = lot.GetBuildingPart(int32_t(phase));
            const int32_t want = phase < wanted.m_Parts.GetCount() ? wanted.m_Parts[phase] : 0;
            if (part != 0 && part != want && !dynamic_cast<CColorBuildablePart*>(GetUpgradeByIndex(part)))
                return false;
        }
        return true;
    }
    static int Matching(const CBuildablePackage& wanted, const CLot& lot)
    {
        int count = 0;
        for (uint32_t phase = 0; phase < wanted.m_Parts.GetCount(); ++phase)
            count += wanted.m_Parts[phase] != 0 && lot.GetBuildingPart(int32_t(phase)) == wanted.m_Parts[phase];
        return count;
    }
    static bool StreetOver() { return GetEndOfLevelWindow() != nullptr || GetNewTrophyEarnedMenu() != nullptr; }
    // The street in play, to its results: each customer answered with a
    // click, a house built to its order on a lot of its own from the bar's
    // buttons, and the customer dragged onto it.
    void PlayTheStreet()
    {
        std::vector<std::pair<CCustomer*, CLot*>> homes;
        const auto lotOf = [&](CCustomer* customer) -> CLot* {
            for (auto& [who, lot] : homes)
                if (who == customer)
                    return lot;
            return nullptr;
        };
        const auto taken = [&](CLot* lot) {
            for (auto& [who, where] : homes)
                if (where == lot && InLine(who))
                    return true;
            return false;
        };
        const auto building = [] {
            for (CLot* lot : Lots())
                if (lot->GetBuilding() && lot->GetBuilding()->IsBeingConstructed())
                    return true;
            return false;
        };
        const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(3);
        double idle = Seconds();
        while (!StreetOver() && std::chrono::steady_clock::now() < until) {
            bool acted = false;
            for (CCustomer* customer : Line()) {
                if (!customer->IsWaitingToBeAnswered())
                    continue;
                std::printf("%.1f s: answering a customer\n", Seconds());
                Play(
                    At(OnScreen(customer->GetSprite())) + " wait:120 down wait:80 up",
                    [&] { return !InLine(customer) || !customer->IsWaitingToBeAnswered(); }, 3.0);
                acted = true;
                break;
            }
            for (CCustomer* customer : acted ? std::vector<CCustomer*>{} : Line()) {
                CBuildablePackage* wanted = customer->GetPackageWanted();
                if (!wanted || customer->GetState() != CCustomer::kIdle || customer->IsDecidingOrder())
                    continue;
                CLot* home = lotOf(customer);
                // The deliverer may have moved another customer in with the
                // same order: a lot of its own again.
                if (home && !Fits(*wanted, *home)) {
                    for (auto& entry : homes)
                        if (entry.first == customer)
                            entry.second = nullptr;
                    home = nullptr;
                }
                // The lot nearest its order: a house left half built for a
                // customer gone fits the next who wants the same.
                int most = -1;
                for (CLot* lot : home ? std::vector<CLot*>{} : Lots())
                    if (Fits(*wanted, *lot) && !taken(lot) && Matching(*wanted, *lot) > most) {
                        most = Matching(*wanted, *lot);
                        home = lot;
                    }
                if (home && home != lotOf(customer))
                    homes.emplace(homes.begin(), customer, home);
                if (!home)
                    continue;
                if (home->CanHouse(customer)) {
                    std::printf("%.1f s: moving a customer in\n", Seconds());
                    Drag(
                        OnScreen(customer->GetSprite()), OnScreen(home->GetSprite()),
                        [&] { return !InLine(customer) || customer->GetState() != CCustomer::kIdle || StreetOver(); },
                        4.0);
                    m_MoveIns += !InLine(customer) || customer->GetState() != CCustomer::kIdle;
                    acted = true;
                    break;
                }
                if (building())
                    break; // one crew job at a time
                const int32_t part = NextPart(*wanted, *home);
                CUpgradeButton* button = part ? BarButton(part) : nullptr;
                if (!button)
                    continue;
                std::printf("%.1f s: building %s\n", Seconds(), GetUpgradeList().GetItemName(part));
                Drag(
                    OnScreen(button->GetSprite()), OnScreen(home->GetSprite()),
                    [&] {
                        // The customer may leave meanwhile, its order with it.
                        return !InLine(customer) || building() || NextPart(*wanted, *home) != part;
                    },
                    4.0);
                acted = true;
                break;
            }
            if (acted) {
                idle = Seconds();
            } else {
                RunUntil([] { return false; }, 0.1);
                if (Seconds() - idle > 10.0) {
                    // What the road waits for, when it waits long.
                    std::printf("%.1f s: waiting: %zu in line, %zu lots\n", Seconds(), Line().size(), Lots().size());
                    const auto parts = [](const CPropertyArray<int32_t>& list) {
                        std::string names;
                        for (uint32_t i = 0; i < list.GetCount(); ++i)
                            names += std::string(" ") + (list[i] ? GetUpgradeList().GetItemName(list[i]) : "-");
                        return names;
                    };
                    for (CCustomer* customer : Line()) {
                        CBuildablePackage* wanted = customer->GetPackageWanted();
                        std::printf("  customer state %d, lot %d, wants%s\n", int(customer->GetState()),
                                    lotOf(customer) ? 1 : 0, wanted ? parts(wanted->m_Parts).c_str() : " nothing yet");
                    }
                    for (CLot* lot : Lots())
                        std::printf("  lot vacant %d, painted %d, holds%s\n", int(lot->IsVacant()),
                                    int(lot->GetBuilding() && lot->GetBuilding()->IsFullyPainted()),
                                    lot->GetBuilding() ? parts(lot->GetBuilding()->m_Parts).c_str() : " nothing");
                    idle = Seconds();
                }
            }
        }
        ASSERT_TRUE(StreetOver()) << "the street did not end";
    }

    // Whether the street is in play, nothing standing before it.
    static bool InStreet()
    {
        return GetStoryWindow() == nullptr && GetDecadeTransitionWindow() == nullptr && GetLevelIntroWindow() == nullptr
            && CLevelOptions::SGetCurrent() != nullptr;
    }
    // The default button of whatever stands between the story and the
    // street: the rest of the story, the decade's transition, the
    // introduction.
    static CJWindow* FrontDefault()
    {
        if (CStoryWindow* story = GetStoryWindow())
            return story->GetDefaultButton();
        if (CDecadeTransitionWindow* transition = GetDecadeTransitionWindow())
            return transition->GetDefaultButton();
        if (CLevelIntroWindow* intro = GetLevelIntroWindow())
            return intro->GetDefaultButton();
        return nullptr;
    }
    // A screen may take a pass or two to follow the one closed.
    bool Settled()
    {
        RunUntil([] { return FrontDefault() != nullptr; }, 1.0);
        return InStreet();
    }
    // Clicks each screen's default button until the street is in play.
    void ClickIntoTheStreet()
    {
        for (int screen = 0; screen < 6 && !Settled(); ++screen) {
            CJWindow* before = FrontDefault();
            ASSERT_NO_FATAL_FAILURE(ClickUntil(
                FrontDefault, [&] { return InStreet() || FrontDefault() != before; }, "into the street"));
        }
        ASSERT_TRUE(Settled());
    }

    // From the main menu: "Play", a new player named in the dialog, the
    // story with the tutorial skipped, into the first career street.
    void EnterTheFirstCareerStreet(const std::string& name, uint32_t& career)
    {
        ASSERT_NO_FATAL_FAILURE(
            ClickUntil([] { return GetMainMenu() ? GetMainMenu()->GetButton("PlayGame") : nullptr; },
                       [] { return GetNewPlayerDialog() != nullptr; }, "the new player dialog"));
        Note("new player dialog");
        const auto named = [&] {
            CNewPlayerDialog* dialog = GetNewPlayerDialog();
            return dialog && std::string(dialog->GetNameEdit()->GetTitleText()) == name;
        };
        std::string typed = " down up key:End key:BackSpace key:BackSpace key:BackSpace key:BackSpace key:BackSpace";
        for (char c : name)
            typed += std::string(" key:") + c;
        for (int attempt = 0; attempt < 4 && !named(); ++attempt)
            Play(At(Middle(*GetNewPlayerDialog()->GetNameEdit())) + typed, named, 3.0);
        ASSERT_TRUE(named());
        ASSERT_NO_FATAL_FAILURE(
            ClickUntil([] { return GetNewPlayerDialog() ? GetNewPlayerDialog()->GetSaveButton() : nullptr; },
                       [] { return GetStoryWindow() != nullptr; }, "the story"));
        ASSERT_EQ(std::string(Player().m_Name.GetString()), name);
        Note(("named " + name).c_str());
        ASSERT_EQ(GetStoryWindow()->GetPage(), 0u);
        Note("story page 0");

        // "Skip": the tutorial is marked done and the story goes on.
        ASSERT_NO_FATAL_FAILURE(ClickUntil(
            [] { return GetStoryWindow() ? Button(GetStoryWindow(), "Skip") : nullptr; },
            [] { return GetStoryWindow() == nullptr || GetStoryWindow()->GetPage() != 0; }, "skipping the tutorial"));
        EXPECT_TRUE(Player().IsLastTutorialLevelCompleted());
        Note("tutorial skipped");

        ASSERT_NO_FATAL_FAILURE(ClickIntoTheStreet());
        career = GetCurrentLevelIndex();
        ASSERT_FALSE(CLevelOptions::SGetCurrent()->m_IsTutorialLevel);
        Note("career street");
    }

    // The trophies' cards (their default button), then the results.
    void PastTheTrophiesToTheResults()
    {
        while (GetNewTrophyEarnedMenu() && !GetEndOfLevelWindow())
            ASSERT_NO_FATAL_FAILURE(ClickUntil(
                [] { return GetNewTrophyEarnedMenu() ? GetNewTrophyEarnedMenu()->GetDefaultButton() : nullptr; },
                [] { return GetNewTrophyEarnedMenu() == nullptr || GetEndOfLevelWindow() != nullptr; }, "trophies"));
        ASSERT_TRUE(RunUntil([] { return GetEndOfLevelWindow() != nullptr; }, 10.0));
    }

    double Seconds() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_Begun).count(); }

    std::string m_Events;
    int m_MoveIns = 0; // customers the player's drags moved in
    std::chrono::steady_clock::time_point m_Begun = std::chrono::steady_clock::now();
};
