// Typed values in every numeric entry of the main window, in front of the simulated unit: after
// Return (and after a step key or wheel notch that follows) the entry shows the value the unit now
// holds in the entry's own format, every other widget that shows the value follows, and the unit
// hears each change once.
#include "app/form.h"
#include "app/tarn80x.h"
#include "dsp/response_curves.h"
#include "graph/drag_push_button.h"
#include "graph/graph_view.h"
#include "model/param_image.h"
#include "tests/support/input.h"
#include "tests/support/window_fixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

namespace {

enum Family { EqGain, EqFreq, EqQ, HpfFreq, LpfFreq, ChVol, TotalVol, DelayMs, DelayCm };

constexpr int kNoStep = -1;
constexpr int kNone = -1;

// The EQ rows edit band 10 of CH2 (160 Hz, Q 3.0), which stands at +9.8 dB before the entry; the
// crossover rows CH2's filters (off, 24 dB/oct Butterworth); the volume rows CH3 and the master;
// the delay rows CH4.
constexpr int kEqCh = 1;
constexpr int kBand = 9;
constexpr int kVolCh = 2;
constexpr int kDelayCh = 3;

struct Target {
    QLineEdit* entry = nullptr;
    QSlider* slider = nullptr;
    QWidget* marker = nullptr;
};

Target targetOf(Form& ui, Family family) {
    switch (family) {
    case EqGain:
        return {ui.eqGain[kBand], ui.eqGainSlider[kBand], ui.bandMarker[kBand]};
    case EqFreq:
        return {ui.eqFreq[kBand], nullptr, ui.bandMarker[kBand]};
    case EqQ:
        return {ui.eqQ[kBand], nullptr, nullptr};
    case HpfFreq:
        return {ui.Edit_HPF_Freq, nullptr, ui.hpfMarker};
    case LpfFreq:
        return {ui.Edit_LPF_Freq, nullptr, ui.lpfMarker};
    case ChVol:
        return {ui.chVol[kVolCh], ui.chVolSlider[kVolCh], nullptr};
    case TotalVol:
        return {ui.Edit_Total, ui.Slider_Total_Bar, nullptr};
    case DelayMs:
    case DelayCm:
        return {ui.chDelay[kDelayCh], nullptr, nullptr};
    }
    return {};
}

int mirrorValue(Family family) {
    switch (family) {
    case EqGain:
        return Param_Image.EQ_Gain_Signed(kEqCh, kBand);
    case EqFreq:
        return Param_Image.EQ_Freq(kEqCh, kBand);
    case EqQ:
        return Param_Image.EQ_Q(kEqCh, kBand);
    case HpfFreq:
        return Param_Image.HPF_Freq(kEqCh);
    case LpfFreq:
        return Param_Image.LPF_Freq(kEqCh);
    case ChVol:
        return Param_Image.CH_Vol(kVolCh);
    case TotalVol:
        return Param_Image.Total_Vol();
    case DelayMs:
    case DelayCm:
        return Param_Image.CH_Delay(kDelayCh);
    }
    return kNone;
}

QStringList hexList(const std::vector<QByteArray>& frames) {
    QStringList out;
    for (const QByteArray& f : frames)
        out << QString::fromLatin1(f.toHex(' '));
    return out;
}

} // namespace

class TestTypedEntries : public QObject {
    Q_OBJECT

  private slots:
    void typedValueShownAsStored_data();
    void typedValueShownAsStored();
};

void TestTypedEntries::typedValueShownAsStored_data() {
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("typed"); // then Return
    QTest::addColumn<int>("step");      // an Input given after the Return, or kNoStep
    QTest::addColumn<bool>("onSlider"); // the step goes to the value's slider, not the entry
    QTest::addColumn<int>("stored");    // in the mirror at the end
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("slider"); // kNone: the value has no slider
    QTest::addColumn<int>("marker"); // top edge of a band marker for a gain, left edge for a
                                     // frequency; kNone: no marker
    QTest::addColumn<QStringList>("frames");

    // EQ gain: 05 08 01 09, 160 Hz, the gain + 120, Q 3.0.
    QTest::newRow("gain -4.5") << int(EqGain) << "-4.5" << kNoStep << false << 75 << "-4.5" << 75
                               << 160 << QStringList{"05 08 01 09 a0 00 c3 00 1e"};
    QTest::newRow("gain 3.55 stored as 3.5")
        << int(EqGain) << "3.55" << kNoStep << false << 155 << "3.5" << 155 << 123
        << QStringList{"05 08 01 09 a0 00 13 01 1e"};
    QTest::newRow("gain 5") << int(EqGain) << "5" << kNoStep << false << 170 << "5.0" << 170 << 116
                            << QStringList{"05 08 01 09 a0 00 22 01 1e"};
    QTest::newRow("gain 0 flat") << int(EqGain) << "0" << kNoStep << false << 120 << "0.0" << 120
                                 << 139 << QStringList{"05 08 01 09 a0 00 f0 00 1e"};
    QTest::newRow("gain -0.05 stored as -0.1")
        << int(EqGain) << "-0.05" << kNoStep << false << 119 << "-0.1" << 119 << 139
        << QStringList{"05 08 01 09 a0 00 ef 00 1e"};
    QTest::newRow("gain 12.1 refused, beyond what the unit keeps")
        << int(EqGain) << "12.1" << kNoStep << false << 218 << "9.8" << 218 << 93 << QStringList{};
    QTest::newRow("gain 20.1 refused")
        << int(EqGain) << "20.1" << kNoStep << false << 218 << "9.8" << 218 << 93 << QStringList{};
    QTest::newRow("gain -4.5 then wheel back on the slider")
        << int(EqGain) << "-4.5" << int(WheelBack) << true << 74 << "-4.6" << 74 << 161
        << QStringList{"05 08 01 09 a0 00 c3 00 1e", "05 08 01 09 a0 00 c2 00 1e"};
    QTest::newRow("gain 3.55 then Up")
        << int(EqGain) << "3.55" << int(KeyUp) << false << 156 << "3.6" << 156 << 122
        << QStringList{"05 08 01 09 a0 00 13 01 1e", "05 08 01 09 a0 00 14 01 1e"};

    // EQ frequency: 05 08 01 09, the frequency, +9.8 dB (338 on the wire), Q 3.0.
    QTest::newRow("freq 01000") << int(EqFreq) << "01000" << kNoStep << false << 1000 << "1000"
                                << kNone << 631 << QStringList{"05 08 01 09 e8 03 52 01 1e"};
    QTest::newRow("freq 80Hz refused") << int(EqFreq) << "80Hz" << kNoStep << false << 160 << "160"
                                       << kNone << 350 << QStringList{};
    QTest::newRow("freq 01000 then wheel")
        << int(EqFreq) << "01000" << int(WheelForward) << false << 1001 << "1001" << kNone << 631
        << QStringList{"05 08 01 09 e8 03 52 01 1e", "05 08 01 09 e9 03 52 01 1e"};

    // EQ Q: 05 08 01 09, 160 Hz, +9.8 dB, the Q code.
    QTest::newRow("q 2.55 stored as 2.5")
        << int(EqQ) << "2.55" << kNoStep << false << 25 << "2.5" << kNone << kNone
        << QStringList{"05 08 01 09 a0 00 52 01 19"};
    QTest::newRow("q 10") << int(EqQ) << "10" << kNoStep << false << 100 << "10.0" << kNone << kNone
                          << QStringList{"05 08 01 09 a0 00 52 01 64"};
    QTest::newRow("q 10 then Up at the top")
        << int(EqQ) << "10" << int(KeyUp) << false << 100 << "10.0" << kNone << kNone
        << QStringList{"05 08 01 09 a0 00 52 01 64", "05 08 01 09 a0 00 52 01 64"};
    QTest::newRow("q 0.3 refused")
        << int(EqQ) << "0.3" << kNoStep << false << 30 << "3.0" << kNone << kNone << QStringList{};

    // Crossovers: 05 06 (high-pass) or 05 07 (low-pass), CH2, type 0, the frequency, slope 3, off.
    QTest::newRow("HPF 0150") << int(HpfFreq) << "0150" << kNoStep << false << 150 << "150" << kNone
                              << 340 << QStringList{"05 06 01 00 96 00 03 01"};
    QTest::newRow("HPF 150.0 refused") << int(HpfFreq) << "150.0" << kNoStep << false << 20 << "20"
                                       << kNone << 31 << QStringList{};
    QTest::newRow("HPF 0150 then wheel")
        << int(HpfFreq) << "0150" << int(WheelForward) << false << 151 << "151" << kNone << 341
        << QStringList{"05 06 01 00 96 00 03 01", "05 06 01 00 97 00 03 01"};
    QTest::newRow("LPF 05000") << int(LpfFreq) << "05000" << kNoStep << false << 5000 << "5000"
                               << kNone << 877 << QStringList{"05 07 01 00 88 13 03 01"};

    // Channel volume: 05 04 02 and the level; master volume: 05 0d and the level.
    QTest::newRow("CH3 -4.55") << int(ChVol) << "-4.55" << kNoStep << false << 555 << "-4.5dB"
                               << 555 << kNone << QStringList{"05 04 02 2b 02"};
    QTest::newRow("CH3 -7") << int(ChVol) << "-7" << kNoStep << false << 530 << "-7.0dB" << 530
                            << kNone << QStringList{"05 04 02 12 02"};
    QTest::newRow("CH3 -4.5dB refused") << int(ChVol) << "-4.5dB" << kNoStep << false << 600
                                        << "0.0dB" << 600 << kNone << QStringList{};
    QTest::newRow("CH3 -7 then Up")
        << int(ChVol) << "-7" << int(KeyUp) << false << 531 << "-6.9dB" << 531 << kNone
        << QStringList{"05 04 02 12 02", "05 04 02 13 02"};
    QTest::newRow("master -12.34") << int(TotalVol) << "-12.34" << kNoStep << false << 477
                                   << "-12.3dB" << 477 << kNone << QStringList{"05 0d dd 01"};
    QTest::newRow("master -0 unchanged") << int(TotalVol) << "-0" << kNoStep << false << 600
                                         << "0.0dB" << 600 << kNone << QStringList{};

    // Delay: 05 09 03 and the steps.
    QTest::newRow("ms 2.5") << int(DelayMs) << "2.5" << kNoStep << false << 250 << "2.50ms" << kNone
                            << kNone << QStringList{"05 09 03 fa 00"};
    QTest::newRow("ms 1.234") << int(DelayMs) << "1.234ms" << kNoStep << false << 123 << "1.23ms"
                              << kNone << kNone << QStringList{"05 09 03 7b 00"};
    QTest::newRow("ms 2.5 then Down")
        << int(DelayMs) << "2.5" << int(KeyDown) << false << 249 << "2.49ms" << kNone << kNone
        << QStringList{"05 09 03 fa 00", "05 09 03 f9 00"};
    QTest::newRow("cm 100") << int(DelayCm) << "100" << kNoStep << false << 290 << "100cm" << kNone
                            << kNone << QStringList{"05 09 03 22 01"};
    QTest::newRow("cm 34.6") << int(DelayCm) << "34.6cm" << kNoStep << false << 100 << "35cm"
                             << kNone << kNone << QStringList{"05 09 03 64 00"};
    QTest::newRow("cm 518 refused") << int(DelayCm) << "518" << kNoStep << false << 0 << "0cm"
                                    << kNone << kNone << QStringList{};
}

void TestTypedEntries::typedValueShownAsStored() {
    QFETCH(int, family);
    QFETCH(QString, typed);
    QFETCH(int, step);
    QFETCH(bool, onSlider);
    QFETCH(int, stored);
    QFETCH(QString, shown);
    QFETCH(int, slider);
    QFETCH(int, marker);
    QFETCH(QStringList, frames);
    const Family fam = Family(family);

    WindowFixture f;
    QVERIFY(f.connect());
    Form& ui = f.ui();
    QTest::mouseClick(ui.chButton[kEqCh], Qt::LeftButton);
    QCOMPARE(int(Pc.Cur_CH), kEqCh);
    ui.eqGainSlider[kBand]->setValue(218);
    if (fam == DelayCm) f.window().menus.unitCm->trigger();
    const ResponseCurves& curves = f.window().graph().curves();
    const bool boostedBefore = curves.points(kEqCh)[38].y() < 144; // 157.9 Hz, the 0 dB line
    QVERIFY(boostedBefore);
    const Target t = targetOf(ui, fam);
    f.clearFrames();

    typeAndReturn(t.entry, typed);
    if (step != kNoStep)
        sendInput(onSlider ? static_cast<QWidget*>(t.slider) : t.entry, Input(step));

    QCOMPARE(mirrorValue(fam), stored);
    QCOMPARE(t.entry->text(), shown);
    QCOMPARE(hexList(f.writes()), frames);
    if (t.slider) QCOMPARE(t.slider->value(), slider);
    if (fam == EqGain) {
        QCOMPARE(t.marker->y(), marker);
        QCOMPARE(ui.bandButton[kBand]->styleSheet().contains("background-color:white"),
                 stored == 120);
        // The curve at the band crosses the 0 dB line with the gain.
        const int y = curves.points(kEqCh)[38].y();
        if (stored >= 130) QVERIFY2(y < 144, qPrintable(QString::number(y)));
        if (stored <= 110) QVERIFY2(y > 144, qPrintable(QString::number(y)));
    } else if (t.marker) {
        QCOMPARE(t.marker->x(), marker);
    }
    if (fam == HpfFreq) QCOMPARE(curves.line(true).x1(), marker + 5);
    if (fam == LpfFreq) QCOMPARE(curves.line(false).x1(), marker + 5);
}

QTEST_MAIN(TestTypedEntries)
#include "test_typed_entries.moc"
