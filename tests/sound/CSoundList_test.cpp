#include "sound/CSoundList.h"

#include "sound/CSoundDevice.h"

#include "SoundTestSupport.h"
#include "objects/CFileListList.h"

#include <memory>

namespace {

class SoundListTest : public CSoundDeviceTest {
protected:
    void SetUp() override
    {
        CSoundDeviceTest::SetUp();
        WriteBytes("Resources/UI/Button Action.wav", MonoWave(Constant(20000, 1000)));
        WriteBytes("Resources/UI/Only Ogg.ogg", EncodeVorbis(Sine(2000, 1, 40.0, 0.3), 1, 22050));
        WriteBytes("Resources/Zoo/Lion.wav", MonoWave(Constant(500, 300)));
        WriteBytes("Resources/Zoo/Notes.txt", "not a sound");
        m_List = std::make_unique<CSoundList>(m_Device);
        ASSERT_EQ(m_List->Load("Sounds", "Resources", ".wav", ".ogg"), 3);
    }
    void TearDown() override
    {
        m_List.reset();
        CSoundDeviceTest::TearDown();
    }

    std::unique_ptr<CSoundList> m_List;
};

TEST_F(SoundListTest, ListsTheSoundFilesBelowTheFolderByRelativeName)
{
    EXPECT_STREQ(m_List->GetItemName(0), "UI/Button Action.wav");
    EXPECT_STREQ(m_List->GetItemName(1), "UI/Only Ogg.ogg");
    EXPECT_STREQ(m_List->GetItemName(2), "Zoo/Lion.wav");
    EXPECT_FALSE(m_List->IsItemLoaded(0)) << "nothing is decoded before use";
    EXPECT_GE(CFileListList::SGetInstance().FindIndexOfList(m_List.get()), 0);
}

struct LookupCase {
    const char* name;
    const char* key;
    int32_t index;
};

class SoundListLookupTest : public SoundListTest, public testing::WithParamInterface<LookupCase> {};

TEST_P(SoundListLookupTest, FindsNamesByTheirOtherExtension)
{
    EXPECT_EQ(m_List->Find(GetParam().key), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(Names, SoundListLookupTest,
                         testing::Values(LookupCase{"Exact", "Zoo/Lion.wav", 2},
                                         LookupCase{"WithoutExtension", "UI/Button Action", 0},
                                         LookupCase{"WavFindsOgg", "UI/Only Ogg.wav", 1},
                                         LookupCase{"OggNeverFindsWav", "UI/Button Action.ogg", -1},
                                         LookupCase{"OtherExtensionBecomesWav", "Zoo/Lion.mp3", 2},
                                         LookupCase{"CaseAndBackslashes", "ui\\BUTTON ACTION.WAV", 0},
                                         LookupCase{"FileNameAlone", "Lion.wav", 2},
                                         LookupCase{"Unknown", "UI/Nothing.wav", -1}),
                         [](const testing::TestParamInfo<LookupCase>& testInfo) { return testInfo.param.name; });

TEST_F(SoundListTest, IndexesOutsideTheListAreRefused)
{
    EXPECT_FALSE(m_List->PlayByIndex(m_List->GetCount()));
    EXPECT_FALSE(m_List->PlayByIndex(-1));
    EXPECT_EQ(m_List->GetSoundByIndex(-1), nullptr);
    EXPECT_EQ(m_List->NewCopyByIndex(3), nullptr);
    EXPECT_FALSE(m_List->PlayByName("UI/Missing"));
    EXPECT_TRUE(m_List->PlayByIndex(2));
    EXPECT_TRUE(m_List->PlayByName("Zoo/Lion"));
    EXPECT_EQ(m_List->GetUsageStats(2)->totalUses, 2u);
}

TEST_F(SoundListTest, CopiesByIndexAreCountedWhileAlive)
{
    std::unique_ptr<CSound> copy = m_List->NewCopyByIndex(2);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(m_List->GetLiveCopies(2), 1);
    EXPECT_TRUE(copy->Play(0)) << "completes its copy of the deferred sound";
    EXPECT_EQ(Render(1)[0], 300);
    copy.reset();
    m_List->DecrementCopyCount(2);
    EXPECT_EQ(m_List->GetLiveCopies(2), 0);
}

TEST_F(SoundListTest, ADisabledListSucceedsSilently)
{
    m_List->SetEnabled(false);
    EXPECT_TRUE(m_List->PlayByName("Zoo/Lion.wav"));
    EXPECT_TRUE(m_List->PlayByName("nothing at all"));
    EXPECT_EQ(m_Device.CountPlaying(0), 0u);
    EXPECT_EQ(m_List->NewCopyByIndex(0), nullptr);
}

TEST_F(SoundListTest, UnloadingKeepsTheSoundAndItsCopiesValid)
{
    CSound* sound = m_List->GetSoundByIndex(0);
    ASSERT_TRUE(m_List->PlayByIndex(0));
    CSound* copy = sound->GetAnAvailableCopy();
    ASSERT_NE(copy, nullptr);
    ASSERT_TRUE(copy->Play(0));
    m_List->UnloadItem(0);
    EXPECT_FALSE(m_List->IsItemLoaded(0));
    EXPECT_EQ(m_List->GetSoundByIndex(0), sound);
    EXPECT_EQ(m_List->GetUsageStats(0)->unloads, 1u);
    EXPECT_EQ(Render(1)[0], 1000) << "the copy plays on from its share of the data";
    EXPECT_TRUE(m_List->PlayByIndex(0));
    EXPECT_TRUE(m_List->IsItemLoaded(0)) << "decoded again at the next use";
}

TEST_F(SoundListTest, ReadingAheadKeepsSoundsUndecoded)
{
    m_List->PreloadAll();
    EXPECT_EQ(m_Device.GetLoadedCount(), 0);
    EXPECT_EQ(m_List->GetSoundByIndex(1)->GetPendingName().rfind("~CFileBuf 0x", 0), 0u);
    EXPECT_TRUE(m_List->PlayByIndex(1));
    EXPECT_EQ(m_List->GetItemMemorySize(1), 2000u * 2);
}

TEST_F(CSoundDeviceTest, ASecondFileDifferingOnlyInCaseIsNotListedAgain)
{
    WriteBytes("Resources/Click.wav", MonoWave(Constant(10, 1)));
    WriteBytes("Resources/CLICK.wav", MonoWave(Constant(10, 2)));
    CSoundList list(m_Device);
    EXPECT_EQ(list.Load("Case Sounds", "Resources", ".wav", ".ogg"), 1);
}

TEST_F(CSoundDeviceTest, AReloadedListFindsItsNewSoundsByFileName)
{
    CSoundList list(m_Device);
    ASSERT_EQ(list.Load("Reloaded Sounds", "Resources", ".wav", ".ogg"), 0);
    EXPECT_EQ(list.Find("Click.wav"), -1);
    WriteBytes("Resources/UI/Click.wav", MonoWave(Constant(10, 1)));
    ASSERT_EQ(list.Load("Reloaded Sounds", "Resources", ".wav", ".ogg"), 1);
    EXPECT_EQ(list.Find("Click.wav"), 0);
    EXPECT_EQ(list.Find("ui\\click"), 0);
}

} // namespace
