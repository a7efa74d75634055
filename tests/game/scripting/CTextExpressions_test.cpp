#include "ExpressionSupport.h"

#include "game/scripting/RegisterGameScriptingClasses.h"
#include "objects/CClassInfo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class TextExpressions : public testing::Test {
protected:
    void SetUp() override { RegisterGameScriptingClasses(); }

    static CScriptValue Run(CExpression* expression)
    {
        std::unique_ptr<CExpression> owned(expression);
        CScriptValue out;
        owned->Evaluate(nullptr, out);
        return out;
    }
    // Part of "abcdef"; a null count expression is removed.
    static std::string Part(CExpression* skip, CExpression* include, const char* text = "abcdef")
    {
        auto* part = new CExpressionPartOfText();
        part->m_Text = Text(text);
        delete part->m_Skip;
        delete part->m_Include;
        part->m_Skip = skip;
        part->m_Include = include;
        return Run(part).GetText().GetString();
    }
};

TEST_F(TextExpressions, PartOfTextClampsSkipAndCount)
{
    EXPECT_EQ(Part(Number(2), Number(3)), "cde");
    EXPECT_EQ(Part(Number(10), Number(3)), "");
    EXPECT_EQ(Part(Number(-5), Number(2)), "ab");
    EXPECT_EQ(Part(Number(1), Number(-1)), "");
    EXPECT_EQ(Part(nullptr, nullptr), "abcdef");
    EXPECT_EQ(Part(Number(4), Number(1e9f)), "ef");
    EXPECT_EQ(Part(Text("2"), Integer(2)), "cd");
    // Defaults: skip 0, include 999.
    auto* defaults = new CExpressionPartOfText();
    defaults->m_Text = Text("xyz");
    EXPECT_STREQ(Run(defaults).GetText().GetString(), "xyz");
    CScriptValue none = Run(new CExpressionPartOfText());
    EXPECT_EQ(none.GetType(), CScriptValue::kInteger);
    EXPECT_EQ(none.AsInteger(), 0);
}

TEST_F(TextExpressions, CountsAndCodesUseTheTextForm)
{
    auto* count = new CExpressionCountTextCharacters();
    count->m_Operand = Number(2.5f);
    EXPECT_EQ(Run(count).AsInteger(), 3);
    auto* countInteger = new CExpressionCountTextCharacters();
    countInteger->m_Operand = Integer(120);
    EXPECT_EQ(Run(countInteger).AsInteger(), 3);
    EXPECT_EQ(Run(new CExpressionCountTextCharacters()).AsInteger(), 0);

    auto* letter = new CExpressionAsciiValue();
    letter->m_Text = Text("A");
    EXPECT_EQ(Run(letter).AsInteger(), 65);
    EXPECT_EQ(Run(new CExpressionAsciiValue()).AsInteger(), 0);
    auto* wide = new CExpressionAsciiValue();
    wide->m_Text = Text("x");
    static_cast<CExpressionScriptingText*>(wide->m_Text)->m_Text = CJString(u"\u20ACuro");
    EXPECT_EQ(Run(wide).AsInteger(), 0x20AC);
    auto* high = new CExpressionAsciiValue();
    high->m_Text = Text("\xE9t\xE9"); // 8-bit text: the byte's code, not a negative char
    EXPECT_EQ(Run(high).AsInteger(), 0xE9);
}

TEST_F(TextExpressions, AppendNeedsBothOperands)
{
    CScriptValue joined = Run(Binary<CExpressionAppendText>(Text("ab"), Integer(7)));
    EXPECT_EQ(joined.GetType(), CScriptValue::kText);
    EXPECT_STREQ(joined.GetText().GetString(), "ab7");
    CScriptValue missing = Run(Binary<CExpressionAppendText>(Text("ab"), nullptr));
    EXPECT_EQ(missing.GetType(), CScriptValue::kInteger);
    EXPECT_STREQ(missing.GetText().GetString(), "0");
}

TEST_F(TextExpressions, DisplayableTextDescribesTheWrittenText)
{
    auto* shown = new CExpressionDisplayableText();
    shown->m_Text.SetText("Welcome");
    EXPECT_EQ(Describe(shown), "\"Welcome\"");
    EXPECT_STREQ(Run(shown).GetText().GetString(), "Welcome");
}

// What scripts meet at the edges: a short text cut past its end, the code of
// an 8-bit character as the byte (0 to 255, never negative nor the character
// it stands for in another code page), descriptions, and blocks of each class
// made and freed through its class record.
TEST_F(TextExpressions, ShortTextsEightBitCodesDescriptionsAndArrays)
{
    EXPECT_EQ(Part(Number(1), Number(5), "abc"), "bc");
    EXPECT_EQ(Part(Number(5), Number(1), "abc"), "");
    EXPECT_EQ(Part(Number(0), Number(-1), "abc"), "");
    EXPECT_EQ(Part(Number(3), nullptr, "abc"), "");
    EXPECT_EQ(Part(nullptr, Number(0), ""), "");

    for (const char* byte : {"\x80", "\xFF", "\x01"}) {
        auto* code = new CExpressionAsciiValue();
        code->m_Text = Text(byte);
        EXPECT_EQ(Run(code).AsInteger(), int32_t(uint8_t(byte[0])));
    }

    std::unique_ptr<CExpression> joined(Binary<CExpressionAppendText>(Text("ab"), Number(7)));
    EXPECT_EQ(Describe(joined.get()), "('ab'Append7)");
    std::unique_ptr<CExpression> half(Binary<CExpressionAppendText>(nullptr, Number(7)));
    EXPECT_EQ(Describe(half.get()), "(Append7)");

    for (CClassInfo* info :
         {CExpressionDisplayableText::SGetClassInfo(), CExpressionCountTextCharacters::SGetClassInfo(),
          CExpressionAsciiValue::SGetClassInfo(), CExpressionAppendText::SGetClassInfo(),
          CExpressionPartOfText::SGetClassInfo()}) {
        CObject* block = info->CreateArray(3, 0);
        ASSERT_NE(block, nullptr) << info->GetName();
        EXPECT_EQ(block->GetClassInfo(), info);
        info->DeleteArray(block);
    }
}

} // namespace
