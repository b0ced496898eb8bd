// Where the window comes back: a place remembered at another desktop scale is moved so that the
// whole window is on the screen. Runs on one 1920 x 1080 screen at 150 % (1280 x 720 for Qt).
#include "app/desktop.h"
#include "tests/support/window_fixture.h"
#include "widgets/file_dialog.h"

#include <QFile>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

class TestWindowPlace : public QObject {
    Q_OBJECT

  private slots:
    void keptOnTheScreen_data() {
        QTest::addColumn<QPoint>("saved");
        QTest::addColumn<QSize>("savedSize");
        QTest::addColumn<QPoint>("placed");
        // Saved at 100 % on the same screen: 1260 x 686 at (500, 300) ended at 1760 x 986.
        QTest::newRow("past the right and bottom")
            << QPoint(500, 300) << QSize(1260, 686) << QPoint(20, 34);
        QTest::newRow("past the bottom only")
            << QPoint(10, 200) << QSize(1260, 686) << QPoint(10, 34);
        // A size larger than the screen now is cut to it first.
        QTest::newRow("large window") << QPoint(100, 50) << QSize(1800, 1000) << QPoint(0, 0);
        QTest::newRow("already on the screen")
            << QPoint(10, 20) << QSize(1260, 686) << QPoint(10, 20);
    }
    void keptOnTheScreen() {
        QFETCH(QPoint, saved);
        QFETCH(QSize, savedSize);
        QFETCH(QPoint, placed);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(screen, QRect(0, 0, 1280, 720));
        { WindowFixture clean; } // forgets earlier settings
        {
            QSettings s = App_Settings();
            s.setValue("window/position", saved);
            s.setValue("window/size", savedSize);
        }
        WindowFixture f(true);
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        QCOMPARE(f.window().pos(), placed);
        QVERIFY2(screen.contains(f.window().geometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                        .arg(f.window().x())
                                                                        .arg(f.window().y())
                                                                        .arg(f.window().width())
                                                                        .arg(f.window().height())));
    }
};

int main(int argc, char* argv[]) {
    // One screen of 1920 x 1080 pixels at 150 %.
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return 2;
    file.write(R"({"screens": [{"name": "wide", "x": 0, "y": 0, "width": 1920, "height": 1080,
                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    qputenv("QT_SCALE_FACTOR", "1.5");
    qputenv("QT_FONT_DPI", "96");
    App_Set_Scaling_Attributes();
    QApplication app(argc, argv);
    TestWindowPlace test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_window_place.moc"
