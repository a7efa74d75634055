#include "blit/CColorProperty.h"

#include "foundation/CMemFileBuf.h"
#include "objects/CNetMessageStream.h"
#include "objects/CObject.h"
#include "objects/CObjectStream.h"

#include "support/TestSupport.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

class CColorHolder : public CObject {
    OMBRISALT_REFLECTED(CColorHolder, CObject)
public:
    CColorHolder() { InitDeclaredProperties(); }
    ~CColorHolder() override { DestroyDeclaredProperties(); }
    CColor m_Plain;
    CColor m_Tint;
};

OMBRISALT_IMPLEMENT_CLASS(CColorHolder, 1)

void CColorHolder::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CColorHolder::m_Plain, "Plain", CColor(1, 2, 3, 255));
    d.Add(&CColorHolder::m_Tint, "Tint", CColor(4, 5, 6, 7)).WithAlpha();
}

CProperty* ColorProperty(const char* name)
{
    return CColorHolder::SGetClassInfo()->FindProperty(name);
}

struct ColorCase {
    const char* label;
    const char* property;
    const char* text;    // given to SetValueFromText
    const char* written; // the value on the property's line
    const char* binary;  // hex of WriteBinary
    const char* packed;  // hex of WritePacked
};

class ColorRoundTrip : public testing::TestWithParam<ColorCase> {};

TEST_P(ColorRoundTrip, KeepsTheColourInEveryForm)
{
    const ColorCase& c = GetParam();
    CProperty* property = ColorProperty(c.property);
    CColorHolder original;
    property->SetValueFromText(&original, CJString(c.text), nullptr);
    CJString value;
    property->GetValueText(&original, value);
    EXPECT_STREQ(value.GetString(), c.written);
    CColorHolder fromText;
    property->SetValueFromText(&fromText, value, nullptr);

    auto* buffer = new CMemFileBuf();
    CObjectStream writing;
    writing.Attach(buffer, FILE_CREATE | FILE_WRITE, IdMode::WithoutIds);
    property->WriteBinary(&original, writing);
    EXPECT_EQ(Hex(buffer->GetData(), size_t(buffer->GetSize())), c.binary);
    CColorHolder fromBinary;
    CObjectStream reading;
    auto* copy = static_cast<uint8_t*>(std::malloc(size_t(buffer->GetSize()) + 1));
    std::memcpy(copy, buffer->GetData(), size_t(buffer->GetSize()));
    reading.Attach(CMemFileBuf::Adopt(copy, uint32_t(buffer->GetSize())), FILE_READ, IdMode::WithoutIds);
    EXPECT_TRUE(property->ReadBinary(&fromBinary, reading));

    CNetMessageStream packed;
    property->WritePacked(&original, packed, nullptr);
    EXPECT_EQ(Hex(packed.GetData(), packed.GetLength()), c.packed);
    CColorHolder fromPacked;
    property->ReadPacked(&fromPacked, packed);

    for (CColorHolder* read : {&fromText, &fromBinary, &fromPacked}) {
        property->GetValueText(read, value);
        EXPECT_STREQ(value.GetString(), c.written);
    }
}

const ColorCase kColorCases[] = {
    {"ThreeComponents", "Plain", "255,128,0", "255,128,0", "0080FF", "FF8000"},
    {"AlphaIgnoredWithoutAlpha", "Plain", "10,20,30,40", "10,20,30", "1E140A", "0A141E"},
    {"FourComponents", "Tint", "255,128,0,64", "255,128,0,64", "0080FF40", "FF800040"},
    {"MissingAlphaIsOpaque", "Tint", "10,20,30", "10,20,30,255", "1E140AFF", "0A141EFF"},
    {"OutOfRangeIsClamped", "Plain", "300,-5,7", "255,0,7", "0700FF", "FF0007"},
    {"ShortTextKeepsTheRest", "Plain", "9,8", "9,8,3", "030809", "090803"},
    {"NoNumbersKeepsAll", "Tint", "red", "4,5,6,255", "060504FF", "040506FF"},
};

INSTANTIATE_TEST_SUITE_P(Colors, ColorRoundTrip, testing::ValuesIn(kColorCases),
                         [](const testing::TestParamInfo<ColorCase>& caseInfo) {
                             return std::string(caseInfo.param.label);
                         });

TEST(ColorProperty, EqualityIgnoresAlphaAndEveryColourIsWritten)
{
    CProperty* plain = ColorProperty("Plain");
    CColorHolder a;
    CColorHolder b;
    EXPECT_EQ(a.m_Plain.GetFlags() & CColor::kStandardColor, 0u); // matched in the current palette
    b.m_Plain.Set(1, 2, 3, 0);
    EXPECT_TRUE(plain->IsEqual(&a, &b, plain));
    b.m_Plain.Set(1, 2, 4, 255);
    EXPECT_FALSE(plain->IsEqual(&a, &b, plain));
    EXPECT_FALSE(plain->IsDefault(&a));
}

} // namespace
