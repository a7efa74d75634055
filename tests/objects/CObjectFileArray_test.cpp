#include "objects/CObjectFileArray.h"

#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/CMountedArchiveTable.h"
#include "foundation/FatalError.h"
#include "foundation/FileTestSupport.h"
#include "objects/CFileListList.h"
#include "objects/CObject.h"
#include "objects/CObjectStream.h"
#include "objects/ObjectFileCallbacks.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

CObjectFileArray* g_Slots = nullptr;
CObjectFileArray* g_Upgrades = nullptr;
CObjectFileArray& SlotList()
{
    return *g_Slots;
}
CObjectFileArray& UpgradeList()
{
    return *g_Upgrades;
}

// A member naming another list's item: the text is the item name, resolved
// (and loaded) when the value is read.
template <typename T, CObjectFileArray& (*ListOf)()>
class CItemReferenceProperty : public CTypedProperty<T*> {
    using Base = CTypedProperty<T*>;

public:
    using ValueType = T*;
    CItemReferenceProperty(const char* name, T* defaultValue)
        : Base(name, defaultValue)
    {
    }
    void GetValueText(CObject* object, CJString& out) const override
    {
        CObjectFileArray& list = ListOf();
        out = list.GetItemNameString(list.FindObjectIndex(Base::Value(object)));
    }
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream*) const override
    {
        Base::Value(object) = text.IsEmpty() ? nullptr : dynamic_cast<T*>(ListOf().GetObjectByName(text.GetString()));
    }
    void WriteBinary(CObject*, CObjectStream&) const override {}
    bool ReadBinary(CObject*, CObjectStream&) const override { return false; }
};

class CTestSlot : public CObject {
    OMBRISALT_REFLECTED(CTestSlot, CObject)
public:
    CTestSlot() { InitDeclaredProperties(); }
    ~CTestSlot() override { DestroyDeclaredProperties(); }
    int32_t m_Capacity;
    CJString m_Label;
};

class CTestUpgrade : public CObject {
    OMBRISALT_REFLECTED(CTestUpgrade, CObject)
public:
    CTestUpgrade() { InitDeclaredProperties(); }
    ~CTestUpgrade() override { DestroyDeclaredProperties(); }
    void PreloadReferencedItems() override { ++m_Preloads; }
    int32_t m_Cost;
    CJString m_Title;
    CTestSlot* m_Slot;
    CTestUpgrade* m_Requires;
    int32_t m_Preloads = 0;
};

OMBRISALT_IMPLEMENT_CLASS(CTestSlot, 1)
OMBRISALT_IMPLEMENT_CLASS(CTestUpgrade, 1)

void CTestSlot::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CTestSlot::m_Capacity, "Capacity", 1);
    d.Add(&CTestSlot::m_Label, "Label", "");
}

void CTestUpgrade::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CTestUpgrade::m_Cost, "Cost", 0);
    d.Add(&CTestUpgrade::m_Title, "Title", "");
    d.Add<CItemReferenceProperty<CTestSlot, &SlotList>>(&CTestUpgrade::m_Slot, "Slot", nullptr);
    d.Add<CItemReferenceProperty<CTestUpgrade, &UpgradeList>>(&CTestUpgrade::m_Requires, "Requires", nullptr);
}

std::string Text(const char* className, const std::string& lines)
{
    return std::string(className) + "\r\n{\r\n" + lines + "}\r\n";
}

using CUpgradeList = CObjectArrayBaseTemplate<CTestUpgrade, CTestUpgrade>;
using CSlotList = CObjectArrayBaseTemplate<CTestSlot, CTestSlot>;

// Load flag set: failed items are fatal, any class is accepted.
class CStrictUpgradeList : public CUpgradeList {
public:
    CStrictUpgradeList()
        : CUpgradeList("Upgrade.txt")
    {
    }
    bool GetLoadFlag() override { return true; }
};

// Tells the file of its objects, as lists that support saving do.
class CSavingSlotList : public CSlotList {
public:
    CSavingSlotList()
        : CSlotList("UpgradeSlot.txt")
    {
    }
    bool GetObjectFileName(const CObject* object, CJString& name) override
    {
        const int32_t i = FindObjectIndex(object);
        if (i < 0)
            return false;
        name.Format("%s/%s.UpgradeSlot.txt", GetFolderName(), GetItemName(i));
        return true;
    }
};

class ObjectFileList : public ArchiveFixture {
protected:
    void SetUp() override
    {
        ArchiveFixture::SetUp();
        // As the program starts: the lists answer for their objects' files.
        RegisterObjectClasses();
        CTestSlot::SGetClassInfo();
        CTestUpgrade::SGetClassInfo();
        Put("Data/Upgrades/Cannon.Upgrade.txt",
            Text("CTestUpgrade", "\tCost=5\r\n\tTitle=Big Gun\r\n\tSlot=front\r\n"));
        Put("Data/Upgrades/ARMOR.upgrade.TXT", Text("CTestUpgrade", "\tCost=2\r\n"));
        Put("Data/Upgrades/armor.Upgrade.txt", Text("CTestUpgrade", "\tCost=3\r\n"));
        // Equal to both but for case once its dash is gone: the list, not the folder, picks.
        Put("Data/Upgrades/-Armor.Upgrade.txt", Text("CTestUpgrade", "\tCost=4\r\n"));
        Put("Data/Upgrades/Ships/-Shield.Upgrade.txt", Text("CTestUpgrade", "\tCost=7\r\n\tSlot=Rear\r\n"));
        Put("Data/Upgrades/-Old/Ghost.Upgrade.txt", Text("CTestUpgrade", ""));
        Put("Data/Upgrades/Wrong.Upgrade.txt", Text("CTestSlot", "\tCapacity=9\r\n"));
        Put("Data/Upgrades/Loop.Upgrade.txt", Text("CTestUpgrade", "\tRequires=Loop\r\n"));
        Put("Data/Upgrades/Empty.Upgrade.txt", "");
        Put("Data/Upgrades/notes.txt", "not an item");
        Put("Data/Slots/Front.UpgradeSlot.txt", Text("CTestSlot", "\tCapacity=2\r\n\tLabel=Bow\r\n"));
        Put("Data/Slots/Aft/Rear.UpgradeSlot.txt", Text("CTestSlot", "\tCapacity=4\r\n"));
        Put("Data/Cache/Phases/Early.property", Text("CTestSlot", "\tCapacity=11\r\n"));
        // A stored archive made with the engine's own member writer.
        Put("Data/Upgrades/Packed.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
        EXPECT_TRUE(WriteThroughFile("Data/Upgrades/Packed.zip;Laser.Upgrade.txt",
                                     Text("CTestUpgrade", "\tCost=9\r\n\tRequires=Cannon\r\n")));
        MountArchives("Data", ProgramArchives::Skip, DataZips::Mount);

        m_Upgrades.SetSource("Upgrades", "upgrades", 0);
        m_Slots.RegisterList("Slots", "SLOTS");
        m_Slots.SetSource(nullptr, "SLOTS", 0);
        g_Upgrades = &m_Upgrades;
        g_Slots = &m_Slots;
    }
    void TearDown() override
    {
        g_Upgrades = g_Slots = nullptr;
        ArchiveFixture::TearDown();
    }
    static std::vector<std::string> Names(CObjectFileArray& list)
    {
        std::vector<std::string> names;
        for (int32_t i = 0; i < list.GetCount(); ++i)
            names.push_back(list.GetItemName(i));
        return names;
    }

    CUpgradeList m_Upgrades{"Upgrade.txt"};
    CSavingSlotList m_Slots;
};

} // namespace

TEST_F(ObjectFileList, EnumeratesOnFirstUseSortedWithoutDashesOrDuplicates)
{
    EXPECT_FALSE(m_Upgrades.IsEnumerated());
    ASSERT_EQ(Names(m_Upgrades),
              (std::vector<std::string>{"ARMOR", "Cannon", "Empty", "Loop", "Packed/Laser", "Ships/Shield", "Wrong"}));
    EXPECT_TRUE(m_Upgrades.IsEnumerated());
    EXPECT_STREQ(m_Upgrades.GetFolderName(), "upgrades");
    for (int32_t i = 0; i < m_Upgrades.GetCount(); ++i) {
        EXPECT_FALSE(m_Upgrades.IsItemLoaded(i));
        EXPECT_EQ(m_Upgrades.GetUsageStats(i)->loads, 0u);
    }
    EXPECT_EQ(Names(m_Slots), (std::vector<std::string>{"Aft/Rear", "Front"}));
}

TEST_F(ObjectFileList, FindsByNameIgnoringCaseFileNameAndOldNames)
{
    EXPECT_EQ(m_Upgrades.Find("cannon"), 1);
    EXPECT_EQ(m_Upgrades.Find("LASER"), 4); // by the file-name part
    EXPECT_EQ(m_Upgrades.Find("Gun"), -1);
    m_Upgrades.GetRemapList().Add("Old Gun", 1);
    EXPECT_EQ(m_Upgrades.Find("old gun"), 1);
}

TEST_F(ObjectFileList, LoadsOnFirstUseAndResolvesReferencesByName)
{
    CTestUpgrade* cannon = m_Upgrades.GetObjectByName("CANNON");
    ASSERT_NE(cannon, nullptr);
    EXPECT_EQ(cannon->m_Cost, 5);
    EXPECT_STREQ(cannon->m_Title.GetString(), "Big Gun");
    // The slot was loaded on demand while the upgrade was read.
    EXPECT_TRUE(m_Slots.IsItemLoaded(m_Slots.Find("Front")));
    EXPECT_FALSE(m_Slots.IsItemLoaded(m_Slots.Find("Rear")));
    EXPECT_EQ(cannon->m_Slot, m_Slots.GetObjectByName("Front"));
    EXPECT_EQ(cannon->m_Slot->m_Label.CompareNoCase("Bow"), 0);
    EXPECT_EQ(m_Upgrades.GetObjectByName("Cannon"), cannon);
    const CItemUsageStats& stats = *m_Upgrades.GetUsageStats(1);
    EXPECT_EQ(stats.loads, 1u);
    EXPECT_EQ(stats.totalUses, 2u);

    // From the archive, naming an item of the same list.
    CTestUpgrade* laser = m_Upgrades.GetObjectByName("Packed/Laser");
    ASSERT_NE(laser, nullptr);
    EXPECT_EQ(laser->m_Cost, 9);
    EXPECT_EQ(laser->m_Requires, cannon);
    // A file whose name began with "-".
    CTestUpgrade* shield = m_Upgrades.GetObjectByName("Shield");
    ASSERT_NE(shield, nullptr);
    EXPECT_EQ(shield->m_Cost, 7);
    EXPECT_EQ(shield->m_Slot->m_Capacity, 4);
}

// An object file is read as far as its object goes: gigabytes after it cost
// nothing, and an object as long as the program writes is read whole.
TEST_F(ObjectFileList, BytesPastTheMostAnObjectFileHoldsAreNotRead)
{
    const auto huge = Put("Data/Big/Huge.Upgrade.txt",
                          Text("CTestUpgrade", "\tReferenced Object List Location=0x40000000\r\n\tCost=5\r\n"));
    std::filesystem::resize_file(huge, uint64_t(5) << 30);
    CObjectStream stream;
    ASSERT_TRUE(stream.Open("Big/Huge.Upgrade.txt", FILE_READ | FILE_IN_MEMORY, IdMode::WithoutIds));
    std::unique_ptr<CObject> object(LoadObjectFromStream(stream, ReportUnknownClass::Quiet, nullptr));
    ASSERT_NE(object, nullptr);
    EXPECT_LT(static_cast<CMemFileBuf*>(stream.GetFileBuf())->GetCapacity(), 16u << 20)
        << "nothing the object names past its end is read";
    CTestUpgrade written;
    written.m_Cost = 6;
    written.m_Title.Set(std::string(65u << 20, 'x').c_str());
    ASSERT_TRUE(written.SaveToFile("Big/Long.Upgrade.txt", 0));
    CUpgradeList big("Upgrade.txt");
    big.SetSource(nullptr, "Big", 0);
    CTestUpgrade* read = big.GetObject(big.Find("Huge"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->m_Cost, 5);
    CTestUpgrade* longRead = big.GetObject(big.Find("Long"));
    ASSERT_NE(longRead, nullptr);
    EXPECT_EQ(longRead->m_Title.GetLength(), written.m_Title.GetLength());
    EXPECT_EQ(longRead->m_Cost, 6);
}

TEST_F(ObjectFileList, IndexPastEitherEndGivesFirstItemAndEmptyListGivesNull)
{
    CTestUpgrade* first = m_Upgrades.GetObject(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(m_Upgrades.GetObject(99), first);
    EXPECT_EQ(m_Upgrades.GetObject(-1), first);
    CUpgradeList empty("Upgrade.txt");
    empty.SetSource(nullptr, "Nowhere", 0);
    EXPECT_EQ(empty.GetObject(0), nullptr);
}

TEST_F(ObjectFileList, WrongClassIsRefusedAndRecordedWithoutLoadFlag)
{
    const int32_t wrong = m_Upgrades.Find("Wrong");
    testing::internal::CaptureStderr();
    EXPECT_EQ(m_Upgrades.GetObject(wrong), nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Wrong"), std::string::npos) << said;
    EXPECT_NE(said.find(": File contains invalid class type of CTestSlot; left out\n"), std::string::npos) << said;
    EXPECT_STREQ(m_Upgrades.GetLastLoadError().GetString(), "File contains invalid class type of CTestSlot");
    EXPECT_STREQ(m_Upgrades.GetSecondText(wrong).GetString(), "File contains invalid class type of CTestSlot");
    EXPECT_FALSE(m_Upgrades.IsItemLoaded(wrong));
    EXPECT_EQ(m_Upgrades.GetObject(wrong), nullptr);
    EXPECT_EQ(m_Upgrades.GetUsageStats(wrong)->loads, 1u); // a failed entry is not read again
    testing::internal::CaptureStderr();
    EXPECT_EQ(m_Upgrades.GetObject(wrong), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "said once";
    EXPECT_EQ(m_Upgrades.GetObject(m_Upgrades.Find("Empty")), nullptr);
}

TEST_F(ObjectFileList, LoadFlagAcceptsAnyClassAndMakesFailedLoadsFatal)
{
    CStrictUpgradeList strict;
    strict.SetSource(nullptr, "Upgrades", 0);
    CObject* wrong = strict.GetItemObject(strict.Find("Wrong"));
    ASSERT_NE(wrong, nullptr);
    EXPECT_TRUE(wrong->IsKindOf(CTestSlot::SGetClassInfo()));
    EXPECT_EQ(strict.GetObject(strict.Find("Wrong")), nullptr); // not handed out as an upgrade

    for (int attempt = 0; attempt < 2; ++attempt) {
        const CFatalErrorException fatal = FatalReportOf([&] { strict.GetObject(strict.Find("Empty")); });
        EXPECT_EQ(fatal.caption, "Fatal Error");
        EXPECT_EQ(fatal.message, "Error loading file");
    }
}

TEST_F(ObjectFileList, MissingItemAndSelfReferenceAreFatal)
{
    const CFatalErrorException missing = FatalReportOf([&] { m_Upgrades.GetObjectByName("Nope"); });
    EXPECT_EQ(missing.caption, "Fatal Not Found Error");
    EXPECT_NE(missing.message.find("Nope"), std::string::npos);

    const CFatalErrorException loop = FatalReportOf([&] { m_Upgrades.GetObjectByName("Loop"); });
    EXPECT_EQ(loop.caption, "Fatal Error");
    EXPECT_EQ(loop.message,
              "Got stuck in an infinite loop while trying to load \"Loop\".  This is usually caused by "
              "that file refering to itself.  The actions in this file need to be re-scripted to go "
              "through a canned object or relay or some other indirect method");
    EXPECT_FALSE(m_Upgrades.IsItemLoading(m_Upgrades.Find("Loop")));
}

// The item is only the first thing missed when the whole folder could not
// be read: the report names the folder where it was looked for.
TEST_F(ObjectFileList, AnEmptyListWhoseFolderCannotBeReadNamesTheFolderNotTheItem)
{
    CObjectArrayBaseTemplate<CTestSlot> sounds("Sound.txt");
    sounds.SetSource("Sounds", "Missing/Sounds", 0);
    const CFatalErrorException unread = FatalReportOf([&] { sounds.GetObjectByName("Boom"); });
    EXPECT_EQ(unread.caption, "Fatal Folder Error");
    EXPECT_NE(unread.message.find("folder \"" + plat::GetCurrentFolder() + "/Data/Missing/Sounds\""), std::string::npos)
        << unread.message;
    EXPECT_NE(unread.message.find("\"Sounds\" list"), std::string::npos) << unread.message;
    EXPECT_EQ(unread.message.find("List contains no items"), std::string::npos);

    // A folder that is there but holds no item: the usual report.
    Put("Data/Quiet/readme.txt", "not an item");
    CObjectArrayBaseTemplate<CTestSlot> quiet("Sound.txt");
    quiet.SetSource("Quiet", "Quiet", 0);
    const CFatalErrorException empty = FatalReportOf([&] { quiet.GetObjectByName("Boom"); });
    EXPECT_EQ(empty.caption, "Fatal Not Found Error");
    EXPECT_NE(empty.message.find("***List contains no items***"), std::string::npos) << empty.message;
}

// What runs while an item's file is read (a message a long load pumps)
// learns that a load is under way, also once a nested load has returned.
TEST_F(ObjectFileList, AnyItemLoadingHoldsWhileFilesAreReadAndNotAfterAFatal)
{
    class CWatchingList : public CUpgradeList {
    public:
        CWatchingList()
            : CUpgradeList("Upgrade.txt")
        {
        }
        CObject* LoadObject(const CJString& folder, const CJString& fileName, CObject** slot) override
        {
            seen.push_back(SIsAnyItemLoading());
            CObject* object = CUpgradeList::LoadObject(folder, fileName, slot);
            seen.push_back(SIsAnyItemLoading());
            return object;
        }
        std::vector<bool> seen;
    } watching;
    watching.SetSource(nullptr, "upgrades", 0);
    g_Upgrades = &watching;

    EXPECT_FALSE(CObjectFileArray::SIsAnyItemLoading());
    // Laser's file names Cannon, read inside it.
    ASSERT_NE(watching.GetObjectByName("Packed/Laser"), nullptr);
    EXPECT_EQ(watching.seen, (std::vector<bool>{true, true, true, true}));
    EXPECT_FALSE(CObjectFileArray::SIsAnyItemLoading());

    FatalReportOf([&] { watching.GetObjectByName("Loop"); });
    EXPECT_FALSE(CObjectFileArray::SIsAnyItemLoading());
}

TEST_F(ObjectFileList, FallsBackToCacheCopiesWhenFolderHasNoItem)
{
    CObjectArrayBaseTemplate<CTestSlot> phases("BuildPhase.txt");
    phases.SetSource(nullptr, "Phases", 0);
    ASSERT_EQ(Names(phases), (std::vector<std::string>{"Early"}));
    EXPECT_STREQ(phases.GetFolderName(), "Cache/Phases");
    ASSERT_NE(phases.GetObject(0), nullptr);
    EXPECT_EQ(phases.GetObject(0)->m_Capacity, 11);
}

TEST_F(ObjectFileList, TouchMarksUsedAndPreloadsReferencesOnce)
{
    const int32_t cannon = m_Upgrades.Find("Cannon");
    m_Upgrades.TouchItem(cannon);
    m_Upgrades.TouchItem(cannon);
    EXPECT_TRUE(m_Upgrades.IsItemUsed(cannon));
    EXPECT_EQ(m_Upgrades.GetObject(cannon)->m_Preloads, 1);
    CFileListList::SGetInstance().ClearAllUsedFlags();
    EXPECT_FALSE(m_Upgrades.IsItemUsed(cannon));
    m_Upgrades.TouchItem(cannon);
    EXPECT_EQ(m_Upgrades.GetObject(cannon)->m_Preloads, 2);
}

TEST_F(ObjectFileList, RegistryFindsResetsAndDisposes)
{
    CFileListList& registry = CFileListList::SGetInstance();
    CTestSlot* front = m_Slots.GetObjectByName("Front");
    CTestUpgrade* cannon = m_Upgrades.GetObjectByName("Cannon");
    int32_t list = -1;
    int32_t item = -1;
    ASSERT_TRUE(registry.FindObject(front, &list, &item));
    EXPECT_EQ(registry.GetList(list), &m_Slots);
    EXPECT_EQ(item, m_Slots.Find("Front"));
    EXPECT_EQ(registry.FindIndexOfList(&m_Upgrades), list - 1); // registered by SetSource first

    // Only lists registered with a folder enumerate again.
    Put("Data/Slots/Side.UpgradeSlot.txt", Text("CTestSlot", ""));
    registry.ResetAllLists();
    EXPECT_FALSE(m_Slots.IsEnumerated());
    EXPECT_EQ(m_Slots.FindObjectIndex(front), -1);
    EXPECT_TRUE(m_Upgrades.IsEnumerated());
    EXPECT_EQ(Names(m_Slots), (std::vector<std::string>{"Aft/Rear", "Front", "Side"}));
    EXPECT_FALSE(m_Slots.IsItemLoaded(m_Slots.Find("Front")));

    registry.DisposeAll();
    EXPECT_TRUE(CFileListList::IsShuttingDown());
    EXPECT_FALSE(m_Upgrades.IsItemLoaded(m_Upgrades.Find("Cannon")));
    EXPECT_EQ(m_Upgrades.GetUsageStats(m_Upgrades.Find("Cannon"))->unloads, 1u);
    EXPECT_EQ(m_Upgrades.FindObjectIndex(cannon), -1);
}

namespace {
bool g_SaveCallbackAnswers = false;
bool TestSaveCallback(const CObject*, bool& saved)
{
    saved = false;
    return g_SaveCallbackAnswers;
}
} // namespace

TEST_F(ObjectFileList, ObjectsSaveToTheFileTheirListNames)
{
    static bool registered = false;
    if (!registered) {
        registered = true;
        RegisterObjectSaveCallback(&TestSaveCallback);
    }
    CTestSlot* front = m_Slots.GetObjectByName("Front");
    CJString name;
    ASSERT_TRUE(FindObjectFileName(front, &name));
    EXPECT_STREQ(name.GetString(), "SLOTS/Front.UpgradeSlot.txt");
    EXPECT_TRUE(CanSaveObject(front));
    front->m_Capacity = 6;
    ASSERT_TRUE(SaveObjectToOwnFile(front));
    EXPECT_NE(ReadBytes(m_Root / "Data/Slots/Front.UpgradeSlot.txt").find("Capacity=6"), std::string::npos);

    // A callback that takes over the save decides, and the file is not touched.
    g_SaveCallbackAnswers = true;
    front->m_Capacity = 8;
    EXPECT_FALSE(SaveObjectToOwnFile(front));
    g_SaveCallbackAnswers = false;
    EXPECT_EQ(ReadBytes(m_Root / "Data/Slots/Front.UpgradeSlot.txt").find("Capacity=8"), std::string::npos);

    // A list that says nothing of its files still names the entry's own,
    // spelled with the first ending, so an edited entry is not lost.
    CTestUpgrade* cannon = m_Upgrades.GetObjectByName("cannon");
    ASSERT_TRUE(FindObjectFileName(cannon, &name));
    EXPECT_STREQ(name.GetString(), "upgrades/Cannon.Upgrade.txt");
    cannon->m_Cost = 9;
    ASSERT_TRUE(SaveObjectToOwnFile(cannon));
    EXPECT_NE(ReadBytes(m_Root / "Data/Upgrades/Cannon.Upgrade.txt").find("Cost=9"), std::string::npos);

    // "-Shield" was read where saves do not write: a file made there by hand
    // since is not written over, the edit waits; gone again, the save writes.
    CTestUpgrade* shield = m_Upgrades.GetObjectByName("Ships/Shield");
    ASSERT_NE(shield, nullptr);
    shield->m_Cost = 8;
    Put("Data/Upgrades/Ships/Shield.Upgrade.txt", Text("CTestUpgrade", "\tCost=1\r\n"));
    EXPECT_FALSE(SaveObjectToOwnFile(shield));
    EXPECT_STREQ(GetFailedSaveReason().GetString(), kFileChangedOnDisk);
    EXPECT_TRUE(IsObjectEditWaiting(shield));
    std::filesystem::remove(m_Root / "Data/Upgrades/Ships/Shield.Upgrade.txt");
    EXPECT_TRUE(SaveObjectToOwnFile(shield));
    EXPECT_FALSE(IsObjectEditWaiting(shield));
    shield->m_Cost = 9;
    EXPECT_TRUE(SaveObjectToOwnFile(shield)) << "the program's own write is no hand's change";
    EXPECT_NE(ReadBytes(m_Root / "Data/Upgrades/Ships/Shield.Upgrade.txt").find("Cost=9"), std::string::npos);

    // An object no list knows has no file: not saved, but may be saved.
    CTestSlot loose;
    EXPECT_FALSE(FindObjectFileName(&loose, &name));
    EXPECT_FALSE(SaveObjectToOwnFile(&loose));
    EXPECT_TRUE(CanSaveObject(&loose));
}
