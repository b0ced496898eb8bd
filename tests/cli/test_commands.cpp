// tarn80x-cli run as a real process against the simulated unit of its demo build: exit statuses,
// what it prints, and what it leaves in the unit (kept between runs by --demo-memory).
#include "model/param_image.h"
#include "model/scene_image.h"
#include "session/tune_text.h"
#include "tests/session/tune_fixture.h"
#include "tests/support/fresh_folder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <cstring>

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

// The tune fixture as this unit would hold it: its own firmware version, and nothing after byte
// 1099 (the unit keeps bytes 0..1099 only).
QByteArray unitFixture() {
    ParamImage p;
    p.bytes() = test::Tune_Fixture();
    p.set_FW_Version(20230811);
    p.bytes()[4095] = 0;
    return QByteArray(reinterpret_cast<const char*>(p.bytes().data()), kImageSize);
}

// The fixture's tune text, as the command line's dump writes it for a unit holding the fixture
// (applyThenDump shows that the two agree byte for byte).
QByteArray unitFixtureText() {
    const QByteArray fixture = unitFixture();
    ParamImage::Bytes scene{};
    std::copy(fixture.begin(), fixture.end(), scene.begin());
    return Tune_Text_From_Scene(scene).text;
}

} // namespace

class TestCliCommands : public QObject {
    Q_OBJECT

    test::FreshFolder folder;
    QString dataHome;     // XDG_DATA_HOME of the runs; empty: a folder of the test's own
    QString loggingRules; // QT_LOGGING_RULES of the runs; empty: none, as a user runs it

    QProcessEnvironment environment(const QString& locale = QStringLiteral("C.UTF-8")) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // Its own lock folder: a window or another run elsewhere on the machine is not in the way.
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder->path());
        // Its own history, never the user's.
        env.insert(QStringLiteral("XDG_DATA_HOME"),
                   dataHome.isEmpty() ? folder.path("data") : dataHome);
        env.insert(QStringLiteral("LC_ALL"), locale);
        env.remove(QStringLiteral("LANGUAGE"));
        env.remove(QStringLiteral("QT_LOGGING_RULES"));
        if (!loggingRules.isEmpty()) env.insert(QStringLiteral("QT_LOGGING_RULES"), loggingRules);
        return env;
    }

    Run cli(const QStringList& args, const QString& locale = QStringLiteral("C.UTF-8")) {
        QProcess process;
        process.setProcessEnvironment(environment(locale));
        process.setWorkingDirectory(folder->path());
        process.start(QStringLiteral(TARN_CLI_DEMO), args);
        Run run;
        if (!process.waitForFinished(60000)) return run;
        run.exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    // A run on the unit kept in mem.bin, which the first such run starts as `state`.
    Run onUnit(QStringList args, const QString& state = QStringLiteral("tuned")) {
        args.prepend(folder.path("mem.bin"));
        args.prepend(QStringLiteral("--demo-memory"));
        args.prepend(state);
        args.prepend(QStringLiteral("--demo"));
        args.prepend(QStringLiteral("en"));
        args.prepend(QStringLiteral("--lang"));
        return cli(args);
    }

  private slots:
    void init() {
        QVERIFY(folder.renew());
        dataHome.clear();
        loggingRules.clear();
    }

    void usage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("err");
        const QString en = QStringLiteral("en");
        const QString lang = QStringLiteral("--lang");
        QTest::newRow("no command")
            << QStringList{lang, en} << 2 << "tarn80x-cli: no command given (see --help)\n";
        QTest::newRow("unknown") << QStringList{lang, en, "frobnicate"} << 2
                                 << "tarn80x-cli: unknown command: frobnicate (see --help)\n";
        QTest::newRow("apply without file") << QStringList{lang, en, "apply"} << 2
                                            << "tarn80x-cli: apply: wrong arguments (see --help)\n";
        QTest::newRow("bad language")
            << QStringList{lang, "fr", "info"} << 2 << "tarn80x-cli: --lang takes zh or en\n";
        QTest::newRow("delete without yes")
            << QStringList{lang, en, "scene", "delete", "3"} << 2
            << "tarn80x-cli: scene delete cannot be undone: add --yes to confirm\n";
        QTest::newRow("scene 10") << QStringList{lang, en, "scene", "recall", "10"} << 2
                                  << "tarn80x-cli: a scene number is 1 to 9: 10\n";
        QTest::newRow("all file without scene")
            << QStringList{lang, en, "diff", "x.ALL", "unit"} << 2
            << "tarn80x-cli: x.ALL: name the scene as FILE.ALL:N (1 to 9)\n";
        QTest::newRow("dump to an all file")
            << QStringList{lang, en, "dump", "-o", "x.ALL"} << 2
            << "tarn80x-cli: dump writes one scene: name a *.SCE or a tune text, not a *.ALL\n";
        QTest::newRow("backup to a scene file")
            << QStringList{lang, en, "backup", "x.SCE"} << 2
            << "tarn80x-cli: x.SCE: the file name must end in .ALL\n";
        QTest::newRow("bad scene name")
            << QStringList{lang, en, "scene", "save", "2", "--name", "9lives"} << 2
            << "tarn80x-cli: A scene name must start with a letter!\n";
        QTest::newRow("scene name outside Latin-1")
            << QStringList{lang, en, "scene", "save", "7", "--name", "A中文é"} << 2
            << "tarn80x-cli: The unit cannot store the character \"中\" (U+4E2D) of the scene "
               "name: use Latin letters, digits and Western European (Latin-1) characters only!\n";
        QTest::newRow("scene name outside Latin-1, zh")
            << QStringList{lang, "zh", "scene", "save", "7", "--name", "Auto€"} << 2
            << "tarn80x-cli: 场景名称中的字符“€”（U+20AC）无法存入设备：只能使用拉丁字母、数字和"
               "西欧字符（Latin-1）!\n";
        QTest::newRow("scene name of 17")
            << QStringList{lang, en, "scene", "save", "7", "--name", "ABCDEFGHIJKLMNOPQ"} << 2
            << "tarn80x-cli: A scene name has at most 16 characters!\n";
        QTest::newRow("demo clock") << QStringList{lang, en, "--demo-clock", "slow", "info"} << 2
                                    << "tarn80x-cli: --demo-clock takes real or jump: slow\n";
        QTest::newRow("chinese") << QStringList{lang, "zh", "frobnicate"} << 2
                                 << "tarn80x-cli: 未知命令：frobnicate（见 --help）\n";
    }
    void usage() {
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(QString, err);
        const Run run = cli(args);
        QCOMPARE(run.err, err);
        QCOMPARE(run.exit, exit);
        QCOMPARE(run.out, QString());
    }

    // What a refusal names: the file and why; an empty place of an *.ALL; and with --json the
    // error as JSON even when the command line itself cannot be read.
    void refusalsSayWhat() {
        Run run = cli({"--lang", "en", "apply", "nothere.json"});
        QCOMPARE(run.exit, 5);
        QCOMPARE(run.err,
                 QStringLiteral("tarn80x-cli: nothere.json: no such file; nothing was loaded.\n"));
        run = cli({"--lang", "zh", "apply", "nothere.json"});
        QCOMPARE(run.err, QStringLiteral("tarn80x-cli: nothere.json：文件不存在，未加载。\n"));
        writeAll(folder.path("short.SCE"), "abc");
        run = cli({"--lang", "en", "apply", "short.SCE"});
        QCOMPARE(run.exit, 5);
        QVERIFY2(run.err.startsWith(QStringLiteral("tarn80x-cli: short.SCE: ")),
                 qPrintable(run.err));

        QCOMPARE(cli({"--lang", "en", "backup", "all.ALL"}).exit, 0); // places 7..9 are empty
        run = cli({"--lang", "en", "diff", "all.ALL:8", "all.ALL:1"});
        QCOMPARE(run.exit, 5);
        QCOMPARE(run.err,
                 QStringLiteral("tarn80x-cli: all.ALL:8: scene 8 is empty in this file\n"));

        run = cli({"--json", "--lang", "en", "--bogus", "list"});
        QCOMPARE(run.exit, 2);
        QCOMPARE(run.err, QString());
        const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(json.value("exit").toInt(), 2);
        QCOMPARE(json.value("error").toString(), QStringLiteral("Unknown option 'bogus'."));
    }

    void languageFollowsTheLocale() {
        QCOMPARE(cli({"frobnicate"}, QStringLiteral("zh_CN.UTF-8")).err,
                 QStringLiteral("tarn80x-cli: 未知命令：frobnicate（见 --help）\n"));
        QCOMPARE(cli({"frobnicate"}).err,
                 QStringLiteral("tarn80x-cli: unknown command: frobnicate (see --help)\n"));
    }

    void helpAndVersion() {
        const Run version = cli({"--version"});
        QCOMPARE(version.exit, 0);
        QCOMPARE(version.out, QStringLiteral("tarn80x-cli 1.0.0\n"));
        const Run help = cli({"--lang", "en", "--help"});
        QCOMPARE(help.exit, 0);
        for (const char* line :
             {"  diff A B ", "  4   a transfer failed, or the unit does not hold",
              "  --demo-memory FILE "})
            QVERIFY2(help.out.contains(QLatin1String(line)), line);
    }

    void noUnit_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("err");
        const QString absent =
            QStringLiteral("tarn80x-cli: No DSP unit on the USB bus (1a86:e010). "
                           "Check the cable and that the unit is powered.\n");
        const QString locked = QStringLiteral(
            "tarn80x-cli: The DSP unit is on the USB bus, but this user is not allowed to open "
            "it.\n\nReason: Failed to open a device with path 'sim:1a86:e010': Permission "
            "denied\n\nFix: install the tarn80x package, which brings the device access rule; or "
            "copy 70-tarn80x.rules to /etc/udev/rules.d/, run\nsudo udevadm control "
            "--reload-rules\nthen unplug the unit and plug it in again.\n\nRunning this program "
            "as root is not the fix.\n");
        for (const char* command : {"info", "dump", "scenes", "backup"}) {
            QTest::addRow("absent %s", command) << "absent" << command << absent;
            QTest::addRow("locked %s", command) << "locked" << command << locked;
        }
    }
    void noUnit() {
        QFETCH(QString, state);
        QFETCH(QString, command);
        QFETCH(QString, err);
        QStringList args{"--lang", "en", "--demo", state, command};
        if (command == QLatin1String("backup")) args << folder.path("x.ALL");
        const Run run = cli(args);
        QCOMPARE(run.err, err);
        QCOMPARE(run.exit, 3);
        QVERIFY(!QFile::exists(folder.path("x.ALL")));
    }

    void listSaysTheFix() {
        Run run = cli({"--lang", "en", "list"});
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.out, QStringLiteral("sim:1a86:e010  opened\n"));
        run = cli({"--lang", "en", "--demo", "locked", "list"});
        QCOMPARE(run.exit, 3);
        QVERIFY(run.out.startsWith(
            QStringLiteral("sim:1a86:e010  found but locked\n\nThe DSP unit is on the USB bus, "
                           "but this user is not allowed to open it.\n")));
        QVERIFY(run.out.contains(QStringLiteral("Fix: install the tarn80x package")));
        // No unit is the answer to the question, on standard output where the list goes.
        run = cli({"--lang", "en", "--demo", "absent", "list"});
        QCOMPARE(run.exit, 3);
        QCOMPARE(run.out, QStringLiteral("No DSP unit on the USB bus (1a86:e010).\n"));
        QCOMPARE(run.err, QString());
        run = cli({"--lang", "en", "--demo", "absent", "--json", "list"});
        QCOMPARE(run.exit, 3);
        const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(json.value("units").toArray().size(), 0);
        QCOMPARE(json.value("error").toString(),
                 QStringLiteral("No DSP unit on the USB bus (1a86:e010)."));
    }

    // Another program (here the test itself) holds the unit's lock: refused, and told who.
    void unitHeldByAnotherProgram() {
        QLockFile held(folder->path() + QStringLiteral("/tarn80x-sim_1a86_e010.lock"));
        QVERIFY(held.tryLock(0));
        const Run run = cli({"--lang", "en", "info"});
        QCOMPARE(run.exit, 3);
        QVERIFY2(run.err.startsWith(QStringLiteral(
                     "tarn80x-cli: The DSP unit is in use by another program: cli_commands (PID ")),
                 qPrintable(run.err));
        QVERIFY(run.err.contains(QStringLiteral("Only one program at a time")));
        QVERIFY(cli({"--lang", "en", "list"})
                    .out.startsWith(QStringLiteral(
                        "sim:1a86:e010  in use by another program\n\nThe DSP unit is in use by "
                        "another program: cli_commands (PID ")));
        held.unlock();
        QCOMPARE(cli({"--lang", "en", "info"}).exit, 0);
    }

    void info() {
        const Run run = cli({"--lang", "en", "info"});
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.out, QStringLiteral("Name: TQ_AUD48\n"
                                         "Firmware version: 20230811\n"
                                         "Scenes:\n"
                                         "  1  Daily             used\n"
                                         "  2  Bass_Boost        used\n"
                                         "  3  Vocal             used\n"
                                         "  4  Scene4            used\n"
                                         "  5  Scene5            used\n"
                                         "  6  Scene6            used\n"
                                         "  7  Mode7             empty\n"
                                         "  8  Mode8             empty\n"
                                         "  9  Mode9             empty\n"));
        const Run json = cli({"--lang", "en", "--json", "info"});
        QCOMPARE(json.exit, 0);
        const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
        QCOMPARE(o.value("command").toString(), QStringLiteral("info"));
        QCOMPARE(o.value("exit").toInt(), 0);
        QCOMPARE(o.value("firmware_version").toInteger(), 20230811);
        QCOMPARE(o.value("scenes").toArray().at(1).toObject().value("name").toString(),
                 QStringLiteral("Bass_Boost"));
        QCOMPARE(o.value("scenes").toArray().at(8).toObject().value("used").toBool(), false);
    }

    // What apply puts in is what dump takes out, byte for byte, as a scene file and as text.
    void applyThenDump() {
        const QByteArray fixture = unitFixture();
        writeAll(folder.path("in.SCE"), fixture);
        Run run = onUnit({"apply", folder.path("in.SCE")}, QStringLiteral("factory"));
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.out, QStringLiteral("The unit holds %1 (read back and confirmed).\n")
                              .arg(folder.path("in.SCE")));
        run = onUnit({"dump", "-o", folder.path("out.SCE")});
        QCOMPARE(run.exit, 0);
        QCOMPARE(readAll(folder.path("out.SCE")), fixture);

        // The text on standard output, applied again, leaves the same bytes.
        run = onUnit({"dump"});
        QCOMPARE(run.exit, 0);
        QVERIFY(run.out.contains(QStringLiteral("\"format\": \"tarn80x-tune\"")));
        writeAll(folder.path("tune.json"), run.out.toUtf8());
        // The first apply above ran on the unit's real pace; this one need not.
        QCOMPARE(onUnit({"--demo-clock", "jump", "apply", folder.path("tune.json")}).exit, 0);
        QCOMPARE(onUnit({"dump", "-o", folder.path("again.SCE")}).exit, 0);
        QCOMPARE(readAll(folder.path("again.SCE")), fixture);
    }

    void diffTexts_data() {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("out");
        QTest::newRow("en")
            << "en"
            << "CH2 level: -4.5 dB → 0.0 dB\n"
               "CH3 EQ band 10: +6.0 dB at 170 Hz, Q 3.0 → 0.0 dB at 160 Hz, Q 3.0\n";
        QTest::newRow("zh") << "zh"
                            << "CH2 音量：-4.5 dB → 0.0 dB\n"
                               "CH3 均衡第 10 段：170 Hz 处 +6.0 dB，Q 3.0 → 160 Hz 处 0.0 dB，Q "
                               "3.0\n";
    }
    void diffTexts() {
        QFETCH(QString, lang);
        QFETCH(QString, out);
        writeAll(folder.path("a.SCE"), unitFixture());
        // The same tune as text, two fields edited by hand.
        Run run = cli({"--lang", "en", "--demo", "factory", "diff", folder.path("a.SCE"),
                       folder.path("a.SCE")});
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.out, QStringLiteral("No differences.\n"));
        QByteArray text = unitFixtureText();
        text.replace("\"level_db\": -4.5", "\"level_db\": 0");
        const qsizetype band = text.indexOf("\"10\": {", text.indexOf("\"CH3\""));
        QVERIFY(band > 0);
        text.replace(text.indexOf("\"freq_hz\": 170", band), 14, "\"freq_hz\": 160");
        text.replace(text.indexOf("\"gain_db\": 6", band), 12, "\"gain_db\": 0");
        writeAll(folder.path("b.json"), text);
        run = cli({"--lang", lang, "diff", folder.path("a.SCE"), folder.path("b.json")});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, out);
        QCOMPARE(run.exit, 1);
    }

    // A scene of a backup against the unit and a file: the unit is read once.
    void diffAgainstTheUnitAndAScene() {
        QCOMPARE(onUnit({"backup", folder.path("all.ALL")}).exit, 0);
        QCOMPARE(readAll(folder.path("all.ALL")).size(), 36864);
        Run run = onUnit({"diff", folder.path("all.ALL") + ":2", "unit"});
        QCOMPARE(run.exit, 1);
        QVERIFY(run.out.startsWith(QStringLiteral("CH5 EQ band 2: +6.0 dB at 25 Hz, Q 0.8 → ")));
        writeAll(folder.path("u.SCE"), QByteArray());
        QCOMPARE(onUnit({"dump", "-o", folder.path("u.SCE")}).exit, 0);
        run = onUnit({"diff", "unit", folder.path("u.SCE")});
        QCOMPARE(run.out, QStringLiteral("No differences.\n"));
        QCOMPARE(run.exit, 0);
    }

    // An empty place would bring an erased tune: refused by name, nothing sent. Place 9 reports
    // no name (so the unit lists it as empty) but holds settings a recall would bring in: the
    // live settings show whether a recall went out.
    void recallOfAnEmptyPlaceIsRefused() {
        QCOMPARE(onUnit({"dump", "-o", folder.path("before.SCE")}).exit, 0);
        QByteArray memory = readAll(folder.path("mem.bin"));
        constexpr int kRecord = kImageSize + 16 + 1; // image, name, used
        QCOMPARE(memory.size(), kImageSize + 9 * kRecord);
        const int place9 = kImageSize + 8 * kRecord;
        QByteArray image = memory.left(kImageSize);
        image[off::Total_Vol] = char(0x41); // 321
        image[off::Total_Vol + 1] = char(0x01);
        memory.replace(place9, kImageSize, image);
        memory.replace(place9 + kImageSize, 16, QByteArray(16, char(0xFF)));
        memory[place9 + kImageSize + 16] = 1;
        writeAll(folder.path("mem.bin"), memory);
        QVERIFY(onUnit({"scenes"}).out.contains(QStringLiteral("  9  Mode9             empty\n")));

        Run run = onUnit({"scene", "recall", "9"});
        QCOMPARE(run.err, QStringLiteral("tarn80x-cli: Scene place 9 is empty: there is nothing to "
                                         "recall. Nothing was sent!\n"));
        QCOMPARE(run.out, QString());
        QCOMPARE(run.exit, 2);
        QCOMPARE(onUnit({"dump", "-o", folder.path("after.SCE")}).exit, 0);
        QCOMPARE(readAll(folder.path("after.SCE")), readAll(folder.path("before.SCE")));
        QCOMPARE(onUnit({"history"}).out, QStringLiteral("The history holds no snapshots.\n"));

        run =
            cli({"--lang", "zh", "--demo-memory", folder.path("mem.bin"), "scene", "recall", "9"});
        QCOMPARE(run.err,
                 QStringLiteral("tarn80x-cli: 场景 9 是空的，没有可调用的场景，未发送任何命令!\n"));
    }

    // A gain the unit would read back as 0.0 dB never reaches it: the text naming it is refused,
    // and a scene file of an earlier version loads limited, with what was limited said.
    void gainsBeyondTheUnitsRange() {
        QByteArray text = unitFixtureText();
        const qsizetype band = text.indexOf("\"11\": {", text.indexOf("\"CH3\""));
        QVERIFY(band > 0);
        text.replace(text.indexOf("\"gain_db\": 0", band), 12, "\"gain_db\": 20");
        writeAll(folder.path("loud.json"), text);
        Run run = onUnit({"apply", folder.path("loud.json")});
        QCOMPARE(run.err, QStringLiteral("tarn80x-cli: ") + folder.path("loud.json") +
                              QStringLiteral(": The tune text was refused; nothing was "
                                             "loaded: CH3 EQ band 11 gain: 20 dB is out of range "
                                             "(-12.0 to +12.0)\n"));
        QCOMPARE(run.exit, 5);

        QByteArray old = unitFixture();
        const int at = off::EQ_Gain + 2 * (2 * kBands + 10); // CH3 band 11
        old[at] = char(440 & 0xFF);                          // +20.0 dB, as typed before
        old[at + 1] = char(440 >> 8);
        writeAll(folder.path("old.SCE"), old);
        run = onUnit({"apply", folder.path("old.SCE")});
        QCOMPARE(run.err, QStringLiteral("tarn80x-cli: 1 EQ gain(s) in the file beyond -12.0 to "
                                         "+12.0 dB were limited to that range (the unit would read "
                                         "them back as 0.0 dB): CH3 EQ band 11 +20.0 dB → +12.0 "
                                         "dB.\n"));
        QCOMPARE(run.exit, 0);
        QCOMPARE(onUnit({"dump", "-o", folder.path("held.SCE")}).exit, 0);
        const QByteArray held = readAll(folder.path("held.SCE"));
        QCOMPARE(held.mid(at, 2), QByteArray("\x68\x01", 2)); // 360: +12.0 dB
    }

    // A value out of range in a hand-edited text is refused, naming the field; nothing is sent.
    void refusedHandEdit() {
        QByteArray text = unitFixtureText();
        text.replace("\"level_db\": -4.5", "\"level_db\": 3");
        writeAll(folder.path("bad.json"), text);
        QCOMPARE(onUnit({"dump", "-o", folder.path("before.SCE")}).exit, 0);
        Run run = onUnit({"apply", folder.path("bad.json")});
        QCOMPARE(run.err, "tarn80x-cli: " + folder.path("bad.json") +
                              QStringLiteral(": The tune text was refused; nothing was "
                                             "loaded: CH2 level: 3 dB is out of range (-60.0 to "
                                             "0.0)\n"));
        QCOMPARE(run.exit, 5);
        QCOMPARE(onUnit({"dump", "-o", folder.path("after.SCE")}).exit, 0);
        QCOMPARE(readAll(folder.path("after.SCE")), readAll(folder.path("before.SCE")));

        writeAll(folder.path("short.SCE"), QByteArray(100, '\0'));
        run = onUnit({"apply", folder.path("short.SCE")});
        QCOMPARE(run.err, "tarn80x-cli: " + folder.path("short.SCE") +
                              QStringLiteral(": Wrong scene file size (must be 4096 "
                                             "bytes); nothing was loaded!\n"));
        QCOMPARE(run.exit, 5);
    }

    // A file is what its content says, whatever its name: a scene of firmware 20240507 starts
    // with '{' (0x0134D87B), a tune text may start with a byte-order mark. Text from a file
    // reaches the terminal with its control characters escaped.
    void filesByContentAndQuotedSafely() {
        QByteArray scene = unitFixture();
        scene.replace(0, 4, QByteArray("\x7B\xD8\x34\x01", 4));
        writeAll(folder.path("a.SCE"), scene);
        writeAll(folder.path("scene-copy"), scene);
        Run run = cli({"--lang", "en", "diff", folder.path("scene-copy"), folder.path("a.SCE")});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, QStringLiteral("No differences.\n"));
        QCOMPARE(run.exit, 0);

        ParamImage::Bytes image{};
        std::memcpy(image.data(), scene.constData(), image.size());
        writeAll(folder.path("tune-copy"), "\xEF\xBB\xBF" + Tune_Text_From_Scene(image).text);
        run = cli({"--lang", "en", "diff", folder.path("tune-copy"), folder.path("a.SCE")});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, QStringLiteral("No differences.\n"));

        writeAll(folder.path("esc.json"),
                 "{\"format\": \"tarn80x-tune\", \"version\": 1, \"\\u001b]0;owned\\u0007\": 1}");
        run = cli({"--lang", "en", "diff", folder.path("esc.json"), folder.path("a.SCE")});
        QCOMPARE(run.err, "tarn80x-cli: " + folder.path("esc.json") +
                              ": The tune text was refused; nothing was loaded: tune file: "
                              "unknown field \"\\x1B]0;owned\\x07\"\n");
        QCOMPARE(run.exit, 5);
    }

    // The unit pulled out in the middle of the load: the transfer fails, exit 4.
    void unplugDuringApply() {
        writeAll(folder.path("in.SCE"), unitFixture());
        // The handshake writes 65 frames (the name, 55 blocks, 9 scene names); the load 55.
        const Run run = cli({"--lang", "en", "--demo-clock", "jump", "--demo-unplug-after", "90",
                             "apply", folder.path("in.SCE")});
        QCOMPARE(run.err, QStringLiteral("tarn80x-cli: Connection error! The load was stopped; "
                                         "the unit may hold part of it.\n"));
        QCOMPARE(run.exit, 4);
    }

    void storedScenes() {
        Run run = onUnit({"scene", "save", "7", "--name", "Track"});
        QCOMPARE(run.out, QStringLiteral("Scene saved!\n"));
        QCOMPARE(run.exit, 0);
        run = onUnit({"scenes"});
        QVERIFY2(run.out.contains(QStringLiteral("  7  Track             used\n")),
                 qPrintable(run.out));
        run = onUnit({"scene", "delete", "7", "--yes"});
        QCOMPARE(run.out, QStringLiteral("Scene 7 deleted.\n"));
        // An erased place answers no name: the window's fallback shows.
        QVERIFY(onUnit({"scenes"}).out.contains(QStringLiteral("  7  Mode7             empty\n")));

        // A recall changes the live settings; the read-back after it shows them, and they are
        // those of the place recalled, not another's.
        QCOMPARE(onUnit({"dump", "-o", folder.path("live.SCE")}).exit, 0);
        QCOMPARE(onUnit({"backup", folder.path("stored.ALL")}).exit, 0);
        run = onUnit({"scene", "recall", "2"});
        QCOMPARE(run.exit, 0);
        QCOMPARE(onUnit({"diff", folder.path("live.SCE"), "unit"}).exit, 1);
        run = onUnit({"diff", folder.path("stored.ALL") + QStringLiteral(":2"), "unit"});
        QCOMPARE(run.out, QStringLiteral("No differences.\n"));
        QCOMPARE(run.exit, 0);
        QCOMPARE(onUnit({"diff", folder.path("stored.ALL") + QStringLiteral(":3"), "unit"}).exit,
                 1);
    }

    void backupAndRestore() {
        QCOMPARE(onUnit({"backup", folder.path("all.ALL")}).exit, 0);
        const QByteArray backup = readAll(folder.path("all.ALL"));
        QCOMPARE(onUnit({"scene", "delete", "1", "--yes"}).exit, 0);
        Run run = onUnit({"restore", folder.path("all.ALL"), "--yes"});
        QCOMPARE(run.out, QStringLiteral("The nine scenes were written; the unit has been read "
                                         "back.\n"));
        QCOMPARE(run.exit, 0);
        QCOMPARE(onUnit({"backup", folder.path("again.ALL")}).exit, 0);
        QCOMPARE(readAll(folder.path("again.ALL")), backup);

        writeAll(folder.path("bad.ALL"), QByteArray(4096, '\0'));
        run = onUnit({"restore", folder.path("bad.ALL"), "--yes"});
        QCOMPARE(run.exit, 5);
    }

    void firmware() {
        QByteArray image("MVO");
        image.append(QByteArray(61, '\x5A'));
        writeAll(folder.path("fw.bin"), image);
        Run run = cli({"--lang", "en", "firmware", folder.path("fw.bin")});
        QCOMPARE(run.exit, 2);
        run = cli({"--lang", "en", "firmware", folder.path("fw.bin"), "--yes"});
        QCOMPARE(run.out, QStringLiteral("Upgrade file sent. Please wait while the unit installs "
                                         "it (5 s)!\nThe unit is back, firmware version "
                                         "20230811.\n"));
        QCOMPARE(run.exit, 0);
        writeAll(folder.path("bad.bin"), QByteArray("XYZ1234"));
        run = cli({"--lang", "en", "firmware", folder.path("bad.bin"), "--yes"});
        QCOMPARE(run.err, "tarn80x-cli: " + folder.path("bad.bin") +
                              QStringLiteral(": The firmware does not match this unit!\n"));
        QCOMPARE(run.exit, 5);
    }

    // Ctrl+C: a read stops with nothing written; a write says it cannot stop, and finishes.
    void interrupt() {
        // The handshake writes 65 frames and the download 495: Ctrl+C comes in the middle of it.
        Run run =
            cli({"--lang", "en", "--demo-interrupt-after", "300", "backup", folder.path("x.ALL")});
        QCOMPARE(run.exit, 130);
        QCOMPARE(run.err, QStringLiteral("tarn80x-cli: Stopped (Ctrl+C); no file was written.\n"));
        QVERIFY(!QFile::exists(folder.path("x.ALL")));

        QCOMPARE(onUnit({"backup", folder.path("all.ALL")}).exit, 0);
        // The nine stored scenes are read for the history first (495 frames after the 65 of the
        // handshake); Ctrl+C comes in the middle of the 504 frames of the write after them.
        run = cli({"--lang", "en", "--demo-interrupt-after", "810", "restore",
                   folder.path("all.ALL"), "--yes"});
        QCOMPARE(run.err, QStringLiteral("Transfer in progress, cannot be stopped\n"));
        QCOMPARE(run.exit, 0);
        const QDir snapshots(folder.path("data/tarn80x/history/snapshots"));
        QCOMPARE(snapshots.entryList({"*.json"}, QDir::Files).size(), 1);
    }

    // Ctrl+C once the load has begun: the unit holds the file, and the run says that it changed
    // the unit without confirming it, never that nothing was written.
    void interruptAfterTheWrite() {
        writeAll(folder.path("in.SCE"), unitFixture());
        QProcess applying;
        applying.setProcessEnvironment(environment());
        applying.start(QStringLiteral(TARN_CLI_DEMO),
                       {"--lang", "en", "--demo", "factory", "--demo-memory",
                        folder.path("mem.bin"), "apply", folder.path("in.SCE")});
        QVERIFY(applying.waitForStarted());
        // The snapshot is kept just before the load; from then on Ctrl+C again and again, through
        // the load (which goes on) into the read-back that confirms it.
        const QDir snapshots(folder.path("data/tarn80x/history/snapshots"));
        QTRY_VERIFY_WITH_TIMEOUT(!snapshots.entryList({"*.json"}, QDir::Files).isEmpty(), 20000);
        const QDeadlineTimer bound(30000);
        while (!applying.waitForFinished(100) && !bound.hasExpired())
            ::kill(static_cast<pid_t>(applying.processId()), SIGINT);
        QCOMPARE(applying.state(), QProcess::NotRunning);
        const QString err = QString::fromUtf8(applying.readAllStandardError());
        QVERIFY2(err.endsWith(QStringLiteral("tarn80x-cli: Stopped (Ctrl+C) after the write began: "
                                             "the unit was changed and not confirmed.\n")),
                 qPrintable(err));
        QCOMPARE(applying.exitCode(), 6);
        QCOMPARE(onUnit({"dump", "-o", folder.path("out.SCE")}).exit, 0);
        QCOMPARE(readAll(folder.path("out.SCE")), unitFixture());
    }

    // Every act that overwrites the unit keeps it in the history first; a snapshot compares with
    // another or with the unit, is saved as a file, and restores the unit byte for byte.
    void history() {
        QCOMPARE(onUnit({"dump", "-o", folder.path("tuned.SCE")}).exit, 0);
        Run run = onUnit({"history"});
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.out, QStringLiteral("The history holds no snapshots.\n")); // a read keeps none

        writeAll(folder.path("fixture.SCE"), unitFixture());
        QCOMPARE(onUnit({"--demo-clock", "jump", "apply", folder.path("fixture.SCE")}).exit,
                 0); // 1: the tuned unit
        QByteArray text = unitFixtureText();
        text.replace("\"level_db\": -4.5", "\"level_db\": 0");
        writeAll(folder.path("edited.json"), text);
        QCOMPARE(onUnit({"--demo-clock", "jump", "apply", folder.path("edited.json")}).exit,
                 0);                                                 // snapshot 2: the fixture
        QCOMPARE(onUnit({"scene", "delete", "3", "--yes"}).exit, 0); // 3: edited, scene 3 kept
        QCOMPARE(onUnit({"scene", "recall", "2"}).exit, 0);          // 4: edited

        run = onUnit({"history", "diff", "2", "3"});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exit, 1);
        QCOMPARE(run.out, QStringLiteral("CH2 level: -4.5 dB → 0.0 dB\n"));
        QCOMPARE(onUnit({"history", "show", "2", "-o", folder.path("two.SCE")}).exit, 0);
        QCOMPARE(readAll(folder.path("two.SCE")), unitFixture());
        run = onUnit({"history", "show", "3"});
        QCOMPARE(run.exit, 0);
        QVERIFY(run.out.startsWith(QStringLiteral("Snapshot #3 ")));
        QVERIFY2(run.out.contains(QStringLiteral("\nUnit: TQ_AUD48 (no serial, firmware 20230811)\n"
                                                 "Reason: Before scene delete\n"
                                                 "Changes: 1\n"
                                                 "Pinned: no\n"
                                                 "Firmware version: 20230811\n")),
                 qPrintable(run.out));
        // The settings follow, as the tune text gives them.
        QVERIFY2(run.out.contains(QStringLiteral("Stored scenes kept: 3\nSettings:\n{\n")),
                 qPrintable(run.out));
        QVERIFY(run.out.contains(QStringLiteral("\"level_db\": 0")));
        QVERIFY(run.out.endsWith(QStringLiteral("}\n")));

        run = onUnit({"--json", "history"});
        QCOMPARE(run.exit, 0);
        const QJsonArray list =
            QJsonDocument::fromJson(run.out.toUtf8()).object().value("snapshots").toArray();
        QStringList reasons;
        QList<int> changes;
        for (const QJsonValue& v : list) {
            reasons << v.toObject().value("reason").toString();
            changes << v.toObject().value("changes").toInt();
        }
        // Newest first, as the window lists them.
        QCOMPARE(reasons, (QStringList{"recall", "scene-delete", "scene-load", "scene-load"}));
        QCOMPARE(changes[0], 0);
        QCOMPARE(changes[1], 1);
        QVERIFY(changes[2] > 0);
        QVERIFY(list.at(3).toObject().value("changes").isNull()); // the unit's first
        QCOMPARE(list.at(1).toObject().value("stored_scenes").toArray(), QJsonArray{3});
        QCOMPARE(list.at(0).toObject().value("unit").toString(),
                 QStringLiteral("TQ_AUD48 (no serial, firmware 20230811)"));

        // The text list: one heading per unit with what --unit takes, newest first under it.
        run = onUnit({"history"});
        QCOMPARE(run.exit, 0);
        const QStringList lines = run.out.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0], QStringLiteral("TQ_AUD48 (no serial, firmware 20230811) "
                                          "(--unit name:TQ_AUD48/fw:20230811):"));
        QVERIFY2(lines[1].startsWith(QStringLiteral("  #4 ")) &&
                     lines[1].endsWith(QStringLiteral("  Before scene recall  0")),
                 qPrintable(lines[1]));
        QVERIFY2(lines[4].startsWith(QStringLiteral("  #1 ")) &&
                     lines[4].endsWith(QStringLiteral("  —")),
                 qPrintable(lines[4]));
        QCOMPARE(onUnit({"history", "--unit", "name:TQ_AUD48/fw:20230811"}).out, run.out);
        QCOMPARE(onUnit({"history", "--unit", "name:TQ_AUD48/fw:1"}).out,
                 QStringLiteral("The history holds no snapshots.\n"));

        // Restored: the unit holds the snapshot again, and what it held before is snapshot 5.
        run = onUnit({"history", "restore", "1"});
        QCOMPARE(run.exit, 2);
        QCOMPARE(run.err,
                 QStringLiteral(
                     "tarn80x-cli: history restore cannot be undone: add --yes to confirm\n"));
        run = onUnit({"history", "restore", "1", "--yes"});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exit, 0);
        QVERIFY(run.out.startsWith(QStringLiteral("The unit holds snapshot #1 ")));
        QCOMPARE(onUnit({"dump", "-o", folder.path("back.SCE")}).exit, 0);
        QCOMPARE(readAll(folder.path("back.SCE")), readAll(folder.path("tuned.SCE")));
        run = onUnit({"history", "diff", "1", "unit"});
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.out, QStringLiteral("No differences.\n"));
        run = onUnit({"--json", "history"});
        const QJsonArray after =
            QJsonDocument::fromJson(run.out.toUtf8()).object().value("snapshots").toArray();
        QCOMPARE(after.size(), 5);
        QCOMPARE(after.at(0).toObject().value("reason").toString(), QStringLiteral("restore"));

        run = onUnit({"history", "show", "9"});
        QCOMPARE(run.exit, 2);
        QCOMPARE(run.err, QStringLiteral("tarn80x-cli: no snapshot 9 in the history\n"));
    }

    // A history that cannot be written does not stop the act; the user is told.
    void historyNotWritable() {
        writeAll(folder.path("not-a-folder"), "x");
        dataHome = folder.path("not-a-folder");
        writeAll(folder.path("a.SCE"), unitFixture());
        const Run run = onUnit({"--demo-clock", "jump", "apply", folder.path("a.SCE")});
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.err, QStringLiteral("tarn80x-cli: No snapshot of the unit could be kept (no "
                                         "permission to write the history folder). The act goes "
                                         "on, but this state is not in the history.\n"));
        QCOMPARE(onUnit({"dump", "-o", folder.path("out.SCE")}).exit, 0);
        QCOMPARE(readAll(folder.path("out.SCE")), unitFixture());
    }

    // A failed save says what failed and nothing else; the developer's diagnostic line comes only
    // when asked for.
    void diagnosticLinesOnlyWhenAsked() {
        const QString target = folder.path("gone/out.SCE");
        Run run = onUnit({"dump", "-o", target});
        QCOMPARE(run.exit, 5);
        QVERIFY2(!run.err.contains(QStringLiteral("[ ")), qPrintable(run.err));
        QVERIFY2(run.err.startsWith(QStringLiteral("tarn80x-cli: ")), qPrintable(run.err));
        QCOMPARE(run.err.count(QLatin1Char('\n')), 1);

        loggingRules = QStringLiteral("tarn.diag.debug=true");
        run = onUnit({"dump", "-o", target});
        QCOMPARE(run.exit, 5);
        QVERIFY2(run.err.contains(QStringLiteral("[ file_io.cpp : ")), qPrintable(run.err));
    }

    // The unit reads back something other than what was loaded (a failing memory cell): exit 4,
    // with the differences.
    void applyNotHeld() {
        writeAll(folder.path("in.SCE"), unitFixture());
        const Run run = cli({"--lang", "en", "--demo", "stuck", "--demo-clock", "jump", "apply",
                             folder.path("in.SCE")});
        QCOMPARE(run.err, QStringLiteral("tarn80x-cli: After the load the unit does not hold the "
                                         "file's settings:\nCH6 mute: off → on\n"));
        QCOMPARE(run.exit, 4);
        QCOMPARE(run.out, QString());
    }

    // A lock left by a program that died holding the unit (killed mid-transfer) is taken over.
    void lockOfADeadProgramTakenOver() {
        QCOMPARE(onUnit({"backup", folder.path("all.ALL")}).exit, 0);
        QProcess holder;
        holder.setProcessEnvironment(environment());
        // On the unit's real pace a restore holds the unit for seconds.
        holder.start(QStringLiteral(TARN_CLI_DEMO), {"--lang", "en", "--demo-clock", "real",
                                                     "restore", folder.path("all.ALL"), "--yes"});
        const QString lock = folder->path() + QStringLiteral("/tarn80x-sim_1a86_e010.lock");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lock), 10000);
        QCOMPARE(cli({"--lang", "en", "info"}).exit, 3); // held by a live program
        ::kill(static_cast<pid_t>(holder.processId()), SIGKILL);
        QVERIFY(holder.waitForFinished(10000));
        QVERIFY(QFile::exists(lock)); // left behind

        const Run run = cli({"--lang", "en", "info"});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exit, 0);
        QVERIFY(run.out.startsWith(QStringLiteral("Name: TQ_AUD48\n")));
        QVERIFY(!QFile::exists(lock)); // and let go at its end
    }
};

QTEST_GUILESS_MAIN(TestCliCommands)
#include "test_commands.moc"
