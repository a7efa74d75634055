// The column header driven through the screen window: the width rules, edge
// drags, sort clicks, the widths kept in the settings file, what it owns,
// and how it draws.
#include "ControlTestSupport.h"

#include "foundation/SettingsFiles.h"
#include "ui/CJHeader.h"

namespace {

// Counts its runs and its own end.
class CTrackedCommand : public CCommand {
public:
    CTrackedCommand(int* runs, int* deaths)
        : m_Runs(runs)
        , m_Deaths(deaths)
    {
    }
    ~CTrackedCommand() override { ++*m_Deaths; }
    void Execute() override { ++*m_Runs; }

private:
    int* m_Runs;
    int* m_Deaths;
};

class HeaderTest : public ControlTest {
protected:
    // A header at (10, 10) of the screen, 300 wide, with three columns.
    CJHeader* Header(int32_t a = 100, int32_t b = 80, int32_t c = 60)
    {
        auto* header = new CJHeader(m_Parent);
        header->SetSize(300, header->GetHeight());
        header->AddColumn(CJString("Name"), a);
        header->AddColumn(CJString("Size"), b, nullptr, kHeaderAlignRight, kHeaderSortNumeric);
        header->AddColumn(CJString("Kind"), c);
        Put(header, 10, 10);
        Take();
        return header;
    }
    // Pointer on the screen, relative to the header's left edge.
    void PressAt(const CJHeader& header, int32_t x)
    {
        MoveTo(header.GetScreenRect().left + x, header.GetScreenRect().top + 4);
        Press();
    }
    void DragTo(const CJHeader& header, int32_t x)
    {
        MoveTo(header.GetScreenRect().left + x, header.GetScreenRect().top + 4);
    }
    int Notices(int code)
    {
        int n = 0;
        for (const std::string& line : Take())
            if (line == "parent: notify " + std::to_string(code) + " from ~CJHeader")
                ++n;
        return n;
    }
};

TEST_F(HeaderTest, ColumnsLieSideBySideAndWidthsKeepTheirLimits)
{
    CJHeader* header = Header();
    EXPECT_EQ(header->GetHeight(), m_Font->GetPointSize() + 1);
    EXPECT_EQ(header->GetColumnX(1), 100);
    EXPECT_EQ(header->GetColumnX(2), 180);
    EXPECT_FLOAT_EQ(header->GetColumn(1)->widthFraction, 80.0f / 300.0f);
    EXPECT_EQ(header->GetColumn(0)->font, header->GetFont()) << "the header's font when none is given";
    EXPECT_TRUE(header->IsNumericColumn(1));
    EXPECT_FALSE(header->IsNumericColumn(0));

    int runs = 0, deaths = 0;
    header->SetWidthCommand(new CTrackedCommand(&runs, &deaths));
    header->SetColumnWidth(0, 1);
    EXPECT_EQ(header->GetColumnWidth(0), 4);
    EXPECT_EQ(header->GetColumnX(1), 4) << "the columns after it move";
    EXPECT_EQ(Notices(1), 1);
    EXPECT_EQ(runs, 1);
    header->SetColumnWidth(0, -30, false);
    EXPECT_EQ(header->GetColumnWidth(0), -30) << "an unlimited change is taken as given";

    // With a total width the last column fills the rest and the others
    // leave it at least 4 pixels.
    header->SetTotalWidth(300);
    header->SetColumnWidth(0, 100);
    EXPECT_EQ(header->GetColumnWidth(2), 120);
    header->SetColumnWidth(0, 500);
    EXPECT_EQ(header->GetColumnWidth(0) + header->GetColumnWidth(1), 296);
    EXPECT_EQ(header->GetColumnX(2), 296);
    header->SetColumnWidth(2, 1);
    EXPECT_EQ(header->GetColumnWidth(2), 4) << "the last column is never narrowed below the rest";

    // Unknown columns change nothing and answer nothing.
    runs = 0;
    header->SetColumnWidth(7, 50);
    header->ResizeColumnBy(-1, 5);
    header->SetSortDirection(3, kHeaderDescending);
    header->SetResizable(3, false);
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(header->GetColumnWidth(3), 0);
    EXPECT_EQ(header->GetSortDirection(3), 0u);
    EXPECT_FALSE(header->IsNumericColumn(-1));
    EXPECT_FALSE(header->IsHighlighted(9));
    EXPECT_EQ(header->GetColumn(3), nullptr);
}

TEST_F(HeaderTest, DraggingAnEdgeResizesTheColumnDownToFourPixels)
{
    CJHeader* header = Header();
    EXPECT_EQ(header->GetEdgeAt(99), 0);
    EXPECT_EQ(header->GetEdgeAt(96), 0) << "3 pixels left of the edge";
    EXPECT_EQ(header->GetEdgeAt(95), -1);
    EXPECT_EQ(header->GetEdgeAt(102), 0);
    EXPECT_EQ(header->GetEdgeAt(103), -1);

    PressAt(*header, 99);
    DragTo(*header, 129);
    EXPECT_EQ(header->GetColumnWidth(0), 130);
    EXPECT_EQ(header->GetColumnX(2), 210);
    DragTo(*header, 0);
    EXPECT_EQ(header->GetColumnWidth(0), 4);
    Release();
    EXPECT_EQ(header->GetSortColumn(), 0);
    EXPECT_EQ(header->GetSortDirection(0), kHeaderAscending) << "a drag is no sort click";

    // The next press starts afresh: a title, not the old edge.
    const int32_t width = header->GetColumnWidth(1);
    PressAt(*header, 40);
    DragTo(*header, 60);
    Release();
    EXPECT_EQ(header->GetColumnWidth(1), width);

    // Not resizable, or fixed: no edge to take.
    header->SetResizable(1, false);
    const int32_t edge = header->GetColumnX(1) + header->GetColumnWidth(1) - 1;
    EXPECT_EQ(header->GetEdgeAt(edge), -1);
    header->SetResizable(1, true);
    header->SetFixed(true);
    PressAt(*header, edge);
    DragTo(*header, edge + 30);
    Release();
    EXPECT_EQ(header->GetColumnWidth(1), width);
}

TEST_F(HeaderTest, TitleClicksSortAndASecondClickReverses)
{
    CJHeader* header = Header();
    int runs = 0, deaths = 0;
    header->SetCommand(new CTrackedCommand(&runs, &deaths));

    PressAt(*header, 140);
    Release();
    EXPECT_EQ(header->GetSortColumn(), 1);
    EXPECT_EQ(header->GetSortDirection(1), kHeaderAscending) << "a new sort column keeps its direction";
    EXPECT_EQ(Notices(0), 1);
    EXPECT_EQ(runs, 1);

    PressAt(*header, 140);
    Release();
    EXPECT_EQ(header->GetSortDirection(1), kHeaderDescending);
    PressAt(*header, 140);
    Release();
    EXPECT_EQ(header->GetSortDirection(1), kHeaderAscending) << "twice returns to the first direction";
    EXPECT_EQ(runs, 3);

    // Pressed, moved off the title and released: nothing happens, even
    // when the pointer comes back onto another title.
    Take();
    PressAt(*header, 140);
    DragTo(*header, 20);
    Release();
    EXPECT_EQ(header->GetSortColumn(), 1);
    EXPECT_EQ(header->GetSortDirection(1), kHeaderAscending);
    EXPECT_EQ(Notices(0), 0);
    EXPECT_EQ(runs, 3);

    // Moving off and back on still counts.
    PressAt(*header, 20);
    DragTo(*header, 150);
    DragTo(*header, 30);
    Release();
    EXPECT_EQ(header->GetSortColumn(), 0);

    // Escape cancels the press: the release sorts nothing.
    PressAt(*header, 140);
    Type(kKeyEscape);
    Release();
    EXPECT_EQ(header->GetSortColumn(), 0);
    EXPECT_EQ(runs, 4);

    // A fixed header takes no sort clicks.
    header->SetFixed(true);
    PressAt(*header, 140);
    Release();
    EXPECT_EQ(header->GetSortColumn(), 0);
    EXPECT_EQ(runs, 4);
}

TEST_F(HeaderTest, WidthsAreKeptUnderTheParentsSettingsKey)
{
    m_Parent->LoadWindowSettings("Level List", false);
    CJHeader* header = Header();
    header->SetColumnWidth(0, 123);
    header->SaveColumnWidths();
    const char* file = CJWindow::GetWindowSettingsFile();
    EXPECT_EQ(GetIniInt(file, "Level List", "Name Column Width", -1), 123);
    EXPECT_EQ(GetIniInt(file, "Level List", "Size Column Width", -1), 80);

    // Read back into a fresh header; a missing entry keeps the width.
    SetIniInt(file, "Level List", "Kind Column Width", 45);
    SetIniInt(file, "Level List", "Size Column Width", 0);
    auto* again = new CJHeader(m_Parent);
    again->AddColumn(CJString("Name"), 10);
    again->AddColumn(CJString("Size"), 20);
    again->AddColumn(CJString("Kind"), 30);
    again->AddColumn(CJString("Date"), 40);
    Put(again, 10, 40);
    again->LoadColumnWidths();
    EXPECT_EQ(again->GetColumnWidth(0), 123);
    EXPECT_EQ(again->GetColumnWidth(1), 4) << "a stored 0 keeps the 4-pixel minimum";
    EXPECT_EQ(again->GetColumnWidth(2), 45);
    EXPECT_EQ(again->GetColumnWidth(3), 40);
    EXPECT_EQ(again->GetColumnX(3), 172) << "laid out again";

    SetIniInt(file, "Level List", "Name Column Width", -500);
    again->LoadColumnWidths();
    EXPECT_EQ(again->GetColumnWidth(0), 4);

    // On a page without a key of its own: the nearest ancestor's section.
    CProbeWindow* page = Add(*m_Parent, "page", CRect{0, 100, 300, 200});
    auto* paged = new CJHeader(page);
    paged->AddColumn(CJString("Name"), 10);
    page->AddChild(paged);
    paged->LoadColumnWidths();
    EXPECT_EQ(paged->GetColumnWidth(0), 4);
    EXPECT_EQ(paged->GetSettingsOwner(), m_Parent);
    auto* loose = new CJHeader(nullptr);
    loose->AddColumn(CJString("Name"), 10);
    loose->LoadColumnWidths();
    loose->SaveColumnWidths();
    EXPECT_EQ(loose->GetColumnWidth(0), 10) << "no key anywhere: nothing read";
    loose->Destroy();

    // Widths near 2^31 from a damaged file are held to what a screen shows.
    SetIniInt(file, "Level List", "Name Column Width", INT32_MAX);
    SetIniInt(file, "Level List", "Kind Column Width", INT32_MAX - 1);
    again->LoadColumnWidths();
    EXPECT_EQ(again->GetColumnX(3), 16384 + 4 + 16384);
}

TEST_F(HeaderTest, TheHeaderOwnsItsCommandsAndColumnImages)
{
    int runs = 0, deaths = 0;
    auto* header = new CJHeader(nullptr);
    header->SetCommand(nullptr);
    EXPECT_EQ(header->GetCommand(), nullptr) << "nothing to drop";
    header->SetCommand(new CTrackedCommand(&runs, &deaths));
    header->SetCommand(new CTrackedCommand(&runs, &deaths));
    EXPECT_EQ(deaths, 1) << "the old command goes";
    header->SetCommand(nullptr);
    EXPECT_EQ(deaths, 2);
    header->SetCommand(new CTrackedCommand(&runs, &deaths));
    header->SetWidthCommand(new CTrackedCommand(&runs, &deaths));

    header->AddColumn(CJString("Icon"), 20);
    header->SetColumnImage(0, CFrame::MakeOwned(8, 8, 32).release());
    header->SetColumnImage(0, CFrame::MakeOwned(6, 6, 32).release());
    header->SetColumnImage(5, CFrame::MakeOwned(6, 6, 32).release());
    header->AddColumn(CJString("Plain"), 20);
    header->Destroy();
    EXPECT_EQ(deaths, 4) << "both commands die with the header";
    EXPECT_EQ(runs, 0);
    // The pool checker of the test build reports any image left behind.

    // A list handing the header a handler of its own.
    struct CSorter : CJWindow {
        CSorter()
            : CJWindow(nullptr, "sorter")
        {
        }
        void Sort() { ++sorts; }
        int sorts = 0;
    };
    auto* sorter = new CSorter;
    auto* owned = new CJHeader(nullptr);
    owned->SetCommand(new CJWindowFunctionCommand(sorter, &CSorter::Sort));
    owned->GetCommand()->Execute();
    EXPECT_EQ(sorter->sorts, 1);
    owned->Destroy();
    sorter->Destroy();
}

TEST_F(HeaderTest, TitlesDrawInsideTheirColumnsOverTheHighlight)
{
    CJHeader* header = Header(60, 60, 60);
    header->SetColumnWidth(0, 20);
    header->SetHighlighted(2, true);
    EXPECT_TRUE(header->IsHighlighted(2));
    Draw();
    const CRect& r = header->GetScreenRect();
    const int32_t mid = r.top + header->GetHeight() / 2;
    EXPECT_EQ(Rgb(*m_Canvas, r.left + header->GetColumnX(2) + 40, r.bottom - 3), 0xAF9236u)
        << "the highlight colour fills the column";
    // "Name" is wider than 20 pixels: nothing of it reaches past its edge
    // into the next column, whose own title sits at its right end.
    const int32_t from = r.left + header->GetColumnX(1) + 2 * Unit();
    bool spilled = false;
    for (int32_t x = from; x < from + 10; ++x)
        for (int32_t y = r.top + Unit(); y < r.bottom - Unit(); ++y)
            spilled |= Rgb(*m_Canvas, x, y) != 0;
    EXPECT_FALSE(spilled);
    bool drawn = false;
    for (int32_t x = r.left + 2; x < r.left + 18; ++x)
        drawn |= Rgb(*m_Canvas, x, mid) != 0;
    EXPECT_TRUE(drawn) << "the clipped title still shows";

    // The sort column carries a mark that turns with the direction.
    header->SetSortColumn(2);
    const auto mark = [&] {
        std::string pixels;
        const int32_t right = r.left + header->GetColumnX(2) + header->GetColumnWidth(2);
        for (int32_t y = r.top; y < r.bottom; ++y)
            for (int32_t x = right - 20; x < right; ++x)
                pixels += Rgb(*m_Canvas, x, y) == 0xAF9236u ? '.' : '#';
        return pixels;
    };
    Draw();
    const std::string ascending = mark();
    header->SetSortDirection(2, kHeaderDescending);
    Draw();
    EXPECT_NE(ascending, mark());
}

} // namespace
