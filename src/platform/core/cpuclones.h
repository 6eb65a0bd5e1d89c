// Functions whose loops gain from wider vectors are compiled for any x86-64
// processor, for AVX2 (x86-64-v3) and for AVX-512 (x86-64-v4); the best the
// processor has is chosen when the program loads. Mark each such function
// with PLATFORM_CPU_CLONES: its body must give the same results on every
// level (no reassociated floating point).
#pragma once

#define PLATFORM_CPU_CLONES __attribute__((target_clones("default", "arch=x86-64-v3", "arch=x86-64-v4")))
