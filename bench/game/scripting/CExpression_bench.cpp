// A frame's worth of script conditions: 1,000 evaluations of one 24-node
// expression that compares, computes and takes texts apart. The budget is
// 0.5 ms per iteration (3% of a frame at 60 fps).
#include "game/scripting/CExpression.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

const char* const kExpression = "CExpressionIfThen\r\n{\r\n"
                                "Condition=CExpressionAnd\r\n{\r\n"
                                "Operand A=CExpressionIfLessThan\r\n{\r\n"
                                "Operand A=CExpressionAdd\r\n{\r\nOperand A=1.5\r\nOperand B=2\r\n}\r\n"
                                "Operand B=100\r\n}\r\n"
                                "Operand B=CExpressionIfEqualTo\r\n{\r\n"
                                "Operand A=CExpressionPartOfText\r\n{\r\nText=abcdef\r\n"
                                "Number Of Characters To Skip=1\r\nNumber Of Characters To Include=3\r\n}\r\n"
                                "Operand B=BCD\r\n}\r\n}\r\n"
                                "If True=CExpressionConcatenate\r\n{\r\n"
                                "Operand A=CExpressionMultiply\r\n{\r\n"
                                "Operand A=CExpressionGetInteger\r\n{\r\nExpression=CExpressionNumber\r\n{\r\n"
                                "Value=7\r\n}\r\n}\r\nOperand B=3\r\n}\r\n"
                                "Operand B=x\r\n}\r\n"
                                "If False=CExpressionDivide\r\n{\r\n"
                                "Operand A=CExpressionSubtract\r\n{\r\nOperand A=10\r\nOperand B=4\r\n}\r\n"
                                "Operand B=2\r\n}\r\n}\r\n";

void BM_ExpressionFrame(benchmark::State& state)
{
    RegisterGameScriptingClasses();
    std::unique_ptr<CObject> object(ObjectFromText(std::string(kExpression), IdMode::WithoutIds, StreamReports::Quiet));
    auto* expression = dynamic_cast<CExpression*>(object.get());
    if (!expression) {
        state.SkipWithError("the expression did not read");
        return;
    }
    CScriptValue value;
    expression->Evaluate(nullptr, value);
    if (std::string(value.GetText().GetString()) != "21x") {
        state.SkipWithError("the expression evaluates wrongly");
        return;
    }
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            expression->Evaluate(nullptr, value);
            benchmark::DoNotOptimize(value);
        }
    }
}
BENCHMARK(BM_ExpressionFrame)->Unit(benchmark::kMicrosecond);

} // namespace
