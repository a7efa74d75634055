#include "platform/KeyTranslationSDL.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

namespace plat {
namespace {

using Kind = WindowEvent::Kind;

struct KeyCase {
    const char* name;
    SDL_Scancode scancode;
    SDL_Keycode key;
    uint16_t scanIndex;
    uint16_t virtualKey;
};

void PrintTo(const KeyCase& c, std::ostream* out)
{
    *out << c.name;
}

class KeyPositions : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyPositions, GiveSetOneScanIndexAndVirtualKey)
{
    EXPECT_EQ(ScanIndexFromScancode(GetParam().scancode), GetParam().scanIndex);
    EXPECT_EQ(VirtualKeyFromKey(GetParam().scancode, GetParam().key), GetParam().virtualKey);
}

// The scan indices the game reads for Shift, Control and Alt, extended keys
// with 256 added, and letters that follow the layout for their virtual key.
INSTANTIATE_TEST_SUITE_P(
    KeyTranslation, KeyPositions,
    ::testing::Values(KeyCase{"LetterA", SDL_SCANCODE_A, SDLK_a, 30, 'A'},
                      KeyCase{"AzertyA", SDL_SCANCODE_Q, SDLK_a, 16, 'A'},
                      KeyCase{"Digit1", SDL_SCANCODE_1, SDLK_1, 2, '1'},
                      KeyCase{"LeftShift", SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 42, vk::kShift},
                      KeyCase{"LeftControl", SDL_SCANCODE_LCTRL, SDLK_LCTRL, 29, vk::kControl},
                      KeyCase{"RightControl", SDL_SCANCODE_RCTRL, SDLK_RCTRL, 285, vk::kControl},
                      KeyCase{"LeftAlt", SDL_SCANCODE_LALT, SDLK_LALT, 56, vk::kMenu},
                      KeyCase{"RightAlt", SDL_SCANCODE_RALT, SDLK_RALT, 312, vk::kMenu},
                      KeyCase{"Enter", SDL_SCANCODE_RETURN, SDLK_RETURN, 28, vk::kReturn},
                      KeyCase{"KeypadEnter", SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 284, vk::kReturn},
                      KeyCase{"Left", SDL_SCANCODE_LEFT, SDLK_LEFT, 331, vk::kLeft},
                      KeyCase{"F10", SDL_SCANCODE_F10, SDLK_F10, 68, vk::kF10},
                      KeyCase{"F11", SDL_SCANCODE_F11, SDLK_F11, 87, vk::kF11},
                      KeyCase{"Keypad7", SDL_SCANCODE_KP_7, SDLK_KP_7, 71, vk::kNumpad0 + 7},
                      KeyCase{"MenuKey", SDL_SCANCODE_APPLICATION, SDLK_APPLICATION, 349, vk::kApps},
                      KeyCase{"Semicolon", SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, 39, 0xBA},
                      KeyCase{"Unknown", SDL_SCANCODE_MUTE, SDLK_MUTE, 0, 0}),
    [](const ::testing::TestParamInfo<KeyCase>& param) { return param.param.name; });

struct ControlCase {
    const char* name;
    SDL_Keycode key;
    uint16_t modifiers;
    uint8_t character;
};

void PrintTo(const ControlCase& c, std::ostream* out)
{
    *out << c.name;
}

class ControlCharacters : public ::testing::TestWithParam<ControlCase> {};

TEST_P(ControlCharacters, AreMadeFromKeyDowns)
{
    EXPECT_EQ(ControlCharacterFor(GetParam().key, GetParam().modifiers), GetParam().character);
}

INSTANTIATE_TEST_SUITE_P(KeyTranslation, ControlCharacters,
                         ::testing::Values(ControlCase{"Backspace", SDLK_BACKSPACE, 0, 8},
                                           ControlCase{"ControlBackspace", SDLK_BACKSPACE, KMOD_LCTRL, 127},
                                           ControlCase{"Enter", SDLK_RETURN, 0, 13},
                                           ControlCase{"ControlEnter", SDLK_RETURN, KMOD_RCTRL, 10},
                                           ControlCase{"ControlA", SDLK_a, KMOD_LCTRL, 1},
                                           ControlCase{"ControlZ", SDLK_z, KMOD_LCTRL, 26},
                                           ControlCase{"ControlBracket", SDLK_LEFTBRACKET, KMOD_LCTRL, 27},
                                           ControlCase{"ControlBackslash", SDLK_BACKSLASH, KMOD_LCTRL, 28},
                                           ControlCase{"PlainLetter", SDLK_a, 0, 0},
                                           ControlCase{"ControlDigit", SDLK_1, KMOD_LCTRL, 0}),
                         [](const ::testing::TestParamInfo<ControlCase>& param) { return param.param.name; });

std::string Describe(const std::vector<WindowEvent>& events)
{
    std::string text;
    for (const WindowEvent& event : events) {
        switch (event.kind) {
        case Kind::KeyDown:
            text += "down" + std::to_string(event.scanIndex) + " ";
            break;
        case Kind::KeyUp:
            text += "up" + std::to_string(event.scanIndex) + " ";
            break;
        case Kind::Char:
            text += "char" + std::to_string(event.character) + " ";
            break;
        case Kind::SysChar:
            text += "sys" + std::to_string(event.character) + " ";
            break;
        case Kind::ContextMenuKey:
            text += "menu ";
            break;
        default:
            text += "other ";
            break;
        }
    }
    return text;
}

TEST(KeyTranslation, KeyDownComesBeforeItsCharacter)
{
    std::vector<WindowEvent> events;
    TranslateKeyDown(SDL_SCANCODE_C, SDLK_c, KMOD_LCTRL, events);
    TranslateKeyDown(SDL_SCANCODE_A, SDLK_a, 0, events);
    TranslateKeyUp(SDL_SCANCODE_A, SDLK_a, 0, events);
    TranslateKeyDown(SDL_SCANCODE_APPLICATION, SDLK_APPLICATION, 0, events);
    EXPECT_EQ(Describe(events), "down46 char3 down30 up30 down349 menu ");
}

// SDL repeats a held key's key-down; each repeat types its control character again.
TEST(KeyTranslation, RepeatedKeyDownsRepeatTheirControlCharacter)
{
    std::vector<WindowEvent> events;
    TranslateKeyDown(SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 0, events);
    TranslateKeyDown(SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 0, events);
    TranslateKeyUp(SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 0, events);
    TranslateKeyDown(SDL_SCANCODE_RCTRL, SDLK_RCTRL, KMOD_RCTRL, events);
    TranslateKeyDown(SDL_SCANCODE_TAB, SDLK_TAB, KMOD_RCTRL, events);
    EXPECT_EQ(Describe(events), "down14 char8 down14 char8 up14 down285 down15 char9 ");
    EXPECT_EQ(events[6].virtualKey, vk::kTab);
}

TEST(KeyTranslation, AltWithoutControlTypesTheKeysCharacterAsSysChar)
{
    std::vector<WindowEvent> events;
    TranslateKeyDown(SDL_SCANCODE_F, SDLK_f, KMOD_LALT, events);
    TranslateKeyDown(SDL_SCANCODE_F, SDLK_f, KMOD_LALT | KMOD_LSHIFT, events);
    TranslateKeyDown(SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT, events);
    // The text of the same key is dropped: the key-down typed it.
    TranslateText("f", KMOD_LALT, events);
    // Control with Alt (AltGr on many layouts) types through text.
    TranslateText("@", KMOD_LALT | KMOD_LCTRL, events);
    EXPECT_EQ(Describe(events), "down33 sys102 down33 sys70 down28 sys13 char64 ");
    EXPECT_TRUE(events[0].altHeld);
}

TEST(KeyTranslation, TextBecomesWindows1252AndDropsWhatItCannotHold)
{
    std::vector<WindowEvent> events;
    TranslateText("a\xC3\xA9\xE2\x82\xAC\xE4\xB8\xAD\x7F\xC5\x93z", 0, events);
    EXPECT_EQ(Describe(events), "char97 char233 char128 char156 char122 ");
}

// Typed text reads characters as every other conversion does: a cut or
// over-long sequence types nothing, and what follows it still types.
TEST(KeyTranslation, MalformedTextTypesNothingAndLosesNothingAfterIt)
{
    std::vector<WindowEvent> events;
    TranslateText("\xE4z\xC1\x81y", 0, events);
    EXPECT_EQ(Describe(events), "char122 char121 ");
}

} // namespace
} // namespace plat
