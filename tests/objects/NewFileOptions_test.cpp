// An object list's part in making new files: the options it offers and the
// item it makes from accepted options.
#include "objects/CNewFileOptions.h"

#include "TestClasses.h"

#include "foundation/CCommand.h"
#include "foundation/FileTestSupport.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CObject.h"
#include "objects/CListProperty.h"
#include "objects/CObjectFileArray.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CSlotProperty.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class CShelfItem : public CObject {
    OMBRISALT_REFLECTED(CShelfItem, CObject)
public:
    CShelfItem() { InitDeclaredProperties(); }
    ~CShelfItem() override { DestroyDeclaredProperties(); }
    int32_t m_Size = 3;
};
OMBRISALT_IMPLEMENT_CLASS(CShelfItem, 1.0)
void CShelfItem::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CShelfItem::m_Size, "Size", 3);
}

class CTallShelfItem : public CShelfItem {
    OMBRISALT_REFLECTED(CTallShelfItem, CShelfItem)
public:
    CTallShelfItem() { InitDeclaredProperties(); }
    ~CTallShelfItem() override { DestroyDeclaredProperties(); }
    int32_t m_Height = 9;
};
OMBRISALT_IMPLEMENT_CLASS(CTallShelfItem, 1.0)
void CTallShelfItem::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CTallShelfItem::m_Height, "Height", 9);
}

using CShelfList = CObjectArrayBaseTemplate<CShelfItem>;

// One list for every test, so that a class can refer to it; it keeps its
// none entry, as the lists the game's objects refer into do.
CShelfList& ShelfList()
{
    static CShelfList* list = new CShelfList("Shelf.txt");
    list->SetKeepsNoneEntry(true);
    return *list;
}

// A second list, as long as the shelves once one is added.
CDynamicList& BinList()
{
    static CDynamicList* list = [] {
        auto* made = new CDynamicList;
        for (const char* name : {"!No Bin", "A", "B", "C"})
            made->Add(name);
        return made;
    }();
    return *list;
}

// Refers to shelves by row: one directly, some in an array, a height per
// shelf in an array that follows the list, and a lamp shelf as a dynamic
// value; and to bins, one directly and a size per bin.
class CShelfPlan : public CObject {
    OMBRISALT_REFLECTED(CShelfPlan, CObject)
public:
    CShelfPlan() { InitDeclaredProperties(); }
    ~CShelfPlan() override { DestroyDeclaredProperties(); }
    int32_t m_Favourite;
    CPropertyArray<int32_t> m_Route;
    CPropertyArray<int32_t> m_Heights;
    int32_t m_Spare;
    CPropertyArray<int32_t> m_BinSizes;
};
OMBRISALT_IMPLEMENT_CLASS(CShelfPlan, 1.0)
void CShelfPlan::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference(&CShelfPlan::m_Favourite, "Favourite", &ShelfList(), nullptr);
    auto route = d.AddArray<CListProperty>(&CShelfPlan::m_Route, "Route", "Stop", 0);
    static_cast<CListProperty*>(route.Get().GetElementProperty())->SetList(&ShelfList());
    d.AddArray<CIntProperty>(&CShelfPlan::m_Heights, "Heights", "Height", 0).NamedBy(&ShelfList());
    d.AddListReference(&CShelfPlan::m_Spare, "Spare", &BinList(), nullptr);
    d.AddArray<CIntProperty>(&CShelfPlan::m_BinSizes, "Bin Sizes", "Size", 0).NamedBy(&BinList());
}

CSlotProperty<CListProperty>& LampProperty()
{
    static auto* made = [] {
        auto* property = new CSlotProperty<CListProperty>("Lamp", 0);
        property->SetList(&ShelfList());
        property->AddAsDynamicProperty(CShelfPlan::SGetClassInfo(), DynamicKind::Optional);
        return property;
    }();
    return *made;
}

namespace {

class NewFileOptions : public CFileFolderTest {
protected:
    void SetUp() override
    {
        CFileFolderTest::SetUp();
        CTallShelfItem::SGetClassInfo();
        CShelfPlan::SGetClassInfo();
        WriteBytes("Shelves/Bench.Shelf.txt", "CShelfItem\r\n{\r\n\tSize=1\r\n}\r\n");
        WriteBytes("Shelves/Wall/Top.Shelf.txt", "CShelfItem\r\n{\r\n\tSize=2\r\n}\r\n");
        m_List.SetSource(nullptr, "Shelves", 0);
    }
    std::unique_ptr<CNewFileOptionsCObject> Options()
    {
        auto* options = dynamic_cast<CNewFileOptionsCObject*>(m_List.GetNewFileOptions());
        EXPECT_NE(options, nullptr);
        return std::unique_ptr<CNewFileOptionsCObject>(options);
    }
    std::string Names()
    {
        std::string names;
        for (int32_t i = 0; i < m_List.GetCount(); ++i)
            names += std::string(names.empty() ? "" : " ") + m_List.GetItemName(i);
        return names;
    }

    CShelfList& m_List = ShelfList();
};

TEST_F(NewFileOptions, TheListOffersItsFolderEndingAndClassAndNothingForAShortEnding)
{
    std::unique_ptr<CNewFileOptionsCObject> options = Options();
    ASSERT_TRUE(options);
    EXPECT_STREQ(options->m_BaseFolder.GetString(), "Shelves");
    EXPECT_STREQ(options->m_Extension.GetString(), ".Shelf.txt") << "the scan finds files by a dot and the ending";
    EXPECT_STREQ(options->m_ClassName.GetString(), "ShelfItem");
    EXPECT_EQ(options->m_BaseClass, CShelfItem::SGetClassInfo());
    EXPECT_EQ(options->m_ChosenClass, CShelfItem::SGetClassInfo());
    EXPECT_EQ(options->CreateDialog(nullptr) == nullptr, true) << "no editor is installed in this program";

    CShelfList shortEnding{"x,Shelf.txt"};
    shortEnding.SetSource(nullptr, "Shelves", 0);
    EXPECT_EQ(shortEnding.GetNewFileOptions(), nullptr);
}

TEST_F(NewFileOptions, AcceptedOptionsMakeASavedLoadedItemInSortedPlace)
{
    RegisterObjectClasses();
    CShelfPlan::SGetClassInfo();
    std::unique_ptr<CObject> plan(ReadFromText("CShelfPlan\r\n{\r\nFavourite=Wall/Top\r\nRoute=Array\r\n{\r\n"
                                              "Stop=Wall/Top\r\nStop=Bench\r\n}\r\nHeights=Array\r\n{\r\n"
                                              "Bench=5\r\nWall/Top=7\r\n}\r\nSpare=C\r\nBin Sizes=Array\r\n{\r\n"
                                              "A=1\r\nB=2\r\n}\r\n}\r\n",
                                              IdMode::WithoutIds));
    ASSERT_TRUE(plan);
    *static_cast<int32_t*>(plan->GetOrAddDynamicValue(&LampProperty())) = m_List.Find("Wall/Top");
    // Sizes written before bin C was made: one short of the bins, as the
    // shelves are about to be.
    static_cast<CPropertyArrayProperty*>(CShelfPlan::SGetClassInfo()->FindProperty("Bin Sizes"))
        ->ArrayProperty_SetCount(plan.get(), 3);
    std::unique_ptr<CNewFileOptionsCObject> options = Options();
    options->m_Location.Set("Wall");
    options->m_Name.Set("Middle");
    options->m_ChosenClass = CTallShelfItem::SGetClassInfo();
    const int32_t index = m_List.AddItemFromNewFileOptions(*options);
    EXPECT_EQ(Names(), "!None Bench Wall/Middle Wall/Top");
    ASSERT_EQ(index, 2);
    EXPECT_STREQ(options->m_RelativePath.GetString(), "Wall/Middle.Shelf.txt");
    ASSERT_TRUE(m_List.IsItemLoaded(index));
    EXPECT_EQ(m_List.GetObject(index)->GetClassInfo(), CTallShelfItem::SGetClassInfo());
    EXPECT_NE(ReadBytes("Shelves/Wall/Middle.Shelf.txt").find("CTallShelfItem"), std::string::npos);
    EXPECT_EQ(m_List.Find("Wall/Middle"), 2);
    // What referred to the items past it still names them, in a dynamic
    // value too; what refers into the bins, as many now, stays.
    EXPECT_EQ(LampProperty().GetDynamicValue(plan.get()), m_List.Find("Wall/Top"));
    std::string text = WriteToText(plan.get(), IdMode::WithoutIds);
    for (const char* line : {"Favourite=Wall/Top\r\n", "Stop=Wall/Top\r\n\t\tStop=Bench\r\n", "Spare=C\r\n",
                             "Bench=5\r\n\t\tWall/Middle=0\r\n\t\tWall/Top=7\r\n",
                             "Bin Sizes=Array\r\n\t{\r\n\t\t!No Bin=0\r\n\t\tA=1\r\n\t\tB=2\r\n\t}"})
        EXPECT_NE(text.find(line), std::string::npos) << text;

    // An item sorted last gets its element as well.
    options->m_Location.Set("Wall");
    options->m_Name.Set("Zed");
    ASSERT_EQ(m_List.AddItemFromNewFileOptions(*options), 4);
    text = WriteToText(plan.get(), IdMode::WithoutIds);
    EXPECT_NE(text.find("Wall/Top=7\r\n\t\tWall/Zed=0\r\n"), std::string::npos) << text;

    // A copy of the template, when one is given.
    auto* source = new CShelfItem;
    source->m_Size = 42;
    options->SetTemplateObject(source);
    options->m_Location.Empty();
    options->m_Name.Set("Copy");
    ASSERT_EQ(m_List.AddItemFromNewFileOptions(*options), 2);
    EXPECT_EQ(m_List.GetObject(2)->m_Size, 42);
    EXPECT_NE(m_List.GetObject(2), source);
}

TEST_F(NewFileOptions, ATakenNameAForeignClassOrAPathOutsideTheListMakesNothing)
{
    std::unique_ptr<CNewFileOptionsCObject> options = Options();
    options->m_Name.Set("BENCH");
    EXPECT_EQ(m_List.AddItemFromNewFileOptions(*options), -1) << "names are compared without case";
    EXPECT_EQ(ReadBytes("Shelves/Bench.Shelf.txt"), "CShelfItem\r\n{\r\n\tSize=1\r\n}\r\n");

    options->m_Name.Set("Other");
    options->m_ChosenClass = CObject::SGetClassInfo();
    EXPECT_EQ(m_List.AddItemFromNewFileOptions(*options), -1);
    options->m_ChosenClass = CShelfItem::SGetClassInfo();
    options->m_BaseFolder.Set("Elsewhere");
    EXPECT_EQ(m_List.AddItemFromNewFileOptions(*options), -1);
    options->m_Name.Empty();
    options->m_BaseFolder.Set("Shelves");
    EXPECT_EQ(m_List.AddItemFromNewFileOptions(*options), -1);
    // The scan passes names beginning with "." by: the item would be lost.
    for (const auto& [location, name] : {std::pair{"", ".Hut"}, {"", "....Escape"}, {"Wall", ".Hut"}}) {
        options->m_Location.Set(location);
        options->m_Name.Set(name);
        EXPECT_EQ(m_List.AddItemFromNewFileOptions(*options), -1) << name;
    }
    EXPECT_EQ(Names(), "!None Bench Wall/Top");
    EXPECT_FALSE(DiskHas("Elsewhere"));
    EXPECT_FALSE(DiskHas("Shelves/.Hut.Shelf.txt"));
    EXPECT_FALSE(DiskHas("Shelves/Wall/.Hut.Shelf.txt"));
}

// The data has no "!None" shelf: the list has it all the same, with no
// file and no object, so an unset reference is written and read as unset,
// and no new shelf may sort before it.
TEST_F(NewFileOptions, AListKeepsItsNoneEntryFirst)
{
    EXPECT_EQ(Names(), "!None Bench Wall/Top");
    EXPECT_EQ(m_List.GetObject(0), nullptr);
    EXPECT_STREQ(m_List.GetSecondText(0).GetString(), "") << "no file was looked for";
    std::unique_ptr<CObject> plan(ReadFromText("CShelfPlan\r\n{\r\nRoute=Array\r\n{\r\nStop=Bench\r\n}\r\n}\r\n",
                                              IdMode::WithoutIds));
    ASSERT_TRUE(plan);
    const std::string text = WriteToText(plan.get(), IdMode::WithoutIds);
    EXPECT_NE(text.find("Favourite=!None\r\n"), std::string::npos) << text;
    std::unique_ptr<CObject> back(ReadFromText(text.c_str(), IdMode::WithoutIds));
    ASSERT_TRUE(back);
    EXPECT_EQ(static_cast<CShelfPlan&>(*back).m_Favourite, 0);
    EXPECT_EQ(static_cast<CShelfPlan&>(*back).m_Route[0], m_List.Find("Bench")) << "a real item stays itself";

    std::unique_ptr<CNewFileOptionsCObject> options = Options();
    EXPECT_STREQ(options->m_NoneEntryName.GetString(), "!None");
    options->m_Name.Set("!Aaa");
    EXPECT_EQ(m_List.AddItemFromNewFileOptions(*options), -1);
    EXPECT_EQ(Names(), "!None Bench Wall/Top");
    EXPECT_FALSE(DiskHas("Shelves/!Aaa.Shelf.txt"));

    // Such a file put there by hand is an item after the none entry.
    WriteBytes("Shelves/!Aaa.Shelf.txt", "CShelfItem\r\n{\r\n\tSize=3\r\n}\r\n");
    m_List.SetSource(nullptr, "Shelves", 0);
    EXPECT_EQ(Names(), "!None !Aaa Bench Wall/Top");
    back.reset(ReadFromText(text.c_str(), IdMode::WithoutIds));
    ASSERT_TRUE(back);
    const std::string again = WriteToText(back.get(), IdMode::WithoutIds);
    EXPECT_NE(again.find("Favourite=!None\r\n"), std::string::npos) << again;
    EXPECT_NE(again.find("Stop=Bench\r\n"), std::string::npos) << again;

    // The first item of a list that had none comes after its none entry.
    WriteBytes("Bare/Readme.txt", "");
    m_List.SetSource(nullptr, "Bare", 0);
    options = Options();
    options->m_Name.Set("Stool");
    EXPECT_EQ(m_List.AddItemFromNewFileOptions(*options), 1);
    EXPECT_EQ(Names(), "!None Stool");
}

// The last build gave some lists their none entry only while the game ran,
// and others none: on data without a "!None" file, its rows began at the
// first item. What it saved names the items, in text and in binary, so each
// reference stays its item once the list has the entry, a value kept per
// item too; the first item's name is that item.
TEST_F(NewFileOptions, APlanSavedWhenTheListHadNoNoneEntryNamesTheSameShelves)
{
    RegisterObjectClasses();
    m_List.SetKeepsNoneEntry(false);
    m_List.SetSource(nullptr, "Shelves", 0);
    ASSERT_EQ(Names(), "Bench Wall/Top");
    CShelfPlan saved;
    saved.m_Favourite = 1;
    const auto setCount = [&](const char* name, uint32_t count) {
        static_cast<CPropertyArrayProperty*>(CShelfPlan::SGetClassInfo()->FindProperty(name))
            ->ArrayProperty_SetCount(&saved, count);
    };
    setCount("Route", 2);
    saved.m_Route[0] = 1;
    saved.m_Route[1] = 0;
    setCount("Heights", 2);
    saved.m_Heights[0] = 5;
    saved.m_Heights[1] = 7;
    const std::string text = WriteToText(&saved, IdMode::WithoutIds);
    const std::string binary = WriteToBinary(&saved, IdMode::WithoutIds);
    m_List.SetKeepsNoneEntry(true);
    m_List.SetSource(nullptr, "Shelves", 0);
    ASSERT_EQ(Names(), "!None Bench Wall/Top");

    std::unique_ptr<CObject> fromText(ReadFromText(text, IdMode::WithoutIds));
    CShelfPlan fromBinary;
    ASSERT_TRUE(ReadFromBinary(&fromBinary, binary, IdMode::WithoutIds));
    for (CShelfPlan* read : {static_cast<CShelfPlan*>(fromText.get()), &fromBinary}) {
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->m_Favourite, m_List.Find("Wall/Top"));
        ASSERT_EQ(read->m_Route.GetCount(), 2u);
        EXPECT_EQ(read->m_Route[0], m_List.Find("Wall/Top"));
        EXPECT_EQ(read->m_Route[1], m_List.Find("Bench"));
        ASSERT_EQ(read->m_Heights.GetCount(), 3u);
        EXPECT_EQ(read->m_Heights[uint32_t(m_List.Find("Bench"))], 5);
        EXPECT_EQ(read->m_Heights[uint32_t(m_List.Find("Wall/Top"))], 7);
    }
}

TEST(NewFileOptionsRecord, ReplacingTheCommandOrTemplateDeletesTheOldOne)
{
    struct CCountedCommand : CCommand {
        explicit CCountedCommand(int& alive)
            : m_Alive(alive)
        {
            ++m_Alive;
        }
        ~CCountedCommand() override { --m_Alive; }
        void Execute() override {}
        int& m_Alive;
    };
    int alive = 0;
    {
        CNewFileOptions options;
        options.SetCreatedCommand(new CCountedCommand(alive));
        options.SetCreatedCommand(new CCountedCommand(alive));
        EXPECT_EQ(alive, 1);
        options.SetTemplateObject(new CShelfItem);
        options.SetTemplateObject(new CShelfItem);
    }
    EXPECT_EQ(alive, 0);
}

} // namespace
