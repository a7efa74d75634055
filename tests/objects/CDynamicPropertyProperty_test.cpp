#include "TestClasses.h"

#include "foundation/FatalError.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CFloatProperty.h"
#include "objects/CListProperty.h"
#include "objects/CNetMessageStream.h"
#include "objects/CPObjectProperty.h"
#include "objects/CSlotProperty.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

namespace {

class DynamicProperties : public testing::Test {
protected:
    void SetUp() override { RegisterContainerClasses(); }
};

int32_t& Tag(CObject& object)
{
    return *static_cast<int32_t*>(object.GetOrAddDynamicValue(TagProperty()));
}

TEST_F(DynamicProperties, TypedReadsGiveTheHeldValueOrTheDefault)
{
    // Optional values: objects without them write nothing new.
    static auto* speed = [] {
        auto* made = new CSlotProperty<CFloatProperty>("Speed", 1.5f);
        made->AddAsDynamicProperty(CValueKindsHolder::SGetClassInfo(), DynamicKind::Optional);
        return made;
    }();
    static auto* kind = [] {
        auto* made = new CSlotProperty<CListProperty>("Kind", 0);
        made->SetList(&ColourNames());
        made->SetDefaultName("Green");
        made->AddAsDynamicProperty(CValueKindsHolder::SGetClassInfo(), DynamicKind::Optional);
        return made;
    }();
    CValueKindsHolder object;
    EXPECT_EQ(speed->GetDynamicValue(&object), 1.5f);
    EXPECT_EQ(kind->GetDynamicValue(&object), 1);
    *static_cast<float*>(object.GetOrAddDynamicValue(speed)) = 4.0f;
    *static_cast<int32_t*>(object.GetOrAddDynamicValue(kind)) = 2;
    EXPECT_EQ(speed->GetDynamicValue(&object), 4.0f);
    EXPECT_EQ(kind->GetDynamicValue(&object), 2);
}

TEST_F(DynamicProperties, ValuesRoundTripInTextBinaryAndBitStream)
{
    CTestDerived source;
    Tag(source) = 42;
    const std::string text = WriteToText(&source, IdMode::WithoutIds);
    EXPECT_NE(text.find("\tDynamic Properties=1\r\n\t{\r\n\t\tTag=42\r\n\t}\r\n"), std::string::npos) << text;

    std::unique_ptr<CObject> fromText(ReadFromText(text, IdMode::WithoutIds));
    ASSERT_NE(fromText, nullptr);
    EXPECT_EQ(*static_cast<int32_t*>(fromText->GetDynamicValue(TagProperty())), 42);
    EXPECT_TRUE(fromText->IsEqualTo(&source));

    CTestDerived fromBinary;
    ASSERT_TRUE(ReadFromBinary(&fromBinary, WriteToBinary(&source, IdMode::WithoutIds), IdMode::WithoutIds));
    EXPECT_TRUE(fromBinary.IsEqualTo(&source));

    CNetMessageStream bits;
    source.WritePacked(bits, nullptr);
    CTestDerived fromBits;
    Tag(fromBits) = 5; // replaced in place
    fromBits.ReadPacked(bits);
    EXPECT_TRUE(fromBits.IsEqualTo(&source));
}

TEST_F(DynamicProperties, AnObjectWithoutValuesWritesNoLineAndIsDefault)
{
    CTestBase object;
    const CProperty* list = CTestBase::SGetClassInfo()->FindProperty("Dynamic Properties");
    EXPECT_TRUE(list->IsDefault(&object));
    EXPECT_EQ(WriteToText(&object, IdMode::WithoutIds).find("Dynamic Properties"), std::string::npos);
    Tag(object) = 1;
    EXPECT_TRUE(object.RemoveDynamicValue(TagProperty()));
    EXPECT_FALSE(object.RemoveDynamicValue(TagProperty()));
    EXPECT_EQ(WriteToText(&object, IdMode::WithoutIds).find("Dynamic Properties"), std::string::npos);

    // A value kept for the run only (a frame's texture) writes no block either.
    static auto* runOnly = [] {
        auto* made = new CSlotProperty<CFloatProperty>("Run Only", 0.0f);
        made->SetSavedIn(SavedIn::Nowhere);
        made->AddAsDynamicProperty(CValueKindsHolder::SGetClassInfo(), DynamicKind::Optional);
        return made;
    }();
    CValueKindsHolder drawn;
    *static_cast<float*>(drawn.GetOrAddDynamicValue(runOnly)) = 2.0f;
    EXPECT_TRUE(list->IsDefault(&drawn));
    EXPECT_EQ(WriteToText(&drawn, IdMode::WithoutIds).find("Dynamic Properties"), std::string::npos);
}

TEST_F(DynamicProperties, OwnedObjectValuesAreCopiedAndDestroyedWithTheirHolder)
{
    CTestHolder holder;
    auto* extra = static_cast<const CPObjectProperty*>(ExtraProperty());
    auto* part = new CTestBase();
    part->m_Count = 9;
    extra->SetDynamicValue(&holder, part);
    extra->SetDynamicValue(&holder, new CTestDerived()); // the first is deleted
    std::unique_ptr<CObject> copy(holder.Clone());
    ASSERT_NE(extra->GetDynamicValue(copy.get()), nullptr);
    EXPECT_NE(extra->GetDynamicValue(copy.get()), extra->GetDynamicValue(&holder));
    EXPECT_TRUE(copy->IsEqualTo(&holder));
    std::unique_ptr<CObject> read(ReadFromText(WriteToText(&holder, IdMode::WithoutIds), IdMode::WithoutIds));
    ASSERT_NE(read, nullptr);
    EXPECT_STREQ(extra->GetDynamicValue(read.get())->GetClassInfo()->GetName(), "CTestDerived");
}

TEST_F(DynamicProperties, UnknownNamesInTheBlockGoToReadCustomProperties)
{
    try {
        const CScopedThrowingFatal throwing;
        delete ReadFromText("CTestStrict\r\n{\r\nDynamic Properties=2\r\n{\r\nTag=3\r\nMystery=1\r\n}\r\n}\r\n",
                            IdMode::WithoutIds);
        ADD_FAILURE() << "no report";
    } catch (const CFatalErrorException& e) {
        EXPECT_NE(e.message.find("Found unknown property \"Mystery\" with a value of \"1\" for class CTestStrict"),
                  std::string::npos);
    }
    // A dynamic name outside the block is taken as a value too.
    std::unique_ptr<CObject> read(ReadFromText("CTestBase\r\n{\r\nTag=11\r\n}\r\n", IdMode::WithoutIds));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(Tag(*read), 11);
}

TEST_F(DynamicProperties, AttachmentsReachDerivedClassesAndAlwaysPresentOnesAreMadeOnReset)
{
    EXPECT_EQ(CTestDerived::SGetClassInfo()->GetDynamicPropertyList().FindByName("tag"), TagProperty());
    EXPECT_EQ(CTestHolder::SGetClassInfo()->GetDynamicPropertyList().FindByName("Tag"), nullptr);
    EXPECT_TRUE(TagProperty()->IsDynamic());
    EXPECT_EQ(AlwaysProperty()->GetDescription().Compare("Present on every holder"), 0);
    // A class made after the attachment inherits it.
    CClassInfo late("CTestLateHolder", 0.0f, CTestHolder::SGetClassInfo(), 8);
    EXPECT_EQ(late.GetDynamicPropertyList().FindByName("Always"), AlwaysProperty());

    CTestHolder holder;
    EXPECT_FALSE(holder.HasDynamicValue(AlwaysProperty()));
    holder.ResetToDefaults();
    ASSERT_TRUE(holder.HasDynamicValue(AlwaysProperty()));
    EXPECT_EQ(static_cast<CJString*>(holder.GetDynamicValue(AlwaysProperty()))->Compare("on"), 0);
    EXPECT_EQ(holder.AddDynamicValue(AlwaysProperty()), nullptr);
}

TEST_F(DynamicProperties, HostileBinaryCountsAndNamesAreRefused)
{
    CTestBase object;
    Tag(object) = 3;
    const std::string good = WriteToBinary(&object, IdMode::WithoutIds);
    // The dynamic count follows the two version words.
    ASSERT_EQ(good.substr(8, 4), std::string("\x01\0\0\0", 4));
    std::string hugeCount = good;
    hugeCount.replace(8, 4, "\xFF\xFF\xFF\xFF");
    CTestBase target;
    EXPECT_FALSE(ReadFromBinary(&target, hugeCount, IdMode::WithoutIds));
    std::string hugeName = good;
    hugeName.replace(12, 4, "\xF0\xFF\xFF\x7F");
    EXPECT_FALSE(ReadFromBinary(&target, hugeName, IdMode::WithoutIds));
    EXPECT_TRUE(ReadFromBinary(&target, good, IdMode::WithoutIds));
    EXPECT_EQ(Tag(target), 3);
}

} // namespace
