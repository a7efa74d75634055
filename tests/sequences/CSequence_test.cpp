#include "SequenceTestSupport.h"

#include "blit/CBlitTypeList.h"
#include "foundation/CFile.h"
#include "images/CFilterChangeBitDepth.h"
#include "images/CFilterRLEColor0.h"
#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "images/CFrameImageIO.h"
#include "images/DataPixelBudget.h"
#include "sequences/CSequence.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::string Kinds(const CFrameFilter& chain)
{
    std::string out;
    for (const CFrameFilter* f = chain.GetNext(); f; f = f->GetNext())
        out += std::to_string(f->GetKind()) + " ";
    return out;
}

std::vector<uint32_t> Widths(CSequence& sequence)
{
    std::vector<uint32_t> widths;
    for (uint32_t i = 0; i < sequence.GetFrameCount(); ++i)
        widths.push_back(sequence.GetFrame(i) ? sequence.GetFrame(i)->GetWidth() : 0);
    return widths;
}

struct SSkipCase {
    const char* name;
    uint32_t images;
    uint32_t every;
    bool last;
    std::vector<uint32_t> kept;
};

void PrintTo(const SSkipCase& c, std::ostream* out)
{
    *out << c.name;
}

class SequenceSkipping : public testing::TestWithParam<SSkipCase> {};

TEST_P(SequenceSkipping, KeepsTheImagesOfTheRule)
{
    const SSkipCase& c = GetParam();
    EXPECT_EQ(PickSequenceImages(c.images, c.every, c.last), c.kept);
}

INSTANTIATE_TEST_SUITE_P(Examples, SequenceSkipping,
                         testing::Values(SSkipCase{"TenByThree", 10, 3, false, {0, 3, 6, 9}},
                                         SSkipCase{"TenByThreeLastAlreadyKept", 10, 3, true, {0, 3, 6, 9}},
                                         SSkipCase{"NineByThree", 9, 3, false, {0, 3, 6}},
                                         SSkipCase{"NineByThreeLast", 9, 3, true, {0, 3, 6, 8}},
                                         SSkipCase{"EveryOneIgnoresLast", 4, 1, true, {0, 1, 2, 3}},
                                         SSkipCase{"NoImages", 0, 2, true, {}}),
                         [](const testing::TestParamInfo<SSkipCase>& c) { return std::string(c.param.name); });

class SequenceBuild : public SequenceFolderTest {
protected:
    // Images named with their widths, in Seqs/-<name>/.
    void Images(const std::string& name, const std::vector<std::pair<std::string, uint32_t>>& images)
    {
        for (const auto& [file, width] : images)
            WriteTga("Seqs/-" + name + "/" + file + ".tga", width, 8);
    }
};

TEST_F(SequenceBuild, SortsNamesCaseBlindWithUnderscoreBeforeLetters)
{
    Images("Walk", {{"b", 8}, {"Ab", 16}, {"A_1", 12}, {"a0", 20}});
    CSequence sequence;
    ASSERT_TRUE(sequence.Load("Seqs", "Walk", nullptr));
    EXPECT_EQ(Widths(sequence), (std::vector<uint32_t>{20, 12, 16, 8}));
    // A folder without settings gets the defaults written beside its images.
    EXPECT_TRUE(DiskHas("Seqs/-Walk/Properties.txt"));
    EXPECT_TRUE(DiskHas("Cache/Seqs/Walk.Sequence"));
}

TEST_F(SequenceBuild, UseEveryTwoSkipsAndHalvesTheRate)
{
    Images("Walk", {{"w1", 4}, {"w2", 8}, {"w3", 12}, {"w4", 16}, {"w5", 20}});
    WriteBytes("Seqs/-Walk/Properties.txt", SequenceProperties("Use Every=2"));
    CSequence sequence;
    ASSERT_TRUE(sequence.Load("Seqs", "Walk", nullptr));
    EXPECT_EQ(Widths(sequence), (std::vector<uint32_t>{4, 12, 20}));
    EXPECT_FLOAT_EQ(sequence.GetFramesPerSecond(), 7.5f);
}

TEST_F(SequenceBuild, CurrentFrameFollowsTheClockOverTheWrap)
{
    Images("Spin", {{"s1", 4}, {"s2", 8}, {"s3", 12}, {"s4", 16}});
    WriteBytes("Seqs/-Spin/Properties.txt", SequenceProperties("Frames Per Second=10"));
    CSequence sequence;
    ASSERT_TRUE(sequence.Load("Seqs", "Spin", nullptr));
    // Only the low 24 bits of the tick count.
    s_Tick = 0x1000000u + 100;
    EXPECT_EQ(sequence.GetCurrentFrame(), sequence.GetFrame(1));
    s_Tick = 0x3000000u + 250; // 2.5 rounds to even
    EXPECT_EQ(sequence.GetCurrentFrameIndex(), 2u);
    s_Tick = 0x7000000u + 350; // 3.5 rounds to 4, which wraps to 0
    EXPECT_EQ(sequence.GetCurrentFrame(), sequence.GetFrame(0));
    s_Tick = 0xFFFFFFFFu;
    EXPECT_EQ(sequence.GetCurrentFrameIndex(), uint32_t(167772) % 4);

    EXPECT_EQ(sequence.GetFrameAtPosition(0.0f), sequence.GetFrame(0));
    EXPECT_EQ(sequence.GetFrameAtPosition(0.6f), sequence.GetFrame(2));
    EXPECT_EQ(sequence.GetFrameAtPosition(1.0f), sequence.GetFrame(3));
    EXPECT_EQ(sequence.GetFrameAtPosition(5.0f), sequence.GetFrame(3));
    EXPECT_EQ(sequence.GetFrameAtPosition(-0.5f), sequence.GetFrame(3));

    CSequence empty;
    EXPECT_EQ(empty.GetCurrentFrame(), nullptr);
    EXPECT_EQ(empty.GetFrameAtPosition(0.5f), nullptr);
}

TEST_F(SequenceBuild, SettingsEditTheFilterChainInOrder)
{
    CSequence sequence;
    sequence.ResetToDefaults();
    CFrameFilter chain;
    chain.CopyFiltersFrom(GetDefaultFrameFilters());
    EXPECT_EQ(Kinds(chain), "3 6 7 8 11 ");
    sequence.BuildFilterChain(&chain);
    // Dither, run-length and centring: the defaults.
    EXPECT_EQ(Kinds(chain), "2 3 6 7 8 11 ");
    EXPECT_EQ(dynamic_cast<CFilterChangeBitDepth*>(chain.FindFilter(11))->GetDither(), Dither::On);

    auto built = [&](const std::string& lines) {
        CSequence other;
        WriteBytes("P/-X/Properties.txt", SequenceProperties(lines));
        other.ReadOrCreateProperties("P", "X");
        CFrameFilter c;
        c.CopyFiltersFrom(GetDefaultFrameFilters());
        other.BuildFilterChain(&c);
        return Kinds(c);
    };
    EXPECT_EQ(built("Run Length Encode=0"), "2 3 6 7 11 ");
    EXPECT_EQ(built("Blended With Black=0\nCrop Clor 0=0\nCenter Hot Spot=0"), "3 8 11 ");
    EXPECT_EQ(built("Blit Type=Blend Amplify Light"), "2 3 5 6 8 11 ");
    // The black-bias filter brings its blend filter with it above 8 bits.
    EXPECT_EQ(built("Blit Type=Blend Black Bias"), "2 3 4 6 7 8 11 ");
    // Run-length clear wins over the 8-bit alpha form.
    EXPECT_EQ(built("Use 8 Bit Alpha=1\nRun Length Encode=0"), "2 3 6 7 11 ");

    CSequence alpha;
    WriteBytes("P/-A/Properties.txt", SequenceProperties("Use 8 Bit Alpha=1\nDo Dither=0"));
    alpha.ReadOrCreateProperties("P", "A");
    CFrameFilter c;
    c.CopyFiltersFrom(GetDefaultFrameFilters());
    alpha.BuildFilterChain(&c);
    EXPECT_EQ(dynamic_cast<CFilterRLEColor0*>(c.FindFilter(8))->GetMode(), CFilterRLEColor0::Mode::TwoBands);
    EXPECT_EQ(Kinds(c), "2 3 6 7 8 11 ");
    EXPECT_EQ(dynamic_cast<CFilterChangeBitDepth*>(c.FindFilter(11))->GetDither(), Dither::Off);
}

TEST_F(SequenceBuild, PropertiesKeysAndDefaults)
{
    CBlitTypeList& types = CBlitTypeList::SGetInstance();
    CSequence plain;
    WriteBytes("P/-Plain/Properties.txt", SequenceProperties("JPEG Quality 2=70"));
    plain.ReadOrCreateProperties("P", "Plain");
    EXPECT_EQ(&plain.GetBlitType(), &GetTransparentMaskBlitType());
    EXPECT_EQ(plain.GetFlags(),
              kSequenceCenterHotSpot | kSequenceBlendedWithBlack | kSequenceCropColor0 | kSequenceRunLength
                  | kSequenceDoDither);
    EXPECT_EQ(plain.GetUseEvery(), 1u);
    EXPECT_FLOAT_EQ(plain.GetFramesPerSecond(), 15.0f);

    CSequence old;
    WriteBytes("P/-Old/Properties.txt",
               SequenceProperties("Load Black Bias=1\nQuality=3\nDither=1\nFixed Width=1\nCrop Clor 0=0"));
    old.ReadOrCreateProperties("P", "Old");
    EXPECT_EQ(old.GetBlitTypeIndex(), types.FindValue(&GetBlackBiasBlitType()));
    EXPECT_FALSE(old.HasFlag(kSequenceCropColor0));

    CSequence zero;
    WriteBytes("P/-Zero/Properties.txt", SequenceProperties("Load Black Bias=0"));
    zero.ReadOrCreateProperties("P", "Zero");
    EXPECT_EQ(&zero.GetBlitType(), &GetTransparentMaskBlitType());
}

TEST_F(SequenceBuild, LowerCasePropertiesFileIsReadAndNeverReplaced)
{
    Images("Coin", {{"c1", 8}});
    WriteBytes("Seqs/-Coin/properties.txt", SequenceProperties("Frames Per Second=30"));
    CSequence sequence;
    ASSERT_TRUE(sequence.Load("Seqs", "Coin", nullptr));
    EXPECT_FLOAT_EQ(sequence.GetFramesPerSecond(), 30.0f);
    EXPECT_EQ(ListNames("Seqs/-Coin"), "c1.tga properties.txt");
}

TEST_F(SequenceBuild, OffsetChangeMovesFramesWithoutReload)
{
    Images("Flag", {{"f1", 8}, {"f2", 12}});
    CSequence sequence;
    ASSERT_TRUE(sequence.Load("Seqs", "Flag", nullptr));
    const int32_t before = sequence.GetFrame(1)->GetOffsetX();
    const CRect bounds = sequence.GetBounds();
    sequence.SetXOffset(5);
    EXPECT_EQ(sequence.GetFrame(1)->GetOffsetX(), before - 5);
    EXPECT_EQ(sequence.GetBounds().left, bounds.left - 5);
    EXPECT_EQ(sequence.GetBounds().right, bounds.right - 5);
    sequence.SetYOffset(-3);
    EXPECT_EQ(sequence.GetBounds().top, bounds.top + 3);
}

TEST_F(SequenceBuild, OffsetsFromPropertiesAreBuiltIn)
{
    Images("Flag", {{"f1", 8}});
    WriteBytes("Seqs/-Flag/Properties.txt", SequenceProperties("X Offset=4\nY Offset=-2\nCenter Hot Spot=0"));
    CSequence sequence;
    ASSERT_TRUE(sequence.Load("Seqs", "Flag", nullptr));
    EXPECT_EQ(sequence.GetFrame(0)->GetOffsetX(), -4);
    EXPECT_EQ(sequence.GetFrame(0)->GetOffsetY(), 2);
    // The same from the cache on the next start.
    CSequence again;
    ASSERT_TRUE(again.Load("Seqs", "Flag", nullptr));
    EXPECT_EQ(again.GetFrame(0)->GetOffsetX(), -4);
    EXPECT_EQ(again.GetFrame(0)->GetOffsetY(), 2);
}

TEST_F(SequenceBuild, OffsetsAtTheEndsOfTheirRangeMoveHotSpotsModuloTheirSixteenBits)
{
    // A hand-edited file may hold any 32-bit offset; the hot spots keep 16.
    Images("Flag", {{"f1", 8}});
    WriteBytes("Seqs/-Flag/Properties.txt",
               SequenceProperties("X Offset=-2147483648\nY Offset=2147483647\nCenter Hot Spot=0"));
    CSequence sequence;
    ASSERT_TRUE(sequence.Load("Seqs", "Flag", nullptr));
    EXPECT_EQ(sequence.GetFrame(0)->GetOffsetX(), 0);
    EXPECT_EQ(sequence.GetFrame(0)->GetOffsetY(), 1);
    // Back to no offset in the editor: the frame is where it was drawn.
    sequence.SetXOffset(0);
    sequence.SetYOffset(0);
    EXPECT_EQ(sequence.GetFrame(0)->GetOffsetX(), 0);
    EXPECT_EQ(sequence.GetFrame(0)->GetOffsetY(), 0);
    sequence.SetYOffset(-2147483647 - 1);
    EXPECT_EQ(sequence.GetFrame(0)->GetOffsetY(), 0);
    sequence.SetXOffset(70000);
    EXPECT_EQ(sequence.GetFrame(0)->GetOffsetX(), -(70000 - 65536));
}

// A frame left out is the data author's to mend, so it is said on standard
// error, naming the sequence's frame and why, as a frame list says it.
TEST_F(SequenceBuild, UnreadableImageLeavesANullFrameWithAReport)
{
    Images("Walk", {{"w1", 8}, {"w3", 12}});
    WriteBytes("Seqs/-Walk/w2.tga", "not an image");
    CSequence sequence;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(sequence.Load("Seqs", "Walk", nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Seqs/Walk (frame 2): Error loading frame \"Seqs/-Walk/w2.tga\"; left out\n");
    EXPECT_EQ(Widths(sequence), (std::vector<uint32_t>{8, 0, 12}));
    EXPECT_EQ(sequence.GetFrame(1), nullptr);
    CSequence again;
    ASSERT_TRUE(again.Load("Seqs", "Walk", nullptr));
    EXPECT_EQ(Widths(again), (std::vector<uint32_t>{8, 0, 12}));
}

// A new cache that does not read back leaves the frames built again from the
// images: what is left out is said once, not once for each build.
TEST_F(SequenceBuild, ANewCacheThatFailsToReadBackReportsEachLeftOutFrameOnce)
{
    Images("Walk", {{"w1", 8}, {"w3", 12}});
    WriteBytes("Seqs/-Walk/w2.tga", "not an image");
    // Emptied as it is opened to be read back.
    CScopedFileOpenHook hook([](const char* name) {
        if (std::string(name).find("Walk.Sequence") != std::string::npos)
            std::filesystem::resize_file(name, 0);
    });
    SetFileOpenNotificationsEnabled(true);
    CSequence sequence;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(sequence.Load("Seqs", "Walk", nullptr));
    SetFileOpenNotificationsEnabled(false);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Seqs/Walk (frame 2): Error loading frame \"Seqs/-Walk/w2.tga\"; left out\n");
    EXPECT_EQ(Widths(sequence), (std::vector<uint32_t>{8, 0, 12}));
}

// A refusal an earlier image left behind is not a damaged frame's reason.
TEST_F(SequenceBuild, ADamagedFramesReportNamesItsOwnFile)
{
    Images("Walk", {{"w1", 8}});
    WriteBytes("Seqs/-Walk/w2.tga", "not an image");
    ReportImageRefused("Seqs/-Other/big.tga", "its size is more than any image may have");
    CSequence sequence;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(sequence.Load("Seqs", "Walk", nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Seqs/Walk (frame 2): Error loading frame \"Seqs/-Walk/w2.tga\"; left out\n");
}

// The data's names are 8-bit: a picture whose name has a character they
// cannot hold is listed under a name no file has.
TEST_F(SequenceBuild, AnImageWhoseNameTheDataCannotHoldIsReported)
{
    Images("Walk", {{"w1", 8}, {"w2 \xCE\xA9", 10}, {"w3", 12}}); // "w2 Omega" in UTF-8
    CSequence sequence;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(sequence.Load("Seqs", "Walk", nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Seqs/Walk (frame 2): the file name of \"Seqs/-Walk/w2 ?\" has characters that the data's file names "
              "cannot hold (read as \"?\"); rename the file; left out\n");
    EXPECT_EQ(Widths(sequence), (std::vector<uint32_t>{8, 0, 12}));
}

// What is no regular file is no picture, whatever its name: a named pipe and
// a link to a device are reported as such, not as names to change.
TEST_F(SequenceBuild, AnImageThatIsNoRegularFileIsReportedAsSuch)
{
    Images("Walk", {{"w1", 8}});
    ASSERT_EQ(::mkfifo(PathOf("Seqs/-Walk/w2.tga").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", PathOf("Seqs/-Walk/w3.png"));
    CSequence sequence;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(sequence.Load("Seqs", "Walk", nullptr));
    const std::string tail = " is not a regular file (a named pipe or a device, or a link to one); left out\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Seqs/Walk (frame 2): \"Seqs/-Walk/w2\"" + tail + "Seqs/Walk (frame 3): \"Seqs/-Walk/w3\"" + tail);
    EXPECT_EQ(Widths(sequence), (std::vector<uint32_t>{8, 0, 0}));
}

TEST_F(SequenceBuild, MissingPropertiesThatCannotBeWrittenIsFatal)
{
    EXPECT_EXIT(
        {
            CSequence sequence;
            sequence.ReadOrCreateProperties("Nowhere", "Gone");
        },
        testing::ExitedWithCode(255), "The sequence \"Nowhere/Gone\" has no Properties.txt");
}

// Each image far under the per-image cap, together past the data's budget
// (here 1,000 pixels): the frames past it are refused, each with its file
// named, as images past the cap are; the budget comes back with the frames.
TEST_F(SequenceBuild, FramesPastTheDataBudgetAreRefusedWithTheirFileNamed)
{
    const uint64_t held = GetDataPixelBytesHeld();
    const uint64_t budget = SetDataPixelBudget(held + 1000 * 4);
    for (const char* name : {"a", "b", "c"})
        WriteTga(std::string("Seqs/-Big/") + name + ".tga", 20, 20);
    WriteTga("Seqs/-Small/a.tga", 10, 10);
    auto present = [](CSequence& sequence) {
        std::vector<bool> out;
        for (uint32_t i = 0; i < sequence.GetFrameCount(); ++i)
            out.push_back(sequence.GetFrame(i) != nullptr);
        return out;
    };
    // Said on standard error whatever the debug output, as a frame list's are.
    const auto refused = [](const std::string& report, const char* frame) {
        return report.find(frame) == 0
            && report.find(" refused: the data's images together would hold more than") != std::string::npos
            && report.find("; left out\n") == report.size() - 11;
    };
    {
        CSequence big;
        ClearLastImageRefusal();
        testing::internal::CaptureStderr();
        ASSERT_TRUE(big.Load("Seqs", "Big", nullptr));
        const std::string report = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(refused(report, "Seqs/Big (frame 3): Image \"Seqs/-Big/c.")) << report;
        EXPECT_EQ(present(big), (std::vector<bool>{true, true, false}));
        EXPECT_NE(std::string(GetLastImageRefusal().GetString()).find("Seqs/-Big/c."), std::string::npos)
            << GetLastImageRefusal().GetString();
        EXPECT_EQ(GetDataPixelBytesHeld(), held + 800 * 4);
        // The hole is the budget's, not the images': no cache keeps it.
        EXPECT_FALSE(std::filesystem::exists("Cache/Seqs/Big.Sequence"));
        // What is left is enough for a small one.
        CSequence small;
        ASSERT_TRUE(small.Load("Seqs", "Small", nullptr));
        EXPECT_EQ(present(small), (std::vector<bool>{true}));
    }
    EXPECT_EQ(GetDataPixelBytesHeld(), held);

    // The same from a cache written while all three fitted.
    SetDataPixelBudget(held + 1200 * 4);
    {
        CSequence big;
        ASSERT_TRUE(big.Load("Seqs", "Big", nullptr));
        EXPECT_EQ(present(big), (std::vector<bool>{true, true, true}));
    }
    SetDataPixelBudget(held + 1000 * 4);
    {
        CSequence big;
        ClearLastImageRefusal();
        testing::internal::CaptureStderr();
        ASSERT_TRUE(big.Load("Seqs", "Big", nullptr));
        const std::string report = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(refused(report, "Cache/Seqs/Big.Sequence (frame 3): Image ")) << report;
        EXPECT_EQ(present(big), (std::vector<bool>{true, true, false}));
        EXPECT_NE(std::string(GetLastImageRefusal().GetString()).find("Big.Sequence (frame 3)"), std::string::npos)
            << GetLastImageRefusal().GetString();
    }
    // Frames left out of one sequence are said once, with their count: a
    // cache of a great many frames would otherwise say as many lines.
    const auto saidOnce = [&](const char* line, const std::vector<bool>& frames) {
        CSequence big;
        testing::internal::CaptureStderr();
        ASSERT_TRUE(big.Load("Seqs", "Big", nullptr));
        const std::string report = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(refused(report, line)) << report;
        EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;
        EXPECT_EQ(present(big), frames);
    };
    SetDataPixelBudget(held + 500 * 4);
    saidOnce("Cache/Seqs/Big.Sequence (2 frames from frame 2): Image ", {true, false, false});
    // And so from the images.
    WriteTga("Seqs/-Big/d.tga", 20, 20);
    saidOnce("Seqs/Big (3 frames from frame 2): Image \"Seqs/-Big/b.", {true, false, false, false});
    // A damaged picture after them is a fault of its own, said apart; the
    // budget's line, unchanged, was said already this start.
    WriteBytes("Seqs/-Big/e.tga", "not a picture");
    {
        CSequence big;
        testing::internal::CaptureStderr();
        ASSERT_TRUE(big.Load("Seqs", "Big", nullptr));
        const std::string report = testing::internal::GetCapturedStderr();
        EXPECT_EQ(report.find("Seqs/Big (frame 5): Error loading frame \"Seqs/-Big/e."), 0u) << report;
        EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;
    }
    SetDataPixelBudget(budget);
}

// A "{" where a property belongs is a designer's slip: the report names the
// file under the data folder and the line, for the list's read and the
// sequence's own alike.
TEST_F(SequenceBuild, AStrayBlockInThePropertiesIsReportedWithItsFileAndLine)
{
    Images("Walk", {{"w1", 8}});
    WriteBytes("Seqs/-Walk/Properties.txt", "CSequence\r\n{\r\n\tUse Every=2\r\n\r\n\t{\r\n\t}\r\n}\r\n");
    const CScopedThrowingFatal throwing;
    const auto reportOf = [](const std::function<void()>& read) {
        try {
            read();
        } catch (const CFatalErrorException& report) {
            return report;
        }
        return CFatalErrorException{"none", ""};
    };
    for (const CFatalErrorException& report :
         {reportOf([] { CSequence().ReadOrCreateProperties("Seqs", "Walk"); }),
          reportOf([] { delete CSequence::LoadPropertiesFile("Seqs/-Walk/Properties.txt", nullptr); })}) {
        EXPECT_EQ(report.caption, "Damaged Sequence Properties");
        EXPECT_NE(report.message.find(std::string("\"") + GetBaseFolder(0).GetString() + "Seqs/-Walk/Properties.txt\""),
                  std::string::npos)
            << report.message;
        EXPECT_NE(report.message.find("line 5 is a \"{\" where a property was expected"), std::string::npos)
            << report.message;
        EXPECT_EQ(report.message.find("ReadCustomProperties"), std::string::npos) << "no words for a programmer";
    }

    // A sound file reads as before.
    WriteBytes("Seqs/-Walk/Properties.txt", SequenceProperties("Use Every=2"));
    std::unique_ptr<CObject> read(CSequence::LoadPropertiesFile("Seqs/-Walk/Properties.txt", nullptr));
    ASSERT_NE(dynamic_cast<CSequence*>(read.get()), nullptr);
    EXPECT_EQ(static_cast<CSequence*>(read.get())->GetUseEvery(), 2u);

    // Its first line is read as other object text is: a hole of zeros longer
    // than a class name is refused at its head, and nothing after it is read.
    WriteBytes("Seqs/-Walk/Properties.txt", std::string(4096, '\0') + "\r\n" + SequenceProperties("Use Every=2"));
    CSequence sequence;
    sequence.ReadOrCreateProperties("Seqs", "Walk");
    EXPECT_EQ(sequence.GetUseEvery(), 1u);
    read.reset(CSequence::LoadPropertiesFile("Seqs/-Walk/Properties.txt", nullptr));
    EXPECT_EQ(read, nullptr);
}

} // namespace
