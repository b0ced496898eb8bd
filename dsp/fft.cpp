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
    time_ = fftw_alloc_real(static_cast<size_t>(size_));
    spectrum_ =
        reinterpret_cast<std::complex<double>*>(fftw_alloc_complex(static_cast<size_t>(bins())));
    auto* c = reinterpret_cast<fftw_complex*>(spectrum_);
    forward_ = fftw_plan_dft_r2c_1d(size_, time_, c, FFTW_ESTIMATE);
    inverse_ = fftw_plan_dft_c2r_1d(size_, c, time_, FFTW_ESTIMATE);
}

RealFft::~RealFft() {
    std::lock_guard<std::mutex> guard(planLock());
    fftw_destroy_plan(static_cast<fftw_plan>(forward_));
    fftw_destroy_plan(static_cast<fftw_plan>(inverse_));
    fftw_free(time_);
    fftw_free(spectrum_);
}

void RealFft::forward() {
    fftw_execute(static_cast<fftw_plan>(forward_));
}

void RealFft::inverse() {
    fftw_execute(static_cast<fftw_plan>(inverse_));
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
