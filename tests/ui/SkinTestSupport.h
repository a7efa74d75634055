#pragma once
// Skin frames made by the tests: 32-bit TGA images written pixel by pixel
// into "Interface/", listed by a frame list that the toolkit is handed as its
// skin frame list, in a temporary working folder with 32-bit frames.

#include "support/TestSupport.h"

#include "images/CFont.h"
#include "images/CFrameList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CFont;
class CFrame;
class CFrameList;

// A width x height 32-bit TGA of one 0xAARRGGBB colour.
void WriteSolidTga(const std::string& path, uint32_t width, uint32_t height, uint32_t argb);

// 0xRRGGBB of a 32-bit frame's pixel (alpha left out).
uint32_t Rgb(const CFrame& frame, int32_t x, int32_t y);
// A channel value blended toward s by alpha as the frame's fills do.
uint32_t Blend(uint32_t d, uint32_t s, uint32_t alpha);

class SkinFrameTest : public CTempFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the named frame; call before the list is first used.
    void AddFrame(const std::string& name, uint32_t width, uint32_t height, uint32_t argb);
    void AddFrame(const std::string& name, uint32_t width, uint32_t height,
                  const std::function<uint32_t(uint32_t x, uint32_t y)>& pixel);
    // The loaded frame; its hot spot is moved to (x, y) of its pixels.
    CFrame* FrameWithHotSpot(const char* name, int32_t x, int32_t y);
    // The index of a frame in the skin frame list.
    int32_t Index(const char* name);
    // A black 32-bit frame to draw into.
    std::unique_ptr<CFrame> Canvas(uint32_t width, uint32_t height);

    std::unique_ptr<CFrameList> m_Frames;
    // DejaVu Sans at 12 points, the default font of new windows; null (and
    // the test skipped) when the system lacks it.
    std::unique_ptr<CFont> m_Font;

private:
    uint32_t m_PreviousDepth = 32;
};
