#include "TestClasses.h"

#include "objects/CObjectModelHost.h"
#include "support/ScopedHooks.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

namespace {

using CIntMember = CMemberProperty<CTestBase, CIntProperty>;

class CFakeHost : public CObjectModelHost {
public:
    bool IsNamedOptionSet(const char* name) override { return on && std::string(name) == kOmbrisaltOnlyOption; }
    bool on = false;
};

TEST(Property, SplitsCategoryAtTheFirstSlash)
{
    CIntMember plain(&CTestBase::m_Count, "Goal Count", 0);
    EXPECT_TRUE(plain.GetCategory().IsEmpty());
    CIntMember grouped(&CTestBase::m_Count, "Life Rewards Menu/Goal Count Delay", 0);
    EXPECT_STREQ(grouped.GetCategory().GetString(), "Life Rewards Menu");
    EXPECT_STREQ(grouped.GetName(), "Goal Count Delay");
    CIntMember twice(&CTestBase::m_Count, "A/B/C", 0);
    EXPECT_STREQ(twice.GetName(), "B/C");
    EXPECT_STREQ(twice.GetOriginalName().GetString(), "B/C");
}

TEST(Property, DebugLevelIsNeverSavedAndFiledUnderDebug)
{
    CIntMember bare(&CTestBase::m_Count, "Trace", 0);
    bare.SetLevel(kLevelDebug);
    EXPECT_STREQ(bare.GetCategory().GetString(), "Debug");
    EXPECT_FALSE(bare.IsTextSaved());
    EXPECT_FALSE(bare.IsBinarySaved());
    EXPECT_EQ(bare.GetEffectiveLevel(), 0);
    CIntMember grouped(&CTestBase::m_Count, "Tools/Trace", 0);
    grouped.SetLevel(kLevelDebug);
    EXPECT_STREQ(grouped.GetCategory().GetString(), "Tools");
    EXPECT_FALSE(grouped.IsTextSaved());
}

TEST(Property, OmbrisaltOnlyLevelFollowsTheNamedOption)
{
    CFakeHost game;
    const CScopedObjectModelHost host(&game);
    CIntMember property(&CTestBase::m_Count, "Secret", 0);
    property.SetLevel(kLevelOmbrisaltOnly);
    EXPECT_EQ(property.GetEffectiveLevel(), 0);
    game.on = true;
    EXPECT_EQ(property.GetEffectiveLevel(), 1);
}

TEST(Property, DeclarationsGiveDefaultsUnitsAndSetters)
{
    RegisterTestClasses();
    CTestDerived object;
    EXPECT_EQ(object.m_Count, 3);
    EXPECT_TRUE(object.m_Enabled);
    EXPECT_STREQ(object.m_Label.GetString(), "abc");
    CProperty* size = CTestDerived::SGetClassInfo()->FindProperty("Size");
    EXPECT_STREQ(size->GetUnits().GetString(), "pixels");
    EXPECT_STREQ(size->GetCategory().GetString(), "Layout");
    object.SetPropertyFromText(size, CJString("21"), nullptr);
    EXPECT_EQ(object.m_Size, 21);
    // A declared setter takes the place of the member write.
    auto* typed = static_cast<CIntProperty*>(size);
    CDeclaredProperty<CIntProperty>(*typed).Setter<&CTestDerived::SetSize>();
    object.SetPropertyFromText(size, CJString("21"), nullptr);
    EXPECT_EQ(object.m_Size, 42);
    typed->SetSetter(nullptr);
}

TEST(Property, CopyAndEqualityGoThroughEveryProperty)
{
    RegisterTestClasses();
    CTestDerived a;
    a.m_Count = 9;
    a.m_Name = "n";
    a.m_Child = new CTestBase();
    a.m_Child->m_Count = 4;
    CObject* copy = a.Clone();
    EXPECT_TRUE(a.IsEqualTo(copy));
    static_cast<CTestDerived*>(copy)->m_Child->m_Count = 5;
    EXPECT_FALSE(a.IsEqualTo(copy));
    CTestBase base;
    base.CopyFrom(&a); // by position up to the common class
    EXPECT_EQ(base.m_Count, 9);
    delete copy;
}

} // namespace

namespace {

// Which keys each form writes, as the declaration words chose. In text the
// empty string and the default number count only where their word says.
enum class SavedValues { Defaults, Changed };

struct SaveWordsCase {
    const char* label;
    IdMode ids;
    bool binary;
    SavedValues values;
    const char* written; // keys, in declaration order
};

class SaveWords : public testing::TestWithParam<SaveWordsCase> {};

std::string WrittenKeys(const SaveWordsCase& c)
{
    // Changed: every value away from its default, so a binary read shows what travelled.
    CSaveWordsHolder changed;
    if (c.values == SavedValues::Changed) {
        for (int32_t* member : {&changed.m_Everywhere, &changed.m_TextOnly, &changed.m_BinaryOnly, &changed.m_Nowhere,
                                &changed.m_IdStreamsOnly, &changed.m_IdLessStreamsOnly, &changed.m_OmittedWhenDefault})
            *member = 9;
        changed.m_OmittedWhenEmpty = "x";
    }
    CClassInfo* info = changed.GetClassInfo();
    std::string keys;
    if (!c.binary) {
        const std::string text = ObjectToText(&changed, c.ids);
        for (int32_t i = 0; i < info->GetPropertyCount(); ++i) {
            const std::string key = info->GetProperty(i)->GetName();
            if (!key.empty() && text.find("\t" + key + "=") != std::string::npos)
                keys += key + " ";
        }
        return keys;
    }
    CSaveWordsHolder read;
    EXPECT_TRUE(ObjectFromBinary(read, ObjectToBinary(&changed, c.ids), c.ids, StreamReports::Fatal));
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i) {
        const CProperty* property = info->GetProperty(i);
        if (property->GetNameString().IsNotEmpty() && property->GetSize() == sizeof(int32_t)
            && *static_cast<int32_t*>(property->GetValueAddress(&read)) == 9)
            keys += std::string(property->GetName()) + " ";
    }
    return keys;
}

TEST_P(SaveWords, DecideWhichFormsAndStreamsCarryAProperty)
{
    EXPECT_EQ(WrittenKeys(GetParam()), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Declarations, SaveWords,
    testing::Values(SaveWordsCase{"TextAtDefaults", IdMode::WithoutIds, false, SavedValues::Defaults,
                                  "Everywhere TextOnly IdLessStreamsOnly "},
                    SaveWordsCase{"TextWithoutIds", IdMode::WithoutIds, false, SavedValues::Changed,
                                  "Everywhere TextOnly IdLessStreamsOnly OmittedWhenEmpty OmittedWhenDefault "},
                    SaveWordsCase{"TextWithIds", IdMode::WithIds, false, SavedValues::Changed,
                                  "Everywhere TextOnly IdStreamsOnly OmittedWhenEmpty OmittedWhenDefault "},
                    SaveWordsCase{"BinaryWithoutIds", IdMode::WithoutIds, true, SavedValues::Changed,
                                  "Everywhere BinaryOnly IdLessStreamsOnly OmittedWhenDefault "},
                    SaveWordsCase{"BinaryWithIds", IdMode::WithIds, true, SavedValues::Changed,
                                  "Everywhere BinaryOnly IdStreamsOnly OmittedWhenDefault "}),
    [](const testing::TestParamInfo<SaveWordsCase>& param) { return std::string(param.param.label); });

TEST(ObjectPointer, TypedHoldersKeepOnlyObjectsOfTheirClass)
{
    RegisterTestClasses();
    CTestDerived* target = nullptr;
    CTypedCObjectPointer<CTestDerived> holder(&target);
    CTestBase base;
    CTestDerived derived;
    holder.Set(&derived);
    EXPECT_EQ(target, &derived);
    EXPECT_EQ(holder.Get(), &derived);
    holder.Set(&base);
    EXPECT_EQ(target, nullptr);
}

} // namespace
