#include "render/CBatchedProxyFrame.h"

#include "RenderTestSupport.h"
#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"

namespace {

class BatchedProxy : public CRenderFixture {
protected:
    // Issues the same mixed drawing to any surface. Recorded colours replay
    // opaque, so drawing that a replay must match gives b alpha 255.
    static void Draw(CFrameInterface& s, CFrameInterface& sprite, const uint8_t* table, uint8_t alphaOfB = 90)
    {
        CColor a(200, 10, 10, 255), b(10, 200, 10, alphaOfB), c(1, 2, 3, 255);
        s.FillRect({-3, 2, 30, 20}, a);
        s.FillRect({5, 5, 45, 45}, b);
        s.FillRect({6, 6, 7, 7}, b); // same colour word twice in a row
        s.DrawLine(0, 0, 49, 37, c);
        s.DrawLineFloat(1.5f, 2.5f, 30.0f, 9.0f, c, 3.0f);
        s.SetPixel(44, 3, a);
        s.RemapRect({0, 0, 4, 4}, table);
        s.Blit(sprite, {0, 0, 8, 8}, {20, 20, 28, 28}, GetNormalBlitType());
        if (auto* batched = dynamic_cast<CBatchedProxyFrame*>(&s))
            batched->ClearMappedRect({40, 30, 44, 40});
        else
            s.ClearRect({40, 30, 44, 40});
    }
};

TEST_F(BatchedProxy, ReplaysExactlyWhatItRecordedInOrder)
{
    auto frame = PatternFrame(50, 40, 1), sprite = PatternFrame(8, 8, 2);
    uint8_t table[256] = {};
    CLoggingProxy direct(frame.get());
    Draw(direct, *sprite, table, 255);

    auto target = PatternFrame(50, 40, 1);
    CLoggingProxy replayed(target.get());
    CBatchedProxyFrame batch;
    batch.SetFrame(&replayed);
    Draw(batch, *sprite, table);
    EXPECT_TRUE(replayed.log.empty()); // recorded, not drawn
    batch.EndRecording();
    batch.Replay();
    EXPECT_EQ(replayed.log, direct.log);
    EXPECT_EQ(Pixels(*target), Pixels(*frame));
}

TEST_F(BatchedProxy, ReplaysThroughEachClipRectangle)
{
    auto frame = PatternFrame(50, 40, 3), expected = PatternFrame(50, 40, 3), sprite = PatternFrame(8, 8, 4);
    uint8_t table[256] = {};
    CClippedProxyFrame clip(frame.get());
    CBatchedProxyFrame batch;
    batch.SetFrame(&clip);
    Draw(batch, *sprite, table);
    batch.EndRecording();
    const CRect regions[] = {{0, 0, 20, 15}, {25, 10, 50, 40}};
    for (const CRect& region : regions) {
        clip.SetClipRect(region);
        batch.Replay();
        CClippedProxyFrame direct(expected.get());
        direct.SetClipRect(region);
        Draw(direct, *sprite, table, 255);
    }
    EXPECT_EQ(Pixels(*frame), Pixels(*expected));
}

TEST_F(BatchedProxy, EmptyRecordingReplaysNothing)
{
    auto frame = PatternFrame(10, 10, 5);
    CLoggingProxy log(frame.get());
    CBatchedProxyFrame batch;
    batch.SetFrame(&log);
    batch.EndRecording();
    batch.Replay();
    // Without the end tag the replay stops at the end of the data.
    batch.Clear();
    CColor c(1, 1, 1, 255);
    batch.FillRect({0, 0, 1, 1}, c);
    batch.Replay();
    EXPECT_EQ(log.log, std::vector<std::string>({"FillRect 0,0,1,1 #FF010101"}));
}

TEST_F(BatchedProxy, RecordedColoursReplayOpaque)
{
    auto frame = PatternFrame(10, 10, 5);
    CLoggingProxy log(frame.get());
    CBatchedProxyFrame batch;
    batch.SetFrame(&log);
    CColor half(10, 200, 10, 128), clear(1, 2, 3, 0);
    batch.FillRect({0, 0, 4, 4}, half);
    batch.SetPixel(5, 5, clear);
    batch.EndRecording();
    batch.Replay();
    EXPECT_EQ(log.log, std::vector<std::string>({"FillRect 0,0,4,4 #FF0AC80A", "SetPixel 5,5 #FF010203"}));
    EXPECT_EQ(frame->GetRawPixel(1, 1), 0xFF0AC80Au);
}

TEST_F(BatchedProxy, BlitKeepsItsRecordedOpacityAndRestoresTheType)
{
    auto frame = PatternFrame(20, 20, 6), sprite = PatternFrame(4, 4, 7);
    CLoggingProxy spy(frame.get());
    CBatchedProxyFrame batch;
    batch.SetFrame(&spy);
    CBlitType& type = GetNormalBlitType();
    type.SetOpacity(0.5f);
    EXPECT_TRUE(batch.Blit(*sprite, {0, 0, 4, 4}, {1, 1, 5, 5}, type));
    type.SetOpacity(1.0f);
    batch.EndRecording();
    batch.Replay();
    EXPECT_EQ(spy.blitOpacity, 0.5f);
    EXPECT_EQ(type.GetOpacity(), 1.0f);
    EXPECT_EQ(type.GetOpacity255(), 255u);
}

TEST_F(BatchedProxy, RenderablesReachTheSourceAtOnceAheadOfRecordedFills)
{
    auto frame = PatternFrame(20, 20, 8), sprite = PatternFrame(4, 4, 9);
    CLoggingProxy log(frame.get());
    CBatchedProxyFrame batch;
    batch.SetFrame(&log);
    CColor c(5, 5, 5, 255);
    batch.FillRect({0, 0, 2, 2}, c);
    CBlitXParams params(sprite.get(), 3, 3, 0, 1, 1, CColor(255, 255, 255, 255), 0, 0, 0, true);
    batch.Render(params);
    batch.EndRecording();
    batch.Replay();
    EXPECT_EQ(log.log, std::vector<std::string>({"Render CBlitXParams at 3,3", "FillRect 0,0,2,2 #FF050505"}));
}

} // namespace
