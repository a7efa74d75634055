#pragma once
// Overlay tests: a folder with frames, sequences and overlay sets made by
// the test and the global lists pointed at it; a font of fixed metrics; an
// overlay that records the contexts it is drawn with.

#include "../sequences/SequenceTestSupport.h"

#include "images/CFont.h"
#include "overlays/CFrameOverlay.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class CFrame;

// Every character 10 pixels wide and 10 high, drawn as a white block (the
// space blank).
class CFixedFont : public CFont {
public:
    static constexpr int32_t kAdvance = 10;
    static constexpr int32_t kHeight = 10;
    CFixedFont();
    ~CFixedFont() override;
    SGlyphEntry& GetGlyph(uint32_t code) override;

private:
    std::map<uint32_t, SGlyphEntry> m_Fixed;
};

class CRecordingOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CRecordingOverlay, CFrameOverlay)
public:
    CRecordingOverlay();
    ~CRecordingOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;

    std::vector<CFrameOverlayDrawContext> m_Seen;
    CPoint m_Moved{0, 0};
};

class OverlayTest : public SequenceFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A frame of the frame library ("Resources/Frames/<name>.tga").
    void AddFrame(const std::string& name, uint32_t width, uint32_t height, uint32_t bgra);
    // A one-frame sequence "Resources/Sequences/-<name>".
    void AddSequence(const std::string& name, uint32_t width, uint32_t height, uint32_t bgra);
    // Writes the set's object text as "<name>.FOO" of the set list.
    void AddSet(const std::string& name, const std::string& body);
    // Points the three lists at the folder again after files were added.
    void ResetLists();
    int32_t FrameIndex(const char* name);
    int32_t SequenceIndex(const char* name);
    CFrameOverlayOptions* Set(const char* name);
    // A 32-bit frame cleared to transparent black.
    std::unique_ptr<CFrame> Canvas(uint32_t width = 64, uint32_t height = 64);
};

// The BGRA word at (x, y) of a 32-bit frame.
uint32_t Pixel(const CFrame& frame, int32_t x, int32_t y);
