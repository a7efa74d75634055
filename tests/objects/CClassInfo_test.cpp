#include "TestClasses.h"

#include "foundation/FatalError.h"
#include "foundation/CurrentLoadFile.h"

#include <gtest/gtest.h>

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
    ModuleReleaser previous = SetModuleReleaser(&CountRelease);
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
        CVersioned() : CClassInfo("CPlugged", 0.0f, nullptr, 8) { ComputeVersion(5.0f); }
    };
    auto* higher = new CVersioned();
    EXPECT_TRUE(Registry().Register(higher));
    EXPECT_EQ(g_Released, 1); // the module's last class left
    EXPECT_EQ(Registry().Find("CPlugged"), higher);
    Registry().RemoveAt(Registry().IndexOf(higher));
    EXPECT_EQ(Registry().Find("CPlugged"), nullptr);
    SetModuleReleaser(previous);
    delete same;
    delete newer;
    delete first;
    delete higher;
}

TEST_F(ClassRegistry, VersionsGrowWithPropertiesAlongTheBaseChain)
{
    EXPECT_EQ(CObject::SGetClassInfo()->GetVersion(), 7.0f);               // 0 + 7 x 1
    EXPECT_EQ(CTestBase::SGetClassInfo()->GetVersion(), 1.0f + 21 + 21);   // 1 + 7 x 3 + 3 x 7
    EXPECT_EQ(CTestDerived::SGetClassInfo()->GetVersion(), 2.0f + 28 + 129);
    EXPECT_EQ(CTestDerived::SGetClassInfo()->GetInheritedCount(), 4);
    EXPECT_EQ(CTestDerived::SGetClassInfo()->GetCount(), 8);
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
    EXPECT_EQ(Registry().Find("CTestLate"), nullptr);
    CTestLate::SGetClassInfo();
    EXPECT_EQ(Registry().Find("CTestLate"), CTestLate::SGetClassInfo());
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

} // namespace
