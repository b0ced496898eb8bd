#include "audio/audio_runner.h"

#include <QMetaObject>
#include <QPointer>

namespace tarn {

AudioRunner::AudioRunner(std::unique_ptr<AudioSystem> system, QObject* parent)
    : QObject(parent), system_(std::move(system)) {}

AudioRunner::~AudioRunner() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

template <typename Work> bool AudioRunner::launch(Work work) {
    if (busy_) return false;
    if (thread_.joinable()) thread_.join(); // the last call's thread, already done
    busy_ = true;
    stop_ = false;
    thread_ = std::thread([this, work = std::move(work)]() mutable {
        // The report is posted to this object's thread; after its destructor nothing arrives.
        auto report = work();
        QPointer<AudioRunner> self(this);
        QMetaObject::invokeMethod(
            this,
            [self, report = std::move(report)]() mutable {
                if (!self) return;
                self->busy_ = false;
                report(*self);
            },
            Qt::QueuedConnection);
    });
    return true;
}

bool AudioRunner::listDevices() {
    return launch([this] {
        std::vector<AudioDevice> devices;
        QString error;
        const bool ok = system_->devices(devices, error);
        return [ok, devices = std::move(devices), error](AudioRunner& runner) {
            emit runner.devicesListed(ok, devices, error);
        };
    });
}

bool AudioRunner::playAndCapture(PlayCapture job) {
    job.started = [this] {
        QPointer<AudioRunner> self(this);
        QMetaObject::invokeMethod(
            this,
            [self] {
                if (self) emit self->playbackStarted();
            },
            Qt::QueuedConnection);
    };
    return launch([this, job = std::move(job)] {
        CaptureResult result = system_->playAndCapture(job, stop_);
        return [result = std::move(result)](AudioRunner& runner) { emit runner.finished(result); };
    });
}

} // namespace tarn
