// Image, animation, picked-image, box, gauge and marker overlays, and the
// containers that pick and move their children.
#include "OverlayTestSupport.h"

#include "images/CFrame.h"
#include "overlays/ContainerOverlays.h"
#include "overlays/ImageOverlays.h"
#include "sequences/CTextSubstitutionList.h"

#include <gtest/gtest.h>

namespace {

class ImageOverlay : public OverlayTest {
protected:
    void Draw(CFrameOverlay& overlay, CFrame& canvas, float opacity = 1.0f)
    {
        CFrameOverlayDrawContext context;
        context.m_pTarget = &canvas;
        context.m_pSubstitutions = &m_Values;
        context.m_Opacity = opacity;
        overlay.Draw(context);
    }
    CTextSubstitutionList m_Values;
};

TEST_F(ImageOverlay, ASequenceScaledWithinOnePercentIsDrawnUntransformed)
{
    AddSequence("Block", 6, 4, 0xFF30A050u);
    ResetLists();
    CFrameOverlaySequenceOverlay animation;
    animation.m_Sequence = SequenceIndex("Block");
    animation.m_Position = CPoint{8, 8};
    animation.m_Scale = 1.005f;
    auto nearlyOne = Canvas(32, 32);
    Draw(animation, *nearlyOne);
    EXPECT_EQ(Pixel(*nearlyOne, 8, 8), 0xFF30A050u);
    EXPECT_EQ(Pixel(*nearlyOne, 13, 11), 0xFF30A050u);
    EXPECT_EQ(Pixel(*nearlyOne, 14, 8), 0u);

    animation.m_Scale = 2.0f;
    auto doubled = Canvas(32, 32);
    Draw(animation, *doubled);
    EXPECT_NE(Pixel(*doubled, 16, 12), 0u);
}

TEST_F(ImageOverlay, TheNumberPicksAnImageAndItsFractionFadesTheNextIn)
{
    AddFrame("One", 2, 2, 0xFFFF0000u);
    AddFrame("Two", 2, 2, 0xFF0000FFu);
    ResetLists();
    CArrayOfFramesFrameOverlayOverlay picked;
    picked.m_ArrayIndex = "%s[Level]";
    auto* array = static_cast<CPropertyArrayProperty*>(picked.GetClassInfo()->FindProperty("Frames Array"));
    array->ArrayProperty_SetCount(&picked, 2);
    picked.m_FrameIndexArray[0] = FrameIndex("One");
    picked.m_FrameIndexArray[1] = FrameIndex("Two");

    auto pick = [&](const char* level) {
        m_Values.RemoveAll();
        m_Values.AddText("%s[Level]", CJString(level));
        auto canvas = Canvas(4, 4);
        Draw(picked, *canvas);
        return Pixel(*canvas, 0, 0);
    };
    EXPECT_EQ(pick("0"), 0u);
    EXPECT_EQ(pick("letters"), 0u);
    EXPECT_EQ(pick("1"), 0xFFFF0000u);
    EXPECT_EQ(pick("7"), 0xFF0000FFu);
    // Half of the second over the first: 128 of 255, as the blender's
    // levels reach it.
    const uint32_t faded = pick("1.5");
    EXPECT_NEAR(int(faded & 0xFF), 128, 4);
    EXPECT_NEAR(int((faded >> 16) & 0xFF), 127, 4);
    const uint32_t mostly = pick("1.9");
    EXPECT_NEAR(int(mostly & 0xFF), 230, 4);
    // Half of the first over nothing.
    EXPECT_NEAR(int((pick("0.5") >> 16) & 0xFF), 128, 4);

    // No entries: nothing drawn, nothing read.
    array->ArrayProperty_SetCount(&picked, 0);
    EXPECT_EQ(pick("3"), 0u);
}

TEST_F(ImageOverlay, BoxRingsStopOnceTheRectangleIsEmpty)
{
    CBoxFrameOverlay box;
    box.m_Position = CPoint{2, 2};
    box.m_Size = CPoint{4, 4};
    box.m_OutlineWidth = 5;
    box.m_OutlineColor = CColor(255, 255, 255, 255);
    box.m_FillColor = CColor(255, 0, 0, 255);
    auto rings = Canvas(10, 10);
    Draw(box, *rings);
    for (int32_t y = 2; y < 6; ++y)
        for (int32_t x = 2; x < 6; ++x)
            EXPECT_EQ(Pixel(*rings, x, y), 0xFFFFFFFFu) << x << "," << y;
    EXPECT_EQ(Pixel(*rings, 6, 6), 0u);

    // An odd size: the third ring would be inverted and is not drawn.
    box.m_Size = CPoint{5, 5};
    box.m_OutlineColor = CColor(0, 255, 0, 255);
    auto odd = Canvas(10, 10);
    Draw(box, *odd);
    EXPECT_EQ(Pixel(*odd, 4, 4), 0xFF00FF00u);
    EXPECT_EQ(Pixel(*odd, 7, 7), 0u);

    box.m_OutlineWidth = 0;
    auto filled = Canvas(10, 10);
    Draw(box, *filled);
    EXPECT_EQ(Pixel(*filled, 2, 2), 0xFFFF0000u);
}

TEST_F(ImageOverlay, TheGaugeReadsOnlyDigitsAndFillsFromTheLeftOrBottom)
{
    AddSequence("Fill", 10, 10, 0xFF00FF00u);
    ResetLists();
    CThermometerFrameOverlay gauge;
    gauge.m_BackgroundSequence = -1;
    gauge.m_FillSequence = SequenceIndex("Fill");
    auto fill = [&](const char* value, const char* range) {
        gauge.m_Value = value;
        gauge.m_Range = range;
        auto canvas = Canvas(10, 10);
        Draw(gauge, *canvas);
        int32_t filled = 0;
        for (int32_t i = 0; i < 10; ++i)
            filled += (gauge.m_bVertical ? Pixel(*canvas, 0, i) : Pixel(*canvas, i, 0)) != 0;
        return filled;
    };
    EXPECT_EQ(fill("3", "0"), 0);
    EXPECT_EQ(fill("-5", "10"), 5);
    EXPECT_EQ(fill("$12", "10"), 10);
    gauge.m_bVertical = true;
    auto canvas = Canvas(10, 10);
    EXPECT_EQ(fill("3", "10"), 3);
    gauge.m_Value = "3";
    Draw(gauge, *canvas);
    EXPECT_EQ(Pixel(*canvas, 0, 6), 0u);
    EXPECT_NE(Pixel(*canvas, 0, 7), 0u);
}

TEST_F(ImageOverlay, AMarkerShowsItsToolTipInsideButNotOnItsRightOrBottomEdge)
{
    CFrameOverlayPositionMarker marker;
    marker.m_Position = CPoint{10, 20};
    marker.m_Size = CPoint{5, 5};
    marker.m_ToolTip.SetText(CJString("Tip"));
    auto tip = [&](int32_t x, int32_t y) {
        auto canvas = Canvas(4, 4);
        CFrameOverlayDrawContext context;
        context.m_pTarget = canvas.get();
        context.m_MouseX = x;
        context.m_MouseY = y;
        marker.Draw(context);
        return std::string(context.m_ToolTip.GetString());
    };
    EXPECT_EQ(tip(10, 20), "Tip");
    EXPECT_EQ(tip(14, 24), "Tip");
    EXPECT_EQ(tip(15, 22), "");
    EXPECT_EQ(tip(12, 25), "");
    CJString description;
    marker.m_ID = "Seat";
    marker.m_Title.SetText(CJString("A long title of a seat"));
    marker.GetDescription(description, nullptr);
    EXPECT_STREQ(description.GetString(), "Frame Overlay Position Marker Seat: A long tit");
}

// Places at the ends of the int32 range (a damaged set) draw nothing into
// the canvas and find no pixel under the mouse, rather than wrapping round.
TEST_F(ImageOverlay, OverlaysPlacedAtTheEndsOfTheRangeDrawNothing)
{
    AddFrame("Dot", 4, 4, 0xFFFF0000u);
    AddSequence("Spot", 4, 4, 0xFF00FF00u);
    ResetLists();
    for (const CPoint place : {CPoint{INT32_MAX, INT32_MAX}, CPoint{INT32_MIN, INT32_MIN}}) {
        auto canvas = Canvas(8, 8);
        CFrameOverlayDrawContext context;
        context.m_pTarget = canvas.get();
        context.m_pSubstitutions = &m_Values;
        context.m_MouseX = 2;
        context.m_MouseY = 2;
        context.m_bShowMarkers = true;
        CFrameOverlayFrameOverlay image;
        image.m_Image = FrameIndex("Dot");
        image.m_Position = place;
        image.Draw(context);
        CFrameOverlaySequenceOverlay animation;
        animation.m_Sequence = SequenceIndex("Spot");
        animation.m_Position = place;
        animation.m_ToolTip.SetText(CJString("Tip"));
        animation.Draw(context);
        EXPECT_TRUE(context.m_ToolTip.IsEmpty());
        CFrameOverlayPositionMarker marker;
        marker.m_Position = place;
        marker.m_Size = CPoint{INT32_MAX, INT32_MAX};
        marker.Draw(context);
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 8; ++x)
                ASSERT_EQ(Pixel(*canvas, x, y), 0u) << x << "," << y;
    }
}

TEST_F(ImageOverlay, ConditionalAndArrayIndexPickTheirChild)
{
    CConditionalFrameOverlay conditional;
    conditional.m_StringToCheck = "%s[Flag]";
    auto* empty = new CRecordingOverlay;
    auto* set = new CRecordingOverlay;
    conditional.m_pWhenEmpty = empty;
    conditional.m_pWhenNotEmpty = set;
    auto canvas = Canvas(4, 4);
    for (const char* flag : {"0", "00", " ", ""}) {
        m_Values.RemoveAll();
        m_Values.AddText("%s[Flag]", CJString(flag));
        Draw(conditional, *canvas);
    }
    EXPECT_EQ(empty->m_Seen.size(), 2u);
    EXPECT_EQ(set->m_Seen.size(), 2u);
    conditional.MoveBy(3, 4);
    EXPECT_EQ(empty->m_Moved, (CPoint{3, 4}));

    CArrayIndexFrameOverlay indexed;
    auto* array = static_cast<CPropertyArrayProperty*>(indexed.GetClassInfo()->FindProperty("Overlay Array List"));
    array->ArrayProperty_SetCount(&indexed, 2);
    auto* first = new CRecordingOverlay;
    auto* second = new CRecordingOverlay;
    indexed.m_pOverlayArray[0] = first;
    indexed.m_pOverlayArray[1] = second;
    indexed.m_StringToUseAsIndex = "%s[Number]";
    for (const char* number : {"", "abc", "1", "-1", "2"}) {
        m_Values.RemoveAll();
        m_Values.AddText("%s[Number]", CJString(number));
        Draw(indexed, *canvas);
    }
    EXPECT_EQ(first->m_Seen.size(), 2u);
    EXPECT_EQ(second->m_Seen.size(), 1u);
}

TEST_F(ImageOverlay, TheOffsetScaledChildSlidesByValueOverRange)
{
    AddFrame("Dot", 1, 1, 0xFFFFFFFFu);
    ResetLists();
    COffsetScaledAmountFrameOverlay slide;
    auto* dot = new CFrameOverlayFrameOverlay;
    dot->m_Image = FrameIndex("Dot");
    slide.m_pOverlay = dot;
    slide.m_Offset = CFPoint{200.0f, 0.0f};
    auto where = [&](const char* value, const char* range) {
        slide.m_Value = value;
        slide.m_Range = range;
        auto canvas = Canvas(210, 2);
        Draw(slide, *canvas);
        for (int32_t x = 0; x < 210; ++x)
            if (Pixel(*canvas, x, 0) != 0)
                return x;
        return -1;
    };
    EXPECT_EQ(where("50", "100"), 100);
    EXPECT_EQ(where("50", "0"), 0);
    slide.m_Min = 0.25f;
    slide.m_Max = 0.75f;
    EXPECT_EQ(where("0", "100"), 50);
    EXPECT_EQ(where("100", "100"), 150);
    // A minimum above the maximum leaves the maximum.
    slide.m_Min = 0.9f;
    EXPECT_EQ(where("0", "100"), 150);
}

} // namespace
