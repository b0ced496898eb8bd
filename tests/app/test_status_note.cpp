// The note beside the status button: while no unit is connected it says that edits stay on the
// PC; after a scene file is saved it says where the file went, without a box to close.
#include "app/form.h"
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "sim/unit_sim.h"
#include "tests/support/file_dialog_answerer.h"
#include "tests/support/fresh_folder.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/window_fixture.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

class TestStatusNote : public QObject {
    Q_OBJECT

    FreshFolder folder;

  private slots:
    void init() { QVERIFY(folder.renew()); }

    void offlineEditsStayOnThePc_data() {
        QTest::addColumn<int>("english");
        QTest::addColumn<QString>("note");
        QTest::newRow("Chinese") << 0 << "未连接设备：修改只保存在电脑上的副本中。";
        QTest::newRow("English") << 1 << "No unit connected: changes are made to the PC copy only.";
    }
    void offlineEditsStayOnThePc() {
        QFETCH(int, english);
        QFETCH(QString, note);
        WindowFixture f;
        sim::unit().setPlugged(false);
        f.ticks(10);
        f.window().Language_Set(uint8_t(english));
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        QLabel* label = f.ui().Label_Status;
        QVERIFY(label->isVisible());
        QCOMPARE(label->text(), note);
        // Right beside the status button.
        QVERIFY(label->x() - f.ui().BT_CONNECT->geometry().right() <= 12);
        QCOMPARE(label->y(), f.ui().BT_CONNECT->y());

        // Once the unit is there, edits reach it: the note goes, and the read-back bar never
        // shares its place with it.
        sim::unit().setPlugged(true);
        bool sharedPlace = false;
        for (int i = 0; i < 2000 && !Link_Machine().online(); ++i) {
            f.ticks(1);
            sharedPlace |= label->isVisible() && f.ui().TickBar->isVisible();
        }
        QVERIFY(f.connect());
        QVERIFY(!sharedPlace);
        QVERIFY(!label->isVisible());
    }

    void savedFileNamed_data() {
        QTest::addColumn<int>("english");
        QTest::addColumn<int>("entry"); // scene menu entry: 1 save one, 3 save all
        QTest::addColumn<QString>("folderName");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("prefix");
        const QString longFolder = QString(120, QLatin1Char('d'));
        QTest::newRow("one, Chinese") << 0 << 1 << "car"
                                      << "front.SCE"
                                      << "文件已保存到 ";
        QTest::newRow("one, English") << 1 << 1 << "car"
                                      << "front.SCE"
                                      << "File saved to ";
        QTest::newRow("all, English") << 1 << 3 << "car"
                                      << "every.ALL"
                                      << "File saved to ";
        QTest::newRow("one, long folder") << 1 << 1 << longFolder << "front.SCE"
                                          << "File saved to ";
    }
    void savedFileNamed() {
        QFETCH(int, english);
        QFETCH(int, entry);
        QFETCH(QString, folderName);
        QFETCH(QString, fileName);
        QFETCH(QString, prefix);
        WindowFixture f;
        f.window().Language_Set(uint8_t(english));
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        QVERIFY(f.connect());
        QVERIFY(QDir(folder->path()).mkdir(folderName));
        const QString path = folder.path(qPrintable(folderName + QLatin1Char('/') + fileName));

        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path);
        f.window().menus.sceneEntry[size_t(entry)]->trigger();
        QVERIFY(f.finish());
        QVERIFY(QFile::exists(path));
        QVERIFY(boxes.seen().empty()); // said in the status area, not in a box to close

        QLabel* label = f.ui().Label_Status;
        QVERIFY(label->isVisible());
        QCOMPARE(label->toolTip(), prefix + QDir::toNativeSeparators(path));
        QVERIFY(label->text().startsWith(prefix));
        QVERIFY(label->text().endsWith(QLatin1Char('/') + fileName)); // the name is never cut
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <=
                label->contentsRect().width());

        // A unit gone takes the note about its file with it.
        sim::unit().setPlugged(false);
        for (int i = 0; i < 10000 && Link_Machine().statusLevel() != 0; ++i)
            f.ticks(1);
        QCOMPARE(label->toolTip(), english ? QString("No unit connected: changes are made to the "
                                                     "PC copy only.")
                                           : QString("未连接设备：修改只保存在电脑上的副本中。"));
    }
};

QTEST_MAIN(TestStatusNote)
#include "test_status_note.moc"
