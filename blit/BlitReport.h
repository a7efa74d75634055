#pragma once
// Paths that cannot draw because a table they need was never built draw
// nothing and say so once per process on the debug channel.

#include <cstdint>

enum class MissingTable : uint8_t {
    BlendTable8A,
    BlendTable8B,
    Palette565,
    Palette,
    BlendPalette,
    TypeLookupTable, // a blend type's own 256 x 256 table
    InversePalette555,
    InversePalette565,
};
inline constexpr uint32_t kMissingTableCount = 8;

void ReportMissingTable(MissingTable table);

class CBlitType;
// A blit type with no routine for two frames' formats draws nothing; each
// (type, source form, destination form) is reported once per process.
void ReportMissingRoutine(const CBlitType& type, uint32_t sourceFlags, uint32_t destinationFlags);
// How many distinct misses were reported since start, for tests.
uint32_t MissingRoutineReports();
// How many times the table was reported since start (0 or 1), for tests.
uint32_t MissingTableReports(MissingTable table);
// Only for tests: forget what was reported.
void ResetMissingTableReportsForTesting();
