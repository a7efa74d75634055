// The demo data's fonts and folder images the image browser asks for by
// name: they are there, and a browser over the demo data draws its folder
// cells, captions and "Not Loaded" placeholders with them rather than with
// its fallbacks.
#include "ui/MenuTestSupport.h"
#include "ui/DemoInterfaceFolder.h"

#include "editor/CImageBrowser.h"
#include "foundation/CDirectoryTree.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

// A list whose items are never loaded, so each item cell is a placeholder.
class CUnloadedShelf : public CSimpleVirtualArray {
public:
    std::vector<std::string> names;

    const char* GetItemName(int32_t i) override { return names[size_t(i)].c_str(); }
    CJString GetItemNameString(int32_t i) override { return CJString(GetItemName(i)); }
    int32_t GetCount() override { return int32_t(names.size()); }
    bool IsItemLoaded(int32_t) override { return false; }
    void GetListName(CJString& out) override { out.Set("Shelf"); }
};

class CEmptyItem : public CImageBrowserItemBridge {
public:
    using CImageBrowserItemBridge::CImageBrowserItemBridge;
    void GetBounds(CRect& out) override { out = CRect{0, 0, 0, 0}; }
};

std::unique_ptr<CImageBrowserItemBridge> MakeEmpty(CVirtualArray* list, uint32_t index)
{
    return std::make_unique<CEmptyItem>(list, index);
}

CFont* DemoFont(const char* name)
{
    const int32_t index = GetFontList().Find(name);
    return index >= 0 ? dynamic_cast<CFont*>(GetFontList().GetItemObject(index)) : nullptr;
}

CFrame* DemoImage(const char* name)
{
    const int32_t index = GetFrameLibrary().Find(name);
    return index >= 0 ? dynamic_cast<CFrame*>(GetFrameLibrary().GetItemObject(index)) : nullptr;
}

CRect BoundsOf(const SImageBrowserCell& cell)
{
    CRect bounds{0, 0, 0, 0};
    cell.bridge->GetBounds(bounds);
    return bounds;
}

class DemoBrowserData : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_NO_FATAL_FAILURE(MakeDemoInterfaceFolder());
        if (!std::filesystem::exists("Resources/!default.ttf"))
            GTEST_SKIP() << "DejaVuSans.ttf is missing (Debian package fonts-dejavu-core)";
        EnumerateFontFiles();
        GetFontList().SetSource(nullptr, "Resources|Fonts", 0);
        GetFrameLibrary().SetSource(nullptr, "Resources/Frames", 0);

        m_Shelf.names = {"Crates/Big", "Crates/Small/Box", "Sun"};
        m_Tree = std::make_unique<CDirectoryTree>(m_Shelf);
        m_Browser = new CImageBrowser(m_Screen);
        m_Browser->SetRect(CRect{0, 0, 600, 400});
        m_Screen->AddChild(m_Browser, kAsIsNoGrow);
        m_Browser->SetTree(m_Tree.get(), &MakeEmpty);
    }
    void TearDown() override
    {
        GetFontList().RemoveAll();
        GetFontList().SetSource(nullptr, "Nowhere", 0);
        GetFrameLibrary().RemoveAll();
        GetFrameLibrary().SetSource(nullptr, "Nowhere", 0);
        ScreenTest::TearDown();
    }
    int32_t Child(int32_t node, const char* name)
    {
        for (int32_t i = 0; i < m_Tree->GetChildCount(node); ++i) {
            const int32_t child = m_Tree->GetChild(node, i);
            if (m_Tree->GetName(child).Compare(name) == 0)
                return child;
        }
        return -1;
    }

    CUnloadedShelf m_Shelf;
    std::unique_ptr<CDirectoryTree> m_Tree;
    CImageBrowser* m_Browser = nullptr;
};

TEST_F(DemoBrowserData, TheFontsAndFolderImagesAreThereByName)
{
    CFont* small = DemoFont("Small Gold");
    CFont* dialog = DemoFont("Character Dialog");
    ASSERT_NE(small, nullptr);
    ASSERT_NE(dialog, nullptr);
    // Both come from the data's TrueType font, so they measure text.
    EXPECT_GT(small->GetTextWidth(CJString("Large Folder")), 0);
    EXPECT_GT(dialog->GetTextWidth(CJString("Not Loaded")), small->GetTextWidth(CJString("Not Loaded")));

    for (const char* name : {"Parent Folder", "Large Folder"}) {
        CFrame* image = DemoImage(name);
        ASSERT_NE(image, nullptr) << name;
        CRect bounds{0, 0, 0, 0};
        image->GetBounds(bounds);
        // As drawn (64 x 50); the frame build may pad the height.
        EXPECT_EQ(bounds.right - bounds.left, 64) << name;
        EXPECT_GE(bounds.bottom - bounds.top, 50) << name;
    }
}

TEST_F(DemoBrowserData, FolderCellsCaptionsAndPlaceholdersUseTheDemoData)
{
    CFont* small = DemoFont("Small Gold");
    CFont* dialog = DemoFont("Character Dialog");
    ASSERT_NE(small, nullptr);
    ASSERT_NE(dialog, nullptr);
    // Otherwise the captions could not tell their font from the window's.
    ASSERT_NE(small->GetPointSize(), m_Font->GetPointSize());

    m_Browser->ShowFolder(Child(m_Tree->GetRoot(), "Crates"), false, false);
    ASSERT_EQ(m_Browser->GetCellCount(), 3); // parent, "Small", then "Big"

    const char* images[] = {"Parent Folder", "Large Folder"};
    for (int32_t i = 0; i < 2; ++i) {
        const SImageBrowserCell& folder = m_Browser->GetCell(i);
        ASSERT_TRUE(folder.folder);
        CRect expected{0, 0, 0, 0};
        DemoImage(images[i])->GetBounds(expected);
        const CRect bounds = BoundsOf(folder);
        EXPECT_EQ(bounds.left, expected.left) << images[i];
        EXPECT_EQ(bounds.top, expected.top) << images[i];
        EXPECT_EQ(bounds.right, expected.right) << images[i];
        EXPECT_EQ(bounds.bottom, expected.bottom) << images[i];
        // The image, two pixels round it, then the caption's lines in the small font.
        EXPECT_EQ(folder.height, expected.bottom - expected.top + 4 + small->GetPointSize() * folder.lineCount)
            << images[i];
    }
    EXPECT_EQ(m_Browser->GetCell(1).caption.Compare("Small"), 0);

    const SImageBrowserCell& item = m_Browser->GetCell(2);
    ASSERT_TRUE(item.notLoaded);
    const CRect text = BoundsOf(item);
    EXPECT_EQ(text.right - text.left, dialog->GetTextWidth(CJString("Not Loaded")));
    EXPECT_EQ(text.bottom - text.top, dialog->GetPointSize());
}

} // namespace
