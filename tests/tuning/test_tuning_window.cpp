// The tuning workflow on the real window against the simulated unit: measurement overlay, EQ
// filter import and distance alignment, as the option entries reach them.
#include "app/form.h"
#include "app/tarn80x.h"
#include "dsp/measurement.h"
#include "dsp/response_curves.h"
#include "graph/drag_push_button.h"
#include "graph/graph_view.h"
#include "graph/overlay.h"
#include "model/param_image.h"
#include "session/edit_session.h"
#include "sim/unit_sim.h"
#include "tests/support/file_dialog_answerer.h"
#include "tests/support/frames.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/window_fixture.h"

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

namespace {

QByteArray delayFrame(int ch, int steps) {
    const char bytes[] = {0x05, 0x09, char(ch), char(steps & 0xFF), char(steps >> 8)};
    return QByteArray(bytes, sizeof bytes);
}

// Twelve points, 80 dB everywhere but +6 dB at 1 kHz.
const char kMeasurement[] = "* Freq(Hz) SPL(dB) Phase(degrees)\n"
                            "20 80 0\n50 80 0\n100 80 0\n200 80 0\n400 80 0\n800 80 0\n"
                            "1000 86 0\n1250 80 0\n2000 80 0\n5000 80 0\n10000 80 0\n20000 80 0\n";

// Answers the question which of a filter file's channels to import: records what it offered and
// picks `choice` ("" cancels).
class ChannelChooser : public QObject {
  public:
    explicit ChannelChooser(const QString& choice) : choice_(choice) {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) return;
            label = dialog->labelText();
            offered = dialog->comboBoxItems();
            current = dialog->textValue();
            if (choice_.isEmpty()) {
                dialog->reject();
            } else {
                dialog->setTextValue(choice_);
                dialog->accept();
            }
        });
        timer_.start(5);
    }
    QString label, current;
    QStringList offered;

  private:
    QString choice_;
    QTimer timer_;
};

// A parametric-equaliser configuration for a stereo pair: a filter for both, a section for each
// side, and a filter for both after "Channel: all".
const char kChannelSections[] = "Preamp: -6.0 dB\n"
                                "Filter 1: ON PK Fc 40 Hz Gain -2.0 dB Q 1.00\n"
                                "Channel: L\n"
                                "Filter 2: ON PK Fc 125 Hz Gain -4.0 dB Q 2.50\n"
                                "Filter 3: ON PK Fc 2400 Hz Gain 2.5 dB Q 1.80\n"
                                "Channel: R\n"
                                "Filter 4: ON PK Fc 160 Hz Gain -5.5 dB Q 3.00\n"
                                "Filter 5: ON PK Fc 3150 Hz Gain -3.0 dB Q 4.00\n"
                                "Channel: all\n"
                                "Filter 6: ON PK Fc 12000 Hz Gain -1.0 dB Q 0.70\n";

// The bands of channel ch that are not flat: frequency, gain (PC encoding), Q x 10.
QVector<QVector<int>> setBands(int ch) {
    QVector<QVector<int>> out;
    for (int b = 0; b < kBands; ++b)
        if (Param_Image.EQ_Gain(ch, b) != kGainFlat)
            out << QVector<int>{Param_Image.EQ_Freq(ch, b), Param_Image.EQ_Gain(ch, b),
                                Param_Image.EQ_Q(ch, b)};
    return out;
}

QWidget* topLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    return nullptr;
}

} // namespace

class TestTuningWindow : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString file(const char* name, const QByteArray& content) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }

    // Opens the distance dialog, types the distances ("" leaves an entry empty) and applies.
    QWidget* applyDistances(WindowFixture& f, const QStringList& cm) {
        f.window().menus.distanceAlignment->trigger();
        QWidget* form = topLevel("DistanceForm");
        if (!form) return nullptr;
        for (int n = 1; n <= 6; ++n)
            form->findChild<QLineEdit*>(QString("Edit_Distance_%1").arg(n))->setText(cm[n - 1]);
        QTest::mouseClick(form->findChild<QPushButton*>("BT_DISTANCE_APPLY"), Qt::LeftButton);
        return form;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, dir.path());
    }

    // The measurement belongs to the channel edited when it was imported and stays with it; it
    // is drawn, and neither sent nor put into the mirror.
    void measurementStaysWithItsChannel() {
        WindowFixture f;
        QVERIFY(f.connect());
        f.window().channelBar().switchTo(2);
        f.clearFrames();
        const ParamImage::Bytes before = Param_Image.bytes();
        FileDialogAnswerer dialogs;
        ModalAnswerer boxes;
        dialogs.choose(file("m.txt", kMeasurement));
        f.window().menus.importMeasurement->trigger();
        QVERIFY(boxes.seen().empty());
        QCOMPARE(dialogs.seen().size(), size_t(1));
        QCOMPARE(dialogs.seen()[0].title, QString("导入测量曲线"));
        QVERIFY(f.ui().graph->measurement(2).present);
        QVERIFY(!f.ui().graph->measurement(0).present);

        f.window().channelBar().switchTo(0);
        f.window().channelBar().switchTo(2);
        QVERIFY(f.ui().graph->measurement(2).present);
        // The +6 dB at 1 kHz is drawn in light grey above the flat channel's own curve.
        QImage img(f.window().size(), QImage::Format_RGB32);
        f.window().render(&img, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        f.ui().graph->render(&img, f.ui().graph->pos(), QRegion(), {});
        int light = 0;
        const ResponseCurves::Points& curve = f.window().graph().curves().points(2);
        for (int x = curve[70].x(); x <= curve[74].x(); ++x)
            for (int y = 60; y < 138; ++y)
                light += qGray(img.pixel(x, y)) > 140 ? 1 : 0;
        QVERIFY(light > 5);

        QVERIFY(f.payloads().empty());
        QVERIFY(Param_Image.bytes() == before);

        f.window().menus.clearMeasurement->trigger();
        QVERIFY(!f.ui().graph->measurement(2).present);
    }

    void measurementRefused_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("notice");
        QTest::newRow("unreadable line")
            << QByteArray("20 80\n40 80\n60x 80\n")
            << "Line 3 of the measurement could not be read: each line must hold a frequency (Hz) "
               "and a level (dB), separated by spaces, tabs or commas. Nothing was changed.";
        QTest::newRow("decimal commas between space-separated columns")
            << QByteArray("* Frequenz(Hz) Pegel(dB) Phase(Grad)\n20,00 75,00 -45,0\n")
            << "Line 2 of the measurement cannot be read for certain: its columns are separated "
               "by spaces and its numbers hold commas, so a comma may be a decimal comma or a "
               "column separator. Export it with tabs or semicolons between the columns, or with "
               "decimal points. Nothing was changed.";
        QTest::newRow("too few points")
            << QByteArray("Freq,SPL\n20,80\n40,80\n80,80\n160,80\n320,80\n640,80\n1280,80\n"
                          "2560,80\n5120,80\n")
            << "A measurement needs at least 10 points between 20 Hz and 20 kHz; this file has 9. "
               "Nothing was changed.";
    }
    void measurementRefused() {
        QFETCH(QByteArray, content);
        QFETCH(QString, notice);
        WindowFixture f;
        f.window().Language_Set(1); // English
        FileDialogAnswerer dialogs;
        ModalAnswerer boxes;
        dialogs.choose(file("good.txt", kMeasurement));
        dialogs.choose(file("bad.txt", content));
        f.window().menus.importMeasurement->trigger();
        const Measurement kept = f.ui().graph->measurement(0);
        f.window().menus.importMeasurement->trigger();
        QCOMPARE(dialogs.seen()[1].title, QString("Import measurement"));
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen()[0].title, QString("Notice"));
        QCOMPARE(boxes.seen()[0].text, notice);
        QVERIFY(f.ui().graph->measurement(0).present);
        QCOMPARE(f.ui().graph->measurement(0).level, kept.level);
    }

    // Online, CH1 linked to CH2 for the EQ: every band goes out, CH2's copy first as a band edit
    // does, and the page shows the imported bands.
    void eqFiltersImported() {
        WindowFixture f;
        QVERIFY(f.connect());
        linkPair(0, 1, LinkEqOnly);
        f.clearFrames();
        FileDialogAnswerer dialogs;
        ModalAnswerer boxes;
        dialogs.choose(file("eq.txt", "Preamp: -3 dB\n"
                                      "Filter 1: ON PK Fc 63.5 Hz Gain -6 dB Q 4\n"
                                      "Filter 2: ON PK Fc 1000 Hz Gain 14 dB Q 2\n"
                                      "Filter 3: ON LS Fc 80 Hz Gain 3 dB Q 0.7\n"));
        f.window().menus.importEqFilters->trigger();

        const std::vector<QByteArray> w = f.writes();
        QCOMPARE(int(w.size()), 62);
        QCOMPARE(w[10], bandFrame(1, 5, 64, 60, 40));
        QCOMPARE(w[11], bandFrame(0, 5, 64, 60, 40));
        QCOMPARE(w[34], bandFrame(1, 17, 1000, 240, 20));
        QCOMPARE(w[35], bandFrame(0, 17, 1000, 240, 20));
        QCOMPARE(w[0], bandFrame(1, 0, 20, 120, 30));
        QCOMPARE(w[61], bandFrame(0, 30, 20000, 120, 30));
        QCOMPARE(int(sim::unit().u16(sim::off::eqGain(0, 17))), 360);

        QCOMPARE(f.ui().eqGain[5]->text(), QString("-6.0"));
        QCOMPARE(f.ui().eqFreq[5]->text(), QString("64"));
        QCOMPARE(f.ui().eqQ[5]->text(), QString("4.0"));
        QCOMPARE(f.ui().eqGainSlider[17]->value(), 240);
        QCOMPARE(f.ui().bandMarker[17]->pos(), QPoint(631, 83)); // +12 dB on row 88
        QCOMPARE(f.window().graph().curves().points(0)[72].y(),
                 88); // +11.99 dB at 1004.19 Hz (Q 2): floor(88.12)

        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen()[0].text,
                 QString("CH1：已将 2 个峰值滤波器设置到均衡频段，其余频段为平直。\n"
                         "文件中的前级增益 -3.0 dB：未应用。\n"
                         "超出范围已限制：第3行 增益 14.0 dB → 12.0 dB\n"
                         "未应用：第4行 LS（不支持的类型）\n"
                         "与文件峰值滤波器响应的最大差异：2.0 dB，位于 989 Hz。"));
    }

    // The import and the distances are one undo step each; undoing sends the old values back.
    void bulkEditsUndoInOneStep() {
        WindowFixture f;
        QVERIFY(f.connect());
        f.ui().chDelay[2]->setText("1.00");
        QTest::keyClick(f.ui().chDelay[2], Qt::Key_Return);
        QUndoStack* undo = f.window().session().undoStack();
        const int steps = undo->count();
        FileDialogAnswerer dialogs;
        ModalAnswerer boxes;
        dialogs.choose(file("eq.txt", "Filter 1: ON PK Fc 63.5 Hz Gain -6 dB Q 4\n"));
        f.window().menus.importEqFilters->trigger();
        QCOMPARE(undo->count(), steps + 1);
        QWidget* form = applyDistances(f, {"100", "100", "", "100", "100", "169"});
        QVERIFY(form);
        form->close();
        QCOMPARE(undo->count(), steps + 2);

        f.clearFrames();
        f.window().session().undo();
        QCOMPARE(int(Param_Image.CH_Delay(0)), 0);
        QCOMPARE(int(Param_Image.CH_Delay(2)), 100);
        QCOMPARE(f.ui().chDelay[0]->text(), QString("0.00ms"));
        QCOMPARE(f.writes(),
                 (std::vector<QByteArray>{delayFrame(0, 0), delayFrame(1, 0), delayFrame(3, 0),
                                          delayFrame(4, 0), delayFrame(5, 0)}));
        f.clearFrames();
        f.window().session().undo();
        QCOMPARE(int(Param_Image.EQ_Gain(0, 5)), 120);
        QCOMPARE(int(Param_Image.EQ_Freq(0, 5)), 63);
        QCOMPARE(int(Param_Image.EQ_Q(0, 5)), 30);
        QCOMPARE(f.ui().eqGain[5]->text(), QString("0.0"));
        const std::vector<QByteArray> w = f.writes(); // every band, as the import sent them
        QCOMPARE(int(w.size()), 31);
        QCOMPARE(w[0], bandFrame(0, 0, 20, 120, 30));
        QCOMPARE(w[5], bandFrame(0, 5, 63, 120, 30));
        QCOMPARE(w[30], bandFrame(0, 30, 20000, 120, 30));
        QCOMPARE(undo->count(), steps + 2); // both can be redone
    }

    void eqFileRefusedChangesNothing() {
        WindowFixture f;
        QVERIFY(f.connect());
        f.window().Language_Set(1);
        f.ui().eqGainSlider[3]->setValue(150);
        f.clearFrames();
        const ParamImage::Bytes before = Param_Image.bytes();
        FileDialogAnswerer dialogs;
        ModalAnswerer boxes;
        dialogs.choose(file("bad.txt", "Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 2\n"
                                       "Filter 2: ON PK Fc 200 Hz Gain -3 dB Q\n"));
        f.window().menus.importEqFilters->trigger();
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen()[0].text,
                 QString("Line 2 of the filter file could not be read: it is not a known "
                         "filter-settings format. Nothing was changed."));
        QVERIFY(Param_Image.bytes() == before);
        QVERIFY(f.payloads().empty());
        QCOMPARE(f.ui().eqGain[3]->text(), QString("3.0"));
    }

    // CH2 plays the front right speaker: of a file with a section per side, the right one is
    // offered first, and only the chosen side (with what is for both) is set; cancelling sets
    // nothing.
    void eqFiltersFromChannelSections_data() {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QVector<QVector<int>>>("bands");
        QTest::newRow("right, as offered")
            << "R"
            << QVector<QVector<int>>{{40, 100, 10}, {160, 65, 30}, {3150, 90, 40}, {12000, 110, 7}};
        QTest::newRow("left") << "L"
                              << QVector<QVector<int>>{{40, 100, 10},
                                                       {125, 80, 25},
                                                       {2400, 145, 18},
                                                       {12000, 110, 7}};
        QTest::newRow("cancelled") << "" << QVector<QVector<int>>{{1000, 150, 30}};
    }
    void eqFiltersFromChannelSections() {
        QFETCH(QString, choice);
        QFETCH(QVector<QVector<int>>, bands);
        WindowFixture f;
        QVERIFY(f.connect());
        f.window().channelBar().switchTo(1);
        f.ui().eqGainSlider[17]->setValue(150); // +3.0 dB at 1 kHz
        f.clearFrames();
        FileDialogAnswerer dialogs;
        ModalAnswerer boxes;
        ChannelChooser chooser(choice);
        dialogs.choose(file("stereo.txt", kChannelSections));
        f.window().menus.importEqFilters->trigger();

        QCOMPARE(chooser.offered, (QStringList{"R", "L"}));
        QCOMPARE(chooser.current, QString("R"));
        QCOMPARE(chooser.label,
                 QString("该文件含有多个声道的滤波器。请选择导入到 CH2 前右全频 的声道："));
        QCOMPARE(setBands(1), bands);
        if (choice.isEmpty()) {
            QVERIFY(f.payloads().empty());
            QVERIFY(boxes.seen().empty());
            return;
        }
        QCOMPARE(int(f.writes().size()), 31);
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(
            boxes.seen()[0].text.split('\n').mid(0, 3),
            (QStringList{
                "CH2：已将 4 个峰值滤波器设置到均衡频段，其余频段为平直。",
                QString("取自文件中声道 %1 的滤波器（及适用于所有声道的滤波器）。").arg(choice),
                "文件中的前级增益 -6.0 dB：未应用。"}));
    }

    // A measurement program's export holding only a shelf and an empty slot leaves the channel
    // as it was and says why.
    void eqFileWithNothingToImport() {
        WindowFixture f;
        QVERIFY(f.connect());
        f.window().Language_Set(1);
        f.ui().eqGainSlider[3]->setValue(150);
        f.clearFrames();
        const ParamImage::Bytes before = Param_Image.bytes();
        FileDialogAnswerer dialogs;
        ModalAnswerer boxes;
        dialogs.choose(file("sub.txt", "Filter Settings file\n\nEqualiser: Generic\n"
                                       "sub, 1st seat\n"
                                       "Filter  1: ON  LS 12dB  Fc   80.00 Hz  Gain   4.00 dB\n"
                                       "Filter  2: ON  None\n"));
        f.window().menus.importEqFilters->trigger();
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen()[0].text,
                 QString("The file holds no peaking filter that can be set into the EQ bands "
                         "(only PK filters that are ON are imported). Nothing was changed.\n"
                         "Not applied: line 5 LS 12dB (type not supported)"));
        QVERIFY(Param_Image.bytes() == before);
        QVERIFY(f.payloads().empty());
        QCOMPARE(f.ui().eqGain[3]->text(), QString("3.0"));
    }

    void distances_data() {
        QTest::addColumn<QStringList>("cm");
        QTest::addColumn<QVector<int>>("delays");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("equal") << QStringList{"120", "120", "120", "120", "120", "120"}
                               << QVector<int>{0, 0, 0, 0, 0, 0}
                               << QStringList{"0.00ms", "0.00ms", "0.00ms",
                                              "0.00ms", "0.00ms", "0.00ms"};
        // The sub is 100 cm farther than the others: they wait 289.855 -> 290 steps.
        QTest::newRow("one far speaker")
            << QStringList{"90", "110", "150", "150", "120", "250"}
            << QVector<int>{464, 406, 290, 290, 377, 0}
            << QStringList{"4.64ms", "4.06ms", "2.90ms", "2.90ms", "3.77ms", "0.00ms"};
        QTest::newRow("one left out")
            << QStringList{"100", "", "100", "169", "100", "100"}
            << QVector<int>{200, 33, 200, 0, 200, 200}
            << QStringList{"2.00ms", "0.33ms", "2.00ms", "0.00ms", "2.00ms", "2.00ms"};
    }
    // Absolute delays, the Sync group adding nothing, shown and sent while online.
    void distances() {
        QFETCH(QStringList, cm);
        QFETCH(QVector<int>, delays);
        QFETCH(QStringList, shown);
        WindowFixture f;
        QVERIFY(f.connect());
        f.ui().chDelay[1]->setText("0.33");
        QTest::keyClick(f.ui().chDelay[1], Qt::Key_Return);
        QTest::mouseClick(f.ui().chSync[0], Qt::LeftButton);
        QTest::mouseClick(f.ui().chSync[3], Qt::LeftButton);
        f.clearFrames();
        ModalAnswerer boxes;
        QWidget* form = applyDistances(f, cm);
        QVERIFY(form);
        QVERIFY(boxes.seen().empty());
        std::vector<QByteArray> expected;
        for (int ch = 0; ch < 6; ++ch) {
            QCOMPARE(int(Param_Image.CH_Delay(ch)), delays[ch]);
            QCOMPARE(f.ui().chDelay[size_t(ch)]->text(), shown[ch]);
            if (!cm[ch].isEmpty()) expected.push_back(delayFrame(ch, delays[ch]));
        }
        QCOMPARE(f.writes(), expected);
        form->close();
    }

    void distanceSpreadRefused() {
        WindowFixture f;
        QVERIFY(f.connect());
        f.window().Language_Set(1);
        f.clearFrames();
        const ParamImage::Bytes before = Param_Image.bytes();
        ModalAnswerer boxes;
        QWidget* form = applyDistances(f, {"50", "60", "600", "570", "", "300"});
        QVERIFY(form);
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen()[0].text,
                 QString("The distances are too far apart: CH1 FL-FULL, CH2 FR-FULL would need "
                         "more than 15.00 ms (1500 steps) of delay against the farthest, CH3 "
                         "RL-FULL. Nothing was changed."));
        QVERIFY(Param_Image.bytes() == before);
        QVERIFY(f.payloads().empty());
        form->close();
    }

    // What was typed is there again next time, in the language of the moment.
    void distancesRemembered() {
        WindowFixture f;
        ModalAnswerer boxes;
        QWidget* form = applyDistances(f, {"100", "", "2001", "40", "0", "7"});
        QVERIFY(form);
        QCOMPARE(boxes.seen().size(), size_t(1)); // 2001 cm is refused
        QCOMPARE(boxes.seen()[0].text, QString("CH3 后左全频 的距离应为0至2000之间的整数厘米。"));
        form->close();
        f.window().Language_Set(1);
        f.window().menus.distanceAlignment->trigger();
        form = topLevel("DistanceForm");
        QVERIFY(form);
        QStringList texts;
        for (int n = 1; n <= 6; ++n)
            texts << form->findChild<QLineEdit*>(QString("Edit_Distance_%1").arg(n))->text();
        QCOMPARE(texts, (QStringList{"100", "", "2001", "40", "0", "7"}));
        QCOMPARE(form->findChild<QLabel*>("label_Distance_1")->text(), QString("CH1 FL-FULL"));
        QCOMPARE(form->findChild<QPushButton*>("BT_DISTANCE_APPLY")->text(), QString("Apply"));
        form->close();
    }

    void menuEntriesFollowTheLanguage() {
        WindowFixture f;
        const Tarn80X::Menus& m = f.window().menus;
        f.window().Language_Set(1);
        QCOMPARE(m.importMeasurement->text(), QString("Import measurement…"));
        QCOMPARE(m.clearMeasurement->text(), QString("Clear measurement"));
        QCOMPARE(m.importEqFilters->text(), QString("Import EQ filters…"));
        QCOMPARE(m.distanceAlignment->text(), QString("Distance alignment"));
        f.window().Language_Set(0);
        QCOMPARE(m.importEqFilters->text(), QString("导入均衡滤波器"));
    }

    // The pointer over the graph reads its frequency and the edited channel's level there.
    void hoverReadout() {
        WindowFixture f;
        f.ui().eqGainSlider[17]->setValue(180); // +6 dB at 1 kHz
        QMouseEvent move(QEvent::MouseMove, QPoint(636, 120), QPoint(636, 120), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(f.ui().graph, &move);
        QCOMPARE(f.ui().graph->hoverX(), 636);
        // Column 636 reads 20 * 10^(3 * 600 / 1059) = 1001.7 Hz.
        QCOMPARE(f.ui().graph->hoverReadout(636), QString("1.00 kHz  +6.0 dB"));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(f.ui().graph, &leave);
        QCOMPARE(f.ui().graph->hoverX(), -1);
    }
};

QTEST_MAIN(TestTuningWindow)
#include "test_tuning_window.moc"
