// The sound server behind one small interface: its devices, and playing a buffer while capturing.
// Calls block; AudioRunner runs them on a thread of their own for an event loop.
#pragma once

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace tarn {

struct AudioDevice {
    bool output = false;  // a sink; otherwise a source
    bool monitor = false; // a source that records what a sink plays
    QString name;         // the server's name, to ask for the device by
    QString description;  // as the desktop shows it
    int channels = 0;
    int rate = 0;
};

struct PlayCapture {
    QString output; // device names; empty: the server's default
    QString input;
    int rate = 48000;
    int playChannels = 1;
    std::vector<float> play; // interleaved frames of playChannels samples
    int captureChannels = 1;
    int captureFrames = 0; // covers the playback, the latency and the room's decay
    // Called on the audio thread once the first buffer has gone to the server: the sound starts
    // now, which may be well after the call began (a waking device, a slow first capture).
    std::function<void()> started;
};

struct CaptureResult {
    bool ok = false;
    bool stopped = false;       // stop() came first; what was captured so far is kept
    QString error;              // the server's own words when !ok
    std::vector<float> samples; // interleaved frames of captureChannels samples
    int framesCaptured = 0;
    int framesPlayed = 0;
    // The capture frame being recorded when the first playback buffer was handed to the server,
    // and the two streams' latencies then: where the played sweep should appear, roughly. The
    // exact figure comes from the timing reference.
    int playStartFrame = -1;
    qint64 playLatencyUs = 0;
    qint64 captureLatencyUs = 0;
};

class AudioSystem {
  public:
    virtual ~AudioSystem() = default;
    // Every sink and source, monitors included. False with the server's message in error.
    virtual bool devices(std::vector<AudioDevice>& out, QString& error) = 0;
    // Records job.captureFrames from job.input while playing job.play into job.output, from the
    // same start. Returns early, stopped, once stop becomes true.
    virtual CaptureResult playAndCapture(const PlayCapture& job, const std::atomic<bool>& stop) = 0;
};

// The desktop's sound server through libpulse (PulseAudio, or PipeWire's PulseAudio interface).
// server: an address ("unix:/run/user/1000/pulse/native"); empty: the one the environment names.
std::unique_ptr<AudioSystem> makePulseAudio(const QString& server = {});

} // namespace tarn
