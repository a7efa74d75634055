// Reads skin theme text (themes, their skin records and borders) from
// memory, with and without identities; fatal reports end the input. Each
// object read must read back to the same text, and its borders are drawn
// into a small frame, with whatever sizes and offsets the text gave them.
// A theme then builds a frame window of controls placed with its margin and
// spacings, as the editor's windows are, and the window is drawn.
#include "blit/ColorTables.h"
#include "foundation/FatalError.h"
#include "images/CFrame.h"
#include "program/RegisterAllClasses.h"
#include "tests/support/objects/ObjectRoundTrip.h"
#include "ui/CAlphaSkinData.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJFrameWindow.h"
#include "ui/CJStatic.h"
#include "ui/CSkinBorder.h"

#include <cstdint>

namespace {

void DrawBorder(CSkinBorder* border, CFrame& frame)
{
    if (!border)
        return;
    border->DrawBackground(nullptr, frame, CRect{4, 4, 28, 28}, nullptr);
    border->DrawFrame(nullptr, frame, CRect{4, 4, 28, 28}, nullptr, true);
}

// Every placement code against the previous control and the first one,
// default offsets (the theme's margin and spacings), then a row of them.
void PlaceControls(CJWindowAlphaTheme& theme, CFrame& frame)
{
    CJWindow holder(nullptr);
    holder.SetSkinTheme(&theme);
    auto* window = new CJFrameWindow(&holder, "Window");
    CJButton& first = window->Add<CJButton>(EPlace::TopLeft, "Button");
    window->Add<CJCheckBox>(EPlace::BelowPrevious, CJString("Check Box"));
    window->Add<CJStatic>(EPlace::RightOfPrevious, "Static Text");
    CJButton& last = window->Add<CJButton>(EPlace::BelowPreviousRightAligned, "Last");
    for (int32_t code = 1; code <= 28; ++code)
        last.Place(EPlace(code), &first, kDefaultOffset, kDefaultOffset, 0);
    window->ArrangeRow(&first, &last, 0, true, true, -999, true);
    window->MoveTo(0, 0);
    window->Draw(frame);
    window->Destroy();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        SetFatalTerminator(ThrowingFatalTerminator);
        RegisterAllClasses();
        InitBlitTables();
        CFrame::SetGlobalBitDepth(32);
        return true;
    }();
    (void)ready;
    if (size > (1u << 20))
        return 0;
    CheckTextReadsBackAlike(data, size, [](CObject& object) {
        auto frame = CFrame::MakeOwned(32, 32, 32);
        CAlphaSkinData* skin = nullptr;
        if (auto* theme = dynamic_cast<CJWindowAlphaTheme*>(&object)) {
            skin = &theme->GetData();
            PlaceControls(*theme, *frame);
        } else
            skin = dynamic_cast<CAlphaSkinData*>(&object);
        if (skin) {
            DrawBorder(skin->m_WindowBorder, *frame);
            DrawBorder(skin->m_ButtonBorder, *frame);
            DrawBorder(skin->m_PressedButtonBorder, *frame);
            (void)skin->GetHeadingFont();
        }
        DrawBorder(dynamic_cast<CSkinBorder*>(&object), *frame);
    });
    return 0;
}
