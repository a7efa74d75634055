// Under a virtual X display, a click and a key played into the real SDL
// window put the caret into an edit and type into it.
#include "RealWindowSupport.h"
#include "UiTestSupport.h"

#include "ui/CJEdit.h"

namespace {

constexpr char kEditTypingTitle[] = "Ombrisalt edit typing";
constexpr char kEditTypingChild[] = "ChildProcess.RealKeysTypeIntoAnEdit";

class RealEdit : public CRealWindowTest {};

TEST_F(RealEdit, KeysTypedInTheSdlWindowReachTheEdit)
{
    if (!RunChildOnOwnDisplay(kEditTypingChild))
        return;
    const std::string events = ReadBytes(PathOf("events.txt"));
    // No font in the child: every character is 0 wide, so the click puts
    // the caret before the first one.
    EXPECT_EQ(events, "text: aold\n") << ChildOutput();
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
    CEventLog log;
    {
        CRealWindowChild child;
        if (!child.Open(kEditTypingTitle))
            return;
        auto* parent = new CEditParent(&log);
        parent->SetRect(CRect{0, 0, 320, 240});
        child.Root().AddChild(parent);
        auto* edit = new CJEdit(parent, "old");
        edit->SetRect(CRect{60, 60, 200, 100});
        parent->AddChild(edit, kAsIsNoGrow);

        child.Play("move:100,80 wait:200 down up key:a", [&] { return !log.empty(); });
    }
    WriteLog(log, "events.txt");
}

} // namespace
