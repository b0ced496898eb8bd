// tarn80x-cli check and autoeq run as real processes against the simulated unit of the demo build:
// what they find and print, their exit statuses, and that autoeq reaches the unit only with
// --apply --yes, after a snapshot.
#include "dsp/response.h"
#include "model/param_image.h"
#include "model/scene_image.h"
#include "session/unit_files.h"
#include "tests/support/fresh_folder.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace tarn;

namespace {

struct Run {
    int exit = -1;
    QString out;
    QString err;
};

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A measurement as a measurement program exports it: 1/48 octave, 80 dB with a +6 dB bump at
// 100 Hz of Q 4.
QByteArray bumpAt100Hz() {
    QByteArray text("* Frequency (Hz)  SPL (dB)  Phase (degrees)\n");
    for (int i = 0; i <= 478; ++i) {
        const double f = 20.0 * std::pow(1000.0, i / 478.0);
        text += QByteArray::number(f, 'f', 3) + ' ' +
                QByteArray::number(80.0 + Peaking_Db(6.0, 100.0, 4.0, f), 'f', 3) + " 0.0\n";
    }
    return text;
}

// A scene file of the start-up tune with the roles given (codes, channel by channel).
QByteArray sceneWithRoles(const std::array<uint8_t, kChannels>& roles) {
    Param_Init();
    ParamImage p = Param_Image;
    for (int ch = 0; ch < kChannels; ++ch)
        p.set_CH_Name(ch, roles[ch]);
    const ParamImage::Bytes b = Scene_File_From_Mirror(p);
    return QByteArray(reinterpret_cast<const char*>(b.data()), kImageSize);
}

} // namespace

class TestCliTuningCommands : public QObject {
    Q_OBJECT

    test::FreshFolder folder;

    Run cli(const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder->path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), folder.path("data"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env.remove(QStringLiteral("LANGUAGE"));
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(folder->path());
        process.start(QStringLiteral(TARN_CLI_DEMO), args);
        Run run;
        if (!process.waitForFinished(60000)) return run;
        run.exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    // A run on the demo's tuned unit kept in mem.bin.
    Run onUnit(QStringList args, const QString& lang = QStringLiteral("en")) {
        args = QStringList{"--lang",        lang,
                           "--demo",        "tuned",
                           "--demo-memory", folder.path("mem.bin")} +
               args;
        return cli(args);
    }

    QJsonObject json(const Run& run) { return QJsonDocument::fromJson(run.out.toUtf8()).object(); }

  private slots:
    void init() { QVERIFY(folder.renew()); }

    void usage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("err");
        QTest::newRow("autoeq without its operands")
            << QStringList{"autoeq"} << "tarn80x-cli: autoeq needs --channel and --from\n";
        QTest::newRow("channel 7") << QStringList{"autoeq", "--channel", "7", "--from", "m.txt"}
                                   << "tarn80x-cli: --channel is 1 to 6: 7\n";
        QTest::newRow("boost of 13 dB")
            << QStringList{"autoeq", "--channel", "1", "--from", "m.txt", "--max-boost", "13"}
            << "tarn80x-cli: --max-boost is 0 to 12 dB: 13\n";
        QTest::newRow("mode") << QStringList{"autoeq", "--channel", "1",  "--from",
                                             "m.txt",  "--mode",    "fir"}
                              << "tarn80x-cli: --mode is peq or geq: fir\n";
        QTest::newRow("house curve misspelt")
            << QStringList{"autoeq", "--channel", "1", "--from", "m.txt", "--target", "house:x"}
            << "tarn80x-cli: --target is flat, house, house:SHELF,TILT or a file: house:x\n";
        QTest::newRow("apply without yes")
            << QStringList{"autoeq", "--channel", "1", "--from", "m.txt", "--apply"}
            << "tarn80x-cli: autoeq --apply cannot be undone: add --yes to confirm\n";
        QTest::newRow("autoeq's option on another command")
            << QStringList{"check", "--channel", "2"}
            << "tarn80x-cli: --channel is for autoeq only\n";
        QTest::newRow("check of two files") << QStringList{"check", "a.SCE", "b.SCE"}
                                            << "tarn80x-cli: check: wrong arguments (see --help)\n";
    }
    void usage() {
        QFETCH(QStringList, args);
        QFETCH(QString, err);
        const Run run = cli(QStringList{"--lang", "en"} + args);
        QCOMPARE(run.err, err);
        QCOMPARE(run.exit, 2);
        QCOMPARE(run.out, QString());
    }

    // A file: each finding a line and the count; exit 1 when something is found, 0 when not.
    void checkFile() {
        // The start-up tune: full-range speakers with no high-pass beside a subwoofer whose
        // low-pass is off.
        writeAll(folder.path("start.SCE"), sceneWithRoles({3, 7, 11, 15, 16, 19}));
        Run run = cli({"--lang", "en", "check", folder.path("start.SCE")});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exit, 1);
        QCOMPARE(
            run.out,
            QStringLiteral(
                "CH1 FL-FULL · Low high-pass: the high-pass is off while CH6 is a subwoofer. "
                "Switch on a high-pass near the subwoofer's low-pass (80 Hz) and leave the "
                "bass to it\n"
                "CH2 FR-FULL · Low high-pass: the high-pass is off while CH6 is a subwoofer. "
                "Switch on a high-pass near the subwoofer's low-pass (80 Hz) and leave the "
                "bass to it\n"
                "CH3 RL-FULL · Low high-pass: the high-pass is off while CH6 is a subwoofer. "
                "Switch on a high-pass near the subwoofer's low-pass (80 Hz) and leave the "
                "bass to it\n"
                "CH4 RR-FULL · Low high-pass: the high-pass is off while CH6 is a subwoofer. "
                "Switch on a high-pass near the subwoofer's low-pass (80 Hz) and leave the "
                "bass to it\n"
                "CH6 Subwoofer · Subwoofer low-pass: the low-pass is off. Switch on a low-pass "
                "at 120 Hz or below\n"
                "5 found (warnings: nothing is blocked).\n"));

        // Without the subwoofer nothing is wrong.
        writeAll(folder.path("sound.SCE"), sceneWithRoles({3, 7, 11, 15, 16, 20}));
        run = cli({"--lang", "zh", "check", folder.path("sound.SCE")});
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.out, QStringLiteral("没有发现问题。\n"));

        run = cli({"--lang", "en", "check", folder.path("missing.SCE")});
        QCOMPARE(run.exit, 5);
        QVERIFY(run.err.startsWith(QStringLiteral("tarn80x-cli: ") + folder.path("missing.SCE")));
    }

    // The unit, in JSON: the demo's subwoofers are of opposite polarity.
    void checkUnitJson() {
        const Run run = onUnit({"--json", "check"});
        QCOMPARE(run.exit, 1);
        const QJsonObject o = json(run);
        QCOMPARE(o.value("exit").toInt(), 1);
        QCOMPARE(o.value("source").toString(), QStringLiteral("unit"));
        bool polarity = false;
        for (const QJsonValue& v : o.value("findings").toArray()) {
            const QJsonObject f = v.toObject();
            if (f.value("rule").toInt() != 7) continue;
            polarity = true;
            QCOMPARE(f.value("channel").toInt(), 6);
            QCOMPARE(f.value("other_channel").toInt(), 5);
            QCOMPARE(f.value("rule_name").toString(), QStringLiteral("Left and right differ"));
            QCOMPARE(f.value("value").toString(),
                     QStringLiteral("the polarity differs from CH5 (180° / 0°)"));
        }
        QVERIFY(polarity);
    }

    // Without --apply the unit is not touched: the bands, the residual and the check are shown.
    void autoEqShows() {
        writeAll(folder.path("m.txt"), bumpAt100Hz());
        QCOMPARE(onUnit({"dump", "-o", folder.path("before.SCE")}).exit, 0);
        Run run = onUnit({"autoeq", "--channel", "3", "--from", folder.path("m.txt")});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exit, 0);
        QVERIFY2(run.out.startsWith(QStringLiteral("Bands of CH3 (PEQ):\n"
                                                   "   8    100 Hz   -5.9 dB  Q 4.0\n"
                                                   "Predicted residual 0.0")),
                 qPrintable(run.out));
        QVERIFY(run.out.contains(QStringLiteral("60 to 2975 Hz")));
        QVERIFY(run.out.contains(QStringLiteral("\nSafety check with these bands:\n")));
        QVERIFY(run.out.endsWith(
            QStringLiteral("Not applied (add --apply --yes to load the bands into the unit).\n")));
        QCOMPARE(onUnit({"dump", "-o", folder.path("after.SCE")}).exit, 0);
        QCOMPARE(readAll(folder.path("after.SCE")), readAll(folder.path("before.SCE")));
        QCOMPARE(json(onUnit({"--json", "history"})).value("snapshots").toArray().size(), 0);

        // GEQ to the house curve, in JSON: the frequencies stay where they were.
        run = onUnit({"--json", "autoeq", "--channel", "3", "--from", folder.path("m.txt"),
                      "--mode", "geq", "--target", "house:4,-0.5", "--max-boost", "3"});
        QCOMPARE(run.exit, 0);
        const QJsonObject o = json(run);
        QCOMPARE(o.value("applied").toBool(), false);
        QCOMPARE(o.value("mode").toString(), QStringLiteral("geq"));
        const QJsonArray bands = o.value("bands").toArray();
        QCOMPARE(bands.size(), 31);
        QCOMPARE(bands.at(7).toObject().value("freq").toInt(), 100);
        QVERIFY(bands.at(7).toObject().value("gain_db").toDouble() < -1.0);
        for (const QJsonValue& b : bands)
            QVERIFY(b.toObject().value("gain_db").toDouble() <= 3.0);
        QVERIFY(o.value("residual_db").toDouble() < o.value("flat_residual_db").toDouble());
    }

    // With --apply --yes: a snapshot, then the unit holds the bands.
    void autoEqApplies() {
        writeAll(folder.path("m.txt"), bumpAt100Hz());
        Run run = onUnit(
            {"autoeq", "--channel", "3", "--from", folder.path("m.txt"), "--apply", "--yes"});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exit, 0);
        QVERIFY(run.out.endsWith(
            QStringLiteral("The unit holds the new bands of CH3 (read back and confirmed).\n")));
        const QJsonArray snapshots =
            json(onUnit({"--json", "history"})).value("snapshots").toArray();
        QCOMPARE(snapshots.size(), 1);
        QCOMPARE(snapshots.at(0).toObject().value("reason").toString(), QStringLiteral("auto-eq"));
        QCOMPARE(onUnit({"dump", "-o", folder.path("after.SCE")}).exit, 0);
        ParamImage p;
        p.bytes() = Mirror_From_Scene_File(Scene_Image(readAll(folder.path("after.SCE"))));
        for (int b = 0; b < kBands; ++b) {
            const int gain = p.EQ_Gain_Signed(2, b) - kGainFlat;
            if (b == 7) {
                QCOMPARE(p.EQ_Freq(2, b), uint16_t(100));
                QCOMPARE(gain, -59);
                QCOMPARE(p.EQ_Q(2, b), uint8_t(40));
            } else {
                QCOMPARE(gain, 0);
            }
        }
    }

    // A refused measurement, and one that does not reach the channel's pass band.
    void autoEqRefuses() {
        writeAll(folder.path("bad.txt"), "20 80\n25 80\n31.5 loud\n");
        Run run = onUnit({"autoeq", "--channel", "1", "--from", folder.path("bad.txt")});
        QCOMPARE(run.exit, 5);
        QCOMPARE(run.err, QStringLiteral("tarn80x-cli: %1: Line 3 of the measurement could not "
                                         "be read: each line must hold a frequency (Hz) and a "
                                         "level (dB), separated by spaces, tabs or commas. "
                                         "Nothing was changed.\n")
                              .arg(folder.path("bad.txt")));
        QByteArray low;
        for (int f = 20; f <= 1000; f += 20)
            low += QByteArray::number(f) + " 80\n";
        writeAll(folder.path("low.txt"), low);
        run = onUnit({"autoeq", "--channel", "1", "--from", folder.path("low.txt")});
        QCOMPARE(run.exit, 5);
        QVERIFY(run.err.contains(QStringLiteral("does not cover the channel's pass band")));
    }
};

QTEST_GUILESS_MAIN(TestCliTuningCommands)
#include "test_tuning_commands.moc"
