#include "objects/CObjectProperty.h"

#include "TestClasses.h"
#include "objects/CNetMessageStream.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(ObjectProperty, EmbeddedObjectSurvivesEveryForm)
{
    RegisterScalarClasses();
    CScalarHolder source;
    source.m_Inner.m_Width = -8;
    source.m_Inner.m_Scale = 0.25f;
    CProperty* inner = source.GetClassInfo()->FindProperty("Inner");
    EXPECT_FALSE(inner->IsDefault(&source));

    const std::string text = WriteToText(&source, IdMode::WithoutIds);
    EXPECT_NE(text.find("Inner=CScalarInner\r\n"), std::string::npos);
    std::unique_ptr<CObject> fromText(ReadFromText(text, IdMode::WithoutIds));
    ASSERT_NE(fromText, nullptr);
    EXPECT_EQ(static_cast<CScalarHolder*>(fromText.get())->m_Inner.m_Width, -8);
    EXPECT_TRUE(fromText->IsEqualTo(&source));

    CScalarHolder fromBinary;
    ASSERT_TRUE(ReadFromBinary(&fromBinary, WriteToBinary(&source, IdMode::WithoutIds), IdMode::WithoutIds));
    EXPECT_TRUE(fromBinary.IsEqualTo(&source));

    // Packed against a reference: only what differs from its member travels.
    CScalarHolder reference;
    reference.m_Inner.m_Width = -8;
    CNetMessageStream packed;
    source.WritePacked(packed, &reference);
    CNetMessageStream reader(packed.GetData(), packed.GetLength());
    reference.ReadPacked(reader);
    EXPECT_TRUE(reference.IsEqualTo(&source));

    CScalarHolder copy;
    copy.CopyFrom(&source);
    EXPECT_EQ(copy.m_Inner.m_Scale, 0.25f);
    inner->SetToDefault(&copy);
    EXPECT_TRUE(inner->IsDefault(&copy));
}

TEST(ObjectProperty, AMemberWithoutItsBlockFailsTheLoad)
{
    RegisterScalarClasses();
    CJString error;
    std::unique_ptr<CObject> object(
        ReadFromText("CScalarHolder\r\n{\r\nInner=CScalarInner\r\nCount=3\r\n}\r\n", IdMode::WithoutIds, &error));
    EXPECT_EQ(object, nullptr);
    EXPECT_STREQ(error.GetString(), "The embedded object \"Inner\" has no block of its own");
}

TEST(ObjectProperty, ValueArraysHoldConstructedMembers)
{
    RegisterScalarClasses();
    CScalarHolder holder;
    CProperty* inner = holder.GetClassInfo()->FindProperty("Inner");
    auto* array = static_cast<CScalarInner*>(inner->NewValueArray(3));
    EXPECT_EQ(array[2].m_Width, 4);
    inner->DeleteValueArray(array);
    inner->DeleteValueArray(inner->NewValueArray(0));
}

} // namespace
