// One gain range, -12.0..+12.0 dB, on every way a band gain enters the program: the typed entry,
// the tune text, a scene file, a filter-file import and a marker drag. Beyond it the unit's
// read-back would make the band flat, so each path refuses, or limits and says so.
#include "app/form.h"
#include "app/tarn80x.h"
#include "graph/drag_push_button.h"
#include "graph/graph_view.h"
#include "model/param_image.h"
#include "model/scene_image.h"
#include "session/filter_file.h"
#include "session/tune_text.h"
#include "session/unit_files.h"
#include "tests/session/tune_fixture.h"
#include "tests/support/fresh_folder.h"
#include "tests/support/input.h"
#include "tests/support/window_fixture.h"

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSlider>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

namespace {

enum Path { Typed, Text, SceneFile, Import, Drag };

// Band 10 of CH1 (160 Hz) in every path.
constexpr int kBand = 9;
constexpr int kBefore = 150; // +3.0 dB, where the window's band stands before the edit
constexpr int kRefused = -1;

QJsonObject withGain(QJsonObject root, double db) {
    QJsonObject channels = root.value("channels").toObject();
    QJsonObject ch1 = channels.value("CH1").toObject();
    QJsonObject eq = ch1.value("eq").toObject();
    QJsonObject band = eq.value("10").toObject();
    band.insert("gain_db", db);
    eq.insert("10", band);
    ch1.insert("eq", eq);
    channels.insert("CH1", ch1);
    root.insert("channels", channels);
    return root;
}

int fileGainAt(const QByteArray& scene) {
    const int at = off::EQ_Gain + 2 * kBand;
    return uint8_t(scene[at]) | (uint8_t(scene[at + 1]) << 8);
}

} // namespace

class TestGainPaths : public QObject {
    Q_OBJECT

    FreshFolder folder;

  private slots:
    void init() { QVERIFY(folder.renew()); }
    void oneRange_data();
    void oneRange();
};

void TestGainPaths::oneRange_data() {
    QTest::addColumn<int>("path");
    QTest::addColumn<QString>("db");   // as typed, written in the text or in the import file
    QTest::addColumn<int>("given");    // a scene file's gain (file encoding); a drag's pointer row
    QTest::addColumn<int>("stored");   // PC encoding, or kRefused
    QTest::addColumn<QString>("told"); // English; empty: nothing said

    const QString typedRange = "the gain is -12.0 to +12.0 dB.";
    QTest::newRow("typed +12.0") << int(Typed) << "12.0" << 0 << 240 << "";
    QTest::newRow("typed -12.0") << int(Typed) << "-12.0" << 0 << 0 << "";
    QTest::newRow("typed +12.1") << int(Typed) << "12.1" << 0 << kRefused
                                 << "Band 10 gain: \"12.1\" not taken; " + typedRange;
    QTest::newRow("typed -12.1") << int(Typed) << "-12.1" << 0 << kRefused
                                 << "Band 10 gain: \"-12.1\" not taken; " + typedRange;
    QTest::newRow("typed +20") << int(Typed) << "20" << 0 << kRefused
                               << "Band 10 gain: \"20\" not taken; " + typedRange;
    QTest::newRow("typed -20") << int(Typed) << "-20" << 0 << kRefused
                               << "Band 10 gain: \"-20\" not taken; " + typedRange;

    QTest::newRow("text +12.0") << int(Text) << "12.0" << 0 << 240 << "";
    QTest::newRow("text -12.0") << int(Text) << "-12.0" << 0 << 0 << "";
    QTest::newRow("text +12.1") << int(Text) << "12.1" << 0 << kRefused
                                << "CH1 EQ band 10 gain: 12.1 dB is out of range (-12.0 to +12.0)";
    QTest::newRow("text -12.1") << int(Text) << "-12.1" << 0 << kRefused
                                << "CH1 EQ band 10 gain: -12.1 dB is out of range (-12.0 to +12.0)";
    QTest::newRow("text +20") << int(Text) << "20" << 0 << kRefused
                              << "CH1 EQ band 10 gain: 20 dB is out of range (-12.0 to +12.0)";
    QTest::newRow("text -20") << int(Text) << "-20" << 0 << kRefused
                              << "CH1 EQ band 10 gain: -20 dB is out of range (-12.0 to +12.0)";

    // A scene file holds the gain + 240; an earlier version wrote typed gains down to 40 and up to
    // 440. They load limited, and the user is told which.
    const QString limited = "1 EQ gain(s) in the file beyond -12.0 to +12.0 dB were limited to "
                            "that range (the unit would read them back as 0.0 dB): CH1 EQ band 10 ";
    QTest::newRow("scene file +12.0") << int(SceneFile) << "12.0" << 360 << 240 << "";
    QTest::newRow("scene file -12.0") << int(SceneFile) << "-12.0" << 120 << 0 << "";
    QTest::newRow("scene file +12.1")
        << int(SceneFile) << "12.1" << 361 << 240 << limited + "+12.1 dB → +12.0 dB.";
    QTest::newRow("scene file -12.1")
        << int(SceneFile) << "-12.1" << 119 << 0 << limited + "-12.1 dB → -12.0 dB.";
    QTest::newRow("scene file +20")
        << int(SceneFile) << "20" << 440 << 240 << limited + "+20.0 dB → +12.0 dB.";
    QTest::newRow("scene file -20")
        << int(SceneFile) << "-20" << 40 << 0 << limited + "-20.0 dB → -12.0 dB.";
    QTest::newRow("scene file +20.1, no file of ours")
        << int(SceneFile) << "20.1" << 441 << kRefused
        << "A value in the file is out of range: CH1, band 10, EQ gain (EQ_Gain) is 441, allowed "
           "120..360. Nothing was loaded or sent!";

    // The import limits each filter and lists the change (from, to) in its summary.
    QTest::newRow("import +12.0") << int(Import) << "12.0" << 0 << 240 << "";
    QTest::newRow("import -12.0") << int(Import) << "-12.0" << 0 << 0 << "";
    QTest::newRow("import +12.1") << int(Import) << "12.1" << 0 << 240 << "12.1 -> 12";
    QTest::newRow("import -12.1") << int(Import) << "-12.1" << 0 << 0 << "-12.1 -> -12";
    QTest::newRow("import +20") << int(Import) << "20" << 0 << 240 << "20 -> 12";
    QTest::newRow("import -20") << int(Import) << "-20" << 0 << 0 << "-20 -> -12";

    // The plot's 0 dB row is 144, 4.7 rows per dB; the nearest rows to +-12.0 dB read +-11.9.
    QTest::newRow("drag +12.0") << int(Drag) << "12.0" << 88 << 239 << "";
    QTest::newRow("drag -12.0") << int(Drag) << "-12.0" << 200 << 1 << "";
    QTest::newRow("drag +12.1") << int(Drag) << "12.1" << 87 << 240 << "";
    QTest::newRow("drag -12.1") << int(Drag) << "-12.1" << 201 << 0 << "";
    QTest::newRow("drag +20") << int(Drag) << "20" << 50 << 240 << "";
    QTest::newRow("drag -20") << int(Drag) << "-20" << 238 << 0 << "";
}

void TestGainPaths::oneRange() {
    QFETCH(int, path);
    QFETCH(QString, db);
    QFETCH(int, given);
    QFETCH(int, stored);
    QFETCH(QString, told);

    switch (Path(path)) {
    case Typed: {
        WindowFixture f;
        f.window().Language_Set(1);
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        QVERIFY(f.connect());
        Form& ui = f.ui();
        ui.eqGainSlider[kBand]->setValue(kBefore);
        f.clearFrames();
        typeAndReturn(ui.eqGain[kBand], db);
        QLabel* note = ui.Label_Status;
        if (stored == kRefused) {
            QCOMPARE(int(Param_Image.EQ_Gain_Signed(0, kBand)), kBefore);
            QCOMPARE(ui.eqGain[kBand]->text(), QString("3.0"));
            QVERIFY(f.writes().empty());
            QVERIFY(note->isVisible());
            QCOMPARE(note->toolTip(), told);
            // The next edit takes the note away.
            typeAndReturn(ui.eqGain[kBand], "1.0");
            QVERIFY(!note->isVisible());
        } else {
            QCOMPARE(int(Param_Image.EQ_Gain_Signed(0, kBand)), stored);
            QCOMPARE(f.writes().size(), size_t(1));
            QVERIFY(!note->isVisible());
        }
        break;
    }
    case Text: {
        const TuneTextResult fixture = Tune_Text_From_Scene(Tune_Fixture());
        QVERIFY(fixture.error.isEmpty());
        const QJsonObject root = QJsonDocument::fromJson(fixture.text).object();
        const QByteArray text = QJsonDocument(withGain(root, db.toDouble())).toJson();
        const TuneSceneResult read = Scene_From_Tune_Text(text);
        if (stored == kRefused) {
            QVERIFY(!read.scene);
            QCOMPARE(read.error.en, told);
        } else {
            QVERIFY(read.scene);
            ParamImage p;
            p.bytes() = *read.scene;
            QCOMPARE(int(p.EQ_Gain(0, kBand)), stored + 120); // the text's image is a scene file's
        }
        break;
    }
    case SceneFile: {
        ParamImage p;
        p.bytes() = Tune_Fixture();
        p.set_EQ_Gain(0, kBand, uint16_t(given));
        const QString name = folder.path("band.SCE");
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(p.bytes().data()), kImageSize);
        file.close();
        const FileLoad load = Load_Scene_File(name, false);
        if (stored == kRefused) {
            QVERIFY(!load.ok());
            QCOMPARE(load.refusal.en, told);
        } else {
            QVERIFY(load.ok());
            QCOMPARE(fileGainAt(load.data), stored + 120);
            QCOMPARE(load.notice.en, told);
        }
        break;
    }
    case Import: {
        const QByteArray text = "Filter 1: ON PK Fc 160 Hz Gain " + db.toLatin1() + " dB Q 3.00\n";
        const FilterFile read = Read_Filter_File(text);
        QVERIFY(read.ok);
        const FilterFit fit = Fit_Filters(read);
        QCOMPARE(int(fit.bands[kBand].freq), 160);
        QCOMPARE(int(fit.bands[kBand].gain), stored);
        QStringList clamps;
        for (const FilterClamp& c : fit.clamps)
            clamps << QString("%1 -> %2").arg(c.from).arg(c.to);
        QCOMPARE(clamps.join("; "), told);
        break;
    }
    case Drag: {
        WindowFixture f;
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        QVERIFY(f.connect());
        f.window().graph().placeBandMarker(kBand);
        DragPushButton* m = f.ui().bandMarker[kBand];
        const QPoint start = m->pos() + QPoint(5, 5);
        QTest::mousePress(m, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        const QPoint cursor(start.x(), given);
        const QPoint local = cursor - m->pos();
        QMouseEvent move(QEvent::MouseMove, local, m->mapToGlobal(local), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m, &move);
        QTest::mouseRelease(m, Qt::LeftButton, Qt::NoModifier, cursor - m->pos());
        QCOMPARE(int(Param_Image.EQ_Gain_Signed(0, kBand)), stored);
        QVERIFY(!f.ui().Label_Status->isVisible());
        break;
    }
    }
}

QTEST_MAIN(TestGainPaths)
#include "test_gain_paths.moc"
