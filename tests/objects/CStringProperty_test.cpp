#include "TestClasses.h"

#include "foundation/CFile.h"
#include "foundation/CLocalizationTable.h"
#include "foundation/CMemFileBuf.h"
#include "objects/CNetMessageStream.h"

#include "support/TestSupport.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

void OpenReading(CObjectStream& stream, const std::string& bytes)
{
    stream.Attach(CopyOf(bytes), FILE_READ, IdMode::WithoutIds);
}

std::string BinaryOf(CProperty* property, CObject* object)
{
    auto* buffer = new CMemFileBuf();
    CObjectStream stream;
    stream.Attach(buffer, FILE_CREATE | FILE_WRITE, IdMode::WithoutIds);
    property->WriteBinary(object, stream);
    return std::string(reinterpret_cast<const char*>(buffer->GetData()), size_t(buffer->GetSize()));
}

std::unique_ptr<CValueKindsHolder> ReadKindsHolder(const std::string& text)
{
    return std::unique_ptr<CValueKindsHolder>(dynamic_cast<CValueKindsHolder*>(ReadFromText(text, IdMode::WithoutIds)));
}

struct KindCase {
    const char* label;
    const char* property;
    const char* text;    // given to SetValueFromText
    const char* written; // the value as written on the property's line
    const char* binary;  // hex of WriteBinary
};

class ValueKindRoundTrip : public testing::TestWithParam<KindCase> {
protected:
    void SetUp() override { CValueKindsHolder::SGetClassInfo(); }
};

TEST_P(ValueKindRoundTrip, KeepsTheValueInEveryForm)
{
    const KindCase& c = GetParam();
    CProperty* property = HolderProperty(c.property);
    ASSERT_NE(property, nullptr);
    CValueKindsHolder original;
    property->SetValueFromText(&original, CJString(c.text), nullptr);

    CJString value;
    property->GetValueText(&original, value);
    EXPECT_EQ(std::string(value.ToFileForm().GetString()), c.written);

    const std::string text = WriteToText(&original, IdMode::WithoutIds);
    EXPECT_NE(text.find("\t" + std::string(c.property) + "=" + c.written + "\r\n"), std::string::npos) << text;
    auto fromText = ReadKindsHolder(text);
    ASSERT_TRUE(fromText);
    EXPECT_TRUE(fromText->IsEqualTo(&original));

    const std::string binary = BinaryOf(property, &original);
    EXPECT_EQ(Hex(binary.data(), binary.size()), c.binary);
    CValueKindsHolder fromBinary;
    CObjectStream reading;
    OpenReading(reading, binary);
    EXPECT_TRUE(property->ReadBinary(&fromBinary, reading));
    EXPECT_TRUE(property->IsEqual(&fromBinary, &original, property));

    // Packed after a lone bit, so byte-aligned forms must skip to the boundary.
    CNetMessageStream packed;
    packed.WriteBool(true);
    property->WritePacked(&original, packed, nullptr);
    CNetMessageStream unpacking(packed.GetData(), packed.GetLength());
    EXPECT_TRUE(unpacking.ReadBool());
    CValueKindsHolder fromPacked;
    property->ReadPacked(&fromPacked, unpacking);
    EXPECT_TRUE(property->IsEqual(&fromPacked, &original, property));
}

const KindCase kKindCases[] = {
    {"PlainString", "Name", "Gate keeper", "Gate keeper", "0B00000047617465206B6565706572"},
    {"EmptyString", "Name", "", "", "00000000"},
    {"WideString", "Name", "UNICODE-HEX<41002001>", "UNICODE-HEX<41002001>",
     "15000000554E49434F44452D4845583C34313030323030313E"},
    {"TranslatedText", "Title", "Door", "Door", "04000000446F6F72"},
    {"IntegerPoint", "Spot", "12,-3", "12,-3", "0C000000FDFFFFFF"},
    {"IntegerPointLimits", "Spot", "-2147483648,2147483647", "-2147483648,2147483647", "00000080FFFFFF7F"},
    {"FloatPointWidened", "Place", "0.1,2", "0.10000000149,2", "CDCCCC3D00000040"},
    {"FloatPointLarge", "Place", "-1.5,1e30", "-1.5,1.00000001505e+30", "0000C0BFCAF24971"},
};

INSTANTIATE_TEST_SUITE_P(Kinds, ValueKindRoundTrip, testing::ValuesIn(kKindCases),
                         [](const testing::TestParamInfo<KindCase>& caseInfo) {
                             return std::string(caseInfo.param.label);
                         });

class StringProperty : public testing::Test {
protected:
    void SetUp() override { CValueKindsHolder::SGetClassInfo(); }
};

TEST_F(StringProperty, LineFeedsGoIntoABlockAtTheLeftMargin)
{
    CValueKindsHolder original;
    original.m_Name = "first\n\tsecond\n";
    const std::string text = WriteToText(&original, IdMode::WithoutIds);
    EXPECT_NE(text.find("\tName=multi-line\r\n\t{\r\nfirst\n\tsecond\n\r\n\t}\r\n\tTitle="), std::string::npos) << text;
    auto copy = ReadKindsHolder(text);
    ASSERT_TRUE(copy);
    EXPECT_STREQ(copy->m_Name.GetString(), "first\n\tsecond\n");

    // A one-line text that reads as the opener must not swallow what follows.
    original.m_Name = "Multi-Line";
    original.m_Spot = CPoint{4, 5};
    copy = ReadKindsHolder(WriteToText(&original, IdMode::WithoutIds));
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->IsEqualTo(&original));
}

TEST_F(StringProperty, BlockEndsAtATrimmedBraceOrTheEndOfTheFile)
{
    auto copy = ReadKindsHolder("CValueKindsHolder\r\n{\r\n\tName=MULTI-LINE\r\n\t{\r\nline one\r\n\r\n  line three\r\n"
                                " \t}\t\r\n\tSpot=1,2\r\n}\r\n");
    ASSERT_TRUE(copy);
    EXPECT_STREQ(copy->m_Name.GetString(), "line one\n\n  line three");
    EXPECT_EQ(copy->m_Spot, (CPoint{1, 2}));

    CValueKindsHolder holder;
    CObjectStream stream;
    OpenReading(stream, "{\r\nrest\r\nof file");
    HolderProperty("Name")->SetValueFromText(&holder, CJString("multi-line"), &stream);
    EXPECT_STREQ(holder.m_Name.GetString(), "rest\nof file");

    // Past what a string holds the text is cut for good: no shorter line
    // after the cut joins it.
    std::string bytes = "{\r\na\r\n";
    bytes.reserve(bytes.size() + kMaxStringLength + 16);
    bytes.append(kMaxStringLength - 1, 'x');
    bytes += "\r\nc\r\n}\r\n";
    CObjectStream huge;
    huge.Attach(CMemFileBuf::Wrap(reinterpret_cast<uint8_t*>(bytes.data()), uint32_t(bytes.size())), FILE_READ,
                IdMode::WithoutIds);
    testing::internal::CaptureStderr();
    HolderProperty("Name")->SetValueFromText(&holder, CJString("multi-line"), &huge);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_STREQ(holder.m_Name.GetString(), "a");
    EXPECT_NE(said.find("a text longer than any string may be; cut at 1 characters"), std::string::npos) << said;
}

// Whatever a field holds comes back from the file as it was: a line that is
// just "}" would close the block, a carriage return would end the line, and
// what follows would read as defaults; the hex form's own marker would be
// decoded.
TEST_F(StringProperty, EveryTextAFieldHoldsReadsBackWithWhatFollowsIt)
{
    const char* const texts[] = {"Build here.\n}\nThen the next lot.",
                                 " \t}  \nsecond",
                                 "Harbour\rRow",
                                 "a\r\nb",
                                 "\t tabbed and spaced \t",
                                 "\x80 \xE9\n}",
                                 "multi-line\n}",
                                 "}",
                                 "Type UNICODE-HEX<4100> to see an A"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        CValueKindsHolder original;
        original.m_Name = text;
        original.m_Title.m_Text = text;
        original.m_Spot = CPoint{3, 40};
        const std::string written = WriteToText(&original, IdMode::WithoutIds);
        auto copy = ReadKindsHolder(written);
        ASSERT_TRUE(copy) << written;
        EXPECT_FALSE(copy->m_Name.IsWide()) << "an 8-bit text stays 8-bit: its bytes keep their meaning";
        EXPECT_STREQ(copy->m_Name.GetString(), text) << written;
        EXPECT_STREQ(copy->m_Title.GetText().GetString(), text);
        EXPECT_EQ(copy->m_Spot, (CPoint{3, 40})) << "the values after the text are read";
        EXPECT_EQ(WriteToText(copy.get(), IdMode::WithoutIds), written);
        CValueKindsHolder fromBinary;
        CObjectStream reading;
        OpenReading(reading, BinaryOf(HolderProperty("Name"), &original));
        ASSERT_TRUE(HolderProperty("Name")->ReadBinary(&fromBinary, reading));
        EXPECT_STREQ(fromBinary.m_Name.GetString(), text) << "and from the binary form";
    }
}

TEST_F(StringProperty, CountedLengthPastTheFileIsRefused)
{
    CValueKindsHolder holder;
    holder.m_Name = "kept";
    CObjectStream stream;
    OpenReading(stream,
                std::string("\x05\x00\x00\x00"
                            "abcd",
                            8));
    EXPECT_FALSE(HolderProperty("Name")->ReadBinary(&holder, stream));
    EXPECT_STREQ(holder.m_Name.GetString(), "kept");
}

// The program's table holds two translations while a test runs.
class TranslatedText : public StringProperty {
protected:
    void SetUp() override
    {
        StringProperty::SetUp();
        Load("ENGLISH: Door[END]\r\nLOCALIZED: Porte[END]\r\nENGLISH: Gate[END]\r\nLOCALIZED: Portail[END]\r\n");
        GetLocalizationTable().SetLoaded(true);
    }
    void TearDown() override
    {
        Load("");
        GetLocalizationTable().SetLoaded(false);
    }
    static void Load(const std::string& text)
    {
        CFile file;
        ASSERT_TRUE(file.AttachFileBuf(CopyOf(text), FILE_READ));
        GetLocalizationTable().ReadEntries(file);
    }
};

TEST_F(TranslatedText, EveryStoreLooksTheTextUp)
{
    CProperty* title = HolderProperty("Title");
    CValueKindsHolder holder;
    title->SetValueFromText(&holder, CJString("Door"), nullptr);
    EXPECT_STREQ(holder.m_Title.GetTranslation().GetString(), "Porte");

    auto copy = ReadKindsHolder(WriteToText(&holder, IdMode::WithoutIds));
    ASSERT_TRUE(copy);
    EXPECT_STREQ(copy->m_Title.GetText().GetString(), "Door");
    EXPECT_STREQ(copy->m_Title.GetTranslation().GetString(), "Porte");

    CValueKindsHolder other;
    other.m_Title.m_Text = "Gate"; // no refresh yet
    title->CopyValue(&holder, &other, title);
    EXPECT_STREQ(holder.m_Title.GetTranslation().GetString(), "Portail");

    CObjectStream stream;
    OpenReading(stream, BinaryOf(title, copy.get()));
    EXPECT_TRUE(title->ReadBinary(&holder, stream));
    EXPECT_STREQ(holder.m_Title.GetTranslation().GetString(), "Porte");

    CNetMessageStream packed;
    title->WritePacked(&other, packed, nullptr);
    packed.RewindForReading();
    title->ReadPacked(&holder, packed);
    EXPECT_STREQ(holder.m_Title.GetTranslation().GetString(), "Portail");
}

} // namespace
