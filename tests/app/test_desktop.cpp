// The window as a desktop application: what it says about a unit it cannot open, the settings it
// keeps between starts, and Qt's own texts in the chosen language.
#include "app/form.h"
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/channel_state.h"
#include "sim/unit_sim.h"
#include "tests/support/file_dialog_answerer.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/window_fixture.h"
#include "views/scene_actions.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

namespace {

// The next message box: records its button texts and default button, then presses Return on it.
struct ReturnPresser {
    QString yes, no, defaultButton;
    bool seen = false;
    QTimer timer;
    ReturnPresser() {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || seen) return;
            seen = true;
            yes = box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes)->text() : QString();
            no = box->button(QMessageBox::No) ? box->button(QMessageBox::No)->text() : QString();
            defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
            QTest::keyClick(box, Qt::Key_Return);
        });
        timer.start();
    }
};

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT

    QTemporaryDir settingsDir_;

  private slots:
    void initTestCase() {
        QVERIFY(settingsDir_.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
    }

    // The command line holds the unit: the window says who, once, keeps looking, and connects by
    // itself once the unit is free.
    void unitInUseByTheCommandLine() {
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        QLockFile held(runtime.path() + "/tarn80x-sim_1a86_e010.lock");
        QVERIFY(held.tryLock(0));
        {
            WindowFixture f;
            f.window().Language_Set(1);
            Link_Machine().setExclusive(true);
            ModalAnswerer boxes;
            f.ticks(1200); // two more looks at the bus
            QCOMPARE(boxes.seen().size(), size_t(1));
            const QString holder =
                QString("app_desktop (PID %1)").arg(QCoreApplication::applicationPid());
            QCOMPARE(boxes.seen()[0].text,
                     "The DSP unit is in use by another program: " + holder +
                         ".\n\nOnly one program at a time (the tuning window or the command line "
                         "tarn80x-cli) can hold the unit. Wait for it to finish or close it; the "
                         "window connects by itself once the unit is free.");
            QCOMPARE(f.ui().BT_CONNECT->toolTip(),
                     "The unit is in use by another program: " + holder);
            QVERIFY(sim::unit().frames().empty()); // not opened, nothing sent

            held.unlock();
            QVERIFY(f.connect());
            QCOMPARE(boxes.seen().size(), size_t(1));
            // Now the window holds it: another program is refused.
            QLockFile other(runtime.path() + "/tarn80x-sim_1a86_e010.lock");
            QVERIFY(!other.tryLock(0));
            Link_Machine().setExclusive(false);
        }
        qputenv("XDG_RUNTIME_DIR", saved);
    }

    void lockedUnitToldOncePerAttachment_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QString>("lockedTip");
        QTest::addColumn<QString>("searchingTip");
        const QString reason =
            "Failed to open a device with path 'sim:1a86:e010': Permission denied";
        QTest::newRow("Chinese")
            << false
            << "已找到调音设备，但当前用户没有权限打开它。\n\n原因：" + reason +
                   "\n\n解决办法：安装本程序的软件包（tarn80x），它带有设备权限规则；或者把 "
                   "70-tarn80x.rules 复制到 /etc/udev/rules.d/，执行\nsudo udevadm control "
                   "--reload-rules\n然后拔下设备再重新插上。\n\n以 root "
                   "身份运行本程序并不是解决办法。"
            << "已找到调音设备，但无法打开：" + reason << "正在查找调音设备（USB 1a86:e010）";
        QTest::newRow("English")
            << true
            << "The DSP unit is on the USB bus, but this user is not allowed to open it.\n\n"
               "Reason: " +
                   reason +
                   "\n\nFix: install the tarn80x package, which brings the device access rule; or "
                   "copy 70-tarn80x.rules to /etc/udev/rules.d/, run\nsudo udevadm control "
                   "--reload-rules\nthen unplug the unit and plug it in again.\n\nRunning this "
                   "program as root is not the fix."
            << "Unit found but could not be opened: " + reason
            << "Looking for the DSP unit (USB 1a86:e010)";
    }
    void lockedUnitToldOncePerAttachment() {
        QFETCH(bool, english);
        QFETCH(QString, notice);
        QFETCH(QString, lockedTip);
        QFETCH(QString, searchingTip);
        WindowFixture f;
        f.window().Language_Set(english ? 1 : 0);
        sim::unit().setOpenable(false);
        ModalAnswerer boxes;
        f.ticks(300);
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen()[0].title, QString(english ? "Notice" : "提示"));
        QCOMPARE(boxes.seen()[0].text, notice);
        QCOMPARE(f.ui().BT_CONNECT->toolTip(), lockedTip);
        QCOMPARE(f.ui().BT_CONNECT->text(), QString(english ? "Offline" : "已断开"));

        // Unplugged: looking again, quietly. Plugged in again, still locked: a new attachment.
        sim::unit().setPlugged(false);
        f.ticks(50);
        QCOMPARE(f.ui().BT_CONNECT->toolTip(), searchingTip);
        QCOMPARE(boxes.seen().size(), size_t(1));
        sim::unit().setPlugged(true);
        f.ticks(50);
        QCOMPARE(boxes.seen().size(), size_t(2));

        // Access granted and re-plugged: the unit is read and nothing more is said.
        sim::unit().setOpenable(true);
        QVERIFY(f.connect());
        QCOMPARE(boxes.seen().size(), size_t(2));
        QCOMPARE(
            f.ui().BT_CONNECT->toolTip(),
            QString(english ? "Unit opened (USB 1a86:e010)" : "已打开调音设备（USB 1a86:e010）"));
    }

    void absentUnitStaysQuiet() {
        WindowFixture f;
        sim::unit().setPlugged(false);
        ModalAnswerer boxes;
        f.ticks(300);
        QVERIFY(boxes.seen().empty());
        QCOMPARE(f.ui().BT_CONNECT->text(), QString("已断开"));
        QCOMPARE(f.ui().BT_CONNECT->toolTip(), QString("正在查找调音设备（USB 1a86:e010）"));
        f.window().Language_Set(1); // the tooltip follows the language
        QCOMPARE(f.ui().BT_CONNECT->toolTip(), QString("Looking for the DSP unit (USB 1a86:e010)"));
    }

    // The task bar's icon: every drawn size is in the resources.
    void windowIcon() {
        WindowFixture f;
        QCOMPARE(f.window().windowIcon().availableSizes(),
                 (QList<QSize>{
                     {16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}}));
    }

    // A first start is changed by the user and closed; the second start finds it as it was left.
    void settingsSurviveARestart() {
        QTemporaryDir files;
        ModalAnswerer boxes;
        {
            WindowFixture f;
            QVERIFY(f.connect());
            f.window().menus.english->trigger();
            f.window().menus.unitCm->trigger();
            f.window().move(123, 77);
            FileDialogAnswerer dialogs;
            dialogs.choose(files.filePath("one.SCE"));
            f.window().sceneActions().saveScene(); // save one scene: remembers its folder
            QCOMPARE(dialogs.seen().size(), size_t(1));
        } // closed: written
        const QStringList keys =
            QSettings(QSettings::IniFormat, QSettings::UserScope, "tarn80x", "tarn80x").allKeys();
        QCOMPARE(keys, (QStringList{"delay/unit", "folders/scene", "language", "window/maximized",
                                    "window/position", "window/size"}));

        // What a new process starts from.
        Pc.Lang_EN = 0;
        Chan.Delay_Unit = 0;
        WindowFixture second(true);
        Form& ui = second.ui();
        QCOMPARE(ui.BT_OPTION->text(), QString("Option"));
        QVERIFY(second.window().menus.english->isChecked());
        QVERIFY(!second.window().menus.chinese->isChecked());
        QCOMPARE(ui.BT_Unit->text(), QString("cm"));
        QCOMPARE(ui.chDelay[0]->text(), QString("0cm"));
        QCOMPARE(second.window().pos(), QPoint(123, 77));

        QVERIFY(second.connect());
        FileDialogAnswerer dialogs;
        dialogs.cancel();
        dialogs.cancel();
        second.window().sceneActions().saveScene(); // a scene file: where the last one went
        second.window()
            .sceneActions()
            .upgradeFirmware(); // firmware: none chosen yet, so the home folder
        QCOMPARE(dialogs.seen().size(), size_t(2));
        QCOMPARE(dialogs.seen()[0].directory, files.path());
        QCOMPARE(dialogs.seen()[0].title, QString("Save single scene file"));
        QCOMPARE(dialogs.seen()[1].directory, QDir::homePath());
        QVERIFY(boxes.seen().empty());
    }

    void qtButtonsFollowTheLanguage_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("then");
        QTest::addColumn<QString>("yes");
        QTest::addColumn<QString>("no");
        QTest::newRow("start, Chinese") << 0 << 0 << "是(&Y)"
                                        << "否(&N)";
        QTest::newRow("to English") << 0 << 1 << "&Yes"
                                    << "&No";
        QTest::newRow("back to Chinese") << 1 << 0 << "是(&Y)"
                                         << "否(&N)";
    }
    // The factory-reset question, with Qt's own button texts; Return answers No.
    void qtButtonsFollowTheLanguage() {
        QFETCH(int, first);
        QFETCH(int, then);
        QFETCH(QString, yes);
        QFETCH(QString, no);
        WindowFixture f;
        QVERIFY(f.connect());
        (first ? f.window().menus.english : f.window().menus.chinese)->trigger();
        (then ? f.window().menus.english : f.window().menus.chinese)->trigger();
        QCOMPARE(f.window().menus.english->isChecked(), then == 1);
        QCOMPARE(f.window().menus.chinese->isChecked(), then == 0);
        f.clearFrames();
        ReturnPresser presser;
        f.window().menus.systemReset->trigger();
        QVERIFY(presser.seen);
        QCOMPARE(presser.yes, yes);
        QCOMPARE(presser.no, no);
        QCOMPARE(presser.defaultButton, no);
        QVERIFY(f.writes().empty()); // Return did not reset the unit
        f.window().menus.chinese->trigger();
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
