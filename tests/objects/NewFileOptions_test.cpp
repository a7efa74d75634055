// An object list's part in making new files: the options it offers and the
// item it makes from accepted options.
#include "objects/CNewFileOptions.h"

#include "TestClasses.h"

#include "foundation/CCommand.h"
#include "foundation/FileTestSupport.h"
#include "objects/CObject.h"
#include "objects/CListProperty.h"
#include "objects/CObjectFileArray.h"
#include "objects/CPropertyArrayProperty.h"

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

// One list for every test, so that a class can refer to it.
CShelfList& ShelfList()
{
    static CShelfList* list = new CShelfList("Shelf.txt");
    return *list;
}

// Refers to shelves by row: one directly, some in an array, and a height
// per shelf in an array that follows the list.
class CShelfPlan : public CObject {
    OMBRISALT_REFLECTED(CShelfPlan, CObject)
public:
    CShelfPlan() { InitDeclaredProperties(); }
    ~CShelfPlan() override { DestroyDeclaredProperties(); }
    int32_t m_Favourite;
    CPropertyArray<int32_t> m_Route;
    CPropertyArray<int32_t> m_Heights;
};
OMBRISALT_IMPLEMENT_CLASS(CShelfPlan, 1.0)
void CShelfPlan::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference(&CShelfPlan::m_Favourite, "Favourite", &ShelfList(), nullptr);
    auto route = d.AddArray<CListProperty>(&CShelfPlan::m_Route, "Route", "Stop", 0);
    static_cast<CListProperty*>(route.Get().GetElementProperty())->SetList(&ShelfList());
    d.AddArray<CIntProperty>(&CShelfPlan::m_Heights, "Heights", "Height", 0).NamedBy(&ShelfList());
}

namespace {

class NewFileOptions : public CFileFolderTest {
protected:
    void SetUp() override
    {
        CFileFolderTest::SetUp();
        CTallShelfItem::SGetClassInfo();
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
                                              "Bench=5\r\nWall/Top=7\r\n}\r\n}\r\n",
                                              IdMode::WithoutIds));
    ASSERT_TRUE(plan);
    std::unique_ptr<CNewFileOptionsCObject> options = Options();
    options->m_Location.Set("Wall");
    options->m_Name.Set("Middle");
    options->m_ChosenClass = CTallShelfItem::SGetClassInfo();
    const int32_t index = m_List.AddItemFromNewFileOptions(*options);
    EXPECT_EQ(Names(), "Bench Wall/Middle Wall/Top");
    ASSERT_EQ(index, 1);
    EXPECT_STREQ(options->m_RelativePath.GetString(), "Wall/Middle.Shelf.txt");
    ASSERT_TRUE(m_List.IsItemLoaded(index));
    EXPECT_EQ(m_List.GetObject(index)->GetClassInfo(), CTallShelfItem::SGetClassInfo());
    EXPECT_NE(ReadBytes("Shelves/Wall/Middle.Shelf.txt").find("CTallShelfItem"), std::string::npos);
    EXPECT_EQ(m_List.Find("Wall/Middle"), 1);
    // What referred to the items past it still names them.
    const std::string text = WriteToText(plan.get(), IdMode::WithoutIds);
    EXPECT_NE(text.find("Favourite=Wall/Top\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Stop=Wall/Top\r\n\t\tStop=Bench\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Bench=5\r\n\t\tWall/Middle=0\r\n\t\tWall/Top=7\r\n"), std::string::npos) << text;

    // A copy of the template, when one is given.
    auto* source = new CShelfItem;
    source->m_Size = 42;
    options->SetTemplateObject(source);
    options->m_Location.Empty();
    options->m_Name.Set("Copy");
    ASSERT_EQ(m_List.AddItemFromNewFileOptions(*options), 1);
    EXPECT_EQ(m_List.GetObject(1)->m_Size, 42);
    EXPECT_NE(m_List.GetObject(1), source);
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
    EXPECT_EQ(Names(), "Bench Wall/Top");
    EXPECT_FALSE(DiskHas("Elsewhere"));
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
