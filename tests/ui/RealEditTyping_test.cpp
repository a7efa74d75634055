// Under a virtual X display, a click and a key played into the real SDL
// window put the caret into an edit and type into it.
#include "RealWindowSupport.h"
#include "UiTestSupport.h"

#include "images/CFrame.h"
#include "platform/CPlatform.h"
#include "platform/Clock.h"
#include "platform/WindowDevice.h"
#include "shell/GameWindow.h"
#include "ui/CJEdit.h"

#include <cstdlib>
#include <fstream>

namespace {

constexpr char kTitle[] = "Ombrisalt edit typing";
constexpr char kChildTest[] = "ChildProcess.RealKeysTypeIntoAnEdit";

class RealEdit : public CTempFolderTest {};

TEST_F(RealEdit, KeysTypedInTheSdlWindowReachTheEdit)
{
    if (!CVirtualDisplay::IsInstalled())
        GTEST_SKIP() << "no Xvfb";
    CVirtualDisplay display;
    ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
    const std::string output = PathOf("child.out");
    EXPECT_EQ(RunChildOnDisplay(display, Folder(), kChildTest, output), 0) << ReadBytes(output);
    const std::string events = ReadBytes(PathOf("events.txt"));
    // No font in the child: every character is 0 wide, so the click puts
    // the caret before the first one.
    EXPECT_EQ(events, "text: aold\n") << ReadBytes(output);
}

// Logs the edit's change notices.
class CEditParent : public CJWindow {
public:
    explicit CEditParent(CEventLog* log)
        : CJWindow(nullptr, "parent")
        , m_Log(log)
    {
    }
    void OnNotify(CJWindow* sender, int32_t code) override
    {
        if (code == kNotifyChanged && sender)
            m_Log->push_back(std::string("text: ") + sender->GetTitle().GetString());
    }

private:
    CEventLog* m_Log;
};

// The second run: the real window, a screen window with an edit under the
// played click, until the typed key has changed it (or half a minute has
// gone).
TEST(ChildProcess, RealKeysTypeIntoAnEdit)
{
    if (plat::ChoosePlatformKind() != plat::PlatformKind::SDL)
        GTEST_SKIP() << "no display";
    const char* script = std::getenv("OMBRISALT_XTEST_SCRIPT");
    ASSERT_TRUE(script);
    plat::CWindowDevice& device = plat::GetPlatform().GetWindow();
    ASSERT_TRUE(device.Create(kTitle, 320, 240)) << device.GetLastError();
    SetWindowState(true, false);

    CEventLog log;
    {
        auto frame = CFrame::MakeOwned(320, 240, 32);
        CScreenWindow root(frame.get(), nullptr);
        auto* parent = new CEditParent(&log);
        parent->SetRect(CRect{0, 0, 320, 240});
        root.AddChild(parent);
        auto* edit = new CJEdit(parent, "old");
        edit->SetRect(CRect{60, 60, 200, 100});
        parent->AddChild(edit, 0, nullptr, kDefaultOffset, kDefaultOffset, kPlaceNoGrow);

        const std::string command
            = std::string("python3 '") + script + "' '" + std::getenv("DISPLAY") + "' '" + kTitle + "' 100 80 &";
        ASSERT_EQ(std::system(command.c_str()), 0);
        for (int pass = 0; pass < 6000 && log.empty(); ++pass) {
            RunMessageLoop();
            root.Update(1.0f / 60.0f);
            plat::SleepMs(5);
        }
    }
    std::ofstream events("events.txt");
    for (const std::string& line : log)
        events << line << "\n";
    device.Destroy();
}

} // namespace
