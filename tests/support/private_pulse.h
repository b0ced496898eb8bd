// A PulseAudio daemon of the test's own: its own runtime folder, a null sink as the output and a
// virtual microphone that records what the sink plays. Nothing reaches the machine's speakers.
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace tarn::test {

class PrivatePulse {
  public:
    static constexpr const char* kSink = "tarn_test_out";
    static constexpr const char* kSinkDescription = "Tarn test output";
    static constexpr const char* kMicrophone = "tarn_test_mic";
    static constexpr const char* kMicrophoneDescription = "Tarn test microphone";
    // With a car: the sink the car plays into; the microphone records it instead of the output.
    static constexpr const char* kCarSink = "tarn_test_car";

    // The daemon is installed (the test skips without it).
    static bool available();

    ~PrivatePulse();
    // Starts the daemon (48 kHz, mono) and points this process's clients at it (PULSE_SERVER).
    // False with the reason in error. withCar: the microphone records kCarSink, where a simulated
    // car plays what it hears on the output's monitor (outputMonitor()).
    bool start(QString& error, bool withCar = false);
    static QString outputMonitor() { return QLatin1String(kSink) + QStringLiteral(".monitor"); }
    void stop();
    QString server() const;

  private:
    QTemporaryDir dir_;
    QProcess daemon_;
};

} // namespace tarn::test
