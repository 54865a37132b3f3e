#include "common/runtime/vector_state.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace rt {

#if defined(__x86_64__) || defined(__i386__)
namespace {

bool cpu_has_avx() {
    // Called before any constructor may have run the detection.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
}

__attribute__((target("avx"))) void zero_upper() { _mm256_zeroupper(); }

// XGETBV with ECX = 1 reports which state components are in use.
bool xinuse_supported() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid_count(0x0D, 1, &eax, &ebx, &ecx, &edx)) return false;
    const bool osxsave = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        return __get_cpuid(1, &a, &b, &c, &d) && (c & bit_OSXSAVE) != 0;
    }();
    return osxsave && (eax & (1u << 2)) != 0;
}

}  // namespace

void clear_upper_vector_state() {
    static const bool avx = cpu_has_avx();
    if (avx) zero_upper();
}

bool upper_vector_state_known() {
    static const bool known = cpu_has_avx() && xinuse_supported();
    return known;
}

bool upper_vector_state_dirty() {
    if (!upper_vector_state_known()) return false;
    unsigned eax = 0, edx = 0;
    __asm__ volatile("xgetbv" : "=a"(eax), "=d"(edx) : "c"(1));
    return (eax & (1u << 2)) != 0;  // component 2: the upper halves of YMM0-15
}

#else

void clear_upper_vector_state() {}
bool upper_vector_state_known() { return false; }
bool upper_vector_state_dirty() { return false; }

#endif

}  // namespace rt
