// The unit's history: snapshots of what the unit held, kept on this machine so that no act of the
// installer (a recall, a load, a reset, an upgrade) can lose a tune for good.
//
// On disk, under the root (by default $XDG_DATA_HOME/tarn80x/history):
//   images/<sha256>.img   one file per distinct 4096-byte image ("*.SCE" encoding), named by its
//                         content, so an image seen a hundred times is stored once
//   snapshots/<id>.json   one record per snapshot: what the index holds for it
//   index.json            every record in one file, read at open; written through the safe-save
//                         routine after each change. A damaged or missing index, or one that does
//                         not list the records present, is rebuilt from the record files.
// Writes go image first, then record, then index, so a crash between them leaves at worst an
// image nobody uses (pruned later) or a record the next open finds.
//
// Bounded: the newest maxSnapshots snapshots within maxBytes; the oldest unpinned go first, and a
// pinned snapshot is never pruned. QtCore only; every method may be called from any thread.
//
// Several programs (the window, any number of command lines) may write one history at once: every
// change takes the lock file <root>/lock and reads the index again under it, so no number is
// handed out twice and no program prunes an image another has just written.
#pragma once

#include "model/param_image.h"
#include "session/text.h"

#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QPair>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tarn {

// Why a snapshot was taken. The keys are what the record files hold; never renumber or rename.
enum class SnapshotReason : uint8_t {
    Readback,      // the unit as found when it was read back
    Recall,        // before a stored scene was recalled
    SceneLoad,     // before a "*.SCE" file was loaded into the unit
    AllScenesLoad, // before an "*.ALL" file replaced the nine stored scenes
    SceneDelete,   // before a stored scene was deleted
    FactoryReset,  // before a factory reset
    Firmware,      // before a firmware upgrade
    Close,         // the window closed while online
    Unplug,        // the unit went away while online
    Restore,       // before a snapshot was restored into the unit
    AutoEq,        // before an automatic equalisation was applied
    Measure,       // before a measurement switched the unit's mutes
};
// One past the last reason: the key and text tables have one entry per reason.
constexpr int kSnapshotReasons = static_cast<int>(SnapshotReason::Measure) + 1;

QString Snapshot_Reason_Key(SnapshotReason reason);
std::optional<SnapshotReason> Snapshot_Reason_From_Key(const QString& key);
BilingualText Snapshot_Reason_Text(SnapshotReason reason);

// Who the unit is: its USB serial number where it reports one, otherwise its name and firmware
// version, which the list says in so many words.
struct UnitIdentity {
    QString serial;
    QString name;
    uint32_t firmware = 0;
    // Snapshots of one unit are compared with each other.
    QString key() const;
    BilingualText shown() const;
};

struct StoredSceneImage {
    int place = 0; // 1..9
    ParamImage::Bytes image{};
};

// What the caller hands over; the store copies it.
struct SnapshotInput {
    ParamImage::Bytes image{}; // "*.SCE" encoding
    std::array<QString, 9> sceneNames;
    UnitIdentity unit;
    QDateTime time; // UTC
    SnapshotReason reason = SnapshotReason::Readback;
    QString note;
    std::vector<StoredSceneImage> scenes; // for the acts that touch stored scenes
};

struct SnapshotRecord {
    int id = 0; // grows with every snapshot; never reused
    QDateTime time;
    SnapshotReason reason = SnapshotReason::Readback;
    QString note;
    bool pinned = false;
    QString image; // content hash
    UnitIdentity unit;
    QStringList sceneNames;
    std::vector<std::pair<int, QString>> scenes; // place, content hash
    // Fields differing from the snapshot of the same unit before it; -1 for a unit's first.
    int changed = -1;
};

// "#12 2026-03-14 10:26:53": the number and the local time a snapshot is shown by.
QString Snapshot_Stamp(const SnapshotRecord& record);

// The order the window and the command line list snapshots in: grouped by unit, the unit with the
// newest snapshot first, and within a unit newest first. oldestFirst: as snapshots() gives them.
std::vector<SnapshotRecord> Snapshots_By_Unit(const std::vector<SnapshotRecord>& oldestFirst);

struct HistoryResult {
    int id = 0;          // the snapshot written or changed; 0 when it failed
    BilingualText error; // why nothing was kept: the disk full, no permission, ...
    bool ok() const { return error.isEmpty(); }
};

class HistoryStore {
  public:
    static constexpr int kDefaultMaxSnapshots = 1000;
    static constexpr qint64 kDefaultMaxBytes = 200LL * 1024 * 1024;

    explicit HistoryStore(QString root);
    // $XDG_DATA_HOME/tarn80x/history.
    static QString defaultRoot();

    const QString& root() const { return root_; }
    void setLimits(int maxSnapshots, qint64 maxBytes);

    // Reads the index, or rebuilds it from the record files when it is missing, damaged or out
    // of step with them. Nothing on disk yet is an empty history. Never fails: a folder that
    // cannot be read is an empty history, and the first write tells why.
    void open();
    bool rebuiltAtOpen() const { return rebuilt_; }

    HistoryResult add(const SnapshotInput& input);
    HistoryResult setPinned(int id, bool pinned);
    HistoryResult setNote(int id, const QString& note);

    // Oldest first.
    std::vector<SnapshotRecord> snapshots() const;
    std::optional<SnapshotRecord> snapshot(int id) const;
    int count() const;
    // The image of a hash (from a record), read from its file and checked against the hash.
    std::optional<ParamImage::Bytes> image(const QString& hash) const;
    // Bytes of the files the history holds.
    qint64 bytesUsed() const;

  private:
    QString imagePath(const QString& hash) const;
    QString recordPath(int id) const;
    QString indexPath() const;
    void openLocked();
    void reread();
    bool loadIndex();
    void rebuild();
    HistoryResult writeImage(const ParamImage::Bytes& image, QString& hash);
    HistoryResult writeRecord(const SnapshotRecord& record);
    HistoryResult writeIndex();
    void prune();
    void countBytes();
    int changedSince(const SnapshotRecord& record, const ParamImage::Bytes& image) const;
    std::optional<ParamImage::Bytes> imageFile(const QString& hash) const;
    HistoryResult change(int id, const std::function<void(SnapshotRecord&)>& edit);
    bool writable_ = true; // false while open() reads without the lock: nothing is rewritten

    mutable QMutex mutex_;
    QString root_;
    int maxSnapshots_ = kDefaultMaxSnapshots;
    qint64 maxBytes_ = kDefaultMaxBytes;
    std::vector<SnapshotRecord> records_; // oldest first
    QHash<QString, qint64> imageBytes_;   // hash -> file size, for the images in use
    qint64 recordBytes_ = 0;
    qint64 indexBytes_ = 0;
    int nextId_ = 1;
    bool rebuilt_ = false;
    // The newest image of each unit, so the count of changes needs no read.
    QHash<QString, ParamImage::Bytes> lastImage_;
};

} // namespace tarn
