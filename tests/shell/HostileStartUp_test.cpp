// The program (or its game object) started over a data folder holding one
// damaged or unusual file: it either starts or ends with status 255 and its
// report, never with a crash or a hang.
#include "ShellTestSupport.h"

#include "foundation/CFile.h"
#include "foundation/FatalError.h"
#include "images/CFontBitmap.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "images/CTGAFileIO.h"
#include "render/RegisterRenderClasses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>

namespace {

constexpr const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Five glyphs A-E, each a 2-pixel-wide block in front of its bottom-row mark.
void WriteBitmapFontImage(const char* path)
{
    auto image = CFrame::MakeOwned(16, 6, 32);
    ASSERT_TRUE(image);
    CColor clear(0, 0, 0, 0), white(255, 255, 255, 255);
    image->Fill(clear);
    for (int32_t cell = 0; cell < 5; ++cell) {
        const int32_t x = 1 + cell * 3;
        image->FillRect(CRect{x, 0, x + 2, 5}, white);
        image->FillRect(CRect{x + 2, 5, x + 3, 6}, white);
    }
    image->FillRect(CRect{0, 4, 1, 5}, white); // the height mark
    CTGAFileIO writer;
    ASSERT_TRUE(writer.WriteImageFile(*image, path, FILE_MAKE_FOLDERS));
}

class HostileStartUp : public CTempFolderTest {
protected:
    // Runs the program for a few passes; answers its exit status.
    int Run()
    {
        const std::map<std::string, std::string> environment{{"XDG_RUNTIME_DIR", Folder()},
                                                             {"OMBRISALT_HEADLESS", "1"}};
        const int pid = SpawnProgram({"/DataFolder", Folder(), "/Passes", "5"}, environment, {}, PathOf("err"));
        const CEndsWithTest guard(pid);
        return WaitForExitStatus(pid);
    }
    std::string Errors() const { return ReadBytes(PathOf("err")); }

    // A default TrueType file, which every font names unless told otherwise.
    bool WriteDefaultTrueType()
    {
        const std::string font = ReadBytes(kDejaVuSans);
        if (font.empty())
            return false;
        WriteBytes("Data/Resources/!default.ttf", font);
        return true;
    }
};

// The font list is read while an object file is open: the fatal report must
// end the program through exit() without touching freed stream tables.
TEST_F(HostileStartUp, AFontNamingAMissingTrueTypeFileIsReportedWith255)
{
    if (!WriteDefaultTrueType())
        GTEST_SKIP() << kDejaVuSans << " is missing (Debian package fonts-dejavu-core)";
    WriteBytes("Data/Resources/Fonts/Bad.FONT.TXT", "CFont\r\n{\r\nFont Family=gone.ttf\r\n}\r\n");
    EXPECT_EQ(Run(), 255);
    const std::string errors = Errors();
    EXPECT_NE(errors.find("\"gone.ttf\""), std::string::npos) << errors;
    EXPECT_EQ(errors.find("Sanitizer"), std::string::npos) << errors;
}

TEST_F(HostileStartUp, ANamedPipeAsTheLogoVideoIsSkipped)
{
    std::filesystem::create_directories(PathOf("Data/Resources"));
    ASSERT_EQ(::mkfifo(PathOf("Data/Resources/ombrisalt_video.ogg").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(PathOf("Data/Resources/ombrisalt_video_sound.ogg").c_str(), 0644), 0);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Errors(), "");
}

// Named pipes where the settings files are kept are never opened and waited
// on: the settings read as their defaults, and a probe that cannot be
// written says so.
TEST_F(HostileStartUp, NamedPipesAsTheSettingsFilesGiveDefaults)
{
    std::filesystem::create_directories(PathOf("Data/Resources"));
    ASSERT_EQ(::mkfifo(PathOf("Ombrisalt.CFG").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(PathOf("Quenthal Editor.ini").c_str(), 0644), 0);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Errors(), "");
}

TEST_F(HostileStartUp, ANamedPipeAsTheStartUpProbeIsAFolderThatCannotBeWritten)
{
    std::filesystem::create_directories(PathOf("Data/Resources"));
    ASSERT_EQ(::mkfifo(PathOf("TestDestinationReadibility.txt").c_str(), 0644), 0);
    EXPECT_EQ(Run(), 255);
    EXPECT_NE(Errors().find("Executable path is not writable."), std::string::npos) << Errors();
}

// The game set up as at start-up, its only font a bitmap font; the first
// glyph asked of it (the frame-rate line's) cuts the image.
class BitmapFontGame : public CShellTest {
protected:
    void SetUp() override
    {
        CShellTest::SetUp();
        const std::string font = ReadBytes(kDejaVuSans);
        if (font.empty())
            GTEST_SKIP() << kDejaVuSans << " is missing (Debian package fonts-dejavu-core)";
        WriteBytes("Data/Resources/!default.ttf", font);
        WriteBytes("Data/Resources/Fonts/Blocky.FONT.TXT",
                   "CFontBitmap\r\n{\r\nBitmap/First ASCII=65\r\nBitmap/Last ASCII=69\r\n}\r\n");
        RegisterRenderClasses();
    }
};

TEST_F(BitmapFontGame, AsTheFirstFontCutsItsImageFromTheFrameLibrary)
{
    WriteBitmapFontImage("Data/Resources/Fonts/Blocky.tga");
    CCountingGame game;
    auto* first = dynamic_cast<CFontBitmap*>(GetFontList().GetObject(GetFontList().FirstRealRow()));
    ASSERT_TRUE(first);
    // A rendered 'B' would be several times wider than its cell here.
    EXPECT_LE(first->GetCharAdvance('B'), 3u);
    EXPECT_TRUE(first->IsCut());
    EXPECT_EQ(first->GetHeight(), 4u);
}

TEST_F(BitmapFontGame, WithoutItsImageNamesTheFontAndTheImage)
{
    WriteBitmapFontImage("Data/Resources/Other.tga");
    CCountingGame game;
    CFont* first = GetFontList().GetObject(GetFontList().FirstRealRow());
    ASSERT_TRUE(first);
    const CScopedThrowingFatal fatal;
    try {
        first->GetCharAdvance('B');
        ADD_FAILURE() << "no report";
    } catch (const CFatalErrorException& e) {
        for (const char* text : {"The item we are looking for is \"Fonts/Blocky\"",
                                 "referenced by \"Resources/Fonts/Blocky.FONT.TXT\"", "1) Other"})
            EXPECT_NE(e.message.find(text), std::string::npos) << text << " not in " << e.message;
    }
}

} // namespace
