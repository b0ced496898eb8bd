#include "cli/cli.h"
#include "audio/audio_system.h"
#include "cli/cli_texts.h"
#include "cli/unit_run.h"
#include "link/device_access.h"
#include "link/link_machine.h"
#include "link/send.h"
#include "model/param_image.h"
#include "model/scene_image.h"
#include "session/access_texts.h"
#include "session/auto_eq.h"
#include "session/history_texts.h"
#include "session/safety_check.h"
#include "session/scene_file_format.h"
#include "session/scene_names.h"
#include "session/transfer_jobs.h"
#include "session/transfer_texts.h"
#include "session/tune_diff.h"
#include "session/tune_text.h"
#include "session/unit_files.h"
#include "session/unit_snapshot.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace tarn {

namespace {

// After a load, a recall or a restore the unit is opened again and read back within this.
constexpr int kReadbackBoundMs = 15000;
// After an upgrade: the install (5 s) and then the read-back.
constexpr int kUpgradeBoundMs = 20000;

void put(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// One run: its language, its output and its end.
class Command {
  public:
    Command(QString name, bool english, bool json)
        : name_(std::move(name)), english_(english), json_(json) {
        result_.insert(QStringLiteral("command"), name_);
    }

    bool english() const { return english_; }
    QString tr(const Bilingual& text) const { return tr2(text, english_); }
    QString tr(const BilingualText& text) const { return english_ ? text.en : text.zh; }

    // A line of the result: standard output in text mode.
    void say(const QString& line) {
        if (!json_) put(stdout, line + QLatin1Char('\n'));
    }
    // Raw bytes for standard output (the tune text).
    void sayRaw(const QByteArray& bytes) {
        if (!json_) {
            std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
            std::fflush(stdout);
        }
    }
    void set(const QString& key, const QJsonValue& value) { result_.insert(key, value); }

    int finish(int status, const QString& error = QString()) {
        if (json_) {
            result_.insert(QStringLiteral("exit"), status);
            if (!error.isEmpty()) result_.insert(QStringLiteral("error"), error);
            put(stdout, QString::fromUtf8(QJsonDocument(result_).toJson(QJsonDocument::Indented)));
        } else if (!error.isEmpty()) {
            put(stderr, QStringLiteral("tarn80x-cli: ") + error + QLatin1Char('\n'));
        }
        return status;
    }
    // A line on standard error that does not end the run.
    void warn(const QString& text) { put(stderr, QStringLiteral("tarn80x-cli: ") + text + '\n'); }
    int fail(int status, const Bilingual& text) { return finish(status, tr(text)); }
    int fail(int status, const BilingualText& text) { return finish(status, tr(text)); }

  private:
    QString name_;
    bool english_;
    bool json_;
    QJsonObject result_;
};

// What a load changed on the way (gains limited), on standard error; the run goes on.
void tellChanges(Command& cmd, const FileLoad& file) {
    if (file.notice.isEmpty()) return;
    cmd.set(QStringLiteral("notice"), cmd.tr(file.notice));
    cmd.warn(cmd.tr(file.notice));
}

BilingualText filled(const Bilingual& pattern, const QString& arg) {
    return Fill_Text(pattern, {arg});
}

// The exit status of a run on the unit that did not end in Done.
int statusOf(RunEnd end) {
    switch (end) {
    case RunEnd::Done:
        return kExitDone;
    case RunEnd::NoUnit:
        return kExitNoUnit;
    case RunEnd::Failed:
        return kExitTransfer;
    case RunEnd::Unconfirmed:
        return kExitUnconfirmed;
    case RunEnd::Interrupted:
        break;
    }
    return kExitInterrupted;
}

// A failed run: why it failed, and for a stopped transfer what it means (stopped: its notice).
int runFailed(Command& cmd, const UnitRun& run, RunEnd end, const Bilingual* stopped = nullptr) {
    QString text = cmd.tr(run.why());
    if (end == RunEnd::Failed && stopped)
        text = text.isEmpty() ? cmd.tr(*stopped) : text + QLatin1Char(' ') + cmd.tr(*stopped);
    return cmd.finish(statusOf(end), text);
}

bool sceneNumber(const QString& text, int& out) {
    bool ok = false;
    out = text.toInt(&ok);
    return ok && out >= 1 && out <= kStoredScenes;
}

// ---- the tunes a diff compares ----

struct Operand {
    QString text; // as given
    bool unit = false;
    QString path;
    int scene = 0; // 1..9 for FILE.ALL:N
};

// Splits FILE.ALL:N; false (with the reason) for an *.ALL without its scene.
bool parseOperand(const QString& text, Operand& out, BilingualText& why) {
    out.text = text;
    if (text == QLatin1String("unit")) {
        out.unit = true;
        return true;
    }
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon > 0 && Is_All_File_Name(text.left(colon))) {
        out.path = text.left(colon);
        if (!sceneNumber(text.mid(colon + 1), out.scene)) {
            why = filled(cli_text::BadSceneNumber, text.mid(colon + 1));
            return false;
        }
        return true;
    }
    if (Is_All_File_Name(text)) {
        why = filled(cli_text::AllNeedsScene, text);
        return false;
    }
    out.path = text;
    return true;
}

FileLoad loadOperand(const Operand& operand) {
    if (operand.scene == 0) return Load_Tune_File(operand.path);
    FileLoad all = Load_Scene_File(operand.path, true);
    if (all.ok()) all.data = all.data.mid((operand.scene - 1) * kImageSize, kImageSize);
    // An erased place holds no tune; its bytes compared would read as nonsense values.
    if (all.ok() && Is_Erased_Scene(reinterpret_cast<const uint8_t*>(all.data.constData())))
        all.refusal = filled(cli_text::EmptyPlace, QString::number(operand.scene));
    return all;
}

// A file refused: its name first; one that is not there or cannot be opened says which.
BilingualText fileRefusal(const QString& path, const BilingualText& refusal) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return Fill_Text(cli_text::FileMissing, {path});
    if (info.isFile() && !info.isReadable()) return Fill_Text(cli_text::FileNotReadable, {path});
    return {path + QStringLiteral("：") + refusal.zh, path + QStringLiteral(": ") + refusal.en};
}

QJsonObject diffJson(const TuneDiff& diff, bool english) {
    QJsonArray entries;
    for (const TuneDiffEntry& e : diff.entries) {
        QJsonObject entry{{QStringLiteral("field"), e.id},
                          {QStringLiteral("label"), e.label.in(english)},
                          {QStringLiteral("before"), e.before.in(english)},
                          {QStringLiteral("after"), e.after.in(english)},
                          {QStringLiteral("line"), e.line.in(english)}};
        if (e.beforeCode) entry.insert(QStringLiteral("before_code"), *e.beforeCode);
        if (e.afterCode) entry.insert(QStringLiteral("after_code"), *e.afterCode);
        entries.append(entry);
    }
    return QJsonObject{{QStringLiteral("count"), diff.count()},
                       {QStringLiteral("entries"), entries}};
}

// The differences from a to b, line by line (or that there are none); exit 1 when they differ.
int reportDiff(Command& cmd, const ParamImage::Bytes& a, const ParamImage::Bytes& b) {
    const TuneDiff diff = Diff_Scenes(a, b);
    cmd.set(QStringLiteral("diff"), diffJson(diff, cmd.english()));
    for (const QString& line : diff.lines(cmd.english()))
        cmd.say(line);
    if (diff.empty()) {
        cmd.say(cmd.tr(cli_text::Same));
        return cmd.finish(kExitDone);
    }
    return cmd.finish(kExitDifferent);
}

// ---- the subcommands ----

struct Args {
    QStringList positional; // after the command
    QString output;
    QString unit; // history --unit
    QString name;
    bool nameGiven = false;
    bool yes = false;
    bool progress = false;
};

// ---- the unit's history ----

// The unit as it is now, kept in the history before an act overwrites it. A snapshot that cannot
// be kept does not stop the act: the user is told.
void keepSnapshot(Command& cmd, SnapshotReason reason, std::vector<StoredSceneImage> scenes = {}) {
    HistoryStore store(HistoryStore::defaultRoot());
    store.open();
    SnapshotInput in = Unit_Snapshot_Now(reason);
    in.scenes = std::move(scenes);
    const HistoryResult kept = store.add(in);
    if (kept.ok()) {
        cmd.set(QStringLiteral("snapshot"), kept.id);
        return;
    }
    cmd.warn(cmd.tr(Fill_Text(history_text::SnapshotNotKept, {kept.error.in(cmd.english())})));
}

// Stored scenes first..first + count - 1 read for a snapshot; only the used places are read.
RunEnd readStoredScenes(UnitRun& run, int first, int count, std::vector<StoredSceneImage>& scenes) {
    bool any = false;
    for (int place = first; place < first + count; ++place)
        any = any || Link_Machine().scenes().Scene_Valid[static_cast<size_t>(place - 1)] != 0;
    if (!any) return RunEnd::Done;
    const RunEnd read = run.runJob(std::make_unique<StoredScenesDownloadJob>(first, count),
                                   cli_text::Downloading, nullptr);
    if (read == RunEnd::Done) scenes = Stored_Scenes_Read(first, count);
    return read;
}

int cmdList(Command& cmd) {
    const std::vector<UnitProbe> units = Probe_Units();
    QJsonArray list;
    bool anyOpened = false;
    for (const UnitProbe& unit : units) {
        const QString path = QString::fromStdString(unit.path);
        QJsonObject entry{{QStringLiteral("path"), path}};
        if (unit.access == UnitAccess::Opened) {
            anyOpened = true;
            entry.insert(QStringLiteral("access"), QStringLiteral("opened"));
            cmd.say(path + QStringLiteral("  ") + cmd.tr(cli_text::StateOpened));
        } else {
            // Found but not to be opened: the same words as the window's notice say the fix.
            const bool inUse = unit.access == UnitAccess::InUse;
            const QString fix =
                cmd.tr(filled(inUse ? txt::AccessInUse : txt::AccessLocked, unit.detail));
            entry.insert(QStringLiteral("access"),
                         inUse ? QStringLiteral("in-use") : QStringLiteral("locked"));
            entry.insert(QStringLiteral("fix"), fix);
            cmd.say(path + QStringLiteral("  ") +
                    cmd.tr(inUse ? cli_text::StateInUse : cli_text::StateLocked) +
                    QStringLiteral("\n\n") + fix + QLatin1Char('\n'));
        }
        list.append(entry);
    }
    cmd.set(QStringLiteral("units"), list);
    if (units.empty()) {
        // An answer, not a failure of the command: it goes where the list would have.
        cmd.say(cmd.tr(cli_text::NoUnitListed));
        cmd.set(QStringLiteral("error"), cmd.tr(cli_text::NoUnitListed));
        return cmd.finish(kExitNoUnit);
    }
    return cmd.finish(anyOpened ? kExitDone : kExitNoUnit);
}

// The sound server's devices, outputs then inputs, by the names the desktop shows and the names
// to ask for them by.
int cmdDevices(Command& cmd) {
    std::vector<AudioDevice> devices;
    QString error;
    if (!makePulseAudio()->devices(devices, error))
        return cmd.fail(kExitNoSound, filled(cli_text::SoundServerAway, error));
    for (const bool outputs : {true, false}) {
        QJsonArray list;
        cmd.say(cmd.tr(outputs ? cli_text::SoundOutputs : cli_text::SoundInputs));
        for (const AudioDevice& d : devices) {
            if (d.output != outputs) continue;
            QJsonObject entry{{QStringLiteral("name"), d.name},
                              {QStringLiteral("description"), d.description},
                              {QStringLiteral("channels"), d.channels},
                              {QStringLiteral("rate"), d.rate}};
            if (!outputs) entry.insert(QStringLiteral("monitor"), d.monitor);
            list.append(entry);
            cmd.say(QStringLiteral("  %1%2\n      %3")
                        .arg(d.description, d.monitor ? cmd.tr(cli_text::SoundMonitor) : QString(),
                             d.name));
        }
        if (list.isEmpty()) cmd.say(cmd.tr(cli_text::SoundNone));
        cmd.set(outputs ? QStringLiteral("outputs") : QStringLiteral("inputs"), list);
    }
    return cmd.finish(kExitDone);
}

QJsonArray sceneList(Command& cmd) {
    QJsonArray scenes;
    SceneNameStore& store = Link_Machine().scenes();
    for (int k = 0; k < kStoredScenes; ++k) {
        const QString name = Scene_Name_Text(store.Scene_Name[static_cast<size_t>(k)]);
        const bool used = store.Scene_Valid[static_cast<size_t>(k)] != 0;
        scenes.append(QJsonObject{{QStringLiteral("number"), k + 1},
                                  {QStringLiteral("name"), name},
                                  {QStringLiteral("used"), used}});
        cmd.say(QStringLiteral("  %1  %2  %3")
                    .arg(k + 1)
                    .arg(name, -16)
                    .arg(cmd.tr(used ? cli_text::SceneUsed : cli_text::SceneEmpty)));
    }
    return scenes;
}

int cmdInfo(Command& cmd, UnitRun& run, bool scenesOnly) {
    const RunEnd end = run.connectUnit();
    if (end != RunEnd::Done) return runFailed(cmd, run, end);
    if (!scenesOnly) {
        const QString name = QString::fromLatin1(Expected_Name);
        const auto version = static_cast<qint64>(Param_Image.FW_Version());
        cmd.set(QStringLiteral("name"), name);
        cmd.set(QStringLiteral("firmware_version"), version);
        cmd.say(cmd.tr(cli_text::InfoName) + QStringLiteral(": ") + name);
        cmd.say(cmd.tr(cli_text::InfoFirmware) + QStringLiteral(": ") + QString::number(version));
        cmd.say(cmd.tr(cli_text::InfoScenes) + QLatin1Char(':'));
    }
    cmd.set(QStringLiteral("scenes"), sceneList(cmd));
    return cmd.finish(kExitDone);
}

int saveOrTell(Command& cmd, const QString& path, const QByteArray& bytes) {
    const SaveResult saved = Save_File_Atomically(path, bytes);
    if (!saved.ok()) return cmd.fail(kExitFile, Save_Failure_Text(saved));
    cmd.set(QStringLiteral("file"), path);
    cmd.say(cmd.tr(filled(cli_text::Saved, path)));
    return kExitDone;
}

int cmdDump(Command& cmd, UnitRun& run, const Args& args) {
    if (Is_All_File_Name(args.output)) return cmd.fail(kExitUsage, cli_text::DumpAllName);
    const RunEnd end = run.connectUnit();
    if (end != RunEnd::Done) return runFailed(cmd, run, end);
    const ParamImage::Bytes scene = Scene_File_From_Mirror(Param_Image);
    if (!args.output.isEmpty() && Is_Scene_File_Name(args.output)) {
        const int status = saveOrTell(cmd, args.output, Scene_Bytes(scene));
        return status == kExitDone ? cmd.finish(kExitDone) : status;
    }
    const TuneTextResult text = Tune_Text_From_Scene(scene);
    if (text.text.isEmpty()) return cmd.finish(kExitFile, text.error.in(cmd.english()));
    if (!args.output.isEmpty()) {
        const int status = saveOrTell(cmd, args.output, text.text);
        return status == kExitDone ? cmd.finish(kExitDone) : status;
    }
    cmd.set(QStringLiteral("tune"), QJsonDocument::fromJson(text.text).object());
    cmd.sayRaw(text.text);
    return cmd.finish(kExitDone);
}

// A checked scene image into the live settings, the unit's state kept in the history first; read
// back and confirmed. Done: the unit holds it, and the caller says so.
int loadIntoUnit(Command& cmd, UnitRun& run, const ParamImage::Bytes& image,
                 SnapshotReason reason) {
    const RunEnd connected = run.connectUnit();
    if (connected != RunEnd::Done) return runFailed(cmd, run, connected);
    keepSnapshot(cmd, reason);

    // As the window's scene-file load: the unit gets the file's bytes as they are, the mirror
    // takes them with the gains in the PC encoding.
    Param_Image.bytes() = Mirror_From_Scene_File(image);
    const RunEnd loaded =
        run.runJob(std::make_unique<SceneImageLoadJob>(image.data()), cli_text::Loading, nullptr);
    if (loaded != RunEnd::Done) return runFailed(cmd, run, loaded, &cli_text::LoadStopped);
    Link_Machine().setReconnectCount(kSingleLoadReconnectTicks);
    const RunEnd back = run.awaitReadback(kReadbackBoundMs);
    if (back != RunEnd::Done) return runFailed(cmd, run, back);

    // What the unit holds as the read-back takes it (a gain it cannot keep comes back flat):
    // bytes 4..1099; its firmware version (bytes 0..3) is its own, never the file's.
    const ParamImage::Bytes readBack = Scene_File_From_Mirror(Param_Image);
    ParamImage::Bytes held = image;
    std::copy(readBack.begin() + 4, readBack.begin() + kReadbackSize, held.begin() + 4);
    const TuneDiff diff = Diff_Scenes(image, held);
    if (!diff.empty()) {
        cmd.set(QStringLiteral("diff"), diffJson(diff, cmd.english()));
        return cmd.finish(kExitTransfer, cmd.tr(cli_text::NotHeld) + QLatin1Char('\n') +
                                             diff.lines(cmd.english()).join(QLatin1Char('\n')));
    }
    return kExitDone;
}

int cmdApply(Command& cmd, UnitRun& run, const QString& path) {
    const FileLoad file = Load_Tune_File(path);
    if (!file.ok()) return cmd.fail(kExitFile, fileRefusal(path, file.refusal));
    tellChanges(cmd, file);
    const int loaded = loadIntoUnit(cmd, run, Scene_Image(file.data), SnapshotReason::SceneLoad);
    if (loaded != kExitDone) return loaded;
    cmd.set(QStringLiteral("file"), path);
    cmd.say(cmd.tr(filled(cli_text::Applied, path)));
    return cmd.finish(kExitDone);
}

int cmdDiff(Command& cmd, UnitRun& run, const QString& a, const QString& b) {
    Operand operands[2];
    BilingualText why;
    if (!parseOperand(a, operands[0], why) || !parseOperand(b, operands[1], why))
        return cmd.fail(kExitUsage, why);
    ParamImage::Bytes images[2];
    bool unitRead = false;
    // Files first: a refused file costs no transfer.
    for (int i = 0; i < 2; ++i) {
        if (operands[i].unit) continue;
        const FileLoad file = loadOperand(operands[i]);
        if (!file.ok()) {
            if (operands[i].scene == 0)
                return cmd.fail(kExitFile, fileRefusal(operands[i].text, file.refusal));
            return cmd.finish(kExitFile,
                              operands[i].text + QStringLiteral(": ") + cmd.tr(file.refusal));
        }
        tellChanges(cmd, file);
        images[i] = Scene_Image(file.data);
    }
    for (int i = 0; i < 2; ++i) {
        if (!operands[i].unit) continue;
        if (!unitRead) {
            const RunEnd end = run.connectUnit();
            if (end != RunEnd::Done) return runFailed(cmd, run, end);
            unitRead = true;
        }
        images[i] = Scene_File_From_Mirror(Param_Image);
    }
    return reportDiff(cmd, images[0], images[1]);
}

int cmdScene(Command& cmd, UnitRun& run, const Args& args) {
    const QStringList& p = args.positional;
    const QString action = p.value(0);
    int number = 0;
    if (p.size() != 2 ||
        !QStringList{QStringLiteral("save"), QStringLiteral("recall"), QStringLiteral("delete")}
             .contains(action))
        return cmd.fail(kExitUsage, filled(cli_text::WrongArguments, QStringLiteral("scene")));
    if (!sceneNumber(p[1], number))
        return cmd.fail(kExitUsage, filled(cli_text::BadSceneNumber, p[1]));
    if (action == QLatin1String("delete") && !args.yes)
        return cmd.fail(kExitUsage, filled(cli_text::NeedsYes, QStringLiteral("scene delete")));
    if (args.nameGiven) {
        const BilingualText refusal = Scene_Name_Refusal(args.name);
        if (!refusal.isEmpty()) return cmd.fail(kExitUsage, refusal);
    }
    const RunEnd end = run.connectUnit();
    if (end != RunEnd::Done) return runFailed(cmd, run, end);
    LinkMachine& link = Link_Machine();
    const auto place = static_cast<size_t>(number - 1);
    cmd.set(QStringLiteral("scene"), number);

    if (action == QLatin1String("save")) {
        auto& slot = link.scenes().Scene_Name[place];
        const QString name = args.nameGiven ? args.name : Scene_Name_Text(slot);
        if (!Scene_Name_Acceptable(name)) return cmd.fail(kExitUsage, txt::SceneNameFormat);
        const std::array<uint8_t, 16> bytes = Scene_Name_Slot(slot, name);
        Send_Scene_Save(number, bytes.data());
        if (!Link_Online()) return cmd.fail(kExitTransfer, txt::CommError);
        slot = bytes;
        link.scenes().Scene_Valid[place] = 1;
        cmd.set(QStringLiteral("name"), name);
        cmd.say(cmd.tr(txt::SceneSaved));
        return cmd.finish(kExitDone);
    }
    if (action == QLatin1String("recall")) {
        // An empty place would replace the tune with an erased one.
        if (!link.scenes().Scene_Valid[place])
            return cmd.fail(kExitUsage, filled(txt::SceneRecallEmpty, QString::number(number)));
        keepSnapshot(cmd, SnapshotReason::Recall);
        run.markUnitChanged();
        Send_Scene_Call(number);
        if (!Link_Online()) return cmd.fail(kExitTransfer, txt::CommError);
        link.setReconnectCount(kRecallReconnectTicks);
        cmd.say(cmd.tr(txt::SceneRecalled));
        const RunEnd back = run.awaitReadback(kReadbackBoundMs);
        if (back != RunEnd::Done) return runFailed(cmd, run, back);
        return cmd.finish(kExitDone);
    }
    std::vector<StoredSceneImage> scene;
    const RunEnd read = readStoredScenes(run, number, 1, scene);
    if (read != RunEnd::Done) return runFailed(cmd, run, read, &cli_text::UnitNotChanged);
    keepSnapshot(cmd, SnapshotReason::SceneDelete, std::move(scene));
    Send_Scene_Delete(number);
    if (!Link_Online()) return cmd.fail(kExitTransfer, txt::CommError);
    link.sceneNameFallback(number); // what the unit reports for the place from now on
    cmd.say(cmd.tr(filled(cli_text::SceneDeleted, QString::number(number))));
    return cmd.finish(kExitDone);
}

int cmdBackup(Command& cmd, UnitRun& run, const QString& path) {
    if (!Is_All_File_Name(path)) return cmd.fail(kExitUsage, filled(cli_text::NeedsAllName, path));
    const RunEnd end = run.connectUnit();
    if (end != RunEnd::Done) return runFailed(cmd, run, end);
    const RunEnd read =
        run.runJob(std::make_unique<StoredScenesDownloadJob>(), cli_text::Downloading, nullptr);
    if (read != RunEnd::Done) return runFailed(cmd, run, read, &cli_text::DownloadStopped);
    const auto* job = static_cast<StoredScenesDownloadJob*>(Link_Machine().lastJob());
    QByteArray scenes(reinterpret_cast<const char*>(job->scenes().data()),
                      static_cast<int>(job->scenes().size()));
    // As the window saves them: what a read-back of each scene shows, so the file loads again.
    Limit_Stored_Scenes(reinterpret_cast<uint8_t*>(scenes.data()));
    const int status = saveOrTell(cmd, path, scenes);
    return status == kExitDone ? cmd.finish(kExitDone) : status;
}

int cmdRestore(Command& cmd, UnitRun& run, const QString& path, bool yes) {
    if (!yes) return cmd.fail(kExitUsage, filled(cli_text::NeedsYes, QStringLiteral("restore")));
    const FileLoad file = Load_Scene_File(path, true);
    if (!file.ok()) return cmd.fail(kExitFile, fileRefusal(path, file.refusal));
    tellChanges(cmd, file);
    const RunEnd end = run.connectUnit();
    if (end != RunEnd::Done) return runFailed(cmd, run, end);
    std::vector<StoredSceneImage> scenes;
    const RunEnd read = readStoredScenes(run, 1, kStoredScenes, scenes);
    if (read != RunEnd::Done) return runFailed(cmd, run, read, &cli_text::UnitNotChanged);
    keepSnapshot(cmd, SnapshotReason::AllScenesLoad, std::move(scenes));
    const auto* bytes = reinterpret_cast<const uint8_t*>(file.data.constData());
    const RunEnd written =
        run.runJob(std::make_unique<StoredScenesUploadJob>(bytes), cli_text::Uploading, nullptr);
    if (written != RunEnd::Done) return runFailed(cmd, run, written, &cli_text::LoadStopped);
    Link_Machine().Connect_Unit();
    const RunEnd back = run.awaitReadback(kReadbackBoundMs);
    if (back != RunEnd::Done) return runFailed(cmd, run, back);
    cmd.say(cmd.tr(cli_text::RestoreDone));
    return cmd.finish(kExitDone);
}

int cmdFirmware(Command& cmd, UnitRun& run, const QString& path, bool yes) {
    if (!yes) return cmd.fail(kExitUsage, filled(cli_text::NeedsYes, QStringLiteral("firmware")));
    const FileLoad file = Load_Firmware_File(path);
    if (!file.ok()) return cmd.fail(kExitFile, fileRefusal(path, file.refusal));
    const RunEnd end = run.connectUnit();
    if (end != RunEnd::Done) return runFailed(cmd, run, end);
    keepSnapshot(cmd, SnapshotReason::Firmware);
    const auto* image = reinterpret_cast<const uint8_t*>(file.data.constData());
    const RunEnd sent =
        run.runJob(std::make_unique<FirmwareJob>(image, static_cast<uint32_t>(file.data.size())),
                   cli_text::Upgrading, nullptr);
    if (sent != RunEnd::Done) return runFailed(cmd, run, sent, &cli_text::UpgradeStopped);
    // The unit installs the image, left alone meanwhile, and is then read back.
    LinkMachine& link = Link_Machine();
    link.reopenAfter(kInstallTicks);
    link.ring().clear();
    cmd.say(cmd.tr(transfer_text::UpgradeDone));
    const RunEnd back = run.awaitReadback(kUpgradeBoundMs);
    if (back != RunEnd::Done) return cmd.fail(kExitTransfer, cli_text::UnitNotBack);
    const auto version = static_cast<qint64>(Param_Image.FW_Version());
    cmd.set(QStringLiteral("firmware_version"), version);
    cmd.say(cmd.tr(filled(cli_text::UpgradeBack, QString::number(version))));
    return cmd.finish(kExitDone);
}

// ---- the safety check and automatic equalisation ----

// The findings, a line each, and their count; returns how many there are.
int reportFindings(Command& cmd, const std::vector<SafetyFinding>& findings) {
    QJsonArray list;
    const bool english = cmd.english();
    for (const SafetyFinding& f : findings) {
        QJsonObject entry{{QStringLiteral("channel"), f.channel + 1},
                          {QStringLiteral("rule"), static_cast<int>(f.rule)},
                          {QStringLiteral("rule_name"), cmd.tr(Safety_Rule_Name(f.rule))},
                          {QStringLiteral("value"), f.value.in(english)},
                          {QStringLiteral("advice"), f.advice.in(english)},
                          {QStringLiteral("text"), f.text.in(english)}};
        if (f.band >= 0) entry.insert(QStringLiteral("band"), f.band + 1);
        if (f.other >= 0) entry.insert(QStringLiteral("other_channel"), f.other + 1);
        list.append(entry);
        cmd.say(f.text.in(english));
    }
    cmd.set(QStringLiteral("findings"), list);
    const int n = static_cast<int>(findings.size());
    cmd.say(n == 0 ? cmd.tr(cli_text::CheckNone)
                   : cmd.tr(filled(cli_text::CheckFound, QString::number(n))));
    return n;
}

// check [FILE|unit]: exit 1 when something is found.
int cmdCheck(Command& cmd, UnitRun& run, const QStringList& p) {
    if (p.size() > 1)
        return cmd.fail(kExitUsage, filled(cli_text::WrongArguments, QStringLiteral("check")));
    const QString source = p.value(0, QStringLiteral("unit"));
    ParamImage image;
    if (source == QLatin1String("unit")) {
        const RunEnd end = run.connectUnit();
        if (end != RunEnd::Done) return runFailed(cmd, run, end);
        image = Param_Image;
    } else {
        const FileLoad file = Load_Tune_File(source);
        if (!file.ok())
            return cmd.finish(kExitFile, source + QStringLiteral(": ") + cmd.tr(file.refusal));
        image.bytes() = Mirror_From_Scene_File(Scene_Image(file.data));
    }
    cmd.set(QStringLiteral("source"), source);
    return cmd.finish(reportFindings(cmd, Safety_Check(image)) > 0 ? kExitDifferent : kExitDone);
}

struct AutoEqArgs {
    QString channel, from, target, maxBoost, mode;
    bool apply = false, yes = false;
};

// autoeq --channel N --from FILE [--target flat|house|FILE] [--max-boost DB] [--mode peq|geq]
// [--apply --yes]: the bands, what they leave and the safety check with them; loaded into the unit
// only when asked and confirmed, the unit's state kept in the history first.
int cmdAutoEq(Command& cmd, UnitRun& run, const AutoEqArgs& a) {
    if (a.channel.isEmpty() || a.from.isEmpty()) return cmd.fail(kExitUsage, cli_text::AutoEqNeeds);
    bool ok = false;
    const int ch = a.channel.toInt(&ok) - 1;
    if (!ok || ch < 0 || ch >= kChannels)
        return cmd.fail(kExitUsage, filled(cli_text::BadChannel, a.channel));
    double maxBoost = 6.0;
    if (!a.maxBoost.isEmpty()) {
        maxBoost = a.maxBoost.toDouble(&ok);
        if (!ok || !(maxBoost >= 0.0 && maxBoost <= 12.0))
            return cmd.fail(kExitUsage, filled(cli_text::BadMaxBoost, a.maxBoost));
    }
    const QString mode = a.mode.isEmpty() ? QStringLiteral("peq") : a.mode;
    if (mode != QLatin1String("peq") && mode != QLatin1String("geq"))
        return cmd.fail(kExitUsage, filled(cli_text::BadMode, a.mode));
    if (a.apply && !a.yes)
        return cmd.fail(kExitUsage, filled(cli_text::NeedsYes, QStringLiteral("autoeq --apply")));

    // The target: a name, the house curve with its shelf and tilt, or a file.
    TargetCurve target = Flat_Target();
    const QString targetName = a.target.isEmpty() ? QStringLiteral("flat") : a.target;
    if (targetName.startsWith(QLatin1String("house"))) {
        HouseCurve house;
        const QString rest = targetName.mid(5);
        if (!rest.isEmpty()) {
            const QStringList parts = rest.mid(1).split(QLatin1Char(','));
            bool shelfOk = false, tiltOk = parts.size() < 2;
            if (rest.startsWith(QLatin1Char(':')) && parts.size() <= 2) {
                house.shelfDb = parts[0].toDouble(&shelfOk);
                if (parts.size() == 2) house.tiltDbPerOct = parts[1].toDouble(&tiltOk);
            }
            if (!shelfOk || !tiltOk || std::fabs(house.shelfDb) > 12.0 ||
                std::fabs(house.tiltDbPerOct) > 6.0)
                return cmd.fail(kExitUsage, filled(cli_text::BadTarget, targetName));
        }
        target = House_Target(house);
    } else if (targetName != QLatin1String("flat")) {
        CurveFile file = Read_Curve_File(targetName);
        if (!file.ok())
            return cmd.finish(kExitFile, targetName + QStringLiteral(": ") + cmd.tr(file.refusal));
        target = File_Target(std::move(file.points));
    }
    CurveFile measured = Read_Curve_File(a.from);
    if (!measured.ok())
        return cmd.finish(kExitFile, a.from + QStringLiteral(": ") + cmd.tr(measured.refusal));

    const RunEnd end = run.connectUnit();
    if (end != RunEnd::Done) return runFailed(cmd, run, end);
    FitRequest rq = Fit_Request_For(Param_Image, ch);
    rq.measurement = std::move(measured.points);
    rq.target = target;
    rq.maxBoostDb = maxBoost;
    rq.mode = mode == QLatin1String("geq") ? FitMode::Geq : FitMode::Peq;
    const FitResult fit = Fit_Eq(rq);
    if (fit.error != FitResult::Error::None) return cmd.fail(kExitFile, Fit_Error_Text(fit));

    cmd.set(QStringLiteral("channel"), ch + 1);
    cmd.set(QStringLiteral("mode"), mode);
    cmd.set(QStringLiteral("target"), targetName);
    cmd.set(QStringLiteral("max_boost_db"), maxBoost);
    QJsonArray bands;
    cmd.say(cmd.tr(Fill_Text(cli_text::FitBandsTitle, {QString::number(ch + 1), mode.toUpper()})));
    for (int b = 0; b < kBands; ++b) {
        const FitBand& band = fit.bands[b];
        bands.append(QJsonObject{{QStringLiteral("band"), b + 1},
                                 {QStringLiteral("freq"), band.freq},
                                 {QStringLiteral("gain_db"), band.gain / 10.0},
                                 {QStringLiteral("q"), band.q / 10.0}});
        if (band.gain != 0)
            cmd.say(QStringLiteral("  %1  %2 Hz  %3 dB  Q %4")
                        .arg(b + 1, 2)
                        .arg(band.freq, 5)
                        .arg(QString::number(band.gain / 10.0, 'f', 1), 5)
                        .arg(QString::number(band.q / 10.0, 'f', 1)));
    }
    if (fit.bandsUsed == 0) cmd.say(QStringLiteral("  ") + cmd.tr(cli_text::FitAllFlat));
    cmd.set(QStringLiteral("bands"), bands);
    cmd.set(QStringLiteral("residual_db"), fit.residualDb);
    cmd.set(QStringLiteral("flat_residual_db"), fit.flatResidualDb);
    cmd.set(QStringLiteral("reachable_residual_db"), fit.reachableResidualDb);
    cmd.set(QStringLiteral("from_hz"), fit.fromHz);
    cmd.set(QStringLiteral("to_hz"), fit.toHz);
    cmd.set(QStringLiteral("time_ms"), fit.elapsedMs);
    QJsonArray dips;
    for (double f : fit.narrowDips)
        dips.append(f);
    cmd.set(QStringLiteral("narrow_dips_hz"), dips);
    cmd.say(cmd.tr(Fit_Summary(fit)));

    // The check of the tune as it would stand: it warns and never stops the fit being applied.
    ParamImage tuned = Param_Image;
    Apply_Fit_Bands(tuned, ch, fit.bands);
    cmd.say(cmd.tr(cli_text::FitCheckTitle));
    reportFindings(cmd, Safety_Check(tuned));

    cmd.set(QStringLiteral("applied"), a.apply);
    if (!a.apply) {
        cmd.say(cmd.tr(cli_text::FitNotApplied));
        return cmd.finish(kExitDone);
    }
    const int loaded =
        loadIntoUnit(cmd, run, Scene_File_From_Mirror(tuned), SnapshotReason::AutoEq);
    if (loaded != kExitDone) return loaded;
    cmd.say(cmd.tr(filled(cli_text::FitApplied, QString::number(ch + 1))));
    return cmd.finish(kExitDone);
}

QJsonObject recordJson(const SnapshotRecord& r, bool english) {
    QJsonArray names;
    for (const QString& name : r.sceneNames)
        names.append(name);
    QJsonArray kept;
    for (const auto& scene : r.scenes)
        kept.append(scene.first);
    return QJsonObject{{QStringLiteral("number"), r.id},
                       {QStringLiteral("time"), r.time.toString(Qt::ISODate)},
                       {QStringLiteral("unit"), r.unit.shown().in(english)},
                       {QStringLiteral("unit_id"), r.unit.key()},
                       {QStringLiteral("reason"), Snapshot_Reason_Key(r.reason)},
                       {QStringLiteral("reason_text"), Snapshot_Reason_Text(r.reason).in(english)},
                       {QStringLiteral("changes"),
                        r.changed < 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(r.changed)},
                       {QStringLiteral("pinned"), r.pinned},
                       {QStringLiteral("note"), r.note},
                       {QStringLiteral("scene_names"), names},
                       {QStringLiteral("stored_scenes"), kept}};
}

// history [--unit ID], history show N, history diff N M|unit, history restore N --yes.
int cmdHistory(Command& cmd, UnitRun& run, const Args& args) {
    const QStringList& p = args.positional;
    const QString action = p.value(0);
    const bool shapeOk = (p.isEmpty()) || (action == QLatin1String("show") && p.size() == 2) ||
                         (action == QLatin1String("diff") && p.size() == 3) ||
                         (action == QLatin1String("restore") && p.size() == 2);
    if (!shapeOk || (!args.output.isEmpty() && action != QLatin1String("show")) ||
        (!args.unit.isEmpty() && !p.isEmpty()))
        return cmd.fail(kExitUsage, filled(cli_text::WrongArguments, QStringLiteral("history")));
    if (action == QLatin1String("restore") && !args.yes)
        return cmd.fail(kExitUsage, filled(cli_text::NeedsYes, QStringLiteral("history restore")));
    if (Is_All_File_Name(args.output)) return cmd.fail(kExitUsage, cli_text::DumpAllName);

    HistoryStore store(HistoryStore::defaultRoot());
    store.open();
    const bool english = cmd.english();
    if (p.isEmpty()) {
        // Grouped by unit as the window lists them; each unit's heading gives the identity
        // --unit takes.
        QJsonArray list;
        QString heading;
        for (const SnapshotRecord& r : Snapshots_By_Unit(store.snapshots())) {
            if (!args.unit.isEmpty() && r.unit.serial != args.unit && r.unit.key() != args.unit)
                continue;
            list.append(recordJson(r, english));
            if (r.unit.key() != heading) {
                if (!heading.isEmpty()) cmd.say(QString());
                heading = r.unit.key();
                cmd.say(cmd.tr(
                    Fill_Text(cli_text::UnitHeading, {r.unit.shown().in(english), r.unit.key()})));
            }
            cmd.say(QStringLiteral("  ") +
                    QStringList{Snapshot_Stamp(r), Snapshot_Reason_Text(r.reason).in(english),
                                r.changed < 0 ? cmd.tr(history_text::FirstOfUnit)
                                              : QString::number(r.changed),
                                r.pinned ? cmd.tr(history_text::PinMark) : QString(), r.note}
                        .join(QStringLiteral("  "))
                        .trimmed());
        }
        cmd.set(QStringLiteral("snapshots"), list);
        if (list.isEmpty()) cmd.say(cmd.tr(cli_text::HistoryEmpty));
        return cmd.finish(kExitDone);
    }

    // The snapshots named, each with its image.
    auto snapshotOf = [&](const QString& text, SnapshotRecord& record, ParamImage::Bytes& image,
                          int& status) {
        bool ok = false;
        const int id = text.startsWith(QLatin1Char('#')) ? text.mid(1).toInt(&ok) : text.toInt(&ok);
        const auto found = ok ? store.snapshot(id) : std::nullopt;
        if (!found) {
            status = cmd.fail(kExitUsage, filled(cli_text::NoSnapshot, text));
            return false;
        }
        const auto bytes = store.image(found->image);
        if (!bytes) {
            status = cmd.fail(kExitFile, history_text::ImageMissing);
            return false;
        }
        record = *found;
        image = *bytes;
        return true;
    };
    SnapshotRecord record;
    ParamImage::Bytes image{};
    int status = kExitDone;
    if (!snapshotOf(p[1], record, image, status)) return status;

    if (action == QLatin1String("show")) {
        cmd.set(QStringLiteral("snapshot"), recordJson(record, english));
        const auto line = [&](const Bilingual& label, const QString& value) {
            cmd.say(cmd.tr(label) + QStringLiteral(": ") + value);
        };
        cmd.say(cmd.tr(filled(cli_text::SnapshotTitle, Snapshot_Stamp(record))));
        line(history_text::Columns[1], record.unit.shown().in(english));
        line(history_text::Columns[2], Snapshot_Reason_Text(record.reason).in(english));
        line(history_text::Columns[3], record.changed < 0 ? cmd.tr(history_text::FirstOfUnit)
                                                          : QString::number(record.changed));
        line(history_text::Columns[4], cmd.tr(record.pinned ? cli_text::Yes : cli_text::No));
        if (!record.note.isEmpty()) line(history_text::Columns[5], record.note);
        line(cli_text::InfoFirmware, QString::number(record.unit.firmware));
        cmd.say(cmd.tr(cli_text::InfoScenes) + QLatin1Char(':'));
        for (int k = 0; k < record.sceneNames.size(); ++k)
            cmd.say(QStringLiteral("  %1  %2").arg(k + 1).arg(record.sceneNames[k]));
        if (!record.scenes.empty()) {
            QStringList places;
            for (const auto& scene : record.scenes)
                places.append(QString::number(scene.first));
            line(cli_text::KeptScenes, places.join(QStringLiteral(", ")));
        }
        if (args.output.isEmpty()) {
            // The settings themselves, as the tune text gives them.
            const TuneTextResult text = Tune_Text_From_Scene(image);
            if (text.text.isEmpty()) return cmd.finish(kExitFile, text.error.in(english));
            cmd.set(QStringLiteral("tune"), QJsonDocument::fromJson(text.text).object());
            cmd.say(cmd.tr(cli_text::Settings) + QLatin1Char(':'));
            cmd.sayRaw(text.text);
            return cmd.finish(kExitDone);
        }
        QByteArray bytes = Scene_Bytes(image);
        if (!Is_Scene_File_Name(args.output)) {
            const TuneTextResult text = Tune_Text_From_Scene(image);
            if (text.text.isEmpty()) return cmd.finish(kExitFile, text.error.in(english));
            bytes = text.text;
        }
        const int saved = saveOrTell(cmd, args.output, bytes);
        return saved == kExitDone ? cmd.finish(kExitDone) : saved;
    }

    if (action == QLatin1String("diff")) {
        ParamImage::Bytes other{};
        if (p[2] == QLatin1String("unit")) {
            const RunEnd end = run.connectUnit();
            if (end != RunEnd::Done) return runFailed(cmd, run, end);
            other = Scene_File_From_Mirror(Param_Image);
        } else {
            SnapshotRecord second;
            if (!snapshotOf(p[2], second, other, status)) return status;
        }
        return reportDiff(cmd, image, other);
    }

    // restore: checked as a scene file is before a load.
    const SceneFileVerdict verdict = Check_Scene_File(Scene_Bytes(image));
    if (verdict.check != SceneFileCheck::Ok)
        return cmd.fail(kExitFile, Scene_File_Check_Text(verdict, false));
    const int loaded = loadIntoUnit(cmd, run, image, SnapshotReason::Restore);
    if (loaded != kExitDone) return loaded;
    cmd.say(cmd.tr(filled(cli_text::HistoryRestored, Snapshot_Stamp(record))));
    return cmd.finish(kExitDone);
}

bool localeIsChinese() {
    return QLocale::system().language() == QLocale::Chinese;
}

} // namespace

int Run_Command_Line(const QStringList& argv, const CliDemo* demo) {
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption lang(QStringLiteral("lang"), QString(), QStringLiteral("lang"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QString(), QStringLiteral("file"));
    const QCommandLineOption name(QStringLiteral("name"), QString(), QStringLiteral("name"));
    const QCommandLineOption yes(QStringLiteral("yes"));
    const QCommandLineOption unit(QStringLiteral("unit"), QString(), QStringLiteral("id"));
    const QCommandLineOption demoState(QStringLiteral("demo"), QString(), QStringLiteral("state"),
                                       QStringLiteral("tuned"));
    const QCommandLineOption demoMemory(QStringLiteral("demo-memory"), QString(),
                                        QStringLiteral("file"));
    const QCommandLineOption demoUnplug(QStringLiteral("demo-unplug-after"), QString(),
                                        QStringLiteral("frames"));
    const QCommandLineOption demoInterrupt(QStringLiteral("demo-interrupt-after"), QString(),
                                           QStringLiteral("frames"));
    const QCommandLineOption demoClock(QStringLiteral("demo-clock"), QString(),
                                       QStringLiteral("clock"));
    parser.addOptions({help, version, json, lang, output, name, yes, unit});
    const QCommandLineOption channel(QStringLiteral("channel"), QString(), QStringLiteral("n"));
    const QCommandLineOption from(QStringLiteral("from"), QString(), QStringLiteral("file"));
    const QCommandLineOption target(QStringLiteral("target"), QString(), QStringLiteral("t"));
    const QCommandLineOption maxBoost(QStringLiteral("max-boost"), QString(), QStringLiteral("db"));
    const QCommandLineOption mode(QStringLiteral("mode"), QString(), QStringLiteral("mode"));
    const QCommandLineOption apply(QStringLiteral("apply"));
    parser.addOptions({channel, from, target, maxBoost, mode, apply});
    if (demo) parser.addOptions({demoState, demoMemory, demoUnplug, demoInterrupt, demoClock});

    const bool parsed = parser.parse(argv);
    // The language first, so that every message after it is in it.
    bool english = !localeIsChinese();
    const QString langValue = parsed ? parser.value(lang) : QString();
    if (langValue == QLatin1String("zh")) english = false;
    if (langValue == QLatin1String("en")) english = true;
    Param_Init();
    Pc.Lang_EN = english ? 1 : 0;

    const QStringList positional = parsed ? parser.positionalArguments() : QStringList();
    const QString commandName = positional.value(0);
    // --json is honoured even when the rest of the line cannot be read, so that a program reading
    // the output gets its error as JSON too.
    Command cmd(commandName, english,
                parsed ? parser.isSet(json) : argv.contains(QStringLiteral("--json")));
    if (!parsed) return cmd.finish(kExitUsage, parser.errorText());
    if (!langValue.isEmpty() && langValue != QLatin1String("zh") &&
        langValue != QLatin1String("en"))
        return cmd.fail(kExitUsage, cli_text::BadLanguage);
    if (parser.isSet(help)) {
        put(stdout, cmd.tr(cli_text::Help) + (demo ? cmd.tr(cli_text::DemoHelp) : QString()));
        return kExitDone;
    }
    if (parser.isSet(version)) {
        put(stdout, QStringLiteral("tarn80x-cli %1\n").arg(QStringLiteral(TARN_VERSION)));
        return kExitDone;
    }
    if (commandName.isEmpty()) return cmd.fail(kExitUsage, cli_text::NoCommand);

    Args args;
    args.positional = positional.mid(1);
    args.output = parser.value(output);
    args.unit = parser.value(unit);
    args.nameGiven = parser.isSet(name);
    args.name = parser.value(name);
    args.yes = parser.isSet(yes);
    args.progress = isatty(STDERR_FILENO) != 0;

    struct Shape {
        const char* name;
        int arguments; // -1: checked by the command
    };
    static const Shape kShapes[] = {
        {"list", 0},     {"info", 0},    {"dump", 0},   {"apply", 1},   {"diff", 2},
        {"scenes", 0},   {"scene", -1},  {"backup", 1}, {"restore", 1}, {"firmware", 1},
        {"history", -1}, {"devices", 0}, {"check", -1}, {"autoeq", 0}};
    const Shape* shape = nullptr;
    for (const Shape& s : kShapes)
        if (commandName == QLatin1String(s.name)) shape = &s;
    if (!shape) return cmd.fail(kExitUsage, filled(cli_text::UnknownCommand, commandName));
    if (shape->arguments >= 0 && args.positional.size() != shape->arguments)
        return cmd.fail(kExitUsage, filled(cli_text::WrongArguments, commandName));
    const bool history = commandName == QLatin1String("history");
    if ((parser.isSet(output) && commandName != QLatin1String("dump") && !history) ||
        (parser.isSet(unit) && !history))
        return cmd.fail(kExitUsage, filled(cli_text::WrongArguments, commandName));

    AutoEqArgs autoEq{parser.value(channel),
                      parser.value(from),
                      parser.value(target),
                      parser.value(maxBoost),
                      parser.value(mode),
                      parser.isSet(apply),
                      args.yes};
    for (const QCommandLineOption* o : {&channel, &from, &target, &maxBoost, &mode, &apply})
        if (parser.isSet(*o) && commandName != QLatin1String("autoeq"))
            return cmd.fail(kExitUsage,
                            filled(cli_text::AutoEqOnly, QStringLiteral("--") + o->names()[0]));

    // The sound server's devices need no unit, simulated or real.
    if (commandName == QLatin1String("devices")) return cmdDevices(cmd);

    if (demo) {
        CliDemoRun demoRun{commandName, parser.value(demoState), parser.value(demoMemory), 0,
                           0,           parser.value(demoClock)};
        for (const auto& [option, frames] : {std::pair{&demoUnplug, &demoRun.unplugAfter},
                                             {&demoInterrupt, &demoRun.interruptAfter}}) {
            bool ok = true;
            if (parser.isSet(*option)) *frames = parser.value(*option).toInt(&ok);
            if (!ok) return cmd.finish(kExitUsage, parser.value(*option));
        }
        QString error;
        if (!demo->start(demoRun, &error)) return cmd.finish(kExitUsage, error);
    }

    int status = kExitDone;
    {
        UnitRun::installInterruptHandler();
        UnitRun run(english, args.progress);
        const QStringList& p = args.positional;
        if (commandName == QLatin1String("list"))
            status = cmdList(cmd);
        else if (commandName == QLatin1String("info"))
            status = cmdInfo(cmd, run, false);
        else if (commandName == QLatin1String("scenes"))
            status = cmdInfo(cmd, run, true);
        else if (commandName == QLatin1String("dump"))
            status = cmdDump(cmd, run, args);
        else if (commandName == QLatin1String("apply"))
            status = cmdApply(cmd, run, p[0]);
        else if (commandName == QLatin1String("diff"))
            status = cmdDiff(cmd, run, p[0], p[1]);
        else if (commandName == QLatin1String("scene"))
            status = cmdScene(cmd, run, args);
        else if (commandName == QLatin1String("backup"))
            status = cmdBackup(cmd, run, p[0]);
        else if (history)
            status = cmdHistory(cmd, run, args);
        else if (commandName == QLatin1String("check"))
            status = cmdCheck(cmd, run, p);
        else if (commandName == QLatin1String("autoeq"))
            status = cmdAutoEq(cmd, run, autoEq);
        else if (commandName == QLatin1String("restore"))
            status = cmdRestore(cmd, run, p[0], args.yes);
        else
            status = cmdFirmware(cmd, run, p[0], args.yes);
    } // the unit is let go here
    if (demo && demo->finish) demo->finish();
    return status;
}

} // namespace tarn
