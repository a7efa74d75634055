#include "foundation/CRandomGenerator.h"

#include "platform/Clock.h"

#include <cmath>

namespace {

constexpr uint32_t kTableSize = 250;
constexpr uint32_t kTapDistance = 103;

uint32_t Successor(uint32_t index)
{
    return index + 1 == kTableSize ? 0 : index + 1;
}

} // namespace

CRandomGenerator::CRandomGenerator()
{
    SeedFromTime();
}

CRandomGenerator& CRandomGenerator::Global()
{
    static CRandomGenerator generator;
    return generator;
}

CRandomGenerator& GameRandom()
{
    static CRandomGenerator generator;
    return generator;
}

void CRandomGenerator::Seed(uint32_t seed)
{
    m_DrawCount = 0;
    m_Seed = seed;
    m_State = seed;
    m_IndexA = 0;
    m_IndexB = kTapDistance;
    for (uint32_t i = kTableSize; i-- > 0;) {
        const uint64_t next = uint64_t(m_State) * 1103515245u + 12345u;
        m_State = uint32_t(next);
        m_Table[i] = uint32_t(next >> 16);
    }
    // One word per bit position gets that bit as its highest set bit, so the
    // words are linearly independent over GF(2).
    for (uint32_t j = 0; j < 32; ++j) {
        const uint32_t bit = uint32_t(1) << (31 - j);
        uint32_t& word = m_Table[3 + 7 * j];
        word = (word & (bit | (bit - 1))) | bit;
    }
}

void CRandomGenerator::SeedFromTime()
{
    Seed(plat::GetMillisecondTick());
}

uint32_t CRandomGenerator::Draw()
{
    ++m_DrawCount;
    const uint32_t word = m_Table[m_IndexA] ^ m_Table[m_IndexB];
    m_Table[m_IndexA] = word;
    m_IndexA = Successor(m_IndexA);
    m_IndexB = Successor(m_IndexB);
    return word;
}

uint32_t CRandomGenerator::Next(uint32_t range)
{
    if (range == 0)
        return 0;
    return uint32_t((uint64_t(range) * Draw()) >> 32);
}

uint32_t CRandomGenerator::NextInRange(uint32_t lo, uint32_t hi)
{
    const uint32_t span = hi - lo + 1;
    if (span == 0)
        return Draw() + lo;
    return Next(span) + lo;
}

float CRandomGenerator::NextFloat(float lo, float hi)
{
    const float value = lo + (hi - lo) * float(Draw()) * 0x1p-32f;
    // A word near 2^32 rounds up to 1.0 as a float; callers rely on hi being
    // excluded (they index with the result).
    if (lo < hi && value >= hi)
        return std::nextafter(hi, lo);
    return value;
}

bool CRandomGenerator::Chance(float probability)
{
    const float limit = probability * 65535.0f;
    const uint32_t drawn = Next(65535);
    if (!(limit > 0.0f))
        return false;
    if (limit >= 65536.0f)
        return true;
    return drawn < uint32_t(limit);
}
