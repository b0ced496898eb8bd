#include "session/history_recorder.h"

#include "link/link_machine.h"
#include "model/param_image.h"
#include "model/scene_image.h"
#include "session/scene_names.h"
#include "session/transfer_jobs.h"

#include <cstring>

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

SnapshotInput Unit_Snapshot_Now(SnapshotReason reason) {
    LinkMachine& link = Link_Machine();
    SnapshotInput in;
    in.reason = reason;
    in.time = QDateTime::currentDateTimeUtc();
    in.image = Scene_File_From_Mirror(Param_Image);
    for (size_t i = 0; i < in.sceneNames.size(); ++i)
        in.sceneNames[i] = Scene_Name_Text(link.scenes().Scene_Name[i]);
    in.unit.serial = QString::fromStdWString(link.serialNumber());
    in.unit.name = QString::fromLatin1(Expected_Name);
    in.unit.firmware = Param_Image.FW_Version();
    return in;
}

std::vector<StoredSceneImage> Stored_Scenes_Read(int first, int count) {
    LinkMachine& link = Link_Machine();
    const auto* job = dynamic_cast<const StoredScenesDownloadJob*>(link.lastJob());
    std::vector<StoredSceneImage> scenes;
    if (!job || job->first() != first ||
        job->scenes().size() != static_cast<size_t>(count) * kImageSize)
        return scenes;
    for (int i = 0; i < count; ++i) {
        if (!link.scenes().Scene_Valid[static_cast<size_t>(first + i - 1)]) continue;
        StoredSceneImage scene;
        scene.place = first + i;
        std::memcpy(scene.image.data(), job->scenes().data() + static_cast<size_t>(i) * kImageSize,
                    kImageSize);
        scenes.push_back(scene);
    }
    return scenes;
}

} // namespace tarn
