#include "SequenceTestSupport.h"

#include "images/CFrame.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"

#include <gtest/gtest.h>

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
        const char* source = OMBRISALT_SOURCE_DIR;
        std::filesystem::create_directories("Data");
        std::filesystem::copy(std::string(source) + "/data/Data/Resources", "Data/Resources",
                              std::filesystem::copy_options::recursive);
        std::filesystem::remove_all("Data/Resources/Sequences/.frames-made");
        ASSERT_EQ(RunCommand("python3 " + std::string(source) + "/tools/make_demo_sequences.py ."), 0);
        std::filesystem::current_path("Data");
    }
};

TEST_F(DemoData, EverySequencePlaysAndTheCoinRecolours)
{
    CSequenceList list;
    list.SetSource(nullptr, "Resources/Sequences", 0);
    ASSERT_EQ(list.GetCount(), 38);
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
                    {"StarGoalEffect", 8}};
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

} // namespace
