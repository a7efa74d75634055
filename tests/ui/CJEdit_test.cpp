// Text edits driven through the real screen window with typed keys, the
// mouse and a hand-driven clock: what the text, caret and selection become,
// what the parent hears and which error sounds play.
#include "EditTestSupport.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "ui/CJButton.h"
#include "ui/CJMenu.h"
#include "support/RebuiltWindow.h"

#include <map>

namespace {

constexpr uint32_t kHome = 5, kUp = 6, kPageUp = 7, kBackspace = 8, kDown = 10, kLeft = 11, kRight = 12, kEnd = 14,
                   kPageDown = 15, kInsert = 16, kDelete = 17, kUndo = 26, kF2 = 30;
const std::vector<std::string> kOneError{"Player Error.wav"};
const std::vector<std::string> kNoSound{};

TEST_F(EditTest, TheKeyTableMovesTheCaretAndLeavesUpAndDownToTheParentInOneLine)
{
    CJEdit* edit = AddEdit("hello");
    EXPECT_EQ(Selected(*edit), "hello") << "a new edit has all of its text selected";
    Type('x');
    EXPECT_EQ(Text(*edit), "x");
    EXPECT_EQ(Changes(), 1);

    Type("abcdefghijklmnopqrstuvwxy");
    ASSERT_EQ(edit->GetCaret(), 26u);
    Type(kPageUp);
    EXPECT_EQ(edit->GetCaret(), 6u) << "Page Up is twenty characters left, not a page of lines";
    Type(kPageUp);
    EXPECT_EQ(edit->GetCaret(), 0u);
    Type(kPageDown);
    EXPECT_EQ(edit->GetCaret(), 20u);
    Type(kEnd);
    Type(kLeft);
    EXPECT_EQ(edit->GetCaret(), 25u);
    Type(kHome);
    Type(kRight);
    EXPECT_EQ(edit->GetCaret(), 1u);
    EXPECT_FALSE(edit->HasSelection());
    TypeWith(kShift, kRight);
    TypeWith(kShift, kRight);
    EXPECT_EQ(Selected(*edit), "ab") << "Shift extends the selection from the anchor";
    Type(1);
    EXPECT_EQ(Selected(*edit), Text(*edit)) << "Ctrl+A";
    Changes();

    EXPECT_FALSE(edit->OnKeyDown(kUp));
    EXPECT_FALSE(edit->OnKeyDown(kDown));
    EXPECT_FALSE(edit->OnKeyDown(13)) << "Enter is not taken unless it types a line break";
    EXPECT_FALSE(edit->OnKeyDown(kF2)) << "F2 without zoom";
    EXPECT_EQ(Changes(), 0) << "moving the caret tells nothing";
}

TEST_F(EditTest, UpAndDownMoveByWrappedLinesAndEnterTypesALineBreakWhenAsked)
{
    CJEdit* edit = AddEdit("");
    edit->SetSize(200, edit->GetHeight());
    edit->SetLineCount(4);
    edit->SetEnterIsNewline(true);
    Type("abcdef");
    Type(13);
    Type("abc");
    EXPECT_EQ(Text(*edit), "abcdef\nabc");
    Type(kUp);
    EXPECT_EQ(edit->GetCaret(), 3u) << "straight up from the end of the second line";
    Type(kUp);
    EXPECT_EQ(edit->GetCaret(), 3u) << "the first line has nothing above it";
    Type(kHome);
    Type(kDown);
    EXPECT_EQ(edit->GetCaret(), 7u) << "the start of the second line";
    // A long run wraps at the width; Down reaches the wrapped line.
    Type(kEnd);
    Type(" and a long tail that cannot fit in two hundred pixels");
    Type(kHome);
    Type(kDown);
    Type(kDown);
    EXPECT_GT(edit->GetCaret(), 8u);
    EXPECT_LT(edit->GetCaret(), uint32_t(edit->GetTitle().GetLength()));
}

TEST_F(EditTest, InsertSwitchesEveryEditToOverwriteWhichStillAppendsAtTheEnd)
{
    CJEdit* first = AddEdit("abc");
    CJEdit* second = AddEdit("xyz", 10, 60);
    Type(kHome);
    Type(kInsert);
    EXPECT_FALSE(CJEdit::IsInsertMode());
    m_Parent->BringChildToFront(first);
    Type(kHome);
    Type('Q');
    EXPECT_EQ(Text(*first), "Qbc") << "overwrite replaces the character at the caret";
    Type(kEnd);
    Type('d');
    EXPECT_EQ(Text(*first), "Qbcd") << "at the end it appends";
    m_Parent->BringChildToFront(second);
    Type(kHome);
    Type('Z');
    EXPECT_EQ(Text(*second), "Zyz") << "the mode is shared by all edits";
    TypeWith(kShift, kInsert);
    TypeWith(kControl, kInsert);
    EXPECT_FALSE(CJEdit::IsInsertMode()) << "Shift+Insert and Ctrl+Insert are the clipboard's";
    Type(kInsert);
    EXPECT_TRUE(CJEdit::IsInsertMode());
}

TEST_F(EditTest, RefusedCharactersLeaveTheTextAndPlayOneErrorSoundEach)
{
    CJEdit* edit = AddEdit("");
    edit->SetForbiddenChars("#/");
    edit->SetMaxLength(3);
    edit->SetForceUpperCase(true);
    Type("a#b");
    EXPECT_EQ(Text(*edit), "AB");
    EXPECT_EQ(m_Ear.Take(), kOneError);
    Type("cd");
    EXPECT_EQ(Text(*edit), "ABC") << "the fourth character breaks the length limit";
    EXPECT_EQ(m_Ear.Take(), kOneError);

    CJEdit* numbers = AddEdit("", 10, 60);
    numbers->SetNumbersOnly(true);
    Type("-1.5e");
    EXPECT_EQ(Text(*numbers), "-1.5");
    EXPECT_EQ(m_Ear.Take(), kOneError);

    CJEdit* narrow = AddEdit("", 10, 110);
    narrow->SetLimitToWidth(true);
    Type("WWWWWWWWWWWWWWWWWWWW");
    EXPECT_LE(m_Font->GetTextWidth(narrow->GetTitle()), narrow->GetWidth() - 2);
    EXPECT_FALSE(m_Ear.Take().empty());

    CJEdit* locked = AddEdit("fixed", 10, 160);
    locked->SetEditable(false);
    Changes();
    EXPECT_TRUE(locked->OnKeyDown('z')) << "taken and ignored";
    Type(kBackspace);
    Type(kDelete);
    Type(kUndo);
    EXPECT_EQ(Text(*locked), "fixed");
    EXPECT_EQ(m_Ear.Take(), kNoSound);
    locked->SetTitle(CJString("set by the program"));
    Type(kUndo);
    EXPECT_EQ(Text(*locked), "set by the program") << "undo changes no text the user may not change";
}

TEST_F(EditTest, ARangeRevertsTextsOutsideItWithoutTellingTheParent)
{
    CJEdit* edit = AddEdit("");
    edit->SetRange(1.0f, 10.0f);
    Type('0');
    EXPECT_EQ(Text(*edit), "") << "0 is below the range";
    EXPECT_EQ(m_Ear.Take(), kOneError);
    EXPECT_EQ(Changes(), 0);
    Type('5');
    EXPECT_EQ(Text(*edit), "5");
    EXPECT_EQ(m_Ear.Take(), kNoSound);
    EXPECT_EQ(Changes(), 1);

    // Backspace that would leave "1" in 5..10 is put back whole, and the
    // parent hears nothing of the text it never kept.
    CJEdit* tens = AddEdit("10", 10, 60);
    tens->SetRange(5.0f, 10.0f);
    Type(kEnd);
    Type(kBackspace);
    EXPECT_EQ(Text(*tens), "10");
    EXPECT_EQ(tens->GetCaret(), 2u);
    EXPECT_EQ(Changes(), 0);
    EXPECT_EQ(m_Ear.Take(), kOneError);
    Type(kHome);
    Type(kDelete);
    EXPECT_EQ(Text(*tens), "10") << "\"0\" is out of range too";
    EXPECT_EQ(Changes(), 0);
    m_Ear.Take();

    tens->SetTextAndNotify(CJString("42"));
    EXPECT_EQ(Text(*tens), "10");
    EXPECT_EQ(Changes(), 0);
    tens->SetTextAndNotify(CJString("7"));
    EXPECT_EQ(Text(*tens), "7");
    EXPECT_EQ(Changes(), 1);

    // A range without negatives takes no minus, which would stay when the
    // digit after it is refused and read as -0.
    CJEdit* counts = AddEdit("", 10, 110);
    counts->SetRange(0.0f, 100.0f);
    m_Ear.Take();
    Type('-');
    EXPECT_EQ(Text(*counts), "");
    EXPECT_EQ(m_Ear.Take(), kOneError);
    Type('5');
    EXPECT_EQ(Text(*counts), "5");
}

TEST_F(EditTest, CutsAndDeletesFromTheClipboardKeysKeepTheRangeAndDoneKeepsTheLimits)
{
    CJEdit* edit = AddEdit("150");
    edit->SetRange(100.0f, 900.0f);
    Type(kHome);
    TypeWith(kShift, kRight);
    Type(24);
    EXPECT_EQ(Text(*edit), "150") << "\"50\" would be outside 100..900";
    EXPECT_EQ(m_Ear.Take(), kOneError);
    EXPECT_EQ(Clipboard(), "1");
    EXPECT_EQ(Changes(), 0);
    Type(1);
    Type(24);
    EXPECT_EQ(Text(*edit), "") << "an empty text is always taken";
    EXPECT_EQ(Changes(), 1);

    // The zoom editor cannot hand back more than the source holds.
    CJEdit* shortText = AddEdit("ab", 10, 60);
    shortText->SetMaxLength(3);
    shortText->SetCanZoom(true);
    Type(kF2);
    CTextEditZoomWindow* zoom = shortText->GetZoomWindow();
    ASSERT_TRUE(zoom);
    zoom->GetInnerEdit()->SetTitle(CJString("abcd"));
    m_Ear.Take();
    zoom->GetDoneButton()->PerformClick();
    EXPECT_EQ(Text(*shortText), "ab");
    EXPECT_EQ(m_Ear.Take(), kOneError);
    Frame();
    EXPECT_EQ(shortText->GetZoomWindow(), zoom) << "still open: nothing typed there is lost";
}

TEST_F(EditTest, BackspaceAndDeleteTellTheParentOnce)
{
    CJEdit* edit = AddEdit("one two");
    Type(kEnd);
    TypeWith(kShift, kLeft);
    TypeWith(kShift, kLeft);
    TypeWith(kShift, kLeft);
    Changes();
    Type(kBackspace);
    EXPECT_EQ(Text(*edit), "one ") << "Backspace with a selection deletes the selection only";
    EXPECT_EQ(Changes(), 1);
    Type(kHome);
    Type(kDelete);
    EXPECT_EQ(Text(*edit), "ne ");
    EXPECT_EQ(Changes(), 1);
    Type(kBackspace);
    EXPECT_EQ(Text(*edit), "ne ") << "nothing before the caret";
}

TEST_F(EditTest, UndoTogglesBetweenTheTextAtFocusAndTheCurrentText)
{
    CJEdit* edit = AddEdit("first");
    EXPECT_FALSE(edit->Undo(0)) << "nothing to undo right after taking the focus";
    Type(kUndo);
    EXPECT_EQ(Text(*edit), "first");
    Type("second");
    Changes();
    EXPECT_TRUE(edit->Undo(0));
    Type(kUndo);
    EXPECT_EQ(Text(*edit), "first");
    EXPECT_EQ(Selected(*edit), "first");
    EXPECT_EQ(Changes(), 1);
    Type(kUndo);
    EXPECT_EQ(Text(*edit), "second") << "a second undo brings the change back";
}

TEST_F(EditTest, PastedTextIsTypedThroughTheFiltersAndNeverRunsAsEditingKeys)
{
    CJEdit* numbers = AddEdit("");
    numbers->SetNumbersOnly(true);
    PutOnClipboard("12a");
    EXPECT_TRUE(m_Screen->OnKeyDown(22)) << "Ctrl+V";
    EXPECT_EQ(Text(*numbers), "12");
    EXPECT_EQ(m_Ear.Take(), kOneError) << "one sound, for the letter";

    // Control codes are dropped (8 would delete, 1 select all, 26 undo);
    // line ends are line breaks only where the edit takes them.
    CJEdit* single = AddEdit("", 10, 60);
    PutOnClipboard("a\r\nb\x08\x01\x1A\x63\rd");
    m_Screen->OnKeyDown(22);
    EXPECT_EQ(Text(*single), "abcd");
    CJEdit* multi = AddEdit("", 10, 110);
    multi->SetLineCount(3);
    m_Screen->OnKeyDown(22);
    EXPECT_EQ(Text(*multi), "a\nbc\nd");

    // A selection is replaced; copy, cut and the queries.
    CJEdit* edit = AddEdit("keep this", 10, 200);
    EXPECT_TRUE(edit->ClipboardCopy(0));
    EXPECT_TRUE(edit->ClipboardCut(0));
    EXPECT_TRUE(edit->ClipboardDelete(0));
    TypeWith(kControl, kInsert);
    EXPECT_EQ(Clipboard(), "keep this");
    Type(kEnd);
    EXPECT_FALSE(edit->ClipboardCopy(0)) << "nothing selected";
    EXPECT_FALSE(edit->ClipboardDelete(0));
    TypeWith(kShift, kLeft);
    TypeWith(kShift, kLeft);
    TypeWith(kShift, kLeft);
    TypeWith(kShift, kLeft);
    Type(24);
    EXPECT_EQ(Text(*edit), "keep ");
    EXPECT_EQ(Clipboard(), "this");
    Type(kHome);
    TypeWith(kShift, kInsert);
    EXPECT_EQ(Text(*edit), "thiskeep ");
    edit->SetCanCopy(false);
    EXPECT_FALSE(edit->ClipboardPaste(0));
    Type(1);
    EXPECT_FALSE(edit->ClipboardCopy(0));
}

TEST_F(EditTest, TheMouseSetsTheCaretDragsASelectionAndDoubleClicksAWord)
{
    CJEdit* edit = AddEdit("alpha beta gamma");
    edit->SetSize(300, edit->GetHeight());
    const int32_t y = MiddleY(*edit);
    ClickAt(CPoint{CharacterX(*edit, 3) + 1, y});
    EXPECT_EQ(edit->GetCaret(), 3u);
    EXPECT_FALSE(edit->HasSelection());
    MoveTo(CPoint{CharacterX(*edit, 8) + 1, y});
    Press();
    MoveTo(CPoint{CharacterX(*edit, 12) + 1, y});
    Release();
    EXPECT_EQ(Selected(*edit), "ta g");
    CKeyboardState::SGetInstance().OnKeyDown(kShift);
    ClickAt(CPoint{CharacterX(*edit, 16) - 1, y});
    CKeyboardState::SGetInstance().OnKeyUp(kShift);
    EXPECT_EQ(Selected(*edit), "ta gamma") << "Shift keeps the anchor";
    EXPECT_TRUE(edit->OnMouseDoubleClick(0, CPoint{CharacterX(*edit, 8), y}, 0));
    EXPECT_EQ(Selected(*edit), "beta");
}

TEST_F(EditTest, TheContextMenuOffersWhatTheModeZeroQueriesAllowAndForgetsItselfWhenClosed)
{
    CJEdit* edit = AddEdit("menu text");
    edit->SetCanZoom(true);
    PutOnClipboard("pasted");
    Type(kEnd);
    ClickAt(CPoint{CharacterX(*edit, 2), MiddleY(*edit)}, 1);
    CJMenu* menu = edit->GetContextMenu();
    ASSERT_TRUE(menu);
    EXPECT_EQ(m_Screen->GetFirstChild(), menu) << "in front, in the root";
    std::map<std::string, bool> items;
    int separators = 0;
    for (CJWindow* child = menu->GetFirstChild(); child; child = child->GetNextSibling()) {
        auto* item = dynamic_cast<CJMenuItem*>(child);
        if (item && item->IsSeparator())
            ++separators;
        else if (item)
            items[Text(*item)] = item->IsEnabled();
    }
    EXPECT_EQ(separators, 3);
    const std::map<std::string, bool> expected{{"Undo", false},
                                               {"Cut", false},
                                               {"Copy", false},
                                               {"Paste", true},
                                               {"Delete", false},
                                               {"Select All", true},
                                               {"Zoom Into Text Editor (F2)", true}};
    EXPECT_EQ(items, expected) << "nothing selected, nothing changed since the focus";

    // Choosing an item runs it; closing the menu clears the edit's pointer.
    CJMenuItem* paste = nullptr;
    for (CJWindow* child = menu->GetFirstChild(); child; child = child->GetNextSibling())
        if (Text(*child) == "Paste")
            paste = dynamic_cast<CJMenuItem*>(child);
    ASSERT_TRUE(paste);
    MarkAsOld(*menu);
    paste->Activate();
    Frame();
    EXPECT_EQ(Text(*edit), "menu textpasted");
    EXPECT_EQ(edit->GetContextMenu(), nullptr);
    for (CJWindow* child = m_Screen->GetFirstChild(); child; child = child->GetNextSibling())
        EXPECT_FALSE(IsMarkedAsOld(*child)) << "the menu closed";

    // An edit that dies with its menu open takes the menu with it.
    ClickAt(CPoint{CharacterX(*edit, 2), MiddleY(*edit)}, 1);
    ASSERT_TRUE(edit->GetContextMenu());
    edit->Destroy();
    EXPECT_EQ(m_Screen->GetFirstChild(), m_Parent);
    EXPECT_EQ(m_Parent->GetFirstChild(), nullptr);
}

TEST_F(EditTest, TheZoomEditorEditsTheTextWithTheSourcesFiltersAndDoneHandsItBack)
{
    CJEdit* edit = AddEdit("12");
    edit->SetCanZoom(true);
    edit->SetNumbersOnly(true);
    Type(kF2);
    CTextEditZoomWindow* zoom = edit->GetZoomWindow();
    ASSERT_TRUE(zoom);
    EXPECT_EQ(Text(*zoom), "Text Editor");
    EXPECT_EQ(m_Screen->GetFirstChild(), zoom);
    CJEdit* inner = zoom->GetInnerEdit();
    EXPECT_TRUE(inner->IsMultiLine());
    EXPECT_EQ(inner->GetWidth(), 600);
    EXPECT_EQ(inner->GetHeight(), 25 * (m_Font->GetLineHeight() + 2));
    EXPECT_TRUE(inner->HasFocus());
    EXPECT_GE(zoom->GetDoneButton()->GetRect().top, inner->GetRect().bottom) << "DONE sits below the text";
    Type(kEnd);
    Type("3x4");
    EXPECT_EQ(Text(*inner), "1234");
    EXPECT_EQ(m_Ear.Take(), kOneError);
    EXPECT_EQ(Text(*edit), "12") << "the source waits for DONE";
    Changes();
    zoom->GetDoneButton()->Click();
    EXPECT_EQ(Text(*edit), "1234");
    EXPECT_EQ(Changes(), 1);
    Frame();
    EXPECT_EQ(edit->GetZoomWindow(), nullptr) << "closed on the next update";
    EXPECT_EQ(m_Screen->GetFirstChild(), m_Parent);

    // The source may die while its zoom editor is open.
    Type(kF2);
    zoom = edit->GetZoomWindow();
    ASSERT_TRUE(zoom);
    edit->Destroy();
    EXPECT_EQ(zoom->GetSource(), nullptr);
    zoom->GetDoneButton()->Click();
    Frame();
    EXPECT_EQ(m_Screen->GetFirstChild(), m_Parent);
}

TEST_F(EditTest, CloseNotificationsRunTheirCommandOnceWhenTheWatchedWindowGoes)
{
    int runs = 0;
    auto* watched = new CJWindow(nullptr, "watched");
    m_Screen->AddChild(watched, kAsIsNoGrow);
    watched->Add<CCloseNotification>(kAsIsNoGrow, new CCountingCommand(&runs));
    EXPECT_EQ(runs, 0);
    watched->Destroy();
    EXPECT_EQ(runs, 1);
    delete new CCloseNotification(nullptr, new CCountingCommand(&runs));
    EXPECT_EQ(runs, 1) << "deleted without being destroyed as a window: the command is only freed";
}

class EditDrawingTest : public EditTest {
protected:
    // The screen as drawn over black.
    void DrawScreen()
    {
        CColor black(0, 0, 0, 255);
        m_ScreenFrame->Fill(black);
        m_Screen->DrawToScreen();
    }
    // Pixels of the edit's inside that are lit.
    int LitPixels(const CJEdit& edit)
    {
        int lit = 0;
        const CRect r = edit.GetScreenRect();
        for (int32_t y = r.top + 2; y < r.bottom - 2; ++y)
            for (int32_t x = r.left + 2; x < r.right - 2; ++x)
                if (Rgb(*m_ScreenFrame, x, y) != Rgb(*m_ScreenFrame, r.left + 2, r.top + 2))
                    ++lit;
        return lit;
    }
};

TEST_F(EditDrawingTest, TheCaretBlinksWithTheClockAndPasswordsShowStars)
{
    CJEdit* edit = AddEdit("secret");
    edit->SetDrawBackground(false);
    Type(kEnd);
    s_Tick = 256;
    DrawScreen();
    const int on = LitPixels(*edit);
    s_Tick = 512;
    DrawScreen();
    const int off = LitPixels(*edit);
    EXPECT_GT(on, off) << "256 ms on, 256 ms off";
    EXPECT_GE(on - off, m_Font->GetLineHeight()) << "a one-pixel line one line high";

    edit->SetPassword(true);
    DrawScreen();
    std::vector<uint32_t> password;
    const CRect r = edit->GetScreenRect();
    for (int32_t x = r.left; x < r.right; ++x)
        password.push_back(Rgb(*m_ScreenFrame, x, MiddleY(*edit)));
    edit->SetPassword(false);
    edit->SetTitle(CJString("******"));
    Type(kEnd);
    DrawScreen();
    std::vector<uint32_t> stars;
    for (int32_t x = r.left; x < r.right; ++x)
        stars.push_back(Rgb(*m_ScreenFrame, x, MiddleY(*edit)));
    EXPECT_EQ(password, stars);
}

TEST_F(EditDrawingTest, ADisabledEditDimsTheBlitsAndLeavesThemAsItFoundThem)
{
    CJEdit* edit = AddEdit("grey");
    edit->Enable(false);
    CBlitType& mask = GetTransparentMaskBlitType();
    CBlitType& black = GetBlackBiasBlitType();
    const float maskBefore = mask.GetOpacity(), blackBefore = black.GetOpacity();
    mask.SetOpacity(0.7f);
    black.SetOpacity(0.8f);
    DrawScreen();
    EXPECT_EQ(mask.GetOpacity(), 0.7f) << "an edit inside a greyed parent keeps the parent's dimming";
    EXPECT_EQ(black.GetOpacity(), 0.8f);
    mask.SetOpacity(maskBefore);
    black.SetOpacity(blackBefore);
}

TEST_F(EditTest, TheTextKeepsAmpersandsAndTheCaretStaysInsideANewTitle)
{
    CJEdit* edit = AddEdit("Salt & Pepper");
    EXPECT_EQ(Text(*edit), "Salt & Pepper");
    EXPECT_EQ(edit->GetHotKeyChar(), 0);
    Type('&');
    EXPECT_EQ(Text(*edit), "&");
    edit->SetSelectAllOnFocus(false);
    Type("long text");
    edit->SetTitle(CJString("ab"));
    EXPECT_LE(edit->GetCaret(), 2u);
    EXPECT_LE(edit->GetSelectionAnchor(), 2u);
    Type(kBackspace);
    EXPECT_EQ(Text(*edit).size(), 1u);
}

} // namespace
