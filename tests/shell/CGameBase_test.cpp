#include "ShellTestSupport.h"

#include "blit/CColor.h"
#include "blit/CPalette.h"
#include "blit/GamePalette.h"
#include "foundation/CIniSection.h"
#include "objects/CObject.h"
#include "shell/CShellScreen.h"
#include "shell/GameWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::string g_Deleted;

class CDoomed : public CObject {
public:
    explicit CDoomed(char name, CGameBase* requeueInto = nullptr)
        : m_Name(name)
        , m_Requeue(requeueInto)
    {
    }
    ~CDoomed() override
    {
        g_Deleted += m_Name;
        if (m_Requeue)
            m_Requeue->DeleteLater(new CDoomed(char(m_Name + 1)));
    }

private:
    char m_Name;
    CGameBase* m_Requeue;
};

class GameBase : public CShellTest {
protected:
    void SetUp() override
    {
        CShellTest::SetUp();
        SLauncherRecord record;
        record.gameName = "Caf\xE9 Tycoon: Deluxe!";
        SetLauncherRecord(record);
        g_Deleted.clear();
    }
};

TEST_F(GameBase, IsTheGameObjectAndTheObjectModelsHostForItsLife)
{
    EXPECT_EQ(CGameBase::SGetInstance(), nullptr);
    {
        CCountingGame game;
        EXPECT_EQ(CGameBase::SGetInstance(), &game);
        EXPECT_EQ(&CObjectModelHost::SGetInstance(), static_cast<CObjectModelHost*>(&game));
        // Options a game does not decide on are on.
        EXPECT_TRUE(CObjectModelHost::SGetInstance().IsNamedOptionSet("CheatCodes"));
        EXPECT_FALSE(CGameBase::SIsShuttingDown());
    }
    EXPECT_EQ(CGameBase::SGetInstance(), nullptr);
    EXPECT_TRUE(CGameBase::SIsShuttingDown());
    EXPECT_FALSE(CObjectModelHost::SGetInstance().IsNamedOptionSet("CheatCodes"));
}

TEST_F(GameBase, NamesItsSettingsFileAfterTheGameAndReadsItsFlags)
{
    WriteBytes("Caf Tycoon Deluxe.CFG", "[Options]\r\nDisplay FPS=1\r\nShow Overlays In Editor=0\r\n");
    CCountingGame game;
    EXPECT_STREQ(GetOptionsSection().GetFileName(), ".\\Caf Tycoon Deluxe.CFG");
    EXPECT_TRUE(game.IsFolderWritable());
    EXPECT_TRUE(game.GetDisplayFps());
    EXPECT_FALSE(game.GetShowOverlaysInEditor());
    EXPECT_FALSE(DiskHas("TestSave.dat"));
    // Written only when it changes.
    game.SetDisplayFps(true);
    EXPECT_EQ(ReadBytes("Caf Tycoon Deluxe.CFG"),
              "[Options]\r\nDisplay FPS=1\r\nShow Overlays In Editor=0\r\n"
              "Screen Width=1024\r\nScreen Height=768\r\nFull Screen=1\r\n");
    game.SetDisplayFps(false);
    EXPECT_EQ(ReadBytes("Caf Tycoon Deluxe.CFG"),
              "[Options]\r\nDisplay FPS=0\r\nShow Overlays In Editor=0\r\n"
              "Screen Width=1024\r\nScreen Height=768\r\nFull Screen=1\r\n");
}

// It is also the standard palette that colours set by value match.
TEST_F(GameBase, LoadsTheGamePaletteOfItsDataFolder)
{
    ClearGamePalette();
    std::string bytes(768, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7 + 3);
    bytes[3 * 40] = bytes[3 * 40 + 1] = bytes[3 * 40 + 2] = char(255);
    WriteBytes("Data/Palettes/GamePalette.pal", bytes);
    {
        CCountingGame game;
        ASSERT_EQ(GetBlendTable().GetType(), 1);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(GetBlendTable().GetData()), 768), bytes);
        EXPECT_EQ(CColor(255, 255, 255, 255).GetPaletteIndex(), 40);
    }
    ClearGamePalette();
}

void BuildGameAsNobody()
{
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
        std::_Exit(3);
    CCountingGame game;
    std::fprintf(stderr, "%s %d\n", GetOptionsSection().GetFileName(), int(game.IsFolderWritable()));
    std::_Exit(0);
}

TEST_F(GameBase, AnUnwritableFolderGetsTheOtherSettingsFile)
{
    std::filesystem::permissions(Folder(), std::filesystem::perms(0555));
    EXPECT_EXIT(BuildGameAsNobody(), ::testing::ExitedWithCode(0), "^Caf Tycoon DeluxeCD.INI 0\n$");
}

TEST_F(GameBase, DestroysQueuedObjectsAtTheNextUpdateInQueueOrder)
{
    CCountingGame game;
    game.DeleteLater(new CDoomed('a'));
    game.DeleteLater(new CDoomed('b', &game));
    game.DeleteLater(new CDoomed('e'));
    EXPECT_EQ(g_Deleted, "");
    game.Update(0.01f);
    // The drain runs until the queue is empty, so what a destructor queues
    // goes in the same update, after the rest.
    EXPECT_EQ(g_Deleted, "abec");
    game.DeleteLater(new CDoomed('x'));
    EXPECT_EQ(g_Deleted, "abec");
    game.Update(0.01f);
    EXPECT_EQ(g_Deleted, "abecx");
}

TEST_F(GameBase, DestroysWhatIsStillQueuedLastFirst)
{
    {
        CCountingGame game;
        game.DeleteLater(new CDoomed('a'));
        game.DeleteLater(new CDoomed('b'));
    }
    EXPECT_EQ(g_Deleted, "ba");
}

TEST_F(GameBase, RoutesTypedCharactersSoundsAndIdleMessages)
{
    CCountingGame game;
    CCharacterTypedMessage typed(21);
    EXPECT_TRUE(BroadcastMessageToPlugIns(typed));
    EXPECT_EQ(game.commands, std::vector<uint32_t>{21});
    CPlaySoundMessage sound(CJString("Click"));
    EXPECT_TRUE(BroadcastMessageToPlugIns(sound));
    CMessage idle = CMessage::CMessageByName("CDoIdleProcessingMessage");
    EXPECT_TRUE(BroadcastMessageToPlugIns(idle));
    // A bare message of the typed type carries no character.
    CMessage bare = CMessage::CMessageByName("CCharacterTypedMessage");
    EXPECT_FALSE(BroadcastMessageToPlugIns(bare));
    CMessage other = CMessage::CMessageByName("LevelComplete");
    EXPECT_FALSE(BroadcastMessageToPlugIns(other));
    EXPECT_EQ(game.commands.size(), 1u);
}

struct BusyCase {
    const char* name;
    int first;
    int second;
    bool ignoreSecond;
    bool busy;
};

class CBusyGame : public CCountingGame {
public:
    bool IgnoresSecondBusyCounter() override { return ignore; }
    bool ignore = false;
};

class Busy : public GameBase, public ::testing::WithParamInterface<BusyCase> {};

TEST_P(Busy, CountsTheSecondCounterUnlessTheGameIgnoresIt)
{
    const BusyCase& c = GetParam();
    CBusyGame game;
    game.ignore = c.ignoreSecond;
    for (int i = 0; i < c.first; ++i)
        game.IncrementBusy(BusyCounter::First);
    for (int i = 0; i < c.second; ++i)
        game.IncrementBusy(BusyCounter::Second);
    EXPECT_EQ(game.IsBusy(), c.busy);
}

INSTANTIATE_TEST_SUITE_P(GameBase, Busy,
                         ::testing::Values(BusyCase{"Idle", 0, 0, false, false}, BusyCase{"First", 1, 0, true, true},
                                           BusyCase{"Second", 0, 1, false, true},
                                           BusyCase{"SecondIgnored", 0, 2, true, false}),
                         [](const ::testing::TestParamInfo<BusyCase>& param) { return param.param.name; });

class CFakeRootWindow : public CShellRootWindow {
public:
    void Update(float seconds) override { updated += seconds; }
    void DrawTree() override {}
    bool HasChildren() const override { return children; }
    float GetFirstChildLevel() const override { return level; }
    float updated = 0.0f;
    bool children = false;
    float level = 0.0f;
};

class CWindowedGame : public CCountingGame {
public:
    std::unique_ptr<CShellRootWindow> CreateScreenWindow(CShellScreen&) override
    {
        auto window = std::make_unique<CFakeRootWindow>();
        root = window.get();
        return window;
    }
    CFakeRootWindow* root = nullptr;
};

class CNullScreen : public CShellScreen {
public:
    int32_t GetWidth() const override { return 640; }
    int32_t GetHeight() const override { return 480; }
    void FillRect(const CRect&, const CColor&) override {}
    bool Present() override { return true; }
};

TEST_F(GameBase, UpdatesAndAsksItsRootWindow)
{
    CWindowedGame game;
    CNullScreen screen;
    EXPECT_FALSE(game.QueryScreenWindow(0));
    game.Initialize(&screen, nullptr);
    ASSERT_NE(game.root, nullptr);
    game.Update(0.25f);
    EXPECT_EQ(game.root->updated, 0.25f);
    game.SetUpdateWindows(false);
    game.Update(0.25f);
    EXPECT_EQ(game.root->updated, 0.25f);
    EXPECT_FALSE(game.QueryScreenWindow(0));
    game.root->children = true;
    game.root->level = 0.333f;
    EXPECT_TRUE(game.QueryScreenWindow(0));
    EXPECT_FALSE(game.QueryScreenWindow(1));
    game.root->level = 0.5f;
    EXPECT_TRUE(game.QueryScreenWindow(1));
    EXPECT_FALSE(game.QueryScreenWindow(2));
}

TEST_F(GameBase, PresentsOnlyWhileTheWindowIsActive)
{
    CCountingGame game;
    CNullScreen screen;
    game.Initialize(&screen, nullptr);
    EXPECT_FALSE(game.Draw());
    game.SetWindowActive(true);
    EXPECT_TRUE(game.Draw());
    EXPECT_EQ(game.GetDrawCount(), 2u);
}

TEST_F(GameBase, ActivationReportsOnlyChanges)
{
    CCountingGame game;
    EXPECT_FALSE(game.SetActive(true));
    EXPECT_TRUE(game.SetActive(false));
    EXPECT_TRUE(m_Platform.GetHeadlessWindow().IsCursorShown());
    EXPECT_TRUE(game.SetActive(true));
    EXPECT_FALSE(m_Platform.GetHeadlessWindow().IsCursorShown());
}

} // namespace
