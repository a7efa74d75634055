// The screen window turning the mouse state and the typed keys into the
// tree's calls, frame by frame, with a hand-driven clock.
#include "UiTestSupport.h"

#include "images/CFont.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "shell/CGameBase.h"
#include "shell/CShellScreen.h"
#include "shell/GameWindow.h"
#include "ui/UiHooks.h"

#include <memory>

namespace {

class ScreenWindowTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        m_Frame = CFrame::MakeOwned(320, 240, 32);
        ASSERT_TRUE(m_Frame);
        m_Screen = std::make_unique<CScreenWindow>(m_Frame.get(), nullptr);
    }
    void TearDown() override
    {
        m_Screen.reset();
        UiTest::TearDown();
    }
    void Frame() { m_Screen->Update(1.0f / 60.0f); }
    static void Press(uint32_t button) { Mouse().SetButtons(Mouse().GetButtons() | (1u << button)); }
    static void Release(uint32_t button) { Mouse().SetButtons(Mouse().GetButtons() & ~(1u << button)); }
    static CMouseState& Mouse() { return CMouseState::SGetInstance(); }
    static void Type(uint32_t character) { CKeyboardState::SGetInstance().OnCharacter(character); }
    static void Hold(uint32_t scan) { CKeyboardState::SGetInstance().OnKeyDown(scan); }

    std::unique_ptr<CFrame> m_Frame;
    std::unique_ptr<CScreenWindow> m_Screen;
};

// Plug-ins that hear typed characters (and may take them).
class CTypedEar : public CGamePlugIn {
public:
    bool OnMessage(CMessage& message) override
    {
        if (message.GetType() != CCharacterTypedMessage::SGetType())
            return false;
        m_Typed.push_back(static_cast<CCharacterTypedMessage&>(message).GetCharacter());
        return m_Takes;
    }
    std::vector<uint32_t> m_Typed;
    bool m_Takes = false;
};

TEST_F(ScreenWindowTest, IsTheRootOverTheFrameAndTheOneScreenWindow)
{
    EXPECT_EQ(CScreenWindow::GetScreenWindow(), m_Screen.get());
    EXPECT_EQ(m_Screen->GetRect(), (CRect{0, 0, 320, 240}));
    EXPECT_TRUE(m_Screen->HasFocus());
    EXPECT_TRUE(m_Screen->IsActive());
    {
        CScreenWindow second(m_Frame.get(), nullptr);
        EXPECT_EQ(CScreenWindow::GetScreenWindow(), m_Screen.get());
    }
    // A frame of another width resizes the root at the next draw.
    ASSERT_TRUE(m_Frame->Create(400, 300, 32));
    EXPECT_EQ(m_Screen->GetRect(), (CRect{0, 0, 320, 240}));
    m_Screen->DrawToScreen();
    EXPECT_EQ(m_Screen->GetRect(), (CRect{0, 0, 400, 300}));
}

TEST_F(ScreenWindowTest, TheShellGetsAScreenWindowFromTheInstalledFactory)
{
    struct CScreen : CShellScreen {
        explicit CScreen(CFrameInterface* frame)
            : m_Frame(frame)
        {
        }
        int32_t GetWidth() const override { return 320; }
        int32_t GetHeight() const override { return 240; }
        void FillRect(const CRect&, const CColor&) override {}
        bool Present() override { return true; }
        CFrameInterface* GetFrame() override { return m_Frame; }
        CFrameInterface* m_Frame;
    } screen(m_Frame.get());
    m_Screen.reset();
    std::unique_ptr<CShellRootWindow> root = MakeScreenWindow(screen);
    auto* window = dynamic_cast<CScreenWindow*>(root.get());
    ASSERT_TRUE(window);
    EXPECT_EQ(window->GetScreenFrame(), m_Frame.get());
    EXPECT_FALSE(root->HasChildren());
    auto* child = new CJWindow(window);
    child->SetOpacity(0.5f);
    window->AddChild(child);
    EXPECT_TRUE(root->HasChildren());
    EXPECT_FLOAT_EQ(root->GetFirstChildLevel(), 0.5f);
}

TEST_F(ScreenWindowTest, PressesReleasesAndDoubleClicksArriveOncePerFrame)
{
    CProbeWindow* button = Add(*m_Screen, "button", CRect{10, 10, 110, 60});
    button->m_TakesPress = true;
    Mouse().SetPosition(20, 20);
    Frame();
    Take();

    // A press and release between two updates both arrive, press first.
    Press(0);
    Release(0);
    Frame();
    // (The cursor refresh after a press is a move, which the holder drags.)
    EXPECT_EQ(Take(), (CEventLog{"button: down 0", "button: drag 20,20 by 0,0", "button: drag 20,20 by 0,0",
                                 "button: release 20,20 mask 1"}));

    // A held press arrives once; the release on a later frame.
    Press(2);
    Frame();
    Frame();
    EXPECT_EQ(Take(), (CEventLog{"button: down 2", "button: drag 20,20 by 0,0", "button: drag 20,20 by 0,0"}));
    Release(2);
    Frame();
    EXPECT_EQ(Take(), (CEventLog{"button: release 20,20 mask 4"}));

    // The second press of a double click is no press.
    Mouse().AddClicks(1);
    Press(0);
    Frame();
    EXPECT_EQ(Take(), (CEventLog{"button: double 0"}));
    Release(0);
    Frame();
    EXPECT_TRUE(Take().empty());
}

TEST_F(ScreenWindowTest, MovesAndTheWheelGoToTheTree)
{
    CProbeWindow* holder = Add(*m_Screen, "holder", CRect{0, 0, 100, 100});
    holder->m_TakesPress = true;
    Mouse().SetPosition(10, 10);
    Frame();
    Press(0);
    Frame();
    Take();
    Mouse().SetPosition(15, 12);
    Frame();
    EXPECT_EQ(Take(), (CEventLog{"holder: drag 15,12 by 5,2"}));
    Mouse().AddWheel(2.5f);
    Frame();
    EXPECT_EQ(Take(), (CEventLog{"holder: wheel 2"}));
    EXPECT_EQ(Mouse().TakeWheelSteps(), 0);
}

TEST_F(ScreenWindowTest, HeldButtonsRepeatOnlyInsideTheControl)
{
    CProbeWindow* arrow = Add(*m_Screen, "arrow", CRect{0, 0, 20, 20});
    arrow->m_TakesPress = true;
    Mouse().SetPosition(5, 5);
    Press(0);
    Frame();
    m_Screen->StartMouseRepeat(arrow, 500, 50);
    Take();
    Advance(400);
    Frame();
    EXPECT_TRUE(Take().empty());
    EXPECT_FALSE(m_Screen->HasMouseRepeated());
    Advance(101);
    Frame();
    EXPECT_EQ(Take(), (CEventLog{"arrow: repeat 0"}));
    EXPECT_TRUE(m_Screen->HasMouseRepeated());

    // Outside, the repeat pauses; the hold stays.
    Mouse().SetPosition(50, 50);
    Advance(60);
    Frame();
    EXPECT_EQ(Take(), (CEventLog{"arrow: drag 50,50 by 45,45"}));
    Mouse().SetPosition(6, 6);
    Advance(60);
    Frame();
    EXPECT_EQ(Take(), (CEventLog{"arrow: drag 6,6 by -44,-44", "arrow: repeat 0"}));

    // The system rate when none is given.
    Release(0);
    Frame();
    Press(0);
    Frame();
    m_Screen->StartMouseRepeat(arrow, 0, 0);
    Take();
    Advance(uint32_t(GetKeyRepeatDelay() * 1000.0f) + 1);
    Frame();
    EXPECT_EQ(Take(), (CEventLog{"arrow: repeat 0"}));
}

TEST_F(ScreenWindowTest, AWindowThatDiesWhileRepeatingIsForgotten)
{
    CProbeWindow* arrow = Add(*m_Screen, "arrow", CRect{0, 0, 20, 20});
    arrow->m_TakesPress = true;
    Mouse().SetPosition(5, 5);
    Press(0);
    Frame();
    m_Screen->StartMouseRepeat(arrow, 10, 10);
    arrow->Destroy();
    Take();
    Advance(100);
    Frame();
    EXPECT_TRUE(Take().empty());
}

TEST_F(ScreenWindowTest, CharactersAreBroadcastOnlyWhenTheTreeDeclines)
{
    CTypedEar ear;
    CProbeWindow* edit = Add(*m_Screen, "edit", CRect{0, 0, 10, 10});
    edit->m_TakesKeys = true;
    Type('a');
    Frame();
    EXPECT_EQ(Take(), (CEventLog{"edit: key 97"}));
    EXPECT_TRUE(ear.m_Typed.empty());

    edit->m_TakesKeys = false;
    Type('b');
    Frame();
    EXPECT_EQ(ear.m_Typed, (std::vector<uint32_t>{'b'}));

    // Alt+key that no hot key takes still reaches the keys.
    edit->m_TakesKeys = true;
    Hold(kScanAltLeft);
    Type('z');
    Frame();
    EXPECT_EQ(Take(), (CEventLog{"edit: key 122"}));
}

TEST_F(ScreenWindowTest, EditingKeysRaiseTheClipboardOperations)
{
    CTypedEar ear;
    CProbeWindow* edit = Add(*m_Screen, "edit", CRect{0, 0, 10, 10});
    edit->m_TakesClipboard = true;
    struct Case {
        uint32_t key;
        uint32_t scan;
        const char* operation;
    };
    const Case cases[] = {
        {3, 0, "copy"},           {4, 0, "copy"},         {22, 0, "paste"},
        {24, 0, "cut"},           {17, 0, "delete"},      {17, kScanShiftLeft, "cut"},
        {16, kScanShiftRight, "paste"}, {16, kScanControlRight, "copy"},
    };
    for (const Case& c : cases) {
        CKeyboardState::SGetInstance().ResetForTesting();
        if (c.scan)
            Hold(c.scan);
        EXPECT_TRUE(m_Screen->OnKeyDown(c.key));
        EXPECT_EQ(Take(), (CEventLog{std::string("edit: ") + c.operation})) << c.key << " " << c.scan;
    }
    CKeyboardState::SGetInstance().ResetForTesting();
    EXPECT_FALSE(m_Screen->OnKeyDown(16));
    EXPECT_TRUE(Take().empty());
    ear.m_Takes = true;
    EXPECT_TRUE(m_Screen->OnKeyDown(22));
    EXPECT_TRUE(Take().empty());
}

TEST_F(ScreenWindowTest, ANewPressHidesTheKeyboardFocus)
{
    CProbeWindow* a = Add(*m_Screen, "a", CRect{0, 0, 10, 10});
    CProbeWindow* b = Add(*m_Screen, "b", CRect{20, 0, 30, 10});
    a->SetTabStop(true);
    b->SetTabStop(true);
    Type(kKeyTab);
    Frame();
    EXPECT_EQ(m_Screen->GetFirstChild(), b);
    EXPECT_TRUE(CJWindow::IsKeyboardFocusShown());
    Mouse().SetPosition(200, 200);
    Press(0);
    Frame();
    EXPECT_FALSE(CJWindow::IsKeyboardFocusShown());
}

class ToolTipTest : public UiTestOn<CTempFolderTest> {
protected:
    void SetUp() override
    {
        UiTestOn<CTempFolderTest>::SetUp();
        if (!WriteDefaultFont())
            GTEST_SKIP() << "DejaVuSans.ttf is missing (Debian package fonts-dejavu-core)";
        RegisterImagesClasses();
        EnumerateFontFiles();
        m_Font = std::make_unique<CFont>();
        m_Frame = CFrame::MakeOwned(320, 240, 32);
        m_Screen = std::make_unique<CScreenWindow>(m_Frame.get(), m_Font.get());
    }
    void TearDown() override
    {
        m_Screen.reset();
        CJWindow::SetDefaultFont(nullptr);
        UiTestOn<CTempFolderTest>::TearDown();
    }
    std::unique_ptr<CFont> m_Font;
    std::unique_ptr<CFrame> m_Frame;
    std::unique_ptr<CScreenWindow> m_Screen;
};

// A program names its interface font once the screen window stands: the
// windows opened under the screen window in the plain look take the screen
// window's font, which must be that one.
TEST_F(ToolTipTest, TheScreenWindowTakesTheDefaultFontNamedAfterIt)
{
    m_Screen.reset();
    CJWindow::SetDefaultFont(nullptr);
    m_Screen = std::make_unique<CScreenWindow>(m_Frame.get(), nullptr);
    ASSERT_EQ(m_Screen->GetFont(), nullptr);
    CJWindow::SetDefaultFont(m_Font.get());
    EXPECT_EQ(m_Screen->GetFont(), m_Font.get());
    auto* opened = new CJWindow(m_Screen.get(), "Opened later");
    EXPECT_EQ(opened->GetFont(), m_Font.get());
    opened->Destroy();

    // A font given to the screen window itself stays.
    CFont own;
    m_Screen->SetFont(&own);
    CJWindow::SetDefaultFont(nullptr);
    EXPECT_EQ(m_Screen->GetFont(), &own);
    m_Screen->SetFont(nullptr);
}

TEST_F(ToolTipTest, TipsStayOnScreenAndAreDrawnThere)
{
    EXPECT_EQ(m_Screen->GetFont(), m_Font.get());
    EXPECT_EQ(CJWindow::GetDefaultFont(), m_Font.get());
    auto* button = new CJWindow(m_Screen.get(), "Go");
    button->SetColor0RGB(10, 20, 30);
    m_Screen->AddChild(button);
    CRect tip{};
    EXPECT_FALSE(m_Screen->GetToolTipRect(tip));

    // Asked for near the bottom-right corner: pulled back on screen.
    m_Screen->ShowToolTip(button, -1, CJString("Opens the door"), 300, 235);
    ASSERT_TRUE(m_Screen->GetToolTipRect(tip));
    EXPECT_EQ(tip.right, 320 - 3 + 1);
    EXPECT_EQ(tip.bottom, 240 - 3 + 1);
    EXPECT_EQ(tip.GetWidth(), m_Font->GetTextWidth("Opens the door") + 2);

    // Below the pointer when no place is given: 20 pixels without a cursor.
    CMouseState::SGetInstance().SetPosition(50, 60);
    m_Screen->ShowToolTip(button, 0, CJString("Next"), -1, -1, 1);
    ASSERT_TRUE(m_Screen->GetToolTipRect(tip));
    EXPECT_EQ(tip.left, 49);
    EXPECT_EQ(tip.top, 79);
    EXPECT_GE(tip.GetHeight(), int32_t(m_Font->GetHeight()) + 3 + 2);

    // Drawn over the tree: the fill is the window's colour 0.
    m_Screen->DrawToScreen();
    CColor pixel;
    ASSERT_TRUE(m_Frame->GetPixel(tip.right - 2, tip.top + 1, pixel));
    EXPECT_EQ(pixel.GetRed(), 10);
    EXPECT_EQ(pixel.GetBlue(), 30);

    // A long text wraps at 0.8 of the screen's width.
    m_Screen->ShowToolTip(button, -1, CJString("one two three four five six seven eight nine ten eleven"), 2, 2);
    ASSERT_TRUE(m_Screen->GetToolTipRect(tip));
    EXPECT_LE(tip.GetWidth(), 256 + 2);
    EXPECT_GT(tip.GetHeight(), 2 * int32_t(m_Font->GetHeight()));

    // The descenders of its last line stay inside the border.
    m_Screen->ShowToolTip(button, -1, CJString("Top\nqy"), 2, 2);
    ASSERT_TRUE(m_Screen->GetToolTipRect(tip));
    CRect q{};
    m_Font->GetGlyphFrame('q')->GetBounds(q);
    EXPECT_LE(tip.top + 1 + m_Font->GetLineHeight() + q.bottom, tip.bottom - 1);

    // The screen window's own hover hides it.
    EXPECT_TRUE(m_Screen->OnHover(CPoint{0, 0}));
    EXPECT_FALSE(m_Screen->GetToolTipRect(tip));
}

TEST_F(ToolTipTest, AStatusWindowShowsTipsAsItsTitle)
{
    auto* status = new CJWindow(m_Screen.get(), "");
    m_Screen->AddChild(status);
    m_Screen->SetStatusWindow(status, true);
    m_Screen->ShowToolTip(status, -1, CJString("Saves the level"));
    EXPECT_STREQ(status->GetTitleText(), "Saves the level");
    CRect tip{};
    EXPECT_FALSE(m_Screen->GetToolTipRect(tip));

    // Hidden, while the level editor is open: the floating tip.
    struct CEditorOpen : CUiHooks {
        bool IsLevelEditorOpen() override { return true; }
    } editor;
    CScopedHook<SetUiHooks> hooks(&editor);
    status->Show(false, false);
    m_Screen->ShowToolTip(status, -1, CJString("Loads"), 5, 5);
    EXPECT_TRUE(m_Screen->GetToolTipRect(tip));
    EXPECT_STREQ(status->GetTitleText(), "Saves the level");

    // A window that dies stops being the status window.
    status->Destroy();
    m_Screen->ShowToolTip(nullptr, -1, CJString("Still shown"), 5, 5);
    EXPECT_TRUE(m_Screen->GetToolTipRect(tip));
}

} // namespace
