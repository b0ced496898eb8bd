#include "session/history_recorder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMetaObject>

namespace tarn {

HistoryRecorder::HistoryRecorder() {
    thread_.setObjectName(QStringLiteral("history"));
    worker_ = new QObject;
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start(QThread::LowPriority);
    store_ = std::make_shared<HistoryStore>(QString());
}

HistoryRecorder::~HistoryRecorder() {
    flush();
    thread_.quit();
    thread_.wait(QDeadlineTimer(10000));
}

void HistoryRecorder::open(const QString& root) {
    flush();
    store_ = std::make_shared<HistoryStore>(root.isEmpty() ? HistoryStore::defaultRoot() : root);
    store_->open();
}

void HistoryRecorder::record(SnapshotInput input) {
    if (store_->root().isEmpty()) open();
    if (!input.time.isValid()) input.time = QDateTime::currentDateTimeUtc();
    ++pending_;
    emit captured(input.reason);
    std::shared_ptr<HistoryStore> store = store_;
    QMetaObject::invokeMethod(worker_, [this, store, input = std::move(input)] {
        const HistoryResult result = store->add(input);
        QMetaObject::invokeMethod(
            this, [this, result] { finish(result); }, Qt::QueuedConnection);
    });
}

void HistoryRecorder::finish(const HistoryResult& result) {
    --pending_;
    if (result.ok())
        emit recorded(result.id);
    else
        emit failed(result.error);
}

bool HistoryRecorder::flush(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (pending_ > 0 && !deadline.hasExpired()) {
        // The worker's queue is in order: once this no-op has run, every write before it has.
        QMetaObject::invokeMethod(
            worker_, [] {}, Qt::BlockingQueuedConnection);
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
    return pending_ == 0;
}

HistoryRecorder& History_Recorder() {
    static HistoryRecorder recorder;
    return recorder;
}

} // namespace tarn
