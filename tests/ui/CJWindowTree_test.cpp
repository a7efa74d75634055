// The window tree: the child ring, rectangles, placement, growing, scrolling
// and the life cycle.
#include "UiTestSupport.h"

#include "images/CFont.h"
#include "images/CFrame.h"

#include <map>

namespace {

class TreeTest : public UiTest {
protected:
    TreeTest() { m_Root.SetRect(CRect{0, 0, 800, 600}); }
    CJWindow m_Root{nullptr};
};

// Built as controls are, under the parent that lends it its look.
class CMadeWindow : public CJWindow {
public:
    CMadeWindow(CJWindow* parent, const char* name, int32_t width, CEventLog* log)
        : CJWindow(parent, name)
        , m_Log(log)
    {
        SetSize(width, 10);
    }
    ~CMadeWindow() override { m_Log->push_back(std::string(GetTitle().GetString()) + ": gone"); }

private:
    CEventLog* m_Log;
};

// Placement measures in the real default font, so font units are what the
// game sees.
class PlacementTest : public UiTestOn<CTempFolderTest> {
protected:
    void TearDown() override
    {
        CJWindow::SetDefaultFont(nullptr);
        UiTestOn<CTempFolderTest>::TearDown();
    }
};

TEST_F(TreeTest, RaisingRotatesTheRingAndTheFocusFollowsTheFront)
{
    m_Root.SetFocus(true);
    CProbeWindow* a = Add(m_Root, "1", CRect{0, 0, 10, 10});
    Add(m_Root, "2", CRect{0, 0, 10, 10});
    CProbeWindow* c = Add(m_Root, "3", CRect{0, 0, 10, 10});
    CProbeWindow* d = Add(m_Root, "4", CRect{0, 0, 10, 10});
    EXPECT_TRUE(a->HasFocus());

    m_Root.BringChildToFront(c);
    EXPECT_EQ(Order(m_Root), "3 4 1 2");
    EXPECT_EQ(m_Root.GetLastChild()->GetNextSibling(), nullptr);
    EXPECT_EQ(m_Root.GetFirstChild()->GetPrevSibling(), nullptr);
    EXPECT_EQ(m_Root.GetLastChild()->GetPrevSibling(), a);
    EXPECT_TRUE(c->HasFocus());
    EXPECT_FALSE(a->HasFocus());

    m_Root.SendChildToBack(c);
    EXPECT_EQ(Order(m_Root), "4 1 2 3");
    EXPECT_TRUE(d->HasFocus());
    EXPECT_FALSE(c->HasFocus());

    // Removing the focused front hands the focus to the new front.
    m_Root.RemoveChild(d);
    EXPECT_EQ(Order(m_Root), "1 2 3");
    EXPECT_TRUE(a->HasFocus());
    EXPECT_FALSE(d->HasFocus());
    EXPECT_EQ(d->GetParent(), nullptr);
    d->Destroy();

    // Raising a grandchild raises its parent first.
    CProbeWindow* inner = Add(*c, "c1", CRect{0, 0, 5, 5});
    CProbeWindow* inner2 = Add(*c, "c2", CRect{0, 0, 5, 5});
    c->BringChildToFront(inner2);
    EXPECT_EQ(Order(m_Root), "3 1 2");
    EXPECT_TRUE(inner2->HasFocus());
    EXPECT_FALSE(inner->HasFocus());
}

TEST_F(TreeTest, RectanglesFollowTheParentItsScrollingAndCollapseOutsideIt)
{
    CProbeWindow* parent = Add(m_Root, "p", CRect{10, 20, 110, 120});
    CProbeWindow* child = Add(*parent, "c", CRect{5, 5, 25, 25});
    EXPECT_EQ(child->GetScreenRect(), (CRect{15, 25, 35, 45}));
    EXPECT_EQ(child->GetVisibleRect(), (CRect{15, 25, 35, 45}));
    EXPECT_EQ(child->GetClipRect(), (CRect{0, 0, 20, 20}));

    // Half the child out of the parent: the visible part only.
    child->MoveTo(90, 5);
    EXPECT_EQ(child->GetVisibleRect(), (CRect{100, 25, 110, 45}));
    EXPECT_EQ(child->GetClipRect(), (CRect{0, 0, 10, 20}));

    // Scrolling the parent moves the child on screen, not in its parent.
    child->MoveTo(5, 5);
    parent->SetScrollSize(100, 300);
    parent->SetScrollPosition(0, 10);
    EXPECT_EQ(child->GetRect(), (CRect{5, 5, 25, 25}));
    EXPECT_EQ(child->GetScreenRect(), (CRect{15, 15, 35, 35}));
    EXPECT_EQ(child->GetVisibleRect(), (CRect{15, 20, 35, 35}));
    EXPECT_EQ(parent->GetClipRect(), (CRect{0, 10, 100, 110}));

    // The parent moved off the root: nothing of either is visible.
    parent->MoveTo(900, 0);
    EXPECT_EQ(parent->GetVisibleRect(), CRect{});
    EXPECT_EQ(child->GetVisibleRect(), CRect{});
    EXPECT_EQ(child->GetScreenRect(), (CRect{905, -5, 925, 15}));
}

TEST_F(PlacementTest, EveryPlacementCode)
{
    ASSERT_TRUE(WriteDefaultFont()) << "DejaVuSans.ttf is missing (Debian package fonts-dejavu-core)";
    RegisterImagesClasses();
    EnumerateFontFiles();
    CFont font;
    CJWindow::SetDefaultFont(&font);
    const int32_t u = int32_t(font.GetHeight()) / 5;
    ASSERT_GT(u, 0);

    struct Case {
        int32_t code;
        CPoint at;
    };
    // Parent 400 x 300, reference (also the previous sibling) at 100,50
    // 60 x 30, the window 40 x 20, offsets 3 and 5 pixels.
    const Case cases[] = {
        {1, {3, 5}},     {2, {357, 5}},   {3, {357, 5}},   {4, {357, 275}},  {5, {3, 5}},    {6, {180, 140}},
        {7, {100, 85}},  {8, {100, 85}},  {9, {123, 85}},  {10, {123, 85}},  {11, {180, 85}}, {12, {180, 85}},
        {13, {163, 50}}, {14, {163, 50}}, {15, {163, 55}}, {16, {163, 55}},  {17, {163, 60}}, {18, {163, 60}},
        {19, {400, 0}},  {20, {57, 50}},  {21, {57, 50}},  {23, {3, 275}},   {24, {110, 25}}, {25, {110, 25}},
        {26, {110, 55}}, {27, {110, 55}}, {28, {77, 77}},  {0, {77, 77}},
    };
    for (const Case& c : cases) {
        CJWindow parent(nullptr);
        parent.SetRect(CRect{0, 0, 400, 300});
        auto* reference = new CJWindow(&parent, "ref");
        reference->SetRect(CRect{100, 50, 160, 80});
        parent.AddChild(reference, {.dx = 0, .dy = 0, .flags = kPlaceNoGrow});
        auto* window = new CJWindow(&parent, "w");
        window->SetRect(CRect{77, 77, 117, 97});
        parent.AddChild(window, {.dx = 0, .dy = 0, .flags = kPlaceNoGrow});
        // Even codes up to 18 (and 21, 25, 27) take the previous sibling:
        // no reference is given for them.
        const bool sibling = (c.code % 2 == 0 && c.code >= 8 && c.code <= 18) || c.code == 21 || c.code == 25 ||
                             c.code == 27;
        window->Place(EPlace(c.code), sibling ? nullptr : reference, 3, 5, kPlacePixels | kPlaceNoGrow);
        EXPECT_EQ(window->GetRect().left, c.at.x) << "code " << c.code;
        EXPECT_EQ(window->GetRect().top, c.at.y) << "code " << c.code;
        if (c.code == 19) {
            EXPECT_EQ(window->GetHeight(), 300);
        }
    }

    CJWindow parent(nullptr);
    parent.SetRect(CRect{0, 0, 400, 300});
    ASSERT_EQ(parent.GetEdgeMargin(), 4 * u);
    // Code 8 with no previous sibling is code 1; default offsets are the
    // parent's margin, other offsets font units.
    auto* first = new CJWindow(&parent, "first");
    first->SetRect(CRect{0, 0, 40, 20});
    parent.AddChild(first, {.code = EPlace::BelowPrevious, .flags = kPlaceNoGrow});
    EXPECT_EQ(first->GetRect().left, 4 * u);
    EXPECT_EQ(first->GetRect().top, 4 * u);
    auto* second = new CJWindow(&parent, "second");
    second->SetRect(CRect{0, 0, 40, 20});
    parent.AddChild(second, {EPlace::BelowPrevious, nullptr, kDefaultOffset, 2, kPlaceNoGrow});
    EXPECT_EQ(second->GetRect().left, 4 * u);
    EXPECT_EQ(second->GetRect().top, first->GetRect().bottom + 2 * u);
    // Code 5 clamped inside the parent.
    second->Place(EPlace::At, nullptr, 500, -7, kPlacePixels | kPlaceNoGrow | kPlaceClampInParent);
    EXPECT_EQ(second->GetRect(), (CRect{360, 0, 400, 20}));
}

TEST_F(TreeTest, PlacingAtTheMouseOpensAwayFromTheEdgeAndMovesThePointerByTheClamp)
{
    auto* menu = new CJWindow(nullptr, "menu");
    menu->SetRect(CRect{0, 0, 40, 20});
    m_Root.SetRect(CRect{0, 0, 400, 300});
    CMouseState& mouse = CMouseState::SGetInstance();
    mouse.SetPosition(390, 290);
    m_Root.AddChild(menu, {EPlace::AtMouse, nullptr, 0, 0, kPlacePixels | kPlaceNoGrow});
    EXPECT_EQ(menu->GetRect(), (CRect{350, 270, 390, 290}));
    EXPECT_EQ(mouse.GetPositionPoint(), (CPoint{390, 290}));

    // Asked 30 pixels further right than fits: clamped, and the pointer
    // moves with it.
    mouse.SetPosition(100, 100);
    menu->Place(EPlace::AtMouse, nullptr, 330, 0, kPlacePixels | kPlaceNoGrow);
    EXPECT_EQ(menu->GetRect().left, 360);
    EXPECT_EQ(mouse.GetPositionPoint(), (CPoint{30, 100}));
}

TEST_F(TreeTest, AddingGrowsEveryParentThatAllowsIt)
{
    CProbeWindow* outer = Add(m_Root, "outer", CRect{0, 0, 50, 50});
    auto* middle = new CProbeWindow("middle", &m_Log);
    middle->SetRect(CRect{10, 10, 40, 40});
    outer->AddChild(middle, kAsIsNoGrow);
    auto* inner = new CProbeWindow("inner", &m_Log);
    inner->SetRect(CRect{20, 25, 100, 70});
    middle->AddChild(inner, {.flags = kPlaceGrowNoMargin});
    // No font: the edge margin is 0. The middle grows to the child, the
    // outer to the middle; the root was told not to grow.
    EXPECT_EQ(middle->GetRect(), (CRect{10, 10, 110, 80}));
    EXPECT_EQ(outer->GetRect(), (CRect{0, 0, 110, 80}));
    EXPECT_EQ(m_Root.GetRect(), (CRect{0, 0, 800, 600}));
}

TEST_F(TreeTest, AddMakesTheChildUnderThisWindowPlacesItAndTheTreeOwnsIt)
{
    CProbeWindow* panel = Add(m_Root, "panel", CRect{0, 0, 100, 100});
    panel->SetTransparent(true);
    auto& first = panel->Add<CMadeWindow>({EPlace::At, nullptr, 5, 6, kPlacePixels}, "first", 20, &m_Log);
    auto& second = panel->Add<CMadeWindow>({EPlace::RightOfPrevious, nullptr, 3, kDefaultOffset, kPlacePixels},
                                           "second", 120, &m_Log);
    auto& front = panel->AddFirst<CMadeWindow>(EPlace::AsIs, "front", 10, &m_Log);
    EXPECT_EQ(Order(*panel), "front first second");
    EXPECT_EQ(second.GetParent(), panel);
    // Made with this window as the parent that lends its look.
    EXPECT_TRUE(front.IsTransparent());
    EXPECT_EQ(first.GetRect(), (CRect{5, 6, 25, 16}));
    EXPECT_EQ(second.GetRect(), (CRect{28, 6, 148, 16}));
    // Without a font the margin is 0: the panel grows to the second's edge.
    EXPECT_EQ(panel->GetRect(), (CRect{0, 0, 148, 100}));
    Take();
    panel->Destroy();
    EXPECT_EQ(Take(), (CEventLog{"panel: gone", "front: gone", "first: gone", "second: gone"}));
}

// Spacings and offsets at the ends of the int range place a window at the
// held end (its width lost there), never wrapped round to the other side,
// and the parent grows only up to the largest int.
TEST_F(TreeTest, PlacesPastTheEndsOfTheIntRangeAreHeldThere)
{
    CProbeWindow* panel = Add(m_Root, "panel", CRect{0, 0, 100, 100});
    panel->SetSpacing(INT32_MAX, INT32_MIN);
    auto& a = panel->Add<CMadeWindow>({EPlace::At, nullptr, 5, 6, kPlacePixels}, "a", 20, &m_Log);
    auto& b = panel->Add<CMadeWindow>(EPlace::RightOfPrevious, "b", 30, &m_Log);
    EXPECT_EQ(b.GetRect(), (CRect{INT32_MAX, 6, INT32_MAX, 16}));
    EXPECT_EQ(panel->GetRect(), (CRect{0, 0, INT32_MAX, 100}));
    auto& c = panel->Add<CMadeWindow>(EPlace::AbovePrevious, "c", 40, &m_Log);
    EXPECT_EQ(c.GetRect(), (CRect{INT32_MAX - 20, INT32_MAX - 3, INT32_MAX, INT32_MAX})) << "6 - 10 + 2^31 high";
    EXPECT_EQ(panel->GetRect(), (CRect{0, 0, INT32_MAX, INT32_MAX}));
    EXPECT_EQ(panel->GetWidth(), INT32_MAX);

    c.Place(EPlace::LeftOf, &b, INT32_MIN, INT32_MIN, kPlacePixels | kPlaceNoGrow);
    EXPECT_EQ(c.GetRect(), (CRect{INT32_MAX, 6, INT32_MAX, 9})) << "3 high since it was held";
    c.Place(EPlace::BottomRight, nullptr, INT32_MIN, INT32_MIN, kPlacePixels | kPlaceNoGrow);
    EXPECT_EQ(c.GetRect().left, INT32_MAX);
    EXPECT_EQ(c.GetRect().top, INT32_MAX);
    c.Place(EPlace::TopLeft, nullptr, INT32_MIN, INT32_MIN, kPlacePixels | kPlaceNoGrow);
    EXPECT_EQ(c.GetRect(), (CRect{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN}));
    EXPECT_EQ(c.ScreenToClient(CPoint{INT32_MAX, 0}), (CPoint{INT32_MAX, INT32_MAX}));

    // A row spaced by the largest int runs off to the right, in order.
    c.SetSize(40, 10);
    panel->ArrangeRow(&a, &c, 0, false, false, -999, true);
    EXPECT_LT(a.GetRect().left, b.GetRect().left);
    EXPECT_LT(b.GetRect().left, c.GetRect().left);
    EXPECT_EQ(c.GetRect().left, INT32_MAX);
    for (const CJWindow* window : {&a, &b, &c})
        EXPECT_LE(window->GetRect().left, window->GetRect().right);

    // Reaching in from the far left end, it is drawn with its outline.
    CProbeWindow* far = Add(m_Root, "far", CRect{INT32_MIN, 0, 100, 10});
    far->SetDrawOutline(true);
    EXPECT_EQ(far->GetWidth(), INT32_MAX);
    auto canvas = CFrame::MakeOwned(32, 32, 32);
    canvas->Clear();
    m_Root.Draw(*canvas);
    CColor outline, below;
    ASSERT_TRUE(canvas->GetPixel(5, 10, outline));
    ASSERT_TRUE(canvas->GetPixel(5, 20, below));
    EXPECT_FALSE(outline == below) << "the outline's bottom edge crosses the target";
}

TEST_F(TreeTest, ArrangeRowCentresSameWidthWindowsAndDropsSpacingThatDoesNotFit)
{
    CProbeWindow* row = Add(m_Root, "row", CRect{0, 0, 200, 50});
    CProbeWindow* a = Add(*row, "a", CRect{0, 5, 30, 25});
    Add(*row, "b", CRect{0, 5, 50, 25});
    CProbeWindow* c = Add(*row, "c", CRect{0, 5, 40, 25});
    row->ArrangeRow(a, c, 0, false, true, 10, false);
    // Three of 50 plus two spacings: 170, centred in 200.
    EXPECT_EQ(a->GetRect(), (CRect{15, 5, 65, 25}));
    EXPECT_EQ(c->GetRect(), (CRect{135, 5, 185, 25}));
    row->SetWidth(120);
    row->ArrangeRow(a, c, 0, false, false, 10, false);
    EXPECT_EQ(a->GetRect().left, -15);
    EXPECT_EQ(c->GetRect().left, 85);
}

// Bars made by a stand-in factory: plain windows whose range and position
// are kept here.
struct CBarRecord {
    bool vertical = false;
    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t position = 0;
};
std::map<CJWindow*, CBarRecord>& Bars()
{
    static std::map<CJWindow*, CBarRecord> bars;
    return bars;
}

class CStandInBar : public CJWindow {
public:
    explicit CStandInBar(CJWindow& owner)
        : CJWindow(&owner)
    {
    }
    ~CStandInBar() override { Bars().erase(this); }
};

SScrollBarFactory StandInBars()
{
    SScrollBarFactory factory;
    factory.create = [](CJWindow& owner, bool vertical) -> CJWindow* {
        auto* bar = new CStandInBar(owner);
        Bars()[bar].vertical = vertical;
        return bar;
    };
    factory.getRange = [](CJWindow& bar, int32_t& lo, int32_t& hi) {
        lo = Bars()[&bar].minimum;
        hi = Bars()[&bar].maximum;
    };
    factory.setRange = [](CJWindow& bar, int32_t lo, int32_t hi) {
        Bars()[&bar].minimum = lo;
        Bars()[&bar].maximum = hi;
    };
    factory.getPosition = [](CJWindow& bar) { return Bars()[&bar].position; };
    factory.setPosition = [](CJWindow& bar, int32_t position) { Bars()[&bar].position = position; };
    return factory;
}

TEST_F(TreeTest, ScrollBarsAppearAtTheirThresholds)
{
    CScopedHook<SetScrollBarFactory> factory(StandInBars());
    CProbeWindow* view = Add(m_Root, "view", CRect{0, 0, 200, 200});
    view->EnableScrollBars(true);

    // The vertical bar leaves the content 15 pixels less room: content as
    // wide as the window then needs the horizontal bar too.
    view->SetScrollSize(185, 210);
    const CJWindowScroll* scroll = view->GetScroll();
    ASSERT_TRUE(scroll);
    ASSERT_TRUE(scroll->verticalBar);
    EXPECT_FALSE(scroll->horizontalBar);
    EXPECT_EQ(scroll->verticalBar->GetRect(), (CRect{185, 0, 200, 200}));
    EXPECT_EQ(Bars()[scroll->verticalBar].maximum, 10);

    view->SetScrollSize(210, 210);
    ASSERT_TRUE(scroll->verticalBar && scroll->horizontalBar);
    EXPECT_EQ(scroll->verticalBar->GetRect(), (CRect{185, 0, 200, 185}));
    EXPECT_EQ(scroll->horizontalBar->GetRect(), (CRect{0, 185, 185, 200}));
    EXPECT_EQ(Bars()[scroll->verticalBar].maximum, 25);
    view->SetScrollY(7);
    EXPECT_EQ(Bars()[scroll->verticalBar].position, 7);
    EXPECT_EQ(scroll->verticalBar->GetRect(), (CRect{185, 7, 200, 192}));

    // A narrow window keeps only the bar that fits (needs width > 60 for
    // a horizontal bar beside a vertical one); one narrower still keeps none.
    view->SetRect(CRect{0, 0, 40, 100});
    view->SetScrollSize(40, 200);
    EXPECT_TRUE(view->GetScroll()->verticalBar);
    EXPECT_FALSE(view->GetScroll()->horizontalBar);
    view->SetRect(CRect{0, 0, 30, 100});
    EXPECT_FALSE(view->GetScroll()->verticalBar);
    EXPECT_FALSE(view->GetScroll()->horizontalBar);
    EXPECT_EQ(view->GetScrollOffsetY(), 0);

    view->EnableScrollBars(false);
    view->SetScrollSize(0, 0);
    EXPECT_EQ(view->GetScroll(), nullptr);
    EXPECT_TRUE(Bars().empty());
}

TEST_F(TreeTest, ScrollPositionsStayWithinTheContentAndTheRecordGoesWhenEmpty)
{
    CProbeWindow* view = Add(m_Root, "view", CRect{0, 0, 100, 100});
    view->SetScrollSize(200, 400);
    view->SetScrollPosition(1000, 1000);
    EXPECT_EQ(view->GetScrollOffsetX(), 100);
    EXPECT_EQ(view->GetScrollOffsetY(), 300);
    view->SetScrollPosition(-5, -5);
    EXPECT_EQ(view->GetScrollOffsetX(), 0);
    EXPECT_EQ(view->GetScrollOffsetY(), 0);
    EXPECT_EQ(view->GetContentHeight(), 400);
    view->SetScrollSize(0, 0);
    EXPECT_EQ(view->GetScroll(), nullptr);
    EXPECT_EQ(view->GetContentHeight(), 100);
}

TEST_F(TreeTest, UpdateSurvivesAChildDestroyingItselfAndClosesOnRequest)
{
    CProbeWindow* a = Add(m_Root, "a", CRect{0, 0, 10, 10});
    CProbeWindow* b = Add(m_Root, "b", CRect{0, 0, 10, 10});
    CProbeWindow* c = Add(m_Root, "c", CRect{0, 0, 10, 10});
    a->m_LogsUpdates = b->m_LogsUpdates = c->m_LogsUpdates = true;
    b->m_DestroysOnUpdate = true;
    m_Root.Update(0.1f);
    EXPECT_EQ(Take(), (CEventLog{"a: update", "b: update", "b: gone", "c: update"}));
    EXPECT_EQ(Order(m_Root), "a c");

    m_Root.GetFirstChild()->RequestClose();
    m_Root.Update(0.1f);
    EXPECT_EQ(Take(), (CEventLog{"a: update", "a: gone", "c: update"}));

    // A refusing child stops CloseAllChildren.
    static_cast<CProbeWindow*>(m_Root.GetFirstChild())->m_RefusesClose = true;
    Add(m_Root, "d", CRect{0, 0, 10, 10});
    EXPECT_FALSE(m_Root.CloseAllChildren());
    EXPECT_EQ(Order(m_Root), "c d");
}

TEST_F(TreeTest, DestroyingAHoldingWindowEndsTheHoldAndItsChildrenGoFirst)
{
    CProbeWindow* window = Add(m_Root, "w", CRect{0, 0, 100, 100});
    Add(*window, "child", CRect{0, 0, 10, 10});
    window->m_TakesPress = true;
    ASSERT_TRUE(m_Root.OnMouseDown(0, CPoint{50, 50}));
    Take();
    window->Destroy();
    EXPECT_EQ(Take(), (CEventLog{"w: capture lost 1", "w: gone", "child: gone"}));
    EXPECT_FALSE(m_Root.HasChildren());
}

} // namespace
