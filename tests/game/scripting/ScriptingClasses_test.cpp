// Every class the scripting library registers, with its computed version. A
// property added to or dropped from a class changes its version, and saved
// binary data of the old version then loads as defaults: a change here must
// be deliberate. Until the program's one registration call reaches this
// layer, the program-wide table cannot hold them.
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "objects/CClassInfo.h"
#include "objects/CObject.h"
#include "support/RegisteredClassCheck.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct ScriptingClass {
    const char* name;
    float version;
};

const ScriptingClass kScriptingClasses[] = {
    {"CExpression", 22.0f},
    {"CExpressionNumber", 74.0f},
    {"CExpressionScriptingText", 74.0f},
    {"CExpressionBinaryOperator", 88.0f},
    {"CExpressionIfLessThan", 265.0f},
    {"CExpressionIfLessThanOrEqualTo", 265.0f},
    {"CExpressionIfGreaterThan", 265.0f},
    {"CExpressionIfGreaterThanOrEqualTo", 265.0f},
    {"CExpressionIfEqualTo", 265.0f},
    {"CExpressionIfNotEqualTo", 265.0f},
    {"CExpressionIfBetweenInclusive", 88.0f},
    {"CExpressionNot", 74.0f},
    {"CExpressionAnd", 265.0f},
    {"CExpressionOr", 265.0f},
    {"CExpressionIfThen", 88.0f},
    {"CExpressionAdd", 265.0f},
    {"CExpressionSubtract", 265.0f},
    {"CExpressionMultiply", 265.0f},
    {"CExpressionDivide", 265.0f},
    {"CExpressionModulo", 265.0f},
    {"CExpressionConcatenate", 265.0f},
    {"CExpressionRandomInteger", 81.0f},
    {"CExpressionRandomFloat", 81.0f},
    {"CExpressionMin", 74.0f},
    {"CExpressionMax", 74.0f},
    {"CExpressionScale", 109.0f},
    {"CExpressionAsOffsetAngle0to360", 81.0f},
    {"CExpressionGetInteger", 74.0f},
    {"CExpressionAsRomanNumerals", 74.0f},
    {"CExpressionDisplayableText", 74.0f},
    {"CExpressionCountTextCharacters", 74.0f},
    {"CExpressionAsciiValue", 74.0f},
    {"CExpressionAppendText", 265.0f},
    {"CExpressionPartOfText", 88.0f},
    {"CAudio", 21.0f},
    {"CAudioSound", 70.0f},
    {"CAudioAdjustFrequency", 77.0f},
    {"CAudioRandomFrequency", 84.0f},
    {"CAudioAdjustVolume", 77.0f},
    {"CAudioRandomVolume", 84.0f},
    {"CAudioSet", 70.0f},
    {"CAudioSeriesFromSet", 217.0f},
    {"CAudioShuffledFromSet", 651.0f},
    {"CAudioRandomFromSet", 210.0f},
};

class EveryScriptingClass : public testing::TestWithParam<ScriptingClass> {
protected:
    void SetUp() override { RegisterGameScriptingClasses(); }
};

TEST_P(EveryScriptingClass, HasItsCheckedInVersionAndRoundTrips)
{
    CClassInfo* info = CClassInfoList::SGetInstance().Find(GetParam().name);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetVersion(), GetParam().version);
    ExpectMadeAtDefaultsAndTravelsUnchanged(GetParam().name);
}

TEST(ScriptingClasses, EveryRegisteredOneIsInTheTable)
{
    RegisterGameScriptingClasses();
    CClassInfoList& registry = CClassInfoList::SGetInstance();
    for (int32_t i = 0; i < registry.GetCount(); ++i) {
        const std::string name = registry.GetAt(i)->GetName();
        if (name.rfind("CExpression", 0) != 0 && name.rfind("CAudio", 0) != 0)
            continue;
        bool listed = false;
        for (const ScriptingClass& entry : kScriptingClasses)
            listed = listed || name == entry.name;
        EXPECT_TRUE(listed) << name << " is registered but missing from the version table";
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EveryScriptingClass, testing::ValuesIn(kScriptingClasses),
                         [](const testing::TestParamInfo<ScriptingClass>& param) {
                             return std::string(param.param.name);
                         });

} // namespace
