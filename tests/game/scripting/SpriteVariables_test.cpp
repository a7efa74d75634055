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
    static CExpressionNumber* Number(float v)
    {
        auto* number = new CExpressionNumber();
        number->m_Value = v;
        return number;
    }
    // As a script of the sprite reads it.
    static CScriptValue Read(CSprite* sprite, const char* name)
    {
        CExpressionLocalVariable expression;
        expression.m_VariableName = name;
        CSpriteScriptContext context(sprite, nullptr);
        CScriptValue out;
        expression.Evaluate(&context, out);
        return out;
    }
    static uint32_t Count(CSprite& sprite)
    {
        CLocalVariables* set = GetLocalVariables(&sprite, MissingSet::Leave);
        return set ? set->m_LocalVariables.GetCount() : 0;
    }
};

TEST_F(Variables, NamesAreCaseBlindTypesAreKeptAndTheyTravelWithTheSprite)
{
    CSprite sprite;
    CScriptValue out = Integer(9);
    EXPECT_FALSE(GetVariable(&sprite, "Score", out));
    EXPECT_EQ(out.GetType(), uint32_t(CScriptValue::kText));
    EXPECT_EQ(Count(sprite), 0u);

    SetSpriteVariable(&sprite, "Score", Integer(5));
    SetSpriteVariable(&sprite, "score", Integer(7));
    CScriptValue label;
    label.SetText("12 apples");
    SetSpriteVariable(&sprite, "Label", label);
    EXPECT_EQ(Count(sprite), 2u);

    CSprite fromBinary;
    ASSERT_TRUE(ObjectFromBinary(fromBinary, ObjectToBinary(&sprite, IdMode::WithoutIds), IdMode::WithoutIds,
                                 StreamReports::Fatal));
    std::unique_ptr<CObject> fromText(
        ObjectFromText(ObjectToText(&sprite, IdMode::WithoutIds), IdMode::WithoutIds, StreamReports::Fatal));
    ASSERT_NE(fromText, nullptr);
    std::unique_ptr<CObject> copy(sprite.Clone());
    for (CObject* object : {static_cast<CObject*>(&sprite), static_cast<CObject*>(&fromBinary), fromText.get(),
                            copy.get()}) {
        auto* each = static_cast<CSprite*>(object);
        EXPECT_EQ(Read(each, "SCORE").GetType(), uint32_t(CScriptValue::kInteger));
        EXPECT_EQ(Read(each, "SCORE").AsInteger(), 7);
        EXPECT_EQ(Read(each, "label").GetType(), uint32_t(CScriptValue::kText));
        EXPECT_STREQ(Read(each, "label").GetText().GetString(), "12 apples");
    }
    // A copy has a set of its own; a sprite without variables writes none.
    SetSpriteVariable(static_cast<CSprite*>(copy.get()), "Score", Integer(0));
    EXPECT_EQ(Read(&sprite, "Score").AsInteger(), 7);
    CSprite plain;
    EXPECT_EQ(ObjectToText(&plain, IdMode::WithoutIds).find("Local Variables"), std::string::npos);
    EXPECT_STREQ(Read(nullptr, "Score").GetText().GetString(), "");
}

TEST_F(Variables, ForeignReadsFindTheNamedSpriteOrTheirOwnForThis)
{
    CFakePlayfieldHooks playfield;
    CScopedHook<&SetScriptingHooks> hooks(&playfield);
    CSprite own, chimney, second;
    own.SetName("Own");
    chimney.SetName("Chimney");
    second.SetName("chimney");
    playfield.m_Sprites = {&own, &chimney, &second};
    SetSpriteVariable(&own, "X", Integer(1));
    SetSpriteVariable(&chimney, "X", Integer(2));
    SetSpriteVariable(&second, "X", Integer(3));

    CExpressionForeignVariable foreign; // the name "x" by default
    auto read = [&](const char* sprite) {
        foreign.m_TargetSprite.m_Name = sprite;
        CSpriteScriptContext context(&own, nullptr);
        CScriptValue out;
        foreign.Evaluate(&context, out);
        return out;
    };
    EXPECT_EQ(read("This").AsInteger(), 1);
    EXPECT_EQ(read("").AsInteger(), 1);
    EXPECT_EQ(read("CHIMNEY").AsInteger(), 2); // the first that matches
    EXPECT_STREQ(read("Nobody").GetText().GetString(), "");
    EXPECT_FALSE(playfield.m_LooseFlags.back());
    // Evaluated for no one, a named sprite is still found.
    CScriptValue out;
    foreign.m_TargetSprite.m_Name = "Chimney";
    foreign.Evaluate(nullptr, out);
    EXPECT_EQ(out.AsInteger(), 2);
}

TEST_F(Variables, SettersWriteOwnAndForeignVariablesAndReportDone)
{
    CFakePlayfieldHooks playfield;
    CScopedHook<&SetScriptingHooks> hooks(&playfield);
    CSprite own, target;
    own.SetName("this");
    target.SetName("Target");
    playfield.m_Sprites = {&target, &own};
    auto step = [](CSpritePlugIn& plugIn) {
        CPlugInUpdateRecord record;
        plugIn.Update(record);
        return record.done;
    };

    CSetLocalVariable local; // the value 1 by default
    local.m_VariableName = "Count";
    EXPECT_TRUE(step(local)); // no sprite: nothing written
    local.SetSprite(&own);
    EXPECT_TRUE(step(local));
    EXPECT_EQ(Read(&own, "count").AsFloat(), 1.0f);

    // The foreign setter evaluates for its own sprite; "this" names a sprite
    // called so.
    CSetForeignVariable foreign;
    foreign.SetSprite(&own);
    foreign.m_TargetSprite.m_Name = "target";
    auto* ownCount = new CExpressionLocalVariable();
    ownCount->m_VariableName = "Count";
    delete foreign.m_Value;
    foreign.m_Value = ownCount;
    EXPECT_TRUE(step(foreign));
    EXPECT_EQ(Read(&target, "x").AsFloat(), 1.0f);
    foreign.m_TargetSprite.m_Name = "nobody";
    EXPECT_TRUE(step(foreign));

    CSetForeignVariableAction action;
    action.m_TargetSprite.m_Name = "Target";
    action.m_VariableName = "Hit";
    delete action.m_Value;
    action.m_Value = Number(4.0f);
    CActionRecord record{&own, false};
    action.Execute(record);
    EXPECT_TRUE(record.handled);
    EXPECT_EQ(Read(&target, "hit").AsFloat(), 4.0f);
    CJString description;
    action.GetDescription(description);
    EXPECT_STREQ(description.GetString(), "@Target.$Hit=4");
    action.m_TargetSprite.m_Name = "Missing";
    CActionRecord missed{&own, false};
    action.Execute(missed);
    EXPECT_FALSE(missed.handled);
    EXPECT_EQ(Count(own), 1u);
}

TEST_F(Variables, OverTimeReachesItsAmountWhenItsSecondsHavePassedAndIsNotReset)
{
    CSprite sprite;
    CSpritePlugInLocalVariableOverTime over;
    over.m_VariableName = "Heat";
    over.m_AmountToIncrement = Number(10.0f);
    over.m_SecondsToShift = 2.0f;
    over.SetSprite(&sprite);
    // The step at which the seconds, summed in float, reach 2.
    int expected = 0;
    for (float elapsed = 0.0f; elapsed < 2.0f; elapsed += kPlugInStepSeconds)
        ++expected;
    int done = 0;
    for (int i = 1; i <= 200 && !done; ++i) {
        CPlugInUpdateRecord record;
        over.Update(record);
        done = record.done ? i : 0;
        if (i == 60) {
            EXPECT_NEAR(Read(&sprite, "heat").AsFloat(), 5.0f, 0.001f);
        }
    }
    EXPECT_EQ(done, expected);
    EXPECT_EQ(Read(&sprite, "heat").AsFloat(), 10.0f);
    CPlugInUpdateRecord again;
    over.Restart(again);
    over.Update(again);
    EXPECT_TRUE(again.done);
}

} // namespace
