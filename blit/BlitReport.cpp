#include "blit/BlitReport.h"

#include "platform/Debug.h"

#include <array>
#include <string>

namespace {

std::array<uint32_t, kMissingTableCount> s_Reported{};

const char* TableName(MissingTable table)
{
    switch (table) {
    case MissingTable::BlendTable8A: return "8-bit blend table A";
    case MissingTable::BlendTable8B: return "8-bit blend table B";
    case MissingTable::Palette565: return "palette-to-565 table";
    case MissingTable::Palette: return "source palette";
    case MissingTable::BlendPalette: return "blend palette";
    case MissingTable::TypeLookupTable: return "blit type's blend table";
    case MissingTable::InversePalette555: return "RGB555 inverse palette";
    case MissingTable::InversePalette565: return "RGB565 inverse palette";
    }
    return "table";
}

} // namespace

void ReportMissingTable(MissingTable table)
{
    uint32_t& reported = s_Reported[uint32_t(table)];
    if (reported != 0)
        return;
    reported = 1;
    plat::DebugOutput(std::string("Blitter: the ") + TableName(table)
                      + " is not built; drawing that needs it is skipped\n");
}

uint32_t MissingTableReports(MissingTable table)
{
    return s_Reported[uint32_t(table)];
}

void ResetMissingTableReportsForTesting()
{
    s_Reported.fill(0);
}
