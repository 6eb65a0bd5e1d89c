// The x86 vector intrinsics, for code written with them next to a portable
// version (see platform::hasAvx512 in cpuclones.h). Empty elsewhere.
#pragma once

#if defined(__x86_64__)
#if defined(__GNUC__) && !defined(__clang__)
// GCC 12 warns of the undefined vectors that its own intrinsics start from.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#else
#include <immintrin.h>
#endif
#endif
