#pragma once
// The R250 shift-register generator: 250 words, each draw XORs the word at a
// with the one 103 places ahead, keeps the result and steps both indices.
// Ranges map a drawn word w by multiplication, (range * w) >> 32, never by
// remainder.

#include <cstdint>

class CRandomGenerator {
public:
    // Seeded from the millisecond tick.
    CRandomGenerator();

    // The generator shared by game code, made on first use.
    static CRandomGenerator& Global();

    void Seed(uint32_t seed);
    void SeedFromTime();

    // [0, range); 0 for a range of 0, without a draw.
    uint32_t Next(uint32_t range);
    // [lo, hi]; the full 32-bit span gives the raw drawn word plus lo.
    uint32_t NextInRange(uint32_t lo, uint32_t hi);
    // [lo, hi) for lo < hi.
    float NextFloat(float lo, float hi);
    // True with the given probability, in steps of 1/65535.
    bool Chance(float probability);

    uint32_t GetSeed() const { return m_Seed; }
    uint32_t GetDrawCount() const { return m_DrawCount; }

private:
    uint32_t Draw();

    uint32_t m_DrawCount = 0;
    uint32_t m_Seed = 0;
    uint32_t m_State = 0;
    uint32_t m_IndexA = 0;
    uint32_t m_IndexB = 0;
    uint32_t m_Table[250];
};

// The game's own generator, apart from Global: lots, periods, random
// expressions and file-list shuffles draw from it. Made on first use.
CRandomGenerator& GameRandom();
