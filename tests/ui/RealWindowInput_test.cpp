// Under a virtual X display, input played into the real SDL window (XTEST:
// a pointer move, a click and a key) reaches the window tree through the
// message pump, the mouse and keyboard states and the screen window. The
// window is opened by a second run of this program (the platform is chosen
// once per process, and this one is headless).
#include "RealWindowSupport.h"
#include "UiTestSupport.h"

namespace {

constexpr char kWindowInputTitle[] = "Ombrisalt window input";
constexpr char kWindowInputChild[] = "ChildProcess.RealWindowInputReachesTheTree";

class RealWindow : public CRealWindowTest {};

TEST_F(RealWindow, EventsFromTheSdlWindowReachTheTree)
{
    if (!RunChildOnOwnDisplay(kWindowInputChild))
        return;
    const std::string events = ReadBytes(PathOf("events.txt"));
    EXPECT_NE(events.find("probe: down 0\n"), std::string::npos) << events << ChildOutput();
    EXPECT_NE(events.find("probe: release "), std::string::npos) << events;
    EXPECT_NE(events.find("probe: key 97\n"), std::string::npos) << events;
}

// The second run: the real window, a screen window over a frame of its
// size and one window that takes presses and keys, until the played input
// has arrived (or half a minute has gone).
TEST(ChildProcess, RealWindowInputReachesTheTree)
{
    CEventLog log;
    {
        CRealWindowChild child;
        if (!child.Open(kWindowInputTitle))
            return;
        auto* probe = new CProbeWindow("probe", &log);
        probe->SetRect(CRect{0, 0, 320, 240});
        probe->m_TakesPress = true;
        probe->m_TakesKeys = true;
        child.Root().AddChild(probe);

        const auto has = [&log](const char* start) { return LogHasLineStarting(log, start); };
        child.Play("move:100,80 wait:200 down up key:a", [&] { return has("probe: release") && has("probe: key"); });
    }
    WriteLog(log, "events.txt");
}

} // namespace
