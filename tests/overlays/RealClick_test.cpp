// Under a virtual X display, a click played into the real SDL window (XTEST)
// reaches the button that a timeline draws: through the message pump, the
// mouse state and the screen window to the proxy-drawn control. The window
// is opened by a second run of this program (the platform is chosen once
// per process, and this one is headless).
#include "OverlayTestSupport.h"
#include "ui/RealWindowSupport.h"

#include "overlays/ButtonOverlays.h"
#include "overlays/CFrameOverlayTimeline.h"
#include "ui/CJButton.h"

#include <fstream>

namespace {

constexpr char kTitle[] = "Ombrisalt overlay click";
constexpr char kChildTest[] = "ChildProcess.RealClickReachesTheTimelineButton";

class RealClick : public CRealWindowTest {};

TEST_F(RealClick, AClickInTheSdlWindowReachesTheButtonATimelineDraws)
{
    if (!RunChildOnOwnDisplay(kChildTest))
        return;
    EXPECT_EQ(ReadBytes(PathOf("clicks.txt")), "clicked\n") << ChildOutput();
}

// The second run: the real window, a screen window over a frame of its
// size, and a set whose timeline (resting by now) draws a button over the
// point the played click lands on; until the click has arrived (or half a
// minute has gone).
TEST(ChildProcess, RealClickReachesTheTimelineButton)
{
    bool clicked = false;
    {
        CRealWindowChild child;
        if (!child.Open(kTitle))
            return;
        CFrameOverlayOptions set;
        auto* timeline = new CFrameOverlayTimeline;
        auto* button = new CFrameOverlayButton;
        button->m_ID = "Go";
        button->m_Position = CPoint{60, 60};
        button->m_Size = CPoint{80, 40};
        timeline->Append(button);
        set.Append(timeline);
        CJButton* control = set.CreateButtonWindow(CJString("Go"), nullptr);
        ASSERT_NE(control, nullptr);
        child.Root().AddChild(control, kAsIsNoGrow);

        child.Play(
            "move:100,80 wait:200 down up key:a", [&] { return clicked; }, [&] { clicked = control->ConsumeClicked(); },
            [&] {
                child.Frame().Clear();
                set.DrawOnFrame(child.Frame(), nullptr, false, nullptr);
            });
    }
    std::ofstream("clicks.txt") << (clicked ? "clicked\n" : "not clicked\n");
}

} // namespace
