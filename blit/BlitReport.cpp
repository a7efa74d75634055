#include "blit/BlitReport.h"

#include "platform/Debug.h"

#include <array>
#include <compare>
#include <cstdio>
#include <set>
#include <string>

namespace {

std::array<uint32_t, kMissingTableCount> g_Reported{};

const char* TableName(MissingTable table)
{
    switch (table) {
    case MissingTable::BlendTable8A:
        return "8-bit blend table A";
    case MissingTable::BlendTable8B:
        return "8-bit blend table B";
    case MissingTable::Palette565:
        return "palette-to-565 table";
    case MissingTable::Palette:
        return "source palette";
    case MissingTable::BlendPalette:
        return "blend palette";
    case MissingTable::TypeLookupTable:
        return "blit type's blend table";
    case MissingTable::InversePalette555:
        return "RGB555 inverse palette";
    case MissingTable::InversePalette565:
        return "RGB565 inverse palette";
    }
    return "table";
}

struct SBlitMiss {
    const CBlitType* type;
    uint32_t source;
    uint32_t destination;
    friend auto operator<=>(const SBlitMiss&, const SBlitMiss&) = default;
};

std::set<SBlitMiss>& ReportedMisses()
{
    static std::set<SBlitMiss> reported;
    return reported;
}

} // namespace

void ReportMissingTable(MissingTable table)
{
    uint32_t& reported = g_Reported[uint32_t(table)];
    if (reported != 0)
        return;
    reported = 1;
    plat::DebugOutput(std::string("Blitter: the ") + TableName(table)
                      + " is not built; drawing that needs it is skipped\n");
}

uint32_t MissingTableReports(MissingTable table)
{
    return g_Reported[uint32_t(table)];
}

void ResetMissingTableReportsForTesting()
{
    g_Reported.fill(0);
}

void ReportMissingRoutine(const CBlitType& type, uint32_t sourceFlags, uint32_t destinationFlags)
{
    if (!ReportedMisses().insert({&type, sourceFlags & 0x1EE, destinationFlags & 0x1EE}).second)
        return;
    char text[128];
    std::snprintf(text, sizeof(text), "Blitter: no routine draws flags 0x%X into 0x%X; nothing drawn\n",
                  sourceFlags & 0x1EE, destinationFlags & 0x1EE);
    plat::DebugOutput(text);
}

uint32_t MissingRoutineReports()
{
    return uint32_t(ReportedMisses().size());
}
