// The clipboard window and the scrap book as a designer uses them: things
// copied, the line at the top read, buttons clicked, the window closed and
// opened again; what is checked is what the designer sees and what is on
// disk.
#include "support/ScopedHooks.h"
#include "support/TestOnlyClasses.h"
#include "ui/MenuTestSupport.h"

#include "editor/CClipboardWindow.h"
#include "editor/CScrapBook.h"
#include "editor/CSelectedObjects.h"
#include "objects/CommentProperty.h"
#include "platform/CPlatformHeadless.h"
#include "shell/CClipboard.h"
#include "ui/CJButton.h"
#include "ui/CJHeader.h"
#include "ui/CJListBox.h"
#include "ui/CJMessageBox.h"
#include "ui/CJStatic.h"

#include <filesystem>
#include <memory>
#include <string>

class CScrapNote : public CObject {
    OMBRISALT_REFLECTED(CScrapNote, CObject)
public:
    CScrapNote() { InitDeclaredProperties(); }
    ~CScrapNote() override { DestroyDeclaredProperties(); }
    int32_t m_Count = 0;
    CJString m_Title;
};
OMBRISALT_IMPLEMENT_CLASS(CScrapNote, 1.0)
const CTestOnlyClass kScrapNoteIsTestOnly("CScrapNote");
void CScrapNote::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CScrapNote::m_Count, "Count", 0);
    d.Add(&CScrapNote::m_Title, "Title", "");
}

namespace {

using CScopedPlatform = CScopedHook<plat::ReplacePlatform>;

std::unique_ptr<CScrapNote> Note(int32_t count, const char* title, const char* comment = nullptr)
{
    auto note = std::make_unique<CScrapNote>();
    note->m_Count = count;
    note->m_Title = title;
    if (comment)
        *static_cast<CJString*>(note->GetOrAddDynamicValue(&GetCommentProperty())) = comment;
    return note;
}

std::string Text(const CJString& text)
{
    return text.GetString();
}

class ClipboardAndScrapBook : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        CScrapNote::SGetClassInfo();
    }
    static CClipboard& Board() { return CClipboard::SGetInstance(); }
    static std::string Line() { return Text(GetClipboardDescription()); }
    static std::string Row(CScrapBookWindow& book, int32_t row) { return Text(book.GetList()->GetRowText(row)); }
    void CloseBook(CScrapBookWindow* book)
    {
        book->RequestClose();
        Step(CPoint{0, 0}, false);
    }
    // The text of the box in front, or "" when the front window is no box.
    std::string BoxText()
    {
        auto* box = dynamic_cast<CJMessageBox*>(m_Screen->GetFirstChild());
        if (!box)
            return "";
        for (CJWindow* child = box->GetFirstChild(); child; child = child->GetNextSibling())
            if (auto* text = dynamic_cast<CJStatic*>(child))
                return text->GetTitle().GetString();
        return "";
    }

    plat::CPlatformHeadless m_Platform;
    CScopedPlatform m_Installed{&m_Platform};
};

TEST_F(ClipboardAndScrapBook, TheClipboardLineShowsTextObjectsAndSelections)
{
    // Empty: an empty line.
    EXPECT_EQ(Line(), "");

    ASSERT_TRUE(Board().SetText(CJString("Hello there")));
    EXPECT_EQ(Line(), "Hello there");

    std::unique_ptr<CScrapNote> gate = Note(3, "Gate");
    CJString gateDescription;
    gate->GetDescription(gateDescription);
    ASSERT_TRUE(Board().CopyObject(gate.get()));
    EXPECT_EQ(Line(), Text(gateDescription));

    // A selection of two: the count, the first object's comment in quotes,
    // its description and the dots.
    CSelectedObjects two;
    CScrapNote* commented = Note(3, "Gate", "Front gate").release();
    two.Append(commented, CJString("Scenery"));
    two.Append(Note(4, "Fence").release(), CJString("Scenery"));
    CJString commentedDescription;
    commented->GetDescription(commentedDescription);
    ASSERT_TRUE(Board().CopyObject(&two));
    EXPECT_EQ(Line(), "2 Objects: \"Front gate\" " + Text(commentedDescription) + "...");

    // One without a comment: the object's own description alone.
    CSelectedObjects one;
    one.Append(Note(3, "Gate").release(), CJString("Scenery"));
    ASSERT_TRUE(Board().CopyObject(&one));
    EXPECT_EQ(Line(), Text(gateDescription));

    // Text copied after the object wins again.
    ASSERT_TRUE(Board().SetText(CJString("later")));
    EXPECT_EQ(Line(), "later");
}

TEST_F(ClipboardAndScrapBook, TheClipboardLineFollowsEveryNewObjectAndRefusesDamage)
{
    // The same object data is read once; a different one at once.
    ASSERT_TRUE(Board().CopyObject(Note(1, "One").get()));
    const std::string first = Line();
    EXPECT_EQ(Line(), first);
    std::unique_ptr<CScrapNote> second = Note(2, "Two");
    CJString secondDescription;
    second->GetDescription(secondDescription);
    ASSERT_TRUE(Board().CopyObject(second.get()));
    EXPECT_NE(Line(), first);
    EXPECT_EQ(Line(), Text(secondDescription));
    // The same bytes put there again still describe (nothing left stale).
    ASSERT_TRUE(Board().CopyObject(Note(1, "One").get()));
    EXPECT_EQ(Line(), first);

    // Object data that does not read describes nothing, and never ends the program.
    const char damaged[] = "CScrapNote\r\n{\r\n\tCount=1\r\n";
    ASSERT_TRUE(SetClipboardData(kClipboardObject, damaged, sizeof damaged - 1));
    EXPECT_EQ(Line(), "");

    // An empty selection describes itself as its class does.
    CSelectedObjects none;
    CJString base;
    none.CObject::GetDescription(base);
    CJString own;
    none.GetDescription(own);
    EXPECT_EQ(Text(own), Text(base));
}

TEST_F(ClipboardAndScrapBook, OneClipboardWindowAtMostDrawingTheLine)
{
    CClipboardWindow* window = OpenClipboardWindow(m_Screen);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsClipboardWindowOpen());
    EXPECT_EQ(OpenClipboardWindow(m_Screen), nullptr);
    EXPECT_EQ(window->GetTitle().Compare("Clipboard"), 0);
    // Its bottom-right corner starts at 640, 480.
    EXPECT_EQ(window->GetRect().right, 640);
    EXPECT_EQ(window->GetRect().bottom, 480);

    // The line shows in the window: text on the clipboard changes its pixels.
    auto draw = [&] {
        std::unique_ptr<CFrame> canvas = Canvas(uint32_t(window->GetWidth()), uint32_t(window->GetHeight()));
        window->Draw(*canvas);
        return canvas;
    };
    std::unique_ptr<CFrame> empty = draw();
    ASSERT_TRUE(Board().SetText(CJString("WWWWWWWW")));
    std::unique_ptr<CFrame> shown = draw();
    int changed = 0;
    for (uint32_t y = 0; y < empty->GetHeight(); ++y)
        for (uint32_t x = 0; x < empty->GetWidth(); ++x) {
            CColor a;
            CColor b;
            empty->GetPixel(int32_t(x), int32_t(y), a);
            shown->GetPixel(int32_t(x), int32_t(y), b);
            changed += a == b ? 0 : 1;
        }
    EXPECT_GT(changed, 20);

    window->RequestClose();
    Step(CPoint{0, 0}, false);
    EXPECT_FALSE(IsClipboardWindowOpen());
    EXPECT_NE(OpenClipboardWindow(m_Screen), nullptr);
}

TEST_F(ClipboardAndScrapBook, AddDeleteAndCopyWorkOnTheSelectedScrapOnly)
{
    CScrapBookWindow* book = OpenScrapBook(m_Screen);
    ASSERT_NE(book, nullptr);
    EXPECT_TRUE(IsScrapBookOpen());
    EXPECT_EQ(OpenScrapBook(m_Screen), nullptr);
    EXPECT_EQ(book->GetHeader()->GetColumnCount(), 3);

    // An empty clipboard adds nothing.
    Click(*book->GetAddButton());
    EXPECT_EQ(book->GetData().GetScrapCount(), 0u);
    EXPECT_EQ(book->GetList()->GetRowCount(), 0);

    // Text is kept as a text scrap; an object goes in front of it.
    ASSERT_TRUE(Board().SetText(CJString("Hello")));
    Click(*book->GetAddButton());
    ASSERT_TRUE(Board().CopyObject(Note(7, "Gate", "Front gate").get()));
    Click(*book->GetAddButton());
    ASSERT_EQ(book->GetList()->GetRowCount(), 2);
    EXPECT_EQ(book->GetList()->GetSelectedRow(), 0);
    CJString gateDescription;
    book->GetData().GetScrap(0)->GetDescription(gateDescription);
    EXPECT_EQ(Row(*book, 0), "1\t" + Text(gateDescription) + "\tFront gate");
    EXPECT_EQ(Row(*book, 1), "2\tHello\t");
    EXPECT_EQ(Text(book->GetList()->GetSource()->GetSecondText(0)), "Front gate");

    // Without a selection Delete and Copy do nothing.
    book->GetList()->SelectRow(-1, true);
    ASSERT_TRUE(Board().SetText(CJString("untouched")));
    Click(*book->GetCopyButton());
    Click(*book->GetDeleteButton());
    EXPECT_EQ(Line(), "untouched");
    EXPECT_EQ(book->GetData().GetScrapCount(), 2u);

    // Copy puts the selected scrap back; so does a double click on a row.
    book->GetList()->SelectRow(1, true);
    Click(*book->GetCopyButton());
    EXPECT_EQ(Line(), "Hello");
    book->GetList()->SelectRow(0, true);
    book->OnNotify(book->GetList(), kNotifyClicked);
    EXPECT_EQ(Line(), Text(gateDescription));
    // The scrap goes back with its comment.
    CObject* pasted = Board().PasteObject(CClipboard::AllowText::No);
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(Text(GetObjectComment(pasted)), "Front gate");
    delete pasted;

    // Delete removes the selected scrap and renumbers the rest.
    Click(*book->GetDeleteButton());
    ASSERT_EQ(book->GetList()->GetRowCount(), 1);
    EXPECT_EQ(Row(*book, 0), "1\tHello\t");
}

TEST_F(ClipboardAndScrapBook, TheListFillsTheWindowAndTheButtonsStayUnderIt)
{
    CScrapBookWindow* book = OpenScrapBook(m_Screen);
    ASSERT_NE(book, nullptr);
    book->SetSize(420, 320);
    const int32_t border = book->GetBorderWidth();
    EXPECT_EQ(book->GetList()->GetWidth(), 420 - 2 * border);
    EXPECT_EQ(book->GetHeader()->GetWidth(), 420 - 2 * border);
    EXPECT_EQ(book->GetDeleteButton()->GetRect().bottom, 320 - border);
    EXPECT_GT(book->GetDeleteButton()->GetRect().top, book->GetList()->GetRect().bottom);
    EXPECT_GT(book->GetCopyButton()->GetRect().left, book->GetDeleteButton()->GetRect().right);
    // Too small for the list: it keeps its height and the window its content.
    const int32_t listHeight = book->GetList()->GetHeight();
    book->SetSize(420, book->GetList()->GetRect().top + 5);
    EXPECT_EQ(book->GetList()->GetHeight(), listHeight);
}

TEST_F(ClipboardAndScrapBook, ScrapsSurviveClosingAndReopeningNewestFirst)
{
    // Looked at only, the book writes nothing.
    CloseBook(OpenScrapBook(m_Screen));
    EXPECT_FALSE(DiskHas(kScrapBookFileName));
    CScrapBookWindow* book = OpenScrapBook(m_Screen);
    ASSERT_NE(book, nullptr);
    CSelectedObjects two;
    two.Append(Note(1, "Older").release(), CJString("Scenery"));
    two.Append(Note(2, "Fence").release(), CJString("Scenery"));
    ASSERT_TRUE(Board().CopyObject(&two));
    Click(*book->GetAddButton());
    std::unique_ptr<CScrapNote> newer = Note(9, "Newer");
    CJString newerDescription;
    newer->GetDescription(newerDescription);
    ASSERT_TRUE(Board().CopyObject(newer.get()));
    Click(*book->GetAddButton());
    const std::string newest = Row(*book, 0);
    const std::string oldest = Row(*book, 1);
    CloseBook(book);
    EXPECT_FALSE(IsScrapBookOpen());
    ASSERT_TRUE(DiskHas(kScrapBookFileName));

    book = OpenScrapBook(m_Screen);
    ASSERT_NE(book, nullptr);
    ASSERT_EQ(book->GetList()->GetRowCount(), 2);
    EXPECT_EQ(Row(*book, 0), newest);
    EXPECT_EQ(Row(*book, 1), oldest);
    EXPECT_EQ(newest, "1\t" + Text(newerDescription) + "\t");
    EXPECT_EQ(oldest.rfind("2\t2 Objects: ", 0), 0u) << oldest;
    // The kept selection still carries its objects and their layers.
    auto* kept = dynamic_cast<CSelectedObjects*>(book->GetData().GetScrap(1));
    ASSERT_NE(kept, nullptr);
    ASSERT_EQ(kept->GetCount(), 2u);
    EXPECT_TRUE(kept->GetObject(0)->IsEqualTo(two.GetObject(0)));
    EXPECT_EQ(Text(kept->GetEntry(1)->m_LayerObjectIsOn), "Scenery");

    // An unchanged book is not written: a hand's blank line stays.
    const std::string bytes = ReadBytes(kScrapBookFileName) + "\r\n";
    WriteBytes(kScrapBookFileName, bytes);
    CloseBook(book);
    EXPECT_EQ(ReadBytes(kScrapBookFileName), bytes);

    // A scrap deleted stays deleted.
    book = OpenScrapBook(m_Screen);
    ASSERT_NE(book, nullptr);
    book->GetList()->SelectRow(0, true);
    Click(*book->GetDeleteButton());
    CloseBook(book);
    book = OpenScrapBook(m_Screen);
    ASSERT_NE(book, nullptr);
    ASSERT_EQ(book->GetList()->GetRowCount(), 1);
    EXPECT_EQ(Row(*book, 0), "1" + oldest.substr(1));
    CloseBook(book);
}

TEST_F(ClipboardAndScrapBook, AFileThatCannotBeReadIsKeptAsideBeforeANewOneIsWritten)
{
    const std::string unknown = ObjectText("CScrapBookData",
                                           "Scraps=Array\r\n\t{\r\n\t\tItem Count=2\r\n"
                                           "\t\tScrap=CNoSuchClassAnyMore\r\n\t\t{\r\n\t\t}\r\n"
                                           "\t}\r\n");
    WriteBytes(kScrapBookFileName, unknown);
    CScrapBookWindow* book = OpenScrapBook(m_Screen);
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->GetData().GetScrapCount(), 0u);
    EXPECT_EQ(ReadBytes("Scrap Book.object.txt.bad"), unknown);
    EXPECT_FALSE(DiskHas(kScrapBookFileName));
    ASSERT_TRUE(Board().SetText(CJString("fresh")));
    Click(*book->GetAddButton());
    CloseBook(book);
    ASSERT_TRUE(DiskHas(kScrapBookFileName));
    EXPECT_EQ(ReadBytes("Scrap Book.object.txt.bad"), unknown);

    // A second bad file never replaces the first one kept.
    const std::string cut = "CScrapBookData\r\n{\r\n\tScraps=Array\r\n";
    WriteBytes(kScrapBookFileName, cut);
    book = OpenScrapBook(m_Screen);
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(ReadBytes("Scrap Book.object.txt.bad"), unknown);
    EXPECT_EQ(ReadBytes("Scrap Book.object.txt.bad.1"), cut);
    CloseBook(book);

    // The book written over the kept one reads back.
    book = OpenScrapBook(m_Screen);
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->GetData().GetScrapCount(), 0u);
    EXPECT_FALSE(DiskHas("Scrap Book.object.txt.bad.2"));
}

TEST_F(ClipboardAndScrapBook, AFailedSaveIsReportedAndLeavesWhatIsThere)
{
    CScrapBookWindow* book = OpenScrapBook(m_Screen);
    ASSERT_NE(book, nullptr);
    ASSERT_TRUE(Board().SetText(CJString("kept in memory only")));
    Click(*book->GetAddButton());
    // Something the book cannot be renamed over takes its name.
    WriteBytes(std::string(kScrapBookFileName) + "/inside.txt", "still here");
    CloseBook(book);
    EXPECT_FALSE(IsScrapBookOpen());
    EXPECT_EQ(BoxText(), "Could not save Scrap Book.object.txt");
    EXPECT_EQ(ReadBytes(std::string(kScrapBookFileName) + "/inside.txt"), "still here");
}

} // namespace
