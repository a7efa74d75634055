#include "platform/Cpu.h"

#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace plat {

namespace {

CpuInfo Identify()
{
    CpuInfo info;
#if defined(__x86_64__) || defined(__i386__)
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(0, &eax, &ebx, &ecx, &edx))
        return info;
    std::memcpy(info.vendor, &ebx, 4);
    std::memcpy(info.vendor + 4, &edx, 4);
    std::memcpy(info.vendor + 8, &ecx, 4);
    if (eax >= 1 && __get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
        info.stepping = eax & 0xF;
        info.model = (eax >> 4) & 0xF;
        info.family = (eax >> 8) & 0xF;
        if (edx & (1u << 23))
            info.reported |= kCpuMmx;
        if (edx & (1u << 25))
            info.reported |= kCpuSse;
        if (edx & (1u << 26))
            info.reported |= kCpuSse2;
    }
    if (__get_cpuid(0x80000000u, &eax, &ebx, &ecx, &edx) && eax >= 0x80000001u
        && __get_cpuid(0x80000001u, &eax, &ebx, &ecx, &edx) && (edx & (1u << 31)))
        info.reported |= kCpu3DNow;
#endif
#if defined(__x86_64__)
    // The 64-bit system saves the SSE state for every process, and the
    // compiler already relies on SSE2; 3DNow! is left unused.
    info.usable = info.reported & (kCpuMmx | kCpuSse | kCpuSse2);
#endif
    return info;
}

} // namespace

const CpuInfo& GetCpuInfo()
{
    static const CpuInfo info = Identify();
    return info;
}

bool HasSse2()
{
    return (GetCpuInfo().usable & kCpuSse2) != 0;
}

bool PlainKernelsRequested()
{
    static const bool requested = [] {
        const char* value = std::getenv("OMBRISALT_PLAIN_KERNELS");
        return value && std::strcmp(value, "1") == 0;
    }();
    return requested;
}

} // namespace plat
