#include "SequenceTestSupport.h"

#include "blit/ColorTables.h"
#include "images/CFilterRLEColor0.h"
#include "images/CFrame.h"
#include "objects/CObject.h"
#include "platform/Clock.h"
#include "sequences/RegisterSequencesClasses.h"

uint32_t SequenceFolderTest::s_Tick = 0;

namespace {

uint32_t TestTick()
{
    return SequenceFolderTest::s_Tick;
}

} // namespace

void WriteTga(const std::string& path, uint32_t width, uint32_t height, uint32_t bgra)
{
    WritePixelsTga(path, width, height, [bgra](uint32_t, uint32_t) { return bgra; });
}

std::string SequenceProperties(const std::string& lines)
{
    return ObjectText("CSequence", lines);
}

void SequenceFolderTest::SetUp()
{
    CTempFolderTest::SetUp();
    RegisterObjectClasses();
    RegisterImagesClasses();
    RegisterSequencesClasses();
    InitBlitTables();
    m_PreviousDepth = CFrame::SGetBitDepth();
    m_PreviousRunLength = IsRunLengthEncodingEnabled();
    CFrame::SetGlobalBitDepth(32);
    s_Tick = 0;
    plat::SetMillisecondTickSource(&TestTick);
}

void SequenceFolderTest::TearDown()
{
    plat::SetMillisecondTickSource(nullptr);
    CFrame::SetGlobalBitDepth(m_PreviousDepth);
    SetRunLengthEncodingEnabled(m_PreviousRunLength);
    CTempFolderTest::TearDown();
}
