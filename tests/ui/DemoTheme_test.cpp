// The demo data's theme file against the demo data: every frame and font it
// names is there, and a window built under it takes its look.

#include "SkinTestSupport.h"

#include "images/CFontList.h"
#include "ui/CAlphaSkinData.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJWindow.h"
#include "ui/SkinResources.h"

#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class DemoThemeTest : public SkinFrameTest {
protected:
    void SetUp() override
    {
        SkinFrameTest::SetUp();
        if (IsSkipped())
            return;
        const fs::path resources = fs::path(OMBRISALT_SOURCE_DIR) / "data" / "Data" / "Resources";
        if (!fs::exists(resources / "Interface" / "Textures" / "Demo Paper.png"))
            GTEST_SKIP() << "the demo textures are not made (tools/make_demo_interface.py)";
        fs::create_directories("Interface");
        for (const auto& entry : fs::directory_iterator(resources / "Interface" / "Textures"))
            fs::copy_file(entry.path(), fs::path("Interface") / entry.path().filename());
        fs::create_directories("Fonts");
        for (const auto& entry : fs::directory_iterator(resources / "Fonts"))
            fs::copy_file(entry.path(), fs::path("Fonts") / entry.path().filename());
        m_ThemeFile = (resources / "Interface" / "JWindowSkins" / "Demo.JWindowSkin").string();
        // The list is named from "Resources", as the game's is.
        GetFontList().SetSource(nullptr, ".", 0);
    }
    void TearDown() override
    {
        GetFontList().RemoveAll();
        GetFontList().SetSource(nullptr, "Nowhere", 0);
        SkinFrameTest::TearDown();
    }
    std::string m_ThemeFile;
};

TEST_F(DemoThemeTest, EveryNameInTheDemoThemeIsFoundAndWrittenBack)
{
    CJWindowAlphaTheme theme;
    ASSERT_TRUE(theme.ReadFromFile(m_ThemeFile.c_str(), 0));
    ASSERT_TRUE(theme.SaveToFile("Saved.JWindowSkin", 0));
    const std::string saved = ReadBytes("Saved.JWindowSkin");
    std::istringstream lines(ReadBytes(m_ThemeFile));
    std::string line;
    int names = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string value = line.substr(equals + 1);
        if (value.rfind("Demo ", 0) != 0 && value.rfind("Fonts/", 0) != 0)
            continue;
        ++names;
        std::string key = line.substr(0, equals);
        key.erase(0, key.find_first_not_of('\t'));
        if (key == "Title Plate")
            key = "Top Center Decal";
        EXPECT_NE(saved.find(key + "=" + value), std::string::npos) << "not found: " << line;
    }
    EXPECT_GE(names, 20);

    CAlphaSkinData& data = theme.GetData();
    ASSERT_NE(data.GetGeneralFont(), nullptr);
    EXPECT_NE(data.GetGeneralFont(), data.GetHeadingFont());
    auto* window = new CJWindow(nullptr, "Probe");
    window->SetSkinTheme(&theme);
    EXPECT_NE(window->GetSkin(), nullptr) << "the window border's texture";
    window->SetSkinTheme(GetDefaultTheme());
    window->Destroy();
}

} // namespace
