#pragma once
// Sequence folders made by the tests: small 32-bit TGA images written byte
// by byte, a fixture with the classes registered, the frame depth at 32 and
// a hand-driven millisecond clock.

#include "support/TestSupport.h"

#include <cstdint>
#include <string>

// A width x height 32-bit TGA (rows top to bottom) of one BGRA colour.
void WriteTga(const std::string& path, uint32_t width, uint32_t height, uint32_t bgra = 0xFF2040C0u);
// Text of a "Properties.txt" holding a CSequence with the given lines
// (each "Key=Value").
std::string SequenceProperties(const std::string& lines);

class SequenceFolderTest : public CTempFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

public:
    // The millisecond tick the sequences see.
    static uint32_t s_Tick;

private:
    uint32_t m_PreviousDepth = 32;
    bool m_PreviousRunLength = false;
};
