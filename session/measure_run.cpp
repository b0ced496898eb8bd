#include "session/measure_run.h"

#include "model/commands.h"

#include <QMetaObject>
#include <QPointer>
#include <algorithm>
#include <cmath>

namespace tarn {

namespace {

constexpr Bilingual kAlreadyRunning{"测量正在进行。", "A measurement is already running."};
constexpr Bilingual kBadSweep{"扫频设置无效。", "The sweep settings are not valid."};
constexpr Bilingual kNoChannels{"没有要测量的通道。", "No channel to measure."};
constexpr Bilingual kBadReference{"通道 %1 不能播放时间参考（其频带不含 2 kHz 以上的扫频）。",
                                  "CH%1 cannot play the timing reference (its band holds no sweep "
                                  "above 2 kHz)."};
constexpr Bilingual kTooNarrow{"通道 %1 的保护频带太窄，无法扫频。",
                               "CH%1's protected band is too narrow to sweep."};

bool isTweeter(uint8_t role) {
    return role == 0 || role == 4 || role == 8 || role == 12;
}

bool isSubwoofer(uint8_t role) {
    return role == 17 || role == 18 || role == 19;
}

int frames(double seconds, int rate) {
    return static_cast<int>(std::lround(seconds * rate));
}

// Several takes of one channel as one: the responses power-averaged, the arrival averaged. A take
// with a verdict makes the channel's verdict; its numbers are not mixed in.
ChannelMeasurement combine(const std::vector<ChannelMeasurement>& takes) {
    for (const ChannelMeasurement& t : takes)
        if (t.verdict != Verdict::Measured) return t;
    ChannelMeasurement m = takes.front();
    if (takes.size() == 1) return m;
    double arrival = 0.0, level = 0.0;
    for (size_t i = 0; i < m.response.size(); ++i) {
        double power = 0.0;
        for (const ChannelMeasurement& t : takes)
            power += std::pow(10.0, t.response[std::min(i, t.response.size() - 1)].level / 10.0);
        m.response[i].level = 10.0 * std::log10(power / double(takes.size()));
    }
    for (const ChannelMeasurement& t : takes) {
        arrival += *t.arrivalMs;
        level += std::pow(10.0, t.levelDb / 10.0);
        m.snrDb = std::min(m.snrDb, t.snrDb);
        m.peakDbfs = std::max(m.peakDbfs, t.peakDbfs);
    }
    m.arrivalMs = std::round(arrival / double(takes.size()) * 100.0) / 100.0;
    m.levelDb = 10.0 * std::log10(level / double(takes.size()));
    return m;
}

} // namespace

SweepBand Protected_Sweep_Band(const ParamImage& image, int ch, double startHz, double endHz) {
    SweepBand b{startHz, endHz, false, false};
    const uint8_t role = image.CH_Name(ch);
    const bool hpOn = image.HPF_Off(ch) == 0;
    if (isTweeter(role) || (hpOn && image.HPF_Freq(ch) > kTweeterFloorHz)) {
        const double floor = hpOn ? double(image.HPF_Freq(ch)) : kTweeterFloorHz;
        if (b.startHz < floor) {
            b.startHz = floor;
            b.raisedStart = true;
        }
    }
    if (isSubwoofer(role) && image.LPF_Off(ch) == 0) {
        const double ceiling = 2.0 * image.LPF_Freq(ch);
        if (b.endHz > ceiling) {
            b.endHz = ceiling;
            b.loweredEnd = true;
        }
    }
    return b;
}

std::vector<int> Unmuted_Channels(const ParamImage& image) {
    std::vector<int> out;
    for (int ch = 0; ch < kChannels; ++ch)
        if (image.CH_Mute(ch) == 0) out.push_back(ch);
    return out;
}

MeasureRun::MeasureRun(EditCore& core, AudioRunner& audio, QObject* parent)
    : QObject(parent), core_(core), audio_(audio) {
    switchTimer_.setSingleShot(true);
    watchdog_.setSingleShot(true);
    connect(&audio_, &AudioRunner::finished, this, [this](const CaptureResult& r) {
        if (capturing_) captureDone(r);
    });
    // The switch is timed from the sound's start, not from the call: a sound server may take a
    // second or more to start a capture (a waking device), and the reference must not be cut.
    connect(&audio_, &AudioRunner::playbackStarted, this, [this] {
        if (!capturing_ || !switchPending_) return;
        switchPending_ = false;
        const double switchAt = kLeadSeconds + kReferenceSeconds + kSwitchGapSeconds / 2.0;
        switchTimer_.start(int(switchAt * 1000.0));
    });
    // A capture that outlives its bound is stopped; its report follows as a stopped capture.
    connect(&watchdog_, &QTimer::timeout, this, [this] {
        if (capturing_) audio_.stop();
    });
}

MeasureRun::~MeasureRun() {
    if (running_) {
        audio_.stop();
        finish(MeasureEnd::Stopped);
    }
    if (worker_.joinable()) worker_.join();
}

bool MeasureRun::start(const MeasureRunSettings& settings, const std::function<void()>& before,
                       const std::function<bool()>& unitPresent, BilingualText* why) {
    const auto refuse = [&](const BilingualText& text) {
        if (why) *why = text;
        return false;
    };
    if (running_ || audio_.busy()) return refuse(Text_Of(kAlreadyRunning));
    if (!sweepSettingsValid(settings.sweep) || settings.sweeps < 1 || settings.positions < 1 ||
        settings.captureChannels < 1 || settings.microphoneChannel < 0 ||
        settings.microphoneChannel >= settings.captureChannels ||
        settings.loopbackChannel >= settings.captureChannels)
        return refuse(Text_Of(kBadSweep));
    if (settings.channels.empty()) return refuse(Text_Of(kNoChannels));
    const ParamImage& image = core_.image();
    for (int ch : settings.channels) {
        if (ch < 0 || ch >= kChannels) return refuse(Text_Of(kNoChannels));
        const SweepBand b =
            Protected_Sweep_Band(image, ch, settings.sweep.startHz, settings.sweep.endHz);
        if (b.endHz < 2.0 * b.startHz)
            return refuse(Fill_Text(kTooNarrow, {QString::number(ch + 1)}));
    }
    if (settings.loopbackChannel < 0) {
        const int ref = settings.referenceChannel;
        if (ref < 0 || ref >= kChannels) return refuse(Text_Of(kBadSweep));
        const SweepBand b = Protected_Sweep_Band(image, ref, kReferenceStartHz, kReferenceEndHz);
        if (b.endHz < 2.0 * b.startHz)
            return refuse(Fill_Text(kBadReference, {QString::number(ref + 1)}));
    }
    settings_ = settings;
    unitPresent_ = unitPresent;
    for (int ch = 0; ch < kChannels; ++ch)
        userMutes_[size_t(ch)] = image.CH_Mute(ch);
    results_.clear();
    takes_.clear();
    takesByChannel_.assign(settings.channels.size(), {});
    channelIndex_ = position_ = sweep_ = step_ = 0;
    end_ = MeasureEnd::Done;
    error_.clear();
    ++generation_;
    if (before) before();
    running_ = true;
    nextStep();
    return true;
}

void MeasureRun::stop() {
    if (!running_) return;
    audio_.stop();
    finish(MeasureEnd::Stopped);
}

void MeasureRun::continuePosition() {
    if (!running_ || !waitingPosition_) return;
    waitingPosition_ = false;
    nextStep();
}

void MeasureRun::setMutes(const std::array<uint8_t, kChannels>& mutes) {
    ParamImage& image = core_.image();
    for (int ch = 0; ch < kChannels; ++ch) {
        const uint8_t v = mutes[size_t(ch)];
        if (image.CH_Mute(ch) == v) continue;
        image.set_CH_Mute(ch, v);
        core_.sink().send(Make_CH_Mute(ch, v));
    }
}

void MeasureRun::nextStep() {
    if (!running_) return;
    if (unitPresent_ && !unitPresent_()) return finish(MeasureEnd::Unplugged);
    const int ch = settings_.channels[size_t(channelIndex_)];
    const int total = int(settings_.channels.size()) * settings_.sweeps * settings_.positions;
    emit progress(ch, position_, step_, total);
    if (!running_) return; // stopped from the signal

    const SweepSettings& s = settings_.sweep;
    band_ = Protected_Sweep_Band(core_.image(), ch, s.startHz, s.endHz);
    SweepSettings sweepSettings = s;
    sweepSettings.startHz = band_.startHz;
    sweepSettings.endHz = band_.endHz;
    const std::vector<float> sweep = makeSweep(sweepSettings);
    const bool acoustic = settings_.loopbackChannel < 0;
    const int lead = frames(kLeadSeconds, s.rate);
    std::vector<float> reference;
    if (acoustic) {
        const SweepBand rb = Protected_Sweep_Band(core_.image(), settings_.referenceChannel,
                                                  kReferenceStartHz, kReferenceEndHz);
        reference = makeSweep({s.rate, kReferenceSeconds, rb.startHz, rb.endHz, s.levelDbfs});
    }
    sweepOffset_ = acoustic ? int(reference.size()) + frames(kSwitchGapSeconds, s.rate) : 0;
    play_.assign(size_t(lead + sweepOffset_) + sweep.size(), 0.0f);
    std::copy(reference.begin(), reference.end(), play_.begin() + lead);
    std::copy(sweep.begin(), sweep.end(), play_.begin() + lead + sweepOffset_);

    PlayCapture job;
    job.output = settings_.output;
    job.input = settings_.input;
    job.rate = s.rate;
    job.playChannels = 1;
    job.play = play_;
    job.captureChannels = settings_.captureChannels;
    job.captureFrames = int(play_.size()) + frames(kTailSeconds, s.rate);

    // Only the reference channel sounds first; only the measured one after the switch.
    std::array<uint8_t, kChannels> mutes;
    mutes.fill(1);
    mutes[size_t(acoustic ? settings_.referenceChannel : ch)] = 0;
    setMutes(mutes);
    if (!audio_.playAndCapture(std::move(job)))
        return finish(MeasureEnd::CaptureFailed, QStringLiteral("busy"));
    capturing_ = true;
    if (acoustic && settings_.referenceChannel != ch) {
        // Halfway through the gap: the reference has died away, the channel's sweep not begun.
        switchPending_ = true;
        switchTimer_.callOnTimeout(
            this,
            [this, ch] {
                std::array<uint8_t, kChannels> m;
                m.fill(1);
                m[size_t(ch)] = 0;
                setMutes(m);
            },
            Qt::SingleShotConnection);
    }
    watchdog_.start(int(double(job.captureFrames) * 1000.0 / s.rate) + kCaptureGraceMs);
}

void MeasureRun::captureDone(const CaptureResult& result) {
    capturing_ = false;
    watchdog_.stop();
    if (switchPending_ || switchTimer_.isActive()) {
        switchPending_ = false;
        switchTimer_.stop();
        switchTimer_.disconnect(this);
    }
    if (!running_) return;
    if (!result.ok)
        return finish(MeasureEnd::CaptureFailed,
                      result.stopped ? QStringLiteral("timeout") : result.error);
    if (worker_.joinable()) worker_.join();
    const int ch = settings_.channels[size_t(channelIndex_)];
    SweepSettings sweepSettings = settings_.sweep;
    sweepSettings.startHz = band_.startHz;
    sweepSettings.endHz = band_.endHz;
    SweepSettings refSpec;
    if (settings_.loopbackChannel < 0) {
        const SweepBand rb = Protected_Sweep_Band(core_.image(), settings_.referenceChannel,
                                                  kReferenceStartHz, kReferenceEndHz);
        refSpec = {sweepSettings.rate, kReferenceSeconds, rb.startHz, rb.endHz,
                   sweepSettings.levelDbfs};
    }
    const MeasureRunSettings settings = settings_;
    const int offset = sweepOffset_ + 0;
    const quint64 generation = generation_;
    QPointer<MeasureRun> self(this);
    // The deconvolution takes tens of milliseconds: off the event loop.
    worker_ =
        std::thread([self, this, result, sweepSettings, refSpec, settings, offset, generation, ch] {
            (void)ch;
            const int stride = settings.captureChannels;
            const int n = result.framesCaptured;
            const float* mic = result.samples.data() + settings.microphoneChannel;
            Deconvolver sweep(sweepSettings, n);
            TimingReference ref;
            if (settings.loopbackChannel >= 0) {
                ref = loopbackReference(sweep, result.samples.data() + settings.loopbackChannel, n,
                                        stride);
            } else {
                Deconvolver reference(refSpec, n);
                ref = acousticReference(reference, sweep, mic, n, stride, offset);
            }
            ChannelMeasurement m = measureChannel(sweep, mic, n, stride, ref, settings.analysis);
            QMetaObject::invokeMethod(
                this,
                [self, generation, m = std::move(m)] {
                    if (self && self->running_ && self->generation_ == generation)
                        self->analysed(m);
                },
                Qt::QueuedConnection);
        });
}

void MeasureRun::analysed(const ChannelMeasurement& take) {
    takesByChannel_[size_t(channelIndex_)].push_back(take);
    ++step_;
    if (++sweep_ < settings_.sweeps) return nextStep();
    sweep_ = 0;
    if (position_ + 1 == settings_.positions) {
        ChannelResult r;
        r.channel = settings_.channels[size_t(channelIndex_)];
        r.band = band_;
        r.measurement = combine(takesByChannel_[size_t(channelIndex_)]);
        r.delayAtMeasure = core_.image().CH_Delay(r.channel);
        results_.push_back(r);
        emit channelMeasured(r);
        if (!running_) return;
    }
    if (++channelIndex_ < int(settings_.channels.size())) return nextStep();
    channelIndex_ = 0;
    if (++position_ < settings_.positions) {
        // The unit as the user had it while the microphone is moved.
        setMutes(userMutes_);
        waitingPosition_ = true;
        emit positionWanted(position_);
        return;
    }
    finish(MeasureEnd::Done);
}

void MeasureRun::finish(MeasureEnd end, const QString& error) {
    if (!running_) return;
    running_ = false;
    waitingPosition_ = false;
    watchdog_.stop();
    if (switchPending_ || switchTimer_.isActive()) {
        switchPending_ = false;
        switchTimer_.stop();
        switchTimer_.disconnect(this);
    }
    setMutes(userMutes_);
    end_ = end;
    error_ = error;
    emit finished(end);
}

} // namespace tarn
