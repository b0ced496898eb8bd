// The measuring run against the unit: for each channel in turn every other channel is muted on the
// unit, the sweep is played and captured (with a timing reference), and the capture analysed.
// Widget-free, so that the window and the command line share it. The unit's mutes are switched
// through the editing core's sink, outside the undo history; whatever ends the run, every mute is
// put back as it was, so that measuring never leaves the unit changed.
#pragma once

#include "audio/audio_runner.h"
#include "dsp/measure_channel.h"
#include "model/param_image.h"
#include "session/edit_core.h"
#include "session/text.h"

#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace tarn {

// The band a channel may be swept over: a tweeter (by role, or a high-pass above 1 kHz) never below
// its high-pass corner, or 1 kHz when its high-pass is off; a subwoofer only up to its low-pass
// corner plus an octave.
struct SweepBand {
    double startHz = 0.0;
    double endHz = 0.0;
    bool raisedStart = false; // the driver's protection moved the start up
    bool loweredEnd = false;
};
constexpr double kTweeterFloorHz = 1000.0;
SweepBand Protected_Sweep_Band(const ParamImage& image, int ch, double startHz, double endHz);

// The short timing-reference sweep on the reference channel.
constexpr double kReferenceStartHz = 2000.0;
constexpr double kReferenceEndHz = 20000.0;
constexpr double kReferenceSeconds = 0.25;
constexpr double kLeadSeconds = 0.1;      // silence before anything is played
constexpr double kSwitchGapSeconds = 1.0; // between the reference and the channel's sweep
constexpr double kTailSeconds = 1.2;      // the room's decay and the sound server's latency
constexpr int kCaptureGraceMs = 10000;    // beyond the capture's own length, before it is stopped

struct MeasureRunSettings {
    std::vector<int> channels; // 0-based, in order; a channel the user muted is measured only here
    QString output, input;     // sound server device names; empty: the defaults
    int captureChannels = 1;
    int microphoneChannel = 0;
    int loopbackChannel = -1; // a capture channel wired from the output; -1: acoustic reference
    int referenceChannel = 0; // the unit's channel that plays the acoustic reference
    SweepSettings sweep;      // band, length, level, rate
    int sweeps = 1;           // per channel and position, averaged
    int positions = 1;        // microphone positions, power-averaged
    MeasureSettings analysis;
};

// Every channel the user has not muted: the default when none are ticked.
std::vector<int> Unmuted_Channels(const ParamImage& image);

struct ChannelResult {
    int channel = 0;
    SweepBand band;
    ChannelMeasurement measurement; // averaged over sweeps and positions
    uint16_t delayAtMeasure = 0;    // CH_Delay when it was measured
};

enum class MeasureEnd { Done, Stopped, Unplugged, CaptureFailed, Refused };

class MeasureRun : public QObject {
    Q_OBJECT

  public:
    // The image is the mirror the core edits; audio plays and captures for the run.
    MeasureRun(EditCore& core, AudioRunner& audio, QObject* parent = nullptr);
    ~MeasureRun() override;

    // before: called once, before the first mute changes (the history snapshot). unitPresent:
    // asked before every step (the link is online). False, with the reason, when the run cannot
    // start (already running, a bad setting, a channel that cannot carry the reference).
    bool start(const MeasureRunSettings& settings, const std::function<void()>& before,
               const std::function<bool()>& unitPresent, BilingualText* why = nullptr);
    // Ends at once: the capture stops and the mutes go back.
    void stop();
    bool running() const { return running_; }
    // The user has moved the microphone: the next position is measured.
    void continuePosition();

    const std::vector<ChannelResult>& results() const { return results_; }
    MeasureEnd end() const { return end_; }
    const QString& error() const { return error_; }

  signals:
    // step counts the sweeps done of total.
    void progress(int channel, int position, int step, int total);
    // The microphone goes to position (0-based, from 1 on); continuePosition() goes on.
    void positionWanted(int position);
    void channelMeasured(const tarn::ChannelResult& result);
    void finished(tarn::MeasureEnd end);

  private:
    void nextStep();
    void captureDone(const CaptureResult& result);
    void analysed(const ChannelMeasurement& take);
    void setMutes(const std::array<uint8_t, kChannels>& mutes);
    void finish(MeasureEnd end, const QString& error = QString());

    EditCore& core_;
    AudioRunner& audio_;
    MeasureRunSettings settings_;
    std::function<bool()> unitPresent_;
    std::array<uint8_t, kChannels> userMutes_{};
    bool running_ = false;
    bool waitingPosition_ = false;
    bool capturing_ = false;
    bool switchPending_ = false; // the switch's timer starts with the capture's sound
    MeasureEnd end_ = MeasureEnd::Done;
    QString error_;
    int channelIndex_ = 0, position_ = 0, sweep_ = 0, step_ = 0;
    std::vector<ChannelMeasurement> takes_;
    std::vector<std::vector<ChannelMeasurement>> takesByChannel_; // over sweeps and positions
    std::vector<ChannelResult> results_;
    std::vector<float> play_;
    int sweepOffset_ = 0;
    SweepBand band_;
    QTimer switchTimer_, watchdog_;
    std::thread worker_;
    quint64 generation_ = 0; // a stopped run's late analysis is dropped
};

} // namespace tarn
