// The general objects list and the resource lists of the game's data: what
// a designer's files give the game, loaded once, and how a data set that
// lacks an object or holds the wrong class stops the game.
#include "game/world/CBackgroundStyleSheet.h"
#include "support/TestSupport.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CPeriod.h"
#include "game/world/CRules.h"
#include "images/CFrameList.h"
#include "sequences/CSequenceList.h"
#include "sequences/SequenceTestSupport.h"
#include "sound/CMusicPlayer.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class GameDataLists : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        for (const char* name : {"Aaa None", "Empty Lot", "Scaffold", "Cottage"})
            WriteTga("Resources/Sequences/-" + std::string(name) + "/0001.tga", 4, 4);
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        for (const char* name : {"Aaa None", "Beach Sand"})
            WriteTga("Resources/Frames/" + std::string(name) + ".tga", 4, 4);
        GetFrameLibrary().SetSource(nullptr, "Resources/Frames", 0);
        GetPeriodList().SetSource(nullptr, "Resources", 0);
        GetBackgroundStyleSheetList().SetSource(nullptr, "Resources", 0);
    }
    void TearDown() override
    {
        // The lists are the program's: nothing of this folder stays loaded.
        for (CObjectFileArray* list : {static_cast<CObjectFileArray*>(&GetGeneralObjects()),
                                       static_cast<CObjectFileArray*>(&GetPeriodList()),
                                       static_cast<CObjectFileArray*>(&GetBackgroundStyleSheetList())}) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        GetSequenceList().SetSource(nullptr, "Nowhere", 0);
        GetFrameLibrary().SetSource(nullptr, "Nowhere", 0);
        SequenceFolderTest::TearDown();
    }
};

TEST_F(GameDataLists, AGeneralObjectLoadsOnceOnItsFirstFetchAndEveryFetchGivesThatObject)
{
    WriteBytes("Resources/Tuning/Late Period.Object.txt", ObjectText("CPeriod", "Period Year=1970s"));
    WriteBytes("Resources/Town Look.Object.txt", ObjectText("CBackgroundStyleSheet", ""));
    InitGeneralObjects();
    CGeneralObjectsList& list = GetGeneralObjects();
    CJString listName;
    list.GetListName(listName);
    EXPECT_STREQ(listName.GetString(), "General Objects");

    const int32_t index = list.Find("Late Period");
    ASSERT_GE(index, 0);
    EXPECT_FALSE(list.IsItemLoaded(index)) << "nothing is read before it is asked for";

    auto& period = GetGeneralObjectAs<CPeriod>("Late Period");
    EXPECT_STREQ(period.m_PeriodYear.GetString(), "1970s");
    EXPECT_EQ(&GetGeneralObjectAs<CPeriod>("Late Period"), &period);
    EXPECT_EQ(GetGeneralObject("late period"), &period) << "names are found without regard to case";
    EXPECT_EQ(list.GetUsageStats(index)->loads, 1u);
    // Any class is welcome in the list; the fetch names the class it needs.
    EXPECT_EQ(GetGeneralObject("Town Look")->GetClassInfo(), CBackgroundStyleSheet::SGetClassInfo());
}

TEST_F(GameDataLists, AMissingObjectStopsTheGameAtItsFirstFetchNotAtStartUp)
{
    WriteBytes("Resources/Lot Options.Object.txt", ObjectText("CPeriod", ""));
    InitGeneralObjects();
    EXPECT_EQ(GetGeneralObjects().GetCount(), 1);
    EXPECT_EXIT(GetGeneralObject("Goal Options"), testing::ExitedWithCode(255),
                "Fatal Not Found Error(.|\r|\n)*\"Goal Options\" which should be in the \"General Objects\" list"
                "(.|\r|\n)*Lot Options");
    EXPECT_EXIT(CRules::SGetInstance(), testing::ExitedWithCode(255), "\"Rules\"");
}

TEST_F(GameDataLists, AnObjectOfTheWrongClassIsRefused)
{
    WriteBytes("Resources/Rules.Object.txt", ObjectText("CPeriod", ""));
    WriteBytes("Resources/Modern.Period.txt", ObjectText("CBackgroundStyleSheet", ""));
    WriteBytes("Resources/Beach.Background.txt", ObjectText("CBackgroundStyleSheet", ""));
    InitGeneralObjects();
    EXPECT_EXIT(CRules::SGetInstance(), testing::ExitedWithCode(255),
                "File contains invalid class type of CPeriod");

    CPeriodList& periods = GetPeriodList();
    ASSERT_EQ(periods.GetCount(), 1);
    EXPECT_EQ(periods.GetObject(0), nullptr);
    EXPECT_STREQ(periods.GetLastLoadError().GetString(), "File contains invalid class type of CBackgroundStyleSheet");
    // Backgrounds begin with their none entry.
    ASSERT_EQ(GetBackgroundStyleSheetList().GetCount(), 2);
    EXPECT_NE(GetBackgroundStyleSheetList().GetObject(1), nullptr);
}

TEST_F(GameDataLists, BackgroundStyleSheetsReadTheirLotImagesAndRoundTrip)
{
    WriteBytes("Resources/Backgrounds/Beach.Background.txt",
               ObjectText("CBackgroundStyleSheet", "Background Image=Beach Sand\n"
                                             "Vacant Images List=Array\n{\n"
                                             "Vacant Images=Empty Lot\n"
                                             "Vacant Images=Scaffold\n}\n"
                                             "LivedIn Images List=Array\n{\n"
                                             "LivedIn Images=Cottage\n}"));
    WriteBytes("Resources/Backgrounds/Aaa Plain.Background.txt", ObjectText("CBackgroundStyleSheet", ""));
    CBackgroundStyleSheetList& list = GetBackgroundStyleSheetList();
    ASSERT_EQ(list.GetCount(), 3);
    CBackgroundStyleSheet* plain = list.GetObject(1);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->m_VacantImages.GetCount(), 0u) << "a vacant lot may have nothing to choose from";
    CBackgroundStyleSheet* beach = list.GetObject(2);
    ASSERT_NE(beach, nullptr);
    ASSERT_EQ(beach->m_VacantImages.GetCount(), 2u);
    EXPECT_EQ(beach->m_VacantImages[1], GetSequenceList().Find("Scaffold"));
    ASSERT_EQ(beach->m_LivedInImages.GetCount(), 1u);
    EXPECT_EQ(beach->m_LivedInImages[0], GetSequenceList().Find("Cottage"));
    EXPECT_EQ(beach->m_ConstructionImages.GetCount(), 0u);
    EXPECT_EQ(beach->m_BackgroundImage, GetFrameLibrary().Find("Beach Sand"));

    const std::string text = ObjectToText(beach, IdMode::WithoutIds);
    std::unique_ptr<CObject> copy(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Fatal));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(ObjectToText(copy.get(), IdMode::WithoutIds), text);
    CBackgroundStyleSheet fromBinary;
    ASSERT_TRUE(ObjectFromBinary(fromBinary, ObjectToBinary(beach, IdMode::WithIds), IdMode::WithIds,
                                 StreamReports::Fatal));
    EXPECT_EQ(ObjectToText(&fromBinary, IdMode::WithoutIds), text);
}

TEST_F(GameDataLists, AMisspeltKeyInADesignersFileIsReportedWithTheFile)
{
    WriteBytes("Resources/Periods/Fifties.Period.txt", ObjectText("CPeriod", "Period Yaer=1950s"));
    testing::internal::CaptureStderr();
    CPeriod* period = GetPeriodList().GetObject(0);
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_NE(period, nullptr);
    EXPECT_TRUE(period->m_PeriodYear.IsEmpty());
    EXPECT_NE(said.find("\"Period Yaer\" with a value of \"1950s\" for class CPeriod"), std::string::npos) << said;
    EXPECT_NE(said.find("Periods/Fifties.Period.txt"), std::string::npos) << said;
}

TEST_F(GameDataLists, ASongReferenceToNoneIsWrittenAndReadBack)
{
    // Nothing lists music yet: every song reference is to none.
    EXPECT_EQ(GetSongList().GetCount(), 0);
    CPeriod period;
    const std::string text = ObjectToText(&period, IdMode::WithoutIds);
    EXPECT_NE(text.find("\tIntro Music=\r\n"), std::string::npos);
    std::unique_ptr<CObject> copy(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Fatal));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(static_cast<CPeriod*>(copy.get())->m_IntroMusic, 0);
    CPeriod fromBinary;
    ASSERT_TRUE(ObjectFromBinary(fromBinary, ObjectToBinary(&period, IdMode::WithIds), IdMode::WithIds,
                                 StreamReports::Fatal));
    EXPECT_EQ(fromBinary.m_MainLoopMusic, 0);
}

} // namespace
