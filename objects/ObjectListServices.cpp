#include "objects/ObjectListServices.h"

namespace {

uint32_t g_ScreenDepth = 32;
bool g_FixedNameCache = false;

} // namespace

const char* GetFrameOverlayOptionsExtension()
{
    return "FOO";
}

const char* GetSequenceCacheExtension()
{
    if (g_FixedNameCache)
        return "SEQUENCE";
    switch (g_ScreenDepth) {
    case 8:
        return "seq";
    case 16:
        return "seq16";
    case 24:
        return "seq24";
    case 32:
        return "seq32";
    default:
        return nullptr;
    }
}

void SetSequenceCacheOptions(uint32_t screenDepth, bool fixedNameCache)
{
    g_ScreenDepth = screenDepth;
    g_FixedNameCache = fixedNameCache;
}
