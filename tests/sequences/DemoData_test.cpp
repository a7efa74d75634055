#include "SequenceTestSupport.h"

#include "game/scripting/CAudio.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "images/DataPixelBudget.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// The checked-in settings and style sheet with freshly drawn frames, as the
// program reads them.
class DemoData : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        std::filesystem::create_directories("Data");
        std::filesystem::copy(OMBRISALT_DEMO_DATA "/Data/Resources", "Data/Resources",
                              std::filesystem::copy_options::recursive);
        std::filesystem::current_path("Data");
        // The trees name their poke sound in the audio list.
        GetAudioList().SetSource("Resources/Audio");
    }
    void TearDown() override
    {
        GetAudioList().SetSource("Nowhere");
        SequenceFolderTest::TearDown();
    }
};

TEST_F(DemoData, EverySequencePlaysAndTheCoinRecolours)
{
    CSequenceList list;
    list.SetSource(nullptr, "Resources/Sequences", 0);
    ASSERT_EQ(list.GetCount(), 133);
    const struct {
        const char* name;
        uint32_t frames;
    } expected[] = {{"Coin", 8},
                    {"Flag", 10},
                    {"Mouse Cursor", 4},
                    {"Walk", 6},
                    {"Can Move X Cursor", 1},
                    {"Moving X Cursor", 1},
                    {"Can Move Y Cursor", 1},
                    {"Moving Y Cursor", 1},
                    {"Can Resize Cursor", 1},
                    {"Resizing Cursor", 1},
                    {"Can Resize Other Cursor", 1},
                    {"Resizing Other Cursor", 1},
                    {"Gauge Back", 1},
                    {"Gauge Fill", 1},
                    {"House", 6},
                    {"Spark Burst", 10},
                    {"Swallow", 8},
                    {"Tree", 8},
                    {"Goal_Incomplete", 1},
                    {"Goal_Complete", 1},
                    {"Goal_Failed", 1},
                    {"Goal Heart", 1},
                    {"Goal Half Heart", 1},
                    {"Goal Dollar", 1},
                    {"Goal Clock", 1},
                    {"Goal Anyone", 1},
                    {"Goal Everyone", 1},
                    {"StarGoalEffect", 8},
                    {"Tile EmptyLot", 1},
                    {"Lot Vacant", 1},
                    {"Lot Construction", 1},
                    {"Lot LivedIn", 1},
                    {"Lot Hover", 4},
                    {"Poke Cursor", 4},
                    {"Hud Backdrop", 1},
                    {"Cottage Build", 7},
                    {"Garage Build", 5},
                    {"Framing Crew", 8},
                    {"Foreman", 8},
                    {"Signpost", 1},
                    {"Button Plate", 1},
                    {"Button Hover", 4},
                    {"Deliverer Empty", 1},
                    {"CrewMeterBar", 1},
                    {"Can Use Cursor", 2},
                    {"Bonus Meter Dial", 1},
                    {"Bonus Meter Needle", 1},
                    {"Mega Click Effect", 6},
                    {"Trophy Locked", 1},
                    {"Trophy Hover", 4},
                    {"Trophy SupremeMatchingAce", 1},
                    {"Tutorial Arrow", 1},
                    {"MenuScreen_Button_Display", 1},
                    {"MenuScreen_Button_ChangePlayer", 1},
                    {"MenuScreen_Button_Credits", 1},
                    {"MenuScreen_Button_Sound", 1}};
    for (const auto& e : expected) {
        CSequence* sequence = list.GetObjectByName(e.name);
        ASSERT_NE(sequence, nullptr) << e.name;
        EXPECT_EQ(sequence->GetFrameCount(), e.frames) << e.name;
        for (uint32_t i = 0; i < sequence->GetFrameCount(); ++i)
            EXPECT_NE(sequence->GetFrame(i), nullptr) << e.name << " " << i;
    }
    // The flag hangs from the foot of its pole.
    const CRect flag = list.GetObjectByName("Flag")->GetBounds();
    EXPECT_LE(flag.left, -2);
    EXPECT_EQ(flag.bottom, 1);
    // The cursor's tip is its hot spot.
    EXPECT_EQ(list.GetObjectByName("Mouse Cursor")->GetBounds().top, 0);
    // The edge cursors point from their centre.
    const CRect resizing = list.GetObjectByName("Resizing Cursor")->GetBounds();
    EXPECT_TRUE(resizing.left < 0 && resizing.right > 0 && resizing.top < 0 && resizing.bottom > 0);
    EXPECT_TRUE(std::filesystem::exists("Cache/Resources/Sequences/Walk.Sequence"));
    // The lot images sit on the lot's hit area: the hot spot is its origin.
    const CRect lot = list.GetObjectByName("Lot Vacant")->GetBounds();
    EXPECT_TRUE(lot.left <= -130 && lot.right >= 130 && lot.top <= -70 && lot.bottom >= 75) << lot.left << " " << lot.top;
    // Goal panels hang from their top-left corner, where the goal line starts.
    EXPECT_EQ(list.GetObjectByName("Goal_Incomplete")->GetBounds().left, 0);

    GetHueRemapperStyleSheetList().SetSource(nullptr, "Resources", 0);
    const int32_t sheet = GetHueRemapperStyleSheetList().Find("Coin Blue");
    ASSERT_GE(sheet, 0);
    CFrame* coin = list.GetObjectByName("Coin")->GetFrame(0);
    CFrame* blue = GetHueRemappedFrame(*coin, sheet);
    ASSERT_NE(blue, coin);
    const uint32_t middle = coin->GetHeight() / 2 * coin->GetPitch() * 4 + coin->GetWidth() / 2 * 4;
    EXPECT_GT(coin->GetPixels()[middle + 2], coin->GetPixels()[middle]); // gold: red over blue
    EXPECT_GT(blue->GetPixels()[middle], blue->GetPixels()[middle + 2]); // blue over red
}

// Counts the pixels of a frame that a test picks out.
template <typename Pick>
uint32_t CountPixels(CFrame& frame, Pick pick)
{
    uint32_t count = 0;
    for (uint32_t y = 0; y < frame.GetHeight(); ++y)
        for (uint32_t x = 0; x < frame.GetWidth(); ++x) {
            const uint8_t* p = frame.GetPixels() + (y * frame.GetPitch() + x) * 4;
            count += p[3] == 255 && pick(p[2], p[1], p[0]);
        }
    return count;
}

// The houses stand on their hot spot, so a lot draws them on its parcel; the
// last frame of a paintable part carries walls that every paint recolours,
// while the roof and the build frames keep their colours.
TEST_F(DemoData, HousesStandOnTheirFootAndTakeTheirPaint)
{
    CSequenceList list;
    list.SetSource(nullptr, "Resources/Sequences", 0);
    for (const char* name : {"Cottage Build", "Garage Build"}) {
        const CRect bounds = list.GetObjectByName(name)->GetBounds();
        EXPECT_TRUE(bounds.top < -60 && bounds.bottom > 0 && bounds.bottom <= 12) << name << " " << bounds.bottom;
    }
    // The garage stands beside the cottage, drawn at the same foot.
    EXPECT_LT(list.GetObjectByName("Cottage Build")->GetBounds().right, 70);
    EXPECT_GT(list.GetObjectByName("Garage Build")->GetBounds().left, 40);
    // The crews and the foreman stand on their feet too.
    for (const char* name : {"Framing Crew", "Garage Crew", "Painting Crew", "Foreman", "Signpost"}) {
        const CRect bounds = list.GetObjectByName(name)->GetBounds();
        EXPECT_TRUE(bounds.bottom >= 0 && bounds.bottom <= 6 && bounds.top < -50) << name;
    }

    GetHueRemapperStyleSheetList().SetSource(nullptr, "Resources", 0);
    CSequence& cottage = *list.GetObjectByName("Cottage Build");
    CFrame& painted = *cottage.GetFrame(cottage.GetFrameCount() - 1);
    const auto magenta = [](int r, int g, int b) { return r > 150 && b > 150 && g < 100; };
    const auto roof = [](int r, int g, int b) { return r > 120 && g < 80 && b < 80; };
    const uint32_t walls = CountPixels(painted, magenta);
    const uint32_t roofs = CountPixels(painted, roof);
    ASSERT_GT(walls, 4000u);
    ASSERT_GT(roofs, 4000u);
    EXPECT_EQ(CountPixels(*cottage.GetFrame(cottage.GetFrameCount() - 2), magenta), 0u)
        << "the finished, unpainted look has no paintable walls";

    const struct {
        const char* sheet;
        bool (*looks)(int, int, int);
    } paints[] = {
        {"Paint Lemon", [](int r, int g, int b) { return r > 200 && g > 170 && b < 150; }},
        {"Paint Sky Blue", [](int r, int g, int b) { return b > 200 && b > r + 60 && b > g; }},
        {"0 Unpainted", [](int r, int g, int b) { return r > 150 && std::abs(r - b) < 40 && std::abs(r - g) < 40; }},
    };
    for (const auto& paint : paints) {
        const int32_t sheet = GetHueRemapperStyleSheetList().Find(paint.sheet);
        ASSERT_GT(sheet, 0) << paint.sheet << ": index 0 stands for none";
        CFrame& remapped = *GetHueRemappedFrame(painted, sheet);
        EXPECT_EQ(CountPixels(remapped, magenta), 0u) << paint.sheet;
        EXPECT_GE(CountPixels(remapped, paint.looks), walls) << paint.sheet;
        EXPECT_EQ(CountPixels(remapped, roof), roofs) << paint.sheet;
    }
}

// The demo's sequences and frames together stay far under the data's budget.
TEST_F(DemoData, AllItsPicturesHoldFarLessThanTheDataBudget)
{
    const uint64_t before = GetDataPixelBytesHeld();
    CSequenceList list;
    list.SetSource(nullptr, "Resources/Sequences", 0);
    uint32_t frames = 0;
    for (int32_t i = 0; i < list.GetCount(); ++i)
        for (uint32_t f = 0; f < list.GetObject(i)->GetFrameCount(); ++f)
            frames += list.GetObject(i)->GetFrame(f) != nullptr;
    CFrameList& library = GetFrameLibrary();
    library.SetSource(nullptr, "Resources/Frames", 0);
    for (int32_t i = 0; i < library.GetCount(); ++i)
        frames += library.GetObject(i) != nullptr;
    const uint64_t held = GetDataPixelBytesHeld() - before;
    library.RemoveAll();
    library.SetSource(nullptr, "Nowhere", 0);
    EXPECT_GT(frames, 300u);
    EXPECT_GT(held, uint64_t(8) << 20);
    EXPECT_LT(held, kMaxDataPixelBytes / 4);
}

} // namespace
