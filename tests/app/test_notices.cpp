// What the window says after an act: a restore tells what happened, the note about a saved file
// goes when the next act replaces it, and a refusal or a failure is marked as one by its icon.
#include "app/form.h"
#include "app/tarn80x.h"
#include "session/history_recorder.h"
#include "sim/unit_sim.h"
#include "tests/support/file_dialog_answerer.h"
#include "tests/support/fresh_folder.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/window_fixture.h"
#include "views/scene_actions_history_window.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

namespace {

enum Entry { SaveOne = 1, LoadOne = 2 };

void trigger(WindowFixture& f, Entry e) {
    f.window().menus.sceneEntry[size_t(e)]->trigger();
    f.finish();
}

HistoryWindow* openHistory(WindowFixture& f) {
    f.window().menus.history->trigger();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* h = qobject_cast<HistoryWindow*>(w); h && h->isVisible()) return h;
    return nullptr;
}

} // namespace

class TestNotices : public QObject {
    Q_OBJECT

    FreshFolder folder;

  private slots:
    void init() { QVERIFY(folder.renew()); }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<HistoryWindow*>(w)) w->close();
    }

    // The read-back after a restore runs on its own; the notice does not say it waits for OK.
    void restoreSaysWhatHappened() {
        WindowFixture f;
        QVERIFY(f.connect());
        QVERIFY(History_Recorder().flush());
        f.ui().Slider_Total_Bar->setValue(77);
        HistoryWindow* h = openHistory(f);
        QVERIFY(h);
        h->findChild<QTableWidget*>("HistoryList")->selectRow(0);
        ModalAnswerer boxes(QMessageBox::Yes);
        QTest::mouseClick(h->findChild<QPushButton*>("HistoryRestore"), Qt::LeftButton);
        QVERIFY(f.finish());
        QCOMPARE(int(boxes.seen().size()), 2); // the question, then what happened
        QCOMPARE(boxes.seen()[1].text, QString("快照已恢复到机器，机器的设置将自动读回。"));
        QCOMPARE(boxes.seen()[1].icon, QMessageBox::Information);
    }

    // "File saved to ..." stays only until the next act: a load, or an edit.
    void savedNoteGoesWithTheNextAct_data() {
        QTest::addColumn<bool>("load");
        QTest::newRow("scene file load") << true;
        QTest::newRow("edit") << false;
    }
    void savedNoteGoesWithTheNextAct() {
        QFETCH(bool, load);
        WindowFixture f;
        f.window().Language_Set(1);
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        QVERIFY(f.connect());
        const QString path = folder.path("front.SCE");
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path);
        trigger(f, SaveOne);
        QLabel* label = f.ui().Label_Status;
        QCOMPARE(label->toolTip(), "File saved to " + path);
        QVERIFY(label->isVisible());

        if (load) {
            dialogs.choose(path);
            trigger(f, LoadOne);
            QVERIFY(f.connect()); // the read-back after the load
        } else {
            f.ui().Slider_Total_Bar->setValue(500);
        }
        QCOMPARE(label->toolTip(), QString());
        QVERIFY(!label->isVisible());
    }

    // A refused request has the warning icon, a failed act the critical one.
    void failuresAreMarked_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::newRow("load of a short file refused")
            << int(LoadOne) << "short.SCE"
            << "场景文件大小不正确（应为 4096 字节），未加载！" << int(QMessageBox::Warning);
        QTest::newRow("save into a folder that is gone")
            << int(SaveOne) << "gone/front.SCE"
            << "文件保存失败（No such file or directory），未保存任何内容，原有文件未改变！"
            << int(QMessageBox::Critical);
    }
    void failuresAreMarked() {
        QFETCH(int, entry);
        QFETCH(QString, file);
        QFETCH(QString, text);
        QFETCH(int, icon);
        WindowFixture f;
        QVERIFY(f.connect());
        QFile shortFile(folder.path("short.SCE"));
        QVERIFY(shortFile.open(QIODevice::WriteOnly));
        shortFile.write(QByteArray(100, '\0'));
        shortFile.close();
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(folder.path(qPrintable(file)));
        trigger(f, Entry(entry));
        QCOMPARE(int(boxes.seen().size()), 1);
        QCOMPARE(boxes.seen()[0].text, text);
        QCOMPARE(int(boxes.seen()[0].icon), icon);
    }
};

QTEST_MAIN(TestNotices)
#include "test_notices.moc"
