// The level timer's options as a data file gives them: sequences and hue
// remaps named, read into list indices and written back by name.
#include "game/world/CLevelTimer.h"
#include "game/world/RegisterGameWorldClasses.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"
#include "sequences/SequenceTestSupport.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class LevelTimerOptions : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        RegisterGameWorldClasses();
        for (const char* name : {"Clock", "Clock Closed"})
            WriteTga("Resources/Sequences/-" + std::string(name) + "/0001.tga", 4, 4);
        for (const char* name : {"Dusk", "Night"})
            WriteBytes("Resources/" + std::string(name) + ".HueRemap.txt", "CHueRemapperStyleSheet\r\n{\r\n}\r\n");
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetHueRemapperStyleSheetList().SetSource(nullptr, "Resources", 0);
    }
    void TearDown() override
    {
        GetSequenceList().RemoveAll();
        GetSequenceList().SetSource(nullptr, "Nowhere", 0);
        GetHueRemapperStyleSheetList().RemoveAll();
        GetHueRemapperStyleSheetList().SetSource(nullptr, "Nowhere", 0);
        SequenceFolderTest::TearDown();
    }
};

TEST_F(LevelTimerOptions, NamesReadAsListIndicesAndWriteBackAlike)
{
    const std::string text = "CLevelTimerOptions\r\n{\r\n\tNumber Of Pages=4\r\n\tTimer Sequence=Clock\r\n"
                             "\tHue Remaps Over Time=Array\r\n\t{\r\n\t\tHue=Night\r\n\t\tHue=Dusk\r\n"
                             "\t\tHue=Night\r\n\t}\r\n\tClosed Sequence=Clock Closed\r\n}\r\n";
    CJString error;
    std::unique_ptr<CObject> read(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Quiet, &error));
    auto* options = dynamic_cast<CLevelTimerOptions*>(read.get());
    ASSERT_NE(options, nullptr) << error.GetString();
    EXPECT_EQ(options->m_NumberOfPages, 4u);
    EXPECT_EQ(options->m_TimerSequence, GetSequenceList().Find("Clock"));
    EXPECT_EQ(options->m_ClosedSequence, GetSequenceList().Find("Clock Closed"));
    const int32_t night = GetHueRemapperStyleSheetList().Find("Night");
    const int32_t dusk = GetHueRemapperStyleSheetList().Find("Dusk");
    ASSERT_GE(night, 0);
    ASSERT_GE(dusk, 0);
    ASSERT_EQ(options->m_HueRemapperStyleSheetArray.GetCount(), 3u);
    EXPECT_EQ(options->m_HueRemapperStyleSheetArray[0], night);
    EXPECT_EQ(options->m_HueRemapperStyleSheetArray[1], dusk);
    EXPECT_EQ(options->m_HueRemapperStyleSheetArray[2], night);

    const std::string written = ObjectToText(options, IdMode::WithoutIds);
    std::unique_ptr<CObject> again(ObjectFromText(written, IdMode::WithoutIds, StreamReports::Quiet, &error));
    ASSERT_NE(again, nullptr) << error.GetString();
    EXPECT_TRUE(again->IsEqualTo(options)) << written;
}

} // namespace
