#include "PlugInTestSupport.h"

#include "game/scripting/CSpriteVariables.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "support/ScopedHooks.h"
#include "support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class Variables : public ::testing::Test {
protected:
    void SetUp() override { RegisterGameScriptingClasses(); }

    static CScriptValue Integer(int32_t v)
    {
        CScriptValue value;
        value.SetInteger(v);
        return value;
    }
    static CScriptValue Text(const char* v)
    {
        CScriptValue value;
        value.SetText(v);
        return value;
    }
    static CExpressionNumber* Number(float v)
    {
        auto* number = new CExpressionNumber();
        number->m_Value = v;
        return number;
    }
    // Reads a variable as a script of the sprite would.
    static CScriptValue Read(CSprite* sprite, const char* name)
    {
        CExpressionLocalVariable expression;
        expression.m_VariableName = name;
        CSpriteScriptContext context(sprite, nullptr);
        CScriptValue out;
        expression.Evaluate(&context, out);
        return out;
    }
    static bool Step(CSpritePlugIn& plugIn)
    {
        CPlugInUpdateRecord record;
        plugIn.Update(record);
        return record.done;
    }
};

TEST_F(Variables, NamesAreCaseBlindAndValuesKeepTheirType)
{
    CSprite sprite;
    EXPECT_EQ(GetLocalVariables(&sprite, MissingSet::Leave), nullptr);
    CScriptValue out = Integer(9);
    EXPECT_FALSE(GetVariable(&sprite, "Score", out));
    EXPECT_EQ(out.GetType(), uint32_t(CScriptValue::kText));
    EXPECT_STREQ(out.GetText().GetString(), "");

    SetSpriteVariable(&sprite, "Score", Integer(5));
    SetSpriteVariable(&sprite, "score", Integer(7));
    CScriptValue ratio;
    ratio.SetFloat(2.5f);
    SetSpriteVariable(&sprite, "Ratio", ratio);
    SetSpriteVariable(&sprite, "Label", Text("12 apples"));
    ASSERT_NE(GetLocalVariables(&sprite, MissingSet::Leave), nullptr);
    EXPECT_EQ(GetLocalVariables(&sprite, MissingSet::Leave)->m_LocalVariables.GetCount(), 3u);

    out = Read(&sprite, "SCORE");
    EXPECT_EQ(out.GetType(), uint32_t(CScriptValue::kInteger));
    EXPECT_EQ(out.AsInteger(), 7);
    out = Read(&sprite, "ratio");
    EXPECT_EQ(out.GetType(), uint32_t(CScriptValue::kFloat));
    EXPECT_EQ(out.AsFloat(), 2.5f);
    out = Read(&sprite, "Label");
    EXPECT_EQ(out.GetType(), uint32_t(CScriptValue::kText));
    EXPECT_STREQ(out.GetText().GetString(), "12 apples");
    // Without a sprite, or of another sprite without variables: the empty text.
    EXPECT_STREQ(Read(nullptr, "Score").GetText().GetString(), "");
    CSprite other;
    EXPECT_STREQ(Read(&other, "Score").GetText().GetString(), "");
    EXPECT_EQ(GetLocalVariables(&other, MissingSet::Leave), nullptr);

    CJString description;
    GetLocalVariables(&sprite, MissingSet::Leave)->m_LocalVariables[0]->GetDescription(description);
    EXPECT_STREQ(description.GetString(), "Score = 7 (Integer)");
}

TEST_F(Variables, AreSavedLoadedAndCopiedWithTheSprite)
{
    CSprite sprite;
    SetSpriteVariable(&sprite, "Lives", Integer(3));
    SetSpriteVariable(&sprite, "Greeting", Text("Hello there"));
    const std::string text = ObjectToText(&sprite, IdMode::WithoutIds);
    EXPECT_NE(text.find("Local Variables=CLocalVariables"), std::string::npos) << text;
    EXPECT_NE(text.find("Type=Integer"), std::string::npos) << text;

    std::unique_ptr<CObject> read(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Fatal));
    ASSERT_NE(read, nullptr);
    auto* loaded = static_cast<CSprite*>(read.get());
    EXPECT_EQ(Read(loaded, "lives").GetType(), uint32_t(CScriptValue::kInteger));
    EXPECT_EQ(Read(loaded, "lives").AsInteger(), 3);
    EXPECT_STREQ(Read(loaded, "greeting").GetText().GetString(), "Hello there");

    CSprite fromBinary;
    ASSERT_TRUE(ObjectFromBinary(fromBinary, ObjectToBinary(&sprite, IdMode::WithoutIds), IdMode::WithoutIds,
                                 StreamReports::Fatal));
    EXPECT_EQ(Read(&fromBinary, "Lives").AsInteger(), 3);

    // A copy has its own set.
    std::unique_ptr<CObject> copy(sprite.Clone());
    SetSpriteVariable(static_cast<CSprite*>(copy.get()), "Lives", Integer(0));
    EXPECT_EQ(Read(&sprite, "Lives").AsInteger(), 3);
    // A sprite without variables writes none.
    CSprite plain;
    EXPECT_EQ(ObjectToText(&plain, IdMode::WithoutIds).find("Local Variables"), std::string::npos);
}

TEST_F(Variables, ForeignReadsFindTheNamedSpriteOrTheirOwnForThis)
{
    CFakePlayfieldHooks playfield;
    CScopedHook<&SetScriptingHooks> hooks(&playfield);
    CSprite own;
    own.SetName("Own");
    CSprite chimney;
    chimney.SetName("Chimney");
    CSprite second;
    second.SetName("chimney");
    playfield.m_Sprites = {&own, &chimney, &second};
    SetSpriteVariable(&own, "Smoke", Integer(1));
    SetSpriteVariable(&chimney, "Smoke", Integer(2));
    SetSpriteVariable(&second, "Smoke", Integer(3));

    CExpressionForeignVariable foreign; // name expression "x" by default
    auto read = [&](const char* sprite) {
        foreign.m_TargetSprite.m_Name = sprite;
        CSpriteScriptContext context(&own, nullptr);
        CScriptValue out;
        foreign.Evaluate(&context, out);
        return out;
    };
    SetSpriteVariable(&own, "X", Integer(11));
    EXPECT_EQ(read("This").AsInteger(), 11);
    EXPECT_EQ(read("").AsInteger(), 11);
    delete foreign.m_VariableName;
    auto* name = new CExpressionScriptingText();
    name->m_Text = "smoke";
    foreign.m_VariableName = name;
    EXPECT_EQ(read("CHIMNEY").AsInteger(), 2); // the first that matches
    EXPECT_STREQ(read("Nobody").GetText().GetString(), "");
    EXPECT_FALSE(playfield.m_LooseFlags.back());

    CJString description;
    foreign.m_TargetSprite.m_Name = "Chimney";
    foreign.GetDescription(description);
    EXPECT_STREQ(description.GetString(), "@Chimney.$'smoke'"); // the name expression's own description
}

TEST_F(Variables, SettersWriteOwnAndForeignVariablesAndReportDone)
{
    CFakePlayfieldHooks playfield;
    CScopedHook<&SetScriptingHooks> hooks(&playfield);
    CSprite own;
    own.SetName("this");
    CSprite target;
    target.SetName("Target");
    playfield.m_Sprites = {&target, &own};

    CSetLocalVariable local; // "Value" 1 by default
    local.m_VariableName = "Count";
    EXPECT_TRUE(Step(local)); // no sprite: done, nothing written
    local.SetSprite(&own);
    EXPECT_TRUE(Step(local));
    EXPECT_EQ(Read(&own, "count").AsFloat(), 1.0f);
    CJString description;
    local.GetDescription(description);
    EXPECT_STREQ(description.GetString(), "$Count=1");

    // The foreign setter evaluates on behalf of its own sprite.
    CSetForeignVariable foreign;
    foreign.SetSprite(&own);
    foreign.m_TargetSprite.m_Name = "target";
    delete foreign.m_Value;
    auto* ownCount = new CExpressionLocalVariable();
    ownCount->m_VariableName = "Count";
    foreign.m_Value = ownCount;
    EXPECT_TRUE(Step(foreign));
    EXPECT_EQ(Read(&target, "x").AsFloat(), 1.0f);
    // "this" names a sprite called so, not the own one.
    foreign.m_TargetSprite.m_Name = "nobody";
    EXPECT_TRUE(Step(foreign));
    EXPECT_EQ(GetLocalVariables(&own, MissingSet::Leave)->m_LocalVariables.GetCount(), 1u);

    CSetForeignVariableAction action;
    action.m_TargetSprite.m_Name = "Target";
    action.m_VariableName = "Hit";
    delete action.m_Value;
    action.m_Value = Number(4.0f);
    CActionRecord record{&own, false};
    action.Execute(record);
    EXPECT_TRUE(record.handled);
    EXPECT_EQ(Read(&target, "hit").AsFloat(), 4.0f);
    action.m_TargetSprite.m_Name = "Missing";
    CActionRecord missed{&own, false};
    action.Execute(missed);
    EXPECT_FALSE(missed.handled);
    action.m_TargetSprite.m_Name = "Target";
    action.GetDescription(description);
    EXPECT_STREQ(description.GetString(), "@Target.$Hit=4");
}

TEST_F(Variables, OverTimeReachesItsAmountWhenItsSecondsHavePassedAndIsNotReset)
{
    CSprite sprite;
    CSpritePlugInLocalVariableOverTime over;
    over.m_VariableName = "Heat";
    over.m_AmountToIncrement = Number(10.0f);
    over.m_SecondsToShift = 2.0f;
    over.SetSprite(&sprite);
    CPlugInUpdateRecord restart;
    over.Restart(restart);

    // The step at which the elapsed seconds, summed in float, reach 2.
    int expected = 0;
    for (float elapsed = 0.0f; elapsed < 2.0f; elapsed += kPlugInStepSeconds)
        ++expected;
    int done = 0;
    for (int i = 1; i <= 200 && !done; ++i) {
        if (Step(over))
            done = i;
        if (i == 60) {
            EXPECT_NEAR(Read(&sprite, "heat").AsFloat(), 5.0f, 0.001f);
        }
    }
    EXPECT_EQ(done, expected);
    EXPECT_EQ(Read(&sprite, "heat").AsFloat(), 10.0f);
    EXPECT_EQ(Read(&sprite, "heat").GetType(), uint32_t(CScriptValue::kFloat));
    // A second pass through the same plug-in is done at once.
    over.Restart(restart);
    EXPECT_TRUE(Step(over));
}

} // namespace
