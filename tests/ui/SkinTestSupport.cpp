#include "SkinTestSupport.h"

#include "blit/ColorTables.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "images/CFrameList.h"
#include "objects/CObject.h"
#include "ui/CJWindow.h"
#include "ui/RegisterUiClasses.h"
#include "ui/SkinResources.h"

void WriteSolidTga(const std::string& path, uint32_t width, uint32_t height, uint32_t argb)
{
    WritePixelsTga(path, width, height, [argb](uint32_t, uint32_t) { return argb; });
}

uint32_t Rgb(const CFrame& frame, int32_t x, int32_t y)
{
    CColor c;
    frame.GetPixel(x, y, c);
    return uint32_t(c.GetRed()) << 16 | uint32_t(c.GetGreen()) << 8 | c.GetBlue();
}

uint32_t Blend(uint32_t d, uint32_t s, uint32_t alpha)
{
    const int32_t k = int32_t(alpha >> 1);
    const int32_t v = int32_t(d) + ((int32_t(s) - int32_t(d)) * k >> 7);
    return uint32_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

void SkinFrameTest::SetUp()
{
    CTempFolderTest::SetUp();
    RegisterObjectClasses();
    RegisterImagesClasses();
    InitBlitTables();
    RegisterUiClasses();
    m_PreviousDepth = CFrame::SGetBitDepth();
    CFrame::SetGlobalBitDepth(32);
    m_Frames = std::make_unique<CFrameList>(nullptr);
    m_Frames->SetFilters(CFrameFilter());
    m_Frames->SetSource(nullptr, "Interface", 0);
    SetSkinResources(nullptr, m_Frames.get());
    if (!WriteDefaultFont())
        GTEST_SKIP() << "DejaVuSans is missing (Debian package fonts-dejavu-core)";
    EnumerateFontFiles();
    m_Font = std::make_unique<CFont>();
    CJWindow::SetDefaultFont(m_Font.get());
}

void SkinFrameTest::TearDown()
{
    CJWindow::SetDefaultFont(nullptr);
    m_Font.reset();
    SetSkinResources(nullptr, nullptr);
    m_Frames.reset();
    CFrame::SetGlobalBitDepth(m_PreviousDepth);
    CTempFolderTest::TearDown();
}

void SkinFrameTest::AddFrame(const std::string& name, uint32_t width, uint32_t height, uint32_t argb)
{
    WriteSolidTga("Interface/" + name + ".tga", width, height, argb);
}

void SkinFrameTest::AddFrame(const std::string& name, uint32_t width, uint32_t height,
                             const std::function<uint32_t(uint32_t x, uint32_t y)>& pixel)
{
    WritePixelsTga("Interface/" + name + ".tga", width, height, pixel);
}

int32_t SkinFrameTest::Index(const char* name)
{
    return m_Frames->Find(name);
}

CFrame* SkinFrameTest::FrameWithHotSpot(const char* name, int32_t x, int32_t y)
{
    CFrame* frame = GetSkinFrame(Index(name));
    if (frame)
        frame->SetOffset(int16_t(-x), int16_t(-y));
    return frame;
}

std::unique_ptr<CFrame> SkinFrameTest::Canvas(uint32_t width, uint32_t height)
{
    auto frame = CFrame::MakeOwned(width, height, 32);
    CColor black(0, 0, 0, 255);
    frame->Fill(black);
    return frame;
}
