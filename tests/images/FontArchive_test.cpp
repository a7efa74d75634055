#include "images/CFont.h"
#include "images/CFontList.h"

#include "foundation/CFileList.h"
#include "foundation/CMountedArchiveTable.h"
#include "foundation/CZipArchive.h"
#include "images/CFrame.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class FontInArchive : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        m_Font = ReadBytes(kDejaVu);
        if (m_Font.empty())
            GTEST_SKIP() << kDejaVu << " is missing (Debian package fonts-dejavu-core)";
        RegisterImagesClasses();
    }
    void TearDown() override
    {
        CMountedArchiveTable::Get().UnmountAll();
        CTempFolderTest::TearDown();
    }

    CScopedGlobalBitDepth m_Depth{32};

    std::string m_Font;
    CScopedDataFolder m_DataFolder{"Data"};
    CScopedThrowingFatal m_Throwing;
};

// The archive holds the only copy of the TrueType file and of the font's
// own file; widths must match those of the same font as a loose file.
TEST_F(FontInArchive, LoadsAndRendersThroughTheEngineFiles)
{
    WriteBytes("Data/Resources.zip",
               BuildZip({{"!default.ttf", m_Font}, {"Fonts/Body.FONT.TXT", "CFont\r\n{\r\nPoint Size=20\r\n}\r\n"}}));
    ASSERT_TRUE(CMountedArchiveTable::Get().Mount("Resources.zip", MountRoot::New, ArchiveAccess::ReadOnly,
                                                  "Resources/", MountLoading::Now, 0));
    EnumerateFontFiles();
    ASSERT_EQ(GetFontFileList().GetCount(), 1);
    int32_t width = 0;
    uint32_t height = 0;
    {
        // The fonts go before their archive does.
        CFontList list;
        list.SetSource(nullptr, "Resources|Fonts", 0);
        CFont* body = list.GetObjectByName("fonts/BODY");
        ASSERT_TRUE(body);
        EXPECT_EQ(body->GetPointSize(), 20);
        width = body->GetTextWidth("Archived text");
        height = body->GetHeight();
        ASSERT_NE(body->GetGlyphFrame('A'), nullptr);
        EXPECT_TRUE(body->GetGlyphFrame('A')->HasVisiblePixels());
    }

    CMountedArchiveTable::Get().UnmountAll();
    WriteBytes("Data/Resources/!default.ttf", m_Font);
    EnumerateFontFiles();
    CFont loose;
    loose.SetPointSize(20.0f);
    EXPECT_GT(width, 0);
    EXPECT_EQ(width, loose.GetTextWidth("Archived text"));
    EXPECT_EQ(height, loose.GetHeight());
}

} // namespace
