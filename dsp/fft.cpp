#include "dsp/fft.h"

#include <fftw3.h>
#include <mutex>

namespace tarn {

namespace {
// FFTW's planner is not thread-safe; executing a plan is.
std::mutex& planLock() {
    static std::mutex lock;
    return lock;
}
} // namespace

RealFft::RealFft(int size) : size_(size) {
    std::lock_guard<std::mutex> guard(planLock());
    time_ = fftwf_alloc_real(static_cast<size_t>(size_));
    spectrum_ =
        reinterpret_cast<std::complex<float>*>(fftwf_alloc_complex(static_cast<size_t>(bins())));
    auto* c = reinterpret_cast<fftwf_complex*>(spectrum_);
    forward_ = fftwf_plan_dft_r2c_1d(size_, time_, c, FFTW_ESTIMATE);
    inverse_ = fftwf_plan_dft_c2r_1d(size_, c, time_, FFTW_ESTIMATE);
}

RealFft::~RealFft() {
    std::lock_guard<std::mutex> guard(planLock());
    fftwf_destroy_plan(static_cast<fftwf_plan>(forward_));
    fftwf_destroy_plan(static_cast<fftwf_plan>(inverse_));
    fftwf_free(time_);
    fftwf_free(spectrum_);
}

void RealFft::forward() {
    fftwf_execute(static_cast<fftwf_plan>(forward_));
}

void RealFft::inverse() {
    fftwf_execute(static_cast<fftwf_plan>(inverse_));
}

int RealFft::fastSize(int n) {
    if (n < 2) return 2;
    for (int m = n + (n & 1);; m += 2) {
        int r = m;
        for (int f : {2, 3, 5})
            while (r % f == 0)
                r /= f;
        if (r == 1) return m;
    }
}

} // namespace tarn
