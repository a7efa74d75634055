// New frames and fonts made the way the editor's new-file dialog makes them:
// the options the lists offer and the items made from accepted options.
#include "foundation/CVirtualTree.h"
#include "images/CFont.h"
#include "images/CFontBitmap.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CClassInfo.h"
#include "objects/CNewFileOptions.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class ListNewFiles : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        RegisterImagesClasses();
    }
    static std::unique_ptr<CNewFileOptionsCObject> Options(CObjectFileArray& list)
    {
        auto* options = dynamic_cast<CNewFileOptionsCObject*>(list.GetNewFileOptions());
        EXPECT_NE(options, nullptr);
        return std::unique_ptr<CNewFileOptionsCObject>(options);
    }
    static std::string Names(CObjectFileArray& list)
    {
        std::string names;
        for (int32_t i = 0; i < list.GetCount(); ++i)
            names += std::string(names.empty() ? "" : " ") + list.GetItemName(i);
        return names;
    }

    CScopedGlobalBitDepth m_Depth{32};
};

// A frame is listed by its picture: a new one gets a blank one, a copy its source's, as the next start lists it.
TEST_F(ListNewFiles, ANewFrameIsItsObjectFileBesideAPictureOfItsOwn)
{
    WriteBytes("Art/Stone.tga", "not read");
    CFrameList list(nullptr);
    list.SetSource(nullptr, "Art", 0);
    std::unique_ptr<CNewFileOptionsCObject> options = Options(list);
    ASSERT_TRUE(options);
    EXPECT_STREQ(options->m_BaseFolder.GetString(), "Art");
    EXPECT_STREQ(options->m_Extension.GetString(), ".txt") << "several image endings: the frame's own file";
    EXPECT_STREQ(options->m_ClassName.GetString(), "Frame");
    EXPECT_EQ(options->m_BaseClass, CFrame::SGetClassInfo());
    EXPECT_EQ(options->m_ChosenClass, CFrame::SGetClassInfo());

    options->m_Location.Set("Walls");
    options->m_Name.Set("Door");
    // Combo boxes and browsers hold the list's tree: it stays and grows.
    CVirtualTree* tree = list.GetItemTree();
    ASSERT_TRUE(tree);
    const int32_t index = list.AddItemFromNewFileOptions(*options);
    EXPECT_EQ(Names(list), "Stone Walls/Door");
    ASSERT_EQ(index, 1);
    EXPECT_EQ(list.GetItemTree(), tree);
    EXPECT_STREQ(tree->GetName(tree->GetParent(index)).GetString(), "Walls");
    EXPECT_TRUE(list.AreItemsObjects());
    EXPECT_EQ(list.GetItemOwnerObject(index), list.GetItemObject(index)) << "each item is saved to its own file";
    EXPECT_NE(ReadBytes("Art/Walls/Door.txt").find("CFrame"), std::string::npos);
    CJString file;
    ASSERT_TRUE(list.GetObjectFileName(list.GetItemObject(index), file));
    EXPECT_STREQ(file.GetString(), "Art/Walls/Door.txt");

    options->m_Location.Empty();
    options->m_Name.Set("STONE");
    EXPECT_EQ(list.AddItemFromNewFileOptions(*options), -1) << "an image of that name is taken, case-blind";
    EXPECT_FALSE(DiskHas("Art/STONE.txt"));
    EXPECT_EQ(ReadBytes("Art/Stone.tga"), "not read");
    // Also one put there since the list was read.
    WriteBytes("Art/Late.png", "artist's");
    options->m_Name.Set("Late");
    EXPECT_EQ(list.AddItemFromNewFileOptions(*options), -1);
    EXPECT_EQ(ReadBytes("Art/Late.png"), "artist's");
    EXPECT_FALSE(DiskHas("Art/Late.txt"));
    options->m_Name.Empty();
    EXPECT_EQ(list.AddItemFromNewFileOptions(*options), -1);
    EXPECT_EQ(Names(list), "Stone Walls/Door");

    // A copy gets its source's picture; with that picture gone nothing is made.
    options->m_Name.Set("Slab");
    options->SetTemplateObject(list.GetItemObject(index)->Clone());
    options->m_TemplateItem.Set("Stone");
    ASSERT_EQ(list.AddItemFromNewFileOptions(*options), 0);
    EXPECT_EQ(ReadBytes("Art/Slab.tga"), "not read");
    options->m_Name.Set("Gravel");
    options->m_TemplateItem.Set("Sand");
    EXPECT_EQ(list.AddItemFromNewFileOptions(*options), -1);
    EXPECT_FALSE(DiskHas("Art/Gravel.txt"));
    CFrameList restarted(nullptr);
    restarted.SetSource(nullptr, "Art", 0);
    EXPECT_EQ(Names(restarted), "Late Slab Stone Walls/Door");
    EXPECT_NE(restarted.GetObject(restarted.Find("Walls/Door")), nullptr) << "a blank picture, read back";

    // A single ending is the new file's; a one-letter one makes no options.
    CObjectArrayBaseTemplate<CFrame, CFrame> single("PNG");
    single.SetSource(nullptr, "Art", 0);
    EXPECT_STREQ(Options(single)->m_Extension.GetString(), ".PNG");
    CObjectArrayBaseTemplate<CFrame, CFrame> tooShort("P");
    tooShort.SetSource(nullptr, "Art", 0);
    EXPECT_EQ(tooShort.GetNewFileOptions(), nullptr);
}

TEST_F(ListNewFiles, ANewFontIsSavedAtOnceAndTakenOrRefusedAsAnyObjectFile)
{
    // A new font's family defaults to the program's own face.
    const std::string face = ReadBytes("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    if (face.empty())
        GTEST_SKIP() << "DejaVuSans.ttf is missing (Debian package fonts-dejavu-core)";
    WriteBytes("Resources/!default.ttf", face);
    EnumerateFontFiles();
    WriteBytes("Fonts/Body.FONT.TXT", "CFont\r\n{\r\n}\r\n");
    CFontList list;
    list.SetSource(nullptr, "Fonts", 0);
    std::unique_ptr<CNewFileOptionsCObject> options = Options(list);
    ASSERT_TRUE(options);
    EXPECT_STREQ(options->m_BaseFolder.GetString(), "Fonts");
    EXPECT_STREQ(options->m_Extension.GetString(), ".FONT.TXT");
    EXPECT_STREQ(options->m_ClassName.GetString(), "Font");
    EXPECT_EQ(options->m_BaseClass, CFont::SGetClassInfo());

    options->m_Name.Set("Title");
    options->m_ChosenClass = CFontBitmap::SGetClassInfo();
    ASSERT_EQ(list.AddItemFromNewFileOptions(*options), 1);
    EXPECT_TRUE(dynamic_cast<CFontBitmap*>(list.GetObjectByName("title")));
    EXPECT_NE(ReadBytes("Fonts/Title.FONT.TXT").find("CFontBitmap"), std::string::npos);

    options->m_Name.Set("Glyphs");
    options->m_ChosenClass = CFrame::SGetClassInfo();
    EXPECT_EQ(list.AddItemFromNewFileOptions(*options), -1) << "a frame is not a font";
    EXPECT_FALSE(DiskHas("Fonts/Glyphs.FONT.TXT"));

    // Add takes the same path: a default font under the name.
    const int32_t caption = list.Add("Caption");
    ASSERT_EQ(caption, 1);
    EXPECT_EQ(list.GetObject(caption)->GetClassInfo(), CFont::SGetClassInfo());
    EXPECT_NE(ReadBytes("Fonts/Caption.FONT.TXT").find("CFont"), std::string::npos);
    EXPECT_EQ(list.Add("BODY"), -1) << "names are compared without case";
    EXPECT_EQ(ReadBytes("Fonts/Body.FONT.TXT"), "CFont\r\n{\r\n}\r\n");
    EXPECT_EQ(list.Add(""), -1);
    EXPECT_EQ(Names(list), "Body Caption Title");
}

} // namespace
