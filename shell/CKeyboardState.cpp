#include "shell/CKeyboardState.h"

#include <algorithm>
#include <iterator>

CKeyboardState& CKeyboardState::SGetInstance()
{
    static CKeyboardState* const instance = new CKeyboardState;
    return *instance;
}

void CKeyboardState::OnKeyDown(uint32_t key)
{
    if (key < uint32_t(kKeyCount))
        m_Keys[key] |= kDown | kPressed;
}

void CKeyboardState::OnKeyUp(uint32_t key)
{
    if (key < uint32_t(kKeyCount))
        m_Keys[key] &= ~kDown;
}

void CKeyboardState::OnCharacter(uint32_t character)
{
    if (character == 0)
        return;
    // A filter may add one while it runs: walk by index over a stable count.
    const size_t count = m_Filters.size();
    for (size_t i = 0; i < count; ++i)
        if (m_Filters[i].function(m_Filters[i].context, character))
            return;
    m_Ring[m_WriteIndex] = character & 0xFF;
    m_WriteIndex = (m_WriteIndex + 1) % kRingSize;
    if (++m_RingCount == kRingSize) {
        m_ReadIndex = (m_ReadIndex + 1) % kRingSize;
        m_RingCount = kRingSize - 1;
    }
}

bool CKeyboardState::IsKeyDown(uint32_t key) const
{
    if (key == 0)
        return true;
    return key < uint32_t(kKeyCount) && (m_Keys[key] & kDown) != 0;
}

uint32_t CKeyboardState::TakePressedKey()
{
    for (uint32_t key = 1; key < uint32_t(kKeyCount); ++key) {
        if (m_Keys[key] & kPressed) {
            m_Keys[key] &= ~kPressed;
            return key;
        }
    }
    return 0;
}

uint32_t CKeyboardState::TakeAnyKey()
{
    for (uint32_t key = 1; key < uint32_t(kKeyCount); ++key) {
        if (m_Keys[key] & (kDown | kPressed)) {
            m_Keys[key] &= ~kPressed;
            return key;
        }
    }
    return 0;
}

uint32_t CKeyboardState::TakeTypedCharacter()
{
    if (m_RingCount == 0)
        return 0;
    const uint32_t character = m_Ring[m_ReadIndex];
    m_ReadIndex = (m_ReadIndex + 1) % kRingSize;
    --m_RingCount;
    return character;
}

void CKeyboardState::ClearPressed()
{
    for (int32_t key = 1; key < kKeyCount; ++key)
        m_Keys[key] &= ~kPressed;
}

void CKeyboardState::ClearDown()
{
    for (int32_t key = 1; key < kKeyCount; ++key)
        m_Keys[key] &= ~kDown;
}

void CKeyboardState::ClearPending()
{
    m_RingCount = m_WriteIndex = m_ReadIndex = 0;
}

void CKeyboardState::Reset()
{
    ClearPressed();
    ClearDown();
    ClearPending();
}

void CKeyboardState::AddCharacterFilter(CharacterFilter filter, void* context)
{
    m_Filters.push_back(Filter{filter, context});
}

void CKeyboardState::ResetForTesting()
{
    std::fill(std::begin(m_Keys), std::end(m_Keys), 0u);
    m_RingCount = m_WriteIndex = m_ReadIndex = 0;
    m_Filters.clear();
}
