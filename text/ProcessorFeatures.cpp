#include "text/ProcessorFeatures.h"

#include <atomic>

#if defined(KADREL_SSE2) && !defined(_MSC_VER)
#include <cpuid.h>
#endif

namespace {

std::atomic<int> featureLimit{static_cast<int>(ScanFeatures::AVX2)};

#ifdef KADREL_SSE2
bool processorHasSsse3()
{
#if defined(_MSC_VER)
    int info[4];
    __cpuid(info, 1);
    return (info[2] & (1 << 9)) != 0;
#else
    unsigned a, b, c, d;
    return __get_cpuid(1, &a, &b, &c, &d) && (c & bit_SSSE3) != 0;
#endif
}

// AVX2 needs the processor to have it and the system to save the wide registers.
bool processorHasAvx2()
{
    const unsigned OSXSAVE = 1u << 27, AVX = 1u << 28, AVX2 = 1u << 5;
#if defined(_MSC_VER)
    int info[4];
    __cpuid(info, 1);
    unsigned c = static_cast<unsigned>(info[2]);
    if ((c & OSXSAVE) == 0 || (c & AVX) == 0 || (_xgetbv(0) & 6) != 6)
        return false;
    __cpuidex(info, 7, 0);
    return (static_cast<unsigned>(info[1]) & AVX2) != 0;
#else
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d) || (c & OSXSAVE) == 0 || (c & AVX) == 0)
        return false;
    unsigned low, high;
    __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    if ((low & 6) != 6)
        return false;
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & AVX2) != 0;
#endif
}
#endif

bool processorHas(ScanFeatures feature)
{
    switch (feature) {
    case ScanFeatures::BYTES:
        return true;
#ifdef KADREL_SSE2
    case ScanFeatures::SSE2:
        return true;
    case ScanFeatures::SSSE3: {
        static const bool hasSsse3 = processorHasSsse3();
        return hasSsse3;
    }
    case ScanFeatures::AVX2: {
        static const bool hasAvx2 = processorHasAvx2();
        return hasAvx2;
    }
#else
    default:
        return false;
#endif
    }
    return false;
}

}  // namespace

void limitScanFeatures(ScanFeatures most)
{
    featureLimit.store(static_cast<int>(most));
}

bool scanMayUse(ScanFeatures feature)
{
    return processorHas(feature) && featureLimit.load(std::memory_order_relaxed) >= static_cast<int>(feature);
}
