// libpulse: the asynchronous API for the device list, the simple API (one blocking stream per
// thread) for playing and capturing.
#include "audio/audio_system.h"

#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/simple.h>

#include <QByteArray>
#include <algorithm>
#include <chrono>
#include <thread>

namespace tarn {

namespace {

constexpr int kListTimeoutMs = 5000;
constexpr int kChunkMs = 10; // how often a stream looks at stop()

struct ListState {
    std::vector<AudioDevice> devices;
    int pending = 2; // the sink list and the source list
};

// A sink or a source as the server describes it; nothing once the list has ended.
template <typename Info>
void addDevice(void* data, const Info* info, int eol, bool output, bool monitor) {
    auto* state = static_cast<ListState*>(data);
    if (eol) {
        --state->pending;
        return;
    }
    if (!info) return;
    AudioDevice d;
    d.output = output;
    d.monitor = monitor;
    d.name = QString::fromUtf8(info->name);
    d.description = QString::fromUtf8(info->description ? info->description : info->name);
    d.channels = info->sample_spec.channels;
    d.rate = static_cast<int>(info->sample_spec.rate);
    state->devices.push_back(d);
}

void onSink(pa_context*, const pa_sink_info* info, int eol, void* data) {
    addDevice(data, info, eol, true, false);
}

void onSource(pa_context*, const pa_source_info* info, int eol, void* data) {
    addDevice(data, info, eol, false, info && info->monitor_of_sink != PA_INVALID_INDEX);
}

QString pulseError(int code) {
    return QString::fromUtf8(pa_strerror(code));
}

class PulseAudio : public AudioSystem {
  public:
    explicit PulseAudio(const QString& server) : server_(server.toUtf8()) {}

    bool devices(std::vector<AudioDevice>& out, QString& error) override;
    CaptureResult playAndCapture(const PlayCapture& job, const std::atomic<bool>& stop) override;

  private:
    const char* server() const { return server_.isEmpty() ? nullptr : server_.constData(); }
    QByteArray server_;
};

bool PulseAudio::devices(std::vector<AudioDevice>& out, QString& error) {
    pa_mainloop* loop = pa_mainloop_new();
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "tarn80x");
    ListState state;
    bool asked = false, ok = false;
    if (pa_context_connect(context, server(), PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        error = pulseError(pa_context_errno(context));
    } else {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kListTimeoutMs);
        for (;;) {
            const pa_context_state_t s = pa_context_get_state(context);
            if (s == PA_CONTEXT_FAILED || s == PA_CONTEXT_TERMINATED) {
                error = pulseError(pa_context_errno(context));
                break;
            }
            if (s == PA_CONTEXT_READY && !asked) {
                pa_operation_unref(pa_context_get_sink_info_list(context, onSink, &state));
                pa_operation_unref(pa_context_get_source_info_list(context, onSource, &state));
                asked = true;
            }
            if (asked && state.pending == 0) {
                ok = true;
                break;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                error = pulseError(PA_ERR_TIMEOUT);
                break;
            }
            // At most 100 ms in one wait, so that the deadline holds.
            if (pa_mainloop_prepare(loop, 100000) < 0 || pa_mainloop_poll(loop) < 0 ||
                pa_mainloop_dispatch(loop) < 0) {
                error = pulseError(PA_ERR_INTERNAL);
                break;
            }
        }
        pa_context_disconnect(context);
    }
    pa_context_unref(context);
    pa_mainloop_free(loop);
    if (ok) out = std::move(state.devices);
    return ok;
}

CaptureResult PulseAudio::playAndCapture(const PlayCapture& job, const std::atomic<bool>& stop) {
    CaptureResult r;
    if (job.rate <= 0 || job.playChannels < 1 || job.playChannels > int(PA_CHANNELS_MAX) ||
        job.captureChannels < 1 || job.captureChannels > int(PA_CHANNELS_MAX) ||
        job.captureFrames <= 0) {
        r.error = pulseError(PA_ERR_INVALID);
        return r;
    }
    pa_sample_spec recordSpec{PA_SAMPLE_FLOAT32LE, static_cast<uint32_t>(job.rate),
                              static_cast<uint8_t>(job.captureChannels)};
    pa_sample_spec playSpec{PA_SAMPLE_FLOAT32LE, static_cast<uint32_t>(job.rate),
                            static_cast<uint8_t>(job.playChannels)};
    // Small fragments, so that a read returns within a chunk and a stop is seen at once.
    const uint32_t chunkBytes =
        static_cast<uint32_t>(job.rate * kChunkMs / 1000 * job.captureChannels * 4);
    pa_buffer_attr recordAttr{static_cast<uint32_t>(-1), static_cast<uint32_t>(-1),
                              static_cast<uint32_t>(-1), static_cast<uint32_t>(-1), chunkBytes};
    const QByteArray input = job.input.toUtf8();
    const QByteArray output = job.output.toUtf8();
    int code = 0;
    pa_simple* rec = pa_simple_new(server(), "tarn80x", PA_STREAM_RECORD,
                                   input.isEmpty() ? nullptr : input.constData(),
                                   "measurement capture", &recordSpec, nullptr, &recordAttr, &code);
    if (!rec) {
        r.error = pulseError(code);
        return r;
    }
    pa_simple* play = pa_simple_new(server(), "tarn80x", PA_STREAM_PLAYBACK,
                                    output.isEmpty() ? nullptr : output.constData(),
                                    "measurement sweep", &playSpec, nullptr, nullptr, &code);
    if (!play) {
        r.error = pulseError(code);
        pa_simple_free(rec);
        return r;
    }

    r.samples.assign(
        static_cast<size_t>(job.captureFrames) * static_cast<size_t>(job.captureChannels), 0.0f);
    std::atomic<int> captured{0};
    std::atomic<int> playStart{-1};
    std::atomic<int> played{0};
    int playCode = 0;
    qint64 playLatency = 0;
    const int playFrames = static_cast<int>(job.play.size()) / job.playChannels;
    const int chunkFrames = std::max(1, job.rate * kChunkMs / 1000);

    // Playback waits for the first captured chunk, so that the capture holds its start.
    std::thread player([&] {
        while (captured.load() == 0 && !stop.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (captured.load() < 0) return; // the capture failed: play nothing
        int err = 0;
        for (int at = 0; at < playFrames && !stop.load();) {
            const int n = std::min(chunkFrames, playFrames - at);
            if (at == 0) playStart = captured.load();
            if (pa_simple_write(play, job.play.data() + static_cast<size_t>(at) * job.playChannels,
                                static_cast<size_t>(n) * job.playChannels * 4, &err) < 0) {
                playCode = err;
                return;
            }
            if (at == 0) {
                playLatency = static_cast<qint64>(pa_simple_get_latency(play, &err));
                if (job.started) job.started();
            }
            at += n;
            played = at;
        }
        if (stop.load())
            pa_simple_flush(play, &err);
        else if (pa_simple_drain(play, &err) < 0)
            playCode = err;
    });

    int at = 0;
    while (at < job.captureFrames && !stop.load()) {
        const int n = std::min(chunkFrames, job.captureFrames - at);
        if (pa_simple_read(rec, r.samples.data() + static_cast<size_t>(at) * job.captureChannels,
                           static_cast<size_t>(n) * job.captureChannels * 4, &code) < 0) {
            r.error = pulseError(code);
            break;
        }
        if (at == 0) r.captureLatencyUs = static_cast<qint64>(pa_simple_get_latency(rec, &code));
        at += n;
        captured = at;
    }
    if (at < job.captureFrames && r.error.isEmpty() && !stop.load())
        r.error = pulseError(PA_ERR_IO);
    const bool stoppedEarly = stop.load() && at < job.captureFrames;
    // A player still waiting for a capture that failed must not wait forever.
    if (captured.load() == 0) captured = -1;
    player.join();
    r.playLatencyUs = playLatency;
    pa_simple_free(play);
    pa_simple_free(rec);

    r.framesCaptured = at;
    r.framesPlayed = played.load();
    r.playStartFrame = playStart.load();
    r.stopped = stoppedEarly;
    if (r.error.isEmpty() && playCode != 0) r.error = pulseError(playCode);
    r.ok = r.error.isEmpty() && !r.stopped;
    return r;
}

} // namespace

std::unique_ptr<AudioSystem> makePulseAudio(const QString& server) {
    return std::make_unique<PulseAudio>(server);
}

} // namespace tarn
