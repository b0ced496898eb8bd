// Runs an AudioSystem's blocking calls on a thread of their own and reports on the caller's event
// loop, which never waits for the sound server.
#pragma once

#include "audio/audio_system.h"

#include <QObject>
#include <atomic>
#include <memory>
#include <thread>

namespace tarn {

class AudioRunner : public QObject {
    Q_OBJECT

  public:
    explicit AudioRunner(std::unique_ptr<AudioSystem> system, QObject* parent = nullptr);
    // Stops what runs and waits for it (at most one chunk of audio).
    ~AudioRunner() override;

    bool busy() const { return busy_; }
    // False, doing nothing, while a call runs.
    bool listDevices();
    bool playAndCapture(PlayCapture job);
    // Ends a capture at once; finished() follows with stopped set.
    void stop() { stop_ = true; }

  signals:
    void devicesListed(bool ok, const std::vector<tarn::AudioDevice>& devices,
                       const QString& error);
    void finished(const tarn::CaptureResult& result);
    // A capture's playback has begun (before finished()).
    void playbackStarted();

  private:
    template <typename Work> bool launch(Work work);

    std::unique_ptr<AudioSystem> system_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    bool busy_ = false;
};

} // namespace tarn
