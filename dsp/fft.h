// Real-to-complex transforms over FFTW for the measurement maths, in single precision (its range
// is far beyond a sound card's, and it is twice as fast). One object holds its plans and
// its own aligned buffers; it is used by one thread at a time, several objects may run at once.
#pragma once

#include <complex>

namespace tarn {

class RealFft {
  public:
    explicit RealFft(int size);
    ~RealFft();
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    int size() const { return size_; }
    int bins() const { return size_ / 2 + 1; }
    // The buffers the transforms read and write: size() reals, bins() complex values.
    float* time() { return time_; }
    std::complex<float>* spectrum() { return spectrum_; }

    void forward(); // time() -> spectrum()
    // spectrum() -> time(), not normalised (the result is size() times the signal). It overwrites
    // spectrum().
    void inverse();

    // The smallest even length at or above n whose only factors are 2, 3 and 5: the transform is
    // fast there, and the padding stays far below the next power of two.
    static int fastSize(int n);

  private:
    int size_;
    float* time_;
    std::complex<float>* spectrum_;
    void* forward_;
    void* inverse_;
};

} // namespace tarn
