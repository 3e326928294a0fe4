// Heap accounting for the benches that report memory: replaces the global operator new and
// delete of the bench program that includes this header (include it in one file only) and
// counts every block's usable size, so a bench reads what is in use and the peak since it
// started a measurement.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

#include <malloc.h>

namespace kel::bench {

inline std::size_t gInUse = 0, gPeak = 0;

inline void* CountedAlloc(std::size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (p != nullptr) {
        gInUse += malloc_usable_size(p);
        if (gInUse > gPeak) gPeak = gInUse;
    }
    return p;
}
inline void CountedFree(void* p) {
    if (p == nullptr) return;
    gInUse -= malloc_usable_size(p);
    std::free(p);
}

// Starts a measurement: the peak restarts from what is in use now, which is returned.
inline std::size_t StartPeak() {
    gPeak = gInUse;
    return gInUse;
}
// The peak above Base, and what is still in use above it, in MB.
inline double PeakMB(std::size_t Base) {
    return static_cast<double>(gPeak - Base) / (1024.0 * 1024.0);
}
inline double InUseMB(std::size_t Base) {
    return static_cast<double>(gInUse - Base) / (1024.0 * 1024.0);
}

} // namespace kel::bench

void* operator new(std::size_t n) {
    if (void* p = kel::bench::CountedAlloc(n)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    return kel::bench::CountedAlloc(n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    return kel::bench::CountedAlloc(n);
}
void operator delete(void* p) noexcept { kel::bench::CountedFree(p); }
void operator delete[](void* p) noexcept { kel::bench::CountedFree(p); }
void operator delete(void* p, std::size_t) noexcept { kel::bench::CountedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { kel::bench::CountedFree(p); }
