// The sequence thumbnail as the browser and the sequence editor drive it:
// playing at the sequence's rate, stepping with wrap, and placing a frame's
// coordinate point only while editing a paused preview.
#include "SequenceTestSupport.h"

#include "sequences/CSequence.h"
#include "sequences/CSequenceBrowserItem.h"
#include "sequences/CSequenceList.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

class SequenceBrowserItem : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        for (int i = 1; i <= 5; ++i)
            WriteTga("Seqs/-Walk/w" + std::to_string(i) + ".tga", 4 * uint32_t(i), 6);
        WriteBytes("Seqs/-Walk/Properties.txt", SequenceProperties("Frames Per Second=10"));
        ASSERT_TRUE(m_Sequence.Load("Seqs", "Walk", nullptr));
        ASSERT_EQ(m_Sequence.GetFrameCount(), 5u);
    }
    CSequence m_Sequence;
};

TEST_F(SequenceBrowserItem, PlaysAtTheSequenceRateAndStepsWithWrap)
{
    CSequenceBrowserItem item(nullptr, 0, &m_Sequence);
    EXPECT_TRUE(item.IsPlaying());
    item.Update(0.25f);
    EXPECT_FLOAT_EQ(item.GetPosition(), 2.5f);
    item.Update(0.3f); // 5.5 wraps past the fifth frame
    EXPECT_FLOAT_EQ(item.GetPosition(), 0.5f);

    item.Pause();
    item.Update(1.0f);
    EXPECT_FLOAT_EQ(item.GetPosition(), 0.5f);
    item.PreviousFrame();
    EXPECT_FLOAT_EQ(item.GetPosition(), 4.0f);
    item.NextFrame();
    EXPECT_FLOAT_EQ(item.GetPosition(), 0.0f);
    item.NextFrame();
    EXPECT_FLOAT_EQ(item.GetPosition(), 1.0f);

    CRect bounds;
    item.GetBounds(bounds);
    EXPECT_EQ(bounds, m_Sequence.GetBounds());

    // A runaway step (a stalled frame of hours) starts over instead of
    // counting the frames down one lap at a time.
    item.Play();
    item.Update(std::numeric_limits<float>::infinity());
    EXPECT_FLOAT_EQ(item.GetPosition(), 0.0f);
}

TEST_F(SequenceBrowserItem, AClickSetsTheFramePointOnlyWhileEditingAPausedPreview)
{
    CSequenceBrowserItem item(nullptr, 0, &m_Sequence);
    item.SetEditCoordinates(true);
    EXPECT_FALSE(item.Click(0, CPoint{3, -2})); // still playing
    item.Pause();
    item.NextFrame();
    item.NextFrame();
    EXPECT_FALSE(item.Click(1, CPoint{3, -2}));
    ASSERT_TRUE(item.Click(0, CPoint{3, -2}));
    CSequenceOfCoordinates* points = GetSequenceCoordinates(m_Sequence);
    ASSERT_EQ(points->m_Coordinates.GetCount(), 5u);
    EXPECT_FLOAT_EQ(points->m_Coordinates[2].x, 3.0f);
    EXPECT_FLOAT_EQ(points->m_Coordinates[2].y, -2.0f);
    EXPECT_FLOAT_EQ(points->m_Coordinates[0].x, 0.0f);

    item.SetEditCoordinates(false);
    item.NextFrame();
    EXPECT_FALSE(item.Click(0, CPoint{1, 1}));
    EXPECT_FLOAT_EQ(points->m_Coordinates[3].x, 0.0f);
}

TEST_F(SequenceBrowserItem, TheSequenceListHandsTheBrowserItsFactory)
{
    EXPECT_EQ(GetSequenceList().GetItemFactory(), &CSequenceBrowserItem::SCreate);
    // An entry the list cannot hand out is drawn as nothing.
    std::unique_ptr<CImageBrowserItemBridge> none = CSequenceBrowserItem::SCreate(nullptr, 3);
    CRect bounds;
    none->GetBounds(bounds);
    EXPECT_EQ(bounds, (CRect{0, 0, 0, 0}));
}

} // namespace
