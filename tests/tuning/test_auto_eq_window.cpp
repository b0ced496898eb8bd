// Automatic equalisation in the window: the dialog shows the fit against the imported measurement
// before anything changes; Apply keeps a history snapshot first and is one undo step.
#include "app/tarn80x.h"
#include "dsp/response.h"
#include "model/param_image.h"
#include "session/edit_session.h"
#include "session/history_recorder.h"
#include "tests/support/file_dialog_answerer.h"
#include "tests/support/fresh_folder.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/window_fixture.h"
#include "tuning/tuning_actions.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QUndoStack>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

namespace {

// 1/48 octave, 80 dB with a +6 dB bump at 100 Hz of Q 4.
QByteArray bumpAt100Hz() {
    QByteArray text("* Freq(Hz) SPL(dB) Phase(degrees)\n");
    for (int i = 0; i <= 478; ++i) {
        const double f = 20.0 * std::pow(1000.0, i / 478.0);
        text += QByteArray::number(f, 'f', 3) + ' ' +
                QByteArray::number(80.0 + Peaking_Db(6.0, 100.0, 4.0, f), 'f', 3) + " 0\n";
    }
    return text;
}

QWidget* topLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    return nullptr;
}

// Frequency, gain (PC encoding) and Q x 10 of channel ch's bands that are not flat.
QVector<QVector<int>> setBands(int ch) {
    QVector<QVector<int>> out;
    for (int b = 0; b < kBands; ++b)
        if (Param_Image.EQ_Gain(ch, b) != kGainFlat)
            out << QVector<int>{Param_Image.EQ_Freq(ch, b), Param_Image.EQ_Gain(ch, b),
                                Param_Image.EQ_Q(ch, b)};
    return out;
}

} // namespace

class TestAutoEqWindow : public QObject {
    Q_OBJECT

    FreshFolder folder;

  private slots:
    void init() {
        QVERIFY(folder.renew());
        History_Recorder().open(folder.path("history"));
    }

    void showsThenAppliesAsOneStep() {
        WindowFixture f;
        QVERIFY(f.connect());
        QVERIFY(History_Recorder().flush());
        f.window().channelBar().switchTo(2);
        // The channel open from 20 Hz to 20 kHz, its bands set to something the fit replaces.
        Param_Image.set_HPF_Off(2, 1);
        Param_Image.set_LPF_Off(2, 1);
        Param_Image.set_EQ_Gain(2, 20, 150);
        const QVector<QVector<int>> before = setBands(2);
        {
            FileDialogAnswerer dialogs;
            ModalAnswerer boxes;
            QFile m(folder.path("m.txt"));
            QVERIFY(m.open(QIODevice::WriteOnly));
            m.write(bumpAt100Hz());
            m.close();
            dialogs.choose(folder.path("m.txt"));
            f.window().menus.importMeasurement->trigger();
            QVERIFY(boxes.seen().empty());
        }
        QStringList captured;
        QVector<QVector<int>> atCapture;
        const auto onCapture = connect(&History_Recorder(), &HistoryRecorder::captured, this,
                                       [&](SnapshotReason reason) {
                                           captured.append(Snapshot_Reason_Key(reason));
                                           atCapture = setBands(2);
                                       });
        QUndoStack* undo = f.window().session().undoStack();
        const int steps = undo->count();
        f.clearFrames();

        QAction* entry = f.window().tuningActions().entries()[4];
        QCOMPARE(entry->text(), QString("自动均衡…"));
        entry->trigger();
        QWidget* form = topLevel("AutoEqForm");
        QVERIFY(form);
        // Shown, not applied: nothing sent, nothing changed, no snapshot.
        const QString summary = form->findChild<QLabel*>("AutoEqSummary")->text();
        QVERIFY2(summary.startsWith(QString("预测残差 0.0")), qPrintable(summary));
        QVERIFY(summary.contains(QString("20–20000 Hz")));
        QVERIFY(form->findChild<QLabel*>("AutoEqFindings")
                    ->text()
                    .startsWith(QString("安全检查（仅为提醒）：\n")));
        QVERIFY(form->findChild<QWidget*>("AutoEqPlot"));
        QVERIFY(f.payloads().empty());
        QCOMPARE(setBands(2), before);
        QVERIFY(captured.isEmpty());

        QTest::mouseClick(form->findChild<QPushButton*>("AutoEqApply"), Qt::LeftButton);
        QVERIFY(!topLevel("AutoEqForm"));
        QVERIFY(History_Recorder().flush());
        disconnect(onCapture);
        QCOMPARE(captured, QStringList{"auto-eq"});
        QCOMPARE(atCapture, before); // the snapshot holds the bands as they were
        const QVector<QVector<int>> after = setBands(2);
        QCOMPARE(after.size(), 1);
        QVERIFY2(after[0][0] >= 96 && after[0][0] <= 104, qPrintable(QString::number(after[0][0])));
        QVERIFY(after[0][1] >= 120 - 62 && after[0][1] <= 120 - 58);
        QVERIFY(after[0][2] >= 36 && after[0][2] <= 44);
        QCOMPARE(undo->count(), steps + 1);
        QVERIFY(!f.payloads().empty());

        f.window().session().undo();
        QCOMPARE(setBands(2), before);
    }

    void needsAMeasurement() {
        WindowFixture f;
        ModalAnswerer boxes;
        f.window().tuningActions().entries()[4]->trigger();
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen()[0].text, QString("请先为该通道导入测量曲线。"));
        QVERIFY(!topLevel("AutoEqForm"));
    }
};

QTEST_MAIN(TestAutoEqWindow)
#include "test_auto_eq_window.moc"
