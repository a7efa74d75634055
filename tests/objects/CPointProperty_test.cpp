#include "TestClasses.h"

#include "objects/CNetMessageStream.h"

#include <gtest/gtest.h>

namespace {

class PointProperty : public testing::Test {
protected:
    void SetUp() override { CValueKindsHolder::SGetClassInfo(); }
};

TEST_F(PointProperty, ShortOrMalformedTextKeepsTheMissingComponents)
{
    struct Case {
        const char* text;
        CPoint point;
    };
    const Case cases[] = {
        {"7", {7, 20}},    {"", {10, 20}},    {"a,b", {10, 20}}, {"3;4", {3, 20}},
        {" 5, 6", {5, 6}}, {"5 ,6", {5, 20}}, {"8,", {8, 20}},   {"99999999999,-99999999999", {INT32_MAX, INT32_MIN}},
    };
    CProperty* spot = HolderProperty("Spot");
    for (const Case& c : cases) {
        CValueKindsHolder holder;
        holder.m_Spot = CPoint{10, 20};
        spot->SetValueFromText(&holder, CJString(c.text), nullptr);
        EXPECT_EQ(holder.m_Spot, c.point) << '"' << c.text << '"';
    }
    CValueKindsHolder holder;
    holder.m_Place = CFPoint{1.0f, 2.0f};
    HolderProperty("Place")->SetValueFromText(&holder, CJString("0.25"), nullptr);
    EXPECT_EQ(holder.m_Place, (CFPoint{0.25f, 2.0f}));
}

TEST_F(PointProperty, PackedReadNeedsEightWholeBytes)
{
    const uint8_t bytes[7] = {1, 0, 0, 0, 2, 0, 0};
    CNetMessageStream stream(bytes, sizeof bytes);
    CValueKindsHolder holder;
    holder.m_Spot = CPoint{5, 6};
    HolderProperty("Spot")->ReadPacked(&holder, stream);
    EXPECT_EQ(holder.m_Spot, (CPoint{5, 6}));
}

} // namespace
