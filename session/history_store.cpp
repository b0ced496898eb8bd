#include "session/history_store.h"
#include "session/unit_files.h"

#include "session/diag.h"
#include "session/file_io.h"
#include "session/history_texts.h"
#include "session/tune_diff.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QMutexLocker>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>
#include <cstring>
#include <iterator>

namespace tarn {

namespace {

constexpr char kIndexFormat[] = "tarn80x-history";
constexpr int kIndexVersion = 1;

constexpr const char* kReasonKeys[kSnapshotReasons] = {
    "readback", "recall", "scene-load", "all-scenes-load", "scene-delete", "factory-reset",
    "firmware", "close",  "unplug",     "restore",         "auto-eq",      "measure"};

BilingualText failureText(const SaveResult& result) {
    switch (result.problem) {
    case SaveProblem::DiskFull:
        return Text_Of(history_text::DiskFull);
    case SaveProblem::NoPermission:
        return Text_Of(history_text::NoPermission);
    case SaveProblem::Other:
    case SaveProblem::None:
        break;
    }
    return Fill_Text(history_text::OtherFailure, {result.detail});
}

QString hashOf(const ParamImage::Bytes& image) {
    return QString::fromLatin1(
        QCryptographicHash::hash(Scene_Bytes(image), QCryptographicHash::Sha256).toHex());
}

bool isHash(const QString& text) {
    if (text.size() != 64) return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
               (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
    });
}

QJsonObject toJson(const SnapshotRecord& r) {
    QJsonObject unit{{"serial", r.unit.serial},
                     {"name", r.unit.name},
                     {"firmware", static_cast<qint64>(r.unit.firmware)}};
    QJsonArray scenes;
    for (const auto& [place, hash] : r.scenes)
        scenes.append(QJsonObject{{"place", place}, {"image", hash}});
    return QJsonObject{{"id", r.id},
                       {"time", r.time.toUTC().toString(Qt::ISODateWithMs)},
                       {"reason", Snapshot_Reason_Key(r.reason)},
                       {"note", r.note},
                       {"pinned", r.pinned},
                       {"image", r.image},
                       {"unit", unit},
                       {"scene_names", QJsonArray::fromStringList(r.sceneNames)},
                       {"scenes", scenes},
                       {"changed", r.changed}};
}

// A record as written by toJson, or nothing when any part of it is missing or wrong.
std::optional<SnapshotRecord> fromJson(const QJsonObject& o) {
    SnapshotRecord r;
    r.id = o.value("id").toInt(0);
    r.time = QDateTime::fromString(o.value("time").toString(), Qt::ISODateWithMs);
    const auto reason = Snapshot_Reason_From_Key(o.value("reason").toString());
    r.image = o.value("image").toString();
    if (r.id <= 0 || !r.time.isValid() || !reason || !isHash(r.image)) return std::nullopt;
    r.time = r.time.toUTC();
    r.reason = *reason;
    r.note = o.value("note").toString();
    r.pinned = o.value("pinned").toBool(false);
    const QJsonObject unit = o.value("unit").toObject();
    r.unit.serial = unit.value("serial").toString();
    r.unit.name = unit.value("name").toString();
    r.unit.firmware = static_cast<uint32_t>(unit.value("firmware").toInteger(0));
    for (const QJsonValue& name : o.value("scene_names").toArray())
        r.sceneNames.append(name.toString());
    for (const QJsonValue& v : o.value("scenes").toArray()) {
        const QJsonObject s = v.toObject();
        const int place = s.value("place").toInt(0);
        const QString hash = s.value("image").toString();
        if (place < 1 || place > 9 || !isHash(hash)) return std::nullopt;
        r.scenes.emplace_back(place, hash);
    }
    r.changed = o.value("changed").toInt(-1);
    return r;
}

// Long enough for another program's add (a few small files); a lock left by a program that died
// is taken over at once (QLockFile checks whether its process still runs).
constexpr int kLockWaitMs = 10000;

// The history's lock across processes, taken once the root exists.
class RootLock {
  public:
    explicit RootLock(const QString& root) : lock_(root + QStringLiteral("/lock")) {
        held_ = lock_.tryLock(kLockWaitMs);
    }
    bool held() const { return held_; }
    QLockFile::LockError error() const { return lock_.error(); }

  private:
    QLockFile lock_;
    bool held_ = false;
};

BilingualText lockFailure(const RootLock& lock) {
    if (lock.error() == QLockFile::PermissionError) return Text_Of(history_text::NoPermission);
    return Text_Of(history_text::Busy);
}

qint64 fileSize(const QString& path) {
    const QFileInfo info(path);
    return info.exists() ? info.size() : 0;
}

} // namespace

QString Snapshot_Reason_Key(SnapshotReason reason) {
    return QString::fromLatin1(kReasonKeys[static_cast<int>(reason)]);
}

std::optional<SnapshotReason> Snapshot_Reason_From_Key(const QString& key) {
    for (int i = 0; i < kSnapshotReasons; ++i)
        if (key == QLatin1String(kReasonKeys[i])) return static_cast<SnapshotReason>(i);
    return std::nullopt;
}

static_assert(std::size(history_text::Reason) == kSnapshotReasons, "a text for every reason");

BilingualText Snapshot_Reason_Text(SnapshotReason reason) {
    return Text_Of(history_text::Reason[static_cast<int>(reason)]);
}

QString Snapshot_Stamp(const SnapshotRecord& record) {
    return QStringLiteral("#%1 %2").arg(record.id).arg(
        record.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

std::vector<SnapshotRecord> Snapshots_By_Unit(const std::vector<SnapshotRecord>& oldestFirst) {
    QStringList units; // by their newest snapshot, newest first
    for (auto r = oldestFirst.rbegin(); r != oldestFirst.rend(); ++r)
        if (!units.contains(r->unit.key())) units.append(r->unit.key());
    std::vector<SnapshotRecord> out;
    out.reserve(oldestFirst.size());
    for (const QString& unit : units)
        for (auto r = oldestFirst.rbegin(); r != oldestFirst.rend(); ++r)
            if (r->unit.key() == unit) out.push_back(*r);
    return out;
}

QString UnitIdentity::key() const {
    if (!serial.isEmpty()) return QStringLiteral("serial:") + serial;
    return QStringLiteral("name:%1/fw:%2").arg(name).arg(firmware);
}

BilingualText UnitIdentity::shown() const {
    if (!serial.isEmpty()) return Fill_Text(history_text::UnitSerial, {serial});
    return Fill_Text(history_text::UnitNoSerial, {name, QString::number(firmware)});
}

HistoryStore::HistoryStore(QString root) : root_(std::move(root)) {}

QString HistoryStore::defaultRoot() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/tarn80x/history");
}

void HistoryStore::setLimits(int maxSnapshots, qint64 maxBytes) {
    QMutexLocker lock(&mutex_);
    maxSnapshots_ = maxSnapshots;
    maxBytes_ = maxBytes;
}

QString HistoryStore::imagePath(const QString& hash) const {
    return root_ + QStringLiteral("/images/") + hash + QStringLiteral(".img");
}

QString HistoryStore::recordPath(int id) const {
    return root_ + QStringLiteral("/snapshots/%1.json").arg(id, 8, 10, QLatin1Char('0'));
}

QString HistoryStore::indexPath() const {
    return root_ + QStringLiteral("/index.json");
}

// Under the lock when the folder lets it be taken; otherwise read as it is, and nothing rewritten.
void HistoryStore::open() {
    QMutexLocker lock(&mutex_);
    std::optional<RootLock> files;
    if (QFileInfo(root_).isDir()) files.emplace(root_);
    writable_ = files && files->held();
    openLocked();
    writable_ = true;
}

void HistoryStore::openLocked() {
    records_.clear();
    lastImage_.clear();
    nextId_ = 1;
    rebuilt_ = false;
    if (!loadIndex()) {
        rebuild();
        rebuilt_ = true;
    }
    countBytes();
}

// What other programs wrote since; what open() found stays as open() found it.
void HistoryStore::reread() {
    const bool rebuilt = rebuilt_;
    openLocked();
    rebuilt_ = rebuilt;
}

// The index as written, and only while it lists exactly the record files present.
bool HistoryStore::loadIndex() {
    QByteArray data;
    if (Read_Regular_File(indexPath(), 64LL * 1024 * 1024, data) != ReadProblem::None)
        return QDir(root_ + QStringLiteral("/snapshots")) // no record yet: nothing to rebuild
            .entryList({QStringLiteral("*.json")}, QDir::Files)
            .isEmpty();
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(data, &error);
    const QJsonObject top = doc.object();
    if (error.error != QJsonParseError::NoError || top.value("format").toString() != kIndexFormat ||
        top.value("version").toInt() != kIndexVersion)
        return false;
    std::vector<SnapshotRecord> records;
    for (const QJsonValue& v : top.value("snapshots").toArray()) {
        auto record = fromJson(v.toObject());
        if (!record) return false;
        records.push_back(std::move(*record));
    }
    QSet<QString> listed;
    for (const SnapshotRecord& r : records)
        listed.insert(QFileInfo(recordPath(r.id)).fileName());
    const QStringList present = QDir(root_ + QStringLiteral("/snapshots"))
                                    .entryList({QStringLiteral("*.json")}, QDir::Files);
    if (present.size() != listed.size()) return false;
    for (const QString& name : present)
        if (!listed.contains(name)) return false;
    records_ = std::move(records);
    nextId_ =
        std::max(top.value("next_id").toInt(1), records_.empty() ? 1 : records_.back().id + 1);
    return true;
}

// From the record files; a record that cannot be read, or whose image is gone, is left out.
void HistoryStore::rebuild() {
    const QDir dir(root_ + QStringLiteral("/snapshots"));
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files)) {
        QByteArray data;
        if (Read_Regular_File(dir.filePath(name), 1024 * 1024, data) != ReadProblem::None) continue;
        auto record = fromJson(QJsonDocument::fromJson(data).object());
        if (!record || !QFileInfo::exists(imagePath(record->image))) {
            TARN_DIAG((QStringList{QStringLiteral("history: record left out"), name}));
            continue;
        }
        records_.push_back(std::move(*record));
    }
    std::sort(records_.begin(), records_.end(),
              [](const SnapshotRecord& a, const SnapshotRecord& b) { return a.id < b.id; });
    nextId_ = records_.empty() ? 1 : records_.back().id + 1;
    TARN_DIAG(
        (QStringList{QStringLiteral("history: index rebuilt"), QString::number(records_.size())}));
    if (writable_ && QFileInfo::exists(root_)) writeIndex(); // a failure is told at the next write
}

void HistoryStore::countBytes() {
    imageBytes_.clear();
    recordBytes_ = 0;
    for (const SnapshotRecord& r : records_) {
        for (const QString& hash : [&] {
                 QStringList all{r.image};
                 for (const auto& s : r.scenes)
                     all.append(s.second);
                 return all;
             }()) {
            if (!imageBytes_.contains(hash)) imageBytes_.insert(hash, fileSize(imagePath(hash)));
        }
        recordBytes_ += fileSize(recordPath(r.id));
    }
    indexBytes_ = fileSize(indexPath());
}

qint64 HistoryStore::bytesUsed() const {
    QMutexLocker lock(&mutex_);
    qint64 total = recordBytes_ + indexBytes_;
    for (qint64 size : imageBytes_)
        total += size;
    return total;
}

// An image already on disk is kept only when it reads back whole: a file deleted or damaged since
// would otherwise leave every later snapshot of the same tune without its image.
HistoryResult HistoryStore::writeImage(const ParamImage::Bytes& image, QString& hash) {
    hash = hashOf(image);
    if (imageFile(hash)) {
        imageBytes_.insert(hash, kImageSize);
        return {};
    }
    const SaveResult saved = Save_File_Atomically(imagePath(hash), Scene_Bytes(image));
    if (!saved.ok()) return {0, failureText(saved)};
    imageBytes_.insert(hash, kImageSize);
    return {};
}

HistoryResult HistoryStore::writeRecord(const SnapshotRecord& record) {
    const QByteArray data = QJsonDocument(toJson(record)).toJson(QJsonDocument::Indented);
    const SaveResult saved = Save_File_Atomically(recordPath(record.id), data);
    if (!saved.ok()) return {0, failureText(saved)};
    return {record.id, {}};
}

HistoryResult HistoryStore::writeIndex() {
    QJsonArray list;
    for (const SnapshotRecord& r : records_)
        list.append(toJson(r));
    const QJsonObject top{{"format", kIndexFormat},
                          {"version", kIndexVersion},
                          {"next_id", nextId_},
                          {"snapshots", list}};
    const QByteArray data = QJsonDocument(top).toJson(QJsonDocument::Compact);
    const SaveResult saved = Save_File_Atomically(indexPath(), data);
    if (!saved.ok()) return {0, failureText(saved)};
    indexBytes_ = data.size();
    return {};
}

int HistoryStore::changedSince(const SnapshotRecord& record, const ParamImage::Bytes& image) const {
    const QString key = record.unit.key();
    auto last = lastImage_.constFind(key);
    std::optional<ParamImage::Bytes> before;
    if (last != lastImage_.constEnd()) {
        before = *last;
    } else {
        for (auto r = records_.rbegin(); r != records_.rend() && !before; ++r)
            if (r->unit.key() == key) before = imageFile(r->image);
    }
    if (!before) return -1;
    return Diff_Scenes(*before, image).count();
}

HistoryResult HistoryStore::add(const SnapshotInput& input) {
    QMutexLocker lock(&mutex_);
    if (!QDir().mkpath(root_ + QStringLiteral("/images")) ||
        !QDir().mkpath(root_ + QStringLiteral("/snapshots"))) {
        SaveResult r;
        if (QFileInfo(root_).isFile()) {
            r.problem = SaveProblem::Other;
            r.detail = QStringLiteral("%1: not a folder").arg(root_);
        } else {
            r.problem = SaveProblem::NoPermission;
        }
        return {0, failureText(r)};
    }
    // Read again, under the lock, what another program added, so that its numbers are not
    // reused and its images not pruned as unused; a record file already there is never
    // overwritten.
    const RootLock files(root_);
    if (!files.held()) return {0, lockFailure(files)};
    reread();
    while (QFileInfo::exists(recordPath(nextId_)))
        ++nextId_;
    SnapshotRecord record;
    record.id = nextId_;
    record.time = input.time.isValid() ? input.time.toUTC() : QDateTime::currentDateTimeUtc();
    record.reason = input.reason;
    record.note = input.note;
    record.unit = input.unit;
    for (const QString& name : input.sceneNames)
        record.sceneNames.append(name);

    HistoryResult written = writeImage(input.image, record.image);
    if (!written.ok()) return written;
    for (const StoredSceneImage& scene : input.scenes) {
        QString hash;
        written = writeImage(scene.image, hash);
        if (!written.ok()) return written;
        record.scenes.emplace_back(scene.place, hash);
    }
    record.changed = changedSince(record, input.image);
    written = writeRecord(record);
    if (!written.ok()) {
        prune(); // the images just written may be in no record now
        return written;
    }
    ++nextId_;
    records_.push_back(record);
    lastImage_.insert(record.unit.key(), input.image);
    recordBytes_ += fileSize(recordPath(record.id));
    prune();
    const HistoryResult indexed = writeIndex();
    // The record is on disk: the next open rebuilds the index from it.
    if (!indexed.ok()) return indexed;
    return {record.id, {}};
}

// The oldest unpinned go until both bounds hold; then the images no record uses.
void HistoryStore::prune() {
    auto total = [this] {
        qint64 sum = recordBytes_ + indexBytes_;
        for (qint64 size : imageBytes_)
            sum += size;
        return sum;
    };
    auto overBounds = [&] {
        return static_cast<int>(records_.size()) > maxSnapshots_ || total() > maxBytes_;
    };
    bool removed = false;
    while (overBounds()) {
        auto oldest = std::find_if(records_.begin(), records_.end(),
                                   [](const SnapshotRecord& r) { return !r.pinned; });
        if (oldest == records_.end()) break; // every one left is pinned
        recordBytes_ -= fileSize(recordPath(oldest->id));
        QFile::remove(recordPath(oldest->id));
        records_.erase(oldest);
        removed = true;
        // Images are freed as records go, so the byte bound sees them gone.
        QSet<QString> used;
        for (const SnapshotRecord& r : records_) {
            used.insert(r.image);
            for (const auto& s : r.scenes)
                used.insert(s.second);
        }
        for (auto it = imageBytes_.begin(); it != imageBytes_.end();) {
            if (used.contains(it.key())) {
                ++it;
            } else {
                QFile::remove(imagePath(it.key()));
                it = imageBytes_.erase(it);
            }
        }
    }
    if (removed) lastImage_.clear();
    // Images no record names: a write that failed half way, or an earlier crash.
    QSet<QString> used;
    for (const SnapshotRecord& r : records_) {
        used.insert(r.image);
        for (const auto& s : r.scenes)
            used.insert(s.second);
    }
    const QDir images(root_ + QStringLiteral("/images"));
    for (const QString& name : images.entryList({QStringLiteral("*.img")}, QDir::Files)) {
        const QString hash = name.left(name.size() - 4);
        if (!used.contains(hash)) {
            QFile::remove(images.filePath(name));
            imageBytes_.remove(hash);
        }
    }
}

HistoryResult HistoryStore::setPinned(int id, bool pinned) {
    return change(id, [pinned](SnapshotRecord& r) { r.pinned = pinned; });
}

HistoryResult HistoryStore::setNote(int id, const QString& note) {
    return change(id, [&note](SnapshotRecord& r) { r.note = note; });
}

// The record and the index rewritten; on failure the record stays as it was.
HistoryResult HistoryStore::change(int id, const std::function<void(SnapshotRecord&)>& edit) {
    QMutexLocker lock(&mutex_);
    const RootLock files(root_);
    if (!files.held()) return {0, lockFailure(files)};
    reread(); // another program may have added or pruned since
    for (SnapshotRecord& r : records_) {
        if (r.id != id) continue;
        const SnapshotRecord old = r;
        edit(r);
        HistoryResult result = writeRecord(r);
        if (result.ok()) result = writeIndex();
        if (!result.ok()) {
            r = old;
            return result;
        }
        return {id, {}};
    }
    return {0, Text_Of(history_text::NoSuchSnapshot)};
}

std::vector<SnapshotRecord> HistoryStore::snapshots() const {
    QMutexLocker lock(&mutex_);
    return records_;
}

std::optional<SnapshotRecord> HistoryStore::snapshot(int id) const {
    QMutexLocker lock(&mutex_);
    for (const SnapshotRecord& r : records_)
        if (r.id == id) return r;
    return std::nullopt;
}

int HistoryStore::count() const {
    QMutexLocker lock(&mutex_);
    return static_cast<int>(records_.size());
}

std::optional<ParamImage::Bytes> HistoryStore::image(const QString& hash) const {
    return imageFile(hash);
}

// Image files are never changed once written (their name is their content), so they are read
// without the lock.
std::optional<ParamImage::Bytes> HistoryStore::imageFile(const QString& hash) const {
    if (!isHash(hash)) return std::nullopt;
    QByteArray data;
    if (Read_Regular_File(imagePath(hash), kImageSize + 1, data) != ReadProblem::None ||
        data.size() != kImageSize)
        return std::nullopt;
    ParamImage::Bytes bytes{};
    std::memcpy(bytes.data(), data.constData(), bytes.size());
    if (hashOf(bytes) != hash) return std::nullopt; // a damaged file is no image
    return bytes;
}

} // namespace tarn
