// Which vector instructions the count and the loops of the readers may use: those the compiler
// can emit for every function (SSE2 on x86-64), those only some functions are built for (SSSE3,
// AVX2), and which of them this processor has. The lowest layer keeps them, so that all may ask.
#pragma once

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define KADREL_SSE2 1
#if defined(_MSC_VER)
#include <intrin.h>
#define KADREL_SSSE3_FUNCTION
#define KADREL_AVX2_FUNCTION
#else
// Only the functions marked so use SSSE3 or AVX2, and each runs only where the processor has
// it. A helper they inline must carry the same mark or none.
#define KADREL_SSSE3_FUNCTION __attribute__((target("ssse3")))
#define KADREL_AVX2_FUNCTION __attribute__((target("avx2")))
#endif
#endif

// The processor features the count may use, from the least to the most. By default it uses
// all that the processor has; the tests lower the limit to run every kind of scan.
enum class ScanFeatures { BYTES, SSE2, SSSE3, AVX2 };
void limitScanFeatures(ScanFeatures most);

// Whether the count may use feature: the build and the processor have it, and the limit
// allows it. The processor is asked once per run.
bool scanMayUse(ScanFeatures feature);

#ifdef KADREL_SSE2
// Index of the lowest set bit of mask, which is not 0: the first position a vector compare's
// mask marks.
inline unsigned lowestBit(unsigned mask)
{
#if defined(_MSC_VER)
    unsigned long index;
    _BitScanForward(&index, mask);
    return index;
#else
    return static_cast<unsigned>(__builtin_ctz(mask));
#endif
}
#endif
