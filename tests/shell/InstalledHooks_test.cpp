// What the hooks installed at start-up make work: 32-bit float lines,
// texturizing frame effects that take their texture from the frame library,
// and the arrow cursor over a fatal-error box.
#include "ShellTestSupport.h"

#include "blit/CColor.h"
#include "foundation/FatalError.h"
#include "foundation/ShellServices.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "images/CTGAFileIO.h"
#include "render/CFrameEffect.h"
#include "shell/GameWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

class InstalledHooks : public CShellTest {
protected:
    void SetUp() override
    {
        CShellTest::SetUp();
        ASSERT_TRUE(Start());
    }
};

// Pixels of a frame that differ from the cleared ones (all zero bytes).
uint32_t ChangedPixels(const CFrame& frame, uint32_t bytesPerPixel)
{
    uint32_t changed = 0;
    for (uint32_t y = 0; y < frame.GetHeight(); ++y)
        for (uint32_t x = 0; x < frame.GetWidth(); ++x) {
            const uint8_t* p = frame.Row(y) + bytesPerPixel * x;
            changed += std::any_of(p, p + bytesPerPixel, [](uint8_t b) { return b != 0; });
        }
    return changed;
}

TEST_F(InstalledHooks, AFloatLineDrawsAtThirtyTwoBitsAsAtTwentyFour)
{
    for (const uint32_t depth : {24u, 32u}) {
        SCOPED_TRACE(depth);
        std::unique_ptr<CFrame> frame = CFrame::MakeOwned(32, 32, depth);
        ASSERT_NE(frame, nullptr);
        frame->Clear();
        CColor white(255, 255, 255, 255);
        frame->DrawLineFloat(2.0f, 2.0f, 29.0f, 29.0f, white, 1.0f);
        const uint32_t bytes = depth / 8;
        EXPECT_GE(ChangedPixels(*frame, bytes), 28u);
        // Along the diagonal, and nowhere far from it.
        EXPECT_NE(frame->Row(15)[bytes * 15], 0);
        for (uint32_t y = 0; y < 32; ++y)
            for (uint32_t x = 0; x < 32; ++x) {
                if (std::abs(int32_t(x) - int32_t(y)) > 2) {
                    EXPECT_EQ(frame->Row(y)[bytes * x + 1], 0) << x << ", " << y;
                }
            }
    }
}

TEST_F(InstalledHooks, TexturizingTakesItsTextureFromTheFrameLibrary)
{
    std::unique_ptr<CFrame> green = CFrame::MakeOwned(4, 4, 32);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 4; ++x)
            std::memcpy(green->Row(y) + 4 * x, "\x00\xFF\x00\xFF", 4);
    CTGAFileIO writer;
    ASSERT_TRUE(writer.WriteImageFile(*green, "Textures/Green.tga", FILE_MAKE_FOLDERS));
    GetFrameLibrary().SetSource("Textures", "Textures", 0);

    std::unique_ptr<CFrame> source = CFrame::MakeOwned(6, 6, 32);
    for (uint32_t y = 1; y < 4; ++y)
        for (uint32_t x = 1; x < 5; ++x)
            std::memcpy(source->Row(y) + 4 * x, "\xFF\xFF\xFF\xFF", 4);
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(6, 6, 32);
    target->Clear();
    CFrameEffectTexturize texturize;
    texturize.m_TextureFrameIndex = uint32_t(GetFrameLibrary().Find("Green")); // row 0 is none
    texturize.Apply(*source, *target);
    GetFrameLibrary().SetSource(nullptr, "", 0);
    GetFrameLibrary().RemoveAll();

    EXPECT_EQ(ChangedPixels(*target, 4), 12u);
    const uint8_t* inside = target->Row(2) + 4 * 2;
    EXPECT_EQ(inside[0], 0);
    EXPECT_EQ(inside[1], 255);
    EXPECT_EQ(inside[2], 0);
    EXPECT_EQ(target->Row(0)[3], 0) << "outside the source's shape";
}

// Stands between the fatal path and the installed cursor hooks to see the
// cursor as the box comes up (the desktop is brought forward just before).
class CCursorWitness final : public CShellHooks {
public:
    explicit CCursorWitness(const plat::CWindowHeadless& window)
        : m_Window(window)
    {
    }
    void ShowArrowCursor() override { m_Installed->ShowArrowCursor(); }
    void ClearCursor() override { m_Installed->ClearCursor(); }
    void BringDesktopToFront() override
    {
        m_Installed->BringDesktopToFront();
        m_ShownAtTheBox = m_Window.IsCursorShown();
    }

    CShellHooks* m_Installed = nullptr;
    bool m_ShownAtTheBox = false;

private:
    const plat::CWindowHeadless& m_Window;
};

TEST_F(InstalledHooks, TheFatalBoxShowsTheArrowAndClearsItAfterwards)
{
    const plat::CWindowHeadless& window = m_Platform.GetHeadlessWindow();
    HideSystemCursor();
    CCursorWitness witness(window);
    const CScopedShellHooks hooks(&witness);
    ASSERT_NE(hooks.Previous(), nullptr);
    witness.m_Installed = hooks.Previous();

    ShowDataCrashExplanation("FATAL ERROR", "Missing file");
    ASSERT_EQ(m_Platform.GetMessageBoxes().size(), 1u);
    EXPECT_TRUE(witness.m_ShownAtTheBox);
    EXPECT_FALSE(window.IsCursorShown());

    ShowMessage("Error", "A notice");
    EXPECT_TRUE(window.IsCursorShown()) << "a notice leaves the arrow";
}

} // namespace
