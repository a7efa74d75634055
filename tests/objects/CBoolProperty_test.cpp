#include "objects/CBoolProperty.h"

#include "TestClasses.h"

#include <gtest/gtest.h>

namespace {

TEST(BitProperty, BitsShareOneWordWithoutDisturbingEachOther)
{
    RegisterScalarClasses();
    CScalarHolder holder;
    EXPECT_EQ(holder.m_Flags, 0x1u); // only "Visible" defaults to set
    holder.m_Flags |= 0x100;         // a bit no property owns
    SetText(holder, "Layer", "1");
    EXPECT_EQ(holder.m_Flags, 0x107u);
    SetText(holder, "Visible", "0");
    EXPECT_EQ(holder.m_Flags, 0x106u);
    EXPECT_FALSE(holder.GetClassInfo()->FindProperty("Layer")->IsDefault(&holder));
    EXPECT_FALSE(holder.GetClassInfo()->FindProperty("Visible")->IsDefault(&holder));

    // Any masked bit counts as set; copies set or clear the whole mask.
    CScalarHolder other;
    other.m_Flags = 0x2;
    EXPECT_EQ(TextOf(other, "Layer"), "1");
    CScalarHolder copy;
    copy.CopyFrom(&other);
    EXPECT_EQ(copy.m_Flags & 0x6, 0x6u);
    EXPECT_FALSE(holder.GetClassInfo()->FindProperty("Layer")->IsEqual(&copy, &other, nullptr));
}

TEST(BitProperty, SetterReceivesOneFromTextAndTheMaskedBitsFromCopies)
{
    RegisterScalarClasses();
    CScalarHolder holder;
    SetText(holder, "Hidden", "5");
    EXPECT_EQ(holder.m_LastBitSetterValue, 1u);
    EXPECT_EQ(holder.m_Flags & 0x8, 0u); // the setter chose not to store it

    CScalarHolder source;
    source.m_Flags = 0xF;
    CProperty* hidden = holder.GetClassInfo()->FindProperty("Hidden");
    hidden->CopyValue(&holder, &source, hidden);
    EXPECT_EQ(holder.m_LastBitSetterValue, 0x8u);
}

} // namespace
