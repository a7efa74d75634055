#pragma once
// The keyboard as the game loop reads it: which keys are down, which were
// pressed since someone took them, and the characters typed, in a small ring.
//
// Keys are scan indices: the PC set-1 scan code, plus 256 for extended keys
// (0..511), so the left and right forms of a key are separate keys. Each key
// keeps two bits: down, and pressed-not-yet-taken. A key held down repeats
// its key-down, and every repeat marks it pressed again. Key 0 is never a
// real key and always reads as down.
//
// Typed characters (Windows-1252, with the control codes of the pump) first
// pass the character filters in registration order; the first that answers
// true takes the character. Others enter the ring, which keeps the 9 newest.

#include <cstdint>
#include <vector>

// The control codes the pump types for keys that are not characters
// (MapVirtualKeyToKeyCode, and the Menu key); they share the typed stream
// with the characters, so a reader switches on EngineKey(character).
enum class EngineKey : uint32_t {
    None = 0, // typed nothing
    F5 = 2,
    Home = 5,
    Up = 6,
    PageUp = 7,
    ControlTab = 9, // Tab while a Control key is held
    Down = 10,
    Left = 11,
    Right = 12,
    End = 14,
    PageDown = 15,
    Insert = 16,
    Delete = 17,
    ContextMenu = 18,
    F4 = 20,
    F7 = 21,
    F8 = 23,
    F10 = 25,
    F11 = 26,
    F6 = 28,
    F9 = 29,
    F2 = 30,
    F1 = 31,
};

class CKeyboardState {
public:
    static constexpr int32_t kKeyCount = 512;
    static constexpr int32_t kRingSize = 10;
    // True when the filter takes the character.
    using CharacterFilter = bool (*)(void* context, uint32_t character);

    static CKeyboardState& SGetInstance();

    // Fed by the message pump.
    void OnKeyDown(uint32_t key);
    void OnKeyUp(uint32_t key);
    void OnCharacter(uint32_t character);

    bool IsKeyDown(uint32_t key) const;
    // The lowest key with its pressed mark, the mark cleared; 0 for none.
    uint32_t TakePressedKey();
    // The lowest key down or pressed, its pressed mark cleared; 0 for none.
    uint32_t TakeAnyKey();
    // The oldest typed character; 0 when none waits.
    uint32_t TakeTypedCharacter();

    // The state as it stands: what the window still has queued is not
    // counted (PumpThenClearKeyboard, shell/GameWindow.h, counts it first).
    void ClearPressed();
    void ClearDown();
    void ClearPending();
    // ClearPressed, ClearDown, ClearPending.
    void Reset();

    void AddCharacterFilter(CharacterFilter filter, void* context);
    // Tests: forgets every key, character and filter.
    void ResetForTesting();

private:
    CKeyboardState() = default;

    static constexpr uint32_t kDown = 1;
    static constexpr uint32_t kPressed = 2;

    struct Filter {
        CharacterFilter function;
        void* context;
    };

    uint32_t m_Keys[kKeyCount] = {};
    uint32_t m_Ring[kRingSize] = {};
    int32_t m_RingCount = 0;
    int32_t m_WriteIndex = 0;
    int32_t m_ReadIndex = 0;
    std::vector<Filter> m_Filters;
};
