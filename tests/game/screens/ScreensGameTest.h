#pragma once
// The demo game with the screens installed as their registration installs
// them (the guard puts back the table a test replaces), and what the
// screens' tests do to it as a player would: click a window, let frames
// pass, get past the opening transition.
#include "../world/DemoGameTest.h"
#include "ScreensTestSupport.h"

#include "game/business/CCustomerArrivals.h"
#include "game/scripting/CAudio.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CLevelIntro.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CNewTrophyEarned.h"
#include "game/screens/CStats.h"
#include "game/screens/CTutorialPopUp.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/world/WorldHooks.h"
#include "sound/CSoundDevice.h"
#include "ui/CJButton.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

// The lots of a street, in the order its lot layer holds them.
inline std::vector<CLot*> LotsOf(CLevelOptions& level)
{
    std::vector<CLot*> lots;
    CPlayfieldLayer* layer = level.GetPlayfield().FindLayer("Lot");
    for (uint32_t i = 0; layer && i < layer->GetSpriteCount(); ++i)
        if (CLot* lot = CLot::SFromSprite(layer->GetSprite(i)))
            lots.push_back(lot);
    return lots;
}

// Remembers the screens the game object asks for, then opens them as usual.
class CRecordingScreens : public CScreensHooks {
public:
    bool OpenScreen(EGameScreen screen) override
    {
        asked.push_back(screen);
        return CScreensHooks::OpenScreen(screen);
    }
    std::vector<EGameScreen> asked;
};

// The process acts as an ordinary user until the scope ends: permission
// bits do not stop root.
class CActingAsNobody {
public:
    CActingAsNobody()
        : m_Switched(::geteuid() == 0)
    {
        m_Acting = !m_Switched || (::setegid(65534) == 0 && ::seteuid(65534) == 0);
    }
    ~CActingAsNobody()
    {
        if (m_Switched) {
            [[maybe_unused]] const int user = ::seteuid(0);
            [[maybe_unused]] const int group = ::setegid(0);
        }
    }
    CActingAsNobody(const CActingAsNobody&) = delete;
    CActingAsNobody& operator=(const CActingAsNobody&) = delete;
    bool Acting() const { return m_Acting; }

private:
    bool m_Switched;
    bool m_Acting = false;
};

// Writes past a few bytes fail, as on a full disk, until the scope ends.
class CFullDisk {
public:
    CFullDisk()
    {
        ::getrlimit(RLIMIT_FSIZE, &m_Old);
        m_OldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit full{16, m_Old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &full);
    }
    ~CFullDisk()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_Old);
        std::signal(SIGXFSZ, m_OldHandler);
    }
    CFullDisk(const CFullDisk&) = delete;
    CFullDisk& operator=(const CFullDisk&) = delete;

private:
    rlimit m_Old{};
    void (*m_OldHandler)(int) = SIG_DFL;
};

class CScreensGameTest : public CDemoGameTest {
protected:
    void SetUp() override
    {
        CDemoGameTest::SetUp();
        InstallGameScreensHooks();
        // These tests begin where a player leaving the main menu for a new
        // game would: in the first level behind its transition. The main
        // menu's own tests put the menu back.
        SetGameScreenEntry(EGameScreen::MainMenu, SGameScreenEntry{});
    }
    void TearDown() override
    {
        CDemoGameTest::TearDown();
        CStats::SShutdown();
        for (CObjectFileArray* list : m_ListsRead) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
    }
    // Points the list at the data; tear-down empties it and points it nowhere.
    void ReadList(CObjectFileArray& list, const char* folder = "Resources", const char* extension = nullptr)
    {
        list.SetSource(extension, folder, 0);
        m_ListsRead.push_back(&list);
    }
    // The lists the game keeps for the whole process (a new start does not
    // read them again), read from this test's copy, not as another test's
    // run left them.
    void ReadProcessLists()
    {
        ReadList(GetDecadeTransitionList());
        ReadList(GetAchievementList());
        ReadList(GetLifeRewardList(), "Resources/LifeRewards");
    }
    // Starts the game and closes the transition a new game opens with.
    void StartPastOpening()
    {
        ASSERT_TRUE(Start());
        ASSERT_TRUE(Pass(17));
        if (CDecadeTransitionWindow* opening = GetDecadeTransitionWindow())
            opening->Destroy();
    }
    // And past the introduction the first level shows in front of it.
    void StartIntoTheLevel()
    {
        ASSERT_NO_FATAL_FAILURE(StartPastOpening());
        if (CLevelIntroWindow* intro = GetLevelIntroWindow())
            intro->Destroy();
    }
    // Ends the run as the player's exit does, the game object gone with it:
    // the next Start begins a new run.
    void EndRun() { ShutDownStarted(); }
    void Seconds(float seconds)
    {
        for (int i = 0; i < int(seconds * 1000 / 17) + 1; ++i)
            ASSERT_TRUE(Pass(17));
    }
    // The tutorial messages open on the playfield, by name.
    static std::vector<std::string> OpenMessages()
    {
        std::vector<std::string> out;
        CPlayfield* playfield = GetCurrentPlayfield();
        CPlayfieldLayer* effects = playfield ? playfield->FindLayer("Effects") : nullptr;
        for (uint32_t i = 0; effects && i < effects->GetSpriteCount(); ++i)
            if (auto* popUp = dynamic_cast<CTutorialPopUpSpriteAI*>(
                    effects->GetSprite(i)->FindAI(CTutorialPopUpSpriteAI::SGetClassInfo())))
                out.push_back(GetTutorialList().GetItemName(popUp->m_Tutorial));
        return out;
    }
    void Passes(int count)
    {
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(Pass(17));
    }
    // A click in the middle of the window, and the frames that act on it.
    void ClickMiddle(const CJWindow& window)
    {
        const CRect rect = window.GetScreenRect();
        PushClick((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        Passes(3);
    }
    void ClickOn(const CJWindow* window)
    {
        ASSERT_NE(window, nullptr);
        ClickMiddle(*window);
    }
    // Enter as the keyboard sends it, and the frames that act on it.
    void PressEnter()
    {
        plat::WindowEvent event;
        event.virtualKey = plat::vk::kReturn;
        event.character = 13;
        for (auto kind : {plat::WindowEvent::Kind::KeyDown, plat::WindowEvent::Kind::Char,
                          plat::WindowEvent::Kind::KeyUp}) {
            event.kind = kind;
            m_Platform.GetHeadlessWindow().PushEvent(event);
        }
        Passes(3);
    }
    // The window's button with the title.
    static CJButton* Button(CJWindow* window, const char* title)
    {
        for (CJWindow* child = window->GetFirstChild(); child; child = child->GetNextSibling())
            if (std::string(child->GetTitleText()) == title)
                return dynamic_cast<CJButton*>(child);
        return nullptr;
    }
    // Whether a copy of the game's sound is playing.
    static bool AudioPlays(int32_t index)
    {
        CAudioPlaySettings peek;
        peek.noPlay = true;
        for (CSound* s = GetAudioList().PlayAudioByIndex(index, peek).sound; s; s = s->GetNextCopy())
            if (s->IsPlaying())
                return true;
        return false;
    }
    static CPlayerStats& Player()
    {
        CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
        EXPECT_NE(player, nullptr);
        return *player;
    }

    uint32_t PresentedPixel(int32_t x, int32_t y)
    {
        const std::vector<uint32_t>& shown = m_Platform.GetHeadlessScreen().GetPresented();
        const size_t width = m_Platform.GetHeadlessScreen().GetBackBufferWidth();
        const size_t at = size_t(y) * width + size_t(x);
        return at < shown.size() ? shown[at] & 0xFFFFFFu : 0xFFFFFFFFu;
    }
    // The presented frame as a PPM into $OMBRISALT_SCREENSHOTS, when set.
    void SaveScreenshot(const char* name)
    {
        const char* folder = std::getenv("OMBRISALT_SCREENSHOTS");
        if (!folder)
            return;
        const std::vector<uint32_t>& shown = m_Platform.GetHeadlessScreen().GetPresented();
        const size_t width = m_Platform.GetHeadlessScreen().GetBackBufferWidth();
        const size_t height = width ? shown.size() / width : 0;
        std::string bytes = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
        for (uint32_t p : shown)
            bytes += {char(p >> 16), char(p >> 8), char(p)};
        WriteBytes(std::string(folder) + "/" + name, bytes);
    }

    std::vector<CObjectFileArray*> m_ListsRead;
    CScopedHook<SetGameScreensHooks> m_ScreensGuard{nullptr};
};
