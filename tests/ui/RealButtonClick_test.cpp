// Under a virtual X display, a click played into the real SDL window
// presses and releases a push button, which tells its parent.
#include "RealWindowSupport.h"
#include "UiTestSupport.h"

#include "ui/CJButton.h"

namespace {

constexpr char kButtonClickTitle[] = "Ombrisalt button click";
constexpr char kButtonClickChild[] = "ChildProcess.RealClickPressesAButton";

class RealButton : public CRealWindowTest {};

TEST_F(RealButton, AClickInTheSdlWindowClicksTheButton)
{
    if (!RunChildOnOwnDisplay(kButtonClickChild))
        return;
    const std::string events = ReadBytes(PathOf("events.txt"));
    EXPECT_NE(events.find("parent: notify 0 from OK\n"), std::string::npos) << events << ChildOutput();
    EXPECT_NE(events.find("clicked\n"), std::string::npos) << events;
}

// The second run: the real window, a screen window with a parent and a
// button under the played click, until the click and the key have arrived
// (or half a minute has gone).
TEST(ChildProcess, RealClickPressesAButton)
{
    CEventLog log;
    {
        CRealWindowChild child;
        if (!child.Open(kButtonClickTitle))
            return;
        auto* parent = new CProbeWindow("parent", &log);
        parent->SetRect(CRect{0, 0, 320, 240});
        parent->m_TakesKeys = true;
        child.Root().AddChild(parent);
        auto* button = new CJButton(parent, "OK");
        button->SetRect(CRect{80, 60, 140, 100});
        parent->AddChild(button, kAsIsNoGrow);

        const auto has = [&log](const char* start) { return LogHasLineStarting(log, start); };
        child.Play(
            "move:100,80 wait:200 down up key:a", [&] { return has("parent: notify") && has("parent: key"); },
            [&] {
                if (button->ConsumeClicked())
                    log.push_back("clicked");
            });
    }
    WriteLog(log, "events.txt");
}

} // namespace
