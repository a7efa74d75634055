#include "ExpressionSupport.h"

#include "game/scripting/RegisterGameScriptingClasses.h"
#include "support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class ExpressionText : public testing::Test {
protected:
    void SetUp() override { RegisterGameScriptingClasses(); }

    // A subtraction whose Operand A line is given, Operand B left at its default.
    static std::unique_ptr<CExpressionSubtract> ReadWithOperandA(const std::string& line)
    {
        const std::string text = "CExpressionSubtract\r\n{\r\n\tOperand A=" + line + "\r\n}\r\n";
        CObject* object = ObjectFromText(text, IdMode::WithoutIds, StreamReports::Quiet);
        return std::unique_ptr<CExpressionSubtract>(dynamic_cast<CExpressionSubtract*>(object));
    }
};

TEST_F(ExpressionText, ShorthandGivesNumbersAndTexts)
{
    auto number = ReadWithOperandA("1e3");
    ASSERT_NE(number, nullptr);
    auto* value = dynamic_cast<CExpressionNumber*>(number->m_OperandA);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->m_Value, 1000.0f);
    // Words that the C library would read as numbers stay texts.
    for (const char* word : {"Hello", "nan", "inf", "0x10", "1e", "Object"}) {
        auto read = ReadWithOperandA(word);
        ASSERT_NE(read, nullptr) << word;
        auto* text = dynamic_cast<CExpressionScriptingText*>(read->m_OperandA);
        ASSERT_NE(text, nullptr) << word;
        EXPECT_STREQ(text->m_Text.GetString(), word);
    }
    // A default number operand is there without a line.
    auto* b = dynamic_cast<CExpressionNumber*>(number->m_OperandB);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->m_Value, 0.0f);
}

TEST_F(ExpressionText, ClassNamesReadEmbeddedObjectsAndOldNamesTranslate)
{
    const std::string text = "CExpressionNot\r\n{\r\n\tOperand=CExpressionAdd\r\n\t{\r\n\t\tOperand A=2\r\n"
                             "\t\tOperand B=3\r\n\t}\r\n}\r\n";
    std::unique_ptr<CObject> object(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Quiet));
    auto* negation = dynamic_cast<CExpressionNot*>(object.get());
    ASSERT_NE(negation, nullptr);
    ASSERT_NE(dynamic_cast<CExpressionAdd*>(negation->m_Operand), nullptr);
    EXPECT_EQ(Describe(negation->m_Operand), "(2+3)");

    const std::pair<const char*, CClassInfo*> old[] = {
        {"< Less Than", CExpressionIfLessThan::SGetClassInfo()},
        {"<= Less Than or Equal to", CExpressionIfLessThanOrEqualTo::SGetClassInfo()},
        {"> Greater Than", CExpressionIfGreaterThan::SGetClassInfo()},
        {">= Greater Than or Equal to", CExpressionIfGreaterThanOrEqualTo::SGetClassInfo()},
        {"== Equal", CExpressionIfEqualTo::SGetClassInfo()},
        {"!= Not Equal", CExpressionIfNotEqualTo::SGetClassInfo()},
    };
    for (const auto& [name, info] : old) {
        auto read = ReadWithOperandA(std::string(name) + "\r\n\t{\r\n\t\tOperand A=1\r\n\t\tOperand B=2\r\n\t}");
        ASSERT_NE(read, nullptr) << name;
        ASSERT_NE(read->m_OperandA, nullptr) << name;
        EXPECT_EQ(read->m_OperandA->GetClassInfo(), info) << name;
    }
}

TEST_F(ExpressionText, NumbersAreWrittenBareAndReadBackExactly)
{
    for (float v : {5.0f, 1234567.0f, 0.1234567f, -0.5f, 16777216.0f}) {
        std::unique_ptr<CExpressionSubtract> source(Binary<CExpressionSubtract>(Number(v), Text("word")));
        const std::string text = ObjectToText(source.get(), IdMode::WithoutIds);
        EXPECT_NE(text.find("Operand A=" + std::string(FormatFloatExactly(v).GetString()) + "\r\n"), std::string::npos)
            << text;
        std::unique_ptr<CObject> back(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Quiet));
        ASSERT_NE(back, nullptr);
        EXPECT_TRUE(back->IsEqualTo(source.get())) << text;
        // The operator label is for the editor only.
        EXPECT_EQ(text.find("Operator"), std::string::npos);
    }
    std::unique_ptr<CExpressionSubtract> plain(Binary<CExpressionSubtract>(Number(0.5f), nullptr));
    EXPECT_NE(ObjectToText(plain.get(), IdMode::WithoutIds).find("Operand A=0.5\r\n"), std::string::npos);
}

TEST_F(ExpressionText, ObjectsRoundTripInBinary)
{
    std::unique_ptr<CExpression> source;
    auto* choice = new CExpressionIfThen();
    choice->m_Condition = Binary<CExpressionIfLessThan>(Integer(1), Number(2.5f));
    choice->m_IfTrue = Text("yes");
    source.reset(choice);
    CExpressionIfThen back;
    ASSERT_TRUE(ObjectFromBinary(back, ObjectToBinary(source.get(), IdMode::WithoutIds), IdMode::WithoutIds,
                                 StreamReports::Quiet));
    EXPECT_TRUE(back.IsEqualTo(source.get()));
    CScriptValue out;
    back.Evaluate(nullptr, out);
    EXPECT_STREQ(out.GetText().GetString(), "yes");
}

TEST_F(ExpressionText, LabelsAreCutAtTheFirstBlank)
{
    std::unique_ptr<CExpressionBinaryOperator> append(Binary<CExpressionAppendText>(Text("a"), Text("b")));
    EXPECT_STREQ(append->GetOperatorSymbol().GetString(), "Append");
    std::unique_ptr<CExpressionBinaryOperator> concatenate(Binary<CExpressionConcatenate>(nullptr, Number(1)));
    EXPECT_EQ(Describe(concatenate.get()), "(+1)");
    std::unique_ptr<CExpressionBinaryOperator> nested(
        Binary<CExpressionDivide>(Binary<CExpressionAdd>(Number(1), Number(2.5f)), Number(1234567.0f)));
    EXPECT_EQ(Describe(nested.get()), "((1+2.5)/1.2346e+06)");
}

} // namespace
