#include "TestClasses.h"

#include "foundation/CurrentLoadFile.h"
#include "foundation/FatalError.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CSlotProperty.h"
#include "support/RegisteredClassCheck.h"
#include "support/ScopedHooks.h"

#include "tests/support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

namespace {

class ClassRegistry : public testing::Test {
protected:
    void SetUp() override { RegisterTestClasses(); }
    CClassInfoList& Registry() { return CClassInfoList::SGetInstance(); }
};

TEST_F(ClassRegistry, FindsNamesCaseBlindAndWithoutTheirPrefix)
{
    CClassInfo* object = CObject::SGetClassInfo();
    EXPECT_EQ(Registry().Find("CObject"), object);
    EXPECT_EQ(Registry().Find("cOBJECT"), object);
    EXPECT_EQ(Registry().Find("Object"), object);
    int32_t index = 7;
    EXPECT_EQ(Registry().Find("NoSuchClass", &index), nullptr);
    EXPECT_EQ(index, -1);
    Registry().Sort();
    EXPECT_EQ(Registry().Find("testderived"), CTestDerived::SGetClassInfo());
}

TEST_F(ClassRegistry, AlternateClassNamesFindTheClass)
{
    CTestBase::SGetClassInfo()->AddAlternateClassName("CBuildable");
    EXPECT_EQ(Registry().Find("cbuildable"), CTestBase::SGetClassInfo());
    EXPECT_EQ(Registry().Find("Buildable"), CTestBase::SGetClassInfo());
}

int g_Released = 0;
void CountRelease(ClassModuleHandle)
{
    ++g_Released;
}

TEST_F(ClassRegistry, RegisteringByVersionRefusesEqualAndReplacesLower)
{
    static int moduleTag;
    const CScopedModuleReleaser counting(&CountRelease);
    g_Released = 0;
    auto* first = new CClassInfo("CPlugged", 1.0f, nullptr, 8);
    ASSERT_TRUE(Registry().Register(first, &moduleTag));
    auto* same = new CClassInfo("CPLUGGED", 1.0f, nullptr, 8);
    EXPECT_FALSE(Registry().Register(same));
    auto* newer = new CClassInfo("CPlugged", 1.0f, nullptr, 8);
    newer->AddProperty(CObject::SGetClassInfo()->GetProperty(0)->Clone());
    // Versions are computed by CNormalClassInfo; a plain info keeps 0, so
    // build one with a higher version by hand.
    struct CVersioned : CClassInfo {
        CVersioned()
            : CClassInfo("CPlugged", 0.0f, nullptr, 8)
        {
            ComputeVersion(5.0f);
        }
    };
    auto* higher = new CVersioned();
    EXPECT_TRUE(Registry().Register(higher));
    EXPECT_EQ(g_Released, 1); // the module's last class left
    EXPECT_EQ(Registry().Find("CPlugged"), higher);
    Registry().RemoveAt(Registry().IndexOf(higher));
    EXPECT_EQ(Registry().Find("CPlugged"), nullptr);
    delete same;
    delete newer;
    delete first;
    delete higher;
}

TEST_F(ClassRegistry, CategoriesComeFromTheBaseAndDisplayNamesAreSpaced)
{
    EXPECT_STREQ(CObject::SGetClassInfo()->GetCategory().GetString(), "Miscellaneous");
    EXPECT_STREQ(CObject::SGetClassInfo()->GetCategoryPath().GetString(), "Miscellaneous/");
    EXPECT_STREQ(CTestBase::SGetClassInfo()->GetCategory().GetString(), "Miscellaneous/");
    EXPECT_STREQ(CTestDerived::SGetClassInfo()->GetDisplayName().GetString(), "Test Derived");
    EXPECT_STREQ(CTestDerived::SGetClassInfo()->GetDisplayName("Derived").GetString(), "Test ");
    EXPECT_STREQ(CTestDerived::SGetClassInfo()->GetDisplayName("Test Derived").GetString(), "Test Derived");
    CClassInfo lower("Cargo", 0, nullptr, 4);
    EXPECT_STREQ(lower.GetNameWithoutPrefix().GetString(), "Cargo");
}

// No base and no base term in its version, yet its objects keep what every
// object carries, and its binary records of the days it had base CObject
// (version 8 + 3 x 7) still read.
TEST_F(ClassRegistry, AClassRegisteredWithoutABaseKeepsDynamicValuesAndReadsItsFormerVersion)
{
    CClassInfo* info = CTestRootless::SGetClassInfo();
    EXPECT_EQ(info->GetBase(), nullptr);
    EXPECT_FALSE(info->IsDerivedFrom(CObject::SGetClassInfo()));
    EXPECT_STREQ(info->GetCategory().GetString(), "Miscellaneous");
    EXPECT_EQ(info->GetVersion(), 8.0f);
    ASSERT_EQ(info->GetPropertyCount(), 2);
    EXPECT_STREQ(info->GetProperty(0)->GetName(), "Dynamic Properties");

    // Attached to every object after the class was made.
    static CProperty* note = [] {
        auto* made = new CSlotProperty<CJStringProperty>("Rootless Note", "");
        made->AddAsDynamicProperty(CObject::SGetClassInfo(), DynamicKind::Optional);
        return made;
    }();
    ASSERT_EQ(info->GetDynamicPropertyList().FindByName("Rootless Note"), note);

    CTestRootless written;
    written.m_Count = 9;
    note->SetValueFromText(SlotOwner(written.GetOrAddDynamicValue(note)), CJString("kept"), nullptr);
    std::string bytes = ObjectToBinary(&written, IdMode::WithoutIds);
    const float former = 29.0f;
    ASSERT_GE(bytes.size(), 8u);
    std::memcpy(bytes.data() + 4, &former, 4);
    CTestRootless read;
    ASSERT_TRUE(ObjectFromBinary(read, bytes, IdMode::WithoutIds, StreamReports::Quiet));
    EXPECT_EQ(read.m_Count, 9);
    EXPECT_TRUE(read.IsEqualTo(&written)) << "the note came along";

    const float other = 30.0f;
    std::memcpy(bytes.data() + 4, &other, 4);
    CTestRootless refused;
    EXPECT_FALSE(ObjectFromBinary(refused, bytes, IdMode::WithoutIds, StreamReports::Quiet));
}

TEST_F(ClassRegistry, FindPropertyUsesNamesThenAlternateNames)
{
    CClassInfo* info = CTestDerived::SGetClassInfo();
    int32_t index = -1;
    EXPECT_EQ(info->FindProperty("SIZE", &index), info->GetProperty(4));
    EXPECT_EQ(index, 4);
    EXPECT_EQ(info->FindProperty("label", &index), info->GetProperty(5)); // the hint hit
    EXPECT_EQ(info->FindProperty("Old Count", &index), info->GetProperty(1));
    EXPECT_EQ(info->FindProperty("Layout/Size", &index), nullptr);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(info->Find("Enabled"), 2); // the class is a virtual array of its properties
}

TEST_F(ClassRegistry, CreatesByNameAndRefusesAbstractClassesQuietly)
{
    CObject* object = Registry().CreateObjectByName("TestDerived", 0, -1, ReportUnknownClass::Quiet);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->GetClassInfo(), CTestDerived::SGetClassInfo());
    EXPECT_TRUE(object->AreAllPropertiesDefault());
    delete object;
    EXPECT_EQ(Registry().CreateObjectByName("CTestAbstract", 0, -1, ReportUnknownClass::Quiet), nullptr);
    EXPECT_EQ(Registry().CreateObjectByName("CObject", 0, -1, ReportUnknownClass::Quiet), nullptr);
}

TEST_F(ClassRegistry, AClassRegistersOnItsFirstClassInfoCall)
{
    // A fresh process: in this one the table's check may have called it first.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const bool unknown = Registry().Find("CTestLate") == nullptr;
            CTestLate::SGetClassInfo();
            std::exit(unknown && Registry().Find("CTestLate") == CTestLate::SGetClassInfo() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(ClassRegistry, ObjectArraysAreCreatedAndDestroyed)
{
    CClassInfo* info = CTestDerived::SGetClassInfo();
    auto* first = static_cast<CTestDerived*>(info->CreateArray(3, 0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(first) % alignof(std::max_align_t), 0u);
    EXPECT_EQ(first[2].m_Size, 10);
    info->DeleteArray(first);
}

TEST_F(ClassRegistry, UnknownClassIsFatalWithTheExplanation)
{
    GetCurrentLoadFileName().Set("Data/Thing.txt");
    EXPECT_EXIT(Registry().CreateObjectByName("CNoSuch", 0, -1, ReportUnknownClass::Fatal),
                testing::ExitedWithCode(255),
                "Tried to use a class named \"CNoSuch\" but there is no class with that name.  The bad class name is "
                "used in the file \"Data/Thing.txt\"");
    EXPECT_EXIT(Registry().CreateObjectByName("CTestAbstract", 0, -1, ReportUnknownClass::Fatal),
                testing::ExitedWithCode(255), "that class is an Abstract Base Class \\(ABC\\) and can not be used.");
    GetCurrentLoadFileName().Set("Program.EXE");
}

TEST_F(ClassRegistry, TheExplanationCoversClassesThatWereNotLinked)
{
    GetCurrentLoadFileName().Set("");
    const CJString text = BuildBadClassNameMessage("CGone", false);
    GetCurrentLoadFileName().Set("Program.EXE");
    EXPECT_GE(text.Find("  Problem originates in an unknown location.\r\n\r\nThis usually means"), 0);
    EXPECT_GE(text.Find("adding a SGetClassInfo() call on that class at some point in the application."), 0);
}

// Every class the object tests register, with its computed version. A
// property added to or dropped from a class changes its version, and saved
// binary data of the old version then loads as defaults: a change here must
// be deliberate.
struct RegisteredClass {
    const char* name;
    float version;
};

constexpr RegisteredClass kRegisteredClasses[] = {
    {"CObject", 7.0f},
    {"CClassThatCanNotBeConstructedOrDerivedFrom", 21.0f},
    {"CBasePointerToBeNulledArray", 21.0f},
    {"CPointerToBeNulledArray", 63.0f},
    {"CTestBase", 43.0f},
    {"CTestDerived", 159.0f},
    {"CTestStrict", 129.0f},
    {"CTestAbstract", 21.0f},
    {"CTestRootless", 8.0f},
    {"CTestLate", 21.0f},
    {"CScalarInner", 36.0f},
    {"CScalarHolder", 134.0f},
    {"CScalarDerived", 403.0f},
    {"CTestPartAbstract", 129.0f},
    {"CTestHolder", 70.0f},
    {"CValueKindsHolder", 50.0f},
    {"CSaveWordsHolder", 78.0f},
};

void RegisterEveryTestClass()
{
    RegisterContainerClasses();
    RegisterScalarClasses();
    CTestLate::SGetClassInfo();
    CValueKindsHolder::SGetClassInfo();
    CSaveWordsHolder::SGetClassInfo();
}

class EveryRegisteredClass : public testing::TestWithParam<RegisteredClass> {
protected:
    void SetUp() override { RegisterEveryTestClass(); }
};

TEST_P(EveryRegisteredClass, HasItsCheckedInVersion)
{
    CClassInfo* info = CClassInfoList::SGetInstance().Find(GetParam().name);
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->GetName(), GetParam().name);
    EXPECT_EQ(info->GetVersion(), GetParam().version);
}

TEST_P(EveryRegisteredClass, IsMadeAtItsDefaultsAndTravelsUnchanged)
{
    ExpectMadeAtDefaultsAndTravelsUnchanged(GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Registry, EveryRegisteredClass, testing::ValuesIn(kRegisteredClasses),
                         [](const testing::TestParamInfo<RegisteredClass>& param) {
                             return std::string(param.param.name);
                         });

// Declared by the file list and new-file tests for their own lists, and
// registered when those run, before this check or after.
constexpr const char* kOtherTestsClasses[] = {"CTestSlot", "CTestUpgrade", "CShelfItem", "CTallShelfItem", "CShelfPlan"};

TEST(RegisteredClassTable, NamesEveryRegisteredClass)
{
    RegisterEveryTestClass();
    CClassInfoList& registry = CClassInfoList::SGetInstance();
    for (int32_t i = 0; i < registry.GetCount(); ++i) {
        const char* name = registry.GetAt(i)->GetName();
        const bool listed = std::any_of(std::begin(kRegisteredClasses), std::end(kRegisteredClasses),
                                        [&](const RegisteredClass& c) { return std::strcmp(c.name, name) == 0; })
            || std::any_of(std::begin(kOtherTestsClasses), std::end(kOtherTestsClasses),
                           [&](const char* other) { return std::strcmp(other, name) == 0; });
        EXPECT_TRUE(listed) << name << " is registered but missing from the version table";
    }
}

} // namespace
