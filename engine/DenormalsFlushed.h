#pragma once

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace calmfield::engine {

// While it lives, the processor treats denormal numbers as zero on this thread, so that filters
// decaying towards silence never fall onto its slow path; then it puts the thread's mode back.
class DenormalsFlushed {
  public:
#if defined(__SSE__) || defined(__x86_64__)
    DenormalsFlushed() noexcept : saved_(_mm_getcsr()) {
        _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero);
    }
    ~DenormalsFlushed() {
        _mm_setcsr(saved_);
    }
#elif defined(__aarch64__)
    DenormalsFlushed() noexcept {
        asm volatile("mrs %0, fpcr" : "=r"(saved_));
        asm volatile("msr fpcr, %0" ::"r"(saved_ | kFlushToZero));
    }
    ~DenormalsFlushed() {
        asm volatile("msr fpcr, %0" ::"r"(saved_));
    }
#else
    DenormalsFlushed() noexcept = default;
#endif
    DenormalsFlushed(const DenormalsFlushed&) = delete;
    DenormalsFlushed& operator=(const DenormalsFlushed&) = delete;

  private:
#if defined(__SSE__) || defined(__x86_64__)
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned saved_;
#elif defined(__aarch64__)
    static constexpr unsigned long kFlushToZero = 1ul << 24;
    unsigned long saved_;
#endif
};

} // namespace calmfield::engine
