// Functions whose loops gain from wider vectors are compiled for any x86-64
// processor, for AVX2 (x86-64-v3) and for AVX-512 (x86-64-v4); the best the
// processor has is chosen when the program loads. Mark each such function
// with PLATFORM_CPU_CLONES: its body must give the same results on every
// level (no reassociated floating point).
#pragma once

#define PLATFORM_CPU_CLONES __attribute__((target_clones("default", "arch=x86-64-v3", "arch=x86-64-v4")))

// The same for a function template. Clang cannot yet clone templates; built
// with it, they are compiled for the baseline only.
#if defined(__clang__)
#define PLATFORM_CPU_CLONES_TEMPLATE
#else
#define PLATFORM_CPU_CLONES_TEMPLATE PLATFORM_CPU_CLONES
#endif

namespace platform {

// Whether the processor has AVX-512 (foundation and conflict detection, as
// every processor with AVX-512 does), for code written with its intrinsics
// next to a portable version. Asked once.
inline bool hasAvx512()
{
#if defined(__x86_64__)
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512cd");
    return has;
#else
    return false;
#endif
}

}  // namespace platform
