#include "platform/KeyTranslationSDL.h"

#include "platform/TextCodec.h"

#include <iterator>

namespace plat {

namespace {

struct ScanEntry {
    SDL_Scancode scancode;
    uint16_t scanIndex;
    uint16_t virtualKey; // by position; 0 where the layout decides
};

constexpr uint16_t kExtended = 256;

// Positions of the keys that are not characters of the layout, and of those
// whose set-1 code does not follow from a simple range.
constexpr ScanEntry kKeys[] = {
    {SDL_SCANCODE_RETURN, 0x1C, vk::kReturn},
    {SDL_SCANCODE_ESCAPE, 0x01, vk::kEscape},
    {SDL_SCANCODE_BACKSPACE, 0x0E, vk::kBack},
    {SDL_SCANCODE_TAB, 0x0F, vk::kTab},
    {SDL_SCANCODE_SPACE, 0x39, vk::kSpace},
    {SDL_SCANCODE_MINUS, 0x0C, 0},
    {SDL_SCANCODE_EQUALS, 0x0D, 0},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A, 0},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1B, 0},
    {SDL_SCANCODE_BACKSLASH, 0x2B, 0},
    {SDL_SCANCODE_NONUSHASH, 0x2B, 0},
    {SDL_SCANCODE_SEMICOLON, 0x27, 0},
    {SDL_SCANCODE_APOSTROPHE, 0x28, 0},
    {SDL_SCANCODE_GRAVE, 0x29, 0},
    {SDL_SCANCODE_COMMA, 0x33, 0},
    {SDL_SCANCODE_PERIOD, 0x34, 0},
    {SDL_SCANCODE_SLASH, 0x35, 0},
    {SDL_SCANCODE_CAPSLOCK, 0x3A, vk::kCapital},
    {SDL_SCANCODE_F11, 0x57, vk::kF11},
    {SDL_SCANCODE_F12, 0x58, vk::kF12},
    {SDL_SCANCODE_PRINTSCREEN, kExtended | 0x37, vk::kSnapshot},
    {SDL_SCANCODE_SCROLLLOCK, 0x46, vk::kScroll},
    {SDL_SCANCODE_PAUSE, 0x45, vk::kPause},
    {SDL_SCANCODE_INSERT, kExtended | 0x52, vk::kInsert},
    {SDL_SCANCODE_HOME, kExtended | 0x47, vk::kHome},
    {SDL_SCANCODE_PAGEUP, kExtended | 0x49, vk::kPrior},
    {SDL_SCANCODE_DELETE, kExtended | 0x53, vk::kDelete},
    {SDL_SCANCODE_END, kExtended | 0x4F, vk::kEnd},
    {SDL_SCANCODE_PAGEDOWN, kExtended | 0x51, vk::kNext},
    {SDL_SCANCODE_RIGHT, kExtended | 0x4D, vk::kRight},
    {SDL_SCANCODE_LEFT, kExtended | 0x4B, vk::kLeft},
    {SDL_SCANCODE_DOWN, kExtended | 0x50, vk::kDown},
    {SDL_SCANCODE_UP, kExtended | 0x48, vk::kUp},
    {SDL_SCANCODE_NUMLOCKCLEAR, kExtended | 0x45, vk::kNumLock},
    {SDL_SCANCODE_KP_DIVIDE, kExtended | 0x35, vk::kDivide},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37, vk::kMultiply},
    {SDL_SCANCODE_KP_MINUS, 0x4A, vk::kSubtract},
    {SDL_SCANCODE_KP_PLUS, 0x4E, vk::kAdd},
    {SDL_SCANCODE_KP_ENTER, kExtended | 0x1C, vk::kReturn},
    {SDL_SCANCODE_KP_1, 0x4F, vk::kNumpad0 + 1},
    {SDL_SCANCODE_KP_2, 0x50, vk::kNumpad0 + 2},
    {SDL_SCANCODE_KP_3, 0x51, vk::kNumpad0 + 3},
    {SDL_SCANCODE_KP_4, 0x4B, vk::kNumpad0 + 4},
    {SDL_SCANCODE_KP_5, 0x4C, vk::kNumpad0 + 5},
    {SDL_SCANCODE_KP_6, 0x4D, vk::kNumpad0 + 6},
    {SDL_SCANCODE_KP_7, 0x47, vk::kNumpad0 + 7},
    {SDL_SCANCODE_KP_8, 0x48, vk::kNumpad0 + 8},
    {SDL_SCANCODE_KP_9, 0x49, vk::kNumpad0 + 9},
    {SDL_SCANCODE_KP_0, 0x52, vk::kNumpad0},
    {SDL_SCANCODE_KP_PERIOD, 0x53, vk::kDecimal},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56, 0},
    {SDL_SCANCODE_APPLICATION, kExtended | 0x5D, vk::kApps},
    {SDL_SCANCODE_LCTRL, 0x1D, vk::kControl},
    {SDL_SCANCODE_LSHIFT, 0x2A, vk::kShift},
    {SDL_SCANCODE_LALT, 0x38, vk::kMenu},
    {SDL_SCANCODE_LGUI, kExtended | 0x5B, vk::kLWin},
    {SDL_SCANCODE_RCTRL, kExtended | 0x1D, vk::kControl},
    {SDL_SCANCODE_RSHIFT, 0x36, vk::kShift},
    {SDL_SCANCODE_RALT, kExtended | 0x38, vk::kMenu},
    {SDL_SCANCODE_RGUI, kExtended | 0x5C, vk::kRWin},
};

// Set-1 codes of the letters A to Z.
constexpr uint8_t kLetterScan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                     0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
static_assert(std::size(kLetterScan) == 26);

const ScanEntry* FindKey(SDL_Scancode scancode)
{
    for (const ScanEntry& entry : kKeys)
        if (entry.scancode == scancode)
            return &entry;
    return nullptr;
}

// Punctuation keys of a US layout and their virtual keys.
uint16_t PunctuationVirtualKey(SDL_Keycode key)
{
    switch (key) {
    case ';':
        return 0xBA;
    case '=':
        return 0xBB;
    case ',':
        return 0xBC;
    case '-':
        return 0xBD;
    case '.':
        return 0xBE;
    case '/':
        return 0xBF;
    case '`':
        return 0xC0;
    case '[':
        return 0xDB;
    case '\\':
        return 0xDC;
    case ']':
        return 0xDD;
    case '\'':
        return 0xDE;
    default:
        return 0;
    }
}

bool AltWithoutControl(uint16_t modifiers)
{
    return (modifiers & KMOD_ALT) != 0 && (modifiers & KMOD_CTRL) == 0;
}

WindowEvent KeyEvent(WindowEvent::Kind kind, SDL_Scancode scancode, SDL_Keycode key, uint16_t modifiers)
{
    WindowEvent event;
    event.kind = kind;
    event.scanIndex = ScanIndexFromScancode(scancode);
    event.virtualKey = VirtualKeyFromKey(scancode, key);
    event.altHeld = (modifiers & KMOD_ALT) != 0;
    return event;
}

WindowEvent CharEvent(WindowEvent::Kind kind, uint8_t character)
{
    WindowEvent event;
    event.kind = kind;
    event.character = character;
    return event;
}

} // namespace

uint16_t ScanIndexFromScancode(SDL_Scancode scancode)
{
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return kLetterScan[scancode - SDL_SCANCODE_A];
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_0)
        return uint16_t(0x02 + (scancode - SDL_SCANCODE_1));
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F10)
        return uint16_t(0x3B + (scancode - SDL_SCANCODE_F1));
    const ScanEntry* entry = FindKey(scancode);
    return entry ? entry->scanIndex : 0;
}

uint16_t VirtualKeyFromKey(SDL_Scancode scancode, SDL_Keycode key)
{
    if (key >= 'a' && key <= 'z')
        return uint16_t(key - 'a' + 'A');
    if (key >= '0' && key <= '9' && !(scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_0))
        return uint16_t(key);
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F10)
        return uint16_t(vk::kF1 + (scancode - SDL_SCANCODE_F1));
    if (const uint16_t punctuation = PunctuationVirtualKey(key))
        return punctuation;
    const ScanEntry* entry = FindKey(scancode);
    if (entry && entry->virtualKey)
        return entry->virtualKey;
    // A layout character on a punctuation position: the position's key.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return uint16_t('A' + (scancode - SDL_SCANCODE_A));
    return 0;
}

uint8_t ControlCharacterFor(SDL_Keycode key, uint16_t modifiers)
{
    const bool control = (modifiers & KMOD_CTRL) != 0;
    switch (key) {
    case SDLK_BACKSPACE:
        return control ? 127 : 8;
    case SDLK_TAB:
        return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return control ? 10 : 13;
    case SDLK_ESCAPE:
        return 27;
    default:
        break;
    }
    if (!control)
        return 0;
    if (key >= 'a' && key <= 'z')
        return uint8_t(key - 'a' + 1);
    switch (key) {
    case '[':
        return 27;
    case '\\':
        return 28;
    case ']':
        return 29;
    default:
        return 0;
    }
}

void TranslateKeyDown(SDL_Scancode scancode, SDL_Keycode key, uint16_t modifiers, std::vector<WindowEvent>& out)
{
    out.push_back(KeyEvent(WindowEvent::Kind::KeyDown, scancode, key, modifiers));
    if (AltWithoutControl(modifiers)) {
        // The layout's character of the key: text input differs between
        // display servers while Alt is held.
        uint8_t character = 0;
        if (key == SDLK_RETURN || key == SDLK_KP_ENTER)
            character = 13;
        else if (key >= 0x20 && key < 0x7F)
            character = uint8_t(key);
        if (character >= 'a' && character <= 'z' && (modifiers & KMOD_SHIFT) != 0)
            character = uint8_t(character - 'a' + 'A');
        if (character)
            out.push_back(CharEvent(WindowEvent::Kind::SysChar, character));
    } else if (const uint8_t control = ControlCharacterFor(key, modifiers)) {
        out.push_back(CharEvent(WindowEvent::Kind::Char, control));
    }
    if (scancode == SDL_SCANCODE_APPLICATION) {
        WindowEvent menu;
        menu.kind = WindowEvent::Kind::ContextMenuKey;
        out.push_back(menu);
    }
}

void TranslateKeyUp(SDL_Scancode scancode, SDL_Keycode key, uint16_t modifiers, std::vector<WindowEvent>& out)
{
    out.push_back(KeyEvent(WindowEvent::Kind::KeyUp, scancode, key, modifiers));
}

void TranslateText(std::string_view utf8, uint16_t modifiers, std::vector<WindowEvent>& out)
{
    if (AltWithoutControl(modifiers))
        return;
    for (size_t i = 0; i < utf8.size();) {
        const uint32_t code = DecodeUtf8(utf8, i);
        uint8_t byte = 0;
        // Control characters come from the key-downs, never from text.
        if (code != kNotUtf8 && code >= 0x20 && code != 0x7F && CodePointToWindows1252(code, byte))
            out.push_back(CharEvent(WindowEvent::Kind::Char, byte));
    }
}

} // namespace plat
