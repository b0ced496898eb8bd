// Snapshots taken without holding up the act they protect: record() copies what it is given and
// returns; the store writes it on a thread of its own, and the outcome comes back as a signal on
// the recorder's thread. A write that fails (a full disk) is reported, never waited for.
#pragma once

#include "session/history_store.h"

#include <QObject>
#include <QThread>
#include <memory>

namespace tarn {

class HistoryRecorder : public QObject {
    Q_OBJECT

  public:
    HistoryRecorder();
    ~HistoryRecorder() override; // writes still queued are finished first (bounded)

    // Opens the history at root (the user's data folder when empty), dropping the one open
    // before once its queued writes are done.
    void open(const QString& root = {});
    HistoryStore& store() { return *store_; }

    // Queues the snapshot. Returns at once; recorded or failed follows.
    void record(SnapshotInput input);
    // Waits until every snapshot queued so far is written and its signal delivered; false when
    // that took longer than timeoutMs.
    bool flush(int timeoutMs = 10000);
    int pending() const { return pending_; }

  signals:
    void captured(tarn::SnapshotReason reason); // at record(), before it returns
    void recorded(int id);
    void failed(tarn::BilingualText why);

  private:
    void finish(const HistoryResult& result);

    QThread thread_;
    QObject* worker_ = nullptr; // lives on thread_
    std::shared_ptr<HistoryStore> store_;
    int pending_ = 0;
};

// The application's one recorder, opened at the user's data folder on first use.
HistoryRecorder& History_Recorder();

} // namespace tarn
