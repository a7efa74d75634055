#pragma once
// Processor identification: what the processor reports and what this process
// may use. Asked once; the answer never changes during a run. On x86-64 the
// SSE2 unit is part of the architecture, so it is always usable there; other
// processors answer no for every x86 feature.

#include <cstdint>

namespace plat {

// Feature bits, as both reported and usable sets.
inline constexpr uint32_t kCpuMmx = 1;
inline constexpr uint32_t kCpuSse = 2;
inline constexpr uint32_t kCpuSse2 = 4;
inline constexpr uint32_t kCpu3DNow = 8;

struct CpuInfo {
    char vendor[13] = {}; // the 12 vendor characters and a terminator
    uint32_t family = 0;  // 4 bits each, from the signature
    uint32_t model = 0;
    uint32_t stepping = 0;
    uint32_t reported = 0; // what the processor says it has
    uint32_t usable = 0;   // what the system lets this process use
};

// Filled on first call.
const CpuInfo& GetCpuInfo();

// The packed-integer unit the pixel kernels use (SSE2) is usable.
bool HasSse2();

// OMBRISALT_PLAIN_KERNELS=1 in the environment: the user asks for the plain
// pixel kernels. Read once.
bool PlainKernelsRequested();

} // namespace plat
