// Random keys, control codes, clipboard texts and mouse presses thrown at
// edits with every filter and limit set: whatever arrives, the text always
// meets them, the positions stay inside it and nothing crashes.
#include "EditTestSupport.h"

#include <random>

namespace {

// What the edit promised: only allowed characters, within the length and
// width limits, empty or in range.
void ExpectTextMeetsTheLimits(const CJEdit& edit, CFont& font, const char* forbidden, int maxLength, float minimum,
                              float maximum, const std::string& history)
{
    const CJString& text = edit.GetTitle();
    const int length = text.GetLength();
    ASSERT_LE(length, maxLength) << history;
    ASSERT_LE(font.GetTextWidth(text), edit.GetWidth() - 2) << history;
    for (int i = 0; i < length; ++i) {
        const char16_t c = text.GetAt(i);
        ASSERT_TRUE(c == '.' || c == '-' || (c >= '0' && c <= '9')) << history;
        ASSERT_EQ(std::string(forbidden).find(char(c)), std::string::npos) << history;
    }
    if (length > 0) {
        const float value = text.ToFloat();
        ASSERT_TRUE(value >= minimum && value <= maximum) << text.GetString() << " after " << history;
    }
    ASSERT_LE(edit.GetCaret(), uint32_t(length)) << history;
    ASSERT_LE(edit.GetSelectionAnchor(), uint32_t(length)) << history;
    ASSERT_LE(edit.GetSelectionEnd(), uint32_t(length)) << history;
}

TEST_F(EditTest, RandomKeysAndPastesAlwaysLeaveATextThatMeetsEveryFilterAndLimit)
{
    const char forbidden[] = "7";
    constexpr int kMaxLength = 6;
    constexpr float kMinimum = -50.0f, kMaximum = 900.0f;
    std::mt19937 random(20261207);
    for (int round = 0; round < 12; ++round) {
        CJEdit* edit = AddEdit("");
        edit->SetSize(60, edit->GetHeight());
        edit->SetNumbersOnly(true);
        edit->SetForbiddenChars(forbidden);
        edit->SetMaxLength(kMaxLength);
        edit->SetLimitToWidth(true);
        edit->SetRange(kMinimum, kMaximum);
        edit->SetEnterIsNewline(round % 2 == 1);
        edit->SetForceUpperCase(round % 3 == 0);
        edit->SetCanZoom(round % 4 == 0);
        std::string history;
        for (int step = 0; step < 300; ++step) {
            const uint32_t what = random() % 10;
            if (what < 6) {
                // Editing keys and control codes as often as characters.
                const uint32_t key = random() % 2 ? random() % 32 : 32 + random() % 224;
                if (key == 30)
                    continue; // the zoom editor is a window of its own
                history += " k" + std::to_string(key);
                edit->OnKeyDown(key);
            } else if (what < 8) {
                std::string paste;
                const int count = int(random() % 12);
                for (int i = 0; i < count; ++i)
                    paste += char(1 + random() % 255);
                history += " p" + std::to_string(paste.size());
                PutOnClipboard(paste.c_str());
                edit->ClipboardPaste(1);
            } else if (what == 8) {
                // Shift comes and goes, so arrows and presses select.
                history += " c";
                CKeyboardState& keyboard = CKeyboardState::SGetInstance();
                if (random() % 2)
                    keyboard.OnKeyDown(kShift);
                else
                    keyboard.OnKeyUp(kShift);
                edit->ClipboardCut(1);
            } else {
                const CRect r = edit->GetScreenRect();
                const CPoint p{r.left + int32_t(random() % 80) - 10, r.top + int32_t(random() % 30) - 5};
                history += " m";
                edit->OnMouseDown(random() % 2 ? 0 : 2, p);
                edit->OnMouseUp(0, p);
            }
            ExpectTextMeetsTheLimits(*edit, *m_Font, forbidden, kMaxLength, kMinimum, kMaximum, history);
            if (HasFatalFailure())
                return;
        }
        edit->Destroy();
    }
    CKeyboardState::SGetInstance().OnKeyUp(kShift);
}

} // namespace
