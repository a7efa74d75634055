#include "OverlayTestSupport.h"

#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "overlays/OverlayClassBody.h"
#include "sequences/CSequenceList.h"

#include <cstring>

CFixedFont::CFixedFont()
{
    m_Height = uint32_t(kHeight);
    SetBlitType(0);
}

CFixedFont::~CFixedFont() = default;

SGlyphEntry& CFixedFont::GetGlyph(uint32_t code)
{
    SGlyphEntry& entry = m_Fixed[code];
    if (code >= 20 && entry.advance == 0) {
        if (code != ' ') {
            entry.frame = CFrame::MakeOwned(kAdvance, kHeight, 32);
            CColor white(255, 255, 255, 255);
            entry.frame->Fill(white);
        }
        entry.advance = kAdvance;
        entry.bottom = kHeight;
    }
    return entry;
}

OMBRISALT_OVERLAY_CLASS(CRecordingOverlay, 1.0)
void CRecordingOverlay::DeclareProperties(CPropertyDeclarer&) {}

void CRecordingOverlay::Draw(CFrameOverlayDrawContext& context)
{
    m_Seen.push_back(context);
}

void CRecordingOverlay::MoveBy(int32_t dx, int32_t dy)
{
    m_Moved.x += dx;
    m_Moved.y += dy;
}

void OverlayTest::SetUp()
{
    SequenceFolderTest::SetUp();
    CRecordingOverlay::SGetClassInfo();
    ResetLists();
}

void OverlayTest::TearDown()
{
    // The lists are the program's: nothing of this folder stays loaded.
    GetFrameLibrary().RemoveAll();
    GetSequenceList().RemoveAll();
    GetFrameOverlayOptionsList().RemoveAll();
    SequenceFolderTest::TearDown();
}

void OverlayTest::AddFrame(const std::string& name, uint32_t width, uint32_t height, uint32_t bgra)
{
    WriteTga("Resources/Frames/" + name + ".tga", width, height, bgra);
}

void OverlayTest::AddSequence(const std::string& name, uint32_t width, uint32_t height, uint32_t bgra)
{
    const std::string folder = "Resources/Sequences/-" + name;
    WriteTga(folder + "/0001.tga", width, height, bgra);
    // Hot spot at the upper-left corner, no cropping: the frame is as drawn.
    WriteBytes(folder + "/Properties.txt", SequenceProperties("Center Hot Spot=0\nCrop Clor 0=0"));
}

void OverlayTest::AddSet(const std::string& name, const std::string& body)
{
    WriteBytes("Resources/Frame Overlay Options/" + name + ".FOO", ObjectText("CFrameOverlayOptions", body));
}

void OverlayTest::ResetLists()
{
    GetFrameLibrary().SetSource(nullptr, "Resources/Frames", 0);
    GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
    GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
}

int32_t OverlayTest::FrameIndex(const char* name)
{
    return GetFrameLibrary().Find(name);
}

int32_t OverlayTest::SequenceIndex(const char* name)
{
    return GetSequenceList().Find(name);
}

CFrameOverlayOptions* OverlayTest::Set(const char* name)
{
    return FindFrameOverlayOptions(name);
}

std::unique_ptr<CFrame> OverlayTest::Canvas(uint32_t width, uint32_t height)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(width, height, 32);
    frame->Clear();
    return frame;
}

uint32_t Pixel(const CFrame& frame, int32_t x, int32_t y)
{
    CColor colour;
    frame.GetPixel(x, y, colour);
    return uint32_t(colour.GetAlpha()) << 24 | uint32_t(colour.GetRed()) << 16 | uint32_t(colour.GetGreen()) << 8
        | colour.GetBlue();
}
