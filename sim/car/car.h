// The simulated car behind the simulated unit: what the program plays reaches the unit's input,
// the unit routes it to its six outputs and applies each one's settings (mute, levels, delay,
// phase, the 31 bands and both crossovers), and each output drives a speaker with its own
// response, distance and level to the microphone. The speakers are summed and a little noise is
// added. Linear throughout, so the whole car is one impulse response, rebuilt whenever the unit's
// memory changes.
#pragma once

#include "sim/unit_sim.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sim {

// One speaker as the microphone hears it: second-order roll-offs at its ends (0: none), its
// distance as the sound's travel time and its level.
struct CarSpeaker {
    double distanceMs = 0.0;
    double levelDb = 0.0;
    double lowHz = 0.0;
    double highHz = 0.0;
};
using CarSpeakers = std::array<CarSpeaker, kChannels>;

// The demo's car: tweeters on CH1/CH2, front mid-woofers on CH3/CH4, two subwoofers in the boot.
constexpr CarSpeakers kDemoCar{{{2.40, -3.0, 1500.0, 0.0},
                                {3.10, -4.0, 1500.0, 0.0},
                                {2.75, 0.0, 45.0, 6000.0},
                                {3.60, -1.0, 45.0, 6000.0},
                                {5.20, 2.0, 20.0, 400.0},
                                {5.35, 2.0, 20.0, 400.0}}};

constexpr int kCarRate = 48000;
constexpr int kCarTaps = 8192; // long enough for the lowest crossover's ring and any delay

class Car {
  public:
    explicit Car(const CarSpeakers& speakers = kDemoCar, double noiseDbfs = -90.0);
    ~Car();

    // The unit's memory as it is now; any thread. The next block processed uses it.
    void setUnit(const Memory& memory);
    // Streams: each call continues the last one. One thread at a time.
    void process(const float* in, float* out, int frames);

    // The car's impulse response for a given memory: kCarTaps samples at 48 kHz.
    static std::vector<float> impulseOf(const Memory& memory, const CarSpeakers& speakers);

  private:
    struct Filter;
    void rebuild();

    CarSpeakers speakers_;
    double noise_;
    std::mutex mutex_;
    Memory pending_{};
    bool changed_ = false;
    std::unique_ptr<Filter> filter_;
};

// Carries the car on a thread of its own between two devices of a sound server: it records what
// the program plays (a sink's monitor) and plays the car's sound into the sink the program's
// microphone records.
class CarStream {
  public:
    explicit CarStream(Car& car) : car_(car) {}
    ~CarStream() { stop(); }
    // server: the sound server's address; from: a source (the monitor of the program's output);
    // to: a sink. False, with the server's words in error, when either stream cannot open.
    bool start(const std::string& server, const std::string& from, const std::string& to,
               std::string* error);
    void stop();

  private:
    Car& car_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

// The car follows every frame the unit carries out from now on.
void attachCar(Unit& unit, Car& car);

} // namespace sim
