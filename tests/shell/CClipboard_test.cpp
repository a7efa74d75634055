#include "shell/CClipboard.h"

#include "support/ScopedHooks.h"
#include "support/TestOnlyClasses.h"

#include "foundation/CurrentLoadFile.h"
#include "platform/CPlatformHeadless.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

class CClipNote : public CObject {
    OMBRISALT_REFLECTED(CClipNote, CObject)
public:
    CClipNote() { InitDeclaredProperties(); }
    ~CClipNote() override { DestroyDeclaredProperties(); }
    int32_t m_Count = 0;
    CJString m_Title;
};
OMBRISALT_IMPLEMENT_CLASS(CClipNote, 1.0)
const CTestOnlyClass kClipNoteIsTestOnly("CClipNote");
void CClipNote::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CClipNote::m_Count, "Count", 0);
    d.Add(&CClipNote::m_Title, "Title", "");
}

class CClipOther : public CObject {
    OMBRISALT_REFLECTED(CClipOther, CObject)
public:
    CClipOther() { InitDeclaredProperties(); }
    ~CClipOther() override { DestroyDeclaredProperties(); }
    int32_t m_Count = 0;
};
OMBRISALT_IMPLEMENT_CLASS(CClipOther, 1.0)
const CTestOnlyClass kClipOtherIsTestOnly("CClipOther");
void CClipOther::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CClipOther::m_Count, "Count", 0);
}

namespace {

class Clipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterObjectClasses();
        RegisterClipboardClasses();
        CClipNote::SGetClassInfo();
        CClipOther::SGetClassInfo();
        Board().SetEditingPlayedLevel(false);
    }
    void TearDown() override { Board().SetEditingPlayedLevel(false); }
    static CClipboard& Board() { return CClipboard::SGetInstance(); }
    std::string SystemText()
    {
        std::string text;
        EXPECT_TRUE(m_Platform.GetClipboard().GetText(text));
        return text;
    }
    static std::unique_ptr<CClipNote> Note(int32_t count, const char* title)
    {
        auto note = std::make_unique<CClipNote>();
        note->m_Count = count;
        note->m_Title = title;
        return note;
    }

    plat::CPlatformHeadless m_Platform;
    CScopedPlatform m_Installed{&m_Platform};
};

struct TextCase {
    const char* name;
    std::u16string units; // the text; wide when it needs to be
    bool wide;
    const char* utf8; // what other programs see
    bool comesBackWide;
    const char* narrowed = nullptr; // the 8-bit text it comes back as, when it changes
};

class ClipboardText : public Clipboard, public ::testing::WithParamInterface<TextCase> {};

CJString Make(const TextCase& c)
{
    if (c.wide)
        return CJString(c.units.c_str(), int(c.units.size()));
    std::string narrow;
    for (char16_t unit : c.units)
        narrow += char(unit);
    return CJString(narrow.c_str(), int(narrow.size()));
}

TEST_P(ClipboardText, RoundTripsAndReachesOtherProgramsAsUtf8)
{
    ASSERT_TRUE(Board().SetText(Make(GetParam())));
    const CJString text = GetParam().narrowed ? CJString(GetParam().narrowed) : Make(GetParam());
    EXPECT_EQ(SystemText(), GetParam().utf8);
    // The data as set: the units and their terminating zero.
    const size_t unit = GetParam().wide ? 2 : 1;
    size_t size = 0;
    const uint8_t* data = Board().GetData(GetParam().wide ? kClipboardUnicodeText : kClipboardText, size);
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(size, (GetParam().units.size() + 1) * unit);
    for (size_t i = 1; i <= unit; ++i)
        EXPECT_EQ(data[size - i], 0);
    // Ours, then the same text put there by another program.
    for (bool foreign : {false, true}) {
        if (foreign)
            m_Platform.GetHeadlessClipboard().SetText(GetParam().utf8);
        CJString back;
        ASSERT_TRUE(Board().GetText(back));
        EXPECT_EQ(back.IsWide(), GetParam().comesBackWide);
        ASSERT_EQ(back.GetLength(), text.GetLength());
        for (int i = 0; i < text.GetLength(); ++i)
            EXPECT_EQ(back.GetAt(i), text.GetAt(i)) << i << (foreign ? " foreign" : "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Clipboard, ClipboardText,
    ::testing::Values(TextCase{"Ascii", u"Shop 12", false, "Shop 12", false},
                      // 0x80 is the euro sign in Windows-1252.
                      TextCase{"Windows1252", u"Caf\u00E9 \u0080", false, "Caf\xC3\xA9 \xE2\x82\xAC", false},
                      TextCase{"WideOutsideWindows1252", u"\u4E2D\u6587 \U0001F600", true,
                               "\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80", true},
                      // A wide string that fits comes back as 8 bits, euro included.
                      TextCase{"WideThatFitsNarrows", u"\u20AC\u00E9", true, "\xE2\x82\xAC\xC3\xA9", false, "\x80\xE9"},
                      TextCase{"Empty", u"", false, "", false}),
    [](const ::testing::TestParamInfo<TextCase>& param) { return param.param.name; });

TEST_F(Clipboard, TextFromAnotherProgramPastesAsTextOrAsAWrappedString)
{
    m_Platform.GetHeadlessClipboard().SetText("na\xC3\xAFve");
    CJString text;
    ASSERT_TRUE(Board().GetText(text));
    EXPECT_STREQ(text.GetString(), "na\xEFve");
    EXPECT_EQ(Board().PasteObject(CClipboard::AllowText::No), nullptr);
    std::unique_ptr<CObject> pasted(Board().PasteObject(CClipboard::AllowText::Yes));
    ASSERT_NE(pasted, nullptr);
    ASSERT_TRUE(pasted->IsKindOf(CStringWrappedInAnObject::SGetClassInfo()));
    EXPECT_STREQ(static_cast<CStringWrappedInAnObject*>(pasted.get())->m_String.GetString(), "na\xEFve");
    // A wrapped string goes back out as plain text.
    CStringWrappedInAnObject wrapped;
    wrapped.m_String = "plain";
    ASSERT_TRUE(Board().CopyObject(&wrapped));
    EXPECT_EQ(SystemText(), "plain");
    m_Platform.GetHeadlessClipboard().Clear();
    EXPECT_FALSE(Board().GetText(text));
}

TEST_F(Clipboard, ObjectsCopyAndPasteWithTheirClassChecked)
{
    const auto note = Note(7, "Till");
    ASSERT_TRUE(Board().CopyObject(note.get()));
    // Other programs see the object's text form; this program's text paste does not.
    EXPECT_EQ(SystemText().rfind("CClipNote", 0), 0u);
    CJString text;
    EXPECT_FALSE(Board().GetText(text));
    std::unique_ptr<CObject> pasted(Board().PasteObject(CClipboard::AllowText::No));
    ASSERT_NE(pasted, nullptr);
    EXPECT_TRUE(pasted->IsEqualTo(note.get()));

    CClipNote target;
    ASSERT_TRUE(Board().PasteInto(&target));
    EXPECT_EQ(target.m_Count, 7);
    CClipOther other;
    other.m_Count = 3;
    EXPECT_FALSE(Board().PasteInto(&other));
    EXPECT_EQ(other.m_Count, 3);
    // The load-error name is the clipboard's only while it reads.
    EXPECT_STRNE(GetCurrentLoadFileName().GetString(), "Your Clipboard!!!!!!");
}

TEST_F(Clipboard, DirtyObjectsPasteOnlyInTheDirtyStateAndLaterTextWins)
{
    const auto note = Note(1, "Dirty");
    Board().SetEditingPlayedLevel(true);
    ASSERT_TRUE(Board().CopyObject(note.get()));
    Board().SetEditingPlayedLevel(false);
    EXPECT_EQ(Board().PasteObject(CClipboard::AllowText::No), nullptr);
    Board().SetEditingPlayedLevel(true);
    std::unique_ptr<CObject> pasted(Board().PasteObject(CClipboard::AllowText::No));
    EXPECT_NE(pasted, nullptr);
    // Another program copies text: the kept object no longer counts.
    m_Platform.GetHeadlessClipboard().SetText("later");
    std::unique_ptr<CObject> text(Board().PasteObject(CClipboard::AllowText::Yes));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->IsKindOf(CStringWrappedInAnObject::SGetClassInfo()));
}

TEST_F(Clipboard, ObjectTextFromAnotherProgramPastesAsAnObject)
{
    const auto note = Note(42, "Elsewhere");
    ASSERT_TRUE(Board().CopyObject(note.get()));
    const std::string copied = SystemText();
    // The same text, put there by someone else (another copy of the program).
    m_Platform.GetHeadlessClipboard().SetText("x");
    m_Platform.GetHeadlessClipboard().SetText(copied);
    std::unique_ptr<CObject> pasted(Board().PasteObject(CClipboard::AllowText::No));
    ASSERT_NE(pasted, nullptr);
    EXPECT_TRUE(pasted->IsEqualTo(note.get()));
}

// The largest object the reader takes is copied and comes back; one byte
// more is refused by the copy, which says so, and the clipboard keeps what
// it held.
TEST_F(Clipboard, AnObjectPastTheReadersBoundIsRefusedWhenCopiedWithAWord)
{
    auto note = Note(3, "x");
    uint32_t size = 0;
    std::free(WriteObjectToMemory(note.get(), size));
    const std::string title(kMaxClipboardObjectBytes - (size - 1), 'x');
    note->m_Title = CJString(title.c_str(), int(title.size()));
    ASSERT_TRUE(Board().CopyObject(note.get()));
    std::unique_ptr<CObject> pasted(Board().PasteObject(CClipboard::AllowText::No));
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(static_cast<CClipNote*>(pasted.get())->m_Title.GetLength(), int(title.size()));

    note->m_Title.Append("x");
    note->m_Count = 4;
    EXPECT_FALSE(Board().CopyObject(note.get()));
    ASSERT_EQ(m_Platform.GetMessageBoxes().size(), 1u);
    EXPECT_EQ(m_Platform.GetMessageBoxes()[0].caption, "Cannot Copy");
    EXPECT_NE(m_Platform.GetMessageBoxes()[0].text.find("65 MB"), std::string::npos);
    pasted.reset(Board().PasteObject(CClipboard::AllowText::No));
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(static_cast<CClipNote*>(pasted.get())->m_Count, 3);
}

struct HostileCase {
    const char* name;
    const char* format;
    std::string bytes;
    const char* text; // what GetText reads, or null for nothing
    bool readsAsObject = false;
};

class ClipboardHostile : public Clipboard, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(ClipboardHostile, IsRefusedOrReadWithinItsBounds)
{
    const HostileCase& c = GetParam();
    // A copy of exactly the bytes, so a read past them is caught.
    const auto copy = std::make_unique<uint8_t[]>(c.bytes.size() + 1);
    std::copy(c.bytes.begin(), c.bytes.end(), copy.get());
    ASSERT_TRUE(SetClipboardData(c.format, copy.get(), c.bytes.size()));
    std::unique_ptr<CObject> pasted(Board().PasteObject(CClipboard::AllowText::No));
    EXPECT_EQ(pasted != nullptr, c.readsAsObject);
    CClipNote target;
    target.m_Count = 5;
    EXPECT_FALSE(Board().PasteInto(&target));
    EXPECT_EQ(target.m_Count, 5);
    CJString text;
    EXPECT_EQ(Board().GetText(text), c.text != nullptr);
    if (c.text) {
        EXPECT_STREQ(text.GetString(), c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Clipboard, ClipboardHostile,
    ::testing::Values(
        HostileCase{"TruncatedObject", kClipboardObject, "CClipNote\r\n{\r\n\tCount=", nullptr},
        HostileCase{"UnknownClass", kClipboardObject, "CNoSuchThing\r\n{\r\n}\r\n", nullptr},
        HostileCase{"WrongClassForTarget", kClipboardObject, "CClipOther\r\n{\r\n\tCount=9\r\n}\r\n", nullptr, true},
        HostileCase{"EmptyObject", kClipboardObject, "", nullptr},
        HostileCase{"BinaryGarbage", kClipboardOldObject, std::string("\xFF\x00\x12\x34", 4), nullptr},
        HostileCase{"TextWithoutZero", kClipboardText, "abc", "abc"},
        HostileCase{"UnicodeTextWithoutZeroAndOddLength", kClipboardUnicodeText, std::string("h\0i\0!", 5), "hi"},
        HostileCase{"UnicodeTextStopsAtItsZero", kClipboardUnicodeText, std::string("a\0\0\0b\0", 6), "a"}),
    [](const ::testing::TestParamInfo<HostileCase>& param) { return param.param.name; });

} // namespace

namespace {

// Text another program put on the clipboard that starts like an object: it
// pastes as text, never as a fatal data error that would lose unsaved work.
class ClipboardForeignText : public Clipboard, public ::testing::WithParamInterface<const char*> {};

TEST_P(ClipboardForeignText, PastesAsTextAndNeverEndsTheProgram)
{
    const CScopedThrowingFatal fatal;
    m_Platform.GetHeadlessClipboard().SetText(GetParam());
    CClipNote target;
    target.m_Count = 5;
    EXPECT_FALSE(Board().PasteInto(&target));
    EXPECT_EQ(target.m_Count, 5);
    std::unique_ptr<CObject> pasted(Board().PasteObject(CClipboard::AllowText::Yes));
    auto* wrapped = dynamic_cast<CStringWrappedInAnObject*>(pasted.get());
    ASSERT_NE(wrapped, nullptr);
    EXPECT_STREQ(wrapped->m_String.GetString(), GetParam());
    EXPECT_EQ(std::unique_ptr<CObject>(Board().PasteObject(CClipboard::AllowText::No)), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Clipboard, ClipboardForeignText,
                         ::testing::Values("CClipNote\r\n{\r\n\tCount=3\r\n{\r\n}\r\n}\r\n", "CClipNote\r\n{\r\n{\r\n",
                                           "CClipNote\r\n{\r\n\tTitle=CClipOther\r\n\t{\r\n}\r\n"));

} // namespace
