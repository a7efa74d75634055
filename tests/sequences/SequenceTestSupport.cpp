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

void Put16(std::string& out, uint32_t v)
{
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}

} // namespace

void WriteTga(const std::string& path, uint32_t width, uint32_t height, uint32_t bgra)
{
    std::string bytes;
    bytes += std::string("\0\0\2", 3);
    bytes += std::string(5, '\0');
    Put16(bytes, 0);
    Put16(bytes, 0);
    Put16(bytes, width);
    Put16(bytes, height);
    bytes.push_back(32);
    bytes.push_back(0x28); // rows top to bottom, 8 alpha bits
    for (uint32_t i = 0; i < width * height; ++i)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(char((bgra >> shift) & 0xFF));
    WriteBytes(path, bytes);
}

std::string SequenceProperties(const std::string& lines)
{
    std::string text = "CSequence\r\n{\r\n";
    size_t start = 0;
    while (start < lines.size()) {
        size_t end = lines.find('\n', start);
        if (end == std::string::npos)
            end = lines.size();
        text += "\t" + lines.substr(start, end - start) + "\r\n";
        start = end + 1;
    }
    return text + "}\r\n";
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
